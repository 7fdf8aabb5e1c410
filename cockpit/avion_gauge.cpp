// The instrument laws and the panel change detector.
#include "cockpit/avion_gauge.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "cockpit/vcp.h"

AvionGaugeSample avion_GaugeDrawn;

float avion_AirspeedNeedle(float v) {
    if (v < 100.0f) return 0.808f * v;
    if (v < 200.0f) return 80.8f + 1.28f * (v - 100.0f);
    if (v < 300.0f) return 208.8f + 0.673f * (v - 200.0f);
    if (v < 400.0f) return 276.1f + 0.3368f * (v - 300.0f);
    if (v < 800.0f) return 309.78f + 0.4042f * (v - 400.0f);
    return 30917264.0f / 65536.0f;
}

bool avion_MachNeedle(float mach, float* angle) {
    if (!(mach > 1.1f && mach < 1.7f)) return false;
    float a = 462.2222f + (mach - 1.1f) * 1.6666666f * 99.5556f;
    if (a >= 512.0f) a -= 512.0f;
    *angle = a;
    return true;
}

float avion_AltimeterPointer(int32_t feet) {
    const int32_t inThousand = ((feet % 1000) + 1000) % 1000;
    return (float)(inThousand / 10) * 5.12f;
}

float avion_PressureSetting(int32_t feet) {
    const double base = 1.0 - 6.87535e-6 * feet;
    return base > 0.0 ? (float)(29.92 * std::pow(base, 5.2561)) : 0.0f;
}

float avion_NozzleNeedle(float x) { return 64.0f + 384.0f * std::min(x, 1.0f); }

float avion_RpmNeedle(float x) {
    // Below 60 % the scale is compressed so that the needle meets the upper
    // segment at 128 units.
    if (x <= 0.6f) return std::max(x, 0.0f) * 128.0f / 0.6f;
    return 128.0f + (std::min(x, 1.1f) - 0.6f) * 640.0f;
}

float avion_TemperatureNeedle(float t) {
    t = std::min(t, 1200.0f);
    if (t <= 700.0f) return 128.0f + t / 700.0f * 176.35f;
    if (t <= 1000.0f) return 304.35f + (t - 700.0f) / 300.0f * 256.0f;
    // One full turn less: the needle passes 512 continuously.
    return 48.35f + (t - 1000.0f) * 0.005f * 64.0f;
}

float avion_FuelNeedle(float fuel) {
    const float f = fuel * 2.2f * 0.00022222f;
    if (f < 0.5f) return 320.0f + 384.0f * f;
    if (f <= 1.0f) return 384.0f * (f - 0.5f);
    return 192.0f;
}

float avion_VviTape(float climbWord) {
    const float v = -climbWord * 7.87392f;
    const float a = std::fabs(v), s = v < 0.0f ? -1.0f : 1.0f;
    if (a <= 1.0f) return 2.0f * v;
    if (a <= 2.0f) return v + s;
    if (a <= 6.0f) return v / 2.0f + 2.0f * s;
    return 5.0f * s;
}

float avion_AoaTape(float aoa, int32_t limit) {
    if (limit < 0) return 1.0f;
    if (limit > 0) return -1.0f;
    return -aoa;
}

int32_t avion_AoaCategory(float aoa, int32_t limit) {
    if (limit < 0) return 1;
    if (limit > 0) return 3;
    if (aoa > 0.25f) return 1;
    if (aoa >= -0.25f) return 2;
    return 3;
}

void avion_DrumDigits(float value, int32_t count, float* out) {
    if (count <= 0 || !out) return;
    if (!(value >= 0.0f)) value = 0.0f;
    const double whole = std::floor((double)value);
    float roll = (float)((double)value - whole);
    int64_t n = (int64_t)std::min(whole, 9.0e15);
    for (int32_t i = count - 1; i >= 0; i--) {
        const int32_t digit = (int32_t)(n % 10);
        out[i] = (float)digit + roll;
        if (digit != 9) roll = 0.0f;
        n /= 10;
    }
}

namespace {

// Difference of two angles in 1/512 turn, the short way round.
float AngleMoved(float a, float b) {
    float d = std::fmod(a - b, 512.0f);
    if (d > 256.0f) d -= 512.0f;
    if (d < -256.0f) d += 512.0f;
    return std::fabs(d);
}

bool Moved(float* drawn, float now, float threshold) {
    if (!(std::fabs(now - *drawn) > threshold)) return false;
    *drawn = now;
    return true;
}

bool InViews(int32_t view, std::initializer_list<int32_t> views) {
    return std::find(views.begin(), views.end(), view) != views.end();
}

}  // namespace

void avion_GaugeChangeDetectSample(const AvionGaugeSample& now, int32_t view) {
    uint8_t* d = vcp_DirtyFlags;
    AvionGaugeSample& drawn = avion_GaugeDrawn;
    // The attitude panels repaint anyway: take the samples as drawn.
    if (d[VCP_GROUP_ATTITUDE]) {
        drawn = now;
        return;
    }
    if (now.gearBits != drawn.gearBits) {
        d[VCP_GROUP_GEAR] = 1;
        drawn.gearBits = now.gearBits;
    }
    if (now.mach > 1.09f && now.mach < 1.71f) {
        if (Moved(&drawn.mach, now.mach, 0.05f)) d[VCP_GROUP_AIRSPEED] = 1;
    } else if (Moved(&drawn.airspeed, now.airspeed, 4.99f)) {
        d[VCP_GROUP_AIRSPEED] = 1;
    }
    if (Moved(&drawn.aoa, now.aoa, 0.09f)) {
        d[VCP_GROUP_AOA] = 1;
        if (now.category != drawn.category) d[VCP_GROUP_CATEGORY] = 1;
        drawn.category = now.category;
    }
    if (Moved(&drawn.vvi, now.vvi, 0.49f)) d[VCP_GROUP_VVI] = 1;
    if (Moved(&drawn.fuelFlow, now.fuelFlow, 9.99f)) d[VCP_GROUP_ODOMETER] = 1;
    if (AngleMoved(now.heading, drawn.heading) > 7.99f) {
        d[VCP_GROUP_HEADING] = 1;
        drawn.heading = now.heading;
    }
    if (AngleMoved(now.pitch, drawn.pitch) > 7.99f || AngleMoved(now.roll, drawn.roll) > 7.99f) {
        d[VCP_GROUP_ATTITUDE] = 1;
        drawn.pitch = now.pitch;
        drawn.roll = now.roll;
    }
    if (Moved(&drawn.altitude, now.altitude, 9.99f)) d[VCP_GROUP_ALTIMETER] = 1;
    if (Moved(&drawn.nozzle, now.nozzle, 4.0f)) d[VCP_GROUP_NOZZLE] = 1;
    if (Moved(&drawn.rpm, now.rpm, 4.0f)) d[VCP_GROUP_RPM] = 1;
    if (Moved(&drawn.temperature, now.temperature, 4.0f)) d[VCP_GROUP_TEMPERATURE] = 1;
    if (!InViews(view, {2, 5, 6, 9, 10})) d[VCP_GROUP_MFD_LEFT] = 1;
    if (!InViews(view, {1, 3, 6, 9, 10})) d[VCP_GROUP_MFD_RIGHT] = 1;
    if (!InViews(view, {2, 5, 6, 9, 10})) d[VCP_GROUP_THREAT] = 1;
    if (InViews(view, {2, 7, 9}) && (Moved(&drawn.fuel, now.fuel, 4.0f) || d[VCP_GROUP_HEADING]))
        d[VCP_GROUP_STICK] = 1;
}
