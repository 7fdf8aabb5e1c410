// Span loops of the 16-bit table (mode 3). The 8-bit art goes through the
// high-colour tables: a texel becomes its palette pixel, shading reads the
// current light or haze table at level x 256 + texel, darkening works on the
// destination pixel through the two byte tables of the pixel shade table, and
// blending is the exact average of two pixels.
#include <algorithm>

#include "display/pal.h"
#include "display/pal_hicolor.h"
#include "display/rast.h"
#include "display/span.h"

int32_t span_Setup16(SpanParams& p, uint32_t needs) {
    if (span_SetupTexture(p, needs) != 0) return -1;
    PolySpanState& st = poly_SpanState;
    // The tables of the current palette reference; without one, the
    // screen's own palette pixels.
    const void* master = pal_DrawTables.master ? pal_DrawTables.master : (const void*)pal_Hc.palette16;
    const uint32_t mask = pal_Hc.blendMask1 & 0xFFFF;
    if (master != st.loadedMaster || pal_DrawTables.shade16 != st.loadedShade16 || mask != st.loadedMask16) {
        st.loadedMaster = master;
        st.loadedShade16 = pal_DrawTables.shade16;
        st.loadedMask16 = mask;
    }
    p.pal16 = static_cast<const uint32_t*>(st.loadedMaster);
    p.shade16 = st.loadedShade16;
    p.mask16 = st.loadedMask16;
    // The night-sight channel of set 15.
    p.channelMask16 = (uint32_t)pal_Hc.channels[1].mask & 0xFFFF;
    if ((needs & SPAN_NEEDS_SHADE16) && !p.shade16) return -1;
    return 0;
}

namespace {

// Pixel p at shade level k (0-31) by the two byte tables.
inline uint16_t ShadePixel(uint32_t k, uint16_t p) {
    const auto& row = pal_Hc.shade[k];
    return (uint16_t)(row[p & 0xFF][0] + row[p >> 8][1]);
}

// Exact average: halves without carries between channels, plus the bit
// both lose.
inline uint16_t Average(uint32_t n, uint32_t d, uint32_t m) {
    return (uint16_t)(((d & m) >> 1) + ((n & m) >> 1) + (d & n & ~m & 0xFFFF));
}

struct Op16 : SpanOpBase {
    static constexpr int kBytes = 2;
};

template <bool Skip0>
struct TexPal : Op16 {
    static constexpr bool kRedraw = true;
    const uint32_t* pal;
    explicit TexPal(const SpanParams& p) : pal(p.pal16) {}
    void Pixel(uint8_t* d, const uint8_t* tex, uint32_t idx) {
        uint8_t t = tex[idx];
        if (Skip0 && !t) return;
        span_Store16(d, (uint16_t)pal[t]);
    }
};

// Light or haze table at level x 256 + texel; the level kept to 6 bits.
template <bool Skip0>
struct TexShadeFlat : Op16 {
    static constexpr bool kRedraw = true;
    const uint16_t* row;
    explicit TexShadeFlat(const SpanParams& p) : row(p.shade16 + (p.level & 63) * 256) {}
    void Pixel(uint8_t* d, const uint8_t* tex, uint32_t idx) {
        uint8_t t = tex[idx];
        if (Skip0 && !t) return;
        span_Store16(d, row[t]);
    }
};

template <bool Skip0>
struct TexShadeGouraud : SpanGouraud {
    static constexpr bool kRedraw = true;
    static constexpr int kBytes = 2;
    const uint16_t* shade;
    explicit TexShadeGouraud(const SpanParams& p) : SpanGouraud(p), shade(p.shade16) {}
    uint32_t Row(uint32_t level) const { return (level & 63) * 256; }
    SpanU32x4 Rows(SpanU32x4 level) const { return (level & 63) << 8; }
    void PixelAt(uint8_t* d, const uint8_t* tex, uint32_t idx, uint32_t row) {
        uint8_t t = tex[idx];
        if (Skip0 && !t) return;
        span_Store16(d, shade[row + t]);
    }
};

// Translucent: the destination darkened at level t (0-31).
struct TexTranslucent : Op16 {
    explicit TexTranslucent(const SpanParams&) {}
    void Pixel(uint8_t* d, const uint8_t* tex, uint32_t idx) {
        span_Store16(d, ShadePixel(tex[idx] & 31u, span_Load16(d)));
    }
};

template <bool Skip0>
struct TexBlend : Op16 {
    const uint32_t* pal;
    uint32_t mask;
    explicit TexBlend(const SpanParams& p) : pal(p.pal16), mask(p.mask16) {}
    void Pixel(uint8_t* d, const uint8_t* tex, uint32_t idx) {
        uint8_t t = tex[idx];
        if (Skip0 && !t) return;
        span_Store16(d, Average(pal[t] & 0xFFFF, span_Load16(d), mask));
    }
};

// Set 14: the texture holds surface pixels, two bytes (little-endian) a texel.
struct TexCopy16 : Op16 {
    static constexpr bool kRedraw = true;
    explicit TexCopy16(const SpanParams&) {}
    void Pixel(uint8_t* d, const uint8_t* tex, uint32_t idx) {
        const uint8_t* s = tex + (size_t)idx * 2;
        span_Store16(d, (uint16_t)(s[0] | s[1] << 8));
    }
};

// Untextured: one pixel worked out at set-up (the palette pixel of the
// colour, or its light-table entry at the flat level).
enum { kFillPlain, kFillShaded };
template <int Kind>
void LoopFill16(SpanParams& p) {
    const uint16_t value = Kind == kFillPlain ? (uint16_t)p.pal16[p.colour & 0xFF]
                                              : p.shade16[(p.level & 63) * 256 + (p.colour & 0xFF)];
    uint8_t* d = p.dest;
    for (int32_t n = p.count; n > 0; n--, d += 2) span_Store16(d, value);
}

struct FlatShadeGouraud : SpanGouraud {
    static constexpr bool kRedraw = true;
    static constexpr int kBytes = 2;
    const uint16_t* shade;
    uint32_t colour;
    explicit FlatShadeGouraud(const SpanParams& p) : SpanGouraud(p), shade(p.shade16), colour(p.colour & 0xFF) {}
    uint32_t Row(uint32_t level) const { return (level & 63) * 256 + colour; }
    SpanU32x4 Rows(SpanU32x4 level) const { return ((level & 63) << 8) + colour; }
    void PixelAt(uint8_t* d, uint32_t row) { span_Store16(d, shade[row]); }
};

// Darken the destination at a fixed level: L & 31 (set 9 flat), c & 31
// (set 12).
enum { kDarkenLevel, kDarkenColour };
template <int Kind>
struct FlatDarken : Op16 {
    uint32_t level;
    explicit FlatDarken(const SpanParams& p) : level(Kind == kDarkenLevel ? p.level & 31 : p.colour & 31) {}
    void Pixel(uint8_t* d) {
        span_Store16(d, ShadePixel(level, span_Load16(d)));
    }
};

// Set 9 Gouraud: the destination darkened at the dithered level (31 at most:
// the pixel shade table has 32 levels).
struct FlatDarkenGouraud : SpanGouraud {
    static constexpr int kBytes = 2;
    explicit FlatDarkenGouraud(const SpanParams& p) : SpanGouraud(p) {}
    uint32_t Row(uint32_t level) const { return std::min(level, 31u); }
    SpanU32x4 Rows(SpanU32x4 level) const { return span_Min4(level, 31); }
    void PixelAt(uint8_t* d, uint32_t k) {
        span_Store16(d, ShadePixel(k, span_Load16(d)));
    }
};

struct FlatBlend : Op16 {
    uint32_t colour, mask;
    explicit FlatBlend(const SpanParams& p) : colour(p.pal16[p.colour & 0xFF] & 0xFFFF), mask(p.mask16) {}
    void Pixel(uint8_t* d) {
        span_Store16(d, Average(colour, span_Load16(d), mask));
    }
};

// Set 15: the channel under m brightened (min(2c, m) for flat colour 0,
// else min(4c + ((m >> 3) & m), m)), the other channels halved.
struct FlatChannel : Op16 {
    uint32_t m, others, boost;
    bool doubleOnly;
    explicit FlatChannel(const SpanParams& p)
        : m(p.channelMask16), others(p.mask16 & ~p.channelMask16 & 0xFFFF), boost((p.channelMask16 >> 3) & p.channelMask16),
          doubleOnly((p.colour & 0xFF) == 0) {}
    void Pixel(uint8_t* d) {
        const uint32_t px = span_Load16(d);
        uint32_t c = px & m;
        uint32_t lit = doubleOnly ? std::min(2 * c, m) : std::min(4 * c + boost, m);
        span_Store16(d, (uint16_t)(((px & others) >> 1 & ~m) | lit));
    }
};

// ---- The table ----

constexpr SpanSetupFn kSetup = span_Setup16;
constexpr uint32_t kShade = SPAN_NEEDS_SHADE16;

template <SpanLoopFn L0, uint32_t N0, SpanLoopFn L1, uint32_t N1, SpanLoopFn L2, uint32_t N2>
constexpr SpanSet TexSet = {kSetup,
                            {span_Pair<2, 0, true, 0, L0>(N0), span_Pair<2, 0, true, 0, L1>(N1),
                             span_Pair<2, 0, true, 1, L2>(N2), span_Pair<2, 0, true, 1, L2>(N2),
                             span_Pair<2, 0, true, 1, L2>(N2), span_Pair<2, 0, true, 1, L2>(N2)}};
// Untextured; Margin 2 for the smear.
template <SpanLoopFn L0, uint32_t N0, SpanLoopFn L1, uint32_t N1, SpanLoopFn L2, uint32_t N2, int Margin = 0>
constexpr SpanSet FlatSet = {kSetup,
                             {span_Pair<2, Margin, false, 0, L0>(N0), span_Pair<2, Margin, false, 0, L1>(N1),
                              span_Pair<2, Margin, false, 1, L2>(N2), span_Pair<2, Margin, false, 1, L2>(N2),
                              span_Pair<2, Margin, false, 1, L2>(N2), span_Pair<2, Margin, false, 1, L2>(N2)}};
template <SpanLoopFn L, bool Textured>
constexpr SpanSet SameSet = Textured ? TexSet<L, 0, L, 0, L, 0> : FlatSet<L, 0, L, 0, L, 0>;

template <template <bool> class Op, bool Skip0, bool Jitter>
constexpr SpanLoopFn Tex = span_LoopTex<Op<Skip0>, Jitter>;

constexpr SpanSet kSet0 = TexSet<Tex<TexPal, false, false>, 0, Tex<TexShadeFlat, false, false>, kShade,
                                 Tex<TexShadeGouraud, false, false>, kShade>;
constexpr SpanSet kSet1 = TexSet<Tex<TexPal, true, false>, 0, Tex<TexShadeFlat, true, false>, kShade,
                                 Tex<TexShadeGouraud, true, false>, kShade>;
constexpr SpanSet kSet2 = TexSet<Tex<TexPal, false, true>, 0, Tex<TexShadeFlat, false, true>, kShade,
                                 Tex<TexShadeGouraud, false, true>, kShade>;
constexpr SpanSet kSet3 = TexSet<Tex<TexPal, true, true>, 0, Tex<TexShadeFlat, true, true>, kShade,
                                 Tex<TexShadeGouraud, true, true>, kShade>;
constexpr SpanSet kSet4 = SameSet<span_LoopTex<TexTranslucent, true>, true>;
constexpr SpanSet kSet5 = SameSet<Tex<TexBlend, false, false>, true>;
constexpr SpanSet kSet6 = SameSet<Tex<TexBlend, true, false>, true>;
constexpr SpanSet kSet7 = SameSet<span_LoopTex<TexTranslucent, false>, true>;
constexpr SpanSet kSet8 = FlatSet<LoopFill16<kFillPlain>, 0, LoopFill16<kFillShaded>, kShade,
                                  span_LoopFlat<FlatShadeGouraud>, kShade>;
constexpr SpanSet kSet9 = FlatSet<nullptr, 0, span_LoopFlat<FlatDarken<kDarkenLevel>>, 0,
                                  span_LoopFlat<FlatDarkenGouraud>, 0>;
constexpr SpanLoopFn kSmear = span_LoopSmear<uint16_t>;
constexpr SpanSet kSet10 = FlatSet<kSmear, 0, kSmear, 0, kSmear, 0, 2>;
constexpr SpanSet kSet11 = SameSet<span_LoopFlat<FlatBlend>, false>;
constexpr SpanSet kSet12 = SameSet<span_LoopFlat<FlatDarken<kDarkenColour>>, false>;
constexpr SpanSet kNothing = SameSet<nullptr, true>;
constexpr SpanSet kSet14 = SameSet<span_LoopTex<TexCopy16, false>, true>;
constexpr SpanSet kSet15 = SameSet<span_LoopFlat<FlatChannel>, false>;

constexpr SpanSet kTable16[21] = {kSet0,  kSet1,  kSet2,    kSet3,  kSet4,    kSet5,    kSet6,
                                  kSet7,  kSet8,  kSet9,    kSet10, kSet11,   kSet12,   kNothing,
                                  kSet14, kSet15, kNothing, kNothing, kNothing, kNothing, kNothing};

}  // namespace

const SpanTable span_Table16 = {kTable16, 21, 2};
