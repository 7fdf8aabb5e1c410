// A headless dedicated server announcing itself to a master server that is
// a UDP socket of the test on loopback.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "net/announce.h"
#include "platform/sockets.h"
#include "run_util.h"

namespace {

TEST(KrxAnnounceRun, DedicatedServerAnnouncesRefreshesAndDeletes) {
    std::string dir = run_FreshDataDir("announce_dedicated");
    ASSERT_FALSE(dir.empty());
    int32_t master = sock_OpenUdp(0);
    ASSERT_GE(master, 0);
    {
        std::ofstream script(dir + "/keys.txt");
        script << "1100 key ESCAPE\n";
    }
    std::string port = std::to_string(30000 + (getpid() + 7) % 20000);
    RunResult r = run_Program("krx", {}, dir,
                              {"KRX_LAUNCH=dedicated:" + port, "KRX_MAXTICKS=1300", "KRX_SCRIPT=" + dir + "/keys.txt",
                               "KRX_MASTER_SERVER=127.0.0.1:" + std::to_string(sock_LocalPort(master))});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> texts;
    for (;;) {
        uint8_t buf[2048];
        SockAddr from;
        int32_t got = sock_RecvFrom(master, buf, sizeof buf, &from);
        if (got < 0) break;
        char text[2048];
        size_t n = 0;
        ASSERT_EQ(net_DatagramDecode(buf, (size_t)got, text, sizeof text, &n), 0);
        texts.emplace_back(text, n);
    }
    sock_Close(master);
    std::string all;
    for (const std::string& t : texts) all += t + "\n";
    // The start, the refresh at frame 1024 and the delete at the stop.
    ASSERT_EQ(texts.size(), 3u) << all;
    for (size_t i = 0; i + 1 < texts.size(); ++i) {
        const std::string& t = texts[i];
        EXPECT_EQ(t.rfind("brenumo Port = " + port + " AppId = ", 0), 0u) << t;
        EXPECT_NE(t.find(" ServerName = "), std::string::npos) << t;
        EXPECT_NE(t.find(" Players = 0 "), std::string::npos) << t;
        EXPECT_EQ(t.find("GameType =  "), std::string::npos) << t;  // the texts come from the game data
        EXPECT_EQ(t.find("Region =  "), std::string::npos) << t;
        EXPECT_EQ(t.find("TimeOfDay =  "), std::string::npos) << t;
        EXPECT_NE(t.find(" KRX = 0 TVLAR = 0 WXN = 0"), std::string::npos) << t;
    }
    EXPECT_EQ(texts.back(), "brenumo Port = " + port + " Delete");
}

}  // namespace
