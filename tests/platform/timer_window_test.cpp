// Real-time timers (a thread each) under the SDL backend.
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

}  // namespace
#endif
