// Key-down table and key queue, filled by the main window procedure.
#include "shell/keyqueue.h"

#include <cstring>

#include "input/ekey.h"
#include "platform/winmsg.h"

AppKeyMessageState app_KeyState;

namespace {

int TableIndex(uint32_t vk, bool extended) { return (int)(vk & 0x7F) + (extended ? 128 : 0); }

void MarkDown(uint32_t vk, bool extended, uint8_t value) {
    app_KeyState.downTable[TableIndex(vk, extended)] = value;
    // Right Control also counts as Control for the modifier word.
    if (extended && vk == VK_CONTROL) app_KeyState.downTable[VK_CONTROL] = value;
}

}  // namespace

uint32_t app_KeyQueuePop(void) {
    AppKeyMessageState& k = app_KeyState;
    if (k.readIndex == k.writeIndex) return 0;
    uint32_t entry = k.queue[k.readIndex];
    k.readIndex = (k.readIndex + 1) % APP_KEY_QUEUE_SIZE;
    return entry;
}

void app_KeyQueueClear(void) {
    app_KeyState.readIndex = 0;
    app_KeyState.writeIndex = 0;
}

void app_KeyStateWordSet(int32_t value) { app_KeyState.queueOff = value; }

void app_KeyStateClear(void) { memset(&app_KeyState, 0, sizeof app_KeyState); }

void app_KeyDownClear(void) {
    memset(app_KeyState.downTable, 0, sizeof app_KeyState.downTable);
    memset(app_KeyState.heldKeys, 0, sizeof app_KeyState.heldKeys);
}

void app_KeyMessageDown(uintptr_t wParam, intptr_t lParam) {
    AppKeyMessageState& k = app_KeyState;
    uint32_t vk = (uint32_t)(wParam & 0xFF);
    bool extended = ((uint32_t)lParam & KF_EXTENDED_BIT) != 0;
    ekey_KeyDown((int32_t)vk, (uint32_t)lParam);
    k.heldKeys[vk] = 1;
    MarkDown(vk, extended, 1);
    if (k.queueOff) return;
    int next = (k.writeIndex + 1) % APP_KEY_QUEUE_SIZE;
    if (next == k.readIndex) {
        // Full: keep the keys already waiting and drop this one, so the
        // queue never wraps onto itself and reads as empty.
        k.lastEntry = nullptr;
        return;
    }
    uint32_t mods = 0;
    if (k.downTable[VK_CONTROL]) mods += APP_KEY_MOD_CONTROL;
    if (k.downTable[VK_SHIFT]) mods += APP_KEY_MOD_SHIFT;
    if (extended) mods += APP_KEY_MOD_EXTENDED;
    uint32_t* entry = &k.queue[k.writeIndex];
    *entry = vk | (mods << 16);
    k.lastEntry = entry;
    k.writeIndex = next;
}

void app_KeyMessageUp(uintptr_t wParam, intptr_t lParam) {
    uint32_t vk = (uint32_t)(wParam & 0xFF);
    ekey_KeyUp((int32_t)vk);
    app_KeyState.heldKeys[vk] = 0;
    MarkDown(vk, ((uint32_t)lParam & KF_EXTENDED_BIT) != 0, 0);
}

void app_KeyMessageChar(uintptr_t wParam) {
    uint32_t ch = (uint32_t)(wParam & 0xFF);
    ekey_CharAdd((int32_t)ch);
    if (uint32_t* entry = app_KeyState.lastEntry) *entry = (*entry & 0xFFFF00FFu) | (ch << 8);
}

void app_KeyReleaseAll(void) {
    for (int vk = 0; vk < 256; vk++)
        if (app_KeyState.heldKeys[vk]) {
            app_KeyState.heldKeys[vk] = 0;
            ekey_KeyUp(vk);
        }
    app_KeyDownClear();
}
