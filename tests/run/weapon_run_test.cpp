// A single-player launch loads every weapon model with the level.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "run_util.h"

namespace {

TEST(KrxRun, LevelLoadLoadsEveryWeaponModel) {
    std::string dir = run_FreshDataDir("weapons");
    ASSERT_FALSE(dir.empty());
    RunResult r = run_Program("krx", {}, dir,
                              {"KRX_LAUNCH=single", "KRX_MAXTICKS=40", "KRX_SIMLOG=" + dir + "/sim.log"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::ifstream in(dir + "/sim.log");
    std::stringstream s;
    s << in.rdbuf();
    std::string log = s.str();
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
