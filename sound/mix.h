// Positional sound sources of the mixer.
#pragma once
#include <cstdint>

struct MixSample;

// The caller's description of a source, for adding and updating.
struct MixSourceDesc {
    int32_t id;   // written back by add, read by update
    int32_t x, y, z;
    int32_t vx, vy, vz;
    MixSample* sample;   // null: silent
    int32_t radius;
    int32_t user;
    int32_t pitch;       // 16.16
    uint8_t flags, volume, maxVolume, updateMask;
};

using MixAttenuationFn = int32_t (*)(int32_t distance);
using MixDirectionFn = int32_t (*)(int32_t dx, int32_t dy, int32_t dz, int32_t distance);
using MixStartFn = void (*)(int32_t one, int32_t user, int32_t id);

// Empties the source table; voices first .. first + count - 1 serve it. Any
// routine may be null.
void mix_SourcesInit(int32_t firstVoice, int32_t voiceCount, MixAttenuationFn attenuation,
                     MixDirectionFn direction, MixStartFn start);
// Both return 0 when the id is not found.
int32_t mix_SourceUpdate(const MixSourceDesc* source);
int32_t mix_SourceRemove(int32_t id);
