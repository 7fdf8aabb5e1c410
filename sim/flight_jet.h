// The shipped aircraft type's flight model: its hooks, the float flight
// state that follows the aircraft record's head, the starting-state template
// and the per-frame flight step (metres, kilograms, frames of 1/40 s).
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/math.h"
#include "base/table.h"
#include "sim/plane.h"

// A curve: (x, y) points with x ascending; flat beyond both ends.
struct JetCurve {
    const MathTableRow* points;
    int32_t count;
};
float jet_CurveValue(const JetCurve& curve, float x);

// Engine parameters, the last words of the template.
struct JetEngineParams {
    const MathTableRowPair* throttleTable;  // throttle: dry, afterburner fraction
    int32_t throttleRows;
    const MathTableRowPair* spoolTable;     // dry fraction: RPM target, temperature target
    int32_t spoolRows;
    JetCurve altitude;                      // thrust factor by altitude in feet
    float throttleStep;                     // 0.005 per frame
    float pairStep;                         // 0.01 per frame
    float flameOutPhaseStep;                // 12 degrees (mode 1)
    float engineOutPhaseStep;               // 8 degrees (mode 3)
    float temperatureLimit;                 // 250
    float temperatureRise;                  // 0.5 per frame
    float temperatureFall;                  // 0.05 per frame
    float rpmStep;                          // 0.005 per frame
    float dryThrust;                        // 85
    float afterburnerThrust;                // 20
    float singleEngine;                     // 0.6 of the thrust with the pair at 0
};

// The starting-state template, copied over the record's parameters at
// every restart.
struct JetTemplate {
    float emptyMass, maxMass, internalFuel;
    float fuelDry, fuelAfterburner;            // fuel per frame at full dry and afterburner power
    float actuatorTravel[6], actuatorRate[6];  // canopy, air brake, flaps, aileron, elevator, rudder
    float gearTravel, gearRate;
    float unnamed1[9];
    float areaLength[3], areaFactor[3];        // front, side, bottom
    float pitchReference;                      // -2.5
    float wingArea;                            // 95
    float negativeLift;                        // 0.9
    float gainJet[3], gainConventional[3];     // yaw, pitch, roll
    float startSpeed[3], fullSpeed[3];
    float damping[3];
    float unnamed2a, gRate, unnamed2b, climbThreshold;
    float trailSpeed, spinStep, spinLimit;
    float unnamed3[8];
    float sideForce, unnamed4, blackoutRate, unnamed4b;
    float stressKnotsUp, stressKnotsDown, stressKnotsGround, stressMach, stressGLow, stressGHigh;
    int32_t stressAir, stressGround, stressRelief, stressMax;
    float unnamed5[3];
    JetCurve liftDown;        // lift coefficient by relative-wind pitch, gear not fully up
    float liftDownLimits[2];  // factors of a negative and a positive coefficient
    JetCurve liftUp;          // gear fully up
    float liftUpLimits[2];
    JetCurve controlEffect;  // control effect by control-effect speed
    JetCurve pitchDrop;      // nose drop by speed, times the pitch scale
    JetCurve weathervane;    // by speed
    JetCurve climbScale;     // upward momentum by altitude in feet
    JetCurve dragScale;      // drag by Mach
    JetCurve gTarget;        // G by lift / weight
    JetCurve blackout;       // amount by G (y); kind: 1 above 0 G, 2 below
    JetCurve trail;          // trail size by G
    JetCurve groundSteer;    // nose-wheel steering by speed
    JetCurve mach;           // drag rise by Mach
    JetCurve sideSlip;       // side force by speed
    JetCurve rollCoupling;   // yaw-to-roll coupling by speed
    JetCurve stallBreak;     // lift loss past the stall by relative-wind pitch
    JetCurve spinRoll;       // flat-spin roll by speed
    JetCurve hover;          // hover lift by throttle
    JetCurve gearDrag;       // ground drag by speed (rolling friction)
    float curveConstants[2];
    JetEngineParams engine;
};
extern const JetTemplate jet_Template;

// Actuators: commanded and actual.
enum : int32_t { JET_CANOPY, JET_AIRBRAKE, JET_FLAPS, JET_AILERON, JET_ELEVATOR, JET_RUDDER, JET_ACTUATORS };

struct JetActuator {
    float command, actual;
};

// The engine block, read by the engine model and the cockpit.
struct JetEngine {
    float throttleCommand, throttle;   // 0 to 1.5
    float pairCommand, pair;           // engine pair
    float dry, afterburner;            // from the throttle table
    float dryCopy, afterburnerCopy;    // what the other steps read
    float power;
    int32_t flameOutMode;              // 0 none, 1 and 2 flame-out, 3 engine out
    int32_t flameOutTime;              // frames left
    float flameOutPhase;               // degrees
    float running;                     // 1 or 0
    float eventFactor;
    float effectiveRunning;
    float rpmTarget, rpm;
    float temperature, temperatureTarget;
    float thrustRaw;                   // before the altitude factor
    float altitudeFactor;
    float thrust;
};

// The flight state behind the parameters.
struct JetState {
    float area[3];                 // front, side, bottom products
    JetActuator actuator[JET_ACTUATORS];
    JetActuator gear;              // actual 0 down, 1 up
    JetEngine engine;
    float rate[3];                 // yaw, pitch, roll (degrees per frame)
    MathVec3 bodyForce;            // side, lift, thrust
    MathVec3 worldForce;
    MathVec3 momentum;
    float speed, speedPrev;        // metres per frame
    float knots, knotsSigned;
    float stressKnots, stressKnotsPrev;
    float calibrated;
    float effectSpeed;
    float smoothedSpeed;
    float mach;
    float g, gTarget;
    float relYaw, relPitch, relYawPrev, relPitchPrev;
    float frontFraction, sideFraction, bottomFraction, exposureScale;
    float mass;
    float density;
    float drag;
    MathVec3 dragVector;
    float lift, liftCoefficient, controlEffect, controlEffectMagnitude, liftFactor;
    int32_t stall;
    int32_t blackoutState, blackoutStatePrev;
    float blackoutAmount, blackoutAmountPrev, authority;
    float aboveGround, aboveGroundPrev;
    int32_t trailFrames;
    float trailSize;
    float spinRoll, spinStep;
    uint32_t sight[4];
    ObjectRecord* sightTarget;
    float sightAngle[2];
    int32_t stress;
    float vibration;
    int32_t gunSightMode;
    int32_t firstFrameDone;
    MathVec3 reference;            // the first frame's position, raised
    float pitchScale;
    int32_t abSound;               // the engine sound is in its afterburner form
    int32_t flameOutSounded;       // the flame-out sound of this flame-out has played
    int32_t overstressed;
};

// The aircraft record of this type.
struct _PLANE_JET {
    _PLANE head;
    JetTemplate params;
    JetState state;
};
// The state of a record of this type.
inline _PLANE_JET* jet_Record(_PLANE* plane) { return reinterpret_cast<_PLANE_JET*>(plane); }

// Record flags.
enum : uint32_t {
    JET_FLYING = 0x1,
    JET_MANUAL_MASK = 0x2 | 0x4 | 0x8,
    JET_FLAT_SPIN = 0x4,
    JET_LOCKED = 0x8,
    JET_ON_GROUND = 0x20,
    JET_GEAR_DOWN = 0x40,
    JET_GEAR_UP = 0x80,
    JET_TRAIL = 0x4000,
    JET_THRUST_BORNE = 0x8000,
    JET_WING_BORNE_JET = 0x20000,
    JET_RESTART_FLAGS = 0x831961,
};

// Options of this model (ours; the flame-out, blackout, flat-spin and rudder
// options come from the settings).
enum : uint32_t {
    JET_OPT_TRAIL = 0x1,
    JET_OPT_DEBUG = 0x2,
    JET_OPT_READ_THROTTLE = 0x10,
    JET_OPT_READ_SPEED = 0x20,
    JET_OPT_READ_TRUE_SPEED = 0x40,
    JET_OPT_READ_FUEL = 0x80,
    JET_OPT_READ_FUEL_PERCENT = 0x100,
    JET_OPT_READ_ALTITUDE = 0x200,
    JET_OPT_READ_PITCH = 0x400,
    JET_OPT_READ_MACH = 0x800,
    JET_OPT_THRUST_BORNE = 0x40000,   // the game option that starts thrust-borne
};
extern uint32_t jet_Options;
// The sound table that plays the aircraft's sounds; null while the level
// has none.
struct SndTrigFile;
extern SndTrigFile* jet_SoundTable;

// Hooks of the type.
int32_t jet_Create(intptr_t record);
int32_t jet_Release(intptr_t record);
int32_t jet_Restart(intptr_t argument);
int32_t jet_Frame(intptr_t object);
int32_t jet_Draw3D(intptr_t argument);
int32_t jet_DebugReadouts(intptr_t page);
int32_t jet_StoreDisplay(intptr_t argument);
int32_t jet_Refuel(intptr_t argument);
int32_t jet_Repair(intptr_t argument);
int32_t jet_CockpitStep(intptr_t argument);
int32_t jet_ClientFrame(intptr_t flag);
int32_t jet_FrameDraw(intptr_t argument);
int32_t jet_SightRay(intptr_t argument);
int32_t jet_WeaponChanged(intptr_t argument);

// Steps of the frame.
void flight_DecayRates(ObjectRecord* object);
void jet_GroundIdle(_PLANE* plane, ObjectRecord* object);
void jet_Controls(_PLANE* plane, ObjectRecord* object);
void jet_FlightStep(_PLANE* plane, ObjectRecord* object);
// One engine frame on the engine block; nothing without an ordnance manager.
void flight_EngineModel(const JetEngineParams* params, JetEngine* engine, float altitudeM);
// The flame-out check of the engine step.
void jet_FlameOutCheck(_PLANE* plane);

// The status line of the frame-draw step (right-hand pieces); the caption
// string number of the autopilot mode (0 for none).
size_t jet_StatusLine(const _PLANE* plane, int32_t autopilotMode, char* out, size_t size);
int32_t jet_AutopilotCaption(int32_t autopilotMode);
// Debug readout lines of page 0 or 1 into lines[count][width]; the number
// of lines written.
int32_t jet_ReadoutLines(const _PLANE* plane, int32_t page, char (*lines)[96], int32_t count);
