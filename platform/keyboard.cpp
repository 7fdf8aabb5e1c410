// The keyboard state service: an in-memory table, with the lock keys taken
// from SDL when the SDL backend has its video up.
#include "platform/keyboard.h"

#include <cstring>

#include "platform/sdl_module.h"
#include "platform/winmsg.h"

namespace {

uint8_t g_state[256];

void SetToggle(uint32_t vk, int on) {
    if (on)
        g_state[vk] |= PLAT_KEY_TOGGLED;
    else
        g_state[vk] &= (uint8_t)~PLAT_KEY_TOGGLED;
}

// Brings the lock entries up to date from the live keyboard, if there is one.
void RefreshLocks(void) {
    const PlatSdlModule* sdl = plat_SdlModule();
    int caps = 0, num = 0, scroll = 0;
    if (sdl && sdl->keyLocksGet(&caps, &num, &scroll) == 0) {
        SetToggle(VK_CAPITAL, caps);
        SetToggle(VK_NUMLOCK, num);
        SetToggle(VK_SCROLL, scroll);
    }
}

}  // namespace

int plat_KeyboardStateGet(uint8_t* state) {
    if (!state) return -1;
    RefreshLocks();
    memcpy(state, g_state, sizeof g_state);
    return 0;
}

int plat_KeyboardStateSet(const uint8_t* state) {
    if (!state) return -1;
    memcpy(g_state, state, sizeof g_state);
    if (const PlatSdlModule* sdl = plat_SdlModule())
        sdl->keyLocksSet(g_state[VK_CAPITAL] & PLAT_KEY_TOGGLED, g_state[VK_NUMLOCK] & PLAT_KEY_TOGGLED,
                         g_state[VK_SCROLL] & PLAT_KEY_TOGGLED);
    return 0;
}

int plat_KeyToggled(uint32_t vk) {
    if (vk > 255) return 0;
    RefreshLocks();
    return (g_state[vk] & PLAT_KEY_TOGGLED) ? 1 : 0;
}

void plat_KeyboardStateReset(void) { memset(g_state, 0, sizeof g_state); }
