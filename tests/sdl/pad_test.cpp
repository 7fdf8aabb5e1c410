// The game controller mapping table, as a function of the readings: no
// device is needed.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/sdl/sdl_pad.h"

namespace {

struct Reading {
    int16_t axes[SDL_CONTROLLER_AXIS_MAX] = {};
    uint8_t buttons[SDL_CONTROLLER_BUTTON_MAX] = {};
    PlatJoyState Read() const {
        PlatJoyState s;
        memset(&s, 0x55, sizeof s);  // every field is written
        sdl_PadState(axes, buttons, &s);
        return s;
    }
};

TEST(GamePad, AtRestEverythingIsCentredAndOff) {
    PlatJoyState s = Reading{}.Read();
    EXPECT_EQ(s.lX, 32768);
    EXPECT_EQ(s.lY, 32768);
    EXPECT_EQ(s.lZ, 32768);
    EXPECT_EQ(s.lRz, 32768);
    // Resting triggers read as sliders at their centre (off), not at an end.
    EXPECT_EQ(s.rglSlider[0], 32768);
    EXPECT_EQ(s.rglSlider[1], 32768);
    EXPECT_EQ(s.lRx, 32768);
    EXPECT_EQ(s.lRy, 32768);
    for (uint32_t pov : s.rgdwPOV) EXPECT_EQ(pov, 0xFFFFFFFFu);
    for (uint8_t b : s.rgbButtons) EXPECT_EQ(b, 0);
}

TEST(GamePad, AxesGoThroughTheMappingTable) {
    struct Case {
        SDL_GameControllerAxis axis;
        int16_t raw;
        int32_t PlatJoyState::*field;
        int slider;  // -1: `field`, else the slider's index
        int32_t want;
    } cases[] = {
        {SDL_CONTROLLER_AXIS_LEFTX, -32768, &PlatJoyState::lX, -1, 0},
        {SDL_CONTROLLER_AXIS_LEFTX, 32767, &PlatJoyState::lX, -1, 65535},
        {SDL_CONTROLLER_AXIS_LEFTY, -32768, &PlatJoyState::lY, -1, 0},  // pushed forward
        {SDL_CONTROLLER_AXIS_LEFTY, 100, &PlatJoyState::lY, -1, 32868},
        {SDL_CONTROLLER_AXIS_RIGHTX, 32767, &PlatJoyState::lRz, -1, 65535},
        {SDL_CONTROLLER_AXIS_RIGHTX, -32768, &PlatJoyState::lRz, -1, 0},
        {SDL_CONTROLLER_AXIS_RIGHTY, -32768, &PlatJoyState::lZ, -1, 0},  // forward: full throttle
        {SDL_CONTROLLER_AXIS_RIGHTY, 32767, &PlatJoyState::lZ, -1, 65535},
        {SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767, nullptr, 0, 65535},
        {SDL_CONTROLLER_AXIS_TRIGGERLEFT, 16384, nullptr, 0, 49152},
        {SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767, nullptr, 1, 65535},
        {SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -5, nullptr, 1, 32768},  // below rest: at rest
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.axis << " " << c.raw);
        Reading r;
        r.axes[c.axis] = c.raw;
        PlatJoyState s = r.Read();
        EXPECT_EQ(c.slider < 0 ? s.*c.field : s.rglSlider[c.slider], c.want);
    }
    // Each of SDL's six axes goes to a different place.
    for (int i = 0; i < SDL_PAD_AXES; i++)
        for (int j = i + 1; j < SDL_PAD_AXES; j++) {
            EXPECT_NE(sdl_PadAxes[i].axis, sdl_PadAxes[j].axis);
            EXPECT_NE(sdl_PadAxes[i].offset, sdl_PadAxes[j].offset);
        }
}

TEST(GamePad, ButtonsInPadOrderAndTheDpadAsHatOne) {
    struct Case {
        SDL_GameControllerButton button;
        int index;  // button index in the state
    } cases[] = {
        {SDL_CONTROLLER_BUTTON_A, 0},          {SDL_CONTROLLER_BUTTON_B, 1},
        {SDL_CONTROLLER_BUTTON_X, 2},          {SDL_CONTROLLER_BUTTON_Y, 3},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 4}, {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 5},
        {SDL_CONTROLLER_BUTTON_BACK, 6},       {SDL_CONTROLLER_BUTTON_START, 7},
        {SDL_CONTROLLER_BUTTON_LEFTSTICK, 8},  {SDL_CONTROLLER_BUTTON_RIGHTSTICK, 9},
        {SDL_CONTROLLER_BUTTON_GUIDE, 10},
    };
    for (const Case& c : cases) {
        Reading r;
        r.buttons[c.button] = 1;
        PlatJoyState s = r.Read();
        for (int b = 0; b < 32; b++) EXPECT_EQ(s.rgbButtons[b], b == c.index ? 0x80 : 0) << c.button << " " << b;
        EXPECT_EQ(s.rgdwPOV[0], 0xFFFFFFFFu);
    }
    struct Hat {
        int up, down, left, right;
        uint32_t angle;
    } hats[] = {
        {1, 0, 0, 0, 0},     {1, 0, 0, 1, 4500},  {0, 0, 0, 1, 9000},  {0, 1, 0, 1, 13500},
        {0, 1, 0, 0, 18000}, {0, 1, 1, 0, 22500}, {0, 0, 1, 0, 27000}, {1, 0, 1, 0, 31500},
        {1, 1, 0, 0, 0xFFFFFFFFu},  // opposite directions cancel
        {1, 1, 1, 0, 27000},
    };
    for (const Hat& h : hats) {
        Reading r;
        r.buttons[SDL_CONTROLLER_BUTTON_DPAD_UP] = (uint8_t)h.up;
        r.buttons[SDL_CONTROLLER_BUTTON_DPAD_DOWN] = (uint8_t)h.down;
        r.buttons[SDL_CONTROLLER_BUTTON_DPAD_LEFT] = (uint8_t)h.left;
        r.buttons[SDL_CONTROLLER_BUTTON_DPAD_RIGHT] = (uint8_t)h.right;
        PlatJoyState s = r.Read();
        EXPECT_EQ(s.rgdwPOV[0], h.angle) << h.up << h.down << h.left << h.right;
        EXPECT_EQ(s.rgdwPOV[1], 0xFFFFFFFFu);
        for (uint8_t b : s.rgbButtons) EXPECT_EQ(b, 0);  // the d-pad is no button
    }
}

}  // namespace
