// The triangle path: every world triangle (object models, terrain) is clipped
// against the far distance and the near plane, subdivided when large and
// near on the software path, given its shading mode and handed to the
// software rasteriser or to the 3D card's triangle entries.
//
// Main thread only: the path's state is one global record.
#pragma once
#include <cstdint>

#include "display/rast.h"

struct PakTextureImage;
struct PatchTriangle;

// A corner as the path reads it: view position, then the rasteriser's
// vertex (screen position in 1/128 pixel, u, v, and the shade, a 16.16
// level with the low 9 bits clear, in the colour word).
struct RenderVertex {
    int32_t viewX, viewY, viewZ;
    PolyVertex screen;
};

constexpr int32_t RENDER_FAR_DEPTH = 0xc800000;       // far clip
constexpr int32_t RENDER_SUBDIVIDE_DEPTH = 0x1380000; // software subdivision only nearer than this
constexpr int32_t RENDER_SUBDIVIDE_MIN = 0xa000;      // smallest split threshold
constexpr int32_t RENDER_TERRAIN_NEAR = 0x10000;      // the terrain's near plane

// Shading modes in the render flags' low four bits.
enum : uint32_t {
    RENDER_MODE_MASK = 0xF,
    RENDER_MODE_TEX_SMOOTH = 1,
    RENDER_MODE_TEX_FLAT = 2,
    RENDER_MODE_COLOUR_SMOOTH = 5,
    RENDER_MODE_COLOUR_FLAT = 6,
    RENDER_FLAG_KEY_NEAREST = 0x0800,  // material sort keys; never reach the card
    RENDER_FLAG_KEY_FARTHEST = 0x1000,
    RENDER_FLAG_CARD_ALPHA = 0x20000,
};

struct RenderTriangleState {
    // Set by the callers before each triangle.
    uint32_t renderFlags;             // material flags; the path puts the mode in the low bits
    const uint8_t* texture;           // pixels of a textured triangle
    PakTextureImage* cardTexture;     // its card texture record, or null
    int32_t reverseWinding;           // the corners run the other way (back faces)
    int32_t nearPlane;                // the near plane the clippers cut at
    int32_t textureDistance;          // textured terrain at or beyond this depth is flat
    int32_t cardAlphaWord;            // handed to the card instead of the shade for 0x20000 textures
    // Written by the path: the last submission's flags and single shade,
    // and counters for the debug pages and the tests.
    uint32_t lastFlags;
    int32_t lastShade;
    int32_t submitted;
    int32_t rejected;
};
extern RenderTriangleState render_Tri;

// Model triangles: colour is the material's colour word (palette index in
// the low byte, 0x00BBGGRR above it), or -1 for the textured triangle set in
// render_Tri.
void render_ModelTriangleDraw(RenderVertex* a, RenderVertex* b, RenderVertex* c, int32_t colour);
// The terrain entries (render_TriangleDraw in render/render.h is the first:
// the texture-distance fallback applies) draw render_CurrentPolygon; this
// one never falls back to the flat colour.
void render_TriangleDrawNoProbe(int32_t colour);

// Rejection and software subdivision, then near clip and submit.
void render_PolygonDraw(RenderVertex* a, RenderVertex* b, RenderVertex* c, int32_t colour);
// 0: all corners inside (the caller submits), 1: all outside (nothing
// drawn), 2: the clipped pieces were drawn here.
int32_t render_TriangleClipFar(RenderVertex* a, RenderVertex* b, RenderVertex* c, int32_t colour);
int32_t render_TriangleClipNear(RenderVertex* a, RenderVertex* b, RenderVertex* c, int32_t colour);
// Shading mode and hand-over to the rasteriser or the card.
void render_TriangleSubmit(RenderVertex* a, RenderVertex* b, RenderVertex* c, int32_t colour);
// The colour a textured terrain triangle takes at or beyond the texture
// distance (its average-colour byte), or -1 to keep the texture.
int32_t render_ProbeColourCapture(const PatchTriangle* triangle, const RenderVertex* first, int32_t colour);
// Palette index 0 at the vertex's screen position on an 8-bit surface.
void render_PixelClear(const RenderVertex* vertex);
