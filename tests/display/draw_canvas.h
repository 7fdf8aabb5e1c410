// A drawing surface for the 2D primitive tests: a buffer filled with a
// known byte, guard bytes before and after it, and helpers that tell which
// pixels changed and whether anything outside the clip rectangle did.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "display/dsurf.h"

constexpr uint8_t kCanvasFill = 0xA5;

struct Canvas {
    static constexpr int kGuard = 256;
    int w, h, bpp, rowBytes;
    std::vector<uint8_t> mem;
    _DRAW_SURFACE desc;
    int cx1, cy1, cx2, cy2;  // the clip rectangle selected

    // padBytes widens each row past the surface's pixels (a card's pitch).
    Canvas(int width, int height, int bytesPerPixel, int padBytes = 0)
        : w(width), h(height), bpp(bytesPerPixel), rowBytes(width * bytesPerPixel + padBytes),
          mem((size_t)(2 * kGuard + rowBytes * height), kCanvasFill) {
        draw_InitSurfaceDesc(&desc, base(), w, h, bpp);
        desc.bytesPerRow = rowBytes;
        Clip(0, 0, w, h);
    }
    uint8_t* base() { return mem.data() + kGuard; }
    // Sets the clip of the descriptor and selects it.
    void Clip(int x1, int y1, int x2, int y2) {
        cx1 = x1, cy1 = y1, cx2 = x2, cy2 = y2;
        draw_SetSurfaceClip(&desc, x1, y1, x2, y2);
        draw_SelectSurface(&desc);
    }
    void Clear() { std::fill(mem.begin(), mem.end(), kCanvasFill); }
    uint8_t* at(int x, int y) { return base() + y * rowBytes + x * bpp; }
    uint32_t Get(int x, int y) {
        uint32_t v = 0;
        memcpy(&v, at(x, y), (size_t)bpp);
        return v;
    }
    void Set(int x, int y, uint32_t v) { memcpy(at(x, y), &v, (size_t)bpp); }
    uint32_t Background() const {
        uint32_t v = 0;
        memset(&v, kCanvasFill, (size_t)bpp);
        return v;
    }
    bool Changed(int x, int y) {
        for (int i = 0; i < bpp; i++)
            if (at(x, y)[i] != kCanvasFill) return true;
        return false;
    }
    std::set<std::pair<int, int>> ChangedPixels() {
        std::set<std::pair<int, int>> s;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                if (Changed(x, y)) s.insert({x, y});
        return s;
    }
    int Count() { return (int)ChangedPixels().size(); }
    // Guard bytes, padding and every pixel outside the clip rectangle as
    // they were filled.
    ::testing::AssertionResult OutsideUntouched() {
        for (int i = 0; i < kGuard; i++) {
            if (mem[(size_t)i] != kCanvasFill) return ::testing::AssertionFailure() << "guard before, byte " << i;
            if (mem[mem.size() - 1 - (size_t)i] != kCanvasFill)
                return ::testing::AssertionFailure() << "guard after, byte " << i;
        }
        for (int y = 0; y < h; y++)
            for (int b = 0; b < rowBytes; b++) {
                int x = b / bpp;
                bool inside = x < w && x >= cx1 && x < cx2 && y >= cy1 && y < cy2;
                if (!inside && base()[y * rowBytes + b] != kCanvasFill)
                    return ::testing::AssertionFailure() << "written outside the clip at (" << x << ", " << y << ")";
            }
        return ::testing::AssertionSuccess();
    }
};

// A colour slot with values that tell the depths apart.
inline void SetSlot(int slot, uint8_t index, uint16_t v16, uint32_t v32) {
    DrawColourSlot& s = draw_Context.slots[slot];
    s.handle = (uint8_t)slot;
    s.index = index;
    s.value16 = v16;
    s.value32 = v32;
}
