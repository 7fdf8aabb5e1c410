// Fixed-point angles and trigonometry.
//
// Angles are unsigned 25-bit fractions of a turn (FIX_TURN is a full turn);
// every routine masks its angle arguments, so any integer is a valid angle.
// Sines and cosines are 16.16 values read from a 512-step table with linear
// interpolation. The rotation routines use the rotation state loaded by the
// last fix_TrigToDouble: one caller at a time (the main thread).
#pragma once
#include <cstdint>

constexpr uint32_t FIX_TURN = 0x2000000;          // a full turn
constexpr uint32_t FIX_QUARTER = 0x800000;        // a quarter turn
constexpr uint32_t FIX_ANGLE_MASK = 0x1FFFFFF;    // 25 bits
constexpr int32_t FIX_ONE = 65536;                // 1.0 in 16.16

// Integer vector: three signed 32-bit components.
struct FixVec3 {
    int32_t x, y, z;
};

// World position: x, height, z, unsigned, 4096 units to the foot. The world
// spans the whole 32-bit range in x and z and wraps.
struct FixWorldPos {
    uint32_t x, y, z;
};

// Heading, pitch and roll, in that order.
struct FixAngles {
    int32_t heading, pitch, roll;
};

// Sine-cosine block: 16.16 sines and cosines of a heading a, pitch b, roll c.
struct FixSinCosBlock {
    int32_t sinA, cosA, sinB, cosB, sinC, cosC;
};

// Screen point in 1/128 pixel.
struct FixScreenPoint {
    int32_t x, y;
};


// The tables (built on first use): 769 sine entries (i / 512 of a turn,
// 16.16, peaks 65535) and 4097 arc tangent entries (units of 1/131072 turn).
const int32_t* fix_SinTable(void);
const uint16_t* fix_AtanTable(void);

// Sine of an angle in 16.16.
int32_t fix_Sin(int32_t angle);

// Fills a sine-cosine block for heading, pitch and roll. The C form is the
// one for compiled callers; both behave the same.
void fix_SinCosAngles(int32_t heading, int32_t pitch, int32_t roll, FixSinCosBlock* out);
void fix_SinCosAnglesC(int32_t heading, int32_t pitch, int32_t roll, FixSinCosBlock* out);

// Loads a block into the rotation state (as doubles) for the routines below.
void fix_TrigToDouble(const FixSinCosBlock* block);
void fix_TrigToDoubleC(const FixSinCosBlock* block);

// Rotations by the rotation state, rounded to the nearest integer; in and out
// may be the same vector.
void fix_RotateAboutY(const FixVec3* in, FixVec3* out);   // by the heading
void fix_RotateAboutYC(const FixVec3* in, FixVec3* out);
void fix_RotateAboutX(const FixVec3* in, FixVec3* out);   // by the pitch
void fix_RotateAboutZ(const FixVec3* in, FixVec3* out);   // by the roll
// About Y, then X, then Z; the inverse form goes Z, X, Y with the same angles.
void fix_RotateAll(FixVec3* out, const FixVec3* in);
void fix_RotateAllInverse(FixVec3* out, const FixVec3* in);

// Angle in [0, FIX_TURN) of the direction (-b, -a); 0 for (0, 0).
int32_t fix_Atan2(int32_t a, int32_t b);
// Eighth of a turn (0..7) in which fix_Atan2(a, b) falls; 0 for (0, 0).
int32_t fix_Octant(int32_t a, int32_t b);

// Euclidean length, rounded (saturates at INT32_MAX).
int32_t fix_LengthExact(const FixVec3* v);
// Largest absolute component plus 5/16 of the other two; never 0 (saturates
// at INT32_MAX).
int32_t fix_ApproxLength(const FixVec3* v);
// In place to a 16.16 unit vector, by the approximate or the exact length.
void fix_Normalize(FixVec3* v);
void fix_NormalizeExact(FixVec3* v);
// Sum of the three 64-bit products, each shifted right by 16.
int32_t fix_Dot(const FixVec3* a, const FixVec3* b);
// Normal of a triangle: (p0 - p1) x (p0 - p2), both normalised first.
void fix_TriangleNormal(const FixVec3* p0, const FixVec3* p1, const FixVec3* p2, FixVec3* out);

// View-space point (x right, y up, z forward) to the screen in 1/128 pixel.
// The focal factor (x scale) and the centre are the current drawing
// surface's; depths below the view's near distance are raised to it.
void fix_ProjectToScreen(const FixVec3* view, FixScreenPoint* out);
void fix_ProjectToScreenC(const FixVec3* view, FixScreenPoint* out);

// Heading, pitch and roll of an object with the given up and forward
// directions (any length). Both vectors are overwritten as work space.
void fix_AnglesFromVectors(FixVec3* up, FixVec3* forward, FixAngles* out);
