// Client words read outside the client.
#pragma once
#include <cstdint>

// Index of the player's aircraft object, -1 while there is none.
extern int32_t Client_PlayerObjectIndex;
// Client option bits (0x02: the debug hot key is on).
extern uint32_t Client_OptionWord;
