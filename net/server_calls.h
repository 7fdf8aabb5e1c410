// Server routines the frame and the handlers call that belong to the object
// records, joining, deaths, the console, the announcement and the rules.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/fix.h"
#include "net/server.h"  // the event queue and its delivery kinds
#include "sim/obj.h"     // ObjHandle

struct PlayerSlot;
struct ObjectRecord;

// The parts of the packet others write, and the traffic statistics.
// Append MSG_STATICDATA and MSG_OBJECTDATA to the packet being assembled and
// add their size to the send size.
void Server_WriteStaticData(int32_t slot);
void Server_WriteObjectData(int32_t slot);
// Writes the slot's MSG_STARTUPDATA record: its length, 0 when it does not fit.
uint32_t Server_StartupRecordWrite(uint8_t* record, size_t size, int32_t slot);
// The send size of a packet, for the load ring; the largest packet sent.
void Server_LoadRingAdd(int32_t size);
extern int32_t Server_LargestPacket;
// A line of the server chat log.
int32_t Server_ChatLogAdd(const char* text);

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
// The client confirmed a static batch: with the slot's current batch serial
// the batch leaves the list; any other serial is ignored.
void Server_ConfirmStatics(PlayerSlot* slot, uint32_t batch);
// Rebuilds the slot's far-object queue.
void Server_BuildObjectQueue(int32_t slot);
// The far-object queue of a slot: 399 checked object references and the end
// mark (an empty handle).
constexpr uint32_t SERVER_FAR_QUEUE_ENTRIES = 400;
constexpr uint32_t SERVER_FAR_QUEUE_BYTES = SERVER_FAR_QUEUE_ENTRIES * sizeof(ObjHandle);
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
int32_t Server_ConsoleCommand(const char* line);
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

// Joining and leaving, the player counts and the traffic statistics.
// The network id of the player joining or leaving (0: the local player)
// and, for a joining remote player, its descriptor: set by the transport
// before it calls the player-joined or player-left callback.
extern int32_t Server_SessionNetId;
extern const uint8_t* Server_JoiningData;
extern size_t Server_JoiningDataSize;
// Set by the session's connection callback; nothing clears it.
extern int32_t Server_ConnectionFlag;
void Server_PlayerLeft(void);
void Server_ConnectionLost(void);
// The slot's next named squadron, when squadrons are in use (remote players).
void Server_SquadronAnnounce(int32_t slot);
// Every used slot given up when the server stops.
void Server_PlayersFree(void);
// Per-aircraft player counts of the console.
void Server_PlaneCountsUpdate(void);
// Dedicated server: the frame's receive load into the statistics arrays.
void Server_StatsFrameEnd(void);
// The 64 most recent send sizes, their average (refreshed by the status
// page) and the packets sent since the start.
constexpr int32_t SERVER_LOAD_RING = 64;
constexpr int32_t SERVER_STATS = 32;
extern int32_t Server_LoadRing[SERVER_LOAD_RING];
extern int32_t Server_LoadRingAverage;
extern uint32_t Server_PacketsSent;
// The dedicated server's page; the receive-load graph and its caption on
// the current surface.
void Server_StatusDraw(void);
void Server_LoadGraphDraw(void);

// The censor's verdict on a chat line: nonzero when refused.
int32_t chat_CensorCheck(const char* text);
