// The object renderer: draws one world object from its PAK model at the
// detail level for its distance, culled against the view, one transform per
// part, shaded, its triangles sorted far to near and handed to the triangle
// path (render/tri.h). Also the aircraft's ground shadow and the per-frame
// cell grid of moving objects. (render_ObjectDraw, render_ObjectToViewSpace
// and render_LightDirectionSet are declared in render/render.h.)
//
// Models are shared and never written here, except the part records a part
// hook may change during a draw, which are put back before it returns. The
// per-draw work (view and screen positions, shades, facing, normal caches)
// lives in the renderer's own arrays sized by the mesh.
#pragma once
#include <cstdint>

#include "base/fix.h"

struct ObjectRecord;
struct PakGeometry;
struct PakSubObject;

constexpr int32_t RENDER_NEAR_DEPTH = 0x1000;       // a sphere nearer than this is not drawn
constexpr int32_t RENDER_CULL_DEPTH = 0xe000000;    // nor one at or beyond this
constexpr int32_t RENDER_FAR_OBJECT = 0x8000000;    // beyond: haze instead of light
constexpr int32_t RENDER_SHADOW_HEIGHT = 0xc80000;  // aircraft lower than this cast a shadow

// Draw flags of an object (+2).
enum : uint8_t {
    RENDER_DRAW_NO_CULL = 0x01,
    RENDER_DRAW_NEVER = 0x02,
    RENDER_DRAW_FACING = 0x04,     // faces the camera
    RENDER_DRAW_NO_RADIUS = 0x08,
    RENDER_DRAW_SCALED = 0x10,
};
// Part flags (+0x10).
enum : uint8_t {
    RENDER_PART_DOTS = 0x02,
    RENDER_PART_NO_TRIANGLES = 0x04,
    RENDER_PART_NIGHT_DOTS = 0x08,
    RENDER_PART_FRAME0 = 0x10,
    RENDER_PART_NOT_DUSK = 0x20,   // no triangles while the time of day is 1
    RENDER_PART_HIDDEN = 0x80,
};
// Material flags beyond the rasteriser's.
enum : uint16_t {
    RENDER_MAT_DOUBLE_SIDED = 0x0040,
};

struct RenderObjectState {
    int32_t ambient;          // byte levels of the lit shading
    int32_t maximum;
    FixVec3 light;            // towards the light, normalised and halved
    int32_t forceFinest;      // a pass draws the most detailed level always
    int32_t far;              // the object being drawn is hazed
    uint8_t frameTable[32];   // animation frame per slot; slot 0 is the object's
    int32_t droppedTriangles; // triangles beyond the sort list, since start
    int32_t drawnTriangles;   // triangles submitted, since start
    // The draw in progress, for part hooks and pose routines.
    int32_t hookLevel;        // detail level index
    int32_t hookLastPart;     // part count - 1
    PakSubObject* hookFirstPart;
};
extern RenderObjectState render_Object;

// Standard draw as the C callers call it; nonzero when something was drawn.
int32_t render_ObjectDrawC(ObjectRecord* object);
// The aircraft draw: card depth bias, the ground shadow when low, then the
// standard draw.
void plane_ObjectDraw(ObjectRecord* object);
// The ground shadow of the object: its coarsest level flattened onto the
// terrain.
void render_ModelDrawSorted(ObjectRecord* object);
void render_ObjectToViewSpaceC(ObjectRecord* object);
// Index of the detail level for the object's distance, -1 for none.
int32_t render_DetailSelect(const ObjectRecord* object);
// Nonzero when the object's sphere (the mesh's radius) may be seen.
int32_t render_ObjectVisible(const ObjectRecord* object, const PakGeometry* mesh);
// Bits 1 right, 2 left, 4 top, 8 bottom of the view.
uint32_t render_SphereOutcode(int32_t x, int32_t y, int32_t depth, int32_t radius);
void render_LightDirectionSetC(int32_t x, int32_t y, int32_t z);
// Clears the flag byte of every part of the level being drawn.
void render_PartFlagsClear(PakSubObject* firstPart);

// Per-frame cell grid of moving objects (the terrain pass walks it).
void obj_FrameCellInsert(ObjectRecord* object);
