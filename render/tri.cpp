// The triangle path to the rasteriser and the 3D card, and the screen clip
// passes of the world renderer.
#include "render/tri.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

#include "display/clip.h"
#include "display/dsurf.h"
#include "display/hw3d.h"
#include "display/hw3d_draw.h"
#include "render/render.h"
#include "shell/settings.h"
#include "world/pak.h"
#include "world/terrain.h"
#include "world/terrain_draw.h"

RenderTriangleState render_Tri = {};
const PatchTriangle* render_CurrentPolygon = nullptr;

// The card reads the texture records as its own texture record.
static_assert(offsetof(PakTextureImage, pixels) == offsetof(_HW3D_TEXTURE, pixels) &&
                  offsetof(PakTextureImage, log2Width) == offsetof(_HW3D_TEXTURE, log2Width) &&
                  offsetof(PakTextureImage, log2Height) == offsetof(_HW3D_TEXTURE, log2Height) &&
                  offsetof(PakTextureImage, renderFlags) == offsetof(_HW3D_TEXTURE, renderFlags),
              "a texture record is the card's texture record");

namespace {

// Deepest software subdivision: the split threshold never falls below
// 0xa000, so this only guards against corners far outside any real view.
constexpr int32_t kSplitDepthMax = 12;

inline int32_t Level(const RenderVertex* v) { return (int32_t)((v->screen.colour >> 16) & 0xFF); }

void Project(RenderVertex* v) {
    const FixVec3 p = {v->viewX, v->viewY, v->viewZ};
    FixScreenPoint s;
    fix_ProjectToScreen(&p, &s);
    v->screen.x = s.x;
    v->screen.y = s.y;
}

// The point where the edge from the inside corner to the outside one meets
// the depth limit.
void Cut(const RenderVertex* in, const RenderVertex* out, int32_t limit, RenderVertex* r) {
    const int64_t den = ((int64_t)out->viewZ - in->viewZ) | 1;  // odd: never 0
    const int64_t t = (((int64_t)limit - in->viewZ) * 65536) / den;
    auto lerp = [t](int32_t a, int32_t b) { return (int32_t)(a + ((((int64_t)b - a) * t) >> 16)); };
    r->viewX = lerp(in->viewX, out->viewX);
    r->viewY = lerp(in->viewY, out->viewY);
    r->viewZ = limit;
    r->screen.u = lerp((int32_t)in->screen.u, (int32_t)out->screen.u);
    r->screen.v = lerp((int32_t)in->screen.v, out->screen.v);
    const int64_t step = ((((int64_t)out->screen.colour - (int64_t)in->screen.colour) * t) >> 16) & ~(int64_t)0x1FF;
    r->screen.colour = (uint32_t)((int64_t)in->screen.colour + step);
    Project(r);
}

// Clips against a depth limit. The pieces keep the corners' cyclic order,
// so they keep the triangle's facing and the winding flag stays as it is.
int32_t Clip(RenderVertex* a, RenderVertex* b, RenderVertex* c, int32_t colour, int32_t limit, bool far) {
    RenderVertex* v[3] = {a, b, c};
    auto outside = [&](const RenderVertex* p) { return far ? p->viewZ >= limit : p->viewZ <= limit; };
    int32_t out = 0;
    for (RenderVertex* p : v) out += outside(p) ? 1 : 0;
    if (out == 0) return 0;
    if (out == 3) return 1;
    // The two cut points live here for the duration of the call.
    RenderVertex cuts[2];
    RenderVertex* poly[4];
    int32_t n = 0, used = 0;
    for (int32_t k = 0; k < 3; k++) {
        RenderVertex* cur = v[k];
        RenderVertex* next = v[(k + 1) % 3];
        const bool curIn = !outside(cur), nextIn = !outside(next);
        if (curIn) poly[n++] = cur;
        if (curIn != nextIn) {
            RenderVertex* r = &cuts[used++];
            if (curIn) Cut(cur, next, limit, r);
            else Cut(next, cur, limit, r);
            poly[n++] = r;
        }
    }
    render_TriangleSubmit(poly[0], poly[1], poly[2], colour);
    if (n == 4) render_TriangleSubmit(poly[0], poly[2], poly[3], colour);
    return 2;
}

void Midpoint(const RenderVertex* p, const RenderVertex* q, RenderVertex* m) {
    m->viewX = (int32_t)(((int64_t)p->viewX + q->viewX) / 2);
    m->viewY = (int32_t)(((int64_t)p->viewY + q->viewY) / 2);
    m->viewZ = (int32_t)(((int64_t)p->viewZ + q->viewZ) / 2);
    m->screen.u = (int32_t)(((int64_t)p->screen.u + q->screen.u) / 2);
    m->screen.v = (int32_t)(((int64_t)p->screen.v + q->screen.v) / 2);
    m->screen.colour = (uint32_t)((((uint64_t)p->screen.colour + q->screen.colour) / 2) & ~(uint64_t)0x1FF);
    Project(m);
}

void PolygonDraw(RenderVertex* a, RenderVertex* b, RenderVertex* c, int32_t colour, int32_t depth) {
    const int32_t nearPlane = render_Tri.nearPlane;
    if (a->viewZ < nearPlane && b->viewZ < nearPlane && c->viewZ < nearPlane) return;
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    const int32_t x0 = a->screen.x, x1 = b->screen.x, x2 = c->screen.x;
    const int32_t y0 = a->screen.y, y1 = b->screen.y, y2 = c->screen.y;
    if ((x0 > s.clipX2F && x1 > s.clipX2F && x2 > s.clipX2F) || (x0 < s.clipX1F && x1 < s.clipX1F && x2 < s.clipX1F) ||
        (y0 > s.clipY2F && y1 > s.clipY2F && y2 > s.clipY2F) || (y0 < s.clipY1F && y1 < s.clipY1F && y2 < s.clipY1F))
        return;
    const int64_t zmax = std::max<int64_t>({a->viewZ, b->viewZ, c->viewZ, 1});
    const int64_t t = std::max<int64_t>((zmax * 0x2aaa) >> 16, RENDER_SUBDIVIDE_MIN);
    const int64_t d01 = std::llabs((int64_t)a->viewZ - b->viewZ), d12 = std::llabs((int64_t)b->viewZ - c->viewZ),
                  d20 = std::llabs((int64_t)c->viewZ - a->viewZ);
    if ((d01 <= t && d12 <= t && d20 <= t) || depth >= kSplitDepthMax) {
        if (render_TriangleClipNear(a, b, c, colour) == 0) render_TriangleSubmit(a, b, c, colour);
        return;
    }
    RenderVertex m01, m12, m20;
    Midpoint(a, b, &m01);
    Midpoint(b, c, &m12);
    Midpoint(c, a, &m20);
    PolygonDraw(a, &m01, &m20, colour, depth + 1);
    PolygonDraw(&m01, b, &m12, colour, depth + 1);
    PolygonDraw(&m12, c, &m20, colour, depth + 1);
    PolygonDraw(&m01, &m12, &m20, colour, depth + 1);
}

// The clip order of the card and of the software path.
void Draw(RenderVertex* a, RenderVertex* b, RenderVertex* c, int32_t colour) {
    if (hw3d_Active) {
        if (render_TriangleClipNear(a, b, c, colour) == 0 && render_TriangleClipFar(a, b, c, colour) == 0)
            render_TriangleSubmit(a, b, c, colour);
        return;
    }
    if (a->viewZ < RENDER_SUBDIVIDE_DEPTH || b->viewZ < RENDER_SUBDIVIDE_DEPTH || c->viewZ < RENDER_SUBDIVIDE_DEPTH) {
        render_PolygonDraw(a, b, c, colour);
        return;
    }
    if (render_TriangleClipFar(a, b, c, colour) == 0) render_TriangleSubmit(a, b, c, colour);
}

void CardVertex(const RenderVertex* v, _HW3D_VERTEX* h) {
    *h = _HW3D_VERTEX{};
    h->x = v->screen.x;
    h->y = v->screen.y;
    h->z = v->viewZ;
    h->weight = 256;
    const uint32_t l = std::min<uint32_t>(v->screen.colour >> 13, 255);
    h->colour = l | l << 8 | l << 16;
    h->reserved[0] = v->screen.u;
    h->reserved[1] = v->screen.v;
    // The card's light words carry the fog amount in their low byte (bit 0
    // is the water bit).
    h->reserved[2] = (int32_t)(v->screen.colour & 0xFE);
}

void TerrainEntry(int32_t colour, bool probe) {
    const PatchTriangle* t = render_CurrentPolygon;
    if (!t || !t->tile) return;
    if (render_ShadeTables[0]) poly_SpanState.shadeTable = render_ShadeTables[0];
    RenderVertex v[3];
    for (int32_t k = 0; k < 3; k++) {
        const PatchVertex* p = t->vertex[k];
        v[k].viewX = p->viewX;
        v[k].viewY = p->viewY;
        v[k].viewZ = p->viewZ;
        v[k].screen = p->screen;
        if (colour == -1) {
            v[k].screen.u = t->uv[k][0];
            v[k].screen.v = t->uv[k][1];
        }
    }
    render_Tri.renderFlags = poly_SpanState.renderFlags;
    render_Tri.texture = t->tile->pixels;
    // The card reads the tile through a texture record of its own; it draws
    // before the next triangle comes, so one record serves every tile.
    static PakTextureImage tileTexture;
    tileTexture.pixels = t->tile->pixels;
    tileTexture.log2Width = t->tile->widthLog2;
    tileTexture.log2Height = t->tile->heightLog2;
    tileTexture.renderFlags = 0;
    render_Tri.cardTexture = hw3d_Active && t->tile->pixels ? &tileTexture : nullptr;
    render_Tri.nearPlane = RENDER_TERRAIN_NEAR;
    // Terrain triangles that face the eye run the other way round on the
    // screen from the models'.
    render_Tri.reverseWinding = 1;
    if (probe && colour == -1) {
        colour = render_ProbeColourCapture(t, &v[0], colour);
        if (colour != -1) render_Tri.renderFlags &= ~(uint32_t)POLY_TEXTURED;
    }
    Draw(&v[0], &v[1], &v[2], colour);
}

}  // namespace

void render_ModelTriangleDraw(RenderVertex* a, RenderVertex* b, RenderVertex* c, int32_t colour) {
    if (!a || !b || !c) return;
    Draw(a, b, c, colour);
}

// Weak: the terrain pass's tests record the triangles in its place.
__attribute__((weak)) void render_TriangleDraw(int32_t colour) { TerrainEntry(colour, true); }
void render_TriangleDrawNoProbe(int32_t colour) { TerrainEntry(colour, false); }

void render_PolygonDraw(RenderVertex* a, RenderVertex* b, RenderVertex* c, int32_t colour) {
    PolygonDraw(a, b, c, colour, 0);
}

int32_t render_TriangleClipFar(RenderVertex* a, RenderVertex* b, RenderVertex* c, int32_t colour) {
    return Clip(a, b, c, colour, RENDER_FAR_DEPTH, true);
}

int32_t render_TriangleClipNear(RenderVertex* a, RenderVertex* b, RenderVertex* c, int32_t colour) {
    return Clip(a, b, c, colour, render_Tri.nearPlane, false);
}

void render_TriangleSubmit(RenderVertex* a, RenderVertex* b, RenderVertex* c, int32_t colour) {
    RenderTriangleState& st = render_Tri;
    const int32_t nearPlane = st.nearPlane;
    if (a->viewZ < nearPlane || b->viewZ < nearPlane || c->viewZ < nearPlane) {
        st.rejected++;
        return;
    }
    const int32_t la = Level(a), lb = Level(b), lc = Level(c);
    const bool equal = la == lb && lb == lc;
    uint32_t flags = st.renderFlags & ~RENDER_MODE_MASK;
    int32_t single = 0;
    if (colour != -1) {
        flags &= ~(uint32_t)POLY_TEXTURED;
        flags |= equal ? RENDER_MODE_COLOUR_FLAT : RENDER_MODE_COLOUR_SMOOTH;
        if (equal) single = la;
    } else {
        flags |= POLY_TEXTURED;
        if (!equal) {
            flags |= RENDER_MODE_TEX_SMOOTH;
        } else if (la != 16) {
            // Level 16 is the texture as it is: no shading at all.
            flags |= RENDER_MODE_TEX_FLAT;
            single = la;
        }
    }
    st.lastFlags = flags;
    st.lastShade = single;
    st.submitted++;
    if (hw3d_Active) {
        flags &= ~(uint32_t)(RENDER_FLAG_KEY_NEAREST | RENDER_FLAG_KEY_FARTHEST);
        _HW3D_VERTEX h[3];
        CardVertex(a, &h[0]);
        CardVertex(b, &h[1]);
        CardVertex(c, &h[2]);
        if (colour == -1) {
            PakTextureImage* tex = st.cardTexture;
            int32_t word = single;
            if (tex) {
                tex->renderFlags = (tex->renderFlags & 0xFFFF0000u) | (flags & 0xFFFFu);
                if (tex->renderFlags & RENDER_FLAG_CARD_ALPHA) word = st.cardAlphaWord;
            }
            // The card's four-point entry takes a triangle as its last corner twice.
            if (hw3d_Descriptor.quad) hw3d_Descriptor.quad(&h[0], &h[1], &h[2], &h[2], tex, word);
        } else if (hw3d_Descriptor.triangle) {
            const uint32_t c32 = (uint32_t)colour;
            hw3d_Descriptor.triangle(&h[0], &h[1], &h[2], (c32 >> 8) | (c32 << 24), flags, single);
        }
        return;
    }
    PolySpanState& ps = poly_SpanState;
    const int32_t savedReverse = ps.reverseWinding;
    ps.renderFlags = flags;
    ps.reverseWinding = st.reverseWinding;
    const uintptr_t source = colour == -1 ? (uintptr_t)st.texture : (uintptr_t)((uint32_t)colour & 0xFF);
    if (colour != -1 || st.texture) poly_DrawPolygon(&a->screen, &b->screen, &c->screen, draw_CurrentSurface.base, source);
    ps.reverseWinding = savedReverse;
}

int32_t render_ProbeColourCapture(const PatchTriangle* triangle, const RenderVertex* first, int32_t colour) {
    if (!triangle || !first || colour != -1) return colour;
    const int64_t threshold = (int64_t)app_Settings.TEXTURE_DISTANCE << 23;
    const int64_t depth = std::max<int32_t>(first->viewZ, 0);
    if (depth < threshold) return -1;
    return triangle->attribute;
}

void render_PixelClear(const RenderVertex* vertex) {
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    if (!vertex || !s.base || s.bytesPerPixel != 1) return;
    const int32_t x = vertex->screen.x >> 7, y = vertex->screen.y >> 7;
    if (x < 0 || y < 0 || x >= s.width || y >= s.height) return;
    s.base[(size_t)y * (size_t)s.bytesPerRow + (size_t)x] = 0;
}

int32_t render_ClipPasses(int32_t count, PolyClipVertex* a, PolyClipVertex* b) {
    // A triangle or quad gains at most one vertex a pass: 4 + 4 fits in 8.
    if (!a || !b || count < 3 || count > 4) return 0;
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    count = poly_ClipXMin(count, a, b, static_cast<float>(s.clipX1F));
    if (count) count = poly_ClipXMax(count, b, a, static_cast<float>(s.clipX2F));
    if (count) count = poly_ClipYMin(count, a, b, static_cast<float>(s.clipY1F));
    if (count) count = poly_ClipYMax(count, b, a, static_cast<float>(s.clipY2F));
    return count;
}
