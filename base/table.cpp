// Table interpolation and flight curves.
#include "base/table.h"

namespace {

// Module record of the nine-parameter curve.
struct TableModule {
    float curveFactor;
    int32_t curveCode;
};
TableModule table_Module = {0.0f, 0};

const MathTableRow AirDensityTable[4] = {
    {0.0f, 1.0f}, {12192.0f, 0.25f}, {24384.0f, 0.0625f}, {36578.0f, 0.0f}};

const MathTableRow StdTemperatureTable[9] = {
    {0.0f, 15.0f},      {5000.0f, 5.1f},    {10000.0f, -4.8f},
    {15000.0f, -14.7f}, {20000.0f, -24.6f}, {25000.0f, -34.5f},
    {30000.0f, -44.4f}, {35000.0f, -54.3f}, {40000.0f, -56.5f}};

const MathTableRow SpeedOfSoundTable[9] = {
    {-56.5f, 573.8f}, {-54.3f, 576.6f}, {-44.4f, 589.6f}, {-34.5f, 602.2f}, {-24.6f, 614.6f},
    {-14.7f, 626.7f}, {-4.8f, 638.6f},  {5.1f, 650.3f},   {15.0f, 661.7f}};

float lerp(float y0, float y1, float x0, float x1, float x) {
    return (float)(y0 + ((double)x - x0) * ((double)y1 - y0) / ((double)x1 - x0));
}

// Finds the rows for x: sets *lo and *hi to the same row at the ends, or to
// the two rows to interpolate between; returns the position code.
template <typename Row>
int32_t locate(int32_t count, const Row* table, float x, int32_t* lo, int32_t* hi) {
    if (x - table[0].x <= 0.0f) {
        *lo = *hi = 0;
        return MATH_TABLE_BELOW;
    }
    if (x - table[count - 1].x >= 0.0f) {
        *lo = *hi = count - 1;
        return MATH_TABLE_BEYOND;
    }
    for (int32_t i = 1; i < count; i++) {
        if (table[i].x >= x) {
            *lo = i - 1;
            *hi = i;
            return MATH_TABLE_INSIDE;
        }
    }
    // Only an x that compares with nothing (NaN) gets here: keep it in range.
    *lo = *hi = count - 1;
    return MATH_TABLE_BEYOND;
}

// The two rows about x (see locate) and their position code; both null, and
// the code MATH_TABLE_BELOW, for an empty table.
template <typename Row>
int32_t bracket(int32_t count, const Row* table, float x, const Row** a, const Row** b) {
    if (count <= 0 || !table) {
        *a = *b = nullptr;
        return MATH_TABLE_BELOW;
    }
    int32_t lo, hi;
    const int32_t code = locate(count, table, x, &lo, &hi);
    *a = &table[lo];
    *b = &table[hi];
    return code;
}

// A column's value at x: interpolated between the rows inside the table, the
// end row's outside it, 0 for an empty table.
template <typename Row>
float column(const Row* a, const Row* b, int32_t code, float Row::*y, float x) {
    if (!a) return 0.0f;
    return code == MATH_TABLE_INSIDE ? lerp(a->*y, b->*y, a->x, b->x, x) : a->*y;
}

}  // namespace

int32_t math_TableInterp(int32_t count, const MathTableRow* table, float x, float* y) {
    const MathTableRow *a, *b;
    const int32_t code = bracket(count, table, x, &a, &b);
    *y = column(a, b, code, &MathTableRow::y, x);
    return code;
}

int32_t math_TableInterpTagged(int32_t count, const MathTableRowTagged* table, float x,
                               float* y, uint32_t* tag) {
    const MathTableRowTagged *a, *b;
    const int32_t code = bracket(count, table, x, &a, &b);
    *y = column(a, b, code, &MathTableRowTagged::y, x);
    *tag = b ? b->tag : 0;
    return code;
}

int32_t math_TableInterpPair(int32_t count, const MathTableRowPair* table, float x,
                             float* y1, float* y2) {
    const MathTableRowPair *a, *b;
    const int32_t code = bracket(count, table, x, &a, &b);
    *y1 = column(a, b, code, &MathTableRowPair::y1, x);
    *y2 = column(a, b, code, &MathTableRowPair::y2, x);
    return code;
}

int32_t math_TableInterpPairTagged(int32_t count, const MathTableRowPairTagged* table,
                                   float x, float* y1, float* y2, uint32_t* tag) {
    const MathTableRowPairTagged *a, *b;
    const int32_t code = bracket(count, table, x, &a, &b);
    *y1 = column(a, b, code, &MathTableRowPairTagged::y1, x);
    *y2 = column(a, b, code, &MathTableRowPairTagged::y2, x);
    *tag = a ? a->tag : 0;
    return code;
}

float math_AirDensityFactor(float altitudeM) {
    float y;
    math_TableInterp(4, AirDensityTable, altitudeM, &y);
    return y;
}

float math_AirDensity(float altitudeM) {
    return math_AirDensityFactor(altitudeM) * 1.225f;
}

float math_StdTemperature(float altitudeFt) {
    float y;
    math_TableInterp(9, StdTemperatureTable, altitudeFt, &y);
    return y;
}

float math_SpeedOfSound(float celsius) {
    float y;
    math_TableInterp(9, SpeedOfSoundTable, celsius, &y);
    return y;
}

float math_CelsiusToFahrenheit(float t) {
    return (float)(t * 1.8 + 32.0);
}

float math_FahrenheitToCelsius(float t) {
    return (float)((t - 32.0) / 1.8);
}

float math_SpeedFactorByAltitude(float altitudeM, float speedPerTick) {
    static const double breaks[5] = {0.0, 25000.0, 50000.0, 75000.0, 100000.0};
    static const double values[5] = {0.0015, 0.002333, 0.003892, 0.0065, 0.011375};
    double knots = (double)speedPerTick * 40.0 * 60.0 * 60.0 * 0.000539;
    double ft = (double)altitudeM * 3.281;
    double factor;
    if (!(ft > 0.0)) {
        factor = values[0];
    } else if (ft >= 100000.0) {
        factor = values[4];
    } else {
        int band = 0;
        while (band < 3 && ft >= breaks[band + 1]) band++;
        double fraction = (ft - breaks[band]) * 4e-05;
        factor = values[band] + (values[band + 1] - values[band]) * fraction;
    }
    return (float)(knots * factor);
}

float math_ThreeSegmentResponse(float x, const float q[7]) {
    double y;
    if (x < 0.0f)
        y = q[5] + ((double)q[4] - q[5]) * x / q[0];
    else
        y = q[5] + ((double)q[6] - q[5]) * x / q[1];
    // Written so that a NaN (a zero slope width) also lands in the range.
    if (!(y >= q[4])) y = q[4];
    if (y > q[6]) y = q[6];
    return (float)y;
}

float math_NineParameterCurve(float x, const float p[9], float* factor, int32_t* code) {
    double v, f;
    int32_t c = 0;
    if (x < p[2]) {
        v = 0.0;
        f = 0.0;
        c = -1;
    } else if (x < p[3]) {
        double a = (double)x - p[3], w = (double)p[3] - p[2];
        f = a * a / (w * w);
        v = p[0] * f;
    } else if (x < p[4]) {
        v = p[0];
        f = -1.0;
    } else if (x < p[5]) {
        f = ((double)x - p[5]) / ((double)p[4] - p[5]);
        v = p[0] * f;
    } else if (x < p[6]) {
        f = ((double)x - p[5]) / ((double)p[6] - p[5]);
        v = p[1] * f;
    } else if (x < p[7]) {
        v = p[1];
        f = 1.0;
    } else if (x < p[8]) {
        double a = (double)x - p[7], w = (double)p[8] - p[7];
        f = 1.0 - a * a / (w * w);
        v = p[1] * f;
    } else {
        v = 0.0;
        f = 0.0;
        c = 1;
    }
    table_Module.curveFactor = (float)f;
    table_Module.curveCode = c;
    if (factor) *factor = (float)f;
    if (code) *code = c;
    return (float)v;
}

float math_NineParameterFactor(void) {
    return table_Module.curveFactor;
}

int32_t math_NineParameterCode(void) {
    return table_Module.curveCode;
}
