// Terrain of the level: the height map, the water map, the shadow image, the
// depth tiles and their reference map, the sky texture and the four work
// tables of the terrain renderer; the height and water queries.
//
// The grid is 512 x 512 cells, each 1 << 23 world units square, spanning the
// whole 32-bit range and wrapping. Cell coordinates are taken with logical
// shifts, so negative coordinates wrap onto the top half of the grid.
// Layouts of the files: docs/formats.md.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/fix.h"

struct ObjectRecord;

constexpr int32_t TERRAIN_SIZE = 512;              // cells each way
constexpr int32_t TERRAIN_CELL_SHIFT = 23;
constexpr int32_t TERRAIN_HEIGHT_SCALE = 0x40000;  // world units per height step
constexpr int32_t TERRAIN_PATCHES = 16384;         // 128 x 128 patches of 4 x 4 cells
constexpr uint32_t DEPTH_REFERENCE_SIZE = 24576;   // tile map, then orientation nibbles
constexpr uint32_t DEPTH_TILE_ATTRIBUTES = 32;     // attribute bytes a tile
constexpr int32_t DEPTH_TILE_SIDE = 128;
constexpr uint32_t DEPTH_TILE_BYTES = 16384;       // one 128 x 128 tile as stored
constexpr int32_t DEPTH_SKY_SIDE = 256;

// Texture record of a depth tile (and of the sky image).
struct DepthTile {
    uint8_t* pixels;
    uint32_t word;
    uint8_t widthLog2;
    uint8_t heightLog2;
    uint8_t sizeByte2;
    uint8_t sizeByte3;
    int32_t scale;
    uint16_t word16;
    uint8_t dry;     // written per triangle by the patch drawing
    uint8_t spare;
    uint32_t offset;
};

// The loaded terrain. Every pointer is level memory; the maps fall back to a
// flat dry grid when their block is freed (or before the first load), so a
// query never reads freed memory.
struct DepthLevel {
    const uint8_t* heightMap;  // 512 rows (z) of 512 bytes (x)
    const uint8_t* waterMap;   // 512 rows of 64 bytes, bit 7 first
    uint8_t* shadowMap;        // 512 x 512, null without a display
    uint8_t* reference;        // 24576 bytes, null without a display
    uint8_t* tileFile;         // the depth tile file block ("DEPTH TILES")
    uint32_t tileFileSize;
    DepthTile* tiles;          // "Depth material structs"
    uint32_t tileCount;
    int32_t tileShift;         // 7, or 6 when halved
    uint8_t* tileWords;        // n 32-bit words: flags byte, 24-bit offset
    uint8_t* tileData;         // the tiles, one strip 1 << tileShift wide
    uint32_t tileDataSize;     // L
    uint8_t tilePalette[768];  // the first 256 colours, red, green, blue
    uint8_t* tileAttributes;   // 32 bytes a tile
    uint8_t* skyImage;
    DepthTile sky;
    // Work tables of the terrain renderer, one entry per patch.
    ObjectRecord** dynamicHeads;
    uint32_t* patchStamps;
    ObjectRecord** staticHeads;
    uint32_t* dynamicStamps;
};
extern DepthLevel depth_Level;
// The flat dry grid the maps fall back to.
const uint8_t* depth_FlatHeights(void);
const uint8_t* depth_DryWater(void);

// Height queries: x and z of a world position (x, height, z); world height
// units, never negative.
int32_t terrain_HeightNearest(const FixWorldPos* position);
int32_t terrain_HeightMax4(const FixWorldPos* position);
int32_t terrain_HeightBilinear(const FixWorldPos* position);
// 1 when the cell under the position is water, else 0.
int32_t terrain_CellFlagGet(const FixWorldPos* position);

// Loads the level's terrain files: names from the level's mission, or
// formed from the region without one. Without a display only the height and
// water images. A missing or damaged file ends the program ("depth_Init").
void depth_Init(void);
// Loads and sets up the depth tile file ("depth_LoadTiles" on failure).
void depth_LoadTiles(const char* name);

// The checks of the loader, also run by the tools and tests. 0, or -1 with
// nothing changed in depth_Level (the block is the caller's then).
// Tile set-up of a depth tile file block ("DEPTH TILES", size bytes, a heap
// block): finds its parts, copies the palette, halves the tiles when asked
// and makes the tile records. The block may move when halved.
int32_t depth_TileSetUp(uint8_t* block, uint32_t size, int32_t halve);
// A reference file: 24576 bytes whose tile numbers lie below tileCount.
int32_t depth_ReferenceCheck(const uint8_t* data, uint32_t size, uint32_t tileCount);
// A water image as the image entry read it (pal_Second describes it): 512 x
// 512 at 1 bit a pixel.
int32_t depth_WaterImageCheck(void);
