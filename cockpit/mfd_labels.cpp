// MFD texts and the situation picture's other screens: the twenty button
// labels, the title line and its 15-character buffer, the page-3 mode
// labels, the situation page's height and heading footer, the enlarged
// situation view with its range line and view wedge, and the tactical map's
// picture and ownship hooks.
#include <cmath>
#include <cstring>

#include "base/text.h"
#include "cockpit/mfd.h"
#include "cockpit/vcp.h"
#include "display/draw_line.h"
#include "display/dsurf.h"
#include "display/font.h"
#include "display/stroke.h"
#include "net/client.h"
#include "render/view.h"
#include "sim/flight_jet.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "world/level.h"

char mfd_TitleBuffer[16] = "###############";

namespace {

// Cockpit colour entries: the MFD text, the ownship and the heading symbol.
constexpr int32_t kTextColour = 3;
constexpr int32_t kOwnshipColour = 0;
constexpr int32_t kHeadingColour = 0;
// Texts of the game data table.
constexpr uint32_t kTextDeclutter = 842;
constexpr uint32_t kTextHeight = 434;
constexpr uint32_t kTextHeading = 445;
constexpr uint32_t kTextRange = 504;
constexpr uint32_t kTextLaser = 858;
constexpr uint32_t kTextDesignated = 860;
constexpr uint32_t kTextNotDesignated = 861;
// The aircraft record's mode word bits and flag word bit of the page-3 labels.
constexpr uint32_t kModeDesignated = 4;
constexpr uint32_t kModeNotDesignated = 2;
constexpr uint32_t kFlagLaser = 0x100000;

bool Enlarged(void) { return mfd_EnlargedFlag != 0; }

// A game text; an empty item counts as missing.
const char* GameText(uint32_t item) {
    const char* text = level_GameText(item);
    return text && *text ? text : nullptr;
}

// Into the title buffer, cut to its 15 characters.
void TitleFill(const char* text) {
    size_t n = 0;
    while (text && n < sizeof mfd_TitleBuffer - 1 && text[n]) {
        mfd_TitleBuffer[n] = text[n];
        n++;
    }
    mfd_TitleBuffer[n] = 0;
}
int32_t Sx(void) { return vcp_DisplayScale[0]; }
int32_t Sy(void) { return vcp_DisplayScale[1]; }
int32_t Times(int32_t n, int32_t scale) { return (int32_t)(((int64_t)n * scale) >> 16); }

// The window the texts are placed in: the MFD's view window, or the
// 256-unit frame of the enlarged view.
struct Window {
    int32_t left, top, right, bottom;
};
Window View(void) {
    if (Enlarged()) return {0, 0, 255, 255};
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    return {s.clipX1, s.clipY1, s.clipX2 - 1, s.clipY2 - 1};
}

// Character size n x sx by n x sy.
void CharSize(int32_t n, int32_t sy) {
    const int32_t shift = Enlarged() ? 8 : 9;
    font_SetStrokeRotation(0, (int32_t)(((int64_t)n * Sx()) >> shift), (int32_t)(((int64_t)n * sy) >> shift), 0);
}

// Stroke text at a whole-pixel point: 7 fractional bits on the panel, 8
// through the enlarged view's entry.
void Text(const char* text, int32_t x, int32_t y, int32_t flags) {
    const uint8_t colour = mfd_CockpitColourSlot(kTextColour);
    if (Enlarged())
        font_DrawStrokeTextC(text, x * 256, y * 256, colour, flags);
    else
        font_DrawStrokeText(text, x * 128, y * 128, colour, flags);
}

// The title of the page a button leads to, into the line buffer; null for
// no label.
const char* ButtonText(const MfdPageRecord* page, int32_t button) {
    const int32_t target = page->buttons[button];
    if (target < 0 || target >= MFD_PAGE_RECORDS) return nullptr;
    const int32_t title = mfd_PageTable[target].titleId;
    if (title < 0) return nullptr;
    const char* text = GameText((uint32_t)title);
    if (!text) return nullptr;
    text_Format("%s", mfd_LineBuffer[0], sizeof mfd_LineBuffer[0], text);
    return mfd_LineBuffer[0];
}

void Label(const MfdPageRecord* page, int32_t button, int32_t x, int32_t y, int32_t flags) {
    if (const char* text = ButtonText(page, button)) Text(text, x, y, flags);
}

// A game text formatted with a number into the title buffer and drawn with
// flags 9 at the point; nothing when the text is missing.
void Readout(uint32_t item, int32_t value, int32_t x, int32_t y) {
    const char* caption = GameText(item);
    if (!caption) return;
    text_Format("%s %d", mfd_LineBuffer[1], sizeof mfd_LineBuffer[1], caption, value);
    TitleFill(mfd_LineBuffer[1]);
    Text(mfd_TitleBuffer, x, y, FONT_STROKE_LEFT | FONT_STROKE_UP);
}

}  // namespace

void mfd_DrawButtonLabels(const MfdPageRecord* page) {
    if (!page) return;
    const Window w = View();
    CharSize(5, Sy());
    const int32_t cw = (w.right - w.left) / 6, rh = (w.bottom - w.top) / 6;
    const bool weapon = mfd_StoresFrameFlag != 0;
    const int32_t topY = w.top + Times(8, Sy()), bottomY = w.bottom - Times(8, Sy());
    for (int32_t k = 1; k <= 5; k++) {
        const int32_t x = w.left + k * cw;
        Label(page, 15 - k, x, topY, 0);
        if (k < 5) {
            Label(page, 20 - k, x, bottomY, 0);
        } else if (const char* text = GameText(kTextDeclutter)) {
            text_Format("%s", mfd_LineBuffer[0], sizeof mfd_LineBuffer[0], text);
            Text(mfd_LineBuffer[0], x, bottomY, 0);
        }
        const int32_t y = w.top + k * rh;
        const int32_t right = k < 5 && weapon ? FONT_STROKE_RIGHT : FONT_STROKE_VERTICAL;
        Label(page, 4 + k, w.right - Times(8, Sx()), y, right);
        Label(page, k - 1, w.left + Times(8, Sx()), y, weapon ? FONT_STROKE_LEFT : FONT_STROKE_VERTICAL);
    }
}

void mfd_DrawTitleLine(void) {
    CharSize(4, Sx());
    const int32_t d = Times(13, Sx());
    const Window w = View();
    Text(mfd_TitleBuffer, w.left + d, w.top + d, FONT_STROKE_LEFT);
}

void mfd_SetTitle(const char* text) {
    TitleFill(text);
    mfd_DrawTitleLine();
}

void mfd_TitleDraw(int32_t stringId) {
    if (const char* text = stringId >= 0 ? GameText((uint32_t)stringId) : nullptr) mfd_SetTitle(text);
}

void mfd_DrawPage3Labels(void) {
    const _PLANE* plane = plane_Current;
    if (!plane) return;
    const Window w = View();
    CharSize(5, Sy());
    const int32_t cw = (w.right - w.left) / 6, y = w.bottom - Times(8, Sy());
    const uint32_t mode = plane->words[0];
    const uint32_t item = (mode & kModeDesignated) ? kTextDesignated : (mode & kModeNotDesignated) ? kTextNotDesignated : 0;
    if (const char* text = item ? GameText(item) : nullptr) Text(text, w.left + cw, y, 0);
    if (plane->flags & kFlagLaser)
        if (const char* text = GameText(kTextLaser)) Text(text, w.left + 2 * cw, y, 0);
}

void mfd_DrawHeightHeading(void) {
    CharSize(4, Sx());
    const Window w = View();
    const JetState* jet = plane_Current ? &jet_Record(plane_Current)->state : nullptr;
    const double metres = jet ? (double)jet->aboveGround : 0.0;
    const int32_t feet = (int32_t)std::nearbyint(metres * 3.281);
    const int32_t y = w.bottom - Times(20, Sx());
    Readout(kTextHeight, feet, w.left + Times(30, Sx()), y);
    const ObjectRecord* player = Client_PlayerObject;
    const double heading = player ? (double)player->angles.heading : 0.0;
    const int32_t degrees = (int32_t)std::nearbyint(heading / 512.0 * 360.0 / 65536.0);
    Readout(kTextHeading, degrees, w.left + Times(5, Sx()), y);
}

void mfd_DrawViewWedge(void) {
    const uint8_t colour = mfd_ColourPicture ? (uint8_t)MFD_WHITE : (uint8_t)MFD_DARK_GREEN;
    // 1/128 pixel units.
    const int32_t cx = vcp_DisplayCentre[0] * 128, cy = vcp_DisplayCentre[1] * 128, d = 400 * 128;
    for (int32_t side = -1; side <= 1; side += 2) {
        if (Enlarged())
            draw_ClipLineF(cx * 2, cy * 2, (cx + side * d) * 2, (cy - d) * 2, colour);
        else
            draw_ClipLineC(cx >> 7, cy >> 7, (cx + side * d) >> 7, (cy - d) >> 7, colour);
    }
}

void mfd_DrawRangeText(void) {
    char scratch[32];
    memset(scratch, 0, sizeof scratch);
    const char* format = GameText(kTextRange);
    const BitmapFont* font = level_Fonts[1];
    if (!format || !font || mfd_MapZoom <= 0) return;
    const int32_t value = (int32_t)(((int64_t)100 << 32) / mfd_MapZoom);
    text_Format(format, scratch, sizeof scratch, value);
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    font_DrawShadowedString(scratch, font, s.clipX1, s.clipY1, MFD_CYAN, FONT_MODE_ONE_COLOUR);
}

void mfd_DrawEnlargedSituation(void) {
    const ObjectRecord* own = Client_PlayerObject;
    const Window w = View();
    vcp_DisplayCentre[1] = w.bottom - (w.bottom - w.top) / 4;
    mfd_PictureReset();
    mfd_ColourPicture = 1;
    mfd_TacticalStyle = 1;
    mfd_DrawShape(mfd_ShapeOwnship, vcp_DisplayCentre[0], vcp_DisplayCentre[1], mfd_CockpitColourSlot(kOwnshipColour));
    mfd_DrawViewWedge();
    mfd_ClassMask = MFD_CLASS_AIRCRAFT | MFD_CLASS_MISSILE;
    mfd_StateMask = MFD_STATE_RANGED | MFD_STATE_HOSTILE | MFD_STATE_FRIENDLY;
    mfd_RangeRingsDraw();
    vcp_DisplayCentre[1] = w.bottom - (w.bottom - w.top) / 4;
    mfd_PlotObjects(own);
    mfd_PictureReset();
    mfd_DrawRangeText();
}

void avion_MapPictureHook(int32_t range) {
    const int32_t zoom = mfd_MapZoom;
    const int32_t scale[2] = {vcp_DisplayScale[0], vcp_DisplayScale[1]};
    const int32_t centre[2] = {vcp_DisplayCentre[0], vcp_DisplayCentre[1]};
    mfd_MapZoom = range;
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    mfd_MapFrameSetup();
    vcp_DisplayCentre[0] = (s.clipX1 + s.clipX2) / 2;
    vcp_DisplayCentre[1] = (s.clipY1 + s.clipY2) / 2;
    mfd_ColourPicture = mfd_TacticalStyle = mfd_NorthUp = 1;
    const ObjectRecord* own = Client_PlayerObject;
    mfd_DrawRoute(own);
    mfd_PlotObjects(own);
    mfd_PictureReset();
    mfd_MapZoom = zoom;
    vcp_DisplayScale[0] = scale[0];
    vcp_DisplayScale[1] = scale[1];
    vcp_DisplayCentre[0] = centre[0];
    vcp_DisplayCentre[1] = centre[1];
    vcp_DisplayFactorUpdate();
}

void avion_MapOwnshipHook(int32_t x, int32_t y) {
    const ObjectRecord* own = Client_PlayerObject;
    const uint32_t heading = own ? (uint32_t)own->angles.heading : 0u;
    mfd_SymbolAngle = (int32_t)(0x2000007u - heading * 128u) >> 7;
    mfd_DrawShapeRotated(mfd_ShapeOwnship, x, y, mfd_CockpitColourSlot(kHeadingColour));
}
