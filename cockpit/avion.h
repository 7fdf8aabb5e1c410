// Avionics services the level loaders and the client start call.
#pragma once
#include <cstdint>
#include <cstddef>

// The two green colour tables of the night-vision displays (rows of 256
// bytes), made by avionkrx_InitGreenTable for the current colour depth.
extern uint8_t* avionLantirnTerrainGreenTable;
extern uint8_t* avionLantirnObjectGreenTable;

struct ObjectRecord;
// Marks an object on the sensor image (the terrain pass, per player drawn).
void avion_SensorMapMark(ObjectRecord* object);

// Per-level resets: the cockpit hook and the green colour tables.
void avion_HookResetCall(void);
void avionkrx_InitGreenTable(void);

// Cockpit hooks of the frame: 4 panel redraw scheduler, 5 the current 2D
// cockpit view (for the aircraft), 6 the enlarged MFD view, 9 the MFDs over
// the frame.
void avion_InstrumentsHookCall(void);
void avion_PanelViewHookCall(ObjectRecord* aircraft);
void avion_MfdEnlargedHookCall(void);
void avion_MfdOverlayHookCall(void);
// The other wrappers: 3 set-up (avion_HookResetCall is the same call), 7 the
// HUD, 8 the panel target in mode 0 (texture) or 1 (screen), 10 and 11 the
// tactical map background and own mark.
void avion_CockpitSetupHookCall(void);
void avion_HookHudCall(void);
void avion_HookPanelTextureCall(void);
void avion_HookPanelScreenCall(void);
void avion_HookTacMapCall(int32_t range);
void avion_HookTacMapMarkCall(int32_t x, int32_t y);
// The developer console's cockpit call: hook 8 in mode 2 while the cockpit
// glass model is loaded.
void avion_ConsoleHookCall(void);
// The in-game key prompt: its typed text goes to the cheat entry.
void avion_KeyPrompt(const char* text);
// The shipped aircraft's cockpit hooks 1 to 11 (entries 0 to 10).
typedef int32_t (*PlaneHook)(intptr_t argument);
extern PlaneHook avion_CockpitHookTable[11];

struct FixWorldPos;
// Stores obj_BearingHalfScale(from, to) at out.
void avion_BearingC(const FixWorldPos* from, const FixWorldPos* to, int32_t* out);
// Closing speed of other as seen from own: positive while closing, negative
// while opening.
int32_t avion_ClosureRate(const ObjectRecord* own, const ObjectRecord* other);

// The warning-light bits of the cue scan: 1 slot 0, 2 caution, 4 warning,
// 8 and 0x10 the gear-word test, 0x20 overspeed.
extern int32_t avion_WarningLights;
// The translucent HUD glass overlay.
void avion_HudGlassDraw(void);
