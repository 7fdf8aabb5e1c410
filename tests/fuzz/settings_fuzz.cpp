// Fuzz target: the settings files KRX.INI, APP.INI and KRX.SAV as a user
// (or a damaged disk) may leave them.
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
    const std::string& dir = fuzz_FileTargetInit("settings");
    if (size == 0) return 0;
    // The first byte picks the file; a KRX.SAV gets the right length and
    // header so that its fields are reached.
    int which = data[0] % 3;
    std::string body(reinterpret_cast<const char*>(data + 1), size - 1);
    const char* name = which == 0 ? "KRX.INI" : which == 1 ? "APP.INI" : "KRX.SAV";
    if (which == 0) body = "VERSION 1\r\n" + body;
    if (which == 2) {
        body.resize(CFG_SAVE_FILE_SIZE);
        body.replace(0, 12, std::string("SAVD\x8c\x02\0\0\x0e\0\0\0", 12));
    }
    fuzz_ReadInDir(dir, name, reinterpret_cast<const uint8_t*>(body.data()), body.size(), [which] {
        cfg_SettingsDefaults();
        if (which == 0) cfg_SettingsRead();
        if (which == 1) app_IniRead();
        if (which == 2) cfg_SaveFileRead();
        // Whatever was read must write out again.
        cfg_SettingsWrite();
    });
    return 0;
}
