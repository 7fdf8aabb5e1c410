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
    const std::string& dir = fuzz_FileTargetInit("cfg");
    if (size > 0x100000) return 0;
    fuzz_ReadInDir(dir, "KRX.CFG", data, size, [] {
        cfg_SettingsDefaults();
        cfg_ConfigFileRead();
        cfg_SettingsWrite();
    });
    return 0;
}
