// Stand-in until the client lands: no player object.
#include "net/client.h"

int32_t Client_PlayerObjectIndex = -1;
uint32_t Client_OptionWord = 0;
uint16_t Client_OwnPlayerNumber = 0;
uint32_t Client_OwnPlayerHigh = 0;

// No client yet: it ends its state on Escape or when the flight state byte
// is set.
#include "input/ekey.h"
#include "net/server.h"
#include "platform/winmsg.h"

__attribute__((weak)) void Client_Start(void) {}
__attribute__((weak)) int32_t Client_Frame(void) { return net_FlightState != 0 || ekey_PressedTable[VK_ESCAPE]; }
__attribute__((weak)) void Client_Draw(void) {}
__attribute__((weak)) void Client_Stop(void) {}
