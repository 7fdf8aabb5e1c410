// Polygon clipper: cuts a screen-space polygon of attributed vertices against
// one axis-aligned bound per pass (Sutherland-Hodgman), and a 3D segment
// against a plane of constant depth. The world renderer runs the four passes
// with the current surface's clip rectangle in 1/128 pixel before handing the
// polygon to the rasteriser.
#pragma once
#include <cstdint>

// x and y, then four attributes carried along (u, v, shade and depth as the
// caller uses them). Every float but the clipped coordinate is interpolated.
struct PolyClipVertex {
    float x, y;
    float u, v, shade, depth;
};

struct PolyClipPoint3 {
    float x, y, z;
};

// One pass each: inside is x >= bound (XMin), x <= bound (XMax), y >= bound
// (YMin), y <= bound (YMax); a vertex on the bound is inside. Reads count
// vertices from in, writes the clipped polygon to out and returns its count
// (0 when wholly outside). out must hold count + 1 vertices, and a pass never
// writes more than that (a convex polygon gains at most one vertex a pass).
int32_t poly_ClipXMin(int32_t count, const PolyClipVertex* in, PolyClipVertex* out, float bound);
int32_t poly_ClipXMax(int32_t count, const PolyClipVertex* in, PolyClipVertex* out, float bound);
int32_t poly_ClipYMin(int32_t count, const PolyClipVertex* in, PolyClipVertex* out, float bound);
int32_t poly_ClipYMax(int32_t count, const PolyClipVertex* in, PolyClipVertex* out, float bound);

// Results of the edge clippers.
enum : int32_t {
    POLY_EDGE_OUTSIDE = -1,  // both vertices outside
    POLY_EDGE_INSIDE = 0,    // both inside
    POLY_EDGE_ENTERS = 1,    // previous outside, current inside: out = intersection
    POLY_EDGE_LEAVES = 2,    // previous inside, current outside: out = intersection
};
int32_t poly_ClipEdgeXMin(const PolyClipVertex* previous, const PolyClipVertex* current, PolyClipVertex* out,
                          float bound);
int32_t poly_ClipEdgeXMax(const PolyClipVertex* previous, const PolyClipVertex* current, PolyClipVertex* out,
                          float bound);
int32_t poly_ClipEdgeYMin(const PolyClipVertex* previous, const PolyClipVertex* current, PolyClipVertex* out,
                          float bound);
int32_t poly_ClipEdgeYMax(const PolyClipVertex* previous, const PolyClipVertex* current, PolyClipVertex* out,
                          float bound);

// Segment against a depth plane: Near keeps depth >= plane, Far keeps depth
// <= plane. -1: the whole segment is on the wrong side; 0: wholly kept; 1:
// end A was cut (out replaces A); 2: end B was cut (out replaces B).
int32_t poly_ClipSegmentNear(const PolyClipPoint3* a, const PolyClipPoint3* b, float plane, PolyClipPoint3* out);
int32_t poly_ClipSegmentFar(const PolyClipPoint3* a, const PolyClipPoint3* b, float plane, PolyClipPoint3* out);
