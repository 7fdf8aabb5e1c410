// Fresh heaps, file layer, palette state and working folder for the palette
// and image tests.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/file.h"
#include "base/mem.h"
#include "display/pal.h"
#include "display/pal_hicolor.h"
#include "display/vid.h"
#include "fixtures/heaps.h"
#include "fixtures/workdir.h"

class ImageEnv : public ::testing::Test {
protected:
    TestWorkDir work;

    void SetUp() override {
        setenv("KRX_PLATFORM", "headless", 0);
        file_StateInit();
        ASSERT_EQ(test_HeapsFresh(0x400000, 0x10000, 0x10000), 0);
        pal_ClearCurrent();
        pal_ClearSecond();
        pal_ResetPalrefs();
        pal_DrawTables = PalDrawTables{};
        vid_State.bitsPerPixel = 8;
        vid_State.redMask = vid_State.greenMask = vid_State.blueMask = 0;
        ASSERT_TRUE(work.Enter("krx_image"));
    }
    void TearDown() override {
        pal_ResetPalrefs();
        pal_ClearCurrent();
        vid_State.bitsPerPixel = 8;
        file_StateInit();
        work.Leave();
    }

    static void Write(const std::string& name, const std::vector<uint8_t>& bytes) { test_WriteFile(name, bytes); }
    static std::vector<uint8_t> Read(const std::string& name) { return test_ReadFile(name); }
    static void Set565() {
        vid_State.bitsPerPixel = 16;
        vid_State.redMask = 0xF800;
        vid_State.greenMask = 0x07E0;
        vid_State.blueMask = 0x001F;
        pal_DeriveSurfaceMasks();
    }
    // A palette whose entries are all different: n -> (n, 255 - n, n * 7).
    static void DistinctPalette(uint8_t* pal) {
        for (int n = 0; n < 256; n++) {
            pal[n * 3] = (uint8_t)n;
            pal[n * 3 + 1] = (uint8_t)(255 - n);
            pal[n * 3 + 2] = (uint8_t)(n * 7);
        }
    }
};
