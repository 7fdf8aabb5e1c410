// Fills, panels and blits: clipping against the surface's clip rectangle and
// the buffers' sizes, depth conversion, the stepped blit, shade-mapped blits,
// bevelled panels, grey conversion and the tint ramp.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "display/draw_fill.h"
#include "display/draw_line.h"
#include "display/dsurf.h"
#include "display/pal.h"
#include "display/pal_hicolor.h"
#include "display/vid.h"
#include "draw_canvas.h"

namespace {

class DrawFill : public ::testing::Test {
protected:
    std::vector<uint8_t> src8;  // 16 x 8, pixel (x, y) = 1 + x + 16 y
    std::vector<uint8_t> levels8;

    void SetUp() override {
        draw_Init();
        draw_Context.lineShade = 0;
        draw_Context.shadeTable = nullptr;
        draw_SetBlitShadeMap(nullptr, 0);
        src8.resize(16 * 8);
        for (int i = 0; i < 16 * 8; i++) src8[(size_t)i] = (uint8_t)(1 + i);
        Source(src8.data(), 16, 8, 8);
    }
    static void Source(const void* pixels, int rowWidth, int rows, int depth) {
        draw_SetBlitSource((void*)pixels, rowWidth);
        draw_SetBlitSourceRows(rows);
        draw_Context.sourceDepth = depth;
    }
    static void Dest(Canvas& cv) { draw_SetBlitDest(cv.base(), cv.rowBytes / cv.bpp); }
    static void Set565() {
        vid_State.bitsPerPixel = 16;
        vid_State.redMask = 0xF800;
        vid_State.greenMask = 0x07E0;
        vid_State.blueMask = 0x001F;
        pal_BuildHighColourTables();
    }
    // An 8-bit shade table whose entry (level, p) is level + p.
    static std::vector<uint8_t> AddingTable() {
        std::vector<uint8_t> t(8192);
        for (int i = 0; i < 8192; i++) t[(size_t)i] = (uint8_t)((i >> 8) + (i & 255));
        return t;
    }
};

// ---------------------------------------------------------------------------
// Rectangle blits.

TEST_F(DrawFill, BlitClipsAtEachEdge) {
    Canvas cv(64, 48, 1);
    cv.Clip(10, 6, 50, 40);
    Dest(cv);
    draw_BlitRect(5, 10, 16, 8, 0, 0, 8, 0);  // five columns left of the clip
    EXPECT_EQ(cv.Get(10, 10), 6u);            // the source's sixth column at the edge
    EXPECT_FALSE(cv.Changed(9, 10));
    EXPECT_EQ(cv.Get(20, 17), 1u + 15 + 7 * 16);
    draw_BlitRect(40, 20, 16, 8, 0, 0, 8, 0);  // past the right edge
    EXPECT_EQ(cv.Get(49, 20), 10u);
    EXPECT_FALSE(cv.Changed(50, 20));
    draw_BlitRect(20, 2, 16, 8, 0, 0, 8, 0);  // above: source rows from 4 on
    EXPECT_EQ(cv.Get(20, 6), 1u + 4 * 16);
    draw_BlitRect(20, 36, 16, 8, 0, 0, 8, 0);  // below
    EXPECT_EQ(cv.Get(20, 39), 1u + 3 * 16);
    EXPECT_EQ(draw_Context.sourceDepth, 8);
    EXPECT_TRUE(cv.OutsideUntouched());

    cv.Clear();
    draw_BlitRect(20, 20, 0, 8, 0, 0, 8, 0);
    draw_BlitRect(20, 20, 8, 0, 0, 0, 8, 0);
    draw_BlitRect(20, 20, -4, 8, 0, 0, 8, 0);
    draw_BlitRect(100, 20, 8, 8, 0, 0, 8, 0);
    EXPECT_EQ(cv.Count(), 0);
}

TEST_F(DrawFill, TransparentSkipsZero) {
    Canvas cv(16, 8, 1);
    Dest(cv);
    src8[1] = 0;
    draw_BlitTransparent(0, 0, 4, 1, 0, 0);
    EXPECT_EQ(cv.Get(0, 0), 1u);
    EXPECT_EQ(cv.Get(1, 0), kCanvasFill);
    draw_BlitRect(0, 1, 4, 1, 0, 0, 8, 0);  // opaque
    EXPECT_EQ(cv.Get(1, 1), 0u);
    draw_BlitRect(0, 2, 4, 1, 0, 0, 8, 1);
    EXPECT_EQ(cv.Get(1, 2), kCanvasFill);
}

TEST_F(DrawFill, SourceIsCutToItsBuffer) {
    Canvas cv(64, 48, 1);
    Dest(cv);
    // Rows past the source's 8 are not read.
    draw_BlitRect(0, 0, 16, 20, 0, 4, 8, 0);
    EXPECT_EQ(cv.Count(), 16 * 4);
    cv.Clear();
    // Columns past its row width neither.
    draw_BlitRect(0, 0, 16, 2, 10, 0, 8, 0);
    EXPECT_EQ(cv.Count(), 6 * 2);
    EXPECT_EQ(cv.Get(5, 0), 16u);
    cv.Clear();
    // A source start left of the image moves the destination with it.
    draw_BlitRect(10, 10, 8, 1, -3, 0, 8, 0);
    EXPECT_FALSE(cv.Changed(12, 10));
    EXPECT_EQ(cv.Get(13, 10), 1u);
    EXPECT_EQ(cv.Count(), 5);

    // A size belongs to the buffer it was given with: a new source is not
    // cut by the old one's rows.
    std::vector<uint8_t> tall(16 * 20, 7);
    draw_SetBlitSource(tall.data(), 16);
    cv.Clear();
    draw_BlitRect(0, 0, 16, 20, 0, 0, 8, 0);
    EXPECT_EQ(cv.Count(), 16 * 20);
}

TEST_F(DrawFill, FifteenToSixteenBitAndDeepCopies) {
    Set565();
    Canvas cv(16, 8, 2);
    Dest(cv);
    const uint16_t in[4] = {0x7C00, 0x03E0, 0x001F, 0x7FFF};
    Source(in, 4, 1, 15);
    draw_BlitRect(0, 0, 4, 1, 0, 0, 15, 0);
    EXPECT_EQ(cv.Get(0, 0), 0xF800u);
    EXPECT_EQ(cv.Get(1, 0), 0x07C0u);
    EXPECT_EQ(cv.Get(2, 0), 0x001Fu);
    EXPECT_EQ(cv.Get(3, 0), 0xFFDFu);
    draw_BlitRect(0, 1, 4, 1, 0, 0, 16, 0);  // 16-bit: unchanged
    EXPECT_EQ(cv.Get(0, 1), 0x7C00u);
    EXPECT_EQ(cv.Get(3, 1), 0x7FFFu);

    Canvas c32(16, 8, 4);
    Dest(c32);
    const uint32_t in32[3] = {0x00123456, 0, 0x00FEDCBA};
    Source(in32, 3, 1, 32);
    draw_BlitTransparent(2, 2, 3, 1, 0, 0);
    EXPECT_EQ(c32.Get(2, 2), 0x00123456u);
    EXPECT_EQ(c32.Get(3, 2), c32.Background());
    EXPECT_EQ(c32.Get(4, 2), 0x00FEDCBAu);
}

TEST_F(DrawFill, SourcesDeeperThanTheSurfaceStayInsideTheClip) {
    std::vector<uint16_t> in16(8 * 4, 0x4142);
    std::vector<uint32_t> in32(8 * 4, 0x41424344);
    for (int bpp : {1, 2, 4}) {
        for (int depth : {15, 16, 32}) {
            SCOPED_TRACE(::testing::Message() << bpp << " " << depth);
            Canvas cv(32, 8, bpp);
            cv.Clip(0, 0, 20, 8);
            Dest(cv);
            if (depth == 32) Source(in32.data(), 8, 4, 32);
            else Source(in16.data(), 8, 4, depth);
            draw_BlitRect(15, 2, 8, 4, 0, 0, depth, 0);
            EXPECT_TRUE(cv.OutsideUntouched());
            EXPECT_TRUE(cv.Changed(15, 2));
        }
    }
    // On an 8-bit surface a 16-bit source lays its words side by side.
    Canvas cv(32, 8, 1);
    Dest(cv);
    Source(in16.data(), 8, 4, 16);
    draw_BlitRect(0, 0, 3, 1, 0, 0, 16, 0);
    EXPECT_EQ(cv.Get(0, 0), 0x42u);
    EXPECT_EQ(cv.Get(1, 0), 0x41u);
    EXPECT_EQ(cv.Get(5, 0), 0x41u);
    EXPECT_FALSE(cv.Changed(6, 0));
}

TEST_F(DrawFill, DestinationRowsWiderThanTheSurfaceAreRefused) {
    Canvas cv(16, 8, 1);
    // Rows of 32 pixels would put row 7 past the end of the surface.
    draw_SetBlitDest(cv.base(), 32);
    draw_BlitRect(0, 0, 16, 8, 0, 0, 8, 0);
    draw_FillRectC(0, 0, 16, 8, 9);
    EXPECT_TRUE(cv.OutsideUntouched());
    // Rows that stay inside are drawn.
    draw_BlitRect(0, 0, 16, 3, 0, 0, 8, 0);
    EXPECT_EQ(cv.Get(0, 2), 17u);  // row 1 of the 32-wide layout lands on surface row 2
}

TEST_F(DrawFill, NullDestinationOrSourceDrawsNothing) {
    Canvas cv(16, 8, 1);
    draw_SetBlitDest(nullptr, 16);
    draw_BlitRect(0, 0, 4, 4, 0, 0, 8, 0);
    draw_FillRectC(0, 0, 4, 4, 1);
    draw_FillRectSlot(15);
    draw_ShadeRect(3);
    Dest(cv);
    draw_SetBlitSource(nullptr, 16);
    draw_BlitRect(0, 0, 4, 4, 0, 0, 8, 0);
    draw_BlitStepped(0, 0, 4, 4, 0, 0, 65536, 0);
    draw_BlitShaded(0, 0, 4, 4, 0, 0);
    EXPECT_EQ(cv.Count(), 0);
}

// ---------------------------------------------------------------------------
// Stepped blit.

TEST_F(DrawFill, SteppedCopyAndQuarterTurn) {
    std::vector<uint8_t> sq(8 * 8);
    for (int i = 0; i < 64; i++) sq[(size_t)i] = (uint8_t)(1 + i);
    Source(sq.data(), 8, 8, 8);
    Canvas cv(32, 32, 1);
    Dest(cv);
    draw_BlitStepped(0, 0, 8, 8, 0, 0, 65536, 0);
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++) ASSERT_EQ(cv.Get(x, y), sq[(size_t)(y * 8 + x)]);
    // Steps (0, 65536): along a row the source runs down a column; each row
    // starts one column further left.
    draw_BlitStepped(10, 10, 8, 8, 7, 0, 0, 65536);
    for (int j = 0; j < 8; j++)
        for (int i = 0; i < 8; i++) ASSERT_EQ(cv.Get(10 + i, 10 + j), sq[(size_t)(i * 8 + 7 - j)]) << i << "," << j;
    EXPECT_EQ(draw_Context.xStep, 0);
    EXPECT_EQ(draw_Context.yStep, 65536);
    // Clipped on the left, the visible part samples what it would have.
    cv.Clear();
    cv.Clip(4, 0, 32, 32);
    draw_BlitStepped(1, 20, 8, 8, 7, 0, 0, 65536);
    EXPECT_EQ(cv.Get(4, 20), sq[3 * 8 + 7]);
    EXPECT_FALSE(cv.Changed(3, 20));
}

TEST_F(DrawFill, SteppedSamplesStayInTheSource) {
    std::vector<uint8_t> sq(8 * 8, 9);
    Canvas cv(32, 32, 1);
    Dest(cv);
    // Without a known size nothing is sampled at all.
    draw_SetBlitSource(sq.data(), 8);
    draw_Context.sourceDepth = 8;
    draw_BlitStepped(0, 0, 32, 32, 0, 0, 65536, 0);
    EXPECT_EQ(cv.Count(), 0);
    draw_SetBlitSourceRows(8);
    // Turned and magnified far beyond the image: only the image is drawn.
    draw_BlitStepped(-40, -40, 200, 200, -3, -3, 20000, 30000);
    draw_BlitStepped(0, 0, 32, 32, 2, 2, -65536, 65536);
    EXPECT_TRUE(cv.OutsideUntouched());
    EXPECT_GT(cv.Count(), 0);
    cv.Clear();
    draw_BlitStepped(0, 0, 32, 32, 0, 0, 65536, 0);
    EXPECT_EQ(cv.Count(), 64);  // zero pixels skipped: only the 8 x 8 image
}

TEST_F(DrawFill, SteppedSixteenBitForm) {
    Canvas cv(16, 16, 2);
    Dest(cv);
    uint32_t keep = pal_Hc.palette16[5];
    pal_Hc.palette16[5] = 0xBEEF;
    std::vector<uint8_t> s8(4 * 4, 5);
    Source(s8.data(), 4, 4, 8);
    draw_BlitStepped(0, 0, 4, 4, 0, 0, 65536, 0);
    EXPECT_EQ(cv.Get(3, 3), 0xBEEFu);
    pal_Hc.palette16[5] = keep;
    std::vector<uint16_t> s16(4 * 4, 0x1357);
    Source(s16.data(), 4, 4, 16);
    draw_BlitStepped(8, 8, 4, 4, 0, 0, 65536, 0);
    EXPECT_EQ(cv.Get(11, 11), 0x1357u);
    Source(s16.data(), 4, 4, 32);  // not a source this form reads
    cv.Clear();
    draw_BlitStepped(0, 0, 4, 4, 0, 0, 65536, 0);
    EXPECT_EQ(cv.Count(), 0);
}

// ---------------------------------------------------------------------------
// Shade-mapped blits.

TEST_F(DrawFill, ShadeMappedBlits) {
    auto table = AddingTable();
    draw_Context.shadeTable = table.data();
    const uint8_t src[8] = {0, 5, 6, 7, 8, 0, 9, 10};
    const uint8_t map[8] = {3, 0, 2, 1, 4, 4, 0, 31};
    Source(src, 4, 2, 8);
    draw_SetBlitShadeMap(map, 4);
    draw_SetBlitShadeMapRows(2);
    Canvas cv(16, 8, 1);
    Dest(cv);
    draw_BlitShaded(0, 0, 4, 2, 0, 0);
    EXPECT_EQ(cv.Get(0, 0), kCanvasFill);  // source 0 skipped
    EXPECT_EQ(cv.Get(1, 0), 5u);           // level 0 kept in the plain form
    EXPECT_EQ(cv.Get(2, 0), 8u);
    EXPECT_EQ(cv.Get(3, 1), 41u);
    draw_BlitShadedMasked(8, 0, 4, 2, 0, 0);
    EXPECT_EQ(cv.Get(9, 0), kCanvasFill);  // level 0 skipped
    EXPECT_EQ(cv.Get(10, 0), 8u);
    EXPECT_EQ(cv.Get(10, 1), kCanvasFill);
    // The shade map is cut to its own size.
    draw_SetBlitShadeMapRows(1);
    cv.Clear();
    draw_BlitShaded(0, 0, 4, 2, 0, 0);
    EXPECT_EQ(cv.Count(), 3);

    // 16-bit: the light table handed over with the palette, entry (level, s).
    std::vector<uint16_t> light(8192);
    for (int i = 0; i < 8192; i++) light[(size_t)i] = (uint16_t)i;
    PalDrawTables keep = pal_DrawTables;
    pal_DrawTables.shade16 = light.data();
    draw_SetBlitShadeMapRows(2);
    Canvas c16(16, 8, 2);
    Dest(c16);
    draw_BlitShaded(0, 0, 4, 2, 0, 0);
    EXPECT_EQ(c16.Get(2, 0), 2u * 256 + 6);
    EXPECT_EQ(c16.Get(3, 1), 31u * 256 + 10);
    pal_DrawTables = keep;
    // Deeper sources and 32-bit surfaces draw nothing.
    Canvas c32(16, 8, 4);
    Dest(c32);
    draw_BlitShaded(0, 0, 4, 2, 0, 0);
    EXPECT_EQ(c32.Count(), 0);
    Dest(cv);
    cv.Clear();
    draw_Context.sourceDepth = 16;
    draw_BlitShaded(0, 0, 4, 2, 0, 0);
    EXPECT_EQ(cv.Count(), 0);
}

// ---------------------------------------------------------------------------
// Fills.

TEST_F(DrawFill, FillsAtEachDepth) {
    const uint32_t values[3] = {0x12, 0x1234, 0x00ABCDEF};
    int i = 0;
    for (int bpp : {1, 2, 4}) {
        Canvas cv(32, 16, bpp, 2 * bpp);
        cv.Clip(2, 3, 30, 12);
        Dest(cv);
        draw_FillRectC(-5, 0, 10, 5, (int32_t)values[i]);
        EXPECT_EQ(cv.Count(), 3 * 2);
        EXPECT_EQ(cv.Get(4, 4), values[i]);
        EXPECT_EQ(draw_Context.value, (int32_t)values[i]);
        SetSlot(6, 0x21, 0x4321, 0x00102030);
        draw_Context.destX = 20, draw_Context.destY = 8, draw_Context.width = 100, draw_Context.height = 100;
        draw_FillRectSlot(6);
        EXPECT_EQ(cv.Get(29, 11), bpp == 1 ? 0x21u : bpp == 2 ? 0x4321u : 0x00102030u);
        EXPECT_EQ(cv.Count(), 6 + 10 * 4);
        EXPECT_TRUE(cv.OutsideUntouched());
        i++;
    }
}

TEST_F(DrawFill, ShadeRectAtEachDepth) {
    auto table = AddingTable();
    draw_Context.shadeTable = table.data();
    Canvas c8(8, 8, 1);
    Dest(c8);
    draw_Context.destX = 1, draw_Context.destY = 1, draw_Context.width = 2, draw_Context.height = 2;
    draw_ShadeRect(35);  // level 35 & 31 = 3
    EXPECT_EQ(c8.Get(2, 2), kCanvasFill + 3u);
    EXPECT_EQ(c8.Count(), 4);

    auto saved = std::vector<uint16_t>(&pal_Hc.shade[4][0][0], &pal_Hc.shade[4][0][0] + 512);
    for (int b = 0; b < 256; b++) {
        pal_Hc.shade[4][b][0] = (uint16_t)(b ^ 1);
        pal_Hc.shade[4][b][1] = (uint16_t)((b ^ 2) << 8);
    }
    Canvas c16(8, 8, 2);
    Dest(c16);
    draw_ShadeRect(4);
    EXPECT_EQ(c16.Get(1, 1), 0xA7A4u);
    memcpy(&pal_Hc.shade[4][0][0], saved.data(), saved.size() * 2);

    Canvas c32(8, 8, 4);
    Dest(c32);
    draw_ShadeRect(8);  // channels x 128 / 256
    EXPECT_EQ(c32.Get(1, 1), 0xA5525252u);
    draw_Context.destY = 4;
    draw_ShadeRect(20);  // at most 255 / 256
    EXPECT_EQ(c32.Get(1, 4), 0xA5A4A4A4u);
}

TEST_F(DrawFill, BevelPanel) {
    // Every entry of level L is L, so each pixel shows its level.
    std::vector<uint8_t> table(8192);
    for (int i = 0; i < 8192; i++) table[(size_t)i] = (uint8_t)(i >> 8);
    draw_Context.shadeTable = table.data();
    draw_Context.colourSlot = 9;
    Canvas cv(48, 32, 1);
    Dest(cv);
    draw_BevelPanelAt(10, 10, 20, 10, 5);
    // Light top and left edges, two pixels wide.
    EXPECT_EQ(cv.Get(15, 10), 10u);
    EXPECT_EQ(cv.Get(15, 9), 10u);
    EXPECT_EQ(cv.Get(10, 15), 10u);
    EXPECT_EQ(cv.Get(9, 15), 10u);
    // Dark right and bottom edges, drawn after: they win the corners.
    EXPECT_EQ(cv.Get(30, 15), 2u);
    EXPECT_EQ(cv.Get(31, 15), 2u);
    EXPECT_EQ(cv.Get(15, 20), 2u);
    EXPECT_EQ(cv.Get(15, 21), 2u);
    EXPECT_EQ(cv.Get(30, 10), 2u);
    EXPECT_EQ(cv.Get(10, 20), 2u);
    // The inside at the style's level; nothing beyond the outer edges.
    EXPECT_EQ(cv.Get(11, 11), 5u);
    EXPECT_EQ(cv.Get(29, 19), 5u);
    EXPECT_EQ(cv.Count(), 23 * 13);
    EXPECT_EQ(draw_Context.destX, 11);
    EXPECT_EQ(draw_Context.destY, 11);
    EXPECT_EQ(draw_Context.width, 19);
    EXPECT_EQ(draw_Context.height, 9);
    EXPECT_EQ(draw_Context.value, 5);
    EXPECT_EQ(draw_Context.colourSlot, 9);
    EXPECT_EQ(draw_Context.lineShade, 0);

    // Against the clip: nothing outside it.
    cv.Clear();
    cv.Clip(12, 12, 40, 30);
    draw_BevelPanelAt(10, 10, 35, 25, 5);
    EXPECT_TRUE(cv.OutsideUntouched());
}

// ---------------------------------------------------------------------------
// Grey conversion and tint ramp.

TEST_F(DrawFill, GreyRemap) {
    uint8_t palette[768] = {};
    const uint8_t entries[4][3] = {{0, 0, 0}, {255, 255, 255}, {0, 255, 0}, {128, 128, 128}};
    memcpy(palette, entries, sizeof entries);
    const uint8_t* lin = pal_ToLinearTable();
    uint8_t buf[6] = {0, 1, 2, 3, 0, 1};
    pal_GreyRemap(buf, palette, 5);
    EXPECT_EQ(buf[0], 0);
    EXPECT_EQ(buf[1], 255);
    EXPECT_EQ(buf[2], 159);  // 5 x 255 / 8
    EXPECT_EQ(buf[3], lin[128]);
    EXPECT_EQ(buf[4], 0);
    EXPECT_EQ(buf[5], 1);  // past the count
    pal_GreyRemap(buf, nullptr, 5);
    pal_GreyRemap(nullptr, palette, 5);
}

TEST_F(DrawFill, TintRamp) {
    const uint8_t* fromLin = pal_FromLinearTable();
    Canvas c32(4, 4, 4);
    draw_SetTintRamp(255, 255, 255, 0, 0, 0);
    EXPECT_EQ(draw_TintRamp[0], 0u);
    EXPECT_EQ(draw_TintRamp[128], fromLin[127] * 0x010101u);
    EXPECT_EQ(draw_TintRamp[255], fromLin[254] * 0x010101u);
    // A falling channel rounds down.
    draw_SetTintRamp(0, 0, 0, 255, 0, 0);
    EXPECT_EQ(draw_TintRamp[0], 0x00FF0000u);
    EXPECT_EQ(draw_TintRamp[1], (uint32_t)fromLin[254] << 16);
    Set565();
    Canvas c16(4, 4, 2);
    draw_SetTintRamp(255, 255, 255, 0, 0, 0);
    EXPECT_EQ(draw_TintRamp[255], pal_RgbTo16(fromLin[254], fromLin[254], fromLin[254]));
    EXPECT_EQ(draw_TintRamp[0], 0u);
}

}  // namespace
