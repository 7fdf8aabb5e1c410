// The player's launches: the attitude and readiness checks decide whether a
// store leaves the ordnance manager.
#include <gtest/gtest.h>

#include <string>

#include "ord_fixture.h"
#include "platform/simlog.h"
#include "sim/obj.h"
#include "world/objarray.h"

namespace {

class WeaponLaunch : public OrdEnv {
protected:
    ObjectRecord plane{};
    void SetUp() override {
        OrdEnv::SetUp();
        plane.hitPoints = 1;
        weapon_LockState = 0;
        // No record pools: a launch takes its store and makes no object.
        level_ServerArrays = LevelServerArrays{};
        level_ClientArrays = LevelClientArrays{};
        unsetenv("KRX_SIMLOG");   // the sounds are read from the log on stderr
        plat_SimLogReset();
    }
    // One panel of ten stores.
    static void Stock(int32_t type) {
        ASSERT_NE(ord_ManagerCreate(), nullptr);
        ASSERT_NE(ord_PanelAdd(type, 10, 10, -1), nullptr);
        ord_PanelsSort();
    }
    static int32_t Row(const char* id) {
        for (int32_t i = 0; i < WEAPON_TYPES; i++)
            if (!strcmp(weapon_Types[i].id, id)) return i;
        return -1;
    }
};

constexpr int32_t kDeg = 0x2000000 / 360;

}  // namespace

TEST_F(WeaponLaunch, BombOnlyWithinTheBankLimit) {
    Stock(Row("JDAM"));
    struct Case {
        int32_t pitch, roll;
        bool released;
    } cases[] = {{0, 0, true},           {0, 84 * kDeg, true},  {0, -84 * kDeg, true}, {0, 85 * kDeg, false},
                 {0, -85 * kDeg, false}, {85 * kDeg, 0, false}, {-85 * kDeg, 0, false}};
    for (const Case& c : cases) {
        weapon_Select(Row("JDAM"));
        ord_AllReady();
        const int32_t before = ord_CountById(Row("JDAM"));
        plane.angles = FixAngles{0, static_cast<int32_t>(static_cast<uint32_t>(c.pitch) & FIX_ANGLE_MASK),
                                 static_cast<int32_t>(static_cast<uint32_t>(c.roll) & FIX_ANGLE_MASK)};
        testing::internal::CaptureStderr();
        weapon_LaunchBomb(&plane);
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_EQ(before - ord_CountById(Row("JDAM")), c.released ? 1 : 0) << c.pitch << " " << c.roll;
        EXPECT_EQ(log.find("weapon sound") != std::string::npos, c.released) << "no sound beyond the limit";
        EXPECT_EQ(log.find("sound 20 "), std::string::npos) << "a bomb has no motor";
        app_TickCount += 1000;
    }
}

TEST_F(WeaponLaunch, RefusalsTakeNoStore) {
    Stock(Row("AIM120"));
    weapon_Select(Row("AIM120"));
    const int32_t full = ord_CountById(Row("AIM120"));
    plane.hitPoints = 0;
    weapon_LaunchMissile(&plane);
    EXPECT_EQ(ord_CountById(Row("AIM120")), full);
    plane.hitPoints = 1;
    weapon_LockState = 1;
    weapon_LaunchMissile(&plane);
    EXPECT_EQ(ord_CountById(Row("AIM120")), full - 1);
    EXPECT_EQ(weapon_LaunchLock, 1);
    weapon_LaunchMissile(&plane);  // within the release interval
    EXPECT_EQ(ord_CountById(Row("AIM120")), full - 1);
    // Jettison only upright.
    app_TickCount += 1000;
    plane.angles.roll = 180 * kDeg;
    weapon_Jettison(&plane);
    EXPECT_EQ(ord_CountById(Row("AIM120")), full - 1);
    plane.angles.roll = 0;
    weapon_Jettison(&plane);
    EXPECT_EQ(ord_CountById(Row("AIM120")), full - 2);
}

TEST_F(WeaponLaunch, CannonTriggerFiresTheGunWhateverIsSelected) {
    ASSERT_NE(ord_ManagerCreate(), nullptr);
    ASSERT_NE(ord_PanelAdd(Row("AIM120"), 2, 2, -1), nullptr);
    ASSERT_NE(ord_PanelAdd(Row("M61A1"), 100, 100, -1), nullptr);
    ord_PanelsSort();
    ASSERT_EQ(ord_PanelByIndex(0)->weaponId, Row("M61A1"));
    ord_AllReady();
    weapon_Select(Row("AIM120"));
    weapon_FireCannon(&plane);
    EXPECT_EQ(ord_CountById(Row("M61A1")), 99);
    EXPECT_EQ(ord_CountById(Row("AIM120")), 2);
    EXPECT_EQ(weapon_CurrentId, Row("AIM120")) << "the selection stays";
    // With the gun current it is the gun's own launch, held to its interval.
    weapon_Select(Row("M61A1"));
    weapon_FireCannon(&plane);
    EXPECT_EQ(ord_CountById(Row("M61A1")), 99);
    app_TickCount += 1000;
    weapon_FireCannon(&plane);
    EXPECT_EQ(ord_CountById(Row("M61A1")), 98);
}

TEST_F(WeaponLaunch, CannonTriggerWithoutAGunDoesNothing) {
    Stock(Row("AIM120"));
    weapon_Select(Row("AIM120"));
    weapon_FireCannon(&plane);
    EXPECT_EQ(ord_CountById(Row("AIM120")), 10);
}

TEST_F(WeaponLaunch, JettisonKeyOnlyForRowsThatCanBeJettisoned) {
    ASSERT_NE(ord_ManagerCreate(), nullptr);
    ASSERT_NE(ord_PanelAdd(Row("M61A1"), 100, 100, -1), nullptr);
    ASSERT_NE(ord_PanelAdd(Row("AIM120"), 2, 2, -1), nullptr);
    ord_PanelsSort();
    ord_AllReady();
    weapon_Select(Row("M61A1"));
    weapon_RemoveRun(&plane);
    EXPECT_EQ(ord_CountById(Row("M61A1")), 100) << "a gun cannot be jettisoned";
    weapon_Select(Row("AIM120"));
    weapon_RemoveRun(&plane);
    EXPECT_EQ(ord_CountById(Row("AIM120")), 1);
}
