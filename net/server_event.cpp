// The server's game events and the packets to the players: one queue for the
// whole server, a pending list per player, each player's packet assembled in
// the one send buffer and sent through the transport or the bridge.
#include <cstring>

#include "base/le.h"
#include "base/list.h"
#include "base/mem.h"
#include "display/dsurf.h"
#include "net/bridge.h"
#include "net/driver.h"
#include "net/msg.h"
#include "net/server.h"
#include "net/server_calls.h"
#include "shell/dump.h"
#include "sim/ai.h"
#include "sim/obj.h"

ServerOutgoingEvent Server_OutgoingEvent;

namespace {

constexpr int32_t RETRIES_TEXT = 16;
constexpr int32_t RETRIES_LONG = 0x400;
constexpr uint32_t BULLET_RANGE = 0x4740000;
// The debug path of an object is drawn in this colour slot (white).
constexpr int32_t DEBUG_PATH_COLOUR_SLOT = 15;

PlayerSlot* SlotAt(int32_t i) {
    if (!Server.player || i < 0 || i >= SERVER_PLAYERS) return nullptr;
    return &Server.player[i];
}

void Put16(uint8_t* p, uint16_t v) { LeSpanWriter(p, 2).u16(v); }
void Put32(uint8_t* p, uint32_t v) { LeSpanWriter(p, 4).u32(v); }

FixVec3 VecOf(const FixWorldPos& p) { return FixVec3{(int32_t)p.x, (int32_t)p.y, (int32_t)p.z}; }

int16_t Retries(int32_t r) { return (int16_t)(r > 0x7FFF ? 0x7FFF : r < -0x8000 ? -0x8000 : r); }

NetQueuedMessage* NodeTake(void) {
    if (!Server.eventPool.block) return nullptr;
    return reinterpret_cast<NetQueuedMessage*>(list_PoolTake(&Server.eventPool));
}

// Writes the event with encode into a server node and queues it: nothing
// when no node is free or the event does not encode.
template <typename Encode>
void Queue(int32_t kind, uint32_t range, int32_t target, int32_t retries, uint16_t side, const FixWorldPos* centre,
           Encode encode) {
    NetQueuedMessage* n = NodeTake();
    if (!n) return;
    LeSpanWriter w(n->record, sizeof n->record);
    if (encode(&w) != 0) {
        list_PoolGiveBack(&Server.eventPool, &n->link);
        return;
    }
    n->length = (uint16_t)w.pos;
    n->kind = (uint16_t)(kind & SERVER_KIND_MASK);
    n->retries = Retries(retries);
    n->range = range;
    n->target = SlotAt(target);
    n->side = side;
    n->centre = centre ? *centre : FixWorldPos{0, 0, 0};
    list_PushFront(&Server.eventQueue, &n->link);
}

// Whether the slot is one the node is for.
bool Delivers(const NetQueuedMessage* n, const PlayerSlot* s) {
    if ((n->kind & SERVER_TO_ALL_EXCEPT) && s == n->target) return false;
    if ((n->kind & SERVER_TO_PLAYER) && s != n->target) return false;
    if ((n->kind & SERVER_TO_SIDE) && (uint16_t)s->side != n->side) return false;
    if (n->kind & SERVER_IN_RANGE) {
        if (!s->aircraft) return false;
        FixVec3 d{(int32_t)(n->centre.x - s->aircraft->position.x), (int32_t)(n->centre.y - s->aircraft->position.y),
                  (int32_t)(n->centre.z - s->aircraft->position.z)};
        if ((uint32_t)fix_ApproxLength(&d) > n->range) return false;
    }
    return true;
}

void Release(PlayerSlot* s, ListNode* node) {
    list_Remove(&s->pendingEvents, node);
    list_PoolGiveBack(&s->eventPool, node);
}

// Bytes left for the event records: what follows them (the object record
// unless the slot is blocked, and the end) keeps its room.
size_t EventRoom(const PlayerSlot* s) {
    size_t after = MSG_END_LENGTH + (s->blocked ? 0 : SERVER_OBJECTDATA_MAX);
    size_t used = (size_t)Server.send_buffer_size + after;
    return used < SERVER_SEND_BUFFER_SIZE ? SERVER_SEND_BUFFER_SIZE - used : 0;
}

// MSG_EVENTDATA with the pending events, newest first. Each copy spends one
// retry; a spent event leaves the list after this copy. An event that does
// not fit stops the record and stays pending with its retries.
void WriteEventData(PlayerSlot* s) {
    size_t room = EventRoom(s);
    if (room < MSG_EVENTDATA_HEAD) return;
    uint8_t* head = Server.send_buffer_ptr + Server.send_buffer_size;
    size_t bytes = MSG_EVENTDATA_HEAD;
    uint16_t count = 0;
    ListNode* next;
    for (ListNode* node = s->pendingEvents; node; node = next) {
        next = node->next;
        NetQueuedMessage* e = reinterpret_cast<NetQueuedMessage*>(node);
        if (bytes + e->length > room || bytes + e->length > 0xFFFF) break;
        memcpy(head + bytes, e->record, e->length);
        bytes += e->length;
        count++;
        if (--e->retries <= 0) Release(s, node);
    }
    if (count == 0) return;
    Put16(head, MSG_EVENTDATA);
    Put16(head + 2, (uint16_t)bytes);
    Put16(head + 4, count);
    Server.send_buffer_size += (int32_t)bytes;
}

LeSpanWriter Tail(void) {
    return LeSpanWriter(Server.send_buffer_ptr + Server.send_buffer_size,
                        SERVER_SEND_BUFFER_SIZE - (size_t)Server.send_buffer_size);
}

void WritePlayerInfo(PlayerSlot* s) {
    MsgPlayerInfo m{};
    m.frame = (int32_t)Server.frame;
    if (ObjectRecord* a = s->aircraft) {
        m.mark = a->drawFlags;
        a->drawFlags = 0;
        m.sideActive = ai_AirStartCount[(a->flags & OBJ_FLAG_ALLIANCE_B) ? 1 : 0] != 0 ? 1 : 0;
    }
    m.score = (int16_t)s->score;
    m.runNumber = Server.runNumber;
    LeSpanWriter w = Tail();
    if (msg_PlayerInfoEncode(&w, &m) == 0) Server.send_buffer_size += (int32_t)w.pos;
}

void WriteConfirm(PlayerSlot* s) {
    uint32_t n = s->confirmCount < SERVER_SLOT_TAGS ? s->confirmCount : SERVER_SLOT_TAGS;
    LeSpanWriter w = Tail();
    if (msg_MsgConfirmEncode(&w, s->confirmTags, n) == 0) Server.send_buffer_size += (int32_t)w.pos;
    s->confirmCount = 0;
}

}  // namespace

// ---- Pools and per-player memory ----

int32_t Server_EventPoolCreate(void) {
    memset(&Server.eventPool, 0, sizeof Server.eventPool);
    Server.eventQueue = nullptr;
    return list_PoolCreate(sizeof(NetQueuedMessage), SERVER_EVENTS, &Server.eventPool);
}

int32_t Server_PlayerMemCreate(int32_t slot) {
    PlayerSlot* s = SlotAt(slot);
    if (!s) return -1;
    s->memStart = mem_AllocEx(0, 4, "PLAYER MEM START");
    if (!s->memStart) return -1;
    s->confirmTags = static_cast<uint32_t*>(mem_AllocEx(SERVER_SLOT_TAGS * 4, 4, "PLAYER CONFIRM BUFFER"));
    s->receivedTags = static_cast<uint32_t*>(mem_AllocEx(SERVER_SLOT_TAGS * 4, 4, "PLAYER EVENT TAG BUFFER"));
    s->objectQueue = mem_AllocEx(SERVER_FAR_QUEUE_BYTES, alignof(ObjHandle), "PLAYER OBJ QUE");
    memset(&s->eventPool, 0, sizeof s->eventPool);
    int32_t pool = list_PoolCreate(sizeof(NetQueuedMessage), SERVER_SLOT_EVENTS, &s->eventPool);
    s->memEnd = pool == 0 ? mem_AllocEx(0, 4, "PLAYER MEM END") : nullptr;
    if (!s->confirmTags || !s->receivedTags || !s->objectQueue || !s->memEnd) {
        // Nothing was allocated after the start mark but these.
        mem_FreeFrom(s->memStart);
        s->memStart = s->memEnd = nullptr;
        s->confirmTags = s->receivedTags = nullptr;
        s->objectQueue = s->objectQueueRead = nullptr;
        memset(&s->eventPool, 0, sizeof s->eventPool);
        s->pendingEvents = nullptr;
        return -1;
    }
    memset(s->confirmTags, 0, SERVER_SLOT_TAGS * 4);
    memset(s->objectQueue, 0, SERVER_FAR_QUEUE_BYTES);
    s->objectQueueRead = s->objectQueue;
    s->confirmCount = 0;
    s->receivedCount = 0;
    s->pendingEvents = nullptr;
    return 0;
}

// ---- Queueing ----

void Server_QueueEvent(void) {
    const ServerOutgoingEvent& f = Server_OutgoingEvent;
    MsgEventCommon m{};
    m.id = f.id;
    m.value = f.value;
    if (f.position && !(f.kind & SERVER_NO_POSITION)) m.position = VecOf(*f.position);
    Queue(f.kind, f.range, f.target, f.retries, f.side, f.position,
          [&](LeSpanWriter* w) { return msg_EventCommonEncode(w, &m); });
}

void Server_SendTextEvent(void) {
    const ServerOutgoingEvent& f = Server_OutgoingEvent;
    const char* text = f.text ? f.text : "";
    Server_ChatLogAdd(text);
    MsgEventText m{};
    m.sound = (uint16_t)f.value;
    size_t len = strnlen(text, EVENT_TEXT_MAX_CHARS);
    memcpy(m.text, text, len);
    m.text[len] = 0;
    Queue(f.kind, 0, f.target, RETRIES_TEXT, f.side, nullptr,
          [&](LeSpanWriter* w) { return msg_EventTextEncode(w, &m); });
}

void Server_QueueScores(void) {
    const ServerOutgoingEvent& f = Server_OutgoingEvent;
    if (!Server.player) return;
    list_SortCountC = 0;
    for (int32_t i = 0; i < SERVER_PLAYERS; i++) {
        const PlayerSlot* s = &Server.player[i];
        if (!s->inUse) continue;
        list_SortArrayC[list_SortCountC++] = ListSortPair{(int32_t)s->playerId, s->score};
    }
    list_SortDescC();
    MsgEventScores m{};
    m.count = (uint32_t)(list_SortCountC < (int32_t)EVENT_SCORES_MAX ? list_SortCountC : (int32_t)EVENT_SCORES_MAX);
    for (uint32_t i = 0; i < m.count; i++)
        m.entries[i] = MsgScoreEntry{(uint16_t)list_SortArrayC[i].key, (int16_t)list_SortArrayC[i].value};
    Queue(f.kind, 0, f.target, RETRIES_LONG, f.side, nullptr,
          [&](LeSpanWriter* w) { return msg_EventScoresEncode(w, &m); });
}

void Server_QueueName(void) {
    const PlayerSlot* s = SlotAt(Server_OutgoingEvent.target);
    if (!s) return;
    MsgEventName m{};
    m.player = (uint16_t)s->playerId;
    if (s->name) strncpy(m.name, s->name, sizeof m.name - 1);
    memcpy(m.plane, s->block.name, sizeof m.plane - 1);
    m.side = (uint16_t)s->side;
    m.squadron = s->squadron;
    Queue(SERVER_TO_ALL, 0, -1, RETRIES_LONG, 0, nullptr,
          [&](LeSpanWriter* w) { return msg_EventNameEncode(w, &m); });
}

void Server_QueueSquadron(void) {
    const ServerOutgoingEvent& f = Server_OutgoingEvent;
    MsgEventSquadron m{};
    m.slot = (uint16_t)f.value;
    m.answer = (uint16_t)f.value2;
    if (f.text) strncpy(m.name, f.text, sizeof m.name - 1);
    Queue(f.kind, 0, f.target, RETRIES_LONG, f.side, nullptr,
          [&](LeSpanWriter* w) { return msg_EventSquadronEncode(w, &m); });
}

void Server_QueueLevelReset(void) {
    const ServerOutgoingEvent& f = Server_OutgoingEvent;
    MsgEventLevelReset m{};
    m.restart = (uint16_t)f.value;
    m.runNumber = Server.runNumber + 1;
    Queue(f.kind, f.range, f.target, RETRIES_LONG, f.side, f.position,
          [&](LeSpanWriter* w) { return msg_EventLevelResetEncode(w, &m); });
}

void Server_QueueBullet(const ObjectRecord* bullet, uint8_t weaponType, uint8_t flag) {
    if (!bullet) return;
    MsgBullet m{};
    m.id = bullet->serial;
    m.position = VecOf(bullet->position);
    m.velocity = bullet->velocity;
    m.angles = bullet->angles;
    m.frame = (uint16_t)Server.frame;
    m.weaponType = weaponType;
    m.flag = flag;
    int32_t sender = ServerPlayerPtr && Server.player ? (int32_t)(ServerPlayerPtr - Server.player) : -1;
    Queue(SERVER_IN_RANGE | SERVER_TO_ALL_EXCEPT, BULLET_RANGE, sender, 1, 0, &bullet->position,
          [&](LeSpanWriter* w) { return msg_EventBulletEncode(w, &m); });
}

void Server_QueueDynamicModel(int32_t slot, const char* name, int32_t release) {
    MsgEventDynamicModel m{};
    m.release = release ? 1 : 0;
    m.id = (uint32_t)slot;
    if (!release && name) strncpy(m.name, name, sizeof m.name - 1);
    Queue(SERVER_TO_ALL, 0, -1, RETRIES_LONG, 0, nullptr,
          [&](LeSpanWriter* w) { return msg_EventDynamicModelEncode(w, &m); });
}

int32_t Server_ObjectEvents;

void Server_QueueObjectEvent(const ObjectRecord* object, uint32_t flag) {
    if (!object) return;
    MsgEventDebugPath m{};
    m.remove = flag;
    m.key = object->serial;
    if (flag == 0) {
        m.colour = draw_Context.slots[DEBUG_PATH_COLOUR_SLOT].index;
        m.position = VecOf(object->position);
    }
    Queue(SERVER_TO_ALL, 0, -1, RETRIES_LONG, 0, nullptr,
          [&](LeSpanWriter* w) { return msg_EventDebugPathEncode(w, &m); });
}

// ---- Plain-call forms ----

void Server_CallQueueEvent(uint16_t id, uint32_t value, const FixWorldPos* position, int32_t kind, int32_t target,
                           uint32_t range, int32_t retries) {
    ServerOutgoingEvent& f = Server_OutgoingEvent;
    f.kind = kind;
    f.id = id;
    f.value = value;
    f.position = position;
    f.target = target;
    f.range = range;
    f.retries = retries;
    f.side = 0;
    Server_QueueEvent();
}

void Server_CallSendText(const char* text, int32_t kind, int32_t target, int32_t value) {
    ServerOutgoingEvent& f = Server_OutgoingEvent;
    f.text = text;
    f.kind = kind;
    f.target = target;
    f.side = (uint16_t)target;
    f.value = (uint32_t)value;
    Server_SendTextEvent();
}

void Server_CallSendName(int32_t slot) {
    Server_OutgoingEvent.target = slot;
    Server_QueueName();
}

void Server_CallSendSquadron(int32_t kind, int32_t target, int32_t value, int32_t value2, const char* name) {
    ServerOutgoingEvent& f = Server_OutgoingEvent;
    f.kind = kind;
    f.target = target;
    f.side = (uint16_t)target;
    f.value = (uint32_t)value;
    f.value2 = (uint32_t)value2;
    f.text = name;
    Server_QueueSquadron();
}

// ---- Distribution, assembly, sending ----

void Server_EventsDistribute(void) {
    if (Server.player) {
        for (int32_t i = 0; i < SERVER_PLAYERS; i++) {
            PlayerSlot* s = &Server.player[i];
            if (!s->inUse || !s->eventPool.block) continue;
            for (ListNode* node = Server.eventQueue; node; node = node->next) {
                const NetQueuedMessage* n = reinterpret_cast<const NetQueuedMessage*>(node);
                if (!Delivers(n, s)) continue;
                NetQueuedMessage* c = reinterpret_cast<NetQueuedMessage*>(list_PoolTake(&s->eventPool));
                if (!c) continue;  // lost for this player only
                c->kind = n->kind;
                c->retries = n->retries;
                c->range = n->range;
                c->target = n->target;
                c->side = n->side;
                c->centre = n->centre;
                c->length = n->length;
                memcpy(c->record, n->record, n->length);
                Put32(c->record + 4, c->link.serial);
                list_PushFront(&s->pendingEvents, &c->link);
            }
        }
    }
    while (ListNode* node = Server.eventQueue) {
        list_Remove(&Server.eventQueue, node);
        list_PoolGiveBack(&Server.eventPool, node);
    }
}

int32_t Server_AssemblePacket(int32_t slot) {
    PlayerSlot* s = SlotAt(slot);
    Server.send_buffer_size = 0;
    if (!s || !Server.send_buffer_ptr) return 0;
    if (s->startupPending) {
        // Only the start-up record; the end keeps its room.
        Server.send_buffer_size = (int32_t)Server_StartupRecordWrite(
            Server.send_buffer_ptr, SERVER_SEND_BUFFER_SIZE - MSG_END_LENGTH, slot);
    } else {
        WritePlayerInfo(s);
        if (s->staticPending) Server_WriteStaticData(slot);
        if (s->confirmCount && s->confirmTags) WriteConfirm(s);
        if (s->pendingEvents) WriteEventData(s);
        if (!s->blocked) Server_WriteObjectData(slot);
    }
    if (Server.send_buffer_size >= 0 && Server.send_buffer_size <= SERVER_SEND_BUFFER_SIZE) {
        LeSpanWriter w = Tail();
        if (msg_EndEncode(&w) == 0) Server.send_buffer_size += (int32_t)w.pos;
    }
    if (Server.send_buffer_size > Server_LargestPacket) Server_LargestPacket = Server.send_buffer_size;
    return Server.send_buffer_size;
}

void Server_SendToPLayer(int32_t slot) {
    PlayerSlot* s = SlotAt(slot);
    if (!s) return;
    int32_t size = Server.send_buffer_size;
    Server_LoadRingAdd(size);
    if (size < 0 || size > SERVER_SEND_BUFFER_SIZE) dump_PacketAndAbort(size);
    if (s->remote) {
        uint32_t before = net_DriverSendRetries();
        net_SendToClient(Server.send_buffer_ptr, (uint32_t)size, s->netPlayerId);
        Server_ReceiveLoad += (int32_t)(net_DriverSendRetries() - before);
    } else {
        bridge_Write(1, Server.send_buffer_ptr, (size_t)size);
    }
}

void Server_SendPlayers(void) {
    if (!Server.player) return;
    Server_EventsDistribute();
    uint32_t phase = Server.frame & (uint32_t)Server.updateMask;
    for (int32_t i = 0; i < SERVER_PLAYERS; i++) {
        const PlayerSlot* s = &Server.player[i];
        if (((uint32_t)i & (uint32_t)Server.updateMask) != phase || !s->inUse) continue;
        if (!s->active && !s->startupPending) continue;
        Server_AssemblePacket(i);
        Server_SendToPLayer(i);
    }
}

void Server_EventConfirmed(PlayerSlot* slot, uint32_t tag) {
    if (!slot) return;
    for (ListNode* node = slot->pendingEvents; node; node = node->next) {
        if (node->serial != tag) continue;
        Release(slot, node);
        return;
    }
}
