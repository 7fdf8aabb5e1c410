// Two copies of the program meet through the front end: one hosts a
// deathmatch from the host screen over TCP/IP, the other types the
// address on the multiplayer screen, searches, finds the session on its
// first session button and joins it.
#include <gtest/gtest.h>

#include <string>

#include "run_util.h"

namespace {

// A left click at (x, y): down, and up four ticks later.
std::string Click(int tick, int x, int y) {
    return std::to_string(tick) + " lbutton down " + std::to_string(x) + " " + std::to_string(y) + "\n" +
           std::to_string(tick + 4) + " lbutton up " + std::to_string(x) + " " + std::to_string(y) + "\n";
}

// Typed text: key down, its character and key up for each letter.
std::string Type(int tick, const std::string& text) {
    std::string out;
    for (char c : text) {
        std::string vk = c == '.' ? "0xBE" : std::string(1, c);
        std::string t = std::to_string(tick);
        out += t + " keydown " + vk + "\n" + t + " char " + std::to_string((int)(unsigned char)c) + "\n" + t +
               " keyup " + vk + "\n";
        tick += 2;
    }
    return out;
}

// The main screen's Multiplayer button; on the multiplayer screen the
// connection type's right arrow, the address button, Search, Join and Host.
constexpr int kMultiX = 320, kMultiY = 222;
constexpr int kTypeRightX = 612, kTypeRightY = 78;
constexpr int kAddressX = 530, kAddressY = 230;
constexpr int kSearchX = 120, kSearchY = 330;
constexpr int kJoinX = 330, kJoinY = 330;
constexpr int kHostX = 530, kHostY = 370;

TEST(KrxMultiRun, HostScreenAndMultiplayerScreenMeetOnLoopback) {
    // Both start on the online service (the settings' default): two steps
    // right give TCP/IP. The host's Return is the screen's accept key.
    // Clicks are far apart: two programs paced by the wall clock may draw
    // fewer frames than ticks pass.
    std::string hostScript = Click(150, kMultiX, kMultiY) + Click(250, kTypeRightX, kTypeRightY) +
                             Click(300, kTypeRightX, kTypeRightY) + Click(350, kHostX, kHostY) + "450 key RETURN\n";
    // The first enumeration goes out 80 frames into the search; its answer
    // is read with the next one.
    std::string joinScript = Click(150, kMultiX, kMultiY) + Click(250, kTypeRightX, kTypeRightY) +
                             Click(300, kTypeRightX, kTypeRightY) + Click(350, kAddressX, kAddressY) +
                             Type(400, "127.0.0.1") + Click(460, kSearchX, kSearchY) + Click(800, kJoinX, kJoinY);
    RunPeer hostPeer{"multi_host", hostScript, 1300, {}};
    RunPeer joinPeer{"multi_join", joinScript, 1200, {}};
    ASSERT_TRUE(run_HostAndJoin(hostPeer, joinPeer));
    const RunResult &host = hostPeer.result, &joiner = joinPeer.result;
    EXPECT_EQ(host.exitCode, 0) << host.err;
    const std::string &hostLog = hostPeer.log, &joinLog = joinPeer.log;
    // The host plays through the local bridge; its server took the joiner
    // as its second player.
    EXPECT_NE(hostLog.find("client start mode=bridge"), std::string::npos) << hostLog;
    EXPECT_NE(hostLog.find(" slot join 1 net=2 players=2"), std::string::npos) << hostLog;
    // The joiner passed the loading screen into the flight as a client only,
    // loaded the level the host named in its start-up record and flew.
    size_t remote = joinLog.find("client start mode=remote");
    ASSERT_NE(remote, std::string::npos) << joiner.err;
    EXPECT_NE(joinLog.find(" client startup number=", remote), std::string::npos) << joiner.err << joinLog;
    EXPECT_EQ(joiner.err.find("depth_Init"), std::string::npos) << joiner.err;
    EXPECT_EQ(joiner.exitCode, 0) << joiner.err;
}

}  // namespace
