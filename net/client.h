// Client words read outside the client.
#pragma once
#include <cstdint>

// Index of the player's aircraft object, -1 while there is none.
extern int32_t Client_PlayerObjectIndex;
// Client option bits (0x02: the debug hot key is on).
extern uint32_t Client_OptionWord;
// Own player number, from the start-up record, and the same shifted left by
// 16: the high half of every network id the client makes.
extern uint16_t Client_OwnPlayerNumber;
extern uint32_t Client_OwnPlayerHigh;

// The client half of a game: the enter, frame, draw and leave steps.
void Client_Start(void);
int32_t Client_Frame(void);
void Client_Draw(void);
void Client_Stop(void);
