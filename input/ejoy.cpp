// Joysticks, throttles, rudders and force-feedback effects.
#include "input/ejoy.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "base/dlist.h"
#include "base/mem.h"

int32_t ejoy_CodeDown[EJOY_CODE_COUNT];
int32_t ejoy_CodePressed[EJOY_CODE_COUNT];
int32_t ejoy_CodeReleased[EJOY_CODE_COUNT];
float ejoy_AxisValue[EJOY_AXIS_COUNT];

const int32_t ejoy_CalibrationDefaults[EJOY_SET_COUNT] = {4096, 4096, 256, 4096, 4096, 4096};
int32_t ejoy_AxisSettings[EJOY_SET_COUNT] = {4096, 4096, 256, 4096, 4096, 4096};
int32_t ejoy_EnableFlag = 1;
EjoyPresence ejoy_Present;

_EJOY_INFO* ejoy_InfoHead = nullptr;
_EJOY_INFO* ejoy_InfoTail = nullptr;
int32_t ejoy_InfoCount = 0;
_EJOY_INFO* ejoy_ActiveDevice = nullptr;

int32_t ejoy_DebugFlag = 0;
char ejoy_LastStatus[160];

namespace {

// The record each kind's routine works on.
constexpr size_t kKindRecordSize[EJOY_EFFECT_KINDS] = {
    sizeof(_EJOY_EFFECT_FORCE),  sizeof(_EJOY_EFFECT_RESISTENCE), sizeof(_EJOY_EFFECT_VIBRATE),
    sizeof(_EJOY_EFFECT_TWITCH), sizeof(_EJOY_EFFECT_TWITCH),     sizeof(_EJOY_EFFECT_SHOCK),
};

bool g_started = false;
// The last throttle value taken as a move (65536 - z).
int32_t g_throttleLast = 0;
_EJOY_WATCHDOG* g_watchHead = nullptr;
_EJOY_WATCHDOG* g_watchTail = nullptr;
int32_t g_notifyDepth = 0;
int32_t g_deadWatchers = 0;

// Keeps the status text of a device call while debugging; returns the result.
int32_t Status(const char* label, int32_t result) {
    if (ejoy_DebugFlag) {
        char name[48];
        ejoy_ResultName(result, name, sizeof name);
        snprintf(ejoy_LastStatus, sizeof ejoy_LastStatus, "%s : %s", label, name);
    }
    return result;
}

// ---- codes ----

void WatchUnlink(_EJOY_WATCHDOG* n) {
    dlist_Unlink(g_watchHead, g_watchTail, n);
    mem_Free(n);
}

// A watcher may remove itself or another one (the remapping screen takes
// the input map's watcher away) while it is told of a code: removed nodes
// only lose their callback during the walk and are unlinked after it.
void Notify(int32_t code, int32_t down) {
    g_notifyDepth++;
    for (_EJOY_WATCHDOG* w = g_watchHead; w; w = w->next)
        if (w->callback) w->callback(code, down);
    g_notifyDepth--;
    if (g_notifyDepth == 0 && g_deadWatchers) {
        g_deadWatchers = 0;
        for (_EJOY_WATCHDOG *w = g_watchHead, *next; w; w = next) {
            next = w->next;
            if (!w->callback) WatchUnlink(w);
        }
    }
}

void Press(int32_t code) {
    if (ejoy_CodeDown[code]) return;
    ejoy_CodeDown[code] = 1;
    ejoy_CodePressed[code] = 1;
    Notify(code, 1);
}

void Release(int32_t code) {
    if (!ejoy_CodeDown[code]) return;
    ejoy_CodeReleased[code] = 1;
    ejoy_CodeDown[code] = 0;
    Notify(code, 0);
}

void Set(int32_t code, bool down) {
    if (down)
        Press(code);
    else
        Release(code);
}

void AxisRule(int32_t reading, int32_t deadZone, int32_t minusCode, int32_t plusCode, float* value) {
    if (reading < 32768 - deadZone) {
        Press(minusCode);
        Release(plusCode);
    } else if (reading > 32768 + deadZone) {
        Release(minusCode);
        Press(plusCode);
    } else {
        Release(minusCode);
        Release(plusCode);
    }
    *value = reading <= 32768 ? (float)(reading - 32768) / 32768.0f : (float)(reading - 32768) / 32767.0f;
}

void HatRule(int32_t angle, int32_t base) {
    if (angle == 65535) {
        for (int32_t i = 0; i < 5; i++) Release(base + i);
        return;
    }
    bool up = false, down = false, left = false, right = false;
    if (angle <= 2200)
        up = true;
    else if (angle <= 6800)
        up = right = true;
    else if (angle <= 11200)
        right = true;
    else if (angle <= 15000)
        down = right = true;
    else if (angle <= 20200)
        down = true;
    else if (angle <= 24800)
        down = left = true;
    else if (angle <= 29200)
        left = true;
    else if (angle <= 33800)
        up = left = true;
    else
        up = true;
    Press(base);
    // Directions let go of first, so that a watcher never sees both of a
    // pair down on a sweep.
    if (!up) Release(base + 1);
    if (!down) Release(base + 2);
    if (!left) Release(base + 3);
    if (!right) Release(base + 4);
    if (up) Press(base + 1);
    if (down) Press(base + 2);
    if (left) Press(base + 3);
    if (right) Press(base + 4);
}

void ReleaseAll(void) {
    for (int32_t code = 0; code < EJOY_CODE_COUNT; code++) Release(code);
}

int32_t ClampReading(int32_t v) { return v < 0 ? 0 : v > 65535 ? 65535 : v; }

int32_t HatReading(uint32_t pov) { return (pov & 0xFFFFu) == 0xFFFFu || pov > 0xFFFFu ? 65535 : (int32_t)pov; }

void ReadingsCentre(_EJOY_INFO* info) {
    info->readX = info->readY = info->readRudder = info->readU = info->readV = 32768;
    info->readThrottle = 0;
    for (int32_t& h : info->readHat) h = 65535;
    info->buttons = 0;
}

void Unlink(_EJOY_INFO* info) {
    dlist_Unlink(ejoy_InfoHead, ejoy_InfoTail, ejoy_InfoCount, info);
}

}  // namespace

// ---- status names ----

void ejoy_ResultName(int32_t result, char* buffer, size_t size) {
    static const struct {
        int32_t value;
        const char* name;
    } kNames[] = {
        {DI_OK, "DI_OK"},
        {S_FALSE, "S_FALSE"},
        {DI_POLLEDDEVICE, "DI_POLLEDDEVICE"},
        {DI_DOWNLOADSKIPPED, "DI_DOWNLOADSKIPPED"},
        {DI_EFFECTRESTARTED, "DI_EFFECTRESTARTED"},
        {DI_TRUNCATED, "DI_TRUNCATED"},
        {DI_TRUNCATEDANDRESTARTED, "DI_TRUNCATEDANDRESTARTED"},
        {DIERR_OLDDIRECTINPUTVERSION, "DIERR_OLDDIRECTINPUTVERSION"},
        {DIERR_BETADIRECTINPUTVERSION, "DIERR_BETADIRECTINPUTVERSION"},
        {DIERR_BADDRIVERVER, "DIERR_BADDRIVERVER"},
        {DIERR_DEVICENOTREG, "DIERR_DEVICENOTREG"},
        {DIERR_NOTFOUND, "DIERR_NOTFOUND"},
        {DIERR_INVALIDPARAM, "DIERR_INVALIDPARAM"},
        {DIERR_NOINTERFACE, "DIERR_NOINTERFACE"},
        {DIERR_GENERIC, "DIERR_GENERIC"},
        {DIERR_OUTOFMEMORY, "DIERR_OUTOFMEMORY"},
        {DIERR_UNSUPPORTED, "DIERR_UNSUPPORTED"},
        {DIERR_NOTINITIALIZED, "DIERR_NOTINITIALIZED"},
        {DIERR_ALREADYINITIALIZED, "DIERR_ALREADYINITIALIZED"},
        {DIERR_NOAGGREGATION, "DIERR_NOAGGREGATION"},
        {DIERR_OTHERAPPHASPRIO, "DIERR_OTHERAPPHASPRIO"},
        {DIERR_INPUTLOST, "DIERR_INPUTLOST"},
        {DIERR_ACQUIRED, "DIERR_ACQUIRED"},
        {DIERR_NOTACQUIRED, "DIERR_NOTACQUIRED"},
        {E_PENDING, "E_PENDING"},
        {DIERR_INSUFFICIENTPRIVS, "DIERR_INSUFFICIENTPRIVS"},
        {DIERR_DEVICEFULL, "DIERR_DEVICEFULL"},
        {DIERR_MOREDATA, "DIERR_MOREDATA"},
        {DIERR_NOTDOWNLOADED, "DIERR_NOTDOWNLOADED"},
        {DIERR_HASEFFECTS, "DIERR_HASEFFECTS"},
        {DIERR_NOTEXCLUSIVEACQUIRED, "DIERR_NOTEXCLUSIVEACQUIRED"},
        {DIERR_INCOMPLETEEFFECT, "DIERR_INCOMPLETEEFFECT"},
        {DIERR_NOTBUFFERED, "DIERR_NOTBUFFERED"},
        {DIERR_EFFECTPLAYING, "DIERR_EFFECTPLAYING"},
    };
    if (!buffer || !size) return;
    for (const auto& n : kNames)
        if (n.value == result) {
            snprintf(buffer, size, "%s", n.name);
            return;
        }
    snprintf(buffer, size, "<%ld ($%8.8lx)>", (long)result, (unsigned long)(uint32_t)result);
}

// ---- identifier text ----

void ejoy_GuidToText(const uint8_t g[16], char* buffer, size_t size) {
    if (!buffer || size == 0) return;
    if (!g) {
        buffer[0] = 0;
        return;
    }
    uint32_t d1 = (uint32_t)g[0] | ((uint32_t)g[1] << 8) | ((uint32_t)g[2] << 16) | ((uint32_t)g[3] << 24);
    uint32_t d2 = (uint32_t)g[4] | ((uint32_t)g[5] << 8);
    uint32_t d3 = (uint32_t)g[6] | ((uint32_t)g[7] << 8);
    snprintf(buffer, size, "%8.8lX-%4.4lX-%4.4lX-%2.2lX%2.2lX-%2.2lX%2.2lX%2.2lX%2.2lX%2.2lX%2.2lX", (unsigned long)d1,
             (unsigned long)d2, (unsigned long)d3, (unsigned long)g[8], (unsigned long)g[9], (unsigned long)g[10],
             (unsigned long)g[11], (unsigned long)g[12], (unsigned long)g[13], (unsigned long)g[14],
             (unsigned long)g[15]);
}

static int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

static bool PairAt(const char* p) { return HexValue(p[0]) >= 0 && HexValue(p[1]) >= 0; }

void ejoy_GuidFromText(const char* text, uint8_t g[16]) {
    if (!g) return;
    memset(g, 0, 16);
    if (!text) return;
    uint8_t bytes[16] = {};
    const char* p = text;
    for (int i = 0; i < 16; i++) {
        if (!PairAt(p)) {
            if (!*p) break;
            p++;  // one separator
            if (!PairAt(p)) break;
        }
        bytes[i] = (uint8_t)(HexValue(p[0]) * 16 + HexValue(p[1]));
        p += 2;
    }
    // The text gives the first three groups most significant byte first.
    g[0] = bytes[3], g[1] = bytes[2], g[2] = bytes[1], g[3] = bytes[0];
    g[4] = bytes[5], g[5] = bytes[4];
    g[6] = bytes[7], g[7] = bytes[6];
    memcpy(g + 8, bytes + 8, 8);
}

// ---- watchers ----

_EJOY_WATCHDOG* ejoy_WatchdogAdd(EjoyWatchRoutine callback) {
    if (!callback) return nullptr;
    _EJOY_WATCHDOG* n = (_EJOY_WATCHDOG*)mem_AllocEx(sizeof(_EJOY_WATCHDOG), 4, "_EJOY_WATCHDOG");
    if (!n) return nullptr;
    n->callback = callback;
    dlist_AddTail(g_watchHead, g_watchTail, n);
    return n;
}

void ejoy_WatchdogRemove(_EJOY_WATCHDOG* node) {
    if (!node) return;
    _EJOY_WATCHDOG* n = g_watchHead;
    while (n && n != node) n = n->next;
    if (!n) return;
    if (g_notifyDepth > 0) {
        n->callback = nullptr;
        g_deadWatchers++;
        return;
    }
    WatchUnlink(n);
}

// ---- code tables ----

void ejoy_StateClear(void) {
    memset(ejoy_CodeDown, 0, sizeof ejoy_CodeDown);
    memset(ejoy_CodePressed, 0, sizeof ejoy_CodePressed);
    memset(ejoy_CodeReleased, 0, sizeof ejoy_CodeReleased);
    for (float& v : ejoy_AxisValue) v = 0.0f;
}

void ejoy_ClearEdges(void) {
    memset(ejoy_CodePressed, 0, sizeof ejoy_CodePressed);
    memset(ejoy_CodeReleased, 0, sizeof ejoy_CodeReleased);
}

void ejoy_ThrottleThresholdSet(int32_t threshold) {
    ejoy_AxisSettings[EJOY_SET_THROTTLE] = threshold < 0 ? 0 : threshold > 65535 ? 65535 : threshold;
}

// ---- devices ----

int32_t ejoy_Init(uintptr_t instance, PlatHwnd window) {
    // The service needs neither the program instance nor the window.
    (void)instance;
    (void)window;
    ejoy_Shutdown();
    ejoy_DeviceSelect(nullptr);
    ejoy_StateClear();
    if (Status("ejoy_Init::DirectInputCreate", plat_JoyInit()) < 0) return -1;
    g_started = true;
    int32_t count = plat_JoyCount();
    for (int32_t i = 0; i < count; i++) {
        PlatJoyDeviceInfo di;
        if (plat_JoyDeviceInfo(i, &di) < 0) continue;
        // A device that cannot be opened is left out; the others go on.
        ejoy_InfoCreate(di.instance.bytes, di.product.bytes, di.instanceName, di.productName);
    }
    ejoy_DeviceSelect(ejoy_InfoPreferred());
    return 0;
}

void ejoy_Shutdown(void) {
    while (ejoy_InfoHead) ejoy_InfoDestroy(ejoy_InfoHead);
    ejoy_DeviceSelect(nullptr);
    if (g_started) plat_JoyShutdown();
    g_started = false;
}

_EJOY_INFO* ejoy_InfoCreate(const uint8_t instanceGuid[16], const uint8_t productGuid[16], const char* instanceName,
                            const char* productName) {
    if (!instanceGuid) return nullptr;
    PlatGuid instance;
    memcpy(instance.bytes, instanceGuid, 16);
    PlatJoy device = 0;
    if (Status("ejoy_InfoCreate::CreateDevice", plat_JoyOpen(&instance, &device)) < 0) return nullptr;
    // The device speaks the standard joystick state and is used exclusively
    // while the window is in front; the service works that way already.
    const char* iname = instanceName ? instanceName : "";
    const char* pname = productName ? productName : "";
    size_t ilen = strnlen(iname, 255), plen = strnlen(pname, 255);
    uint32_t size = (uint32_t)(sizeof(_EJOY_INFO) + ilen + 1 + plen + 1);
    _EJOY_INFO* info = (_EJOY_INFO*)mem_AllocEx(size, 4, "_EJOY_INFO");
    if (!info) {
        plat_JoyClose(device);
        return nullptr;
    }
    memset(info, 0, size);
    char* names = (char*)(info + 1);
    memcpy(names, iname, ilen);
    names[ilen] = 0;
    memcpy(names + ilen + 1, pname, plen);
    names[ilen + 1 + plen] = 0;
    info->instanceName = names;
    info->productName = names + ilen + 1;
    memcpy(info->instanceGuid, instanceGuid, 16);
    if (productGuid) memcpy(info->productGuid, productGuid, 16);
    info->device = device;
    ReadingsCentre(info);
    dlist_AddTail(ejoy_InfoHead, ejoy_InfoTail, ejoy_InfoCount, info);

    PlatJoyCaps caps{};
    if (Status("ejoy_InfoCreate::GetCapabilities", plat_JoyGetCaps(device, &caps)) < 0) {
        Unlink(info);
        mem_Free(info);
        plat_JoyClose(device);
        return nullptr;
    }
    bool attached = (caps.flags & PLAT_JOYCAPS_ATTACHED) != 0;
    auto present = [&](uint32_t offset, const char* label) {
        return Status(label, plat_JoyObjectPresent(device, offset)) >= 0 ? 1 : 0;
    };
    info->usable = attached && present(DIJOFS_X, "ejoy_InfoCreate::GetObjectInfo(X)") &&
                   present(DIJOFS_Y, "ejoy_InfoCreate::GetObjectInfo(Y)");
    if (info->usable) {
        info->throttle = present(DIJOFS_Z, "ejoy_InfoCreate::GetObjectInfo(Z)");
        info->rudder = present(DIJOFS_RZ, "ejoy_InfoCreate::GetObjectInfo(Rz)");
        info->u = present(DIJOFS_SLIDER0, "ejoy_InfoCreate::GetObjectInfo(Slider0)");
        info->v = present(DIJOFS_SLIDER1, "ejoy_InfoCreate::GetObjectInfo(Slider1)");
        for (uint32_t h = 0; h < 4; h++)
            info->hat[h] = present(DIJOFS_POV0 + 4 * h, "ejoy_InfoCreate::GetObjectInfo(POV)");
    }
    info->forceFeedback = (caps.flags & PLAT_JOYCAPS_FORCEFEEDBACK) ? 1 : 0;
    // A stick whose centring spring cannot be switched still reads and
    // plays effects, so this one is not a reason to drop it.
    ejoy_InfoSetAutoCenter(info, 1);
    return info;
}

void ejoy_InfoDestroy(_EJOY_INFO* info) {
    if (!info) return;
    bool linked = false;
    for (_EJOY_INFO* i = ejoy_InfoHead; i; i = i->next)
        if (i == info) linked = true;
    if (!linked) return;
    ejoy_InfoEffectsStop(info);
    while (info->effectHead) ejoy_EffectDestroy(info->effectHead);
    if (ejoy_ActiveDevice == info) ejoy_DeviceSelect(nullptr);
    Unlink(info);
    plat_JoyUnacquire(info->device);
    plat_JoyClose(info->device);
    mem_Free(info);
}

void ejoy_DeviceSelect(_EJOY_INFO* info) {
    ejoy_ActiveDevice = info;
    ejoy_Present = EjoyPresence{};
    if (!info) return;
    ejoy_Present.xy = info->usable;
    ejoy_Present.throttle = info->throttle;
    ejoy_Present.rudder = info->rudder;
    ejoy_Present.u = info->u;
    ejoy_Present.v = info->v;
    for (int i = 0; i < 4; i++) ejoy_Present.hat[i] = info->hat[i];
    ejoy_Present.forceFeedback = info->forceFeedback;
}

_EJOY_INFO* ejoy_InfoFirstUsable(void) {
    for (_EJOY_INFO* i = ejoy_InfoHead; i; i = i->next)
        if (i->usable) return i;
    return nullptr;
}

_EJOY_INFO* ejoy_InfoPreferred(void) {
    _EJOY_INFO* chosen = nullptr;
    for (_EJOY_INFO* i = ejoy_InfoHead; i; i = i->next) {
        if (!i->usable) continue;
        if (!chosen || (!chosen->forceFeedback && i->forceFeedback)) chosen = i;
    }
    return chosen;
}

_EJOY_INFO* ejoy_InfoFindByGuid(const uint8_t guid[16]) {
    if (!guid) return nullptr;
    for (_EJOY_INFO* i = ejoy_InfoHead; i; i = i->next)
        if (memcmp(i->instanceGuid, guid, 16) == 0) return i;
    return nullptr;
}

int32_t ejoy_InfoSetAutoCenter(_EJOY_INFO* info, int32_t on) {
    if (!info || !info->forceFeedback) return -1;
    return Status("ejoy_InfoSetAutoCenter::SetProperty", plat_JoySetAutoCenter(info->device, on)) < 0 ? -1 : 0;
}

int32_t ejoy_InfoAcquire(_EJOY_INFO* info) {
    if (!info) return -1;
    int32_t r = Status("ejoy_InfoAcquire::Acquire", plat_JoyAcquire(info->device));
    if (r < 0) return -1;
    if (r == S_FALSE) return 0;
    // Effects on the device are gone or stale after a new acquisition.
    for (_EJOY_EFFECT* e = info->effectHead; e;) {
        _EJOY_EFFECT* next = e->next;
        ejoy_EffectSend(e, EJOY_MSG_RESET);
        e = next;
    }
    return 1;
}

int32_t ejoy_InfoPoll(_EJOY_INFO* info) {
    if (!info) return -1;
    ReadingsCentre(info);
    if (ejoy_InfoAcquire(info) < 0) return -1;
    if (Status("ejoy_InfoPoll::Poll", plat_JoyPoll(info->device)) < 0) return -1;
    PlatJoyState s;
    if (Status("ejoy_InfoPoll::GetDeviceState", plat_JoyGetState(info->device, &s)) < 0) return -1;
    uint32_t buttons = 0;
    for (int b = 0; b < 16; b++)
        if (s.rgbButtons[b] & 0x80) buttons |= 1u << b;
    info->buttons = buttons;
    if (info->usable) {
        info->readX = ClampReading(s.lX);
        info->readY = ClampReading(s.lY);
    }
    if (info->throttle) info->readThrottle = ClampReading(s.lZ);
    if (info->rudder) info->readRudder = ClampReading(s.lRz);
    if (info->u) info->readU = ClampReading(s.rglSlider[0]);
    if (info->v) info->readV = ClampReading(s.rglSlider[1]);
    for (int h = 0; h < 4; h++)
        if (info->hat[h]) info->readHat[h] = HatReading(s.rgdwPOV[h]);
    return 0;
}

void ejoy_InputRead(void) {
    _EJOY_INFO* info = ejoy_ActiveDevice;
    if (!ejoy_EnableFlag || !info || !info->usable) {
        // Codes still down are let go through the watchers first, so that
        // nothing bound to them stays held.
        ReleaseAll();
        ejoy_StateClear();
        return;
    }
    bool read = ejoy_InfoPoll(info) == 0;
    for (int b = 0; b < 16; b++) Set(EJOY_CODE_BUTTON1 + b, (info->buttons >> b) & 1u);
    AxisRule(info->readX, ejoy_AxisSettings[EJOY_SET_X], EJOY_CODE_STICK_LEFT, EJOY_CODE_STICK_RIGHT,
             &ejoy_AxisValue[EJOY_AXIS_X]);
    AxisRule(info->readY, ejoy_AxisSettings[EJOY_SET_Y], EJOY_CODE_STICK_UP, EJOY_CODE_STICK_DOWN,
             &ejoy_AxisValue[EJOY_AXIS_Y]);
    if (info->throttle) {
        // A failed read has no throttle position: it is not taken as a move
        // (its centred reading would stand for full throttle).
        int32_t t = 65536 - info->readThrottle;
        int32_t change = t - g_throttleLast;
        if (read && (change > ejoy_AxisSettings[EJOY_SET_THROTTLE] || -change > ejoy_AxisSettings[EJOY_SET_THROTTLE])) {
            g_throttleLast = t;
            ejoy_AxisValue[EJOY_AXIS_THROTTLE] = (float)(65535 - info->readThrottle) / 65535.0f;
            Press(EJOY_CODE_THROTTLE);
        } else {
            Release(EJOY_CODE_THROTTLE);
        }
    }
    if (info->rudder)
        AxisRule(info->readRudder, ejoy_AxisSettings[EJOY_SET_RUDDER], EJOY_CODE_RUDDER_LEFT, EJOY_CODE_RUDDER_RIGHT,
                 &ejoy_AxisValue[EJOY_AXIS_RUDDER]);
    if (info->u)
        AxisRule(info->readU, ejoy_AxisSettings[EJOY_SET_U], EJOY_CODE_U_MINUS, EJOY_CODE_U_PLUS,
                 &ejoy_AxisValue[EJOY_AXIS_U]);
    if (info->v)
        AxisRule(info->readV, ejoy_AxisSettings[EJOY_SET_V], EJOY_CODE_V_MINUS, EJOY_CODE_V_PLUS,
                 &ejoy_AxisValue[EJOY_AXIS_V]);
    for (int h = 0; h < 4; h++)
        if (info->hat[h]) HatRule(info->readHat[h], EJOY_CODE_HAT1 + 5 * h);
}

// ---- effects: records ----

_EJOY_EFFECT* ejoy_EffectCreate(_EJOY_INFO* device, const char* name, int32_t kind, int32_t recordSize,
                                EjoyEffectRoutine routine) {
    if (!device || !routine || recordSize < (int32_t)sizeof(_EJOY_EFFECT) || recordSize > 0x10000) return nullptr;
    // A record too small for its kind's values would be written past its end.
    if (kind >= 0 && kind < EJOY_EFFECT_KINDS && (size_t)recordSize < kKindRecordSize[kind]) return nullptr;
    const char* n = name ? name : "";
    size_t len = strnlen(n, 63);
    uint32_t size = (uint32_t)recordSize + (uint32_t)len + 1;
    _EJOY_EFFECT* e = (_EJOY_EFFECT*)mem_AllocEx(size, 4, "_EJOY_EFFECT");
    if (!e) return nullptr;
    memset(e, 0, size);
    char* copy = (char*)e + recordSize;
    memcpy(copy, n, len);
    copy[len] = 0;
    e->name = copy;
    e->kind = kind;
    e->size = recordSize;
    e->routine = routine;
    e->device = device;
    e->index = device->effectCount;
    dlist_AddTail(device->effectHead, device->effectTail, device->effectCount, e);
    if (routine(e, EJOY_MSG_CREATE) != 0) {
        ejoy_EffectDestroy(e);
        return nullptr;
    }
    routine(e, EJOY_MSG_RESET);
    return e;
}

void ejoy_EffectDestroy(_EJOY_EFFECT* effect) {
    if (!effect) return;
    _EJOY_INFO* device = effect->device;
    if (effect->routine) effect->routine(effect, EJOY_MSG_DESTROY);
    if (device) {
        dlist_Unlink(device->effectHead, device->effectTail, device->effectCount, effect);
        // Keep the numbers dense.
        int32_t index = 0;
        for (_EJOY_EFFECT* e = device->effectHead; e; e = e->next) e->index = index++;
    }
    mem_Free(effect);
}

int32_t ejoy_EffectSend(_EJOY_EFFECT* effect, int32_t message) {
    if (!effect || !effect->routine) return -1;
    return effect->routine(effect, message);
}

int32_t ejoy_InfoEffectsStop(_EJOY_INFO* device) {
    if (!device) return -1;
    for (_EJOY_EFFECT* e = device->effectHead; e; e = e->next) ejoy_EffectSend(e, EJOY_MSG_STOP);
    return 0;
}

_EJOY_EFFECT* ejoy_EffectFind(_EJOY_INFO* device, int32_t kind) {
    if (!device) return nullptr;
    for (_EJOY_EFFECT* e = device->effectHead; e; e = e->next)
        if (e->kind == kind) return e;
    return nullptr;
}

// ---- effects: the kinds ----

namespace {

// Whether an effect's record holds the values of the kind record T (a
// routine may be handed a record made for another kind).
template <typename T>
bool Fits(const _EJOY_EFFECT* effect) {
    return effect && effect->size >= (int32_t)sizeof(T);
}

bool Succeeded(int32_t r) {
    return r == DI_OK || r == DI_DOWNLOADSKIPPED || r == DI_EFFECTRESTARTED || r == DI_TRUNCATED ||
           r == DI_TRUNCATEDANDRESTARTED;
}

// Clamps, and reads a value that is not a number as 0 (or the nearer bound).
float Clamp(float v, float lo, float hi) {
    if (std::isnan(v)) v = 0.0f;
    return v < lo ? lo : v > hi ? hi : v;
}

float Gain(const float* gain) { return gain ? *gain : 1.0f; }

// -1 ms is infinite; the rest becomes microseconds.
uint32_t Micros(int32_t ms) {
    if (ms == -1) return PLAT_EFFECT_INFINITE;
    if (ms < 0) return 0;
    int64_t us = (int64_t)ms * 1000;
    return us >= (int64_t)PLAT_EFFECT_INFINITE ? PLAT_EFFECT_INFINITE - 1 : (uint32_t)us;
}

PlatEffectParams BaseParams(uint32_t duration) {
    PlatEffectParams p{};
    p.duration = duration;
    p.gain = 10000;
    p.triggerButton = PLAT_EFFECT_NOTRIGGER;
    return p;
}

// A periodic force of the given magnitude and a 50 ms period.
PlatEffectParams PeriodicParams(uint32_t duration, uint32_t magnitude) {
    PlatEffectParams p = BaseParams(duration);
    p.periodMagnitude = magnitude;
    p.period = 50000;
    return p;
}

int32_t CreateOn(_EJOY_EFFECT* e, int32_t kind, const PlatEffectParams& p, PlatJoyEffect* out, const char* label) {
    if (!e->device || !e->device->forceFeedback) return -1;
    return Status(label, plat_JoyEffectCreate(e->device->device, kind, &p, out)) < 0 ? -1 : 0;
}

// Download (re-acquiring after a failed one), actuators on, the parameters,
// then one start whatever the parameters answered. The parameters' result.
int32_t Send(_EJOY_INFO* info, PlatJoyEffect fx, const PlatEffectParams& p, uint32_t flags, const char* what,
             int32_t* result) {
    char label[96];
    snprintf(label, sizeof label, "%s::Download", what);
    if (Status(label, plat_JoyEffectDownload(fx)) < 0) {
        snprintf(label, sizeof label, "%s::Unacquire", what);
        if (Status(label, plat_JoyUnacquire(info->device)) < 0) return -1;
        if (ejoy_InfoAcquire(info) < 0) return -1;
    }
    snprintf(label, sizeof label, "%s::SendForceFeedbackCommand", what);
    Status(label, plat_JoySendCommand(info->device, DISFFC_SETACTUATORSON));
    snprintf(label, sizeof label, "%s::SetParameters", what);
    *result = Status(label, plat_JoyEffectSetParameters(fx, &p, flags | DIEP_START));
    snprintf(label, sizeof label, "%s::Start", what);
    Status(label, plat_JoyEffectStart(fx, 1, 0));
    return 0;
}

void StopAndRelease(PlatJoyEffect* fx, const char* label) {
    if (!*fx) return;
    Status(label, plat_JoyEffectStop(*fx));
    plat_JoyEffectRelease(*fx);
    *fx = 0;
}

}  // namespace

int32_t ejoy_EffectForceFunction(_EJOY_EFFECT* effect, int32_t message) {
    if (!Fits<_EJOY_EFFECT_FORCE>(effect)) return -1;
    _EJOY_EFFECT_FORCE* f = (_EJOY_EFFECT_FORCE*)effect;
    switch (message) {
    case EJOY_MSG_CREATE: {
        PlatEffectParams p = BaseParams(PLAT_EFFECT_INFINITE);
        return CreateOn(effect, PLAT_EFFECT_CONSTANT, p, &effect->effect, "ejoy_EffectForceFunctionCreate::CreateEffect");
    }
    case EJOY_MSG_DESTROY:
        StopAndRelease(&effect->effect, "ejoy_EffectForceFunctionDestroy::Stop");
        return 0;
    case EJOY_MSG_RESET:
        // Nothing sent yet: the next request always goes out. (Not a value a
        // request can have, unlike -1.0, which a clamped force reaches.)
        f->lastX = f->lastY = NAN;
        return 0;
    case EJOY_MSG_UPDATE: {
        _EJOY_INFO* info = effect->device;
        if (!effect->effect) return -1;
        int32_t acquired = ejoy_InfoAcquire(info);
        if (acquired < 0) return -1;
        float gain = Gain(f->gain);
        float x = Clamp(-(f->x * gain), -1.0f, 1.0f);
        float y = Clamp(-(f->y * gain), -1.0f, 1.0f);
        if (acquired == 0 && x == f->lastX && y == f->lastY) return 0;
        PlatEffectParams p = BaseParams(PLAT_EFFECT_INFINITE);
        p.direction[0] = (int32_t)(x * 10000.0f);
        p.direction[1] = (int32_t)(y * 10000.0f);
        double len = std::sqrt((double)p.direction[0] * p.direction[0] + (double)p.direction[1] * p.direction[1]);
        p.magnitude = (int32_t)Clamp((float)len, 0.0f, 10000.0f);
        int32_t r = 0;
        if (Send(info, effect->effect, p, DIEP_DIRECTION | DIEP_TYPESPECIFICPARAMS | DIEP_DURATION,
                 "ejoy_EffectForceFunctionStart", &r) < 0)
            return -1;
        if (!Succeeded(r)) return -1;
        f->lastX = x;
        f->lastY = y;
        return 0;
    }
    case EJOY_MSG_STOP:
        if (effect->effect) Status("ejoy_EffectForceFunctionStop::Stop", plat_JoyEffectStop(effect->effect));
        f->lastX = f->lastY = NAN;
        return 0;
    default:
        return -1;
    }
}

int32_t ejoy_EffectResistenceFunction(_EJOY_EFFECT* effect, int32_t message) {
    if (!Fits<_EJOY_EFFECT_RESISTENCE>(effect)) return -1;
    _EJOY_EFFECT_RESISTENCE* r = (_EJOY_EFFECT_RESISTENCE*)effect;
    switch (message) {
    case EJOY_MSG_CREATE: {
        PlatEffectParams p = BaseParams(PLAT_EFFECT_INFINITE);
        for (PlatCondition& c : p.condition) c = PlatCondition{0, 10000, -10000, 0, 0, 0};
        return CreateOn(effect, PLAT_EFFECT_SPRING, p, &effect->effect,
                        "ejoy_EffectResistenceFunctionCreate::CreateEffect");
    }
    case EJOY_MSG_DESTROY:
        StopAndRelease(&effect->effect, "ejoy_EffectResistenceFunctionDestroy::Stop");
        return 0;
    case EJOY_MSG_RESET:
        r->lastA = r->lastB = r->lastC = r->lastD = -1.0f;
        return 0;
    case EJOY_MSG_UPDATE: {
        _EJOY_INFO* info = effect->device;
        if (!effect->effect) return -1;
        int32_t acquired = ejoy_InfoAcquire(info);
        if (acquired < 0) return -1;
        float gain = Gain(r->gain);
        float a = Clamp(r->a * gain, 0.0f, 1.0f), b = Clamp(r->b * gain, 0.0f, 1.0f);
        float c = Clamp(r->c * gain, 0.0f, 1.0f), d = Clamp(r->d * gain, 0.0f, 1.0f);
        if (acquired == 0 && a == r->lastA && b == r->lastB && c == r->lastC && d == r->lastD) return 0;
        int32_t A = (int32_t)(a * 10000.0f), B = (int32_t)(b * 10000.0f);
        int32_t C = (int32_t)(c * 10000.0f), D = (int32_t)(d * 10000.0f);
        PlatEffectParams p = BaseParams(PLAT_EFFECT_INFINITE);
        p.condition[0] = PlatCondition{0, B, A, 0, 0, 0};
        p.condition[1] = PlatCondition{0, D, C, 0, 0, 0};
        p.direction[0] = (A + B) / 2;
        p.direction[1] = (C + D) / 2;
        int32_t result = 0;
        if (Send(info, effect->effect, p, DIEP_DURATION | DIEP_DIRECTION | DIEP_TYPESPECIFICPARAMS,
                 "ejoy_EffectResistenceFunctionStart", &result) < 0)
            return -1;
        if (!Succeeded(result)) return -1;
        r->lastA = a, r->lastB = b, r->lastC = c, r->lastD = d;
        return 0;
    }
    case EJOY_MSG_STOP:
        if (effect->effect) Status("ejoy_EffectResistenceFunctionStop::Stop", plat_JoyEffectStop(effect->effect));
        r->lastA = r->lastB = r->lastC = r->lastD = -1.0f;
        return 0;
    default:
        return -1;
    }
}

int32_t ejoy_EffectVibrateFunction(_EJOY_EFFECT* effect, int32_t message) {
    if (!Fits<_EJOY_EFFECT_VIBRATE>(effect)) return -1;
    _EJOY_EFFECT_VIBRATE* v = (_EJOY_EFFECT_VIBRATE*)effect;
    switch (message) {
    case EJOY_MSG_CREATE: {
        PlatEffectParams p = PeriodicParams(PLAT_EFFECT_INFINITE, 10000);
        return CreateOn(effect, PLAT_EFFECT_SINE, p, &effect->effect, "ejoy_EffectVibrateFunctionCreate::CreateEffect");
    }
    case EJOY_MSG_DESTROY:
        StopAndRelease(&effect->effect, "ejoy_EffectVibrateFunctionDestroy::Stop");
        return 0;
    case EJOY_MSG_RESET:
        v->lastMagnitude = -1.0f;
        return 0;
    case EJOY_MSG_UPDATE: {
        _EJOY_INFO* info = effect->device;
        if (!effect->effect) return -1;
        int32_t acquired = ejoy_InfoAcquire(info);
        if (acquired < 0) return -1;
        float m = Clamp(v->magnitude * Gain(v->gain), 0.0f, 1.0f);
        if (acquired == 0 && m == v->lastMagnitude) return 0;
        PlatEffectParams p = PeriodicParams(PLAT_EFFECT_INFINITE, (uint32_t)(m * 10000.0f));
        int32_t result = 0;
        if (Send(info, effect->effect, p, DIEP_DURATION | DIEP_TYPESPECIFICPARAMS, "ejoy_EffectVibrateFunctionStart",
                 &result) < 0)
            return -1;
        // The vibration's answer is not examined.
        v->lastMagnitude = m;
        return 0;
    }
    case EJOY_MSG_STOP:
        if (effect->effect) Status("ejoy_EffectVibrateFunctionStop::Stop", plat_JoyEffectStop(effect->effect));
        v->lastMagnitude = -1.0f;
        return 0;
    default:
        return -1;
    }
}

namespace {

// Twitch (the ramp runs from S to -S) and Jolt (from S to S / 2).
int32_t PairFunction(_EJOY_EFFECT* effect, int32_t message, bool jolt) {
    if (!Fits<_EJOY_EFFECT_TWITCH>(effect)) return -1;
    _EJOY_EFFECT_TWITCH* t = (_EJOY_EFFECT_TWITCH*)effect;
    const char* create = jolt ? "ejoy_EffectJoltFunctionCreate::CreateEffect" : "ejoy_EffectTwitchFunctionCreate::CreateEffect";
    const char* start = jolt ? "ejoy_EffectJoltFunctionStart" : "ejoy_EffectTwitchFunctionStart";
    const char* stop = jolt ? "ejoy_EffectJoltFunctionStop::Stop" : "ejoy_EffectTwitchFunctionStop::Stop";
    switch (message) {
    case EJOY_MSG_CREATE: {
        PlatEffectParams ramp = BaseParams(1);
        ramp.rampStart = 10000;
        ramp.rampEnd = jolt ? 5000 : -10000;
        if (CreateOn(effect, PLAT_EFFECT_RAMP, ramp, &effect->effect, create) < 0) return -1;
        PlatEffectParams square = BaseParams(1);
        square.periodMagnitude = 10000;
        square.period = jolt ? 10000 : 50000;
        square.hasEnvelope = 1;
        // Without the square the ramp plays alone.
        if (CreateOn(effect, PLAT_EFFECT_SQUARE, square, &t->square, create) < 0) t->square = 0;
        return 0;
    }
    case EJOY_MSG_DESTROY:
        StopAndRelease(&effect->effect, stop);
        StopAndRelease(&t->square, stop);
        return 0;
    case EJOY_MSG_RESET:
        return 0;
    case EJOY_MSG_UPDATE: {
        _EJOY_INFO* info = effect->device;
        if (!effect->effect) return -1;
        if (ejoy_InfoAcquire(info) < 0) return -1;
        float gain = Gain(t->gain);
        float x = Clamp(-(t->x * gain), -1.0f, 1.0f);
        float y = Clamp(-(t->y * gain), -1.0f, 1.0f);
        int32_t X = (int32_t)(x * 10000.0f), Y = (int32_t)(y * 10000.0f);
        int32_t S = 0;
        if (X || Y) S = (int32_t)Clamp((float)std::sqrt((double)X * X + (double)Y * Y), 0.0f, 10000.0f);
        uint32_t D = Micros(t->milliseconds);
        bool infinite = D == PLAT_EFFECT_INFINITE;
        PlatEffectParams ramp = BaseParams(infinite ? PLAT_EFFECT_INFINITE : D / 2);
        ramp.direction[0] = X;
        ramp.direction[1] = Y;
        ramp.rampStart = S;
        ramp.rampEnd = jolt ? S / 2 : -S;
        int32_t result = 0;
        if (Send(info, effect->effect, ramp, DIEP_DURATION | DIEP_DIRECTION | DIEP_TYPESPECIFICPARAMS, start, &result) < 0)
            return -1;
        if (!Succeeded(result)) return -1;
        if (!t->square || !t->directionFlag) return 0;
        PlatEffectParams square = BaseParams(D);
        square.periodMagnitude = (uint32_t)(S / 2);
        square.period = 50000;
        square.hasEnvelope = 1;
        square.envelope = PlatEnvelope{(uint32_t)(S / 2), 0, 0, infinite ? 0 : D};
        if (Send(info, t->square, square, DIEP_DURATION | DIEP_ENVELOPE | DIEP_TYPESPECIFICPARAMS, start, &result) < 0)
            return -1;
        return Succeeded(result) ? 0 : -1;
    }
    case EJOY_MSG_STOP:
        if (effect->effect) Status(stop, plat_JoyEffectStop(effect->effect));
        if (t->square) Status(stop, plat_JoyEffectStop(t->square));
        return 0;
    default:
        return -1;
    }
}

}  // namespace

int32_t ejoy_EffectTwitchFunction(_EJOY_EFFECT* effect, int32_t message) { return PairFunction(effect, message, false); }
int32_t ejoy_EffectJoltFunction(_EJOY_EFFECT* effect, int32_t message) { return PairFunction(effect, message, true); }

int32_t ejoy_EffectShockFunction(_EJOY_EFFECT* effect, int32_t message) {
    if (!Fits<_EJOY_EFFECT_SHOCK>(effect)) return -1;
    _EJOY_EFFECT_SHOCK* s = (_EJOY_EFFECT_SHOCK*)effect;
    switch (message) {
    case EJOY_MSG_CREATE: {
        PlatEffectParams p = PeriodicParams(PLAT_EFFECT_INFINITE, 10000);
        p.hasEnvelope = 1;
        return CreateOn(effect, PLAT_EFFECT_SQUARE, p, &effect->effect, "ejoy_EffectShockFunctionCreate::CreateEffect");
    }
    case EJOY_MSG_DESTROY:
        StopAndRelease(&effect->effect, "ejoy_EffectShockFunctionDestroy::Stop");
        return 0;
    case EJOY_MSG_RESET:
        return 0;
    case EJOY_MSG_UPDATE: {
        _EJOY_INFO* info = effect->device;
        if (!effect->effect) return -1;
        if (ejoy_InfoAcquire(info) < 0) return -1;
        float m = Clamp(s->magnitude * Gain(s->gain), 0.0f, 1.0f);
        int32_t V = (int32_t)(m * 10000.0f);
        uint32_t D = Micros(s->milliseconds);
        PlatEffectParams p = PeriodicParams(D, (uint32_t)V);
        p.hasEnvelope = 1;
        p.envelope = PlatEnvelope{(uint32_t)V, 0, 0, D == PLAT_EFFECT_INFINITE ? 0 : D};
        int32_t result = 0;
        if (Send(info, effect->effect, p, DIEP_DURATION | DIEP_ENVELOPE | DIEP_TYPESPECIFICPARAMS,
                 "ejoy_EffectShockFunctionStart", &result) < 0)
            return -1;
        return Succeeded(result) ? 0 : -1;
    }
    case EJOY_MSG_STOP:
        if (effect->effect) Status("ejoy_EffectShockFunctionStop::Stop", plat_JoyEffectStop(effect->effect));
        return 0;
    default:
        return -1;
    }
}
