// Stand-in until the menus land: a main screen that shows a plain backdrop
// and ends on Escape (or when the window closes).
#include <cstddef>

#include "display/draw_fill.h"
#include "display/dsurf.h"
#include "display/otw.h"
#include "display/pal.h"
#include "display/pal_hicolor.h"
#include "input/ekey.h"
#include "menu/launch.h"
#include "menu/menu.h"
#include "platform/winmsg.h"
#include "shell/loadwin.h"

namespace {

void WndMainEnter(void) {
    // The front end's first entry closes the loading window.
    app_LoadingProgressSet(101);
}

int32_t WndMainFrame(void) {
    if (mnu_LaunchFromEnvironment()) return 1;
    if (!ekey_PressedTable[VK_ESCAPE]) return 0;
    app_Runner.nextState = nullptr;
    return 1;
}

// A colour as a raw pixel of the screen's depth.
int32_t ScreenValue(int32_t r, int32_t g, int32_t b) {
    switch (draw_CurrentSurface.bytesPerPixel) {
    case 1: return pal_NearestIndex(r, g, b);
    case 2: pal_DeriveSurfaceMasks(); return pal_RgbTo16(r, g, b);
    default: return r << 16 | g << 8 | b;
    }
}

// A frame drawn the way every screen draws: lock, draw, unlock, present.
void WndMainDraw(void) {
    if (!otw_LockSurface()) return;
    int32_t w = draw_CurrentSurface.width, h = draw_CurrentSurface.height;
    draw_SetBlitDest(draw_CurrentSurface.base, w);
    draw_FillRectC(0, 0, w, h, ScreenValue(16, 32, 72));
    draw_FillRectC(w / 8, h / 3, w * 3 / 4, h / 3, ScreenValue(96, 112, 136));
    draw_FillRectC(w / 8 + 4, h / 3 + 4, w * 3 / 4 - 8, h / 3 - 8, ScreenValue(40, 56, 88));
    otw_UnlockSurface();
    otw_PresentFrame();
}

}  // namespace

extern __attribute__((weak)) const AppStateRecord WndMain = {WndMainEnter, WndMainFrame, WndMainDraw, nullptr, 0};
__attribute__((weak)) void mnu_MissionListReset(void) {}
// Leaves the main menu, and with it the program.
__attribute__((weak)) void cbExit(int32_t) { app_Runner.nextState = nullptr; }
