// The in-flight information pages: the goals page, the debriefing, the
// pause notice, the player-type choice, the player and score lists, the
// result pages, the keys page and the start texts. Pages are laid out on a
// 320 by 240 frame scaled to the screen; their texts are game data items.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "base/filetable.h"
#include "cockpit/hud.h"
#include "cockpit/tacmap.h"
#include "display/draw_fill.h"
#include "display/draw_line.h"
#include "display/dsurf.h"
#include "display/font.h"
#include "display/hw3d.h"
#include "display/otw.h"
#include "input/inmap.h"
#include "input/inmapfile.h"
#include "net/client.h"
#include "net/player.h"
#include "platform/simlog.h"
#include "render/render.h"
#include "render/view.h"
#include "shell/runner.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "world/level.h"

int32_t tacmap_GoalsShown = 0;
int32_t tacmap_KeysShown = 0;
int32_t tacmap_KeysScroll = 0;
int32_t tacmap_KeysListed = 0;
int32_t tacmap_ScoreShown = 0;
int32_t tacmap_PlayerListShown = 0;
int32_t tacmap_RecentShown = 0;
int32_t tacmap_TeamPlay = 0;
int32_t tacmap_OwnSquadron = -1;
int32_t tacmap_StartTextOn = 0;
int32_t tacmap_StartTextSecond = 0;
int32_t tacmap_ScoreFirst = 0;

namespace {

constexpr int32_t kFontArial11 = 1;
constexpr int32_t kFontKey16 = 3;
constexpr int32_t kFontKey11 = 4;
constexpr uint16_t kEscape = 27;
constexpr uint16_t kPauseKey = 0x13;

const BitmapFont* Font(int32_t n) { return level_Fonts[n]; }

const char* Item(uint32_t n) { return level_GameText(n); }

void BackToPrevious(void) { render_ScreenStateCurrent = render_ScreenStatePrevious; }

void Text(const char* text, int32_t font, int32_t x, int32_t y, int32_t colour) {
    tacmap_PageText(text, Font(font), x, y, colour);
}

void Centred(const char* text, int32_t font, int32_t y, int32_t colour) {
    const BitmapFont* f = Font(font);
    if (!f || !text) return;
    Text(text, font, font_MeasureCentredX(text, f), y, colour);
}

// A format from the game data is used only when its conversions are the
// expected ones, in order ('d' a number, 's' a text); "%%" is plain text.
bool FormatFits(const char* format, const char* expected) {
    if (!format) return false;
    for (const char* p = format; *p; p++) {
        if (*p != '%') continue;
        p++;
        if (*p == '%') continue;
        while (*p == '-' || *p == ' ' || *p == '0' || *p == '+') p++;
        while (*p >= '0' && *p <= '9') p++;
        if (*expected == 0 || *p != *expected) return false;
        expected++;
    }
    return *expected == 0;
}

// Formats item n with the expected conversions; false (out empty) when the
// item is missing or its conversions differ.
bool ItemFormat(char* out, size_t size, uint32_t n, const char* expected, ...) {
    out[0] = 0;
    const char* format = Item(n);
    if (!FormatFits(format, expected)) return false;
    va_list a;
    va_start(a, expected);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    vsnprintf(out, size, format, a);
#pragma GCC diagnostic pop
    va_end(a);
    return true;
}

const char* Squadron(uint16_t index) { return index == 0xFFFF ? nullptr : tacmap_SquadronName(index); }

const PlayerTableEntry* DisplayRecord(int32_t player) {
    const ClientDisplayRecords& d = Client_PlayerDisplayRecords;
    if (!d.names || player < 0 || player >= d.nameCount || player >= PLAYER_TABLE_SIZE) return nullptr;
    return &d.names[player];
}

}  // namespace

void tacmap_PageText(const char* text, const BitmapFont* font, int32_t x, int32_t y, int32_t colour) {
    // The page colours 0..12 in the level's colour slots (1 black, 2 white,
    // 3 red, 4 green, 5 blue, 6 yellow, 7 grey, 15 white).
    static const uint8_t kSlot[13] = {2, 6, 3, 7, 4, 6, 4, 7, 7, 7, 7, 15, 3};
    if (!font || !text || !draw_CurrentSurface.base) return;
    // Only lines that fit the screen are drawn.
    if (y < 0 || y >= draw_CurrentSurface.height) return;
    const int32_t slot = colour >= 0 && colour < 13 ? kSlot[colour] : 2;
    // Lines with colour codes ("~n") take their colours from the codes.
    if (strchr(text, '~')) {
        font_State.colourOffset = static_cast<uint8_t>(slot * 8);
        font_DrawShadowedString(text, font, x, y, slot, FONT_MODE_CODED);
    } else {
        font_DrawShadowedString(text, font, x, y, slot, FONT_MODE_ONE_COLOUR);
    }
}

int32_t tacmap_Scaled(int32_t v) { return (int32_t)(((int64_t)v * draw_CurrentSurface.widthScale) >> 16); }

void tacmap_BoxPixels(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x, int32_t y, int32_t width,
                      int32_t height, int32_t style) {
    if (hw3d_Active && hw3d_Descriptor.shadedRect) {
        otw_UnlockSurface();
        hw3d_Descriptor.shadedRect(x1, y1, x2, y2, style);
        otw_LockSurface();
        return;
    }
    if (!draw_CurrentSurface.base) return;
    draw_BevelPanelAt(x, y, width, height, style);
}

void tacmap_PageBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x, int32_t y, int32_t width,
                    int32_t height, int32_t style) {
    tacmap_BoxPixels(tacmap_Scaled(x1), tacmap_Scaled(y1), tacmap_Scaled(x2), tacmap_Scaled(y2), tacmap_Scaled(x),
                     tacmap_Scaled(y), tacmap_Scaled(width), tacmap_Scaled(height), style);
}

int32_t tacmap_StringLineDraw(int32_t y, int32_t colour, uint32_t item, const BitmapFont* font) {
    const char* text = Item(item);
    if (font && text) tacmap_PageText(text, font, font_MeasureCentredX(text, font), y, colour);
    return y + 30;
}

// ---- Goals page ----

void tacmap_GoalsPageDraw(void) {
    static const int32_t kTitle[TACMAP_GOAL_LISTS] = {20, 21, 22, 23};
    static const int32_t kTitleColour[TACMAP_GOAL_LISTS] = {5, 4, 11, 12};
    static const int32_t kDoneColour[TACMAP_GOAL_LISTS] = {6, 6, 6, 2};
    tacmap_PageBox(10, 10, 310, 230, 10, 10, 300, 220, 5);
    Centred(Item(24), kFontKey11, tacmap_Scaled(20), 0);
    int32_t y = tacmap_Scaled(50);
    const int32_t x = tacmap_Scaled(20);
    for (int32_t k = 0; k < TACMAP_GOAL_LISTS; k++) {
        const TacmapGoalList& list = tacmap_Goals[k];
        if (list.count <= 0) continue;
        Text(Item(kTitle[k]), kFontKey11, x, y, kTitleColour[k]);
        y += tacmap_Scaled(10);
        const char* suffix = Item(k == TACMAP_GOALS_FAIL ? 26 : 25);
        for (int32_t i = 0; i < list.count; i++) {
            const TacmapGoal& g = list.entries[i];
            if (!g.text) continue;
            if (g.done) {
                char line[256];
                snprintf(line, sizeof line, "%s  - %s", g.text, suffix ? suffix : "");
                Text(line, kFontArial11, x, y, kDoneColour[k]);
            } else {
                Text(g.text, kFontArial11, x, y, 0);
            }
            y += tacmap_Scaled(10);
        }
        y += tacmap_Scaled(10);
    }
}

// ---- Debriefing (screen state 4) ----

namespace {

struct DebriefColumns {
    int32_t x0;
    int32_t column[6];
};

DebriefColumns Columns(void) {
    DebriefColumns c{tacmap_Scaled(30), {}};
    for (int32_t i = 0; i < 6; i++) {
        const FileTableEntry* e = level_GameData ? file_TableEntryGet(static_cast<const FileTable*>(level_GameData),
                                                                      static_cast<uint32_t>(714 + i))
                                                 : nullptr;
        // 2.8 x the number stored with the item + 20, in layout units.
        c.column[i] = e ? tacmap_Scaled(static_cast<int32_t>(e->word1) * 28 / 10 + 20) : -1;
    }
    return c;
}

void Row(const DebriefColumns& c, int32_t flags, uint32_t label, const char* name, const TacmapWeaponRecord& r,
         int32_t y) {
    if (r.count[0] == 0) return;
    char number[24];
    if (flags & 0x80) Text(Item(label), kFontKey11, c.x0, y, 5);
    if ((flags & 1) && name) Text(name, kFontKey11, c.x0, y, 5);
    for (int32_t k = 0; k < 4; k++) {
        if (!(flags & (2 << k)) || c.column[k] < 0) continue;
        snprintf(number, sizeof number, "%d", (int)r.count[k]);
        Text(number, kFontKey11, c.column[k], y, 4);
    }
    if ((flags & 0x40) && c.column[5] >= 0) {
        const int64_t percent = static_cast<int64_t>(r.count[1]) * 100 / r.count[0];
        char line[64];
        if (ItemFormat(line, sizeof line, 720, "d", (int)percent)) Text(line, kFontKey11, c.column[5], y, 2);
    }
}

// The two-line header of a table; nothing when an item is missing.
bool Header(const DebriefColumns& c, int32_t flags, int32_t y) {
    for (uint32_t n = 713; n <= 729; n++)
        if (!Item(n)) return false;
    struct Pair {
        int32_t bit;
        uint32_t first, second;
        int32_t x;
    };
    const Pair pairs[] = {{0x80, 728, 729, c.x0},       {1, 713, 721, c.x0},          {2, 714, 722, c.column[0]},
                          {4, 715, 723, c.column[1]},   {8, 716, 724, c.column[2]},   {0x10, 717, 725, c.column[3]},
                          {0x40, 719, 727, c.column[5]}};
    for (const Pair& p : pairs) {
        if (!(flags & p.bit) || p.x < 0) continue;
        Text(Item(p.first), kFontKey11, p.x, y, 0);
        Text(Item(p.second), kFontKey11, p.x, y + tacmap_Scaled(11), 0);
    }
    return true;
}

void KeepForFrontEnd(void) {
    if (tacmap_MissionOutcome != 1) return;
    memcpy(level_MissionOptionsFrontEnd, level_MissionOptions, sizeof level_MissionOptionsFrontEnd);
    TacmapStatistics s;
    tacmap_StatisticsGather(&s);
    tacmap_StatisticsImage(&s, tacmap_FrontEndStatistics);
}

}  // namespace

void tacmap_DebriefDraw(void) {
    tacmap_RecentShown = tacmap_GoalsShown = tacmap_KeysShown = 0;
    const DebriefColumns c = Columns();
    tacmap_PageBox(20, 20, 300, 220, 20, 20, 280, 200, 5);
    const int32_t step = tacmap_Scaled(11);
    int32_t y = tacmap_Scaled(20) + tacmap_Scaled(8);
    char line[256];
    Centred(Item(708), kFontKey16, y, 0);
    y += tacmap_Scaled(22);
    const int32_t outcome = tacmap_MissionOutcome >= 0 && tacmap_MissionOutcome <= 3 ? tacmap_MissionOutcome : 0;
    const char* word = Item(static_cast<uint32_t>(704 + outcome));
    if (ItemFormat(line, sizeof line, 703, "s", word ? word : "")) Text(line, kFontKey11, c.x0, y, 5);
    y += 2 * step;
    static const uint32_t kListItem[3] = {700, 701, 693};
    for (int32_t k = 0; k < 3; k++) {
        const TacmapGoalList& list = tacmap_Goals[k];
        if (list.count <= 0) continue;
        if (ItemFormat(line, sizeof line, kListItem[k], "dd", (int)(list.visible - list.remaining), (int)list.visible))
            Text(line, kFontKey11, c.x0, y, 5);
        y += step;
    }
    TacmapStatistics s;
    tacmap_StatisticsGather(&s);
    const struct {
        uint32_t item;
        int32_t a, b;
        const char* form;
    } counts[] = {{695, s.counter[0], s.counter[2], "dd"},
                  {696, s.counter[1], s.counter[3], "dd"},
                  {697, s.weapon[0].count[0], 0, "d"},
                  {698, s.weapon[0].count[1], 0, "d"}};
    for (const auto& n : counts) {
        if (n.a != 0 && ItemFormat(line, sizeof line, n.item, n.form, (int)n.a, (int)n.b))
            Text(line, kFontKey11, c.x0, y, 5);
        y += step;
    }
    bool any = false;
    for (const TacmapWeaponRecord& r : s.weapon) any = any || r.count[0] != 0;
    if (any) {
        if (Header(c, 254, y)) y += 2 * step;
        for (int32_t r = 1; r <= 4; r++) {
            if (s.weapon[r].count[0] == 0) continue;
            Row(c, 254, static_cast<uint32_t>(729 + r), nullptr, s.weapon[r], y);
            y += step;
        }
        if (s.weapon[0].count[0]) {
            Row(c, 130, 734, nullptr, s.weapon[0], y);
            y += step;
        }
        if (Header(c, 127, y)) y += 2 * step;
        for (int32_t i = 0; i < s.typeCount; i++) {
            const TacmapWeaponRecord& r = s.types[i];
            if (r.count[0] == 0 || r.type < 0 || r.type >= WEAPON_TYPES) continue;
            const uint32_t flags = weapon_Types[r.type].kind;
            int32_t rowFlags = 0;
            if (flags & (0x2 | 0x20 | 0x8))
                rowFlags = 127;
            else if (flags & 0x10)
                rowFlags = 3;
            else
                continue;
            Row(c, rowFlags, 0, Item(static_cast<uint32_t>(weapon_Types[r.type].shortText)), r, y);
            y += step;
        }
    }
    const char* a = Item(691);
    const char* b = Item(690);
    snprintf(line, sizeof line, "%s   %s", a ? a : "", b ? b : "");
    Centred(line, kFontKey11, tacmap_Scaled(205), 10);
}

void tacmap_DebriefKeys(void) {
    const uint16_t key = inmap_KeyEvent.keyValue;
    const uint8_t ch = inmap_KeyEvent.character;
    if (ch == '1') {
        KeepForFrontEnd();
        hud_EndOfFlightChoice = 2;
    } else if (ch == '2' || key == kEscape) {
        KeepForFrontEnd();
        hud_EndOfFlightChoice = 1;
    } else {
        return;
    }
    plat_SimLog("pages", "debrief choice=%d outcome=%d", hud_EndOfFlightChoice, tacmap_MissionOutcome);
}

// ---- Pause (screen state 6) ----

void tacmap_PausePageDraw(void) { Centred(Item(475), kFontKey16, 236, 5); }

void tacmap_PausePageKeys(void) {
    const uint16_t key = inmap_KeyEvent.keyValue;
    if (key == kPauseKey) {
        render_ScreenStateCurrent = nullptr;
        const uint64_t now = app_ClockRead();
        // The clock's high word counts 1/120 s; the pause total is in game
        // ticks (40 a second), like the flight time it is taken from.
        if (now > hud_PauseClock) tacmap_PausedTicks += static_cast<uint32_t>(((now - hud_PauseClock) >> 32) / 3);
        // Sound back on and the world running again.
        hud_PauseSwitch(0);
        plat_SimLog("pages", "pause off");
    } else if (key == kEscape) {
        render_ScreenStateSet(1);
    }
}

// ---- Player type (screen state 7) ----

void tacmap_PlayerTypeDraw(void) {
    tacmap_PageBox(50, 140, 270, 200, 50, 140, 220, 60, 5);
    int32_t y = tacmap_StringLineDraw(tacmap_Scaled(150), 5, 764, Font(kFontKey16));
    Text(Item(765), kFontKey11, tacmap_Scaled(70), y, 5);
    Text(Item(766), kFontKey11, tacmap_Scaled(70), y + tacmap_Scaled(12), 5);
    tacmap_PlayerListDraw();
}

void tacmap_PlayerTypeKeys(void) {
    const uint8_t ch = inmap_KeyEvent.character;
    if (ch != '1' && ch != '2') return;
    const int32_t type = ch - '1';
    player_AircraftBlock = player_Startup.blocks[type];
    BackToPrevious();
    view_ModeSelect();
    plane_HookRestart(0);
    Client_CallSendPlayerType(type);
}

// ---- Player list (screen state 8 and overlay) ----

void tacmap_PlayerListDraw(void) {
    tacmap_PageBox(15, 10, 305, 135, 15, 10, 290, 125, 5);
    char line[160];
    const bool team = tacmap_TeamPlay == 2;
    const PlayerTableEntry* own = DisplayRecord(Client_OwnPlayerNumber);
    if (team) {
        const char* side = Item(static_cast<uint32_t>(27 + tacmap_OwnSquadron));
        ItemFormat(line, sizeof line, 772, "s", side ? side : "");
    } else {
        ItemFormat(line, sizeof line, 772, "s", own ? own->aircraft : "");
    }
    Centred(line, kFontKey16, tacmap_Scaled(15), 1);
    const ClientDisplayRecords& d = Client_PlayerDisplayRecords;
    int32_t shown = 0;
    for (int32_t i = 0; d.names && i < d.nameCount && i < PLAYER_TABLE_SIZE; i++) {
        const PlayerTableEntry& p = d.names[i];
        if (!p.name[0] || static_cast<int32_t>(static_cast<int16_t>(p.squadron)) != tacmap_OwnSquadron) continue;
        char name[sizeof p.name + 1], second[sizeof p.aircraft + 1];
        snprintf(name, sizeof name, "%.*s", (int)sizeof p.name, p.name);
        snprintf(second, sizeof second, "%.*s", (int)sizeof p.aircraft, p.aircraft);
        if (team) {
            const char* status = p.side == 0 ? Item(773) : (p.side == 1 ? Item(774) : "????");
            if (second[0])
                snprintf(line, sizeof line, "~0%s ~0(%s) (%s~0)", name, second, status ? status : "");
            else
                snprintf(line, sizeof line, "~0%s ~0(%s~0)", name, status ? status : "");
        } else if (second[0]) {
            snprintf(line, sizeof line, "%s ~0(%s)", name, second);
        } else {
            snprintf(line, sizeof line, "%s", name);
        }
        const int32_t x = tacmap_Scaled(shown % 2 ? 155 : 25);
        const int32_t y = tacmap_Scaled(35 + 12 * (shown / 2));
        Text(line, kFontKey11, x, y, 10);
        shown++;
    }
}

void tacmap_PlayerListKeys(void) {
    const uint16_t key = inmap_KeyEvent.keyValue;
    if (key == 13 || key == kEscape || key == 'Q') BackToPrevious();
}

// ---- Scores ----

namespace {

// One score line: the forms with and without a second text and a squadron.
void ScoreLine(char* out, size_t size, const PlayerTableEntry* p, int32_t score, bool result) {
    char name[23], second[17];
    snprintf(name, sizeof name, "%.*s", 22, p->name);
    snprintf(second, sizeof second, "%.*s", 16, p->aircraft);
    const char* squadron = Squadron(p->squadron);
    const char* open = result ? " ~0(" : " (";
    if (squadron) {
        if (second[0])
            snprintf(out, size, "~5%s%s%s) ~0[~4%s~0] ~1- ~0%d", name, open, second, squadron, (int)score);
        else
            snprintf(out, size, "~5%s ~0[~4%s~0] ~1- ~0%d", name, squadron, (int)score);
    } else if (second[0]) {
        snprintf(out, size, "~5%s%s%s) ~1- ~0%d", name, open, second, (int)score);
    } else {
        snprintf(out, size, "~5%s ~1- ~0%d", name, (int)score);
    }
}

// The score list with the player's own entry first.
int32_t ScoreOrder(int32_t* order, int32_t size) {
    const ClientDisplayRecords& d = Client_PlayerDisplayRecords;
    const int32_t count = static_cast<int32_t>(d.scoreCount < EVENT_SCORES_MAX ? d.scoreCount : EVENT_SCORES_MAX);
    int32_t n = 0;
    for (int32_t i = 0; i < count && n < size; i++)
        if (d.scores[i].player == Client_OwnPlayerNumber) order[n++] = i;
    for (int32_t i = 0; i < count && n < size; i++)
        if (d.scores[i].player != Client_OwnPlayerNumber) order[n++] = i;
    return n;
}

}  // namespace

void tacmap_PlayerScoresDraw(void) {
    int32_t order[EVENT_SCORES_MAX];
    const int32_t n = ScoreOrder(order, EVENT_SCORES_MAX);
    char line[160];
    for (int32_t i = 0; i < n; i++) {
        const MsgScoreEntry& e = Client_PlayerDisplayRecords.scores[order[i]];
        const PlayerTableEntry* p = DisplayRecord(e.player);
        if (!p) continue;
        ScoreLine(line, sizeof line, p, e.score, false);
        Text(line, kFontKey11, 20, 60 + 12 * i, 10);
    }
}

void tacmap_ResultPageDraw(void) {
    tacmap_PageBox(50, 140, 270, 200, 50, 140, 220, 60, 5);
    const int32_t side = Client_PlayerDisplayRecords.ctfResult;
    const char* name = Item(static_cast<uint32_t>(27 + side));
    const char* word = Item(769);
    char line[160];
    snprintf(line, sizeof line, "%s %s", name ? name : "", word ? word : "");
    const PlayerTableEntry* own = DisplayRecord(Client_OwnPlayerNumber);
    Centred(line, kFontKey16, tacmap_Scaled(150), own && own->side == side ? 1 : 2);
}

void tacmap_ResultScoresDraw(void) {
    tacmap_PageBox(50, 90, 270, 190, 50, 90, 220, 100, 5);
    int32_t order[EVENT_SCORES_MAX];
    const int32_t n = ScoreOrder(order, EVENT_SCORES_MAX);
    char line[160];
    for (int32_t i = 0; i < n && i < 8; i++) {
        const MsgScoreEntry& e = Client_PlayerDisplayRecords.scores[order[i]];
        const PlayerTableEntry* p = DisplayRecord(e.player);
        if (!p) continue;
        ScoreLine(line, sizeof line, p, e.score, true);
        Centred(line, kFontKey11, tacmap_Scaled(95 + 12 * i), 10);
    }
}

void tacmap_ResultPageKeys(void) {
    if (inmap_KeyEvent.keyValue == kEscape) render_ScreenStateSet(1);
}

// ---- Score page (screen state 12) ----

int32_t tacmap_ScoreScroll(int32_t first, int32_t step, int32_t count) {
    if (step > 0 && first + 32 >= count) return first;
    int32_t next = first + step;
    if (next < 0) next = 0;
    // The clamp compares unsigned: with fewer than 32 players the limit
    // wraps high and only the floor holds.
    const uint32_t limit = static_cast<uint32_t>(count - 32);
    if (static_cast<uint32_t>(next) > limit) next = static_cast<int32_t>(limit);
    return next;
}

void tacmap_ScorePageDraw(void) {
    tacmap_PageBox(80, 10, 240, 220, 80, 10, 160, 210, 3);
    const char* title = Item(483);
    const BitmapFont* key11 = Font(kFontKey11);
    if (title && key11) Text(title, kFontKey11, tacmap_Scaled(160) - font_StringWidth(title, key11) / 2, tacmap_Scaled(10), 0);
    const ClientDisplayRecords& d = Client_PlayerDisplayRecords;
    char line[160];
    for (int32_t i = 0; i < 32; i++) {
        const int32_t n = tacmap_ScoreFirst + i;
        if (!d.names || n < 0 || n >= d.nameCount || n >= PLAYER_TABLE_SIZE) break;
        const PlayerTableEntry& p = d.names[n];
        if (!p.name[0]) {
            snprintf(line, sizeof line, "-----");
        } else {
            char name[23], second[17];
            snprintf(name, sizeof name, "%.*s", 22, p.name);
            snprintf(second, sizeof second, "%.*s", 16, p.aircraft);
            const char* squadron = Squadron(p.squadron);
            if (second[0] && squadron)
                snprintf(line, sizeof line, "~0%3d ~5%s ~0(%s) ~0[~4%s~0]", (int)n, name, second, squadron);
            else if (squadron)
                snprintf(line, sizeof line, "~0%3d ~5%s ~0[~4%s~0]", (int)n, name, squadron);
            else if (second[0])
                snprintf(line, sizeof line, "~0%3d ~5%s ~0(%s)", (int)n, name, second);
            else
                snprintf(line, sizeof line, "~0%3d ~5%s", (int)n, name);
        }
        Text(line, kFontKey11, tacmap_Scaled(90), tacmap_Scaled(30 + 11 * i), 10);
    }
}

void tacmap_ScorePageKeys(void) {
    const uint16_t key = inmap_KeyEvent.keyValue;
    const int32_t count = Client_PlayerDisplayRecords.nameCount;
    int32_t step = 0;
    switch (key) {
    case 'P':
    case kEscape: BackToPrevious(); return;
    case 'X': step = 1; break;
    case 'S': step = -1; break;
    case 1112: step = 16; break;
    case 1107: step = -16; break;
    default: return;
    }
    tacmap_ScoreFirst = tacmap_ScoreScroll(tacmap_ScoreFirst, step, count);
}

// ---- Keys page ----

void tacmap_KeysPageDraw(void) {
    const _INMAP* map = inmap_ActiveMap;
    if (!map) return;
    tacmap_PageBox(60, 10, 260, 230, 60, 10, 200, 220, 3);
    int32_t listed = 0, seen = 0;
    int32_t y = tacmap_Scaled(20);
    const int32_t left = tacmap_Scaled(60), right = tacmap_Scaled(260), textRight = tacmap_Scaled(250);
    const BitmapFont* key11 = Font(kFontKey11);
    for (const _INMAP_INPUT* in = map->inputHead; in && listed < TACMAP_KEYS_LINES; in = in->next) {
        const bool current = (in->kind == INMAP_KIND_KEYBOARD && in->layout == inmap_KeyboardLayout) ||
                             (in->kind == INMAP_KIND_JOYSTICK && in->layout == inmap_JoystickLayout);
        if (!current) continue;
        if (seen++ < tacmap_KeysScroll) continue;
        // A binding without its names still takes its line.
        char keyText[64], actionText[96];
        inmap_InputDescribe(in, keyText, sizeof keyText, actionText, sizeof actionText);
        if (draw_CurrentSurface.base) draw_ClipLineC(left, y + 17, right, y + 17, 10);
        Text(keyText, kFontKey11, left, y, 0);
        if (key11) Text(actionText, kFontKey11, textRight - font_StringWidth(actionText, key11), y, 1);
        y += tacmap_Scaled(11);
        listed++;
    }
    tacmap_KeysListed = listed;
    if (listed == 0 && tacmap_KeysScroll > 0) tacmap_KeysScroll--;
}

// ---- Start texts ----

void tacmap_StartTextDraw(void) {
    const int32_t bottom = draw_CurrentSurface.height;
    if (tacmap_StartTextOn) Centred(Item(482), kFontKey16, bottom - 80, 0);
    if (tacmap_StartTextSecond) Centred(Item(Client_GameFlags[1] ? 0x1E9 : 0x1E8), kFontKey16, bottom - 40, 0);
}

void tacmap_StartTextShow(void) {
    // Nothing to show: no extra frame is presented.
    if (!tacmap_StartTextOn && !tacmap_StartTextSecond) return;
    otw_LockSurface();
    tacmap_StartTextDraw();
    otw_UnlockSurface();
    otw_PresentFrame();
}
