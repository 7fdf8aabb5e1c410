// Server and client in one process on the sample level: the client's copies
// of the moving AI units follow the server's units.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "base/file.h"
#include "fixtures/sample_data.h"
#include "net/bridge.h"
#include "net/client.h"
#include "net/player.h"
#include "net/server.h"
#include "net/server_calls.h"
#include "platform/simlog.h"
#include "shell/appstr.h"
#include "sim/ai.h"
#include "shell/runner.h"
#include "sim/obj.h"
#include "sim/ord.h"
#include "sim/weapon.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/levelseq.h"
#include "world/loadout.h"
#include "world/objarray.h"
#include "world/terrain.h"

namespace {

const GameModeFlags kSinglePlayer = {1, 1, 1, 1, 0};

class ObjectsBridge : public ::testing::Test {
protected:
    TestWorkDir work;
    PlayerAircraftBlock blocks[2];

    void SetUp() override {
        test_SampleDataEnter(work, "krx_objects");
        if (HasFatalFailure()) return;
        test_SampleMissionSet();
    }
    void TearDown() override {
        test_SampleGameLeave(work);
    }

    // The client's start-up record, as the server's slot would send it.
    void Startup(void) {
        loadout_PlayerSetup(&blocks[0]);
        blocks[1] = blocks[0];
        PlayerStartupSource src{};
        src.playerNumber = 0;
        const FixWorldPos& at = level_ServerTables.starts[0].position;
        src.startPosition[0] = (int32_t)at.x;
        src.startPosition[1] = 0x100000;
        src.startPosition[2] = (int32_t)at.z;
        src.levelRunNumber = Server.runNumber;
        src.startupNumber = 1;
        src.blocks[0] = &blocks[0];
        src.blocks[1] = &blocks[1];
        uint8_t packet[8192];
        uint32_t n = player_StartupWrite(packet, sizeof packet - 32, &src);
        ASSERT_GT(n, 0u);
        LeSpanWriter w(packet + n, sizeof packet - n);
        MsgPlayerInfo info{1, 0, 1, 0, Server.runNumber};
        ASSERT_EQ(msg_PlayerInfoEncode(&w, &info), 0);
        ASSERT_EQ(msg_EndEncode(&w), 0);
        ASSERT_EQ(bridge_Write(1, packet, n + w.pos), 0);
    }

    // A single-player game through the bridge with the local player in it.
    void Join(void) {
        level_GameMode = kSinglePlayer;
        bridge_Start();
        ASSERT_NE(Server.player, nullptr);
        // The local player's slot, as joining makes it.
        PlayerSlot* s = &Server.player[0];
        s->inUse = 1;
        s->aircraft = level_PlayerObjectCreate(0);
        ASSERT_NE(s->aircraft, nullptr);
        s->aircraft->position = level_ServerTables.starts[0].position;
        ASSERT_EQ(Server_PlayerMemCreate(0), 0);
        s->active = 1;
        Server.playerCount = 1;
        Startup();
        EXPECT_EQ(Client_Frame(), 0);
        ASSERT_TRUE(Client_Started());
    }
};

TEST_F(ObjectsBridge, CopiesOfMovingUnitsFollowThemWithinAnUpdateInterval) {
    Join();
    if (HasFatalFailure()) return;

    int32_t moving = 0;
    int32_t speed = 0;
    for (ObjectRecord* o = level_ServerTables.objectList; o; o = o->next)
        if (o->think && o->speed) {
            moving++;
            if (o->speed > speed) speed = o->speed;
        }
    ASSERT_GE(moving, 20) << "the sample mission's moving units";

    // The server reports each unit an interval ahead; its copy gets there
    // as the next update is due, when the unit is there too, give or take
    // a frame of travel, a further one for a unit that turns or climbs
    // away from its straight-on course meanwhile, and the record's 13-bit
    // precision.
    const int32_t slack = 2 * speed + 0x4000;
    int32_t checked = 0;
    for (int32_t frame = 0; frame < 80; frame++) {
        ASSERT_EQ(bridge_Frame(), 0);
        for (ObjectRecord* c = Client.knownObjects; c; c = c->next) {
            ObjectRecord* o = Server_FindPlayerById(c->serial);
            ASSERT_NE(o, nullptr) << "a copy of no server object";
            // Units of the close list, updated by every packet, once the
            // update is due again; far ones come by once in a while and
            // glide in between.
            if (Client.objectDataArrived || !o->think || c->linger != 100 || (c->copyFlags & MSG_OBJECT_FIRST))
                continue;
            FixVec3 d{(int32_t)(c->position.x - o->position.x), (int32_t)(c->position.y - o->position.y),
                      (int32_t)(c->position.z - o->position.z)};
            EXPECT_LE(fix_ApproxLength(&d), slack) << "frame " << frame;
            checked++;
        }
    }
    EXPECT_GT(checked, 40);
    int32_t copies = net_ObjectListCount(Client.knownObjects);
    EXPECT_GE(copies, 19) << "a full close list and far ones";
}

}  // namespace

namespace {

int32_t RowOf(const char* id) {
    for (int32_t i = 0; i < WEAPON_TYPES; i++)
        if (!strcmp(weapon_Types[i].id, id)) return i;
    return -1;
}

size_t Lines(const std::string& log, const std::string& what) {
    size_t n = 0;
    for (size_t at = log.find(what); at != std::string::npos; at = log.find(what, at + 1)) n++;
    return n;
}

// Runs the bridge for the frames, the clock moving one tick a frame.
void Frames(int32_t n) {
    for (int32_t i = 0; i < n; i++) {
        app_TickCount++;
        ASSERT_EQ(bridge_Frame(), 0);
    }
}

TEST_F(ObjectsBridge, GunMissileBombAndFlareGoThroughTheBridge) {
    Join();
    if (HasFatalFailure()) return;
    setenv("KRX_SIMLOG", "sim.log", 1);
    plat_SimLogReset();
    ObjectRecord* p = Client_PlayerObject;
    ASSERT_NE(p, nullptr);
    ASSERT_NE(ord_Manager, nullptr);
    const int32_t gun = RowOf("M61A1"), missile = RowOf("AIM9M"), bomb = RowOf("MK82");
    for (int32_t t : {gun, missile, bomb}) ASSERT_NE(ord_PanelFind(t), nullptr) << "the sample loadout has it";
    p->angles = FixAngles{};
    p->hitPoints = 100;
    reinterpret_cast<_PLAYER_DCB*>(p)->fields.flares = 10;
    app_TickCount += 1000;   // long after any last release
    // The server's own store count is not what this run is about: the
    // client reports the unlimited-stores switch on.
    const uint8_t flags = Client_PlayerFlags;
    Client_PlayerFlags |= SLOT_FLAG_UNLIMITED_STORES;

    weapon_Select(gun);
    for (int32_t i = 0; i < 20; i++) {
        weapon_LaunchRun(p);
        Frames(1);
    }
    // The missile leaves without a target and takes the nearest aircraft
    // it finds: the units near the start, flying or parked, are sent far
    // off, so that it flies on to its end.
    for (ObjectRecord* o = level_ServerTables.objectList; o; o = o->next)
        if ((o->aiClass & 1) && !(o->flags & OBJ_FLAG_PLAYER)) o->position.y += 0x40000000u;
    weapon_LockState = 0;
    weapon_Select(missile);
    weapon_LaunchRun(p);
    Frames(1);
    weapon_Select(bomb);
    weapon_LaunchRun(p);
    weapon_DropFlare(p);
    Frames(700);
    unsetenv("KRX_SIMLOG");
    plat_SimLogReset();
    Client_PlayerFlags = flags;

    std::ifstream in("sim.log");
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string log = ss.str();
    // Held fire releases at most one round in four frames.
    const size_t sent = Lines(log, "weapon send bullet type=0");
    EXPECT_GE(sent, 3u) << log;
    EXPECT_LE(sent, 5u) << log;
    EXPECT_EQ(Lines(log, "weapon send missile type=" + std::to_string(missile) + " target=0"), 1u) << log;
    EXPECT_EQ(Lines(log, "weapon send bomb type=" + std::to_string(bomb)), 1u) << log;
    EXPECT_EQ(Lines(log, "weapon send ecm kind=0"), 1u) << log;
    // The server made each, and each came to its end.
    EXPECT_EQ(Lines(log, " server\n") >= sent, true) << log;
    EXPECT_EQ(Lines(log, "weapon missile serial="), 1u) << log;
    EXPECT_EQ(Lines(log, "weapon end serial="), 1u) << log;
    EXPECT_EQ(Lines(log, "weapon bomb serial="), 1u) << log;
    EXPECT_EQ(Lines(log, "weapon event 0x10 "), 1u) << log;
    EXPECT_EQ(Lines(log, " silent\n"), 1u) << "the server's copy of the flare makes no sound";
    EXPECT_NE(weapon_DecoyTypes[0], -1) << "the level's flare type";
    EXPECT_EQ(Lines(log, "weapon decoy end serial="), 2u) << "both copies live 200 frames";
    // No bullet outlives its 380 moves.
    for (ObjectRecord* o = level_ServerTables.objectList; o; o = o->next) {
        if (o->pool == &level_ServerArrays.common) {
            EXPECT_NE(weapon_Fields(o)->row, &weapon_Types[gun]);
        }
    }
    (void)remove("sim.log");
}


// The whole road of a kill: the player's radar missile, locked on the
// airborne AI aircraft, is made by the server, falls clear, speeds up,
// homes and hits; the unit dies with its events and its kill text.
TEST_F(ObjectsBridge, LockedRadarMissileKillsTheAircraftAhead) {
    Join();
    if (HasFatalFailure()) return;
    Frames(4);
    ObjectRecord* p = Client_PlayerObject;
    ObjectRecord* server = Server.player[0].aircraft;
    ObjectRecord* unit = ai_Module.leader[2];
    ASSERT_NE(p, nullptr);
    ASSERT_NE(unit, nullptr) << "the sample mission's aircraft ahead";
    ASSERT_TRUE(unit->stateFlags & OBJ_STATE_AIRBORNE);
    const uint32_t serial = unit->serial;
    const uint16_t number = unit->missionObject;
    // The player high over its start, level, heading 0; the aircraft about
    // 700 units ahead at the same height, flying at it. The sample
    // aircraft's hit radius is small (twice 0.75 units) against the 5.5
    // units the two close by in a frame: the distance puts one frame's
    // check inside it.
    FixWorldPos at = level_ServerTables.starts[0].position;
    at.y = static_cast<uint32_t>(terrain_HeightBilinear(&at)) + 0x3000000u;
    FixSinCosBlock b;
    fix_SinCosAngles(0, 0, 0, &b);
    fix_TrigToDouble(&b);
    const FixVec3 ahead{0, 0, 697 << 16};
    FixVec3 d;
    fix_RotateAllInverse(&d, &ahead);
    for (ObjectRecord* o : {p, server}) {
        o->position = at;
        o->angles = FixAngles{};
        o->hitPoints = 100;
        o->speed = 0;
    }
    unit->position = FixWorldPos{at.x + static_cast<uint32_t>(d.x), at.y + static_cast<uint32_t>(d.y),
                                 at.z + static_cast<uint32_t>(d.z)};
    unit->angles = FixAngles{0x1000000, 0, 0};
    ObjectRecord* copy = nullptr;
    for (int32_t frame = 0; frame < 100 && !copy; frame++) {
        p->position = server->position = at;
        Frames(1);
        for (ObjectRecord* c = Client.knownObjects; c; c = c->next)
            if (c->serial == serial) copy = c;
    }
    ASSERT_NE(copy, nullptr) << "the client knows the aircraft, speed " << unit->speed;

    setenv("KRX_SIMLOG", "kill.log", 1);
    plat_SimLogReset();
    app_TickCount += 1000;
    const uint8_t flags = Client_PlayerFlags;
    Client_PlayerFlags |= SLOT_FLAG_UNLIMITED_STORES;
    const int32_t aim120 = RowOf("AIM120");
    weapon_Select(aim120);
    // The lock the radar seeker gives in flight (state 2 on the target).
    p->target = copy;
    weapon_LockState = 2;
    weapon_LaunchMissile(p);
    // A rail launch leaves at once, a dropped store falls clear first.
    const int32_t drop = ord_StoreRelease.mode == 1 ? 0 : weapon_Types[aim120].dropFrames;
    ObjectRecord* missile = nullptr;
    int32_t launched = -1, motor = -1, topSpeed = -1, hit = -1, speed = 0;
    for (int32_t frame = 0; frame < 400 && Server_FindPlayerById(serial); frame++) {
        p->position = server->position = at;
        Frames(1);
        if (!missile)
            for (ObjectRecord* o = level_ServerTables.objectList; o; o = o->next)
                if (o->pool == &level_ServerArrays.common && weapon_Fields(o)->row == &weapon_Types[aim120]) {
                    missile = o;
                    launched = frame;
                    EXPECT_EQ(o->target, unit) << "guided at the locked aircraft";
                }
        if (missile && hit < 0 && Server_FindPlayerById(missile->serial) == missile) {
            EXPECT_GE(missile->speed, speed) << "frame " << frame;
            if (motor < 0 && missile->speed > speed) motor = frame;
            speed = missile->speed;
            if (topSpeed < 0 && speed >= weapon_Types[aim120].topSpeed) topSpeed = frame;
        } else if (missile && hit < 0) {
            hit = frame;
        }
    }
    Client_PlayerFlags = flags;
    Frames(4);
    unsetenv("KRX_SIMLOG");
    plat_SimLogReset();
    const std::string log = [] {
        std::ifstream in("kill.log");
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }();
    (void)remove("kill.log");

    ASSERT_GE(launched, 0) << log;
    EXPECT_GE(motor - launched, drop) << "the drop, then the motor";
    EXPECT_LE(motor - launched, drop + 1);
    EXPECT_GT(topSpeed, motor + 20) << "the motor takes time to reach top speed";
    EXPECT_GT(hit, topSpeed) << "the hit check runs from top speed";
    EXPECT_NE(log.find("weapon send missile type=" + std::to_string(aim120) + " target=" + std::to_string(serial)),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("weapon missile serial="), std::string::npos);
    EXPECT_NE(log.find(" target=" + std::to_string(serial) + "\n"), std::string::npos) << log;
    EXPECT_NE(log.find("weapon sound 20 "), std::string::npos) << "the motor starts after the drop";
    EXPECT_NE(log.find(" victim=" + std::to_string(serial) + "\n"), std::string::npos) << log;
    const std::string n = std::to_string(number);
    EXPECT_NE(log.find("ai hit object=" + n + " "), std::string::npos) << log;
    EXPECT_NE(log.find("ai destroyed object=" + n + " by="), std::string::npos) << log;
    for (const char* code : {" 0\n", " 9\n", " 11\n"})
        EXPECT_NE(log.find("ai event object=" + n + code), std::string::npos) << code << log;
    // The kill text: the unit's name and text 0x1DC, shown on the client.
    const char* killed = app_StringGet(0x1DC);
    ASSERT_NE(killed, nullptr);
    const size_t text = log.find("client text ");
    ASSERT_NE(text, std::string::npos) << log;
    EXPECT_EQ(log.substr(log.find('\n', text) - strlen(killed), strlen(killed)), killed) << log;
    EXPECT_EQ(Server_FindPlayerById(serial), nullptr) << "the record is freed";
}

}  // namespace
