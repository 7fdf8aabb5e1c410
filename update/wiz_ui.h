// The wizard's two dialogs behind a small interface. The dialogs are drawn
// by the program into a frame presented through the platform's display
// service, so they look the same on every backend; clicks and keys become
// WM_COMMAND messages with the control ids below. Headless runs answer the
// agreement like any dialog of the program ("dialog: LICENSE: ..."), press
// Finish as soon as it is enabled, and write every status text to standard
// error as "status: TEXT".
#pragma once
#include <cstdint>

#include "platform/window.h"

enum {
    WIZ_ID_ACCEPT = 1,
    WIZ_ID_CANCEL = 2,
    WIZ_ID_PROGRESS = 1010,
    WIZ_ID_LICENSE_TEXT = 1020,
    WIZ_ID_CANCEL_BUTTON = 1025,
    WIZ_ID_FINISH = 1026,
    WIZ_ID_STATUS = 1031,
    WIZ_ID_DIRECTORY = 1032,
    WIZ_ID_RESOURCE_LABEL = 1035,
};

// The "LICENSE" dialog, modal: 1 Accept, 0 Cancel (or closed).
int32_t wizui_License(const char* text);
// Dialog 113 with `proc` as its procedure (it gets WM_CREATE first, then
// every message the dialog does not handle itself). 0 on failure.
PlatHwnd wizui_ProgressCreate(const char* title, PlatWndProc proc);
void wizui_SetText(PlatHwnd dialog, int32_t id, const char* text);
void wizui_Enable(PlatHwnd dialog, int32_t id, int32_t enabled);
void wizui_ProgressRange(PlatHwnd dialog, int32_t low, int32_t high);
void wizui_ProgressSetStep(PlatHwnd dialog, int32_t step);
void wizui_ProgressSetPos(PlatHwnd dialog, int32_t pos);
void wizui_ProgressStepIt(PlatHwnd dialog);
// Position of a control's centre in the dialog's frame (for the tests'
// scripted clicks); 0, or -1 for an unknown id.
int32_t wizui_ControlCentre(int32_t id, int32_t* x, int32_t* y);
