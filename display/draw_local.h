// Local to the 2D primitives (draw_line.cpp, draw_fill.cpp): the clip box a
// primitive may write in, pixel access and the shading rules.
#pragma once
#include <cstdint>
#include <cstring>

#include "display/dsurf.h"
#include "display/pal_hicolor.h"

// x1, y1 inclusive; x2, y2 exclusive.
struct DrawClipBox {
    int32_t x1, y1, x2, y2;
};

// True when the current surface describes pixels that can be drawn: depth
// words that agree and a row wide enough for its width.
inline bool draw_SurfaceUsable(const _DRAW_SURFACE& s) {
    int32_t bpp = s.bytesPerPixel;
    if (!(bpp == 1 || bpp == 2 || bpp == 4) || s.bitsPerPixel != bpp * 8) return false;
    return s.width > 0 && s.height > 0 && s.bytesPerRow >= bpp;
}

// The surface's clip rectangle cut to its pixels, so that a clip word set
// past the buffer never lets a primitive write outside it. False when
// nothing is left.
inline bool draw_SurfaceBox(const _DRAW_SURFACE& s, DrawClipBox* box) {
    if (!draw_SurfaceUsable(s)) return false;
    int32_t w = s.width;
    int32_t rowPixels = s.bytesPerRow / s.bytesPerPixel;
    if (w > rowPixels) w = rowPixels;
    box->x1 = s.clipX1 > 0 ? s.clipX1 : 0;
    box->y1 = s.clipY1 > 0 ? s.clipY1 : 0;
    box->x2 = s.clipX2 < w ? s.clipX2 : w;
    box->y2 = s.clipY2 < s.height ? s.clipY2 : s.height;
    return box->x1 < box->x2 && box->y1 < box->y2;
}

// The clip box of the current surface, for primitives that draw on it.
inline bool draw_CurrentBox(DrawClipBox* box) {
    return draw_CurrentSurface.base && draw_SurfaceBox(draw_CurrentSurface, box);
}

inline uint8_t* draw_PixelAt(const _DRAW_SURFACE& s, int32_t x, int32_t y) {
    return s.base + (intptr_t)y * s.bytesPerRow + (intptr_t)x * s.bytesPerPixel;
}

// Pixels are read and written bytewise: rows of a card's frame need not be
// aligned to the pixel size.
inline uint16_t draw_Load16(const uint8_t* p) {
    uint16_t v;
    memcpy(&v, p, 2);
    return v;
}
inline uint32_t draw_Load32(const uint8_t* p) {
    uint32_t v;
    memcpy(&v, p, 4);
    return v;
}
inline void draw_Store16(uint8_t* p, uint16_t v) { memcpy(p, &v, 2); }
inline void draw_Store32(uint8_t* p, uint32_t v) { memcpy(p, &v, 4); }

inline const DrawColourSlot& draw_Slot(int32_t slot) { return draw_Context.slots[slot & (DRAW_COLOUR_SLOTS - 1)]; }

// The slot's pixel for a depth in bytes.
inline uint32_t draw_SlotPixel(int32_t slot, int32_t bytesPerPixel) {
    const DrawColourSlot& s = draw_Slot(slot);
    return bytesPerPixel == 1 ? s.index : bytesPerPixel == 2 ? s.value16 : s.value32;
}

// Shading: 8-bit pixels through the SHADE TABLE, 16-bit pixels through the
// screen's pixel shade table (low and high byte looked up and added), 32-bit
// pixels by scaling each channel by factor / 256, saturating at 255.
inline uint8_t draw_Shade8(const uint8_t* table, int32_t level, uint8_t p) { return table[(level & 31) * 256 + p]; }

inline uint16_t draw_Shade16(int32_t level, uint16_t p) {
    const uint16_t(*row)[2] = pal_Hc.shade[level & 31];
    return (uint16_t)(row[p & 0xFF][0] + row[p >> 8][1]);
}

inline uint32_t draw_Scale32(uint32_t p, uint32_t factor) {
    uint32_t out = p & 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        uint32_t c = ((p >> shift) & 0xFF) * factor >> 8;
        out |= (c > 255 ? 255 : c) << shift;
    }
    return out;
}

// Saturating narrowing for coordinates worked out in 64 bits.
inline int32_t draw_Sat32(int64_t v) {
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : (int32_t)v;
}

// Rectangles of w x h pixels from `first`, rows `rowBytes` apart (defined in
// draw_fill.cpp; the caller has clipped them): a pixel value, or shading at
// a level (32-bit pixels scaled by factor32 / 256; no SHADE TABLE: nothing).
void draw_FillRows(uint8_t* first, intptr_t rowBytes, int32_t bytesPerPixel, int32_t w, int32_t h, uint32_t value);
void draw_ShadeRows(uint8_t* first, intptr_t rowBytes, int32_t bytesPerPixel, int32_t w, int32_t h, int32_t level,
                    uint32_t factor32);
