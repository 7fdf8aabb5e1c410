// The player aircraft's event services: hits and systems damage, store
// counting, waypoint stepping, weapon statistics and the sight ray.
#include <gtest/gtest.h>

#include <cstdlib>

#include "debug/console.h"
#include "net/client.h"
#include "net/player.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "sim_fixture.h"

namespace {

class PlaneEventsTest : public SimEnv {
protected:
    void SetUp() override {
        SimEnv::SetUp();
        plane_Shutdown();
        plane_Init();
        ASSERT_NE(plane_Create(plane_TypeFind("KRX")), nullptr);
        for (int32_t& w : plane_SystemsDamage) w = 0;
        plane_WarningCount = 0;
        con_UnlimitedStores = 0;
        plane_WeaponStatsClear();
    }
    void TearDown() override {
        plane_Shutdown();
        SimEnv::TearDown();
    }
    int32_t Damaged(void) {
        int32_t n = 0;
        for (int32_t w : plane_SystemsDamage) n += w;
        return n;
    }
};

TEST_F(PlaneEventsTest, HitsDamageSystemsAndWarnOnlyOnANewFailure) {
    // The gun's hit count is 0; a type outside the table has none.
    for (int32_t type : {0, -1, 39, 1000}) {
        plane_PlayerHit(type);
        EXPECT_EQ(Damaged(), 0) << type;
        EXPECT_EQ(plane_WarningCount, 0) << type;
    }
    // A missile hit damages a system the type can lose, often enough.
    int32_t hits = 0;
    while (Damaged() == 0 && hits < 200) {
        plane_PlayerHit(1);
        hits++;
    }
    ASSERT_GT(Damaged(), 0);
    EXPECT_EQ(plane_WarningCount, 1);
    for (int32_t i = 0; i < PLANE_SYSTEMS; i++)
        if (plane_SystemsDamage[i]) {
            EXPECT_TRUE(plane_TypeKrx.damageableSystems & (1u << i)) << i;
        }
}

TEST_F(PlaneEventsTest, DamageSystemTable) {
    struct Case {
        int32_t index;
        int32_t newly;
        int32_t alsoSet;   // -1 none
    };
    // 3 takes 11 with it; 0 and 4 are not damageable on this type; 19..31
    // are beyond the block's systems.
    const Case cases[] = {{1, 1, -1}, {3, 1, 11}, {0, 0, -1}, {4, 0, -1}, {19, 0, -1}, {31, 0, -1}, {-1, 0, -1}};
    for (const Case& c : cases) {
        for (int32_t& w : plane_SystemsDamage) w = 0;
        plane_ApplyDamageC(c.index);
        EXPECT_EQ(plane_SystemNewlyDamaged, c.newly) << c.index;
        EXPECT_EQ(Damaged(), c.newly + (c.alsoSet >= 0 ? 1 : 0)) << c.index;
        if (c.alsoSet >= 0) {
            EXPECT_EQ(plane_SystemsDamage[c.alsoSet], 1);
        }
    }
    // Again: no longer new.
    plane_DamageSystem(1);
    plane_DamageSystem(1);
    EXPECT_EQ(plane_SystemNewlyDamaged, 0);
}

TEST_F(PlaneEventsTest, StoreDecrementFromMountsThenStoreCount) {
    PlayerAircraftBlock block{};
    ord_AddStoreType(&block.loadout, 1, 2, 2, -1);
    ord_AddMount(&block.loadout, 70, 1, 1, 1);
    ASSERT_NE(plane_LoadedMountEntry(&block, 1), nullptr);
    EXPECT_EQ(plane_DecrementStore(&block, 1), 0);   // the mount's one
    EXPECT_EQ(plane_LoadedMountEntry(&block, 1), nullptr);
    EXPECT_NE(plane_MountEntry(&block, 1), nullptr);
    EXPECT_EQ(plane_StoreEntry(&block, 1)->count, 2);
    EXPECT_EQ(plane_DecrementStore(&block, 1), 0);
    EXPECT_EQ(plane_DecrementStore(&block, 1), 0);
    EXPECT_EQ(plane_DecrementStore(&block, 1), -1);  // nothing left
    EXPECT_EQ(plane_DecrementStore(&block, 2), -1);  // no such store
    EXPECT_EQ(plane_DecrementStore(nullptr, 1), -1);

    // Unlimited stores: always taken, nothing changes.
    con_UnlimitedStores = 1;
    const PlayerAircraftBlock before = block;
    for (int32_t type : {1, 2, 38}) EXPECT_EQ(plane_DecrementStore(&block, type), 0);
    EXPECT_EQ(memcmp(&before, &block, sizeof block), 0);
}

TEST_F(PlaneEventsTest, WaypointStepsWrap) {
    MakePool(&level_ClientArrays.player, sizeof(_PLAYER_DCB), 1);
    ObjectRecord* p = net_DcbPoolTake(&level_ClientArrays.player);
    ASSERT_NE(p, nullptr);
    PlanePlayerFields* f = plane_PlayerFields(p);
    f->waypointCount = 4;
    struct Case {
        uint8_t from;
        void (*step)(ObjectRecord*);
        uint8_t to;
    };
    const Case cases[] = {{3, plane_WaypointNext, 0}, {0, plane_WaypointPrev, 3}, {2, plane_WaypointPrev, 1},
                          {1, plane_WaypointNext, 2}, {0, plane_WaypointHome, 2}};
    for (const Case& c : cases) {
        f->waypointIndex = c.from;
        c.step(p);
        EXPECT_EQ(f->waypointIndex, c.to) << int(c.from);
    }
    f->waypointCount = 1;
    plane_WaypointHome(p);
    EXPECT_EQ(f->waypointIndex, 0);
    level_ClientArrays = LevelClientArrays{};
}

TEST_F(PlaneEventsTest, WeaponStatisticsEntries) {
    EXPECT_EQ(plane_WeaponStatsEntry(-1), nullptr);
    EXPECT_EQ(plane_WeaponStatsEntry(39), nullptr);
    PlaneWeaponStats* a = plane_WeaponStatsEntry(5);
    ASSERT_NE(a, nullptr);
    a->counter[0] = 7;
    EXPECT_EQ(plane_WeaponStatsEntry(5), a);
    EXPECT_EQ(plane_WeaponStatsCount, 1);
    plane_WeaponCountAdd(5, 0);   // counts at least one
    plane_WeaponCountAdd(5, 3);
    plane_WeaponCountAdd(40, 3);  // outside the table
    ASSERT_EQ(plane_WeaponCountsCount, 1);
    EXPECT_EQ(plane_WeaponCounts[0].count, 4);
    // The table holds 32 types.
    plane_WeaponStatsClear();
    plane_WeaponStatsCount = PLANE_WEAPON_STATS;
    for (PlaneWeaponStats& s : plane_WeaponStats) s.type = 100;
    EXPECT_EQ(plane_WeaponStatsEntry(6), nullptr);
}

TEST_F(PlaneEventsTest, FineSightPointLiesWithinOneCoarseStep) {
    // 300 metres over flat ground, looking down the sight line.
    plane_Current->position = {1000.0f, 300.0f, 1000.0f};
    FixWorldPos coarse{}, fine{};
    ASSERT_EQ(plane_SightGroundPoint(&coarse), 0);
    EXPECT_EQ(plane_SightHit.hit, 1);
    ASSERT_EQ(plane_SightGroundPointFine(&fine), 0);
    const double step = 10.0 * 3.281 * 4096.0;
    EXPECT_LE(std::abs((double)coarse.x - (double)fine.x), step);
    EXPECT_LE(std::abs((double)coarse.z - (double)fine.z), step);
    EXPECT_EQ(coarse.y, fine.y);
    // Too high to reach the ground in the march: no point, flag cleared.
    plane_Current->position = {1000.0f, 20000.0f, 1000.0f};
    EXPECT_EQ(plane_SightGroundPoint(&coarse), -1);
    EXPECT_EQ(plane_SightHit.hit, 0);
}

TEST_F(PlaneEventsTest, WeaponStateComesBack) {
    weapon_CurrentReset();
    plane_SaveWeaponState();
    weapon_CurrentId = 3;
    weapon_CurrentPanelIndex = 2;
    weapon_LaunchRecord.value[1] = 9;
    plane_RestoreWeaponState();
    EXPECT_EQ(weapon_CurrentId, -1);
    EXPECT_EQ(weapon_CurrentPanelIndex, -1);
    EXPECT_EQ(weapon_LaunchRecord.value[1], 0);
}

}  // namespace
