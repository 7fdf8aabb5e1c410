// Stand-in until level loading lands: no level chosen.
#include "world/level.h"

LevelMissionNames level_MissionNames = {};
int32_t level_Region = 0;
int32_t level_TimeOfDay = 0;
int32_t level_Night = 0;
int32_t level_TimeOfDayForced = -1;
_ORF* level_Mission = nullptr;
