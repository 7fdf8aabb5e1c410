// The client's event handlers: the bundle walk with its repeat test and the
// level-run split, the checks on every index the server sends, the hit
// event's weapon lookups, and one event's road from the server's queue
// through the bridge to the client's handler and back as a confirmation.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/file.h"
#include "base/le.h"
#include "base/mem.h"
#include "cockpit/tacmap.h"
#include "fixtures/sample_data.h"
#include "input/ffb.h"
#include "net/bridge.h"
#include "net/client.h"
#include "net/player.h"
#include "net/server.h"
#include "net/server_calls.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "sound/mix.h"
#include "sound/sndtrig.h"
#include "world/terrain.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/model.h"
#include "world/loadout.h"
#include "world/objarray.h"

namespace {

const GameModeFlags kSinglePlayer = {1, 1, 1, 1, 0};
const GameModeFlags kRemote = {0, 0, 0, 1, 0};

// Events laid back to back, then wrapped as one MSG_EVENTDATA record.
struct Bundle {
    uint8_t events[MSG_PACKET_MAX];
    LeSpanWriter e{events, sizeof events};
    uint16_t count = 0;
    uint8_t record[MSG_PACKET_MAX];

    Bundle& Common(uint16_t id, uint32_t tag, uint32_t value, FixVec3 at = {0, 0, 0}) {
        MsgEventCommon c{id, tag, value, at};
        EXPECT_EQ(msg_EventCommonEncode(&e, &c), 0);
        count++;
        return *this;
    }
    Bundle& Scores(uint32_t tag, uint32_t n) {
        MsgEventScores m{};
        m.tag = tag;
        m.count = n;
        for (uint32_t i = 0; i < n; i++) m.entries[i] = MsgScoreEntry{(uint16_t)i, (int16_t)(100 - i)};
        EXPECT_EQ(msg_EventScoresEncode(&e, &m), 0);
        count++;
        return *this;
    }
    // Bytes as they stand: for events no encoder would write.
    Bundle& Raw(std::vector<uint8_t> bytes) {
        EXPECT_TRUE(e.bytes(bytes.data(), bytes.size()));
        count++;
        return *this;
    }
    template <typename M, typename Enc>
    Bundle& Add(M m, Enc encode) {
        EXPECT_EQ(encode(&e, &m), 0);
        count++;
        return *this;
    }
    void Walk() {
        LeSpanWriter w(record, sizeof record);
        ASSERT_EQ(msg_EventDataEncode(&w, count, events, e.pos), 0);
        MsgRecord r{MSG_EVENTDATA, (uint16_t)w.pos, record};
        Client_EventBundle(&r);
    }
};

// The event head by hand: id, length, tag.
std::vector<uint8_t> Head(uint16_t id, uint16_t length, uint32_t tag) {
    std::vector<uint8_t> b(length, 0);
    LeSpanWriter w(b.data(), b.size());
    w.u16(id);
    w.u16(length);
    w.u32(tag);
    return b;
}

std::vector<uint32_t> Confirms(void) { return std::vector<uint32_t>(Client.confirmTags, Client.confirmTags + Client.confirmCount); }

class ClientEventTest : public ::testing::Test {
protected:
    TestWorkDir work;

    void SetUp() override {
        test_SampleDataEnter(work, "krx_client_event");
        if (HasFatalFailure()) return;
        Client_FlightState = 0;
        Client_ExitResult = 0;
        Client_SquadronWord = 0;
        Client_PlayerDisplayRecords.scoreCount = 0;
        player_LastStartupNumber = 0xFFFFFFFFu;
    }
    void TearDown() override {
        depth_Level.staticHeads = nullptr;
        test_SampleGameLeave(work);
    }

    // The client alone, started, both halves on level run 3.
    void Started(const GameModeFlags& mode) {
        level_GameMode = mode;
        memset(&net_Bridge, 0, sizeof net_Bridge);
        net_Bridge.server.buffer = static_cast<uint8_t*>(mem_AllocEx(BRIDGE_BUFFER_SIZE, 4, "Bridge.server_buffer"));
        net_Bridge.client.buffer = static_cast<uint8_t*>(mem_AllocEx(BRIDGE_BUFFER_SIZE, 4, "Bridge.client_buffer"));
        Client_Start();
        ASSERT_NE(Client.tmpTags, nullptr);
        Client_PlayerBlockTail[1] = 1;
        Client.frame = 1;
        Client_LevelRunNumber = 3;
        Client.serverRunNumber = 3;
    }
};

// A bundle sent again before its confirmation reached the server: its tags
// are confirmed again, its events take effect once; a new tag does.
TEST_F(ClientEventTest, RepeatedBundleIsConfirmedAgainWithoutEffect) {
    Started(kSinglePlayer);
    Bundle a;
    a.Common(EVENT_SQUADJOIN, 11, 5).Scores(13, 2);
    a.Walk();
    EXPECT_EQ(Client_SquadronWord, 5u);
    EXPECT_EQ(Client_PlayerDisplayRecords.scoreCount, 2u);
    EXPECT_EQ(Confirms(), (std::vector<uint32_t>{11, 13}));

    Client_SquadronWord = 0;
    Client_PlayerDisplayRecords.scoreCount = 0;
    a.Walk();
    EXPECT_EQ(Client_SquadronWord, 0u);
    EXPECT_EQ(Client_PlayerDisplayRecords.scoreCount, 0u);
    EXPECT_EQ(Confirms(), (std::vector<uint32_t>{11, 13, 11, 13}));

    Bundle b;
    b.Common(EVENT_SQUADJOIN, 11, 6).Common(EVENT_SQUADJOIN, 15, 7);
    b.Walk();
    EXPECT_EQ(Client_SquadronWord, 7u) << "only the new tag acts";
}

// Between a level reset and the next player info the runs differ: flight
// handlers still run and every tag is confirmed, world handlers do not.
TEST_F(ClientEventTest, LevelRunMismatchRunsOnlyFlightHandlers) {
    Started(kSinglePlayer);
    Client.serverRunNumber = 2;
    Bundle a;
    a.Scores(21, 3).Common(EVENT_SQUADJOIN, 23, 9);
    MsgEventLevelReset reset{25, 1, 4};
    a.Add(reset, msg_EventLevelResetEncode);
    a.Walk();
    EXPECT_EQ(Client_PlayerDisplayRecords.scoreCount, 0u);
    EXPECT_EQ(Client_SquadronWord, 9u);
    EXPECT_EQ(Client_FlightState, 3);
    EXPECT_EQ(Client_LevelRunNumber, 4u);
    EXPECT_EQ(Confirms(), (std::vector<uint32_t>{21, 23, 25}));
    // The reset answers with MSG_RESPONSE kind 3 and the new run.
    ASSERT_NE(Client.sendQueue, nullptr);
    const ClientQueuedMessage* q = reinterpret_cast<const ClientQueuedMessage*>(Client.sendQueue);
    MsgResponse r;
    ASSERT_EQ(msg_ResponseDecode(q->record, q->length, &r), 0);
    EXPECT_EQ(r.kind, 3);
    EXPECT_EQ(r.value, 4u);
}

// A weapon index outside the table is a plain hit: no force-feedback shock
// and no hit sound. A gun of the table gets both.
TEST_F(ClientEventTest, BeenHitOutsideTheWeaponTableHasNoShockAndNoSound) {
    Started(kSinglePlayer);
    ASSERT_EQ(ffb_Init(16), 0);
    ffb_FeedbackActive = 1;
    plane_CurrentDescriptor.aircraftSoundType = 12;
    struct Case {
        uint32_t index;
        int32_t shocks;
        uint16_t subtype, id;
    } cases[] = {{39, 0, 0xEE, 0xEE}, {0xFFFFFFFFu, 0, 0xEE, 0xEE}, {0, 1, 3, 33}};
    uint32_t tag = 101;
    for (const Case& c : cases) {
        int32_t before = ffb_ActiveList.count;
        sndtrig_Event.subtype = 0xEE;
        sndtrig_Event.id = 0xEE;
        Bundle b;
        b.Common(EVENT_BEENHIT, tag += 2, c.index);
        b.Walk();
        EXPECT_EQ(ffb_ActiveList.count - before, c.shocks) << c.index;
        EXPECT_EQ(sndtrig_Event.subtype, c.subtype) << c.index;
        EXPECT_EQ(sndtrig_Event.id, c.id) << c.index;
    }
    ffb_FeedbackActive = 0;
    ffb_Shutdown();
    plane_CurrentDescriptor = _PLANE_TYPE{};
}

// Every slot, count and name from the server is checked before it is used.
TEST_F(ClientEventTest, ServerIndicesAreChecked) {
    Started(kRemote);
    Client_PlayerNamesFree();
    uint32_t tag = 201;
    auto name = [&](uint16_t slot, const char* text) {
        MsgEventName m{};
        m.tag = tag += 2;
        m.player = slot;
        snprintf(m.name, sizeof m.name, "%s", text);
        snprintf(m.plane, sizeof m.plane, "F-16");
        m.side = 1;
        m.squadron = 4;
        Bundle b;
        b.Add(m, msg_EventNameEncode).Walk();
    };
    name(127, "Last");
    name(128, "Beyond");
    EXPECT_STREQ(player_Table[127].name, "Last");
    EXPECT_STREQ(player_Table[127].aircraft, "F-16");
    EXPECT_EQ(player_Table[127].side, 1);
    EXPECT_EQ(player_Table[127].squadron, 4);

    // Scores: nine entries are refused whole.
    std::vector<uint8_t> nine = Head(EVENT_SCORES, 12 + 4 * 9, tag += 2);
    nine[8] = 9;
    Bundle s;
    s.Raw(nine).Walk();
    EXPECT_EQ(Client_PlayerDisplayRecords.scoreCount, 0u);

    // Squadron slots 0..15; slot 16 is refused, the answer goes with 15.
    auto squadron = [&](uint16_t slot) {
        MsgEventSquadron m{};
        m.tag = tag += 2;
        m.slot = slot;
        m.answer = 1;
        snprintf(m.name, sizeof m.name, "Wolves%u", slot);
        Bundle b;
        b.Add(m, msg_EventSquadronEncode).Walk();
    };
    tacmap_SquadronBuffer = nullptr;
    squadron(16);
    EXPECT_EQ(Client.sendQueue, nullptr);
    squadron(15);
    ASSERT_NE(tacmap_SquadronBuffer, nullptr);
    EXPECT_STREQ(reinterpret_cast<const char*>(tacmap_SquadronBuffer + 15 * TACMAP_SQUADRON_ENTRY_SIZE +
                                               TACMAP_SQUADRON_NAME),
                 "Wolves15");
    EXPECT_NE(Client.sendQueue, nullptr);
    tacmap_SquadronBuffer = nullptr;

    // Dynamic models: an unterminated name, a path and a slot past the
    // numbered ones load nothing.
    int32_t models = model_ClientDymods.count;
    std::vector<uint8_t> unterminated = Head(EVENT_DYMANIC_MODEL, EVENT_DYMANIC_MODEL_LENGTH, tag += 2);
    unterminated[12] = 200;
    memset(unterminated.data() + 16, 'a', 32);
    MsgEventDynamicModel path{tag += 2, 0, 200, "../boo.pak"};
    MsgEventDynamicModel slot{tag += 2, 0, 300, "boo.pak"};
    Bundle d;
    d.Raw(unterminated).Add(path, msg_EventDynamicModelEncode).Add(slot, msg_EventDynamicModelEncode).Walk();
    EXPECT_EQ(model_ClientDymods.count, models);
}

// A static object's new type must be a loaded model of the level table.
TEST_F(ClientEventTest, StaticModifyTakesOnlyALoadedType) {
    Started(kSinglePlayer);
    std::vector<ObjectRecord*> heads(OBJ_GRID_SIZE * OBJ_GRID_SIZE, nullptr);
    depth_Level.staticHeads = heads.data();
    ObjectRecord o{};
    o.position = FixWorldPos{0x4000000, 0, 0x6000000};
    o.modelSlot = 1;
    heads[obj_CellIndex(o.position.x, o.position.z)] = &o;
    _PAK_HEADER* saved[2] = {level_Models.pak[7], level_Models.pak[8]};
    level_Models.pak[7] = reinterpret_cast<_PAK_HEADER*>(&o);  // any non-null model
    level_Models.pak[8] = nullptr;
    FixVec3 at{0x4000000, 0, 0x6000000};
    Bundle b;
    b.Common(EVENT_STATICMODIFY, 301, LEVEL_MODEL_SLOTS, at).Common(EVENT_STATICMODIFY, 303, 8, at).Walk();
    EXPECT_EQ(o.modelSlot, 1) << "out of the table, or not loaded";
    Bundle c;
    c.Common(EVENT_STATICMODIFY, 305, 7, at).Walk();
    EXPECT_EQ(o.modelSlot, 7);
    level_Models.pak[7] = saved[0];
    level_Models.pak[8] = saved[1];
}

// The remote bullet moves ahead by the wrapped 16-bit frame distance, never
// more than the cap.
TEST_F(ClientEventTest, BulletAdvanceWrapsAndIsClamped) {
    struct Case {
        int32_t lastServerFrame;
        uint16_t stamp;
        int32_t frames;
    } cases[] = {{0x10002, 0xFFFF, 3}, {5, 7, 2}, {0x12345, 0x2345, 0}, {40000, 0, 64}, {1000, 900, 64}};
    for (const Case& c : cases) {
        Client.lastServerFrame = c.lastServerFrame;
        EXPECT_EQ(Client_BulletAdvanceFrames(c.stamp), c.frames) << c.lastServerFrame << " " << c.stamp;
    }
    Client.lastServerFrame = 0;
}

// Detaching: flags cleared, retired at the next packet's end, its sound
// source gone, and no longer the player's target.
TEST_F(ClientEventTest, DetachTakesTheCopyOutOfPlay) {
    Started(kSinglePlayer);
    ObjectRecord player{}, o{};
    o.copyFlags = 0x0D;
    o.soundSource = mix_SourceAddSilent(0, 0, 0x10000, nullptr, nullptr);
    ASSERT_NE(o.soundSource, 0);
    player.target = &o;
    ObjectRecord* saved = Client_PlayerObject;
    Client_PlayerObject = &player;
    Client_ObjectDetach(&o);
    EXPECT_EQ(o.copyFlags, 0);
    EXPECT_LT(o.linger, 0);
    EXPECT_EQ(o.soundSource, 0);
    EXPECT_EQ(player.target, nullptr);
    Client_PlayerObject = saved;
}

// In one process: an event the server queues reaches the client's handler
// once, is confirmed, and leaves the server's pending list.
TEST_F(ClientEventTest, BridgeEventReachesTheHandlerOnceAndIsConfirmed) {
    snprintf(level_MissionNames.mission, sizeof level_MissionNames.mission, "F1M1.ORF");
    snprintf(level_MissionNames.reference, sizeof level_MissionNames.reference, "F1M1.REF");
    level_GameMode = kSinglePlayer;
    bridge_Start();
    ASSERT_NE(Server.player, nullptr);
    // The local player's slot, as its join makes it, waiting for its start-up.
    const int32_t slot = 0;
    PlayerSlot* s = &Server.player[slot];
    ASSERT_EQ(Server_PlayerMemCreate(slot), 0);
    s->inUse = 1;
    s->remote = 0;
    s->startupPending = 1;
    s->startupSerial = 1;
    loadout_PlayerSetup(&s->stored[0]);
    s->stored[1] = s->stored[0];
    s->block = s->stored[0];
    for (int32_t i = 0; i < 20 && !Client_Started(); i++) {
        Server_Frame();
        Client_Frame();
    }
    ASSERT_TRUE(Client_Started());
    for (int32_t i = 0; i < 8; i++) {  // until the player info has brought the run number
        Server_Frame();
        Client_Frame();
    }
    ASSERT_EQ(s->active, 1u) << "the start-up was confirmed";

    Client_SquadronWord = 0;
    Server_CallQueueEvent(EVENT_SQUADJOIN, 42, nullptr, SERVER_TO_PLAYER, slot, 0, 0x400);
    int32_t applied = 0;
    for (int32_t i = 0; i < 12; i++) {
        Server_Frame();
        Client_Frame();
        if (Client_SquadronWord == 42) {
            applied++;
            Client_SquadronWord = 0;  // a second run of the handler would set it again
        }
    }
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(s->pendingEvents, nullptr) << "confirmed";
}

}  // namespace
