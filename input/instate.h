// The per-frame input state and the table of named actions. Everything the
// player does in flight reaches the simulation, the cameras and the cockpit
// through the current record; the previous one tells a new press from a
// held one. The action handlers write the current record (or flip a piece of
// in-flight state) when the input map resolves the frame's inputs.
#pragma once
#include <cstddef>
#include <cstdint>

struct _INPUT_STATE {
    uint32_t flags;         // INPUT_* bits
    int32_t command;        // the frame's discrete command (INPUT_CMD_*), 0 none
    int32_t panel;          // cockpit panel or MFD button 1..44, 0 none
    float stickX;           // -1..+1, negative = left
    float stickY;           // -1..+1, negative = stick forward
    float rudder;           // -1..+1, negative = left
    float throttle;         // valid with INPUT_THROTTLE_SET
    int32_t word8;          // not used by the input layer
    int32_t word9;          // not used by the input layer
    uint32_t mouseButtons;  // 1 left held, 2 left went down, 4 left went up
    int32_t cursorItem;     // virtual cursor item, -1 none
    float cameraX;          // negative = left
    float cameraY;          // negative = up
    float podX;             // targeting-pod slew
    float podY;
    int32_t word16;         // outside the copied and cleared area
};
// The poll copies and clears this much of the record.
constexpr size_t INPUT_STATE_COPIED = 15 * 4;
static_assert(offsetof(_INPUT_STATE, word16) == INPUT_STATE_COPIED, "_INPUT_STATE layout");

// Flag bits.
enum : uint32_t {
    INPUT_ALT = 0x00000001,
    INPUT_CTRL = 0x00000002,
    INPUT_SHIFT = 0x00000004,
    INPUT_STICK_UP = 0x00000008,
    INPUT_STICK_DOWN = 0x00000010,
    INPUT_STICK_LEFT = 0x00000020,
    INPUT_STICK_RIGHT = 0x00000040,
    INPUT_CAMERA_UP = 0x00000080,
    INPUT_CAMERA_DOWN = 0x00000100,
    INPUT_CAMERA_LEFT = 0x00000200,
    INPUT_CAMERA_RIGHT = 0x00000400,
    INPUT_FIRE_CANNON = 0x00000800,
    INPUT_FIRE_WEAPON = 0x00001000,
    INPUT_GEAR = 0x00002000,
    INPUT_FLAPS = 0x00004000,
    INPUT_BRAKE = 0x00008000,
    INPUT_THROTTLE_SET = 0x00020000,
    INPUT_RUDDER = 0x00100000,
    INPUT_LOOK_FORWARD = 0x00400000,
    INPUT_LOOK_BACKWARD = 0x00800000,
    INPUT_LOOK_LEFT = 0x01000000,
    INPUT_LOOK_RIGHT = 0x02000000,
    INPUT_POD_UP = 0x04000000,
    INPUT_POD_DOWN = 0x08000000,
    INPUT_POD_LEFT = 0x10000000,
    INPUT_POD_RIGHT = 0x20000000,
    // A cleared record: stick and rudder centred.
    INPUT_CLEARED = INPUT_STICK_UP | INPUT_STICK_DOWN | INPUT_STICK_LEFT | INPUT_STICK_RIGHT | INPUT_RUDDER,
};

// Command codes the poll itself produces (the actions' codes are in the
// action table).
enum : int32_t {
    INPUT_CMD_DEBUG = 46,
    INPUT_CMD_END_MISSION = 47,
};

// Screen-state requests of the actions.
enum : int32_t {
    INPUT_SCREEN_ABORT_MENU = 1,
    INPUT_SCREEN_WINGMAN = 2,
    INPUT_SCREEN_CHAT = 3,
    INPUT_SCREEN_PAUSE = 6,
    INPUT_SCREEN_PLAYER_NAMES = 12,
    INPUT_SCREEN_TACTICAL_MAP = 13,
};

extern _INPUT_STATE inmap_InputCurrent;
extern _INPUT_STATE inmap_InputPrevious;

// Throttle presets, in the order OFF, IDLE, LANDING, CRUISE, MIL, AB, 10, 20,
// 25, 30, 40, 50, 60, 70, 75, 80, 90; filled by the current aircraft.
constexpr int32_t INMAP_THROTTLE_PRESETS = 17;
constexpr int32_t INMAP_THROTTLE_AB = 5;
extern float inmap_ThrottlePresets[INMAP_THROTTLE_PRESETS];

// 0: the hat looks around; 1: the hat slews the targeting pod.
extern int32_t inmap_HatMode;
// What the hat switch serves: flight, or the menu while a page or screen
// holds the player's attention (inmap_HatModeSelect; the client frame chooses).
enum : int32_t { INMAP_HAT_FLIGHT = 1, INMAP_HAT_MENU = 2 };
extern int32_t inmap_HatUse;
// 1 in flight (from the loading screen's leave on), 0 in the menus (the main
// screen clears it).
extern int32_t inmap_InFlight;
// Screen state that the actions ask for this frame, 0 none; cleared by the
// poll, which acts on it after the resolution step.
extern int32_t inmap_ScreenStateRequest;
// Nonzero while the navigation overlay is on.
extern uint8_t inmap_NavOverlay;
// Set by the CTRL, SHIFT and ALT actions for this frame.
extern int32_t inmap_ActionCtrl;
extern int32_t inmap_ActionShift;
extern int32_t inmap_ActionAlt;

// An action handler takes the frames the input has been held (0 in the first)
// and a value 0..1 (the key ramp or the joystick axis).
typedef void (*InmapHandler)(int32_t frames, float value);

struct InmapActionDef {
    const char* name;     // null ends the table
    int32_t id;           // INPUTMAP.BIN item of the display name
    int32_t continuous;   // 1: bindings made for it are HOLD
    InmapHandler handler;
};

constexpr int32_t INMAP_ACTION_TABLE_COUNT = 204;
// 204 records in table order, then a record with a null name.
extern const InmapActionDef inmap_ActionTable[INMAP_ACTION_TABLE_COUNT + 1];
