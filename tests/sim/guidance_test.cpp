// Missile guidance: pursuit of the lead point, the gimbal limit, the
// 16-frame checks and the decoys.
#include <gtest/gtest.h>

#include "shell/runner.h"
#include "target_fixture.h"

namespace {

class Guidance : public TargetEnv {
protected:
    ObjectRecord* missile = nullptr;
    WeaponObjectFields* f = nullptr;
    int32_t lost = 0;
    static Guidance* self;

    void SetUp() override {
        TargetEnv::SetUp();
        self = this;
        missile = Make(0, 0, 0);
        f = weapon_Fields(missile);
        f->row = &weapon_Types[Row("AIM120")];
        f->lifetime = 1;
        f->turnAllowance = 0x1000000;
        f->targetLost = [](ObjectRecord*) { self->lost++; };
        weapon_FlareList = weapon_ChaffList = nullptr;
    }
    void TearDown() override {
        weapon_FlareList = weapon_ChaffList = nullptr;
        TargetEnv::TearDown();
    }
};
Guidance* Guidance::self = nullptr;

}  // namespace

TEST_F(Guidance, StationaryAimedAtMovingLeadTwoFrames) {
    ObjectRecord* t = Aircraft(0x100000, 0, 0x400000);
    t->flags = OBJ_FLAG_STATIC;
    t->speed = 0x8000;
    missile->target = t;
    weapon_GuidanceStep(missile);
    EXPECT_EQ(weapon_GuidanceAim.x, t->position.x);
    EXPECT_EQ(weapon_GuidanceAim.z, t->position.z);
    EXPECT_EQ(missile->angles.heading, obj_Bearing(&missile->position, &t->position));
    t->flags = 0;
    weapon_GuidanceStep(missile);
    EXPECT_EQ(weapon_GuidanceAim.x, t->position.x);
    EXPECT_NEAR(weapon_GuidanceAim.z, t->position.z + 0x10000, 4);  // heading 0: along +z
    EXPECT_EQ(lost, 0);
}

TEST_F(Guidance, TurnAllowanceClampsTheTurn) {
    ObjectRecord* t = Aircraft(0x100000, 0, 0x400000);
    missile->target = t;
    f->turnAllowance = 0x1000;
    weapon_GuidanceStep(missile);
    EXPECT_EQ(missile->rates.heading, 0x1000);
    EXPECT_EQ(missile->angles.heading, 0x1000);
    f->turnAllowance = 0;
    weapon_GuidanceStep(missile);
    EXPECT_EQ(missile->rates.heading, 0);
}

TEST_F(Guidance, BehindLostAtTheMissileGimbalNeverWithAFullTurn) {
    ObjectRecord* t = Aircraft(0x1000, 0, -0x400000);
    struct Case {
        const char* row;
        bool lost;
    } cases[] = {{"AIM120", true}, {"AIM9M", true}, {"JDAM", false}};
    for (const Case& c : cases) {
        f->row = &weapon_Types[Row(c.row)];
        missile->target = t;
        missile->angles = FixAngles{};
        lost = 0;
        weapon_GuidanceStep(missile);
        EXPECT_EQ(missile->target == nullptr, c.lost) << c.row;
        EXPECT_EQ(lost, c.lost ? 1 : 0) << c.row;
    }
}

TEST_F(Guidance, SightAndDecoysOnlyOnTheSixteenFramePhase) {
    // A decoy 30 degrees off the nose, inside the 45-degree gimbal but
    // beyond half of it from a player's aircraft.
    ObjectRecord* t = Aircraft(0, 0, 0x400000);
    t->flags = OBJ_FLAG_PLAYER;
    ObjectRecord* flare = Make(0x1C0000, 0, 0x300000);
    f->row = &weapon_Types[Row("AIM9M")];
    weapon_FlareList = flare;
    struct Case {
        int32_t lifetime;
        bool checked;
    } cases[] = {{1, false}, {15, false}, {17, false}, {16, true}, {32, true}};
    for (const Case& c : cases) {
        missile->target = t;
        missile->angles = FixAngles{};
        f->lifetime = c.lifetime;
        f->turnAllowance = 0;
        lost = 0;
        weapon_GuidanceStep(missile);
        EXPECT_EQ(lost, c.checked ? 1 : 0) << c.lifetime;
    }
    // No decoy within the distance of the target: the check never runs.
    flare->position.x = kMid + 0x8000000;
    missile->target = t;
    f->lifetime = 16;
    lost = 0;
    weapon_GuidanceStep(missile);
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(weapon_DecoyPick(missile, flare, 0x4740000), nullptr);
}

TEST_F(Guidance, DecoyPickTakesTheFarthestInView) {
    ObjectRecord* t = Aircraft(0, 0, 0x800000);
    missile->target = t;
    ObjectRecord* a = Make(0, 0, 0x700000);
    ObjectRecord* b = Make(0, 0, 0x600000);
    ObjectRecord* behind = Make(0, 0, -0x100000);
    a->typeNext = b;
    b->typeNext = behind;
    EXPECT_EQ(weapon_DecoyPick(missile, a, 0x4740000), b);
}

TEST_F(Guidance, InfraredReacquiresOnTheFramePhase) {
    f->row = &weapon_Types[Row("AIM9M")];
    ObjectRecord* t = Aircraft(0, 0, 0x100000);
    missile->flags = OBJ_FLAG_PLAYER;  // sees every side
    app_FrameStepCount = 3;
    weapon_GuidanceInfrared(missile);
    EXPECT_EQ(missile->target, nullptr);
    app_FrameStepCount = 16;
    weapon_GuidanceInfrared(missile);
    EXPECT_EQ(missile->target, t);
    weapon_LoseTarget(missile);
    EXPECT_EQ(missile->target, nullptr);
    EXPECT_EQ(lost, 1);
    app_FrameStepCount = 0;
}
