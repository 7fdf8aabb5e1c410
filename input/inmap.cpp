// The input map: its records, activation, the two watchers and the
// per-frame resolution step.
#include "input/inmap.h"

#include <cctype>
#include <cstring>

#include "base/dlist.h"
#include "base/mem.h"
#include "input/ejoy.h"
#include "input/ekey.h"
#include "platform/winmsg.h"

_INMAP* inmap_ActiveMap = nullptr;
int32_t inmap_SuspendFlag = 0;
int32_t inmap_KeyboardLayout = 0;
int32_t inmap_JoystickLayout = 0;
int32_t inmap_KeyTableMode = 0;
int32_t inmap_UseThrottle = 1;
int32_t inmap_UseRudder = 1;
_INMAP_EVENT_LIST inmap_FreeEvents;
_INMAP_EVENT_LIST inmap_PressedEvents;
_INMAP_EVENT_LIST inmap_HeldEvents;

namespace {

// Longest action name kept; longer names are cut.
constexpr size_t kNameMax = 1023;

// Lookup tables of the active map: for each code the first input of that
// code in the sorted map-wide list.
_INMAP_INPUT* g_keyFull[INMAP_KEY_TABLE_SIZE];
_INMAP_INPUT* g_keyNoTyping[INMAP_KEY_TABLE_SIZE];
_INMAP_INPUT* g_keyNoArrows[INMAP_KEY_TABLE_SIZE];
_INMAP_INPUT* g_joyTable[INMAP_JOY_TABLE_SIZE];
_INMAP_INPUT** g_keyTable = nullptr;   // the selected keyboard table, null = none

_INMAP_EVENT* g_events = nullptr;
_EKEY_WATCHDOG* g_keyWatch = nullptr;
_EJOY_WATCHDOG* g_joyWatch = nullptr;

int CompareNoCase(const char* a, const char* b) {
    for (;; a++, b++) {
        int ca = tolower((unsigned char)*a), cb = tolower((unsigned char)*b);
        if (ca != cb || !ca) return ca - cb;
    }
}

// ---- event lists ---------------------------------------------------------

void ListPush(_INMAP_EVENT_LIST* list, _INMAP_EVENT* e) {
    e->list = list;
    dlist_AddTail(list, e);
}

void ListUnlink(_INMAP_EVENT* e) {
    _INMAP_EVENT_LIST* list = e->list;
    if (!list) return;
    dlist_Unlink(list, e);
    e->list = nullptr;
}

_INMAP_EVENT* TakeFree(void) {
    _INMAP_EVENT* e = inmap_FreeEvents.head;
    if (!e) return nullptr;
    ListUnlink(e);
    return e;
}

// Back to the free list; a partner loses its link.
void Release(_INMAP_EVENT* e) {
    if (e->partner) e->partner->partner = nullptr;
    e->partner = nullptr;
    e->input = nullptr;
    ListUnlink(e);
    ListPush(&inmap_FreeEvents, e);
}

void ReleaseAll(_INMAP_EVENT_LIST* list) {
    while (list->head) Release(list->head);
}

// Releases the events of a list for which test(input) holds.
template <typename Test>
void ReleaseWhere(_INMAP_EVENT_LIST* list, Test test) {
    _INMAP_EVENT* e = list->head;
    while (e) {
        _INMAP_EVENT* next = e->next;
        if (e->input && test(e->input)) Release(e);
        e = next;
    }
}

// ---- lookup tables --------------------------------------------------------

// Sort key of the map-wide list: kind, code and layout ascending, then more
// modifiers and HOLD first, so that the most demanding binding of a key is
// tried first.
bool InputBefore(const _INMAP_INPUT* a, const _INMAP_INPUT* b) {
    if (a->kind != b->kind) return a->kind < b->kind;
    if (a->code != b->code) return a->code < b->code;
    if (a->layout != b->layout) return a->layout < b->layout;
    if (a->modifiers != b->modifiers) return a->modifiers > b->modifiers;
    return a->hold > b->hold;
}

// Stable sort of the map-wide input list.
void SortInputs(_INMAP* map) { dlist_Sort(map->inputHead, map->inputTail, InputBefore); }

bool TypingKey(int32_t code) {
    return code == (int32_t)VK_BACK || code == (int32_t)VK_RETURN || code == (int32_t)VK_ESCAPE ||
           code == (int32_t)VK_SPACE ||
           (code >= 0xBA && code <= 0xC0) || (code >= 0xDB && code <= 0xDE) || (code >= '0' && code <= '9') ||
           (code >= 'A' && code <= 'Z') || (code >= 0x60 && code <= 0x6B) || (code >= 0x6D && code <= 0x6F);
}

bool ArrowOrC(int32_t code) { return (code >= (int32_t)VK_LEFT && code <= (int32_t)VK_DOWN) || code == 'C'; }

void TablesClear(void) {
    memset(g_keyFull, 0, sizeof g_keyFull);
    memset(g_keyNoTyping, 0, sizeof g_keyNoTyping);
    memset(g_keyNoArrows, 0, sizeof g_keyNoArrows);
    memset(g_joyTable, 0, sizeof g_joyTable);
}

void TablesBuild(_INMAP* map) {
    TablesClear();
    SortInputs(map);
    for (_INMAP_INPUT* in = map->inputHead; in; in = in->next) {
        if (in->kind == INMAP_KIND_KEYBOARD && in->code >= 0 && in->code < INMAP_KEY_TABLE_SIZE) {
            if (!g_keyFull[in->code]) g_keyFull[in->code] = in;
        } else if (in->kind == INMAP_KIND_JOYSTICK && in->code >= 0 && in->code < INMAP_JOY_TABLE_SIZE) {
            if (!g_joyTable[in->code]) g_joyTable[in->code] = in;
        }
    }
    for (int32_t code = 0; code < INMAP_KEY_TABLE_SIZE; code++) {
        g_keyNoTyping[code] = TypingKey(code) ? nullptr : g_keyFull[code];
        g_keyNoArrows[code] = ArrowOrC(code) ? nullptr : g_keyFull[code];
    }
}

// After inputs of the active map were added or removed.
void ActiveMapChanged(_INMAP* map) {
    if (map && map == inmap_ActiveMap) TablesBuild(map);
}

// ---- watchers ---------------------------------------------------------------

bool CtrlHeld(void) { return inmap_ActionCtrl || ekey_StateTable[VK_CONTROL]; }
bool ShiftHeld(void) { return inmap_ActionShift || ekey_StateTable[VK_SHIFT]; }
bool AltHeld(void) { return inmap_ActionAlt || ekey_StateTable[VK_MENU]; }

bool ModifiersHeld(int32_t mods) {
    if ((mods & INMAP_MOD_CTRL) && !CtrlHeld()) return false;
    if ((mods & INMAP_MOD_SHIFT) && !ShiftHeld()) return false;
    if ((mods & INMAP_MOD_ALT) && !AltHeld()) return false;
    return true;
}

// Queues one press of an input: a pressed event and, for HOLD, a held
// partner. Without a free event the press is dropped; with only one left a
// HOLD press still fires once.
void Press(_INMAP_INPUT* in) {
    _INMAP_EVENT* pressed = TakeFree();
    if (!pressed) return;
    pressed->input = in;
    pressed->frames = 0;
    pressed->value = 0.1f;
    pressed->partner = nullptr;
    ListPush(&inmap_PressedEvents, pressed);
    if (in->hold) {
        _INMAP_EVENT* held = TakeFree();
        if (!held) return;
        held->input = in;
        held->frames = 0;
        held->value = 0.1f;
        held->partner = pressed;
        pressed->partner = held;
        ListPush(&inmap_HeldEvents, held);
    }
}

// The first input of a code, from its table entry on, that fits the layout
// and whose modifiers are all held.
_INMAP_INPUT* Choose(_INMAP_INPUT* first, int32_t kind, int32_t code, int32_t layout) {
    for (_INMAP_INPUT* in = first; in && in->kind == kind && in->code == code; in = in->next)
        if (in->layout == layout && ModifiersHeld(in->modifiers)) return in;
    return nullptr;
}

float Clamp01(float v) {
    if (!(v >= 0.0f)) return 0.0f;
    return v > 1.0f ? 1.0f : v;
}

// The value a handler gets: a joystick axis reads the device, everything
// else the event's ramp.
float EventValue(const _INMAP_EVENT* e) {
    const _INMAP_INPUT* in = e->input;
    if (!in || in->kind != INMAP_KIND_JOYSTICK || in->code < 0 || in->code > 10) return Clamp01(e->value);
    float scale = inmap_ActiveMap ? inmap_ActiveMap->scale : 1.0f;
    float v;
    switch (in->code) {
    case 0: v = -ejoy_AxisValue[EJOY_AXIS_X] * scale; break;
    case 1: v = ejoy_AxisValue[EJOY_AXIS_X] * scale; break;
    case 2: v = -ejoy_AxisValue[EJOY_AXIS_Y] * scale; break;
    case 3: v = ejoy_AxisValue[EJOY_AXIS_Y] * scale; break;
    case 4: v = ejoy_AxisValue[EJOY_AXIS_THROTTLE]; break;
    case 5: v = -ejoy_AxisValue[EJOY_AXIS_RUDDER]; break;
    case 6: v = ejoy_AxisValue[EJOY_AXIS_RUDDER]; break;
    case 7: v = -ejoy_AxisValue[EJOY_AXIS_U]; break;
    case 8: v = ejoy_AxisValue[EJOY_AXIS_U]; break;
    case 9: v = -ejoy_AxisValue[EJOY_AXIS_V]; break;
    default: v = ejoy_AxisValue[EJOY_AXIS_V]; break;
    }
    return Clamp01(v);
}

void Dispatch(const _INMAP_EVENT* e) {
    const _INMAP_INPUT* in = e->input;
    if (!in || !in->action || !in->action->handler) return;
    in->action->handler(e->frames, EventValue(e));
}

// ---- records ----------------------------------------------------------------

// Gives an action its name; a copy of the same length is reused.
int32_t NameSet(_INMAP_ACTION* action, const char* name) {
    size_t len = strnlen(name, kNameMax);
    if (action->name && strlen(action->name) == len) {
        memcpy(action->name, name, len);
        return 0;
    }
    char* copy = (char*)mem_AllocEx((uint32_t)len + 1, 4, "_INMAP_ACTION name");
    if (!copy) return -1;
    memcpy(copy, name, len);
    copy[len] = 0;
    if (action->name) mem_Free(action->name);
    action->name = copy;
    return 0;
}

void UnlinkInput(_INMAP_INPUT* in) {
    _INMAP* map = in->map;
    _INMAP_ACTION* action = in->action;
    if (map) dlist_Unlink(map->inputHead, map->inputTail, map->inputCount, in);
    if (action)
        dlist_Unlink<_INMAP_INPUT, &_INMAP_INPUT::actionPrev, &_INMAP_INPUT::actionNext>(
            action->inputHead, action->inputTail, action->inputCount, in);
}

int32_t AddBinding(_INMAP* map, const InmapBinding* rec) {
    _INMAP_ACTION* action = inmap_ActionFind(map, rec->action);
    if (!action) action = inmap_ActionCreate(map, rec->action, -1, 0, nullptr);
    if (!action) return -1;
    return inmap_InputCreate(action, rec->kind, rec->layout, rec->code, rec->modifiers, rec->hold) ? 0 : -1;
}

}  // namespace

// ---- maps, actions, inputs ---------------------------------------------------

_INMAP* inmap_MapCreate(const InmapBinding* bindings) {
    _INMAP* map = (_INMAP*)mem_AllocEx(sizeof(_INMAP), 4, "_INMAP");
    if (!map) return nullptr;
    memset(map, 0, sizeof *map);
    map->threshold = INMAP_THRESHOLD_DEFAULT;
    map->scale = 1.0f;
    if (bindings && inmap_BindingsAdd(map, bindings) != 0) {
        inmap_MapFree(map);
        return nullptr;
    }
    return map;
}

void inmap_MapFree(_INMAP* map) {
    if (!map) return;
    if (map == inmap_ActiveMap) inmap_MapActivate(nullptr);
    while (map->inputHead) inmap_InputDelete(map->inputHead);
    while (map->actionHead) inmap_ActionDelete(map->actionHead);
    mem_Free(map);
}

void inmap_ThresholdSet(_INMAP* map, int32_t n) {
    if (!map) return;
    map->threshold = n < 0 ? 0 : (n > 65535 ? 65535 : n);
}

void inmap_ScaleSet(_INMAP* map, float x) {
    if (!map) return;
    map->scale = Clamp01(x);
}

void inmap_VersionSet(_INMAP* map, int32_t n) {
    if (map) map->version = n;
}

_INMAP_ACTION* inmap_ActionFind(_INMAP* map, const char* name) {
    if (!map || !name) return nullptr;
    for (_INMAP_ACTION* a = map->actionHead; a; a = a->next)
        if (a->name && CompareNoCase(a->name, name) == 0) return a;
    return nullptr;
}

_INMAP_ACTION* inmap_ActionCreate(_INMAP* map, const char* name, int32_t id, int32_t continuous, InmapHandler handler) {
    if (!map || !name) return nullptr;
    _INMAP_ACTION* a = (_INMAP_ACTION*)mem_AllocEx(sizeof(_INMAP_ACTION), 4, "_INMAP_ACTION");
    if (!a) return nullptr;
    memset(a, 0, sizeof *a);
    if (NameSet(a, name) != 0) {
        mem_Free(a);
        return nullptr;
    }
    a->map = map;
    a->id = id;
    a->continuous = continuous;
    a->handler = handler;
    dlist_AddTail(map->actionHead, map->actionTail, map->actionCount, a);
    return a;
}

void inmap_ActionDelete(_INMAP_ACTION* action) {
    if (!action) return;
    while (action->inputHead) inmap_InputDelete(action->inputHead);
    _INMAP* map = action->map;
    if (map) dlist_Unlink(map->actionHead, map->actionTail, map->actionCount, action);
    if (action->name) mem_Free(action->name);
    mem_Free(action);
}

_INMAP_INPUT* inmap_InputCreate(_INMAP_ACTION* action, int32_t kind, int32_t layout, int32_t code, int32_t modifiers,
                                int32_t hold) {
    if (!action || !action->map) return nullptr;
    _INMAP_INPUT* in = (_INMAP_INPUT*)mem_AllocEx(sizeof(_INMAP_INPUT), 4, "_INMAP_INPUT");
    if (!in) return nullptr;
    memset(in, 0, sizeof *in);
    _INMAP* map = action->map;
    in->map = map;
    in->action = action;
    in->kind = (kind >= INMAP_KIND_KEYBOARD && kind <= INMAP_KIND_JOYSTICK) ? kind : INMAP_KIND_NONE;
    in->layout = layout;
    in->code = code;
    // Only the three modifier bits mean anything; others would make the
    // input unreachable.
    in->modifiers = modifiers & (INMAP_MOD_CTRL | INMAP_MOD_SHIFT | INMAP_MOD_ALT);
    in->hold = hold ? 1 : 0;
    dlist_AddTail(map->inputHead, map->inputTail, map->inputCount, in);
    dlist_AddTail<_INMAP_INPUT, &_INMAP_INPUT::actionPrev, &_INMAP_INPUT::actionNext>(
        action->inputHead, action->inputTail, action->inputCount, in);
    ActiveMapChanged(map);
    return in;
}

void inmap_InputDelete(_INMAP_INPUT* input) {
    if (!input) return;
    _INMAP* map = input->map;
    // Events of the active map must not keep a freed input.
    if (map && map == inmap_ActiveMap) {
        auto same = [input](const _INMAP_INPUT* in) { return in == input; };
        ReleaseWhere(&inmap_PressedEvents, same);
        ReleaseWhere(&inmap_HeldEvents, same);
    }
    UnlinkInput(input);
    mem_Free(input);
    ActiveMapChanged(map);
}

int32_t inmap_BindingsAdd(_INMAP* map, const InmapBinding* table) {
    if (!map || !table) return -1;
    for (const InmapBinding* rec = table; rec->action; rec++)
        if (AddBinding(map, rec) != 0) return -1;
    return 0;
}

int32_t inmap_ActionBindFromTable(_INMAP* map, const char* name, const InmapBinding* table) {
    if (!map || !name || !table) return -1;
    for (const InmapBinding* rec = table; rec->action; rec++)
        if (CompareNoCase(rec->action, name) == 0 && AddBinding(map, rec) != 0) return -1;
    return 0;
}

int32_t inmap_ActionInputsRemove(_INMAP* map, const char* name, int32_t kind, int32_t code) {
    _INMAP_ACTION* action = inmap_ActionFind(map, name);
    if (!action) return -1;
    _INMAP_INPUT* in = action->inputHead;
    while (in) {
        _INMAP_INPUT* next = in->actionNext;
        if (in->kind == kind && in->code == code) inmap_InputDelete(in);
        in = next;
    }
    return 0;
}

void inmap_ActionsPrune(_INMAP* map) {
    if (!map) return;
    _INMAP_ACTION* a = map->actionHead;
    while (a) {
        _INMAP_ACTION* next = a->next;
        if (!a->handler) inmap_ActionDelete(a);
        a = next;
    }
}

void inmap_ActionsSort(_INMAP* map) {
    if (!map) return;
    auto before = [](const _INMAP_ACTION* a, const _INMAP_ACTION* b) {
        if (!a->name || !b->name) return !a->name && b->name;
        return CompareNoCase(a->name, b->name) < 0;
    };
    dlist_Sort(map->actionHead, map->actionTail, before);
}

int32_t inmap_NameWidth(_INMAP* map) {
    if (!map) return 0;
    size_t width = 0;
    for (_INMAP_ACTION* a = map->actionHead; a; a = a->next)
        if (a->name && strlen(a->name) > width) width = strlen(a->name);
    return (int32_t)width;
}

// ---- activation ----------------------------------------------------------------

int32_t inmap_MapActivate(_INMAP* map) {
    if (inmap_ActiveMap || g_events) {
        ekey_WatchdogRemove(g_keyWatch);
        ejoy_WatchdogRemove(g_joyWatch);
        g_keyWatch = nullptr;
        g_joyWatch = nullptr;
        TablesClear();
        g_keyTable = nullptr;
        inmap_KeyTableMode = 0;
        inmap_ActiveMap = nullptr;
        inmap_FreeEvents = inmap_PressedEvents = inmap_HeldEvents = _INMAP_EVENT_LIST{};
        if (g_events) mem_Free(g_events);
        g_events = nullptr;
    }
    inmap_StateReset();
    if (!map) return 0;

    g_events = (_INMAP_EVENT*)mem_AllocEx(sizeof(_INMAP_EVENT) * INMAP_EVENT_COUNT, 4, "_INMAP_EVENT array");
    if (!g_events) return -1;
    memset(g_events, 0, sizeof(_INMAP_EVENT) * INMAP_EVENT_COUNT);
    for (int32_t i = 0; i < INMAP_EVENT_COUNT; i++) ListPush(&inmap_FreeEvents, &g_events[i]);
    inmap_ActiveMap = map;
    TablesBuild(map);
    inmap_KeyTableSelect(1);
    inmap_StateReset();
    g_keyWatch = ekey_WatchdogAdd(inmap_KeyboardWatch);
    g_joyWatch = ejoy_WatchdogAdd(inmap_JoystickWatch);
    return 0;
}

int32_t inmap_KeyTableSelect(int32_t mode) {
    if (mode < 0 || mode > 3) mode = 0;
    switch (mode) {
    case 1: g_keyTable = g_keyFull; break;
    case 2: g_keyTable = g_keyNoTyping; break;
    case 3: g_keyTable = g_keyNoArrows; break;
    default: g_keyTable = nullptr; break;
    }
    inmap_KeyTableMode = mode;
    return mode;
}

void inmap_KeyboardLayoutSet(int32_t n) { inmap_KeyboardLayout = n; }
void inmap_JoystickLayoutSet(int32_t n) { inmap_JoystickLayout = n; }

void inmap_StateReset(void) {
    inmap_ActionCtrl = inmap_ActionShift = inmap_ActionAlt = 0;
    ReleaseAll(&inmap_PressedEvents);
    ReleaseAll(&inmap_HeldEvents);
}

// ---- watchers ------------------------------------------------------------------

int32_t inmap_KeyboardWatch(int32_t key, int32_t down) {
    if (key < 0 || key >= INMAP_KEY_TABLE_SIZE) return 0;
    if (down) {
        if (inmap_SuspendFlag || !g_keyTable) return 0;
        _INMAP_INPUT* in = Choose(g_keyTable[key], INMAP_KIND_KEYBOARD, key, inmap_KeyboardLayout);
        if (in) Press(in);
        return 0;
    }
    ReleaseWhere(&inmap_HeldEvents,
                 [key](const _INMAP_INPUT* in) { return in->kind == INMAP_KIND_KEYBOARD && in->code == key; });
    int32_t bit = key == (int32_t)VK_SHIFT     ? INMAP_MOD_SHIFT
                  : key == (int32_t)VK_CONTROL ? INMAP_MOD_CTRL
                  : key == (int32_t)VK_MENU    ? INMAP_MOD_ALT
                                               : 0;
    if (bit) ReleaseWhere(&inmap_HeldEvents, [bit](const _INMAP_INPUT* in) { return (in->modifiers & bit) != 0; });
    return 0;
}

int32_t inmap_JoystickWatch(int32_t code, int32_t down) {
    if (code < 0 || code >= INMAP_JOY_TABLE_SIZE) return 0;
    if (down) {
        if (inmap_SuspendFlag || !inmap_ActiveMap) return 0;
        if (code == 4 && !inmap_UseThrottle) return 0;
        if ((code == 5 || code == 6) && !inmap_UseRudder) return 0;
        _INMAP_INPUT* in = Choose(g_joyTable[code], INMAP_KIND_JOYSTICK, code, inmap_JoystickLayout);
        if (in) Press(in);
        return 0;
    }
    ReleaseWhere(&inmap_HeldEvents,
                 [code](const _INMAP_INPUT* in) { return in->kind == INMAP_KIND_JOYSTICK && in->code == code; });
    return 0;
}

// ---- resolution ----------------------------------------------------------------

void inmap_Resolve(void) {
    if (!inmap_ActiveMap) return;
    inmap_ActionCtrl = inmap_ActionShift = inmap_ActionAlt = 0;
    for (_INMAP_EVENT* e = inmap_HeldEvents.head; e;) {
        _INMAP_EVENT* next = e->next;
        Dispatch(e);
        e = next;
    }
    for (_INMAP_EVENT* e = inmap_PressedEvents.head; e;) {
        _INMAP_EVENT* next = e->next;
        if (!e->partner) Dispatch(e);
        e = next;
    }
    ReleaseAll(&inmap_PressedEvents);
    for (_INMAP_EVENT* e = inmap_HeldEvents.head; e; e = e->next) {
        if (e->frames < INT32_MAX) e->frames++;
        e->value = Clamp01(e->value + 0.05f);
    }
    if (CtrlHeld()) inmap_InputCurrent.flags |= INPUT_CTRL;
    if (ShiftHeld()) inmap_InputCurrent.flags |= INPUT_SHIFT;
    if (AltHeld()) inmap_InputCurrent.flags |= INPUT_ALT;
}
