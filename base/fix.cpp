// Fixed-point angles and trigonometry: the sine and arc tangent tables, the
// integer rotations, lengths and the screen projection.
#include "base/fix.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "display/dsurf.h"
#include "render/view.h"

namespace {

constexpr int SIN_ENTRIES = 769;     // 512 steps, then half a turn and one more
constexpr int ATAN_ENTRIES = 4097;

// Module record of the rotation routines: the block last loaded, as doubles,
// and the angles last masked by fix_SinCosAngles.
struct FixModule {
    double sinA, cosA, sinB, cosB, sinC, cosC;
    uint32_t heading, pitch, roll;
};
FixModule fix_Module = {0.0, 1.0, 0.0, 1.0, 0.0, 1.0, 0, 0, 0};

struct SinTable {
    int32_t v[SIN_ENTRIES];
    SinTable() {
        const double pi = 3.14159265358979323846;
        for (int i = 0; i < SIN_ENTRIES; i++) {
            double s = std::trunc(65536.0 * std::sin(2.0 * pi * i / 512.0));
            // The peaks stay just below 1.0 so that a product never gains a bit.
            if (s > 65535.0) s = 65535.0;
            if (s < -65535.0) s = -65535.0;
            v[i] = (int32_t)s;
        }
    }
};

struct AtanTable {
    uint16_t v[ATAN_ENTRIES];
    AtanTable() {
        const double pi = 3.14159265358979323846;
        for (int i = 0; i < ATAN_ENTRIES - 1; i++)
            v[i] = (uint16_t)std::floor(65536.0 * std::atan(i / 4096.0) / pi);
        v[ATAN_ENTRIES - 1] = v[ATAN_ENTRIES - 2];
    }
};

const int32_t* sinTable() {
    static const SinTable t;
    return t.v;
}

uint32_t maskAngle(int32_t angle) {
    return (uint32_t)angle & FIX_ANGLE_MASK;
}

// Sine read at table index base (0..511 plus an offset), interpolated by the
// low 16 bits of the angle.
int32_t sinAt(uint32_t angle, uint32_t offset) {
    const int32_t* t = sinTable();
    uint32_t i = (angle >> 16) + offset;
    int64_t f = angle & 0xFFFF;
    int64_t d = (int64_t)t[i + 1] - t[i];
    return (int32_t)(t[i] + ((d * f) >> 16));
}

int32_t cosMasked(uint32_t angle) {
    return sinAt(angle, 128);
}

// Nearest integer, ties to even, kept within the 32-bit range.
int32_t roundToInt32(double v) {
    if (!(v == v)) return 0;
    double r = std::nearbyint(v);
    if (r >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (r <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return (int32_t)r;
}

int32_t saturate32(int64_t v) {
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return (int32_t)v;
}

int64_t abs64(int32_t v) {
    return v < 0 ? -(int64_t)v : (int64_t)v;
}

// Both approximate and exact lengths are needed as 64-bit values so that the
// normalisers divide by the true value even for the largest vectors.
int64_t approxLength64(const FixVec3* v) {
    int64_t ax = abs64(v->x), ay = abs64(v->y), az = abs64(v->z);
    int64_t big, rest;
    if (ax >= ay && ax >= az) {
        big = ax;
        rest = ay + az;
    } else if (ay >= az) {
        big = ay;
        rest = ax + az;
    } else {
        big = az;
        rest = ax + ay;
    }
    int64_t len = big + ((rest * 0x5000) >> 16);
    return len == 0 ? 1 : len;
}

int64_t exactLength64(const FixVec3* v) {
    double x = v->x, y = v->y, z = v->z;
    return (int64_t)std::nearbyint(std::sqrt(x * x + y * y + z * z));
}

void normalizeBy(FixVec3* v, int64_t len) {
    if (len == 0) return;  // only the zero vector has exact length 0
    v->x = (int32_t)(((int64_t)v->x << 16) / len);
    v->y = (int32_t)(((int64_t)v->y << 16) / len);
    v->z = (int32_t)(((int64_t)v->z << 16) / len);
}

// 16.16 product, floor.
int32_t mul16(int32_t a, int32_t b) {
    return (int32_t)(((int64_t)a * b) >> 16);
}

int32_t neg32(int32_t v) {
    return (int32_t)(0u - (uint32_t)v);
}

int32_t sub32(int32_t a, int32_t b) {
    return (int32_t)((uint32_t)a - (uint32_t)b);
}

int32_t add32(int32_t a, int32_t b) {
    return (int32_t)((uint32_t)a + (uint32_t)b);
}

// Shared by fix_Atan2 and fix_Octant: the row of the octant table, and the
// table entry A for it.
int atanRow(int32_t a, int32_t b, uint32_t* entry) {
    int64_t ma = abs64(a), mb = abs64(b);
    int64_t small = ma < mb ? ma : mb;
    int64_t big = ma < mb ? mb : ma;
    int64_t r = big == 0 ? 0 : small * 4096 / big;
    *entry = fix_AtanTable()[r];
    int64_t a64 = a, b64 = b;
    if (a <= 0) {
        if (b <= 0) return b64 < a64 ? 0 : 1;
        return -b64 < a64 ? 2 : 3;
    }
    if (b < 0) return -b64 < a64 ? 4 : 5;
    return b64 < a64 ? 6 : 7;
}

}  // namespace

const int32_t* fix_SinTable(void) {
    return sinTable();
}

const uint16_t* fix_AtanTable(void) {
    static const AtanTable t;
    return t.v;
}

int32_t fix_Sin(int32_t angle) {
    return sinAt(maskAngle(angle), 0);
}

void fix_SinCosAngles(int32_t heading, int32_t pitch, int32_t roll, FixSinCosBlock* out) {
    fix_Module.heading = maskAngle(heading);
    fix_Module.pitch = maskAngle(pitch);
    fix_Module.roll = maskAngle(roll);
    out->sinA = sinAt(fix_Module.heading, 0);
    out->cosA = cosMasked(fix_Module.heading);
    out->sinB = sinAt(fix_Module.pitch, 0);
    out->cosB = cosMasked(fix_Module.pitch);
    out->sinC = sinAt(fix_Module.roll, 0);
    out->cosC = cosMasked(fix_Module.roll);
}

void fix_SinCosAnglesC(int32_t heading, int32_t pitch, int32_t roll, FixSinCosBlock* out) {
    fix_SinCosAngles(heading, pitch, roll, out);
}

void fix_TrigToDouble(const FixSinCosBlock* block) {
    fix_Module.sinA = block->sinA / 65536.0;
    fix_Module.cosA = block->cosA / 65536.0;
    fix_Module.sinB = block->sinB / 65536.0;
    fix_Module.cosB = block->cosB / 65536.0;
    fix_Module.sinC = block->sinC / 65536.0;
    fix_Module.cosC = block->cosC / 65536.0;
}

void fix_TrigToDoubleC(const FixSinCosBlock* block) {
    fix_TrigToDouble(block);
}

namespace {

// The pair (u, v) turned to (u c + v s, v c - u s), rounded; the third
// coordinate is copied.
void turnPair(const FixVec3* in, FixVec3* out, int32_t FixVec3::*u, int32_t FixVec3::*v, double c, double s) {
    const FixVec3 from = *in;
    const double a = from.*u, b = from.*v;
    *out = from;
    out->*u = roundToInt32(a * c + b * s);
    out->*v = roundToInt32(b * c - a * s);
}

}  // namespace

void fix_RotateAboutY(const FixVec3* in, FixVec3* out) {
    turnPair(in, out, &FixVec3::x, &FixVec3::z, fix_Module.cosA, fix_Module.sinA);
}

void fix_RotateAboutYC(const FixVec3* in, FixVec3* out) {
    fix_RotateAboutY(in, out);
}

void fix_RotateAboutX(const FixVec3* in, FixVec3* out) {
    turnPair(in, out, &FixVec3::y, &FixVec3::z, fix_Module.cosB, fix_Module.sinB);
}

void fix_RotateAboutZ(const FixVec3* in, FixVec3* out) {
    turnPair(in, out, &FixVec3::x, &FixVec3::y, fix_Module.cosC, -fix_Module.sinC);
}

void fix_RotateAll(FixVec3* out, const FixVec3* in) {
    FixVec3 v = *in;
    fix_RotateAboutY(&v, &v);
    fix_RotateAboutX(&v, &v);
    fix_RotateAboutZ(&v, &v);
    *out = v;
}

void fix_RotateAllInverse(FixVec3* out, const FixVec3* in) {
    FixVec3 v = *in;
    fix_RotateAboutZ(&v, &v);
    fix_RotateAboutX(&v, &v);
    fix_RotateAboutY(&v, &v);
    *out = v;
}

int32_t fix_Atan2(int32_t a, int32_t b) {
    if (a == 0 && b == 0) return 0;
    uint32_t A;
    uint32_t r;
    switch (atanRow(a, b, &A)) {
    case 0: r = A; break;
    case 1: r = 0x8000 - A; break;
    case 2: r = 0x10000 - A; break;
    case 3: r = 0x8000 + A; break;
    case 4: r = 0x18000 + A; break;
    case 5: r = A == 0 ? 0 : 0x20000 - A; break;
    case 6: r = 0x18000 - A; break;
    default: r = 0x10000 + A; break;
    }
    return (int32_t)(r << 8);
}

int32_t fix_Octant(int32_t a, int32_t b) {
    static const int32_t octants[8] = {0, 1, 3, 2, 6, 7, 5, 4};
    if (a == 0 && b == 0) return 0;
    uint32_t A;
    return octants[atanRow(a, b, &A)];
}

int32_t fix_LengthExact(const FixVec3* v) {
    return saturate32(exactLength64(v));
}

int32_t fix_ApproxLength(const FixVec3* v) {
    return saturate32(approxLength64(v));
}

void fix_Normalize(FixVec3* v) {
    normalizeBy(v, approxLength64(v));
}

void fix_NormalizeExact(FixVec3* v) {
    normalizeBy(v, exactLength64(v));
}

int32_t fix_Dot(const FixVec3* a, const FixVec3* b) {
    int64_t s = (((int64_t)a->x * b->x) >> 16) + (((int64_t)a->y * b->y) >> 16) +
                (((int64_t)a->z * b->z) >> 16);
    return (int32_t)(uint32_t)(uint64_t)s;  // wraps like the 32-bit sum
}

void fix_TriangleNormal(const FixVec3* p0, const FixVec3* p1, const FixVec3* p2, FixVec3* out) {
    FixVec3 u = {sub32(p0->x, p1->x), sub32(p0->y, p1->y), sub32(p0->z, p1->z)};
    FixVec3 v = {sub32(p0->x, p2->x), sub32(p0->y, p2->y), sub32(p0->z, p2->z)};
    fix_Normalize(&u);
    fix_Normalize(&v);
    out->x = mul16(u.y, v.z) - mul16(u.z, v.y);
    out->y = mul16(u.z, v.x) - mul16(u.x, v.z);
    out->z = mul16(u.x, v.y) - mul16(u.y, v.x);
}

void fix_ProjectToScreen(const FixVec3* view, FixScreenPoint* out) {
    const _DRAW_SURFACE& surface = draw_CurrentSurface;
    int64_t z = view->z;
    if (z < ViewNearDistance) z = ViewNearDistance;
    // A near distance of 0 or below would divide by zero or flip the picture.
    if (z < 1) z = 1;
    // The quotient is a 32-bit value; points too close for the focal factor
    // are held at the largest scale instead of faulting.
    int64_t k = ((int64_t)surface.xScale * 4294967296LL) / z;
    k = saturate32(k);
    int64_t sx = surface.centreXF + (((int64_t)view->x * k) >> 25);
    int64_t sy = surface.centreYF + ((-(int64_t)view->y * k) >> 25);
    // Points far off to the side stay far off to the same side.
    out->x = saturate32(sx);
    out->y = saturate32(sy);
}

void fix_ProjectToScreenC(const FixVec3* view, FixScreenPoint* out) {
    fix_ProjectToScreen(view, out);
}

void fix_AnglesFromVectors(FixVec3* up, FixVec3* forward, FixAngles* out) {
    int32_t h = fix_Atan2(neg32(forward->x), neg32(forward->z));

    // Turn both about y by -h so that forward lies in the y-z plane.
    uint32_t mh = maskAngle(neg32(h));
    int32_t s = sinAt(mh, 0), c = cosMasked(mh);
    int32_t ux = up->x, uz = up->z;
    up->x = add32(mul16(c, ux), mul16(s, uz));
    up->z = sub32(mul16(c, uz), mul16(s, ux));
    forward->z = sub32(mul16(c, forward->z), mul16(s, forward->x));

    int32_t p = fix_Atan2(neg32(forward->y), neg32(forward->z));

    // Turn up about x by the pitch; only its y is needed for the roll.
    uint32_t mp = maskAngle(p);
    s = sinAt(mp, 0);
    c = cosMasked(mp);
    up->y = sub32(mul16(c, up->y), mul16(s, up->z));

    int32_t r = fix_Atan2(up->x, neg32(up->y));

    out->heading = (int32_t)maskAngle(h);
    out->pitch = (int32_t)maskAngle(p);
    out->roll = (int32_t)maskAngle(r);
}
