// The common window layer: registry, message queue and dispatch. Backends
// only create native windows and turn native events into posted messages.
#include "platform/window.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/backend.h"
#include "platform/sdl_module.h"
#include "platform/midi.h"
#include "platform/timer.h"

namespace {

const PlatBackend* g_backend = nullptr;

constexpr int kMaxWindows = 8;
PlatWindow g_windows[kMaxWindows];
PlatHwnd g_nextHwnd = 0x100;

std::mutex g_queueLock;
std::deque<PlatMsg> g_queue;

PlatRect g_clip;
int g_clipOn = 0;

std::atomic<int> g_raiseRequested{0};

void CopyBounded(char* dst, size_t size, const char* src) {
    if (size == 0) return;
    if (!src) src = "";
    size_t n = strnlen(src, size - 1);
    memcpy(dst, src, n);
    dst[n] = 0;
}

bool Matches(const PlatMsg& m, PlatHwnd hwnd, uint32_t minMsg, uint32_t maxMsg) {
    if (hwnd && m.hwnd != hwnd) return false;
    if (minMsg == 0 && maxMsg == 0) return true;
    return m.message >= minMsg && m.message <= maxMsg;
}

void OnRaiseSignal(int) { g_raiseRequested.store(1, std::memory_order_release); }

}  // namespace

const PlatBackend* plat_Backend(void) {
    if (!g_backend) plat_Init();
    return g_backend;
}

int plat_Init(void) {
    if (g_backend) return 0;
    const char* want = getenv("KRX_PLATFORM");
    const PlatBackend* chosen = &plat_HeadlessBackend;
#ifdef KRX_HAVE_SDL
    bool wantSdl = want ? strcmp(want, "sdl") == 0
                        : (getenv("DISPLAY") != nullptr || getenv("WAYLAND_DISPLAY") != nullptr);
#else
    bool wantSdl = want && strcmp(want, "sdl") == 0;
#endif
    // SDL is mapped only now that it is wanted.
    if (wantSdl) {
        char why[512];
        if (const PlatSdlModule* sdl = plat_SdlModuleLoad(why, sizeof why))
            chosen = sdl->backend;
        else
            fprintf(stderr, "krx: the SDL platform cannot be loaded (%s), running headless\n", why);
    }
    if (chosen->init() != 0) {
        if (chosen == &plat_HeadlessBackend) return -1;
        fprintf(stderr, "krx: the %s platform failed to start, running headless\n", chosen->name);
        chosen = &plat_HeadlessBackend;
        if (chosen->init() != 0) return -1;
    }
    g_backend = chosen;
    signal(SIGUSR1, OnRaiseSignal);
    return 0;
}

void plat_Shutdown(void) {
    if (!g_backend) return;
    for (auto& w : g_windows)
        if (w.hwnd) {
            g_backend->windowDestroy(w.hwnd);
            w = PlatWindow{};
        }
    g_backend->shutdown();
    g_backend = nullptr;
    std::lock_guard<std::mutex> lk(g_queueLock);
    g_queue.clear();
}

int plat_IsHeadless(void) { return plat_Backend() == &plat_HeadlessBackend; }
const char* plat_BackendName(void) { return plat_Backend()->name; }

PlatWindow* plat_WindowGet(PlatHwnd hwnd) {
    if (!hwnd) return nullptr;
    for (auto& w : g_windows)
        if (w.hwnd == hwnd) return &w;
    return nullptr;
}

PlatHwnd plat_WindowFirst(void) {
    for (auto& w : g_windows)
        if (w.hwnd) return w.hwnd;
    return 0;
}

int plat_WindowList(PlatHwnd* out, int max) {
    int n = 0;
    for (auto& w : g_windows)
        if (w.hwnd && n < max) out[n++] = w.hwnd;
    return n;
}

PlatHwnd plat_WindowFromNative(const void* native) {
    if (!native) return 0;
    for (auto& w : g_windows)
        if (w.hwnd && w.native == native) return w.hwnd;
    return 0;
}

PlatHwnd plat_WindowCreate(const char* className, const char* title, int clientW, int clientH,
                           PlatWndProc proc, int visible) {
    const PlatBackend* be = plat_Backend();
    PlatWindow* slot = nullptr;
    for (auto& w : g_windows)
        if (!w.hwnd) {
            slot = &w;
            break;
        }
    if (!slot || !proc) return 0;
    *slot = PlatWindow{};
    slot->hwnd = g_nextHwnd++;
    CopyBounded(slot->className, sizeof slot->className, className);
    CopyBounded(slot->title, sizeof slot->title, title);
    slot->proc = proc;
    slot->rect = PlatRect{0, 0, clientW, clientH};
    slot->visible = visible;
    PlatHwnd hwnd = slot->hwnd;
    if (be->windowCreate(hwnd, title, clientW, clientH, visible) != 0) {
        *slot = PlatWindow{};
        return 0;
    }
    if (proc(hwnd, WM_CREATE, 0, 0) == -1) {
        be->windowDestroy(hwnd);
        if (PlatWindow* w = plat_WindowGet(hwnd)) *w = PlatWindow{};
        return 0;
    }
    if (visible && plat_WindowGet(hwnd)) {
        proc(hwnd, WM_ACTIVATEAPP, 1, 0);
        proc(hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
        proc(hwnd, WM_SETFOCUS, 0, 0);
    }
    return hwnd;
}

int plat_WindowDestroy(PlatHwnd hwnd) {
    PlatWindow* w = plat_WindowGet(hwnd);
    if (!w) return -1;
    PlatWndProc proc = w->proc;
    proc(hwnd, WM_DESTROY, 0, 0);
    if ((w = plat_WindowGet(hwnd)) != nullptr) {
        plat_Backend()->windowDestroy(hwnd);
        *w = PlatWindow{};
    }
    return 0;
}

int plat_WindowIsValid(PlatHwnd hwnd) { return plat_WindowGet(hwnd) != nullptr; }

PlatHwnd plat_WindowFind(const char* className) {
    for (auto& w : g_windows)
        if (w.hwnd && className && strcmp(w.className, className) == 0) return w.hwnd;
    return 0;
}

void plat_WindowSetTitle(PlatHwnd hwnd, const char* title) {
    if (PlatWindow* w = plat_WindowGet(hwnd)) {
        CopyBounded(w->title, sizeof w->title, title);
        plat_Backend()->windowSetTitle(hwnd, title);
    }
}

int plat_WindowGetRect(PlatHwnd hwnd, PlatRect* window) {
    PlatWindow* w = plat_WindowGet(hwnd);
    if (!w || !window) return -1;
    *window = w->rect;
    return 0;
}

int plat_WindowGetClientRect(PlatHwnd hwnd, PlatRect* client) {
    // Our windows have no frame of their own: the client area is the window.
    return plat_WindowGetRect(hwnd, client);
}

int plat_WindowMove(PlatHwnd hwnd, int x, int y, int w, int h) {
    PlatWindow* win = plat_WindowGet(hwnd);
    if (!win) return -1;
    win->rect = PlatRect{x, y, x + w, y + h};
    plat_Backend()->windowMove(hwnd, x, y, w, h);
    return 0;
}

void plat_WindowShow(PlatHwnd hwnd, int cmd) {
    PlatWindow* w = plat_WindowGet(hwnd);
    if (!w) return;
    w->minimized = cmd == PLAT_SW_MINIMIZE;
    w->visible = cmd != PLAT_SW_HIDE;
    plat_Backend()->windowShow(hwnd, cmd);
}

void plat_WindowRaise(PlatHwnd hwnd) {
    if (plat_WindowGet(hwnd)) plat_Backend()->windowRaise(hwnd);
}

int plat_WindowIsMinimized(PlatHwnd hwnd) {
    PlatWindow* w = plat_WindowGet(hwnd);
    return w ? w->minimized : 0;
}

static void ServiceRaiseRequest(void) {
    if (!g_raiseRequested.exchange(0, std::memory_order_acq_rel)) return;
    for (auto& w : g_windows)
        if (w.hwnd && w.visible) {
            plat_WindowShow(w.hwnd, PLAT_SW_RESTORE);
            plat_WindowRaise(w.hwnd);
            break;
        }
}

int plat_PeekMessage(PlatMsg* msg, PlatHwnd hwnd, uint32_t minMsg, uint32_t maxMsg, uint32_t flags) {
    plat_Backend()->pumpNative();
    // Played MIDI buffers come back here, on the main thread.
    plat_MidiPump();
    ServiceRaiseRequest();
    std::lock_guard<std::mutex> lk(g_queueLock);
    for (auto it = g_queue.begin(); it != g_queue.end(); ++it) {
        if (!Matches(*it, hwnd, minMsg, maxMsg)) continue;
        if (msg) *msg = *it;
        if (flags & PM_REMOVE) g_queue.erase(it);
        return 1;
    }
    return 0;
}

int plat_GetMessage(PlatMsg* msg) {
    for (;;) {
        if (plat_PeekMessage(msg, 0, 0, 0, PM_REMOVE)) return msg->message == WM_QUIT ? 0 : 1;
        plat_IdleWait();
    }
}

int plat_PostMessage(PlatHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    PlatMsg m{hwnd, msg, wParam, lParam, 0};
    m.time = g_backend ? g_backend->timeMs() : 0;
    std::lock_guard<std::mutex> lk(g_queueLock);
    if (g_queue.size() >= 10000) return 0;  // as a full system queue would
    g_queue.push_back(m);
    return 1;
}

intptr_t plat_SendMessage(PlatHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    PlatWindow* w = plat_WindowGet(hwnd);
    if (!w) return 0;
    return w->proc(hwnd, msg, wParam, lParam);
}

intptr_t plat_DispatchMessage(const PlatMsg* msg) {
    if (!msg) return 0;
    return plat_SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void plat_TranslateMessage(const PlatMsg*) {
    // Characters arrive from the backends as WM_CHAR already.
}

void plat_PostQuitMessage(int code) { plat_PostMessage(0, WM_QUIT, (uintptr_t)code, 0); }

uint32_t plat_MessageCount(void) {
    std::lock_guard<std::mutex> lk(g_queueLock);
    return (uint32_t)g_queue.size();
}

intptr_t plat_DefWindowProc(PlatHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t) {
    switch (msg) {
    case WM_CLOSE:
        plat_WindowDestroy(hwnd);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_MINIMIZE: plat_WindowShow(hwnd, PLAT_SW_MINIMIZE); break;
        case SC_RESTORE: plat_WindowShow(hwnd, PLAT_SW_RESTORE); break;
        default: break;
        }
        return 0;
    default:
        return 0;
    }
}

void plat_DesktopSize(int* width, int* height, int* bpp) {
    int w = 0, h = 0, b = 0;
    plat_Backend()->desktopSize(&w, &h, &b);
    if (width) *width = w;
    if (height) *height = h;
    if (bpp) *bpp = b;
}

static int FirstButton(uint32_t style) {
    switch (style & 0xF) {
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO: return IDYES;
    case MB_RETRYCANCEL: return IDRETRY;
    default: return IDOK;
    }
}

int plat_MessageBox(PlatHwnd, const char* text, const char* title, uint32_t style) {
    return plat_Backend()->messageBox(text ? text : "", title ? title : "", style, FirstButton(style));
}

int plat_DialogShow(const PlatDialogSpec* spec) {
    if (!spec) return 0;
    char line[2048];
    snprintf(line, sizeof line, "%s: %s\n[%s] [%s]", spec->name ? spec->name : "", spec->text ? spec->text : "",
             spec->goOnText ? spec->goOnText : "", spec->stopText ? spec->stopText : "");
    if (spec->checkText) {
        size_t n = strlen(line);
        snprintf(line + n, sizeof line - n, " [%c] %s", spec->checked ? 'x' : ' ', spec->checkText);
    }
    return plat_Backend()->dialog(spec, line);
}

int plat_WindowPaint(PlatHwnd hwnd, const uint32_t* pixels, int32_t width, int32_t height) {
    if (!plat_WindowGet(hwnd) || !pixels || width <= 0 || height <= 0 || width > 4096 || height > 4096) return -1;
    return plat_Backend()->windowPaint(hwnd, pixels, width, height);
}

int plat_FilterNext(const char* filter, size_t* pos, const char** description, const char** pattern) {
    if (!filter || !pos) return 0;
    size_t p = *pos;
    const char* parts[2];
    for (int i = 0; i < 2; i++) {
        if (p >= PLAT_FILTER_MAX || filter[p] == 0) return 0;
        parts[i] = filter + p;
        size_t n = strnlen(filter + p, PLAT_FILTER_MAX - p);
        if (p + n >= PLAT_FILTER_MAX) return 0;
        p += n + 1;
    }
    if (description) *description = parts[0];
    if (pattern) *pattern = parts[1];
    *pos = p;
    return 1;
}

int plat_FileOpenDialog(PlatHwnd, const char* filter, const char* initialDir, char* file, size_t fileSize,
                        char* fileTitle, size_t titleSize) {
    if (file && fileSize) file[0] = 0;
    if (fileTitle && titleSize) fileTitle[0] = 0;
    if (!filter || !file || !fileSize) return 0;
    char path[4096];
    path[0] = 0;
    if (!plat_Backend()->fileOpenDialog(filter, initialDir, path, sizeof path)) return 0;
    path[sizeof path - 1] = 0;
    struct stat st;
    if (stat(path, &st) != 0 || !S_ISREG(st.st_mode)) return 0;
    char* full = realpath(path, nullptr);
    if (!full) return 0;
    const char* slash = strrchr(full, '/');
    const char* name = slash ? slash + 1 : full;
    int fits = strlen(full) < fileSize && (!fileTitle || strlen(name) < titleSize);
    if (fits) {
        CopyBounded(file, fileSize, full);
        if (fileTitle) CopyBounded(fileTitle, titleSize, name);
    }
    free(full);
    return fits;
}

int plat_CursorShow(int show) { return plat_Backend()->cursorShow(show); }

void plat_CursorClip(const PlatRect* rect) {
    g_clipOn = rect != nullptr;
    if (rect) g_clip = *rect;
    plat_Backend()->cursorClip(rect);
}

void plat_CursorGetPos(int* x, int* y) {
    int a = 0, b = 0;
    plat_Backend()->cursorGetPos(&a, &b);
    if (x) *x = a;
    if (y) *y = b;
}

void plat_CursorSetPos(int x, int y) { plat_Backend()->cursorSetPos(x, y); }

void plat_ClientToScreen(PlatHwnd hwnd, int* x, int* y) {
    if (PlatWindow* w = plat_WindowGet(hwnd)) {
        if (x) *x += w->rect.left;
        if (y) *y += w->rect.top;
    }
}

void plat_ScreenToClient(PlatHwnd hwnd, int* x, int* y) {
    if (PlatWindow* w = plat_WindowGet(hwnd)) {
        if (x) *x -= w->rect.left;
        if (y) *y -= w->rect.top;
    }
}

void plat_CursorSetShape(int shape) { plat_Backend()->cursorSetShape(shape); }
void plat_MouseCapture(PlatHwnd hwnd) { plat_Backend()->mouseCapture(hwnd, 1); }
void plat_MouseReleaseCapture(void) { plat_Backend()->mouseCapture(0, 0); }

// ---- Single instance ------------------------------------------------------

namespace {
constexpr int kMaxInstances = 32;
int g_instanceFd = -1;
char g_instancePath[512];

void InstanceDir(char* out, size_t size) {
    const char* base = getenv("XDG_RUNTIME_DIR");
    if (!base || !*base) base = "/tmp";
    snprintf(out, size, "%s/krx-%u", base, (unsigned)getuid());
    mkdir(out, 0700);
}

// A slot file is held by a copy when its lock is taken.
bool SlotHeld(const char* path, pid_t* pid) {
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bool held = flock(fd, LOCK_EX | LOCK_NB) != 0;
    if (!held) flock(fd, LOCK_UN);
    if (held && pid) {
        char buf[32] = {};
        ssize_t n = read(fd, buf, sizeof buf - 1);
        *pid = n > 0 ? (pid_t)atol(buf) : 0;
    }
    close(fd);
    return held;
}
}  // namespace

int plat_InstanceCount(const char* name) {
    char dir[256], path[512];
    InstanceDir(dir, sizeof dir);
    int count = 0;
    for (int i = 0; i < kMaxInstances; i++) {
        snprintf(path, sizeof path, "%s/%s.%d.lock", dir, name, i);
        if (g_instanceFd >= 0 && strcmp(path, g_instancePath) == 0) continue;
        if (SlotHeld(path, nullptr)) count++;
    }
    return count;
}

int plat_InstanceRegister(const char* name) {
    if (g_instanceFd >= 0) return plat_InstanceCount(name);
    char dir[256], path[512];
    InstanceDir(dir, sizeof dir);
    int retries = 0;
    for (int i = 0; i < kMaxInstances; i++) {
        snprintf(path, sizeof path, "%s/%s.%d.lock", dir, name, i);
        int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) continue;
        // A copy that ends removes its slot file: a lock taken on a file
        // that was removed meanwhile would be seen by nobody.
        struct stat held, named;
        bool locked = flock(fd, LOCK_EX | LOCK_NB) == 0;
        if (locked && (fstat(fd, &held) != 0 || stat(path, &named) != 0 || held.st_ino != named.st_ino ||
                       held.st_dev != named.st_dev)) {
            close(fd);
            if (retries++ < 8) i--;  // the same slot again, with a fresh file
            continue;
        }
        if (locked) {
            char buf[32];
            int n = snprintf(buf, sizeof buf, "%ld\n", (long)getpid());
            if (ftruncate(fd, 0) == 0 && write(fd, buf, (size_t)n) == n) {
            }
            g_instanceFd = fd;
            snprintf(g_instancePath, sizeof g_instancePath, "%s", path);
            break;
        }
        close(fd);
    }
    return plat_InstanceCount(name);
}

int plat_InstanceRaiseOther(const char* name) {
    char dir[256], path[512];
    InstanceDir(dir, sizeof dir);
    for (int i = 0; i < kMaxInstances; i++) {
        snprintf(path, sizeof path, "%s/%s.%d.lock", dir, name, i);
        if (g_instanceFd >= 0 && strcmp(path, g_instancePath) == 0) continue;
        pid_t pid = 0;
        if (SlotHeld(path, &pid) && pid > 0 && pid != getpid()) return kill(pid, SIGUSR1) == 0 ? 0 : -1;
    }
    return -1;
}

void plat_InstanceUnregister(void) {
    if (g_instanceFd < 0) return;
    unlink(g_instancePath);
    close(g_instanceFd);
    g_instanceFd = -1;
}

[[noreturn]] void plat_Exit(int code) {
    plat_InstanceUnregister();
    fflush(nullptr);
    exit(code);
}
