// The headless audio device: pulled by the virtual clock, 2205 frames (one
// tenth of a second) every fourth 25 ms tick, so a run is heard as long as
// it lasted. KRX_AUDIODUMP=FILE keeps everything pulled as a WAV file.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/audio_backend.h"
#include "platform/harness.h"

namespace {

constexpr int32_t kBlockFrames = 2205;

struct State {
    PlatAudioPullFn pull = nullptr;
    bool open = false;
    bool started = false;
    bool emulated = false;
    uint32_t ticks = 0;
    uint32_t frames = 0;
    FILE* dump = nullptr;
    int16_t block[kBlockFrames * PLAT_AUDIO_CHANNELS];
};
State g;

void Put32(uint8_t* p, uint32_t v) {
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
    p[2] = (uint8_t)(v >> 16);
    p[3] = (uint8_t)(v >> 24);
}

// The 44-byte header of a PCM WAVE of `bytes` data bytes at the device's
// format.
void WaveHeader(uint8_t h[44], uint32_t bytes) {
    const uint32_t rate = PLAT_AUDIO_RATE, align = PLAT_AUDIO_FRAME_BYTES;
    memcpy(h, "RIFF", 4);
    Put32(h + 4, 36 + bytes);
    memcpy(h + 8, "WAVEfmt ", 8);
    Put32(h + 16, 16);
    h[20] = 1, h[21] = 0;                        // PCM
    h[22] = PLAT_AUDIO_CHANNELS, h[23] = 0;
    Put32(h + 24, rate);
    Put32(h + 28, rate * align);
    h[32] = (uint8_t)align, h[33] = 0;
    h[34] = 16, h[35] = 0;
    memcpy(h + 36, "data", 4);
    Put32(h + 40, bytes);
}

// The header is rewritten after every block, so the file is whole even when
// the run ends without closing the device.
void DumpBlock(const int16_t* frames, int32_t count) {
    if (!g.dump) return;
    uint8_t bytes[kBlockFrames * PLAT_AUDIO_FRAME_BYTES];
    for (int32_t i = 0; i < count * PLAT_AUDIO_CHANNELS; i++) {
        bytes[2 * i] = (uint8_t)frames[i];
        bytes[2 * i + 1] = (uint8_t)((uint16_t)frames[i] >> 8);
    }
    uint8_t header[44];
    WaveHeader(header, g.frames * (uint32_t)PLAT_AUDIO_FRAME_BYTES);
    if (fseek(g.dump, 0, SEEK_END) != 0 || fwrite(bytes, PLAT_AUDIO_FRAME_BYTES, (size_t)count, g.dump) != (size_t)count ||
        fseek(g.dump, 0, SEEK_SET) != 0 || fwrite(header, 1, 44, g.dump) != 44 || fflush(g.dump) != 0) {
        fprintf(stderr, "krx: cannot write the audio dump\n");
        fclose(g.dump);
        g.dump = nullptr;
    }
}

int32_t HOpen(PlatAudioPullFn pull, int32_t* emulated) {
    if (g.open || !pull) return -1;
    *emulated = g.emulated ? 1 : 0;
    g.pull = pull;
    g.open = true;
    g.started = false;
    g.ticks = 0;
    g.frames = 0;
    const char* path = getenv("KRX_AUDIODUMP");
    if (path && *path) {
        g.dump = fopen(path, "wb");
        uint8_t header[44];
        WaveHeader(header, 0);
        if (!g.dump || fwrite(header, 1, 44, g.dump) != 44) {
            fprintf(stderr, "krx: cannot write the audio dump \"%s\"\n", path);
            if (g.dump) fclose(g.dump);
            g.dump = nullptr;
        }
    }
    return 0;
}

void HStart(void) {
    if (g.open) g.started = true;
}

void HClose(void) {
    if (g.dump) fclose(g.dump);
    g.dump = nullptr;
    g.open = g.started = false;
    g.pull = nullptr;
}

}  // namespace

int32_t plat_HarnessAudioStep(int16_t* copy, int32_t maxFrames) {
    if (!g.open || !g.started) return 0;
    g.pull(g.block, kBlockFrames);
    g.frames += kBlockFrames;
    DumpBlock(g.block, kBlockFrames);
    if (copy && maxFrames > 0)
        memcpy(copy, g.block,
               (size_t)(maxFrames < kBlockFrames ? maxFrames : kBlockFrames) * PLAT_AUDIO_FRAME_BYTES);
    return kBlockFrames;
}

uint32_t plat_HarnessAudioFrames(void) { return g.frames; }

void plat_HarnessAudioEmulatedSet(int32_t emulated) { g.emulated = emulated != 0; }

void plat_HeadlessAudioTick(void) {
    if (!g.open || !g.started) return;
    if (++g.ticks % 4 == 0) plat_HarnessAudioStep(nullptr, 0);
}

const PlatAudioBackend plat_HeadlessAudioBackend = {"headless", HOpen, HStart, HClose};
