// Stand-in until the command interpreter lands: each built-in program is a
// distinct address, and moving units fly straight on at their speed, so that
// the clients' copies have something to follow.
#include "sim/ai.h"

#include "sim/obj.h"
#include "world/orf.h"

namespace {

uint8_t g_programs[AI_PROGRAMS];

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
    StraightOn(o);
    ai_NearEvents(o);
}
