// Fuzz target: the update wizard's configuration reader and entry list.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz_util.h"
#include "update/wiz_ini.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::string path = fuzz_ScratchPath("wiz", ".cfg");
    if (fuzz_WriteFile(path.c_str(), data, size) != 0) return 0;
    if (wiz_IniLoadFile(path.c_str())) {
        char value[WIZ_LINE_MAX], small[4], first[WIZ_NAME_MAX];
        int32_t number = 0;
        static const char* const kKeys[][2] = {{"HEADER", "CMD"},   {"HEADER", "DST"},  {"PRECHECK", "RESEXE"},
                                               {"COPY", "COPY"},     {"EXECUTE", "EXE"}, {"REMOVE", "REMOVE"},
                                               {"ADD", "FILE"},      {"PFF", "ENTRY"}};
        for (const auto& k : kKeys) {
            if (wiz_IniGetKey(k[0], k[1], small, sizeof small, &number)) wiz_FirstItem(small, first, sizeof first);
            if (!wiz_IniFindSection(k[0])) continue;
            while (wiz_IniNextKey(k[1], value, sizeof value, &number)) {
                WizEntry* e = wiz_EntryCreate(value);
                if (e) e->flags |= WIZ_ENTRY_COPY;
            }
        }
        wiz_IniFindSection("");
        char line[WIZ_LINE_MAX];
        while (wiz_IniNextLine(line, sizeof line)) {
        }
        wiz_EntryCount(WIZ_ENTRY_COPY);
        wiz_EntryFreeAll();
        wiz_IniFree();
    }
    remove(path.c_str());
    return 0;
}
