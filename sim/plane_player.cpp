// The player's aircraft object: its think and second pass around the
// flight model (ground contact, touchdown and take-off, crashes, collisions,
// the destroyed and falling states, ejection, respawn), radar detection,
// waypoint reports, automatic countermeasures, the systems damage block and
// the player's landing, crash and kill counts.
#include <cstring>

#include "base/fix.h"
#include "base/units.h"
#include "cockpit/avion.h"
#include "cockpit/tacmap.h"
#include "debug/console.h"
#include "input/ffb.h"
#include "net/client.h"
#include "net/dcbpool.h"
#include "net/player.h"
#include "net/rules.h"
#include "net/server_calls.h"
#include "platform/simlog.h"
#include "render/fx.h"
#include "render/object.h"
#include "render/objmove.h"
#include "render/render.h"
#include "render/view.h"
#include "shell/runner.h"
#include "sim/ai.h"
#include "sim/flight.h"
#include "sim/flight_jet.h"
#include "sim/obj.h"
#include "sim/ord.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "sound/sndtrig.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/levelseq.h"
#include "world/objarray.h"
#include "world/pak.h"
#include "world/terrain.h"

PlanePlayerStats plane_Stats;
ObjHandle plane_LastWreck;
int32_t plane_GroundSightOff = 0;
int32_t plane_SystemsDamage[PLANE_SYSTEMS];
int32_t plane_SystemNewlyDamaged = 0;
FixAngles plane_AttitudeChange;
int32_t plane_DebriefDelay = 0;

namespace {

constexpr int32_t kWaypointReach = 0x4C0000;
constexpr int32_t kRadarRange = 0x3B600000;
constexpr int32_t kKnownRange = 0x4740000;
constexpr int32_t kThreatRange = 0x2F80000;
constexpr int32_t kCollisionRange = 0xF0000;
constexpr int32_t kRunwayRange = 0x1900000;
constexpr int32_t kTouchdownSpeed = 0x10400;
constexpr int32_t kRollSpeed = 0xEC86;
constexpr int32_t kStopSpeed = 0x10000 / 64;
constexpr int32_t kStopMotion = 0x600;
constexpr int32_t kAngleMask = 0x1FFFFFF;
constexpr uint32_t kDeathDistance = 0x680000;
constexpr int32_t kDeathPitch = 0x200000;

uint32_t Now(void) { return app_TickCount.load(std::memory_order_relaxed); }

bool IsPlayerPool(const DcbPool* pool) {
    return pool && (pool == &level_ServerArrays.player || pool == &level_ClientArrays.player) &&
           pool->size >= sizeof(_PLAYER_DCB);
}

// The mission is over once the end-of-flight screen is up.
bool MissionEnded(void) { return render_EndOfFlight != 0; }

bool Local(const ObjectRecord* o) { return o && o == Client_PlayerObject; }

// The aircraft's own sound (the descriptor's sound type) at the object.
void Sound(const ObjectRecord* o, int32_t subtype, int32_t id) {
    plane_PlaySound(o, plane_CurrentDescriptor.aircraftSoundType, subtype, id);
}

void Trigger(ObjectRecord* o, uint16_t value, uint16_t trigger) {
    Client_SendPlayerTrig(value, trigger);
    plat_SimLog("player", "trigger %u value=%u hp=%d", trigger, value, o ? o->hitPoints : 0);
}

void Reset(uint16_t kind) {
    Client_SendPlayerReset(kind);
    plat_SimLog("player", "reset %#x", kind);
}

int32_t Distance(const FixWorldPos* a, const FixWorldPos* b) { return obj_PosDistance(a, b); }

// Signed difference of two 25-bit angles.
int32_t AngleDelta(int32_t now, int32_t before) {
    int32_t d = (int32_t)(((uint32_t)now - (uint32_t)before) & kAngleMask);
    return d >= 0x1000000 ? d - 0x2000000 : d;
}

int32_t GroundHeight(const ObjectRecord* o, bool bilinear) {
    int32_t base = o->model ? o->model->baseHeight : 0;
    return (bilinear ? terrain_HeightBilinear(&o->position) : terrain_HeightMax4(&o->position)) + base;
}

bool OverWater(const ObjectRecord* o) { return terrain_CellFlagGet(&o->position) != 0; }

bool RollTooSteep(int32_t roll) {
    roll &= kAngleMask;
    return roll > 0x1C0000 && roll < 0x1F60000;
}

bool PitchTooSteep(int32_t pitch) {
    pitch &= kAngleMask;
    return pitch > 0x180000 && pitch < 0x1D00000;
}

bool RunwayNear(const ObjectRecord* o) {
    for (const ObjCategoryList& list : obj_CategoryLists) {
        if (list.bit != OBJ_CATEGORY_LANDING) continue;
        for (int32_t i = 0; i < list.count && i < 256; i++) {
            const ObjectRecord* r = list.items[i];
            if (r && (r->flags & OBJ_FLAG_ALLIANCE_B) && Distance(&o->position, &r->position) < kRunwayRange) return true;
        }
    }
    return false;
}

void DeathView(ObjectRecord* o) {
    ViewModeRecord* mode = &view_ModeTable[VIEW_MODE_FOLLOW];
    view_TargetSet(mode, o);
    mode->distance = (int32_t)kDeathDistance;
    mode->lookPitch = kDeathPitch;
    view_Words.pending = mode;
    view_ModeSelect();
}

void MissionFailed(void) {
    // A success taken in this very tick does not stand against the loss.
    if (tacmap_MissionOutcome == 1 && tacmap_OutcomeTick == Now()) tacmap_MissionOutcome = 0;
    if (tacmap_MissionOutcome == 0) {
        tacmap_MissionOutcome = 2;
        tacmap_OutcomeTick = Now();
    }
}

void ThrottleClear(void) {
    if (plane_Current && plane_Current->descriptor == &plane_TypeKrx) {
        JetEngine& e = jet_Record(plane_Current)->state.engine;
        e.throttleCommand = e.throttle = 0.0f;
    }
}

void ClearFlying(void) {
    if (plane_Current) plane_Current->flags &= ~(uint32_t)(PLANE_FLYING | PLANE_DESTROYED);
}

// The death camera of a single-player game: circles the wreck, or the
// crash point when no wreck could be made.
void DeathCameraThink(ObjectRecord* o) {
    o->angles.heading = (o->angles.heading + 0x1000) & kAngleMask;
    const int32_t target = terrain_HeightBilinear(&o->position) + 0x3A90000;
    int32_t step = (target - (int32_t)o->position.y) / 16;
    if (step > 0x4000) step = 0x4000;
    if (step < -0x4000) step = -0x4000;
    o->position.y = (uint32_t)((int32_t)o->position.y + step);
    o->speed = 0x8000;
    obj_VelocityFromSpeed(o);
    obj_MotionIntegrate(o);
}

void EjectState(ObjectRecord* o, bool airborne);

void DeathCamera(ObjectRecord* o) {
    EjectState(o, false);
    MissionFailed();
    ObjectRecord* wreck = obj_HandleResolve(&plane_LastWreck);
    o->position.y = (uint32_t)terrain_HeightBilinear(&o->position) + (uint32_t)(50.0f * FIX_FEET_PER_METRE * FIX_UNITS_PER_FOOT);
    o->target = wreck;
    ViewModeRecord* mode = &view_ModeTable[wreck ? VIEW_MODE_TARGET_FROM_OBJECT : VIEW_MODE_FOLLOW];
    view_TargetSet(mode, o);
    view_Words.pending = mode;
    view_ModeSelect();
    o->think = DeathCameraThink;
    o->speed = 0x8000;
}

// Second pass while dead: in the respawn game the aircraft comes back at once.
int32_t RespawnCheck(ObjectRecord* o) {
    if (!level_GameMode.singlePlayer && rules_Settings.respawn) {
        plane_PlaceForRespawn(o, &player_Startup);
        Reset(0xFFFF);
    }
    return 0;
}

// The ejected pilot: climbs away while the camera pulls back.
void EjectedPilotThink(ObjectRecord* o) {
    obj_VelocityFromSpeed(o);
    obj_MotionIntegrate(o);
    view_LookPitch -= 0x6000;
    view_CameraDistance = 0x140000;
}

// After the ejection: single player watches the death camera; other games
// wait for the respawn.
void PostEjectThink(ObjectRecord* o) {
    if (level_GameMode.singlePlayer) {
        if (!MissionEnded()) DeathCamera(o);
        else o->think = nullptr;
    } else {
        o->think = nullptr;
        o->secondPass = RespawnCheck;
    }
}

void EjectState(ObjectRecord* o, bool airborne) {
    PlanePlayerFields* f = plane_PlayerFields(o);
    if (!airborne) {
        o->speed = 0;
        f->ejectState = airborne ? 1 : 2;
        return;
    }
    if (plane_Current) {
        plane_Current->flags |= PLANE_EJECTED;
        plane_Current->position.y = 20000.0f * 0.3048f;
    }
    o->think = EjectedPilotThink;
    o->position.y = 0x4E20000;
    o->speed = 0x18000;
    f->ejectState = 1;
}

void Eject(ObjectRecord* o, bool byPlayer) {
    if (!o) return;
    const bool airborne = !plane_PlayerFields(o)->onGround;
    EjectState(o, airborne);
    ClearFlying();
    o->angles.pitch = o->angles.roll = 0;
    view_TargetSet(&view_ModeTable[VIEW_MODE_FOLLOW], o);
    // The pilot in the air keeps climbing away; other games respawn from
    // the second pass.
    if (o->think == EjectedPilotThink) o->secondPass = level_GameMode.singlePlayer ? nullptr : RespawnCheck;
    else o->think = PostEjectThink;
    if (byPlayer) plane_HaltPlayerObjects();
    ffb_EventEject();
    plat_SimLog("player", "eject %s", airborne ? "air" : "ground");
}

void WaypointsFromLevel(ObjectRecord* o) {
    PlanePlayerFields* f = plane_PlayerFields(o);
    int32_t n = level_WaypointList.count;
    if (n < 0) n = 0;
    if (n > 32) n = 32;
    f->waypointCount = (uint8_t)n;
    f->waypointIndex = 0;
    f->waypointId = 0;
}

// The weapon step: the sight ray, then the current weapon's own step
// (target list, bomb prediction, seeker) while armed and ready.
void WeaponStep(ObjectRecord* o) {
    _PLANE* p = plane_Current;
    if (!p) return;
    if (plane_GroundSightOff != 1 && (p->flags & (PLANE_SIGHT_WANTED | PLANE_SIGHT_WANTED2))) plane_HookSightRay(0);
    weapon_PlayerStep(o);
    const bool armed = (p->flags & PLANE_ARMED) && weapon_CurrentRow && ord_CheckReady(weapon_CurrentId) == 0;
    plane_PlayerFields(o)->weaponActive = armed ? 1 : 0;
}

void Touchdown(ObjectRecord* o) {
    PlanePlayerFields* f = plane_PlayerFields(o);
    if (!con_NoCrash()) {
        const char* why = nullptr;
        if (OverWater(o)) why = "water";
        else if (RollTooSteep(o->angles.roll)) why = "roll";
        else if (!plane_Current || !(plane_Current->flags & PLANE_GEAR_DOWN)) why = "gear";
        else if (PitchTooSteep(o->angles.pitch)) why = "pitch";
        else if (o->speed > kTouchdownSpeed) why = "speed";
        else if (!RunwayNear(o)) why = "runway";
        if (why) {
            plat_SimLog("player", "touchdown crash %s", why);
            plane_Crash(o);
            return;
        }
    }
    const uint32_t now = Now();
    if (f->touchdownReported && now - f->touchdownTick < PLANE_TOUCHDOWN_TICKS) return;
    f->touchdownReported = 1;
    f->touchdownTick = now;
    Sound(o, 4, 0);
    plat_SimLog("player", "touchdown speed=%d", o->speed);
    Trigger(o, 0, 3);
    if (o->flags & OBJ_FLAG_PLAYER) plane_Stats.landings++;
    ffb_EventTouchdown();
}

void GroundRoll(ObjectRecord* o) {
    if (con_NoCrash()) return;
    if (RollTooSteep(o->angles.roll) || o->speed > kRollSpeed || OverWater(o)) {
        plat_SimLog("player", "roll crash");
        plane_Crash(o);
    }
}

void RadarScan(ObjectRecord* o) {
    ObjectRecord* t = o->target;
    if (t) {
        const int32_t d = Distance(&o->position, &t->position);
        const bool visible = t->hitPoints > 0 && d < kRadarRange && obj_IsDetected(t, d, kRadarRange) &&
                             obj_LineOfSight(o, &t->position);
        if (!visible) {
            obj_TargetCandidateRemove(t);
            if (!(weapon_CurrentRow && weapon_CurrentRow->designation)) o->target = nullptr;
        } else if (d < kKnownRange) {
            t->known = 1;
        }
    }
    if (plane_SystemsDamage[PLANE_SYS_RADAR]) return;
    for (ObjectRecord* a = obj_TypeList.head; a; a = a->typeNext) {
        if (a == o || a->known || a->aiClass != 1 || !(a->stateFlags & OBJ_STATE_AIRBORNE) || obj_ServerRecord(a))
            continue;
        if (Distance(&o->position, &a->position) >= kRadarRange) continue;
        weapon_SeekerViewTransform(a);
        if (weapon_SeekerConeRangeTest(a) && obj_LineOfSight(o, &a->position)) a->known = 1;
    }
}

void WaypointReport(ObjectRecord* o) {
    PlanePlayerFields* f = plane_PlayerFields(o);
    if (!f->waypointCount || f->waypointIndex >= f->waypointCount) return;
    const LevelWaypoint& w = level_WaypointList.entries[f->waypointIndex];
    // Halved, so that world-size differences cannot overflow.
    int32_t dx = (int32_t)(o->position.x >> 1) - (int32_t)((uint32_t)w.x >> 1);
    int32_t dz = (int32_t)(o->position.z >> 1) - (int32_t)((uint32_t)w.z >> 1);
    dx = dx < 0 ? -dx : dx;
    dz = dz < 0 ? -dz : dz;
    const int32_t len = dx > dz ? dx + dz / 2 : dz + dx / 2;
    if (len >= kWaypointReach / 2) return;
    Trigger(o, (uint16_t)(f->routeNumber << 8 | f->waypointIndex), 2);
    plane_WaypointNext(o);
}

void Countermeasures(ObjectRecord* o) {
    PlanePlayerFields* f = plane_PlayerFields(o);
    if (f->threatDistance < kThreatRange) {
        if (f->flares) f->countermeasures |= 1;
        if (f->chaff) f->countermeasures |= 2;
    }
    f->threatDistance = INT32_MAX;
    // The requests are released at once, each a drop as by its key.
    if (f->countermeasures & 1) weapon_DropFlare(o);
    if (f->countermeasures & 2) weapon_DropChaff(o);
    f->countermeasures &= (uint8_t)~3u;
}

void PlayerLog(ObjectRecord* o) {
    const int32_t ground = terrain_HeightBilinear(&o->position) + (o->model ? o->model->baseHeight : 0);
    plat_SimLog("player", "pos %u %u %u agl=%d ground=%u speed=%d flags=%#x hp=%d", o->position.x, o->position.y,
                o->position.z, (int32_t)o->position.y - ground, plane_PlayerFields(o)->onGround, o->speed,
                plane_Current ? plane_Current->flags : 0u, o->hitPoints);
}

// Debris: grows and drifts until its life runs out.
void DebrisThink(ObjectRecord* o) {
    if (--o->frameCounter <= 0) {
        obj_Free(o);
        return;
    }
    o->scale += 0x100;
    obj_MotionIntegrate(o);
}

}  // namespace

// ---- Fields, waypoints, systems ----

PlanePlayerFields* plane_PlayerFields(ObjectRecord* object) {
    // Records of other pools (and bare test records) share one spare.
    static PlanePlayerFields spare;
    if (object && IsPlayerPool(object->pool)) return &reinterpret_cast<_PLAYER_DCB*>(object)->fields;
    return &spare;
}

int32_t plane_PlayerHeadGet(float* yaw, float* pitch) {
    ObjectRecord* o = Client_PlayerObject;
    if (!o || !IsPlayerPool(o->pool)) return -1;
    const PlanePlayerFields* f = plane_PlayerFields(o);
    if (yaw) *yaw = f->headYaw;
    if (pitch) *pitch = f->headPitch;
    return 0;
}

void plane_PlayerHeadSet(float yaw, float pitch) {
    ObjectRecord* o = Client_PlayerObject;
    if (!o || !IsPlayerPool(o->pool)) return;
    PlanePlayerFields* f = plane_PlayerFields(o);
    f->headYaw = yaw;
    f->headPitch = pitch;
}

int32_t plane_WaypointPoint(const ObjectRecord* object, MathVec3* out) {
    if (!object || !out) return -1;
    const PlanePlayerFields* f = plane_PlayerFields(const_cast<ObjectRecord*>(object));
    if (!f->waypointCount || f->waypointIndex >= f->waypointCount) return -1;
    const LevelWaypoint& w = level_WaypointList.entries[f->waypointIndex];
    FixWorldPos p{(uint32_t)w.x, object->position.y, (uint32_t)w.z};
    fix_WorldToFloat(&p, out);
    return 0;
}

void plane_WaypointPrev(ObjectRecord* object) {
    PlanePlayerFields* f = plane_PlayerFields(object);
    if (!f->waypointCount) return;
    f->waypointIndex = (uint8_t)(f->waypointIndex == 0 || f->waypointIndex > f->waypointCount
                                     ? f->waypointCount - 1
                                     : f->waypointIndex - 1);
    f->waypointId = f->waypointIndex;
}

void plane_WaypointNext(ObjectRecord* object) {
    PlanePlayerFields* f = plane_PlayerFields(object);
    if (!f->waypointCount) return;
    f->waypointIndex = (uint8_t)((f->waypointIndex + 1) % f->waypointCount);
    f->waypointId = f->waypointIndex;
}

void plane_WaypointHome(ObjectRecord* object) {
    PlanePlayerFields* f = plane_PlayerFields(object);
    if (!f->waypointCount) return;
    f->waypointIndex = (uint8_t)(f->waypointCount >= 2 ? f->waypointCount - 2 : 0);
    f->waypointId = f->waypointIndex;
}

void plane_DamageSystem(int32_t index) {
    plane_SystemNewlyDamaged = 0;
    if (index < 0 || index > 18) return;
    if (!(plane_CurrentDescriptor.damageableSystems & (1u << index))) return;
    if (!plane_SystemsDamage[index]) plane_SystemNewlyDamaged = 1;
    plane_SystemsDamage[index] = 1;
    if (index == PLANE_SYS_RUDDER) plane_SystemsDamage[PLANE_SYS_AIRBRAKE] = 1;
}

// ---- Think and second pass ----

void plane_PlayerThink(ObjectRecord* object) {
    if (!object) return;
    object->frameCounter++;
    plane_GroundContact(object);
    // A crash in the second pass has ended the flight.
    if (object->think != plane_PlayerThink) return;
    // Logged where the ground contact has placed it.
    if (object->frameCounter % 40 == 0) PlayerLog(object);
    const FixAngles before = object->angles;
    const FixWorldPos from = object->position;
    plane_HookFrame(object);
    obj_ApplyAngularRates(object);
    flight_SpeedFromVelocity(object);
    object->motion = FixVec3{(int32_t)(object->position.x - from.x), (int32_t)(object->position.y - from.y),
                             (int32_t)(object->position.z - from.z)};
    plane_AttitudeChange = FixAngles{AngleDelta(object->angles.heading, before.heading),
                                     AngleDelta(object->angles.pitch, before.pitch),
                                     AngleDelta(object->angles.roll, before.roll)};
    const bool alive = object->hitPoints > 0;
    if (alive && (object->frameCounter & 63) == 0) RadarScan(object);
    WaypointReport(object);
    if (plane_Current && (plane_Current->flags & PLANE_AUTO_DECOYS) && (object->frameCounter & 63) == 0)
        Countermeasures(object);
}

int32_t plane_GroundContact(ObjectRecord* object) {
    if (!object) return 0;
    PlanePlayerFields* f = plane_PlayerFields(object);
    WeaponStep(object);
    const int32_t ground = GroundHeight(object, false);
    const bool wasOnGround = f->onGround != 0;
    const int32_t y = (int32_t)object->position.y;
    if (y >= ground || y >= GroundHeight(object, true)) {
        plane_ObjectCollision(object);
        if (object->think != plane_PlayerThink) return 0;
        if (wasOnGround) {
            if (f->groundCount > 0) f->groundCount--;
            if (f->groundCount == 0) {
                f->onGround = 0;
                f->stopped = 0;
                object->stateFlags = OBJ_STATE_AIRBORNE;
                plat_SimLog("player", "takeoff");
                Trigger(object, 0, 5);
                ai_FollowerWake(object);
            }
        }
    } else {
        if (!wasOnGround) {
            Touchdown(object);
        } else {
            GroundRoll(object);
            if (object->think == plane_PlayerThink) plane_ObjectCollision(object);
        }
        if (object->think != plane_PlayerThink) return 0;
        if (f->groundCount < PLANE_GROUND_COUNT_MAX) f->groundCount++;
        object->position.y = (uint32_t)ground;
        object->angles.roll = AngleDelta(object->angles.roll, 0) * 3 / 4 & kAngleMask;
        // The nose wheel: on the ground the nose never drops below level, or
        // an aircraft standing still would tip slowly over onto its back.
        if (AngleDelta(object->angles.pitch, 0) < 0) object->angles.pitch = 0;
        if (object->motion.y < 0) object->motion.y = 0;
        if (object->velocity.y < 0) object->velocity.y = 0;
        f->onGround = 1;
        if (plane_Current && plane_Current->descriptor == &plane_TypeKrx) {
            JetState& s = jet_Record(plane_Current)->state;
            if (s.momentum.y < 0.0f) s.momentum.y = 0.0f;
            MathVec3 pos;
            fix_WorldToFloat(&object->position, &pos);
            plane_Current->position.y = pos.y;
        }
        const int32_t moved = fix_ApproxLength(&object->motion);
        if (object->speed < kStopSpeed && moved < kStopMotion && !f->stopped) {
            f->stopped = 1;
            if (plane_Current) plane_Current->flags |= PLANE_SERVICE | PLANE_STOPPED;
            plat_SimLog("player", "stop");
            Reset(5);
            plane_ReloadStores(object);
            plane_Refuel();
            plane_HookRepair(0);
        }
    }
    if (plane_Current) {
        if (f->onGround) plane_Current->flags |= PLANE_ON_GROUND;
        else plane_Current->flags &= ~(uint32_t)(PLANE_ON_GROUND | PLANE_SERVICE);
    }
    return 0;
}

int32_t plane_ObjectCollision(ObjectRecord* object) {
    if (!object || Server_NoCollision) return 0;
    int32_t distance = 0;
    ObjectRecord* hit = nullptr;
    ObjectRecord* near = obj_FindNearestInCell(object, kCollisionRange, &distance);
    if (near && near->hitPoints > 0 && obj_ModelRadius(near) * 3 / 4 > distance) hit = near;
    if (!hit) {
        near = obj_FindNearest(object, 0x0E, 3, kCollisionRange, &distance);
        if (near && near->hitPoints > 0 && obj_ModelRadius(near) * 3 / 4 > distance) hit = near;
    }
    if (!hit) return 0;
    if (plane_PlayerFields(object)->onGround) plane_Crash(object);
    else plane_Midair(object);
    object->hitPoints = 0;
    return 1;
}

void plane_Midair(ObjectRecord* object) {
    if (!object) return;
    Sound(object, 2, 0);
    ffb_EventExplode();
    fx_AirExplosion(&object->position);
    plat_SimLog("player", "midair");
    Client_SendMidair();
    plane_SetDestroyed(object);
}

void plane_Crash(ObjectRecord* object) {
    if (!object) return;
    const bool ended = MissionEnded();
    const bool single = level_GameMode.singlePlayer != 0;
    if (!ended) {
        if (object->flags & OBJ_FLAG_PLAYER) plane_Stats.crashes++;
        if (single) Trigger(object, 0, 11);
    }
    plat_SimLog("player", "crash %s", OverWater(object) ? "water" : "land");
    Client_SendPlayerCrash();
    if (OverWater(object)) {
        fx_GroundBurstSpawn(&object->position);
        Sound(object, 1, 0x12);
    } else {
        fx_KillExplosion(&object->position);
        ObjectRecord* wreck = fx_WreckSpawn(&object->position);
        if (wreck) wreck->frameCounter = single ? 120000 : 12000;
        plane_LastWreck = obj_HandleMake(wreck);
        Sound(object, 1, 0x11);
    }
    if (!ended) {
        ffb_EventCrash();
        DeathView(object);
    }
    object->think = nullptr;
    object->secondPass = nullptr;
    object->draw = nullptr;
    object->hitPoints = 0;
    ClearFlying();
    if (single) {
        if (!ended) {
            render_ScreenStateSet(4);
            object->think = DeathCamera;
            ThrottleClear();
        }
    } else {
        object->secondPass = RespawnCheck;
    }
}

void plane_SetDestroyed(ObjectRecord* object) {
    if (!object) return;
    const bool ended = MissionEnded();
    const bool single = level_GameMode.singlePlayer != 0;
    object->hitPoints = 0;
    Sound(object, 1, 0);
    if (!ended) ffb_EventCrash();
    fx_KillExplosion(&object->position);
    ObjectRecord* wreck = fx_WreckSpawn(&object->position);
    if (wreck) wreck->frameCounter = single ? 120000 : 200;
    if (single) plane_LastWreck = obj_HandleMake(wreck);
    if (single) plane_DebriefDelay = 8;
    if (object == ViewedObject && !ended) DeathView(object);
    object->think = nullptr;
    if (plane_Current) plane_Current->flags |= PLANE_DESTROYED;
    object->secondPass = RespawnCheck;
    object->draw = nullptr;
    ThrottleClear();
    plat_SimLog("player", "destroyed");
    if (single) {
        Trigger(object, 0, 11);
        if (!ended) {
            MissionFailed();
            render_ScreenStateSet(4);
            object->secondPass = nullptr;
            ClearFlying();
        }
    }
}

ObjectRecord* plane_SpawnDebris(ObjectRecord* object) {
    if (!object) return nullptr;
    ObjectRecord* d = fx_EffectSpawnMoving(fx_TypeDebris, object);
    if (!d) return nullptr;
    d->drawFlags = 0x14;
    d->frameCounter = 80;
    d->scale = 0x4000;
    d->think = DebrisThink;
    d->secondPass = nullptr;
    return d;
}

void plane_DeathThink(ObjectRecord* object) {
    if (!object) return;
    if (plane_Current) plane_Current->flags |= PLANE_FALLING;
    // The nose turns toward straight down.
    const int32_t down = 0x180FFFF;
    int32_t d = AngleDelta(down, object->angles.pitch);
    if (d > 0x6590) d = 0x6590;
    if (d < -0x6590) d = -0x6590;
    object->angles.pitch = (object->angles.pitch + d) & kAngleMask;
    object->rates.roll = (int32_t)0xFFF80000;
    if (!level_GameMode.singlePlayer && rules_Settings.respawn) {
        plane_PlaceForRespawn(object, &player_Startup);
        return;
    }
    object->think = plane_PlayerThink;
    plane_PlayerThink(object);
    if (object->think == plane_PlayerThink) object->think = plane_DeathThink;
    if (object->frameCounter & 1) plane_SpawnDebris(object);
}

void plane_RespawnWait(ObjectRecord* object) {
    if (!object) return;
    object->rates.roll = (int32_t)0xFFF40000;
    obj_ApplyAngularRates(object);
    if (--object->frameCounter > 0) return;
    object->frameCounter = 0;
    object->think = plane_PlayerThink;
    if (plane_Current) plane_Current->flags |= PLANE_FLYING;
    Reset(1);
}

void plane_PlayerEject(ObjectRecord* player) { Eject(player, true); }
void plane_EjectOnEvent(ObjectRecord* player) { Eject(player, false); }

// ---- Placement ----

void plane_PlaceAtLevelStart(ObjectRecord* object) {
    if (!object || !IsPlayerPool(object->pool)) return;
    object->position.y = (uint32_t)GroundHeight(object, true);
    object->velocity = {};
    object->motion = {};
    object->rates = {};
    object->speed = 0;
    object->angles.pitch = object->angles.roll = 0;
    object->think = nullptr;
    object->secondPass = nullptr;
    object->targetClass = 3;
    object->aiClass = 1;   // an aircraft to every search, seeker and client
    PlanePlayerFields* f = plane_PlayerFields(object);
    *f = PlanePlayerFields{};
    f->onGround = 1;
    f->groundCount = PLANE_GROUND_COUNT_MAX;
    f->threatDistance = INT32_MAX;
    object->stateFlags = OBJ_STATE_WAITING;
    WaypointsFromLevel(object);
    plat_SimLog("player", "placed %u %u %u heading=%d slot=%u", object->position.x, object->position.y,
                object->position.z, object->angles.heading, object->player);
    // The local player's aircraft is set up here and flies from the start.
    if (Local(object)) {
        if (!plane_Current) plane_Create(plane_TypeFind("KRX"));
        ord_StoreListSet(&player_Startup.blocks[0].loadout);
        ord_StoreListRestore();
        plane_HookRestart(0);
        plane_ReloadStores(object);
        if (plane_Current) plane_Current->flags |= PLANE_ON_GROUND;
        object->think = plane_PlayerThink;
        object->secondPass = plane_GroundContact;
    }
}

void plane_PlaceForRespawn(ObjectRecord* player, const void* startup) {
    if (!player) return;
    if (ObjectRecord* wreck = obj_HandleResolve(&plane_LastWreck); wreck && !level_GameMode.singlePlayer)
        wreck->frameCounter = 1;
    plane_LastWreck = ObjHandle{};
    const PlayerStartupView* v = static_cast<const PlayerStartupView*>(startup);
    player->velocity = {};
    player->motion = {};
    player->rates = {};
    player->speed = 0;
    player->target = nullptr;
    if (v) {
        player->position = FixWorldPos{(uint32_t)v->startPosition[0], 0, (uint32_t)v->startPosition[2]};
        player->angles = FixAngles{(int32_t)(v->startOrientation[0] & kAngleMask), 0, 0};
    } else {
        player->angles.pitch = player->angles.roll = 0;
    }
    player->position.y = (uint32_t)GroundHeight(player, true);
    player->draw = plane_ObjectDraw;
    player->hitPoints = 0x400;
    player->think = plane_PlayerThink;
    player->secondPass = plane_GroundContact;
    PlanePlayerFields* f = plane_PlayerFields(player);
    *f = PlanePlayerFields{};
    f->onGround = 1;
    f->groundCount = PLANE_GROUND_COUNT_MAX;
    f->threatDistance = INT32_MAX;
    player->stateFlags = OBJ_STATE_WAITING;
    WaypointsFromLevel(player);
    weapon_CurrentReset();
    plane_HookRestart(0);
    if (plane_Current) plane_Current->flags |= PLANE_FLYING | PLANE_ON_GROUND;
    plane_ReloadStores(player);
    view_ModeRequest(VIEW_MODE_COCKPIT);
    view_CameraDistance = 0xA0000;
    avion_HookResetCall();
    view_CamerasReset();
    ffb_StopAll();
    plat_SimLog("player", "respawn %u %u %u", player->position.x, player->position.y, player->position.z);
}

void plane_HaltPlayerObjects(void) {
    for (ObjectRecord** list : {&level_ServerTables.objectList, &level_ClientTables.objectList})
        for (ObjectRecord* o = *list; o; o = o->next) {
            if (!IsPlayerPool(o->pool)) continue;
            if ((o->stateFlags & OBJ_STATE_HALTED) || ((o->flags & OBJ_FLAG_ALLIANCE_A) && !(o->flags & OBJ_FLAG_PLAYER)))
                o->think = nullptr;
        }
}

void plane_ReloadStores(ObjectRecord* object) {
    ord_RearmAll();
    PlanePlayerFields* f = plane_PlayerFields(object);
    f->flares = 100;
    f->chaff = 100;
}

void plane_Refuel(void) {
    ord_RefuelAll();
    plane_HookRefuel(0);
}

void plane_Weights(float* empty, float* fuel, float* third) {
    if (empty) *empty = jet_Template.emptyMass;
    if (fuel) *fuel = jet_Template.internalFuel;
    if (third) *third = jet_Template.maxMass;
}
