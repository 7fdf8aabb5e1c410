// The table of routines each backend of the display service fills.
// Internal to platform/.
#pragma once
#include <cstdint>

#include "platform/display.h"

struct PlatDisplayBackend {
    // The native side of a mode; bits are 8, 15, 16, 24 or 32. 0 or -1.
    int (*setMode)(PlatHwnd window, int32_t width, int32_t height, int32_t bits, int32_t fullScreen);
    // Shows a frame of 0x00RRGGBB pixels; `index` counts frames from 0.
    void (*present)(const uint32_t* pixels, int32_t width, int32_t height, uint32_t index);
    void (*waitVerticalBlank)(void);
    void (*restoreDesktop)(void);
};

extern const PlatDisplayBackend plat_HeadlessDisplay;
