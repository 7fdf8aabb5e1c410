// Stand-in until level loading lands: no level palette, neutral brighten
// values, owner key 0.
#include "world/level.h"

PALREF* level_Palref = nullptr;
int32_t level_Brighten[5] = {128, 128, 128, 128, 128};
uint32_t level_OwnerKey = 0;
