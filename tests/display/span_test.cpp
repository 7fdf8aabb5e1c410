// Rasteriser span loops: every set of every table, each checked pixel by
// pixel against a reference worked out here from the tables, the texel and
// the destination; the dither, the smear and the 32-bit lane arithmetic.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "display/rast.h"
#include "display/span.h"
#include "raster_fixture.h"

namespace {

using raster_test::Surface;
using raster_test::V;

// A 16 x 4 rectangle at (2, 1) of a 20 x 6 surface, one texel a pixel of a
// 16 x 16 texture: pixel (2 + x, 1 + y) samples texel y x 16 + x.
constexpr int kW = 20, kH = 6, kX = 2, kY = 1, kRectW = 16, kRectH = 4;

// The reference of one pixel: from the texture and texel index, and the
// destination before drawing.
typedef std::function<uint32_t(const uint8_t* tex, uint32_t idx, uint32_t d)> Expect;

struct Case {
    const char* name;
    uint32_t flags;
    uint32_t shade;     // every corner's colour word
    uint32_t colour;    // the fifth argument when untextured
    bool uniform;       // jittered sets: a texture of one value, so the jitter cannot show
    Expect expect;
};

uint32_t Hash(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    return x ^ (x >> 16);
}

class Span : public raster_test::RasterTest {
protected:
    void SetUp() override {
        RasterTest::SetUp();
        poly_SpanState.textureShiftU = poly_SpanState.textureShiftV = 4;
        texture_.resize(512);
        for (size_t i = 0; i < texture_.size(); i++) texture_[i] = Hash((uint32_t)i) % 5 == 0 ? 0 : (uint8_t)Hash((uint32_t)i + 999);
        uniform_.assign(512, 0x17);
    }

    // Draws the rectangle as two clockwise triangles and checks every pixel.
    void Run(int32_t mode, int bpp, const Case& c) {
        SCOPED_TRACE(testing::Message() << "mode " << mode << ": " << c.name);
        poly_SetPixelMode(mode);
        Surface s(kW, kH, bpp);
        const uint32_t mask = bpp == 4 ? 0x00FFFFFFu : bpp == 2 ? 0xFFFFu : 0xFFu;
        for (int y = 0; y < kH; y++)
            for (int x = 0; x < kW; x++) s.Set(x, y, Hash((uint32_t)(y * kW + x) * 7 + 1) & mask);
        std::vector<uint32_t> before(kW * kH);
        for (int y = 0; y < kH; y++)
            for (int x = 0; x < kW; x++) before[y * kW + x] = s.Get(x, y);
        const uint8_t* tex = c.uniform ? uniform_.data() : texture_.data();
        const int32_t x0 = kX * 128, y0 = kY * 128, x1 = (kX + kRectW) * 128, y1 = (kY + kRectH) * 128;
        // Jittered sets: half a texel a pixel, or the minification would
        // cancel the jitter.
        const int32_t step = c.uniform ? 2048 : 4096;
        PolyVertex tl = V(x0, y0, 0, 0, c.shade), tr = V(x1, y0, kRectW * step, 0, c.shade),
                   br = V(x1, y1, kRectW * step, kRectH * step, c.shade), bl = V(x0, y1, 0, kRectH * step, c.shade);
        const uintptr_t arg = (c.flags & POLY_TEXTURED) ? (uintptr_t)tex : c.colour;
        poly_SpanState.renderFlags = c.flags;
        poly_DrawPolygon(&tl, &tr, &br, s.base, arg);
        poly_DrawPolygon(&tl, &br, &bl, s.base, arg);
        for (int y = 0; y < kH; y++)
            for (int x = 0; x < kW; x++) {
                const bool in = x >= kX && x < kX + kRectW && y >= kY && y < kY + kRectH;
                const uint32_t d = before[y * kW + x];
                const uint32_t want = in ? c.expect(tex, (uint32_t)((y - kY) * 16 + (x - kX)), d) & mask : d;
                ASSERT_EQ(s.Get(x, y), want) << "pixel " << x << "," << y;
            }
        EXPECT_TRUE(s.GuardsIntact());
    }

    std::vector<uint8_t> texture_, uniform_;
};

constexpr uint32_t T = POLY_TEXTURED, FLAT = POLY_FLAT_SHADE, G = POLY_GOURAUD;
constexpr uint32_t kLevel5 = 0x00050000;  // level 5, no fraction: the dither cannot change it

// ---- 8 bits ----

class Span8 : public Span {
protected:
    void SetUp() override {
        Span::SetUp();
        shade_.resize(32 * 256);
        trans_.resize(32 * 256);
        blend_.resize(65536);
        for (int l = 0; l < 32; l++)
            for (int t = 0; t < 256; t++) {
                shade_[l * 256 + t] = (uint8_t)(l * 13 + t * 7 + 1);
                trans_[l * 256 + t] = (uint8_t)(l * 29 + t * 5 + 3);
            }
        for (int i = 0; i < 65536; i++) blend_[i] = (uint8_t)(((i >> 8) * 3) ^ i);
        poly_SpanState.shadeTable = shade_.data();
        poly_SpanState.shadeRows = 32;
        poly_SpanState.blendTable = blend_.data();
        draw_Context.shadeTable = trans_.data();
    }
    uint32_t S(uint32_t l, uint32_t t) const { return shade_[l * 256 + t]; }
    uint32_t Tr(uint32_t l, uint32_t d) const { return trans_[l * 256 + d]; }
    uint32_t B(uint32_t t, uint32_t d) const { return blend_[t * 256 + d]; }
    std::vector<uint8_t> shade_, trans_, blend_;
};

TEST_F(Span8, EverySetAgainstItsReference) {
    const uint32_t c = 0x42;
    auto skip = [](const uint8_t* tex, uint32_t i, uint32_t d, uint32_t v) { return tex[i] ? v : d; };
    const std::vector<Case> common = {
        {"set 0", T, 0, 0, false, [](const uint8_t* x, uint32_t i, uint32_t) { return (uint32_t)x[i]; }},
        {"set 0 flat", T | FLAT, kLevel5, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t) { return S(5, x[i]); }},
        {"set 0 gouraud", T | G, kLevel5, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t) { return S(5, x[i]); }},
        {"set 1", T | POLY_TRANSPARENT, 0, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t d) { return skip(x, i, d, x[i]); }},
        {"set 1 flat", T | POLY_TRANSPARENT | FLAT, kLevel5, 0, false,
         [&](const uint8_t* x, uint32_t i, uint32_t d) { return skip(x, i, d, S(5, x[i])); }},
        {"set 1 gouraud", T | POLY_TRANSPARENT | G, kLevel5, 0, false,
         [&](const uint8_t* x, uint32_t i, uint32_t d) { return skip(x, i, d, S(5, x[i])); }},
        {"set 2", T | POLY_JITTER | FLAT, kLevel5, 0, true, [&](const uint8_t* x, uint32_t i, uint32_t) { return S(5, x[i]); }},
        {"set 3", T | POLY_JITTER | POLY_TRANSPARENT, 0, 0, true, [](const uint8_t* x, uint32_t i, uint32_t) { return (uint32_t)x[i]; }},
        {"set 4", T | POLY_JITTER | POLY_TRANSLUCENT, 0, 0, true,
         [&](const uint8_t* x, uint32_t i, uint32_t d) { return Tr(x[i] & 31, d); }},
        {"set 5", T | POLY_BLEND, 0, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t d) { return B(x[i], d); }},
        {"set 6", T | POLY_BLEND | POLY_TRANSPARENT, 0, 0, false,
         [&](const uint8_t* x, uint32_t i, uint32_t d) { return skip(x, i, d, B(x[i], d)); }},
        {"set 7", T | POLY_TRANSLUCENT | G, kLevel5, 0, false,
         [&](const uint8_t* x, uint32_t i, uint32_t d) { return Tr(x[i] & 31, d); }},
        {"set 8", 0, 0, c, false, [&](const uint8_t*, uint32_t, uint32_t) { return c; }},
        {"set 8 flat", FLAT, kLevel5, c, false, [&](const uint8_t*, uint32_t, uint32_t) { return S(5, c); }},
        {"set 8 gouraud", G, kLevel5, c, false, [&](const uint8_t*, uint32_t, uint32_t) { return S(5, c); }},
        {"set 9", POLY_DARKEN, kLevel5, c, false, [](const uint8_t*, uint32_t, uint32_t d) { return d; }},
        {"set 9 flat", POLY_DARKEN | FLAT, kLevel5, c, false, [&](const uint8_t*, uint32_t, uint32_t d) { return Tr(5, d); }},
        {"set 9 gouraud", POLY_DARKEN | G, kLevel5, c, false, [&](const uint8_t*, uint32_t, uint32_t d) { return S(5, d); }},
        {"set 11", POLY_BLEND, 0, c, false, [&](const uint8_t*, uint32_t, uint32_t d) { return B(c, d); }},
        {"set 12", POLY_TRANSLUCENT, 0, 0x2D, false, [&](const uint8_t*, uint32_t, uint32_t d) { return Tr(0x2D & 31, d); }},
        {"set 16", T | POLY_NO_DRAW, 0, 0, false, [](const uint8_t*, uint32_t, uint32_t d) { return d; }},
        {"set 17 (none at 8 bits)", T | POLY_ALPHA_COLOUR, 0, 0, false, [](const uint8_t*, uint32_t, uint32_t d) { return d; }},
    };
    for (int32_t mode : {POLY_MODE_8, POLY_MODE_8_MMX})
        for (const Case& k : common) Run(mode, 1, k);
    // Sets 13, 14 and 15 repeat sets 5, 0 and 9 in the integer table; the
    // lane table stops at set 12.
    const std::vector<Case> extra = {
        {"set 13", T | POLY_ALPHA_TEXEL, 0, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t d) { return B(x[i], d); }},
        {"set 14", T | POLY_COPY16, 0, 0, false, [](const uint8_t* x, uint32_t i, uint32_t) { return (uint32_t)x[i]; }},
        {"set 15", POLY_CHANNEL | FLAT, kLevel5, c, false, [&](const uint8_t*, uint32_t, uint32_t d) { return Tr(5, d); }},
    };
    for (const Case& k : extra) {
        Run(POLY_MODE_8, 1, k);
        Case none = k;
        none.expect = [](const uint8_t*, uint32_t, uint32_t d) { return d; };
        Run(POLY_MODE_8_MMX, 1, none);
    }
}

TEST_F(Span8, TransparentSpanOverZeroTexelsLeavesTheDestination) {
    std::fill(texture_.begin(), texture_.end(), 0);
    for (uint32_t extra : {0u, (uint32_t)FLAT, (uint32_t)G, (uint32_t)POLY_BLEND})
        Run(POLY_MODE_8, 1, {"zeros", T | POLY_TRANSPARENT | extra, kLevel5, 0, false,
                             [](const uint8_t*, uint32_t, uint32_t d) { return d; }});
}

// Levels beyond the table's rows read its last row.
TEST_F(Span8, LevelsPastTheShadeTableReadTheLastRow) {
    Run(POLY_MODE_8, 1, {"level 200", T | FLAT, 200u << 16, 0, false,
                         [&](const uint8_t* x, uint32_t i, uint32_t) { return S(31, x[i]); }});
}

// A Gouraud span of constant intensity 0x0F80 (level 15 and a half): the
// dither byte, growing by 0xA3 a pixel, picks 15 or 16.
TEST_F(Span8, GouraudDitherAlternatesLevels) {
    std::vector<uint8_t> shade(256 * 256);
    for (int l = 0; l < 256; l++) std::fill_n(&shade[l * 256], 256, (uint8_t)l);  // S[L][c] = L
    std::vector<uint8_t> row(40, 0xEE);
    SpanParams p{};
    p.dest = row.data() + 4;
    p.count = 32;
    p.colour = 9;
    p.intensity[0] = 0x0F80;
    p.dither = 0x40;
    p.shade = shade.data();
    p.shadeMaxRow = 255;
    span_Table8.sets[8].pairs[2].loop(p);
    uint32_t dither = 0x40;
    int fifteen = 0, sixteen = 0;
    for (int k = 0; k < 32; k++) {
        const uint32_t want = dither + 0x80 >= 0x100 ? 16 : 15;
        EXPECT_EQ(row[4 + k], want) << "pixel " << k;
        (want == 15 ? fifteen : sixteen)++;
        dither = (dither + 0xA3) & 0xFF;
    }
    EXPECT_EQ(p.dither, dither);  // kept for the next span
    EXPECT_GT(fifteen, 8);
    EXPECT_GT(sixteen, 8);
    EXPECT_EQ(row[3], 0xEE);
    EXPECT_EQ(row[36], 0xEE);
}

// ---- 16 bits (5-6-5) ----

class Span16 : public Span {
protected:
    void SetUp() override {
        Span::SetUp();
        pal16_.resize(256);
        for (int i = 0; i < 256; i++) pal16_[i] = Hash((uint32_t)i + 77) & 0xFFFF;
        shade16_.resize(64 * 256);
        for (int i = 0; i < 64 * 256; i++) shade16_[i] = (uint16_t)(i * 37 + (i >> 8) * 1000);
        pal_DrawTables.master = pal16_.data();
        pal_DrawTables.shade16 = shade16_.data();
        for (int k = 0; k < 32; k++)
            for (int n = 0; n < 256; n++) {
                pal_Hc.shade[k][n][0] = (uint16_t)(k * 100 + n);
                pal_Hc.shade[k][n][1] = (uint16_t)((k * 7 + n * 3) << 8);
            }
        pal_Hc.blendMask1 = 0xF7DEF7DEu;
        pal_Hc.channels[1].mask = 0x07E0;  // green
    }
    uint32_t Pal(uint32_t t) const { return pal16_[t]; }
    uint32_t Sh(uint32_t l, uint32_t t) const { return shade16_[l * 256 + t]; }
    static uint32_t Dark(uint32_t k, uint32_t d) {
        return (uint16_t)(pal_Hc.shade[k][d & 0xFF][0] + pal_Hc.shade[k][d >> 8][1]);
    }
    // The exact average, channel by channel.
    static uint32_t Avg(uint32_t n, uint32_t d) {
        uint32_t r = (((n >> 11) & 31) + ((d >> 11) & 31)) / 2, g = (((n >> 5) & 63) + ((d >> 5) & 63)) / 2,
                 b = ((n & 31) + (d & 31)) / 2;
        return r << 11 | g << 5 | b;
    }
    static uint32_t Channel(uint32_t d, bool zero) {
        uint32_t r = ((d >> 11) & 31) >> 1, g = (d >> 5) & 63, b = (d & 31) >> 1;
        g = zero ? std::min(2 * g, 63u) : std::min(4 * g + 7, 63u);  // (m >> 3) & m is 7 green steps
        return r << 11 | g << 5 | b;
    }
    std::vector<uint32_t> pal16_;
    std::vector<uint16_t> shade16_;
};

TEST_F(Span16, EverySetAgainstItsReference) {
    const uint32_t c = 0x42;
    auto skip = [](const uint8_t* tex, uint32_t i, uint32_t d, uint32_t v) { return tex[i] ? v : d; };
    auto same = [](const uint8_t*, uint32_t, uint32_t d) { return d; };
    const std::vector<Case> cases = {
        {"set 0", T, 0, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t) { return Pal(x[i]); }},
        {"set 0 flat", T | FLAT, kLevel5, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t) { return Sh(5, x[i]); }},
        {"set 0 gouraud", T | G, kLevel5, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t) { return Sh(5, x[i]); }},
        {"set 0 flat level 40", T | FLAT, 40u << 16, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t) { return Sh(40, x[i]); }},
        {"set 1", T | POLY_TRANSPARENT, 0, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t d) { return skip(x, i, d, Pal(x[i])); }},
        {"set 1 gouraud", T | POLY_TRANSPARENT | G, kLevel5, 0, false,
         [&](const uint8_t* x, uint32_t i, uint32_t d) { return skip(x, i, d, Sh(5, x[i])); }},
        {"set 2", T | POLY_JITTER, 0, 0, true, [&](const uint8_t* x, uint32_t i, uint32_t) { return Pal(x[i]); }},
        {"set 3", T | POLY_JITTER | POLY_TRANSPARENT | FLAT, kLevel5, 0, true,
         [&](const uint8_t* x, uint32_t i, uint32_t) { return Sh(5, x[i]); }},
        {"set 4", T | POLY_JITTER | POLY_TRANSLUCENT, 0, 0, true,
         [&](const uint8_t* x, uint32_t i, uint32_t d) { return Dark(x[i] & 31, d); }},
        {"set 5", T | POLY_BLEND, 0, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t d) { return Avg(Pal(x[i]), d); }},
        {"set 6", T | POLY_BLEND | POLY_TRANSPARENT, 0, 0, false,
         [&](const uint8_t* x, uint32_t i, uint32_t d) { return skip(x, i, d, Avg(Pal(x[i]), d)); }},
        {"set 7", T | POLY_TRANSLUCENT, 0, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t d) { return Dark(x[i] & 31, d); }},
        {"set 8", 0, 0, c, false, [&](const uint8_t*, uint32_t, uint32_t) { return Pal(c); }},
        {"set 8 flat", FLAT, kLevel5, c, false, [&](const uint8_t*, uint32_t, uint32_t) { return Sh(5, c); }},
        {"set 8 gouraud", G, kLevel5, c, false, [&](const uint8_t*, uint32_t, uint32_t) { return Sh(5, c); }},
        {"set 9", POLY_DARKEN, kLevel5, c, false, same},
        {"set 9 flat", POLY_DARKEN | FLAT, kLevel5, c, false, [&](const uint8_t*, uint32_t, uint32_t d) { return Dark(5, d); }},
        {"set 9 gouraud", POLY_DARKEN | G, kLevel5, c, false, [&](const uint8_t*, uint32_t, uint32_t d) { return Dark(5, d); }},
        {"set 11", POLY_BLEND, 0, c, false, [&](const uint8_t*, uint32_t, uint32_t d) { return Avg(Pal(c), d); }},
        {"set 12", POLY_TRANSLUCENT, 0, 0x2D, false, [&](const uint8_t*, uint32_t, uint32_t d) { return Dark(0x2D & 31, d); }},
        {"set 13", T | POLY_ALPHA_TEXEL, 0, 0, false, same},
        {"set 14", T | POLY_COPY16, 0, 0, false,
         [](const uint8_t* x, uint32_t i, uint32_t) { return (uint32_t)(x[2 * i] | x[2 * i + 1] << 8); }},
        {"set 15 colour 0", POLY_CHANNEL, 0, 0, false, [](const uint8_t*, uint32_t, uint32_t d) { return Channel(d, true); }},
        {"set 15 colour 5", POLY_CHANNEL, 0, 5, false, [](const uint8_t*, uint32_t, uint32_t d) { return Channel(d, false); }},
        {"set 16", T | POLY_NO_DRAW, 0, 0, false, same},
        {"set 17", T | POLY_ALPHA_COLOUR, 0, 0, false, same},
        {"set 18", T | POLY_MIX, 0, 0, false, same},
        {"set 19", T | POLY_ADD, 0, 0, false, same},
        {"set 20", T | POLY_ADD_SCALED, 0, 0, false, same},
    };
    for (const Case& k : cases) Run(POLY_MODE_16, 2, k);
}

// ---- 32 bits ----

class Span32 : public Span {
protected:
    void SetUp() override {
        Span::SetUp();
        master_.resize(256 * 4);
        for (int i = 0; i < 256; i++) {
            uint32_t rgb = Hash((uint32_t)i + 5) & 0xFFFFFF;
            if (i % 7 == 0) rgb |= 0xFF0000;  // some full channels
            if (i == 0x17) rgb = 0xFF00FF;
            colours_.push_back(rgb);
            master_[i * 4 + 0] = (int16_t)((rgb & 0xFF) * 128);
            master_[i * 4 + 1] = (int16_t)(((rgb >> 8) & 0xFF) * 128);
            master_[i * 4 + 2] = (int16_t)(((rgb >> 16) & 0xFF) * 128);
            master_[i * 4 + 3] = 0;
        }
        pal_DrawTables.master = master_.data();
        poly_SetHazeColourA(0x20, 0x90, 0xE0);
    }
    static uint32_t Ch(uint32_t px, int k) { return (px >> (8 * k)) & 0xFF; }
    static uint32_t Join(const int32_t v[3]) {
        uint32_t out = 0;
        for (int k = 0; k < 3; k++) out |= (uint32_t)std::clamp(v[k], 0, 255) << (8 * k);
        return out;
    }
    // Per channel, with the word arithmetic written out: floor everywhere.
    template <class F>
    static uint32_t PerChannel(F f) {
        int32_t v[3];
        for (int k = 0; k < 3; k++) v[k] = f(k);
        return Join(v);
    }
    static int32_t Hi(int64_t a, int64_t b) { return (int32_t)((a * b) >> 16); }  // high half, rounded down
    // c shaded by I: c x 128 x (I >> 1) >> 16, written >> 6.
    static int32_t Shade(uint32_t c, uint32_t i) { return Hi(c * 128, i >> 1); }
    int32_t HazeWord(int k) const { return (int32_t)Ch(poly_HazeColour, k) * 128; }
    // haze + 2 ((w - haze) x ((0xFFFF - H) >> 1) >> 16)
    int32_t Hazed(int32_t w, int k, uint32_t h) const {
        return HazeWord(k) + 2 * Hi(w - HazeWord(k), (0xFFFF - h) >> 1);
    }
    // d + (x - d) alpha(n), written.
    static uint32_t MixPx(uint32_t x, uint32_t d, uint32_t n) {
        return PerChannel([&](int k) {
            int32_t dw = (int32_t)Ch(d, k) * 128;
            return (dw + 2 * Hi((int32_t)Ch(x, k) * 128 - dw, (int64_t)n * 128)) >> 7;
        });
    }
    uint32_t Colour(uint32_t t) const { return colours_[t]; }
    std::vector<int16_t> master_;
    std::vector<uint32_t> colours_;
};

TEST_F(Span32, EverySetAgainstItsReference) {
    const uint32_t P = 0x80336699, remembered = 0x9080FF40;
    const uint32_t I = 0x8000, H = 0x4080, K = 0x20;
    const uint32_t wI = I << 8, wH = H << 16, wK = K;  // corner colour words
    const uint32_t wHI = (0x40u << 24) | wI;          // haze amount 0x40 with I = 0x8000: H = 0x4080
    auto skip = [](const uint8_t* tex, uint32_t i, uint32_t d, uint32_t v) { return tex[i] ? v : d; };
    auto same = [](const uint8_t*, uint32_t, uint32_t d) { return d; };
    auto shaded = [&](uint32_t c, uint32_t i) { return PerChannel([&](int k) { return Shade(Ch(c, k), i) >> 6; }); };
    auto hazed = [&](uint32_t c, uint32_t i, uint32_t h) {
        return PerChannel([&](int k) { return Hazed(2 * Shade(Ch(c, k), i), k, h) >> 7; });
    };
    auto lit = [&](uint32_t c, uint32_t i, uint32_t kk) {
        return PerChannel([&](int k) { return std::min(2 * Shade(Ch(c, k), i) + (int32_t)(kk << 8 >> 1), 32767) >> 7; });
    };
    auto both = [&](uint32_t c, uint32_t i, uint32_t h, uint32_t kk) {
        return PerChannel([&](int k) {
            return Hazed(std::min(2 * Shade(Ch(c, k), i) + (int32_t)(kk << 8 >> 1), 32767), k, h) >> 7;
        });
    };
    (void)wH;
    const std::vector<Case> cases = {
        {"set 0", T, 0, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t) { return Colour(x[i]); }},
        {"set 0 flat", T | FLAT, kLevel5, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t) { return shaded(Colour(x[i]), 0x500); }},
        {"set 0 gouraud", T | G, wI, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t) { return shaded(Colour(x[i]), I); }},
        {"set 0 haze", T | G, wHI, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t) { return hazed(Colour(x[i]), I, H); }},
        {"set 0 highlight", T | G, wI | wK, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t) { return lit(Colour(x[i]), I, K); }},
        {"set 0 both", T | G, wHI | wK, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t) { return both(Colour(x[i]), I, H, K); }},
        {"set 1", T | POLY_TRANSPARENT, 0, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t d) { return skip(x, i, d, Colour(x[i])); }},
        // Transparent: haze and highlight are not drawn.
        {"set 1 both", T | POLY_TRANSPARENT | G, wHI | wK, 0, false,
         [&](const uint8_t* x, uint32_t i, uint32_t d) { return skip(x, i, d, shaded(Colour(x[i]), I)); }},
        {"set 2 gouraud", T | POLY_JITTER | G, wI, 0, true, [&](const uint8_t* x, uint32_t i, uint32_t) { return shaded(Colour(x[i]), I); }},
        {"set 2 haze", T | POLY_JITTER | G, wHI, 0, true, [&](const uint8_t* x, uint32_t i, uint32_t) { return hazed(Colour(x[i]), I, H); }},
        {"set 2 plain", T | POLY_JITTER, 0, 0, true, [&](const uint8_t* x, uint32_t i, uint32_t) { return Colour(x[i]); }},
        {"set 4", T | POLY_JITTER | POLY_TRANSLUCENT, 0, 0, true,
         [&](const uint8_t* x, uint32_t i, uint32_t d) { return MixPx(remembered, d, x[i]); }},
        {"set 7", T | POLY_TRANSLUCENT, 0, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t d) { return MixPx(remembered, d, x[i]); }},
        {"set 7 flat", T | POLY_TRANSLUCENT | FLAT, kLevel5, 0, false,
         [&](const uint8_t* x, uint32_t i, uint32_t d) { return skip(x, i, d, MixPx(remembered, 0, x[i])); }},
        {"set 5", T | POLY_BLEND, 0, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t d) { return MixPx(Colour(x[i]), d, 128); }},
        {"set 6", T | POLY_BLEND | POLY_TRANSPARENT, 0, 0, false,
         [&](const uint8_t* x, uint32_t i, uint32_t d) { return skip(x, i, d, MixPx(Colour(x[i]), d, 128)); }},
        {"set 8", 0, 0, 0x00336699, false, [](const uint8_t*, uint32_t, uint32_t) { return 0x00336699u; }},
        {"set 8 gouraud", G, wHI, 0x00336699, false, [&](const uint8_t*, uint32_t, uint32_t) { return hazed(0x336699, I, H); }},
        {"set 9", POLY_DARKEN, 0, P, false, same},
        {"set 9 flat", POLY_DARKEN | FLAT, kLevel5, P, false, [&](const uint8_t*, uint32_t, uint32_t d) { return MixPx(P, d, P >> 24); }},
        {"set 9 gouraud", POLY_DARKEN | G, 0x000000F0, P, false,
         [&](const uint8_t*, uint32_t, uint32_t d) {
             return PerChannel([&](int k) { return std::min((int32_t)Ch(d, k) * 128 + (0xF000 >> 1), 32767) >> 7; });
         }},
        {"set 11", POLY_BLEND, 0, P, false, [&](const uint8_t*, uint32_t, uint32_t d) { return MixPx(P, d, 128); }},
        {"set 12", POLY_TRANSLUCENT, 0, 0x99AABBCC, false, [&](const uint8_t*, uint32_t, uint32_t d) { return MixPx(remembered, d, remembered >> 24); }},
        {"set 13", T | POLY_ALPHA_TEXEL, 0, 0, false,
         [&](const uint8_t* x, uint32_t i, uint32_t d) { return x[2 * i + 1] ? MixPx(Colour(x[2 * i]), d, x[2 * i + 1]) : d; }},
        {"set 14", T | POLY_COPY16, 0, 0, false, same},
        {"set 15", POLY_CHANNEL, 0, 1, false, same},
        {"set 16", T | POLY_NO_DRAW, 0, 0, false, same},
        {"set 17", T | POLY_ALPHA_COLOUR, 0, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t d) { return MixPx(remembered, d, x[i]); }},
        {"set 18", T | POLY_MIX, 0, 0, false,
         [&](const uint8_t* x, uint32_t i, uint32_t d) { return skip(x, i, d, MixPx(Colour(x[i]), d, remembered & 0xFF)); }},
        {"set 19", T | POLY_ADD, 0, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t d) {
             return skip(x, i, d, PerChannel([&](int k) { return (int32_t)std::min(Ch(Colour(x[i]), k) + Ch(d, k), 255u); }));
         }},
        {"set 20", T | POLY_ADD_SCALED, 0, 0, false, [&](const uint8_t* x, uint32_t i, uint32_t d) {
             const uint32_t level = remembered & 0xFF;
             return skip(x, i, d, PerChannel([&](int k) {
                 return (int32_t)(std::min(Ch(d, k) * 256 + 2 * ((Ch(Colour(x[i]), k) * level) >> 2), 65535u) >> 8);
             }));
         }},
    };
    for (const Case& k : cases) {
        // The translucent and effect sets read the remembered word; the
        // others remember their fifth argument.
        poly_SpanState.rememberedWord = remembered;
        Run(POLY_MODE_32, 4, k);
    }
}

// The figures the lane arithmetic must give.
TEST_F(Span32, ChannelFigures) {
    const uint32_t white = 0x17;  // colour 0xFF00FF
    std::fill(texture_.begin(), texture_.begin() + 256, white);
    auto first = [&](uint32_t flags, uint32_t shade) {
        Surface s(kW, kH, 4);
        poly_SetPixelMode(POLY_MODE_32);
        PolyVertex a = V(0, 0, 0, 0, shade), b = V(8 * 128, 0, 0, 0, shade), c = V(0, 8 * 128, 0, 0, shade);
        poly_DrawPolygonTex(&a, &b, &c, s.base, (uintptr_t)texture_.data(), flags);
        return s.Get(1, 1);
    };
    EXPECT_EQ(first(T | G, 0x00FFFF00) >> 16, 254u);  // 255 at 0xFFFF
    EXPECT_EQ(first(T | G, 0x00800000) >> 16, 127u);  // 255 at 0x8000
    EXPECT_EQ(first(T | POLY_BLEND, 0) >> 16, 127u);  // 255 over 0
    EXPECT_EQ(first(T | POLY_BLEND | POLY_TRANSPARENT, 0) >> 16, 127u);
    // Set 13: an alpha byte of 0 leaves the destination.
    std::fill(texture_.begin(), texture_.end(), 0);
    for (size_t i = 0; i < texture_.size(); i += 2) texture_[i] = white;
    EXPECT_EQ(first(T | POLY_ALPHA_TEXEL, 0), 0u);
}

// Set 2 at 32 bits: the four texels around the sample, mixed by the u and
// then the v fraction; the next column and row wrap inside the texture.
TEST_F(Span32, BilinearFilter) {
    std::vector<uint8_t> tex(16 * 16, 0);
    // Colours 0 (black) and 0x17 (0xFF00FF) in a 2 x 2 block at the texture's
    // right and bottom edge, wrapping to column 0 and row 0.
    tex[15 * 16 + 15] = 0x17;  // (15, 15)
    tex[15 * 16 + 0] = 0x17;   // (0, 15)
    tex[0 * 16 + 15] = 0;      // (15, 0)
    tex[0] = 0x17;             // (0, 0)
    std::vector<uint32_t> row(8, 0xDEADBEEF);
    SpanParams p{};
    p.dest = reinterpret_cast<uint8_t*>(row.data() + 2);
    p.count = 1;
    p.texture = tex.data();
    p.su = p.sv = 4;
    // Colour 0 black, colour 0x17 0xFF00FF.
    std::vector<int16_t> master(256 * 4, 0);
    master[0x17 * 4 + 0] = master[0x17 * 4 + 2] = 0xFF * 128;
    p.master = reinterpret_cast<const int16_t(*)[4]>(master.data());
    // Column 15 and row 15, each a quarter of the way to the next.
    p.u = (15u << 28) | (1u << 26);
    p.v = (15u << 28) | (1u << 26);
    span_Table32.sets[2].pairs[0].loop(p);
    // Red: top row 0xFF -> 0xFF stays 0xFF x 128; bottom row 0 -> 0xFF at
    // a quarter: 2 x ((0xFF x 128 x 0x2000) >> 16) = 8160; then a quarter of
    // the way from top to bottom.
    const int32_t top = 0xFF * 128, bottom = 2 * ((0xFF * 128 * 0x2000) >> 16);
    const int32_t red = (top + 2 * (((bottom - top) * 0x2000) >> 16)) >> 7;
    EXPECT_EQ(row[2] >> 16, (uint32_t)red);
    EXPECT_EQ(row[2] & 0xFF, (uint32_t)red);  // blue likewise
    EXPECT_EQ(row[1], 0xDEADBEEFu);
    EXPECT_EQ(row[3], 0xDEADBEEFu);
}

// At 32 bits the highlight cancels the jitter flag: drawn as without it.
TEST_F(Span32, HighlightCancelsTheFilter) {
    for (size_t i = 0; i < 256; i++) texture_[i] = (uint8_t)(i * 5 + 1);
    auto draw = [&](uint32_t flags, uint32_t shade) {
        Surface s(kW, kH, 4);
        poly_SetPixelMode(POLY_MODE_32);
        PolyVertex a = V(0, 0, 100, 300, shade), b = V(19 * 128, 0, 19 * 2000, 900, shade),
                   c = V(0, 6 * 128, 200, 6 * 2000, shade);
        poly_DrawPolygonTex(&a, &b, &c, s.base, (uintptr_t)texture_.data(), flags);
        return s.Pixels();
    };
    EXPECT_EQ(draw(T | G | POLY_JITTER, 0x00C00010), draw(T | G, 0x00C00010));
    EXPECT_NE(draw(T | G | POLY_JITTER, 0x00C00000), draw(T | G, 0x00C00000));
}

// ---- Smear, every depth ----

// The smear reads one pixel left and two right of each pixel it writes: it
// keeps two pixels inside the clip edges and never reads outside the clip
// rectangle (where a marker value waits).
TEST_F(Span, SmearNeverReadsOutsideTheClip) {
    for (auto [mode, bpp] : {std::pair{POLY_MODE_8, 1}, {POLY_MODE_16, 2}, {POLY_MODE_32, 4}}) {
        SCOPED_TRACE(testing::Message() << "mode " << mode);
        const uint32_t marker = bpp == 1 ? 0xEE : bpp == 2 ? 0xEEEE : 0x00EEEEEE;
        for (int iter = 0; iter < 20; iter++) {
            Surface s(24, 10, bpp);
            std::vector<uint32_t> original(24 * 10);
            for (int y = 0; y < 10; y++)
                for (int x = 0; x < 24; x++) {
                    const bool in = x >= 4 && x < 20 && y >= 2 && y < 8;
                    uint32_t v = in ? (uint32_t)(x + 1) : marker;  // the column, inside
                    s.Set(x, y, v);
                    original[y * 24 + x] = v;
                }
            s.Clip(4, 2, 20, 8);
            poly_SetPixelMode(mode);
            PolyVertex a = V(-2000, -2000), b = V(9000, -1000), c = V(-1000, 9000), d = V(9000, 9000);
            poly_DrawPolygonTex(&a, &b, &c, s.base, 0, POLY_SMEAR);
            poly_DrawPolygonTex(&b, &d, &c, s.base, 0, POLY_SMEAR);
            int changed = 0;
            for (int y = 0; y < 10; y++)
                for (int x = 0; x < 24; x++) {
                    const uint32_t v = s.Get(x, y);
                    if (x >= 6 && x < 18 && y >= 2 && y < 8) {
                        // Taken from the span's row, from one left of its
                        // start up to two right of the pixel: never the marker.
                        ASSERT_NE(v, marker) << x << "," << y;
                        ASSERT_GE(v, 6u) << x << "," << y;
                        ASSERT_LE(v, (uint32_t)x + 3) << x << "," << y;
                        changed += v != original[y * 24 + x];
                    } else {
                        ASSERT_EQ(v, original[y * 24 + x]) << x << "," << y;
                    }
                }
            EXPECT_GT(changed, 0);
            EXPECT_TRUE(s.GuardsIntact());
        }
    }
}

}  // namespace
