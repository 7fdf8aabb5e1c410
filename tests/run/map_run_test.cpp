// The mission map from the briefing: a waypoint dragged and accepted
// changes the route the flight takes; dragged and cancelled, it does not.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "run_util.h"

namespace {

// The route of the n-th "map waypoints" line of the log.
std::string RouteLine(const std::string& log, int n) {
    size_t at = 0;
    for (int i = 0; i <= n; i++) {
        at = log.find(" map waypoints ", at + 1);
        if (at == std::string::npos) return "";
    }
    size_t end = log.find('\n', at);
    return log.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

TEST(KrxMapRun, DraggedWaypointIsAcceptedAndCancelLeavesTheRoute) {
    std::string dir = run_FreshDataDir("map");
    ASSERT_FALSE(dir.empty());
    // Quick mission, briefing, map ("M"); waypoint 2 sits at (416, 364) on
    // the view centred on the take-off point; it is dragged up and left, and
    // Enter accepts. The second visit drags it again and Escape cancels.
    std::string log;
    RunResult r = run_Krx(dir,
                          std::string(kRunToBriefing) +
                          "800 key M\n800 char m\n"
                          "1100 mouse 420 368\n1110 lbutton down 420 368\n1120 mouse 380 340\n1130 mouse 340 320\n"
                          "1140 mouse 300 300\n1150 lbutton up 300 300\n"
                          "1250 key RETURN\n"
                          "1450 key M\n1450 char m\n"
                          "1650 mouse 420 368\n1660 lbutton down 420 368\n1680 mouse 300 200\n1690 lbutton up 300 200\n"
                          "1750 key ESCAPE\n",
                          1900, &log);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(log.find("map drag 1 from 600 543"), std::string::npos) << log;
    // Dropped at the pointer less half an icon: 184 + 300 - 8, 179 + 300 - 8.
    EXPECT_NE(log.find("map dropped 1 at 476 471"), std::string::npos) << log;
    std::string accepted = RouteLine(log, 0), cancelled = RouteLine(log, 1);
    ASSERT_FALSE(accepted.empty()) << log;
    ASSERT_FALSE(cancelled.empty()) << log;
    // Waypoint 2 went back to the world as x = 476 << 22, z = (1024 - 471) << 22.
    char second[64];
    snprintf(second, sizeof second, " %d,%d ", (int32_t)(476u << 22), (int32_t)((1024u - 471u) << 22));
    EXPECT_NE(accepted.find(second), std::string::npos) << accepted;
    EXPECT_EQ(accepted.rfind(" map waypoints 5 ", 0), 0u) << accepted;
    // The second drag was cancelled: the route is the accepted one.
    EXPECT_EQ(cancelled, accepted);
    EXPECT_NE(log.find("map dropped 1 at 476 371"), std::string::npos) << log;
}

}  // namespace
