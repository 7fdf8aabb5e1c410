// The sky: the view and flags by camera height, the cloud fog, the colour
// ramps, the star field and the glare.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "../display/image_fixture.h"
#include "sky_fixture.h"
#include "display/dsurf.h"
#include "display/pcx.h"
#include "display/pal.h"
#include "display/vid.h"
#include "input/ekey.h"
#include "render/object.h"
#include "shell/startup.h"
#include "render/render.h"
#include "render/sky.h"
#include "render/view.h"
#include "world/level.h"

namespace {
constexpr int32_t kDeck = 0x20000000;

struct SkyTest : ::testing::Test {
    void SetUp() override {
        sky_CloudHeight = kDeck;
        sky_View = SkyView{};
        sky_InsideCloud = 0;
        sky_GlareLevel = 0;
        render_AboveCloudDeck = 0;
        render_CloudHazeOffset = 0;
        render_PaletteRequest = 0;
        level_Night = 0;
        view_State = ViewState{};
        for (int32_t i = 0; i < 768; i++) render_BasePalette[i] = render_WorkingPalette[i] = (uint8_t)(i / 3);
    }
    void TearDown() override { test_SkyFrameStateClear(); }
};

TEST_F(SkyTest, FrameSetupByCameraHeightAndPitch) {
    struct Case {
        int64_t y;
        int32_t pitch;
        int32_t drawn, above, inside;
    } cases[] = {
        {kDeck - 0x1000000, 0x100000, 0, 0, 0},     // exactly below the layer: sky
        {kDeck + 0x1000000, 0x100000, 0, 1, 0},     // exactly above: mirrored sky
        {kDeck - 0xFFFFFF, 0x100000, -1, 0, 1},     // inside the layer: fog only
        {kDeck + 0xFFFFFF, 0x100000, -1, 0, 1},
        {kDeck, 0, -1, 0, 1},
        {kDeck - 0x4000000, 0x1800000, -1, 0, 0},   // straight down: no sky
        {kDeck - 0x4000000, 0x1600000, 0, 0, 0},    // the edges of the band still draw
        {kDeck - 0x4000000, 0x1A00000, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.y << " pitch " << c.pitch);
        view_State.position.y = (uint32_t)c.y;
        view_State.angles = {0x123456, c.pitch, 0x200000};
        EXPECT_EQ(sky_FrameSetup(), c.drawn);
        EXPECT_EQ(sky_View.inside, c.inside);
        EXPECT_EQ(sky_InsideCloud, c.inside);
        if (!c.inside) {
            EXPECT_EQ(sky_View.above, c.above);
        }
    }
}

TEST_F(SkyTest, AboveTheDeckTheSkyIsMirrored) {
    view_State.position.y = kDeck + 0x3000000;
    view_State.angles = {0x400000, 0x100000, 0x800000};
    ASSERT_EQ(sky_FrameSetup(), 0);
    EXPECT_EQ(sky_View.heading, -0x400000 & 0x1FFFFFF);
    EXPECT_EQ(sky_View.pitch, 0x1F00000);
    EXPECT_EQ(sky_View.roll, -0x800000);  // 0x1800000 wrapped into the half turns
    EXPECT_EQ(sky_View.eye, kDeck - 0x3000000);
    EXPECT_EQ(render_AboveCloudDeck, 1);
}

TEST_F(SkyTest, CloudFogDensityHazeAndPalette) {
    // At the deck: the full density, the overlay clamped to 0xf0, the first
    // 22 entries turned to the cloud colour.
    sky_CloudIndex = 200;
    sky_CloudFog(kDeck);
    EXPECT_EQ(sky_View.density, 0x2000000);
    EXPECT_EQ(sky_FogLevel(), 0xF0);
    EXPECT_EQ(render_CloudHazeOffset, 0x800000);
    EXPECT_EQ(render_PaletteRequest, 1);
    for (int32_t i = 1; i <= 22; i++) EXPECT_EQ(render_WorkingPalette[i * 3], 200) << i;
    EXPECT_EQ(render_WorkingPalette[0], 0);
    EXPECT_EQ(render_WorkingPalette[23 * 3], 23);

    struct Case {
        int64_t d;
        int32_t density, level;
    } cases[] = {
        {0x1F70000, 0x90000, 9},    // just over the overlay's threshold
        {0x1F80000, 0x80000, 0},    // level 8: no overlay
        {0x2000000, 0, 0},
    };
    for (const Case& c : cases) {
        sky_CloudFog((int32_t)(kDeck - c.d));
        EXPECT_EQ(sky_View.density, c.density) << std::hex << c.d;
        EXPECT_EQ(sky_FogLevel(), c.level) << std::hex << c.d;
        EXPECT_EQ(sky_View.inFog, 1);
    }
    // Leaving the fog clears it once, the haze with it.
    sky_CloudFog(kDeck - 0x2000001);
    EXPECT_EQ(sky_View.inFog, 0);
    EXPECT_EQ(sky_View.density, 0);
    EXPECT_EQ(render_CloudHazeOffset, 0);
    EXPECT_EQ(render_WorkingPalette[5 * 3], 5);
}

TEST_F(SkyTest, RampsStepTowardsButNeverReachTheirEndColour) {
    const uint8_t pairs[5][2][3] = {
        {{0, 0, 0}, {255, 255, 255}},
        {{200, 100, 10}, {10, 100, 200}},
        {{40, 80, 120}, {41, 80, 119}},  // a span smaller than the steps
        {{255, 0, 128}, {0, 255, 128}},
        {{16, 32, 48}, {240, 224, 208}},
    };
    memcpy(sky_Pairs, pairs, sizeof pairs);
    sky_RampsBuild();
    int32_t at = 0;
    for (int32_t r = 0; r < 5; r++) {
        SCOPED_TRACE(r);
        const int32_t n = SKY_RAMP_STEPS[r];
        EXPECT_EQ(sky_Ramps.first[r], at);
        EXPECT_EQ(memcmp(sky_Ramps.rgb[at], pairs[r][0], 3), 0);  // starts at its start colour
        for (int32_t e = 0; e < 2 * n; e++) {
            const uint8_t* c = sky_Ramps.rgb[at + e];
            EXPECT_NE(memcmp(c, pairs[r][1], 3), 0) << e;
            for (int32_t k = 0; k < 3; k++) {
                const int32_t lo = std::min(pairs[r][0][k], pairs[r][1][k]), hi = std::max(pairs[r][0][k], pairs[r][1][k]);
                EXPECT_GE(c[k], lo);
                EXPECT_LE(c[k], hi);
            }
        }
        at += 2 * n;
    }
    // Ramp A black to white, 10 steps: 25.5 a step, the second entry three
    // quarters of the way, the last short of white.
    EXPECT_EQ(sky_Ramps.rgb[1][0], 19);
    EXPECT_EQ(sky_Ramps.rgb[2][0], 25);
    EXPECT_EQ(sky_Ramps.rgb[19][0], 248);
    EXPECT_EQ(sky_Ramps.packed[0], 0x302010u);
    EXPECT_EQ(sky_Ramps.packed[3], 0x775029u);
}

TEST_F(SkyTest, StarsLieBetweenElevenDegreesAndStraightUp) {
    sky_StarFieldInit();
    ASSERT_NE(sky_Stars, nullptr);
    const double L = 0x20000000, floorSin = std::sin(11.25 * M_PI / 180.0);
    bool levels[8] = {};
    for (int32_t i = 0; i < SKY_STARS; i++) {
        const SkyStar& s = sky_Stars[i];
        const double len = std::sqrt((double)s.x * s.x + (double)s.y * s.y + (double)s.z * s.z);
        EXPECT_NEAR(len / L, 1.0, 1e-6) << i;
        EXPECT_GE(s.y / L, floorSin - 1e-6) << i;
        ASSERT_GE(s.level, 0);
        ASSERT_LE(s.level, 7);
        levels[s.level] = true;
    }
    for (bool seen : levels) EXPECT_TRUE(seen);
}

TEST_F(SkyTest, SunGlareByAlignment) {
    struct Case {
        int32_t x, z;
        int32_t glare;
    } cases[] = {
        {0, 0x10000, 0x10000},      // on the axis: full glare
        {31728, 0xE000, 0},         // the sun 29 degrees off: none
        {0x8000, 0xD000, 0},        // flare range, no glare
        {0, -0x10000, 0},           // behind
    };
    for (const Case& c : cases) {
        sky_GlareLevel = 0;
        sky_GlareMeasure(c.x, 0, c.z);
        EXPECT_EQ(sky_GlareLevel, c.glare) << std::hex << c.x << " " << c.z;
    }
    // Any length: the direction counts; further glare stays at the limit.
    sky_GlareLevel = 0;
    const int32_t d = sky_GlareMeasure(0, 0, 1);
    EXPECT_EQ(d, 0x10000);
    sky_GlareMeasure(0, 0, 1);
    EXPECT_EQ(sky_GlareLevel, 0x10000);
    // At night the sun gives none.
    level_Night = 1;
    sky_GlareLevel = 0;
    sky_GlareMeasure(0, 0, 0x10000);
    EXPECT_EQ(sky_GlareLevel, 0);
}

TEST_F(SkyTest, GlareFromObjectWeighsDistance) {
    ObjectRecord o = {};
    o.viewPosition = {0, 0, 0x80000};
    sky_GlareFromObject(&o, 0x100000);  // half the radius, on the axis
    EXPECT_EQ(sky_GlareLevel, 0x8000);
    sky_GlareLevel = 0;
    sky_GlareFromObject(&o, 0x80000);   // at the radius: none
    sky_GlareFromObject(nullptr, 0x100000);
    EXPECT_EQ(sky_GlareLevel, 0);
}

TEST_F(SkyTest, GlareWhitensThePaletteAndNothingInsideTheLayer) {
    sky_GlareLevel = 0x10000;
    sky_GlareApply();
    EXPECT_EQ(render_PaletteRequest, 1);
    EXPECT_EQ(render_WorkingPalette[0], 0);
    for (int32_t i = 3; i < 768; i++) ASSERT_EQ(render_WorkingPalette[i], 255) << i;

    // Inside the layer: the sun clears the glare and the flare adds none.
    for (int32_t i = 0; i < 768; i++) render_WorkingPalette[i] = (uint8_t)(i / 3);
    render_PaletteRequest = 0;
    sky_Sun.viewPosition = {0, 0, 0x10000};
    sky_InsideCloud = 1;
    sky_SunDraw();
    sky_LensFlareDraw();
    EXPECT_EQ(sky_GlareLevel, 0);
    EXPECT_EQ(render_PaletteRequest, 0);
    EXPECT_EQ(render_WorkingPalette[300], 100);
}

TEST_F(SkyTest, StarPassDrawsOnePixelAStarAheadOnly) {
    // A 64 x 64 16-bit surface looking along z, one star ahead, one behind,
    // one off to the side beyond the window.
    std::vector<uint16_t> pixels(64 * 64, 0);
    const _DRAW_SURFACE saved = draw_CurrentSurface;
    _DRAW_SURFACE& s = draw_CurrentSurface;
    s = _DRAW_SURFACE{};
    s.base = (uint8_t*)pixels.data();
    s.width = s.height = 64;
    s.clipX2 = s.clipY2 = 64;
    s.xScale = 64 * 256 / 320;
    s.centreXF = s.centreYF = 32 * 128;
    s.bitsPerPixel = 16, s.bytesPerPixel = 2, s.bytesPerRow = 128;
    view_State.viewMatrix = {0, 0x10000, 0, 0x10000, 0, 0x10000};
    static SkyStar stars[SKY_STARS] = {};
    stars[0] = {0, 0, 0x20000000, 3};
    stars[1] = {0, 0, -0x20000000, 4};
    stars[2] = {0x20000000, 0, 0x1000000, 5};
    SkyStar* const field = sky_Stars;
    sky_Stars = stars;
    for (int32_t n = 0; n < 8; n++) sky_StarColour16[n] = (uint16_t)(0x1000 + n);
    sky_StarFieldDraw();
    sky_Stars = field;
    draw_CurrentSurface = saved;
    int32_t lit = 0;
    for (uint16_t p : pixels) lit += p != 0;
    EXPECT_EQ(lit, 1);
    EXPECT_EQ(pixels[32 * 64 + 32], 0x1003);
}

TEST_F(SkyTest, LightTurnsByKeysOnlyInModeFour) {
    const int32_t mode = app_ModeWord;
    sky_LightAngle = 0;
    ekey_StateTable[0x43] = 1;
    app_ModeWord = 0;
    sky_LightTurn();
    EXPECT_EQ(sky_LightAngle, 0);
    app_ModeWord = 4;
    for (int32_t i = 0; i < 4; i++) sky_LightTurn();  // one table step
    EXPECT_EQ(sky_LightAngle, 0x10000);
    EXPECT_GT(render_Object.light.x, 0);
    EXPECT_GT(render_Object.light.y, render_Object.light.x * 50);
    EXPECT_EQ(render_Object.light.z, 0);
    ekey_StateTable[0x11] = 1;  // with Control: back down
    sky_LightTurn();
    EXPECT_EQ(sky_LightAngle, 0xC000);
    ekey_StateTable[0x11] = ekey_StateTable[0x43] = 0;
    sky_LightTurn();
    EXPECT_EQ(sky_LightAngle, 0xC000);
    app_ModeWord = mode;
    sky_LightAngle = 0;
}

// The deck texture: 256 x 256 or nothing (the deck then drawn plain).
class SkyTexture : public ImageEnv {};
TEST_F(SkyTexture, OnlyA256SquareImageIsUsed) {
    struct Case {
        int32_t size;  // 0: no file
        bool used;
    } cases[] = {{256, true}, {16, false}, {0, false}};
    for (const Case& c : cases) {
        std::remove("sky10.pcx");
        if (c.size) {
            std::vector<uint8_t> px((size_t)c.size * c.size, 7);
            pal_Second.width = pal_Second.height = c.size;
            ASSERT_EQ(pcx_WriteFile("sky10.pcx", px.data()), 0);
        }
        sky_TextureLoad();
        EXPECT_EQ(sky_Texture != nullptr, c.used) << c.size;
        if (sky_Texture) {
            EXPECT_EQ(sky_Texture[255 * 256 + 255], 7);
        }
    }
    sky_Texture = nullptr;
}
}  // namespace
