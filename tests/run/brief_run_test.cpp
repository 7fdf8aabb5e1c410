// The click path of the real program from the main screen into a flight:
// quick mission, Enter on the list and on the briefing, the teletype page
// passed at once in a quick mission, the loading page, then the bridge
// flight with the player placed.
#include <gtest/gtest.h>

#include <string>

#include "base/bmp.h"
#include "run_util.h"

namespace {

TEST(KrxBriefRun, MainScreenThroughBriefingAndLoadingIntoTheFlight) {
    std::string dump;
    std::string dir = run_FreshDataDir("brief", &dump);
    ASSERT_FALSE(dir.empty());
    std::string log;
    RunResult r = run_Krx(dir,
                          std::string(kRunToBriefing) +
                          "700 key RETURN\n",
                          800, &log, {"KRX_FRAMEDUMP=" + dump, "KRX_FRAMEDUMP_EVERY=100"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // The flight starts after the second Enter, with the local player placed.
    long start = run_LogTick(log, "server start mode=single");
    EXPECT_GE(start, 700) << log;
    EXPECT_NE(log.find("client start mode=bridge"), std::string::npos) << log;
    EXPECT_GE(run_LogTick(log, "player placed"), start) << log;
    // The briefing showed its region map where the quick mission screen has
    // its description (frame 200: quick missions; 500: the briefing).
    _EIMAGE2* quick = run_LoadFrame(dump, 200);
    _EIMAGE2* brief = run_LoadFrame(dump, 500);
    ASSERT_NE(quick, nullptr);
    ASSERT_NE(brief, nullptr);
    EXPECT_NE(run_PixelAt(brief, 360, 220), run_PixelAt(quick, 360, 220));
    EXPECT_EQ(run_PixelAt(brief, 360, 220), run_PixelAt(brief, 380, 200));  // one land colour
    img_Free(quick);
    img_Free(brief);
}

}  // namespace
