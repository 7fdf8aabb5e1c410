// The sky's two renderers: the software blocks by region of the screen in
// 8 and 16 bits, and the card's bands, deck strips and fog quad.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "display/dsurf.h"
#include "display/hw3d.h"
#include "display/hw3d_draw.h"
#include "render/render.h"
#include "render/sky.h"
#include "render/view.h"
#include "sky_fixture.h"

namespace {
constexpr int32_t kDeck = 0x20000000;
constexpr int32_t kW = 640, kH = 480;

// Which ramp an entry number lies in: 0 A, 1 B or C, 3 D, 4 E.
int32_t RampOf(int32_t entry) {
    const int32_t* f = sky_Ramps.first;
    if (entry >= f[4]) return 4;
    if (entry >= f[3]) return 3;
    if (entry >= f[1]) return 1;
    return 0;
}

struct SkyDrawTest : ::testing::Test {
    std::vector<uint8_t> pixels;
    _DRAW_SURFACE saved{};
    std::vector<uint8_t> texture = std::vector<uint8_t>(256 * 256, 0xFF);
    SkyRamps savedRamps{};

    void SetUp() override {
        saved = draw_CurrentSurface;
        savedRamps = sky_Ramps;
        sky_CloudHeight = kDeck;
        sky_View = SkyView{};
        view_State = ViewState{};
        // Every ramp entry its own pixel value: entry n is n + 1 (0 stays
        // "not drawn").
        for (int32_t i = 0; i < SKY_RAMP_ENTRIES; i++) {
            sky_Ramps.colour16[i] = (uint16_t)(i + 1);
            sky_Ramps.index8[i] = (uint8_t)(i + 1);
        }
        int32_t at = 0;
        for (int32_t r = 0; r < 5; r++) {
            sky_Ramps.first[r] = at;
            at += 2 * SKY_RAMP_STEPS[r];
        }
        sky_Texture = nullptr;
    }
    void TearDown() override {
        draw_CurrentSurface = saved;
        sky_Ramps = savedRamps;
        sky_Texture = nullptr;
        test_SkyFrameStateClear();
    }
    void Surface(int32_t bytes) {
        pixels.assign((size_t)kW * kH * bytes, 0);
        draw_InitSurfaceDesc(&draw_CurrentSurface, pixels.data(), kW, kH, bytes);
    }
    int32_t At(int32_t x, int32_t y) const {
        const _DRAW_SURFACE& s = draw_CurrentSurface;
        const uint8_t* p = pixels.data() + (size_t)y * s.bytesPerRow + (size_t)x * s.bytesPerPixel;
        if (s.bytesPerPixel == 2) {
            uint16_t v;
            memcpy(&v, p, 2);
            return v;
        }
        return *p;
    }
    // Ramp of the pixel, -1 when nothing was drawn there.
    int32_t Ramp(int32_t x, int32_t y) const {
        const int32_t v = At(x, y);
        return v ? RampOf(v - 1) : -1;
    }
    void Look(int64_t y, int32_t pitch, int32_t roll) {
        view_State.position = {0x12345678u, (uint32_t)y, 0x9ABCDEF0u};
        view_State.angles = {0x300000, pitch, roll};
    }
};

TEST_F(SkyDrawTest, SoftwareSkyRegionsInBothDepths) {
    struct Probe {
        int32_t x, y, ramp;
    };
    struct Case {
        const char* name;
        int64_t y;
        int32_t pitch, roll;
        std::vector<Probe> probes;
    } cases[] = {
        // Level below the deck: the deck's far edge near the top, ramp A
        // down to the horizon, the haze band below it; above the deck the
        // mirrored sky, the deck below and ramp D above it.
        {"below", 0x400000, 0, 0, {{320, 10, 4}, {5, 150, 0}, {634, 150, 0}, {320, 249, 1}, {320, 470, 1}}},
        {"above", kDeck + 0x1C00000, 0, 0, {{320, 470, 4}, {320, 300, 4}, {320, 200, 3}, {5, 100, 3}, {634, 20, 3}}},
        {"rolled", 0x400000, 0, 0x400000, {}},  // 45 degrees
    };
    for (int32_t bytes : {1, 2}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << " bytes " << bytes);
            Surface(bytes);
            Look(c.y, c.pitch, c.roll);
            sky_SoftDraw();
            for (const Probe& p : c.probes) EXPECT_EQ(Ramp(p.x, p.y), p.ramp) << p.x << "," << p.y;
            if (!strcmp(c.name, "rolled")) {
                // Bands follow the rolled horizon: the deck in one top
                // corner, ramp A in the bottom corner beside it, the haze in
                // the other two.
                const int32_t tl = Ramp(2, 2), tr = Ramp(637, 2), bl = Ramp(2, 477), br = Ramp(637, 477);
                EXPECT_TRUE((tl == 4 && tr == 1 && bl == 0 && br == 1) || (tr == 4 && tl == 1 && br == 0 && bl == 1))
                    << tl << " " << tr << " " << bl << " " << br;
            }
            // Every pixel of the window is written, each 2x2 block a
            // checkerboard of one ramp pair.
            int32_t unset = 0;
            for (int32_t y = 0; y < kH; y++)
                for (int32_t x = 0; x < kW; x++) unset += At(x, y) == 0;
            EXPECT_EQ(unset, 0);
            for (int32_t y = 0; y < kH; y += 34)
                for (int32_t x = 0; x < kW; x += 46) {
                    EXPECT_EQ(At(x, y), At(x + 1, y + 1));
                    EXPECT_EQ(At(x + 1, y), At(x, y + 1));
                }
        }
    }
}

TEST_F(SkyDrawTest, SoftwareSkyLeavesTheFrameAloneWithoutASky) {
    struct Case {
        int64_t y;
        int32_t pitch;
    } cases[] = {
        {kDeck, 0},                     // inside the layer
        {kDeck - 0xFFFFFF, 0},
        {0x400000, 0x1800000},          // looking straight down
    };
    for (const Case& c : cases) {
        Surface(2);
        Look(c.y, c.pitch, 0);
        sky_SoftDraw();
        int32_t drawn = 0;
        for (uint8_t b : pixels) drawn += b != 0;
        EXPECT_EQ(drawn, 0) << std::hex << c.y;
    }
}

TEST_F(SkyDrawTest, DeckTexelsPickRampEAndAMissingTextureDrawsItPlain) {
    // Looking up from below the deck: the deck overhead is near, so a dense
    // texel picks ramp E's last step; no texture gives its start colour.
    const int32_t e = sky_Ramps.first[4];
    struct Case {
        bool textured;
        int32_t a, b;
    } cases[] = {{true, e + 30 + 1, e + 31 + 1}, {false, e + 1, e + 1}};
    for (const Case& c : cases) {
        Surface(2);
        sky_Texture = c.textured ? texture.data() : nullptr;
        Look(kDeck - 0x1200000, 0x700000, 0);
        sky_SoftDraw();
        EXPECT_EQ(At(320, 240), c.a) << c.textured;
        EXPECT_EQ(At(321, 240), c.b) << c.textured;
    }
}

TEST_F(SkyDrawTest, GradientBlocksDitherBetweenNeighbouringSteps) {
    Surface(2);
    Look(0x400000, 0, 0);
    sky_SoftDraw();
    // Along a row inside ramp A the pairs chosen differ by at most one step.
    const int32_t y = 150;
    int32_t low = 1 << 30, high = -1;
    for (int32_t x = 0; x < kW; x += 2) {
        const int32_t entry = At(x, y) - 1;
        ASSERT_EQ(RampOf(entry), 0);
        ASSERT_EQ(entry % 2, 0);  // the first row starts with the step's colour
        low = std::min(low, entry / 2), high = std::max(high, entry / 2);
    }
    EXPECT_LE(high - low, 1);
}

// The card: triangles and textured corners as the driver would see them.
struct CardCall {
    bool textured;
    _HW3D_VERTEX v[3];
    uint32_t colour, flags;
};
std::vector<CardCall> g_calls;
void RecordTriangle(const void* a, const void* b, const void* c, uint32_t colour, uint32_t flags, int32_t) {
    CardCall k{false, {*(const _HW3D_VERTEX*)a, *(const _HW3D_VERTEX*)b, *(const _HW3D_VERTEX*)c}, colour, flags};
    g_calls.push_back(k);
}
void RecordQuad(const void* a, const void* b, const void* c, const void*, const void*, int32_t) {
    CardCall k{true, {*(const _HW3D_VERTEX*)a, *(const _HW3D_VERTEX*)b, *(const _HW3D_VERTEX*)c}, 0, 0};
    g_calls.push_back(k);
}

TEST_F(SkyDrawTest, CardBandsDeckAndFog) {
    Surface(2);
    const _HW3D_DESCRIPTOR descriptor = hw3d_Descriptor;
    hw3d_Descriptor.triangle = RecordTriangle;
    hw3d_Descriptor.quad = RecordQuad;
    sky_Ramps.packed[0] = 0x00C0C0C0;  // P4 start
    sky_Ramps.packed[5] = 0x00FF8040;  // P3 end
    struct Case {
        const char* name;
        int64_t y;
        int32_t pitch;
        bool textured;
        int32_t bandTriangles, deckTextured, deckPlain;
        uint32_t firstColour;
    } cases[] = {
        {"below", 0x400000, 0, true, 8, 16 * 80 * 2, 0, 0x606060},
        {"above", kDeck + 0x1C00000, 0, true, 6, 16 * 80 * 2, 0, 0x7F4020},
        {"overhead", 0x400000, 0x600000, true, 8 + 2, 2, 0, 0x606060},
        {"untextured", 0x400000, 0, false, 8, 0, 16 * 80 * 2, 0x606060},
        {"inside", kDeck, 0, true, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_calls.clear();
        sky_Texture = c.textured ? texture.data() : nullptr;
        Look(c.y, c.pitch, 0);
        sky_CardDraw();
        int32_t plain = 0, textured = 0;
        for (const CardCall& k : g_calls) (k.textured ? textured : plain)++;
        EXPECT_EQ(plain, c.bandTriangles + c.deckPlain);
        EXPECT_EQ(textured, c.deckTextured);
        if (c.bandTriangles) {
            // The first band in the start colour, halved, every corner alike.
            EXPECT_EQ(g_calls[0].colour, 0xFFFFFFu);
            for (const _HW3D_VERTEX& v : g_calls[0].v) EXPECT_EQ(v.colour, c.firstColour);
        }
    }
    // The fog quad: the cloud colour with the level as its alpha.
    g_calls.clear();
    const int32_t active = hw3d_Active;
    hw3d_Active = 1;
    sky_Pairs[4][1][0] = 0x11, sky_Pairs[4][1][1] = 0x22, sky_Pairs[4][1][2] = 0x33;
    sky_View.density = 0x2000000;
    sky_FogOverlay();
    hw3d_Active = active;
    hw3d_Descriptor = descriptor;
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[0].flags, 0x20000u);
    EXPECT_EQ(g_calls[0].v[0].colour, 0xF0332211u);
}

}  // namespace
