// The input map: keyboard keys, mouse buttons and joystick axes, buttons and
// hats bound to the named actions. Key and button changes arrive from the
// keyboard and joystick layers through watchers and only queue small event
// records; once per client frame the resolution step runs the handlers of
// the queued actions. Main thread only.
#pragma once
#include <cstdint>

#include "input/instate.h"

// Device kinds of an input.
enum : int32_t { INMAP_KIND_NONE = 0, INMAP_KIND_KEYBOARD = 1, INMAP_KIND_MOUSE = 2, INMAP_KIND_JOYSTICK = 3 };
// Modifier bits an input requires.
enum : int32_t { INMAP_MOD_CTRL = 1, INMAP_MOD_SHIFT = 2, INMAP_MOD_ALT = 4 };

constexpr int32_t INMAP_VERSION = 56;
constexpr int32_t INMAP_THRESHOLD_DEFAULT = 1024;
constexpr int32_t INMAP_EVENT_COUNT = 20;
constexpr int32_t INMAP_KEY_TABLE_SIZE = 256;
constexpr int32_t INMAP_JOY_TABLE_SIZE = 47;

struct _INMAP_ACTION;
struct _INMAP_INPUT;

struct _INMAP {
    _INMAP_ACTION* actionHead;
    _INMAP_ACTION* actionTail;
    int32_t actionCount;
    _INMAP_INPUT* inputHead;
    _INMAP_INPUT* inputTail;
    int32_t inputCount;
    int32_t version;     // VERSION_NUMBER
    int32_t threshold;   // THROTTLE_THRESHOLD, 0..65535
    float scale;         // JOYSTICK_SCALE, 0..1
};

struct _INMAP_ACTION {
    _INMAP_ACTION* prev;
    _INMAP_ACTION* next;
    _INMAP* map;
    char* name;            // own heap copy
    int32_t id;            // -1 until bound to the action table
    int32_t continuous;
    InmapHandler handler;  // null: not supported by this program
    _INMAP_INPUT* inputHead;
    _INMAP_INPUT* inputTail;
    int32_t inputCount;
};

struct _INMAP_INPUT {
    _INMAP_INPUT* prev;        // in the map's input list
    _INMAP_INPUT* next;
    _INMAP* map;
    _INMAP_INPUT* actionPrev;  // in the action's input list
    _INMAP_INPUT* actionNext;
    _INMAP_ACTION* action;
    int32_t kind;              // INMAP_KIND_*
    int32_t layout;            // keyboard or joystick layout, 0 for the mouse
    int32_t code;              // virtual-key code or joystick code
    int32_t modifiers;         // INMAP_MOD_* bits
    int32_t hold;              // 0 or 1
};

struct _INMAP_EVENT_LIST;

struct _INMAP_EVENT {
    _INMAP_EVENT* prev;
    _INMAP_EVENT* next;
    _INMAP_EVENT_LIST* list;   // the list it is on
    _INMAP_EVENT* partner;     // the pressed and held events of one press
    _INMAP_INPUT* input;
    int32_t frames;
    float value;
};

struct _INMAP_EVENT_LIST {
    _INMAP_EVENT* head;
    _INMAP_EVENT* tail;
    int32_t count;
};

// A record of a default binding table; a null action name ends the table.
struct InmapBinding {
    const char* action;
    int32_t kind;
    int32_t layout;
    int32_t code;
    int32_t modifiers;
    int32_t hold;
};

// Run-time selection.
extern _INMAP* inmap_ActiveMap;          // the activated map, or null
extern int32_t inmap_SuspendFlag;        // nonzero: no new presses are taken
extern int32_t inmap_KeyboardLayout;
extern int32_t inmap_JoystickLayout;     // 0..17
extern int32_t inmap_KeyTableMode;       // 0..3
extern int32_t inmap_UseThrottle;        // 1 at start
extern int32_t inmap_UseRudder;          // 1 at start
// The three event lists (free, pressed this frame, held every frame).
extern _INMAP_EVENT_LIST inmap_FreeEvents;
extern _INMAP_EVENT_LIST inmap_PressedEvents;
extern _INMAP_EVENT_LIST inmap_HeldEvents;

// Maps, actions and inputs. Every operation takes null arguments and then
// returns null, 0 or -1 without effect.
_INMAP* inmap_MapCreate(const InmapBinding* bindings);
void inmap_MapFree(_INMAP* map);
void inmap_ThresholdSet(_INMAP* map, int32_t n);
void inmap_ScaleSet(_INMAP* map, float x);
void inmap_VersionSet(_INMAP* map, int32_t n);
_INMAP_ACTION* inmap_ActionFind(_INMAP* map, const char* name);
_INMAP_ACTION* inmap_ActionCreate(_INMAP* map, const char* name, int32_t id, int32_t continuous, InmapHandler handler);
void inmap_ActionDelete(_INMAP_ACTION* action);
_INMAP_INPUT* inmap_InputCreate(_INMAP_ACTION* action, int32_t kind, int32_t layout, int32_t code, int32_t modifiers,
                                int32_t hold);
void inmap_InputDelete(_INMAP_INPUT* input);
int32_t inmap_BindingsAdd(_INMAP* map, const InmapBinding* table);
int32_t inmap_ActionBindFromTable(_INMAP* map, const char* name, const InmapBinding* table);
int32_t inmap_ActionInputsRemove(_INMAP* map, const char* name, int32_t kind, int32_t code);
void inmap_ActionsPrune(_INMAP* map);
void inmap_ActionsSort(_INMAP* map);
int32_t inmap_NameWidth(_INMAP* map);

// Activates a map (after deactivating the one before) or, with null,
// deactivates; 0, or -1 when the event records cannot be had (the map is
// then left inactive).
int32_t inmap_MapActivate(_INMAP* map);
// 0 none, 1 full, 2 without the typing keys, 3 without the arrows and C;
// any other mode selects 0. Returns the mode used.
int32_t inmap_KeyTableSelect(int32_t mode);
void inmap_KeyboardLayoutSet(int32_t n);
void inmap_JoystickLayoutSet(int32_t n);
// Clears the action-modifier flags and releases every pressed and held event.
void inmap_StateReset(void);
// The per-frame resolution step: runs the handlers of the queued actions.
void inmap_Resolve(void);

// The watchers the map registers with the keyboard and joystick layers.
int32_t inmap_KeyboardWatch(int32_t key, int32_t down);
int32_t inmap_JoystickWatch(int32_t code, int32_t down);

// The per-frame poll into the current and previous input records.
void inmap_PollFrame(void);
void inmap_PollClear(void);
void inmap_PollHotKey(void);
// Key routine for screen states: Enter, Esc or Y go back to the previous one.
void inmap_ScreenKeyClose(void);
// True when the stick or the rudder is out of its centre band.
bool inmap_StickDeflected(void);
// Sets inmap_HatUse to INMAP_HAT_FLIGHT or INMAP_HAT_MENU: 0, or -1 (and
// no change) for any other mode.
int32_t inmap_HatModeSelect(int32_t mode);

// The frame's key, as the screen states' key routines read it: the key byte
// and the character byte of the last key word, and each of them plus the
// key word's modifier half.
struct InputKeyEvent {
    uint8_t key;
    uint8_t character;
    uint16_t keyValue;
    uint16_t charValue;
};
extern InputKeyEvent inmap_KeyEvent;
