// Headless joysticks: devices declared by the input script or by tests,
// moved by script events at their ticks, and a log of every device and
// effect call (kept in memory, and written to KRX_JOYLOG when set).
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <vector>

#include "platform/harness.h"
#include "platform/joystick.h"
#include "platform/joystick_backend.h"

namespace {

constexpr int32_t kMaxDevices = 16;
constexpr int32_t kMaxEffects = 4096;
constexpr size_t kMaxLog = 8192;

struct Failure {
    int32_t op;
    int32_t result;
    int32_t count;
};

struct Device {
    char name[64];
    int32_t ffb;
    int32_t axes, povs, buttons;
    int32_t attached;
    PlatJoyDeviceInfo info;
    PlatJoyState state;  // what the hardware reads now
    bool open;
    bool acquired;
    std::vector<Failure> failures;
};

struct Effect {
    int32_t device;  // index, -1 once released
    int32_t kind;
    PlatEffectParams params;
    bool playing;
};

enum { kEvAxis = 1, kEvButton, kEvPov, kEvAttach, kEvFail };

struct ScriptEvent {
    uint32_t tick;
    int32_t type;
    int32_t device;
    int32_t n;
    int64_t value;
    int32_t count;
};

struct State {
    std::vector<Device> devices;
    std::vector<Effect> effects;
    std::vector<ScriptEvent> events;
    size_t nextEvent = 0;
    bool eventsSorted = true;
    std::vector<PlatJoyLogEntry> log;
    bool logPolls = false;
    bool started = false;
    FILE* logFile = nullptr;
    bool logFileTried = false;
};

State g;

const char* OpName(int32_t op) {
    switch (op) {
    case PLAT_JOYLOG_OPEN: return "open";
    case PLAT_JOYLOG_ACQUIRE: return "acquire";
    case PLAT_JOYLOG_UNACQUIRE: return "unacquire";
    case PLAT_JOYLOG_POLL: return "poll";
    case PLAT_JOYLOG_STATE: return "state";
    case PLAT_JOYLOG_AUTOCENTER: return "autocenter";
    case PLAT_JOYLOG_COMMAND: return "command";
    case PLAT_JOYLOG_CREATE: return "create";
    case PLAT_JOYLOG_SETPARAMS: return "setparams";
    case PLAT_JOYLOG_DOWNLOAD: return "download";
    case PLAT_JOYLOG_START: return "start";
    case PLAT_JOYLOG_STOP: return "stop";
    case PLAT_JOYLOG_RELEASE: return "release";
    default: return "?";
    }
}

int32_t OpFromName(const char* s) {
    for (int32_t op = PLAT_JOYLOG_OPEN; op <= PLAT_JOYLOG_RELEASE; op++)
        if (!strcasecmp(s, OpName(op))) return op;
    return 0;
}

void WriteLogLine(const PlatJoyLogEntry& e) {
    if (!g.logFileTried) {
        g.logFileTried = true;
        const char* path = getenv("KRX_JOYLOG");
        if (path && *path) g.logFile = fopen(path, "w");
    }
    if (!g.logFile) return;
    const PlatEffectParams& p = e.params;
    fprintf(g.logFile, "joy: %s dev=%d eff=%d kind=%d flags=0x%X result=0x%X", OpName(e.op), e.device, e.effect,
            e.kind, e.flags, (uint32_t)e.result);
    if (e.op == PLAT_JOYLOG_CREATE || e.op == PLAT_JOYLOG_SETPARAMS) {
        fprintf(g.logFile, " dur=%u dir=%d,%d mag=%d ramp=%d,%d periodic=%u,%d,%u,%u", p.duration, p.direction[0],
                p.direction[1], p.magnitude, p.rampStart, p.rampEnd, p.periodMagnitude, p.periodOffset,
                p.periodPhase, p.period);
        if (p.hasEnvelope)
            fprintf(g.logFile, " env=%u,%u,%u,%u", p.envelope.attackLevel, p.envelope.attackTime,
                    p.envelope.fadeLevel, p.envelope.fadeTime);
        if (e.kind == PLAT_EFFECT_SPRING || e.op == PLAT_JOYLOG_SETPARAMS)
            fprintf(g.logFile, " cond=%d,%d/%d,%d", p.condition[0].positiveCoefficient,
                    p.condition[0].negativeCoefficient, p.condition[1].positiveCoefficient,
                    p.condition[1].negativeCoefficient);
    }
    fputc('\n', g.logFile);
    fflush(g.logFile);
}

int32_t Log(int32_t op, int32_t device, int32_t effect, int32_t kind, uint32_t flags, int32_t result,
            const PlatEffectParams* params = nullptr) {
    if ((op == PLAT_JOYLOG_POLL || op == PLAT_JOYLOG_STATE) && !g.logPolls) return result;
    PlatJoyLogEntry e{};
    e.op = op;
    e.device = device;
    e.effect = effect;
    e.kind = kind;
    e.flags = flags;
    e.result = result;
    if (params) e.params = *params;
    // A long run keeps its most recent calls.
    if (g.log.size() >= kMaxLog) g.log.erase(g.log.begin(), g.log.begin() + kMaxLog / 2);
    g.log.push_back(e);
    WriteLogLine(e);
    return result;
}

void ApplyDue(void) {
    if (!g.eventsSorted) {
        std::stable_sort(g.events.begin() + (long)g.nextEvent, g.events.end(),
                         [](const ScriptEvent& a, const ScriptEvent& b) { return a.tick < b.tick; });
        g.eventsSorted = true;
    }
    uint32_t now = plat_HarnessTick();
    while (g.nextEvent < g.events.size() && g.events[g.nextEvent].tick <= now) {
        const ScriptEvent& e = g.events[g.nextEvent++];
        switch (e.type) {
        case kEvAxis: plat_JoyHeadlessAxis(e.device, e.n, (int32_t)e.value); break;
        case kEvButton: plat_JoyHeadlessButton(e.device, e.n, (int32_t)e.value); break;
        case kEvPov: plat_JoyHeadlessPov(e.device, e.n, (uint32_t)e.value); break;
        case kEvAttach: plat_JoyHeadlessAttach(e.device, (int32_t)e.value); break;
        case kEvFail: plat_JoyHeadlessFail(e.device, e.n, (int32_t)e.value, e.count); break;
        default: break;
        }
    }
}

Device* DeviceOf(PlatJoy handle) {
    int32_t i = handle - 1;
    if (i < 0 || i >= (int32_t)g.devices.size() || !g.devices[(size_t)i].open) return nullptr;
    return &g.devices[(size_t)i];
}

Effect* EffectOf(PlatJoyEffect handle) {
    int32_t i = handle - 1;
    if (i < 0 || i >= (int32_t)g.effects.size() || g.effects[(size_t)i].device < 0) return nullptr;
    return &g.effects[(size_t)i];
}

// A failure injected for this call, if any.
bool TakeFailure(int32_t device, int32_t op, int32_t* result) {
    if (device < 0 || device >= (int32_t)g.devices.size()) return false;
    auto& list = g.devices[(size_t)device].failures;
    for (size_t i = 0; i < list.size(); i++)
        if (list[i].op == op) {
            *result = list[i].result;
            if (--list[i].count <= 0) list.erase(list.begin() + (long)i);
            return true;
        }
    return false;
}

int32_t HInit(void) {
    g.started = true;
    ApplyDue();
    return DI_OK;
}

void HShutdown(void) {
    for (auto& e : g.effects) e.device = -1;
    for (auto& d : g.devices) {
        d.open = false;
        d.acquired = false;
    }
    g.started = false;
}

int32_t HCount(void) {
    ApplyDue();
    return (int32_t)g.devices.size();
}

int32_t HDeviceInfo(int32_t index, PlatJoyDeviceInfo* info) {
    if (index < 0 || index >= (int32_t)g.devices.size()) return DIERR_INVALIDPARAM;
    *info = g.devices[(size_t)index].info;
    return DI_OK;
}

int32_t HOpen(const PlatGuid* instance, PlatJoy* device) {
    ApplyDue();
    for (size_t i = 0; i < g.devices.size(); i++) {
        Device& d = g.devices[i];
        if (memcmp(&d.info.instance, instance, sizeof *instance) != 0) continue;
        int32_t result = DI_OK;
        if (!TakeFailure((int32_t)i, PLAT_JOYLOG_OPEN, &result)) {
            d.open = true;
            *device = (PlatJoy)(i + 1);
        }
        return Log(PLAT_JOYLOG_OPEN, (int32_t)i, 0, 0, 0, result);
    }
    return Log(PLAT_JOYLOG_OPEN, -1, 0, 0, 0, DIERR_DEVICENOTREG);
}

void HClose(PlatJoy handle) {
    Device* d = DeviceOf(handle);
    if (!d) return;
    for (auto& e : g.effects)
        if (e.device == handle - 1) e.device = -1;
    d->open = false;
    d->acquired = false;
}

int32_t HGetCaps(PlatJoy handle, PlatJoyCaps* caps) {
    ApplyDue();
    Device* d = DeviceOf(handle);
    if (!d) return DIERR_NOTINITIALIZED;
    caps->flags = (d->attached ? (uint32_t)PLAT_JOYCAPS_ATTACHED : 0u) | (d->ffb ? (uint32_t)PLAT_JOYCAPS_FORCEFEEDBACK : 0u);
    caps->axes = d->axes;
    caps->buttons = d->buttons;
    caps->povs = d->povs;
    return DI_OK;
}

int32_t HObjectPresent(PlatJoy handle, uint32_t offset) {
    Device* d = DeviceOf(handle);
    if (!d) return DIERR_NOTINITIALIZED;
    for (int32_t a = 0; a < d->axes && a < PLAT_JOY_AXES; a++)
        if (plat_JoyAxisOffset[a] == offset) return DI_OK;
    if (offset >= DIJOFS_POV0 && offset <= DIJOFS_POV3 && (offset - DIJOFS_POV0) % 4 == 0 &&
        (int32_t)((offset - DIJOFS_POV0) / 4) < d->povs)
        return DI_OK;
    if (offset >= DIJOFS_BUTTON0 && (int32_t)(offset - DIJOFS_BUTTON0) < d->buttons) return DI_OK;
    return DIERR_OBJECTNOTFOUND;
}

int32_t HSetAutoCenter(PlatJoy handle, int32_t on) {
    Device* d = DeviceOf(handle);
    if (!d) return DIERR_NOTINITIALIZED;
    int32_t result = d->ffb ? DI_OK : DIERR_UNSUPPORTED;
    TakeFailure(handle - 1, PLAT_JOYLOG_AUTOCENTER, &result);
    return Log(PLAT_JOYLOG_AUTOCENTER, handle - 1, 0, 0, (uint32_t)on, result);
}

int32_t HAcquire(PlatJoy handle) {
    ApplyDue();
    Device* d = DeviceOf(handle);
    if (!d) return DIERR_NOTINITIALIZED;
    int32_t result;
    if (TakeFailure(handle - 1, PLAT_JOYLOG_ACQUIRE, &result)) {
        if (result < 0) d->acquired = false;
    } else if (!d->attached) {
        d->acquired = false;
        result = DIERR_INPUTLOST;
    } else if (d->acquired) {
        result = S_FALSE;
    } else {
        d->acquired = true;
        result = DI_OK;
    }
    return Log(PLAT_JOYLOG_ACQUIRE, handle - 1, 0, 0, 0, result);
}

int32_t HUnacquire(PlatJoy handle) {
    Device* d = DeviceOf(handle);
    if (!d) return DIERR_NOTINITIALIZED;
    int32_t result = d->acquired ? DI_OK : S_FALSE;
    d->acquired = false;
    for (auto& e : g.effects)
        if (e.device == handle - 1) e.playing = false;
    return Log(PLAT_JOYLOG_UNACQUIRE, handle - 1, 0, 0, 0, result);
}

int32_t HPoll(PlatJoy handle) {
    ApplyDue();
    Device* d = DeviceOf(handle);
    if (!d) return DIERR_NOTINITIALIZED;
    int32_t result;
    if (!TakeFailure(handle - 1, PLAT_JOYLOG_POLL, &result))
        result = !d->attached ? DIERR_INPUTLOST : d->acquired ? DI_OK : DIERR_NOTACQUIRED;
    if (result == DIERR_INPUTLOST) d->acquired = false;
    return Log(PLAT_JOYLOG_POLL, handle - 1, 0, 0, 0, result);
}

int32_t HGetState(PlatJoy handle, PlatJoyState* state) {
    ApplyDue();
    Device* d = DeviceOf(handle);
    if (!d) return DIERR_NOTINITIALIZED;
    int32_t result;
    if (!TakeFailure(handle - 1, PLAT_JOYLOG_STATE, &result))
        result = !d->attached ? DIERR_INPUTLOST : d->acquired ? DI_OK : DIERR_NOTACQUIRED;
    if (result == DIERR_INPUTLOST) d->acquired = false;
    if (result >= 0) *state = d->state;
    return Log(PLAT_JOYLOG_STATE, handle - 1, 0, 0, 0, result);
}

int32_t HSendCommand(PlatJoy handle, uint32_t command) {
    Device* d = DeviceOf(handle);
    if (!d) return DIERR_NOTINITIALIZED;
    int32_t result;
    if (!TakeFailure(handle - 1, PLAT_JOYLOG_COMMAND, &result))
        result = !d->ffb ? DIERR_UNSUPPORTED : d->acquired ? DI_OK : DIERR_NOTEXCLUSIVEACQUIRED;
    return Log(PLAT_JOYLOG_COMMAND, handle - 1, 0, 0, command, result);
}

int32_t HEffectCreate(PlatJoy handle, int32_t kind, const PlatEffectParams* params, PlatJoyEffect* effect) {
    Device* d = DeviceOf(handle);
    if (!d) return DIERR_NOTINITIALIZED;
    int32_t result = DI_OK;
    if (TakeFailure(handle - 1, PLAT_JOYLOG_CREATE, &result)) {
    } else if (!d->ffb || kind < PLAT_EFFECT_CONSTANT || kind > PLAT_EFFECT_SPRING) {
        result = DIERR_UNSUPPORTED;
    } else if (g.effects.size() >= (size_t)kMaxEffects) {
        result = DIERR_OUTOFMEMORY;
    }
    if (result >= 0) {
        g.effects.push_back(Effect{handle - 1, kind, *params, false});
        *effect = (PlatJoyEffect)g.effects.size();
    }
    return Log(PLAT_JOYLOG_CREATE, handle - 1, result >= 0 ? *effect : 0, kind, 0, result, params);
}

int32_t HEffectSetParameters(PlatJoyEffect handle, const PlatEffectParams* params, uint32_t flags) {
    Effect* e = EffectOf(handle);
    if (!e) return DIERR_NOTINITIALIZED;
    Device& d = g.devices[(size_t)e->device];
    int32_t result = DI_OK;
    if (!TakeFailure(e->device, PLAT_JOYLOG_SETPARAMS, &result)) {
        plat_JoyEffectParamsMerge(&e->params, params, flags);
        if (!d.acquired)
            result = DI_DOWNLOADSKIPPED;
        else if ((flags & DIEP_START) != 0) {
            result = e->playing ? DI_EFFECTRESTARTED : DI_OK;
            e->playing = true;
        }
    }
    return Log(PLAT_JOYLOG_SETPARAMS, e->device, handle, e->kind, flags, result, params);
}

int32_t HEffectDownload(PlatJoyEffect handle) {
    Effect* e = EffectOf(handle);
    if (!e) return DIERR_NOTINITIALIZED;
    int32_t result;
    if (!TakeFailure(e->device, PLAT_JOYLOG_DOWNLOAD, &result))
        result = g.devices[(size_t)e->device].acquired ? DI_OK : DIERR_NOTEXCLUSIVEACQUIRED;
    return Log(PLAT_JOYLOG_DOWNLOAD, e->device, handle, e->kind, 0, result);
}

int32_t HEffectStart(PlatJoyEffect handle, uint32_t iterations, uint32_t flags) {
    Effect* e = EffectOf(handle);
    if (!e) return DIERR_NOTINITIALIZED;
    int32_t result;
    if (!TakeFailure(e->device, PLAT_JOYLOG_START, &result))
        result = g.devices[(size_t)e->device].acquired ? DI_OK : DIERR_NOTEXCLUSIVEACQUIRED;
    if (result >= 0) e->playing = true;
    return Log(PLAT_JOYLOG_START, e->device, handle, e->kind, iterations, result);
}

int32_t HEffectStop(PlatJoyEffect handle) {
    Effect* e = EffectOf(handle);
    if (!e) return DIERR_NOTINITIALIZED;
    int32_t result = DI_OK;
    TakeFailure(e->device, PLAT_JOYLOG_STOP, &result);
    e->playing = false;
    return Log(PLAT_JOYLOG_STOP, e->device, handle, e->kind, 0, result);
}

void HEffectRelease(PlatJoyEffect handle) {
    Effect* e = EffectOf(handle);
    if (!e) return;
    Log(PLAT_JOYLOG_RELEASE, e->device, handle, e->kind, 0, DI_OK);
    e->device = -1;
}

// ---- script parsing ----

bool ParseInt(const char* s, int64_t* out) {
    if (!s || !*s) return false;
    char* end = nullptr;
    long long v = strtoll(s, &end, 0);
    if (*end) return false;
    *out = v;
    return true;
}

int32_t AxisFromName(const char* s) {
    static const char* const kNames[][2] = {{"x", "x"},        {"y", "y"},        {"z", "throttle"},
                                            {"rz", "rudder"},  {"u", "slider0"},  {"v", "slider1"}};
    for (int32_t i = 0; i < PLAT_JOY_AXES; i++)
        if (!strcasecmp(s, kNames[i][0]) || !strcasecmp(s, kNames[i][1])) return i;
    int64_t n;
    if (ParseInt(s, &n) && n >= 0 && n < PLAT_JOY_AXES) return (int32_t)n;
    return -1;
}

int32_t Bad(const char* file, int32_t lineNo, const char* what) {
    fprintf(stderr, "krx: %s:%d: %s\n", file, lineNo, what);
    return -1;
}

}  // namespace

int32_t plat_JoyHeadlessAdd(const char* name, int32_t forceFeedback, int32_t axes, int32_t povs, int32_t buttons) {
    if ((int32_t)g.devices.size() >= kMaxDevices) return -1;
    Device d{};
    snprintf(d.name, sizeof d.name, "%s", name && *name ? name : "Joystick");
    d.ffb = forceFeedback ? 1 : 0;
    d.axes = std::clamp(axes, 0, PLAT_JOY_AXES);
    d.povs = std::clamp(povs, 0, 4);
    d.buttons = std::clamp(buttons, 0, 32);
    d.attached = 1;
    plat_JoyStateCentre(&d.state);
    // The product identifier comes from the name, the instance from the
    // product and the device's place among those of the same name.
    uint8_t bytes[16] = {};
    uint64_t h = 0xCBF29CE484222325ull;
    for (const char* p = d.name; *p; p++) {
        h ^= (uint8_t)*p;
        h *= 0x100000001B3ull;
    }
    for (int i = 0; i < 8; i++) bytes[i] = (uint8_t)(h >> (8 * i));
    memcpy(bytes + 8, "KRXJOYHL", 8);
    memcpy(d.info.product.bytes, bytes, 16);
    int32_t ordinal = 0;
    for (const auto& other : g.devices)
        if (!strcmp(other.name, d.name)) ordinal++;
    plat_JoyInstanceGuid(bytes, ordinal, &d.info.instance);
    if (ordinal)
        snprintf(d.info.instanceName, sizeof d.info.instanceName, "%.100s %d", d.name, (int)ordinal + 1);
    else
        snprintf(d.info.instanceName, sizeof d.info.instanceName, "%s", d.name);
    snprintf(d.info.productName, sizeof d.info.productName, "%s", d.name);
    g.devices.push_back(d);
    return (int32_t)g.devices.size() - 1;
}

void plat_JoyHeadlessAxis(int32_t device, int32_t axis, int32_t value) {
    if (device < 0 || device >= (int32_t)g.devices.size() || axis < 0 || axis >= PLAT_JOY_AXES) return;
    plat_JoyStateSetAxis(&g.devices[(size_t)device].state, plat_JoyAxisOffset[axis], std::clamp(value, 0, 65535));
}

void plat_JoyHeadlessButton(int32_t device, int32_t button, int32_t down) {
    if (device < 0 || device >= (int32_t)g.devices.size() || button < 0 || button >= 32) return;
    g.devices[(size_t)device].state.rgbButtons[button] = down ? 0x80 : 0;
}

void plat_JoyHeadlessPov(int32_t device, int32_t pov, uint32_t value) {
    if (device < 0 || device >= (int32_t)g.devices.size() || pov < 0 || pov >= 4) return;
    g.devices[(size_t)device].state.rgdwPOV[pov] = value;
}

void plat_JoyHeadlessAttach(int32_t device, int32_t attached) {
    if (device < 0 || device >= (int32_t)g.devices.size()) return;
    Device& d = g.devices[(size_t)device];
    d.attached = attached ? 1 : 0;
    if (!d.attached) d.acquired = false;
}

void plat_JoyHeadlessFail(int32_t device, int32_t op, int32_t result, int32_t count) {
    if (device < 0 || device >= (int32_t)g.devices.size() || count <= 0) return;
    g.devices[(size_t)device].failures.push_back(Failure{op, result, count});
}

void plat_JoyHeadlessLogPolls(int32_t on) { g.logPolls = on != 0; }
int32_t plat_JoyHeadlessLogCount(void) { return (int32_t)g.log.size(); }

const PlatJoyLogEntry* plat_JoyHeadlessLogEntry(int32_t index) {
    if (index < 0 || index >= (int32_t)g.log.size()) return nullptr;
    return &g.log[(size_t)index];
}

void plat_JoyHeadlessLogClear(void) { g.log.clear(); }

void plat_JoyHeadlessReset(void) {
    if (g.logFile) fclose(g.logFile);
    g = State{};
}

int32_t plat_JoyScriptLine(uint32_t tick, const char* cmd, char** args, int32_t argCount, const char* file,
                           int32_t lineNo) {
    if (strncasecmp(cmd, "joy", 3) != 0) return 0;
    if (!strcasecmp(cmd, "joydevice")) {
        if (argCount < 1) return Bad(file, lineNo, "joydevice needs a name");
        int32_t ffb = 0, axes = 4, povs = 1, buttons = 16;
        for (int32_t i = 1; i < argCount; i++) {
            const char* a = args[i];
            int64_t n = 0;
            if (!strcasecmp(a, "ffb")) {
                ffb = 1;
            } else if (!strncasecmp(a, "axes=", 5) && ParseInt(a + 5, &n) && n >= 0 && n <= PLAT_JOY_AXES) {
                axes = (int32_t)n;
            } else if (!strncasecmp(a, "hats=", 5) && ParseInt(a + 5, &n) && n >= 0 && n <= 4) {
                povs = (int32_t)n;
            } else if (!strncasecmp(a, "buttons=", 8) && ParseInt(a + 8, &n) && n >= 0 && n <= 32) {
                buttons = (int32_t)n;
            } else {
                return Bad(file, lineNo, "joydevice: expected ffb, axes=0..6, hats=0..4 or buttons=0..32");
            }
        }
        if (plat_JoyHeadlessAdd(args[0], ffb, axes, povs, buttons) < 0)
            return Bad(file, lineNo, "joydevice: too many devices");
        return 1;
    }
    int64_t dev = -1;
    if (argCount < 2 || !ParseInt(args[0], &dev) || dev < 0 || dev >= kMaxDevices)
        return Bad(file, lineNo, "joystick command needs a device number 0..15");
    ScriptEvent e{tick, 0, (int32_t)dev, 0, 0, 1};
    int64_t n = 0;
    if (!strcasecmp(cmd, "joyaxis")) {
        e.type = kEvAxis;
        e.n = AxisFromName(args[1]);
        if (e.n < 0 || argCount < 3 || !ParseInt(args[2], &n) || n < 0 || n > 65535)
            return Bad(file, lineNo, "joyaxis DEV AXIS VALUE: axis x|y|z|rz|u|v or 0..5, value 0..65535");
        e.value = n;
    } else if (!strcasecmp(cmd, "joybutton")) {
        e.type = kEvButton;
        if (!ParseInt(args[1], &n) || n < 1 || n > 32 || argCount < 3 ||
            (strcasecmp(args[2], "down") && strcasecmp(args[2], "up")))
            return Bad(file, lineNo, "joybutton DEV N down|up: N 1..32");
        e.n = (int32_t)n - 1;
        e.value = !strcasecmp(args[2], "down");
    } else if (!strcasecmp(cmd, "joyhat")) {
        e.type = kEvPov;
        if (!ParseInt(args[1], &n) || n < 1 || n > 4 || argCount < 3)
            return Bad(file, lineNo, "joyhat DEV N VALUE: N 1..4, VALUE hundredths of a degree or centre");
        e.n = (int32_t)n - 1;
        if (!strcasecmp(args[2], "centre") || !strcasecmp(args[2], "center")) {
            e.value = 0xFFFFFFFFll;
        } else if (ParseInt(args[2], &n) && (n == -1 || (n >= 0 && n <= 0xFFFFFFFFll))) {
            e.value = n == -1 ? 0xFFFFFFFFll : n;
        } else {
            return Bad(file, lineNo, "joyhat DEV N VALUE: N 1..4, VALUE hundredths of a degree or centre");
        }
    } else if (!strcasecmp(cmd, "joyattach")) {
        e.type = kEvAttach;
        if (!ParseInt(args[1], &n)) return Bad(file, lineNo, "joyattach DEV 0|1");
        e.value = n != 0;
    } else if (!strcasecmp(cmd, "joyfail")) {
        e.type = kEvFail;
        e.n = OpFromName(args[1]);
        if (!e.n || argCount < 3 || !ParseInt(args[2], &n))
            return Bad(file, lineNo, "joyfail DEV OP RESULT [COUNT]");
        e.value = (int32_t)(uint32_t)n;
        int64_t count = 1;
        if (argCount >= 4 && (!ParseInt(args[3], &count) || count < 1 || count > 1000000))
            return Bad(file, lineNo, "joyfail DEV OP RESULT [COUNT]: COUNT 1..1000000");
        e.count = (int32_t)count;
    } else {
        return Bad(file, lineNo, "unknown joystick command");
    }
    g.events.push_back(e);
    g.eventsSorted = false;
    return 1;
}

const PlatJoyBackend plat_HeadlessJoyBackend = {
    HInit,          HShutdown,        HCount,      HDeviceInfo,      HOpen,
    HClose,         HGetCaps,         HObjectPresent, HSetAutoCenter, HAcquire,
    HUnacquire,     HPoll,            HGetState,   HSendCommand,     HEffectCreate,
    HEffectSetParameters, HEffectDownload, HEffectStart, HEffectStop, HEffectRelease,
};
