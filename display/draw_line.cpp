// Lines, points, circles and arcs on the current surface.
#include "display/draw_line.h"

#include <cmath>
#include <utility>

#include "display/draw_local.h"
#include "display/hw3d.h"
#include "display/hw3d_draw.h"
#include "display/stroke.h"

namespace {

// ---------------------------------------------------------------------------
// Clipping and stepping.

// The other coordinate where the line from the inside end (ao, bo) to the
// outside end (at, bt) meets a = bound; ao != at since only one end is
// beyond the bound. The product needs more than 64 bits for far-off ends.
int32_t Cut(int64_t ao, int64_t bo, int64_t at, int64_t bt, int64_t bound) {
    __int128 num = (__int128)(ao - bound) * (bo - bt);
    return (int32_t)(bo - (int64_t)(num / (ao - at)));
}

// Moves the ends onto the clip box (tests in the order x1, x2, y1, y2, each
// against its low then high bound); false when the line lies wholly outside.
bool ClipEnds(int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2, const DrawClipBox& c) {
    const int32_t left = c.x1, right = c.x2 - 1, top = c.y1, bottom = c.y2 - 1;
    if (x1 < left) {
        if (x2 < left) return false;
        y1 = Cut(x2, y2, x1, y1, left);
        x1 = left;
    }
    if (x1 > right) {
        if (x2 > right) return false;
        y1 = Cut(x2, y2, x1, y1, right);
        x1 = right;
    }
    if (x2 < left) {
        if (x1 < left) return false;
        y2 = Cut(x1, y1, x2, y2, left);
        x2 = left;
    }
    if (x2 > right) {
        if (x1 > right) return false;
        y2 = Cut(x1, y1, x2, y2, right);
        x2 = right;
    }
    if (y1 < top) {
        if (y2 < top) return false;
        x1 = Cut(y2, x2, y1, x1, top);
        y1 = top;
    }
    if (y1 > bottom) {
        if (y2 > bottom) return false;
        x1 = Cut(y2, x2, y1, x1, bottom);
        y1 = bottom;
    }
    if (y2 < top) {
        if (y1 < top) return false;
        x2 = Cut(y1, x1, y2, x2, top);
        y2 = top;
    }
    if (y2 > bottom) {
        if (y1 > bottom) return false;
        x2 = Cut(y1, x1, y2, x2, bottom);
        y2 = bottom;
    }
    // Each cut lies between the two ends, so this holds; kept as the last
    // word on what may be written.
    return x1 >= left && x1 <= right && x2 >= left && x2 <= right && y1 >= top && y1 <= bottom && y2 >= top &&
           y2 <= bottom;
}

template <int Bytes>
inline void Put(uint8_t* p, uint32_t v) {
    if constexpr (Bytes == 1) *p = (uint8_t)v;
    else if constexpr (Bytes == 2) draw_Store16(p, (uint16_t)v);
    else draw_Store32(p, v);
}

// Bresenham from (x1, y1) to (x2, y2), both drawn, ends inside the surface:
// one pixel pointer moved by precomputed major and minor steps.
template <int Bytes, typename Plot>
void StepLine(const _DRAW_SURFACE& s, int32_t x1, int32_t y1, int32_t x2, int32_t y2, Plot plot) {
    int32_t dx = x2 >= x1 ? x2 - x1 : x1 - x2;
    int32_t dy = y2 >= y1 ? y2 - y1 : y1 - y2;
    const intptr_t row = s.bytesPerRow;
    intptr_t majorStep, minorStep;
    int32_t major, minor;
    if (dx <= dy) {
        if (y1 >= y2) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        major = dy;
        minor = dx;
        majorStep = row;
        minorStep = x2 >= x1 ? Bytes : -Bytes;
    } else {
        if (x1 >= x2) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        major = dx;
        minor = dy;
        majorStep = Bytes;
        minorStep = y2 >= y1 ? row : -row;
    }
    uint8_t* p = draw_PixelAt(s, x1, y1);
    int32_t count = major;
    int32_t error = major >> 1;
    for (;;) {
        plot(p);
        if (--count < 0) break;
        p += majorStep;
        error -= minor;
        if (error < 0) {
            p += minorStep;
            error += major;
        }
    }
}

// The same walk by coordinates, for the brush lines.
template <typename Visit>
void WalkLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Visit visit) {
    int64_t dx = x2 >= x1 ? (int64_t)x2 - x1 : (int64_t)x1 - x2;
    int64_t dy = y2 >= y1 ? (int64_t)y2 - y1 : (int64_t)y1 - y2;
    int64_t x, y, major, minor, ax, ay, bx, by;  // major step (ax, ay), minor step (bx, by)
    if (dx <= dy) {
        if (y1 >= y2) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        major = dy, minor = dx, ax = 0, ay = 1, bx = x2 >= x1 ? 1 : -1, by = 0;
    } else {
        if (x1 >= x2) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        major = dx, minor = dy, ax = 1, ay = 0, bx = 0, by = y2 >= y1 ? 1 : -1;
    }
    x = x1, y = y1;
    int64_t count = major, error = major >> 1;
    for (;;) {
        visit((int32_t)x, (int32_t)y);
        if (--count < 0) break;
        x += ax, y += ay;
        error -= minor;
        if (error < 0) {
            x += bx, y += by;
            error += major;
        }
    }
}

// Draws a line already clipped to the surface, solid in the slot's colour or
// shaded at the slot number's level; one loop per depth and kind.
void DrawClipped(int32_t x1, int32_t y1, int32_t x2, int32_t y2, bool shaded, int32_t slot) {
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    const DrawColourSlot& c = draw_Slot(slot);
    const int32_t level = slot & 31;
    switch (s.bytesPerPixel) {
    case 1:
        if (shaded) {
            const uint8_t* t = draw_Context.shadeTable;
            if (!t) return;
            StepLine<1>(s, x1, y1, x2, y2, [t, level](uint8_t* p) { *p = draw_Shade8(t, level, *p); });
        } else {
            const uint8_t v = c.index;
            StepLine<1>(s, x1, y1, x2, y2, [v](uint8_t* p) { *p = v; });
        }
        break;
    case 2:
        if (shaded) {
            StepLine<2>(s, x1, y1, x2, y2,
                        [level](uint8_t* p) { draw_Store16(p, draw_Shade16(level, draw_Load16(p))); });
        } else {
            const uint16_t v = c.value16;
            draw_Context.lastColour16 = v;
            StepLine<2>(s, x1, y1, x2, y2, [v](uint8_t* p) { draw_Store16(p, v); });
        }
        break;
    case 4:
        if (shaded) {
            const uint32_t factor = (uint32_t)level * 16;
            StepLine<4>(s, x1, y1, x2, y2,
                        [factor](uint8_t* p) { draw_Store32(p, draw_Scale32(draw_Load32(p), factor)); });
        } else {
            const uint32_t v = c.value32;
            draw_Context.lastColour32 = v;
            StepLine<4>(s, x1, y1, x2, y2, [v](uint8_t* p) { draw_Store32(p, v); });
        }
        break;
    }
}

// ---------------------------------------------------------------------------
// Rectangles on the current surface.

// Corners inclusive, cut to the clip box.
bool CutToBox(int64_t& x1, int64_t& y1, int64_t& x2, int64_t& y2, const DrawClipBox& b) {
    if (x1 < b.x1) x1 = b.x1;
    if (y1 < b.y1) y1 = b.y1;
    if (x2 > b.x2 - 1) x2 = b.x2 - 1;
    if (y2 > b.y2 - 1) y2 = b.y2 - 1;
    return x1 <= x2 && y1 <= y2;
}

void FillCurrent(int64_t x1, int64_t y1, int64_t x2, int64_t y2, uint32_t value) {
    DrawClipBox b;
    if (!draw_CurrentBox(&b) || !CutToBox(x1, y1, x2, y2, b)) return;
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    draw_FillRows(draw_PixelAt(s, (int32_t)x1, (int32_t)y1), s.bytesPerRow, s.bytesPerPixel, (int32_t)(x2 - x1 + 1),
                  (int32_t)(y2 - y1 + 1), value);
}

uint32_t CurrentSlotPixel() {
    const int32_t slot = draw_Context.colourSlot;
    const int32_t bpp = draw_CurrentSurface.bytesPerPixel;
    uint32_t v = draw_SlotPixel(slot, bpp);
    if (bpp == 2) draw_Context.lastColour16 = (uint16_t)v;
    if (bpp == 4) draw_Context.lastColour32 = v;
    return v;
}

// ---------------------------------------------------------------------------
// Circles.

// Midpoint walk: visit(x, y) gets the offsets of each step's eight points.
// The walk stops early once x has passed `reach`: from there every point
// lies farther than reach from the centre on both axes.
template <typename Eight>
void MidpointWalk(int64_t r, int64_t reach, Eight eight) {
    int64_t x = 0, y = r, d = 1 - r;
    eight(x, y);
    while (y >= x) {
        if (d < 0) {
            d += 2 * x + 3;
        } else {
            d += 2 * (x - y) + 5;
            y -= 1;
        }
        x += 1;
        // A radius of 0 steps to y = -1: its circle is the centre alone.
        if (y < 0 || x > reach + 1) return;
        eight(x, y);
    }
}

int64_t Reach(int64_t centre, int64_t low, int64_t high) {
    int64_t a = centre - low, b = high - centre;
    if (a < 0) a = -a;
    if (b < 0) b = -b;
    return a > b ? a : b;
}

template <int Bytes>
void CircleT(const DrawClipBox& b, int64_t cx, int64_t cy, int64_t r, uint32_t v) {
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    auto plot = [&](int64_t x, int64_t y) {
        if (x >= b.x1 && x < b.x2 && y >= b.y1 && y < b.y2) Put<Bytes>(draw_PixelAt(s, (int32_t)x, (int32_t)y), v);
    };
    int64_t reachX = Reach(cx, b.x1, b.x2), reachY = Reach(cy, b.y1, b.y2);
    MidpointWalk(r, reachX > reachY ? reachX : reachY, [&](int64_t x, int64_t y) {
        plot(cx + x, cy + y);
        plot(cx - x, cy + y);
        plot(cx + x, cy - y);
        plot(cx - x, cy - y);
        plot(cx + y, cy + x);
        plot(cx - y, cy + x);
        plot(cx + y, cy - x);
        plot(cx - y, cy - x);
    });
}

int32_t g_discLeft[DRAW_DISC_ROWS];
int32_t g_discRight[DRAW_DISC_ROWS];

// ---------------------------------------------------------------------------
// Brush lines.

struct BrushState {
    int32_t width, spacing, mode, phase, slot;
};
BrushState g_brush = {1, 1, 0, 1, 0};

void Brush(int32_t x, int32_t y) {
    const int32_t w = g_brush.width;
    if (w <= 0) return;
    int64_t x1 = (int64_t)x - (w >> 1), y1 = (int64_t)y - (w >> 1);
    int64_t x2 = x1 + w - 1, y2 = y1 + w - 1;
    if (!(g_brush.mode & DRAW_BRUSH_SHADED)) {
        FillCurrent(x1, y1, x2, y2, draw_SlotPixel(g_brush.slot, draw_CurrentSurface.bytesPerPixel));
        return;
    }
    DrawClipBox b;
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    if (s.bytesPerPixel == 4 || !draw_CurrentBox(&b) || !CutToBox(x1, y1, x2, y2, b)) return;
    draw_ShadeRows(draw_PixelAt(s, (int32_t)x1, (int32_t)y1), s.bytesPerRow, s.bytesPerPixel, (int32_t)(x2 - x1 + 1),
                   (int32_t)(y2 - y1 + 1), g_brush.slot >> 3, 0);
}

// ---------------------------------------------------------------------------
// Vector shapes.

int32_t g_penX, g_penY;

// A float truncated toward zero, kept within reach of 64-bit sums; NaN is 0.
int64_t TruncFloat(double v) {
    if (!(v == v)) return 0;
    if (v > 4.0e12) return (int64_t)4.0e12;
    if (v < -4.0e12) return (int64_t)-4.0e12;
    return (int64_t)v;
}

void WalkShape(const DrawShapeCommand* commands, int32_t x, int32_t y, int32_t slot, bool scaled, float scale) {
    if (!commands) return;
    for (int32_t i = 0; i < DRAW_SHAPE_MAX_COMMANDS; i++) {
        const DrawShapeCommand& c = commands[i];
        if (c.op == DRAW_SHAPE_END) return;
        if (c.op != DRAW_SHAPE_MOVE && c.op != DRAW_SHAPE_LINE) continue;
        int64_t dx = scaled ? TruncFloat((double)c.dx * scale) : c.dx;
        int64_t dy = scaled ? TruncFloat((double)c.dy * scale) : c.dy;
        int32_t nx = draw_Sat32(x + dx), ny = draw_Sat32(y + dy);
        if (c.op == DRAW_SHAPE_LINE) draw_ClipLineC(g_penX, g_penY, nx, ny, slot);
        g_penX = nx;
        g_penY = ny;
    }
}

// ---------------------------------------------------------------------------
// The 3D card.

uint32_t RedBlueSwapped(uint32_t c) { return (c & 0x00FF00u) | ((c >> 16) & 0xFFu) | ((c & 0xFFu) << 16); }

_HW3D_VERTEX CardVertex(int32_t x, int32_t y, uint32_t colour) {
    _HW3D_VERTEX v = {};
    v.x = (int32_t)((uint32_t)x << 7);
    v.y = (int32_t)((uint32_t)y << 7);
    v.weight = 256;
    v.colour = colour;
    return v;
}

void CardLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t vertexColour, int32_t slot, int32_t mode) {
    if (!hw3d_Descriptor.line) return;
    _HW3D_VERTEX a = CardVertex(x1, y1, vertexColour), b = CardVertex(x2, y2, vertexColour);
    hw3d_Descriptor.line(&a, &b, RedBlueSwapped(draw_Slot(slot).value32), mode, 0);
}

// Whether the card draws this primitive itself (its flag bit clear on a
// card surface).
bool CardDraws(int32_t bit) {
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    return s.hw3d && !(s.lockMask & bit);
}

// Whether software may draw it: always off the card, into the card's frame
// only while the driver grants access.
bool SoftwareMay(void) { return !draw_CurrentSurface.hw3d || hw3d_FrameAccess(); }

// ---------------------------------------------------------------------------
// Arcs.

int32_t ArcOffset(int32_t r, int32_t index) {
    float v = (float)r * draw_SineTable[index];
    return draw_Sat32(TruncFloat(v));
}

// Points at start, start + 8, ... below end, and the end itself, each
// joined to the one before by segment(x1, y1, x2, y2).
template <typename Segment>
void ArcWalk(int32_t cx, int32_t cy, int32_t r, int32_t startStep, int32_t endStep, Segment segment) {
    int32_t start = startStep & 511, end = endStep & 511;
    if (end < start) end += 512;
    if (start == end) return;
    auto point = [&](int32_t step, int32_t* x, int32_t* y) {
        int32_t i = step & 511;
        *x = draw_Sat32((int64_t)cx + ArcOffset(r, i));
        *y = draw_Sat32((int64_t)cy - ArcOffset(r, i + 128));
    };
    int32_t px, py, x, y;
    point(start, &px, &py);
    for (int32_t step = start + 8; step < end; step += 8) {
        point(step, &x, &y);
        segment(px, py, x, y);
        px = x, py = y;
    }
    point(end, &x, &y);
    segment(px, py, x, y);
}

// ---------------------------------------------------------------------------
// Mapped drawing space.

struct MapState {
    float p0x, p0y;  // P0
    float ax, ay;    // P1 - P0
    float bx, by;    // P3 - P0
    float cx, cy;    // P2 - P3 - P1 + P0
    float uMin, vMin, uMax, vMax;
};
MapState g_map = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 65536, 65536};

// Mapped and truncated end points; false when they are not numbers a
// line can take.
bool MapEnds(float ua, float va, float ub, float vb, int32_t out[4]) {
    float p[4];
    draw_MapPoint(&p[0], &p[1], ua, va);
    draw_MapPoint(&p[2], &p[3], ub, vb);
    for (int i = 0; i < 4; i++) {
        if (!std::isfinite(p[i])) return false;
        out[i] = draw_Sat32(TruncFloat(p[i]));
    }
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Current-surface primitives.

void draw_ClipLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    const bool shaded = draw_Context.lineShade != 0;
    draw_Context.lineShade = 0;
    DrawClipBox box;
    if (!draw_CurrentBox(&box) || !ClipEnds(x1, y1, x2, y2, box)) return;
    DrawClipped(x1, y1, x2, y2, shaded, draw_Context.colourSlot);
}

void draw_ClipLineC(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t slot) {
    draw_Context.colourSlot = (uint8_t)slot;
    draw_ClipLine(x1, y1, x2, y2);
}

void draw_PlotPixelClipped(int32_t x, int32_t y, int32_t value) {
    DrawClipBox b;
    if (!draw_CurrentBox(&b) || x < b.x1 || x >= b.x2 || y < b.y1 || y >= b.y2) return;
    *draw_PixelAt(draw_CurrentSurface, x, y) = (uint8_t)value;
}

void draw_RectOutline(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (!draw_CurrentSurface.base || !draw_SurfaceUsable(draw_CurrentSurface)) return;
    const uint32_t v = CurrentSlotPixel();
    FillCurrent(x1, y1, x2, y1, v);
    FillCurrent(x1, y2, x2, y2, v);
    FillCurrent(x1, y1, x1, y2, v);
    FillCurrent(x2, y1, x2, y2, v);
}

void draw_FillRectUnclipped(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (!draw_CurrentSurface.base || !draw_SurfaceUsable(draw_CurrentSurface)) return;
    FillCurrent(x1, y1, x2, y2, CurrentSlotPixel());
}

void draw_CircleMidpoint(int32_t cx, int32_t cy, int32_t r, int32_t slot) {
    DrawClipBox b;
    if (!draw_CurrentBox(&b)) return;
    const int64_t ar = r < 0 ? -(int64_t)r : r;
    if ((int64_t)cx + ar < b.x1 || (int64_t)cx - ar >= b.x2 || (int64_t)cy + ar < b.y1 || (int64_t)cy - ar >= b.y2)
        return;
    const int32_t bpp = draw_CurrentSurface.bytesPerPixel;
    const uint32_t v = draw_SlotPixel(slot, bpp);
    if (bpp == 1) CircleT<1>(b, cx, cy, r, v);
    else if (bpp == 2) CircleT<2>(b, cx, cy, r, v);
    else CircleT<4>(b, cx, cy, r, v);
}

void draw_CircleMidpointC(int32_t cx, int32_t cy, int32_t r, int32_t slot) { draw_CircleMidpoint(cx, cy, r, slot); }

void draw_FillDisc(int32_t cx, int32_t cy, int32_t r, int32_t slot) {
    DrawClipBox b;
    if (!draw_CurrentBox(&b)) return;
    int64_t top = (int64_t)cy - r, bottom = (int64_t)cy + r;
    if (top < b.y1) top = b.y1;
    if (bottom > b.y2 - 1) bottom = b.y2 - 1;
    if (bottom > DRAW_DISC_ROWS - 1) bottom = DRAW_DISC_ROWS - 1;
    if (top > bottom) return;
    for (int64_t row = top; row <= bottom; row++) g_discLeft[row] = g_discRight[row] = -1;
    // Points left or right of the clip box count at its edge, so that a disc
    // crossing a side still fills the rows inside.
    auto record = [&](int64_t x, int64_t y) {
        if (y < top || y > bottom) return;
        int32_t px = (int32_t)(x < b.x1 ? b.x1 : x > b.x2 ? b.x2 : x);
        int32_t& left = g_discLeft[y];
        int32_t& right = g_discRight[y];
        if (left < 0) {
            left = right = px;
        } else {
            if (px < left) left = px;
            if (px > right) right = px;
        }
    };
    MidpointWalk(r, Reach(cy, top, bottom), [&](int64_t x, int64_t y) {
        record(cx + x, cy + y);
        record(cx - x, cy + y);
        record(cx + x, cy - y);
        record(cx - x, cy - y);
        record(cx + y, cy + x);
        record(cx - y, cy + x);
        record(cx + y, cy - x);
        record(cx - y, cy - x);
    });
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    const uint32_t v = draw_SlotPixel(slot, s.bytesPerPixel);
    for (int64_t row = top; row <= bottom; row++) {
        int32_t left = g_discLeft[row], right = g_discRight[row];
        if (left < 0 || right <= left) continue;
        draw_FillRows(draw_PixelAt(s, left, (int32_t)row), s.bytesPerRow, s.bytesPerPixel, right - left, 1, v);
    }
}

void draw_BrushLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t slot, int32_t width, int32_t spacing,
                    int32_t mode) {
    g_brush.slot = slot;
    g_brush.width = width;
    g_brush.spacing = spacing;
    g_brush.mode = mode;
    if (mode & DRAW_BRUSH_RESTART) g_brush.phase = 0;
    else if (!(mode & DRAW_BRUSH_KEEP)) g_brush.phase = 1;
    DrawClipBox box;
    if (!draw_CurrentBox(&box) || !ClipEnds(x1, y1, x2, y2, box)) return;
    if (mode & DRAW_BRUSH_DASHED) draw_LineDashed(x1, y1, x2, y2);
    else draw_LinePlotted(x1, y1, x2, y2);
}

void draw_LinePlotted(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    WalkLine(x1, y1, x2, y2, [](int32_t x, int32_t y) {
        if (--g_brush.phase <= 0) {
            Brush(x, y);
            g_brush.phase = g_brush.spacing;
        }
    });
}

void draw_LineDashed(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    bool visible = true;
    int32_t counter = g_brush.spacing;
    WalkLine(x1, y1, x2, y2, [&](int32_t x, int32_t y) {
        if (visible) Brush(x, y);
        if (--counter <= 0) {
            visible = !visible;
            counter = g_brush.spacing;
        }
    });
}

void draw_VectorShape(const DrawShapeCommand* commands, int32_t x, int32_t y, int32_t slot) {
    WalkShape(commands, x, y, slot, false, 1.0f);
}

void draw_VectorShapeScaled(const DrawShapeCommand* commands, int32_t x, int32_t y, int32_t slot, float scale) {
    WalkShape(commands, x, y, slot, true, scale);
}

// ---------------------------------------------------------------------------
// Colour-slot entries.

void draw_Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t slot) {
    if (CardDraws(DSURF_SOFT_LINES)) {
        CardLine(x1, y1, x2, y2, 0xFF7F7F7Fu, slot, 4);
        // A card line goes with a card point up and left of its start.
        draw_Point(draw_Sat32((int64_t)x1 - 1), draw_Sat32((int64_t)y1 - 1), slot);
        return;
    }
    if (SoftwareMay()) draw_ClipLineC(x1, y1, x2, y2, slot);
}

void draw_Point(int32_t x, int32_t y, int32_t slot) {
    if (CardDraws(DSURF_SOFT_POINTS)) {
        CardLine(x, y, x, y, 0x7F7F7Fu, slot, 0x30000004);
        return;
    }
    if (SoftwareMay()) draw_ClipLineC(x, y, x, y, slot);
}

void draw_ArcSegments(int32_t cx, int32_t cy, int32_t r, int32_t slot, int32_t startStep, int32_t endStep) {
    if (CardDraws(DSURF_SOFT_ARCS)) {
        ArcWalk(cx, cy, r, startStep, endStep, [slot](int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
            CardLine(x1, y1, x2, y2, 0x7F7F7Fu, slot, 4);
        });
        return;
    }
    if (!SoftwareMay()) return;
    ArcWalk(cx, cy, r, startStep, endStep,
            [slot](int32_t x1, int32_t y1, int32_t x2, int32_t y2) { draw_ClipLineC(x1, y1, x2, y2, slot); });
}

void font_DrawStrokeTextC(const char* text, int32_t x, int32_t y, int32_t colour, int32_t flags) {
    font_DrawStrokeText(text, x, y, colour, flags | FONT_STROKE_SLOT_LINES);
}

// ---------------------------------------------------------------------------
// Mapped drawing space.

void draw_SetFloatClipWindow(FixScreenPoint p0, FixScreenPoint p1, FixScreenPoint p2, FixScreenPoint p3) {
    // Differences in double first: corners near the ends of the int32 range
    // must not wrap.
    g_map.p0x = (float)p0.x;
    g_map.p0y = (float)p0.y;
    g_map.ax = (float)((double)p1.x - p0.x);
    g_map.ay = (float)((double)p1.y - p0.y);
    g_map.bx = (float)((double)p3.x - p0.x);
    g_map.by = (float)((double)p3.y - p0.y);
    g_map.cx = (float)((double)p2.x - p3.x - p1.x + p0.x);
    g_map.cy = (float)((double)p2.y - p3.y - p1.y + p0.y);
    draw_SetFloatScale(0.0f, 0.0f, 65536.0f, 65536.0f);
}

void draw_SetFloatScale(float uMin, float vMin, float uMax, float vMax) {
    g_map.uMin = uMin;
    g_map.vMin = vMin;
    g_map.uMax = uMax;
    g_map.vMax = vMax;
}

void draw_MapPoint(float* outX, float* outY, float u, float v) {
    const float s = u / 65536.0f, t = v / 65536.0f;
    const float x = g_map.p0x + s * g_map.ax + t * g_map.bx + s * t * g_map.cx;
    const float y = g_map.p0y + s * g_map.ay + t * g_map.by + s * t * g_map.cy;
    if (outX) *outX = x / 128.0f;
    if (outY) *outY = y / 128.0f;
}

int32_t draw_ClipMappedLine(float* ua, float* va, float* ub, float* vb) {
    if (!ua || !va || !ub || !vb) return -1;
    // One bound at a time: a is the clipped coordinate, b the other one.
    auto pass = [](float& a1, float& b1, float& a2, float& b2, float bound, bool low) {
        const bool out1 = low ? a1 < bound : a1 > bound;
        const bool out2 = low ? a2 < bound : a2 > bound;
        if (out1 && out2) return false;
        if (out1) {
            b1 = b2 + (bound - a2) * (b1 - b2) / (a1 - a2);
            a1 = bound;
        } else if (out2) {
            b2 = b1 + (bound - a1) * (b2 - b1) / (a2 - a1);
            a2 = bound;
        }
        return true;
    };
    if (!pass(*ua, *va, *ub, *vb, g_map.uMin, true)) return -1;
    if (!pass(*ua, *va, *ub, *vb, g_map.uMax, false)) return -1;
    if (!pass(*va, *ua, *vb, *ub, g_map.vMin, true)) return -1;
    if (!pass(*va, *ua, *vb, *ub, g_map.vMax, false)) return -1;
    return 0;
}

int32_t draw_ClipLineF(int32_t ua, int32_t va, int32_t ub, int32_t vb, int32_t slot) {
    float a = (float)ua, b = (float)va, c = (float)ub, d = (float)vb;
    if (draw_ClipMappedLine(&a, &b, &c, &d) < 0) return -1;
    int32_t p[4];
    if (MapEnds(a, b, c, d, p)) draw_Line(p[0], p[1], p[2], p[3], slot);
    return 0;
}

int32_t draw_ClipShapeLine(int32_t ua, int32_t va, int32_t ub, int32_t vb, int32_t slot, int32_t width,
                           int32_t spacing, int32_t mode) {
    float a = (float)ua, b = (float)va, c = (float)ub, d = (float)vb;
    if (draw_ClipMappedLine(&a, &b, &c, &d) < 0) return -1;
    int32_t p[4];
    if (MapEnds(a, b, c, d, p)) draw_BrushLine(p[0], p[1], p[2], p[3], slot, width, spacing, mode);
    return 0;
}

void draw_Circle(int32_t cu, int32_t cv, int32_t r, int32_t slot) {
    int32_t pu = 0, pv = 0;
    for (int32_t step = 0; step <= 512; step += 8) {
        int32_t u = draw_Sat32((int64_t)cu + ArcOffset(r, step));
        int32_t v = draw_Sat32((int64_t)cv + ArcOffset(r, step + 128));
        if (step > 0) draw_ClipLineF(pu, pv, u, v, slot);
        pu = u, pv = v;
    }
}

void draw_Arc(int32_t cu, int32_t cv, int32_t r, int32_t slot, int32_t startStep, int32_t endStep) {
    ArcWalk(cu, cv, r, startStep, endStep,
            [slot](int32_t u1, int32_t v1, int32_t u2, int32_t v2) { draw_ClipLineF(u1, v1, u2, v2, slot); });
}
