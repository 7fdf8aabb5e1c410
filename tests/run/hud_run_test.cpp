// A single-player flight in the HUD view: the dumped frames show the HUD's
// boresight cross and its airspeed, altitude and heading tapes in the HUD
// colour around the middle of the screen, and nothing of it far outside.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <sys/stat.h>

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

TEST(KrxRun, HudViewShowsTapesAndBoresight) {
    std::string dir = run_FreshDataDir("hud");
    ASSERT_FALSE(dir.empty());
    std::string dump = dir + "/frames";
    ASSERT_EQ(mkdir(dump.c_str(), 0755), 0);
    {
        std::ofstream script(dir + "/keys.txt");
        script << "30 key NUMPAD8\n";
    }
    RunResult r = run_Program("krx", {}, dir,
                              {"KRX_LAUNCH=single", "KRX_SCRIPT=" + dir + "/keys.txt", "KRX_MAXTICKS=100",
                               "KRX_FRAMEDUMP=" + dump, "KRX_FRAMEDUMP_EVERY=20"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    _EIMAGE2* img = img_LoadBmp((dump + "/frame00080.bmp").c_str());
    ASSERT_NE(img, nullptr) << r.err;
    ASSERT_EQ(img->width, 640);
    ASSERT_EQ(img->height, 480);
    // In the 3D cockpit the HUD's cross and tapes stand over the console,
    // around the panel's projection.
    EXPECT_GT(InkIn(img, 200, 330, 450, 480), 150);
    EXPECT_EQ(InkIn(img, 0, 0, 150, 480), 0);        // nothing far from the HUD
    EXPECT_EQ(InkIn(img, 500, 0, 640, 200), 0);
    img_Free(img);
}

}  // namespace
