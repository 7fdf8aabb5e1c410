// Stand-in until sound output lands: reports open output that plays nothing.
#include "sound/sndinit.h"

__attribute__((weak)) int32_t snd_Running = 0;

__attribute__((weak)) void snd_Init(int32_t) { snd_Running = 1; }
__attribute__((weak)) void snd_Shutdown(void) { snd_Running = 0; }
