// Game controllers (devices SDL knows through a controller mapping) read as
// the program's joysticks: the mapping table from SDL's controller axes and
// buttons to the device state the joystick layer reads. Kept as plain
// functions of the readings so that it is tested without a device.
#pragma once
#include <SDL.h>

#include "platform/joystick.h"

// How an SDL controller axis becomes an axis of the state: a stick axis
// (-32768..32767, centred) keeps its centre at 32768; a trigger (0..32767,
// resting at 0) rests at the centre and reaches 65535 fully pulled, so that
// a trigger at rest reads as an axis at its centre-off position.
enum { SDL_PAD_STICK = 0, SDL_PAD_TRIGGER = 1 };
struct SdlPadAxis {
    SDL_GameControllerAxis axis;
    uint32_t offset;  // DIJOFS_* of the state
    int kind;
};
constexpr int SDL_PAD_AXES = 6;
extern const SdlPadAxis sdl_PadAxes[SDL_PAD_AXES];

// Buttons 1..n of the state, in the order of a pad's usual button numbers;
// the d-pad is hat 1 instead.
constexpr int SDL_PAD_BUTTONS = 11;
extern const SDL_GameControllerButton sdl_PadButtons[SDL_PAD_BUTTONS];

// One axis reading mapped to 0..65535 by its kind.
int32_t sdl_PadAxisValue(int kind, int16_t raw);
// The d-pad's four directions as a hat angle (hundredths of degrees,
// 0xFFFFFFFF centred; opposite directions cancel).
uint32_t sdl_PadHat(int up, int down, int left, int right);
// A whole reading: `axes` by SDL_GameControllerAxis, `buttons` by
// SDL_GameControllerButton (nonzero: down).
void sdl_PadState(const int16_t axes[SDL_CONTROLLER_AXIS_MAX], const uint8_t buttons[SDL_CONTROLLER_BUTTON_MAX],
                  PlatJoyState* state);
