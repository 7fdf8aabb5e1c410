// Sound output: opens the audio device at start-up and keeps the mixer
// feeding it, and the guarded forms of the mixer's operations that the rest
// of the program uses. While output is not running every operation does
// nothing and returns 0, so the game runs silently without a device.
#pragma once
#include <cstdint>

#include "sound/mix.h"

struct SndSampleOwner;

// 1 while sound output is open.
extern int32_t snd_Running;
// 1: the device pulls from the mixer on its own thread (mode 0); 0: three
// wave-out buffers refilled on the main thread.
extern int32_t snd_DirectSound;
// The wave-out block: bytes and frames mixed into each returned buffer.
extern int32_t snd_BlockBytes;
extern int32_t snd_BlockFrames;
constexpr uint32_t SND_WAVE_BUFFER_BYTES = 88200;

// Mode 0: the pulling device unless it is only emulated, then wave-out;
// 2: wave-out. Sets snd_Running on success.
void snd_Init(int32_t mode);
void snd_Shutdown(void);

// 0..255; larger values give 255.
void snd_SetMasterVolume(int32_t volume);
// Stores it and re-derives the queued stream blocks' gains.
int32_t snd_SetStreamVolume(int32_t volume);
// 1: blocks come out as zeros and no voice advances.
void snd_SetSilence(int32_t on);
void snd_StopAllVoices(void);
// Wave-out only: the block in tenths of a second (1..10).
void snd_SetBufferLength(int32_t tenths);

// Loads a WAVE file whole and converts it in place; the sample, or null.
MixSample* snd_SampleLoad(const char* name);

// The mixer's voice operations (see mix.h).
uint32_t snd_VoicePlay(const MixSample* sample, int32_t pan, int32_t volume, int32_t pitch);
uint32_t snd_VoiceStart(const MixSample* sample, int32_t pan, int32_t volume, int32_t pitch, uint32_t flags);
uint32_t snd_VoicePlayOn(int32_t voice, const MixSample* sample, int32_t pan, int32_t volume, int32_t pitch);
uint32_t snd_VoicePlayOnEx(int32_t voice, const MixSample* sample, int32_t pan, int32_t volume, int32_t pitch,
                           uint32_t flags);
uint32_t snd_VoiceFind(uint32_t key);
int32_t snd_VoiceStop(uint32_t key);  // 0
// Mixer voices playing, or about to play, the sample buffer.
int32_t snd_CountSampleVoices(const void* sample);
// Sets the voice's reserved flag; returns 0.
int32_t snd_VoiceSetFlag(int32_t voice, int32_t value);
int32_t snd_SetEndHook(MixEndHook hook);  // 0

// Owner records of samples whose end is reported travel through the mixer's
// 32-bit flags word as handles: never 0, bit 31 clear (a set bit 31 marks a
// speech voice). A handle resolves only on the main thread and only until
// it is removed, so a late end report never reaches a freed owner.
constexpr uint32_t SND_OWNER_HANDLES = 1024;
// The owner's handle, or 0 when every handle is taken.
uint32_t snd_OwnerHandleAdd(SndSampleOwner* owner);
void snd_OwnerHandleRemove(uint32_t handle);
// The owner, or null for 0, a speech word, a removed or unknown handle.
SndSampleOwner* snd_OwnerFromHandle(uint32_t handle);

// A wave-out buffer has finished playing (MM_WOM_DONE, main thread).
void snd_WaveOutDone(void);
// Message-pump hook of the WAV file stream, which nothing opens.
void snd_WavStreamPump(void);
