// The menu script "KRX.MNU" and the files its common part names.
#include <cstdio>
#include <cstring>

#include "mkdata.h"

namespace {

void Section(std::string& out, const char* name, const char* key, const std::vector<std::string>& lines,
             const char* firstKey = nullptr, const std::string& first = {}) {
    out += "[";
    out += name;
    out += "]\r\n";
    if (firstKey && !first.empty()) out += std::string(firstKey) + "=" + first + "\r\n";
    for (const std::string& l : lines) out += std::string(key) + "=" + l + "\r\n";
    out += "\r\n";
}

// Main screen buttons: name, caption key, action.
struct MainButton {
    const char* name;
    const char* textKey;
    const char* action;
};
const MainButton kMainButtons[] = {
    {"BtnSingle", "MAIN_SINGLE", "cbSingle"},     {"BtnCampaign", "MAIN_CAMPAIGN", "cbNewCamp"},
    {"BtnMulti", "MAIN_MULTI", "cbMulti"},        {"BtnOptions", "MAIN_OPTIONS", "cbOptions"},
    {"BtnOverview", "MAIN_OVERVIEW", "cbOverview"}, {"BtnCredits", "MAIN_CREDITS", "cbCredits"},
    {"BtnUpdate", "MAIN_UPDATE", "cbUpdate"},     {"BtnExit", "MAIN_EXIT", "cbExit"},
};

constexpr int32_t kButtonWidth = 200, kButtonHeight = 28, kButtonFrames = 4;

}  // namespace

std::vector<uint8_t> mkdata_ButtonStrip(const uint8_t* palette, int32_t w, int32_t h, int32_t frames) {
    std::vector<uint8_t> px((size_t)w * h * frames);
    for (int32_t f = 0; f < frames; f++) {
        int level = 60 + 40 * f;
        uint8_t fill = (uint8_t)mkdata_PaletteNearest(palette, level / 2, level / 2, level);
        uint8_t edge = (uint8_t)mkdata_PaletteNearest(palette, 200, 200, 220);
        for (int32_t y = 0; y < h; y++)
            for (int32_t x = 0; x < w; x++)
                px[(size_t)(f * h + y) * w + x] = (x == 0 || y == 0 || x == w - 1 || y == h - 1) ? edge : fill;
    }
    return px;
}

std::vector<uint8_t> mkdata_CursorFrames(const uint8_t* palette, int32_t frames, bool hand) {
    std::vector<uint8_t> px((size_t)16 * 16 * frames, 0);
    for (int32_t f = 0; f < frames; f++) {
        uint8_t body = (uint8_t)mkdata_PaletteNearest(palette, 240, 240, 240);
        uint8_t tip = (uint8_t)mkdata_PaletteNearest(palette, 255, 80 * f, 40);
        for (int32_t y = 0; y < 16; y++)
            for (int32_t x = 0; x <= (hand ? 6 : y * 2 / 3); x++) px[(size_t)(f * 16 + y) * 16 + x] = y < 3 ? tip : body;
    }
    return px;
}

std::vector<uint8_t> mkdata_ScrollThumb(const uint8_t* palette, int32_t w, int32_t h) {
    std::vector<uint8_t> px((size_t)w * h);
    uint8_t edge = (uint8_t)mkdata_PaletteNearest(palette, 230, 230, 240);
    uint8_t fill = (uint8_t)mkdata_PaletteNearest(palette, 120, 130, 170);
    for (int32_t y = 0; y < h; y++)
        for (int32_t x = 0; x < w; x++)
            px[(size_t)y * w + x] = (x == 0 || y == 0 || x == w - 1 || y == h - 1) ? edge : fill;
    return px;
}

std::vector<uint8_t> mkdata_ArrowStrip(const uint8_t* palette, int32_t size, int32_t frames, bool down) {
    std::vector<uint8_t> px = mkdata_ButtonStrip(palette, size, size, frames);
    uint8_t ink = (uint8_t)mkdata_PaletteNearest(palette, 250, 250, 250);
    for (int32_t f = 0; f < frames; f++)
        for (int32_t r = 0; r < size / 2 - 2; r++) {
            int32_t y = down ? size / 2 + 3 - r : size / 4 + r + 1;
            for (int32_t x = size / 2 - r; x <= size / 2 + r; x++)
                if (y > 0 && y < size - 1 && x > 0 && x < size - 1) px[(size_t)(f * size + y) * size + x] = ink;
        }
    return px;
}

std::string mkdata_MenuScriptBuild(const MkMenuScript& s) {
    std::string out = "; KRX menu script: resources and widgets of the front end\r\n\r\n";
    Section(out, "STRINGS", "STRING", s.strings, "RESOURCE", s.resource);
    Section(out, "IMAGES", "IMAGE", s.images);
    Section(out, "SOUNDS", "SOUND", s.sounds, "PWF", s.pwf);
    Section(out, "SOUNDEVENTS", "SOUNDEVENT", s.soundEvents);
    Section(out, "RGBS", "RGB", s.rgbs);
    Section(out, "FONTS", "FONT", s.fonts);
    Section(out, "CURSORS", "CURSOR", s.cursors);
    Section(out, "WINDOWS", "WND", s.windows);
    Section(out, "BUTTONS", "BUTTON", s.buttons);
    Section(out, "TEXT_ENTRY_AREAS", "TEXTENTRY", s.entries);
    Section(out, "SCROLL_AREAS", "SCROLL", s.scrolls);
    Section(out, "TEXT_AREAS", "TEXT", s.texts);
    Section(out, "IMAGE_AREAS", "IMAGE_AREA", s.imageAreas);
    return out;
}

std::string mkdata_MenuSoundEvent(const std::string& name, uint16_t type, uint16_t id) {
    char buf[160];
    snprintf(buf, sizeof buf, "%s, 0, 0, 255, -1, 0, 0, NULL, %u, 0, %u, 0", name.c_str(), type, id);
    return buf;
}

std::vector<MkMenuText> mkdata_MenuTexts(void) {
    std::vector<MkMenuText> texts = {
        {"MAIN_SINGLE", "{hot}Single Mission"}, {"MAIN_CAMPAIGN", "{hot}Campaign"},
        {"MAIN_MULTI", "{hot}Multiplayer"},     {"MAIN_OPTIONS", "{hot}Options"},
        {"MAIN_OVERVIEW", "O{hot}verview"},     {"MAIN_CREDITS", "C{hot}redits"},
        {"MAIN_UPDATE", "{hot}Update"},         {"MAIN_EXIT", "E{hot}xit"},
        {"MAIN_TITLE", "KRX"},
        {"CREDITS_BACK", "{hot}Back"},
        {"CREDITS_TITLE", "Credits"},
        {"QM_TITLE", "Quick Mission"},  {"QM_ACCEPT", "{hot}Accept"},
        {"QM_BACK", "{hot}Back"},       {"QM_USER", "{hot}User Mission"},
        {"QM_LABEL", "Mission"},        {"QM_TIME", "Time:"},
        {"QM_REGION", "Region:"},       {"HO_TOD_1", "Dawn"},
        {"HO_TOD_2", "Day"},            {"HO_TOD_3", "Dusk"},
        {"HO_TOD_4", "Night"},          {"HO_REGION_1", "Coast"},
        {"HO_REGION_2", "Desert"},      {"HO_REGION_3", "Mountains"},
        {"USER_DLG_TITLE", "User Mission"},
        {"USER_DLG_FILTER1", "Missions (*.ORF)"},
        {"USER_DLG_FILTER2", "*.ORF;*.orf"},
    };
    mkdata_OptionTexts(texts);
    for (const MkMenuText& t : mkdata_FlightScreensTexts()) texts.push_back(t);
    for (const MkMenuText& t : mkdata_CampScreensTexts()) texts.push_back(t);
    mkdata_MapTexts(texts);
    mkdata_MultiTexts(texts);
    // Keep last.
    mkdata_MultiTextsPlace(texts);
    return texts;
}

MkMenuScript mkdata_MenuScript(void) {
    MkMenuScript s;
    s.resource = "KRXMENU.BIN";
    s.strings = {"MSG_OK,OK", "MSG_CANCEL,Cancel", "MSG_YES,{hot}Yes", "MSG_NO,{hot}No",
                 "MSG_LOADING,Loading ...",
                 "MM_TARV_ERROR,The online service's launcher is not installed."};
    s.images = {
        "MainBack, MAINBACK.PCX, 0, 1, 0, 0, 0",
        "MainButton, MAINBTN.PCX, 4, 4, 0, 0, 1",
        "Cursor1Img, CURSOR1.PCX, 0, 4, 0, 0, 1",
        "Cursor2Img, CURSOR2.PCX, 0, 2, 0, 0, 1",
        "ScrollThumb, THUMB.PCX, 0, 1, 0, 0, 0",
        "ScrollUp, SCRLUP.PCX, 0, 4, 0, 0, 0",
        "ScrollDown, SCRLDN.PCX, 0, 4, 0, 0, 0",
        "ImageVSlider, THUMB.PCX, 0, 1, 0, 0, 0",
    };
    s.pwf = MK_MENU_SOUND_FILE;
    s.sounds = {"CLICK", "HOVER", "TRANSITION_IN", "TRANSITION_OUT"};
    s.soundEvents = {
        mkdata_MenuSoundEvent("TRANSITION_IN", MK_MENU_SOUND_TYPE, MK_MENU_SOUND_TRANSITION_IN),
        mkdata_MenuSoundEvent("TRANSITION_OUT", MK_MENU_SOUND_TYPE, MK_MENU_SOUND_TRANSITION_OUT),
        mkdata_MenuSoundEvent("BUTTON_CLICK", MK_MENU_SOUND_TYPE, MK_MENU_SOUND_CLICK),
        mkdata_MenuSoundEvent("BUTTON_HOVER", MK_MENU_SOUND_TYPE, MK_MENU_SOUND_HOVER),
        mkdata_MenuSoundEvent("TYPING", MK_MENU_SOUND_TYPE, MK_MENU_SOUND_TYPING),
    };
    s.rgbs = {"White, 255, 255, 255", "Grey, 140, 140, 150", "Dark, 40, 44, 56",   "Amber, 255, 190, 60",
              "Orange, 200, 110, 20", "Green, 90, 230, 110", "DarkGreen, 20, 90, 30"};
    s.fonts = {
        "ARIAL10, arial10.pcx, White, Grey, Amber, Orange, Grey, Dark",
        "ARIAL10W, arial10.pcx, White, White, Amber, Amber, Grey, Dark",
        "ARIAL12, arial12.pcx, White, Grey, Amber, Orange, Grey, Dark",
        "ARIAL16B, arial16b.pcx, White, Grey, Amber, Orange, Grey, Dark",
        "ARIAL10G, arial10.pcx, Green, DarkGreen, White, Green, Grey, Dark",
    };
    s.cursors = {"Cursor1, Cursor1Img, 5, 0, 0", "Cursor2, Cursor2Img, 7, 0, 0"};
    s.windows = {"WndMain, 0, 0, 0, MainBack, ARIAL12"};
    int32_t y = 150;
    for (const MainButton& b : kMainButtons) {
        char buf[256];
        snprintf(buf, sizeof buf, "WndMain, MainButton, %s, 0, 320, %d, %s, ARIAL12, 512, %s, cbInHover, cbOutHover, BUTTON_CLICK",
                 b.name, y, b.textKey, b.action);
        s.buttons.push_back(buf);
        y += kButtonHeight + 8;
    }
    // The credits screen: the main backdrop, a title, a back button, and the
    // credit lines scrolling through the viewport of KRXCRE.TXT.
    s.windows.push_back("WndCredits, 0, 0, 0, MainBack, ARIAL12");
    s.buttons.push_back("WndCredits, MainButton, BtnCredBack, 0, 220, 430, CREDITS_BACK, ARIAL12, 512, cbCredBack, "
                        "cbInHover, cbOutHover, BUTTON_CLICK");
    s.texts = {"WndMain, MainTitle, MAIN_TITLE, ARIAL16B, 0, 40, 640, 80, 512",
               "WndCredits, CreditsTitle, CREDITS_TITLE, ARIAL16B, 0, 20, 640, 60, 512"};
    // The quick mission screen: six rows of missions (group 2) with their
    // text areas, the scroll buttons beside them, the description area and
    // the accept, user-mission and back buttons.
    s.windows.push_back("WndQuickMis, 0, 0, 0, MainBack, ARIAL12");
    s.texts.push_back("WndQuickMis, QMTitle, QM_TITLE, ARIAL16B, 0, 20, 640, 60, 512");
    for (int32_t r = 0; r < 6; r++) {
        char buf[256];
        snprintf(buf, sizeof buf, "WndQuickMis, MainButton, BtnQMSel%d, 2, 60, %d, NULL, NULL, 0, cbQMSel%d, NULL, NULL, "
                 "BUTTON_CLICK", r, 80 + r * 55, r);
        s.buttons.push_back(buf);
        snprintf(buf, sizeof buf, "WndQuickMis, TxtQMSel%d, NULL, ARIAL10, 66, %d, 322, %d, 1024", r, 80 + r * 55,
                 130 + r * 55);
        s.texts.push_back(buf);
    }
    s.buttons.push_back("WndQuickMis, ScrollUp, BtnQMUp, 0, 26, 80, NULL, NULL, 0, cbQMUp, NULL, NULL, BUTTON_CLICK");
    s.buttons.push_back("WndQuickMis, ScrollDown, BtnQMDown, 0, 26, 392, NULL, NULL, 0, cbQMDown, NULL, NULL, "
                        "BUTTON_CLICK");
    s.texts.push_back("WndQuickMis, TxtQMBriefing, NULL, ARIAL10, 340, 80, 620, 400, 1024");
    s.buttons.push_back("WndQuickMis, MainButton, BtnQMAccept, 0, 480, 430, QM_ACCEPT, ARIAL12, 512, cbQMAccept, "
                        "cbInHover, cbOutHover, BUTTON_CLICK");
    s.buttons.push_back("WndQuickMis, MainButton, BtnQMUser, 0, 320, 430, QM_USER, ARIAL12, 512, cbQMUser, "
                        "cbInHover, cbOutHover, BUTTON_CLICK");
    s.buttons.push_back("WndQuickMis, MainButton, BtnQMBack, 0, 160, 430, QM_BACK, ARIAL12, 512, cbQMBack, "
                        "cbInHover, cbOutHover, BUTTON_CLICK");
    mkdata_OptionScript(s);
    mkdata_FlightScreensScript(s);
    mkdata_CampScreensScript(s);
    mkdata_MapScript(s);
    mkdata_MultiScript(s);
    return s;
}

int mkdata_WriteMenuScript(const std::string& dir) {
    uint8_t palette[768];
    mkdata_GamePalette(palette);
    // Fonts on the generated bitmap font grid.
    const struct {
        const char* name;
        int32_t cell;
        bool bold;
    } kFonts[] = {{"arial10.pcx", 10, false}, {"arial12.pcx", 12, false}, {"arial16b.pcx", 16, true}};
    for (const auto& f : kFonts) {
        int32_t w = 0, h = 0;
        std::vector<uint8_t> image = mkdata_FontImage(f.cell, f.bold, &w, &h);
        if (mkdata_PcxWrite(dir, f.name, w, h, image.data(), palette) != 0) return -1;
    }
    // The main backdrop: a vertical blue gradient.
    std::vector<uint8_t> back(640 * 480);
    for (int32_t y = 0; y < 480; y++) {
        uint8_t c = (uint8_t)mkdata_PaletteNearest(palette, 10, 20 + y / 12, 60 + y / 6);
        memset(&back[(size_t)y * 640], c, 640);
    }
    if (mkdata_PcxWrite(dir, "MAINBACK.PCX", 640, 480, back.data(), palette) != 0) return -1;
    std::vector<uint8_t> button = mkdata_ButtonStrip(palette, kButtonWidth, kButtonHeight, kButtonFrames);
    if (mkdata_PcxWrite(dir, "MAINBTN.PCX", kButtonWidth, kButtonHeight * kButtonFrames, button.data(), palette) != 0)
        return -1;
    std::vector<uint8_t> c1 = mkdata_CursorFrames(palette, 4, false), c2 = mkdata_CursorFrames(palette, 2, true);
    if (mkdata_PcxWrite(dir, "CURSOR1.PCX", 16, 64, c1.data(), palette) != 0) return -1;
    if (mkdata_PcxWrite(dir, "CURSOR2.PCX", 16, 32, c2.data(), palette) != 0) return -1;
    std::vector<uint8_t> thumb = mkdata_ScrollThumb(palette, 14, 24);
    if (mkdata_PcxWrite(dir, "THUMB.PCX", 14, 24, thumb.data(), palette) != 0) return -1;
    std::vector<uint8_t> up = mkdata_ArrowStrip(palette, 16, 4, false), down = mkdata_ArrowStrip(palette, 16, 4, true);
    if (mkdata_PcxWrite(dir, "SCRLUP.PCX", 16, 64, up.data(), palette) != 0) return -1;
    if (mkdata_PcxWrite(dir, "SCRLDN.PCX", 16, 64, down.data(), palette) != 0) return -1;
    if (mkdata_WriteOptionArt(dir, palette) != 0) return -1;
    if (mkdata_WriteMapArt(dir) != 0) return -1;
    if (mkdata_WriteText(dir, "KRXCRE.TXT", mkdata_CreditsBuild(mkdata_Credits())) != 0) return -1;
    return mkdata_WriteText(dir, "KRX.MNU", mkdata_MenuScriptBuild(mkdata_MenuScript()));
}

std::string mkdata_CreditsBuild(const MkCredits& c) {
    std::string out = "; KRX credits\r\n\r\n[GLOBAL]\r\n";
    for (const auto& kv : c.global) out += kv.first + "=" + std::to_string(kv.second) + "\r\n";
    out += "\r\n[TEXT]\r\n";
    for (const std::string& l : c.lines) out += "CREDIT=" + l + "\r\n";
    return out;
}

MkCredits mkdata_Credits(void) {
    MkCredits c;
    c.global = {{"VIEWPORT_ULX", 120}, {"VIEWPORT_ULY", 80},  {"VIEWPORT_LRX", 520}, {"VIEWPORT_LRY", 400},
                {"SCROLL_RATE", 2},    {"TICK_DELAY", 0},     {"CR_SPACER", 12},     {"LINE_SPACER", 4}};
    c.lines = {
        "KRX, ARIAL16B, 6",
        "A combat flight simulator, ARIAL12, 6",
        "<CR>, ARIAL10, 0",
        "Design and programming, ARIAL12, 18",
        "The KRX team, ARIAL10, 2",
        "Art and sound, ARIAL12, 18",
        "Made by the builder, ARIAL10, 6",
        "Testing, ARIAL12, 18",
        "Headless runs, ARIAL10, 2",
        "Scripted pilots, ARIAL10, 10",
        "Thanks for flying, ARIAL10W, 1",
    };
    return c;
}
