// Windows and messages: the main window, its message queue, posted calls,
// message boxes, the desktop, the cursor and the single-instance registry.
#pragma once
#include <cstddef>
#include <cstdint>
#include "platform/winmsg.h"

typedef uintptr_t PlatHwnd;
typedef intptr_t (*PlatWndProc)(PlatHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam);

struct PlatMsg {
    PlatHwnd hwnd;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
    uint32_t time;
};

struct PlatRect {
    int32_t left, top, right, bottom;
};

// Picks the backend from KRX_PLATFORM ("sdl" or "headless"); 0 on success.
int plat_Init(void);
void plat_Shutdown(void);
int plat_IsHeadless(void);
const char* plat_BackendName(void);

// Creates a window; WM_CREATE is sent before this returns, then the window
// is shown and receives WM_ACTIVATEAPP, WM_ACTIVATE and WM_SETFOCUS like a
// freshly shown top-level window. Returns 0 on failure.
PlatHwnd plat_WindowCreate(const char* className, const char* title, int clientW, int clientH,
                           PlatWndProc proc, int visible);
// Sends WM_DESTROY and forgets the window. 0 on success.
int plat_WindowDestroy(PlatHwnd hwnd);
int plat_WindowIsValid(PlatHwnd hwnd);
PlatHwnd plat_WindowFind(const char* className);
void plat_WindowSetTitle(PlatHwnd hwnd, const char* title);
int plat_WindowGetRect(PlatHwnd hwnd, PlatRect* window);
int plat_WindowGetClientRect(PlatHwnd hwnd, PlatRect* client); // in screen coordinates
int plat_WindowMove(PlatHwnd hwnd, int x, int y, int w, int h); // outer rectangle
// SW_ style commands: 0 hide, 1 normal, 6 minimise, 9 restore.
enum { PLAT_SW_HIDE = 0, PLAT_SW_SHOWNORMAL = 1, PLAT_SW_MINIMIZE = 6, PLAT_SW_RESTORE = 9 };
void plat_WindowShow(PlatHwnd hwnd, int cmd);
void plat_WindowRaise(PlatHwnd hwnd);
int plat_WindowIsMinimized(PlatHwnd hwnd);
// Shows a picture the program drew (0x00RRGGBB, width x height, rows top to
// bottom) as the client area of a window other than the one the display
// presents to (the loading window). The backend keeps nothing: the window's
// owner paints again on WM_PAINT. 0, or -1 for an unknown window or bad
// arguments. headless: only checked.
int plat_WindowPaint(PlatHwnd hwnd, const uint32_t* pixels, int32_t width, int32_t height);

// Message queue. Posting is safe from any thread; everything else runs on
// the main thread.
int plat_PeekMessage(PlatMsg* msg, PlatHwnd hwnd, uint32_t minMsg, uint32_t maxMsg, uint32_t flags);
int plat_GetMessage(PlatMsg* msg); // waits; 0 when WM_QUIT was removed
int plat_PostMessage(PlatHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam);
intptr_t plat_SendMessage(PlatHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam);
intptr_t plat_DispatchMessage(const PlatMsg* msg);
void plat_TranslateMessage(const PlatMsg* msg);
void plat_PostQuitMessage(int code);
intptr_t plat_DefWindowProc(PlatHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam);
uint32_t plat_MessageCount(void); // messages waiting

// Desktop size and depth in bits per pixel.
void plat_DesktopSize(int* width, int* height, int* bpp);

// Message boxes. Headless: answered from the input script (by default the
// first button) and logged to standard error as "box: TITLE: TEXT".
int plat_MessageBox(PlatHwnd owner, const char* text, const char* title, uint32_t style);
// The program's own dialogs: a few lines of text, a button that goes on, one
// that stops, and an optional check box. The answer is the id of the button
// pressed, with PLAT_DIALOG_TICKED added when the check box was ticked;
// closing the dialog answers the stop button. sdl: a message box with the
// two buttons and, for the check box, a third that goes on with it ticked.
// headless: logged as "dialog: NAME: TEXT" (TEXT: the lines, then
// "[GO] [STOP] [x] CHECK") and answered from the script, by default with
// the go-on button.
constexpr int PLAT_DIALOG_TICKED = 0x10000;
struct PlatDialogSpec {
    const char* name;   // the dialog's resource name
    const char* title;
    const char* text;   // lines separated by '\n'
    int goOnId;
    const char* goOnText;
    int stopId;
    const char* stopText;
    const char* checkText;  // null: no check box
    int checked;            // the check box as shown
};
int plat_DialogShow(const PlatDialogSpec* spec);

// Standard open-file dialog owned by `owner`, starting in initialDir (null:
// the current directory). filter: pairs of description and pattern
// ("*.MSN;*.msn"), each NUL-terminated, ended by an empty string. Only an
// existing file can be chosen. Its full path goes to file and its own name
// to fileTitle; 1 when a file was chosen, else 0 with both emptied (also
// when a name does not fit). headless: answered from the script (none by
// default) and logged as "dialog: open-file: FILTER".
int plat_FileOpenDialog(PlatHwnd owner, const char* filter, const char* initialDir, char* file, size_t fileSize,
                        char* fileTitle, size_t titleSize);

// Cursor and mouse capture.
int plat_CursorShow(int show); // returns the new display count
void plat_CursorClip(const PlatRect* rect); // null frees it
void plat_CursorGetPos(int* x, int* y);     // screen coordinates
void plat_CursorSetPos(int x, int y);
void plat_ClientToScreen(PlatHwnd hwnd, int* x, int* y);
void plat_ScreenToClient(PlatHwnd hwnd, int* x, int* y);
enum { PLAT_CURSOR_NONE = 0, PLAT_CURSOR_ARROW = 1, PLAT_CURSOR_IBEAM = 2, PLAT_CURSOR_OWN = 3 };
void plat_CursorSetShape(int shape);
void plat_MouseCapture(PlatHwnd hwnd);
void plat_MouseReleaseCapture(void);

// Single instance: lock files under the user's runtime directory.
// Registers this process under `name` and returns how many other copies
// run (0 for the first copy).
int plat_InstanceRegister(const char* name);
int plat_InstanceCount(const char* name);
// Asks the first other running copy to restore and raise its main window.
// 0 when a copy was told.
int plat_InstanceRaiseOther(const char* name);
void plat_InstanceUnregister(void);

// Ends the process with `code`.
[[noreturn]] void plat_Exit(int code);
