// A single-player launch puts the sample mission's ground units on the
// player target list, which a bomb's target list is filled from.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "run_util.h"

namespace {

TEST(KrxRun, SampleMissionMarksPlayerTargets) {
    std::string dir = run_FreshDataDir("targets");
    ASSERT_FALSE(dir.empty());
    RunResult r = run_Program("krx", {}, dir,
                              {"KRX_LAUNCH=single", "KRX_MAXTICKS=20", "KRX_SIMLOG=" + dir + "/sim.log"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::ifstream in(dir + "/sim.log");
    std::stringstream s;
    s << in.rdbuf();
    const std::string log = s.str();
    // The two tanks and the SAM site, and the AI's SAM site, flak site and
    // radar; the AI's SAM site and radar are also in category 0x01.
    EXPECT_NE(log.find(" cat01=2 cat04=6 "), std::string::npos) << log;
    (void)remove((dir + "/sim.log").c_str());
}

}  // namespace
