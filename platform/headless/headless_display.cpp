// The headless display: no screen. Frames are kept in memory for tests and,
// with KRX_FRAMEDUMP=DIR, written as 24-bit BMP files DIR/frame%05d.bmp
// (every Nth frame with KRX_FRAMEDUMP_EVERY=N; the number is the frame's
// index counted from 0).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

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

void Put16(uint8_t* p, uint32_t v) {
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v & 0xFFFF);
    Put16(p + 2, v >> 16);
}

// Bottom-up 24-bit BMP, rows padded to four bytes.
bool WriteBmp(const char* path, const uint32_t* pixels, int32_t width, int32_t height) {
    uint32_t rowBytes = ((uint32_t)width * 3 + 3) & ~3u;
    uint32_t imageBytes = rowBytes * (uint32_t)height;
    uint8_t header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    Put32(header + 2, 54 + imageBytes);
    Put32(header + 10, 54);
    Put32(header + 14, 40);
    Put32(header + 18, (uint32_t)width);
    Put32(header + 22, (uint32_t)height);
    Put16(header + 26, 1);
    Put16(header + 28, 24);
    Put32(header + 34, imageBytes);
    Put32(header + 38, 2835);  // 72 dpi
    Put32(header + 42, 2835);
    FILE* f = plat_FOpen(path, "wb");
    if (!f) return false;
    bool ok = fwrite(header, 1, sizeof header, f) == sizeof header;
    std::vector<uint8_t> row(rowBytes, 0);
    for (int32_t y = height - 1; ok && y >= 0; y--) {
        const uint32_t* src = pixels + (size_t)y * (size_t)width;
        for (int32_t x = 0; x < width; x++) {
            row[3 * x] = (uint8_t)src[x];
            row[3 * x + 1] = (uint8_t)(src[x] >> 8);
            row[3 * x + 2] = (uint8_t)(src[x] >> 16);
        }
        ok = fwrite(row.data(), 1, rowBytes, f) == rowBytes;
    }
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
