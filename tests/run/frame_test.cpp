// A whole-program run shows frames: the main screen locks, draws, unlocks
// and presents, and the headless display writes what it was given.
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

#include "base/bmp.h"
#include "run_util.h"

namespace {

// 0x00RRGGBB of a pixel of a 24-bit image read back (kept as stored: blue,
// green, red).
uint32_t PixelAt(const _EIMAGE2* img, int32_t x, int32_t y) {
    const uint8_t* p = img->rows[y] + x * 3;
    return (uint32_t)p[2] << 16 | (uint32_t)p[1] << 8 | p[0];
}

TEST(KrxRun, MainScreenFramesReachTheDisplay) {
    std::string dir = run_FreshDataDir("frames");
    ASSERT_FALSE(dir.empty());
    std::string dump = dir + "/frames";
    ASSERT_EQ(mkdir(dump.c_str(), 0755), 0);
    RunResult r = run_Program("krx", {}, dir, {"KRX_MAXTICKS=40", "KRX_FRAMEDUMP=" + dump});
    ASSERT_EQ(r.exitCode, 0) << r.err;

    // Frame 0 is the loading picture; the main screen's frames follow.
    _EIMAGE2* img = img_LoadBmp((dump + "/frame00001.bmp").c_str());
    ASSERT_NE(img, nullptr) << r.err;
    EXPECT_EQ(img->width, 640);
    EXPECT_EQ(img->height, 480);
    ASSERT_EQ(img->bitsPerPixel, 24);
    // Backdrop, panel edge and panel inside are drawn in their own colours;
    // the two rows above the view window stay as cleared.
    uint32_t backdrop = PixelAt(img, 10, 100), edge = PixelAt(img, 82, 240), inside = PixelAt(img, 320, 240);
    EXPECT_NE(backdrop, 0u);
    EXPECT_GT(backdrop & 0xFF, backdrop >> 16);  // bluish
    EXPECT_NE(edge, backdrop);
    EXPECT_NE(inside, edge);
    EXPECT_EQ(PixelAt(img, 10, 0), 0u);
    img_Free(img);
    struct stat st{};
    EXPECT_EQ(stat((dump + "/frame00040.bmp").c_str(), &st), 0) << "a frame each tick";
}

}  // namespace
