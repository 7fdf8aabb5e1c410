// Stand-in until the client lands: no player object.
#include "net/client.h"

int32_t Client_PlayerObjectIndex = -1;
uint32_t Client_OptionWord = 0;
uint16_t Client_OwnPlayerNumber = 0;
uint32_t Client_OwnPlayerHigh = 0;
uint8_t Client_FlightState = 0;
int32_t Client_ExitResult = 0;
int32_t Client_GameFlags[2] = {};
uint32_t Client_SquadronWord = 0;
uint32_t Client_TeamPlayWord = 0;
uint32_t Client_LevelRunNumber = 0xFFFFFFFFu;
uint8_t Client_CtfStart = 0;
