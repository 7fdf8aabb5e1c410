// The real program's situation pictures after take-off: the navigation
// overlay's window at the top right with the ownship, the view wedge, the
// range line and the contacts; and the mission's route, numbered, on the
// left MFD's situation page and as the HUD's steerpoint, with no map screen
// seen before the flight.
#include <gtest/gtest.h>


#include <string>

#include "base/bmp.h"
#include "run_util.h"

namespace {

bool Cyan(RunRgb c) { return c.g > 200 && c.b > 200 && c.r < 80; }
bool White(RunRgb c) { return c.r > 230 && c.g > 230 && c.b > 230; }
bool Red(RunRgb c) { return c.r > 200 && c.g < 60 && c.b < 60; }
// The MFD page's dark green lines (the route) and the HUD's green.
bool RouteGreen(RunRgb c) { return c.r < 16 && c.g >= 110 && c.g <= 150 && c.b < 16; }
bool HudGreen(RunRgb c) { return c.g > 200 && c.r < 150 && c.b < 150; }

TEST(KrxMfdRun, NavigationOverlayShowsTheSituationPicture) {
    // Afterburner, rotate, then the overlay on (F11) in the climb.
    const std::string dump =
        run_DumpedFlight("mfdpicture", "100 key BACK\n580 keydown DOWN\n680 keyup DOWN\n700 key F11\n", 910, 100);
    ASSERT_FALSE(dump.empty());
    _EIMAGE2* before = run_LoadFrame(dump, 600);
    _EIMAGE2* after = run_LoadFrame(dump, 900);
    ASSERT_NE(before, nullptr);
    ASSERT_NE(after, nullptr);
    // The window: design rectangle (241, 5)-(316, 80) on a 640 x 480 screen.
    const int32_t x0 = 482, y0 = 10, x1 = 632, y1 = 160;
    EXPECT_EQ(run_Count(before, x0, y0, x1, y1, Cyan), 0);
    // The range line and the ownship in cyan, the wedge's two white lines
    // from the picture centre (a quarter of the window above its bottom).
    EXPECT_GT(run_Count(after, x0, y0, x1, y0 + 20, Cyan), 30);
    EXPECT_GT(run_Count(after, 552, 112, 564, 130, Cyan), 5);
    EXPECT_GT(run_Count(after, x0, y0, x1, y1, White), 100);
    // A contact of the sample mission near the ownship.
    EXPECT_GT(run_Count(after, x0, y0, x1, y1, Red), 0);
    img_Free(before);
    img_Free(after);
}

TEST(KrxMfdRun, TheMissionsRouteShowsOnTheSituationPageAndTheHud) {
    // Take-off as above, then the follow view and the defence view, which
    // fills the screen with the left MFD.
    std::string log;
    const std::string dump = run_DumpedFlight(
        "mfdroute", "100 key BACK\n580 keydown DOWN\n680 keyup DOWN\n700 key F3\n720 key NUMPAD4\n", 910, 100, 0, &log);
    ASSERT_FALSE(dump.empty());
    // The launch took the player start group's five points.
    EXPECT_NE(log.find("route F1M1.ORF waypoints 5"), std::string::npos);
    _EIMAGE2* cockpit = run_LoadFrame(dump, 600);
    _EIMAGE2* page = run_LoadFrame(dump, 900);
    ASSERT_NE(cockpit, nullptr);
    ASSERT_NE(page, nullptr);
    // The HUD's steerpoint line ("distance>01") under the clock at the right.
    EXPECT_GT(run_Count(cockpit, 405, 346, 445, 352, HudGreen), 20);
    // Heading east, the lake's two waypoints (squares, their numbers and
    // the legs between them) stand ahead and to the right of the ownship,
    // where no contact flies; nothing of the route lies farther ahead.
    EXPECT_GT(run_Count(page, 340, 230, 470, 310, RouteGreen), 100);
    EXPECT_EQ(run_Count(page, 80, 60, 560, 230, RouteGreen), 0);
    img_Free(cockpit);
    img_Free(page);
}

}  // namespace
