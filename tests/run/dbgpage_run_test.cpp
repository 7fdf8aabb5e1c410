// A single-player flight with the mission trigger page on from the start:
// the page's panel and cyan lines show in the dumped frames, and the zoom
// keys, in list mode while the page is on, scroll it.
#include <gtest/gtest.h>

#include <string>

#include "base/bmp.h"
#include "run_util.h"

namespace {

// Cyan text: green and blue high, red low.
bool Cyan(RunRgb c) { return c.r < 80 && c.g > 200 && c.b > 200; }
// The readout pages' red.
bool Red(RunRgb c) { return c.r > 200 && c.g < 80 && c.b < 80; }

// The trigger page's lines from layout (160, 20), 10 pixels apart at 640
// wide: line n of the dumped frame shows cyan text.
bool TriggerLineShown(const std::string& dump, int frame, int line) {
    char name[64];
    snprintf(name, sizeof name, "/frame%05d.bmp", frame);
    return run_CountInFile(dump + name, 320, 40 + 10 * line, 600, 50 + 10 * line, Cyan) > 20;
}

std::string Enter(int tick) {
    const std::string t = std::to_string(tick);
    return t + " keydown RETURN\n" + t + " char 13\n" + t + " keyup RETURN\n";
}
// A line typed on the in-flight input line (T), where console words act.
std::string Say(int tick, const std::string& text) {
    return std::to_string(tick) + " key T\n" + run_TypeLine(tick + 2, text) + Enter(tick + 4);
}

// "page objects" typed in flight shows the object lists from the top left;
// typed again, they go.
TEST(KrxRun, ReadoutPageSwitchedByItsWord) {
    const std::string dump = run_DumpedFlight("readout", Say(100, "page objects") + Say(200, "page objects"), 260, 20);
    ASSERT_FALSE(dump.empty());
    // "SERVER" and the first object lines at (10, 10), 16 pixels apart.
    EXPECT_EQ(run_CountInFile(dump + "/frame00080.bmp", 10, 10, 200, 60, Red), 0);
    EXPECT_GT(run_CountInFile(dump + "/frame00160.bmp", 10, 10, 200, 60, Red), 40);
    EXPECT_EQ(run_CountInFile(dump + "/frame00240.bmp", 10, 10, 200, 60, Red), 0);
}

// The trigger page switched on from the start scrolls with the zoom keys.
TEST(KrxRun, TriggerPageShowsAndScrollsWithTheZoomKeys) {
    // Zoom out moves the first trigger shown from 0 to 1, zoom in back.
    const std::string dump =
        run_DumpedFlight("dbgpage", "100 key X\n160 key S\n", 200, 20, 0, nullptr, {"KRX_OVERLAYPAGES=triggers"});
    ASSERT_FALSE(dump.empty());
    // The page's lines from layout (160, 20), 10 pixels apart at 640 wide:
    // the sample mission's four triggers.
    auto lineShown = [&](int frame, int line) { return TriggerLineShown(dump, frame, line); };
    for (int frame : {80, 180}) {
        EXPECT_TRUE(lineShown(frame, 0)) << frame;
        EXPECT_TRUE(lineShown(frame, 3)) << frame;
        EXPECT_FALSE(lineShown(frame, 4)) << frame;
    }
    // Scrolled by one: three lines left.
    EXPECT_TRUE(lineShown(140, 2));
    EXPECT_FALSE(lineShown(140, 3));
    EXPECT_FALSE(lineShown(40, 4)) << "nothing past the last trigger";
}

// "dev triggers" typed in flight shows the trigger page and, like the
// start-up switch, gives the zoom keys to its scrolling.
TEST(KrxRun, TriggerWordShowsThePageAndTheZoomKeysScrollIt) {
    const std::string dump = run_DumpedFlight("devtriggers", Say(60, "dev triggers") + "140 key X\n", 200, 20);
    ASSERT_FALSE(dump.empty());
    auto lineShown = [&](int frame, int line) { return TriggerLineShown(dump, frame, line); };
    EXPECT_FALSE(lineShown(40, 0)) << "the page is off until the word";
    EXPECT_TRUE(lineShown(120, 0));
    EXPECT_TRUE(lineShown(120, 3));
    EXPECT_FALSE(lineShown(120, 4));
    // Zoom out scrolled the page by one trigger.
    EXPECT_TRUE(lineShown(180, 2));
    EXPECT_FALSE(lineShown(180, 3));
}

}  // namespace
