// Stand-in until the command interpreter lands: each built-in program is a
// distinct address, and moving units fly straight on at their speed, so that
// the clients' copies have something to follow.
#include "sim/ai.h"

#include "sim/obj.h"

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

void ai_ProgramStart(ObjectRecord* o, const void*) {
    if (o && !o->think) o->think = ai_UnitThink;
}

void ai_UnitThink(ObjectRecord* o) {
    StraightOn(o);
    ai_NearEvents(o);
}
