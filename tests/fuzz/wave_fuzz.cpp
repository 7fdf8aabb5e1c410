// Fuzz target: WAVE images through the conversion, loaded from a file the
// way the program loads them, and every accepted sample mixed to its end.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/mem.h"
#include "fuzz_util.h"
#include "platform/window.h"
#include "sound/mix.h"
#include "sound/snd.h"

namespace {

uint32_t Mix(const MixSample* sample, int32_t pitch) {
    mix_Init();
    mix_VoiceStart(sample, 200, 255, pitch, 0);
    mix_VoiceChain(5, sample, 100, 255, pitch);
    static int16_t out[2 * 4096];
    uint32_t sum = 0;
    // Long enough to run a sample of a few thousand frames out and loop the
    // chained one.
    for (int i = 0; i < 4; i++) {
        mix_MixBlock(out, 4096);
        for (int16_t v : out) sum += (uint16_t)v;
    }
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    static std::string path;
    if (!ready) {
        setenv("KRX_PLATFORM", "headless", 1);
        plat_Init();
        fuzz_MemInit(0x2000000, 0x10000, 0x100000, FUZZ_HEAP1);
        snd_Init(0);
        path = fuzz_ScratchPath("wave", ".wav");
        ready = true;
    }
    if (size > 0x400000) return 0;
    uint32_t sum = 0;
    std::vector<uint8_t> image(data, data + size);
    if (MixSample* s = snd_SampleConvert(image.data(), (uint32_t)image.size())) {
        if (mix_SampleLength(s) > size) __builtin_trap();
        sum += Mix(s, 0);
        sum += Mix(s, (int32_t)(size * 0x1234567u));
    }
    if (fuzz_WriteFile(path.c_str(), data, size) == 0) {
        if (MixSample* s = snd_SampleLoad(path.c_str())) {
            sum += Mix(s, 0x20000);
            mix_Init();
            mem_Free(s);
        }
    }
    return sum == 0xFFFFFFFFu ? 1 : 0;
}
