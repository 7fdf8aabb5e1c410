// Fatal signal handlers on an alternate stack. The handler is called with
// the registers at the fault; afterwards the default action runs so that the
// system still sees the crash.
#include "platform/crash.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <csetjmp>
#include <cstring>
#include <fcntl.h>
#include <link.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <time.h>
#include <ucontext.h>
#include <unistd.h>

namespace {

PlatCrashHandler g_handler = nullptr;
alignas(16) unsigned char g_altStack[64 * 1024];
const int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};
volatile sig_atomic_t g_inHandler = 0;
int g_hookInstalled = 0;
struct sigaction g_previous[4];

// The guard of plat_CrashGuardCall: a fault on the guarded thread jumps back.
struct Guard {
    volatile sig_atomic_t active;
    pthread_t thread;
    sigjmp_buf jump;
};
Guard g_guard;

void OnFatal(int sig, siginfo_t* info, void* uctx) {
    if (g_guard.active && pthread_equal(g_guard.thread, pthread_self())) {
        g_guard.active = 0;
        siglongjmp(g_guard.jump, 1);
    }
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
        // CS, GS and FS share one word of the saved state.
        const uint64_t csgsfs = (uint64_t)uc->uc_mcontext.gregs[REG_CSGSFS];
        static const char* kSegs[] = {"SegCs", "SegGs", "SegFs"};
        for (int i = 0; i < 3; i++) {
            ctx.segNames[i] = kSegs[i];
            ctx.segs[i] = (csgsfs >> (16 * i)) & 0xFFFF;
        }
        ctx.segCount = 3;
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
    // Whatever the handler may need later that cannot be had inside it.
    plat_ProgramLoadBase();
    plat_MemoryRead(0, nullptr, 0);
    plat_CrashStream(-1);
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
    // The actions found are put back when the hook goes.
    for (int i = 0; i < 4; i++)
        if (sigaction(kSignals[i], &sa, g_hookInstalled ? nullptr : &g_previous[i]) != 0) return -1;
    g_hookInstalled = 1;
    return 0;
}

void plat_CrashHookRemove(void) {
    if (g_hookInstalled)
        for (int i = 0; i < 4; i++) sigaction(kSignals[i], &g_previous[i], nullptr);
    g_handler = nullptr;
    g_hookInstalled = 0;
}

int plat_CrashGuardCall(void (*routine)(void* arg), void* arg) {
    if (!routine) return -1;
    // A guard inside a guard runs under the outer one.
    if (g_guard.active && pthread_equal(g_guard.thread, pthread_self())) {
        routine(arg);
        return 0;
    }
    struct sigaction old[4];
    const bool borrow = !g_hookInstalled;
    if (borrow) {
        struct sigaction sa;
        memset(&sa, 0, sizeof sa);
        sa.sa_sigaction = OnFatal;
        sa.sa_flags = SA_SIGINFO;
        sigemptyset(&sa.sa_mask);
        for (int i = 0; i < 4; i++) sigaction(kSignals[i], &sa, &old[i]);
    }
    // Inside the crash handler the fatal signals are blocked: open them for
    // the routine, so that a second fault comes back here.
    sigset_t fatal, saved;
    sigemptyset(&fatal);
    for (int s : kSignals) sigaddset(&fatal, s);
    pthread_sigmask(SIG_UNBLOCK, &fatal, &saved);
    int result = 0;
    g_guard.thread = pthread_self();
    if (sigsetjmp(g_guard.jump, 0) == 0) {
        g_guard.active = 1;
        routine(arg);
        g_guard.active = 0;
    } else {
        result = -1;
    }
    pthread_sigmask(SIG_SETMASK, &saved, nullptr);
    if (borrow)
        for (int i = 0; i < 4; i++) sigaction(kSignals[i], &old[i], nullptr);
    return result;
}

namespace {

// The probe pipe: the kernel copies the bytes into it and reports EFAULT for
// an unreadable address instead of faulting.
int g_probe[2] = {-1, -1};
std::atomic_flag g_probeBusy = ATOMIC_FLAG_INIT;

bool ProbeOpen() {
    if (g_probe[0] >= 0) return true;
    // Raw system calls throughout: nothing may look at the bytes on the way.
    int fds[2];
    if (syscall(SYS_pipe2, fds, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    g_probe[0] = fds[0];
    g_probe[1] = fds[1];
    return true;
}

void ProbeDrain() {
    char sink[256];
    while (syscall(SYS_read, g_probe[0], sink, sizeof sink) > 0) {
    }
}

uintptr_t g_loadBase = 0;
int g_loadBaseKnown = 0;

int FirstObject(struct dl_phdr_info* info, size_t, void* data) {
    *(uintptr_t*)data = (uintptr_t)info->dlpi_addr;
    return 1;  // the program itself comes first
}

}  // namespace

int plat_MemoryRead(uintptr_t address, void* out, size_t count) {
    if (g_probeBusy.test_and_set(std::memory_order_acquire)) return -1;
    int result = ProbeOpen() ? 0 : -1;
    uint8_t* dst = (uint8_t*)out;
    while (result == 0 && count > 0) {
        size_t chunk = count < 4096 ? count : 4096;
        if (address + chunk < address) {  // wraps past the top
            result = -1;
            break;
        }
        long wrote = syscall(SYS_write, g_probe[1], (const void*)address, chunk);
        if (wrote != (long)chunk) {
            if (wrote > 0) ProbeDrain();
            result = -1;
            break;
        }
        size_t got = 0;
        while (got < chunk) {
            long r = syscall(SYS_read, g_probe[0], dst + got, chunk - got);
            if (r <= 0) break;
            got += (size_t)r;
        }
        if (got != chunk) {
            ProbeDrain();
            result = -1;
            break;
        }
        address += chunk;
        dst += chunk;
        count -= chunk;
    }
    g_probeBusy.clear(std::memory_order_release);
    return result;
}

uintptr_t plat_ProgramLoadBase(void) {
    if (!g_loadBaseKnown) {
        uintptr_t base = 0;
        dl_iterate_phdr(FirstObject, &base);
        g_loadBase = base;
        g_loadBaseKnown = 1;
    }
    return g_loadBase;
}

int plat_CrashFileCreate(const char* path) {
    if (!path) return -1;
    long fd = syscall(SYS_openat, AT_FDCWD, path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    return fd < 0 ? -1 : (int)fd;
}

int plat_CrashFileWrite(int handle, const void* data, size_t count) {
    if (handle < 0) return -1;
    const char* p = (const char*)data;
    while (count > 0) {
        long n = syscall(SYS_write, handle, p, count);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return -1;
        p += n;
        count -= (size_t)n;
    }
    return 0;
}

void plat_CrashFileClose(int handle) {
    if (handle >= 0) syscall(SYS_close, handle);
}

namespace {

int g_streamHandle = -1;
FILE* g_stream = nullptr;
char g_streamBuffer[4096];

ssize_t StreamWrite(void*, const char* data, size_t count) {
    // Output that cannot go anywhere is taken as written, so that the
    // stream never turns to its error state.
    if (g_streamHandle >= 0) plat_CrashFileWrite(g_streamHandle, data, count);
    return (ssize_t)count;
}

}  // namespace

FILE* plat_CrashStream(int handle) {
    if (!g_stream) {
        cookie_io_functions_t io;
        memset(&io, 0, sizeof io);
        io.write = StreamWrite;
        g_stream = fopencookie(nullptr, "w", io);
        if (!g_stream) return nullptr;
        setvbuf(g_stream, g_streamBuffer, _IOFBF, sizeof g_streamBuffer);
    }
    fflush(g_stream);
    g_streamHandle = handle;
    clearerr(g_stream);
    return g_stream;
}

int64_t plat_CrashClock(void) {
    struct timespec ts;
    if (clock_gettime(CLOCK_REALTIME, &ts) != 0) return 0;
    return (int64_t)ts.tv_sec;
}

void plat_CrashWatchdog(uint32_t seconds) {
    // The default action of SIGALRM ends the process.
    if (seconds) signal(SIGALRM, SIG_DFL);
    alarm(seconds);
}
