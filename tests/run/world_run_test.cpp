// The real program's world picture in 8 and 16 bits: the start view shows
// the sky's gradient above the horizon and the ground below it, and the
// follow view shows the player's aircraft standing on the runway.
#include <gtest/gtest.h>

#include <string>

#include "base/bmp.h"
#include "run_util.h"

namespace {

using Rgb = RunRgb;
Rgb At(const _EIMAGE2* img, int32_t x, int32_t y) { return run_Rgb(img, x, y); }
constexpr auto Blue = run_Blue;
constexpr auto Dark = run_Dark;

// The follow view from tick 60; frames every 10 ticks.
std::string Fly(const std::string& name, int bits) { return run_DumpedFlight(name, "60 key F3\n", 120, 10, bits); }

class KrxWorldRun : public ::testing::TestWithParam<int> {};

TEST_P(KrxWorldRun, SkyGroundAndTheAircraftAreDrawn) {
    const int bits = GetParam();
    std::string dump = Fly("world" + std::to_string(bits), bits);
    ASSERT_FALSE(dump.empty());
    _EIMAGE2* cockpit = run_LoadFrame(dump, 50);
    _EIMAGE2* follow = run_LoadFrame(dump, 110);
    ASSERT_NE(cockpit, nullptr);
    ASSERT_NE(follow, nullptr);
    ASSERT_EQ(cockpit->width, 640);
    ASSERT_EQ(cockpit->height, 480);

    // The start view: sky above the horizon, a gradient (the colour high up
    // is not the one near the horizon), and the ground between the horizon
    // and the console, which is neither sky nor black.
    EXPECT_GT(run_Count(cockpit, 0, 40, 640, 180, Blue), 640 * 140 * 9 / 10);
    const Rgb high = At(cockpit, 320, 40), low = At(cockpit, 320, 190);
    EXPECT_TRUE(high.r != low.r || high.g != low.g || high.b != low.b);
    const int32_t ground = run_Count(cockpit, 0, 240, 640, 290, run_Ground);
    EXPECT_GT(ground, 640 * 50 * 9 / 10);

    // The follow view looks down on the aircraft: the ground fills the
    // frame, and the middle holds pixels the ground around it has not.
    EXPECT_EQ(run_Count(follow, 0, 8, 640, 440, Dark), 0);
    EXPECT_GT(run_AircraftPixels(follow), 200);
    img_Free(cockpit);
    img_Free(follow);
}

INSTANTIATE_TEST_SUITE_P(Depths, KrxWorldRun, ::testing::Values(8, 16));

}  // namespace

namespace {

// The SNAPSHOT key (Ctrl+Shift+Insert) pressed twice: the first free
// numbers are taken, the first picture is not written again, and each
// save is reported.
std::string Snap() {
    return "60 keydown CONTROL\n60 keydown SHIFT\n61 keydown INSERT ext\n62 keyup INSERT ext\n"
           "70 keydown INSERT ext\n71 keyup INSERT ext\n72 keyup SHIFT\n72 keyup CONTROL\n";
}

TEST_P(KrxWorldRun, SnapshotKeyWritesNumberedPictures) {
    const int bits = GetParam();
    std::string dir = run_FreshDataDir("snap" + std::to_string(bits));
    ASSERT_FALSE(dir.empty());
    ASSERT_TRUE(run_SetSoftwareDepth(dir, bits));
    std::string log;
    RunResult r = run_SingleFlight(dir, Snap(), 100, &log);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string ext = bits == 8 ? ".PCX" : ".RAW";
    const std::string first = run_ReadAll(dir + "/SNAP0000" + ext);
    const std::string second = run_ReadAll(dir + "/SNAP0001" + ext);
    if (bits == 16) {
        // Headerless: 640 x 480 pixels of three bytes.
        EXPECT_EQ(first.size(), 640u * 480u * 3u);
    } else {
        ASSERT_GT(first.size(), 128u + 769u);
        EXPECT_EQ((uint8_t)first[0], 10);  // the PCX mark
    }
    EXPECT_EQ(second.size() > 0, true);
    const long saved0 = run_LogTick(log, "screen Saved 'SNAP0000" + ext + "'");
    const long saved1 = run_LogTick(log, "screen Saved 'SNAP0001" + ext + "'");
    EXPECT_GE(saved0, 61) << log;
    EXPECT_GT(saved1, saved0) << log;
    EXPECT_EQ(run_LogTick(log, "SNAP0002"), -1) << log;
}

}  // namespace
