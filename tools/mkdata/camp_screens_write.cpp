// The campaign screen with its pilot slots and sub-pages, the clear-slot
// dialog, the statistics, splash and contest screens: their widgets and
// texts, the campaign strings "KRX_CC.BIN", the medal pictures, and the
// first campaign's file. Contest pictures are made for tests only.
#include <cstdio>
#include <cstring>

#include "debug/cheat.h"
#include "mkdata.h"

namespace {

const char* const kStatRows[] = {"Callsign", "Status",     "Time",     "AirKills", "GroundKills", "Landed", "Ejected",
                                 "Crashed",  "ShortRange", "MedRange", "Cannon",   "Bombs",       "Score"};
constexpr int32_t kMedals = 5, kMedalSize = 48, kMedalFrames = 3;

// A captioned button's x is its centre, a picture's its left edge.
void Button(MkMenuScript& s, const char* window, const char* image, const char* name, int32_t group, int32_t x,
            int32_t y, const char* text, const char* action) {
    const bool captioned = strcmp(text, "NULL") != 0;
    char buf[256];
    snprintf(buf, sizeof buf, "%s, %s, %s, %d, %d, %d, %s, %s, %d, %s, %s, %s, BUTTON_CLICK", window, image, name,
             (int)group, (int)x, (int)y, text, captioned ? "ARIAL12" : "NULL", captioned ? 512 : 0, action,
             captioned ? "cbInHover" : "NULL", captioned ? "cbOutHover" : "NULL");
    s.buttons.push_back(buf);
}

void Text(MkMenuScript& s, const char* window, const char* name, const char* key, int32_t l, int32_t t, int32_t r,
          int32_t b, int32_t flags, const char* font = "ARIAL10") {
    char buf[256];
    snprintf(buf, sizeof buf, "%s, %s, %s, %s, %d, %d, %d, %d, %d", window, name, key, font, (int)l, (int)t, (int)r,
             (int)b, (int)flags);
    s.texts.push_back(buf);
}

// Label areas P+row (their texts ST_ROW) and value areas "P{row}Stats"
// starting where the labels start: the screens move them past the widest.
void StatsTable(MkMenuScript& s, const char* window, const char* prefix, int32_t x, int32_t y) {
    for (const char* row : kStatRows) {
        char label[64], value[64], key[64];
        snprintf(label, sizeof label, "%s%s", prefix, row);
        snprintf(value, sizeof value, "%s%sStats", prefix, row);
        snprintf(key, sizeof key, "ST_%s", row);
        for (char* k = key; *k; k++) *k = (char)(*k >= 'a' && *k <= 'z' ? *k - 32 : *k);
        Text(s, window, label, key, x, y, x + 200, y + 18, 0);
        Text(s, window, value, "NULL", x + 12, y, x + 360, y + 18, 0);
        y += 22;
    }
}

void NewCamp(MkMenuScript& s) {
    s.windows.push_back("WndNewCamp, 0, 0, 0, MainBack, ARIAL12");
    s.windows.push_back("WndNewCampPage1, 1, 0, 0, NULL, ARIAL10");
    s.windows.push_back("WndNewCampPage2, 1, 0, 0, NULL, ARIAL10");
    s.windows.push_back("WndNewCampPage3, 1, 0, 0, NULL, ARIAL10");
    s.windows.push_back("WndCampDlg, 2, 0, 0, NULL, ARIAL12");
    Text(s, "WndNewCamp", "NCTitle", "NC_TITLE", 0, 10, 640, 40, 512, "ARIAL16B");
    // Ten slots: buttons of group 10 with the name entries over them.
    for (int32_t i = 0; i < 10; i++) {
        char button[32], action[32], entry[128];
        const int32_t y = 50 + i * 34;
        snprintf(button, sizeof button, "BtnNCSlot%d", (int)i);
        snprintf(action, sizeof action, "cbNCSlot%d", (int)i);
        Button(s, "WndNewCamp", "MainButton", button, 10, 20, y, "NULL", action);
        snprintf(entry, sizeof entry, "WndNewCamp, EntryNCSlot%d, 28, %d, 212, %d, %s", (int)i, (int)y + 6,
                 (int)y + 24, button);
        s.entries.push_back(entry);
    }
    Button(s, "WndNewCamp", "ScrollUp", "BtnNCLeft", 0, 250, 52, "NULL", "cbNCStatTogL");
    Text(s, "WndNewCamp", "TxtNCSubPage", "NC_FLIGHT_STATS", 270, 50, 600, 70, 512, "ARIAL12");
    Button(s, "WndNewCamp", "ScrollDown", "BtnNCRight", 0, 606, 52, "NULL", "cbNCStatTogR");
    Button(s, "WndNewCamp", "MainButton", "BtnNCEdit", 0, 330, 400, "NC_EDIT", "cbNCEdit");
    Button(s, "WndNewCamp", "MainButton", "BtnNCClear", 0, 530, 400, "NC_CLEAR", "cbNCClear");
    Button(s, "WndNewCamp", "MainButton", "BtnNCBack", 0, 120, 440, "NC_BACK", "cbNCBack");
    Button(s, "WndNewCamp", "MainButton", "BtnNCAccept", 0, 530, 440, "NC_ACCEPT", "cbNCAccept");
    // Page 1: the flight statistics.
    StatsTable(s, "WndNewCampPage1", "TxtNC", 250, 84);
    // Page 3: the campaigns.
    Button(s, "WndNewCampPage3", "ScrollUp", "BtnNCP3Left", 0, 250, 92, "NULL", "cbNCCampTogL");
    Text(s, "WndNewCampPage3", "TxtNCCurCamp", "NULL", 270, 90, 600, 110, 512, "ARIAL12");
    Button(s, "WndNewCampPage3", "ScrollDown", "BtnNCP3Right", 0, 606, 92, "NULL", "cbNCCampTogR");
    Text(s, "WndNewCampPage3", "TxtNCCampDesc", "NULL", 250, 120, 630, 250, 1024);
    Text(s, "WndNewCampPage3", "TxtNCLeftMisLabel", "NC_LEFT_MIS", 250, 270, 420, 288, 0);
    Text(s, "WndNewCampPage3", "TxtNCLeftMis", "NULL", 250, 270, 450, 288, 0);
    Text(s, "WndNewCampPage3", "TxtNCCurMisLabel", "NC_CUR_MIS", 250, 296, 420, 314, 0);
    Text(s, "WndNewCampPage3", "TxtNCCurMis", "NULL", 250, 296, 500, 314, 0);
    // Page 2: the medals.
    for (int32_t m = 1; m <= kMedals; m++) {
        char buf[128];
        snprintf(buf, sizeof buf, "ImageMedal%d, MEDAL%d.PCX, 0, %d, 0, 0, 1", (int)m, (int)m, (int)kMedalFrames);
        s.images.push_back(buf);
        snprintf(buf, sizeof buf, "WndNewCampPage2, WndNCMedal%d, ImageMedal%d, %d, 110, 0, 0, 0", (int)m, (int)m,
                 (int)(262 + (m - 1) * 72));
        s.imageAreas.push_back(buf);
    }
    Text(s, "WndNewCampPage2", "TxtNCMedalText", "NULL", 250, 190, 630, 210, 512, "ARIAL12");
    // The clear-slot dialog.
    Text(s, "WndCampDlg", "TxtNCDlg", "NC_CLEAR_ASK", 120, 190, 520, 230, 512, "ARIAL12");
    Button(s, "WndCampDlg", "MainButton", "BtnNCOk", 0, 210, 260, "NC_OK", "cbNCOk");
    Button(s, "WndCampDlg", "MainButton", "BtnNCCancel", 0, 430, 260, "NC_CANCEL", "cbNCCancel");
}

void Others(MkMenuScript& s) {
    s.windows.push_back("WndStats, 0, 0, 0, MainBack, ARIAL12");
    Text(s, "WndStats", "StTitle", "ST_TITLE", 0, 20, 640, 60, 512, "ARIAL16B");
    StatsTable(s, "WndStats", "TxtSt", 140, 80);
    Button(s, "WndStats", "MainButton", "BtnStatsBack", 0, 320, 430, "ST_BACK", "cbStatsBack");
    s.windows.push_back("WndSplash, 0, 0, 0, MainBack, ARIAL12");
    Text(s, "WndSplash", "SplashTitle", "SPLASH_TITLE", 0, 200, 640, 240, 512, "ARIAL16B");
    Button(s, "WndSplash", "MainButton", "BtnSplashExit", 0, 320, 430, "SPLASH_EXIT", "cbSplashExit");
    s.windows.push_back("WndContest, 1, 0, 0, NULL, ARIAL12");
    Button(s, "WndContest", "MainButton", "BtnContestBack", 0, 320, 440, "CONTEST_BACK", "cbCONTESTBack");
}

// A medal: a disc on a ribbon, dark (not won), lit and highlighted.
std::vector<uint8_t> MedalStrip(const uint8_t* palette, int32_t medal) {
    static const uint8_t kMetal[kMedals][3] = {
        {200, 120, 60}, {200, 200, 210}, {240, 200, 60}, {120, 200, 240}, {230, 90, 90}};
    std::vector<uint8_t> px((size_t)kMedalSize * kMedalSize * kMedalFrames);
    for (int32_t f = 0; f < kMedalFrames; f++) {
        const int32_t k = f == 0 ? 3 : f == 1 ? 1 : 0;  // dimmer for the dark frame
        const uint8_t metal = (uint8_t)mkdata_PaletteNearest(palette, kMetal[medal][0] / (k ? k : 1) + (f == 2 ? 15 : 0),
                                                             kMetal[medal][1] / (k ? k : 1), kMetal[medal][2] / (k ? k : 1));
        const uint8_t ribbon = (uint8_t)mkdata_PaletteNearest(palette, f ? 40 : 20, f ? 60 : 30, f ? 160 : 60);
        for (int32_t y = 0; y < kMedalSize; y++)
            for (int32_t x = 0; x < kMedalSize; x++) {
                const int32_t dx = x - kMedalSize / 2, dy = y - 30;
                uint8_t c = 0;
                if (y < 16 && x >= 16 && x < 32) c = ribbon;
                if (dx * dx + dy * dy <= 15 * 15) c = metal;
                px[((size_t)f * kMedalSize + y) * kMedalSize + x] = c;
            }
    }
    return px;
}

}  // namespace

void mkdata_CampScreensScript(MkMenuScript& s) {
    NewCamp(s);
    Others(s);
}

std::vector<MkMenuText> mkdata_CampScreensTexts(void) {
    return {
        {"NC_TITLE", "Campaign"},          {"NC_EDIT", "{hot}Rename"},        {"NC_CLEAR", "C{hot}lear"},
        {"NC_BACK", "{hot}Back"},          {"NC_ACCEPT", "{hot}Fly"},         {"NC_OK", "{hot}Clear"},
        {"NC_CANCEL", "{hot}Keep"},        {"NC_CLEAR_ASK", "Clear this pilot for good?"},
        {"NC_FLIGHT_STATS", "Flight Statistics"}, {"NC_CAMPAIGNS", "Campaigns"}, {"NC_MEDALS", "Medals"},
        {"NC_LEFT_MIS", "Missions left:"}, {"NC_CUR_MIS", "Next mission:"},
        {"ST_CALLSIGN", "Callsign"},       {"ST_STATUS", "Status"},           {"ST_TIME", "Time flown"},
        {"ST_AIRKILLS", "Air kills"},      {"ST_GROUNDKILLS", "Ground kills"}, {"ST_LANDED", "Landings"},
        {"ST_EJECTED", "Ejections"},       {"ST_CRASHED", "Crashes"},         {"ST_SHORTRANGE", "Short range"},
        {"ST_MEDRANGE", "Medium range"},   {"ST_CANNON", "Cannon"},           {"ST_BOMBS", "Bombs"},
        {"ST_SCORE", "Score"},             {"ST_FIRED", "Fired"},             {"ST_HIT", "Hit"},
        {"ST_RATIO", "Ratio"},             {"ST_ACTIVE", "Active"},           {"ST_RETIRED", "Retired"},
        {"ST_TITLE", "Pilot Statistics"},  {"ST_BACK", "{hot}Back"},
        {"MD_MEDAL1_TITLE", "Bronze Wing"}, {"MD_MEDAL2_TITLE", "Silver Wing"}, {"MD_MEDAL3_TITLE", "Gold Wing"},
        {"MD_MEDAL4_TITLE", "Sky Cross"},  {"MD_MEDAL5_TITLE", "Star of the Range"},
        {"SPLASH_TITLE", "KRX"},           {"SPLASH_EXIT", "{hot}Continue"},  {"CONTEST_BACK", "{hot}Back"},
    };
}

std::vector<MkTableGroup> mkdata_CampaignStrings(void) {
    return {{"CAMPAIGN",
             {{"CC_CAMP1", "First Sortie"},
              {"CC_CAMPDESC1", "Learn the range: one flight over the lake."},
              {"CC_CAMP2", "Lake Campaign"},
              {"CC_CAMPDESC2", "Patrol the lake and strike the tower."},
              {"CC_CAMP3", "Night Campaign"},
              {"CC_CAMPDESC3", "Intercept the raiders and hold the airfield."}}}};
}

std::vector<uint8_t> mkdata_ContestPictureBuild(const std::string& scratchDir, int32_t width, int32_t height,
                                                const uint8_t* pixels, const uint8_t* palette, const char* key) {
    std::vector<uint8_t> file = mkdata_PcxBuild(scratchDir, width, height, pixels, palette);
    if (!file.empty()) cheat_KeyedScrambleBytes(file.data(), (int32_t)file.size(), key);
    return file;
}

int mkdata_WriteCampScreens(const std::string& dir) {
    uint8_t palette[768];
    mkdata_GamePalette(palette);
    for (int32_t m = 0; m < kMedals; m++) {
        char name[32];
        snprintf(name, sizeof name, "MEDAL%d.PCX", (int)m + 1);
        std::vector<uint8_t> strip = MedalStrip(palette, m);
        if (mkdata_PcxWrite(dir, name, kMedalSize, kMedalSize * kMedalFrames, strip.data(), palette) != 0) return -1;
    }
    if (mkdata_TableWrite(dir, "KRX_CC.BIN", mkdata_CampaignStrings()) != 0) return -1;
    // The first campaign: the sample mission "F1M1.ORF".
    return mkdata_WriteFile(dir, "FCAMP01.bin", std::vector<uint8_t>{'F', 'C', 'A', 'M', 'P'});
}
