// Fuzz target: the older settings file KRX.CFG, read through the
// section/key parser when KRX.INI does not exist yet; whatever it gave must
// write out as KRX.INI again.
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
    static std::string dir = "/tmp/krx_fuzz_cfg_" + std::to_string(getpid());
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
    if (size > 0x100000) return 0;
    // The file is read from the current folder; the fuzzer's own files are
    // relative to the one it was started in.
    char home[1024];
    if (!getcwd(home, sizeof home) || chdir(dir.c_str()) != 0) abort();
    if (FILE* f = fopen("KRX.CFG", "wb")) {
        fwrite(data, 1, size, f);
        fclose(f);
    }
    cfg_SettingsDefaults();
    cfg_ConfigFileRead();
    cfg_SettingsWrite();
    if (chdir(home) != 0) abort();
    return 0;
}
