// The MFD situation page: the situation picture in one of its sub-modes,
// the own aircraft three quarters of the way down, heading up, with the
// target readout, an attitude symbol and the sub-mode's title.
#include "cockpit/mfd_sitpage.h"

#include "base/text.h"
#include "cockpit/avion.h"
#include "cockpit/mfd.h"
#include "cockpit/vcp.h"
#include "display/draw_line.h"
#include "display/dsurf.h"
#include "display/stroke.h"
#include "net/client.h"
#include "sim/obj.h"
#include "world/level.h"

int32_t mfd_PageShown[2] = {0, 0};

namespace {

constexpr uint8_t kDarkGreen = 8;
// The object pass takes state bits 1, 2 and 3 in every sub-mode.
constexpr uint8_t kStateMask = 0x0E;
constexpr uint32_t kRangeText = 410, kClosureText = 412;

// Per sub-mode: class mask, map scale doubled, route drawn, title texts
// (-1 none). Sub-mode 4 is the radar picture and never reaches the page.
struct SubMode {
    uint8_t classMask;
    bool doubled, route;
    int32_t first, second;
};
constexpr SubMode kSubModes[6] = {
    {1, false, true, 840, 851}, {1, true, false, 854, -1}, {2, true, false, 839, -1},
    {2, false, false, 838, -1}, {0, false, false, -1, -1}, {2, false, true, 840, 852},
};

constexpr DrawShapeCommand M(int16_t x, int16_t y) { return {0, x, y, 0}; }
constexpr DrawShapeCommand L(int16_t x, int16_t y) { return {1, x, y, 0}; }
constexpr DrawShapeCommand E = {2, 0, 0, 0};
const DrawShapeCommand kNoseUp[] = {M(-5, 0), L(-45, 0), L(-45, 3), M(5, 0), L(45, 0), L(45, 3), E};
const DrawShapeCommand kNoseDown[] = {M(-5, 0), L(-45, 0), L(-45, -3), M(5, 0), L(45, 0), L(45, -3), E};
const DrawShapeCommand kLevel[] = {M(-5, 0), L(-45, 0), M(5, 0), L(45, 0), E};

char g_line[256];

bool Enlarged(void) { return mfd_EnlargedFlag != 0; }
int32_t Scaled(int32_t v) { return (int32_t)(((int64_t)v * vcp_DisplayScale[0]) >> 16); }
// An aircraft still waiting to take off is not active.
bool Active(const ObjectRecord* o) { return !(o->stateFlags & OBJ_STATE_WAITING); }

// The sub-mode's title into the title buffer; false when a text is missing.
bool Title(const SubMode& m) {
    const char* a = m.first >= 0 ? level_GameText((uint32_t)m.first) : nullptr;
    if (!a) return false;
    if (m.second < 0) {
        text_Format("%s", mfd_TitleBuffer, sizeof mfd_TitleBuffer, a);
        return true;
    }
    const char* b = level_GameText((uint32_t)m.second);
    if (!b) return false;
    text_Format("%s %s", mfd_TitleBuffer, sizeof mfd_TitleBuffer, a, b);
    return true;
}

void ReadoutLine(const char* text, int32_t x, int32_t y) {
    const int32_t unit = Enlarged() ? 256 : 128;
    if (Enlarged())
        font_DrawStrokeTextC(text, x * unit, y * unit, kDarkGreen, FONT_STROKE_RIGHT);
    else
        font_DrawStrokeText(text, x * unit, y * unit, kDarkGreen, FONT_STROKE_RIGHT);
}

}  // namespace

void mfd_DrawTargetReadout(void) {
    const ObjectRecord* own = Client_PlayerObject;
    const ObjectRecord* target = own ? own->target : nullptr;
    if (!target || !Active(target)) return;
    const int32_t size = (int32_t)((4 * (int64_t)vcp_DisplayScale[0]) >> (Enlarged() ? 8 : 9));
    font_SetStrokeRotation(0, size, size, 0);
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    const int32_t right = Enlarged() ? 255 : s.clipX2 - 1;
    const int32_t bottom = Enlarged() ? 255 : s.clipY2 - 1;
    const int32_t x = right - Scaled(8);
    obj_DisplayName(target, g_line, sizeof g_line);
    ReadoutLine(g_line, x, bottom - Scaled(38));
    if (const char* t = level_GameText(kRangeText)) {
        text_Format(t, g_line, sizeof g_line, obj_DistanceHalf(own, target) / 190);
        ReadoutLine(g_line, x, bottom - Scaled(33));
    }
    if (const char* t = level_GameText(kClosureText)) {
        text_Format(t, g_line, sizeof g_line, avion_ClosureRate(own, target));
        ReadoutLine(g_line, x, bottom - Scaled(28));
    }
}

void mfd_DrawSituationPage(void) {
    const int32_t sub = mfd_SubMode;
    if (sub < 0 || sub > 5 || sub == MFD_SUBMODE_RADAR) return;
    const SubMode& m = kSubModes[sub];
    const ObjectRecord* own = Client_PlayerObject;
    const int32_t factor = vcp_DisplayFactor;
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    // The window's centre, kept for the attitude symbol; the picture centre
    // moves down to a quarter of the height above the bottom.
    const int32_t windowX = vcp_DisplayCentre[0], windowY = vcp_DisplayCentre[1];
    vcp_DisplayCentre[1] = Enlarged() ? 192 : (s.clipY2 - 1) - ((s.clipY2 - 1) - s.clipY1) / 4;
    if (m.doubled) vcp_DisplayFactor = (int32_t)((uint32_t)vcp_DisplayFactor * 2u);
    if (m.route) mfd_DrawRoute(own);
    mfd_DrawOwnship();
    mfd_RangeLadderHorizontal();
    mfd_RangeLadderVertical();
    mfd_ClassMask = m.classMask;
    mfd_StateMask = kStateMask;
    mfd_PlotObjects(own);
    mfd_DrawTargetReadout();
    if (own) {
        // Pitch in 512ths of a turn, signed.
        const int32_t pitch = (int32_t)((uint32_t)own->angles.pitch << 7) >> 23;
        const DrawShapeCommand* shape = kLevel;
        if (pitch > 8 && pitch < 248)
            shape = kNoseUp;
        else if (pitch < -8 && pitch > -248)
            shape = kNoseDown;
        mfd_SymbolAngle = (int32_t)(0u - (uint32_t)own->angles.roll);
        mfd_DrawShapeRotated(shape, windowX, windowY, kDarkGreen);
    }
    mfd_BearingScaleDraw();
    mfd_DrawHeightHeading();
    const int32_t view = vcp_CockpitPanel;
    if (((view == 3 && !mfd_PageShown[0]) || (view == 5 && !mfd_PageShown[1])) && Title(m)) mfd_DrawTitleLine();
    vcp_DisplayFactor = factor;
}
