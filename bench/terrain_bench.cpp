// The terrain height and water queries over the sample terrain, at positions
// spread over the whole grid.
#include <benchmark/benchmark.h>

#include <vector>

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

}  // namespace

BENCHMARK_MAIN();
