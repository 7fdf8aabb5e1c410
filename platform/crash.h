// Fatal signals. The handler gets the machine state at the fault and runs on
// an alternate stack; when it returns, the signal goes on to the system.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

struct PlatCrashContext {
    int signal;              // SIGSEGV, SIGBUS, SIGFPE, SIGILL
    int code;                // si_code
    uintptr_t faultAddress;  // si_addr
    uintptr_t pc, sp, bp;
    int regCount;
    const char* regNames[24];
    uint64_t regs[24];
    // Segment selectors, where the machine has them (x86-64: CS, GS, FS).
    int segCount;
    const char* segNames[6];
    uint64_t segs[6];
};

typedef void (*PlatCrashHandler)(const PlatCrashContext* ctx);

// Installs the handler for SIGSEGV, SIGBUS, SIGFPE and SIGILL. 0 on success.
int plat_CrashHookInstall(PlatCrashHandler handler);
void plat_CrashHookRemove(void);

// Runs routine(arg) so that a fault inside it (one of the four signals above,
// on this thread) ends the routine instead of the program. 0 when the routine
// ran to its end, -1 when a fault cut it short. Works with or without the
// hook installed, and inside the crash handler itself.
int plat_CrashGuardCall(void (*routine)(void* arg), void* arg);

// Copies count bytes from address without touching them directly, so that
// an unmapped address cannot fault. 0, or -1 when any byte is unreadable.
// Async-signal-safe.
int plat_MemoryRead(uintptr_t address, void* out, size_t count);

// Address at which the program's own image was loaded (0 for a program
// linked at a fixed address): add it to an address of the program's symbol
// map to get the address in this run.
uintptr_t plat_ProgramLoadBase(void);

// Plain output files for the crash handler, async-signal-safe: the name is
// taken as it stands (no case matching), relative to the current directory.
// Create (or truncate) returns a handle >= 0, or -1.
int plat_CrashFileCreate(const char* path);
// 0 when every byte was written, else -1.
int plat_CrashFileWrite(int handle, const void* data, size_t count);
void plat_CrashFileClose(int handle);
// A stdio stream onto a crash file handle (-1: output is dropped). There is
// one such stream, made with a buffer of its own on first use, so that
// writing through it later allocates nothing; the hook's installation makes
// it. Null when it could not be made.
FILE* plat_CrashStream(int handle);
// Seconds since 1 January 1970, UTC. Async-signal-safe.
int64_t plat_CrashClock(void);
// Ends the process (SIGALRM) unless called again within seconds; 0 stops
// it. For the steps after a crash dump that may hang in a faulted program.
void plat_CrashWatchdog(uint32_t seconds);
