// The files the program checks at start-up: APP.INI and the three indexed
// data files that carry a version item (the game data file, the input-map
// data file and the menu data file).
#include <cstdio>
#include <map>

#include "mkdata.h"

namespace {

// A table of `count` items in one group, empty but for the given texts; the
// version item holds its number as text and in its first word.
std::vector<MkTableGroup> Table(const char* group, uint32_t count, uint32_t versionItem, uint32_t version,
                                const std::map<uint32_t, std::pair<const char*, const char*>>& texts) {
    MkTableGroup g{group, {}};
    for (uint32_t i = 0; i < count; i++) {
        MkTableItem item;
        char name[32];
        snprintf(name, sizeof name, "ITEM%u", i);
        item.name = name;
        if (auto it = texts.find(i); it != texts.end()) {
            item.name = it->second.first;
            item.text = it->second.second;
        }
        if (i == versionItem) {
            item.name = "VERSION";
            item.text = std::to_string(version);
            item.word1 = version;
        }
        g.items.push_back(item);
    }
    return {g};
}

int WriteAppIni(const std::string& dir) {
    std::string text =
        "//############################################\r\n"
        "// Tarvesk Application Init File\r\n"
        "//############################################\r\n"
        "\r\n"
        "VERSION 1\r\n"
        "\r\n"
        "SKIP_16BIT_CHECK 0\r\n"
        "SKIP_BAD3DFXDLLS_CHECK 0\r\n"
        "\r\n";
    for (int i = 0; i < 10; i++) text += "CHAT " + std::to_string(i) + " \"\"\r\n";
    return mkdata_WriteText(dir, "APP.INI", text);
}

}  // namespace

int mkdata_WriteStartupData(const std::string& dir) {
    if (WriteAppIni(dir) != 0) return -1;

    // Game data: its texts come with the subsystems that read them.
    mkdata_PffAdd("KRX.PFF", "QJGAME.BIN", mkdata_TableBuild(Table("QJGAME", 1022, 1021, 6, {})));

    // Input map: the modifier and hold words and the layout names.
    std::map<uint32_t, std::pair<const char*, const char*>> input = {
        {185, {"LAYOUT_STANDARD", "Standard keyboard"}},
        {186, {"JOY_STANDARD", "Standard joystick"}},
        {187, {"JOY_STANDARD_FF", "Standard force-feedback joystick"}},
        {188, {"JOY_WINGMAN", "Wingman"}},
        {189, {"JOY_WINGMAN_EXTREME", "Wingman Extreme"}},
        {190, {"JOY_WINGMAN_EXTREME_DIGITAL", "Wingman Extreme Digital"}},
        {191, {"JOY_WINGMAN_FF", "Wingman Force Feedback"}},
        {192, {"JOY_CYBERMAN2", "Cyberman 2"}},
        {193, {"JOY_THUNDERPAD_DIGITAL", "ThunderPad Digital"}},
        {194, {"JOY_SIDEWINDER", "SideWinder"}},
        {195, {"JOY_SIDEWINDER_FF_PRO", "SideWinder Force Feedback Pro"}},
        {196, {"JOY_WXN_PRO", "WXN Pro"}},
        {197, {"JOY_KRX_FLCS", "KRX FLCS"}},
        {198, {"JOY_FCS", "FCS"}},
        {199, {"JOY_FLIGHTSTICK", "FlightStick"}},
        {200, {"JOY_FLIGHTSTICK_PRO", "FlightStick Pro"}},
        {201, {"JOY_PC_COMMANDER_PLUS", "PC Commander Plus"}},
        {202, {"JOY_WINGMAN_INTERCEPTOR", "Wingman Interceptor"}},
        {203, {"JOY_FORCE_FX", "Force FX"}},
        {487, {"WORD_CTRL", "Ctrl"}},
        {488, {"WORD_SHIFT", "Shift"}},
        {489, {"WORD_ALT", "Alt"}},
        {490, {"WORD_HOLD", "Hold"}},
    };
    mkdata_PffAdd("COMMON.PFF", "INPUTMAP.BIN", mkdata_TableBuild(Table("INPUTMAP", 492, 491, 1, input)));

    // Menu data: its texts come with the menu screens.
    mkdata_PffAdd("KRX.PFF", "KRXMENU.BIN", mkdata_TableBuild(Table("KRXMENU", 393, 392, 7, {})));
    return 0;
}
