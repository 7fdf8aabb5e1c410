// The systems status page: fifteen fixed lines, each a system's label and
// whether it works or has failed.
#include "base/text.h"
#include "cockpit/mfd.h"
#include "cockpit/mfd_sitpage.h"
#include "cockpit/vcp.h"
#include "display/stroke.h"
#include "net/client.h"
#include "sim/plane.h"
#include "world/level.h"

namespace {

constexpr int32_t kTextColour = 3;
constexpr uint32_t kWorks = 735, kFailed = 736, kNoLink = 748;

// The lines top to bottom: label text and the system shown. Line 1 shows
// the link state first; line 3 stands for systems 2 and 4 together.
struct SystemsLine {
    uint32_t label;
    int32_t system;
};
constexpr SystemsLine kLines[15] = {
    {737, 0},  {738, 1},  {753, 2},  {746, 3},  {745, 5},  {756, 6},  {761, 9},  {741, 10},
    {747, 11}, {755, 12}, {752, 13}, {759, 18}, {760, 17}, {757, 14}, {758, 15},
};

char g_label[256];
char g_state[256];

bool Failed(int32_t system) { return plane_SystemsDamage[system] != 0; }

// A 16.16 pixel position handed over with 7 fractional bits, or 8 in the
// enlarged view.
int32_t Pos(int32_t offset, int32_t scale, int32_t centre, bool enlarged) {
    const int64_t v = (int64_t)offset * scale + (int64_t)centre * 65536;
    return (int32_t)(v >> (enlarged ? 8 : 9));
}

const char* Text(uint32_t n) {
    const char* t = level_GameText(n);
    return t ? t : "";
}

}  // namespace

uint32_t mfd_SystemsStateText(int32_t line) {
    if (line < 0 || line >= 15) return kWorks;
    const int32_t system = kLines[line].system;
    if (line == 0 && !avion_LinkFlag) return kNoLink;
    if (system == 2) return Failed(2) || Failed(4) ? kFailed : kWorks;
    return Failed(system) ? kFailed : kWorks;
}

void mfd_DrawSystemsPage(void) {
    const uint8_t colour = mfd_CockpitColourSlot(kTextColour);
    const bool enlarged = mfd_EnlargedFlag != 0;
    const int32_t sx = vcp_DisplayScale[0], sy = vcp_DisplayScale[1];
    const int32_t cx = vcp_DisplayCentre[0], cy = vcp_DisplayCentre[1];
    const int32_t shift = enlarged ? 8 : 9;
    font_SetStrokeRotation(0, (int32_t)((5 * (int64_t)sx) >> shift), (int32_t)((5 * (int64_t)sy) >> shift), 0);
    const int32_t labelX = Pos(-50, sx, cx, enlarged), stateX = Pos(20, sx, cx, enlarged);
    const char* works = Text(kWorks);
    const char* failed = Text(kFailed);
    const char* noLink = Text(kNoLink);
    for (int32_t i = 0; i < 15; i++) {
        const SystemsLine& l = kLines[i];
        const uint32_t n = mfd_SystemsStateText(i);
        const char* state = n == kNoLink ? noLink : n == kFailed ? failed : works;
        text_Format("%s", g_label, sizeof g_label, Text(l.label));
        text_Format("%s", g_state, sizeof g_state, state);
        const int32_t y = Pos(-80 + 10 * i, sy, cy, enlarged);
        if (enlarged) {
            font_DrawStrokeTextC(g_label, labelX, y, colour, FONT_STROKE_LEFT);
            font_DrawStrokeTextC(g_state, stateX, y, colour, FONT_STROKE_LEFT);
        } else {
            font_DrawStrokeText(g_label, labelX, y, colour, FONT_STROKE_LEFT);
            font_DrawStrokeText(g_state, stateX, y, colour, FONT_STROKE_LEFT);
        }
    }
}
