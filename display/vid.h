// The video layer: the screen mode, the program-owned surfaces (primary,
// back buffer, drawing surface), the 8-bit palette and the present routines.
// Every surface is memory of our own; presenting hands the finished frame to
// the platform display service. With the WINDOW command word (option bit
// 0x200000) full-screen modes are shown in the window.
#pragma once
#include <cstdint>

typedef void (*VidFlipCallback)(int32_t width, int32_t height);

struct VideoState {
    int32_t modeWidth, modeHeight;
    int32_t surfaceWidth, surfaceHeight;
    int32_t windowed;
    int32_t destLeft, destTop, destRight, destBottom;
    int32_t srcLeft, srcTop, srcRight, srcBottom;
    int32_t modeX;            // never set: we have no ModeX present
    int32_t primaryPitch;     // bytes
    int32_t modeSetDone;
    int32_t fallbackAllowed;  // 640x480 fallback of 320-wide modes; 1 after vid_Init
    VidFlipCallback preFlip;
    VidFlipCallback postFlip;
    int32_t flipChain;
    int32_t bitsPerPixel;     // 8 after vid_Init
    // The program's current pixel format; the palette tables, the fonts and
    // the 3D-card binding read and write these four words.
    uint32_t redMask, greenMask, blueMask, alphaMask;
    int32_t display24;        // the screen runs at 24 bits, drawing at 32
};

extern VideoState vid_State;

// What the frame being drawn has cost so far: every blit adds its source
// bytes, every string drawn adds one text. Cleared once the frame is shown.
struct VidFrameCounters {
    uint32_t bytes;
    uint32_t texts;
};
extern VidFrameCounters vid_FrameCounters;

void vid_Init(void);
// Set modes; 0, or -1 when refused. The first three first store the
// windowed flag (or keep it) and fall back to 640x480 with doubled pixels
// when a 320-wide full-screen mode is refused.
int32_t vid_SetModeWithFallback(int32_t width, int32_t height);
int32_t vid_SetWindowedAndMode(int32_t width, int32_t height, int32_t windowed);
int32_t vid_SetModeAndSurface(int32_t width, int32_t height, int32_t windowed, int32_t surfaceWidth,
                              int32_t surfaceHeight);
int32_t vid_SetMode(int32_t width, int32_t height, int32_t surfaceWidth, int32_t surfaceHeight);

// The drawing surface: its pixels, or null (no surface, or already locked).
uint8_t* vid_LockBackBuffer(void);
void vid_UnlockBackBuffer(void);
// The primary (full screen only; null in a window). Unlocking shows it.
uint8_t* vid_LockPrimary(void);
void vid_UnlockPrimary(void);
// Presents the drawing surface, with the pre- and post-flip callbacks, then
// clears the frame counters (the callbacks still see them).
void vid_Flip(void);
void vid_WaitVerticalBlank(void);
void vid_SetPreFlipCallback(VidFlipCallback callback);
void vid_SetPostFlipCallback(VidFlipCallback callback);
// The flip-chain flag (the PAGE_FLIPPING setting).
void vid_SetModeOption(int32_t flag);
void vid_SetPixelDepth(int32_t bits);

// 8-bit palette: 768 bytes of RGB; entry 0 stays black and 255 white.
void vid_LoadPaletteEntries(const uint8_t* rgb768);
void vid_SetFadedPalette(const uint8_t* rgb768, int32_t level);  // level / 256
void vid_RealizePalette(void);
void vid_SetPalette(const uint8_t* rgb768);

void vid_RestoreDesktop(void);
