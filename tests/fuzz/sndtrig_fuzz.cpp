// Fuzz target: SNDTRIG sound-trigger files, loaded from a file the way the
// program loads them, then every trigger, set and named sound played
// (sound output is off, so samples load and convert but nothing mixes).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "base/file.h"
#include "base/mem.h"
#include "sound/sndtrig.h"

namespace {
constexpr uint32_t kOwner = 0x5D;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    static std::string path = "/tmp/krx_fuzz_sndtrig_" + std::to_string(getpid()) + ".pwf";
    if (!ready) {
        mem_HeapSizesSet(0x400000, 0x100000, 0x10000);
        mem_HeapInit();
        mem_Heap2Init();
        file_StateInit();
        ready = true;
    }
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return 0;
    fwrite(data, 1, size, f);
    fclose(f);

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
