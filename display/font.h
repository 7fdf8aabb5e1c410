// Bitmap and proportional fonts.
//
// A font is an 8-bit PCX image holding its glyphs in a grid of bands, with
// marker pixels that tell the scanner where each glyph and band ends, where
// the baseline is and how tight the spacing is (layout in docs/formats.md).
// This module loads and scans such images, measures strings and draws them
// on the current drawing surface (display/dsurf.h) at 8, 16 or 32 bits per
// pixel in one of five colour modes, with colour codes ("~" and a digit) and
// tab stops. Characters are read as unsigned bytes. Text never leaves the
// surface's pixels; the clipped forms also keep to its clip rectangle.
// Main thread only.
#pragma once
#include <cstdint>

// Scan flags of font_Load, applied in this order.
enum : int32_t {
    FONT_LOAD_SCAN = 2,   // scan the glyph grid
    FONT_LOAD_REMAP = 1,  // remap the image to the current palette
    FONT_LOAD_GREY = 8,   // every glyph pixel to a grey level (drawn in mode 0 through a ramp)
};

// Drawing modes (the colour argument is a colour slot's handle byte).
enum : int32_t {
    FONT_MODE_IMAGE = 0,       // image colours (16/32 bits: through the pixel-value tables)
    FONT_MODE_ONE_COLOUR = 1,  // the slot's colour
    FONT_MODE_RAW = 2,         // the source bytes, one byte per pixel at every depth
    FONT_MODE_RAMP = 3,        // source + colour offset (16/32 bits: through the tables)
    FONT_MODE_CODED = 4,       // one colour: the slot named by the last colour code
    FONT_MODES = 5,
};

// Image pixel values.
enum : uint8_t {
    FONT_PIXEL_BAND_END = 1,  // in column 0: the row below the last row of a band
    FONT_PIXEL_BASELINE = 2,  // baseline row; erased by the scan
    FONT_PIXEL_COLUMN = 3,    // makes its column part of a glyph; erased by the scan
    FONT_PIXEL_SPACING = 4,   // each adds 1 to the spacing; left in the image
    FONT_PIXEL_GLYPH = 8,     // this and above: glyph pixels
};

constexpr int32_t FONT_BANDS = 16;
constexpr int32_t FONT_BAND_GLYPHS = 16;
constexpr int32_t FONT_ENTRIES = 256;
constexpr int32_t FONT_TAB_STOPS = 80;
constexpr int32_t FONT_DEFAULT_TAB_WIDTH = 32;
// Widest image the scan takes (a PCX row holds at most 65535 pixels).
constexpr int32_t FONT_MAX_IMAGE_WIDTH = 65536;

// One entry of the "font entry table" (256 of them, 2048 bytes).
struct FontEntry {
    uint16_t x;       // first image column
    uint16_t width;   // glyph columns
    uint8_t height;   // rows (the band's height)
    uint8_t present;  // 1 for a scanned glyph
    uint16_t top;     // first image row (the band's top)
};
static_assert(sizeof(FontEntry) == 8, "font entries are 8 bytes");

// Caller-owned. Glyph advance = width + 1 - spacing.
struct BitmapFont {
    uint8_t* image;        // "PCX Image" block, 8 bits per pixel
    FontEntry* entries;    // allocated by the first scan
    int32_t width, height; // of the image
    int32_t unused;
    int32_t spacing;       // spacing markers found by the scan
    uint8_t scanMarker;    // 2 after a scan
    uint8_t glyphCount;    // glyphs found by the last scan (at most 255 counted)
    uint16_t baseline;     // row within its band of the last baseline marker
};

// Caller-owned: the menu engine's text areas. The line buffer holds the
// wrapped lines one after another, each ending in a zero byte.
struct FontTextArea {
    char* lines;
    uint16_t widthLimit;  // pixels
    uint16_t lineCount;
    uint16_t x, y;        // pixels
    uint16_t lineHeight;
    uint32_t bufferSize;  // bytes at lines
};

// One per program.
struct FontState {
    int32_t tabStops[FONT_TAB_STOPS];
    uint8_t colourOffset;   // digit x 8 of the last colour code
    uint8_t pendingOffset;  // taken by the next font_DrawWrappedText, then cleared
    int32_t measuredWidth;  // kept by font_MeasureString
    int32_t measuredX;      // kept by font_MeasureCentredX
    int32_t textHeight;     // band height of the last band scanned by any load
    // 32-bit pixel values (0x00RRGGBB). The 16-bit table is the screen's
    // palette table, pal_Hc.palette16 (display/pal_hicolor.h).
    uint32_t table32[256];
    // When set, modes 0 and 3 at 16 and 32 bits read their pixel values
    // here instead (the menus draw grey fonts through the tint ramp).
    const uint32_t* tableOverride;
};
extern FontState font_State;

// Frees an image the font already holds, loads the PCX and applies the
// flags. 0, or -1 when the image does not load (the font then holds none)
// or the entry table cannot be had.
int32_t font_Load(const char* fileName, BitmapFont* font, int32_t flags);
// The grid scan of the image the font holds (FONT_LOAD_SCAN). 0, or -1
// without an image, for one wider than FONT_MAX_IMAGE_WIDTH, or without
// memory for the entry table.
int32_t font_ScanGrid(BitmapFont* font);

// Sum of the advances; "~" and the character after it add nothing.
int32_t font_StringWidth(const char* text, const BitmapFont* font);
int32_t font_MeasureString(const char* text, const BitmapFont* font);
// Centre x of the current surface minus half the width.
int32_t font_CentredX(const char* text, const BitmapFont* font);
int32_t font_MeasureCentredX(const char* text, const BitmapFont* font);

// Draws from (x, y), the glyph tops on row y. Nothing while no surface is
// locked. A character without a glyph draws the glyph of code 0.
void font_DrawString(const char* text, const BitmapFont* font, int32_t x, int32_t y, int32_t colour, int32_t mode);
void font_DrawStringC(const char* text, const BitmapFont* font, int32_t x, int32_t y, int32_t colour, int32_t mode);
// At (x + 1, y + 1) in one colour with the handle of colour slot 10, then at
// (x, y) as asked, both passes starting from the same colour offset.
void font_DrawShadowedString(const char* text, const BitmapFont* font, int32_t x, int32_t y, int32_t colour,
                             int32_t mode);

// Splits the text into the area's line buffer to its width limit and sets
// its line count. 0, or -1 when the buffer had no room for all of it (the
// lines that fit are kept, each terminated).
int32_t font_WrapText(const char* text, const BitmapFont* font, FontTextArea* area);
// Draws the area's lines from (x, y), line height apart, skipping the first
// `skip`; `count` 0 draws all the others.
void font_DrawWrappedText(const FontTextArea* area, const BitmapFont* font, int32_t colour, int32_t mode,
                          int32_t skip, int32_t count);

// Background word: colour slot in the low byte, fill flag in the next.
constexpr int32_t FONT_BACKGROUND_FILL = 0x100;
// Clipped to the clip rectangle; with the fill flag a box of (width + 3) x
// (text height + 2) at (x - 1, y - 1) is filled first.
void font_DrawStringClipped(const char* text, const BitmapFont* font, int32_t x, int32_t y, int32_t colour,
                            int32_t mode, int32_t background);
// The clipped string with its shadow (slot 10) one pixel down and right;
// the background box is filled once, under both.
void font_DrawBoxTextShadowed(const char* text, const BitmapFont* font, int32_t x, int32_t y, int32_t colour,
                              int32_t mode, int32_t background);

// Stops at w, 2w, ... 80w.
void font_SetTabWidth(int32_t width);
// The default stops, then up to 80 given ones.
void font_SetTabStops(const int32_t* stops, int32_t count);

// Pixel-value tables for the screen's depth: the palette (16 bits: packed
// with the current masks; 32 bits: 0x00RRGGBB; 8 bits: nothing).
void font_SetPalette(const uint8_t* rgb768);
// A ramp from the second colour (entry 0) toward the first (entry 255 lies
// 255/256 of the way); 16 bits in linear light, other depths straight.
void font_SetColourRamp(int32_t red1, int32_t green1, int32_t blue1, int32_t red2, int32_t green2, int32_t blue2);
