// Table interpolation and flight curves.
#include "base/table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const float NaN = std::numeric_limits<float>::quiet_NaN();

TEST(TableInterp, ClampsAtTheEndsAndInterpolatesBetween) {
    const MathTableRow t[3] = {{0, 0}, {10, 100}, {20, 50}};
    struct Case {
        float x, y;
        int32_t code;
    } cases[] = {
        {-5, 0, -1}, {0, 0, -1},  {5, 50, 0},  {10, 100, 0},
        {15, 75, 0}, {20, 50, 1}, {30, 50, 1}, {NaN, 50, 1},
    };
    for (const Case& c : cases) {
        float y = -1;
        EXPECT_EQ(math_TableInterp(3, t, c.x, &y), c.code) << c.x;
        EXPECT_FLOAT_EQ(y, c.y) << c.x;
    }
    float y = 7;
    EXPECT_EQ(math_TableInterp(0, t, 5, &y), -1);
    EXPECT_EQ(y, 0.0f);
    // One row: every x is at or beyond one of its ends.
    EXPECT_EQ(math_TableInterp(1, t + 1, 10, &y), -1);
    EXPECT_EQ(math_TableInterp(1, t + 1, 11, &y), 1);
    EXPECT_EQ(y, 100.0f);
}

TEST(TableInterp, TagsComeFromTheUpperOrTheLowerRow) {
    const MathTableRowTagged t[3] = {{0, 0, 1}, {10, 10, 2}, {20, 30, 3}};
    float y;
    uint32_t tag;
    EXPECT_EQ(math_TableInterpTagged(3, t, -1, &y, &tag), -1);
    EXPECT_EQ(tag, 1u);
    EXPECT_EQ(math_TableInterpTagged(3, t, 15, &y, &tag), 0);
    EXPECT_FLOAT_EQ(y, 20.0f);
    EXPECT_EQ(tag, 3u);   // upper row
    EXPECT_EQ(math_TableInterpTagged(3, t, 20, &y, &tag), 1);
    EXPECT_EQ(tag, 3u);

    const MathTableRowPairTagged p[3] = {{0, 0, 1, 7}, {10, 10, 2, 8}, {20, 30, 4, 9}};
    float y1, y2;
    EXPECT_EQ(math_TableInterpPairTagged(3, p, 15, &y1, &y2, &tag), 0);
    EXPECT_FLOAT_EQ(y1, 20.0f);
    EXPECT_FLOAT_EQ(y2, 3.0f);
    EXPECT_EQ(tag, 8u);   // lower row
    EXPECT_EQ(math_TableInterpPairTagged(3, p, 25, &y1, &y2, &tag), 1);
    EXPECT_EQ(tag, 9u);
    EXPECT_EQ(math_TableInterpPairTagged(3, p, 0, &y1, &y2, &tag), -1);
    EXPECT_EQ(tag, 7u);

    const MathTableRowPair q[2] = {{0, 1, 10}, {4, 3, 30}};
    EXPECT_EQ(math_TableInterpPair(2, q, 1, &y1, &y2), 0);
    EXPECT_FLOAT_EQ(y1, 1.5f);
    EXPECT_FLOAT_EQ(y2, 15.0f);
    EXPECT_EQ(math_TableInterpPair(2, q, 4, &y1, &y2), 1);
    EXPECT_FLOAT_EQ(y2, 30.0f);
}

TEST(TableAtmosphere, BuiltInTables) {
    EXPECT_FLOAT_EQ(math_AirDensity(6096.0f), 1.225f * 0.625f);
    EXPECT_FLOAT_EQ(math_AirDensityFactor(-100.0f), 1.0f);
    EXPECT_FLOAT_EQ(math_AirDensityFactor(50000.0f), 0.0f);
    EXPECT_FLOAT_EQ(math_SpeedOfSound(15.0f), 661.7f);
    EXPECT_FLOAT_EQ(math_SpeedOfSound(-80.0f), 573.8f);
    EXPECT_NEAR(math_StdTemperature(37500.0f), -55.4f, 1e-4f);
    EXPECT_FLOAT_EQ(math_StdTemperature(0.0f), 15.0f);
    EXPECT_FLOAT_EQ(math_CelsiusToFahrenheit(100.0f), 212.0f);
    EXPECT_FLOAT_EQ(math_FahrenheitToCelsius(-40.0f), -40.0f);
}

TEST(TableCurves, SpeedFactorByAltitudeBands) {
    const float knots = 40.0f * 3600.0f * 0.000539f;   // of 1 m per tick
    struct Case {
        float feet, factor;
    } cases[] = {
        {-10.0f, 0.0015f}, {0.0f, 0.0015f},        {12500.0f, 0.00191650f},
        {25000.0f, 0.002333f}, {62500.0f, 0.005196f}, {100000.0f, 0.011375f},
        {300000.0f, 0.011375f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(math_SpeedFactorByAltitude(c.feet / 3.281f, 1.0f), knots * c.factor, 1e-5f) << c.feet;
}

TEST(TableCurves, ThreeSegmentResponseStaysInItsRange) {
    const float q[7] = {-2, 4, 0, 0, -1, 0.5f, 3};
    EXPECT_FLOAT_EQ(math_ThreeSegmentResponse(-1, q), -0.25f);
    EXPECT_FLOAT_EQ(math_ThreeSegmentResponse(2, q), 1.75f);
    EXPECT_FLOAT_EQ(math_ThreeSegmentResponse(0, q), 0.5f);
    for (float x = -100; x <= 100; x += 0.5f) {
        float y = math_ThreeSegmentResponse(x, q);
        EXPECT_GE(y, -1.0f);
        EXPECT_LE(y, 3.0f);
    }
    const float flat[7] = {0, 0, 0, 0, -1, 0.5f, 3};   // zero-width segments
    for (float x : {-1.0f, 0.0f, 1.0f}) {
        float y = math_ThreeSegmentResponse(x, flat);
        EXPECT_GE(y, -1.0f) << x;
        EXPECT_LE(y, 3.0f) << x;
    }
}

TEST(TableCurves, NineParameterCurveBands) {
    const float p[9] = {10, 20, 0, 1, 2, 3, 4, 5, 6};
    struct Case {
        float x, value, factor;
        int32_t code;
    } cases[] = {
        {-1, 0, 0, -1},    {0.5f, 2.5f, 0.25f, 0}, {1.5f, 10, -1, 0}, {2.5f, 5, 0.5f, 0},
        {3.5f, 10, 0.5f, 0}, {4.5f, 20, 1, 0},      {5.5f, 15, 0.75f, 0}, {7, 0, 0, 1},
    };
    for (const Case& c : cases) {
        float f;
        int32_t code;
        EXPECT_FLOAT_EQ(math_NineParameterCurve(c.x, p, &f, &code), c.value) << c.x;
        EXPECT_FLOAT_EQ(f, c.factor) << c.x;
        EXPECT_EQ(code, c.code) << c.x;
        EXPECT_EQ(math_NineParameterFactor(), f);
        EXPECT_EQ(math_NineParameterCode(), code);
    }
}

}  // namespace
