// Headless launches: the dedicated server and the single-player bridge load
// the sample level server-side, run their frames and return to the main
// screen.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <string>

#include "run_util.h"

namespace {

TEST(KrxRun, DedicatedServerRunsUntilEscapeThenReturnsToTheMainScreen) {
    std::string dir = run_FreshDataDir("dedicated");
    ASSERT_FALSE(dir.empty());
    std::string log;
    RunResult r = run_Krx(dir, "60 key ESCAPE\n", 160, &log, {"KRX_LAUNCH=dedicated"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(log.find("server start mode=dedicated interval=16"), std::string::npos) << log;
    EXPECT_NE(log.find(" level statics="), std::string::npos) << log;
    // Escape ends the state in the frame that saw it.
    EXPECT_EQ(run_LogTick(log, "server escape"), 60) << log;
    EXPECT_NE(log.find("server escape frame=60"), std::string::npos) << log;
    long stop = run_LogTick(log, "server stop");
    EXPECT_GE(stop, 60) << log;
    // The main screen ran after the flight until the run's end: more frame
    // steps than the flight's 60.
    size_t at = r.err.find("krx: ");
    ASSERT_NE(at, std::string::npos) << r.err;
    long steps = strtol(r.err.c_str() + at + 5, nullptr, 10);
    EXPECT_GT(steps, 80) << r.err;
    (void)remove((dir + "/sim.log").c_str());
}

// The bridge state runs the server and the client frame by frame.
TEST(KrxRun, SinglePlayerBridgeRunsBothHalves) {
    std::string dir = run_FreshDataDir("single");
    ASSERT_FALSE(dir.empty());
    std::string log;
    RunResult r = run_SingleFlight(dir, "", 200, &log);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(log.find("server start mode=single interval=2"), std::string::npos) << log;
    EXPECT_NE(log.find("client start mode=bridge interval=2"), std::string::npos) << log;
    EXPECT_NE(r.err.find("200 frame steps"), std::string::npos) << r.err;
}

// Single player end to end: the sample level loads on both sides, the local
// player joins slot 0, which goes active after the client's start-up
// confirmation; from then the server sends a packet every other frame.
TEST(KrxRun, SinglePlayerJoinsTheLocalSlotAndExchangesPackets) {
    std::string dir = run_FreshDataDir("single_join");
    ASSERT_FALSE(dir.empty());
    std::string log;
    RunResult r = run_SingleFlight(dir, "", 400, &log);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    long join = run_LogTick(log, "slot join 0 net=0 players=1");
    long startup = run_LogTick(log, "client startup number=1 player=0");
    long active = run_LogTick(log, "slot active 0");
    ASSERT_GE(join, 0) << log;
    EXPECT_GE(startup, join) << log;
    EXPECT_GT(active, startup) << log;
    EXPECT_NE(log.find(" level statics="), std::string::npos) << log;
    // The client's level is loaded: its camera is placed on the player.
    EXPECT_GT(run_LogTick(log, " camera mode="), 0) << log;
    // Every 64th packet: sent in about twice as many server frames.
    int counts = 0;
    for (size_t at = log.find("server packets sent="); at != std::string::npos;
         at = log.find("server packets sent=", at + 1)) {
        unsigned sent = 0, frame = 0;
        ASSERT_EQ(sscanf(log.c_str() + at, "server packets sent=%u frame=%u", &sent, &frame), 2) << log;
        EXPECT_EQ(sent % 64, 0u);
        EXPECT_NEAR(static_cast<double>(frame), 2.0 * sent, 4.0) << log;
        counts++;
    }
    EXPECT_GE(counts, 2) << log;
    // The client made the player's aircraft record at its level load, placed
    // the aircraft where the server placed it, and released the record at its
    // stop; the idle aircraft stays on the ground.
    long create = run_LogTick(log, "plane create KRX");
    EXPECT_GE(create, join) << log;
    EXPECT_GT(run_LogTick(log, "plane release KRX"), create) << log;
    // Both halves place it on the same spot; the client's own aircraft
    // stands on its model's base, the server's on its stand-in model's.
    size_t placed = log.find(" player placed ");
    ASSERT_NE(placed, std::string::npos) << log;
    size_t again = log.find(" player placed ", placed + 1);
    ASSERT_NE(again, std::string::npos) << log;
    unsigned long long x1, y1, z1, x2, y2, z2;
    ASSERT_EQ(sscanf(log.c_str() + placed, " player placed %llu %llu %llu", &x1, &y1, &z1), 3) << log;
    ASSERT_EQ(sscanf(log.c_str() + again, " player placed %llu %llu %llu", &x2, &y2, &z2), 3) << log;
    EXPECT_EQ(x1, x2) << log;
    EXPECT_EQ(z1, z2) << log;
    EXPECT_LT(std::llabs((long long)y1 - (long long)y2), 0x10000LL) << log;
    EXPECT_NE(log.find(" ground=1 "), std::string::npos) << log;
    EXPECT_EQ(log.find("crash"), std::string::npos) << log;
}

// The camera: first at the aircraft's cockpit eye; after the follow-view key
// behind the aircraft at the chase distance, kept above the ground.
TEST(KrxRun, SinglePlayerCameraAtTheCockpitEyeThenChasing) {
    std::string dir = run_FreshDataDir("camera");
    ASSERT_FALSE(dir.empty());
    std::string log;
    RunResult r = run_SingleFlight(dir, "120 key F3\n" /* CAMERA_FOLLOW */, 160, &log);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    long cockpit = run_LogTick(log, " camera mode=0 sub=0 ");
    ASSERT_GE(cockpit, 0) << log;
    size_t at = log.find(" camera mode=0 sub=0 ");
    long long x, y, z, dx, dy, dz, distance;
    ASSERT_EQ(sscanf(log.c_str() + at, " camera mode=0 sub=0 x=%lld y=%lld z=%lld dx=%lld dy=%lld dz=%lld distance=%lld",
                     &x, &y, &z, &dx, &dy, &dz, &distance), 7) << log;
    // The eye sits in the cockpit, within a unit of the aircraft's origin.
    EXPECT_LT(std::sqrt((double)dx * dx + (double)dy * dy + (double)dz * dz), 65536.0) << log;

    EXPECT_GE(run_LogTick(log, " camera mode=3 "), 120) << log;
    at = log.find(" camera mode=3 ");
    ASSERT_NE(at, std::string::npos) << log;
    long long cx, cy, cz;
    int sub;
    ASSERT_EQ(sscanf(log.c_str() + at, " camera mode=3 sub=%d x=%lld y=%lld z=%lld dx=%lld dy=%lld dz=%lld distance=%lld",
                     &sub, &cx, &cy, &cz, &dx, &dy, &dz, &distance), 8) << log;
    // Away from the aircraft by about the chase distance, never nearer the
    // ground than 4.0 (the aircraft's origin stands its model's base, under
    // a quarter of a unit, above it).
    double away = std::sqrt((double)dx * dx + (double)dz * dz);
    EXPECT_GT(away, 0.8 * (double)distance) << log;
    EXPECT_LT(away, 1.1 * (double)distance) << log;
    EXPECT_GE(dy, 0x40000 - 0x4000) << log;
}

}  // namespace
