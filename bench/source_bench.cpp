// One assignment pass of the positional sources over a full table of 1024
// sources around the listener, about 64 of them audible, 8 voices, with Doppler
// pitch. The goal is under 0.1 ms a pass.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "mkdata.h"
#include "sound/mix.h"

namespace {

int32_t Attenuation(int32_t distance) {
    int32_t d = distance >> 15;
    return (512 - (d > 512 ? 512 : d)) * 512 >> 10;
}

int32_t Direction(int32_t dx, int32_t, int32_t dz, int32_t) { return (dx >> 24) ^ (dz >> 20); }

void BM_SourcesAssign(benchmark::State& state) {
    std::vector<uint8_t> image = mkdata_WaveBuild(8, 22050, mkdata_WaveTone(22050, 60, 500, 20000));
    MixSample* sample = snd_SampleConvert(image.data(), (uint32_t)image.size());
    if (!sample) {
        state.SkipWithError("the sample did not convert");
        return;
    }
    mix_Init();
    mix_SourcesInit(6, 8, Attenuation, Direction, nullptr);
    uint32_t x = 12345;
    for (int32_t i = 0; i < MIX_SOURCES; i++) {
        x = x * 1103515245u + 12345u;
        MixSourceDesc d = {};
        // Every sixteenth source is near enough to be heard.
        int32_t spread = i % 16 == 0 ? 0x400000 : 0x40000000;
        d.x = (int32_t)(x % (uint32_t)spread) - spread / 2;
        d.z = (int32_t)((x >> 8) % (uint32_t)spread) - spread / 2;
        d.vx = (int32_t)(x & 0xFF) - 128;
        d.sample = sample;
        d.radius = 0x1000000;
        d.pitch = 0x10000;
        d.volume = (uint8_t)(64 + (x >> 24) % 192);
        d.maxVolume = 255;
        d.flags = MIX_SOURCE_MOVES | MIX_SOURCE_DOPPLER;
        mix_SourceAdd(&d);
    }
    for (auto _ : state) {
        mix_SourcesAssign();
        benchmark::DoNotOptimize(mix_SourceTable.audibleCount);
    }
    state.counters["audible"] = mix_SourceTable.audibleCount;
}
BENCHMARK(BM_SourcesAssign)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
