// Sound triggers: events (type, subtype, id) played through a loaded
// sound-trigger table.
#pragma once
#include <cstdint>

#include "base/fix.h"

struct ObjectRecord;
struct SndTrigFile;
struct MixSample;

// The shared sound event: callers fill it (the first seven words through
// the two request routines), then call sndtrig_Trigger.
struct SndTrigEvent {
    int32_t pitch;      // 16.16, 0 = natural
    int32_t pan;        // direction byte
    int32_t volume;     // 0..255
    int32_t voice;      // -1: any free voice
    int32_t flags;      // 1: ignore the voice limit; 2: transient
    int32_t distance;   // listener distance x 16
    void (*completion)(int32_t argument);
    int32_t completionArgument;
    uint16_t type, subtype, id;
};
extern SndTrigEvent sndtrig_Event;

// Loads a SNDTRIG file into table: nonzero on success.
int32_t sndtrig_Load(const char* name, SndTrigFile* table);
// The named sample (loaded when needed), or null.
MixSample* sndtrig_GetSample(const char* key, SndTrigFile* table);
void sndtrig_SetMaxInstances(int32_t limit, SndTrigFile* table);
void sndtrig_SetMinVolume(int32_t volume, SndTrigFile* table);

// Plays the sound of the event with its volume and pitch.
int32_t sndtrig_Trigger(SndTrigEvent* event, SndTrigFile* table);
// The positional part of sndtrig_Event for a world position or an object.
void sndtrig_RequestAtPosition(const FixWorldPos* position);
void sndtrig_RequestAtObject(const ObjectRecord* object);
// Sets the condition mask; returns the previous one.
int32_t sndtrig_SetConditionMask(int32_t mask);
