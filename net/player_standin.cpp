// Stand-in until the player records land: the block is only cleared.
#include "net/player.h"

#include <cstring>

__attribute__((weak)) PlayerAircraftBlock player_AircraftBlock;

__attribute__((weak)) void player_BlockSetup(const _PLANE_TYPE*) {
    memset(&player_AircraftBlock, 0, sizeof player_AircraftBlock);
}
