// Real-time timers (a thread each) and the focus rule of our second window.
#ifdef KRX_HAVE_SDL
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

#include "platform/backend.h"
#include "platform/harness.h"
#include "platform/sdl/sdl_events.h"
#include "platform/timer.h"
#include "platform/window.h"

namespace {

// The SDL backend without a display: real time, timers on threads.
class RealTimer : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("KRX_PLATFORM", "sdl", 1);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(plat_Init(), 0);
        if (plat_IsHeadless()) GTEST_SKIP() << "SDL did not start";
    }
    void TearDown() override {
        plat_Shutdown();
        setenv("KRX_PLATFORM", "headless", 1);
    }
};

std::atomic<uint32_t> g_selfKillId{0};
std::atomic<int> g_selfKillRuns{0};
std::atomic<int> g_selfKillResult{-1};

void KillsItself(uint32_t id, uintptr_t) {
    g_selfKillRuns.fetch_add(1);
    g_selfKillResult.store(plat_TimerKillEvent(id));
}

std::atomic<int> g_ticks{0};
void Count(uint32_t, uintptr_t) { g_ticks.fetch_add(1); }

bool WaitFor(const std::function<bool()>& done) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done())
        if (std::chrono::steady_clock::now() > until) return false;
        else std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

TEST_F(RealTimer, KilledFromItsOwnRoutineRunsNoMoreAndFreesItsSlot) {
    g_selfKillRuns = 0;
    g_selfKillResult = -1;
    uint32_t id = plat_TimerSetEvent(2, KillsItself, 0);
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(WaitFor([] { return g_selfKillResult.load() == 0; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(g_selfKillRuns.load(), 1);
    EXPECT_EQ(plat_TimerKillEvent(id), PLAT_MMSYSERR_INVALPARAM);
    // Every slot can be had again once the ended threads let go of theirs.
    uint32_t ids[8];
    ASSERT_TRUE(WaitFor([&] {
        for (auto& i : ids) i = plat_TimerSetEvent(50, Count, 0);
        bool all = true;
        for (auto i : ids) all = all && i != 0;
        for (auto i : ids)
            if (i) plat_TimerKillEvent(i);
        return all;
    }));
}

TEST_F(RealTimer, SetAndKillFromSeveralThreads) {
    // A slot whose thread is still being joined is not handed out again;
    // were it, the new timer's stop word would be reset under the old
    // thread and the join would never end.
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int t = 0; t < 4; t++)
        threads.emplace_back([&] {
            for (int i = 0; i < 50; i++) {
                uint32_t id = plat_TimerSetEvent(1, Count, 0);
                if (!id) continue;  // all slots busy for a moment
                std::this_thread::sleep_for(std::chrono::microseconds(300));
                if (plat_TimerKillEvent(id) != 0) failures.fetch_add(1);
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(failures.load(), 0);
}

TEST_F(RealTimer, TheProcessEndsCleanlyWhileATimerRuns) {
    // As after a fatal box: exit with the game clock's timer running.
    EXPECT_EXIT(
        {
            plat_TimerSetEvent(1, Count, 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            exit(3);
        },
        ::testing::ExitedWithCode(3), "");
}

// The focus rule of the loading window, on windows of the common layer.
class SecondWindow : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("KRX_PLATFORM", "headless", 1);
        unsetenv("KRX_SCRIPT");
        plat_HarnessReset();
        ASSERT_EQ(plat_Init(), 0);
    }
    void TearDown() override { plat_Shutdown(); }
};

TEST_F(SecondWindow, StaysOutOfTheWayOfTheMainWindowsFocus) {
    EXPECT_EQ(sdl_WindowFlags(1, 0), (Uint32)SDL_WINDOW_SHOWN);
    EXPECT_EQ(sdl_WindowFlags(0, 0), (Uint32)SDL_WINDOW_HIDDEN);
    Uint32 second = sdl_WindowFlags(1, 1);
    EXPECT_TRUE(second & SDL_WINDOW_SHOWN);
    EXPECT_TRUE(second & SDL_WINDOW_SKIP_TASKBAR);
    EXPECT_TRUE(second & SDL_WINDOW_UTILITY);

    PlatHwnd main = plat_WindowCreate("SKARVELCLASS", "KRX", 640, 480, plat_DefWindowProc, 1);
    PlatHwnd loading = plat_WindowCreate("SKARVELCLASSLOADING", "", 646, 32, plat_DefWindowProc, 1);
    ASSERT_NE(main, 0u);
    ASSERT_NE(loading, 0u);
    EXPECT_EQ(sdl_FocusOwner(loading), main);  // handed back
    EXPECT_EQ(sdl_FocusOwner(main), 0u);       // the main window keeps it
    EXPECT_EQ(sdl_FocusOwner(0), 0u);
    plat_WindowShow(main, PLAT_SW_MINIMIZE);
    EXPECT_EQ(sdl_FocusOwner(loading), 0u);  // a minimised main window is not forced up
    plat_WindowShow(main, PLAT_SW_RESTORE);
    EXPECT_EQ(sdl_FocusOwner(loading), main);

    // Native windows are found by their native side only.
    int nativeMain = 0, nativeLoading = 0;
    plat_WindowGet(main)->native = &nativeMain;
    plat_WindowGet(loading)->native = &nativeLoading;
    EXPECT_EQ(plat_WindowFromNative(&nativeLoading), loading);
    EXPECT_EQ(plat_WindowFromNative(&nativeMain), main);
    int other = 0;
    EXPECT_EQ(plat_WindowFromNative(&other), 0u);
    EXPECT_EQ(plat_WindowFromNative(nullptr), 0u);
    plat_WindowGet(main)->native = nullptr;
    plat_WindowGet(loading)->native = nullptr;
}

}  // namespace
#endif
