// The real program's quick mission screen: reached from the main screen's
// first button, listing the data set's quick missions; Enter accepts the
// first one (the briefing, not built yet, returns to the main screen).
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "base/bmp.h"
#include "fixtures/workdir.h"
#include "run_util.h"

namespace {

TEST(KrxQuickRun, MainScreenToQuickMissionsAndAccept) {
    std::string dir = run_FreshDataDir("quick");
    ASSERT_FALSE(dir.empty());
    std::string dump = dir + "/frames";
    ASSERT_EQ(mkdir(dump.c_str(), 0755), 0);
    test_WriteText(dir + "/script.txt",
                   "150 mouse 320 160\n"
                   "160 lbutton down 320 160\n"
                   "164 lbutton up 320 160\n"
                   "400 key RETURN\n");
    RunResult r = run_Program("krx", {}, dir,
                              {"KRX_SCRIPT=" + dir + "/script.txt", "KRX_MAXTICKS=700", "KRX_FRAMEDUMP=" + dump});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    _EIMAGE2* quick = img_LoadBmp((dump + "/frame00200.bmp").c_str());
    _EIMAGE2* back = img_LoadBmp((dump + "/frame00390.bmp").c_str());
    ASSERT_NE(quick, nullptr);
    ASSERT_NE(back, nullptr);
    // The first row is latched (its button's picture), the main screen has
    // no button there.
    EXPECT_NE(run_PixelAt(quick, 62, 82), run_PixelAt(back, 62, 82));
    EXPECT_EQ(run_PixelAt(back, 62, 82), run_PixelAt(back, 40, 82));
}

}  // namespace
