// Sound output: opening and closing it, the mixer's voices and the wave-out
// buffers.
#pragma once
#include <cstdint>

// 1 while sound output is open.
extern int32_t snd_Running;

// Mode 0: DirectSound-style output, 2: wave-out. Sets snd_Running on success.
void snd_Init(int32_t mode);
void snd_Shutdown(void);

// Mixer voices now playing the sample buffer; 0 when sound is off.
int32_t snd_CountSampleVoices(const void* sample);
// Stops every voice.
void snd_StopAllVoices(void);
// Sets the voice's reserved flag; returns 0.
int32_t snd_VoiceSetFlag(int32_t voice, int32_t value);
// A wave-out buffer has finished playing (MM_WOM_DONE, main thread).
void snd_WaveOutDone(void);
// Message-pump hook of the WAV stream ring.
void snd_WavStreamPump(void);
