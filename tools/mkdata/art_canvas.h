// A small 8-bit drawing surface for the builder's cockpit art.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

struct MkCanvas {
    int32_t w, h;
    std::vector<uint8_t> px;
    MkCanvas(int32_t width, int32_t height, uint8_t fill) : w(width), h(height), px((size_t)width * height, fill) {}
    void Set(int32_t x, int32_t y, uint8_t c) {
        if (x >= 0 && y >= 0 && x < w && y < h) px[(size_t)y * w + x] = c;
    }
    void Rect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t c) {
        for (int32_t y = y0; y <= y1; y++)
            for (int32_t x = x0; x <= x1; x++) Set(x, y, c);
    }
    void Frame(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t c) {
        Rect(x0, y0, x1, y0, c);
        Rect(x0, y1, x1, y1, c);
        Rect(x0, y0, x0, y1, c);
        Rect(x1, y0, x1, y1, c);
    }
    void Disc(float cx, float cy, float r, uint8_t c) {
        for (int32_t y = 0; y < h; y++)
            for (int32_t x = 0; x < w; x++)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) Set(x, y, c);
    }
    void Ring(float cx, float cy, float r, float width, uint8_t c) {
        for (int32_t y = 0; y < h; y++)
            for (int32_t x = 0; x < w; x++) {
                const float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
                if (d <= r && d > r - width) Set(x, y, c);
            }
    }
    void Line(float x0, float y0, float x1, float y1, uint8_t c) {
        const int32_t n = (int32_t)std::max(std::fabs(x1 - x0), std::fabs(y1 - y0)) + 1;
        for (int32_t i = 0; i <= n; i++)
            Set((int32_t)std::lround(x0 + (x1 - x0) * i / n), (int32_t)std::lround(y0 + (y1 - y0) * i / n), c);
    }
};
