// The process service: command lines, program look-up, output files, exit
// codes, and the window titles.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "fixtures/headless.h"
#include "fixtures/workdir.h"
#include "platform/timer.h"
#include "platform/winmsg.h"
#include "platform/process.h"
#include "platform/window.h"

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

int64_t WaitFor(int32_t h) {
    int64_t code = PLAT_STILL_ACTIVE;
    for (int i = 0; i < 5000 && code == PLAT_STILL_ACTIVE; i++) {
        code = plat_ProcessPoll(h);
        if (code == PLAT_STILL_ACTIVE) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return code;
}

TEST(Process, CommandLineSplit) {
    struct Case {
        const char* line;
        int count;
        const char* joined;  // arguments joined by '|'
    } cases[] = {
        {"a b  c", 3, "a|b|c"},
        {"  C:\\DIR\\krxres UPDATED.PFF  SRC /WORK ", 4, "C:\\DIR\\krxres|UPDATED.PFF|SRC|/WORK"},
        {"prog \"two words\" x", 3, "prog|two words|x"},
        {"prog a\\\"b", 2, "prog|a\"b"},
        {"", 0, ""},
    };
    for (const Case& c : cases) {
        char buffer[256];
        char* argv[8];
        int n = plat_CommandLineSplit(c.line, buffer, sizeof buffer, argv, 8);
        ASSERT_EQ(n, c.count) << c.line;
        std::string joined;
        for (int i = 0; i < n; i++) joined += (i ? "|" : "") + std::string(argv[i]);
        EXPECT_EQ(joined, c.joined) << c.line;
    }
    char small[4];
    char* argv[8];
    EXPECT_EQ(plat_CommandLineSplit("abcdef", small, sizeof small, argv, 8), -1);
    EXPECT_EQ(plat_CommandLineSplit("a b c", small, 64, argv, 2), -1);
}

TEST(Process, OutputToFileAndExitCode) {
    TestWorkDir work;
    ASSERT_TRUE(work.Enter("krx_proc"));
    int32_t error = -1;
    int32_t h = plat_ProcessStart("/bin/sh -c \"echo out; exit 3\"", "OUT.TXT", &error);
    ASSERT_GT(h, 0);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(WaitFor(h), 3);
    EXPECT_EQ(plat_ProcessPoll(h), 3);  // stays known until closed
    plat_ProcessClose(h);
    EXPECT_EQ(plat_ProcessPoll(h), -1);
    EXPECT_EQ(ReadText("OUT.TXT"), "out\n");
    // The output file is made anew each time.
    h = plat_ProcessStart("/bin/sh -c true", "out.txt", nullptr);
    ASSERT_GT(h, 0);
    EXPECT_EQ(WaitFor(h), 0);
    plat_ProcessClose(h);
    EXPECT_EQ(ReadText("OUT.TXT"), "");
    work.Leave();
}

TEST(Process, ProgramLookup) {
    TestWorkDir work;
    ASSERT_TRUE(work.Enter("krx_proc"));
    // A program of the current folder, named in another case and with ".exe".
    {
        std::ofstream f("Tool");
        f << "#!/bin/sh\necho tool \"$@\"\n";
    }
    chmod("Tool", 0755);
    int32_t h = plat_ProcessStart("TOOL.EXE one", "O.TXT", nullptr);
    ASSERT_GT(h, 0);
    EXPECT_EQ(WaitFor(h), 0);
    plat_ProcessClose(h);
    EXPECT_EQ(ReadText("O.TXT"), "tool one\n");
    std::string dir = work.dir + "\\TOOL";
    h = plat_ProcessStart(dir.c_str(), "O.TXT", nullptr);
    ASSERT_GT(h, 0);
    EXPECT_EQ(WaitFor(h), 0);
    plat_ProcessClose(h);

    // "update.exe" is our update program beside the running one.
    char path[1024];
    ASSERT_EQ(plat_ProcessResolve("C:\\GAME\\UPDATE.EXE", path, sizeof path), 0);
    EXPECT_EQ(std::string(path), std::string(KRX_BIN_DIR) + "/update");

    int32_t error = 0;
    EXPECT_EQ(plat_ProcessStart("NOSUCH.EXE /X", "O.TXT", &error), -1);
    EXPECT_EQ(error, 2);
    EXPECT_EQ(plat_ProcessStart("sub\\nosuch", "O.TXT", &error), -1);
    EXPECT_EQ(error, 2);
    EXPECT_EQ(plat_ProcessStart("   ", "O.TXT", &error), -1);
    EXPECT_EQ(plat_ProcessStart("/bin/true", "NODIR/O.TXT", &error), -1);
    EXPECT_NE(error, 0);
    work.Leave();
}

intptr_t Proc(PlatHwnd h, uint32_t m, uintptr_t w, intptr_t l) { return plat_DefWindowProc(h, m, w, l); }

int Visit(const char* title, void* ctx) {
    std::string* seen = static_cast<std::string*>(ctx);
    *seen += std::string(title) + "|";
    return strstr(title, "[NK=") ? 1 : 0;
}

TEST(Process, WindowTitles) {
    PlatHwnd a = plat_WindowCreate("A", "first window", 10, 10, Proc, 0);
    PlatHwnd b = plat_WindowCreate("B", "Page [NK=1 CK=2]", 10, 10, Proc, 0);
    ASSERT_TRUE(a && b);
    std::string seen;
    EXPECT_EQ(plat_WindowTitlesEnum(Visit, &seen), 1);
    EXPECT_NE(seen.find("first window|"), std::string::npos);
    plat_WindowDestroy(b);
    seen.clear();
    EXPECT_EQ(plat_WindowTitlesEnum(Visit, &seen), 0);
    EXPECT_EQ(seen.find("[NK="), std::string::npos);
    plat_WindowDestroy(a);
}

// Headless script words: other programs' windows open and close by tick,
// and the user restores the minimised main window.
TEST(Process, ScriptedForeignWindowsAndRestore) {
    TestWorkDir work;
    ASSERT_TRUE(work.Enter("krx_toplevel"));
    std::ofstream("script.txt") << "2 toplevel KVT Zelvoria Page\n"
                                   "3 toplevel Lobby [NK=7 CK=8]\n"
                                   "5 toplevelclose Lobby [NK=7 CK=8]\n"
                                   "6 restore\n";
    ASSERT_EQ(test_HeadlessStart(), 0);
    setenv("KRX_SCRIPT", "script.txt", 1);
    plat_Shutdown();
    plat_HarnessReset();
    ASSERT_EQ(plat_Init(), 0);
    PlatHwnd main = plat_WindowCreate("M", "KRX", 64, 64, Proc, 1);
    ASSERT_TRUE(main);
    plat_WindowShow(main, PLAT_SW_MINIMIZE);
    uint32_t timer = plat_TimerSetEvent(25, [](uint32_t, uintptr_t) {}, 0);
    struct Seen {
        std::string titles;
        int64_t pageHandle = -1;
    };
    auto look = [] {
        Seen s;
        plat_TopLevelEnum(
            [](int64_t h, const char* title, void* c) {
                Seen* s = static_cast<Seen*>(c);
                s->titles += std::string(title) + "|";
                if (strstr(title, "Zelvoria")) s->pageHandle = h;
                return 0;
            },
            &s);
        return s;
    };
    std::vector<std::string> byTick;
    std::vector<int> minimised;
    int64_t page = -1;
    for (uint32_t tick = 1; tick <= 7; tick++) {
        while (plat_HarnessTick() < tick) plat_Sleep(1);
        PlatMsg m;
        while (plat_PeekMessage(&m, 0, 0, 0, PM_REMOVE)) plat_DispatchMessage(&m);
        Seen s = look();
        byTick.push_back(s.titles);
        minimised.push_back(plat_WindowIsMinimized(main));
        if (s.pageHandle != -1) page = s.pageHandle;
    }
    EXPECT_EQ(byTick[0], "KRX|");
    EXPECT_EQ(byTick[1], "KRX|KVT Zelvoria Page|");
    EXPECT_NE(byTick[3].find("Lobby [NK=7 CK=8]|"), std::string::npos);
    EXPECT_EQ(byTick[5], "KRX|KVT Zelvoria Page|");
    EXPECT_EQ(minimised, (std::vector<int>{1, 1, 1, 1, 1, 0, 0}));
    ASSERT_NE(page, -1);
    EXPECT_TRUE(plat_TopLevelExists(page));
    plat_HarnessToplevelClose("KVT Zelvoria Page");
    EXPECT_FALSE(plat_TopLevelExists(page));
    plat_TimerKillEvent(timer);
    plat_WindowDestroy(main);
    unsetenv("KRX_SCRIPT");
    plat_Shutdown();
    work.Leave();
}

}  // namespace
