// The rasteriser's goal scene, shared by its benchmark and its golden-image
// test: a 640 x 480 frame covered exactly three times by a jittered mesh of
// about 2,000 triangles (three layers of 21 x 16 quads, corners moved by up
// to a fifth of a cell in 1/128 pixel, the diagonal of each quad chosen at
// random), with 128 x 128 texture coordinates at about a texel a pixel and a
// shade that varies from corner to corner. The golden test keeps the hashes
// of these frames: changing anything here changes them.
#pragma once
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "display/dsurf.h"
#include "display/pal.h"
#include "display/rast.h"

namespace raster_scene {

constexpr int kWidth = 640, kHeight = 480;
constexpr int kLayers = 3, kCols = 21, kRows = 16;

struct Tri {
    PolyVertex a, b, c;  // clockwise on the screen
    uint32_t colour;     // the flat colour: a palette index, at 32 bits 0x00RRGGBB
};

inline uint32_t Next(uint32_t& x) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return x;
}

// Every pixel's top-left corner lies strictly inside exactly one triangle of
// each layer or on an edge that only one of them draws: the frame is drawn
// exactly kLayers times, and nothing is clipped.
inline const std::vector<Tri>& Mesh() {
    static std::vector<Tri> tris;
    if (!tris.empty()) return tris;
    uint32_t seed = 0x9E3779B9u;
    const int32_t cellW = kWidth * 128 / kCols, cellH = kHeight * 128 / kRows;
    for (int layer = 0; layer < kLayers; layer++) {
        std::vector<PolyVertex> grid((size_t)(kCols + 1) * (kRows + 1));
        for (int j = 0; j <= kRows; j++) {
            for (int i = 0; i <= kCols; i++) {
                int32_t x = (int32_t)((int64_t)i * kWidth * 128 / kCols);
                int32_t y = (int32_t)((int64_t)j * kHeight * 128 / kRows);
                const uint32_t rx = Next(seed), ry = Next(seed);
                // Corners on the frame's border move along it only.
                if (i > 0 && i < kCols) x += (int32_t)(rx % (uint32_t)(2 * cellW / 5 + 1)) - cellW / 5;
                if (j > 0 && j < kRows) y += (int32_t)(ry % (uint32_t)(2 * cellH / 5 + 1)) - cellH / 5;
                // u, v in 1/65536 of the texture: about a texel a pixel, each
                // layer mapped at another angle and scale.
                int32_t u, v;
                if (layer == 0) {
                    u = 4 * x;
                    v = 4 * y;
                } else if (layer == 1) {
                    u = 3 * x + 2 * y + 12345;
                    v = -2 * x + 3 * y + 70000;
                } else {
                    u = 5 * x - y - 33333;
                    v = x + 5 * y;
                }
                const uint32_t level = 4 + Next(seed) % 24, fraction = Next(seed) & 0xFF;
                grid[(size_t)j * (kCols + 1) + i] = PolyVertex{x, y, u, v, level << 16 | fraction << 8};
            }
        }
        for (int j = 0; j < kRows; j++) {
            for (int i = 0; i < kCols; i++) {
                const PolyVertex& tl = grid[(size_t)j * (kCols + 1) + i];
                const PolyVertex& tr = grid[(size_t)j * (kCols + 1) + i + 1];
                const PolyVertex& bl = grid[(size_t)(j + 1) * (kCols + 1) + i];
                const PolyVertex& br = grid[(size_t)(j + 1) * (kCols + 1) + i + 1];
                const uint32_t c0 = Next(seed), c1 = Next(seed);
                if (Next(seed) & 1) {
                    tris.push_back({tl, tr, br, c0 & 0xFFFFFF});
                    tris.push_back({tl, br, bl, c1 & 0xFFFFFF});
                } else {
                    tris.push_back({tl, tr, bl, c0 & 0xFFFFFF});
                    tris.push_back({tr, br, bl, c1 & 0xFFFFFF});
                }
            }
        }
    }
    return tris;
}

// The tables the loops read: a 128 x 128 texture, the 8-bit shade table,
// the 16-bit palette pixels and light table, and the 32-bit master table.
struct Tables {
    std::vector<uint8_t> texture = std::vector<uint8_t>(128 * 128);
    std::vector<uint8_t> shade = std::vector<uint8_t>(32 * 256);
    std::vector<uint32_t> pal16 = std::vector<uint32_t>(256);
    std::vector<uint16_t> shade16 = std::vector<uint16_t>(64 * 256);
    std::vector<int16_t> master32 = std::vector<int16_t>(256 * 4);
    Tables() {
        for (size_t i = 0; i < texture.size(); i++) texture[i] = (uint8_t)(i * 7 + (i >> 7) * 13);
        for (size_t i = 0; i < shade.size(); i++) shade[i] = (uint8_t)(i * 3 + (i >> 8));
        for (size_t i = 0; i < pal16.size(); i++) pal16[i] = (uint32_t)(i * 0x0101);
        for (size_t i = 0; i < shade16.size(); i++) shade16[i] = (uint16_t)(i * 5);
        for (int i = 0; i < 256; i++)
            for (int c = 0; c < 4; c++) master32[i * 4 + c] = (int16_t)(c < 3 ? ((i * (c + 3)) & 255) << 7 : 0);
    }
};

enum Kind { kFlat, kShaded, kTextured, kTexturedShaded };
inline const char* KindName(int kind) {
    static const char* const kNames[] = {"flat", "shaded", "textured", "textured_shaded"};
    return kNames[kind];
}

// Selects the surface, the pixel mode, the tables and the render flags for
// one kind of frame at 8, 16 or 32 bits.
inline void Select(int kind, int bits, const Tables& t, _DRAW_SURFACE* desc, uint8_t* pixels) {
    const int bytes = bits / 8;
    draw_InitSurfaceDesc(desc, pixels, kWidth, kHeight, bytes);
    draw_SelectSurface(desc);
    poly_SetPixelMode(bits == 32 ? POLY_MODE_32 : bits == 16 ? POLY_MODE_16 : POLY_MODE_8);
    poly_SpanState.shadeTable = t.shade.data();
    poly_SpanState.shadeRows = 32;
    poly_SpanState.textureShiftU = poly_SpanState.textureShiftV = 7;
    poly_SpanState.reverseWinding = 0;
    poly_SpanState.dither = 0;
    pal_DrawTables.master = bits == 32 ? (const void*)t.master32.data() : (const void*)t.pal16.data();
    pal_DrawTables.shade16 = t.shade16.data();
    const bool textured = kind == kTextured || kind == kTexturedShaded;
    const bool shaded = kind == kShaded || kind == kTexturedShaded;
    poly_SpanState.renderFlags = (textured ? POLY_TEXTURED : 0u) | (shaded ? POLY_GOURAUD : 0u);
}

// One frame: every triangle of the mesh.
inline void Draw(int kind, const Tables& t, uint8_t* pixels) {
    const bool textured = kind == kTextured || kind == kTexturedShaded;
    for (const Tri& tri : Mesh())
        poly_DrawPolygon(&tri.a, &tri.b, &tri.c, pixels, textured ? (uintptr_t)t.texture.data() : tri.colour);
}

}  // namespace raster_scene
