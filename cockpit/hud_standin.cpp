// Stand-in until the HUD and command menus land: plain state words.
#include "cockpit/hud.h"

int32_t hud_CommandMenuShown = 0;
uint8_t hud_ListMode = 0;
int32_t hud_ListPosition = 0;
uint8_t hud_FreeLook = 0;
int32_t hud_Paused = 0;
uint64_t hud_PauseClock = 0;
int32_t hud_ScreenKeyState[3];
uint8_t hud_DebugRequest = 0;
uint8_t hud_HotKeyRequest = 0;

void hud_PauseSwitch(int32_t on) { hud_Paused = on ? 1 : 0; }
uint8_t hud_SymbolState[3] = {0, 0, 0};
void hud_RepeaterKeys(void) {}
