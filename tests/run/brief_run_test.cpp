// The click path of the real program from the main screen into a flight:
// quick mission, Enter on the list and on the briefing, the teletype page
// passed at once in a quick mission, the loading page, then the bridge
// flight with the player placed.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "base/bmp.h"
#include "fixtures/workdir.h"
#include "run_util.h"

namespace {

TEST(KrxBriefRun, MainScreenThroughBriefingAndLoadingIntoTheFlight) {
    std::string dir = run_FreshDataDir("brief");
    ASSERT_FALSE(dir.empty());
    std::string dump = dir + "/frames";
    ASSERT_EQ(mkdir(dump.c_str(), 0755), 0);
    test_WriteText(dir + "/script.txt",
                   "150 mouse 320 160\n"
                   "160 lbutton down 320 160\n"
                   "164 lbutton up 320 160\n"
                   "400 key RETURN\n"
                   "700 key RETURN\n");
    RunResult r = run_Program("krx", {}, dir,
                              {"KRX_SCRIPT=" + dir + "/script.txt", "KRX_MAXTICKS=800", "KRX_FRAMEDUMP=" + dump, "KRX_FRAMEDUMP_EVERY=100",
                               "KRX_SIMLOG=" + dir + "/sim.log"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string log = run_ReadAll(dir + "/sim.log");
    // The flight starts after the second Enter, with the local player placed.
    long start = run_LogTick(log, "server start mode=single");
    EXPECT_GE(start, 700) << log;
    EXPECT_NE(log.find("client start mode=bridge"), std::string::npos) << log;
    EXPECT_GE(run_LogTick(log, "player placed"), start) << log;
    // The briefing showed its region map where the quick mission screen has
    // its description (frame 200: quick missions; 500: the briefing).
    _EIMAGE2* quick = img_LoadBmp((dump + "/frame00200.bmp").c_str());
    _EIMAGE2* brief = img_LoadBmp((dump + "/frame00500.bmp").c_str());
    ASSERT_NE(quick, nullptr);
    ASSERT_NE(brief, nullptr);
    EXPECT_NE(run_PixelAt(brief, 360, 220), run_PixelAt(quick, 360, 220));
    EXPECT_EQ(run_PixelAt(brief, 360, 220), run_PixelAt(brief, 380, 200));  // one land colour
    img_Free(quick);
    img_Free(brief);
}

}  // namespace
