// The shipped aircraft type's flight model. Each frame copies the player
// object into the record, runs the controls and the flight step in floats
// (metres, kilograms, frames), and copies the result back into the object.
#include "sim/flight_jet.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "base/filetable.h"
#include "base/units.h"
#include "cockpit/avion_cue.h"
#include "cockpit/mfd.h"
#include "display/dtext.h"
#include "display/evp.h"
#include "input/ffb.h"
#include "input/instate.h"
#include "net/client.h"
#include "render/fx.h"
#include "render/view_eject.h"
#include "shell/settings.h"
#include "sim/flight.h"
#include "sim/obj.h"
#include "sim/ord.h"
#include "sim/weapon.h"
#include "sound/sndtrig.h"
#include "world/level.h"

uint32_t jet_Options = 0;
SndTrigFile* jet_SoundTable = nullptr;

namespace {

// The aircraft's own tanks (internal fuel capacity).
constexpr float JET_INTERNAL_FUEL = 3105.0f;

constexpr float kGravity = 0.006125f;   // metres per frame squared
constexpr float kKnots = 77.5765f;      // knots per metre per frame

// ---- The shipped curves (ours where the type leaves them open) ----

// Lift: loaded (16 t, gear up) the aircraft trims level near 240 knots at
// the weathervane's 2.5 degrees; with the gear down it leaves the runway on
// its own near 290 knots, or from 170 knots with the stick held back.
const MathTableRow kLift[] = {{-90, 0}, {-30, -0.3f}, {-18, -0.55f}, {0, 0.02f}, {18, 0.6f}, {30, 0.35f}, {90, 0}};
const MathTableRow kControlEffect[] = {{0, 0}, {1, 0.2f}, {2, 0.5f}, {4, 1}, {8, 1}, {12, 0.6f}};
const MathTableRow kPitchDrop[] = {{0, 0.02f}, {2, 0.01f}, {4, 0}};
const MathTableRow kWeathervane[] = {{0, 0}, {1, 0.0004f}, {4, 0.0012f}, {8, 0.0015f}};
const MathTableRow kClimbScale[] = {{0, 1}, {60000, 1}, {80000, 0.9f}};
const MathTableRow kDragScale[] = {{0, 1}, {0.8f, 1}, {1, 1.5f}, {1.2f, 1}, {2, 1}, {2.3f, 1.5f}, {3, 5}};
const MathTableRow kGTarget[] = {{-20, -20}, {20, 20}};
const MathTableRow kBlackout[] = {{-6, 1}, {-3, 0}, {6, 0}, {9, 1}};
const MathTableRow kTrail[] = {{3, 0}, {5, 1}, {9, 2}};
const MathTableRow kGroundSteer[] = {{0, 1.5f}, {1, 1}, {3, 0.3f}};
const MathTableRow kMach[] = {{0, 1}, {1, 1}};
const MathTableRow kSideSlip[] = {{0, 0}, {4, 1}};
const MathTableRow kRollCoupling[] = {{0, 0.1f}, {4, 0.1f}};
const MathTableRow kStallBreak[] = {{0, 1}, {1, 1}};
const MathTableRow kSpinRoll[] = {{0, 1}, {1, 1}};
const MathTableRow kHover[] = {{0, 0}, {1.5f, 1.2f}};
// Rolling friction coefficient of the wheels by speed (metres per frame).
const MathTableRow kGroundDrag[] = {{0, 0.03f}, {1, 0.02f}, {3, 0.02f}};
const MathTableRow kAltitude[] = {{10000, 1},    {20000, 0.95f}, {30000, 0.85f}, {40000, 0.8f},
                                  {50000, 0.75f}, {60000, 0.3f},  {70000, 0.1f},  {75000, 0.0001f}};
const MathTableRowPair kThrottleTable[] = {{0, 0, 0}, {0.35f, 0.2f, 0}, {1, 1, 0}, {1.5f, 1, 1}};
const MathTableRowPair kSpoolTable[] = {{0, 0, 18}, {0.6f, 0.35f, 120}, {0.8f, 0.9f, 530}, {1, 1, 540}};

template <size_t N>
constexpr JetCurve Curve(const MathTableRow (&rows)[N]) {
    return {rows, (int32_t)N};
}

float Toward(float value, float target, float rate) { return flight_Toward(value, target, rate); }

float Deg(double r) { return (float)(r * 57.29577951308232); }

float Dot(const float* row, const MathVec3& v) { return row[0] * v.x + row[1] * v.y + row[2] * v.z; }

_PLANE_JET* Jet(_PLANE* p) { return jet_Record(p); }
const _PLANE_JET* Jet(const _PLANE* p) { return reinterpret_cast<const _PLANE_JET*>(p); }

float FuelWithInternal(void) { return ord_Manager ? ord_Manager->fuelWithInternal : 0.0f; }

// The aircraft's sounds: the engine sound type of the descriptor at the
// player object, filled into the shared request whether or not a table
// plays them.
void PlaySound(const _PLANE* p, int32_t subtype, int32_t id, int32_t volume) {
    if (Client_PlayerObject) sndtrig_RequestAtObject(Client_PlayerObject);
    sndtrig_Event.volume = volume;
    sndtrig_Event.type = (uint16_t)(p->descriptor ? p->descriptor->aircraftSoundType : 0);
    sndtrig_Event.subtype = (uint16_t)subtype;
    sndtrig_Event.id = (uint16_t)id;
    if (jet_SoundTable) sndtrig_Trigger(&sndtrig_Event, jet_SoundTable);
}

// Nine-word module block of the type.
uint32_t g_module[9];

}  // namespace

float jet_CurveValue(const JetCurve& curve, float x) {
    float y = 0.0f;
    math_TableInterp(curve.count, curve.points, x, &y);
    return y;
}

const JetTemplate jet_Template = {
    7000, 16875, 3105, 0.043125f, 0.1725f,
    {40, 45, 20, 25, 10, 25}, {0.005f, 0.01f, 0.025f, 0.1f, 0.15f, 0.1f},
    90, 0.01f,
    {122.92f, 150, 3.22f, 5, 15, 2.5f, 0.08f, 0.015f, 0.005f},
    {15, 60, 91.44f}, {0.06f, 0.2f, 0.4f},
    -2.5f, 95, 0.9f,
    {0.15f, 0.015f, 0.08f}, {0.25f, 0.06f, 0.36f},
    {1, 1, 1}, {4, 4, 4},
    {0.8f, 0.96f, 0.94f},
    5, 0.3f, 5, 0.0001f,
    2, 0.01f, 8,
    {0.66f, -1.2f, 4.3f, 30, -90, 90, -90, 90},
    0.25f, 0.25f, 0.2f, 0.2f,
    810, 360, 280, 2.1f, -3.5f, 8.9f,
    1, 3, 5, 1600,
    {790, 121.92f, 1035},
    Curve(kLift), {1.0f, 1.2f},
    Curve(kLift), {1.3f, 1.8f},
    Curve(kControlEffect), Curve(kPitchDrop), Curve(kWeathervane), Curve(kClimbScale), Curve(kDragScale),
    Curve(kGTarget), Curve(kBlackout), Curve(kTrail), Curve(kGroundSteer), Curve(kMach), Curve(kSideSlip),
    Curve(kRollCoupling), Curve(kStallBreak), Curve(kSpinRoll), Curve(kHover), Curve(kGroundDrag),
    {0.007f, 0.1f},
    {kThrottleTable, 4, kSpoolTable, 4, Curve(kAltitude), 0.005f, 0.01f, 12, 8, 250, 0.5f, 0.05f, 0.005f, 85, 20,
     0.6f},
};

// ---- Engine ----

void flight_EngineModel(const JetEngineParams* params, JetEngine* e, float altitudeM) {
    if (!params || !e || !ord_Manager) return;
    // 1-2. Throttle and engine pair toward their commands.
    float step = params->throttleStep;
    if (!(FuelWithInternal() >= 0.001f)) {
        e->throttleCommand = 0.0f;
        step *= 0.25f;
    }
    e->throttle = Toward(e->throttle, e->throttleCommand, step);
    e->pair = Toward(e->pair, e->pairCommand, params->pairStep);
    // 3. Dry and afterburner fractions.
    math_TableInterpPair(params->throttleRows, params->throttleTable, e->throttle, &e->dry, &e->afterburner);
    e->dryCopy = e->dry;
    e->afterburnerCopy = e->afterburner;
    e->power = e->dry + e->afterburner;
    e->running = e->power != 0.0f ? 1.0f : 0.0f;
    // 4. Event factor of the departure mode.
    switch (e->flameOutMode) {
    case 0:
        e->eventFactor = 1.0f;
        break;
    case 1:
        if (--e->flameOutTime <= 0) {
            e->flameOutTime = 0;
            e->flameOutMode = 0;
            e->eventFactor = 1.0f;
        } else {
            e->flameOutPhase = std::fmod(e->flameOutPhase + params->flameOutPhaseStep, 360.0f);
            e->eventFactor = std::fabs(std::cos(e->flameOutPhase * 0.017453292f));
        }
        break;
    case 2:
        if (--e->flameOutTime <= 0) {
            e->flameOutTime = 0;
            e->flameOutMode = 0;
            e->eventFactor = 1.0f;
        } else {
            e->eventFactor = 0.0f;
        }
        break;
    case 3:
        e->flameOutPhase = std::fmod(e->flameOutPhase + params->engineOutPhaseStep, 360.0f);
        e->eventFactor = std::fabs(std::cos(e->flameOutPhase * 0.017453292f));
        break;
    default:
        e->eventFactor = 0.0f;
        break;
    }
    e->effectiveRunning = e->running * e->eventFactor;
    // 5. Spool: RPM and turbine temperature.
    math_TableInterpPair(params->spoolRows, params->spoolTable, e->dry, &e->rpmTarget, &e->temperatureTarget);
    e->rpm = Toward(e->rpm, e->rpmTarget, params->rpmStep);
    e->temperature = Toward(e->temperature, e->temperatureTarget,
                            e->temperature < e->temperatureTarget ? params->temperatureRise : params->temperatureFall);
    // 6. Thrust.
    e->thrustRaw = (e->dry * params->dryThrust + e->afterburner * params->afterburnerThrust) * e->effectiveRunning *
                   ((1.0f - e->pair) * params->singleEngine + e->pair);
    if (e->flameOutMode == 3) e->thrustRaw *= 0.5f;
    e->altitudeFactor = jet_CurveValue(params->altitude, altitudeM * FIX_FEET_PER_METRE);
    e->thrust = e->altitudeFactor * e->thrustRaw;
}

void jet_FlameOutCheck(_PLANE* plane) {
    JetState& s = Jet(plane)->state;
    JetEngine& e = s.engine;
    if (plane_SystemsDamage[PLANE_SYS_ENGINE]) e.flameOutMode = 3;
    if (!app_Settings.FLAMEOUTS || s.stress <= 600 || e.flameOutMode != 0) return;
    const bool high = plane->position.y >= 11764.0f;
    bool start;
    if (high) {
        start = math_RandomNext() > 0xC47C;
    } else {
        start = (s.g <= -3.0f || s.g >= 4.9f) && math_RandomNext() > 0xB0F4;
    }
    if (!start) return;
    e.flameOutMode = math_RandomNext() <= 0x4000 ? 2 : 1;
    e.flameOutTime = high ? math_RandomRange(120, 600) : math_RandomRange(40, 400);
    e.flameOutPhase = 0.0f;
}

// ---- Hooks ----

int32_t jet_Create(intptr_t) {
    memset(g_module, 0, sizeof g_module);
    return 0;
}

// The flight's stores go with the aircraft: the manager and its store
// models live in the level's memory, which the level's end takes back.
int32_t jet_Release(intptr_t) {
    ord_ManagerDestroy();
    return 0;
}

int32_t jet_Restart(intptr_t) {
    _PLANE* plane = plane_Current;
    if (!plane) return 0;
    _PLANE_JET* j = Jet(plane);
    // 1. Flags, attitude and motion.
    plane->flags = (uint32_t)JET_RESTART_FLAGS | ((jet_Options & JET_OPT_THRUST_BORNE) ? (uint32_t)JET_THRUST_BORNE : 0u);
    plane->orientation = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    plane->velocity = {};
    // 2. Parameters from the template.
    j->params = jet_Template;
    // 4. Flight state.
    JetState& s = j->state;
    memset(&s, 0, sizeof s);
    s.actuator[JET_CANOPY] = {0, 1};
    s.actuator[JET_AIRBRAKE] = {1, 1};
    s.actuator[JET_FLAPS] = {1, 1};
    for (int i = 0; i < 3; i++) s.area[i] = j->params.areaLength[i] * j->params.areaFactor[i];
    s.engine.pairCommand = s.engine.pair = 1.0f;
    s.frontFraction = 1.0f;
    s.exposureScale = 1.0f;
    s.g = s.gTarget = 1.0f;
    s.mass = 1.0f;
    s.authority = 1.0f;
    for (uint32_t& w : s.sight) w = 1;
    // 5. Stores, sight and the player object's speed values.
    if (!ord_Manager) ord_ManagerCreate();
    if (_ORDNANCE_MANAGER* m = ord_Manager; m && !(m->internalFuelCapacity > 0.0f)) {
        // A new manager starts with the aircraft's own tanks full.
        m->internalFuelCapacity = JET_INTERNAL_FUEL;
        m->internalFuel = JET_INTERNAL_FUEL;
        ord_Recount();
    }
    mfd_StorePagesSetup();
    mfd_PagesReset();
    s.abSound = 0;
    PlaySound(plane, 0x13, 0x4A, 255);
    if (ObjectRecord* o = Client_PlayerObject) {
        o->speed = 0;
        o->velocity = {};
    }
    return 0;
}

void flight_DecayRates(ObjectRecord* object) {
    if (!object) return;
    int32_t* r[3] = {&object->rates.heading, &object->rates.pitch, &object->rates.roll};
    for (int32_t* v : r) {
        *v -= *v / 8;
        if (*v >= -8 && *v <= 8) *v = 0;
    }
}

void jet_GroundIdle(_PLANE* plane, ObjectRecord* object) {
    JetState& s = Jet(plane)->state;
    if (object) plane_PlayerFields(object)->autopilotMode = 0;
    s.actuator[JET_CANOPY].command = 0.0f;
    s.actuator[JET_AIRBRAKE].command = 0.0f;
    s.actuator[JET_FLAPS].command = 0.0f;
    s.engine.throttleCommand = 0.0f;
    plane->flags &= ~(uint32_t)(JET_THRUST_BORNE | JET_WING_BORNE_JET);
    s.engine.pairCommand = 1.0f;
}

void jet_Controls(_PLANE* plane, ObjectRecord* object) {
    JetState& s = Jet(plane)->state;
    const _INPUT_STATE& in = inmap_InputCurrent;
    PlanePlayerFields* f = object ? plane_PlayerFields(object) : nullptr;
    switch (in.command) {
    case 1:
    case 2:
    case 3:
        if (f) {
            static const uint8_t kMode[4] = {0, 2, 1, 3};
            const uint8_t mode = kMode[in.command];
            f->autopilotMode = f->autopilotMode == mode ? 0 : mode;
            if (f->autopilotMode) flight_SteerReset();
        }
        break;
    case 0x0C:
        // With the gun current the key switches its sight mode; otherwise it
        // selects the gun.
        if (weapon_CurrentPanelIndex == 0 && ord_PanelByIndex(0)) {
            s.gunSightMode ^= 1;
            weapon_GunMode = s.gunSightMode;
            jet_WeaponChanged(0);
        } else {
            weapon_KeyCode(in.command);
        }
        break;
    case 0x29:
        plane_WaypointNext(object);
        break;
    case 0x2A:
        plane_WaypointHome(object);
        break;
    case 45:
        weapon_DropChaff(object);
        break;
    case 48:
        weapon_DropFlare(object);
        break;
    case 69:
        weapon_RemoveRun(object);
        break;
    case 0x2B:
        view_EjectStart(object);
        break;
    default:
        // WINGMAN_TIGHT .. WINGMAN_GOHOME give orders 0..9 straight away.
        if (mfd_GameKey(in.command)) break;
        if (in.command >= 72 && in.command <= 81) Client_CallSendWingCommand(in.command - 72);
        else if (!plane_TargetKey(object, in.command)) weapon_KeyCode(in.command);
        break;
    }
    mfd_ControlsStep(in.panel, in.cursorItem, in.mouseButtons);
    // The triggers, held: each launch routine keeps to its store's release
    // interval.
    if (object && (in.flags & INPUT_FIRE_CANNON)) weapon_FireCannon(object);
    if (object && (in.flags & INPUT_FIRE_WEAPON)) weapon_LaunchRun(object);
    // The gear and flap keys toggle their commands; the gear comes up only
    // with no weight on the wheels. The air brake is out while its key is held.
    if (in.flags & INPUT_GEAR) {
        if (s.gear.command >= 0.5f) s.gear.command = 0.0f;
        else if (!(plane->flags & JET_ON_GROUND)) s.gear.command = 1.0f;
    }
    if (in.flags & INPUT_FLAPS) s.actuator[JET_FLAPS].command = s.actuator[JET_FLAPS].command >= 0.5f ? 0.0f : 1.0f;
    s.actuator[JET_AIRBRAKE].command = (in.flags & INPUT_BRAKE) ? 1.0f : 0.0f;
    if (in.flags & INPUT_THROTTLE_SET) s.engine.throttleCommand = math_Clamp(in.throttle, 0.0f, 1.5f);
    if (in.flags & 0x200000u) s.engine.pairCommand = s.engine.pairCommand >= 0.001f ? 0.0f : 1.0f;
    if (in.flags) plane_ApplyInputRotations();
}

// ---- Flight step ----

namespace {

void Actuators(_PLANE* plane, ObjectRecord* object) {
    _PLANE_JET* j = Jet(plane);
    JetState& s = j->state;
    if (plane_SystemsDamage[PLANE_SYS_AIRBRAKE]) s.actuator[JET_AIRBRAKE].command = 0.3f;
    if (plane_SystemsDamage[PLANE_SYS_HYDRAULICS]) {
        s.actuator[JET_FLAPS].command = 0.0f;
        s.actuator[JET_AILERON].command *= 0.1f;
    }
    if (plane_SystemsDamage[PLANE_SYS_ELEVATOR]) s.actuator[JET_ELEVATOR].command *= 0.1f;
    if (plane_SystemsDamage[PLANE_SYS_RUDDER]) s.actuator[JET_RUDDER].command = 0.0f;
    for (int i = 0; i < JET_ACTUATORS; i++) {
        JetActuator& a = s.actuator[i];
        a.actual = Toward(a.actual, a.command, j->params.actuatorRate[i]);
    }
    const float gearRate = j->params.gearRate * (plane_SystemsDamage[PLANE_SYS_GEAR] ? 0.1f : 1.0f);
    s.gear.actual = Toward(s.gear.actual, s.gear.command, gearRate);
    plane->flags &= ~(uint32_t)(JET_GEAR_DOWN | JET_GEAR_UP);
    uint8_t gearByte = 0;
    if (s.gear.actual <= 0.001f) plane->flags |= JET_GEAR_DOWN;
    if (s.gear.actual >= 0.999f) {
        plane->flags |= JET_GEAR_UP;
        gearByte = 64;
    }
    if (object) plane_PlayerFields(object)->gear = gearByte;
}

void EngineSound(_PLANE* plane) {
    JetState& s = Jet(plane)->state;
    // The flame-out sound once as a flame-out begins, not every frame of it.
    const int32_t mode = s.engine.flameOutMode;
    const bool out = mode == 1 || mode == 2;
    if (app_Settings.FLAMEOUTS && out && !s.flameOutSounded) PlaySound(plane, 0x0D, 0x48, app_Settings.SFX_VOLUME);
    s.flameOutSounded = out ? 1 : 0;
    const int32_t ab = s.engine.afterburnerCopy > 0.1f ? 1 : 0;
    if (ab != s.abSound) {
        s.abSound = ab;
        PlaySound(plane, ab ? 0 : 0x13, 0x4A, 255);
    }
}

void VapourTrail(_PLANE* plane) {
    _PLANE_JET* j = Jet(plane);
    JetState& s = j->state;
    if ((jet_Options & JET_OPT_TRAIL) && s.speed > j->params.trailSpeed) {
        s.trailSize = jet_CurveValue(j->params.trail, s.g);
        if (s.trailSize > 0.0f) {
            plane->flags |= JET_TRAIL;
            s.trailFrames++;
            if (Client_PlayerObject) fx_TrailPairStep(Client_PlayerObject);
            return;
        }
    }
    plane->flags &= ~(uint32_t)JET_TRAIL;
    s.trailFrames = 0;
    s.trailSize = 0.0f;
}

void EngineStep(_PLANE* plane) {
    _PLANE_JET* j = Jet(plane);
    JetState& s = j->state;
    const float before = s.engine.running;
    flight_EngineModel(&j->params.engine, &s.engine, plane->position.y);
    if (s.engine.running != before) PlaySound(plane, s.engine.running != 0.0f ? 0 : 0x13, 2, 255);
    jet_FlameOutCheck(plane);
}

void Stress(_PLANE* plane) {
    _PLANE_JET* j = Jet(plane);
    JetState& s = j->state;
    const JetTemplate& t = j->params;
    if (!(plane->flags & JET_FLYING) || (plane->flags & (JET_LOCKED | JET_THRUST_BORNE | JET_FLAT_SPIN))) {
        s.stress = 0;
        s.vibration = 0.0f;
        return;
    }
    const bool ground = (plane->flags & JET_ON_GROUND) != 0;
    float limit = ground ? t.stressKnotsGround : ((plane->flags & JET_GEAR_UP) ? t.stressKnotsUp : t.stressKnotsDown);
    s.stressKnotsPrev = s.stressKnots;
    s.stressKnots = s.knots;
    if (s.knots >= limit || s.mach >= t.stressMach || s.g <= t.stressGLow || s.g >= t.stressGHigh) {
        s.stress += ground ? t.stressGround : t.stressAir;
    } else {
        s.stress -= t.stressRelief;
        if (s.stress < 1) s.stress = 0;
    }
    if (s.stress >= t.stressMax) {
        s.stress = t.stressMax;
        if (!s.overstressed) plane_DamageSystem(math_RandomRange(0, 31));
        s.overstressed = 1;
    } else {
        s.overstressed = 0;
    }
    s.vibration = (float)s.stress / (float)t.stressMax;
}

// Orientation turned by yaw (left), pitch (up) and roll (left) in degrees.
void Rotate(MathMat33* m, float yaw, float pitch, float roll) {
    if (yaw != 0.0f) math_RotateRows02(m, yaw);
    if (pitch != 0.0f) math_RotateRows12(m, -pitch);
    if (roll != 0.0f) math_RotateRows01(m, roll);
}

void Rotation(_PLANE* plane, ObjectRecord* object) {
    _PLANE_JET* j = Jet(plane);
    JetState& s = j->state;
    const JetTemplate& t = j->params;
    const _INPUT_STATE& in = inmap_InputCurrent;
    PlanePlayerFields* f = object ? plane_PlayerFields(object) : nullptr;
    const bool ground = (plane->flags & JET_ON_GROUND) != 0;
    int32_t mode = f ? f->autopilotMode : 0;
    if (ground || (plane->flags & JET_MANUAL_MASK)) {
        mode = 0;
        if (f) f->autopilotMode = 0;
    }
    JetActuator* a = s.actuator;
    switch (mode) {
    case 1:
        flight_SteerSelect(t.pitchReference);
        break;
    case 2: {
        MathVec3 wp;
        if (plane_WaypointPoint(object, &wp) == 0) flight_SteerMode(&wp);
        break;
    }
    case 3:
        flight_SteerMode(&s.reference);
        break;
    default:
        flight_PredictTerrainClearance();
        a[JET_AILERON].command = (in.flags & 0x60) ? in.stickX * s.authority : 0.0f;
        a[JET_ELEVATOR].command = (in.flags & 0x18) ? in.stickY * s.authority : 0.0f;
        a[JET_RUDDER].command = (in.flags & INPUT_RUDDER) ? in.rudder : 0.0f;
        if (plane->flags & JET_MANUAL_MASK) {
            for (int i = JET_AILERON; i <= JET_RUDDER; i++) a[i].command *= 0.5f;
        }
        break;
    }
    if (mode >= 1 && mode <= 3) {
        a[JET_AILERON].command = flight_Steer.smoothed[0];
        a[JET_ELEVATOR].command = flight_Steer.smoothed[1];
        a[JET_RUDDER].command = flight_Steer.smoothed[2];
    }
    // Control effects.
    const float* gain = (plane->flags & JET_WING_BORNE_JET) ? t.gainJet : t.gainConventional;
    const float* up = plane->orientation.m[1];
    s.pitchScale = up[1] > 0.0f ? 1.0f - up[1] : 1.0f;
    if (s.effectSpeed > 0.0f && s.controlEffectMagnitude > 0.0f) {
        const float effect = jet_CurveValue(t.controlEffect, s.effectSpeed);
        float term[3];
        const float input[3] = {-a[JET_RUDDER].actual, a[JET_ELEVATOR].actual, -a[JET_AILERON].actual};
        for (int i = 0; i < 3; i++) {
            term[i] = 0.0f;
            if (s.effectSpeed <= t.startSpeed[i]) continue;
            float scale = 1.0f;
            if (s.effectSpeed < t.fullSpeed[i]) scale = (s.effectSpeed - t.startSpeed[i]) / (t.fullSpeed[i] - t.startSpeed[i]);
            term[i] = effect * input[i] * gain[i] * scale;
        }
        if (ground) {
            const float steer = (app_Settings.RUDDER_ENABLE ? -a[JET_RUDDER].actual : -a[JET_AILERON].actual);
            s.rate[0] += steer * jet_CurveValue(t.groundSteer, s.speed) * gain[0];
        } else {
            s.rate[0] += term[0];
            s.rate[2] += term[2] + term[0] * up[1] * jet_CurveValue(t.rollCoupling, s.speed);
        }
        s.rate[1] += term[1];
    }
    s.rate[1] -= jet_CurveValue(t.pitchDrop, s.speed) * s.pitchScale;
    // Weathervane.
    if (!(plane->flags & JET_FLAT_SPIN) && s.speed > 0.001f) {
        const float k = jet_CurveValue(t.weathervane, s.speed);
        s.rate[0] += k * s.relYawPrev;
        s.rate[1] -= k * (s.relPitchPrev - 2.5f);
    }
    Rotate(&plane->orientation, s.rate[0], s.rate[1], s.rate[2]);
    for (int i = 0; i < 3; i++) s.rate[i] *= t.damping[i];
}

void Forces(_PLANE* plane) {
    _PLANE_JET* j = Jet(plane);
    JetState& s = j->state;
    const JetTemplate& t = j->params;
    // Body force: side, lift, thrust.
    s.bodyForce.x = -s.actuator[JET_RUDDER].actual * t.sideForce * s.speed * s.speed *
                    jet_CurveValue(t.sideSlip, s.speed);
    s.bodyForce.y = s.lift;
    s.bodyForce.z = s.engine.thrust;
    s.worldForce = s.dragVector;
    s.worldForce.y -= kGravity * s.mass;
    const MathMat33& m = plane->orientation;
    MathVec3 world;
    world.x = m.m[0][0] * s.bodyForce.x + m.m[1][0] * s.bodyForce.y + m.m[2][0] * s.bodyForce.z;
    world.y = m.m[0][1] * s.bodyForce.x + m.m[1][1] * s.bodyForce.y + m.m[2][1] * s.bodyForce.z;
    world.z = m.m[0][2] * s.bodyForce.x + m.m[1][2] * s.bodyForce.y + m.m[2][2] * s.bodyForce.z;
    s.momentum.x += world.x + s.worldForce.x;
    s.momentum.y += world.y + s.worldForce.y;
    s.momentum.z += world.z + s.worldForce.z;
    if (s.momentum.y > t.climbThreshold)
        s.momentum.y *= jet_CurveValue(t.climbScale, plane->position.y * FIX_FEET_PER_METRE);
    const bool ground = (plane->flags & JET_ON_GROUND) != 0;
    if (ground && s.speed >= 0.001f) {
        // Rolling friction, then the momentum turned toward the heading.
        const float hx = m.m[2][0], hz = m.m[2][2];
        const float len = std::sqrt(hx * hx + hz * hz);
        if (len > 1e-6f) {
            const float ux = hx / len, uz = hz / len;
            const float along = s.momentum.x * ux + s.momentum.z * uz;
            s.momentum.x = 0.45f * along * ux + 0.55f * s.momentum.x;
            s.momentum.z = 0.45f * along * uz + 0.55f * s.momentum.z;
        }
        // Rolling friction: the wheels' coefficient times the weight the
        // wings do not yet carry, against the motion, never reversing it.
        const float load = kGravity * s.mass - (s.lift > 0.0f ? s.lift : 0.0f);
        const float horizontal = std::sqrt(s.momentum.x * s.momentum.x + s.momentum.z * s.momentum.z);
        if (load > 0.0f && horizontal > 0.0f) {
            const float friction = jet_CurveValue(t.gearDrag, s.speed) * load;
            const float keep = friction >= horizontal ? 0.0f : 1.0f - friction / horizontal;
            s.momentum.x *= keep;
            s.momentum.z *= keep;
        }
    }
    const float mass = s.mass > 0.0f ? s.mass : 1.0f;
    plane->velocity = {s.momentum.x / mass, s.momentum.y / mass, s.momentum.z / mass};
    plane->position.x += plane->velocity.x;
    plane->position.y += plane->velocity.y;
    plane->position.z += plane->velocity.z;
}

void Hover(_PLANE* plane) {
    _PLANE_JET* j = Jet(plane);
    JetState& s = j->state;
    // Thrust-borne: the engine holds the aircraft up; the throttle sets the
    // climb, the attitude the drift.
    const float lift = jet_CurveValue(j->params.hover, s.engine.throttle) * (s.engine.thrust > 0.0f ? 1.0f : 0.0f);
    const float climb = (lift - 1.0f) * 0.05f;
    s.momentum.y = climb * s.mass;
    const float* f = plane->orientation.m[2];
    s.momentum.x = f[0] * s.engine.thrust * 0.01f * s.mass;
    s.momentum.z = f[2] * s.engine.thrust * 0.01f * s.mass;
    const float mass = s.mass > 0.0f ? s.mass : 1.0f;
    plane->velocity = {s.momentum.x / mass, s.momentum.y / mass, s.momentum.z / mass};
    plane->position.x += plane->velocity.x;
    plane->position.y += plane->velocity.y;
    plane->position.z += plane->velocity.z;
    for (float& r : s.rate) r = 0.0f;
}

void Mass(_PLANE* plane) {
    _PLANE_JET* j = Jet(plane);
    // The store mass already holds the fuel of the external tanks: only the
    // internal fuel is added to it.
    const _ORDNANCE_MANAGER* m = ord_Manager;
    j->state.mass = j->params.emptyMass + (m ? m->internalFuel + m->storeMass : 0.0f);
}

void AirData(_PLANE* plane) {
    JetState& s = Jet(plane)->state;
    s.speedPrev = s.speed;
    s.speed = math_Vec3Length(&plane->velocity);
    s.knots = s.speed * kKnots;
    s.knotsSigned = std::fabs(s.relYaw) > 89.999f ? -s.knots : s.knots;
    s.density = flight_AirDensity(plane->position.y * FIX_FEET_PER_METRE, 0.0f);
    float sound = 0.0f;
    math_AirDataCompute(plane, &s.calibrated, &s.mach, &sound);
    s.smoothedSpeed += (s.speed - s.smoothedSpeed) * 0.1f;
    s.effectSpeed = (s.speed + s.smoothedSpeed) * 0.5f;
}

void RelativeWind(_PLANE* plane) {
    JetState& s = Jet(plane)->state;
    s.relYawPrev = s.relYaw;
    s.relPitchPrev = s.relPitch;
    if (s.speed <= 0.001f) {
        s.relYaw = s.relPitch = 0.0f;
        s.frontFraction = 1.0f;
        s.exposureScale = 1.0f;
        s.sideFraction = s.bottomFraction = 0.0f;
        return;
    }
    const MathMat33& m = plane->orientation;
    const float bx = Dot(m.m[0], plane->velocity), by = Dot(m.m[1], plane->velocity), bz = Dot(m.m[2], plane->velocity);
    s.relYaw = Deg(std::atan2(-bx, bz));
    s.relPitch = Deg(std::atan2(-by, bz));
    float y = std::fabs(s.relYaw);
    if (y > 90.0f) y = 180.0f - y;
    s.frontFraction = (90.0f - y) / 90.0f;
    s.sideFraction = 1.0f - s.frontFraction;
    float p = std::fabs(s.relPitch);
    if (p > 90.0f) p = 180.0f - p;
    s.bottomFraction = p / 90.0f;
    s.exposureScale = 1.0f - s.bottomFraction;
}

void Lift(_PLANE* plane) {
    _PLANE_JET* j = Jet(plane);
    JetState& s = j->state;
    const JetTemplate& t = j->params;
    if (!(s.relYaw > -90.0f && s.relYaw < 90.0f) || s.speed < 0.001f) {
        s.lift = 0.0f;
        s.liftCoefficient = 0.0f;
        s.controlEffect = s.controlEffectMagnitude = 0.0f;
        s.liftFactor = 0.0f;
        s.stall = 1;
        return;
    }
    const bool up = (plane->flags & JET_GEAR_UP) != 0;
    const JetCurve& curve = up ? t.liftUp : t.liftDown;
    const float* limits = up ? t.liftUpLimits : t.liftDownLimits;
    s.liftCoefficient = jet_CurveValue(curve, s.relPitch);
    // Stalled beyond the curve's peaks.
    float lowX = 0.0f, highX = 0.0f, lowY = 1e9f, highY = -1e9f;
    for (int32_t i = 0; i < curve.count; i++) {
        if (curve.points[i].y > highY) highY = curve.points[i].y, highX = curve.points[i].x;
        if (curve.points[i].y < lowY) lowY = curve.points[i].y, lowX = curve.points[i].x;
    }
    s.stall = (s.relPitch > highX || s.relPitch < lowX) ? 1 : 0;
    s.controlEffect = s.liftCoefficient < 0.0f ? s.liftCoefficient * t.negativeLift : s.liftCoefficient;
    s.controlEffectMagnitude = std::fabs(s.controlEffect);
    s.liftFactor = s.liftCoefficient * (s.liftCoefficient > 0.0f ? limits[1] : limits[0]);
    s.lift = s.speed * s.speed * 0.5f * s.density * t.wingArea * s.liftFactor * s.frontFraction;
    if (plane->flags & JET_FLAT_SPIN) s.stall = 1;
}

void ParasiticDrag(_PLANE* plane) {
    _PLANE_JET* j = Jet(plane);
    JetState& s = j->state;
    if (s.speed < 0.001f) {
        s.drag = 0.0f;
        s.dragVector = {};
        return;
    }
    const float front = ((1.0f - s.gear.actual) * 0.5f + s.actuator[JET_AIRBRAKE].actual) * 6.0f + 1.0f;
    s.drag = s.speed * s.speed * 0.5f * s.density *
             (s.area[2] * s.bottomFraction + (s.area[1] * s.sideFraction + s.area[0] * front * s.frontFraction) * s.exposureScale);
    s.drag *= jet_CurveValue(j->params.dragScale, s.mach);
    const float k = -s.drag / s.speed;
    s.dragVector = {plane->velocity.x * k, plane->velocity.y * k, plane->velocity.z * k};
}

void GroundContact(_PLANE* plane, ObjectRecord* object) {
    JetState& s = Jet(plane)->state;
    s.aboveGroundPrev = s.aboveGround;
    PlanePlayerFields* f = object ? plane_PlayerFields(object) : nullptr;
    if (!f || !f->onGround) {
        plane->flags &= ~(uint32_t)JET_ON_GROUND;
        if (f) f->onGround = 0;
        s.aboveGround = fix_PlaneHeightAboveTerrain();
        return;
    }
    plane->flags |= JET_ON_GROUND;
    s.aboveGround = 0.0f;
    if (s.momentum.y < 0.0f) s.momentum.y = 0.0f;
}

void LoadFactor(_PLANE* plane) {
    _PLANE_JET* j = Jet(plane);
    JetState& s = j->state;
    if (plane->flags & JET_ON_GROUND) {
        s.gTarget = 1.0f;
    } else {
        const float weight = kGravity * (s.mass > 0.0f ? s.mass : 1.0f);
        s.gTarget = jet_CurveValue(j->params.gTarget, s.lift / weight);
    }
    s.g = Toward(s.g, s.gTarget, j->params.gRate);
}

void Blackout(_PLANE* plane) {
    _PLANE_JET* j = Jet(plane);
    JetState& s = j->state;
    s.blackoutStatePrev = s.blackoutState;
    s.blackoutAmountPrev = s.blackoutAmount;
    if (!app_Settings.BLACKOUTS) {
        s.blackoutState = s.blackoutStatePrev = 0;
        s.blackoutAmount = s.blackoutAmountPrev = 0.0f;
        s.authority = 1.0f;
        return;
    }
    const float target = jet_CurveValue(j->params.blackout, s.g);
    const int32_t kind = target > 0.0f ? (s.g < 0.0f ? 2 : 1) : 0;
    s.blackoutAmount = Toward(s.blackoutAmount, target, j->params.blackoutRate * 0.05f);
    if (s.blackoutAmount <= 0.001f) {
        s.blackoutState = 0;
        s.blackoutAmount = 0.0f;
    } else if (kind) {
        s.blackoutState = kind;
    }
    s.authority = 1.0f - s.blackoutAmount;
}

void WeaponsSight(_PLANE* plane, ObjectRecord* object) {
    JetState& s = Jet(plane)->state;
    if (plane_SystemsDamage[PLANE_SYS_SIGHT]) {
        s.sightTarget = nullptr;
        return;
    }
    if (!((s.sight[0] & 1) && !(s.sight[0] & 4) && (s.sight[2] & 1))) return;
    if (!(s.sight[2] & 6)) {
        s.sightTarget = nullptr;
        return;
    }
    if (s.sight[2] & 2) s.sightTarget = object ? object->target : nullptr;
    if (!s.sightTarget) return;
    MathVec3 tp;
    fix_WorldToFloat(&s.sightTarget->position, &tp);
    const MathVec3 v = {tp.x - plane->position.x, tp.y - plane->position.y, tp.z - plane->position.z};
    const MathMat33& m = plane->orientation;
    const float bx = Dot(m.m[0], v), by = Dot(m.m[1], v), bz = Dot(m.m[2], v);
    s.sightAngle[0] = Deg(std::atan2(bx, bz));
    s.sightAngle[1] = Deg(std::atan2(by, std::sqrt(bx * bx + bz * bz)));
}

}  // namespace

void jet_FlightStep(_PLANE* plane, ObjectRecord* object) {
    if (!plane) return;
    _PLANE_JET* j = Jet(plane);
    JetState& s = j->state;
    if (!s.firstFrameDone) {
        s.firstFrameDone = 1;
        s.reference = plane->position;
        s.reference.y += 500.0f;
        s.smoothedSpeed = s.speed;
        Mass(plane);
        s.momentum = {plane->velocity.x * s.mass, plane->velocity.y * s.mass, plane->velocity.z * s.mass};
    }
    Actuators(plane, object);
    EngineSound(plane);
    VapourTrail(plane);
    EngineStep(plane);
    Stress(plane);
    if (!(plane->flags & JET_THRUST_BORNE)) {
        const float k = plane_SystemsDamage[PLANE_SYS_FUEL_LEAK] ? 8.0f : 1.0f;
        ord_FuelDraw(j->params.fuelDry * k * s.engine.dryCopy);
        ord_FuelDraw(j->params.fuelAfterburner * k * s.engine.afterburnerCopy);
        Mass(plane);
        s.bodyForce = s.worldForce = {};
        Forces(plane);
        Rotation(plane, object);
    } else {
        Hover(plane);
    }
    Mass(plane);
    AirData(plane);
    Lift(plane);
    ParasiticDrag(plane);
    RelativeWind(plane);
    GroundContact(plane, object);
    LoadFactor(plane);
    Blackout(plane);
    WeaponsSight(plane, object);
    ffb_AircraftFrame();
}

int32_t plane_FeedbackStateGet(PlaneFeedbackState* state) {
    _PLANE* plane = plane_Current;
    if (!state || !plane || plane->descriptor != &plane_TypeKrx) return -1;
    const JetState& s = Jet(plane)->state;
    const JetTemplate& t = Jet(plane)->params;
    *state = {};
    state->noControl = (plane->flags & JET_FLYING) ? 0 : 1;
    state->onGround = (plane->flags & JET_ON_GROUND) ? 1 : 0;
    state->yawForce = s.relYaw;
    state->pitchForce = s.relPitch;
    state->speed = s.knots;
    state->referenceSpeed = t.stressKnotsUp;
    state->groundReferenceSpeed = t.stressKnotsGround;
    state->gLoad = s.g;
    state->balanceFactor = ord_Manager ? ord_Manager->balanceMoment : 0.0f;
    state->level = plane->orientation.m[0][1];
    state->engineOutput = s.engine.throttle;
    state->stress = s.vibration;
    state->hasOrdnanceManager = ord_Manager ? 1 : 0;
    state->imbalance = state->balanceFactor;
    return 0;
}

int32_t jet_Frame(intptr_t argument) {
    auto* object = reinterpret_cast<ObjectRecord*>(argument);
    _PLANE* plane = plane_Current;
    if (!plane) return 0;
    _PLANE_JET* j = Jet(plane);
    JetState& s = j->state;
    // 1-2. The object's rates and state into the record.
    flight_DecayRates(object);
    plane_RecordFromObject(plane, object);
    // 3. Controls.
    if (!(plane->flags & JET_FLYING)) {
        jet_GroundIdle(plane, object);
    } else {
        jet_Controls(plane, object);
    }
    // 4. Flight.
    jet_FlightStep(plane, object);
    // 5. Flat spin.
    const uint32_t low = plane->flags & 0xF;
    if ((plane->flags & (JET_THRUST_BORNE | JET_ON_GROUND))) {
        plane->flags &= ~(uint32_t)JET_FLAT_SPIN;
        s.engine.flameOutMode = 0;
    } else if (app_Settings.FLATSPINS && low == JET_FLYING && plane->orientation.m[1][1] > 0.8f &&
               s.relPitch > 75.0f && s.knots <= 140.0f) {
        plane->flags |= JET_FLAT_SPIN;
        s.spinRoll = 0.0f;
        s.spinStep = j->params.spinStep;
        if (app_Settings.FLAMEOUTS) s.engine.flameOutMode = 3;
    }
    if (plane->flags & JET_FLAT_SPIN) {
        s.spinRoll = math_Clamp(s.spinRoll + s.spinStep, -j->params.spinLimit, j->params.spinLimit);
        // Level the wings and the nose a little, then turn about the
        // forward axis.
        MathMat33& m = plane->orientation;
        const float bank = Deg(std::asin(math_Clamp(m.m[0][1], -1.0f, 1.0f)));
        const float nose = Deg(std::asin(math_Clamp(m.m[2][1], -1.0f, 1.0f)));
        math_RotateRows01(&m, -bank * 0.003f);
        math_RotateRows12(&m, nose * 0.003f);
        math_RotateRows01(&m, s.spinRoll);
    }
    // 7. The record back into the object.
    plane_RecordToObject(plane, object);
    // The cockpit's voice cues and warning lights.
    avion_WarningCuesUpdate();
    return 0;
}

int32_t jet_Draw3D(intptr_t) { return 0; }
int32_t jet_StoreDisplay(intptr_t) { return 0; }

int32_t jet_Refuel(intptr_t) {
    if (_ORDNANCE_MANAGER* m = ord_Manager) {
        m->internalFuel = m->internalFuelCapacity;
        m->fuelWithInternal = m->internalFuel + m->fuelTotal;
    }
    return 0;
}

int32_t jet_Repair(intptr_t) {
    if (plane_Current) Jet(plane_Current)->state.engine.flameOutMode = 0;
    for (int i = 0; i <= 18; i++) plane_SystemsDamage[i] = 0;
    return 0;
}

int32_t jet_CockpitStep(intptr_t) { return 0; }

int32_t jet_ClientFrame(intptr_t flag) {
    if (plane_Current) Jet(plane_Current)->state.actuator[JET_CANOPY].command = flag ? 1.0f : 0.0f;
    return 0;
}

int32_t jet_SightRay(intptr_t) {
    // From the aircraft along the sight line, 10 degrees below the nose.
    if (plane_Current) plane_SightRay.origin = plane_Current->position;
    plane_SightRay.direction = {0.0f, -0.17365f, 0.98481f};
    plane_SightRayFlag = 1;
    return 1;
}

int32_t jet_WeaponChanged(intptr_t) {
    weapon_DesignationDebug = weapon_CurrentId >= 0 && weapon_Current.designation ? weapon_TargetListDraw : nullptr;
    mfd_SubModeFollowWeapon();
    return 0;
}

// ---- Status line and readouts ----

namespace {

const char* Text(int32_t number) {
    const char* text = number >= 0 ? level_GameText((uint32_t)number) : nullptr;
    return text ? text : "";
}

// Appends text to out (bounded); returns the new length.
size_t Append(char* out, size_t size, size_t len, const char* text) {
    if (!out || size == 0 || len >= size) return len;
    const size_t room = size - 1 - len;
    size_t n = strnlen(text, room);
    memcpy(out + len, text, n);
    out[len + n] = '\0';
    return len + n;
}

// The string's text as the format of one number: its first conversion
// (%d, %ld or %f, with flags and widths ignored) takes the value; the rest is
// copied as text with %% as %.
size_t AppendNumber(char* out, size_t size, size_t len, int32_t number, double value) {
    if (!(value == value)) value = 0.0;
    value = value > 1e15 ? 1e15 : (value < -1e15 ? -1e15 : value);
    const char* fmt = Text(number);
    const char* pct = strchr(fmt, '%');
    while (pct && pct[1] == '%') pct = strchr(pct + 2, '%');
    char buf[64];
    size_t n = 0;
    auto put = [&](const char* from, const char* to) {
        for (const char* c = from; c < to && n + 1 < sizeof buf; c++) {
            if (c[0] == '%' && c + 1 < to && c[1] == '%') c++;
            buf[n++] = *c;
        }
    };
    const char* end = fmt + strlen(fmt);
    if (!pct) {
        put(fmt, end);
        pct = end;
    } else {
        put(fmt, pct);
        const char* conv = pct + 1;
        while (*conv && strchr("0123456789.-+ l", *conv)) conv++;
        char num[32];
        if (*conv == 'f') {
            snprintf(num, sizeof num, "%.2f", value);
        } else {
            snprintf(num, sizeof num, "%ld", (long)value);
        }
        put(num, num + strlen(num));
        put(*conv ? conv + 1 : conv, end);
    }
    buf[n] = '\0';
    return Append(out, size, len, buf);
}

}  // namespace

int32_t jet_AutopilotCaption(int32_t mode) {
    static const int32_t kCaption[4] = {0, 0x370, 0x371, 0x374};
    return mode >= 1 && mode <= 3 ? kCaption[mode] : 0;
}

size_t jet_StatusLine(const _PLANE* plane, int32_t, char* out, size_t size) {
    if (!out || size == 0) return 0;
    out[0] = '\0';
    if (!plane) return 0;
    const JetState& s = Jet(plane)->state;
    size_t n = 0;
    auto piece = [&](int32_t number) {
        if (n) n = Append(out, size, n, " ");
        n = Append(out, size, n, Text(number));
    };
    auto value = [&](int32_t number, double v) {
        if (n) n = Append(out, size, n, " ");
        n = AppendNumber(out, size, n, number, v);
    };
    if (plane->flags & JET_WING_BORNE_JET) piece(0x35F);
    if (plane->flags & 0x10000) piece(0x360);
    if ((plane->flags & 0x1000) && (plane->flags & 0x100000) && !plane_SystemsDamage[PLANE_SYS_SIGHT]) piece(0x364);
    if (plane->flags & 0xC0000) piece(0x361);
    if (Client_PlayerObject && plane_PlayerFields(Client_PlayerObject)->lockMode) piece(0x362);
    const float fuel = FuelWithInternal();
    const float capacity = ord_Manager ? ord_Manager->internalFuelCapacity + ord_Manager->fuelCapacityTotal : 0.0f;
    if (jet_Options & JET_OPT_READ_THROTTLE) value(0x35E, s.engine.throttle * 100.0f);
    if (jet_Options & JET_OPT_READ_SPEED) value(0x366, s.calibrated);
    if (jet_Options & JET_OPT_READ_TRUE_SPEED) value(0x366, s.knots);
    if (jet_Options & JET_OPT_READ_FUEL) value(0x36B, fuel);
    if (jet_Options & JET_OPT_READ_FUEL_PERCENT) value(0x35E, capacity > 0 ? fuel * 100.0f / capacity : 0.0f);
    if (jet_Options & JET_OPT_READ_ALTITUDE) value(0x367, plane->position.y * FIX_FEET_PER_METRE);
    if (jet_Options & JET_OPT_READ_PITCH) value(s.stall ? 0x369 : 0x36D, s.relPitch);
    if (jet_Options & JET_OPT_READ_MACH) value(0x368, s.mach);
    return n;
}

int32_t jet_FrameDraw(intptr_t) {
    _PLANE* plane = plane_Current;
    if (!plane) return 0;
    const int32_t mode = Client_PlayerObject ? plane_PlayerFields(Client_PlayerObject)->autopilotMode : 0;
    const int32_t h = evp_Current.rows;
    if (const int32_t caption = jet_AutopilotCaption(mode)) dtext_DrawString(16, h - 20, Text(caption));
    char line[160];
    const size_t n = jet_StatusLine(plane, mode, line, sizeof line);
    if (n) dtext_DrawString(evp_Current.width - 16 - (int32_t)n * 8, h - 20, line);
    return 0;
}

int32_t jet_ReadoutLines(const _PLANE* plane, int32_t page, char (*lines)[96], int32_t count) {
    if (!plane || !lines || count <= 0) return 0;
    const JetState& s = Jet(plane)->state;
    const float altM = plane->position.y;
    const long altFt = (long)(altM * FIX_FEET_PER_METRE);
    MathVec3 ang;
    math_Mat33ToAngles(&plane->orientation, &ang);
    int32_t n = 0;
    auto line = [&](const char* fmt, auto... args) {
        if (n < count) snprintf(lines[n++], 96, fmt, args...);
    };
    const float mps = s.speed * 40.0f;
    if (page == 0) {
        line("ALTITUDE %fm (%ldft), AIR DENSITY %fKG/M3", altM, altFt, s.density);
        line("HEADING = %f deg, TILT = %f deg, ROLL = %f deg", ang.x, ang.y, ang.z);
        line("THROTTLE = %f%%, FLAPS = %f (%f), AILERON = %f (%f)", s.engine.throttle * 100.0f,
             s.actuator[JET_FLAPS].actual, s.actuator[JET_FLAPS].command, s.actuator[JET_AILERON].actual,
             s.actuator[JET_AILERON].command);
        line("E: %f (%f), R: %f (%f)", s.actuator[JET_ELEVATOR].actual, s.actuator[JET_ELEVATOR].command,
             s.actuator[JET_RUDDER].actual, s.actuator[JET_RUDDER].command);
        line("DISTANCE ABOVE GROUND = %fm (%fm)", s.aboveGround, s.aboveGroundPrev);
        if (plane->flags & JET_THRUST_BORNE) {
            line("%s", "THRUST-BOURNE MODE");
        } else if (plane->flags & JET_WING_BORNE_JET) {
            line("%s", "WING-BOURNE MODE (jet)");
        } else {
            line("%s", "WING-BOURNE MODE (conventional)");
        }
        line("CANOPY %f%%, AIR BRAKE %f%%, LANDING GEAR %f DEGS, UP=%ld, DOWN=%ld",
             s.actuator[JET_CANOPY].actual * 100.0f, s.actuator[JET_AIRBRAKE].actual * 100.0f,
             s.gear.actual * Jet(plane)->params.gearTravel, (long)((plane->flags & JET_GEAR_UP) != 0),
             (long)((plane->flags & JET_GEAR_DOWN) != 0));
        line("VELOCITY = %fm/s, %fnm/h, %fkm/h (%fkm/h)", mps, mps * 3600.0f / 1856.232f, mps * 3.6f,
             s.speedPrev * 40.0f * 3.6f);
        line("%s", (plane->flags & JET_ON_GROUND) ? "ON THE GROUND" : "IN THE AIR");
        line("RELATIVE WIND YAW %f (%f), PITCH %f (%f) (%f%% front, %f%% bottom)", s.relYaw, s.relYawPrev, s.relPitch,
             s.relPitchPrev, s.frontFraction * 100.0f, s.bottomFraction * 100.0f);
        line("MASS = %fkg, VELOCITY * MASS = %f", s.mass, s.speed * s.mass);
        line("PARASITIC DRAG = %f M*KG/F, VELOCITY = %fM/F", s.drag, s.speed);
        if (s.stall) {
            line("LIFT = %f M*KG/F (%f), VELOCITY = %fM/F, STALL!!!", s.lift, s.liftCoefficient, s.speed);
        } else {
            line("LIFT = %f M*KG/F (%f), VELOCITY = %fM/F", s.lift, s.liftCoefficient, s.speed);
        }
        line("OBJECT=(%f,%f,%f), WORLD=(%f,%f,%f)", s.bodyForce.x, s.bodyForce.y, s.bodyForce.z, s.worldForce.x,
             s.worldForce.y, s.worldForce.z);
        const float ground = altM - s.aboveGround;
        line("MY Y = %fm, GROUND Y = %fm (%ldft), AGL = %fm", altM, ground, (long)(ground * FIX_FEET_PER_METRE),
             s.aboveGround);
    } else {
        line("THROTTLE = %f%% (%f%%)", s.engine.throttle * 100.0f, s.engine.throttleCommand * 100.0f);
        line("THRUST = %f%% (EFF. = %f%%)", s.engine.thrustRaw, s.engine.altitudeFactor * 100.0f);
        if (s.stall) {
            line("ALT %fm (%ldft), AOA = %f (%f) STALL!", altM, altFt, s.relPitch, s.relPitchPrev);
        } else {
            line("ALT %fm (%ldft), AOA = %f (%f)", altM, altFt, s.relPitch, s.relPitchPrev);
        }
        line("VELOCITY = %fm/f, %fkm/h, %fmi/h, %fnm/h", s.speed, mps * 3.6f, mps * 2.2369363f,
             mps * 3600.0f / 1856.232f);
        line("MACH = %f, G = %f, VAPOR FRAME = %ld", s.mach, s.g, (long)s.trailFrames);
        const int32_t mode = Client_PlayerObject ? plane_PlayerFields(Client_PlayerObject)->autopilotMode : 0;
        line("%s", mode ? "AUTO PILOT MODE" : "NOT IN AUTO PILOT MODE");
        line("AILERON = %f (%f), ELEVATOR = %f (%f), RUDDER = %f(%f)", s.actuator[JET_AILERON].actual,
             s.actuator[JET_AILERON].command, s.actuator[JET_ELEVATOR].actual, s.actuator[JET_ELEVATOR].command,
             s.actuator[JET_RUDDER].actual, s.actuator[JET_RUDDER].command);
        line("GEAR = %ld", (long)((plane->flags & JET_GEAR_UP) ? 1 : 0));
        line("BLACKOUT = %ld [%ld], AMOUNT = %f%% [%f%%], CONTROL = %f%%", (long)s.blackoutState,
             (long)s.blackoutStatePrev, s.blackoutAmount * 100.0f, s.blackoutAmountPrev * 100.0f, s.authority * 100.0f);
        line("STRESS = %ld, VIBRATE = %f%%", (long)s.stress, s.vibration * 100.0f);
        line("AXIS_Y.Y = %f, PITCH_SCALE = %f, VELOCITY_NM = %f (%f)", plane->orientation.m[1][1], s.pitchScale,
             s.knotsSigned, s.stressKnotsPrev);
    }
    return n;
}

int32_t jet_DebugReadouts(intptr_t page) {
    _PLANE* plane = plane_Current;
    if (!plane) return 0;
    char lines[16][96];
    const int32_t n = jet_ReadoutLines(plane, (int32_t)page, lines, 16);
    const int32_t scale = evp_Current.rows >= 480 ? 2 : 1;
    const int32_t y0 = page == 0 ? 30 : 5;
    for (int32_t i = 0; i < n; i++) dtext_DrawString(5 * scale, (y0 + i * 10) * scale, lines[i]);
    return 0;
}
