// Flares and chaff: the drop's counter and pool checks, the decoy lists and
// the 200-frame life.
#include <gtest/gtest.h>

#include "net/dcbpool.h"
#include "target_fixture.h"
#include "world/objarray.h"

namespace {

class WeaponDecoy : public TargetEnv {
protected:
    _PLAYER_DCB plane{};
    void SetUp() override {
        TargetEnv::SetUp();
        weapon_FlareList = weapon_ChaffList = nullptr;
        plane.object.position = FixWorldPos{kMid, kAlt, kMid};
    }
    void TearDown() override {
        weapon_FlareList = weapon_ChaffList = nullptr;
        TargetEnv::TearDown();
    }
};

}  // namespace

TEST_F(WeaponDecoy, DropsOnlyWithStockAndAPoolRecord) {
    plane.fields.flares = 0;
    weapon_DropFlare(&plane.object);
    EXPECT_EQ(weapon_FlareList, nullptr);

    // The client's pool holds four records: the fifth drop finds none.
    plane.fields.flares = 10;
    plane.fields.chaff = 10;
    for (int32_t i = 0; i < 3; i++) weapon_DropFlare(&plane.object);
    weapon_DropChaff(&plane.object);
    EXPECT_EQ(plane.fields.flares, 7);
    EXPECT_EQ(plane.fields.chaff, 9);
    weapon_DropFlare(&plane.object);
    EXPECT_EQ(plane.fields.flares, 7) << "a full pool drops nothing";

    int32_t flares = 0;
    for (ObjectRecord* o = weapon_FlareList; o; o = o->typeNext) {
        flares++;
        EXPECT_EQ(o->owner, &plane.object);
        EXPECT_NEAR(o->position.y, kAlt + 0x6000, 4);   // above and behind
        EXPECT_NEAR(o->position.z, kMid - 0x10000, 4);
    }
    EXPECT_EQ(flares, 3);
    ASSERT_NE(weapon_ChaffList, nullptr);
    EXPECT_EQ(weapon_ChaffList->typeNext, nullptr);
}

TEST_F(WeaponDecoy, LivesTwoHundredFramesThenLeavesItsList) {
    weapon_LaunchRecord.position = FixVec3{static_cast<int32_t>(kMid), static_cast<int32_t>(kAlt), static_cast<int32_t>(kMid)};
    ObjectRecord* a = weapon_FlareCreate(nullptr);
    ObjectRecord* b = weapon_FlareCreate(nullptr);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(weapon_FlareList, b);
    for (int32_t i = 1; i < 200; i++) a->think(a);
    EXPECT_FALSE(a->pending & OBJECT_PENDING_REMOVAL);
    EXPECT_EQ(a->frame, 199);
    a->think(a);
    EXPECT_TRUE(a->pending & OBJECT_PENDING_REMOVAL);
    EXPECT_EQ(weapon_FlareList, b);
    EXPECT_EQ(b->typeNext, nullptr);
    for (int32_t i = 0; i < 200; i++) b->think(b);
    EXPECT_EQ(weapon_FlareList, nullptr);
}
