// The in-flight command menus: the leave-flight box (screen state 1) and the
// numbered wing command menu (screen state 2), and the distance of a world
// point's projection from the screen centre.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/filetable.h"
#include "base/math.h"
#include "cockpit/hud.h"
#include "cockpit/tacmap.h"
#include "display/draw3d.h"
#include "display/draw_fill.h"
#include "display/dsurf.h"
#include "display/font.h"
#include "display/hw3d.h"
#include "display/otw.h"
#include "input/inmap.h"
#include "net/client.h"
#include "net/server.h"
#include "platform/simlog.h"
#include "render/render.h"
#include "shell/settings.h"
#include "sim/ai.h"
#include "sim/ai_wing.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "sound/music.h"
#include "sound/snd.h"
#include "world/gamemode.h"
#include "world/level.h"

HudMenuState hud_MenuState;
char hud_MenuText[HUD_MENU_TEXT_SIZE];
uint8_t hud_EndOfFlightChoice = 0;
// Set while a command menu is open; ABORT_MISSION closes it then.
int32_t hud_CommandMenuShown = 0;

// The pause: the flag, and the clock total taken when it began (the pause
// page adds the time since to the game's pause total).
int32_t hud_Paused = 0;
uint64_t hud_PauseClock = 0;

void hud_PauseSwitch(int32_t on) {
    hud_Paused = on ? 1 : 0;
    // The single-player server holds its world step while paused, and the
    // sound output goes silent.
    Server_Paused = hud_Paused;
    snd_SetSilence(hud_Paused);
    plat_SimLog("flight", "pause %s", hud_Paused ? "on" : "off");
}

namespace {

constexpr HudMenuEntry kLeaveMenu[] = {
    {474, hud_LeaveFlight, 0},
    {0, nullptr, 0},
};

constexpr uint32_t kOrderText = 678;
constexpr uint32_t kWingTitle = 688;
constexpr uint32_t kNoWingman = 689;
constexpr int32_t kFontArial11 = 1;
constexpr int32_t kFontKey16 = 3;
constexpr int32_t kFontKey11 = 4;

const BitmapFont* Font(int32_t n) { return level_Fonts[n]; }

int32_t Scaled(int32_t v) { return tacmap_Scaled(v); }

ObjectRecord* Player(void) { return Client_PlayerObject; }

bool Escape(void) { return inmap_KeyEvent.keyValue == 27; }

void BackToPrevious(void) { render_ScreenStateCurrent = render_ScreenStatePrevious; }

// A menu box: the card draws it with the surface unlocked (rectangle x1, y1
// to x2, y2), software as a bevelled panel (x, y, width, height).
void Box(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x, int32_t y, int32_t width, int32_t height,
         int32_t style) {
    tacmap_BoxPixels(x1, y1, x2, y2, x, y, width, height, style);
}

}  // namespace

const char* hud_MenuItemText(uint32_t item) {
    const char* text = level_GameText(item);
    if (!text) text = "???";
    snprintf(hud_MenuText, sizeof hud_MenuText, "%s", text);
    return hud_MenuText;
}

// ---- Leave-flight menu ----

void hud_CommandMenuReset(void) { hud_MenuState.menu = kLeaveMenu; }

int32_t hud_CommandMenuLinesDraw(void) {
    HudMenuState& m = hud_MenuState;
    m.lines = 0;
    m.x = Scaled(124);
    m.y = Scaled(113);
    m.spacing = Scaled(8);
    const BitmapFont* font = Font(kFontKey16);
    for (const HudMenuEntry* e = m.menu; e && e->item; e++) {
        const char* text = hud_MenuItemText(e->item);
        if (font) {
            m.x = font_CentredX(text, font);
            font_DrawString(text, font, m.x + 1, m.y + 1, 10, 4);
            font_DrawString(text, font, m.x, m.y, 0, 4);
        }
        m.y += m.spacing;
        m.lines++;
    }
    return m.lines;
}

void hud_CommandMenuDraw(void) {
    const int32_t x = Scaled(95), y = Scaled(108), w = Scaled(130), h = Scaled(24);
    Box(x, y, x + w, y + h, x, y, w, h, 4);
    hud_CommandMenuLinesDraw();
}

void hud_CommandMenuKeys(void) {
    const uint16_t c = inmap_KeyEvent.character;
    const AppSettings& s = app_Settings;
    if (!c && !Escape()) return;
    if (Escape() || c == s.keyNoUpper || c == s.keyNoLower) {
        BackToPrevious();
        return;
    }
    if (c == s.keyYesUpper || c == s.keyYesLower) {
        const HudMenuEntry* e = hud_MenuState.menu;
        if (e && e->action) e->action();
    }
}

void hud_LeaveFlight(void) {
    if (!level_GameMode.singlePlayer) {
        render_ScreenStateCurrent = nullptr;
        hud_EndOfFlightChoice = 1;
        plat_SimLog("flight", "leave network");
        return;
    }
    if (tacmap_MissionOutcome != 1) tacmap_MissionOutcome = 3;
    render_ScreenStateSet(4);
    plat_SimLog("flight", "leave mission outcome=%d screen=4", tacmap_MissionOutcome);
    if (ObjectRecord* p = Player()) plane_PlayerEject(p);
    if (hud_Paused) {
        hud_PauseSwitch(0);
        music_MidiLoopCountdown();
    }
}

// ---- Wing command menu ----

bool hud_WingOrderAvailable(ObjectRecord* player, int32_t order) {
    ObjectRecord* w = ai_WingmanOf(player);
    if (!player || !w || order < 0 || order >= AI_WING_ORDERS) return false;
    // The wingman's order flags: bit 0 able to take orders, bit 1 the
    // second state bit (the unit AI's engagement bits).
    const _AI_DCB* unit = ai_Unit(w);
    const uint8_t flags = unit ? unit->engagement : 0;
    const bool able = (flags & 0x01) != 0;
    const bool second = (flags & 0x02) != 0;
    const uint8_t state = ai_OrderByte(w);
    const ObjectRecord* t = player->target;
    switch (order) {
    case 0: return state != 4 && able;
    case 1: return able && ai_NearestAttackerOf(w);
    case 2:
    case 4:
    case 5: return (state == 4 || state == 2) && able && ai_NearestHostileOf(w);
    case 3: return !second && t && (t->category & 0x04);
    case 6: return t && !(t->category & 0x04) && able && ai_NearestAttackerOfTarget(player);
    case 7: return !second && t && !(t->category & 0x04);
    case 8: return able && ai_NearestAttackerOf(player);
    default: return able && state != 2;
    }
}

void hud_WingMenuDraw(void) {
    const BitmapFont* arial = Font(kFontArial11);
    const BitmapFont* title = Font(kFontKey11);
    char line[128];
    int32_t width = 0;
    for (int32_t i = 0; i < AI_WING_ORDERS; i++) {
        snprintf(line, sizeof line, "~0%d) ~5%s", i, hud_MenuItemText(kOrderText + (uint32_t)i));
        if (arial) width = std::max(width, font_StringWidth(line, arial));
    }
    if (arial) width = std::max(width, font_StringWidth(hud_MenuItemText(kNoWingman), arial));
    width += Scaled(24);
    const int32_t x0 = Scaled(10), y0 = Scaled(15);
    Box(x0, y0, width + 10, y0 + 180, x0, y0, width, 180, 5);
    const char* head = hud_MenuItemText(kWingTitle);
    if (title) font_DrawString(head, title, x0 + width / 2 - font_StringWidth(head, title) / 2, y0 + 12, 0, 0);
    int32_t y = y0 + 36;
    ObjectRecord* player = Player();
    if (!ai_WingmanOf(player)) {
        const char* none = hud_MenuItemText(kNoWingman);
        if (arial) font_DrawString(none, arial, width / 2 - font_StringWidth(none, arial) / 2 + x0, y, 2, 0);
        return;
    }
    for (int32_t i = 0; i < AI_WING_ORDERS; i++, y += 12) {
        const char* text = hud_MenuItemText(kOrderText + (uint32_t)i);
        if (!arial) continue;
        if (hud_WingOrderAvailable(player, i)) {
            snprintf(line, sizeof line, "~%c%d) ~%c%s", '0', i, '5', text);
            font_DrawStringC(line, arial, x0 + 12, y, 0, 0);
        } else {
            snprintf(line, sizeof line, "%d) %s", i, text);
            font_DrawString(line, arial, x0 + 12, y, 10, 0);
        }
    }
}

void hud_WingMenuKeys(void) {
    const InputKeyEvent& k = inmap_KeyEvent;
    if (Escape() || k.keyValue == 87 || k.key == 145) {
        BackToPrevious();
        return;
    }
    ObjectRecord* player = Player();
    if (!ai_WingmanOf(player) || k.key < '0' || k.key > '9') return;
    const int32_t order = k.key - '0';
    if (!hud_WingOrderAvailable(player, order)) return;
    Client_CallSendWingCommand(order);
    BackToPrevious();
}

// ---- Screen-centre distance ----

int32_t hud_ScreenCentreDistance(const FixWorldPos* point) {
    FixScreenPoint p;
    if (!point || draw_ProjectPoint3D(point, &p) != 0) return -1;
    const float dx = (float)(p.x - draw_CurrentSurface.width / 2);
    const float dy = (float)(p.y - draw_CurrentSurface.height / 2);
    return (int32_t)std::lround(math_Length2D(dx, dy));
}
