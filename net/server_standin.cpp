// Stand-in until the event queue, joining, deaths, console, announcement and
// rules land: nothing is queued or sent, no rules run.
#include "net/server_calls.h"
#include "net/server.h"

__attribute__((weak)) int32_t Server_EventPoolCreate(void) { return 0; }
__attribute__((weak)) void Server_QueueEvent(uint16_t, uint32_t, const FixWorldPos*, int32_t, int32_t, uint32_t,
                                             int32_t) {}
__attribute__((weak)) void Server_QueueObjectEvent(uint16_t, const ObjectRecord*, const void*, uint32_t, int32_t,
                                                   int32_t) {}
__attribute__((weak)) void Server_SendTextEvent(const char*, int32_t, int32_t, int32_t) {}
__attribute__((weak)) void Server_SendNameEvent(int32_t) {}
__attribute__((weak)) void Server_SendScores(int32_t, int32_t) {}
__attribute__((weak)) void Server_SendPlayers(void) {}
__attribute__((weak)) void Server_EventConfirmed(PlayerSlot*, uint32_t) {}
__attribute__((weak)) void Server_StaticBatchConfirmed(PlayerSlot*) {}
__attribute__((weak)) void Server_DymodEvent(int32_t, const char*, int32_t) {}
__attribute__((weak)) void Server_RegisterSessionCallbacks(void) {}
__attribute__((weak)) void Server_PlayerRestart(int32_t) {}
__attribute__((weak)) void Server_BuildStaticList(int32_t) {}
__attribute__((weak)) void Server_SquadronAnnounceStart(int32_t) {}
__attribute__((weak)) void Server_SquadronAnnounceNext(int32_t) {}
__attribute__((weak)) void Server_StatusPageDraw(void) {}
__attribute__((weak)) void Server_PeakPlayersReset(void) {}
__attribute__((weak)) void Server_LoadRingClear(void) {}
__attribute__((weak)) int32_t Server_ReceiveLoad = 0;
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
__attribute__((weak)) void Server_PlayerJoined(void) {}
