// The AI information block, the mission trigger page and the mission
// counter page: developer pages of the overlay pass, each over its own
// bevelled panel, in the arial font with a line step of 5 layout units.
#include "debug/dbgpage.h"

#include <cstring>

#include "base/fix.h"
#include "base/text.h"
#include "cockpit/hud.h"
#include "debug/dbgoverlay.h"
#include "display/draw_fill.h"
#include "display/dsurf.h"
#include "display/hw3d.h"
#include "net/client.h"
#include "net/server.h"
#include "sim/ai.h"
#include "sim/obj.h"
#include "sim/trig.h"
#include "sim/weapon.h"
#include "world/level.h"
#include "world/orf.h"

namespace {

constexpr int32_t kPanelShade = 5;
constexpr int32_t kLineStep = 5;       // layout units
constexpr int32_t kTriggerLines = 20;  // shown at once
constexpr int32_t kTriggerSlots = 4;   // condition records of a trigger

const char* const kAiNames[16] = {
    "WAITING FOR TRIGGER", "TAXI",      "FOLLOWING WAYPOINT", "TAKING OFF", "FOLLOWING LEADER", "ATTACKING TARGET",
    "EVADING",             "AVOIDING GROUND", "LANDING",      "BOMBING RUN", "ESCORTING",        "NO PATROL",
    "CAN PATROL",          "SR ONLY",   "LR ONLY",            "ANY RANGE",
};
const char* const kRoleNames[2] = {"FLIGHT LEADER", "WINGMAN"};

// The page position shared by the three pages, in pixels.
struct PagePosition {
    int32_t x, step, y;
    int32_t colour;
} g_page;

void PageStart(int32_t x, int32_t y) {
    g_page.x = dbg_Layout(x);
    g_page.y = dbg_Layout(y);
    g_page.step = dbg_Layout(kLineStep);
}

void PageLine(int32_t colour, const char* format, ...) {
    g_page.colour = colour;
    va_list args;
    va_start(args, format);
    dbg_ShadowLineV(dbg_ArialFont(), g_page.x, g_page.y, colour, format, args);
    va_end(args);
    g_page.y += g_page.step;
}

void Panel(int32_t x, int32_t y, int32_t width, int32_t height) {
    const _DRAW_SURFACE& d = draw_CurrentSurface;
    if (hw3d_Active || !d.base || d.bytesPerPixel <= 0) return;
    draw_SetBlitDest(d.base, d.bytesPerRow / d.bytesPerPixel);
    draw_BevelPanelAt(dbg_Layout(x), dbg_Layout(y), dbg_Layout(width), dbg_Layout(height), kPanelShade);
}

// The label of the object: its entry of the label table, composed.
void ObjectLabel(const ObjectRecord* object, char* buffer, size_t size) {
    int32_t entry = -1;
    for (int32_t i = 0; i < obj_LabelCount && i < OBJ_LABELS; i++)
        if (obj_LabelTable[i].record == object) {
            entry = i;
            break;
        }
    obj_ComposeLabel(entry, buffer, size);
}

// The difference b - a as a vector, wrapping like world coordinates do.
FixVec3 Difference(const FixWorldPos& a, const FixWorldPos& b) {
    return FixVec3{(int32_t)(b.x - a.x), (int32_t)(b.y - a.y), (int32_t)(b.z - a.z)};
}

}  // namespace

const char* dbg_AiStateName(uint32_t state) { return state <= 10 ? kAiNames[state] : "?"; }
const char* dbg_AiPatrolName(uint32_t patrol) { return patrol <= 1 ? kAiNames[11 + patrol] : "?"; }
const char* dbg_AiRangeName(uint32_t range) { return range >= 1 && range <= 3 ? kAiNames[12 + range] : "?"; }

void dbg_DrawAiInfo(void) {
    const ObjectRecord* player = Client_PlayerObject;
    if (!player || !player->target) return;
    ObjectRecord* o = Server_FindPlayerById(player->target->serial);
    if (!o || !(o->aiClass & 1) || (o->flags & OBJ_FLAG_PLAYER)) return;
    const _AI_DCB* u = ai_Unit(o);
    if (!u) return;

    Panel(16, 116, 280, 80);
    PageStart(20, 120);
    char label[128];
    ObjectLabel(o, label, sizeof label);
    PageLine(DBG_GREEN, "ID: %s", label);
    PageLine(DBG_CYAN, "%s", dbg_AiStateName(u->aiState));
    PageLine(DBG_CYAN, "WAYGROUP_NUMBER=%2d  WAYPOINT_NUMBER=%2d", (int32_t)u->routeNumber, (int32_t)u->waypointNumber);
    PageLine(DBG_CYAN, "SPEED: %d kts", (int32_t)(((int64_t)o->speed * 16 * 0x17AF28) >> 32));
    const ObjectRecord* t = o->target;
    if (t)
        ObjectLabel(t, label, sizeof label);
    else
        text_CopyZ(label, "NONE", sizeof label);
    PageLine(DBG_RED, "TARGET: %s", label);
    int32_t distance = 0;
    if (t) {
        // Half the difference, so that any two world points fit.
        FixVec3 d{(int32_t)(((int64_t)t->position.x - o->position.x) / 2),
                  (int32_t)(((int64_t)t->position.y - o->position.y) / 2),
                  (int32_t)(((int64_t)t->position.z - o->position.z) / 2)};
        distance = fix_ApproxLength(&d) / 190;
    }
    PageLine(DBG_RED, "DISTANCE TO TARGET: %2.2fp NM", distance);
    if (u->waypoint) {
        const int32_t* w = static_cast<const int32_t*>(u->waypoint);
        FixVec3 d = Difference(o->position, FixWorldPos{(uint32_t)w[0], (uint32_t)w[1], (uint32_t)w[2]});
        PageLine(DBG_CYAN, "DISTANCE TO WAYPOINT: %2.2fp NM", fix_ApproxLength(&d) / 380);
    }

    PageStart(140, 120);
    if (u->isMember == 0)
        PageLine(DBG_GREEN, "%s", kRoleNames[0]);
    else
        PageLine(DBG_YELLOW, "%s", kRoleNames[1]);
    PageLine(DBG_CYAN, "SR = %d", (int32_t)u->shortMissiles);
    PageLine(DBG_CYAN, "MR = %d", (int32_t)u->longMissiles);
    PageLine(DBG_CYAN, "BOMBS = %d", (int32_t)u->gunBursts);
    PageLine(DBG_CYAN, "PATROL = %s", dbg_AiPatrolName(u->ownTargets));
    PageLine(DBG_CYAN, "RANGE = %s", dbg_AiRangeName(u->engagement));
    if (u->weapon < WEAPON_TYPES && weapon_Types[u->weapon].displayName)
        PageLine(DBG_CYAN, "WEAPON ARMED = %s", weapon_Types[u->weapon].displayName);
}

int32_t dbg_TriggerFirstShown(int32_t scroll, int32_t count) {
    if (count <= 0) return scroll < 0 ? 0 : scroll;
    while (scroll >= count) scroll -= kTriggerLines;
    return scroll < 0 ? 0 : scroll;
}

void dbg_TriggerLineFormat(const uint8_t* trigger, int32_t index, char* buffer, size_t size) {
    text_Format("TRIGGER %2d =   ", buffer, size, index);
    const uint8_t* slots = trigger + TRIG_SLOTS;
    uint8_t previous = 0;
    for (int32_t i = 0; i < kTriggerSlots; i++) {
        const uint8_t* s = slots + i * TRIG_SLOT_SIZE;
        const char* mark;
        if (s[TRIG_SLOT_MATCHED])
            mark = s[TRIG_SLOT_MOMENTARY] ? "- * " : "- 1 ";
        else
            mark = previous == 4 ? " - x " : "- 0 ";
        const size_t used = strlen(buffer);
        text_CopyZ(buffer + used, mark, size - used);
        previous = s[TRIG_SLOT_LINK];
        if (!previous) break;
    }
    const size_t used = strlen(buffer);
    text_CopyZ(buffer + used, "-", size - used);
}

void dbg_TriggerPageShow(int32_t on) {
    dbg_OverlaySelect[DBG_SELECT_TRIGGERS] = on ? 1 : 0;
    hud_ListMode = on ? 1 : 0;
}

void dbg_DrawTriggerPage(void) {
    Panel(156, 16, 140, 115);
    PageStart(160, 20);
    const int32_t count = level_Mission ? (int32_t)level_Mission->triggers.count : 0;
    if (count <= 0) return;
    const int32_t first = dbg_TriggerFirstShown(hud_ListPosition, count);
    hud_ListPosition = first;
    const int32_t lines = count - first < kTriggerLines ? count - first : kTriggerLines;
    char line[128];
    for (int32_t n = first; n < first + lines; n++) {
        const uint8_t* t = level_Mission->triggers.records + (size_t)n * ORF_TRIGGER_SIZE;
        dbg_TriggerLineFormat(t, n, line, sizeof line);
        PageLine(t[TRIG_FIRED] ? DBG_DARK_GREEN : DBG_CYAN, "%s", line);
    }
}

void dbg_DrawCounterPage(void) {
    Panel(16, 16, 80, 115);
    PageStart(20, 20);
    const int32_t count = level_Mission ? (int32_t)level_Mission->counters.count : 0;
    for (int32_t i = 0; i < count; i++) {
        const uint8_t* c = level_Mission->counters.records + (size_t)i * ORF_COUNTER_SIZE;
        uint16_t value;
        memcpy(&value, c, sizeof value);
        PageLine(c[3] ? DBG_YELLOW : DBG_CYAN, "COUNTER %2d = %4d", i, (int32_t)value);
    }
}
