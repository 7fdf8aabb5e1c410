// A flight on the project's 3D card: the level takes the card's display,
// the dumped frames show the sky, the ground, the cockpit and HUD, and the
// aircraft in the follow view, and the screenshot key saves the card's frame.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "base/bmp.h"
#include "run_util.h"

namespace {

using Rgb = RunRgb;
Rgb At(const _EIMAGE2* img, int32_t x, int32_t y) { return run_Rgb(img, x, y); }
constexpr auto Blue = run_Blue;
constexpr auto Dark = run_Dark;
constexpr auto Green = run_Green;

TEST(KrxCardRun, TheCardDrawsSkyGroundCockpitAndAircraft) {
    std::string dump;
    std::string dir = run_FreshDataDir("card", &dump);
    ASSERT_FALSE(dir.empty());
    std::string log;
    // The SNAPSHOT key (Ctrl+Shift+Insert) once the follow view is dumped.
    const std::string script = "60 key F3\n112 keydown CONTROL\n112 keydown SHIFT\n113 keydown INSERT ext\n"
                               "114 keyup INSERT ext\n115 keyup SHIFT\n115 keyup CONTROL\n";
    RunResult r = run_SingleFlight(dir, script, 125, &log,
                                   {kRunCard, "KRX_FRAMEDUMP=" + dump, "KRX_FRAMEDUMP_EVERY=10"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(log.find("display width=640 height=480 bits=16 card=1"), std::string::npos) << log;

    _EIMAGE2* cockpit = run_LoadFrame(dump, 50);
    _EIMAGE2* follow = run_LoadFrame(dump, 110);
    ASSERT_NE(cockpit, nullptr);
    ASSERT_NE(follow, nullptr);
    ASSERT_EQ(cockpit->width, 640);
    ASSERT_EQ(cockpit->height, 480);

    // The card's sky: graded blue bands above the horizon, not a blank.
    EXPECT_GT(run_Count(cockpit, 0, 100, 640, 180, Blue), 640 * 80 * 9 / 10);
    const Rgb high = At(cockpit, 320, 60), low = At(cockpit, 320, 190);
    EXPECT_TRUE(high.r != low.r || high.g != low.g || high.b != low.b);
    // The ground between the horizon and the console: neither sky nor black.
    EXPECT_GT(run_Count(cockpit, 0, 240, 640, 290, run_Ground), 640 * 50 * 9 / 10);
    // The HUD's green symbols and the MFD screens of the cockpit.
    EXPECT_GT(run_Count(cockpit, 200, 230, 440, 340, Green), 200);
    EXPECT_GT(run_Count(cockpit, 30, 380, 210, 470, Green), 30 * 90);

    // Follow view: ground everywhere and the aircraft in the middle.
    EXPECT_EQ(run_Count(follow, 0, 8, 640, 440, Dark), 0);
    EXPECT_GT(run_AircraftPixels(follow), 200);
    img_Free(cockpit);
    img_Free(follow);

    // A screenshot of the card's frame: 640 x 480 pixels of three bytes.
    EXPECT_EQ(run_ReadAll(dir + "/SNAP0000.RAW").size(), 640u * 480u * 3u);
    EXPECT_GE(run_LogTick(log, "screen Saved 'SNAP0000.RAW'"), 113) << log;
}

}  // namespace
