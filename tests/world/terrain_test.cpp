// Terrain: the height and water queries, the depth tile set-up with and
// without halving, damaged terrain files, the 1-bit water image, and whole
// loads of the sample terrain (with a display, on a dedicated server, for a
// joining client).
#include <unistd.h>

#include <cstring>
#include <functional>

#include "base/bmp.h"
#include "base/le.h"
#include "display/pcx.h"
#include "mission_write.h"
#include "mkdata.h"
#include "shell/fatal.h"
#include "shell/startup.h"
#include "terrain_write.h"
#include "world/orf.h"
#include "world_fixture.h"

namespace {

class Terrain : public WorldEnv {};

uint32_t Cell(uint32_t c, uint32_t fraction = 0) { return c << 23 | fraction << 16; }

TEST_F(Terrain, HeightAndWaterQueries) {
    static uint8_t heights[512 * 512];
    static uint8_t water[512 * 64];
    memset(heights, 0, sizeof heights);
    memset(water, 0, sizeof water);
    auto h = [](int x, int z) -> uint8_t& { return heights[z * 512 + x]; };
    h(255, 0) = 10;
    h(256, 0) = 20;
    h(511, 0) = 30;
    h(0, 1) = 40;
    h(5, 5) = 255;
    h(7, 511) = 9;
    // A cell with four different corners: A (10,10), B (10,11), C (11,11), D (11,10).
    h(10, 10) = 10;
    h(10, 11) = 20;
    h(11, 11) = 30;
    h(11, 10) = 40;
    // Cells whose interpolation rounds below 0: B = 1 (first branch), D = 1
    // (second).
    h(20, 21) = 1;
    h(31, 30) = 1;
    water[3 * 64 + 1] = 0x40;  // cell (9, 3)
    water[511 * 64 + 63] = 0x01;  // cell (511, 511)
    depth_Level.heightMap = heights;
    depth_Level.waterMap = water;

    using Query = int32_t (*)(const FixWorldPos*);
    struct Case {
        const char* what;
        Query query;
        uint32_t x, z;
        int32_t want;
    } cases[] = {
        {"x 0x7FFFFFFF is cell 255", terrain_HeightNearest, 0x7FFFFFFF, 0, 10 * 0x40000},
        {"x 0x80000000 is cell 256", terrain_HeightNearest, 0x80000000, 0, 20 * 0x40000},
        {"x -1 is cell 511", terrain_HeightNearest, 0xFFFFFFFF, 0, 30 * 0x40000},
        {"z -1 is row 511", terrain_HeightNearest, Cell(7), 0xFFFFFFFF, 9 * 0x40000},
        {"byte 255", terrain_HeightNearest, Cell(5, 100), Cell(5, 3), 0x3FC0000},
        {"x -1: neighbour is cell 0", terrain_HeightMax4, 0xFFFFFFFF, 0, 40 * 0x40000},
        {"max of the four corners", terrain_HeightMax4, Cell(10), Cell(10), 40 * 0x40000},
        {"max of 255", terrain_HeightMax4, Cell(4), Cell(4), 0x3FC0000},
        {"bilinear at the corner", terrain_HeightBilinear, Cell(10), Cell(10), 10 * 0x40000},
        {"bilinear fx <= fz", terrain_HeightBilinear, Cell(10, 32), Cell(10, 64), 70 << 16},
        {"bilinear fx > fz", terrain_HeightBilinear, Cell(10, 64), Cell(10, 32), 90 << 16},
        {"bilinear on the diagonal", terrain_HeightBilinear, Cell(10, 64), Cell(10, 64), 80 << 16},
        {"first branch rounds to -1: 0", terrain_HeightBilinear, Cell(20, 1), Cell(20, 1), 0},
        {"second branch rounds to -1: 0", terrain_HeightBilinear, Cell(30, 127), Cell(30, 126), 0},
        {"water cell", terrain_CellFlagGet, Cell(9, 100), Cell(3, 5), 1},
        {"dry neighbour to the west", terrain_CellFlagGet, Cell(8), Cell(3), 0},
        {"dry neighbour to the east", terrain_CellFlagGet, Cell(10), Cell(3), 0},
        {"water at x -1, z -1", terrain_CellFlagGet, 0xFFFFFFFF, 0xFFFFFFFF, 1},
    };
    for (const Case& c : cases) {
        FixWorldPos p = {c.x, 0x12345678, c.z};  // the height is never read
        EXPECT_EQ(c.query(&p), c.want) << c.what;
    }
    // Never negative anywhere over a rough cell.
    for (uint32_t f = 0; f < 128 * 128; f += 7) {
        FixWorldPos p = {Cell(20, f & 127), 0, Cell(20, f >> 7)};
        EXPECT_GE(terrain_HeightBilinear(&p), 0);
    }
}

// A depth tile file image of two tiles with known pixels, palette and
// attributes; word 1 carries flag byte 0xA5.
struct TileFile {
    std::vector<uint8_t> tiles = std::vector<uint8_t>(2 * DEPTH_TILE_BYTES);
    uint8_t palette[768];
    std::vector<uint8_t> attributes = std::vector<uint8_t>(64);
    std::vector<uint8_t> image;
    TileFile() {
        for (size_t i = 0; i < tiles.size(); i++) tiles[i] = (uint8_t)(i / DEPTH_TILE_BYTES * 64 + i % 128 + i / 128 * 3);
        for (int i = 0; i < 768; i++) palette[i] = (uint8_t)(i * 5);
        for (size_t i = 0; i < attributes.size(); i++) attributes[i] = (uint8_t)(200 + i);
        image = mkdata_DepthTilesBuild(2, tiles, palette, attributes);
        image[11] = 0xA5;
    }
    uint8_t Pixel(int tile, int x, int y) const { return tiles[(size_t)tile * DEPTH_TILE_BYTES + y * 128 + x]; }
};

uint8_t* HeapCopy(const std::vector<uint8_t>& v) {
    auto* b = static_cast<uint8_t*>(mem_AllocEx((uint32_t)v.size(), 4, "DEPTH TILES"));
    memcpy(b, v.data(), v.size());
    return b;
}

TEST_F(Terrain, TileSetUpWithAndWithoutHalving) {
    TileFile f;
    for (int halve : {0, 1}) {
        SCOPED_TRACE(halve);
        uint8_t* block = HeapCopy(f.image);
        ASSERT_EQ(depth_TileSetUp(block, (uint32_t)f.image.size(), halve), 0);
        const DepthLevel& d = depth_Level;
        int32_t shift = halve ? 6 : 7;
        int32_t side = 1 << shift, step = 128 / side;
        EXPECT_EQ(d.tileShift, shift);
        ASSERT_EQ(d.tileCount, 2u);
        EXPECT_EQ(d.tileDataSize, 2u * side * side);
        EXPECT_EQ(d.tileFileSize, f.image.size() - (2 * DEPTH_TILE_BYTES - d.tileDataSize));
        for (int t = 0; t < 2; t++) {
            EXPECT_EQ(d.tiles[t].pixels, d.tileData + t * side * side);
            EXPECT_EQ(d.tiles[t].widthLog2, shift);
            EXPECT_EQ(d.tiles[t].heightLog2, shift);
            EXPECT_EQ(d.tiles[t].scale, 0x40000);
            for (int y = 0; y < side; y += 5)
                for (int x = 0; x < side; x += 3)
                    ASSERT_EQ(d.tiles[t].pixels[y * side + x], f.Pixel(t, x * step, y * step)) << t << " " << x << "," << y;
        }
        // Offsets follow the tiles, the flag byte stays; L is stored anew.
        uint32_t w0, w1, length;
        le_Read32At(d.tileWords, 8, 0, &w0);
        le_Read32At(d.tileWords, 8, 4, &w1);
        le_Read32At(d.tileFile, d.tileFileSize, 12, &length);
        EXPECT_EQ(w0, 0u);
        EXPECT_EQ(w1, 0xA5000000u | (uint32_t)(side * side));
        EXPECT_EQ(length, d.tileDataSize);
        // Palette as red, green, blue; the attributes behind it unchanged.
        EXPECT_EQ(memcmp(d.tilePalette, f.palette, 768), 0);
        EXPECT_EQ(memcmp(d.tileAttributes, f.attributes.data(), 64), 0);
        EXPECT_EQ(d.tileAttributes + 64, d.tileFile + d.tileFileSize);
    }
}

// A tile file from its parts, any of which may be wrong.
std::vector<uint8_t> Tiles(uint32_t n, std::vector<uint32_t> words, uint32_t length, size_t dataBytes,
                           uint32_t paletteLength, size_t paletteBytes, size_t attributeBytes) {
    LeWriter w;
    w.u32(n);
    for (uint32_t v : words) w.u32(v);
    w.u32(length);
    w.zeros(dataBytes);
    w.u32(paletteLength);
    w.zeros(paletteBytes);
    w.zeros(attributeBytes);
    return w.buf;
}

TEST_F(Terrain, DamagedTileFilesAreRefused) {
    const uint32_t T = DEPTH_TILE_BYTES;
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        int32_t want;
    } cases[] = {
        {"good", Tiles(2, {0, T}, 2 * T, 2 * T, 1024, 1024, 64), 0},
        {"tiles in any order", Tiles(2, {T, 0}, 2 * T, 2 * T, 1024, 1024, 64), 0},
        {"more tiles than data", Tiles(3, {0, T, T}, 2 * T, 2 * T, 1024, 1024, 96), -1},
        {"L not a multiple of 16384", Tiles(1, {0}, T + 1, T + 1, 1024, 1024, 32), -1},
        {"offset between tiles", Tiles(2, {0, T / 2}, 2 * T, 2 * T, 1024, 1024, 64), -1},
        {"offset past the data", Tiles(2, {0, 2 * T}, 2 * T, 2 * T, 1024, 1024, 64), -1},
        {"data shorter than L", Tiles(2, {0, T}, 2 * T, 2 * T - 1, 1024, 0, 0), -1},
        {"palette under 256 colours", Tiles(2, {0, T}, 2 * T, 2 * T, 1020, 1020, 64), -1},
        {"palette not in colours", Tiles(2, {0, T}, 2 * T, 2 * T, 1026, 1026, 64), -1},
        {"palette past the end", Tiles(2, {0, T}, 2 * T, 2 * T, 1024, 1000, 0), -1},
        {"attributes short", Tiles(2, {0, T}, 2 * T, 2 * T, 1024, 1024, 63), -1},
        {"tile count past the end", Tiles(0x40000000, {}, 0, 0, 0, 0, 0), -1},
        {"three bytes", {1, 0, 0}, -1},
    };
    for (const Case& c : cases)
        for (int halve : {0, 1}) {
            depth_Level.tiles = nullptr;
            uint8_t* block = HeapCopy(c.file);
            EXPECT_EQ(depth_TileSetUp(block, (uint32_t)c.file.size(), halve), c.want) << c.what << " " << halve;
            if (c.want != 0) {
                EXPECT_EQ(depth_Level.tiles, nullptr) << c.what;
                mem_Free(block);
            }
        }

    std::vector<uint8_t> ref(DEPTH_REFERENCE_SIZE, 7);
    EXPECT_EQ(depth_ReferenceCheck(ref.data(), (uint32_t)ref.size(), 8), 0);
    EXPECT_EQ(depth_ReferenceCheck(ref.data(), (uint32_t)ref.size(), 7), -1);  // tile 7 of 7
    EXPECT_EQ(depth_ReferenceCheck(ref.data(), (uint32_t)ref.size() - 1, 8), -1);
    ref[16383] = 200;  // only the tile map holds tile numbers
    ref[16384] = 0xFF;
    EXPECT_EQ(depth_ReferenceCheck(ref.data(), (uint32_t)ref.size(), 201), 0);
    EXPECT_EQ(depth_ReferenceCheck(ref.data(), (uint32_t)ref.size(), 200), -1);
}

TEST_F(Terrain, OneBitImagesReadAsPackedRows) {
    // 13 x 3 at 1 bit: 2 bytes a row, stored padded to 4, bottom row first.
    const uint8_t rows[] = {0xAB, 0xCF, 0x12, 0x38, 0xFF, 0xF8};
    const uint8_t colours[] = {1, 2, 3, 4, 5, 6};
    std::vector<uint8_t> file((size_t)bmp_Encode1(nullptr, 0, 13, 3, rows, colours));
    ASSERT_EQ(bmp_Encode1(file.data(), file.size(), 13, 3, rows, colours), (int64_t)file.size());
    file[46] = 0;  // colours used 0: 1 << bits
    Write("w.bmp", file);
    auto* px = static_cast<uint8_t*>(pcx_LoadImageEx("w.bmp", 16));
    ASSERT_NE(px, nullptr);
    EXPECT_EQ(pal_Second.mode, 1);
    EXPECT_EQ(pal_Second.pixelBytes, 6);
    EXPECT_EQ(pal_Second.colourCount, 2);
    EXPECT_EQ(pal_Second.palette[3], 4);
    // Top row first; bits past the width cleared.
    const uint8_t want[] = {0xAB, 0xC8, 0x12, 0x38, 0xFF, 0xF8};
    EXPECT_EQ(memcmp(px, want, 6), 0);
    pcx_HalveImage(px);  // nothing for a packed image
    EXPECT_EQ(pal_Second.width, 13);
    mem_Free(px);
    EXPECT_EQ(depth_WaterImageCheck(), -1);  // not 512 x 512
    // The top row's pixels missing (only its padding would be allowed to).
    file.resize(file.size() - 4);
    Write("cut.bmp", file);
    EXPECT_EQ(pcx_LoadImageEx("cut.bmp", 8), nullptr);
    file.push_back(0);
    file.push_back(0);
    Write("cut.bmp", file);
    EXPECT_NE(px = static_cast<uint8_t*>(pcx_LoadImageEx("cut.bmp", 8)), nullptr);
    mem_Free(px);

    // 4 bits, 16 colours: two pixels a byte.
    LeWriter w;
    w.bytes("BM", 2);
    w.u32(0);
    w.u32(0);
    w.u32(54 + 64);
    w.u32(40);
    w.i32(3);
    w.i32(2);
    w.u16(1);
    w.u16(4);
    w.u32(0);
    w.u32(0);
    w.zeros(8);
    w.u32(16);
    w.u32(0);
    w.zeros(64);
    w.bytes("\x12\x30\0\0\x45\x60\0\0", 8);
    Write("f.bmp", w.buf);
    px = static_cast<uint8_t*>(pcx_LoadImageEx("f.bmp", 8));
    ASSERT_NE(px, nullptr);
    EXPECT_EQ(pal_Second.mode, 4);
    EXPECT_EQ(px[0], 0x45);
    EXPECT_EQ(px[1], 0x60);
    EXPECT_EQ(px[2], 0x12);
    mem_Free(px);
    // More colours than the bits allow.
    w.buf[46] = 17;
    Write("g.bmp", w.buf);
    EXPECT_EQ(pcx_LoadImageEx("g.bmp", 8), nullptr);
}

class TerrainLoad : public WorldEnv {
protected:
    MkTerrain t;
    void SetUp() override {
        WorldEnv::SetUp();
        mkdata_TerrainMake(&t);
        ASSERT_EQ(mkdata_WriteTerrain("."), 0);
        ASSERT_EQ(mkdata_WriteMissions("."), 0);
    }
    void ExpectGround() {
        const DepthLevel& d = depth_Level;
        EXPECT_EQ(memcmp(d.heightMap, t.height.data(), t.height.size()), 0);
        EXPECT_EQ(memcmp(d.waterMap, t.water.data(), t.water.size()), 0);
        FixWorldPos runway = {(uint32_t)(MK_RUNWAY_CELL_X0 + 2) << 23, 0, (uint32_t)MK_RUNWAY_CELL_Z << 23};
        FixWorldPos lake = {(uint32_t)MK_LAKE_CELL_X << 23, 0, (uint32_t)MK_LAKE_CELL_Z << 23};
        EXPECT_EQ(terrain_HeightBilinear(&runway), MK_AIRFIELD_HEIGHT * 0x40000);
        EXPECT_EQ(terrain_CellFlagGet(&runway), 0);
        EXPECT_EQ(terrain_CellFlagGet(&lake), 1);
        EXPECT_EQ(terrain_HeightNearest(&lake), MK_LAKE_HEIGHT * 0x40000);
        for (auto* table : {(const void*)d.dynamicHeads, (const void*)d.patchStamps, (const void*)d.staticHeads,
                            (const void*)d.dynamicStamps})
            ASSERT_NE(table, nullptr);
        EXPECT_EQ(d.staticHeads[TERRAIN_PATCHES - 1], nullptr);
        EXPECT_EQ(d.dynamicStamps[123], 0u);
    }
    void ExpectPicture(int32_t shift) {
        const DepthLevel& d = depth_Level;
        ASSERT_NE(d.shadowMap, nullptr);
        EXPECT_EQ(memcmp(d.shadowMap, t.shadow.data(), t.shadow.size()), 0);
        EXPECT_EQ(d.tileCount, (uint32_t)MK_TILE_COUNT);
        EXPECT_EQ(d.tileShift, shift);
        ASSERT_NE(d.reference, nullptr);
        EXPECT_EQ(memcmp(d.reference, t.reference.data(), t.reference.size()), 0);
        EXPECT_EQ(memcmp(d.tilePalette, t.palette, 768), 0);
        ASSERT_NE(d.skyImage, nullptr);
        EXPECT_EQ(memcmp(d.skyImage, t.sky.data(), t.sky.size()), 0);
        EXPECT_EQ(d.sky.pixels, d.skyImage);
        EXPECT_EQ(d.sky.widthLog2, 8);
        EXPECT_EQ(d.sky.scale, 0x10000);
    }
};

TEST_F(TerrainLoad, SinglePlayerWithTheMission) {
    level_GameMode = {1, 1, 1, 1, 0};
    level_Region = -1;
    level_Mission = orf_Load(MK_SAMPLE_MISSION, ORF_FATAL);
    ASSERT_NE(level_Mission, nullptr);
    EXPECT_EQ(level_Region, 0);
    void* marker = mem_AllocEx(0, 4, "marker");
    depth_Init();
    ExpectGround();
    ExpectPicture(7);
    EXPECT_STREQ(level_MissionNames.reference, MK_SAMPLE_REFERENCE);

    // The level's memory goes: the queries see flat dry ground again.
    mem_FreeFrom(marker);
    EXPECT_EQ(depth_Level.heightMap, depth_FlatHeights());
    EXPECT_EQ(depth_Level.waterMap, depth_DryWater());
    EXPECT_EQ(depth_Level.tiles, nullptr);
    EXPECT_EQ(depth_Level.skyImage, nullptr);
    EXPECT_EQ(depth_Level.patchStamps, nullptr);
    FixWorldPos lake = {(uint32_t)MK_LAKE_CELL_X << 23, 0, (uint32_t)MK_LAKE_CELL_Z << 23};
    EXPECT_EQ(terrain_CellFlagGet(&lake), 0);
}

TEST_F(TerrainLoad, DedicatedServerLoadsDepthAndWaterOnly) {
    level_GameMode = {1, 0, 0, 0, 0};
    level_Mission = orf_Load(MK_SAMPLE_MISSION, ORF_FATAL);
    for (const char* gone : {"shadow01.pcx", "bmp01.bms", "F1M1.REF", "skymono.pcx"}) unlink(gone);
    depth_Init();
    ExpectGround();
    EXPECT_EQ(depth_Level.shadowMap, nullptr);
    EXPECT_EQ(depth_Level.tiles, nullptr);
    EXPECT_EQ(depth_Level.reference, nullptr);
    EXPECT_EQ(depth_Level.skyImage, nullptr);
}

TEST_F(TerrainLoad, JoiningClientFormsTheNamesAndHalves) {
    level_GameMode = {0, 0, 0, 1, 0};
    level_Region = 0;
    snprintf(level_MissionNames.reference, sizeof level_MissionNames.reference, "%s", MK_SAMPLE_REFERENCE);
    app_Settings.MEMORY_USAGE = 1;
    depth_Init();
    ExpectGround();
    ExpectPicture(6);
}

// In a child process: the sample terrain with one file replaced, then a
// load with a display.
void LoadWith(const char* name, const std::vector<uint8_t>& file) {
    setenv("KRX_PLATFORM", "headless", 1);
    mem_HeapSizesSet(0x800000, 0x10000, 0x10000);
    mem_HeapInit();
    char tmpl[] = "/tmp/krx_depth_XXXXXX";
    if (!mkdtemp(tmpl) || chdir(tmpl) != 0) _exit(99);
    if (mkdata_WriteAppStrings(".") != 0 || mkdata_WriteTerrain(".") != 0) _exit(98);
    if (file.empty()) unlink(name);
    else test_WriteFile(name, file);
    app_StringFileLoad();
    level_GameMode = {0, 0, 0, 1, 0};
    level_Region = 0;
    snprintf(level_MissionNames.reference, sizeof level_MissionNames.reference, "%s", MK_SAMPLE_REFERENCE);
    depth_Init();
    _exit(0);
}

TEST(TerrainDeath, DamagedFilesEndTheProgramWithTheirName) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    MkTerrain t;
    mkdata_TerrainMake(&t);
    uint8_t pal[768] = {};
    std::vector<uint8_t> eightBit((size_t)bmp_Encode8(nullptr, 0, 512, 512, t.height.data(), pal));
    bmp_Encode8(eightBit.data(), eightBit.size(), 512, 512, t.height.data(), pal);
    std::vector<uint8_t> smallWater = mkdata_WaterBmpBuild(256, 512, t.water);
    std::vector<uint8_t> ref = t.reference;
    ref[100] = MK_TILE_COUNT;
    std::vector<uint8_t> tiles = mkdata_DepthTilesBuild(MK_TILE_COUNT, t.tiles, t.palette, t.attributes);
    tiles.resize(tiles.size() - 1);
    std::vector<uint8_t> smallSky = mkdata_WaterBmpBuild(512, 512, t.water);  // not 8 bits
    ::testing::ExitedWithCode exited(APP_EXIT_DATA_ERROR);
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        const char* box;
    } cases[] = {
        {"water01.bmp", eightBit, "depth_Init: cannot load or allocate \"water01.bmp\""},
        {"water01.bmp", smallWater, "depth_Init: cannot load or allocate \"water01.bmp\""},
        {"depth01.pcx", smallWater, "depth_Init: cannot load or allocate \"depth01.pcx\""},
        {"depth01.pcx", {}, "depth_Init: cannot load or allocate \"depth01.pcx\""},
        {"bmp01.bms", tiles, "depth_LoadTiles: cannot load or allocate \"bmp01.bms\""},
        {"bmp01.bms", {}, "depth_LoadTiles: cannot load or allocate \"bmp01.bms\""},
        {"F1M1.REF", ref, "depth_Init: cannot load or allocate \"F1M1.REF\""},
        {"skymono.pcx", smallSky, "depth_Init: cannot load or allocate \"skymono.pcx\""},
    };
    for (const Case& c : cases) EXPECT_EXIT(LoadWith(c.name, c.file), exited, c.box) << c.name;
    EXPECT_EXIT(LoadWith("unused.dat", {1}), ::testing::ExitedWithCode(0), "");
}

}  // namespace
