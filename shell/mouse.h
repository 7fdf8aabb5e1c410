// The mouse as the window procedure sees it: the message state with its
// callback, and the tracking record the input layer reads each frame.
#pragma once
#include <cstdint>

// Codes given to the mouse callback.
enum : int32_t {
    APP_MOUSE_MOVE = 1,
    APP_MOUSE_LEFT_DOWN = 2,
    APP_MOUSE_LEFT_UP = 4,
    APP_MOUSE_RIGHT_DOWN = 8,
    APP_MOUSE_RIGHT_UP = 16,
    APP_MOUSE_MIDDLE_DOWN = 32,
    APP_MOUSE_MIDDLE_UP = 64,
};

// Codes given to the tracking record's event callback.
enum : int32_t {
    APP_MOUSE_EVENT_MOVE = 1,
    APP_MOUSE_EVENT_LEFT_DOWN = 2,
    APP_MOUSE_EVENT_LEFT_UP = 3,
    APP_MOUSE_EVENT_MIDDLE_DOWN = 4,
    APP_MOUSE_EVENT_MIDDLE_UP = 5,
    APP_MOUSE_EVENT_RIGHT_DOWN = 6,
    APP_MOUSE_EVENT_RIGHT_UP = 7,
};

typedef int32_t (*AppMouseHook)(int32_t code, int32_t buttons);

struct AppMouseState {
    int32_t mode;           // nonzero: the callback is not called
    AppMouseHook callback;
    int32_t buttons;        // of the last mouse message: bit 0 left, bit 1 right
    int32_t x, y;           // last client position
    int32_t absX, absY;     // the position plus the display's client offset
};

struct AppMouseButtons {
    int32_t left, middle, right;
};

struct AppMouseTrack {
    int32_t tracking;        // nonzero: mouse messages update this record
    int32_t cursorVisible;
    int32_t x, y;            // client position
    AppMouseButtons held;
    AppMouseButtons pressed;   // went down this frame
    AppMouseButtons released;  // went up this frame
    // Centring mode: the cursor is warped back to the centre every frame and
    // these say on which side of the screen's middle it was.
    int32_t dirLeft, dirRight, dirUp, dirDown;
    int32_t centring;
    int32_t centreX, centreY;
    void (*event)(int32_t code);  // APP_MOUSE_EVENT_*
};

extern AppMouseState app_MouseState;
extern AppMouseTrack app_MouseTrack;

void app_MouseHookSet(AppMouseHook callback);
void app_MouseModeSet(int32_t value);

// Clears the held, pressed and released records and the position.
void app_MouseReset(void);
// Clears the per-frame records and the direction flags; in centring mode
// puts the cursor back on the centre point.
void app_MouseFramePost(void);
// While tracking: reads the cursor position (and the centring directions).
void app_MousePoll(void);

// The window procedure's mouse handling.
void app_MouseTrackUpdate(uint32_t msg, uintptr_t wParam, intptr_t lParam);
// Turns a mouse message into its callback code and calls the callback
// (unless the mode word is set); returns the callback's result or the code.
// With `client` the position is taken from lParam and stored.
int32_t app_MouseTranslate(int32_t buttons, intptr_t lParam, uint32_t msg, int32_t client);
