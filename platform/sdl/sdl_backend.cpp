// The SDL2 backend: a real window, real time, native message boxes. Input
// events become the window messages the program has always received.
#include <SDL.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/sdl/sdl_events.h"
#include "platform/sdl/sdl_tables.h"

namespace {

std::chrono::steady_clock::time_point g_start;
int g_cursorCount = 0;
// Our windows after the main one (the loading window).
std::vector<PlatHwnd> g_secondary;

SDL_Window* Native(PlatHwnd hwnd) {
    PlatWindow* w = plat_WindowGet(hwnd);
    return w ? (SDL_Window*)w->native : nullptr;
}

// Our window of an SDL window id; 0 for a window that is not ours (a
// message box), whose events concern nobody here.
PlatHwnd HwndOf(uint32_t windowId) { return plat_WindowFromNative(SDL_GetWindowFromID(windowId)); }

// Puts the input focus back on a window of ours.
void FocusNative(PlatHwnd hwnd) {
    if (SDL_Window* win = Native(hwnd)) {
        SDL_RaiseWindow(win);
        SDL_SetWindowInputFocus(win);
    }
}

int SInit(void) {
    g_start = std::chrono::steady_clock::now();
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        fprintf(stderr, "krx: SDL could not start: %s\n", SDL_GetError());
        return -1;
    }
    sdl_EventsInit();
    return 0;
}

void SShutdown(void) {
    g_secondary.clear();
    SDL_Quit();
}

int SWindowCreate(PlatHwnd hwnd, const char* title, int w, int h, int visible) {
    PlatHwnd main = plat_WindowFirst();
    bool secondary = main && main != hwnd;
    SDL_Window* win = SDL_CreateWindow(title ? title : "", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                       w > 0 ? w : 1, h > 0 ? h : 1, sdl_WindowFlags(visible, secondary));
    if (!win) return -1;
    // Showing a second window may still move the focus to it.
    if (secondary && visible) FocusNative(sdl_FocusOwner(hwnd));
    // A second window belongs to the main one: the window manager keeps it
    // above its owner, also when the owner is raised to take the focus back.
    if (secondary)
        if (SDL_Window* owner = Native(main)) SDL_SetWindowModalFor(win, owner);
    // A second window is painted through its own surface (SWindowPaint).
    // Made now: on X11 a window without one ignores being moved.
    if (secondary) {
        SDL_GetWindowSurface(win);
        g_secondary.push_back(hwnd);
    }
    PlatWindow* pw = plat_WindowGet(hwnd);
    pw->native = win;
    int x = 0, y = 0;
    SDL_GetWindowPosition(win, &x, &y);
    pw->rect = PlatRect{x, y, x + w, y + h};
    return 0;
}

void SWindowDestroy(PlatHwnd hwnd) {
    if (SDL_Window* win = Native(hwnd)) SDL_DestroyWindow(win);
    std::erase(g_secondary, hwnd);
}

void SWindowSetTitle(PlatHwnd hwnd, const char* title) {
    if (SDL_Window* win = Native(hwnd)) SDL_SetWindowTitle(win, title ? title : "");
}

void SWindowShow(PlatHwnd hwnd, int cmd) {
    SDL_Window* win = Native(hwnd);
    if (!win) return;
    switch (cmd) {
    case PLAT_SW_HIDE: SDL_HideWindow(win); break;
    case PLAT_SW_MINIMIZE: SDL_MinimizeWindow(win); break;
    case PLAT_SW_RESTORE: SDL_RestoreWindow(win); SDL_ShowWindow(win); break;
    default: SDL_ShowWindow(win); break;
    }
}

// The main window raised keeps the windows it owns above it, also where no
// window manager does that (their ownership tells one), and keeps the focus.
void SWindowRaise(PlatHwnd hwnd) {
    SDL_Window* win = Native(hwnd);
    if (!win) return;
    SDL_RaiseWindow(win);
    if (hwnd != plat_WindowFirst()) return;
    bool raised = false;
    for (PlatHwnd other : g_secondary) {
        PlatWindow* w = plat_WindowGet(other);
        if (!w || !w->visible || !w->native) continue;
        SDL_RaiseWindow((SDL_Window*)w->native);
        raised = true;
    }
    if (raised) SDL_SetWindowInputFocus(win);
}

void SWindowMove(PlatHwnd hwnd, int x, int y, int w, int h) {
    if (SDL_Window* win = Native(hwnd)) {
        SDL_SetWindowPosition(win, x, y);
        // Only a new size is set: on X11 sizing a fixed-size window also
        // raises it, which would bury the windows the main one owns.
        int curW = 0, curH = 0;
        SDL_GetWindowSize(win, &curW, &curH);
        if (w > 0 && h > 0 && (w != curW || h != curH)) SDL_SetWindowSize(win, w, h);
    }
}

void SPumpNative(void) {
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) {
        PlatHwnd hwnd = 0;
        switch (ev.type) {
        case SDL_QUIT:
            if ((hwnd = plat_WindowFirst()) != 0) plat_PostMessage(hwnd, WM_CLOSE, 0, 0);
            break;
        case SDL_WINDOWEVENT: {
            hwnd = HwndOf(ev.window.windowID);
            PlatWindow* w = plat_WindowGet(hwnd);
            if (!w) break;
            switch (ev.window.event) {
            case SDL_WINDOWEVENT_CLOSE: plat_PostMessage(hwnd, WM_CLOSE, 0, 0); break;
            case SDL_WINDOWEVENT_FOCUS_GAINED:
                if (PlatHwnd owner = sdl_FocusOwner(hwnd)) {
                    // Our loading window took it: the main window keeps it.
                    FocusNative(owner);
                    break;
                }
                plat_PostMessage(hwnd, WM_ACTIVATEAPP, 1, 0);
                plat_PostMessage(hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
                plat_PostMessage(hwnd, WM_SETFOCUS, 0, 0);
                break;
            case SDL_WINDOWEVENT_FOCUS_LOST:
                plat_PostMessage(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
                plat_PostMessage(hwnd, WM_ACTIVATEAPP, 0, 0);
                plat_PostMessage(hwnd, WM_KILLFOCUS, 0, 0);
                break;
            case SDL_WINDOWEVENT_MOVED: {
                int ww = w->rect.right - w->rect.left, wh = w->rect.bottom - w->rect.top;
                w->rect = PlatRect{ev.window.data1, ev.window.data2, ev.window.data1 + ww, ev.window.data2 + wh};
                plat_PostMessage(hwnd, WM_MOVE, 0, plat_MakeLParam(ev.window.data1, ev.window.data2));
                break;
            }
            case SDL_WINDOWEVENT_MINIMIZED: w->minimized = 1; break;
            case SDL_WINDOWEVENT_RESTORED: w->minimized = 0; break;
            case SDL_WINDOWEVENT_EXPOSED: plat_PostMessage(hwnd, WM_PAINT, 0, 0); break;
            default: break;
            }
            break;
        }
        case SDL_MOUSEMOTION:
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            // Positions over the loading window are not the main window's.
            if (PlatHwnd over = HwndOf(ev.type == SDL_MOUSEMOTION ? ev.motion.windowID : ev.button.windowID);
                over && over != plat_WindowFirst())
                break;
            sdl_TranslateInputEvent(&ev);
            break;
        default:
            sdl_TranslateInputEvent(&ev);
            break;
        }
    }
}

void SIdleWait(void) { std::this_thread::sleep_for(std::chrono::microseconds(500)); }
void SSleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

uint32_t STimeMs(void) {
    return (uint32_t)std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - g_start)
        .count();
}

// Shows a box, or hands it to the test hook. The button id, or -1 when
// the box was closed without one or could not be shown.
int ShowBox(const SDL_MessageBoxData* data, int* failed) {
    int answer = -1;
    int rc = sdl_TestHooks.messageBox ? sdl_TestHooks.messageBox(data, &answer) : SDL_ShowMessageBox(data, &answer);
    *failed = rc != 0;
    return rc != 0 ? -1 : answer;
}

int SMessageBox(const char* text, const char* title, uint32_t style, int defAnswer) {
    SDL_MessageBoxButtonData buttons[3];
    int count = 0;
    auto add = [&](int id, const char* label) {
        buttons[count].flags = count == 0 ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT : 0;
        buttons[count].buttonid = id;
        buttons[count].text = label;
        count++;
    };
    switch (style & 0xF) {
    case MB_OKCANCEL: add(IDOK, "OK"); add(IDCANCEL, "Cancel"); break;
    case MB_ABORTRETRYIGNORE: add(IDABORT, "Abort"); add(IDRETRY, "Retry"); add(IDIGNORE, "Ignore"); break;
    case MB_YESNOCANCEL: add(IDYES, "Yes"); add(IDNO, "No"); add(IDCANCEL, "Cancel"); break;
    case MB_YESNO: add(IDYES, "Yes"); add(IDNO, "No"); break;
    case MB_RETRYCANCEL: add(IDRETRY, "Retry"); add(IDCANCEL, "Cancel"); break;
    default: add(IDOK, "OK"); break;
    }
    Uint32 flags = (style & 0xF0) == MB_ICONSTOP ? SDL_MESSAGEBOX_ERROR
                   : (style & 0xF0) == MB_ICONWARNING ? SDL_MESSAGEBOX_WARNING
                                                       : SDL_MESSAGEBOX_INFORMATION;
    SDL_MessageBoxData data{flags, nullptr, title, text, count, buttons, nullptr};
    fprintf(stderr, "box: %s: %s\n", title, text);
    int failed = 0;
    int answer = ShowBox(&data, &failed);
    return answer < 0 ? defAnswer : answer;
}

// The go-on button (Return), a button that goes on with the check box
// ticked when there is one, and the stop button (Escape). Closing the box
// stops.
int SDialog(const PlatDialogSpec* spec, const char* logText) {
    fprintf(stderr, "dialog: %s\n", logText);
    SDL_MessageBoxButtonData buttons[3];
    int count = 0;
    buttons[count++] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, spec->goOnId, spec->goOnText ? spec->goOnText : ""};
    // The check box's own text ("Do not show this message again") on a
    // button that goes on with the box ticked. Boxes make every button as
    // wide as the widest, so the label is kept to that text alone.
    if (spec->checkText) buttons[count++] = {0, spec->goOnId | PLAT_DIALOG_TICKED, spec->checkText};
    buttons[count++] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, spec->stopId, spec->stopText ? spec->stopText : ""};
    SDL_MessageBoxData data{SDL_MESSAGEBOX_WARNING, nullptr, spec->title ? spec->title : "",
                            spec->text ? spec->text : "", count, buttons, nullptr};
    int failed = 0;
    int answer = ShowBox(&data, &failed);
    // A box that cannot be shown at all goes on, as an unattended run does.
    if (failed) return spec->goOnId;
    return answer < 0 ? spec->stopId : answer;
}

// The picture goes straight onto the window's own surface; the display's
// renderer belongs to the main window only.
int SWindowPaint(PlatHwnd hwnd, const uint32_t* pixels, int32_t width, int32_t height) {
    SDL_Window* win = Native(hwnd);
    // The main window is the display's: its renderer rules out a surface.
    if (!win || hwnd == plat_WindowFirst()) return -1;
    SDL_Surface* target = SDL_GetWindowSurface(win);
    if (!target) return -1;
    SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels), width, height, 32,
                                                              width * 4, SDL_PIXELFORMAT_RGB888);
    if (!picture) return -1;
    int rc = SDL_BlitSurface(picture, nullptr, target, nullptr);
    SDL_FreeSurface(picture);
    if (rc == 0) rc = SDL_UpdateWindowSurface(win);
    return rc == 0 ? 0 : -1;
}

// Runs a dialog tool with argv (no shell) and reads the first line it
// prints. 1 when it printed one and ended with success.
int RunDialogTool(const std::vector<std::string>& args, char* out, size_t outSize) {
    int fds[2];
    if (pipe(fds) != 0) return 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    int err = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (err != 0) {
        close(fds[0]);
        return 0;
    }
    std::string text;
    char buf[512];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0 && text.size() < 65536) text.append(buf, (size_t)n);
    close(fds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    size_t eol = text.find('\n');
    if (eol != std::string::npos) text.resize(eol);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || text.empty() || text.size() >= outSize) return 0;
    snprintf(out, outSize, "%s", text.c_str());
    return 1;
}

// The desktop's own file chooser through zenity or kdialog; none chosen
// when neither is installed.
int SFileOpenDialog(const char* filter, const char* initialDir, char* path, size_t pathSize) {
    std::string dir = initialDir && *initialDir ? initialDir : ".";
    std::vector<std::string> zenity = {"zenity", "--file-selection", "--filename=" + dir + "/"};
    std::string kfilter;
    size_t pos = 0;
    const char* first = "";
    const char* description = nullptr;
    const char* pattern = nullptr;
    while (plat_FilterNext(filter, &pos, &description, &pattern)) {
        if (!*first) first = description;
        std::string patterns = pattern;
        for (char& c : patterns)
            if (c == ';') c = ' ';
        zenity.push_back(std::string("--file-filter=") + description + " | " + patterns);
        if (!kfilter.empty()) kfilter += "\n";
        kfilter += patterns + "|" + description;
    }
    fprintf(stderr, "dialog: open-file: %s\n", first);
    if (RunDialogTool(zenity, path, pathSize)) return 1;
    return RunDialogTool({"kdialog", "--getopenfilename", dir, kfilter}, path, pathSize);
}

void SDesktopSize(int* w, int* h, int* bpp) {
    SDL_DisplayMode mode;
    if (sdl_TestHooks.desktopBits) {
        *w = 1024;
        *h = 768;
        *bpp = sdl_TestHooks.desktopBits;
        return;
    }
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        *w = mode.w;
        *h = mode.h;
        *bpp = (int)SDL_BITSPERPIXEL(mode.format) == 24 ? 32 : (int)SDL_BITSPERPIXEL(mode.format);
    } else {
        *w = 1024;
        *h = 768;
        *bpp = 32;
    }
}

int SCursorShow(int show) {
    g_cursorCount += show ? 1 : -1;
    SDL_ShowCursor(g_cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return g_cursorCount;
}

void SCursorClip(const PlatRect* rect) {
    if (SDL_Window* win = Native(plat_WindowFirst())) SDL_SetWindowGrab(win, rect ? SDL_TRUE : SDL_FALSE);
}

void SCursorGetPos(int* x, int* y) { SDL_GetGlobalMouseState(x, y); }

void SCursorSetPos(int x, int y) {
    PlatHwnd hwnd = plat_WindowFirst();
    if (SDL_Window* win = Native(hwnd)) {
        plat_ScreenToClient(hwnd, &x, &y);
        SDL_WarpMouseInWindow(win, x, y);
    }
}

void SCursorSetShape(int shape) {
    static SDL_Cursor* arrow = nullptr;
    static SDL_Cursor* ibeam = nullptr;
    if (shape == PLAT_CURSOR_IBEAM) {
        if (!ibeam) ibeam = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_IBEAM);
        if (ibeam) SDL_SetCursor(ibeam);
    } else if (shape != PLAT_CURSOR_NONE) {
        if (!arrow) arrow = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
        if (arrow) SDL_SetCursor(arrow);
    }
}

void SMouseCapture(PlatHwnd, int on) { SDL_CaptureMouse(on ? SDL_TRUE : SDL_FALSE); }

}  // namespace

PlatSdlTestHooks sdl_TestHooks = {};

void sdl_SetTestHooks(const PlatSdlTestHooks* hooks) { sdl_TestHooks = hooks ? *hooks : PlatSdlTestHooks{}; }

const PlatBackend plat_SdlBackend = {
    "sdl",          SInit,         SShutdown,       SWindowCreate, SWindowDestroy, SWindowSetTitle,
    SWindowShow,    SWindowRaise,  SWindowMove,     SPumpNative,   SIdleWait,      SSleep,
    STimeMs,        SMessageBox,   SDialog,         SDesktopSize,  SCursorShow,    SCursorClip,
    SCursorGetPos,  SCursorSetPos, SCursorSetShape, SMouseCapture, 0,
    SFileOpenDialog, SWindowPaint,
};
