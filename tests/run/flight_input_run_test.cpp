// The player's keys in a single-player flight: throttle and stick take the
// aircraft off, the weapon and target keys change the weapon and the
// target, the wing menu orders the wingman, and the leave-flight menu ends
// the mission with the debriefing and the ejection.
#include <gtest/gtest.h>

#include <string>

#include "run_util.h"

namespace {

TEST(KrxRun, ThrottleAndStickTakeTheAircraftOff) {
    // Afterburner (Backspace), then the stick back once the speed is up.
    const std::string log = run_FlightLog("takeoff", "100 key BACK\n1400 keydown DOWN\n1435 keyup DOWN\n", 1600);
    EXPECT_NE(log.find(" player takeoff\n"), std::string::npos) << log.substr(0, 4000);
    EXPECT_EQ(log.find(" crash"), std::string::npos);
}

TEST(KrxRun, WeaponAndTargetKeysAct) {
    // Tilde selects the next weapon; the closing bracket the next target.
    const std::string log = run_FlightLog("weaponkeys", "60 key 0xC0\n80 key 0xDD\n", 120);
    size_t select = log.find(" weapon select 0 M61A1 ");
    EXPECT_NE(select, std::string::npos) << log;
    EXPECT_NE(log.find(" target id=", select), std::string::npos) << log;
}

TEST(KrxRun, WingMenuOrdersTheWingman) {
    const std::string log = run_FlightLog("wingorder", "60 key W\n70 key 0\n", 120);
    size_t wingman = log.find(" ai wingman unit=");
    ASSERT_NE(wingman, std::string::npos) << log;
    size_t order = log.find(" wing order 0 unit=", wingman);
    ASSERT_NE(order, std::string::npos) << log;
    EXPECT_NE(log.find(" ai program unit=", order), std::string::npos) << log;
    EXPECT_NE(log.find(" program=follow state=4\n", order), std::string::npos) << log;
}

TEST(KrxRun, LeavingTheMissionShowsTheDebriefingAndEjects) {
    const std::string log = run_FlightLog("leave", "60 key ESCAPE\n70 keydown Y\n70 char Y\n71 keyup Y\n", 120);
    size_t leave = log.find(" flight leave mission outcome=3 screen=4\n");
    ASSERT_NE(leave, std::string::npos) << log;
    EXPECT_NE(log.find(" player eject ground\n", leave), std::string::npos) << log;
}

}  // namespace
