// Stand-in until the object records, start-up record writer, deaths,
// console, announcement and rules land: no objects, a start-up record of
// the slot's own values only, no rules run.
#include "net/server_calls.h"
#include "net/server.h"

__attribute__((weak)) void Server_WriteStaticData(int32_t) {}
__attribute__((weak)) void Server_WriteObjectData(int32_t) {}
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

__attribute__((weak)) void Server_StaticBatchConfirmed(PlayerSlot*) {}
__attribute__((weak)) void Server_BuildStaticList(int32_t) {}
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
__attribute__((weak)) void Server_SelectRules(void) {}
__attribute__((weak)) void Server_RulesFrame(void) {}
__attribute__((weak)) void Server_RulesReset(int32_t) {}
__attribute__((weak)) void Server_RulesDeath(int32_t) {}
__attribute__((weak)) void Server_RulesScore(int32_t) {}
__attribute__((weak)) void Server_RulesDeathmatchEnd(void) {}
__attribute__((weak)) void Server_RulesFlagEnd(int32_t) {}
__attribute__((weak)) int32_t chat_CensorCheck(const char*) { return 0; }
__attribute__((weak)) void Server_PlaneCountsUpdate(void) {}
