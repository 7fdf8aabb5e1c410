// The state runner: one state at a time, 40 fixed steps per second of
// counted timer time, messages pumped before every step.
#include "shell/runner.h"

#include <cstring>

#include "input/ejoy.h"
#include "input/ekey.h"
#include "platform/timer.h"
#include "shell/wndproc.h"

AppRunnerState app_Runner;

std::atomic<uint32_t> app_TickCount{0};
uint32_t app_TickIncrement = 1;
uint32_t app_TimerInterval = 25;
std::atomic<uint32_t> app_ClockHigh{0};
std::atomic<uint32_t> app_ClockLow{0};
uint32_t app_ClockIncHigh = 0, app_ClockIncLow = 0;
std::atomic<int32_t> app_FocusFlag{0};
std::atomic<int32_t> app_KeepRunningFlag{0};
int32_t app_TimerRunning = 0;
int32_t app_TimerStopped = 0;
uint32_t app_FrameStepCount = 0;

namespace {
uint32_t g_timerPeriod = 0;
uint32_t g_timerId = 0;
uintptr_t g_timerUser = 0;
void (*g_stopCallback)(void) = nullptr;
}  // namespace

void app_TimerCallback(uint32_t, uintptr_t) {
    if (!app_FocusFlag.load(std::memory_order_acquire) && !app_KeepRunningFlag.load(std::memory_order_acquire))
        return;
    // The clock words are only ever written here, so a plain
    // read-modify-write is enough; readers tolerate a torn pair.
    uint32_t lo = app_ClockLow.load(std::memory_order_relaxed);
    uint32_t newLo = lo + app_ClockIncLow;
    uint32_t carry = newLo < lo ? 1u : 0u;
    app_ClockLow.store(newLo, std::memory_order_relaxed);
    app_ClockHigh.store(app_ClockHigh.load(std::memory_order_relaxed) + app_ClockIncHigh + carry,
                        std::memory_order_release);
    app_TickCount.fetch_add(app_TickIncrement, std::memory_order_release);
}

uint64_t app_ClockRead(void) {
    uint64_t hi = app_ClockHigh.load(std::memory_order_acquire);
    return (hi << 32) | app_ClockLow.load(std::memory_order_relaxed);
}

void app_TimerStart(void) {
    uint32_t periodMin = 1, periodMax = 1;
    plat_TimerGetDevCaps(&periodMin, &periodMax);
    uint32_t period = periodMin > 1 ? periodMin : 1;
    if (period > periodMax) period = periodMax;
    g_timerPeriod = period;
    plat_TimerBeginPeriod(period);
    // interval x 0x78000000 / 1000, taken as 32 bits: 1/120 s in the high
    // word, the fraction in the low one. 25 ms gives exactly 3:0.
    uint32_t q = (uint32_t)(int32_t)(((int64_t)app_TimerInterval * 0x78000000LL) / 1000);
    app_ClockIncHigh = q >> 24;
    app_ClockIncLow = q << 8;
    app_ClockHigh.store(0);
    app_ClockLow.store(0);
    g_timerId = plat_TimerSetEvent(app_TimerInterval, app_TimerCallback, g_timerUser);
    app_TimerRunning = 1;
}

void app_TimerStop(void) {
    if (!app_TimerRunning) return;
    plat_TimerEndPeriod(g_timerPeriod);
    for (int i = 0; i < 5000; i++) {
        int r = plat_TimerKillEvent(g_timerId);
        if (r == 0 || r == PLAT_MMSYSERR_INVALPARAM) break;
    }
    g_timerId = 0;
    app_TimerRunning = 0;
}

void app_TimerStopCallbackSet(void (*callback)(void)) { g_stopCallback = callback; }

void app_TimerStopAndNotify(void) {
    app_TimerStop();
    if (g_stopCallback) g_stopCallback();
    app_TimerStopped = 1;
}

void app_TimerTickEnable(int32_t flag) { app_KeepRunningFlag.store(flag, std::memory_order_release); }

void app_StateEnterReset(void) {
    ekey_ClearAll();
    app_MouseReset();
    ejoy_StateClear();
}

void app_FramePostReset(void) {
    ekey_ClearEdges();
    app_MouseFramePost();
    ejoy_ClearEdges();
}

static uint32_t Ticks(void) { return app_TickCount.load(std::memory_order_acquire); }

static void EndByDone(void) {
    app_Runner.nextState = nullptr;
    app_Runner.chainEnded = 1;
}

void app_StateRunFixed(const AppStateRecord* state) {
    if (!state || !state->frame) return;
    uint32_t mark = Ticks();
    for (;;) {
        if (app_Runner.done) {
            EndByDone();
            return;
        }
        // Unsigned distance, so that the tick count may wrap.
        if ((int32_t)(mark - Ticks()) >= 0) {
            plat_IdleWait();
            app_PumpMessagesEx();
            if (app_QuitFlag) return;
            continue;
        }
        uint32_t steps = 0;
        for (;;) {
            app_PumpMessagesEx();
            if (app_QuitFlag) return;
            int32_t result = state->frame();
            app_FrameStepCount++;
            if (result != 0) return;
            mark++;
            steps++;
            app_FramePostReset();
            if (steps > 20 * app_TickIncrement) mark = Ticks();
            if (app_Runner.done) {
                EndByDone();
                return;
            }
            if ((int32_t)(mark - Ticks()) >= 0) break;
        }
        if (state->draw) state->draw();
    }
}

void app_StateRunVariable(const AppStateRecord* state) {
    if (!state || !state->frame) return;
    for (;;) {
        app_PumpMessagesEx();
        if (app_QuitFlag) return;
        if (app_Runner.done) {
            EndByDone();
            return;
        }
        int32_t result = state->frame();
        app_FrameStepCount++;
        app_FramePostReset();
        if (result != 0) return;
    }
}

void app_StateChainRun(const AppStateRecord* first) {
    if (!first) return;
    memset(&app_Runner, 0, sizeof app_Runner);
    const AppStateRecord* current = first;
    while (current && !app_QuitFlag) {
        app_Runner.word5 = 0;
        app_StateEnterReset();
        if (current->enter) current->enter();
        if (current->variableRate)
            app_StateRunVariable(current);
        else
            app_StateRunFixed(current);
        if (current->leave && !app_Runner.done) current->leave();
        app_Runner.prevState = current;
        current = app_Runner.nextState;
        if (app_Runner.chainEnded) break;
    }
}
