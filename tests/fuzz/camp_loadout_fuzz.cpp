// Fuzz target: campaign loadout files ("PLT1") through the reader; a file
// that reads is written back to the same bytes' worth of lists.
#include <cstdint>
#include <cstdlib>

#include "fuzz_util.h"
#include "menu/camp.h"
#include "menu/quick.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        fuzz_MemInit(0x1000000, 0x10000, 0x10000, FUZZ_FILES);
        ready = true;
    }
    mnu_GameMode = 0;
    if (mnu_CampLoadoutParse(data, size)) {
        std::vector<uint8_t> image = mnu_CampLoadoutImage();
        // Duplicate keys merge, so the image never outgrows the input.
        if (image.size() > size) abort();
    }
    mnu_CampLoadoutFree();
    return 0;
}
