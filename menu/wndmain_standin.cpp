// Stand-in until the menus land: a main screen that shows nothing and ends
// on Escape (or when the window closes).
#include <cstddef>

#include "input/ekey.h"
#include "menu/menu.h"
#include "platform/winmsg.h"
#include "shell/loadwin.h"

namespace {

void WndMainEnter(void) {
    // The front end's first entry closes the loading window.
    app_LoadingProgressSet(101);
}

int32_t WndMainFrame(void) {
    if (!ekey_PressedTable[VK_ESCAPE]) return 0;
    app_Runner.nextState = nullptr;
    return 1;
}

}  // namespace

extern __attribute__((weak)) const AppStateRecord WndMain = {WndMainEnter, WndMainFrame, nullptr, nullptr, 0};
__attribute__((weak)) void* mnu_Context = nullptr;

__attribute__((weak)) void mnu_Shutdown(void*) {}
__attribute__((weak)) void mnu_MissionListReset(void) {}
