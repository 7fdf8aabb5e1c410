// The player's weapons in a single-player flight: the gun, an unguided
// missile, a bomb and a flare, each sent to the server through the bridge
// and made there, and each ending on its own.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "run_util.h"

namespace {

TEST(KrxRun, GunMissileBombAndFlareGoThroughTheBridge) {
    // Afterburner, then the stick back: the gun and the missile (no lock)
    // are fired nose up during the rotation, the bomb and the flare once
    // airborne.
    const std::string log = run_FlightLog("weaponfire",
                                          "100 key BACK\n580 keydown DOWN\n640 keydown Z\n652 keyup Z\n655 key 3\n"
                                          "660 key SPACE\n680 keyup DOWN\n730 key 5\n740 key SPACE\n760 key D\n",
                                          1100);
    ASSERT_FALSE(log.empty());

    // Held for 12 ticks, the gun fires at its release interval: three
    // rounds, each made on the server and gone by the end of its 380 steps
    // (two a frame).
    const long gun = run_LogTick(log, " weapon send bullet type=0\n");
    ASSERT_EQ(gun, 640) << log;
    size_t at = 0;
    int rounds = 0;
    while ((at = log.find(" weapon bullet serial=", at)) != std::string::npos) {
        const size_t line = log.rfind('\n', at) + 1;
        const size_t eol = log.find('\n', at);
        if (log.compare(eol - 6, 6, "server") == 0) {
            const std::string serial = log.substr(at + 22, log.find(' ', at + 22) - at - 22);
            const long made = std::stol(log.substr(line, at - line));
            const long end = run_LogTick(log, " weapon bullet end serial=" + serial + " server\n");
            EXPECT_GT(end, made) << serial << "\n" << log;
            EXPECT_LE(end - made, 380) << serial;
            rounds++;
        }
        at = eol;
    }
    EXPECT_EQ(rounds, 3) << log;

    // The missile without a lock: sent, made unguided, and still flying
    // out along the aircraft's heading at the end of the run (its lifetime
    // is longer; fired along a wrong heading it went into the hills).
    EXPECT_EQ(run_LogTick(log, " weapon send missile type=2 target=0\n"), 660) << log;
    const size_t missile = log.find(" weapon missile serial=");
    ASSERT_NE(missile, std::string::npos) << log;
    const std::string mserial = log.substr(missile + 23, log.find(' ', missile + 23) - missile - 23);
    EXPECT_NE(log.find(" weapon missile serial=" + mserial + " type=2 target=0\n"), std::string::npos);
    EXPECT_EQ(run_LogTick(log, " weapon end serial=" + mserial + " server\n"), -1) << log;

    // The bomb: sent, made and burst on the ground with its area blast.
    EXPECT_EQ(run_LogTick(log, " weapon send bomb type=30 aim=0\n"), 740) << log;
    const size_t bomb = log.find(" weapon bomb serial=");
    ASSERT_NE(bomb, std::string::npos) << log;
    const std::string bserial = log.substr(bomb + 20, log.find(' ', bomb + 20) - bomb - 20);
    EXPECT_GT(run_LogTick(log, " weapon event 0x10 serial=" + bserial + "\n"), 740) << log;

    // The flare: the drop sends its message; the local decoy and the
    // server's silent copy each live 200 frames.
    EXPECT_EQ(run_LogTick(log, " weapon send ecm kind=0\n"), 760) << log;
    for (const char* tail : {"\n", " silent\n"}) {
        size_t d = 0;
        while ((d = log.find(" weapon decoy serial=", d)) != std::string::npos) {
            const size_t eol = log.find('\n', d);
            const std::string line = log.substr(d, eol - d + 1);
            if (line.size() >= strlen(tail) && line.compare(line.size() - strlen(tail), strlen(tail), tail) == 0 &&
                line.find("kind=0") != std::string::npos)
                break;
            d = eol;
        }
        ASSERT_NE(d, std::string::npos) << tail << log;
        const size_t start = log.rfind('\n', d) + 1;
        const long made = std::stol(log.substr(start, d - start));
        const std::string serial = log.substr(d + 21, log.find(' ', d + 21) - d - 21);
        // The server's frames keep to the clock within one tick.
        const long lived = run_LogTick(log, " weapon decoy end serial=" + serial + "\n") - made;
        if (tail[1] == 's') EXPECT_NEAR(lived, 200, 1) << log;
        else EXPECT_EQ(lived, 200) << log;
    }
}

}  // namespace
