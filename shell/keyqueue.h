// The window procedure's key message state: which keys are down, and a
// queue of key presses for the screens that read keys one at a time.
#pragma once
#include <cstdint>

enum : int32_t {
    APP_KEY_QUEUE_SIZE = 128,
    // Modifier word of a queue entry (bits 16..31).
    APP_KEY_MOD_CONTROL = 1024,
    APP_KEY_MOD_SHIFT = 256,
    APP_KEY_MOD_EXTENDED = 128,
};

struct AppKeyMessageState {
    // 1 while down: entries 0..127 for keys without the extended flag,
    // 128..255 for keys with it, indexed by the virtual-key code & 0x7F.
    uint8_t downTable[256];
    // Byte 0 the virtual-key code, byte 1 the typed character, high 16 bits
    // the modifier word.
    uint32_t queue[APP_KEY_QUEUE_SIZE];
    int32_t readIndex;
    int32_t writeIndex;
    uint32_t* lastEntry;   // entry written last, for the character that follows
    int32_t queueOff;      // nonzero: presses are not queued
    // Virtual-key codes (low byte) held down, so that losing the focus can
    // release exactly the keys the keyboard layer saw go down.
    uint8_t heldKeys[256];
};

extern AppKeyMessageState app_KeyState;

// Next queue entry, or 0 when the queue is empty.
uint32_t app_KeyQueuePop(void);
void app_KeyQueueClear(void);
void app_KeyStateWordSet(int32_t value);  // the queue-off word
void app_KeyStateClear(void);
void app_KeyDownClear(void);

// The window procedure's key handling (main thread).
void app_KeyMessageDown(uintptr_t wParam, intptr_t lParam);
void app_KeyMessageUp(uintptr_t wParam, intptr_t lParam);
void app_KeyMessageChar(uintptr_t wParam);
// Tells the keyboard layer that every key still down went up, then clears
// the key-down table.
void app_KeyReleaseAll(void);
