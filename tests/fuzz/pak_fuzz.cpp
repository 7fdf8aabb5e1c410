// Fuzz target: PAK model files with and without a display, with an optional
// ".PIB" companion. Input: a 32-bit length n, then n bytes of the PAK file,
// then the ".PIB" file (none when empty); when n is 0 or does not fit, the
// whole input is the PAK file (whose first word is written 0).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/file.h"
#include "base/le.h"
#include "base/mem.h"
#include "display/pal.h"
#include "fuzz_util.h"
#include "mkdata.h"
#include "world/gamemode.h"
#include "world/pak.h"

namespace {

// A model over the polygon limit ends the program, as it should; such
// inputs are left out here.
bool OverPolygonLimit(const uint8_t* d, size_t size) {
    uint32_t count = 0, table = 0;
    if (!le_Read32At(d, size, 44, &count) || !le_Read32At(d, size, 56, &table)) return false;
    for (uint32_t m = 0; m < count && m < 0x10000; m++) {
        uint32_t model = 0, subs = 0;
        if (!le_Read32At(d, size, (size_t)table + m * 8 + 4, &model) || !le_Read32At(d, size, (size_t)model + 4, &subs))
            return false;
        uint64_t sum = 0;
        for (uint32_t s = 0; s < subs && s < 0x10000; s++) {
            uint32_t geometry = 0, polygons = 0;
            if (!le_Read32At(d, size, (size_t)model + 12 + (size_t)s * 44, &geometry)) break;
            if (le_Read32At(d, size, (size_t)geometry + 52, &polygons)) sum += polygons;
        }
        if (sum > PAK_MODEL_POLYGONS_MAX) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        setenv("KRX_PLATFORM", "headless", 0);
        fuzz_MemInit(0x4000000, 0x400000, 0x100000, FUZZ_ALL);
        mkdata_GamePalette(pal_Current.palette);
        if (chdir(fuzz_ScratchDir("pak").c_str()) != 0) abort();
        ready = true;
    }
    if (size > 0x10000) return 0;
    const uint8_t* pak = data;
    size_t pakSize = size;
    const uint8_t* pib = nullptr;
    size_t pibSize = 0;
    uint32_t n = 0;
    if (le_Read32At(data, size, 0, &n) && n != 0 && n <= size - 4) {
        pak = data + 4;
        pakSize = n;
        pib = data + 4 + n;
        pibSize = size - 4 - n;
    }
    if (OverPolygonLimit(pak, pakSize)) return 0;
    fuzz_WriteFile("f.pak", pak, pakSize);
    if (pibSize)
        fuzz_WriteFile("f.PIB", pib, pibSize);
    else
        unlink("f.PIB");

    for (int32_t display = 0; display < 2; display++) {
        level_GameMode.display = display;
        pak_TextureTableReset();
        pak_UnloadAll();
        void* mark = mem_AllocEx(0, 4, "fuzz level start");
        _PAK_HEADER* h = pak_LoadPakEx("f.pak", nullptr, nullptr);
        if (h) {
            // Walk what the loader made.
            uint32_t sum = 0;
            for (int32_t m = 0; m < h->modelCount; m++) {
                int32_t out[3];
                pak_ModelPartGet(h, m, 1, out);
                for (int32_t s = 0; PakSubObject* so = pak_SubObjectGet(h, m, s); s++) {
                    PakGeometry* g = so->geometry;
                    for (int32_t p = 0; p < g->polygonCount; p++)
                        sum += (uint32_t)g->polygons[p].vertex[2]->x + g->polygons[p].normal[1]->z +
                               g->polygons[p].face->flags;
                }
            }
            _PAK_HEADER* copy = pak_InstanceCreate(h);
            if (copy) mem_Free(copy);
            if (h->partInfo)
                for (RelocGroup* node = h->partInfo->groupFirst; node; node = node->next)
                    sum += pak_ModelFindByName(node, "Body") != nullptr;
            if (sum == 0xFFFFFFFF) return 1;
            if (h->partInfo) mem_GlobalFreeByOwner(0);
        }
        mem_FreeFrom(mark);
        pal_FreeAllPalrefs();
    }
    return 0;
}
