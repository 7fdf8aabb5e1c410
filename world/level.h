// Level loading: the level-wide values the model loader reads.
#pragma once
#include <cstdint>

struct PALREF;

// The level palette object, or null when the level has none.
extern PALREF* level_Palref;
// The current brighten record of the level's region and time of day
// (brightness, contrast, red, green and blue gains, each 0..255).
extern int32_t level_Brighten[5];
// Owner key of the named blocks that belong to the current level.
extern uint32_t level_OwnerKey;
