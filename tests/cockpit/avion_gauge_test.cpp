// Gauge laws, the panel change detector, the sensor image, the radar sweep
// and the stores summary.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "cockpit/avion_gauge.h"
#include "cockpit/avionkrx.h"
#include "cockpit/vcp.h"
#include "sim/ord.h"

namespace {

// A law's value just below and just above a joint.
struct Joint {
    const char* name;
    float (*law)(float);
    float at;
    float below, above;
};

TEST(GaugeLaws, NeedlesAtEverySegmentJoint) {
    const Joint joints[] = {
        {"airspeed 100", avion_AirspeedNeedle, 100.0f, 80.8f, 80.8f},
        {"airspeed 200", avion_AirspeedNeedle, 200.0f, 208.8f, 208.8f},
        {"airspeed 300", avion_AirspeedNeedle, 300.0f, 276.1f, 276.1f},
        {"airspeed 400", avion_AirspeedNeedle, 400.0f, 309.78f, 309.78f},
        // The stop at 800 knots lies 0.3 units past the last segment's end.
        {"airspeed 800", avion_AirspeedNeedle, 800.0f, 471.46f, 471.76f},
        {"temperature 700", avion_TemperatureNeedle, 700.0f, 304.35f, 304.35f},
        {"rpm 0.6", avion_RpmNeedle, 0.6f, 128.0f, 128.0f},
    };
    for (const Joint& j : joints) {
        EXPECT_NEAR(j.law(j.at - 1e-4f), j.below, 0.1f) << j.name;
        EXPECT_NEAR(j.law(j.at + 1e-4f), j.above, 0.1f) << j.name;
    }
    // 1000 degrees: the needle passes 512 and goes on from 48.35.
    EXPECT_NEAR(avion_TemperatureNeedle(999.99f), 560.35f, 0.02f);
    EXPECT_NEAR(avion_TemperatureNeedle(1000.01f), 48.35f, 0.02f);
    EXPECT_NEAR(avion_TemperatureNeedle(5000.0f), 48.35f + 200.0f * 0.32f, 0.02f) << "capped at 1200";
    EXPECT_NEAR(avion_AirspeedNeedle(2000.0f), 471.76f, 0.01f);
    EXPECT_NEAR(avion_RpmNeedle(0.3f), 64.0f, 0.01f);
    EXPECT_NEAR(avion_RpmNeedle(2.0f), 448.0f, 0.01f) << "capped at 1.1";
}

TEST(GaugeLaws, MachAltimeterTapesAndIndexer) {
    float mach = -1.0f;
    EXPECT_FALSE(avion_MachNeedle(1.1f, &mach));
    EXPECT_FALSE(avion_MachNeedle(1.7f, &mach));
    ASSERT_TRUE(avion_MachNeedle(1.2f, &mach));
    EXPECT_NEAR(mach, 462.2222f + 0.1f * 1.6666666f * 99.5556f, 0.01f);
    ASSERT_TRUE(avion_MachNeedle(1.5f, &mach));
    EXPECT_NEAR(mach, 462.2222f + 0.4f * 1.6666666f * 99.5556f - 512.0f, 0.01f) << "less a turn past 512";
    EXPECT_NEAR(avion_AltimeterPointer(12345), 34 * 5.12f, 0.001f);
    EXPECT_NEAR(avion_PressureSetting(0), 29.92f, 0.001f);
    EXPECT_EQ(avion_PressureSetting(200000), 0.0f) << "no negative base under the power";
    // Vertical velocity: v = -word x 7.87392 in its four bands.
    const float w = -1.0f / 7.87392f;
    EXPECT_NEAR(avion_VviTape(0.5f * w), 1.0f, 1e-4f);
    EXPECT_NEAR(avion_VviTape(1.5f * w), 2.5f, 1e-4f);
    EXPECT_NEAR(avion_VviTape(-4.0f * w), -4.0f, 1e-4f);
    EXPECT_NEAR(avion_VviTape(9.0f * w), 5.0f, 1e-4f);
    EXPECT_EQ(avion_AoaTape(0.4f, 0), -0.4f);
    EXPECT_EQ(avion_AoaTape(0.4f, -3), 1.0f);
    EXPECT_EQ(avion_AoaTape(0.4f, 2), -1.0f);
    const struct {
        float aoa;
        int32_t limit, category;
    } lamps[] = {{0.26f, 0, 1}, {0.25f, 0, 2}, {-0.25f, 0, 2}, {-0.26f, 0, 3}, {0.0f, -1, 1}, {0.0f, 1, 3}};
    for (const auto& l : lamps) EXPECT_EQ(avion_AoaCategory(l.aoa, l.limit), l.category) << l.aoa << " " << l.limit;
    // Fuel: 0.5 and 1 of the gauge.
    EXPECT_NEAR(avion_FuelNeedle(0.4f / (2.2f * 0.00022222f)), 320.0f + 153.6f, 0.05f);
    EXPECT_NEAR(avion_FuelNeedle(0.75f / (2.2f * 0.00022222f)), 96.0f, 0.05f);
    EXPECT_EQ(avion_FuelNeedle(1.0e6f), 192.0f);
}

TEST(GaugeLaws, DrumsRollOnOnlyBelowANine) {
    float d[3];
    avion_DrumDigits(129.5f, 3, d);  // 12950 feet in hundreds
    EXPECT_FLOAT_EQ(d[0], 1.0f);
    EXPECT_FLOAT_EQ(d[1], 2.5f) << "the hundreds show 9: the thousands roll";
    EXPECT_FLOAT_EQ(d[2], 9.5f);
    avion_DrumDigits(199.25f, 3, d);
    EXPECT_FLOAT_EQ(d[0], 1.25f);
    EXPECT_FLOAT_EQ(d[1], 9.25f);
    avion_DrumDigits(123.5f, 3, d);
    EXPECT_FLOAT_EQ(d[0], 1.0f);
    EXPECT_FLOAT_EQ(d[1], 2.0f);
    EXPECT_FLOAT_EQ(d[2], 3.5f);
    avion_DrumDigits(-7.0f, 3, d);
    EXPECT_FLOAT_EQ(d[2], 0.0f);
}

class Detector : public ::testing::Test {
protected:
    AvionGaugeSample now{};
    void SetUp() override {
        avion_GaugeDrawn = AvionGaugeSample{};
        memset(vcp_DirtyFlags, 0, sizeof vcp_DirtyFlags);
    }
    // The groups set by one run in the heading view (no MFD or threat
    // group there), cleared afterwards.
    std::vector<int32_t> Run(int32_t view = 6) {
        avion_GaugeChangeDetectSample(now, view);
        std::vector<int32_t> set;
        for (int32_t g = 0; g < VCP_GROUPS; g++)
            if (vcp_DirtyFlags[g]) set.push_back(g);
        memset(vcp_DirtyFlags, 0, sizeof vcp_DirtyFlags);
        return set;
    }
};

TEST_F(Detector, EachQuantityDirtiesItsGroupOnlyPastItsThreshold) {
    const struct {
        const char* name;
        float AvionGaugeSample::*field;
        float below, above;
        int32_t group;
    } rows[] = {
        {"airspeed", &AvionGaugeSample::airspeed, 4.99f, 5.0f, VCP_GROUP_AIRSPEED},
        {"vvi", &AvionGaugeSample::vvi, 0.49f, 0.5f, VCP_GROUP_VVI},
        {"fuel flow", &AvionGaugeSample::fuelFlow, 9.99f, 10.0f, VCP_GROUP_ODOMETER},
        {"heading", &AvionGaugeSample::heading, 7.99f, 8.0f, VCP_GROUP_HEADING},
        {"pitch", &AvionGaugeSample::pitch, 7.99f, 8.0f, VCP_GROUP_ATTITUDE},
        {"roll", &AvionGaugeSample::roll, 7.99f, 8.0f, VCP_GROUP_ATTITUDE},
        {"altitude", &AvionGaugeSample::altitude, 9.99f, 10.0f, VCP_GROUP_ALTIMETER},
        {"nozzle", &AvionGaugeSample::nozzle, 4.0f, 4.01f, VCP_GROUP_NOZZLE},
        {"rpm", &AvionGaugeSample::rpm, 4.0f, 4.01f, VCP_GROUP_RPM},
        {"temperature", &AvionGaugeSample::temperature, 4.0f, 4.01f, VCP_GROUP_TEMPERATURE},
    };
    for (const auto& r : rows) {
        SetUp();
        now = AvionGaugeSample{};
        now.*r.field = r.below;
        EXPECT_TRUE(Run().empty()) << r.name;
        now.*r.field = r.above;
        EXPECT_EQ(Run(), std::vector<int32_t>{r.group}) << r.name;
        EXPECT_TRUE(Run().empty()) << r.name << ": the drawn value follows";
    }
}

TEST_F(Detector, MachBandGearIndexerStickAndTheViewGroups) {
    // Headings compare the short way round.
    now.heading = 508.0f;
    EXPECT_TRUE(Run().empty());
    // Between Mach 1.09 and 1.71 the Mach number decides, not the speed.
    now.mach = 1.2f;
    now.airspeed = 100.0f;
    EXPECT_EQ(Run(), std::vector<int32_t>{VCP_GROUP_AIRSPEED});
    now.mach = 1.24f;
    now.airspeed = 200.0f;
    EXPECT_TRUE(Run().empty());
    now.gearBits = 2;
    EXPECT_EQ(Run(), std::vector<int32_t>{VCP_GROUP_GEAR});
    now.aoa = 0.1f;
    now.category = 1;
    EXPECT_EQ(Run(), (std::vector<int32_t>{VCP_GROUP_AOA, VCP_GROUP_CATEGORY}));
    now.aoa = 0.2f;
    EXPECT_EQ(Run(), std::vector<int32_t>{VCP_GROUP_AOA}) << "same lamp";
    // The stick panel only in views 2, 7 and 9, with the fuel needle or the
    // heading group.
    now.fuel = 5.0f;
    EXPECT_TRUE(Run(6).empty());
    EXPECT_EQ(Run(9), std::vector<int32_t>{VCP_GROUP_STICK});
    now.heading = 20.0f;
    EXPECT_EQ(Run(9), (std::vector<int32_t>{VCP_GROUP_HEADING, VCP_GROUP_STICK}));
    // The MFDs and the threat display on every run outside their views.
    EXPECT_EQ(Run(1), (std::vector<int32_t>{VCP_GROUP_THREAT, VCP_GROUP_MFD_LEFT}));
    EXPECT_EQ(Run(3), (std::vector<int32_t>{VCP_GROUP_THREAT, VCP_GROUP_MFD_LEFT}));
    EXPECT_EQ(Run(5), std::vector<int32_t>{VCP_GROUP_MFD_RIGHT});
    EXPECT_EQ(Run(4), (std::vector<int32_t>{VCP_GROUP_THREAT, VCP_GROUP_MFD_LEFT, VCP_GROUP_MFD_RIGHT}));
}

TEST_F(Detector, ADirtyAttitudeGroupOnlyTakesTheSamples) {
    vcp_DirtyFlags[VCP_GROUP_ATTITUDE] = 1;
    now.airspeed = 300.0f;
    now.altitude = 5000.0f;
    now.gearBits = 1;
    avion_GaugeChangeDetectSample(now, 4);
    uint8_t expected[VCP_GROUPS] = {};
    expected[VCP_GROUP_ATTITUDE] = 1;
    EXPECT_EQ(memcmp(vcp_DirtyFlags, expected, sizeof expected), 0);
    EXPECT_EQ(avion_GaugeDrawn.airspeed, 300.0f);
    EXPECT_EQ(avion_GaugeDrawn.gearBits, 1);
    vcp_DirtyFlags[VCP_GROUP_ATTITUDE] = 0;
    EXPECT_TRUE(Run().empty()) << "nothing left to repaint";
}

TEST(SensorImage, AMarkSetsTheCellAndItsWrappedNeighbours) {
    memset(avion_SensorImage, 0, sizeof avion_SensorImage);
    avion_SensorMarkCell(0, 127);
    auto at = [](int32_t x, int32_t y) { return avion_SensorImage[y * AVION_SENSOR_SIZE + x]; };
    EXPECT_EQ(at(0, 127), 255);
    EXPECT_EQ(at(1, 127), 128);
    EXPECT_EQ(at(127, 127), 128);
    EXPECT_EQ(at(0, 0), 128);
    EXPECT_EQ(at(0, 126), 128);
    int32_t set = 0;
    for (uint8_t b : avion_SensorImage) set += b != 0;
    EXPECT_EQ(set, 5);
    avion_SensorMarkCell(128, 5);
    avion_SensorMarkCell(-1, 5);
    for (uint8_t b : avion_SensorImage) set -= b != 0;
    EXPECT_EQ(set, 0) << "cells outside the image mark nothing";
}

TEST(RadarSweep, TurnsRoundPastFortySeven) {
    avion_DisplayStateReset();
    int32_t highest = 0, lowest = 0, turns = 0, last = 1;
    for (int32_t i = 0; i < 400; i++) {
        avion_SweepStep();
        highest = std::max(highest, avion_SweepPosition);
        lowest = std::min(lowest, avion_SweepPosition);
        if (avion_SweepDirection != last) {
            EXPECT_EQ(std::abs(avion_SweepPosition), 48);
            turns++;
            last = avion_SweepDirection;
        }
    }
    EXPECT_EQ(highest, 48);
    EXPECT_EQ(lowest, -48);
    EXPECT_GE(turns, 3);
}

TEST(ThreatSummary, StationLettersPickTheClassAndTypesTheLevel) {
    const struct {
        int32_t letter, cls;
    } classes[] = {{'C', -1}, {'D', 4}, {'E', 0}, {'F', 1}, {'G', 1}, {'H', 2}, {'K', 2}, {'L', 3}, {'O', 3},
                   {'P', 8},  {'Q', 7}, {'R', 7}, {'S', 6}, {'V', 6}, {'W', 5}, {'Z', 5}, {'[', -1}};
    for (const auto& c : classes) EXPECT_EQ(avion_ThreatClass(c.letter), c.cls) << (char)c.letter;
    _ORDNANCE_MOUNT mounts[4] = {};
    const int32_t station[4] = {'E', 'E', 'P', 'A'}, type[4] = {1, -1, 16, 1}, amount[4] = {2, 50, 3, 9};
    _ORDNANCE_MANAGER manager{};
    for (int32_t i = 0; i < 4; i++) {
        mounts[i].station = station[i];
        mounts[i].type = type[i];
        mounts[i].amount = amount[i];
        mounts[i].next = i < 3 ? &mounts[i + 1] : nullptr;
    }
    manager.mounts.head = &mounts[0];
    _ORDNANCE_MANAGER* saved = ord_Manager;
    ord_Manager = &manager;
    avion_ThreatSummary();
    ord_Manager = saved;
    EXPECT_EQ(avion_ThreatStrength[0], 2) << "type -1 skipped";
    EXPECT_EQ(avion_ThreatLevel[0], 3);
    EXPECT_EQ(avion_ThreatStrength[8], 3);
    EXPECT_EQ(avion_ThreatLevel[8], 4);
    int32_t total = 0;
    for (int32_t v : avion_ThreatStrength) total += v;
    EXPECT_EQ(total, 5) << "station 'A' counts in no class";
}

}  // namespace
