// Flight-model services used by the client and the server.
#pragma once

#include <cstdint>

#include "base/math.h"

struct ObjectRecord;

// Recomputes the object's speed value from its velocity.
void flight_SpeedFromVelocity(ObjectRecord* object);
// Jolts the player's attitude rates on a hit.
void flight_HitJolt(void);

// ---- Standard atmosphere and air data ----
struct _PLANE;

// From altitude (feet), true airspeed (knots) and a temperature deviation
// (degrees Rankine): speed of sound (knots), Mach and calibrated airspeed
// (knots); each result is written only through a pointer that is not null.
void flight_StdAtmosphere(float altitudeFt, float knots, float deviation, float* soundKnots, float* mach,
                          float* calibratedKnots);
// Air density (kg per cubic metre) of the same atmosphere: P / (R T).
float flight_AirDensity(float altitudeFt, float deviation);
// The record's calibrated airspeed, Mach and speed of sound (any may be null).
void math_AirDataCompute(const _PLANE* plane, float* calibratedKnots, float* mach, float* soundKnots);
// The value divided by the banded altitude factor of an altitude in metres.
float math_AirTableEvaluate(float value, float altitudeM);
// The same on a 16.16 value and a world altitude (4096 units to the foot).
int32_t math_AirTableLookupInt(int32_t value, int32_t altitude);
// The current aircraft's altitude above the terrain under the player object
// (metres); 0 without an aircraft.
float fix_PlaneHeightAboveTerrain(void);

// value moved toward target by at most rate, stopping exactly on it (the
// actuators, the engine and the controller's commands).
float flight_Toward(float value, float target, float rate);

// ---- Steering controller ----
struct FlightSteerState {
    int32_t terrainWarning;    // the look-ahead went below the clearance
    int32_t earlyWarning;      // ... within the first steps
    MathVec3 predicted;        // the look-ahead point
    float predictedHeight;     // height above terrain at the last step looked at
    float climb[2];            // height margins of the modes
    float modeValue[2];        // bearing and pitch to the steering point (degrees)
    float target[3];           // first, pitch, heading (degrees)
    float command[3];          // following the targets
    float output[3];           // aileron, elevator, rudder
    float smoothed[3];         // the outputs after their rate limit
    int32_t holdFlag;          // the wings-level mode holds altitude
    MathVec3 point;            // the steering point of the mode
    float headingRef;          // the aircraft's bank the heading target is measured against
    float pitchRef;            // the aircraft's nose pitch the pitch target is measured against
};
extern FlightSteerState flight_Steer;

constexpr int32_t FLIGHT_LOOKAHEAD_STEPS = 20;
constexpr float FLIGHT_LOOKAHEAD_FRAMES = 40.0f;
constexpr float FLIGHT_CLEARANCE = 60.96f;
constexpr int32_t FLIGHT_EARLY_STEPS = 10;

void flight_PredictTerrainClearance(void);
void flight_SteerReset(void);
void flight_SteerTargets(int32_t warning, float climbMargin);
void flight_SteerApproach(void);
void flight_SteerOutputs(int32_t flag);
void flight_SteerSmooth(void);
void flight_SteerAltitudeHold(float reference);
void flight_SteerClimb(float reference);
void flight_SteerSelect(float reference);
// Steers toward a point (metres); returns the first mode value.
float flight_SteerMode(const MathVec3* point);
// Rebuilds the record's float position (raised to the terrain when below
// it) and orientation from a fixed-point object.
void flight_SetStateFromObject(_PLANE* plane, const ObjectRecord* object);
