// Standard atmosphere and air data of the current aircraft. The atmosphere
// works in feet, knots, degrees Rankine and pounds per square foot; double
// precision inside so that the published sea-level and tropopause values
// come out to well within their printed digits.
#include <cmath>

#include "base/fix.h"
#include "base/units.h"
#include "net/client.h"
#include "sim/flight.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "world/terrain.h"

namespace {

constexpr double kTropopauseFt = 36089.24;
constexpr double kKnotsPerFps = 0.5924837511331251;

double Temperature(double h, double dT) {
    return h >= kTropopauseFt ? 389.97 + dT : 518.67 - 0.00356616 * h + dT;
}

double Pressure(double h) {
    if (h < kTropopauseFt) return 2116.22 * std::pow(1.0 - 6.875585456101587e-6 * h, 5.256);
    return 472.66408566 * std::exp((kTropopauseFt - h) * 4.806352074902191e-5);
}

}  // namespace

void flight_StdAtmosphere(float altitudeFt, float knots, float deviation, float* soundKnots, float* mach,
                          float* calibratedKnots) {
    const double h = altitudeFt;
    const double T = Temperature(h, deviation);
    const double a = std::sqrt(T > 0 ? T * 2403.182733444113 : 0.0);
    const double M = a > 0 ? (double)knots * 1.6878 / a : 0.0;
    const double P = Pressure(h);
    double ratio;
    if (M < 1.0) {
        ratio = std::pow(1.0 + 0.2 * M * M, 3.5);
    } else {
        ratio = std::pow(1.2 * M * M, 3.5) * std::pow(2.4 / (2.8 * M * M - 0.4), 2.5);
    }
    const double qc = P * (ratio - 1.0);
    const double inner = (std::pow(qc * 0.0004725406621239758 + 1.0, 0.2857) - 1.0) * 6232294.165;
    const double cas = std::sqrt(inner > 0 ? inner : 0.0) * kKnotsPerFps;
    if (soundKnots) *soundKnots = (float)(a * kKnotsPerFps);
    if (mach) *mach = (float)M;
    if (calibratedKnots) *calibratedKnots = (float)cas;
}

float flight_AirDensity(float altitudeFt, float deviation) {
    // psf to pascal, degrees Rankine to kelvin, R of dry air.
    const double pa = Pressure(altitudeFt) * 47.88025898033584;
    const double k = Temperature(altitudeFt, deviation) * (5.0 / 9.0);
    return k > 0 ? (float)(pa / (287.053 * k)) : 0.0f;
}

void math_AirDataCompute(const _PLANE* plane, float* calibratedKnots, float* mach, float* soundKnots) {
    if (!plane) return;
    const float speed = math_Vec3Length(&plane->velocity);
    flight_StdAtmosphere(plane->position.y * FIX_FEET_PER_METRE, speed * 77.5765f, 0.0f, soundKnots, mach,
                         calibratedKnots);
}

float math_AirTableEvaluate(float value, float altitudeM) {
    static const float kPoints[5] = {0.0015f, 0.002333f, 0.003892f, 0.0065f, 0.011375f};
    const float ft = altitudeM * FIX_FEET_PER_METRE;
    float factor;
    if (ft <= 0.0f) {
        factor = kPoints[0];
    } else if (ft >= 100000.0f) {
        factor = kPoints[4];
    } else {
        const int32_t band = (int32_t)(ft / 25000.0f);
        const float t = (ft - (float)band * 25000.0f) / 25000.0f;
        factor = kPoints[band] + (kPoints[band + 1] - kPoints[band]) * t;
    }
    if (factor == 0.0f) factor = 1e-5f;
    return value / factor;
}

int32_t math_AirTableLookupInt(int32_t value, int32_t altitude) {
    const float v = (float)value / 65536.0f;
    const float metres = (float)altitude / FIX_UNITS_PER_FOOT * 0.3048f;
    const double r = (double)math_AirTableEvaluate(v, metres) * 65536.0;
    if (!(r == r)) return 0;
    if (r >= 2147483647.0) return INT32_MAX;
    if (r <= -2147483648.0) return INT32_MIN;
    return (int32_t)r;
}

float fix_PlaneHeightAboveTerrain(void) {
    if (!plane_Current) return 0.0f;
    float ground = 0.0f;
    if (const ObjectRecord* o = Client_PlayerObject) {
        const int32_t h = terrain_HeightBilinear(&o->position);
        ground = (float)(h >> 12) * 0.3048f;
    }
    return plane_Current->position.y - ground;
}
