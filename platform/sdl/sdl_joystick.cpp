// Joysticks and effects on SDL's joystick and haptic API. The device list is
// taken once when the service starts, in SDL's order. A device SDL knows as
// a game controller is read through its controller mapping (sdl_pad.h);
// any other keeps its own axis order: axes 0..5 become X, Y, Z (throttle),
// Rz (rudder) and the two sliders.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/joystick.h"
#include "platform/joystick_backend.h"
#include "platform/sdl/sdl_pad.h"
#include "platform/sdl/sdl_tables.h"

namespace {

struct Entry {
    int sdlIndex;
    bool pad;  // a game controller
    PlatJoyDeviceInfo info;
};

struct Device {
    SDL_GameController* pad = nullptr;  // set for a game controller
    SDL_Joystick* joy = nullptr;
    SDL_Haptic* haptic = nullptr;
    unsigned int features = 0;
    bool acquired = false;
};

struct Effect {
    int32_t device = -1;  // slot, -1 once released
    int32_t kind = 0;
    int sdlId = -1;
    PlatEffectParams params{};
};

bool g_started = false;
bool g_haptic = false;
bool g_pads = false;
std::vector<Entry> g_entries;
std::vector<Device> g_devices;
std::vector<Effect> g_effects;

constexpr unsigned int kFfbFeatures = SDL_HAPTIC_CONSTANT | SDL_HAPTIC_SINE | SDL_HAPTIC_RAMP | SDL_HAPTIC_SPRING;

Device* DeviceOf(PlatJoy handle) {
    int32_t i = handle - 1;
    if (i < 0 || i >= (int32_t)g_devices.size() || !g_devices[(size_t)i].joy) return nullptr;
    return &g_devices[(size_t)i];
}

Effect* EffectOf(PlatJoyEffect handle) {
    int32_t i = handle - 1;
    if (i < 0 || i >= (int32_t)g_effects.size() || g_effects[(size_t)i].device < 0) return nullptr;
    return &g_effects[(size_t)i];
}

int32_t SInit(void) {
    if (g_started) return DI_OK;
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
        fprintf(stderr, "krx: joysticks are not available: %s\n", SDL_GetError());
        return DIERR_GENERIC;
    }
    // Without the controller mappings every device reads as a plain joystick.
    g_pads = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    // Force feedback is optional: without it the joysticks still read.
    g_haptic = SDL_InitSubSystem(SDL_INIT_HAPTIC) == 0;
    // The layer reads the devices itself once per pump.
    SDL_JoystickEventState(SDL_IGNORE);
    if (g_pads) SDL_GameControllerEventState(SDL_IGNORE);
    g_entries.clear();
    int n = SDL_NumJoysticks();
    for (int i = 0; i < n; i++) {
        Entry e{};
        e.sdlIndex = i;
        e.pad = g_pads && SDL_IsGameController(i);
        SDL_JoystickGUID guid = SDL_JoystickGetDeviceGUID(i);
        const uint8_t* b = guid.data;
        memcpy(e.info.product.bytes, b, 16);
        int ordinal = 0;
        for (const Entry& other : g_entries)
            if (memcmp(&other.info.product, &e.info.product, sizeof(PlatGuid)) == 0) ordinal++;
        plat_JoyInstanceGuid(b, ordinal, &e.info.instance);
        const char* name = SDL_JoystickNameForIndex(i);
        snprintf(e.info.productName, sizeof e.info.productName, "%s", name ? name : "Joystick");
        if (ordinal)
            snprintf(e.info.instanceName, sizeof e.info.instanceName, "%.100s %d", e.info.productName, ordinal + 1);
        else
            snprintf(e.info.instanceName, sizeof e.info.instanceName, "%s", e.info.productName);
        g_entries.push_back(e);
    }
    g_started = true;
    return DI_OK;
}

void CloseSlot(Device& d) {
    if (d.haptic) SDL_HapticClose(d.haptic);
    if (d.pad)
        SDL_GameControllerClose(d.pad);  // closes its joystick too
    else if (d.joy)
        SDL_JoystickClose(d.joy);
    d = Device{};
}

void SShutdown(void) {
    if (!g_started) return;
    for (Effect& e : g_effects)
        if (e.device >= 0 && g_devices[(size_t)e.device].haptic && e.sdlId >= 0)
            SDL_HapticDestroyEffect(g_devices[(size_t)e.device].haptic, e.sdlId);
    g_effects.clear();
    for (Device& d : g_devices) CloseSlot(d);
    g_devices.clear();
    g_entries.clear();
    if (g_haptic) SDL_QuitSubSystem(SDL_INIT_HAPTIC);
    if (g_pads) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    g_pads = false;
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    g_haptic = false;
    g_started = false;
}

int32_t SCount(void) { return (int32_t)g_entries.size(); }

int32_t SDeviceInfo(int32_t index, PlatJoyDeviceInfo* info) {
    if (index < 0 || index >= (int32_t)g_entries.size()) return DIERR_INVALIDPARAM;
    *info = g_entries[(size_t)index].info;
    return DI_OK;
}

int32_t SOpen(const PlatGuid* instance, PlatJoy* device) {
    if (!g_started) return DIERR_NOTINITIALIZED;
    for (const Entry& e : g_entries) {
        if (memcmp(&e.info.instance, instance, sizeof *instance) != 0) continue;
        Device d;
        if (e.pad && (d.pad = SDL_GameControllerOpen(e.sdlIndex)) != nullptr)
            d.joy = SDL_GameControllerGetJoystick(d.pad);
        else
            d.joy = SDL_JoystickOpen(e.sdlIndex);
        if (!d.joy) return DIERR_DEVICENOTREG;
        if (g_haptic && SDL_JoystickIsHaptic(d.joy) == 1) {
            d.haptic = SDL_HapticOpenFromJoystick(d.joy);
            if (d.haptic) d.features = SDL_HapticQuery(d.haptic);
        }
        size_t slot = 0;
        while (slot < g_devices.size() && g_devices[slot].joy) slot++;
        if (slot == g_devices.size()) g_devices.push_back(Device{});
        g_devices[slot] = d;
        *device = (PlatJoy)(slot + 1);
        return DI_OK;
    }
    return DIERR_DEVICENOTREG;
}

void SClose(PlatJoy handle) {
    Device* d = DeviceOf(handle);
    if (!d) return;
    for (Effect& e : g_effects)
        if (e.device == handle - 1) {
            if (d->haptic && e.sdlId >= 0) SDL_HapticDestroyEffect(d->haptic, e.sdlId);
            e.device = -1;
        }
    CloseSlot(*d);
}

bool HasFfb(const Device& d) { return d.haptic && (d.features & kFfbFeatures) != 0; }

int32_t SGetCaps(PlatJoy handle, PlatJoyCaps* caps) {
    Device* d = DeviceOf(handle);
    if (!d) return DIERR_NOTINITIALIZED;
    caps->flags = (SDL_JoystickGetAttached(d->joy) ? (uint32_t)PLAT_JOYCAPS_ATTACHED : 0u) |
                  (HasFfb(*d) ? (uint32_t)PLAT_JOYCAPS_FORCEFEEDBACK : 0u);
    if (d->pad) {
        caps->axes = SDL_PAD_AXES;
        caps->buttons = SDL_PAD_BUTTONS;
        caps->povs = 1;
        return DI_OK;
    }
    caps->axes = std::max(0, SDL_JoystickNumAxes(d->joy));
    caps->buttons = std::max(0, SDL_JoystickNumButtons(d->joy));
    caps->povs = std::max(0, SDL_JoystickNumHats(d->joy));
    return DI_OK;
}

int32_t SObjectPresent(PlatJoy handle, uint32_t offset) {
    Device* d = DeviceOf(handle);
    if (!d) return DIERR_NOTINITIALIZED;
    int axes = d->pad ? SDL_PAD_AXES : SDL_JoystickNumAxes(d->joy);
    for (int a = 0; a < axes && a < PLAT_JOY_AXES; a++)
        if ((d->pad ? sdl_PadAxes[a].offset : plat_JoyAxisOffset[a]) == offset) return DI_OK;
    int hats = d->pad ? 1 : SDL_JoystickNumHats(d->joy);
    if (offset >= DIJOFS_POV0 && offset <= DIJOFS_POV3 && (offset - DIJOFS_POV0) % 4 == 0 &&
        (int)((offset - DIJOFS_POV0) / 4) < hats)
        return DI_OK;
    int buttons = d->pad ? SDL_PAD_BUTTONS : SDL_JoystickNumButtons(d->joy);
    if (offset >= DIJOFS_BUTTON0 && (int)(offset - DIJOFS_BUTTON0) < buttons) return DI_OK;
    return DIERR_OBJECTNOTFOUND;
}

int32_t SSetAutoCenter(PlatJoy handle, int32_t on) {
    Device* d = DeviceOf(handle);
    if (!d) return DIERR_NOTINITIALIZED;
    if (!d->haptic) return DIERR_UNSUPPORTED;
    // A device without its own centring has nothing to switch.
    if (!(d->features & SDL_HAPTIC_AUTOCENTER)) return S_FALSE;
    return SDL_HapticSetAutocenter(d->haptic, on ? 100 : 0) == 0 ? DI_OK : DIERR_GENERIC;
}

int32_t SAcquire(PlatJoy handle) {
    Device* d = DeviceOf(handle);
    if (!d) return DIERR_NOTINITIALIZED;
    if (!SDL_JoystickGetAttached(d->joy)) {
        d->acquired = false;
        return DIERR_INPUTLOST;
    }
    if (d->acquired) return S_FALSE;
    d->acquired = true;
    return DI_OK;
}

int32_t SUnacquire(PlatJoy handle) {
    Device* d = DeviceOf(handle);
    if (!d) return DIERR_NOTINITIALIZED;
    bool was = d->acquired;
    d->acquired = false;
    return was ? DI_OK : S_FALSE;
}

int32_t SPoll(PlatJoy handle) {
    Device* d = DeviceOf(handle);
    if (!d) return DIERR_NOTINITIALIZED;
    SDL_JoystickUpdate();
    if (!SDL_JoystickGetAttached(d->joy)) {
        d->acquired = false;
        return DIERR_INPUTLOST;
    }
    return d->acquired ? DI_OK : DIERR_NOTACQUIRED;
}

uint32_t PovOf(Uint8 hat) {
    switch (hat) {
    case SDL_HAT_UP: return 0;
    case SDL_HAT_RIGHTUP: return 4500;
    case SDL_HAT_RIGHT: return 9000;
    case SDL_HAT_RIGHTDOWN: return 13500;
    case SDL_HAT_DOWN: return 18000;
    case SDL_HAT_LEFTDOWN: return 22500;
    case SDL_HAT_LEFT: return 27000;
    case SDL_HAT_LEFTUP: return 31500;
    default: return 0xFFFFFFFFu;
    }
}

int32_t SGetState(PlatJoy handle, PlatJoyState* state) {
    Device* d = DeviceOf(handle);
    if (!d) return DIERR_NOTINITIALIZED;
    if (!SDL_JoystickGetAttached(d->joy)) {
        d->acquired = false;
        return DIERR_INPUTLOST;
    }
    if (!d->acquired) return DIERR_NOTACQUIRED;
    if (d->pad) {
        int16_t axes[SDL_CONTROLLER_AXIS_MAX];
        uint8_t buttons[SDL_CONTROLLER_BUTTON_MAX];
        for (int a = 0; a < SDL_CONTROLLER_AXIS_MAX; a++)
            axes[a] = SDL_GameControllerGetAxis(d->pad, (SDL_GameControllerAxis)a);
        for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; b++)
            buttons[b] = SDL_GameControllerGetButton(d->pad, (SDL_GameControllerButton)b);
        sdl_PadState(axes, buttons, state);
        return DI_OK;
    }
    plat_JoyStateCentre(state);
    int axes = std::min(SDL_JoystickNumAxes(d->joy), (int)PLAT_JOY_AXES);
    for (int a = 0; a < axes; a++)
        plat_JoyStateSetAxis(state, plat_JoyAxisOffset[a], (int32_t)SDL_JoystickGetAxis(d->joy, a) + 32768);
    int hats = std::min(SDL_JoystickNumHats(d->joy), 4);
    for (int h = 0; h < hats; h++) state->rgdwPOV[h] = PovOf(SDL_JoystickGetHat(d->joy, h));
    int buttons = std::min(SDL_JoystickNumButtons(d->joy), 32);
    for (int b = 0; b < buttons; b++) state->rgbButtons[b] = SDL_JoystickGetButton(d->joy, b) ? 0x80 : 0;
    return DI_OK;
}

int32_t SSendCommand(PlatJoy handle, uint32_t command) {
    Device* d = DeviceOf(handle);
    if (!d) return DIERR_NOTINITIALIZED;
    if (!d->haptic) return DIERR_UNSUPPORTED;
    if (command & (DISFFC_RESET | DISFFC_STOPALL)) SDL_HapticStopAll(d->haptic);
    if ((command & (DISFFC_CONTINUE | DISFFC_SETACTUATORSON)) && (d->features & SDL_HAPTIC_PAUSE))
        SDL_HapticUnpause(d->haptic);
    if ((command & (DISFFC_PAUSE | DISFFC_SETACTUATORSOFF)) && (d->features & SDL_HAPTIC_PAUSE))
        SDL_HapticPause(d->haptic);
    return DI_OK;
}

// Levels 0..10000 (times the gain) become SDL's 16-bit levels.
Sint16 Level(int64_t value, uint32_t gain) {
    int64_t v = value * (int64_t)std::min<uint32_t>(gain, 10000) / 10000;
    v = v * 32767 / 10000;
    return (Sint16)std::clamp<int64_t>(v, -32767, 32767);
}
Uint16 ULevel(uint32_t value, uint32_t gain) { return (Uint16)std::abs(Level((int64_t)value, gain)); }

Uint16 Sat(uint32_t value) { return (Uint16)(std::min<uint32_t>(value, 10000) * 65535u / 10000u); }

Uint32 Millis(uint32_t micros) { return micros == PLAT_EFFECT_INFINITE ? SDL_HAPTIC_INFINITY : micros / 1000; }
Uint16 Millis16(uint32_t micros) { return (Uint16)std::min<uint32_t>(micros / 1000, 0x7FFF); }

bool BuildEffect(const Device& d, int32_t kind, const PlatEffectParams& p, SDL_HapticEffect* e) {
    memset(e, 0, sizeof *e);
    SDL_HapticDirection dir{};
    dir.type = SDL_HAPTIC_CARTESIAN;
    dir.dir[0] = p.direction[0];
    dir.dir[1] = p.direction[1];
    dir.dir[2] = 0;
    Uint16 attackLength = p.hasEnvelope ? Millis16(p.envelope.attackTime) : 0;
    Uint16 attackLevel = p.hasEnvelope ? ULevel(p.envelope.attackLevel, p.gain) : 0;
    Uint16 fadeLength = p.hasEnvelope ? Millis16(p.envelope.fadeTime) : 0;
    Uint16 fadeLevel = p.hasEnvelope ? ULevel(p.envelope.fadeLevel, p.gain) : 0;
    switch (kind) {
    case PLAT_EFFECT_CONSTANT:
        if (!(d.features & SDL_HAPTIC_CONSTANT)) return false;
        e->type = SDL_HAPTIC_CONSTANT;
        e->constant.direction = dir;
        e->constant.length = Millis(p.duration);
        e->constant.level = Level(p.magnitude, p.gain);
        e->constant.attack_length = attackLength;
        e->constant.attack_level = attackLevel;
        e->constant.fade_length = fadeLength;
        e->constant.fade_level = fadeLevel;
        return true;
    case PLAT_EFFECT_RAMP:
        if (!(d.features & SDL_HAPTIC_RAMP)) return false;
        e->type = SDL_HAPTIC_RAMP;
        e->ramp.direction = dir;
        e->ramp.length = Millis(p.duration);
        e->ramp.start = Level(p.rampStart, p.gain);
        e->ramp.end = Level(p.rampEnd, p.gain);
        e->ramp.attack_length = attackLength;
        e->ramp.attack_level = attackLevel;
        e->ramp.fade_length = fadeLength;
        e->ramp.fade_level = fadeLevel;
        return true;
    case PLAT_EFFECT_SQUARE:
    case PLAT_EFFECT_SINE: {
        // SDL 2 offers no square wave: the sine (or the triangle) stands in.
        Uint16 type = (d.features & SDL_HAPTIC_SINE) ? SDL_HAPTIC_SINE
                      : (d.features & SDL_HAPTIC_TRIANGLE) ? SDL_HAPTIC_TRIANGLE
                                                           : 0;
        if (!type) return false;
        e->type = type;
        e->periodic.direction = dir;
        e->periodic.length = Millis(p.duration);
        e->periodic.period = (Uint16)std::clamp<uint32_t>(p.period / 1000, 1, 0xFFFF);
        e->periodic.magnitude = Level((int64_t)p.periodMagnitude, p.gain);
        e->periodic.offset = Level(p.periodOffset, p.gain);
        e->periodic.phase = (Uint16)(p.periodPhase % 36000);
        e->periodic.attack_length = attackLength;
        e->periodic.attack_level = attackLevel;
        e->periodic.fade_length = fadeLength;
        e->periodic.fade_level = fadeLevel;
        return true;
    }
    case PLAT_EFFECT_SPRING:
        if (!(d.features & SDL_HAPTIC_SPRING)) return false;
        e->type = SDL_HAPTIC_SPRING;
        e->condition.direction = dir;
        e->condition.length = Millis(p.duration);
        for (int a = 0; a < 2; a++) {
            const PlatCondition& c = p.condition[a];
            // A saturation of 0 leaves the spring unlimited.
            e->condition.right_sat[a] = c.positiveSaturation ? Sat(c.positiveSaturation) : 0xFFFF;
            e->condition.left_sat[a] = c.negativeSaturation ? Sat(c.negativeSaturation) : 0xFFFF;
            e->condition.right_coeff[a] = Level(c.positiveCoefficient, p.gain);
            e->condition.left_coeff[a] = Level(c.negativeCoefficient, p.gain);
            e->condition.deadband[a] = (Uint16)(std::clamp(c.deadBand, 0, 10000) * 65535 / 10000);
            e->condition.center[a] = Level(c.offset, 10000);
        }
        return true;
    default:
        return false;
    }
}

int32_t SEffectCreate(PlatJoy handle, int32_t kind, const PlatEffectParams* params, PlatJoyEffect* effect) {
    Device* d = DeviceOf(handle);
    if (!d) return DIERR_NOTINITIALIZED;
    if (!HasFfb(*d)) return DIERR_UNSUPPORTED;
    SDL_HapticEffect e;
    if (!BuildEffect(*d, kind, *params, &e)) return DIERR_UNSUPPORTED;
    int id = SDL_HapticNewEffect(d->haptic, &e);
    if (id < 0) return DIERR_DEVICEFULL;
    Effect fx;
    fx.device = handle - 1;
    fx.kind = kind;
    fx.sdlId = id;
    fx.params = *params;
    g_effects.push_back(fx);
    *effect = (PlatJoyEffect)g_effects.size();
    return DI_OK;
}

int32_t SEffectSetParameters(PlatJoyEffect handle, const PlatEffectParams* params, uint32_t flags) {
    Effect* fx = EffectOf(handle);
    if (!fx) return DIERR_NOTINITIALIZED;
    Device& d = g_devices[(size_t)fx->device];
    plat_JoyEffectParamsMerge(&fx->params, params, flags);
    if (!d.acquired || (flags & DIEP_NODOWNLOAD)) return DI_DOWNLOADSKIPPED;
    SDL_HapticEffect e;
    if (!BuildEffect(d, fx->kind, fx->params, &e)) return DIERR_INVALIDPARAM;
    if (SDL_HapticUpdateEffect(d.haptic, fx->sdlId, &e) < 0) return DIERR_GENERIC;
    if (flags & DIEP_START) {
        if (SDL_HapticRunEffect(d.haptic, fx->sdlId, 1) < 0) return DIERR_GENERIC;
    }
    return DI_OK;
}

int32_t SEffectDownload(PlatJoyEffect handle) {
    Effect* fx = EffectOf(handle);
    if (!fx) return DIERR_NOTINITIALIZED;
    Device& d = g_devices[(size_t)fx->device];
    if (!d.acquired) return DIERR_NOTEXCLUSIVEACQUIRED;
    // SDL keeps effects on the device from their creation; one that was
    // lost is made again.
    if (fx->sdlId < 0) {
        SDL_HapticEffect e;
        if (!BuildEffect(d, fx->kind, fx->params, &e)) return DIERR_INVALIDPARAM;
        fx->sdlId = SDL_HapticNewEffect(d.haptic, &e);
        if (fx->sdlId < 0) return DIERR_DEVICEFULL;
    }
    return DI_OK;
}

int32_t SEffectStart(PlatJoyEffect handle, uint32_t iterations, uint32_t flags) {
    Effect* fx = EffectOf(handle);
    if (!fx) return DIERR_NOTINITIALIZED;
    Device& d = g_devices[(size_t)fx->device];
    if (!d.acquired) return DIERR_NOTEXCLUSIVEACQUIRED;
    if (fx->sdlId < 0) return DIERR_NOTDOWNLOADED;
    Uint32 n = iterations == 0xFFFFFFFFu ? SDL_HAPTIC_INFINITY : iterations;
    return SDL_HapticRunEffect(d.haptic, fx->sdlId, n) == 0 ? DI_OK : DIERR_GENERIC;
}

int32_t SEffectStop(PlatJoyEffect handle) {
    Effect* fx = EffectOf(handle);
    if (!fx) return DIERR_NOTINITIALIZED;
    Device& d = g_devices[(size_t)fx->device];
    if (fx->sdlId < 0) return DI_OK;
    return SDL_HapticStopEffect(d.haptic, fx->sdlId) == 0 ? DI_OK : DIERR_GENERIC;
}

void SEffectRelease(PlatJoyEffect handle) {
    Effect* fx = EffectOf(handle);
    if (!fx) return;
    Device& d = g_devices[(size_t)fx->device];
    if (d.haptic && fx->sdlId >= 0) SDL_HapticDestroyEffect(d.haptic, fx->sdlId);
    fx->device = -1;
    fx->sdlId = -1;
}

}  // namespace

const PlatJoyBackend plat_SdlJoyBackend = {
    SInit,      SShutdown,      SCount,           SDeviceInfo,          SOpen,
    SClose,     SGetCaps,       SObjectPresent,   SSetAutoCenter,       SAcquire,
    SUnacquire, SPoll,          SGetState,        SSendCommand,         SEffectCreate,
    SEffectSetParameters,       SEffectDownload,  SEffectStart,         SEffectStop,
    SEffectRelease,
};
