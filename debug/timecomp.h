// Time compression of single-player flight.
#pragma once
#include <cstdint>

// Game ticks per timer period, 1 for real time (the application clock's
// tick increment follows it).
extern int32_t dbg_TimeCompression;
// The fast mode of the console and cheats (doubles the compressed rate).
extern uint8_t dbg_FastMode;
// Allows time compression outside single player too; nothing sets it.
extern int32_t dbg_TimeCompressionAnyGame;
// Sets the factor (only where this process shows the game and it is a
// single-player game) and shows it with game text 377.
void dbg_ShowValueLine(int32_t factor);
void dbg_ShowValue(int32_t factor);
// Back to real time without a message (start and reset paths).
void dbg_TimeCompressionReset(void);
