// Translation of SDL input events into window messages.
#pragma once
#include <SDL.h>

// Starts text input (typed characters arrive as WM_CHAR).
void sdl_EventsInit(void);
// Posts the window messages for one keyboard, text or mouse event.
void sdl_TranslateInputEvent(const SDL_Event* ev);
