// The out-the-window display manager: one display for the whole program,
// mode changes between the software path and the 3D card, window fitting,
// the view window, locking, presenting, and the points where the draw hooks
// (display/hook.h) run. Main thread only.
#pragma once
#include <cstdint>

#include "display/dsurf.h"
#include "display/evp.h"
#include "platform/window.h"

struct DisplayState {
    int32_t windowed;     // also 1 whenever the 3D card is in use
    int32_t extraRows;    // added to the drawing surface's height
    int32_t locked;
    uint8_t* lockedPtr;
    // The screen's descriptor; width, height, bytesPerPixel and hw3d are
    // the current mode.
    _DRAW_SURFACE screen;
};

extern DisplayState otw_State;
// The screen's drawing surface descriptor, selected by otw_LockSurface.
inline _DRAW_SURFACE& otw_ScreenSurface = otw_State.screen;
extern int32_t otw_DisplayOpen;
// Set while the display may not change modes (the windowed toggle is off).
extern int32_t otw_FixedMode;
// The screen's viewport, rebuilt at each change of size or depth.
extern _EVP* otw_DisplayEvp;
// Set by otw_FitWindow: mouse scale factors for the virtual cursor, and the
// client area's top-left corner on the screen (added to client positions).
extern float otw_MouseScaleX, otw_MouseScaleY;
extern int32_t otw_ClientOffsetX, otw_ClientOffsetY;

// Flag bits of otw_SetDisplayMode: which arguments count.
enum : int32_t {
    OTW_MODE_WIDTH = 0x01,
    OTW_MODE_HEIGHT = 0x02,
    OTW_MODE_DEPTH = 0x04,
    OTW_MODE_WINDOWED = 0x08,
    OTW_MODE_USE3D = 0x10,
    OTW_MODE_FORCE = 0x20,  // change even when nothing differs
};
// The lock mask of the software path.
constexpr int32_t OTW_LOCK_MASK_SOFTWARE = 0x10F;

// 0 on success, -1 when the mode is refused.
int32_t otw_OpenDisplay(int32_t width, int32_t height, int32_t bytesPerPixel, int32_t windowed, int32_t use3d);
void otw_CloseDisplay(void);
int32_t otw_SetDisplayMode(int32_t flags, int32_t width, int32_t height, int32_t bytesPerPixel, int32_t windowed,
                           int32_t use3d);
int32_t otw_CheckMode(int32_t width, int32_t height, int32_t bytesPerPixel, int32_t windowed, int32_t use3d);
void otw_FitWindow(PlatHwnd window, int32_t width, int32_t height);
void otw_ClipCursor(void);
void otw_SetViewWindow(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void otw_ResetViewportFull(void);
void otw_ResetViewport(void);
// The locked pixel pointer, 0 when the lock failed.
uint8_t* otw_LockSurface(void);
void otw_UnlockSurface(void);
// Locks when bits meet the lock mask, else unlocks.
void otw_LockIfFlag(int32_t bits);
void otw_ClearScreen(void);
void otw_ClearAllBuffers(void);
void otw_PresentFrame(void);
