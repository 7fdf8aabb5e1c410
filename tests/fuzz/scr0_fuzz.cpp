// Fuzz target: music-logic scripts. The bytes are the script file: loaded,
// started (by the name of the first program, then by a name no program
// has) and stepped a bounded number of times with its variables set.
#include <cstdint>
#include <initializer_list>

#include "base/mem.h"
#include "fuzz_util.h"
#include "sound/music.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        fuzz_MemInit(0x400000, 0x10000, 0x100000, 0);
        ready = true;
    }
    if (size > 0x100000) return 0;
    if (!music_ScriptLoadImage(data, (uint32_t)size)) return 0;
    uint32_t sum = music_ScriptChecksum();
    for (const char* name : {"KRX_Menu", (const char*)nullptr}) {
        music_ScriptStartAt(name);
        for (int i = 0; i < 64 && music_Script.state == MUSIC_SCRIPT_RUNNING; i++) {
            music_ScriptVarSet(i & 3, i);
            music_ScriptStep();
            sum += music_Script.resume;
        }
        music_ScriptStop();
    }
    music_ScriptFree();
    return sum == 0xFFFFFFFFu ? 1 : 0;
}
