// Whole-program runs of krx, headless, on the sample data set.
#include <gtest/gtest.h>

#include "run_util.h"

TEST(KrxRun, StopsCleanlyAfterMaxTicks) {
    std::string dir = run_FreshDataDir("maxticks");
    ASSERT_FALSE(dir.empty());
    RunResult r = run_Program("krx", {}, dir, {"KRX_MAXTICKS=200"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // The intro movie takes the first ticks; the main screen's frames the rest.
    size_t at = r.err.find("krx: ");
    ASSERT_NE(at, std::string::npos) << r.err;
    long steps = strtol(r.err.c_str() + at + 5, nullptr, 10);
    EXPECT_GT(steps, 0) << r.err;
    EXPECT_LT(steps, 200) << r.err;
}
