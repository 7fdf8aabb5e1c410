// The real program's console, cheats and time compression: words typed on
// the in-flight input line of a single-player flight.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/bmp.h"
#include "run_util.h"

namespace {

std::string Enter(int tick) {
    const std::string t = std::to_string(tick);
    return t + " keydown RETURN\n" + t + " char 13\n" + t + " keyup RETURN\n";
}
// A line to all (T) and a command-code line (Ctrl+Return).
std::string Say(int tick, const std::string& text) {
    return std::to_string(tick) + " key T\n" + run_TypeLine(tick + 2, text) + Enter(tick + 4);
}
std::string Code(int tick, const std::string& word) {
    const std::string t = std::to_string(tick);
    // The colon is typed with Shift held on its key.
    const std::string c = std::to_string(tick + 1);
    return t + " keydown CONTROL\n" + t + " key RETURN\n" + t + " keyup CONTROL\n" + c + " keydown SHIFT\n" + c +
           " char 58\n" + c + " keyup SHIFT\n" + run_TypeLine(tick + 2, word) + Enter(tick + 4);
}

// The mean brightness of a block of a frame dump.
double Brightness(const _EIMAGE2* img, int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    double sum = 0;
    for (int32_t y = y0; y < y1; y++)
        for (int32_t x = x0; x < x1; x++) {
            const uint32_t c = run_PixelAt(img, x, y);
            sum += ((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF);
        }
    return sum / ((x1 - x0) * (y1 - y0) * 3.0);
}

// The clock count of the time-compression line of that factor, or -1.
long Clock(const std::string& log, const std::string& factor) {
    const std::string key = "timecomp factor=" + factor + " clock=";
    const size_t at = log.find(key);
    return at == std::string::npos ? -1 : std::stol(log.substr(at + key.size()));
}

// "blur" answers with its message on the debug text over a darkened band and
// goes out as no chat line; "fast" switches fast mode; the three code words
// unlock the cheats while the marker file is there and a cheat then acts;
// F12 compresses time twelvefold in fast mode, and F12 again ends it.
TEST(KrxConsoleRun, WordsOnTheInputLineActAndTimeCompresses) {
    std::string dump;
    std::string dir = run_FreshDataDir("console", &dump);
    ASSERT_FALSE(dir.empty());
    { std::ofstream(dir + "/KRXDEV.KEY") << "on\n"; }
    const std::string script = Say(200, "blur") + Say(240, "fast") + Code(280, "harbour") + Code(290, "meadow") +
                               Code(300, "compass") + Code(310, "endless") + "400 key F12\n480 key F12\n";
    std::string log;
    RunResult r = run_SingleFlight(dir, script, 560, &log,
                                   {"KRX_NETTRACE=1", "KRX_FRAMEDUMP=" + dump, "KRX_FRAMEDUMP_EVERY=20"});
    ASSERT_EQ(r.exitCode, 0) << r.err;

    const long blur = run_LogTick(log, "debug text ~5BLUR ON");
    EXPECT_GE(blur, 204) << log;
    EXPECT_LT(blur, 210) << log;
    EXPECT_EQ(log.find("server chat"), std::string::npos) << log;
    EXPECT_EQ(log.find("MSG_CHAT"), std::string::npos) << log;
    EXPECT_GE(run_LogTick(log, "debug text ~5FAST MODE ON"), 244) << log;
    EXPECT_GE(run_LogTick(log, "debug text ~5CHEATS ENABLED."), 304) << log;
    EXPECT_GE(run_LogTick(log, "debug text ~5UNLIMITED AMMO : ENABLED"), 314) << log;

    // The band under the lines is darker while they show than once they
    // have gone (the picture is the same cockpit view either way).
    _EIMAGE2* shown = run_LoadFrame(dump, 220);
    _EIMAGE2* before = run_LoadFrame(dump, 180);
    ASSERT_NE(shown, nullptr);
    ASSERT_NE(before, nullptr);
    const double inBand = Brightness(shown, 0, 425, 640, 475), plain = Brightness(before, 0, 425, 640, 475);
    EXPECT_LT(inBand, plain * 0.8) << inBand << " " << plain;
    img_Free(shown);
    img_Free(before);

    // Twelve game ticks to each timer tick while compressed.
    const long from = Clock(log, "12"), to = Clock(log, "1");
    ASSERT_GT(from, 0) << log;
    EXPECT_GE(to - from, 12 * 78) << log;
    EXPECT_LE(to - from, 12 * 82) << log;
    EXPECT_NE(r.err.find("frame steps"), std::string::npos);
    if (!::testing::Test::HasFailure()) std::filesystem::remove_all(dir);
}

// In a joined network game the words that only act in single player do
// nothing and show nothing, time compression stays off, and the words are
// not sent as chat either.
TEST(KrxConsoleRun, SinglePlayerWordsDoNothingInAJoinedGame) {
    const uint16_t port = (uint16_t)(20000 + (getpid() + 7500) % 10000);
    RunPeer hostPeer{"console_host", "", 380, {"KRX_LAUNCH=dedicated:" + std::to_string(port)}};
    RunPeer joinPeer{"console_join", Say(240, "fast") + Say(260, "blackout") + Say(280, "blur") + "300 key F12\n", 340,
                     {"KRX_LAUNCH=join:127.0.0.1:" + std::to_string(port)}};
    ASSERT_TRUE(run_HostAndJoin(hostPeer, joinPeer));
    const RunResult &host = hostPeer.result, &joiner = joinPeer.result;
    ASSERT_EQ(host.exitCode, 0) << host.err;
    ASSERT_EQ(joiner.exitCode, 0) << joiner.err;
    const std::string &hostLog = hostPeer.log, &joinLog = joinPeer.log;
    ASSERT_GT(run_LogTick(joinLog, "plane create"), 0) << joinLog;
    // The plain word acts; the gated ones and the time compression do not.
    EXPECT_GE(run_LogTick(joinLog, "debug text ~5BLUR ON"), 284) << joinLog;
    EXPECT_EQ(joinLog.find("FAST MODE"), std::string::npos) << joinLog;
    EXPECT_EQ(joinLog.find("BLACKOUTS"), std::string::npos) << joinLog;
    EXPECT_EQ(joinLog.find("timecomp"), std::string::npos) << joinLog;
    std::istringstream lines(hostLog);
    for (std::string line; std::getline(lines, line);) {
        if (line.find(" server chat ") == std::string::npos) continue;
        for (const char* word : {"fast", "blackout", "blur"}) EXPECT_EQ(line.find(word), std::string::npos) << line;
    }
    if (!::testing::Test::HasFailure()) {
        std::filesystem::remove_all(hostPeer.dir);
        std::filesystem::remove_all(joinPeer.dir);
    }
}

}  // namespace

namespace {

// On the 3D card the mode words ask the card: "800" takes the card to
// 800 x 600 and the flight goes on drawing there.
TEST(KrxConsoleRun, ModeWordSizesTheCardDisplay) {
    std::string dump;
    std::string dir = run_FreshDataDir("console_card", &dump);
    ASSERT_FALSE(dir.empty());
    std::string log;
    RunResult r = run_SingleFlight(dir, Say(100, "800"), 180, &log,
                                   {kRunCard, "KRX_FRAMEDUMP=" + dump, "KRX_FRAMEDUMP_EVERY=40"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(log.find("display width=640 height=480 bits=16 card=1"), std::string::npos) << log;
    _EIMAGE2* before = run_LoadFrame(dump, 80);
    _EIMAGE2* after = run_LoadFrame(dump, 160);
    ASSERT_NE(before, nullptr);
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(before->width, 640);
    EXPECT_EQ(after->width, 800);
    EXPECT_EQ(after->height, 600);
    // Still the sky over the ground, not a blank frame.
    EXPECT_GT(run_Count(after, 0, 100, 800, 200, run_Blue), 800 * 100 / 2);
    img_Free(before);
    img_Free(after);
    if (!::testing::Test::HasFailure()) std::filesystem::remove_all(dir);
}

}  // namespace
