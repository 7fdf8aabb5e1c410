// Viewport line primitives on 8- and 16-bit viewports.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "base/math.h"
#include "display/evp.h"
#include "display/vpline.h"

namespace {

constexpr uint8_t kFill = 0xA5;
using Pixels = std::set<std::pair<int, int>>;

// A viewport over a buffer with guard bytes, made current.
struct VpCanvas {
    static constexpr int kGuard = 128;
    int w, rows, bpp;
    std::vector<uint8_t> mem;
    _EVP* e;
    VpCanvas(int width, int height, int bytesPerPixel)
        : w(width), rows(height), bpp(bytesPerPixel), mem((size_t)(2 * kGuard + width * height * bytesPerPixel), kFill) {
        e = evp_Create(w, rows, bpp, 0);
        evp_SetBase(e, mem.data() + kGuard);
        evp_MakeCurrent(e);
    }
    ~VpCanvas() {
        evp_Free(e);
        evp_MakeCurrent(nullptr);
    }
    void Clip(int x1, int y1, int x2, int y2) {
        evp_SetClip(e, x1, y1, x2, y2);
        evp_MakeCurrent(e);
    }
    void Clear() { std::fill(mem.begin(), mem.end(), kFill); }
    uint8_t* at(int x, int y) { return mem.data() + kGuard + (y * w + x) * bpp; }
    uint32_t Get(int x, int y) {
        uint32_t v = 0;
        memcpy(&v, at(x, y), (size_t)bpp);
        return v;
    }
    Pixels Changed() {
        Pixels s;
        for (int y = 0; y < rows; y++)
            for (int x = 0; x < w; x++)
                for (int i = 0; i < bpp; i++)
                    if (at(x, y)[i] != kFill) s.insert({x, y});
        return s;
    }
    ::testing::AssertionResult OutsideUntouched() {
        for (int i = 0; i < kGuard; i++)
            if (mem[(size_t)i] != kFill || mem[mem.size() - 1 - (size_t)i] != kFill)
                return ::testing::AssertionFailure() << "guard bytes written";
        for (auto [x, y] : Changed())
            if (x < e->clipX1 || x > e->clipX2 || y < e->clipY1 || y > e->clipY2)
                return ::testing::AssertionFailure() << "written outside the clip at (" << x << ", " << y << ")";
        return ::testing::AssertionSuccess();
    }
};

// The walk as it is meant to go, every step, for comparison.
Pixels Reference(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
    Pixels s;
    if (x1 == x2 && y1 == y2) return {{(int)x1, (int)y1}};
    int64_t dx = x2 - x1, dy = y2 - y1;
    int64_t sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    dx *= sx, dy *= sy;
    bool xMajor = dx > dy;
    int64_t M = xMajor ? dx : dy, m = xMajor ? dy : dx, error = M, x = x1, y = y1;
    for (int64_t i = 0; i < M; i++) {
        s.insert({(int)x, (int)y});
        if (xMajor) x += sx;
        else y += sy;
        error -= 2 * m;
        if (error < 0) {
            if (xMajor) y += sy;
            else x += sx;
            error += 2 * M;
        }
    }
    return s;
}

Pixels InClip(const Pixels& all, const _EVP* e) {
    Pixels s;
    for (auto p : all)
        if (p.first >= e->clipX1 && p.first <= e->clipX2 && p.second >= e->clipY1 && p.second <= e->clipY2) s.insert(p);
    return s;
}

class VpLine : public ::testing::Test {
protected:
    void SetUp() override { vp_Colours = {0x4321, 0x1122, 0x0077}; }
};

TEST_F(VpLine, LinesLeaveOutTheirEnd) {
    for (int bpp : {1, 2}) {
        VpCanvas vp(32, 16, bpp);
        vp_Line(0, 0, 4, 0);
        EXPECT_EQ(vp.Changed(), (Pixels{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
        EXPECT_EQ(vp.Get(3, 0), bpp == 1 ? 0x21u : 0x4321u);
        vp.Clear();
        vp_Line(7, 7, 7, 7);
        EXPECT_EQ(vp.Changed(), (Pixels{{7, 7}}));
        vp.Clear();
        vp_Line(10, 1, 3, 4);
        EXPECT_EQ(vp.Changed(), Reference(10, 1, 3, 4));
        EXPECT_EQ(vp.Changed().size(), 7u);
        EXPECT_FALSE(vp.Changed().count({3, 4}));
    }
}

TEST_F(VpLine, LinesThroughTheClipMatchTheWholeWalk) {
    struct Case {
        int32_t x1, y1, x2, y2;
    };
    const Case cases[] = {
        {-50, -30, 80, 60}, {80, 3, -90, 20},   {20, -300, 21, 400}, {-1000, 27, 3000, -5},
        {6, 5, 30, 22},     {-7, -7, -2, 40},   {34, 0, 34, 29},     {0, 24, 39, 24},
        {39, 0, 0, 29},     {-2000, -1, 2000, 1}, {5, 4, 33, 24},    {33, 24, 5, 4},
    };
    for (int bpp : {1, 2}) {
        VpCanvas vp(40, 30, bpp);
        vp.Clip(5, 4, 33, 24);
        for (const Case& c : cases) {
            vp.Clear();
            vp_Line(c.x1, c.y1, c.x2, c.y2);
            EXPECT_EQ(vp.Changed(), InClip(Reference(c.x1, c.y1, c.x2, c.y2), vp.e))
                << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
            EXPECT_TRUE(vp.OutsideUntouched());
        }
    }
}

TEST_F(VpLine, FarEndsCostNothingAndStayInside) {
    VpCanvas vp(40, 30, 1);
    vp.Clip(5, 4, 33, 24);
    vp_Line(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);  // the diagonal x = y
    Pixels diag;
    for (int k = 5; k <= 24; k++) diag.insert({k, k});
    EXPECT_EQ(vp.Changed(), diag);
    vp.Clear();
    vp_Line(INT32_MIN, 10, INT32_MAX, 10);
    EXPECT_EQ(vp.Changed().size(), 29u);
    vp_Line(INT32_MAX, INT32_MIN + 3, INT32_MIN + 11, INT32_MAX - 5);
    vp_ClipLine(INT32_MAX, INT32_MIN + 3, INT32_MIN + 11, INT32_MAX - 5);
    EXPECT_TRUE(vp.OutsideUntouched());
}

TEST_F(VpLine, ClippedLines) {
    VpCanvas vp(40, 30, 1);
    vp.Clip(5, 4, 33, 24);
    vp_ClipLine(-10, 10, 100, 10);  // cut to x 5..33; the end is left out
    EXPECT_EQ(vp.Changed().size(), 28u);
    EXPECT_TRUE(vp.Changed().count({5, 10}));
    vp.Clear();
    vp_ClipLine(0, 0, 4, 29);  // wholly left
    vp_ClipLine(0, 0, 39, 3);  // wholly above
    EXPECT_TRUE(vp.Changed().empty());
    int32_t x1 = 0, y1 = 0, x2 = 10, y2 = 10;
    EXPECT_EQ(vp_ClipLineLeft(&x1, &y1, &x2, &y2), 0);
    EXPECT_EQ(x1, 5);
    EXPECT_EQ(y1, 5);
    x1 = 40, y1 = 0, x2 = 20, y2 = 20;
    EXPECT_EQ(vp_ClipLineRight(&x1, &y1, &x2, &y2), 0);
    EXPECT_EQ(x1, 33);
    EXPECT_EQ(y1, 7);
    x1 = 0, y1 = 25, x2 = 0, y2 = 30;
    EXPECT_EQ(vp_ClipLineBottom(&x1, &y1, &x2, &y2), -1);
    EXPECT_EQ(vp_ClipLineTop(&x1, &y1, nullptr, &y2), -1);
}

TEST_F(VpLine, RectanglesAndPoints) {
    for (int bpp : {1, 2}) {
        VpCanvas vp(32, 16, bpp);
        vp_RectOutline(2, 3, 10, 5);
        Pixels got = vp.Changed();
        EXPECT_EQ(got.size(), 30u);  // every corner once
        for (auto p : Pixels{{2, 3}, {12, 3}, {12, 8}, {2, 8}}) EXPECT_TRUE(got.count(p));
        EXPECT_EQ(vp.Get(12, 8), bpp == 1 ? 0x22u : 0x1122u);
        EXPECT_EQ(vp_Colours.line, 0x1122u);
        vp.Clear();
        vp_FillRect(-5, 2, 10, 3);
        EXPECT_EQ(vp.Changed().size(), 15u);
        EXPECT_TRUE(vp.Changed().count({4, 4}));
        vp.Clear();
        vp.Clip(4, 4, 20, 10);
        vp_FillRect(0, 0, 100, 100);
        vp_RectOutline(-3, -3, 100, 100);
        EXPECT_TRUE(vp.OutsideUntouched());
        vp_Point(20, 10);  // bounds are inclusive
        vp_Point(21, 10);
        vp_Point(3, 5);
        EXPECT_EQ(vp.Get(20, 10), bpp == 1 ? 0x77u : 0x0077u);
        EXPECT_TRUE(vp.OutsideUntouched());
    }
    int32_t x = 0, y = 0, w = 0, h = 5;
    EXPECT_EQ(vp_ClipRect(&x, &y, &w, &h), -1);
}

TEST_F(VpLine, LinesAndPointsInThreeDimensions) {
    VpCanvas vp(32, 16, 1);
    evp_SetCentre(vp.e, 16, 8);
    evp_SetScale(vp.e, 10, 10);
    evp_MakeCurrent(vp.e);
    // From depth 0.5 to 3: drawn from where it crosses depth 1.0, at x -0.4.
    MathVec3 a = {-1, 0, 0.5f}, b = {2, 0, 3};
    vp_Line3D(&a, &b);
    Pixels got = vp.Changed();
    EXPECT_TRUE(got.count({12, 8}));
    EXPECT_FALSE(got.count({11, 8}));
    EXPECT_TRUE(got.count({22, 8}));
    EXPECT_EQ(got.size(), 11u);
    vp.Clear();
    MathVec3 behind1 = {0, 0, 0.2f}, behind2 = {3, 1, 0.9f};
    vp_Line3D(&behind1, &behind2);
    MathVec3 nan = {0, NAN, 2};
    vp_Line3D(&nan, &b);
    MathVec3 atNear = {0, 0, 1.0f}, deeper = {1, 0.4f, 2.0f};
    vp_Point3D(&atNear);
    EXPECT_TRUE(vp.Changed().empty());
    vp_Point3D(&deeper);
    EXPECT_EQ(vp.Changed(), (Pixels{{21, 6}}));

    // World space: the camera one unit back from the origin looking along z.
    vp.Clear();
    MathFrame camera;
    math_FrameIdentity(&camera);
    camera.pos = {0, 0, -1};
    MathVec3 p = {0, 0, 1};
    vp_Point3DWorld(&p, &camera);
    EXPECT_EQ(vp.Changed(), (Pixels{{16, 8}}));
    MathVec3 q = {0.8f, 0, 1};  // view depth 2: x 16 + 4
    vp.Clear();
    vp_Line3DWorld(&p, &q, &camera);
    EXPECT_EQ(vp.Changed(), (Pixels{{16, 8}, {17, 8}, {18, 8}, {19, 8}}));
}

TEST_F(VpLine, NothingWithoutPixelsOrAtOtherDepths) {
    _EVP* e = evp_Create(16, 16, 1, 0);  // no base
    evp_MakeCurrent(e);
    vp_Line(0, 0, 10, 10);
    vp_FillRect(0, 0, 5, 5);
    vp_Point(1, 1);
    evp_Free(e);
    std::vector<uint8_t> buf(16 * 16 * 4, kFill);
    e = evp_Create(16, 16, 4, 0);
    evp_SetBase(e, buf.data());
    evp_MakeCurrent(e);
    vp_Line(0, 0, 10, 10);
    vp_ClipLine(0, 0, 10, 10);
    vp_RectOutline(0, 0, 5, 5);
    vp_FillRect(0, 0, 5, 5);
    vp_Point(1, 1);
    for (uint8_t v : buf) ASSERT_EQ(v, kFill);
    evp_Free(e);
    evp_MakeCurrent(nullptr);
}

}  // namespace
