// Palettes, nearest-colour matching, shade tables and palette references.
//
// The world, the cockpit and the menus are drawn in 256 colours. This module
// keeps the current palette, finds the entry nearest to any colour (entry 0,
// transparent black, is never chosen), builds the 8192-byte shade table of
// the rasteriser, remaps images to the current palette, and manages palette
// references (PALREF): palettes loaded from PCX files with their
// brightness-adjusted copies and the tables the drawing paths need.
// Main thread only.
#pragma once
#include <cstdint>

constexpr int32_t PAL_ENTRIES = 256;
constexpr int32_t PAL_BYTES = 768;
constexpr int32_t PAL_SHADE_ROWS = 32;
constexpr uint32_t PAL_SHADE_TABLE_SIZE = 8192;
constexpr uint32_t PAL_MASTER_TABLE_SIZE = 2048;
constexpr uint32_t PAL_LIGHT_TABLE_SIZE = 32768;
// A remap file ("%s.CR1", "%s.CR2") starts with one int32 offset per cell of
// a 4 x 4 x 4 colour cube.
constexpr int32_t PAL_REMAP_CELLS = 64;

// Matchers (pal_SelectMatcher); any other value is the full search.
enum : int32_t {
    PAL_MATCH_FULL = 0,
    PAL_MATCH_BUCKET = 1,     // buckets of the remap table
    PAL_MATCH_UNFLAGGED = 2,  // mask palette, entries whose flag is 0
    PAL_MATCH_FLAGGED = 3,    // mask palette, entries whose flag is set
};

// The colour being matched and the remap table of the last image remap.
struct PalColourWork {
    uint8_t red, green, blue;
    uint8_t remap[PAL_ENTRIES];
};

// The current palette record (pal_ClearCurrent).
struct PalCurrentRecord {
    uint8_t palette[PAL_BYTES];
    PalColourWork work;
    const uint8_t* remapTable;  // a loaded remap file, for matcher 1
    int32_t remapTableSize;     // its length in bytes
    const uint8_t* flagMask;    // 256 flag bytes, matchers 2 and 3
    const uint8_t* maskPalette; // the palette searched by matchers 2 and 3
    int32_t levelCount;         // 32; shade builders use half as steps
    int32_t modeWord;           // 0
    int32_t matcher;            // PAL_MATCH_*
};
extern PalCurrentRecord pal_Current;

// Mask, shift (zero bits below it) and width (ones from there) per channel.
struct PalMaskSet {
    int32_t redMask, redShift, redWidth;
    int32_t greenMask, greenShift, greenWidth;
    int32_t blueMask, blueShift, blueWidth;
};

// The second palette record, which is also the PCX reader's image work
// record: after a load width, height and palette describe the last image
// read, and pcx_WriteFile takes width, height and palette from here.
struct PalImageRecord {
    int32_t width;        // pixels per row
    int32_t height;
    int32_t pixelBytes;   // size of the decoded block
    int32_t colourCount;  // BMP only
    int32_t fileBits;     // bits per pixel of the file
    PalMaskSet masks[2];  // [0] for 16-bit output, [1] for 32-bit output
    int32_t mode;         // output: 8, 16 or 32
    uint8_t palette[PAL_BYTES];
    uint16_t table16[PAL_ENTRIES];
    uint32_t table32[PAL_ENTRIES];
};
extern PalImageRecord pal_Second;

// A loaded palette with its adjusted copy and drawing tables ("PALREF").
struct PALREF {
    uint8_t source[PAL_BYTES];   // as loaded
    uint8_t working[PAL_BYTES];  // after brightness, contrast and gains
    uint8_t flags[PAL_ENTRIES];  // 1: the pixel value occurs in the palette image
    uint8_t* cr1;                // remap files, or null (both or neither)
    uint8_t* cr2;
    // 16-bit screens: 256 uint32 packed pixels; other screens: 256 x 4 int16
    // (blue, green, red, 0, each x 128).
    void* master;
    uint16_t* light;             // 16-bit screens only: 32 x 256 pixels
    uint16_t* haze;
    PALREF* next;
    int32_t cr1Size, cr2Size;
};

struct PalrefList {
    PALREF* head;
    int32_t count;
    PALREF* current;      // the one last selected for drawing
    PALREF* lastApplied;  // the one whose palette pal_ApplyRemap last copied
};
extern PalrefList pal_Palrefs;

// Tables handed to the drawing routines by pal_SelectPalref.
struct PalDrawTables {
    const void* master;
    const uint16_t* shade16;  // light or haze table (16-bit screens)
};
extern PalDrawTables pal_DrawTables;

// Brightness, contrast and gains (units of 1/128) and the channel tables
// built from them.
struct PalAdjust {
    int32_t brightness, contrast, redGain, greenGain, blueGain;
    uint8_t channel[3][PAL_ENTRIES];  // red, green, blue
};
extern PalAdjust pal_Adjust;

// Fixed tables: round(255 (i/255)^1.5), round(255 (i/255)^(2/3)) and the
// brightness curve round(sqrt(255 i) - i).
const uint8_t* pal_ToLinearTable(void);
const uint8_t* pal_FromLinearTable(void);
const int8_t* pal_BrightnessCurve(void);

void pal_ClearCurrent(void);
void pal_ClearSecond(void);
// Copies count entries from entry first and hands the palette to the display.
void pal_SetRange(const uint8_t* rgb, int32_t first, int32_t count);

// Nearest palette index (1..255) by the current matcher.
int32_t pal_NearestIndex(int32_t red, int32_t green, int32_t blue);
int32_t pal_MatchStoredRgb(void);
void pal_SelectMatcher(int32_t matcher);
void pal_SetMatchMask(const uint8_t* maskPalette, const uint8_t* flags);
// The bucket table of matcher 1 (a remap file of `size` bytes).
void pal_SetRemapTable(const uint8_t* table, int32_t size);
// 0 when a remap file's offsets and buckets all lie inside it, else -1.
int32_t pal_CheckRemapFile(const uint8_t* data, int32_t size);

// A new "SHADE TABLE" (8192 bytes, 64 KiB aligned) from the current palette
// with the current matcher: rows 0..15 darken to black, rows 16..31 blend
// towards the colour in the work record. Null when out of memory.
uint8_t* pal_CreateShadeTable(void);
// Remaps count pixels in place from pal_Second's palette to the current one.
void pal_BuildRemapTable(uint8_t* pixels, int32_t count);

void pal_SetRgbMasks(uint32_t red, uint32_t green, uint32_t blue);
void pal_SetRgbMasksSecond(uint32_t red, uint32_t green, uint32_t blue);

// Palette references.
void pal_ResetPalrefs(void);  // forgets the list without freeing (a fresh start)
void pal_FreeAllPalrefs(void);
PALREF* pal_LoadPalref(const char* fileName);
PALREF* pal_CreatePalrefFromRgbx(const uint8_t* rgbx);  // 256 x (blue, green, red, reserved)
void pal_FreePalref(PALREF* palref);

// The light the palette references are seen in: the rebuild scales each
// adjusted entry's channels by light / 255 (values outside 0..255 count as
// the nearest end). White, the start value, leaves the entries as adjusted.
struct PalLightColour {
    int32_t red, green, blue;
};
extern PalLightColour pal_LightColour;

void pal_SetAdjust(int32_t brightness, int32_t contrast, int32_t redGain, int32_t greenGain, int32_t blueGain);
void pal_RebuildAllPalrefs(int32_t brightness, int32_t contrast, int32_t redGain, int32_t greenGain,
                           int32_t blueGain);
void pal_RebuildPalref(PALREF* palref, int32_t brightness, int32_t contrast, int32_t redGain, int32_t greenGain,
                       int32_t blueGain);
// Mode 1 light, mode 2 haze.
void pal_SelectPalref(PALREF* palref, int32_t mode);
// Mode 1 uses CR1, other modes CR2.
void pal_ApplyRemap(PALREF* palref, int32_t mode);

// The 3D-card binding's side of pal_SelectPalref: points the bound card's
// state at the 768-byte palette it reads textures through.
void hw3d_SetStatePalette(const uint8_t* rgb768);
