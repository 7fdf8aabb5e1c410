// Fuzz target: remap files ("%s.CR1", "%s.CR2") checked and searched by the
// bucket matcher, and palettes made into palette references and rebuilt.
#include <cstdint>
#include <cstring>

#include "base/mem.h"
#include "display/pal.h"
#include "display/pal_hicolor.h"
#include "display/vid.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        fuzz_MemInit(0x400000, 0x10000, 0x10000, 0);
        ready = true;
    }
    if (size > 0x100000) return 0;
    // The input as a remap file over a palette taken from its first bytes.
    for (size_t i = 0; i < PAL_BYTES; i++) pal_Current.palette[i] = size ? data[(i * 7) % size] : 0;
    if (pal_CheckRemapFile(data, (int32_t)size) == 0) {
        pal_SetRemapTable(data, (int32_t)size);
        pal_SelectMatcher(PAL_MATCH_BUCKET);
        for (int c = 0; c < 512; c++)
            if (pal_NearestIndex((c * 37) & 255, (c * 101) & 255, (c * 13) & 255) == 0) __builtin_trap();
        pal_SetRemapTable(nullptr, 0);
    }
    // The input as a 256 x 4-byte palette with adjustment values after it.
    if (size >= 1024 + 6) {
        vid_State.bitsPerPixel = (data[1024] & 1) ? 16 : 8;
        vid_State.redMask = 0xF800;
        vid_State.greenMask = 0x07E0;
        vid_State.blueMask = 0x001F;
        PALREF* p = pal_CreatePalrefFromRgbx(data);
        if (p) {
            pal_SetFogColourA(data[1025], data[1026], data[1027]);
            pal_RebuildPalref(p, data[1025] * 2, data[1026] * 2, data[1027] * 2, data[1028] * 2, data[1029] * 2);
            pal_SelectPalref(p, 1 + (data[1024] >> 7));
            pal_ApplyRemap(p, 2);
            if (pal_NearestIndex(data[1025], data[1026], data[1027]) == 0) __builtin_trap();
            pal_FreePalref(p);
        }
        pal_SelectMatcher(PAL_MATCH_FULL);
    }
    return 0;
}
