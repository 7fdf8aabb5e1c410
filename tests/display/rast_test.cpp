// Software polygon rasteriser: fill rule, degenerate and wrongly wound
// triangles, clipping (never a write outside the clip rectangle, texture
// continuing at a clipped edge), jitter and the pixel modes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

#include "display/rast.h"
#include "display/vid.h"
#include "raster_fixture.h"

namespace {

using raster_test::Surface;
using raster_test::V;

class Rast : public raster_test::RasterTest {
protected:
    // Marker mode: every write adds one to the pixel (untextured blend with
    // B[c][d] = d + 1).
    void UseCounter() {
        counter_.resize(65536);
        for (int c = 0; c < 256; c++)
            for (int d = 0; d < 256; d++) counter_[c * 256 + d] = (uint8_t)std::min(d + 1, 255);
        poly_SpanState.blendTable = counter_.data();
        poly_SpanState.renderFlags = POLY_BLEND;
    }
    std::vector<uint8_t> counter_;
};

// Clockwise on the screen (y down): the orientation the rasteriser expects.
int64_t Cross(const PolyVertex& a, const PolyVertex& b, const PolyVertex& c) {
    return (int64_t)(b.x - a.x) * (c.y - a.y) - (int64_t)(b.y - a.y) * (c.x - a.x);
}

void DrawCw(PolyVertex a, PolyVertex b, PolyVertex c, uint8_t* dest, uintptr_t colour) {
    if (Cross(a, b, c) < 0) std::swap(b, c);
    poly_DrawPolygon(&a, &b, &c, dest, colour);
}

// A fan of triangles around an inner point, with corners anywhere in 1/128
// pixel: every pixel whose sample point lies strictly inside the polygon is
// drawn exactly once, shared edges included, and none twice.
TEST_F(Rast, SharedEdgesAreDrawnOnce) {
    Surface s(64, 64, 1);
    poly_SetPixelMode(POLY_MODE_8);
    UseCounter();
    uint32_t seed = 99;
    auto rnd = [&seed](int range) {
        seed = seed * 1664525u + 1013904223u;
        return (int32_t)((seed >> 8) % (uint32_t)range);
    };
    for (int iter = 0; iter < 200; iter++) {
        s.Fill(0);
        // A convex polygon: points on an ellipse in the order of their angles.
        const int n = 3 + rnd(6);
        const double cx = 32 * 128 + rnd(512), cy = 32 * 128 + rnd(512);
        const double rx = 8 * 128 + rnd(20 * 128), ry = 8 * 128 + rnd(20 * 128);
        std::vector<int> angles;
        for (int k = 0; k < n; k++) angles.push_back(rnd(3600));
        std::sort(angles.begin(), angles.end());
        angles.erase(std::unique(angles.begin(), angles.end()), angles.end());
        std::vector<PolyVertex> poly;
        for (int t : angles) {
            const double angle = t * 2 * M_PI / 3600;
            poly.push_back(V((int32_t)(cx + rx * cos(angle)), (int32_t)(cy + ry * sin(angle))));
        }
        // Fan around the first corner, or around the centroid of the corners.
        if (iter % 2) {
            int64_t sx = 0, sy = 0;
            for (const PolyVertex& p : poly) {
                sx += p.x;
                sy += p.y;
            }
            const PolyVertex mid = V((int32_t)(sx / (int64_t)poly.size()), (int32_t)(sy / (int64_t)poly.size()));
            for (size_t k = 0; k < poly.size(); k++) DrawCw(mid, poly[k], poly[(k + 1) % poly.size()], s.base, 0);
        } else {
            for (size_t k = 1; k + 1 < poly.size(); k++) DrawCw(poly[0], poly[k], poly[k + 1], s.base, 0);
        }
        // Strictly inside every edge of the polygon (the union of the fan).
        const size_t m = poly.size();
        const int64_t orient = Cross(poly[0], poly[1 % m], poly[2 % m]) >= 0 ? 1 : -1;
        for (int y = 0; y < 64; y++) {
            for (int x = 0; x < 64; x++) {
                const uint32_t count = s.Get(x, y);
                ASSERT_LE(count, 1u) << "pixel " << x << "," << y << " drawn twice, iteration " << iter;
                bool inside = m >= 3;
                const PolyVertex p = V(x * 128, y * 128);
                for (size_t k = 0; k < m && inside; k++)
                    if (Cross(poly[k], poly[(k + 1) % m], p) * orient <= 0) inside = false;
                if (inside) {
                    ASSERT_EQ(count, 1u) << "pixel " << x << "," << y << " missed, iteration " << iter;
                }
            }
        }
    }
}

TEST_F(Rast, TopRowIsDrawnBottomRowAndRightColumnAreNot) {
    Surface s(32, 32, 1);
    poly_SetPixelMode(POLY_MODE_8);
    UseCounter();
    // Square from (4, 10) to (12, 20), corners on whole pixels.
    PolyVertex tl = V(4 * 128, 10 * 128), tr = V(12 * 128, 10 * 128), br = V(12 * 128, 20 * 128),
               bl = V(4 * 128, 20 * 128);
    poly_DrawPolygon(&tl, &tr, &br, s.base, 0);
    poly_DrawPolygon(&tl, &br, &bl, s.base, 0);
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++)
            EXPECT_EQ(s.Get(x, y), (x >= 4 && x < 12 && y >= 10 && y < 20) ? 1u : 0u) << x << "," << y;
}

TEST_F(Rast, ZeroAreaAndWrongWindingDrawNothing) {
    std::vector<uint32_t> pal16(256, 0x4321);
    pal_DrawTables.master = pal16.data();
    for (int32_t mode : {POLY_MODE_8, POLY_MODE_8_MMX, POLY_MODE_16, POLY_MODE_32}) {
        const int bpp = mode == POLY_MODE_16 ? 2 : mode == POLY_MODE_32 ? 4 : 1;
        Surface s(32, 32, bpp);
        poly_SetPixelMode(mode);
        const std::vector<uint8_t> before = s.Pixels();
        PolyVertex a = V(100, 100), b = V(2000, 1500), c = V(3900, 2900);  // on one line
        poly_DrawPolygon(&a, &b, &c, s.base, 7);
        PolyVertex d = V(100, 640), e = V(3000, 640), f = V(1500, 640);  // on one row
        poly_DrawPolygon(&d, &e, &f, s.base, 7);
        PolyVertex g = V(500, 500), h = V(500, 500), i = V(500, 500);
        poly_DrawPolygon(&g, &h, &i, s.base, 7);
        // A proper triangle given counter-clockwise.
        PolyVertex p = V(128, 128), q = V(128, 3000), r = V(3000, 128);
        poly_DrawPolygon(&p, &q, &r, s.base, 7);
        EXPECT_EQ(s.Pixels(), before) << "mode " << mode;
        // With the winding flag it is drawn, and as the clockwise order is.
        poly_SpanState.reverseWinding = 1;
        poly_DrawPolygon(&p, &q, &r, s.base, 7);
        poly_SpanState.reverseWinding = 0;
        const std::vector<uint8_t> reversed = s.Pixels();
        EXPECT_NE(reversed, before);
        s.Fill(0);
        poly_DrawPolygon(&p, &r, &q, s.base, 7);
        EXPECT_EQ(s.Pixels(), reversed);
    }
}

TEST_F(Rast, NullDestinationAndSurfaceOfAnotherDepthDrawNothing) {
    Surface s(16, 16, 1);
    const std::vector<uint8_t> before = s.Pixels();
    PolyVertex a = V(0, 0), b = V(2000, 0), c = V(0, 2000);
    poly_SetPixelMode(POLY_MODE_8);
    poly_DrawPolygon(&a, &b, &c, nullptr, 9);
    poly_DrawPolygon(nullptr, &b, &c, s.base, 9);
    // 32-bit loops on an 8-bit surface would run four times past each row.
    poly_SetPixelMode(POLY_MODE_32);
    poly_DrawPolygon(&a, &b, &c, s.base, 9);
    EXPECT_EQ(s.Pixels(), before);
    EXPECT_TRUE(s.GuardsIntact());
    poly_SetPixelMode(POLY_MODE_8);
    poly_DrawPolygon(&a, &b, &c, s.base, 9);
    EXPECT_EQ(s.Get(0, 0), 9u);
}

// Every set of every table, with triangles reaching far past the surface:
// nothing outside the clip rectangle changes, and the guards stay.
TEST_F(Rast, NoWriteOutsideTheClipRectangle) {
    static const uint32_t kFlagSets[] = {
        0, POLY_TRANSPARENT, POLY_JITTER, POLY_TRANSPARENT | POLY_JITTER, POLY_TRANSLUCENT | POLY_JITTER,
        POLY_BLEND, POLY_TRANSPARENT | POLY_BLEND, POLY_TRANSLUCENT, POLY_ALPHA_TEXEL, POLY_ALPHA_COLOUR, POLY_MIX,
        POLY_ADD, POLY_ADD_SCALED, POLY_COPY16, POLY_NO_DRAW};
    static const uint32_t kUntextured[] = {0, POLY_TRANSLUCENT, POLY_DARKEN, POLY_SMEAR, POLY_BLEND, POLY_CHANNEL};
    static const uint32_t kShading[] = {0, POLY_FLAT_SHADE, POLY_GOURAUD};
    std::vector<uint8_t> table(65536), texture(2 * 512 * 512);
    for (size_t i = 0; i < table.size(); i++) table[i] = (uint8_t)(i * 7 + 3);
    for (size_t i = 0; i < texture.size(); i++) texture[i] = (uint8_t)(i * 13 + (i >> 9));
    std::vector<uint16_t> shade16(64 * 256, 0x1234);
    std::vector<int16_t> master(256 * 4, 0x1000);
    draw_Context.shadeTable = table.data();
    poly_SpanState.shadeTable = table.data();
    poly_SpanState.shadeRows = 256;
    poly_SpanState.blendTable = table.data();
    poly_SpanState.textureShiftU = poly_SpanState.textureShiftV = 9;
    for (int32_t mode : {POLY_MODE_8, POLY_MODE_8_MMX, POLY_MODE_16, POLY_MODE_32}) {
        const int bpp = mode == POLY_MODE_16 ? 2 : mode == POLY_MODE_32 ? 4 : 1;
        pal_DrawTables.master = mode == POLY_MODE_32 ? (const void*)master.data() : nullptr;
        pal_DrawTables.shade16 = shade16.data();
        Surface s(40, 30, bpp);
        s.Fill(0x5C5C5C5C);
        s.Clip(5, 4, 33, 25);
        poly_SetPixelMode(mode);
        std::vector<std::pair<uint32_t, uintptr_t>> runs;
        for (uint32_t f : kFlagSets) runs.push_back({f | POLY_TEXTURED, (uintptr_t)texture.data()});
        for (uint32_t f : kUntextured) runs.push_back({f, 0x00A0B0C0u});
        for (auto [flags, colour] : runs) {
            for (uint32_t shading : kShading) {
                poly_SpanState.rememberedWord = 0x80FF8040u;
                poly_SpanState.renderFlags = flags | shading;
                // Far past every side; large u, v steps; shade, haze and
                // highlight that vary.
                PolyVertex a = V(-3000 * 128, -50 * 128, 0, 0, 0x00100000),
                           b = V(4000 * 128, 10 * 128, 9000000, -70000, 0x3F1F0010),
                           c = V(20 * 128, 9000 * 128, -123456, 5000000, 0xFF0800FF);
                DrawCw(a, b, c, s.base, colour);
                PolyVertex d = V(6 * 128 + 5, 3 * 128 + 100, 100, 100, 0x00080000),
                           e = V(33 * 128 - 1, 4 * 128 + 1, 70000, 9000, 0x00080000),
                           g = V(20 * 128, 26 * 128, 50000, 300000, 0x001F0000);
                DrawCw(d, e, g, s.base, colour);
            }
        }
        const uint32_t outside = bpp == 4 ? 0x5C5C5C5Cu : bpp == 2 ? 0x5C5Cu : 0x5Cu;
        for (int y = 0; y < 30; y++)
            for (int x = 0; x < 40; x++)
                if (x < 5 || x >= 33 || y < 4 || y >= 25) {
                    ASSERT_EQ(s.Get(x, y), outside) << "mode " << mode << " pixel " << x << "," << y;
                }
        EXPECT_TRUE(s.GuardsIntact()) << "mode " << mode;
    }
}

// A textured triangle reaching past the left and top clip edges: inside the
// clip rectangle it is the same, pixel for pixel, as the triangle drawn on
// the whole surface (u and v advanced by the skipped pixels and rows). A
// Gouraud one clipped on the left keeps its shade too; at 8 and 16 bits the
// ordered dither runs in drawing order, so there the level may differ by one
// while the texel must not (the test tables keep both readable).
TEST_F(Rast, TextureContinuesAtAClippedEdge) {
    std::vector<uint8_t> texture(128 * 128), shade(32 * 256);
    for (size_t i = 0; i < texture.size(); i++) texture[i] = (uint8_t)((i * 37) ^ (i >> 7) * 11);
    for (int l = 0; l < 32; l++)
        for (int t = 0; t < 256; t++) shade[l * 256 + t] = (uint8_t)(l << 3 | (t & 7));  // level, texel
    std::vector<uint16_t> shade16(64 * 256);
    for (size_t i = 0; i < shade16.size(); i++) shade16[i] = (uint16_t)i;  // level x 256 + texel
    std::vector<int16_t> master(256 * 4);
    for (int i = 0; i < 256; i++)
        for (int c = 0; c < 3; c++) master[i * 4 + c] = (int16_t)(((i * (c + 3)) & 255) * 128);
    std::vector<uint32_t> pal16(256);
    for (int i = 0; i < 256; i++) pal16[i] = (uint32_t)(i * 0x0101);
    poly_SpanState.shadeTable = shade.data();
    poly_SpanState.textureShiftU = poly_SpanState.textureShiftV = 7;
    pal_DrawTables.shade16 = shade16.data();
    PolyVertex a = V(-700, -900, 1000, 3000, 0x00020000), b = V(40 * 128 + 17, 5 * 128 + 3, 70000, 9000, 0x001E8000),
               c = V(9 * 128 + 99, 30 * 128, 20000, 90000, 0x00100000);
    for (int32_t mode : {POLY_MODE_8, POLY_MODE_16, POLY_MODE_32}) {
        for (bool gouraud : {false, true}) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << " gouraud " << gouraud);
            const int bpp = mode == POLY_MODE_16 ? 2 : mode == POLY_MODE_32 ? 4 : 1;
            pal_DrawTables.master = mode == POLY_MODE_32 ? (const void*)master.data() : (const void*)pal16.data();
            poly_SetPixelMode(mode);
            poly_SpanState.renderFlags = POLY_TEXTURED | (gouraud ? (uint32_t)POLY_GOURAUD : 0u);
            Surface whole(48, 40, bpp);
            poly_DrawPolygon(&a, &b, &c, whole.base, (uintptr_t)texture.data());
            const int top = gouraud ? 0 : 6;
            Surface clipped(48, 40, bpp);
            clipped.Clip(7, top, 48, 40);
            poly_DrawPolygon(&a, &b, &c, clipped.base, (uintptr_t)texture.data());
            const bool dithered = gouraud && mode != POLY_MODE_32;
            int compared = 0;
            for (int y = 0; y < 40; y++)
                for (int x = 0; x < 48; x++) {
                    const uint32_t got = clipped.Get(x, y), want = whole.Get(x, y);
                    if (x < 7 || y < top) {
                        ASSERT_EQ(got, 0u) << x << "," << y;
                    } else if (!dithered) {
                        ASSERT_EQ(got, want) << x << "," << y;
                    } else {
                        const int shift = mode == POLY_MODE_8 ? 3 : 8;
                        const uint32_t texelMask = (1u << shift) - 1;
                        ASSERT_EQ(got & texelMask, want & texelMask) << x << "," << y;
                        ASSERT_LE(std::abs((int)(got >> shift) - (int)(want >> shift)), 1) << x << "," << y;
                    }
                    compared += want != 0 && x >= 7 && y >= top;
                }
            EXPECT_GT(compared, 100);
        }
    }
}

TEST_F(Rast, StronglyMinifiedTextureIsDrawnWithoutJitter) {
    std::vector<uint8_t> texture(128 * 128);
    for (size_t i = 0; i < texture.size(); i++) texture[i] = (uint8_t)(i * 29 + (i >> 7) * 3);
    poly_SetPixelMode(POLY_MODE_8);
    // u crosses the texture 4 times in 20 pixels: about 25 texels a pixel.
    PolyVertex a = V(0, 0, 0, 0), b = V(20 * 128, 0, 4 * 65536, 0), c = V(0, 20 * 128, 0, 4 * 65536);
    Surface plain(24, 24, 1), jittered(24, 24, 1);
    poly_DrawPolygonTex(&a, &b, &c, plain.base, (uintptr_t)texture.data(), POLY_TEXTURED);
    poly_DrawPolygonTex(&a, &b, &c, jittered.base, (uintptr_t)texture.data(), POLY_TEXTURED | POLY_JITTER);
    EXPECT_EQ(plain.Pixels(), jittered.Pixels());
    // Magnified, the jitter does change the picture.
    PolyVertex d = V(0, 0, 0, 0), e = V(20 * 128, 0, 6000, 0), f = V(0, 20 * 128, 0, 6000);
    plain.Fill(0);
    jittered.Fill(0);
    poly_DrawPolygonTex(&d, &e, &f, plain.base, (uintptr_t)texture.data(), POLY_TEXTURED);
    poly_DrawPolygonTex(&d, &e, &f, jittered.base, (uintptr_t)texture.data(), POLY_TEXTURED | POLY_JITTER);
    EXPECT_NE(plain.Pixels(), jittered.Pixels());
}

// With su = 7 the jitter is centred (bias 256, half a texel) and spans one
// texel at level offset 0; at level offset 1 the bias is 512 and it spans
// two. A constant u halfway across texel 10 shows the difference.
TEST_F(Rast, LevelOffsetWidensTheJitter) {
    std::vector<uint8_t> texture(128 * 128);
    for (size_t i = 0; i < texture.size(); i++) texture[i] = (uint8_t)(i & 127);  // the column number
    poly_SetPixelMode(POLY_MODE_8);
    const int32_t u = 10 * 512 + 256, v = 40 * 512 + 256;
    PolyVertex a = V(0, 0, u, v), b = V(32 * 128, 0, u, v), c = V(0, 32 * 128, u, v);
    auto columns = [&](int32_t levelOffset) {
        Surface s(32, 32, 1);
        poly_SpanState.levelOffset = levelOffset;
        poly_DrawPolygonTex(&a, &b, &c, s.base, (uintptr_t)texture.data(), POLY_TEXTURED | POLY_JITTER);
        std::set<uint32_t> seen;
        for (int y = 0; y < 30; y++)
            for (int x = 0; x + y < 30; x++) seen.insert(s.Get(x, y));
        return seen;
    };
    EXPECT_EQ(columns(0), (std::set<uint32_t>{10}));
    EXPECT_EQ(columns(1), (std::set<uint32_t>{9, 10, 11}));
}

TEST_F(Rast, PixelModes) {
    Surface s(16, 16, 1);
    PolyVertex a = V(0, 0), b = V(1000, 0), c = V(0, 1000);
    poly_SetPixelMode(POLY_MODE_8);
    poly_SpanState.jitter = 77;
    poly_SpanState.levelOffset = 2;
    // Mode 4 keeps the table in force and only clears the state.
    poly_SetPixelMode(4);
    EXPECT_EQ(poly_PixelMode, POLY_MODE_8);
    EXPECT_EQ(poly_SpanState.jitter, 0u);
    EXPECT_EQ(poly_SpanState.levelOffset, 0);
    poly_DrawPolygon(&a, &b, &c, s.base, 5);
    EXPECT_EQ(s.Get(1, 1), 5u);

    const int32_t savedBits = vid_State.bitsPerPixel;
    const struct {
        int32_t bits, mmx, mode;
    } cases[] = {{8, 0, 1}, {8, 1, 2}, {16, 0, 3}, {16, 1, 3}, {32, 1, 5}, {32, 0, 5}};
    for (const auto& k : cases) {
        vid_State.bitsPerPixel = k.bits;
        EXPECT_EQ(poly_SelectPixelMode(k.mmx), k.mode);
        EXPECT_EQ(poly_PixelMode, k.mode);
    }
    vid_State.bitsPerPixel = savedBits;
}

TEST_F(Rast, RandomGenerator) {
    poly_RandomSeed = 0x2B0749C1u;
    const uint32_t s = 0x2B0749C1u;
    const uint32_t r11 = (s << 11) | (s >> 21);
    const uint32_t sum = r11 + s;
    const uint32_t expect = (sum << 3) | (sum >> 29);
    EXPECT_EQ(poly_NextRandom(), expect);
    EXPECT_EQ(poly_RandomSeed, expect);
}

}  // namespace

namespace {

// Descriptors the rasteriser must not trust blindly: a row pitch narrower
// than the width (the clip is cut to the pixels a row holds), and a pitch
// and base that are not multiples of the pixel size (a card's frame), where
// every pixel is still written whole and in place.
TEST_F(Rast, OddDescriptorsStayInsideTheirRows) {
    const struct {
        int32_t mode, bpp;
    } modes[] = {{POLY_MODE_8, 1}, {POLY_MODE_16, 2}, {POLY_MODE_32, 4}};
    std::vector<uint16_t> shade16(64 * 256, 0x1234);
    pal_DrawTables.shade16 = shade16.data();
    const std::vector<uint32_t> pal16(256, 0xBEEF);
    for (auto [mode, bpp] : modes) {
        SCOPED_TRACE(testing::Message() << "mode " << mode);
        poly_SetPixelMode(mode);
        pal_DrawTables.master = mode == POLY_MODE_16 ? (const void*)pal16.data() : nullptr;
        PolyVertex a = V(-4000, -4000), b = V(9000, -4000), c = V(-4000, 9000), d = V(9000, 9000);

        // 12 pixels wide, rows only 7 pixels apart: columns 7 and up would
        // spill into the next row and past the buffer's end.
        Surface narrow(12, 8, bpp);
        narrow.desc.bytesPerRow = 7 * bpp;
        narrow.Select();
        poly_DrawPolygon(&a, &b, &c, narrow.base, 0x77);
        poly_DrawPolygon(&b, &d, &c, narrow.base, 0x77);
        EXPECT_TRUE(narrow.GuardsIntact());
        for (int i = 7 * 8 * bpp; i < 12 * 8 * bpp; i++) ASSERT_EQ(narrow.base[i], 0) << i;

        // 9 pixels wide on rows 9 x bpp + 1 bytes apart, from an odd address.
        Surface odd(10, 8, bpp);
        const int pitch = 9 * bpp + 1;
        draw_InitSurfaceDesc(&odd.desc, odd.base + 1, 9, 8, bpp);
        odd.desc.bytesPerRow = pitch;
        odd.Select();
        poly_DrawPolygon(&a, &b, &c, odd.base + 1, 0x77);
        poly_DrawPolygon(&b, &d, &c, odd.base + 1, 0x77);
        EXPECT_TRUE(odd.GuardsIntact());
        for (int y = 0; y < 8; y++)
            for (int x = 0; x < 9; x++) {
                uint32_t v = 0;
                memcpy(&v, odd.base + 1 + y * pitch + x * bpp, (size_t)bpp);
                ASSERT_NE(v, 0u) << x << "," << y;
            }
    }
}

}  // namespace
