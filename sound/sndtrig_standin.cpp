// Stand-in until the sound triggers land: no table loads and nothing plays.
#include "sound/sndtrig.h"

SndTrigEvent sndtrig_Event;

namespace {
int32_t g_conditionMask = 6;
}  // namespace

int32_t sndtrig_Load(const char*, SndTrigFile*) { return 0; }
MixSample* sndtrig_GetSample(const char*, SndTrigFile*) { return nullptr; }
void sndtrig_SetMaxInstances(int32_t, SndTrigFile*) {}
void sndtrig_SetMinVolume(int32_t, SndTrigFile*) {}

int32_t sndtrig_Trigger(SndTrigEvent*, SndTrigFile*) { return 0; }
void sndtrig_RequestAtPosition(const FixWorldPos*) {}
void sndtrig_RequestAtObject(const ObjectRecord*) {}
int32_t sndtrig_SetConditionMask(int32_t mask) {
    int32_t previous = g_conditionMask;
    g_conditionMask = mask;
    return previous;
}
