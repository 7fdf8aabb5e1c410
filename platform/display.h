// The display service: one screen mode at a time, a 256-entry palette, and
// the presentation of a buffer the program owns and draws itself. The
// program never gets pixels from the system: it hands over whole frames.
//
// sdl: full screen is the desktop-sized window with the frame scaled to fit
// (aspect kept); a windowed mode scales the frame to the window's client
// area. headless: every presented frame is kept in memory as 32-bit pixels
// and, with KRX_FRAMEDUMP=DIR, written to DIR as frame%05d.bmp (every Nth
// frame with KRX_FRAMEDUMP_EVERY=N).
#pragma once
#include <cstdint>

#include "platform/window.h"

// A pixel format: bits per pixel (8, 15, 16, 24 or 32) and the channel masks
// (all zero at 8 bits, where pixels are palette indices).
struct PlatPixelFormat {
    int32_t bits;
    uint32_t redMask, greenMask, blueMask, alphaMask;
};

// Sets a mode of width x height at `bits` (8, 15, 16 or 32; 24 is never
// offered), full screen or in `window`. Fills *format with the mode's pixel
// format: 16 bits are 5-6-5, 15 bits 5-5-5, 32 bits 8-8-8 with alpha in the
// top byte. 0, or -1 when the mode is refused (the previous mode stays).
int plat_DisplaySetMode(PlatHwnd window, int32_t width, int32_t height, int32_t bits, int32_t fullScreen,
                        PlatPixelFormat* format);
// Palette entries used to show 8-bit frames: `count` RGB triples from entry
// `first` (entries outside 0..255 are ignored).
void plat_DisplaySetPalette(int32_t first, int32_t count, const uint8_t* rgb);
// Shows a frame of width x height pixels, `pitch` bytes a row, in `format`
// (any format above, whatever the mode's own is; 8-bit frames go through the
// palette). 0, or -1 when no mode is set or the arguments are unusable.
int plat_DisplayPresent(const void* pixels, int32_t width, int32_t height, int32_t pitch,
                        const PlatPixelFormat* format);
// Waits for the start of the next vertical blank (headless: returns at once).
void plat_DisplayWaitVerticalBlank(void);
// Gives the desktop back: leaves full screen; no mode is set afterwards.
void plat_DisplayRestoreDesktop(void);

// State of the display, for the program and for tests.
struct PlatDisplayMode {
    int32_t set;          // a mode is set
    int32_t width, height;
    int32_t fullScreen;
    PlatPixelFormat format;
};
void plat_DisplayGetMode(PlatDisplayMode* mode);
// Frames presented since start.
uint32_t plat_DisplayFrameCount(void);

// Headless only. The last presented frame as 0x00RRGGBB pixels, width x
// height, rows top to bottom; null when none was presented (or sdl).
const uint32_t* plat_DisplayLastFrame(int32_t* width, int32_t* height);
// Lets a test decide which modes the headless display takes: a mode is
// refused when `refuse` answers nonzero. With a filter set, 24-bit modes are
// offered too (packed 3-byte pixels, blue first). Null: the defaults.
typedef int (*PlatDisplayModeFilter)(int32_t width, int32_t height, int32_t bits, int32_t fullScreen);
void plat_DisplaySetModeFilter(PlatDisplayModeFilter refuse);
// Headless only: vertical blanks waited for since start.
uint32_t plat_DisplayVerticalBlankCount(void);
