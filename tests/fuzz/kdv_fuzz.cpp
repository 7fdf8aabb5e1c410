// Fuzz target: KDV movies opened and stepped to their end (or an error) on
// the headless display, with the mixer taking the queued sound.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "base/file.h"
#include "base/mem.h"
#include "display/vid.h"
#include "platform/window.h"
#include "sound/anim.h"
#include "sound/mix.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    static std::string path = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                              "/krx_fuzz_kdv_" + std::to_string(getpid()) + ".kdv";
    if (!ready) {
        setenv("KRX_PLATFORM", "headless", 1);
        plat_Init();
        mem_HeapSizesSet(0x1000000, 0x10000, 0x100000);
        mem_HeapInit();
        file_StateInit();
        vid_Init();
        mix_Init();
        ready = true;
    }
    if (size > 0x200000) return 0;
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return 0;
    fwrite(data, 1, size, f);
    fclose(f);
    // The game clock stands here, so every frame is shown at once.
    static int16_t out[2 * 2205];
    if (anim_Open(path.c_str()) == 0) {
        for (int i = 0; i < 64 && anim_Step() == 1 && !anim_ErrorText(); i++) mix_MixBlock(out, 2205);
    }
    anim_Stop();
    return 0;
}
