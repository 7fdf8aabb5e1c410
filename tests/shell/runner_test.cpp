// The state runner on the headless backend's virtual clock.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/harness.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "shell/runner.h"
#include "shell/wndproc.h"

namespace {

struct Log {
    int frames = 0, draws = 0, enters = 0, leaves = 0;
    std::vector<int> burstSizes;  // frames between draws
    int sinceDraw = 0;
};
Log g_log;
int (*g_frameHook)(int frame) = nullptr;

void Enter() { g_log.enters++; }
void Leave() { g_log.leaves++; }
int32_t Frame() {
    g_log.frames++;
    g_log.sinceDraw++;
    return g_frameHook ? g_frameHook(g_log.frames) : 0;
}
void Draw() {
    g_log.draws++;
    g_log.burstSizes.push_back(g_log.sinceDraw);
    g_log.sinceDraw = 0;
}

const AppStateRecord kFixed = {Enter, Frame, Draw, Leave, 0};
const AppStateRecord kVariable = {Enter, Frame, Draw, Leave, 1};

// A second timer that stops the run after a number of firings.
int g_stopAfter = 0;
void StopTimer(uint32_t, uintptr_t) {
    if (--g_stopAfter == 0) app_Runner.done = 1;
}

class RunnerTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("KRX_PLATFORM", "headless", 1);
        unsetenv("KRX_MAXTICKS");
        unsetenv("KRX_SCRIPT");
        plat_HarnessReset();
        ASSERT_EQ(plat_Init(), 0);
        g_log = Log{};
        g_frameHook = nullptr;
        app_QuitFlag = 0;
        app_TickCount = 0;
        app_FocusFlag = 1;
        app_KeepRunningFlag = 0;
        app_TimerInterval = 25;
        app_TickIncrement = 1;
        app_TimerStart();
    }
    void TearDown() override {
        app_TimerStop();
        plat_Shutdown();
    }
};

TEST_F(RunnerTest, FrameEndsStateWithoutDrawAndLeaveRuns) {
    g_frameHook = [](int n) { return n == 5 ? 1 : 0; };
    app_StateChainRun(&kFixed);
    EXPECT_EQ(g_log.frames, 5);
    EXPECT_EQ(g_log.draws, 4);  // one per tick, none after the ending step
    EXPECT_EQ(g_log.enters, 1);
    EXPECT_EQ(g_log.leaves, 1);
    EXPECT_EQ(app_Runner.prevState, &kFixed);
}

TEST_F(RunnerTest, StallRunsTwentyOneStepsThenDropsBacklog) {
    g_frameHook = [](int n) {
        if (n == 1) app_TickCount += 80;  // two seconds of ticks fall due at once
        return n == 30 ? 1 : 0;
    };
    app_StateChainRun(&kFixed);
    ASSERT_GE(g_log.burstSizes.size(), 2u);
    EXPECT_EQ(g_log.burstSizes[0], 21);
    for (size_t i = 1; i < g_log.burstSizes.size(); i++) EXPECT_EQ(g_log.burstSizes[i], 1);
}

TEST_F(RunnerTest, UnfocusedClockStandsStill) {
    app_FocusFlag = 0;
    g_stopAfter = 40;
    uint32_t stopper = plat_TimerSetEvent(10, StopTimer, 0);
    app_StateChainRun(&kFixed);
    plat_TimerKillEvent(stopper);
    EXPECT_EQ(g_log.frames, 0);
    EXPECT_EQ(app_TickCount.load(), 0u);
    EXPECT_EQ(app_ClockRead(), 0u);
    // Stopped by the done flag: no leave, next state cleared.
    EXPECT_EQ(g_log.leaves, 0);
    EXPECT_EQ(app_Runner.nextState, nullptr);
    EXPECT_EQ(app_Runner.chainEnded, 1);
}

TEST_F(RunnerTest, KeepRunningCountsWithoutFocus) {
    app_FocusFlag = 0;
    app_TimerTickEnable(1);
    g_frameHook = [](int n) { return n == 10 ? 1 : 0; };
    app_StateChainRun(&kFixed);
    EXPECT_EQ(g_log.frames, 10);
    app_TimerTickEnable(0);
}

TEST_F(RunnerTest, ClockAdvancesThreeHundredTwentiethsPerTick) {
    g_frameHook = [](int n) { return n == 40 ? 1 : 0; };
    app_StateChainRun(&kFixed);
    EXPECT_EQ(app_ClockIncHigh, 3u);
    EXPECT_EQ(app_ClockIncLow, 0u);
    EXPECT_EQ(app_ClockRead() >> 32, 3u * app_TickCount.load());
    EXPECT_EQ(app_TickCount.load(), 40u);
}

TEST_F(RunnerTest, DoneFlagFromFrameSkipsLeaveAndEndsChain) {
    g_frameHook = [](int n) {
        if (n == 3) {
            app_Runner.nextState = &kFixed;
            app_Runner.done = 1;
        }
        return 0;
    };
    app_StateChainRun(&kFixed);
    EXPECT_EQ(g_log.frames, 3);
    EXPECT_EQ(g_log.leaves, 0);
    EXPECT_EQ(g_log.enters, 1);
    EXPECT_EQ(app_Runner.nextState, nullptr);
}

TEST_F(RunnerTest, ChainFollowsNextStateAndNullFrameStatePassesThrough) {
    g_frameHook = [](int n) {
        if (n == 2) {
            app_Runner.nextState = &kVariable;
            return 1;
        }
        if (n == 5) {
            app_Runner.nextState = nullptr;
            return 1;
        }
        return 0;
    };
    // A state without a frame routine runs enter and leave and passes on.
    static const AppStateRecord kSeed = {[] { app_Runner.nextState = &kFixed; }, nullptr, nullptr, Leave, 0};
    app_StateChainRun(&kSeed);
    EXPECT_EQ(g_log.frames, 5);  // 2 fixed + 3 variable
    EXPECT_EQ(g_log.leaves, 3);
    app_StateChainRun(nullptr);  // returns at once
    EXPECT_EQ(g_log.frames, 5);
}

TEST_F(RunnerTest, WmQuitStopsThePump) {
    g_frameHook = [](int n) {
        if (n == 2) plat_PostQuitMessage(0);
        return 0;
    };
    app_StateChainRun(&kFixed);
    EXPECT_EQ(g_log.frames, 2);
    EXPECT_EQ(app_QuitFlag, 1);
}

}  // namespace
