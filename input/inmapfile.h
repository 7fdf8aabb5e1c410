// Input map files: the display-text resource INPUTMAP.BIN, the key-name and
// layout tables, the built-in default bindings, the player's map file
// ("KRX.INP") in its text form, opening the map for a flight, and the
// run-time report "_inptmap.txt". Main thread only.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/filetable.h"
#include "input/inmap.h"

// ---- Key names and layouts ---------------------------------------------------

// One name of a key, mouse button or joystick code; a null name ends the
// table. The display id is the INPUTMAP.BIN item of the name shown on screen.
struct InmapKeyName {
    const char* name;
    int32_t displayId;
    int32_t kind;   // INMAP_KIND_*
    int32_t code;   // virtual-key code, mouse button or joystick code
};
constexpr int32_t INMAP_KEY_NAME_COUNT = 212;
extern const InmapKeyName inmap_KeyNames[INMAP_KEY_NAME_COUNT + 1];

// A keyboard or joystick layout; a null name ends the table.
struct InmapLayout {
    const char* name;
    int32_t displayItem;
    int32_t layout;
};
constexpr int32_t INMAP_KEYBOARD_LAYOUT_COUNT = 1;
constexpr int32_t INMAP_JOYSTICK_LAYOUT_COUNT = 18;
extern const InmapLayout inmap_KeyboardLayouts[INMAP_KEYBOARD_LAYOUT_COUNT + 1];
extern const InmapLayout inmap_JoystickLayouts[INMAP_JOYSTICK_LAYOUT_COUNT + 1];

// The first record with that kind and code (its name is the one written to
// files), or null.
const InmapKeyName* inmap_KeyNameFind(int32_t kind, int32_t code);
// The first record of that name, in any letter case, or null.
const InmapKeyName* inmap_KeyNameByName(const char* name);
// Layout number of a layout name (any letter case), or -1.
int32_t inmap_KeyboardLayoutByName(const char* name);
int32_t inmap_JoystickLayoutByName(const char* name);
// Name of a joystick layout number (as the settings file keeps it), or null.
const char* inmap_JoystickLayoutName(int32_t layout);

// ---- Default bindings ------------------------------------------------------------

// 121 keyboard bindings (layout 0) and 372 joystick bindings over the 18
// joystick layouts, then a record with a null name.
constexpr int32_t INMAP_DEFAULT_KEYBOARD_COUNT = 121;
constexpr int32_t INMAP_DEFAULT_JOYSTICK_COUNT = 372;
constexpr int32_t INMAP_DEFAULT_COUNT = INMAP_DEFAULT_KEYBOARD_COUNT + INMAP_DEFAULT_JOYSTICK_COUNT;
extern const InmapBinding inmap_DefaultBindings[INMAP_DEFAULT_COUNT + 1];
// Bindings added after the defaults whenever a map is made from them (null
// at start; the remapping screen's restore-defaults uses it too).
extern const InmapBinding* inmap_ExtraBindings;

// ---- INPUTMAP.BIN ---------------------------------------------------------------

// Items of the resource.
enum : uint32_t {
    INMAP_ITEM_KEYBOARD_STANDARD = 185,
    INMAP_ITEM_WORD_CTRL = 487,
    INMAP_ITEM_WORD_SHIFT = 488,
    INMAP_ITEM_WORD_ALT = 489,
    INMAP_ITEM_WORD_HOLD = 490,
    INMAP_ITEM_VERSION = 491,
};
constexpr const char* INMAP_RESOURCE_NAME = "INPUTMAP.BIN";
constexpr const char* INMAP_RESOURCE_TAG = "INPUTMAP TEXT RESOURCE";

// The loaded resource, or null.
extern FileTable* inmap_Resource;

// Frees a resource loaded before, then loads INPUTMAP.BIN. 0, or -1 when the
// file cannot be loaded. A resource whose version item is missing or does
// not read 1 ends the program with the fatal data-file box.
int32_t inmap_ResourceLoad(void);
void inmap_ResourceFree(void);
// The text of a resource item, or null when the resource or the item is
// missing.
const char* inmap_ResourceText(int32_t item);

// Key text: "Hold " when HOLD, then "Ctrl + ", "Shift + ", "Alt + " for the
// modifiers, then the key's display name; action text: the action's display
// name. 0, or -1 when the input, its action, its key name, the resource or
// any of the items is missing (the texts are then empty).
int32_t inmap_InputDescribe(const _INMAP_INPUT* input, char* keyText, size_t keySize, char* actionText,
                            size_t actionSize);

// ---- The map file ------------------------------------------------------------------

constexpr const char* INMAP_FILE_DEFAULT = "KRX.INP";
constexpr const char* INMAP_REPORT_FILE = "_inptmap.txt";
// Longest line of a map text, without its line end.
constexpr int32_t INMAP_LINE_MAX = 1024;
// Longest action name a map text may give; with it every line written
// stays within INMAP_LINE_MAX.
constexpr int32_t INMAP_ACTION_NAME_MAX = 255;
// Largest map file that is read.
constexpr int32_t INMAP_FILE_MAX = 1 << 20;

// Why the last inmap_TextParse or inmap_TextLoad failed ("" after success).
extern char inmap_TextError[160];
// Lines the last inmap_TextParse skipped, and why the first one was.
extern int32_t inmap_TextSkipped;
extern char inmap_TextSkipReason[160];

// Reads a map text into the map, as leniently as a text the player may have
// typed asks: a keyword whose number is missing or bad takes its default, a
// layout word that is neither a name nor a number is layout 0, unknown words
// are ignored and unknown action names create actions; a line that cannot
// be taken (longer than INMAP_LINE_MAX, holding a zero byte, or whose action
// name is longer than INMAP_ACTION_NAME_MAX or not one plain word) is
// skipped and counted. -1, with the reason in inmap_TextError, only for a
// null map or a failed allocation; 0 otherwise.
int32_t inmap_TextParse(_INMAP* map, const char* text, size_t length);
// A new map read from the file, or null when the file is missing, too large,
// cannot be read or the map cannot be made (the reason, and any skipped
// lines, go to standard error).
_INMAP* inmap_TextLoad(const char* fileName);
// The text form of the map, written to a new file that then takes the place
// of the old one. 0, or -1 (the old file is then left as it was).
int32_t inmap_TextWrite(_INMAP* map, const char* fileName);
// The text form of the map into a buffer (cut, always terminated); returns
// the full length of the text.
size_t inmap_TextFormat(_INMAP* map, char* buffer, size_t size);

// Binds every action of the map to the action table (id, continuous flag and
// handler, or -1, 0 and null when the table lacks it) and, when a file name
// is given, writes the report. 0, or -1 when the report could not be written.
int32_t inmap_ReportWrite(_INMAP* map, const InmapActionDef* table, const char* fileName);

// ---- The open map ----------------------------------------------------------------

// The map opened for flights and the remapping screen, or null.
extern _INMAP* inmap_OpenMap;
// The player's map file: the product record's name, "KRX.INP" when unset.
const char* inmap_FileName(void);
// Opens the map (the player's file, or the defaults written back to it; a
// file that exists is first kept as NAME.bak),
// writes the report and hands the threshold, layouts and enable settings to
// the joystick layer and the map. The open map, or null.
_INMAP* inmap_MapOpen(void);
// Deactivates and frees the open map; nothing when none is open.
void inmap_MapClose(void);
// The trigger-fires-current-weapon arrangement of the open map's joystick
// buttons: B1 dropped, B2 and B3 move down one, B4 copied onto B3 and B4
// itself becomes a held CTRL.
void inmap_JoystickButtonsRemap(void);
