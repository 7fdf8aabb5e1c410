// Stand-in until sound output lands: reports open output that plays nothing.
#include "sound/snd.h"

__attribute__((weak)) int32_t snd_Running = 0;

__attribute__((weak)) void snd_Init(int32_t) { snd_Running = 1; }
__attribute__((weak)) void snd_Shutdown(void) { snd_Running = 0; }

int32_t snd_CountSampleVoices(const void*) { return 0; }
void snd_StopAllVoices(void) {}
int32_t snd_VoiceSetFlag(int32_t, int32_t) { return 0; }
void snd_WaveOutDone(void) {}
void snd_WavStreamPump(void) {}
