// Fatal signals. The handler gets the machine state at the fault and runs on
// an alternate stack; when it returns, the signal goes on to the system.
#pragma once
#include <cstdint>

struct PlatCrashContext {
    int signal;              // SIGSEGV, SIGBUS, SIGFPE, SIGILL
    int code;                // si_code
    uintptr_t faultAddress;  // si_addr
    uintptr_t pc, sp, bp;
    int regCount;
    const char* regNames[24];
    uint64_t regs[24];
};

typedef void (*PlatCrashHandler)(const PlatCrashContext* ctx);

// Installs the handler for SIGSEGV, SIGBUS, SIGFPE and SIGILL. 0 on success.
int plat_CrashHookInstall(PlatCrashHandler handler);
void plat_CrashHookRemove(void);
