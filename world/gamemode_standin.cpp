// Stand-in until level loading lands: no game chosen.
#include "world/gamemode.h"

GameModeFlags level_GameMode = {};
