// Fuzz target: PCX images from memory at every output depth, then halved
// and remapped to the current palette.
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "base/mem.h"
#include "display/pal.h"
#include "display/pcx.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        fuzz_MemInit(0x2000000, 0x10000, 0x10000, 0);
        pal_SetRgbMasks(0xF800, 0x07E0, 0x001F);
        pal_SetRgbMasksSecond(0xFF0000, 0x00FF00, 0x0000FF);
        for (int n = 0; n < 256; n++) memset(pal_Current.palette + n * 3, n, 3);
        ready = true;
    }
    if (size > 0x1000000) return 0;
    if (fuzz_PcxTooBig(data, size)) return 0;
    for (int32_t mode : {8, 16, 32}) {
        auto* block = static_cast<uint8_t*>(pcx_LoadIntoBuffer(data, (int32_t)size, mode));
        if (!block) continue;
        // Read every pixel so a short decode would show as uninitialised.
        uint32_t sum = 0;
        for (int32_t i = 0; i < pal_Second.pixelBytes; i++) sum += block[i];
        if (mode == 8 && pal_Second.pixelBytes <= 0x10000) pal_BuildRemapTable(block, pal_Second.pixelBytes);
        pcx_HalveImage(block);
        mem_Free(block);
        if (sum == 0xFFFFFFFF) return 1;
    }
    return 0;
}
