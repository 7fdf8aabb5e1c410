// Golden frames of the rasteriser: every set and pair of every span table,
// on triangles that are clipped on every side, smaller than a pixel, thin,
// degenerate, refused or wound the other way, and the benchmark's goal scene
// (bench/raster_scene.h) at every depth. Each frame's bytes are hashed
// (FNV-1a, 64 bits) and compared with the hashes of the reference loops, so
// a faster edge stepper or span loop must draw byte for byte the same.
// When a change is meant to alter the pictures, the failure message gives
// the new table line.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "bench/raster_scene.h"
#include "display/rast.h"
#include "raster_fixture.h"

namespace {

using raster_test::Surface;
using raster_test::V;

uint64_t Fnv1a(uint64_t h, const uint8_t* p, size_t n) {
    for (size_t i = 0; i < n; i++) {
        h ^= p[i];
        h *= 0x100000001B3ull;
    }
    return h;
}
constexpr uint64_t kFnvBasis = 0xCBF29CE484222325ull;

uint32_t Mix(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    return x ^ (x >> 16);
}

struct Golden {
    const char* name;
    uint64_t hash;
};

// Reference hashes. Names: mode, then the flag group or the mesh kind.
const Golden kGolden[] = {
    {"mode 1 flags 0x8", 0x3a6171a6f7ea254aull},
    {"mode 1 flags 0x18", 0xa518d29c4537779bull},
    {"mode 1 flags 0x2008", 0x2ee54c684b284401ull},
    {"mode 1 flags 0x2018", 0xfc2e1331eebb28aeull},
    {"mode 1 flags 0x2088", 0x6c1eb80397d7b057ull},
    {"mode 1 flags 0x208", 0xdfc683484f346afcull},
    {"mode 1 flags 0x218", 0x9c7058b99311b29aull},
    {"mode 1 flags 0x88", 0x70a5201b0542d173ull},
    {"mode 1 flags 0x1000008", 0xdfc683484f346afcull},
    {"mode 1 flags 0x20008", 0x04460f0f2b12a2f6ull},
    {"mode 1 flags 0x2000008", 0x04460f0f2b12a2f6ull},
    {"mode 1 flags 0x100008", 0x04460f0f2b12a2f6ull},
    {"mode 1 flags 0x200008", 0x04460f0f2b12a2f6ull},
    {"mode 1 flags 0x800008", 0x3a6171a6f7ea254aull},
    {"mode 1 flags 0x28", 0x04460f0f2b12a2f6ull},
    {"mode 1 flags 0", 0x72e7cb2e843163feull},
    {"mode 1 flags 0x80", 0xdf75a11eeb44e28bull},
    {"mode 1 flags 0x100", 0x19bc3cbda64c2184ull},
    {"mode 1 flags 0x4000", 0x10b4f1495fa5159cull},
    {"mode 1 flags 0x200", 0xc899587736e0ea0dull},
    {"mode 1 flags 0x80000", 0x19bc3cbda64c2184ull},
    {"mode 2 flags 0x8", 0x3a6171a6f7ea254aull},
    {"mode 2 flags 0x18", 0xa518d29c4537779bull},
    {"mode 2 flags 0x2008", 0x2ee54c684b284401ull},
    {"mode 2 flags 0x2018", 0xfc2e1331eebb28aeull},
    {"mode 2 flags 0x2088", 0x6c1eb80397d7b057ull},
    {"mode 2 flags 0x208", 0xdfc683484f346afcull},
    {"mode 2 flags 0x218", 0x9c7058b99311b29aull},
    {"mode 2 flags 0x88", 0x70a5201b0542d173ull},
    {"mode 2 flags 0x1000008", 0x04460f0f2b12a2f6ull},
    {"mode 2 flags 0x20008", 0x04460f0f2b12a2f6ull},
    {"mode 2 flags 0x2000008", 0x04460f0f2b12a2f6ull},
    {"mode 2 flags 0x100008", 0x04460f0f2b12a2f6ull},
    {"mode 2 flags 0x200008", 0x04460f0f2b12a2f6ull},
    {"mode 2 flags 0x800008", 0x04460f0f2b12a2f6ull},
    {"mode 2 flags 0x28", 0x04460f0f2b12a2f6ull},
    {"mode 2 flags 0", 0x72e7cb2e843163feull},
    {"mode 2 flags 0x80", 0xdf75a11eeb44e28bull},
    {"mode 2 flags 0x100", 0x19bc3cbda64c2184ull},
    {"mode 2 flags 0x4000", 0x10b4f1495fa5159cull},
    {"mode 2 flags 0x200", 0xc899587736e0ea0dull},
    {"mode 2 flags 0x80000", 0x1236ffabae322a5eull},
    {"mode 3 flags 0x8", 0x35ce545017f3c08full},
    {"mode 3 flags 0x18", 0xf5691755e1581a8bull},
    {"mode 3 flags 0x2008", 0x4a25870eedc1dc0full},
    {"mode 3 flags 0x2018", 0xb10875809cc21bf6ull},
    {"mode 3 flags 0x2088", 0xfcd079233f0beec6ull},
    {"mode 3 flags 0x208", 0x5343a89d6da9b2b6ull},
    {"mode 3 flags 0x218", 0x01f61142c2bd0f52ull},
    {"mode 3 flags 0x88", 0x170910b55c36c6a5ull},
    {"mode 3 flags 0x1000008", 0xd946f570b6aa22aaull},
    {"mode 3 flags 0x20008", 0xd946f570b6aa22aaull},
    {"mode 3 flags 0x2000008", 0xd946f570b6aa22aaull},
    {"mode 3 flags 0x100008", 0xd946f570b6aa22aaull},
    {"mode 3 flags 0x200008", 0xd946f570b6aa22aaull},
    {"mode 3 flags 0x800008", 0xebae64fb7b0d8dd5ull},
    {"mode 3 flags 0x28", 0xd946f570b6aa22aaull},
    {"mode 3 flags 0", 0x2dc9fb76fa93f55cull},
    {"mode 3 flags 0x80", 0x17fea2ebac947778ull},
    {"mode 3 flags 0x100", 0x7b499c1e5e121c7bull},
    {"mode 3 flags 0x4000", 0xe669051581af2edcull},
    {"mode 3 flags 0x200", 0x418fa35a327b12b9ull},
    {"mode 3 flags 0x80000", 0x6b023966b2580942ull},
    {"mode 5 flags 0x8", 0xb6de589be637650full},
    {"mode 5 flags 0x18", 0xf80769dd0470ad56ull},
    {"mode 5 flags 0x2008", 0x18eb5ba51082d953ull},
    {"mode 5 flags 0x2018", 0x5e5373ce85ff80c9ull},
    {"mode 5 flags 0x2088", 0x169e4b118bccb45bull},
    {"mode 5 flags 0x208", 0x93d9e69b6416f935ull},
    {"mode 5 flags 0x218", 0x4e9b69d4b555a656ull},
    {"mode 5 flags 0x88", 0x14e0be98bbe0224eull},
    {"mode 5 flags 0x1000008", 0xe303032df307c54cull},
    {"mode 5 flags 0x20008", 0xeea38e63b3e6165eull},
    {"mode 5 flags 0x2000008", 0x9cf6681d31e1160eull},
    {"mode 5 flags 0x100008", 0x5a32f7f267d651dfull},
    {"mode 5 flags 0x200008", 0x19dd38bad5f0155aull},
    {"mode 5 flags 0x800008", 0x1979f7e9f0407815ull},
    {"mode 5 flags 0x28", 0x1979f7e9f0407815ull},
    {"mode 5 flags 0", 0xaa07e31813264550ull},
    {"mode 5 flags 0x80", 0xb4f54beac873f74full},
    {"mode 5 flags 0x100", 0x4c59ff5183d4f1b6ull},
    {"mode 5 flags 0x4000", 0x67bfff492075ad5dull},
    {"mode 5 flags 0x200", 0xc8c0de7c58a4908eull},
    {"mode 5 flags 0x80000", 0x7b87d755087eef00ull},
    {"mode 1 scene flat", 0x0db512c58c48281full},
    {"mode 1 scene shaded", 0x5708ceba79ffa56dull},
    {"mode 1 scene textured", 0xe1faa01a1eb7f125ull},
    {"mode 1 scene textured_shaded", 0x4ff40ce20c92f997ull},
    {"mode 2 scene flat", 0x0db512c58c48281full},
    {"mode 2 scene shaded", 0x5708ceba79ffa56dull},
    {"mode 2 scene textured", 0xe1faa01a1eb7f125ull},
    {"mode 2 scene textured_shaded", 0x4ff40ce20c92f997ull},
    {"mode 3 scene flat", 0xddbdbff6b7ca6a99ull},
    {"mode 3 scene shaded", 0xb7a6219c4fee6e53ull},
    {"mode 3 scene textured", 0xf9af4531d811b8a5ull},
    {"mode 3 scene textured_shaded", 0xdba9a34fbd45b1b3ull},
    {"mode 5 scene flat", 0x11d9d87e64d03334ull},
    {"mode 5 scene shaded", 0xd8497ff512d37725ull},
    {"mode 5 scene textured", 0xf958dd24a6a59225ull},
    {"mode 5 scene textured_shaded", 0x914fc8baee65147eull},
};

class RastGolden : public raster_test::RasterTest {
protected:
    void SetUp() override {
        RasterTest::SetUp();
        table_.resize(65536);
        for (size_t i = 0; i < table_.size(); i++) table_[i] = (uint8_t)(Mix((uint32_t)i) >> 5);
        texture_.resize(2 * 512 * 512);
        for (size_t i = 0; i < texture_.size(); i++) {
            const uint32_t r = Mix((uint32_t)i + 12345);
            texture_[i] = (r & 7) == 0 ? 0 : (uint8_t)(r >> 8);  // an eighth are 0: transparent
        }
        shade16_.resize(64 * 256);
        for (size_t i = 0; i < shade16_.size(); i++) shade16_[i] = (uint16_t)Mix((uint32_t)i + 777);
        pal16_.resize(256);
        for (size_t i = 0; i < pal16_.size(); i++) pal16_[i] = Mix((uint32_t)i + 999) & 0xFFFF;
        master_.resize(256 * 4);
        for (size_t i = 0; i < master_.size(); i++) master_[i] = (int16_t)((Mix((uint32_t)i + 4242) & 0xFF) << 7);
        draw_Context.shadeTable = table_.data();
        poly_SpanState.shadeTable = table_.data();
        poly_SpanState.shadeRows = 48;
        poly_SpanState.blendTable = table_.data();
        pal_DrawTables.shade16 = shade16_.data();
        for (int k = 0; k < 32; k++)
            for (int n = 0; n < 256; n++) {
                pal_Hc.shade[k][n][0] = (uint16_t)Mix((uint32_t)(k * 256 + n));
                pal_Hc.shade[k][n][1] = (uint16_t)Mix((uint32_t)(k * 256 + n + 65536));
            }
        pal_Hc.blendMask1 = 0xF7DEF7DEu;
        pal_Hc.channels[1].mask = 0x07E0;
        poly_HazeColour = 0xC0D8F0u;
    }

    // The hash of every frame drawn, in order, is checked against the table.
    void Check(const std::string& name, uint64_t hash) {
        for (const Golden& g : kGolden)
            if (name == g.name) {
                EXPECT_EQ(g.hash, hash) << "new line: {\"" << name << "\", 0x" << std::hex << hash << "ull},";
                return;
            }
        char line[128];
        snprintf(line, sizeof line, "    {\"%s\", 0x%016" PRIx64 "ull},", name.c_str(), hash);
        ADD_FAILURE() << "no golden hash:\n" << line;
    }

    std::vector<uint8_t> table_, texture_;
    std::vector<uint16_t> shade16_;
    std::vector<uint32_t> pal16_;
    std::vector<int16_t> master_;
};

int BytesOf(int32_t mode) { return mode == POLY_MODE_16 ? 2 : mode == POLY_MODE_32 ? 4 : 1; }

// Triangles of every awkward kind on a 96 x 64 surface clipped to
// (3, 2)-(91, 60). shade picks the corners' colour words: shade only, haze
// amount, highlight, both (the last three only count at 32 bits).
void DrawScene(uint8_t* base, uintptr_t arg, int shade) {
    static const uint32_t kColours[4][3] = {
        {0x00031000, 0x001E8000, 0x000C4000},
        {0x40031000, 0x001E8000, 0xF00C4000},
        {0x00031010, 0x001E80FF, 0x000C4000},
        {0xA0031020, 0x101E8000, 0x300C40C0},
    };
    const uint32_t* c = kColours[shade];
    struct T {
        PolyVertex a, b, c;
        int32_t reverse;
    };
    const T tris[] = {
        // Reaching far past every side, with large u, v steps.
        {V(-3000 * 128, -50 * 128, 0, 0, c[0]), V(4000 * 128, 10 * 128, 9000000, -70000, c[1]),
         V(20 * 128, 9000 * 128, -123456, 5000000, c[2]), 0},
        // Corners on whole pixels, the middle corner on the right.
        {V(10 * 128, 8 * 128, 1000, 2000, c[0]), V(40 * 128, 20 * 128, 60000, 9000, c[1]),
         V(18 * 128, 44 * 128, 20000, 70000, c[2]), 0},
        // The middle corner on the left, sub-pixel corners; magnified texture.
        {V(60 * 128 + 77, 3 * 128 + 5, 3000, 1000, c[1]), V(88 * 128 + 3, 50 * 128 + 99, 9000, 6000, c[2]),
         V(50 * 128 + 50, 30 * 128 + 64, 1500, 7000, c[0]), 0},
        // Across the left and top clip edges.
        {V(-500, -900, 1000, 3000, c[2]), V(30 * 128 + 17, 4 * 128 + 3, 70000, 9000, c[0]),
         V(9 * 128 + 99, 40 * 128, 20000, 90000, c[1]), 0},
        // Across the right and bottom clip edges, minified.
        {V(80 * 128 + 3, 40 * 128 + 7, 0, 0, c[0]), V(110 * 128, 58 * 128 + 100, 400000, 100000, c[1]),
         V(70 * 128 + 1, 70 * 128 + 1, -200000, 300000, c[2]), 0},
        // Smaller than a pixel: one holding a sample point, one holding none.
        {V(20 * 128 - 20, 50 * 128 - 30, 100, 100, c[0]), V(20 * 128 + 40, 50 * 128 - 10, 200, 100, c[1]),
         V(20 * 128 + 5, 50 * 128 + 50, 100, 300, c[2]), 0},
        {V(22 * 128 + 10, 52 * 128 + 10, 100, 100, c[0]), V(22 * 128 + 90, 52 * 128 + 20, 200, 100, c[1]),
         V(22 * 128 + 30, 52 * 128 + 100, 100, 300, c[2]), 0},
        // A sliver a third of a pixel wide and 40 rows tall, and a flat one.
        {V(45 * 128 + 10, 10 * 128 + 3, 0, 0, c[0]), V(45 * 128 + 53, 10 * 128 + 3, 5000, 0, c[1]),
         V(46 * 128 + 100, 50 * 128 + 70, 9000, 90000, c[2]), 0},
        {V(30 * 128 + 7, 56 * 128 + 60, 0, 0, c[0]), V(70 * 128 + 9, 56 * 128 + 90, 9000, 0, c[1]),
         V(32 * 128 + 1, 57 * 128 + 40, 0, 3000, c[2]), 0},
        // Degenerate: on one line, on one row, one point.
        {V(100, 100, 0, 0, c[0]), V(2000, 1500, 0, 0, c[1]), V(3900, 2900, 0, 0, c[2]), 0},
        {V(100, 640, 0, 0, c[0]), V(3000, 640, 0, 0, c[1]), V(1500, 640, 0, 0, c[2]), 0},
        {V(500, 500, 0, 0, c[0]), V(500, 500, 0, 0, c[1]), V(500, 500, 0, 0, c[2]), 0},
        // Wound the other way: nothing, then drawn with the winding flag.
        {V(50 * 128, 30 * 128, 0, 0, c[0]), V(50 * 128, 45 * 128, 0, 40000, c[1]),
         V(75 * 128, 35 * 128, 40000, 0, c[2]), 0},
        {V(50 * 128 + 1, 30 * 128 + 1, 0, 0, c[0]), V(50 * 128, 45 * 128, 0, 40000, c[1]),
         V(75 * 128, 35 * 128, 40000, 0, c[2]), 1},
        // Refused: a corner past the coordinate limit.
        {V(10 * 128, 10 * 128, 0, 0, c[0]), V((1 << 24) + 1, 10 * 128, 0, 0, c[1]),
         V(10 * 128, 40 * 128, 0, 0, c[2]), 0},
        // Top corner exactly on a row, bottom corner exactly on a row.
        {V(5 * 128, 20 * 128, 777, 888, c[0]), V(15 * 128, 30 * 128, 30000, 888, c[1]),
         V(5 * 128, 40 * 128, 777, 40000, c[2]), 0},
    };
    for (const T& t : tris) {
        poly_SpanState.reverseWinding = t.reverse;
        poly_DrawPolygon(&t.a, &t.b, &t.c, base, arg);
    }
    poly_SpanState.reverseWinding = 0;
}

// Every flag group of every pixel mode, each drawn with the three shadings,
// the four colour-word kinds and three texture sizes (the last with a level
// offset) over a background of noise, hashed as one.
TEST_F(RastGolden, EverySetOfEveryMode) {
    static const uint32_t kTextured[] = {
        0, POLY_TRANSPARENT, POLY_JITTER, POLY_TRANSPARENT | POLY_JITTER, POLY_TRANSLUCENT | POLY_JITTER,
        POLY_BLEND, POLY_TRANSPARENT | POLY_BLEND, POLY_TRANSLUCENT, POLY_ALPHA_TEXEL, POLY_ALPHA_COLOUR, POLY_MIX,
        POLY_ADD, POLY_ADD_SCALED, POLY_COPY16, POLY_NO_DRAW};
    static const uint32_t kUntextured[] = {0, POLY_TRANSLUCENT, POLY_DARKEN, POLY_SMEAR, POLY_BLEND, POLY_CHANNEL};
    static const uint32_t kShading[] = {0, POLY_FLAT_SHADE, POLY_GOURAUD};
    static const struct {
        int32_t su, sv, levelOffset;
    } kShifts[] = {{7, 7, 0}, {9, 6, 0}, {4, 8, 1}};
    std::vector<std::pair<uint32_t, bool>> groups;
    for (uint32_t f : kTextured) groups.push_back({f | POLY_TEXTURED, true});
    for (uint32_t f : kUntextured) groups.push_back({f, false});
    for (int32_t mode : {POLY_MODE_8, POLY_MODE_8_MMX, POLY_MODE_16, POLY_MODE_32}) {
        const int bpp = BytesOf(mode);
        pal_DrawTables.master = mode == POLY_MODE_32 ? (const void*)master_.data() : (const void*)pal16_.data();
        Surface s(96, 64, bpp);
        s.Clip(3, 2, 91, 60);
        poly_SetPixelMode(mode);
        for (auto [flags, textured] : groups) {
            poly_RandomSeed = 0x2B0749C1u;
            poly_SpanState.dither = 0;
            uint64_t hash = kFnvBasis;
            uint32_t frame = 0;
            for (uint32_t shading : kShading)
                for (int shade = 0; shade < 4; shade++)
                    for (const auto& sh : kShifts) {
                        if (!textured && (&sh != &kShifts[0])) continue;
                        for (size_t i = 0; i < s.mem.size() - 2 * Surface::kGuard; i++)
                            s.base[i] = (uint8_t)Mix((uint32_t)i + frame * 7919);
                        frame++;
                        poly_SpanState.textureShiftU = sh.su;
                        poly_SpanState.textureShiftV = sh.sv;
                        poly_SpanState.levelOffset = sh.levelOffset;
                        poly_SpanState.rememberedWord = 0x80FF8040u;
                        poly_SpanState.renderFlags = flags | shading;
                        DrawScene(s.base, textured ? (uintptr_t)texture_.data() : (uintptr_t)0x00A0B0C7u, shade);
                        const std::vector<uint8_t> px = s.Pixels();
                        hash = Fnv1a(hash, px.data(), px.size());
                    }
            poly_SpanState.levelOffset = 0;
            EXPECT_TRUE(s.GuardsIntact());
            char name[64];
            snprintf(name, sizeof name, "mode %d flags %#x", (int)mode, (unsigned)flags);
            Check(name, hash);
        }
    }
}

// The benchmark's goal scene covers every pixel exactly three times.
TEST_F(RastGolden, GoalSceneCoversEveryPixelThreeTimes) {
    using namespace raster_scene;
    std::vector<uint8_t> counter(65536);
    for (int c = 0; c < 256; c++)
        for (int d = 0; d < 256; d++) counter[c * 256 + d] = (uint8_t)(d + 1);
    Surface s(kWidth, kHeight, 1);
    poly_SetPixelMode(POLY_MODE_8);
    poly_SpanState.blendTable = counter.data();
    poly_SpanState.renderFlags = POLY_BLEND;
    EXPECT_GT(Mesh().size(), 1900u);
    for (const Tri& t : Mesh()) poly_DrawPolygon(&t.a, &t.b, &t.c, s.base, 0);
    for (int y = 0; y < kHeight; y++)
        for (int x = 0; x < kWidth; x++) ASSERT_EQ(s.Get(x, y), 3u) << x << "," << y;
}

// The goal scene's frames at every depth, as the benchmark draws them.
TEST_F(RastGolden, GoalSceneFrames) {
    using namespace raster_scene;
    static const Tables tables;
    for (int32_t mode : {POLY_MODE_8, POLY_MODE_8_MMX, POLY_MODE_16, POLY_MODE_32}) {
        const int bits = BytesOf(mode) * 8;
        for (int kind = kFlat; kind <= kTexturedShaded; kind++) {
            Surface s(kWidth, kHeight, bits / 8);
            _DRAW_SURFACE desc;
            Select(kind, bits, tables, &desc, s.base);
            poly_SetPixelMode(mode);
            Draw(kind, tables, s.base);
            EXPECT_TRUE(s.GuardsIntact());
            const std::vector<uint8_t> px = s.Pixels();
            char name[64];
            snprintf(name, sizeof name, "mode %d scene %s", (int)mode, KindName(kind));
            Check(name, Fnv1a(kFnvBasis, px.data(), px.size()));
        }
    }
}

}  // namespace
