// The per-frame poll into the current and previous input records.
#include <vector>

#include "cockpit/vcursor.h"
#include "input_fixture.h"
#include "platform/winmsg.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "world/objarray.h"
#include "shell/mouse.h"

namespace {

std::vector<InputKeyEvent> g_keys;
void KeyRoutine(void) { g_keys.push_back(inmap_KeyEvent); }

class PollTest : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        g_keys.clear();
        map_ = NewMap();
        ASSERT_NE(map_, nullptr);
    }
    void TearDown() override {
        vcursor_Enabled = 0;
        memset(&app_MouseTrack, 0, sizeof app_MouseTrack);
        InputTest::TearDown();
    }
    void Bind(const char* action, int32_t key, int32_t mods = 0, int32_t hold = 0) {
        _INMAP_ACTION* a = inmap_ActionFind(map_, action);
        if (!a) a = BoundAction(map_, action);
        ASSERT_NE(inmap_InputCreate(a, INMAP_KIND_KEYBOARD, 0, key, mods, hold), nullptr);
    }
    void Activate() { ASSERT_EQ(inmap_MapActivate(map_), 0); }
    _INMAP* map_ = nullptr;
    _INPUT_STATE& cur = inmap_InputCurrent;
    _INPUT_STATE& prev = inmap_InputPrevious;
};

TEST_F(PollTest, QuietFrameAndThePreviousRecord) {
    Bind("GEAR", 'G');
    Activate();
    cur.word16 = 77;
    ekey_KeyDown('G', 0);
    inmap_PollFrame();
    EXPECT_EQ(cur.flags, (uint32_t)(INPUT_CLEARED | INPUT_GEAR));
    inmap_PollFrame();
    EXPECT_EQ(cur.flags, (uint32_t)INPUT_CLEARED);
    EXPECT_EQ(cur.cursorItem, -1);
    EXPECT_EQ(cur.command + cur.panel, 0);
    EXPECT_EQ(cur.stickX + cur.stickY + cur.rudder + cur.throttle + cur.cameraX + cur.cameraY, 0.0f);
    EXPECT_EQ(cur.mouseButtons, 0u);
    EXPECT_EQ(prev.flags, (uint32_t)(INPUT_CLEARED | INPUT_GEAR));
    // The sixteenth word is neither copied nor cleared.
    EXPECT_EQ(cur.word16, 77);
    EXPECT_EQ(prev.word16, 0);
}

TEST_F(PollTest, EndMissionKeyUntilTheEdgesAreCleared) {
    Bind("CHAFF", 'C');
    Activate();
    ekey_KeyDown(69, 0);
    for (int i = 0; i < 3; i++) {
        inmap_PollFrame();
        EXPECT_EQ(cur.command, INPUT_CMD_END_MISSION) << i;
    }
    // A handler's code stands.
    ekey_KeyDown('C', 0);
    inmap_PollFrame();
    EXPECT_EQ(cur.command, 45);
    // Not while a screen state is current.
    render_ScreenStateCurrent = &render_ScreenStateTable[3];
    inmap_PollFrame();
    EXPECT_EQ(cur.command, 0);
    render_ScreenStateCurrent = nullptr;
    ekey_ClearEdges();
    inmap_PollFrame();
    EXPECT_EQ(cur.command, 0);
    // A setting outside the key tables is ignored.
    app_Settings.EKEY_INDEX_END_MISSION = 4000;
    inmap_PollFrame();
    EXPECT_EQ(cur.command, 0);
}

TEST_F(PollTest, NoPlayerObjectClearsTheRecord) {
    Bind("FIRE_CANNON", 'Z', 0, 1);
    Activate();
    Client_PlayerObjectIndex = -1;
    ekey_KeyDown('Z', 0);
    inmap_PollFrame();
    EXPECT_EQ(cur.flags, (uint32_t)INPUT_CLEARED);
    Client_PlayerObjectIndex = 0;
    inmap_PollFrame();
    EXPECT_TRUE(cur.flags & INPUT_FIRE_CANNON);
}

TEST_F(PollTest, StickDeflected) {
    struct { float x, y, r; bool deflected; } cases[] = {
        {0, 0, 0, false},      {0, 0.3f, 0, true},   {0, 0.29f, 0, false}, {0, -0.3f, 0, true},
        {0.2f, 0, 0, true},    {-0.19f, 0, 0, false}, {0, 0, -0.2f, true},  {0, 0, 0.19f, false},
    };
    for (auto& c : cases) {
        cur.stickX = c.x;
        cur.stickY = c.y;
        cur.rudder = c.r;
        EXPECT_EQ(inmap_StickDeflected(), c.deflected) << c.x << " " << c.y << " " << c.r;
    }
}

TEST_F(PollTest, ScreenStatesGetTheirKeys) {
    render_ScreenStateTable[3].keys = KeyRoutine;
    Bind("CHAT_ALL", 'T');
    Activate();
    hud_ScreenKeyState[1] = 9;
    app_KeyMessageDown('T', 0x00140001);
    inmap_PollFrame();
    EXPECT_EQ(render_ScreenStateCurrent, &render_ScreenStateTable[3]);
    EXPECT_EQ(hud_ScreenKeyState[1], 0);
    EXPECT_TRUE(g_keys.empty());  // the queued T came before the switch

    // Queued key words reach the current state's key routine in order.
    app_KeyMessageDown(VK_CONTROL, 0x001D0001);
    app_KeyMessageDown('H', 0x00230001);
    app_KeyMessageChar('h');
    inmap_PollFrame();
    ASSERT_EQ(g_keys.size(), 2u);
    EXPECT_EQ(g_keys[1].key, 'H');
    EXPECT_EQ(g_keys[1].character, 'h');
    EXPECT_EQ(g_keys[1].keyValue, 'H' + 1024);
    EXPECT_EQ(g_keys[1].charValue, 'h' + 1024);

    // Flag 0x04: one call per frame, with the key cleared.
    g_keys.clear();
    render_ScreenStateTable[3].flags = 0x04;
    inmap_PollFrame();
    ASSERT_EQ(g_keys.size(), 1u);
    EXPECT_EQ(g_keys[0].key, 0);
    EXPECT_EQ(g_keys[0].keyValue, 0);
}

TEST_F(PollTest, ScreenKeyCloseGoesBack) {
    render_ScreenStatePrevious = &render_ScreenStateTable[2];
    render_ScreenStateCurrent = &render_ScreenStateTable[9];
    struct { uint16_t value; bool closes; } cases[] = {{'X', false}, {13 + 256, false}, {27, true}};
    for (auto& c : cases) {
        render_ScreenStateCurrent = &render_ScreenStateTable[9];
        inmap_KeyEvent.keyValue = c.value;
        inmap_ScreenKeyClose();
        EXPECT_EQ(render_ScreenStateCurrent == &render_ScreenStateTable[2], c.closes) << c.value;
    }
    inmap_KeyEvent.keyValue = 89;
    render_ScreenStateCurrent = &render_ScreenStateTable[9];
    inmap_ScreenKeyClose();
    EXPECT_EQ(render_ScreenStateCurrent, &render_ScreenStateTable[2]);
}

TEST_F(PollTest, DebugRequestHotKeyAndVirtualCursor) {
    hud_DebugRequest = 1;
    inmap_PollFrame();
    EXPECT_EQ(cur.command, INPUT_CMD_DEBUG);
    inmap_PollHotKey();
    EXPECT_EQ(hud_HotKeyRequest, 0);
    Client_OptionWord = 0x02;
    inmap_PollHotKey();
    EXPECT_EQ(hud_HotKeyRequest, 1);
    hud_DebugRequest = 0;

    vcursor_Enabled = 1;
    vcursor_Item = 12;
    app_MouseTrack.held.left = 1;
    app_MouseTrack.released.left = 1;
    inmap_PollFrame();
    EXPECT_EQ(cur.cursorItem, 12);
    EXPECT_EQ(cur.mouseButtons, 5u);
}

TEST_F(PollTest, CameraAxesTurnTheView) {
    Bind("CAMERA_RIGHT", VK_RIGHT, 0, 1);
    Bind("CAMERA_UP", VK_UP, 0, 1);
    Activate();
    // Without option 0x10 nothing turns.
    ekey_KeyDown(VK_RIGHT, 0);
    inmap_PollFrame();
    EXPECT_EQ(view_LookYaw, 0);
    // First frame value 0.15 from here on: round(0.15 * 1023) = 153.
    ViewFlags = 0x10 | 0x4000;
    ekey_KeyDown(VK_UP, 0);
    inmap_PollFrame();
    EXPECT_EQ(view_LookYaw, 153 * 128);
    // Up is negative camera y; the 0x4000 view negates the pitch step:
    // round(-0.1 * 1023) = -102.
    EXPECT_EQ(view_LookPitch, 102 * 64);
}

// In free look the camera axes turn the pilot's head of the viewed player
// object, both angles wrapped into 0..360, and leave the view alone.
TEST_F(PollTest, FreeLookTurnsThePilotsHead) {
    _PLAYER_DCB me{};
    level_ClientArrays.player.size = sizeof me;
    me.object.pool = &level_ClientArrays.player;
    Client_PlayerObject = ViewedObject = &me.object;
    hud_FreeLook = 1;
    Bind("CAMERA_RIGHT", VK_RIGHT, 0, 1);
    Bind("CAMERA_UP", VK_UP, 0, 1);
    Activate();
    plane_PlayerHeadSet(359.8f, 0.0f);
    ViewFlags = 0x10 | 0x4000;
    ekey_KeyDown(VK_RIGHT, 0);
    ekey_KeyDown(VK_UP, 0);
    inmap_PollFrame();
    ASSERT_GT(cur.cameraX, 0.0f);
    ASSERT_LT(cur.cameraY, 0.0f);
    float yaw, pitch;
    ASSERT_EQ(plane_PlayerHeadGet(&yaw, &pitch), 0);
    EXPECT_NEAR(yaw, 359.8f + cur.cameraX * 2.0f - 360.0f, 1e-3);
    EXPECT_NEAR(pitch, -cur.cameraY, 1e-5);
    EXPECT_EQ(view_LookYaw, 0);
    EXPECT_EQ(view_LookPitch, 0);
    // Without free look the same axes turn the view and not the head.
    hud_FreeLook = 0;
    inmap_PollFrame();
    EXPECT_NE(view_LookYaw, 0);
    float yaw2, pitch2;
    ASSERT_EQ(plane_PlayerHeadGet(&yaw2, &pitch2), 0);
    EXPECT_EQ(yaw2, yaw);
    EXPECT_EQ(pitch2, pitch);
    Client_PlayerObject = ViewedObject = nullptr;
    level_ClientArrays.player = DcbPool{};
}

}  // namespace
