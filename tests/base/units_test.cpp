// World and physics unit conversions.
#include "base/units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/view.h"
#include "sim/obj.h"
#include "sim/plane.h"

namespace {

TEST(UnitsVector, FeetAndMetres) {
    FixVec3 v = {4096, -8192, 2048};
    MathVec3 f;
    fix_IntToFloatDiv(&v, &f);
    EXPECT_FLOAT_EQ(f.x, 1.0f);
    EXPECT_FLOAT_EQ(f.y, -2.0f);
    EXPECT_FLOAT_EQ(f.z, 0.5f);
    FixVec3 back;
    fix_FloatToIntMul(&f, &back);
    EXPECT_EQ(back.x, 4096);
    EXPECT_EQ(back.y, -8192);

    MathVec3 m = {1.0f, -10.0f, 0.0f};
    fix_FloatToIntScaled(&m, &back);
    EXPECT_EQ(back.x, 13439);    // 3.281 x 4096 = 13438.98
    EXPECT_EQ(back.y, -134390);
    fix_IntToFloatScaled(&back, &f);
    EXPECT_NEAR(f.x, 1.0f, 1e-4f);
    EXPECT_NEAR(f.y, -10.0f, 1e-4f);
    // Far out of range saturates instead of overflowing.
    MathVec3 huge = {1e20f, -1e20f, std::numeric_limits<float>::quiet_NaN()};
    fix_FloatToIntScaled(&huge, &back);
    EXPECT_EQ(back.x, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(back.y, std::numeric_limits<int32_t>::min());
    EXPECT_EQ(back.z, 0);
}

TEST(UnitsWorld, HalvedOnTheWayOutAndDoubledOnTheWayBack) {
    FixWorldPos w = {0xFFFFFFFEu, 0, 4097};
    MathVec3 m;
    fix_WorldToFloat(&w, &m);
    EXPECT_NEAR(m.x, 0x7FFFFFFF / 2048.0 / 3.281, 0.05);   // about 319,590 m, positive
    EXPECT_GT(m.x, 319000.0f);
    FixWorldPos odd = {4097, 12345, 0x00100001u}, back;
    fix_WorldToFloat(&odd, &m);
    fix_FloatToWorld(&m, &back);
    EXPECT_EQ(back.x, 4096u);
    EXPECT_EQ(back.y, 12344u);
    EXPECT_EQ(back.z, 0x00100000u);

    fix_WorldToFloatFeet(&odd, &m);
    EXPECT_FLOAT_EQ(m.x, 1.0f);
    fix_FloatFeetToWorld(&m, &back);
    EXPECT_EQ(back.x, 4096u);
    // A point west of the origin wraps onto the top of the world.
    MathVec3 west = {-1.0f, 0, 0};
    fix_FloatFeetToWorld(&west, &back);
    EXPECT_EQ(back.x, 0xFFFFF000u);
}

TEST(UnitsAngle, Conversions) {
    EXPECT_EQ(fix_DegreesToAngle(360.0f), 0);
    EXPECT_EQ(fix_DegreesToAngle(-90.0f), 0x1800000);
    EXPECT_EQ(fix_DegreesToAngle(90.0f), 0x800000);
    EXPECT_EQ(fix_DegreesToAngle(720.0f + 45.0f), 0x400000);
    EXPECT_EQ(fix_DegreesToAngle(1e30f), fix_DegreesToAngle(1e30f) & 0x1FFFFFF);
    EXPECT_EQ(fix_DegreesToAngle(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_FLOAT_EQ(fix_AngleToDegrees(0x800000), 90.0f);
    EXPECT_FLOAT_EQ(fix_AngleToDegrees(-0x800000), -90.0f);
    EXPECT_FLOAT_EQ(fix_DegreesToAngleRaw(450.0f), (float)0x2800000);   // not masked
    FixAngles a = {0x800000, 0x1000000, -0x400000};
    MathVec3 d;
    fix_AnglesToDegrees(&a, &d);
    EXPECT_FLOAT_EQ(d.x, 90.0f);
    EXPECT_FLOAT_EQ(d.y, 180.0f);
    EXPECT_FLOAT_EQ(d.z, -45.0f);
    FixAngles b;
    MathVec3 deg = {360.0f, -45.0f, 0.001f};
    fix_FloatAnglesToInt(&deg, &b);
    EXPECT_EQ(b.heading, 0x2000000);   // not masked
    EXPECT_EQ(b.pitch, -0x400000);
    EXPECT_EQ(b.roll, 93);             // 0.001 x 93206.76 = 93.2
}

TEST(UnitsFrame, WorldAnglesRoundTripAndMatchTheIntegerAxes) {
    FixWorldPos pos = {0x40000000u, 0x01000000u, 0xC0000000u};
    FixAngles ang = {0x300000, 0x100000, 0x1F00000};   // heading 33.75, pitch 11.25, roll -11.25
    MathFrame f;
    fix_WorldAnglesToFrame(&pos, &ang, &f);
    EXPECT_EQ(math_FrameCheck(&f.rot), 0);
    FixWorldPos p2;
    FixAngles a2;
    fix_FrameToWorldAngles(&f, &p2, &a2);
    EXPECT_NEAR((double)p2.x, (double)pos.x, 256.0);
    EXPECT_NEAR((double)p2.z, (double)pos.z, 256.0);
    EXPECT_NEAR(a2.heading, ang.heading, 64);
    EXPECT_NEAR(a2.pitch, ang.pitch, 64);
    EXPECT_NEAR(a2.roll, ang.roll, 64);

    // The float frame's up and forward rows give back the same angles
    // through the integer routine.
    const double k = 1 << 20;
    FixVec3 up = {(int32_t)(f.rot.m[1][0] * k), (int32_t)(f.rot.m[1][1] * k), (int32_t)(f.rot.m[1][2] * k)};
    FixVec3 fwd = {(int32_t)(f.rot.m[2][0] * k), (int32_t)(f.rot.m[2][1] * k), (int32_t)(f.rot.m[2][2] * k)};
    FixAngles a3;
    fix_AnglesFromVectors(&up, &fwd, &a3);
    EXPECT_NEAR(a3.heading, ang.heading, 4096);
    EXPECT_NEAR(a3.pitch, ang.pitch, 4096);
    EXPECT_NEAR(a3.roll, ang.roll, 4096);

    FixVec3 off = {13439, 0, -13439};
    fix_VectorAnglesToFrame(&off, &ang, &f);
    EXPECT_NEAR(f.pos.x, 1.0f, 1e-4f);
    EXPECT_NEAR(f.pos.z, -1.0f, 1e-4f);
    FixVec3 off2;
    fix_FrameToVectorAngles(&f, &off2, &a2);
    EXPECT_EQ(off2.x, 13439);
    EXPECT_EQ(off2.z, -13439);
    EXPECT_NEAR(a2.heading, ang.heading, 64);
}

TEST(UnitsState, ObjectFloatStateAndView) {
    ObjectRecord obj = {};
    obj.position = {0x10000000u, 0x00100000u, 0x20000000u};
    obj.angles = {0x800000, 0, 0};
    FloatStateRecord st = {};
    fix_ObjectToFloatState(&obj, &st);
    MathVec3 fwd = {st.frame.rot.m[2][0], st.frame.rot.m[2][1], st.frame.rot.m[2][2]};
    EXPECT_NEAR(fwd.x, 1.0f, 1e-5f);   // heading 90: forward is +x
    st.velocity = {1.0f, 0.0f, -2.0f};
    ObjectRecord out = {};
    fix_FloatStateToObject(&st, &out);
    EXPECT_NEAR((double)out.position.x, (double)obj.position.x, 64.0);
    EXPECT_NEAR(out.angles.heading, 0x800000, 64);
    EXPECT_EQ(out.velocity.x, 13439);
    EXPECT_EQ(out.velocity.z, -26878);
    EXPECT_EQ(out.motion.x, 13439);

    view_State = {};
    fix_ViewFromFrame(&st.frame);
    fix_ViewFromFrame(&st.frame);
    EXPECT_EQ(view_State.angleChanges, 2u);
    EXPECT_EQ(view_State.previousAngles.heading, view_State.angles.heading);
    EXPECT_NEAR(view_State.angles.heading, 0x800000, 64);
    EXPECT_NEAR(view_State.cameraTrig.sinA, 65535, 8);
    EXPECT_NEAR(view_State.viewMatrix.sinA, -65535, 8);
    EXPECT_NEAR((double)view_State.position.z, (double)obj.position.z, 64.0);

    EXPECT_EQ(fix_PlaneFlagByte(), 0u);
    _PLANE plane = {};
    plane.flags = 0x1234A5;
    plane_Current = &plane;
    EXPECT_EQ(fix_PlaneFlagByte(), 0xA5u);
    plane_Current = nullptr;
}

// With no level loaded the ground is flat at height 0.
TEST(UnitsTerrain, HeightsAndPushesOverFlatGround) {
    MathVec3 p = {100.0f, 25.0f, -40.0f};
    EXPECT_FLOAT_EQ(fix_HeightAboveTerrain(&p), 25.0f);
    EXPECT_FLOAT_EQ(fix_HeightAboveTerrainMax4(&p), 25.0f);

    fix_KeepAboveTerrain(10.0f, &p);   // above the floor: unchanged
    EXPECT_FLOAT_EQ(p.y, 25.0f);
    fix_KeepAboveTerrain(30.0f, &p);
    EXPECT_FLOAT_EQ(p.y, 30.0f);
    MathVec3 on = {0, 5.0f, 0};
    fix_KeepAboveTerrain(5.0f, &on);   // exactly on the floor counts as below
    EXPECT_FLOAT_EQ(on.y, 5.0f);

    MathVec3 high = {0, 10.0f, 0};
    fix_KeepSphereAboveTerrain(5.0f, &high);   // nowhere within r of the ground
    EXPECT_FLOAT_EQ(high.y, 10.0f);
    MathVec3 low = {0, 3.0f, 0};
    fix_KeepSphereAboveTerrain(5.0f, &low);    // raised once by the centre sample
    EXPECT_FLOAT_EQ(low.y, 5.0f);
}

TEST(UnitsTerrain, ClampToSphere) {
    MathVec3 c = {1, 1, 1}, p = {1, 1, 11};
    fix_ClampToSphere(4.0f, &c, &p);
    EXPECT_NEAR(p.z, 5.0f, 1e-5f);
    EXPECT_NEAR(p.x, 1.0f, 1e-5f);
    MathVec3 in = {2, 2, 2};
    fix_ClampToSphere(4.0f, &c, &in);
    EXPECT_FLOAT_EQ(in.x, 2.0f);
    fix_ClampToSphere(0.0f, &c, &in);
    EXPECT_FLOAT_EQ(in.x, 1.0f);
}

}  // namespace
