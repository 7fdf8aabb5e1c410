// Server routines the frame and the handlers call that belong to the event
// queue, joining, deaths, the console, the announcement and the rules.
#pragma once
#include <cstdint>

#include "base/fix.h"

struct PlayerSlot;
struct ObjectRecord;

// Delivery of a queued event.
constexpr int32_t SERVER_TO_ALL = 0;
constexpr int32_t SERVER_TO_ALL_EXCEPT = 1;  // all but the target slot
constexpr int32_t SERVER_TO_PLAYER = 2;      // the target slot only
constexpr int32_t SERVER_TO_SIDE = 3;        // the players of side target
constexpr int32_t SERVER_IN_RANGE = 4;       // players within range of the position
constexpr int32_t SERVER_NO_POSITION = 0x100;  // with IN_RANGE: the event carries (0, 0, 0)

// Event queue and sending.
int32_t Server_EventPoolCreate(void);
void Server_QueueEvent(uint16_t id, uint32_t value, const FixWorldPos* position, int32_t delivery, int32_t target,
                       uint32_t range, int32_t retries);
void Server_QueueObjectEvent(uint16_t id, const ObjectRecord* object, const void* data, uint32_t size,
                             int32_t delivery, int32_t target);
void Server_SendTextEvent(const char* text, int32_t delivery, int32_t target, int32_t value);
void Server_SendNameEvent(int32_t slot);
void Server_SendScores(int32_t delivery, int32_t target);
void Server_SendPlayers(void);
void Server_EventConfirmed(PlayerSlot* slot, uint32_t tag);
void Server_StaticBatchConfirmed(PlayerSlot* slot);

// Joining and leaving.
void Server_RegisterSessionCallbacks(void);
// A player joined: its id and descriptor come from the transport state (the
// local player's from the shared descriptor buffer).
void Server_PlayerJoined(void);
void Server_PlayerRestart(int32_t slot);
// Level start of every used slot: after a reload its aircraft object is made
// again; after a replay the kept object is registered in the new world.
void Server_PlayersPrepare(void);
void Server_PlayersReleaseObjects(void);
// The slot's list of static objects, nearest first (remote players only).
void Server_BuildStaticList(int32_t slot);
// The far-object queue buffer of a slot: 400 entries of 4 bytes.
constexpr uint32_t SERVER_FAR_QUEUE_BYTES = 1600;
void Server_SquadronAnnounceStart(int32_t slot);
void Server_SquadronAnnounceNext(int32_t slot);
void Server_StatusPageDraw(void);
void Server_PeakPlayersReset(void);
void Server_LoadRingClear(void);
extern int32_t Server_ReceiveLoad;

// Deaths.
void Server_PlayerExploded(void);
void Server_CrashTextSend(void);
extern int32_t Server_NoCollision;
extern int32_t Server_NoDamage;

// Console and window title.
void Server_ConsoleCommand(const char* line);
void Server_ConsoleEditLine(int32_t character);
void Server_ChatLogCreate(int32_t lines);
void Server_ChatLogFree(void);
void Server_WindowTitleUpdate(void);
void Server_PlaneCountersClear(void);

// Master-server announcement.
void Server_AnnounceOpen(void);
void Server_AnnounceRefresh(void);
void Server_AnnounceDelete(void);
void Server_AnnounceClose(void);

// Game-type rules.
void Server_SelectRules(void);
void Server_RulesFrame(void);
void Server_RulesReset(int32_t slot);
void Server_RulesDeath(int32_t slot);
void Server_RulesScore(int32_t slot);
void Server_RulesDeathmatchEnd(void);
void Server_RulesFlagEnd(int32_t side);

// The censor's verdict on a chat line: nonzero when refused.
int32_t chat_CensorCheck(const char* text);
