// Fuzz target: the force-feedback settings reader on any text. It must never
// read outside its input, and leaves either the defaults or finite scales.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "input/ffb.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int32_t r = ffb_SettingsParse((const char*)data, size);
    if (r != 0 && r != -1) abort();
    for (const FfbSetting& s : ffb_SettingsTable)
        if (!std::isfinite(s.scale)) abort();
    return 0;
}
