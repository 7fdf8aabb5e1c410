// Fuzz target: the older binary settings file KRX.SAV as it may be found,
// header and all: only a whole record of the right size, name and version is
// taken, and whatever was taken must write out as KRX.INI again.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/file.h"
#include "base/mem.h"
#include "shell/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    static std::string dir = "/tmp/krx_fuzz_sav_" + std::to_string(getpid());
    if (!ready) {
        std::string cmd = "mkdir -p " + dir;
        if (system(cmd.c_str()) != 0) abort();
        mem_HeapSizesSet(0x10000, 0x10000, 0x100000);
        mem_HeapInit();
        mem_Heap2Init();
        mem_Heap1Init();
        file_StateInit();
        ready = true;
    }
    if (size > 0x10000) return 0;
    char home[1024];
    if (!getcwd(home, sizeof home) || chdir(dir.c_str()) != 0) abort();
    if (FILE* f = fopen("KRX.SAV", "wb")) {
        fwrite(data, 1, size, f);
        fclose(f);
    }
    cfg_SettingsDefaults();
    int32_t r = cfg_SaveFileRead();
    // Anything but a whole record is refused.
    if (r == 0 && size != CFG_SAVE_FILE_SIZE) __builtin_trap();
    cfg_SettingsWrite();
    if (chdir(home) != 0) abort();
    return 0;
}
