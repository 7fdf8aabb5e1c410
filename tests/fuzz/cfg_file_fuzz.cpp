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
#include "fuzz_util.h"
#include "shell/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    static std::string dir = fuzz_ScratchDir("cfg");
    if (!ready) {
        fuzz_MemInit(0x10000, 0x10000, 0x100000, FUZZ_ALL);
        ready = true;
    }
    if (size > 0x100000) return 0;
    // The file is read from the current folder; the fuzzer's own files are
    // relative to the one it was started in.
    char home[1024];
    fuzz_DirEnter(dir, home, sizeof home);
    fuzz_WriteFile("KRX.CFG", data, size);
    cfg_SettingsDefaults();
    cfg_ConfigFileRead();
    cfg_SettingsWrite();
    fuzz_DirLeave(home);
    return 0;
}
