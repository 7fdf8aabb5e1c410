// Developer readout pages and their switches.
#include "debug/dbgreadout.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "base/text.h"
#include "base/units.h"
#include "cockpit/hud.h"
#include "debug/dbgobj.h"
#include "debug/dbgoverlay.h"
#include "debug/dbgpage.h"
#include "display/draw3d.h"
#include "display/draw_line.h"
#include "display/dsurf.h"
#include "input/ffb.h"
#include "net/client.h"
#include "net/driver.h"
#include "render/render.h"
#include "render/view.h"
#include "shell/runner.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "sim/flight.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "sound/mix.h"
#include "world/terrain.h"
#include "world/terrain_draw.h"

int32_t dbg_TimingPageShown = 0;
uint32_t dbg_ReadoutPages = 0;

namespace {

// The readout family's running line position, in pixels.
constexpr int32_t kTop = 10;
constexpr int32_t kStep = 16;
constexpr int32_t kBottom = 464;
constexpr uint32_t kPositionClearBytes = 204800;

struct ReadoutPosition {
    int32_t x, y, step;
} g_at;

void Start(int32_t x) { g_at = ReadoutPosition{x, kTop, kStep}; }
bool Full(void) { return g_at.y > kBottom; }

void Line(int32_t colour, const char* format, ...) {
    va_list args;
    va_start(args, format);
    dbg_ShadowLineV(dbg_SmallFont(), g_at.x, g_at.y, colour, format, args);
    va_end(args);
    g_at.y += g_at.step;
}

// A line at a position in layout units.
void At(int32_t x, int32_t y, int32_t colour, const char* format, ...) {
    va_list args;
    va_start(args, format);
    dbg_ShadowLineV(dbg_SmallFont(), dbg_Layout(x), dbg_Layout(y), colour, format, args);
    va_end(args);
}

template <typename T>
int32_t ChainLength(const T* node) {
    int32_t n = 0;
    for (; node; node = node->next) n++;
    return n;
}
int32_t FreeChainLength(const ObjectRecord* o) {
    int32_t n = 0;
    for (; o; o = o->freeLink) n++;
    return n;
}

// "%ld : DCB " and a word per set flag bit.
void ObjectLine(const ObjectRecord* o, int32_t index) {
    static const char* const kWords[8] = {"STATIC ", "PLAYER ", "ENEMY ", "FRIENDLY ", "NEUTRAL ", "WINGMAN ", "",
                                          "NOAI "};
    char line[160];
    text_Format("%ld : DCB ", line, sizeof line, (long)index);
    for (int32_t bit = 0; bit < 8; bit++)
        if (o->flags & (1u << bit)) {
            const size_t used = strlen(line);
            text_CopyZ(line + used, kWords[bit], sizeof line - used);
        }
    Line(DBG_RED, "%s", line);
}

}  // namespace

void dbg_DrawTerrainInfo(void) {
    const ObjectRecord* p = Client_PlayerObject;
    const FixWorldPos origin{};
    const FixWorldPos& pos = p ? p->position : origin;
    At(5, 10, DBG_CYAN, "TileX = %d, TileY = %d", (int32_t)(pos.x >> 25), (int32_t)(pos.z >> 25));
    const int32_t h = terrain_HeightNearest(&view_State.position) >> 18;
    const int32_t feet = h * 64;
    At(5, 20, DBG_CYAN, "Depth Height = %d      %d feet, %2.2fp miles", h, feet,
       (int32_t)(((int64_t)feet << 16) / 5280));
    At(5, 28, DBG_CYAN, "Start Pos # %d, Z Height = %d", view_StartPosition, 0);
    At(5, 36, DBG_RED, "%s", terrain_CellFlagGet(&pos) ? "WATER" : "LAND");
}

void dbg_DrawVoiceTable(void) {
    char line[DBG_LINE_SIZE];
    for (int32_t v = 0; v < 16; v++) {
        mix_VoiceDump(v, line, sizeof line);
        dbg_ShadowLine(dbg_ArialFont(), 40, 60 + 10 * v, DBG_YELLOW, "%s", line);
    }
}

void dbg_DrawFrameRateLine(void) {
    At(5, 81, DBG_CYAN, "framerate = %3.2fp, ClientObjs = %d", render_FrameRate, ChainLength(Client.knownObjects));
}

void dbg_DrawNetStatistics(void) {
    const NetBookkeeping b = net_Bookkeeping();
    const NetDriverState& n = net_Counters;
    At(5, 65, DBG_WHITE, "sys msgs = %d, msgs sent = %d, msgs got = %d", (int32_t)n.systemMessages, (int32_t)n.sent,
       (int32_t)n.received);
    At(5, 73, DBG_WHITE, "serverId = %d, numPlayers = %d, total logins = %d", (int32_t)n.serverPlayer, n.players,
       n.joins);
    At(5, 89, DBG_RED, "Client Free DCBs = %d, kept = %d, new = %d, static = %d", FreeChainLength(b.clientObjectFree),
       b.keptObjects, b.newObjects, b.staticObjects);
    At(5, 97, DBG_RED, "Client Num Confirm = %d", (int32_t)b.confirmCount);
    At(5, 105, DBG_RED, "Client comn Free = %d, Server comn free = %d, tar mask = %d",
       FreeChainLength(b.commonObjectFree), ChainLength(b.serverObjects), (int32_t)Client_PlayerBlock[0]);
    At(5, 113, DBG_RED, "Client targets = %d", obj_TypeList.count);
    At(5, 121, DBG_RED, "Player Events = %d, Server Event Free = %d, DBG Ticks = %d", ChainLength(b.firstSlotEvents),
       ChainLength(b.serverEventFree), (int32_t)app_TickCount.load());
    At(5, 129, DBG_RED, "Client outoforder = %d, curframe %d", 0, (int32_t)b.frame);
    At(5, 230, DBG_CYAN, "Press CTRL+V to toggle WINDOWED/FULLSCREEN");
}

void dbg_DrawTimingPage(void) {
    if (!dbg_TimingPageShown) return;
    const int32_t ticks = (int32_t)app_TickCount.load();
    const BitmapFont* f = dbg_SmallFont();
    dbg_ShadowLine(f, 10, 130, DBG_WHITE, "TICKS = %d", ticks);
    dbg_ShadowLine(f, 10, 140, DBG_WHITE, "LAST_TICK = %d", ticks);
    dbg_ShadowLine(f, 160, 150, DBG_WHITE, "FUDGE = %d", 0);
    dbg_ShadowLine(f, 160, 180, DBG_WHITE, "THROTTLE = %d", 0);
    dbg_ShadowLine(f, 160, 190, DBG_WHITE, "CLIP_X = %d", draw_CurrentSurface.clipX2F);
}

void dbg_DrawPositionPage(void) {
    const ObjectRecord* p = Client_PlayerObject;
    if (!p) return;
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    if (s.base && s.size > 0)
        memset(s.base, 0, (uint32_t)s.size < kPositionClearBytes ? (size_t)s.size : kPositionClearBytes);
    Start(kTop);
    const FixWorldPos& w = p->position;
    Line(DBG_CYAN, "POSITION = x=%ldfeet, y=%ldfeet, z=%ldfeet", (long)(w.x >> 12), (long)(w.y >> 12), (long)(w.z >> 12));
    Line(DBG_CYAN, "ORIENTATION = yaw=%ld, pitch=%ld, roll=%ld", (long)(p->angles.heading >> 16),
         (long)(p->angles.pitch >> 16), (long)(p->angles.roll >> 16));
    Line(DBG_CYAN, "TILE = (%ld, %ld)", (long)(w.x >> 25), (long)(w.z >> 25));
    Line(DBG_CYAN, "POSITION IN TILE = (%ld, %ld)", (long)((w.x >> 12) & 0x1FFF), (long)((w.z >> 12) & 0x1FFF));
    MathVec3 m;
    fix_WorldToFloat(&view_State.position, &m);
    const FixWorldPos& c = view_State.position;
    Line(DBG_CYAN, "CAMERA = (%ld',%ld',%ld'), meters=(%5fM,%5fM,%5fM)", (long)(c.x >> 12), (long)(c.y >> 12),
         (long)(c.z >> 12), (double)m.x, (double)m.y, (double)m.z);
}

void dbg_DrawLocale(void) { At(5, 89, DBG_RED, "locale = %s", app_LocaleName ? app_LocaleName : ""); }

void dbg_DrawObjectLists(void) {
    const NetBookkeeping b = net_Bookkeeping();
    Start(kTop);
    Line(DBG_RED, "SERVER");
    int32_t i = 0;
    for (const ObjectRecord* o = b.serverObjects; o && !Full(); o = o->next) ObjectLine(o, i++);
    if (Full()) Start(320);
    if (Full()) return;
    Line(DBG_RED, "CLIENT");
    i = 0;
    for (const ObjectRecord* o = b.knownObjects; o && !Full(); o = o->next) ObjectLine(o, i++);
}

void dbg_DrawAirDataPage(void) {
    const _PLANE* plane = plane_Current;
    if (!plane) return;
    float cas = 0.0f, mach = 0.0f, sound = 0.0f;
    math_AirDataCompute(plane, &cas, &mach, &sound);
    constexpr float kKmPerNm = 1.852f;
    constexpr float kFeetPerMetre = 3.2808399f;
    // Metres per frame at 40 frames a second to knots.
    const float v = plane->velocity.x * plane->velocity.x + plane->velocity.y * plane->velocity.y +
                    plane->velocity.z * plane->velocity.z;
    const float tas = __builtin_sqrtf(v) * 40.0f * 3600.0f / 1852.0f;
    Start(kTop);
    Line(DBG_RED, "Altitude = %f ft", (double)(plane->position.y * kFeetPerMetre));
    Line(DBG_RED, "True Airspeed (TAS) = %f nm/hr, %f km/hr", (double)tas, (double)(tas * kKmPerNm));
    Line(DBG_RED, "Speed of Sound = %f nm/hr, %f km/hr", (double)sound, (double)(sound * kKmPerNm));
    Line(DBG_RED, "Mach = %f", (double)mach);
    Line(DBG_RED, "Calibrated Airspeed (CAS) = %f nm/hr, %f km/hr", (double)cas, (double)(cas * kKmPerNm));
}

void dbg_DrawTargetLists(void) {
    char line[DBG_LINE_SIZE];
    Start(kTop);
    const ObjectRecord* p = Client_PlayerObject;
    if (p && p->target) {
        dbg_ObjectListingLine(p->target, line, sizeof line);
        Line(DBG_RED, "CURRENT TARGET : %s", line);
    } else {
        Line(DBG_RED, "CURRENT TARGET : NONE");
    }
    // No shoot list is kept: the heading stands alone.
    if (!Full()) Line(DBG_RED, "Shootlist:");
    if (!Full()) Line(DBG_RED, "Target List:");
    static const char* const kMarks[4] = {" (GPS)", " (RADAR)", " (SAM)", " (LASED)"};
    const int32_t count = weapon_TargetCount < WEAPON_TARGET_LIST_SIZE ? weapon_TargetCount : WEAPON_TARGET_LIST_SIZE;
    for (int32_t i = 0; i < count && !Full(); i++) {
        const WeaponTargetEntry& e = weapon_TargetList[i];
        if (!e.object) continue;
        dbg_ObjectListingLine(e.object, line, sizeof line);
        const char* mark = "";
        for (int32_t b = 0; b < 4; b++)
            if (e.flags & (1u << b)) {
                mark = kMarks[b];
                break;
            }
        Line(DBG_RED, "%s%s", line, mark);
    }
}

void dbg_DrawFeedbackPage(void) {
    struct Force {
        int32_t setting, channel;
        const char* format;
    };
    static const Force kForces[] = {
        {FFB_YAW, FFB_CH_YAW, "Yaw = %f%%  (%f degrees)"},
        {FFB_PITCH, FFB_CH_PITCH, "Pitch = %f%%  (%f degrees)"},
        {FFB_VELOCITY, FFB_CH_VELOCITY, "Velocity = %f%%  (%f%%)"},
        {FFB_G, FFB_CH_G, "G = %f%%  (%f%%)"},
        {FFB_BALANCE, FFB_CH_BALANCE, "Balance = %f%%  (%f%%)"},
        {FFB_LEVEL, FFB_CH_LEVEL, "Level = %f%%  (%f%%)"},
        {FFB_STRESS, FFB_CH_STRESS, "Stress = %f%%  (%f%%)"},
        {FFB_ENGINE, FFB_CH_ENGINE, "Engine = %f%%  (%f%%)"},
        {FFB_GROUND_FRICTION, FFB_CH_GROUND_FRICTION, "Ground Friction = %f%%  (%f%%)"},
    };
    Start(kTop);
    for (const Force& f : kForces) {
        // Yaw and pitch are kept in degrees; the rest as fractions.
        const float value = ffb_ForceValues[f.channel];
        const bool degrees = f.channel == FFB_CH_YAW || f.channel == FFB_CH_PITCH;
        Line(DBG_RED, f.format, (double)(ffb_SettingsTable[f.setting].scale * 100.0f),
             (double)(degrees ? value : value * 100.0f));
    }
}

void dbg_DrawTerrainCount(void) {
    dbg_ShadowLine(dbg_SmallFont(), 10, 200, DBG_CYAN, "%ld", (long)terrain_Pass.frameStamp);
}

// Where the label buffer is shown: kept, and never moved.
namespace {
int32_t g_messageX = 0, g_messageY = 0;
}

void dbg_DrawMessageAt(void) {
    dbg_ShadowLine(dbg_SmallFont(), g_messageX, g_messageY, DBG_RED, "%s", dbg_LabelBuffer);
}

void dbg_DrawSeekerPage(void) {
    Start(kTop);
    Line(DBG_RED, "SEEKER HEAD : YAW = %3.3f degs, PITCH = %3.3f degs", (double)weapon_SeekerHead[0],
         (double)weapon_SeekerHead[1]);
    Line(DBG_RED, "TARGET      : YAW = %3.3f degs, PITCH = %3.3f degs", (double)weapon_SeekerTrack[0],
         (double)weapon_SeekerTrack[1]);
    Line(DBG_RED, "DISTANCE    : %3.3f degs", (double)weapon_SeekerTrack[2]);
    Line(DBG_RED, "%s", "");
    const ObjectRecord* p = Client_PlayerObject;
    if (p && p->target) {
        const FixWorldPos& t = p->target->position;
        Line(DBG_RED, "TARGET COORD = (%ld, %ld, %ld)", (long)t.x, (long)t.y, (long)t.z);
    }
}

namespace {

void Diamond(const MathVec3& at, int32_t size, int32_t colour) {
    FixWorldPos w;
    fix_FloatToWorld(&at, &w);
    draw_Diamond3D(&w, size, colour);
}

}  // namespace

void dbg_DrawClearancePrediction(void) {
    flight_PredictTerrainClearance();
    const _PLANE* plane = plane_Current;
    if (!plane) return;
    const FlightSteerState& s = flight_Steer;
    MathVec3 at = plane->position;
    // The look-ahead keeps the point where it went below the clearance.
    if (s.terrainWarning) draw_Line3DObjects(&at, &s.predicted, DBG_WHITE);
    const MathVec3 step = {plane->velocity.x * FLIGHT_LOOKAHEAD_FRAMES, plane->velocity.y * FLIGHT_LOOKAHEAD_FRAMES,
                           plane->velocity.z * FLIGHT_LOOKAHEAD_FRAMES};
    for (int32_t i = 0; i < FLIGHT_LOOKAHEAD_STEPS; i++) {
        at.x += step.x;
        at.y += step.y;
        at.z += step.z;
        Diamond(at, 12, DBG_RED);
        const float height = fix_HeightAboveTerrain(&at);
        if (height < FLIGHT_CLEARANCE) {
            MathVec3 raised = at;
            raised.y += FLIGHT_CLEARANCE - height;
            Diamond(raised, 12, DBG_WHITE);
            draw_Line3DObjects(&at, &raised, DBG_WHITE);
        }
    }
    MathVec3 waypoint;
    if (Client_PlayerObject && plane_WaypointPoint(Client_PlayerObject, &waypoint) == 0) {
        Diamond(waypoint, 12, DBG_WHITE);
        Diamond(waypoint, 24, DBG_WHITE);
    }
}

void dbg_DrawVersionPage(void) {
    const AppVersionRecord& v = app_VersionRecord;
    Start(kTop);
    Line(DBG_RED, "major = %ld", (long)v.major);
    Line(DBG_RED, "minor = %ld", (long)v.minor);
    Line(DBG_RED, "build major = %ld", (long)v.buildMajor);
    Line(DBG_RED, "build minor = %ld", (long)v.buildMinor);
    Line(DBG_RED, "network = %ld", (long)v.network);
    Line(DBG_RED, "number = %6.6ld", (long)v.number);
    Line(DBG_RED, "date = %6.6ld", (long)v.date);
    Line(DBG_RED, "time = %6.6ld", (long)v.time);
    Line(DBG_RED, "hours = %2.2ld", (long)v.hours);
    Line(DBG_RED, "minutes = %2.2ld", (long)v.minutes);
    Line(DBG_RED, "seconds = %2.2ld", (long)v.seconds);
    Line(DBG_RED, "month = %ld", (long)v.month);
    Line(DBG_RED, "day = %ld", (long)v.day);
    Line(DBG_RED, "year = %ld", (long)v.year);
    Line(DBG_RED, "instance = %ld", (long)v.instance);
}

namespace {

void AngleLine(const char* name, int32_t angle) {
    Line(DBG_RED, "%s = %ld (%ld)", name, (long)angle, (long)(angle >> 16));
}

}  // namespace

void dbg_DrawChaseAngles(void) {
    Start(kTop);
    Line(DBG_RED, "CHASE ANGLES:");
    const FixAngles& v = view_State.angles;
    AngleLine("YAW", v.heading);
    AngleLine("PITCH", v.pitch);
    AngleLine("ROLL", v.roll);
    // The player's angle changes of the last frame.
    const ObjectRecord* p = Client_PlayerObject;
    const FixAngles d = p ? p->rates : FixAngles{};
    AngleLine("DELTA YAW", d.heading);
    AngleLine("DELTA PITCH", d.pitch);
    AngleLine("DELTA ROLL", d.roll);
    // No second pitch change is kept for the player: it reads 0.
    AngleLine("PLAYER DELTA_PITCH", 0);
}

void dbg_DrawRing3D(const MathVec3* position, int32_t colour, float radius) {
    if (!position) return;
    MathFrame f;
    f.pos = *position;
    if (plane_Current)
        math_Mat33Copy(&f.rot, &plane_Current->orientation);
    else
        math_Mat33Identity(&f.rot);
    // The point one radius along the frame's third row, projected.
    auto project = [&](FixScreenPoint* out) {
        const MathVec3 at = {f.pos.x + radius * f.rot.m[2][0], f.pos.y + radius * f.rot.m[2][1],
                             f.pos.z + radius * f.rot.m[2][2]};
        FixWorldPos w;
        fix_FloatToWorld(&at, &w);
        return draw_ProjectPoint3D(&w, out) == 0;
    };
    for (int32_t i = 0; i < 16; i++) {
        FixScreenPoint a, b;
        const bool first = project(&a);
        math_RotateRows02(&f.rot, 22.5f);
        const bool second = project(&b);
        if (first && second) draw_Line(a.x, a.y, b.x, b.y, colour);
    }
}

namespace {

// The ring page: a ring around the current aircraft in its own level plane.
constexpr float kRingRadius = 30.0f;
void DrawAircraftRing(void) {
    if (plane_Current) dbg_DrawRing3D(&plane_Current->position, DBG_WHITE, kRingRadius);
}

}  // namespace

// ---- Switches ----

namespace {

struct ReadoutPage {
    const char* word;
    void (*draw)(void);
};
const ReadoutPage kPages[] = {
    {"page terrain", dbg_DrawTerrainInfo},  {"page voices", dbg_DrawVoiceTable},
    {"page framerate", dbg_DrawFrameRateLine}, {"page net", dbg_DrawNetStatistics},
    {"page timing", dbg_DrawTimingPage},    {"page position", dbg_DrawPositionPage},
    {"page locale", dbg_DrawLocale},        {"page objects", dbg_DrawObjectLists},
    {"page airdata", dbg_DrawAirDataPage},  {"page targets", dbg_DrawTargetLists},
    {"page feedback", dbg_DrawFeedbackPage},
    {"page message", dbg_DrawMessageAt},    {"page terraincount", dbg_DrawTerrainCount},
    {"page seeker", dbg_DrawSeekerPage},    {"page clearance", dbg_DrawClearancePrediction},
    {"page version", dbg_DrawVersionPage},  {"page chase", dbg_DrawChaseAngles},
    {"page ring", DrawAircraftRing},
};
constexpr int32_t kPageCount = (int32_t)(sizeof kPages / sizeof kPages[0]);

}  // namespace

int32_t dbg_ReadoutWord(const char* text) {
    if (!text) return 0;
    for (int32_t i = 0; i < kPageCount; i++)
        if (strcasecmp(text, kPages[i].word) == 0) {
            dbg_ReadoutPages ^= 1u << i;
            if (kPages[i].draw == dbg_DrawTimingPage) dbg_TimingPageShown = (dbg_ReadoutPages >> i) & 1;
            return 1;
        }
    return 0;
}

namespace {

// Test hook: KRX_OVERLAYPAGES names overlay pages shown from the first
// frame on ("ai", "counters", "time", "triggers", separated by commas); the
// trigger page puts the zoom keys in list mode, which scrolls it.
void OverlayPagesFromEnvironment(void) {
    static bool read = false;
    if (read) return;
    read = true;
    const char* env = getenv("KRX_OVERLAYPAGES");
    if (!env) return;
    static const char* const kNames[DBG_SELECTORS] = {"ai", "counters", "time", "triggers"};
    for (int32_t i = 0; i < DBG_SELECTORS; i++) {
        const size_t n = strlen(kNames[i]);
        for (const char* p = env; (p = strstr(p, kNames[i])) != nullptr; p += n)
            if ((p == env || p[-1] == ',') && (p[n] == ',' || p[n] == 0)) dbg_OverlaySelect[i] = 1;
    }
    if (dbg_OverlaySelect[DBG_SELECT_TRIGGERS]) dbg_TriggerPageShow(1);
}

}  // namespace

void dbg_ReadoutFrame(void) {
    OverlayPagesFromEnvironment();
    for (int32_t i = 0; i < kPageCount; i++)
        if (dbg_ReadoutPages & (1u << i)) kPages[i].draw();
}
