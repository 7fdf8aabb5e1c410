// Stand-in until the aircraft's input, stores and hits land: no head angles,
// stores or hits.
#include "sim/plane.h"

int32_t plane_PlayerHeadGet(float*, float*) { return -1; }
void plane_PlayerHeadSet(float, float) {}

int32_t plane_DecrementStore(PlayerAircraftBlock*, int32_t) { return -1; }
void plane_PlayerHit(int32_t) {}
int32_t plane_SightGroundPoint(FixWorldPos*) { return -1; }
void plane_ApplyInputRotations(void) {}
void plane_WingmanOrder(ObjectRecord*, int32_t) {}
