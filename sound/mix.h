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
