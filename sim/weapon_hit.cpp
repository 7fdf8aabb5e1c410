// Hits and endings of weapons: the proximity search, the damage handed to
// the victim's damage routine, the blasts of bombs and released stores, the
// explosion events for the clients, and the player's shot and hit counters.
#include <algorithm>

#include "base/math.h"
#include "debug/dbgobj.h"
#include "net/client.h"
#include "net/msg.h"
#include "net/server.h"
#include "platform/simlog.h"
#include "render/fx.h"
#include "render/objmove.h"
#include "shell/runner.h"
#include "sim/hit.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "sound/sndtrig.h"
#include "sim/flight_jet.h"
#include "world/gamemode.h"
#include "world/levelseq.h"
#include "world/objarray.h"
#include "world/terrain.h"

SimHitRecord sim_HitRecord;
WeaponStats weapon_Stats;
WeaponTypeStats weapon_TypeStats[WEAPON_TYPES];
ObjectRecord* weapon_LastLaunch;

namespace {

constexpr uint32_t kMissileBlastSize = 0x2F80000;
constexpr uint32_t kWideBlastSize = 0x4A380000;
constexpr uint32_t kBombBlastSize = 0x5F00000;
constexpr uint32_t kSmallBlastSize = 0x20000;
constexpr int32_t kAreaRadius = 0x200000;
constexpr int32_t kDirectRadius = 0x20000;

bool OnServer(const ObjectRecord* o) { return weapon_OnServer(o) != 0; }

// The chain a weapon lives in: the server's object list, or the client's
// own objects.
ObjectRecord* Chain(const ObjectRecord* w) {
    return OnServer(w) ? level_ServerTables.objectList : level_ClientTables.objectList;
}

// The static objects of the world cell under the position.
ObjectRecord* CellHead(const FixWorldPos& p) {
    if (!depth_Level.staticHeads) return nullptr;
    return depth_Level.staticHeads[obj_CellIndex(p.x, p.z)];
}

void Event(uint16_t id, const ObjectRecord* w, uint32_t size, int32_t kind) {
    FixWorldPos at = w->position;
    Server_CallQueueEvent(id, w->serial, &at, SERVER_IN_RANGE, 0, size, kind);
    plat_SimLog("weapon", "event 0x%x serial=%u", id, w->serial);
}

// Damage of the weapon: its hit value give or take a random part of its
// spread, never below 0.
void HitRecordFill(ObjectRecord* w) {
    const WeaponObjectFields* f = weapon_Fields(w);
    const int64_t spread = static_cast<int64_t>(math_Random() & 0xFFFF) * f->hitSpread / 65536;
    int64_t damage = (math_Random() & 1) ? f->hitValue - spread : f->hitValue + spread;
    damage = std::clamp<int64_t>(damage, 0, INT32_MAX);
    sim_HitRecord.hitter = w;
    sim_HitRecord.damage = static_cast<int32_t>(damage);
    sim_HitRecord.owner = w->owner;
    sim_HitRecord.kind = f->hitKind;
    sim_HitRecord.serial = w->serial;
}

void Hit(ObjectRecord* w, ObjectRecord* victim) {
    HitRecordFill(w);
    if (victim->hit) victim->hit(victim);
    weapon_StatsHit(w->owner, weapon_Fields(w)->row, victim);
}

// The row's warning bits into the threat byte of an air target: the
// player's mark byte, or the unit's countermeasure request.
void Warn(ObjectRecord* w) {
    ObjectRecord* t = w->target;
    const _WEAPON_TYPE* row = weapon_Fields(w)->row;
    if (!t || !row || !row->warningBits || (t->flags & OBJ_FLAG_STATIC) || !(t->aiClass & 0x01)) return;
    const uint8_t bits = static_cast<uint8_t>(row->warningBits);
    if (t->flags & OBJ_FLAG_PLAYER)
        t->drawFlags |= bits;
    else if (t->pool == &level_ServerArrays.ai)
        reinterpret_cast<_AI_DCB*>(t)->countermeasure |= bits;
}

// Every object within the radius of the weapon: the hit with a multiplier
// falling off with the distance from 1.0 to 0.25.
void Blast(ObjectRecord* w, int32_t radius, bool cells) {
    const ObjectRecord* owner = w->owner;
    auto in = [&](ObjectRecord* o) -> bool {
        if (o == w || o->hitPoints <= 0) return false;
        const int32_t d = obj_Distance(w, o);
        if (d > radius) return false;
        sim_HitRecord.scale = static_cast<int32_t>(static_cast<int64_t>(radius - d) * 0xC000 / radius + 0x4000);
        return true;
    };
    for (ObjectRecord* o = Chain(w); o; o = o->next)
        if (in(o)) Hit(w, o);
    if (!cells) return;
    const bool playerBomb = owner && (owner->flags & OBJ_FLAG_PLAYER);
    const uint8_t team = owner ? owner->flags & (OBJ_FLAG_ALLIANCE_A | OBJ_FLAG_ALLIANCE_B) : 0;
    for (ObjectRecord* o = CellHead(w->position); o; o = o->freeLink) {
        if (!level_GameMode.singlePlayer && playerBomb && (o->flags & team)) continue;
        if (in(o)) Hit(w, o);
    }
}

// Store class of a row for the family counters: 0 gun, 1 missile family
// 0x40, 2 missile family 0x80, 3 bomb, 4 fuel pod; -1 none.
int32_t Family(const _WEAPON_TYPE* row) {
    if (!row) return -1;
    if (row->kind & WEAPON_GUN) return 0;
    if (row->kind & WEAPON_FAMILY_A) return 1;
    if (row->kind & WEAPON_FAMILY_B) return 2;
    if (row->kind & WEAPON_BOMB) return 3;
    if (row->kind & WEAPON_POD) return 4;
    return -1;
}

void Sound(int32_t subtype, int32_t id) {
    sndtrig_Event.volume = 255;
    sndtrig_Event.type = static_cast<uint16_t>(plane_CurrentDescriptor.aircraftSoundType);
    sndtrig_Event.subtype = static_cast<uint16_t>(subtype);
    sndtrig_Event.id = static_cast<uint16_t>(id);
    plat_SimLog("weapon", "sound %d %d", subtype, id);
    if (jet_SoundTable) sndtrig_Trigger(&sndtrig_Event, jet_SoundTable);
}

}  // namespace

int32_t weapon_OnServer(const ObjectRecord* o) {
    const DcbPool* p = o ? o->pool : nullptr;
    const LevelServerArrays& s = level_ServerArrays;
    return p && (p == &s.common || p == &s.ai || p == &s.player || p == &s.statics || p->group == &s.player) ? 1 : 0;
}

void weapon_Sound(int32_t subtype, int32_t id) { Sound(subtype, id); }

void weapon_StatsShot(const ObjectRecord* l, const _WEAPON_TYPE* row) {
    if (!l || !(l->flags & OBJ_FLAG_PLAYER) || !row) return;
    const int32_t family = Family(row);
    if (family >= 0) weapon_Stats.shots[family]++;
    weapon_TypeStats[row - weapon_Types].shots++;
}

void weapon_StatsHit(const ObjectRecord* owner, const _WEAPON_TYPE* row, const ObjectRecord* victim) {
    if (!owner || !(owner->flags & OBJ_FLAG_PLAYER) || !row || !victim) return;
    const int32_t family = Family(row);
    WeaponTypeStats& t = weapon_TypeStats[row - weapon_Types];
    t.hits++;
    if (family >= 0) weapon_Stats.hits[family]++;
    const uint8_t kinds[3] = {0x04, 0x08, 0x10};
    for (int32_t k = 0; k < 3; k++)
        if (victim->flags & kinds[k]) {
            if (family >= 0) weapon_Stats.hitsBy[family][k]++;
            t.hitsBy[k]++;
        }
}

void weapon_FiringSound(void) {
    const _WEAPON_TYPE* row = weapon_ProcessedType;
    if (!row || !row->soundNumber) return;
    WeaponRowState& s = weapon_RowState[row - weapon_Types];
    const int32_t now = static_cast<int32_t>(app_TickCount.load(std::memory_order_acquire));
    Sound(now - s.lastFiringSound > row->firingSoundInterval ? 14 : 15, row->soundNumber);
    Sound(12, row->soundNumber);
    s.lastFiringSound = now;
}

void weapon_NoteOwnLaunch(ObjectRecord* l, ObjectRecord* w) {
    if (level_GameMode.singlePlayer && l && w && (l == Client_PlayerObject || (l->flags & OBJ_FLAG_PLAYER)))
        weapon_LastLaunch = w;
}

int32_t weapon_ProximityTest(ObjectRecord* w, ObjectRecord* c) {
    if (!w || !c || c->hitPoints <= 0) return 0;
    int64_t radius = obj_ModelRadius(c);
    if (w->aiClass & 0x08) radius *= 2;
    if (c->aiClass & 0x02) radius *= 2;
    if (obj_Distance(w, c) > radius) return 0;
    sim_HitRecord.scale = static_cast<int32_t>((math_Random() & 0x3FFF) + 0xC001);
    return 1;
}

ObjectRecord* weapon_FindHit(ObjectRecord* w) {
    if (!w || (w->aiClass & 0x20)) return nullptr;
    if (w->target && weapon_ProximityTest(w, w->target)) return w->target;
    for (ObjectRecord* o = Chain(w); o; o = o->next)
        if (o != w && o != w->owner && weapon_ProximityTest(w, o)) return o;
    // A client's weapon meets the copies of the server's objects too.
    if (!OnServer(w))
        for (ObjectRecord* o = Client.knownObjects; o; o = o->next)
            if (o != w->owner && weapon_ProximityTest(w, o)) return o;
    for (ObjectRecord* o = CellHead(w->position); o; o = o->freeLink)
        if (o != w->owner && weapon_ProximityTest(w, o)) return o;
    return nullptr;
}

int32_t weapon_HitCheck(ObjectRecord* w) {
    WeaponObjectFields* f = weapon_Fields(w);
    Warn(w);
    if (fx_EffectGroundTest(w)) {
        if (f->groundHit) {
            f->groundHit(w);
        } else {
            w->think = nullptr;
            w->secondPass = nullptr;
            obj_Free(w);
        }
        return 1;
    }
    ObjectRecord* victim = weapon_FindHit(w);
    if (!victim) return 0;
    plat_SimLog("weapon", "hit serial=%u victim=%u", w->serial, victim->serial);
    Hit(w, victim);
    weapon_End(w);
    return 1;
}

void weapon_Explode(ObjectRecord* w) {
    if (weapon_Fields(w)->areaBlast)
        Event(EVENT_EXPLODE_FX, w, kWideBlastSize, 0x10);
    else
        Event(EVENT_GRNDEXPLODE_SM, w, kMissileBlastSize, 2);
    weapon_End(w);
}

void weapon_End(ObjectRecord* w) {
    if (!w) return;
    WeaponObjectFields* f = weapon_Fields(w);
    if (f->targetLost) f->targetLost(w);
    if (level_GameMode.singlePlayer && weapon_LastLaunch == w) weapon_LastLaunch = nullptr;
    if (f->row && !(f->row->kind & WEAPON_GUN))
        plat_SimLog("weapon", "end serial=%u %s", w->serial, OnServer(w) ? "server" : "client");
    w->think = nullptr;
    w->secondPass = nullptr;
    obj_Free(w);
}

void weapon_TerrainHit(ObjectRecord* b) {
    // The impact puff only on land; water swallows the round.
    if (!terrain_CellFlagGet(&b->position)) fx_ImpactSpriteSpawn(b);
    b->think = nullptr;
    b->secondPass = nullptr;
    obj_Free(b);
}

int32_t weapon_AreaBlast(ObjectRecord* w) {
    if (!fx_EffectGroundTest(w)) return 0;
    WeaponObjectFields* f = weapon_Fields(w);
    dbg_BombDebugRemove(w);
    dbg_BombPathRemove(w->serial);
    Blast(w, kAreaRadius, true);
    if (f->areaBlast)
        Event(EVENT_EXPLODE_FX, w, kWideBlastSize, 0x10);
    else
        Event(EVENT_BOMBEXPLODE, w, kBombBlastSize, 4);
    if (weapon_LastLaunch == w) weapon_LastLaunch = nullptr;
    w->think = nullptr;
    w->secondPass = nullptr;
    obj_Free(w);
    return 1;
}

void weapon_AreaBlastGround(ObjectRecord* w) {
    // At the ground already: the blast acts at once.
    if (!weapon_AreaBlast(w)) weapon_End(w);
}

int32_t weapon_DirectBlast(ObjectRecord* w) {
    if (!fx_EffectGroundTest(w)) return 0;
    Blast(w, kDirectRadius, true);
    Event(EVENT_SMALLEXPLODE, w, kSmallBlastSize, 4);
    w->think = nullptr;
    w->secondPass = nullptr;
    obj_Free(w);
    return 1;
}
