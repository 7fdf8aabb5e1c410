// Drawing surface descriptors and the draw context.
#include <gtest/gtest.h>

#include <cstring>

#include "display/dsurf.h"
#include "display/pal.h"
#include "display/pal_hicolor.h"
#include "display/vid.h"

namespace {

TEST(Dsurf, DescriptorOfA640x480Buffer) {
    static uint8_t pixels[640 * 480];
    _DRAW_SURFACE d;
    memset(&d, 0x5A, sizeof d);
    draw_InitSurfaceDesc(&d, pixels, 640, 480, 1);
    EXPECT_EQ(d.base, pixels);
    EXPECT_EQ(d.size, 640 * 480);
    EXPECT_EQ(d.xScale, 512);
    EXPECT_EQ(d.centreXF, 40960);
    EXPECT_EQ(d.centreYF, 30720);
    EXPECT_EQ(d.widthScale, 131072);
    EXPECT_EQ(d.bytesPerRow, 640);
    EXPECT_EQ(d.bitsPerPixel, 8);
    EXPECT_EQ(d.clipX1, 0);
    EXPECT_EQ(d.clipX2, 640);
    EXPECT_EQ(d.clipY2, 480);
    EXPECT_EQ(d.clipX2F, 640 * 128);
    EXPECT_EQ(d.clipY2F, 480 * 128);
    EXPECT_EQ(d.viewX, 0);
    EXPECT_EQ(d.hw3d, 0);
    EXPECT_EQ(d.lockMask, 0);

    draw_InitSurfaceDesc(&d, nullptr, 1, 1, 4);
    EXPECT_EQ(d.xScale, 0);
    EXPECT_EQ(d.widthScale, 204);
    EXPECT_EQ(d.bitsPerPixel, 32);
    EXPECT_EQ(d.bytesPerRow, 4);
}

TEST(Dsurf, ClipRectangles) {
    _DRAW_SURFACE d;
    draw_InitSurfaceDesc(&d, nullptr, 640, 480, 2);
    // Both forms of a descriptor's clip; the centre stays.
    EXPECT_EQ(draw_SetSurfaceClip(&d, 10, 20, 330, 220), &d);
    EXPECT_EQ(d.clipX1F, 1280);
    EXPECT_EQ(d.clipY1F, 2560);
    EXPECT_EQ(d.clipX2F, 330 * 128);
    EXPECT_EQ(d.clipY2, 220);
    EXPECT_EQ(d.centreXF, 40960);

    // The current surface is a copy: its clip words change alone.
    draw_SelectSurface(&d);
    draw_SetClipRect(1, 2, 3, 4);
    EXPECT_EQ(draw_CurrentSurface.clipX1, 1);
    EXPECT_EQ(draw_CurrentSurface.clipY2, 4);
    EXPECT_EQ(draw_CurrentSurface.clipX1F, 1280);
    EXPECT_EQ(draw_CurrentSurface.centreXF, 40960);
    EXPECT_EQ(d.clipX1, 10);

    draw_SetSurfaceClip(&d, 100, 0, 420, 240);
    draw_CentreSurface(&d);
    EXPECT_EQ(d.xScale, 256);
    EXPECT_EQ(d.centreXF, 20480);
    EXPECT_EQ(d.centreYF, 15360);

    _DRAW_SURFACE* slot = nullptr;
    EXPECT_EQ(draw_StoreSurfacePtr(&slot, &d), &d);
    EXPECT_EQ(slot, &d);
}

TEST(Dsurf, InitSetsWhiteWorkSurfaceAndSineTable) {
    draw_WorkBuffer[100] = 7;
    draw_Init();
    const DrawColourSlot& white = draw_Context.slots[15];
    EXPECT_EQ(white.handle, 15);
    EXPECT_EQ(white.index, 255);
    EXPECT_EQ(white.value16, 0xFFFF);
    EXPECT_EQ(white.value32, 0xFFFFFFFFu);
    EXPECT_EQ(draw_Context.inv128, 0.0078125f);
    EXPECT_EQ(draw_WorkBuffer[100], 0);
    EXPECT_EQ(draw_WorkSurface.base, draw_WorkBuffer);
    EXPECT_EQ(draw_WorkSurface.size, 32768);
    EXPECT_EQ(draw_WorkSurface.bytesPerRow, 1024);
    EXPECT_EQ(draw_WorkSurface.clipX2, 1024);
    EXPECT_EQ(draw_WorkSurface.clipY2, 32);
    EXPECT_EQ(draw_WorkSurface.centreXF, 0);
    EXPECT_EQ(draw_WorkSurface.xScale, 0);
    EXPECT_EQ(draw_SineTable[128], 1.0f);
    EXPECT_EQ(draw_SineTable[0], 0.0f);
    EXPECT_EQ(draw_SineTable[256], 0.0f);
    EXPECT_EQ(draw_SineTable[640], draw_SineTable[128]);
    EXPECT_NEAR(draw_SineTable[64], 0.70710678f, 1e-6f);
    EXPECT_EQ(draw_SineTable[384 + 512], -1.0f);
}

TEST(Dsurf, ColourSlotKeepsTheValuesOfItsTime) {
    draw_Init();
    DrawColourSlot before = draw_Context.slots[4];
    vid_State.redMask = 0xF800;
    vid_State.greenMask = 0x07E0;
    vid_State.blueMask = 0x001F;
    pal_DeriveSurfaceMasks();
    uint16_t v = draw_SetColourSlot(3, 255, 128, 0);
    const DrawColourSlot& s = draw_Context.slots[3];
    EXPECT_EQ(s.handle, 3);
    EXPECT_EQ(s.value32, 0x00FF8000u);
    EXPECT_EQ(s.value16, v);
    EXPECT_EQ(v, 0xFC00);  // 5-6-5: top bits of each channel
    EXPECT_EQ(memcmp(&draw_Context.slots[4], &before, sizeof before), 0);
    EXPECT_EQ(draw_Context.slots[15].value32, 0xFFFFFFFFu);
    // Out of range: nothing stored.
    EXPECT_EQ(draw_SetColourSlot(32, 1, 2, 3), 0);
    EXPECT_EQ(draw_SetColourSlot(-1, 1, 2, 3), 0);
}

}  // namespace
