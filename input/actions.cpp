// The input state record and the action table with its handlers.
#include <cstring>

#include "cockpit/hud.h"
#include "cockpit/mfd.h"
#include "cockpit/tacmap.h"
#include "debug/console.h"
#include "debug/timecomp.h"
#include "input/inmap.h"
#include "input/instate.h"
#include "net/chat.h"
#include "net/client.h"
#include "render/render.h"
#include "render/view.h"
#include "shell/runner.h"
#include "world/gamemode.h"

_INPUT_STATE inmap_InputCurrent;
_INPUT_STATE inmap_InputPrevious;
float inmap_ThrottlePresets[INMAP_THROTTLE_PRESETS];
int32_t inmap_HatMode = 0;
int32_t inmap_HatUse = INMAP_HAT_FLIGHT;
int32_t inmap_InFlight = 0;
int32_t inmap_ScreenStateRequest = 0;
uint8_t inmap_NavOverlay = 0;
int32_t inmap_ActionCtrl = 0;
int32_t inmap_ActionShift = 0;
int32_t inmap_ActionAlt = 0;

namespace {

_INPUT_STATE& S = inmap_InputCurrent;

// The flight is running while the view layer takes camera actions.
bool FlightRuns(void) { return view_ActiveFlag != 0; }
bool SinglePlayer(void) { return level_GameMode.singlePlayer != 0; }
bool SinglePlayerFlight(void) { return SinglePlayer() && FlightRuns(); }

// Sets one direction bit and clears the opposite one.
void Direction(uint32_t set, uint32_t clear) { S.flags = (S.flags | set) & ~clear; }

void Toggle(int32_t& word) { word = word ? 0 : 1; }
void Toggle(uint8_t& byte) { byte = byte ? 0 : 1; }

// --- modifiers -------------------------------------------------------------
void Ctrl(int32_t, float) { inmap_ActionCtrl = 1; }
void Shift(int32_t, float) { inmap_ActionShift = 1; }
void Alt(int32_t, float) { inmap_ActionAlt = 1; }

// --- stick, camera and rudder axes ------------------------------------------
void StickUp(int32_t, float v) { S.stickY = -v; Direction(INPUT_STICK_UP, INPUT_STICK_DOWN); }
void StickDown(int32_t, float v) { S.stickY = v; Direction(INPUT_STICK_DOWN, INPUT_STICK_UP); }
void StickLeft(int32_t, float v) { S.stickX = -v; Direction(INPUT_STICK_LEFT, INPUT_STICK_RIGHT); }
void StickRight(int32_t, float v) { S.stickX = v; Direction(INPUT_STICK_RIGHT, INPUT_STICK_LEFT); }
void CameraUp(int32_t, float v) { S.cameraY = -v; Direction(INPUT_CAMERA_UP, INPUT_CAMERA_DOWN); }
void CameraDown(int32_t, float v) { S.cameraY = v; Direction(INPUT_CAMERA_DOWN, INPUT_CAMERA_UP); }
void CameraLeft(int32_t, float v) { S.cameraX = -v; Direction(INPUT_CAMERA_LEFT, INPUT_CAMERA_RIGHT); }
void CameraRight(int32_t, float v) { S.cameraX = v; Direction(INPUT_CAMERA_RIGHT, INPUT_CAMERA_LEFT); }
void RudderLeft(int32_t, float v) { S.rudder = -v; S.flags |= INPUT_RUDDER; }
void RudderRight(int32_t, float v) { S.rudder = v; S.flags |= INPUT_RUDDER; }

// --- pod slew and the hat -----------------------------------------------------
void PodUp(int32_t, float v) { S.flags |= INPUT_POD_UP; S.podY = v; }
void PodDown(int32_t, float v) { S.flags |= INPUT_POD_DOWN; S.podY = v; }
void PodLeft(int32_t, float v) { S.flags |= INPUT_POD_LEFT; S.podX = v; }
void PodRight(int32_t, float v) { S.flags |= INPUT_POD_RIGHT; S.podX = v; }

// Hat mode 1 slews the pod every frame; hat mode 0 looks, once per press.
void Look(int32_t n, float v, InmapHandler pod, uint32_t lookBit) {
    if (inmap_HatMode == 1)
        pod(n, v);
    else if (n == 0)
        S.flags |= lookBit;
}
void LookForward(int32_t n, float v) { Look(n, v, PodUp, INPUT_LOOK_FORWARD); }
void LookBackward(int32_t n, float v) { Look(n, v, PodDown, INPUT_LOOK_BACKWARD); }
void LookLeft(int32_t n, float v) { Look(n, v, PodLeft, INPUT_LOOK_LEFT); }
void LookRight(int32_t n, float v) { Look(n, v, PodRight, INPUT_LOOK_RIGHT); }

void CycleHatModes(int32_t, float) {
    if (inmap_HatMode == 0) {
        inmap_HatMode = 1;
        con_PrintString(486);
    } else {
        inmap_HatMode = 0;
        con_PrintString(487);
    }
}

// --- throttle -----------------------------------------------------------------
void ThrottleAxis(int32_t, float v) {
    float ab = inmap_ThrottlePresets[INMAP_THROTTLE_AB];
    if (v < 0.1f)
        S.throttle = 0.0f;
    else if (v <= 0.9f)
        S.throttle = v * ab;
    else
        S.throttle = ab;
    S.flags |= INPUT_THROTTLE_SET;
}

template <int32_t Index>
void ThrottlePreset(int32_t, float) {
    static_assert(Index >= 0 && Index < INMAP_THROTTLE_PRESETS);
    S.throttle = inmap_ThrottlePresets[Index];
    S.flags |= INPUT_THROTTLE_SET;
}

// --- flag bits, command codes, panel buttons -----------------------------------
template <uint32_t Bit>
void FlagBit(int32_t, float) { S.flags |= Bit; }

template <int32_t Code>
void Command(int32_t, float) { S.command = Code; }

template <int32_t Code>
void Panel(int32_t, float) {
    static_assert(Code >= 1 && Code <= 44);
    S.panel = Code;
}

// --- views and cameras -------------------------------------------------------
template <int32_t Mode, int SinglePlayerOnly>
void ViewMode(int32_t, float) {
    if (SinglePlayerOnly ? !SinglePlayerFlight() : !FlightRuns()) return;
    view_ModeRequest(Mode);
}

void CameraFollow(int32_t, float) {
    if (view_ModeCurrentGet() != VIEW_MODE_FOLLOW) {
        if (FlightRuns()) view_ModeRequest(VIEW_MODE_FOLLOW);
        return;
    }
    int32_t sub = view_FollowSubMode + 1;
    if (sub < 0 || sub > 2) sub = 0;
    view_FollowSubMode = sub;
    con_PrintString(924 + sub);
}

void ParkCamera(int32_t, float) { view_CameraPark(view_CameraCurrentGet()); }
void AutoSpinCamera(int32_t, float) { Toggle(view_CameraAutoSpin); }

// One zoom rule with four step sizes.
struct ZoomStep {
    int32_t out;          // 0 in, 1 out
    int32_t fast;
    int32_t list;         // list position and keys-page step
    float camera;         // external camera distance
    int32_t viewZoom;     // zoom word of a 0x800 view
    int32_t mfdZoom;      // MFD map zoom of a 0x100 view
};
constexpr ZoomStep kZoom[4] = {
    {0, 0, -1, -1.0f, -4096, -4096},
    {0, 1, -1, -4.0f, -0x9000, -0x4000},
    {1, 0, 1, 1.0f, 4096, 4096},
    {1, 1, 1, 4.0f, 0x9000, 0x4000},
};
enum { ZOOM_IN_STEP, ZOOM_IN_FAST_STEP, ZOOM_OUT_STEP, ZOOM_OUT_FAST_STEP };

template <int Kind>
void Zoom(int32_t, float) {
    const ZoomStep& z = kZoom[Kind];
    if (tacmap_Shown) {
        if (z.out)
            tacmap_ZoomOut(z.fast);
        else
            tacmap_ZoomIn(z.fast);
        return;
    }
    if (hud_ListMode) {
        hud_ListPosition += z.list;
        return;
    }
    if (tacmap_KeysShown) {
        int32_t last = inmap_ActiveMap ? inmap_ActiveMap->inputCount - 1 : 0;
        if (last < 0) last = 0;
        int32_t line = tacmap_KeysScroll + z.list;
        tacmap_KeysScroll = line < 0 ? 0 : (line > last ? last : line);
        return;
    }
    _CAM* cam = view_CameraCurrentGet();
    if (cam && view_CameraIsExternal(cam)) {
        float d = view_CameraDistanceGet(cam) + z.camera;
        if (!(d >= 14.0f)) d = 14.0f;
        if (d > 2000.0f) d = 2000.0f;
        view_CameraDistanceSet(cam, d);
    }
    if (!FlightRuns()) return;
    if (ViewFlags & 0x100)
        mfd_MapZoomAdjust(z.mfdZoom);
    else if (ViewFlags & 0x800)
        view_CameraDistance = (int32_t)((uint32_t)view_CameraDistance + (uint32_t)z.viewZoom);
}

void Snapshot(int32_t, float) { render_OneShotAction = 3; }
void ToggleWindowed(int32_t, float) { render_WindowedToggleRequest = 1; }

// --- HUD and overlays -----------------------------------------------------
void ToggleHud(int32_t, float) { Toggle(HudShownFlag); }
void NavOverlay(int32_t, float) { Toggle(inmap_NavOverlay); }

template <int32_t Step>
void HudShade(int32_t, float) {
    int32_t& shade = hud_ShadeIndex[hud_ColourMode == 1 ? 1 : 0];
    int32_t v = shade + Step;
    shade = v < 0 ? 0 : (v > 6 ? 6 : v);
}

// --- time compression ---------------------------------------------------------
template <int32_t Factor>
void TimeCompression(int32_t, float) { dbg_ShowValue(Factor); }

void TimeCompressionToggle(int32_t, float) {
    if (dbg_TimeCompression == 1)
        dbg_ShowValue(dbg_FastMode ? 12 : 6);
    else
        dbg_ShowValue(1);
}

// --- screens and pages --------------------------------------------------------
template <uint32_t Target>
void Chat(int32_t, float) {
    inmap_ScreenStateRequest = INPUT_SCREEN_CHAT;
    chat_Mode = Target;
    chat_InputClear();
}

void AbortMission(int32_t, float) {
    if (Client_PlayerObjectIndex == -1) return;
    if (hud_CommandMenuShown) {
        render_ScreenStateCurrent = nullptr;
        hud_CommandMenuShown = 0;
        return;
    }
    inmap_ScreenStateRequest = INPUT_SCREEN_ABORT_MENU;
    hud_CommandMenuReset();
}

void WingmanCommands(int32_t, float) {
    if (SinglePlayerFlight()) inmap_ScreenStateRequest = INPUT_SCREEN_WINGMAN;
}

void PlayerNames(int32_t, float) {
    if (!SinglePlayer()) inmap_ScreenStateRequest = INPUT_SCREEN_PLAYER_NAMES;
}

void SquadronNames(int32_t, float) {
    if (tacmap_TeamPlay == 2 || (tacmap_TeamPlay == 1 && tacmap_OwnSquadron != -1)) Toggle(tacmap_PlayerListShown);
}

void RecentMessages(int32_t, float) {
    if (render_ScreenStateCurrent) return;
    Toggle(tacmap_RecentShown);
    tacmap_GoalsShown = 0;
    tacmap_KeysShown = 0;
}

void MissionObjectives(int32_t, float) {
    if (SinglePlayerFlight()) Toggle(tacmap_GoalsShown);
}

void TacticalMap(int32_t, float) {
    if (tacmap_Shown) {
        tacmap_Shown = 0;
        render_ScreenStateCurrent = nullptr;
        return;
    }
    tacmap_Shown = 1;
    inmap_ScreenStateRequest = INPUT_SCREEN_TACTICAL_MAP;
}

void Score(int32_t, float) {
    if (!SinglePlayer()) Toggle(tacmap_ScoreShown);
}

void Keys(int32_t, float) { Toggle(tacmap_KeysShown); }

void Pause(int32_t, float) {
    if (!SinglePlayerFlight() || hud_Paused) return;
    inmap_ScreenStateRequest = INPUT_SCREEN_PAUSE;
    hud_Paused = 1;
    hud_PauseSwitch(1);
    hud_PauseClock = app_ClockRead();
    view_CameraMotionHold(view_CameraCurrentGet());
}

}  // namespace

const InmapActionDef inmap_ActionTable[INMAP_ACTION_TABLE_COUNT + 1] = {
    {"SNAPSHOT", 315, 0, Snapshot},
    {"PARK_CAMERA", 272, 0, ParkCamera},
    {"AUTO_SPIN_CAMERA", 273, 0, AutoSpinCamera},
    {"CTRL", 209, 1, Ctrl},
    {"SHIFT", 210, 1, Shift},
    {"ALT", 211, 1, Alt},
    {"TOGGLE_WINDOWED", 212, 0, ToggleWindowed},
    {"STICK_UP", 213, 1, StickUp},
    {"STICK_DOWN", 214, 1, StickDown},
    {"STICK_LEFT", 215, 1, StickLeft},
    {"STICK_RIGHT", 216, 1, StickRight},
    {"CAMERA_UP", 445, 1, CameraUp},
    {"CAMERA_DOWN", 446, 1, CameraDown},
    {"CAMERA_LEFT", 443, 1, CameraLeft},
    {"CAMERA_RIGHT", 444, 1, CameraRight},
    {"RUDDER_LEFT", 217, 1, RudderLeft},
    {"RUDDER_RIGHT", 218, 1, RudderRight},
    {"LOOK_FORWARD", 219, 1, LookForward},
    {"LOOK_BACKWARD", 220, 1, LookBackward},
    {"LOOK_LEFT", 221, 1, LookLeft},
    {"LOOK_RIGHT", 222, 1, LookRight},
    {"TOGGLE_HUD", 223, 0, ToggleHud},
    {"NAV_OVERLAY", 224, 0, NavOverlay},
    {"TIME_COMPRESSION", 226, 0, TimeCompressionToggle},
    {"TIME_COMPRESSION1", 480, 0, TimeCompression<1>},
    {"TIME_COMPRESSION2", 481, 0, TimeCompression<2>},
    {"TIME_COMPRESSION4", 482, 0, TimeCompression<4>},
    {"TIME_COMPRESSION6", 483, 0, TimeCompression<6>},
    {"SELECT_WEAPON_PREV", 227, 0, Command<9>},
    {"SELECT_WEAPON_NEXT", 228, 0, Command<10>},
    {"SELECT_WEAPON_NONE", 229, 0, Command<11>},
    {"SELECT_WEAPON_CANNON", 230, 0, Command<12>},
    {"SELECT_WEAPON_1", 231, 0, Command<13>},
    {"SELECT_WEAPON_2", 232, 0, Command<14>},
    {"SELECT_WEAPON_3", 233, 0, Command<15>},
    {"SELECT_WEAPON_4", 234, 0, Command<16>},
    {"SELECT_WEAPON_5", 235, 0, Command<17>},
    {"SELECT_WEAPON_6", 236, 0, Command<18>},
    {"SELECT_WEAPON_7", 426, 0, Command<19>},
    {"SELECT_WEAPON_8", 427, 0, Command<20>},
    {"SELECT_WEAPON_9", 428, 0, Command<21>},
    {"SELECT_WEAPON_10", 429, 0, Command<22>},
    {"SELECT_WEAPON_KIND_PREV", 372, 0, Command<23>},
    {"SELECT_WEAPON_KIND_NEXT", 373, 0, Command<24>},
    {"SELECT_WEAPON_SAME_PREV", 436, 0, Command<25>},
    {"SELECT_WEAPON_SAME_NEXT", 437, 0, Command<26>},
    {"SELECT_WEAPON_AAM_PREV", 374, 0, Command<27>},
    {"SELECT_WEAPON_AAM_NEXT", 375, 0, Command<28>},
    {"SELECT_WEAPON_AGM_PREV", 376, 0, Command<29>},
    {"SELECT_WEAPON_AGM_NEXT", 377, 0, Command<30>},
    {"SELECT_WEAPON_BOMB_PREV", 378, 0, Command<31>},
    {"SELECT_WEAPON_BOMB_NEXT", 379, 0, Command<32>},
    {"SELECT_WEAPON_POD_PREV", 380, 0, Command<33>},
    {"SELECT_WEAPON_POD_NEXT", 381, 0, Command<34>},
    {"THROTTLE", 237, 1, ThrottleAxis},
    {"THROTTLE_OFF", 238, 0, ThrottlePreset<0>},
    {"THROTTLE_IDLE", 239, 0, ThrottlePreset<1>},
    {"THROTTLE_LANDING", 430, 0, ThrottlePreset<2>},
    {"THROTTLE_CRUISE", 431, 0, ThrottlePreset<3>},
    {"THROTTLE_MIL", 243, 0, ThrottlePreset<4>},
    {"THROTTLE_AB", 244, 0, ThrottlePreset<5>},
    {"THROTTLE_10", 348, 0, ThrottlePreset<6>},
    {"THROTTLE_20", 349, 0, ThrottlePreset<7>},
    {"THROTTLE_25", 240, 0, ThrottlePreset<8>},
    {"THROTTLE_30", 350, 0, ThrottlePreset<9>},
    {"THROTTLE_40", 351, 0, ThrottlePreset<10>},
    {"THROTTLE_50", 241, 0, ThrottlePreset<11>},
    {"THROTTLE_60", 352, 0, ThrottlePreset<12>},
    {"THROTTLE_70", 353, 0, ThrottlePreset<13>},
    {"THROTTLE_75", 242, 0, ThrottlePreset<14>},
    {"THROTTLE_80", 354, 0, ThrottlePreset<15>},
    {"THROTTLE_90", 355, 0, ThrottlePreset<16>},
    {"THROTTLE_UP", 245, 1, Command<51>},
    {"THROTTLE_DOWN", 246, 1, Command<52>},
    {"FIRE_CANNON", 293, 1, FlagBit<INPUT_FIRE_CANNON>},
    {"FIRE_CURRENT_WEAPON", 247, 1, FlagBit<INPUT_FIRE_WEAPON>},
    {"SALVO_JETTISON", 294, 0, Command<70>},
    {"JETTISON_CURRENT_WEAPON", 438, 0, Command<69>},
    {"GEAR", 249, 0, FlagBit<INPUT_GEAR>},
    {"FLAPS", 250, 0, FlagBit<INPUT_FLAPS>},
    {"BRAKE", 252, 1, FlagBit<INPUT_BRAKE>},
    {"CHAFF", 254, 0, Command<45>},
    {"FLARE", 255, 0, Command<48>},
    {"AUTO_PILOT", 256, 0, Command<1>},
    {"AUTO_LEVEL", 257, 0, Command<2>},
    {"FLY_HOME", 259, 0, Command<42>},
    {"WAYPOINT_PREV", 260, 0, Command<49>},
    {"WAYPOINT_NEXT", 261, 0, Command<41>},
    {"RADAR_ENABLE", 262, 0, Command<44>},
    {"SHOOT_LIST", 263, 0, Command<37>},
    {"TARGET_PREV", 264, 0, Command<36>},
    {"TARGET_NEXT", 265, 0, Command<35>},
    {"RADAR_ID_PREV", 266, 0, Command<39>},
    {"RADAR_ID_NEXT", 267, 0, Command<40>},
    {"BORESIGHT", 268, 0, Command<38>},
    {"END_MISSION", 270, 0, Command<47>},
    {"EJECT", 271, 0, Command<43>},
    {"CAMERA_COCKPIT", 274, 0, ViewMode<VIEW_MODE_COCKPIT, 0>},
    {"CAMERA_POV", 275, 0, ViewMode<VIEW_MODE_DEFAULT, 0>},
    {"CAMERA_FOLLOW", 276, 0, CameraFollow},
    {"CAMERA_FLY_BY", 277, 0, ViewMode<VIEW_MODE_FLY_BY, 0>},
    {"CAMERA_TARGET_LOCK", 278, 0, ViewMode<VIEW_MODE_TARGET_LOCK, 0>},
    {"CAMERA_WINGMAN", 279, 0, ViewMode<VIEW_MODE_WINGMAN, 0>},
    {"CAMERA_MISSILE", 280, 0, ViewMode<VIEW_MODE_MISSILE, 0>},
    {"CAMERA_TARGET", 281, 0, ViewMode<VIEW_MODE_TARGET, 1>},
    {"CAMERA_AVION_STATUS", 282, 0, ViewMode<VIEW_MODE_STATUS, 1>},
    {"CAMERA_AVION_HORIZON", 283, 0, ViewMode<VIEW_MODE_HORIZON, 0>},
    {"CAMERA_AVION_DEFENSE", 284, 0, ViewMode<VIEW_MODE_DEFENSE, 0>},
    {"CAMERA_AVION_NAVIGATION", 285, 0, ViewMode<VIEW_MODE_NAVIGATION, 0>},
    {"CAMERA_AVION_ATTACK", 286, 0, ViewMode<VIEW_MODE_ATTACK, 0>},
    {"CAMERA_AVION_STORES", 287, 0, ViewMode<VIEW_MODE_STORES, 0>},
    {"CAMERA_STICK", 288, 0, ViewMode<VIEW_MODE_STICK, 0>},
    {"CAMERA_THROTTLE", 289, 0, ViewMode<VIEW_MODE_THROTTLE, 0>},
    {"CAMERA_HUD", 290, 0, ViewMode<VIEW_MODE_HUD, 0>},
    {"ZOOM_IN", 291, 1, Zoom<ZOOM_IN_STEP>},
    {"ZOOM_IN_FAST", 447, 1, Zoom<ZOOM_IN_FAST_STEP>},
    {"ZOOM_OUT", 292, 1, Zoom<ZOOM_OUT_STEP>},
    {"ZOOM_OUT_FAST", 448, 1, Zoom<ZOOM_OUT_FAST_STEP>},
    {"CHAT_ALL", 316, 0, Chat<0>},
    {"CHAT_SQUADRON", 317, 0, Chat<1>},
    {"CHAT_COMMANDCODE", 467, 0, Chat<4>},
    {"ABORT_MISSION", 318, 0, AbortMission},
    {"WINGMAN_COMMANDS", 319, 0, WingmanCommands},
    {"PLAYER_NAMES", 320, 0, PlayerNames},
    {"SQUADRON_NAMES", 321, 0, SquadronNames},
    {"RECENT_MESSAGES", 322, 0, RecentMessages},
    {"MISSION_OBJECTIVES", 329, 0, MissionObjectives},
    {"TACTICAL_MAP", 453, 0, TacticalMap},
    {"SCORE", 330, 0, Score},
    {"KEYS", 331, 0, Keys},
    {"PAUSE", 332, 0, Pause},
    {"HUD_BRIGHTEN", 324, 0, HudShade<-1>},
    {"HUD_DARKEN", 325, 0, HudShade<1>},
    {"RADAR_MODE_PREV", 344, 0, Command<61>},
    {"RADAR_MODE_NEXT", 345, 0, Command<62>},
    {"WINGMAN_TIGHT", 454, 0, Command<72>},
    {"WINGMAN_LOOSE", 455, 0, Command<73>},
    {"WINGMAN_ENGAGE", 456, 0, Command<74>},
    {"WINGMAN_ATTACKMYTARGET", 457, 0, Command<75>},
    {"WINGMAN_BREAKRIGHT", 458, 0, Command<76>},
    {"WINGMAN_BREAKLEFT", 459, 0, Command<77>},
    {"WINGMAN_ENGAGEATTACKER", 460, 0, Command<78>},
    {"WINGMAN_ESCORT", 461, 0, Command<79>},
    {"WINGMAN_COVER", 462, 0, Command<80>},
    {"WINGMAN_GOHOME", 463, 0, Command<81>},
    {"CYCLE_HAT_MODES", 464, 0, CycleHatModes},
    {"MFD_LEFT_PREV", 340, 0, Command<57>},
    {"MFD_LEFT_NEXT", 341, 0, Command<58>},
    {"MFD_RIGHT_PREV", 342, 0, Command<59>},
    {"MFD_RIGHT_NEXT", 343, 0, Command<60>},
    {"LANTIRN_ENABLE", 225, 0, Command<63>},
    {"LANTIRN_FIELD_OF_VIEW", 248, 0, Command<64>},
    {"LANTIRN_SLAVE", 346, 0, Command<65>},
    {"LANTIRN_LOCK", 347, 0, Command<66>},
    {"LASER_DESIGNATOR_ENABLE", 451, 0, Command<67>},
    {"LANTIRN_UP", 441, 1, PodUp},
    {"LANTIRN_DOWN", 442, 1, PodDown},
    {"LANTIRN_LEFT", 439, 1, PodLeft},
    {"LANTIRN_RIGHT", 440, 1, PodRight},
    {"LANTIRN_PARK", 452, 0, Command<68>},
    {"PANEL_HUD", 382, 0, Panel<1>},
    {"PANEL_MFD_LEFT", 383, 0, Panel<2>},
    {"PANEL_MFD_RIGHT", 384, 0, Panel<3>},
    {"PANEL_CENTER", 385, 0, Panel<4>},
    {"PANEL_MFD_LEFT_T1", 386, 0, Panel<5>},
    {"PANEL_MFD_LEFT_T2", 387, 0, Panel<6>},
    {"PANEL_MFD_LEFT_T3", 388, 0, Panel<7>},
    {"PANEL_MFD_LEFT_T4", 389, 0, Panel<8>},
    {"PANEL_MFD_LEFT_T5", 390, 0, Panel<9>},
    {"PANEL_MFD_LEFT_L1", 391, 0, Panel<10>},
    {"PANEL_MFD_LEFT_L2", 392, 0, Panel<11>},
    {"PANEL_MFD_LEFT_L3", 393, 0, Panel<12>},
    {"PANEL_MFD_LEFT_L4", 394, 0, Panel<13>},
    {"PANEL_MFD_LEFT_L5", 395, 0, Panel<14>},
    {"PANEL_MFD_LEFT_R1", 396, 0, Panel<15>},
    {"PANEL_MFD_LEFT_R2", 397, 0, Panel<16>},
    {"PANEL_MFD_LEFT_R3", 398, 0, Panel<17>},
    {"PANEL_MFD_LEFT_R4", 399, 0, Panel<18>},
    {"PANEL_MFD_LEFT_R5", 400, 0, Panel<19>},
    {"PANEL_MFD_LEFT_B1", 401, 0, Panel<20>},
    {"PANEL_MFD_LEFT_B2", 402, 0, Panel<21>},
    {"PANEL_MFD_LEFT_B3", 403, 0, Panel<22>},
    {"PANEL_MFD_LEFT_B4", 404, 0, Panel<23>},
    {"PANEL_MFD_LEFT_B5", 405, 0, Panel<24>},
    {"PANEL_MFD_RIGHT_T1", 406, 0, Panel<25>},
    {"PANEL_MFD_RIGHT_T2", 407, 0, Panel<26>},
    {"PANEL_MFD_RIGHT_T3", 408, 0, Panel<27>},
    {"PANEL_MFD_RIGHT_T4", 409, 0, Panel<28>},
    {"PANEL_MFD_RIGHT_T5", 410, 0, Panel<29>},
    {"PANEL_MFD_RIGHT_L1", 411, 0, Panel<30>},
    {"PANEL_MFD_RIGHT_L2", 412, 0, Panel<31>},
    {"PANEL_MFD_RIGHT_L3", 413, 0, Panel<32>},
    {"PANEL_MFD_RIGHT_L4", 414, 0, Panel<33>},
    {"PANEL_MFD_RIGHT_L5", 415, 0, Panel<34>},
    {"PANEL_MFD_RIGHT_R1", 416, 0, Panel<35>},
    {"PANEL_MFD_RIGHT_R2", 417, 0, Panel<36>},
    {"PANEL_MFD_RIGHT_R3", 418, 0, Panel<37>},
    {"PANEL_MFD_RIGHT_R4", 419, 0, Panel<38>},
    {"PANEL_MFD_RIGHT_R5", 420, 0, Panel<39>},
    {"PANEL_MFD_RIGHT_B1", 421, 0, Panel<40>},
    {"PANEL_MFD_RIGHT_B2", 422, 0, Panel<41>},
    {"PANEL_MFD_RIGHT_B3", 423, 0, Panel<42>},
    {"PANEL_MFD_RIGHT_B4", 424, 0, Panel<43>},
    {"PANEL_MFD_RIGHT_B5", 425, 0, Panel<44>},
    {nullptr, 0, 0, nullptr},
};

int32_t inmap_HatModeSelect(int32_t mode) {
    if (mode != INMAP_HAT_FLIGHT && mode != INMAP_HAT_MENU) return -1;
    inmap_HatUse = mode;
    return 0;
}
