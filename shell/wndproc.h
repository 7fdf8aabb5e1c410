// The main window procedure, the message pumps, routines posted to the main
// thread, and the small window services around them. The key queue, the
// mouse and the cursor routines have their own headers, included here.
#pragma once
#include <cstdint>

#include "platform/window.h"
#include "shell/cursor.h"
#include "shell/keyqueue.h"
#include "shell/mouse.h"

extern int32_t app_QuitFlag;    // set at WM_QUIT and WM_DESTROY, never cleared
extern PlatHwnd app_MainHwnd;   // the main window, 0 once destroyed

// The message being handled, for code that runs inside the window procedure.
struct AppCurrentMessage {
    PlatHwnd hwnd;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};
extern AppCurrentMessage app_CurrentMessage;

extern int32_t app_InactiveFlag;          // 1 while the application is deactivated
extern int32_t app_CaptureWanted;         // the mouse should be captured
extern int32_t app_CaptureHeld;           // and it is
extern int32_t app_MinimizeOnDeactivate;  // starts at 1, cleared at WM_CLOSE
extern uint32_t app_MessageCount;         // messages removed by the per-frame pump

// Frame of the main window, recorded at WM_CREATE.
struct AppWindowBorders {
    int32_t top;     // client top - window top
    int32_t right;   // window right - client right
    int32_t left;    // client left - window left
    int32_t bottom;  // window bottom - client bottom
};
extern AppWindowBorders app_WindowBorders;

intptr_t app_MainWndProc(PlatHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam);

// The per-frame pump: dispatches every waiting message (WM_QUIT sets the
// quit flag and stops), then runs the sound pump hooks and polls the mouse
// and the joysticks.
void app_PumpMessagesEx(void);
// Dispatches until the queue is empty; nonzero as soon as WM_QUIT is taken
// (the quit flag is left alone). Then the sound and music pump hooks.
int32_t app_PumpMessages(void);
// Dispatches only mouse messages; returns the last one's wParam.
uintptr_t app_PumpMouseMessages(void);

// Routines posted to the main window with WM_USER run later on the main
// thread, in the order they were posted. Only the program's own postable
// routines are ever run.
//
// The record of a sound sample's owner that the deferred routine works on.
struct SndSampleOwner {
    uint8_t playing;                 // cleared when the sample is released
    void* sample;                    // buffer in alternate heap 2
    void (*completion)(uint32_t user);
    uint32_t user;
};
// Posts snd_SampleReleaseCallback on the owner whose handle
// (snd_OwnerHandleAdd) the argument is; the handle is resolved when the
// routine runs. Safe from any thread.
void vid_PostDeferredCall(intptr_t argument);
// The same, in the form handed to the mixer as its message-post hook.
void vid_PostDeferredCallReg(intptr_t argument);
// Releases the owner's sample once no mixer voice plays it any more, and
// calls its completion routine once. An owner already released (playing
// byte clear) is left alone, so a second end report frees nothing twice.
void snd_SampleReleaseCallback(SndSampleOwner* owner);
// Posts a routine that stores the value and hands it to the renderer's
// message hook on the main thread.
void app_PostRendererMessage(int32_t value);
extern int32_t app_RendererMessageValue;  // the value handed over last
// The display layer's user-message hook: the routine other modules hand a
// 32-bit message value to (the renderer installs its relay at start-up).
// Null: values are dropped.
extern void (*app_UserMessageHook)(int32_t value);

// The object the simulation treats as in focus (null: none).
extern void* app_FocusObject;
void app_FocusObjectSet(void* object);

// Size of the file buffer given to app_FileOpenDialog.
constexpr int32_t APP_FILE_NAME_SIZE = 260;
// Standard open-file dialog. filter: pairs of description and pattern
// ("*.MSN;*.msn"), each NUL-terminated, ended by an empty string; file: a
// buffer of APP_FILE_NAME_SIZE that receives the full path; title: receives
// the file's own name. Nonzero when a file was chosen; 0 for a null argument.
int32_t app_FileOpenDialog(const char* filter, char* file, char* title, int32_t titleSize);

// Destroys the main window and ends the process with code -1.
[[noreturn]] void app_FatalExit(void);

// Captures the mouse for the main window (releases it).
void app_MouseCapture(void);
void app_MouseRelease(void);
