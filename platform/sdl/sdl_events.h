// Translation of SDL input events into window messages.
#pragma once
#include <SDL.h>

#include "platform/window.h"

// Starts text input (typed characters arrive as WM_CHAR).
void sdl_EventsInit(void);
// Posts the window messages for one keyboard, text or mouse event.
void sdl_TranslateInputEvent(const SDL_Event* ev);

// Flags of a new native window. Every window after the main one (the
// loading window) is borderless, stays out of the task bar and is a utility window, so
// that the window manager leaves the focus with the main window.
Uint32 sdl_WindowFlags(int visible, int secondary);
// The window to hand the focus back to when `gained` took it: the main
// window when `gained` is another of our windows and the main one is shown
// and not minimised, else 0 (the focus stays). The main window's game clock
// runs only while it has the focus.
PlatHwnd sdl_FocusOwner(PlatHwnd gained);
