// A bomb's blast in a single-player flight: the client's blast event makes
// its 64 delayed explosion sprites, and they show in the fly-by view.
#include <gtest/gtest.h>


#include <filesystem>
#include <string>

#include "base/bmp.h"
#include "run_util.h"

namespace {

// The explosion sprites' fire colours.
bool Fire(RunRgb c) { return c.r >= 200 && c.g >= 100 && c.g < 200 && c.b < 100; }

TEST(KrxBlastRun, BombBlastShowsItsSprites) {
    std::string dump;
    std::string dir = run_FreshDataDir("blast", &dump);
    ASSERT_FALSE(dir.empty());
    // Afterburner and the stick back, a bomb just off the ground, then the
    // fly-by camera that looks back along the runway.
    const std::string script = "100 key BACK\n580 keydown DOWN\n680 keyup DOWN\n730 key 5\n740 key SPACE\n742 key F4\n";
    std::string log;
    RunResult r = run_SingleFlight(dir, script, 880, &log,
                                   {"KRX_FRAMEDUMP=" + dump, "KRX_FRAMEDUMP_EVERY=10"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const long blast = run_LogTick(log, " fx blast ");
    ASSERT_GT(blast, 740) << log;
    EXPECT_NE(log.find(" sprites=64\n", log.find(" fx blast ")), std::string::npos) << log;

    _EIMAGE2* before = run_LoadFrame(dump, 820);
    _EIMAGE2* after = run_LoadFrame(dump, 860);
    ASSERT_NE(before, nullptr);
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(run_Count(before, 0, 0, 640, 480, Fire), 0);
    EXPECT_GT(run_Count(after, 0, 0, 640, 480, Fire), 20);
    img_Free(before);
    img_Free(after);
    if (!::testing::Test::HasFailure()) std::filesystem::remove_all(dir);
}

}  // namespace
