// Stand-in: the AI, trigger and counter pages of the overlay pass.
#include "debug/dbgoverlay.h"

void dbg_DrawAiInfo(void) {}
void dbg_DrawTriggerPage(void) {}
void dbg_DrawCounterPage(void) {}
