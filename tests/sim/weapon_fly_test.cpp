// Weapon objects in flight: the bullet's two moves a frame and lifetime,
// the missile's drop, motor run and guidance from top speed, and the launch
// lock deciding the missile's target.
#include <gtest/gtest.h>

#include "net/dcbpool.h"
#include "target_fixture.h"
#include "world/objarray.h"

namespace {

class WeaponFly : public TargetEnv {
protected:
    void SetUp() override {
        TargetEnv::SetUp();
        MakePool(&level_ServerArrays.common, sizeof(_COMMON_DCB), 4);
        weapon_LaunchRecord = WeaponLaunchRecord{};
        weapon_LaunchLock = 0;
        weapon_LaunchCounters[0] = weapon_LaunchCounters[1] = 0;
    }
    // Runs the think routine until the weapon is freed; the frames it lived.
    static int32_t FramesToEnd(ObjectRecord* w, int32_t limit) {
        for (int32_t i = 1; i <= limit; i++) {
            w->think(w);
            if (w->pending & OBJECT_PENDING_REMOVAL) return i;
        }
        return -1;
    }
};

}  // namespace

TEST_F(WeaponFly, BulletMovesTwiceAFrameAndEndsAt380) {
    ObjectRecord* b = net_DcbPoolTake(&level_ServerArrays.common);
    ASSERT_NE(b, nullptr);
    b->position = player->position;
    weapon_SetCurrentType(Row("M61A1"));
    weapon_InitBullet(b);
    b->velocity = FixVec3{0, 0, 0x10000};
    EXPECT_EQ(b->speed, 0x20000);
    EXPECT_EQ(b->target, nullptr);
    const uint32_t z0 = b->position.z;
    b->think(b);
    EXPECT_EQ(b->position.z - z0, 0x40000u);
    EXPECT_EQ(b->motion.z, 0x40000);  // the step spans both moves
    // 380 lifetime counts at two a frame: gone in the 190th frame.
    EXPECT_EQ(FramesToEnd(b, 1000) + 1, 190);
}

TEST_F(WeaponFly, LaunchLockDecidesTheTarget) {
    ObjectRecord* t = Aircraft(0, 0, 0x1000000);
    player->target = t;
    weapon_SetCurrentType(Row("AIM120"));
    struct Case {
        uint8_t lock;
        bool targeted;
    } cases[] = {{0, false}, {1, false}, {2, true}, {3, false}};
    for (const Case& c : cases) {
        weapon_LaunchLock = c.lock;
        ObjectRecord* w = weapon_CreateMissile(player);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->target, c.targeted ? t : nullptr) << int(c.lock);
        net_DcbPoolReturn(w, &level_ServerArrays.common);
    }
    EXPECT_EQ(weapon_LaunchCounters[0], 0);
    EXPECT_EQ(weapon_LaunchCounters[1], 0);
}

TEST_F(WeaponFly, EmptyPoolLaunchesNothing) {
    weapon_SetCurrentType(Row("AIM120"));
    for (int32_t i = 0; i < 4; i++) ASSERT_NE(weapon_CreateMissile(player), nullptr);
    EXPECT_EQ(weapon_CreateMissile(player), nullptr);
    EXPECT_EQ(weapon_LaunchMissileObject(nullptr), nullptr);
}

TEST_F(WeaponFly, DropThenMotorThenGuidanceAtTopSpeed) {
    const _WEAPON_TYPE& row = weapon_Types[Row("AIM120")];
    ObjectRecord* t = Aircraft(0x400000, 0, 0x4000000);  // off to the side
    player->target = t;
    weapon_SetCurrentType(Row("AIM120"));
    weapon_LaunchLock = 2;
    weapon_LaunchRecord.value[0] = 20;
    weapon_LaunchRecord.value[1] = 512;
    ObjectRecord* w = weapon_CreateMissile(player);
    ASSERT_NE(w, nullptr);
    WeaponObjectFields* f = weapon_Fields(w);
    EXPECT_EQ(w->think, weapon_MissileDrop);
    const uint32_t y0 = w->position.y;
    for (int32_t i = 0; i < 20; i++) w->think(w);
    EXPECT_LT(w->position.y, y0);  // fell off the rail
    EXPECT_EQ(w->speed, 0);
    w->think(w);  // motor start runs at once
    EXPECT_EQ(w->think, weapon_MissileThink);
    EXPECT_EQ(f->acceleration, row.speedStep);
    EXPECT_EQ(w->speed, row.speedStep);
    // No turn towards the target before top speed, then guidance steers.
    int32_t frames = 1;
    while (w->speed < row.topSpeed) {
        EXPECT_EQ(w->angles.heading, 0);
        w->think(w);
        frames++;
        ASSERT_LT(frames, 1000);
    }
    EXPECT_GT(frames, 10);  // the acceleration had to build up
    EXPECT_LE(f->turnAllowance, row.turnLimit);
    w->think(w);
    EXPECT_NE(w->angles.heading, 0);
    EXPECT_EQ(w->target, t);
}

TEST_F(WeaponFly, MissileEndsAtLifetimeAndCeilingCallingTargetLost) {
    static int32_t lost;
    lost = 0;
    weapon_SetCurrentType(Row("AIM120"));
    ObjectRecord* w = weapon_CreateMissile(player);
    ASSERT_NE(w, nullptr);
    weapon_Fields(w)->targetLost = [](ObjectRecord*) { lost++; };
    w->think(w);  // no drop frames: straight to the motor
    weapon_Fields(w)->lifetime = 3;
    EXPECT_EQ(FramesToEnd(w, 10), 3);
    EXPECT_EQ(lost, 1);

    ObjectRecord* high = weapon_CreateMissile(player);
    ASSERT_NE(high, nullptr);
    high->think(high);
    high->position.y = 0x186A0000;
    high->angles.pitch = 0x400000;  // climbing
    EXPECT_EQ(FramesToEnd(high, 3), 1);
}
