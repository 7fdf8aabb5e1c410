// High-colour pixel tables: on 16-bit screens the 8-bit art is drawn through
// tables that turn a palette index, and a light or haze level, into a pixel
// of the screen's format. This module analyses the current pixel format (the
// masks in vid_State), packs colours into it and builds those tables.
#pragma once
#include <cstdint>

// One colour channel of the current pixel format.
struct PalChannel {
    int32_t width;         // bits in the mask
    int32_t shift;         // zero bits below the mask
    int32_t maximum;       // mask >> shift
    int32_t mask;
    int32_t threeQuarter;  // (maximum + 1) / 4 x 3 << shift
    int32_t index;         // 0 red, 1 green, 2 blue
};

// A fog colour: 0-255 values and their to-linear values.
struct PalFogColour {
    int32_t rgb[3];
    int32_t linear[3];
};

constexpr int32_t PAL_HC_LEVELS = 32;

struct PalHighColour {
    PalChannel channels[3];  // red, green, blue
    PalChannel sorted[3];    // by shift, highest first: the packing order
    // Each channel without its lowest bit (M1) and without its two lowest
    // bits (M2), in both 16-bit halves: pixels halved or quartered and added
    // without carries between channels.
    uint32_t blendMask1, blendMask2;
    PalFogColour fog[2];     // A, B
    int32_t fogSelected;     // 0 A, 1 B: used by the next table build
    // The current palette as screen pixels (also the bitmap fonts' table).
    uint32_t palette16[256];
    // The screen's own light (fog B) and haze (fog A) tables of the current
    // palette: 32 rows of 256 pixels.
    uint16_t light[PAL_HC_LEVELS * 256];
    uint16_t haze[PAL_HC_LEVELS * 256];
    // Pixel shade table: pixel p at level k is
    // shade[k][p & 0xFF][0] + shade[k][p >> 8][1] (mod 65536).
    uint16_t shade[PAL_HC_LEVELS][256][2];
    uint32_t ramp[256];          // black to full green in the screen format
    uint32_t rgb555Low[256];     // a 5-5-5 pixel converts as low[lo] + high[hi]
    uint32_t rgb555High[256];
};
extern PalHighColour pal_Hc;

// Reads the current masks (vid_State) into the channel records, their
// packing order and the blend masks.
void pal_DeriveSurfaceMasks(void);
// Packs a colour into the current pixel format (top bits of each channel).
uint16_t pal_RgbTo16(int32_t red, int32_t green, int32_t blue);
// The colour in the palette module's work record, packed.
uint16_t pal_SkyColourTo16(void);
void pal_SetFogColourA(int32_t red, int32_t green, int32_t blue);
void pal_SetFogColourB(int32_t red, int32_t green, int32_t blue);
// 0 selects fog colour A, 1 fog colour B for the next light/haze build.
void pal_SelectFogColour(int32_t which);
// 256 packed pixels of a 768-byte palette.
void pal_PaletteTo16Table(const uint8_t* palette, uint32_t* table);
// 32 rows of 256 pixels: rows 0-15 darken, rows 16-31 move towards the
// selected fog colour in steps of 1/16.
void pal_BuildLightTable(uint16_t* table, const uint8_t* palette);
// Blends the clip box of the current 16-bit surface towards the colour;
// level 0 leaves it nearly as it was, 255 gives the colour.
void pal_TintView16(int32_t red, int32_t green, int32_t blue, int32_t level);
// From the current palette and masks: the mask analysis, the palette table,
// the screen's light, haze, pixel shade and ramp tables and the 5-5-5
// conversion tables.
void pal_BuildHighColourTables(void);
