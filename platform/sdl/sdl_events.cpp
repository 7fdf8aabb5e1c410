// Keyboard, text and mouse events become WM_KEYDOWN/WM_CHAR/WM_MOUSEMOVE...
#include "platform/sdl/sdl_events.h"

#include "platform/backend.h"

void sdl_TranslateInputEvent(const SDL_Event* ev) {
    PlatHwnd hwnd = plat_WindowFirst();
    if (!hwnd) return;
    switch (ev->type) {
    case SDL_MOUSEMOTION:
        plat_PostMessage(hwnd, WM_MOUSEMOVE, 0, plat_MakeLParam(ev->motion.x, ev->motion.y));
        break;
    default:
        break;
    }
}
