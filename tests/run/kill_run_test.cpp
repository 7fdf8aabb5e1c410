// The real program's air-to-air kill: after take-off the player selects the
// AIM120, takes the aircraft ahead in the boresight, locks it with the radar
// seeker and fires. The missile flies out to it and destroys it; the HUD
// shows the missile's steering circle while locked; the mission's goal of
// shooting it down is marked and the mission is won.
#include <gtest/gtest.h>


#include <cstdlib>
#include <string>

#include "base/bmp.h"
#include "run_util.h"

namespace {

std::string Field(const std::string& log, size_t at, const std::string& key) {
    const size_t k = log.find(key, at);
    if (k == std::string::npos) return "";
    const size_t end = log.find_first_of(" \n", k + key.size());
    return log.substr(k + key.size(), end - k - key.size());
}

// The HUD's bright green, not the darker green of the land.
bool HudInk(RunRgb c) { return c.g > 200 && c.r < 120 && c.b < 120; }

// HUD ink at the left and right edges of the large steering circle about
// the HUD's centre.
int32_t CircleEdges(const std::string& file) {
    _EIMAGE2* img = img_LoadBmp(file.c_str());
    if (!img) return -1;
    const int32_t n = run_Count(img, 262, 272, 269, 300, HudInk) + run_Count(img, 371, 272, 378, 300, HudInk);
    img_Free(img);
    return n;
}

TEST(KrxKillRun, RadarMissileShootsDownTheAircraftAheadAndWinsTheMission) {
    std::string dump;
    const std::string dir = run_FreshDataDir("kill", &dump);
    ASSERT_FALSE(dir.empty());
    std::string log;
    // Take-off and climb as in the climb run; then the AIM120 (3), the
    // boresight key (') on the aircraft ahead, and the fire key.
    const RunResult r = run_SingleFlight(dir,
                                         std::string(kRunClimbOut) +
                                         "1100 key 3\n"
                                         "1200 key 0xDE\n"
                                         "1300 keydown SPACE\n"
                                         "1310 keyup SPACE\n",
                                         2000, &log,
                                         {"KRX_MISSION=KILL.ORF", "KRX_FRAMEDUMP=" + dump, "KRX_FRAMEDUMP_EVERY=100"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(log.find(" goals load group=\"MISS 1 GOALS\" primary=1 "), std::string::npos) << log.substr(0, 3000);

    // Locked before the launch, and the launch names the locked target.
    const size_t lock = log.find(" weapon lock 2 target=");
    ASSERT_NE(lock, std::string::npos) << log.substr(0, 4000);
    const std::string target = Field(log, lock, "target=");
    const size_t send = log.find(" weapon send missile type=2 target=" + target + "\n", lock);
    ASSERT_NE(send, std::string::npos) << log.substr(lock, 4000);
    const size_t made = log.find(" weapon missile serial=", send);
    ASSERT_NE(made, std::string::npos);
    const std::string missile = Field(log, made, "serial=");
    EXPECT_EQ(Field(log, made, "target="), target);

    // The missile hits its target, and the aircraft ahead (mission object
    // 71) dies by the player's hand (object 1) in the air.
    const size_t hit = log.find(" weapon hit serial=" + missile + " victim=" + target + "\n", made);
    ASSERT_NE(hit, std::string::npos) << log.substr(made, 6000);
    const size_t dead = log.find(" ai destroyed object=71 by=1 air\n", made);
    ASSERT_NE(dead, std::string::npos);
    const auto tickAt = [&](size_t at) { return atol(log.c_str() + log.rfind('\n', at) + 1); };
    EXPECT_EQ(tickAt(hit), tickAt(dead));
    // Its death events go to the triggers, and the kill's text ends with the
    // "killed" suffix.
    for (const char* event : {" ai event object=71 0\n", " ai event object=71 9\n", " ai event object=71 11\n"}) {
        const size_t e = log.find(event, hit);
        ASSERT_NE(e, std::string::npos) << event;
        EXPECT_EQ(tickAt(e), tickAt(hit)) << event;
    }
    const size_t text = log.find(" client text ", hit);
    ASSERT_NE(text, std::string::npos);
    EXPECT_EQ(log.compare(log.find('\n', text) - 9, 9, " (killed)"), 0) << log.substr(text, 80);
    EXPECT_EQ(log.find(" weapon event 0xe serial=" + missile + "\n"), std::string::npos) << "no miss into the ground";

    // The goal of shooting it down is marked, and with it the mission won.
    const size_t goal = log.find(" goals done list=0 goal=0 remaining=0 outcome=1\n", hit);
    ASSERT_NE(goal, std::string::npos) << log.substr(hit, 2000);
    EXPECT_EQ(tickAt(goal), tickAt(dead));

    // The AIM120's steering circle on the HUD while locked (tick 1400), none
    // before the missile was selected (tick 1000).
    EXPECT_GT(CircleEdges(dump + "/frame01400.bmp"), 20);
    EXPECT_GE(CircleEdges(dump + "/frame01000.bmp"), 0);
    EXPECT_LT(CircleEdges(dump + "/frame01000.bmp"), 10);
}

}  // namespace
