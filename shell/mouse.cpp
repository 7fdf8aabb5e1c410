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

namespace {

// The button messages, from the client area and from outside it: the button,
// whether it went down, the tracking event and the callback's code.
struct ButtonMessage {
    uint32_t msg, nonClient;
    int32_t AppMouseButtons::*button;
    bool down;
    int32_t event, code;
};
constexpr ButtonMessage kButtonMessages[] = {
    {WM_LBUTTONDOWN, WM_NCLBUTTONDOWN, &AppMouseButtons::left, true, APP_MOUSE_EVENT_LEFT_DOWN, APP_MOUSE_LEFT_DOWN},
    {WM_LBUTTONUP, WM_NCLBUTTONUP, &AppMouseButtons::left, false, APP_MOUSE_EVENT_LEFT_UP, APP_MOUSE_LEFT_UP},
    {WM_RBUTTONDOWN, WM_NCRBUTTONDOWN, &AppMouseButtons::right, true, APP_MOUSE_EVENT_RIGHT_DOWN, APP_MOUSE_RIGHT_DOWN},
    {WM_RBUTTONUP, WM_NCRBUTTONUP, &AppMouseButtons::right, false, APP_MOUSE_EVENT_RIGHT_UP, APP_MOUSE_RIGHT_UP},
    {WM_MBUTTONDOWN, WM_NCMBUTTONDOWN, &AppMouseButtons::middle, true, APP_MOUSE_EVENT_MIDDLE_DOWN,
     APP_MOUSE_MIDDLE_DOWN},
    {WM_MBUTTONUP, WM_NCMBUTTONUP, &AppMouseButtons::middle, false, APP_MOUSE_EVENT_MIDDLE_UP, APP_MOUSE_MIDDLE_UP},
};

const ButtonMessage* FindButtonMessage(uint32_t msg) {
    for (const ButtonMessage& b : kButtonMessages)
        if (msg == b.msg || msg == b.nonClient) return &b;
    return nullptr;
}

}  // namespace

void app_MouseTrackUpdate(uint32_t msg, uintptr_t, intptr_t lParam) {
    AppMouseTrack& t = app_MouseTrack;
    if (!t.tracking) return;
    int32_t event = 0;
    if (msg == WM_MOUSEMOVE) {
        t.x = plat_LoWordSigned(lParam);
        t.y = plat_HiWordSigned(lParam);
        event = APP_MOUSE_EVENT_MOVE;
    } else if (const ButtonMessage* b = FindButtonMessage(msg)) {
        t.held.*b->button = b->down ? 1 : 0;
        AppMouseButtons& edge = b->down ? t.pressed : t.released;
        edge.*b->button = 1;
        event = b->event;
    } else {
        return;
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
    const ButtonMessage* b = FindButtonMessage(msg);
    const int32_t code = msg == WM_MOUSEMOVE ? APP_MOUSE_MOVE : b ? b->code : (int32_t)msg;
    if (m.callback && m.mode == 0) return m.callback(code, buttons);
    return code;
}
