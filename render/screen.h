// In-game screen states: the overlay that owns the screen and the keys, and
// the requests the input actions leave for the frame composition.
#pragma once
#include <cstdint>

struct ScreenStateEntry {
    void (*draw)(void);   // may be null
    void (*keys)(void);   // may be null; reads the poll's frame key event
    uint32_t flags;       // 0x04: one key-routine call per frame
};

constexpr int32_t RENDER_SCREEN_STATES = 14;
extern ScreenStateEntry render_ScreenStateTable[RENDER_SCREEN_STATES];
// Null while no screen state is active.
extern const ScreenStateEntry* render_ScreenStateCurrent;
extern const ScreenStateEntry* render_ScreenStatePrevious;

// Previous = current; current = entry n (1..13).
void render_ScreenStateSet(int32_t n);

// One-shot action code of the screen pass (the screenshot is 3).
extern uint8_t render_OneShotAction;
// Set to 1 to switch between windowed and full screen at the next frame.
extern uint8_t render_WindowedToggleRequest;
