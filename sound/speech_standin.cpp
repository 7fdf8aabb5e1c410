// Stand-in until the speech player lands: nothing to start or stop.
#include "sound/speech.h"

void speech_Init(void) {}
void speech_Shutdown(void) {}
