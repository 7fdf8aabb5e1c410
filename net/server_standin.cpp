// Stand-in until the start-up record writer, deaths, console and
// announcement land: a start-up record of the slot's own values only.
#include "net/server_calls.h"
#include "net/server.h"

__attribute__((weak)) uint32_t Server_StartupRecordWrite(uint8_t* record, size_t size, int32_t slot) {
    if (!Server.player || slot < 0 || slot >= SERVER_PLAYERS) return 0;
    const PlayerSlot* s = &Server.player[slot];
    PlayerStartupSource src{};
    src.playerNumber = (uint16_t)s->playerId;
    src.levelRunNumber = Server.runNumber;
    src.startupNumber = s->startupSerial;
    src.squadron = s->squadron;
    src.blocks[0] = &s->stored[0];
    src.blocks[1] = &s->stored[1];
    return player_StartupWrite(record, size, &src);
}
__attribute__((weak)) int32_t Server_ChatLogAdd(const char*) { return 0; }

__attribute__((weak)) void Server_StatusPageDraw(void) {}
__attribute__((weak)) void Server_PlayerExploded(void) {}
__attribute__((weak)) void Server_CrashTextSend(void) {}
__attribute__((weak)) int32_t Server_NoCollision = 0;
__attribute__((weak)) int32_t Server_NoDamage = 0;
__attribute__((weak)) void Server_ConsoleCommand(const char*) {}
__attribute__((weak)) void Server_ConsoleEditLine(int32_t) {}
__attribute__((weak)) void Server_ChatLogCreate(int32_t) {}
__attribute__((weak)) void Server_ChatLogFree(void) {}
__attribute__((weak)) void Server_WindowTitleUpdate(void) {}
__attribute__((weak)) void Server_PlaneCountersClear(void) {}
__attribute__((weak)) void Server_AnnounceOpen(void) {}
__attribute__((weak)) void Server_AnnounceRefresh(void) {}
__attribute__((weak)) void Server_AnnounceDelete(void) {}
__attribute__((weak)) void Server_AnnounceClose(void) {}
__attribute__((weak)) int32_t chat_CensorCheck(const char*) { return 0; }
__attribute__((weak)) void Server_PlaneCountsUpdate(void) {}
