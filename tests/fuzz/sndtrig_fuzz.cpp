// Fuzz target: SNDTRIG sound-trigger files, loaded from a file the way the
// program loads them, then every trigger, set and named sound played
// (sound output is off, so samples load and convert but nothing mixes).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "base/file.h"
#include "base/mem.h"
#include "fuzz_util.h"
#include "sound/sndtrig.h"

namespace {
constexpr uint32_t kOwner = 0x5D;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    static std::string path = fuzz_ScratchPath("sndtrig", ".pwf");
    if (!ready) {
        fuzz_MemInit(0x400000, 0x100000, 0x10000, FUZZ_HEAP2 | FUZZ_FILES);
        ready = true;
    }
    if (fuzz_WriteFile(path.c_str(), data, size) != 0) return 0;

    static SndTrigFile table;
    if (sndtrig_LoadEx(path.c_str(), &table, kOwner)) {
        sndtrig_SetMinVolume(0, &table);
        for (int32_t mask : {6, 2, 0x25}) {
            sndtrig_SetConditionMask(mask);
            for (uint32_t i = 0; i < table.triggerCount && i < 64; i++) {
                SndTrigEvent e = {};
                e.volume = 255;
                e.voice = -1;
                e.distance = (int32_t)(i * 0x12345);
                e.flags = (int32_t)(i & 3);
                e.type = table.triggers[i].type;
                e.subtype = table.triggers[i].subtype;
                e.id = table.triggers[i].id;
                sndtrig_Trigger(&e, &table);
            }
        }
        for (uint32_t i = 0; i < table.soundCount && i < 64; i++) {
            sndtrig_GetSample(table.sounds[i].name, &table);
            sndtrig_MarkSound(table.sounds[i].name, &table);
        }
        sndtrig_LoadMarked(&table);
        sndtrig_Free(&table);
    }
    // Samples of sound entries stay until their owner releases them.
    mem_FreeIdRange(kOwner, kOwner);
    remove(path.c_str());
    return 0;
}
