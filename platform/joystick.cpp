// The joystick service: forwards each call to the backend of the platform
// (SDL, or the headless devices).
#include "platform/joystick.h"

#include <cstring>

#include "platform/joystick_backend.h"
#include "platform/sdl_module.h"
#include "platform/window.h"

namespace {

const PlatJoyBackend* Backend(void) {
    const PlatSdlModule* sdl = plat_SdlModule();
    if (sdl && !plat_IsHeadless()) return sdl->joystick;
    return &plat_HeadlessJoyBackend;
}

uint64_t Fnv1a(uint64_t hash, const uint8_t* bytes, size_t count) {
    for (size_t i = 0; i < count; i++) {
        hash ^= bytes[i];
        hash *= 0x100000001B3ull;
    }
    return hash;
}

}  // namespace

void plat_JoyStateCentre(PlatJoyState* state) {
    memset(state, 0, sizeof *state);
    state->lX = state->lY = state->lZ = state->lRx = state->lRy = state->lRz = 32768;
    state->rglSlider[0] = state->rglSlider[1] = 32768;
    for (auto& pov : state->rgdwPOV) pov = 0xFFFFFFFFu;
}

void plat_JoyStateSetAxis(PlatJoyState* state, uint32_t offset, int32_t value) {
    switch (offset) {
    case DIJOFS_X: state->lX = value; break;
    case DIJOFS_Y: state->lY = value; break;
    case DIJOFS_Z: state->lZ = value; break;
    case DIJOFS_RX: state->lRx = value; break;
    case DIJOFS_RY: state->lRy = value; break;
    case DIJOFS_RZ: state->lRz = value; break;
    case DIJOFS_SLIDER0: state->rglSlider[0] = value; break;
    case DIJOFS_SLIDER1: state->rglSlider[1] = value; break;
    default: break;
    }
}

void plat_JoyInstanceGuid(const uint8_t bytes[16], int32_t ordinal, PlatGuid* out) {
    // Two hashes of the device's bytes and its ordinal: the same device in
    // the same place gets the same identifier in every run.
    uint8_t ord[4] = {(uint8_t)ordinal, (uint8_t)(ordinal >> 8), (uint8_t)(ordinal >> 16), (uint8_t)(ordinal >> 24)};
    uint64_t a = Fnv1a(Fnv1a(0xCBF29CE484222325ull, bytes, 16), ord, 4);
    uint64_t b = Fnv1a(Fnv1a(0x84222325CBF29CE4ull, ord, 4), bytes, 16);
    for (int i = 0; i < 8; i++) {
        out->bytes[i] = (uint8_t)(a >> (8 * i));
        out->bytes[8 + i] = (uint8_t)(b >> (8 * i));
    }
}

void plat_JoyEffectParamsMerge(PlatEffectParams* to, const PlatEffectParams* from, uint32_t flags) {
    if (flags & DIEP_DURATION) to->duration = from->duration;
    if (flags & DIEP_GAIN) to->gain = from->gain;
    if (flags & DIEP_TRIGGERBUTTON) to->triggerButton = from->triggerButton;
    if (flags & DIEP_DIRECTION) memcpy(to->direction, from->direction, sizeof to->direction);
    if (flags & DIEP_ENVELOPE) {
        to->hasEnvelope = from->hasEnvelope;
        to->envelope = from->envelope;
    }
    if (flags & DIEP_TYPESPECIFICPARAMS) {
        to->magnitude = from->magnitude;
        to->rampStart = from->rampStart;
        to->rampEnd = from->rampEnd;
        to->periodMagnitude = from->periodMagnitude;
        to->periodOffset = from->periodOffset;
        to->periodPhase = from->periodPhase;
        to->period = from->period;
        memcpy(to->condition, from->condition, sizeof to->condition);
    }
}

int32_t plat_JoyInit(void) { return Backend()->init(); }
void plat_JoyShutdown(void) { Backend()->shutdown(); }
int32_t plat_JoyCount(void) { return Backend()->count(); }

int32_t plat_JoyDeviceInfo(int32_t index, PlatJoyDeviceInfo* info) {
    if (!info) return DIERR_INVALIDPARAM;
    return Backend()->deviceInfo(index, info);
}

int32_t plat_JoyOpen(const PlatGuid* instance, PlatJoy* device) {
    if (!instance || !device) return DIERR_INVALIDPARAM;
    *device = 0;
    return Backend()->open(instance, device);
}

void plat_JoyClose(PlatJoy device) { Backend()->close(device); }

int32_t plat_JoyGetCaps(PlatJoy device, PlatJoyCaps* caps) {
    if (!caps) return DIERR_INVALIDPARAM;
    return Backend()->getCaps(device, caps);
}

int32_t plat_JoyObjectPresent(PlatJoy device, uint32_t offset) { return Backend()->objectPresent(device, offset); }
int32_t plat_JoySetAutoCenter(PlatJoy device, int32_t on) { return Backend()->setAutoCenter(device, on); }
int32_t plat_JoyAcquire(PlatJoy device) { return Backend()->acquire(device); }
int32_t plat_JoyUnacquire(PlatJoy device) { return Backend()->unacquire(device); }
int32_t plat_JoyPoll(PlatJoy device) { return Backend()->poll(device); }

int32_t plat_JoyGetState(PlatJoy device, PlatJoyState* state) {
    if (!state) return DIERR_INVALIDPARAM;
    return Backend()->getState(device, state);
}

int32_t plat_JoySendCommand(PlatJoy device, uint32_t command) { return Backend()->sendCommand(device, command); }

int32_t plat_JoyEffectCreate(PlatJoy device, int32_t kind, const PlatEffectParams* params, PlatJoyEffect* effect) {
    if (!params || !effect) return DIERR_INVALIDPARAM;
    *effect = 0;
    return Backend()->effectCreate(device, kind, params, effect);
}

int32_t plat_JoyEffectSetParameters(PlatJoyEffect effect, const PlatEffectParams* params, uint32_t flags) {
    if (!params) return DIERR_INVALIDPARAM;
    return Backend()->effectSetParameters(effect, params, flags);
}

int32_t plat_JoyEffectDownload(PlatJoyEffect effect) { return Backend()->effectDownload(effect); }
int32_t plat_JoyEffectStart(PlatJoyEffect effect, uint32_t iterations, uint32_t flags) {
    return Backend()->effectStart(effect, iterations, flags);
}
int32_t plat_JoyEffectStop(PlatJoyEffect effect) { return Backend()->effectStop(effect); }
void plat_JoyEffectRelease(PlatJoyEffect effect) { Backend()->effectRelease(effect); }
