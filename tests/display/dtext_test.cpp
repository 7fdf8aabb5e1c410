// Fixed 8x8 debug text: the glyph table, the cell clip, both depths,
// strings and text at a 3D point.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "display/dsurf.h"
#include "display/dtext.h"
#include "display/evp.h"
#include "render/view.h"

namespace {

std::string GlyphRow(int code, int row) {
    std::string s;
    for (int c = 0; c < 8; c++) s += dtext_Glyphs[(size_t)(code - DTEXT_FIRST) * 64 + row * 8 + c] ? '#' : '.';
    return s;
}

TEST(DebugText, GlyphTableIsAPlainSevenRowSet) {
    const char* a[] = {"...##...", "..####..", ".##..##.", ".######.", ".##..##.", ".##..##.", ".##..##.", "........"};
    for (int r = 0; r < 8; r++) EXPECT_EQ(GlyphRow('A', r), a[r]);
    std::set<std::string> seen;
    for (int code = DTEXT_FIRST; code <= DTEXT_LAST; code++) {
        std::string all;
        for (int r = 0; r < 8; r++) all += GlyphRow(code, r);
        EXPECT_EQ(GlyphRow(code, 7), "........") << code;
        EXPECT_NE(all.find('#'), std::string::npos) << code;  // 127 included
        EXPECT_TRUE(seen.insert(all).second) << "glyph " << code << " repeats another";
    }
    for (uint8_t b : dtext_Glyphs) EXPECT_TRUE(b == 0 || b == 255);
}

class DebugTextView : public ::testing::Test {
protected:
    std::vector<uint8_t> pixels;
    _EVP* evp = nullptr;
    int bpp = 1;

    void Make(int width, int rows, int bytesPerPixel) {
        if (evp) evp_Free(evp);
        bpp = bytesPerPixel;
        pixels.assign((size_t)width * rows * bpp + 64, 0xEE);
        evp = evp_Create(width, rows, bpp, width * bpp);
        evp_SetBase(evp, pixels.data());
        evp_MakeCurrent(evp);
    }
    void SetUp() override { Make(64, 32, 1); }
    void TearDown() override {
        evp_Free(evp);
        evp_MakeCurrent(nullptr);
    }
    uint32_t Get(int x, int y) {
        uint32_t v = 0;
        memcpy(&v, &pixels[((size_t)y * evp->width + x) * bpp], (size_t)bpp);
        return v;
    }
    int Changed() {
        int n = 0;
        for (size_t i = 0; i < pixels.size(); i += (size_t)bpp) n += pixels[i] != 0xEE;
        return n;
    }
    // Checks the cell at (x, y) against the glyph in `ink`.
    void ExpectCell(int code, int x, int y, uint32_t ink) {
        uint32_t back = bpp == 1 ? 0xEE : 0xEEEE;
        for (int r = 0; r < 8; r++)
            for (int c = 0; c < 8; c++)
                EXPECT_EQ(Get(x + c, y + r), GlyphRow(code, r)[(size_t)c] == '#' ? ink : back) << c << "," << r;
    }
};

TEST_F(DebugTextView, CellMustLieInsideTheClipBox) {
    dtext_SetColour(9);
    // The clip box is inclusive (0..63): x + 8 must stay below x2.
    dtext_DrawChar(evp->clipX2 - 8, 0, 'A');
    dtext_DrawChar(0, evp->clipY2 - 8, 'A');
    dtext_DrawChar(-1, 0, 'A');
    EXPECT_EQ(Changed(), 0);
    dtext_DrawChar(evp->clipX2 - 9, evp->clipY2 - 9, 'A');
    ExpectCell('A', evp->clipX2 - 9, evp->clipY2 - 9, 9);

    Make(64, 32, 1);
    evp_SetClip(evp, 10, 4, 40, 20);
    evp_MakeCurrent(evp);
    dtext_DrawChar(9, 4, 'B');
    dtext_DrawChar(10, 13, 'B');  // 13 + 8 is not below 20
    EXPECT_EQ(Changed(), 0);
    dtext_DrawChar(10, 4, 'B');
    ExpectCell('B', 10, 4, 9);
}

TEST_F(DebugTextView, CodesOutsideTheSetAndMissingBasesDrawNothing) {
    dtext_DrawChar(0, 0, 32);
    dtext_DrawChar(0, 0, 128);
    dtext_DrawChar(0, 0, 0);
    EXPECT_EQ(Changed(), 0);
    dtext_DrawChar(0, 0, 127);
    EXPECT_GT(Changed(), 0);

    Make(64, 32, 1);
    evp_Current.base = nullptr;
    dtext_DrawChar(0, 0, 'A');
    EXPECT_EQ(Changed(), 0);
}

TEST_F(DebugTextView, DepthPicksTheVersion) {
    Make(64, 32, 2);
    dtext_SetColour(0xF81F);
    dtext_DrawChar8(0, 0, 'A');  // an 8-bit draw on a 16-bit viewport
    EXPECT_EQ(Changed(), 0);
    dtext_DrawChar(2, 3, 'A');
    ExpectCell('A', 2, 3, 0xF81F);

    Make(16, 16, 4);
    dtext_DrawChar(0, 0, 'A');
    dtext_DrawChar16(0, 0, 'A');
    EXPECT_EQ(Changed(), 0);
}

TEST_F(DebugTextView, StringsStepEightPixelsAndReturnOnCarriageReturn) {
    dtext_SetColour(5);
    dtext_DrawString(1, 2, "A B\rC\x01" "D");
    ExpectCell('A', 1, 2, 5);
    ExpectCell('B', 17, 2, 5);
    ExpectCell('C', 1, 10, 5);
    ExpectCell('D', 17, 10, 5);  // the code 1 moved the pen too
    int ink = 0;
    for (int code : {'A', 'B', 'C', 'D'})
        for (int r = 0; r < 8; r++)
            for (char c : GlyphRow(code, r)) ink += c == '#';
    EXPECT_EQ(Changed(), ink);

    Make(64, 32, 2);
    app_DebugTextThunk(0, 0, "Z", 0x07E0);
    EXPECT_EQ(dtext_Colour, 0x07E0u);
    ExpectCell('Z', 0, 0, 0x07E0);
    // A long string runs off the right without wrapping round.
    std::string longText(1 << 20, 'W');
    dtext_DrawString16(0, 16, longText.c_str());
    ExpectCell('W', 48, 16, 0x07E0);
}

TEST_F(DebugTextView, TextAtA3DPointIsCentredOnItsProjection) {
    static uint8_t surfacePixels[64 * 32];
    _DRAW_SURFACE d;
    draw_InitSurfaceDesc(&d, surfacePixels, 64, 32, 1);
    draw_SelectSurface(&d);  // projection centre (32, 16)
    dtext_SetColour(7);
    FixVec3 behind = {0, 0, 1};
    dtext_DrawAt3D(&behind, "AB");
    EXPECT_EQ(Changed(), 0);
    FixVec3 ahead = {0, 0, 2};
    dtext_DrawAt3D(&ahead, "AB");
    ExpectCell('A', 32 - 8, 16 - 4, 7);
    ExpectCell('B', 32, 16 - 4, 7);

    // The stored debug point, seen from a camera looking along +z.
    Make(64, 32, 1);
    view_State = ViewState{};
    view_State.position = {0x80000000u, 5000, 0x80000000u};
    fix_SinCosAngles(0, 0, 0, &view_State.viewMatrix);
    dtext_DebugPoint = {0x80000000u, 5000, 0x80000000u + 100000};
    dtext_DrawAtDebugPoint("Q");
    ExpectCell('Q', 32 - 4, 16 - 4, 7);
    view_State = ViewState{};
}

}  // namespace
