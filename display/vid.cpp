// The video layer. The screen's surfaces are memory of our own: the drawing
// surface the program locks and draws into, the primary (what is on the
// screen) and, with page flipping, a back buffer. Presenting copies the
// drawing surface into the primary (converting or doubling where the mode
// asks for it) and hands the primary to the platform display; in a window
// the drawing surface itself (the window's bitmap) is handed over.
#include "display/vid.h"

#include <cstring>
#include <utility>
#include <vector>

#include "base/mem.h"
#include "platform/display.h"
#include "shell/cmdline.h"
#include "shell/wndproc.h"

VideoState vid_State;
VidFrameCounters vid_FrameCounters;

namespace {

struct VidSurface {
    std::vector<uint8_t> pixels;
    int32_t width = 0, height = 0;
    int32_t bytes = 0;  // per pixel
    int32_t pitch = 0;
    int32_t locked = 0;

    bool exists() const { return !pixels.empty(); }
    void make(int32_t w, int32_t h, int32_t rows, int32_t b) {
        width = w;
        height = h;
        bytes = b;
        pitch = w * b;
        locked = 0;
        pixels.assign((size_t)pitch * (size_t)rows, 0);
    }
    void release() { *this = VidSurface{}; }
};

struct Video {
    int32_t up = 0;                // vid_Init ran
    VidSurface primary, back;      // full screen only
    VidSurface drawing;            // off-screen surface, or the window's bitmap
    uint8_t* windowedOtw = nullptr;  // drawing memory of a 24-bit screen
    int32_t windowedOtwBytes = 0;
    PlatPixelFormat screenFormat{};  // of the primary
    PlatPixelFormat dibFormat{};     // of the window's bitmap
    uint8_t gdiPalette[768]{};       // the window's palette
    uint8_t dibColours[768]{};       // the bitmap's colour table
    uint8_t ddPalette[768]{};        // the full-screen palette
    int32_t ddPaletteMade = 0;
    PlatRect savedRect{};
    int32_t savedRectValid = 0;
    int32_t lastWindowed = 1;        // the windowed flag of the last mode set
    void (*present)(void) = nullptr;
};

Video g;

int32_t BytesOf(int32_t bits) { return bits == 24 ? 3 : bits / 8; }

void FreeWindowedOtw(void) {
    if (g.windowedOtw) mem_GlobalFreeNamed(g.windowedOtw);
    g.windowedOtw = nullptr;
    g.windowedOtwBytes = 0;
}

void ReleaseSurfaces(void) {
    g.primary.release();
    g.back.release();
    g.drawing.release();
    FreeWindowedOtw();
}

// Pixels of the drawing surface and its pitch, wherever it lives.
uint8_t* DrawingPixels(int32_t* pitch) {
    if (g.windowedOtw) {
        *pitch = vid_State.surfaceWidth * 4;
        return g.windowedOtw;
    }
    *pitch = g.drawing.pitch;
    return g.drawing.exists() ? g.drawing.pixels.data() : nullptr;
}

void ShowPrimary(void) {
    if (!g.primary.exists()) return;
    plat_DisplayPresent(g.primary.pixels.data(), g.primary.width, g.primary.height, g.primary.pitch,
                        &g.screenFormat);
}

int32_t Min(int32_t a, int32_t b) { return a < b ? a : b; }

// Copy of the drawing surface into the back buffer and a flip, or straight
// into the primary.
void PresentBlit(void) {
    int32_t pitch = 0;
    const uint8_t* src = DrawingPixels(&pitch);
    VidSurface& dst = vid_State.flipChain && g.back.exists() ? g.back : g.primary;
    if (!src || !dst.exists()) return;
    int32_t rows = Min(vid_State.surfaceHeight, dst.height);
    int32_t bytes = Min(vid_State.surfaceWidth, dst.width) * dst.bytes;
    for (int32_t y = 0; y < rows; y++)
        memcpy(&dst.pixels[(size_t)y * dst.pitch], src + (size_t)y * pitch, (size_t)bytes);
    if (&dst == &g.back) std::swap(g.primary.pixels, g.back.pixels);
    ShowPrimary();
}

// 32-bit drawing memory repacked into the 24-bit primary.
void Present24(void) {
    int32_t pitch = 0;
    const uint8_t* src = DrawingPixels(&pitch);
    if (!src || !g.primary.exists()) return;
    int32_t rows = Min(vid_State.surfaceHeight, g.primary.height);
    int32_t cols = Min(vid_State.surfaceWidth, g.primary.width);
    for (int32_t y = 0; y < rows; y++) {
        const uint8_t* s = src + (size_t)y * pitch;
        uint8_t* d = &g.primary.pixels[(size_t)y * g.primary.pitch];
        for (int32_t x = 0; x < cols; x++) memcpy(d + 3 * x, s + 4 * x, 3);
    }
    ShowPrimary();
}

// A 320-wide surface shown in a 640x480 mode: every pixel doubled in both
// directions. On a 24-bit screen the drawing memory keeps 4-byte pixels
// while the primary takes 3, so each side steps by its own size.
void PresentDoubled(void) {
    int32_t pitch = 0;
    const uint8_t* src = DrawingPixels(&pitch);
    if (!src || !g.primary.exists()) return;
    int32_t b = g.primary.bytes;
    int32_t sb = g.windowedOtw ? 4 : g.drawing.bytes;
    if (sb < b) return;
    int32_t rows = Min(vid_State.surfaceHeight, g.primary.height / 2);
    int32_t cols = Min(vid_State.surfaceWidth, g.primary.width / 2);
    for (int32_t y = 0; y < rows; y++) {
        const uint8_t* s = src + (size_t)y * pitch;
        uint8_t* d0 = &g.primary.pixels[(size_t)(2 * y) * g.primary.pitch];
        uint8_t* d1 = d0 + g.primary.pitch;
        for (int32_t x = 0; x < cols; x++) {
            memcpy(d0 + (2 * x) * b, s + x * sb, (size_t)b);
            memcpy(d0 + (2 * x + 1) * b, s + x * sb, (size_t)b);
        }
        memcpy(d1, d0, (size_t)cols * 2 * b);
    }
    ShowPrimary();
}

// The window's bitmap through its own colour table.
void PresentWindowed(void) {
    if (!g.drawing.exists()) return;
    if (g.dibFormat.bits == 8) plat_DisplaySetPalette(0, 256, g.dibColours);
    plat_DisplayPresent(g.drawing.pixels.data(), vid_State.modeWidth, vid_State.modeHeight, g.drawing.pitch,
                        &g.dibFormat);
}

void GreyPalette(uint8_t* rgb) {
    for (int i = 0; i < 256; i++) rgb[3 * i] = rgb[3 * i + 1] = rgb[3 * i + 2] = (uint8_t)i;
    rgb[0] = rgb[1] = rgb[2] = 0;
    rgb[765] = rgb[766] = rgb[767] = 255;
}

// The window's palette: black, a grey ramp, white.
void CreateGdiPalette(void) {
    GreyPalette(g.gdiPalette);
    memcpy(g.dibColours, g.gdiPalette, sizeof g.dibColours);
    memcpy(g.ddPalette, g.gdiPalette, sizeof g.ddPalette);
    plat_DisplaySetPalette(0, 256, g.gdiPalette);
}

void LoadEntries(const uint8_t* rgb, int32_t level) {
    for (int i = 1; i < 255; i++)
        for (int c = 0; c < 3; c++) {
            int32_t v = rgb[3 * i + c];
            if (level != 256) {
                v = (int32_t)((int64_t)v * level / 256);
                v = v < 0 ? 0 : v > 255 ? 255 : v;
            }
            g.gdiPalette[3 * i + c] = g.dibColours[3 * i + c] = g.ddPalette[3 * i + c] = (uint8_t)v;
        }
    for (uint8_t* p : {g.gdiPalette, g.dibColours, g.ddPalette}) {
        p[0] = p[1] = p[2] = 0;
        p[765] = p[766] = p[767] = 255;
    }
}

int32_t SetWindowedMode(int32_t width, int32_t height, int32_t surfaceHeight) {
    int32_t bits = vid_State.bitsPerPixel;
    if (!g.lastWindowed && (g.primary.exists() || g.drawing.exists())) {
        plat_DisplayRestoreDesktop();
        g.primary.release();
        g.back.release();
        g.drawing.release();
        if (g.savedRectValid && app_MainHwnd)
            plat_WindowMove(app_MainHwnd, g.savedRect.left, g.savedRect.top, g.savedRect.right - g.savedRect.left,
                            g.savedRect.bottom - g.savedRect.top);
    }
    PlatPixelFormat platform{};
    if (plat_DisplaySetMode(app_MainHwnd, width, height, bits, 0, &platform) != 0) return -1;
    // The window's bitmap: mode size, rows top-down; extra surface rows
    // asked for below the picture get room too.
    g.drawing.release();
    FreeWindowedOtw();
    g.drawing.make(width, height, surfaceHeight > height ? surfaceHeight : height, BytesOf(bits));
    g.dibFormat = PlatPixelFormat{bits, 0, 0, 0, 0};
    if (bits == 16) {
        g.dibFormat = PlatPixelFormat{16, 0x7C00, 0x03E0, 0x001F, 0};
        vid_State.redMask = 0x7C00;
        vid_State.greenMask = 0x03E0;
        vid_State.blueMask = 0x001F;
        vid_State.alphaMask = 0;
    } else if (bits == 32) {
        g.dibFormat = PlatPixelFormat{32, 0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000};
        vid_State.redMask = 0xFF0000;
        vid_State.greenMask = 0x00FF00;
        vid_State.blueMask = 0x0000FF;
        vid_State.alphaMask = 0xFF000000;
    }
    vid_State.display24 = 0;
    g.present = PresentWindowed;
    app_MouseRelease();
    return 0;
}

int32_t SetFullScreenMode(int32_t width, int32_t height, int32_t surfaceWidth, int32_t surfaceHeight) {
    int32_t bits = vid_State.bitsPerPixel;
    if (g.lastWindowed && app_MainHwnd && plat_WindowGetRect(app_MainHwnd, &g.savedRect) == 0) g.savedRectValid = 1;
    ReleaseSurfaces();
    // With the WINDOW command word a full-screen mode is shown in the
    // window; the program still runs it as full screen.
    int32_t fullScreen = app_StartupOptions & APP_OPTION_WINDOW ? 0 : 1;
    PlatPixelFormat format{};
    vid_State.display24 = 0;
    int32_t screenBits = bits;
    if (bits == 32 && plat_DisplaySetMode(app_MainHwnd, width, height, 24, fullScreen, &format) == 0) {
        // A 24-bit screen: drawing stays 32-bit, the present repacks.
        vid_State.display24 = 1;
        vid_State.flipChain = 0;
        screenBits = 24;
    } else if (plat_DisplaySetMode(app_MainHwnd, width, height, bits, fullScreen, &format) != 0) {
        return -1;
    }
    g.screenFormat = format;
    int32_t screenBytes = BytesOf(screenBits);
    g.primary.make(width, height, height, screenBytes);
    if (vid_State.flipChain) g.back.make(width, height, height, screenBytes);
    vid_State.primaryPitch = g.primary.pitch;
    vid_State.modeX = 0;
    if (vid_State.display24) {
        vid_State.redMask = 0xFF0000;
        vid_State.greenMask = 0x00FF00;
        vid_State.blueMask = 0x0000FF;
        vid_State.alphaMask = 0xFF000000;
        int64_t size = (int64_t)surfaceWidth * surfaceHeight * 4;
        g.windowedOtw = (uint8_t*)mem_GlobalAllocNamed("Windowed OTW", (int32_t)size);
        if (!g.windowedOtw) {
            ReleaseSurfaces();
            return -1;
        }
        g.windowedOtwBytes = (int32_t)size;
    } else {
        if (bits > 8) {
            vid_State.redMask = format.redMask;
            vid_State.greenMask = format.greenMask;
            vid_State.blueMask = format.blueMask;
            vid_State.alphaMask = format.alphaMask;
        }
        g.drawing.make(surfaceWidth, surfaceHeight, surfaceHeight, BytesOf(bits));
    }
    if (bits == 8) {
        // One palette for the whole full-screen life, set on every surface.
        if (!g.ddPaletteMade) g.ddPaletteMade = 1;
        plat_DisplaySetPalette(0, 256, g.ddPalette);
    }
    vid_State.destLeft = vid_State.srcLeft = 0;
    vid_State.destTop = vid_State.srcTop = 0;
    vid_State.destRight = vid_State.srcRight = width;
    vid_State.destBottom = vid_State.srcBottom = height;
    app_MouseCapture();
    // No ModeX here: the blit serves 320x240 as well. A 24-bit screen has
    // no off-screen surface to blit from, so it repacks at every size.
    g.present = vid_State.display24 ? Present24 : PresentBlit;
    return 0;
}

int32_t SetModeFallback(int32_t width, int32_t height, int32_t surfaceWidth, int32_t surfaceHeight) {
    int32_t r = vid_SetMode(width, height, surfaceWidth, surfaceHeight);
    if (r != 0 && width == 320 && !vid_State.windowed && vid_State.fallbackAllowed) {
        r = vid_SetMode(640, 480, surfaceWidth, surfaceHeight);
        if (r == 0) g.present = PresentDoubled;
    }
    return r;
}

}  // namespace

void vid_Init(void) {
    ReleaseSurfaces();
    g = Video{};
    memset(&vid_State, 0, sizeof vid_State);
    CreateGdiPalette();
    g.up = 1;
    vid_State.fallbackAllowed = 1;
    vid_State.bitsPerPixel = 8;
}

int32_t vid_SetMode(int32_t width, int32_t height, int32_t surfaceWidth, int32_t surfaceHeight) {
    int32_t bits = vid_State.bitsPerPixel;
    if (!g.up || (bits != 8 && bits != 16 && bits != 32)) return -1;
    if (width < 1 || height < 1 || surfaceWidth < 1 || surfaceHeight < 1) return -1;
    int64_t most = (int64_t)(width > surfaceWidth ? width : surfaceWidth) *
                   (height > surfaceHeight ? height : surfaceHeight) * 4;
    if (most > INT32_MAX) return -1;
    int32_t windowed = vid_State.windowed ? 1 : 0;
    vid_State.modeWidth = width;
    vid_State.modeHeight = height;
    vid_State.surfaceWidth = surfaceWidth;
    vid_State.surfaceHeight = surfaceHeight;
    int32_t r = windowed ? SetWindowedMode(width, height, surfaceHeight)
                         : SetFullScreenMode(width, height, surfaceWidth, surfaceHeight);
    if (r != 0) {
        g.present = nullptr;
        vid_State.modeSetDone = 0;
        return -1;
    }
    vid_State.modeSetDone = 1;
    g.lastWindowed = windowed;
    return 0;
}

int32_t vid_SetModeWithFallback(int32_t width, int32_t height) {
    return SetModeFallback(width, height, width, height);
}

int32_t vid_SetWindowedAndMode(int32_t width, int32_t height, int32_t windowed) {
    vid_State.windowed = windowed ? 1 : 0;
    return vid_SetModeWithFallback(width, height);
}

int32_t vid_SetModeAndSurface(int32_t width, int32_t height, int32_t windowed, int32_t surfaceWidth,
                              int32_t surfaceHeight) {
    vid_State.windowed = windowed ? 1 : 0;
    return SetModeFallback(width, height, surfaceWidth, surfaceHeight);
}

uint8_t* vid_LockBackBuffer(void) {
    int32_t pitch = 0;
    if (vid_State.windowed || vid_State.display24) return DrawingPixels(&pitch);
    if (!g.drawing.exists() || g.drawing.locked) return nullptr;
    g.drawing.locked = 1;
    return g.drawing.pixels.data();
}

void vid_UnlockBackBuffer(void) {
    if (vid_State.windowed || vid_State.display24) return;
    g.drawing.locked = 0;
}

uint8_t* vid_LockPrimary(void) {
    if (vid_State.windowed || !g.primary.exists() || g.primary.locked) return nullptr;
    g.primary.locked = 1;
    vid_State.primaryPitch = g.primary.pitch;
    return g.primary.pixels.data();
}

void vid_UnlockPrimary(void) {
    if (!g.primary.locked) return;
    g.primary.locked = 0;
    // What was drawn on the primary is on the screen at once.
    ShowPrimary();
}

void vid_Flip(void) {
    if (!g.up || !vid_State.modeSetDone || !g.present) return;
    if (vid_State.preFlip) vid_State.preFlip(vid_State.modeWidth, vid_State.modeHeight);
    g.present();
    if (vid_State.postFlip) vid_State.postFlip(vid_State.modeWidth, vid_State.modeHeight);
    vid_FrameCounters = VidFrameCounters{};
}

void vid_WaitVerticalBlank(void) {
    if (!vid_State.windowed) plat_DisplayWaitVerticalBlank();
}

void vid_SetPreFlipCallback(VidFlipCallback callback) { vid_State.preFlip = callback; }
void vid_SetPostFlipCallback(VidFlipCallback callback) { vid_State.postFlip = callback; }
void vid_SetModeOption(int32_t flag) { vid_State.flipChain = flag; }
void vid_SetPixelDepth(int32_t bits) { vid_State.bitsPerPixel = bits; }

void vid_LoadPaletteEntries(const uint8_t* rgb768) {
    if (rgb768) LoadEntries(rgb768, 256);
}

void vid_SetFadedPalette(const uint8_t* rgb768, int32_t level) {
    if (rgb768) LoadEntries(rgb768, level);
}

void vid_RealizePalette(void) {
    if (vid_State.bitsPerPixel != 8) return;
    plat_DisplaySetPalette(0, 256, vid_State.windowed ? g.gdiPalette : g.ddPalette);
}

void vid_SetPalette(const uint8_t* rgb768) {
    vid_LoadPaletteEntries(rgb768);
    vid_RealizePalette();
}

void vid_RestoreDesktop(void) { plat_DisplayRestoreDesktop(); }
