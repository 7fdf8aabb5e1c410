// Two copies of the program on loopback, paced by the wall clock: a host
// (dedicated, or one that plays too) and a joiner that finds its session
// and joins it through the quillax driver.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <random>
#include <vector>

#include <string>
#include <thread>

#include "run_util.h"

namespace {

// The number after "name=" on the log's "net close" line, or -1.
long Field(const std::string& log, const std::string& name) {
    size_t line = log.find(" net close ");
    if (line == std::string::npos) return -1;
    size_t at = log.find(" " + name + "=", line);
    if (at == std::string::npos) return -1;
    return strtol(log.c_str() + at + name.size() + 2, nullptr, 10);
}

TEST(KrxNetworkRun, JoinerFindsAndJoinsAHost) {
    for (const char* mode : {"dedicated", "host"}) {
        std::string port = std::to_string(30000 + getpid() % 20000 + (mode[0] == 'h'));
        RunPeer hostPeer{std::string("net_host_") + mode, "", 480, {"KRX_LAUNCH=" + std::string(mode) + ":" + port}};
        RunPeer joinPeer{std::string("net_join_") + mode, "", 240, {"KRX_LAUNCH=join:127.0.0.1:" + port}};
        ASSERT_TRUE(run_HostAndJoin(hostPeer, joinPeer));
        const RunResult &host = hostPeer.result, &joiner = joinPeer.result;
        ASSERT_EQ(host.exitCode, 0) << host.err;
        ASSERT_EQ(joiner.exitCode, 0) << joiner.err;
        EXPECT_NE(host.err.find("krx: hosting on port " + port), std::string::npos) << mode << host.err;
        EXPECT_NE(joiner.err.find("krx: joined \"127.0.0.1:" + port + "\" as player 2"), std::string::npos)
            << mode << joiner.err;
        const std::string &hostLog = hostPeer.log, &joinLog = joinPeer.log;
        EXPECT_NE(joinLog.find("client start mode=remote"), std::string::npos) << joinLog;
        // The host saw the joiner's player arrive and, when the joiner's run
        // ended, leave; no game packet over 16384 bytes went either way.
        EXPECT_EQ(Field(hostLog, "joins"), 1) << hostLog;
        // The joiner's slot went active after its start-up record, and game
        // packets went both ways.
        EXPECT_NE(hostLog.find(" slot active "), std::string::npos) << hostLog;
        EXPECT_NE(hostLog.find(" slot leave "), std::string::npos) << hostLog;
        EXPECT_NE(joinLog.find(" client startup number=1 "), std::string::npos) << joinLog;
        EXPECT_GT(Field(hostLog, "received"), 0) << hostLog;
        EXPECT_GT(Field(joinLog, "received"), 0) << joinLog;
        EXPECT_EQ(Field(hostLog, "players"), 0) << hostLog;
        EXPECT_EQ(Field(hostLog, "system"), 2) << hostLog;
        for (const std::string* log : {&hostLog, &joinLog}) {
            EXPECT_GE(Field(*log, "largest-in"), 0) << *log;
            EXPECT_LE(Field(*log, "largest-in"), 16384) << *log;
            EXPECT_LE(Field(*log, "largest-out"), 16384) << *log;
        }
    }
}

// A hostile peer on loopback: random, truncated, oversized, replayed and
// forged datagrams at the server's port until told to stop (and never more
// than a bounded count).
void Flood(uint16_t port, const std::atomic<bool>& stop) {
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) return;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::mt19937 rng(1234);
    std::vector<std::vector<uint8_t>> sent;
    for (int n = 0; n < 20000 && !stop; n++) {
        std::vector<uint8_t> d;
        switch (n % 6) {
        case 0:  // noise
            d.resize(1 + rng() % 600);
            for (uint8_t& b : d) b = (uint8_t)rng();
            break;
        case 1:  // a header cut short
            d = {'Q', 'X', 1};
            d.resize(1 + rng() % 7, 0);
            break;
        case 2:  // larger than any message
            d.assign(60000, 0xAB);
            d[0] = 'Q', d[1] = 'X', d[2] = 1, d[3] = 8, d[4] = 1;
            break;
        case 3:  // well formed game data from a stranger, with a high sequence
            d = {'Q', 'X', 1, 8, 0xFF, 0xFF, 0xFF, 0x7F};
            for (int i = 0; i < 64; i++) d.push_back((uint8_t)rng());
            break;
        case 4:  // handshake kinds with garbage
            d = {'Q', 'X', 1, (uint8_t)(1 + rng() % 11), 0, 0, 0, 0};
            for (int i = 0; i < 300; i++) d.push_back((uint8_t)rng());
            break;
        default:  // a replay of something sent before
            d = sent.empty() ? std::vector<uint8_t>{0} : sent[rng() % sent.size()];
            break;
        }
        sendto(fd, d.data(), d.size(), 0, (const sockaddr*)&to, sizeof to);
        if (sent.size() < 64) sent.push_back(d);
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    close(fd);
}

// The dedicated server's console keys act on a joiner's game while a
// hostile peer floods the server: a typed line to all players reaches the
// joiner, F2 announces the end of the game, Escape ends the server's state
// in the frame that saw it; the joiner stays in the game throughout.
TEST(KrxNetworkRun, DedicatedConsoleKeysReachAJoinerThroughAFlood) {
    uint16_t port = (uint16_t)(20000 + getpid() % 10000);
    RunPeer hostPeer{"console_host",
                     "200 key F4\n202 char h\n203 char e\n204 char l\n205 char l\n206 char o\n208 key RETURN\n"
                     "300 key F2\n340 key ESCAPE\n",
                     440,
                     {"KRX_LAUNCH=dedicated:" + std::to_string(port)}};
    RunPeer joinPeer{"console_join", "", 420, {"KRX_LAUNCH=join:127.0.0.1:" + std::to_string(port)}};
    std::atomic<bool> stop{false};
    std::thread flood([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
        Flood(port, stop);
    });
    const bool ran = run_HostAndJoin(hostPeer, joinPeer);
    stop = true;
    flood.join();
    ASSERT_TRUE(ran);
    const RunResult &host = hostPeer.result, &joiner = joinPeer.result;
    ASSERT_EQ(host.exitCode, 0) << host.err;
    ASSERT_EQ(joiner.exitCode, 0) << joiner.err;
    const std::string &hostLog = hostPeer.log, &joinLog = joinPeer.log;
    long active = run_LogTick(hostLog, " slot active 0");
    ASSERT_GT(active, 0) << hostLog;
    EXPECT_LT(active, 200) << hostLog;
    // The joiner was never dropped while the server ran.
    EXPECT_EQ(hostLog.find(" slot leave "), std::string::npos) << hostLog;
    EXPECT_GT(run_LogTick(joinLog, "client text hello"), 0) << joinLog;
    long over = run_LogTick(joinLog, "client text The server has ended the game.");
    EXPECT_GT(over, 0) << joinLog;
    EXPECT_EQ(run_LogTick(joinLog, "client text Thank you for playing."), over) << joinLog;
    EXPECT_EQ(run_LogTick(hostLog, "server escape"), 340) << hostLog;
    EXPECT_GE(run_LogTick(hostLog, "server stop"), 340) << hostLog;
}

// A joiner opens the chat line and sends two lines to all: the clean one
// reaches the dedicated server's chat log and comes back to the joiner as a
// text; the one holding a listed word comes back as the refusal instead.
// The lines are two seconds apart, beyond the server's flood control.
TEST(KrxNetworkRun, ChatLinesGoThroughTheServersCensor) {
    uint16_t port = (uint16_t)(20000 + (getpid() + 5000) % 10000);
    // Both run on the wall clock: the time after the last line leaves room
    // for its answer on a busy machine.
    RunPeer hostPeer{"chat_host", "", 560, {"KRX_LAUNCH=dedicated:" + std::to_string(port)}};
    RunPeer joinPeer{"chat_join",
                     "240 key T\n" + run_TypeLine(242, "check six") + "244 keydown RETURN\n244 char 13\n244 keyup RETURN\n" +
                         "320 key T\n" + run_TypeLine(322, "what the FRAAACK") + "324 keydown RETURN\n324 char 13\n" +
                         "324 keyup RETURN\n",
                     520,
                     {"KRX_LAUNCH=join:127.0.0.1:" + std::to_string(port), "KRX_NETTRACE=1"}};
    ASSERT_TRUE(run_HostAndJoin(hostPeer, joinPeer));
    const RunResult &host = hostPeer.result, &joiner = joinPeer.result;
    ASSERT_EQ(host.exitCode, 0) << host.err;
    ASSERT_EQ(joiner.exitCode, 0) << joiner.err;
    const std::string &hostLog = hostPeer.log, &joinLog = joinPeer.log;
    long logged = run_LogTick(hostLog, " server chat ");
    ASSERT_GT(logged, 0) << hostLog;
    EXPECT_NE(hostLog.find("~0- check six"), std::string::npos) << hostLog;
    EXPECT_EQ(hostLog.find("FRAAACK"), std::string::npos) << hostLog;
    long back = run_LogTick(joinLog, "~0- check six");
    EXPECT_GT(back, 244) << joinLog;
    EXPECT_NE(joinLog.find(" client text "), std::string::npos) << joinLog;
    EXPECT_GT(run_LogTick(joinLog, "client text Your message was not sent"), 324) << joinLog;
    EXPECT_EQ(joinLog.find("FRAAACK"), std::string::npos) << joinLog;
    // The joiner traced what it received: its first packet came from the
    // server's join reply on, each named by its first record.
    EXPECT_GT(run_LogTick(joinLog, " nettrace 0 "), 0) << joinLog;
    EXPECT_EQ(hostLog.find(" nettrace "), std::string::npos) << hostLog;
    // The two copies of the data set are kept only to look into a failure.
    if (!::testing::Test::HasFailure()) {
        std::filesystem::remove_all(hostPeer.dir);
        std::filesystem::remove_all(joinPeer.dir);
    }
}

}  // namespace
