// Fuzz target: ART.CFG, read into the level colour tables.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "base/file.h"
#include "base/ini.h"
#include "base/mem.h"
#include "world/gamemode.h"
#include "world/level.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    static std::string path = "/tmp/krx_fuzz_artcfg_" + std::to_string(getpid()) + ".cfg";
    if (!ready) {
        mem_HeapSizesSet(0x10000, 0x10000, 0x800000);
        mem_HeapInit();
        mem_Heap2Init();
        mem_Heap1Init();
        file_StateInit();
        ready = true;
    }
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return 0;
    fwrite(data, 1, size, f);
    fclose(f);
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
