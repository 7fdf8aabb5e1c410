// Keyboard, text and mouse events become the window messages the program
// has always received: WM_KEYDOWN/WM_SYSKEYDOWN with virtual-key codes and
// the key bits of lParam, WM_CHAR, WM_MOUSEMOVE and the button messages.
#include "platform/sdl/sdl_events.h"

#include "platform/backend.h"

namespace {

constexpr uint32_t kExt = 0x100;  // flag in the table: an extended key

// Keys by position. Letters and digits are taken from the layout instead
// (SdlKeyToVk), as virtual-key codes follow the layout.
uint32_t ScancodeToVk(SDL_Scancode sc) {
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return VK_F1 + (uint32_t)(sc - SDL_SCANCODE_F1);
    if (sc >= SDL_SCANCODE_F13 && sc <= SDL_SCANCODE_F24) return VK_F1 + 12 + (uint32_t)(sc - SDL_SCANCODE_F13);
    if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) return VK_NUMPAD1 + (uint32_t)(sc - SDL_SCANCODE_KP_1);
    switch (sc) {
    case SDL_SCANCODE_RETURN: return VK_RETURN;
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE: return VK_BACK;
    case SDL_SCANCODE_TAB: return VK_TAB;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
    case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
    case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
    case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH: return VK_OEM_5;
    case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
    case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
    case SDL_SCANCODE_GRAVE: return VK_OEM_3;
    case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
    case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH: return VK_OEM_2;
    case SDL_SCANCODE_NONUSBACKSLASH: return 0xE2;  // the key beside left Shift
    case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
    case SDL_SCANCODE_PRINTSCREEN: return VK_SNAPSHOT | kExt;
    case SDL_SCANCODE_SCROLLLOCK: return VK_SCROLL;
    case SDL_SCANCODE_PAUSE: return VK_PAUSE;
    // The grey navigation keys are extended; the keypad's are not.
    case SDL_SCANCODE_INSERT: return VK_INSERT | kExt;
    case SDL_SCANCODE_HOME: return VK_HOME | kExt;
    case SDL_SCANCODE_PAGEUP: return VK_PRIOR | kExt;
    case SDL_SCANCODE_DELETE: return VK_DELETE | kExt;
    case SDL_SCANCODE_END: return VK_END | kExt;
    case SDL_SCANCODE_PAGEDOWN: return VK_NEXT | kExt;
    case SDL_SCANCODE_RIGHT: return VK_RIGHT | kExt;
    case SDL_SCANCODE_LEFT: return VK_LEFT | kExt;
    case SDL_SCANCODE_DOWN: return VK_DOWN | kExt;
    case SDL_SCANCODE_UP: return VK_UP | kExt;
    case SDL_SCANCODE_NUMLOCKCLEAR: return VK_NUMLOCK | kExt;
    // The program turns Num Lock on at start, so the keypad always gives its
    // number codes.
    case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE | kExt;
    case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
    case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
    case SDL_SCANCODE_KP_PLUS: return VK_ADD;
    case SDL_SCANCODE_KP_ENTER: return VK_RETURN | kExt;
    case SDL_SCANCODE_KP_0: return VK_NUMPAD0;
    case SDL_SCANCODE_KP_PERIOD: return VK_DECIMAL;
    case SDL_SCANCODE_APPLICATION: return VK_APPS | kExt;
    case SDL_SCANCODE_LCTRL: return VK_CONTROL;
    case SDL_SCANCODE_RCTRL: return VK_CONTROL | kExt;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT: return VK_SHIFT;
    case SDL_SCANCODE_LALT: return VK_MENU;
    case SDL_SCANCODE_RALT: return VK_MENU | kExt;
    case SDL_SCANCODE_LGUI: return VK_LWIN | kExt;
    case SDL_SCANCODE_RGUI: return VK_RWIN | kExt;
    default: return 0;
    }
}

uint32_t SdlKeyToVk(const SDL_Keysym& k) {
    SDL_Keycode sym = k.sym;
    bool keypad = k.scancode >= SDL_SCANCODE_KP_DIVIDE && k.scancode <= SDL_SCANCODE_KP_PERIOD;
    if (!keypad) {
        if (sym >= SDLK_a && sym <= SDLK_z) return 'A' + (uint32_t)(sym - SDLK_a);
        if (sym >= SDLK_0 && sym <= SDLK_9) return '0' + (uint32_t)(sym - SDLK_0);
    }
    if (k.scancode >= SDL_SCANCODE_A && k.scancode <= SDL_SCANCODE_Z)
        return 'A' + (uint32_t)(k.scancode - SDL_SCANCODE_A);
    if (k.scancode >= SDL_SCANCODE_1 && k.scancode <= SDL_SCANCODE_9)
        return '1' + (uint32_t)(k.scancode - SDL_SCANCODE_1);
    if (k.scancode == SDL_SCANCODE_0) return '0';
    return ScancodeToVk(k.scancode);
}

// The characters the system's message translation makes from keys that
// give no text: Backspace, Tab, Enter, Escape and Ctrl with a letter.
uint32_t ControlChar(uint32_t vk, uint16_t mod) {
    switch (vk) {
    case VK_BACK: return 8;
    case VK_TAB: return 9;
    case VK_RETURN: return 13;
    case VK_ESCAPE: return 27;
    default: break;
    }
    if ((mod & KMOD_CTRL) && !(mod & KMOD_ALT) && vk >= 'A' && vk <= 'Z') return vk - 'A' + 1;
    return 0;
}

void PostKey(PlatHwnd hwnd, const SDL_KeyboardEvent& e) {
    uint32_t code = SdlKeyToVk(e.keysym);
    if (code == 0) return;
    uint32_t vk = code & 0xFF;
    bool down = e.type == SDL_KEYDOWN;
    uint16_t mod = e.keysym.mod;
    // Keys while Alt is held (and F10) are system keys; with Ctrl too (AltGr)
    // they are not.
    bool alt = (mod & KMOD_ALT) != 0;
    bool sys = (alt && !(mod & KMOD_CTRL)) || vk == VK_F10;
    // The scan-code byte carries the virtual-key code, as the headless
    // script does.
    uint32_t l = 1u | (vk << 16);
    if (code & kExt) l |= KF_EXTENDED_BIT;
    if (alt && sys) l |= KF_ALTDOWN_BIT;
    if (!down) l |= KF_REPEAT_BIT | KF_UP_BIT;
    else if (e.repeat) l |= KF_REPEAT_BIT;
    uint32_t msg = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    plat_PostMessage(hwnd, msg, vk, (intptr_t)(int32_t)l);
    if (down && !sys)
        if (uint32_t c = ControlChar(vk, mod)) plat_PostMessage(hwnd, WM_CHAR, c, (intptr_t)(int32_t)l);
}

// Text arrives as UTF-8; characters 1..255 go on as WM_CHAR (the others
// have no single-byte form).
void PostText(PlatHwnd hwnd, const char* text) {
    const unsigned char* p = (const unsigned char*)text;
    const unsigned char* end = p + SDL_strlen(text);
    while (p < end) {
        uint32_t c = *p;
        int more = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
        if (more < 0 || end - p <= more) return;
        if (more) c &= 0x3F >> more;
        for (int i = 1; i <= more; i++) {
            if ((p[i] & 0xC0) != 0x80) return;
            c = (c << 6) | (p[i] & 0x3F);
        }
        p += more + 1;
        if (c >= 32 && c < 256 && c != 127) plat_PostMessage(hwnd, WM_CHAR, c, 1);
    }
}

uint32_t g_buttons = 0;  // MK_ bits of the buttons held

uintptr_t MouseKeys(void) {
    SDL_Keymod mod = SDL_GetModState();
    uint32_t k = g_buttons;
    if (mod & KMOD_SHIFT) k |= 0x04;
    if (mod & KMOD_CTRL) k |= 0x08;
    return k;
}

}  // namespace

Uint32 sdl_WindowFlags(int visible, int secondary) {
    Uint32 flags = visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
    // The loading window has no frame of its own: the program paints it all.
    if (secondary) flags |= SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_UTILITY | SDL_WINDOW_BORDERLESS;
    return flags;
}

PlatHwnd sdl_FocusOwner(PlatHwnd gained) {
    PlatHwnd main = plat_WindowFirst();
    if (!main || !gained || gained == main) return 0;
    PlatWindow* w = plat_WindowGet(main);
    if (!w || !w->visible || w->minimized) return 0;
    return main;
}

void sdl_EventsInit(void) {
    g_buttons = 0;
    SDL_StartTextInput();
}

void sdl_TranslateInputEvent(const SDL_Event* ev) {
    PlatHwnd hwnd = plat_WindowFirst();
    if (!hwnd) return;
    switch (ev->type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: PostKey(hwnd, ev->key); break;
    case SDL_TEXTINPUT:
        // Alt with a key is a system key, which makes no character.
        if (!(SDL_GetModState() & KMOD_LALT)) PostText(hwnd, ev->text.text);
        break;
    case SDL_MOUSEMOTION:
        plat_PostMessage(hwnd, WM_MOUSEMOVE, MouseKeys(), plat_MakeLParam(ev->motion.x, ev->motion.y));
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        bool down = ev->type == SDL_MOUSEBUTTONDOWN;
        uint32_t mk, msgDown, msgUp;
        switch (ev->button.button) {
        case SDL_BUTTON_LEFT: mk = 0x01, msgDown = WM_LBUTTONDOWN, msgUp = WM_LBUTTONUP; break;
        case SDL_BUTTON_RIGHT: mk = 0x02, msgDown = WM_RBUTTONDOWN, msgUp = WM_RBUTTONUP; break;
        case SDL_BUTTON_MIDDLE: mk = 0x10, msgDown = WM_MBUTTONDOWN, msgUp = WM_MBUTTONUP; break;
        default: return;
        }
        if (down)
            g_buttons |= mk;
        else
            g_buttons &= ~mk;
        plat_PostMessage(hwnd, down ? msgDown : msgUp, MouseKeys(), plat_MakeLParam(ev->button.x, ev->button.y));
        break;
    }
    default: break;
    }
}
