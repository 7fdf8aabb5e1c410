#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "base/filetable.h"
#include "fixtures/heaps.h"
#include "mkdata.h"
#include "net/announce.h"
#include "net/rules.h"
#include "net/server.h"
#include "display/hw3d.h"
#include "display/vid.h"
#include "shell/startup.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "net/console.h"
#include "net/server_calls.h"
#include "platform/sockets.h"
#include "shell/settings.h"

namespace {

TEST(AnnounceCheckWord, ShortTextKeepsItsBytesAndCarriesTheCrc) {
    EXPECT_EQ(net_Crc32Mpeg2((const uint8_t*)"123456789", 9), 0x0376E6E7u);  // published check value
    uint8_t out[16];
    ASSERT_EQ(net_DatagramBuild(out, sizeof out, "abc", 3), 7);
    uint32_t crc = net_Crc32Mpeg2((const uint8_t*)"abc", 3);
    EXPECT_EQ(out[0] | out[1] << 8 | out[2] << 16 | (uint32_t)out[3] << 24, crc);
    EXPECT_EQ(memcmp(out + 4, "abc", 3), 0);
}

TEST(AnnounceCheckWord, LongTextSwapsBitZeroOfItsFirst32Bytes) {
    // Alternate even and odd bytes so that every bit 0 is known.
    char text[40];
    for (int i = 0; i < 40; ++i) text[i] = (char)('a' + (i % 26));
    for (size_t n : {size_t(32), size_t(40)}) {
        uint8_t out[64];
        ASSERT_EQ(net_DatagramBuild(out, sizeof out, text, n), (int32_t)(n + 4));
        uint32_t crc = net_Crc32Mpeg2((const uint8_t*)text, n);
        uint32_t word = out[0] | out[1] << 8 | out[2] << 16 | (uint32_t)out[3] << 24;
        for (int i = 0; i < 32; ++i) {
            EXPECT_EQ((word >> i) & 1u, (uint32_t)(text[i] & 1)) << i;
            EXPECT_EQ(out[4 + i] & 1u, (crc >> i) & 1u) << i;
            EXPECT_EQ(out[4 + i] & 0xFE, text[i] & 0xFE) << i;
        }
        EXPECT_EQ(memcmp(out + 36, text + 32, n - 32), 0);
        char back[64];
        size_t got = 0;
        ASSERT_EQ(net_DatagramDecode(out, n + 4, back, sizeof back, &got), 0);
        EXPECT_EQ(got, n);
        EXPECT_EQ(memcmp(back, text, n), 0);
        out[10] ^= 0x40;  // a damaged byte fails the check
        EXPECT_EQ(net_DatagramDecode(out, n + 4, back, sizeof back, &got), -1);
    }
}

TEST(AnnounceCheckWord, BuildAndDecodeRefuseWhatDoesNotFit) {
    uint8_t out[8];
    EXPECT_EQ(net_DatagramBuild(out, sizeof out, "abcde", 5), -1);
    EXPECT_EQ(net_DatagramBuild(out, 3, "", 0), -1);
    char text[4];
    EXPECT_EQ(net_DatagramDecode(out, 3, text, sizeof text, nullptr), -1);
    EXPECT_EQ(net_DatagramDecode((const uint8_t*)"\0\0\0\0abcdef", 10, text, sizeof text, nullptr), -1);
}

TEST(AnnounceText, ItemsAreEscapedAndAnEmptyCountryReadsDashes) {
    AnnounceFields f = {"brenumo", 2300, 7, "Blue Sky", "", "Capture the flag", "Region=1", "Dawn",
                        3, 16, 1, 2, 0};
    char out[512];
    int32_t n = Server_AnnounceTextBuild(out, sizeof out, &f);
    ASSERT_GT(n, 0);
    EXPECT_STREQ(out,
                 "brenumo Port = 2300 AppId = 7 ServerName = Blue+Sky Country = --- GameType = "
                 "Capture+the+flag Region = Region+1 TimeOfDay = Dawn Players = 3 MaxPlayers = 16 "
                 "KRX = 1 TVLAR = 2 WXN = 0");
    EXPECT_EQ(n, (int32_t)strlen(out));
    f.country = "NZ";
    ASSERT_GT(Server_AnnounceTextBuild(out, sizeof out, &f), 0);
    EXPECT_NE(strstr(out, "Country = NZ "), nullptr);
    EXPECT_EQ(Server_AnnounceTextBuild(out, 20, &f), -1);
    ASSERT_EQ(Server_AnnounceDeleteText(out, sizeof out, "qolvatz", 2300), 26);
    EXPECT_STREQ(out, "qolvatz Port = 2300 Delete");
}

TEST(AnnounceDefaults, PortsIdentifiersAndTheMasterServerFromTheEnvironment) {
    unsetenv("KRX_MASTER_SERVER");
    app_ServerDefaultsSet();
    EXPECT_EQ(Announce.enable, 1);
    EXPECT_EQ(Announce.masterPort, 3875);
    EXPECT_STREQ(Announce.idPassword, "qolvatz");
    EXPECT_STREQ(Announce.idOpen, "brenumo");
    EXPECT_STREQ(Announce.masterAddress, "");
    setenv("KRX_MASTER_SERVER", "127.0.0.1:4000", 1);
    app_ServerDefaultsSet();
    EXPECT_STREQ(Announce.masterAddress, "127.0.0.1");
    EXPECT_EQ(Announce.masterPort, 4000);
    unsetenv("KRX_MASTER_SERVER");
    EXPECT_EQ(net_ResolveHost("127.0.0.1"), 0x7F000001u);
    EXPECT_EQ(net_ResolveHost(""), 0u);
}

TEST(AnnounceSockets, TakenPortsMoveUpBy4096AndGiveUpAfterSixteen) {
    // Hold 1026 and 5122 so that the open lands on 9218.
    int32_t held[2] = {sock_OpenUdp(1026), sock_OpenUdp(5122)};
    if (held[0] < 0 || held[1] < 0) GTEST_SKIP() << "ports in use on this machine";
    uint16_t port = 1026;
    ASSERT_EQ(net_SocketsOpen(2, &port, 3875), 0);
    EXPECT_EQ(port, 9218);
    EXPECT_EQ(net_DatagramSend("x", 0, 0x7F000001u), 0);
    EXPECT_EQ(net_DatagramSend("x", 0x10001, 0x7F000001u), WSAEMSGSIZE);
    EXPECT_EQ(net_SocketsClose(), 0);
    port = 1026;
    EXPECT_EQ(net_SocketsOpen(1, &port, 3875), WSAEADDRINUSE);
    for (int32_t s : held) sock_Close(s);
}

// Waits for one datagram on the socket and decodes it; "" when none came.
std::string Receive(int32_t sock) {
    uint8_t buf[2048];
    SockAddr from;
    int32_t got = -1;
    for (int i = 0; i < 200 && got < 0; ++i) {
        got = sock_RecvFrom(sock, buf, sizeof buf, &from);
        if (got < 0) usleep(5000);
    }
    char text[2048];
    size_t n = 0;
    if (got < 4 || net_DatagramDecode(buf, (size_t)got, text, sizeof text, &n) != 0) return "";
    return std::string(text, n);
}

// A local socket standing in for the master server, which the server
// defaults then name; -1 when it could not be opened.
int32_t OpenMasterServer() {
    const int32_t master = sock_OpenUdp(0);
    if (master < 0) return -1;
    const std::string env = "127.0.0.1:" + std::to_string(sock_LocalPort(master));
    setenv("KRX_MASTER_SERVER", env.c_str(), 1);
    app_ServerDefaultsSet();
    unsetenv("KRX_MASTER_SERVER");
    return master;
}

TEST(AnnounceSockets, SendReadsTheGameDataTextsAndCountsAircraft) {
    ASSERT_EQ(test_HeapsFresh(0x400000, 0x1000, 0x1000), 0);
    MkTableGroup group{"QJGAME", {}};
    for (uint32_t i = 0; i <= 840; i++) group.items.push_back({"ITEM" + std::to_string(i), "", 0, 0, 0});
    group.items[833].text = "Capture the flag";
    group.items[452].text = "Desert";
    group.items[468].text = "Dusk";
    const std::vector<uint8_t> image = mkdata_TableBuild({group});
    FileTable* table = file_TableRelocate(image.data(), (uint32_t)image.size());
    ASSERT_NE(table, nullptr);

    const int32_t master = OpenMasterServer();
    ASSERT_GE(master, 0);
    Announce.gamePort = 2300;
    Announce.appId = 5;
    app_Settings.CURRENT_PROVIDER = -1;
    snprintf(app_Settings.HOST_GAME_NAME, sizeof app_Settings.HOST_GAME_NAME, "%s", "Blue Sky");
    snprintf(app_Settings.HOST_GAME_PASSWORD, sizeof app_Settings.HOST_GAME_PASSWORD, "%s", "pw");
    app_Settings.HOST_COUNTRY_NAME[0] = 0;
    app_Settings.HOST_GAME_TYPE = 1;
    level_Region = 2;
    level_TimeOfDay = 1;
    std::vector<PlayerSlot> slots(SERVER_PLAYERS);
    const char* planes[4] = {"krx", "TVLAR", "Hornet", "KRX"};
    for (int i = 0; i < 4; ++i) {
        slots[i * 2].inUse = 1;
        snprintf(slots[i * 2].block.name, sizeof slots[i * 2].block.name, "%s", planes[i]);
    }
    Server.player = slots.data();
    Server.playerCount = 4;
    rules_Settings.playerSlots = 8;

    level_GameData = nullptr;  // no game data file: nothing is sent
    Server_AnnounceOpen();
    ASSERT_EQ(Announce.open, 1);
    Server_AnnounceSend();
    level_GameData = table;
    Server_AnnounceRefresh();
    EXPECT_EQ(Receive(master),
              "qolvatz Port = 2300 AppId = 5 ServerName = Blue+Sky Country = --- GameType = "
              "Capture+the+flag Region = Desert TimeOfDay = Dusk Players = 4 MaxPlayers = 8 KRX = 2 "
              "TVLAR = 1 WXN = 0");
    EXPECT_EQ(Server_PlaneCounts[3], 1);
    EXPECT_EQ(Server_PlaneCounts[4], 4);
    Server_AnnounceClose();
    EXPECT_EQ(Receive(master), "");
    level_GameData = nullptr;
    Server.player = nullptr;
    Server.playerCount = 0;
    app_Settings.HOST_GAME_PASSWORD[0] = 0;
    sock_Close(master);
}

TEST(AnnounceSockets, OpenSendsTheDeleteToTheMasterServerOnlyForInternetGames) {
    const int32_t master = OpenMasterServer();
    ASSERT_GE(master, 0);
    Announce.otherCopies = 0;
    Announce.gamePort = 2300;
    app_Settings.HOST_GAME_PASSWORD[0] = 0;

    app_Settings.CURRENT_PROVIDER = 0;  // a DirectPlay provider: nothing happens
    Server_AnnounceOpen();
    EXPECT_EQ(Announce.open, 0);

    app_Settings.CURRENT_PROVIDER = -1;
    Server_AnnounceOpen();
    ASSERT_EQ(Announce.open, 1);
    EXPECT_GE(Announce.localPort, 1025);
    Server_AnnounceDelete();
    uint8_t buf[256];
    SockAddr from;
    int32_t got = -1;
    for (int i = 0; i < 200 && got < 0; ++i) {
        got = sock_RecvFrom(master, buf, sizeof buf, &from);
        if (got < 0) usleep(5000);
    }
    ASSERT_GT(got, 4);
    char text[256];
    size_t n = 0;
    ASSERT_EQ(net_DatagramDecode(buf, (size_t)got, text, sizeof text - 1, &n), 0);
    text[n] = 0;
    EXPECT_STREQ(text, "brenumo Port = 2300 Delete");
    Server_AnnounceClose();
    EXPECT_EQ(Announce.open, 0);
    sock_Close(master);
}

TEST(ServerChatLog, AFullLogDropsItsOldestAndSequencesKeepGrowing) {
    ASSERT_NE(Server_ChatLogCreateArray(4), nullptr);
    const char* lines[5] = {"one", "two", "three", "four", "five"};
    for (const char* l : lines) EXPECT_EQ(Server_ChatLogAdd(l), 0);
    std::string seen;
    uint32_t prev = 0;
    for (ServerChatEntry* e = Server_Chat.used.head; e; e = e->next) {
        seen += std::string(e->text) + "/" + std::to_string(e->sequence) + " ";
        EXPECT_EQ(e->inUse, 1);
        EXPECT_GE(e->sequence, prev);
        prev = e->sequence;
    }
    EXPECT_EQ(seen, "two/1 three/2 four/3 five/4 ");
    EXPECT_EQ(Server_Chat.used.count, 4);
    EXPECT_EQ(Server_Chat.freeList.count, 0);
    std::string longLine(300, 'x');
    Server_ChatLogAdd(longLine.c_str());
    EXPECT_EQ(strlen(Server_Chat.used.tail->text), 127u);
    Server_ChatLogFree();
    EXPECT_EQ(Server_Chat.entries, nullptr);
    EXPECT_EQ(Server_ChatLogAdd("no log"), 0);
    EXPECT_EQ(Server_ChatLogCreateArray(0), nullptr);
}

int g_exactRan, g_findRan;
std::string g_findLine;
void ExactCmd(void) { g_exactRan++; }
void FindCmd(const char* line) {
    g_findRan++;
    g_findLine = line;
}

TEST(ServerConsole, ExactTextsIgnoreCaseAndFoundTextsGetTheLine) {
    static const ServerConsoleExact exact[] = {{"kick all", ExactCmd}, {nullptr, nullptr}};
    static const ServerConsoleFind find[] = {{"Msg", FindCmd}, {nullptr, nullptr}};
    EXPECT_EQ(Server_ConsoleCommand("KICK ALL"), 0);  // empty tables
    Server_ConsoleExactTable = exact;
    Server_ConsoleFindTable = find;
    EXPECT_EQ(Server_ConsoleCommand("KICK ALL"), 1);
    EXPECT_EQ(g_exactRan, 1);
    EXPECT_EQ(Server_ConsoleCommand("say Msg hello"), 1);
    EXPECT_EQ(g_findLine, "say Msg hello");
    EXPECT_EQ(Server_ConsoleCommand("say msg hello"), 0);  // the search minds case
    EXPECT_EQ(g_findRan, 1);
    Server_ConsoleExactTable = nullptr;
    Server_ConsoleFindTable = nullptr;
}

TEST(ServerConsole, ClocksAndDates) {
    struct {
        uint32_t ticks;
        const char* text;
    } clocks[] = {{144000, "01:00:00"}, {2400, "00:01:00"}, {40, "00:00:01"}, {0, "00:00:00"}};
    for (auto& c : clocks) {
        char out[16];
        Server_FormatClock(out, sizeof out, c.ticks);
        EXPECT_STREQ(out, c.text) << c.ticks;
    }
    struct {
        SysDateTime t;
        const char* text;
    } dates[] = {
        {{3, 7, 1999, 0, 5, 9, 0}, "Sun Mar 07, 1999 12:05:09am"},
        {{3, 7, 1999, 13, 0, 0, 9}, "Mar 07, 1999 01:00:00pm"},
        {{13, 1, 2000, 12, 0, 0, 6}, "Sat Dec 01, 2000 12:00:00pm"},
        {{0, 1, 2000, 11, 59, 0, -1}, "Jan 01, 2000 11:59:00am"},
    };
    for (auto& d : dates) {
        char out[64];
        sys_DateTimeFormat(out, sizeof out, &d.t);
        EXPECT_STREQ(out, d.text);
    }
    SysDateTime now;
    EXPECT_EQ(sys_LocalTimeGet(&now), 0);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_GE(now.year, 2000);
    EXPECT_EQ(sys_LocalTimeGet(nullptr), 0);
}

}  // namespace

namespace {

TEST(ServerConsole, WindowTitleEveryThirtySecondFrame) {
    snprintf(app_Settings.HOST_GAME_NAME, sizeof app_Settings.HOST_GAME_NAME, "%s", "Blue Sky");
    Server.playerCount = 3;
    Server.peakPlayers = 7;
    level_GameMode.sharedProcess = 0;
    hw3d_Active = 0;
    char title[160];
    struct {
        uint32_t frame;
        int32_t minimised, surface, result;
        const char* text;
    } cases[] = {
        {64, 1, 0, 1, "3/7 Blue Sky"},
        {65, 1, 1, 0, nullptr},   // not every 32nd frame
        {64, 0, 0, 0, nullptr},   // no surface yet
        {64, 0, 1, 1, app_Title},
    };
    for (auto& c : cases) {
        Server.frame = c.frame;
        vid_State.modeSetDone = c.surface;
        EXPECT_EQ(Server_WindowTitleText(title, sizeof title, c.minimised), c.result) << c.frame;
        if (c.text) {
            EXPECT_STREQ(title, c.text);
        }
    }
    Server.frame = 64;
    level_GameMode.sharedProcess = 1;
    EXPECT_EQ(Server_WindowTitleText(title, sizeof title, 1), 0);
    level_GameMode.sharedProcess = 0;
    hw3d_Active = 1;
    EXPECT_EQ(Server_WindowTitleText(title, sizeof title, 1), 0);
    hw3d_Active = 0;
    Server = {};
    vid_State.modeSetDone = 0;
}

}  // namespace

namespace {

// The console's input line: printable characters up to 511, backspace takes
// the last one back, anything else is ignored.
TEST(ServerConsoleLine, EditsWithinItsBounds) {
    Server_Line[0] = 0;
    for (int32_t c : {(int32_t)'a', (int32_t)'B', (int32_t)' ', (int32_t)'~', 0x7F, 0x1F, (int32_t)'\t', 0xE9})
        Server_ConsoleEditLine(c);
    EXPECT_STREQ(Server_Line, "aB ~");
    Server_ConsoleEditLine('\b');
    EXPECT_STREQ(Server_Line, "aB ");
    for (int i = 0; i < 600; i++) Server_ConsoleEditLine('x');
    EXPECT_EQ(strlen(Server_Line), 511u);
    for (int i = 0; i < 520; i++) Server_ConsoleEditLine('\b');
    EXPECT_STREQ(Server_Line, "");
}

}  // namespace
