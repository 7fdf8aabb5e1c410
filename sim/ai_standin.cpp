// Stand-in until the unit AI lands: moving units fly straight on at a
// constant speed, so that the clients' copies have something to follow.
#include "sim/ai.h"

#include "sim/obj.h"
#include "world/objarray.h"

namespace {

// Per frame, in world units (about 8 feet).
constexpr int32_t AI_STANDIN_SPEED = 0x8000;

void StraightOn(ObjectRecord* o) {
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
