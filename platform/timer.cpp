// Periodic timers. With real time each timer runs on its own thread, paced
// with sleep_until so that it does not drift; with virtual time (headless)
// the idle wait of the main thread runs whatever is due.
#include "platform/timer.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>

#include "platform/backend.h"
#include "platform/harness.h"

namespace {

struct Timer {
    uint32_t id = 0;
    uint32_t interval = 0;
    PlatTimerProc proc = nullptr;
    uintptr_t user = 0;
    uint64_t nextDue = 0;  // virtual time only
    std::thread thread;
    std::atomic<bool> stop{false};
    // Killed, but its thread may still be running: the slot is not free
    // for a new timer until the thread has been joined.
    bool joining = false;
    // Killed from its own routine: the thread frees the slot as it ends.
    bool detached = false;
};

constexpr int kMaxTimers = 8;
Timer g_timers[kMaxTimers];
std::mutex g_lock;
uint32_t g_nextId = 1;

// A process that ends while a timer runs (exit after a fatal box) must not
// destroy a running thread, which would abort it: stop and wait for every
// timer thread first.
struct TimerThreadsEnd {
    ~TimerThreadsEnd() {
        for (auto& t : g_timers) {
            t.stop.store(true, std::memory_order_release);
            if (!t.thread.joinable()) continue;
            if (t.thread.get_id() == std::this_thread::get_id())
                t.thread.detach();
            else
                t.thread.join();
        }
    }
} g_timerThreadsEnd;

// The timer's words come as arguments: the slot's id is cleared by the
// killing thread while this one may still be running.
void RunReal(Timer* t, uint32_t id, PlatTimerProc proc, uintptr_t user, uint32_t interval) {
    using clock = std::chrono::steady_clock;
    auto next = clock::now();
    const auto step = std::chrono::milliseconds(interval);
    while (!t->stop.load(std::memory_order_acquire)) {
        next += step;
        std::this_thread::sleep_until(next);
        if (t->stop.load(std::memory_order_acquire)) break;
        proc(id, user);
        // After a long stall do not fire a burst to catch up.
        auto now = clock::now();
        if (now - next > 20 * step) next = now;
    }
    std::lock_guard<std::mutex> lk(g_lock);
    if (t->detached) {
        t->detached = false;
        t->joining = false;
    }
}

}  // namespace

int plat_TimerGetDevCaps(uint32_t* periodMin, uint32_t* periodMax) {
    if (periodMin) *periodMin = 1;
    if (periodMax) *periodMax = 1000000;
    return 0;
}

int plat_TimerBeginPeriod(uint32_t period) { return period ? 0 : PLAT_TIMERR_NOCANDO; }
int plat_TimerEndPeriod(uint32_t period) { return period ? 0 : PLAT_TIMERR_NOCANDO; }

uint32_t plat_TimerSetEvent(uint32_t intervalMs, PlatTimerProc proc, uintptr_t user) {
    if (!proc || intervalMs == 0) return 0;
    const PlatBackend* be = plat_Backend();
    std::lock_guard<std::mutex> lk(g_lock);
    for (auto& t : g_timers) {
        if (t.id || t.joining) continue;
        t.id = g_nextId++;
        t.interval = intervalMs;
        t.proc = proc;
        t.user = user;
        t.stop.store(false);
        if (be->virtualTime) {
            t.nextDue = (uint64_t)be->timeMs() + intervalMs;
        } else {
            t.thread = std::thread(RunReal, &t, t.id, proc, user, intervalMs);
        }
        return t.id;
    }
    return 0;
}

int plat_TimerKillEvent(uint32_t id) {
    std::thread done;
    Timer* found = nullptr;
    {
        std::lock_guard<std::mutex> lk(g_lock);
        for (auto& t : g_timers)
            if (id && t.id == id) found = &t;
        if (!found) return PLAT_MMSYSERR_INVALPARAM;
        found->stop.store(true, std::memory_order_release);
        done = std::move(found->thread);
        found->id = 0;
        found->joining = true;
    }
    if (done.joinable()) {
        // Killed from its own routine: the thread ends after the routine
        // returns (it sees the stop word) and cannot wait for itself.
        if (done.get_id() == std::this_thread::get_id()) {
            std::lock_guard<std::mutex> lk(g_lock);
            found->detached = true;
            done.detach();
            return 0;
        }
        done.join();
    }
    std::lock_guard<std::mutex> lk(g_lock);
    found->joining = false;
    return 0;
}

uint64_t plat_TimerNextDue(void) {
    uint64_t best = UINT64_MAX;
    for (auto& t : g_timers)
        if (t.id && t.nextDue < best) best = t.nextDue;
    return best;
}

uint64_t plat_TimerRunDue(uint64_t nowMs) {
    for (auto& t : g_timers) {
        while (t.id && t.nextDue <= nowMs) {
            t.nextDue += t.interval;
            t.proc(t.id, t.user);
            plat_HarnessTimerFired(t.interval);
        }
    }
    return plat_TimerNextDue();
}

uint32_t plat_TimeMs(void) { return plat_Backend()->timeMs(); }
void plat_IdleWait(void) { plat_Backend()->idleWait(); }
void plat_Sleep(uint32_t ms) { plat_Backend()->sleepMs(ms); }
