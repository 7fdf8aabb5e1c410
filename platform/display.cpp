// The common part of the display service: mode bookkeeping, the palette and
// the conversion of every presented frame to 32-bit pixels, which the
// backends then show (sdl) or keep and dump (headless).
#include "platform/display.h"

#include <cstring>
#include <vector>

#include "platform/display_backend.h"
#include "platform/sdl_module.h"

namespace {

struct DisplayCommon {
    PlatDisplayMode mode{};
    uint8_t palette[256 * 3]{};
    uint32_t frames = 0;
    std::vector<uint32_t> frame;  // the converted frame
    // Lookup of a 16-bit pixel (or a 15-bit one) to 0x00RRGGBB for the
    // format it was built for.
    std::vector<uint32_t> lut16;
    PlatPixelFormat lutFormat{};
};

DisplayCommon g;

const PlatDisplayBackend* Backend(void) {
    const PlatSdlModule* sdl = plat_SdlModule();
    if (sdl && !plat_IsHeadless()) return sdl->display;
    return &plat_HeadlessDisplay;
}

int Shift(uint32_t mask) {
    if (!mask) return 0;
    int s = 0;
    while (!(mask & 1u)) {
        mask >>= 1;
        s++;
    }
    return s;
}

// One channel of pixel p, scaled to 0..255.
uint32_t Channel(uint32_t p, uint32_t mask) {
    if (!mask) return 0;
    uint32_t max = mask >> Shift(mask);
    return (uint32_t)(((uint64_t)((p & mask) >> Shift(mask)) * 255u + max / 2) / max);
}

uint32_t ToRgb(uint32_t p, const PlatPixelFormat& f) {
    return Channel(p, f.redMask) << 16 | Channel(p, f.greenMask) << 8 | Channel(p, f.blueMask);
}

void BuildLut16(const PlatPixelFormat& f) {
    if (!g.lut16.empty() && g.lutFormat.redMask == f.redMask && g.lutFormat.greenMask == f.greenMask &&
        g.lutFormat.blueMask == f.blueMask)
        return;
    g.lut16.resize(65536);
    for (uint32_t p = 0; p < 65536; p++) g.lut16[p] = ToRgb(p, f);
    g.lutFormat = f;
}

PlatPixelFormat FormatOf(int32_t bits) {
    switch (bits) {
    case 15: return PlatPixelFormat{15, 0x7C00, 0x03E0, 0x001F, 0};
    case 16: return PlatPixelFormat{16, 0xF800, 0x07E0, 0x001F, 0};
    case 24: return PlatPixelFormat{24, 0xFF0000, 0x00FF00, 0x0000FF, 0};
    case 32: return PlatPixelFormat{32, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000};
    default: return PlatPixelFormat{8, 0, 0, 0, 0};
    }
}

}  // namespace

int plat_DisplaySetMode(PlatHwnd window, int32_t width, int32_t height, int32_t bits, int32_t fullScreen,
                        PlatPixelFormat* format) {
    if (width < 1 || height < 1 || width > 16384 || height > 16384) return -1;
    if (bits != 8 && bits != 15 && bits != 16 && bits != 24 && bits != 32) return -1;
    if (Backend()->setMode(window, width, height, bits, fullScreen ? 1 : 0) != 0) return -1;
    g.mode.set = 1;
    g.mode.width = width;
    g.mode.height = height;
    g.mode.fullScreen = fullScreen ? 1 : 0;
    g.mode.format = FormatOf(bits);
    if (format) *format = g.mode.format;
    return 0;
}

void plat_DisplaySetPalette(int32_t first, int32_t count, const uint8_t* rgb) {
    if (!rgb) return;
    for (int32_t i = 0; i < count; i++) {
        int64_t e = (int64_t)first + i;
        if (e < 0 || e > 255) continue;
        memcpy(&g.palette[e * 3], rgb + (size_t)i * 3, 3);
    }
}

int plat_DisplayPresent(const void* pixels, int32_t width, int32_t height, int32_t pitch,
                        const PlatPixelFormat* format) {
    if (!g.mode.set || !pixels || !format || width < 1 || height < 1 || width > 16384 || height > 16384) return -1;
    int32_t bytes;
    switch (format->bits) {
    case 8: bytes = 1; break;
    case 15:
    case 16: bytes = 2; break;
    case 24: bytes = 3; break;
    case 32: bytes = 4; break;
    default: return -1;
    }
    if (pitch < width * bytes) return -1;
    g.frame.resize((size_t)width * (size_t)height);
    const uint8_t* src = (const uint8_t*)pixels;
    uint32_t* out = g.frame.data();
    const PlatPixelFormat f = *format;
    if (bytes == 2) BuildLut16(f);
    bool plain32 = f.redMask == 0xFF0000 && f.greenMask == 0xFF00 && f.blueMask == 0xFF;
    for (int32_t y = 0; y < height; y++, src += pitch, out += width) {
        switch (bytes) {
        case 1:
            for (int32_t x = 0; x < width; x++) {
                const uint8_t* e = &g.palette[src[x] * 3];
                out[x] = (uint32_t)e[0] << 16 | (uint32_t)e[1] << 8 | e[2];
            }
            break;
        case 2:
            for (int32_t x = 0; x < width; x++) out[x] = g.lut16[(uint32_t)src[2 * x] | (uint32_t)src[2 * x + 1] << 8];
            break;
        case 3:
            // Packed pixels, blue byte first.
            for (int32_t x = 0; x < width; x++)
                out[x] = (uint32_t)src[3 * x + 2] << 16 | (uint32_t)src[3 * x + 1] << 8 | src[3 * x];
            break;
        default:
            for (int32_t x = 0; x < width; x++) {
                uint32_t p;
                memcpy(&p, src + 4 * x, 4);
                out[x] = plain32 ? (p & 0xFFFFFF) : ToRgb(p, f);
            }
            break;
        }
    }
    Backend()->present(g.frame.data(), width, height, g.frames);
    g.frames++;
    return 0;
}

void plat_DisplayWaitVerticalBlank(void) { Backend()->waitVerticalBlank(); }

void plat_DisplayRestoreDesktop(void) {
    Backend()->restoreDesktop();
    g.mode = PlatDisplayMode{};
}

void plat_DisplayGetMode(PlatDisplayMode* mode) {
    if (mode) *mode = g.mode;
}

uint32_t plat_DisplayFrameCount(void) { return g.frames; }
