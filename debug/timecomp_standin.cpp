// Stand-in until time compression lands: the factor is only stored.
#include "debug/timecomp.h"

int32_t dbg_TimeCompression = 1;
uint8_t dbg_FastMode = 0;

void dbg_ShowValueLine(int32_t factor) { dbg_TimeCompression = factor; }
void dbg_ShowValue(int32_t factor) { dbg_ShowValueLine(factor); }
