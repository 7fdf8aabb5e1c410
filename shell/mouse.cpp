// Mouse message state, callback translation and the tracking record.
#include "shell/mouse.h"

#include <cstring>

#include "display/otw.h"
#include "platform/window.h"
#include "shell/cursor.h"
#include "shell/wndproc.h"

AppMouseState app_MouseState;
AppMouseTrack app_MouseTrack;

void app_MouseHookSet(AppMouseHook callback) { app_MouseState.callback = callback; }
void app_MouseModeSet(int32_t value) { app_MouseState.mode = value; }

void app_MouseReset(void) {
    AppMouseTrack& t = app_MouseTrack;
    t.held = AppMouseButtons{};
    t.pressed = AppMouseButtons{};
    t.released = AppMouseButtons{};
    t.x = 0;
    t.y = 0;
}

void app_MouseFramePost(void) {
    AppMouseTrack& t = app_MouseTrack;
    t.pressed = AppMouseButtons{};
    t.released = AppMouseButtons{};
    t.dirLeft = t.dirRight = t.dirUp = t.dirDown = 0;
    if (t.centring) app_CursorWarp(t.centreX, t.centreY);
}

void app_MousePoll(void) {
    AppMouseTrack& t = app_MouseTrack;
    if (!t.tracking) return;
    int x = 0, y = 0;
    plat_CursorGetPos(&x, &y);
    plat_ScreenToClient(app_MainHwnd, &x, &y);
    t.x = x;
    t.y = y;
    if (t.centring) {
        int32_t w = otw_ScreenSurface.width, h = otw_ScreenSurface.height;
        if (x < w / 2) t.dirLeft = 1;
        if (x > w / 2) t.dirRight = 1;
        if (y < h / 2) t.dirUp = 1;
        if (y > h / 2) t.dirDown = 1;
    }
}

void app_MouseTrackUpdate(uint32_t msg, uintptr_t, intptr_t lParam) {
    AppMouseTrack& t = app_MouseTrack;
    if (!t.tracking) return;
    int32_t event = 0;
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
        t.held.left = 1;
        t.pressed.left = 1;
        event = APP_MOUSE_EVENT_LEFT_DOWN;
        break;
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP:
        t.held.left = 0;
        t.released.left = 1;
        event = APP_MOUSE_EVENT_LEFT_UP;
        break;
    case WM_RBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
        t.held.right = 1;
        t.pressed.right = 1;
        event = APP_MOUSE_EVENT_RIGHT_DOWN;
        break;
    case WM_RBUTTONUP:
    case WM_NCRBUTTONUP:
        t.held.right = 0;
        t.released.right = 1;
        event = APP_MOUSE_EVENT_RIGHT_UP;
        break;
    case WM_MBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        t.held.middle = 1;
        t.pressed.middle = 1;
        event = APP_MOUSE_EVENT_MIDDLE_DOWN;
        break;
    case WM_MBUTTONUP:
    case WM_NCMBUTTONUP:
        t.held.middle = 0;
        t.released.middle = 1;
        event = APP_MOUSE_EVENT_MIDDLE_UP;
        break;
    case WM_MOUSEMOVE:
        t.x = plat_LoWordSigned(lParam);
        t.y = plat_HiWordSigned(lParam);
        event = APP_MOUSE_EVENT_MOVE;
        break;
    default: return;
    }
    if (t.event) t.event(event);
}

int32_t app_MouseTranslate(int32_t buttons, intptr_t lParam, uint32_t msg, int32_t client) {
    AppMouseState& m = app_MouseState;
    m.buttons = buttons;
    if (client) {
        m.x = plat_LoWordSigned(lParam);
        m.y = plat_HiWordSigned(lParam);
        m.absX = m.x + otw_ClientOffsetX;
        m.absY = m.y + otw_ClientOffsetY;
    }
    int32_t code;
    switch (msg) {
    case WM_MOUSEMOVE: code = APP_MOUSE_MOVE; break;
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN: code = APP_MOUSE_LEFT_DOWN; break;
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP: code = APP_MOUSE_LEFT_UP; break;
    case WM_RBUTTONDOWN:
    case WM_NCRBUTTONDOWN: code = APP_MOUSE_RIGHT_DOWN; break;
    case WM_RBUTTONUP:
    case WM_NCRBUTTONUP: code = APP_MOUSE_RIGHT_UP; break;
    case WM_MBUTTONDOWN:
    case WM_NCMBUTTONDOWN: code = APP_MOUSE_MIDDLE_DOWN; break;
    case WM_MBUTTONUP:
    case WM_NCMBUTTONUP: code = APP_MOUSE_MIDDLE_UP; break;
    default: code = (int32_t)msg; break;
    }
    if (m.callback && m.mode == 0) return m.callback(code, buttons);
    return code;
}
