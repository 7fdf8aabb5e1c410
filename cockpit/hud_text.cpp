// The fixed part of the HUD: airspeed, altitude and heading tapes, the
// Mach, load-factor and second-altitude readouts, the mode text, the
// steerpoint block, the weapon line, the range scale and the centre texts.
#include "cockpit/hud_draw.h"

#include <cmath>
#include <cstring>

#include "base/filetable.h"
#include "base/text.h"
#include "cockpit/avion.h"
#include "display/stroke.h"
#include "net/client.h"
#include "shell/runner.h"
#include "sim/flight_jet.h"
#include "sim/obj.h"
#include "sim/ord.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "world/level.h"

char hud_Scratch[3][HUD_SCRATCH_SIZE];
int32_t hud_SpeedBlinkShown = 0;
uint32_t hud_SpeedBlinkTick = 0;
int32_t hud_SpeedOver = 0;

namespace {

// The text line of the centre texts.
char g_textLine[64];

const JetState* Jet(void) { return plane_Current ? &jet_Record(plane_Current)->state : nullptr; }

int32_t Knots(void) {
    const JetState* s = Jet();
    return s ? (int32_t)std::lround(s->knots) : 0;
}

// A point given in HUD units from the centre, in 1/128 pixel.
FixScreenPoint Point(int32_t ux, int32_t uy) {
    return {HudCentre.x + (int32_t)(((int64_t)ux * HudScaleX) >> 9),
            HudCentre.y + (int32_t)(((int64_t)uy * HudScaleY) >> 9)};
}

FixScreenPoint Pixel(int32_t ux, int32_t uy) {
    FixScreenPoint p = Point(ux, uy);
    return {p.x >> 7, p.y >> 7};
}

void Text(const char* text, int32_t ux, int32_t uy, int32_t flags) {
    const FixScreenPoint p = Point(ux, uy);
    font_DrawStrokeTextC(text, 2 * p.x, 2 * p.y, HudColour, flags);
}

void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) { hud_LineDraw(Point(x1, y1), Point(x2, y2), HudColour); }

void Box(const HudShape* shape, int32_t ux, int32_t uy) { hud_ShapeDraw(shape, Pixel(ux, uy), 1, HudColour); }

// Scroll of a tape: (remainder x 3 / unit, rounded) - 27.
int32_t Scroll(int32_t remainder, int32_t unit) { return (remainder * 3 * 2 + unit) / (2 * unit) - 27; }

constexpr int32_t kLabelLeft = 1, kLabelRight = 2, kLabelHeading = 4, kLabelRange = 8;

}  // namespace

const char* hud_StringGet(int32_t id) {
    if (id < 0 || !level_GameData) return nullptr;
    const FileTableEntry* e = file_TableEntryGetReg((uint32_t)id, static_cast<const FileTable*>(level_GameData));
    return e && e->text && e->text[0] ? e->text : nullptr;
}

void hud_AltitudeText(int32_t feet, char* out, size_t size) {
    feet = feet < 0 ? 0 : feet > 99999 ? 99999 : feet;
    const int32_t thousands = feet / 1000, tens = (feet % 1000) / 10;
    if (thousands) text_Format("%2d,%02d0", out, size, thousands, tens);
    else text_Format("  ,%02d0", out, size, tens);
}

void hud_TimeToGoText(int32_t distance, float speed, char* out, size_t size) {
    if (!(speed > 0.0f)) {
        text_Format("999:99", out, size);
        return;
    }
    const double t = std::round((double)distance / speed * 3600.0);
    if (!(t < 60.0 * 1000.0)) {
        text_Format("999:99", out, size);
        return;
    }
    const int32_t seconds = (int32_t)t;
    text_Format("%03d:%02d", out, size, seconds / 60, seconds % 60);
}

namespace {

// The conversion letter of a format with exactly one conversion the
// formatter knows (width and precision, no other flags), else 0.
char OneConversion(const char* format) {
    int32_t conversions = 0;
    char letter = 0;
    for (const char* p = format; *p; p++) {
        if (*p != '%') continue;
        if (p[1] == '%') {
            p++;
            continue;
        }
        const char* q = p + 1;
        while (*q == '.' || *q == 'l' || (*q >= '0' && *q <= '9')) q++;
        conversions++;
        letter = *q;
        if (!*q) break;
        p = q;
    }
    return conversions == 1 ? letter : 0;
}

}  // namespace

void hud_InsertText(const char* format, const char* text, char* out, size_t size) {
    if (OneConversion(format) == 's') text_Format(format, out, size, text);
    else text_Format("%s %s", out, size, format, text);
}

void hud_InsertNumber(const char* format, int32_t value, char* out, size_t size) {
    const char c = OneConversion(format);
    if (c == 'd') text_Format(format, out, size, value);
    else text_Format("%s %d", out, size, format, value);
}

void hud_AirspeedTape(void) {
    int32_t speed = Knots();
    if (speed > 790) {
        const uint32_t now = app_TickCount.load(std::memory_order_acquire);
        if (!hud_SpeedOver) {
            hud_SpeedOver = 1;
            hud_SpeedBlinkShown = 0;
            hud_SpeedBlinkTick = now;
            return;
        }
        if (now - hud_SpeedBlinkTick > 8) {
            hud_SpeedBlinkShown = !hud_SpeedBlinkShown;
            hud_SpeedBlinkTick = now;
        }
        if (!hud_SpeedBlinkShown) return;
        if (speed > 900) speed = 900;
    } else {
        hud_SpeedOver = 0;
        hud_SpeedBlinkShown = 0;
    }
    const int32_t ax = -90, ay = 0;
    Box(HudShapeSpeedBox, ax, ay);
    text_Format("%3d", hud_Scratch[0], HUD_SCRATCH_SIZE, speed);
    Text(hud_Scratch[0], ax - 4, ay, kLabelRight);

    const int32_t tens = speed / 10, shift = Scroll(speed % 10, 10);
    for (int32_t i = 0; i < 16; i++) {
        const int32_t value = tens + 8 - i, y = ay + shift + 3 * i;
        const bool major = value % 5 == 0;
        Line(ax + 7, y, ax + (major ? 12 : 10), y);
        if (major && value >= 0 && (value < tens - 2 || value > tens + 3)) {
            text_Format("%3d", hud_Scratch[1], HUD_SCRATCH_SIZE, value);
            Text(hud_Scratch[1], ax + 1, y, kLabelRight);
        }
    }
}

void hud_MachReadout(void) {
    const JetState* s = Jet();
    const int32_t value = s ? (int32_t)std::lround(s->mach * 100.0f) : 0;
    const int32_t a = value < 0 ? -value : value;
    text_Format("%d.%02d", hud_Scratch[0], HUD_SCRATCH_SIZE, a / 100, a % 100);
    Text(hud_Scratch[0], -90, 35, kLabelLeft);
}

void hud_GReadout(void) {
    const JetState* s = Jet();
    const int32_t value = s ? (int32_t)std::lround(s->g * 10.0f) : 0;
    if (value < 0) text_Format("-%d.%d", hud_Scratch[0], HUD_SCRATCH_SIZE, -value / 10, -value % 10);
    else text_Format(" %d.%d", hud_Scratch[0], HUD_SCRATCH_SIZE, value / 10, value % 10);
    Text(hud_Scratch[0], -90, -35, kLabelLeft);
}

void hud_ModeText(void) {
    if (!plane_Current) return;
    const JetState* s = Jet();
    const int32_t w = weapon_CurrentId;
    const bool designating = w == 15 || w == 16 || w == 30 || w == 31 || w == 32;
    int32_t id = 427;
    if (!(plane_Current->flags & PLANE_ARMED)) id = 424;
    else if (w == 2) id = 428;
    else if (w == 1) id = 429;
    else if (w == 0) id = s && s->gunSightMode == 1 ? 439 : 431;
    else if (designating) id = 438;
    else if (w == 17) id = 444;
    else if (w == 18) id = 437;
    else if (w == 3 || w == 29 || w == 33 || w == 34 || w == 35) id = 440;
    const char* text = hud_StringGet(id);
    if (!text) text = "???";
    if (id == 438) {
        // The sight's first flag word carries the designation bits.
        const char* second = hud_StringGet(s && (s->sight[0] & 4) ? 860 : 861);
        text_Format("%s %s", g_textLine, sizeof g_textLine, text, second ? second : "???");
        text = g_textLine;
    }
    Text(text, -102, 50, kLabelLeft);
    if (id == 438 && (plane_Current->flags & PLANE_SIGHT_WANTED2)) {
        const char* line = hud_StringGet(858);
        if (line) Text(line, -102, 57, kLabelLeft);
    }
}

void hud_SteerpointLabel(const HudSteerpointLabel* label) {
    if (!label) return;
    const char* text;
    if (!tacmap_LabelConditionTest(&label->condition)) {
        text = hud_StringGet(0);
    } else if (label->action >= 6 && label->action <= 8) {
        char composed[64];
        const char* format = hud_StringGet(label->action);
        if (obj_ComposeLabel(label->second, composed, sizeof composed) == 0 && format) {
            hud_InsertText(format, composed, g_textLine, sizeof g_textLine);
            text = g_textLine;
        } else {
            text = format ? hud_StringGet(0) : nullptr;
        }
    } else {
        text = hud_StringGet(label->action);
    }
    Text(text ? text : "???", -122, 89, kLabelLeft);
}

int32_t hud_SteerpointGet(ObjectRecord* player, FixWorldPos* out) {
    if (!player) return -1;
    const PlanePlayerFields* f = plane_PlayerFields(player);
    if (!f->waypointCount || f->waypointIndex >= f->waypointCount || f->waypointIndex >= 32) return -1;
    const LevelWaypoint& w = level_WaypointList.entries[f->waypointIndex];
    *out = {(uint32_t)w.x, player->position.y, (uint32_t)w.z};
    return 0;
}

void hud_SteerpointBlock(void) {
    ObjectRecord* player = Client_PlayerObject;
    FixWorldPos w;
    if (hud_SteerpointGet(player, &w) != 0) return;
    const PlanePlayerFields* f = plane_PlayerFields(player);
    FixVec3 d = {(int32_t)(w.x - player->position.x), 0, (int32_t)(w.z - player->position.z)};
    const int32_t distance = (fix_ApproxLength(&d) / 380) >> 16;
    const JetState* s = Jet();
    const float speed = s ? s->speed * 40.0f * 3600.0f / 1856.232f : 0.0f;
    hud_TimeToGoText(distance, speed, hud_Scratch[0], HUD_SCRATCH_SIZE);
    text_Format("%03d>%02d", hud_Scratch[1], HUD_SCRATCH_SIZE, distance, f->waypointIndex + 1);
    Text(hud_Scratch[0], 91, 52, kLabelLeft);
    Text(hud_Scratch[1], 90, 59, kLabelLeft);
    // The route carries no label words: its label shows the plain entry.
    const HudSteerpointLabel label = {};
    hud_SteerpointLabel(&label);
}

void hud_AltitudeTape(void) {
    const ObjectRecord* player = Client_PlayerObject;
    if (!player) return;
    const double feet = (double)(int32_t)player->position.y / 4096.0;
    const int32_t a = feet < 0.0 ? 0 : feet > 99999.0 ? 99999 : (int32_t)feet;
    const int32_t ax = 90, ay = 0;
    Box(HudShapeAltBox, ax, ay);
    hud_AltitudeText(a, hud_Scratch[0], HUD_SCRATCH_SIZE);
    Text(hud_Scratch[0], ax + 6, ay, kLabelLeft);

    const int32_t hundreds = a / 100, shift = Scroll(a % 100, 100);
    for (int32_t i = 0; i < 16; i++) {
        const int32_t value = hundreds + 8 - i, y = ay + shift + 3 * i;
        const bool major = value % 5 == 0;
        Line(ax - 7, y, ax - (major ? 12 : 10), y);
        if (!major || (value >= hundreds - 2 && value <= hundreds + 3)) continue;
        const int32_t v = value < 0 ? -value : value;
        const char* format = value < 0 ? "-%02d,%d" : v / 10 <= 99 ? " %02d,%d" : "%d,%d";
        text_Format(format, hud_Scratch[1], HUD_SCRATCH_SIZE, v / 10, v % 10);
        Text(hud_Scratch[1], ax - 1, y, kLabelLeft);
    }
}

void hud_HeadingTape(void) {
    const ObjectRecord* player = Client_PlayerObject;
    if (!player) return;
    const int32_t h = (int32_t)((((uint64_t)(uint32_t)player->angles.heading & 0x1FFFFFF) * 3600) >> 25);
    const int32_t degrees = h / 10, tenths = h % 10;
    const int32_t ax = 0, ay = 68;
    Box(HudShapeHeadingBox, ax, ay);
    text_Format("%03d", hud_Scratch[0], HUD_SCRATCH_SIZE, degrees);
    Text(hud_Scratch[0], ax, ay + 5, kLabelHeading);

    const int32_t shift = (tenths * 3 * 2 + 10) / 20;
    int32_t d = degrees - 11;
    if (d < 0) d += 360;
    for (int32_t i = 0; i < 22; i++, d = d + 1 > 359 ? 0 : d + 1) {
        if (d % 5) continue;
        const int32_t x = ax + 3 * (i - 11) - shift;
        const bool major = d % 10 == 0;
        Line(x, ay - 1, x, ay - (major ? 5 : 3));
        if (!major) continue;
        // Degrees from the heading, -180..179: the box covers -3..+4.
        int32_t off = d - degrees;
        if (off >= 180) off -= 360;
        if (off < -180) off += 360;
        if (off >= -3 && off <= 4) continue;
        int32_t label = d / 10;
        label = label > 35 ? 35 : label;
        text_Format("%02d", hud_Scratch[1], HUD_SCRATCH_SIZE, label);
        Text(hud_Scratch[1], x, ay + 5, kLabelHeading);
    }
}

void hud_SecondAltitudeBox(void) {
    const JetState* s = Jet();
    const double feet = s ? (double)s->aboveGround * 3.2808 : 0.0;
    const int32_t a = feet < 0.0 ? 0 : feet > 99999.0 ? 99999 : (int32_t)feet;
    Box(HudShapeAltBox2, 90, 35);
    hud_AltitudeText(a, hud_Scratch[2], HUD_SCRATCH_SIZE);
    Text(hud_Scratch[2], 96, 35, kLabelLeft);
    const char* left = hud_StringGet(430);
    const char* right = hud_StringGet(432);
    if (left) Text(left, 93, 35, kLabelRight);
    if (right) Text(right, 125, 35, kLabelLeft);
}

void hud_WeaponLine(void) {
    if (weapon_CurrentId < 0) return;
    const int32_t count = ord_CountById(weapon_CurrentId);
    const char* name = hud_StringGet(weapon_Current.shortText);
    if (name) text_Format("%d %s", hud_Scratch[2], HUD_SCRATCH_SIZE, count, name);
    else text_Format("%d ???", hud_Scratch[2], HUD_SCRATCH_SIZE, count);
    Text(hud_Scratch[2], -122, 96, kLabelLeft);
}

void hud_RangeScale(void) {
    const int32_t m = weapon_Current.secondRange / 380, e = weapon_Current.seekerRange / 380;
    const int32_t ax = 82, ay = 12;
    Box(HudShapeRangeScale, ax, ay);
    if (m > 0) {
        const int32_t fractional = hud_ShapeFractional;
        hud_ShapeFractional = 1;
        hud_ShapeDraw(HudShapeRangeLimits, Pixel(ax - 5, ay), (int32_t)(((int64_t)e << 16) / m), HudColour);
        hud_ShapeFractional = fractional;
        const ObjectRecord* player = Client_PlayerObject;
        if (player && player->target) {
            const int64_t r = obj_DistanceHalf(player, player->target) / 190;
            if (r <= ((int64_t)m << 16)) {
                const int32_t up = (int32_t)((48 * r) / ((int64_t)m << 16));
                Box(HudShapeRangeCaret, ax - 6, ay - up);
            }
        }
    }
    text_Format("%d", hud_Scratch[0], HUD_SCRATCH_SIZE, m);
    Text(hud_Scratch[0], 80, -36, kLabelRange);
}

void hud_CentreText(int32_t textId) {
    const char* text = hud_StringGet(textId);
    if (!text) return;
    text_Format("%s", g_textLine, sizeof g_textLine, text);
    font_DrawStrokeTextC(g_textLine, 2 * HudCentre.x, 2 * HudCentre.y, HudColour, 0);
}

void hud_Warnings(void) {
    const int32_t lights = avion_WarningLights;
    int32_t id = 0;
    if (Knots() > 790 || (lights & 0x20)) id = 425;
    else if (lights & 1) id = 441;
    else if (lights & 8) id = 449;
    else if (lights & 0x10) id = 448;
    else if (lights & 2) id = 442;
    else if (lights & 4) id = 443;
    if (id) hud_CentreText(id);
}

void hud_ShootCue(void) {
    const ObjectRecord* player = Client_PlayerObject;
    if (!player || !player->target || Knots() > 790 || avion_WarningLights) return;
    if (player->target->flags & OBJ_FLAG_ALLIANCE_B) return;
    hud_CentreText(weapon_Current.kind & 8 ? 421 : 419);
}
