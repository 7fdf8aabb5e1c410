// The table of routines each platform backend fills. Internal to platform/.
#pragma once
#include "platform/window.h"

struct PlatBackend {
    const char* name;
    int (*init)(void);
    void (*shutdown)(void);
    // Native side of a window; the common layer keeps the registry.
    int (*windowCreate)(PlatHwnd hwnd, const char* title, int w, int h, int visible);
    void (*windowDestroy)(PlatHwnd hwnd);
    void (*windowSetTitle)(PlatHwnd hwnd, const char* title);
    void (*windowShow)(PlatHwnd hwnd, int cmd);
    void (*windowRaise)(PlatHwnd hwnd);
    void (*windowMove)(PlatHwnd hwnd, int x, int y, int w, int h);
    // Turns pending native events into posted messages (main thread).
    void (*pumpNative)(void);
    // Waits a little for a tick or an event (main thread).
    void (*idleWait)(void);
    void (*sleepMs)(uint32_t ms);
    uint32_t (*timeMs)(void);
    int (*messageBox)(const char* text, const char* title, uint32_t style, int defAnswer);
    // logText: the dialog as one line for the log ("NAME: TEXT").
    int (*dialog)(const PlatDialogSpec* spec, const char* logText);
    void (*desktopSize)(int* w, int* h, int* bpp);
    int (*cursorShow)(int show);
    void (*cursorClip)(const PlatRect* rect);
    void (*cursorGetPos)(int* x, int* y);
    void (*cursorSetPos)(int x, int y);
    void (*cursorSetShape)(int shape);
    void (*mouseCapture)(PlatHwnd hwnd, int on);
    // Timers: whether the common timer code runs them on a thread (real
    // time) or from the idle wait (virtual time).
    int virtualTime;
    // Open-file dialog: the full path of the chosen file into path; 1 when
    // one was chosen, 0 when none (or the desktop offers no dialog).
    int (*fileOpenDialog)(const char* filter, const char* initialDir, char* path, size_t pathSize);
    // A program-drawn picture into a window's client area (see plat_WindowPaint).
    int (*windowPaint)(PlatHwnd hwnd, const uint32_t* pixels, int32_t width, int32_t height);
};

// Walks a dialog filter (description and pattern pairs, each NUL-terminated,
// ended by an empty string): the pair at *pos and moves *pos past it; 0 at
// the end. Reads no further than PLAT_FILTER_MAX bytes.
constexpr size_t PLAT_FILTER_MAX = 4096;
int plat_FilterNext(const char* filter, size_t* pos, const char** description, const char** pattern);

extern const PlatBackend plat_HeadlessBackend;

const PlatBackend* plat_Backend(void);

// Window registry entries shared with the backends.
struct PlatWindow {
    PlatHwnd hwnd;
    char className[64];
    char title[128];
    PlatWndProc proc;
    PlatRect rect;  // outer rectangle in screen coordinates
    int minimized;
    int visible;
    void* native;
};
PlatWindow* plat_WindowGet(PlatHwnd hwnd);
PlatHwnd plat_WindowFirst(void);
// The windows in the registry, at most `max` of them; their count.
int plat_WindowList(PlatHwnd* out, int max);
// The window whose native side is `native`, 0 when none is.
PlatHwnd plat_WindowFromNative(const void* native);

// Virtual-time timer service, used by the headless backend's idle wait:
// runs every timer due at or before `now` and returns the time of the next
// one (UINT64_MAX when none runs).
uint64_t plat_TimerRunDue(uint64_t nowMs);
uint64_t plat_TimerNextDue(void);
