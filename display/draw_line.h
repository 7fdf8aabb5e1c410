// Line art on the current surface (display/dsurf.h): clipped solid and
// shaded lines, brush lines, points, outline and filled rectangles, vector
// shapes, midpoint circles and filled discs, at 8, 16 or 32 bits per pixel;
// the colour-slot entries that send lines, points and arcs to the 3D card
// when the current surface is the card's frame; and a mapped drawing space
// in which lines, circles and arcs given in a 0..65536 square land on any
// quadrilateral of the screen.
//
// Coordinates are integer pixels; the clip rectangle is the current
// surface's (x1, y1 inclusive, x2, y2 exclusive) and no primitive writes
// outside it. Colours are colour slots (0..31, taken modulo 32). Nothing is
// drawn while the current surface has no base. Main thread only.
#pragma once
#include <cstdint>

#include "base/fix.h"

// ---- Current-surface primitives ----

// Clips and draws a line in the current colour slot; with the draw
// context's line shade flag set the line is shaded instead, the slot number
// being the shade level, and the flag is cleared (drawn or rejected). Both
// end points are drawn.
void draw_ClipLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// Makes slot the current colour slot, then draw_ClipLine.
void draw_ClipLineC(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t slot);

// Writes one byte at (x, y) inside the clip rectangle (the first byte of the
// pixel on deeper surfaces; meant for 8-bit surfaces).
void draw_PlotPixelClipped(int32_t x, int32_t y, int32_t value);

// Four sides of the rectangle with corners (x1, y1) and (x2, y2), both
// inclusive, in any order, in the current slot's colour.
void draw_RectOutline(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// The rectangle filled, corners inclusive and in any order, current slot.
void draw_FillRectUnclipped(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// Midpoint circle, every point clipped on its own.
void draw_CircleMidpoint(int32_t cx, int32_t cy, int32_t r, int32_t slot);
void draw_CircleMidpointC(int32_t cx, int32_t cy, int32_t r, int32_t slot);
// Filled disc through the span table (rows 0..649 of the surface; each row
// is filled from its left edge up to, not including, its right edge).
enum { DRAW_DISC_ROWS = 650 };
void draw_FillDisc(int32_t cx, int32_t cy, int32_t r, int32_t slot);

// Brush lines: a width x width square with its top-left corner at
// (x - width/2, y - width/2), cut to the clip rectangle, at the steps of the
// clipped line. Mode bits below; spacing is in steps.
enum : int32_t {
    DRAW_BRUSH_SHADED = 0x01,   // shaded at level slot / 8 (nothing on 32-bit surfaces)
    DRAW_BRUSH_RESTART = 0x02,  // phase 0: first dot on the first pixel
    DRAW_BRUSH_KEEP = 0x04,     // the phase as an earlier line left it (neither: phase 1)
    DRAW_BRUSH_DASHED = 0x08,   // dashes of `spacing` steps instead of dots
};
void draw_BrushLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t slot, int32_t width, int32_t spacing,
                    int32_t mode);
// The dotted and dashed walks of an already clipped line, with the brush set
// by the last draw_BrushLine.
void draw_LinePlotted(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void draw_LineDashed(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// Vector shapes: 8-byte commands. Opcode 0 moves the pen to origin +
// (dx, dy), 1 draws a clipped line from the pen there and moves the pen, 2
// ends the list; other opcodes are skipped. The pen stays where the last
// shape left it. A list is walked for at most DRAW_SHAPE_MAX_COMMANDS
// commands when it has no end.
struct DrawShapeCommand {
    int16_t op, dx, dy;
    uint16_t unused;
};
enum { DRAW_SHAPE_MOVE = 0, DRAW_SHAPE_LINE = 1, DRAW_SHAPE_END = 2, DRAW_SHAPE_MAX_COMMANDS = 4096 };
void draw_VectorShape(const DrawShapeCommand* commands, int32_t x, int32_t y, int32_t slot);
// The offsets multiplied by scale (truncated toward zero).
void draw_VectorShapeScaled(const DrawShapeCommand* commands, int32_t x, int32_t y, int32_t slot, float scale);

// ---- Colour-slot entries (software, or the 3D card's line entry) ----

void draw_Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t slot);
void draw_Point(int32_t x, int32_t y, int32_t slot);
// Arc from startStep to endStep (512 steps a turn, 0 up the screen,
// clockwise), in segments of 8 steps; an end below the start wraps once.
void draw_ArcSegments(int32_t cx, int32_t cy, int32_t r, int32_t slot, int32_t startStep, int32_t endStep);

// ---- Mapped drawing space ----

// Corners in 1/128 pixel of the square (0, 0), (65536, 0), (65536, 65536),
// (0, 65536); the clip window goes back to that whole square.
void draw_SetFloatClipWindow(FixScreenPoint p0, FixScreenPoint p1, FixScreenPoint p2, FixScreenPoint p3);
void draw_SetFloatScale(float uMin, float vMin, float uMax, float vMax);
// (u, v) in the square to screen pixels.
void draw_MapPoint(float* outX, float* outY, float u, float v);
// Clips the line to the window in place: 0, or -1 when wholly outside.
int32_t draw_ClipMappedLine(float* ua, float* va, float* ub, float* vb);
// Clip, map, truncate and draw_Line: 0, or -1 when the clip rejected it.
int32_t draw_ClipLineF(int32_t ua, int32_t va, int32_t ub, int32_t vb, int32_t slot);
// The same ending in draw_BrushLine.
int32_t draw_ClipShapeLine(int32_t ua, int32_t va, int32_t ub, int32_t vb, int32_t slot, int32_t width,
                           int32_t spacing, int32_t mode);
// 64 segments (u = cu + r sin, v = cv + r cos).
void draw_Circle(int32_t cu, int32_t cv, int32_t r, int32_t slot);
// An arc by the rule of draw_ArcSegments, in the mapped space.
void draw_Arc(int32_t cu, int32_t cv, int32_t r, int32_t slot, int32_t startStep, int32_t endStep);
