// The options screen: four pages of settings, the keyboard and joystick
// remap pages, the confirmation dialog and the 3D-card dialog.
#pragma once
#include <cstdint>

#include "input/ejoy.h"
#include "input/ekey.h"
#include "input/inmap.h"
#include "menu/front.h"
#include "shell/hw3dlist.h"

constexpr int32_t MNU_OPT_PAGES = 6;
constexpr int32_t MNU_OPT_ROWS = 12;
constexpr int32_t MNU_OPT_SLIDERS = 6;
constexpr int32_t MNU_OPT_BINDING = 128;
// Slider tracks and the remap list's scroll knob (screen pixels).
constexpr int32_t MNU_OPT_TRACK_LEFT = 349, MNU_OPT_TRACK_RIGHT = 552;
constexpr int32_t MNU_OPT_KNOB_TOP = 147, MNU_OPT_KNOB_BOTTOM = 346, MNU_OPT_KNOB_X = 43;
// Slider ids.
enum : int32_t {
    MNU_OPT_SFX = 1,
    MNU_OPT_MUSIC = 2,
    MNU_OPT_TEXTURE = 3,
    MNU_OPT_DIALOG = 4,
    MNU_OPT_WEAPON = 5,
    MNU_OPT_CUES = 6,
};

struct MnuOptionState {
    int32_t page;        // 1..6
    int32_t pageLock;    // a page change runs; cleared by the draw
    int32_t dialogOpen;
    void (*pending)(int32_t);  // what the confirmation's OK runs
    int32_t mapChanged;
    // Capture on the remap pages.
    int32_t capturing;
    _INMAP_ACTION* captureAction;
    int32_t captureRow;  // 0..11, -1 none selected
    int32_t modifiers;   // INMAP_MOD_* held now
    // The remap list: the actions with a display name, in map order.
    _INMAP_ACTION** actions;
    int32_t count;
    int32_t top;
    float knobStep;   // pixels per action
    int32_t pageStep; // twelve actions, whole pixels
    // Sliders (by id - 1) and the remap knob.
    MnuImageArea* knobs[MNU_OPT_SLIDERS];
    MnuImageArea* remapKnob;
    chs_Zone* sliderZones[MNU_OPT_SLIDERS];
    chs_Zone* scrollZone;
    int32_t knobWidth, knobHeight;
    int32_t savedThrottle;
    _EJOY_INFO* joystick;
    _APP_HW3D_ENTRY* card;
    _EKEY_WATCHDOG* keyWatch;
    _EJOY_WATCHDOG* joyWatch;
};
extern MnuOptionState mnu_Option;

// Slider value of a knob at x, and the knob's x for a value: the volumes
// 0..255, the texture distance 0..26.
int32_t mnu_OptSliderValue(int32_t id, int32_t x, int32_t knobWidth);
int32_t mnu_OptSliderKnobX(int32_t id, int32_t value, int32_t knobWidth);
// Settings from the knobs that were moved; the volumes applied at once.
void mnu_OptKnobsRead(void);
// Page change by -1, 0 or +1 (wrapping 1..6); ignored while one runs.
void mnu_OptPageChange(int32_t step);
// The texts and button states of every page.
void mnu_OptPageTexts(void);
// The remap list of the page (5 keyboard, 6 joystick) from the reopened map.
void mnu_OptRemapBuild(int32_t);
void mnu_OptRowsFill(void);
void mnu_OptStatusUpdate(void);
// Ends the capture; from a mouse action also the key-capture flag, which a
// key's release clears otherwise.
void mnu_OptCaptureEnd(int32_t fromKey);
// The remap knob at y (kept on its travel), and the scroll buttons.
void mnu_OptRemapKnobPlace(int32_t y);
void mnu_OptScrollButtonsUpdate(void);
void mnu_OptListFree(void);
// Every action's bindings of the page back to the defaults.
void mnu_OptDefaultsAll(int32_t);
// The binding text of a row.
const char* mnu_OptRowBinding(int32_t row);
// The watchers of the capture.
int32_t mnu_OptKeyWatch(int32_t key, int32_t down);
int32_t mnu_OptJoyWatch(int32_t code, int32_t down);
// Drag handlers of the slider zones (user value: slider id) and the remap
// scroll zone.
void mnu_OptSliderDrag(chs_Zone* zone, int32_t argument);
void mnu_OptScrollDrag(chs_Zone* zone, int32_t argument);
// Writes the open input map when a binding changed; 0, or -1.
int32_t mnu_OptMapWrite(void);
// Copies the format with its first "%s" replaced by the argument ("%%"
// reads "%"); -1 (with "!STRING ERROR" in the output) when the format is
// missing or the result does not fit.
int32_t mnu_OptFormat(char* out, size_t size, const char* format, const char* argument);

// A menu string's text, or null; a button made active or disabled.
const char* mnu_OptString(const char* key);
void mnu_OptButtonEnable(const char* button, int32_t on);

// Callbacks.
void cbOptAccept(int32_t);
void cbOptPageTog(int32_t step);
void cbOptSliderAdd(int32_t id);
void cbOptSliderMinus(int32_t id);
void cbOptTog(int32_t code);
void cbOptVidQuestion(int32_t);
void cbOptVidOK(int32_t);
void cbOptOk(int32_t);
void cbOptCancel(int32_t);
void cbOptRevert(int32_t);
void cbOptDefaultAll(int32_t);
void cbOptRemap(int32_t row);
void cbOptDefault1(int32_t);
void cbOptDelete1(int32_t);
void cbOptRemapPage(int32_t step);
void cbOptJoy(int32_t which);
