// Fuzz target: BMP files, into _EIMAGE2 and through the PCX entry (which
// reads them from a file) at every output depth.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>

#include "base/bmp.h"
#include "base/mem.h"
#include "display/pal.h"
#include "display/pcx.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = fuzz_ImageFileInit("bmp");
    if (size > 0x1000000) return 0;
    // Big pictures only cost time: the readers' logic shows on small ones.
    if (size >= 26) {
        int64_t width = (int32_t)(data[18] | data[19] << 8 | data[20] << 16 | (uint32_t)data[21] << 24);
        int64_t height = (int32_t)(data[22] | data[23] << 8 | data[24] << 16 | (uint32_t)data[25] << 24);
        if ((width < 0 ? -width : width) * (height < 0 ? -height : height) > 0x40000) return 0;
    }
    uint32_t sum = 0;
    if (_EIMAGE2* img = img_ParseBmp(data, size)) {
        for (uint32_t i = 0; i < img->pixelBytes; i++) sum += img->pixels[i];
        img_Free(img);
    }
    if (fuzz_WriteFile(path.c_str(), data, size) == 0) {
        for (int32_t mode : {8, 16, 32}) {
            auto* block = static_cast<uint8_t*>(pcx_LoadImageEx(path.c_str(), mode));
            if (!block) continue;
            for (int32_t i = 0; i < pal_Second.pixelBytes; i++) sum += block[i];
            mem_Free(block);
        }
        remove(path.c_str());
    }
    return sum == 0xFFFFFFFF;
}
