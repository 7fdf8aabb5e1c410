// Text boxes: bitmap-font text over several lines, each line clipped to the
// current surface's clip rectangle, optionally on a filled background box.
// Main thread only.
#pragma once
#include <cstdint>

struct BitmapFont;

// Box mode word: the glyph drawing mode (FONT_MODE_*, display/font.h) in the
// low byte, and above it the background word of font_DrawStringClipped
// (colour slot in bits 8-15, DRAW_TEXTBOX_FILL to fill a box behind each line).
constexpr int32_t DRAW_TEXTBOX_FILL = 0x10000;

// Draws the text from (x, y): "\n" (or "\r\n") starts a new line one text
// height (the band height of the last font scanned) further down; "~" and a
// digit change the colour and carry over to the following lines. The colour
// and box mode are kept for draw_WrapTextBoxC. 0, or -1 without text or font.
int32_t draw_WrapTextBox(const char* text, const BitmapFont* font, int32_t x, int32_t y, int32_t colour,
                         int32_t boxMode);
// The same with the colour and box mode last given to draw_WrapTextBox
// (colour slot 15 in one colour, no box, until then).
int32_t draw_WrapTextBoxC(const char* text, const BitmapFont* font, int32_t x, int32_t y);
