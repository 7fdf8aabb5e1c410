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
// Flight state byte (0 flying, 1 end, 2 restart, 3 level reset, 4 leave) and
// the result the flight ends with.
extern uint8_t Client_FlightState;
extern int32_t Client_ExitResult;
// The client's game flags (0: blackouts), squadron and team-play words, its
// level run number and the capture-the-flag start flag of the start-up
// record.
extern int32_t Client_GameFlags[2];
extern uint32_t Client_SquadronWord;
extern uint32_t Client_TeamPlayWord;
extern uint32_t Client_LevelRunNumber;
extern uint8_t Client_CtfStart;
