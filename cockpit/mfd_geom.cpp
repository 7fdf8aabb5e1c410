// The situation display's geometry: the world-to-display transform, the
// circle and mark routines, the range rings and ladders and the bearing
// scale, on the cockpit MFD and on the enlarged 256 x 256 view.
#include "cockpit/mfd.h"

#include "base/text.h"
#include "cockpit/vcp.h"
#include "display/draw_line.h"
#include "display/dsurf.h"
#include "display/pal.h"
#include "display/stroke.h"
#include "net/client.h"
#include "sim/obj.h"
#include "sim/plane.h"

int32_t mfd_PointX = 0, mfd_PointY = 0;
int32_t mfd_LabelX = 0, mfd_LabelY = 0;
int32_t mfd_TextX = 0, mfd_TextY = 0;
uint8_t mfd_Colour = 0;
uint8_t mfd_MarkKind = 0;
int32_t mfd_AltColourFlag = 0;
int32_t mfd_CompactFlag = 0;
char mfd_LabelText[16];

namespace {

// Cockpit colour entries: 0 the rings, 3 the map colour.
constexpr int32_t kRingColour = 0;
constexpr int32_t kMapColour = 3;
// A plane's on-ground flag: no bearing is shown while it is set.
constexpr uint32_t kOnGround = 0x20;

const DrawShapeCommand kVerticalTick[] = {{0, 1, 0, 0}, {1, 13, 0, 0}, {2, 0, 0, 0}};
const DrawShapeCommand kHorizontalTick[] = {{0, 0, 1, 0}, {1, 0, 13, 0}, {2, 0, 0, 0}};
const DrawShapeCommand kBearingScale[] = {{0, -18, 0, 0}, {1, -6, 0, 0}, {1, -3, 6, 0}, {1, 0, 0, 0},
                                          {1, 3, 6, 0},   {1, 6, 0, 0},  {1, 18, 0, 0}, {2, 0, 0, 0}};
const DrawShapeCommand kBearingCaret[] = {{0, 0, 6, 0}, {1, 0, -6, 0}, {2, 0, 0, 0}};

int32_t Scale(void) { return vcp_DisplayScale[0]; }
int32_t Scaled(int32_t v, int32_t shift = 16) { return (int32_t)(((int64_t)v * Scale()) >> shift); }
int32_t RangePixels(int32_t range) { return (int32_t)(((int64_t)range * vcp_DisplayFactor) >> 16); }
bool Enlarged(void) { return mfd_EnlargedFlag != 0; }

// A circle around the current point in the current colour.
void Circle(int32_t radius) {
    if (Enlarged())
        draw_Circle(mfd_PointX * 256, mfd_PointY * 256, radius * 256, mfd_Colour);
    else
        draw_CircleMidpoint(mfd_PointX, mfd_PointY, radius, mfd_Colour);
}

// The glyph scale of the ladders and the bearing scale.
void GlyphScale(void) {
    const int32_t g = (int32_t)((4 * (int64_t)Scale()) >> (Enlarged() ? 8 : 9));
    font_SetStrokeRotation(0, g, g, 0);
}

// The label of one tick, drawn at the tick's position.
void TickLabel(int32_t x, int32_t y, int32_t value, int32_t flags) {
    text_Format("%2d", mfd_LabelText, sizeof mfd_LabelText, value);
    const int32_t unit = Enlarged() ? 256 : 128;
    mfd_TextX = x * unit;
    mfd_TextY = y * unit;
    if (Enlarged())
        font_DrawStrokeTextC(mfd_LabelText, mfd_TextX, mfd_TextY, mfd_Colour, flags);
    else
        font_DrawStrokeText(mfd_LabelText, mfd_TextX, mfd_TextY, mfd_Colour, flags);
}

void LadderStart(void) {
    mfd_Colour = mfd_CockpitColourSlot(kMapColour);
    GlyphScale();
}

// The eight tick distances (range units) and their labels.
constexpr int32_t kTicks[8][2] = {{3800, 10},  {7600, 20},  {11400, 30}, {15200, 40},
                                  {19000, 50}, {22800, 60}, {26600, 70}, {29640, 80}};

}  // namespace

uint8_t mfd_CockpitColourSlot(int32_t entry) {
    const uint8_t index = vcp_ColourTable[entry < 0 || entry > 8 ? 0 : entry];
    const uint8_t* rgb = &pal_Current.palette[index * 3];
    draw_SetColourSlot(MFD_COLOUR_SLOT, rgb[0], rgb[1], rgb[2]);
    // On 8-bit surfaces the entry's own palette index.
    draw_Context.slots[MFD_COLOUR_SLOT].index = index;
    return (uint8_t)MFD_COLOUR_SLOT;
}

void mfd_WorldToDisplay(const FixWorldPos* point, const ObjectRecord* reference) {
    if (!point || !reference) return;
    const int64_t k = vcp_DisplayFactor;
    const int32_t ex = (int32_t)(point->x - reference->position.x);
    const int32_t ez = (int32_t)(point->z - reference->position.z);
    FixVec3 v = {(int32_t)((ex * k) >> 16), 0, (int32_t)(-(ez * k) >> 16)};
    fix_RotateAboutY(&v, &v);
    mfd_PointX = (v.x >> 16) + vcp_DisplayCentre[0];
    mfd_PointY = (v.z >> 16) + vcp_DisplayCentre[1];
}

void mfd_ObjectToDisplay(const ObjectRecord* object, const ObjectRecord* reference) {
    if (object) mfd_WorldToDisplay(&object->position, reference);
}

void mfd_CircleWorld(int32_t range) { Circle(RangePixels(range)); }
void mfd_CircleFixed(int32_t radius) { Circle(Scaled(radius)); }
void mfd_CircleFixedWide(int32_t radius) { Circle(Scaled(radius) + 1); }

void mfd_MarkCircle(int32_t kind) {
    mfd_MarkKind = (uint8_t)kind;
    mfd_LabelX = mfd_PointX - (Scale() >> 16);
    mfd_LabelY = mfd_PointY - (Scale() >> 15);
    Circle(Scaled(mfd_CompactFlag ? 5 : 10));
}

void mfd_RangeRingsDraw(void) {
    mfd_PointX = vcp_DisplayCentre[0];
    mfd_PointY = vcp_DisplayCentre[1];
    mfd_Colour = mfd_CockpitColourSlot(kRingColour);
    const uint32_t zoom = (uint32_t)mfd_MapZoom;
    if (zoom >= 218234u) mfd_CircleWorld(3800);
    if (zoom >= 108789u) mfd_CircleWorld(7600);
    if (zoom <= 218234u) mfd_CircleWorld(14820);
    if (zoom <= 108789u) mfd_CircleWorld(29640);
}

void mfd_RangeLadderVertical(void) {
    LadderStart();
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    const int32_t edge = Enlarged() ? 255 : s.clipX2 - 1;
    const int32_t x = edge - Scaled(13);
    for (const auto& t : kTicks) {
        const int32_t y = vcp_DisplayCentre[1] - RangePixels(t[0]);
        mfd_DrawShape(kVerticalTick, x, y, mfd_Colour);
        TickLabel(x, y, t[1], FONT_STROKE_RIGHT);
    }
}

void mfd_RangeLadderHorizontal(void) {
    LadderStart();
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    const int32_t edge = Enlarged() ? 255 : s.clipY2 - 1;
    const int32_t y = edge - Scaled(13);
    for (int32_t side = -1; side <= 1; side += 2) {
        for (const auto& t : kTicks) {
            const int32_t x = vcp_DisplayCentre[0] + side * RangePixels(t[0]);
            mfd_DrawShape(kHorizontalTick, x, y, mfd_Colour);
            TickLabel(x, y, t[1], FONT_STROKE_UP);
        }
    }
}

void mfd_BearingScaleDraw(void) {
    mfd_Colour = mfd_CockpitColourSlot(kMapColour);
    GlyphScale();
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    const int32_t x = (Enlarged() ? 0 : s.clipX1) + Scaled(30);
    const int32_t y = (Enlarged() ? 255 : s.clipY2 - 1) - Scaled(32);
    mfd_DrawShape(kBearingScale, x, y, mfd_Colour);
    const ObjectRecord* player = Client_PlayerObject;
    if (!player || !player->target) return;
    int32_t offset = 0;
    if (!(plane_Current && (plane_Current->flags & kOnGround))) {
        const int32_t bearing = obj_Bearing(&player->position, &player->target->position);
        // The relative bearing in 512 steps a turn, signed, a quarter turn
        // either way at most.
        const uint32_t rel = ((uint32_t)bearing - (uint32_t)player->angles.heading) & 0x1FFFFFFu;
        int32_t steps = (int32_t)(rel << 7) >> 23;
        if (steps < -128) steps = -128;
        if (steps > 128) steps = 128;
        offset = Scaled(steps, 19);
    }
    mfd_DrawShape(kBearingCaret, x + offset, y, mfd_Colour);
}
