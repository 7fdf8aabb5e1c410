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

struct ObjectRecord;
// The player's aircraft object, null while there is none.
extern ObjectRecord* Client_PlayerObject;
// The client's 0x54-byte player block and the three words after it (the
// second is the client-started flag).
extern uint8_t Client_PlayerBlock[0x54];
extern int32_t Client_PlayerBlockTail[3];
// Set to fade the palette in after the next drawn frame.
extern int32_t Client_PaletteFadeRequest;
// The client's request byte.
extern uint8_t Client_RequestByte;
// Client slots back to empty.
void Client_ResetSlots(void);
// Binds the player's aircraft object to the views and resets the view.
void Client_BindPlayerObject(void);
// The client's start-up reset and the player object's sounds.
void Client_StartupReset(void);
void Client_PlayerSoundsStart(void);

// The client half of a game: the enter, frame, draw and leave steps.
void Client_Start(void);
int32_t Client_Frame(void);
void Client_Draw(void);
void Client_Stop(void);
// Queues a player-trigger message (kind, value) to the server.
void Client_SendPlayerTrig(int32_t kind, int32_t value);
