// Stand-in until the tanker lands.
#include "sim/hit.h"

__attribute__((weak)) void weapon_TankerThink(ObjectRecord*) {}
__attribute__((weak)) void weapon_TankerDraw(ObjectRecord*) {}
