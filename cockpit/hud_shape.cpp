// HUD stroke shapes and line primitives. Every stroke goes to the float
// line drawer in 1/256 pixel of the HUD panel.
#include "cockpit/hud_draw.h"

#include "display/draw_line.h"
#include "display/dsurf.h"

int32_t hud_ShapeFractional = 0;
int32_t hud_LineSolid = 1;
int32_t hud_ShapeAngle = 0;
int32_t hud_ShapeSize = 65536;

#define M(x, y) {0, x, y, 0}
#define L(x, y) {1, x, y, 0}
#define DOT(x, y) M(x, y), L(x, y)
#define END {2, 0, 0, 0}

const HudShape HudShapeSteerTail[] = {M(0, -5), L(0, -50), END};
const HudShape HudShapeBankScale[] = {
    DOT(-22, -84), DOT(22, -84), DOT(-43, -75), DOT(43, -75), DOT(-61, -61), DOT(61, -61),
    M(-53, -30),   L(-95, -55),  M(53, -30),    L(95, -55),   END};
const HudShape HudShapeClampCross[] = {M(-95, -95), L(95, 95), M(95, -95), L(-95, 95), END};
const HudShape HudShapeBoresightCross[] = {M(0, 2), L(0, 10), M(0, -2), L(0, -10),
                                           M(2, 0), L(10, 0), M(-2, 0), L(-10, 0), END};
const HudShape HudShapeSpeedBox[] = {M(-2, 0), L(-5, -4), L(-19, -4), L(-19, 4), L(-5, 4), L(-2, 0),
                                     M(3, 0),  L(6, 0),   END};
const HudShape HudShapeAltBox[] = {M(2, 0), L(5, 4), L(33, 4), L(33, -4), L(5, -4), L(2, 0),
                                   M(-3, 0), L(-6, 0), END};
const HudShape HudShapeHeadingBox[] = {M(-8, 4), L(8, 4), L(8, 11), L(-8, 11), L(-8, 4), M(0, -3), L(0, -6), END};
const HudShape HudShapeAltBox2[] = {M(5, 4), L(33, 4), L(33, -4), L(5, -4), L(5, 4), END};
const HudShape HudShapeRangeScale[] = {M(0, 0), L(-5, 0), L(-5, -48), L(0, -48), END};
const HudShape HudShapeRangeLimits[] = {M(0, -2), L(4, -2), L(4, -48), L(0, -48), END};
const HudShape HudShapeRangeCaret[] = {M(-2, -2), L(0, 0), L(-2, 2), END};
const HudShape HudShapeGunPipper[] = {M(0, -1), L(0, 1), M(-1, 0), L(1, 0), M(-5, 0), L(-15, 0), M(5, 0), L(15, 0), END};
const HudShape HudShapeGunRangeTick[] = {M(10, 0), L(12, 0), END};
const HudShape HudShapeAamTicks[] = {M(20, 0), L(24, 0), M(-20, 0), L(-24, 0),
                                     M(0, 20), L(0, 24), M(0, -20), L(0, -24), END};
const HudShape HudShapeAamRangeTick[] = {M(0, -20), L(0, -16), END};
const HudShape HudShapeAamRangeCaret[] = {M(0, -20), L(-2, -24), L(2, -24), L(0, -20), END};
const HudShape HudShapeGlidePathBar[] = {M(-40, 0), L(40, 0),  M(-40, -1), L(-40, 1), M(-20, -1), L(-20, 1),
                                         M(20, -1), L(20, 1),  M(40, -1),  L(40, 1),  END};
const HudShape HudShapeCourseBar[] = {M(0, -40), L(0, 40),  M(-1, -40), L(1, -40), M(-1, -20), L(1, -20),
                                      M(-1, 20), L(1, 20),  M(-1, 40),  L(1, 40),  END};
const HudShape HudShapeScaleBar[] = {M(0, -30), L(0, 30), M(0, -30), L(10, -30), M(0, 30), L(10, 30), END};
const HudShape HudShapeCcipCross[] = {M(10, 0), L(24, 0), M(-10, 0), L(-24, 0),
                                      M(0, 10), L(0, 24), M(0, -10), L(0, -24), END};

#undef M
#undef L
#undef DOT
#undef END

namespace {

// A shape without its end record is walked no further than this.
constexpr int32_t kMaxRecords = 4096;

// The pen, in whole pixels; a shape that starts with a line continues from
// where the last shape left it.
FixScreenPoint g_pen = {0, 0};

int32_t Sat(int64_t v) { return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : (int32_t)v; }

void Stroke(FixScreenPoint a, FixScreenPoint b, int32_t colour) {
    draw_ClipLineF(Sat((int64_t)a.x << 8), Sat((int64_t)a.y << 8), Sat((int64_t)b.x << 8), Sat((int64_t)b.y << 8),
                   colour);
}

// Walks the records; point() turns a record's (x, y) into a pixel point.
template <typename Point>
void Walk(const HudShape* shape, int32_t colour, Point point) {
    if (!shape) return;
    for (int32_t i = 0; i < kMaxRecords; i++) {
        const HudShape& r = shape[i];
        if (r.op == 2) return;
        if (r.op == 0) {
            g_pen = point(r.x, r.y);
        } else if (r.op == 1) {
            FixScreenPoint end = point(r.x, r.y);
            Stroke(g_pen, end, colour);
            g_pen = end;
        }
    }
}

void Line(FixScreenPoint a, FixScreenPoint b) { hud_LineDraw(a, b, HudColour); }

}  // namespace

void hud_ShapeDraw(const HudShape* shape, FixScreenPoint origin, int32_t multiplier, int32_t colour) {
    draw_Context.colourSlot = (uint8_t)colour;
    int64_t sx = HudScaleX, sy = HudScaleY;
    if (multiplier) {
        if (hud_ShapeFractional) {
            sx = (sx * multiplier) >> 16;
            sy = (sy * multiplier) >> 16;
        } else {
            sx *= multiplier;
            sy *= multiplier;
        }
    }
    Walk(shape, colour, [&](int32_t x, int32_t y) {
        return FixScreenPoint{Sat(origin.x + ((x * sx) >> 16)), Sat(origin.y + ((y * sy) >> 16))};
    });
}

void hud_ShapeDrawRotated(const HudShape* shape, FixScreenPoint origin) {
    FixSinCosBlock trig;
    fix_SinCosAngles(0, 0, (int32_t)(0u - (uint32_t)hud_ShapeAngle), &trig);
    const int64_t size = hud_ShapeSize;
    Walk(shape, HudColour, [&](int32_t x, int32_t y) {
        FixVec3 v = {Sat((x * size) >> 16), Sat((y * size) >> 16), 0};
        fix_TrigToDouble(&trig);
        fix_RotateAboutZ(&v, &v);
        return FixScreenPoint{Sat((int64_t)origin.x + v.x), Sat((int64_t)origin.y + v.y)};
    });
}

void hud_LineDraw(FixScreenPoint from, FixScreenPoint to, int32_t colour) {
    const int32_t ua = Sat(2 * (int64_t)from.x), va = Sat(2 * (int64_t)from.y);
    const int32_t ub = Sat(2 * (int64_t)to.x), vb = Sat(2 * (int64_t)to.y);
    if (hud_LineSolid) draw_ClipLineF(ua, va, ub, vb, colour);
    else draw_ClipShapeLine(ua, va, ub, vb, colour, 1, 2, 8);
}

void hud_BoxDraw(FixScreenPoint c, int32_t hw, int32_t hh) {
    const int32_t l = Sat((int64_t)c.x - hw), r = Sat((int64_t)c.x + hw);
    const int32_t t = Sat((int64_t)c.y - hh), b = Sat((int64_t)c.y + hh);
    Line({l, t}, {r, t});
    Line({l, b}, {r, b});
    Line({l, t}, {l, b});
    Line({r, t}, {r, b});
}

void hud_DiamondDraw(FixScreenPoint c, int32_t hw, int32_t hh) {
    const FixScreenPoint top = {c.x, Sat((int64_t)c.y - hh)}, bottom = {c.x, Sat((int64_t)c.y + hh)};
    const FixScreenPoint left = {Sat((int64_t)c.x - hw), c.y}, right = {Sat((int64_t)c.x + hw), c.y};
    Line(top, right);
    Line(right, bottom);
    Line(bottom, left);
    Line(left, top);
}

void hud_CrossDraw(FixScreenPoint c, int32_t hw, int32_t hh) {
    const int64_t w = (int64_t)hw + ((2 * (int64_t)HudScaleX) >> 9);
    const int64_t h = (int64_t)hh + ((2 * (int64_t)HudScaleY) >> 9);
    const int32_t l = Sat(c.x - w), r = Sat(c.x + w), t = Sat(c.y - h), b = Sat(c.y + h);
    Line({l, t}, {r, b});
    Line({r, t}, {l, b});
}

int32_t hud_PointOnScreen(FixScreenPoint p) {
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    return p.x >= s.clipX1F && p.x <= s.clipX2F && p.y >= s.clipY1F && p.y <= s.clipY2F;
}
