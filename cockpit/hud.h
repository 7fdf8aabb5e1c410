// HUD and in-flight menu state that the input actions and the poll switch.
#pragma once
#include <cstdint>

// Nonzero while the HUD is drawn.
extern uint8_t HudShownFlag;
// HUD colour mode and the shade index (0..6) of each: [1] for mode 1, [0]
// for every other mode.
extern int32_t hud_ColourMode;
extern int32_t hud_ShadeIndex[2];

// The in-flight command menu.
extern int32_t hud_CommandMenuShown;
void hud_CommandMenuReset(void);

// List mode: the zoom actions move the list position instead of zooming.
extern uint8_t hud_ListMode;
extern int32_t hud_ListPosition;

// Nonzero while the camera axes turn the pilot's head.
extern uint8_t hud_FreeLook;

// Pause: the paused flag, the switch and the clock total at the pause.
extern int32_t hud_Paused;
extern uint64_t hud_PauseClock;
void hud_PauseSwitch(int32_t on);

// The screen layer's key state (cleared at every screen-state switch), its
// request for command code 46 and the one-shot request the hot key sets.
extern int32_t hud_ScreenKeyState[3];
extern uint8_t hud_DebugRequest;
extern uint8_t hud_HotKeyRequest;

// The HUD repeater: made at client start, cleared per level.
void hud_RepeaterInit(void);
void hud_RepeaterClear(void);

// Three state bytes of the HUD symbology the external eyes clear.
extern uint8_t hud_SymbolState[3];

// 1 while the frame's HUD hook pass draws (the HUD projects its own way).
extern int32_t hud_ProjectionFlag;
// Object labels under the objects (label mode 1: the player's target, 2:
// every known object in view), and the status banner.
void hud_ObjectLabelsDraw(void);
void hud_StatusBannerDraw(void);
// Screen states: the in-flight command menu, the numbered (wing) command
// menu and the HUD repeater page.
void hud_CommandMenuDraw(void);
void hud_CommandMenuKeys(void);
void hud_WingMenuDraw(void);
void hud_WingMenuKeys(void);
void hud_RepeaterDraw(void);
void hud_RepeaterKeys(void);
// The HUD (cockpit hook 7 of the shipped aircraft).
void hud_FrameDraw(void);
