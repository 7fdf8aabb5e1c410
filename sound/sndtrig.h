// Sound triggers: events (type, subtype, id) played through a table loaded
// from a SNDTRIG file, which maps each event to one sound or to a layered
// set of sounds and names the sounds other code fetches by name.
//
// The file is read field by field into the native records below; every
// offset and index in it is checked against the file and resolved into a
// pointer once, at load. Main thread only.
#pragma once
#include <cstdint>

#include "base/fix.h"
#include "shell/wndproc.h"

struct ObjectRecord;
struct MixSample;

// Sizes of the records in the file.
constexpr uint32_t SNDTRIG_HEADER_MIN = 20;
constexpr uint32_t SNDTRIG_SOUND_SIZE = 52;
constexpr uint32_t SNDTRIG_TRIGGER_SIZE = 12;
constexpr uint32_t SNDTRIG_SET_BLOCK_SIZE = 12;
constexpr uint32_t SNDTRIG_SET_SIZE = 80;
constexpr uint32_t SNDTRIG_LAYER_SIZE = 48;
constexpr uint32_t SNDTRIG_MEMBER_SIZE = 28;
constexpr uint32_t SNDTRIG_NAME_SIZE = 24;
constexpr int32_t SNDTRIG_MAX_LAYERS = 9;
constexpr int32_t SNDTRIG_MAX_MEMBERS = 8;
constexpr int32_t SNDTRIG_PLAY_LIST = 8;
constexpr int32_t SNDTRIG_FILE_NAME = 128;

// Event flags.
constexpr int32_t SNDTRIG_IGNORE_LIMIT = 1;
constexpr int32_t SNDTRIG_TRANSIENT = 2;

// Layer flags.
constexpr uint32_t SNDTRIG_LAYER_PAN = 0x01;         // event's direction, else ahead
constexpr uint32_t SNDTRIG_LAYER_COCKPIT = 0x02;     // plays with mask bit 1
constexpr uint32_t SNDTRIG_LAYER_OUTSIDE = 0x04;     // plays with mask bit 2
constexpr uint32_t SNDTRIG_LAYER_SEQUENTIAL = 0x10;  // else random
constexpr uint32_t SNDTRIG_LAYER_VOICE = 0x20;       // compared with mask bit 5
constexpr uint32_t SNDTRIG_LAYER_PRELOAD = 0x40;
// Set flags.
constexpr uint32_t SNDTRIG_SET_VOICE_CONDITION = 0x01;

// One sound entry. Its run-time fields are the owner record that the
// deferred end routine (snd_SampleReleaseCallback) works on: owner.playing
// is the entry's loaded byte, owner.sample its sample.
struct SndTrigSound {
    char name[SNDTRIG_NAME_SIZE + 1];
    uint32_t offset;   // of the WAVE image in the file
    uint32_t size;     // 0: unusable by name
    uint8_t volume;    // 0 counts as 255
    uint8_t preload;   // marked for sndtrig_LoadMarked
    uint8_t transient; // the sample lives in alternate heap 2
    SndSampleOwner owner;
    uint32_t handle;   // the owner's handle while it has one, else 0
};

struct SndTrigTrigger {
    uint16_t type, subtype, id;
    uint16_t isSet;  // nonzero: index names a set
    uint16_t index;
};

struct SndTrigMember {
    SndTrigSound* sound;
    int32_t pitchBase;     // 16.16
    uint32_t pitchSpread;  // 16.16
    uint32_t volume;       // with the range curve
    uint32_t volumeCap;
};

struct SndTrigLayer {
    uint16_t memberCount;
    uint16_t next;   // sequential play
    uint32_t range;  // 0: the event's volume
    uint32_t flags;
    SndTrigMember* members;
};

struct SndTrigSet {
    int32_t pitchBase;     // 16.16
    uint32_t pitchSpread;  // 16.16
    uint32_t layerCount;
    uint32_t flags;
    SndTrigLayer* layers;
};

// A loaded table (one per user: the level, the menu engine).
struct SndTrigFile {
    uint32_t headerLength, soundCount, triggerCount, setOffset;
    SndTrigSound* sounds;      // "SNDTRIG DATA"
    SndTrigTrigger* triggers;  // "SNDTRIG TRIGGERS"
    uint32_t blockLength, setCount, setArrayOffset;
    SndTrigSet* sets;          // "SNDTRIG SETS"
    char fileName[SNDTRIG_FILE_NAME];
    uint32_t fileSize;
    int32_t maxInstances;      // per sample; 0 = none
    int32_t minVolume;
    uint32_t heapId;           // stamped on every block; -1 stamps nothing
};

// The event record that callers fill (the first seven words also through
// the request routines), then pass to sndtrig_Trigger.
struct SndTrigEvent {
    int32_t pitch;      // 16.16, 0 = natural
    int32_t pan;        // direction byte
    int32_t volume;     // 0..255
    int32_t voice;      // -1: any free voice
    int32_t flags;      // SNDTRIG_IGNORE_LIMIT, SNDTRIG_TRANSIENT
    int32_t distance;   // listener distance x 16
    void (*completion)(uint32_t argument);  // transient sounds: once at the end
    uint32_t completionArgument;
    uint16_t type, subtype, id;
};
// The shared event record.
extern SndTrigEvent sndtrig_Event;

// Volume factor by distance / range x 256.
extern const uint8_t sndtrig_VolumeCurve[256];

// 1, or 0 when the file cannot be opened or is damaged (the table is then
// zeroed).
int32_t sndtrig_LoadEx(const char* name, SndTrigFile* table, uint32_t heapId);
int32_t sndtrig_Load(const char* name, SndTrigFile* table);
// Stops every voice that plays one of the samples it frees, frees the set
// members' and the transient samples, the sets, the sound and trigger
// tables, and zeroes the table.
void sndtrig_Free(SndTrigFile* table);

SndTrigSound* sndtrig_FindSound(const char* name, SndTrigFile* table);
int32_t sndtrig_MarkSound(const char* name, SndTrigFile* table);
int32_t sndtrig_LoadMarked(SndTrigFile* table);
// The named sample (loaded when needed), or null.
MixSample* sndtrig_GetSample(const char* name, SndTrigFile* table);

// The key of the sound started (0 if none), the number of set members
// listed, 0 without an event or a table, -1 when no trigger matches or at
// the voice limit.
int32_t sndtrig_Trigger(SndTrigEvent* event, SndTrigFile* table);
int32_t sndtrig_PlayIndexed(int32_t index, SndTrigEvent* event, SndTrigFile* table);
int32_t sndtrig_PlaySetIndexed(int32_t index, SndTrigEvent* event, SndTrigFile* table);

void sndtrig_SetMaxInstances(int32_t limit, SndTrigFile* table);
void sndtrig_SetMinVolume(int32_t volume, SndTrigFile* table);
// Sets the condition mask; returns the previous one (initially 6).
int32_t sndtrig_SetConditionMask(int32_t mask);
// 0..n-1 (0 for n up to 1); advances the random state.
int32_t sndtrig_Random(int32_t n);
// The random state back to its start value (tests).
void sndtrig_RandomSeed(uint32_t state);

// The positional part of sndtrig_Event (its first seven words) for a world
// position or an object.
void sndtrig_RequestAtPosition(const FixWorldPos* position);
void sndtrig_RequestAtObject(const ObjectRecord* object);

// The end-of-voice hook: hands the flags word of a finished voice to the
// main thread unless it is a speech word (bit 31).
void sndtrig_VoiceEnded(uint32_t flags);
