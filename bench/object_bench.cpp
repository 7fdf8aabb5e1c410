// The object renderer: 64 of the data set's aircraft ("krx.pak") from near
// to the last detail level, drawn at 640 x 480 in 8 and 16 bits by the
// software path. Goal: at least 2 million model triangles a second on one
// core (the "triangles" rate).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "base/file.h"
#include "base/mem.h"
#include "display/dsurf.h"
#include "display/pal.h"
#include "display/rast.h"
#include "mkdata.h"
#include "render/object.h"
#include "render/render.h"
#include "render/tri.h"
#include "render/view.h"
#include "shell/startup.h"
#include "sim/obj.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/pak.h"

namespace {

_PAK_HEADER* Aircraft(void) {
    static _PAK_HEADER* model = [] () -> _PAK_HEADER* {
        setenv("KRX_PLATFORM", "headless", 0);
        if (chdir(KRX_DATA_DIR) != 0) return nullptr;
        file_StateInit();
        file_DiskFirstSet(1);
        mem_CurrentHeap = &mem_MainHeap;
        mem_HeapSizesSet(0x1800000, 0x40000, 0x200000);
        if (mem_HeapInit() != 0 || mem_Heap1Init() != 0 || mem_Heap2Init() != 0) return nullptr;
        PffRecord* pff = pff_Open("KRX.PFF");
        if (!pff || file_PffSlotAdd(pff) < 0) return nullptr;
        app_StringFileLoad();
        mkdata_GamePalette(pal_Current.palette);
        level_GameMode = GameModeFlags{};
        level_GameMode.display = 1;
        pak_TextureTableReset();
        return pak_Load("krx.pak");
    }();
    return model;
}

struct Scene {
    std::vector<uint8_t> screen;
    _DRAW_SURFACE surface{};
    std::vector<uint8_t> shades = std::vector<uint8_t>(32 * 256);
    std::vector<uint32_t> pal16 = std::vector<uint32_t>(256);
    std::vector<uint16_t> shade16 = std::vector<uint16_t>(64 * 256);
    std::vector<ObjectRecord> objects;

    Scene(int32_t bytes, _PAK_HEADER* model) : screen((size_t)640 * 480 * (size_t)bytes) {
        for (size_t i = 0; i < shades.size(); i++) shades[i] = (uint8_t)i;
        for (size_t i = 0; i < pal16.size(); i++) pal16[i] = (uint32_t)(i * 0x0841);
        for (size_t i = 0; i < shade16.size(); i++) shade16[i] = (uint16_t)(i * 0x0841 >> 2);
        draw_InitSurfaceDesc(&surface, screen.data(), 640, 480, bytes);
        draw_SelectSurface(&surface);
        poly_SetPixelMode(bytes == 1 ? POLY_MODE_8 : POLY_MODE_16);
        render_ShadeTables[0] = render_ShadeTables[1] = shades.data();
        poly_SpanState.shadeTable = shades.data();
        poly_SpanState.shadeRows = 32;
        pal_DrawTables.master = pal16.data();
        pal_DrawTables.shade16 = shade16.data();
        view_State = ViewState{};
        view_State.position = FixWorldPos{0x40000000, 0x4000000, 0x40000000};
        fix_SinCosAngles(0, 0, 0, &view_State.viewMatrix);
        view_NearPlane = 0x1000;
        render_LightDirectionSet();
        // Eight rows of eight, each row twice as far as the one before: the
        // near rows fill much of the screen, the last ones use the far level.
        int32_t distance = 0x60000;
        for (int32_t row = 0; row < 8; row++, distance *= 2) {
            for (int32_t col = 0; col < 8; col++) {
                ObjectRecord o{};
                o.state = 1;
                o.model = model;
                o.stateFlags = OBJ_STATE_AIRBORNE;
                const int32_t side = (col - 4) * distance / 6 + distance / 12;
                o.position = FixWorldPos{0x40000000u + (uint32_t)side, 0x4000000u + (uint32_t)((row & 1) ? distance / 16 : -distance / 16),
                                         0x40000000u + (uint32_t)distance};
                o.angles = FixAngles{col * 0x300000, (row * 0x80000) & 0x1FFFFFF, 0};
                objects.push_back(o);
            }
        }
    }
    ~Scene() {
        draw_SelectSurface(nullptr);
        render_ShadeTables[0] = render_ShadeTables[1] = nullptr;
        pal_DrawTables = PalDrawTables{};
    }
};

void BM_ObjectDraw(benchmark::State& state) {
    _PAK_HEADER* model = Aircraft();
    if (!model) {
        state.SkipWithError("no data set");
        return;
    }
    Scene scene((int32_t)state.range(0), model);
    const int32_t before = render_Object.drawnTriangles;
    for (auto _ : state) {
        for (ObjectRecord& o : scene.objects) {
            render_ObjectToViewSpace(&o);
            render_ObjectDraw(&o);
        }
        benchmark::ClobberMemory();
    }
    state.counters["triangles"] =
        benchmark::Counter((double)(render_Object.drawnTriangles - before), benchmark::Counter::kIsRate);
    state.counters["per_frame"] = benchmark::Counter((double)(render_Object.drawnTriangles - before) / (double)state.iterations());
}
BENCHMARK(BM_ObjectDraw)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
