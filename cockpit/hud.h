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
// Points the current menu at the leave-flight menu.
void hud_CommandMenuReset(void);

// A menu line: the text item of the game data, the action its yes runs.
struct HudMenuEntry {
    uint32_t item;          // 0 ends the table
    void (*action)(void);   // may be null
    int32_t reserved;
};
struct HudMenuState {
    const HudMenuEntry* menu;
    int32_t lines;          // drawn by the last pass
    int32_t spacing, x, y;  // pixels
};
extern HudMenuState hud_MenuState;
// The menus' text buffer: an item's text, "???" when the item is missing.
constexpr int32_t HUD_MENU_TEXT_SIZE = 256;
extern char hud_MenuText[HUD_MENU_TEXT_SIZE];
const char* hud_MenuItemText(uint32_t item);
int32_t hud_CommandMenuLinesDraw(void);
// Leaves the flight: a network game ends it (end-of-flight choice 1); a
// mission is abandoned unless won, shows the debriefing and ejects the
// pilot.
void hud_LeaveFlight(void);
extern uint8_t hud_EndOfFlightChoice;
// Whether the wing command menu offers order 0..9 now.
struct ObjectRecord;
bool hud_WingOrderAvailable(ObjectRecord* player, int32_t order);
// Pixels from the screen centre to the point's projection, -1 when it is
// not in view.
struct FixWorldPos;
int32_t hud_ScreenCentreDistance(const FixWorldPos* point);

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

// The HUD repeater: made at client start, cleared per level. Without the
// buffer, adding, clearing and drawing do nothing.
constexpr int32_t HUD_REPEATER_LINES = 32;
constexpr int32_t HUD_REPEATER_LINE_SIZE = 128;
struct HudRepeaterBuffer {
    char lines[HUD_REPEATER_LINES][HUD_REPEATER_LINE_SIZE];  // line 0 the oldest
    int32_t count;
};
extern HudRepeaterBuffer* hud_Repeater;
void hud_RepeaterInit(void);
void hud_RepeaterClear(void);
// Appends a line (at most 127 characters kept); the oldest goes when full.
void hud_RepeaterAdd(const char* text);

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
