// The dedicated server's status page in a whole-program run: every 32nd
// frame the whole surface is cleared and the page drawn, with the caption
// of the receive-load graph.
#include <gtest/gtest.h>

#include <string>

#include "base/bmp.h"
#include "run_util.h"

namespace {

bool Lit(const _EIMAGE2* img, int32_t x, int32_t y) {
    const uint8_t* p = img->rows[y] + x * 3;
    return p[0] || p[1] || p[2];
}

TEST(KrxRun, DedicatedStatusPageClearsTheWholeSurface) {
    std::string dump;
    std::string dir = run_FreshDataDir("status", &dump);
    ASSERT_FALSE(dir.empty());
    std::string log;
    RunResult r = run_Krx(dir, "70 key ESCAPE\n", 90, &log, {"KRX_LAUNCH=dedicated", "KRX_FRAMEDUMP=" + dump});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // Frame 0 is the loading picture; the server's pages follow.
    for (const char* name : {"/frame00001.bmp", "/frame00002.bmp"}) {
        _EIMAGE2* img = img_LoadBmp((dump + name).c_str());
        ASSERT_NE(img, nullptr) << name << r.err;
        ASSERT_EQ(img->bitsPerPixel, 24);
        // The loading picture before it covered every pixel: what is left lit
        // is the page's text and graph, a small part of the surface.
        int32_t caption = 0, lit = 0;
        for (int32_t y = 0; y < img->height; y++)
            for (int32_t x = 0; x < img->width; x++) {
                if (!Lit(img, x, y)) continue;
                lit++;
                if (x >= 202 && x < 400 && y >= 45 && y < 60) caption++;
            }
        EXPECT_GT(caption, 0) << name;
        EXPECT_LT(lit, img->width * img->height / 5) << name;
        img_Free(img);
    }
}

}  // namespace
