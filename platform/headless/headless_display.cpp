// The headless display: no screen. Frames are kept in memory for tests and,
// with KRX_FRAMEDUMP=DIR, written as 24-bit BMP files DIR/frame%05d.bmp
// (every Nth frame with KRX_FRAMEDUMP_EVERY=N; the number is the frame's
// index counted from 0).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/bmp24.h"
#include "platform/display_backend.h"
#include "platform/files.h"

namespace {

struct HeadlessDisplay {
    std::vector<uint32_t> last;
    int32_t width = 0, height = 0;
    PlatDisplayModeFilter filter = nullptr;
    uint32_t vblanks = 0;
};

HeadlessDisplay g;

// The frame's 0x00RRGGBB pixels as one 24-bit BMP file.
bool WriteBmp(const char* path, const uint32_t* pixels, int32_t width, int32_t height) {
    int64_t size = plat_BmpEncode24(nullptr, 0, width, height, nullptr);
    if (size < 0) return false;
    std::vector<uint8_t> rgb((size_t)width * (size_t)height * 3);
    for (size_t i = 0; i < (size_t)width * (size_t)height; i++) {
        rgb[3 * i] = (uint8_t)(pixels[i] >> 16);
        rgb[3 * i + 1] = (uint8_t)(pixels[i] >> 8);
        rgb[3 * i + 2] = (uint8_t)pixels[i];
    }
    std::vector<uint8_t> file((size_t)size);
    if (plat_BmpEncode24(file.data(), file.size(), width, height, rgb.data()) != size) return false;
    FILE* f = plat_FOpen(path, "wb");
    if (!f) return false;
    bool ok = fwrite(file.data(), 1, file.size(), f) == file.size();
    if (fclose(f) != 0) ok = false;
    return ok;
}

void Dump(const uint32_t* pixels, int32_t width, int32_t height, uint32_t index) {
    const char* dir = getenv("KRX_FRAMEDUMP");
    if (!dir || !*dir) return;
    uint32_t every = 1;
    if (const char* e = getenv("KRX_FRAMEDUMP_EVERY")) {
        long n = strtol(e, nullptr, 10);
        if (n > 1) every = (uint32_t)n;
    }
    if (index % every) return;
    static bool made = false;
    if (!made) {
        made = true;
        plat_MakeDir(dir);  // a missing dump folder is made, not an error
    }
    char path[1024];
    int n = snprintf(path, sizeof path, "%s/frame%05u.bmp", dir, (unsigned)index);
    if (n < 0 || (size_t)n >= sizeof path) return;
    if (!WriteBmp(path, pixels, width, height)) {
        static bool told = false;
        if (!told) fprintf(stderr, "krx: cannot write the frame dump \"%s\"\n", path);
        told = true;
    }
}

int HSetMode(PlatHwnd, int32_t width, int32_t height, int32_t bits, int32_t fullScreen) {
    if (g.filter) return g.filter(width, height, bits, fullScreen) ? -1 : 0;
    return bits == 24 ? -1 : 0;
}

void HPresent(const uint32_t* pixels, int32_t width, int32_t height, uint32_t index) {
    g.last.assign(pixels, pixels + (size_t)width * (size_t)height);
    g.width = width;
    g.height = height;
    Dump(pixels, width, height, index);
}

void HWaitVerticalBlank(void) { g.vblanks++; }
void HRestoreDesktop(void) {}

}  // namespace

const PlatDisplayBackend plat_HeadlessDisplay = {HSetMode, HPresent, HWaitVerticalBlank, HRestoreDesktop};

const uint32_t* plat_DisplayLastFrame(int32_t* width, int32_t* height) {
    if (width) *width = g.last.empty() ? 0 : g.width;
    if (height) *height = g.last.empty() ? 0 : g.height;
    return g.last.empty() ? nullptr : g.last.data();
}

void plat_DisplaySetModeFilter(PlatDisplayModeFilter refuse) { g.filter = refuse; }

uint32_t plat_DisplayVerticalBlankCount(void) { return g.vblanks; }
