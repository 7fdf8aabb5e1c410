// The developer console: typed words looked up in the plain table, then the
// hidden table (names kept scrambled), the overlay toggles and the damage
// word. Most commands answer with a numbered game text on the debug ring.
#include "debug/console.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "base/text.h"
#include "cockpit/avion.h"
#include "debug/cheat.h"
#include "debug/cheat_local.h"
#include "debug/dbgobj.h"
#include "debug/dbgoverlay.h"
#include "debug/dbgpage.h"
#include "debug/dbgreadout.h"
#include "debug/dbgtext.h"
#include "debug/timecomp.h"
#include "display/hw3d.h"
#include "display/otw.h"
#include "display/vid.h"
#include "input/ejoy.h"
#include "input/ffb.h"
#include "input/inmap.h"
#include "input/inmapfile.h"
#include "net/client.h"
#include "shell/cmdline.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shell/wndproc.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "world/gamemode.h"
#include "world/level.h"

int32_t con_ToggleBlock[CON_TOGGLE_WORDS];
ConOverlayRoutine con_OverlayHook = nullptr;

namespace {

struct ConCommand {
    const char* name;
    const char* help;
    void (*handler)(void);
};
struct ConToggle {
    const char* name;
    const char* help;
    ConOverlayRoutine routine;
};
struct ConSubstring {
    const char* text;
    const char* help;
    void (*handler)(const char* text);
};

// Key of the hidden names.
const char kConsoleKey[] = "krx console desk";

bool SinglePlayer(void) { return level_GameMode.singlePlayer != 0; }

// Flips a word of the block, shows on or off and returns the new state.
int32_t Flip(int32_t& word, int32_t on, int32_t off) {
    word = word ? 0 : 1;
    con_PrintString(word ? on : off);
    return word;
}
void FlipSingle(int32_t& word, int32_t on, int32_t off) {
    if (SinglePlayer()) Flip(word, on, off);
}
void FlipQuiet(int32_t& word) { word = word ? 0 : 1; }

// ---- Plain commands ----

void Blur(void) { Flip(con_ToggleBlock[CON_BLUR], 938, 939); }

void Mmx(void) {
    if (!app_Record.mmxPresent) {
        con_PrintString(947);
        return;
    }
    Flip(con_ToggleBlock[CON_MMX_BLITTERS], 948, 949);
}

void GuidOfActive(void) {
    if (ejoy_ActiveDevice)
        memcpy(app_Settings.JOYSTICK_INSTANCE, ejoy_ActiveDevice->instanceGuid, sizeof app_Settings.JOYSTICK_INSTANCE);
    else
        memset(app_Settings.JOYSTICK_INSTANCE, 0, sizeof app_Settings.JOYSTICK_INSTANCE);
}

void JoystickReset(void) {
    memcpy(ejoy_AxisSettings, ejoy_CalibrationDefaults, sizeof ejoy_AxisSettings);
    con_PrintString(966);
    ffb_Shutdown();
    ejoy_Shutdown();
    ejoy_Init(app_Record.instance, app_MainHwnd);
    ffb_Init(20);
    if (_EJOY_INFO* info = ejoy_InfoFindByGuid(app_Settings.JOYSTICK_INSTANCE))
        ejoy_DeviceSelect(info);
    else
        GuidOfActive();
}

void Joystick(void) {
    ejoy_EnableFlag = Flip(app_Settings.JOYSTICK_ENABLE, 967, 968);
}
void Rudder(void) { inmap_UseRudder = Flip(app_Settings.RUDDER_ENABLE, 969, 970); }
void Throttle(void) { inmap_UseThrottle = Flip(app_Settings.THROTTLE_ENABLE, 971, 972); }

void Feedback(void) {
    app_Settings.feedbackOff = app_Settings.feedbackOff ? 0 : 1;
    if (!app_Settings.feedbackOff && ejoy_ActiveDevice && ejoy_ActiveDevice->forceFeedback) {
        ffb_ActiveCompute(1);
        return;
    }
    ejoy_InfoEffectsStop(ejoy_ActiveDevice);
    ffb_ActiveCompute(0);
}

void JoystickStep(bool next) {
    _EJOY_INFO* d = ejoy_ActiveDevice;
    if (next)
        d = d && d->next ? d->next : ejoy_InfoHead;
    else
        d = d && d->prev ? d->prev : ejoy_InfoTail;
    if (d) ejoy_DeviceSelect(d);
    GuidOfActive();
}
void JoystickPrev(void) { JoystickStep(false); }
void JoystickNext(void) { JoystickStep(true); }

void LayoutStep(int32_t delta) {
    int32_t n = inmap_JoystickLayout + delta;
    if (n < 0) n = INMAP_JOYSTICK_LAYOUT_COUNT - 1;
    if (n >= INMAP_JOYSTICK_LAYOUT_COUNT) n = 0;
    inmap_JoystickLayoutSet(n);
    inmap_JoystickLayout = n;
    app_Settings.JOYSTICK_LAYOUT = n;
    // The record at that position of the table, as stored.
    if (const char* name = inmap_JoystickLayouts[n].name) dbg_TextPrint(name);
}
void LayoutPrev(void) { LayoutStep(-1); }
void LayoutNext(void) { LayoutStep(1); }

void Blackout(void) { FlipSingle(app_Settings.BLACKOUTS, 985, 986); }
void AutoGear(void) { FlipQuiet(app_Settings.AUTO_GEAR); }
void SoundCue(void) { Flip(app_Settings.AVIONICS_SOUND_CUES, 991, 992); }
void Balance(void) { Flip(app_Settings.UNBALANCED_LOADOUTS, 993, 994); }
void Flatspin(void) { Flip(app_Settings.FLATSPINS, 997, 998); }
void Flameout(void) { Flip(app_Settings.FLAMEOUTS, 995, 996); }

void Resize(int32_t width, int32_t height) {
    // On the 3D card the card's own mode test decides; the mode change then
    // keeps the card.
    const _DRAW_SURFACE& s = otw_ScreenSurface;
    if (otw_CheckMode(width, height, s.bytesPerPixel, otw_State.windowed, hw3d_Active ? 1 : 0) != 0) return;
    if (otw_SetDisplayMode(OTW_MODE_WIDTH | OTW_MODE_HEIGHT, width, height, 0, 0, 0) != 0) return;
    app_Record.width = width;
    app_Record.height = height;
    level_ColourTablesBuild();
    if (otw_ScreenSurface.bytesPerPixel == 1) vid_RealizePalette();
    otw_ResetViewport();
}
void Mode640(void) { Resize(640, 480); }
void Mode800(void) { Resize(800, 600); }
void Mode1024(void) { Resize(1024, 768); }

void Greeting1(void) { con_PrintString(950); }
void Greeting2(void) { con_PrintString(951); }
void Greeting3(void) { con_PrintString(952); }
void Greeting4(void) { con_PrintString(953); }

void Fast(void) {
    if (!SinglePlayer()) return;
    dbg_FastMode = dbg_FastMode ? 0 : 1;
    con_PrintString(dbg_FastMode ? 1014 : 1015);
}
void WeaponOverlay(void) { FlipSingle(con_ToggleBlock[CON_WEAPON_OVERLAY], 1006, 1007); }
void BombOverlay(void) {
    if (!SinglePlayer()) return;
    if (Flip(con_ToggleBlock[CON_BOMB_OVERLAY], 1008, 1009)) {
        dbg_BombDebugOn();
        dbg_TextPrint("BOMB OVERLAY: ENABLED");
    } else {
        dbg_BombDebugOff();
    }
}
void ObjectOverlay(void) { FlipSingle(con_ToggleBlock[CON_OBJECT_OVERLAY], 1010, 1011); }

void ShowThrottle(void) { FlipQuiet(app_Settings.SHOW_THROTTLE); }
void ShowVelocity(void) { FlipQuiet(app_Settings.SHOW_VELOCITY); }
void ShowGroundspeed(void) { FlipQuiet(app_Settings.SHOW_GROUNDSPEED); }
void ShowFuel(void) { FlipQuiet(app_Settings.SHOW_FUEL); }
void ShowFuelUsage(void) { FlipQuiet(app_Settings.SHOW_FUEL_USAGE); }
void ShowAltitude(void) { FlipQuiet(app_Settings.SHOW_ALTITUDE); }
void ShowAoa(void) { FlipQuiet(app_Settings.SHOW_AOA); }
void ShowMach(void) { FlipQuiet(app_Settings.SHOW_MACH); }
void ShowDefault(void) {
    app_Settings.SHOW_THROTTLE = 1;
    app_Settings.SHOW_VELOCITY = app_Settings.SHOW_GROUNDSPEED = app_Settings.SHOW_FUEL = 0;
    app_Settings.SHOW_FUEL_USAGE = app_Settings.SHOW_ALTITUDE = app_Settings.SHOW_AOA = app_Settings.SHOW_MACH = 0;
}

void Hw3dReset(void) {
    if (!hw3d_Loaded) return;
    if (hw3d_Descriptor.control) hw3d_Descriptor.control(1);
    con_PrintString(980);
}

void VirtualKeys(void) { FlipQuiet(dbg_DebugKeyTextShown); }

const ConCommand kPlain[] = {
    {"blur", "Turn on/off blur.", Blur},
    {"mmx", "Turn on/off MMX blitters.", Mmx},
    {"joystick reset", "To reset the joystick.", JoystickReset},
    {"joystick", "To enable/disable the joystick.", Joystick},
    {"rudder", "To enable/disable the rudder.", Rudder},
    {"throttle", "To enable/disable the throttle.", Throttle},
    {"feedback", "Enable/Disable force feedback", Feedback},
    {"joystick prev", "To select the prev joystick", JoystickPrev},
    {"joystick next", "To select the next joystick", JoystickNext},
    {"joystick layout prev", "To select the prev joystick layout", LayoutPrev},
    {"joystick layout next", "To select the next joystick layout", LayoutNext},
    {"blackout", "Enable/Disable blackouts", Blackout},
    {"autogear", "Enable/Disable auto gear", AutoGear},
    {"sound cue", "Enable/Disable avionics sound cues", SoundCue},
    {"balance", "Enable/Disable unbalanced loadouts", Balance},
    {"flatspin", "Enable/Disable flatspins", Flatspin},
    {"flameout", "Enable/Disable Flamouts", Flameout},
    {"640", "To go to 640x480 mode.", Mode640},
    {"800", "To go to 800x600 mode.", Mode800},
    {"1024", "To go to 1024x768 mode.", Mode1024},
    {"krx hello", "", Greeting1},
    {"krx about", "", Greeting2},
    {"krx build", "", Greeting3},
    {"krx thanks", "", Greeting4},
    {"fast", "Enable/Disable fast mode", Fast},
    {"weapon overlay", "Enable/Disable weapon overlay", WeaponOverlay},
    {"bomb overlay", "Enable/Disable bomb overlay", BombOverlay},
    {"object overlay", "Enable/Disable object overlay", ObjectOverlay},
    {"show throttle", "To show/hide the throttle.", ShowThrottle},
    {"show velocity", "To show/hide the velocity.", ShowVelocity},
    {"show groundspeed", "To show/hide the groundspeed.", ShowGroundspeed},
    {"show fuel", "To show/hide the fuel.", ShowFuel},
    {"show fuel usage", "To show/hide the fuel usage.", ShowFuelUsage},
    {"show altitude", "To show/hide the altitude.", ShowAltitude},
    {"show aoa", "To show/hide the aoa.", ShowAoa},
    {"show mach", "To show/hide the mach.", ShowMach},
    {"show default", "To reset overlay defaults.", ShowDefault},
    {"hw3dreset", "Reset hw3d cache", Hw3dReset},
    {"virtualkeys", "Virtual Key Debugging", VirtualKeys},
    {nullptr, nullptr, nullptr},
};
static_assert(sizeof kPlain / sizeof kPlain[0] == 40, "39 plain commands and the end record");

// ---- Hidden commands ----

void HiddenUnlimited(void) { FlipSingle(con_UnlimitedStores, 960, 961); }
void HiddenReload(void) {
    if (!SinglePlayer()) return;
    cheat_ReloadAction();
    con_PrintString(940);
}
void HiddenRefuel(void) {
    if (!SinglePlayer()) return;
    plane_Refuel();
    con_PrintString(941);
}
void HiddenFlag2(void) { FlipSingle(con_ToggleBlock[CON_CHEAT_FLAG2], 942, 943); }
void HiddenNoCrash(void) {
    if (!SinglePlayer()) return;
    con_PrintString(con_NoCrashToggle() ? 1016 : 1017);
}
void HiddenHeal(void) {
    if (!SinglePlayer()) return;
    cheat_HealAction();
    con_PrintString(944);
}
void HiddenFlag3(void) { FlipSingle(con_ToggleBlock[CON_CHEAT_FLAG3], 945, 946); }
void HiddenDebugFlag(void) { Flip(con_ToggleBlock[CON_DEBUG_FLAG], 1018, 1019); }

// The player object's model link, switched between its own model and the
// model of the target it had when the switch was made.
struct ModelSwap {
    ObjectRecord* object;
    uint32_t run;
    _PAK_HEADER* own;
    _PAK_HEADER* other;
} g_swap;

void HiddenSwap(void) {
    ObjectRecord* o = Client_PlayerObject;
    if (!o) return;
    const bool swapped =
        g_swap.object == o && g_swap.run == Client_LevelRunNumber && g_swap.other && o->model == g_swap.other;
    if (swapped) {
        o->model = g_swap.own;
        con_PrintString(1019);
        return;
    }
    if (!o->target || !o->target->model) return;
    g_swap = {o, Client_LevelRunNumber, o->model, o->target->model};
    o->model = g_swap.other;
    con_PrintString(1018);
}
void HiddenCockpit(void) { avion_ConsoleHookCall(); }

const ConCommand kHidden[] = {
    {"zrlyadplst", "", HiddenUnlimited},
    {"phkyato", "", HiddenReload},
    {"rrhtrw", "", HiddenRefuel},
    {"euwrxzr", "", HiddenFlag2},
    {"dhsytvv", "", HiddenNoCrash},
    {"ndlhtlt", "", HiddenHeal},
    {"mywwpimce", "", HiddenFlag3},
    {"jdfyqirz", "", HiddenDebugFlag},
    {"qzsuebmu", "", HiddenSwap},
    {"eosxeysbsf", "", HiddenCockpit},
    {nullptr, nullptr, nullptr},
};

const ConToggle kToggles[] = {
    {"off", "Turn off overlay.", nullptr},
    {nullptr, nullptr, nullptr},
};

// "damage N": damages system N of the player's aircraft. Only text that
// begins with the word is taken, so chat that merely mentions it goes out.
void Damage(const char* text) {
    const char* p = text + 6;
    while (*p == ' ' || *p == '\t') p++;
    if (!((*p >= '0' && *p <= '9') || ((*p == '-' || *p == '+') && p[1] >= '0' && p[1] <= '9'))) return;
    errno = 0;
    const long v = strtol(p, nullptr, 10);
    if (errno || v < INT32_MIN || v > INT32_MAX) return;
    const int32_t n = (int32_t)v;
    plane_ApplyDamageC(n);
    char line[64];
    text_Format("Damage %d Set", line, sizeof line, n);
    dbg_TextPrint(line);
}

const ConSubstring kSubstrings[] = {
    {"damage", "Take damage.", Damage},
    {nullptr, nullptr, nullptr},
};

// Developer words: each flips one switch of the developer overlays (a word
// or a byte) and names its new state on the debug text. A switch with a
// show routine is set through it.
struct DevWord {
    const char* name;
    int32_t* word;
    uint8_t* byte;
    void (*show)(int32_t on) = nullptr;
};
const DevWord kDevWords[] = {
    {"dev framerate", &con_ToggleBlock[CON_FRAME_RATE], nullptr},
    {"dev cardstats", &con_ToggleBlock[CON_CARD_STATISTICS], nullptr},
    {"dev ai", nullptr, &dbg_OverlaySelect[DBG_SELECT_AI]},
    {"dev counters", nullptr, &dbg_OverlaySelect[DBG_SELECT_COUNTERS]},
    {"dev score", nullptr, &dbg_OverlaySelect[DBG_SELECT_TIME_SCORE]},
    {"dev triggers", nullptr, &dbg_OverlaySelect[DBG_SELECT_TRIGGERS], dbg_TriggerPageShow},
    {"dev hitpoints", &con_ToggleBlock[CON_HIT_POINT_LABELS], nullptr},
    {"dev signatures", &con_ToggleBlock[CON_SIGNATURE_LABELS], nullptr},
    {"dev paths", &dbg_DebugObjectsShown, nullptr},
    {nullptr, nullptr, nullptr},
};

void DevWordRun(const DevWord& d) {
    int32_t on = 0;
    if (d.word) on = *d.word = *d.word ? 0 : 1;
    if (d.byte) on = *d.byte ? 0 : 1;
    if (d.show)
        d.show(on);
    else if (d.byte)
        *d.byte = (uint8_t)on;
    char line[64];
    text_Format("%s: %s", line, sizeof line, d.name, on ? "ON" : "OFF");
    dbg_TextPrint(line);
}

// A format from the game data is used only when its one conversion takes a
// number.
bool OneNumber(const char* format) {
    int32_t numbers = 0;
    for (const char* p = format; *p; p++) {
        if (*p != '%') continue;
        p++;
        if (*p == '%') continue;
        while (*p && strchr("-+ #0123456789.l", *p)) p++;
        if (*p == 'd' || *p == 'x' || *p == 'X')
            numbers++;
        else
            return false;
        if (!*p) break;
    }
    return numbers == 1;
}

}  // namespace

void con_ClearToggles(void) { memset(con_ToggleBlock, 0, sizeof con_ToggleBlock); }

void con_LevelToggles(void) {
    con_ClearToggles();
    if (app_StartupOptions & APP_OPTION_FRAME_RATE) con_ToggleBlock[CON_FRAME_RATE] = 1;
}

void con_PrintString(int32_t n) {
    if (n < 0) return;
    if (const char* text = level_GameText((uint32_t)n)) dbg_TextPrint(text);
}

void con_PrintNumber(int32_t n, int32_t value) {
    const char* format = n >= 0 ? level_GameText((uint32_t)n) : nullptr;
    if (!format || !OneNumber(format)) return;
    char line[256];
    text_Format(format, line, sizeof line, value);
    dbg_TextLineAdd(line);
}

int32_t con_NoCrash(void) { return (app_StartupOptions & APP_OPTION_CONSOLE_TOGGLE) ? 1 : 0; }

int32_t con_NoCrashToggle(void) {
    app_StartupOptions ^= APP_OPTION_CONSOLE_TOGGLE;
    return con_NoCrash();
}

int32_t con_Execute(const char* text) {
    if (!text) return 0;
    for (const ConCommand* c = kPlain; c->name; c++) {
        if (strcasecmp(text, c->name) == 0) {
            c->handler();
            return 1;
        }
    }
    for (const ConCommand* c = kHidden; c->name; c++) {
        if (cheat_KeyedCompare(text, c->name, kConsoleKey)) {
            c->handler();
            return 1;
        }
    }
    for (const ConToggle* t = kToggles; t->name; t++) {
        if (strcmp(text, t->name) == 0) {
            con_OverlayHook = (t->routine && con_OverlayHook != t->routine) ? t->routine : nullptr;
            return 1;
        }
    }
    for (const ConSubstring* s = kSubstrings; s->text; s++) {
        if (strncasecmp(text, s->text, strlen(s->text)) == 0) {
            s->handler(text);
            return 1;
        }
    }
    for (const DevWord* d = kDevWords; d->name; d++) {
        if (strcasecmp(text, d->name) == 0) {
            DevWordRun(*d);
            return 1;
        }
    }
    if (dbg_ReadoutWord(text)) return 1;
    return 0;
}
