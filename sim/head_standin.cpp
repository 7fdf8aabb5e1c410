// Stand-in until the aircraft lands: no player aircraft.
#include "sim/head.h"

int32_t plane_PlayerHeadGet(float*, float*) { return -1; }
void plane_PlayerHeadSet(float, float) {}
