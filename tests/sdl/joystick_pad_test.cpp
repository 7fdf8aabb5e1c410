// The SDL joystick backend on SDL's virtual devices: a game controller is
// read through its controller mapping, any other device in its own axis
// order.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/joystick_backend.h"
#include "platform/sdl/sdl_tables.h"

namespace {

int Attach(Uint16 type, Uint16 axes, Uint16 buttons, Uint16 hats, const char* name) {
    SDL_VirtualJoystickDesc d;
    SDL_zero(d);
    d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    d.type = type;
    d.naxes = axes;
    d.nbuttons = buttons;
    d.nhats = hats;
    d.name = name;
    return SDL_JoystickAttachVirtualEx(&d);
}

class SdlJoysticks : public ::testing::Test {
protected:
    const PlatJoyBackend& be = plat_SdlJoyBackend;
    int padIndex = -1, stickIndex = -1;
    void SetUp() override {
        if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) GTEST_SKIP() << SDL_GetError();
        padIndex = Attach(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0,
                          "KRX test pad");
        stickIndex = Attach(SDL_JOYSTICK_TYPE_FLIGHT_STICK, 6, 4, 1, "KRX test stick");
        if (padIndex < 0 || stickIndex < 0) GTEST_SKIP() << "no virtual joysticks: " << SDL_GetError();
        ASSERT_EQ(be.init(), DI_OK);
    }
    void TearDown() override {
        be.shutdown();
        if (stickIndex >= 0) SDL_JoystickDetachVirtual(stickIndex);
        if (padIndex >= 0) SDL_JoystickDetachVirtual(padIndex);
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }
    // Opens the backend's device of that name, acquired.
    PlatJoy Open(const char* name) {
        for (int32_t i = 0; i < be.count(); i++) {
            PlatJoyDeviceInfo info;
            if (be.deviceInfo(i, &info) != DI_OK || strcmp(info.productName, name) != 0) continue;
            PlatJoy dev = 0;
            if (be.open(&info.instance, &dev) != DI_OK) return 0;
            be.acquire(dev);
            return dev;
        }
        return 0;
    }
    PlatJoyState Read(PlatJoy dev) {
        PlatJoyState s{};
        EXPECT_EQ(be.poll(dev), DI_OK);
        EXPECT_EQ(be.getState(dev, &s), DI_OK);
        return s;
    }
};

TEST_F(SdlJoysticks, AGameControllerGoesThroughItsMapping) {
    PlatJoy dev = Open("KRX test pad");
    ASSERT_NE(dev, 0);
    PlatJoyCaps caps{};
    ASSERT_EQ(be.getCaps(dev, &caps), DI_OK);
    EXPECT_EQ(caps.axes, 6u);
    EXPECT_EQ(caps.povs, 1u);
    EXPECT_EQ(be.objectPresent(dev, DIJOFS_SLIDER1), DI_OK);
    EXPECT_EQ(be.objectPresent(dev, DIJOFS_RX), DIERR_OBJECTNOTFOUND);
    SDL_Joystick* joy = SDL_JoystickOpen(padIndex);
    ASSERT_NE(joy, nullptr);
    // A virtual controller's axes come in SDL's controller order; triggers
    // rest at the axis minimum.
    SDL_JoystickSetVirtualAxis(joy, SDL_CONTROLLER_AXIS_LEFTX, 32767);
    SDL_JoystickSetVirtualAxis(joy, SDL_CONTROLLER_AXIS_LEFTY, 0);
    SDL_JoystickSetVirtualAxis(joy, SDL_CONTROLLER_AXIS_RIGHTX, 16384);
    SDL_JoystickSetVirtualAxis(joy, SDL_CONTROLLER_AXIS_RIGHTY, -32768);
    SDL_JoystickSetVirtualAxis(joy, SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767);
    SDL_JoystickSetVirtualAxis(joy, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
    SDL_JoystickSetVirtualButton(joy, SDL_CONTROLLER_BUTTON_B, 1);
    SDL_JoystickSetVirtualButton(joy, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1);
    PlatJoyState s = Read(dev);
    EXPECT_EQ(s.lX, 65535);
    EXPECT_EQ(s.lY, 32768);
    EXPECT_EQ(s.lRz, 49152);
    EXPECT_EQ(s.lZ, 0);                 // right stick forward: full throttle
    EXPECT_EQ(s.rglSlider[0], 65535);   // pulled trigger
    EXPECT_EQ(s.rglSlider[1], 32768);   // resting trigger: centre, off
    EXPECT_EQ(s.rgbButtons[1], 0x80);
    EXPECT_EQ(s.rgbButtons[0], 0);
    EXPECT_EQ(s.rgdwPOV[0], 9000u);
    SDL_JoystickClose(joy);
    be.close(dev);
}

TEST_F(SdlJoysticks, OtherDevicesKeepTheirAxisOrder) {
    PlatJoy dev = Open("KRX test stick");
    ASSERT_NE(dev, 0);
    SDL_Joystick* joy = SDL_JoystickOpen(stickIndex);
    ASSERT_NE(joy, nullptr);
    const int16_t raw[6] = {32767, -32768, 0, 100, -32768, 32767};
    for (int a = 0; a < 6; a++) SDL_JoystickSetVirtualAxis(joy, a, raw[a]);
    SDL_JoystickSetVirtualHat(joy, 0, SDL_HAT_LEFT);
    SDL_JoystickSetVirtualButton(joy, 3, 1);
    PlatJoyState s = Read(dev);
    EXPECT_EQ(s.lX, 65535);
    EXPECT_EQ(s.lY, 0);
    EXPECT_EQ(s.lZ, 32768);
    EXPECT_EQ(s.lRz, 32868);
    EXPECT_EQ(s.rglSlider[0], 0);
    EXPECT_EQ(s.rglSlider[1], 65535);
    EXPECT_EQ(s.rgdwPOV[0], 27000u);
    EXPECT_EQ(s.rgbButtons[3], 0x80);
    SDL_JoystickClose(joy);
    be.close(dev);
}

}  // namespace
