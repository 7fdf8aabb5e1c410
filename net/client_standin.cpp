// Stand-in until the client lands: no player object.
#include "net/client.h"

int32_t Client_PlayerObjectIndex = -1;
uint32_t Client_OptionWord = 0;
