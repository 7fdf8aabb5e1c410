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
#include "display/dsurf.h"
#include "display/pal.h"
#include "display/rast.h"
#include "fuzz_util.h"
#include "mkdata.h"
#include "render/object.h"
#include "render/render.h"
#include "render/view.h"
#include "sim/obj.h"
#include "sim/pose.h"
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

// Draws the model at every detail level's distance (and beyond the last),
// its pose routine bound, into a small 8-bit surface.
void Draw(_PAK_HEADER* h) {
    static uint8_t screen[64 * 48];
    static uint8_t shades[32 * 256];
    static _DRAW_SURFACE surface;
    static bool ready = false;
    if (!ready) {
        draw_InitSurfaceDesc(&surface, screen, 64, 48, 1);
        for (size_t i = 0; i < sizeof shades; i++) shades[i] = (uint8_t)i;
        ready = true;
    }
    draw_SelectSurface(&surface);
    poly_SetPixelMode(POLY_MODE_8);
    poly_SpanState.shadeTable = shades;
    poly_SpanState.shadeRows = 32;
    render_ShadeTables[0] = render_ShadeTables[1] = shades;
    view_State = ViewState{};
    view_State.position = FixWorldPos{0x40000000, 0x1000000, 0x40000000};
    fix_SinCosAngles(0, 0, 0, &view_State.viewMatrix);
    view_NearPlane = 0x1000;
    for (int32_t m = 0; m <= h->modelCount && m <= 8; m++) {
        const int32_t size = m < h->modelCount ? h->models[m].size : 0x7ffffff0;
        const int32_t distance = size <= 0 ? 0x10000 : size < 0x7ffffff0 ? size : 0x7ffffff0;
        ObjectRecord o{};
        o.state = 1;
        o.model = h;
        o.frame = (uint8_t)m;
        o.rotorAngle = 0x123456;
        o.stateFlags = (uint8_t)(m & 1);
        o.position = FixWorldPos{0x40000000, 0x1000000, 0x40000000u + (uint32_t)distance};
        model_PoseBind(&o);
        render_ObjectToViewSpace(&o);
        render_ObjectDraw(&o);
    }
    draw_SelectSurface(nullptr);
    render_ShadeTables[0] = render_ShadeTables[1] = nullptr;
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
            if (display) Draw(h);
            if (h->partInfo) mem_GlobalFreeByOwner(0);
        }
        mem_FreeFrom(mark);
        pal_FreeAllPalrefs();
    }
    return 0;
}
