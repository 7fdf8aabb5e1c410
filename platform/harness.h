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
// Headless audio (pulled every 4 ticks of the game clock while a device is
// open and started; KRX_AUDIODUMP=FILE writes everything pulled as a WAV).
// Pulls one block of 2205 frames now and copies at most maxFrames of it to
// `copy` (may be null); the frames pulled, 0 when no device is playing.
int32_t plat_HarnessAudioStep(int16_t* copy, int32_t maxFrames);
// Frames pulled since the device opened.
uint32_t plat_HarnessAudioFrames(void);
// 1: the headless device reports itself as only emulating output (as SDL's
// dummy driver does); stays until set back to 0.
void plat_HarnessAudioEmulatedSet(int32_t emulated);
// The last picture painted into a window (plat_WindowPaint): its window
// and size, and its 0x00RRGGBB pixels; null when none was painted since
// the last reset.
const uint32_t* plat_HarnessWindowPicture(PlatHwnd* hwnd, int32_t* width, int32_t* height);

// Other programs' top-level windows of a headless run, opened and closed
// by the script (`toplevel TITLE`, `toplevelclose TITLE`): the title of
// slot i (0..PLAT_FOREIGN_WINDOWS-1), or null when the slot is empty.
constexpr int PLAT_FOREIGN_WINDOWS = 8;
constexpr int PLAT_TITLE_MAX = 256;
const char* plat_HarnessToplevelGet(int slot);
// Opens (adds) or closes (removes) such a window now, as the script does.
int plat_HarnessToplevelOpen(const char* title);
void plat_HarnessToplevelClose(const char* title);
