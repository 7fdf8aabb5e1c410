// Stand-in until the aircraft's flight, placement and damage land: no
// feedback state, head angles, placement, stores or hits.
#include "sim/plane.h"

int32_t plane_FeedbackStateGet(PlaneFeedbackState*) { return -1; }

int32_t plane_PlayerHeadGet(float*, float*) { return -1; }
void plane_PlayerHeadSet(float, float) {}

void plane_PlaceAtLevelStart(ObjectRecord*) {}
void plane_PlaceForRespawn(ObjectRecord*, const void*) {}
void plane_HaltPlayerObjects(void) {}
void plane_DeathThink(ObjectRecord*) {}
void plane_RespawnWait(ObjectRecord*) {}
void plane_EjectOnEvent(ObjectRecord*) {}

int32_t plane_DecrementStore(PlayerAircraftBlock*, int32_t) { return -1; }
void plane_PlayerHit(int32_t) {}
int32_t plane_SightGroundPoint(FixWorldPos*) { return -1; }
void plane_ApplyInputRotations(void) {}
void plane_WingmanOrder(ObjectRecord*, int32_t) {}
