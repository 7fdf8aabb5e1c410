// Stand-in: the least of the window procedure and pump that the runner
// needs (focus, close, destroy, posted routines); the full one replaces it.
#include "shell/wndproc.h"

#include "shell/runner.h"

int32_t app_QuitFlag = 0;
PlatHwnd app_MainHwnd = 0;

intptr_t app_MainWndProc(PlatHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    switch (msg) {
    case WM_DESTROY:
        app_TimerStopAndNotify();
        app_QuitFlag = 1;
        plat_PostQuitMessage(0);
        app_MainHwnd = 0;
        return 0;
    case WM_SETFOCUS: app_FocusFlag.store(1, std::memory_order_release); return 0;
    case WM_KILLFOCUS: app_FocusFlag.store(0, std::memory_order_release); return 0;
    case WM_CLOSE: plat_WindowDestroy(hwnd); return 0;
    default: return plat_DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

void app_PumpMessagesEx(void) {
    if (app_QuitFlag) return;
    PlatMsg m;
    while (plat_PeekMessage(&m, 0, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            app_QuitFlag = 1;
            break;
        }
        plat_TranslateMessage(&m);
        plat_DispatchMessage(&m);
        if (app_QuitFlag) break;
    }
}

int32_t app_PumpMessages(void) {
    PlatMsg m;
    while (plat_PeekMessage(&m, 0, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) return 1;
        plat_TranslateMessage(&m);
        plat_DispatchMessage(&m);
    }
    return 0;
}

void app_MouseReset(void) {}
void app_MouseFramePost(void) {}
