// Force feedback: continuous forces composed from nine channel values, one-
// shot effects from named events, both queued as requests that the frame
// dispatch hands to the active joystick's effects (input/ejoy.h); and the
// settings file that switches and scales every source.
//
// Main thread only.
#pragma once
#include <cstddef>
#include <cstdint>

#include "input/ejoy.h"

struct PlaneFeedbackState;

// ---- Settings -------------------------------------------------------------------

// Pairs of the settings table, in file order.
enum : int32_t {
    FFB_FORCE, FFB_RESISTENCE, FFB_VIBRATE, FFB_TWITCH, FFB_JOLT, FFB_SHOCK,
    FFB_YAW, FFB_PITCH, FFB_VELOCITY, FFB_G, FFB_BALANCE, FFB_LEVEL,
    FFB_STRESS, FFB_ENGINE, FFB_GROUND_FRICTION,
    FFB_FIRE_CANNON, FFB_LAUNCH_MISSILE, FFB_DROP_BOMB, FFB_JETTISON_ORDNANCE, FFB_TOUCHDOWN, FFB_EJECT,
    FFB_PARACHUTE, FFB_AFTERBURNER, FFB_BULLET_HIT, FFB_MISSILE_HIT, FFB_EXPLODE, FFB_CRASH,
    FFB_SETTING_COUNT
};

struct FfbSetting {
    int32_t enabled;
    float scale;
};
// The table in force; the six effect kinds' scales are their effects' gains.
extern FfbSetting ffb_SettingsTable[FFB_SETTING_COUNT];
// Every pair enabled with scale 1.0.
extern const FfbSetting ffb_SettingsDefaults[FFB_SETTING_COUNT];
// "FORCE", "RESISTENCE", ... "CRASH".
extern const char* const ffb_SettingNames[FFB_SETTING_COUNT];

constexpr int32_t FFB_SETTINGS_VERSION = 1;
// Reading takes files up to this size; a larger one is not a settings file.
constexpr size_t FFB_SETTINGS_MAX_SIZE = 64 * 1024;

// Restores the defaults, then reads the file over them. 0, or -1 when the
// file cannot be read or its last VERSION line is not 1 (the defaults stay).
int32_t ffb_SettingsRead(const char* fileName);
// The same on a file's text already in memory.
int32_t ffb_SettingsParse(const char* text, size_t length);
// Writes the table in force. 0, or -1 (an existing file is then kept).
int32_t ffb_SettingsWrite(const char* fileName);

// ---- Channels -------------------------------------------------------------------

enum : int32_t {
    FFB_CH_YAW, FFB_CH_PITCH, FFB_CH_VELOCITY, FFB_CH_G, FFB_CH_BALANCE, FFB_CH_LEVEL,
    FFB_CH_STRESS, FFB_CH_ENGINE, FFB_CH_GROUND_FRICTION,
    FFB_CHANNEL_COUNT
};
// YAW and PITCH in degrees, the rest as fed.
extern float ffb_ForceValues[FFB_CHANNEL_COUNT];

int32_t ffb_YawSet(float value);
int32_t ffb_PitchSet(float value);
int32_t ffb_VelocitySet(float value);
int32_t ffb_GSet(float value);
int32_t ffb_BalanceSet(float value);
int32_t ffb_LevelSet(float value);
int32_t ffb_StressSet(float value);
int32_t ffb_EngineSet(float value);
int32_t ffb_GroundFrictionSet(float value);

// ---- Requests -------------------------------------------------------------------

// One queued request (a pool of them, heap tag "_FEEDBACK_EVENT array").
struct _FEEDBACK_EVENT {
    _FEEDBACK_EVENT* prev;
    _FEEDBACK_EVENT* next;
    int32_t active;
    int32_t kind;  // EJOY_EFFECT_FORCE ... EJOY_EFFECT_SHOCK
    union {
        struct {
            float x, y;
        } force;
        struct {
            float magnitude;
        } vibrate;
        struct {
            float x, y;
            int32_t milliseconds;
            int32_t flag;
        } twitch;  // Twitch and Jolt
        struct {
            float magnitude;
            int32_t milliseconds;
        } shock;
        struct {
            float a, b, c, d;
        } resistence;
    };
};

struct FfbEventList {
    _FEEDBACK_EVENT* head;
    _FEEDBACK_EVENT* tail;
    int32_t count;
};
// Taking puts a request at the front of the active list; the dispatch works
// from the back, the oldest first.
extern FfbEventList ffb_FreeList;
extern FfbEventList ffb_ActiveList;

// 1 while the active joystick has force feedback and the player wants it;
// the client frame recomputes it (ffb_ActiveCompute) before its input poll.
extern int32_t ffb_FeedbackActive;
int32_t ffb_ActiveCompute(int32_t feedbackEnabled);

// Makes the pool of `count` requests (at least 1), restores the default
// settings and creates the six effects on every joystick. 0, or -1 without
// memory for the pool.
int32_t ffb_Init(int32_t count);
void ffb_Shutdown(void);
// Creates Force, Resistence, Vibrate, Twitch, Jolt and Shock on one
// joystick (a joystick without force feedback gets none). 0, -1 for null.
int32_t ffb_DeviceEffectsCreate(_EJOY_INFO* device);

// Request makers: 0, or -1 when no free request is left. Force, Resistence
// and Vibrate queue zeros while their kind is disabled; Twitch, Jolt and
// Shock then queue nothing.
int32_t ffb_ForceRequest(float x, float y);
int32_t ffb_ResistenceRequest(float a, float b, float c, float d);
int32_t ffb_VibrateRequest(float magnitude);
int32_t ffb_TwitchRequest(float x, float y, int32_t milliseconds, int32_t flag);
int32_t ffb_JoltRequest(float x, float y, int32_t milliseconds, int32_t flag);
int32_t ffb_ShockRequest(float magnitude, int32_t milliseconds);

// Compose the continuous force and vibration from the channels and queue
// them. 0, or -1 when no free request is left.
int32_t ffb_ForceCompose(void);
int32_t ffb_VibrateCompose(void);

// Event triggers: each queues its effect scaled by its own setting, or does
// nothing (0) while that setting is disabled.
int32_t ffb_EventFireCannon(void);
int32_t ffb_EventLaunchMissile(void);
int32_t ffb_EventDropBomb(void);
int32_t ffb_EventJettison(void);
int32_t ffb_EventTouchdown(void);
int32_t ffb_EventEject(void);
int32_t ffb_EventParachute(void);
int32_t ffb_EventAfterburner(void);
int32_t ffb_EventBulletHit(void);
int32_t ffb_EventMissileHit(void);
int32_t ffb_EventExplode(void);
int32_t ffb_EventCrash(void);

// Once per frame: hands every queued request, oldest first, to the active
// joystick's effect of its kind and releases it.
void ffb_FrameDispatch(void);
// Stops every effect of the active joystick, drops every queued request and
// zeroes the channels.
void ffb_StopAll(void);

// Called by the player aircraft's flight step: every 8th call feeds the
// force channels and the resistance, four calls later the vibration ones.
void ffb_AircraftFrame(void);
// One half of it (0 forces and resistance, 1 vibration) from a given
// aircraft state; null stands for an aircraft the player cannot fly.
void ffb_AircraftHalf(int32_t half, const PlaneFeedbackState* plane);
