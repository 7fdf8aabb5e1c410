// Table interpolation and flight curves: piecewise-linear look-ups in short
// tables of breakpoints (rows sorted by ascending x), the standard atmosphere
// tables built on them, and two parametric response curves.
#pragma once
#include <cstdint>

struct MathTableRow {
    float x, y;
};
struct MathTableRowTagged {
    float x, y;
    uint32_t tag;
};
struct MathTableRowPair {
    float x, y1, y2;
};
struct MathTableRowPairTagged {
    float x, y1, y2;
    uint32_t tag;
};

// Position codes of the look-ups.
constexpr int32_t MATH_TABLE_BELOW = -1;   // at or below the first x: first row
constexpr int32_t MATH_TABLE_INSIDE = 0;   // interpolated
constexpr int32_t MATH_TABLE_BEYOND = 1;   // at or beyond the last x: last row

// Each look-up takes (row count, table, x), writes its results and returns
// the position code. The tag comes from the upper row of the pair (Tagged) or
// the lower row (PairTagged). An empty table (count <= 0) gives zeros and
// MATH_TABLE_BELOW; an x that is not a number gives the last row.
int32_t math_TableInterp(int32_t count, const MathTableRow* table, float x, float* y);
int32_t math_TableInterpTagged(int32_t count, const MathTableRowTagged* table, float x,
                               float* y, uint32_t* tag);
int32_t math_TableInterpPair(int32_t count, const MathTableRowPair* table, float x,
                             float* y1, float* y2);
int32_t math_TableInterpPairTagged(int32_t count, const MathTableRowPairTagged* table,
                                   float x, float* y1, float* y2, uint32_t* tag);

// Air-density factor (1 at sea level) by altitude in metres; the density in
// kg/m^3 (factor x 1.225).
float math_AirDensityFactor(float altitudeM);
float math_AirDensity(float altitudeM);
// Standard temperature in degrees Celsius by altitude in feet.
float math_StdTemperature(float altitudeFt);
// Speed of sound in knots by temperature in degrees Celsius.
float math_SpeedOfSound(float celsius);
float math_CelsiusToFahrenheit(float t);
float math_FahrenheitToCelsius(float t);
// Speed in knots (from metres per tick) times a factor of the altitude.
float math_SpeedFactorByAltitude(float altitudeM, float speedPerTick);
// q[0..6]: a slope segment for negative and one for other x about q[5],
// clamped to [q[4], q[6]].
float math_ThreeSegmentResponse(float x, const float q[7]);
// p[0..8]: a rising, flat, falling and rising curve by bands of x. The
// normalised factor and the position code (-1 below, 1 beyond, else 0) of
// the last call are kept and may also be returned through factor and code.
float math_NineParameterCurve(float x, const float p[9], float* factor = nullptr,
                              int32_t* code = nullptr);
// The factor and code left by the last math_NineParameterCurve.
float math_NineParameterFactor(void);
int32_t math_NineParameterCode(void);
