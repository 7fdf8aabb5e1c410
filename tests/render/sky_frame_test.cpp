// The software flight frame with its sky: over the sample terrain the sky's
// bands fill the upper half and the ground the lower, in 8 and 16 bits.
#include "frame_fixture.h"

namespace {

// A palette whose top 16 entries are blues (the sky's colours match them in
// 8 bits) and greys below.
void SkyPalette(uint8_t* pal) {
    for (int32_t i = 0; i < 256; i++) {
        pal[i * 3] = pal[i * 3 + 1] = pal[i * 3 + 2] = (uint8_t)i;
        if (i >= 240) pal[i * 3] = pal[i * 3 + 1] = 0, pal[i * 3 + 2] = (uint8_t)(100 + (i - 240) * 10);
    }
}

bool SkyPixel(uint32_t rgb) { return (rgb & 0xFFFF00) == 0 && (rgb & 0xFF) != 0; }

TEST_F(FrameTest, SkyAboveTheHorizonGroundBelow) {
    SampleTerrain terrain;
    const SkyRamps ramps = sky_Ramps;
    uint8_t pairs[5][2][3];
    for (int32_t p = 0; p < 5; p++)
        for (int32_t e = 0; e < 2; e++) pairs[p][e][0] = pairs[p][e][1] = 0, pairs[p][e][2] = (uint8_t)(110 + 30 * p + 10 * e);
    memcpy(sky_Pairs, pairs, sizeof pairs);
    for (int32_t bytes : {1, 2}) {
        SCOPED_TRACE(bytes);
        Open(bytes);
        if (bytes == 1) {
            uint8_t pal[768];
            SkyPalette(pal);
            vid_SetPalette(pal);
            pal_SetRange(pal, 0, 256);
        }
        sky_RampsBuild();
        ObjectRecord plane{};
        plane.state = 1;
        plane.position = FixWorldPos{(uint32_t)MK_RUNWAY_CELL_X0 << 23, 0x1000000, (uint32_t)MK_RUNWAY_CELL_Z << 23};
        plane.angles = FixAngles{0x800000, 0, 0};
        ViewedObject = &plane;
        Camera(plane);
        FillScreen(0);
        otw_UnlockSurface();
        render_Frame();
        const std::vector<uint32_t> f = LastFrame();
        ASSERT_EQ(f.size(), 640u * 480u);
        int64_t skyUpper = 0, skyLower = 0, litLower = 0;
        for (int32_t y = 0; y < 480; y++)
            for (int32_t x = 0; x < 640; x++) {
                const uint32_t c = f[(size_t)y * 640 + x] & 0xFFFFFF;
                if (y >= 4 && y < 230) skyUpper += SkyPixel(c);  // below the cleared border rows
                if (y >= 250) skyLower += SkyPixel(c), litLower += c != 0;
            }
        EXPECT_EQ(skyUpper, 640 * 226);
        EXPECT_LT(skyLower, 640 * 230 / 10);
        EXPECT_GT(litLower, 640 * 230 * 9 / 10);
        // Pixel probes: the sky's gradient darkens from the deck's edge
        // towards the horizon (ramp A runs from its start colour up).
        EXPECT_NE(f[(size_t)40 * 640 + 320] & 0xFF, f[(size_t)220 * 640 + 320] & 0xFF);
        ViewedObject = nullptr;
    }
    sky_Ramps = ramps;
    memset(sky_Pairs, 0, sizeof sky_Pairs);
}

}  // namespace
