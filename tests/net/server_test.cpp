// The server's receive side: duplicate checks and confirmations, the chat
// flood, the player-data glide, level-run gating, crediting packets to their
// sender, and the local bridge's buffers.
#include "net/server.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "base/le.h"
#include "base/mem.h"
#include "net/bridge.h"
#include "net/driver.h"
#include "net/msg.h"
#include "net/msgtrace.h"
#include "net/server_calls.h"
#include "sim/hit.h"
#include "sim/obj.h"
#include "world/objarray.h"
#include "world/gamemode.h"
#include "world/levelseq.h"

// Console lines.
std::vector<std::string> g_console;
int32_t Server_ConsoleCommand(const char* line) {
    g_console.push_back(line);
    return 1;
}

// A scripted transport driver: one waiting packet whenever it is asked,
// from player 9.
int32_t g_driverAsked;
const uint8_t* ScriptReceive(void) {
    static const uint8_t packet[4] = {0xFF, 0xFF, 0, 0};
    g_driverAsked++;
    net_Counters.lastSize = sizeof packet;
    net_Counters.lastSender = 9;
    return packet;
}

namespace {

// The texts on the server's event queue, oldest first.
std::vector<std::string> QueuedTexts(void) {
    std::vector<std::string> out;
    for (ListNode* n = Server.eventQueue; n; n = n->next) {
        const NetQueuedMessage* e = reinterpret_cast<const NetQueuedMessage*>(n);
        MsgEventText t;
        if (msg_EventTextDecode(e->record, e->length, &t) == 0) out.insert(out.begin(), t.text);
    }
    return out;
}
// The events on the queue that are not texts.
int32_t QueuedOthers(void) {
    int32_t n = 0;
    for (ListNode* node = Server.eventQueue; node; node = node->next)
        if (reinterpret_cast<const NetQueuedMessage*>(node)->record[0] != EVENT_TEXT) n++;
    return n;
}

int32_t g_hits = 0;
void CountHit(ObjectRecord*) { g_hits++; }

// Builds a client packet record by record.
struct Packet {
    uint8_t bytes[MSG_PACKET_MAX];
    LeSpanWriter w{bytes, sizeof bytes};

    Packet& PlayerData(uint32_t seq, uint32_t run, uint8_t owner, FixVec3 pos = {0, 0, 0}, FixAngles ang = {0, 0, 0}) {
        MsgPlayerData m{};
        m.position = pos;
        m.angles = ang;
        m.owner = owner;
        m.frame = seq;
        m.runNumber = run;
        EXPECT_EQ(msg_PlayerDataEncode(&w, &m), 0);
        return *this;
    }
    Packet& Hit(uint32_t tag, uint32_t target) {
        MsgBulletHit m{};
        m.tag = tag;
        m.target = target;
        EXPECT_EQ(msg_BulletHitEncode(&w, &m), 0);
        return *this;
    }
    Packet& Chat(uint32_t tag, const char* text) {
        MsgChat m{};
        m.tag = tag;
        strncpy(m.text, text, sizeof m.text);
        EXPECT_EQ(msg_ChatEncode(&w, &m), 0);
        return *this;
    }
    size_t End() {
        EXPECT_EQ(msg_EndEncode(&w), 0);
        return w.pos;
    }
};

class ServerTest : public ::testing::Test {
protected:
    ObjectRecord aircraft{};
    ObjectRecord target{};

    void SetUp() override {
        mem_CurrentHeap = &mem_MainHeap;
        mem_HeapSizesSet(0x200000, 0x1000, 0x1000);
        ASSERT_EQ(mem_HeapInit(), 0);
        level_GameMode = GameModeFlags{1, 1, 1, 1, 0};
        ASSERT_EQ(Server_RecordCreate(), 0);
        Server.updateInterval = 16;  // network timing
        PlayerSlot* s = &Server.player[0];
        ASSERT_EQ(Server_PlayerMemCreate(0), 0);
        s->inUse = 1;
        aircraft.hitPoints = 100;
        s->aircraft = &aircraft;
        target.serial = 77;
        target.hit = CountHit;
        Server.objects = &target;
        g_hits = 0;
        g_console.clear();
    }
    void TearDown() override {
        memset(&Server, 0, sizeof Server);
        ServerPlayerPtr = nullptr;
        ServerPlayerObject = nullptr;
        level_GameMode = GameModeFlags{};
    }
    static void Parse(Packet& p, int32_t slot = 0) {
        size_t n = p.End();
        Server_ParsePacket(p.bytes, n, slot);
    }
    PlayerSlot& Slot() { return Server.player[0]; }
};

// A tag of the previous packet is confirmed again but not run; one repeated
// two packets later runs again.
TEST_F(ServerTest, RepeatedTagsAreConfirmedButRunOnce) {
    struct Step {
        bool withHit;
        int32_t hitsAfter;
    } steps[] = {{true, 1}, {true, 1}, {false, 1}, {true, 2}};
    uint32_t seq = 1;
    for (const Step& st : steps) {
        Packet p;
        p.PlayerData(seq++, 0, 0);
        if (st.withHit) p.Hit(500, 77);
        uint32_t confirmsBefore = Slot().confirmCount;
        Parse(p);
        EXPECT_EQ(g_hits, st.hitsAfter) << "packet " << seq - 1;
        EXPECT_EQ(Slot().confirmCount, confirmsBefore + (st.withHit ? 1u : 0u)) << "packet " << seq - 1;
    }
}

// A full confirm buffer drops further tags, but the messages still run.
TEST_F(ServerTest, FullConfirmBufferDropsTags) {
    Packet p;
    p.PlayerData(1, 0, 0);
    for (uint32_t t = 0; t < 140; t++) p.Hit(1000 + t, 77);
    Parse(p);
    EXPECT_EQ(g_hits, 140);
    EXPECT_EQ(Slot().confirmCount, SERVER_SLOT_TAGS);
    EXPECT_EQ(Slot().confirmTags[SERVER_SLOT_TAGS - 1], 1000u + SERVER_SLOT_TAGS - 1);
    // Only 128 tags are remembered for the duplicate check of the next packet.
    EXPECT_EQ(Slot().receivedCount, SERVER_SLOT_TAGS);
}

// A second line within 40 frames is dropped and extends the wait.
TEST_F(ServerTest, ChatFloodHoldsLinesBack) {
    Packet a;
    a.PlayerData(1, 0, 0).Chat(1, "hello");
    Parse(a);
    ASSERT_EQ(QueuedTexts().size(), 1u);
    EXPECT_EQ(QueuedTexts()[0], "hello");
    Packet b;
    b.PlayerData(2, 0, 0).Chat(2, "again");
    Parse(b);
    EXPECT_EQ(QueuedTexts().size(), 1u);
    EXPECT_EQ(Slot().chatFlood, 80);
    for (int32_t i = 0; i < 79; i++) Server_PlayersStep();
    Packet c;
    c.PlayerData(3, 0, 0).Chat(3, "still");
    Parse(c);
    EXPECT_EQ(QueuedTexts().size(), 1u);
    for (int32_t i = 0; i < 200; i++) Server_PlayersStep();
    Packet d;
    d.PlayerData(4, 0, 0).Chat(4, "later");
    Parse(d);
    ASSERT_EQ(QueuedTexts().size(), 2u);
    EXPECT_EQ(QueuedTexts()[1], "later");
}

// n frames left to the expected update: 8..24 glide over n frames, anything
// else resynchronises to the update interval.
TEST_F(ServerTest, PlayerDataGlidesOverTheExpectedFrames) {
    struct Case {
        int32_t n;
        int32_t frames;  // frames of the glide
        bool resync;
    } cases[] = {{8, 8, false}, {24, 24, false}, {7, 16, true}, {25, 16, true}};
    for (const Case& c : cases) {
        SetUp();
        Slot().expectedFrames = c.n + 3;
        Slot().framesSince = 3;
        aircraft.position = FixWorldPos{0xFFFF0000u, 1000, 5000};  // x wraps on the way
        aircraft.angles = FixAngles{0x1FFF000, 0, 0};              // heading crosses a whole turn
        const int32_t dx = 0x480000, dy = -0x30000;
        Packet p;
        p.PlayerData(1, 0, 0, FixVec3{(int32_t)(0xFFFF0000u + (uint32_t)dx), 1000 + dy, 5000},
                     FixAngles{0x10000, 0, 0});  // 0x11000 of a 25-bit turn further, past the whole turn
        Parse(p);
        EXPECT_EQ(Slot().dataReceived, 1u) << c.n;
        if (c.resync) {
            EXPECT_EQ(Slot().framesSince, 0u) << c.n;
            EXPECT_EQ(Slot().expectedFrames, 16) << c.n;
        }
        for (int32_t f = 0; f < c.frames; f++) Server_PlayersStep();
        int32_t ex = (int32_t)(aircraft.position.x - (0xFFFF0000u + (uint32_t)dx));
        int32_t ey = (int32_t)(aircraft.position.y - (uint32_t)(1000 + dy));
        // The speed and its direction are kept apart: a few units a frame.
        EXPECT_LE(std::abs(ex), 64 * c.frames) << c.n;
        EXPECT_LE(std::abs(ey), 64 * c.frames) << c.n;
        EXPECT_EQ(aircraft.angles.heading & ~0x1FFFFFF, 0) << c.n;
        int32_t eh = (int32_t)(((uint32_t)aircraft.angles.heading - 0x10000u) << 7) >> 7;
        // The rate is rounded down: within a thousandth of the turn made.
        EXPECT_LE(std::abs(eh), 0x11000 / 1024) << c.n << " heading " << aircraft.angles.heading;
        TearDown();
    }
}

// Stale or other-run player data is ignored; the game messages of another
// run are dropped while the housekeeping ones still run.
TEST_F(ServerTest, StaleAndOtherRunTraffic) {
    Packet a;
    a.PlayerData(5, 0, 0, FixVec3{0x100000, 0, 0});
    Parse(a);
    int32_t vx = aircraft.velocity.x;
    EXPECT_NE(vx, 0);
    Slot().dataReceived = 0;
    Packet stale;
    stale.PlayerData(5, 0, 0, FixVec3{0x900000, 0, 0});
    Parse(stale);
    EXPECT_EQ(Slot().dataReceived, 0u);
    EXPECT_EQ(aircraft.velocity.x, vx);

    Packet other;
    other.PlayerData(6, 1, 0, FixVec3{0x900000, 0, 0}).Hit(9, 77).Chat(10, "any run");
    Parse(other);
    EXPECT_EQ(Slot().dataReceived, 0u);
    EXPECT_EQ(aircraft.velocity.x, vx);
    EXPECT_EQ(g_hits, 0);
    ASSERT_EQ(QueuedTexts().size(), 1u);
    EXPECT_EQ(QueuedTexts()[0], "any run");
    EXPECT_EQ(Slot().lastSequence, 5u);
}

// Records are the sender's whatever comes first; an owner byte naming
// another slot drops the rest of the packet.
TEST_F(ServerTest, PacketsAreCreditedToTheirSender) {
    PlayerSlot& other = Server.player[3];
    ASSERT_EQ(Server_PlayerMemCreate(3), 0);
    other.inUse = 1;
    other.remote = 1;
    other.netPlayerId = 4242;
    EXPECT_EQ(Server_SlotOfSender(4242), 3);
    EXPECT_EQ(Server_SlotOfSender(NET_SENDER_LOCAL), 0);
    EXPECT_EQ(Server_SlotOfSender(99), -1);

    Packet first;
    first.Hit(1, 77).PlayerData(1, 0, 3);
    Parse(first, 3);
    EXPECT_EQ(g_hits, 1);
    EXPECT_EQ(other.confirmCount, 1u);
    EXPECT_EQ(Slot().confirmCount, 0u);

    Packet forged;
    forged.PlayerData(2, 0, 0).Hit(2, 77);
    Parse(forged, 3);
    EXPECT_EQ(g_hits, 1);
    EXPECT_EQ(other.lastSequence, 1u);
}

// Unknown targets, bad ranges and malformed packets do nothing.
TEST_F(ServerTest, BadInputDoesNothing) {
    Packet p;
    p.PlayerData(1, 0, 0).Hit(1, 12345);
    MsgWord wing{2, 0xFFFF};
    ASSERT_EQ(msg_WingCommandEncode(&p.w, &wing), 0);
    MsgLaunchMissile missile{};
    missile.tag = 3;
    missile.weaponType = 0xFFFFFFFF;
    ASSERT_EQ(msg_LaunchMissileEncode(&p.w, &missile), 0);
    Parse(p);
    EXPECT_EQ(g_hits, 0);
    EXPECT_EQ(Slot().confirmCount, 3u);
    // Cut short: nothing past the cut runs and nothing crashes.
    Packet q;
    q.PlayerData(2, 0, 0).Hit(4, 77);
    size_t n = q.End();
    for (size_t cut = 0; cut < n; cut++) Server_ParsePacket(q.bytes, cut, 0);
    EXPECT_LE(g_hits, 1);
    EXPECT_EQ(Server_FindObjectAt(-1, -5), nullptr);
}

// The handlers' checks: ranges, untrusted remote flags, the local-only
// console line, non-finite tanker frames.
TEST_F(ServerTest, HandlerChecks) {
    ASSERT_EQ(net_DcbPoolCreate(sizeof(_COMMON_DCB), 4, &level_ServerArrays.ai, nullptr, "ai"), 0);
    struct Case {
        const char* what;
        int32_t singlePlayer, remote;
        uint8_t playerFlags;
        std::function<void(LeSpanWriter*)> record;
        int32_t launched, console, tankers, queued;
    };
    auto missile = [](uint32_t type) {
        return [type](LeSpanWriter* w) {
            MsgLaunchMissile m{};
            m.tag = 1;
            m.weaponType = type;
            msg_LaunchMissileEncode(w, &m);
        };
    };
    auto console = [](LeSpanWriter* w) {
        MsgConsoleCommand m{};
        m.tag = 1;
        memset(m.text, 'x', sizeof m.text);  // no terminating zero in the record
        msg_ConsoleCommandEncode(w, &m);
    };
    auto tanker = [](float x) {
        return [x](LeSpanWriter* w) {
            MsgLaunchFuelPlane m{};
            m.tag = 1;
            m.frame.pos.x = x;
            msg_LaunchFuelPlaneEncode(w, &m);
        };
    };
    auto midair = [](LeSpanWriter* w) {
        MsgPlayerPosition m{1, {0, 0, 0}};
        msg_MidairEncode(w, &m);
    };
    const float inf = std::numeric_limits<float>::infinity();
    Case cases[] = {
        // The aircraft has no stores: only the unlimited-stores flag launches.
        {"missile without stores", 1, 0, 0, missile(3), 0, 0, 0, 0},
        {"unlimited stores, local", 1, 0, SLOT_FLAG_UNLIMITED_STORES, missile(3), 1, 0, 0, 0},
        {"missile type out of range", 1, 0, SLOT_FLAG_UNLIMITED_STORES, missile(39), 0, 0, 0, 0},
        {"unlimited stores claimed by a remote player", 0, 1, SLOT_FLAG_UNLIMITED_STORES, missile(3), 0, 0, 0, 0},
        {"console line, local", 1, 0, 0, console, 0, 1, 0, 0},
        {"console line, remote", 0, 1, 0, console, 0, 0, 0, 0},
        {"tanker", 1, 0, 0, tanker(10.0f), 0, 0, 1, 0},
        {"tanker, non-finite frame", 1, 0, 0, tanker(inf), 0, 0, 0, 0},
        // The explosion, and the scores of the aircraft it cost.
        {"midair", 1, 0, 0, midair, 0, 0, 0, 2},
        {"midair, no damage claimed by a remote player", 0, 1, SLOT_FLAG_NO_DAMAGE, midair, 0, 0, 0, 2},
    };
    for (const Case& c : cases) {
        level_GameMode.singlePlayer = c.singlePlayer;
        Slot() = PlayerSlot{};
        Slot().inUse = 1;
        Slot().remote = (uint16_t)c.remote;
        Slot().aircraft = &aircraft;
        aircraft.hitPoints = 100;
        aircraft.target = &target;
        int32_t queuedBefore = QueuedOthers();
        g_console.clear();
        int32_t freeBefore = net_DcbPoolFreeCount(&level_ServerArrays.ai);
        Packet p;
        MsgPlayerData pd{};
        pd.frame = 1;
        pd.playerFlags = c.playerFlags;
        ASSERT_EQ(msg_PlayerDataEncode(&p.w, &pd), 0);
        c.record(&p.w);
        Parse(p);
        // A launch clears the aircraft's target.
        EXPECT_EQ(aircraft.target == nullptr, c.launched != 0) << c.what;
        EXPECT_EQ((int32_t)g_console.size(), c.console) << c.what;
        if (!g_console.empty()) {
            EXPECT_GE(g_console[0].size(), 127u) << c.what;  // bounded, terminated
        }
        if (!g_console.empty()) {
            EXPECT_LE(g_console[0].size(), 128u) << c.what;
        }
        EXPECT_EQ(freeBefore - net_DcbPoolFreeCount(&level_ServerArrays.ai), c.tankers) << c.what;
        EXPECT_EQ(QueuedOthers() - queuedBefore, c.queued) << c.what;
    }
    // A midair of a remote player that claims no damage still costs it.
    EXPECT_EQ(aircraft.hitPoints, 0);
    memset(&level_ServerArrays, 0, sizeof level_ServerArrays);
}

// A death in single player takes the aircraft off the type list; the reset
// that gives it its hit points back puts it on again, where the AI's
// searches find it.
TEST_F(ServerTest, ResetAfterADeathListsTheAircraftAgain) {
    level_GameMode.singlePlayer = 1;
    obj_TypeListReset();
    obj_TypeListPush(&aircraft);
    aircraft.hitPoints = 0;
    Server_ClearTargetsOf(&aircraft);
    ASSERT_FALSE(aircraft.typeLinked);
    Packet p;
    p.PlayerData(1, 0, 0);
    MsgPlayerReset reset{};
    reset.tag = 1;
    reset.flags = 1;
    ASSERT_EQ(msg_PlayerResetEncode(&p.w, &reset), 0);
    Parse(p);
    EXPECT_EQ(aircraft.hitPoints, 0x400);
    EXPECT_TRUE(aircraft.typeLinked);
    EXPECT_EQ(obj_TypeList.head, &aircraft);
    EXPECT_EQ(obj_TypeList.count, 1);
    obj_TypeListReset();
}

// A tanker flies its 2400 frames in the server's world, then its record is
// free again: requests beyond the pool wait for one to go.
TEST_F(ServerTest, TankersLiveTheirFramesAndFreeTheirRecords) {
    DcbPool& group = level_ServerArrays.player;
    ASSERT_EQ(net_DcbPoolCreate(sizeof(_PLAYER_DCB), 1, &group, nullptr, "player"), 0);
    ASSERT_EQ(net_DcbPoolCreate(sizeof(_AI_DCB), 2, &level_ServerArrays.ai, &group, "ai"), 0);
    level_ServerTables.objectList = nullptr;
    uint32_t tag = 11;
    auto request = [&](void) {
        Packet p;
        MsgPlayerData pd{};
        pd.frame = tag;
        ASSERT_EQ(msg_PlayerDataEncode(&p.w, &pd), 0);
        MsgLaunchFuelPlane m{};
        m.tag = tag;
        tag += 2;
        m.frame.pos = MathVec3{100.0f, 200.0f, 300.0f};
        ASSERT_EQ(msg_LaunchFuelPlaneEncode(&p.w, &m), 0);
        Parse(p);
    };
    auto flying = [](void) {
        int32_t n = 0;
        for (ObjectRecord* o = level_ServerTables.objectList; o; o = o->next) n += o->think == weapon_TankerThink;
        return n;
    };
    for (int i = 0; i < 3; i++) request();
    EXPECT_EQ(net_DcbPoolFreeCount(&level_ServerArrays.ai), 0);
    Server_WorldStep();  // linked in at the end of the step
    EXPECT_EQ(flying(), 2);
    for (int f = 1; f < 2400; f++) Server_WorldStep();
    EXPECT_EQ(flying(), 2);
    Server_WorldStep();
    EXPECT_EQ(flying(), 0);
    EXPECT_EQ(level_ServerTables.objectList, nullptr);
    EXPECT_EQ(net_DcbPoolFreeCount(&level_ServerArrays.ai), 2);
    // A record that was once a unit brings none of it into the next tanker.
    for (uint32_t i = 0; i < level_ServerArrays.ai.count; i++) {
        ObjectRecord* o = reinterpret_cast<ObjectRecord*>(static_cast<uint8_t*>(level_ServerArrays.ai.memory) +
                                                          i * level_ServerArrays.ai.size);
        o->hitPoints = 77;
        o->hit = CountHit;
        o->side = 8;
    }
    request();
    EXPECT_EQ(net_DcbPoolFreeCount(&level_ServerArrays.ai), 1);
    Server_WorldStep();
    ASSERT_NE(level_ServerTables.objectList, nullptr);
    EXPECT_EQ(level_ServerTables.objectList->hitPoints, 0);
    EXPECT_EQ(level_ServerTables.objectList->hit, nullptr);
    EXPECT_EQ(level_ServerTables.objectList->side, 0);
    memset(&level_ServerArrays, 0, sizeof level_ServerArrays);
    level_ServerTables.objectList = nullptr;
}

// The game number becomes the local player's application id, in the next
// descriptor built and in one already built; other chunks stay.
TEST(Server, GameNumberGoesIntoTheLocalDescriptor) {
    struct Case {
        const char* what;
        bool builtBefore;
        const char* side;
    } cases[] = {
        {"built after", false, ""},
        {"built before", true, ""},
        {"built before, with a side", true, "RED"},
    };
    for (const Case& c : cases) {
        memset(player_DescriptorBuffer, 0, sizeof player_DescriptorBuffer);
        strncpy(player_SideText, c.side, sizeof player_SideText - 1);
        player_ApplicationId = 7;
        uint32_t size = c.builtBefore ? player_DescriptorBuild(player_DescriptorBuffer) : 0;
        Server_LocalGameNumberSet(4321);
        EXPECT_EQ(player_ApplicationId, 4321u) << c.what;
        if (!c.builtBefore) size = player_DescriptorBuild(player_DescriptorBuffer);
        PlayerSlotRecords slot{};
        ASSERT_EQ(player_DescriptorApply(player_DescriptorBuffer, size, &slot), 0) << c.what;
        uint32_t id = 0;
        EXPECT_TRUE(le_Read32At(slot.applicationId, 4, 0, &id));
        EXPECT_EQ(id, 4321u) << c.what;
        EXPECT_STREQ(slot.sideText, c.side) << c.what;
    }
    memset(player_SideText, 0, sizeof player_SideText);
    player_ApplicationId = 0;
}

// The squadron word goes into the slot and into the player's table entry,
// and picks the stored block; an id beyond the table touches no entry.
TEST_F(ServerTest, PlayerTypeSetsTheSquadronInThePlayerTable) {
    struct Case {
        uint32_t playerId;
        uint16_t squadron;
        int32_t storedBlock;
    } cases[] = {{0, 0, 0}, {5, 1, 1}, {15, 3, 1}, {16, 2, 1}};
    Slot().stored[0].name[0] = 'A';
    Slot().stored[1].name[0] = 'B';
    uint32_t tag = 100;
    for (const Case& c : cases) {
        memset(player_Table, 0xFF, sizeof player_Table);
        Slot().playerId = c.playerId;
        Packet p;
        MsgWord m{};
        m.tag = tag;
        tag += 2;  // never a repeat of the previous packet
        m.value = c.squadron;
        ASSERT_EQ(msg_PlayerTypeEncode(&p.w, &m), 0);
        Parse(p);
        EXPECT_EQ(Slot().squadron, c.squadron) << c.playerId;
        EXPECT_EQ(Slot().block.name[0], c.storedBlock ? 'B' : 'A') << c.playerId;
        for (int32_t i = 0; i < PLAYER_TABLE_SIZE; i++) {
            EXPECT_EQ(player_Table[i].squadron, (uint32_t)i == c.playerId ? c.squadron : 0xFFFF) << c.playerId << " " << i;
        }
    }
    memset(player_Table, 0, sizeof player_Table);
}

// Only the side with the network role asks the transport: a hosting server,
// a client that joined a remote game; single player never does.
TEST(Bridge, OnlyTheNetworkSideAsksTheTransport) {
    struct Case {
        const char* what;
        GameModeFlags mode;
        int32_t asks[2];
    } cases[] = {
        {"single player", {1, 1, 1, 1, 0}, {0, 0}},
        {"host and play", {1, 1, 0, 1, 0}, {1, 0}},
        {"dedicated", {1, 0, 0, 0, 0}, {1, 0}},
        {"remote client", {0, 0, 0, 1, 0}, {0, 1}},
    };
    const NetDriverTable* before = net_DriverTable();
    NetDriverTable script = net_DriverTableQuillax;
    script.receive = ScriptReceive;
    net_DriverTableInstall(&script);
    for (const Case& c : cases) {
        level_GameMode = c.mode;
        memset(&net_Bridge, 0, sizeof net_Bridge);
        for (int32_t side = 0; side < 2; side++) {
            g_driverAsked = 0;
            size_t size = 0;
            int32_t sender = 0;
            const uint8_t* p = net_ReceivePacket(side, &size, &sender);
            EXPECT_EQ(p != nullptr, c.asks[side] != 0) << c.what << " side " << side;
            if (p) {
                EXPECT_EQ(sender, 9) << c.what;
            }
            EXPECT_EQ(g_driverAsked, c.asks[side]) << c.what << " side " << side;
        }
    }
    net_DriverTableInstall(before);
    level_GameMode = GameModeFlags{};
}

// While the trace flag is on every returned packet is traced, from the
// transport or the bridge; a packet too short for a record head is not.
TEST(Bridge, TracesReturnedPacketsWhileTheFlagIsOn) {
    uint8_t server[BRIDGE_BUFFER_SIZE] = {}, client[BRIDGE_BUFFER_SIZE] = {};
    const uint8_t record[] = {0x12, 0x10, 8, 0}, shortPacket[] = {0x12};
    struct Case {
        const char* what;
        GameModeFlags mode;
        int32_t side;
        const uint8_t* bridged;
        size_t size;
        int32_t flag;
        uint32_t traced;
    } cases[] = {
        {"bridge, flag off", {1, 1, 1, 1, 0}, 1, record, sizeof record, 0, 0},
        {"bridge, flag on", {1, 1, 1, 1, 0}, 1, record, sizeof record, 1, 1},
        {"bridge, short packet", {1, 1, 1, 1, 0}, 0, shortPacket, sizeof shortPacket, 1, 0},
        {"transport", {1, 0, 0, 0, 0}, 0, nullptr, 0, 1, 1},
        {"nothing returned", {1, 1, 1, 1, 0}, 0, nullptr, 0, 1, 0},
    };
    const NetDriverTable* before = net_DriverTable();
    NetDriverTable script = net_DriverTableQuillax;
    script.receive = ScriptReceive;
    net_DriverTableInstall(&script);
    for (const Case& c : cases) {
        level_GameMode = c.mode;
        memset(&net_Bridge, 0, sizeof net_Bridge);
        net_Bridge.server.buffer = server;
        net_Bridge.client.buffer = client;
        if (c.bridged) {
            ASSERT_EQ(bridge_Write(c.side, c.bridged, c.size), 0) << c.what;
        }
        net_MsgTraceOn = c.flag;
        uint32_t before = net_MessageTrace.sequence;
        size_t size = 0;
        int32_t sender = 0;
        net_ReceivePacket(c.side, &size, &sender);
        EXPECT_EQ(net_MessageTrace.sequence - before, c.traced) << c.what;
    }
    net_DriverTableInstall(before);
    net_MsgTraceOn = 0;
    memset(&net_Bridge, 0, sizeof net_Bridge);
    level_GameMode = GameModeFlags{};
}

// A second write before the reader took the first replaces it; the stop
// frees every block allocated after the server buffer.
TEST(Bridge, OverwritesUnreadPacketAndFreesItsBlocks) {
    mem_CurrentHeap = &mem_MainHeap;
    mem_HeapSizesSet(0x100000, 0x1000, 0x1000);
    ASSERT_EQ(mem_HeapInit(), 0);
    level_GameMode = GameModeFlags{1, 1, 1, 1, 0};
    memset(&net_Bridge, 0, sizeof net_Bridge);
    void* before = mem_AllocEx(16, 4, "before");
    net_Bridge.server.buffer = static_cast<uint8_t*>(mem_AllocEx(BRIDGE_BUFFER_SIZE, 4, "Bridge.server_buffer"));
    net_Bridge.client.buffer = static_cast<uint8_t*>(mem_AllocEx(BRIDGE_BUFFER_SIZE, 4, "Bridge.client_buffer"));
    ASSERT_NE(net_Bridge.client.buffer, nullptr);
    const uint8_t one[] = {1, 1, 1}, two[] = {2, 2};
    EXPECT_EQ(bridge_Write(0, one, sizeof one), 0);
    EXPECT_EQ(bridge_Write(0, two, sizeof two), 0);
    size_t size = 0;
    int32_t sender = 0;
    const uint8_t* got = net_ReceivePacket(0, &size, &sender);
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(size, sizeof two);
    EXPECT_EQ(got[0], 2);
    EXPECT_EQ(sender, NET_SENDER_LOCAL);
    EXPECT_EQ(net_ReceivePacket(0, &size, &sender), nullptr);  // read once
    EXPECT_EQ(net_ReceivePacket(1, &size, &sender), nullptr);  // the other side is empty
    EXPECT_EQ(net_ReceivePacket(7, &size, &sender), nullptr);
    std::vector<uint8_t> big(BRIDGE_BUFFER_SIZE + 1);
    EXPECT_EQ(bridge_Write(1, big.data(), big.size()), -1);

    void* serverStuff = mem_AllocEx(64, 4, "server stuff");
    void* clientStuff = mem_AllocEx(64, 4, "client stuff");
    ASSERT_EQ(mem_Heap2Init(), 0);
    bridge_Stop();
    EXPECT_EQ(net_Bridge.server.buffer, nullptr);
    EXPECT_EQ(net_Bridge.client.full, 0u);
    EXPECT_EQ(mem_Free(serverStuff), -1);  // gone with the server buffer
    EXPECT_EQ(mem_Free(clientStuff), -1);
    EXPECT_EQ(mem_Free(before), 0);        // older blocks stay
    level_GameMode = GameModeFlags{};
}

}  // namespace
