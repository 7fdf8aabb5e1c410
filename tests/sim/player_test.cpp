// The player's aircraft object on a small terrain of our own: touchdown
// checks, the take-off hysteresis, crash effects over water and land, the
// death camera without a wreck, and respawn.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "input/ffb.h"
#include "net/client.h"
#include "net/player.h"
#include "net/rules.h"
#include "render/render.h"
#include "shell/runner.h"
#include "cockpit/tacmap.h"
#include "sim/flight_jet.h"
#include "sim/ord.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "sim_fixture.h"

namespace {

constexpr uint32_t kX = 0x40000000, kZ = 0x40000000;
constexpr int32_t kHeightStep = 10;
constexpr uint32_t kGround = kHeightStep * TERRAIN_HEIGHT_SCALE;

class PlayerTest : public SimEnv {
protected:
    std::vector<uint8_t> heights = std::vector<uint8_t>(TERRAIN_SIZE * TERRAIN_SIZE, kHeightStep);
    std::vector<uint8_t> water = std::vector<uint8_t>(TERRAIN_SIZE * TERRAIN_SIZE / 8, 0);
    ObjectRecord* player = nullptr;
    std::string logFile;

    void SetUp() override {
        SimEnv::SetUp();
        depth_Level.heightMap = heights.data();
        depth_Level.waterMap = water.data();
        level_GameMode.singlePlayer = 1;
        MakePool(&level_ClientArrays.player, sizeof(_PLAYER_DCB), 2);
        plane_Shutdown();
        plane_Init();
        ord_ManagerCreate();
        ASSERT_NE(plane_Create(plane_TypeFind("KRX")), nullptr);
        plane_Stats = {};
        app_TickCount = 1000;
        player = net_DcbPoolTake(&level_ClientArrays.player);
        ASSERT_NE(player, nullptr);
        player->flags = OBJ_FLAG_PLAYER;
        plane_PlaceForRespawn(player, nullptr);
        player->position.x = kX;
        player->position.z = kZ;
        // Tests may run side by side: a file of this process's own.
        logFile = testing::TempDir() + "krx_player_simlog_" + std::to_string(getpid()) + ".txt";
        setenv("KRX_SIMLOG", logFile.c_str(), 1);
        plat_SimLogReset();
    }
    void TearDown() override {
        plane_Shutdown();
        ord_Manager = nullptr;
        level_ClientArrays = LevelClientArrays{};
        std::remove(logFile.c_str());
        SimEnv::TearDown();
    }
    // The log written so far; the next line starts a new file.
    std::string Log() {
        plat_SimLogReset();
        std::ifstream in(logFile);
        std::stringstream s;
        s << in.rdbuf();
        std::remove(logFile.c_str());
        return s.str();
    }
    PlanePlayerFields* F() { return plane_PlayerFields(player); }
    // In the air just above the ground, about to meet it.
    void Approach(void) {
        F()->onGround = 0;
        F()->groundCount = 0;
        player->position.y = kGround - 0x100;
        player->think = plane_PlayerThink;
        player->secondPass = plane_GroundContact;
        player->hitPoints = 0x400;
    }
    void Water(bool wet) { std::fill(water.begin(), water.end(), wet ? 0xFF : 0x00); }
    ObjectRecord* Runway(uint32_t dx) {
        obj_PendingType = 0;
        ObjectRecord* r = obj_StaticCreate(kX + dx, kZ, nullptr, 0x0800);
        if (!r) return nullptr;
        r->category = OBJ_CATEGORY_LANDING;
        obj_CategoryListsAdd(r);
        return r;
    }
};

TEST_F(PlayerTest, TouchdownChecksAndAReportOncePer200Ticks) {
    struct Case {
        const char* name;
        bool gearDown;
        int32_t roll, pitch, speed;
        uint32_t runwayOffset;
        bool wet;
        const char* expected;  // the log's verdict
    } cases[] = {
        {"good", true, 0, 0, 0x10400, 0, false, "touchdown speed=66560"},
        {"gear up", false, 0, 0, 0x8000, 0, false, "touchdown crash gear"},
        {"roll 25 degrees", true, 0x238E39, 0, 0x8000, 0, false, "touchdown crash roll"},
        {"roll 25 degrees left", true, 0x2000000 - 0x238E39, 0, 0x8000, 0, false, "touchdown crash roll"},
        {"pitch", true, 0, 0x180001, 0x8000, 0, false, "touchdown crash pitch"},
        {"pitch at the limit", true, 0, 0x180000, 0x8000, 0, false, "touchdown speed"},
        {"speed", true, 0, 0, 0x10401, 0, false, "touchdown crash speed"},
        {"runway far", true, 0, 0, 0x8000, 0x1900000, false, "touchdown crash runway"},
        {"water", true, 0, 0, 0x8000, 0, true, "touchdown crash water"},
    };
    ObjectRecord* runway = Runway(0);
    ASSERT_NE(runway, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        runway->position.x = kX + c.runwayOffset;
        Water(c.wet);
        plane_PlaceForRespawn(player, nullptr);
        player->position.x = kX;
        player->position.z = kZ;
        plane_Current->flags = c.gearDown ? PLANE_GEAR_DOWN : PLANE_ARMED;
        Approach();
        player->angles.roll = c.roll;
        player->angles.pitch = c.pitch;
        player->speed = c.speed;
        app_TickCount += 1000;
        plane_Stats = {};
        Log();
        plane_GroundContact(player);
        const std::string log = Log();
        EXPECT_NE(log.find(c.expected), std::string::npos) << log;
        const bool landed = strncmp(c.expected, "touchdown speed", 15) == 0;
        EXPECT_EQ(plane_Stats.landings, landed ? 1 : 0);
        EXPECT_EQ(plane_Stats.crashes, landed ? 0 : 1);
        EXPECT_EQ(log.find("trigger 3 ") != std::string::npos, landed);
        EXPECT_EQ(player->think == plane_PlayerThink, landed);
        if (landed) {
            EXPECT_EQ(F()->onGround, 1);
            EXPECT_EQ(player->position.y, kGround);
        }
    }
    // Bounces within 200 ticks report once; later ones again, also across
    // a wrap of the clock.
    struct Bounce {
        uint32_t tick;
        bool reported;
    } bounces[] = {{0xFFFFFF00u, true}, {0xFFFFFF00u + 199, false}, {0xFFFFFF00u + 200, true}, {0x100, true}};
    runway->position.x = kX;
    Water(false);
    for (const Bounce& b : bounces) {
        SCOPED_TRACE(b.tick);
        plane_Current->flags = PLANE_GEAR_DOWN;
        Approach();
        player->speed = 0x8000;
        app_TickCount = b.tick;
        Log();
        plane_GroundContact(player);
        EXPECT_EQ(Log().find("trigger 3 ") != std::string::npos, b.reported);
    }
}

TEST_F(PlayerTest, TakeOffTakesAsManyAirborneFramesAsTheGroundCounted) {
    for (int32_t n : {1, 50, 200, 320}) {
        SCOPED_TRACE(n);
        plane_PlaceForRespawn(player, nullptr);
        player->position.x = kX;
        player->position.z = kZ;
        F()->groundCount = 0;
        for (int32_t i = 0; i < n; i++) {
            player->position.y = kGround - 0x10;
            plane_GroundContact(player);
            ASSERT_EQ(player->think, plane_PlayerThink);
        }
        const int32_t expected = n < 200 ? n : 200;
        EXPECT_EQ(F()->groundCount, expected);
        Log();
        int32_t frames = 0;
        while (F()->onGround && frames < 400) {
            player->position.y = kGround + 0x10000;
            plane_GroundContact(player);
            frames++;
        }
        EXPECT_EQ(frames, expected);
        const std::string log = Log();
        EXPECT_NE(log.find("takeoff"), std::string::npos);
        EXPECT_NE(log.find("trigger 5 "), std::string::npos);
        EXPECT_EQ(player->stateFlags, OBJ_STATE_AIRBORNE);
        EXPECT_EQ(plane_Current->flags & PLANE_ON_GROUND, 0u);
    }
}

TEST_F(PlayerTest, StoppingOnTheGroundIsServicedOnce) {
    F()->stopped = 0;
    plane_Current->flags = PLANE_FLYING;
    for (int32_t i = 0; i < 3; i++) {
        player->position.y = kGround - 0x10;
        player->speed = 0;
        player->motion = {};
        plane_GroundContact(player);
    }
    const std::string log = Log();
    EXPECT_EQ(log.find("reset 0x5"), log.rfind("reset 0x5")) << log;
    EXPECT_NE(log.find("reset 0x5"), std::string::npos);
    EXPECT_EQ(plane_Current->flags & (PLANE_SERVICE | PLANE_STOPPED), PLANE_SERVICE | PLANE_STOPPED);
    EXPECT_EQ(F()->flares, 100);
}

TEST_F(PlayerTest, CrashBurstsOverWaterAndLeavesAWreckOverLand) {
    struct Case {
        bool wet;
        int32_t single;
        std::vector<const char*> present, absent;
    } cases[] = {
        {true, 1, {"fx burst", "crash water", "trigger 11 "}, {"fx kill", "fx wreck"}},
        {false, 1, {"fx kill", "fx wreck", "crash land", "trigger 11 "}, {"fx burst"}},
        {false, 0, {"fx kill", "fx wreck", "crash land"}, {"fx burst", "trigger 11 "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.wet ? "water " : "land ") + (c.single ? "single" : "network"));
        level_GameMode.singlePlayer = c.single;
        Water(c.wet);
        plane_PlaceForRespawn(player, nullptr);
        player->position.x = kX;
        player->position.z = kZ;
        Log();
        plane_Crash(player);
        const std::string log = Log();
        for (const char* s : c.present) EXPECT_NE(log.find(s), std::string::npos) << s << "\n" << log;
        for (const char* s : c.absent) EXPECT_EQ(log.find(s), std::string::npos) << s << "\n" << log;
        EXPECT_EQ(player->hitPoints, 0);
        EXPECT_EQ(player->draw, nullptr);
        EXPECT_EQ(plane_Current->flags & (PLANE_FLYING | PLANE_DESTROYED), 0u);
        if (c.single) {
            EXPECT_NE(player->think, nullptr);  // the death camera
            EXPECT_EQ(player->secondPass, nullptr);
        } else {
            EXPECT_EQ(player->think, nullptr);
            EXPECT_NE(player->secondPass, nullptr);  // the respawn check
        }
    }
}

// With no record left for a wreck the death camera circles the crash point.
TEST_F(PlayerTest, DeathCameraWithoutAWreckFollowsTheAircraft) {
    while (net_DcbPoolTake(&level_ClientArrays.special)) {
    }
    plane_Crash(player);
    ASSERT_NE(player->think, nullptr);
    for (int32_t i = 0; i < 3; i++) player->think(player);
    EXPECT_EQ(player->target, nullptr);
    EXPECT_EQ(view_Words.current, &view_ModeTable[VIEW_MODE_FOLLOW]);
    EXPECT_GT(player->position.y, kGround);
}

TEST_F(PlayerTest, RespawnRestoresTheAircraft) {
    weapon_SetCurrentType(1);
    ffb_ForceValues[0] = 1.0f;
    plane_Crash(player);
    PlayerStartupView v = {};
    v.startPosition[0] = (int32_t)(kX + 0x1000000);
    v.startPosition[2] = (int32_t)kZ;
    v.startOrientation[0] = 0x400000;
    plane_PlaceForRespawn(player, &v);
    EXPECT_EQ(player->hitPoints, 0x400);
    EXPECT_EQ(weapon_CurrentId, -1);
    EXPECT_EQ(ffb_ForceValues[0], 0.0f);
    EXPECT_EQ(player->think, plane_PlayerThink);
    EXPECT_EQ(player->secondPass, plane_GroundContact);
    EXPECT_EQ(player->position.x, kX + 0x1000000);
    EXPECT_EQ(player->position.y, kGround);
    EXPECT_EQ(player->angles.heading, 0x400000);
    EXPECT_EQ(F()->onGround, 1);
    EXPECT_NE(plane_Current->flags & PLANE_FLYING, 0u);
}

// The pilot's head angles live in the local player object and start level
// with each placement; without a player object there are none.
TEST_F(PlayerTest, HeadAnglesBelongToThePlayerObject) {
    float yaw = -1.0f, pitch = -1.0f;
    ObjectRecord stranger{};
    for (ObjectRecord* none : {(ObjectRecord*)nullptr, &stranger}) {
        Client_PlayerObject = none;
        EXPECT_EQ(plane_PlayerHeadGet(&yaw, &pitch), -1);
        plane_PlayerHeadSet(10.0f, 20.0f);
    }
    Client_PlayerObject = player;
    ASSERT_EQ(plane_PlayerHeadGet(&yaw, &pitch), 0);
    EXPECT_EQ(yaw, 0.0f);
    EXPECT_EQ(pitch, 0.0f);
    plane_PlayerHeadSet(90.0f, 350.0f);
    ASSERT_EQ(plane_PlayerHeadGet(&yaw, &pitch), 0);
    EXPECT_EQ(yaw, 90.0f);
    EXPECT_EQ(pitch, 350.0f);
    PlayerStartupView v = {};
    v.startPosition[0] = (int32_t)kX;
    v.startPosition[2] = (int32_t)kZ;
    plane_PlaceForRespawn(player, &v);
    ASSERT_EQ(plane_PlayerHeadGet(&yaw, &pitch), 0);
    EXPECT_EQ(yaw, 0.0f);
    EXPECT_EQ(pitch, 0.0f);
    Client_PlayerObject = nullptr;
}

// The think runs the flight model: with the engine at full power the
// aircraft rolls, leaves the ground and logs itself every 40 frames.
TEST_F(PlayerTest, ThinkFliesTheAircraft) {
    ASSERT_NE(Runway(0), nullptr);
    F()->groundCount = 0;
    jet_Record(plane_Current)->state.engine.throttleCommand = 1.5f;
    const uint32_t x0 = player->position.x, z0 = player->position.z;
    Log();
    for (int32_t i = 0; i < 80; i++) plane_PlayerThink(player);
    const std::string log = Log();
    EXPECT_NE(log.find("player pos "), std::string::npos) << log;
    EXPECT_TRUE(player->position.x != x0 || player->position.z != z0);
    EXPECT_EQ(player->think, plane_PlayerThink);
    EXPECT_GT(player->speed, 0);
}

}  // namespace

namespace {

TEST_F(PlayerTest, AutomaticCountermeasuresDropAgainstANearThreat) {
    weapon_FlareList = weapon_ChaffList = nullptr;
    ASSERT_TRUE(plane_Current->flags & PLANE_AUTO_DECOYS);
    // High in the air, where no service restocks the dispensers.
    F()->onGround = 0;
    F()->groundCount = 0;
    player->position.y = kGround + 0x4000000;
    F()->flares = 5;
    F()->chaff = 0;
    struct Case {
        int32_t threat;
        uint8_t flares;
    } cases[] = {{0x2F80000, 5}, {0x2F7FFFF, 4}};
    for (const Case& c : cases) {
        F()->threatDistance = c.threat;
        player->frameCounter = 63;   // the check runs every 64 frames
        plane_PlayerThink(player);
        EXPECT_EQ(F()->flares, c.flares) << c.threat;
        EXPECT_EQ(F()->chaff, 0);
        EXPECT_EQ(F()->countermeasures & 3, 0) << "the requests are spent";
        EXPECT_EQ(F()->threatDistance, INT32_MAX);
    }
    EXPECT_NE(weapon_FlareList, nullptr);
    EXPECT_EQ(weapon_ChaffList, nullptr) << "no chaff left, none dropped";
    weapon_FlareList = weapon_ChaffList = nullptr;
}

TEST_F(PlayerTest, EjectionInTheAirAndOnTheGround) {
    struct Case {
        bool airborne;
        int32_t single;
    } cases[] = {{true, 1}, {true, 0}, {false, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.airborne ? "air " : "ground ") + (c.single ? "single" : "network"));
        level_GameMode.singlePlayer = c.single;
        plane_PlaceForRespawn(player, nullptr);
        player->speed = 0x20000;
        F()->onGround = c.airborne ? 0 : 1;
        player->angles.pitch = 0x100000;
        plane_PlayerEject(player);
        EXPECT_EQ(plane_Current->flags & (PLANE_FLYING | PLANE_DESTROYED), 0u);
        EXPECT_EQ(player->angles.pitch, 0);
        EXPECT_EQ((plane_Current->flags & PLANE_EJECTED) != 0, c.airborne);
        if (c.airborne) {
            EXPECT_EQ(player->position.y, 0x4E20000u);
            EXPECT_EQ(player->speed, 0x18000);
            EXPECT_EQ(player->secondPass == nullptr, c.single == 1);
            const uint32_t z = player->position.z;
            player->think(player);
            EXPECT_NE(player->position.z, z);  // the pilot moves on
        } else {
            EXPECT_EQ(player->speed, 0);
            ASSERT_NE(player->think, nullptr);
            player->think(player);  // on to the death camera
            EXPECT_EQ(tacmap_MissionOutcome, 2);
        }
        tacmap_MissionOutcome = 0;
    }
}

// The shot-down fall turns the nose down at most 0x6590 a frame and sheds
// a debris piece every other frame; the crash spin counts down to a reset.
TEST_F(PlayerTest, FallAndSpin) {
    F()->onGround = 0;
    F()->groundCount = 0;
    player->position.y = kGround + 0x4000000;
    player->angles.pitch = 0;
    player->think = plane_DeathThink;
    int32_t debris = 0;
    for (int32_t i = 0; i < 4; i++) {
        const int32_t before = net_DcbPoolFreeCount(&level_ClientArrays.common);
        plane_DeathThink(player);
        debris += before - net_DcbPoolFreeCount(&level_ClientArrays.common);
    }
    EXPECT_EQ(debris, 2);
    EXPECT_NE(plane_Current->flags & PLANE_FALLING, 0u);
    EXPECT_EQ(player->think, plane_DeathThink);
    EXPECT_LT(player->rates.roll, 0);  // set, then eased by the flight model

    plane_Current->flags = 0;
    player->frameCounter = 3;
    player->think = plane_RespawnWait;
    Log();
    for (int32_t i = 0; i < 3; i++) player->think(player);
    EXPECT_EQ(player->think, plane_PlayerThink);
    EXPECT_NE(plane_Current->flags & PLANE_FLYING, 0u);
    EXPECT_NE(Log().find("reset 0x1"), std::string::npos);
}

// Once the end-of-flight screen is up, a crash is no longer counted and
// leaves the view and the screen state alone.
TEST_F(PlayerTest, CrashAfterTheEndOfFlightCountsNothing) {
    render_ScreenStateCurrent = nullptr;
    render_EndOfFlight = 3;
    plane_Crash(player);
    render_EndOfFlight = 0;
    EXPECT_EQ(plane_Stats.crashes, 0);
    EXPECT_EQ(render_ScreenStateCurrent, nullptr);
    EXPECT_EQ(player->think, nullptr);
    EXPECT_EQ(player->hitPoints, 0);
    plane_PlaceForRespawn(player, nullptr);
    plane_Crash(player);
    EXPECT_EQ(plane_Stats.crashes, 1);
    EXPECT_EQ(render_ScreenStateCurrent, &render_ScreenStateTable[4]);
    render_ScreenStateCurrent = nullptr;
}

TEST_F(PlayerTest, DestroyedInASinglePlayerGameFailsTheMission) {
    struct Case {
        int32_t outcome;
        uint32_t outcomeTick;  // relative to now
        int32_t expected;
    } cases[] = {{0, 0, 2}, {1, 0, 2}, {1, 1, 1}, {3, 0, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.outcome);
        plane_PlaceForRespawn(player, nullptr);
        tacmap_MissionOutcome = c.outcome;
        tacmap_OutcomeTick = app_TickCount - c.outcomeTick;
        Log();
        plane_SetDestroyed(player);
        EXPECT_EQ(tacmap_MissionOutcome, c.expected);
        EXPECT_EQ(player->hitPoints, 0);
        EXPECT_EQ(player->think, nullptr);
        EXPECT_EQ(player->secondPass, nullptr);
        const std::string log = Log();
        EXPECT_NE(log.find("trigger 11 "), std::string::npos);
        EXPECT_NE(log.find("fx kill"), std::string::npos);
    }
    tacmap_MissionOutcome = 0;
}

}  // namespace
