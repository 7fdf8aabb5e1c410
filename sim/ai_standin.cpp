// Stand-in until the unit AI lands: moving units fly straight on at a
// constant speed, so that the clients' copies have something to follow.
#include "sim/ai.h"

#include "platform/simlog.h"
#include "sim/ai_program.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "world/levelseq.h"
#include "world/objarray.h"

namespace {

// Per frame, in world units (about 8 feet).
constexpr int32_t AI_STANDIN_SPEED = 0x8000;

const char* const kProgramNames[AI_PROGRAMS] = {"idle",   "route",  "follow", "rejoin",          "attack",
                                                "escort", "assist", "turn-minus-plus", "turn-plus-minus"};
// Each program's address is its entry here.
const char kPrograms[AI_PROGRAMS] = {};

_AI_DCB* Unit(ObjectRecord* o) {
    if (!o || o->pool != &level_ServerArrays.ai || o->pool->size < sizeof(_AI_DCB)) return nullptr;
    return reinterpret_cast<_AI_DCB*>(o);
}

// A pending program is taken at the unit's next run.
void TakePending(ObjectRecord* o) {
    _AI_DCB* u = Unit(o);
    if (!u || !u->pendingProgram) return;
    const auto n = static_cast<const char*>(u->pendingProgram) - kPrograms;
    u->programCounter = (int32_t)n;
    u->pendingProgram = nullptr;
    plat_SimLog("ai", "program unit=%u program=%s state=%u", o->missionObject, kProgramNames[n], u->aiState);
}

void StraightOn(ObjectRecord* o) {
    TakePending(o);
    o->motion = FixVec3{(int32_t)(((int64_t)o->velocity.x * o->speed) >> 16),
                        (int32_t)(((int64_t)o->velocity.y * o->speed) >> 16),
                        (int32_t)(((int64_t)o->velocity.z * o->speed) >> 16)};
    o->position.x += (uint32_t)o->motion.x;
    o->position.y += (uint32_t)o->motion.y;
    o->position.z += (uint32_t)o->motion.z;
}

}  // namespace

void ai_ClearModuleData(void) {}
void ai_LinkWaygroups(void) {}
void ai_AttachNearbyUnits(void) {}
void ai_SaveGroupCounters(void) {}
void ai_Nop(void) {}

void ai_InitObjectByKind(ObjectRecord* o, const void*) {
    // Only units of the AI pool move; structures stay where they are.
    if (!o || o->pool != &level_ServerArrays.ai) return;
    o->category = OBJ_CATEGORY_01;
    o->velocity = obj_ForwardOf(&o->angles);
    o->speed = AI_STANDIN_SPEED;
    if (o->hitPoints == 0) o->hitPoints = o->hitPointsMax = 100;
    o->think = StraightOn;
}
void ai_ObjectDestroyed(ObjectRecord*) {}

void ai_PostKillEvents(ObjectRecord*, ObjectRecord*) {}
void ai_ReactToThreat(ObjectRecord*, ObjectRecord*) {}
void ai_TriggerKind5Action(ObjectRecord*) {}
void ai_TriggerKind4Action(ObjectRecord*) {}

int32_t ai_AirStartCount[2] = {};
void ai_FollowerWake(ObjectRecord*) {}

const void* ai_BuiltinProgram(int32_t program) {
    return program >= 0 && program < AI_PROGRAMS ? &kPrograms[program] : nullptr;
}

void ai_ProgramPend(ObjectRecord* unit, int32_t program) {
    _AI_DCB* u = Unit(unit);
    const void* p = ai_BuiltinProgram(program);
    if (u && p) u->pendingProgram = p;
}

// Until groups are linked: the first AI unit of the level.
void ai_WingmanAttach(ObjectRecord* player) {
    if (!player) return;
    for (ObjectRecord* o = level_ServerTables.objectList; o; o = o->next) {
        _AI_DCB* u = Unit(o);
        if (!u || (o->flags & OBJ_FLAG_WINGMAN)) continue;
        o->flags |= OBJ_FLAG_WINGMAN;
        u->engagement = 3;
        u->leader = player;
        u->isMember = 1;
        plane_PlayerFields(player)->wingman = o;
        plat_SimLog("ai", "wingman unit=%u leader=%u", o->missionObject, player->missionObject);
        return;
    }
}
