// The player's aircraft in a whole single-player run: full afterburner, the
// stick held back at rotation speed, the gear up, then idle throttle and the
// wings-level autopilot. It leaves the runway once, climbs some thousands of
// feet without touching the ground again and levels off, the altimeter
// panel repainted as the height changes.
#include <gtest/gtest.h>


#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "base/bmp.h"
#include "run_util.h"

namespace {

constexpr long kFoot = 4096;  // world units

struct Pos {
    long tick;
    long y;
    long agl;
};

std::vector<Pos> Positions(const std::string& log) {
    std::vector<Pos> out;
    std::istringstream in(log);
    std::string line;
    while (std::getline(in, line)) {
        long tick = 0, x = 0, y = 0, z = 0, agl = 0;
        if (sscanf(line.c_str(), "%ld player pos %ld %ld %ld agl=%ld", &tick, &x, &y, &z, &agl) == 5)
            out.push_back({tick, y, agl});
    }
    return out;
}

// Sky pixels in a band of rows below the runway's horizon.
long SkyBelowStartHorizon(const std::string& file) { return run_CountInFile(file, 0, 200, 640, 280, run_Blue); }

TEST(KrxClimbRun, TakesOffClimbsAndLevelsOff) {
    std::string dump;
    const std::string dir = run_FreshDataDir("climb", &dump);
    ASSERT_FALSE(dir.empty());
    std::string log;
    const RunResult r = run_SingleFlight(dir,
                                         std::string(kRunClimbOut) +
                                         "1100 key 3\n"
                                         "1150 key RETURN\n"
                                         "1200 key 0xDD\n",
                                         3600, &log, {"KRX_FRAMEDUMP=" + dump, "KRX_FRAMEDUMP_EVERY=300"});
    ASSERT_EQ(r.exitCode, 0) << r.err;

    // One take-off, no touchdown or crash after it.
    const size_t takeoff = log.find(" player takeoff\n");
    ASSERT_NE(takeoff, std::string::npos) << log.substr(0, 4000);
    EXPECT_EQ(log.find(" player takeoff\n", takeoff + 1), std::string::npos);
    EXPECT_EQ(log.find(" player touchdown"), std::string::npos);
    EXPECT_EQ(log.find(" crash"), std::string::npos);
    EXPECT_LT(run_LogTick(log, " player takeoff\n"), 800);
    // The climb-out passes the flak site north of the runway, which fires.
    EXPECT_GT(run_LogTick(log, " ai engage unit=73 site=flak"), run_LogTick(log, " player takeoff\n")) << log;

    const std::vector<Pos> pos = Positions(log);
    ASSERT_GT(pos.size(), 60u);
    const Pos& start = pos.front();
    const Pos& last = pos.back();
    // Some thousands of feet above the field and the ground below.
    EXPECT_GT(last.y - start.y, 2500 * kFoot);
    EXPECT_GT(last.agl, 2000 * kFoot);
    // The height gained over ten log lines (400 ticks) at the steepest
    // climb, against the last ten: nearly level at the end.
    long steepest = 0;
    for (size_t i = 10; i < pos.size(); i++) steepest = std::max(steepest, pos[i].y - pos[i - 10].y);
    const long final = last.y - pos[pos.size() - 11].y;
    EXPECT_GT(steepest, 500 * kFoot);
    EXPECT_LT(std::labs(final), steepest / 5) << final / kFoot << " ft in the last 400 ticks";

    // The altimeter panel (view 15) is repainted again and again as the
    // height changes in the climb.
    const long airborne = run_LogTick(log, " player takeoff\n");
    int altimeter = 0;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        long tick = 0;
        int view = 0;
        if (sscanf(line.c_str(), "%ld panel repaint %d", &tick, &view) == 2 && view == 15 && tick > airborne)
            altimeter++;
    }
    EXPECT_GE(altimeter, 20);

    // The cockpit view in the climb shows sky where the runway view shows
    // the ground below the horizon.
    const long runway = SkyBelowStartHorizon(dump + "/frame00300.bmp");
    const long climb = SkyBelowStartHorizon(dump + "/frame01200.bmp");
    ASSERT_GE(runway, 0);
    ASSERT_GE(climb, 0);
    EXPECT_GT(climb, runway + 640 * 40);

    // Up and level, the AIM120 (key 3) and the shoot list (Return) make the
    // nearest AI aircraft ahead the target, and the target key steps to the
    // next one; never the player's own aircraft (mission object 1), whose
    // server record flies beside him. (The lock and the kill: kill_run_test.)
    const auto tickAt = [&](size_t at) { return atol(log.c_str() + log.rfind('\n', at) + 1); };
    const size_t aim = log.find(" weapon select 2 AIM120 ");
    ASSERT_NE(aim, std::string::npos) << log.substr(0, 4000);
    const size_t list = log.find(" target id=", aim);
    ASSERT_NE(list, std::string::npos);
    EXPECT_EQ(tickAt(list), 1150);
    EXPECT_NE(log.compare(list, 14, " target id=-1\n"), 0) << "an aircraft on the shoot list";
    const size_t next = log.find(" target id=", list + 1);
    ASSERT_NE(next, std::string::npos);
    EXPECT_EQ(tickAt(next), 1200);
    EXPECT_NE(log.compare(next, 14, " target id=-1\n"), 0) << "the key steps to another aircraft";
    EXPECT_EQ(log.find(" target id=1\n"), std::string::npos);
}

}  // namespace
