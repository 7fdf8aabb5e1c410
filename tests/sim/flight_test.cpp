// The player aircraft's flight model, the standard atmosphere and the
// steering controller.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "base/filetable.h"
#include "base/math.h"
#include "base/units.h"
#include "input/instate.h"
#include "net/client.h"
#include "shell/settings.h"
#include "sim/flight.h"
#include "sim/flight_jet.h"
#include "sim/ord.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "sim_fixture.h"
#include "sound/sndtrig.h"
#include "mkdata.h"
#include "terrain_write.h"
#include "world/level.h"

namespace {

// ---- Standard atmosphere ----

struct AtmosphereCase {
    float feet, knots;
    double sound, mach, cas;  // < 0: not checked
};

TEST(Atmosphere, StandardValuesToAHundredthOfAPercent) {
    const AtmosphereCase cases[] = {
        {0, 0, 661.48, 0, 0},          // sea level: a = 340.29 m/s
        {0, 300, 661.48, -1, 300},     // calibrated equals true at sea level
        {36089.24f, 0, 573.57, 0, -1}, // tropopause: 216.65 K
        {40000, 0, 573.57, 0, -1},
    };
    for (const AtmosphereCase& c : cases) {
        SCOPED_TRACE(c.feet);
        float a = -1, m = -1, cas = -1;
        flight_StdAtmosphere(c.feet, c.knots, 0, &a, &m, &cas);
        EXPECT_NEAR(a, c.sound, c.sound * 1e-4);
        if (c.mach >= 0) {
            EXPECT_NEAR(m, c.mach, 1e-6);
        }
        if (c.cas >= 0) {
            EXPECT_NEAR(cas, c.cas, c.cas * 1e-4);
        }
    }
    // Sea-level density and the pressures through P / (R T).
    EXPECT_NEAR(flight_AirDensity(0, 0), 1.2250, 1.2250e-4);
    // 11 km: 22631.3 Pa at 216.65 K.
    const double rho11 = 22631.3 / (287.053 * 216.65);
    EXPECT_NEAR(flight_AirDensity(36089.24f, 0), rho11, rho11 * 1e-4);
    // Temperature deviation raises the speed of sound.
    float warm = 0;
    flight_StdAtmosphere(0, 0, 18, &warm, nullptr, nullptr);
    EXPECT_GT(warm, 661.48f);
}

TEST(Atmosphere, MachOneTakesTheSupersonicPitotFormula) {
    float a = 0;
    flight_StdAtmosphere(0, 0, 0, &a, nullptr, nullptr);
    const float v = a / 1.6878f * (float)std::sqrt(518.67 * 2403.182733444113) / a;  // Mach 1 in knots
    float m = 0, cas = 0;
    flight_StdAtmosphere(0, v, 0, nullptr, &m, &cas);
    ASSERT_NEAR(m, 1.0f, 1e-5);
    // Both formulas meet at Mach 1 (ratio 1.8929...), so calibrated equals
    // true here too; just above, the subsonic formula would give more.
    EXPECT_NEAR(cas, v, v * 1e-3);
    float above = 0;
    flight_StdAtmosphere(0, v * 1.2f, 0, nullptr, nullptr, &above);
    const double M = 1.2, sub = std::pow(1 + 0.2 * M * M, 3.5);
    const double sup = std::pow(1.2 * M * M, 3.5) * std::pow(2.4 / (2.8 * M * M - 0.4), 2.5);
    EXPECT_LT(sup, sub);
    EXPECT_LT(above, v * 1.2f);
    // Null result pointers are skipped.
    flight_StdAtmosphere(1000, 200, 0, nullptr, nullptr, nullptr);
}

TEST(Atmosphere, AltitudeFactorBands) {
    struct {
        float metres, factor;
    } cases[] = {{-10, 0.0015f}, {0, 0.0015f}, {25000 / 3.281f, 0.002333f}, {37500 / 3.281f, (0.002333f + 0.003892f) / 2},
                 {100000 / 3.281f, 0.011375f}, {200000, 0.011375f}};
    for (auto& c : cases) EXPECT_NEAR(math_AirTableEvaluate(1.0f, c.metres), 1.0f / c.factor, 1.0f / c.factor * 1e-4);
    // 16.16 in and out, altitude in world units.
    EXPECT_NEAR(math_AirTableLookupInt(0x10000, 0), (int32_t)(65536 / 0.0015f), 2);
}

// ---- Aircraft fixture ----

class FlightTest : public SimEnv {
protected:
    ObjectRecord object = {};
    _PLANE* plane = nullptr;

    void SetUp() override {
        SimEnv::SetUp();
        plane_Shutdown();
        plane_Init();
        Client_PlayerObject = nullptr;
        memset(plane_SystemsDamage, 0, sizeof plane_SystemsDamage);
        *plane_PlayerFields(&object) = {};
        inmap_InputCurrent = {};
        app_Settings.FLAMEOUTS = 0;
        app_Settings.BLACKOUTS = 0;
        app_Settings.FLATSPINS = 0;
        jet_Options = 0;
        ord_ManagerCreate();
        plane = plane_Create(plane_TypeFind("KRX"));
        ASSERT_NE(plane, nullptr);
        plane_HookRestart(0);
    }
    void TearDown() override {
        plane_Shutdown();
        inmap_InputCurrent = {};
        SimEnv::TearDown();
    }
    JetState& S() { return jet_Record(plane)->state; }
    const JetEngineParams& Engine() { return jet_Record(plane)->params.engine; }
    // Runs the engine until the throttle has settled.
    void Settle(float throttle) {
        S().engine.throttleCommand = throttle;
        for (int i = 0; i < 2000; i++) flight_EngineModel(&Engine(), &S().engine, 0.0f);
    }
};

TEST_F(FlightTest, RestartSetsTheStartingState) {
    const JetState& s = S();
    EXPECT_EQ(plane->flags, 0x831961u);
    EXPECT_FLOAT_EQ(s.area[0], 15 * 0.06f);
    EXPECT_FLOAT_EQ(s.area[1], 60 * 0.2f);
    EXPECT_FLOAT_EQ(s.area[2], 91.44f * 0.4f);
    EXPECT_EQ(s.actuator[JET_CANOPY].actual, 1.0f);
    EXPECT_EQ(s.actuator[JET_AIRBRAKE].command, 1.0f);
    EXPECT_EQ(s.gear.actual, 0.0f);
    EXPECT_EQ(s.engine.pair, 1.0f);
    EXPECT_EQ(s.authority, 1.0f);
    EXPECT_EQ(s.sight[3], 1u);
    EXPECT_EQ(jet_Record(plane)->params.engine.dryThrust, 85.0f);
    jet_Options = JET_OPT_THRUST_BORNE;
    plane_HookRestart(0);
    EXPECT_EQ(plane->flags, 0x831961u | 0x8000u);
}

TEST_F(FlightTest, SettledThrustByThrottleAndEnginePair) {
    struct {
        float throttle, pair, thrust, running;
    } cases[] = {{1.5f, 1, 105, 1}, {1, 1, 85, 1}, {0, 1, 0, 0}, {1.5f, 0, 63, 1}, {1, 0, 51, 1}};
    for (auto& c : cases) {
        SCOPED_TRACE(c.throttle);
        S().engine.pairCommand = c.pair;
        Settle(c.throttle);
        EXPECT_NEAR(S().engine.thrust, c.thrust, 1e-3);
        EXPECT_EQ(S().engine.running, c.running);
    }
    // The altitude factor: 1 to 10000 feet, 0.0001 from 75000 feet.
    S().engine.pairCommand = 1;
    Settle(1);
    flight_EngineModel(&Engine(), &S().engine, 80000 / 3.281f);
    EXPECT_NEAR(S().engine.thrust, 85 * 0.0001f, 1e-5);
}

TEST_F(FlightTest, WithoutFuelTheThrottleFallsAQuarterStep) {
    Settle(1);
    ord_Manager->fuelWithInternal = 0.0005f;
    S().engine.throttleCommand = 1;
    flight_EngineModel(&Engine(), &S().engine, 0);
    EXPECT_EQ(S().engine.throttleCommand, 0.0f);
    EXPECT_NEAR(S().engine.throttle, 1 - 0.00125f, 1e-6);
    // No manager: nothing moves.
    _ORDNANCE_MANAGER* m = ord_Manager;
    ord_Manager = nullptr;
    const float before = S().engine.throttle;
    flight_EngineModel(&Engine(), &S().engine, 0);
    EXPECT_EQ(S().engine.throttle, before);
    ord_Manager = m;
}

TEST_F(FlightTest, EngineSoundsOnStartStopAndAfterburner) {
    plane->position.y = 1000;
    auto runUntil = [&](auto done) {
        for (int i = 0; i < 1000 && !done(); i++) jet_FlightStep(plane, &object);
    };
    sndtrig_Event = {};
    S().engine.throttleCommand = 0.5f;
    runUntil([&] { return S().engine.running != 0.0f; });
    EXPECT_EQ(sndtrig_Event.subtype, 0);   // now running
    EXPECT_EQ(sndtrig_Event.id, 2);
    EXPECT_EQ(sndtrig_Event.volume, 255);
    EXPECT_EQ(sndtrig_Event.type, plane_TypeKrx.aircraftSoundType);
    S().engine.throttleCommand = 1.5f;
    runUntil([&] { return S().engine.afterburnerCopy > 0.1f && S().abSound; });
    jet_FlightStep(plane, &object);
    EXPECT_EQ(sndtrig_Event.subtype, 0);   // afterburner form
    EXPECT_EQ(sndtrig_Event.id, 0x4A);
    S().engine.throttleCommand = 0;
    runUntil([&] { return S().engine.running == 0.0f; });
    EXPECT_EQ(sndtrig_Event.subtype, 0x13);  // now stopped
    EXPECT_EQ(sndtrig_Event.id, 2);
}

TEST_F(FlightTest, FlameOutModes) {
    Settle(1);
    JetEngine& e = S().engine;
    e.flameOutMode = 2;
    e.flameOutTime = 3;
    flight_EngineModel(&Engine(), &e, 0);
    EXPECT_EQ(e.thrust, 0.0f);
    flight_EngineModel(&Engine(), &e, 0);
    EXPECT_EQ(e.thrust, 0.0f);
    flight_EngineModel(&Engine(), &e, 0);  // the time reaches 0: full thrust again
    EXPECT_EQ(e.flameOutMode, 0);
    EXPECT_NEAR(e.thrust, 85, 1e-3);
    // Mode 1 pulses with the phase; mode 3 is halved and never times out.
    e.flameOutMode = 1;
    e.flameOutTime = 100;
    e.flameOutPhase = 0;
    flight_EngineModel(&Engine(), &e, 0);
    EXPECT_NEAR(e.thrust, 85 * std::fabs(std::cos(12 * 0.017453292f)), 1e-3);
    e.flameOutMode = 3;
    e.flameOutPhase = 352;
    for (int i = 0; i < 500; i++) flight_EngineModel(&Engine(), &e, 0);
    EXPECT_EQ(e.flameOutMode, 3);
    e.flameOutPhase = 352;
    flight_EngineModel(&Engine(), &e, 0);
    EXPECT_NEAR(e.thrust, 85 * 0.5f, 1e-3);
    // A repair ends it.
    plane_HookRepair(0);
    EXPECT_EQ(e.flameOutMode, 0);
}

TEST_F(FlightTest, SeededFlameOutRepeats) {
    app_Settings.FLAMEOUTS = 1;
    auto run = [&] {
        math_RandomReset();
        S().engine.flameOutMode = 0;
        S().stress = 700;
        S().g = 6;
        plane->position.y = 1000;
        for (int i = 0; i < 200 && S().engine.flameOutMode == 0; i++) jet_FlameOutCheck(plane);
        return std::make_pair(S().engine.flameOutMode, S().engine.flameOutTime);
    };
    const auto first = run();
    EXPECT_TRUE(first.first == 1 || first.first == 2);
    EXPECT_GE(first.second, 40);
    EXPECT_LE(first.second, 400);
    EXPECT_EQ(run(), first);
    // Stress at 600 or a G within limits never starts one.
    S().engine.flameOutMode = 0;
    S().stress = 600;
    for (int i = 0; i < 200; i++) jet_FlameOutCheck(plane);
    EXPECT_EQ(S().engine.flameOutMode, 0);
    // An engine failure forces mode 3.
    plane_SystemsDamage[PLANE_SYS_ENGINE] = 1;
    jet_FlameOutCheck(plane);
    EXPECT_EQ(S().engine.flameOutMode, 3);
}

TEST_F(FlightTest, GearFlagsOnlyAtTheEnds) {
    struct {
        float actual;
        uint32_t flags;
        uint8_t gearByte;
    } cases[] = {{0, 0x40, 0}, {0.001f, 0x40, 0}, {0.0011f, 0, 0}, {0.5f, 0, 0}, {0.9989f, 0, 0}, {0.999f, 0x80, 64}, {1, 0x80, 64}};
    for (auto& c : cases) {
        SCOPED_TRACE(c.actual);
        S().gear = {c.actual, c.actual};
        plane->flags |= 0xC0;
        jet_FlightStep(plane, &object);
        EXPECT_EQ(plane->flags & 0xC0, c.flags);
        EXPECT_EQ(plane_PlayerFields(&object)->gear, c.gearByte);
    }
}

TEST_F(FlightTest, ActuatorDamageOverrides) {
    JetActuator* a = S().actuator;
    plane->position.y = 1000;
    S().gear.command = 1;
    for (int s : {PLANE_SYS_AIRBRAKE, PLANE_SYS_HYDRAULICS, PLANE_SYS_ELEVATOR, PLANE_SYS_RUDDER, PLANE_SYS_GEAR})
        plane_SystemsDamage[s] = 1;
    // Full stick and rudder: the control law commands 1, the damage cuts it.
    inmap_InputCurrent.flags = 0x60 | 0x18 | INPUT_RUDDER;
    inmap_InputCurrent.stickX = inmap_InputCurrent.stickY = inmap_InputCurrent.rudder = 1;
    jet_FlightStep(plane, &object);
    EXPECT_FLOAT_EQ(S().gear.actual, 0.001f);  // a tenth of the rate
    jet_FlightStep(plane, &object);
    EXPECT_FLOAT_EQ(a[JET_AIRBRAKE].command, 0.3f);
    EXPECT_EQ(a[JET_FLAPS].command, 0.0f);
    EXPECT_FLOAT_EQ(a[JET_FLAPS].actual, 1 - 2 * 0.025f);
    // Each actual stops exactly on its cut command.
    EXPECT_FLOAT_EQ(a[JET_AILERON].actual, 0.1f);
    EXPECT_FLOAT_EQ(a[JET_ELEVATOR].actual, 0.1f);
    EXPECT_EQ(a[JET_RUDDER].actual, 0.0f);
    // Undamaged, the aileron follows at its rate.
    jet_Repair(0);
    jet_FlightStep(plane, &object);
    EXPECT_FLOAT_EQ(a[JET_AILERON].actual, 0.2f);
}

TEST_F(FlightTest, RatesDampWithoutInput) {
    S().rate[0] = S().rate[1] = S().rate[2] = 10;
    plane->position.y = 1000;
    jet_FlightStep(plane, &object);
    EXPECT_FLOAT_EQ(S().rate[0], 8.0f);
    EXPECT_FLOAT_EQ(S().rate[1], 9.6f);
    EXPECT_FLOAT_EQ(S().rate[2], 9.4f);
}

TEST_F(FlightTest, StressStaysWithinItsRange) {
    plane->position.y = 1000;
    S().knots = 900;  // above the gear-up limit
    S().g = 1;
    plane->flags |= JET_GEAR_UP;
    S().gear = {1, 1};
    S().stress = 1599;
    for (int i = 0; i < 3; i++) {
        S().mach = 2.5f;
        jet_FlightStep(plane, &object);
        EXPECT_LE(S().stress, 1600);
    }
    EXPECT_EQ(S().stress, 1600);
    EXPECT_FLOAT_EQ(S().vibration, 1.0f);
    // Within limits it falls by 5 and never below 0.
    plane->position = {0, 1000, 0};
    plane->velocity = {};
    S().momentum = {};
    S().stress = 3;
    S().mach = 0;
    S().knots = 0;
    jet_FlightStep(plane, &object);
    EXPECT_EQ(S().stress, 0);
    // Not flying: 0.
    S().stress = 100;
    plane->flags &= ~1u;
    jet_FlightStep(plane, &object);
    EXPECT_EQ(S().stress, 0);
}

TEST_F(FlightTest, GroundIdleClearsTheAutopilot) {
    ObjectRecord o = {};
    o.position = {0x1000000, 0, 0x1000000};
    Client_PlayerObject = &o;
    plane_PlayerFields(&o)->autopilotMode = 2;
    S().engine.throttleCommand = 1;
    S().engine.pairCommand = 0;
    plane->flags = (plane->flags & ~1u) | JET_WING_BORNE_JET | JET_THRUST_BORNE;
    plane_HookFrame(&o);
    EXPECT_EQ(plane_PlayerFields(&o)->autopilotMode, 0);
    EXPECT_EQ(S().engine.throttleCommand, 0.0f);
    EXPECT_EQ(S().engine.pairCommand, 1.0f);
    EXPECT_EQ(plane->flags & (JET_WING_BORNE_JET | JET_THRUST_BORNE), 0u);
    Client_PlayerObject = nullptr;
}

TEST_F(FlightTest, AutopilotKeysToggleModesAndResetTheController) {
    plane->position.y = 3000;
    flight_Steer.output[0] = 0.7f;
    inmap_InputCurrent.command = 2;  // wings level
    jet_Controls(plane, &object);
    EXPECT_EQ(plane_PlayerFields(&object)->autopilotMode, 1);
    EXPECT_EQ(flight_Steer.output[0], 0.0f);
    jet_Controls(plane, &object);
    EXPECT_EQ(plane_PlayerFields(&object)->autopilotMode, 0);
    // The cannon key selects the gun; with the gun current it switches the
    // gun's sight mode.
    inmap_InputCurrent.command = 0x0C;
    jet_Controls(plane, &object);
    EXPECT_EQ(S().gunSightMode, 0);
    ASSERT_NE(ord_PanelAdd(0, 100, 100, -1), nullptr);
    ord_PanelsSort();
    weapon_SelectByIndex(0);
    ASSERT_EQ(weapon_CurrentPanelIndex, 0);
    jet_Controls(plane, &object);
    EXPECT_EQ(S().gunSightMode, 1);
    // Engine pair toggle.
    inmap_InputCurrent = {};
    inmap_InputCurrent.flags = 0x200000;
    jet_Controls(plane, &object);
    EXPECT_EQ(S().engine.pairCommand, 0.0f);
    jet_Controls(plane, &object);
    EXPECT_EQ(S().engine.pairCommand, 1.0f);
}

TEST_F(FlightTest, GearFlapAndAirBrakeKeys) {
    // Gear: up only off the ground, down at any time; flaps toggle; the air
    // brake is out only while its key is held.
    struct Step {
        uint32_t flags;
        bool onGround;
        float gear, flaps, brake;
    } steps[] = {
        {INPUT_GEAR, true, 0.0f, 0.0f, 0.0f},  {INPUT_GEAR, false, 1.0f, 0.0f, 0.0f},
        {0, false, 1.0f, 0.0f, 0.0f},          {INPUT_GEAR, true, 0.0f, 0.0f, 0.0f},
        {INPUT_FLAPS, false, 0.0f, 1.0f, 0.0f}, {INPUT_FLAPS | INPUT_BRAKE, false, 0.0f, 0.0f, 1.0f},
        {0, false, 0.0f, 0.0f, 0.0f},
    };
    S().gear.command = 0.0f;
    S().actuator[JET_FLAPS].command = 0.0f;
    int n = 0;
    for (const Step& st : steps) {
        SCOPED_TRACE(n++);
        inmap_InputCurrent = {};
        inmap_InputCurrent.flags = st.flags;
        plane->flags = st.onGround ? (plane->flags | JET_ON_GROUND) : (plane->flags & ~(uint32_t)JET_ON_GROUND);
        jet_Controls(plane, &object);
        EXPECT_EQ(S().gear.command, st.gear);
        EXPECT_EQ(S().actuator[JET_FLAPS].command, st.flaps);
        EXPECT_EQ(S().actuator[JET_AIRBRAKE].command, st.brake);
    }
    inmap_InputCurrent = {};
}

TEST_F(FlightTest, FuelBurnsWithPowerAndLeaksEightfold) {
    S().engine.dryCopy = S().engine.dry = 1;
    Settle(1);
    const float before = ord_Manager->fuelWithInternal;
    plane->position.y = 1000;
    jet_FlightStep(plane, &object);
    const float burn = before - ord_Manager->fuelWithInternal;
    EXPECT_NEAR(burn, 0.043125f, 1e-4);
    plane_SystemsDamage[PLANE_SYS_FUEL_LEAK] = 1;
    const float b2 = ord_Manager->fuelWithInternal;
    jet_FlightStep(plane, &object);
    EXPECT_NEAR(b2 - ord_Manager->fuelWithInternal, 8 * 0.043125f, 1e-3);
}

TEST_F(FlightTest, ExternalTankFuelIsWeighedOnce) {
    // An external tank of 1000 kg of fuel on a 150 kg pod: the store mass
    // holds both, the fuel with internal holds the fuel again.
    ASSERT_NE(ord_MountAdd(1, "", 10, 1, 1, 1000, 1000, 150, 0), nullptr);
    ord_Recount();
    ASSERT_FLOAT_EQ(ord_Manager->storeMass, 1150);
    jet_FlightStep(plane, &object);
    EXPECT_NEAR(S().mass, 7000 + ord_Manager->internalFuel + 1150, 0.01f);
}

TEST_F(FlightTest, ReadoutsAndStatusLineStayInTheirBuffers) {
    char lines[16][96];
    EXPECT_EQ(jet_ReadoutLines(plane, 0, lines, 16), 15);
    EXPECT_NE(std::string(lines[0]).find("ALTITUDE"), std::string::npos);
    EXPECT_STREQ(lines[5], "WING-BOURNE MODE (jet)");  // the restart flags
    EXPECT_EQ(jet_ReadoutLines(plane, 1, lines, 16), 11);
    EXPECT_STREQ(lines[5], "NOT IN AUTO PILOT MODE");
    EXPECT_EQ(jet_ReadoutLines(plane, 1, lines, 3), 3);
    jet_Options = 0xFF0;
    char small[12];
    memset(small, 'x', sizeof small);
    const size_t n = jet_StatusLine(plane, 0, small, sizeof small);
    EXPECT_LT(n, sizeof small);
    EXPECT_EQ(small[n], '\0');
    EXPECT_EQ(jet_AutopilotCaption(1), 0x370);
    EXPECT_EQ(jet_AutopilotCaption(3), 0x374);
    EXPECT_EQ(jet_AutopilotCaption(0), 0);
}

TEST_F(FlightTest, StatusLineFromTheGameDataTexts) {
    MkTableGroup group{"QJGAME", {}};
    for (uint32_t i = 0; i <= 0x374; i++) group.items.push_back({"ITEM" + std::to_string(i), "", 0, 0, 0});
    for (const MkGameText& t : mkdata_FlightTexts()) group.items[t.item].text = t.text;
    const std::vector<uint8_t> image = mkdata_TableBuild({group});
    FileTable* table = file_TableRelocate(image.data(), (uint32_t)image.size());
    ASSERT_NE(table, nullptr);
    level_GameData = table;
    S().engine.throttle = 1.5f;
    S().knots = 251.6f;
    S().mach = 0.456f;
    plane->position.y = 1000;
    jet_Options = JET_OPT_READ_THROTTLE | JET_OPT_READ_TRUE_SPEED | JET_OPT_READ_ALTITUDE | JET_OPT_READ_MACH;
    char line[160];
    jet_StatusLine(plane, 0, line, sizeof line);
    EXPECT_STREQ(line, "JET BRAKE 150% 251 KTS 3281 FT M 0.46");  // restart flags: jet, brake
    // Cut to the buffer, never past it.
    char small[10];
    EXPECT_EQ(jet_StatusLine(plane, 0, small, sizeof small), 9u);
    EXPECT_STREQ(small, "JET BRAKE");
    level_GameData = nullptr;
}

TEST_F(FlightTest, FlatSpinStartsSlowAndNoseHighAndEndsOnTheGround) {
    app_Settings.FLATSPINS = 1;
    app_Settings.FLAMEOUTS = 1;
    ObjectRecord o = {};
    o.position = {0x1000000, 0x4000000, 0x1000000};  // 16384 ft up
    plane->flags = JET_FLYING | JET_WING_BORNE_JET;
    // Falling flat: the relative wind comes from below the nose.
    auto fall = [&] {
        S().momentum = {0, -1.0f * S().mass, 0.3f * S().mass};
        S().relPitch = 80;
        S().knots = 100;
    };
    S().mass = 10000;
    fall();
    // jet_Frame reads the relative wind of the flight step it runs.
    for (int i = 0; i < 3 && !(plane->flags & JET_FLAT_SPIN); i++) {
        fall();
        plane_HookFrame(&o);
    }
    ASSERT_TRUE(plane->flags & JET_FLAT_SPIN);
    EXPECT_EQ(S().engine.flameOutMode, 3);
    for (int i = 0; i < 2000; i++) {
        fall();
        plane_HookFrame(&o);
    }
    EXPECT_FLOAT_EQ(std::fabs(S().spinRoll), 8.0f);  // clamped to the limit
    EXPECT_EQ(math_FrameCheck(&plane->orientation), 0);  // still a rotation
    EXPECT_EQ(S().stall, 1);
    // On the ground it ends and the engine is back.
    plane->flags |= JET_ON_GROUND;
    plane_PlayerFields(&o)->onGround = 1;
    plane_HookFrame(&o);
    EXPECT_FALSE(plane->flags & JET_FLAT_SPIN);
    EXPECT_EQ(S().engine.flameOutMode, 0);
}

TEST_F(FlightTest, FeedbackStateComesFromTheFlightState) {
    PlaneFeedbackState st;
    S().g = 3;
    S().relYaw = 4;
    S().engine.throttle = 1.2f;
    ASSERT_EQ(plane_FeedbackStateGet(&st), 0);
    EXPECT_EQ(st.gLoad, 3.0f);
    EXPECT_EQ(st.yawForce, 4.0f);
    EXPECT_EQ(st.referenceSpeed, 810.0f);
    EXPECT_EQ(st.groundReferenceSpeed, 280.0f);
    EXPECT_FLOAT_EQ(st.engineOutput, 1.2f);
    EXPECT_EQ(st.hasOrdnanceManager, 1);
    plane_Release();
    EXPECT_EQ(plane_FeedbackStateGet(&st), -1);
}

// ---- Steering controller ----

TEST_F(FlightTest, LookAheadWarnings) {
    struct {
        float drop;  // metres per look-ahead step
        int32_t warning, early;
    } cases[] = {
        {0, 0, 0},                    // level, well above: none
        {(300 - 60.96f) / 2.5f, 1, 1}, // below the clearance at the third step
        {(300 - 60.96f) / 14.5f, 1, 0},// at the fifteenth
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.drop);
        plane->position = {1000, 0, 1000};
        plane->position.y = 300 - fix_HeightAboveTerrain(&plane->position);
        plane->velocity = {0.5f, -c.drop / 40.0f, 0};
        flight_PredictTerrainClearance();
        EXPECT_EQ(flight_Steer.terrainWarning, c.warning);
        EXPECT_EQ(flight_Steer.earlyWarning, c.early);
    }
}

TEST_F(FlightTest, SteeringOutputsStayWithinTheirLimits) {
    const float commands[] = {-1000, -50, -3, 0, 2, 40, 1000};
    for (float c : commands) {
        flight_Steer.command[0] = flight_Steer.command[1] = flight_Steer.command[2] = c;
        for (int flag = 0; flag < 2; flag++) {
            flight_SteerOutputs(flag);
            EXPECT_LE(std::fabs(flight_Steer.output[0]), 1.0f);
            EXPECT_LE(std::fabs(flight_Steer.output[1]), 1.0f);
            EXPECT_LE(std::fabs(flight_Steer.output[2]), 0.2f);
        }
    }
    // The gains: elevator 0.0125 without the flag, 0.05 with it.
    flight_Steer.command[1] = 8;
    flight_SteerOutputs(0);
    EXPECT_FLOAT_EQ(flight_Steer.output[1], 0.1f);
    flight_SteerOutputs(1);
    EXPECT_FLOAT_EQ(flight_Steer.output[1], 0.4f);
    // Level flight well above the terrain: no warning, the low gain.
    plane->position = {0, 3000, 0};
    plane->velocity = {0, 0, 5};
    const MathVec3 point = {0, 3000, 20000};
    flight_SteerMode(&point);
    EXPECT_EQ(flight_Steer.terrainWarning, 0);
    EXPECT_NEAR(flight_Steer.headingRef, 0, 1e-3);
    EXPECT_LE(std::fabs(flight_Steer.smoothed[2]), 0.2f);
}

TEST_F(FlightTest, SteeringTargetsAndApproach) {
    FlightSteerState& s = flight_Steer;
    flight_SteerReset();
    s.modeValue[0] = 80;   // clamped to 50
    s.modeValue[1] = -40;  // clamped to -30
    s.pitchRef = 5;
    s.headingRef = 12;
    flight_SteerTargets(0, 0);
    EXPECT_EQ(s.target[0], 50);
    EXPECT_FLOAT_EQ(s.target[1], -(5 - 2.5f + 30));  // g = 0
    EXPECT_EQ(s.target[2], 12);
    s.command[0] = 4;  // g = -64 clamped to -35
    flight_SteerTargets(1, 100);
    EXPECT_FLOAT_EQ(s.target[2], 12 + 35);
    EXPECT_FLOAT_EQ(s.target[1], 600);  // the warning's climb
    s.command[1] = 0;
    s.target[1] = 200;
    flight_SteerApproach();
    EXPECT_EQ(s.command[1], 90);
    s.target[1] = 100;
    flight_SteerApproach();
    EXPECT_EQ(s.command[1], 100);
}

TEST_F(FlightTest, WingsLevelModeLevelsABankedAircraft) {
    JetState& s = S();
    s.actuator[JET_AIRBRAKE] = {0, 0};
    s.gear = {1, 1};
    plane->flags &= ~(uint32_t)JET_ON_GROUND;
    plane->position = {0, 3000, 0};
    plane->velocity = {0, 0, 4};
    s.engine.throttleCommand = s.engine.throttle = 0.8f;
    for (float bank : {25.0f, -25.0f}) {
        SCOPED_TRACE(bank);
        plane->orientation = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
        math_RotateRows01(&plane->orientation, bank);
        plane_PlayerFields(&object)->autopilotMode = 1;
        flight_SteerReset();
        for (int f = 0; f < 400; f++) jet_FlightStep(plane, &object);
        EXPECT_LT(std::fabs(plane->orientation.m[0][1]), std::sin(3 * 0.0174533f));
        EXPECT_GT(plane->position.y, 2900.0f);
    }
}

// ---- Take-off over flat ground ----

// Stands in for the player object's ground contact: flat ground under the
// aircraft, the nose kept out of it.
void GroundContact(_PLANE* plane, ObjectRecord* object) {
    const float above = fix_HeightAboveTerrain(&plane->position);
    PlanePlayerFields* f = plane_PlayerFields(object);
    if (above <= 0.0f) {
        plane->position.y -= above;
        f->onGround = 1;
        MathMat33& m = plane->orientation;
        if (m.m[2][1] < 0.0f) {
            // Level the nose onto the ground.
            m = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
        }
    } else {
        f->onGround = 0;
    }
}

TEST_F(FlightTest, TakesOffWithinTheSampleRunwayAndClimbs) {
    JetState& s = S();
    s.actuator[JET_AIRBRAKE].command = 0;   // the pilot's first action
    plane->position = {0, 0, 0};
    plane->position.y -= fix_HeightAboveTerrain(&plane->position);
    const float groundY = plane->position.y;
    plane_PlayerFields(&object)->onGround = 1;
    const float runway = MK_RUNWAY_CELLS * 2048 * 0.3048f - 512 * 0.3048f;
    float takeOffDistance = -1;
    int32_t takeOffFrame = -1;
    int32_t airborne = 0;
    for (int32_t frame = 0; frame < (takeOffFrame >= 0 ? takeOffFrame + 40 * 60 : 40 * 60); frame++) {
        inmap_InputCurrent = {};
        inmap_InputCurrent.flags = INPUT_THROTTLE_SET;
        inmap_InputCurrent.throttle = 1.5f;
        // Pull back past rotation speed; once up, hold a 12-degree climb.
        const float pitch = std::asin(plane->orientation.m[2][1]) * 57.29578f;
        if (s.knots > 150) {
            inmap_InputCurrent.flags |= INPUT_STICK_DOWN;
            inmap_InputCurrent.stickY = std::fmax(-1.0f, std::fmin(1.0f, (12 - pitch) * 0.1f - s.rate[1] * 0.5f));
        }
        jet_Controls(plane, &object);
        jet_FlightStep(plane, &object);
        GroundContact(plane, &object);
        airborne = plane_PlayerFields(&object)->onGround ? 0 : airborne + 1;
        if (airborne == 40 && takeOffFrame < 0) {
            takeOffFrame = frame - 40;
            takeOffDistance = plane->position.z;
        }
        if (takeOffFrame >= 0 && frame == takeOffFrame + 40 * 10) s.gear.command = 1;
    }
    ASSERT_GE(takeOffFrame, 0) << "never left the ground";
    EXPECT_GT(takeOffDistance, 100.0f);
    EXPECT_LT(takeOffDistance, runway);
    // Still climbing 60 s after the take-off, well above the runway.
    const float height = plane->position.y - groundY;
    EXPECT_GT(height, 500.0f);
    EXPECT_GT(plane->velocity.y, 0.0f);
    printf("take-off after %d frames, %.0f m; 60+ s later %.0f m up, %.0f kn\n", takeOffFrame, takeOffDistance,
           height, s.knots);
}

}  // namespace
