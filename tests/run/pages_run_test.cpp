// A single-player flight through the information pages: the goals page, the
// pause notice and its end, then leaving the flight for the debriefing and
// its choice. The pages' yellow titles show in the dumped frames.
#include <gtest/gtest.h>

#include <string>

#include "base/bmp.h"
#include "run_util.h"

namespace {

// Yellow page text: red and green high, blue low.
int32_t YellowIn(const _EIMAGE2* img, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    int32_t n = 0;
    for (int32_t y = y1; y < y2; y++)
        for (int32_t x = x1; x < x2; x++) {
            const uint32_t p = run_PixelAt(img, x, y);
            n += ((p >> 16) & 0xFF) >= 200 && ((p >> 8) & 0xFF) >= 200 && (p & 0xFF) < 80;
        }
    return n;
}

int32_t YellowInFrame(const std::string& file, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    _EIMAGE2* img = img_LoadBmp(file.c_str());
    if (!img) return -1;
    const int32_t n = YellowIn(img, x1, y1, x2, y2);
    img_Free(img);
    return n;
}

TEST(KrxRun, GoalsPausePagesAndTheDebriefing) {
    std::string dump;
    std::string dir = run_FreshDataDir("pages", &dump);
    ASSERT_FALSE(dir.empty());
    std::string log;
    RunResult r = run_SingleFlight(dir,
                                   "60 key O\n100 key O\n110 key PAUSE\n140 key PAUSE\n160 key ESCAPE\n"
                                   "170 keydown Y\n170 char Y\n171 keyup Y\n200 key 2\n200 char 2\n",
                                   210, &log, {"KRX_FRAMEDUMP=" + dump, "KRX_FRAMEDUMP_EVERY=10"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(log.find(" goals load group=\"MISS 1 GOALS\" primary=2 secondary=1 bonus=1 fail=1\n"),
              std::string::npos)
        << log.substr(0, 2000);
    // The goals page's primary title, only while the page is open.
    EXPECT_GT(YellowInFrame(dump + "/frame00080.bmp", 40, 95, 220, 115), 100);
    EXPECT_EQ(YellowInFrame(dump + "/frame00050.bmp", 40, 95, 220, 115), 0);
    EXPECT_EQ(YellowInFrame(dump + "/frame00100.bmp", 40, 95, 220, 115), 0);
    // The pause notice across the middle, gone after the second press.
    EXPECT_GT(YellowInFrame(dump + "/frame00120.bmp", 100, 230, 540, 256), 100);
    EXPECT_EQ(YellowInFrame(dump + "/frame00150.bmp", 100, 230, 540, 256), 0);
    EXPECT_NE(log.find(" pages pause off\n"), std::string::npos);
    // The pause holds the single-player world from the first press to the
    // second.
    const size_t on = log.find(" flight pause on\n"), off = log.find(" flight pause off\n");
    EXPECT_NE(on, std::string::npos) << log;
    EXPECT_NE(off, std::string::npos) << log;
    EXPECT_LT(on, off);
    // Leaving the flight opens the debriefing with the abandoned result.
    size_t leave = log.find(" flight leave mission outcome=3 screen=4\n");
    ASSERT_NE(leave, std::string::npos) << log;
    EXPECT_GT(YellowInFrame(dump + "/frame00180.bmp", 60, 95, 300, 115), 100);
    EXPECT_NE(log.find(" pages debrief choice=1 outcome=3\n", leave), std::string::npos) << log;
}

}  // namespace
