// Fixed 8x8 debug text: developer overlays and the diagnostic line write
// plain text straight into the current viewport (display/evp.h) on 8-bit and
// 16-bit surfaces, and can label a point in 3D space. The font is built in.
// Main thread only.
#pragma once
#include <array>
#include <cstdint>

#include "base/fix.h"

// Glyphs for the codes 33..127, 64 bytes each: 8 rows of 8 bytes, top row
// first, left pixel first; 255 is ink, 0 background. Letter cells are seven
// rows high and the bottom row is empty.
constexpr int32_t DTEXT_FIRST = 33;
constexpr int32_t DTEXT_LAST = 127;
constexpr int32_t DTEXT_GLYPHS = DTEXT_LAST - DTEXT_FIRST + 1;
constexpr int32_t DTEXT_CELL = 8;
using DtextGlyphTable = std::array<uint8_t, DTEXT_GLYPHS * 64>;
extern const DtextGlyphTable dtext_Glyphs;

// The text colour: a palette index at 8 bits, a 16-bit pixel at 16 bits.
extern uint32_t dtext_Colour;
// World position labelled by dtext_DrawAtDebugPoint.
extern FixWorldPos dtext_DebugPoint;

void dtext_SetColour(uint32_t colour);

// One character cell at (x, y). Nothing is drawn without a base pointer, for
// codes outside 33..127, when the viewport is not of the routine's depth, or
// unless the whole cell lies inside the clip box (x >= x1, x + 8 < x2, and
// the same for y). The dispatcher picks the version by the viewport's bytes
// per pixel (1 or 2) and does nothing for other depths.
void dtext_DrawChar8(int32_t x, int32_t y, int32_t ch);
void dtext_DrawChar16(int32_t x, int32_t y, int32_t ch);
void dtext_DrawChar(int32_t x, int32_t y, int32_t ch);

// A string from (x, y): the pen moves 8 pixels right per character (also
// for codes that draw nothing, the space among them); a carriage return (13)
// goes back to the start x, 8 pixels down.
void dtext_DrawString8(int32_t x, int32_t y, const char* text);
void dtext_DrawString16(int32_t x, int32_t y, const char* text);
void dtext_DrawString(int32_t x, int32_t y, const char* text);  // by depth

// For compiled callers: the colour word becomes the text colour, then the
// 16-bit string draw.
void app_DebugTextThunk(int32_t x, int32_t y, const char* text, uint32_t colour);

// Camera-space point (display/draw3d.h): only when its depth is greater than
// 1, the string is drawn centred on the projected point (4 pixels left per
// character, 4 pixels up).
void dtext_DrawAt3D(const FixVec3* view, const char* text);
// dtext_DebugPoint taken into camera space, then as above.
void dtext_DrawAtDebugPoint(const char* text);
