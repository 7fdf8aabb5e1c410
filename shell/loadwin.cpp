// The loading window. Our platform windows have no child controls: the
// window paints its caption, progress bar and percentage itself, in the
// places the controls would take, with the built-in 8x8 text; a headless
// run also writes each step to standard error.
#include "shell/loadwin.h"

#include <cstdio>
#include <cstring>

#include "display/dtext.h"
#include "platform/timer.h"
#include "shell/appstr.h"
#include "shell/startup.h"
#include "shell/wndproc.h"

AppLoadingState app_Loading = {0, 0, 0, "", "", 0, -1};
float app_LoadingFraction = 0.0f;

namespace {

constexpr int32_t kWidth = 646;
constexpr int32_t kHeight = 32;
// The sunken client edge around the client area.
constexpr int32_t kEdge = 2;

constexpr uint32_t kFace = 0xC0C0C0;    // the light-grey brush
constexpr uint32_t kShadow = 0x808080;
constexpr uint32_t kDark = 0x404040;
constexpr uint32_t kLight = 0xFFFFFF;
constexpr uint32_t kText = 0x000000;
constexpr uint32_t kBar = 0x000080;

uint32_t g_picture[kWidth * kHeight];

void Fill(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour) {
    for (int32_t row = y < 0 ? 0 : y; row < y + h && row < kHeight; row++)
        for (int32_t col = x < 0 ? 0 : x; col < x + w && col < kWidth; col++) g_picture[row * kWidth + col] = colour;
}

// A sunken frame one pixel wide: shadow on the top and left, light below
// and right.
void Sunken(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t topLeft, uint32_t bottomRight) {
    Fill(x, y, w, 1, topLeft);
    Fill(x, y, 1, h, topLeft);
    Fill(x, y + h - 1, w, 1, bottomRight);
    Fill(x + w - 1, y, 1, h, bottomRight);
}

// Text in the box (x, y, w, h), vertically centred, left-aligned or
// centred; characters that would cross the box's right edge are left out.
void Text(int32_t x, int32_t y, int32_t w, int32_t h, const char* text, bool centre) {
    int32_t len = (int32_t)strnlen(text, 256);
    if (len > w / DTEXT_CELL) len = w / DTEXT_CELL;
    int32_t penX = centre ? x + (w - len * DTEXT_CELL) / 2 : x;
    int32_t penY = y + (h - DTEXT_CELL) / 2;
    for (int32_t i = 0; i < len; i++, penX += DTEXT_CELL) {
        int32_t ch = (unsigned char)text[i];
        if (ch < DTEXT_FIRST || ch > DTEXT_LAST) continue;
        const uint8_t* glyph = dtext_Glyphs.data() + (ch - DTEXT_FIRST) * 64;
        for (int32_t r = 0; r < DTEXT_CELL; r++)
            for (int32_t c = 0; c < DTEXT_CELL; c++)
                if (glyph[r * 8 + c]) Fill(penX + c, penY + r, 1, 1, kText);
    }
}

// The window's picture: the three controls at their places in the client
// area of width w and height h (the products truncated, as the controls
// were laid out).
void Paint(void) {
    if (!app_Loading.window) return;
    const int32_t w = kWidth - 2 * kEdge, h = kHeight - 2 * kEdge;
    Fill(0, 0, kWidth, kHeight, kFace);
    Sunken(0, 0, kWidth, kHeight, kShadow, kLight);
    Sunken(1, 1, kWidth - 2, kHeight - 2, kDark, kFace);
    const int32_t y = kEdge + (int32_t)(0.05 * h), ch = (int32_t)(0.9 * h);
    Text(kEdge + (int32_t)(0.05 * w), y, (int32_t)(0.2 * w), ch, app_Loading.caption, false);
    // The bar: a thin sunken edge, then blocks up to the position.
    const int32_t bx = kEdge + (int32_t)(0.25 * w), bw = (int32_t)(0.6 * w);
    Sunken(bx, y, bw, ch, kShadow, kLight);
    const int32_t innerW = bw - 4, innerH = ch - 4;
    const int32_t filled = innerW * app_Loading.position / 100;
    const int32_t block = innerH * 2 / 3 > 2 ? innerH * 2 / 3 : 2;
    for (int32_t x = 0; x < filled; x += block + 2)
        Fill(bx + 2 + x, y + 2, x + block <= filled ? block : filled - x, innerH, kBar);
    Text(kEdge + (int32_t)(0.85 * w), y, (int32_t)(0.1 * w), ch, app_Loading.percentText, true);
    plat_WindowPaint(app_Loading.window, g_picture, kWidth, kHeight);
}

intptr_t LoadingWndProc(PlatHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    switch (msg) {
    case WM_CREATE:
        app_Loading.window = hwnd;
        app_Loading.open = 1;
        app_LoadingFollowMain();
        app_Loading.caption[0] = 0;
        app_Loading.percentText[0] = 0;
        app_Loading.position = 0;
        return 0;
    case WM_PAINT:
        Paint();
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
    Paint();
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
    Paint();
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
