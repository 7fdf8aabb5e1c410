// Drawing surface descriptors and the draw context. Every 2D primitive,
// text routine, blit and the software rasteriser draws into the current
// surface, a copy of one descriptor.
#pragma once
#include <cstdint>

// One per drawable buffer. The current surface is a full copy of one.
struct _DRAW_SURFACE {
    uint8_t* base;          // top-left pixel; null: nothing to draw on
    int32_t size;           // width x height x bytes per pixel
    int32_t width, height;  // pixels
    // Clip rectangle in 1/128 pixel (pixel value x 128).
    int32_t clipX1F, clipY1F, clipX2F, clipY2F;
    // Clip rectangle in pixels: x1, y1 inclusive, x2, y2 exclusive.
    int32_t clipX1, clipY1, clipX2, clipY2;
    int32_t xScale;             // clip width x 256 / 320
    int32_t centreXF, centreYF; // half the clip size, in 1/128 pixel
    int32_t viewX, viewY;       // the world renderer's own projection centre words
    int32_t widthScale;         // width x 65536 / 320 (16.16 layout scale)
    int32_t bitsPerPixel;       // 8, 16 or 32
    int32_t bytesPerPixel;      // 1, 2 or 4
    int32_t bytesPerRow;
    int32_t hw3d;               // nonzero: the 3D card's frame
    int32_t modeExact;          // set by the display layer at a mode change
    // Lock mask: the pass bits that need the frame buffer locked; on a 3D
    // card's frame also the bits of primitives drawn in software.
    int32_t lockMask;
};

// Flag bits of lockMask on a 3D-card surface: primitives the program draws
// in software into the card's frame.
enum : int32_t { DSURF_SOFT_LINES = 0x02, DSURF_SOFT_ARCS = 0x04, DSURF_SOFT_POINTS = 0x10 };

struct DrawColourSlot {
    uint8_t handle;    // the slot's own number once set; callers pass it as the colour
    uint8_t index;     // 8-bit palette index
    uint16_t value16;  // 16-bit pixel in the masks current when it was set
    uint32_t value32;  // 0x00RRGGBB
};

enum { DRAW_COLOUR_SLOTS = 32 };

// The draw context (one, global).
struct DrawContext {
    uint8_t* blitSource;
    uint8_t* blitDest;
    int32_t sourceRowWidth, destRowWidth;  // pixels
    int32_t sourceX, sourceY;
    int32_t destX, destY;                  // also the origin of fills and panels
    int32_t width, height;                 // of the rectangle blitted or filled
    int32_t value;                         // fill value, panel style or shade level
    const uint8_t* shadeMap;               // one level byte per pixel
    int32_t shadeMapRowWidth;
    int32_t xStep, yStep;                  // 16.16, for the stepped blit
    int32_t sourceDepth;                   // 8, 15, 16 or 32
    uint8_t* shadeTable;                   // the current SHADE TABLE; also the rasteriser's translucency table
    float inv128;                          // 1/128, for the rasteriser's gradients
    uint8_t colourSlot;                    // slot of the line being drawn
    uint16_t lastColour16;                 // colours of the last line drawn
    uint32_t lastColour32;
    int32_t lineShade;                     // next clipped line drawn shaded, then cleared
    DrawColourSlot slots[DRAW_COLOUR_SLOTS];  // DrawColourSlots
};

extern DrawContext draw_Context;
extern _DRAW_SURFACE draw_CurrentSurface;
// A 1024 x 32 8-bit work surface and its buffer.
enum { DRAW_WORK_WIDTH = 1024, DRAW_WORK_HEIGHT = 32 };
extern uint8_t draw_WorkBuffer[DRAW_WORK_WIDTH * DRAW_WORK_HEIGHT];
extern _DRAW_SURFACE draw_WorkSurface;
// sin(i x 2 pi / 512) for i = 0..1024; the cosine of step i is entry i + 128.
extern float draw_SineTable[1025];

// Once, at display start-up: slot 15 white, the 1/128 constant, the work
// surface and the sine table.
void draw_Init(void);
// Clears the descriptor and describes the buffer, clip = whole surface.
void draw_InitSurfaceDesc(_DRAW_SURFACE* desc, void* base, int32_t width, int32_t height, int32_t bytesPerPixel);
void draw_SelectSurface(const _DRAW_SURFACE* desc);
// Both clip forms of desc (centre and scale kept); returns desc.
_DRAW_SURFACE* draw_SetSurfaceClip(_DRAW_SURFACE* desc, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// Centre and x scale from desc's clip rectangle.
void draw_CentreSurface(_DRAW_SURFACE* desc);
_DRAW_SURFACE* draw_StoreSurfacePtr(_DRAW_SURFACE** slot, _DRAW_SURFACE* desc);
// The four pixel clip words of the current surface only.
void draw_SetClipRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void draw_SetBlitSource(void* pixels, int32_t rowWidth);
void draw_SetBlitDest(void* pixels, int32_t rowWidth);
void draw_SetBlitShadeMap(const void* map, int32_t rowWidth);
// Sets a colour slot (0..31) from r, g, b in the palette and masks current
// now; returns its 16-bit value (0, nothing set, for a slot outside 0..31).
uint16_t draw_SetColourSlot(int32_t slot, int32_t r, int32_t g, int32_t b);
// Builds a shade table from the current palette and makes it the draw
// context's and the rasteriser's; null when building failed.
uint8_t* pal_InstallShadeTable(void);
