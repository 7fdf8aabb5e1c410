// The developer pages' tests: every overlay line captured as text with its
// pixel position and colour, a 320 x 240 surface with the data set's small
// font scanned in memory, and the client and server state the pages read,
// put back after each test.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "debug/dbgoverlay.h"
#include "display/dsurf.h"
#include "display/font.h"
#include "display/hw3d.h"
#include "fixtures/heaps.h"
#include "mkdata.h"
#include "net/client.h"
#include "net/server.h"
#include "world/level.h"

struct PageLine {
    int32_t x, y, colour;
    std::string text;
};

class PageTest : public ::testing::Test {
protected:
    static inline std::vector<PageLine> lines;
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> fontImage;
    BitmapFont font{};
    _DRAW_SURFACE savedSurface{};
    DrawContext savedContext{};
    std::vector<uint8_t> shades = std::vector<uint8_t>(8192);

    static void Tap(int32_t x, int32_t y, int32_t colour, const char* text) { lines.push_back({x, y, colour, text}); }

    void SetUp() override {
        ASSERT_EQ(test_HeapsFresh(1u << 20, 0x1000, 0x1000), 0);
        lines.clear();
        dbg_LineTap = Tap;
        savedSurface = draw_CurrentSurface;
        savedContext = draw_Context;
        // Every entry of shade level L is L + 1.
        for (size_t i = 0; i < shades.size(); i++) shades[i] = (uint8_t)((i >> 8) + 1);
        draw_Context.shadeTable = shades.data();
        Surface(320, 240);
        for (int32_t i = 0; i < DRAW_COLOUR_SLOTS; i++)
            draw_Context.slots[i] = DrawColourSlot{(uint8_t)i, (uint8_t)(100 + i), 0, 0};
        int32_t w = 0, h = 0;
        fontImage = mkdata_FontImage(8, false, &w, &h);
        font = BitmapFont{};
        font.image = fontImage.data();
        font.width = w;
        font.height = h;
        ASSERT_EQ(font_ScanGrid(&font), 0);
        level_Fonts[0] = level_Fonts[1] = &font;
        hw3d_Active = 0;
    }
    void TearDown() override {
        dbg_LineTap = nullptr;
        level_Fonts[0] = level_Fonts[1] = nullptr;
        draw_CurrentSurface = savedSurface;
        draw_Context = savedContext;
        Client_PlayerObject = nullptr;
        Server.objects = nullptr;
        level_Mission = nullptr;
    }
    static constexpr uint8_t kBack = 0x40;
    void Surface(int32_t width, int32_t height, int32_t bytes = 1) {
        pixels.assign((size_t)width * height * bytes, kBack);
        _DRAW_SURFACE s;
        draw_InitSurfaceDesc(&s, pixels.data(), width, height, bytes);
        draw_SelectSurface(&s);
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const PageLine& l : lines) t.push_back(l.text);
        return t;
    }
    bool Has(const std::string& text) const {
        for (const PageLine& l : lines)
            if (l.text == text) return true;
        return false;
    }
    const PageLine* Find(const std::string& prefix) const {
        for (const PageLine& l : lines)
            if (l.text.compare(0, prefix.size(), prefix) == 0) return &l;
        return nullptr;
    }
    // FNV-1a of the frame, for the stored images.
    uint64_t Hash() const {
        uint64_t h = 0xCBF29CE484222325ull;
        for (uint8_t b : pixels) {
            h ^= b;
            h *= 0x100000001B3ull;
        }
        return h;
    }
    // A page's stored image: the hash of what `draw` leaves on the surface.
    struct StoredImage {
        const char* name;
        void (*draw)(void);
        uint64_t hash;
    };
    // Draws each page on a fresh 320 x 240 surface, `before` run first and
    // `check` after the drawing, and compares the frame with the page's
    // stored image. A change meant to alter a page prints its new hash.
    void CheckStoredImages(std::initializer_list<StoredImage> pages, const std::function<void()>& before = {},
                           const std::function<void(const StoredImage&)>& check = {}) {
        for (const StoredImage& k : pages) {
            Surface(320, 240);
            if (before) before();
            k.draw();
            if (check) check(k);
            EXPECT_EQ(Hash(), k.hash) << k.name << ": 0x" << std::hex << Hash();
        }
    }
};
