// The host screen's options as the game-type rules read them, per game type
// (0 deathmatch, 1 capture the flag).
#pragma once
#include <cstdint>

// "TxtHostTerrainSeq": how the next map is chosen.
constexpr int32_t HO_INCREMENTAL = 0;
constexpr int32_t HO_RANDOM = 1;
constexpr int32_t HO_TIME_CHANGE = 2;
// "TxtHostSW" of capture the flag: how a joining player's team is chosen.
constexpr int32_t HO_SIDE_FIRST = 0;
constexpr int32_t HO_SIDE_PLAYER = 1;
constexpr int32_t HO_SIDE_PLANE = 2;

constexpr int32_t HOST_TEAM_NAME_SIZE = 12;

struct HostOptions {
    int32_t player;      // "TxtHostPlayer": player slots
    int32_t blackouts;   // "TxtHostBlackouts"
    int32_t share1;      // "TxtHostShare1": deathmatch respawn, capture the flag second game flag
    int32_t terrainSeq;  // "TxtHostTerrainSeq": HO_*
    int32_t rounds;      // "TxtHostRounds": rounds per map
    int32_t share2;      // "TxtHostShare2": deathmatch score limit
    int32_t sw;          // "TxtHostSW": deathmatch stores of kind 1, capture the flag team choice
    int32_t am;          // "TxtHostAM": deathmatch stores of kind 2
    char teamNames[2][HOST_TEAM_NAME_SIZE];  // capture the flag: team A, team B (empty: none)
};

// The options of the game type as the host screen left them.
void mnu_HostOptionsGet(int32_t gameType, HostOptions* out);
