// The system cursor: showing and hiding it, clipping it, moving it and its
// shape.
#pragma once
#include <cstdint>

// Names for app_CursorLoadSet besides the program's own cursor names.
inline const char* const APP_CURSOR_NONE = nullptr;
inline const char* const APP_CURSOR_ARROW = reinterpret_cast<const char*>(1);
inline const char* const APP_CURSOR_IBEAM = reinterpret_cast<const char*>(2);

// Shows (hides) until the display count is not negative (negative), with
// at most 1000 further steps; sets (clears) the cursor-visible flag.
void app_CursorShowAll(void);
void app_CursorHideAll(void);
// The same without a limit of steps.
void app_CursorShowLoop(void);
void app_CursorHideLoop(void);
void app_CursorShowOnce(void);
// Frees the cursor to the whole desktop; confines it to the main window's
// client area.
void app_CursorUnclip(void);
void app_CursorClipToClient(void);
// Moves the cursor to a client point of the main window.
void app_CursorWarp(int32_t x, int32_t y);
// APP_CURSOR_NONE sets no cursor, APP_CURSOR_ARROW the arrow,
// APP_CURSOR_IBEAM the I-beam, any other name the program's own cursor.
void app_CursorLoadSet(const char* name);
