// Stroke font: the dash for codes without a glyph, colour codes, layout
// flags, rotation and the mapped-space line path.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "display/draw_canvas.h"
#include "display/draw_line.h"
#include "display/stroke.h"

namespace {

using Pixels = std::set<std::pair<int, int>>;

class StrokeTest : public ::testing::Test {
protected:
    Canvas c{80, 48, 1};
    void SetUp() override {
        SetSlot(3, 9, 0x1111, 0x111111);
        draw_Context.lineShade = 0;
        // One grid step is 255/256 pixel.
        font_SetStrokeRotation(0, 1024, 1024, 0);
    }
    void TearDown() override { font_SetStrokeRotation(0, 128, 128, 0); }
    // Pixel of grid point (row, col) for a glyph centred on (x, y) pixels
    // (origin in 1/256 pixel, rounded down).
    static std::pair<int, int> Point(int64_t ox, int64_t oy, int row, int col) {
        int n = (row - 1) * FONT_STROKE_GRID + col;
        return {(int)((ox + font_StrokeState.gridX[n]) >> 8), (int)((oy + font_StrokeState.gridY[n]) >> 8)};
    }
    static Pixels Row(int x1, int x2, int y) {
        Pixels p;
        for (int x = x1; x <= x2; x++) p.insert({x, y});
        return p;
    }
};

TEST_F(StrokeTest, DashIsAHorizontalStrokeThroughTheCentreRow) {
    // Half a pixel in: the dash's ends round the same way.
    const int x = 40 * 128 + 64, y = 20 * 128 + 64;
    font_DrawStrokeText("-", x, y, 3, 0);
    EXPECT_EQ(c.ChangedPixels(), Row(38, 42, 20));
    EXPECT_EQ(c.Get(40, 20), 9u);
    // Codes without a glyph of their own draw the same dash.
    for (const char* text : {"#", "\x05", "\xFF", "@"}) {
        c.Clear();
        font_DrawStrokeText(text, x, y, 3, 0);
        EXPECT_EQ(c.ChangedPixels(), Row(38, 42, 20)) << (int)(uint8_t)text[0];
    }
    // Codes 1 to 4 are the store symbols, not the dash.
    for (const char* text : {"\x01", "\x02", "\x03", "\x04"}) {
        c.Clear();
        font_DrawStrokeText(text, x, y, 3, 0);
        EXPECT_GT(c.Count(), 0) << (int)text[0];
        EXPECT_NE(c.ChangedPixels(), Row(38, 42, 20)) << (int)text[0];
    }
    // The grid: columns 6 and 10 of the centre row, two steps either side.
    int left = 8 * FONT_STROKE_GRID - 15 + 6, right = left + 4;
    EXPECT_EQ(font_StrokeState.gridX[left], -2 * 255);
    EXPECT_EQ(font_StrokeState.gridX[right], 2 * 255);
    EXPECT_EQ(font_StrokeState.gridY[left], 0);
    EXPECT_EQ(font_StrokeState.gridY[right], 0);
}

TEST_F(StrokeTest, ColourCodesAndTheCharacterAfterThemAreSkipped) {
    font_DrawStrokeText("~A", 40 * 128, 20 * 128, 3, 0);
    font_DrawStrokeText("~", 40 * 128, 20 * 128, 3, 0);
    font_DrawStrokeText("", 40 * 128, 20 * 128, 3, 0);
    EXPECT_EQ(c.Count(), 0);
    // "~3-" lays out as the single dash, centred.
    font_DrawStrokeText("~3-", 40 * 128 + 64, 20 * 128 + 64, 3, 0);
    EXPECT_EQ(c.ChangedPixels(), Row(38, 42, 20));
}

TEST_F(StrokeTest, OneCentredCharacterIsCentredOnTheOrigin) {
    const int64_t ox = 2 * (40 * 128), oy = 2 * (20 * 128);
    font_DrawStrokeText("A", 40 * 128, 20 * 128, 3, 0);
    // A's apex and feet (rows 5 and 11, columns 6, 8 and 10).
    auto apex = Point(ox, oy, 5, 8), leftFoot = Point(ox, oy, 11, 6), rightFoot = Point(ox, oy, 11, 10);
    EXPECT_EQ(apex, std::make_pair(40, 17));
    EXPECT_TRUE(c.Changed(apex.first, apex.second));
    EXPECT_TRUE(c.Changed(leftFoot.first, leftFoot.second));
    EXPECT_TRUE(c.Changed(rightFoot.first, rightFoot.second));
    EXPECT_TRUE(c.OutsideUntouched());
}

TEST_F(StrokeTest, LayoutFlagsMoveTheText) {
    const int x = 40 * 128 + 64, y = 20 * 128 + 64;
    const int64_t adv = font_StrokeState.advanceX;  // 6 steps
    const int64_t line = font_StrokeState.lineY;    // 15 steps
    EXPECT_EQ(adv, 6 * 255);
    EXPECT_EQ(line, (15 * 255) >> 1);
    struct Case {
        const char* text;
        int flags;
        int64_t dx, dy;  // of the first glyph's centre from the origin, 1/256 pixel
    };
    for (Case k : {Case{"--", 0, -(adv >> 1), 0}, Case{"--", FONT_STROKE_LEFT, adv >> 1, 0},
                   Case{"--", FONT_STROKE_RIGHT, -adv - (adv >> 1), 0},
                   Case{"-", FONT_STROKE_DOWN, 0, line >> 1}, Case{"-", FONT_STROKE_UP, 0, -(line >> 1)},
                   Case{"-", FONT_STROKE_LEFT | FONT_STROKE_DOWN, adv >> 1, line >> 1}}) {
        SCOPED_TRACE(::testing::Message() << k.text << " flags " << k.flags);
        c.Clear();
        font_DrawStrokeText(k.text, x, y, 3, k.flags);
        const int64_t ox = 2 * (int64_t)x + k.dx, oy = 2 * (int64_t)y + k.dy;
        Pixels want;
        for (size_t i = 0; k.text[i]; i++) {
            auto a = Point(ox + (int64_t)i * adv, oy, 8, 6), b = Point(ox + (int64_t)i * adv, oy, 8, 10);
            Pixels r = Row(a.first, b.first, a.second);
            want.insert(r.begin(), r.end());
        }
        EXPECT_EQ(c.ChangedPixels(), want);
    }
    // Vertical text: the characters follow each other down, centred as a
    // column on the origin.
    c.Clear();
    font_DrawStrokeText("--", x, y, 3, FONT_STROKE_VERTICAL);
    const int64_t ox = 2 * (int64_t)x, oy = 2 * (int64_t)y - (line >> 1);
    Pixels want = Row(Point(ox, oy, 8, 6).first, Point(ox, oy, 8, 10).first, Point(ox, oy, 8, 6).second);
    Pixels second = Row(Point(ox, oy + line, 8, 6).first, Point(ox, oy + line, 8, 10).first,
                        Point(ox, oy + line, 8, 6).second);
    want.insert(second.begin(), second.end());
    EXPECT_EQ(c.ChangedPixels(), want);
    EXPECT_EQ(want.size(), 10u);
}

TEST_F(StrokeTest, RotationTurnsTheWholeGrid) {
    // A quarter turn (25-bit angle): the dash stands upright.
    font_SetStrokeRotation(0, 1024, 1024, 0x800000);
    EXPECT_EQ(font_StrokeState.angle, 0x40000000u);
    font_DrawStrokeText("-", 40 * 128 + 64, 20 * 128 + 64, 3, 0);
    Pixels column;
    for (int y = 18; y <= 22; y++) column.insert({40, y});
    EXPECT_EQ(c.ChangedPixels(), column);
    // The advance turns with it: two dashes stack along the turned line.
    c.Clear();
    font_DrawStrokeText("--", 40 * 128 + 64, 20 * 128 + 64, 3, FONT_STROKE_LEFT);
    EXPECT_EQ(font_StrokeState.advanceX, 0);
    EXPECT_NE(font_StrokeState.advanceY, 0);
    // A different scale in y stretches only the line vector.
    font_SetStrokeRotation(12345, 1024, 2048, 0);
    EXPECT_EQ(font_StrokeState.xScale, 2048);
    EXPECT_EQ(font_StrokeState.yScale, 4096);
    EXPECT_EQ(font_StrokeState.advanceX, 6 * 255);
    EXPECT_EQ(font_StrokeState.lineY, (15 * 511) >> 1);
}

TEST_F(StrokeTest, SlotLinesGoThroughTheMappedSpace) {
    // Map 1/256 pixel onto pixels: the square's side is 256 pixels. Sizes
    // are given in the same finer unit.
    draw_SetFloatClipWindow({0, 0}, {256 * 128, 0}, {256 * 128, 256 * 128}, {0, 256 * 128});
    font_SetStrokeRotation(0, 2048, 2048, 0);
    SetSlot(6, 21, 0, 0);
    draw_Context.colourSlot = 3;
    font_DrawStrokeTextC("-", 40 * 256 + 128, 20 * 256 + 128, 6, 0);
    EXPECT_EQ(font_StrokeState.flags, FONT_STROKE_SLOT_LINES);
    EXPECT_EQ(c.ChangedPixels(), Row(38, 42, 20));
    EXPECT_EQ(c.Get(40, 20), 21u);
}

TEST_F(StrokeTest, EveryGlyphStaysInsideItsCell) {
    // At 255/256 pixel a step, no stroke of any code leaves the 15 x 15 cell.
    for (int code = 1; code < 256; code++) {
        c.Clear();
        char text[2] = {(char)code, 0};
        font_DrawStrokeText(text, 40 * 128, 20 * 128, 3, 0);
        for (auto [x, y] : c.ChangedPixels()) {
            EXPECT_LE(std::abs(x - 40), 7) << code;
            EXPECT_LE(std::abs(y - 20), 7) << code;
        }
        if (code != ' ' && code != '~') {
            EXPECT_GT(c.Count(), 0) << code;
        }
    }
}

}  // namespace
