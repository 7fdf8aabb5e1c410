// Weapons at work: the held gun, blasts and their falloff, flak's dangerous
// frames, the AI launch entries, silent decoys from the network and the
// team-mate rule of missile creation.
#include <gtest/gtest.h>

#include <string>

#include "net/dcbpool.h"
#include "platform/simlog.h"
#include "shell/runner.h"
#include "sim/hit.h"
#include "sim/ord.h"
#include "target_fixture.h"
#include "world/gamemode.h"
#include "world/levelseq.h"
#include "world/objarray.h"
#include "world/pak.h"

namespace {

// What the last damage routine call saw.
struct Seen {
    ObjectRecord* victim;
    SimHitRecord record;
};
std::vector<Seen> g_hits;
void Record(ObjectRecord* o) { g_hits.push_back(Seen{o, sim_HitRecord}); }

int32_t Count(const std::string& text, const std::string& what) {
    int32_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) n++;
    return n;
}

class WeaponHit : public TargetEnv {
protected:
    void SetUp() override {
        TargetEnv::SetUp();
        MakePool(&level_ServerArrays.common, sizeof(_COMMON_DCB), 16);
        weapon_LaunchRecord = WeaponLaunchRecord{};
        level_ServerTables.objectList = nullptr;
        g_hits.clear();
        unsetenv("KRX_SIMLOG");
        plat_SimLogReset();
        level_GameMode.singlePlayer = 1;
        weapon_Stats = WeaponStats{};
        for (WeaponTypeStats& t : weapon_TypeStats) t = WeaponTypeStats{};
    }
    void TearDown() override {
        level_ServerTables.objectList = nullptr;
        level_GameMode.singlePlayer = 0;
        weapon_FlareList = weapon_ChaffList = nullptr;
        TargetEnv::TearDown();
    }
    // An object of the server's chain with the recording damage routine.
    ObjectRecord* Victim(int32_t dx, int32_t dy, int32_t dz) {
        ObjectRecord* o = Make(dx, dy, dz);
        o->hit = Record;
        net_ObjectListLink(&level_ServerTables.objectList, o);
        return o;
    }
};

}  // namespace

TEST_F(WeaponHit, HeldGunFiresEveryFewFramesAndStartsItsSoundAfterQuiet) {
    MakePool(&level_ClientArrays.common, sizeof(_COMMON_DCB), 64);
    ASSERT_NE(ord_ManagerCreate(), nullptr);
    ASSERT_NE(ord_PanelAdd(Row("M61A1"), 500, 500, -1), nullptr);
    ord_PanelsSort();
    weapon_Select(Row("M61A1"));
    plane_CurrentDescriptor.gunParameters[2] = 0x10000;
    weapon_RowState[0].lastFiringSound = -1000;
    struct Burst {
        int32_t frames, quietAfter;
        int32_t starts;   // subtype 14 expected in this burst
    } bursts[] = {{12, 25, 1}, {8, 10, 1}, {8, 0, 0}};
    int32_t lastShotTick = -100;
    for (const Burst& b : bursts) {
        testing::internal::CaptureStderr();
        const int32_t freeBefore = net_DcbPoolFreeCount(&level_ClientArrays.common);
        for (int32_t i = 0; i < b.frames; i++) {
            app_TickCount++;
            const int32_t before = net_DcbPoolFreeCount(&level_ClientArrays.common);
            weapon_LaunchGun(player);
            if (net_DcbPoolFreeCount(&level_ClientArrays.common) != before) {
                const int32_t now = static_cast<int32_t>(app_TickCount.load());
                EXPECT_GE(now - lastShotTick, 4) << "released within the interval";
                lastShotTick = now;
            }
        }
        const std::string log = testing::internal::GetCapturedStderr();
        const int32_t shots = freeBefore - net_DcbPoolFreeCount(&level_ClientArrays.common);
        EXPECT_GE(shots, b.frames / 5);
        EXPECT_EQ(Count(log, "sound 14 "), b.starts) << log;
        EXPECT_EQ(Count(log, "sound 15 ") + Count(log, "sound 14 "), shots);
        EXPECT_EQ(Count(log, "sound 12 "), shots);
        app_TickCount += b.quietAfter;
    }
    EXPECT_GT(weapon_Stats.shots[0], 0);
    ord_LoadoutEnd(0);
}

TEST_F(WeaponHit, AreaBlastHitsEverythingInRangeWithFalloff) {
    // The bomb's own side stands in the chain too.
    player->flags = OBJ_FLAG_PLAYER | OBJ_FLAG_ALLIANCE_A;
    struct Case {
        int32_t dx;
        bool hit;
        int32_t scale;
    } cases[] = {{0x10, true, 0xFFFA}, {0x100000, true, 0xA000}, {0x200000, true, 0x4000}, {0x200001, false, 0}};
    std::vector<ObjectRecord*> victims;
    for (const Case& c : cases) {
        ObjectRecord* v = Victim(c.dx, 0, 0);
        v->flags = OBJ_FLAG_ALLIANCE_A;
        v->position.y = 0;
        victims.push_back(v);
    }
    weapon_SetCurrentType(Row("MK20"));
    ObjectRecord* bomb = weapon_LaunchBombObject(player, nullptr);
    ASSERT_NE(bomb, nullptr);
    EXPECT_EQ(weapon_AreaBlast(bomb), 0) << "above the ground";
    bomb->position = FixWorldPos{kMid, 0, kMid};
    testing::internal::CaptureStderr();
    EXPECT_EQ(weapon_AreaBlast(bomb), 1);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("event 0x10 "), std::string::npos) << log;
    EXPECT_TRUE(bomb->pending & OBJECT_PENDING_REMOVAL);
    const _WEAPON_TYPE& row = weapon_Types[Row("MK20")];
    for (size_t i = 0; i < victims.size(); i++) {
        const Seen* s = nullptr;
        for (const Seen& h : g_hits)
            if (h.victim == victims[i]) s = &h;
        EXPECT_EQ(s != nullptr, cases[i].hit) << i;
        if (!s) continue;
        EXPECT_NEAR(s->record.scale, cases[i].scale, 8) << i;
        EXPECT_EQ(s->record.owner, player);
        EXPECT_EQ(s->record.kind, row.hitKind);
        EXPECT_GE(s->record.damage, row.hitValue - row.hitSpread);
        EXPECT_LE(s->record.damage, row.hitValue + row.hitSpread);
    }
}

TEST_F(WeaponHit, FlakIsDangerousInItsLastThreeFrames) {
    struct Case {
        int32_t lifetime, firstDangerous;
    } cases[] = {{4, 1}, {7, 4}};
    for (const Case& c : cases) {
        const FixWorldPos at{kMid, kAlt, kMid};
        ObjectRecord* o = weapon_FlakCreate(player, &at);
        ASSERT_NE(o, nullptr);
        EXPECT_GE(weapon_Fields(o)->lifetime, 4);
        EXPECT_LE(weapon_Fields(o)->lifetime, 7);
        weapon_Fields(o)->lifetime = c.lifetime;
        testing::internal::CaptureStderr();
        int32_t frames = 0, dangerous = 0, first = 0;
        while (!(o->pending & OBJECT_PENDING_REMOVAL) && frames < 20) {
            o->think(o);
            frames++;
            if (o->secondPass == weapon_HitCheck && dangerous++ == 0) first = frames;
        }
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_EQ(frames, c.lifetime);
        EXPECT_EQ(dangerous, 3) << "then the last frame frees it";
        EXPECT_EQ(first, c.firstDangerous);
        EXPECT_EQ(weapon_Fields(o)->hitValue, 640);
        EXPECT_EQ(weapon_Fields(o)->hitKind, 2);
    }
}

TEST_F(WeaponHit, AiLaunchEntries) {
    MakePool(&level_ServerArrays.ai, sizeof(_AI_DCB), 1);
    ObjectRecord* u = net_DcbPoolTake(&level_ServerArrays.ai);
    ASSERT_NE(u, nullptr);
    auto* unit = reinterpret_cast<_AI_DCB*>(u);
    u->position = FixWorldPos{kMid, kAlt, kMid};
    u->hitPoints = 1;
    u->target = Aircraft(0, 0, 0x1000000);
    u->side = 3;

    // Missile: locked on the unit's target, the fired flag until it ends.
    const FixVec3 offset{0, -0x1000, 0};
    ObjectRecord* m = weapon_AiLaunchMissile(u, Row("AI_SR_MISSILE"), &offset);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->target, u->target);
    EXPECT_EQ(weapon_Fields(m)->row, &weapon_Types[Row("AI_SR_MISSILE")]);
    EXPECT_EQ(weapon_Fields(m)->lifetime, 20);
    EXPECT_EQ(unit->gunCountdown, 1);
    weapon_End(m);
    EXPECT_EQ(unit->gunCountdown, 0);
    // A wild weapon index falls back to row 0 rather than reading past the table.
    ObjectRecord* wild = weapon_AiLaunchMissile(u, 99, nullptr);
    ASSERT_NE(wild, nullptr);
    EXPECT_EQ(weapon_Fields(wild)->row, &weapon_Types[0]);

    // SAM: straight off the launcher, 63.28 degrees up, no drop.
    u->angles = FixAngles{0x400000, 0, 0x100000};
    ObjectRecord* sam = weapon_AiLaunchSam(u);
    ASSERT_NE(sam, nullptr);
    EXPECT_EQ(sam->angles.heading, 0x400000);
    EXPECT_EQ(sam->angles.pitch, 0x5A0000);
    EXPECT_EQ(sam->think, weapon_MissileThink);
    EXPECT_EQ(sam->target, u->target);
    EXPECT_EQ(weapon_Fields(sam)->groundHit, weapon_Explode);

    // Bomb: aimed at the target's position.
    u->angles = FixAngles{};
    ObjectRecord* bomb = weapon_AiDropBomb(u, &offset);
    ASSERT_NE(bomb, nullptr);
    EXPECT_EQ(weapon_Fields(bomb)->row, &weapon_Types[8]);

    // Gun: the second stream is skipped by the hit search.
    ObjectRecord* b0 = weapon_AiGunShot(u, 0);
    ObjectRecord* b1 = weapon_AiGunShot(u, 1);
    ASSERT_NE(b0, nullptr);
    ASSERT_NE(b1, nullptr);
    EXPECT_EQ(b0->aiClass & 0x20, 0);
    EXPECT_EQ(b1->aiClass, 0x20);
    EXPECT_EQ(weapon_FindHit(b1), nullptr);
    EXPECT_EQ(b0->side, 3);
    EXPECT_EQ(b0->secondPass, weapon_HitCheck);
    EXPECT_EQ(weapon_Fields(b0)->groundHit, weapon_TerrainHit);
}

TEST_F(WeaponHit, DecoyFromTheNetworkIsSilent) {
    weapon_LaunchRecord.position = FixVec3{static_cast<int32_t>(kMid), static_cast<int32_t>(kAlt), static_cast<int32_t>(kMid)};
    for (int32_t silent = 0; silent < 2; silent++) {
        testing::internal::CaptureStderr();
        weapon_DecoySpawn.silent = static_cast<uint8_t>(silent);
        ASSERT_NE(weapon_ChaffCreate(nullptr), nullptr);
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_EQ(Count(log, "sound 0 9"), silent ? 0 : 1) << log;
        EXPECT_EQ(weapon_DecoySpawn.silent, 0) << "the flag serves one decoy";
    }
}

TEST_F(WeaponHit, NoMissileAtATeamMateOutsideSinglePlayer) {
    ObjectRecord* mate = Aircraft(0, 0, 0x1000000);
    weapon_SetCurrentType(Row("AIM120"));
    weapon_LaunchLock = 2;
    player->target = mate;
    struct Case {
        int32_t single;
        uint8_t ownFlags, mateFlags;
        bool made;
    } cases[] = {
        {0, OBJ_FLAG_PLAYER | OBJ_FLAG_ALLIANCE_A, OBJ_FLAG_PLAYER | OBJ_FLAG_ALLIANCE_A, false},
        {0, OBJ_FLAG_PLAYER | OBJ_FLAG_ALLIANCE_A, OBJ_FLAG_PLAYER | OBJ_FLAG_ALLIANCE_B, true},
        {0, OBJ_FLAG_PLAYER, OBJ_FLAG_PLAYER, true},   // no teams
        {1, OBJ_FLAG_PLAYER | OBJ_FLAG_ALLIANCE_A, OBJ_FLAG_PLAYER | OBJ_FLAG_ALLIANCE_A, true},
    };
    for (const Case& c : cases) {
        level_GameMode.singlePlayer = c.single;
        player->flags = c.ownFlags;
        mate->flags = c.mateFlags;
        EXPECT_EQ(weapon_CreateMissile(player) != nullptr, c.made) << c.single << " " << int(c.ownFlags);
    }
}

TEST_F(WeaponHit, ProximityDecidesTheHitAndTheVictimIsDamaged) {
    _PAK_HEADER model{};
    model.radius = 0x1000;
    struct Case {
        uint8_t weaponClass, victimClass;
        int32_t dz;
        int16_t hp;
        bool hit;
    } cases[] = {
        {0x00, 0x01, 0x1000, 1, true},   {0x00, 0x01, 0x1001, 1, false},  // bullet: the radius
        {0x08, 0x01, 0x2000, 1, true},   {0x08, 0x01, 0x2001, 1, false},  // missile: doubled
        {0x08, 0x02, 0x4000, 1, true},   {0x00, 0x02, 0x2001, 1, false},  // ground: doubled again
        {0x00, 0x01, 0x0800, 0, false},                                   // a wreck takes no hits
        {0x20, 0x01, 0x0800, 1, false},                                   // the show stream
    };
    weapon_SetCurrentType(Row("M61A1"));
    for (const Case& c : cases) {
        level_ServerTables.objectList = nullptr;
        g_hits.clear();
        ObjectRecord* v = Victim(0, 0, c.dz);
        v->model = &model;
        v->aiClass = c.victimClass;
        v->hitPoints = c.hp;
        ObjectRecord* w = net_DcbPoolTake(&level_ServerArrays.common);
        ASSERT_NE(w, nullptr);
        w->position = FixWorldPos{kMid, kAlt, kMid};
        weapon_InitBullet(w);
        w->owner = player;
        w->aiClass = c.weaponClass;
        EXPECT_EQ(weapon_HitCheck(w), c.hit ? 1 : 0) << int(c.weaponClass) << " " << c.dz;
        ASSERT_EQ(g_hits.size(), c.hit ? 1u : 0u);
        if (!c.hit) continue;
        EXPECT_EQ(g_hits[0].victim, v);
        EXPECT_GE(g_hits[0].record.scale, 0xC001);
        EXPECT_LE(g_hits[0].record.scale, 0xFFFF);
        EXPECT_EQ(g_hits[0].record.hitter, w);
        EXPECT_EQ(g_hits[0].record.serial, w->serial);
        EXPECT_TRUE(w->pending & OBJECT_PENDING_REMOVAL) << "the bullet ends with its hit";
    }
    EXPECT_EQ(weapon_TypeStats[Row("M61A1")].hits, 3) << "the player's hits counted";
}

TEST_F(WeaponHit, HomingMissileMarksAnAirTarget) {
    weapon_SetCurrentType(Row("AIM120"));
    weapon_LaunchLock = 2;
    ObjectRecord* shooter = Aircraft(0, 0, 0x1000000);
    shooter->target = player;
    player->aiClass = 0x01;
    player->drawFlags = 0;
    ObjectRecord* m = weapon_CreateMissile(shooter);
    ASSERT_NE(m, nullptr);
    weapon_HitCheck(m);
    EXPECT_EQ(player->drawFlags, weapon_Types[Row("AIM120")].warningBits);
    EXPECT_NE(player->drawFlags, 0);
}
