// Stand-in until sound output lands: sound is off.
#include "sound/snd.h"

int32_t snd_CountSampleVoices(const void*) { return 0; }
void snd_WaveOutDone(void) {}
void snd_WavStreamPump(void) {}
