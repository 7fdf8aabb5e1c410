// Application states and the 40-per-second game clock.
#pragma once
#include <atomic>
#include <cstdint>

// One screen, in-flight mode, loading or movie screen.
struct AppStateRecord {
    void (*enter)(void);     // may be null
    int32_t (*frame)(void);  // nonzero ends the state; null: never stepped
    void (*draw)(void);      // run by the fixed-rate runner after each burst
    void (*leave)(void);     // may be null
    int32_t variableRate;    // 0 = tick-paced, nonzero = as fast as possible
};

// The runner's words, zeroed at the start of every chain.
struct AppRunnerState {
    int32_t chainEnded;               // the done flag stopped a state
    const AppStateRecord* prevState;  // the state that ran last
    const AppStateRecord* nextState;  // the state to run next; null ends the chain
    const AppStateRecord* followOn1;  // first follow-on state (front end, flight stop)
    int32_t word5;                    // cleared before every state
    const AppStateRecord* followOn2;  // second follow-on state
    int32_t done;                     // the application must stop (window destroyed)
    int32_t frontEndWord;             // the front end's and start-up record's own word
};

extern AppRunnerState app_Runner;

// Timer and clock words. The timer thread writes the tick count and the
// clock; the main thread only reads them.
extern std::atomic<uint32_t> app_TickCount;
extern uint32_t app_TickIncrement;   // 1
extern uint32_t app_TimerInterval;   // 25 ms
extern std::atomic<uint32_t> app_ClockHigh;  // counts 1/120 s
extern std::atomic<uint32_t> app_ClockLow;
extern uint32_t app_ClockIncHigh, app_ClockIncLow;
extern std::atomic<int32_t> app_FocusFlag;        // written by the window procedure
extern std::atomic<int32_t> app_KeepRunningFlag;  // app_TimerTickEnable
extern int32_t app_TimerRunning;
extern int32_t app_TimerStopped;  // read by the movie player and the front end

void app_TimerStart(void);
void app_TimerStop(void);
void app_TimerStopAndNotify(void);
void app_TimerStopCallbackSet(void (*callback)(void));
void app_TimerTickEnable(int32_t flag);
// The timer routine itself (exposed for tests that drive the clock by hand).
void app_TimerCallback(uint32_t id, uintptr_t user);
// 64-bit clock as one value (high word: 1/120 s).
uint64_t app_ClockRead(void);

// Frame routines run since start (for diagnostics and headless runs).
extern uint32_t app_FrameStepCount;

void app_StateChainRun(const AppStateRecord* first);
void app_StateRunFixed(const AppStateRecord* state);
void app_StateRunVariable(const AppStateRecord* state);
void app_StateEnterReset(void);
void app_FramePostReset(void);
