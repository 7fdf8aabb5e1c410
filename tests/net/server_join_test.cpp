// Players joining and leaving the server's slots, a slot's restart, the
// squadron announcements, the traffic statistics and the receive-load graph.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/file.h"
#include "cockpit/tacmap.h"
#include "display/dsurf.h"
#include "display/otw.h"
#include "fixtures/headless.h"
#include "fixtures/heaps.h"
#include "fixtures/sample_data.h"
#include "net/bridge.h"
#include "net/client.h"
#include "net/driver.h"
#include "net/msg.h"
#include "net/player.h"
#include "net/rules.h"
#include "net/server.h"
#include "net/server_calls.h"
#include "shell/settings.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/levelseq.h"
#include "world/objarray.h"
#include "world/model.h"

namespace {

// Ids of the queued events, oldest first.
std::vector<uint16_t> QueuedIds(void) {
    std::vector<uint16_t> ids;
    for (ListNode* n = Server.eventQueue; n; n = n->next)
        ids.insert(ids.begin(), reinterpret_cast<const NetQueuedMessage*>(n)->record[0]);
    return ids;
}
const NetQueuedMessage* Queued(uint16_t id) {
    for (ListNode* n = Server.eventQueue; n; n = n->next) {
        const NetQueuedMessage* e = reinterpret_cast<const NetQueuedMessage*>(n);
        if (e->record[0] == id) return e;
    }
    return nullptr;
}
void QueueClear(void) {
    while (Server.eventQueue) {
        ListNode* n = Server.eventQueue;
        Server.eventQueue = n->next;
        list_PoolGiveBack(&Server.eventPool, n);
    }
}

class ServerJoin : public ::testing::Test {
protected:
    uint8_t remoteDescriptor[PLAYER_DESCRIPTOR_SIDE_SIZE]{};
    size_t remoteSize = 0;

    void SetUp() override {
        ASSERT_EQ(test_HeapsFresh(0x400000, 0x1000, 0x1000), 0);
        level_GameMode = GameModeFlags{1, 0, 0, 0, 0};  // dedicated network server
        memset(&app_Settings, 0, sizeof app_Settings);
        memset(player_Table, 0, sizeof player_Table);
        model_DymodFreeAll(&model_ServerDymods);
        ASSERT_EQ(Server_RecordCreate(), 0);
        memset(&net_Bridge, 0, sizeof net_Bridge);
        net_Bridge.client.buffer = static_cast<uint8_t*>(mem_AllocEx(BRIDGE_BUFFER_SIZE, 4, "Bridge.client_buffer"));
        ASSERT_NE(net_Bridge.client.buffer, nullptr);
        text("PILOT", app_Settings.PLAYER_NAME, sizeof app_Settings.PLAYER_NAME);
        memset(&player_AircraftBlock, 0, sizeof player_AircraftBlock);
        text("KRX", player_AircraftBlock.name, sizeof player_AircraftBlock.name);
        text("krx.pak", player_AircraftBlock.modelFile, sizeof player_AircraftBlock.modelFile);
        player_SideText[0] = 0;
        player_DescriptorBuild(player_DescriptorBuffer);
        remoteSize = player_DescriptorBuild(remoteDescriptor);
        Server_SessionNetId = 0;
    }
    void TearDown() override {
        model_DymodFreeAll(&model_ServerDymods);
        memset(&net_Bridge, 0, sizeof net_Bridge);
        memset(&Server, 0, sizeof Server);
        Server_SessionNetId = 0;
        Server_JoiningData = nullptr;
        Server_JoiningDataSize = 0;
        level_GameMode = GameModeFlags{};
        tacmap_SquadronBuffer = nullptr;
    }
    static void text(const char* from, char* to, size_t size) {
        memset(to, 0, size);
        strncpy(to, from, size - 1);
    }
    // A remote player joins through the transport's callback, with what the
    // driver learnt of it.
    void RemoteJoin(int32_t netId) {
        net_Counters.lastSender = (uint32_t)netId;
        size_t n = remoteSize < sizeof net_Counters.joinData ? remoteSize : sizeof net_Counters.joinData;
        memcpy(net_Counters.joinData, remoteDescriptor, n);
        net_Counters.joinDataSize = (uint32_t)n;
        net_DriverCallbacks[NET_CALLBACK_PLAYER_JOINED](nullptr, 0);
    }
    void RemoteLeave(int32_t netId) {
        net_Counters.lastSender = (uint32_t)netId;
        net_DriverCallbacks[NET_CALLBACK_PLAYER_LEFT](nullptr, 0);
    }
    // The join result of the start-up record the bridge carries to the local
    // client, or 1 when none was sent.
    int32_t LocalRefusal(void) {
        size_t size = 0;
        int32_t sender = 0;
        const uint8_t* p = net_ReceivePacket(1, &size, &sender);
        if (!p) return 1;
        PlayerStartupView v;
        if (player_StartupParse(p, size, &v) != 0) return 2;
        return v.joinResult;
    }
};

// Joins take the lowest free slot, also after a leave; counts, peak and
// total follow; the local player is id 0, network id 0 and not remote (so
// it gets no static list); a remote player without a session name is "N/A".
TEST_F(ServerJoin, LowestFreeSlotAndCounts) {
    Server_RegisterSessionCallbacks();
    ASSERT_NE(net_DriverCallbacks[NET_CALLBACK_PLAYER_JOINED], nullptr);
    Server_PlayerJoined();  // the local player, as the bridge joins it
    PlayerSlot& local = Server.player[0];
    EXPECT_EQ(local.inUse, 1);
    EXPECT_EQ(local.playerId, 0u);
    EXPECT_EQ(local.netPlayerId, 0u);
    EXPECT_EQ(local.remote, 0);
    EXPECT_STREQ(local.name, "PILOT");
    EXPECT_EQ(local.name, player_Table[0].name);
    EXPECT_EQ(local.startupPending, 1u);
    EXPECT_EQ(local.restartRequest, 1u);
    EXPECT_EQ(local.side, -1);
    EXPECT_EQ(local.countdown, static_cast<uint32_t>(SERVER_JOIN_COUNTDOWN));
    EXPECT_NE(local.memStart, nullptr);
    EXPECT_NE(local.eventPool.block, nullptr);

    RemoteJoin(101);
    RemoteJoin(102);
    RemoteJoin(103);
    EXPECT_EQ(Server.player[2].netPlayerId, 102u);
    EXPECT_EQ(Server.player[2].remote, 1);
    EXPECT_STREQ(Server.player[2].name, "N/A");
    EXPECT_EQ(Server.playerCount, 4);
    EXPECT_EQ(Server.peakPlayers, 4);

    RemoteLeave(102);
    RemoteLeave(555);  // nobody's: ignored
    EXPECT_EQ(Server.player[2].inUse, 0);
    EXPECT_EQ(player_Table[2].name[0], 0);
    EXPECT_EQ(Server.playerCount, 3);
    RemoteJoin(104);
    EXPECT_EQ(Server.player[2].netPlayerId, 104u);
    EXPECT_EQ(Server.playerCount, 4);
    EXPECT_EQ(Server.totalJoins, 5);
    RemoteLeave(101);
    Server_PeakPlayersReset();
    EXPECT_EQ(Server.peakPlayers, 3);
}

// A 17th join gets no slot and changes none; the refused player hears it
// through the join result.
TEST_F(ServerJoin, SeventeenthJoinIsRefused) {
    Server_RegisterSessionCallbacks();
    for (int32_t i = 0; i < SERVER_PLAYERS; i++) RemoteJoin(200 + i);
    ASSERT_EQ(Server.playerCount, SERVER_PLAYERS);
    std::vector<uint8_t> before(reinterpret_cast<uint8_t*>(Server.player),
                                reinterpret_cast<uint8_t*>(Server.player + SERVER_PLAYERS));
    Server_PlayerJoined();  // the local player finds no room
    EXPECT_EQ(Server.playerCount, SERVER_PLAYERS);
    EXPECT_EQ(Server.totalJoins, SERVER_PLAYERS);
    EXPECT_EQ(memcmp(before.data(), Server.player, before.size()), 0);
    EXPECT_EQ(LocalRefusal(), PLAYER_JOIN_REFUSED_FIRST);
}

// Capture the flag: a full team (2) and a squadron of neither team (3)
// refuse the join with no slot touched, as the join results -5 and -6.
TEST_F(ServerJoin, TeamRefusalsGetNoSlot) {
    app_Settings.RAW_MAX_PLAYERS = 2;
    strcpy(app_Settings.RAW_SIDE1_PASSWORD, "HAWKS");
    strcpy(app_Settings.RAW_SIDE2_PASSWORD, "OWLS");
    rules_CaptureTheFlagStart();
    Server.rules = &rules_CaptureTheFlag;
    struct Case {
        const char* squadron;
        int32_t slot;
        int32_t result;
    } cases[] = {
        {"HAWKS", 0, 1},  // accepted: nothing sent here
        {"HAWKS", -1, PLAYER_JOIN_REFUSED_FIRST},
        {"CROWS", -1, PLAYER_JOIN_REFUSED_SECOND},
        {"OWLS", 1, 1},
    };
    for (const Case& c : cases) {
        text(c.squadron, player_SideText, sizeof player_SideText);
        player_DescriptorBuild(player_DescriptorBuffer);
        int32_t count = Server.playerCount;
        Server_PlayerJoined();
        EXPECT_EQ(LocalRefusal(), c.result) << c.squadron;
        EXPECT_EQ(Server.playerCount, count + (c.slot >= 0 ? 1 : 0)) << c.squadron;
        if (c.slot >= 0) {
            EXPECT_EQ(Server.player[c.slot].inUse, 1) << c.squadron;
        }
    }
    EXPECT_EQ(rules_Ctf.players[RULES_TEAM_A], 1);
    EXPECT_EQ(rules_Ctf.players[RULES_TEAM_B], 1);
    // The colour of the team became the squadron word.
    EXPECT_EQ(Server.player[1].squadron, rules_Ctf.colour[RULES_TEAM_B]);
}

// The named model: a terminated plain file name from the block, else the
// exterior model of its type, the shipped one for an unknown type; a
// damaged descriptor gets no slot.
TEST_F(ServerJoin, ModelNameIsAPlainFileName) {
    struct Case {
        const char* what;
        const char* type;
        const char* model;
        const char* expected;
    } cases[] = {
        {"own model", "KRX", "own.pak", "own.pak"},
        {"a path", "KRX", "../etc/x.pak", "krx.pak"},
        {"a folder", "KRX", "..\\x.pak", "krx.pak"},
        {"unknown type, no model", "ZEPPELIN", "", "krx.pak"},
    };
    for (const Case& c : cases) {
        model_DymodFreeAll(&model_ServerDymods);
        for (PlayerSlot* s = Server.player; s < Server.player + SERVER_PLAYERS; s++) s->inUse = 0;
        text(c.type, player_AircraftBlock.name, sizeof player_AircraftBlock.name);
        text(c.model, player_AircraftBlock.modelFile, sizeof player_AircraftBlock.modelFile);
        player_DescriptorBuild(player_DescriptorBuffer);
        Server_PlayerJoined();
        const _DYMOD* d = model_DymodFind(&model_ServerDymods, Server.player[0].dymodSlot);
        ASSERT_NE(d, nullptr) << c.what;
        EXPECT_EQ(std::string(d->name, strnlen(d->name, MODEL_DYMOD_NAME_SIZE)), c.expected) << c.what;
    }
    Server.player[0].inUse = 0;
    int32_t count = Server.playerCount;
    memset(player_DescriptorBuffer, 0xFF, sizeof player_DescriptorBuffer);
    Server_PlayerJoined();
    EXPECT_EQ(Server.player[0].inUse, 0);
    EXPECT_EQ(Server.playerCount, count);
}

// A leave frees the slot's memory, announces it, sends the scores, marks
// the name empty on the clients and releases the named model.
TEST_F(ServerJoin, LeaveAnnouncesAndFrees) {
    Server_RegisterSessionCallbacks();
    RemoteJoin(7);
    PlayerSlot& s = Server.player[0];
    int32_t model = s.dymodSlot;
    ASSERT_NE(model_DymodFind(&model_ServerDymods, model), nullptr);
    QueueClear();
    RemoteLeave(7);
    EXPECT_EQ(s.inUse, 0);
    EXPECT_EQ(s.memStart, nullptr);
    EXPECT_EQ(model_DymodFind(&model_ServerDymods, model), nullptr);
    std::vector<uint16_t> ids = QueuedIds();
    // The model's release, the text, the scores, the empty name.
    auto at = [&](uint16_t id) { return std::find(ids.begin(), ids.end(), id) - ids.begin(); };
    ASSERT_LT(at(EVENT_TEXT), static_cast<long>(ids.size()));
    EXPECT_LT(at(EVENT_DYMANIC_MODEL), at(EVENT_TEXT));
    EXPECT_LT(at(EVENT_TEXT), at(EVENT_SCORES));
    EXPECT_LT(at(EVENT_SCORES), at(EVENT_NAME));
    const NetQueuedMessage* name = Queued(EVENT_NAME);
    ASSERT_NE(name, nullptr);
    MsgEventName m;
    ASSERT_EQ(msg_EventNameDecode(name->record, name->length, &m), 0);
    EXPECT_EQ(m.name[0], 0);

    // The connection callback raises the flag; the next registration clears it.
    net_DriverCallbacks[NET_CALLBACK_SESSION_LOST](nullptr, 0);
    EXPECT_EQ(Server_ConnectionFlag, 1);
    Server_RegisterSessionCallbacks();
    EXPECT_EQ(Server_ConnectionFlag, 0);
}

// A restart makes the slot active with the update interval as its expected
// frames, and names the player to all.
TEST_F(ServerJoin, RestartActivates) {
    Server_PlayerJoined();
    QueueClear();
    Server.updateInterval = 16;
    Server.player[0].framesSince = 99;
    Server_PlayerRestart(0);
    const PlayerSlot& s = Server.player[0];
    EXPECT_EQ(s.active, 1u);
    EXPECT_EQ(s.restartRequest, 0u);
    EXPECT_EQ(s.framesSince, 0u);
    EXPECT_EQ(s.expectedFrames, 16);
    std::vector<uint16_t> ids = QueuedIds();
    EXPECT_NE(std::find(ids.begin(), ids.end(), EVENT_NAME), ids.end());
    EXPECT_NE(std::find(ids.begin(), ids.end(), EVENT_SCORES), ids.end());
    EXPECT_NE(std::find(ids.begin(), ids.end(), EVENT_DYMANIC_MODEL), ids.end());
    Server_PlayerRestart(5);  // unused slot: nothing
    EXPECT_EQ(Server.player[5].active, 0u);
}

// Squadrons go to a remote player one at a time, skipping empty entries,
// each after the previous one's answer; the local player gets none.
TEST_F(ServerJoin, SquadronsOneAtATime) {
    tacmap_SquadronBufferInit();
    ASSERT_NE(tacmap_SquadronBuffer, nullptr);
    for (int32_t i : {1, 4}) {
        char* name = reinterpret_cast<char*>(tacmap_SquadronBuffer + i * TACMAP_SQUADRON_ENTRY_SIZE + TACMAP_SQUADRON_NAME);
        snprintf(name, 8, "SQ%d", i);
    }
    Server_PlayerJoined();
    Server_RegisterSessionCallbacks();
    RemoteJoin(9);
    QueueClear();
    Server_SquadronAnnounceStart(0);
    EXPECT_EQ(Server.eventQueue, nullptr);
    std::vector<uint16_t> slots;
    Server_SquadronAnnounceStart(1);
    for (int32_t answer = 0; answer < 4; answer++) {
        const NetQueuedMessage* e = Queued(EVENT_SQUADRON);
        if (!e) break;
        MsgEventSquadron m;
        ASSERT_EQ(msg_EventSquadronDecode(e->record, e->length, &m), 0);
        slots.push_back(m.slot);
        QueueClear();
        Server_SquadronAnnounceNext(1);
    }
    EXPECT_EQ(slots, (std::vector<uint16_t>{1, 4}));
}

// The load ring keeps the last 64 send sizes; the dedicated server's
// receive load lands in the frame's statistics entry.
TEST_F(ServerJoin, StatisticsRing) {
    for (int32_t i = 0; i < 100; i++) Server_LoadRingAdd(i < 36 ? 1000 : 10);
    int64_t sum = 0;
    for (int32_t v : Server_LoadRing) sum += v;
    EXPECT_EQ(sum, 64 * 10);
    EXPECT_EQ(Server_PacketsSent, 100u);
    Server_LoadRingClear();
    EXPECT_EQ(Server_PacketsSent, 0u);

    static int32_t stats[2][SERVER_STATS];
    stats[1][3] = 9;
    Server.stats[0] = stats[0];
    Server.stats[1] = stats[1];
    Server.statsIndex = 3;
    Server_ReceiveLoad = 7;
    Server_StatsFrameEnd();
    EXPECT_EQ(stats[0][3], 7);
    EXPECT_EQ(stats[1][3], 0);
    Server.stats[0] = Server.stats[1] = nullptr;
}

// The graph: one line per entry from y 40 up 4 pixels per unit, never
// above the top row; nothing is drawn when the page cannot be locked.
TEST_F(ServerJoin, LoadGraphClipsAtTheTop) {
    static int32_t stats[SERVER_STATS];
    Server.stats[0] = stats;
    Server.statsIndex = 5;
    const int32_t values[] = {0, 1, 5, 10, 11, 1000000};
    for (int32_t n = 0; n < 6; n++) stats[(5 + n) & 31] = values[n];
    std::vector<uint8_t> pixels(640 * 480, 0);
    _DRAW_SURFACE desc;
    draw_InitSurfaceDesc(&desc, pixels.data(), 640, 480, 1);
    draw_SelectSurface(&desc);
    for (int32_t i = 0; i < DRAW_COLOUR_SLOTS; i++) draw_Context.slots[i] = DrawColourSlot{uint8_t(i), 0x77, 0, 0};
    level_Fonts[0] = nullptr;  // no caption: only the lines
    Server_LoadGraphDraw();
    const int32_t tops[] = {40, 36, 20, 0, 0, 0};
    for (int32_t n = 0; n < 6; n++) {
        int32_t x = 200 + 2 * n, top = -1;
        for (int32_t y = 0; y < 480 && top < 0; y++)
            if (pixels[y * 640 + x]) top = y;
        EXPECT_EQ(top, tops[n]) << "value " << values[n];
        EXPECT_EQ(pixels[41 * 640 + x], 0) << "below the base line";
        EXPECT_EQ(pixels[20 * 640 + x + 1], 0) << "between two lines";
    }

    std::fill(pixels.begin(), pixels.end(), 0x55);
    Server_StatusDraw();  // no display to lock
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0x55), 640 * 480);
    Server.stats[0] = nullptr;
}

// On a 16-bit screen the page clears every byte of every row, not the
// first 640 x 480 bytes, and leaves lit only the graph's corner.
TEST_F(ServerJoin, StatusPageClearsByPitchAndHeight) {
    ASSERT_EQ(test_HeadlessStart(), 0);
    ASSERT_EQ(otw_OpenDisplay(640, 480, 2, 0, 0), 0);
    uint8_t* p = otw_LockSurface();
    ASSERT_NE(p, nullptr);
    const size_t bytes = static_cast<size_t>(otw_ScreenSurface.bytesPerRow) * otw_ScreenSurface.height;
    ASSERT_GE(bytes, 640u * 480u * 2u);
    memset(p, 0x55, bytes);
    otw_UnlockSurface();
    static int32_t stats[SERVER_STATS];
    std::fill(std::begin(stats), std::end(stats), 3);
    Server.stats[0] = stats;
    level_Fonts[0] = nullptr;
    for (int32_t i = 0; i < DRAW_COLOUR_SLOTS; i++) draw_Context.slots[i] = DrawColourSlot{uint8_t(i), 1, 0xFFFF, 0};
    Server_StatusDraw();
    p = otw_LockSurface();
    ASSERT_NE(p, nullptr);
    const int32_t pitch = otw_ScreenSurface.bytesPerRow;
    int32_t lit = 0, outside = 0;
    for (int32_t y = 0; y < otw_ScreenSurface.height; y++)
        for (int32_t x = 0; x < pitch; x++) {
            if (!p[y * pitch + x]) continue;
            lit++;
            if (x / 2 < 200 || x / 2 >= 264 || y > 40) outside++;
        }
    otw_UnlockSurface();
    otw_CloseDisplay();
    Server.stats[0] = nullptr;
    EXPECT_GT(lit, 0);
    EXPECT_EQ(outside, 0);
}

}  // namespace

namespace {

// Single player through the bridge on the sample level: the local player
// joins slot 0 at the start, goes active once the client confirms its
// start-up, is sent a packet every other frame and is freed at the stop;
// a leave in flight frees the slot and the aircraft.
TEST(ServerBridgeJoin, LocalSlotRunsAndIsFreedAtStop) {
    TestWorkDir work;
    test_SampleDataEnter(work, "krx_join");
    if (::testing::Test::HasFatalFailure()) return;
    snprintf(level_MissionNames.mission, sizeof level_MissionNames.mission, "F1M1.ORF");
    snprintf(level_MissionNames.reference, sizeof level_MissionNames.reference, "F1M1.REF");
    level_GameMode = GameModeFlags{1, 1, 1, 1, 0};
    Client_FlightState = 0;
    player_LastStartupNumber = 0xFFFFFFFFu;
    bridge_Start();
    ASSERT_NE(Server.player, nullptr);
    EXPECT_EQ(Server.player[0].inUse, 1);
    EXPECT_EQ(Server.player[0].startupPending, 1u);
    EXPECT_EQ(Server.playerCount, 1);
    for (int32_t i = 0; i < 40; i++) bridge_Frame();
    EXPECT_EQ(Server.player[0].active, 1u);
    EXPECT_EQ(Server.player[0].startupPending, 0u);
    EXPECT_NEAR(static_cast<double>(Server_PacketsSent), 20.0, 2.0);
    EXPECT_STRNE(player_Table[0].name, "");
    bridge_Stop();
    EXPECT_EQ(player_Table[0].name[0], 0);
    EXPECT_EQ(Server.player, nullptr);
    Client_FlightState = 0;

    // A second game: the local player leaves mid-flight; its aircraft goes
    // off the server's object list and the frames run on without it.
    bridge_Start();
    ASSERT_NE(Server.player, nullptr);
    for (int32_t i = 0; i < 10; i++) bridge_Frame();
    ObjectRecord* aircraft = Server.player[0].aircraft;
    ASSERT_NE(aircraft, nullptr);
    Server_SessionNetId = 0;
    Server_PlayerLeft();
    EXPECT_EQ(Server.player[0].inUse, 0);
    EXPECT_EQ(Server.player[0].aircraft, nullptr);
    EXPECT_EQ(Server.playerCount, 0);
    uint32_t sent = Server_PacketsSent;
    for (int32_t i = 0; i < 10; i++) bridge_Frame();
    for (ObjectRecord* o = Server.objects; o; o = o->next) EXPECT_NE(o, aircraft);
    EXPECT_EQ(Server_PacketsSent, sent);
    test_SampleGameLeave(work);
}

}  // namespace
