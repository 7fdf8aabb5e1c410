// A single-player launch of the sample mission: its AI units made by kind
// with their groups, and its ground units on the player target list, which
// a bomb's target list is filled from.
#include <gtest/gtest.h>

#include <string>

#include "run_util.h"

namespace {

// The simulation log of 20 ticks of a single-player launch.
std::string SingleLaunchLog(const std::string& name) { return run_FlightLog(name, "", 20); }

TEST(KrxRun, SampleMissionMarksPlayerTargets) {
    const std::string log = SingleLaunchLog("targets");
    // The two tanks and the SAM site, and the AI's SAM site, flak site and
    // radar; the AI's SAM site and radar are also in category 0x01.
    EXPECT_NE(log.find(" cat01=2 cat04=6 "), std::string::npos) << log;
}

TEST(KrxRun, SampleMissionMakesItsAiUnitsInGroups) {
    const std::string log = SingleLaunchLog("ai");
    // The parked two-ship flight, the aircraft ahead, the SAM and flak
    // sites, the radar, a patrol group of four, the player's wingman; no
    // mission error.
    for (const char* line : {" ai create aircraft 0 object=69 group=1 member=1 lead",
                             " ai create aircraft 0 object=70 group=1 member=2 wing",
                             " ai create aircraft 8 object=71 group=2 member=1 lead",
                             " ai create ground 2 object=72 group=20 member=1 ground",
                             " ai create ground 4 object=73 group=20 member=2 ground",
                             " ai create ground 6 object=74 group=21 member=1 ground",
                             " ai create aircraft 5 object=33 group=10 member=4 wing",
                             " ai create aircraft 0 object=75 group=0 member=1 wing", " ai groups 14 units 46"})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    EXPECT_EQ(log.find(" ai error "), std::string::npos) << log;
}

}  // namespace
