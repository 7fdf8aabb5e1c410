// The server's game events: delivery to the players, retries, confirmation,
// the packet each player gets (its order, its size limit) and the send
// timing.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "base/le.h"
#include "base/mem.h"
#include "net/bridge.h"
#include "net/driver.h"
#include "net/msg.h"
#include "net/server.h"
#include "net/server_calls.h"
#include "sim/ai.h"
#include "sim/obj.h"
#include "world/gamemode.h"

// A scripted transport driver's send to a client: the last packet and its
// receiver; each send costs three busy retries.
namespace {
std::vector<uint8_t> g_sent;
std::vector<uint32_t> g_sentTo;
int32_t ScriptSendToClient(const void* buffer, uint32_t size, uint32_t player) {
    g_sent.assign((const uint8_t*)buffer, (const uint8_t*)buffer + size);
    g_sentTo.push_back(player);
    net_Counters.sendRetries += 3;
    return 0;
}
NetDriverTable g_script;
const NetDriverTable* g_before = nullptr;
}  // namespace

namespace {

// One event as a client reads it.
struct Seen {
    uint16_t id;
    uint32_t tag;
    std::vector<uint8_t> bytes;
};

// The record types of a packet in order, and its events.
struct Read {
    std::vector<uint16_t> types;
    std::vector<Seen> events;
    int32_t status;
};

Read ReadPacket(const uint8_t* p, size_t size) {
    Read out;
    MsgWalker w;
    msg_WalkBegin(&w, p, size);
    MsgRecord r;
    while ((out.status = msg_WalkNext(&w, &r)) == 1) {
        out.types.push_back(r.type);
        if (r.type != MSG_EVENTDATA) continue;
        MsgEventWalker ew;
        EXPECT_EQ(msg_EventWalkBegin(&ew, r.data, r.length), 0);
        MsgRecord e;
        while (msg_EventWalkNext(&ew, &e) == 1) {
            uint32_t tag = 0;
            le_Read32At(e.data, e.length, 4, &tag);
            out.events.push_back(Seen{e.type, tag, std::vector<uint8_t>(e.data, e.data + e.length)});
        }
    }
    return out;
}

int32_t Pending(const PlayerSlot& s) { return list_CountFrom(s.pendingEvents); }

int32_t FreeNodes(const ListPool& pool) { return list_CountFrom(pool.freeHead); }

class ServerEventTest : public ::testing::Test {
protected:
    ObjectRecord aircraft[4]{};

    void SetUp() override {
        g_before = net_DriverTable();
        g_script = net_DriverTableQuillax;
        g_script.sendToClient = ScriptSendToClient;
        net_DriverTableInstall(&g_script);
        mem_CurrentHeap = &mem_MainHeap;
        mem_HeapSizesSet(0x200000, 0x1000, 0x1000);
        ASSERT_EQ(mem_HeapInit(), 0);
        level_GameMode = GameModeFlags{1, 1, 0, 1, 0};
        ASSERT_EQ(Server_RecordCreate(), 0);
        Server.updateInterval = 16;
        Server.updateMask = 15;
        // Slots 0 and 1 near the origin on sides 0 and 1, slot 2 far away on
        // side 0, slot 3 joined without an aircraft.
        const FixWorldPos at[4] = {{0, 0, 0}, {0x100000, 0, 0}, {0x40000000, 0, 0}, {0, 0, 0}};
        const int32_t sides[4] = {0, 1, 0, 1};
        for (int32_t i = 0; i < 4; i++) {
            PlayerSlot* s = &Server.player[i];
            ASSERT_EQ(Server_PlayerMemCreate(i), 0);
            s->inUse = 1;
            s->active = 1;
            s->playerId = (uint32_t)i;
            s->side = sides[i];
            aircraft[i].position = at[i];
            aircraft[i].serial = 101 + 2 * (uint32_t)i;
            s->aircraft = i < 3 ? &aircraft[i] : nullptr;
        }
        g_sent.clear();
        net_Counters.sendRetries = 0;
        memset(&Server_OutgoingEvent, 0, sizeof Server_OutgoingEvent);
    }
    void TearDown() override {
        net_DriverTableInstall(g_before);
        memset(&Server, 0, sizeof Server);
        ServerPlayerPtr = nullptr;
        ServerPlayerObject = nullptr;
        level_GameMode = GameModeFlags{};
        ai_AirStartCount[0] = ai_AirStartCount[1] = 0;
    }
    PlayerSlot& Slot(int32_t i) { return Server.player[i]; }
    // The slot's next packet, as its client reads it.
    Read Packet(int32_t slot) {
        int32_t n = Server_AssemblePacket(slot);
        EXPECT_LE(n, (int32_t)MSG_PACKET_MAX);
        Read r = ReadPacket(Server.send_buffer_ptr, (size_t)n);
        EXPECT_EQ(r.status, 0);
        return r;
    }
    // The client's confirmation of the tags, parsed by the server.
    void Confirm(int32_t slot, const std::vector<uint32_t>& tags) {
        uint8_t bytes[MSG_PACKET_MAX];
        LeSpanWriter w(bytes, sizeof bytes);
        MsgPlayerData pd{};
        pd.owner = (uint16_t)slot;
        pd.frame = ++confirmSequence;
        ASSERT_EQ(msg_PlayerDataEncode(&w, &pd), 0);
        ASSERT_EQ(msg_MsgConfirmEncode(&w, tags.data(), (uint32_t)tags.size()), 0);
        ASSERT_EQ(msg_EndEncode(&w), 0);
        Server_ParsePacket(bytes, w.pos, slot);
    }
    uint32_t confirmSequence = 0;
};

// Who gets an event, by its delivery kind.
TEST_F(ServerEventTest, DeliveryKinds) {
    const FixWorldPos origin{0, 0, 0}, far{0x40000000, 0, 0};
    struct Case {
        const char* what;
        int32_t kind, target;
        uint16_t side;
        const FixWorldPos* at;
        std::set<int32_t> slots;
    } cases[] = {
        {"every player", SERVER_TO_ALL, 0, 0, &origin, {0, 1, 2, 3}},
        {"in range", SERVER_IN_RANGE, 0, 0, &origin, {0, 1}},
        {"all but the target", SERVER_TO_ALL_EXCEPT, 1, 0, &origin, {0, 2, 3}},
        {"the target only", SERVER_TO_PLAYER, 2, 0, &origin, {2}},
        {"by side", SERVER_TO_SIDE, 0, 1, &origin, {1, 3}},
        {"in range, not the sender", SERVER_IN_RANGE | SERVER_TO_ALL_EXCEPT, 0, 0, &origin, {1}},
        {"in range and side", SERVER_IN_RANGE | SERVER_TO_SIDE, 0, 0, &origin, {0}},
        {"range measured at a point the event does not carry", SERVER_IN_RANGE | SERVER_NO_POSITION, 0, 0, &far, {2}},
    };
    for (const Case& c : cases) {
        Server_OutgoingEvent = ServerOutgoingEvent{c.kind, EVENT_AIREXPLODE, 9, 0x200000, c.at, c.target, 4,
                                                   nullptr, c.side, 0};
        Server_QueueEvent();
        Server_EventsDistribute();
        EXPECT_EQ(Server.eventQueue, nullptr) << c.what;
        EXPECT_EQ(FreeNodes(Server.eventPool), (int32_t)SERVER_EVENTS) << c.what;
        for (int32_t i = 0; i < 4; i++) {
            PlayerSlot& s = Slot(i);
            EXPECT_EQ(Pending(s), c.slots.count(i) ? 1 : 0) << c.what << " slot " << i;
            while (s.pendingEvents) Server_EventConfirmed(&s, s.pendingEvents->serial);
        }
    }
    // The event without its position carries zeros.
    Server_CallQueueEvent(EVENT_PLAYERRESET, 7, &far, SERVER_IN_RANGE | SERVER_NO_POSITION, 0, 0x200000, 4);
    Server_EventsDistribute();
    ASSERT_EQ(Pending(Slot(2)), 1);
    MsgEventCommon e;
    const NetQueuedMessage* n = reinterpret_cast<const NetQueuedMessage*>(Slot(2).pendingEvents);
    ASSERT_EQ(msg_EventCommonDecode(n->record, n->length, &e), 0);
    EXPECT_EQ(e.value, 7u);
    EXPECT_EQ(e.position.x, 0);
}

// An event goes out in as many packets as its retries, confirmed or not; a
// confirmed one in none after the confirmation; a tag nobody holds is
// ignored.
TEST_F(ServerEventTest, RetriesAndConfirmation) {
    struct Case {
        int32_t retries;
        int32_t confirmAfter;  // packets before the client confirms; -1 never
        int32_t packetsWithIt;
    } cases[] = {{1, -1, 1}, {1, 1, 1}, {3, -1, 3}, {4, 1, 1}, {0x400, 2, 2}};
    for (const Case& c : cases) {
        Server_CallQueueEvent(EVENT_GRNDEXPLODE, 5, nullptr, SERVER_TO_PLAYER, 0, 0, c.retries);
        Server_EventsDistribute();
        ASSERT_EQ(Pending(Slot(0)), 1);
        uint32_t tag = Slot(0).pendingEvents->serial;
        int32_t with = 0;
        for (int32_t packet = 0; packet < 8; packet++) {
            if (packet == c.confirmAfter) {
                Confirm(0, {tag + 2, tag});
                Confirm(0, {tag});  // again: nothing left to remove
            }
            Read r = Packet(0);
            for (const Seen& e : r.events) with += e.tag == tag;
        }
        EXPECT_EQ(with, c.packetsWithIt) << c.retries << " " << c.confirmAfter;
        EXPECT_EQ(Pending(Slot(0)), 0);
        EXPECT_EQ(FreeNodes(Slot(0).eventPool), (int32_t)SERVER_SLOT_EVENTS);
    }
}

// A player whose pool is spent misses the event; the others get it. A full
// server pool loses the event for everyone.
TEST_F(ServerEventTest, ExhaustedPoolsLoseEvents) {
    for (uint32_t i = 0; i < SERVER_SLOT_EVENTS; i++)
        Server_CallQueueEvent(EVENT_FLAK, i, nullptr, SERVER_TO_PLAYER, 1, 0, 0x400);
    Server_EventsDistribute();
    ASSERT_EQ(Pending(Slot(1)), (int32_t)SERVER_SLOT_EVENTS);
    Server_CallQueueEvent(EVENT_BOMBEXPLODE, 0, nullptr, SERVER_TO_ALL, 0, 0, 0x400);
    Server_EventsDistribute();
    EXPECT_EQ(Pending(Slot(1)), (int32_t)SERVER_SLOT_EVENTS);
    EXPECT_EQ(Slot(1).pendingEvents->serial, 2 * SERVER_SLOT_EVENTS - 1);  // the pool's last take
    EXPECT_EQ(Pending(Slot(0)), 1);
    EXPECT_EQ(Pending(Slot(2)), 1);

    for (uint32_t i = 0; i < SERVER_EVENTS + 1; i++)
        Server_CallQueueEvent(EVENT_FLAK, i, nullptr, SERVER_TO_PLAYER, 2, 0, 1);
    EXPECT_EQ(list_CountFrom(Server.eventQueue), (int32_t)SERVER_EVENTS);
    EXPECT_EQ(reinterpret_cast<NetQueuedMessage*>(Server.eventQueue)->record[8], SERVER_EVENTS - 1);
}

// Later frames' events come first; tags are the player's own, counting up.
TEST_F(ServerEventTest, NewestFirstWithPerPlayerTags) {
    Server_CallQueueEvent(EVENT_FLAK, 1, nullptr, SERVER_TO_PLAYER, 1, 0, 4);
    Server_EventsDistribute();
    Server_CallQueueEvent(EVENT_FLAK, 2, nullptr, SERVER_TO_ALL, 0, 0, 4);
    Server_CallQueueEvent(EVENT_FLAK, 3, nullptr, SERVER_TO_ALL, 0, 0, 4);
    Server_EventsDistribute();
    Read r1 = Packet(1);
    ASSERT_EQ(r1.events.size(), 3u);
    EXPECT_EQ(r1.events[2].bytes[8], 1);  // the first frame's last
    EXPECT_GT(r1.events[0].tag, r1.events[1].tag);
    EXPECT_GT(r1.events[1].tag, r1.events[2].tag);
    Read r0 = Packet(0);
    ASSERT_EQ(r0.events.size(), 2u);
    // Each pool numbers its own: slot 0's first event has tag 1.
    EXPECT_EQ(r0.events[1].tag, 1u);
    EXPECT_EQ(r0.events[0].tag, 3u);
    // The same event for both, but for the tag.
    EXPECT_EQ(r0.events[0].bytes[8], r1.events[0].bytes[8]);
    EXPECT_NE(r0.events[0].tag, r1.events[0].tag);
}

// 128 lines of 127 characters (17664 bytes of events) reach a client that
// confirms only every third packet: none is lost, no packet is over 16 KB,
// and the events left out of a full packet keep their retries.
TEST_F(ServerEventTest, ManyTextsReachASlowClient) {
    for (int32_t i = 0; i < 128; i++) {
        std::string line = std::to_string(i) + std::string(140, 'x');
        Server_CallSendText(line.c_str(), SERVER_TO_PLAYER, 0, 1);
    }
    Server_EventsDistribute();
    ASSERT_EQ(Pending(Slot(0)), 128);
    std::set<std::string> got;
    std::vector<uint32_t> toConfirm;
    int32_t packets = 0;
    for (; packets < 40 && (int32_t)got.size() < 128; packets++) {
        int32_t before = Pending(Slot(0));
        Read r = Packet(0);
        EXPECT_LE(Server.send_buffer_size, (int32_t)MSG_PACKET_MAX);
        if (packets == 0) {
            EXPECT_LT((int32_t)r.events.size(), before);
            // The ones left out spent nothing.
            int32_t kept = 0;
            for (ListNode* n = Slot(0).pendingEvents; n; n = n->next)
                kept += reinterpret_cast<NetQueuedMessage*>(n)->retries == 16;
            EXPECT_EQ(kept, before - (int32_t)r.events.size());
        }
        for (const Seen& e : r.events) {
            MsgEventText t;
            ASSERT_EQ(msg_EventTextDecode(e.bytes.data(), e.bytes.size(), &t), 0);
            EXPECT_EQ(strlen(t.text), EVENT_TEXT_MAX_CHARS);
            got.insert(t.text);
            if (toConfirm.size() < MSG_CONFIRM_TAGS_MAX) toConfirm.push_back(e.tag);
        }
        if (packets % 3 == 2) {
            Confirm(0, toConfirm);
            toConfirm.clear();
        }
    }
    EXPECT_EQ(got.size(), 128u);
    EXPECT_GT(packets, 1);
}

// The packet's records in their order, byte for byte; the mark byte goes
// once; a start-up packet holds only the start-up record.
TEST_F(ServerEventTest, AssemblyOrderGoldenBytes) {
    PlayerSlot& s = Slot(0);
    s.blocked = 1;  // no object record
    s.score = -2;
    s.confirmTags[0] = 0x11;
    s.confirmTags[1] = 0x13;
    s.confirmCount = 2;
    aircraft[0].drawFlags = 0x04;
    aircraft[0].flags = OBJ_FLAG_ALLIANCE_B;
    ai_AirStartCount[1] = 2;
    Server.frame = 0x1234;
    Server.runNumber = 3;
    const FixWorldPos at{0x10, 0x20, 0x30};
    Server_CallQueueEvent(EVENT_DEBRIS, 0x55, &at, SERVER_TO_PLAYER, 0, 0, 2);
    Server_EventsDistribute();
    int32_t n = Server_AssemblePacket(0);
    const uint8_t golden[] = {
        0x07, 0x00, 0x10, 0x00, 0x34, 0x12, 0x00, 0x00, 0x04, 0x01, 0xFE, 0xFF, 0x03, 0x00, 0x00, 0x00,  // info
        0x02, 0x20, 0x10, 0x00, 0x02, 0x00, 0x00, 0x00, 0x11, 0x00, 0x00, 0x00, 0x13, 0x00, 0x00, 0x00,  // confirm
        0x06, 0x00, 0x1E, 0x00, 0x01, 0x00,                                                              // events
        0x01, 0x00, 0x18, 0x00, 0x01, 0x00, 0x00, 0x00, 0x55, 0x00, 0x00, 0x00,                          // debris
        0x10, 0x00, 0x00, 0x00, 0x20, 0x00, 0x00, 0x00, 0x30, 0x00, 0x00, 0x00,                          //
        0xFF, 0xFF, 0x00, 0x00,                                                                          // end
    };
    ASSERT_EQ(n, (int32_t)sizeof golden);
    EXPECT_EQ(memcmp(Server.send_buffer_ptr, golden, sizeof golden), 0);
    EXPECT_EQ(aircraft[0].drawFlags, 0);
    EXPECT_EQ(s.confirmCount, 0u);

    // Next packet: no confirm, the event once more, the mark byte cleared.
    Read again = Packet(0);
    EXPECT_EQ(again.types, (std::vector<uint16_t>{MSG_PLAYERINFO, MSG_EVENTDATA}));
    EXPECT_EQ(Server.send_buffer_ptr[8], 0);
    EXPECT_EQ(Pending(s), 0);
    EXPECT_EQ(Packet(0).types, (std::vector<uint16_t>{MSG_PLAYERINFO}));

    s.startupPending = 1;
    s.confirmCount = 1;
    Read start = Packet(0);
    EXPECT_EQ(start.types, (std::vector<uint16_t>{MSG_STARTUPDATA}));
    EXPECT_EQ(s.confirmCount, 1u);
}

// Phase = frame & mask: slot i is served when i & mask is the phase, it is
// used, and active or starting up. Remote slots go through the transport,
// whose busy retries count as receive load; the local slot through the
// bridge.
TEST_F(ServerEventTest, SendTimingAndPaths) {
    uint8_t client[BRIDGE_BUFFER_SIZE];
    memset(&net_Bridge, 0, sizeof net_Bridge);
    net_Bridge.client.buffer = client;
    Slot(2).active = 0;
    Slot(3).active = 0;
    Slot(3).startupPending = 1;
    for (int32_t i = 1; i < SERVER_PLAYERS; i++) {
        if (i >= 4) {
            ASSERT_EQ(Server_PlayerMemCreate(i), 0);
            Slot(i).inUse = i != 5;
            Slot(i).active = 1;
        }
        Slot(i).remote = 1;
        Slot(i).netPlayerId = 1000 + (uint32_t)i;
    }
    struct Case {
        int32_t mask;
        uint32_t frame;
        std::set<int32_t> served;
    } cases[] = {
        {15, 16, {0}}, {15, 17, {1}}, {15, 2, {}}, {15, 3, {3}}, {15, 5, {}}, {15, 4 + 32, {4}},
        {1, 7, {1, 3, 7, 9, 11, 13, 15}}, {1, 8, {0, 4, 6, 8, 10, 12, 14}},
    };
    for (const Case& c : cases) {
        Server.updateMask = c.mask;
        Server.frame = c.frame;
        net_Bridge.client.full = 0;
        Server_ReceiveLoad = 0;
        g_sentTo.clear();
        Server_SendPlayers();
        std::set<int32_t> served;
        if (net_Bridge.client.full) served.insert(0);
        for (uint32_t id : g_sentTo) served.insert((int32_t)id - 1000);
        EXPECT_EQ(served, c.served) << c.mask << " frame " << c.frame;
        EXPECT_EQ(Server_ReceiveLoad, 3 * (int32_t)g_sentTo.size()) << c.frame;
    }
    EXPECT_EQ(ReadPacket(g_sent.data(), g_sent.size()).status, 0);
    EXPECT_EQ(ReadPacket(client, net_Bridge.client.size).types, (std::vector<uint16_t>{MSG_PLAYERINFO, MSG_OBJECTDATA}));
    memset(&net_Bridge, 0, sizeof net_Bridge);
}

// Each queueing routine's event: id, length, retries, delivery, payload.
TEST_F(ServerEventTest, QueueingRoutines) {
    Slot(0).score = 5;
    Slot(1).score = 9;
    Slot(2).score = -1;
    Slot(1).name = "Pilot One";
    memcpy(Slot(1).block.name, "HAWK-0123456789ABC", 16);
    Slot(1).squadron = 3;
    Server.runNumber = 41;
    Server.frame = 0x12345;
    ObjectRecord bullet{};
    bullet.serial = 77;
    bullet.position = FixWorldPos{1, 2, 3};
    ServerPlayerPtr = &Slot(2);
    struct Case {
        const char* what;
        void (*queue)(void);
        uint16_t id, length;
        int16_t retries;
        uint16_t kind;
    } cases[] = {
        {"text", [] { Server_CallSendText(std::string(200, 'q').c_str(), SERVER_TO_SIDE, 1, 2); }, EVENT_TEXT, 138,
         16, SERVER_TO_SIDE},
        {"short text", [] { Server_CallSendText("ab", SERVER_TO_ALL, 0, 0); }, EVENT_TEXT, 14, 16, SERVER_TO_ALL},
        {"scores", [] {
             Server_OutgoingEvent.kind = SERVER_TO_PLAYER;
             Server_OutgoingEvent.target = 1;
             Server_QueueScores();
         }, EVENT_SCORES, 12 + 4 * 4, 0x400, SERVER_TO_PLAYER},
        {"name", [] { Server_CallSendName(1); }, EVENT_NAME, 52, 0x400, SERVER_TO_ALL},
        {"squadron", [] { Server_CallSendSquadron(SERVER_TO_PLAYER, 2, 6, 1, "The Squadron Name Is Long"); },
         EVENT_SQUADRON, 34, 0x400, SERVER_TO_PLAYER},
        {"level reset", [] {
             Server_OutgoingEvent.kind = SERVER_TO_ALL;
             Server_OutgoingEvent.value = 1;
             Server_QueueLevelReset();
         }, EVENT_LEVEL_RESET, 14, 0x400, SERVER_TO_ALL},
        {"dynamic model", [] { Server_QueueDynamicModel(12, "paper.pak", 0); }, EVENT_DYMANIC_MODEL, 48, 0x400,
         SERVER_TO_ALL},
        {"common, no position", [] { Server_CallQueueEvent(EVENT_BEENHIT, 38, nullptr, SERVER_TO_PLAYER, 0, 0, 2); },
         EVENT_BEENHIT, 24, 2, SERVER_TO_PLAYER},
    };
    for (const Case& c : cases) {
        c.queue();
        ASSERT_NE(Server.eventQueue, nullptr) << c.what;
        const NetQueuedMessage* n = reinterpret_cast<const NetQueuedMessage*>(Server.eventQueue);
        uint16_t id = 0, length = 0;
        le_Read16At(n->record, n->length, 0, &id);
        le_Read16At(n->record, n->length, 2, &length);
        EXPECT_EQ(id, c.id) << c.what;
        EXPECT_EQ(length, c.length) << c.what;
        EXPECT_EQ(n->length, c.length) << c.what;
        EXPECT_EQ(n->retries, c.retries) << c.what;
        EXPECT_EQ(n->kind, c.kind) << c.what;
    }
    Server_QueueBullet(&bullet, 7, 1);
    Server_QueueObjectEvent(&bullet, 0);
    Server_QueueObjectEvent(&bullet, 1);

    // The payloads, newest first on the queue.
    std::vector<const NetQueuedMessage*> q;
    for (ListNode* node = Server.eventQueue; node; node = node->next)
        q.insert(q.begin(), reinterpret_cast<const NetQueuedMessage*>(node));
    ASSERT_EQ(q.size(), 11u);
    MsgEventText text;
    ASSERT_EQ(msg_EventTextDecode(q[0]->record, q[0]->length, &text), 0);
    EXPECT_EQ(std::string(text.text), std::string(127, 'q'));
    EXPECT_EQ(text.sound, 2);
    EXPECT_EQ(q[0]->side, 1);
    MsgEventScores scores;
    ASSERT_EQ(msg_EventScoresDecode(q[2]->record, q[2]->length, &scores), 0);
    ASSERT_EQ(scores.count, 4u);
    EXPECT_EQ(scores.entries[0].player, 1);
    EXPECT_EQ(scores.entries[0].score, 9);
    EXPECT_EQ(scores.entries[1].player, 0);
    EXPECT_EQ(scores.entries[3].score, -1);
    MsgEventName name;
    ASSERT_EQ(msg_EventNameDecode(q[3]->record, q[3]->length, &name), 0);
    EXPECT_EQ(name.player, 1);
    EXPECT_STREQ(name.name, "Pilot One");
    EXPECT_STREQ(name.plane, "HAWK-0123456789");
    EXPECT_EQ(name.side, 1);
    EXPECT_EQ(name.squadron, 3);
    MsgEventSquadron squadron;
    ASSERT_EQ(msg_EventSquadronDecode(q[4]->record, q[4]->length, &squadron), 0);
    EXPECT_EQ(squadron.slot, 6);
    EXPECT_EQ(squadron.answer, 1);
    EXPECT_STREQ(squadron.name, "The Squadron Name Is ");
    MsgEventLevelReset reset;
    ASSERT_EQ(msg_EventLevelResetDecode(q[5]->record, q[5]->length, &reset), 0);
    EXPECT_EQ(reset.restart, 1);
    EXPECT_EQ(reset.runNumber, 42u);
    MsgEventDynamicModel model;
    ASSERT_EQ(msg_EventDynamicModelDecode(q[6]->record, q[6]->length, &model), 0);
    EXPECT_EQ(model.id, 12u);
    EXPECT_STREQ(model.name, "paper.pak");
    MsgBullet b;
    ASSERT_EQ(msg_EventBulletDecode(q[8]->record, q[8]->length, &b), 0);
    EXPECT_EQ(b.id, 77u);
    EXPECT_EQ(b.position.z, 3);
    EXPECT_EQ(b.frame, 0x2345);
    EXPECT_EQ(b.weaponType, 7);
    EXPECT_EQ(b.flag, 1);
    EXPECT_EQ(q[8]->retries, 1);
    EXPECT_EQ(q[8]->kind, SERVER_IN_RANGE | SERVER_TO_ALL_EXCEPT);
    EXPECT_EQ(q[8]->range, 0x4740000u);
    EXPECT_EQ(q[8]->target, &Slot(2));
    MsgEventDebugPath path;
    ASSERT_EQ(msg_EventDebugPathDecode(q[9]->record, q[9]->length, &path), 0);
    EXPECT_EQ(path.remove, 0u);
    EXPECT_EQ(path.key, 77u);
    EXPECT_EQ(path.position.y, 2);
    ASSERT_EQ(msg_EventDebugPathDecode(q[10]->record, q[10]->length, &path), 0);
    EXPECT_EQ(path.remove, 1u);
    EXPECT_EQ(path.position.y, 0);
}

// The slot's memory lies between its two marks in its order, and goes with
// them.
TEST_F(ServerEventTest, PlayerMemoryBetweenMarks) {
    PlayerSlot& s = Slot(4);
    ASSERT_EQ(Server_PlayerMemCreate(4), 0);
    const void* order[] = {s.memStart, s.confirmTags, s.receivedTags, s.objectQueue, s.eventPool.block, s.memEnd};
    for (size_t i = 1; i < sizeof order / sizeof order[0]; i++) EXPECT_LT(order[i - 1], order[i]) << i;
    EXPECT_EQ(FreeNodes(s.eventPool), (int32_t)SERVER_SLOT_EVENTS);
    EXPECT_EQ(s.objectQueueRead, s.objectQueue);
    EXPECT_EQ(mem_FreeBetween(s.memStart, s.memEnd), 6);
}

}  // namespace
