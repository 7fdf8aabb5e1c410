// WAVE samples for the data set and the tests: tones and noise, 8 or 16
// bits, mono.
#include <cmath>
#include <cstdio>

#include "base/le.h"
#include "mkdata.h"

std::vector<uint8_t> mkdata_WaveBuild(int32_t bits, uint32_t rate, const std::vector<int16_t>& frames) {
    uint32_t bytesPer = bits == 16 ? 2 : 1;
    uint32_t dataSize = (uint32_t)frames.size() * bytesPer;
    LeWriter w;
    w.bytes("RIFF", 4);
    w.u32(36 + dataSize);
    w.bytes("WAVEfmt ", 8);
    w.u32(16);
    w.u16(1);  // PCM
    w.u16(1);  // mono
    w.u32(rate);
    w.u32(rate * bytesPer);
    w.u16((uint16_t)bytesPer);
    w.u16((uint16_t)bits);
    w.bytes("data", 4);
    w.u32(dataSize);
    for (int16_t v : frames) {
        if (bits == 16)
            w.u16((uint16_t)v);
        else
            w.u8((uint8_t)((v >> 8) + 128));
    }
    return w.buf;
}

std::vector<int16_t> mkdata_WaveTone(uint32_t rate, double hz, int32_t ms, int32_t amplitude) {
    int32_t count = (int32_t)((int64_t)rate * ms / 1000);
    int32_t fade = (int32_t)(rate / 100);  // 10 ms
    std::vector<int16_t> frames((size_t)count);
    for (int32_t i = 0; i < count; i++) {
        double gain = 1.0;
        if (i < fade) gain = (double)i / fade;
        if (count - 1 - i < fade) gain = (double)(count - 1 - i) / fade;
        frames[(size_t)i] = (int16_t)lround(amplitude * gain * sin(2.0 * M_PI * hz * i / rate));
    }
    return frames;
}

namespace {

// Deterministic noise, so the data set is the same in every build.
uint32_t g_noise = 0x2545F491u;
int32_t Noise(void) {
    g_noise ^= g_noise << 13;
    g_noise ^= g_noise >> 17;
    g_noise ^= g_noise << 5;
    return (int32_t)(g_noise & 0xFFFF) - 32768;
}

}  // namespace

int mkdata_WriteSounds(const std::string& dir) {
    static const uint32_t kRates[] = {11025, 22050, 44100};
    for (int32_t bits : {8, 16})
        for (uint32_t rate : kRates) {
            char name[32];
            snprintf(name, sizeof name, "S%02d_%02uK.WAV", (int)bits, (unsigned)(rate / 1000));
            if (mkdata_WriteFile(dir, name, mkdata_WaveBuild(bits, rate, mkdata_WaveTone(rate, 440.0, 250, 24000))) != 0)
                return -1;
        }
    // A steady engine drone that loops without a click: whole periods of a
    // low tone and its harmonics, with a little noise.
    std::vector<int16_t> engine(22050 / 2);
    for (size_t i = 0; i < engine.size(); i++) {
        double t = (double)i / 22050.0;
        double v = 9000 * sin(2 * M_PI * 60 * t) + 5000 * sin(2 * M_PI * 120 * t) + 2500 * sin(2 * M_PI * 240 * t);
        engine[i] = (int16_t)lround(v + Noise() / 16);
    }
    if (mkdata_WriteFile(dir, "ENGINE.WAV", mkdata_WaveBuild(16, 22050, engine)) != 0) return -1;
    // A burst of noise that dies away.
    std::vector<int16_t> boom(11025);
    for (size_t i = 0; i < boom.size(); i++) {
        double decay = exp(-4.0 * (double)i / (double)boom.size());
        boom[i] = (int16_t)lround(Noise() * 0.9 * decay);
    }
    return mkdata_WriteFile(dir, "BOOM.WAV", mkdata_WaveBuild(8, 11025, boom));
}
