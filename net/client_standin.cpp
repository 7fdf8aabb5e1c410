// Stand-in until the client lands: no player object.
#include "net/client.h"

#include "render/view.h"

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
ObjectRecord* Client_PlayerObject = nullptr;
uint8_t Client_PlayerBlock[0x54] = {};
int32_t Client_PlayerBlockTail[3] = {};
int32_t Client_PaletteFadeRequest = 0;
uint8_t Client_RequestByte = 0;

void Client_ResetSlots(void) {}

void Client_BindPlayerObject(void) {
    for (int32_t i = 0; i < VIEW_MODE_COUNT; i++)
        if (i != VIEW_MODE_MISSILE && i != VIEW_MODE_TARGET) view_ModeTable[i].viewedObject = Client_PlayerObject;
    view_Reset();
}

void Client_StartupReset(void) {}
void Client_PlayerSoundsStart(void) {}

// No client yet: it ends its state on Escape or when the flight state byte
// is set.
#include "input/ekey.h"
#include "net/server.h"
#include "platform/winmsg.h"

__attribute__((weak)) void Client_Start(void) {}
__attribute__((weak)) int32_t Client_Frame(void) { return net_FlightState != 0 || ekey_PressedTable[VK_ESCAPE]; }
__attribute__((weak)) void Client_Draw(void) {}
__attribute__((weak)) void Client_Stop(void) {}
