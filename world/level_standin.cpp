// Stand-in until level loading lands: no level chosen, no level palette,
// neutral brighten values, owner key 0.
#include "world/level.h"

LevelMissionNames level_MissionNames = {};
int32_t level_Region = 0;
int32_t level_TimeOfDay = 0;
int32_t level_Night = 0;
int32_t level_TimeOfDayForced = -1;
_ORF* level_Mission = nullptr;
PALREF* level_Palref = nullptr;
int32_t level_Brighten[5] = {128, 128, 128, 128, 128};
uint32_t level_OwnerKey = 0;
