// The steering controller of the autopilot modes: a terrain look-ahead along
// the velocity, then targets, commands and rate-limited control outputs.
#include <cmath>
#include <cstring>

#include "base/units.h"
#include "sim/flight.h"
#include "sim/plane.h"

FlightSteerState flight_Steer;

float flight_Toward(float value, float target, float rate) {
    if (value < target) return math_AddUpTo(value, rate, target);
    if (value > target) return math_SubDownTo(value, rate, target);
    return value;
}

namespace {

constexpr float kCommandRate = 90.0f;
constexpr float kSmoothRate = 90.0f;

float Clamp(float v, float limit) { return math_Clamp(v, -limit, limit); }

float Toward(float value, float target, float rate) { return flight_Toward(value, target, rate); }

float Degrees(double radians) { return (float)(radians * 57.29577951308232); }

// The mode values are the bearing of the steering point in the aircraft's
// axes (signed degrees, right positive) and its pitch seen from the aircraft
// (world, up positive). The references are the aircraft's own attitude the
// targets are measured against: the bank (right wing down positive) and the
// pitch of the nose. The hold routine's forms are the ones its final flip
// expects: heading 180 - bank, pitch minus the nose pitch.
void References(const _PLANE* p, bool hold) {
    FlightSteerState& s = flight_Steer;
    const MathVec3 v = {s.point.x - p->position.x, s.point.y - p->position.y, s.point.z - p->position.z};
    const MathMat33& m = p->orientation;
    const float right = m.m[0][0] * v.x + m.m[0][1] * v.y + m.m[0][2] * v.z;
    const float ahead = m.m[2][0] * v.x + m.m[2][1] * v.y + m.m[2][2] * v.z;
    s.modeValue[0] = Degrees(std::atan2(right, ahead));
    s.modeValue[1] = Degrees(std::atan2(v.y, std::sqrt(v.x * v.x + v.z * v.z)));
    const float bank = -Degrees(std::asin(m.m[0][1] < -1 ? -1.0 : (m.m[0][1] > 1 ? 1.0 : m.m[0][1])));
    const float nose = Degrees(std::asin(m.m[2][1] < -1 ? -1.0 : (m.m[2][1] > 1 ? 1.0 : m.m[2][1])));
    s.headingRef = hold ? 180.0f - bank : -bank;
    s.pitchRef = hold ? -nose : nose;
}

// A point far ahead on the current horizontal heading, at the given height
// offset: the wings-level modes steer toward it.
void LevelPoint(const _PLANE* p, float rise) {
    const float* f = p->orientation.m[2];
    float hx = f[0], hz = f[2];
    const float len = std::sqrt(hx * hx + hz * hz);
    if (len > 1e-6f) {
        hx /= len;
        hz /= len;
    } else {
        hx = 0.0f;
        hz = 1.0f;
    }
    flight_Steer.point = {p->position.x + hx * 1000.0f, p->position.y + rise, p->position.z + hz * 1000.0f};
}

}  // namespace

void flight_PredictTerrainClearance(void) {
    FlightSteerState& s = flight_Steer;
    s.terrainWarning = 0;
    s.earlyWarning = 0;
    s.climb[0] = s.climb[1] = 0.0f;
    const _PLANE* p = plane_Current;
    if (!p) return;
    const MathVec3 step = {p->velocity.x * FLIGHT_LOOKAHEAD_FRAMES, p->velocity.y * FLIGHT_LOOKAHEAD_FRAMES,
                           p->velocity.z * FLIGHT_LOOKAHEAD_FRAMES};
    MathVec3 at = p->position;
    for (int32_t i = 0; i < FLIGHT_LOOKAHEAD_STEPS; i++) {
        at.x += step.x;
        at.y += step.y;
        at.z += step.z;
        s.predicted = at;
        s.predictedHeight = fix_HeightAboveTerrain(&at);
        if (s.predictedHeight < FLIGHT_CLEARANCE) {
            s.terrainWarning = 1;
            if (i < FLIGHT_EARLY_STEPS) s.earlyWarning = 1;
            return;
        }
    }
}

void flight_SteerReset(void) { memset(&flight_Steer, 0, sizeof flight_Steer); }

void flight_SteerTargets(int32_t warning, float climbMargin) {
    FlightSteerState& s = flight_Steer;
    s.target[0] = Clamp(s.modeValue[0], 50.0f);
    const float pv = Clamp(s.modeValue[1], 30.0f);
    const float c = s.command[0];
    const float g = Clamp(-(c * c * c), 35.0f);
    s.target[1] = -(s.pitchRef - 2.5f - pv * (1.0f - std::fabs(g / 35.0f) * 0.5f));
    s.target[2] = s.headingRef - g;
    if (warning && climbMargin > s.target[1]) s.target[1] = 6.0f * climbMargin;
}

void flight_SteerApproach(void) {
    FlightSteerState& s = flight_Steer;
    for (int i = 0; i < 3; i++) s.command[i] = Toward(s.command[i], s.target[i], kCommandRate);
}

void flight_SteerOutputs(int32_t flag) {
    FlightSteerState& s = flight_Steer;
    s.output[0] = Clamp(s.command[2] * 0.008333334f, 1.0f);
    s.output[1] = Clamp(s.command[1] * (flag ? 0.05f : 0.0125f), 1.0f);
    s.output[2] = Clamp(s.command[0] * 0.016666668f, 0.2f);
}

void flight_SteerSmooth(void) {
    FlightSteerState& s = flight_Steer;
    for (int i = 0; i < 3; i++) s.smoothed[i] = Toward(s.smoothed[i], s.output[i], kSmoothRate);
}

void flight_SteerAltitudeHold(float reference) {
    FlightSteerState& s = flight_Steer;
    flight_PredictTerrainClearance();
    if (plane_Current) {
        LevelPoint(plane_Current, 0.0f);
        References(plane_Current, true);
    }
    const float margin = s.climb[1] - reference;
    s.target[2] = s.headingRef;
    s.target[1] = -reference - s.pitchRef;
    if (s.terrainWarning && s.target[1] < margin) s.target[1] = 6.0f * margin;
    s.target[2] = -(180.0f - s.target[2]);
    s.target[1] = -s.target[1];
    flight_SteerApproach();
    flight_SteerOutputs(0);
    flight_SteerSmooth();
}

void flight_SteerClimb(float reference) {
    FlightSteerState& s = flight_Steer;
    flight_PredictTerrainClearance();
    if (plane_Current) {
        LevelPoint(plane_Current, 0.0f);
        References(plane_Current, false);
    }
    const float margin = s.climb[0] + reference;
    s.target[2] = s.headingRef;
    s.target[1] = -reference - s.pitchRef;
    if (s.terrainWarning && s.target[1] < margin) s.target[1] = 6.0f * margin;
    flight_SteerApproach();
    flight_SteerOutputs(s.terrainWarning);
    flight_SteerSmooth();
}

void flight_SteerSelect(float reference) {
    if (flight_Steer.holdFlag) {
        flight_SteerAltitudeHold(reference);
    } else {
        flight_SteerClimb(reference);
    }
}

float flight_SteerMode(const MathVec3* point) {
    FlightSteerState& s = flight_Steer;
    flight_PredictTerrainClearance();
    if (point) s.point = *point;
    if (plane_Current) References(plane_Current, false);
    flight_SteerTargets(s.terrainWarning, s.climb[0]);
    flight_SteerApproach();
    flight_SteerOutputs(s.terrainWarning);
    flight_SteerSmooth();
    return s.modeValue[0];
}

void flight_SetStateFromObject(_PLANE* plane, const ObjectRecord* object) {
    if (!plane || !object) return;
    FloatStateRecord state = {};
    fix_ObjectToFloatState(object, &state);
    plane->position = state.frame.pos;
    plane->orientation = state.frame.rot;
    const float above = fix_HeightAboveTerrain(&plane->position);
    if (above < 0.0f) plane->position.y -= above;
}
