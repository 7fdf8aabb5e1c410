// The built-in default bindings: what a new or outdated map file is made
// from. Keyboard bindings first, then each joystick layout's.
#include "input/inmapfile.h"
#include "platform/winmsg.h"

const InmapBinding* inmap_ExtraBindings = nullptr;

namespace {

constexpr int32_t C = INMAP_MOD_CTRL;
constexpr int32_t S = INMAP_MOD_SHIFT;
constexpr int32_t A = INMAP_MOD_ALT;
constexpr int32_t HOLD = 1;

// Joystick codes.
constexpr int32_t JOY_LEFT = 0, JOY_RIGHT = 1, JOY_UP = 2, JOY_DOWN = 3, THROTTLE = 4, RUDDER_LEFT = 5,
                  RUDDER_RIGHT = 6;
constexpr int32_t HAT1_UP = 12, HAT1_DOWN = 13, HAT1_LEFT = 14, HAT1_RIGHT = 15;
constexpr int32_t HAT2_UP = 17, HAT2_DOWN = 18, HAT2_LEFT = 19, HAT2_RIGHT = 20;
constexpr int32_t B1 = 31, B2 = 32, B3 = 33, B4 = 34, B5 = 35, B6 = 36, B7 = 37, B8 = 38, B9 = 39, B10 = 40;

}  // namespace

#define KEY(action, code, mods, hold) {action, INMAP_KIND_KEYBOARD, 0, (int32_t)(code), mods, hold}
#define JOY(layout, action, code, mods, hold) {action, INMAP_KIND_JOYSTICK, layout, code, mods, hold}

// The pieces the joystick layouts are made of.
#define J_STICK(l)                                                                                     \
    JOY(l, "STICK_UP", JOY_UP, 0, HOLD), JOY(l, "STICK_DOWN", JOY_DOWN, 0, HOLD),                     \
        JOY(l, "STICK_LEFT", JOY_LEFT, 0, HOLD), JOY(l, "STICK_RIGHT", JOY_RIGHT, 0, HOLD)
#define J_CAMERA(l)                                                                                    \
    JOY(l, "CAMERA_UP", JOY_UP, C, HOLD), JOY(l, "CAMERA_DOWN", JOY_DOWN, C, HOLD),                   \
        JOY(l, "CAMERA_LEFT", JOY_LEFT, C, HOLD), JOY(l, "CAMERA_RIGHT", JOY_RIGHT, C, HOLD)
#define J_AXES(l)                                                                                      \
    JOY(l, "RUDDER_LEFT", RUDDER_LEFT, 0, HOLD), JOY(l, "RUDDER_RIGHT", RUDDER_RIGHT, 0, HOLD),       \
        JOY(l, "THROTTLE", THROTTLE, 0, HOLD)
#define J_FIRE(l)                                                                                      \
    JOY(l, "FIRE_CANNON", B1, 0, HOLD), JOY(l, "FIRE_CURRENT_WEAPON", B2, 0, HOLD),                   \
        JOY(l, "JETTISON_CURRENT_WEAPON", B2, C | S, 0)
#define J_HAT(l)                                                                                       \
    JOY(l, "LOOK_FORWARD", HAT1_UP, 0, 0), JOY(l, "LOOK_BACKWARD", HAT1_DOWN, 0, 0),                  \
        JOY(l, "LOOK_LEFT", HAT1_LEFT, 0, 0), JOY(l, "LOOK_RIGHT", HAT1_RIGHT, 0, 0)
// Weapon and target selection on two buttons.
#define J_SELECT(l, weapon, target)                                                                    \
    JOY(l, "SELECT_WEAPON_NEXT", weapon, 0, 0), JOY(l, "TARGET_NEXT", target, 0, 0)
#define J_BRAKE(l, b) JOY(l, "BRAKE", b, 0, HOLD)
#define J_AUTO_LEVEL(l) JOY(l, "AUTO_LEVEL", B6, 0, 0)
#define J_COUNTER(l) JOY(l, "FLARE", B7, 0, 0), JOY(l, "CHAFF", B8, 0, 0)
// The standard layout with the weapon and target buttons given.
#define J_STANDARD(l, weapon, target)                                                                  \
    J_STICK(l), J_CAMERA(l), J_AXES(l), J_FIRE(l), J_SELECT(l, weapon, target), J_BRAKE(l, B5),        \
        J_AUTO_LEVEL(l), J_COUNTER(l), J_HAT(l)
// Without the camera.
#define J_NO_CAMERA(l)                                                                                 \
    J_STICK(l), J_AXES(l), J_FIRE(l), J_SELECT(l, B3, B4), J_BRAKE(l, B5), J_AUTO_LEVEL(l),            \
        J_COUNTER(l), J_HAT(l)

constexpr InmapBinding inmap_DefaultBindings[INMAP_DEFAULT_COUNT + 1] = {
    // ---- Keyboard ----
    KEY("SNAPSHOT", VK_INSERT, C | S, 0),
    KEY("PARK_CAMERA", 'O', C | S, 0),
    KEY("AUTO_SPIN_CAMERA", 'O', C | S | A, 0),
    KEY("TOGGLE_WINDOWED", 'V', C, 0),
    KEY("STICK_UP", VK_UP, 0, HOLD),
    KEY("STICK_DOWN", VK_DOWN, 0, HOLD),
    KEY("STICK_LEFT", VK_LEFT, 0, HOLD),
    KEY("STICK_RIGHT", VK_RIGHT, 0, HOLD),
    KEY("CAMERA_UP", VK_UP, C, HOLD),
    KEY("CAMERA_DOWN", VK_DOWN, C, HOLD),
    KEY("CAMERA_LEFT", VK_LEFT, C, HOLD),
    KEY("CAMERA_RIGHT", VK_RIGHT, C, HOLD),
    KEY("RUDDER_LEFT", VK_DELETE, 0, HOLD),
    KEY("RUDDER_RIGHT", VK_NEXT, 0, HOLD),
    KEY("LOOK_FORWARD", VK_SUBTRACT, 0, HOLD),
    KEY("LOOK_BACKWARD", VK_ADD, 0, HOLD),
    KEY("LOOK_LEFT", VK_DIVIDE, 0, HOLD),
    KEY("LOOK_RIGHT", VK_MULTIPLY, 0, HOLD),
    KEY("TOGGLE_HUD", VK_F10, 0, 0),
    KEY("NAV_OVERLAY", VK_F11, 0, 0),
    KEY("TIME_COMPRESSION", VK_F12, 0, 0),
    KEY("SELECT_WEAPON_PREV", VK_OEM_3, C, 0),
    KEY("SELECT_WEAPON_NEXT", VK_OEM_3, 0, 0),
    KEY("SELECT_WEAPON_NONE", '1', 0, 0),
    KEY("SELECT_WEAPON_CANNON", '2', 0, 0),
    KEY("SELECT_WEAPON_AAM_PREV", '3', C, 0),
    KEY("SELECT_WEAPON_AAM_NEXT", '3', 0, 0),
    KEY("SELECT_WEAPON_AGM_PREV", '4', C, 0),
    KEY("SELECT_WEAPON_AGM_NEXT", '4', 0, 0),
    KEY("SELECT_WEAPON_BOMB_PREV", '5', C, 0),
    KEY("SELECT_WEAPON_BOMB_NEXT", '5', 0, 0),
    KEY("SELECT_WEAPON_KIND_PREV", '3', C | S, 0),
    KEY("SELECT_WEAPON_KIND_NEXT", '3', S, 0),
    KEY("SELECT_WEAPON_SAME_PREV", '4', C | S, 0),
    KEY("SELECT_WEAPON_SAME_NEXT", '4', S, 0),
    KEY("SELECT_WEAPON_POD_PREV", '5', C | S, 0),
    KEY("SELECT_WEAPON_POD_NEXT", '5', S, 0),
    KEY("THROTTLE_OFF", '6', 0, 0),
    KEY("THROTTLE_IDLE", '7', 0, 0),
    KEY("THROTTLE_LANDING", '8', 0, 0),
    KEY("THROTTLE_CRUISE", '9', 0, 0),
    KEY("THROTTLE_MIL", '0', 0, 0),
    KEY("THROTTLE_AB", VK_BACK, 0, 0),
    KEY("THROTTLE_UP", VK_OEM_PLUS, 0, HOLD),
    KEY("THROTTLE_DOWN", VK_OEM_MINUS, 0, HOLD),
    KEY("FIRE_CANNON", 'Z', 0, HOLD),
    KEY("FIRE_CURRENT_WEAPON", VK_SPACE, 0, HOLD),
    KEY("JETTISON_CURRENT_WEAPON", 'K', C, 0),
    KEY("SALVO_JETTISON", 'J', C, 0),
    KEY("GEAR", 'G', 0, 0),
    KEY("FLAPS", 'F', 0, 0),
    KEY("BRAKE", 'B', 0, HOLD),
    KEY("CHAFF", 'C', 0, 0),
    KEY("FLARE", 'D', 0, 0),
    KEY("AUTO_PILOT", 'A', 0, 0),
    KEY("AUTO_LEVEL", 'L', 0, 0),
    KEY("FLY_HOME", 'H', 0, 0),
    KEY("WAYPOINT_PREV", 'N', C, 0),
    KEY("WAYPOINT_PREV", 'N', S, 0),
    KEY("WAYPOINT_PREV", 'N', A, 0),
    KEY("WAYPOINT_NEXT", 'N', 0, 0),
    KEY("RADAR_ENABLE", 'R', 0, 0),
    KEY("SHOOT_LIST", VK_RETURN, 0, 0),
    KEY("TARGET_PREV", VK_OEM_4, 0, 0),
    KEY("TARGET_NEXT", VK_OEM_6, 0, 0),
    KEY("RADAR_ID_PREV", VK_TAB, C, 0),
    KEY("RADAR_ID_PREV", VK_TAB, S, 0),
    KEY("RADAR_ID_PREV", VK_TAB, A, 0),
    KEY("RADAR_ID_NEXT", VK_TAB, 0, 0),
    KEY("BORESIGHT", VK_OEM_7, 0, 0),
    KEY("BORESIGHT", VK_OEM_1, 0, 0),
    KEY("END_MISSION", 'E', 0, 0),
    KEY("EJECT", 'E', C, 0),
    KEY("CAMERA_COCKPIT", VK_F1, 0, 0),
    KEY("CAMERA_POV", VK_F2, 0, 0),
    KEY("CAMERA_FOLLOW", VK_F3, 0, 0),
    KEY("CAMERA_FLY_BY", VK_F4, 0, 0),
    KEY("CAMERA_TARGET_LOCK", VK_F5, 0, 0),
    KEY("CAMERA_WINGMAN", VK_F6, 0, 0),
    KEY("CAMERA_MISSILE", VK_F7, 0, 0),
    KEY("CAMERA_TARGET", VK_F8, 0, 0),
    KEY("CAMERA_AVION_STATUS", VK_NUMPAD7, 0, 0),
    KEY("CAMERA_AVION_HORIZON", VK_NUMPAD9, 0, 0),
    KEY("CAMERA_AVION_DEFENSE", VK_NUMPAD4, 0, 0),
    KEY("CAMERA_AVION_NAVIGATION", VK_NUMPAD5, 0, 0),
    KEY("CAMERA_AVION_ATTACK", VK_NUMPAD6, 0, 0),
    KEY("CAMERA_AVION_STORES", VK_NUMPAD2, 0, 0),
    KEY("CAMERA_STICK", VK_NUMPAD3, 0, 0),
    KEY("CAMERA_THROTTLE", VK_NUMPAD1, 0, 0),
    KEY("CAMERA_HUD", VK_NUMPAD8, 0, 0),
    KEY("ZOOM_IN", 'S', 0, HOLD),
    KEY("ZOOM_IN_FAST", 'S', S, HOLD),
    KEY("ZOOM_OUT", 'X', 0, HOLD),
    KEY("ZOOM_OUT_FAST", 'X', S, HOLD),
    KEY("CHAT_ALL", 'T', 0, 0),
    KEY("CHAT_SQUADRON", 'T', S, 0),
    KEY("CHAT_COMMANDCODE", VK_RETURN, C, 0),
    KEY("CHAT_COMMANDCODE", VK_RETURN, S, 0),
    KEY("CHAT_COMMANDCODE", VK_RETURN, C | S, 0),
    KEY("ABORT_MISSION", VK_ESCAPE, 0, 0),
    KEY("WINGMAN_COMMANDS", 'W', 0, 0),
    KEY("PLAYER_NAMES", 'P', 0, 0),
    KEY("SQUADRON_NAMES", 'Q', 0, 0),
    KEY("RECENT_MESSAGES", 'Y', 0, 0),
    KEY("MISSION_OBJECTIVES", 'O', 0, 0),
    KEY("TACTICAL_MAP", 'M', 0, 0),
    KEY("SCORE", 'K', 0, 0),
    KEY("KEYS", VK_OEM_2, 0, 0),
    KEY("PAUSE", VK_PAUSE, 0, 0),
    KEY("HUD_BRIGHTEN", VK_OEM_COMMA, 0, 0),
    KEY("HUD_DARKEN", VK_OEM_PERIOD, 0, 0),
    KEY("WINGMAN_TIGHT", '0', A, 0),
    KEY("WINGMAN_LOOSE", '1', A, 0),
    KEY("WINGMAN_ENGAGE", '2', A, 0),
    KEY("WINGMAN_ATTACKMYTARGET", '3', A, 0),
    KEY("WINGMAN_BREAKRIGHT", '4', A, 0),
    KEY("WINGMAN_BREAKLEFT", '5', A, 0),
    KEY("WINGMAN_ENGAGEATTACKER", '6', A, 0),
    KEY("WINGMAN_ESCORT", '7', A, 0),
    KEY("WINGMAN_COVER", '8', A, 0),
    KEY("WINGMAN_GOHOME", '9', A, 0),

    // ---- Joystick layouts ----
    // 0 STANDARD.
    J_STANDARD(0, B3, B4),
    // 1 STANDARD_FORCE_FEEDBACK: no camera; the throttle with modifiers also
    // drives THROTTLE_LEFT and THROTTLE_RIGHT, which this program has no
    // handler for.
    J_NO_CAMERA(1),
    JOY(1, "THROTTLE", THROTTLE, C | S, HOLD),
    JOY(1, "THROTTLE_LEFT", THROTTLE, S, HOLD),
    JOY(1, "THROTTLE_RIGHT", THROTTLE, C, HOLD),
    // 2-6 swap the weapon and target buttons.
    J_STANDARD(2, B4, B3),
    J_STANDARD(3, B4, B3),
    J_STANDARD(4, B4, B3),
    J_STANDARD(5, B4, B3),
    J_STANDARD(6, B4, B3),
    // 7 FORCE_FX: previous target, brake moved, rudder on buttons, no
    // auto-level.
    J_STICK(7), J_CAMERA(7), J_AXES(7), J_FIRE(7), J_SELECT(7, B3, B4),
    JOY(7, "TARGET_PREV", B5, 0, 0),
    J_BRAKE(7, B6), J_COUNTER(7),
    JOY(7, "RUDDER_LEFT", B9, 0, HOLD),
    JOY(7, "RUDDER_RIGHT", B10, 0, HOLD),
    J_HAT(7),
    // 8 PC_COMMANDER_PLUS: four buttons, no hat.
    J_STICK(8), J_CAMERA(8), J_AXES(8), J_FIRE(8), J_SELECT(8, B3, B4),
    // 9 WINGMAN: two buttons.
    J_STICK(9), J_CAMERA(9), J_AXES(9),
    JOY(9, "FIRE_CURRENT_WEAPON", B1, 0, HOLD),
    JOY(9, "TARGET_NEXT", B2, 0, 0),
    JOY(9, "JETTISON_CURRENT_WEAPON", B2, C | S, 0),
    // 10, 11 WINGMAN_EXTREME and its digital form: four buttons and the hat.
    J_STICK(10), J_AXES(10), J_FIRE(10), J_SELECT(10, B3, B4), J_HAT(10),
    J_STICK(11), J_AXES(11), J_FIRE(11), J_SELECT(11, B3, B4), J_HAT(11),
    // 12 WINGMAN_INTERCEPTOR: the camera on the second hat, rudder on
    // buttons.
    J_STICK(12),
    JOY(12, "CAMERA_UP", HAT2_UP, 0, HOLD),
    JOY(12, "CAMERA_DOWN", HAT2_DOWN, 0, HOLD),
    JOY(12, "CAMERA_LEFT", HAT2_LEFT, 0, HOLD),
    JOY(12, "CAMERA_RIGHT", HAT2_RIGHT, 0, HOLD),
    J_AXES(12), J_FIRE(12),
    JOY(12, "TARGET_NEXT", B3, 0, 0),
    JOY(12, "CHAFF", B4, 0, HOLD),
    JOY(12, "FLARE", B5, 0, HOLD),
    JOY(12, "SELECT_WEAPON_NEXT", B6, 0, 0),
    JOY(12, "BRAKE", B7, 0, HOLD),
    JOY(12, "RUDDER_LEFT", B8, 0, HOLD),
    JOY(12, "RUDDER_RIGHT", B9, 0, HOLD),
    J_HAT(12),
    // 13 WINGMAN_FORCE_FEEDBACK: no camera.
    J_NO_CAMERA(13),
    // 14 CYBERMAN2, 15 THUNDERPAD_DIGITAL: no camera, no hat.
    J_STICK(14), J_AXES(14), J_FIRE(14), J_SELECT(14, B3, B4), J_BRAKE(14, B5), J_AUTO_LEVEL(14), J_COUNTER(14),
    J_STICK(15), J_AXES(15), J_FIRE(15), J_SELECT(15, B3, B4), J_BRAKE(15, B5), J_AUTO_LEVEL(15), J_COUNTER(15),
    // 16 SIDEWINDER, 17 SIDEWINDER_FORCE_FEEDBACK_PRO: no camera.
    J_NO_CAMERA(16),
    J_NO_CAMERA(17),

    {nullptr, 0, 0, 0, 0, 0},
};

namespace {
constexpr int32_t CountKind(int32_t kind) {
    int32_t n = 0;
    for (const InmapBinding* b = inmap_DefaultBindings; b->action; b++) n += b->kind == kind;
    return n;
}
}  // namespace
static_assert(CountKind(INMAP_KIND_KEYBOARD) == INMAP_DEFAULT_KEYBOARD_COUNT, "keyboard defaults");
static_assert(CountKind(INMAP_KIND_JOYSTICK) == INMAP_DEFAULT_JOYSTICK_COUNT, "joystick defaults");
