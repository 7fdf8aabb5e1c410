// Stand-in until the client lands: no player object.
#include "net/client.h"

int32_t Client_PlayerObjectIndex = -1;
uint32_t Client_OptionWord = 0;
uint16_t Client_OwnPlayerNumber = 0;
uint32_t Client_OwnPlayerHigh = 0;
