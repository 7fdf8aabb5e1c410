// Whole-program runs of krx, headless, on the sample data set.
#include <gtest/gtest.h>

#include "run_util.h"

TEST(KrxRun, StopsCleanlyAfterMaxTicks) {
    std::string dir = run_FreshDataDir("maxticks");
    ASSERT_FALSE(dir.empty());
    RunResult r = run_Program("krx", {}, dir, {"KRX_MAXTICKS=80"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("krx: 80 frame steps"), std::string::npos) << r.err;
}
