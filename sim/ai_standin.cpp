// Stand-in until the unit AI lands: no units to run.
#include "sim/ai.h"

void ai_ClearModuleData(void) {}
void ai_LinkWaygroups(void) {}
void ai_AttachNearbyUnits(void) {}
void ai_SaveGroupCounters(void) {}
void ai_Nop(void) {}

void ai_InitObjectByKind(ObjectRecord*, const void*) {}
void ai_ObjectDestroyed(ObjectRecord*) {}

void ai_PostKillEvents(ObjectRecord*, ObjectRecord*) {}
void ai_ReactToThreat(ObjectRecord*, ObjectRecord*) {}
void ai_TriggerKind5Action(ObjectRecord*) {}
void ai_TriggerKind4Action(ObjectRecord*) {}

int32_t ai_AirStartCount[2] = {};
void ai_FollowerWake(ObjectRecord*) {}
