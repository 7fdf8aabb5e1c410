// Players entering and leaving the server's slots: the session callbacks,
// the join and leave steps, a slot's restart and the squadron
// announcements, with the player counts.
#include <cstring>
#include <vector>

#include "base/le.h"
#include "base/mem.h"
#include "base/text.h"
#include "cockpit/tacmap.h"
#include "net/bridge.h"
#include "net/driver.h"
#include "net/msg.h"
#include "net/player.h"
#include "net/rules.h"
#include "net/server.h"
#include "net/server_calls.h"
#include "platform/simlog.h"
#include "shell/appstr.h"
#include "shell/settings.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/levelseq.h"
#include "world/model.h"
#include "world/pak.h"
#include "world/orf.h"

int32_t Server_SessionNetId = 0;
const uint8_t* Server_JoiningData = nullptr;
size_t Server_JoiningDataSize = 0;
int32_t Server_ConnectionFlag = 0;

namespace {

constexpr uint32_t LEAVE_RANGE = 0x3E580000u;
constexpr int32_t LEAVE_RETRIES = 0x400;
constexpr int32_t TEXT_SIZE = 160;

PlayerSlot* SlotAt(int32_t i) {
    if (!Server.player || i < 0 || i >= SERVER_PLAYERS) return nullptr;
    return &Server.player[i];
}

int32_t FirstFreeSlot(void) {
    for (int32_t i = 0; i < SERVER_PLAYERS; i++)
        if (!Server.player[i].inUse) return i;
    return -1;
}

// The aircraft type of a block; an unknown one flies as the shipped type.
const _PLANE_TYPE* BlockType(const PlayerAircraftBlock* b) {
    char name[sizeof b->name + 1] = {};
    memcpy(name, b->name, sizeof b->name);
    const _PLANE_TYPE* t = name[0] ? plane_TypeFind(name) : nullptr;
    return t ? t : &plane_TypeKrx;
}

// The block's model file as a terminated plain file name; the type's
// exterior model when the block's is missing, unterminated or a path.
void ModelName(const PlayerAircraftBlock* b, char* out, size_t size) {
    char name[MODEL_DYMOD_NAME_SIZE + 1] = {};
    memcpy(name, b->modelFile, sizeof b->modelFile < MODEL_DYMOD_NAME_SIZE ? sizeof b->modelFile : MODEL_DYMOD_NAME_SIZE);
    bool terminated = memchr(b->modelFile, 0, sizeof b->modelFile) != nullptr;
    if (!terminated || !name[0] || !level_NameIsPlain(name, MODEL_DYMOD_NAME_SIZE))
        text_CopyZ(name, BlockType(b)->exteriorModel, sizeof name);
    text_CopyZ(out, name, size);
}

// A refused player learns why from the join result of a start-up record
// sent to it alone; it gets no slot. Reply code 3 (no team) is the second
// refusal state, anything else (a full team, a full server) the first.
void JoinRefuse(int32_t netId, int32_t reply) {
    plat_SimLog("slot", "refused net=%d code=%d", netId, reply);
    if (!Server.send_buffer_ptr) return;
    PlayerStartupSource src{};
    src.joinResult = player_JoinResult(0, 0, 0, reply == RULES_REPLY_NO_TEAM ? 2 : 1);
    uint32_t size = player_StartupWrite(Server.send_buffer_ptr, SERVER_SEND_BUFFER_SIZE - MSG_END_LENGTH, &src);
    if (!size) return;
    LeSpanWriter w{Server.send_buffer_ptr + size, SERVER_SEND_BUFFER_SIZE - size};
    if (msg_EndEncode(&w) != 0) return;
    size += static_cast<uint32_t>(w.pos);
    if (netId != 0)
        net_SendToClient(Server.send_buffer_ptr, size, static_cast<uint32_t>(netId));
    else
        bridge_Write(1, Server.send_buffer_ptr, size);
}

// Frees the aircraft object and every reference to it.
void AircraftDrop(PlayerSlot* s) {
    ObjectRecord* a = s->aircraft;
    if (!a) return;
    obj_Free(a);
    obj_TypeListUnlink(a);
    obj_ReplaceTargetRefs(a);
    for (ObjectRecord* o = Server.objects; o; o = o->next)
        if (o->target == a) o->target = nullptr;
    for (int32_t i = 0; i < SERVER_PLAYERS; i++)
        if (Server.player[i].lastTarget == a) Server.player[i].lastTarget = nullptr;
    s->aircraft = nullptr;
}

// A join or leave without the transport is the local player's.
void SessionReset(void) {
    Server_SessionNetId = 0;
    Server_JoiningData = nullptr;
    Server_JoiningDataSize = 0;
}
// Through the transport: the player the driver heard last, and on a join
// the descriptor it read.
void OnJoined(const void*, uint32_t) {
    uint32_t size = 0;
    Server_SessionNetId = (int32_t)net_Counters.lastSender;
    Server_JoiningData = net_PlayerData(&size);
    Server_JoiningDataSize = Server_JoiningData ? size : 0;
    Server_PlayerJoined();
    SessionReset();
}
void OnLeft(const void*, uint32_t) {
    Server_SessionNetId = (int32_t)net_Counters.lastSender;
    Server_PlayerLeft();
    SessionReset();
}
void OnConnection(const void*, uint32_t) { Server_ConnectionLost(); }

}  // namespace

void Server_RegisterSessionCallbacks(void) {
    net_DriverCallbackSet(NET_CALLBACK_PLAYER_JOINED, OnJoined);
    net_DriverCallbackSet(NET_CALLBACK_PLAYER_LEFT, OnLeft);
    net_DriverCallbackSet(NET_CALLBACK_SESSION_LOST, OnConnection);
    // A new session starts without the last one's lost connection.
    Server_ConnectionFlag = 0;
}

void Server_PlayerJoined(void) {
    if (!Server.player) return;
    int32_t netId = Server_SessionNetId;
    // The descriptor: the local player's in the shared buffer, a remote
    // player's from the transport. One that does not read gets no slot.
    const uint8_t* data = netId == 0 ? player_DescriptorBuffer : Server_JoiningData;
    size_t dataSize = netId == 0 ? sizeof player_DescriptorBuffer : Server_JoiningDataSize;
    static PlayerSlotRecords records;
    if (player_DescriptorApply(data, dataSize, &records) != 0) {
        JoinRefuse(netId, 0);
        return;
    }

    int32_t reply = 0;
    int32_t slot;
    RulesRecord* rules = rules_Current();
    bool ruled = rules && rules->teamChoice;
    if (ruled) {
        RulesJoin join{records.sideText, 0, 0};
        slot = rules->teamChoice(&join, &reply);
        if (slot >= SERVER_PLAYERS) slot = -1;
        if (slot >= 0 && Server.player[slot].inUse) {
            if (rules->playerLeft) rules->playerLeft(slot);
            slot = -1;
            reply = RULES_REPLY_TEAM_FULL;
        }
    } else {
        slot = FirstFreeSlot();
    }
    if (slot < 0) {
        JoinRefuse(netId, reply);
        return;
    }

    PlayerSlot* s = &Server.player[slot];
    memset(s, 0, sizeof *s);
    s->playerId = static_cast<uint32_t>(slot);
    if (Server_PlayerMemCreate(slot) != 0) {
        // No room for its buffers: as good as a full server.
        if (ruled && rules->playerLeft) rules->playerLeft(slot);
        memset(s, 0, sizeof *s);
        s->squadron = 0xFFFF;
        JoinRefuse(netId, 0);
        return;
    }
    s->block = records.blocks[0];
    s->stored[0] = records.blocks[1];
    s->stored[1] = records.blocks[2];

    Server.playerCount++;
    Server.totalJoins++;
    if (Server.playerCount > Server.peakPlayers) Server.peakPlayers = Server.playerCount;

    if (!level_GameMode.singlePlayer) {
        // Team play keeps no score fields of an earlier game.
        for (PlayerAircraftBlock& b : s->stored) b.teamFields[0] = b.teamFields[1] = 0;
    }
    s->side = -1;
    s->countdown = SERVER_JOIN_COUNTDOWN;

    s->aircraft = level_PlayerObjectCreate(slot);
    s->squadron = 0xFFFF;
    if (rules && rules->playerObjectMade) rules->playerObjectMade(slot);

    s->inUse = 1;
    s->restartRequest = 1;
    s->squadronCursor = 0;
    s->netPlayerId = static_cast<uint32_t>(netId);
    s->remote = netId != 0;

    const char* name = s->remote ? net_GetPlayerName((uint32_t)netId) : app_Settings.PLAYER_NAME;
    if (!name || !name[0]) name = "N/A";
    PlayerTableEntry* entry = &player_Table[slot];
    memset(entry, 0, sizeof *entry);
    text_CopyZ(entry->name, name, sizeof entry->name);
    memcpy(entry->aircraft, s->block.name, sizeof entry->aircraft);
    entry->aircraft[sizeof entry->aircraft - 1] = 0;
    entry->side = static_cast<int16_t>(s->side);
    entry->squadron = s->squadron;
    s->name = entry->name;

    if (s->remote) Server_BuildStaticList(slot);
    s->startupSerial++;
    s->startupPending = 1;

    char model[MODEL_DYMOD_NAME_SIZE + 1];
    ModelName(&s->stored[0], model, sizeof model);
    s->dymodSlot = model_NamedRefAcquire(model);
    if (s->aircraft) {
        s->aircraft->modelSlot = static_cast<uint16_t>(s->dymodSlot);
        s->pakHandle = pak_Load("paper.pak");
        s->aircraft->model = s->pakHandle;
    }
    Server_PlaneCountsUpdate();
    plat_SimLog("slot", "join %d net=%d players=%d", slot, netId, Server.playerCount);
}

void Server_PlayerLeft(void) {
    if (!Server.player) return;
    int32_t netId = Server_SessionNetId;
    int32_t slot = -1;
    for (int32_t i = 0; i < SERVER_PLAYERS && slot < 0; i++)
        if (Server.player[i].inUse && Server.player[i].netPlayerId == static_cast<uint32_t>(netId)) slot = i;
    if (slot < 0) return;
    PlayerSlot* s = &Server.player[slot];

    Server.playerCount--;
    model_NamedRefRelease(s->dymodSlot);
    s->inUse = 0;
    if (s->memStart && s->memEnd) mem_FreeBetween(s->memStart, s->memEnd);
    s->memStart = s->memEnd = nullptr;
    s->confirmTags = s->receivedTags = nullptr;
    s->objectQueue = s->objectQueueRead = nullptr;
    s->pendingEvents = nullptr;
    memset(&s->eventPool, 0, sizeof s->eventPool);

    const char* format = app_StringGet(562);
    if (format) {
        char text[TEXT_SIZE];
        text_Format(format, text, sizeof text, s->name ? s->name : "");
        Server_CallSendText(text, SERVER_TO_ALL, 0, 3);
    }
    if (RulesRecord* rules = rules_Current(); rules && rules->playerLeft) rules->playerLeft(slot);

    if (s->aircraft) {
        FixWorldPos at = s->aircraft->position;
        Server_CallQueueEvent(EVENT_AIREXPLODE, s->aircraft->netId, &at, SERVER_IN_RANGE | SERVER_TO_ALL_EXCEPT, slot,
                              LEAVE_RANGE, LEAVE_RETRIES);
    }
    Server_OutgoingEvent.kind = SERVER_TO_ALL;
    Server_OutgoingEvent.target = 0;
    Server_QueueScores();

    // An empty name marks the slot free on the clients.
    if (s->playerId < static_cast<uint32_t>(PLAYER_TABLE_SIZE)) player_Table[s->playerId].name[0] = 0;
    Server_CallSendName(slot);

    AircraftDrop(s);
    Server_PlaneCountsUpdate();
    plat_SimLog("slot", "leave %d players=%d", slot, Server.playerCount);
}

void Server_ConnectionLost(void) { Server_ConnectionFlag = 1; }

void Server_PlayerRestart(int32_t slot) {
    PlayerSlot* s = SlotAt(slot);
    if (!s || !s->inUse) return;
    s->framesSince = 0;
    s->expectedFrames = Server.updateInterval;
    s->restartRequest = 0;
    s->active = 1;
    if (RulesRecord* rules = rules_Current(); rules && rules->playerJoined) rules->playerJoined(slot);
    Server_CallSendName(slot);
    Server_OutgoingEvent.kind = SERVER_TO_ALL;
    Server_OutgoingEvent.target = 0;
    Server_QueueScores();
    if (const _DYMOD* d = model_DymodFind(&model_ServerDymods, s->dymodSlot)) {
        char name[MODEL_DYMOD_NAME_SIZE + 1] = {};
        memcpy(name, d->name, MODEL_DYMOD_NAME_SIZE);
        Server_QueueDynamicModel(s->dymodSlot, name, 0);
    }
}

void Server_PeakPlayersReset(void) { Server.peakPlayers = Server.playerCount; }

void Server_SquadronAnnounce(int32_t slot) {
    PlayerSlot* s = SlotAt(slot);
    if (!s || !s->inUse || !s->remote || !tacmap_SquadronBuffer) return;
    constexpr size_t field = TACMAP_SQUADRON_ENTRY_SIZE - TACMAP_SQUADRON_NAME;
    while (s->squadronCursor < static_cast<uint32_t>(TACMAP_SQUADRONS)) {
        const uint8_t* entry = tacmap_SquadronBuffer + s->squadronCursor * TACMAP_SQUADRON_ENTRY_SIZE;
        char name[field + 1] = {};
        memcpy(name, entry + TACMAP_SQUADRON_NAME, field);
        if (name[0]) {
            Server_CallSendSquadron(SERVER_TO_PLAYER, slot, static_cast<int32_t>(s->squadronCursor), 1, name);
            return;
        }
        s->squadronCursor++;
    }
}

void Server_SquadronAnnounceStart(int32_t slot) { Server_SquadronAnnounce(slot); }

void Server_SquadronAnnounceNext(int32_t slot) {
    PlayerSlot* s = SlotAt(slot);
    if (!s || s->squadronCursor >= static_cast<uint32_t>(TACMAP_SQUADRONS)) return;
    s->squadronCursor++;
    Server_SquadronAnnounce(slot);
}

void Server_PlayersFree(void) {
    if (!Server.player) return;
    for (int32_t i = 0; i < SERVER_PLAYERS; i++) {
        PlayerSlot* s = &Server.player[i];
        if (!s->inUse) continue;
        model_NamedRefRelease(s->dymodSlot);
        s->inUse = 0;
        s->active = 0;
        if (s->playerId < static_cast<uint32_t>(PLAYER_TABLE_SIZE)) player_Table[s->playerId].name[0] = 0;
        Server.playerCount--;
        plat_SimLog("slot", "free %d", i);
    }
}

// The slot's start-up record: where its aircraft was placed, the level's
// region and time of day, the slot's side bytes and squadron, its aircraft
// blocks, and the game-type fields the rules write.
uint32_t Server_StartupRecordWrite(uint8_t* record, size_t size, int32_t slot) {
    if (!Server.player || slot < 0 || slot >= SERVER_PLAYERS) return 0;
    const PlayerSlot* s = &Server.player[slot];
    PlayerStartupSource src{};
    src.playerNumber = (uint16_t)s->playerId;
    if (const ObjectRecord* a = s->aircraft) {
        src.startPosition[0] = (int32_t)a->position.x;
        src.startPosition[1] = (int32_t)a->position.y;
        src.startPosition[2] = (int32_t)a->position.z;
        src.startOrientation[0] = (uint32_t)a->angles.heading;
        src.startOrientation[1] = (uint32_t)a->angles.pitch;
        src.startOrientation[2] = (uint32_t)a->angles.roll;
        src.modelSlot = a->modelSlot;
        src.sides[1] = (uint8_t)a->flags;
    }
    src.sides[0] = (uint8_t)s->side;
    src.levelRunNumber = Server.runNumber;
    src.startupNumber = s->startupSerial;
    src.region = (int8_t)level_Region;
    src.timeOfDay = (int8_t)level_TimeOfDay;
    src.squadron = s->squadron;
    src.blocks[0] = &s->stored[0];
    src.blocks[1] = &s->stored[1];
    // What a client in its own process needs to load the level itself: the
    // mission and terrain reference names, and the mission's model list.
    src.strings[PLAYER_TEXT_MISSION] = level_MissionNames.mission;
    src.strings[PLAYER_TEXT_REFERENCE] = level_MissionNames.reference;
    std::vector<const char*> models;
    if (level_Mission && level_Mission->models.records) {
        const uint32_t count = level_Mission->models.count < 0xFFFFu ? level_Mission->models.count : 0xFFFFu;
        for (uint32_t i = 0; i < count; i++)
            models.push_back((const char*)level_Mission->models.records + (size_t)i * ORF_MODEL_NAME_SIZE);
        src.missionNames = models.data();
        src.missionNameCount = (uint16_t)count;
    }
    if (RulesRecord* r = rules_Current(); r && r->startupFields) r->startupFields(&src);
    return player_StartupWrite(record, size, &src);
}
