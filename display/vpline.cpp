// Viewport line primitives.
#include "display/vpline.h"

#include <cmath>
#include <cstring>

#include "display/clip.h"
#include "display/evp.h"

VpColourWords vp_Colours;

namespace {

// Inclusive bounds that may be written: the viewport's clip box cut to its
// buffer. False when there is nothing to draw on.
struct Box {
    int64_t x1, y1, x2, y2;
};

bool WriteBox(Box* b) {
    const _EVP& v = evp_Current;
    if (!v.base || !v.rowTable || v.width < 1 || v.rows < 1) return false;
    b->x1 = v.clipX1 > 0 ? v.clipX1 : 0;
    b->y1 = v.clipY1 > 0 ? v.clipY1 : 0;
    b->x2 = v.clipX2 < v.width - 1 ? v.clipX2 : v.width - 1;
    b->y2 = v.clipY2 < v.rows - 1 ? v.clipY2 : v.rows - 1;
    return b->x1 <= b->x2 && b->y1 <= b->y2;
}

template <int Bytes>
inline void Put(int64_t x, int64_t y, uint32_t colour) {
    uint8_t* p = evp_Current.rowTable[y] + x * Bytes;
    if constexpr (Bytes == 1) {
        *p = (uint8_t)colour;
    } else {
        uint16_t v = (uint16_t)colour;
        memcpy(p, &v, 2);
    }
}

template <int Bytes>
void PlotIn(const Box& b, int64_t x, int64_t y, uint32_t colour) {
    if (x >= b.x1 && x <= b.x2 && y >= b.y1 && y <= b.y2) Put<Bytes>(x, y, colour);
}

// Bresenham from (x1, y1): the error starts at the major length, each step
// takes twice the minor length off and adds twice the major length back
// with a minor step; max(|dx|, |dy|) pixels, the end left out. Steps whose
// major coordinate lies outside the box are skipped by working out the walk
// at the first visible step directly, so far-off ends cost nothing.
template <int Bytes>
void Walk(const Box& b, int64_t x1, int64_t y1, int64_t x2, int64_t y2, uint32_t colour) {
    if (x1 == x2 && y1 == y2) {
        PlotIn<Bytes>(b, x1, y1, colour);
        return;
    }
    const int64_t dx = x2 - x1, dy = y2 - y1;
    const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const bool xMajor = adx > ady;
    const int64_t M = xMajor ? adx : ady, m = xMajor ? ady : adx;
    const int64_t sa = (xMajor ? dx : dy) < 0 ? -1 : 1, sb = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const int64_t a0 = xMajor ? x1 : y1, b0 = xMajor ? y1 : x1;
    const int64_t aLo = xMajor ? b.x1 : b.y1, aHi = xMajor ? b.x2 : b.y2;
    const int64_t bLo = xMajor ? b.y1 : b.x1, bHi = xMajor ? b.y2 : b.x2;

    int64_t kLo = sa > 0 ? aLo - a0 : a0 - aHi;
    int64_t kHi = sa > 0 ? aHi - a0 : a0 - aLo;
    if (kLo < 0) kLo = 0;
    if (kHi > M - 1) kHi = M - 1;
    if (kLo > kHi) return;

    // After k steps the walk has made ceil((2km - M) / 2M) minor steps and
    // its error is M - 2km + 2M x that, in [0, 2M).
    const __int128 num = (__int128)2 * kLo * m - M;
    const int64_t minorSteps = num <= 0 ? 0 : (int64_t)((num + 2 * (__int128)M - 1) / (2 * (__int128)M));
    int64_t error = (int64_t)((__int128)M - (__int128)2 * kLo * m + (__int128)2 * M * minorSteps);
    int64_t a = a0 + sa * kLo, bb = b0 + sb * minorSteps;
    for (int64_t k = kLo; k <= kHi; k++) {
        if (sb > 0 ? bb > bHi : bb < bLo) break;
        if (bb >= bLo && bb <= bHi) {
            if (xMajor) Put<Bytes>(a, bb, colour);
            else Put<Bytes>(bb, a, colour);
        }
        a += sa;
        error -= 2 * m;
        if (error < 0) {
            bb += sb;
            error += 2 * M;
        }
    }
}

void LineIn(int64_t x1, int64_t y1, int64_t x2, int64_t y2, uint32_t colour) {
    Box b;
    if (!WriteBox(&b)) return;
    if (evp_Current.bytesPerPixel == 1) Walk<1>(b, x1, y1, x2, y2, colour);
    else if (evp_Current.bytesPerPixel == 2) Walk<2>(b, x1, y1, x2, y2, colour);
}

// The other coordinate where the line from the kept end (ao, bo) to the end
// (at, bt) beyond the bound meets a = bound.
int32_t Cut(int64_t ao, int64_t bo, int64_t at, int64_t bt, int64_t bound) {
    __int128 num = (__int128)(bound - ao) * (bt - bo);
    return (int32_t)(bo + (int64_t)(num / (at - ao)));
}

// One bound: `beyond` tells whether a coordinate lies past it; a1/a2 are the
// clipped coordinates, b1/b2 the others.
template <typename Beyond>
int32_t ClipOne(int32_t* a1, int32_t* b1, int32_t* a2, int32_t* b2, int32_t bound, Beyond beyond) {
    if (!a1 || !b1 || !a2 || !b2) return -1;
    const bool out1 = beyond(*a1), out2 = beyond(*a2);
    if (out1 && out2) return -1;
    if (out1) {
        *b1 = Cut(*a2, *b2, *a1, *b1, bound);
        *a1 = bound;
    } else if (out2) {
        *b2 = Cut(*a1, *b1, *a2, *b2, bound);
        *a2 = bound;
    }
    return 0;
}

bool Finite(const MathVec3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace

void vp_Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) { LineIn(x1, y1, x2, y2, vp_Colours.line); }

void vp_ClipLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (vp_ClipLineLeft(&x1, &y1, &x2, &y2) < 0) return;
    if (vp_ClipLineRight(&x1, &y1, &x2, &y2) < 0) return;
    if (vp_ClipLineTop(&x1, &y1, &x2, &y2) < 0) return;
    if (vp_ClipLineBottom(&x1, &y1, &x2, &y2) < 0) return;
    vp_Line(x1, y1, x2, y2);
}

int32_t vp_ClipLineLeft(int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2) {
    const int32_t bound = evp_Current.clipX1;
    return ClipOne(x1, y1, x2, y2, bound, [bound](int32_t v) { return v < bound; });
}

int32_t vp_ClipLineRight(int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2) {
    const int32_t bound = evp_Current.clipX2;
    return ClipOne(x1, y1, x2, y2, bound, [bound](int32_t v) { return v > bound; });
}

int32_t vp_ClipLineTop(int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2) {
    const int32_t bound = evp_Current.clipY1;
    return ClipOne(y1, x1, y2, x2, bound, [bound](int32_t v) { return v < bound; });
}

int32_t vp_ClipLineBottom(int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2) {
    const int32_t bound = evp_Current.clipY2;
    return ClipOne(y1, x1, y2, x2, bound, [bound](int32_t v) { return v > bound; });
}

void vp_Line3D(const MathVec3* a, const MathVec3* b) {
    if (!a || !b || !Finite(*a) || !Finite(*b)) return;
    PolyClipPoint3 pa = {a->x, a->y, a->z}, pb = {b->x, b->y, b->z}, cut;
    int32_t r = poly_ClipSegmentNear(&pa, &pb, 1.0f, &cut);
    if (r < 0) return;
    if (r == 1) pa = cut;
    else if (r == 2) pb = cut;
    MathVec3 va = {pa.x, pa.y, pa.z}, vb = {pb.x, pb.y, pb.z};
    int32_t sa[2], sb[2];
    if (!Finite(va) || !Finite(vb) || math_ProjectPoint(&va, sa) < 0 || math_ProjectPoint(&vb, sb) < 0) return;
    vp_ClipLine(sa[0], sa[1], sb[0], sb[1]);
}

void vp_Line3DWorld(const MathVec3* a, const MathVec3* b, const MathFrame* camera) {
    if (!a || !b || !camera) return;
    MathVec3 va, vb;
    math_FramePointToLocal(camera, a, &va);
    math_FramePointToLocal(camera, b, &vb);
    vp_Line3D(&va, &vb);
}

int32_t vp_ClipRect(int32_t* x, int32_t* y, int32_t* w, int32_t* h) {
    if (!x || !y || !w || !h) return -1;
    const _EVP& v = evp_Current;
    int64_t X = *x, Y = *y, W = *w, H = *h;
    if (W < 1 || H < 1 || X > v.clipX2 || Y > v.clipY2 || X + W < v.clipX1 || Y + H < v.clipY1) return -1;
    if (X < v.clipX1) {
        W -= v.clipX1 - X;
        X = v.clipX1;
    }
    if (Y < v.clipY1) {
        H -= v.clipY1 - Y;
        Y = v.clipY1;
    }
    if (X + W > v.clipX2) W = v.clipX2 - X;
    if (Y + H > v.clipY2) H = v.clipY2 - Y;
    *x = (int32_t)X, *y = (int32_t)Y, *w = (int32_t)W, *h = (int32_t)H;
    return 0;
}

void vp_RectOutline(int32_t x, int32_t y, int32_t w, int32_t h) {
    if (vp_ClipRect(&x, &y, &w, &h) < 0) return;
    vp_Colours.line = vp_Colours.rect;
    vp_Line(x, y, x + w, y);
    vp_Line(x + w, y, x + w, y + h);
    vp_Line(x + w, y + h, x, y + h);
    vp_Line(x, y + h, x, y);
}

void vp_FillRect(int32_t x, int32_t y, int32_t w, int32_t h) {
    if (vp_ClipRect(&x, &y, &w, &h) < 0) return;
    Box b;
    if (!WriteBox(&b)) return;
    const int32_t bpp = evp_Current.bytesPerPixel;
    if (bpp != 1 && bpp != 2) return;
    int64_t x1 = x > b.x1 ? x : b.x1, x2 = (int64_t)x + w - 1 < b.x2 ? (int64_t)x + w - 1 : b.x2;
    int64_t y1 = y > b.y1 ? y : b.y1, y2 = (int64_t)y + h - 1 < b.y2 ? (int64_t)y + h - 1 : b.y2;
    const uint32_t colour = vp_Colours.rect;
    for (int64_t row = y1; row <= y2 && x1 <= x2; row++) {
        uint8_t* p = evp_Current.rowTable[row] + x1 * bpp;
        if (bpp == 1) {
            memset(p, (int)(colour & 0xFF), (size_t)(x2 - x1 + 1));
        } else {
            const uint16_t v = (uint16_t)colour;
            for (int64_t i = x1; i <= x2; i++, p += 2) memcpy(p, &v, 2);
        }
    }
}

void vp_Point(int32_t x, int32_t y) {
    Box b;
    if (!WriteBox(&b)) return;
    if (evp_Current.bytesPerPixel == 1) PlotIn<1>(b, x, y, vp_Colours.point);
    else if (evp_Current.bytesPerPixel == 2) PlotIn<2>(b, x, y, vp_Colours.point);
}

void vp_Point3D(const MathVec3* p) {
    if (!p || !Finite(*p) || !(p->z > 1.0f)) return;
    int32_t s[2];
    if (math_ProjectPoint(p, s) < 0) return;
    vp_Point(s[0], s[1]);
}

void vp_Point3DWorld(const MathVec3* p, const MathFrame* camera) {
    if (!p || !camera) return;
    MathVec3 v;
    math_FramePointToLocal(camera, p, &v);
    vp_Point3D(&v);
}
