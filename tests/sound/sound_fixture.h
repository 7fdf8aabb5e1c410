// Samples for the mixer and output tests, made with the data builder's WAVE
// writer and converted the way the program converts them.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "mkdata.h"
#include "sound/mix.h"

// A converted sample that owns its block.
struct TestSample {
    std::vector<uint8_t> block;
    MixSample* sample = nullptr;
};

inline std::unique_ptr<TestSample> test_SampleFromWave(std::vector<uint8_t> wave) {
    auto s = std::make_unique<TestSample>();
    s->block = std::move(wave);
    s->sample = snd_SampleConvert(s->block.data(), (uint32_t)s->block.size());
    return s;
}

// 8-bit frames given as the bytes the mixer will read (128 = silence).
inline std::unique_ptr<TestSample> test_Sample8(const std::vector<uint8_t>& bytes, uint32_t rate = 22050) {
    std::vector<int16_t> frames;
    for (uint8_t b : bytes) frames.push_back((int16_t)(((int32_t)b - 128) * 256));
    return test_SampleFromWave(mkdata_WaveBuild(8, rate, frames));
}

inline std::unique_ptr<TestSample> test_Constant8(uint8_t byte, size_t count, uint32_t rate = 22050) {
    return test_Sample8(std::vector<uint8_t>(count, byte), rate);
}

// Mixes `frames` frames and returns them (left, right interleaved).
inline std::vector<int16_t> test_Mix(int32_t frames) {
    std::vector<int16_t> out((size_t)frames * 2, 0x5555);
    mix_MixBlock(out.data(), frames);
    return out;
}

// A fresh mixer: tables, volumes and the carried output values.
inline void test_MixReset(void) {
    mix_MasterVolume = 255;
    mix_StreamVolume = 255;
    mix_OutputSilence.store(0);
    mix_SetEndHook(nullptr);
    mix_Init();
    mix_LastLeft = mix_LastRight = 0;
}
