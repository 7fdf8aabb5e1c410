// 3D projection and wireframe markers: world points taken into the current
// camera's space (render/view.h: eye position and view rotation set),
// tested against the view's near distance (render/view.h, 1/128 units),
// projected to screen pixels of the current surface and joined by clipped
// 2D lines (display/draw_line.h). Labels, 3D lines, axis tripods, boxes and
// screen-sized marker symbols are built on top.
//
// A point nearer than the near distance makes the routine fail and draw
// nothing: lines crossing the near distance are never cut. Routines that
// can fail return 0 when drawn, -1 otherwise. Main thread only.
#pragma once
#include <cstdint>

#include "base/fix.h"
#include "base/math.h"

struct BitmapFont;
struct ObjectRecord;

// out = (point - eye) rotated by the view rotation set about y, x, then z.
void draw_ToCameraSpace(const FixWorldPos* world, FixVec3* out);
// fix_ProjectToScreen, then both coordinates shifted right by 7 (whole
// pixels, rounded toward minus infinity).
void draw_ProjectToScreen(const FixVec3* camera, FixScreenPoint* out);
// 0 when clip x1 <= x <= clip x2 and clip y1 <= y <= clip y2, else -1.
int32_t draw_PointInClip(const FixScreenPoint* point);
// Camera transform; -1 when the depth is below the near distance, else the
// projection in pixels (the Fine form keeps 1/128 pixel) and 0.
int32_t draw_ProjectPoint3D(const FixWorldPos* world, FixScreenPoint* out);
int32_t draw_ProjectPoint3DFine(const FixWorldPos* world, FixScreenPoint* out);
// 0 when both depths are at least near, else -1.
int32_t draw_SegmentInFront(const FixVec3* a, const FixVec3* b, int32_t nearDistance);

// Both ends projected, then a clipped line in the slot.
int32_t draw_Line3D(const FixWorldPos* a, const FixWorldPos* b, int32_t slot);
// The same for float positions in metres.
int32_t draw_Line3DObjects(const MathVec3* a, const MathVec3* b, int32_t slot);

// Font of the 3D labels (one-colour mode); no label is drawn while null.
extern BitmapFont* draw_LabelFont;
// The label needs a depth strictly beyond the near distance and an anchor
// on the screen's descriptor (0 <= x < width, 0 <= y < height); drawn at
// (x + 1, y + 1) in the shadow colour, then at (x, y) in the colour.
int32_t draw_LabelAt3D(const MathVec3* position, const char* text, int32_t colour, int32_t shadowColour);

// The frame's origin joined to the points at `length` along its x, y and z
// axes, in colour slots 2, 1 and 5.
void draw_Axes3D(const MathFrame* frame, float length);
// A cube of half-size size / 2 turned by the matrix (which becomes the
// current box frame's) and placed at the position: twelve 3D lines.
void draw_OrientedBox3D(const MathMat33* matrix, const MathVec3* position, float size, int32_t slot);
// The same, axis-aligned.
void draw_MarkerBox3D(const MathVec3* position, float size, int32_t slot);
// The arrow of ten points in the current box frame's axes, of size s.
void draw_Box3D(float s, int32_t slot);
// The arrow at an object's position and angles, DRAW_OBJECT_BOX_SIZE metres
// long, in colour slot DRAW_OBJECT_BOX_SLOT.
constexpr float DRAW_OBJECT_BOX_SIZE = 20.0f;
constexpr int32_t DRAW_OBJECT_BOX_SLOT = 15;
void draw_ObjectBox3D(const ObjectRecord* object);

// Screen-sized markers around the projection (x, y) of a world point; s is
// a half-size in pixels.
int32_t draw_Diamond3D(const FixWorldPos* point, int32_t s, int32_t slot);
int32_t draw_Triangle3D(const FixWorldPos* point, int32_t s, int32_t slot);
int32_t draw_Square3D(const FixWorldPos* point, int32_t s, int32_t slot);
int32_t draw_Plus3D(const FixWorldPos* point, int32_t s, int32_t slot);
int32_t draw_Cross3D(const FixWorldPos* point, int32_t s, int32_t slot);
int32_t draw_Rect3D(const FixWorldPos* point, int32_t halfWidth, int32_t halfHeight, int32_t slot);
// Leader markers end a line at the anchor: the screen centre with view flag
// 0x100, else the projection of the viewed object (no anchor: nothing).
// A diamond 20 pixels half-wide and 10 half-high.
int32_t draw_LeaderDiamond3D(const FixWorldPos* point, int32_t slot);
// An octagon of radius s (world units) in the horizontal plane through the
// point, k = 3s/4: drawn only when the centre and all eight vertices
// project.
int32_t draw_Symbol3D(const FixWorldPos* point, int32_t s, int32_t slot);
