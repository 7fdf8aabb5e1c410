// The terrain height and water queries over the sample terrain, at positions
// spread over the whole grid; the terrain pass of a frame (selection,
// geometry and the tiles filled by the software rasteriser) at 640 x 480 in
// 8 bits from fixed cameras (goal: under 2 ms a frame).
#include <benchmark/benchmark.h>

#include <vector>

#include "display/dsurf.h"
#include "display/rast.h"
#include "render/render.h"
#include "render/view.h"
#include "shell/settings.h"
#include "sim/obj.h"
#include "world/terrain_draw.h"

#include "terrain_write.h"
#include "world/terrain.h"

namespace {

struct Setup {
    MkTerrain terrain;
    std::vector<FixWorldPos> positions;
    Setup() {
        mkdata_TerrainMake(&terrain);
        depth_Level.heightMap = terrain.height.data();
        depth_Level.waterMap = terrain.water.data();
        // A fixed walk of 4096 points, so the look-ups are not all in cache
        // lines already read.
        uint32_t s = 1;
        for (int i = 0; i < 4096; i++) {
            s = s * 1664525u + 1013904223u;
            uint32_t x = s;
            s = s * 1664525u + 1013904223u;
            positions.push_back({x, 0, s});
        }
    }
};

Setup& Terrain() {
    static Setup setup;
    return setup;
}

template <int32_t (*Query)(const FixWorldPos*)>
void BM_Query(benchmark::State& state) {
    const std::vector<FixWorldPos>& p = Terrain().positions;
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Query(&p[i]));
        i = (i + 1) & 4095;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK_TEMPLATE(BM_Query, terrain_HeightNearest);
BENCHMARK_TEMPLATE(BM_Query, terrain_HeightMax4);
BENCHMARK_TEMPLATE(BM_Query, terrain_HeightBilinear);
BENCHMARK_TEMPLATE(BM_Query, terrain_CellFlagGet);

// The sample terrain as the level load leaves it for the terrain pass.
struct PassSetup {
    MkTerrainLevel level;
    std::vector<uint8_t> screen = std::vector<uint8_t>(640 * 480);
    std::vector<uint8_t> shades = std::vector<uint8_t>(32 * 256);
    _DRAW_SURFACE surface{};
    PassSetup() {
        mkdata_TerrainInstall(Terrain().terrain, &level);
        // The ground is shaded by its light words: a shade table that keeps
        // the tile colours.
        for (size_t i = 0; i < shades.size(); i++) shades[i] = (uint8_t)i;
        render_ShadeTables[0] = render_ShadeTables[1] = shades.data();
        draw_InitSurfaceDesc(&surface, screen.data(), 640, 480, 1);
        draw_SelectSurface(&surface);
        poly_SetPixelMode(POLY_MODE_8);
        poly_SpanState.shadeRows = 32;
        app_Settings.TEXTURE_DISTANCE = 26;  // the settings' default
    }
};

// Cameras: low over the airfield along the runway, across it, over the
// hills at a slant, and high with the nose down.
void BM_TerrainPass(benchmark::State& state) {
    static PassSetup setup;
    static const struct {
        uint32_t x, y, z;
        int32_t heading, pitch;
    } kCameras[] = {
        {(uint32_t)MK_RUNWAY_CELL_X0 << 23, 0x1000000, (uint32_t)MK_RUNWAY_CELL_Z << 23, 0x800000, 0},
        {(uint32_t)MK_RUNWAY_CELL_X0 << 23, 0x1000000, (uint32_t)MK_RUNWAY_CELL_Z << 23, 0, 0},
        {100u << 23, 0x4000000, 100u << 23, 0x300000, 0},
        {256u << 23, 0x8000000, 256u << 23, 0x1400000, 0x1E00000},
    };
    const auto& c = kCameras[state.range(0)];
    view_State.position = FixWorldPos{c.x, c.y, c.z};
    view_State.angles = FixAngles{c.heading, c.pitch, 0};
    fix_SinCosAngles(-c.heading, -c.pitch, 0, &view_State.viewMatrix);
    for (auto _ : state) {
        terrain_DrawFrame();
        benchmark::DoNotOptimize(setup.screen.data());
    }
    state.counters["patches"] = terrain_Pass.count;
}
BENCHMARK(BM_TerrainPass)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
