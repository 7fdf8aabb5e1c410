// Rectangle operations: solid and shaded fills, the bevelled panel of menus
// and cockpit pages, and blits from an image buffer (transparent, opaque,
// shade-mapped, and rotated or scaled with 16.16 steps) converting 8, 15, 16
// or 32-bit sources; also the grey conversion of an 8-bit image and the tint
// ramp.
//
// Everything works from the blit fields of the draw context (display/dsurf.h):
// the plain-call entries store their arguments there and run the routine.
// The destination is draw_Context.blitDest, rows destRowWidth pixels apart,
// with the current surface's depth; it must hold the current surface's
// height in rows. Every write stays inside the current surface's clip
// rectangle cut to its width, its height and the destination row width. A
// null destination, source or shade map draws nothing. Main thread only.
#pragma once
#include <cstdint>

// Rows of the buffer last given to draw_SetBlitSource / draw_SetBlitShadeMap
// (given again after every change of buffer; 0 or less: not known). A known
// size cuts the source rectangle of the blits to the buffer; the stepped
// blit samples anywhere in the source, so it draws only with a known size.
// Source columns are always cut to the row width.
void draw_SetBlitSourceRows(int32_t rows);
void draw_SetBlitShadeMapRows(int32_t rows);

// Skips source pixels of value 0; source depth from the draw context.
void draw_BlitTransparent(int32_t destX, int32_t destY, int32_t width, int32_t height, int32_t sourceX,
                          int32_t sourceY);
// sourceDepth 8, 15 (5-5-5 converted to the surface's 16-bit format), 16 or
// 32; transparent nonzero skips source pixels of value 0.
void draw_BlitRect(int32_t destX, int32_t destY, int32_t width, int32_t height, int32_t sourceX, int32_t sourceY,
                   int32_t sourceDepth, int32_t transparent);
// The source sampled from (sourceX, sourceY) by (xStep, yStep) (16.16) along
// a destination row, each row starting (-yStep, xStep) further: the image
// rotated and scaled; (65536, 0) is a plain copy, (0, 65536) a quarter turn.
// Source pixels of value 0 and samples outside the source are skipped.
void draw_BlitStepped(int32_t destX, int32_t destY, int32_t width, int32_t height, int32_t sourceX, int32_t sourceY,
                      int32_t xStep, int32_t yStep);
// 8-bit sources through the shade map (one level byte per pixel, addressed
// like the source with its own row width); 8- and 16-bit surfaces.
void draw_BlitShaded(int32_t destX, int32_t destY, int32_t width, int32_t height, int32_t sourceX, int32_t sourceY);
// The same skipping pixels whose level is 0.
void draw_BlitShadedMasked(int32_t destX, int32_t destY, int32_t width, int32_t height, int32_t sourceX,
                           int32_t sourceY);

// The raw pixel value at the surface's depth.
void draw_FillRectC(int32_t x, int32_t y, int32_t width, int32_t height, int32_t value);
// Over the draw context's rectangle (destX, destY, width, height):
// the slot's colour at the surface's depth,
void draw_FillRectSlot(int32_t slot);
// every pixel shaded at the level (0..31),
void draw_ShadeRect(int32_t level);
// and the bevelled panel: light top and left, dark right and bottom edges
// two pixels wide around it, the inside shaded at the style level. The draw
// context's rectangle is left at the inside.
void draw_BevelPanel(int32_t style);
void draw_BevelPanelAt(int32_t x, int32_t y, int32_t width, int32_t height, int32_t style);

// Each nonzero byte b of the buffer becomes the grey level (2R + 5G + B) / 8
// of palette entry b in linear light.
void pal_GreyRemap(uint8_t* buffer, const uint8_t* palette, int32_t count);

// The tint ramp: 256 pixels of the current surface's format (16-bit packing,
// or 0x00RRGGBB on 32-bit surfaces) from colour 2 (entry 0) towards colour 1
// in linear light.
extern uint32_t draw_TintRamp[256];
void draw_SetTintRamp(int32_t r1, int32_t g1, int32_t b1, int32_t r2, int32_t g2, int32_t b2);
