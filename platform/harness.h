// The headless harness: script ticks and frame dumps (see docs/testing.md).
#pragma once
#include <cstdint>

#include "platform/window.h"

// Number of 25 ms game-clock ticks the headless run has fired.
uint32_t plat_HarnessTick(void);
// Called by the timer service after a virtual timer ran.
void plat_HarnessTimerFired(uint32_t intervalMs);
// Forgets the script and virtual time (for tests that run several times).
void plat_HarnessReset(void);
// Bits per pixel the headless desktop reports (32 until set; reset by
// plat_HarnessReset).
void plat_HarnessDesktopDepthSet(int bpp);
// Size the headless desktop reports (1024x768 until set; reset by
// plat_HarnessReset).
void plat_HarnessDesktopSizeSet(int width, int height);
// The last picture painted into a window (plat_WindowPaint): its window
// and size, and its 0x00RRGGBB pixels; null when none was painted since
// the last reset.
const uint32_t* plat_HarnessWindowPicture(PlatHwnd* hwnd, int32_t* width, int32_t* height);
