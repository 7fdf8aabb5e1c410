// Stroke font: HUD, MFD and map text drawn as line strokes between points
// of a 15 x 15 grid that is scaled and rotated as a whole, so text can be
// drawn at any size and angle. Glyphs exist for the space, ! % ' + , - . :
// ; < = > ?, the digits, the letters and the store symbols 1 to 4; every
// other code draws the dash.
// "~" and the character after it are skipped. Main thread only.
#pragma once
#include <cstdint>

// Flag bits of the stroke text.
enum : int32_t {
    FONT_STROKE_LEFT = 0x01,      // start at the origin plus half an advance
    FONT_STROKE_RIGHT = 0x02,     // end at the origin (neither: centred on it)
    FONT_STROKE_DOWN = 0x04,      // half a line down
    FONT_STROKE_UP = 0x08,        // half a line up
    FONT_STROKE_VERTICAL = 0x10,  // characters follow each other down the line vector
    // Positions in 1/256 pixel of the mapped drawing space, strokes drawn by
    // draw_ClipLineF in the colour; without it positions in 1/128 pixel,
    // strokes drawn by draw_ClipLine with the colour as current slot.
    FONT_STROKE_SLOT_LINES = 0x8000,
};

constexpr int32_t FONT_STROKE_GRID = 15;
constexpr int32_t FONT_STROKE_POINTS = FONT_STROKE_GRID * FONT_STROKE_GRID;
constexpr int32_t FONT_STROKE_MAX_CHARS = 8000;

// One per program. Grid, vectors and origin share one unit: 1/256 pixel,
// or with FONT_STROKE_SLOT_LINES 1/512 of a pixel of the mapped space.
struct FontStrokeState {
    uint32_t angle;          // a 32-bit fraction of a turn
    int32_t xScale, yScale;  // twice the values given; 256 after start-up
    int64_t originX, originY;  // twice the position given
    int32_t colour;          // colour slot
    int32_t flags;
    int64_t gridX[FONT_STROKE_POINTS + 1], gridY[FONT_STROKE_POINTS + 1];  // points 1..225
    int64_t advanceX, advanceY;  // A: one character along the line
    int64_t lineX, lineY;        // B: one line down
};
extern FontStrokeState font_StrokeState;

// Stores the scales doubled and the angle (a 25-bit fraction of a turn)
// shifted left by 7, then rebuilds the grid. The first argument is not read.
void font_SetStrokeRotation(int32_t ignored, int32_t xScale, int32_t yScale, int32_t angle);

// Draws the string with its layout flags around (x, y).
void font_DrawStrokeText(const char* text, int32_t x, int32_t y, int32_t colour, int32_t flags);
// The same with FONT_STROKE_SLOT_LINES added to the flags.
void font_DrawStrokeTextC(const char* text, int32_t x, int32_t y, int32_t colour, int32_t flags);
