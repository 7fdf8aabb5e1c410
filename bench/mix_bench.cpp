// Mixer cost per output block: one 2205-frame block (a tenth of a second)
// with all 24 voices sounding and the stream playing. The goal is under 1 %
// of a core, 1 ms per block.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "mkdata.h"
#include "sound/mix.h"

namespace {

void BM_MixBlock(benchmark::State& state) {
    // A long tone for the voices, in the builder's WAVE form.
    std::vector<uint8_t> image = mkdata_WaveBuild(16, 22050, mkdata_WaveTone(22050, 440, 60000, 20000));
    MixSample* sample = snd_SampleConvert(image.data(), (uint32_t)image.size());
    if (!sample) {
        state.SkipWithError("the sample did not convert");
        return;
    }
    std::vector<uint8_t> stream(2 * 2205);
    for (size_t i = 0; i < stream.size(); i++) stream[i] = (uint8_t)(128 + (i % 64) - 32);
    mix_Init();
    for (int32_t v = 0; v < MIX_VOICES; v++) mix_VoiceChain(v, sample, v * 10, 200, 0x10000 + v * 0x800);
    std::vector<int16_t> out(2 * 2205);
    mix_MixBlock(out.data(), 2205);
    for (auto _ : state) {
        // Keep the stream fed, as the music player does.
        while (mix_StreamCount() < 8 && mix_StreamQueue(stream.data(), (uint32_t)stream.size(), 0, 1)) {
        }
        mix_MixBlock(out.data(), 2205);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * 2205);
}
BENCHMARK(BM_MixBlock)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
