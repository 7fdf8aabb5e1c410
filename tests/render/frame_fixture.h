// The frame composition's tests: a 640 x 480 headless display at 8 or 16
// bits in a test folder of its own, colour tables that keep every colour
// index apart (and off black), the sample terrain and a camera over it.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "base/file.h"
#include "base/mem.h"
#include "cockpit/tacmap.h"
#include "display/otw.h"
#include "display/pal.h"
#include "display/pal_hicolor.h"
#include "display/rast.h"
#include "display/vid.h"
#include "fixtures/headless.h"
#include "fixtures/workdir.h"
#include "platform/display.h"
#include "render/render.h"
#include "render/sky.h"
#include "render/view.h"
#include "shell/settings.h"
#include "sim/obj.h"
#include "terrain_write.h"
#include "world/level.h"
#include "world/terrain.h"
#include "world/terrain_draw.h"

struct SampleTerrain {
    MkTerrain t;
    MkTerrainLevel level;
    SampleTerrain() {
        mkdata_TerrainMake(&t);
        depth_Level = DepthLevel{};
        mkdata_TerrainInstall(t, &level);
    }
    ~SampleTerrain() {
        depth_Level = DepthLevel{};
        depth_Level.heightMap = depth_FlatHeights();
        depth_Level.waterMap = depth_DryWater();
    }
};

class FrameTest : public ::testing::Test {
protected:
    TestWorkDir work;
    std::vector<uint8_t> shades;
    std::vector<uint32_t> pal16;
    std::vector<uint16_t> shade16;

    void SetUp() override {
        ASSERT_EQ(test_HeadlessStart(), 0);
        mem_HeapSizesSet(0x1000000, 0x100000, 0x100000);
        ASSERT_EQ(mem_HeapInit(), 0);
        ASSERT_EQ(mem_Heap1Init(), 0);
        ASSERT_EQ(mem_Heap2Init(), 0);
        file_StateInit();
        ASSERT_TRUE(work.Enter("krx_frame"));
        // 8 bits: row r maps i to i; 16 bits: a pixel is 0x8000 | i (never black).
        shades.resize(32 * 256);
        for (size_t i = 0; i < shades.size(); i++) shades[i] = (uint8_t)(i & 0xFF);
        pal16.resize(256);
        for (uint32_t i = 0; i < 256; i++) pal16[i] = 0x8000u | i;
        shade16.resize(64 * 256);
        for (size_t i = 0; i < shade16.size(); i++) shade16[i] = (uint16_t)(0x8000u | (i & 0xFF));
        level_ShadeTable = shades.data();
        app_Settings.TEXTURE_DISTANCE = 26;
        ViewFlags = 0;
        view_Words = ViewStateWords{};
        ViewedObject = nullptr;
        render_ScreenStateCurrent = render_ScreenStatePrevious = nullptr;
        render_OneShotAction = 0;
        render_ShakeRequest = 0.0f;
        render_GEffectKind = render_GEffectLevel = 0;
        sky_GlareLevel = 0;
        tacmap_Shown = 0;
    }
    void TearDown() override {
        otw_CloseDisplay();
        draw_SelectSurface(nullptr);
        pal_DrawTables = PalDrawTables{};
        level_ShadeTable = nullptr;
        ViewedObject = nullptr;
        ViewFlags = 0;
        poly_SetPixelMode(0);
        work.Leave();
        plat_Shutdown();
    }

    void Open(int32_t bytes) {
        ASSERT_EQ(otw_OpenDisplay(640, 480, bytes, 0, 0), 0);
        poly_SetPixelMode(bytes == 1 ? POLY_MODE_8 : POLY_MODE_16);
        if (bytes == 1) {
            // A grey ramp: index i shows as (i, i, i).
            uint8_t grey[768];
            for (int32_t i = 0; i < 256; i++) grey[i * 3] = grey[i * 3 + 1] = grey[i * 3 + 2] = (uint8_t)i;
            vid_SetPalette(grey);
        } else {
            // The pixel format of the tints; then the fixture's own tables.
            pal_BuildHighColourTables();
            pal_DrawTables.master = pal16.data();
            pal_DrawTables.shade16 = shade16.data();
        }
    }
    // The camera at the object, looking along its heading.
    static void Camera(const ObjectRecord& o) {
        view_State.position = o.position;
        view_State.angles = FixAngles{o.angles.heading, 0, 0};
        fix_SinCosAngles(-o.angles.heading, 0, 0, &view_State.viewMatrix);
    }
    static std::vector<uint32_t> LastFrame() {
        int32_t w = 0, h = 0;
        const uint32_t* f = plat_DisplayLastFrame(&w, &h);
        return f ? std::vector<uint32_t>(f, f + (size_t)w * h) : std::vector<uint32_t>{};
    }
    // Lit pixels of the presented frame in the upper and the lower half.
    static void Halves(const std::vector<uint32_t>& f, int64_t* upper, int64_t* lower) {
        *upper = *lower = 0;
        for (int32_t y = 0; y < 480; y++)
            for (int32_t x = 0; x < 640; x++) ((y >= 240) ? *lower : *upper) += (f[(size_t)y * 640 + x] & 0xFFFFFF) != 0;
    }
    // Fills the locked screen with one pixel value.
    static void FillScreen(uint32_t value) {
        ASSERT_NE(otw_LockSurface(), nullptr);
        render_FrameBufferFill(value);
    }
    static uint32_t ScreenAt(int32_t x, int32_t y) {
        const _DRAW_SURFACE& s = otw_ScreenSurface;
        uint32_t v = 0;
        memcpy(&v, s.base + (size_t)y * (size_t)s.bytesPerRow + (size_t)x * (size_t)s.bytesPerPixel,
               (size_t)s.bytesPerPixel);
        return v;
    }
};
