// Fuzz target: the settings files KRX.INI, APP.INI and KRX.SAV as a user
// (or a damaged disk) may leave them.
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
    // Settings are flushed to the disk before they replace the old file: in
    // memory (/dev/shm) that costs nothing, on a disk milliseconds a run.
    static std::string dir = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                             "/krx_fuzz_settings_" + std::to_string(getpid());
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
    if (size == 0) return 0;
    // The settings files live in the current folder; the fuzzer's own files
    // are relative to the one it was started in.
    char home[1024];
    if (!getcwd(home, sizeof home) || chdir(dir.c_str()) != 0) abort();
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
    if (FILE* f = fopen(name, "wb")) {
        fwrite(body.data(), 1, body.size(), f);
        fclose(f);
    }

    cfg_SettingsDefaults();
    if (which == 0) cfg_SettingsRead();
    if (which == 1) app_IniRead();
    if (which == 2) cfg_SaveFileRead();
    // Whatever was read must write out again.
    cfg_SettingsWrite();
    if (chdir(home) != 0) abort();
    return 0;
}
