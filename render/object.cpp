// The object renderer.
#include "render/object.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/list.h"
#include "cockpit/vcursor.h"
#include "display/dsurf.h"
#include "display/hw3d.h"
#include "display/hw3d_draw.h"
#include "display/pal.h"
#include "display/rast.h"
#include "net/client.h"
#include "render/fx.h"
#include "render/render.h"
#include "render/tri.h"
#include "render/view.h"
#include "shell/dump.h"
#include "shell/startup.h"
#include "sim/obj.h"
#include "world/level.h"
#include "world/pak.h"
#include "world/terrain.h"
#include "world/terrain_draw.h"

RenderObjectState render_Object = {0x60, 0x78, {0, 0x8000, 0}, 0, 0, {}, 0, 0, 0, 0, nullptr};

namespace {

constexpr int32_t kShadeMin = 0x10000, kShadeMax = 0x1f0000;
constexpr int32_t kHazeNear = 0x108000;
// The sun the models are lit by until the sky sets its own: high, ahead
// and to the right.
constexpr FixVec3 kDefaultSun = {0x4000, 0x10000, 0x6000};

// Cached per normal for one object draw.
struct NormalCache {
    uint8_t diffuse, spec1, spec2, spec4;
    uint8_t diffuseDone, specDone;
};

// A triangle taken for the sorted draw.
struct Collected {
    const PakPolygon* polygon;
    const PakGeometry* mesh;
    RenderVertex* v[3];
    NormalCache* n[3];
    uint8_t facing;  // 1 towards the eye, 2 away
    uint8_t frame0;  // frame table slot 0 while its part was collected
};

// Per-draw scratch; grows to the largest model drawn and stays.
std::vector<RenderVertex> g_vertices;
std::vector<NormalCache> g_normals;
std::vector<FixVec3> g_pivots;
struct SavedPart {
    int32_t angles[3];
    uint8_t flags;
};
std::vector<SavedPart> g_saved;
Collected g_collected[LIST_SORT_PAIRS];
int32_t g_collectedCount = 0;

// The model-space eye and light of the object being drawn.
FixVec3 g_eye = {}, g_lightModel = {};

struct Matrix {
    int64_t fixed[3][3];  // 16.16 with the object's scale (the pivots)
    double d[3][3];       // the vertices: 0x8000 is 1.0
};

inline int32_t Wrap(uint32_t a, uint32_t b) { return (int32_t)(a - b); }

void RotateAll(FixVec3* v, int32_t n, void (*first)(const FixVec3*, FixVec3*), void (*second)(const FixVec3*, FixVec3*),
               void (*third)(const FixVec3*, FixVec3*)) {
    for (int32_t i = 0; i < n; i++) {
        first(&v[i], &v[i]);
        second(&v[i], &v[i]);
        third(&v[i], &v[i]);
    }
}

void LoadAngles(int32_t h, int32_t p, int32_t r) {
    FixSinCosBlock b;
    fix_SinCosAngles(h, p, r, &b);
    fix_TrigToDouble(&b);
}

void ViewRotationLoad(void) { fix_TrigToDouble(&view_State.viewMatrix); }

// Rows turned by the part angles, the object angles and the view rotation;
// built from the three basis vectors at 24-bit precision.
void MatrixBuild(const ObjectRecord* o, const int32_t* partAngles, bool withView, Matrix* m) {
    const int64_t s = (o->drawFlags & RENDER_DRAW_SCALED) ? o->scale / 2 : 0x8000;
    constexpr int32_t kUnit = 1 << 24;
    FixVec3 col[3] = {{kUnit, 0, 0}, {0, kUnit, 0}, {0, 0, kUnit}};
    if (!(o->drawFlags & RENDER_DRAW_FACING)) {
        if (partAngles && (partAngles[0] | partAngles[1] | partAngles[2])) {
            LoadAngles(partAngles[0], partAngles[1], partAngles[2]);
            RotateAll(col, 3, fix_RotateAboutZ, fix_RotateAboutX, fix_RotateAboutY);
        }
        LoadAngles(o->angles.heading, o->angles.pitch, o->angles.roll);
        RotateAll(col, 3, fix_RotateAboutZ, fix_RotateAboutX, fix_RotateAboutY);
        if (withView) {
            ViewRotationLoad();
            RotateAll(col, 3, fix_RotateAboutY, fix_RotateAboutX, fix_RotateAboutZ);
        }
    } else if (withView) {
        ViewRotationLoad();
        for (FixVec3& c : col) fix_RotateAboutZ(&c, &c);
    }
    for (int32_t r = 0; r < 3; r++)
        for (int32_t c = 0; c < 3; c++) {
            const int64_t e = (&col[c].x)[r];
            m->fixed[r][c] = (e * s) >> 24;
            m->d[r][c] = (double)e * (double)s * 2.0 / (65536.0 * (double)kUnit);
        }
}

// World height units of the haze: 0x108000 near, rising with depth.
uint32_t HazeShade(int32_t depth) {
    int64_t v = kHazeNear;
    if (depth >= RENDER_FAR_OBJECT)
        v = std::clamp<int64_t>(((int64_t)depth - RENDER_FAR_OBJECT) / 64 + render_CloudHazeOffset + 0x100000, kHazeNear,
                                kShadeMax);
    if (hw3d_Active) v = (v - kHazeNear) / 4096 + kHazeNear;
    return (uint32_t)v & ~0x1FFu;
}

// Vertices of one mesh into the scratch from `first`, at origin.
void VerticesTransform(const PakGeometry* mesh, const Matrix& m, const FixVec3& origin, RenderVertex* out) {
    const int32_t nearPlane = ViewNearDistance;
    const bool far = render_Object.far != 0;
    for (int32_t k = 0; k < mesh->vertexCount; k++) {
        const PakVertex& pv = mesh->vertices[k];
        RenderVertex& v = out[k];
        const double x = pv.x, y = pv.y, z = pv.z;
        v.viewX = (int32_t)((int64_t)std::llround(m.d[0][0] * x + m.d[0][1] * y + m.d[0][2] * z) + origin.x);
        v.viewY = (int32_t)((int64_t)std::llround(m.d[1][0] * x + m.d[1][1] * y + m.d[1][2] * z) + origin.y);
        v.viewZ = (int32_t)((int64_t)std::llround(m.d[2][0] * x + m.d[2][1] * y + m.d[2][2] * z) + origin.z);
        v.screen.u = pv.words[5];
        v.screen.v = pv.words[6];
        v.screen.x = v.screen.y = 0;
        if (v.viewZ >= nearPlane) {
            const FixVec3 p = {v.viewX, v.viewY, v.viewZ};
            FixScreenPoint sp;
            fix_ProjectToScreen(&p, &sp);
            v.screen.x = sp.x;
            v.screen.y = sp.y;
        }
        v.screen.colour = far ? HazeShade(v.viewZ) : 0x100000;
    }
}

// 1 draw, 2 facing away, 4 outside. Model triangles that face the eye run
// clockwise on the screen.
int32_t Classify(const RenderVertex* a, const RenderVertex* b, const RenderVertex* c) {
    const int32_t nearPlane = ViewNearDistance;
    const int32_t nearCount = (a->viewZ < nearPlane) + (b->viewZ < nearPlane) + (c->viewZ < nearPlane);
    if (nearCount == 3) return 4;
    if (nearCount > 0) {
        const FixVec3 p0 = {a->viewX, a->viewY, a->viewZ}, p1 = {b->viewX, b->viewY, b->viewZ},
                      p2 = {c->viewX, c->viewY, c->viewZ};
        FixVec3 n;
        fix_TriangleNormal(&p0, &p1, &p2, &n);
        const int64_t sx = (int64_t)p0.x + p1.x + p2.x, sy = (int64_t)p0.y + p1.y + p2.y,
                      sz = (int64_t)p0.z + p1.z + p2.z;
        return sx * n.x + sy * n.y + sz * n.z < 0 ? 1 : 2;
    }
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    const int32_t x0 = a->screen.x, x1 = b->screen.x, x2 = c->screen.x;
    const int32_t y0 = a->screen.y, y1 = b->screen.y, y2 = c->screen.y;
    if ((x0 < s.clipX1F && x1 < s.clipX1F && x2 < s.clipX1F) || (x0 > s.clipX2F && x1 > s.clipX2F && x2 > s.clipX2F) ||
        (y0 < s.clipY1F && y1 < s.clipY1F && y2 < s.clipY1F) || (y0 > s.clipY2F && y1 > s.clipY2F && y2 > s.clipY2F))
        return 4;
    const int64_t dx1 = (int64_t)x0 - x1, dx2 = (int64_t)x0 - x2;
    const int64_t dy1 = (int64_t)y0 - y1, dy2 = (int64_t)y0 - y2;
    return dx1 * dy2 - dy1 * dx2 > 0 ? 1 : 2;
}

bool PartCollects(const PakSubObject& part) {
    if (part.flags & (RENDER_PART_HIDDEN | RENDER_PART_NO_TRIANGLES)) return false;
    // The level's time of day 1 (the first, stored from 0).
    if ((part.flags & RENDER_PART_NOT_DUSK) && level_TimeOfDay == 0) return false;
    return true;
}

void Collect(const PakGeometry* mesh, RenderVertex* verts, NormalCache* normals, uint8_t frame0, bool sumKeyOnly) {
    for (int32_t i = 0; i < mesh->polygonCount; i++) {
        const PakPolygon& p = mesh->polygons[i];
        RenderVertex* v[3];
        NormalCache* n[3];
        bool ok = p.face != nullptr;
        for (int32_t k = 0; k < 3 && ok; k++) {
            const ptrdiff_t vi = p.vertex[k] - mesh->vertices;
            if (!p.vertex[k] || vi < 0 || vi >= mesh->vertexCount) ok = false;
            else v[k] = &verts[vi];
            const ptrdiff_t ni = p.normal[k] ? p.normal[k] - mesh->normals : -1;
            n[k] = ni >= 0 && ni < mesh->normalCount ? &normals[ni] : nullptr;
        }
        if (!ok) continue;
        const int32_t cls = Classify(v[0], v[1], v[2]);
        if (cls == 4) continue;
        if (cls == 2 && !(p.face->flags & RENDER_MAT_DOUBLE_SIDED)) continue;
        const int64_t z0 = v[0]->viewZ >> 8, z1 = v[1]->viewZ >> 8, z2 = v[2]->viewZ >> 8;
        int64_t key = z0 + z1 + z2;
        if (!sumKeyOnly) {
            if (p.face->flags & RENDER_FLAG_KEY_NEAREST) key = 3 * std::min({z0, z1, z2});
            else if (p.face->flags & RENDER_FLAG_KEY_FARTHEST) key = 3 * std::max({z0, z1, z2});
        }
        if (g_collectedCount >= LIST_SORT_PAIRS) {
            render_Object.droppedTriangles++;
            continue;
        }
        Collected& c = g_collected[g_collectedCount];
        c.polygon = &p;
        c.mesh = mesh;
        for (int32_t k = 0; k < 3; k++) c.v[k] = v[k], c.n[k] = n[k];
        c.facing = (uint8_t)cls;
        c.frame0 = frame0;
        list_SortArrayB[g_collectedCount] = ListSortPair{g_collectedCount, (int32_t)std::clamp<int64_t>(key, INT32_MIN, INT32_MAX)};
        g_collectedCount++;
    }
}

// The material a triangle is drawn with: the back one for a facing-away
// triangle of a pair, or the animation frame's; null when the index leaves
// the mesh's materials.
const PakFace* MaterialPick(const Collected& c, const uint8_t* frames) {
    const PakFace* face = c.polygon->face;
    const PakGeometry* mesh = c.mesh;
    const ptrdiff_t index = face - mesh->faces;
    if (index < 0 || index >= mesh->faceCount) return nullptr;
    const uint8_t link = face->tail[2];
    ptrdiff_t chosen = index;
    if (link >= 0x7f) {
        if (c.facing == 2) chosen = index + 1;
    } else {
        const uint32_t count = face->tail[1];
        // One frame or none: no animation.
        if (count > 1) {
            const uint32_t frame = (link & 31) == 0 ? c.frame0 : frames[link & 31];
            chosen = index + (ptrdiff_t)(frame & (count - 1));
        }
    }
    return chosen < mesh->faceCount ? &mesh->faces[chosen] : nullptr;
}

int32_t Dot14(const FixVec3& a, const PakNormal& n) {
    return (int32_t)((((int64_t)a.x * n.x) >> 14) + (((int64_t)a.y * n.y) >> 14) + (((int64_t)a.z * n.z) >> 14));
}

uint32_t CornerShade(const PakFace* face, NormalCache* cache, const PakNormal* normal, bool back) {
    const RenderObjectState& st = render_Object;
    int32_t level;
    if (face->byte15) {
        level = face->byte15;
    } else if (!cache || !normal) {
        level = st.ambient;
    } else {
        if (!cache->diffuseDone) {
            int32_t d = Dot14(g_lightModel, *normal) >> 9;
            if (back) d = -d;
            d = std::min(std::max(d, 0) + st.ambient, st.maximum);
            cache->diffuse = (uint8_t)std::clamp(d, 0, 255);
            cache->diffuseDone = 1;
        }
        level = cache->diffuse;
        const uint8_t shift = face->byte20, selector = face->byte21;
        if (shift && selector) {
            if (!cache->specDone) {
                int64_t d = Dot14(g_eye, *normal);
                if (back) d = -d;
                d = std::max<int64_t>(d, 0);
                const int64_t q = d >> 8;
                const int64_t sq = (q * q) >> 8;
                cache->spec1 = (uint8_t)std::min<int64_t>((d >> 9) | 1, 255);
                cache->spec2 = (uint8_t)std::min<int64_t>((q * q) >> 9, 255);
                cache->spec4 = (uint8_t)std::min<int64_t>((sq * sq) >> 9, 255);
                cache->specDone = 1;
            }
            const int32_t power = selector == 1 ? cache->spec1 : selector == 2 ? cache->spec2 : cache->spec4;
            level += (int32_t)(((int64_t)power << (shift & 31)) >> 8);
        }
    }
    const int64_t shade = std::clamp<int64_t>((int64_t)level << 13, kShadeMin, kShadeMax);
    return (uint32_t)shade & ~0x1FFu;
}

PakTextureImage* CardTextureFor(const PakFace* face) {
    static const uint8_t* lastImage = nullptr;
    static PakTextureImage* lastRecord = nullptr;
    if (!face->texture) return nullptr;
    if (face->texture == lastImage) return lastRecord;
    for (int32_t i = 0; i < pak_Textures.count && i < PAK_TEXTURE_ENTRIES; i++) {
        PakTextureEntry& e = pak_Textures.entries[i];
        if (!e.isColour && e.image == face->texture) {
            lastImage = face->texture;
            lastRecord = &e.card;
            return lastRecord;
        }
    }
    return nullptr;
}

// The colour word the triangle path takes: palette index in the low byte,
// red, green, blue above it.
int32_t ColourWord(const PakFace* face) {
    if (face->flags & PAK_FACE_5BIT) return (int32_t)face->colour;
    return (int32_t)(((face->colour & 0xFFFFFFu) << 8) | (face->colour >> 24));
}

// Light and eye in model space: turned back by the object's angles.
void LightSetUp(const ObjectRecord* o) {
    FixVec3 eye = {Wrap(view_State.position.x, o->position.x), Wrap(view_State.position.y, o->position.y),
                   Wrap(view_State.position.z, o->position.z)};
    if (eye.x | eye.y | eye.z) fix_NormalizeExact(&eye);
    eye = {eye.x / 2, eye.y / 2, eye.z / 2};
    FixVec3 light = render_Object.light;
    LoadAngles(-o->angles.heading, -o->angles.pitch, -o->angles.roll);
    FixVec3 both[2] = {eye, light};
    RotateAll(both, 2, fix_RotateAboutY, fix_RotateAboutX, fix_RotateAboutZ);
    g_eye = both[0];
    g_lightModel = both[1];
}

void SortedDraw(void) {
    vcursor_FrameUpdate();
    list_SortCountB = g_collectedCount;
    list_SortDescB();
    const bool far = render_Object.far != 0;
    if (render_ShadeTables[far ? 0 : 1]) poly_SpanState.shadeTable = render_ShadeTables[far ? 0 : 1];
    RenderTriangleState& tri = render_Tri;
    tri.nearPlane = ViewNearDistance;
    for (int32_t i = 0; i < g_collectedCount; i++) {
        const Collected& c = g_collected[list_SortArrayB[i].key];
        const PakFace* face = MaterialPick(c, render_Object.frameTable);
        if (!face) continue;
        const bool back = c.facing == 2;
        if (!far)
            for (int32_t k = 0; k < 3; k++)
                c.v[k]->screen.colour = CornerShade(face, c.n[k], c.polygon->normal[k], back);
        tri.reverseWinding = back ? 1 : 0;
        tri.renderFlags = face->flags;
        int32_t colour;
        if (face->flags & PAK_FACE_TEXTURED) {
            tri.texture = face->texture;
            tri.cardTexture = hw3d_Active ? CardTextureFor(face) : nullptr;
            poly_SpanState.textureShiftU = face->log2Width;
            poly_SpanState.textureShiftV = face->log2Height;
            colour = -1;
        } else {
            colour = ColourWord(face);
        }
        render_ModelTriangleDraw(c.v[0], c.v[1], c.v[2], colour);
        render_Object.drawnTriangles++;
    }
    if (render_ShadeTables[0]) poly_SpanState.shadeTable = render_ShadeTables[0];
}

void ShadingSetUp(const ObjectRecord* o, size_t normals) {
    if (!render_Object.far) {
        std::fill(g_normals.begin(), g_normals.begin() + (ptrdiff_t)normals, NormalCache{});
        LightSetUp(o);
    }
}

void PaletteSelect(const _PAK_HEADER* model) {
    if (!model->palette) return;
    pal_SelectPalref(model->palette, render_Object.far ? 2 : 1);
    if (hw3d_Active && hw3d_Descriptor.selectPalette) hw3d_Descriptor.selectPalette(1);
}

uint16_t Pixel16(uint8_t index) {
    const uint8_t* rgb = &pal_Current.palette[index * 3];
    return (uint16_t)((rgb[0] >> 3) << 11 | (rgb[1] >> 2) << 5 | (rgb[2] >> 3));
}

void DotsDraw(const PakSubObject& part, const RenderVertex* verts, int32_t count) {
    const uint8_t f = part.flags;
    if (!(f & RENDER_PART_DOTS) || ((f & RENDER_PART_NIGHT_DOTS) && !level_Night)) return;
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    const uint8_t index = part.colour[0];
    for (int32_t k = 0; k < count; k++) {
        const RenderVertex& v = verts[k];
        if (v.viewZ < ViewNearDistance) continue;
        const int32_t x = v.screen.x >> 7, y = v.screen.y >> 7;
        if (x < s.clipX1 || x >= s.clipX2 || y < s.clipY1 || y >= s.clipY2) continue;
        if (hw3d_Active) {
            if (!hw3d_Descriptor.line) continue;
            _HW3D_VERTEX h{};
            h.x = v.screen.x;
            h.y = v.screen.y;
            h.weight = 256;
            h.colour = 0xFF7F7F7F;
            const uint8_t* rgb = &pal_Current.palette[index * 3];
            hw3d_Descriptor.line(&h, &h, (uint32_t)rgb[2] << 16 | (uint32_t)rgb[1] << 8 | rgb[0], 4, 0);
            continue;
        }
        if (!s.base) continue;
        uint8_t* p = s.base + (size_t)y * (size_t)s.bytesPerRow + (size_t)x * (size_t)s.bytesPerPixel;
        if (s.bytesPerPixel == 1) {
            *p = index;
        } else if (s.bytesPerPixel == 2) {
            const uint16_t px = Pixel16(index);
            std::memcpy(p, &px, 2);
        }
    }
}

void ScratchReserve(size_t vertices, size_t normals) {
    if (g_vertices.size() < vertices) g_vertices.resize(vertices);
    if (g_normals.size() < normals) g_normals.resize(normals);
}

void SinglePartDraw(ObjectRecord* o, const _PAK_HEADER* model, PakSubObject& part) {
    if (o->drawFlags & RENDER_DRAW_NEVER) return;
    const PakGeometry* mesh = part.geometry;
    if (!mesh || !render_ObjectVisible(o, mesh)) return;
    std::memset(render_Object.frameTable, 0, sizeof render_Object.frameTable);
    render_Object.frameTable[0] = o->frame;
    g_collectedCount = 0;
    ScratchReserve((size_t)mesh->vertexCount, (size_t)mesh->normalCount);
    Matrix m;
    MatrixBuild(o, nullptr, true, &m);
    VerticesTransform(mesh, m, o->viewPosition, g_vertices.data());
    PaletteSelect(model);
    ShadingSetUp(o, (size_t)mesh->normalCount);
    if (PartCollects(part)) Collect(mesh, g_vertices.data(), g_normals.data(), o->frame, false);
    SortedDraw();
    DotsDraw(part, g_vertices.data(), mesh->vertexCount);
}

void MultiPartDraw(ObjectRecord* o, const _PAK_HEADER* model, int32_t levelIndex, PakModel* level) {
    if (o->drawFlags & RENDER_DRAW_NEVER) return;
    PakSubObject* parts = level->subObjects;
    const int32_t count = level->subObjectCount;
    const PakGeometry* body = parts[0].geometry;
    if (!body || !render_ObjectVisible(o, body)) return;
    if (body->pointCount <= 0 || !body->points) return;  // no pivots: nothing to hang the parts on

    // The hook may change any part for this draw only: all of them are put back.
    const bool hooked = o->partHook != nullptr;
    if (hooked) {
        g_saved.resize((size_t)count);
        for (int32_t i = 0; i < count; i++) {
            std::memcpy(g_saved[(size_t)i].angles, parts[i].angles, sizeof parts[i].angles);
            g_saved[(size_t)i].flags = parts[i].flags;
        }
        render_Object.hookLevel = levelIndex;
        render_Object.hookLastPart = count - 1;
        render_Object.hookFirstPart = parts;
        o->partHook(o);
    }

    size_t vertices = 0, normals = 0;
    for (int32_t i = 0; i < count; i++)
        if (parts[i].geometry) vertices += (size_t)parts[i].geometry->vertexCount, normals += (size_t)parts[i].geometry->normalCount;
    ScratchReserve(vertices, normals);
    std::memset(render_Object.frameTable, 0, sizeof render_Object.frameTable);
    g_collectedCount = 0;

    // Body first: its matrix also places the pivots.
    Matrix m;
    MatrixBuild(o, parts[0].angles, true, &m);
    VerticesTransform(body, m, o->viewPosition, g_vertices.data());
    PaletteSelect(model);
    ShadingSetUp(o, normals);
    const uint8_t bodyFrame = (parts[0].flags & RENDER_PART_FRAME0) ? 0 : o->frame;
    render_Object.frameTable[0] = bodyFrame;
    if (PartCollects(parts[0])) Collect(body, g_vertices.data(), g_normals.data(), bodyFrame, false);
    g_pivots.resize((size_t)body->pointCount);
    for (int32_t k = 0; k < body->pointCount; k++) {
        const PakPoint& p = body->points[k];
        FixVec3& out = g_pivots[(size_t)k];
        out.x = (int32_t)((m.fixed[0][0] * p.x + m.fixed[0][1] * p.y + m.fixed[0][2] * p.z) >> 16);
        out.y = (int32_t)((m.fixed[1][0] * p.x + m.fixed[1][1] * p.y + m.fixed[1][2] * p.z) >> 16);
        out.z = (int32_t)((m.fixed[2][0] * p.x + m.fixed[2][1] * p.y + m.fixed[2][2] * p.z) >> 16);
    }
    size_t vAt = body ? (size_t)body->vertexCount : 0, nAt = (size_t)body->normalCount;
    static std::vector<size_t> partAt;
    partAt.assign((size_t)count, 0);
    for (int32_t i = 1; i < count; i++) {
        PakSubObject& part = parts[i];
        const PakGeometry* mesh = part.geometry;
        partAt[(size_t)i] = vAt;
        if (!mesh) continue;
        if (!(part.flags & RENDER_PART_HIDDEN) && i - 1 < body->pointCount) {
            const FixVec3& pv = g_pivots[(size_t)(i - 1)];
            const FixVec3 origin = {(int32_t)((uint32_t)o->viewPosition.x + (uint32_t)pv.x),
                                    (int32_t)((uint32_t)o->viewPosition.y + (uint32_t)pv.y),
                                    (int32_t)((uint32_t)o->viewPosition.z + (uint32_t)pv.z)};
            MatrixBuild(o, part.angles, true, &m);
            VerticesTransform(mesh, m, origin, &g_vertices[vAt]);
            const uint8_t frame = (part.flags & RENDER_PART_FRAME0) ? 0 : o->frame;
            render_Object.frameTable[0] = frame;
            if (PartCollects(part)) Collect(mesh, &g_vertices[vAt], &g_normals[nAt], frame, false);
        } else {
            // Hidden, or no pivot to hang it on: no dots either.
            partAt[(size_t)i] = SIZE_MAX;
        }
        vAt += (size_t)mesh->vertexCount;
        nAt += (size_t)mesh->normalCount;
    }
    SortedDraw();
    DotsDraw(parts[0], g_vertices.data(), body->vertexCount);
    for (int32_t i = 1; i < count; i++)
        if (parts[i].geometry && partAt[(size_t)i] != SIZE_MAX)
            DotsDraw(parts[i], &g_vertices[partAt[(size_t)i]], parts[i].geometry->vertexCount);

    if (hooked) {
        for (int32_t i = 0; i < count; i++) {
            std::memcpy(parts[i].angles, g_saved[(size_t)i].angles, sizeof parts[i].angles);
            parts[i].flags = g_saved[(size_t)i].flags;
        }
        render_Object.hookFirstPart = nullptr;
    }
}

bool DrawObject(ObjectRecord* o) {
    if (!o || !o->model) return false;
    _PAK_HEADER* model = o->model;
    const int32_t levelIndex = render_DetailSelect(o);
    snprintf(app_StatusString, sizeof app_StatusString, "%.*s", (int)sizeof model->name, model->name);
    if (levelIndex < 0) return false;
    PakModel* level = model->models[levelIndex].model;
    if (!level || level->subObjectCount <= 0 || !level->subObjects) return false;
    ViewNearDistance = view_NearPlane;
    render_Object.far = o->viewPosition.z > RENDER_FAR_OBJECT ? 1 : 0;
    const int32_t before = render_Tri.submitted;
    if (level->subObjectCount == 1) SinglePartDraw(o, model, level->subObjects[0]);
    else MultiPartDraw(o, model, levelIndex, level);
    ViewRotationLoad();
    render_Tri.texture = nullptr;
    render_Tri.cardTexture = nullptr;
    return render_Tri.submitted != before;
}

}  // namespace

void render_ObjectDraw(ObjectRecord* object) { DrawObject(object); }

// The destroyed form of a static object: it keeps its record and is drawn
// by the standard routine from the model it has now (the static-modify
// event that follows its destruction sets that model).
void render_DestroyedDraw(ObjectRecord* object) { DrawObject(object); }

int32_t render_ObjectDrawC(ObjectRecord* object) { return DrawObject(object) ? 1 : 0; }

int32_t render_DetailSelect(const ObjectRecord* object) {
    if (!object || !object->model || !object->model->models) return -1;
    const _PAK_HEADER* model = object->model;
    if (model->modelCount <= 0) return -1;
    if (render_Object.forceFinest) return 0;
    const FixVec3 d = {Wrap(view_State.position.x, object->position.x), Wrap(view_State.position.y, object->position.y),
                       Wrap(view_State.position.z, object->position.z)};
    const int32_t distance = fix_ApproxLength(&d);
    for (int32_t i = 0; i < model->modelCount; i++)
        if (model->models[i].size >= distance) return i;
    return -1;
}

uint32_t render_SphereOutcode(int32_t x, int32_t y, int32_t depth, int32_t radius) {
    const int64_t z = depth, r9 = (int64_t)radius * 9 / 8, r45 = (int64_t)radius * 45 / 32;
    const int64_t y5 = (int64_t)y * 5 / 4;
    uint32_t code = 0;
    if ((int64_t)x - r9 > z) code |= 1;
    if (-(int64_t)x - r9 > z) code |= 2;
    if (y5 - r45 > z) code |= 4;
    if (-y5 - r45 > z) code |= 8;
    return code;
}

int32_t render_ObjectVisible(const ObjectRecord* object, const PakGeometry* mesh) {
    if (!object || !mesh) return 0;
    const int32_t r = (int32_t)mesh->words[4];
    const int64_t near = (int64_t)object->viewPosition.z + r;
    if (near < RENDER_NEAR_DEPTH || near >= RENDER_CULL_DEPTH) return 0;
    if (object->drawFlags & RENDER_DRAW_NO_CULL) return 1;
    return render_SphereOutcode(object->viewPosition.x, object->viewPosition.y, object->viewPosition.z, r) == 0;
}

void render_ObjectToViewSpace(ObjectRecord* object) {
    if (!object) return;
    FixVec3 v = {Wrap(object->position.x, view_State.position.x), Wrap(object->position.y, view_State.position.y),
                 Wrap(object->position.z, view_State.position.z)};
    ViewRotationLoad();
    fix_RotateAboutY(&v, &v);
    fix_RotateAboutX(&v, &v);
    fix_RotateAboutZ(&v, &v);
    object->viewPosition = v;
}

void render_ObjectToViewSpaceC(ObjectRecord* object) { render_ObjectToViewSpace(object); }

void render_LightDirectionSetC(int32_t x, int32_t y, int32_t z) {
    FixVec3 v = {x, y, z};
    if (!(x | y | z)) v = kDefaultSun;
    fix_NormalizeExact(&v);
    render_Object.light = {v.x / 2, v.y / 2, v.z / 2};
}

void render_LightDirectionSet(void) { render_LightDirectionSetC(kDefaultSun.x, kDefaultSun.y, kDefaultSun.z); }

void render_PartFlagsClear(PakSubObject* firstPart) {
    if (!firstPart) return;
    for (int32_t i = 0; i <= render_Object.hookLastPart; i++) firstPart[i].flags = 0;
}

void render_ModelDrawSorted(ObjectRecord* object) {
    if (!object || !object->model || (object->drawFlags & RENDER_DRAW_NEVER)) return;
    const _PAK_HEADER* model = object->model;
    if (model->modelCount <= 0 || !model->models) return;
    PakModel* level = model->models[model->modelCount - 1].model;
    if (!level || level->subObjectCount <= 0 || !level->subObjects || !level->subObjects[0].geometry) return;
    const PakGeometry* mesh = level->subObjects[0].geometry;
    ScratchReserve((size_t)mesh->vertexCount, (size_t)mesh->normalCount);
    ObjectRecord plain = *object;
    plain.drawFlags &= (uint8_t)~RENDER_DRAW_SCALED;
    Matrix m;
    MatrixBuild(&plain, nullptr, false, &m);
    const int32_t nearPlane = ViewNearDistance;
    for (int32_t k = 0; k < mesh->vertexCount; k++) {
        const PakVertex& pv = mesh->vertices[k];
        RenderVertex& v = g_vertices[(size_t)k];
        const double x = pv.x, y = pv.y, z = pv.z;
        FixWorldPos w = {object->position.x + (uint32_t)(int32_t)std::llround(m.d[0][0] * x + m.d[0][1] * y + m.d[0][2] * z),
                         0,
                         object->position.z + (uint32_t)(int32_t)std::llround(m.d[2][0] * x + m.d[2][1] * y + m.d[2][2] * z)};
        w.y = (uint32_t)terrain_HeightBilinear(&w);
        FixVec3 r = {Wrap(w.x, view_State.position.x), Wrap(w.y, view_State.position.y), Wrap(w.z, view_State.position.z)};
        ViewRotationLoad();
        fix_RotateAboutY(&r, &r);
        fix_RotateAboutX(&r, &r);
        fix_RotateAboutZ(&r, &r);
        v.viewX = r.x, v.viewY = r.y, v.viewZ = r.z;
        v.screen = PolyVertex{0, 0, pv.words[5], pv.words[6], 0x100000};
        if (r.z >= nearPlane) {
            FixScreenPoint sp;
            fix_ProjectToScreen(&r, &sp);
            v.screen.x = sp.x;
            v.screen.y = sp.y;
        }
    }
    render_Object.far = 0;
    std::memset(render_Object.frameTable, 0, sizeof render_Object.frameTable);
    render_Object.frameTable[0] = object->frame;
    g_collectedCount = 0;
    ShadingSetUp(object, (size_t)mesh->normalCount);
    Collect(mesh, g_vertices.data(), g_normals.data(), object->frame, true);
    SortedDraw();
    ViewRotationLoad();
}

void plane_ObjectDraw(ObjectRecord* object) {
    if (!object) return;
    if (hw3d_Active && hw3d_Descriptor.setValue) hw3d_Descriptor.setValue(app_ModeWord == 4 ? 0 : -0x400);
    if (!object->model) return;
    render_ObjectToViewSpace(object);
    const int64_t above = (int64_t)object->position.y - terrain_HeightMax4(&object->position);
    if (above < RENDER_SHADOW_HEIGHT && app_ModeWord != 4) {
        const uint32_t height = object->position.y;
        object->position.y = (uint32_t)terrain_HeightBilinear(&object->position);
        render_ModelDrawSorted(object);
        object->position.y = height;
    }
    render_ObjectDraw(object);
    if (fx_PlumePass && hw3d_Active && object == Client_PlayerObject) fx_PlumeFrame(object);
}

void obj_FrameCellInsert(ObjectRecord* object) {
    DepthLevel& d = depth_Level;
    if (!object || !d.dynamicHeads || !d.dynamicStamps) return;
    const uint32_t n = obj_CellIndex(object->position.x, object->position.z);
    // A cell stamped in an earlier frame holds last frame's objects: empty it.
    if (d.dynamicStamps[n] != terrain_Pass.frameStamp) {
        d.dynamicStamps[n] = terrain_Pass.frameStamp;
        d.dynamicHeads[n] = nullptr;
    }
    object->freeLink = d.dynamicHeads[n];
    d.dynamicHeads[n] = object;
}
