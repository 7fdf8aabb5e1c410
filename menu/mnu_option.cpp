// The options screen: the settings pages with their sliders and toggles,
// the page changes, the confirmation and 3D-card dialogs, and the screen's
// state routines. The remap pages are in mnu_remap.cpp.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/mem.h"
#include "display/draw_line.h"
#include "display/hw3d.h"
#include "input/inmapfile.h"
#include "menu/option.h"
#include "shell/cmdline.h"
#include "shell/runner.h"
#include "shell/settings.h"
#include "shell/wndproc.h"
#include "sound/music.h"
#include "sound/snd.h"

MnuOptionState mnu_Option = {};

namespace {

constexpr const char* kError = "!STRING ERROR";
// The list frame's lines take the white colour slot.
constexpr int32_t kHighlightSlot = 15;

struct Slider {
    const char* knob;  // image area of the knob
    int32_t rowTop, rowBottom;
};
// By slider id - 1.
const Slider kSliders[MNU_OPT_SLIDERS] = {
    {"WndOptPage2Slider1", 203, 220}, {"WndOptPage2Slider2", 167, 184}, {"WndOptPage3Slider1", 355, 374},
    {"WndOptPage2Slider3", 275, 292}, {"WndOptPage2Slider5", 311, 328}, {"WndOptPage2Slider6", 239, 256},
};

// Each value area takes the rectangle of a panel window at the screen's
// start.
const struct {
    const char* area;
    const char* panel;
} kPlacement[] = {
    {"TxtOptScreenSize", "WndOptPage1Panel1"},     {"TxtOptScreenRes", "WndOptPage1Panel2"},
    {"TxtOptScreen3D", "WndOptPage1Panel3"},       {"TxtOptMenusWindowed", "WndOptPage1Panel4"},
    {"TxtOptMusic", "WndOptPage2Panel3"},          {"TxtOptDlg", "WndOptPage2Panel5"},
    {"TxtOptJoy", "WndOptPage3Panel1"},            {"TxtOptJoyType", "WndOptPage3Panel2"},
    {"TxtOptTrig", "WndOptPage3Panel3"},           {"TxtOptThrottle", "WndOptPage3Panel4"},
    {"TxtOptRudder", "WndOptPage3Panel5"},         {"TxtOptSteer", "WndOptPage3Panel6"},
    {"TxtOptMem", "WndOptPage3Panel8"},            {"TxtOptBO", "WndOptPage4Panel1"},
    {"TxtOptShoot", "WndOptPage4Panel2"},          {"TxtOptGear", "WndOptPage4Panel3"},
    {"TxtOptBalance", "WndOptPage4Panel4"},        {"TxtOptFlame", "WndOptPage4Panel5"},
    {"TxtOptFlat", "WndOptPage4Panel6"},           {"TxtOptCock", "WndOptPage4Panel7"},
    {"TxtOptEasy", "WndOptPage4Panel8"},           {"TxtOptCurrentJoy", "WndOptPage3PanelV1"},
    {"TxtOptForceFeedback", "WndOptPage3PanelV2"}, {"TxtOptHardwareAccel", "WndOptPage1Panel5"},
    {"TxtOpt3DDevice", "WndOptPage1Panel6"},       {"TxtOptBitDepth", "WndOptPage1Panel7"},
};

// The buttons beside each value area light it. Rows not named here use
// "BtnOpt<row>Left" and "BtnOpt<row>Right" for the area "TxtOpt<row>".
const struct {
    const char* area;
    const char* left;
    const char* right;
} kLinks[] = {
    {"TxtOptPage", "BtnOptPageLeft", "BtnOptPageRight"},
    {"TxtOptScreenSize", "BtnOptLeft", "BtnOptRight"},
    {"TxtOptScreenRes", "BtnOpt2Left", "BtnOpt2Right"},
    {"TxtOptScreen3D", "BtnOpt3Left", "BtnOpt3Right"},
    {"TxtOptMenusWindowed", "BtnOpt4Left", "BtnOpt4Right"},
    {"TxtOptCurrentJoy", "BtnOpt3V1Left", "BtnOpt3V1Right"},
    {"TxtOptForceFeedback", "BtnOpt3V2Left", "BtnOpt3V2Right"},
    {"TxtOptHardwareAccel", "BtnOpt5Left", "BtnOpt5Right"},
    {"TxtOpt3DDevice", "BtnOpt6Left", "BtnOpt6Right"},
    {"TxtOptBitDepth", "BtnOpt7Left", "BtnOpt7Right"},
};
const char* const kOtherRows[] = {"Music", "Dlg",  "Joy",  "JoyType", "Trig", "Throttle", "Rudder", "Steer",
                                  "Mem",   "BO",   "Shoot", "Gear",   "Balance", "Flame", "Flat", "Cock",
                                  "Easy"};

char g_bitDepth[16];
char g_dialogText[256];
char g_3dLines[6][160];

MnuContext* Ctx(void) { return mnu_Context; }

const char* Str(const char* key) { return mnu_OptString(key); }

void SetString(const char* area, const char* key) {
    if (Ctx()) mnu_TextAreaSetString(Ctx(), area, key);
}

void SetText(const char* area, const char* text) {
    if (Ctx()) mnu_TextAreaSetText(Ctx(), area, text);
}

void Enable(const char* button, bool on) { mnu_OptButtonEnable(button, on ? 1 : 0); }

void EnablePair(const char* left, const char* right, bool on) {
    Enable(left, on);
    Enable(right, on);
}

int32_t* SliderSetting(int32_t id) {
    AppSettings& s = app_Settings;
    switch (id) {
    case MNU_OPT_SFX: return &s.SFX_VOLUME;
    case MNU_OPT_MUSIC: return &s.MUSIC_VOLUME;
    case MNU_OPT_TEXTURE: return &s.TEXTURE_DISTANCE;
    case MNU_OPT_DIALOG: return &s.DIALOG_VOLUME;
    case MNU_OPT_WEAPON: return &s.WEAPON_HUM_VOLUME;
    case MNU_OPT_CUES: return &s.AVIONIC_SOUND_VOLUME;
    default: return nullptr;
    }
}

int32_t Travel(int32_t knobWidth) {
    int32_t t = MNU_OPT_TRACK_RIGHT - MNU_OPT_TRACK_LEFT - knobWidth;
    return t > 0 ? t : 1;
}

void KnobPlace(int32_t id, int32_t x) {
    MnuOptionState& o = mnu_Option;
    MnuImageArea* k = id >= 1 && id <= MNU_OPT_SLIDERS ? o.knobs[id - 1] : nullptr;
    if (!k) return;
    if (x > MNU_OPT_TRACK_RIGHT - o.knobWidth) x = MNU_OPT_TRACK_RIGHT - o.knobWidth;
    if (x < MNU_OPT_TRACK_LEFT) x = MNU_OPT_TRACK_LEFT;
    MnuRect old = {k->left, k->top, k->right, k->bottom};
    if (Ctx()) mnu_WindowRefresh(Ctx(), "WndOption", &old, 0);
    k->left = x;
    k->right = x + o.knobWidth;
    k->top = kSliders[id - 1].rowTop;
    k->bottom = k->top + o.knobHeight;
    k->flags |= MNU_IMAGE_AREA_REDRAW;
}

void Wrap(int32_t* v, int32_t step, int32_t last) {
    int32_t n = *v + step;
    if (n < 0) n = last;
    if (n > last) n = 0;
    *v = n;
}

void Flip(int32_t* v) { *v = *v ? 0 : 1; }

// The 3D layer's start status: the selected driver's load result, -8 (not
// detected) without one.
int32_t StartStatus(void) { return mnu_Option.card ? app_Hw3dLoadResult : -8; }

bool CardMode(int32_t width, int32_t height, int32_t bits, int32_t depthBuffer) {
    return hw3d_Loaded && hw3d_Descriptor.modeTest && hw3d_Descriptor.modeTest(width, height, bits, depthBuffer) == 0;
}

void ThreeDRows(void) {
    MnuOptionState& o = mnu_Option;
    AppSettings& s = app_Settings;
    if (!o.card) s.ENABLE_3D = 0;
    int32_t status = StartStatus();
    bool allow1024 = true;
    if (s.ENABLE_3D) {
        EnablePair("BtnOpt7Left", "BtnOpt7Right", true);
        if (status != 0) {
            SetString("TxtOptHardwareAccel", "NOT_AVAIL");
            EnablePair("BtnOpt5Left", "BtnOpt5Right", false);
            s.ENABLE_3D = 0;
        } else {
            SetString("TxtOptHardwareAccel", "ENABLED");
            EnablePair("BtnOpt5Left", "BtnOpt5Right", true);
            allow1024 = CardMode(1024, 768, s.BITDEPTH_HARDWARE, 0);
            snprintf(g_bitDepth, sizeof g_bitDepth, "%d", (int)s.BITDEPTH_HARDWARE);
        }
    }
    if (!s.ENABLE_3D) {
        EnablePair("BtnOpt7Left", "BtnOpt7Right", false);
        allow1024 = true;
        SetString("TxtOptHardwareAccel", status != 0 ? "NOT_AVAIL" : "DISABLED");
        EnablePair("BtnOpt5Left", "BtnOpt5Right", status == 0);
        snprintf(g_bitDepth, sizeof g_bitDepth, "%d", (int)s.BITDEPTH_SOFTWARE);
    }
    mnu_Allow1024 = allow1024 ? 1 : 0;
    SetText("TxtOptBitDepth", g_bitDepth);
    if (o.card) {
        SetText("TxtOptScreen3D", o.card->commonName ? o.card->commonName : "");
        bool named = o.card->cardName && o.card->cardName[0];
        if (named)
            SetText("TxtOpt3DDevice", o.card->cardName);
        else
            SetString("TxtOpt3DDevice", o.card->modeCount > 0 ? "UNKNOWN" : "NOTAVAIL");
        EnablePair("BtnOpt6Left", "BtnOpt6Right", named);
    } else {
        SetString("TxtOptScreen3D", "NOTAVAIL");
        SetString("TxtOpt3DDevice", "NOTAVAIL");
        EnablePair("BtnOpt3Left", "BtnOpt3Right", false);
        EnablePair("BtnOpt5Left", "BtnOpt5Right", false);
        EnablePair("BtnOpt6Left", "BtnOpt6Right", false);
    }
    if (app_StartupOptions & APP_OPTION_SOFTWARE) {
        SetString("TxtOptScreen3D", "NOT_AVAIL");
        EnablePair("BtnOpt3Left", "BtnOpt3Right", false);
    }
}

void JoystickRows(void) {
    MnuOptionState& o = mnu_Option;
    if (!o.joystick) o.joystick = ejoy_InfoFirstUsable();
    if (!o.joystick) {
        EnablePair("BtnOpt3V2Left", "BtnOpt3V2Right", false);
        SetString("TxtOptCurrentJoy", "VUNONE");
        SetString("TxtOptForceFeedback", "DISABLED");
        return;
    }
    SetText("TxtOptCurrentJoy", o.joystick->productName ? o.joystick->productName : "");
    if (o.joystick->forceFeedback) {
        SetString("TxtOptForceFeedback", app_Settings.feedbackOff ? "DISABLED" : "ENABLED");
        EnablePair("BtnOpt3V2Left", "BtnOpt3V2Right", true);
    } else {
        SetString("TxtOptForceFeedback", "NOTAVAIL");
        EnablePair("BtnOpt3V2Left", "BtnOpt3V2Right", false);
    }
}

void OnOff(const char* area, int32_t value) { SetString(area, value ? "ENABLED" : "DISABLED"); }

// The layout's name: the menu string named as the record whose layout index
// equals the setting.
void LayoutName(void) {
    for (int32_t i = 0; i < INMAP_JOYSTICK_LAYOUT_COUNT && inmap_JoystickLayouts[i].name; i++)
        if (inmap_JoystickLayouts[i].layout == app_Settings.JOYSTICK_LAYOUT) {
            SetString("TxtOptJoyType", inmap_JoystickLayouts[i].name);
            return;
        }
}

void SliderZonesDisable(void) {
    MnuOptionState& o = mnu_Option;
    for (chs_Zone* z : o.sliderZones)
        if (z) chs_ZoneDisable(z);
    if (o.scrollZone) chs_ZoneDisable(o.scrollZone);
}

void ZonesRemove(void) {
    MnuOptionState& o = mnu_Option;
    for (chs_Zone*& z : o.sliderZones) {
        if (z) chs_ZoneRemove(&mnu_ZoneList, z);
        z = nullptr;
    }
    if (o.scrollZone) chs_ZoneRemove(&mnu_ZoneList, o.scrollZone);
    o.scrollZone = nullptr;
}

void CursorDrag(chs_Zone*, int32_t) {
    if (Ctx()) mnu_CursorSet(Ctx(), "Cursor2");
}
void CursorNormal(chs_Zone*, int32_t) {
    if (Ctx()) mnu_CursorSet(Ctx(), "Cursor1");
}

void ZonesCreate(void) {
    MnuOptionState& o = mnu_Option;
    ZonesRemove();
    for (int32_t id = 1; id <= MNU_OPT_SLIDERS; id++) {
        const Slider& s = kSliders[id - 1];
        chs_Zone* z = chs_ZoneAdd(&mnu_ZoneList, MNU_OPT_TRACK_LEFT, s.rowTop, MNU_OPT_TRACK_RIGHT, s.rowBottom, id);
        if (z) chs_ZoneHandlerAdd(z, 2, mnu_OptSliderDrag, 0);
        o.sliderZones[id - 1] = z;
    }
    o.scrollZone = chs_ZoneAdd(&mnu_ZoneList, 33, MNU_OPT_KNOB_TOP, 61, MNU_OPT_KNOB_BOTTOM + o.knobHeight, 0);
    if (o.scrollZone) {
        chs_ZoneHandlerAdd(o.scrollZone, 2, mnu_OptScrollDrag, 0);
        chs_ZoneHandlerAdd(o.scrollZone, 1, CursorDrag, 0);
        chs_ZoneHandlerAdd(o.scrollZone, CHS_LEAVE, CursorNormal, 0);
    }
    SliderZonesDisable();
}

void OptPage(void);

void DialogOpen(const char* window) {
    MnuContext* c = Ctx();
    mnu_PopupShow(c, "", nullptr, -1, nullptr, 0, nullptr, 0, 0);
    mnu_PopupRectSet(0, 0, 640, 480, 0);
    if (!c) return;
    mnu_WindowsCloseAll(c);
    mnu_WindowOpen(c, window);
    mnu_WindowShow(c, window);
    mnu_CancelKeyCallbackSet(cbOptCancel);
    mnu_CursorSet(c, "Cursor1");
    mnu_Option.dialogOpen = 1;
}

void DialogClose(bool run) {
    MnuOptionState& o = mnu_Option;
    MnuContext* c = Ctx();
    if (c) {
        mnu_WindowsCloseAll(c);
        mnu_CursorSet(c, "Cursor1");
        mnu_WindowOpen(c, "WndOption");
        mnu_WindowShow(c, "WndOption");
    }
    // Reverting must not save what it is to throw away on the way.
    if (run && o.pending == mnu_OptRemapBuild) o.mapChanged = 0;
    mnu_OptPageChange(0);
    mnu_CancelKeyCallbackSet(cbOptAccept);
    void (*pending)(int32_t) = o.pending;
    o.pending = nullptr;
    if (run && pending) pending(-1);
    if (o.page >= 5) mnu_OptStatusUpdate();
    mnu_PopupClear();
    o.dialogOpen = 0;
}

void Confirm(void (*action)(int32_t), const char* key) {
    MnuOptionState& o = mnu_Option;
    if (o.dialogOpen) return;
    DialogOpen("WndDlg");
    o.pending = action;
    mnu_OptFormat(g_dialogText, sizeof g_dialogText, Str(key), Str(o.page == 6 ? "OPT_PAGE6_TITLE" : "OPT_PAGE5_TITLE"));
    SetText("TxtDlgText", g_dialogText);
}

// One line of the 3D-card dialog; a missing piece or a result that does not
// fit reads "!STRING ERROR".
void DialogLine(int32_t n, bool complete, const char* format, ...) __attribute__((format(printf, 3, 4)));
void DialogLine(int32_t n, bool complete, const char* format, ...) {
    char* out = g_3dLines[n];
    size_t size = sizeof g_3dLines[n];
    int r = -1;
    if (complete) {
        va_list args;
        va_start(args, format);
        r = vsnprintf(out, size, format, args);
        va_end(args);
    }
    if (r < 0 || (size_t)r >= size) snprintf(out, size, "%s", kError);
}

void SetLine(const char* area, int32_t n) { SetText(area, g_3dLines[n]); }

}  // namespace

const char* mnu_OptString(const char* key) {
    MnuString* s = mnu_Context && key ? mnu_StringFind(mnu_Context, key) : nullptr;
    return s && s->text ? s->text : nullptr;
}

void mnu_OptButtonEnable(const char* button, int32_t on) {
    MnuContext* c = mnu_Context;
    if (!c) return;
    // Made active from disabled only, so that a press under way is not cut
    // short.
    int32_t state = mnu_ButtonGetState(c, button);
    if (on && state == MNU_STATE_DISABLED) mnu_ButtonSetState(c, button, MNU_STATE_NORMAL);
    if (!on && state != MNU_STATE_DISABLED) mnu_ButtonSetState(c, button, MNU_STATE_DISABLED);
}

// ---------------------------------------------------------------------------
// Sliders.

int32_t mnu_OptSliderValue(int32_t id, int32_t x, int32_t knobWidth) {
    int32_t offset = x - MNU_OPT_TRACK_LEFT;
    if (offset < 0) offset = 0;
    int32_t steps = id == MNU_OPT_TEXTURE ? 27 : 256, last = steps - 1;
    int32_t v = (int32_t)((int64_t)offset * steps / Travel(knobWidth));
    return v > last ? last : v;
}

int32_t mnu_OptSliderKnobX(int32_t id, int32_t value, int32_t knobWidth) {
    int32_t steps = id == MNU_OPT_TEXTURE ? 27 : 256, last = steps - 1;
    if (value < 0) value = 0;
    int32_t v = value >= last ? steps : value;
    return MNU_OPT_TRACK_LEFT + (int32_t)((int64_t)v * Travel(knobWidth) / steps);
}

void mnu_OptKnobsRead(void) {
    MnuOptionState& o = mnu_Option;
    AppSettings& s = app_Settings;
    // The knob has fewer places than the setting has values: a knob that
    // still stands where its setting puts it leaves the setting as it is,
    // but at either end of the track it gives the end's value.
    for (int32_t id = 1; id <= MNU_OPT_SLIDERS; id++) {
        MnuImageArea* k = o.knobs[id - 1];
        int32_t* setting = SliderSetting(id);
        if (!k || !setting) continue;
        bool end = k->left <= MNU_OPT_TRACK_LEFT || k->left >= MNU_OPT_TRACK_RIGHT - o.knobWidth;
        if (end || k->left != mnu_OptSliderKnobX(id, *setting, o.knobWidth))
            *setting = mnu_OptSliderValue(id, k->left, o.knobWidth);
    }
    snd_SetMasterVolume(s.SFX_VOLUME);
    music_SetVolume(s.MUSIC_PLAY ? s.MUSIC_VOLUME : 0);
    if (o.joystick)
        memcpy(s.JOYSTICK_INSTANCE, o.joystick->instanceGuid, sizeof s.JOYSTICK_INSTANCE);
    else
        memset(s.JOYSTICK_INSTANCE, 0, sizeof s.JOYSTICK_INSTANCE);
}

void mnu_OptSliderDrag(chs_Zone* zone, int32_t) {
    if (!zone) return;
    KnobPlace(zone->user, mnu_ZoneList.x - mnu_Option.knobWidth / 2);
    mnu_OptKnobsRead();
}

void cbOptSliderAdd(int32_t id) {
    if (id < 1 || id > MNU_OPT_SLIDERS || !mnu_Option.knobs[id - 1]) return;
    KnobPlace(id, mnu_Option.knobs[id - 1]->left + 5);
    mnu_OptKnobsRead();
}

void cbOptSliderMinus(int32_t id) {
    if (id < 1 || id > MNU_OPT_SLIDERS || !mnu_Option.knobs[id - 1]) return;
    KnobPlace(id, mnu_Option.knobs[id - 1]->left - 5);
    mnu_OptKnobsRead();
}

// ---------------------------------------------------------------------------
// Pages.

void mnu_OptPageTexts(void) {
    const AppSettings& s = app_Settings;
    OnOff("TxtOptEasy", s.EASY_TARGET_CUE);
    OnOff("TxtOptCock", s.SMOOTH_COCKPIT_CAMERA);
    OnOff("TxtOptDlg", s.AUX_VOICE_DIALOG);
    OnOff("TxtOptFlat", s.FLATSPINS);
    OnOff("TxtOptFlame", s.FLAMEOUTS);
    OnOff("TxtOptBalance", s.UNBALANCED_LOADOUTS);
    OnOff("TxtOptJoy", s.JOYSTICK_ENABLE);
    OnOff("TxtOptMusic", s.MUSIC_PLAY);
    SetString("TxtOptTrig", s.TRIGGER_FIRES_CURRENT_WEAPON ? "OPT_WEAPON" : "OPT_CANNON");
    SetString("TxtOptScreenSize", s.GAME_FULLSCREEN ? "YES" : "NO");
    SetString("TxtOptRudder", s.RUDDER_ENABLE ? "YES" : "NO");
    SetString("TxtOptGear", s.AUTO_GEAR ? "OPT_FM_AUTO" : "OPT_FM_MANUAL");
    SetString("TxtOptShoot", s.AUTO_SHOOTLIST ? "OPT_FM_AUTO" : "OPT_FM_MANUAL");
    SetString("TxtOptBO", s.BLACKOUTS ? "ON" : "OFF");
    SetString("TxtOptSteer", s.STEER_WITH_RUDDER ? "OPT_STEERING_THROTTLE" : "OPT_STEERING_STICK");
    SetString("TxtOptThrottle", s.THROTTLE_ENABLE == 2 ? "OPT_REVERSE" : s.THROTTLE_ENABLE ? "YES" : "NO");
    SetString("TxtOptMenusWindowed", s.menuWindowed ? "NO" : "YES");
    LayoutName();
    ThreeDRows();
    SetString("TxtOptScreenRes", s.GAME_RESOLUTION == 2 ? "OPT_RES_1024"
                                 : s.GAME_RESOLUTION == 1 ? "OPT_RES_800"
                                                          : "OPT_RES_640");
    SetString("TxtOptMem", s.MEMORY_USAGE == 2 ? "OPT_MEM_HIGH" : s.MEMORY_USAGE == 1 ? "OPT_MEM_MED" : "OPT_MEM_LOW");
    JoystickRows();
}

void mnu_OptPageChange(int32_t step) {
    MnuOptionState& o = mnu_Option;
    if (o.pageLock) return;
    o.pageLock = 1;
    o.page += step;
    if (o.page < 1) o.page = MNU_OPT_PAGES;
    if (o.page > MNU_OPT_PAGES) o.page = 1;
    MnuContext* c = Ctx();
    if (c) {
        char name[MNU_NAME];
        for (int32_t p = 1; p <= MNU_OPT_PAGES; p++) {
            snprintf(name, sizeof name, "WndOptionPage%d", (int)p);
            mnu_WindowHide(c, name);
        }
        mnu_WindowHide(c, "WndOptionRemap");
        snprintf(name, sizeof name, "OPT_PAGE%d_TITLE", (int)o.page);
        SetString("TxtOptPage", name);
        mnu_WindowOpen(c, "WndOption");
        if (o.page >= 5)
            snprintf(name, sizeof name, "%s", "WndOptionRemap");
        else
            snprintf(name, sizeof name, "WndOptionPage%d", (int)o.page);
        mnu_WindowOpen(c, name);
        mnu_WindowShow(c, name);
        mnu_WindowRefresh(c, "WndOption", nullptr, 0);
    }
    SliderZonesDisable();
    mnu_OptCaptureEnd(0);
    ejoy_EnableFlag = 0;
    mnu_OptMapWrite();
    switch (o.page) {
    case 1:
        if (o.sliderZones[MNU_OPT_TEXTURE - 1]) chs_ZoneEnable(o.sliderZones[MNU_OPT_TEXTURE - 1]);
        break;
    case 2:
        for (int32_t id = 1; id <= MNU_OPT_SLIDERS; id++)
            if (id != MNU_OPT_TEXTURE && o.sliderZones[id - 1]) chs_ZoneEnable(o.sliderZones[id - 1]);
        break;
    case 5:
    case 6:
        mnu_OptRemapBuild(0);
        // The joystick is read only where its buttons are bound.
        ejoy_EnableFlag = o.page == 6 ? 1 : 0;
        if (o.scrollZone) chs_ZoneEnable(o.scrollZone);
        break;
    default: break;
    }
    mnu_OptPageTexts();
}

void cbOptPageTog(int32_t step) { mnu_OptPageChange(step < 0 ? -1 : 1); }

void cbOptAccept(int32_t) {
    app_Runner.nextState = &WndMain;
    mnu_LeaveFlag = 1;
}

// ---------------------------------------------------------------------------
// Toggles: 0..254 a plain action, 255 + n steps setting n down, 65535 + n up.

void cbOptTog(int32_t argument) {
    MnuOptionState& o = mnu_Option;
    AppSettings& s = app_Settings;
    int32_t code = argument, step = 0;
    if (argument >= 65535) {
        code = argument - 65535;
        step = 1;
    } else if (argument >= 255) {
        code = argument - 255;
        step = -1;
    }
    switch (code) {
    case 0: Flip(&s.GAME_FULLSCREEN); break;
    case 1:
        Flip(&s.menuWindowed);
        mnu_DisplaySetup();
        if (Ctx()) mnu_WindowRefresh(Ctx(), "WndOption", nullptr, 0);
        break;
    case 2:
        Flip(&s.MUSIC_PLAY);
        mnu_MusicStart();  // stops the music when it is off
        music_SetVolume(s.MUSIC_PLAY ? s.MUSIC_VOLUME : 0);
        break;
    case 3: Wrap(&s.MEMORY_USAGE, step, 2); break;
    case 4:
        Wrap(&s.GAME_RESOLUTION, step, 2);
        if (s.GAME_RESOLUTION == 2 && !mnu_Allow1024) s.GAME_RESOLUTION = step < 0 ? 1 : 0;
        break;
    case 5:
        if (o.card) Flip(&s.ENABLE_3D);
        break;
    case 7: Flip(&s.JOYSTICK_ENABLE); break;
    case 8:
        Wrap(&s.JOYSTICK_LAYOUT, step, INMAP_JOYSTICK_LAYOUT_COUNT - 1);
        inmap_JoystickLayoutSet(s.JOYSTICK_LAYOUT);
        break;
    case 9: Wrap(&s.THROTTLE_ENABLE, step, 2); break;
    case 10: Flip(&s.RUDDER_ENABLE); break;
    case 11: Flip(&s.STEER_WITH_RUDDER); break;
    case 12: Flip(&s.BLACKOUTS); break;
    case 13: Flip(&s.AUTO_SHOOTLIST); break;
    case 14: Flip(&s.AUTO_GEAR); break;
    case 15: Flip(&s.UNBALANCED_LOADOUTS); break;
    case 16: Flip(&s.FLAMEOUTS); break;
    case 17: Flip(&s.FLATSPINS); break;
    case 19: Flip(&s.AUX_VOICE_DIALOG); break;
    case 20: Flip(&s.TRIGGER_FIRES_CURRENT_WEAPON); break;
    case 21: Flip(&s.SMOOTH_COCKPIT_CAMERA); break;
    case 22: Flip(&s.EASY_TARGET_CUE); break;
    case 25:
    case 26: {
        if (!o.card) break;
        _APP_HW3D_ENTRY* e = code == 25 ? o.card->prev : o.card->next;
        if (!e) e = code == 25 ? app_Hw3dList.tail : app_Hw3dList.head;
        if (!e) break;
        app_Hw3dSelect(e);
        app_Hw3dModeApply();
        o.card = app_Hw3dSelected;
        if (e->fileName) snprintf(s.HW3D_DLL_FILENAME, sizeof s.HW3D_DLL_FILENAME, "%s", e->fileName);
        s.BITDEPTH_HARDWARE = 16;
        break;
    }
    case 27:
    case 28:
        s.CARD_NUMBER += code == 27 ? -1 : 1;
        if (s.CARD_NUMBER < 0) s.CARD_NUMBER = 0;
        app_Hw3dModeApply();
        // The mode the card took, so that the setting never runs past it.
        if (o.card) s.CARD_NUMBER = o.card->modeIndex;
        break;
    case 29:
    case 30:
        if (!s.ENABLE_3D) break;
        if (s.BITDEPTH_HARDWARE == 32)
            s.BITDEPTH_HARDWARE = 16;
        else if (s.BITDEPTH_HARDWARE == 16 && CardMode(640, 480, 32, 0))
            s.BITDEPTH_HARDWARE = 32;
        break;
    default: break;  // 18 and the rest: no setting
    }
    mnu_OptPageTexts();
}

void cbOptJoy(int32_t which) {
    MnuOptionState& o = mnu_Option;
    if (which == 2) {
        Flip(&app_Settings.feedbackOff);
    } else if (o.joystick) {
        _EJOY_INFO* next = which == 0 ? o.joystick->prev : o.joystick->next;
        if (next) o.joystick = next;
    }
    ejoy_DeviceSelect(o.joystick);
    mnu_OptKnobsRead();
    mnu_OptPageTexts();
}

// ---------------------------------------------------------------------------
// Dialogs.

void cbOptRevert(int32_t) { Confirm(mnu_OptRemapBuild, "OPT_REVERT_CONFIRM"); }
void cbOptDefaultAll(int32_t) { Confirm(mnu_OptDefaultsAll, "OPT_DEFAULT_CONFIRM"); }
void cbOptOk(int32_t) { DialogClose(true); }

void cbOptCancel(int32_t) {
    if (Ctx()) mnu_WindowHide(Ctx(), "WndDlg");
    DialogClose(false);
}

void cbOptVidOK(int32_t) {
    if (Ctx()) mnu_WindowHide(Ctx(), "Wnd3DDlg");
    DialogClose(false);
}

void cbOptVidQuestion(int32_t) {
    MnuOptionState& o = mnu_Option;
    if (o.dialogOpen || o.pageLock) return;
    DialogOpen("Wnd3DDlg");
    o.pending = nullptr;
    int32_t status = StartStatus();
    const char* driver = Str("OPT_3D_DRIVER");
    const char* detected = Str("OPT_3D_DETECTED");
    const char* label = Str("OPT_STATUS");
    if (status == -8) {
        const char* t = Str("OPT_3D_NOTDETECTED");
        DialogLine(0, t != nullptr, "%s", t);
    } else if (hw3d_Loaded && hw3d_Descriptor.option && hw3d_Descriptor.option(4, 0)) {
        const char* sli = Str("OPT_SLI");
        DialogLine(0, driver && detected && sli, "%s: %s (%s)", driver, detected, sli);
    } else {
        DialogLine(0, driver && detected, "%s: %s", driver, detected);
    }
    if (status == 0) {
        const char* working = Str("OPT_3D_WORKING");
        const char* state = Str(app_Settings.ENABLE_3D ? "ENABLED" : "DISABLED");
        DialogLine(1, label && working && state, "%s: %s ( %s )", label, working, state);
    } else if (status == -8) {
        const char* na = Str("NOT_AVAIL");
        DialogLine(1, label && na, "%s: %s", label, na);
    } else {
        char key[32];
        snprintf(key, sizeof key, "OPT_3D_ERROR%d", status < 0 ? -status : status);
        const char* error = Str(key) ? Str(key) : Str("OPT_3D_ERROR1");
        DialogLine(1, label && error, "%s: %s ( %d )", label, error, (int)status);
    }
    const char* avail = Str("OPT_3D_AVAILRES");
    DialogLine(2, avail != nullptr, "%s", avail);
    const struct {
        int32_t w, h;
        const char* key;
    } kModes[3] = {{640, 480, "OPT_RES_640"}, {800, 600, "OPT_RES_800"}, {1024, 768, "OPT_RES_1024"}};
    const char* zbuffer = Str("OPT_3D_HASZBUFF");
    for (int32_t i = 0; i < 3; i++) {
        g_3dLines[3 + i][0] = 0;
        if (!CardMode(kModes[i].w, kModes[i].h, 16, 0)) continue;
        const char* res = Str(kModes[i].key);
        if (CardMode(kModes[i].w, kModes[i].h, 16, 1))
            DialogLine(3 + i, res && zbuffer, "%s %s", res, zbuffer);
        else
            DialogLine(3 + i, res != nullptr, "%s", res);
    }
    SetLine("Txt3DDlgLine1", 0);
    SetLine("Txt3DDlgLine2", 1);
    SetLine("Txt3DDlgLine3a", 2);
    SetLine("Txt3DDlgLine3", 3);
    SetLine("Txt3DDlgLine4", 4);
    SetLine("Txt3DDlgLine5", 5);
}

int32_t mnu_OptFormat(char* out, size_t size, const char* format, const char* argument) {
    if (!out || size == 0) return -1;
    size_t n = 0;
    bool used = false, fits = format != nullptr;
    for (const char* f = format; fits && f && *f; f++) {
        const char* piece = f;
        size_t len = 1;
        if (f[0] == '%' && f[1] == '%') {
            f++;
        } else if (f[0] == '%' && f[1] == 's' && !used) {
            piece = argument ? argument : "";
            len = strlen(piece);
            used = true;
            f++;
        }
        if (n + len >= size) {
            fits = false;
            break;
        }
        memcpy(out + n, piece, len);
        n += len;
    }
    if (!fits) {
        snprintf(out, size, "%s", kError);
        return -1;
    }
    out[n] = 0;
    return 0;
}

// ---------------------------------------------------------------------------
// The state.

namespace {

void OptPage(void) {
    MnuOptionState& o = mnu_Option;
    MnuContext* c = Ctx();
    if (!c) return;
    // The dimming panel first, the dialog over it.
    if (mnu_PopupDraw(c)) {
        mnu_WindowRefresh(c, "WndDlg", nullptr, 0);
        mnu_WindowRefresh(c, "Wnd3DDlg", nullptr, 0);
    }
    mnu_Draw(c);
    mnu_WindowTextDraw(c, "WndOption");
    if (o.dialogOpen) {
        mnu_WindowTextDraw(c, "WndDlg");
        mnu_WindowTextDraw(c, "Wnd3DDlg");
    } else if (o.page >= 5) {
        mnu_WindowTextDraw(c, "WndOptionRemap");
        draw_ClipLineC(63, 121, 480, 121, kHighlightSlot);
        draw_ClipLineC(480, 121, 480, 374, kHighlightSlot);
        draw_ClipLineC(480, 374, 63, 374, kHighlightSlot);
        draw_ClipLineC(63, 374, 63, 121, kHighlightSlot);
    } else {
        char name[MNU_NAME];
        snprintf(name, sizeof name, "WndOptionPage%d", (int)o.page);
        mnu_WindowTextDraw(c, name);
    }
    mnu_ImageAreasDraw(c);
    o.pageLock = 0;
}

void Links(MnuContext* c) {
    for (const auto& l : kLinks) {
        mnu_ButtonTextAreaSet(c, l.area, l.left);
        mnu_ButtonTextAreaSet(c, l.area, l.right);
    }
    for (const char* row : kOtherRows) {
        char area[MNU_NAME], left[MNU_NAME], right[MNU_NAME];
        snprintf(area, sizeof area, "TxtOpt%s", row);
        snprintf(left, sizeof left, "BtnOpt%sLeft", row);
        snprintf(right, sizeof right, "BtnOpt%sRight", row);
        mnu_ButtonTextAreaSet(c, area, left);
        mnu_ButtonTextAreaSet(c, area, right);
    }
}

void Placement(MnuContext* c) {
    for (const auto& p : kPlacement) {
        MnuTextArea* a = mnu_TextAreaFind(c, p.area);
        MnuWindow* w = mnu_WindowFind(c, p.panel);
        if (!a || !w) continue;
        a->left = w->x;
        a->top = w->y;
        a->right = w->x + w->width;
        a->bottom = w->y + w->height;
    }
}

void OptEnter(void) {
    MnuOptionState& o = mnu_Option;
    MnuContext* c = Ctx();
    mnu_LeaveFlag = 0;
    o.mapChanged = 0;
    o.dialogOpen = 0;
    o.pending = nullptr;
    o.pageLock = 0;
    o.capturing = 0;
    o.captureAction = nullptr;
    o.captureRow = -1;
    inmap_ResourceLoad();
    music_SetVariable(0, 1);
    if (c) {
        mnu_WindowsCloseAll(c);
        mnu_WindowOpen(c, "WndOption");
        mnu_WindowShow(c, "WndOption");
        mnu_CursorSet(c, "Cursor1");
    }
    mnu_AcceptKeyCallbackSet(nullptr);
    mnu_CancelKeyCallbackSet(cbOptAccept);
    inmap_MapOpen();
    o.savedThrottle = inmap_UseThrottle;
    inmap_UseThrottle = 0;

    o.knobWidth = o.knobHeight = 0;
    for (int32_t i = 0; i < MNU_OPT_SLIDERS; i++) o.knobs[i] = c ? mnu_ImageAreaFind(c, kSliders[i].knob) : nullptr;
    if (MnuImageArea* k = o.knobs[0]; k && k->image) {
        o.knobWidth = k->image->width;
        int32_t frames = k->image->frameCount > 0 ? k->image->frameCount : 1;
        o.knobHeight = k->image->height / frames;
    }
    o.remapKnob = c ? mnu_ImageAreaFind(c, "WndOptRemapKnob") : nullptr;
    if (c) Placement(c);
    ZonesCreate();
    for (int32_t id = 1; id <= MNU_OPT_SLIDERS; id++)
        KnobPlace(id, mnu_OptSliderKnobX(id, *SliderSetting(id), o.knobWidth));
    o.top = 0;
    mnu_OptRemapKnobPlace(MNU_OPT_KNOB_TOP);

    if (app_Settings.GAME_RESOLUTION == 2 && !mnu_Allow1024) app_Settings.GAME_RESOLUTION = 1;
    o.joystick = ejoy_InfoFindByGuid(app_Settings.JOYSTICK_INSTANCE);
    o.card = app_Hw3dSelected;
    o.page = 1;
    mnu_OptPageChange(0);
    o.keyWatch = ekey_WatchdogAdd(mnu_OptKeyWatch);
    o.joyWatch = ejoy_WatchdogAdd(mnu_OptJoyWatch);
    if (!c) return;
    Links(c);
    mnu_Update(c);
    mnu_TransitionSet(c, mnu_TransForward, "WndOption", OptPage, "TRANSITION_IN", nullptr);
}

int32_t OptFrame(void) {
    app_PumpMessagesEx();
    if (mnu_LeaveFlag) return 1;
    if (mnu_Option.page >= 5) mnu_OptScrollButtonsUpdate();
    if (mnu_Context) mnu_Update(mnu_Context);
    return 0;
}

void OptDraw(void) {
    if (!mnu_Context) return;
    mnu_ScreenDraw(OptPage);
}

void OptLeave(void) {
    MnuOptionState& o = mnu_Option;
    mnu_OptKnobsRead();
    ZonesRemove();
    mnu_PopupClear();
    inmap_UseThrottle = o.savedThrottle;
    mnu_OptMapWrite();
    mnu_OptListFree();
    inmap_MapClose();
    ekey_WatchdogRemove(o.keyWatch);
    ejoy_WatchdogRemove(o.joyWatch);
    o.keyWatch = nullptr;
    o.joyWatch = nullptr;
    mnu_OptCaptureEnd(0);
    music_SetVolume(app_Settings.MUSIC_PLAY ? app_Settings.MUSIC_VOLUME : 0);
    music_SetVariable(0, 0);
    for (MnuImageArea*& k : o.knobs) k = nullptr;
    o.remapKnob = nullptr;
}

}  // namespace

const AppStateRecord WndOption = {OptEnter, OptFrame, OptDraw, OptLeave, 0};
