// Sound output: the mixer's voices and the wave-out buffers.
#pragma once
#include <cstdint>

// Mixer voices now playing the sample buffer; 0 when sound is off.
int32_t snd_CountSampleVoices(const void* sample);
// A wave-out buffer has finished playing (MM_WOM_DONE, main thread).
void snd_WaveOutDone(void);
// Message-pump hook of the WAV stream ring.
void snd_WavStreamPump(void);
