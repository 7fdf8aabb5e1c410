// Stand-in until the hit record and the tanker land.
#include "sim/hit.h"

__attribute__((weak)) SimHitRecord sim_HitRecord;

__attribute__((weak)) void weapon_TankerThink(ObjectRecord*) {}
__attribute__((weak)) void weapon_TankerDraw(ObjectRecord*) {}
