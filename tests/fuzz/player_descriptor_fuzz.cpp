// Fuzz target: player descriptors from joining players, through the apply
// and the side lookup.
#include <cstdint>
#include <cstring>

#include "net/player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static PlayerSlotRecords slot;
    player_DescriptorApply(data, size, &slot);
    char side[PLAYER_SIDE_SIZE];
    player_DescriptorSide(data, size, side);
    if (strnlen(side, sizeof side) >= sizeof side) __builtin_trap();
    return 0;
}
