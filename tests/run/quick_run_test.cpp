// The real program's quick mission screen: reached from the main screen's
// first button, listing the data set's quick missions; Enter accepts the
// first one (the briefing, not built yet, returns to the main screen).
#include <gtest/gtest.h>

#include <string>

#include "base/bmp.h"
#include "run_util.h"

namespace {

TEST(KrxQuickRun, MainScreenToQuickMissionsAndAccept) {
    std::string dump;
    std::string dir = run_FreshDataDir("quick", &dump);
    ASSERT_FALSE(dir.empty());
    RunResult r = run_Krx(dir,
                          std::string(kRunToBriefing),
                          700, nullptr, {"KRX_FRAMEDUMP=" + dump});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    _EIMAGE2* quick = run_LoadFrame(dump, 200);
    _EIMAGE2* back = run_LoadFrame(dump, 390);
    ASSERT_NE(quick, nullptr);
    ASSERT_NE(back, nullptr);
    // The first row is latched (its button's picture), the main screen has
    // no button there.
    EXPECT_NE(run_PixelAt(quick, 62, 82), run_PixelAt(back, 62, 82));
    EXPECT_EQ(run_PixelAt(back, 62, 82), run_PixelAt(back, 40, 82));
}

}  // namespace
