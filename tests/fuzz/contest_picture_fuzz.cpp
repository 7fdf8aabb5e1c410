// Fuzz target: contest pictures (a scrambled PCX) through the unscrambling
// and the decoder into the screen's background.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz_util.h"
#include "menu/newcamp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        fuzz_MemInit(0x4000000, 0x10000, 0x10000, FUZZ_FILES);
        ready = true;
    }
    if (size > 0x100000) return 0;
    std::vector<uint8_t> buffer(data, data + size);
    if (mnu_ContestPictureDecode(buffer.data(), (int32_t)buffer.size())) {
        if (!mnu_Contest.background || mnu_Contest.width <= 0 || mnu_Contest.height <= 0) abort();
        // Every pixel of the background can be read.
        volatile uint16_t last = mnu_Contest.background[mnu_Contest.width * mnu_Contest.height - 1];
        (void)last;
    }
    mnu_ContestFree();
    return 0;
}
