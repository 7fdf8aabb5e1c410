// Loading the level's terrain: height, water, shadow and sky images, the
// depth tile file and the reference file, and the renderer's work tables.
#include <cstdio>
#include <cstring>

#include "base/file.h"
#include "base/le.h"
#include "base/mem.h"
#include "display/pal.h"
#include "display/pcx.h"
#include "shell/fatal.h"
#include "shell/hw3dlist.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/orf.h"
#include "world/terrain.h"

namespace {

constexpr uint32_t kGridBytes = TERRAIN_SIZE * TERRAIN_SIZE;
constexpr uint32_t kWaterBytes = kGridBytes / 8;
constexpr uint32_t kPaletteBytes = 256 * 4;

// A freed block of level memory leaves depth_Level without a dangling
// pointer: the maps go back to the flat dry grid.
void ForgetBlock(void* data) {
    DepthLevel& d = depth_Level;
    if (data == d.heightMap) d.heightMap = depth_FlatHeights();
    if (data == d.waterMap) d.waterMap = depth_DryWater();
    if (data == d.shadowMap) d.shadowMap = nullptr;
    if (data == d.reference) d.reference = nullptr;
    if (data == d.tileFile) {
        d.tileFile = nullptr;
        d.tileFileSize = 0;
        d.tileWords = nullptr;
        d.tileData = nullptr;
        d.tileDataSize = 0;
        d.tileAttributes = nullptr;
        // The records point into the file.
        d.tiles = nullptr;
        d.tileCount = 0;
    }
    if (data == d.tiles) {
        d.tiles = nullptr;
        d.tileCount = 0;
    }
    if (data == d.skyImage) {
        d.skyImage = nullptr;
        d.sky = DepthTile{};
    }
    if (data == d.dynamicHeads) d.dynamicHeads = nullptr;
    if (data == d.patchStamps) d.patchStamps = nullptr;
    if (data == d.staticHeads) d.staticHeads = nullptr;
    if (data == d.dynamicStamps) d.dynamicStamps = nullptr;
}

void Watch(const void* data) {
    if (data) mem_FreeCallbackAdd(const_cast<void*>(data), ForgetBlock);
}

void* WorkTable(uint32_t entrySize) {
    void* t = mem_AllocEx(TERRAIN_PATCHES * entrySize, 4, "Depth work table");
    if (!t) app_FatalErrorBox("depth_Init", nullptr);
    memset(t, 0, (size_t)TERRAIN_PATCHES * entrySize);
    Watch(t);
    return t;
}

// An 8-bit image of the given size through the image entry; anything else
// ends the program.
uint8_t* LoadImage(const char* name, int32_t side) {
    auto* block = static_cast<uint8_t*>(pcx_LoadImageEx(name, 8));
    if (!block) app_FatalErrorBox("depth_Init", name);
    if (pal_Second.mode != 8 || pal_Second.width != side || pal_Second.height != side) {
        mem_Free(block);
        app_FatalErrorBox("depth_Init", name);
    }
    Watch(block);
    return block;
}

}  // namespace

int32_t depth_WaterImageCheck(void) {
    return pal_Second.mode == 1 && pal_Second.width == TERRAIN_SIZE && pal_Second.height == TERRAIN_SIZE &&
                   pal_Second.pixelBytes == (int32_t)kWaterBytes
               ? 0
               : -1;
}

int32_t depth_ReferenceCheck(const uint8_t* data, uint32_t size, uint32_t tileCount) {
    if (!data || size != DEPTH_REFERENCE_SIZE) return -1;
    for (int32_t i = 0; i < TERRAIN_PATCHES; i++)
        if (data[i] >= tileCount) return -1;
    return 0;
}

int32_t depth_TileSetUp(uint8_t* block, uint32_t size, int32_t halve) {
    if (!block) return -1;
    // The four parts: tile words, tile data, palette, the rest.
    LeReader r(block, size);
    uint32_t n = r.u32();
    if (!r.ok() || (uint64_t)n * 4 > r.remaining()) return -1;
    size_t wordsAt = r.pos;
    r.skip((size_t)n * 4);
    uint32_t length = r.u32();
    if (!r.ok() || length > r.remaining() || length % DEPTH_TILE_BYTES != 0 ||
        (uint64_t)n * DEPTH_TILE_BYTES > length)
        return -1;
    size_t dataAt = r.pos;
    r.skip(length);
    size_t paletteWordAt = r.pos;
    uint32_t paletteLength = r.u32();
    if (!r.ok() || paletteLength > r.remaining() || paletteLength % 4 != 0 || paletteLength < kPaletteBytes)
        return -1;
    size_t paletteAt = r.pos;
    r.skip(paletteLength);
    if ((uint64_t)n * DEPTH_TILE_ATTRIBUTES > r.remaining()) return -1;
    for (uint32_t i = 0; i < n; i++) {
        uint32_t offset = 0;
        le_Read32At(block, size, wordsAt + (size_t)i * 4, &offset);
        offset &= 0xFFFFFF;
        if (offset % DEPTH_TILE_BYTES != 0 || (uint64_t)offset + DEPTH_TILE_BYTES > length) return -1;
    }

    DepthTile* tiles = nullptr;
    if (n) {
        uint64_t bytes = (uint64_t)n * sizeof(DepthTile);
        if (bytes > 0x7FFFFFFF || !(tiles = static_cast<DepthTile*>(mem_AllocEx((uint32_t)bytes, 4,
                                                                                  "Depth material structs"))))
            return -1;
        memset(tiles, 0, (size_t)bytes);
    }

    DepthLevel& d = depth_Level;
    for (int i = 0; i < 256; i++) {
        const uint8_t* c = block + paletteAt + i * 4;  // blue, green, red, unused
        d.tilePalette[i * 3 + 0] = c[2];
        d.tilePalette[i * 3 + 1] = c[1];
        d.tilePalette[i * 3 + 2] = c[0];
    }

    int32_t shift = 7;
    if (halve) {
        // Every second pixel of every second row of the 128-wide strip; a
        // tile of 128 rows becomes one of 64, so the tiles stay in order.
        shift = 6;
        uint8_t* px = block + dataAt;
        uint32_t rows = length / DEPTH_TILE_SIDE / 2;
        for (uint32_t y = 0; y < rows; y++)
            for (uint32_t x = 0; x < DEPTH_TILE_SIDE / 2; x++)
                px[(size_t)y * (DEPTH_TILE_SIDE / 2) + x] = px[(size_t)y * 2 * DEPTH_TILE_SIDE + x * 2];
        for (uint32_t i = 0; i < n; i++) {
            uint8_t* w = block + wordsAt + (size_t)i * 4;
            uint32_t word = (uint32_t)w[0] | (uint32_t)w[1] << 8 | (uint32_t)w[2] << 16 | (uint32_t)w[3] << 24;
            word = (word & 0xFF000000) | ((word & 0xFFFFFF) / 4);
            for (int k = 0; k < 4; k++) w[k] = (uint8_t)(word >> (8 * k));
        }
        uint32_t newLength = length / 4;
        for (int k = 0; k < 4; k++) block[dataAt - 4 + k] = (uint8_t)(newLength >> (8 * k));
        // The palette and the rest move down behind the smaller tile data.
        size_t tail = size - paletteWordAt;
        memmove(block + dataAt + newLength, block + paletteWordAt, tail);
        size -= length - newLength;
        paletteAt -= length - newLength;
        length = newLength;
        if (void* moved = mem_Realloc(block, size, 4)) block = static_cast<uint8_t*>(moved);
    }

    uint32_t tileBytes = 1u << (2 * shift);
    for (uint32_t i = 0; i < n; i++) {
        DepthTile& t = tiles[i];
        t.pixels = block + dataAt + (size_t)i * tileBytes;
        t.widthLog2 = (uint8_t)shift;
        t.heightLog2 = (uint8_t)shift;
        t.scale = 0x40000;
    }
    d.tileFile = block;
    d.tileFileSize = size;
    d.tiles = tiles;
    d.tileCount = n;
    d.tileShift = shift;
    d.tileWords = block + wordsAt;
    d.tileData = block + dataAt;
    d.tileDataSize = length;
    d.tileAttributes = block + paletteAt + paletteLength;
    Watch(block);
    Watch(tiles);
    return 0;
}

void depth_LoadTiles(const char* name) {
    auto* block = static_cast<uint8_t*>(file_LoadFileEx(name));
    if (!block) app_FatalErrorBox("depth_LoadTiles", name);
    int32_t size = file_State.lastSize;
    mem_TagSet(block, "DEPTH TILES");
    if (size < 0 || depth_TileSetUp(block, (uint32_t)size, app_Hw3dOrDetailBelow2()) != 0) {
        mem_Free(block);
        app_FatalErrorBox("depth_LoadTiles", name);
    }
}

void depth_Init(void) {
    DepthLevel& d = depth_Level;
    // Nothing of an earlier level is read again.
    d = DepthLevel{};
    d.heightMap = depth_FlatHeights();
    d.waterMap = depth_DryWater();

    d.dynamicHeads = static_cast<ObjectRecord**>(WorkTable(sizeof(ObjectRecord*)));
    d.patchStamps = static_cast<uint32_t*>(WorkTable(sizeof(uint32_t)));
    d.staticHeads = static_cast<ObjectRecord**>(WorkTable(sizeof(ObjectRecord*)));
    d.dynamicStamps = static_cast<uint32_t*>(WorkTable(sizeof(uint32_t)));

    char depthName[LEVEL_NAME_SIZE], waterName[LEVEL_NAME_SIZE], shadowName[LEVEL_NAME_SIZE];
    char tilesName[LEVEL_NAME_SIZE], referenceName[LEVEL_NAME_SIZE], skyName[LEVEL_NAME_SIZE];
    if (level_Mission) {
        orf_HeaderName(level_Mission, ORF_DEPTH_NAME, depthName, sizeof depthName);
        orf_HeaderName(level_Mission, ORF_WATER_NAME, waterName, sizeof waterName);
        orf_HeaderName(level_Mission, ORF_SHADOW_NAME, shadowName, sizeof shadowName);
        orf_HeaderName(level_Mission, ORF_TILES_NAME, tilesName, sizeof tilesName);
        orf_HeaderName(level_Mission, ORF_REFERENCE_NAME, referenceName, sizeof referenceName);
        orf_HeaderName(level_Mission, ORF_SKY_NAME, skyName, sizeof skyName);
    } else {
        int32_t r = level_Region + 1;
        snprintf(depthName, sizeof depthName, "depth%02d.pcx", r);
        snprintf(waterName, sizeof waterName, "water%02d.bmp", r);
        snprintf(shadowName, sizeof shadowName, "shadow%02d.pcx", r);
        snprintf(tilesName, sizeof tilesName, "bmp%02d.bms", r);
        snprintf(referenceName, sizeof referenceName, "%s", level_MissionNames.reference);
        snprintf(skyName, sizeof skyName, "skymono.pcx");
    }

    d.heightMap = LoadImage(depthName, TERRAIN_SIZE);
    auto* water = static_cast<uint8_t*>(pcx_LoadImageEx(waterName, 8));
    if (!water) app_FatalErrorBox("depth_Init", waterName);
    if (depth_WaterImageCheck() != 0) {
        mem_Free(water);
        app_FatalErrorBox("depth_Init", waterName);
    }
    Watch(water);
    d.waterMap = water;

    // A dedicated server needs the ground's height and water only.
    if (!level_GameMode.display) return;
    d.shadowMap = LoadImage(shadowName, TERRAIN_SIZE);
    depth_LoadTiles(tilesName);
    if (level_GameMode.singlePlayer && level_Mission)
        snprintf(level_MissionNames.reference, sizeof level_MissionNames.reference, "%s", referenceName);
    auto* reference = static_cast<uint8_t*>(file_LoadFileEx(referenceName));
    if (!reference) app_FatalErrorBox("depth_Init", referenceName);
    int32_t size = file_State.lastSize;
    if (size < 0 || depth_ReferenceCheck(reference, (uint32_t)size, d.tileCount) != 0) {
        mem_Free(reference);
        app_FatalErrorBox("depth_Init", referenceName);
    }
    Watch(reference);
    d.reference = reference;

    d.skyImage = LoadImage(skyName, DEPTH_SKY_SIDE);
    d.sky.pixels = d.skyImage;
    d.sky.widthLog2 = 8;
    d.sky.heightLog2 = 8;
    d.sky.scale = 0x10000;
}
