// The real program's cockpit: the start view shows the 3D cockpit with its
// panel images below the view ahead, and the defence view shows the left
// MFD's panel filling the screen.
#include <gtest/gtest.h>


#include <string>

#include "base/bmp.h"
#include "run_util.h"

namespace {

using Rgb = RunRgb;
Rgb PixelAt(const _EIMAGE2* img, int32_t x, int32_t y) { return run_Rgb(img, x, y); }
// The MFD screens' dark green.
bool MfdGreen(Rgb c) { return c.g >= 24 && c.g <= 64 && c.r < 16 && c.b < 16; }
// Runs the single-player flight with the script and returns the frame dump
// folder.
std::string Fly(const std::string& name, const std::string& script, int ticks) {
    return run_DumpedFlight(name, script, ticks, 10);
}

TEST(KrxCockpitRun, StartViewShowsTheCockpitAndDefenceViewTheLeftMfd) {
    // The flight starts in the cockpit view; the follow view, then the
    // defence panel view.
    std::string dump = Fly("cockpit", "100 key F3\n120 key NUMPAD4\n", 200);
    ASSERT_FALSE(dump.empty());
    _EIMAGE2* cockpit = run_LoadFrame(dump, 80);
    _EIMAGE2* defence = run_LoadFrame(dump, 180);
    ASSERT_NE(cockpit, nullptr);
    ASSERT_NE(defence, nullptr);
    ASSERT_EQ(cockpit->width, 640);
    ASSERT_EQ(cockpit->height, 480);
    // Both MFD screens on the console at the bottom, on the left and on
    // the right; the view ahead above it holds no panel.
    EXPECT_GT(run_Count(cockpit, 0, 380, 240, 480, MfdGreen), 5000);
    EXPECT_GT(run_Count(cockpit, 400, 380, 640, 480, MfdGreen), 5000);
    // (The grass of the ground ahead may share the dark green here and there.)
    EXPECT_LT(run_Count(cockpit, 0, 0, 640, 240, MfdGreen), 640 * 240 / 100);
    // The defence view: the left MFD's screen fills the middle of the
    // screen, its bezel buttons along the top edge.
    EXPECT_GT(run_Count(defence, 0, 0, 640, 480, MfdGreen), 640 * 480 / 2);
    EXPECT_TRUE(MfdGreen(PixelAt(defence, 200, 200)));
    EXPECT_FALSE(MfdGreen(PixelAt(defence, 320, 20)));
    img_Free(cockpit);
    img_Free(defence);
}

}  // namespace
