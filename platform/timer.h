// Periodic timers and time. A periodic timer calls its routine on a thread
// of its own (sdl) or from the idle wait of the main thread (headless, where
// time is virtual and advances only while the program waits).
#pragma once
#include <cstdint>

typedef void (*PlatTimerProc)(uint32_t id, uintptr_t user);

enum { PLAT_TIMERR_NOERROR = 0, PLAT_MMSYSERR_INVALPARAM = 11, PLAT_TIMERR_NOCANDO = 97 };

int plat_TimerGetDevCaps(uint32_t* periodMin, uint32_t* periodMax);
int plat_TimerBeginPeriod(uint32_t period);
int plat_TimerEndPeriod(uint32_t period);
// Starts a periodic timer; returns its id, 0 on failure.
uint32_t plat_TimerSetEvent(uint32_t intervalMs, PlatTimerProc proc, uintptr_t user);
// 0 when killed, 11 for an unknown id.
int plat_TimerKillEvent(uint32_t id);

// Milliseconds since start (virtual when headless).
uint32_t plat_TimeMs(void);
// Gives up the rest of the time slice while waiting for a tick. Headless:
// advances the virtual clock to the next timer event and runs it.
void plat_IdleWait(void);
// Sleeps for ms milliseconds (headless: virtual time, timers fire).
void plat_Sleep(uint32_t ms);
