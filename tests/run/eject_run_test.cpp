// An ejection in a single-player flight: the seat, the parachute and the
// landing run with the camera circling, and the sequence ends on the
// information page.
#include <gtest/gtest.h>

#include <string>

#include "run_util.h"

namespace {

TEST(KrxRun, EjectionRunsToTheGroundAndTheInformationPage) {
    // Take off, then Ctrl+E.
    const std::string log = run_FlightLog("eject",
                                          "100 key BACK\n560 keydown DOWN\n640 keyup DOWN\n"
                                          "720 keydown CONTROL\n721 keydown E\n722 keyup E\n723 keyup CONTROL\n",
                                          1100);
    ASSERT_FALSE(log.empty());
    const long start = run_LogTick(log, " eject start ");
    const long chute = run_LogTick(log, " eject parachute ");
    const long descent = run_LogTick(log, " eject descent ");
    const long touchdown = run_LogTick(log, " eject touchdown ");
    const long end = run_LogTick(log, " eject end show=0 screen=4 ");
    ASSERT_GT(start, 0) << log.substr(0, 4000);
    EXPECT_GE(chute, start);
    EXPECT_EQ(descent, chute + 64);  // the canopy takes 64 frames to open
    EXPECT_GT(touchdown, descent);
    EXPECT_EQ(end, touchdown);
    // The camera went round: its yaw is no longer the launch yaw.
    const size_t at = log.find(" eject end ");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(log.find(" yaw=14680064 ", at), std::string::npos) << log.substr(at, 200);
}

}  // namespace
