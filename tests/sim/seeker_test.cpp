// Seekers, the bomb impact prediction and the air-to-ground target list.
#include <gtest/gtest.h>

#include <cmath>

#include "target_fixture.h"

using Seeker = TargetEnv;

TEST_F(Seeker, ConeEdgeIsInside) {
    ObjectRecord* t = Make(0, 0, 0);
    struct Case {
        int32_t x, y, z;
        int32_t inside;
    } cases[] = {
        {0x8000, 0, 0x10000, 1},  {-0x8000, 0x8000, 0x10000, 1}, {0x8001, 0, 0x10000, 0},
        {0, -0x8001, 0x10000, 0}, {0, 0, -0x10000, 0},
    };
    for (const Case& c : cases) {
        t->viewPosition = FixVec3{c.x, c.y, c.z};
        EXPECT_EQ(weapon_SeekerConeTest(t), c.inside) << c.x << "," << c.y;
    }
}

TEST_F(Seeker, Aim9mHeadNeedsTenFramesForFiveDegreesBeyondTolerance) {
    Current("AIM9M");
    ASSERT_FLOAT_EQ(weapon_Current.slewRate, 0.5f);
    const float tolerance = weapon_Current.lockTolerance;
    ASSERT_LT(tolerance + 5.0f, weapon_Current.seekerField);
    // A target tolerance + 5 degrees to the right of the nose.
    const double angle = (tolerance + 5.0) * 3.14159265358979 / 180.0;
    ObjectRecord* t = Aircraft(static_cast<int32_t>(0x100000 * std::sin(angle)), 0,
                               static_cast<int32_t>(0x100000 * std::cos(angle)));
    int32_t frames = 1;
    while (!weapon_SeekerHeadTrack(&t->position, 0) && frames < 100) frames++;
    EXPECT_GE(frames, 10);
    EXPECT_LE(frames, 11);
    // The instant-lock option jumps onto the target.
    weapon_SeekerHeadReset();
    EXPECT_EQ(weapon_SeekerHeadTrack(&t->position, 1), 1);
    // Centring never passes 0.
    weapon_SeekerHead[0] = 0.3f;
    weapon_SeekerHeadCentre();
    EXPECT_EQ(weapon_SeekerHead[0], 0.0f);
}

TEST_F(Seeker, InfraredTracksThenLocks) {
    Current("AIM9M");
    ObjectRecord* t = Aircraft(0x250000, 0, 0x800000);  // 16 degrees right
    player->target = t;
    weapon_SeekerRun(weapon_Current.seeker);
    EXPECT_EQ(weapon_LockState, 1);
    for (int32_t i = 0; i < 100 && weapon_LockState != 2; i++) weapon_SeekerRun(weapon_Current.seeker);
    EXPECT_EQ(weapon_LockState, 2);
    // Radar off: the infrared seeker needs it while the option word is 0.
    weapon_RadarMode = 0;
    weapon_SeekerRun(weapon_Current.seeker);
    EXPECT_EQ(weapon_LockState, 0);
    weapon_RadarMode = 1;
    // An unknown target, or none: no lock.
    t->known = 0;
    weapon_SeekerRun(weapon_Current.seeker);
    EXPECT_EQ(weapon_LockState, 0);
}

TEST_F(Seeker, ActiveRadarLocksAtOnceWithTheOption) {
    Current("AIM120");
    ObjectRecord* t = Aircraft(0x200000, 0, 0x800000);
    player->target = t;
    plane_CurrentDescriptor.seekerOption = 1;
    weapon_SeekerRun(weapon_Current.seeker);
    EXPECT_EQ(weapon_LockState, 2);
    plane_CurrentDescriptor.seekerOption = 0;
    plane_SystemsDamage[PLANE_SYS_RADAR] = 1;
    weapon_SeekerRun(weapon_Current.seeker);
    EXPECT_EQ(weapon_LockState, 0);
}

// The semi-active, anti-radiation, laser and satellite seekers go straight to
// the lock result: never 1 from tracking.
TEST_F(Seeker, SeekersWithoutHeadNeverTrack) {
    struct Case {
        const char* row;
        uint8_t aiClass;
        uint8_t categoryList;
    } cases[] = {
        {"AA10", 1, 0},
        {"AGM88", 2, OBJ_CATEGORY_01},
        {"AS10", 2, OBJ_CATEGORY_40},
        {"JDAM2000", 2, 0},
    };
    for (const Case& c : cases) {
        obj_ListsReset();
        Current(c.row);
        ObjectRecord* t = Aircraft(0x10000, 0, 0x400000);
        t->aiClass = c.aiClass;
        t->category = static_cast<uint8_t>(c.categoryList | 1);
        if (c.categoryList) obj_CategoryListsAdd(t);
        ASSERT_TRUE(t->aiClass & weapon_Current.targetClasses) << c.row;
        player->target = t;
        weapon_SeekerHeadReset();
        weapon_SeekerRun(weapon_Current.seeker);
        EXPECT_GE(weapon_LockState, 2) << c.row;
        // Behind the aircraft: state 0, not 1.
        t->position.z = kMid - 0x400000;
        weapon_SeekerRun(weapon_Current.seeker);
        EXPECT_EQ(weapon_LockState, 0) << c.row;
    }
    // The anti-radiation seeker reports 1 for a target outside its list.
    obj_ListsReset();
    Current("AGM88");
    ObjectRecord* t = Aircraft(0x10000, 0, 0x400000);
    t->aiClass = 2;
    player->target = t;
    weapon_SeekerRun(weapon_Current.seeker);
    EXPECT_EQ(weapon_LockState, 1);
}

TEST_F(Seeker, BombImpactPrediction) {
    ObjectRecord* bomber = Make(0, 0, 0);
    bomber->motion = FixVec3{0, 0, 0x1000};
    ASSERT_EQ(weapon_BombImpactPredict(bomber, 0), 0);
    EXPECT_EQ(weapon_Impact.reach, 0);
    EXPECT_GT(weapon_Impact.point.z, kMid);
    EXPECT_EQ(weapon_Impact.point.y, 0u);
    EXPECT_EQ(weapon_BombImpactPredict(bomber, 3), 0);
    const int32_t steps = weapon_Impact.reach / 3;
    EXPECT_GT(steps, 0);
    EXPECT_LE(steps, WEAPON_IMPACT_STEPS);
    // Banked beyond 84.375 degrees: no prediction.
    struct Case {
        int32_t pitch, roll, ok;
    } cases[] = {{0x790000, 0, 0}, {0, 0x1000000, 0}, {0x780000, 0, 1}, {0, 0x1880000, 1}, {0, 0x1890000, 1}};
    for (const Case& c : cases) {
        bomber->angles.pitch = c.pitch;
        bomber->angles.roll = c.roll;
        EXPECT_EQ(weapon_BombImpactPredict(bomber, 0) == 0, c.ok == 1) << std::hex << c.pitch << " " << c.roll;
        EXPECT_EQ(weapon_Impact.valid, c.ok);
    }
    // Never reaching the ground: climbing fast for 4000 steps fails.
    bomber->angles = FixAngles{};
    bomber->motion = FixVec3{0, 0x7FFFF, 0};
    EXPECT_EQ(weapon_BombImpactPredict(bomber, 0), -1);
    EXPECT_EQ(weapon_Impact.valid, 0);
}

TEST_F(Seeker, UnguidedBombLocksOnlyOnTheImpactPoint) {
    Current("JDAM");
    player->motion = FixVec3{0, 0, 0x1000};
    ASSERT_EQ(weapon_BombImpactPredict(player, 0), 0);
    ObjectRecord* t = Aircraft(0, 0, 0);
    t->aiClass = 2;
    t->position = weapon_Impact.point;
    player->target = t;
    EXPECT_EQ(weapon_BombTargetInReach(), 1);
    t->position.x += 1;
    EXPECT_EQ(weapon_BombTargetInReach(), 0);
}

TEST_F(Seeker, TargetListSeedCycleAndRemove) {
    Current("JDAM");
    ASSERT_TRUE(weapon_Current.kind & WEAPON_SEED_LIST);
    ObjectRecord* a = Make(0, -static_cast<int32_t>(kAlt), 0x400000);
    ObjectRecord* b = Make(0x100000, -static_cast<int32_t>(kAlt), 0x400000);
    for (ObjectRecord* o : {a, b}) {
        o->category = OBJ_CATEGORY_PLAYER_TARGET;
        o->flags = OBJ_FLAG_ALLIANCE_A;
        obj_CategoryListsAdd(o);
    }
    weapon_TargetListSeed();
    ASSERT_EQ(weapon_TargetCount, 2);
    EXPECT_EQ(weapon_TargetList[0].flags, 1);
    EXPECT_EQ(weapon_TargetIndex, -1);
    weapon_TargetNext();
    EXPECT_EQ(weapon_TargetIndex, 0);
    EXPECT_EQ(player->target, a);
    weapon_TargetNext();
    weapon_TargetNext();
    EXPECT_EQ(player->target, a);  // wraps to the first
    weapon_TargetPrev();
    EXPECT_EQ(player->target, b);  // and back to the last
    EXPECT_EQ(weapon_TargetListGet(2), nullptr);
    EXPECT_EQ(weapon_TargetListGet(-1), nullptr);
    // The unflagged steps skip every seeded entry and keep the index.
    weapon_TargetNextUnflagged();
    EXPECT_EQ(weapon_TargetIndex, 1);
    // Removing the current entry: index -1, the target stays until validated.
    weapon_TargetListRemove(b);
    EXPECT_EQ(weapon_TargetIndex, -1);
    EXPECT_EQ(weapon_TargetCount, 1);
    EXPECT_EQ(player->target, b);
    weapon_TargetValidate();
    EXPECT_EQ(player->target, nullptr);
    // Satellite damage: nothing is seeded.
    plane_SystemsDamage[WEAPON_SYS_SATELLITE] = 1;
    weapon_TargetListSeed();
    EXPECT_EQ(weapon_TargetCount, 0);
}

TEST_F(Seeker, RebuildOffersCategoryObjectsInRange) {
    Current("AS10");
    ASSERT_TRUE(weapon_Current.kind & WEAPON_LIST_CAT40);
    ObjectRecord* nearAhead = Make(0, -0x100000, 0x400000);
    ObjectRecord* behind = Make(0, -0x100000, -0x400000);
    ObjectRecord* tooFar = Make(0, -0x100000, 0x1E000000);
    for (ObjectRecord* o : {nearAhead, behind, tooFar}) {
        o->category = OBJ_CATEGORY_40;
        obj_CategoryListsAdd(o);
    }
    weapon_TargetListRebuild();
    ASSERT_EQ(weapon_TargetCount, 1);
    EXPECT_EQ(weapon_TargetList[0].object, nearAhead);
    EXPECT_EQ(weapon_TargetList[0].flags, 2);
    weapon_TargetListRebuild();  // rebuilt, not doubled
    EXPECT_EQ(weapon_TargetCount, 1);
    // The full list drops further objects.
    for (int32_t i = 0; i < WEAPON_TARGET_LIST_SIZE + 4; i++) weapon_TargetListAdd(nearAhead);
    EXPECT_EQ(weapon_TargetCount, WEAPON_TARGET_LIST_SIZE);
}

TEST_F(Seeker, WeaponStepResetsWithoutTrigger) {
    Current("AIM9M");
    weapon_LockState = 2;
    weapon_PlayerStep(player);  // no aircraft record: nothing fires
    EXPECT_EQ(weapon_LockState, 0);
    EXPECT_EQ(weapon_Impact.valid, 0);
}
