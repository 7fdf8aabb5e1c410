// The options screen in the data set: its windows, panels, sliders, remap
// rows, dialogs and texts, and the pictures they use.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "mkdata.h"

namespace {

// One value row of a settings page: its label, the area showing the value
// (placed on its panel window by the program), the two buttons and what
// they call.
struct OptRow {
    int32_t page;
    const char* label;
    const char* area;   // TxtOpt...
    const char* panel;  // WndOptPage...
    const char* left;
    const char* right;
    const char* leftAction;
    const char* rightAction;
};

constexpr int32_t kRowTop = 120, kRowStep = 32, kPanelX = 364, kPanelW = 170, kPanelH = 22;

// Settings pages' rows, each page's rows in order from the top; rows whose
// place is taken by a slider are given by y below.
const OptRow kRows[] = {
    {1, "OPT_L_SCREENSIZE", "TxtOptScreenSize", "WndOptPage1Panel1", "BtnOptLeft", "BtnOptRight", "cbOptScreenTog",
     "cbOptScreenTog"},
    {1, "OPT_L_SCREENRES", "TxtOptScreenRes", "WndOptPage1Panel2", "BtnOpt2Left", "BtnOpt2Right",
     "cbOptGameResTogL", "cbOptGameResTogR"},
    {1, "OPT_L_SCREEN3D", "TxtOptScreen3D", "WndOptPage1Panel3", "BtnOpt3Left", "BtnOpt3Right", "cbOpt3DTogL",
     "cbOpt3DTogR"},
    {1, "OPT_L_MENUS", "TxtOptMenusWindowed", "WndOptPage1Panel4", "BtnOpt4Left", "BtnOpt4Right", "cbOptForceTog",
     "cbOptForceTog"},
    {1, "OPT_L_HWACCEL", "TxtOptHardwareAccel", "WndOptPage1Panel5", "BtnOpt5Left", "BtnOpt5Right", "cbOpt3DTog",
     "cbOpt3DTog"},
    {1, "OPT_L_3DDEVICE", "TxtOpt3DDevice", "WndOptPage1Panel6", "BtnOpt6Left", "BtnOpt6Right", "cbOpt3DDevL",
     "cbOpt3DDevR"},
    {1, "OPT_L_BITDEPTH", "TxtOptBitDepth", "WndOptPage1Panel7", "BtnOpt7Left", "BtnOpt7Right", "cbOptBitDepthL",
     "cbOptBitDepthR"},
    {2, "OPT_L_MUSIC", "TxtOptMusic", "WndOptPage2Panel3", "BtnOptMusicLeft", "BtnOptMusicRight", "cbOptMusicTog",
     "cbOptMusicTog"},
    {3, "OPT_L_JOY", "TxtOptJoy", "WndOptPage3Panel1", "BtnOptJoyLeft", "BtnOptJoyRight", "cbOptJoyTog",
     "cbOptJoyTog"},
    {3, "OPT_L_CURJOY", "TxtOptCurrentJoy", "WndOptPage3PanelV1", "BtnOpt3V1Left", "BtnOpt3V1Right", "cbOptCurJoyF",
     "cbOptCurJoyB"},
    {3, "OPT_L_FF", "TxtOptForceFeedback", "WndOptPage3PanelV2", "BtnOpt3V2Left", "BtnOpt3V2Right", "cbOptFFTog",
     "cbOptFFTog"},
    {3, "OPT_L_JOYTYPE", "TxtOptJoyType", "WndOptPage3Panel2", "BtnOptJoyTypeLeft", "BtnOptJoyTypeRight",
     "cbOptJoyTypeTogL", "cbOptJoyTypeTogR"},
    {3, "OPT_L_TRIG", "TxtOptTrig", "WndOptPage3Panel3", "BtnOptTrigLeft", "BtnOptTrigRight", "cbOptTrigTog",
     "cbOptTrigTog"},
    {3, "OPT_L_THROTTLE", "TxtOptThrottle", "WndOptPage3Panel4", "BtnOptThrottleLeft", "BtnOptThrottleRight",
     "cbOptThrotTogL", "cbOptThrotTogR"},
    {3, "OPT_L_RUDDER", "TxtOptRudder", "WndOptPage3Panel5", "BtnOptRudderLeft", "BtnOptRudderRight",
     "cbOptRudderTog", "cbOptRudderTog"},
    {3, "OPT_L_STEER", "TxtOptSteer", "WndOptPage3Panel6", "BtnOptSteerLeft", "BtnOptSteerRight", "cbOptSteerTog",
     "cbOptSteerTog"},
    {3, "OPT_L_MEM", "TxtOptMem", "WndOptPage3Panel8", "BtnOptMemLeft", "BtnOptMemRight", "cbOptMemoryTogL",
     "cbOptMemoryTogR"},
    {4, "OPT_L_BO", "TxtOptBO", "WndOptPage4Panel1", "BtnOptBOLeft", "BtnOptBORight", "cbOptBOTog", "cbOptBOTog"},
    {4, "OPT_L_SHOOT", "TxtOptShoot", "WndOptPage4Panel2", "BtnOptShootLeft", "BtnOptShootRight", "cbOptShootTog",
     "cbOptShootTog"},
    {4, "OPT_L_GEAR", "TxtOptGear", "WndOptPage4Panel3", "BtnOptGearLeft", "BtnOptGearRight", "cbOptGearTog",
     "cbOptGearTog"},
    {4, "OPT_L_BALANCE", "TxtOptBalance", "WndOptPage4Panel4", "BtnOptBalanceLeft", "BtnOptBalanceRight",
     "cbOptUbalTog", "cbOptUbalTog"},
    {4, "OPT_L_FLAME", "TxtOptFlame", "WndOptPage4Panel5", "BtnOptFlameLeft", "BtnOptFlameRight", "cbOptFlameTog",
     "cbOptFlameTog"},
    {4, "OPT_L_FLAT", "TxtOptFlat", "WndOptPage4Panel6", "BtnOptFlatLeft", "BtnOptFlatRight", "cbOptFlatTog",
     "cbOptFlatTog"},
    {4, "OPT_L_COCK", "TxtOptCock", "WndOptPage4Panel7", "BtnOptCockLeft", "BtnOptCockRight", "cbOptCockTog",
     "cbOptCockTog"},
    {4, "OPT_L_EASY", "TxtOptEasy", "WndOptPage4Panel8", "BtnOptEasyLeft", "BtnOptEasyRight", "cbOptEasyTog",
     "cbOptEasyTog"},
    // Page 2's second toggle sits below its sliders.
    {2, "OPT_L_DLG", "TxtOptDlg", "WndOptPage2Panel5", "BtnOptDlgLeft", "BtnOptDlgRight", "cbOptDlgTog",
     "cbOptDlgTog"},
};

// Sliders: label, knob image area, its window, row top, the minus and plus
// buttons with their callbacks.
struct OptSlider {
    const char* label;
    const char* knob;
    const char* window;
    int32_t top;
    const char* minus;
    const char* plus;
};
const OptSlider kOptSliders[] = {
    {"OPT_L_SFXVOL", "WndOptPage2Slider1", "WndOptionPage2", 203, "cbOptSFXMinus", "cbOptSFXAdd"},
    {"OPT_L_MUSICVOL", "WndOptPage2Slider2", "WndOptionPage2", 167, "cbOptMusMinus", "cbOptMusAdd"},
    {"OPT_L_TEXTURE", "WndOptPage3Slider1", "WndOptionPage1", 355, "cbOptTxtrMinus", "cbOptTxtrAdd"},
    {"OPT_L_DLGVOL", "WndOptPage2Slider3", "WndOptionPage2", 275, "cbOptDlgMinus", "cbOptDlgAdd"},
    {"OPT_L_WEAPVOL", "WndOptPage2Slider5", "WndOptionPage2", 311, "cbOptWeapVolMinus", "cbOptWeapVolAdd"},
    {"OPT_L_CUESVOL", "WndOptPage2Slider6", "WndOptionPage2", 239, "cbOptCuesVolMinus", "cbOptCuesVolAdd"},
};

std::string Fmt(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Fmt(const char* format, ...) {
    char buf[512];
    va_list args;
    va_start(args, format);
    vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return buf;
}

// Toggle and page buttons fire once a press; slider buttons repeat.
constexpr int32_t kNoRepeat = 4096, kCaptionBox = 128 + 512 + 4096;

void Arrow(MkMenuScript& s, const char* window, bool left, const char* name, int32_t x, int32_t y, const char* action,
           int32_t flags) {
    s.buttons.push_back(Fmt("%s, %s, %s, 0, %d, %d, NULL, NULL, %d, %s, NULL, NULL, BUTTON_CLICK", window,
                            left ? "OptArrowL" : "OptArrowR", name, x, y, flags, action));
}

void Label(MkMenuScript& s, const char* window, const char* key, int32_t y) {
    s.texts.push_back(Fmt("%s, TxtOptLabel%s, %s, ARIAL12, 60, %d, 336, %d, 0", window, key, key, y, y + kPanelH));
}

std::vector<uint8_t> Fill(int32_t w, int32_t h, uint8_t value) { return std::vector<uint8_t>((size_t)w * h, value); }

// A strip of arrow buttons pointing left or right.
std::vector<uint8_t> SideArrows(const uint8_t* palette, int32_t size, int32_t frames, bool left) {
    std::vector<uint8_t> px = mkdata_ButtonStrip(palette, size, size, frames);
    uint8_t ink = (uint8_t)mkdata_PaletteNearest(palette, 250, 250, 250);
    for (int32_t f = 0; f < frames; f++)
        for (int32_t c = 0; c < size / 2 - 2; c++) {
            int32_t x = left ? size / 4 + c + 1 : size * 3 / 4 - c - 1;
            for (int32_t y = size / 2 - c; y <= size / 2 + c; y++)
                if (y > 0 && y < size - 1 && x > 0 && x < size - 1) px[(size_t)(f * size + y) * size + x] = ink;
        }
    return px;
}

}  // namespace

void mkdata_OptionScript(MkMenuScript& s) {
    s.images.insert(s.images.end(), {
                                        "OptPage, OPTPAGE.PCX, 0, 1, 0, 0, 0",
                                        "OptPanel, OPTPANEL.PCX, 0, 1, 0, 0, 0",
                                        "OptArrowL, OPTARRL.PCX, 0, 4, 0, 0, 0",
                                        "OptArrowR, OPTARRR.PCX, 0, 4, 0, 0, 0",
                                        "OptKnob, OPTKNOB.PCX, 0, 1, 0, 0, 0",
                                        "OptRail, OPTRAIL.PCX, 0, 1, 0, 0, 0",
                                        "OptRow, OPTROW.PCX, 0, 4, 0, 0, 0",
                                        "OptSmallBtn, OPTSBTN.PCX, 0, 4, 0, 0, 0",
                                        "OptBox, OPTBOX.PCX, 0, 4, 0, 0, 0",
                                        "OptDlg, OPTDLG.PCX, 0, 1, 0, 0, 0",
                                        "Opt3DDlg, OPT3DDLG.PCX, 0, 1, 0, 0, 0",
                                    });
    // The screen: its page title between the page arrows, and Done.
    s.windows.push_back("WndOption, 0, 0, 0, MainBack, ARIAL12");
    s.texts.push_back("WndOption, TxtOptPage, NULL, ARIAL16B, 220, 60, 420, 86, 512");
    Arrow(s, "WndOption", true, "BtnOptPageLeft", 196, 63, "cbOptPageTogL", kNoRepeat);
    Arrow(s, "WndOption", false, "BtnOptPageRight", 424, 63, "cbOptPageTogR", kNoRepeat);
    s.buttons.push_back("WndOption, MainButton, BtnOptAccept, 0, 320, 440, OPT_ACCEPT, ARIAL12, 512, cbOptAccept, "
                        "cbInHover, cbOutHover, BUTTON_CLICK");
    for (int32_t p = 1; p <= 4; p++) s.windows.push_back(Fmt("WndOptionPage%d, 1, 0, 0, OptPage, ARIAL12", p));
    s.windows.push_back("WndOptionRemap, 1, 0, 0, OptPage, ARIAL12");

    // Value rows: each page's rows from the top, page 2's between its
    // sliders.
    int32_t next[5] = {0, kRowTop, kRowTop, kRowTop, kRowTop};
    for (const OptRow& r : kRows) {
        int32_t y = next[r.page];
        if (r.page == 2) y = strcmp(r.area, "TxtOptMusic") == 0 ? 128 : 347;
        next[r.page] += kRowStep;
        std::string window = Fmt("WndOptionPage%d", r.page);
        Label(s, window.c_str(), r.label, y);
        s.windows.push_back(Fmt("%s, 2, %d, %d, OptPanel, ARIAL12", r.panel, kPanelX, y));
        s.texts.push_back(Fmt("%s, %s, NULL, ARIAL12, 0, 0, 0, 0, 512", window.c_str(), r.area));
        Arrow(s, window.c_str(), true, r.left, kPanelX - 24, y + 1, r.leftAction, kNoRepeat);
        Arrow(s, window.c_str(), false, r.right, kPanelX + kPanelW + 4, y + 1, r.rightAction, kNoRepeat);
    }
    s.buttons.push_back(Fmt("WndOptionPage1, OptBox, BtnOptVidQuestion, 0, %d, %d, OPT_QUESTION, ARIAL12, %d, "
                            "cbOptVidQuestion, cbInHover, cbOutHover, BUTTON_CLICK",
                            kPanelX + kPanelW + 28, kRowTop + 2 * kRowStep + 1, kCaptionBox));

    // Sliders: the knob over a rail, a button at each end.
    int32_t n = 0;
    for (const OptSlider& sl : kOptSliders) {
        n++;
        Label(s, sl.window, sl.label, sl.top - 2);
        s.imageAreas.push_back(Fmt("%s, %s, OptKnob, 349, %d, 0, 0, 0", sl.window, sl.knob, sl.top));
        s.imageAreas.push_back(Fmt("%s, OptRail%d, OptRail, 349, %d, 0, 0, 0", sl.window, n, sl.top + 19));
        std::string minus = Fmt("BtnOptSlider%dMinus", n), plus = Fmt("BtnOptSlider%dPlus", n);
        Arrow(s, sl.window, true, minus.c_str(), 325, sl.top - 1, sl.minus, 0);
        Arrow(s, sl.window, false, plus.c_str(), 556, sl.top - 1, sl.plus, 0);
    }

    // The remap pages: twelve rows in the list frame, the scroll buttons
    // and knob to their left, the status line below, the row and page
    // buttons to the right.
    for (int32_t i = 1; i <= 12; i++) {
        int32_t y = 124 + 20 * (i - 1);
        s.buttons.push_back(Fmt("WndOptionRemap, OptRow, BtnOpt5Item%d, 3, 66, %d, NULL, NULL, %d, cbOptRemap%d, "
                                "NULL, NULL, BUTTON_CLICK",
                                i, y, kNoRepeat, i));
        s.texts.push_back(Fmt("WndOptionRemap, TxtRemapItem%dA, NULL, ARIAL10, 70, %d, 290, %d, 0", i, y, y + 20));
        s.texts.push_back(Fmt("WndOptionRemap, TxtRemapItem%dB, NULL, ARIAL10, 290, %d, 474, %d, 0", i, y, y + 20));
    }
    s.buttons.push_back("WndOptionRemap, ScrollUp, BtnOpt5Up, 0, 40, 125, NULL, NULL, 0, cbOptRemapPageUp, NULL, "
                        "NULL, BUTTON_CLICK");
    s.buttons.push_back("WndOptionRemap, ScrollDown, BtnOpt5Down, 0, 40, 376, NULL, NULL, 0, cbOptRemapPageDown, "
                        "NULL, NULL, BUTTON_CLICK");
    s.imageAreas.push_back("WndOptionRemap, WndOptRemapKnob, ImageVSlider, 43, 147, 0, 0, 0");
    s.texts.push_back("WndOptionRemap, TxtOptP5Status, NULL, ARIAL10, 63, 380, 480, 402, 512");
    const struct {
        const char* name;
        const char* text;
        const char* action;
        int32_t y;
    } kSide[] = {{"BtnOpt5DefaultItem", "OPT_DEFAULT", "cbOptDefault1", 130},
                 {"BtnOpt5DeleteItem", "OPT_DELETE", "cbOptDelete1", 166},
                 {"BtnOptRevert", "OPT_REVERT", "cbOptRevert", 300},
                 {"BtnOptDefaultAll", "OPT_DEFAULTALL", "cbOptDefaultAll", 336}};
    for (const auto& b : kSide)
        s.buttons.push_back(Fmt("WndOptionRemap, OptSmallBtn, %s, 0, 500, %d, %s, ARIAL10, %d, %s, cbInHover, cbOutHover, "
                                "BUTTON_CLICK",
                                b.name, b.y, b.text, kCaptionBox, b.action));

    // The dialogs.
    s.windows.push_back("WndDlg, 3, 170, 170, OptDlg, ARIAL12");
    s.texts.push_back("WndDlg, TxtDlgText, NULL, ARIAL10, 10, 10, 290, 90, 1024");
    s.buttons.push_back(Fmt("WndDlg, OptSmallBtn, BtnDlgOk, 0, 20, 104, OPT_OK, ARIAL10, %d, cbOptOk, cbInHover, cbOutHover, "
                            "BUTTON_CLICK",
                            kCaptionBox));
    s.buttons.push_back(Fmt("WndDlg, OptSmallBtn, BtnDlgCancel, 0, 160, 104, OPT_CANCEL, ARIAL10, %d, cbOptCancel, "
                            "cbInHover, cbOutHover, BUTTON_CLICK",
                            kCaptionBox));
    s.windows.push_back("Wnd3DDlg, 3, 120, 130, Opt3DDlg, ARIAL12");
    const char* const kLines[] = {"Txt3DDlgLine1", "Txt3DDlgLine2", "Txt3DDlgLine3a",
                                  "Txt3DDlgLine3", "Txt3DDlgLine4", "Txt3DDlgLine5"};
    for (int32_t i = 0; i < 6; i++)
        s.texts.push_back(Fmt("Wnd3DDlg, %s, NULL, ARIAL10, 10, %d, 390, %d, 0", kLines[i], 10 + 26 * i, 32 + 26 * i));
    s.buttons.push_back(Fmt("Wnd3DDlg, OptSmallBtn, BtnVidOk, 0, 140, 184, OPT_OK, ARIAL10, %d, cbOptVidOK, cbInHover, "
                            "cbOutHover, BUTTON_CLICK",
                            kCaptionBox));
}

void mkdata_OptionTexts(std::vector<MkMenuText>& t) {
    t.insert(t.end(), {
        {"OPT_PAGE1_TITLE", "Video"}, {"OPT_PAGE2_TITLE", "Sound"}, {"OPT_PAGE3_TITLE", "Controls"},
        {"OPT_PAGE4_TITLE", "Flight"}, {"OPT_PAGE5_TITLE", "Keyboard"}, {"OPT_PAGE6_TITLE", "Joystick"},
        {"ENABLED", "Enabled"}, {"DISABLED", "Disabled"}, {"YES", "Yes"}, {"NO", "No"}, {"ON", "On"}, {"OFF", "Off"},
        {"OPT_WEAPON", "Current weapon"}, {"OPT_CANNON", "Cannon"}, {"OPT_FM_AUTO", "Automatic"},
        {"OPT_FM_MANUAL", "Manual"}, {"OPT_STEERING_THROTTLE", "Rudder"}, {"OPT_STEERING_STICK", "Stick"},
        {"OPT_REVERSE", "Reversed"}, {"OPT_RES_640", "640 x 480"}, {"OPT_RES_800", "800 x 600"},
        {"OPT_RES_1024", "1024 x 768"}, {"OPT_MEM_LOW", "Low"}, {"OPT_MEM_MED", "Medium"}, {"OPT_MEM_HIGH", "High"},
        {"NOTAVAIL", "Not available"}, {"UNKNOWN", "Unknown"}, {"VUNONE", "None"},
        {"OPT_NONE", "None"}, {"OPT_ALT", "Alt"}, {"OPT_CTRL", "Ctrl"}, {"OPT_SHIFT", "Shift"},
        {"OPT_CONFLICT_MARKER", "*"}, {"OPT_CONFLICT", "Bindings marked * are used twice"},
        {"OPT_INPUT_OFF", "Click an action to bind it"}, {"OPT_INPUT_ONFOR", "Press the input for %s (Esc: cancel)"},
        {"OPT_INPUT_ON", "Press the input (Esc: cancel)"},
        {"OPT_REVERT_CONFIRM", "Undo the changes to the %s bindings?"},
        {"OPT_DEFAULT_CONFIRM", "Give every %s binding its default?"}, {"OPT_3D_DRIVER", "3D card"},
        {"OPT_3D_DETECTED", "found"}, {"OPT_SLI", "linked pair"}, {"OPT_3D_NOTDETECTED", "No 3D card found"},
        {"OPT_STATUS", "Status"}, {"OPT_3D_WORKING", "working"}, {"OPT_3D_ERROR1", "the card did not start"},
        {"OPT_3D_ERROR2", "driver library missing"}, {"OPT_3D_ERROR3", "not a card driver"},
        {"OPT_3D_ERROR4", "card drivers refused"}, {"OPT_3D_AVAILRES", "Modes of the card:"},
        {"OPT_3D_HASZBUFF", "with depth buffer"}, {"OPT_ACCEPT", "D{hot}one"}, {"OPT_OK", "{hot}OK"}, {"OPT_CANCEL", "{hot}Cancel"},
        {"OPT_DEFAULT", "De{hot}fault"}, {"OPT_DELETE", "De{hot}lete"}, {"OPT_REVERT", "{hot}Revert"},
        {"OPT_DEFAULTALL", "{hot}All defaults"}, {"OPT_QUESTION", "{hot}?"},
        {"OPT_L_SCREENSIZE", "Full screen game"}, {"OPT_L_SCREENRES", "Game resolution"},
        {"OPT_L_SCREEN3D", "3D card"}, {"OPT_L_MENUS", "Full screen menus"}, {"OPT_L_HWACCEL", "3D acceleration"},
        {"OPT_L_3DDEVICE", "Card mode"}, {"OPT_L_BITDEPTH", "Colour depth"}, {"OPT_L_TEXTURE", "Texture distance"},
        {"OPT_L_MUSIC", "Music"}, {"OPT_L_MUSICVOL", "Music volume"}, {"OPT_L_SFXVOL", "Effects volume"},
        {"OPT_L_CUESVOL", "Avionics volume"}, {"OPT_L_DLGVOL", "Radio volume"},
        {"OPT_L_WEAPVOL", "Weapon hum volume"}, {"OPT_L_DLG", "Radio chatter"}, {"OPT_L_JOY", "Joystick"},
        {"OPT_L_CURJOY", "Device"}, {"OPT_L_FF", "Force feedback"}, {"OPT_L_JOYTYPE", "Joystick layout"},
        {"OPT_L_TRIG", "Trigger fires"}, {"OPT_L_THROTTLE", "Throttle axis"}, {"OPT_L_RUDDER", "Rudder axis"},
        {"OPT_L_STEER", "Ground steering"}, {"OPT_L_MEM", "Memory use"}, {"OPT_L_BO", "Blackouts"},
        {"OPT_L_SHOOT", "Shoot list"}, {"OPT_L_GEAR", "Landing gear"}, {"OPT_L_BALANCE", "Unbalanced loads"},
        {"OPT_L_FLAME", "Flameouts"}, {"OPT_L_FLAT", "Flat spins"}, {"OPT_L_COCK", "Smooth cockpit camera"},
        {"OPT_L_EASY", "Easy target cue"},
        // The joystick layouts, named as the input map names them.
        {"STANDARD", "Standard"}, {"STANDARD_FORCE_FEEDBACK", "Standard force feedback"}, {"FCS", "FCS"},
        {"KRX_FLCS", "KRX FLCS"}, {"WXN_PRO", "WXN Pro"}, {"FLIGHTSTICK", "Flightstick"},
        {"FLIGHTSTICK_PRO", "Flightstick Pro"}, {"FORCE_FX", "Force FX"}, {"PC_COMMANDER_PLUS", "PC Commander Plus"},
        {"WINGMAN", "Wingman"}, {"WINGMAN_EXTREME", "Wingman Extreme"},
        {"WINGMAN_EXTREME_DIGITAL", "Wingman Extreme Digital"}, {"WINGMAN_INTERCEPTOR", "Wingman Interceptor"},
        {"CYBERMAN2", "Cyberman 2"}, {"THUNDERPAD_DIGITAL", "Thunderpad Digital"},
        {"WINGMAN_FORCE_FEEDBACK", "Wingman Force Feedback"}, {"SIDEWINDER", "Sidewinder"},
        {"SIDEWINDER_FORCE_FEEDBACK_PRO", "Sidewinder Force Feedback Pro"},
    });
}

int mkdata_WriteOptionArt(const std::string& dir, const uint8_t* palette) {
    // The pages' backdrop: a framed dark panel below the title, clear above.
    const int32_t pw = 640, ph = 420;
    std::vector<uint8_t> page = Fill(pw, ph, 0);
    uint8_t dark = (uint8_t)mkdata_PaletteNearest(palette, 28, 34, 64);
    uint8_t edge = (uint8_t)mkdata_PaletteNearest(palette, 150, 160, 200);
    for (int32_t y = 100; y < 416; y++)
        for (int32_t x = 20; x < 620; x++)
            page[(size_t)y * pw + x] = (y == 100 || y == 415 || x == 20 || x == 619) ? edge : dark;
    std::vector<uint8_t> panel = Fill(170, 22, (uint8_t)mkdata_PaletteNearest(palette, 52, 60, 96));
    std::vector<uint8_t> rail = Fill(203, 2, (uint8_t)mkdata_PaletteNearest(palette, 160, 160, 170));
    struct Picture {
        const char* file;
        int32_t w, h;
        std::vector<uint8_t> px;
    };
    const Picture pictures[] = {
        {"OPTPAGE.PCX", pw, ph, page},
        {"OPTPANEL.PCX", 170, 22, panel},
        {"OPTARRL.PCX", 20, 80, SideArrows(palette, 20, 4, true)},
        {"OPTARRR.PCX", 20, 80, SideArrows(palette, 20, 4, false)},
        {"OPTKNOB.PCX", 12, 17, mkdata_ScrollThumb(palette, 12, 17)},
        {"OPTRAIL.PCX", 203, 2, rail},
        {"OPTROW.PCX", 410, 80, mkdata_ButtonStrip(palette, 410, 20, 4)},
        {"OPTSBTN.PCX", 120, 96, mkdata_ButtonStrip(palette, 120, 24, 4)},
        {"OPTBOX.PCX", 20, 80, mkdata_ButtonStrip(palette, 20, 20, 4)},
        {"OPTDLG.PCX", 300, 140, mkdata_ScrollThumb(palette, 300, 140)},
        {"OPT3DDLG.PCX", 400, 220, mkdata_ScrollThumb(palette, 400, 220)},
    };
    for (const Picture& p : pictures)
        if (mkdata_PcxWrite(dir, p.file, p.w, p.h, p.px.data(), palette) != 0) return -1;
    return 0;
}
