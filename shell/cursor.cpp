// Cursor routines, used around every message box and by the mouse modes.
#include "shell/cursor.h"

#include "platform/window.h"
#include "shell/mouse.h"
#include "shell/wndproc.h"

void app_CursorShowAll(void) {
    int count = plat_CursorShow(1);
    for (int i = 0; count < 0 && i < 1000; i++) count = plat_CursorShow(1);
    app_MouseTrack.cursorVisible = 1;
}

void app_CursorHideAll(void) {
    int count = plat_CursorShow(0);
    for (int i = 0; count >= 0 && i < 1000; i++) count = plat_CursorShow(0);
    app_MouseTrack.cursorVisible = 0;
}

void app_CursorShowLoop(void) {
    while (plat_CursorShow(1) < 0) {
    }
    app_MouseTrack.cursorVisible = 1;
}

void app_CursorHideLoop(void) {
    while (plat_CursorShow(0) >= 0) {
    }
    app_MouseTrack.cursorVisible = 0;
}

void app_CursorShowOnce(void) { plat_CursorShow(1); }

void app_CursorUnclip(void) { plat_CursorClip(nullptr); }

void app_CursorClipToClient(void) {
    PlatRect client;
    if (plat_WindowGetClientRect(app_MainHwnd, &client) == 0) plat_CursorClip(&client);
}

void app_CursorWarp(int32_t x, int32_t y) {
    int sx = x, sy = y;
    plat_ClientToScreen(app_MainHwnd, &sx, &sy);
    plat_CursorSetPos(sx, sy);
}

void app_CursorLoadSet(const char* name) {
    int shape;
    if (name == APP_CURSOR_NONE)
        shape = PLAT_CURSOR_NONE;
    else if (name == APP_CURSOR_ARROW)
        shape = PLAT_CURSOR_ARROW;
    else if (name == APP_CURSOR_IBEAM)
        shape = PLAT_CURSOR_IBEAM;
    else
        shape = PLAT_CURSOR_OWN;
    plat_CursorSetShape(shape);
}
