// Fuzz target: section/key text files.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "base/file.h"
#include "base/ini.h"
#include "base/mem.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    static std::string path = fuzz_ScratchPath("ini", ".txt");
    if (!ready) {
        fuzz_MemInit(0x10000, 0x10000, 0x800000, FUZZ_ALL);
        ready = true;
    }
    if (fuzz_WriteFile(path.c_str(), data, size) != 0) return 0;

    bool keep = size > 0 && (data[0] & 1);
    if (!(keep ? ini_LoadKeepCase(path.c_str()) : ini_Load(path.c_str()))) return 0;
    char value[16];
    int32_t number;
    const char* sections[] = {"DISPLAY", "A", "STRINGS", "X_1"};
    for (const char* s : sections) {
        if (ini_SectionFind(s)) {
            int guard = 0;
            while (ini_KeyGet("STRING", value, sizeof value, &number) && ++guard < 10000) {
            }
            ini_KeyGet("K", value, 1, nullptr);
        }
        ini_SectionKeyGet(s, "PAGE_FLIPPING", value, sizeof value, &number);
    }
    ini_State.cursor = ini_State.buffer;
    ini_State.lineIndex = 0;
    char line[8];
    while (ini_LineNext(line, sizeof line)) {
    }
    ini_Unload();
    remove(path.c_str());
    return 0;
}
