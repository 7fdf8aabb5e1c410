// Fuzz target: start-up records from the server, through the reader, and a
// record that reads is written again and must read the same.
#include <cstdint>
#include <cstring>

#include "net/player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static PlayerStartupView view;
    if (player_StartupParse(data, size, &view) != 0) return 0;
    static PlayerAircraftBlock blocks[2];
    static uint8_t again[0x10000];
    for (int i = 0; i < 2; i++) {
        size_t end = player_AircraftPack(again, sizeof again, 0, &view.blocks[i]);
        if (!end || player_AircraftUnpack(again, end, 0, &blocks[i]) != end) __builtin_trap();
        if (memcmp(&blocks[i], &view.blocks[i], sizeof blocks[i]) != 0) __builtin_trap();
    }
    return 0;
}
