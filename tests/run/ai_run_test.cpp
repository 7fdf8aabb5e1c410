// A single-player launch of the sample mission, left to run with the player
// standing on the runway: the AI flight taxis, takes off, flies its route and
// turns to attack the player, the SAM site engages him, and the mission's
// triggers fire in order.
#include <gtest/gtest.h>

#include <string>

#include "run_util.h"

namespace {

TEST(KrxRun, AiFlightAndMissionTriggers) {
    const std::string log = run_FlightLog("ai_triggers", "", 4300);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.find(" ai error "), std::string::npos) << log;

    // The parked flight: the leader taxis and releases its wingman on the
    // way, both take off; the group's airborne event fires trigger 1, whose
    // message goes to the player.
    const long taxi = run_LogTick(log, " ai program unit=70 program=taxi state=1");
    const long lead = run_LogTick(log, " ai takeoff unit=69");
    const long wing = run_LogTick(log, " ai takeoff unit=70");
    const long airborne = run_LogTick(log, " trig trigger 1 fired");
    ASSERT_GT(taxi, 0) << log;
    EXPECT_GT(lead, taxi);
    EXPECT_GE(wing, lead);
    EXPECT_EQ(airborne, wing);
    EXPECT_EQ(run_LogTick(log, " trig message 1 AIRBORNE text"), airborne);
    EXPECT_EQ(run_LogTick(log, " client text Blue flight is airborne."), airborne);

    // Past the field's end the leader reaches the first waypoint of its
    // route: trigger 2 reports the flight outbound.
    const long outbound = run_LogTick(log, " trig trigger 2 fired");
    EXPECT_GT(outbound, airborne) << log;
    EXPECT_EQ(run_LogTick(log, " trig message 2 OUTBOUND text"), outbound);
    // Counter 0 started there passes 19 twenty seconds (800 ticks) later:
    // trigger 3 plays its speech-only message.
    const long counted = run_LogTick(log, " trig trigger 3 fired");
    EXPECT_GE(counted, airborne + 19 * 40);
    EXPECT_LE(counted, airborne + 21 * 40);
    EXPECT_EQ(run_LogTick(log, " trig message 3 NULLMSG\n"), counted);

    // From its first waypoint on the flight hunts: the leader takes the
    // player as its target and, in range and aimed, fires a short-range
    // missile at him.
    const long attack = run_LogTick(log, " ai attack unit=69 target=1 player\n");
    EXPECT_GT(attack, outbound) << log;
    const long fire = run_LogTick(log, " ai fire unit=69 weapon=6 at player\n");
    EXPECT_GT(fire, attack) << log;
    EXPECT_EQ(run_LogTick(log, " weapon missile serial="), fire);

    // The SAM site north of the field engages the player's aircraft; the
    // search radar by the lake, far out of its range, and the flak site (the
    // climb-out run shows it) leave him alone. No site shoots at its own side.
    EXPECT_GT(run_LogTick(log, " ai engage unit=72 site=defence target=1 player\n"), 0) << log;
    EXPECT_EQ(log.find(" ai engage unit=74"), std::string::npos) << log;
    EXPECT_EQ(log.find(" ai engage unit=73"), std::string::npos) << log;

    // Standing on the runway all the while, the player's aircraft keeps its
    // nose wheel on the ground: it never tips over.
    EXPECT_EQ(log.find(" crash"), std::string::npos) << log;
}

}  // namespace
