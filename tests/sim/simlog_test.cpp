// The simulation log falls back to standard error.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/simlog.h"

namespace {

TEST(SimLog, LinesGoToStandardErrorWithoutAWritableFile) {
    setenv("KRX_PLATFORM", "headless", 0);
    struct Case {
        const char* file;   // null: no KRX_SIMLOG
        const char* expected;
    } cases[] = {
        {nullptr, "0 plane create KRX\n0 level\n"},
        {"/nonexistent-krx-dir/simlog.txt",
         "krx: cannot write the simulation log \"/nonexistent-krx-dir/simlog.txt\"\n0 plane create KRX\n0 level\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file ? c.file : "unset");
        if (c.file)
            setenv("KRX_SIMLOG", c.file, 1);
        else
            unsetenv("KRX_SIMLOG");
        plat_SimLogReset();
        testing::internal::CaptureStderr();
        plat_SimLog("plane", "create %s", "KRX");
        plat_SimLog("level", nullptr);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.expected);
    }
    unsetenv("KRX_SIMLOG");
    plat_SimLogReset();
}

}  // namespace
