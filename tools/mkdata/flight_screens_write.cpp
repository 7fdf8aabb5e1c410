// The screens between the mission choice and the flight: the briefing, the
// teletype page, the loading and loadout screens; their widgets, texts,
// region maps and teletype pages.
#include <cstdio>
#include <cstring>

#include "mkdata.h"

namespace {

constexpr int32_t kMapWidth = 275, kMapHeight = 265, kMapRegions = 3;

void Button(MkMenuScript& s, const char* window, const char* image, const char* name, int32_t x, int32_t y,
            const char* text, const char* action, const char* hoverIn = "cbInHover", const char* hoverOut = "cbOutHover") {
    char buf[256];
    snprintf(buf, sizeof buf, "%s, %s, %s, 0, %d, %d, %s, %s, %d, %s, %s, %s, BUTTON_CLICK", window, image, name, (int)x,
             (int)y, text, strcmp(text, "NULL") == 0 ? "NULL" : "ARIAL12", strcmp(text, "NULL") == 0 ? 0 : 512, action,
             hoverIn, hoverOut);
    s.buttons.push_back(buf);
}

void Text(MkMenuScript& s, const char* window, const char* name, const char* key, const char* font, int32_t l,
          int32_t t, int32_t r, int32_t b, int32_t flags) {
    char buf[256];
    snprintf(buf, sizeof buf, "%s, %s, %s, %s, %d, %d, %d, %d, %d", window, name, key, font, (int)l, (int)t, (int)r,
             (int)b, (int)flags);
    s.texts.push_back(buf);
}

void Briefing(MkMenuScript& s) {
    s.windows.push_back("WndMisBrief, 0, 0, 0, MainBack, ARIAL12");
    Text(s, "WndMisBrief", "MBTitle", "MB_TITLE", "ARIAL16B", 0, 20, 640, 60, 512);
    Text(s, "WndMisBrief", "TxtMBBriefHeader", "NULL", "ARIAL10", 30, 80, 320, 130, 1024);
    Button(s, "WndMisBrief", "ScrollUp", "BtnMBUp", 310, 140, "NULL", "cbMisUp", "NULL", "NULL");
    Button(s, "WndMisBrief", "ScrollDown", "BtnMBDown", 310, 364, "NULL", "cbMisDown", "NULL", "NULL");
    s.scrolls.push_back("WndMisBrief, ScrollMB, BtnMBUp, BtnMBDown, ARIAL10, ScrollThumb, 30, 140, 300, 380, "
                        "302, 158, 318, 362, 1");
    for (int32_t r = 1; r <= kMapRegions; r++) {
        char buf[96];
        snprintf(buf, sizeof buf, "ImageSMap%d, SMAP%d.PCX, 0, 1, 0, 0, 0", (int)r, (int)r);
        s.images.push_back(buf);
    }
    Button(s, "WndMisBrief", "MainButton", "BtnMisLoadOut", 110, 400, "MB_LOADOUT", "cbMisLoadOut");
    Button(s, "WndMisBrief", "MainButton", "BtnMisMap", 320, 400, "MB_MAP", "cbMisMap");
    Button(s, "WndMisBrief", "MainButton", "BtnMisStats", 530, 400, "MB_STATS", "cbMisStats");
    Button(s, "WndMisBrief", "MainButton", "BtnMisBack", 110, 440, "MB_BACK", "cbMisBack");
    Button(s, "WndMisBrief", "MainButton", "BtnMisSkip", 320, 440, "MB_SKIP", "cbMBSkip");
    Button(s, "WndMisBrief", "MainButton", "BtnMisAccept", 530, 440, "MB_ACCEPT", "cbMisAccept");
}

void Teletype(MkMenuScript& s) {
    s.windows.push_back("WndAnime, 0, 0, 0, NULL, ARIAL12");
    s.windows.push_back("WndLoading, 0, 0, 0, MainBack, ARIAL12");
    Text(s, "WndLoading", "LoadingTitle", "LOADING_TITLE", "ARIAL16B", 0, 220, 640, 260, 512);
}

void Loadout(MkMenuScript& s) {
    s.windows.push_back("WndLoadOut, 0, 0, 0, MainBack, ARIAL12");
    for (int32_t i = 1; i <= 5; i++) {
        char name[32], action[32], area[32];
        int32_t y = 262 + (i - 1) * 24;
        snprintf(name, sizeof name, "BtnLOL%d", (int)i);
        snprintf(action, sizeof action, "cbLOSel%dL", (int)i);
        snprintf(area, sizeof area, "TxtLOSel%d", (int)i);
        char hover[32];
        snprintf(hover, sizeof hover, "cbLOHover%d", (int)i - 1);
        Button(s, "WndLoadOut", "ScrollUp", name, 30, y, "NULL", action, hover, "cbLOOutHover");
        snprintf(name, sizeof name, "BtnLOR%d", (int)i);
        snprintf(action, sizeof action, "cbLOSel%dR", (int)i);
        Button(s, "WndLoadOut", "ScrollDown", name, 240, y, "NULL", action, hover, "cbLOOutHover");
        Text(s, "WndLoadOut", area, "NULL", "ARIAL10", 52, y, 230, y + 18, 0);
    }
    // The preview's controls lie under its rectangle (16, 17)-(625, 240).
    Button(s, "WndLoadOut", "ScrollUp", "BtnLOYawL", 540, 242, "NULL", "cbLOYawL", "cbLOHoverX", "cbLOOutHover");
    Button(s, "WndLoadOut", "ScrollDown", "BtnLOYawR", 560, 242, "NULL", "cbLOYawR", "cbLOHoverX", "cbLOOutHover");
    Button(s, "WndLoadOut", "ScrollUp", "BtnLOZoomIn", 580, 242, "NULL", "cbLOZoomIn", "cbLOHoverX", "cbLOOutHover");
    Button(s, "WndLoadOut", "ScrollDown", "BtnLOZoomOut", 600, 242, "NULL", "cbLOZoomOut", "cbLOHoverX", "cbLOOutHover");
    for (int32_t i = 1; i <= 6; i++) {
        char area[32];
        snprintf(area, sizeof area, "TxtLOWeapText%d", (int)i);
        Text(s, "WndLoadOut", area, "NULL", "ARIAL10", 280, 258 + (i - 1) * 18, 620, 274 + (i - 1) * 18, 0);
    }
    for (int32_t i = 1; i <= 4; i++) {
        char area[32];
        snprintf(area, sizeof area, "TxtLODescPos%d", (int)i);
        Text(s, "WndLoadOut", area, "NULL", "ARIAL10", 450, 366 + (i - 1) * 16, 620, 380 + (i - 1) * 16, 0);
    }
    Button(s, "WndLoadOut", "ScrollUp", "BtnLOSimL", 280, 370, "NULL", "cbLOSimTog", "cbLOHoverX", "cbLOOutHover");
    Text(s, "WndLoadOut", "TxtLOSimMode", "NULL", "ARIAL10", 300, 370, 420, 386, 0);
    Button(s, "WndLoadOut", "ScrollDown", "BtnLOSimR", 420, 370, "NULL", "cbLOSimTog", "cbLOHoverX", "cbLOOutHover");
    Text(s, "WndLoadOut", "TxtLODefLoad", "LO_DEFAULT", "ARIAL10", 280, 400, 420, 416, 0);
    Button(s, "WndLoadOut", "MainButton", "BtnLODef", 320, 440, "LO_DEFAULT", "cbLODef");
    Button(s, "WndLoadOut", "MainButton", "BtnLOBack", 110, 440, "LO_BACK", "cbLOBack");
    Button(s, "WndLoadOut", "MainButton", "BtnLOAccept", 530, 440, "LO_ACCEPT", "cbLOAccept");
}

// A teletype page: its header keys, and the page text in its own string
// file.
int WritePage(const std::string& dir, const char* name, const char* movie, const char* textFile, const char* text) {
    char page[1024];
    snprintf(page, sizeof page,
             "; teletype page\r\n[HEADER]\r\nPWF=KRXMENU.PWF\r\nFONT=ARIAL12\r\nANIM=%s\r\nPCX=TTYBACK.PCX\r\n"
             "SOUND=TYPING\r\nULX=40\r\nULY=60\r\nLRX=600\r\nLRY=440\r\nRATE=1\r\nWHITESPACERATE=1\r\nXSPACER=1\r\n"
             "TEXTBIN=%s\r\nTEXTID=0\r\n",
             movie, textFile);
    if (mkdata_WriteText(dir, name, page) != 0) return -1;
    return mkdata_TableWrite(dir, textFile, {{"PAGE", {{"TEXT", text}}}});
}

}  // namespace

void mkdata_FlightScreensScript(MkMenuScript& s) {
    Briefing(s);
    Teletype(s);
    Loadout(s);
}

std::vector<MkMenuText> mkdata_FlightScreensTexts(void) {
    return {
        {"MB_TITLE", "Mission Briefing"}, {"MB_ACCEPT", "{hot}Fly"},         {"MB_BACK", "{hot}Back"},
        {"MB_LOADOUT", "{hot}Loadout"},   {"MB_MAP", "{hot}Map"},            {"MB_STATS", "S{hot}tatistics"},
        {"MB_SKIP", "S{hot}kip"},         {"MB_CAMP", "Campaign"},           {"MP_MISSION", "Mission"},
        {"NO_DESC", "No briefing for this mission."},
        {"LOADING_TITLE", "Loading ..."},
        {"LO_ACCEPT", "{hot}Accept"},     {"LO_BACK", "{hot}Cancel"},        {"LO_DEFAULT", "{hot}Default"},
        {"LO_SIM_MODE", "Simulation"},    {"LO_FUN_MODE", "Arcade"},         {"CC_EMPTY", "Empty"},
        {"NOT_AVAIL", "N/A"},             {"LO_NOWEAPS", "No stores"},       {"LO_NOWEAPS2", "on this station"},
        {"LO_AIRTOSHIP", "Anti-ship"},    {"LO_BOMB", "Bomb"},               {"LO_FUELPOD", "Fuel tank"},
        {"LO_AIRTOAIR", "Air to air"},    {"LO_AIRTOGROUND", "Air to ground"}, {"LO_GUIDE", "Guidance:"},
        {"LO_RADAR", "Radar"},            {"LO_HEAT", "Infrared"},           {"LO_TV", "TV"},
        {"LO_LASER", "Laser"},            {"LO_GPS", "GPS"},                 {"LO_RANGE", "Range:"},
        {"NM", "nm"},                     {"LO_WEIGHT", "Weight:"},          {"LBS", "lbs"},
        {"LO_QUANTITY", "In stock:"},
    };
}

int mkdata_WriteFlightScreens(const std::string& dir) {
    uint8_t palette[768];
    mkdata_GamePalette(palette);
    // Region maps: a land colour per region with a grid over it.
    static const uint8_t kLand[kMapRegions][3] = {{60, 120, 70}, {190, 160, 90}, {120, 110, 100}};
    for (int32_t r = 0; r < kMapRegions; r++) {
        std::vector<uint8_t> px((size_t)kMapWidth * kMapHeight);
        uint8_t land = (uint8_t)mkdata_PaletteNearest(palette, kLand[r][0], kLand[r][1], kLand[r][2]);
        uint8_t grid = (uint8_t)mkdata_PaletteNearest(palette, 220, 220, 220);
        for (int32_t y = 0; y < kMapHeight; y++)
            for (int32_t x = 0; x < kMapWidth; x++) px[(size_t)y * kMapWidth + x] = (x % 40 == 0 || y % 40 == 0) ? grid : land;
        char name[32];
        snprintf(name, sizeof name, "SMAP%d.PCX", (int)r + 1);
        if (mkdata_PcxWrite(dir, name, kMapWidth, kMapHeight, px.data(), palette) != 0) return -1;
    }
    // The teletype background: dark paper.
    std::vector<uint8_t> back((size_t)640 * 480, (uint8_t)mkdata_PaletteNearest(palette, 20, 24, 20));
    if (mkdata_PcxWrite(dir, "TTYBACK.PCX", 640, 480, back.data(), palette) != 0) return -1;
    if (WritePage(dir, "f1m1.wes", "KRXOVER.KDV", "TTY0101.BIN",
                  "FLASH TRAFFIC <CR> RANGE DAY. TAKE OFF, LOOK OVER THE LAKE AND COME BACK IN ONE PIECE.") != 0)
        return -1;
    return WritePage(dir, "f2m1.wes", "", "TTY0201.BIN",
                     "PRIORITY <CR> LAKE PATROL. FLY THE SHORE AND REPORT WHAT YOU SEE. <CR> END OF MESSAGE.");
}
