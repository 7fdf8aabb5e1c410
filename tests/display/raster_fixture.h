// Shared pieces of the rasteriser and span loop tests: surfaces fenced by
// guard bytes, and a fixture that keeps the rasteriser's global state.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "display/dsurf.h"
#include "display/pal.h"
#include "display/pal_hicolor.h"
#include "display/rast.h"

namespace raster_test {

// A surface of w x h pixels with guard bytes on both sides of the buffer.
struct Surface {
    static constexpr int kGuard = 256;
    static constexpr uint8_t kGuardByte = 0xA5;
    int w, h, bpp;
    std::vector<uint8_t> mem;
    uint8_t* base;
    _DRAW_SURFACE desc;

    Surface(int width, int height, int bytesPerPixel) : w(width), h(height), bpp(bytesPerPixel) {
        mem.assign((size_t)w * h * bpp + 2 * kGuard, kGuardByte);
        base = mem.data() + kGuard;
        memset(base, 0, (size_t)w * h * bpp);
        draw_InitSurfaceDesc(&desc, base, w, h, bpp);
        draw_SelectSurface(&desc);
    }
    // Clip rectangle in pixels (x2, y2 exclusive), selected.
    void Clip(int x1, int y1, int x2, int y2) {
        draw_SetSurfaceClip(&desc, x1, y1, x2, y2);
        draw_SelectSurface(&desc);
    }
    void Select() { draw_SelectSurface(&desc); }
    bool GuardsIntact() const {
        for (int i = 0; i < kGuard; i++)
            if (mem[i] != kGuardByte || mem[mem.size() - 1 - i] != kGuardByte) return false;
        return true;
    }
    uint32_t Get(int x, int y) const {
        const uint8_t* p = base + ((size_t)y * w + x) * bpp;
        uint32_t v = 0;
        memcpy(&v, p, bpp);
        return v;
    }
    void Set(int x, int y, uint32_t v) { memcpy(base + ((size_t)y * w + x) * bpp, &v, bpp); }
    void Fill(uint32_t v) {
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) Set(x, y, v);
    }
    std::vector<uint8_t> Pixels() const { return std::vector<uint8_t>(base, base + (size_t)w * h * bpp); }
};

inline PolyVertex V(int32_t x, int32_t y, int32_t u = 0, int32_t v = 0, uint32_t colour = 0) {
    return PolyVertex{x, y, u, v, colour};
}

// Keeps and restores everything the rasteriser reads or writes globally.
class RasterTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedState_ = poly_SpanState;
        savedMode_ = poly_PixelMode;
        savedSurface_ = draw_CurrentSurface;
        savedShadeTable_ = draw_Context.shadeTable;
        savedTables_ = pal_DrawTables;
        savedHc_ = std::make_unique<PalHighColour>(pal_Hc);
        savedSeed_ = poly_RandomSeed;
        savedHaze_ = poly_HazeColour;
        poly_SpanState.renderFlags = 0;
        poly_SpanState.reverseWinding = 0;
        poly_SpanState.textureShiftU = poly_SpanState.textureShiftV = 7;
        poly_SpanState.dither = 0;
        poly_SpanState.shadeTable = nullptr;
        poly_SpanState.shadeRows = 32;
        poly_SpanState.blendTable = nullptr;
    }
    void TearDown() override {
        poly_SetPixelMode(savedMode_);
        poly_SpanState = savedState_;
        draw_CurrentSurface = savedSurface_;
        draw_Context.shadeTable = savedShadeTable_;
        pal_DrawTables = savedTables_;
        pal_Hc = *savedHc_;
        poly_RandomSeed = savedSeed_;
        poly_HazeColour = savedHaze_;
    }

private:
    PolySpanState savedState_;
    int32_t savedMode_;
    _DRAW_SURFACE savedSurface_;
    uint8_t* savedShadeTable_;
    PalDrawTables savedTables_;
    std::unique_ptr<PalHighColour> savedHc_;
    uint32_t savedSeed_, savedHaze_;
};

}  // namespace raster_test
