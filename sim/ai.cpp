// Unit AI: creation of the mission's units, the group tables, mission start,
// events, damage and death.
#include "sim/ai.h"

#include <cstdio>
#include <cstring>

#include "base/math.h"
#include "net/server.h"
#include "platform/simlog.h"
#include "render/object.h"
#include "shell/appstr.h"
#include "shell/fatal.h"
#include "sim/plane.h"
#include "shell/runner.h"
#include "sim/hit.h"
#include "sim/obj.h"
#include "sim/trig.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/levelseq.h"
#include "world/objarray.h"
#include "world/orf.h"
#include "world/terrain.h"

AiModule ai_Module;
int32_t ai_AirStartCount[2] = {};
ObjectRecord* ai_Wingman = nullptr;

namespace {

constexpr uint32_t kStringKilled = 0x1DC;
constexpr uint32_t kHitRange = 0x2F80000;
constexpr uint32_t kExplosionRange = 0x3E580000;
constexpr int32_t kRetries = 4;
constexpr int32_t kTimeStampAge = 0x2580;
constexpr int32_t kAttachRange = 0x76C0000;
constexpr int32_t kNearRange = 0x3B600000;
constexpr int32_t kKindAircraft = 0, kKindGround = 1, kKindStructure = 2, kKindSpecial = 3;

void DefaultMissionError(const char* text) { app_FatalMessage(text); }

void Post(uint16_t type, uint16_t id, uint16_t code, uint16_t argument = 0, uint16_t extType = 0,
          uint16_t extId = 0) {
    trig_Event = TriggerEvent{type, id, code, argument, extType, extId};
    trig_PostEvent();
}

uint16_t Number(const ObjectRecord* o) { return o ? o->missionObject : 0; }

// An object's own damage and death events, also written to the log.
void PostObject(uint16_t id, uint16_t code, uint16_t extId = 0) {
    Post(0, id, code, 0, 0, extId);
    plat_SimLog("ai", "event object=%u %u", (unsigned)id, (unsigned)code);
}

int32_t Clock(void) { return static_cast<int32_t>(app_ClockRead()); }

// The next frame-counter seed: aircraft by ones mod 64, ground units mod 32.
int32_t PhaseAircraft(void) {
    const int32_t p = ai_Module.phase & 63;
    ai_Module.phase = (ai_Module.phase + 1) & 63;
    return p;
}
int32_t PhaseGround(int32_t step) {
    const int32_t p = ai_Module.phase & 31;
    ai_Module.phase = (ai_Module.phase + step) & 63;
    return p;
}

void ListAdd(ObjectRecord** list, int32_t* count, ObjectRecord* o) {
    if (*count < AI_GROUND_LIST) list[(*count)++] = o;
}
void ListRemove(ObjectRecord** list, int32_t* count, const ObjectRecord* o) {
    for (int32_t i = 0; i < *count; i++)
        if (list[i] == o) {
            list[i] = list[--*count];
            list[*count] = nullptr;
            return;
        }
}

// Out of the world cell grid and the category lists, so that no search
// meets the record once it is back in its pool.
void CellListRemove(ObjectRecord* o) {
    ObjectRecord** heads = depth_Level.staticHeads;
    if (heads) {
        ObjectRecord** link = &heads[obj_CellIndex(o->position.x, o->position.z)];
        while (*link && *link != o) link = &(*link)->freeLink;
        if (*link) *link = o->freeLink;
    }
    o->freeLink = nullptr;
    for (ObjCategoryList& l : obj_CategoryLists)
        for (int32_t i = 0; i < l.count; i++)
            if (l.items[i] == o) {
                memmove(&l.items[i], &l.items[i + 1], static_cast<size_t>(l.count - i - 1) * sizeof l.items[0]);
                l.items[--l.count] = nullptr;
                i--;
            }
}

bool InCellGrid(const ObjectRecord* o) {
    const _AI_DCB* u = reinterpret_cast<const _AI_DCB*>(o);
    if (o->pool != &level_ServerArrays.ai || !(o->aiClass & 2)) return false;
    return u->subtype != 7 && u->subtype != 8 && u->subtype != 9;
}

// Takes the unit out of every group chain that holds it.
void ChainUnlink(ObjectRecord* o) {
    auto unlinkFrom = [o](ObjectRecord* head) {
        for (ObjectRecord* p = head; p;) {
            _AI_DCB* pu = ai_Unit(p);
            if (!pu) return;
            if (pu->groupNext == o) {
                _AI_DCB* u = ai_Unit(o);
                pu->groupNext = u ? u->groupNext : nullptr;
                return;
            }
            p = pu->groupNext;
        }
    };
    for (ObjectRecord* l : ai_Module.leader) unlinkFrom(l);
    for (int32_t i = 0; i < ai_Module.subtype2Count; i++) unlinkFrom(ai_Module.subtype2[i]);
    if (_AI_DCB* u = ai_Unit(o)) u->groupNext = nullptr;
}

// ---- Ground death routines ----

void GroundLoss(ObjectRecord* o) {
    // Counted once: a structure's damage routine runs the bookkeeping and
    // then its death routine, which is the bookkeeping again.
    if (!o->groundUnit) return;
    o->groundUnit = 0;
    const int32_t g = o->group & 127;
    if (ai_Module.groundNow[g] > 0) ai_Module.groundNow[g]--;
    ai_Module.sideLosses[(o->flags & OBJ_FLAG_ALLIANCE_B) ? 1 : 0]++;
    Post(2, static_cast<uint16_t>(g), 0,
         static_cast<uint16_t>(ai_RemainingStrength(ai_Module.groundStart[g], ai_Module.groundNow[g])));
}

void Subtype1Death(ObjectRecord* o) {
    ListRemove(ai_Module.subtype1, &ai_Module.subtype1Count, o);
    ChainUnlink(o);
    GroundLoss(o);
}

// Radar and launcher sites: the clients learn that the radar is gone.
void RadarDeath(ObjectRecord* o) {
    ListRemove(ai_Module.subtype2, &ai_Module.subtype2Count, o);
    FixWorldPos at = o->position;
    Server_CallQueueEvent(EVENT_RADARDIE, o->serial, &at, SERVER_TO_ALL, 0, 0, kRetries);
    GroundLoss(o);
}

void GroundSubtype(ObjectRecord* o, _AI_DCB* u, int32_t subtype) {
    bool grid = true;
    o->unitKind = 4;
    switch (subtype) {
    case 0:
    case 4:
        o->hitPoints = subtype == 0 ? 196 : 512;
        o->frameCounter = PhaseGround(4);
        o->targetClass = OBJ_TARGET_GROUND;
        break;
    case 1:
        o->hitPoints = 512;
        ListAdd(ai_Module.subtype1, &ai_Module.subtype1Count, o);
        u->timeStamp = Clock() - kTimeStampAge;
        o->death = Subtype1Death;
        o->flags |= 0x80;
        o->targetClass = OBJ_TARGET_GROUND;
        break;
    case 2:
        o->hitPoints = 512;
        o->stateFlags |= OBJ_STATE_GROUND_UNIT;
        o->frameCounter = PhaseGround(1);
        ListAdd(ai_Module.subtype2, &ai_Module.subtype2Count, o);
        o->death = RadarDeath;
        o->targetClass = OBJ_TARGET_GROUND;
        o->category |= OBJ_CATEGORY_01;
        break;
    case 5:
        o->hitPoints = 1;
        o->targetClass = 0;
        break;
    case 6:
        o->hitPoints = 3000;
        o->frameCounter = PhaseGround(1);
        o->death = nullptr;
        o->category |= OBJ_CATEGORY_01;
        break;
    case 7:
    case 8:
    case 9:
        o->hitPoints = 2000;
        o->stateFlags |= OBJ_STATE_ROAD;
        o->aiClass |= 0x80;
        o->think = ai_RoadThink;
        u->roadWord = 0;
        o->unitKind = 0;
        grid = false;
        break;
    default:  // 3, 10, 11, 12
        o->hitPoints = subtype == 11 ? 24000 : subtype == 12 ? 1 : 3000;
        o->think = nullptr;
        o->stateFlags |= OBJ_STATE_GROUND_UNIT;
        o->death = RadarDeath;
        o->targetClass = OBJ_TARGET_GROUND;
        o->category |= OBJ_CATEGORY_01;
        break;
    }
    o->hitPointsMax = o->hitPoints;
    if (grid) {
        obj_CellListPush(o);
        o->hit = ai_UnitDamage;
    }
}

const uint8_t* RouteItems(int32_t route, uint32_t* count) {
    *count = 0;
    if (!level_Mission || route < 0 || static_cast<uint32_t>(route) >= level_Mission->starts.count) return nullptr;
    *count = level_Mission->starts.groups[route].itemCount;
    return *count ? level_Mission->starts.groups[route].items : nullptr;
}

const uint8_t* StepItems(int32_t list, uint32_t* count) {
    *count = 0;
    if (!level_Mission || list < 0 || static_cast<uint32_t>(list) >= level_Mission->array5.count) return nullptr;
    *count = level_Mission->array5.groups[list].itemCount;
    return *count ? level_Mission->array5.groups[list].items : nullptr;
}

void LogUnit(const ObjectRecord* o, const char* kind, int32_t subtype) {
    const _AI_DCB* u = reinterpret_cast<const _AI_DCB*>(o);
    const bool ai = o->pool == &level_ServerArrays.ai;
    plat_SimLog("ai", "create %s %d object=%u group=%u member=%u %s", kind, subtype, (unsigned)o->missionObject,
                (unsigned)o->group, (unsigned)o->member,
                !ai ? "structure" : (o->aiClass & 1) ? (u->isMember ? "wing" : "lead") : "ground");
}

}  // namespace

AiMissionErrorHandler ai_MissionErrorHandler = DefaultMissionError;

void ai_MissionError(const char* format, const ObjectRecord* unit) {
    char name[64];
    obj_DisplayName(unit, name, sizeof name);
    char text[256];
    snprintf(text, sizeof text, format, name);
    plat_SimLog("ai", "error %s", text + (strncmp(text, "Mission Error!\n\n", 16) ? 0 : 16));
    ai_MissionErrorHandler(text);
}

_AI_DCB* ai_Unit(ObjectRecord* o) {
    return o && o->pool == &level_ServerArrays.ai ? reinterpret_cast<_AI_DCB*>(o) : nullptr;
}

const AiUnitType* ai_TypeOf(const ObjectRecord* o) {
    if (!o || o->pool != &level_ServerArrays.ai) return nullptr;
    return static_cast<const AiUnitType*>(reinterpret_cast<const _AI_DCB*>(o)->unitType);
}

int32_t ai_RemainingStrength(int32_t atStart, int32_t now) {
    const int32_t start = atStart < 1 ? 1 : atStart;
    return 10 - 10 * (start - now) / start;
}

// ---- Mission start ----

void ai_ClearModuleData(void) {
    memset(&ai_Module, 0, sizeof ai_Module);
    ai_AirStartCount[0] = ai_AirStartCount[1] = 0;
    ai_Wingman = nullptr;
}

void ai_LinkWaygroups(void) {
    for (int32_t g = 0; g < AI_GROUPS; g++) {
        ObjectRecord* lead = ai_Module.leader[g];
        _AI_DCB* prev = ai_Unit(lead);
        if (!prev) continue;
        for (ObjectRecord* m : ai_Module.members[g]) {
            _AI_DCB* u = ai_Unit(m);
            if (!u) break;
            prev->groupNext = m;
            u->leader = lead;
            u->groupNext = nullptr;
            prev = u;
        }
    }
}

void ai_AttachNearbyUnits(void) {
    for (int32_t i = 0; i < ai_Module.subtype2Count; i++) {
        _AI_DCB* tail = ai_Unit(ai_Module.subtype2[i]);
        if (!tail) continue;
        while (ai_Unit(tail->groupNext)) tail = ai_Unit(tail->groupNext);
        for (int32_t k = 0; k < ai_Module.subtype1Count; k++) {
            ObjectRecord* s1 = ai_Module.subtype1[k];
            _AI_DCB* u = ai_Unit(s1);
            if (!u || u->leader || obj_Distance(ai_Module.subtype2[i], s1) >= kAttachRange) continue;
            tail->groupNext = s1;
            u->leader = ai_Module.subtype2[i];
            u->groupNext = nullptr;
            tail = u;
        }
    }
}

void ai_SaveGroupCounters(void) {
    memcpy(ai_Module.aircraftStart, ai_Module.aircraftNow, sizeof ai_Module.aircraftStart);
    memcpy(ai_Module.groundStart, ai_Module.groundNow, sizeof ai_Module.groundStart);
    int32_t groups = 0, units = 0;
    for (int32_t g = 0; g < AI_GROUPS; g++)
        if (ai_Module.aircraftNow[g] || ai_Module.groundNow[g]) {
            groups++;
            units += ai_Module.aircraftNow[g] + ai_Module.groundNow[g];
        }
    if (groups) plat_SimLog("ai", "groups %d units %d", groups, units);
}

void ai_Nop(void) {}

void ai_PlayerWingmanSet(ObjectRecord* player) {
    if (!player) return;
    ObjectRecord** members = ai_Module.members[AI_PLAYER_GROUP];
    _AI_DCB* first = ai_Unit(members[0]);
    if (!first) return;
    ai_Module.leader[AI_PLAYER_GROUP] = player;
    for (int32_t k = 0; k < AI_GROUP_MEMBERS && members[k]; k++) {
        _AI_DCB* u = ai_Unit(members[k]);
        u->leader = player;
        u->groupNext = k + 1 < AI_GROUP_MEMBERS ? members[k + 1] : nullptr;
    }
    first->object.flags |= OBJ_FLAG_WINGMAN;
    first->engagement = 3;
    ai_Wingman = members[0];
    plane_PlayerFields(player)->wingman = members[0];
    plat_SimLog("ai", "wingman unit=%u leader=%u", (unsigned)members[0]->missionObject,
                (unsigned)player->missionObject);
}

// ---- Creation ----

void ai_InitObjectByKind(ObjectRecord* o, const void* placed) {
    if (!o || !placed) return;
    const uint8_t* record = static_cast<const uint8_t*>(placed);
    OrfAiPart a;
    orf_AiPartDecode(record, &a);
    const int32_t kind = record[17];
    _AI_DCB* u = ai_Unit(o);

    uint8_t category = 0;
    if (a.categoryByte & 1) category |= OBJ_CATEGORY_PLAYER_TARGET;
    if (kind == kKindSpecial) category |= OBJ_CATEGORY_LANDING;
    if (a.extraByte) category |= OBJ_CATEGORY_10;
    if (a.categoryByte & 2) category |= OBJ_CATEGORY_20;
    if (a.categoryByte & 4) category |= OBJ_CATEGORY_40;
    // A structure was listed by its own category when it was made.
    if (u) o->category = category;
    else o->category |= category;
    o->missionBit = static_cast<uint8_t>((o->missionBit & ~1) | ((a.categoryByte >> 3) & 1));
    o->missionByte = a.missionByte;
    o->missionWord = a.missionWord;

    if (u) {
        u->missionRecord = record;
        u->sideMasks[0] = u->sideMasks[1] = u->sideMasks[2] = 0;
        for (int32_t n = 0; n < 6; n++) {
            const uint8_t bit = static_cast<uint8_t>(1 << n);
            if (a.alliance[n] == 0) u->sideMasks[0] |= bit;
            if (a.alliance[n] == 2) u->sideMasks[1] |= bit;
            if (a.alliance[n] == 3) u->sideMasks[2] |= bit;
        }
        u->routeNumber = a.route;
        uint32_t count = 0;
        u->route = RouteItems(a.route, &count);
        u->waypoint = u->route;
        u->waypointNumber = 0;
        u->stepList = a.stepList;
        u->routeStep = StepItems(a.stepList, &count);
        u->stepNumber = 0;
        u->isMember = 0;
        u->groupNext = nullptr;
        u->leader = nullptr;
        u->formationSlot = nullptr;
        u->slotIndex = 0xFF;
        u->formation = a.formation;
        u->skill = a.skill > 3 ? 3 : a.skill;
        u->subtype = a.subtype;
        u->commanded = FixAngles{INT32_MIN, INT32_MIN, INT32_MIN};
        u->timeStamp = Clock() - kTimeStampAge;
        u->ownTargets = 1;
    }

    const int32_t g = a.group;
    if (kind == kKindAircraft && u) {
        if (a.subtype >= AI_UNIT_TYPES) return ai_MissionError("Mission Error!\n\n%s has no unit type!", o);
        if (g >= AI_GROUPS) return ai_MissionError("Mission Error!\n\n%s has no group!", o);
        const AiUnitType* t = &ai_UnitTypes[a.subtype];
        o->aiClass = 1;
        u->radarFactor = g == AI_PLAYER_GROUP ? 0x4000 : 0x10000;
        o->group = static_cast<uint8_t>(g);
        o->member = static_cast<uint8_t>(a.member + 1);
        const bool airborne = (a.startFlags & ORF_AI_AIRBORNE) != 0;
        u->unitType = t;
        o->draw = plane_ObjectDraw;
        if (!ai_Module.leader[g] && g != AI_PLAYER_GROUP) {
            ai_Module.leader[g] = o;
            o->death = ai_LeaderDeath;
        } else {
            int32_t k = 0;
            while (k < AI_GROUP_MEMBERS && ai_Module.members[g][k]) k++;
            if (k == AI_GROUP_MEMBERS) return ai_MissionError("Mission Error!\n\n%s has too many wingmen!", o);
            u->isMember = 1;
            u->slotIndex = static_cast<uint8_t>(k);
            u->formationSlot = &ai_Formations[a.formation < AI_FORMATIONS ? a.formation : 0][k];
            ai_Module.members[g][k] = o;
            o->death = ai_MemberDeath;
        }
        ai_Module.aircraftNow[g]++;
        if (!airborne) ai_Module.onGround[g]++;
        o->frameCounter = PhaseAircraft();
        u->shortMissiles = a.weapons[0];
        u->longMissiles = a.weapons[1];
        u->gunBursts = a.weapons[2];
        const int32_t f = ai_TurnSkill[u->skill];
        u->turnLimits = FixAngles{static_cast<int32_t>((static_cast<int64_t>(t->headingRate) * f) >> 16),
                                  static_cast<int32_t>((static_cast<int64_t>(t->pitchRate) * f) >> 16),
                                  static_cast<int32_t>((static_cast<int64_t>(t->rollRate) * f) >> 16)};
        o->hitPoints = o->hitPointsMax = static_cast<int16_t>(t->hitPoints);
        o->targetClass = t->targetClass;
        u->attackRange = t->attackRange;
        o->hit = ai_UnitDamage;
        if (airborne) o->speed = t->cruiseSpeed;
        LogUnit(o, "aircraft", a.subtype);
    } else if (kind == kKindGround && u) {
        if (a.subtype > 12) return ai_MissionError("Mission Error!\n\n%s has no unit type!", o);
        if (g >= AI_GROUPS) return ai_MissionError("Mission Error!\n\n%s has no group!", o);
        o->aiClass = 2;
        o->death = ai_ObjectDestroyed;
        o->stateFlags = OBJ_STATE_WAITING;
        o->known = 1;
        o->groundUnit = 1;
        o->hitPoints = o->hitPointsMax = 128;
        o->group = static_cast<uint8_t>(g);
        o->member = static_cast<uint8_t>(++ai_Module.groundNow[g]);
        o->hit = ai_UnitDamage;
        GroundSubtype(o, u, a.subtype);
        LogUnit(o, "ground", a.subtype);
    } else if (kind == kKindStructure) {
        if (g >= AI_GROUPS) return ai_MissionError("Mission Error!\n\n%s has no group!", o);
        const uint8_t subtype = record[21] < 10 ? record[21] : 0;
        o->aiClass = 2;
        o->death = ai_ObjectDestroyed;
        o->stateFlags = OBJ_STATE_WAITING;
        o->known = 1;
        o->groundUnit = 1;
        o->group = static_cast<uint8_t>(g);
        o->member = static_cast<uint8_t>(++ai_Module.groundNow[g]);
        o->hitPoints = o->hitPointsMax = level_StaticHitPoints[subtype];
        o->targetClass = OBJ_TARGET_STRUCTURE;
        LogUnit(o, "structure", subtype);
    }
    if (u) ai_ProgramStart(o, placed);
}

// ---- Group bookkeeping ----

void ai_GroupAirborne(ObjectRecord* o) {
    _AI_DCB* u = ai_Unit(o);
    if (!u || !(o->aiClass & 1)) return;
    if (u->aiState != AI_STATE_IDLE && u->aiState != AI_STATE_GROUND && u->aiState != AI_STATE_TAKEOFF) return;
    const int32_t g = o->group & 127;
    if (ai_Module.onGround[g] <= 0) return;
    if (--ai_Module.onGround[g] == 0) Post(1, static_cast<uint16_t>(g), 1);
}

namespace {

// Out of the group's member table; the later members move up.
void MemberRemove(int32_t g, const ObjectRecord* o) {
    for (int32_t k = 0; k < AI_GROUP_MEMBERS; k++)
        if (ai_Module.members[g][k] == o) {
            memmove(&ai_Module.members[g][k], &ai_Module.members[g][k + 1],
                    static_cast<size_t>(AI_GROUP_MEMBERS - k - 1) * sizeof(ObjectRecord*));
            ai_Module.members[g][AI_GROUP_MEMBERS - 1] = nullptr;
            return;
        }
}

void AircraftLoss(ObjectRecord* o) {
    const int32_t g = o->group & 127;
    ai_Module.sideLosses[(o->flags & OBJ_FLAG_ALLIANCE_B) ? 1 : 0]++;
    if (o->flags & OBJ_FLAG_STARTED_AIRBORNE) {
        int32_t& n = ai_AirStartCount[(o->flags & OBJ_FLAG_ALLIANCE_B) ? 1 : 0];
        if (n > 0) n--;
    }
    ai_GroupAirborne(o);
    if (ai_Module.aircraftNow[g] > 0) ai_Module.aircraftNow[g]--;
    Post(1, static_cast<uint16_t>(g), 0,
         static_cast<uint16_t>(ai_RemainingStrength(ai_Module.aircraftStart[g], ai_Module.aircraftNow[g])));
}

}  // namespace

void ai_LeaderDeath(ObjectRecord* o) {
    _AI_DCB* dead = ai_Unit(o);
    if (!dead) return;
    const int32_t g = o->group & 127;
    for (ObjectRecord* m : ai_Module.members[g])
        if (m && m->target == o) m->target = nullptr;
    AircraftLoss(o);
    ObjectRecord* next = dead->groupNext;
    _AI_DCB* n = ai_Unit(next);
    if (ai_Module.leader[g] == o) ai_Module.leader[g] = next;
    if (!n) return;
    // The next member leads: it flies the old leader's route from where
    // the old leader was.
    MemberRemove(g, next);
    n->isMember = 0;
    n->leader = nullptr;
    n->formationSlot = nullptr;
    n->slotIndex = 0xFF;
    n->route = dead->route;
    n->routeNumber = dead->routeNumber;
    n->waypoint = dead->waypoint;
    n->waypointNumber = dead->waypointNumber;
    next->death = ai_LeaderDeath;
    for (_AI_DCB* m = ai_Unit(n->groupNext); m; m = ai_Unit(m->groupNext)) m->leader = next;
    if (n->aiState == AI_STATE_FOLLOW) {
        n->aiState = AI_STATE_ROUTE;
        n->pendingProgram = ai_BuiltinProgram(AI_PROGRAM_ROUTE);
    }
    const AiUnitType* t = static_cast<const AiUnitType*>(dead->unitType);
    if (t && dead->aiState == AI_STATE_GROUND && (o->aiFlags & OBJ_AI_RUNNING))
        n->pendingProgram = ai_BuiltinProgram(t->defaultProgram);
    dead->groupNext = nullptr;
}

void ai_MemberDeath(ObjectRecord* o) {
    _AI_DCB* dead = ai_Unit(o);
    if (!dead) return;
    const int32_t g = o->group & 127;
    ObjectRecord* next = dead->groupNext;
    const bool started = (o->aiFlags & OBJ_AI_RUNNING) != 0;
    ChainUnlink(o);
    MemberRemove(g, o);
    if (ai_Wingman == o) ai_Wingman = nullptr;
    AircraftLoss(o);
    _AI_DCB* n = ai_Unit(next);
    if (n && started && n->aiState == AI_STATE_IDLE) {
        const AiUnitType* t = static_cast<const AiUnitType*>(n->unitType);
        n->pendingProgram = ai_BuiltinProgram(t ? t->defaultProgram : static_cast<int32_t>(AI_PROGRAM_TAXI));
        n->aiState = AI_STATE_GROUND;
        next->aiFlags |= OBJ_AI_RUNNING;
    }
}

void ai_ObjectDestroyed(ObjectRecord* o) {
    if (!o) return;
    GroundLoss(o);
}

// ---- Events ----

void ai_SightingEvents(ObjectRecord* spotter, ObjectRecord* hostile) {
    if (!spotter || !hostile) return;
    const uint16_t groupType = (spotter->aiClass & 1) ? 1 : 2;
    const uint16_t spotterGroup = spotter->group;
    if (hostile->flags & OBJ_FLAG_PLAYER) {
        Post(6, 0, 8, 0, groupType, spotterGroup);
        Post(6, 0, 8, 0, 0, Number(spotter));
        return;
    }
    Post(0, Number(hostile), 3);
    Post(0, Number(hostile), 10, 0, 0, Number(spotter));
    Post(1, hostile->group, 3);
    Post(1, hostile->group, 8, 0, groupType, spotterGroup);
    Post(1, hostile->group, 8, 0, 0, Number(spotter));
}

void ai_NearEvents(ObjectRecord* o) {
    if (!o || !level_GameMode.singlePlayer || (o->frameCounter & 63)) return;
    for (ObjectRecord* p = level_ServerTables.objectList; p; p = p->next) {
        if (!(p->flags & OBJ_FLAG_PLAYER)) continue;
        const int32_t d = obj_Distance(o, p);
        if (d >= kNearRange) continue;
        const uint16_t band = static_cast<uint16_t>((static_cast<int64_t>(d) / 0x17C + 0xE667) >> 16);
        Post(6, 0, 10, band, 0, Number(o));
        Post(6, 0, 10, band, (o->aiClass & 1) ? 1 : 2, o->group);
        return;
    }
}

void ai_PostKillEvents(ObjectRecord* aircraft, ObjectRecord* target) {
    if (!aircraft || !target) return;
    ai_SightingEvents(aircraft, target);
}

void ai_TriggerKind5Action(ObjectRecord* player) { ai_FollowerWake(player); }

void ai_TriggerKind4Action(ObjectRecord*) {}

void ai_FollowerWake(ObjectRecord* player) {
    // Only the first follower: the take-off is reported twice (the
    // aircraft's own step and the client's trigger message).
    _AI_DCB* u = ai_Unit(ai_Module.members[AI_PLAYER_GROUP][0]);
    if (!player || !u || u->aiState != AI_STATE_IDLE) return;
    u->pendingProgram = ai_BuiltinProgram(AI_PROGRAM_TAKEOFF);
    u->aiState = AI_STATE_GROUND;
    u->object.aiFlags |= OBJ_AI_RUNNING;
}

// ---- Damage ----

void ai_UnitDamage(ObjectRecord* o) {
    if (!o || o->hitPoints <= 0) return;
    ObjectRecord* hitter = sim_HitRecord.hitter;
    // A weapon names its launcher; a direct hit names the attacker itself.
    ObjectRecord* attacker = hitter && hitter->owner ? hitter->owner : hitter;
    const uint8_t weaponFlags = hitter && hitter->owner ? hitter->stateFlags : 0;
    if (!level_GameMode.singlePlayer && attacker && (attacker->flags & OBJ_FLAG_PLAYER) &&
        (attacker->flags & o->flags & (OBJ_FLAG_ALLIANCE_A | OBJ_FLAG_ALLIANCE_B)))
        return;
    if ((o->stateFlags & OBJ_STATE_WAITING) && (weaponFlags & 0x20)) return;
    _AI_DCB* u = ai_Unit(o);
    if (u && (o->stateFlags & OBJ_STATE_AIRBORNE)) ai_Evade(o);
    const uint16_t by = Number(attacker);
    PostObject(Number(o), 4);
    PostObject(Number(o), 8, by);
    if (o->aiClass & 1) {
        Post(1, o->group, 4);
        Post(1, o->group, 6, 0, 0, by);
    } else {
        Post(2, o->group, 2);
        Post(2, o->group, 3, 0, 0, by);
    }
    FixWorldPos at = o->position;
    Server_CallQueueEvent(EVENT_DEBRIS, 0, &at, SERVER_IN_RANGE, 0, kHitRange, 2);
    const int64_t damage = (static_cast<int64_t>(sim_HitRecord.damage) * sim_HitRecord.scale) >> 16;
    const int64_t left = o->hitPoints - damage;
    plat_SimLog("ai", "hit object=%u by=%u damage=%lld hp=%lld", (unsigned)Number(o), (unsigned)by,
                (long long)damage, (long long)(left > 0 ? left : 0));
    if (left > 0) {
        o->hitPoints = static_cast<int16_t>(left > INT16_MAX ? INT16_MAX : left);
        if (o->hitPoints < o->hitPointsMax / 2) o->aiFlags |= OBJ_AI_DAMAGED;
        return;
    }
    o->hitPoints = 0;
    const bool onGround = !(o->stateFlags & OBJ_STATE_AIRBORNE);
    Server_CallQueueEvent(onGround ? EVENT_GRNDEXPLODE : EVENT_AIREXPLODE, o->serial, &at, SERVER_IN_RANGE, 0,
                          kExplosionRange, kRetries);
    o->aiFlags &= static_cast<uint8_t>(~OBJ_AI_RUNNING);
    PostObject(Number(o), 0);
    PostObject(Number(o), 9, by);
    PostObject(Number(o), 11);
    if (InCellGrid(o)) CellListRemove(o);
    obj_TypeListUnlink(o);
    if (o->death) o->death(o);
    o->death = nullptr;
    // Escorts and chained units let go of it.
    for (ObjectRecord* p = obj_TypeList.head; p; p = p->typeNext)
        if (_AI_DCB* pu = ai_Unit(p)) {
            if (pu->leader == o) pu->leader = ai_Module.leader[o->group & 127] != o ? ai_Module.leader[o->group & 127] : nullptr;
            if (pu->groupNext == o) pu->groupNext = nullptr;
        }
    char label[64];
    obj_DisplayName(o, label, sizeof label);
    char text[128];
    const char* suffix = app_StringGet(kStringKilled);
    snprintf(text, sizeof text, "%s%s", label, suffix ? suffix : "");
    Server_CallSendText(text, SERVER_TO_ALL, 0, 0);
    plat_SimLog("ai", "destroyed object=%u by=%u %s", (unsigned)Number(o), (unsigned)by,
                onGround ? "ground" : "air");
    o->think = nullptr;
    o->hit = nullptr;
    obj_Remove(o, nullptr);
}
