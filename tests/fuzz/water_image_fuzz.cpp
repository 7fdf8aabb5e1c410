// Fuzz target: water images through the image entry (which reads them from a
// file) and the water image check; a passing image is read bit by bit.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "base/mem.h"
#include "display/pal.h"
#include "display/pcx.h"
#include "fuzz_util.h"
#include "world/terrain.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = fuzz_ImageFileInit("water");
    if (size > 0x200000) return 0;
    if (fuzz_WriteFile(path.c_str(), data, size) != 0) return 0;
    auto* block = static_cast<uint8_t*>(pcx_LoadImageEx(path.c_str(), 8));
    if (!block) return 0;
    uint32_t sum = 0;
    for (int32_t i = 0; i < pal_Second.pixelBytes; i++) sum += block[i];
    if (depth_WaterImageCheck() == 0) {
        const uint8_t* saved = depth_Level.waterMap;
        depth_Level.waterMap = block;
        for (uint32_t z = 0; z < 512; z += 3)
            for (uint32_t x = 0; x < 512; x += 5) {
                FixWorldPos p = {x << 23, 0, z << 23};
                sum += (uint32_t)terrain_CellFlagGet(&p);
            }
        depth_Level.waterMap = saved;
    }
    mem_Free(block);
    return sum == 0xFFFFFFFF;
}
