// Joysticks and force-feedback effects. Devices are reported and read the
// way the joystick layer has always seen them: instance and product
// identifiers, axes 0..65535 (centre 32768), point-of-view hats in
// hundredths of a degree (0xFFFFFFFF centred), button bytes with bit 7 set
// while down, and effects described by durations in microseconds and
// magnitudes 0..10000. Every call answers with the result numbers the layer
// above compares (DI_OK, DIERR_...).
//
// Backends: SDL's joystick and haptic API, or (headless) devices declared by
// the input script or by tests, with a log of every effect call.
//
// Main thread only.
#pragma once
#include <cstdint>

// 16-byte identifier, laid out as the settings keep it: a 32-bit and two
// 16-bit groups, each least significant byte first, then eight bytes.
struct PlatGuid {
    uint8_t bytes[16];
};

// Result numbers.
constexpr int32_t DI_OK = 0;
constexpr int32_t S_FALSE = 1;  // also "not attached", "no effect", "already acquired"
constexpr int32_t DI_NOTATTACHED = 1;
constexpr int32_t DI_POLLEDDEVICE = 2;
constexpr int32_t DI_DOWNLOADSKIPPED = 3;
constexpr int32_t DI_EFFECTRESTARTED = 4;
constexpr int32_t DI_TRUNCATED = 8;
constexpr int32_t DI_TRUNCATEDANDRESTARTED = 12;
constexpr int32_t DIERR_OLDDIRECTINPUTVERSION = (int32_t)0x8007047Eu;
constexpr int32_t DIERR_BETADIRECTINPUTVERSION = (int32_t)0x80070481u;
constexpr int32_t DIERR_BADDRIVERVER = (int32_t)0x80070077u;
constexpr int32_t DIERR_DEVICENOTREG = (int32_t)0x80040154u;
constexpr int32_t DIERR_NOTFOUND = (int32_t)0x80070002u;
constexpr int32_t DIERR_OBJECTNOTFOUND = (int32_t)0x80070002u;
constexpr int32_t DIERR_INVALIDPARAM = (int32_t)0x80070057u;
constexpr int32_t DIERR_NOINTERFACE = (int32_t)0x80004002u;
constexpr int32_t DIERR_GENERIC = (int32_t)0x80004005u;
constexpr int32_t DIERR_OUTOFMEMORY = (int32_t)0x8007000Eu;
constexpr int32_t DIERR_UNSUPPORTED = (int32_t)0x80004001u;
constexpr int32_t DIERR_NOTINITIALIZED = (int32_t)0x80070015u;
constexpr int32_t DIERR_ALREADYINITIALIZED = (int32_t)0x800704DFu;
constexpr int32_t DIERR_NOAGGREGATION = (int32_t)0x80040110u;
constexpr int32_t DIERR_OTHERAPPHASPRIO = (int32_t)0x80070005u;
constexpr int32_t DIERR_INPUTLOST = (int32_t)0x8007001Eu;
constexpr int32_t DIERR_ACQUIRED = (int32_t)0x800700AAu;
constexpr int32_t DIERR_NOTACQUIRED = (int32_t)0x8007000Cu;
constexpr int32_t DIERR_READONLY = (int32_t)0x80070005u;
constexpr int32_t DIERR_HANDLEEXISTS = (int32_t)0x80070005u;
constexpr int32_t DIERR_INSUFFICIENTPRIVS = (int32_t)0x80040200u;
constexpr int32_t DIERR_DEVICEFULL = (int32_t)0x80040201u;
constexpr int32_t DIERR_MOREDATA = (int32_t)0x80040202u;
constexpr int32_t DIERR_NOTDOWNLOADED = (int32_t)0x80040203u;
constexpr int32_t DIERR_HASEFFECTS = (int32_t)0x80040204u;
constexpr int32_t DIERR_NOTEXCLUSIVEACQUIRED = (int32_t)0x80040205u;
constexpr int32_t DIERR_INCOMPLETEEFFECT = (int32_t)0x80040206u;
constexpr int32_t DIERR_NOTBUFFERED = (int32_t)0x80040207u;
constexpr int32_t DIERR_EFFECTPLAYING = (int32_t)0x80040208u;
constexpr int32_t E_PENDING = (int32_t)0x8000000Au;

inline bool plat_JoySucceeded(int32_t result) { return result >= 0; }

// Byte offsets of the controls in the device state (and names of the
// controls for plat_JoyObjectPresent).
enum : uint32_t {
    DIJOFS_X = 0, DIJOFS_Y = 4, DIJOFS_Z = 8, DIJOFS_RX = 12, DIJOFS_RY = 16, DIJOFS_RZ = 20,
    DIJOFS_SLIDER0 = 24, DIJOFS_SLIDER1 = 28,
    DIJOFS_POV0 = 32, DIJOFS_POV1 = 36, DIJOFS_POV2 = 40, DIJOFS_POV3 = 44,
    DIJOFS_BUTTON0 = 48,
};

// One reading of a device. Axes a device lacks read 32768, missing hats
// read 0xFFFFFFFF, missing buttons 0.
struct PlatJoyState {
    int32_t lX, lY, lZ, lRx, lRy, lRz;
    int32_t rglSlider[2];
    uint32_t rgdwPOV[4];
    uint8_t rgbButtons[32];
};

struct PlatJoyDeviceInfo {
    PlatGuid instance;  // stable between runs for the same device in the same order
    PlatGuid product;
    char instanceName[128];
    char productName[128];
};

enum : uint32_t {
    PLAT_JOYCAPS_ATTACHED = 0x1,
    PLAT_JOYCAPS_FORCEFEEDBACK = 0x100,
};
struct PlatJoyCaps {
    uint32_t flags;
    int32_t axes;
    int32_t buttons;
    int32_t povs;
};

// Force-feedback commands.
enum : uint32_t {
    DISFFC_RESET = 0x1, DISFFC_STOPALL = 0x2, DISFFC_PAUSE = 0x4, DISFFC_CONTINUE = 0x8,
    DISFFC_SETACTUATORSON = 0x10, DISFFC_SETACTUATORSOFF = 0x20,
};

// Effect kinds.
enum : int32_t {
    PLAT_EFFECT_CONSTANT = 1,
    PLAT_EFFECT_RAMP = 2,
    PLAT_EFFECT_SQUARE = 3,
    PLAT_EFFECT_SINE = 4,
    PLAT_EFFECT_SPRING = 5,
};

constexpr uint32_t PLAT_EFFECT_INFINITE = 0xFFFFFFFFu;   // duration
constexpr uint32_t PLAT_EFFECT_NOTRIGGER = 0xFFFFFFFFu;  // trigger button

// Which parts of an effect's parameters a change sends.
enum : uint32_t {
    DIEP_DURATION = 0x1,
    DIEP_GAIN = 0x4,
    DIEP_TRIGGERBUTTON = 0x8,
    DIEP_AXES = 0x20,
    DIEP_DIRECTION = 0x40,
    DIEP_ENVELOPE = 0x80,
    DIEP_TYPESPECIFICPARAMS = 0x100,
    DIEP_ALLPARAMS = 0x1FF,
    DIEP_START = 0x20000000,
    DIEP_NORESTART = 0x40000000,
    DIEP_NODOWNLOAD = 0x80000000,
};

struct PlatEnvelope {
    uint32_t attackLevel;  // 0..10000
    uint32_t attackTime;   // microseconds
    uint32_t fadeLevel;
    uint32_t fadeTime;
};

struct PlatCondition {
    int32_t offset;
    int32_t positiveCoefficient;  // -10000..10000
    int32_t negativeCoefficient;
    uint32_t positiveSaturation;
    uint32_t negativeSaturation;
    int32_t deadBand;
};

// Parameters of an effect. Directions are Cartesian over the X and Y axes
// (a third component is kept for the form's sake).
struct PlatEffectParams {
    uint32_t duration;       // microseconds, or PLAT_EFFECT_INFINITE
    uint32_t gain;           // 0..10000
    uint32_t triggerButton;  // PLAT_EFFECT_NOTRIGGER
    int32_t direction[3];
    int32_t hasEnvelope;
    PlatEnvelope envelope;
    // Kind-specific values.
    int32_t magnitude;       // constant force, -10000..10000
    int32_t rampStart;       // ramp
    int32_t rampEnd;
    uint32_t periodMagnitude;  // square and sine
    int32_t periodOffset;
    uint32_t periodPhase;      // hundredths of a degree
    uint32_t period;           // microseconds
    PlatCondition condition[2];  // spring, X then Y
};

typedef int32_t PlatJoy;        // device handle, > 0
typedef int32_t PlatJoyEffect;  // effect handle, > 0

// Starts the service (SDL: its joystick and haptic parts). DI_OK or an error.
int32_t plat_JoyInit(void);
// Closes every device and effect.
void plat_JoyShutdown(void);

// Devices attached now, in a stable order.
int32_t plat_JoyCount(void);
int32_t plat_JoyDeviceInfo(int32_t index, PlatJoyDeviceInfo* info);

// Opens the device with this instance identifier. DI_OK with *device set,
// DIERR_DEVICENOTREG when there is none.
int32_t plat_JoyOpen(const PlatGuid* instance, PlatJoy* device);
void plat_JoyClose(PlatJoy device);
int32_t plat_JoyGetCaps(PlatJoy device, PlatJoyCaps* caps);
// DI_OK when the device has the control at that state offset, else
// DIERR_OBJECTNOTFOUND.
int32_t plat_JoyObjectPresent(PlatJoy device, uint32_t offset);
int32_t plat_JoySetAutoCenter(PlatJoy device, int32_t on);
// DI_OK when acquired now, S_FALSE when it already was, an error otherwise.
int32_t plat_JoyAcquire(PlatJoy device);
int32_t plat_JoyUnacquire(PlatJoy device);
int32_t plat_JoyPoll(PlatJoy device);
int32_t plat_JoyGetState(PlatJoy device, PlatJoyState* state);
int32_t plat_JoySendCommand(PlatJoy device, uint32_t command);

// Effects. Creating downloads the effect at once.
int32_t plat_JoyEffectCreate(PlatJoy device, int32_t kind, const PlatEffectParams* params, PlatJoyEffect* effect);
int32_t plat_JoyEffectSetParameters(PlatJoyEffect effect, const PlatEffectParams* params, uint32_t flags);
int32_t plat_JoyEffectDownload(PlatJoyEffect effect);
int32_t plat_JoyEffectStart(PlatJoyEffect effect, uint32_t iterations, uint32_t flags);
int32_t plat_JoyEffectStop(PlatJoyEffect effect);
void plat_JoyEffectRelease(PlatJoyEffect effect);

// Makes an instance identifier from a device's 16 identifying bytes and its
// place among the devices with the same bytes (0 for the first).
void plat_JoyInstanceGuid(const uint8_t bytes[16], int32_t ordinal, PlatGuid* out);

// ---- Headless devices (input scripts and tests) ----

// Declares a device; returns its number (0, 1, ...) or -1 when the table is
// full. Axes are taken in the order X, Y, Z (throttle), Rz (rudder),
// slider 0, slider 1.
int32_t plat_JoyHeadlessAdd(const char* name, int32_t forceFeedback, int32_t axes, int32_t povs, int32_t buttons);
// Axis 0..5 in the order above; value 0..65535.
void plat_JoyHeadlessAxis(int32_t device, int32_t axis, int32_t value);
void plat_JoyHeadlessButton(int32_t device, int32_t button, int32_t down);  // button 0..31
void plat_JoyHeadlessPov(int32_t device, int32_t pov, uint32_t value);      // 0xFFFFFFFF centred
void plat_JoyHeadlessAttach(int32_t device, int32_t attached);

// The next `count` calls of `op` on the device answer `result`.
void plat_JoyHeadlessFail(int32_t device, int32_t op, int32_t result, int32_t count);

// Log of device and effect calls.
enum : int32_t {
    PLAT_JOYLOG_OPEN = 1,
    PLAT_JOYLOG_ACQUIRE,
    PLAT_JOYLOG_UNACQUIRE,
    PLAT_JOYLOG_POLL,
    PLAT_JOYLOG_STATE,
    PLAT_JOYLOG_AUTOCENTER,
    PLAT_JOYLOG_COMMAND,
    PLAT_JOYLOG_CREATE,
    PLAT_JOYLOG_SETPARAMS,
    PLAT_JOYLOG_DOWNLOAD,
    PLAT_JOYLOG_START,
    PLAT_JOYLOG_STOP,
    PLAT_JOYLOG_RELEASE,
};
struct PlatJoyLogEntry {
    int32_t op;
    int32_t device;   // headless device number
    int32_t effect;   // effect handle, 0 for device calls
    int32_t kind;     // effect kind (create), 0 otherwise
    uint32_t flags;   // SetParameters flags, Start iterations, command, autocentre value
    int32_t result;
    PlatEffectParams params;  // as sent (create and SetParameters)
};
// Polls and state reads are not logged unless asked for.
void plat_JoyHeadlessLogPolls(int32_t on);
int32_t plat_JoyHeadlessLogCount(void);
const PlatJoyLogEntry* plat_JoyHeadlessLogEntry(int32_t index);
void plat_JoyHeadlessLogClear(void);
// Forgets every device, scripted event, failure and log entry.
void plat_JoyHeadlessReset(void);

// Script commands of the joystick (see docs/testing.md). Returns 1 when the
// line was a joystick command and was taken, 0 when `cmd` is not one, -1
// when it was one but malformed (a message has been written).
int32_t plat_JoyScriptLine(uint32_t tick, const char* cmd, char** args, int32_t argCount, const char* file,
                           int32_t lineNo);
