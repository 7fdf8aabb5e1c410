// 3D projection and wireframe markers.
#include "display/draw3d.h"

#include <cstdio>

#include "base/units.h"
#include "display/draw_line.h"
#include "display/dsurf.h"
#include "display/font.h"
#include "display/otw.h"
#include "render/view.h"
#include "sim/obj.h"

BitmapFont* draw_LabelFont = nullptr;

namespace {

// View flag: leader lines end at the screen centre.
constexpr uint32_t kLeaderToCentre = 0x100;

// The current box frame: the matrix and position of draw_Box3D.
MathFrame g_boxFrame = {{0, 0, 0}, {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}};

int32_t NearDistance() { return ViewNearDistance >> 7; }

int32_t Sat32(int64_t v) { return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : (int32_t)v; }

void Line(int64_t x1, int64_t y1, int64_t x2, int64_t y2, int32_t slot) {
    draw_ClipLineC(Sat32(x1), Sat32(y1), Sat32(x2), Sat32(y2), slot);
}

// World coordinates wrap, as the world does.
FixWorldPos Offset(const FixWorldPos& p, int64_t dx, int64_t dy, int64_t dz) {
    return FixWorldPos{p.x + (uint32_t)dx, p.y + (uint32_t)dy, p.z + (uint32_t)dz};
}

// Frame point (metres, in the frame's axes) to a world point.
FixWorldPos FramePoint(const MathFrame& frame, float x, float y, float z) {
    MathVec3 local = {x, y, z}, world;
    math_FramePointToWorld(&frame, &local, &world);
    FixWorldPos out;
    fix_FloatToWorld(&world, &out);
    return out;
}

// Anchor of the leader lines; -1 when there is none.
int32_t LeaderAnchor(FixScreenPoint* anchor) {
    if (ViewFlags & kLeaderToCentre) {
        anchor->x = otw_ScreenSurface.width / 2;
        anchor->y = otw_ScreenSurface.height / 2;
        return 0;
    }
    if (!ViewedObject) return -1;
    return draw_ProjectPoint3D(&ViewedObject->position, anchor);
}

}  // namespace

void draw_ToCameraSpace(const FixWorldPos* world, FixVec3* out) {
    const FixWorldPos& eye = view_State.position;
    FixVec3 v = {(int32_t)(world->x - eye.x), (int32_t)(world->y - eye.y), (int32_t)(world->z - eye.z)};
    fix_TrigToDouble(&view_State.viewMatrix);
    fix_RotateAboutY(&v, &v);
    fix_RotateAboutX(&v, &v);
    fix_RotateAboutZ(&v, &v);
    *out = v;
}

void draw_ProjectToScreen(const FixVec3* camera, FixScreenPoint* out) {
    FixScreenPoint fine;
    fix_ProjectToScreen(camera, &fine);
    out->x = fine.x >> 7;
    out->y = fine.y >> 7;
}

int32_t draw_PointInClip(const FixScreenPoint* point) {
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    if (point->x < s.clipX1 || point->x > s.clipX2 || point->y < s.clipY1 || point->y > s.clipY2) return -1;
    return 0;
}

int32_t draw_ProjectPoint3D(const FixWorldPos* world, FixScreenPoint* out) {
    FixVec3 camera;
    draw_ToCameraSpace(world, &camera);
    if (camera.z < NearDistance()) return -1;
    draw_ProjectToScreen(&camera, out);
    return 0;
}

int32_t draw_ProjectPoint3DFine(const FixWorldPos* world, FixScreenPoint* out) {
    FixVec3 camera;
    draw_ToCameraSpace(world, &camera);
    if (camera.z < NearDistance()) return -1;
    fix_ProjectToScreen(&camera, out);
    return 0;
}

int32_t draw_SegmentInFront(const FixVec3* a, const FixVec3* b, int32_t nearDistance) {
    return a->z >= nearDistance && b->z >= nearDistance ? 0 : -1;
}

int32_t draw_Line3D(const FixWorldPos* a, const FixWorldPos* b, int32_t slot) {
    FixScreenPoint pa, pb;
    if (draw_ProjectPoint3D(a, &pa) != 0 || draw_ProjectPoint3D(b, &pb) != 0) return -1;
    Line(pa.x, pa.y, pb.x, pb.y, slot);
    return 0;
}

int32_t draw_Line3DObjects(const MathVec3* a, const MathVec3* b, int32_t slot) {
    FixWorldPos wa, wb;
    fix_FloatToWorld(a, &wa);
    fix_FloatToWorld(b, &wb);
    return draw_Line3D(&wa, &wb, slot);
}

int32_t draw_LabelAt3D(const MathVec3* position, const char* text, int32_t colour, int32_t shadowColour) {
    if (!position || !text) return -1;
    char label[256];
    snprintf(label, sizeof label, "%s", text);
    FixWorldPos world;
    fix_FloatToWorld(position, &world);
    FixVec3 camera;
    draw_ToCameraSpace(&world, &camera);
    if (camera.z <= NearDistance()) return -1;
    FixScreenPoint p;
    draw_ProjectToScreen(&camera, &p);
    if (p.x < 0 || p.x >= otw_ScreenSurface.width || p.y < 0 || p.y >= otw_ScreenSurface.height) return -1;
    if (!draw_LabelFont) return -1;
    font_DrawString(label, draw_LabelFont, p.x + 1, p.y + 1, shadowColour, FONT_MODE_ONE_COLOUR);
    font_DrawString(label, draw_LabelFont, p.x, p.y, colour, FONT_MODE_ONE_COLOUR);
    return 0;
}

void draw_Axes3D(const MathFrame* frame, float length) {
    if (!frame) return;
    FixWorldPos origin = FramePoint(*frame, 0, 0, 0);
    FixWorldPos x = FramePoint(*frame, length, 0, 0);
    FixWorldPos y = FramePoint(*frame, 0, length, 0);
    FixWorldPos z = FramePoint(*frame, 0, 0, length);
    draw_Line3D(&origin, &x, 2);
    draw_Line3D(&origin, &y, 1);
    draw_Line3D(&origin, &z, 5);
}

void draw_OrientedBox3D(const MathMat33* matrix, const MathVec3* position, float size, int32_t slot) {
    if (!matrix || !position) return;
    g_boxFrame.rot = *matrix;
    g_boxFrame.pos = *position;
    float h = size * 0.5f;
    // The first face (z = -h), the opposite face, in the same order.
    const float corner[4][2] = {{-h, -h}, {h, -h}, {h, h}, {-h, h}};
    FixWorldPos front[4], back[4];
    for (int i = 0; i < 4; i++) {
        front[i] = FramePoint(g_boxFrame, corner[i][0], corner[i][1], -h);
        back[i] = FramePoint(g_boxFrame, corner[i][0], corner[i][1], h);
    }
    for (int i = 0; i < 4; i++) draw_Line3D(&front[i], &front[(i + 1) & 3], slot);
    for (int i = 0; i < 4; i++) draw_Line3D(&back[i], &back[(i + 1) & 3], slot);
    for (int i = 0; i < 4; i++) draw_Line3D(&front[i], &back[i], slot);
}

void draw_MarkerBox3D(const MathVec3* position, float size, int32_t slot) {
    MathMat33 identity;
    math_Mat33Identity(&identity);
    draw_OrientedBox3D(&identity, position, size, slot);
}

void draw_Box3D(float s, int32_t slot) {
    const float p[10][3] = {
        {0, 0, 0},         {0, 0, s / 2},     {0, s / 4, 0},     {-s / 8, 0, 0}, {s / 8, 0, 0},
        {-s / 8, 0, s / 2}, {s / 8, 0, s / 2}, {-s / 2, 0, s / 2}, {s / 2, 0, s / 2}, {0, 0, s},
    };
    // The fin, then the outline of the arrow.
    const int edges[11][2] = {{0, 1}, {1, 2}, {2, 0}, {0, 3}, {3, 5}, {5, 7}, {7, 9}, {9, 8}, {8, 6}, {6, 4}, {4, 0}};
    FixWorldPos w[10];
    for (int i = 0; i < 10; i++) w[i] = FramePoint(g_boxFrame, p[i][0], p[i][1], p[i][2]);
    for (const auto& e : edges) draw_Line3D(&w[e[0]], &w[e[1]], slot);
}

void draw_ObjectBox3D(const ObjectRecord* object) {
    if (!object) return;
    fix_WorldAnglesToFrame(&object->position, &object->angles, &g_boxFrame);
    draw_Box3D(DRAW_OBJECT_BOX_SIZE, DRAW_OBJECT_BOX_SLOT);
}

int32_t draw_Diamond3D(const FixWorldPos* point, int32_t s, int32_t slot) {
    FixScreenPoint p;
    if (draw_ProjectPoint3D(point, &p) != 0) return -1;
    int64_t x = p.x, y = p.y;
    Line(x, y - s, x + s, y, slot);
    Line(x + s, y, x, y + s, slot);
    Line(x, y + s, x - s, y, slot);
    Line(x - s, y, x, y - s, slot);
    return 0;
}

int32_t draw_Triangle3D(const FixWorldPos* point, int32_t s, int32_t slot) {
    FixScreenPoint p;
    if (draw_ProjectPoint3D(point, &p) != 0) return -1;
    int64_t x = p.x, y = p.y;
    Line(x, y - s, x + s, y + s, slot);
    Line(x + s, y + s, x - s, y + s, slot);
    Line(x - s, y + s, x, y - s, slot);
    return 0;
}

int32_t draw_Square3D(const FixWorldPos* point, int32_t s, int32_t slot) { return draw_Rect3D(point, s, s, slot); }

int32_t draw_Plus3D(const FixWorldPos* point, int32_t s, int32_t slot) {
    FixScreenPoint p;
    if (draw_ProjectPoint3D(point, &p) != 0) return -1;
    int64_t x = p.x, y = p.y;
    Line(x, y - s, x, y + s, slot);
    Line(x - s, y, x + s, y, slot);
    return 0;
}

int32_t draw_Cross3D(const FixWorldPos* point, int32_t s, int32_t slot) {
    FixScreenPoint p;
    if (draw_ProjectPoint3D(point, &p) != 0) return -1;
    int64_t x = p.x, y = p.y;
    Line(x - s, y - s, x + s, y + s, slot);
    Line(x + s, y - s, x - s, y + s, slot);
    return 0;
}

int32_t draw_Rect3D(const FixWorldPos* point, int32_t halfWidth, int32_t halfHeight, int32_t slot) {
    FixScreenPoint p;
    if (draw_ProjectPoint3D(point, &p) != 0) return -1;
    int64_t x1 = (int64_t)p.x - halfWidth, x2 = (int64_t)p.x + halfWidth;
    int64_t y1 = (int64_t)p.y - halfHeight, y2 = (int64_t)p.y + halfHeight;
    Line(x1, y1, x2, y1, slot);
    Line(x2, y1, x2, y2, slot);
    Line(x2, y2, x1, y2, slot);
    Line(x1, y2, x1, y1, slot);
    return 0;
}

int32_t draw_LeaderDiamond3D(const FixWorldPos* point, int32_t slot) {
    FixScreenPoint p, anchor;
    if (draw_ProjectPoint3D(point, &p) != 0) return -1;
    if (LeaderAnchor(&anchor) != 0) return -1;
    int64_t x = p.x, y = p.y;
    Line(x, y - 10, x + 20, y, slot);
    Line(x + 20, y, x, y + 10, slot);
    Line(x, y + 10, x - 20, y, slot);
    Line(x - 20, y, x, y - 10, slot);
    Line(x, y, anchor.x, anchor.y, slot);
    return 0;
}

int32_t draw_Symbol3D(const FixWorldPos* point, int32_t s, int32_t slot) {
    int64_t r = s;
    int64_t k = (r + r + r) / 4;
    const int64_t offsets[8][2] = {{0, r}, {k, k}, {r, 0}, {k, -k}, {0, -r}, {-k, -k}, {-r, 0}, {-k, k}};
    FixScreenPoint centre, v[8], anchor;
    if (draw_ProjectPoint3D(point, &centre) != 0) return -1;
    for (int i = 0; i < 8; i++) {
        FixWorldPos w = Offset(*point, offsets[i][0], 0, offsets[i][1]);
        if (draw_ProjectPoint3D(&w, &v[i]) != 0) return -1;
    }
    if (LeaderAnchor(&anchor) != 0) return -1;
    for (int i = 0; i < 8; i++) Line(v[i].x, v[i].y, v[(i + 1) & 7].x, v[(i + 1) & 7].y, slot);
    Line(centre.x, centre.y, anchor.x, anchor.y, slot);
    return 0;
}
