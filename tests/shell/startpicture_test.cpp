// The start picture: INIT.BMP shown over the whole 640 x 480 client area,
// stretched when it has another size.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "base/bmp.h"
#include "base/file.h"
#include "base/mem.h"
#include "fixtures/heaps.h"
#include "fixtures/workdir.h"
#include "platform/display.h"
#include "platform/harness.h"
#include "platform/window.h"
#include "shell/startup.h"
#include "shell/wndproc.h"

namespace {

class StartPicture : public ::testing::Test {
protected:
    TestWorkDir work;
    void SetUp() override {
        file_StateInit();
        ASSERT_EQ(test_HeapsFresh(0x400000, 0x10000, 0x40000), 0);
        ASSERT_TRUE(work.Enter("krx_startpic"));
        setenv("KRX_PLATFORM", "headless", 1);
        unsetenv("KRX_SCRIPT");
        plat_HarnessReset();
        ASSERT_EQ(plat_Init(), 0);
        app_MainHwnd = plat_WindowCreate("SKARVELCLASS", "KRX", 640, 480, plat_DefWindowProc, 1);
        ASSERT_NE(app_MainHwnd, 0u);
    }
    void TearDown() override {
        plat_Shutdown();
        app_MainHwnd = 0;
        work.Leave();
    }
};

uint8_t Channel(int32_t x, int32_t y, int32_t c) { return (uint8_t)(x * 7 + y * 13 + c * 85); }

TEST_F(StartPicture, FillsTheClientAreaWithThePictureStretched) {
    for (int32_t w : {640, 320, 700}) {
        const int32_t h = w * 3 / 4;
        SCOPED_TRACE(w);
        std::vector<uint8_t> rgb((size_t)w * h * 3);
        for (int32_t y = 0; y < h; y++)
            for (int32_t x = 0; x < w; x++)
                for (int32_t c = 0; c < 3; c++) rgb[((size_t)y * w + x) * 3 + c] = Channel(x, y, c);
        ASSERT_EQ(bmp_Write24("INIT.BMP", w, h, rgb.data()), 0);
        uint32_t before = plat_DisplayFrameCount();
        app_StartPictureShow();
        ASSERT_EQ(plat_DisplayFrameCount(), before + 1);
        int32_t fw = 0, fh = 0;
        const uint32_t* frame = plat_DisplayLastFrame(&fw, &fh);
        ASSERT_NE(frame, nullptr);
        ASSERT_EQ(fw, 640);
        ASSERT_EQ(fh, 480);
        int bad = 0;
        for (int32_t y = 0; y < 480; y++)
            for (int32_t x = 0; x < 640; x++) {
                int32_t sx = x * w / 640, sy = y * h / 480;
                uint32_t want = (uint32_t)Channel(sx, sy, 0) << 16 | (uint32_t)Channel(sx, sy, 1) << 8 | Channel(sx, sy, 2);
                bad += frame[y * 640 + x] != want;
            }
        EXPECT_EQ(bad, 0);
    }
}

TEST_F(StartPicture, AMissingPictureShowsNothing) {
    uint32_t before = plat_DisplayFrameCount();
    app_StartPictureShow();
    EXPECT_EQ(plat_DisplayFrameCount(), before);
}

}  // namespace
