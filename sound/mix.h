// The software mixer: 24 sample voices and one stream voice, mixed into
// blocks of 22050 Hz stereo signed 16-bit frames for the sound output.
//
// The main thread never mixes: it posts requests into the voice tables and
// the mixer (the device's thread, or the main thread for wave-out) takes
// them over at the start of its next block. A producer fills a record and
// sets its pending byte last; the consumer clears it after its copy. Every
// word the two threads share is atomic; nothing is locked.
//
// Positional sources share the voices (the source table below).
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "base/fix.h"

// ---- Samples ----------------------------------------------------------------

// A sample converted for the mixer, in place at the start of its loaded
// block: "SAMP", length in frames, rate word, attenuation shift, 1, two spare
// bytes, then the frames (unsigned 8-bit, 128 = silence). A MixSample
// pointer is the block's address.
struct MixSample {
    uint8_t header[16];
};
constexpr uint32_t MIX_SAMPLE_HEADER = 16;
// Positions are 22.10 offsets in 32 bits, so a sample holds at most this
// many frames; it needs two to have a start before its end.
constexpr uint32_t MIX_SAMPLE_MAX_FRAMES = 0x200000;
constexpr uint32_t MIX_SAMPLE_MIN_FRAMES = 2;

// Converts a WAVE image of `size` bytes (PCM, mono, 8 or 16 bits) into a
// MixSample in place; an image that already is one is checked and kept.
// The sample (the image's address), or null when the image is refused
// (nothing is changed then).
MixSample* snd_SampleConvert(void* image, uint32_t size);
// Header fields of a converted sample.
uint32_t mix_SampleLength(const MixSample* sample);
uint32_t mix_SampleRateWord(const MixSample* sample);
const uint8_t* mix_SampleFrames(const MixSample* sample);

// ---- Voices -----------------------------------------------------------------

constexpr int32_t MIX_VOICES = 24;
constexpr int32_t MIX_RING = 16;
constexpr uint32_t MIX_NATURAL_PITCH = 0x10000;  // 16.16

// A word shared between the threads whose order does not matter by itself
// (the pending and updated bytes order it).
template <class T>
struct MixWord {
    std::atomic<T> v{};
    MixWord() = default;
    MixWord(const MixWord&) = delete;
    operator T() const { return v.load(std::memory_order_relaxed); }
    MixWord& operator=(T x) {
        v.store(x, std::memory_order_relaxed);
        return *this;
    }
    MixWord& operator=(const MixWord& from) { return *this = (T)from; }
};

struct MixVoice {
    MixWord<const uint8_t*> end;  // the byte after the last frame
    MixWord<uint32_t> length;     // frames (stream: bytes)
    MixWord<uint32_t> step;       // 22.10 advance per output frame
    MixWord<int32_t> position;    // 22.10 from the end, negative while playing
    MixWord<uint32_t> key;        // 0: none
    MixWord<uint32_t> rateWord;
    MixWord<uint32_t> pan;        // direction byte (stream ring: left shift)
    MixWord<uint32_t> volume;     // 0..255 (stream ring: right shift)
    MixWord<uint32_t> shift;      // the sample's attenuation shift
    MixWord<int32_t> leftGain;
    MixWord<int32_t> rightGain;
    MixWord<uint32_t> flags;      // nonzero: its end is reported
    MixWord<uint8_t> chain;       // a looping follow-on record
    uint8_t spare[3];
    std::atomic<uint8_t> state{0};     // playing bank: playing; else pending
    std::atomic<uint8_t> reserved{0};  // playing bank: kept from mix_VoiceStart
    std::atomic<uint8_t> updated{0};   // playing bank: gains or step changed
    uint8_t spare2;
};

extern MixVoice mix_PlayingBank[MIX_VOICES];
extern MixVoice mix_RequestBank[MIX_VOICES];
extern MixVoice mix_FollowOnBank[MIX_VOICES];
extern MixVoice mix_FollowOnRequestBank[MIX_VOICES];
extern MixVoice mix_StreamVoice;
extern MixVoice mix_StreamRing[MIX_RING];
extern std::atomic<uint32_t> mix_StreamRead;   // the mixer's
extern std::atomic<uint32_t> mix_StreamWrite;  // the main thread's

// The silence sample: 1025 bytes of 128; a record of it ends at its last
// byte, 1024 frames long.
extern const uint8_t mix_SilenceFrames[1025];

// Pan table: (right, left) gains for each direction byte: 0 ahead, 64 full
// left, 128 behind, 192 full right; behind the listener the far channel
// turns negative.
extern const int8_t mix_PanTable[256][2];

// Mixer state.
extern int32_t mix_MasterVolume;             // 0..255
extern int32_t mix_StreamVolume;             // 0..255
extern uint32_t mix_KeyCounter;              // next key, from 1, never reset
extern std::atomic<uint8_t> mix_OutputSilence;
extern int16_t* mix_Output;                  // the block being mixed
extern int32_t mix_OutputFrames;
extern int32_t mix_LastLeft, mix_LastRight;  // the last frame written
extern uint32_t mix_ChainRandom;             // never reset
typedef void (*MixEndHook)(uint32_t flags);

// Clears every bank, the stream voice and the ring; every voice plays
// silence.
void mix_Init(void);
// Silences the output while mix_Init runs.
void mix_StopAll(void);
// Mixes `frames` frames at `output` (the mixer's thread).
void mix_MixBlock(int16_t* output, int32_t frames);

// Voice operations (keys are 0 when nothing was done). pitch: 16.16, 0 is
// the sample's own rate. volume: 0..255 (larger counts as 255).
uint32_t mix_VoiceStart(const MixSample* sample, int32_t pan, int32_t volume, int32_t pitch, uint32_t flags);
uint32_t mix_VoiceStartOn(int32_t voice, const MixSample* sample, int32_t pan, int32_t volume, int32_t pitch,
                          uint32_t flags);
// Loops the sample on that voice after what it plays now.
uint32_t mix_VoiceChain(int32_t voice, const MixSample* sample, int32_t pan, int32_t volume, int32_t pitch);
// -1 keeps the value given at start.
uint32_t mix_VoiceUpdate(uint32_t key, int32_t pan, int32_t volume, int32_t pitch);
uint32_t mix_VoiceUpdateOn(int32_t voice, int32_t pan, int32_t volume, int32_t pitch);
uint32_t mix_VoiceFind(uint32_t key);
void mix_VoiceStop(uint32_t key);
void mix_VoiceStopOn(int32_t voice);
int32_t mix_CountSampleVoices(const MixSample* sample);
// Stops every voice that plays or is about to play the sample and waits
// for a block in progress to end: no block mixes it afterwards, so the
// caller may free it. Returns the voices stopped.
int32_t mix_VoiceStopSample(const MixSample* sample);
void mix_VoiceReserve(int32_t voice, int32_t value);
int32_t mix_VoiceIsPlaying(int32_t voice);
// One line about the voice's request and playing records.
void mix_VoiceDump(int32_t voice, char* text, size_t size);

// The stream: stereo interleaved unsigned 8-bit frames in blocks queued on
// a ring of 16. 1 when queued, 0 when the ring is too full (or the block
// holds no frame pair). The block must stay unchanged while queued.
int32_t mix_StreamQueue(const uint8_t* data, uint32_t length, int32_t leftShift, int32_t rightShift);
int32_t mix_StreamCount(void);
// Re-derives the queued blocks' gains from the stream volume; returns 1.
int32_t mix_StreamSetVolume(void);
void mix_StreamStop(void);

void mix_SetEndHook(MixEndHook hook);

// ---- Positional sources -------------------------------------------------------

// Continuous sounds of things in the world: up to 1024 sources; every fourth
// listener update the loudest audible ones hold a small range of voices,
// looping their samples with direction, loudness and Doppler pitch kept
// current. Main thread only.
constexpr int32_t MIX_SOURCES = 1024;
constexpr int32_t MIX_SOURCE_VOICES = 32;
constexpr int32_t MIX_SOURCE_AUDIBLE = 64;

// Source flags.
constexpr uint8_t MIX_SOURCE_MOVES = 0x01;    // position += velocity each listener update
constexpr uint8_t MIX_SOURCE_DOPPLER = 0x04;
constexpr uint8_t MIX_SOURCE_NOTIFY = 0x08;   // start notification when it gets a voice
constexpr uint8_t MIX_SOURCE_MUTED = 0x20;

// Update mask bits.
constexpr uint8_t MIX_UPDATE_POSITION = 0x01;
constexpr uint8_t MIX_UPDATE_VELOCITY = 0x02;
constexpr uint8_t MIX_UPDATE_SAMPLE = 0x04;
constexpr uint8_t MIX_UPDATE_RADIUS = 0x08;
constexpr uint8_t MIX_UPDATE_PITCH = 0x10;
constexpr uint8_t MIX_UPDATE_VOLUME = 0x20;
constexpr uint8_t MIX_UPDATE_MAX_VOLUME = 0x40;
constexpr uint8_t MIX_UPDATE_FLAGS = 0x80;

// The caller's description of a source, for adding and updating.
struct MixSourceDesc {
    int32_t id;   // written back by add, read by update
    int32_t x, y, z;
    int32_t vx, vy, vz;
    MixSample* sample;   // null: silent
    int32_t radius;
    int32_t user;        // handed to the start notification
    int32_t pitch;       // 16.16
    uint8_t flags, volume, maxVolume, updateMask;
};

using MixAttenuationFn = int32_t (*)(int32_t distance);
using MixDirectionFn = int32_t (*)(int32_t dx, int32_t dy, int32_t dz, int32_t distance);
using MixStartFn = void (*)(int32_t one, int32_t user, int32_t id);

// One source of the table.
struct SndSource {
    int32_t id;
    int32_t user;
    MixSample* sample;
    int32_t x, y, z;
    int32_t vx, vy, vz;
    int32_t radius;
    int32_t pitch;          // 16.16
    uint8_t flags, volume, maxVolume, spare;
    int32_t distance;       // last approximate distance
    int32_t smoothedPitch;  // 16.16
    uint8_t loudness;       // 0..255
    uint8_t direction;      // the mixer's pan byte
    uint8_t spare2[2];
};

struct MixAudible {
    int32_t source;  // index into the table, -1 once taken
    int32_t loudness;
};

struct MixSourceTable {
    int32_t count;
    int32_t idCounter;      // ids are handed out from 2 on
    uint32_t updateCounter;
    int32_t firstVoice;
    int32_t voiceCount;
    int32_t listenerX, listenerY, listenerZ;
    int32_t motionX, motionY, motionZ;
    MixAttenuationFn attenuation;
    MixDirectionFn direction;
    MixStartFn start;
    SndSource sources[MIX_SOURCES];
    int32_t voices[MIX_SOURCE_VOICES];  // source id per voice: 0 free, -1 restart
    MixAudible audible[MIX_SOURCE_AUDIBLE];
    int32_t audibleCount;
};
extern MixSourceTable mix_SourceTable;

// Empties the source table; voices first .. first + count - 1 serve it (at
// most 32). Any routine may be null.
void mix_SourcesInit(int32_t firstVoice, int32_t voiceCount, MixAttenuationFn attenuation,
                     MixDirectionFn direction, MixStartFn start);
// The new id (also written into the description), 0 when the table is full.
int32_t mix_SourceAdd(MixSourceDesc* source);
int32_t mix_SourceAddSilent(uint8_t flags, int32_t user, int32_t radius, const FixVec3* position,
                            const FixVec3* velocity);
// These return 0 when the id is not found.
int32_t mix_SourceUpdate(const MixSourceDesc* source);
int32_t mix_SourceSet(int32_t id, int32_t pitch, uint8_t volume, uint8_t maxVolume, MixSample* sample,
                      const FixVec3* velocity, const FixVec3* position);
int32_t mix_SourceSetPosition(int32_t id, const FixVec3* position, const FixVec3* velocity);
// The last source moves into the removed one's place.
int32_t mix_SourceRemove(int32_t id);
// Moves the listener (motion null: the change of position) and the moving
// sources; every fourth call runs the assignment pass.
void mix_SourcesListener(const FixVec3* position, const FixVec3* motion);
// The assignment pass: ranks the audible sources and gives the loudest the
// voices.
void mix_SourcesAssign(void);
