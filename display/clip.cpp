// Polygon clipper and depth-plane segment clipper.
#include "display/clip.h"

#include <cmath>

namespace {

// Axis 0 clips x, axis 1 clips y; Max selects the <= bound sense.
template <int Axis, bool Max>
inline float Coord(const PolyClipVertex& v) {
    return Axis == 0 ? v.x : v.y;
}

template <int Axis, bool Max>
inline bool Inside(const PolyClipVertex& v, float bound) {
    float c = Coord<Axis, Max>(v);
    return Max ? c <= bound : c >= bound;
}

// The point where the edge previous -> current crosses the bound: the clipped
// coordinate is the bound exactly, the other five floats are interpolated.
template <int Axis, bool Max>
void Intersect(const PolyClipVertex& p, const PolyClipVertex& c, PolyClipVertex& out, float bound) {
    float pc = Coord<Axis, Max>(p);
    float t = (bound - pc) / (Coord<Axis, Max>(c) - pc);
    float s = 1.0f - t;
    PolyClipVertex r;
    r.x = s * p.x + t * c.x;
    r.y = s * p.y + t * c.y;
    r.u = s * p.u + t * c.u;
    r.v = s * p.v + t * c.v;
    r.shade = s * p.shade + t * c.shade;
    r.depth = s * p.depth + t * c.depth;
    if (Axis == 0)
        r.x = bound;
    else
        r.y = bound;
    out = r;
}

template <int Axis, bool Max>
int32_t ClipEdge(const PolyClipVertex* previous, const PolyClipVertex* current, PolyClipVertex* out, float bound) {
    if (!previous || !current || !out) return POLY_EDGE_OUTSIDE;
    bool pin = Inside<Axis, Max>(*previous, bound);
    bool cin = Inside<Axis, Max>(*current, bound);
    if (pin && cin) return POLY_EDGE_INSIDE;
    if (!pin && !cin) return POLY_EDGE_OUTSIDE;
    Intersect<Axis, Max>(*previous, *current, *out, bound);
    return cin ? POLY_EDGE_ENTERS : POLY_EDGE_LEAVES;
}

template <int Axis, bool Max>
int32_t ClipPass(int32_t count, const PolyClipVertex* in, PolyClipVertex* out, float bound) {
    if (count <= 0 || !in || !out) return 0;
    // The caller's array holds count + 1: a polygon made slightly concave by
    // rounding could otherwise gain more than one vertex and overrun it.
    const int32_t room = count + 1;
    int32_t n = 0;
    const PolyClipVertex* previous = &in[count - 1];
    for (int32_t i = 0; i < count; i++) {
        const PolyClipVertex* current = &in[i];
        PolyClipVertex cut;
        switch (ClipEdge<Axis, Max>(previous, current, &cut, bound)) {
        case POLY_EDGE_INSIDE:
            if (n < room) out[n++] = *current;
            break;
        case POLY_EDGE_ENTERS:
            if (n < room) out[n++] = cut;
            if (n < room) out[n++] = *current;
            break;
        case POLY_EDGE_LEAVES:
            if (n < room) out[n++] = cut;
            break;
        default:
            break;
        }
        previous = current;
    }
    return n;
}

// Far mirrors every comparison of Near; the cut point is the same formula.
template <bool Far>
int32_t ClipSegment(const PolyClipPoint3* a, const PolyClipPoint3* b, float plane, PolyClipPoint3* out) {
    if (!a || !b || !out) return -1;
    float da = Far ? plane - a->z : a->z - plane;
    float db = Far ? plane - b->z : b->z - plane;
    // A difference whose sign bit is clear counts as kept (so -0 does not).
    bool aIn = !std::signbit(da);
    bool bIn = !std::signbit(db);
    if (aIn && bIn) return 0;
    if (!aIn && !bIn) return -1;
    float dx = b->x - a->x, dy = b->y - a->y, dz = b->z - a->z;
    if (dz == 0.0f) dz = 0.0001f;
    if (aIn) {
        float s = (a->z - plane) / dz;
        *out = PolyClipPoint3{a->x - s * dx, a->y - s * dy, plane};
        return 2;
    }
    float s = (b->z - plane) / dz;
    *out = PolyClipPoint3{b->x - s * dx, b->y - s * dy, plane};
    return 1;
}

}  // namespace

int32_t poly_ClipXMin(int32_t count, const PolyClipVertex* in, PolyClipVertex* out, float bound) {
    return ClipPass<0, false>(count, in, out, bound);
}
int32_t poly_ClipXMax(int32_t count, const PolyClipVertex* in, PolyClipVertex* out, float bound) {
    return ClipPass<0, true>(count, in, out, bound);
}
int32_t poly_ClipYMin(int32_t count, const PolyClipVertex* in, PolyClipVertex* out, float bound) {
    return ClipPass<1, false>(count, in, out, bound);
}
int32_t poly_ClipYMax(int32_t count, const PolyClipVertex* in, PolyClipVertex* out, float bound) {
    return ClipPass<1, true>(count, in, out, bound);
}

int32_t poly_ClipEdgeXMin(const PolyClipVertex* previous, const PolyClipVertex* current, PolyClipVertex* out,
                          float bound) {
    return ClipEdge<0, false>(previous, current, out, bound);
}
int32_t poly_ClipEdgeXMax(const PolyClipVertex* previous, const PolyClipVertex* current, PolyClipVertex* out,
                          float bound) {
    return ClipEdge<0, true>(previous, current, out, bound);
}
int32_t poly_ClipEdgeYMin(const PolyClipVertex* previous, const PolyClipVertex* current, PolyClipVertex* out,
                          float bound) {
    return ClipEdge<1, false>(previous, current, out, bound);
}
int32_t poly_ClipEdgeYMax(const PolyClipVertex* previous, const PolyClipVertex* current, PolyClipVertex* out,
                          float bound) {
    return ClipEdge<1, true>(previous, current, out, bound);
}

int32_t poly_ClipSegmentNear(const PolyClipPoint3* a, const PolyClipPoint3* b, float plane, PolyClipPoint3* out) {
    return ClipSegment<false>(a, b, plane, out);
}
int32_t poly_ClipSegmentFar(const PolyClipPoint3* a, const PolyClipPoint3* b, float plane, PolyClipPoint3* out) {
    return ClipSegment<true>(a, b, plane, out);
}
