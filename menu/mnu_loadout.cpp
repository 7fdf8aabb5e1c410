// The loading screen, which hands the program over to the flight, and the
// loadout screen: five weapon stations with their texts and weights, and the
// aircraft preview's view.
#include <cstdio>
#include <cstring>

#include "base/file.h"
#include "base/filetable.h"
#include "base/le.h"
#include "base/mem.h"
#include "display/draw_fill.h"
#include "display/otw.h"
#include "display/pal.h"
#include "display/rast.h"
#include "input/instate.h"
#include "menu/brief.h"
#include "menu/camp.h"
#include "menu/loadout.h"
#include "menu/quick.h"
#include "shell/runner.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shell/keyqueue.h"
#include "shell/wndproc.h"
#include "platform/winmsg.h"
#include "sim/ord.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "sound/music.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/orf.h"
#include "world/pak.h"

uint32_t mnu_FlightStartTick = 0;
// Off until a campaign's briefing turns the stock check on with its list.
int32_t mnu_StockCheck = 0;
int32_t mnu_AircraftFamily = 0;
void* mnu_CampLoadoutList = nullptr;
MnuLoadoutState mnu_Loadout = {};
MnuLoadoutStation mnu_LoadoutStations[MNU_LO_STATIONS + 1] = {
    {"Center", "TxtLOSel1", "", -1, 0},      {"HardPoint 4", "TxtLOSel2", "", -1, 0},
    {"HardPoint 3", "TxtLOSel3", "", -1, 0}, {"HardPoint 2", "TxtLOSel4", "", -1, 0},
    {"HardPoint 1", "TxtLOSel5", "", -1, 0}, {"", "", "", -1, 0},
};

// --- The loading screen ---

namespace {

void LoadingPage(void) {
    MnuContext* c = mnu_Context;
    if (!c) return;
    mnu_Draw(c);
    mnu_WindowTextDraw(c, "WndLoading");
    mnu_ImageAreasDraw(c);
}

void LoadingEnter(void) {
    mnu_LeaveFlag = 0;
    mnu_HoverCount = 0;
    MnuContext* c = mnu_Context;
    if (!c || c->callbacks != mnu_CallbackTable) return;
    mnu_WindowsCloseAll(c);
    mnu_WindowOpen(c, "WndLoading");
    mnu_WindowShow(c, "WndLoading");
    mnu_CursorSet(c, "Cursor1");
    mnu_CursorHide();
    mnu_Update(c);
    mnu_TransitionSet(c, mnu_TransForward, "WndLoading", LoadingPage, "TRANSITION_IN", nullptr);
}

void LoadingDraw(void) {
    MnuContext* c = mnu_Context;
    if (!c || c->callbacks != mnu_CallbackTable) {
        mnu_LeaveFlag = 1;
        return;
    }
    bool transition = mnu_Transition.running != 0;
    mnu_ScreenDraw(LoadingPage);
    // The page is shown once after its transition.
    if (!transition) mnu_LeaveFlag = 1;
}

void LoadingLeave(void) {
    mnu_MusicStop();
    if (mnu_Context) {
        mnu_Shutdown(mnu_Context);
        // The next screen starts the menus again.
        mnu_Context->callbacks = nullptr;
    }
    memset(level_FlightState, 0, sizeof level_FlightState);
    app_Runner.nextState = app_Runner.followOn2;
    app_TimerTickEnable(level_GameMode.singlePlayer ? 0 : 1);
    inmap_InFlight = 1;
    mnu_FlightStartTick = app_TickCount.load(std::memory_order_relaxed);
}

}  // namespace

const AppStateRecord WndLoading = {LoadingEnter, mnu_StateFrame, LoadingDraw, LoadingLeave, 0};

// --- The loadout screen ---

namespace {

constexpr int32_t kStep = 65536;  // 1/512 of a turn
constexpr int32_t kTurnBits = 0x1FF0000;
constexpr int32_t kZoomStep = 4096, kZoomNear = 196608, kZoomNearSet = 192512, kZoomFar = 393216;
constexpr float kPounds = 2.2046225f;
constexpr float kNauticalMiles = 0.00016420361f;
constexpr int32_t kSpin[] = {98, 90, 82, 74, 68, 62, 56, 50, 45, 40, 35, 31, 27, 23, 19, 15, 12, 9, 6, 4, 3, 2, 1, 0, -1};
constexpr MnuRect kMarkerRect = {60, 271, 222, 310};

chs_Zone* g_zones[MNU_LO_STATIONS] = {};

bool Quick(void) { return mnu_GameMode == 1; }

const char* StringText(const char* key) {
    MnuString* s = mnu_Context ? mnu_StringFind(mnu_Context, key) : nullptr;
    return s && s->text ? s->text : key;
}

void SetText(const char* area, const char* text) {
    if (mnu_Context) mnu_TextAreaSetText(mnu_Context, area, text);
}

// Text areas keep a pointer to their text: the screen's texts live here.
char g_weaponTexts[6][128];
char g_weightTexts[4][64];
char g_simText[64];

const char* GameText(int32_t item) {
    if (!mnu_Loadout.gameData || item < 0) return nullptr;
    FileTableEntry* e = file_TableEntryGet(mnu_Loadout.gameData, (uint32_t)item);
    return e ? e->text : nullptr;
}

bool NoStoreAllowed(const char* hardpoint) {
    const OrdHardpoint* h = ord_HardpointFind(hardpoint);
    return !h || !h->options || (h->options->type < 0 && !h->options->next);
}

void Repaint(const MnuRect* r) {
    if (mnu_Context) mnu_WindowRefresh(mnu_Context, "WndLoadOut", r, 0);
}

void SimModeShow(void) {
    snprintf(g_simText, sizeof g_simText, "%s", StringText(app_Settings.LOADOUT_TYPE == 1 ? "LO_FUN_MODE" : "LO_SIM_MODE"));
    SetText("TxtLOSimMode", g_simText);
}

void StationsSetUp(void) {
    if (!Quick()) mnu_CampLoadoutLoad(mnu_PilotGet16(MNU_PILOT_SLOT));
    int32_t keys[ORD_MOUNTS_MAX], types[ORD_MOUNTS_MAX];
    int32_t n = ord_LoadoutList(keys, types, ORD_MOUNTS_MAX);
    ord_LoadoutBegin();
    for (MnuLoadoutStation& s : mnu_LoadoutStations) {
        if (!s.hardpoint[0]) break;
        snprintf(s.text, sizeof s.text, "%s", StringText("CC_EMPTY"));
        s.type = -1;
        s.count = 0;
    }
    for (int32_t i = 0; i < n; i++) ord_MountSetStore(keys[i], types[i]);
    mnu_LoadoutStationTexts();
    mnu_LoadoutWeights();
}

void AreaEnter(chs_Zone* zone, int32_t) {
    int32_t n = zone ? zone->user : -1;
    if (n < 0 || n >= MNU_LO_STATIONS) return;
    if (MnuTextArea* a = mnu_Context ? mnu_TextAreaFind(mnu_Context, mnu_LoadoutStations[n].area) : nullptr) {
        a->state = 2;
        a->flags |= 4;
    }
    mnu_Loadout.areaHovers++;
    mnu_LoadoutWeaponTexts(n, mnu_LoadoutStations[n].type);
}

void AreaLeave(chs_Zone* zone, int32_t) {
    int32_t n = zone ? zone->user : -1;
    if (n < 0 || n >= MNU_LO_STATIONS) return;
    if (MnuTextArea* a = mnu_Context ? mnu_TextAreaFind(mnu_Context, mnu_LoadoutStations[n].area) : nullptr) a->state = 1;
    if (mnu_Loadout.areaHovers > 0) mnu_Loadout.areaHovers--;
    if (mnu_Loadout.areaHovers == 0 && mnu_Loadout.hoverDepth == 0) mnu_LoadoutWeaponTexts(n, -1);
}

void ZonesAdd(void) {
    for (int32_t i = 0; i < MNU_LO_STATIONS; i++) {
        MnuTextArea* a = mnu_Context ? mnu_TextAreaFind(mnu_Context, mnu_LoadoutStations[i].area) : nullptr;
        if (!a) continue;
        g_zones[i] = chs_ZoneAdd(&mnu_ZoneList, a->left, a->top, a->right, a->bottom, i);
        if (!g_zones[i]) continue;
        chs_ZoneHandlerAdd(g_zones[i], CHS_ENTER, AreaEnter, 0);
        chs_ZoneHandlerAdd(g_zones[i], CHS_LEAVE, AreaLeave, 0);
    }
}

void LoadoutEnter(void) {
    MnuContext* c = mnu_Context;
    poly_SetPixelMode(POLY_MODE_16);
    mnu_LeaveFlag = 0;
    mnu_HoverCount = 0;
    music_SetVariable(0, 4);
    if (c) {
        mnu_WindowsCloseAll(c);
        mnu_WindowOpen(c, "WndLoadOut");
        mnu_WindowShow(c, "WndLoadOut");
        mnu_CursorSet(c, "Cursor1");
        for (const char* b : {"BtnLOYawL", "BtnLOYawR", "BtnLOZoomIn", "BtnLOZoomOut"}) mnu_ButtonSetPressTimes(c, b, 8, 0);
        for (int32_t i = 1; i <= MNU_LO_STATIONS; i++) {
            char area[32], left[32], right[32];
            snprintf(area, sizeof area, "TxtLOSel%d", (int)i);
            snprintf(left, sizeof left, "BtnLOL%d", (int)i);
            snprintf(right, sizeof right, "BtnLOR%d", (int)i);
            mnu_ButtonTextAreaSet(c, area, left);
            mnu_ButtonTextAreaSet(c, area, right);
        }
        mnu_ButtonTextAreaSet(c, "TxtLODefLoad", "BtnLODef");
        mnu_ButtonTextAreaSet(c, "TxtLOSimMode", "BtnLOSimL");
        mnu_ButtonTextAreaSet(c, "TxtLOSimMode", "BtnLOSimR");
    }
    mnu_AcceptKeyCallbackSet(cbLOAccept);
    mnu_CancelKeyCallbackSet(cbLOBack);
    mnu_Loadout.mark = mem_AllocEx(0, 4, "mnu Loadout anchor");
    mnu_Loadout.gameData = file_TableLoad(app_Record.gameDataName);
    pak_TextureTableReset();
    level_GameMode.display = 1;
    mnu_PreviewPalette = pal_LoadPalref("genpak.pcx");
    // The preview model, seen through the game palette; without it the
    // stand-in model; without both the preview stays empty.
    PALREF* levelPalette = level_Palref;
    if (mnu_PreviewPalette) {
        // The model's colours are matched to it as they load.
        level_Palref = mnu_PreviewPalette;
        pal_ApplyRemap(mnu_PreviewPalette, 1);
    }
    mnu_Loadout.modelName = "loadkrx.pak";
    mnu_Loadout.model = file_Exists("loadkrx.pak") ? pak_Load("loadkrx.pak") : nullptr;
    if (!mnu_Loadout.model) {
        mnu_Loadout.modelName = "boo.pak";
        mnu_Loadout.model = file_Exists("boo.pak") ? pak_Load("boo.pak") : nullptr;
    }
    if (!mnu_Loadout.model) mnu_Loadout.modelName = nullptr;
    level_Palref = levelPalette;
    if (mnu_Loadout.model && mnu_Loadout.model->palette) mnu_PreviewPalette = mnu_Loadout.model->palette;
    mnu_LoadoutPreviewSetUp();
    mnu_Loadout.yaw = 256 * kStep;
    mnu_Loadout.pitch = 64 * kStep;
    mnu_Loadout.distance = 589824;
    mnu_Loadout.spin = kSpin;
    mnu_Loadout.flyIn = 2048;
    mnu_Loadout.dirty = 1;
    mnu_Loadout.marker = -1;
    mnu_Loadout.markerBlink = 0;
    mnu_Loadout.hoverDepth = 0;
    mnu_Loadout.areaHovers = 0;
    mnu_Loadout.described = -1;
    SimModeShow();
    ZonesAdd();
    StationsSetUp();
    if (!c) return;
    mnu_Update(c);
    mnu_TransitionSet(c, mnu_TransForward, "WndLoadOut", nullptr, "TRANSITION_IN", nullptr);
}

bool Held(uint32_t vk) { return app_KeyState.downTable[vk & 0x7F] || app_KeyState.downTable[128 + (vk & 0x7F)]; }

int32_t LoadoutFrame(void) {
    app_PumpMessagesEx();
    if (mnu_LeaveFlag) return 1;
    MnuContext* c = mnu_Context;
    if (c) {
        const struct {
            uint32_t vk;
            const char* button;
        } kKeys[] = {{VK_LEFT, "BtnLOYawL"}, {VK_RIGHT, "BtnLOYawR"}, {VK_UP, "BtnLOZoomIn"}, {VK_DOWN, "BtnLOZoomOut"}};
        for (const auto& k : kKeys)
            if (Held(k.vk) && mnu_ButtonGetState(c, k.button) != MNU_STATE_PRESSED)
                mnu_ButtonSetState(c, k.button, MNU_STATE_PRESSED);
        mnu_Update(c);
    }
    return 0;
}

// One triangle of three pixel rows centred at x; pointing down (rows of
// 5, 3, 1 pixels) or up (1, 3, 5).
void Triangle(int32_t x, int32_t y, bool down, int32_t value) {
    for (int32_t row = 0; row < 3; row++) {
        int32_t half = down ? 2 - row : row;
        draw_FillRectC(x - half, y + row, 2 * half + 1, 1, value);
    }
}

void MarkerDraw(void) {
    if (mnu_Loadout.markerBlink > 0) {
        mnu_Loadout.markerBlink--;
        static const int32_t kPairs[4][2] = {{126, 173}, {109, 188}, {94, 203}, {78, 218}};
        MnuFont* f = mnu_Context ? mnu_FontFind(mnu_Context, "ARIAL12") : nullptr;
        MnuRgb c = f ? f->colours[2] : MnuRgb{};
        if (!f) c.red = c.green = c.blue = 255;
        const _DRAW_SURFACE& screen = otw_ScreenSurface;
        if (!screen.base) return;
        int32_t value = screen.bytesPerPixel == 2 ? ((c.red >> 3) << 10 | (c.green >> 3) << 5 | (c.blue >> 3))
                                                   : (c.red << 16 | c.green << 8 | c.blue);
        draw_SelectSurface(&screen);
        int32_t m = mnu_Loadout.marker;
        if (m == 0) {
            Triangle(148, 298, true, value);
        } else if (m >= 1 && m < MNU_LO_STATIONS) {
            Triangle(kPairs[m - 1][0], 296, false, value);
            Triangle(kPairs[m - 1][1], 296, false, value);
        }
        return;
    }
    if (mnu_Loadout.hoverDepth == 0 && !mnu_Loadout.dirty && mnu_Loadout.marker >= 0) {
        Repaint(&kMarkerRect);
        mnu_Loadout.marker = -1;
    }
}

void LoadoutPage(void) {
    MnuContext* c = mnu_Context;
    if (!c) return;
    MarkerDraw();
    mnu_Draw(c);
    mnu_ImageAreasDraw(c);
    mnu_WindowTextDraw(c, "WndLoadOut");
    if (mnu_Transition.running) return;
    mnu_LoadoutPreviewStep();
    if (mnu_Loadout.dirty) {
        mnu_LoadoutPreviewDraw(mnu_Loadout.model, mnu_Loadout.yaw, mnu_Loadout.pitch, mnu_Loadout.distance);
        mnu_Loadout.dirty = 0;
    }
}

void LoadoutDraw(void) {
    if (!mnu_Context) return;
    if (mnu_Transition.running) {
        mnu_TransitionFrame();
        mnu_Loadout.dirty = 1;
        return;
    }
    mnu_ScreenDraw(LoadoutPage);
}

void LoadoutLeave(void) {
    if (mnu_Loadout.modelName) pak_Release(mnu_Loadout.modelName);
    mnu_Loadout.model = nullptr;
    mnu_Loadout.modelName = nullptr;
    for (chs_Zone*& z : g_zones) {
        if (z) chs_ZoneRemove(&mnu_ZoneList, z);
        z = nullptr;
    }
    pal_FreeAllPalrefs();
    mnu_Loadout.gameData = nullptr;
    if (mnu_Loadout.mark) mem_FreeFrom(mnu_Loadout.mark);
    mnu_Loadout.mark = nullptr;
    for (char* t : {g_weaponTexts[0], g_weaponTexts[1], g_weaponTexts[2], g_weaponTexts[3], g_weaponTexts[4],
                    g_weaponTexts[5]})
        t[0] = 0;
    mnu_LoadoutPreviewRestore();
    if (!Quick()) mnu_CampLoadoutFree();
    music_SetVariable(0, 0);
}

void StationCycle(int32_t n, int32_t forward) {
    if (n < 0 || n >= MNU_LO_STATIONS || !ord_Manager) return;
    MnuLoadoutStation& s = mnu_LoadoutStations[n];
    const OrdOption* o = ord_HardpointCycleStore(s.hardpoint, s.type, s.type < 0 ? 0 : s.count, forward);
    int32_t type = o ? o->type : -1, count = o ? o->count : 0;
    ord_HardpointClear(s.hardpoint);
    ord_PartnerHardpointClear(s.hardpoint);
    if (type >= 0) {
        ord_HardpointSetStore(s.hardpoint, type, count);
        ord_PartnerSetStore(s.hardpoint, type, count);
    }
    mnu_Loadout.described = type;
    mnu_LoadoutWeaponTexts(n, type);
    mnu_LoadoutStationTexts();
    mnu_Loadout.marker = n;
    mnu_Loadout.markerBlink = 8;
    mnu_Loadout.dirty = 1;
    Repaint(nullptr);
    mnu_LoadoutWeights();
}

void End(int32_t accept) {
    if (mnu_LeaveFlag) return;
    app_Runner.nextState = &WndMisBrief;
    mnu_LeaveFlag = 1;
    ord_LoadoutEnd(accept);
}

}  // namespace

const AppStateRecord WndLoadOut = {LoadoutEnter, LoadoutFrame, LoadoutDraw, LoadoutLeave, 0};

void mnu_LoadoutStationTexts(void) {
    for (MnuLoadoutStation& s : mnu_LoadoutStations) {
        if (!s.hardpoint[0]) break;
        const OrdOption* o = ord_Manager ? ord_HardpointGetStore(s.hardpoint) : nullptr;
        int32_t type = o ? o->type : -1, count = o ? o->count : 0;
        if (type < 0) {
            snprintf(s.text, sizeof s.text, "%s", StringText(NoStoreAllowed(s.hardpoint) ? "NOT_AVAIL" : "CC_EMPTY"));
        } else if (type < WEAPON_TYPES) {
            // A store without a name keeps the text it had.
            if (const char* name = GameText(weapon_Types[type].shortText)) {
                if (count < 2)
                    snprintf(s.text, sizeof s.text, "%s", name);
                else
                    snprintf(s.text, sizeof s.text, "%s (%d)", name, (int)count);
            }
        }
        s.type = type;
        s.count = count;
        SetText(s.area, s.text);
    }
}

void mnu_LoadoutWeaponTexts(int32_t station, int32_t type) {
    for (char* t : g_weaponTexts) t[0] = 0;
    if (type < 0 || type >= WEAPON_TYPES) {
        if (station >= 0 && station < MNU_LO_STATIONS && NoStoreAllowed(mnu_LoadoutStations[station].hardpoint)) {
            snprintf(g_weaponTexts[0], sizeof g_weaponTexts[0], "%s", StringText("LO_NOWEAPS"));
            snprintf(g_weaponTexts[1], sizeof g_weaponTexts[1], "%s", StringText("LO_NOWEAPS2"));
        }
    } else {
        const _WEAPON_TYPE& w = weapon_Types[type];
        const char* name = GameText(w.secondText);
        snprintf(g_weaponTexts[0], sizeof g_weaponTexts[0], "%s", name ? name : "");
        uint32_t k = w.kind;
        const char* kind = (k & 0x400) ? "LO_AIRTOSHIP" : (k & 0x8) ? "LO_BOMB" : (k & 0x10) ? "LO_FUELPOD"
                           : (k & 0x100) ? "LO_AIRTOAIR" : (k & 0x200) ? "LO_AIRTOGROUND" : nullptr;
        if (kind) snprintf(g_weaponTexts[1], sizeof g_weaponTexts[1], "%s", StringText(kind));
        const char* guide = (k & 0x3800) ? "LO_RADAR" : (k & 0xC000) ? "LO_HEAT" : (k & 0x10000) ? "LO_TV"
                            : (k & 0x20000) ? "LO_LASER" : (k & 0x40000) ? "LO_GPS" : "NOT_AVAIL";
        snprintf(g_weaponTexts[2], sizeof g_weaponTexts[2], "%s %s", StringText("LO_GUIDE"), StringText(guide));
        if (w.seekerRange != 0)
            snprintf(g_weaponTexts[3], sizeof g_weaponTexts[3], "%s %d %s", StringText("LO_RANGE"),
                     (int)((float)w.seekerRange * 16.0f * kNauticalMiles), StringText("NM"));
        else
            snprintf(g_weaponTexts[3], sizeof g_weaponTexts[3], "%s %s", StringText("LO_RANGE"), StringText("NOT_AVAIL"));
        snprintf(g_weaponTexts[4], sizeof g_weaponTexts[4], "%s %d %s", StringText("LO_WEIGHT"),
                 (int)((w.mass + w.fuel) * kPounds), StringText("LBS"));
        if (!Quick())
            snprintf(g_weaponTexts[5], sizeof g_weaponTexts[5], "%s %lu", StringText("LO_QUANTITY"),
                     (unsigned long)mnu_CampLoadoutCount(mnu_CampLoadoutList, type));
    }
    for (int32_t i = 0; i < 6; i++) {
        char area[32];
        snprintf(area, sizeof area, "TxtLOWeapText%d", (int)i + 1);
        SetText(area, g_weaponTexts[i]);
    }
}

void mnu_LoadoutWeights(void) {
    if (!ord_Manager) return;
    // Mounting and emptying stations leaves the manager's totals as they
    // were: count them again before showing them.
    ord_Recount();
    float empty = 0, fuel = 0, third = 0;
    plane_Weights(&empty, &fuel, &third);
    float a = (empty + ord_Manager->storeMass) * kPounds;
    float g = (empty + fuel + ord_Manager->storeMass + ord_Manager->fuelTotal) * kPounds;
    float l = third * kPounds;
    const float values[4] = {g - a, a, l, g};
    for (int32_t i = 0; i < 4; i++) {
        snprintf(g_weightTexts[i], sizeof g_weightTexts[i], "%05.0f %s", (double)values[i], StringText("LBS"));
        char area[32];
        snprintf(area, sizeof area, "TxtLODescPos%d", (int)i + 1);
        SetText(area, g_weightTexts[i]);
    }
}

void mnu_LoadoutPreviewStep(void) {
    if (mnu_Loadout.flyIn > 0) {
        mnu_Loadout.distance -= mnu_Loadout.flyIn;
        mnu_Loadout.flyIn -= 64;
        mnu_Loadout.dirty = 1;
    }
    if (mnu_Loadout.spin && *mnu_Loadout.spin >= 0) {
        mnu_Loadout.pitch = *mnu_Loadout.spin++ * kStep;
        mnu_Loadout.dirty = 1;
    }
}

void mnu_LoadoutStorePrev(int32_t station) { StationCycle(station, 0); }
void mnu_LoadoutStoreNext(int32_t station) { StationCycle(station, 1); }

void mnu_LoadoutPreviewControl(int32_t control) {
    switch (control) {
    case 0:
    case 1:
        mnu_Loadout.yaw = (mnu_Loadout.yaw + (control == 0 ? -2 : 2) * kStep) & kTurnBits;
        break;
    case 2:
        if (mnu_Loadout.flyIn > 0) return;
        if (mnu_Loadout.distance < kZoomNear)
            mnu_Loadout.distance = kZoomNearSet;
        else
            mnu_Loadout.distance -= kZoomStep;
        break;
    case 3:
        if (mnu_Loadout.flyIn > 0) return;
        mnu_Loadout.distance += kZoomStep;
        if (mnu_Loadout.distance > kZoomFar) mnu_Loadout.distance = kZoomFar;
        break;
    default: return;
    }
    mnu_Loadout.dirty = 1;
}

void mnu_LoadoutHover(int32_t station) {
    if (station < 0 || station >= MNU_LO_STATIONS) return;
    mnu_Loadout.marker = station;
    mnu_Loadout.markerBlink = 8;
    Repaint(&kMarkerRect);
    mnu_Loadout.hoverDepth++;
    cbInHover(0);
    mnu_LoadoutWeaponTexts(station, mnu_LoadoutStations[station].type);
}

void mnu_LoadoutInfo(int32_t station) {
    if (station < 0 || station >= MNU_LO_STATIONS) return;
    mnu_LoadoutWeaponTexts(station, mnu_LoadoutStations[station].type);
}

void cbLOHoverX(int32_t) { cbInHover(0); }

void cbLOOutHover(int32_t) {
    cbOutHover(0);
    if (mnu_Loadout.hoverDepth > 0) mnu_Loadout.hoverDepth--;
    if (mnu_Loadout.areaHovers == 0 && mnu_Loadout.hoverDepth == 0) mnu_LoadoutWeaponTexts(-1, -1);
}

void cbLOSimTog(int32_t) {
    app_Settings.LOADOUT_TYPE = app_Settings.LOADOUT_TYPE ? 0 : 1;
    SimModeShow();
    mnu_LoadoutWeights();
    Repaint(nullptr);
    mnu_Loadout.dirty = 1;
}

void cbLODef(int32_t) {
    _ORF* m = orf_Load(level_MissionNames.mission, 0);
    if (m) {
        for (const MnuLoadoutStation& s : mnu_LoadoutStations) {
            if (!s.hardpoint[0]) break;
            ord_HardpointClear(s.hardpoint);
            ord_PartnerHardpointClear(s.hardpoint);
        }
        mnu_MissionStoresAdd(m);
        orf_Free(m);
    }
    Repaint(nullptr);
    mnu_Loadout.dirty = 1;
    mnu_LoadoutStationTexts();
    mnu_LoadoutWeights();
}

void cbLOAccept(int32_t) { End(1); }
void cbLOBack(int32_t) { End(0); }
