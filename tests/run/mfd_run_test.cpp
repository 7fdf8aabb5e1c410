// A single-player flight in the cockpit view with the MFD keys bound: after
// the keys the left MFD shows the radar sweep and the right one the pod
// video, their screen areas changing; the tactical map key shows the grid
// over the whole screen.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <string>

#include "base/bmp.h"
#include "run_util.h"

namespace {

// Pixels that differ between two frames inside the rectangle.
int32_t Changed(const _EIMAGE2* a, const _EIMAGE2* b, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    int32_t n = 0;
    for (int32_t y = y0; y < y1; y++)
        for (int32_t x = x0; x < x1; x++) n += run_PixelAt(a, x, y) != run_PixelAt(b, x, y);
    return n;
}

// Rows (of 480) in which the pixel of column x has the colour c.
int32_t RowsOfColour(const _EIMAGE2* img, int32_t x, uint32_t c) {
    int32_t n = 0;
    for (int32_t y = 0; y < 480; y++) n += run_PixelAt(img, x, y) == c;
    return n;
}

// Columns holding a vertical line of one colour at least 400 rows long.
int32_t GridColumns(const _EIMAGE2* img) {
    int32_t n = 0;
    for (int32_t x = 0; x < 640; x++) {
        const uint32_t c = run_PixelAt(img, x, 240);
        if (c != 0 && RowsOfColour(img, x, c) >= 400) n++;
    }
    return n;
}

// The frames of a flight whose input map binds J, U and I to the left and
// right MFDs' next page and the next sub-mode; "" when a run failed.
std::string MfdFlight(const std::string& name, int bits, const std::string& keys, int32_t ticks) {
    const std::string dir = run_FreshDataDir(name);
    if (dir.empty()) return "";
    if (bits != 16 && !run_SetSoftwareDepth(dir, bits)) return "";
    // A first flight writes the input map; the MFD actions are then bound.
    std::string log;
    if (run_SingleFlight(dir, "", 10, &log).exitCode != 0) return "";
    std::string map = run_ReadAll(dir + "/KRX.INP");
    const size_t at = map.find('\n', map.find("KEYBOARD STANDARD"));
    if (at == std::string::npos) return "";
    map.insert(at + 1, "MFD_LEFT_NEXT J\r\nMFD_RIGHT_NEXT U\r\nRADAR_MODE_NEXT I\r\n");
    {
        std::ofstream out(dir + "/KRX.INP", std::ios::binary);
        out << map;
    }
    const std::string dump = dir + "/frames";
    if (mkdir(dump.c_str(), 0755) != 0) return "";
    {
        std::ofstream script(dir + "/keys.txt");
        script << keys;
    }
    RunResult r = run_Program("krx", {}, dir,
                              {"KRX_LAUNCH=single", "KRX_SCRIPT=" + dir + "/keys.txt",
                               "KRX_MAXTICKS=" + std::to_string(ticks), "KRX_FRAMEDUMP=" + dump,
                               "KRX_FRAMEDUMP_EVERY=10"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return r.exitCode == 0 ? dump : "";
}

class KrxMfdRun : public ::testing::TestWithParam<int> {};

TEST_P(KrxMfdRun, MfdKeysChangeThePagesAndTheMapShowsTheGrid) {
    const int bits = GetParam();
    // Four sub-mode steps (0 -> 4, the radar sweep) and three right-MFD
    // steps (status -> stores -> situation -> pod video); then the map.
    const std::string dump = MfdFlight("mfd" + std::to_string(bits), bits,
                                       "40 key I\n42 key I\n44 key I\n46 key I\n"
                                       "48 key U\n50 key U\n52 key U\n"
                                       "150 key M\n",
                                       200);
    ASSERT_FALSE(dump.empty());
    _EIMAGE2* before = img_LoadBmp((dump + "/frame00030.bmp").c_str());
    _EIMAGE2* after = img_LoadBmp((dump + "/frame00100.bmp").c_str());
    _EIMAGE2* later = img_LoadBmp((dump + "/frame00140.bmp").c_str());
    _EIMAGE2* map = img_LoadBmp((dump + "/frame00190.bmp").c_str());
    ASSERT_NE(before, nullptr);
    ASSERT_NE(after, nullptr);
    ASSERT_NE(later, nullptr);
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(before->width, 640);
    // The two MFD screens on the console (left and right) change with their
    // new pages; the pod video keeps changing from frame to frame.
    EXPECT_GT(Changed(before, after, 0, 380, 240, 480), 500);
    EXPECT_GT(Changed(before, after, 400, 380, 640, 480), 500);
    EXPECT_GT(Changed(after, later, 400, 380, 640, 480), 100);
    // The map: grid lines from top to bottom across the whole screen,
    // 32 pixels apart at the starting zoom on a 640-wide screen.
    EXPECT_GE(GridColumns(map), 16);
    EXPECT_EQ(GridColumns(after), 0);
    img_Free(before);
    img_Free(after);
    img_Free(later);
    img_Free(map);
}

INSTANTIATE_TEST_SUITE_P(Depths, KrxMfdRun, ::testing::Values(8, 16));

}  // namespace
