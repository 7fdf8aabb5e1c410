// Fixed-point angles and trigonometry.
#include "base/fix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "display/dsurf.h"
#include "render/view.h"

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr int32_t IMIN = std::numeric_limits<int32_t>::min();
constexpr int32_t IMAX = std::numeric_limits<int32_t>::max();

TEST(FixTables, SineTableFollowsTheRuleWithPeaksBelowOne) {
    const int32_t* t = fix_SinTable();
    for (int i = 0; i < 769; i++) {
        double want = std::trunc(65536.0 * std::sin(2.0 * PI * i / 512.0));
        EXPECT_LE(std::fabs(t[i] - want), 1.0) << i;
    }
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[128], 65535);
    EXPECT_EQ(t[384], -65535);
    EXPECT_EQ(t[640], 65535);
    EXPECT_EQ(t[768], 0);
}

TEST(FixTables, ArcTangentTableEndsAt16381) {
    const uint16_t* t = fix_AtanTable();
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[2048], 9672);
    EXPECT_EQ(t[4095], 16381);
    EXPECT_EQ(t[4096], 16381);
    for (int i = 1; i <= 4096; i++) EXPECT_GE(t[i], t[i - 1]);
}

TEST(FixSin, MasksAnglesAndInterpolates) {
    struct Case {
        int32_t angle;
        int32_t want;
    } cases[] = {
        {0, 0},
        {0x800000, 65535},
        {0x2000000, 0},                 // a whole turn masks to 0
        {0x2800000, 65535},             // one turn and a quarter
        {-0x800000, -65535},            // masks to three quarters
        {0x1000000, 0},
        {0x8000, 804 / 2},              // half a table step: T[0] + (T[1] - T[0]) / 2
        {IMIN, 0},                      // low 25 bits all zero
    };
    ASSERT_EQ(fix_SinTable()[1], 804);
    for (const Case& c : cases) EXPECT_EQ(fix_Sin(c.angle), c.want) << std::hex << c.angle;
    // Interpolation between T[i] and T[i+1] floors the 64-bit product: going
    // down from the peak the fraction gives a value below T[128].
    int32_t a = 0x800000 + 0x10000 * 3 + 0xC000;
    const int32_t* t = fix_SinTable();
    int64_t d = (int64_t)t[132] - t[131];
    EXPECT_EQ(fix_Sin(a), (int32_t)(t[131] + ((d * 0xC000) >> 16)));
}

TEST(FixSin, SinCosBlockReadsTheCosineQuarterTurnAhead) {
    FixSinCosBlock b;
    fix_SinCosAnglesC(0, 0x800000, 0x1800000 + FIX_TURN, &b);
    EXPECT_EQ(b.sinA, 0);
    EXPECT_EQ(b.cosA, 65535);
    EXPECT_EQ(b.sinB, 65535);
    EXPECT_EQ(b.cosB, 0);
    EXPECT_EQ(b.sinC, -65535);
    EXPECT_EQ(b.cosC, 0);
    // Largest table index the cosine reads: angle just below a full turn.
    fix_SinCosAngles(FIX_TURN - 1, 0, 0, &b);
    EXPECT_NEAR(b.cosA, 65535, 2);
    EXPECT_NEAR(b.sinA, 0, 2);
}

TEST(FixAtan2, SpecifiedPoints) {
    struct Case {
        int32_t a, b, want, octant;
    } cases[] = {
        {0, 0, 0, 0},
        {0, -1, 0, 0},
        {-1, 0, 0x800000, 1},
        {0, 1, 0x1000000, 3},
        {1, 0, 0x1800000, 5},     // on the boundary the comparisons decide
        {-1, -1, (0x8000 - 16381) * 256, 1},
        {-1, -2, 9672 * 256, 0},
        // a > 0, b < 0, -b >= a with a tiny ratio: 0 instead of a full turn.
        {1, -10000, 0, 7},
        {1, -4000, (0x20000 - 5) * 256, 7},   // ratio 1/4096: entry 1 is 5
    };
    ASSERT_EQ(fix_AtanTable()[1], 5);
    for (const Case& c : cases) {
        EXPECT_EQ(fix_Atan2(c.a, c.b), c.want) << c.a << "," << c.b;
        EXPECT_EQ(fix_Octant(c.a, c.b), c.octant) << c.a << "," << c.b;
    }
}

TEST(FixAtan2, MatchesTheDirectionInEveryOctant) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int32_t> any(-1000000, 1000000);
    int seen[8] = {};
    for (int n = 0; n < 20000; n++) {
        int32_t a = any(rng), b = any(rng);
        if (a == 0 && b == 0) continue;
        int32_t t = fix_Atan2(a, b);
        ASSERT_GE(t, 0);
        ASSERT_LT(t, (int32_t)FIX_TURN);
        double want = std::atan2(-(double)a, -(double)b) / (2.0 * PI);
        if (want < 0) want += 1.0;
        double diff = std::fabs(t / (double)FIX_TURN - want);
        diff = std::fmin(diff, 1.0 - diff);
        // The table steps are 1/4096 of the ratio: a few table units at most.
        ASSERT_LT(diff * FIX_TURN, 8 * 256) << a << "," << b;
        if (t != 0) {
            EXPECT_EQ(fix_Octant(a, b), t >> 22) << a << "," << b;
        }
        seen[fix_Octant(a, b)]++;
    }
    for (int o = 0; o < 8; o++) EXPECT_GT(seen[o], 0) << o;
}

TEST(FixAtan2, ExtremeComponentsDoNotOverflow) {
    EXPECT_EQ(fix_Atan2(IMIN, 0), 0x800000);
    EXPECT_EQ(fix_Atan2(0, IMIN), 0);
    EXPECT_EQ(fix_Atan2(IMIN, IMIN), (0x8000 - 16381) * 256);
    EXPECT_EQ(fix_Atan2(IMAX, 0), 0x1800000);
}

TEST(FixLength, ApproximateAndExact) {
    struct Case {
        FixVec3 v;
        int32_t approx, exact;
    } cases[] = {
        {{0, 0, 0}, 1, 0},
        {{3, -4, 0}, 4, 5},
        {{100, 0, 0}, 100, 100},
        {{-16, 16, 16}, 26, 28},
        {{0, 0, -300}, 300, 300},
        {{IMIN, IMIN, IMIN}, IMAX, IMAX},   // saturates
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fix_ApproxLength(&c.v), c.approx);
        EXPECT_EQ(fix_LengthExact(&c.v), c.exact);
    }
}

TEST(FixLength, NormalizeGivesSixteenSixteenUnitVectors) {
    FixVec3 v = {1000, 0, 0};
    fix_Normalize(&v);
    EXPECT_EQ(v.x, 65536);
    FixVec3 z = {0, 0, 0};
    fix_Normalize(&z);
    EXPECT_EQ(z.x, 0);
    EXPECT_EQ(z.y, 0);
    EXPECT_EQ(z.z, 0);
    // Exact: 3-4-5 triangle, quotients truncated toward zero.
    FixVec3 e = {-3000, 4000, 0};
    fix_NormalizeExact(&e);
    EXPECT_EQ(e.x, -39321);
    EXPECT_EQ(e.y, 52428);
    fix_NormalizeExact(&z);
    EXPECT_EQ(z.x, 0);
    // The approximation overestimates: components of the largest vectors stay
    // within the 16.16 unit.
    FixVec3 big = {IMIN, IMAX, IMIN};
    fix_Normalize(&big);
    EXPECT_GE(big.x, -65536);
    EXPECT_LE(big.y, 65536);
}

TEST(FixDot, FloorsEachProduct) {
    FixVec3 a = {65536, 0, 0}, b = {65536, 0, 0};
    EXPECT_EQ(fix_Dot(&a, &b), 65536);
    FixVec3 c = {-1, -1, -1}, d = {1, 1, 1};
    EXPECT_EQ(fix_Dot(&c, &d), -3);  // each -1 >> 16 is -1
    FixVec3 e = {32768, 32768, 0}, f = {65536, 65536, 65536};
    EXPECT_EQ(fix_Dot(&e, &f), 65536);
}

TEST(FixTriangle, NormalOfAnAxisTriangle) {
    FixVec3 p0 = {0, 0, 0}, p1 = {-1000, 0, 0}, p2 = {0, -1000, 0}, out;
    fix_TriangleNormal(&p0, &p1, &p2, &out);
    EXPECT_EQ(out.x, 0);
    EXPECT_EQ(out.y, 0);
    EXPECT_EQ(out.z, 65536);
    // Corners far apart across the wrap of the world do not overflow.
    FixVec3 q0 = {IMAX, 0, 0}, q1 = {IMIN, 0, 0}, q2 = {IMAX, IMIN, 0};
    fix_TriangleNormal(&q0, &q1, &q2, &out);
    EXPECT_EQ(out.x, 0);
    EXPECT_EQ(out.y, 0);
}

class FixRotate : public ::testing::Test {
protected:
    void Load(int32_t h, int32_t p, int32_t r) {
        FixSinCosBlock b;
        fix_SinCosAngles(h, p, r, &b);
        fix_TrigToDoubleC(&b);
    }
};

TEST_F(FixRotate, QuarterTurnsAboutEachAxis) {
    Load(0x800000, 0x800000, 0x800000);
    FixVec3 v = {1000, 5, 7}, out;
    fix_RotateAboutY(&v, &out);   // x' = z cos + ..., z' = -x sin
    EXPECT_EQ(out.x, 7);
    EXPECT_EQ(out.y, 5);
    EXPECT_EQ(out.z, -1000);
    fix_RotateAboutX(&v, &out);   // y' = z sin, z' = -y sin
    EXPECT_EQ(out.x, 1000);
    EXPECT_EQ(out.y, 7);
    EXPECT_EQ(out.z, -5);
    fix_RotateAboutZ(&v, &out);   // x' = -y sin, y' = x sin
    EXPECT_EQ(out.x, -5);
    EXPECT_EQ(out.y, 1000);
    EXPECT_EQ(out.z, 7);
    // In place.
    fix_RotateAboutYC(&v, &v);
    EXPECT_EQ(v.x, 7);
    EXPECT_EQ(v.z, -1000);
}

TEST_F(FixRotate, InverseWithNegatedAnglesUndoesRotateAll) {
    const int32_t h = 0x123456, p = -0x234567, r = 0x345678;
    FixVec3 v = {100000, -200000, 300000}, w;
    Load(h, p, r);
    fix_RotateAll(&w, &v);
    EXPECT_NE(w.x, v.x);
    Load(-h, -p, -r);
    fix_RotateAllInverse(&w, &w);
    // The 16.16 sines lose about one part in 10^4 over six turns.
    EXPECT_NEAR(w.x, v.x, 100);
    EXPECT_NEAR(w.y, v.y, 100);
    EXPECT_NEAR(w.z, v.z, 100);
}

TEST_F(FixRotate, HugeVectorsSaturateInsteadOfOverflowing) {
    Load(0x400000, 0, 0);   // 45 degrees: x + z grows by sqrt 2
    FixVec3 v = {IMAX, 0, IMAX}, out;
    fix_RotateAboutY(&v, &out);
    EXPECT_EQ(out.x, IMAX);
}

class FixProject : public ::testing::Test {
protected:
    void SetUp() override {
        saved = draw_CurrentSurface;
        savedNear = ViewNearDistance;
    }
    void TearDown() override {
        draw_CurrentSurface = saved;
        ViewNearDistance = savedNear;
    }
    void View(int32_t focal, int32_t cx, int32_t cy, int32_t nearZ) {
        draw_CurrentSurface.xScale = focal;
        draw_CurrentSurface.centreXF = cx;
        draw_CurrentSurface.centreYF = cy;
        ViewNearDistance = nearZ;
    }
    _DRAW_SURFACE saved;
    int32_t savedNear;
};

TEST_F(FixProject, ScalesByFocalOverDepthInSevenBitFractions) {
    View(256, 160 * 128, 100 * 128, 16);
    FixVec3 p = {100, 50, 1000};
    FixScreenPoint s;
    fix_ProjectToScreen(&p, &s);
    EXPECT_EQ(s.x, 160 * 128 + 3276);
    EXPECT_EQ(s.y, 100 * 128 - 1639);   // arithmetic shift floors
    // Depth below the near distance is raised to it.
    FixVec3 q = {1, 1, -50};
    FixVec3 qn = {1, 1, 16};
    FixScreenPoint a, b;
    fix_ProjectToScreenC(&q, &a);
    fix_ProjectToScreen(&qn, &b);
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
}

TEST_F(FixProject, ExtremePointsSaturate) {
    // A focal factor too large for the depth holds the largest scale, and a
    // near distance of 0 does not divide by zero.
    View(256, 0, 0, 0);
    FixVec3 z = {IMAX, IMIN, 0};
    FixScreenPoint a;
    fix_ProjectToScreen(&z, &a);
    EXPECT_EQ(a.x, IMAX);
    EXPECT_EQ(a.y, IMAX);
    FixVec3 w = {IMIN, IMAX, 1};
    fix_ProjectToScreen(&w, &a);
    EXPECT_EQ(a.x, IMIN);
    EXPECT_EQ(a.y, IMIN);
}

TEST(FixAnglesFromVectors, LevelAndTurnedObjects) {
    struct Case {
        FixVec3 up, forward;
        FixAngles want;
    } cases[] = {
        {{0, 1, 0}, {0, 0, 1}, {0, 0, 0}},
        {{0, 65536, 0}, {0, 0, 65536}, {0, 0, 0}},
        {{0, 65536, 0}, {65536, 0, 0}, {0x800000, 0, 0}},
        {{0, 65536, 0}, {0, 0, -65536}, {0x1000000, 0, 0}},
    };
    for (Case& c : cases) {
        FixAngles a;
        fix_AnglesFromVectors(&c.up, &c.forward, &a);
        EXPECT_EQ(a.heading, c.want.heading);
        EXPECT_EQ(a.pitch, c.want.pitch);
        EXPECT_EQ(a.roll, c.want.roll);
    }
}

TEST(FixAnglesFromVectors, PitchUpAndRoll) {
    // Nose 30 degrees up, heading 0: forward (0, sin, cos), up (0, cos, -sin).
    const double s = std::sin(PI / 6), c = std::cos(PI / 6), k = 1 << 20;
    FixVec3 up = {0, (int32_t)(c * k), (int32_t)(-s * k)};
    FixVec3 fwd = {0, (int32_t)(s * k), (int32_t)(c * k)};
    FixAngles a;
    fix_AnglesFromVectors(&up, &fwd, &a);
    EXPECT_EQ(a.heading, 0);
    EXPECT_NEAR(a.pitch, FIX_TURN / 12, 2048);
    EXPECT_NEAR(a.roll, 0, 2048);
    // Rolled: up leans toward -x.
    FixVec3 up2 = {(int32_t)(-s * k), (int32_t)(c * k), 0};
    FixVec3 fwd2 = {0, 0, (int32_t)k};
    fix_AnglesFromVectors(&up2, &fwd2, &a);
    EXPECT_EQ(a.heading, 0);
    EXPECT_EQ(a.pitch, 0);
    EXPECT_NEAR(a.roll, FIX_TURN / 12, 2048);
}

}  // namespace
