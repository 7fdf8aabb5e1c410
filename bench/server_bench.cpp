// The dedicated server's frame on the sample level with 1, 8 and 16 remote
// players joined through the session callbacks; their packets go to the
// transport, which sends nothing while no session is open. Timed over the
// 16-frame rotation of the network update interval. Goal: under 0.5 ms a
// frame with 16 players on one core.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/file.h"
#include "sample_data.h"
#include "base/mem.h"
#include "net/driver.h"
#include "net/player.h"
#include "net/server.h"
#include "net/server_calls.h"
#include "shell/appstr.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/levelseq.h"

namespace {

bool Ready(void) {
    setenv("KRX_SIMLOG", "/dev/null", 0);
    return bench_SampleDataReady();
}

void BM_ServerFrame(benchmark::State& state) {
    if (!Ready()) {
        state.SkipWithError("no data set");
        return;
    }
    const int32_t players = static_cast<int32_t>(state.range(0));
    level_GameMode = GameModeFlags{1, 0, 0, 0, 0};  // dedicated, deathmatch
    app_Settings.HOST_GAME_TYPE = 0;
    snprintf(level_MissionNames.mission, sizeof level_MissionNames.mission, "F1M1.ORF");
    snprintf(level_MissionNames.reference, sizeof level_MissionNames.reference, "F1M1.REF");
    Server_RegisterSessionCallbacks();
    Server_Start();
    if (!Server.player) {
        state.SkipWithError("the server did not start");
        return;
    }
    static uint8_t descriptor[PLAYER_DESCRIPTOR_SIDE_SIZE];
    player_BlockSetup(nullptr);
    uint32_t size = player_DescriptorBuild(descriptor);
    for (int32_t i = 0; i < players; i++) {
        Server_SessionNetId = 100 + i;
        Server_JoiningData = descriptor;
        Server_JoiningDataSize = size;
        net_DriverCallbacks[NET_CALLBACK_PLAYER_JOINED](nullptr, 0);
    }
    // Past the start-up records: every slot is active.
    for (int32_t i = 0; i < players; i++) {
        Server.player[i].startupPending = 0;
        Server.player[i].active = 1;
    }
    if (Server.playerCount != players) state.SkipWithError("not every player joined");
    for (auto _ : state)
        for (int32_t f = 0; f < 16; f++) Server_Frame();
    state.SetItemsProcessed(state.iterations() * 16);
    state.counters["frame"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 16, benchmark::Counter::kIsRate |
                                                                           benchmark::Counter::kInvert);
    Server_Stop();
}
BENCHMARK(BM_ServerFrame)->Arg(1)->Arg(8)->Arg(16)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
