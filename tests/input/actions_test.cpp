// The action table and its handlers.
#include <cmath>
#include <map>
#include <set>
#include <string>

#include "input_fixture.h"
#include "shell/wndproc.h"

namespace {

class ActionTest : public InputTest {
protected:
    // Runs one action's handler the way the resolution step does.
    void Run(const char* name, int32_t frames = 0, float value = 0.6f) {
        const InmapActionDef* d = Def(name);
        ASSERT_NE(d, nullptr) << name;
        d->handler(frames, value);
    }
    _INPUT_STATE& S = inmap_InputCurrent;
};

TEST_F(ActionTest, TableHasEveryActionOnceWithAHandler) {
    std::set<std::string> names;
    std::set<int32_t> ids;
    int32_t count = 0;
    for (const InmapActionDef* d = inmap_ActionTable; d->name; d++, count++) {
        EXPECT_TRUE(names.insert(d->name).second) << d->name;
        EXPECT_TRUE(ids.insert(d->id).second) << d->name;
        EXPECT_NE(d->handler, nullptr) << d->name;
        EXPECT_TRUE(d->continuous == 0 || d->continuous == 1);
    }
    EXPECT_EQ(count, INMAP_ACTION_TABLE_COUNT);
    EXPECT_EQ(inmap_ActionTable[INMAP_ACTION_TABLE_COUNT].name, nullptr);

    struct { const char* name; int32_t id; int32_t continuous; } rows[] = {
        {"SNAPSHOT", 315, 0},          {"CTRL", 209, 1},           {"CAMERA_UP", 445, 1},
        {"FIRE_CANNON", 293, 1},       {"FIRE_CURRENT_WEAPON", 247, 1}, {"THROTTLE_UP", 245, 1},
        {"THROTTLE_AB", 244, 0},       {"ZOOM_OUT_FAST", 448, 1},  {"CYCLE_HAT_MODES", 464, 0},
        {"LANTIRN_RIGHT", 440, 1},     {"PANEL_MFD_LEFT_R3", 398, 0}, {"PANEL_MFD_RIGHT_B5", 425, 0},
    };
    for (auto& r : rows) {
        const InmapActionDef* d = Def(r.name);
        ASSERT_NE(d, nullptr) << r.name;
        EXPECT_EQ(d->id, r.id) << r.name;
        EXPECT_EQ(d->continuous, r.continuous) << r.name;
    }
    EXPECT_STREQ(inmap_ActionTable[0].name, "SNAPSHOT");
    EXPECT_STREQ(inmap_ActionTable[INMAP_ACTION_TABLE_COUNT - 1].name, "PANEL_MFD_RIGHT_B5");
}

TEST_F(ActionTest, FlagBitAndAxisActions) {
    // Every case starts from a cleared record: stick and rudder centred.
    struct Case {
        const char* name;
        uint32_t set, clear;
        float _INPUT_STATE::*field;
        float expect;  // with value 0.6
    } cases[] = {
        {"FIRE_CANNON", 0x800, 0, nullptr, 0},
        {"FIRE_CURRENT_WEAPON", 0x1000, 0, nullptr, 0},
        {"GEAR", 0x2000, 0, nullptr, 0},
        {"FLAPS", 0x4000, 0, nullptr, 0},
        {"BRAKE", 0x8000, 0, nullptr, 0},
        {"STICK_UP", 0x08, 0x10, &_INPUT_STATE::stickY, -0.6f},
        {"STICK_DOWN", 0x10, 0x08, &_INPUT_STATE::stickY, 0.6f},
        {"STICK_LEFT", 0x20, 0x40, &_INPUT_STATE::stickX, -0.6f},
        {"STICK_RIGHT", 0x40, 0x20, &_INPUT_STATE::stickX, 0.6f},
        {"CAMERA_UP", 0x80, 0x100, &_INPUT_STATE::cameraY, -0.6f},
        {"CAMERA_DOWN", 0x100, 0x80, &_INPUT_STATE::cameraY, 0.6f},
        {"CAMERA_LEFT", 0x200, 0x400, &_INPUT_STATE::cameraX, -0.6f},
        {"CAMERA_RIGHT", 0x400, 0x200, &_INPUT_STATE::cameraX, 0.6f},
        {"RUDDER_LEFT", 0x100000, 0, &_INPUT_STATE::rudder, -0.6f},
        {"RUDDER_RIGHT", 0x100000, 0, &_INPUT_STATE::rudder, 0.6f},
        {"LANTIRN_UP", 0x04000000, 0, &_INPUT_STATE::podY, 0.6f},
        {"LANTIRN_DOWN", 0x08000000, 0, &_INPUT_STATE::podY, 0.6f},
        {"LANTIRN_LEFT", 0x10000000, 0, &_INPUT_STATE::podX, 0.6f},
        {"LANTIRN_RIGHT", 0x20000000, 0, &_INPUT_STATE::podX, 0.6f},
        {"LOOK_FORWARD", 0x00400000, 0, nullptr, 0},
        {"LOOK_BACKWARD", 0x00800000, 0, nullptr, 0},
        {"LOOK_LEFT", 0x01000000, 0, nullptr, 0},
        {"LOOK_RIGHT", 0x02000000, 0, nullptr, 0},
    };
    for (const Case& c : cases) {
        inmap_PollClear();
        Run(c.name);
        uint32_t expectFlags = (INPUT_CLEARED | c.set) & ~c.clear;
        EXPECT_EQ(S.flags, expectFlags) << c.name;
        if (c.field) {
            EXPECT_FLOAT_EQ(S.*(c.field), c.expect) << c.name;
        }
        EXPECT_EQ(S.command, 0) << c.name;
    }
}

TEST_F(ActionTest, CommandAndPanelCodes) {
    const std::map<std::string, int32_t> codes = {
        {"AUTO_PILOT", 1}, {"AUTO_LEVEL", 2}, {"SELECT_WEAPON_PREV", 9}, {"SELECT_WEAPON_NEXT", 10},
        {"SELECT_WEAPON_NONE", 11}, {"SELECT_WEAPON_CANNON", 12}, {"SELECT_WEAPON_1", 13}, {"SELECT_WEAPON_7", 19},
        {"SELECT_WEAPON_10", 22}, {"SELECT_WEAPON_KIND_PREV", 23}, {"SELECT_WEAPON_POD_NEXT", 34},
        {"TARGET_NEXT", 35}, {"TARGET_PREV", 36}, {"SHOOT_LIST", 37}, {"BORESIGHT", 38}, {"RADAR_ID_PREV", 39},
        {"RADAR_ID_NEXT", 40}, {"WAYPOINT_NEXT", 41}, {"FLY_HOME", 42}, {"EJECT", 43}, {"RADAR_ENABLE", 44},
        {"CHAFF", 45}, {"END_MISSION", 47}, {"FLARE", 48}, {"WAYPOINT_PREV", 49}, {"THROTTLE_UP", 51},
        {"THROTTLE_DOWN", 52}, {"MFD_LEFT_PREV", 57}, {"MFD_RIGHT_NEXT", 60}, {"RADAR_MODE_PREV", 61},
        {"RADAR_MODE_NEXT", 62}, {"LANTIRN_ENABLE", 63}, {"LANTIRN_FIELD_OF_VIEW", 64}, {"LANTIRN_SLAVE", 65},
        {"LANTIRN_LOCK", 66}, {"LASER_DESIGNATOR_ENABLE", 67}, {"LANTIRN_PARK", 68},
        {"JETTISON_CURRENT_WEAPON", 69}, {"SALVO_JETTISON", 70}, {"WINGMAN_TIGHT", 72},
        {"WINGMAN_ATTACKMYTARGET", 75}, {"WINGMAN_GOHOME", 81},
    };
    for (auto& [name, code] : codes) {
        inmap_PollClear();
        Run(name.c_str());
        EXPECT_EQ(S.command, code) << name;
        EXPECT_EQ(S.flags, (uint32_t)INPUT_CLEARED) << name;
    }
    // Panels: 1..44 in table order.
    int32_t expect = 1;
    for (const InmapActionDef* d = inmap_ActionTable; d->name; d++) {
        if (strncmp(d->name, "PANEL_", 6) != 0) continue;
        inmap_PollClear();
        d->handler(0, 0.1f);
        EXPECT_EQ(S.panel, expect) << d->name;
        expect++;
    }
    EXPECT_EQ(expect, 45);
    // The last command of a frame wins.
    inmap_PollClear();
    Run("CHAFF");
    Run("FLARE");
    EXPECT_EQ(S.command, 48);
}

TEST_F(ActionTest, ThrottleAxisAndPresets) {
    for (int i = 0; i < INMAP_THROTTLE_PRESETS; i++) inmap_ThrottlePresets[i] = 0.05f * (float)(i + 1);
    const float ab = inmap_ThrottlePresets[INMAP_THROTTLE_AB];
    struct { float v, expect; } axis[] = {{0.05f, 0.0f}, {0.1f, 0.1f * ab}, {0.5f, 0.5f * ab}, {0.9f, 0.9f * ab},
                                          {0.91f, ab}, {1.0f, ab}};
    for (auto& a : axis) {
        inmap_PollClear();
        Run("THROTTLE", 0, a.v);
        EXPECT_FLOAT_EQ(S.throttle, a.expect) << a.v;
        EXPECT_TRUE(S.flags & INPUT_THROTTLE_SET);
    }
    const char* presets[] = {"THROTTLE_OFF", "THROTTLE_IDLE", "THROTTLE_LANDING", "THROTTLE_CRUISE", "THROTTLE_MIL",
                             "THROTTLE_AB", "THROTTLE_10", "THROTTLE_20", "THROTTLE_25", "THROTTLE_30",
                             "THROTTLE_40", "THROTTLE_50", "THROTTLE_60", "THROTTLE_70", "THROTTLE_75",
                             "THROTTLE_80", "THROTTLE_90"};
    for (int i = 0; i < INMAP_THROTTLE_PRESETS; i++) {
        inmap_PollClear();
        Run(presets[i]);
        EXPECT_FLOAT_EQ(S.throttle, inmap_ThrottlePresets[i]) << presets[i];
        EXPECT_EQ(S.flags, (uint32_t)(INPUT_CLEARED | INPUT_THROTTLE_SET)) << presets[i];
    }
}

TEST_F(ActionTest, OppositeDirectionsAndHatModes) {
    inmap_PollClear();
    Run("STICK_UP", 0, 0.4f);
    Run("STICK_DOWN", 0, 0.7f);
    EXPECT_TRUE(S.flags & INPUT_STICK_DOWN);
    EXPECT_FALSE(S.flags & INPUT_STICK_UP);
    EXPECT_FLOAT_EQ(S.stickY, 0.7f);

    // Hat mode 0: the look bit only in the first frame of the press.
    for (int32_t n = 0; n < 3; n++) {
        inmap_PollClear();
        Run("LOOK_LEFT", n, 0.5f);
        EXPECT_EQ((S.flags & INPUT_LOOK_LEFT) != 0, n == 0) << n;
        EXPECT_FALSE(S.flags & INPUT_POD_LEFT);
    }
    // CYCLE_HAT_MODES: now the hat slews the pod every frame.
    Run("CYCLE_HAT_MODES");
    EXPECT_EQ(inmap_HatMode, 1);
    for (int32_t n = 0; n < 3; n++) {
        inmap_PollClear();
        Run("LOOK_LEFT", n, 0.5f);
        EXPECT_TRUE(S.flags & INPUT_POD_LEFT) << n;
        EXPECT_FALSE(S.flags & INPUT_LOOK_LEFT);
        EXPECT_FLOAT_EQ(S.podX, 0.5f);
    }
    Run("CYCLE_HAT_MODES");
    EXPECT_EQ(inmap_HatMode, 0);
}

TEST_F(ActionTest, ModifierActionsSetTheirFlags) {
    Run("CTRL");
    Run("ALT");
    EXPECT_EQ(inmap_ActionCtrl, 1);
    EXPECT_EQ(inmap_ActionAlt, 1);
    EXPECT_EQ(inmap_ActionShift, 0);
    inmap_StateReset();
    EXPECT_EQ(inmap_ActionCtrl + inmap_ActionAlt, 0);
}

TEST_F(ActionTest, TogglesAndRequests) {
    Run("SNAPSHOT");
    EXPECT_EQ(render_OneShotAction, 3);
    Run("TOGGLE_WINDOWED");
    EXPECT_EQ(render_WindowedToggleRequest, 1);
    Run("TOGGLE_HUD");
    EXPECT_EQ(HudShownFlag, 0);
    Run("TOGGLE_HUD");
    EXPECT_EQ(HudShownFlag, 1);
    Run("NAV_OVERLAY");
    EXPECT_EQ(inmap_NavOverlay, 1);

    // HUD shade: the index of the current colour mode, clamped to 0..6.
    hud_ColourMode = 1;
    for (int i = 0; i < 5; i++) Run("HUD_DARKEN");
    EXPECT_EQ(hud_ShadeIndex[1], 6);
    EXPECT_EQ(hud_ShadeIndex[0], 3);
    hud_ColourMode = 2;
    for (int i = 0; i < 5; i++) Run("HUD_BRIGHTEN");
    EXPECT_EQ(hud_ShadeIndex[0], 0);

    // Time compression toggles 1 -> 6 -> 1, or 12 in fast mode.
    Run("TIME_COMPRESSION");
    EXPECT_EQ(dbg_TimeCompression, 6);
    Run("TIME_COMPRESSION");
    EXPECT_EQ(dbg_TimeCompression, 1);
    dbg_FastMode = 1;
    Run("TIME_COMPRESSION");
    EXPECT_EQ(dbg_TimeCompression, 12);
    Run("TIME_COMPRESSION4");
    EXPECT_EQ(dbg_TimeCompression, 4);
    Run("TIME_COMPRESSION1");
    EXPECT_EQ(dbg_TimeCompression, 1);
}

TEST_F(ActionTest, ScreenStateRequestsFollowTheGameKind) {
    struct Case {
        const char* name;
        int32_t singlePlayer;
        int32_t request;
    } cases[] = {
        {"CHAT_ALL", 1, 3},        {"WINGMAN_COMMANDS", 1, 2}, {"WINGMAN_COMMANDS", 0, 0},
        {"PLAYER_NAMES", 0, 12},   {"PLAYER_NAMES", 1, 0},     {"PAUSE", 1, 6},
        {"PAUSE", 0, 0},           {"ABORT_MISSION", 0, 1},    {"TACTICAL_MAP", 0, 13},
    };
    for (const Case& c : cases) {
        inmap_ScreenStateRequest = 0;
        hud_Paused = 0;
        tacmap_Shown = 0;
        level_GameMode.singlePlayer = c.singlePlayer;
        Run(c.name);
        EXPECT_EQ(inmap_ScreenStateRequest, c.request) << c.name << " sp " << c.singlePlayer;
    }
    // Chat: its target, the other two.
    Run("CHAT_COMMANDCODE");
    EXPECT_EQ(chat_Mode, 4u);
    Run("CHAT_SQUADRON");
    EXPECT_EQ(chat_Mode, 1u);

    // A second pause while paused does nothing.
    level_GameMode.singlePlayer = 1;
    inmap_ScreenStateRequest = 0;
    hud_Paused = 1;
    Run("PAUSE");
    EXPECT_EQ(inmap_ScreenStateRequest, 0);

    // The tactical map closes when open, and the screen state with it.
    tacmap_Shown = 1;
    render_ScreenStateCurrent = &render_ScreenStateTable[13];
    Run("TACTICAL_MAP");
    EXPECT_EQ(tacmap_Shown, 0);
    EXPECT_EQ(render_ScreenStateCurrent, nullptr);

    // ABORT_MISSION needs a player object, and closes an open command menu.
    inmap_ScreenStateRequest = 0;
    Client_PlayerObjectIndex = -1;
    Run("ABORT_MISSION");
    EXPECT_EQ(inmap_ScreenStateRequest, 0);
    Client_PlayerObjectIndex = 3;
    hud_CommandMenuShown = 1;
    render_ScreenStateCurrent = &render_ScreenStateTable[1];
    Run("ABORT_MISSION");
    EXPECT_EQ(hud_CommandMenuShown, 0);
    EXPECT_EQ(render_ScreenStateCurrent, nullptr);
    EXPECT_EQ(inmap_ScreenStateRequest, 0);
}

TEST_F(ActionTest, PagesToggleByGameKind) {
    level_GameMode.singlePlayer = 1;
    Run("MISSION_OBJECTIVES");
    EXPECT_EQ(tacmap_GoalsShown, 1);
    Run("SCORE");
    EXPECT_EQ(tacmap_ScoreShown, 0);
    Run("KEYS");
    EXPECT_EQ(tacmap_KeysShown, 1);
    // Recent messages hide the goals and keys pages, unless a screen state is up.
    Run("RECENT_MESSAGES");
    EXPECT_EQ(tacmap_RecentShown, 1);
    EXPECT_EQ(tacmap_GoalsShown + tacmap_KeysShown, 0);
    render_ScreenStateCurrent = &render_ScreenStateTable[3];
    Run("RECENT_MESSAGES");
    EXPECT_EQ(tacmap_RecentShown, 1);

    tacmap_PlayerListShown = 0;
    tacmap_TeamPlay = 1;
    tacmap_OwnSquadron = -1;
    Run("SQUADRON_NAMES");
    EXPECT_EQ(tacmap_PlayerListShown, 0);
    tacmap_OwnSquadron = 2;
    Run("SQUADRON_NAMES");
    EXPECT_EQ(tacmap_PlayerListShown, 1);
}

TEST_F(ActionTest, ViewModesOnlyWhileTheFlightRuns) {
    // A requested mode is applied at the end of the drawn frame.
    auto Applied = [] {
        view_ModeSelect();
        return view_ModeCurrentGet();
    };
    view_ActiveFlag = 0;
    view_ModeRequest(VIEW_MODE_HUD);
    Run("CAMERA_COCKPIT");
    EXPECT_EQ(Applied(), VIEW_MODE_HUD);
    view_ActiveFlag = 1;
    Run("CAMERA_COCKPIT");
    EXPECT_EQ(Applied(), VIEW_MODE_COCKPIT);
    // The target view only in single player.
    level_GameMode.singlePlayer = 0;
    Run("CAMERA_TARGET");
    EXPECT_EQ(Applied(), VIEW_MODE_COCKPIT);
    level_GameMode.singlePlayer = 1;
    Run("CAMERA_TARGET");
    EXPECT_EQ(Applied(), VIEW_MODE_TARGET);
    // CAMERA_FOLLOW: first the view, then its sub-modes 1, 2, 0.
    Run("CAMERA_FOLLOW");
    EXPECT_EQ(Applied(), VIEW_MODE_FOLLOW);
    EXPECT_EQ(view_FollowSubMode, 0);
    Run("CAMERA_FOLLOW");
    Run("CAMERA_FOLLOW");
    EXPECT_EQ(view_FollowSubMode, 2);
    Run("CAMERA_FOLLOW");
    EXPECT_EQ(view_FollowSubMode, 0);
}

TEST_F(ActionTest, ZoomRule) {
    // The follow view makes the first camera the focus object.
    view_CamerasCreate();
    app_FocusObjectSet(view_CameraFirst);
    _CAM* cam = view_CameraCurrentGet();
    ASSERT_NE(cam, nullptr);
    ASSERT_TRUE(view_CameraIsExternal(cam));
    view_CameraDistanceSet(cam, 1999.5f);
    Run("ZOOM_OUT");
    EXPECT_FLOAT_EQ(view_CameraDistanceGet(cam), 2000.0f);
    view_CameraDistanceSet(cam, 16.0f);
    Run("ZOOM_IN_FAST");
    EXPECT_FLOAT_EQ(view_CameraDistanceGet(cam), 14.0f);

    // A 0x800 view changes its zoom word as well.
    ViewFlags = 0x800;
    view_CameraDistance = 0x50000;
    Run("ZOOM_IN_FAST");
    EXPECT_EQ(view_CameraDistance, 0x50000 - 0x9000);
    Run("ZOOM_OUT");
    EXPECT_EQ(view_CameraDistance, 0x50000 - 0x9000 + 4096);

    // The tactical map takes the zoom instead of the camera.
    tacmap_Shown = 1;
    view_CameraDistanceSet(cam, 100.0f);
    Run("ZOOM_OUT");
    EXPECT_FLOAT_EQ(view_CameraDistanceGet(cam), 100.0f);
    tacmap_Shown = 0;

    // The keys page scrolls within the active map's inputs.
    _INMAP* map = NewMap();
    _INMAP_ACTION* a = BoundAction(map, "GEAR");
    for (int i = 0; i < 3; i++) inmap_InputCreate(a, INMAP_KIND_KEYBOARD, 0, 'A' + i, 0, 0);
    ASSERT_EQ(inmap_MapActivate(map), 0);
    tacmap_KeysShown = 1;
    for (int i = 0; i < 5; i++) Run("ZOOM_OUT_FAST");
    EXPECT_EQ(tacmap_KeysScroll, 2);
    for (int i = 0; i < 5; i++) Run("ZOOM_IN");
    EXPECT_EQ(tacmap_KeysScroll, 0);
    EXPECT_FLOAT_EQ(view_CameraDistanceGet(cam), 100.0f);
    view_CamerasFree();
}

}  // namespace

namespace {

TEST_F(ActionTest, HatUseIsFlightOrMenuOnly) {
    struct Case {
        int32_t mode, result, use;
    } cases[] = {
        {INMAP_HAT_MENU, 0, INMAP_HAT_MENU},
        {0, -1, INMAP_HAT_MENU},  // refused: the use stays
        {3, -1, INMAP_HAT_MENU},
        {INMAP_HAT_FLIGHT, 0, INMAP_HAT_FLIGHT},
        {-1, -1, INMAP_HAT_FLIGHT},
    };
    EXPECT_EQ(inmap_HatUse, INMAP_HAT_FLIGHT);
    for (const Case& c : cases) {
        EXPECT_EQ(inmap_HatModeSelect(c.mode), c.result) << c.mode;
        EXPECT_EQ(inmap_HatUse, c.use) << c.mode;
    }
    // The look/pod mode of the hat is a separate word.
    EXPECT_EQ(inmap_HatMode, 0);
}

}  // namespace
