// The terrain writers of the builder (layouts in docs/formats.md): the depth
// tile file, the reference file and the sample terrain of region 1, a
// procedural landscape of hills, a lake and an airfield with its runway.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The sample terrain's airfield: a flat area whose runway runs along x over
// the two patches (50, 75) and (51, 75), centred on cell row 302.
constexpr int32_t MK_RUNWAY_CELL_X0 = 200;  // first cell along x
constexpr int32_t MK_RUNWAY_CELLS = 8;
constexpr int32_t MK_RUNWAY_CELL_Z = 302;   // the centre line lies at the start of this row
constexpr uint8_t MK_AIRFIELD_HEIGHT = 5;
// The lake: a disc of water cells at height MK_LAKE_HEIGHT.
constexpr int32_t MK_LAKE_CELL_X = 300;
constexpr int32_t MK_LAKE_CELL_Z = 200;
constexpr int32_t MK_LAKE_RADIUS = 24;
constexpr uint8_t MK_LAKE_HEIGHT = 2;

// Tiles of the sample terrain.
enum MkTile : uint8_t {
    MK_TILE_GRASS,
    MK_TILE_FIELD,
    MK_TILE_FOREST,
    MK_TILE_ROCK,
    MK_TILE_SAND,
    MK_TILE_WATER,
    MK_TILE_RUNWAY,
    MK_TILE_APRON,
    MK_TILE_COUNT
};

struct MkTerrain {
    std::vector<uint8_t> height;      // 512 x 512, row z, column x
    std::vector<uint8_t> water;       // 512 rows of 64 bytes, bit 7 = x & 7 == 0
    std::vector<uint8_t> shadow;      // 512 x 512
    std::vector<uint8_t> tiles;       // tile count x 128 x 128, one 128-wide strip
    std::vector<uint8_t> attributes;  // 32 a tile
    std::vector<uint8_t> reference;   // 24576
    std::vector<uint8_t> sky;         // 256 x 256
    uint8_t palette[768];             // the game palette
};

// Makes the sample terrain.
void mkdata_TerrainMake(MkTerrain* out);

// The made terrain as the level load leaves it for the terrain pass: the
// depth tile records and the object heads and patch stamps that the level's
// work tables would hold.
struct DepthTile;
struct ObjectRecord;
struct MkTerrainLevel {
    std::vector<DepthTile> tiles;
    std::vector<ObjectRecord*> heads;
    std::vector<uint32_t> stamps;
};
// Points depth_Level's images, tiles and work tables at `t` and `keep`,
// which must outlive the use; other fields of depth_Level are left alone.
void mkdata_TerrainInstall(MkTerrain& t, MkTerrainLevel* keep);
// A depth tile file: tile words (flags 0, offsets 16384 apart), the tiles,
// the palette as 256 x {blue, green, red, 0}, then the attributes.
std::vector<uint8_t> mkdata_DepthTilesBuild(uint32_t tileCount, const std::vector<uint8_t>& tiles,
                                            const uint8_t* palette768, const std::vector<uint8_t>& attributes);
// A 1-bit BMP of packed rows (top row first).
std::vector<uint8_t> mkdata_WaterBmpBuild(int32_t width, int32_t height, const std::vector<uint8_t>& rows);
// Writes the sample terrain's files: "depth01.pcx", "water01.bmp",
// "shadow01.pcx", "bmp01.bms", "skymono.pcx" and the reference file
// MK_SAMPLE_REFERENCE.
int mkdata_WriteTerrain(const std::string& dir);
