// Fuzz target: streamed music files. The bytes are the music file; a fixed
// script walks its entries (in range and past the end) while the player
// queues blocks and the mixer plays them.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "base/mem.h"
#include "fuzz_util.h"
#include "mkdata.h"
#include "platform/window.h"
#include "sound/mix.h"
#include "sound/music.h"
#include "sound/snd.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    static std::string sbf, bin;
    if (!ready) {
        setenv("KRX_PLATFORM", "headless", 1);
        plat_Init();
        fuzz_MemInit(0x400000, 0x10000, 0x100000, FUZZ_HEAP1);
        snd_Init(0);
        sbf = fuzz_ScratchPath("sbf", ".sbf");
        bin = fuzz_ScratchPath("sbf", ".bin");
        std::vector<uint8_t> script;
        std::string error;
        mkdata_MusicAssemble("program T\nglobals 16\nlocals 16\nentry main\n"
                             "main:\nplay 0\nplay 1\npush 0\npush 3\nout 1\nout 9\nclear\nplay 2\nplay 99\njmp main\n",
                             &script, &error);
        fuzz_WriteFile(bin.c_str(), script.data(), script.size());
        ready = true;
    }
    if (size > 0x100000) return 0;
    if (fuzz_WriteFile(sbf.c_str(), data, size) != 0) return 0;
    music_StreamOpen(sbf.c_str(), bin.c_str(), "T");
    // Small mixes keep the run short: the mixer has its own target.
    static int16_t out[2 * 512];
    uint32_t sum = 0;
    for (int i = 0; i < 120 && music_Stream.open; i++) {
        music_StreamUpdate();
        if (music_Stream.fadeLevel < 0 || music_Stream.fadeLevel > (255 << 16)) __builtin_trap();
        if (mix_StreamCount() > 13) __builtin_trap();
        if (i % 4 == 3) {
            mix_MixBlock(out, 512);
            for (int16_t v : out) sum += (uint16_t)v;
        }
    }
    music_StreamClose();
    return sum == 0xFFFFFFFFu ? 1 : 0;
}
