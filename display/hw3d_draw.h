// What the 2D primitives need of the 3D-card binding beyond the descriptor
// table: the vertex record the card's line entry reads, and whether the
// driver lets the program draw into the card's frame itself.
#pragma once
#include <cstdint>

// One vertex as the line, triangle and quad entries read it: 64 bytes.
// The colour is 0xAABBGGRR: shaded drawing takes 128 in a channel as "as it
// is", blended drawing (HW3D_FLAG_ALPHA) 255.
struct _HW3D_VERTEX {
    int32_t x, y;      // screen position in 1/128 pixel
    int32_t z;
    int32_t weight;    // 256
    uint32_t colour;   // packed vertex colour
    int32_t reserved[11];
};
static_assert(sizeof(_HW3D_VERTEX) == 64, "the card reads 64-byte vertices");

// A texture as the quad entry reads it: 8-bit pixels, read through the
// palette of the driver's state record, rows of 1 << log2Width pixels; the
// texture coordinates of a vertex are in reserved[0] (u) and reserved[1]
// (v), 65536 once across, repeating. Shaded drawing blends towards the
// colour of the colour entry by the fog amount in reserved[2] (0..255).
struct _HW3D_TEXTURE {
    const uint8_t* pixels;
    uint8_t log2Width;
    uint8_t log2Height;
    uint32_t renderFlags;
};

// Render-flag bits of the triangle and texture entries: blend by alpha;
// texel 0 leaves the pixel; texels are grey levels, not palette indices.
constexpr uint32_t HW3D_FLAG_ALPHA = 0x20000;
constexpr uint32_t HW3D_FLAG_TRANSPARENT = 0x10;
constexpr uint32_t HW3D_FLAG_INTENSITY = 0x40000;

// One particle of the record-list entry (76-byte records): the program
// writes every field; the card draws each active one as a blended square
// of `radius` pixels round its screen position, in its colour and alpha.
struct _HW3D_PARTICLE {
    uint32_t colour;          // 0x00BBGGRR
    uint8_t active;
    uint8_t alpha;            // 0..255
    uint8_t core;
    uint8_t spare;
    int32_t x, y, z;          // view space
    int32_t vx, vy, vz;       // velocity, model space, a frame
    int32_t life;             // frames left
    int32_t intensity;
    int32_t intensityStep;
    int32_t size;
    int32_t screenX, screenY;  // 1/128 pixel
    int32_t radius;            // pixels; 0: not on the screen
    int32_t reserved[4];
};
static_assert(sizeof(_HW3D_PARTICLE) == 76, "the card reads 76-byte particle records");

// Nonzero while a loaded driver grants access to the card's frame (the
// access word of its state record): primitives the card cannot draw itself
// are then drawn in software into the frame, otherwise skipped.
int32_t hw3d_FrameAccess(void);
