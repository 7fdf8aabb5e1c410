// The real program's cockpit gauges: a missing gauge mask ends the run
// through the fatal error box, and the panel scheduler repaints the
// airspeed and altimeter panels during the take-off.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "fixtures/workdir.h"
#include "run_util.h"

namespace {

TEST(KrxAvionicsRun, AMissingMaskEndsThroughTheFatalBox) {
    const std::string dir = run_FreshDataDir("nomask");
    ASSERT_FALSE(dir.empty());
    ASSERT_EQ(remove((dir + "/CPSSMASK.PCX").c_str()), 0);
    RunResult r = run_Program("krx", {}, dir, {"KRX_LAUNCH=single", "KRX_MAXTICKS=300"});
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find("box: KRX: avionkrx_LoadAvionicAssets: cannot load or allocate \"CPSSMASK.PCX\""),
              std::string::npos)
        << r.err;
}

TEST(KrxAvionicsRun, TakeOffRepaintsTheAirspeedAndAltimeterPanels) {
    const std::string dir = run_FreshDataDir("panels");
    ASSERT_FALSE(dir.empty());
    test_WriteText(dir + "/script.txt", "100 key BACK\n1400 keydown DOWN\n1435 keyup DOWN\n");
    RunResult r = run_Program("krx", {}, dir,
                              {"KRX_LAUNCH=single", "KRX_MAXTICKS=1600", "KRX_SCRIPT=" + dir + "/script.txt",
                               "KRX_SIMLOG=" + dir + "/sim.log"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string log = run_ReadAll(dir + "/sim.log");
    // Both panels at the first full repaint; the airspeed panel again and
    // again while the aircraft gathers speed on the runway.
    EXPECT_GE(run_LogTick(log, "panel repaint 15"), 0) << log.substr(0, 2000);
    std::istringstream lines(log);
    std::string line;
    int32_t rolling = 0;
    long last = -1;
    while (std::getline(lines, line)) {
        long tick = 0;
        char kind[16] = {};
        int view = 0;
        if (sscanf(line.c_str(), "%ld %15s repaint %d", &tick, kind, &view) != 3 || std::string(kind) != "panel") continue;
        if (view == 14 && tick > 150) {
            rolling++;
            EXPECT_GT(tick, last) << "one repaint a tick at most";
            last = tick;
        }
    }
    EXPECT_GE(rolling, 10);
    EXPECT_GE(run_LogTick(log, "player takeoff"), 0);
}

}  // namespace
