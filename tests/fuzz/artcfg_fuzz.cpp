// Fuzz target: ART.CFG, read into the level colour tables.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "base/file.h"
#include "base/ini.h"
#include "base/mem.h"
#include "fuzz_util.h"
#include "world/gamemode.h"
#include "world/level.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    static std::string path = fuzz_ScratchPath("artcfg", ".cfg");
    if (!ready) {
        fuzz_MemInit(0x10000, 0x10000, 0x800000, FUZZ_ALL);
        ready = true;
    }
    if (fuzz_WriteFile(path.c_str(), data, size) != 0) return 0;
    // The first byte picks the region, the time of day (both possibly out of
    // range) and the locale override.
    uint8_t pick = size > 0 ? data[0] : 0;
    level_Region = (pick & 15) - 2;
    level_TimeOfDay = ((pick >> 4) & 7) - 1;
    level_LocaleOverride = pick >> 7;
    level_GameMode = GameModeFlags{1, 1, 1, 1, 0};
    if (ini_LoadKeepCase(path.c_str())) {
        level_ArtCfgRead();
        ini_Unload();
    }
    level_CurrentColoursSelect();
    for (int32_t k = 0; k < LEVEL_COLOUR_KEYS; k++)
        if (!level_ColourCurrent[k]) __builtin_trap();
    for (int32_t i = 0; i < 5; i++)
        if (level_Brighten[i] < 0 || level_Brighten[i] > 255) __builtin_trap();
    if (level_Region < -2 || level_Region > 13) __builtin_trap();
    remove(path.c_str());
    return 0;
}
