// The virtual cursor: loading its three images, tracking the mouse, image
// selection, the transparent blit and the status page.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "cockpit/vcursor.h"
#include "cockpit/vcursor_fixture.h"
#include "debug/dbgopt.h"
#include "display/dsurf.h"
#include "display/otw.h"
#include "display/pal.h"
#include "display/pcx.h"
#include "fixtures/heaps.h"
#include "fixtures/workdir.h"
#include "shell/mouse.h"

namespace {

class Vcursor : public ::testing::Test {
protected:
    TestWorkDir work;
    const _DRAW_SURFACE savedScreen = otw_State.screen;
    void SetUp() override {
        test_CursorFilesEnter(work, "krx_vcursor", 16, 12, 9, 0, 3);
        test_WriteFlatPcx("WIDE.PCX", 20, 12, 3);
        otw_State.screen.width = 320;
        otw_State.screen.height = 240;
        otw_State.screen.bytesPerPixel = 1;
        otw_MouseScaleX = otw_MouseScaleY = 1.0f;
    }
    void TearDown() override {
        vcursor_Free();
        otw_State.screen = savedScreen;
        dbg_OptionBits = 0;
        app_MouseState.x = app_MouseState.y = 0;
    }
    static int32_t Load(const char* a, const char* b, const char* c) {
        const char* names[3] = {a, b, c};
        return vcursor_Load(names);
    }
    static void Mouse(int32_t x, int32_t y) {
        app_MouseState.x = x;
        app_MouseState.y = y;
    }
};

TEST_F(Vcursor, LoadsThreeImagesOrLeavesNoCursor) {
    ASSERT_EQ(Load("A.PCX", "B.PCX", "C.PCX"), 0);
    ASSERT_NE(vcursor_Data, nullptr);
    EXPECT_EQ(vcursor_Enabled, 1);
    EXPECT_EQ(vcursor_Item, -1);
    EXPECT_EQ(vcursor_Width, 16);
    EXPECT_EQ(vcursor_Height, 12);
    EXPECT_EQ(vcursor_Bytes, 16 * 12);
    EXPECT_STREQ(vcursor_Data->names[2], "C.PCX");
    EXPECT_EQ(vcursor_Data->images[0][0], 9);
    EXPECT_EQ(vcursor_Data->images[2][191], 3);
    EXPECT_EQ(vcursor_Data->save[0], 0);
    // Every failure frees the cursor already loaded and returns -1.
    const char* bad[][3] = {{"A.PCX", "WIDE.PCX", "C.PCX"}, {"A.PCX", "B.PCX", "MISSING.PCX"},
                            {nullptr, "B.PCX", "C.PCX"}};
    for (const auto& names : bad) {
        ASSERT_EQ(Load("A.PCX", "B.PCX", "C.PCX"), 0);
        EXPECT_EQ(Load(names[0], names[1], names[2]), -1) << (names[1] ? names[1] : "null");
        if (names[0]) {
            EXPECT_EQ(vcursor_Data, nullptr);
            EXPECT_EQ(vcursor_Enabled, 0);
        }
    }
    vcursor_Free();
    EXPECT_EQ(vcursor_Data, nullptr);
    EXPECT_EQ(vcursor_Item, -1);
}

TEST_F(Vcursor, TrackingClampsToTheScreenAndCountsStillFrames) {
    ASSERT_EQ(Load("A.PCX", "B.PCX", "C.PCX"), 0);
    const struct {
        int32_t mx, my, x, y;
    } cases[] = {{0, 0, 1, 1}, {-5, 50, 1, 50}, {400, 10, 320 - 16 - 2, 10}, {303, 300, 320 - 16 - 2, 240 - 12 - 2},
                 {302, 225, 302, 225}};
    for (const auto& c : cases) {
        Mouse(c.mx, c.my);
        vcursor_Track();
        EXPECT_EQ(vcursor_X, c.x) << c.mx;
        EXPECT_EQ(vcursor_Y, c.y) << c.my;
    }
    // A move counts 2; standing still where it was drawn counts up to 150,
    // then 0 until the next move.
    Mouse(100, 100);
    EXPECT_EQ(vcursor_Track(), 2);
    EXPECT_EQ(vcursor_Moved, 1);
    vcursor_RenderedX = vcursor_RenderedY = 100;
    for (int32_t n = 3; n <= 150; n++) ASSERT_EQ(vcursor_Track(), n);
    EXPECT_EQ(vcursor_Moved, 0);
    EXPECT_EQ(vcursor_Track(), 0);
    EXPECT_EQ(vcursor_Track(), 0);
    Mouse(101, 100);
    EXPECT_EQ(vcursor_Track(), 2);
}

TEST_F(Vcursor, ImageSetClampsAndNeedsCursorData) {
    EXPECT_EQ(vcursor_ImageSet(2), 0);
    EXPECT_EQ(vcursor_Image, 0);
    ASSERT_EQ(Load("A.PCX", "B.PCX", "C.PCX"), 0);
    const int32_t cases[][2] = {{5, 2}, {-1, 0}, {1, 1}, {2, 2}};
    for (const auto& c : cases) {
        vcursor_ImageSet(c[0]);
        EXPECT_EQ(vcursor_Image, c[1]) << c[0];
    }
}

TEST_F(Vcursor, BlitSkipsColourZeroAndEightBitSurfaces) {
    otw_State.screen.bytesPerPixel = 4;
    ASSERT_EQ(Load("A.PCX", "B.PCX", "C.PCX"), 0);
    std::vector<uint32_t> pixels(64 * 64, 0x11111111u);
    _DRAW_SURFACE s{};
    draw_InitSurfaceDesc(&s, pixels.data(), 64, 64, 4);
    const uint8_t* before = draw_Context.blitSource;
    vcursor_Blit(10, 20, vcursor_Data->images[0], &s);
    EXPECT_NE(pixels[20 * 64 + 10], 0x11111111u);
    EXPECT_EQ(pixels[19 * 64 + 10], 0x11111111u);
    EXPECT_EQ(draw_Context.blitSource, before) << "the draw context is kept";
    std::fill(pixels.begin(), pixels.end(), 0x11111111u);
    vcursor_Blit(10, 20, vcursor_Data->images[1], &s);  // all colour 0
    EXPECT_EQ(pixels[20 * 64 + 10], 0x11111111u);
    std::vector<uint8_t> bytes(64 * 64, 0x22);
    draw_InitSurfaceDesc(&s, bytes.data(), 64, 64, 1);
    vcursor_Blit(10, 20, vcursor_Data->images[0], &s);
    EXPECT_EQ(bytes[20 * 64 + 10], 0x22);
}

TEST_F(Vcursor, StatusPageOnlyWithItsOptionBit) {
    ASSERT_EQ(Load("A.PCX", "B.PCX", "C.PCX"), 0);
    // A memory buffer in place of the monochrome monitor.
    std::vector<uint8_t> screen(DBG_MONO_BYTES, 0);
    dbg_MonoAttach(screen.data());
    dbg_MonoClear();
    vcursor_StatusDraw();
    EXPECT_EQ(screen[0], ' ');
    dbg_OptionBits = DBG_OPT_VCURSOR_STATUS;
    vcursor_StatusDraw();
    char row[DBG_MONO_COLUMNS + 1] = {};
    for (int32_t r : {0, 2, 14}) {
        for (int32_t i = 0; i < DBG_MONO_COLUMNS; i++) row[i] = (char)screen[(r * DBG_MONO_COLUMNS + i) * 2];
        const char* want = r == 0 ? "ENABLED : 1 " : r == 2 ? "SIZE    : 16 x 12, 192 bytes " : "COUNTER : 0 ";
        EXPECT_EQ(strncmp(row, want, strlen(want)), 0) << row;
    }
    dbg_MonoClose();
}

}  // namespace
