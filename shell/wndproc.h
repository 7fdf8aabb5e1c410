// The main window procedure, the message pumps, the key queue and the mouse.
#pragma once
#include <cstdint>

#include "platform/window.h"

extern int32_t app_QuitFlag;    // set at WM_QUIT and WM_DESTROY, never cleared
extern PlatHwnd app_MainHwnd;   // the main window, 0 once destroyed

intptr_t app_MainWndProc(PlatHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam);
void app_PumpMessagesEx(void);
int32_t app_PumpMessages(void);
void app_MouseReset(void);
void app_MouseFramePost(void);
