// A single-player launch loads every weapon model with the level.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "run_util.h"

namespace {

TEST(KrxRun, LevelLoadLoadsEveryWeaponModel) {
    std::string dir = run_FreshDataDir("weapons");
    ASSERT_FALSE(dir.empty());
    std::string log;
    RunResult r = run_SingleFlight(dir, "", 40, &log);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // 38 of the 39 rows have a model (flak has none); a missing one would
    // have stopped the load.
    size_t models = log.find(" weapon models rows=38\n");
    size_t statics = log.find(" level statics=");
    ASSERT_NE(models, std::string::npos) << log;
    ASSERT_NE(statics, std::string::npos) << log;
    EXPECT_LT(models, statics) << log;
    EXPECT_EQ(r.err.find("box: "), std::string::npos) << r.err;
    (void)remove((dir + "/sim.log").c_str());
}

}  // namespace
