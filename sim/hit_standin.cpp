// Stand-in until the aircraft stores, wing commands and tanker land.
#include "sim/hit.h"

__attribute__((weak)) SimHitRecord sim_HitRecord;

__attribute__((weak)) int32_t plane_DecrementStore(PlayerAircraftBlock*, int32_t) { return 0; }
__attribute__((weak)) void ai_WingCommand(ObjectRecord*, int32_t) {}
__attribute__((weak)) void weapon_TankerThink(ObjectRecord*) {}
__attribute__((weak)) void weapon_TankerDraw(ObjectRecord*) {}
