// The input-map text resource INPUTMAP.BIN: the display names of the keys,
// mouse and joystick inputs, of the layouts and of the actions, the Ctrl,
// Shift, Alt and Hold words, and the version item. The names come from the
// program's own key-name, layout and action tables, so every item the
// program asks for is there.
#include <cctype>
#include <cstdio>
#include <map>
#include <string>

#include "input/inmapfile.h"
#include "mkdata.h"

namespace {

constexpr uint32_t kItemCount = INMAP_ITEM_VERSION + 1;

// "FIRE_CURRENT_WEAPON" -> "Fire current weapon"; the short words that are
// names of their own stay in capitals.
std::string SentenceCase(const std::string& name) {
    static const char* const kCapitals[] = {"AAM", "AGM", "HUD", "MFD", "ID", "AB", "MIL", "POV", "FCS", "FLCS",
                                            "WXN", "PC", "KRX", "T1", "T2", "T3", "T4", "T5", "L1", "L2",
                                            "L3", "L4", "L5", "R1", "R2", "R3", "R4", "R5", "B1", "B2",
                                            "B3", "B4", "B5", "LANTIRN", "FX", "U", "V"};
    std::string out;
    size_t start = 0;
    bool firstWord = true;
    while (start <= name.size()) {
        size_t end = name.find('_', start);
        if (end == std::string::npos) end = name.size();
        std::string word = name.substr(start, end - start);
        bool capital = false;
        for (const char* c : kCapitals) capital = capital || word == c;
        if (!capital) {
            for (size_t i = 0; i < word.size(); i++) {
                unsigned char c = (unsigned char)word[i];
                word[i] = (char)(i == 0 && firstWord ? toupper(c) : tolower(c));
            }
        }
        if (!out.empty()) out += ' ';
        out += word;
        firstWord = false;
        start = end + 1;
    }
    return out;
}

// The text shown for a key name record (the first record of each display id).
std::string KeyText(const InmapKeyName& k) {
    static const std::map<std::string, std::string> kKeys = {
        {"BACKSPACE", "Backspace"}, {"ENTER", "Enter"},       {"CAPSLOCK", "Caps Lock"},
        {"ESC", "Esc"},             {"PGUP", "Page Up"},     {"PGDN", "Page Down"},
        {"INS", "Insert"},          {"DEL", "Delete"},       {"SNAPSHOT", "Print Screen"},
        {"NUMLOCK", "Num Lock"},    {"SCROLLLOCK", "Scroll Lock"}, {"SEPARATOR", "Separator"},
        {"NUMPAD_MULTIPLY", "Numpad *"}, {"NUMPAD_ADD", "Numpad +"}, {"NUMPAD_SUBTRACT", "Numpad -"},
        {"NUMPAD_PERIOD", "Numpad ."},   {"NUMPAD_DIVIDE", "Numpad /"},
        {"SEMICOLON", ";"}, {"EQUAL", "="}, {"LESSTHAN", ","}, {"SUBTRACT", "-"}, {"PERIOD", "."},
        {"DIVIDE", "/"},    {"TILDE", "`"}, {"OPENBRACKET", "["}, {"BACKSLASH", "\\"}, {"CLOSEBRACKET", "]"},
        {"SINGLEQUOTE", "'"},
        {"MOUSE_LEFT", "Left mouse button"}, {"MOUSE_MIDDLE", "Middle mouse button"},
        {"MOUSE_RIGHT", "Right mouse button"}, {"MOUSE_MOVE_UP", "Mouse up"}, {"MOUSE_MOVE_DOWN", "Mouse down"},
        {"MOUSE_MOVE_LEFT", "Mouse left"}, {"MOUSE_MOVE_RIGHT", "Mouse right"},
        {"JOY_LEFT", "Stick left"}, {"JOY_RIGHT", "Stick right"}, {"JOY_UP", "Stick forward"},
        {"JOY_DOWN", "Stick back"}, {"THROTTLE", "Throttle"}, {"RUDDER_LEFT", "Rudder left"},
        {"RUDDER_RIGHT", "Rudder right"}, {"U_MIN", "U axis -"}, {"U_MAX", "U axis +"},
        {"V_MIN", "V axis -"}, {"V_MAX", "V axis +"},
    };
    std::string name = k.name;
    if (auto it = kKeys.find(name); it != kKeys.end()) return it->second;
    if (name.size() == 1 || (name[0] == 'F' && isdigit((unsigned char)name[1]))) return name;
    int n = 0;
    char dir[8] = "";
    if (sscanf(name.c_str(), "NUMPAD%d", &n) == 1) return "Numpad " + std::to_string(n);
    if (sscanf(name.c_str(), "HAT%d_%7s", &n, dir) == 2) {
        for (char* c = dir; *c; c++) *c = (char)tolower((unsigned char)*c);
        return "Hat " + std::to_string(n) + " " + dir;
    }
    if (sscanf(name.c_str(), "HAT%d", &n) == 1) return "Hat " + std::to_string(n);
    if (sscanf(name.c_str(), "B%d", &n) == 1) return "Button " + std::to_string(n);
    return SentenceCase(name);
}

// The joystick layouts' names as the makers spell them.
std::string JoystickLayoutText(const InmapLayout& l) {
    static const std::map<std::string, std::string> kLayouts = {
        {"STANDARD", "Standard joystick"},
        {"STANDARD_FORCE_FEEDBACK", "Standard force-feedback joystick"},
        {"FCS", "FCS"},
        {"KRX_FLCS", "KRX FLCS"},
        {"WXN_PRO", "WXN Pro"},
        {"FLIGHTSTICK", "FlightStick"},
        {"FLIGHTSTICK_PRO", "FlightStick Pro"},
        {"FORCE_FX", "Force FX"},
        {"PC_COMMANDER_PLUS", "PC Commander Plus"},
        {"WINGMAN", "Wingman"},
        {"WINGMAN_EXTREME", "Wingman Extreme"},
        {"WINGMAN_EXTREME_DIGITAL", "Wingman Extreme Digital"},
        {"WINGMAN_INTERCEPTOR", "Wingman Interceptor"},
        {"CYBERMAN2", "Cyberman 2"},
        {"THUNDERPAD_DIGITAL", "ThunderPad Digital"},
        {"WINGMAN_FORCE_FEEDBACK", "Wingman Force Feedback"},
        {"SIDEWINDER", "SideWinder"},
        {"SIDEWINDER_FORCE_FEEDBACK_PRO", "SideWinder Force Feedback Pro"},
    };
    auto it = kLayouts.find(l.name);
    return it != kLayouts.end() ? it->second : SentenceCase(l.name);
}

}  // namespace

std::vector<uint8_t> mkdata_InputMapBuild(void) {
    std::vector<MkTableItem> items(kItemCount);
    for (uint32_t i = 0; i < kItemCount; i++) items[i].name = "ITEM" + std::to_string(i);
    auto set = [&items](int32_t item, const std::string& name, const std::string& text) {
        if (item < 0 || (uint32_t)item >= items.size() || items[item].name.rfind("ITEM", 0) != 0) return;
        items[item].name = name;
        items[item].text = text;
    };
    for (const InmapKeyName* k = inmap_KeyNames; k->name; k++)
        set(k->displayId, std::string("KEY_") + k->name, KeyText(*k));
    for (const InmapLayout* l = inmap_KeyboardLayouts; l->name; l++)
        set(l->displayItem, std::string("KEYBOARD_") + l->name, SentenceCase(l->name) + " keyboard");
    for (const InmapLayout* l = inmap_JoystickLayouts; l->name; l++)
        set(l->displayItem, std::string("JOYSTICK_") + l->name, JoystickLayoutText(*l));
    for (const InmapActionDef* a = inmap_ActionTable; a->name; a++)
        set(a->id, std::string("ACTION_") + a->name, SentenceCase(a->name));
    set(INMAP_ITEM_WORD_CTRL, "WORD_CTRL", "Ctrl");
    set(INMAP_ITEM_WORD_SHIFT, "WORD_SHIFT", "Shift");
    set(INMAP_ITEM_WORD_ALT, "WORD_ALT", "Alt");
    set(INMAP_ITEM_WORD_HOLD, "WORD_HOLD", "Hold");
    items[INMAP_ITEM_VERSION].name = "VERSION";
    items[INMAP_ITEM_VERSION].text = "1";
    items[INMAP_ITEM_VERSION].word1 = 1;
    return mkdata_TableBuild({MkTableGroup{"INPUTMAP", items}});
}

int mkdata_WriteInputMap(const std::string& dir) {
    (void)dir;
    mkdata_PffAdd("COMMON.PFF", INMAP_RESOURCE_NAME, mkdata_InputMapBuild());
    return 0;
}
