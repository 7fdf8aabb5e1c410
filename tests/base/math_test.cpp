// Float vector and matrix library.
#include "base/math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "display/evp.h"

namespace {

constexpr float EPS = 1e-4f;
const float NaN = std::numeric_limits<float>::quiet_NaN();

void ExpectVec(const MathVec3& v, float x, float y, float z, float eps = EPS) {
    EXPECT_NEAR(v.x, x, eps);
    EXPECT_NEAR(v.y, y, eps);
    EXPECT_NEAR(v.z, z, eps);
}

MathVec3 Row(const MathMat33& m, int i) {
    return {m.m[i][0], m.m[i][1], m.m[i][2]};
}

void ExpectMat(const MathMat33& a, const MathMat33& b, float eps = EPS) {
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++) EXPECT_NEAR(a.m[i][j], b.m[i][j], eps) << i << "," << j;
}

TEST(MathRandom, RotateAddGeneratorsKeepTheirOwnSeeds) {
    math_RandomReset();
    const uint32_t want[] = {0x2aaa98cb, 0xfb879103, 0xc07d86f9, 0x65aaa7e5, 0xd74e9895};
    for (uint32_t w : want) EXPECT_EQ(math_Random(), w);
    // The second generator starts from the same seed and is not moved by the first.
    EXPECT_EQ(math_Random2(), want[0]);
    EXPECT_EQ(math_Random2(), want[1]);
    EXPECT_EQ(math_Random(), 0x609a3a7au);
}

TEST(MathRandom, SixteenBitStreamAndRanges) {
    math_RandomReset();
    const int32_t want[] = {1, 22322, 44691, 24356, 29157};
    for (int32_t w : want) EXPECT_EQ(math_RandomNext(), w);

    math_RandomReset();
    EXPECT_EQ(math_RandomRange(5, 5), 5);     // no draw
    EXPECT_EQ(math_RandomRange(9, 3), 9);     // no draw
    EXPECT_EQ(math_RandomNext(), 1);          // still the first value
    math_RandomReset();
    EXPECT_EQ(math_RandomRange(10, 19), 10 + 1 % 10);
    EXPECT_EQ(math_RandomRange(10, 19), 10 + 22322 % 10);
    for (int i = 0; i < 1000; i++) {
        int32_t r = math_RandomRange(-3, 4);
        EXPECT_GE(r, -3);
        EXPECT_LE(r, 4);
    }
    // The whole integer range does not overflow the span.
    int32_t r = math_RandomRange(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    EXPECT_GE(r, std::numeric_limits<int32_t>::min());
    math_RandomSetFixed(1);
    EXPECT_EQ(math_RandomRange(10, 19), 10);
    math_RandomReset();
}

TEST(MathScalar, WrapAngle) {
    struct Case {
        float in, want;
    } cases[] = {
        {-30.0f, 330.0f}, {720.0f, 0.0f}, {360.0f, 0.0f},   {359.5f, 359.5f},
        {-720.0f, 0.0f},  {1e30f, 0.0f},  {-1e30f, 0.0f},   {NaN, 0.0f},
        {0.0f, 0.0f},     {3600.5f, 0.5f},
    };
    for (const Case& c : cases) EXPECT_FLOAT_EQ(math_WrapAngle(c.in), c.want) << c.in;
}

TEST(MathScalar, AnglesAndTrigInDegrees) {
    EXPECT_FLOAT_EQ(math_AcosDegrees(1.5f), 0.0f);
    EXPECT_FLOAT_EQ(math_AcosDegrees(-2.0f), 180.0f);
    EXPECT_NEAR(math_AcosDegrees(0.0f), 90.0f, EPS);
    EXPECT_NEAR(math_Atan2Degrees(1.0f, 1.0f), 45.0f, EPS);
    EXPECT_NEAR(math_Atan2Degrees(1.0f, -1.0f), 135.0f, EPS);
    EXPECT_NEAR(math_Atan2Degrees(-1.0f, -1.0f), -135.0f, EPS);
    EXPECT_NEAR(math_Atan2Degrees(-1.0f, 1.0f), -45.0f, EPS);
    EXPECT_NEAR(math_SinDegrees(30.0f), 0.5f, 1e-4f);
    EXPECT_NEAR(math_CosDegrees(60.0f), 0.5f, 1e-4f);
    float u = 1.0f, v = 0.0f;
    math_RotatePairDegrees(&u, &v, 90.0f);
    EXPECT_NEAR(u, 0.0f, 1e-6f);
    EXPECT_NEAR(v, 1.0f, 1e-6f);
    math_RotatePairDegreesNeg(&u, &v, 90.0f);
    EXPECT_NEAR(u, 1.0f, 1e-6f);
    EXPECT_NEAR(v, 0.0f, 1e-6f);
    EXPECT_EQ(math_IsNan(NaN), 1);
    EXPECT_EQ(math_IsNan(1.0f), 0);
}

TEST(MathScalar, ClampsStepsAndLerp) {
    EXPECT_EQ(math_Min(2.0f, -1.0f), -1.0f);
    EXPECT_EQ(math_Max(2.0f, -1.0f), 2.0f);
    EXPECT_EQ(math_Clamp(5.0f, 0.0f, 3.0f), 3.0f);
    EXPECT_EQ(math_Clamp(-5.0f, 0.0f, 3.0f), 0.0f);
    EXPECT_EQ(math_Clamp(1.0f, 0.0f, 3.0f), 1.0f);
    EXPECT_EQ(math_AddUpTo(9.0f, 2.0f, 10.0f), 10.0f);
    EXPECT_EQ(math_AddUpTo(7.0f, 2.0f, 10.0f), 9.0f);
    EXPECT_EQ(math_SubDownTo(1.0f, 2.0f, 0.0f), 0.0f);
    EXPECT_EQ(math_SubDownTo(5.0f, 2.0f, 0.0f), 3.0f);
    EXPECT_EQ(math_AddClamp(5.0f, -10.0f, -2.0f, 2.0f), -2.0f);
    EXPECT_FLOAT_EQ(math_Lerp(0.0f, 10.0f, 100.0f, 200.0f, 2.5f), 125.0f);
    EXPECT_FLOAT_EQ(math_Lerp(4.0f, 4.0f, 7.0f, 9.0f, 4.0f), 7.0f);   // no slope
    EXPECT_FLOAT_EQ(math_HalfRelativeDiff(2.0f, 4.0f), 2.0f);       // 4 * 2 / 4
}

TEST(MathScalar, FastSqrtIsWithinItsTableStep) {
    const float values[] = {4.0f, 2.0f, 0.25f, 100.0f, 1e-10f, 3.0e30f, 1.0f, 7.77f};
    for (float v : values) {
        float r = math_FastSqrt(v);
        // Seven mantissa bits pick the entry: at most one part in 128 off.
        EXPECT_NEAR(r, std::sqrt(v), std::sqrt(v) / 128.0f) << v;
    }
    EXPECT_FLOAT_EQ(math_FastSqrt(4.0f), 2.0f);
    EXPECT_FLOAT_EQ(math_FastSqrt(1.0f), 1.0f);
    EXPECT_EQ(math_FastSqrt(0.0f), 0.0f);
    EXPECT_EQ(math_FastSqrt(-4.0f), 0.0f);
}

TEST(MathVector, NormaliseSetAndClampLengths) {
    MathVec3 z = {0, 0, 0};
    math_Vec3Normalize(&z);
    ExpectVec(z, 0, 0, 0);
    MathVec3 v = {3, 4, 0};
    math_Vec3Normalize(&v);
    ExpectVec(v, 0.6f, 0.8f, 0);

    MathVec3 a = {3, 4, 0};
    math_Vec3SetLength(&a, 10.0f);
    ExpectVec(a, 6, 8, 0);
    math_Vec3SetLength(&a, 0.0f);
    ExpectVec(a, 0, 0, 0);
    math_Vec3SetLength(&z, 5.0f);
    ExpectVec(z, 0, 0, 0);

    MathVec3 c = {3, 4, 0};
    math_Vec3ClampLength(&c, 10.0f);   // shorter: kept
    ExpectVec(c, 3, 4, 0);
    math_Vec3ClampLength(&c, 2.5f);
    ExpectVec(c, 1.5f, 2.0f, 0);
    math_Vec3ClampLength(&c, 0.0f);
    ExpectVec(c, 0, 0, 0);

    MathVec2 d = {30, 40};
    math_Vec2ClampLength(&d, 5.0f);
    EXPECT_NEAR(d.x, 3.0f, EPS);
    EXPECT_NEAR(d.y, 4.0f, EPS);
    MathVec2 e = {0, 0};
    math_Vec2Normalize(&e);
    EXPECT_EQ(e.x, 0.0f);
}

TEST(MathVector, ArithmeticAndLengths) {
    MathVec3 a = {1, 2, 3}, b = {4, 6, 8};
    math_Vec3Add(&a, &b);
    ExpectVec(a, 5, 8, 11);
    math_Vec3Sub(&a, &b);
    ExpectVec(a, 1, 2, 3);
    math_Vec3SubReverse(&a, &b);
    ExpectVec(a, 3, 4, 5);
    math_Vec3Average(&a, &b);
    ExpectVec(a, 3.5f, 5, 6.5f);
    math_Vec3ScaleXZ(&a, 2.0f);
    ExpectVec(a, 7, 5, 13);
    MathVec3 l, p = {0, 0, 0}, q = {10, 20, 30};
    math_Vec3Lerp(&l, &p, &q, 0.25f);
    ExpectVec(l, 2.5f, 5, 7.5f);
    MathVec3 x = {1, 0, 0}, y = {0, 1, 0}, out;
    math_CrossProduct(&x, &y, &out);
    ExpectVec(out, 0, 0, 1);
    math_CrossProduct(&x, &y, &x);   // destination is a source
    ExpectVec(x, 0, 0, 1);
    EXPECT_FLOAT_EQ(math_Dot3(&b, &b), 116.0f);
    EXPECT_FLOAT_EQ(math_Length3(2, 3, 6), 7.0f);
    EXPECT_FLOAT_EQ(math_Length2D(3, 4), 5.0f);
    EXPECT_EQ(math_Length2D(0, 0), 0.0f);
    EXPECT_EQ(math_Length3(NaN, 0, 0), 0.0f);
    MathVec2 m = {1, 1}, n = {4, 5};
    EXPECT_FLOAT_EQ(math_Distance2D(&m, &n), 5.0f);
    MathVec3 r = {1, 1, 1}, s = {3, 4, 7};
    EXPECT_FLOAT_EQ(math_Distance3D(&r, &s), 7.0f);
    MathMat33 id;
    math_Mat33Identity(&id);
    MathVec3 t = {0, 0, 0};
    math_Vec3AddRow2Scaled(&t, &id, 3.0f);
    math_Vec3SubRow0Scaled(&t, &id, 2.0f);
    math_Vec3AddY(&t, 1.0f);
    ExpectVec(t, -2, 1, 3);
}

TEST(MathFrame, MoveAlongRowsAndTransformPoints) {
    MathFrame f;
    math_FrameIdentity(&f);
    math_FrameMoveRow3(&f, 10.0f);
    ExpectVec(f.pos, 0, 0, 10);
    math_FrameMoveRow1Back(&f, 2.0f);
    ExpectVec(f.pos, -2, 0, 10);

    // A frame turned 90 degrees about y (heading 90): its forward axis is +x.
    math_Mat33FromAngles(&f.rot, 0, 0, 90);
    ExpectVec(Row(f.rot, 2), 1, 0, 0);
    MathVec3 p = {0, 0, 5}, w, back;
    math_FramePointToWorld(&f, &p, &w);
    ExpectVec(w, 3, 0, 10);
    math_FramePointToLocal(&f, &w, &back);
    ExpectVec(back, 0, 0, 5);
    math_FrameDirToWorld(&f, &p, &w);
    ExpectVec(w, 5, 0, 0);
    math_FrameDirToLocal(&f, &w, &w);   // in place
    ExpectVec(w, 0, 0, 5);

    MathVec3 marks[3];
    math_FrameMarkerPoints(&f, 4.0f, marks);
    ExpectVec(marks[0], -2, 0, 10);
    ExpectVec(marks[1], 2, 0, 10);
    ExpectVec(marks[2], -2, 2, 10);
}

TEST(MathMatrix, AnglesRoundTrip) {
    struct Case {
        float a, b, c;   // roll, pitch, heading
    } cases[] = {
        {0, 0, 0}, {10, 20, 30}, {350, 45, 200}, {90, -30, 270}, {180, 80, 10},
    };
    for (const Case& k : cases) {
        MathMat33 m;
        math_Mat33FromAngles(&m, k.a, k.b, k.c);
        EXPECT_EQ(math_FrameCheck(&m), 0);
        MathVec3 ang;
        math_Mat33ToAngles(&m, &ang);
        EXPECT_NEAR(ang.x, math_WrapAngle(k.c), 1e-2f) << k.c;
        EXPECT_NEAR(ang.y, math_WrapAngle(k.b), 1e-2f) << k.b;
        EXPECT_NEAR(math_WrapAngle(ang.z + 0.005f), math_WrapAngle(k.a + 0.005f), 1e-2f) << k.a;
        MathMat33 again;
        math_Mat33FromAngles(&again, ang.z, ang.y, ang.x);
        ExpectMat(again, m, 1e-4f);
    }
    // Pitch up points the forward row up.
    MathMat33 m;
    math_Mat33FromAngles(&m, 0, 30, 0);
    ExpectVec(Row(m, 2), 0, 0.5f, std::sqrt(3.0f) / 2);
}

TEST(MathMatrix, FrameCheckReportsTheFirstFault) {
    MathMat33 m;
    math_Mat33Identity(&m);
    EXPECT_EQ(math_FrameCheck(&m), 0);
    struct Case {
        int i, j;
        float v;
        int32_t want;
    } cases[] = {
        {1, 1, NaN, -5},
        {2, 2, NaN, -9},
        {0, 0, 1.001f, -10},
        {1, 1, 0.5f, -11},
        {2, 2, 1.0002f, -12},
        {0, 1, 0.001f, -13},   // row 0 still of unit length, but leaning on row 1
    };
    for (const Case& c : cases) {
        MathMat33 k = m;
        k.m[c.i][c.j] = c.v;
        EXPECT_EQ(math_FrameCheck(&k), c.want) << c.i << c.j;
    }
    // Unit rows that are not at right angles.
    MathMat33 k = m;
    const float r = std::sqrt(0.5f);
    k.m[1][0] = r;
    k.m[1][1] = r;
    EXPECT_EQ(math_FrameCheck(&k), -13);
    k = m;
    k.m[2][1] = r;
    k.m[2][2] = r;
    EXPECT_EQ(math_FrameCheck(&k), -14);
    k = m;
    k.m[2][0] = r;
    k.m[2][2] = r;
    EXPECT_EQ(math_FrameCheck(&k), -15);
}

TEST(MathMatrix, ProductsAndInPlaceForms) {
    MathMat33 a, b, out, want;
    math_Mat33FromAngles(&a, 10, 20, 30);
    math_Mat33FromAngles(&b, -40, 5, 100);
    math_Mat33Mul(&a, &b, &out);
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++) {
            double s = 0;
            for (int k = 0; k < 3; k++) s += (double)a.m[i][k] * b.m[k][j];
            want.m[i][j] = (float)s;
        }
    ExpectMat(out, want);
    // A B^T with B = A is the identity.
    math_Mat33MulT(&a, &a, &out);
    MathMat33 id;
    math_Mat33Identity(&id);
    ExpectMat(out, id);
    // m = n m, and m = n^T m.
    MathMat33 m = b;
    math_Mat33MulInPlace(&m, &a);
    math_Mat33Mul(&a, &b, &want);
    ExpectMat(m, want);
    MathMat33 t = a;
    math_Mat33Transpose(&t);
    m = b;
    math_Mat33MulInPlace2(&m, &a);
    math_Mat33Mul(&t, &b, &want);
    ExpectMat(m, want);
    // The output may be an input.
    m = a;
    math_Mat33Mul(&m, &b, &m);
    math_Mat33Mul(&a, &b, &want);
    ExpectMat(m, want);
    // Zero factors are skipped, so an infinity times 0 does not spoil a sum.
    MathMat33 inf = id;
    inf.m[0][1] = std::numeric_limits<float>::infinity();
    MathMat33 n = id;
    math_Mat33MulInPlace(&inf, &n);
    EXPECT_EQ(inf.m[1][1], 1.0f);
    // Vectors.
    MathVec3 v = {0, 0, 1};
    math_Mat33MulVec2(&a, &v);
    ExpectVec(v, a.m[2][0], a.m[2][1], a.m[2][2]);
    math_Mat33MulVec(&a, &v);
    ExpectVec(v, 0, 0, 1);
}

TEST(MathMatrix, RowAndColumnTurns) {
    MathMat33 m;
    math_Mat33Identity(&m);
    math_RotateRows02(&m, 90.0f);
    ExpectVec(Row(m, 0), 0, 0, 1, 1e-3f);
    ExpectVec(Row(m, 2), -1, 0, 0, 1e-3f);
    math_RotateRows02Neg(&m, 90.0f);
    ExpectVec(Row(m, 0), 1, 0, 0, 1e-3f);
    math_Mat33Identity(&m);
    math_RotateCols01(&m, 90.0f);
    ExpectVec(Row(m, 0), 0, -1, 0, 1e-3f);   // (u, v) = (1, 0) -> (c, -s)
    // A basis turn about row 2 of the identity: v about z.
    MathVec3 v = {1, 0, 0};
    MathMat33 id;
    math_Mat33Identity(&id);
    math_RotateAboutRow2(&v, &id, 90.0f);
    ExpectVec(v, 0, -1, 0, 1e-3f);
    math_RotateAboutRow2Neg(&v, &id, 90.0f);
    ExpectVec(v, 1, 0, 0, 1e-3f);
    // The matrix form turns every row; the basis may be the target.
    MathMat33 k = id;
    math_Mat33RotateAboutRow1(&k, &k, 30.0f);
    EXPECT_EQ(math_FrameCheck(&k), 0);
    ExpectVec(Row(k, 1), 0, 1, 0);
}

TEST(MathFrameOps, TurnTowardPointsTheThirdAxisAndKeepsTheFirstLevel) {
    MathFrame f;
    math_FrameIdentity(&f);
    math_Mat33FromAngles(&f.rot, 40, 10, 10);   // old orientation is dropped
    f.pos = {1, 2, 3};
    MathVec3 target = {11, 12, 13};
    math_FrameTurnToward(&target, &f);
    const float k = 1.0f / std::sqrt(3.0f);
    ExpectVec(Row(f.rot, 2), k, k, k, 1e-3f);
    EXPECT_NEAR(f.rot.m[0][1], 0.0f, 1e-5f);
    EXPECT_EQ(math_FrameCheck(&f.rot), 0);
    ExpectVec(f.pos, 1, 2, 3);
}

TEST(MathFrameOps, TurnUpTowardPointsTheSecondAxis) {
    MathFrame f;
    math_FrameIdentity(&f);
    math_Mat33FromAngles(&f.rot, 10, 20, 30);
    f.pos = {5, 0, 0};
    MathVec3 target = {5, 10, 10};
    math_FrameTurnUpToward(&target, &f);
    const float k = std::sqrt(0.5f);
    ExpectVec(Row(f.rot, 1), 0, k, k, 1e-3f);
    EXPECT_EQ(math_FrameCheck(&f.rot), 0);
}

TEST(MathFrameOps, LevelAndLevelUp) {
    MathFrame f;
    math_FrameIdentity(&f);
    math_Mat33FromAngles(&f.rot, 0, 0, 45);
    math_FrameLevel(&f);
    EXPECT_NEAR(f.rot.m[2][0], 0.0f, 1e-4f);

    // Rolled 30 degrees at heading 45: levelling puts row 1 straight up and
    // keeps the heading.
    MathMat33 m;
    math_Mat33FromAngles(&m, 30, 0, 45);
    math_Mat33LevelUp(&m);
    ExpectVec(Row(m, 1), 0, 1, 0, 1e-3f);
    MathVec3 ang;
    math_Mat33ToAngles(&m, &ang);
    EXPECT_NEAR(ang.x, 45.0f, 0.05f);
    EXPECT_EQ(math_FrameCheck(&m), 0);
    // Half of the way.
    math_Mat33FromAngles(&m, 30, 0, 0);
    math_Mat33LevelUpPartial(&m, 0.5f);
    MathVec3 up = {0, 1, 0}, r1 = Row(m, 1);
    EXPECT_NEAR(math_AngleBetween(&r1, &up), 15.0f, 0.05f);
    // Already up: nothing to turn.
    math_Mat33Identity(&m);
    math_Mat33LevelUp(&m);
    MathMat33 id;
    math_Mat33Identity(&id);
    ExpectMat(m, id);
}

TEST(MathFrameOps, TurnAboutMovesRowOneTowardTheVector) {
    MathMat33 m;
    math_Mat33Identity(&m);
    MathVec3 v = {1, 0, 0};
    math_Mat33TurnAbout(&v, &m, 90.0f);
    ExpectVec(Row(m, 1), 1, 0, 0, 1e-3f);
    EXPECT_EQ(math_FrameCheck(&m), 0);
    // Parallel: unchanged.
    MathVec3 up = {0, 5, 0};
    MathMat33 k;
    math_Mat33Identity(&k);
    math_Mat33TurnAbout(&up, &k, 45.0f);
    ExpectVec(Row(k, 1), 0, 1, 0);
}

TEST(MathFrameOps, MoveLevelUsesTheLevelledAxes) {
    MathFrame f;
    math_FrameIdentity(&f);
    math_Mat33FromAngles(&f.rot, 0, 30, 0);   // nose up 30 degrees
    math_FrameMoveLevelRow3(&f, 10.0f);
    ExpectVec(f.pos, 0, 0, 10, 1e-3f);
    math_FrameMoveLevelRow1(&f, 2.0f);
    ExpectVec(f.pos, 2, 0, 10, 1e-3f);
    math_FrameMoveLevelRow1Back(&f, 2.0f);
    math_FrameMoveLevelRow3Back(&f, 10.0f);
    ExpectVec(f.pos, 0, 0, 0, 1e-3f);
}

TEST(MathFrameOps, ComposeAndRelativeAreInverse) {
    MathFrame child, parent, world, back;
    math_FrameIdentity(&child);
    math_FrameIdentity(&parent);
    child.pos = {1, 2, 3};
    math_Mat33FromAngles(&child.rot, 5, 10, 15);
    parent.pos = {-4, 7, 100};
    math_Mat33FromAngles(&parent.rot, 20, -30, 250);
    math_FrameCompose(&child, &parent, &world);
    math_FrameRelative(&world, &parent, &back);
    ExpectVec(back.pos, 1, 2, 3, 1e-3f);
    ExpectMat(back.rot, child.rot, 1e-4f);
    // The composed position is the child's position taken into the world.
    MathVec3 p;
    math_FramePointToWorld(&parent, &child.pos, &p);
    ExpectVec(world.pos, p.x, p.y, p.z);
}

TEST(MathFrameOps, FrameFromTriangle) {
    MathVec3 a = {0, 0, 0}, b = {4, 0, 0}, c = {0, 3, 0};
    MathFrame f;
    math_FrameFromTriangle(&a, &b, &c, &f);
    ExpectVec(f.pos, 0, 0, 0);
    ExpectVec(Row(f.rot, 0), 0, 0, -1);
    ExpectVec(Row(f.rot, 1), 0, 1, 0);
    ExpectVec(Row(f.rot, 2), 1, 0, 0);
    // The corner opposite the longest edge is the position whatever the order.
    math_FrameFromTriangle(&c, &a, &b, &f);
    ExpectVec(f.pos, 0, 0, 0);
    ExpectVec(Row(f.rot, 2), 1, 0, 0);
    // Tie: Q is the first of the two other corners in argument order.
    MathVec3 p = {0, 0, 0}, q = {2, 0, 0}, r = {0, 2, 0};
    math_FrameFromTriangle(&p, &q, &r, &f);
    ExpectVec(Row(f.rot, 2), 1, 0, 0);
}

TEST(MathFrameOps, RelativeHeadingAndPitch) {
    MathMat33 id;
    math_Mat33Identity(&id);
    float h, p;
    MathVec3 ahead = {0, 0, 5};
    math_RelativeHeadingPitch(&ahead, &id, &h, &p);
    EXPECT_NEAR(h, 0.0f, EPS);
    EXPECT_NEAR(p, 0.0f, EPS);
    // Off to the side and up: the pitch is measured against the horizontal
    // distance, whichever angle is taken first.
    MathVec3 v = {1, 1, 1};
    const float up = (float)(std::atan(1.0 / std::sqrt(2.0)) * 57.29577951308232);
    math_RelativeHeadingPitch(&v, &id, &h, &p);
    EXPECT_NEAR(h, 315.0f, 1e-3f);
    EXPECT_NEAR(p, 360.0f - up, 1e-3f);
    float kh, kp;
    math_RelativeAngles(&kh, &kp);
    EXPECT_EQ(kh, h);
    EXPECT_EQ(kp, p);
    math_RelativePitchHeading(&v, &id, &h, &p);
    EXPECT_NEAR(p, 315.0f, 1e-3f);
    EXPECT_NEAR(h, 360.0f - up, 1e-3f);
    // The vector is read in the matrix's axes.
    MathMat33 turned;
    math_Mat33FromAngles(&turned, 0, 0, 90);   // forward is world +x
    MathVec3 x = {1, 0, 0};
    math_RelativeHeadingPitch(&x, &turned, &h, &p);
    EXPECT_NEAR(math_WrapAngle(h + 0.5f), 0.5f, 1e-3f);
    EXPECT_NEAR(math_WrapAngle(p + 0.5f), 0.5f, 1e-3f);
}

TEST(MathFrameOps, AngleBetweenRowsAndVectorHeadings) {
    MathMat33 id;
    math_Mat33Identity(&id);
    MathVec3 v = {0, 2, 2};
    EXPECT_NEAR(math_AngleToRow1(&v, &id), 45.0f, 1e-3f);
    EXPECT_NEAR(math_AngleToRow1Neg(&v, &id), 135.0f, 1e-3f);
    EXPECT_NEAR(math_AngleToRow0(&v, &id), 90.0f, 1e-3f);
    MathVec3 a = {1, 0, 0}, b = {0.5f, 0.5f, 0};
    EXPECT_NEAR(math_AngleBetween(&a, &b), 60.0f, 1e-3f);   // dot within [-1, 1]: taken as is
    MathVec3 x2 = {2, 0, 0}, mx = {-3, 0, 0}, y = {0, 1, 0};
    EXPECT_EQ(math_NotParallel(&a, &x2), 0);
    EXPECT_EQ(math_NotParallel(&a, &mx), 0);
    EXPECT_EQ(math_NotParallel(&a, &y), 1);
    MathVec3 d = {-1, 1, 0};
    EXPECT_NEAR(math_VectorHeading(&d), 270.0f, 1e-3f);
    float h, p;
    math_VectorHeadingPitch(&d, &h, &p);
    EXPECT_NEAR(p, 45.0f, 1e-3f);
}

TEST(MathLines, PlaneCrossings) {
    MathVec3 n = {0, 1, 0}, p = {0, 0, 0}, out;
    MathVec3 s = {1, 10, 2}, e = {1, 5, 2};
    EXPECT_EQ(math_LinePoint(&n, &p, &s, &e, &out), 0);
    ExpectVec(out, 1, 0, 2);
    EXPECT_EQ(math_RayIntersectPoint(&n, &p, &s, &e, &out), 0);
    ExpectVec(out, 1, 0, 2);
    // Going away: a line meets the plane behind, a ray fails but still
    // reports where.
    MathVec3 away = {1, 15, 2};
    EXPECT_EQ(math_LinePoint(&n, &p, &s, &away, &out), 0);
    ExpectVec(out, 1, 0, 2);
    EXPECT_EQ(math_RayIntersectPoint(&n, &p, &s, &away, &out), -1);
    ExpectVec(out, 1, 0, 2);
    // Along the plane: fails with a zero point.
    MathVec3 flat = {5, 10, 2};
    out = {9, 9, 9};
    EXPECT_EQ(math_LinePoint(&n, &p, &s, &flat, &out), -1);
    ExpectVec(out, 0, 0, 0);
    out = {9, 9, 9};
    EXPECT_EQ(math_RayIntersectPoint(&n, &p, &s, &flat, &out), -1);
    ExpectVec(out, 0, 0, 0);
    // The start on the plane: t = 0 is not ahead.
    MathVec3 on = {3, 0, 3}, below = {3, -1, 3};
    EXPECT_EQ(math_RayIntersectPoint(&n, &p, &on, &below, &out), -1);

    float a, b;
    MathVec3 m = {2, 0, 0}, pa = {1, 1, 1}, pb = {4, 3, 1};
    math_DotOfDifference(&n, &m, &pa, &pb, &a, &b);
    EXPECT_FLOAT_EQ(a, 2.0f);
    EXPECT_FLOAT_EQ(b, 6.0f);
    math_ProjectDifference(&n, &m, &pa, &pb, &a, &b);
    EXPECT_FLOAT_EQ(a, 2.0f);
    EXPECT_FLOAT_EQ(b, 1.5f);
    MathVec3 tiny = {0.001f, 0, 0};
    math_ProjectDifference(&n, &tiny, &pa, &pb, &a, &b);
    EXPECT_EQ(a, 0.0f);
    EXPECT_EQ(b, 0.0f);
}

TEST(MathLines, ProjectPointAndSteering) {
    const _EVP saved = evp_Current;
    evp_Current.projCentreX = 160.0f;
    evp_Current.projCentreY = 100.0f;
    evp_Current.scaleX = 100.0f;
    evp_Current.scaleY = 80.0f;
    int32_t s[2] = {-7, -7};
    MathVec3 behind = {1, 1, 0};
    EXPECT_EQ(math_ProjectPoint(&behind, s), -1);
    EXPECT_EQ(s[0], -7);
    MathVec3 p = {2, 1, 4};
    EXPECT_EQ(math_ProjectPoint(&p, s), 0);
    EXPECT_EQ(s[0], 210);
    EXPECT_EQ(s[1], 80);
    evp_Current = saved;

    // Chasing a still target: the step is cut to its limit.
    MathVec3 vel = {0, 0, 0}, tv = {0, 0, 0}, tp = {100, 0, 0}, pos = {0, 0, 0};
    math_SteerToward(5.0f, 100.0f, 1.0f, &vel, &tv, &tp, &pos);
    ExpectVec(vel, 5, 0, 0);
    ExpectVec(pos, 5, 0, 0);
    // Speed limit.
    math_SteerToward(5.0f, 6.0f, 1.0f, &vel, &tv, &tp, &pos);
    ExpectVec(vel, 6, 0, 0);   // 0.5 * 5 + 5 = 7.5, cut to 6
    ExpectVec(pos, 11, 0, 0);
}

}  // namespace
