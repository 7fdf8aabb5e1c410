// The loading window. Our platform windows have no child controls, so the
// caption and the percentage are shown in the window's title; a headless run
// writes each step to standard error instead.
#include "shell/loadwin.h"

#include <cstdio>
#include <cstring>

#include "platform/timer.h"
#include "shell/appstr.h"
#include "shell/startup.h"
#include "shell/wndproc.h"

AppLoadingState app_Loading = {0, 0, 0, "", "", 0, -1};
float app_LoadingFraction = 0.0f;

namespace {

constexpr int32_t kWidth = 646;
constexpr int32_t kHeight = 32;

void ShowTexts(void) {
    if (!app_Loading.window) return;
    char title[160];
    snprintf(title, sizeof title, "%s  %s", app_Loading.caption, app_Loading.percentText);
    plat_WindowSetTitle(app_Loading.window, title);
}

intptr_t LoadingWndProc(PlatHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    switch (msg) {
    case WM_CREATE:
        app_Loading.window = hwnd;
        app_Loading.open = 1;
        app_LoadingFollowMain();
        app_Loading.caption[0] = 0;
        app_Loading.position = 0;
        return 0;
    case WM_CLOSE:
        plat_WindowDestroy(hwnd);
        return 0;
    case WM_DESTROY:
        plat_PostQuitMessage(0);
        app_Loading.window = 0;
        app_Loading.open = 0;
        app_Loading.lastPercent = -1;
        return 0;
    default: return plat_DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

void app_LoadingFollowMain(void) {
    PlatRect main, own;
    if (!app_Loading.window || plat_WindowGetRect(app_MainHwnd, &main) != 0) return;
    if (plat_WindowGetRect(app_Loading.window, &own) != 0) return;
    int32_t w = own.right - own.left, h = own.bottom - own.top;
    plat_WindowMove(app_Loading.window, main.left, main.bottom - h, w, h);
}

void app_LoadingCaptionSet(const char* text) {
    if (!app_Loading.open || !text) return;
    snprintf(app_Loading.caption, sizeof app_Loading.caption, "%s", text);
    ShowTexts();
}

int32_t app_LoadingOpen(void) {
    // Our window layer has no class registry: the class is the name given
    // with each window.
    app_Loading.classRegistered = 1;
    PlatHwnd hwnd = plat_WindowCreate(APP_LOADING_CLASS, "", kWidth, kHeight, LoadingWndProc, 1);
    if (!hwnd) return -1;
    app_LoadingCaptionSet(app_StringGet(81));
    app_LoadingProgressSet(0);
    plat_WindowShow(hwnd, PLAT_SW_SHOWNORMAL);
    // The main window keeps the keyboard.
    if (app_MainHwnd) plat_WindowRaise(app_MainHwnd);
    return 0;
}

int32_t app_LoadingProgressSet(int32_t percent) {
    if (percent < 0 || percent > 100) {
        if (app_Loading.open) app_LoadingClose();
        return 0;
    }
    if (!app_Loading.open && app_LoadingOpen() != 0) return -1;
    if (percent == app_Loading.lastPercent) return 0;
    app_Loading.lastPercent = percent;
    app_Loading.position = percent;
    snprintf(app_Loading.percentText, sizeof app_Loading.percentText, "%ld%%", (long)percent);
    ShowTexts();
    if (plat_IsHeadless()) fprintf(stderr, "loading: %ld%%\n", (long)percent);
    // Only this window's messages, so that it repaints during long loads.
    PlatMsg m;
    while (app_Loading.window && plat_PeekMessage(&m, app_Loading.window, 0, 0, PM_REMOVE)) {
        plat_TranslateMessage(&m);
        plat_DispatchMessage(&m);
    }
    return 0;
}

void app_LoadingClose(void) {
    PlatHwnd hwnd = app_Loading.window;
    if (!hwnd) return;
    plat_WindowShow(hwnd, PLAT_SW_HIDE);
    plat_PostMessage(hwnd, WM_CLOSE, 0, 0);
    // Until the window's WM_QUIT: its own messages only, so that nothing
    // meant for the main window is taken here.
    for (int guard = 0; guard < 100000; guard++) {
        PlatMsg m;
        if (plat_PeekMessage(&m, hwnd, 0, 0, PM_REMOVE)) {
            plat_TranslateMessage(&m);
            plat_DispatchMessage(&m);
            continue;
        }
        if (!plat_WindowIsValid(hwnd)) {
            // The WM_QUIT its destruction posted.
            plat_PeekMessage(&m, 0, WM_QUIT, WM_QUIT, PM_REMOVE);
            break;
        }
        plat_IdleWait();
    }
    if (plat_IsHeadless()) fprintf(stderr, "loading: closed\n");
}
