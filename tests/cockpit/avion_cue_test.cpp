// The voice cue scan: priorities, the 31-tick spacing, cautions and the
// overspeed edge.
#include <gtest/gtest.h>

#include <vector>

#include "cockpit/avion.h"
#include "cockpit/avion_cue.h"

namespace {

class Cues : public ::testing::Test {
protected:
    AvionCueInputs in{};
    void SetUp() override {
        avion_CuesReset();
        in = AvionCueInputs{};
        in.now = 1000;
        in.weaponType = -1;
        in.fuel = 100.0f;
        in.fuelWarning = 10.0f;
    }
    // Scans once per tick from the current tick for n ticks; the cues played
    // with their ticks.
    std::vector<std::pair<uint32_t, int32_t>> Scan(int32_t n) {
        std::vector<std::pair<uint32_t, int32_t>> played;
        for (int32_t i = 0; i < n; i++, in.now++) {
            const int32_t cue = avion_WarningCuesScan(in);
            if (cue) played.push_back({in.now, cue});
        }
        return played;
    }
};

TEST_F(Cues, TwoPendingCuesPlayByPriorityTheSecondAtLeast31TicksLater) {
    // Low fuel (cue 7) and a failed system (cue 6) in the same frame.
    in.fuel = 1.0f;
    in.systems[1] = 1;
    auto played = Scan(1);
    in.systems[1] = 1;  // stays failed: no new warning
    auto later = Scan(60);
    played.insert(played.end(), later.begin(), later.end());
    ASSERT_EQ(played.size(), 2u);
    EXPECT_EQ(played[0], (std::pair<uint32_t, int32_t>{1000, 7}));
    EXPECT_EQ(played[1].second, 6);
    EXPECT_GE(played[1].first - played[0].first, 31u);
    EXPECT_LE(played[1].first - played[0].first, 32u);
    EXPECT_EQ(avion_Cues.slots[2], 2) << "the fuel cue stays played while fuel is low";
}

TEST_F(Cues, ACautionLightsBitTwoAndPlaysNothing) {
    in.systems[4] = 1;
    EXPECT_TRUE(Scan(1).empty());
    EXPECT_EQ(avion_WarningLights & 2, 2);
    EXPECT_EQ(avion_WarningLights & 4, 0);
    // Word 16 is no failure at all; any word not a caution is a warning.
    in.systems[16] = 1;
    Scan(1);
    EXPECT_EQ(avion_WarningLights & 4, 0);
    in.systems[8] = 1;
    EXPECT_EQ(Scan(1).size(), 1u);
    EXPECT_EQ(avion_WarningLights & 4, 4);
}

TEST_F(Cues, SpeedHeldAbove790GivesOneOverspeedCue) {
    in.speed = 800.0f;
    auto played = Scan(1);
    EXPECT_EQ(avion_WarningLights & 0x20, 0x20);
    EXPECT_TRUE(Scan(200).empty());
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(played[0].second, 8);
    // Down and up again: a second one.
    in.speed = 700.0f;
    Scan(1);
    in.speed = 795.0f;
    EXPECT_EQ(Scan(50).size(), 1u);
}

TEST_F(Cues, GearEdgeStoresAndCountermeasures) {
    // The gear word rising in the air with the gear down: a gear warning.
    in.flags = 0x40;
    in.gearWord = 1;
    auto played = Scan(1);
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(played[0].second, 8);
    EXPECT_EQ(avion_WarningLights & 8, 8);
    in.gearWord = 0;
    Scan(40);
    // On the ground only the light.
    in.flags = 0x60;
    in.gearWord = 1;
    EXPECT_TRUE(Scan(1).empty());
    EXPECT_EQ(avion_WarningLights & 0x10, 0x10);
    Scan(40);
    // A weapon without stores: cue 5 once; flares and chaff: cues 1..3.
    in.weaponType = 3;
    in.storeLeft = false;
    played = Scan(40);
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(played[0].second, 5);
    const int32_t expected[4] = {0, 2, 1, 3};
    for (uint32_t bits = 1; bits <= 3; bits++) {
        in.countermeasures = bits;
        played = Scan(1);
        in.countermeasures = 0;
        auto rest = Scan(40);
        played.insert(played.end(), rest.begin(), rest.end());
        ASSERT_EQ(played.size(), 1u) << bits;
        EXPECT_EQ(played[0].second, expected[bits]) << bits;
    }
}

}  // namespace
