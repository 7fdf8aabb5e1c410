// Unit AI services: one frame of work each for the command programs
// (steering, routes, taxi, take-off, landing, formation, attacks, air
// defence), weapon choice and attacker assignment, evasion, threat
// reaction, waypoint actions, road movement and the transient flyer.
#include <cstring>
#include <utility>

#include "base/math.h"
#include "platform/simlog.h"
#include "render/objmove.h"
#include "shell/runner.h"
#include "sim/ai.h"
#include "sim/obj.h"
#include "sim/trig.h"
#include "sim/weapon.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/objarray.h"
#include "world/orf.h"
#include "world/terrain.h"

namespace {

constexpr int32_t kWaypointReach = 0xC80000;    // 200.0
constexpr int32_t kAcquireRange = 0x2C880000;
constexpr int32_t kDefenceRange = 0xED80000;
constexpr int32_t kGunRange = 0x4740000;
constexpr int32_t kEvadeRange = 0x2F8;
constexpr int32_t kCloseRange = 0x2F80000;
constexpr int32_t kLongRange = 0x8E80000;
constexpr int32_t kAimWindow = 0x200000;
constexpr int32_t kNone = INT32_MIN;
constexpr int32_t kQuarterTurn = 0x800000;

// Search filters: every class and category of hostile.
constexpr uint8_t kAllClasses = 0xFF;
constexpr uint8_t kAllCategories = 0xFF;

int32_t Signed25(int64_t a) { return static_cast<int32_t>(static_cast<uint32_t>(a) << 7) >> 7; }
int32_t Wrap25(int64_t a) { return static_cast<int32_t>(static_cast<uint32_t>(a) & 0x1FFFFFF); }
// The largest negative value has no opposite: it gives the largest positive.
int32_t Abs(int32_t v) { return v >= 0 ? v : v == INT32_MIN ? INT32_MAX : -v; }
int32_t Clamp(int32_t v, int32_t limit) { return v > limit ? limit : v < -limit ? -limit : v; }
int32_t Mul16(int64_t a, int64_t b) { return static_cast<int32_t>((a * b) >> 16); }
int32_t Diff(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b); }

void Post(uint16_t type, uint16_t id, uint16_t code, uint16_t argument = 0) {
    trig_Event = TriggerEvent{type, id, code, argument, 0, 0};
    trig_PostEvent();
}

void ReactToThreat(ObjectRecord* a, ObjectRecord* b, bool forced);

bool Every(const ObjectRecord* o, int32_t period) { return (o->frameCounter & (period - 1)) == 0; }

int32_t HeightAboveTerrain(const ObjectRecord* o) {
    return static_cast<int32_t>(o->position.y) - terrain_HeightBilinear(&o->position);
}

void SetPending(_AI_DCB* u, int32_t program) { u->pendingProgram = ai_BuiltinProgram(program); }

const AiUnitType* TypeOf(_AI_DCB* u) { return static_cast<const AiUnitType*>(u->unitType); }

bool ReadWaypoint(_AI_DCB* u, OrfWaypoint* w) {
    memset(w, 0, sizeof *w);
    if (!u->waypoint) return false;
    orf_WaypointDecode(static_cast<const uint8_t*>(u->waypoint), w);
    return true;
}

bool ReadStep(_AI_DCB* u, OrfRouteStep* s) {
    memset(s, 0, sizeof *s);
    if (!u->routeStep) return false;
    orf_RouteStepDecode(static_cast<const uint8_t*>(u->routeStep), s);
    return true;
}

uint32_t RouteCount(const _AI_DCB* u) {
    if (!level_Mission || u->routeNumber >= level_Mission->starts.count) return 0;
    return level_Mission->starts.groups[u->routeNumber].itemCount;
}

// The limit of a turn this frame: the rate (halved when damaged) times the
// speed's turn factor.
int32_t TurnLimit(const ObjectRecord* o, int32_t rate) {
    if (o->aiFlags & OBJ_AI_DAMAGED) rate /= 2;
    int32_t index = o->speed >> 10;
    if (index < 0) index = 0;
    if (index > AI_TURN_FACTORS - 1) index = AI_TURN_FACTORS - 1;
    const int32_t factor = Mul16(ai_TurnFactor[index], 0x88B8);
    return Mul16(rate, factor);
}

// Heading change toward the wanted heading, with the slow-down and the roll.
int32_t TurnHeading(ObjectRecord* o, _AI_DCB* u, int32_t wanted) {
    const int32_t error = Signed25(static_cast<int64_t>(wanted) - o->angles.heading);
    const int32_t change = Clamp(error, TurnLimit(o, u->turnLimits.heading));
    o->angles.heading = Wrap25(static_cast<int64_t>(o->angles.heading) + change);
    const AiUnitType* t = TypeOf(u);
    if (t && o->speed > t->slowSpeed) o->speed -= Abs(change) >> 10;
    const int32_t roll = Signed25(o->angles.roll);
    const int32_t target = Signed25(static_cast<int64_t>(change) * 64);
    o->angles.roll = Wrap25(roll + (target - roll) / 16);
    return error;
}

int32_t TurnPitch(ObjectRecord* o, _AI_DCB* u, int32_t wanted) {
    const int32_t error = Signed25(static_cast<int64_t>(wanted) - o->angles.pitch);
    const int32_t change = Clamp(error, TurnLimit(o, u->turnLimits.pitch));
    o->angles.pitch = Wrap25(static_cast<int64_t>(o->angles.pitch) + change);
    return error;
}

int32_t PitchTo(const ObjectRecord* o, const FixWorldPos* p) {
    const int64_t dx = Abs(Diff(p->x, o->position.x)) / 2, dz = Abs(Diff(p->z, o->position.z)) / 2;
    const int64_t ground = dx > dz ? dx + dz / 2 : dz + dx / 2;
    const int64_t dy = Diff(p->y, o->position.y) / 2;
    const int64_t scale = ground > 0x3FFFFFFF || dy > 0x3FFFFFFF || dy < -0x3FFFFFFF ? 2 : 1;
    return fix_Atan2(static_cast<int32_t>(-dy / scale), static_cast<int32_t>(-ground / scale));
}

bool Within(const FixWorldPos* a, const FixWorldPos* b, int32_t range) {
    return Abs(Diff(a->x, b->x)) < range && Abs(Diff(a->y, b->y)) < range && Abs(Diff(a->z, b->z)) < range;
}

// The collision check and the countermeasure step that start most
// services: nonzero when either switched the unit's program.
int32_t SafetySteps(ObjectRecord* o) {
    int32_t switched = ai_CollisionAhead(o);
    switched |= ai_Countermeasures(o);
    return switched;
}

// The type filter of a hostile search: aircraft only while units of the
// other side are in the air, else anything.
uint8_t HostileClasses(const ObjectRecord* o) {
    return ai_AirStartCount[(o->flags & OBJ_FLAG_ALLIANCE_B) ? 0 : 1] ? 0x01 : kAllClasses;
}

ObjectRecord* NearestHostile(ObjectRecord* o, int32_t range, uint8_t classes) {
    return obj_FindNearest(o, classes, kAllCategories, range, nullptr);
}

}  // namespace

ObjectRecord* ai_NearestHostile(ObjectRecord* o, int32_t range) { return NearestHostile(o, range, HostileClasses(o)); }

namespace {

// Searches from 10.0 above the unit.
ObjectRecord* SearchFromAbove(ObjectRecord* o, int32_t range) {
    const uint32_t y = o->position.y;
    o->position.y = y + 0xA0000;
    ObjectRecord* h = NearestHostile(o, range, kAllClasses);
    o->position.y = y;
    return h;
}

// The ground under the unit plus its model's base height.
int32_t GroundHeight(ObjectRecord* o) {
    const uint32_t y = o->position.y;
    obj_GroundHeightSet(o, -1);
    const int32_t ground = static_cast<int32_t>(o->position.y);
    o->position.y = y;
    return ground;
}

void Step(ObjectRecord* o) {
    obj_VelocityFromOrientation(o);
    obj_MotionIntegrate(o);
}

bool Chasing(const ObjectRecord* escort, const ObjectRecord* a) { return escort->target == a; }

// Swaps the member with the group's leader: the member leads from now on.
void SwapWithLeader(ObjectRecord* m) {
    _AI_DCB* mu = ai_Unit(m);
    ObjectRecord* l = mu ? mu->leader : nullptr;
    _AI_DCB* lu = ai_Unit(l);
    if (!lu || lu->isMember || l->group != m->group) return;
    const int32_t g = m->group & 127;
    // Chain: the member takes the leader's place and the leader the member's.
    ObjectRecord* order[AI_GROUP_MEMBERS + 1];
    int32_t n = 0;
    for (ObjectRecord* p = l; p && n <= AI_GROUP_MEMBERS; p = ai_Unit(p)->groupNext) {
        if (!ai_Unit(p)) break;
        order[n++] = p;
    }
    for (int32_t i = 0; i < n; i++) order[i] = order[i] == m ? l : order[i] == l ? m : order[i];
    for (int32_t i = 0; i < n; i++) ai_Unit(order[i])->groupNext = i + 1 < n ? order[i + 1] : nullptr;
    for (int32_t i = 1; i < n; i++) ai_Unit(order[i])->leader = m;
    mu->leader = nullptr;
    std::swap(mu->formationSlot, lu->formationSlot);
    std::swap(mu->slotIndex, lu->slotIndex);
    std::swap(mu->pendingProgram, lu->pendingProgram);
    std::swap(mu->programCounter, lu->programCounter);
    std::swap(mu->aiState, lu->aiState);
    std::swap(mu->isMember, lu->isMember);
    std::swap(m->death, l->death);
    std::swap(mu->route, lu->route);
    std::swap(mu->routeNumber, lu->routeNumber);
    std::swap(mu->waypoint, lu->waypoint);
    std::swap(mu->waypointNumber, lu->waypointNumber);
    ai_Module.leader[g] = m;
    for (ObjectRecord*& e : ai_Module.members[g])
        if (e == m) e = l;
}

}  // namespace

// ---- Steering ----

void ai_SteerToPoint(ObjectRecord* o, const FixWorldPos* p, int32_t* headingError, int32_t* pitchError) {
    _AI_DCB* u = ai_Unit(o);
    if (!u || !p) return;
    const int32_t h = TurnHeading(o, u, obj_Bearing(&o->position, p));
    const int32_t v = TurnPitch(o, u, PitchTo(o, p));
    if (headingError) *headingError = h;
    if (pitchError) *pitchError = v;
}

void ai_SpeedToward(ObjectRecord* o, int32_t value, int32_t step) {
    if (o->speed < value) o->speed = o->speed + step < value ? o->speed + step : value;
    else if (o->speed > value) o->speed = o->speed - step > value ? o->speed - step : value;
}

int32_t ai_SteerToCommand(ObjectRecord* o) {
    _AI_DCB* u = ai_Unit(o);
    if (!u) return 1;
    int32_t done = 1;
    if (u->commanded.heading != kNone) {
        const int32_t e = TurnHeading(o, u, u->commanded.heading);
        if (Abs(e) > TurnLimit(o, u->turnLimits.heading)) done = 0;
        else u->commanded.heading = kNone;
    }
    if (u->commanded.pitch != kNone) {
        const int32_t e = TurnPitch(o, u, u->commanded.pitch);
        if (Abs(e) > TurnLimit(o, u->turnLimits.pitch)) done = 0;
        else u->commanded.pitch = kNone;
    }
    if (u->commanded.roll != kNone) {
        const int32_t e = Signed25(static_cast<int64_t>(u->commanded.roll) - o->angles.roll);
        const int32_t change = Clamp(e, u->turnLimits.roll);
        o->angles.roll = Wrap25(static_cast<int64_t>(o->angles.roll) + change);
        if (change != e) done = 0;
        else u->commanded.roll = kNone;
    }
    return done;
}

int32_t ai_LevelOut(ObjectRecord* o) {
    _AI_DCB* u = ai_Unit(o);
    if (!u) return 1;
    const int32_t roll = Signed25(o->angles.roll), pitch = Signed25(o->angles.pitch);
    const int32_t r = Clamp(-roll, u->turnLimits.roll), p = Clamp(-pitch, u->turnLimits.pitch);
    o->angles.roll = Wrap25(roll + r);
    o->angles.pitch = Wrap25(pitch + p);
    return r == -roll && p == -pitch;
}

int32_t ai_TurnToHeading(ObjectRecord* o) {
    _AI_DCB* u = ai_Unit(o);
    if (!u || u->commanded.heading == kNone) return 1;
    const int32_t error = Signed25(static_cast<int64_t>(u->commanded.heading) - o->angles.heading);
    const int32_t change = Clamp(error, 0xC000);
    o->angles.heading = Wrap25(static_cast<int64_t>(o->angles.heading) + change);
    return change == error;
}

// ---- Routes ----

void ai_WaypointSet(ObjectRecord* o, int32_t n) {
    _AI_DCB* u = ai_Unit(o);
    if (!u || !u->route) return;
    const uint32_t count = RouteCount(u);
    if (n < 0 || static_cast<uint32_t>(n) >= count) n = 0;
    u->waypointNumber = static_cast<uint8_t>(n);
    u->waypoint = static_cast<const uint8_t*>(u->route) + static_cast<size_t>(n) * ORF_START_ITEM_SIZE;
}

int32_t ai_FlyToWaypoint(ObjectRecord* o) {
    _AI_DCB* u = ai_Unit(o);
    if (!u) return 1;
    // A program switch ends the route leg without reaching the waypoint.
    if (SafetySteps(o)) return 0;
    if (u->waypointBehaviour == 1 && Every(o, 64)) ai_AssignAttackers(o);
    OrfWaypoint w;
    if (!ReadWaypoint(u, &w)) return 1;
    const FixWorldPos p{w.x, static_cast<uint32_t>(w.height), w.z};
    if (Within(&o->position, &p, kWaypointReach)) {
        Post(1, o->group, 5, static_cast<uint16_t>((u->routeNumber << 8) + u->waypointNumber));
        Post(0, o->missionObject, 6, static_cast<uint16_t>((u->routeNumber << 8) + u->waypointNumber));
        return 1;
    }
    ai_SteerToPoint(o, &p, nullptr, nullptr);
    const AiUnitType* t = TypeOf(u);
    if (t && o->speed < t->cruiseSpeed) ai_SpeedToward(o, t->cruiseSpeed, t->acceleration);
    return 0;
}

int32_t ai_TurnToStep(ObjectRecord* o) {
    _AI_DCB* u = ai_Unit(o);
    OrfRouteStep s;
    if (!u || !ReadStep(u, &s)) return 1;
    const FixWorldPos p{s.x, o->position.y, s.z};
    const int32_t error = Signed25(static_cast<int64_t>(obj_Bearing(&o->position, &p)) - o->angles.heading);
    const int32_t change = Clamp(error, 0xC000);
    o->angles.heading = Wrap25(static_cast<int64_t>(o->angles.heading) + change);
    // Turning in place: the slower the bigger the error.
    o->speed = Abs(error) >= 0xC000 ? 0x100 : 0x100 + ((0xC000 - Abs(error)) >> 4);
    return change == error;
}

int32_t ai_TaxiToStep(ObjectRecord* o) {
    _AI_DCB* u = ai_Unit(o);
    OrfRouteStep s;
    if (!u || !ReadStep(u, &s)) return 1;
    const FixWorldPos p{s.x, o->position.y, s.z};
    o->angles.heading = obj_Bearing(&o->position, &p);
    if (Within(&o->position, &p, 0x40000)) {
        o->speed -= o->speed / 32;
        if (o->speed < 0x100) {
            o->speed = 0;
            return 1;
        }
        return 0;
    }
    o->speed = o->speed + 0x40 < 0x2000 ? o->speed + 0x40 : 0x2000;
    return 0;
}

int32_t ai_ClimbOut(ObjectRecord* o) {
    _AI_DCB* u = ai_Unit(o);
    if (!u) return 1;
    const int32_t wanted = terrain_HeightBilinear(&o->position) + 0x60000;
    const int32_t y = static_cast<int32_t>(o->position.y);
    if (u->aiState != AI_STATE_ROUTE) {
        ai_GroupAirborne(o);
        o->stateFlags = static_cast<uint8_t>((o->stateFlags & ~OBJ_STATE_WAITING) | OBJ_STATE_AIRBORNE);
        o->aiFlags |= OBJ_AI_RUNNING;
        u->aiState = AI_STATE_ROUTE;
    }
    if (y < wanted) {
        o->position.y = static_cast<uint32_t>(y + (wanted - y < 0x800 ? wanted - y : 0x800));
        return 0;
    }
    // At height: the next member waiting on the ground follows.
    _AI_DCB* n = ai_Unit(u->groupNext);
    if (n && n->aiState == AI_STATE_IDLE) {
        const AiUnitType* t = TypeOf(n);
        SetPending(n, t ? t->defaultProgram : static_cast<int32_t>(AI_PROGRAM_CLIMBOUT));
        n->aiState = AI_STATE_GROUND;
        n->object.aiFlags |= OBJ_AI_RUNNING;
    }
    return 1;
}

int32_t ai_LandingRoll(ObjectRecord* o) {
    _AI_DCB* u = ai_Unit(o);
    OrfWaypoint w;
    if (!u || !ReadWaypoint(u, &w)) return 1;
    const int32_t dx = Diff(w.x, o->position.x), dz = Diff(w.z, o->position.z);
    o->position.x += static_cast<uint32_t>(Clamp(dx, 0x4000));
    o->position.z += static_cast<uint32_t>(Clamp(dz, 0x4000));
    o->speed -= o->speed / 256;
    if (o->speed < 0x100) o->speed = 0;
    const bool near = Abs(dx) < 0x20000 && Abs(dz) < 0x20000;
    if (o->speed || !near) {
        // Sinking toward the runway on the way.
        const int32_t ground = GroundHeight(o);
        const int32_t y = static_cast<int32_t>(o->position.y);
        if (y > ground) o->position.y = static_cast<uint32_t>(y - (y - ground < 0x2EE0 ? y - ground : 0x2EE0));
        return 0;
    }
    const int32_t ground = GroundHeight(o);
    const int32_t y = static_cast<int32_t>(o->position.y);
    if (y != ground) {
        o->position.y = static_cast<uint32_t>(y + Clamp(ground - y, 0x1000));
        if (static_cast<int32_t>(o->position.y) != ground) return 0;
    }
    u->aiState = AI_STATE_IDLE;
    o->stateFlags = static_cast<uint8_t>((o->stateFlags & ~OBJ_STATE_AIRBORNE) | OBJ_STATE_WAITING);
    SetPending(u, AI_PROGRAM_IDLE);
    Post(1, o->group, 2);
    ai_WaypointSet(o, u->waypointNumber + 1);
    return 1;
}

// ---- Formation ----

int32_t ai_FlyFormation(ObjectRecord* o) {
    _AI_DCB* u = ai_Unit(o);
    if (!u) return 1;
    if (!u->leader) {
        u->leader = ai_Module.leader[o->group & 127];
        if (!u->leader || u->leader == o) {
            u->leader = nullptr;
            ai_MissionError("Mission Error!\n\n%s has no leader!", o);
            return 1;
        }
    }
    ObjectRecord* l = u->leader;
    if (!(l->stateFlags & OBJ_STATE_AIRBORNE) && !(l->flags & OBJ_FLAG_PLAYER)) {
        SetPending(u, AI_PROGRAM_SOLO_ROUTE);
        return 1;
    }
    const AiFormationSlot* slot = static_cast<const AiFormationSlot*>(u->formationSlot);
    FixVec3 offset = slot ? slot->offset : FixVec3{0, 0, -0x60000};
    const int64_t s = fix_Sin(l->angles.heading), c = fix_Sin(l->angles.heading + kQuarterTurn);
    const FixVec3 turned{static_cast<int32_t>((offset.x * c + offset.z * s) >> 16), offset.y,
                         static_cast<int32_t>((offset.z * c - offset.x * s) >> 16)};
    const FixWorldPos p{l->position.x + static_cast<uint32_t>(turned.x), l->position.y + static_cast<uint32_t>(turned.y),
                        l->position.z + static_cast<uint32_t>(turned.z)};
    const AiUnitType* t = TypeOf(u);
    const int32_t maximum = t ? t->maxSpeed : 0x20000;
    if (Within(&o->position, &p, 0x40000)) {
        ai_LevelOut(o);
        o->angles.heading = Wrap25(static_cast<int64_t>(o->angles.heading) +
                                   Clamp(Signed25(static_cast<int64_t>(l->angles.heading) - o->angles.heading),
                                         u->turnLimits.heading));
        const int32_t step = Abs(l->speed - o->speed) / 4;
        ai_SpeedToward(o, l->speed, step);
    } else {
        int32_t he = 0, pe = 0;
        ai_SteerToPoint(o, &p, &he, &pe);
        if (Abs(he) >= 0x40000 || Abs(pe) >= 0x40000) {
            const int32_t wanted = l->speed - 0x500 + (obj_PosDistance(&o->position, &p) >> 10);
            ai_SpeedToward(o, wanted, Abs(wanted - o->speed) / 128);
        } else {
            ai_SpeedToward(o, l->speed + (obj_PosDistance(&o->position, &p) >> 10), t ? t->acceleration : 50);
        }
    }
    if (o->speed > maximum) o->speed = maximum;
    return 0;
}

int32_t ai_Rejoin(ObjectRecord* o) { return ai_FlyFormation(o); }

// ---- Weapons and attacks ----

int32_t ai_ChooseWeapon(ObjectRecord* o, ObjectRecord* target) {
    _AI_DCB* u = ai_Unit(o);
    if (!u || !target) return 0;
    const int32_t d = obj_Distance(o, target);
    int32_t w = 0;
    if (o->targetClass & OBJ_TARGET_STRIKE) {
        if (u->gunBursts) w = 5;
    } else if (o->targetClass & OBJ_TARGET_AIR_COMBAT) {
        if (d > kLongRange && (u->engagement & 2) && u->longMissiles) w = 7;
        else if (d > kCloseRange && (u->engagement & 1) && u->shortMissiles) w = 6;
        else if (u->engagement & 1) w = 5;
    }
    u->weapon = static_cast<uint8_t>(w);
    return w;
}

namespace {

int32_t FiringRange(int32_t weapon) {
    return weapon == 7 ? 0x1DB00000 : weapon == 6 ? 0x8E80000 : weapon == 5 ? 0x17C0000 : 0;
}

// Aims at the target: heading and pitch toward it; the two errors.
void Aim(ObjectRecord* o, int32_t* he, int32_t* pe) {
    *he = *pe = 0;
    if (o->target) ai_SteerToPoint(o, &o->target->position, he, pe);
}

}  // namespace

int32_t ai_AimAtTarget(ObjectRecord* o) {
    int32_t he = 0, pe = 0;
    Aim(o, &he, &pe);
    return Abs(he) < kAimWindow && Abs(pe) < kAimWindow;
}

int32_t ai_AirAttack(ObjectRecord* o) {
    _AI_DCB* u = ai_Unit(o);
    if (!u) return 1;
    if (SafetySteps(o)) return 0;
    ObjectRecord* target = o->target;
    if (!target || target->hitPoints <= 0 || !ai_ChooseWeapon(o, target)) {
        o->target = nullptr;
        SetPending(u, AI_PROGRAM_TARGET_LOST);
        return 0;
    }
    ReactToThreat(o, target, false);
    int32_t he = 0, pe = 0;
    Aim(o, &he, &pe);
    const int32_t d = obj_Distance(o, target);
    const int32_t done = d < FiringRange(u->weapon) && Abs(he) < kAimWindow && Abs(pe) < kAimWindow;
    const AiUnitType* t = TypeOf(u);
    if (t) {
        if (d > kCloseRange) {
            if (o->speed < t->cruiseSpeed) ai_SpeedToward(o, t->cruiseSpeed, t->acceleration);
        } else {
            ai_SpeedToward(o, target->speed, t->acceleration);
            if (o->speed < 0x871C) o->speed = 0x871C;
        }
    }
    return done;
}

int32_t ai_GroundAttackRun(ObjectRecord* o) {
    _AI_DCB* u = ai_Unit(o);
    if (!u) return 1;
    if (SafetySteps(o)) return 0;
    if (!o->target) {
        SetPending(u, AI_PROGRAM_ROUTE);
        return 0;
    }
    const AiUnitType* t = TypeOf(u);
    const FixWorldPos p{o->target->position.x, static_cast<uint32_t>(t ? t->attackHeight : 0), o->target->position.z};
    ai_SteerToPoint(o, &p, nullptr, nullptr);
    const FixWorldPos ground{o->target->position.x, o->position.y, o->target->position.z};
    return obj_PosDistance(&o->position, &ground) < (t ? t->attackRange : kGunRange);
}

// The weapon types of the units' missiles: the long-range AIM120 and the
// short-range AIM9M.
constexpr int32_t kLongMissileType = 2;
constexpr int32_t kShortMissileType = 1;

int32_t ai_FireAtTarget(ObjectRecord* o) {
    _AI_DCB* u = ai_Unit(o);
    if (!u) return 1;
    ai_AimAtTarget(o);
    switch (u->weapon) {
    case 7:
    case 6: {
        uint8_t& count = u->weapon == 7 ? u->longMissiles : u->shortMissiles;
        if (count) count--;
        u->gunCountdown = 1;
        // Without a missile there is nothing to wait for.
        if (!weapon_AiLaunchMissile(o, u->weapon == 7 ? kLongMissileType : kShortMissileType, nullptr))
            u->gunCountdown = 0;
        break;
    }
    case 5:
        if (u->gunBursts) u->gunBursts--;
        weapon_AiGunShot(o, 0);
        u->gunCountdown = 10;
        break;
    default: break;
    }
    return 1;
}

int32_t ai_GroundFire(ObjectRecord* o) {
    _AI_DCB* u = ai_Unit(o);
    if (!u) return 1;
    if (o->targetClass & OBJ_TARGET_STRIKE) weapon_AiDropBomb(o, nullptr);
    else weapon_AiGunShot(o, 0);
    u->gunCountdown = 0;
    return 1;
}

int32_t ai_BurstDone(ObjectRecord* o) {
    _AI_DCB* u = ai_Unit(o);
    if (!u) return 1;
    ai_AimAtTarget(o);
    if (u->weapon == 5) {
        if (u->gunCountdown) u->gunCountdown--;
        if (u->gunCountdown) weapon_AiGunShot(o, u->gunCountdown & 1);
        return u->gunCountdown == 0;
    }
    return u->gunCountdown == 0;
}

void ai_MissileTargetLost(ObjectRecord* missile) {
    if (!missile) return;
    if (_AI_DCB* u = ai_Unit(missile->owner)) u->gunCountdown = 0;
}

// ---- Air defence ----

int32_t ai_GunDefence(ObjectRecord* o) {
    _AI_DCB* u = ai_Unit(o);
    if (!u || !Every(o, 32)) return 0;
    int32_t d = 0;
    ObjectRecord* h = obj_FindNearest(o, kAllClasses, kAllCategories, kGunRange, &d);
    o->target = h;
    if (!h) return 0;
    // Lead the target by its speed over the shell's flight time.
    const FixVec3 dir = obj_ForwardOf(&h->angles);
    const int64_t lead = (static_cast<int64_t>(h->speed) * d) / 0x30000;
    const FixWorldPos aim{h->position.x + static_cast<uint32_t>((dir.x * lead) >> 16),
                          h->position.y + static_cast<uint32_t>((dir.y * lead) >> 16),
                          h->position.z + static_cast<uint32_t>((dir.z * lead) >> 16)};
    const int32_t error = Signed25(static_cast<int64_t>(obj_Bearing(&o->position, &aim)) - o->angles.heading);
    o->angles.heading = Wrap25(static_cast<int64_t>(o->angles.heading) + Clamp(error, 0x400000));
    o->angles.pitch = PitchTo(o, &aim);
    weapon_AiGunShot(o, 0);
    return 1;
}

int32_t ai_FlakFire(ObjectRecord* o) {
    if (!ai_Unit(o) || !Every(o, 4)) return 0;
    ObjectRecord* h = obj_FindNearest(o, kAllClasses, kAllCategories, kGunRange, nullptr);
    if (!h) return 0;
    auto spread = [](void) { return static_cast<int32_t>(math_Random() % 0x1FE0001u) - 0xFF0000; };
    FixWorldPos p{h->position.x + static_cast<uint32_t>(spread()), h->position.y + static_cast<uint32_t>(spread()),
                  h->position.z + static_cast<uint32_t>(spread())};
    if (static_cast<int32_t>(p.y) - terrain_HeightBilinear(&p) <= 0xBE0000) return 0;
    weapon_FlakCreate(o, &p);
    return 1;
}

namespace {

// The hostile a search site sees from 10.0 above it every period frames,
// after its sighting events; null when none or off the period.
ObjectRecord* SiteSearch(ObjectRecord* o, int32_t period) {
    if (!ai_Unit(o) || !Every(o, period)) return nullptr;
    ObjectRecord* h = SearchFromAbove(o, kDefenceRange);
    if (h) ai_SightingEvents(o, h);
    return h;
}

void LaunchSam(ObjectRecord* launcher, ObjectRecord* hostile, int32_t now) {
    launcher->target = hostile;
    ai_Unit(launcher)->timeStamp = now;
    weapon_AiLaunchSam(launcher);
}

}  // namespace

int32_t ai_DefenceSearch(ObjectRecord* o) {
    ObjectRecord* h = SiteSearch(o, 32);
    if (!h) return 0;
    // The launcher of the chain that faces the hostile best and has not
    // fired for a while.
    const int32_t now = static_cast<int32_t>(app_ClockRead());
    ObjectRecord* best = nullptr;
    int32_t bestError = 0;
    for (_AI_DCB* mu = ai_Unit(o); mu; mu = ai_Unit(mu->groupNext)) {
        ObjectRecord* m = &mu->object;
        if (now - mu->timeStamp <= 0x12C0) continue;
        const int32_t e = Abs(Signed25(static_cast<int64_t>(obj_Bearing(&m->position, &h->position)) - m->angles.heading));
        if (!best || e < bestError) {
            best = m;
            bestError = e;
        }
    }
    if (!best) return 0;
    LaunchSam(best, h, now);
    return 1;
}

int32_t ai_AreaSearch(ObjectRecord* o) {
    ObjectRecord* h = SiteSearch(o, 512);
    if (!h) return 0;
    LaunchSam(o, h, static_cast<int32_t>(app_ClockRead()));
    return 1;
}

// ---- Evasion ----

int32_t ai_CollisionAhead(ObjectRecord* o) {
    _AI_DCB* u = ai_Unit(o);
    if (!u || !Every(o, 16) || !(o->stateFlags & OBJ_STATE_AIRBORNE)) return 0;
    const FixVec3 dir = obj_ForwardOf(&o->angles);
    const FixWorldPos ahead{o->position.x + static_cast<uint32_t>(dir.x * 200), o->position.y + static_cast<uint32_t>(dir.y * 200),
                            o->position.z + static_cast<uint32_t>(dir.z * 200)};
    if (obj_TerrainLineOfSight(o, &ahead)) return 0;
    if (u->aiState == AI_STATE_PULLUP) return 0;
    u->savedState = u->aiState;
    u->aiState = AI_STATE_PULLUP;
    SetPending(u, AI_PROGRAM_PULLUP);
    return 1;
}

int32_t ai_EvasionBand(int32_t height) {
    if (height >= 0x7080000) return 2;
    if (height > 0x1770000) return 1;
    return 0;
}

int32_t ai_EvasionPick(uint8_t mask, uint32_t random) {
    if (!mask) return 0;
    for (int32_t i = 0; i < 8; i++) {
        const int32_t bit = static_cast<int32_t>((random + static_cast<uint32_t>(i)) & 7);
        if (mask & (1 << bit)) return bit;
    }
    return 0;
}

void ai_Evade(ObjectRecord* o) {
    _AI_DCB* u = ai_Unit(o);
    if (!u || (o->flags & OBJ_FLAG_PLAYER) || !(o->stateFlags & OBJ_STATE_AIRBORNE) || u->aiState == AI_STATE_EVADE)
        return;
    const AiUnitType* t = TypeOf(u);
    if (!t) return;
    const int32_t band = ai_EvasionBand(HeightAboveTerrain(o));
    const uint8_t mask = static_cast<uint8_t>(t->evasion[band * 4 + (u->skill & 3)] & 0xFF);
    const int32_t pick = ai_EvasionPick(mask, math_Random() & 7);
    u->savedState = u->aiState;
    u->aiState = AI_STATE_EVADE;
    SetPending(u, AI_PROGRAM_EVADE0 + pick);
}

int32_t ai_Countermeasures(ObjectRecord* o) {
    _AI_DCB* u = ai_Unit(o);
    if (!u || !Every(o, 128) || u->skill <= 1 || !u->countermeasure) return 0;
    weapon_DecoySpawnPosition(o);
    if (u->countermeasure & 1) weapon_FlareCreate(o);
    else weapon_ChaffCreate(o);
    if (u->aiState == AI_STATE_EVADE) return 0;
    ai_Evade(o);
    return u->aiState == AI_STATE_EVADE;
}

// ---- Threats and targets ----

namespace {

void ReactToThreat(ObjectRecord* a, ObjectRecord* b, bool forced) {
    if (!a || !b) return;
    if (b->flags & OBJ_FLAG_PLAYER) {
        // The cockpit shows the warning.
        if (b->pool == &level_ServerArrays.player) reinterpret_cast<_PLAYER_DCB*>(b)->fields.countermeasures |= 0x04;
        return;
    }
    _AI_DCB* bu = ai_Unit(b);
    if (!bu || !(b->stateFlags & OBJ_STATE_AIRBORNE)) return;
    const int32_t d = obj_Distance(a, b);
    if ((forced || Every(a, 64)) && d < kAcquireRange) {
        for (ObjectRecord* e = obj_TypeList.head; e; e = e->typeNext) {
            _AI_DCB* eu = ai_Unit(e);
            if (!eu || e == b || eu->leader != b || e->group == b->group) continue;
            if (!(e->stateFlags & OBJ_STATE_AIRBORNE) || Chasing(e, a)) continue;
            ai_AssignTarget(e, a);
            break;
        }
    }
    if (d < kEvadeRange) ai_Evade(b);
}

}  // namespace

void ai_ReactToThreat(ObjectRecord* a, ObjectRecord* b) { ReactToThreat(a, b, true); }

int32_t ai_AssignTarget(ObjectRecord* o, ObjectRecord* hostile) {
    if (!o || !hostile) return 0;
    ObjectRecord* lead = o;
    if (_AI_DCB* u = ai_Unit(o); u && u->leader && u->isMember) lead = u->leader;
    for (ObjectRecord* m = lead; m;) {
        _AI_DCB* mu = ai_Unit(m);
        if (!mu) break;
        const bool free = (mu->aiState == AI_STATE_ROUTE || mu->aiState == AI_STATE_FOLLOW ||
                           mu->aiState == AI_STATE_REJOIN) &&
                          !m->target;
        if (free && (mu->sideMasks[0] & hostile->targetClass) && ai_ChooseWeapon(m, hostile)) {
            if (mu->isMember && mu->leader && ai_Unit(mu->leader) && mu->leader->group == m->group) SwapWithLeader(m);
            m->target = hostile;
            plat_SimLog("ai", "attack unit=%u target=%u%s", (unsigned)m->missionObject, (unsigned)hostile->missionObject,
                        (hostile->flags & OBJ_FLAG_PLAYER) ? " player" : "");
            const AiUnitType* t = TypeOf(mu);
            SetPending(mu, t ? t->attackProgram : static_cast<int32_t>(AI_PROGRAM_ATTACK));
            mu->ownTargets = 0;
            const AiFormationSlot* slot = static_cast<const AiFormationSlot*>(mu->formationSlot);
            mu->commanded.heading = Wrap25(static_cast<int64_t>(m->angles.heading) + (slot ? slot->heading : 0));
            mu->commanded.pitch = Wrap25(static_cast<int64_t>(m->angles.pitch) + (slot ? slot->pitch : 0));
            return 1;
        }
        m = mu->groupNext;
    }
    return 0;
}

void ai_AssignAttackers(ObjectRecord* o) {
    if (!ai_Unit(o)) return;
    const uint8_t classes = HostileClasses(o);
    int32_t minimum = 0;
    for (int32_t i = 0; i < 8; i++) {
        int32_t d = 0;
        ObjectRecord* h = obj_FindNextNearest(o, classes, kAllCategories, minimum, kAcquireRange, &d);
        if (!h) break;
        ai_SightingEvents(o, h);
        ai_AssignTarget(o, h);
        minimum = d + 1;
    }
}

// ---- Waypoint actions ----

void ai_WaypointAction(ObjectRecord* o) {
    _AI_DCB* u = ai_Unit(o);
    OrfWaypoint w;
    if (!u || !ReadWaypoint(u, &w)) return;
    for (_AI_DCB* m = u; m; m = ai_Unit(m->groupNext)) {
        m->waypointBehaviour = w.behaviour;
        m->engagement = w.engagement;
    }
    switch (w.action) {
    case 1:
        if (!u->route) {
            ai_MissionError("Mission Error!\n\n%s has no waygroup!", o);
            return;
        }
        ai_WaypointSet(o, w.argument);
        break;
    case 3: {
        for (_AI_DCB* m = u; m; m = ai_Unit(m->groupNext)) m->engagement = 3;
        for (ObjectRecord* t = obj_TypeList.head; t; t = t->typeNext)
            if (t->missionObject == w.argument && t->hitPoints > 0) {
                ai_AssignTarget(o, t);
                break;
            }
        ai_WaypointSet(o, u->waypointNumber + 1);
        break;
    }
    case 4: {
        for (_AI_DCB* m = u; m; m = ai_Unit(m->groupNext)) m->engagement = 3;
        const int32_t g = w.argument & 127;
        if (ObjectRecord* l = ai_Module.leader[g]) ai_AssignTarget(o, l);
        for (ObjectRecord* m : ai_Module.members[g])
            if (m) ai_AssignTarget(o, m);
        ai_WaypointSet(o, u->waypointNumber + 1);
        break;
    }
    case 6: {
        const int32_t f = w.argument < AI_FORMATIONS ? w.argument : 0;
        for (_AI_DCB* m = ai_Unit(u->groupNext); m; m = ai_Unit(m->groupNext)) {
            m->formation = static_cast<uint8_t>(f);
            if (m->slotIndex < AI_GROUP_MEMBERS) m->formationSlot = &ai_Formations[f][m->slotIndex];
        }
        ai_WaypointSet(o, u->waypointNumber + 1);
        break;
    }
    case 7: SetPending(u, AI_PROGRAM_LANDING); break;
    case 8: {
        ObjectRecord* l = ai_Module.leader[w.argument & 127];
        if (l && l != o) {
            u->leader = l;
            u->aiState = AI_STATE_REJOIN;
            SetPending(u, AI_PROGRAM_ESCORT);
        }
        ai_WaypointSet(o, u->waypointNumber + 1);
        break;
    }
    case 2: break;
    default:  // 0, 5
        ai_WaypointSet(o, u->waypointNumber + 1);
        break;
    }
}

// ---- Road movement and the transient flyer ----

void ai_RoadThink(ObjectRecord* o) {
    _AI_DCB* u = ai_Unit(o);
    if (!u) return;
    o->frameCounter++;
    OrfWaypoint w;
    if (!ReadWaypoint(u, &w)) return;
    const FixWorldPos p{w.x, o->position.y, w.z};
    o->angles.heading = obj_BearingHalfScale(&o->position, &p);
    o->speed = 0x1800;
    Step(o);
    o->position.y = static_cast<uint32_t>(terrain_HeightBilinear(&o->position));
    if (Abs(Diff(w.x, o->position.x)) < 0x10000 && Abs(Diff(w.z, o->position.z)) < 0x10000)
        ai_WaypointSet(o, w.action == 1 ? 0 : u->waypointNumber + 1);
}

namespace {
constexpr int32_t kTransientSpeed = 0x20000;
}

void ai_TransientThink(ObjectRecord* o) {
    if (!o) return;
    _COMMON_DCB* c = reinterpret_cast<_COMMON_DCB*>(o);
    if (c->weapon.lifetime-- < 0 || (o->pending & OBJECT_PENDING_REMOVAL)) {
        o->think = nullptr;
        obj_Free(o);
        return;
    }
    o->speed = kTransientSpeed;
    Step(o);
}
