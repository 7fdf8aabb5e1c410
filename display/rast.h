// The software polygon rasteriser: fills screen-space triangles on the
// current surface (display/dsurf.h), flat-coloured or textured, flat- or
// Gouraud-shaded, transparent, translucent, blended or with one of the effect
// fills. Exact fixed-point edge walking with plane-fitted gradients; the
// per-pixel loops come from one of four span tables (display/span.h), chosen
// by the pixel mode, and within it by the render flags.
//
// Main thread only: the span state and the triangle record are global.
#pragma once
#include <cstdint>

// A triangle corner, as the rasteriser reads it. Callers with records of
// their own embed it after their leading fields.
struct PolyVertex {
    int32_t x, y;     // 1/128 pixel
    int32_t u, v;     // 1/65536 of the texture width and height (65536 = once across; it repeats)
    // Bits 8-23: the shade in 8.8 (level in 16-23). At 32 bits also a haze
    // amount in bits 24-31 and a highlight in bits 0-7, each counted only
    // when some corner has it at 8 or more.
    uint32_t colour;
};

// Render flags.
enum : uint32_t {
    POLY_GOURAUD = 0x1,
    POLY_FLAT_SHADE = 0x2,
    POLY_TEXTURED = 0x8,
    POLY_TRANSPARENT = 0x10,  // texel 0 leaves the pixel
    POLY_NO_DRAW = 0x20,      // textured: nothing drawn (set 16)
    POLY_TRANSLUCENT = 0x80,
    POLY_DARKEN = 0x100,      // untextured
    POLY_BLEND = 0x200,
    POLY_JITTER = 0x2000,
    POLY_SMEAR = 0x4000,      // untextured
    POLY_ALPHA_COLOUR = 0x20000,    // set 17
    POLY_CHANNEL = 0x80000,         // set 15
    POLY_ADD = 0x100000,            // set 19
    POLY_ADD_SCALED = 0x200000,     // set 20
    POLY_COPY16 = 0x800000,         // set 14
    POLY_ALPHA_TEXEL = 0x1000000,   // set 13
    POLY_MIX = 0x2000000,           // set 18
};

// Pixel modes.
enum : int32_t {
    POLY_MODE_8 = 1,       // 8-bit integer loops
    POLY_MODE_8_MMX = 2,   // 8-bit, the lane loops (same results)
    POLY_MODE_16 = 3,
    POLY_MODE_32 = 5,
};

// The span state. The first group is stored by the drawing callers and read
// by the rasteriser; the second is the rasteriser's own, cleared by
// poly_ResetState and at every pixel-mode change.
struct PolySpanState {
    // SpanShadeTable: 256-byte rows by shade level, columns by colour index
    // (8-bit flat and Gouraud shading). shadeRows is how many rows it has;
    // levels past the last row read the last row.
    const uint8_t* shadeTable;
    int32_t shadeRows;
    // SpanBlendTable: 256 x 256, row = texel or colour, column = destination.
    const uint8_t* blendTable;
    // SpanTextureShifts: the texture is 2^su x 2^sv bytes (0..16 each), and
    // the level offset that widens the jitter to 2^levelOffset texels.
    int32_t textureShiftU, textureShiftV;
    int32_t levelOffset;
    // Nonzero: the following triangles are given in the other winding.
    int32_t reverseWinding;
    uint32_t renderFlags;      // kept between triangles until changed
    uint32_t rememberedWord;   // the 32-bit loops' second word
    const uint8_t* texture;    // the last textured triangle's texture
    uint8_t dither;            // ordered dither of the shade fraction, kept across triangles

    uint32_t jitter;           // accumulator
    uint32_t smearSeed;
    // The values the set-up routines last loaded into the loops, and the
    // jitter constants derived from them.
    int32_t loadedShiftU, loadedShiftV, loadedLevelOffset;
    uint32_t jitterStep, jitterMask;
    const void* loadedMaster;
    const uint16_t* loadedShade16;
    uint32_t loadedMask16;
};
extern PolySpanState poly_SpanState;

// The current pixel mode (1, 2, 3 or 5).
extern int32_t poly_PixelMode;
// Seed of the dither and smear generator.
extern uint32_t poly_RandomSeed;
// The haze colour of the 32-bit loops, 0x00RRGGBB.
extern uint32_t poly_HazeColour;

// Selects the span table of mode 1, 2, 3 or 5 and clears the span state; any
// other number only clears the state.
void poly_SetPixelMode(int32_t mode);
// 5 at 32 bits, 3 at 16, at 8 bits 2 when useMmx is nonzero, else 1 (the
// depth of vid_State); sets and returns it.
int32_t poly_SelectPixelMode(int32_t useMmx);
void poly_ResetState(void);

// Draws one triangle on the current surface. destination is its base (null:
// nothing). colour is the flat colour (low byte; at 32 bits a 0x00RRGGBB
// word) for untextured triangles and the texture for textured ones. Corners
// are given clockwise on the screen, or the other way with reverseWinding
// set; a triangle given the wrong way round draws nothing.
void poly_DrawPolygon(const PolyVertex* a, const PolyVertex* b, const PolyVertex* c, uint8_t* destination,
                      uintptr_t colour);
void poly_DrawPolygonC(const PolyVertex* a, const PolyVertex* b, const PolyVertex* c, uint8_t* destination,
                       uintptr_t colour);
// Stores the render flags, then draws.
void poly_DrawPolygonTex(const PolyVertex* a, const PolyVertex* b, const PolyVertex* c, uint8_t* destination,
                         uintptr_t colour, uint32_t flags);

// seed = rol(rol(seed, 11) + seed, 3); returns the new seed.
uint32_t poly_NextRandom(void);
// Each argument's low byte.
void poly_SetHazeColourA(int32_t red, int32_t green, int32_t blue);
