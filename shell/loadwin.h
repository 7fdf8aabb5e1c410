// The loading window: a small window along the lower edge of the main window
// with a caption, a progress bar and the percentage, shown while the program
// starts.
#pragma once
#include <cstdint>

#include "platform/window.h"

struct AppLoadingState {
    int32_t classRegistered;
    int32_t open;
    PlatHwnd window;
    char caption[128];   // the caption control's text
    char percentText[8]; // the percentage control's text ("%ld%%")
    int32_t position;    // the progress bar's position, 0..100
    int32_t lastPercent; // -1 after opening and closing
};
extern AppLoadingState app_Loading;
// Share of a long load done, 0..1; the front end's idle routine turns it
// into the bar's percentage.
extern float app_LoadingFraction;

// Outside 0..100 closes the window (when open) and returns 0. Otherwise
// opens it when needed (-1 when that fails) and shows the percentage; an
// unchanged percentage returns at once. Headless runs log each new
// percentage to standard error as "loading: N%".
int32_t app_LoadingProgressSet(int32_t percent);
int32_t app_LoadingOpen(void);
void app_LoadingCaptionSet(const char* text);
void app_LoadingClose(void);
// Keeps the window's left and lower edges on the main window's.
void app_LoadingFollowMain(void);
