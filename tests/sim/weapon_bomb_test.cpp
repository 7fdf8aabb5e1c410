// Bombs in their fall: gravity on the launcher's motion, the steering step
// towards the aim point, and the tumble turning back.
#include <gtest/gtest.h>

#include "net/dcbpool.h"
#include "target_fixture.h"
#include "world/objarray.h"

namespace {

class WeaponBomb : public TargetEnv {
protected:
    void SetUp() override {
        TargetEnv::SetUp();
        MakePool(&level_ServerArrays.common, sizeof(_COMMON_DCB), 2);
        weapon_LaunchRecord = WeaponLaunchRecord{};
        weapon_SetCurrentType(Row("JDAM"));
    }
};

}  // namespace

TEST_F(WeaponBomb, FallsWithGravityFromTheLaunchersMotion) {
    player->motion = FixVec3{0, 0, 0x8000};
    ObjectRecord* b = weapon_LaunchBombObject(player, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->position.z, kMid + 0x8000);
    EXPECT_EQ(weapon_Fields(b)->hasAimPoint, 0);
    const FixWorldPos p0 = b->position;
    b->think(b);
    b->think(b);
    EXPECT_EQ(b->velocity.y, -2 * WEAPON_BOMB_GRAVITY);
    EXPECT_EQ(static_cast<int32_t>(b->position.y - p0.y), -3 * WEAPON_BOMB_GRAVITY);
    EXPECT_EQ(b->position.z - p0.z, 0x10000u);
    EXPECT_EQ(weapon_LaunchBombObject(nullptr, nullptr), nullptr);
}

TEST_F(WeaponBomb, SteersByAtMostTheRowStep) {
    ObjectRecord* b = weapon_LaunchBombObject(player, nullptr);
    ASSERT_NE(b, nullptr);
    WeaponObjectFields* f = weapon_Fields(b);
    const int32_t step = f->row->bombSteeringStep;
    ASSERT_GT(step, 0);
    f->hasAimPoint = 1;
    f->impactPoint = b->position;
    f->aimPoint = b->position;
    f->aimPoint.x += static_cast<uint32_t>(step * 10);
    const uint32_t x0 = b->position.x;
    b->think(b);
    EXPECT_NEAR(static_cast<int32_t>(b->position.x - x0), step, 1);
    // Within one step the rest is taken at once.
    f->aimPoint.x = f->impactPoint.x + static_cast<uint32_t>(step / 2);
    const uint32_t x1 = b->position.x;
    b->think(b);
    EXPECT_NEAR(static_cast<int32_t>(b->position.x - x1), step / 2, 1);
    EXPECT_EQ(f->impactPoint.x, f->aimPoint.x);
}

TEST_F(WeaponBomb, TumbleTurnsBackInsideTheBand) {
    ObjectRecord* b = weapon_LaunchBombObject(player, nullptr);
    ASSERT_NE(b, nullptr);
    WeaponObjectFields* f = weapon_Fields(b);
    b->angles.pitch = 0x320000 - 0x10000;
    b->think(b);
    EXPECT_EQ(b->angles.pitch, 0x320000 + 0x8000);
    EXPECT_EQ(f->tumbleDirection, 1);
    b->think(b);
    EXPECT_EQ(b->angles.pitch, 0x320000 - 0x10000);
}
