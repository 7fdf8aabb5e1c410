// Object queries: geometry, the type list, the searches and their tie rule,
// the target candidates and their cycling, the target keys and the labels.
#include <gtest/gtest.h>

#include "base/filetable.h"
#include "base/mem.h"
#include "net/player.h"
#include "world/level.h"
#include "target_fixture.h"
#include "mkdata.h"
#include "world/pak.h"

using TargetQuery = TargetEnv;

TEST_F(TargetQuery, GeometryOfPositions) {
    const FixWorldPos a{kMid, kAlt, kMid};
    EXPECT_EQ(obj_Bearing(&a, &a), 0);
    EXPECT_EQ(obj_BearingHalfScale(&a, &a), 0);
    EXPECT_EQ(obj_Elevation(&a, &a), 0);
    EXPECT_EQ(obj_ElevationReverse(&a, &a), 0);
    EXPECT_EQ(obj_PosDistance(&a, &a), 1);
    struct Case {
        int32_t dx, dy, dz;
        int32_t bearing, elevation, distance;
    } cases[] = {
        {0, 0, 0x10000, 0, 0, 0x10000},
        {0x10000, 0, 0, 0x800000, 0, 0x10000},
        {0, 0, -0x10000, 0x1000000, 0, 0x10000},
        {0, 0x10000, 0x10000, 0, 0x400000, 0x10000 + 0x5000},
        // Across the world's wrap the short way round counts.
        {-0x10000, 0, 0, 0x1800000, 0, 0x10000},
    };
    for (const Case& c : cases) {
        const FixWorldPos b{kMid + static_cast<uint32_t>(c.dx), kAlt + static_cast<uint32_t>(c.dy),
                            kMid + static_cast<uint32_t>(c.dz)};
        EXPECT_EQ(obj_Bearing(&a, &b), c.bearing) << c.dx << "," << c.dz;
        EXPECT_EQ(obj_BearingHalfScale(&a, &b), c.bearing);
        EXPECT_NEAR(obj_Elevation(&a, &b), c.elevation, 0x1000);
        EXPECT_EQ(obj_PosDistance(&a, &b), c.distance);
    }
    // Far apart in all three: no overflow of the approximate or exact length.
    ObjectRecord* far = Make(0x7FFF0000, 0x7FFF0000, 0x7FFF0000);
    EXPECT_GT(obj_Distance(player, far), 0);
    EXPECT_EQ(obj_DistanceExactHalf(player, player), 0);
    EXPECT_GT(obj_DistanceExactHalf(player, far), static_cast<int64_t>(0x3FFF0000) << 16);
}

TEST_F(TargetQuery, TypeListNeverListsFlaggedObjects) {
    ObjectRecord* a = Aircraft(0, 0, 0x100000);
    ObjectRecord* b = Make(0, 0, 0x200000);
    b->flags = OBJ_FLAG_UNLISTED;
    obj_TypeListPush(b);
    EXPECT_EQ(obj_TypeList.count, 1);
    EXPECT_EQ(obj_TypeList.head, a);
    obj_TypeListUnlink(b);
    obj_TypeListUnlink(a);
    obj_TypeListUnlink(a);
    EXPECT_EQ(obj_TypeList.count, 0);
    EXPECT_EQ(obj_TypeList.head, nullptr);
    EXPECT_EQ(obj_TypeList.tail, nullptr);
}

TEST_F(TargetQuery, TiesKeepListOrderAndTheFilterHolds) {
    ObjectRecord* first = Aircraft(0x100000, 0, 0);
    ObjectRecord* second = Aircraft(-0x100000, 0, 0);
    int32_t d = 0;
    EXPECT_EQ(obj_FindNearest(player, 1, 1, 0x10000000, &d), first);
    EXPECT_EQ(d, 0x100000);
    // Dead, of another class or in another state, or beyond the bound:
    // none. The air search (1/1) wants an airborne aircraft; its category
    // flags play no part.
    first->hitPoints = 0;
    second->category = 0;
    EXPECT_EQ(obj_FindNearest(player, 1, 1, 0x10000000, nullptr), second);
    EXPECT_EQ(obj_FindNearest(player, 2, 1, 0x10000000, nullptr), nullptr);
    EXPECT_EQ(obj_FindNearest(player, 1, 4, 0x10000000, nullptr), nullptr);
    EXPECT_EQ(obj_FindNearest(player, 1, 1, 0x100000, nullptr), nullptr);
    second->stateFlags = OBJ_STATE_WAITING;
    EXPECT_EQ(obj_FindNearest(player, 1, 1, 0x10000000, nullptr), nullptr) << "parked";
    EXPECT_EQ(obj_FindNearest(player, 1, 2, 0x10000000, nullptr), second);
    second->stateFlags = OBJ_STATE_AIRBORNE;
    // A searcher that is no player sees only its side, never alliance A.
    ObjectRecord* unit = Make(0, 0, 0);
    second->side = 2;
    EXPECT_EQ(obj_FindNearest(unit, 1, 1, 0x10000000, nullptr), second);
    // A weapon never finds its own launcher.
    ObjectRecord* missile = Make(0, 0, 0x80000);
    missile->owner = second;
    EXPECT_EQ(obj_FindNearest(missile, 1, 0xFF, 0x10000000, nullptr), nullptr);
    missile->owner = player;
    EXPECT_EQ(obj_FindNearest(missile, 1, 0xFF, 0x10000000, nullptr), second);
    second->flags = OBJ_FLAG_ALLIANCE_A;
    EXPECT_EQ(obj_FindNearest(unit, 1, 1, 0x10000000, nullptr), nullptr);
}

TEST_F(TargetQuery, LineOfSightOverAHill) {
    ObjectRecord* behind = Aircraft(0, -static_cast<int32_t>(kAlt) + 0x100, 0x4000000);
    EXPECT_EQ(obj_LineOfSight(player, &behind->position), 1);  // flat ground
    EXPECT_EQ(obj_LineOfSight(player, &player->position), 1);  // no steps
    // Below the ground: blocked.
    FixWorldPos under = player->position;
    under.y = 0;
    under.z += 0x100000;
    static uint8_t heights[TERRAIN_SIZE * TERRAIN_SIZE];
    memset(heights, 0xFF, sizeof heights);
    depth_Level.heightMap = heights;
    ASSERT_GT(terrain_HeightBilinear(&under), 0);
    EXPECT_EQ(obj_LineOfSight(player, &under), 0);
}

TEST_F(TargetQuery, CandidatesAtMostEightNearestFirstAndCycling) {
    std::vector<ObjectRecord*> ahead;
    for (int32_t i = 9; i >= 0; i--) ahead.push_back(Aircraft(0, 0, 0x100000 * (i + 1)));
    Aircraft(0, 0, -0x100000);  // behind: outside the cone
    EXPECT_EQ(obj_BuildCandidates(player, 1, 1), 8);
    for (int32_t i = 0; i < 8; i++) EXPECT_EQ(obj_Candidates[i], ahead[9 - i]) << i;
    EXPECT_EQ(player->target, obj_Candidates[0]);

    player->target = obj_Candidates[7];
    obj_TargetNext(player);
    EXPECT_EQ(player->target, obj_Candidates[0]);
    obj_TargetPrev(player);
    EXPECT_EQ(player->target, obj_Candidates[7]);
    player->target = ahead[0];  // never listed: next gives the first
    obj_TargetNext(player);
    EXPECT_EQ(player->target, obj_Candidates[0]);

    obj_TargetCandidateRemove(obj_Candidates[0]);
    EXPECT_EQ(obj_CandidateCount, 7);
    EXPECT_EQ(obj_CandidateIndex(ahead[9]), -1);
    EXPECT_EQ(obj_Candidates[0], ahead[8]);

    obj_CandidateCount = 0;
    obj_TargetNext(player);
    EXPECT_EQ(player->target, nullptr);
}

TEST_F(TargetQuery, DegradedSearchSkipsConeAndSight) {
    ObjectRecord* behind = Aircraft(0, 0, -0x100000);
    EXPECT_EQ(obj_BuildCandidates(player, 1, 1), 0);
    plane_SystemsDamage[OBJ_SYS_DEGRADED_SEARCH] = 1;
    EXPECT_EQ(obj_BuildCandidates(player, 1, 1), 1);
    EXPECT_EQ(obj_Candidates[0], behind);
}

TEST_F(TargetQuery, ConeCyclingWrapsAndBoresightPicksTheNose) {
    ObjectRecord* a = Aircraft(0x40000, 0, 0x400000);
    ObjectRecord* b = Aircraft(0, 0, 0x800000);
    Aircraft(0, 0, -0x400000);  // behind
    EXPECT_EQ(obj_ConeTargetNext(player, 1, 1), a);
    player->target = a;
    EXPECT_EQ(obj_ConeTargetNext(player, 1, 1), b);
    player->target = b;
    EXPECT_EQ(obj_ConeTargetNext(player, 1, 1), a);
    EXPECT_EQ(obj_ConeTargetPrev(player, 1, 1), a);
    EXPECT_EQ(obj_BestInBoresight(player, 1, 1), b);
}

TEST_F(TargetQuery, TargetKeysStepThroughCandidates) {
    ObjectRecord* near = Aircraft(0, 0, 0x100000);
    ObjectRecord* far = Aircraft(0, 0, 0x200000);
    plane_PlayerFields(player)->gear = 64;
    plane_PlayerFields(player)->lockMode = 0;
    const int32_t cues = plane_TargetCues;
    EXPECT_EQ(plane_TargetKey(player, 0x25), 1);
    EXPECT_EQ(obj_CandidateCount, 2);
    EXPECT_EQ(player->target, near);
    plane_TargetKey(player, 0x23);
    EXPECT_EQ(player->target, far);
    plane_TargetKey(player, 0x23);
    EXPECT_EQ(player->target, near);
    plane_TargetKey(player, 0x24);
    EXPECT_EQ(player->target, far);
    EXPECT_EQ(plane_TargetCues, cues + 4);
    EXPECT_EQ(plane_TargetKey(player, 0x29), 0);
}

TEST_F(TargetQuery, TargetFromThePlayerTargetList) {
    ObjectRecord* o = Make(0, 0, 0x100000);
    o->category = OBJ_CATEGORY_PLAYER_TARGET;
    o->flags = OBJ_FLAG_ALLIANCE_A;
    plane_TargetFromList(player);
    EXPECT_EQ(player->target, nullptr);
    obj_CategoryListsAdd(o);
    plane_TargetListIndex = 5;
    plane_TargetFromList(player);
    EXPECT_EQ(player->target, o);
    EXPECT_EQ(plane_TargetListIndex, 0);
}

TEST_F(TargetQuery, DisplayNames) {
    _PAK_HEADER model{};
    snprintf(model.name, sizeof model.name, "tank.pak");
    ObjectRecord* o = Make(0, 0, 0);
    char text[64];
    obj_FormatName(text, sizeof text, nullptr);
    EXPECT_STREQ(text, "");
    obj_FormatName(text, sizeof text, o);
    EXPECT_STREQ(text, "NOPAK");
    o->model = &model;
    o->groundUnit = 1;
    o->group = 3;
    o->member = 2;
    level_GameData = nullptr;
    obj_FormatName(text, sizeof text, o);
    EXPECT_STREQ(text, "tank.pak ??? 2");

    MkTableGroup group{"RT", {}};
    for (uint32_t i = 0; i < 200; i++) group.items.push_back({"I" + std::to_string(i), "", 0, 0, 0});
    group.items[180].text = "  +40";
    group.items[181].text = "Alpha";
    group.items[27].text = "-3";
    const std::vector<uint8_t> image = mkdata_TableBuild({group});
    level_GameData = file_TableRelocate(image.data(), static_cast<uint32_t>(image.size()));
    ASSERT_NE(level_GameData, nullptr);
    struct Case {
        uint8_t kind, group;
        const char* text;
    } cases[] = {
        {1, 3, "tank.pak 42"},
        {1, 4, "tank.pak Alpha 2"},
        {0, 0, "tank.pak -3 2"},
        {1, 100, "tank.pak ??? 2"},
    };
    for (const Case& c : cases) {
        o->groundUnit = c.kind;
        o->group = c.group;
        obj_FormatName(text, sizeof text, o);
        EXPECT_STREQ(text, c.text);
    }
    // Cut to the buffer.
    char small[6];
    obj_FormatName(small, sizeof small, o);
    EXPECT_STREQ(small, "tank.");
    // A player's aircraft: the name of its player.
    o->flags = OBJ_FLAG_PLAYER;
    o->player = 1;
    snprintf(player_Table[1].name, sizeof player_Table[1].name, "Hawk");
    obj_DisplayName(o, text, sizeof text);
    EXPECT_STREQ(text, "tank.pak Hawk");
    // Labels.
    obj_LabelTable[0] = ObjLabelEntry{1, 4, 7, 0, o};
    obj_LabelTable[1] = ObjLabelEntry{1, 4, 7, 2, o};
    obj_LabelCount = 2;
    obj_ComposeLabel(0, text, sizeof text);
    EXPECT_STREQ(text, "tank.pak Hawk Alpha 7");
    obj_ComposeLabel(1, text, sizeof text);
    EXPECT_STREQ(text, "tank.pak Hawk ");
    EXPECT_EQ(obj_ComposeLabel(2, text, sizeof text), -1);
    mem_Free(level_GameData);
    level_GameData = nullptr;
    obj_LabelCount = 0;
}

TEST_F(TargetQuery, RemovedObjectLeavesEveryList) {
    Current("JDAM");
    ObjectRecord* o = Aircraft(0, 0, 0x100000);
    ObjectRecord* other = Aircraft(0, 0, 0x200000);
    other->target = o;
    obj_BuildCandidates(player, 1, 1);
    ASSERT_EQ(player->target, o);
    weapon_TargetListAdd(o);
    ASSERT_EQ(weapon_TargetCount, 1);
    obj_Remove(o, nullptr);
    EXPECT_EQ(obj_TypeList.count, 1);
    EXPECT_EQ(obj_CandidateIndex(o), -1);
    EXPECT_EQ(weapon_TargetCount, 0);
    EXPECT_EQ(other->target, nullptr);
    EXPECT_EQ(player->target, nullptr);
}

// The detection range is set by the player's target searches; the AI's
// searches run before any of them and must still see.
TEST_F(TargetQuery, DetectionSearchNeedsNoEarlierPlayerSearch) {
    ObjectRecord* a = Aircraft(0x1000000, 0, 0);
    a->side = 4;
    ObjectRecord* unit = Make(0, 0, 0);
    int32_t d = 0;
    EXPECT_EQ(obj_FindNextNearest(unit, 1, 1, 0, 0x10000000, &d), a);
    EXPECT_EQ(d, 0x1000000);
    // Once the player has searched, his 40-mile range holds.
    obj_BuildCandidates(player, 1, 1);
    a->position.x = kMid + 0x3C000000u;
    EXPECT_EQ(obj_FindNextNearest(unit, 1, 1, 0, 0x7FFFFFFF, nullptr), nullptr);
}
