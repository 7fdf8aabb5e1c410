// Lines, points, circles and arcs on 8-, 16- and 32-bit surfaces.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <vector>

#include "display/draw_line.h"
#include "display/dsurf.h"
#include "display/hw3d.h"
#include "display/hw3d_draw.h"
#include "display/pal_hicolor.h"
#include "draw_canvas.h"

namespace {

constexpr int kSlot = 4;
constexpr uint8_t kIndex = 0x3C;
constexpr uint16_t kValue16 = 0x1234;
constexpr uint32_t kValue32 = 0x00112233;

uint32_t SlotValue(int bpp) { return bpp == 1 ? kIndex : bpp == 2 ? kValue16 : kValue32; }

class DrawLine : public ::testing::Test {
protected:
    void SetUp() override {
        draw_Init();
        draw_Context.lineShade = 0;
        draw_Context.shadeTable = nullptr;
        SetSlot(kSlot, kIndex, kValue16, kValue32);
        draw_Context.colourSlot = kSlot;
    }
};

// ---------------------------------------------------------------------------
// Clipped lines.

struct LineCase {
    const char* name;
    int32_t x1, y1, x2, y2;
    bool subClip;  // clip (8, 6, 56, 42) instead of the whole 64 x 48 surface
    int count;
    int firstX, firstY, lastX, lastY;  // two pixels that must be drawn (-1: none)
};

const LineCase kLines[] = {
    {"shallow", 0, 0, 9, 3, false, 10, 0, 0, 9, 3},
    {"one point", 3, 3, 3, 3, false, 1, 3, 3, 3, 3},
    {"reversed", 9, 3, 0, 0, false, 10, 0, 0, 9, 3},
    {"steep", 5, 0, 7, 20, false, 21, 5, 0, 7, 20},
    {"left edge", -10, 10, 20, 10, true, 13, 8, 10, 20, 10},
    {"right edge", 30, 10, 100, 10, true, 26, 30, 10, 55, 10},
    {"top edge", 20, -5, 20, 15, true, 10, 20, 6, 20, 15},
    {"bottom edge", 20, 30, 20, 100, true, 12, 20, 30, 20, 41},
    {"wholly left", -10, 10, 7, 20, true, 0, -1, -1, -1, -1},
    {"wholly right", 56, 0, 90, 40, true, 0, -1, -1, -1, -1},
    {"wholly above", 0, 0, 60, 5, true, 0, -1, -1, -1, -1},
    {"wholly below", 0, 42, 60, 47, true, 0, -1, -1, -1, -1},
    {"huge horizontal", INT32_MIN, 20, INT32_MAX, 20, true, 48, 8, 20, 55, 20},
    {"huge diagonal", INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, true, 34, 8, 8, 41, 41},
};

TEST_F(DrawLine, ClippedLinesOnEveryDepth) {
    for (int bpp : {1, 2, 4}) {
        for (const LineCase& c : kLines) {
            SCOPED_TRACE(::testing::Message() << c.name << " at " << bpp * 8 << " bits");
            Canvas cv(64, 48, bpp);
            if (c.subClip) cv.Clip(8, 6, 56, 42);
            draw_ClipLine(c.x1, c.y1, c.x2, c.y2);
            EXPECT_EQ(cv.Count(), c.count);
            if (c.firstX >= 0) {
                EXPECT_EQ(cv.Get(c.firstX, c.firstY), SlotValue(bpp));
                EXPECT_EQ(cv.Get(c.lastX, c.lastY), SlotValue(bpp));
            }
            EXPECT_TRUE(cv.OutsideUntouched());
        }
    }
}

TEST_F(DrawLine, BresenhamSteps) {
    Canvas cv(64, 48, 1);
    draw_ClipLine(0, 0, 9, 3);
    // One pixel a column, rows never going back.
    int lastY = 0;
    for (int x = 0; x <= 9; x++) {
        int found = -1;
        for (int y = 0; y < 48; y++)
            if (cv.Changed(x, y)) found = found < 0 ? y : 100;
        ASSERT_GE(found, lastY) << x;
        ASSERT_LE(found, 3) << x;
        lastY = found;
    }
}

TEST_F(DrawLine, RandomLinesNeverLeaveTheClip) {
    std::mt19937 rng(7);
    auto coord = [&](int range) -> int32_t {
        switch (rng() % 4) {
        case 0: return (int32_t)(rng() % 80) - 8;
        case 1: return (int32_t)(rng() % 2001) - 1000;
        case 2: return (int32_t)rng();
        default: return range;
        }
    };
    for (int bpp : {1, 2, 4}) {
        Canvas cv(40, 30, bpp, 3);
        cv.Clip(5, 4, 33, 25);
        for (int i = 0; i < 3000; i++) {
            draw_ClipLine(coord(5), coord(4), coord(32), coord(24));
            draw_BrushLine(coord(5), coord(4), coord(32), coord(24), kSlot, (int32_t)(rng() % 6), 1, 2);
        }
        EXPECT_TRUE(cv.OutsideUntouched()) << bpp;
    }
}

TEST_F(DrawLine, ClipWordsPastTheSurfaceStayInsideIt) {
    Canvas cv(20, 10, 2);
    draw_SetClipRect(-100, -100, 1000, 1000);
    draw_ClipLine(-50, -50, 500, 500);
    draw_ClipLine(500, 3, -500, 3);
    draw_CircleMidpoint(10, 5, 8, kSlot);
    draw_FillDisc(10, 5, 30, kSlot);
    draw_RectOutline(-5, -5, 50, 50);
    EXPECT_EQ(cv.Get(19, 3), kValue16);
    EXPECT_TRUE(cv.OutsideUntouched());
}

TEST_F(DrawLine, ShadedLineAndItsFlag) {
    // 8-bit: a table whose every entry of level L is L.
    std::vector<uint8_t> table(8192);
    for (int i = 0; i < 8192; i++) table[(size_t)i] = (uint8_t)(i >> 8);
    Canvas c8(16, 8, 1);
    draw_Context.lineShade = 1;
    draw_ClipLineC(0, 2, 15, 2, 7);
    EXPECT_EQ(c8.Count(), 0) << "no shade table: nothing";
    EXPECT_EQ(draw_Context.lineShade, 0);
    draw_Context.shadeTable = table.data();
    draw_Context.lineShade = 1;
    draw_ClipLineC(0, 2, 15, 2, 7);
    EXPECT_EQ(c8.Get(5, 2), 7u);
    EXPECT_EQ(draw_Context.lineShade, 0);
    // A rejected line still clears the flag; the next line is solid.
    draw_Context.lineShade = 1;
    draw_ClipLineC(-20, 3, -5, 3, 7);
    EXPECT_EQ(draw_Context.lineShade, 0);
    draw_ClipLineC(0, 4, 3, 4, kSlot);
    EXPECT_EQ(c8.Get(0, 4), kIndex);

    // 16-bit: level 3 of a synthetic pixel shade table adds 1.
    auto saved = std::vector<uint16_t>(&pal_Hc.shade[3][0][0], &pal_Hc.shade[3][0][0] + 512);
    for (int b = 0; b < 256; b++) {
        pal_Hc.shade[3][b][0] = (uint16_t)(b + 1);
        pal_Hc.shade[3][b][1] = (uint16_t)(b << 8);
    }
    Canvas c16(16, 8, 2);
    draw_Context.lineShade = 1;
    draw_ClipLineC(0, 1, 0, 6, 3);
    EXPECT_EQ(c16.Get(0, 1), 0xA5A6u);
    EXPECT_EQ(c16.Count(), 6);
    memcpy(&pal_Hc.shade[3][0][0], saved.data(), saved.size() * 2);

    // 32-bit: channels times level / 16, saturating; the top byte is kept.
    Canvas c32(16, 8, 4);
    draw_Context.lineShade = 1;
    draw_ClipLineC(0, 0, 3, 0, 8);
    draw_Context.lineShade = 1;
    draw_ClipLineC(0, 1, 3, 1, 31);
    EXPECT_EQ(c32.Get(2, 0), 0xA5525252u);
    EXPECT_EQ(c32.Get(2, 1), 0xA5FFFFFFu);
}

TEST_F(DrawLine, SolidLinesKeepTheirColours) {
    Canvas c16(8, 8, 2);
    draw_ClipLineC(0, 0, 3, 0, kSlot);
    EXPECT_EQ(draw_Context.lastColour16, kValue16);
    EXPECT_EQ(draw_Context.colourSlot, kSlot);
    Canvas c32(8, 8, 4);
    draw_ClipLine(0, 0, 3, 0);
    EXPECT_EQ(draw_Context.lastColour32, kValue32);
}

TEST_F(DrawLine, NullBaseDrawsNothing) {
    Canvas cv(16, 16, 1);
    cv.desc.base = nullptr;
    draw_SelectSurface(&cv.desc);
    std::vector<uint8_t> table(8192, 1);
    draw_Context.shadeTable = table.data();
    draw_ClipLine(0, 0, 15, 15);
    draw_PlotPixelClipped(1, 1, 9);
    draw_RectOutline(0, 0, 5, 5);
    draw_FillRectUnclipped(0, 0, 5, 5);
    draw_CircleMidpoint(8, 8, 4, kSlot);
    draw_FillDisc(8, 8, 4, kSlot);
    draw_BrushLine(0, 0, 9, 9, kSlot, 3, 1, 2);
    draw_Line(0, 0, 5, 5, kSlot);
    draw_Point(2, 2, kSlot);
    draw_ArcSegments(8, 8, 5, kSlot, 0, 100);
    EXPECT_EQ(cv.Count(), 0);
}

// ---------------------------------------------------------------------------
// Points and rectangles.

TEST_F(DrawLine, PlotPixelClipped) {
    Canvas cv(16, 8, 1);
    cv.Clip(2, 2, 10, 6);
    draw_PlotPixelClipped(2, 2, 9);
    draw_PlotPixelClipped(9, 5, 9);
    draw_PlotPixelClipped(10, 5, 9);  // x2 and y2 are outside
    draw_PlotPixelClipped(9, 6, 9);
    draw_PlotPixelClipped(1, 3, 9);
    EXPECT_EQ(cv.Count(), 2);
    EXPECT_EQ(cv.Get(9, 5), 9u);
    EXPECT_TRUE(cv.OutsideUntouched());
}

TEST_F(DrawLine, RectanglesInclusiveAndClipped) {
    for (int bpp : {1, 2, 4}) {
        Canvas cv(32, 24, bpp);
        draw_RectOutline(5, 5, 2, 2);  // corners in either order
        EXPECT_EQ(cv.Count(), 12);
        EXPECT_EQ(cv.Get(5, 2), SlotValue(bpp));
        EXPECT_FALSE(cv.Changed(3, 3));
        cv.Clear();
        draw_FillRectUnclipped(4, 3, 2, 2);
        EXPECT_EQ(cv.Count(), 6);
        cv.Clear();
        cv.Clip(4, 4, 20, 16);
        draw_RectOutline(0, 0, 25, 30);  // every side outside the clip
        draw_RectOutline(6, 6, 40, 40);  // top row and left column inside
        EXPECT_EQ(cv.Count(), (20 - 6) + (16 - 6) - 1);
        draw_FillRectUnclipped(-100, -100, 100, 100);
        EXPECT_EQ(cv.Count(), 16 * 12);
        EXPECT_TRUE(cv.OutsideUntouched());
    }
}

// ---------------------------------------------------------------------------
// Circles and discs.

TEST_F(DrawLine, MidpointCircle) {
    Canvas cv(64, 48, 1);
    draw_CircleMidpoint(20, 20, 0, kSlot);
    EXPECT_EQ(cv.Count(), 1);
    EXPECT_TRUE(cv.Changed(20, 20));
    cv.Clear();
    draw_CircleMidpoint(20, 20, 9, kSlot);
    auto full = cv.ChangedPixels();
    for (auto [x, y] : full) {
        int dx = x - 20, dy = y - 20;
        EXPECT_TRUE(full.count({20 - dx, 20 + dy}) && full.count({20 + dx, 20 - dy}) && full.count({20 + dy, 20 + dx}))
            << x << "," << y;
        EXPECT_NEAR(dx * dx + dy * dy, 81, 10);
    }
    EXPECT_TRUE(full.count({29, 20}) && full.count({11, 20}) && full.count({20, 11}) && full.count({20, 29}));
}

TEST_F(DrawLine, CirclesAndDiscsCrossingTheClip) {
    for (int bpp : {1, 2, 4}) {
        SCOPED_TRACE(bpp);
        // Drawn whole, then with a clip cutting through: the clipped one is
        // the whole one inside the clip.
        for (int disc = 0; disc < 2; disc++) {
            Canvas whole(64, 48, bpp);
            Canvas cut(64, 48, bpp);
            for (Canvas* c : {&whole, &cut}) {
                if (c == &cut) c->Clip(8, 6, 30, 42);
                else draw_SelectSurface(&c->desc);
                if (disc) draw_FillDisc(12, 30, 15, kSlot);
                else draw_CircleMidpoint(12, 30, 15, kSlot);
            }
            std::set<std::pair<int, int>> expect;
            for (auto p : whole.ChangedPixels())
                if (p.first >= 8 && p.first < 30 && p.second >= 6 && p.second < 42) expect.insert(p);
            EXPECT_FALSE(expect.empty());
            EXPECT_EQ(cut.ChangedPixels(), expect) << (disc ? "disc" : "circle");
            EXPECT_TRUE(cut.OutsideUntouched());
        }
    }
}

TEST_F(DrawLine, FilledDiscRows) {
    Canvas cv(64, 48, 1);
    draw_FillDisc(20, 20, 0, kSlot);
    EXPECT_EQ(cv.Count(), 0);  // one point a row: left equals right
    draw_FillDisc(20, 20, 3, kSlot);
    // The middle row runs from the left edge up to, not including, the right.
    for (int x = 17; x <= 22; x++) EXPECT_TRUE(cv.Changed(x, 20)) << x;
    EXPECT_FALSE(cv.Changed(23, 20));
    EXPECT_FALSE(cv.Changed(16, 20));
    EXPECT_TRUE(cv.Changed(19, 17) && cv.Changed(20, 17) && !cv.Changed(21, 17));
    for (auto [x, y] : cv.ChangedPixels()) EXPECT_TRUE(y >= 17 && y <= 23);

    // Rows past the span table are left alone.
    Canvas tall(16, 700, 1);
    draw_FillDisc(8, 660, 5, kSlot);
    EXPECT_EQ(tall.Count(), 0);
    draw_FillDisc(8, 648, 4, kSlot);
    for (auto [x, y] : tall.ChangedPixels()) EXPECT_TRUE(y >= 644 && y <= 649) << y;
    EXPECT_TRUE(tall.Changed(8, 649));
}

TEST_F(DrawLine, FarCirclesAreCheap) {
    Canvas cv(64, 48, 4);
    draw_CircleMidpoint(32, 24, 1000000000, kSlot);
    draw_CircleMidpoint(INT32_MAX, INT32_MIN, INT32_MAX, kSlot);
    draw_FillDisc(32, 24, 1000000000, kSlot);
    draw_CircleMidpoint(32, 24, -5, kSlot);
    EXPECT_TRUE(cv.OutsideUntouched());
    // The huge disc covers the whole surface.
    EXPECT_EQ(cv.Count(), 64 * 48);
}

// ---------------------------------------------------------------------------
// Arcs.

TEST_F(DrawLine, ArcWrapRules) {
    Canvas cv(64, 48, 1);
    draw_ArcSegments(32, 24, 10, kSlot, 500, 10);  // the end becomes 522: across the top
    EXPECT_TRUE(cv.Changed(31, 15) && cv.Changed(32, 15) && cv.Changed(33, 15));
    EXPECT_FALSE(cv.Changed(32, 34));
    EXPECT_FALSE(cv.Changed(22, 24));
    for (auto [x, y] : cv.ChangedPixels()) EXPECT_LE(y, 16);
    cv.Clear();
    draw_ArcSegments(32, 24, 10, kSlot, 5, 5);
    draw_ArcSegments(32, 24, 10, kSlot, 5, 517);  // same step a turn later
    EXPECT_EQ(cv.Count(), 0);
    // A quarter from the right (step 128) down to the bottom (256), clockwise.
    draw_ArcSegments(32, 24, 10, kSlot, 128, 256);
    EXPECT_TRUE(cv.Changed(42, 24) && cv.Changed(32, 34));
    for (auto [x, y] : cv.ChangedPixels()) EXPECT_TRUE(x >= 32 && y >= 24) << x << "," << y;
}

// ---------------------------------------------------------------------------
// Brush lines.

TEST_F(DrawLine, BrushDotsAndDashes) {
    Canvas cv(64, 48, 1);
    draw_BrushLine(10, 10, 20, 10, kSlot, 3, 1, DRAW_BRUSH_RESTART);
    EXPECT_EQ(cv.Count(), 3 * 13);  // a 3 x 3 square on every pixel
    EXPECT_TRUE(cv.Changed(9, 9) && cv.Changed(21, 11));

    auto row = [&](int y) {
        std::vector<int> xs;
        for (int x = 0; x < 64; x++)
            if (cv.Changed(x, y)) xs.push_back(x);
        return xs;
    };
    draw_BrushLine(10, 20, 20, 20, kSlot, 1, 4, DRAW_BRUSH_RESTART);
    EXPECT_EQ(row(20), (std::vector<int>{10, 14, 18}));
    draw_BrushLine(10, 22, 20, 22, kSlot, 1, 3, DRAW_BRUSH_DASHED);
    EXPECT_EQ(row(22), (std::vector<int>{10, 11, 12, 16, 17, 18}));
    // The kept phase carries over from one line to the next: the first line
    // leaves it at 2 (last dot at 18, then 19 and 20), so the next dot comes
    // on the second pixel.
    draw_BrushLine(10, 24, 20, 24, kSlot, 1, 4, DRAW_BRUSH_RESTART);
    draw_BrushLine(30, 24, 40, 24, kSlot, 1, 4, DRAW_BRUSH_KEEP);
    EXPECT_EQ(row(24), (std::vector<int>{10, 14, 18, 31, 35, 39}));
}

TEST_F(DrawLine, BrushAtTheEdgeAndShaded) {
    std::vector<uint8_t> table(8192);
    for (int i = 0; i < 8192; i++) table[(size_t)i] = (uint8_t)(i >> 8);
    draw_Context.shadeTable = table.data();
    Canvas cv(32, 24, 1);
    cv.Clip(4, 4, 28, 20);
    draw_BrushLine(4, 4, 27, 19, kSlot, 7, 1, DRAW_BRUSH_RESTART);
    EXPECT_TRUE(cv.OutsideUntouched());
    cv.Clear();
    draw_BrushLine(8, 8, 12, 8, 17, 1, 1, DRAW_BRUSH_RESTART | DRAW_BRUSH_SHADED);
    EXPECT_EQ(cv.Get(10, 8), 2u);  // level 17 / 8
    Canvas c32(32, 24, 4);
    draw_BrushLine(8, 8, 12, 8, 17, 3, 1, DRAW_BRUSH_RESTART | DRAW_BRUSH_SHADED);
    EXPECT_EQ(c32.Count(), 0);
}

// ---------------------------------------------------------------------------
// Vector shapes.

TEST_F(DrawLine, VectorShapes) {
    Canvas cv(64, 48, 2);
    const DrawShapeCommand square[] = {
        {DRAW_SHAPE_MOVE, 0, 0, 0}, {DRAW_SHAPE_LINE, 5, 0, 0}, {7, 30, 30, 0},
        {DRAW_SHAPE_LINE, 5, 5, 0}, {DRAW_SHAPE_END, 0, 0, 0},  {DRAW_SHAPE_LINE, 0, 30, 0},
    };
    draw_VectorShape(square, 10, 10, kSlot);
    EXPECT_EQ(cv.Count(), 11);
    EXPECT_TRUE(cv.Changed(15, 15) && !cv.Changed(40, 40) && !cv.Changed(10, 40));
    // A shape opening with a line starts from where the last one left the pen.
    const DrawShapeCommand tail[] = {{DRAW_SHAPE_LINE, 0, 0, 0}, {DRAW_SHAPE_END, 0, 0, 0}};
    draw_VectorShape(tail, 15, 25, kSlot);
    EXPECT_TRUE(cv.Changed(15, 20) && cv.Changed(15, 25));
    cv.Clear();
    draw_VectorShapeScaled(square, 10, 10, kSlot, 2.0f);
    EXPECT_TRUE(cv.Changed(20, 10) && cv.Changed(20, 20) && !cv.Changed(21, 10));

    // A list without an end is walked a bounded number of commands (the
    // buffer is exactly that long, so reading past it would be caught).
    std::vector<DrawShapeCommand> endless(DRAW_SHAPE_MAX_COMMANDS, DrawShapeCommand{DRAW_SHAPE_MOVE, 1, 1, 0});
    draw_VectorShape(endless.data(), 0, 0, kSlot);
    draw_VectorShape(nullptr, 0, 0, kSlot);
}

// ---------------------------------------------------------------------------
// Colour-slot entries and the 3D card.

struct CardCall {
    _HW3D_VERTEX a, b;
    uint32_t colour;
    int32_t mode, extra;
};
std::vector<CardCall> g_cardCalls;

void RecordLine(const void* v1, const void* v2, uint32_t colour, int32_t mode, int32_t extra) {
    g_cardCalls.push_back({*(const _HW3D_VERTEX*)v1, *(const _HW3D_VERTEX*)v2, colour, mode, extra});
}

// A bound driver whose line entry records its calls.
class DrawCard : public DrawLine {
protected:
    _HW3D_DESCRIPTOR saved;
    int32_t savedLoaded;
    _HW3D_STATE state = {};
    void SetUp() override {
        DrawLine::SetUp();
        saved = hw3d_Descriptor;
        savedLoaded = hw3d_Loaded;
        hw3d_Descriptor.line = RecordLine;
        hw3d_Descriptor.state = &state;
        hw3d_Loaded = 1;
        g_cardCalls.clear();
    }
    void TearDown() override {
        hw3d_Descriptor = saved;
        hw3d_Loaded = savedLoaded;
    }
};

TEST_F(DrawCard, SoftwareSurfaceDrawsItself) {
    Canvas cv(16, 16, 1);
    draw_Line(1, 1, 5, 1, kSlot);
    draw_Point(7, 7, kSlot);
    EXPECT_EQ(cv.Count(), 6);
    EXPECT_TRUE(g_cardCalls.empty());
}

TEST_F(DrawCard, CardDrawsLinesPointsAndArcs) {
    Canvas cv(16, 16, 2);
    cv.desc.hw3d = 1;
    cv.desc.lockMask = 0;
    draw_SelectSurface(&cv.desc);
    draw_Line(1, 2, 3, 4, kSlot);
    ASSERT_EQ(g_cardCalls.size(), 2u);
    const CardCall& l = g_cardCalls[0];
    EXPECT_EQ(l.a.x, 128);
    EXPECT_EQ(l.a.y, 256);
    EXPECT_EQ(l.b.x, 384);
    EXPECT_EQ(l.b.y, 512);
    EXPECT_EQ(l.a.weight, 256);
    EXPECT_EQ(l.a.colour, 0xFF7F7F7Fu);
    EXPECT_EQ(l.colour, 0x00332211u);  // red and blue exchanged
    EXPECT_EQ(l.mode, 4);
    EXPECT_EQ(l.extra, 0);
    const CardCall& p = g_cardCalls[1];  // the point up and left of the start
    EXPECT_EQ(p.a.x, 0);
    EXPECT_EQ(p.a.y, 128);
    EXPECT_EQ(p.b.x, 0);
    EXPECT_EQ(p.a.colour, 0x7F7F7Fu);
    EXPECT_EQ(p.mode, 0x30000004);
    g_cardCalls.clear();
    draw_ArcSegments(8, 8, 5, kSlot, 0, 32);  // points at 0, 8, 16, 24, then the end
    EXPECT_EQ(g_cardCalls.size(), 4u);
    EXPECT_EQ(g_cardCalls[0].mode, 4);
    EXPECT_EQ(g_cardCalls[0].a.colour, 0x7F7F7Fu);
    EXPECT_EQ(cv.Count(), 0);
}

TEST_F(DrawCard, SoftwareIntoTheCardsFrameOnlyWithAccess) {
    Canvas cv(16, 16, 2);
    cv.desc.hw3d = 1;
    cv.desc.lockMask = DSURF_SOFT_LINES | DSURF_SOFT_POINTS | DSURF_SOFT_ARCS;
    draw_SelectSurface(&cv.desc);
    draw_Line(1, 1, 5, 1, kSlot);
    draw_Point(7, 7, kSlot);
    draw_ArcSegments(8, 8, 5, kSlot, 0, 64);
    EXPECT_EQ(cv.Count(), 0);
    state.frameAccess = 1;
    draw_Line(1, 1, 5, 1, kSlot);
    draw_Point(7, 7, kSlot);
    EXPECT_EQ(cv.Count(), 6);
    draw_ArcSegments(8, 8, 5, kSlot, 0, 64);
    EXPECT_GT(cv.Count(), 6);
    EXPECT_TRUE(g_cardCalls.empty());
}

// ---------------------------------------------------------------------------
// Mapped drawing space.

TEST_F(DrawLine, MappedCornersAndCentre) {
    // A quadrilateral that is no parallelogram: the bilinear term counts.
    draw_SetFloatClipWindow({10 * 128, 5 * 128}, {50 * 128, 9 * 128}, {60 * 128, 45 * 128}, {2 * 128, 30 * 128});
    float x, y;
    draw_MapPoint(&x, &y, 65536, 65536);
    EXPECT_FLOAT_EQ(x, 60);
    EXPECT_FLOAT_EQ(y, 45);
    draw_MapPoint(&x, &y, 65536, 0);
    EXPECT_FLOAT_EQ(x, 50);
    draw_MapPoint(&x, &y, 0, 65536);
    EXPECT_FLOAT_EQ(y, 30);
    draw_MapPoint(&x, &y, 32768, 32768);  // the mean of the corners
    EXPECT_FLOAT_EQ(x, 30.5f);
    EXPECT_FLOAT_EQ(y, 22.25f);
}

TEST_F(DrawLine, MappedLinesClipToTheWindow) {
    Canvas cv(64, 64, 1);
    // The square on the surface's 64 x 64 pixels: 1024 units a pixel.
    draw_SetFloatClipWindow({0, 0}, {64 * 128, 0}, {64 * 128, 64 * 128}, {0, 64 * 128});
    EXPECT_EQ(draw_ClipLineF(-65536, 10240, -1000, 10240, kSlot), -1);
    EXPECT_EQ(cv.Count(), 0);
    EXPECT_EQ(draw_ClipLineF(-65536, 10240, 200000, 10240, kSlot), 0);
    EXPECT_TRUE(cv.Changed(0, 10) && cv.Changed(63, 10));
    cv.Clear();
    draw_SetFloatScale(8192, 0, 32768, 65536);  // u from pixel 8 to pixel 32
    EXPECT_EQ(draw_ClipLineF(0, 20480, 65536, 20480, kSlot), 0);
    EXPECT_EQ(cv.Count(), 25);
    EXPECT_TRUE(cv.Changed(8, 20) && cv.Changed(32, 20) && !cv.Changed(33, 20));
    float a = 0, b = 0, c = 70000, d = 70000;
    EXPECT_EQ(draw_ClipMappedLine(&a, &b, &c, &d), 0);
    EXPECT_FLOAT_EQ(a, 8192);
    EXPECT_FLOAT_EQ(b, 8192);
    EXPECT_FLOAT_EQ(c, 32768);
    EXPECT_FLOAT_EQ(d, 32768);
    // Setting the corners again opens the window to the whole square.
    draw_SetFloatClipWindow({0, 0}, {64 * 128, 0}, {64 * 128, 64 * 128}, {0, 64 * 128});
    cv.Clear();
    draw_Circle(32768, 32768, 16384, kSlot);  // radius 16 pixels
    EXPECT_TRUE(cv.Changed(32, 48) && cv.Changed(48, 32));
    for (auto [x, y] : cv.ChangedPixels()) EXPECT_NEAR((x - 32) * (x - 32) + (y - 32) * (y - 32), 256, 40);
    cv.Clear();
    draw_Arc(32768, 32768, 16384, kSlot, 128, 256);  // right to bottom
    for (auto [x, y] : cv.ChangedPixels()) EXPECT_TRUE(x >= 32 && y >= 32);
    EXPECT_TRUE(cv.Changed(48, 32));
    cv.Clear();
    EXPECT_EQ(draw_ClipShapeLine(0, 20480, 65536, 20480, kSlot, 3, 1, DRAW_BRUSH_RESTART), 0);
    EXPECT_EQ(cv.Count(), 3 * 64);  // squares cut at both ends
}

}  // namespace
