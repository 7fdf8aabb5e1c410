// Polygon clipper (one bound per pass) and the depth-plane segment clipper.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "display/clip.h"

namespace {

typedef int32_t (*PassFn)(int32_t, const PolyClipVertex*, PolyClipVertex*, float);
typedef int32_t (*EdgeFn)(const PolyClipVertex*, const PolyClipVertex*, PolyClipVertex*, float);

PolyClipVertex CV(float x, float y, float u = 0, float v = 0, float shade = 0, float depth = 0) {
    return PolyClipVertex{x, y, u, v, shade, depth};
}

// One pass, told as: which coordinate, and whether inside is >= or <= bound.
struct Pass {
    const char* name;
    PassFn pass;
    EdgeFn edge;
    bool clipsY;
    bool max;
};
const Pass kPasses[] = {
    {"XMin", poly_ClipXMin, poly_ClipEdgeXMin, false, false},
    {"XMax", poly_ClipXMax, poly_ClipEdgeXMax, false, true},
    {"YMin", poly_ClipYMin, poly_ClipEdgeYMin, true, false},
    {"YMax", poly_ClipYMax, poly_ClipEdgeYMax, true, true},
};

// A point given as (along the clipped axis, across it) for the pass.
PolyClipVertex At(const Pass& p, float along, float across, float u = 0, float v = 0, float s = 0, float d = 0) {
    return p.clipsY ? CV(across, along, u, v, s, d) : CV(along, across, u, v, s, d);
}
float Along(const Pass& p, const PolyClipVertex& v) { return p.clipsY ? v.y : v.x; }
float Across(const Pass& p, const PolyClipVertex& v) { return p.clipsY ? v.x : v.y; }
// "Inward" of the bound is +1 for the min passes and -1 for the max passes.
float In(const Pass& p) { return p.max ? -1.0f : 1.0f; }

bool Same(const PolyClipVertex& a, const PolyClipVertex& b) {
    return a.x == b.x && a.y == b.y && a.u == b.u && a.v == b.v && a.shade == b.shade && a.depth == b.depth;
}

TEST(PolyClip, TriangleInsideEveryBoundComesOutUnchanged) {
    // Screen 640 x 480 in 1/128 pixel.
    const PolyClipVertex tri[3] = {CV(1280, 1280, 1, 2, 3, 4), CV(60000, 2000, 5, 6, 7, 8), CV(3000, 50000, 9, 10, 11, 12)};
    const float bounds[4] = {0, 640 * 128, 0, 480 * 128};
    for (int i = 0; i < 4; i++) {
        PolyClipVertex out[4];
        ASSERT_EQ(kPasses[i].pass(3, tri, out, bounds[i]), 3) << kPasses[i].name;
        for (int k = 0; k < 3; k++) EXPECT_TRUE(Same(out[k], tri[k])) << kPasses[i].name << " vertex " << k;
    }
}

// Against each bound: one corner beyond it gives a quadrilateral whose two
// cut points lie on the bound exactly, at the 1/128-pixel place the edge
// crosses it, with the attributes interpolated.
TEST(PolyClip, OneCornerBeyondEachBoundGivesAQuadCutAtTheBound) {
    for (const Pass& p : kPasses) {
        SCOPED_TRACE(p.name);
        const float bound = 100 * 128 + 37;  // not on a whole pixel
        // Corners 0 and 1 inside, corner 2 beyond by 1000 (1/128 pixel).
        const PolyClipVertex tri[3] = {
            At(p, bound + In(p) * 1000, 0, 0, 0, 0, 0),
            At(p, bound + In(p) * 1000, 1000, 0, 0, 0, 0),
            At(p, bound - In(p) * 1000, 500, 2000, 4000, 100, 50),
        };
        PolyClipVertex out[4];
        ASSERT_EQ(p.pass(3, tri, out, bound), 4);
        // The walk starts with the edge 2 -> 0: the cut entering, corners 0
        // and 1, then the cut leaving (1 -> 2).
        EXPECT_TRUE(Same(out[1], tri[0]));
        EXPECT_TRUE(Same(out[2], tri[1]));
        for (int k : {0, 3}) {
            EXPECT_EQ(Along(p, out[k]), bound);
            // Halfway along the edge: t = 0.5.
            EXPECT_FLOAT_EQ(out[k].u, 1000);
            EXPECT_FLOAT_EQ(out[k].v, 2000);
            EXPECT_FLOAT_EQ(out[k].shade, 50);
            EXPECT_FLOAT_EQ(out[k].depth, 25);
        }
        EXPECT_NEAR(Across(p, out[0]), 250, 1.0 / 128);
        EXPECT_NEAR(Across(p, out[3]), 750, 1.0 / 128);
    }
}

TEST(PolyClip, AllCornersBeyondGivesNothing) {
    for (const Pass& p : kPasses) {
        const PolyClipVertex tri[3] = {At(p, 100 - In(p) * 5, 0), At(p, 100 - In(p) * 6, 10), At(p, 100 - In(p) * 1, 20)};
        PolyClipVertex out[4];
        EXPECT_EQ(p.pass(3, tri, out, 100), 0) << p.name;
    }
}

TEST(PolyClip, CornerOnTheBoundIsKeptWithoutACut) {
    for (const Pass& p : kPasses) {
        const PolyClipVertex tri[3] = {At(p, 100, 0), At(p, 100 + In(p) * 50, 10), At(p, 100 + In(p) * 20, 40)};
        PolyClipVertex out[4];
        ASSERT_EQ(p.pass(3, tri, out, 100), 3) << p.name;
        for (int k = 0; k < 3; k++) EXPECT_TRUE(Same(out[k], tri[k])) << p.name;
    }
}

TEST(PolyClip, EdgeResults) {
    for (const Pass& p : kPasses) {
        SCOPED_TRACE(p.name);
        const PolyClipVertex in1 = At(p, 10 + In(p) * 4, 0, 0, 0, 10, 0);
        const PolyClipVertex in2 = At(p, 10 + In(p) * 8, 8, 0, 0, 20, 0);
        const PolyClipVertex out1 = At(p, 10 - In(p) * 4, 4, 8, 0, 30, 0);
        const PolyClipVertex out2 = At(p, 10 - In(p) * 2, 6, 0, 0, 40, 0);
        PolyClipVertex cut = CV(-1, -1, -1, -1, -1, -1);
        EXPECT_EQ(p.edge(&in1, &in2, &cut, 10), POLY_EDGE_INSIDE);
        EXPECT_EQ(p.edge(&out1, &out2, &cut, 10), POLY_EDGE_OUTSIDE);
        EXPECT_EQ(cut.shade, -1);  // nothing written
        EXPECT_EQ(p.edge(&out1, &in1, &cut, 10), POLY_EDGE_ENTERS);
        EXPECT_EQ(Along(p, cut), 10);
        EXPECT_FLOAT_EQ(Across(p, cut), 2);  // t = 0.5: the averages
        EXPECT_FLOAT_EQ(cut.u, 4);
        EXPECT_FLOAT_EQ(cut.shade, 20);
        EXPECT_EQ(p.edge(&in1, &out1, &cut, 10), POLY_EDGE_LEAVES);
        EXPECT_EQ(Along(p, cut), 10);
        EXPECT_FLOAT_EQ(cut.shade, 20);
    }
}

// Four passes against a clip rectangle, as the world renderer runs them:
// every vertex ends inside, the count stays within the alternating arrays.
TEST(PolyClip, FourPassesKeepEveryVertexInsideTheRectangle) {
    const float x1 = 16 * 128, y1 = 8 * 128, x2 = 300 * 128 + 64, y2 = 200 * 128 + 1;
    uint32_t seed = 12345;
    auto rnd = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return (float)((int)((seed >> 8) % (uint32_t)range) - range / 4);
    };
    for (int iter = 0; iter < 500; iter++) {
        PolyClipVertex a[8], b[8];
        for (int k = 0; k < 3; k++) a[k] = CV(rnd(400 * 128), rnd(260 * 128));
        int32_t n = poly_ClipXMin(3, a, b, x1);
        if (n) n = poly_ClipXMax(n, b, a, x2);
        if (n) n = poly_ClipYMin(n, a, b, y1);
        if (n) n = poly_ClipYMax(n, b, a, y2);
        ASSERT_LE(n, 7);
        for (int k = 0; k < n; k++) {
            EXPECT_GE(a[k].x, x1);
            EXPECT_LE(a[k].x, x2);
            EXPECT_GE(a[k].y, y1);
            EXPECT_LE(a[k].y, y2);
        }
    }
}

// A polygon that crosses the bound six times would give nine vertices; the
// pass stops at count + 1, the room the caller was asked for.
TEST(PolyClip, PassNeverWritesMoreThanCountPlusOne) {
    const PolyClipVertex comb[6] = {CV(10, 0), CV(0, 1), CV(10, 2), CV(0, 3), CV(10, 4), CV(0, 5)};
    PolyClipVertex out[10];
    for (auto& v : out) v = CV(-7, -7);
    int32_t n = poly_ClipXMin(6, comb, out, 5);
    EXPECT_EQ(n, 7);
    EXPECT_EQ(out[7].x, -7);
    EXPECT_EQ(poly_ClipXMin(0, comb, out, 5), 0);
}

TEST(PolyClip, SegmentAgainstTheNearPlane) {
    PolyClipPoint3 a{3, 6, 0.5f}, b{6, 12, 2.0f}, cut{};
    // First end behind: replaced by the point a third of the way along.
    ASSERT_EQ(poly_ClipSegmentNear(&a, &b, 1.0f, &cut), 1);
    EXPECT_FLOAT_EQ(cut.x, 4);
    EXPECT_FLOAT_EQ(cut.y, 8);
    EXPECT_EQ(cut.z, 1.0f);
    ASSERT_EQ(poly_ClipSegmentNear(&b, &a, 1.0f, &cut), 2);
    EXPECT_FLOAT_EQ(cut.x, 4);
    EXPECT_FLOAT_EQ(cut.y, 8);
    PolyClipPoint3 c{0, 0, 1.0f}, d{1, 1, 5.0f}, e{0, 0, 0.25f};
    EXPECT_EQ(poly_ClipSegmentNear(&c, &d, 1.0f, &cut), 0);  // on the plane counts as in front
    EXPECT_EQ(poly_ClipSegmentNear(&e, &a, 1.0f, &cut), -1);
}

TEST(PolyClip, SegmentAgainstTheFarPlaneMirrorsTheNear) {
    PolyClipPoint3 a{3, 6, 0.5f}, b{6, 12, 2.0f}, cut{};
    ASSERT_EQ(poly_ClipSegmentFar(&a, &b, 1.0f, &cut), 2);  // B beyond: cut
    EXPECT_FLOAT_EQ(cut.x, 4);
    EXPECT_FLOAT_EQ(cut.y, 8);
    EXPECT_EQ(cut.z, 1.0f);
    ASSERT_EQ(poly_ClipSegmentFar(&b, &a, 1.0f, &cut), 1);
    PolyClipPoint3 n1{0, 0, 0.1f}, n2{0, 0, 1.0f}, f1{0, 0, 3}, f2{0, 0, 4};
    EXPECT_EQ(poly_ClipSegmentFar(&n1, &n2, 1.0f, &cut), 0);
    EXPECT_EQ(poly_ClipSegmentFar(&f1, &f2, 1.0f, &cut), -1);
}

}  // namespace
