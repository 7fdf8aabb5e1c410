// A single-player flight with the mission trigger page on from the start:
// the page's panel and cyan lines show in the dumped frames, and the zoom
// keys, in list mode while the page is on, scroll it.
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

#include "base/bmp.h"
#include "run_util.h"

namespace {

// Cyan text: green and blue high, red low.
int32_t CyanIn(const std::string& file, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    _EIMAGE2* img = img_LoadBmp(file.c_str());
    if (!img) return -1;
    const int32_t n = run_Count(img, x1, y1, x2, y2, [](RunRgb c) { return c.r < 80 && c.g > 200 && c.b > 200; });
    img_Free(img);
    return n;
}

// The trigger page's lines from layout (160, 20), 10 pixels apart at 640
// wide: line n of the dumped frame shows cyan text.
bool TriggerLineShown(const std::string& dump, int frame, int line) {
    char name[64];
    snprintf(name, sizeof name, "/frame%05d.bmp", frame);
    return CyanIn(dump + name, 320, 40 + 10 * line, 600, 50 + 10 * line) > 20;
}

std::string Enter(int tick) {
    const std::string t = std::to_string(tick);
    return t + " keydown RETURN\n" + t + " char 13\n" + t + " keyup RETURN\n";
}
// A line typed on the in-flight input line (T), where console words act.
std::string Say(int tick, const std::string& text) {
    return std::to_string(tick) + " key T\n" + run_TypeLine(tick + 2, text) + Enter(tick + 4);
}

int32_t RedIn(const std::string& file, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    _EIMAGE2* img = img_LoadBmp(file.c_str());
    if (!img) return -1;
    const int32_t n = run_Count(img, x1, y1, x2, y2, [](RunRgb c) { return c.r > 200 && c.g < 80 && c.b < 80; });
    img_Free(img);
    return n;
}

// "page objects" typed in flight shows the object lists from the top left;
// typed again, they go.
TEST(KrxRun, ReadoutPageSwitchedByItsWord) {
    std::string dir = run_FreshDataDir("readout");
    ASSERT_FALSE(dir.empty());
    const std::string dump = dir + "/frames";
    ASSERT_EQ(mkdir(dump.c_str(), 0755), 0);
    std::string log;
    RunResult r = run_SingleFlight(dir, Say(100, "page objects") + Say(200, "page objects"), 260, &log,
                                   {"KRX_FRAMEDUMP=" + dump, "KRX_FRAMEDUMP_EVERY=20"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // "SERVER" and the first object lines at (10, 10), 16 pixels apart.
    EXPECT_EQ(RedIn(dump + "/frame00080.bmp", 10, 10, 200, 60), 0);
    EXPECT_GT(RedIn(dump + "/frame00160.bmp", 10, 10, 200, 60), 40);
    EXPECT_EQ(RedIn(dump + "/frame00240.bmp", 10, 10, 200, 60), 0);
}

// The trigger page switched on from the start scrolls with the zoom keys.
TEST(KrxRun, TriggerPageShowsAndScrollsWithTheZoomKeys) {
    std::string dir = run_FreshDataDir("dbgpage");
    ASSERT_FALSE(dir.empty());
    const std::string dump = dir + "/frames";
    ASSERT_EQ(mkdir(dump.c_str(), 0755), 0);
    // Zoom out moves the first trigger shown from 0 to 1, zoom in back.
    std::string log;
    RunResult r = run_SingleFlight(dir, "100 key X\n160 key S\n", 200, &log,
                                   {"KRX_OVERLAYPAGES=triggers", "KRX_FRAMEDUMP=" + dump, "KRX_FRAMEDUMP_EVERY=20"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
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
    std::string dir = run_FreshDataDir("devtriggers");
    ASSERT_FALSE(dir.empty());
    const std::string dump = dir + "/frames";
    ASSERT_EQ(mkdir(dump.c_str(), 0755), 0);
    std::string log;
    RunResult r = run_SingleFlight(dir, Say(60, "dev triggers") + "140 key X\n", 200, &log,
                                   {"KRX_FRAMEDUMP=" + dump, "KRX_FRAMEDUMP_EVERY=20"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
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
