// A single-player launch of the sample mission, left to run: the AI flight
// taxis, takes off and flies its route, the air-defence sites engage, and the
// mission's triggers fire in order.
#include <gtest/gtest.h>

#include <string>

#include "run_util.h"

namespace {

TEST(KrxRun, AiFlightAndMissionTriggers) {
    const std::string log = run_FlightLog("ai_triggers", "", 3960);
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

    // The SAM site, the search radar and the flak site engage what comes in
    // range.
    EXPECT_GT(run_LogTick(log, " ai engage unit=72 site=defence"), 0) << log;
    EXPECT_GT(run_LogTick(log, " ai engage unit=74 site=area"), 0) << log;
    EXPECT_GT(run_LogTick(log, " ai engage unit=73 site=flak"), 0) << log;
}

}  // namespace
