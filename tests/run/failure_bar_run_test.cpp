// A single-player flight whose display system fails through the console's
// damage word: the left MFD (the situation page) then shows the bright bar
// rolling down its screen, and showed none before.
#include <gtest/gtest.h>


#include <filesystem>
#include <set>
#include <string>

#include "base/bmp.h"
#include "run_util.h"

namespace {

bool BrightGreen(RunRgb c) { return c.g > 150 && c.g > c.r + 60 && c.g > c.b + 60; }

// The first row of the left MFD's screen area crossed by a bright green
// line, or -1.
int32_t BarRow(const _EIMAGE2* img) {
    for (int32_t y = 360; y < 430; y++)
        if (run_Count(img, 20, y, 220, y + 1, BrightGreen) > 150) return y;
    return -1;
}

TEST(KrxFailureBarRun, DamagedDisplayRollsTheBarOverTheMfd) {
    std::string dump;
    const std::string dir = run_FreshDataDir("failbar", &dump);
    ASSERT_FALSE(dir.empty());
    const std::string enter = "104 keydown RETURN\n104 char 13\n104 keyup RETURN\n";
    const std::string script = "100 key T\n" + run_TypeLine(102, "damage 9") + enter;
    std::string log;
    RunResult r = run_SingleFlight(dir, script, 300, &log,
                                   {"KRX_FRAMEDUMP=" + dump, "KRX_FRAMEDUMP_EVERY=5"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_GE(run_LogTick(log, "Damage 9 Set"), 104) << log;
    int32_t before = 0;
    std::set<int32_t> rows;
    for (int32_t f = 50; f < 300; f += 5) {
        _EIMAGE2* img = run_LoadFrame(dump, f);
        ASSERT_NE(img, nullptr) << f;
        const int32_t row = BarRow(img);
        if (row >= 0 && f < 100) before++;
        if (row >= 0 && f > 105) rows.insert(row);
        img_Free(img);
    }
    EXPECT_EQ(before, 0);
    // Seen in several frames, at different rows: it rolls.
    EXPECT_GE(rows.size(), 2u);
    if (!::testing::Test::HasFailure()) std::filesystem::remove_all(dir);
}

}  // namespace
