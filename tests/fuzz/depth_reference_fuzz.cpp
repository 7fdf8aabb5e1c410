// Fuzz target: reference files checked against a tile count taken from the
// input's first byte.
#include <cstdint>

#include "world/terrain.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 0x100000) return 0;
    uint32_t tiles = data[0];
    if (depth_ReferenceCheck(data + 1, (uint32_t)(size - 1), tiles) != 0) return 0;
    // A file that passes: every tile number is a tile, every nibble a variant.
    for (uint32_t i = 0; i < 16384; i++)
        if (data[1 + i] >= tiles) __builtin_trap();
    return 0;
}
