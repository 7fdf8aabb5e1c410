// Movie frame decoding: one 640x480 frame of each kind (8-bit palette
// indices, 24-bit colours shown at 16 bits), coded by the builder's encoder
// from a picture that uses every block kind. The goal is under 2 ms a frame.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "display/vid.h"
#include "kdv_write.h"
#include "sound/anim.h"

namespace {

constexpr int32_t kWidth = 640, kHeight = 480;

uint32_t g_noise = 12345;
uint32_t Noise(void) {
    g_noise = g_noise * 1103515245u + 12345u;
    return g_noise >> 8;
}

// Quarters of the picture: flat bands (fills), stripes (two colours), a
// four-colour weave and noise (raw blocks).
int32_t Pixel(int32_t x, int32_t y) {
    if (y < kHeight / 4) return 1 + y / 16;
    if (y < kHeight / 2) return (x / 3 + y) & 1 ? 40 : 41 + x / 64;
    if (y < 3 * kHeight / 4) return 60 + (x + 2 * y) % 4;
    return 1 + (int32_t)(Noise() % 250);
}

// The payload of the movie's first frame chunk.
std::vector<uint8_t> FramePayload(const std::vector<uint8_t>& file, uint32_t* tag) {
    size_t at = 0;
    while (at + 8 <= file.size()) {
        uint32_t t = file[at] | file[at + 1] << 8 | file[at + 2] << 16 | (uint32_t)file[at + 3] << 24;
        uint32_t length = file[at + 4] | file[at + 5] << 8 | file[at + 6] << 16 | (uint32_t)file[at + 7] << 24;
        if (t == ANIM_TAG_FRAME8 || t == ANIM_TAG_FRAME24) {
            *tag = t;
            return std::vector<uint8_t>(file.begin() + (long)at + 8, file.begin() + (long)(at + length));
        }
        at += length;
    }
    return {};
}

void BM_DecodeFrame(benchmark::State& state) {
    int32_t depth = (int32_t)state.range(0);
    MkKdvMovie movie;
    mkdata_KdvHeader(&movie, kWidth, kHeight, 12, depth);
    std::vector<uint8_t> p8((size_t)kWidth * kHeight);
    std::vector<uint32_t> p24(p8.size());
    for (int32_t y = 0; y < kHeight; y++)
        for (int32_t x = 0; x < kWidth; x++) {
            int32_t v = Pixel(x, y);
            p8[(size_t)y * kWidth + x] = (uint8_t)v;
            p24[(size_t)y * kWidth + x] = ((uint32_t)v * 0x0907F3u) & 0xFFFFFF;
        }
    depth == 8 ? mkdata_KdvFrame8(&movie, p8.data()) : mkdata_KdvFrame24(&movie, p24.data());
    uint32_t tag = 0;
    std::vector<uint8_t> frame = FramePayload(movie.out.buf, &tag);
    vid_State.redMask = 0xF800;
    vid_State.greenMask = 0x07E0;
    vid_State.blueMask = 0x001F;
    std::vector<uint8_t> screen((size_t)kWidth * kHeight * 2);
    if (anim_DecodeFrame(tag, frame.data(), (uint32_t)frame.size(), screen.data(), kWidth, kHeight) != 0) {
        state.SkipWithError("the frame did not decode");
        return;
    }
    for (auto _ : state) {
        anim_DecodeFrame(tag, frame.data(), (uint32_t)frame.size(), screen.data(), kWidth, kHeight);
        benchmark::DoNotOptimize(screen.data());
    }
    state.counters["bytes"] = (double)frame.size();
    state.counters["four"] = movie.stats.four;
    state.counters["two"] = movie.stats.two;
    state.counters["fill"] = movie.stats.fill;
    state.counters["raw"] = movie.stats.raw;
    state.counters["repeat"] = movie.stats.repeat;
}
BENCHMARK(BM_DecodeFrame)->Arg(8)->Arg(24)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
