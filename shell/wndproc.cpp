// The main window procedure and the message pumps. Every window message of
// the program arrives here and becomes the shell's own state.
#include "shell/wndproc.h"

#include <atomic>
#include <cstring>

#include "base/mem.h"
#include "display/hw3d.h"
#include "display/otw.h"
#include "input/ejoy.h"
#include "input/inmap.h"
#include "render/render.h"
#include "shell/loadwin.h"
#include "shell/runner.h"
#include "sound/music.h"
#include "sound/snd.h"

int32_t app_QuitFlag = 0;
PlatHwnd app_MainHwnd = 0;
AppCurrentMessage app_CurrentMessage;
int32_t app_InactiveFlag = 0;
int32_t app_CaptureWanted = 0;
int32_t app_CaptureHeld = 0;
int32_t app_MinimizeOnDeactivate = 1;
uint32_t app_MessageCount = 0;
AppWindowBorders app_WindowBorders;
int32_t app_RendererMessageValue = 0;
void (*app_UserMessageHook)(int32_t value) = nullptr;
void* app_FocusObject = nullptr;

namespace {

// The window that posted routines go to. The mixer thread posts too, so it
// reads this copy of the main window handle rather than app_MainHwnd.
std::atomic<PlatHwnd> g_postWindow{0};

// ---- Posted routines --------------------------------------------------------

typedef void (*PostedRoutine)(intptr_t argument);

void PostedSampleRelease(intptr_t argument) {
    // The mixer's end word holds 32 bits: owners travel as handles.
    if (argument <= 0 || argument > 0x7FFFFFFF) return;
    snd_SampleReleaseCallback(snd_OwnerFromHandle((uint32_t)argument));
}

void PostedRendererMessage(intptr_t value) {
    app_RendererMessageValue = (int32_t)value;
    render_UserMessageEventPost((uint16_t)value);
}

// The only routines WM_USER runs: its wParam is compared against these and
// never called as an address of its own.
const PostedRoutine kPostable[] = {PostedSampleRelease, PostedRendererMessage};

void PostRoutine(PostedRoutine routine, intptr_t argument) {
    plat_PostMessage(g_postWindow.load(std::memory_order_acquire), WM_USER, reinterpret_cast<uintptr_t>(routine),
                     argument);
}

void RunPosted(uintptr_t wParam, intptr_t lParam) {
    if (wParam == 0) return;
    for (PostedRoutine r : kPostable)
        if (reinterpret_cast<uintptr_t>(r) == wParam) {
            r(lParam);
            return;
        }
}

// ---- Window procedure helpers -------------------------------------------------

bool FullScreenOrCard(void) { return (otw_DisplayOpen && !otw_State.windowed) || hw3d_Active; }

void RecordBorders(PlatHwnd hwnd) {
    PlatRect window, client;
    if (plat_WindowGetRect(hwnd, &window) != 0 || plat_WindowGetClientRect(hwnd, &client) != 0) return;
    app_WindowBorders.top = client.top - window.top;
    app_WindowBorders.right = window.right - client.right;
    app_WindowBorders.left = client.left - window.left;
    app_WindowBorders.bottom = window.bottom - client.bottom;
}

void ActivateApp(PlatHwnd hwnd, bool activating) {
    if (activating) {
        if (FullScreenOrCard()) plat_SendMessage(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
        app_StateEnterReset();
        app_InactiveFlag = 0;
    } else {
        if (FullScreenOrCard() && app_MinimizeOnDeactivate) plat_SendMessage(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        app_InactiveFlag = 1;
    }
    inmap_StateReset();
    inmap_SuspendFlag = app_InactiveFlag;
    app_CursorUnclip();
}

// Button bits of a non-client button message: bit 0 left, bit 1 right.
int32_t NonClientButtons(uint32_t msg) {
    int32_t bits = app_MouseState.buttons;
    switch (msg) {
    case WM_NCLBUTTONDOWN: return bits | 1;
    case WM_NCLBUTTONUP: return bits & ~1;
    case WM_NCRBUTTONDOWN: return bits | 2;
    case WM_NCRBUTTONUP: return bits & ~2;
    default: return bits;
    }
}

}  // namespace

intptr_t app_MainWndProc(PlatHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    app_CurrentMessage = AppCurrentMessage{hwnd, msg, wParam, lParam};
    switch (msg) {
    case WM_CREATE:
        g_postWindow.store(hwnd, std::memory_order_release);
        otw_FitWindow(hwnd, 640, 480);
        RecordBorders(hwnd);
        return 0;
    case WM_DESTROY:
        app_TimerStopAndNotify();
        app_QuitFlag = 1;
        plat_PostQuitMessage(0);
        app_MainHwnd = 0;
        g_postWindow.store(0, std::memory_order_release);
        return 0;
    case WM_MOVE:
        app_LoadingFollowMain();
        return 0;
    case WM_ACTIVATE:
        if (hw3d_Active && hw3d_Descriptor.control)
            hw3d_Descriptor.control(wParam == 0 ? HW3D_CTL_DEACTIVATED : HW3D_CTL_ACTIVATED);
        return 0;
    case WM_SETFOCUS:
        app_FocusFlag.store(1, std::memory_order_release);
        if (app_CaptureWanted && !app_CaptureHeld) {
            plat_MouseCapture(hwnd);
            app_CaptureHeld = 1;
        }
        return 0;
    case WM_KILLFOCUS:
        // Keys held while the focus goes never send their key up here: let
        // the keyboard layer see them go up so nothing stays pressed.
        app_KeyReleaseAll();
        app_FocusFlag.store(0, std::memory_order_release);
        return 0;
    case WM_PAINT: return 0;
    case WM_CLOSE:
        app_MinimizeOnDeactivate = 0;
        plat_WindowDestroy(hwnd);
        return 0;
    case WM_ACTIVATEAPP:
        ActivateApp(hwnd, wParam != 0);
        return 0;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
        app_MouseTrackUpdate(msg, wParam, lParam);
        app_MouseTranslate(NonClientButtons(msg), lParam, msg, 0);
        return plat_DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
        app_MouseTrackUpdate(msg, wParam, lParam);
        return 0;
    case WM_KEYDOWN:
        app_KeyMessageDown(wParam, lParam);
        return 0;
    case WM_KEYUP:
        app_KeyMessageUp(wParam, lParam);
        return 0;
    case WM_CHAR:
        app_KeyMessageChar(wParam);
        return 0;
    case WM_SYSKEYDOWN:
        app_KeyMessageDown(wParam, lParam);
        return plat_DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_SYSKEYUP:
        app_KeyMessageUp(wParam, lParam);
        return plat_DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_SYSCOMMAND:
        // Alt alone must not open the system menu, and the screen saver must
        // not start while the program runs.
        if ((wParam >= 0xF100 && wParam <= 0xF10F) || (wParam >= 0xF140 && wParam <= 0xF14F)) return 0;
        return plat_DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        app_MouseTrackUpdate(msg, wParam, lParam);
        app_MouseTranslate((int32_t)(wParam & 3), lParam, msg, 1);
        return 0;
    case WM_CAPTURECHANGED:
        app_CaptureHeld = 0;
        return 0;
    case MM_WOM_DONE:
        snd_WaveOutDone();
        return 0;
    case WM_USER:
        RunPosted(wParam, lParam);
        return 0;
    default: return plat_DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

void app_PumpMessagesEx(void) {
    if (!app_QuitFlag) {
        PlatMsg m;
        while (plat_PeekMessage(&m, 0, 0, 0, PM_REMOVE)) {
            app_MessageCount++;
            if (m.message == WM_QUIT) {
                app_QuitFlag = 1;
                break;
            }
            plat_TranslateMessage(&m);
            plat_DispatchMessage(&m);
            if (app_QuitFlag) break;
        }
    }
    music_CdTrackPump();
    snd_WavStreamPump();
    app_MousePoll();
    ejoy_InputRead();
}

int32_t app_PumpMessages(void) {
    PlatMsg m;
    while (plat_PeekMessage(&m, 0, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) return 1;
        plat_TranslateMessage(&m);
        plat_DispatchMessage(&m);
    }
    music_CdTrackPump();
    snd_WavStreamPump();
    // Callers read the result as "WM_QUIT was removed": the MIDI poll's own
    // result must not pass for that.
    music_MidiPoll();
    return 0;
}

uintptr_t app_PumpMouseMessages(void) {
    uintptr_t last = 0;
    PlatMsg m;
    while (!app_QuitFlag) {
        // WM_QUIT is taken whatever the filter, as the system's own filtered
        // peek does.
        if (plat_PeekMessage(&m, 0, WM_QUIT, WM_QUIT, PM_REMOVE)) {
            app_QuitFlag = 1;
            break;
        }
        if (!plat_PeekMessage(&m, 0, WM_MOUSEMOVE, WM_MBUTTONDBLCLK, PM_REMOVE)) break;
        last = m.wParam;
        plat_TranslateMessage(&m);
        plat_DispatchMessage(&m);
    }
    return last;
}

void vid_PostDeferredCall(intptr_t argument) { PostRoutine(PostedSampleRelease, argument); }

void vid_PostDeferredCallReg(intptr_t argument) { vid_PostDeferredCall(argument); }

void snd_SampleReleaseCallback(SndSampleOwner* owner) {
    if (!owner || !owner->playing) return;
    if (snd_CountSampleVoices(owner->sample) != 0) return;
    owner->playing = 0;
    mem_FreeInHeap2(owner->sample);
    owner->sample = nullptr;
    if (void (*done)(uint32_t) = owner->completion) {
        owner->completion = nullptr;
        done(owner->user);
    }
}

void app_PostRendererMessage(int32_t value) { PostRoutine(PostedRendererMessage, value); }

void app_FocusObjectSet(void* object) { app_FocusObject = object; }

int32_t app_FileOpenDialog(const char* filter, char* file, char* title, int32_t titleSize) {
    if (!filter || !file || !title || titleSize <= 0) return 0;
    memset(title, 0, (size_t)titleSize);
    return plat_FileOpenDialog(app_MainHwnd, filter, nullptr, file, APP_FILE_NAME_SIZE, title, (size_t)titleSize) ? 1
                                                                                                                 : 0;
}

[[noreturn]] void app_FatalExit(void) {
    if (app_MainHwnd) plat_WindowDestroy(app_MainHwnd);
    plat_Exit(-1);
}

void app_MouseCapture(void) {
    app_CaptureWanted = 1;
    app_CaptureHeld = 1;
    plat_MouseCapture(app_MainHwnd);
}

void app_MouseRelease(void) {
    app_CaptureWanted = 0;
    app_CaptureHeld = 0;
    plat_MouseReleaseCapture();
}
