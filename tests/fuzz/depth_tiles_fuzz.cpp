// Fuzz target: depth tile files through the tile set-up, halved or not; then
// every tile's pixels and attribute bytes are read.
#include <cstdint>
#include <cstring>

#include "base/mem.h"
#include "fuzz_util.h"
#include "world/terrain.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        fuzz_MemInit(0x4000000, 0x10000, 0x10000, 0);
        ready = true;
    }
    if (size < 1 || size > 0x1000000) return 0;
    int32_t halve = data[0] & 1;
    data++;
    size--;
    auto* block = static_cast<uint8_t*>(mem_AllocEx((uint32_t)size + 1, 4, "DEPTH TILES"));
    if (!block) return 0;
    memcpy(block, data, size);
    if (depth_TileSetUp(block, (uint32_t)size, halve) != 0) {
        mem_Free(block);
        return 0;
    }
    const DepthLevel& d = depth_Level;
    uint32_t sum = 0;
    uint32_t tileBytes = 1u << (2 * d.tileShift);
    for (uint32_t t = 0; t < d.tileCount; t++) {
        for (uint32_t i = 0; i < tileBytes; i += 61) sum += d.tiles[t].pixels[i];
        sum += d.tiles[t].pixels[tileBytes - 1];
        for (uint32_t i = 0; i < DEPTH_TILE_ATTRIBUTES; i++) sum += d.tileAttributes[t * DEPTH_TILE_ATTRIBUTES + i];
    }
    sum += d.tilePalette[767];
    if (d.tiles) mem_Free(d.tiles);
    mem_Free(d.tileFile);
    return sum == 0xFFFFFFFF;
}
