// Whole software flight frames (render_Frame) of a fixed scene: the sample
// terrain from a fixed camera low over the airfield in the HUD view, the sky
// with its cloud deck, at 640 x 480 in 8 and 16 bits on the headless
// display. Goal: at least 300 frames a second on one core.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "display/otw.h"
#include "display/pal.h"
#include "display/pal_hicolor.h"
#include "display/rast.h"
#include "display/vid.h"
#include "platform/harness.h"
#include "platform/window.h"
#include "render/render.h"
#include "render/sky.h"
#include "render/view.h"
#include "shell/settings.h"
#include "sim/obj.h"
#include "terrain_write.h"
#include "world/level.h"
#include "world/terrain.h"

namespace {

struct Scene {
    MkTerrain terrain;
    MkTerrainLevel level;
    std::vector<uint8_t> shades = std::vector<uint8_t>(32 * 256);
    std::vector<uint8_t> deck = std::vector<uint8_t>(256 * 256);
    bool ok = false;
    Scene() {
        setenv("KRX_PLATFORM", "headless", 1);
        unsetenv("KRX_SCRIPT");
        unsetenv("KRX_MAXTICKS");
        unsetenv("KRX_FRAMEDUMP");
        plat_HarnessReset();
        if (plat_Init() != 0) return;
        mkdata_TerrainMake(&terrain);
        mkdata_TerrainInstall(terrain, &level);
        for (size_t i = 0; i < shades.size(); i++) shades[i] = (uint8_t)i;
        level_ShadeTable = shades.data();
        app_Settings.TEXTURE_DISTANCE = 26;
        for (int32_t z = 0; z < 256; z++)
            for (int32_t x = 0; x < 256; x++)
                deck[(size_t)z * 256 + x] = (uint8_t)(127 + 127 * std::sin(x * 0.049) * std::cos(z * 0.074));
        const uint8_t pairs[5][2][3] = {{{70, 110, 220}, {150, 180, 235}}, {{150, 180, 235}, {170, 190, 235}},
                                        {{170, 190, 235}, {190, 200, 240}}, {{40, 80, 200}, {110, 150, 230}},
                                        {{230, 230, 235}, {250, 250, 250}}};
        memcpy(sky_Pairs, pairs, sizeof pairs);
        ok = true;
    }
};

Scene& TheScene() {
    static Scene s;
    return s;
}

void BM_SoftwareFrame(benchmark::State& state) {
    Scene& s = TheScene();
    const int32_t bytes = (int32_t)state.range(0);
    if (!s.ok || otw_OpenDisplay(640, 480, bytes, 0, 0) != 0) {
        state.SkipWithError("no headless display");
        return;
    }
    poly_SetPixelMode(bytes == 1 ? POLY_MODE_8 : POLY_MODE_16);
    std::vector<uint32_t> pal16(256);
    std::vector<uint16_t> shade16(64 * 256);
    if (bytes == 1) {
        uint8_t grey[768];
        for (int32_t i = 0; i < 256; i++) grey[i * 3] = grey[i * 3 + 1] = grey[i * 3 + 2] = (uint8_t)i;
        vid_SetPalette(grey);
    } else {
        pal_BuildHighColourTables();
        for (uint32_t i = 0; i < 256; i++) pal16[i] = 0x8000u | i;
        for (size_t i = 0; i < shade16.size(); i++) shade16[i] = (uint16_t)(0x8000u | (i & 0xFF));
        pal_DrawTables.master = pal16.data();
        pal_DrawTables.shade16 = shade16.data();
    }
    sky_RampsBuild();
    sky_Texture = s.deck.data();
    ObjectRecord plane{};
    plane.state = 1;
    plane.position = FixWorldPos{(uint32_t)MK_RUNWAY_CELL_X0 << 23, 0x1000000, (uint32_t)MK_RUNWAY_CELL_Z << 23};
    plane.angles = FixAngles{0x700000, 0, 0};
    ViewedObject = &plane;
    const ViewModeRecord& hud = view_ModeTable[VIEW_MODE_HUD];
    ViewFlags = hud.subViews ? hud.subViews[0].options : 0;
    view_State.position = plane.position;
    view_State.angles = FixAngles{plane.angles.heading, 0x80000, 0x100000};
    fix_SinCosAngles(-view_State.angles.heading, -view_State.angles.pitch, -view_State.angles.roll,
                     &view_State.viewMatrix);
    sky_CloudHeight = 0x8000000;
    for (auto _ : state) render_Frame();
    state.counters["fps"] = benchmark::Counter((double)state.iterations(), benchmark::Counter::kIsRate);
    ViewedObject = nullptr;
    ViewFlags = 0;
    sky_Texture = nullptr;
    pal_DrawTables = PalDrawTables{};
    otw_CloseDisplay();
}
BENCHMARK(BM_SoftwareFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
