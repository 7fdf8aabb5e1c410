// World and physics unit conversions.
//
// Objects live in integers (world positions at 4096 units to the foot, 25-bit
// angles); the flight model, cameras and effects work in floats (metres,
// degrees, float frames). These are the conversions between the two, the
// exchange of an object's state with its float state, heights above the
// terrain and a clamp to a sphere. Float to integer goes to the nearest
// integer (ties to even) and saturates at the 32-bit range.
#pragma once
#include <cstdint>

#include "base/fix.h"
#include "base/math.h"

constexpr float FIX_FEET_PER_METRE = 3.281f;
constexpr float FIX_UNITS_PER_FOOT = 4096.0f;

// Signed integer vectors (4096 to the foot) and floats in feet or metres.
void fix_IntToFloatDiv(const FixVec3* in, MathVec3* out);        // feet
void fix_FloatToIntMul(const MathVec3* in, FixVec3* out);        // from feet
void fix_IntToFloatScaled(const FixVec3* in, MathVec3* out);     // metres
void fix_FloatToIntScaled(const MathVec3* in, FixVec3* out);     // from metres
// World positions: the value is halved (unsigned) on the way to float and
// doubled on the way back, so the lowest bit is lost and comes back 0.
void fix_WorldToFloatFeet(const FixWorldPos* in, MathVec3* out);
void fix_FloatFeetToWorld(const MathVec3* in, FixWorldPos* out);
void fix_WorldToFloat(const FixWorldPos* in, MathVec3* out);     // metres
void fix_FloatToWorld(const MathVec3* in, FixWorldPos* out);     // from metres

// Angles: degrees per unit 360 / 2^25.
float fix_AngleToDegrees(int32_t angle);
float fix_DegreesToAngleRaw(float degrees);   // neither rounded nor masked
int32_t fix_DegreesToAngle(float degrees);    // rounded and masked
// Heading, pitch, roll in degrees (out->x, y, z) and back (rounded, unmasked).
void fix_AnglesToDegrees(const FixAngles* angles, MathVec3* out);
void fix_FloatAnglesToInt(const MathVec3* degrees, FixAngles* out);

// Frames from an offset or world position and angles, and back.
void fix_VectorAnglesToFrame(const FixVec3* offset, const FixAngles* angles, MathFrame* out);
void fix_FrameToVectorAngles(const MathFrame* frame, FixVec3* offset, FixAngles* angles);
void fix_WorldAnglesToFrame(const FixWorldPos* pos, const FixAngles* angles, MathFrame* out);
void fix_FrameToWorldAngles(const MathFrame* frame, FixWorldPos* pos, FixAngles* angles);

// Object state exchange.
struct ObjectRecord;
struct FloatStateRecord;
void fix_ObjectToFloatState(const ObjectRecord* object, FloatStateRecord* state);
void fix_FloatStateToObject(const FloatStateRecord* state, ObjectRecord* object);
// Sets the view position and angles from a frame, copies the angles to the
// renderer's previous-angle slots (raising their change counter) and fills
// the sine-cosine blocks of the angles and of the negated angles.
void fix_ViewFromFrame(const MathFrame* frame);
// One byte of the current aircraft record, zero-extended (0 without one).
uint32_t fix_PlaneFlagByte(void);

// Height in metres of a float position above the terrain (bilinear height,
// or the highest corner of the cell).
float fix_HeightAboveTerrain(const MathVec3* pos);
float fix_HeightAboveTerrainMax4(const MathVec3* pos);
// Raises y to the terrain height plus the clearance when it is not above it.
void fix_KeepAboveTerrain(float clearance, MathVec3* pos);
// Raises y so that the centre and four points r away stay r above ground.
void fix_KeepSphereAboveTerrain(float radius, MathVec3* pos);
// Moves the point onto the sphere of radius maximum about the centre when it
// lies farther out.
void fix_ClampToSphere(float maximum, const MathVec3* centre, MathVec3* point);
