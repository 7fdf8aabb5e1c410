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
#include "fuzz_util.h"
#include "shell/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& dir = fuzz_FileTargetInit("sav");
    if (size > 0x10000) return 0;
    fuzz_ReadInDir(dir, "KRX.SAV", data, size, [size] {
        cfg_SettingsDefaults();
        int32_t r = cfg_SaveFileRead();
        // Anything but a whole record is refused.
        if (r == 0 && size != CFG_SAVE_FILE_SIZE) __builtin_trap();
        cfg_SettingsWrite();
    });
    return 0;
}
