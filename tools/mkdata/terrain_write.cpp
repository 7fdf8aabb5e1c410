// The terrain writers and the sample terrain.
#include "terrain_write.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "base/bmp.h"
#include "base/le.h"
#include "mission_write.h"
#include "mkdata.h"
#include "world/terrain.h"

namespace {

constexpr int kSize = 512;
constexpr int kSide = 128;  // tile side
constexpr int kTileBytes = kSide * kSide;
constexpr int kPatches = 128;

// Airfield: the flat area around the runway, in cells (inclusive).
constexpr int kFieldX0 = 196, kFieldX1 = 211, kFieldZ0 = 296, kFieldZ1 = 307;
constexpr int kBlend = 10;  // cells over which hills fall to the flat areas

// A small deterministic generator, so the data set is the same every time.
struct Rng {
    uint32_t s;
    uint32_t Next() {
        s = s * 1664525u + 1013904223u;
        return s >> 8;
    }
    int Range(int n) { return (int)(Next() % (uint32_t)n); }
};

int WrapDist(int a, int b) {
    int d = std::abs(a - b) % kSize;
    return std::min(d, kSize - d);
}

double Hills(int x, int z) {
    struct Hill {
        int cx, cz;
        double radius, height;
    } hills[] = {
        {120, 110, 60, 150}, {230, 360, 40, 110}, {380, 330, 70, 170}, {60, 400, 50, 90},
        {450, 80, 45, 120},  {170, 250, 30, 70},  {330, 460, 55, 130}, {260, 120, 35, 80},
    };
    double h = 14.0;
    for (const Hill& k : hills) {
        double dx = WrapDist(x, k.cx), dz = WrapDist(z, k.cz);
        h += k.height * std::exp(-(dx * dx + dz * dz) / (k.radius * k.radius));
    }
    const double t = 2.0 * M_PI / kSize;
    h += 6.0 * std::sin(x * t * 8) * std::cos(z * t * 6) + 4.0 * std::sin((x + 2 * z) * t * 13);
    return h;
}

// 0 inside the rectangle, 1 from kBlend cells beyond it.
double RectBlend(int x, int z) {
    int dx = std::max({kFieldX0 - x, x - kFieldX1, 0});
    int dz = std::max({kFieldZ0 - z, z - kFieldZ1, 0});
    double d = std::sqrt((double)(dx * dx + dz * dz));
    return std::min(d / kBlend, 1.0);
}

double LakeDistance(int x, int z) {
    double dx = WrapDist(x, MK_LAKE_CELL_X), dz = WrapDist(z, MK_LAKE_CELL_Z);
    return std::sqrt(dx * dx + dz * dz);
}

// One tile: a base ramp with noise, then its own marks.
void DrawTile(MkTile kind, uint8_t* px, Rng& rng) {
    auto put = [&](int x, int y, int v) { px[y * kSide + x] = (uint8_t)v; };
    for (int y = 0; y < kSide; y++)
        for (int x = 0; x < kSide; x++) {
            int n = rng.Range(3);
            int v = 0;
            switch (kind) {
                case MK_TILE_GRASS: v = 38 + n; break;
                case MK_TILE_FIELD: v = ((y / 16) & 1) ? 42 + n : 52 + n; break;
                case MK_TILE_FOREST: v = 33 + n + (((x / 8 + y / 8) & 1) ? 2 : 0); break;
                case MK_TILE_ROCK: v = (rng.Range(4) == 0) ? 6 + n : 52 + n; break;
                case MK_TILE_SAND: v = 70 + n; break;
                case MK_TILE_WATER: v = ((x + 2 * y) % 24 < 2) ? 170 : 165 + (n ? 1 : 0); break;
                case MK_TILE_RUNWAY: v = 38 + n; break;
                case MK_TILE_APRON: v = (x % 32 == 0 || y % 32 == 0) ? 84 : 88 + (n ? 1 : 0); break;
                default: break;
            }
            put(x, y, v);
        }
    if (kind == MK_TILE_RUNWAY) {
        // An asphalt strip along u, 8 pixels (512 feet) wide on the centre
        // row, with a dashed white centre line.
        for (int y = 60; y < 68; y++)
            for (int x = 0; x < kSide; x++) put(x, y, 84 + rng.Range(2));
        for (int x = 0; x < kSide; x++)
            if ((x / 8) % 2 == 0) {
                put(x, 63, 255);
                put(x, 64, 255);
            }
    }
}

MkTile PatchTile(const MkTerrain& t, int px, int pz, Rng& rng) {
    if (pz == MK_RUNWAY_CELL_Z / 4 && px >= MK_RUNWAY_CELL_X0 / 4 && px < (MK_RUNWAY_CELL_X0 + MK_RUNWAY_CELLS) / 4)
        return MK_TILE_RUNWAY;
    if (px >= kFieldX0 / 4 && px <= kFieldX1 / 4 && pz >= kFieldZ0 / 4 && pz <= kFieldZ1 / 4) return MK_TILE_APRON;
    int water = 0, top = 0, low = 255;
    for (int j = 0; j < 4; j++)
        for (int i = 0; i < 4; i++) {
            int x = px * 4 + i, z = pz * 4 + j;
            water += (t.water[z * (kSize / 8) + x / 8] >> (7 - (x & 7))) & 1;
            top = std::max<int>(top, t.height[z * kSize + x]);
            low = std::min<int>(low, t.height[z * kSize + x]);
        }
    if (water >= 8) return MK_TILE_WATER;
    if (water > 0 || LakeDistance(px * 4 + 2, pz * 4 + 2) < MK_LAKE_RADIUS + 5) return MK_TILE_SAND;
    if (top > 120) return MK_TILE_ROCK;
    if (top - low > 10) return MK_TILE_FOREST;
    return rng.Range(4) == 0 ? MK_TILE_FIELD : MK_TILE_GRASS;
}

}  // namespace

void mkdata_TerrainMake(MkTerrain* t) {
    mkdata_GamePalette(t->palette);
    t->height.assign(kSize * kSize, 0);
    t->water.assign(kSize * kSize / 8, 0);
    t->shadow.assign(kSize * kSize, 0);
    for (int z = 0; z < kSize; z++)
        for (int x = 0; x < kSize; x++) {
            double h = Hills(x, z);
            h = MK_AIRFIELD_HEIGHT + (h - MK_AIRFIELD_HEIGHT) * RectBlend(x, z);
            double lake = LakeDistance(x, z);
            if (lake < MK_LAKE_RADIUS) {
                h = MK_LAKE_HEIGHT;
                t->water[z * (kSize / 8) + x / 8] |= (uint8_t)(0x80 >> (x & 7));
            } else if (lake < MK_LAKE_RADIUS + kBlend) {
                double f = (lake - MK_LAKE_RADIUS) / kBlend;
                h = (MK_LAKE_HEIGHT + 1) + (h - (MK_LAKE_HEIGHT + 1)) * f;
            }
            t->height[z * kSize + x] = (uint8_t)std::clamp((int)std::lround(h), 1, 250);
        }
    // Light from the north-west: a slope facing it is light (small values),
    // one facing away dark.
    for (int z = 0; z < kSize; z++)
        for (int x = 0; x < kSize; x++) {
            int a = t->height[((z + kSize - 1) % kSize) * kSize + (x + kSize - 1) % kSize];
            int b = t->height[((z + 1) % kSize) * kSize + (x + 1) % kSize];
            t->shadow[z * kSize + x] = (uint8_t)std::clamp(64 + (a - b) * 6, 8, 200);
        }

    Rng rng{12345};
    t->tiles.assign((size_t)MK_TILE_COUNT * kTileBytes, 0);
    for (int k = 0; k < MK_TILE_COUNT; k++) DrawTile((MkTile)k, t->tiles.data() + (size_t)k * kTileBytes, rng);
    // Every triangle of a tile carries the tile's ground kind as its
    // attribute byte.
    t->attributes.assign((size_t)MK_TILE_COUNT * 32, 0);
    for (int k = 0; k < MK_TILE_COUNT; k++)
        for (int a = 0; a < 32; a++) t->attributes[(size_t)k * 32 + a] = (uint8_t)k;

    t->reference.assign(24576, 0);
    for (int pz = 0; pz < kPatches; pz++)
        for (int px = 0; px < kPatches; px++) {
            int n = pz * kPatches + px;
            MkTile tile = PatchTile(*t, px, pz, rng);
            t->reference[n] = tile;
            // Runway and apron tiles lie as drawn; the rest in any of the
            // eight orientations.
            int variant = (tile == MK_TILE_RUNWAY || tile == MK_TILE_APRON) ? 0 : rng.Range(8);
            uint8_t& b = t->reference[16384 + n / 2];
            b = (n & 1) ? (uint8_t)((b & 0x0F) | variant << 4) : (uint8_t)((b & 0xF0) | variant);
        }

    // The sky: bands from deep blue overhead to the pale horizon, with
    // soft cloud blobs.
    t->sky.assign(256 * 256, 0);
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++) {
            double c = std::sin(x * 2 * M_PI / 256 * 3) * std::cos(y * 2 * M_PI / 256 * 2);
            int v = 16 + y * 16 / 256;
            if (c > 0.55) v = 226 + (int)((c - 0.55) * 20);
            t->sky[y * 256 + x] = (uint8_t)std::min(v, 239);
        }
}

std::vector<uint8_t> mkdata_DepthTilesBuild(uint32_t n, const std::vector<uint8_t>& tiles, const uint8_t* palette,
                                            const std::vector<uint8_t>& attributes) {
    LeWriter w;
    w.u32(n);
    for (uint32_t i = 0; i < n; i++) w.u32(i * (uint32_t)kTileBytes);
    w.u32((uint32_t)tiles.size());
    w.bytes(tiles.data(), tiles.size());
    w.u32(256 * 4);
    for (int i = 0; i < 256; i++) {
        w.u8(palette[i * 3 + 2]);
        w.u8(palette[i * 3 + 1]);
        w.u8(palette[i * 3 + 0]);
        w.u8(0);
    }
    w.bytes(attributes.data(), attributes.size());
    return w.buf;
}

std::vector<uint8_t> mkdata_WaterBmpBuild(int32_t width, int32_t height, const std::vector<uint8_t>& rows) {
    static const uint8_t kColours[6] = {0, 0, 0, 0, 64, 192};  // land, water
    int64_t size = bmp_Encode1(nullptr, 0, width, height, rows.data(), kColours);
    std::vector<uint8_t> bytes;
    if (size < 0) return bytes;
    bytes.resize((size_t)size);
    if (bmp_Encode1(bytes.data(), bytes.size(), width, height, rows.data(), kColours) != size) bytes.clear();
    return bytes;
}

int mkdata_WriteTerrain(const std::string& dir) {
    MkTerrain t;
    mkdata_TerrainMake(&t);
    std::vector<uint8_t> water = mkdata_WaterBmpBuild(kSize, kSize, t.water);
    if (water.empty()) return -1;
    if (mkdata_PcxWrite(dir, "depth01.pcx", kSize, kSize, t.height.data(), t.palette) != 0 ||
        mkdata_WriteFile(dir, "water01.bmp", water) != 0 ||
        mkdata_PcxWrite(dir, "shadow01.pcx", kSize, kSize, t.shadow.data(), t.palette) != 0 ||
        mkdata_WriteFile(dir, "bmp01.bms", mkdata_DepthTilesBuild(MK_TILE_COUNT, t.tiles, t.palette, t.attributes)) !=
            0 ||
        mkdata_WriteFile(dir, MK_SAMPLE_REFERENCE, t.reference) != 0 ||
        mkdata_PcxWrite(dir, "skymono.pcx", 256, 256, t.sky.data(), t.palette) != 0)
        return -1;
    return 0;
}

void mkdata_TerrainInstall(MkTerrain& t, MkTerrainLevel* keep) {
    keep->tiles.assign(MK_TILE_COUNT, DepthTile{});
    keep->heads.assign(2 * TERRAIN_PATCHES, nullptr);
    keep->stamps.assign(2 * TERRAIN_PATCHES, 0);
    for (uint32_t i = 0; i < MK_TILE_COUNT; i++) {
        keep->tiles[i].pixels = t.tiles.data() + (size_t)i * DEPTH_TILE_BYTES;
        keep->tiles[i].widthLog2 = keep->tiles[i].heightLog2 = 7;
    }
    DepthLevel& d = depth_Level;
    d.heightMap = t.height.data();
    d.waterMap = t.water.data();
    d.shadowMap = t.shadow.data();
    d.reference = t.reference.data();
    d.tiles = keep->tiles.data();
    d.tileCount = MK_TILE_COUNT;
    d.tileShift = 7;
    d.tileAttributes = t.attributes.data();
    d.dynamicHeads = keep->heads.data();
    d.staticHeads = keep->heads.data() + TERRAIN_PATCHES;
    d.patchStamps = keep->stamps.data();
    d.dynamicStamps = keep->stamps.data() + TERRAIN_PATCHES;
}
