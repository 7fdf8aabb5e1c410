// A single-player flight in the HUD view: the dumped frames show the HUD's
// boresight cross and its airspeed, altitude and heading tapes in the HUD
// colour around the middle of the screen, and nothing of it far outside;
// during the take-off the pitch ladder moves with the pitch.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/bmp.h"
#include "run_util.h"

namespace {

bool HudInk(const _EIMAGE2* img, int32_t x, int32_t y) {
    const uint8_t* p = img->rows[y] + x * 3;  // blue, green, red
    return p[1] >= 200 && p[0] < 120 && p[2] < 120;
}

int32_t InkIn(const _EIMAGE2* img, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    int32_t n = 0;
    for (int32_t y = y1; y < y2; y++)
        for (int32_t x = x1; x < x2; x++) n += HudInk(img, x, y);
    return n;
}

// A single-player flight run with the script, its frames dumped every
// `every` frames into the returned folder ("" when the run failed).
std::string HudRun(const std::string& name, const std::string& keys, int32_t ticks, int32_t every, int bits = 16) {
    return run_DumpedFlight(name, keys, ticks, every, bits == 16 ? 0 : bits);
}

class KrxHudRun : public ::testing::TestWithParam<int> {};

TEST_P(KrxHudRun, HudViewShowsTapesAndBoresight) {
    const int bits = GetParam();
    const std::string dump = HudRun("hud" + std::to_string(bits), "30 key NUMPAD8\n", 100, 20, bits);
    ASSERT_FALSE(dump.empty());
    _EIMAGE2* img = run_LoadFrame(dump, 80);
    ASSERT_NE(img, nullptr);
    ASSERT_EQ(img->width, 640);
    ASSERT_EQ(img->height, 480);
    // In the 3D cockpit the HUD's cross and tapes stand over the view ahead,
    // above the console, around the panel's projection.
    EXPECT_GT(InkIn(img, 200, 220, 450, 345), 150);
    EXPECT_EQ(InkIn(img, 0, 0, 150, 480), 0);        // nothing far from the HUD
    EXPECT_EQ(InkIn(img, 500, 0, 640, 200), 0);
    img_Free(img);
}

INSTANTIATE_TEST_SUITE_P(Depths, KrxHudRun, ::testing::Values(8, 16));

// The rows of the HUD's long horizontal strokes (at least `least` pixels)
// over the HUD panel's middle, top down: the pitch ladder's rungs.
std::vector<std::pair<int32_t, int32_t>> LadderRows(const _EIMAGE2* img, int32_t least) {
    std::vector<std::pair<int32_t, int32_t>> rows;
    for (int32_t y = 200; y < 345; y++) {
        int32_t run = 0, longest = 0;
        for (int32_t x = 250; x < 390; x++) {
            run = HudInk(img, x, y) ? run + 1 : 0;
            if (run > longest) longest = run;
        }
        if (longest >= least) rows.push_back({y, longest});
    }
    return rows;
}

// The horizon rung: the longest stroke of the ladder.
int32_t HorizonRow(const _EIMAGE2* img) {
    int32_t row = -1, longest = 0;
    for (const auto& r : LadderRows(img, 8))
        if (r.second > longest) row = r.first, longest = r.second;
    return longest >= 40 ? row : -1;
}

TEST(KrxRun, HudLadderMovesWithThePitchDuringTakeOff) {
    // The HUD view, full power, and the stick back once the speed is up.
    const std::string dump =
        HudRun("hudladder", "30 key NUMPAD8\n100 key BACK\n560 keydown DOWN\n600 keyup DOWN\n", 1010, 100);
    ASSERT_FALSE(dump.empty());
    _EIMAGE2* parked = run_LoadFrame(dump, 200);
    _EIMAGE2* climbing = run_LoadFrame(dump, 1000);
    ASSERT_NE(parked, nullptr);
    ASSERT_NE(climbing, nullptr);
    const int32_t before = HorizonRow(parked), after = HorizonRow(climbing);
    ASSERT_GT(before, 0);
    ASSERT_GT(after, 0);
    // Nose up and off the ground, the horizon rung has dropped well below
    // where it stood while parked.
    EXPECT_GT(after - before, 20) << before << " " << after;
    // The 10-degree rung (solid half-rungs) stands one ladder step above it.
    for (const _EIMAGE2* img : {parked, climbing}) {
        const int32_t horizon = HorizonRow(img);
        bool rungAbove = false;
        for (const auto& row : LadderRows(img, 20))
            if (row.first < horizon - 30 && row.first > horizon - 60 && row.second < 40) rungAbove = true;
        EXPECT_TRUE(rungAbove) << horizon;
    }
    img_Free(parked);
    img_Free(climbing);
}

}  // namespace
