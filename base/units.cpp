// World and physics unit conversions.
#include "base/units.h"

#include <cmath>

#include "render/view.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "world/terrain.h"

namespace {

// Single-precision constants, widened: the arithmetic runs in double.
const double FEET = FIX_FEET_PER_METRE;
const double UNITS = FIX_UNITS_PER_FOOT;
const double HALF_UNITS = 2048.0f;
const double DEGREES_PER_UNIT = 360.0 / 33554432.0;

// Nearest integer (ties to even), held within the 32-bit range; 0 for NaN.
int32_t nearest32(double v) {
    if (!(v == v)) return 0;
    double r = std::nearbyint(v);
    if (r >= 2147483647.0) return 2147483647;
    if (r <= -2147483648.0) return (int32_t)-2147483647 - 1;
    return (int32_t)r;
}

// The angle rule of the angle conversions: degrees x 512 / 360 x 65536.
double degreesToUnits(double degrees) {
    return degrees * 512.0 / 360.0 * 65536.0;
}

float halfToFloat(uint32_t v, double scale) {
    return (float)((double)(v >> 1) / scale);
}

uint32_t floatToHalf(float v, double scale) {
    return (uint32_t)nearest32((double)v * scale) << 1;
}

// Terrain position of a float point: x and z as world positions, y signed.
FixWorldPos terrainPos(const MathVec3* pos) {
    FixWorldPos p;
    p.x = floatToHalf(pos->x, FEET * HALF_UNITS);
    p.z = floatToHalf(pos->z, FEET * HALF_UNITS);
    p.y = (uint32_t)nearest32((double)pos->y * FEET * UNITS);
    return p;
}

float heightAbove(const MathVec3* pos, int32_t height) {
    double metres = (double)(height >> 12) * 0.3048;
    return (float)(pos->y - metres);
}

// Matrix of a frame from integer angles: roll, pitch and heading in degrees.
void anglesToMatrix(const FixAngles* angles, MathMat33* m) {
    MathVec3 d;
    fix_AnglesToDegrees(angles, &d);
    math_Mat33FromAngles(m, d.z, d.y, d.x);
}

void matrixToAngles(const MathMat33* m, FixAngles* angles) {
    MathVec3 d;
    math_Mat33ToAngles(m, &d);  // heading, pitch, roll
    angles->heading = fix_DegreesToAngle(d.x);
    angles->pitch = fix_DegreesToAngle(d.y);
    angles->roll = fix_DegreesToAngle(d.z);
}

int32_t neg32(int32_t v) {
    return (int32_t)(0u - (uint32_t)v);
}

}  // namespace

void fix_IntToFloatDiv(const FixVec3* in, MathVec3* out) {
    *out = {(float)(in->x / UNITS), (float)(in->y / UNITS), (float)(in->z / UNITS)};
}

void fix_FloatToIntMul(const MathVec3* in, FixVec3* out) {
    *out = {nearest32(in->x * UNITS), nearest32(in->y * UNITS), nearest32(in->z * UNITS)};
}

void fix_IntToFloatScaled(const FixVec3* in, MathVec3* out) {
    *out = {(float)(in->x / UNITS / FEET), (float)(in->y / UNITS / FEET),
            (float)(in->z / UNITS / FEET)};
}

void fix_FloatToIntScaled(const MathVec3* in, FixVec3* out) {
    *out = {nearest32(in->x * FEET * UNITS), nearest32(in->y * FEET * UNITS),
            nearest32(in->z * FEET * UNITS)};
}

void fix_WorldToFloatFeet(const FixWorldPos* in, MathVec3* out) {
    *out = {halfToFloat(in->x, HALF_UNITS), halfToFloat(in->y, HALF_UNITS),
            halfToFloat(in->z, HALF_UNITS)};
}

void fix_FloatFeetToWorld(const MathVec3* in, FixWorldPos* out) {
    *out = {floatToHalf(in->x, HALF_UNITS), floatToHalf(in->y, HALF_UNITS),
            floatToHalf(in->z, HALF_UNITS)};
}

void fix_WorldToFloat(const FixWorldPos* in, MathVec3* out) {
    // Halved first so that the whole unsigned range stays positive.
    *out = {(float)((in->x >> 1) / HALF_UNITS / FEET), (float)((in->y >> 1) / HALF_UNITS / FEET),
            (float)((in->z >> 1) / HALF_UNITS / FEET)};
}

void fix_FloatToWorld(const MathVec3* in, FixWorldPos* out) {
    *out = {floatToHalf(in->x, FEET * HALF_UNITS), floatToHalf(in->y, FEET * HALF_UNITS),
            floatToHalf(in->z, FEET * HALF_UNITS)};
}

float fix_AngleToDegrees(int32_t angle) {
    return (float)(angle * DEGREES_PER_UNIT);
}

float fix_DegreesToAngleRaw(float degrees) {
    return (float)(degrees / DEGREES_PER_UNIT);
}

int32_t fix_DegreesToAngle(float degrees) {
    double u = degreesToUnits(degrees);
    if (!(u == u)) return 0;
    // Whole turns do not change an angle: fold far values before rounding
    // so that they stay within the integer range.
    if (u >= 2147483647.0 || u <= -2147483648.0) u = std::fmod(u, 33554432.0);
    return (int32_t)((uint32_t)nearest32(u) & FIX_ANGLE_MASK);
}

void fix_AnglesToDegrees(const FixAngles* angles, MathVec3* out) {
    *out = {(float)(angles->heading / 65536.0 * 360.0 / 512.0),
            (float)(angles->pitch / 65536.0 * 360.0 / 512.0),
            (float)(angles->roll / 65536.0 * 360.0 / 512.0)};
}

void fix_FloatAnglesToInt(const MathVec3* degrees, FixAngles* out) {
    *out = {nearest32(degreesToUnits(degrees->x)), nearest32(degreesToUnits(degrees->y)),
            nearest32(degreesToUnits(degrees->z))};
}

void fix_VectorAnglesToFrame(const FixVec3* offset, const FixAngles* angles, MathFrame* out) {
    fix_IntToFloatScaled(offset, &out->pos);
    anglesToMatrix(angles, &out->rot);
}

void fix_FrameToVectorAngles(const MathFrame* frame, FixVec3* offset, FixAngles* angles) {
    fix_FloatToIntScaled(&frame->pos, offset);
    matrixToAngles(&frame->rot, angles);
}

void fix_WorldAnglesToFrame(const FixWorldPos* pos, const FixAngles* angles, MathFrame* out) {
    fix_WorldToFloat(pos, &out->pos);
    anglesToMatrix(angles, &out->rot);
}

void fix_FrameToWorldAngles(const MathFrame* frame, FixWorldPos* pos, FixAngles* angles) {
    fix_FloatToWorld(&frame->pos, pos);
    matrixToAngles(&frame->rot, angles);
}

void fix_ObjectToFloatState(const ObjectRecord* object, FloatStateRecord* state) {
    fix_WorldAnglesToFrame(&object->position, &object->angles, &state->frame);
}

void fix_FloatStateToObject(const FloatStateRecord* state, ObjectRecord* object) {
    fix_FrameToWorldAngles(&state->frame, &object->position, &object->angles);
    FixVec3 v;
    fix_FloatToIntScaled(&state->velocity, &v);
    object->velocity = v;
    object->motion = v;
}

void fix_ViewFromFrame(const MathFrame* frame) {
    ViewState& view = view_State;
    fix_FrameToWorldAngles(frame, &view.position, &view.angles);
    view.previousAngles = view.angles;
    view.angleChanges++;
    fix_SinCosAngles(view.angles.heading, view.angles.pitch, view.angles.roll, &view.cameraTrig);
    fix_SinCosAngles(neg32(view.angles.heading), neg32(view.angles.pitch),
                     neg32(view.angles.roll), &view.viewMatrix);
}

uint32_t fix_PlaneFlagByte(void) {
    return plane_Current ? (plane_Current->flags & 0xFF) : 0;
}

float fix_HeightAboveTerrain(const MathVec3* pos) {
    FixWorldPos p = terrainPos(pos);
    return heightAbove(pos, terrain_HeightBilinear(&p));
}

float fix_HeightAboveTerrainMax4(const MathVec3* pos) {
    FixWorldPos p = terrainPos(pos);
    return heightAbove(pos, terrain_HeightMax4(&p));
}

void fix_KeepAboveTerrain(float clearance, MathVec3* pos) {
    FixWorldPos p = terrainPos(pos);
    double floor = terrain_HeightBilinear(&p) / UNITS / FEET + clearance;
    if (!(pos->y - floor > 0.0)) pos->y = (float)floor;
}

void fix_KeepSphereAboveTerrain(float radius, MathVec3* pos) {
    static const float dx[5] = {0.0f, 0.0f, 0.0f, -1.0f, 1.0f};
    static const float dz[5] = {0.0f, 1.0f, -1.0f, 0.0f, 0.0f};
    for (int i = 0; i < 5; i++) {
        MathVec3 sample = {pos->x + dx[i] * radius, pos->y, pos->z + dz[i] * radius};
        float d = radius - fix_HeightAboveTerrain(&sample);
        if (d - 0.001f >= 0.0f) pos->y += d;
    }
}

void fix_ClampToSphere(float maximum, const MathVec3* centre, MathVec3* point) {
    MathVec3 off = {point->x - centre->x, point->y - centre->y, point->z - centre->z};
    if (!(math_Vec3Length(&off) > maximum)) return;
    math_Vec3SetLength(&off, maximum);
    *point = {centre->x + off.x, centre->y + off.y, centre->z + off.z};
}
