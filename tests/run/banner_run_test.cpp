// The real program's flight-end banner: a mission won shows its line in
// cyan over a black shadow at the picture's top left; a mission still
// running shows none.
#include <gtest/gtest.h>


#include <string>

#include "base/bmp.h"
#include "fixtures/workdir.h"
#include "run_util.h"

namespace {

bool Cyan(RunRgb c) { return c.r < 60 && c.g > 180 && c.b > 180; }

// The frame at tick 100 of a single-player flight of the mission.
_EIMAGE2* FrameOf(const std::string& name, const std::string& mission, std::string* log) {
    const std::string dump = run_DumpedFlight(name, "", 120, 50, 0, log, {"KRX_MISSION=" + mission});
    return dump.empty() ? nullptr : run_LoadFrame(dump, 100);
}

TEST(KrxBannerRun, MissionWonShowsTheBanner) {
    std::string log;
    _EIMAGE2* won = FrameOf("banner_won", "BANNER.ORF", &log);
    ASSERT_NE(won, nullptr);
    EXPECT_NE(log.find(" goals done list=0 goal=0 remaining=0 outcome=1\n"), std::string::npos) << log;
    // At (20, 12) on the 640-wide picture, the shadow one pixel right and
    // down of the text.
    EXPECT_GT(run_Count(won, 20, 12, 320, 30, Cyan), 200);
    EXPECT_EQ(run_Count(won, 0, 0, 20, 480, Cyan), 0);
    EXPECT_EQ(run_Count(won, 0, 0, 640, 12, Cyan), 0);
    EXPECT_GT(run_Count(won, 21, 13, 321, 31, run_Dark), 100);
    img_Free(won);
    _EIMAGE2* running = FrameOf("banner_running", "F1M1.ORF", &log);
    ASSERT_NE(running, nullptr);
    EXPECT_EQ(run_Count(running, 20, 12, 320, 30, Cyan), 0);
    img_Free(running);
}

}  // namespace
