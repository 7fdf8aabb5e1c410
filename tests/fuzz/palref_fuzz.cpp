// Fuzz target: a palette reference loaded from a PCX file with its remap
// pair ("%s.CR1", "%s.CR2"), then matched through each remap, rebuilt and
// selected on 8- and 16-bit screens. The input is two 16-bit lengths (the
// PCX file's and the CR1 file's), the PCX file, the CR1 file, and the CR2
// file (the rest); an empty part leaves its file out.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/file.h"
#include "base/mem.h"
#include "display/pal.h"
#include "display/vid.h"
#include "fuzz_util.h"

namespace {

void WritePart(const char* name, const uint8_t* data, size_t size) {
    remove(name);
    if (size == 0) return;
    fuzz_WriteFile(name, data, size);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    static std::string dir = fuzz_ScratchDir("palref");
    if (!ready) {
        fuzz_MemInit(0x800000, 0x10000, 0x10000, FUZZ_ALL);
        pal_ResetPalrefs();
        ready = true;
    }
    if (size < 4 || size > 0x30000) return 0;
    size_t pcxSize = data[0] | data[1] << 8, cr1Size = data[2] | data[3] << 8;
    const uint8_t* p = data + 4;
    size_t rest = size - 4;
    if (pcxSize > rest) pcxSize = rest;
    if (cr1Size > rest - pcxSize) cr1Size = rest - pcxSize;
    const uint8_t* pcx = p;
    const uint8_t* cr1 = pcx + pcxSize;
    const uint8_t* cr2 = cr1 + cr1Size;
    size_t cr2Size = rest - pcxSize - cr1Size;
    // Big pictures only cost time: the reader's logic shows on small ones.
    if (pcxSize >= 128) {
        uint32_t width = pcx[66] | pcx[67] << 8;
        uint32_t height = (uint32_t)(pcx[10] | pcx[11] << 8) - (uint32_t)(pcx[6] | pcx[7] << 8) + 1;
        if ((uint64_t)width * height > 0x40000) return 0;
    }

    char home[1024];
    fuzz_DirEnter(dir, home, sizeof home);
    WritePart("PAL.PCX", pcx, pcxSize);
    WritePart("PAL.CR1", cr1, cr1Size);
    WritePart("PAL.CR2", cr2, cr2Size);

    // The screen depth decides which tables the reference gets.
    vid_State.bitsPerPixel = cr2Size & 1 ? 16 : 8;
    vid_State.redMask = 0xF800;
    vid_State.greenMask = 0x07E0;
    vid_State.blueMask = 0x001F;
    if (PALREF* ref = pal_LoadPalref("pal.pcx")) {
        if ((ref->cr1 == nullptr) != (ref->cr2 == nullptr)) __builtin_trap();  // both or neither
        for (int32_t mode : {1, 2}) {
            pal_ApplyRemap(ref, mode);
            for (int c = 0; c < 64; c++)
                if (pal_NearestIndex((c * 37) & 255, (c * 101) & 255, (c * 13) & 255) == 0) __builtin_trap();
        }
        pal_RebuildPalref(ref, 150, 100, 128, 200, 90);
        pal_SelectPalref(ref, 1);
        pal_SelectPalref(ref, 2);
        pal_FreePalref(ref);
    }
    pal_SelectMatcher(PAL_MATCH_FULL);
    pal_SetRemapTable(nullptr, 0);
    fuzz_DirLeave(home);
    return 0;
}
