// The object lists of a player's packet (static batches, close list, far
// queue, the 32-byte entries) and the client's copies made from them
// (timing, dead reckoning, retirement, static records).
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "fixtures/heaps.h"
#include "net/client.h"
#include "net/dcbpool.h"
#include "net/msg.h"
#include "net/server.h"
#include "render/object.h"
#include "render/render.h"
#include "net/server_calls.h"
#include "sim/obj.h"
#include "sound/mix.h"
#include "sound/sndtrig.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/objarray.h"
#include "world/terrain.h"

namespace {

const GameModeFlags kSinglePlayer = {1, 1, 1, 1, 0};

// The world point all positions below are measured from.
constexpr uint32_t kX = 0x40000000, kY = 0x100000, kZ = 0x40000000;

struct Decoded {
    MsgObjectData head{};
    std::vector<MsgObjectEntry> entries;
};

class ObjectsEnv : public ::testing::Test {
protected:
    std::vector<ObjectRecord*> heads = std::vector<ObjectRecord*>(OBJ_GRID_SIZE * OBJ_GRID_SIZE, nullptr);
    DcbPool pool{};
    PlayerSlot* slot = nullptr;

    void SetUp() override {
        ASSERT_EQ(test_HeapsFresh(0x400000, 0x1000, 0x1000), 0);
        level_GameMode = kSinglePlayer;
        depth_Level = DepthLevel{};
        depth_Level.heightMap = depth_FlatHeights();
        depth_Level.waterMap = depth_DryWater();
        depth_Level.staticHeads = heads.data();
        ASSERT_EQ(Server_RecordCreate(), 0);
        ASSERT_EQ(net_DcbPoolCreate(sizeof(ObjectRecord), 600, &pool, nullptr, "test objects"), 0);
        slot = &Server.player[0];
        slot->inUse = 1;
        ASSERT_EQ(Server_PlayerMemCreate(0), 0);
        slot->aircraft = Make(kX, kZ);
        slot->aircraft->flags = OBJ_FLAG_PLAYER;
        slot->viewReference = FixVec3{(int32_t)kX, (int32_t)kY, (int32_t)kZ};
        Server.extrapolationShift = 1;
    }
    void TearDown() override {
        memset(&Server, 0, sizeof Server);
        depth_Level = DepthLevel{};
        level_GameMode = GameModeFlags{};
    }

    // A moving object dx, dz from the point, on the server object list.
    ObjectRecord* Make(uint32_t x, uint32_t z, uint8_t aiClass = 1) {
        ObjectRecord* o = net_DcbPoolTake(&pool);
        EXPECT_NE(o, nullptr);
        o->position = FixWorldPos{x, kY, z};
        o->aiClass = aiClass;
        o->hitPoints = 100;
        net_ObjectListLink(&Server.objects, o);
        return o;
    }
    ObjectRecord* Near(int32_t dx) { return Make(kX + (uint32_t)dx, kZ); }

    Decoded Write(void) {
        Server.send_buffer_size = 0;
        Server_WriteObjectData(0);
        Decoded d;
        EXPECT_EQ(msg_ObjectDataDecode(Server.send_buffer_ptr, (size_t)Server.send_buffer_size, &d.head), 0);
        for (uint32_t i = 0; i < d.head.count; i++) {
            MsgObjectEntry e;
            EXPECT_EQ(msg_ObjectEntryDecode(Server.send_buffer_ptr, (size_t)Server.send_buffer_size, i, &e), 0);
            d.entries.push_back(e);
        }
        return d;
    }
};

// ---- The object record of a packet ----

TEST_F(ObjectsEnv, PacketListsTheTargetTheCloseAndOneFar) {
    struct Case {
        const char* name;
        int32_t close;          // objects 1..n steps of 0x100000 away
        int32_t far;            // objects beyond the close range
        bool target;            // the aircraft has a target
        bool targetClose;       // which is one of the close objects
        uint32_t count;
    } cases[] = {
        {"nothing", 0, 0, false, false, 0},
        {"nothing close, far only", 0, 3, false, false, 1},
        {"18 close stop, far one after", 25, 2, false, false, 19},
        {"the target counts among the 18", 25, 2, true, false, 19},
        {"target also close: once", 25, 2, true, true, 19},
        {"few close, the queue passes them over", 3, 0, false, false, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        std::vector<ObjectRecord*> close, far;
        for (int32_t i = 0; i < c.close; i++) close.push_back(Near((i + 1) * 0x100000));
        for (int32_t i = 0; i < c.far; i++) far.push_back(Near(0x10000000 + i * 0x1000000));
        ObjectRecord* target = nullptr;
        if (c.target) {
            target = c.targetClose ? close[10] : Near(-0x20000000);
            slot->aircraft->target = target;
        }
        Decoded d = Write();
        ASSERT_EQ(d.head.count, c.count);
        std::set<uint32_t> seen;
        for (const MsgObjectEntry& e : d.entries) EXPECT_TRUE(seen.insert(e.serial).second) << "written twice";
        EXPECT_EQ(seen.count(slot->aircraft->serial), 0u);
        if (target) {
            EXPECT_EQ(d.entries[0].serial, target->serial);
        }
        // The close ones in order of distance, then one far flagged first.
        uint32_t k = target ? 1 : 0;
        for (ObjectRecord* o : close) {
            if (o == target) continue;
            if (k >= 18 || k >= d.entries.size()) break;
            EXPECT_EQ(d.entries[k++].serial, o->serial);
        }
        // The far entry: the nearest queued object not written before it.
        if (c.count > (c.close < 18 ? (uint32_t)c.close : 18u)) {
            std::set<uint32_t> before(seen);
            before.erase(d.entries.back().serial);
            uint32_t expected = 0;
            for (const auto* list : {&close, &far})
                for (ObjectRecord* o : *list)
                    if (!expected && !before.count(o->serial)) expected = o->serial;
            EXPECT_EQ(d.entries.back().flags & MSG_OBJECT_FIRST, MSG_OBJECT_FIRST);
            EXPECT_EQ(d.entries.back().serial, expected);
        }
    }
}

TEST_F(ObjectsEnv, FarQueueHandsOutOneObjectPerPacketThenRebuilds) {
    ObjectRecord* far[3] = {Near(0x12000000), Near(0x10000000), Near(0x11000000)};
    Near(0x3C000000);  // beyond the queue's range
    ObjectRecord* unsent = Near(0x10800000);
    unsent->serverFlags = OBJ_SERVER_NO_SEND;
    Make(kX + 0x10400000u, kZ, 2);  // a ground unit: only the close list sends it
    std::vector<uint32_t> order;
    for (int i = 0; i < 4; i++) {
        Decoded d = Write();
        ASSERT_EQ(d.head.count, 1u);
        order.push_back(d.entries[0].serial);
    }
    // Nearest first; the end of the queue starts it again.
    EXPECT_EQ(order, (std::vector<uint32_t>{far[1]->serial, far[2]->serial, far[0]->serial, far[1]->serial}));
    // A queued record gone back to its pool is passed over.
    net_ObjectListUnlink(&Server.objects, far[2]);
    net_DcbPoolReturn(far[2], &pool);
    Decoded d = Write();
    ASSERT_EQ(d.head.count, 1u);
    EXPECT_EQ(d.entries[0].serial, far[0]->serial);
}

TEST_F(ObjectsEnv, EntryFieldsRelativeNearAbsoluteFarAndExtrapolated) {
    ObjectRecord* nearObj = Near(0x1000000);
    nearObj->velocity = FixVec3{0x10000, 0, 0};  // straight along x
    nearObj->speed = 0x2000;
    nearObj->angles = FixAngles{0x1FF0000, 0, 0};
    nearObj->rates = FixAngles{0x8000, 0, 0};
    nearObj->copyFlags = OBJ_COPY_NEARBY_EFFECT;
    nearObj->target = slot->aircraft;
    nearObj->modelSlot = 0x1234;
    nearObj->modelState[0] = 7;
    nearObj->flags = OBJ_FLAG_PLAYER;
    nearObj->missionWord = 0x5555;
    ObjectRecord* farObj = Near(0x7000000);  // close list, beyond the relative range
    farObj->aiClass = 0x02;   // a ground unit
    farObj->category = OBJ_CATEGORY_01 | OBJ_CATEGORY_AI_PROGRAM;
    farObj->speed = 0x12345;
    farObj->hitPoints = 0;
    Server.extrapolationShift = 4;
    Decoded d = Write();
    ASSERT_EQ(d.head.count, 2u);
    const MsgObjectEntry& a = d.entries[0];
    EXPECT_EQ(a.flags, MSG_OBJECT_RELATIVE | MSG_OBJECT_TARGETS_PLAYER | OBJ_COPY_NEARBY_EFFECT);
    EXPECT_EQ(a.x, (0x1000000 + (0x2000 << 4)) >> 13);
    EXPECT_EQ(a.y, 0);
    // 0x1FF0000 + 0x80000 wraps past a whole turn.
    EXPECT_EQ(msg_AngleToWire(a.angles.heading), (uint16_t)(((0x1FF0000u + 0x80000u) & 0x1FFFFFFu) >> 16));
    EXPECT_EQ(a.speed, 0x20);
    EXPECT_EQ(a.typeIndex, 0x34);
    EXPECT_EQ(a.modelState[0], 7);
    EXPECT_EQ(a.alive, 1);
    EXPECT_EQ(a.aux, 0x5555u);
    const MsgObjectEntry& b = d.entries[1];
    EXPECT_EQ(b.flags & MSG_OBJECT_RELATIVE, 0);
    EXPECT_EQ((uint16_t)b.x, (uint16_t)((kX + 0x7000000u) >> 16));
    EXPECT_EQ(b.speed, 0) << "class bit 1 sends no speed";
    EXPECT_EQ(a.category, 1) << "the category byte carries the class";
    EXPECT_EQ(b.category, 2);
    EXPECT_EQ(b.alive, 0);
    EXPECT_EQ(b.aux, 0u);
}

// ---- Static batches ----

TEST_F(ObjectsEnv, StaticBatchesRepeatUntilConfirmed) {
    std::vector<ObjectRecord*> statics;
    for (int i = 0; i < 6; i++) {
        ObjectRecord* o = net_DcbPoolTake(&pool);
        // Farther ones first into the grid: the list sorts them.
        o->position = FixWorldPos{kX + (uint32_t)(6 - i) * 0x3000000, kY, kZ};
        o->modelSlot = (uint16_t)(300 + i);
        o->drawFlags = 9;
        o->category = 0x22;
        uint32_t cell = obj_CellIndex(o->position.x, o->position.z);
        o->freeLink = heads[cell];
        heads[cell] = o;
        statics.insert(statics.begin(), o);
    }
    Server_BuildStaticList(0);
    ASSERT_NE(slot->staticList, nullptr);
    EXPECT_EQ(slot->staticPending, 6u);
    auto batch = [&](uint16_t* number) {
        Server.send_buffer_size = 0;
        Server_WriteStaticData(0);
        MsgStaticData h{};
        EXPECT_EQ(msg_StaticDataDecode(Server.send_buffer_ptr, (size_t)Server.send_buffer_size, &h), 0);
        std::vector<uint16_t> types;
        for (uint32_t i = 0; i < h.count; i++) {
            MsgStaticEntry e;
            EXPECT_EQ(msg_StaticEntryDecode(Server.send_buffer_ptr, (size_t)Server.send_buffer_size, i, &e), 0);
            EXPECT_EQ(e.kind, 9);
            EXPECT_EQ(e.categoryFlags, 0x22);
            types.push_back(e.typeIndex);
        }
        *number = h.batch;
        return types;
    };
    uint16_t n = 0;
    const std::vector<uint16_t> first = {305, 304, 303, 302};
    EXPECT_EQ(batch(&n), first);
    EXPECT_EQ(batch(&n), first) << "resent until confirmed";
    Server_ConfirmStatics(slot, n + 1u);
    EXPECT_EQ(batch(&n), first) << "another serial changes nothing";
    Server_ConfirmStatics(slot, n);
    Server_ConfirmStatics(slot, n);  // the same confirmation twice
    EXPECT_EQ(slot->staticPending, 2u);
    EXPECT_EQ(batch(&n), (std::vector<uint16_t>{301, 300}));
    Server_ConfirmStatics(slot, n);
    EXPECT_EQ(slot->staticPending, 0u);
    EXPECT_EQ(slot->staticList, nullptr);
    Server.send_buffer_size = 0;
    Server_WriteStaticData(0);
    EXPECT_EQ(Server.send_buffer_size, 0);
}

TEST_F(ObjectsEnv, NoStaticsNoList) {
    Server_BuildStaticList(0);
    EXPECT_EQ(slot->staticList, nullptr);
    EXPECT_EQ(slot->staticPending, 0u);
}

// ---- The client's copies ----

class CopiesEnv : public ::testing::Test {
protected:
    std::vector<ObjectRecord*> heads = std::vector<ObjectRecord*>(OBJ_GRID_SIZE * OBJ_GRID_SIZE, nullptr);
    DcbPool statics{};
    uint8_t buffer[MSG_PACKET_MAX];

    void SetUp() override {
        ASSERT_EQ(test_HeapsFresh(0x400000, 0x1000, 0x1000), 0);
        level_GameMode = GameModeFlags{0, 0, 0, 1, 0};  // a remote client
        depth_Level = DepthLevel{};
        depth_Level.heightMap = depth_FlatHeights();
        depth_Level.waterMap = depth_DryWater();
        depth_Level.staticHeads = heads.data();
        memset(&Client, 0, sizeof Client);
        Client.interval = 16;
        Client.staticBatch = 0xFFFF;
        level_ClientObjectArray = DcbPool{};
        ASSERT_EQ(net_DcbPoolCreate(sizeof(_CLIENT_DCB), 8, &level_ClientObjectArray, nullptr, "copies"), 0);
        ASSERT_EQ(net_DcbPoolCreate(sizeof(_STATIC_DCB), 8, &statics, nullptr, "statics"), 0);
        level_ClientStaticArray = &statics;
        level_Models = LevelModelTable{};
        level_Models.count = 40;
        obj_ListsReset();
    }
    void TearDown() override {
        memset(&Client, 0, sizeof Client);
        level_ClientObjectArray = DcbPool{};
        level_ClientStaticArray = nullptr;
        level_Models = LevelModelTable{};
        depth_Level = DepthLevel{};
        level_GameMode = GameModeFlags{};
        obj_ListsReset();
    }

    static MsgObjectEntry Entry(uint32_t serial, int16_t x, uint8_t flags = MSG_OBJECT_RELATIVE) {
        MsgObjectEntry e{};
        e.serial = serial;
        e.x = x;
        e.flags = flags;
        e.typeIndex = 3;
        e.alive = 1;
        return e;
    }
    // One update as the receive step takes it: the frame counter runs.
    void Update(std::vector<MsgObjectEntry> entries, int32_t framesSince = 16) {
        Client.packetFrame += framesSince;
        Client.objectDataArrived = 0;
        LeSpanWriter w(buffer, sizeof buffer);
        MsgObjectData h{(uint16_t)entries.size(), FixVec3{(int32_t)kX, 0, (int32_t)kZ}};
        ASSERT_EQ(msg_ObjectDataEncode(&w, &h, entries.data()), 0);
        MsgRecord r{MSG_OBJECTDATA, (uint16_t)w.pos, buffer};
        Client_ObjectsPacketStart();
        Client_ObjectData(&r);
        Client_ObjectsRetire();
        if (Client.objectDataArrived) Client.expectedFrames += Client.interval;
    }
    static ObjectRecord* Find(uint32_t serial) {
        for (ObjectRecord* o = Client.knownObjects; o; o = o->next)
            if (o->serial == serial) return o;
        return nullptr;
    }
};

TEST_F(CopiesEnv, FrameDistanceSetsTheReachOrResynchronises) {
    struct Case {
        int32_t packetFrame, expected;
        int32_t reach;
        bool resync;
    } cases[] = {
        {16, 32, 65536 / 16, false}, {8, 32, 65536 / 24, false}, {24, 32, 65536 / 8, false},
        {25, 32, 65536 / 16, true},  {7, 32, 65536 / 16, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.packetFrame);
        Client.objectsSynced = 1;
        Client.packetFrame = c.packetFrame;
        Client.expectedFrames = c.expected;
        Update({}, 0);
        EXPECT_EQ(Client.reach, c.reach);
        EXPECT_EQ(Client.packetFrame, c.resync ? 0 : c.packetFrame);
        EXPECT_EQ(Client.expectedFrames, c.resync ? 32 : c.expected + 16);
    }
    EXPECT_EQ(Client_ReachTable[0], 0);
    EXPECT_EQ(Client_ReachTable[25], 65536 / 25);
}

TEST_F(CopiesEnv, NewCopyStartsBehindAndReachesEachReportedPointOnTime) {
    MsgObjectEntry e = Entry(11, 0x100);
    e.angles.heading = 0x800000;  // a quarter turn: toward +x
    e.speed = 0x10;               // 0x1000 a frame
    Update({e}, 0);
    ObjectRecord* o = Find(11);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(Client.newObjects, 1);
    const uint32_t reported = kX + (0x100u << 13);
    EXPECT_EQ(o->reported.x, reported);
    EXPECT_NEAR((double)(int32_t)(reported - o->position.x), 16.0 * 0x1000, 16.0 * 2);
    for (int round = 0; round < 3; round++) {
        for (int f = 0; f < 16; f++) Client_ObjectStep(o);
        EXPECT_NEAR((double)(int32_t)(o->reported.x - o->position.x), 0.0, 16.0) << round;
        e.x = (int16_t)(e.x + 0x40);
        e.flags = MSG_OBJECT_RELATIVE;
        Update({e});
        EXPECT_EQ(Client.keptObjects, 1);
        EXPECT_EQ(Find(11), o);
    }
}

TEST_F(CopiesEnv, AircraftCopiesTakeTheAircraftDrawRoutineAndAreFoundByTheAirSearch) {
    // The category byte is the server object's class, the status byte its
    // state: the player's air search (1/1) finds the airborne aircraft only.
    struct Case {
        uint8_t category, status;
        void (*draw)(ObjectRecord*);
        bool airTarget;
    } cases[] = {{0x00, OBJ_STATE_AIRBORNE, render_ObjectDraw, false},
                 {0x01, OBJ_STATE_AIRBORNE, plane_ObjectDraw, true},
                 {0x01, OBJ_STATE_WAITING, plane_ObjectDraw, false},
                 {0x02, OBJ_STATE_WAITING, plane_ObjectDraw, false},
                 {0x08, OBJ_STATE_AIRBORNE, render_ObjectDraw, false},
                 {0x10, 0, render_ObjectDraw, false}};
    ObjectRecord player{};
    player.flags = OBJ_FLAG_PLAYER;
    player.position = FixWorldPos{kX, 0, kZ};
    uint32_t serial = 41;
    for (const Case& c : cases) {
        MsgObjectEntry e = Entry(serial, 1);
        e.category = c.category;
        e.status = c.status;
        Update({e});
        ObjectRecord* o = Find(serial++);
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(o->draw, c.draw) << (int)c.category;
        EXPECT_EQ(o->aiClass, c.category);
        EXPECT_EQ(o->stateFlags, c.status);
        EXPECT_EQ(obj_CandidateFilter(&player, o, 1, 1), c.airTarget ? 1 : 0) << (int)c.category;
    }
}

TEST_F(CopiesEnv, MissedCopiesRetireUnlessTheyLinger) {
    MsgObjectEntry plain = Entry(21, 1), lingering = Entry(23, 2);
    lingering.category = 0x01;
    Update({plain, lingering});
    ASSERT_NE(Find(21), nullptr);
    ObjectRecord* kept = Find(23);
    ASSERT_NE(kept, nullptr);
    int32_t free = net_DcbPoolFreeCount(&level_ClientObjectArray);
    Update({});
    EXPECT_EQ(Find(21), nullptr);
    EXPECT_EQ(net_DcbPoolFreeCount(&level_ClientObjectArray), free + 1);
    for (int i = 1; i < 100; i++) Update({});
    EXPECT_EQ(Find(23), kept) << "100 packets without an update";
    Update({});
    EXPECT_EQ(Find(23), nullptr);
    // A copy named again by serial is the same record.
    Update({plain});
    ObjectRecord* again = Find(21);
    Update({plain});
    EXPECT_EQ(Find(21), again);
}

TEST_F(CopiesEnv, EventsReachCopiesNamedInThePacketOrNotYet) {
    // Events arrive in the middle of a packet: a copy is then on the packet
    // list once named in it, and still on the known list before.
    MsgObjectEntry named = Entry(61, 1), waiting = Entry(63, 2), lingering = Entry(65, 3);
    lingering.category = 0x01;
    Update({named, waiting, lingering});
    Client.packetFrame += 16;
    LeSpanWriter w(buffer, sizeof buffer);
    MsgObjectData h{1, FixVec3{(int32_t)kX, 0, (int32_t)kZ}};
    named.alive = 0;
    ASSERT_EQ(msg_ObjectDataEncode(&w, &h, &named), 0);
    MsgRecord r{MSG_OBJECTDATA, (uint16_t)w.pos, buffer};
    Client_ObjectsPacketStart();
    Client_ObjectData(&r);
    ObjectRecord* copies[] = {Client_ObjectFind(61), Client_ObjectFind(63), Client_ObjectFind(65)};
    for (ObjectRecord* o : copies) ASSERT_NE(o, nullptr);
    EXPECT_EQ(copies[0]->hitPoints, 0);
    EXPECT_EQ(Client_ObjectFind(67), nullptr);
    auto event = [](uint16_t id, uint32_t serial) {
        uint8_t bytes[64];
        LeSpanWriter ew(bytes, sizeof bytes);
        MsgEventCommon c{id, 1, serial, FixVec3{}};
        ASSERT_EQ(msg_EventCommonEncode(&ew, &c), 0);
        MsgRecord e{id, (uint16_t)ew.pos, bytes};
        Client_EventWorld(&e);
    };
    copies[1]->hitPoints = 0;
    event(EVENT_PLAYERRESET, 61);
    event(EVENT_PLAYERRESET, 63);
    event(EVENT_PLAYERRESET, 67);  // no such copy: nothing happens
    EXPECT_EQ(copies[0]->hitPoints, 1);
    EXPECT_EQ(copies[1]->hitPoints, 1);
    // Debris takes a lingering copy out of play: it goes at the packet's
    // end although it would have lingered.
    ASSERT_TRUE(copies[2]->copyFlags & OBJ_COPY_LINGERS);
    event(EVENT_DEBRIS, 65);
    EXPECT_EQ(copies[2]->copyFlags, 0);
    Client_ObjectsRetire();
    EXPECT_EQ(Client_ObjectFind(61), copies[0]);
    EXPECT_EQ(Client_ObjectFind(63), nullptr);
    EXPECT_EQ(Client_ObjectFind(65), nullptr);
}

TEST_F(CopiesEnv, RecordsThatFailTheirChecksAreSkipped) {
    MsgObjectEntry bad = Entry(31, 0);
    bad.typeIndex = 200;  // beyond the model table
    Update({bad, Entry(33, 0)});
    EXPECT_EQ(Find(31), nullptr);
    EXPECT_NE(Find(33), nullptr);
    // A count the record's length cannot hold: nothing is applied.
    LeSpanWriter w(buffer, sizeof buffer);
    MsgObjectEntry one = Entry(35, 0);
    MsgObjectData h{1, {}};
    ASSERT_EQ(msg_ObjectDataEncode(&w, &h, &one), 0);
    buffer[4] = 2;
    MsgRecord r{MSG_OBJECTDATA, (uint16_t)w.pos, buffer};
    Client_ObjectData(&r);
    Client_ObjectsRetire();
    EXPECT_EQ(Find(35), nullptr);
    // A packet that never reached its end leaves its copies known.
    LeSpanWriter w2(buffer, sizeof buffer);
    MsgObjectEntry cut = Entry(37, 0);
    MsgObjectData h2{1, {}};
    ASSERT_EQ(msg_ObjectDataEncode(&w2, &h2, &cut), 0);
    MsgRecord r2{MSG_OBJECTDATA, (uint16_t)w2.pos, buffer};
    Client_ObjectData(&r2);
    Client_ObjectsPacketStart();
    EXPECT_NE(Find(37), nullptr);
    EXPECT_EQ(Client.packetObjects, nullptr);
    // A full pool skips the record; a later packet makes it.
    std::vector<MsgObjectEntry> many;
    for (uint32_t i = 0; i < 10; i++) many.push_back(Entry(41 + 2 * i, (int16_t)i));
    Update(many);
    EXPECT_EQ(net_ObjectListCount(Client.knownObjects), 7) << "37 held the eighth record";
    Update(many);
    EXPECT_EQ(net_ObjectListCount(Client.knownObjects), 8);
}

TEST_F(CopiesEnv, StaticBatchAppliedOnceAndConfirmedEachTime) {
    MsgStaticEntry s[3] = {};
    for (int i = 0; i < 3; i++) {
        s[i].position = FixVec3{(int32_t)(kX + (uint32_t)i * 0x100000), 0x100, (int32_t)kZ};
        s[i].angles.heading = 0x400000;
        s[i].typeIndex = (uint16_t)(i == 2 ? 500 : 5);  // the last names no model slot
        s[i].kind = 0x11;
        s[i].side = 0x04;
        s[i].categoryFlags = 0x02;
    }
    s[1].position.y = -0x10000000;  // y x 16 below zero: on the ground
    auto send = [&](uint16_t batch) {
        LeSpanWriter w(buffer, sizeof buffer);
        MsgStaticData h{batch, 3};
        ASSERT_EQ(msg_StaticDataEncode(&w, &h, s), 0);
        MsgRecord r{MSG_STATICDATA, (uint16_t)w.pos, buffer};
        Client.staticConfirmPending = 0;
        Client_StaticData(&r);
        EXPECT_EQ(Client.staticConfirmPending, 1);
        EXPECT_EQ(Client.staticBatch, batch);
    };
    send(0);
    ASSERT_EQ(obj_ClientStaticCount, 2);
    ObjectRecord* a = obj_ClientStatics[0];
    EXPECT_EQ(a->drawFlags, 0x11);
    EXPECT_EQ(a->flags, 0x04 | OBJ_FLAG_STATIC | OBJ_FLAG_UNLISTED);
    EXPECT_EQ(a->position.y, 0x100u);
    EXPECT_EQ(a->angles.heading, 0x400000);
    EXPECT_EQ(a->category, 0x02);
    EXPECT_EQ(a->aiClass, 2);
    EXPECT_EQ(obj_ClientStatics[1]->position.y, 0u) << "on the flat ground";
    send(0);
    EXPECT_EQ(obj_ClientStaticCount, 2) << "the same batch is not applied twice";
    send(1);
    EXPECT_EQ(obj_ClientStaticCount, 4);
}

// A new copy starts its engine source and its type's sound a little off
// natural pitch; updates keep the one source, which follows the copy every
// 4th frame (heard only while status bit 0 is set) and goes with it.
TEST_F(CopiesEnv, CopySoundsFollowTheCopyAndGoWithIt) {
    mix_SourcesInit(6, 8, nullptr, nullptr, nullptr);
    sndtrig_Event.pitch = 0;
    Update({Entry(51, 1)});
    ObjectRecord* o = Find(51);
    ASSERT_NE(o, nullptr);
    const int32_t id = o->soundSource;
    EXPECT_NE(id, 0);
    EXPECT_EQ(mix_SourceTable.count, 1);
    EXPECT_GE(sndtrig_Event.pitch, 0x10000 - 0x7F);
    EXPECT_LE(sndtrig_Event.pitch, 0x10000 + 0x80);
    MsgObjectEntry first = Entry(51, 2, MSG_OBJECT_RELATIVE | MSG_OBJECT_FIRST);
    Update({first});
    Update({Entry(51, 3)});
    EXPECT_EQ(o->soundSource, id) << "one source however often updated";
    EXPECT_EQ(mix_SourceTable.count, 1);
    const SndSource& s = mix_SourceTable.sources[0];
    for (uint8_t status : {0, 1}) {
        o->stateFlags = status;
        Client.frame = 4;
        Client_ObjectStep(o);
        EXPECT_EQ(s.x, (int32_t)o->position.x);
        EXPECT_EQ(s.volume, 128);
        EXPECT_EQ((s.flags & MIX_SOURCE_MUTED) != 0, status == 0) << (int)status;
    }
    Update({});
    EXPECT_EQ(Find(51), nullptr);
    EXPECT_EQ(mix_SourceTable.count, 0);
}

// A copy whose status has bit 1 set smokes: a puff each frame.
TEST_F(CopiesEnv, SmokingCopyPuffsEachStep) {
    DcbPool common{};
    ASSERT_EQ(net_DcbPoolCreate(sizeof(_COMMON_DCB), 8, &common, nullptr, "common"), 0);
    level_ClientArrays.common = common;
    Update({Entry(61, 1)});
    ObjectRecord* o = Find(61);
    ASSERT_NE(o, nullptr);
    for (uint8_t status : {0x00, 0x02}) {
        o->stateFlags = status;
        const int32_t free = net_DcbPoolFreeCount(&level_ClientArrays.common);
        Client_ObjectStep(o);
        EXPECT_EQ(net_DcbPoolFreeCount(&level_ClientArrays.common), free - (status ? 1 : 0)) << (int)status;
    }
    level_ClientArrays.common = DcbPool{};
}

}  // namespace
