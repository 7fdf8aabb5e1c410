// Time compression of single-player flight.
#pragma once
#include <cstdint>

// Game ticks per timer period, 1 for real time.
extern int32_t dbg_TimeCompression;
// The fast mode of the console and cheats (doubles the compressed rate).
extern uint8_t dbg_FastMode;
// Sets the factor (where time compression is allowed) and shows it.
void dbg_ShowValueLine(int32_t factor);
void dbg_ShowValue(int32_t factor);
