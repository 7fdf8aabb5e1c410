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
// The hit routine of every player aircraft: reads the current hit record.
void Server_PlayerAircraftHit(ObjectRecord* aircraft);
// MSG_PLAYER_EXPLODED: the sender's aircraft dies without a killer.
void Server_PlayerExploded(void);
// A random crash line with the sender's name to all.
void Server_CrashTextSend(void);
// Credits the killer (sides differ or it has none) and announces the kill;
// nothing in single player or for a kill of oneself.
void Server_AnnounceKill(int32_t killerSlot, int32_t victimSlot);
// Every server object targeting the object forgets it; in single player the
// object also leaves its type list and every target reference to it goes.
void Server_ClearTargetsOf(ObjectRecord* object);
// The first half of that: only the server object list's targets.
void Server_TargetsForget(const ObjectRecord* object);
// The used slot whose aircraft the object is, or -1.
int32_t Server_SlotOfAircraft(const ObjectRecord* aircraft);
// The slot's no-damage flag, where it is trusted.
bool Server_SlotNoDamage(const PlayerSlot* slot);
// Developer switches: no collisions, no damage to players.
extern int32_t Server_NoCollision;
extern int32_t Server_NoDamage;
// The death kind EVENT_BEENKILLED carries for a hit (0 unless the rules set one).
extern int32_t Server_DeathKind;

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

