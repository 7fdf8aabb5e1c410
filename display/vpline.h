// Line primitives drawn through the current viewport (display/evp.h) rather
// than the current surface: lines, clipped lines, 3D lines and points in
// view or world space, points, rectangle outlines and filled rectangles, on
// 8-bit or 16-bit viewports (other depths draw nothing). Pixels are reached
// through the viewport's row table. The clip box is the viewport's, both
// bounds inclusive; nothing is ever written outside it. Main thread only.
#pragma once
#include <cstdint>

#include "base/math.h"

// Raw pixel values: a palette index on 8-bit viewports, a 16-bit pixel on
// 16-bit ones. The rectangle colour becomes the line colour when a
// rectangle is drawn.
struct VpColourWords {
    uint32_t line;
    uint32_t rect;
    uint32_t point;
};
extern VpColourWords vp_Colours;

// From (x1, y1) towards (x2, y2): the start is drawn, the end is not; equal
// ends draw that one point.
void vp_Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// Clipped to the left, right, top and bottom bounds first.
void vp_ClipLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// View-space points (x right, y up, z forward) cut at depth 1.0 and projected
// with the viewport's centre and scales.
void vp_Line3D(const MathVec3* a, const MathVec3* b);
// World points taken into the camera's view space first.
void vp_Line3DWorld(const MathVec3* a, const MathVec3* b, const MathFrame* camera);
// The four sides of the clipped rectangle, each corner drawn once.
void vp_RectOutline(int32_t x, int32_t y, int32_t w, int32_t h);
// h rows of w pixels after the clip.
void vp_FillRect(int32_t x, int32_t y, int32_t w, int32_t h);
// In the point colour, inside the clip box.
void vp_Point(int32_t x, int32_t y);
// Drawn only deeper than 1.0.
void vp_Point3D(const MathVec3* p);
void vp_Point3DWorld(const MathVec3* p, const MathFrame* camera);

// The rectangle cut to the clip box in place: 0, or -1 when nothing is left.
int32_t vp_ClipRect(int32_t* x, int32_t* y, int32_t* w, int32_t* h);
// One bound each: -1 when the line lies wholly beyond it, else 0 with an end
// beyond it moved onto it.
int32_t vp_ClipLineLeft(int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2);
int32_t vp_ClipLineRight(int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2);
int32_t vp_ClipLineTop(int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2);
int32_t vp_ClipLineBottom(int32_t* x1, int32_t* y1, int32_t* x2, int32_t* y2);
