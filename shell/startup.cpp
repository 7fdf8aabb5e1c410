// Stand-in start-up until the full one lands: opens the main window, starts
// the clock and runs the main screen's stand-in until the window closes.
#include "shell/startup.h"

#include <cstdio>

#include "platform/harness.h"
#include "platform/window.h"
#include "shell/runner.h"
#include "shell/wndproc.h"

namespace {
int32_t WndMainFrame(void) { return 0; }
const AppStateRecord kWndMain = {nullptr, WndMainFrame, nullptr, nullptr, 0};
}  // namespace

int app_WinMain(int, char**) {
    if (plat_Init() != 0) {
        fprintf(stderr, "krx: no platform backend could start\n");
        return 1;
    }
    app_MainHwnd = plat_WindowCreate("SKARVELCLASS", "KRX", 640, 480, app_MainWndProc, 1);
    if (!app_MainHwnd) return 1;
    app_TimerInterval = 25;
    app_TickIncrement = 1;
    app_TimerStart();
    app_StateChainRun(&kWndMain);
    app_TimerStop();
    if (plat_IsHeadless()) fprintf(stderr, "krx: %u frame steps\n", app_FrameStepCount);
    plat_Shutdown();
    return 0;
}
