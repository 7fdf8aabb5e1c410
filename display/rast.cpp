// Software polygon rasteriser: triangle set-up, gradients, edge walking and
// the choice of span loops.
#include "display/rast.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "display/draw_local.h"
#include "display/dsurf.h"
#include "display/span.h"
#include "display/vid.h"

PolySpanState poly_SpanState = {
    .shadeTable = nullptr,
    .shadeRows = 32,
    .blendTable = nullptr,
    .textureShiftU = 7,
    .textureShiftV = 7,
    .levelOffset = 0,
    .reverseWinding = 0,
    .renderFlags = 0,
    .rememberedWord = 0,
    .texture = nullptr,
    .dither = 0,
    .jitter = 0,
    .smearSeed = 0,
    .loadedShiftU = -1,
    .loadedShiftV = -1,
    .loadedLevelOffset = -1,
    .jitterStep = 0,
    .jitterMask = 0,
    .loadedMaster = nullptr,
    .loadedShade16 = nullptr,
    .loadedMask16 = 0,
};
int32_t poly_PixelMode = POLY_MODE_8;
uint32_t poly_RandomSeed = 0x2B0749C1u;
uint32_t poly_HazeColour = 0xC0D8F0u;

namespace {

const SpanTable* g_spanTable = &span_Table8;

// Corners further out than this (1/128 pixel, about 131000 pixels) are
// refused: the edge set-up's 64-bit products stay far from overflow.
constexpr int32_t kCoordLimit = 1 << 24;

// The triangle being drawn (one: the rasteriser is not re-entrant).
struct PolyTriangleRecord {
    const PolyVertex* top;
    const PolyVertex* middle;
    const PolyVertex* bottom;
    uint8_t* row;  // destination row pointer
    const uint8_t* texture;
    uint32_t flatColour;
    int32_t flatLevel;
    int32_t dudx, dvdx, dudy, dvdy;  // 1/65536 texture per pixel
    int32_t dsdx[3], dsdy[3];        // colour-word units (a level is 65536) per pixel
    SpanSetupFn setup;
    SpanRowsFn rows;  // row routine and edge stepper around the span loop
    SpanLoopFn loop;
    PolyEdge longEdge, upperEdge, lowerEdge;
    SpanParams span;
};
PolyTriangleRecord g_tri;

inline int64_t FloorDiv(int64_t a, int64_t b) {  // b > 0
    int64_t q = a / b;
    if ((a % b) != 0 && a < 0) q--;
    return q;
}

inline int32_t CeilRow(int32_t y) { return (int32_t)FloorDiv((int64_t)y + 127, 128); }

// To the nearest, halves away from zero (as lround, without the call): the
// truncation and the fraction it leaves are exact in this range.
inline int32_t RoundGradient(double g) {
    if (!(g > -2147483647.0)) return -2147483647;
    if (!(g < 2147483647.0)) return 2147483647;
    const int64_t t = (int64_t)g;
    const double f = g - (double)t;
    return (int32_t)(t + (f >= 0.5) - (f <= -0.5));
}

// The intensity fields in colour-word units (a level is 65536). Below 32
// bits the shade alone (bits 0-23: the haze amount in 24-31 is no part of
// the level the loops read); at 32 bits shade I, haze amount H, highlight K.
inline void IntensityFields(uint32_t colour, bool depth32, int64_t out[3]) {
    if (depth32) {
        out[0] = colour & 0x00FFFF00u;
        out[1] = (colour & 0xFFFF0000u) >> 8;
        out[2] = (int64_t)(colour & 0xFFu) << 16;
    } else {
        out[0] = colour & 0x00FFFFFFu;
        out[1] = out[2] = 0;
    }
}

// Sets up an edge from the upper corner P to the lower corner Q; false when
// it has no rows inside the clip.
bool SetupEdge(PolyEdge& e, const PolyVertex& P, const PolyVertex& Q, bool carries, int32_t clipTop,
               int32_t clipBottom, bool textured, int32_t nIntensity, bool depth32, uint32_t jitterBias) {
    int32_t first = CeilRow(P.y);
    if (first < clipTop) first = clipTop;
    int32_t end = CeilRow(Q.y);
    if (end > clipBottom) end = clipBottom;
    e.firstRow = first;
    e.rows = end - first;
    e.carries = carries;
    if (e.rows <= 0) {
        e.rows = 0;
        return false;
    }
    const int64_t dx = (int64_t)Q.x - P.x, dy = (int64_t)Q.y - P.y;  // dy > 0 here
    const int64_t den = dy * 128;
    const int64_t ey = (int64_t)first * 128 - P.y;
    // x at the first row's top, rounded up; the accumulator is the floor
    // remainder, so that each row's carry keeps x = ceil(exact x).
    const int64_t n = dx * ey + dy * P.x;
    const int64_t q = FloorDiv(n - 1, den);
    e.x = (int32_t)(q + 1);
    e.accumulator = (n - 1) - q * den;
    e.denominator = den;
    const int64_t step = FloorDiv(dx * 128, den);
    e.xStep = (int32_t)step;
    e.xRemainder = dx * 128 - step * den;
    if (!carries) return true;
    const int64_t ex = (int64_t)e.x * 128 - P.x;
    const PolyTriangleRecord& t = g_tri;
    if (textured) {
        int64_t u = P.u + (((int64_t)t.dudx * ex + (int64_t)t.dudy * ey) >> 7) - jitterBias;
        int64_t v = P.v + (((int64_t)t.dvdx * ex + (int64_t)t.dvdy * ey) >> 7) - jitterBias;
        e.u = (uint32_t)((uint64_t)u << 16);
        e.v = (uint32_t)((uint64_t)v << 16);
        e.uStep = (uint32_t)((uint64_t)(step * t.dudx + t.dudy) << 16);
        e.vStep = (uint32_t)((uint64_t)(step * t.dvdx + t.dvdy) << 16);
        e.uStepX = (uint32_t)t.dudx << 16;
        e.vStepX = (uint32_t)t.dvdx << 16;
    }
    int64_t fields[3];
    IntensityFields(P.colour, depth32, fields);
    if (!depth32) fields[0] &= 0x00FFFF00;  // the start is the 16-bit shade field
    for (int k = 0; k < 3; k++) {
        if (k < nIntensity) {
            int64_t s = fields[k] + (((int64_t)t.dsdx[k] * ex + (int64_t)t.dsdy[k] * ey) >> 7);
            e.intensity[k] = (int32_t)(s >> 8);
            e.intensityStep[k] = (int32_t)((step * t.dsdx[k] + t.dsdy[k]) >> 8);
            e.intensityStepX[k] = t.dsdx[k] >> 8;
        } else {
            e.intensity[k] = e.intensityStep[k] = e.intensityStepX[k] = 0;
        }
    }
    return true;
}

// The set number for the render flags (a table may lack it).
int32_t SelectSet(uint32_t flags, bool jitter) {
    if (flags & POLY_TEXTURED) {
        if (flags & POLY_TRANSPARENT) {
            if (flags & POLY_BLEND) return 6;
            return jitter ? 3 : 1;
        }
        if (flags & POLY_TRANSLUCENT) return jitter ? 4 : 7;
        if (flags & POLY_BLEND) return 5;
        if (jitter) return 2;
        if (flags & POLY_ALPHA_TEXEL) return 13;
        if (flags & POLY_ALPHA_COLOUR) return 17;
        if (flags & POLY_MIX) return 18;
        if (flags & POLY_ADD) return 19;
        if (flags & POLY_ADD_SCALED) return 20;
        if (flags & POLY_COPY16) return 14;
        if (flags & POLY_NO_DRAW) return 16;
        return 0;
    }
    if (flags & POLY_TRANSLUCENT) return 12;
    if (flags & POLY_DARKEN) return 9;
    if (flags & POLY_SMEAR) return 10;
    if (flags & POLY_BLEND) return 11;
    if (flags & POLY_CHANNEL) return 15;
    return 8;
}

// max(|a|, |b|) + 5/16 min(|a|, |b|).
inline int64_t ApproxLength(int64_t a, int64_t b) {
    a = std::llabs(a);
    b = std::llabs(b);
    return a > b ? a + (b * 5 >> 4) : b + (a * 5 >> 4);
}

}  // namespace

void poly_ResetState(void) {
    PolySpanState& s = poly_SpanState;
    s.jitter = 0;
    s.levelOffset = 0;
    s.loadedShiftU = s.loadedShiftV = s.loadedLevelOffset = -1;
    s.jitterStep = s.jitterMask = 0;
    s.loadedMaster = nullptr;
    s.loadedShade16 = nullptr;
    s.loadedMask16 = 0;
}

void poly_SetPixelMode(int32_t mode) {
    switch (mode) {
    case POLY_MODE_8: g_spanTable = &span_Table8; break;
    case POLY_MODE_8_MMX: g_spanTable = &span_TableMmx8; break;
    case POLY_MODE_16: g_spanTable = &span_Table16; break;
    case POLY_MODE_32: g_spanTable = &span_Table32; break;
    default: poly_ResetState(); return;
    }
    poly_PixelMode = mode;
    poly_ResetState();
}

int32_t poly_SelectPixelMode(int32_t useMmx) {
    int32_t bits = vid_State.bitsPerPixel;
    int32_t mode = bits == 32 ? POLY_MODE_32 : bits == 16 ? POLY_MODE_16 : useMmx ? POLY_MODE_8_MMX : POLY_MODE_8;
    poly_SetPixelMode(mode);
    return mode;
}

uint32_t poly_NextRandom(void) {
    poly_RandomSeed = span_Random(poly_RandomSeed);
    return poly_RandomSeed;
}

void poly_SetHazeColourA(int32_t red, int32_t green, int32_t blue) {
    poly_HazeColour = ((uint32_t)red & 0xFF) << 16 | ((uint32_t)green & 0xFF) << 8 | ((uint32_t)blue & 0xFF);
}

void poly_DrawPolygonTex(const PolyVertex* a, const PolyVertex* b, const PolyVertex* c, uint8_t* destination,
                         uintptr_t colour, uint32_t flags) {
    poly_SpanState.renderFlags = flags;
    poly_DrawPolygon(a, b, c, destination, colour);
}

void poly_DrawPolygonC(const PolyVertex* a, const PolyVertex* b, const PolyVertex* c, uint8_t* destination,
                       uintptr_t colour) {
    poly_DrawPolygon(a, b, c, destination, colour);
}

void poly_DrawPolygon(const PolyVertex* a, const PolyVertex* b, const PolyVertex* c, uint8_t* destination,
                      uintptr_t colour) {
    if (!destination || !a || !b || !c) return;
    PolySpanState& st = poly_SpanState;
    PolyTriangleRecord& t = g_tri;
    const SpanTable& table = *g_spanTable;
    const _DRAW_SURFACE& surf = draw_CurrentSurface;
    st.jitter = 0x1460000;

    // The loops write pixels of the mode's size: on a surface of another
    // depth they would run past the rows.
    // The clip is cut to the pixels a row holds, as for the 2D primitives.
    DrawClipBox box;
    if (surf.bytesPerPixel != table.bytesPerPixel || !draw_SurfaceBox(surf, &box)) return;
    const int32_t clipX1 = box.x1, clipY1 = box.y1, clipX2 = box.x2, clipY2 = box.y2;

    const uint32_t flags = st.renderFlags;
    const bool textured = (flags & POLY_TEXTURED) != 0;
    const bool depth32 = table.bytesPerPixel == 4;
    if (textured) {
        t.texture = reinterpret_cast<const uint8_t*>(colour);
        st.texture = t.texture;
    } else {
        t.flatColour = (uint32_t)colour;
    }
    // The 32-bit loops' second word.
    uint32_t second;
    if (flags & (POLY_TRANSLUCENT | POLY_ALPHA_COLOUR)) {
        second = st.rememberedWord;
    } else if (flags & (POLY_ADD_SCALED | POLY_MIX)) {
        second = st.rememberedWord << 8;
    } else {
        second = (uint32_t)colour;
        st.rememberedWord = second;
    }

    for (const PolyVertex* p : {a, b, c})
        if (p->x < -kCoordLimit || p->x > kCoordLimit || p->y < -kCoordLimit || p->y > kCoordLimit) return;

    // Sort by y; the parity of the swaps and the winding flag say on which
    // side the middle corner lies.
    const PolyVertex* s0 = a;
    const PolyVertex* s1 = b;
    const PolyVertex* s2 = c;
    int swaps = 0;
    if (s1->y < s0->y) { std::swap(s0, s1); swaps++; }
    if (s2->y < s1->y) { std::swap(s1, s2); swaps++; }
    if (s1->y < s0->y) { std::swap(s0, s1); swaps++; }
    t.top = s0;
    t.middle = s1;
    t.bottom = s2;
    const bool middleRight = ((swaps & 1) == 0) != (st.reverseWinding != 0);

    // Plane fit: top A, middle B, bottom C, in pixels.
    const double x0 = ((double)s0->x - s2->x) / 128.0, y0 = ((double)s0->y - s2->y) / 128.0;
    const double x1 = ((double)s1->x - s2->x) / 128.0, y1 = ((double)s1->y - s2->y) / 128.0;
    const double D = x1 * y0 - x0 * y1;
    if (D == 0.0) return;  // no area: nothing to draw, and no gradients
    auto gradX = [&](double qa, double qb, double qc) { return RoundGradient(((qb - qc) * y0 - (qa - qc) * y1) / D); };
    auto gradY = [&](double qa, double qb, double qc) {
        return RoundGradient(-((qb - qc) * x0 - (qa - qc) * x1) / D);
    };

    // Haze amount and highlight count when some corner has them at 8 or more.
    bool hazeInUse = false, highlightInUse = false;
    if (depth32) {
        for (const PolyVertex* p : {a, b, c}) {
            if ((p->colour >> 24) >= 8) hazeInUse = true;
            if ((p->colour & 0xFF) >= 8) highlightInUse = true;
        }
    }

    t.dudx = t.dvdx = t.dudy = t.dvdy = 0;
    if (textured) {
        t.dudx = gradX(s0->u, s1->u, s2->u);
        t.dudy = gradY(s0->u, s1->u, s2->u);
        t.dvdx = gradX(s0->v, s1->v, s2->v);
        t.dvdy = gradY(s0->v, s1->v, s2->v);
    }
    const bool gouraud = (flags & POLY_GOURAUD) != 0;
    const bool flatShade = !gouraud && (flags & POLY_FLAT_SHADE) != 0;
    const int32_t nIntensity = gouraud ? (depth32 ? 3 : 1) : 0;
    for (int k = 0; k < 3; k++) t.dsdx[k] = t.dsdy[k] = 0;
    if (gouraud) {
        int64_t fa[3], fb[3], fc[3];
        IntensityFields(s0->colour, depth32, fa);
        IntensityFields(s1->colour, depth32, fb);
        IntensityFields(s2->colour, depth32, fc);
        for (int k = 0; k < nIntensity; k++) {
            t.dsdx[k] = gradX((double)fa[k], (double)fb[k], (double)fc[k]);
            t.dsdy[k] = gradY((double)fa[k], (double)fb[k], (double)fc[k]);
        }
    }

    // Jitter, unless the texture is minified (three quarters of a texel a
    // pixel or more); at 32 bits not with the highlight either.
    const int32_t su = st.textureShiftU < 0 ? 0 : st.textureShiftU > 16 ? 16 : st.textureShiftU;
    bool jitter = textured && (flags & POLY_JITTER) != 0;
    if (jitter) {
        int64_t sx = ApproxLength(t.dudx, t.dvdx), sy = ApproxLength(t.dudy, t.dvdy);
        if ((std::min(sx, sy) << su) > 0xC000) jitter = false;
        if (depth32 && highlightInUse) jitter = false;
    }

    // The flat level is the first corner's.
    t.flatLevel = (int32_t)((a->colour >> 16) & 0xFF);
    const int32_t setNumber = SelectSet(flags, jitter);
    if (setNumber >= table.count) return;  // not used in this mode
    const SpanSet& set = table.sets[setNumber];
    int32_t pairNumber = 0;
    if (gouraud)
        pairNumber = depth32 ? 2 + (hazeInUse ? 1 : 0) + (highlightInUse ? 2 : 0) : 2;
    else if (flatShade)
        pairNumber = 1;
    const SpanPair& pair = set.pairs[pairNumber];
    if (!pair.loop) return;  // this pair draws nothing
    t.setup = set.setup;
    t.rows = pair.rows;
    t.loop = pair.loop;

    SpanParams& p = t.span;
    p.texture = t.texture;
    p.colour = t.flatColour;
    p.second = second;
    p.level = t.flatLevel;
    p.dither = st.dither;
    p.clipX1 = clipX1;
    p.clipX2 = clipX2;
    p.dudx = (uint32_t)t.dudx << 16;
    p.dvdx = (uint32_t)t.dvdx << 16;
    for (int k = 0; k < 3; k++) p.dIntensity[k] = t.dsdx[k] >> 8;
    if (setNumber == 10) st.smearSeed = poly_NextRandom();
    p.smearSeed = st.smearSeed;
    if (t.setup(p, pair.needs | (textured ? SPAN_NEEDS_TEXTURE : 0u)) != 0) return;
    p.jitter = st.jitter;
    // At 8 bits an unshaded-loop flat fill takes its colour from the shade
    // table at the flat level.
    if (setNumber == 8 && pairNumber == 1 && table.bytesPerPixel == 1) {
        if (!p.shade) return;
        p.colour = p.shade[(int32_t)std::min(t.flatLevel, p.shadeMaxRow) * 256 + (p.colour & 0xFF)];
    }

    // Edges: the long edge, top to bottom, and the two short ones. The left
    // edges carry the attributes.
    int32_t lvl = st.levelOffset;
    int32_t e = su - (lvl < 0 ? 0 : lvl);
    uint32_t bias = 0;
    if (jitter && e <= 15) bias = 1u << (15 - (e < 0 ? 0 : e));
    PolyEdge& longEdge = t.longEdge;
    PolyEdge& upper = t.upperEdge;
    PolyEdge& lower = t.lowerEdge;
    if (!SetupEdge(longEdge, *s0, *s2, middleRight, clipY1, clipY2, textured, nIntensity, depth32, bias)) return;
    SetupEdge(upper, *s0, *s1, !middleRight, clipY1, clipY2, textured, nIntensity, depth32, bias);
    SetupEdge(lower, *s1, *s2, !middleRight, clipY1, clipY2, textured, nIntensity, depth32, bias);

    const intptr_t pitch = surf.bytesPerRow;
    t.row = destination + (intptr_t)longEdge.firstRow * pitch;
    for (PolyEdge* shortEdge : {&upper, &lower}) {
        if (shortEdge->rows <= 0) continue;
        PolyEdge& left = middleRight ? longEdge : *shortEdge;
        PolyEdge& right = middleRight ? *shortEdge : longEdge;
        t.rows(p, left, right, shortEdge->rows, t.row, pitch);
        t.row += (intptr_t)shortEdge->rows * pitch;
    }
    st.jitter = p.jitter;
    st.dither = p.dither;
    st.smearSeed = p.smearSeed;
}
