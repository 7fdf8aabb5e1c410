// Level loading: the level's selection (region, time of day, mission names,
// the level's mission) and the level-wide values the model loader reads.
#pragma once
#include <cstdint>

struct _ORF;

constexpr int32_t LEVEL_NAME_SIZE = 96;

// Mission names block: the mission file name and its reference file name.
struct LevelMissionNames {
    char mission[LEVEL_NAME_SIZE];
    char reference[LEVEL_NAME_SIZE];
};
extern LevelMissionNames level_MissionNames;

// Region 0..9 (-1: the mission file decides), time of day 0..4, night flag.
extern int32_t level_Region;
extern int32_t level_TimeOfDay;
extern int32_t level_Night;
// A time of day forced by the settings; -1 for none.
extern int32_t level_TimeOfDayForced;

// The level's mission; null without one (a client that joined a remote game).
extern _ORF* level_Mission;

struct PALREF;

// The level palette object, or null when the level has none.
extern PALREF* level_Palref;
// The current brighten record of the level's region and time of day
// (brightness, contrast, red, green and blue gains, each 0..255).
extern int32_t level_Brighten[5];
// Owner key of the named blocks that belong to the current level.
extern uint32_t level_OwnerKey;
