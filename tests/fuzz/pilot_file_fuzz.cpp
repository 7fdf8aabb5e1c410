// Fuzz target: pilot files ("FSLOTnn.sav") through the reader; a file that
// reads is written back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz_util.h"
#include "menu/newcamp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        fuzz_MemInit(0x1000000, 0x10000, 0x10000, FUZZ_FILES);
        ready = true;
    }
    static MnuPilot p;
    if (mnu_PilotParseInto(&p, data, size)) {
        mnu_Pilot = p;
        std::vector<uint8_t> image = mnu_PilotImage();
        // Only the unused store entries may differ: written back as 0.
        const size_t fixed = size == (size_t)MNU_PILOT_SIZE ? size : (size_t)(MNU_PILOT_SIZE + MNU_PILOT_COUNTERS);
        if (image.size() < fixed || memcmp(image.data(), data, fixed) != 0) abort();
        char name[32];
        mnu_PilotCallsign(&p, name, sizeof name);
        if (strlen(name) > (size_t)MNU_PILOT_CALLSIGN_LENGTH) abort();
    }
    return 0;
}
