// The client against a scripted server half: packets through the real
// bridge buffers, the send timing of the game kinds, the queue's counts and
// confirmations, event tag confirms, the start-up on the sample level, the
// fly-in camera and the level reset states.
#include "net/client.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <filesystem>
#include <vector>

#include "base/file.h"
#include "base/mem.h"
#include "display/pal.h"
#include "fixtures/sample_data.h"
#include "net/bridge.h"
#include "net/driver.h"
#include "net/player.h"
#include "net/server.h"
#include "net/server_calls.h"
#include "render/render.h"
#include "shell/startup.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "platform/simlog.h"
#include "world/terrain.h"
#include <unistd.h>
#include "world/gamemode.h"
#include "world/level.h"
#include "world/levelseq.h"
#include "world/loadout.h"
#include "world/model.h"
#include "world/objarray.h"
#include "world/pak.h"
#include "world/orf.h"
#include "cockpit/tacmap.h"
#include "debug/console.h"
#include "debug/dbgobj.h"
#include "input/ekey.h"
#include "input/inmap.h"
#include "input/inmapfile.h"
#include "net/chat.h"
#include "render/view.h"
#include "shell/settings.h"
#include "shell/wndproc.h"
#include "sim/weapon.h"
#include "sound/mix.h"
#include "sound/sndtrig.h"

namespace {

const GameModeFlags kSinglePlayer = {1, 1, 1, 1, 0};
const GameModeFlags kHostAndPlay = {1, 1, 0, 1, 0};
const GameModeFlags kRemote = {0, 0, 0, 1, 0};

// One record of a packet the client sent.
struct Sent {
    uint16_t type;
    uint32_t tag;  // for queued records
};

// The records of the packet waiting in the bridge's server slot (taken).
std::vector<Sent> TakeSent(void) {
    std::vector<Sent> out;
    // Straight from the slot: a hosting server would ask the transport first.
    if (!net_Bridge.server.full) return out;
    net_Bridge.server.full = 0;
    const uint8_t* p = net_Bridge.server.buffer;
    size_t size = net_Bridge.server.size;
    MsgWalker w;
    msg_WalkBegin(&w, p, size);
    MsgRecord r;
    int32_t got;
    while ((got = msg_WalkNext(&w, &r)) == 1) {
        uint32_t tag = 0;
        if (r.type >= 0x1000 && r.type < 0x2000) le_Read32At(r.data, r.length, 4, &tag);
        out.push_back({r.type, tag});
    }
    EXPECT_EQ(got, 0) << "the client's packet ends with MSG_END";
    return out;
}

bool HasTag(const std::vector<Sent>& s, uint32_t tag) {
    for (const Sent& e : s)
        if (e.tag == tag) return true;
    return false;
}

int32_t FreeNodes(void) {
    int32_t n = 0;
    for (ListNode* f = Client.messagePool.freeHead; f; f = f->next) n++;
    return n;
}

// Writes a server packet into the client's slot.
struct ServerPacket {
    uint8_t bytes[MSG_PACKET_MAX];
    LeSpanWriter w{bytes, sizeof bytes};

    ServerPacket& Confirm(std::vector<uint32_t> tags) {
        EXPECT_EQ(msg_MsgConfirmEncode(&w, tags.data(), (uint32_t)tags.size()), 0);
        return *this;
    }
    ServerPacket& Info(int32_t frame, uint32_t run, uint8_t mark = 0) {
        MsgPlayerInfo m{frame, mark, 1, -7, run};
        EXPECT_EQ(msg_PlayerInfoEncode(&w, &m), 0);
        return *this;
    }
    // count common events with tags first, first + 2, ...
    ServerPacket& Events(uint16_t count, uint32_t first) {
        uint8_t events[MSG_PACKET_MAX];
        LeSpanWriter e(events, sizeof events);
        for (uint16_t i = 0; i < count; i++) {
            MsgEventCommon c{EVENT_SMALLEXPLODE, first + 2u * i, 0, {0, 0, 0}};
            EXPECT_EQ(msg_EventCommonEncode(&e, &c), 0);
        }
        EXPECT_EQ(msg_EventDataEncode(&w, count, events, e.pos), 0);
        return *this;
    }
    ServerPacket& Raw(const uint8_t* p, size_t n) {
        EXPECT_TRUE(w.bytes(p, n));
        return *this;
    }
    void Send() {
        ASSERT_EQ(msg_EndEncode(&w), 0);
        ASSERT_EQ(bridge_Write(1, bytes, w.pos), 0);
    }
};

class ClientTest : public ::testing::Test {
protected:
    TestWorkDir work;

    void SetUp() override {
        test_SampleDataEnter(work, "krx_client");
        if (HasFatalFailure()) return;
        test_SampleMissionSet();
    }
    void TearDown() override {
        test_SampleGameLeave(work);
    }

    // The bridge's buffers and the client alone, no server.
    void ClientOnly(const GameModeFlags& mode) {
        level_GameMode = mode;
        memset(&net_Bridge, 0, sizeof net_Bridge);
        net_Bridge.server.buffer = static_cast<uint8_t*>(mem_AllocEx(BRIDGE_BUFFER_SIZE, 4, "Bridge.server_buffer"));
        net_Bridge.client.buffer = static_cast<uint8_t*>(mem_AllocEx(BRIDGE_BUFFER_SIZE, 4, "Bridge.client_buffer"));
        ASSERT_NE(net_Bridge.client.buffer, nullptr);
        Client_Start();
        ASSERT_NE(Client.messagePool.block, nullptr);
    }
    // Started without a start-up record: the frame builds packets.
    void Started(void) {
        Client_PlayerBlockTail[1] = 1;
        Client.frame = 1;
    }
    // The whole bridge on the sample level, then the scripted start-up.
    void BridgeStarted(const GameModeFlags& mode) {
        level_GameMode = mode;
        bridge_Start();
        ASSERT_NE(Server.player, nullptr);
        StartupPacket(1, 0);
        EXPECT_EQ(Client_Frame(), 0);
        ASSERT_TRUE(Client_Started());
    }
    void StartupPacket(uint32_t number, uint32_t run) {
        loadout_PlayerSetup(&blocks[0]);
        blocks[1] = blocks[0];
        PlayerStartupSource src{};
        src.playerNumber = 0;
        src.startPosition[1] = 0x100000;
        src.levelRunNumber = run;
        src.startupNumber = number;
        src.blocks[0] = &blocks[0];
        src.blocks[1] = &blocks[1];
        uint8_t record[8192];
        uint32_t n = player_StartupWrite(record, sizeof record, &src);
        ASSERT_GT(n, 0u);
        ServerPacket p;
        p.Raw(record, n).Info(1, run).Send();
    }
    PlayerAircraftBlock blocks[2];
};

// No packet: the client only receives, sends and draws nothing; the outside
// end request leaves the state.
TEST_F(ClientTest, WithoutPacketsStaysNotStartedAndDrawsNothing) {
    ClientOnly(kSinglePlayer);
    int32_t frames = render_FrameCounter;
    for (int32_t i = 0; i < 20; i++) {
        EXPECT_EQ(Client_Frame(), 0);
        Client_Draw();
    }
    EXPECT_FALSE(Client_Started());
    EXPECT_EQ(render_FrameCounter, frames);
    EXPECT_FALSE(net_Bridge.server.full);
    Client_EndRequest = 1;
    EXPECT_EQ(Client_Frame(), 1);
    EXPECT_EQ(Client_FlightState, 1);
    Client_EndRequest = 0;
}

// Packets go every 2nd frame in single player, every 16th otherwise.
TEST_F(ClientTest, PacketTimingOfTheGameKind) {
    struct Case {
        GameModeFlags mode;
        int32_t packets;  // in 64 frames
    } cases[] = {{kSinglePlayer, 32}, {kHostAndPlay, 4}};
    for (const Case& c : cases) {
        ClientOnly(c.mode);
        Started();
        int32_t packets = 0;
        for (int32_t i = 0; i < 64; i++) {
            Client_Frame();
            if (!TakeSent().empty()) packets++;
        }
        EXPECT_EQ(packets, c.packets) << c.mode.singlePlayer;
        bridge_Stop();
    }
}

// A count-4 message is in 5 packets and then gone; a confirmed one in no
// later packet; hit messages go at the tail; a message confirmed after its
// last copy goes back to the pool once.
TEST_F(ClientTest, QueueCountsConfirmationsAndOrder) {
    ClientOnly(kSinglePlayer);
    Started();
    Client_SendWingCommand(3);
    uint32_t wing = Client.sendQueue->serial;
    Client_SendBulletHit(77, 5);
    Client_SendPlayerTrig(9, 11);
    uint32_t trig = Client.sendQueue->serial;
    Client_SendBulletHitStatic(6, nullptr);

    std::vector<std::vector<Sent>> packets;
    for (int32_t i = 0; i < 16 && packets.size() < 6; i++) {
        if (packets.size() == 2) {
            ServerPacket p;
            p.Confirm({wing}).Send();
        }
        Client_Frame();
        std::vector<Sent> s = TakeSent();
        if (!s.empty()) packets.push_back(s);
    }
    ASSERT_EQ(packets.size(), 6u);
    // Newest first, then the hits in the order they came.
    std::vector<uint16_t> first;
    for (const Sent& s : packets[0]) first.push_back(s.type);
    EXPECT_EQ(first, (std::vector<uint16_t>{MSG_PLAYERDATA, MSG_PLAYERTRIG, MSG_WINGCOMMAND, MSG_BULLETHIT,
                                             MSG_BULLETHIT_ST}));
    for (size_t i = 0; i < packets.size(); i++) {
        EXPECT_EQ(HasTag(packets[i], trig), i < 5) << i;
        EXPECT_EQ(HasTag(packets[i], wing), i < 2) << i;
    }
    // The trigger's tag confirmed once its last copy went: nothing twice.
    ServerPacket p;
    p.Confirm({trig, trig, 12345}).Send();
    Client_Frame();
    EXPECT_EQ(Client.sendQueue, nullptr);
    EXPECT_EQ(FreeNodes(), (int32_t)CLIENT_MESSAGE_NODES);
    Client_SendVictory();
    Client_SendVictory();
    EXPECT_NE(Client.sendQueue->serial, Client.sendQueue->next->serial);
}

// An empty pool drops the message; every sender writes its record's length
// and its payload where the server reads it.
TEST_F(ClientTest, SendersWriteTheirRecordsAndAFullPoolDrops) {
    ClientOnly(kHostAndPlay);
    Client_SendPlayerTrig(0x1111, 0x2222);
    auto* q = reinterpret_cast<ClientQueuedMessage*>(Client.sendQueue);
    MsgPlayerTrig t;
    ASSERT_EQ(msg_PlayerTrigDecode(q->record, q->length, &t), 0);
    EXPECT_EQ(t.value, 0x1111);
    EXPECT_EQ(t.trigger, 0x2222);
    EXPECT_EQ(t.tag, q->node.serial);
    EXPECT_EQ(q->sendCount, MSG_SEND_COUNT_HIT);
    Client_CallSendPlayerType(4);
    q = reinterpret_cast<ClientQueuedMessage*>(Client.sendQueue);
    MsgWord w;
    ASSERT_EQ(msg_PlayerTypeDecode(q->record, q->length, &w), 0);
    EXPECT_EQ(w.value, 4);
    EXPECT_EQ(q->sendCount, MSG_SEND_COUNT);
    Client_SendMidair();
    q = reinterpret_cast<ClientQueuedMessage*>(Client.sendQueue);
    EXPECT_EQ(q->length, MSG_MIDAIR_LENGTH);
    for (uint32_t i = 3; i < CLIENT_MESSAGE_NODES + 5; i++) Client_SendChat(0, "hello");
    EXPECT_EQ(FreeNodes(), 0);
    EXPECT_EQ(list_Count(&Client.sendQueue), (int32_t)CLIENT_MESSAGE_NODES);
}

// 129 events in one bundle: 128 confirms in the next packet; the bundle
// repeated is confirmed again.
TEST_F(ClientTest, EventTagsAreConfirmedUpTo128) {
    ClientOnly(kSinglePlayer);
    Started();
    for (int32_t round = 0; round < 2; round++) {
        ServerPacket p;
        p.Events(129, 1001).Send();
        Client_Frame();  // received
        Client_Frame();  // one of the two frames built the packet
        EXPECT_EQ(Client.eventTagCount, 128u);
        EXPECT_EQ(Client.tmpCount, 129);
        ASSERT_TRUE(net_Bridge.server.full);
        net_Bridge.server.full = 0;
        const uint8_t* pkt = net_Bridge.server.buffer;
        size_t size = net_Bridge.server.size;
        MsgWalker w;
        msg_WalkBegin(&w, pkt, size);
        MsgRecord r;
        uint32_t confirms = 0, last = 0;
        while (msg_WalkNext(&w, &r) == 1)
            if (r.type == MSG_MSGCONFIRM) {
                MsgMsgConfirm c;
                ASSERT_EQ(msg_MsgConfirmDecode(r.data, r.length, &c), 0);
                confirms = c.count;
                msg_MsgConfirmTag(r.data, r.length, c.count - 1, &last);
            }
        EXPECT_EQ(confirms, 128u) << round;
        EXPECT_EQ(last, 1001u + 2 * 127) << round;
    }
}

// Player info: only a newer server frame counts; the warning byte only
// while the run numbers agree.
TEST_F(ClientTest, PlayerInfoTakesNewerFramesOfTheSameRun) {
    ClientOnly(kSinglePlayer);
    Client_LevelRunNumber = 4;
    ServerPacket a;
    a.Info(10, 4, 3).Send();
    Client_Frame();
    EXPECT_EQ(Client.warning, 3);
    EXPECT_EQ(Client.infoScore, -7);
    ServerPacket b;
    b.Info(9, 4, 1).Send();  // older
    Client_Frame();
    EXPECT_EQ(Client.warning, 3);
    ServerPacket c;
    c.Info(11, 5, 1).Send();  // another run
    Client_Frame();
    EXPECT_EQ(Client.serverRunNumber, 5u);
    EXPECT_EQ(Client.warning, 3);
}

// The fly-in: 1, 2 (until the camera is within 35 of the player), 93
// counting down, then 0 with the close easing targets.
TEST_F(ClientTest, FlyInCameraPassesItsStates) {
    ClientOnly(kSinglePlayer);
    ObjectRecord player{};
    player.position = FixWorldPos{1000, 2000, 3000};
    Client_PlayerObject = &player;
    Client.camera.state = 1;
    Client_CameraStep();
    EXPECT_EQ(Client.camera.state, 2);
    EXPECT_FLOAT_EQ(Client.camera.frame.pos.x, 500.0f);
    EXPECT_FLOAT_EQ(Client.camera.frame.pos.y, 2010.0f);
    EXPECT_FLOAT_EQ(Client.camera.eye[0], 0.01f);
    Client_CameraStep();
    EXPECT_EQ(Client.camera.state, 2);
    Client.camera.frame.pos.x = 1030.0f;
    Client.camera.frame.pos.y = 2000.0f;
    Client_CameraStep();
    EXPECT_EQ(Client.camera.state, 93);
    int32_t steps = 0;
    while (Client.camera.state != 0 && steps < 200) {
        Client_CameraStep();
        steps++;
    }
    EXPECT_EQ(steps, 91);
    EXPECT_FLOAT_EQ(Client.camera.easeTarget[0], 0.15f);
    EXPECT_FLOAT_EQ(Client.camera.easeTarget[2], 0.05f);
    Client_PlayerObject = nullptr;
}

// A start-up record loads the client side of the sample level, creates the
// player and queues MSG_STARTUPCONFIRM, sent in the next packet; a
// repeated record changes nothing.
TEST_F(ClientTest, StartupCreatesThePlayerAndConfirms) {
    BridgeStarted(kSinglePlayer);
    ASSERT_NE(Client_PlayerObject, nullptr);
    EXPECT_EQ(Client_PlayerObject->side, 2);
    EXPECT_EQ(Client_PlayerObject->hitPointsMax, 0x400);
    EXPECT_EQ(Client.camera.state, 2);  // the first frame already stepped it
    EXPECT_EQ(Client.mask, 1);
    EXPECT_NE(level_Markers.clientStart, nullptr);
    ObjectRecord* player = Client_PlayerObject;
    std::vector<Sent> s;
    for (int32_t i = 0; i < 2 && s.empty(); i++) {
        Client_Frame();
        s = TakeSent();
    }
    ASSERT_GE(s.size(), 2u);
    EXPECT_EQ(s[0].type, MSG_PLAYERDATA);
    EXPECT_EQ(s[1].type, MSG_STARTUPCONFIRM);
    StartupPacket(1, 0);
    Client_Frame();
    EXPECT_EQ(Client_PlayerObject, player);
    EXPECT_EQ(Client_FlightState, 0);
}

// Flight state 3 resets the client level; 2 restarts the level and
// advances the run number; 4 and 1 leave.
TEST_F(ClientTest, FlightStatesRunTheirResetSteps) {
    BridgeStarted(kSinglePlayer);
    uint32_t run = Client_LevelRunNumber;
    memset(Client_PlayerBlock, 0x5A, sizeof Client_PlayerBlock);
    Client.packetFrame = 40;
    Client_FlightState = 3;
    EXPECT_EQ(Client_Frame(), 0);
    EXPECT_EQ(Client_FlightState, 0);
    EXPECT_EQ(Client_PlayerBlock[0], 0);
    EXPECT_EQ(Client.packetFrame, 0);
    EXPECT_EQ(Client_LevelRunNumber, run);
    Client_FlightState = 2;
    EXPECT_EQ(Client_Frame(), 0);
    EXPECT_EQ(Client_FlightState, 0);
    EXPECT_EQ(Client_LevelRunNumber, run + 1);
    for (uint8_t state : {4, 1}) {
        Client_FlightState = state;
        EXPECT_EQ(Client_Frame(), 1);
    }
}

// The session callbacks belong to a client of a remote game only.
TEST_F(ClientTest, SessionCallbacksOnlyInARemoteGame) {
    for (NetSessionCallback& cb : net_DriverCallbacks) cb = nullptr;
    ClientOnly(kHostAndPlay);
    for (NetSessionCallback cb : net_DriverCallbacks) EXPECT_EQ(cb, nullptr);
    EXPECT_EQ(Client_RemoteGame, 0);
    bridge_Stop();
    ClientOnly(kRemote);
    EXPECT_EQ(Client_RemoteGame, 1);
    ASSERT_NE(net_DriverCallbacks[NET_CALLBACK_SESSION_LOST], nullptr);
    ASSERT_NE(net_DriverCallbacks[NET_CALLBACK_NOTICE], nullptr);
    EXPECT_EQ(net_DriverCallbacks[NET_CALLBACK_PLAYER_JOINED], nullptr);
    net_DriverCallbacks[NET_CALLBACK_SESSION_LOST](nullptr, 0);
    EXPECT_EQ(Client.sessionLost, 1);
    const char text[4] = {'a', 'b', 'c', 'd'};  // not terminated
    net_DriverCallbacks[NET_CALLBACK_NOTICE](text, sizeof text);
    for (NetSessionCallback& cb : net_DriverCallbacks) cb = nullptr;
}

// The joystick buttons of the input map that presses of button 1 fire.
int32_t ButtonOneInputs(void) {
    int32_t n = 0;
    if (inmap_OpenMap)
        for (_INMAP_INPUT* i = inmap_OpenMap->inputHead; i; i = i->next)
            n += i->kind == INMAP_KIND_JOYSTICK && i->code == 30;
    return n;
}

// What the start sets up for the game kind and the settings, and what the
// stop puts back: the last game's squadrons and scores outside the bridge,
// the joystick buttons of the trigger-fires setting, the sound condition
// mask.
TEST_F(ClientTest, StartPreparesTheGameAndStopPutsTheSoundMaskBack) {
    struct Case {
        const char* name;
        GameModeFlags mode;
        int32_t triggerFires;
        bool tablesCleared;
    } cases[] = {
        {"host and play keeps the server's tables", kHostAndPlay, 0, false},
        {"remote client, trigger fires the weapon", kRemote, 1, true},
    };
    uint8_t squadrons[TACMAP_SQUADRONS * TACMAP_SQUADRON_ENTRY_SIZE] = {};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tacmap_SquadronBuffer = squadrons;
        Client_PlayerDisplayRecords.scoreCount = 3;
        app_Settings.TRIGGER_FIRES_CURRENT_WEAPON = c.triggerFires;
        sndtrig_SetConditionMask(6);
        ClientOnly(c.mode);
        EXPECT_EQ(tacmap_SquadronBuffer == nullptr, c.tablesCleared);
        EXPECT_EQ(Client_PlayerDisplayRecords.scoreCount == 0, c.tablesCleared);
        if (c.triggerFires) {
            EXPECT_EQ(ButtonOneInputs(), 0) << "button 1 dropped, 2 moved onto it";
        }
        Client_Frame();
        EXPECT_NE(sndtrig_SetConditionMask(6), 6);
        sndtrig_SetConditionMask(5);
        bridge_Stop();
        EXPECT_EQ(sndtrig_SetConditionMask(6), 6);
        tacmap_SquadronBuffer = nullptr;
    }
    app_Settings.TRIGGER_FIRES_CURRENT_WEAPON = 0;
}

// Keys pressed go into the debug key list only while it is shown; the
// key table leaves the typing keys to the chat line from its first frame.
TEST_F(ClientTest, DebugKeysAndTheChatLineTakeTheKeys) {
    ClientOnly(kSinglePlayer);
    for (int32_t shown : {0, 1}) {
        dbg_DebugKeyTextShown = shown;
        ekey_ClearAll();
        ekey_KeyDown('A', 0);
        Client_Frame();
        EXPECT_EQ(ekey_EventPop() != 0, shown == 0) << shown;
    }
    dbg_DebugKeyTextShown = 0;
    struct Case {
        int32_t screenState;
        int32_t map;
        int32_t mode;
    } cases[] = {{0, 0, 1}, {3, 0, 2}, {3, 1, 3}};
    for (const Case& c : cases) {
        render_ScreenStateSet(c.screenState);
        tacmap_Shown = c.map;
        Client_Frame();
        EXPECT_EQ(inmap_KeyTableMode, c.mode) << c.screenState << " " << c.map;
    }
    render_ScreenStateSet(0);
    tacmap_Shown = 0;
}

// With the auto-spin on, the external views turn the camera half a degree
// a frame, the follow view also its look yaw; the external camera is the
// focus object of those views only.
TEST_F(ClientTest, ExternalViewsSpinAndTakeTheFocus) {
    BridgeStarted(kSinglePlayer);
    ASSERT_NE(view_CameraFirst, nullptr);
    Client.camera.state = 0;
    struct Case {
        int32_t mode;
        uint8_t spin;
        float turn;
        uint32_t yawDrop;
        bool focus;
    } cases[] = {
        {VIEW_MODE_FOLLOW, 1, 0.5f, 0x8000, true},
        {VIEW_MODE_LOW_CHASE, 1, 0.5f, 0, true},
        {VIEW_MODE_FOLLOW, 0, 0.0f, 0, true},
        {VIEW_MODE_COCKPIT, 1, 0.0f, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        view_Words.current = &view_ModeTable[c.mode];
        view_CameraAutoSpin = c.spin;
        const float heading = Client.camera.heading;
        const uint32_t yaw = (uint32_t)view_ModeTable[VIEW_MODE_FOLLOW].lookYaw;
        Client_CameraStep();
        float turned = Client.camera.heading - heading;
        if (turned < -180.0f) turned += 360.0f;
        EXPECT_FLOAT_EQ(turned, c.turn);
        EXPECT_EQ((yaw - (uint32_t)view_ModeTable[VIEW_MODE_FOLLOW].lookYaw) & 0x1FFFFFF, c.yawDrop);
        view_Words.current = &view_ModeTable[c.mode];
        Client_Frame();
        EXPECT_EQ(app_FocusObject, c.focus ? (void*)view_CameraFirst : nullptr);
    }
    view_CameraAutoSpin = 0;
}

// A small mixer sample: a WAVE image of 8-bit silence, converted in place.
struct TestSample {
    alignas(4) uint8_t image[44 + 64] = {};
    MixSample* sample = nullptr;
    TestSample() {
        LeSpanWriter w(image, sizeof image);
        w.bytes((const uint8_t*)"RIFF", 4), w.u32(sizeof image - 8), w.bytes((const uint8_t*)"WAVEfmt ", 8);
        w.u32(16), w.u16(1), w.u16(1), w.u32(22050), w.u32(22050), w.u16(1), w.u16(8);
        w.bytes((const uint8_t*)"data", 4), w.u32(64);
        memset(image + 44, 128, 64);
        sample = snd_SampleConvert(image, sizeof image);
    }
};

// The two warning tones: tone 1 from the server's warning bits while the
// player lives, tone 2 the lock or seeker tone of a missile with stores;
// heard at the eye in a cockpit view only.
TEST_F(ClientTest, WarningTonesFollowTheWarningsAndTheMissile) {
    ClientOnly(kSinglePlayer);
    TestSample tones[4];
    for (int32_t i = 0; i < 4; i++) {
        ASSERT_NE(tones[i].sample, nullptr);
        Client_WarningSounds[i] = tones[i].sample;
    }
    int32_t ir = -1, radar = -1;
    for (int32_t i = 0; i < WEAPON_TYPES; i++) {
        const uint32_t k = weapon_Types[i].kind;
        if (!(k & WEAPON_MISSILE)) continue;
        if (k & WEAPON_IR_MISSILE) {
            if (ir < 0) ir = i;
        } else if (radar < 0) {
            radar = i;
        }
    }
    ASSERT_GE(ir, 0);
    ASSERT_GE(radar, 0);
    ObjectRecord player{};
    Client_PlayerObject = &player;
    con_UnlimitedStores = 1;
    struct Case {
        const char* name;
        int32_t hitPoints;
        uint8_t warning;
        int32_t weapon;  // -1 none
        uint8_t aim;
        int32_t tone1, tone2;  // warning sound index, -1 silent
        int32_t level1, level2;
    } cases[] = {
        {"quiet", 1, 0, -1, 0, -1, -1, 0, 0},
        {"bits 0-1", 1, 2, -1, 0, 0, -1, 0x21, 0},
        {"bit 2", 1, 4, -1, 0, 1, -1, 0x21, 0},
        {"bits 0-1 before bit 2", 1, 5, -1, 0, 0, -1, 0x21, 0},
        {"dead: no warning", 0, 3, -1, 0, -1, -1, 0, 0},
        {"locked missile", 1, 0, radar, 2, -1, 2, 0, 0xD2},
        {"locked heat seeker", 1, 0, ir, 2, -1, 2, 0, 0xD2},
        {"heat seeker searching", 1, 0, ir, 0, -1, 3, 0, 0xC3},
        {"radar missile searching", 1, 0, radar, 0, -1, -1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        player.hitPoints = c.hitPoints;
        Client.warning = c.warning;
        weapon_CurrentId = c.weapon;
        if (c.weapon >= 0) weapon_Current = weapon_Types[c.weapon];
        Client_AimMode = c.aim;
        Client.frame = 8;
        Client_WarningTones();
        EXPECT_EQ(Client.toneSample[0], c.tone1 < 0 ? nullptr : tones[c.tone1].sample);
        EXPECT_EQ(Client.toneSample[1], c.tone2 < 0 ? nullptr : tones[c.tone2].sample);
        EXPECT_EQ(Client.toneLevel[0], c.level1);
        EXPECT_EQ(Client.toneLevel[1], c.level2);
    }
    // Out of the cockpit the tones sound far away; every 4th frame only.
    for (uint32_t flags : {0x100u, 0u}) {
        ViewFlags = flags;
        Client_WarningTones();
        int32_t x = 0;
        for (int32_t i = 0; i < mix_SourceTable.count; i++)
            if (mix_SourceTable.sources[i].id == Client.toneSource[1]) x = mix_SourceTable.sources[i].x;
        EXPECT_EQ(x, flags ? (int32_t)view_State.position.x : (int32_t)(view_State.position.x + 0x17700000u));
    }
    Client.warning = 3;
    Client.frame = 9;
    Client_WarningTones();
    EXPECT_EQ(Client.toneSample[0], nullptr) << "not a 4th frame";
    weapon_CurrentId = -1;
    con_UnlimitedStores = 0;
    Client_AimMode = 0;
    ViewFlags = 0;
    for (int32_t i = 0; i < 4; i++) Client_WarningSounds[i] = nullptr;
    mix_SourcesInit(6, 8, nullptr, nullptr, nullptr);
    Client_PlayerObject = nullptr;
}

// The level's load fetches the four warning sounds from the product's
// sound-trigger table; a reload frees the old table by its heap id, and a
// missing table leaves every client sound silent.
TEST_F(ClientTest, TheLevelLoadFetchesTheWarningSounds) {
    BridgeStarted(kSinglePlayer);
    ASSERT_EQ(Client_SoundTriggers, &Client_LevelSounds);
    for (int32_t i = 0; i < CLIENT_WARNING_SOUNDS; i++) {
        EXPECT_NE(Client_WarningSounds[i], nullptr) << Client_WarningSoundNames[i];
        for (int32_t j = 0; j < i; j++) EXPECT_NE(Client_WarningSounds[i], Client_WarningSounds[j]);
    }
    EXPECT_EQ(Client_LevelSounds.maxInstances, 3);
    EXPECT_EQ(Client_LevelSounds.minVolume, 32);

    ASSERT_NE(Client_PlayerObject, nullptr);
    Client_PlayerObject->hitPoints = 1;
    Client.warning = 1;
    Client.frame = 4;
    Client_WarningTones();
    EXPECT_EQ(Client.toneSample[0], Client_WarningSounds[0]);
    EXPECT_NE(Client.toneSource[0], 0);

    Client_LevelSoundsLoad();  // a second level
    EXPECT_EQ(Client.toneSample[0], nullptr);
    EXPECT_EQ(Client.toneSource[0], 0);
    ASSERT_NE(Client_WarningSounds[0], nullptr);

    ASSERT_EQ(remove(app_ProductRecord.pwfName), 0);
    Client_LevelSoundsLoad();
    EXPECT_EQ(Client_SoundTriggers, nullptr);
    for (MixSample* w : Client_WarningSounds) EXPECT_EQ(w, nullptr);
    Client_WarningTones();
    EXPECT_EQ(Client.toneSample[0], nullptr);
    Client.warning = 0;
}

// A client in its own process loads the level from its start-up record:
// the record names the mission and its terrain reference file and packs the
// mission's model list, which the level record's count at +10 counts.
TEST_F(ClientTest, TheStartupRecordNamesTheLevel) {
    BridgeStarted(kSinglePlayer);
    ASSERT_NE(level_Mission, nullptr);
    std::vector<uint8_t> record(0x4000);
    uint32_t n = Server_StartupRecordWrite(record.data(), record.size(), 0);
    ASSERT_GT(n, 0u);
    PlayerStartupView v;
    ASSERT_EQ(player_StartupParse(record.data(), n, &v), 0);
    EXPECT_STREQ(v.strings[PLAYER_TEXT_MISSION], "F1M1.ORF");
    EXPECT_STREQ(v.strings[PLAYER_TEXT_REFERENCE], "F1M1.REF");
    const uint32_t models = level_Mission->models.count;
    ASSERT_GT(models, 0u);
    EXPECT_EQ(v.missionNameCount, models);
    EXPECT_EQ(record[LEVEL_RECORD_NAME_COUNT] | record[LEVEL_RECORD_NAME_COUNT + 1] << 8, (int)models);
    const char* at = (const char*)record.data() + v.missionNamesAt;
    for (uint32_t i = 0; i < models; i++) {
        char want[ORF_MODEL_NAME_SIZE] = {};
        memcpy(want, level_Mission->models.records + i * ORF_MODEL_NAME_SIZE, ORF_MODEL_NAME_SIZE - 1);
        EXPECT_STREQ(at, want) << i;
        at += strlen(at) + 1;
    }
    EXPECT_LE((const uint8_t*)at, record.data() + v.startEntriesAt);
}

}  // namespace

// The start-up places the local aircraft at its slot's spawn point on the
// runway and sets it flying: its think rolls it to a stop with one service.
TEST_F(ClientTest, StartupPlacesTheAircraftOnTheRunway) {
    plane_Init();  // as the program's start does
    level_GameMode = kSinglePlayer;
    bridge_Start();
    ASSERT_NE(Server.player, nullptr);
    const LevelPlayerStart& start = level_ServerTables.starts[0];
    loadout_PlayerSetup(&blocks[0]);
    blocks[1] = blocks[0];
    PlayerStartupSource src{};
    src.startPosition[0] = (int32_t)start.position.x;
    src.startPosition[2] = (int32_t)start.position.z;
    src.startOrientation[0] = (uint32_t)start.heading;
    src.startupNumber = 1;
    src.blocks[0] = &blocks[0];
    src.blocks[1] = &blocks[1];
    uint8_t record[8192];
    uint32_t n = player_StartupWrite(record, sizeof record, &src);
    ASSERT_GT(n, 0u);
    const std::string logFile = testing::TempDir() + "krx_client_player_" + std::to_string(getpid()) + ".txt";
    setenv("KRX_SIMLOG", logFile.c_str(), 1);
    plat_SimLogReset();
    ServerPacket p;
    p.Raw(record, n).Info(1, 0).Send();
    Client_Frame();
    ObjectRecord* o = Client_PlayerObject;
    ASSERT_NE(o, nullptr);
    ASSERT_NE(plane_Current, nullptr);
    EXPECT_EQ(o->think, plane_PlayerThink);
    EXPECT_EQ(o->secondPass, plane_GroundContact);
    const int32_t base = o->model ? o->model->baseHeight : 0;
    // The frame that took the record has stepped the aircraft once already.
    EXPECT_LT(std::abs((int32_t)(o->position.x - start.position.x)), 0x100);
    EXPECT_LT(std::abs((int32_t)(o->position.y - (uint32_t)(terrain_HeightBilinear(&o->position) + base))), 0x100);
    for (int32_t i = 0; i < 120; i++) plane_PlayerThink(o);
    EXPECT_EQ(o->think, plane_PlayerThink);
    plat_SimLogReset();
    std::ifstream in(logFile);
    std::stringstream log;
    log << in.rdbuf();
    std::remove(logFile.c_str());
    unsetenv("KRX_SIMLOG");
    const std::string s = log.str();
    EXPECT_NE(s.find(" player placed "), std::string::npos) << s;
    EXPECT_NE(s.find(" player pos "), std::string::npos) << s;
    EXPECT_EQ(s.find("crash"), std::string::npos) << s;
    const size_t reset = s.find(" player reset 0x5");
    EXPECT_NE(reset, std::string::npos) << s;
    EXPECT_EQ(reset, s.rfind(" player reset 0x5")) << s;
    plane_Shutdown();
}
