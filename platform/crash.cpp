// Fatal signal handlers on an alternate stack. The handler is called with
// the registers at the fault; afterwards the default action runs so that the
// system still sees the crash.
#include "platform/crash.h"

#include <csignal>
#include <cstring>
#include <ucontext.h>

namespace {

PlatCrashHandler g_handler = nullptr;
alignas(16) unsigned char g_altStack[64 * 1024];
const int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};
volatile sig_atomic_t g_inHandler = 0;

void OnFatal(int sig, siginfo_t* info, void* uctx) {
    if (!g_inHandler && g_handler) {
        g_inHandler = 1;
        PlatCrashContext ctx;
        memset(&ctx, 0, sizeof ctx);
        ctx.signal = sig;
        ctx.code = info ? info->si_code : 0;
        ctx.faultAddress = info ? (uintptr_t)info->si_addr : 0;
#if defined(__x86_64__)
        const ucontext_t* uc = (const ucontext_t*)uctx;
        static const struct { const char* name; int reg; } kRegs[] = {
            {"RAX", REG_RAX}, {"RBX", REG_RBX}, {"RCX", REG_RCX}, {"RDX", REG_RDX}, {"RSI", REG_RSI},
            {"RDI", REG_RDI}, {"RBP", REG_RBP}, {"RSP", REG_RSP}, {"R8", REG_R8},   {"R9", REG_R9},
            {"R10", REG_R10}, {"R11", REG_R11}, {"R12", REG_R12}, {"R13", REG_R13}, {"R14", REG_R14},
            {"R15", REG_R15}, {"RIP", REG_RIP}, {"EFL", REG_EFL},
        };
        for (auto& r : kRegs) {
            ctx.regNames[ctx.regCount] = r.name;
            ctx.regs[ctx.regCount] = (uint64_t)uc->uc_mcontext.gregs[r.reg];
            ctx.regCount++;
        }
        ctx.pc = (uintptr_t)uc->uc_mcontext.gregs[REG_RIP];
        ctx.sp = (uintptr_t)uc->uc_mcontext.gregs[REG_RSP];
        ctx.bp = (uintptr_t)uc->uc_mcontext.gregs[REG_RBP];
#elif defined(__aarch64__)
        const ucontext_t* uc = (const ucontext_t*)uctx;
        static const char* kNames[] = {"X0", "X1", "X2", "X3", "X4", "X5", "X6", "X7", "X8", "X9", "X10",
                                       "X11", "X12", "X13", "X14", "X15", "X16", "X17", "X18", "X19",
                                       "X20", "X21", "X22", "X23"};
        for (int i = 0; i < 24; i++) {
            ctx.regNames[i] = kNames[i];
            ctx.regs[i] = uc->uc_mcontext.regs[i];
        }
        ctx.regCount = 24;
        ctx.pc = (uintptr_t)uc->uc_mcontext.pc;
        ctx.sp = (uintptr_t)uc->uc_mcontext.sp;
        ctx.bp = (uintptr_t)uc->uc_mcontext.regs[29];
#else
        (void)uctx;
#endif
        g_handler(&ctx);
    }
    // Let the system see the fault.
    struct sigaction dfl;
    memset(&dfl, 0, sizeof dfl);
    dfl.sa_handler = SIG_DFL;
    sigaction(sig, &dfl, nullptr);
    raise(sig);
}

}  // namespace

int plat_CrashHookInstall(PlatCrashHandler handler) {
    g_handler = handler;
    stack_t ss;
    memset(&ss, 0, sizeof ss);
    ss.ss_sp = g_altStack;
    ss.ss_size = sizeof g_altStack;
    if (sigaltstack(&ss, nullptr) != 0) return -1;
    struct sigaction sa;
    memset(&sa, 0, sizeof sa);
    sa.sa_sigaction = OnFatal;
    sa.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&sa.sa_mask);
    for (int s : kSignals)
        if (sigaction(s, &sa, nullptr) != 0) return -1;
    return 0;
}

void plat_CrashHookRemove(void) {
    struct sigaction dfl;
    memset(&dfl, 0, sizeof dfl);
    dfl.sa_handler = SIG_DFL;
    for (int s : kSignals) sigaction(s, &dfl, nullptr);
    g_handler = nullptr;
}
