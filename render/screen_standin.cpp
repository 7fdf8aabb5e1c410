// Stand-in until the frame composition lands: an empty table of screen
// states and the two request bytes.
#include "render/screen.h"

ScreenStateEntry render_ScreenStateTable[RENDER_SCREEN_STATES];
const ScreenStateEntry* render_ScreenStateCurrent = nullptr;
const ScreenStateEntry* render_ScreenStatePrevious = nullptr;
uint8_t render_OneShotAction = 0;
uint8_t render_WindowedToggleRequest = 0;

void render_ScreenStateSet(int32_t n) {
    if (n < 0 || n >= RENDER_SCREEN_STATES) return;
    render_ScreenStatePrevious = render_ScreenStateCurrent;
    render_ScreenStateCurrent = &render_ScreenStateTable[n];
}
