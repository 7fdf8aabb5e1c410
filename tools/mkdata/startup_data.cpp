// The files the program checks at start-up: APP.INI and two of the three
// indexed data files that carry a version item (the game data file and the
// menu data file; the input-map data file has a writer of its own).
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "mkdata.h"
#include "sim/weapon.h"

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

// The weapon names the HUD weapon line and the stores pages read: each
// row's short text item holds its id, its second item its display name.
// Rows that share an item (the AI rows) keep the first row's texts.
std::map<uint32_t, std::pair<const char*, const char*>> WeaponTexts(void) {
    static std::vector<std::string> names;
    names.clear();
    names.reserve(2 * WEAPON_TYPES);
    std::map<uint32_t, std::pair<const char*, const char*>> texts;
    for (int32_t i = 0; i < WEAPON_TYPES; i++) {
        const _WEAPON_TYPE& r = weapon_Types[i];
        if (!texts.count((uint32_t)r.shortText)) {
            names.push_back(std::string("WPN_") + r.id);
            texts[(uint32_t)r.shortText] = {names.back().c_str(), r.id};
        }
        if (!texts.count((uint32_t)r.secondText)) {
            names.push_back(std::string("WPNL_") + r.id);
            texts[(uint32_t)r.secondText] = {names.back().c_str(), r.displayName};
        }
    }
    return texts;
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

std::vector<uint8_t> mkdata_MenuDataBuild(void) {
    std::map<uint32_t, std::pair<const char*, const char*>> texts;
    uint32_t i = 0;
    for (const MkMenuText& t : mkdata_MenuTexts()) texts[i++] = {t.name, t.text};
    return mkdata_TableBuild(Table("KRXMENU", 393, 392, 7, texts));
}

int mkdata_WriteStartupData(const std::string& dir) {
    if (WriteAppIni(dir) != 0) return -1;

    // Game data: its texts come with the subsystems that read them.
    std::map<uint32_t, std::pair<const char*, const char*>> game = WeaponTexts();
    for (const MkGameText& t : mkdata_RulesGameTexts()) game[t.item] = {t.name, t.text};
    for (const MkGameText& t : mkdata_FlightTexts()) game[t.item] = {t.name, t.text};
    for (const MkGameText& t : mkdata_ServerTexts()) game[t.item] = {t.name, t.text};
    for (const MkGameText& t : mkdata_HudTexts()) game[t.item] = {t.name, t.text};
    for (const MkGameText& t : mkdata_CommandMenuTexts()) game[t.item] = {t.name, t.text};
    for (const MkGameText& t : mkdata_PageTexts()) game[t.item] = {t.name, t.text};
    for (const MkGameText& t : mkdata_MfdTexts()) game[t.item] = {t.name, t.text};
    for (const MkGameText& t : mkdata_MfdLabelTexts()) game[t.item] = {t.name, t.text};
    for (const MkGameText& t : mkdata_MfdPageTexts()) game[t.item] = {t.name, t.text};
    for (const MkGameText& t : mkdata_ConsoleTexts()) game[t.item] = {t.name, t.text};
    for (const MkGameText& t : mkdata_MapNameTexts()) game[t.item] = {t.name, t.text};
    for (const MkGameText& t : mkdata_MapGameTexts()) game.emplace(t.item, std::make_pair(t.name, t.text));
    std::vector<MkTableGroup> qjgame = Table("QJGAME", 1022, 1021, 6, game);
    mkdata_PageColumnsSet(&qjgame[0]);
    mkdata_PffAdd("KRX.PFF", "QJGAME.BIN", mkdata_TableBuild(qjgame));

    // Menu data: its texts come with the menu screens (mkdata_MenuTexts).
    mkdata_PffAdd("KRX.PFF", "KRXMENU.BIN", mkdata_MenuDataBuild());
    return 0;
}
