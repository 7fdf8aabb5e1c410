// Fill rate of the software rasteriser at 640 x 480: flat, Gouraud-shaded,
// textured and textured-shaded triangles, in 8 and 16 bits. The triangles
// are a fixed pseudo-random set of the sizes the world renderer draws
// (a few to a few thousand pixels); items are pixels.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "display/dsurf.h"
#include "display/pal.h"
#include "display/rast.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

struct Tri {
    PolyVertex a, b, c;
};

// Clockwise corners in 1/128 pixel, with u, v and a shade that vary.
const std::vector<Tri>& Triangles() {
    static std::vector<Tri> tris;
    if (!tris.empty()) return tris;
    uint32_t x = 0x9E3779B9u;
    auto next = [&x](uint32_t range) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return (int32_t)(x % range);
    };
    while (tris.size() < 2000) {
        const int32_t cx = next(kWidth * 128), cy = next(kHeight * 128), r = 3 * 128 + next(60 * 128);
        PolyVertex p[3];
        for (PolyVertex& v : p) {
            v.x = cx + next(2 * r) - r;
            v.y = cy + next(2 * r) - r;
            v.u = next(4 * 65536);
            v.v = next(4 * 65536);
            v.colour = (uint32_t)(4 + next(24)) << 16 | (uint32_t)next(256) << 8;
        }
        int64_t cross = (int64_t)(p[1].x - p[0].x) * (p[2].y - p[0].y) - (int64_t)(p[1].y - p[0].y) * (p[2].x - p[0].x);
        if (cross == 0) continue;
        if (cross < 0) std::swap(p[1], p[2]);
        tris.push_back({p[0], p[1], p[2]});
    }
    return tris;
}

// Pixels the set covers (half the cross product, summed: close enough for
// a rate).
double Area() {
    double sum = 0;
    for (const Tri& t : Triangles()) {
        double cross = (double)(t.b.x - t.a.x) * (t.c.y - t.a.y) - (double)(t.b.y - t.a.y) * (t.c.x - t.a.x);
        sum += cross / 2 / (128.0 * 128.0);
    }
    return sum;
}

struct Tables {
    std::vector<uint8_t> texture = std::vector<uint8_t>(128 * 128);
    std::vector<uint8_t> shade = std::vector<uint8_t>(32 * 256);
    std::vector<uint32_t> pal16 = std::vector<uint32_t>(256);
    std::vector<uint16_t> shade16 = std::vector<uint16_t>(64 * 256);
    Tables() {
        for (size_t i = 0; i < texture.size(); i++) texture[i] = (uint8_t)(i * 7 + (i >> 7) * 13);
        for (size_t i = 0; i < shade.size(); i++) shade[i] = (uint8_t)(i * 3);
        for (size_t i = 0; i < pal16.size(); i++) pal16[i] = (uint32_t)(i * 0x0101);
        for (size_t i = 0; i < shade16.size(); i++) shade16[i] = (uint16_t)(i * 5);
    }
};

enum Kind { kFlat, kShaded, kTextured, kTexturedShaded };

void BM_Fill(benchmark::State& state) {
    const Kind kind = (Kind)state.range(0);
    const int bytes = (int)state.range(1) / 8;
    static Tables tables;
    std::vector<uint8_t> pixels((size_t)kWidth * kHeight * bytes);
    _DRAW_SURFACE desc;
    draw_InitSurfaceDesc(&desc, pixels.data(), kWidth, kHeight, bytes);
    draw_SelectSurface(&desc);
    poly_SetPixelMode(bytes == 2 ? POLY_MODE_16 : POLY_MODE_8);
    poly_SpanState.shadeTable = tables.shade.data();
    poly_SpanState.shadeRows = 32;
    poly_SpanState.textureShiftU = poly_SpanState.textureShiftV = 7;
    pal_DrawTables.master = tables.pal16.data();
    pal_DrawTables.shade16 = tables.shade16.data();
    const bool textured = kind == kTextured || kind == kTexturedShaded;
    const bool shaded = kind == kShaded || kind == kTexturedShaded;
    poly_SpanState.renderFlags = (textured ? POLY_TEXTURED : 0u) | (shaded ? POLY_GOURAUD : 0u);
    const uintptr_t arg = textured ? (uintptr_t)tables.texture.data() : 0x37;
    const std::vector<Tri>& tris = Triangles();
    for (auto _ : state) {
        for (const Tri& t : tris) poly_DrawPolygon(&t.a, &t.b, &t.c, pixels.data(), arg);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed((int64_t)(state.iterations() * Area()));
    state.counters["triangles/s"] =
        benchmark::Counter((double)tris.size() * (double)state.iterations(), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_Fill)
    ->ArgNames({"kind", "bits"})
    ->ArgsProduct({{kFlat, kShaded, kTextured, kTexturedShaded}, {8, 16}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
