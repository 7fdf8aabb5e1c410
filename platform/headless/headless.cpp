// The headless backend: no window system, virtual time, input from a
// script, message boxes answered from the script and logged. Deterministic,
// for tests and servers.
#include <algorithm>
#include <chrono>
#include <thread>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "platform/audio_backend.h"
#include "platform/backend.h"
#include "platform/harness.h"
#include "platform/joystick.h"
#include "platform/timer.h"

namespace {

struct ScriptEvent {
    uint32_t tick;
    uint32_t message;  // 0 for harness actions
    uintptr_t wParam;
    intptr_t lParam;
    int action;        // kAction*
    std::string text;  // the window title of the toplevel actions
};

enum { kActionNone = 0, kActionClose, kActionFocusOn, kActionFocusOff, kActionToplevel, kActionToplevelClose,
       kActionRestore };

struct State {
    uint64_t now = 0;                 // virtual milliseconds
    bool realtime = false;            // KRX_REALTIME=1: paced by the wall clock
    std::chrono::steady_clock::time_point wallStart{};
    uint32_t tick = 0;                // firings of the 25 ms timer
    uint32_t maxTicks = 0;            // 0: no limit
    bool closeSent = false;
    uint32_t idleAfterClose = 0;
    std::vector<ScriptEvent> events;  // sorted by tick
    size_t nextEvent = 0;
    std::deque<int> boxAnswers;
    std::deque<int> dialogAnswers;
    std::deque<std::string> openFileAnswers;  // "" answers with no file
    uint8_t keysDown[256] = {};               // for the repeat bit of key downs
    int cursorCount = 0;
    int cursorX = 0, cursorY = 0;
    // Buttons held now (MK_ bits), which every move carries as a mouse does.
    uintptr_t buttonsHeld = 0;
    int desktopBpp = 32;
    int desktopWidth = 1024, desktopHeight = 768;
    bool loaded = false;
    // The last picture painted into a window (plat_WindowPaint).
    PlatHwnd paintedWindow = 0;
    std::vector<uint32_t> painted;
    int32_t paintedWidth = 0, paintedHeight = 0;
    // Other programs' top-level windows (title; empty: slot free).
    std::string foreign[PLAT_FOREIGN_WINDOWS];
};

State g;

bool ParseVk(const char* s, uint32_t* vk) {
    static const struct { const char* name; uint32_t vk; } kNames[] = {
        {"BACK", 0x08}, {"TAB", 0x09}, {"RETURN", 0x0D}, {"ENTER", 0x0D}, {"SHIFT", 0x10},
        {"CONTROL", 0x11}, {"CTRL", 0x11}, {"MENU", 0x12}, {"ALT", 0x12}, {"PAUSE", 0x13},
        {"CAPITAL", 0x14}, {"ESCAPE", 0x1B}, {"ESC", 0x1B}, {"SPACE", 0x20}, {"PRIOR", 0x21},
        {"NEXT", 0x22}, {"END", 0x23}, {"HOME", 0x24}, {"LEFT", 0x25}, {"UP", 0x26},
        {"RIGHT", 0x27}, {"DOWN", 0x28}, {"INSERT", 0x2D}, {"DELETE", 0x2E},
        {"MULTIPLY", 0x6A}, {"ADD", 0x6B}, {"SUBTRACT", 0x6D}, {"DECIMAL", 0x6E},
        {"DIVIDE", 0x6F}, {"NUMLOCK", 0x90}, {"SCROLL", 0x91},
    };
    if (isdigit((unsigned char)s[0]) && s[1] != 0) {
        char* end = nullptr;
        unsigned long v = strtoul(s, &end, 0);
        if (*end || v > 255) return false;
        *vk = (uint32_t)v;
        return true;
    }
    if (s[0] && !s[1] && (isalnum((unsigned char)s[0]))) {
        *vk = (uint32_t)toupper((unsigned char)s[0]);
        return true;
    }
    if ((s[0] == 'F' || s[0] == 'f') && isdigit((unsigned char)s[1])) {
        int n = atoi(s + 1);
        if (n >= 1 && n <= 24) {
            *vk = 0x6F + (uint32_t)n;
            return true;
        }
    }
    if (strncasecmp(s, "NUMPAD", 6) == 0 && isdigit((unsigned char)s[6]) && !s[7]) {
        *vk = 0x60 + (uint32_t)(s[6] - '0');
        return true;
    }
    for (auto& n : kNames)
        if (strcasecmp(s, n.name) == 0) {
            *vk = n.vk;
            return true;
        }
    return false;
}

intptr_t KeyLParam(uint32_t vk, bool ext, bool up) {
    uint32_t l = 1u | ((vk & 0xFFu) << 16);
    if (ext) l |= KF_EXTENDED_BIT;
    if (up) l |= KF_REPEAT_BIT | KF_UP_BIT;
    return (intptr_t)(int32_t)l;
}

void Add(uint32_t tick, uint32_t msg, uintptr_t w, intptr_t l, int action = kActionNone, std::string text = {}) {
    g.events.push_back(ScriptEvent{tick, msg, w, l, action, std::move(text)});
}

// The words from the first on, joined by one blank.
std::string Joined(char** words, int from, int n) {
    std::string out;
    for (int i = from; i < n; i++) {
        if (i > from) out += ' ';
        out += words[i];
    }
    return out;
}

bool ParseLine(char* line, int lineNo, const char* file) {
    char* hash = strchr(line, '#');
    if (hash) *hash = 0;
    char* words[24] = {};
    int n = 0;
    for (char* tok = strtok(line, " \t\r\n"); tok && n < 24; tok = strtok(nullptr, " \t\r\n")) words[n++] = tok;
    if (n == 0) return true;
    char* end = nullptr;
    unsigned long tick = strtoul(words[0], &end, 10);
    if (*end || n < 2) {
        fprintf(stderr, "krx: %s:%d: expected a tick and a command\n", file, lineNo);
        return false;
    }
    const char* cmd = words[1];
    uint32_t t = (uint32_t)tick;
    uint32_t vk = 0;
    bool ext = n >= 4 && strcasecmp(words[3], "ext") == 0;
    if ((!strcasecmp(cmd, "keydown") || !strcasecmp(cmd, "keyup") || !strcasecmp(cmd, "key") ||
         !strcasecmp(cmd, "syskeydown") || !strcasecmp(cmd, "syskeyup")) &&
        n >= 3 && ParseVk(words[2], &vk)) {
        bool sys = !strncasecmp(cmd, "sys", 3);
        if (!strcasecmp(cmd, "keyup") || !strcasecmp(cmd, "syskeyup")) {
            Add(t, sys ? WM_SYSKEYUP : WM_KEYUP, vk, KeyLParam(vk, ext, true));
        } else {
            Add(t, sys ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, KeyLParam(vk, ext, false));
            if (!strcasecmp(cmd, "key")) Add(t, WM_KEYUP, vk, KeyLParam(vk, ext, true));
        }
        return true;
    }
    if (!strcasecmp(cmd, "char") && n >= 3) {
        unsigned long c = strlen(words[2]) == 1 ? (unsigned char)words[2][0] : strtoul(words[2], nullptr, 0);
        Add(t, WM_CHAR, (uintptr_t)(c & 0xFF), 1);
        return true;
    }
    if (!strcasecmp(cmd, "text") && n >= 3) {
        for (int i = 2; i < n; i++) {
            for (const char* p = words[i]; *p; p++) Add(t, WM_CHAR, (unsigned char)*p, 1);
            if (i + 1 < n) Add(t, WM_CHAR, ' ', 1);
        }
        return true;
    }
    if (!strcasecmp(cmd, "mouse") && n >= 4) {
        Add(t, WM_MOUSEMOVE, 0, plat_MakeLParam(atoi(words[2]), atoi(words[3])));
        return true;
    }
    static const struct { const char* name; uint32_t down, up, mk; } kButtons[] = {
        {"lbutton", WM_LBUTTONDOWN, WM_LBUTTONUP, 1},
        {"rbutton", WM_RBUTTONDOWN, WM_RBUTTONUP, 2},
        {"mbutton", WM_MBUTTONDOWN, WM_MBUTTONUP, 16},
    };
    for (auto& b : kButtons)
        if (!strcasecmp(cmd, b.name) && n >= 5) {
            bool down = !strcasecmp(words[2], "down");
            bool click = !strcasecmp(words[2], "click");
            intptr_t pos = plat_MakeLParam(atoi(words[3]), atoi(words[4]));
            if (down || click) Add(t, b.down, b.mk, pos);
            if (!down) Add(t, b.up, 0, pos);
            return true;
        }
    if (!strcasecmp(cmd, "focus") && n >= 3) {
        Add(t, 0, 0, 0, atoi(words[2]) ? kActionFocusOn : kActionFocusOff);
        return true;
    }
    if (!strcasecmp(cmd, "close")) {
        Add(t, 0, 0, 0, kActionClose);
        return true;
    }
    if ((!strcasecmp(cmd, "toplevel") || !strcasecmp(cmd, "toplevelclose")) && n >= 3) {
        Add(t, 0, 0, 0, !strcasecmp(cmd, "toplevel") ? kActionToplevel : kActionToplevelClose, Joined(words, 2, n));
        return true;
    }
    if (!strcasecmp(cmd, "restore")) {
        Add(t, 0, 0, 0, kActionRestore);
        return true;
    }
    if (!strcasecmp(cmd, "box") && n >= 3) {
        g.boxAnswers.push_back(atoi(words[2]));
        return true;
    }
    if (!strcasecmp(cmd, "openfile")) {
        g.openFileAnswers.push_back(n >= 3 ? words[2] : "");
        return true;
    }
    if (!strcasecmp(cmd, "dialog") && n >= 3) {
        g.dialogAnswers.push_back(atoi(words[2]));
        return true;
    }
    if (int joy = plat_JoyScriptLine(t, cmd, words + 2, n - 2, file, lineNo)) return joy > 0;
    fprintf(stderr, "krx: %s:%d: unknown script command \"%s\"\n", file, lineNo, cmd);
    return false;
}

void LoadScript(void) {
    if (g.loaded) return;
    g.loaded = true;
    if (const char* m = getenv("KRX_MAXTICKS")) g.maxTicks = (uint32_t)strtoul(m, nullptr, 10);
    if (const char* r = getenv("KRX_REALTIME")) g.realtime = strcmp(r, "1") == 0;
    g.wallStart = std::chrono::steady_clock::now();
    const char* path = getenv("KRX_SCRIPT");
    if (!path || !*path) return;
    FILE* f = fopen(path, "r");
    if (!f) {
        fprintf(stderr, "krx: cannot read the input script \"%s\"\n", path);
        return;
    }
    std::string line;
    int lineNo = 0;
    for (int c = fgetc(f);; c = fgetc(f)) {
        if (c == EOF || c == '\n') {
            lineNo++;
            std::vector<char> buf(line.begin(), line.end());
            buf.push_back(0);
            ParseLine(buf.data(), lineNo, path);
            line.clear();
            if (c == EOF) break;
        } else {
            line.push_back((char)c);
        }
    }
    fclose(f);
    // Stable: events of one tick keep the order of the script.
    std::stable_sort(g.events.begin(), g.events.end(),
                     [](const ScriptEvent& a, const ScriptEvent& b) { return a.tick < b.tick; });
}

void PostDue(void) {
    PlatHwnd main = plat_WindowFirst();
    if (!main) return;
    while (g.nextEvent < g.events.size() && g.events[g.nextEvent].tick <= g.tick) {
        const ScriptEvent& e = g.events[g.nextEvent++];
        switch (e.action) {
        case kActionClose: plat_PostMessage(main, WM_CLOSE, 0, 0); break;
        case kActionFocusOff:
            plat_SendMessage(main, WM_ACTIVATE, WA_INACTIVE, 0);
            plat_SendMessage(main, WM_ACTIVATEAPP, 0, 0);
            plat_SendMessage(main, WM_KILLFOCUS, 0, 0);
            break;
        case kActionToplevel: plat_HarnessToplevelOpen(e.text.c_str()); break;
        case kActionToplevelClose: plat_HarnessToplevelClose(e.text.c_str()); break;
        case kActionRestore:
            // The user restores the minimised main window.
            if (plat_WindowIsMinimized(main)) plat_WindowShow(main, PLAT_SW_RESTORE);
            break;
        case kActionFocusOn:
            plat_SendMessage(main, WM_ACTIVATEAPP, 1, 0);
            plat_SendMessage(main, WM_ACTIVATE, WA_ACTIVE, 0);
            plat_SendMessage(main, WM_SETFOCUS, 0, 0);
            break;
        default:
            if (e.message == WM_MOUSEMOVE || (e.message >= WM_LBUTTONDOWN && e.message <= WM_MBUTTONDBLCLK)) {
                g.cursorX = plat_LoWordSigned(e.lParam);
                g.cursorY = plat_HiWordSigned(e.lParam);
            }
            intptr_t lParam = e.lParam;
            uintptr_t wParam = e.wParam;
            if (e.message == WM_LBUTTONDOWN || e.message == WM_RBUTTONDOWN || e.message == WM_MBUTTONDOWN)
                g.buttonsHeld |= e.wParam;
            if (e.message == WM_LBUTTONUP) g.buttonsHeld &= ~(uintptr_t)1;
            if (e.message == WM_RBUTTONUP) g.buttonsHeld &= ~(uintptr_t)2;
            if (e.message == WM_MBUTTONUP) g.buttonsHeld &= ~(uintptr_t)16;
            if (e.message == WM_MOUSEMOVE) wParam = g.buttonsHeld;
            if (e.message >= WM_KEYDOWN && e.message <= WM_SYSKEYUP && e.message != WM_CHAR &&
                e.message != WM_SYSCHAR) {
                // As a keyboard does: a key that is already down repeats.
                uint32_t vk = (uint32_t)(e.wParam & 0xFF);
                bool down = e.message == WM_KEYDOWN || e.message == WM_SYSKEYDOWN;
                uint32_t bits = (uint32_t)lParam;
                if (down && g.keysDown[vk]) bits |= KF_REPEAT_BIT;
                if (e.message == WM_SYSKEYDOWN || e.message == WM_SYSKEYUP) bits |= KF_ALTDOWN_BIT;
                g.keysDown[vk] = down;
                lParam = (intptr_t)(int32_t)bits;
            }
            plat_PostMessage(main, e.message, wParam, lParam);
            break;
        }
    }
}

int HInit(void) {
    LoadScript();
    return 0;
}
void HShutdown(void) {}
int HWindowCreate(PlatHwnd, const char*, int, int, int) { return 0; }
void HWindowDestroy(PlatHwnd) {}
void HWindowSetTitle(PlatHwnd, const char*) {}
void HWindowShow(PlatHwnd, int) {}
void HWindowRaise(PlatHwnd) {}
void HWindowMove(PlatHwnd, int, int, int, int) {}
void HPumpNative(void) { PostDue(); }

// With KRX_REALTIME=1 the virtual clock never runs ahead of the wall
// clock, so two processes that meet over the network keep pace.
void Pace(void) {
    if (!g.realtime) return;
    std::this_thread::sleep_until(g.wallStart + std::chrono::milliseconds(g.now));
}

// One step of virtual time: run the next timer that is due, or let one
// millisecond pass when none runs.
void Advance(void) {
    uint64_t due = plat_TimerNextDue();
    bool gameTick = false;
    if (due == UINT64_MAX) {
        g.now += 1;
    } else {
        if (due > g.now) g.now = due;
        gameTick = true;
    }
    Pace();
    if (gameTick && g.maxTicks && g.tick >= g.maxTicks) {
        // The run is over: close the main window instead of counting on.
        if (!g.closeSent) {
            g.closeSent = true;
            if (PlatHwnd main = plat_WindowFirst()) plat_PostMessage(main, WM_CLOSE, 0, 0);
            return;
        }
        if (++g.idleAfterClose > 100000) {
            fprintf(stderr, "krx: the program did not stop after KRX_MAXTICKS\n");
            plat_Exit(2);
        }
        g.now += 1;
        return;
    }
    if (gameTick) {
        plat_TimerRunDue(g.now);
    }
}

void HIdleWait(void) { Advance(); }

void HSleep(uint32_t ms) {
    uint64_t until = g.now + ms;
    while (g.now < until) {
        uint64_t due = plat_TimerNextDue();
        if (due > until || (g.maxTicks && g.tick >= g.maxTicks)) {
            g.now = until;
            Pace();
            break;
        }
        Advance();
    }
}

uint32_t HTimeMs(void) { return (uint32_t)g.now; }

int HMessageBox(const char* text, const char* title, uint32_t, int defAnswer) {
    fprintf(stderr, "box: %s: %s\n", title, text);
    int answer = defAnswer;
    if (!g.boxAnswers.empty()) {
        answer = g.boxAnswers.front();
        g.boxAnswers.pop_front();
    }
    return answer;
}

int HDialog(const PlatDialogSpec* spec, const char* logText) {
    fprintf(stderr, "dialog: %s\n", logText);
    int answer = spec->goOnId;
    if (!g.dialogAnswers.empty()) {
        answer = g.dialogAnswers.front();
        g.dialogAnswers.pop_front();
    }
    return answer;
}

int HWindowPaint(PlatHwnd hwnd, const uint32_t* pixels, int32_t width, int32_t height) {
    g.paintedWindow = hwnd;
    g.painted.assign(pixels, pixels + (size_t)width * (size_t)height);
    g.paintedWidth = width;
    g.paintedHeight = height;
    return 0;
}

int HFileOpenDialog(const char* filter, const char*, char* path, size_t pathSize) {
    const char* description = "";
    size_t pos = 0;
    plat_FilterNext(filter, &pos, &description, nullptr);
    fprintf(stderr, "dialog: open-file: %s\n", description);
    if (g.openFileAnswers.empty()) return 0;
    std::string answer = g.openFileAnswers.front();
    g.openFileAnswers.pop_front();
    if (answer.empty() || answer.size() >= pathSize) return 0;
    snprintf(path, pathSize, "%s", answer.c_str());
    return 1;
}

void HDesktopSize(int* w, int* h, int* bpp) {
    *w = g.desktopWidth;
    *h = g.desktopHeight;
    *bpp = g.desktopBpp;
}

int HCursorShow(int show) { return show ? ++g.cursorCount : --g.cursorCount; }
void HCursorClip(const PlatRect*) {}
void HCursorGetPos(int* x, int* y) {
    int cx = g.cursorX, cy = g.cursorY;
    plat_ClientToScreen(plat_WindowFirst(), &cx, &cy);
    *x = cx;
    *y = cy;
}
void HCursorSetPos(int x, int y) {
    plat_ScreenToClient(plat_WindowFirst(), &x, &y);
    g.cursorX = x;
    g.cursorY = y;
}
void HCursorSetShape(int) {}
void HMouseCapture(PlatHwnd, int) {}

}  // namespace

void plat_HarnessTimerFired(uint32_t intervalMs) {
    // Only the game clock's 25 ms timer counts script ticks.
    if (intervalMs == 25) {
        g.tick++;
        plat_HeadlessAudioTick();
        PostDue();
    }
}

uint32_t plat_HarnessTick(void) { return g.tick; }

void plat_HarnessDesktopDepthSet(int bpp) { g.desktopBpp = bpp; }
void plat_HarnessDesktopSizeSet(int width, int height) {
    g.desktopWidth = width;
    g.desktopHeight = height;
}

const uint32_t* plat_HarnessWindowPicture(PlatHwnd* hwnd, int32_t* width, int32_t* height) {
    if (hwnd) *hwnd = g.paintedWindow;
    if (width) *width = g.paintedWidth;
    if (height) *height = g.paintedHeight;
    return g.painted.empty() ? nullptr : g.painted.data();
}

const char* plat_HarnessToplevelGet(int slot) {
    if (slot < 0 || slot >= PLAT_FOREIGN_WINDOWS || g.foreign[slot].empty()) return nullptr;
    return g.foreign[slot].c_str();
}

int plat_HarnessToplevelOpen(const char* title) {
    if (!title || !*title) return -1;
    for (int i = 0; i < PLAT_FOREIGN_WINDOWS; i++)
        if (g.foreign[i].empty()) {
            g.foreign[i].assign(title, strnlen(title, PLAT_TITLE_MAX - 1));
            return 0;
        }
    return -1;
}

void plat_HarnessToplevelClose(const char* title) {
    if (!title) return;
    for (auto& f : g.foreign)
        if (!f.empty() && f == std::string(title, strnlen(title, PLAT_TITLE_MAX - 1))) {
            f.clear();
            return;
        }
}

void plat_HarnessReset(void) {
    g = State{};
    plat_JoyHeadlessReset();
}

const PlatBackend plat_HeadlessBackend = {
    "headless",     HInit,         HShutdown,       HWindowCreate, HWindowDestroy, HWindowSetTitle,
    HWindowShow,    HWindowRaise,  HWindowMove,     HPumpNative,   HIdleWait,      HSleep,
    HTimeMs,        HMessageBox,   HDialog,         HDesktopSize,  HCursorShow,    HCursorClip,
    HCursorGetPos,  HCursorSetPos, HCursorSetShape, HMouseCapture, 1,
    HFileOpenDialog, HWindowPaint,
};
