// The situation picture: the plan view of the own route, contacts, ground
// objects, threat sites with their rings and missiles, drawn into the
// window its caller prepared (the MFD situation page, the enlarged
// situation view, the tactical map). Positions go through the situation
// display's one projection (mfd_WorldToDisplay); in the enlarged view every
// line and circle takes the sub-pixel path.
#include <cmath>

#include "base/text.h"
#include "cockpit/mfd.h"
#include "cockpit/vcp.h"
#include "display/draw_line.h"
#include "display/draw_text.h"
#include "display/dsurf.h"
#include "display/font.h"
#include "display/stroke.h"
#include "net/client.h"
#include "sim/obj.h"
#include "world/terrain.h"
#include "sim/plane.h"
#include "world/level.h"

int32_t mfd_SymbolAngle = 0;
uint8_t mfd_ColourPicture = 0;
uint8_t mfd_TacticalStyle = 0;
uint8_t mfd_NorthUp = 0;
uint8_t mfd_ClassMask = 0xFF;
uint8_t mfd_StateMask = 0xFF;
char mfd_LineBuffer[2][256];

namespace {
constexpr DrawShapeCommand M(int16_t x, int16_t y) { return {0, x, y, 0}; }
constexpr DrawShapeCommand L(int16_t x, int16_t y) { return {1, x, y, 0}; }
constexpr DrawShapeCommand E = {2, 0, 0, 0};
}  // namespace

const DrawShapeCommand mfd_ShapeOwnship[] = {M(-1, -2), L(-1, -4), L(0, -6), L(1, -4), L(1, -2), L(5, 2),
                                             L(1, 2),   L(2, 4),   L(2, 5),  L(-2, 5), L(-2, 4), L(-1, 3),
                                             L(-1, 2),  L(-5, 2),  L(-1, -2), E};
const DrawShapeCommand mfd_ShapeStar[] = {M(-5, 0), L(-2, -1), L(-1, -2), L(0, -5), L(1, -2), L(2, -1), L(5, 0),
                                          L(2, 1),  L(1, 2),   L(0, 5),   L(-1, 2), L(-2, 1), L(-5, 0), E};
const DrawShapeCommand mfd_ShapeSquare[] = {M(-4, -4), L(4, -4), L(4, 4), L(-4, 4), L(-4, -4), E};
const DrawShapeCommand mfd_ShapeTriangle[] = {M(0, -5), L(5, 4), L(-5, 4), L(0, -5), E};
const DrawShapeCommand mfd_ShapeCrossedBox[] = {M(-5, -5), L(5, 5),   M(5, -5), L(-5, 5),
                                                L(-5, -5), L(5, -5), L(5, 5),  L(-5, 5), E};
const DrawShapeCommand mfd_ShapeHeadingBar[] = {M(-2, 6), L(-2, -6), L(2, -6), L(2, 6), L(-2, 6), E};
const DrawShapeCommand mfd_ShapeInactive[] = {M(-8, -8), L(8, -8), L(8, 8),   L(-8, 8),
                                              L(-8, -8), M(0, -8), L(0, -12), E};
const DrawShapeCommand mfd_ShapeFixed[] = {M(-8, -8), L(8, -8), L(8, 8), L(-8, 8), L(-8, -8), E};
const DrawShapeCommand mfd_ShapeHostile[] = {M(0, -8), L(8, 8), L(-8, 8), L(0, -8), L(0, -12), E};
const DrawShapeCommand mfd_ShapeFriendly[] = {M(0, -8), L(0, -12), E};
const DrawShapeCommand mfd_ShapeTactical[] = {M(0, -6), L(0, 4), M(4, 4), L(-4, 4), E};

namespace {

constexpr int32_t kSearchRange = 0x3B600000;
constexpr uint32_t kAngleMask = 0x1FFFFFFu;
// Ground vehicles slower than this a frame are not shown.
constexpr int32_t kSlowest = 0x200;
// Cockpit colour entries of the name tag: box and text.
constexpr int32_t kTagBoxColour = 1;
constexpr int32_t kTagTextColour = 0;

bool Enlarged(void) { return mfd_EnlargedFlag != 0; }
int32_t Scaled(int32_t v) { return (int32_t)(((int64_t)v * vcp_DisplayScale[0]) >> 16); }
uint8_t Mono(uint8_t colour) { return mfd_ColourPicture ? colour : (uint8_t)MFD_DARK_GREEN; }

void Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint8_t colour) {
    if (Enlarged())
        draw_ClipLineF(x1 * 256, y1 * 256, x2 * 256, y2 * 256, colour);
    else
        draw_ClipLineC(x1, y1, x2, y2, colour);
}

// Walks a shape with each point turned (sin, cos in 16.16, or none).
void Shape(const DrawShapeCommand* shape, int32_t x, int32_t y, uint8_t colour, const int32_t* turn) {
    mfd_Colour = colour;
    const int64_t s = vcp_DisplayScale[0];
    int32_t px = x, py = y;
    for (int32_t i = 0; shape && i < DRAW_SHAPE_MAX_COMMANDS && shape[i].op != DRAW_SHAPE_END; i++) {
        if (shape[i].op != DRAW_SHAPE_MOVE && shape[i].op != DRAW_SHAPE_LINE) continue;
        int64_t dx = shape[i].dx, dy = shape[i].dy;
        if (turn) {
            // Rounded: the sine table peaks at 65535.
            const int64_t rx = (dx * turn[1] - dy * turn[0] + 0x8000) >> 16;
            const int64_t ry = (dx * turn[0] + dy * turn[1] + 0x8000) >> 16;
            dx = rx;
            dy = ry;
        }
        const int32_t nx = (int32_t)((dx * s) >> 16) + x, ny = (int32_t)((dy * s) >> 16) + y;
        if (shape[i].op == DRAW_SHAPE_LINE) Line(px, py, nx, ny, colour);
        px = nx;
        py = ny;
    }
}

int32_t OwnHeading(const ObjectRecord* own) { return own ? own->angles.heading : 0; }

// Symbol angle of an aircraft or list D object; of a ground object.
void AircraftAngle(const ObjectRecord* o, const ObjectRecord* own) {
    const uint32_t base = mfd_NorthUp ? 0u : (uint32_t)OwnHeading(own);
    mfd_SymbolAngle = (int32_t)((base - (uint32_t)o->angles.heading) & kAngleMask);
}
void GroundAngle(const ObjectRecord* o, const ObjectRecord* own) {
    mfd_SymbolAngle = (int32_t)(((uint32_t)OwnHeading(own) - (uint32_t)o->angles.heading) & kAngleMask);
}

bool RadarUsable(const ObjectRecord* own) {
    return own != nullptr && plane_SystemsDamage[PLANE_SYS_RADAR] == 0 && mfd_RadarFailed != 1;
}

bool Active(const ObjectRecord* o) { return !(o->stateFlags & OBJ_STATE_WAITING); }

// Colour by state bits: the first match; none keeps the current colour.
uint8_t AircraftColour(const ObjectRecord* o) {
    if (!mfd_ColourPicture) return MFD_DARK_GREEN;
    if (!Active(o)) return MFD_YELLOW;
    const uint8_t s = mfd_ObjectState(o);
    if (s & MFD_STATE_WINGMAN) return MFD_GREEN;
    if (s & MFD_STATE_HOSTILE) return (s & MFD_STATE_PILOT) ? MFD_VIOLET : MFD_RED;
    if (s & MFD_STATE_FRIENDLY) return (s & MFD_STATE_PILOT) ? MFD_YELLOW : MFD_GREEN;
    if (s & MFD_STATE_RANGED) return MFD_CYAN;
    return mfd_Colour;
}
uint8_t GroundColour(const ObjectRecord* o) {
    if (!mfd_ColourPicture) return MFD_DARK_GREEN;
    const uint8_t s = mfd_ObjectState(o);
    if (s & MFD_STATE_WINGMAN) return MFD_GREEN;
    if (s & MFD_STATE_FRIENDLY) return MFD_CYAN;
    if (s & MFD_STATE_HOSTILE) return MFD_RED;
    if (s & MFD_STATE_PILOT) return MFD_YELLOW;
    return mfd_Colour;
}
uint8_t SiteColour(const ObjectRecord* o) {
    return Mono((mfd_ObjectState(o) & MFD_STATE_FRIENDLY) ? MFD_CYAN : MFD_RED);
}

void TargetCircle(int32_t radius, bool wide) {
    mfd_Colour = Mono(MFD_WHITE);
    if (wide)
        mfd_CircleFixedWide(radius);
    else
        mfd_CircleFixed(radius);
}

// The object's speed in world units a frame; for a client of a remote
// server the copy's own motion step stands for the linked remote record,
// and a copy that has none is not shown (-1).
int32_t GroundSpeed(const ObjectRecord* o) {
    FixVec3 v;
    if (Client_RemoteGame) {
        if (!o->made) return -1;
        v = o->motion;
    } else {
        v = {(int32_t)(((int64_t)o->velocity.x * o->speed) >> 16), (int32_t)(((int64_t)o->velocity.y * o->speed) >> 16),
             (int32_t)(((int64_t)o->velocity.z * o->speed) >> 16)};
        if (v.x == 0 && v.y == 0 && v.z == 0) v = o->motion;
    }
    return fix_ApproxLength(&v);
}

// One object of the pass by the class tests; missiles only in the walk.
void PlotOne(const ObjectRecord* o, const ObjectRecord* own, bool missiles) {
    const uint8_t c = mfd_ObjectClass(o);
    if (c & MFD_CLASS_SITE) {
        if (o->hitPoints > 0) mfd_PlotThreatRing(o, own);
        return;
    }
    if (c & MFD_CLASS_AIRCRAFT) mfd_PlotAircraft(o, own);
    if (c & MFD_CLASS_GROUND)
        mfd_PlotGroundObject(o, own);
    else if (missiles && (c & MFD_CLASS_MISSILE))
        mfd_PlotMissile(o, own);
}

bool Accepted(const ObjectRecord* o) {
    return (mfd_ObjectClass(o) & mfd_ClassMask) && (mfd_ObjectState(o) & mfd_StateMask);
}

struct PassContext {
    const ObjectRecord* own;
};
void PassVisit(ObjectRecord* o, void* context) {
    const ObjectRecord* own = static_cast<PassContext*>(context)->own;
    if (o == own || (own && o == own->target) || !Accepted(o)) return;
    PlotOne(o, own, true);
}

// The category list of that flag bit.
const ObjCategoryList* List(uint8_t bit) {
    for (const ObjCategoryList& l : obj_CategoryLists)
        if (l.bit == bit) return &l;
    return nullptr;
}
template <typename F>
void EachOf(uint8_t bit, F f) {
    const ObjCategoryList* l = List(bit);
    if (!l) return;
    const int32_t n = l->count < 256 ? l->count : 256;
    for (int32_t i = 0; i < n; i++)
        if (l->items[i]) f(l->items[i]);
}

}  // namespace

uint8_t mfd_ObjectClass(const ObjectRecord* o) {
    if (!o) return 0;
    const bool groundUnit = (o->stateFlags & (OBJ_STATE_GROUND_UNIT | OBJ_STATE_ROAD)) != 0;
    // Radar and missile sites: ground units that carry the search category.
    if ((o->stateFlags & OBJ_STATE_GROUND_UNIT) && (o->category & OBJ_CATEGORY_01)) return MFD_CLASS_SITE;
    if (groundUnit || (o->flags & OBJ_FLAG_STATIC) || (o->aiClass & 0x7F) == 2) return MFD_CLASS_GROUND;
    if ((o->flags & OBJ_FLAG_PLAYER) || (o->stateFlags & (OBJ_STATE_AIRBORNE | OBJ_STATE_WAITING)) ||
        (o->aiClass & 0x7F) == 1)
        return MFD_CLASS_AIRCRAFT;
    if (o->speed != 0) return MFD_CLASS_MISSILE;
    return 0;
}

uint8_t mfd_ObjectState(const ObjectRecord* o) {
    if (!o) return 0;
    uint8_t s = 0;
    const uint8_t c = mfd_ObjectClass(o);
    if ((c & (MFD_CLASS_GROUND | MFD_CLASS_SITE)) && !(o->stateFlags & OBJ_STATE_ROAD)) s |= MFD_STATE_FIXED;
    if ((c & MFD_CLASS_AIRCRAFT) && !(o->flags & OBJ_FLAG_PLAYER)) s |= MFD_STATE_RANGED;
    s |= (o->flags & (OBJ_FLAG_ALLIANCE_A | OBJ_FLAG_WINGMAN)) ? MFD_STATE_FRIENDLY : MFD_STATE_HOSTILE;
    if (o->flags & OBJ_FLAG_PLAYER) s |= MFD_STATE_PILOT;
    if (o->flags & OBJ_FLAG_WINGMAN) s |= MFD_STATE_WINGMAN;
    return s;
}

void mfd_PictureReset(void) {
    mfd_ColourPicture = mfd_TacticalStyle = mfd_NorthUp = 0;
    mfd_ClassMask = mfd_StateMask = 0xFF;
}

void mfd_DrawShape(const DrawShapeCommand* shape, int32_t x, int32_t y, uint8_t colour) {
    Shape(shape, x, y, colour, nullptr);
}

void mfd_DrawShapeRotated(const DrawShapeCommand* shape, int32_t x, int32_t y, uint8_t colour) {
    const int32_t a = (int32_t)((0u - (uint32_t)mfd_SymbolAngle) & kAngleMask);
    const int32_t turn[2] = {fix_Sin(a), fix_Sin((int32_t)(((uint32_t)a + 0x800000u) & kAngleMask))};
    Shape(shape, x, y, colour, turn);
}

int32_t mfd_LineOfSightToObject(const ObjectRecord* o, const ObjectRecord* own) {
    if (!o || !own) return 1;
    // The cheap tests first: the terrain march is long at range.
    if (obj_Distance(own, o) >= kSearchRange) return 1;
    if (!obj_FindNearestFiltered(own, o)) return 1;
    return obj_LineOfSightStep(own, &o->position, 1 << (TERRAIN_CELL_SHIFT - 1)) ? 0 : 1;
}

void mfd_PlotAircraft(const ObjectRecord* o, const ObjectRecord* own) {
    if (!o) return;
    if (!avion_LinkFlag) {
        if (!RadarUsable(own) || mfd_LineOfSightToObject(o, own)) return;
        if (mfd_ObjectState(o) & MFD_STATE_RANGED) {
            const int64_t range = ((int64_t)kSearchRange * obj_SignatureFactor(o)) >> 16;
            if (obj_Distance(own, o) >= range) return;
        }
    }
    mfd_ObjectToDisplay(o, own);
    const uint8_t colour = AircraftColour(o);
    mfd_Colour = colour;
    AircraftAngle(o, own);
    const uint8_t s = mfd_ObjectState(o);
    const int32_t x = mfd_PointX, y = mfd_PointY;
    if (!Active(o)) {
        mfd_DrawShapeRotated(mfd_TacticalStyle ? mfd_ShapeTactical : mfd_ShapeInactive, x, y, colour);
    } else if (s & MFD_STATE_HOSTILE) {
        mfd_DrawShapeRotated(mfd_TacticalStyle ? mfd_ShapeTactical : mfd_ShapeHostile, x, y, colour);
    } else if (s & MFD_STATE_FRIENDLY) {
        if (!mfd_TacticalStyle) mfd_CircleFixed(8);
        mfd_DrawShapeRotated(mfd_TacticalStyle ? mfd_ShapeTactical : mfd_ShapeFriendly, x, y, colour);
    }
    if (mfd_NorthUp) mfd_DrawNameTag(o);
    if (own && o == own->target) {
        mfd_PointX = x;
        mfd_PointY = y;
        TargetCircle(mfd_TacticalStyle ? 5 : 10, false);
    }
}

void mfd_PlotGroundObject(const ObjectRecord* o, const ObjectRecord* own) {
    if (!o || !RadarUsable(own)) return;
    mfd_ObjectToDisplay(o, own);
    const int32_t x = mfd_PointX, y = mfd_PointY;
    const uint8_t colour = GroundColour(o);
    mfd_Colour = colour;
    GroundAngle(o, own);
    const uint8_t s = mfd_ObjectState(o);
    if (s & MFD_STATE_FIXED) {
        if (mfd_SubMode == 3 || mfd_SubMode == 5) mfd_DrawShape(mfd_ShapeFixed, x, y, colour);
    } else {
        if (mfd_SubMode != 2 && mfd_SubMode != 5) return;
        const int32_t speed = GroundSpeed(o);
        if (speed < kSlowest) return;
        if (s & MFD_STATE_HOSTILE) {
            mfd_DrawShapeRotated(mfd_TacticalStyle ? mfd_ShapeTactical : mfd_ShapeHostile, x, y, colour);
        } else if (s & MFD_STATE_FRIENDLY) {
            const uint8_t green = Mono(MFD_GREEN);
            mfd_Colour = green;
            if (!mfd_TacticalStyle) mfd_CircleFixed(8);
            mfd_DrawShapeRotated(mfd_TacticalStyle ? mfd_ShapeTactical : mfd_ShapeFriendly, x, y, green);
        }
    }
    if (own && o == own->target) {
        mfd_PointX = x;
        mfd_PointY = y;
        TargetCircle(2, true);
    }
}

void mfd_PlotThreatRing(const ObjectRecord* o, const ObjectRecord* own) {
    if (!o) return;
    mfd_ObjectToDisplay(o, own);
    mfd_Colour = SiteColour(o);
    const int32_t raw = obj_SignatureFactor(o);
    mfd_CircleWorld((int32_t)((0x0ED8 * (int64_t)raw) >> 16));
    mfd_CircleFixed(2);
}

void mfd_PlotMissile(const ObjectRecord* o, const ObjectRecord* own) {
    if (!o) return;
    if (!avion_LinkFlag && !RadarUsable(own)) return;
    mfd_ObjectToDisplay(o, own);
    const int32_t x = mfd_PointX, y = mfd_PointY;
    const uint8_t white = Mono(MFD_WHITE);
    if (Enlarged())
        draw_ClipLineF(x * 256, y * 256, x * 256, y * 256, white);
    else
        draw_ClipLineC(x, y, x, y, white);
    if (own && o->target == own && own == Client_PlayerObject) {
        mfd_ObjectToDisplay(own, own);
        Line(x, y, mfd_PointX, mfd_PointY, Mono(MFD_RED));
        mfd_PointX = x;
        mfd_PointY = y;
    }
}

void mfd_PlotListMarker(const ObjectRecord* o, const ObjectRecord* own) {
    if (!o) return;
    mfd_ObjectToDisplay(o, own);
    mfd_DrawShape(mfd_ShapeCrossedBox, mfd_PointX, mfd_PointY, SiteColour(o));
}

void mfd_PlotListHeading(const ObjectRecord* o, const ObjectRecord* own) {
    if (!o) return;
    mfd_ObjectToDisplay(o, own);
    AircraftAngle(o, own);
    mfd_DrawShapeRotated(mfd_ShapeHeadingBar, mfd_PointX, mfd_PointY, Mono(MFD_CYAN));
}

void mfd_PlotCategoryLists(const ObjectRecord* own) {
    const int32_t m = mfd_SubMode;
    if (m == 0 || m == 5 || mfd_TacticalStyle) {
        EachOf(OBJ_CATEGORY_01, [own](const ObjectRecord* o) {
            if (o->category & OBJ_CATEGORY_AI_PROGRAM) mfd_PlotThreatRing(o, own);
        });
        EachOf(OBJ_CATEGORY_10, [own](const ObjectRecord* o) { mfd_PlotListMarker(o, own); });
        EachOf(OBJ_CATEGORY_LANDING, [own](const ObjectRecord* o) { mfd_PlotListHeading(o, own); });
    }
    if (mfd_TacticalStyle) return;
    if (m == 0 || m == 3 || m == 5) {
        EachOf(OBJ_CATEGORY_PLAYER_TARGET, [own](const ObjectRecord* o) {
            if (mfd_ObjectState(o) & MFD_STATE_HOSTILE) mfd_PlotGroundObject(o, own);
        });
    }
    if (m == 2 || m == 5) EachOf(OBJ_CATEGORY_20, [own](const ObjectRecord* o) { mfd_PlotGroundObject(o, own); });
}

void mfd_PlotObjects(const ObjectRecord* own) {
    draw_SetColourSlot(MFD_VIOLET, 175, 86, 255);
    // The display's rotation: the world passes drawn since the cockpit set
    // it up may have left their own.
    fix_TrigToDouble(&vcp_DisplayTrig);
    PassContext context{own};
    obj_ClientChainWalk(PassVisit, &context);
    // The target last, on top of the rest.
    if (own && own->target) PlotOne(own->target, own, false);
    mfd_PlotCategoryLists(own);
}

void mfd_DrawOwnship(void) {
    mfd_DrawShape(mfd_ShapeOwnship, vcp_DisplayCentre[0], vcp_DisplayCentre[1], Mono(MFD_CYAN));
}

void mfd_DrawRoute(const ObjectRecord* own) {
    const int32_t count = level_WaypointList.count < 32 ? level_WaypointList.count : 32;
    if (!own || count <= 0) return;
    fix_TrigToDouble(&vcp_DisplayTrig);
    const int32_t size = (int32_t)((4 * (int64_t)vcp_DisplayScale[0]) >> (Enlarged() ? 8 : 9));
    font_SetStrokeRotation(0, size, size, 0);
    const uint8_t green = MFD_DARK_GREEN;
    int32_t px = 0, py = 0;
    for (int32_t n = 1; n <= count; n++) {
        const LevelWaypoint& w = level_WaypointList.entries[n - 1];
        const FixWorldPos p = {(uint32_t)w.x, own->position.y, (uint32_t)w.z};
        mfd_WorldToDisplay(&p, own);
        const int32_t x = mfd_PointX, y = mfd_PointY;
        if (n == 1) {
            mfd_DrawShape(mfd_ShapeStar, x, y, green);
        } else if (n == count) {
            mfd_Colour = green;
            mfd_CircleFixed(4);
        } else {
            // The route carries no waypoint types: every middle point is a
            // plain waypoint.
            mfd_DrawShape(mfd_ShapeSquare, x, y, green);
        }
        text_Format("%d", mfd_LabelText, sizeof mfd_LabelText, n);
        const int32_t unit = Enlarged() ? 256 : 128;
        mfd_TextX = (x + Scaled(4)) * unit;
        mfd_TextY = (y + Scaled(5)) * unit;
        if (Enlarged())
            font_DrawStrokeTextC(mfd_LabelText, mfd_TextX, mfd_TextY, green, 5);
        else
            font_DrawStrokeText(mfd_LabelText, mfd_TextX, mfd_TextY, green, 5);
        if (n > 1) Line(px, py, x, y, green);
        px = x;
        py = y;
    }
}

void mfd_DrawNameTag(const ObjectRecord* o) {
    const BitmapFont* font = level_Fonts[0];
    if (!o || !font) return;
    obj_DisplayName(o, mfd_LineBuffer[1], sizeof mfd_LineBuffer[1]);
    text_Format("~0%s", mfd_LineBuffer[0], sizeof mfd_LineBuffer[0], mfd_LineBuffer[1]);
    const int32_t w = font_StringWidth(mfd_LineBuffer[0], font);
    // The box (corners inclusive), cut to the clip rectangle.
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    int32_t x1 = mfd_PointX, y1 = mfd_PointY + 7, x2 = x1 + w + 1, y2 = y1 + 11;
    if (x1 < s.clipX1) x1 = s.clipX1;
    if (y1 < s.clipY1) y1 = s.clipY1;
    if (x2 >= s.clipX2) x2 = s.clipX2 - 1;
    if (y2 >= s.clipY2) y2 = s.clipY2 - 1;
    if (x1 <= x2 && y1 <= y2) {
        draw_Context.colourSlot = mfd_CockpitColourSlot(kTagBoxColour);
        draw_FillRectUnclipped(x1, y1, x2, y2);
    }
    draw_WrapTextBox(mfd_LineBuffer[0], font, mfd_PointX, mfd_PointY, mfd_CockpitColourSlot(kTagTextColour), 4);
}
