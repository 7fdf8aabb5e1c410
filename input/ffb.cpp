// Force feedback events, composition, dispatch and the settings file.
#include "input/ffb.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>

#include "base/dlist.h"
#include "base/efile.h"
#include "base/mem.h"
#include "input/instate.h"
#include "platform/files.h"
#include "shell/settings.h"
#include "sim/plane.h"

const char* const ffb_SettingNames[FFB_SETTING_COUNT] = {
    "FORCE",       "RESISTENCE",     "VIBRATE",   "TWITCH",   "JOLT",     "SHOCK",   "YAW",
    "PITCH",       "VELOCITY",       "G",         "BALANCE",  "LEVEL",    "STRESS",  "ENGINE",
    "GROUND_FRICTION", "FIRE_CANNON", "LAUNCH_MISSILE", "DROP_BOMB", "JETTISON_ORDNANCE", "TOUCHDOWN", "EJECT",
    "PARACHUTE",   "AFTERBURNER",    "BULLET_HIT", "MISSILE_HIT", "EXPLODE", "CRASH",
};

#define FFB_ON {1, 1.0f}
const FfbSetting ffb_SettingsDefaults[FFB_SETTING_COUNT] = {
    FFB_ON, FFB_ON, FFB_ON, FFB_ON, FFB_ON, FFB_ON, FFB_ON, FFB_ON, FFB_ON, FFB_ON, FFB_ON, FFB_ON, FFB_ON, FFB_ON,
    FFB_ON, FFB_ON, FFB_ON, FFB_ON, FFB_ON, FFB_ON, FFB_ON, FFB_ON, FFB_ON, FFB_ON, FFB_ON, FFB_ON, FFB_ON,
};
#undef FFB_ON

FfbSetting ffb_SettingsTable[FFB_SETTING_COUNT];
float ffb_ForceValues[FFB_CHANNEL_COUNT];
FfbEventList ffb_FreeList;
FfbEventList ffb_ActiveList;
int32_t ffb_FeedbackActive = 0;

namespace {

_FEEDBACK_EVENT* g_pool = nullptr;
int32_t g_frameCounter1 = 4;
int32_t g_frameCounter2 = 0;

bool On(int32_t pair) { return ffb_SettingsTable[pair].enabled != 0; }
float Scale(int32_t pair) { return ffb_SettingsTable[pair].scale; }

void RestoreDefaults(void) { memcpy(ffb_SettingsTable, ffb_SettingsDefaults, sizeof ffb_SettingsTable); }

_FEEDBACK_EVENT* Take(int32_t kind) {
    _FEEDBACK_EVENT* e = ffb_FreeList.head;
    if (!e) return nullptr;
    dlist_Unlink(&ffb_FreeList, e);
    memset(e, 0, sizeof *e);
    e->active = 1;
    e->kind = kind;
    dlist_AddHead(&ffb_ActiveList, e);
    return e;
}

void Give(_FEEDBACK_EVENT* e) {
    dlist_Unlink(&ffb_ActiveList, e);
    e->active = 0;
    dlist_AddHead(&ffb_FreeList, e);
}

float Clamp01(float v) {
    if (std::isnan(v)) return 0.0f;
    return v < 0.0f ? 0.0f : v > 1.0f ? 1.0f : v;
}

// A word of a line: start and length.
struct Word {
    const char* p;
    size_t n;
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == 0; }

// Splits one line into at most `max` words; returns how many.
int SplitLine(const char* line, size_t length, Word* words, int max) {
    int count = 0;
    size_t i = 0;
    while (i < length && count < max) {
        while (i < length && IsBlank(line[i])) i++;
        if (i >= length) break;
        size_t start = i;
        while (i < length && !IsBlank(line[i])) i++;
        words[count++] = Word{line + start, i - start};
    }
    return count;
}

bool WordIs(const Word& w, const char* name) { return strlen(name) == w.n && strncasecmp(w.p, name, w.n) == 0; }

// Whole-word numbers; a word that is not one is refused.
bool WordLong(const Word& w, long* out) {
    char buf[32];
    if (w.n == 0 || w.n >= sizeof buf) return false;
    memcpy(buf, w.p, w.n);
    buf[w.n] = 0;
    char* end = nullptr;
    errno = 0;
    long v = strtol(buf, &end, 10);
    if (*end || errno == ERANGE || v < INT32_MIN || v > INT32_MAX) return false;
    *out = v;
    return true;
}

bool WordFloat(const Word& w, float* out) {
    char buf[48];
    if (w.n == 0 || w.n >= sizeof buf) return false;
    memcpy(buf, w.p, w.n);
    buf[w.n] = 0;
    char* end = nullptr;
    float v = strtof(buf, &end);
    if (*end || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

// Calls `fn` for every line that is not empty and does not begin with "//".
template <typename Fn>
void ForEachLine(const char* text, size_t length, Fn fn) {
    size_t i = 0;
    while (i < length) {
        size_t start = i;
        while (i < length && text[i] != '\n') i++;
        size_t n = i - start;
        if (i < length) i++;  // the '\n'
        const char* line = text + start;
        n = strnlen(line, n);  // a NUL ends the line's text
        if (n >= 2 && line[0] == '/' && line[1] == '/') continue;
        Word words[3];
        int count = SplitLine(line, n, words, 3);
        if (count) fn(words, count);
    }
}

}  // namespace

// ---- settings file ----

int32_t ffb_SettingsParse(const char* text, size_t length) {
    RestoreDefaults();
    if (!text) return -1;
    // The last VERSION line decides.
    long version = -1;
    ForEachLine(text, length, [&](const Word* w, int count) {
        if (!WordIs(w[0], "VERSION")) return;
        long v = -1;
        version = count >= 2 && WordLong(w[1], &v) ? v : -1;
    });
    if (version != FFB_SETTINGS_VERSION) return -1;
    ForEachLine(text, length, [&](const Word* w, int count) {
        if (count < 3) return;
        for (int32_t i = 0; i < FFB_SETTING_COUNT; i++) {
            if (!WordIs(w[0], ffb_SettingNames[i])) continue;
            long enabled = 0;
            float scale = 0.0f;
            // A line with a damaged number keeps its pair's default.
            if (WordLong(w[1], &enabled) && WordFloat(w[2], &scale)) {
                ffb_SettingsTable[i].enabled = (int32_t)enabled;
                ffb_SettingsTable[i].scale = scale;
            }
            return;
        }
    });
    return 0;
}

namespace {

// The settings file that exists but could not be read: kept as NAME.bak
// before the defaults are written over it.
char g_unreadFile[512] = "";

}  // namespace

int32_t ffb_SettingsRead(const char* fileName) {
    RestoreDefaults();
    g_unreadFile[0] = 0;
    if (!fileName) return -1;
    if (plat_FileExists(fileName)) snprintf(g_unreadFile, sizeof g_unreadFile, "%s", fileName);
    FILE* f = plat_FOpen(fileName, "rb");
    if (!f) return -1;
    static char buffer[FFB_SETTINGS_MAX_SIZE + 1];
    size_t length = fread(buffer, 1, sizeof buffer, f);
    bool failed = ferror(f) != 0;
    fclose(f);
    if (failed) return -1;
    if (length > FFB_SETTINGS_MAX_SIZE) {
        fprintf(stderr, "krx: \"%s\" is too large for a force feedback settings file\n", fileName);
        return -1;
    }
    int32_t result = ffb_SettingsParse(buffer, length);
    if (result == 0) g_unreadFile[0] = 0;
    return result;
}

int32_t ffb_SettingsWrite(const char* fileName) {
    if (!fileName) return -1;
    if (g_unreadFile[0] && strcasecmp(g_unreadFile, fileName) == 0) {
        if (efile_KeepBackup(fileName) != 0) return -1;
        g_unreadFile[0] = 0;
    }
    static const struct {
        const char* heading;
        int32_t first, last;
    } kGroups[] = {
        {"// OVERALL SCALARS", FFB_FORCE, FFB_SHOCK},
        {"// FORCE", FFB_YAW, FFB_LEVEL},
        {"// VIBRATE", FFB_STRESS, FFB_GROUND_FRICTION},
        {"// TWITCH", FFB_FIRE_CANNON, FFB_FIRE_CANNON},
        {"// JOLT", FFB_LAUNCH_MISSILE, FFB_PARACHUTE},
        {"// SHOCK", FFB_AFTERBURNER, FFB_CRASH},
    };
    // Lines end in CR LF, as in every settings file the program writes.
    std::string text;
    auto line = [&](const char* s) {
        text += s;
        text += "\r\n";
    };
    line("//############################################");
    line("// Tarvesk Force Feedback Settings File");
    line("//############################################");
    line("");
    char buf[160];
    snprintf(buf, sizeof buf, "VERSION %ld", (long)FFB_SETTINGS_VERSION);
    line(buf);
    line("");
    for (size_t g = 0; g < sizeof kGroups / sizeof kGroups[0]; g++) {
        line(kGroups[g].heading);
        for (int32_t i = kGroups[g].first; i <= kGroups[g].last; i++) {
            snprintf(buf, sizeof buf, "%s %ld %f", ffb_SettingNames[i], (long)ffb_SettingsTable[i].enabled,
                     (double)ffb_SettingsTable[i].scale);
            line(buf);
        }
        if (g + 1 < sizeof kGroups / sizeof kGroups[0]) line("");
    }
    // Written to a temporary beside the file and renamed over it, so a
    // failed write keeps the old one.
    return efile_SaveReplacing(fileName, text.data(), (int32_t)text.size());
}

// ---- pool and effects ----

int32_t ffb_Init(int32_t count) {
    if (g_pool) mem_Free(g_pool);
    g_pool = nullptr;
    ffb_FreeList = FfbEventList{};
    ffb_ActiveList = FfbEventList{};
    if (count < 1) count = 1;
    if (count > 4096) count = 4096;
    g_pool = (_FEEDBACK_EVENT*)mem_AllocEx((uint32_t)(sizeof(_FEEDBACK_EVENT) * (size_t)count), 4,
                                           "_FEEDBACK_EVENT array");
    if (!g_pool) return -1;
    memset(g_pool, 0, sizeof(_FEEDBACK_EVENT) * (size_t)count);
    for (int32_t i = count - 1; i >= 0; i--) dlist_AddHead(&ffb_FreeList, &g_pool[i]);
    RestoreDefaults();
    g_frameCounter1 = 4;
    g_frameCounter2 = 0;
    for (_EJOY_INFO* d = ejoy_InfoHead; d; d = d->next) ffb_DeviceEffectsCreate(d);
    return 0;
}

void ffb_Shutdown(void) {
    if (g_pool) mem_Free(g_pool);
    g_pool = nullptr;
    ffb_FreeList = FfbEventList{};
    ffb_ActiveList = FfbEventList{};
    ffb_FeedbackActive = 0;
    memset(ffb_ForceValues, 0, sizeof ffb_ForceValues);
}

int32_t ffb_ActiveCompute(int32_t feedbackEnabled) {
    ffb_FeedbackActive = ejoy_ActiveDevice && ejoy_ActiveDevice->forceFeedback && feedbackEnabled ? 1 : 0;
    return ffb_FeedbackActive;
}

int32_t ffb_DeviceEffectsCreate(_EJOY_INFO* device) {
    if (!device) return -1;
    if (auto* e = (_EJOY_EFFECT_FORCE*)ejoy_EffectCreate(device, "Force", EJOY_EFFECT_FORCE, sizeof(_EJOY_EFFECT_FORCE),
                                                          ejoy_EffectForceFunction)) {
        e->x = 0.0f;
        e->y = 0.0f;
        e->gain = &ffb_SettingsTable[FFB_FORCE].scale;
    }
    if (auto* e = (_EJOY_EFFECT_RESISTENCE*)ejoy_EffectCreate(device, "Resistence", EJOY_EFFECT_RESISTENCE,
                                                               sizeof(_EJOY_EFFECT_RESISTENCE),
                                                               ejoy_EffectResistenceFunction)) {
        e->a = e->b = e->c = e->d = 0.5f;
        e->gain = &ffb_SettingsTable[FFB_RESISTENCE].scale;
    }
    if (auto* e = (_EJOY_EFFECT_VIBRATE*)ejoy_EffectCreate(device, "Vibrate", EJOY_EFFECT_VIBRATE,
                                                            sizeof(_EJOY_EFFECT_VIBRATE), ejoy_EffectVibrateFunction)) {
        e->magnitude = 0.25f;
        e->gain = &ffb_SettingsTable[FFB_VIBRATE].scale;
    }
    if (auto* e = (_EJOY_EFFECT_TWITCH*)ejoy_EffectCreate(device, "Twitch", EJOY_EFFECT_TWITCH,
                                                           sizeof(_EJOY_EFFECT_TWITCH), ejoy_EffectTwitchFunction)) {
        e->x = 0.0f;
        e->y = 1.0f;
        e->milliseconds = 500;
        e->directionFlag = 1;
        e->gain = &ffb_SettingsTable[FFB_TWITCH].scale;
    }
    if (auto* e = (_EJOY_EFFECT_TWITCH*)ejoy_EffectCreate(device, "Jolt", EJOY_EFFECT_JOLT,
                                                           sizeof(_EJOY_EFFECT_TWITCH), ejoy_EffectJoltFunction)) {
        e->x = 0.0f;
        e->y = 1.0f;
        e->milliseconds = 500;
        e->directionFlag = 1;
        e->gain = &ffb_SettingsTable[FFB_JOLT].scale;
    }
    if (auto* e = (_EJOY_EFFECT_SHOCK*)ejoy_EffectCreate(device, "Shock", EJOY_EFFECT_SHOCK, sizeof(_EJOY_EFFECT_SHOCK),
                                                          ejoy_EffectShockFunction)) {
        e->magnitude = 1.0f;
        e->milliseconds = 500;
        e->gain = &ffb_SettingsTable[FFB_SHOCK].scale;
    }
    return 0;
}

// ---- requests ----

int32_t ffb_ForceRequest(float x, float y) {
    _FEEDBACK_EVENT* e = Take(EJOY_EFFECT_FORCE);
    if (!e) return -1;
    if (On(FFB_FORCE)) {
        e->force.x = x;
        e->force.y = y;
    }
    return 0;
}

int32_t ffb_ResistenceRequest(float a, float b, float c, float d) {
    _FEEDBACK_EVENT* e = Take(EJOY_EFFECT_RESISTENCE);
    if (!e) return -1;
    if (On(FFB_RESISTENCE)) e->resistence = {a, b, c, d};
    return 0;
}

int32_t ffb_VibrateRequest(float magnitude) {
    _FEEDBACK_EVENT* e = Take(EJOY_EFFECT_VIBRATE);
    if (!e) return -1;
    if (On(FFB_VIBRATE)) e->vibrate.magnitude = magnitude;
    return 0;
}

static int32_t PairRequest(int32_t kind, int32_t pair, float x, float y, int32_t milliseconds, int32_t flag) {
    if (!On(pair)) return 0;
    _FEEDBACK_EVENT* e = Take(kind);
    if (!e) return -1;
    e->twitch = {x, y, milliseconds, flag};
    return 0;
}

int32_t ffb_TwitchRequest(float x, float y, int32_t milliseconds, int32_t flag) {
    return PairRequest(EJOY_EFFECT_TWITCH, FFB_TWITCH, x, y, milliseconds, flag);
}

int32_t ffb_JoltRequest(float x, float y, int32_t milliseconds, int32_t flag) {
    return PairRequest(EJOY_EFFECT_JOLT, FFB_JOLT, x, y, milliseconds, flag);
}

int32_t ffb_ShockRequest(float magnitude, int32_t milliseconds) {
    if (!On(FFB_SHOCK)) return 0;
    _FEEDBACK_EVENT* e = Take(EJOY_EFFECT_SHOCK);
    if (!e) return -1;
    e->shock = {magnitude, milliseconds};
    return 0;
}

// ---- channels ----

int32_t ffb_YawSet(float value) { return ffb_ForceValues[FFB_CH_YAW] = value, 0; }
int32_t ffb_PitchSet(float value) { return ffb_ForceValues[FFB_CH_PITCH] = value, 0; }
int32_t ffb_VelocitySet(float value) { return ffb_ForceValues[FFB_CH_VELOCITY] = value, 0; }
int32_t ffb_GSet(float value) { return ffb_ForceValues[FFB_CH_G] = value, 0; }
int32_t ffb_BalanceSet(float value) { return ffb_ForceValues[FFB_CH_BALANCE] = value, 0; }
int32_t ffb_LevelSet(float value) { return ffb_ForceValues[FFB_CH_LEVEL] = value, 0; }
int32_t ffb_StressSet(float value) { return ffb_ForceValues[FFB_CH_STRESS] = value, 0; }
int32_t ffb_EngineSet(float value) { return ffb_ForceValues[FFB_CH_ENGINE] = value, 0; }
int32_t ffb_GroundFrictionSet(float value) { return ffb_ForceValues[FFB_CH_GROUND_FRICTION] = value, 0; }

int32_t ffb_ForceCompose(void) {
    const float k = 0.017453f;
    const float* c = ffb_ForceValues;
    float a = c[FFB_CH_YAW], b = c[FFB_CH_PITCH], v = c[FFB_CH_VELOCITY];
    float x = 0.0f, y = 0.0f;
    if (On(FFB_YAW)) {
        if (a >= -90.0f && a <= 90.0f) {
            y = 0.45f * v * std::cos(a * k) * Scale(FFB_YAW);
            x = 0.45f * v * std::sin(a * k) * Scale(FFB_YAW);
        }
    }
    if (On(FFB_PITCH)) {
        float u = b < -45.0f ? -1.0f : b > 45.0f ? 1.0f : std::sin(2.0f * b * k);
        x += u * v * std::sin(a * k) * 0.35f * Scale(FFB_PITCH);
        y += u * v * std::cos(a * k) * 0.35f * Scale(FFB_PITCH);
    }
    if (On(FFB_VELOCITY)) y += v * 0.1f * Scale(FFB_VELOCITY);
    if (On(FFB_G)) {
        float g = c[FFB_CH_G];
        float u;
        if (g < -3.0f)
            u = 1.0f;
        else if (g < 0.0f)
            u = (-g / 3.0f) * (-g / 3.0f) * (-g / 3.0f);
        else if (g < 1.0f)
            u = 0.0f;
        else if (g < 9.0f) {
            float t = (g - 1.0f) * 0.125f;
            u = -(t * t * t);
        } else
            u = -1.0f;
        y += u * Scale(FFB_G);
    }
    if (On(FFB_BALANCE)) x += c[FFB_CH_BALANCE] * Scale(FFB_BALANCE);
    if (On(FFB_LEVEL)) x += c[FFB_CH_LEVEL] * 0.5f * Scale(FFB_LEVEL);
    return ffb_ForceRequest(x, y);
}

int32_t ffb_VibrateCompose(void) {
    float m = 0.0f;
    if (On(FFB_STRESS)) m = std::fmax(0.0f, ffb_ForceValues[FFB_CH_STRESS] * Scale(FFB_STRESS));
    if (On(FFB_ENGINE)) m = std::fmax(m, ffb_ForceValues[FFB_CH_ENGINE] * Scale(FFB_ENGINE) * 0.25f);
    if (On(FFB_GROUND_FRICTION))
        m = std::fmax(m, ffb_ForceValues[FFB_CH_GROUND_FRICTION] * Scale(FFB_GROUND_FRICTION) * 0.35f);
    return ffb_VibrateRequest(m);
}

// ---- events ----

int32_t ffb_EventFireCannon(void) {
    return On(FFB_FIRE_CANNON) ? ffb_TwitchRequest(0.0f, 0.5f * Scale(FFB_FIRE_CANNON), 100, 0) : 0;
}
int32_t ffb_EventLaunchMissile(void) {
    return On(FFB_LAUNCH_MISSILE) ? ffb_JoltRequest(0.0f, 0.9f * Scale(FFB_LAUNCH_MISSILE), 600, 1) : 0;
}
int32_t ffb_EventDropBomb(void) {
    return On(FFB_DROP_BOMB) ? ffb_JoltRequest(0.0f, 0.9f * Scale(FFB_DROP_BOMB), 700, 1) : 0;
}
int32_t ffb_EventJettison(void) {
    return On(FFB_JETTISON_ORDNANCE) ? ffb_JoltRequest(0.0f, 0.8f * Scale(FFB_JETTISON_ORDNANCE), 1000, 1) : 0;
}
int32_t ffb_EventTouchdown(void) {
    return On(FFB_TOUCHDOWN) ? ffb_JoltRequest(0.0f, -Scale(FFB_TOUCHDOWN), 3000, 0) : 0;
}
int32_t ffb_EventEject(void) { return On(FFB_EJECT) ? ffb_JoltRequest(0.0f, Scale(FFB_EJECT), 1500, 0) : 0; }
int32_t ffb_EventParachute(void) {
    return On(FFB_PARACHUTE) ? ffb_JoltRequest(0.0f, -Scale(FFB_PARACHUTE), 1500, 0) : 0;
}
int32_t ffb_EventAfterburner(void) {
    return On(FFB_AFTERBURNER) ? ffb_ShockRequest(0.35f * Scale(FFB_AFTERBURNER), 1000) : 0;
}
int32_t ffb_EventBulletHit(void) { return On(FFB_BULLET_HIT) ? ffb_ShockRequest(Scale(FFB_BULLET_HIT), 400) : 0; }
int32_t ffb_EventMissileHit(void) { return On(FFB_MISSILE_HIT) ? ffb_ShockRequest(Scale(FFB_MISSILE_HIT), 500) : 0; }
int32_t ffb_EventExplode(void) { return On(FFB_EXPLODE) ? ffb_ShockRequest(Scale(FFB_EXPLODE), 1000) : 0; }
int32_t ffb_EventCrash(void) { return On(FFB_CRASH) ? ffb_ShockRequest(Scale(FFB_CRASH), 1500) : 0; }

// ---- dispatch ----

void ffb_FrameDispatch(void) {
    _EJOY_INFO* device = ejoy_ActiveDevice;
    while (_FEEDBACK_EVENT* r = ffb_ActiveList.tail) {
        _EJOY_EFFECT* e = ejoy_EffectFind(device, r->kind);
        switch (r->kind) {
        case EJOY_EFFECT_FORCE:
            if (e) {
                auto* f = (_EJOY_EFFECT_FORCE*)e;
                f->x = r->force.x;
                f->y = r->force.y;
            }
            break;
        case EJOY_EFFECT_RESISTENCE:
            if (e) {
                auto* f = (_EJOY_EFFECT_RESISTENCE*)e;
                f->a = r->resistence.a;
                f->b = r->resistence.b;
                f->c = r->resistence.c;
                f->d = r->resistence.d;
            }
            break;
        case EJOY_EFFECT_VIBRATE:
            if (e) ((_EJOY_EFFECT_VIBRATE*)e)->magnitude = r->vibrate.magnitude;
            break;
        case EJOY_EFFECT_TWITCH:
        case EJOY_EFFECT_JOLT:
            if (e) {
                auto* f = (_EJOY_EFFECT_TWITCH*)e;
                f->x = r->twitch.x;
                f->y = r->twitch.y;
                f->milliseconds = r->twitch.milliseconds;
                f->directionFlag = r->twitch.flag;
            } else if ((e = ejoy_EffectFind(device, EJOY_EFFECT_SHOCK)) != nullptr) {
                // A stick without the pair feels it as a shock.
                auto* f = (_EJOY_EFFECT_SHOCK*)e;
                float x = r->twitch.x, y = r->twitch.y;
                f->magnitude = 0.5f * std::sqrt(x * x + y * y);
                f->milliseconds = r->twitch.milliseconds / 2;
            }
            break;
        case EJOY_EFFECT_SHOCK:
            if (e) {
                auto* f = (_EJOY_EFFECT_SHOCK*)e;
                f->magnitude = r->shock.magnitude;
                f->milliseconds = r->shock.milliseconds;
            }
            break;
        default:
            e = nullptr;
            break;
        }
        if (e) ejoy_EffectSend(e, EJOY_MSG_UPDATE);
        Give(r);
    }
}

void ffb_StopAll(void) {
    if (ejoy_ActiveDevice) ejoy_InfoEffectsStop(ejoy_ActiveDevice);
    while (ffb_ActiveList.tail) Give(ffb_ActiveList.tail);
    memset(ffb_ForceValues, 0, sizeof ffb_ForceValues);
}

// ---- aircraft ----

void ffb_AircraftHalf(int32_t half, const PlaneFeedbackState* plane) {
    bool noControl = !plane || plane->noControl;
    if (half == 0) {
        if (noControl) {
            for (int32_t ch = FFB_CH_YAW; ch <= FFB_CH_LEVEL; ch++) ffb_ForceValues[ch] = 0.0f;
        } else {
            bool airborne = !plane->onGround;
            ffb_YawSet(plane->yawForce);
            ffb_PitchSet(plane->pitchForce);
            float velocity = 0.0f;
            if (plane->speed >= 0.001f && plane->referenceSpeed > 0.0f)
                velocity = Clamp01(plane->speed / plane->referenceSpeed);
            ffb_VelocitySet(velocity);
            ffb_GSet(plane->gLoad);
            float balance = 0.0f;
            if (airborne && app_Settings.UNBALANCED_LOADOUTS && plane->hasOrdnanceManager)
                balance = Clamp01(plane->imbalance / 3000.0f) * plane->balanceFactor;
            ffb_BalanceSet(balance);
            float r = plane->level;
            ffb_LevelSet(airborne ? -(std::fabs(r) * r) : 0.0f);
        }
        ffb_ForceCompose();
        if (noControl) {
            ffb_ResistenceRequest(0.13f, 0.13f, 0.13f, 0.13f);
        } else {
            float g = plane->gLoad, c, d;
            if (g <= 0.0f) {
                c = g / -3.0f;
                d = c * 0.5f;
            } else {
                d = g / 6.0f;
                c = d * 0.5f;
            }
            c = std::isnan(c) ? 0.13f : c < 0.13f ? 0.13f : c > 1.0f ? 1.0f : c;
            d = std::isnan(d) ? 0.13f : d < 0.13f ? 0.13f : d > 1.0f ? 1.0f : d;
            ffb_ResistenceRequest(0.13f, 0.13f, c, d);
        }
    } else {
        if (noControl) {
            ffb_StressSet(0.0f);
            ffb_EngineSet(0.0f);
            ffb_GroundFrictionSet(0.0f);
        } else {
            ffb_StressSet(plane->stress);
            float engine = 0.0f, friction = 0.0f;
            if (plane->onGround) {
                float ab = inmap_ThrottlePresets[INMAP_THROTTLE_AB];
                if (ab > 0.0f) engine = Clamp01(plane->engineOutput / ab);
                if (plane->groundReferenceSpeed > 0.0f) friction = Clamp01(plane->speed / plane->groundReferenceSpeed);
            }
            ffb_EngineSet(engine);
            ffb_GroundFrictionSet(friction);
        }
        ffb_VibrateCompose();
    }
}

void ffb_AircraftFrame(void) {
    PlaneFeedbackState state{};
    bool first = --g_frameCounter1 < 0;
    bool second = --g_frameCounter2 < 0;
    if (!first && !second) return;
    const PlaneFeedbackState* plane = plane_FeedbackStateGet(&state) == 0 ? &state : nullptr;
    if (first) {
        g_frameCounter1 += 8;
        ffb_AircraftHalf(0, plane);
    }
    if (second) {
        g_frameCounter2 += 8;
        ffb_AircraftHalf(1, plane);
    }
}
