// Float vector and matrix library: 2- and 3-component vectors, 3x3 rotation
// matrices, 48-byte frames (position and three axis rows), angles in degrees,
// scalar routines, line intersections and the random generators.
//
// Every routine works in place or from a source to a destination given by the
// caller (a destination may be the source); nothing is allocated. Copies and
// the in-place vector operations take the destination first. Main thread only.
#pragma once
#include <cstdint>

struct MathVec2 {
    float x, y;
};

struct MathVec3 {
    float x, y, z;
};

// Three rows of three; the rows of a frame's matrix are its axes.
struct MathMat33 {
    float m[3][3];
};

// Position followed by the matrix: 12 floats, 48 bytes.
struct MathFrame {
    MathVec3 pos;
    MathMat33 rot;
};
static_assert(sizeof(MathFrame) == 48, "a frame is 12 floats");


// ---- Frames ----
void math_FrameIdentity(MathFrame* f);
void math_Mat34Copy(MathFrame* dst, const MathFrame* src);
// Frame space to world: rows weighted by p, plus the position (or not).
void math_FramePointToWorld(const MathFrame* f, const MathVec3* p, MathVec3* out);
void math_FrameDirToWorld(const MathFrame* f, const MathVec3* d, MathVec3* out);
void math_FrameTranslate(const MathFrame* f, const MathVec3* p, MathVec3* out);
// World to frame space: M (p - position), M d, p - position.
void math_FramePointToLocal(const MathFrame* f, const MathVec3* p, MathVec3* out);
void math_FrameDirToLocal(const MathFrame* f, const MathVec3* d, MathVec3* out);
void math_FrameUntranslate(const MathFrame* f, const MathVec3* p, MathVec3* out);
// position +=, or -=, distance x the first, second or third axis.
void math_FrameMoveRow1(MathFrame* f, float distance);
void math_FrameMoveRow2(MathFrame* f, float distance);
void math_FrameMoveRow3(MathFrame* f, float distance);
void math_FrameMoveRow1Back(MathFrame* f, float distance);
void math_FrameMoveRow2Back(MathFrame* f, float distance);
void math_FrameMoveRow3Back(MathFrame* f, float distance);

// ---- Matrices ----
void math_Mat33Identity(MathMat33* m);
void math_Mat33Copy(MathMat33* dst, const MathMat33* src);
void math_Mat33Transpose(MathMat33* m);
// Identity, then in each row the pairs (0, 1) turned by a, (1, 2) by -b and
// (0, 2) by -c (roll, pitch, heading in degrees).
void math_Mat33FromAngles(MathMat33* m, float a, float b, float c);
// Angles back out of a matrix, in the reverse order: out->x = c (heading),
// out->y = b (pitch), out->z = a (roll), each in [0, 360).
void math_Mat33ToAngles(const MathMat33* m, MathVec3* out);
// Turn two rows about the remaining axis: row i' = c row i + s row j,
// row j' = c row j - s row i.
void math_RotateRows01(MathMat33* m, float angle);
void math_RotateRows02(MathMat33* m, float angle);
void math_RotateRows12(MathMat33* m, float angle);
void math_RotateRows01Neg(MathMat33* m, float angle);
void math_RotateRows02Neg(MathMat33* m, float angle);
void math_RotateRows12Neg(MathMat33* m, float angle);
// In every row the element pair (u, v) becomes (c u + s v, c v - s u).
void math_RotateCols01(MathMat33* m, float angle);
void math_RotateCols02(MathMat33* m, float angle);
void math_RotateCols12(MathMat33* m, float angle);
void math_RotateCols01Neg(MathMat33* m, float angle);
void math_RotateCols02Neg(MathMat33* m, float angle);
void math_RotateCols12Neg(MathMat33* m, float angle);
// v (in place) turned about row 0, 1 or 2 of the basis m.
void math_RotateAboutRow0(MathVec3* v, const MathMat33* m, float angle);
void math_RotateAboutRow1(MathVec3* v, const MathMat33* m, float angle);
void math_RotateAboutRow2(MathVec3* v, const MathMat33* m, float angle);
void math_RotateAboutRow0Neg(MathVec3* v, const MathMat33* m, float angle);
void math_RotateAboutRow1Neg(MathVec3* v, const MathMat33* m, float angle);
void math_RotateAboutRow2Neg(MathVec3* v, const MathMat33* m, float angle);
// Each row of target turned as above about a row of basis.
void math_Mat33RotateAboutRow0(MathMat33* target, const MathMat33* basis, float angle);
void math_Mat33RotateAboutRow1(MathMat33* target, const MathMat33* basis, float angle);
void math_Mat33RotateAboutRow2(MathMat33* target, const MathMat33* basis, float angle);
void math_Mat33RotateAboutRow0Neg(MathMat33* target, const MathMat33* basis, float angle);
void math_Mat33RotateAboutRow1Neg(MathMat33* target, const MathMat33* basis, float angle);
void math_Mat33RotateAboutRow2Neg(MathMat33* target, const MathMat33* basis, float angle);
// out = A B, and out = A B^T.
void math_Mat33Mul(const MathMat33* a, const MathMat33* b, MathMat33* out);
void math_Mat33MulT(const MathMat33* a, const MathMat33* b, MathMat33* out);
// m = n m, and m = n^T m; terms with a factor of 0 are skipped.
void math_Mat33MulInPlace(MathMat33* m, const MathMat33* n);
void math_Mat33MulInPlace2(MathMat33* m, const MathMat33* n);
// 0 for a sound rotation matrix; -1..-9 a NaN in float i; -10..-12 a row not
// of unit length; -13..-15 rows 0/1, 1/2, 2/0 not at right angles.
int32_t math_FrameCheck(const MathMat33* m);
void math_FrameFromTriangle(const MathVec3* a, const MathVec3* b, const MathVec3* c, MathFrame* out);
// The frame's origin, the point (0, 0, d) and the point (0, d/2, 0) in world.
void math_FrameMarkerPoints(const MathFrame* f, float d, MathVec3 out[3]);
// Angle in degrees between v and a row of m (the Neg forms negate the row).
float math_AngleToRow0(const MathVec3* v, const MathMat33* m);
float math_AngleToRow1(const MathVec3* v, const MathMat33* m);
float math_AngleToRow2(const MathVec3* v, const MathMat33* m);
float math_AngleToRow0Neg(const MathVec3* v, const MathMat33* m);
float math_AngleToRow1Neg(const MathVec3* v, const MathMat33* m);
float math_AngleToRow2Neg(const MathVec3* v, const MathMat33* m);
// Heading and pitch (degrees, [0, 360)) of v seen in m's axes; also kept for
// math_RelativeAngles. heading/pitch may be null.
void math_RelativeHeadingPitch(const MathVec3* v, const MathMat33* m, float* heading, float* pitch);
void math_RelativePitchHeading(const MathVec3* v, const MathMat33* m, float* heading, float* pitch);
// The heading and pitch left by the last of the two routines above.
void math_RelativeAngles(float* heading, float* pitch);
// Rebuilds the matrix so that the third axis points at the target and the
// first stays level; the position is kept.
void math_FrameTurnToward(const MathVec3* target, MathFrame* f);
// Turns the frame so that its second axis points at the target.
void math_FrameTurnUpToward(const MathVec3* target, MathFrame* f);
// Turns every row about y so that the third row's x becomes 0.
void math_FrameLevel(MathFrame* f);
// Turns every row so that row 1 moves toward v by angle degrees.
void math_Mat33TurnAbout(const MathVec3* v, MathMat33* m, float angle);
void math_Mat33LevelUp(MathMat33* m);
void math_Mat33LevelUpPartial(MathMat33* m, float fraction);
// Moves the position along a row of a levelled copy of the matrix.
void math_FrameMoveLevelRow3(MathFrame* f, float distance);
void math_FrameMoveLevelRow3Back(MathFrame* f, float distance);
void math_FrameMoveLevelRow1Back(MathFrame* f, float distance);
void math_FrameMoveLevelRow1(MathFrame* f, float distance);
// child in parent's space to world; frame seen from the reference.
void math_FrameCompose(const MathFrame* child, const MathFrame* parent, MathFrame* out);
void math_FrameRelative(const MathFrame* f, const MathFrame* reference, MathFrame* out);
// v = M v (world to local); v = rows weighted by v (local to world).
void math_Mat33MulVec(const MathMat33* m, MathVec3* v);
void math_Mat33MulVec2(const MathMat33* m, MathVec3* v);

// ---- Vectors ----
void math_Vec3Zero(MathVec3* v);
void math_Vec3Set(MathVec3* v, float x, float y, float z);
void math_Vec3Copy(MathVec3* dst, const MathVec3* src);
void math_Vec3Negate(MathVec3* v);
void math_Vec3Add(MathVec3* dst, const MathVec3* src);         // dst += src
void math_Vec3Sub(MathVec3* dst, const MathVec3* src);         // dst -= src
void math_Vec3SubReverse(MathVec3* dst, const MathVec3* src);  // dst = src - dst
void math_Vec3Average(MathVec3* dst, const MathVec3* src);     // (dst + src) / 2
void math_Vec3Scale(MathVec3* v, float s);
void math_Vec3ScaleXZ(MathVec3* v, float s);
void math_Vec3Lerp(MathVec3* dst, const MathVec3* a, const MathVec3* b, float t);
void math_Vec3Normalize(MathVec3* v);
void math_Vec3SetLength(MathVec3* v, float length);
void math_Vec3ClampLength(MathVec3* v, float limit);
void math_Vec3AddX(MathVec3* v, float s);
void math_Vec3AddY(MathVec3* v, float s);
void math_Vec3AddZ(MathVec3* v, float s);
void math_Vec3SubX(MathVec3* v, float s);
void math_Vec3SubY(MathVec3* v, float s);
void math_Vec3SubZ(MathVec3* v, float s);
// v +=, or -=, s x row 0, 1 or 2 of m.
void math_Vec3AddRow0Scaled(MathVec3* v, const MathMat33* m, float s);
void math_Vec3AddRow1Scaled(MathVec3* v, const MathMat33* m, float s);
void math_Vec3AddRow2Scaled(MathVec3* v, const MathMat33* m, float s);
void math_Vec3SubRow0Scaled(MathVec3* v, const MathMat33* m, float s);
void math_Vec3SubRow1Scaled(MathVec3* v, const MathMat33* m, float s);
void math_Vec3SubRow2Scaled(MathVec3* v, const MathMat33* m, float s);

void math_Vec2Zero(MathVec2* v);
void math_Vec2Set(MathVec2* v, float x, float y);
void math_Vec2Copy(MathVec2* dst, const MathVec2* src);
void math_Vec2Negate(MathVec2* v);
void math_Vec2Add(MathVec2* dst, const MathVec2* src);
void math_Vec2Sub(MathVec2* dst, const MathVec2* src);
void math_Vec2SubReverse(MathVec2* dst, const MathVec2* src);
void math_Vec2Average(MathVec2* dst, const MathVec2* src);
void math_Vec2Scale(MathVec2* v, float s);
void math_Vec2Lerp(MathVec2* dst, const MathVec2* a, const MathVec2* b, float t);
void math_Vec2Normalize(MathVec2* v);
void math_Vec2SetLength(MathVec2* v, float length);
void math_Vec2ClampLength(MathVec2* v, float limit);
void math_Vec2AddX(MathVec2* v, float s);
void math_Vec2AddY(MathVec2* v, float s);
void math_Vec2SubX(MathVec2* v, float s);
void math_Vec2SubY(MathVec2* v, float s);

// Lengths: 0 when the sum of squares is not positive.
float math_Vec3Length(const MathVec3* v);
float math_Vec2Length(const MathVec2* v);
float math_Length3(float x, float y, float z);
float math_Length2D(float x, float y);
float math_Distance2D(const MathVec2* a, const MathVec2* b);
float math_Distance3D(const MathVec3* a, const MathVec3* b);
float math_Dot3(const MathVec3* a, const MathVec3* b);
void math_CrossProduct(const MathVec3* a, const MathVec3* b, MathVec3* out);

// ---- Scalars and angles ----
float math_Min(float a, float b);
float math_Max(float a, float b);
float math_Clamp(float value, float low, float high);
float math_AddUpTo(float value, float step, float high);          // min(value + step, high)
float math_SubDownTo(float value, float step, float low);         // max(value - step, low)
float math_AddClamp(float value, float step, float low, float high);
// y0 + (x - x0) (y1 - y0) / (x1 - x0); y0 when x1 equals x0.
float math_Lerp(float x0, float x1, float y0, float y1, float x);
// Degrees into [0, 360); NaN, or a value too far out, gives 0.
float math_WrapAngle(float degrees);
float math_AcosDegrees(float v);
float math_Atan2Degrees(float y, float x);
float math_SinDegrees(float degrees);
float math_CosDegrees(float degrees);
// (u, v) = (u cos t - v sin t, u sin t + v cos t); the Neg form turns by -t.
void math_RotatePairDegrees(float* u, float* v, float angle);
void math_RotatePairDegreesNeg(float* u, float* v, float angle);
int32_t math_IsNan(float v);
float math_HalfRelativeDiff(float a, float b);  // b (b - a) / (2 a)
// Square root from the exponent and a 256-entry mantissa table; 0 for a value
// that is not positive.
float math_FastSqrt(float v);
// Heading (and pitch) of a vector in degrees, [0, 360).
float math_VectorHeading(const MathVec3* v);
void math_VectorHeadingPitch(const MathVec3* v, float* heading, float* pitch);

// ---- Random numbers ----
// The 16-bit stream: seed = (seed x 0x04B05731 + 1) & 0xFFFF; returns it.
void math_RandomSeedFromClock(void);
int32_t math_RandomNext(void);
// low .. high inclusive; low when high <= low or while the fixed flag is set.
int32_t math_RandomRange(int32_t low, int32_t high);
void math_RandomSetFixed(int32_t fixed);
// Rotate-add generators: seed = rol(rol(seed, 11) + seed, 3); return the seed.
uint32_t math_Random(void);
uint32_t math_Random2(void);
// Back to the starting seeds (0x2B0749C1 twice, 16-bit seed 0), fixed flag off.
void math_RandomReset(void);

// ---- Projection, lines and rays ----
// View-space point to screen pixels with the current viewport's projection
// centre and x and y scales; nothing written unless z > 0. Returns 0 when
// written, -1 otherwise.
int32_t math_ProjectPoint(const MathVec3* view, int32_t out[2]);
// With d = b - a: n.d and m.d.
void math_DotOfDifference(const MathVec3* n, const MathVec3* m, const MathVec3* a,
                          const MathVec3* b, float* nd, float* md);
// With d = b - a: n.d / n.n and m.d / m.m (both 0 for a tiny n or m).
void math_ProjectDifference(const MathVec3* n, const MathVec3* m, const MathVec3* a,
                            const MathVec3* b, float* pn, float* pm);
// Where the line S..E meets the plane (normal n through P). 0, or -1 when the
// line runs along the plane (out zero). The ray form also fails (-1) unless
// the meeting point lies ahead of S, and then still writes it.
int32_t math_LinePoint(const MathVec3* n, const MathVec3* p, const MathVec3* s,
                       const MathVec3* e, MathVec3* out);
int32_t math_RayIntersectPoint(const MathVec3* n, const MathVec3* p, const MathVec3* s,
                               const MathVec3* e, MathVec3* out);
void math_SteerToward(float stepLimit, float speedLimit, float dt, MathVec3* velocity,
                      const MathVec3* targetVelocity, const MathVec3* targetPosition,
                      MathVec3* position);
float math_AngleBetween(const MathVec3* a, const MathVec3* b);
// 0 when the two directions are exactly the same or opposite, else 1.
int32_t math_NotParallel(const MathVec3* a, const MathVec3* b);
