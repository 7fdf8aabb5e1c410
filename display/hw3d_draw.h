// What the 2D primitives need of the 3D-card binding beyond the descriptor
// table: the vertex record the card's line entry reads, and whether the
// driver lets the program draw into the card's frame itself.
#pragma once
#include <cstdint>

// One vertex as the line entry reads it: 64 bytes.
struct _HW3D_VERTEX {
    int32_t x, y;      // screen position in 1/128 pixel
    int32_t z;
    int32_t weight;    // 256
    uint32_t colour;   // packed vertex colour
    int32_t reserved[11];
};
static_assert(sizeof(_HW3D_VERTEX) == 64, "the card reads 64-byte vertices");

// Nonzero while a loaded driver grants access to the card's frame (the
// access word of its state record): primitives the card cannot draw itself
// are then drawn in software into the frame, otherwise skipped.
int32_t hw3d_FrameAccess(void);
