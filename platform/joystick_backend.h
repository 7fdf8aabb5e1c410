// The table of routines each joystick backend fills. Internal to platform/.
#pragma once
#include "platform/joystick.h"

struct PlatJoyBackend {
    int32_t (*init)(void);
    void (*shutdown)(void);
    int32_t (*count)(void);
    int32_t (*deviceInfo)(int32_t index, PlatJoyDeviceInfo* info);
    int32_t (*open)(const PlatGuid* instance, PlatJoy* device);
    void (*close)(PlatJoy device);
    int32_t (*getCaps)(PlatJoy device, PlatJoyCaps* caps);
    int32_t (*objectPresent)(PlatJoy device, uint32_t offset);
    int32_t (*setAutoCenter)(PlatJoy device, int32_t on);
    int32_t (*acquire)(PlatJoy device);
    int32_t (*unacquire)(PlatJoy device);
    int32_t (*poll)(PlatJoy device);
    int32_t (*getState)(PlatJoy device, PlatJoyState* state);
    int32_t (*sendCommand)(PlatJoy device, uint32_t command);
    int32_t (*effectCreate)(PlatJoy device, int32_t kind, const PlatEffectParams* params, PlatJoyEffect* effect);
    int32_t (*effectSetParameters)(PlatJoyEffect effect, const PlatEffectParams* params, uint32_t flags);
    int32_t (*effectDownload)(PlatJoyEffect effect);
    int32_t (*effectStart)(PlatJoyEffect effect, uint32_t iterations, uint32_t flags);
    int32_t (*effectStop)(PlatJoyEffect effect);
    void (*effectRelease)(PlatJoyEffect effect);
};

extern const PlatJoyBackend plat_HeadlessJoyBackend;

// Axis order of the devices' own axes: X, Y, Z (throttle), Rz (rudder),
// slider 0, slider 1.
constexpr int32_t PLAT_JOY_AXES = 6;
inline constexpr uint32_t plat_JoyAxisOffset[PLAT_JOY_AXES] = {DIJOFS_X,  DIJOFS_Y,       DIJOFS_Z,
                                                       DIJOFS_RZ, DIJOFS_SLIDER0, DIJOFS_SLIDER1};

// Centred reading: every axis 32768, hats 0xFFFFFFFF, buttons up.
void plat_JoyStateCentre(PlatJoyState* state);
// Stores a value at a state offset (an axis offset of the table above).
void plat_JoyStateSetAxis(PlatJoyState* state, uint32_t offset, int32_t value);
// Copies into an effect's kept parameters the parts that `flags` (DIEP_*)
// name, as a parameter change does.
void plat_JoyEffectParamsMerge(PlatEffectParams* to, const PlatEffectParams* from, uint32_t flags);
