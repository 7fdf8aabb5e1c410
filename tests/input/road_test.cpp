// A key and a joystick button on their whole road, with the default
// bindings: a message to the main window (or a headless device's button),
// the keyboard or joystick layer, the input map's watcher, the per-frame
// poll and the action's bit in the input state.
#include <cstdlib>

#include "fixtures/headless.h"
#include "input/ejoy.h"
#include "input/inmapfile.h"
#include "input_fixture.h"
#include "platform/backend.h"
#include "platform/harness.h"
#include "platform/joystick.h"
#include "platform/window.h"
#include "platform/winmsg.h"
#include "shell/wndproc.h"

namespace {

class RoadTest : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        ASSERT_EQ(test_HeadlessStart(), 0);
        plat_JoyHeadlessReset();
        ejoy_EnableFlag = 1;
        memcpy(ejoy_AxisSettings, ejoy_CalibrationDefaults, sizeof ejoy_AxisSettings);
        app_QuitFlag = 0;
        hwnd_ = plat_WindowCreate("SKARVELCLASS", "KRX", 640, 480, app_MainWndProc, 1);
        ASSERT_NE(hwnd_, 0u);
        app_MainHwnd = hwnd_;
        map_ = NewMap(inmap_DefaultBindings);
        ASSERT_NE(map_, nullptr);
        // Binds the actions to their handlers, as opening the map does.
        ASSERT_EQ(inmap_ReportWrite(map_, inmap_ActionTable, nullptr), 0);
    }
    void TearDown() override {
        InputTest::TearDown();
        ejoy_Shutdown();
        plat_JoyHeadlessReset();
        plat_Shutdown();
        app_MainHwnd = 0;
        app_QuitFlag = 0;
    }
    void Post(uint32_t msg, uint32_t vk, uint32_t lParam) {
        ASSERT_NE(plat_PostMessage(hwnd_, msg, vk, (intptr_t)(int32_t)lParam), 0);
    }
    // One frame: the message pump (which also reads the joystick), then the poll.
    static uint32_t Frame() {
        app_PumpMessagesEx();
        inmap_PollFrame();
        return inmap_InputCurrent.flags;
    }
    PlatHwnd hwnd_ = 0;
    _INMAP* map_ = nullptr;
};

TEST_F(RoadTest, KeyMessagesReachTheInputState) {
    ASSERT_EQ(inmap_MapActivate(map_), 0);
    struct Case {
        uint32_t vk;
        bool ctrl;
        uint32_t bit;  // the bit the held key sets every frame
    } cases[] = {
        {VK_SPACE, false, INPUT_FIRE_WEAPON},  // FIRE_CURRENT_WEAPON, HOLD
        {'Z', false, INPUT_FIRE_CANNON},       // FIRE_CANNON, HOLD
        {'B', false, INPUT_BRAKE},             // BRAKE, HOLD
        {VK_UP, true, INPUT_CAMERA_UP},        // CTRL+UP is CAMERA_UP, not STICK_UP
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vk);
        if (c.ctrl) Post(WM_KEYDOWN, VK_CONTROL, 0x001D0001);
        Post(WM_KEYDOWN, c.vk, 0x00010001);
        EXPECT_EQ(Frame() & c.bit, c.bit);
        // Held with auto-repeat, the bit stays on every frame.
        Post(WM_KEYDOWN, c.vk, 0x40010001);
        EXPECT_EQ(Frame() & c.bit, c.bit);
        EXPECT_EQ(Frame() & c.bit, c.bit);
        Post(WM_KEYUP, c.vk, 0xC0010001);
        if (c.ctrl) Post(WM_KEYUP, VK_CONTROL, 0xC01D0001);
        EXPECT_EQ(Frame() & c.bit, 0u);
    }
    // A plain arrow drives the stick; with the chat's key table, letters are
    // kept from the map while the arrows still reach it.
    Post(WM_KEYDOWN, VK_UP, 0x00480001);
    EXPECT_EQ(Frame() & (INPUT_STICK_UP | INPUT_STICK_DOWN | INPUT_CAMERA_UP), (uint32_t)INPUT_STICK_UP);
    EXPECT_LT(inmap_InputCurrent.stickY, 0.0f);
    Post(WM_KEYUP, VK_UP, 0xC0480001);
    inmap_KeyTableSelect(2);
    Post(WM_KEYDOWN, 'G', 0x00220001);
    Post(WM_KEYUP, 'G', 0xC0220001);
    EXPECT_EQ(Frame() & INPUT_GEAR, 0u);
    inmap_KeyTableSelect(1);
    Post(WM_KEYDOWN, 'G', 0x00220001);
    Post(WM_KEYUP, 'G', 0xC0220001);
    EXPECT_EQ(Frame() & INPUT_GEAR, (uint32_t)INPUT_GEAR);
}

TEST_F(RoadTest, JoystickButtonsAndStickReachTheInputState) {
    int32_t dev = plat_JoyHeadlessAdd("Stick", 0, 4, 1, 16);
    ASSERT_GE(dev, 0);
    ASSERT_EQ(ejoy_Init(0, 0), 0);
    ASSERT_NE(ejoy_ActiveDevice, nullptr);
    ASSERT_EQ(inmap_MapActivate(map_), 0);
    inmap_JoystickLayoutSet(0);
    struct Case {
        int32_t button;  // 0-based
        uint32_t bit;
    } cases[] = {
        {0, INPUT_FIRE_CANNON},  // B1
        {1, INPUT_FIRE_WEAPON},  // B2
        {4, INPUT_BRAKE},        // B5
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        plat_JoyHeadlessButton(dev, c.button, 1);
        EXPECT_EQ(Frame() & c.bit, c.bit);
        EXPECT_EQ(Frame() & c.bit, c.bit);  // held
        plat_JoyHeadlessButton(dev, c.button, 0);
        EXPECT_EQ(Frame() & c.bit, 0u);
    }
    // B8 is CHAFF, a command code.
    plat_JoyHeadlessButton(dev, 7, 1);
    Frame();
    EXPECT_EQ(inmap_InputCurrent.command, 45);
    plat_JoyHeadlessButton(dev, 7, 0);
    // The stick pushed right past its dead zone: STICK_RIGHT with the axis value.
    plat_JoyHeadlessAxis(dev, 0, 65535);
    uint32_t flags = Frame();
    EXPECT_EQ(flags & (INPUT_STICK_LEFT | INPUT_STICK_RIGHT), (uint32_t)INPUT_STICK_RIGHT);
    EXPECT_FLOAT_EQ(inmap_InputCurrent.stickX, 1.0f);
    // A lost joystick lets go of what it held.
    plat_JoyHeadlessButton(dev, 0, 1);
    EXPECT_TRUE(Frame() & INPUT_FIRE_CANNON);
    ejoy_EnableFlag = 0;
    EXPECT_FALSE(Frame() & INPUT_FIRE_CANNON);
}

}  // namespace
