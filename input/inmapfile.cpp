// The player's input map file: its text form read and written, the report
// of supported actions, opening the map for a flight and the joystick
// buttons' trigger arrangement.
#include "input/inmapfile.h"

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/efile.h"
#include "base/text.h"
#include "input/ejoy.h"
#include "platform/files.h"
#include "shell/settings.h"
#include "shell/startup.h"

_INMAP* inmap_OpenMap = nullptr;
char inmap_TextError[160] = "";
int32_t inmap_TextSkipped = 0;
char inmap_TextSkipReason[160] = "";

namespace {

// Most words a line of INMAP_LINE_MAX characters can hold, and the buffer
// they are split into (each word plus its terminator).
constexpr int kMaxWords = INMAP_LINE_MAX / 2 + 1;
constexpr size_t kWordBuffer = 2 * INMAP_LINE_MAX + 2;

// Joystick button codes the trigger arrangement moves.
constexpr int32_t kB1 = 31, kB2 = 32, kB3 = 33, kB4 = 34;

void SetError(const char* format, ...) __attribute__((format(printf, 1, 2)));
void SetError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vsnprintf(inmap_TextError, sizeof inmap_TextError, format, args);
    va_end(args);
}

// A whole word as a decimal number with an optional sign. Values beyond the
// 64-bit range saturate; anything but a number fails.
bool ReadInteger(const char* word, long long* out) {
    if (!word || !*word) return false;
    errno = 0;
    char* end = nullptr;
    long long v = strtoll(word, &end, 10);
    if (end == word || *end) return false;
    *out = v;  // ERANGE leaves the saturated value
    return true;
}

int32_t ClampInt32(long long v) {
    if (v < INT32_MIN) return INT32_MIN;
    if (v > INT32_MAX) return INT32_MAX;
    return (int32_t)v;
}

bool ReadReal(const char* word, double* out) {
    if (!word || !*word) return false;
    char* end = nullptr;
    double v = strtod(word, &end);
    if (end == word || *end || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

// Reads a KEYBOARD or JOYSTICK line's layout: a layout name, else a number.
bool ReadLayout(const char* word, int32_t (*byName)(const char*), int32_t* layout) {
    int32_t n = byName(word);
    if (n >= 0) {
        *layout = n;
        return true;
    }
    long long v;
    if (!ReadInteger(word, &v)) return false;
    *layout = ClampInt32(v);
    return true;
}

struct ParseState {
    _INMAP* map;
    int32_t keyboardLayout;
    int32_t joystickLayout;
    int32_t lineNumber;
};

// A line that cannot be taken: counted, and the first one's reason kept.
void SkipLine(const ParseState& st, const char* why) {
    if (inmap_TextSkipped++ == 0)
        snprintf(inmap_TextSkipReason, sizeof inmap_TextSkipReason, "line %ld %s", (long)st.lineNumber, why);
}

// One line of a map text (without its line end). The player may have typed
// anything: a keyword whose number is missing or bad takes its default, an
// unknown layout is layout 0, unknown words are ignored, and a line that
// cannot be taken is skipped. -1 only when memory runs out.
int32_t ParseLine(ParseState& st, const char* line) {
    if (!line[0] || (line[0] == '/' && line[1] == '/')) return 0;
    char buffer[kWordBuffer];
    char* words[kMaxWords];
    int n = text_SplitWords(line, buffer, sizeof buffer, words, kMaxWords);
    if (n <= 0 || !words[0][0]) return 0;
    const char* first = words[0];
    const char* arg = n > 1 ? words[1] : nullptr;

    if (text_EqualNoCase(first, "VERSION_NUMBER")) {
        long long v = 0;
        if (arg && !ReadInteger(arg, &v)) v = 0;
        inmap_VersionSet(st.map, ClampInt32(v));
        return 0;
    }
    if (text_EqualNoCase(first, "THROTTLE_THRESHOLD")) {
        long long v = INMAP_THRESHOLD_DEFAULT;
        if (arg && !ReadInteger(arg, &v)) v = INMAP_THRESHOLD_DEFAULT;
        inmap_ThresholdSet(st.map, ClampInt32(v));
        return 0;
    }
    if (text_EqualNoCase(first, "JOYSTICK_SCALE")) {
        double v = 1.0;
        if (arg && !ReadReal(arg, &v)) v = 1.0;
        inmap_ScaleSet(st.map, v < 0.0 ? 0.0f : v > 1.0 ? 1.0f : (float)v);
        return 0;
    }
    if (text_EqualNoCase(first, "KEYBOARD") || text_EqualNoCase(first, "JOYSTICK")) {
        bool keyboard = text_EqualNoCase(first, "KEYBOARD");
        int32_t* layout = keyboard ? &st.keyboardLayout : &st.joystickLayout;
        if (!arg || !ReadLayout(arg, keyboard ? inmap_KeyboardLayoutByName : inmap_JoystickLayoutByName, layout))
            *layout = 0;
        return 0;
    }

    // An action, with the words of one binding. A name is kept short enough
    // that every line written for it can be read again.
    if (strlen(first) > (size_t)INMAP_ACTION_NAME_MAX) {
        SkipLine(st, "has an action name longer than 255 characters");
        return 0;
    }
    // A quoted name with blanks or quotes, or one that reads as a comment,
    // would be written as a line that reads back as something else.
    bool plain = !(first[0] == '/' && first[1] == '/');
    for (const char* c = first; *c && plain; c++)
        if ((unsigned char)*c <= ' ' || *c == '"') plain = false;
    if (!plain) {
        SkipLine(st, "has an action name that is not one word");
        return 0;
    }
    _INMAP_ACTION* action = inmap_ActionFind(st.map, first);
    if (!action) action = inmap_ActionCreate(st.map, first, -1, 0, nullptr);
    if (!action) {
        SetError("line %ld: out of memory", (long)st.lineNumber);
        return -1;
    }
    int32_t modifiers = 0, hold = 0;
    const InmapKeyName* key = nullptr;
    for (int i = 1; i < n; i++) {
        const char* w = words[i];
        if (text_EqualNoCase(w, "HOLD")) {
            hold = 1;
        } else if (text_EqualNoCase(w, "CTRL")) {
            modifiers |= INMAP_MOD_CTRL;
        } else if (text_EqualNoCase(w, "SHIFT")) {
            modifiers |= INMAP_MOD_SHIFT;
        } else if (text_EqualNoCase(w, "ALT")) {
            modifiers |= INMAP_MOD_ALT;
        } else if (text_EqualNoCase(w, "NONE")) {
            modifiers = hold = 0;
            key = nullptr;
        } else if (const InmapKeyName* k = inmap_KeyNameByName(w)) {
            key = k;
        }
        // Any other word is ignored.
    }
    if (!key) return 0;
    int32_t layout = key->kind == INMAP_KIND_KEYBOARD   ? st.keyboardLayout
                     : key->kind == INMAP_KIND_JOYSTICK ? st.joystickLayout
                                                        : 0;
    if (!inmap_InputCreate(action, key->kind, layout, key->code, modifiers, hold)) {
        SetError("line %ld: out of memory", (long)st.lineNumber);
        return -1;
    }
    return 0;
}

// ---- the written form ----------------------------------------------------------

// Lines of a text file as the map file and the report keep them.
struct TextOut {
    std::string text;
    void line(const char* s) {
        text += s;
        text += "\r\n";
    }
    void linef(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        char buf[INMAP_LINE_MAX + 64];
        va_list args;
        va_start(args, format);
        vsnprintf(buf, sizeof buf, format, args);
        va_end(args);
        line(buf);
    }
};

// "NAME   [HOLD ][CTRL ][SHIFT ][ALT ]KEY", or "NAME   NONE" for a key
// without a name; upper-cased.
void BindingLine(TextOut& out, const _INMAP_INPUT* in, int width) {
    const char* name = in->action && in->action->name ? in->action->name : "";
    const InmapKeyName* key = inmap_KeyNameFind(in->kind, in->code);
    char buf[INMAP_LINE_MAX + 64];
    if (!key) {
        snprintf(buf, sizeof buf, "%-*s NONE", width, name);
    } else {
        snprintf(buf, sizeof buf, "%-*s %s%s%s%s%s", width, name, in->hold ? "HOLD " : "",
                 (in->modifiers & INMAP_MOD_CTRL) ? "CTRL " : "", (in->modifiers & INMAP_MOD_SHIFT) ? "SHIFT " : "",
                 (in->modifiers & INMAP_MOD_ALT) ? "ALT " : "", key->name);
    }
    text_ToUpper(buf);
    out.line(buf);
}

// Every input of that kind and layout, action by action in list order.
void LayoutSection(TextOut& out, _INMAP* map, const char* keyword, const InmapLayout* layout, int32_t kind,
                   int width) {
    out.line("");
    out.linef("%s %s", keyword, layout->name);
    for (_INMAP_ACTION* a = map->actionHead; a; a = a->next)
        for (_INMAP_INPUT* in = a->inputHead; in; in = in->actionNext)
            if (in->kind == kind && in->layout == layout->layout) BindingLine(out, in, width);
}

void FormatMap(TextOut& out, _INMAP* map) {
    out.line("//#################################################");
    out.line("//#  Tarvesk Input Mapping System Resource File");
    out.line("//#################################################");
    out.linef("// %ld Actions, %ld Inputs", (long)map->actionCount, (long)map->inputCount);
    out.line("");
    out.linef("VERSION_NUMBER %ld", (long)map->version);
    out.linef("THROTTLE_THRESHOLD %ld", (long)map->threshold);
    out.linef("JOYSTICK_SCALE %lf", (double)map->scale);
    out.line("");
    int width = inmap_NameWidth(map) + 2;
    for (const InmapLayout* l = inmap_KeyboardLayouts; l->name; l++)
        LayoutSection(out, map, "KEYBOARD", l, INMAP_KIND_KEYBOARD, width);
    for (const InmapLayout* l = inmap_JoystickLayouts; l->name; l++)
        LayoutSection(out, map, "JOYSTICK", l, INMAP_KIND_JOYSTICK, width);
    out.line("");
    for (_INMAP_ACTION* a = map->actionHead; a; a = a->next) {
        if (!a->name || a->inputCount != 0) continue;
        char buf[INMAP_LINE_MAX + 64];
        snprintf(buf, sizeof buf, "%-*s NONE", width, a->name);
        text_ToUpper(buf);
        out.line(buf);
    }
}

// Writes the text to a temporary beside the file, then moves it over the
// file, so that a failed write leaves the old file whole.
int32_t WriteReplacing(const char* fileName, const std::string& text) {
    if (text.size() > (size_t)INT32_MAX) return -1;
    return efile_SaveReplacing(fileName, text.data(), (int32_t)text.size());
}

}  // namespace

// ---- reading ------------------------------------------------------------------

int32_t inmap_TextParse(_INMAP* map, const char* text, size_t length) {
    inmap_TextError[0] = 0;
    inmap_TextSkipped = 0;
    inmap_TextSkipReason[0] = 0;
    if (!map || (!text && length)) {
        SetError("no map or no text");
        return -1;
    }
    ParseState st{map, 0, 0, 0};
    char line[INMAP_LINE_MAX + 1];
    size_t pos = 0;
    while (pos < length) {
        st.lineNumber++;
        size_t end = pos;
        bool zero = false;
        while (end < length && text[end] != '\n') {
            if (text[end] == 0) zero = true;
            end++;
        }
        size_t len = end - pos;
        if (len && text[pos + len - 1] == '\r') len--;
        if (zero) {
            SkipLine(st, "holds a zero byte");
        } else if (len > (size_t)INMAP_LINE_MAX) {
            SkipLine(st, "is longer than 1024 characters");
        } else {
            memcpy(line, text + pos, len);
            line[len] = 0;
            if (ParseLine(st, line) != 0) return -1;
        }
        pos = end < length ? end + 1 : end;
    }
    return 0;
}

_INMAP* inmap_TextLoad(const char* fileName) {
    inmap_TextError[0] = 0;
    if (!fileName) return nullptr;
    FILE* f = plat_FOpen(fileName, "rb");
    if (!f) {
        SetError("cannot be opened");
        return nullptr;
    }
    std::vector<char> buffer((size_t)INMAP_FILE_MAX + 1);
    size_t length = fread(buffer.data(), 1, buffer.size(), f);
    bool failed = ferror(f) != 0;
    fclose(f);
    if (failed || length > (size_t)INMAP_FILE_MAX) {
        SetError(failed ? "cannot be read" : "is larger than %ld bytes", (long)INMAP_FILE_MAX);
        fprintf(stderr, "inmap_TextLoad: %s: %s\n", fileName, inmap_TextError);
        return nullptr;
    }
    _INMAP* map = inmap_MapCreate(nullptr);
    if (!map) {
        SetError("out of memory");
        fprintf(stderr, "inmap_TextLoad: %s: %s\n", fileName, inmap_TextError);
        return nullptr;
    }
    if (inmap_TextParse(map, buffer.data(), length) != 0) {
        fprintf(stderr, "inmap_TextLoad: %s: %s\n", fileName, inmap_TextError);
        inmap_MapFree(map);
        return nullptr;
    }
    if (inmap_TextSkipped)
        fprintf(stderr, "inmap_TextLoad: %s: %ld line(s) skipped, the first: %s\n", fileName, (long)inmap_TextSkipped,
                inmap_TextSkipReason);
    return map;
}

// ---- writing ------------------------------------------------------------------

size_t inmap_TextFormat(_INMAP* map, char* buffer, size_t size) {
    if (buffer && size) buffer[0] = 0;
    if (!map) return 0;
    TextOut out;
    FormatMap(out, map);
    if (buffer && size) snprintf(buffer, size, "%s", out.text.c_str());
    return out.text.size();
}

int32_t inmap_TextWrite(_INMAP* map, const char* fileName) {
    if (!map || !fileName) return -1;
    TextOut out;
    FormatMap(out, map);
    return WriteReplacing(fileName, out.text);
}

int32_t inmap_ReportWrite(_INMAP* map, const InmapActionDef* table, const char* fileName) {
    if (!map) return -1;
    for (_INMAP_ACTION* a = map->actionHead; a; a = a->next) {
        a->id = -1;
        a->continuous = 0;
        a->handler = nullptr;
    }
    if (table) {
        for (const InmapActionDef* d = table; d->name; d++) {
            if (_INMAP_ACTION* a = inmap_ActionFind(map, d->name)) {
                a->id = d->id;
                a->continuous = d->continuous;
                a->handler = d->handler;
            }
        }
    }
    if (!fileName) return 0;
    TextOut out;
    out.line("//#################################################");
    out.line("//  RUN-TIME INPUT MAPPING REPORT");
    out.line("//#################################################");
    out.line("");
    out.line("// ACTIONS THAT ARE SUPPORTED AND MAPPED");
    for (_INMAP_ACTION* a = map->actionHead; a; a = a->next)
        if (a->handler) out.line(a->name ? a->name : "");
    out.line("");
    out.line("// ACTIONS THAT ARE NOT SUPPORTED BUT MAPPED");
    for (_INMAP_ACTION* a = map->actionHead; a; a = a->next)
        if (!a->handler) out.line(a->name ? a->name : "");
    out.line("");
    out.line("// ACTIONS THAT ARE SUPPORTED BUT NOT MAPPED");
    if (table)
        for (const InmapActionDef* d = table; d->name; d++)
            if (!inmap_ActionFind(map, d->name)) out.line(d->name);
    return WriteReplacing(fileName, out.text);
}

// ---- the open map ---------------------------------------------------------------

const char* inmap_FileName(void) { return app_Record.inputMapName[0] ? app_Record.inputMapName : INMAP_FILE_DEFAULT; }

_INMAP* inmap_MapOpen(void) {
    if (inmap_OpenMap) return inmap_OpenMap;
    const char* fileName = inmap_FileName();
    _INMAP* map = inmap_TextLoad(fileName);
    if (map && map->version != INMAP_VERSION) {
        fprintf(stderr, "inmap_MapOpen: %s: version %ld, not %ld: the default bindings replace it\n", fileName,
                (long)map->version, (long)INMAP_VERSION);
        inmap_MapFree(map);
        map = nullptr;
    } else if (!map && inmap_TextError[0] && plat_FileExists(fileName)) {
        fprintf(stderr, "inmap_MapOpen: %s: the default bindings replace it\n", fileName);
    }
    if (!map) {
        map = inmap_MapCreate(inmap_DefaultBindings);
        if (map && inmap_ExtraBindings && inmap_BindingsAdd(map, inmap_ExtraBindings) != 0) {
            inmap_MapFree(map);
            map = nullptr;
        }
        if (!map) return nullptr;
        inmap_VersionSet(map, INMAP_VERSION);
        inmap_ThresholdSet(map, INMAP_THRESHOLD_DEFAULT);
        inmap_ActionsSort(map);
        // The player's file, if there is one, is kept before the defaults
        // take its place; when no copy can be made it stays as it is.
        if (efile_KeepBackup(fileName) == 0) inmap_TextWrite(map, fileName);
    }
    inmap_OpenMap = map;
    inmap_ReportWrite(map, inmap_ActionTable, INMAP_REPORT_FILE);

    ejoy_ThrottleThresholdSet(map->threshold);
    inmap_KeyboardLayoutSet(0);
    inmap_JoystickLayoutSet(app_Settings.JOYSTICK_LAYOUT);
    ejoy_EnableFlag = app_Settings.JOYSTICK_ENABLE;
    inmap_UseRudder = app_Settings.RUDDER_ENABLE;
    inmap_UseThrottle = app_Settings.THROTTLE_ENABLE;
    return map;
}

void inmap_MapClose(void) {
    if (!inmap_OpenMap) return;
    inmap_MapActivate(nullptr);
    inmap_MapFree(inmap_OpenMap);
    inmap_OpenMap = nullptr;
}

void inmap_JoystickButtonsRemap(void) {
    _INMAP* map = inmap_OpenMap;
    if (!map) return;
    // An active map re-sorts its input list whenever an input is added, which
    // the walks below must not see: it is activated again at the end.
    bool active = map == inmap_ActiveMap;
    if (active) inmap_MapActivate(nullptr);
    auto isJoy = [](const _INMAP_INPUT* in, int32_t code) {
        return in->kind == INMAP_KIND_JOYSTICK && in->code == code;
    };
    // Each step is a pass of its own, so that an input moved by one step is
    // not moved again by the next.
    for (_INMAP_INPUT *in = map->inputHead, *next; in; in = next) {
        next = in->next;
        if (isJoy(in, kB1)) inmap_InputDelete(in);
    }
    for (_INMAP_INPUT* in = map->inputHead; in; in = in->next)
        if (isJoy(in, kB2)) in->code = kB1;
    for (_INMAP_INPUT* in = map->inputHead; in; in = in->next)
        if (isJoy(in, kB3)) in->code = kB2;
    // The copies go to the end of the list on B3, so the walk passes over
    // them.
    for (_INMAP_INPUT* in = map->inputHead; in; in = in->next)
        if (isJoy(in, kB4))
            inmap_InputCreate(in->action, INMAP_KIND_JOYSTICK, in->layout, kB3, in->modifiers, in->hold);

    bool created = false;
    _INMAP_ACTION* ctrl = inmap_ActionFind(map, "CTRL");
    if (!ctrl) {
        ctrl = inmap_ActionCreate(map, "CTRL", -1, 1, nullptr);
        created = true;
    }
    if (ctrl) {
        // Each B4 input of another action is replaced by a held CTRL one; the
        // new inputs belong to CTRL, so the walk leaves them alone.
        for (_INMAP_INPUT *in = map->inputHead, *next; in; in = next) {
            next = in->next;
            if (!isJoy(in, kB4) || in->action == ctrl) continue;
            if (inmap_InputCreate(ctrl, INMAP_KIND_JOYSTICK, in->layout, kB4, 0, 1)) {
                next = in->next;
                inmap_InputDelete(in);
            }
        }
    }
    if (created) inmap_ReportWrite(map, inmap_ActionTable, INMAP_REPORT_FILE);
    if (active) inmap_MapActivate(map);
}
