// Fuzz target: KDV movies opened and stepped to their end (or an error) on
// the headless display, with the mixer taking the queued sound.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "base/file.h"
#include "base/mem.h"
#include "display/vid.h"
#include "fuzz_util.h"
#include "platform/window.h"
#include "sound/anim.h"
#include "sound/mix.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    static std::string path = fuzz_ScratchPath("kdv", ".kdv");
    if (!ready) {
        setenv("KRX_PLATFORM", "headless", 1);
        plat_Init();
        fuzz_MemInit(0x1000000, 0x10000, 0x100000, FUZZ_FILES);
        vid_Init();
        mix_Init();
        ready = true;
    }
    if (size > 0x200000) return 0;
    if (fuzz_WriteFile(path.c_str(), data, size) != 0) return 0;
    // The game clock stands here, so every frame is shown at once.
    static int16_t out[2 * 2205];
    if (anim_Open(path.c_str()) == 0) {
        for (int i = 0; i < 64 && anim_Step() == 1 && !anim_ErrorText(); i++) mix_MixBlock(out, 2205);
    }
    anim_Stop();
    return 0;
}
