// Joysticks, throttles, rudders and force-feedback effects.
//
// Every joystick found at start gets a device record; one is active. Once
// per message pump the active device is read and its axes, hats and buttons
// become 47 codes that go down and up like keys; watchers are told of every
// change. Each device also holds its force-feedback effects, one per kind,
// which the force-feedback layer (input/ffb.h) drives.
//
// Main thread only.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/joystick.h"
#include "platform/window.h"

// ---- Codes ------------------------------------------------------------------

// Joystick codes that go down and up like keys: 0 stick left, 1 right, 2 up,
// 3 down, 4 throttle moved, 5/6 rudder left/right, 7/8 U minus/plus, 9/10 V
// minus/plus, 11..30 hats 1-4 (centre-off, up, down, left, right), 31..46
// buttons 1-16.
constexpr int32_t EJOY_CODE_COUNT = 47;
enum : int32_t {
    EJOY_CODE_STICK_LEFT = 0,
    EJOY_CODE_STICK_RIGHT = 1,
    EJOY_CODE_STICK_UP = 2,
    EJOY_CODE_STICK_DOWN = 3,
    EJOY_CODE_THROTTLE = 4,
    EJOY_CODE_RUDDER_LEFT = 5,
    EJOY_CODE_RUDDER_RIGHT = 6,
    EJOY_CODE_U_MINUS = 7,
    EJOY_CODE_U_PLUS = 8,
    EJOY_CODE_V_MINUS = 9,
    EJOY_CODE_V_PLUS = 10,
    EJOY_CODE_HAT1 = 11,  // + 5 per hat; + 0 centre-off, 1 up, 2 down, 3 left, 4 right
    EJOY_CODE_BUTTON1 = 31,
};

// Down, went down since the last edge clear, went up since then.
extern int32_t ejoy_CodeDown[EJOY_CODE_COUNT];
extern int32_t ejoy_CodePressed[EJOY_CODE_COUNT];
extern int32_t ejoy_CodeReleased[EJOY_CODE_COUNT];

// Axis values of the active device, in this order: stick x and y (-1..+1),
// throttle (0..1), rudder, U, V (-1..+1).
enum { EJOY_AXIS_X, EJOY_AXIS_Y, EJOY_AXIS_THROTTLE, EJOY_AXIS_RUDDER, EJOY_AXIS_U, EJOY_AXIS_V, EJOY_AXIS_COUNT };
extern float ejoy_AxisValue[EJOY_AXIS_COUNT];

// Axis settings, in the order x, y, throttle threshold, rudder, U, V: dead
// zones around the centre 32768, and the change of the throttle reading that
// counts as a move.
enum { EJOY_SET_X, EJOY_SET_Y, EJOY_SET_THROTTLE, EJOY_SET_RUDDER, EJOY_SET_U, EJOY_SET_V, EJOY_SET_COUNT };
extern int32_t ejoy_AxisSettings[EJOY_SET_COUNT];
extern const int32_t ejoy_CalibrationDefaults[EJOY_SET_COUNT];  // 4096 ... and threshold 256
// The input map's THROTTLE_THRESHOLD.
void ejoy_ThrottleThresholdSet(int32_t threshold);

// The layer reads the device only while this is set (1 at start; the input
// map copies JOYSTICK_ENABLE into it when it opens).
extern int32_t ejoy_EnableFlag;

// Controls of the active device (all 0 when none is active).
struct EjoyPresence {
    int32_t xy;
    int32_t throttle;
    int32_t rudder;
    int32_t u;
    int32_t v;
    int32_t hat[4];
    int32_t forceFeedback;
};
extern EjoyPresence ejoy_Present;

// ---- Devices ----------------------------------------------------------------

struct _EJOY_EFFECT;

// One joystick (heap tag "_EJOY_INFO"; the two names are copied behind it).
struct _EJOY_INFO {
    _EJOY_INFO* prev;
    _EJOY_INFO* next;
    uint8_t instanceGuid[16];
    uint8_t productGuid[16];
    const char* instanceName;
    const char* productName;
    // Flags: usable (attached, with X and Y), present controls, force feedback.
    int32_t usable;
    int32_t throttle;
    int32_t rudder;
    int32_t u;
    int32_t v;
    int32_t hat[4];
    int32_t forceFeedback;
    // Last readings: axes 0..65535 (centre 32768), hats in hundredths of a
    // degree (65535 centred), bit n of the button word = button n+1.
    int32_t readX;
    int32_t readY;
    int32_t readThrottle;
    int32_t readRudder;
    int32_t readU;
    int32_t readV;
    int32_t readHat[4];
    uint32_t buttons;
    PlatJoy device;
    _EJOY_EFFECT* effectHead;
    _EJOY_EFFECT* effectTail;
    int32_t effectCount;
};

// The device list and the active device.
extern _EJOY_INFO* ejoy_InfoHead;
extern _EJOY_INFO* ejoy_InfoTail;
extern int32_t ejoy_InfoCount;
extern _EJOY_INFO* ejoy_ActiveDevice;

// Starts the layer: shuts a previous start down, clears the active device
// and the codes, finds every joystick and makes the preferred one active.
// 0, or -1 when the joystick service cannot start.
int32_t ejoy_Init(uintptr_t instance, PlatHwnd window);
// Destroys every device record and stops the service.
void ejoy_Shutdown(void);

// Opens one device and links its record; null when any step fails.
_EJOY_INFO* ejoy_InfoCreate(const uint8_t instanceGuid[16], const uint8_t productGuid[16], const char* instanceName,
                            const char* productName);
void ejoy_InfoDestroy(_EJOY_INFO* info);

// Makes the record active and copies its controls into ejoy_Present; null
// clears them.
void ejoy_DeviceSelect(_EJOY_INFO* info);
_EJOY_INFO* ejoy_InfoFirstUsable(void);
// The first usable device, replaced by a later usable one with force
// feedback while the chosen one has none.
_EJOY_INFO* ejoy_InfoPreferred(void);
_EJOY_INFO* ejoy_InfoFindByGuid(const uint8_t guid[16]);

// Force-feedback devices only. 0 or -1.
int32_t ejoy_InfoSetAutoCenter(_EJOY_INFO* info, int32_t on);
// 1 acquired now (every effect is reset), 0 already acquired, -1 failed.
int32_t ejoy_InfoAcquire(_EJOY_INFO* info);
// Reads the device into the record: readings centred first, so a failed
// read leaves them centred. 0, or -1 when the device could not be read.
int32_t ejoy_InfoPoll(_EJOY_INFO* info);

// Once per message pump: reads the active device into the codes and axes.
void ejoy_InputRead(void);
// Zeroes the three code tables and the six axis values.
void ejoy_StateClear(void);
// Clears only the pressed and released code tables (per-frame edges).
void ejoy_ClearEdges(void);

// ---- Watchers -----------------------------------------------------------------

// Told of every code change with (code, 1 down / 0 up); the result is ignored.
typedef int32_t (*EjoyWatchRoutine)(int32_t code, int32_t down);
struct _EJOY_WATCHDOG {
    _EJOY_WATCHDOG* prev;
    _EJOY_WATCHDOG* next;
    EjoyWatchRoutine callback;
};
// Appends a watcher; null for a null callback or without memory.
_EJOY_WATCHDOG* ejoy_WatchdogAdd(EjoyWatchRoutine callback);
void ejoy_WatchdogRemove(_EJOY_WATCHDOG* node);

// ---- Identifier text ------------------------------------------------------------

// "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX"; the buffer takes 37 bytes.
constexpr size_t EJOY_GUID_TEXT_SIZE = 37;
void ejoy_GuidToText(const uint8_t guid[16], char* buffer, size_t size);
// Zeroes the identifier, then reads hex digit pairs in order, skipping one
// separator where a pair cannot be read.
void ejoy_GuidFromText(const char* text, uint8_t guid[16]);

// ---- Effects --------------------------------------------------------------------

enum : int32_t {
    EJOY_EFFECT_FORCE = 0,
    EJOY_EFFECT_RESISTENCE = 1,
    EJOY_EFFECT_VIBRATE = 2,
    EJOY_EFFECT_TWITCH = 3,
    EJOY_EFFECT_JOLT = 4,
    EJOY_EFFECT_SHOCK = 5,
    EJOY_EFFECT_KINDS = 6,
};

// Messages to an effect's routine.
enum : int32_t {
    EJOY_MSG_CREATE = 0,
    EJOY_MSG_DESTROY = 1,
    EJOY_MSG_RESET = 2,
    EJOY_MSG_UPDATE = 3,  // update and start
    EJOY_MSG_STOP = 4,
};

// 0 on success, -1 on failure.
typedef int32_t (*EjoyEffectRoutine)(_EJOY_EFFECT* effect, int32_t message);

// Head of every effect record (heap tag "_EJOY_EFFECT"; the name copied
// behind the record); the kind's values follow.
struct _EJOY_EFFECT {
    _EJOY_EFFECT* prev;
    _EJOY_EFFECT* next;
    _EJOY_INFO* device;
    int32_t index;
    const char* name;
    int32_t kind;
    int32_t size;
    EjoyEffectRoutine routine;
    PlatJoyEffect effect;
};

// The kinds' records. The gain points at the kind's scale in the force-
// feedback settings (null: 1.0).
struct _EJOY_EFFECT_FORCE {
    _EJOY_EFFECT head;
    float x, y;
    const float* gain;
    float lastX, lastY;
};
struct _EJOY_EFFECT_RESISTENCE {
    _EJOY_EFFECT head;
    float a, b, c, d;
    const float* gain;
    float lastA, lastB, lastC, lastD;
};
struct _EJOY_EFFECT_VIBRATE {
    _EJOY_EFFECT head;
    float magnitude;
    const float* gain;
    float lastMagnitude;
};
// Twitch and Jolt: a ramp (the head's effect) and a square.
struct _EJOY_EFFECT_TWITCH {
    _EJOY_EFFECT head;
    PlatJoyEffect square;  // 0 when it could not be made
    float x, y;
    int32_t milliseconds;  // -1: infinite
    int32_t directionFlag;
    const float* gain;
};
struct _EJOY_EFFECT_SHOCK {
    _EJOY_EFFECT head;
    float magnitude;
    int32_t milliseconds;
    const float* gain;
};

// The kinds' routines.
int32_t ejoy_EffectForceFunction(_EJOY_EFFECT* effect, int32_t message);
int32_t ejoy_EffectResistenceFunction(_EJOY_EFFECT* effect, int32_t message);
int32_t ejoy_EffectVibrateFunction(_EJOY_EFFECT* effect, int32_t message);
int32_t ejoy_EffectTwitchFunction(_EJOY_EFFECT* effect, int32_t message);
int32_t ejoy_EffectJoltFunction(_EJOY_EFFECT* effect, int32_t message);
int32_t ejoy_EffectShockFunction(_EJOY_EFFECT* effect, int32_t message);

// Allocates (recordSize at least sizeof(_EJOY_EFFECT), and for the six kinds
// at least their record), links and numbers an effect, sends create (a
// failure destroys it: null) and then reset. A kind's routine refuses (-1) a
// record smaller than its kind's.
_EJOY_EFFECT* ejoy_EffectCreate(_EJOY_INFO* device, const char* name, int32_t kind, int32_t recordSize,
                                EjoyEffectRoutine routine);
// Sends destroy, unlinks and frees the effect.
void ejoy_EffectDestroy(_EJOY_EFFECT* effect);
// Sends a message to the effect's routine; -1 for a null effect.
int32_t ejoy_EffectSend(_EJOY_EFFECT* effect, int32_t message);
// Sends stop to every effect of the device. 0, or -1 for a null device.
int32_t ejoy_InfoEffectsStop(_EJOY_INFO* device);
// The device's first effect of that kind, or null.
_EJOY_EFFECT* ejoy_EffectFind(_EJOY_INFO* device, int32_t kind);

// ---- Status text ----------------------------------------------------------------

// While set, the result of every device call is kept as text:
// "LABEL : NAME", such as "ejoy_InfoPoll::GetDeviceState : DIERR_INPUTLOST".
extern int32_t ejoy_DebugFlag;
extern char ejoy_LastStatus[160];
// The name of a result ("DI_OK", "DIERR_INPUTLOST", ... or "<%ld ($%8.8lx)>").
void ejoy_ResultName(int32_t result, char* buffer, size_t size);
