// Stand-in until the pilot's head angles land: none.
#include "sim/plane.h"

int32_t plane_PlayerHeadGet(float*, float*) { return -1; }
void plane_PlayerHeadSet(float, float) {}
