// The front end's shared services: the process runner, the online-service
// launch wait, the hover count and the credits scroller.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>

#include "menu/front.h"
#include "menu_fixture.h"
#include "platform/harness.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "shell/runner.h"
#include "shell/settings.h"
#include "shell/wndproc.h"

namespace {

std::string ReadFile(const char* path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

intptr_t Proc(PlatHwnd h, uint32_t m, uintptr_t w, intptr_t l) { return plat_DefWindowProc(h, m, w, l); }

// A main window of its own, and a timer that acts as the user or another
// program at a given virtual time.
class FrontTest : public MenuTest {
protected:
    static inline std::function<void(uint32_t)> onTick;
    static inline uint32_t ticks = 0;
    uint32_t timer = 0;

    void SetUp() override {
        MenuTest::SetUp();
        app_MainHwnd = plat_WindowCreate("T", "KRX", 640, 480, Proc, 1);
        ASSERT_NE(app_MainHwnd, 0u);
        app_QuitFlag = 0;
        app_Runner = AppRunnerState{};
        mnu_LeaveFlag = 0;
        mnu_PageWindow = -1;
        mnu_PageSeen = 0;
        ticks = 0;
        onTick = nullptr;
        timer = plat_TimerSetEvent(10, [](uint32_t, uintptr_t) {
            ticks++;
            if (onTick) onTick(ticks);
        }, 0);
    }
    void TearDown() override {
        plat_TimerKillEvent(timer);
        onTick = nullptr;
        plat_WindowDestroy(app_MainHwnd);
        app_MainHwnd = 0;
        app_QuitFlag = 0;
        MenuTest::TearDown();
    }
};

TEST_F(FrontTest, RunProcessWaitsAndCapturesOutput) {
    uint32_t code = 0;
    EXPECT_EQ(mnu_RunProcess("sh -c \"echo x; exit 3\"", 1, &code, "OUT.TXT"), 0);
    EXPECT_EQ(code, 3u);
    EXPECT_EQ(ReadFile("OUT.TXT"), "x\n");
    // Without the wait it returns at once; a missing program or an output
    // file that cannot be made is -1.
    EXPECT_EQ(mnu_RunProcess("sh -c true", 0, nullptr, "OUT2.TXT"), 0);
    EXPECT_EQ(mnu_RunProcess("no_such_program_here /X", 1, &code, "OUT.TXT"), -1);
    EXPECT_EQ(mnu_RunProcess("sh -c true", 1, &code, "NODIR/OUT.TXT"), -1);
}

TEST_F(FrontTest, QuittingWhileWaitingLeavesTheChildRunning) {
    // The program is closing when the wait's first pass looks.
    app_QuitFlag = 1;
    // The child writes its pid, then lives on.
    EXPECT_EQ(mnu_RunProcess("sh -c \"echo $$; exec sleep 30\"", 1, nullptr, "PID.TXT"), 2);
    pid_t pid = 0;
    for (int i = 0; i < 200 && !pid; i++) {
        pid = (pid_t)atoi(ReadFile("PID.TXT").c_str());
        if (!pid) usleep(10000);
    }
    ASSERT_GT(pid, 0);
    EXPECT_EQ(kill(pid, 0), 0);  // still there
    // In a group of its own.
    EXPECT_EQ(getpgid(pid), pid);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

TEST_F(FrontTest, ChildrenInheritOnlyTheStandardDescriptors) {
    int fd = open("/dev/null", O_RDONLY);  // no close-on-exec
    ASSERT_GE(fd, 3);
    std::string cmd = "sh -c \"test -e /proc/self/fd/" + std::to_string(fd) + " && echo open || echo closed\"";
    uint32_t code = 0;
    EXPECT_EQ(mnu_RunProcess(cmd.c_str(), 1, &code, "FD.TXT"), 0);
    EXPECT_EQ(ReadFile("FD.TXT"), "closed\n");
    close(fd);
}

// The launch wait of the online service: how it ends.
TEST_F(FrontTest, LaunchWaitEndsByRestoreByPageCloseOrByTheServiceWindow) {
    app_Settings.CONNECT_AGENT = 0;
    test_WriteText("zelvoria.exe", "");  // the launcher is installed
    struct Case {
        const char* name;
        std::function<void(uint32_t)> act;
        bool handsOver;
        int64_t pageAfter;  // -2: any known page
    } cases[] = {
        {"user restores", [](uint32_t t) {
             if (t == 5) plat_WindowShow(app_MainHwnd, PLAT_SW_RESTORE);
         }, false, -1},
        {"page closes", [](uint32_t t) {
             if (t == 3) plat_HarnessToplevelOpen("KVT Zelvoria Page - Lobby");
             if (t == 8) plat_HarnessToplevelClose("KVT Zelvoria Page - Lobby");
         }, false, -1},
        {"service window", [](uint32_t t) {
             if (t == 3) plat_HarnessToplevelOpen("KVT Zelvoria Page");
             if (t == 6) plat_HarnessToplevelOpen("Game [NK=abc CK=def]");
         }, true, -2},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        ticks = 0;
        mnu_LeaveFlag = 0;
        mnu_PageSeen = 0;
        mnu_PageWindow = -1;
        app_Runner.nextState = nullptr;
        onTick = c.act;
        mnu_OnlineServiceLaunch(0);
        onTick = nullptr;
        EXPECT_FALSE(plat_WindowIsMinimized(app_MainHwnd));
        EXPECT_EQ(mnu_LeaveFlag, c.handsOver ? 1 : 0);
        EXPECT_EQ(app_Runner.nextState, c.handsOver ? &WndLaunch : nullptr);
        EXPECT_EQ(mnu_PageSeen, c.handsOver ? 1 : 0);
        if (c.pageAfter == -2)
            EXPECT_NE(mnu_PageWindow, -1);
        else
            EXPECT_EQ(mnu_PageWindow, c.pageAfter);
        plat_HarnessToplevelClose("KVT Zelvoria Page");
        plat_HarnessToplevelClose("Game [NK=abc CK=def]");
    }
}

TEST_F(FrontTest, LaunchWithoutLauncherOrWithAnUnknownAgentRunsNothing) {
    for (int32_t agent : {0, 7}) {
        SCOPED_TRACE(agent);
        app_Settings.CONNECT_AGENT = agent;
        mnu_OnlineServiceLaunch(-1);
        EXPECT_FALSE(plat_WindowIsMinimized(app_MainHwnd));
        EXPECT_EQ(mnu_LeaveFlag, 0);
        EXPECT_EQ(app_Runner.nextState, nullptr);
    }
}

TEST_F(FrontTest, OutHoverAloneStaysAtZero) {
    mnu_HoverCount = 0;
    cbOutHover(0);
    EXPECT_EQ(mnu_HoverCount, 0);
    cbInHover(0);
    cbInHover(0);
    cbOutHover(0);
    EXPECT_EQ(mnu_HoverCount, 1);
}

}  // namespace
