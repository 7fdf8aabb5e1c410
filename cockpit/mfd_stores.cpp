// The stores page: a plan view of the aircraft with its pylons, a symbol
// and a count at each of the nine stations, and the gun, chaff and flare
// lines. Drawn in the 256-unit frame of the enlarged view; the cockpit panel
// shows only the failure bar of a failed display.
#include "base/text.h"
#include "cockpit/avionkrx.h"
#include "cockpit/mfd.h"
#include "cockpit/mfd_sitpage.h"
#include "cockpit/mfd_threat.h"
#include "cockpit/vcp.h"
#include "display/draw_line.h"
#include "display/dsurf.h"
#include "display/stroke.h"
#include "net/client.h"
#include "sim/obj.h"
#include "sim/ord.h"
#include "sim/plane.h"
#include "world/level.h"

namespace {

constexpr int32_t kLineColour = 3;
constexpr uint32_t kCannonText = 859, kChaffText = 498, kFlareText = 500;
constexpr int32_t kStations = 9;

constexpr int32_t kOutline[6][2] = {{14, 135}, {112, 64}, {112, 40}, {139, 40}, {139, 64}, {237, 135}};
constexpr int32_t kTicks[8][4] = {{14, 142, 14, 148},   {38, 125, 38, 131},   {70, 101, 70, 107},
                                  {100, 76, 100, 83},   {151, 76, 151, 83},   {180, 101, 180, 107},
                                  {213, 125, 213, 131}, {237, 142, 237, 148}};
constexpr int32_t kSymbolAt[kStations][2] = {{14, 98},  {38, 81},  {70, 57},  {100, 33}, {127, 66},
                                             {151, 33}, {180, 57}, {213, 81}, {237, 98}};
constexpr int32_t kCountAt[kStations][2] = {{14, 155},  {38, 138},  {70, 114},  {100, 90}, {127, 112},
                                            {151, 90},  {180, 114}, {213, 138}, {237, 155}};

char g_line[256];

void Line(const int32_t* a, const int32_t* b, uint8_t colour) {
    draw_ClipLineF(a[0] * 256, a[1] * 256, b[0] * 256, b[1] * 256, colour);
}

void Size(int32_t units) {
    font_SetStrokeRotation(0, (int32_t)((units * (int64_t)vcp_DisplayScale[0]) >> 8),
                           (int32_t)((units * (int64_t)vcp_DisplayScale[1]) >> 8), 0);
}

void Text(const char* text, int32_t x, int32_t y, uint8_t colour, int32_t flags) {
    font_DrawStrokeTextC(text, x * 256, y * 256, colour, flags);
}

// One of the three count lines; nothing but the count when the caption is
// missing from the string table.
void CountLine(const char* format, uint32_t caption, int32_t count, int32_t y, uint8_t colour) {
    const char* c = level_GameText(caption);
    text_Format(format, g_line, sizeof g_line, c ? c : "", count);
    Text(g_line, 15, y, colour, FONT_STROKE_LEFT);
}

}  // namespace

void mfd_DrawStoresPage(void) {
    const bool failed = plane_SystemsDamage[AVION_DISPLAY_SYSTEM] == 1;
    if (!mfd_EnlargedFlag) {
        if (failed) {
            avionkrx_RestoreLoresBackgrounds();
            mfd_DrawFailureBar(0);
        }
        return;
    }
    if (failed) return;
    const uint8_t colour = mfd_CockpitColourSlot(kLineColour);
    draw_Context.colourSlot = colour;
    for (int32_t i = 5; i > 0; i--) Line(kOutline[i], kOutline[i - 1], colour);
    for (int32_t i = 7; i >= 0; i--) Line(&kTicks[i][0], &kTicks[i][2], colour);
    avion_ThreatSummary();
    Size(18);
    for (int32_t s = kStations - 1; s >= 0; s--) {
        const int32_t code = avion_ThreatLevel[s];
        // Codes 1 to 4 are the stroke font's store symbols; any other draws
        // nothing.
        if (!avion_ThreatStrength[s] || code < 1 || code > 4) continue;
        const char symbol[2] = {(char)code, 0};
        Text(symbol, kSymbolAt[s][0], kSymbolAt[s][1], colour, FONT_STROKE_DOWN);
    }
    Size(6);
    for (int32_t s = kStations - 1; s >= 0; s--) {
        if (!avion_ThreatStrength[s]) continue;
        text_Format("%d", g_line, sizeof g_line, avion_ThreatStrength[s]);
        Text(g_line, kCountAt[s][0], kCountAt[s][1], colour, FONT_STROKE_DOWN);
    }
    // The gun is the manager's first store; without one the line shows 0.
    const _ORDNANCE_PANEL* gun = ord_Manager ? ord_Manager->panels.head : nullptr;
    ObjectRecord* player = Client_PlayerObject;
    const PlanePlayerFields* f = player ? plane_PlayerFields(player) : nullptr;
    CountLine("%s: %d", kCannonText, gun ? gun->count : 0, 198, colour);
    CountLine("%s:  %d", kChaffText, f ? f->chaff : 0, 210, colour);
    CountLine("%s:  %d", kFlareText, f ? f->flares : 0, 222, colour);
}
