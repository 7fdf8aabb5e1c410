// Player records as the start-up uses them: the local player's aircraft
// block.
#pragma once
#include <cstdint>

#include "sim/plane.h"

constexpr uint32_t PLAYER_AIRCRAFT_BLOCK_SIZE = 1340;

// The aircraft set-up block of the local player: aircraft name and model
// file first.
struct PlayerAircraftBlock {
    char name[16];
    char modelFile[16];
    uint8_t rest[PLAYER_AIRCRAFT_BLOCK_SIZE - 32];
};
extern PlayerAircraftBlock player_AircraftBlock;

// Prepares the local player's aircraft block from the descriptor.
void player_BlockSetup(const _PLANE_TYPE* descriptor);
