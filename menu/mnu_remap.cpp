// The options screen's remap pages: the list of actions with their keyboard
// (page 5) or joystick (page 6) bindings, twelve rows at a time, capture of
// a new key or button through the keyboard and joystick watchers, defaults
// and deletion, and the list's scrolling.
#include <strings.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "base/mem.h"
#include "input/inmapfile.h"
#include "menu/option.h"
#include "shell/keyqueue.h"
#include "shell/settings.h"

namespace {

constexpr int32_t kEscape = 27, kShift = 16, kCtrl = 17, kAlt = 18;

struct Row {
    char button[MNU_NAME];
    char name[MNU_NAME];     // TxtRemapItem%dA
    char binding[MNU_NAME];  // TxtRemapItem%dB
    char text[MNU_OPT_BINDING];
};
Row g_rows[MNU_OPT_ROWS];
char g_status[256];

MnuContext* Ctx(void) { return mnu_Context; }

const char* Str(const char* key) { return mnu_OptString(key); }

void RowsName(void) {
    for (int32_t r = 0; r < MNU_OPT_ROWS; r++) {
        snprintf(g_rows[r].button, sizeof g_rows[r].button, "BtnOpt5Item%d", (int)r + 1);
        snprintf(g_rows[r].name, sizeof g_rows[r].name, "TxtRemapItem%dA", (int)r + 1);
        snprintf(g_rows[r].binding, sizeof g_rows[r].binding, "TxtRemapItem%dB", (int)r + 1);
    }
}

// The page's device kind and layout.
int32_t Kind(void) { return mnu_Option.page == 6 ? INMAP_KIND_JOYSTICK : INMAP_KIND_KEYBOARD; }
int32_t Layout(void) { return mnu_Option.page == 6 ? app_Settings.JOYSTICK_LAYOUT : 0; }

bool OfPage(const _INMAP_INPUT* in) { return in->kind == Kind() && in->layout == Layout(); }

const char* ActionName(const _INMAP_ACTION* a) {
    const char* t = a ? inmap_ResourceText(a->id) : nullptr;
    return t && t[0] ? t : nullptr;
}

// Another action holds the same key with the same modifiers.
bool Conflict(const _INMAP_INPUT* input) {
    if (!input || !input->map) return false;
    for (const _INMAP_INPUT* in = input->map->inputHead; in; in = in->next)
        if (in->action != input->action && in->kind == input->kind && in->layout == input->layout &&
            in->code == input->code && in->modifiers == input->modifiers)
            return true;
    return false;
}

void Append(char* out, size_t size, const char* text) {
    size_t n = strnlen(out, size);
    if (text && n + 1 < size) snprintf(out + n, size - n, "%s", text);
}

void BindingText(int32_t r, const _INMAP_ACTION* a) {
    MnuOptionState& o = mnu_Option;
    char* out = g_rows[r].text;
    const size_t size = sizeof g_rows[r].text;
    const _INMAP_INPUT* input = nullptr;
    for (const _INMAP_INPUT* in = a->inputHead; in && !input; in = in->actionNext)
        if (OfPage(in)) input = in;
    out[0] = 0;
    if (!input) {
        Append(out, size, Str("OPT_NONE"));
        return;
    }
    int32_t mods = o.capturing && r == o.captureRow ? o.modifiers : input->modifiers;
    const struct {
        int32_t bit;
        const char* key;
    } kMods[] = {{INMAP_MOD_ALT, "OPT_ALT"}, {INMAP_MOD_CTRL, "OPT_CTRL"}, {INMAP_MOD_SHIFT, "OPT_SHIFT"}};
    for (const auto& m : kMods)
        if (mods & m.bit) {
            Append(out, size, Str(m.key));
            Append(out, size, "-");
        }
    const InmapKeyName* key = inmap_KeyNameFind(input->kind, input->code);
    const char* keyText = key ? inmap_ResourceText(key->displayId) : nullptr;
    Append(out, size, keyText ? keyText : "?");
    if (Conflict(input)) {
        Append(out, size, " ");
        Append(out, size, Str("OPT_CONFLICT_MARKER"));
    }
}

void SetStatus(const char* text) {
    snprintf(g_status, sizeof g_status, "%s", text ? text : "");
    if (Ctx()) mnu_TextAreaSetText(Ctx(), "TxtOptP5Status", g_status);
}

// Takes the action's inputs of the page's kind and layout away.
void InputsRemove(_INMAP_ACTION* a) {
    for (_INMAP_INPUT *in = a ? a->inputHead : nullptr, *next; in; in = next) {
        next = in->actionNext;
        if (OfPage(in)) inmap_InputDelete(in);
    }
}

void DefaultsAdd(_INMAP_ACTION* a, const InmapBinding* table) {
    for (const InmapBinding* b = table; b && b->action; b++)
        if (b->kind == Kind() && b->layout == Layout() && strcasecmp(b->action, a->name) == 0)
            inmap_InputCreate(a, b->kind, b->layout, b->code, b->modifiers, b->hold);
}

void Defaults(_INMAP_ACTION* a) {
    if (!a || !a->name) return;
    InputsRemove(a);
    DefaultsAdd(a, inmap_DefaultBindings);
    DefaultsAdd(a, inmap_ExtraBindings);
}

void Changed(void) {
    mnu_Option.mapChanged = 1;
    mnu_OptCaptureEnd(0);
    mnu_OptStatusUpdate();
    mnu_OptRowsFill();
}

void Bind(int32_t code) {
    MnuOptionState& o = mnu_Option;
    _INMAP_ACTION* a = o.captureAction;
    if (!a) return;
    InputsRemove(a);
    inmap_InputCreate(a, Kind(), Layout(), code, o.modifiers, a->continuous);
    if (Ctx()) mnu_WindowRefresh(Ctx(), "WndOptionRemap", nullptr, 1);
    o.mapChanged = 1;
    mnu_OptCaptureEnd(1);
    mnu_OptStatusUpdate();
    mnu_OptRowsFill();
}

// The watchers outside a capture: the key that ended it has gone up, and
// with it the key-capture flag goes, together with that key's word in the
// queue, so the key does not also work the menu.
void CaptureFlagClear(void) {
    if (!mnu_KeyCapture) return;
    app_KeyQueueClear();
    mnu_KeyCaptureSet(0);
}

void Scroll(int32_t top) {
    MnuOptionState& o = mnu_Option;
    int32_t last = o.count - MNU_OPT_ROWS;
    if (last < 0) last = 0;
    if (top > last) top = last;
    if (top < 0) top = 0;
    o.top = top;
}

}  // namespace

void mnu_OptListFree(void) {
    // The rows name actions of the map about to go.
    RowsName();
    for (Row& r : g_rows) {
        r.text[0] = 0;
        if (Ctx()) mnu_TextAreaSetText(Ctx(), r.name, "");
    }
    if (mnu_Option.actions) mem_Free(mnu_Option.actions);
    mnu_Option.actions = nullptr;
    mnu_Option.count = 0;
}

void mnu_OptCaptureEnd(int32_t fromKey) {
    MnuOptionState& o = mnu_Option;
    o.capturing = 0;
    o.modifiers = 0;
    if (!fromKey) mnu_KeyCaptureSet(0);
}

void mnu_OptRemapKnobPlace(int32_t y) {
    MnuOptionState& o = mnu_Option;
    MnuImageArea* k = o.remapKnob;
    if (y > MNU_OPT_KNOB_BOTTOM) y = MNU_OPT_KNOB_BOTTOM;
    if (y < MNU_OPT_KNOB_TOP) y = MNU_OPT_KNOB_TOP;
    if (!k) return;
    int32_t w = k->right - k->left, h = k->bottom - k->top;
    if (k->image) {
        w = k->image->width;
        h = k->image->height / (k->image->frameCount > 0 ? k->image->frameCount : 1);
    }
    MnuRect old = {k->left, k->top, k->right, k->bottom};
    if (Ctx()) mnu_WindowRefresh(Ctx(), "WndOption", &old, 0);
    k->left = MNU_OPT_KNOB_X;
    k->right = MNU_OPT_KNOB_X + w;
    k->top = y;
    k->bottom = y + h;
    k->flags |= MNU_IMAGE_AREA_REDRAW;
}

int32_t mnu_OptMapWrite(void) {
    MnuOptionState& o = mnu_Option;
    if (!o.mapChanged || !inmap_OpenMap) return 0;
    if (inmap_TextWrite(inmap_OpenMap, inmap_FileName()) != 0) return -1;
    o.mapChanged = 0;
    return 0;
}

void mnu_OptRemapBuild(int32_t) {
    MnuOptionState& o = mnu_Option;
    MnuContext* c = Ctx();
    RowsName();
    o.top = 0;
    mnu_OptRemapKnobPlace(MNU_OPT_KNOB_TOP);
    if (c)
        for (const Row& r : g_rows) {
            mnu_ButtonTextAreaSet(c, r.binding, r.button);
            mnu_TextAreaLink(c, r.binding, r.name);
            mnu_ButtonSetFlags(c, r.button, MNU_BUTTON_LATCHING | MNU_BUTTON_RADIO);
        }
    // The map as its file has it: changes not written are dropped. Opening
    // sets the joystick and throttle flags from the settings; this screen
    // keeps its own.
    int32_t joystick = ejoy_EnableFlag, throttle = inmap_UseThrottle;
    mnu_OptListFree();
    inmap_MapClose();
    _INMAP* map = inmap_MapOpen();
    ejoy_EnableFlag = joystick;
    inmap_UseThrottle = throttle;
    o.mapChanged = 0;
    o.captureAction = nullptr;
    inmap_ActionsPrune(map);
    int32_t n = 0;
    for (_INMAP_ACTION* a = map ? map->actionHead : nullptr; a; a = a->next) n += ActionName(a) ? 1 : 0;
    if (n > 0)
        o.actions = static_cast<_INMAP_ACTION**>(mem_AllocEx((uint32_t)n * sizeof(_INMAP_ACTION*), 4, "mnuOption actions"));
    if (o.actions)
        for (_INMAP_ACTION* a = map->actionHead; a; a = a->next)
            if (ActionName(a)) o.actions[o.count++] = a;
    // With every action on the page there is nothing to scroll.
    o.knobStep = o.count > MNU_OPT_ROWS
                     ? (float)(MNU_OPT_KNOB_BOTTOM - MNU_OPT_KNOB_TOP) / (float)(o.count - MNU_OPT_ROWS)
                     : 0.0f;
    o.pageStep = (int32_t)(MNU_OPT_ROWS * o.knobStep);
    mnu_OptStatusUpdate();
    mnu_OptRowsFill();
    mnu_OptCaptureEnd(0);
}

void mnu_OptRowsFill(void) {
    MnuOptionState& o = mnu_Option;
    MnuContext* c = Ctx();
    RowsName();
    if (!o.capturing) {
        if (c) {
            for (const Row& r : g_rows)
                if (mnu_ButtonGetState(c, r.button) == MNU_STATE_LATCHED)
                    mnu_ButtonSetState(c, r.button, MNU_STATE_NORMAL);
            mnu_ButtonSetState(c, "BtnOpt5DefaultItem", MNU_STATE_DISABLED);
            mnu_ButtonSetState(c, "BtnOpt5DeleteItem", MNU_STATE_DISABLED);
        }
        o.captureRow = -1;
        o.captureAction = nullptr;
    }
    for (int32_t r = 0; r < MNU_OPT_ROWS; r++) {
        Row& row = g_rows[r];
        int32_t index = o.top + r;
        row.text[0] = 0;
        const char* name = "";
        if (index >= 0 && index < o.count) {
            name = ActionName(o.actions[index]);
            BindingText(r, o.actions[index]);
            if (c && mnu_ButtonGetState(c, row.button) == MNU_STATE_DISABLED)
                mnu_ButtonSetState(c, row.button, MNU_STATE_NORMAL);
        } else if (c) {
            mnu_ButtonSetState(c, row.button, MNU_STATE_DISABLED);
        }
        if (c) {
            mnu_TextAreaSetText(c, row.name, name);
            mnu_TextAreaSetText(c, row.binding, row.text);
        }
    }
}

void mnu_OptStatusUpdate(void) {
    _INMAP* map = inmap_OpenMap;
    bool conflict = false;
    for (const _INMAP_INPUT* in = map ? map->inputHead : nullptr; in && !conflict; in = in->next)
        conflict = OfPage(in) && Conflict(in);
    SetStatus(Str(conflict ? "OPT_CONFLICT" : "OPT_INPUT_OFF"));
}

const char* mnu_OptRowBinding(int32_t row) { return row >= 0 && row < MNU_OPT_ROWS ? g_rows[row].text : ""; }

void mnu_OptScrollButtonsUpdate(void) {
    MnuOptionState& o = mnu_Option;
    bool scrolls = o.count > MNU_OPT_ROWS;
    mnu_OptButtonEnable("BtnOpt5Up", scrolls && o.top > 0);
    mnu_OptButtonEnable("BtnOpt5Down", scrolls && o.top + MNU_OPT_ROWS < o.count);
}

// ---------------------------------------------------------------------------
// Capture.

void cbOptRemap(int32_t row) {
    MnuOptionState& o = mnu_Option;
    int32_t index = o.top + row;
    if (row < 0 || row >= MNU_OPT_ROWS || index < 0 || index >= o.count) return;
    o.captureAction = o.actions[index];
    o.captureRow = row;
    if (Ctx()) {
        mnu_ButtonSetState(Ctx(), "BtnOpt5DefaultItem", MNU_STATE_NORMAL);
        mnu_ButtonSetState(Ctx(), "BtnOpt5DeleteItem", MNU_STATE_NORMAL);
    }
    const char* name = ActionName(o.captureAction);
    if (name)
        mnu_OptFormat(g_status, sizeof g_status, Str("OPT_INPUT_ONFOR"), name);
    else
        snprintf(g_status, sizeof g_status, "%s", Str("OPT_INPUT_ON") ? Str("OPT_INPUT_ON") : "");
    if (Ctx()) mnu_TextAreaSetText(Ctx(), "TxtOptP5Status", g_status);
    o.capturing = 1;
    o.modifiers = 0;
    mnu_KeyCaptureSet(1);
}

int32_t mnu_OptKeyWatch(int32_t key, int32_t down) {
    MnuOptionState& o = mnu_Option;
    if (!o.capturing) {
        if (!down) CaptureFlagClear();
        return 0;
    }
    switch (key) {
    case kEscape:
        if (!down) return 0;
        SetStatus(Str("OPT_INPUT_OFF"));
        mnu_OptCaptureEnd(1);
        mnu_OptRowsFill();
        return 0;
    case kCtrl:
    case kShift: {
        int32_t bit = key == kCtrl ? INMAP_MOD_CTRL : INMAP_MOD_SHIFT;
        o.modifiers = down ? o.modifiers | bit : o.modifiers & ~bit;
        mnu_OptRowsFill();
        return 0;
    }
    case kAlt:
        if (!down) o.modifiers &= ~INMAP_MOD_ALT;
        mnu_OptRowsFill();
        return 0;
    default: break;
    }
    // Keys bind on the keyboard page only: the joystick page takes buttons.
    if (down && o.page == 5) Bind(key);
    return 0;
}

int32_t mnu_OptJoyWatch(int32_t code, int32_t down) {
    MnuOptionState& o = mnu_Option;
    if (!o.capturing) {
        if (!down) CaptureFlagClear();
        return 0;
    }
    if (down && o.page == 6 && code >= EJOY_CODE_BUTTON1 && code < EJOY_CODE_COUNT) Bind(code);
    return 0;
}

void cbOptDefault1(int32_t) {
    MnuOptionState& o = mnu_Option;
    if (!o.capturing || !o.captureAction) return;
    Defaults(o.captureAction);
    Changed();
}

void cbOptDelete1(int32_t) {
    MnuOptionState& o = mnu_Option;
    if (!o.capturing || !o.captureAction) return;
    InputsRemove(o.captureAction);
    Changed();
}

void mnu_OptDefaultsAll(int32_t) {
    _INMAP* map = inmap_OpenMap;
    for (_INMAP_ACTION* a = map ? map->actionHead : nullptr; a; a = a->next) Defaults(a);
    Changed();
}

// ---------------------------------------------------------------------------
// Scrolling.

void cbOptRemapPage(int32_t step) {
    MnuOptionState& o = mnu_Option;
    if (o.pageLock) return;
    Scroll(o.top + (step < 0 ? -1 : 1));
    mnu_OptRemapKnobPlace(MNU_OPT_KNOB_TOP + (int32_t)((float)o.top * o.knobStep));
    mnu_OptCaptureEnd(0);
    mnu_OptStatusUpdate();
    mnu_OptRowsFill();
}

void mnu_OptScrollDrag(chs_Zone*, int32_t) {
    MnuOptionState& o = mnu_Option;
    MnuImageArea* k = o.remapKnob;
    if (o.pageLock || !k || o.count <= MNU_OPT_ROWS) return;
    int32_t mouse = mnu_ZoneList.y, y = mouse;
    if (mouse > k->top + o.pageStep)
        y = k->top + o.pageStep;
    else if (mouse < k->top - o.pageStep)
        y = k->top - o.pageStep;
    mnu_OptRemapKnobPlace(y);
    int32_t top = (int32_t)lroundf((float)(k->top - MNU_OPT_KNOB_TOP) / (float)(MNU_OPT_KNOB_BOTTOM - MNU_OPT_KNOB_TOP) *
                                   (float)(o.count - MNU_OPT_ROWS));
    if (top == o.top) return;
    Scroll(top);
    mnu_OptCaptureEnd(0);
    mnu_OptStatusUpdate();
    mnu_OptRowsFill();
}
