// Level load time: the sample level's server and client halves in one
// process (single player), then the level freed again. Goal: under 200 ms.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/file.h"
#include "sample_data.h"
#include "base/mem.h"
#include "display/pal.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/levelseq.h"
#include "world/model.h"
#include "world/pak.h"

namespace {

bool Ready(void) { return bench_SampleDataReady(); }

void BM_LevelLoadSinglePlayer(benchmark::State& state) {
    if (!Ready()) {
        state.SkipWithError("no data set");
        return;
    }
    for (auto _ : state) {
        level_GameMode = GameModeFlags{1, 1, 1, 1, 0};
        snprintf(level_MissionNames.mission, sizeof level_MissionNames.mission, "F1M1.ORF");
        snprintf(level_MissionNames.reference, sizeof level_MissionNames.reference, "F1M1.REF");
        level_LoadServer();
        level_LoadClient(nullptr, 0);
        state.PauseTiming();
        level_ClientModelsFree();
        mem_FreeFrom(level_Markers.serverStart);
        level_Markers = LevelMarkers{};
        pak_UnloadAll();
        level_PalrefRelease();
        level_TablesClear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LevelLoadSinglePlayer)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
