// Stand-in until the command interpreter lands: each built-in program is a
// distinct address, a unit takes its pending program at its next run, and
// moving units fly straight on at their speed, so that the clients' copies
// have something to follow.
#include "sim/ai.h"

#include "platform/simlog.h"
#include "sim/ai_program.h"
#include "sim/obj.h"
#include "world/orf.h"

namespace {

uint8_t g_programs[AI_PROGRAMS];

const char* ProgramName(int32_t n) {
    static const char* const names[AI_PROGRAM_EVADE0] = {
        "idle",    "taxi",   "takeoff", "climbout", "route",       "rejoin",     "gun",    "flak",
        "defence", "area",   "idle-loop", "pullup", "follow",      "strike",     "attack", "landing",
        "target-lost", "solo-route", "escort", "assist", "guard", "turn-minus-plus", "turn-plus-minus"};
    return n >= 0 && n < AI_PROGRAM_EVADE0 ? names[n] : "evade";
}

// A pending program is taken at the unit's next run.
void TakePending(ObjectRecord* o) {
    _AI_DCB* u = ai_Unit(o);
    if (!u || !u->pendingProgram) return;
    const auto n = static_cast<const uint8_t*>(u->pendingProgram) - g_programs;
    if (n < 0 || n >= AI_PROGRAMS) return;
    u->programCounter = (int32_t)n;
    u->pendingProgram = nullptr;
    plat_SimLog("ai", "program unit=%u program=%s state=%u", o->missionObject, ProgramName((int32_t)n), u->aiState);
}

void StraightOn(ObjectRecord* o) {
    o->frameCounter++;
    o->velocity = obj_ForwardOf(&o->angles);
    o->motion = FixVec3{(int32_t)(((int64_t)o->velocity.x * o->speed) >> 16),
                        (int32_t)(((int64_t)o->velocity.y * o->speed) >> 16),
                        (int32_t)(((int64_t)o->velocity.z * o->speed) >> 16)};
    o->position.x += (uint32_t)o->motion.x;
    o->position.y += (uint32_t)o->motion.y;
    o->position.z += (uint32_t)o->motion.z;
}

}  // namespace

const void* ai_BuiltinProgram(int32_t program) {
    return &g_programs[program >= 0 && program < AI_PROGRAMS ? program : AI_PROGRAM_IDLE];
}

void ai_ProgramPend(ObjectRecord* unit, int32_t program) {
    _AI_DCB* u = ai_Unit(unit);
    if (u && program >= 0 && program < AI_PROGRAMS) u->pendingProgram = ai_BuiltinProgram(program);
}

// Aircraft that start in the air fly their route from the first frame;
// the others wait on the ground.
void ai_ProgramStart(ObjectRecord* o, const void* placed) {
    if (!o || !placed) return;
    const uint8_t* record = static_cast<const uint8_t*>(placed);
    _AI_DCB* u = reinterpret_cast<_AI_DCB*>(o);
    if (record[17] == 0) {
        o->stateFlags = OBJ_STATE_WAITING;
        if (record[ORF_PLACED_AI + 5] & ORF_AI_AIRBORNE) {
            o->stateFlags = OBJ_STATE_AIRBORNE;
            o->aiFlags |= OBJ_AI_RUNNING;
            u->aiState = AI_STATE_ROUTE;
            if (record[ORF_PLACED_AI + ORF_AI_FLAG_BYTE] & 1) {
                o->flags |= OBJ_FLAG_STARTED_AIRBORNE;
                ai_AirStartCount[(record[13] & 0x08) ? 1 : 0]++;
            }
        }
    }
    if (!o->think) o->think = ai_UnitThink;
}

void ai_UnitThink(ObjectRecord* o) {
    TakePending(o);
    StraightOn(o);
    ai_NearEvents(o);
}
