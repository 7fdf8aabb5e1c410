// Two copies of the program on loopback, paced by the wall clock: a host
// (dedicated, or one that plays too) and a joiner that finds its session
// and joins it through the quillax driver.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "run_util.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

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
        std::string hostDir = run_FreshDataDir(std::string("net_host_") + mode);
        std::string joinDir = run_FreshDataDir(std::string("net_join_") + mode);
        ASSERT_FALSE(hostDir.empty() || joinDir.empty());
        std::string port = std::to_string(30000 + getpid() % 20000 + (mode[0] == 'h'));
        RunResult host, joiner;
        std::thread hostRun([&] {
            host = run_Program("krx", {}, hostDir,
                               {"KRX_LAUNCH=" + std::string(mode) + ":" + port, "KRX_REALTIME=1", "KRX_MAXTICKS=480",
                                "KRX_SIMLOG=" + hostDir + "/sim.log"});
        });
        joiner = run_Program("krx", {}, joinDir,
                             {"KRX_LAUNCH=join:127.0.0.1:" + port, "KRX_REALTIME=1", "KRX_MAXTICKS=240",
                              "KRX_SIMLOG=" + joinDir + "/sim.log"});
        hostRun.join();
        ASSERT_EQ(host.exitCode, 0) << host.err;
        ASSERT_EQ(joiner.exitCode, 0) << joiner.err;
        EXPECT_NE(host.err.find("krx: hosting on port " + port), std::string::npos) << mode << host.err;
        EXPECT_NE(joiner.err.find("krx: joined \"127.0.0.1:" + port + "\" as player 2"), std::string::npos)
            << mode << joiner.err;
        std::string hostLog = ReadAll(hostDir + "/sim.log");
        std::string joinLog = ReadAll(joinDir + "/sim.log");
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

}  // namespace
