// The game controller mapping table (see sdl_pad.h).
#include "platform/sdl/sdl_pad.h"

#include "platform/joystick_backend.h"

// Left stick: the stick. Right stick: rudder across, throttle along (pushed
// forward is full throttle, as a throttle lever's far end). Triggers: the
// two sliders.
const SdlPadAxis sdl_PadAxes[SDL_PAD_AXES] = {
    {SDL_CONTROLLER_AXIS_LEFTX, DIJOFS_X, SDL_PAD_STICK},
    {SDL_CONTROLLER_AXIS_LEFTY, DIJOFS_Y, SDL_PAD_STICK},
    {SDL_CONTROLLER_AXIS_RIGHTY, DIJOFS_Z, SDL_PAD_STICK},
    {SDL_CONTROLLER_AXIS_RIGHTX, DIJOFS_RZ, SDL_PAD_STICK},
    {SDL_CONTROLLER_AXIS_TRIGGERLEFT, DIJOFS_SLIDER0, SDL_PAD_TRIGGER},
    {SDL_CONTROLLER_AXIS_TRIGGERRIGHT, DIJOFS_SLIDER1, SDL_PAD_TRIGGER},
};

const SDL_GameControllerButton sdl_PadButtons[SDL_PAD_BUTTONS] = {
    SDL_CONTROLLER_BUTTON_A,         SDL_CONTROLLER_BUTTON_B,           SDL_CONTROLLER_BUTTON_X,
    SDL_CONTROLLER_BUTTON_Y,         SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
    SDL_CONTROLLER_BUTTON_BACK,      SDL_CONTROLLER_BUTTON_START,       SDL_CONTROLLER_BUTTON_LEFTSTICK,
    SDL_CONTROLLER_BUTTON_RIGHTSTICK, SDL_CONTROLLER_BUTTON_GUIDE,
};

int32_t sdl_PadAxisValue(int kind, int16_t raw) {
    if (kind == SDL_PAD_TRIGGER) return 32768 + (raw > 0 ? (int32_t)raw : 0);
    return (int32_t)raw + 32768;
}

uint32_t sdl_PadHat(int up, int down, int left, int right) {
    int y = (up ? 1 : 0) - (down ? 1 : 0);
    int x = (right ? 1 : 0) - (left ? 1 : 0);
    static const uint32_t kAngles[3][3] = {
        // x = -1, 0, +1
        {22500, 18000, 13500},       // y = -1 (down)
        {27000, 0xFFFFFFFFu, 9000},  // y = 0
        {31500, 0, 4500},            // y = +1 (up)
    };
    return kAngles[y + 1][x + 1];
}

void sdl_PadState(const int16_t axes[SDL_CONTROLLER_AXIS_MAX], const uint8_t buttons[SDL_CONTROLLER_BUTTON_MAX],
                  PlatJoyState* state) {
    plat_JoyStateCentre(state);
    for (const SdlPadAxis& a : sdl_PadAxes)
        plat_JoyStateSetAxis(state, a.offset, sdl_PadAxisValue(a.kind, axes[a.axis]));
    for (int b = 0; b < SDL_PAD_BUTTONS; b++) state->rgbButtons[b] = buttons[sdl_PadButtons[b]] ? 0x80 : 0;
    state->rgdwPOV[0] = sdl_PadHat(buttons[SDL_CONTROLLER_BUTTON_DPAD_UP], buttons[SDL_CONTROLLER_BUTTON_DPAD_DOWN],
                                   buttons[SDL_CONTROLLER_BUTTON_DPAD_LEFT], buttons[SDL_CONTROLLER_BUTTON_DPAD_RIGHT]);
}
