// Span loops of the 8-bit tables (modes 1 and 2) and the set-up shared by
// every table.
#include "display/span.h"

#include <algorithm>

#include "display/dsurf.h"
#include "display/rast.h"

int32_t span_SetupTexture(SpanParams& p, uint32_t needs) {
    PolySpanState& st = poly_SpanState;
    if ((needs & SPAN_NEEDS_TEXTURE) && !p.texture) return -1;
    const int32_t su = std::clamp(st.textureShiftU, 0, 16);
    const int32_t sv = std::clamp(st.textureShiftV, 0, 16);
    const int32_t lo = st.levelOffset;
    p.su = su;
    p.sv = sv;
    p.index.Set(su, sv);
    p.uLanes = SpanU32x4{0, p.dudx, 2 * p.dudx, 3 * p.dudx};
    p.vLanes = SpanU32x4{0, p.dvdx, 2 * p.dvdx, 3 * p.dvdx};
    if (su != st.loadedShiftU || sv != st.loadedShiftV || lo != st.loadedLevelOffset) {
        // The jitter walks 2^levelOffset texels: its step and the bits it
        // keeps come from su less the level offset.
        const int32_t e = std::clamp(su - std::max(lo, 0), 0, 24);
        st.jitterStep = 0xA3u << (24 - e);
        st.jitterMask = (uint32_t)((1ull << (32 - e)) - 1);
        st.loadedShiftU = su;
        st.loadedShiftV = sv;
        st.loadedLevelOffset = lo;
    }
    p.jitterStep = st.jitterStep;
    p.jitterMask = st.jitterMask;
    return 0;
}

int32_t span_Setup8(SpanParams& p, uint32_t needs) {
    if (span_SetupTexture(p, needs) != 0) return -1;
    const PolySpanState& st = poly_SpanState;
    p.shade = st.shadeTable;
    p.shadeMaxRow = std::clamp(st.shadeRows, 1, 256) - 1;
    p.translucency = draw_Context.shadeTable;
    p.blend = st.blendTable;
    if ((needs & SPAN_NEEDS_SHADE) && !p.shade) return -1;
    if ((needs & SPAN_NEEDS_TRANSLUCENCY) && !p.translucency) return -1;
    if ((needs & SPAN_NEEDS_BLEND) && !p.blend) return -1;
    return 0;
}

namespace {

// ---- Textured operations (S = span shade table, T = translucency table,
// B = blend table; t = texel, d = destination) ----

// t
template <bool Skip0>
struct TexCopy : SpanOpBase {
    static constexpr bool kRedraw = true;
    static constexpr int kBytes = 1;
    explicit TexCopy(const SpanParams&) {}
    void Pixel(uint8_t* d, const uint8_t* tex, uint32_t idx) {
        uint8_t t = tex[idx];
        if (Skip0 && !t) return;
        *d = t;
    }
};

// S[L][t]
template <bool Skip0>
struct TexShadeFlat : SpanOpBase {
    static constexpr bool kRedraw = true;
    static constexpr int kBytes = 1;
    const uint8_t* row;
    explicit TexShadeFlat(const SpanParams& p) : row(p.shade + std::min(p.level, p.shadeMaxRow) * 256) {}
    void Pixel(uint8_t* d, const uint8_t* tex, uint32_t idx) {
        uint8_t t = tex[idx];
        if (Skip0 && !t) return;
        *d = row[t];
    }
};

// S[L(x)][t]
template <bool Skip0>
struct TexShadeGouraud : SpanGouraud {
    static constexpr bool kRedraw = true;
    static constexpr int kBytes = 1;
    const uint8_t* shade;
    uint32_t maxRow;
    explicit TexShadeGouraud(const SpanParams& p) : SpanGouraud(p), shade(p.shade), maxRow((uint32_t)p.shadeMaxRow) {}
    uint32_t Row(uint32_t level) const { return std::min(level, maxRow) * 256; }
    SpanU32x4 Rows(SpanU32x4 level) const { return span_Min4(level, maxRow) << 8; }
    void PixelAt(uint8_t* d, const uint8_t* tex, uint32_t idx, uint32_t row) {
        uint8_t t = tex[idx];
        if (Skip0 && !t) return;
        *d = shade[row + t];
    }
};

// T[t][d]: T has 32 rows, the texel is a level 0-31.
struct TexTranslucent : SpanOpBase {
    static constexpr int kBytes = 1;
    const uint8_t* table;
    explicit TexTranslucent(const SpanParams& p) : table(p.translucency) {}
    void Pixel(uint8_t* d, const uint8_t* tex, uint32_t idx) { *d = table[(tex[idx] & 31u) * 256 + *d]; }
};

// B[t][d]
template <bool Skip0>
struct TexBlend : SpanOpBase {
    static constexpr int kBytes = 1;
    const uint8_t* table;
    explicit TexBlend(const SpanParams& p) : table(p.blend) {}
    void Pixel(uint8_t* d, const uint8_t* tex, uint32_t idx) {
        uint8_t t = tex[idx];
        if (Skip0 && !t) return;
        *d = table[t * 256u + *d];
    }
};

// ---- Untextured operations (c = flat colour) ----

// c, also the pre-shaded flat colour: a run of one byte.
void LoopFill8(SpanParams& p) {
    std::fill_n(p.dest, p.count, (uint8_t)p.colour);
}

// S[L(x)][c]
struct FlatShadeGouraud : SpanGouraud {
    static constexpr bool kRedraw = true;
    static constexpr int kBytes = 1;
    const uint8_t* shade;
    uint32_t maxRow, colour;
    explicit FlatShadeGouraud(const SpanParams& p)
        : SpanGouraud(p), shade(p.shade), maxRow((uint32_t)p.shadeMaxRow), colour(p.colour & 0xFF) {}
    uint32_t Row(uint32_t level) const { return std::min(level, maxRow) * 256 + colour; }
    SpanU32x4 Rows(SpanU32x4 level) const { return (span_Min4(level, maxRow) << 8) + colour; }
    void PixelAt(uint8_t* d, uint32_t row) { *d = shade[row]; }
};

// One 256-byte row indexed by the destination: T[L & 31][d] (darken),
// B[c][d] (blend), T[c & 31][d] (translucent).
enum { kMapDarken, kMapBlend, kMapTranslucent };
template <int Kind>
struct FlatMapDest : SpanOpBase {
    static constexpr int kBytes = 1;
    const uint8_t* row;
    explicit FlatMapDest(const SpanParams& p)
        : row(Kind == kMapDarken ? p.translucency + (p.level & 31) * 256
              : Kind == kMapBlend ? p.blend + (p.colour & 0xFF) * 256
                                  : p.translucency + (p.colour & 31) * 256) {}
    void Pixel(uint8_t* d) { *d = row[*d]; }
};

// S[L(x)][d]
struct FlatDarkenGouraud : SpanGouraud {
    static constexpr int kBytes = 1;
    const uint8_t* shade;
    uint32_t maxRow;
    explicit FlatDarkenGouraud(const SpanParams& p) : SpanGouraud(p), shade(p.shade), maxRow((uint32_t)p.shadeMaxRow) {}
    uint32_t Row(uint32_t level) const { return std::min(level, maxRow) * 256; }
    SpanU32x4 Rows(SpanU32x4 level) const { return span_Min4(level, maxRow) << 8; }
    void PixelAt(uint8_t* d, uint32_t row) { *d = shade[row + *d]; }
};

// ---- The tables ----

constexpr SpanSetupFn kSetup = span_Setup8;
constexpr uint32_t kShade = SPAN_NEEDS_SHADE, kTrans = SPAN_NEEDS_TRANSLUCENCY, kBlend = SPAN_NEEDS_BLEND;

// A textured set: unshaded, flat and Gouraud loops.
template <SpanLoopFn L0, uint32_t N0, SpanLoopFn L1, uint32_t N1, SpanLoopFn L2, uint32_t N2>
constexpr SpanSet TexSet = {kSetup,
                            {span_Pair<1, 0, true, 0, L0>(N0), span_Pair<1, 0, true, 0, L1>(N1),
                             span_Pair<1, 0, true, 1, L2>(N2), span_Pair<1, 0, true, 1, L2>(N2),
                             span_Pair<1, 0, true, 1, L2>(N2), span_Pair<1, 0, true, 1, L2>(N2)}};
// Untextured; Margin 2 for the smear.
template <SpanLoopFn L0, uint32_t N0, SpanLoopFn L1, uint32_t N1, SpanLoopFn L2, uint32_t N2, int Margin = 0>
constexpr SpanSet FlatSet = {kSetup,
                             {span_Pair<1, Margin, false, 0, L0>(N0), span_Pair<1, Margin, false, 0, L1>(N1),
                              span_Pair<1, Margin, false, 1, L2>(N2), span_Pair<1, Margin, false, 1, L2>(N2),
                              span_Pair<1, Margin, false, 1, L2>(N2), span_Pair<1, Margin, false, 1, L2>(N2)}};

template <template <bool> class Op, bool Skip0, bool Jitter>
constexpr SpanLoopFn Tex = span_LoopTex<Op<Skip0>, Jitter>;

constexpr SpanSet kSet0 = TexSet<Tex<TexCopy, false, false>, 0, Tex<TexShadeFlat, false, false>, kShade,
                                 Tex<TexShadeGouraud, false, false>, kShade>;
constexpr SpanSet kSet1 = TexSet<Tex<TexCopy, true, false>, 0, Tex<TexShadeFlat, true, false>, kShade,
                                 Tex<TexShadeGouraud, true, false>, kShade>;
constexpr SpanSet kSet2 = TexSet<Tex<TexCopy, false, true>, 0, Tex<TexShadeFlat, false, true>, kShade,
                                 Tex<TexShadeGouraud, false, true>, kShade>;
constexpr SpanSet kSet3 = TexSet<Tex<TexCopy, true, true>, 0, Tex<TexShadeFlat, true, true>, kShade,
                                 Tex<TexShadeGouraud, true, true>, kShade>;
constexpr SpanLoopFn kTransJ = span_LoopTex<TexTranslucent, true>;
constexpr SpanLoopFn kTrans0 = span_LoopTex<TexTranslucent, false>;
constexpr SpanSet kSet4 = TexSet<kTransJ, kTrans, kTransJ, kTrans, kTransJ, kTrans>;
constexpr SpanLoopFn kBlend5 = Tex<TexBlend, false, false>;
constexpr SpanLoopFn kBlend6 = Tex<TexBlend, true, false>;
constexpr SpanSet kSet5 = TexSet<kBlend5, kBlend, kBlend5, kBlend, kBlend5, kBlend>;
constexpr SpanSet kSet6 = TexSet<kBlend6, kBlend, kBlend6, kBlend, kBlend6, kBlend>;
constexpr SpanSet kSet7 = TexSet<kTrans0, kTrans, kTrans0, kTrans, kTrans0, kTrans>;
// Flat shade: the colour was looked up in S at set-up.
constexpr SpanSet kSet8 = FlatSet<LoopFill8, 0, LoopFill8, kShade, span_LoopFlat<FlatShadeGouraud>, kShade>;
constexpr SpanSet kSet9 = FlatSet<nullptr, 0, span_LoopFlat<FlatMapDest<kMapDarken>>, kTrans,
                                  span_LoopFlat<FlatDarkenGouraud>, kShade>;
constexpr SpanLoopFn kSmear = span_LoopSmear<uint8_t>;
constexpr SpanSet kSet10 = FlatSet<kSmear, 0, kSmear, 0, kSmear, 0, 2>;
constexpr SpanLoopFn kMapB = span_LoopFlat<FlatMapDest<kMapBlend>>;
constexpr SpanSet kSet11 = FlatSet<kMapB, kBlend, kMapB, kBlend, kMapB, kBlend>;
constexpr SpanLoopFn kMapT = span_LoopFlat<FlatMapDest<kMapTranslucent>>;
constexpr SpanSet kSet12 = FlatSet<kMapT, kTrans, kMapT, kTrans, kMapT, kTrans>;
constexpr SpanSet kNothing = TexSet<nullptr, 0, nullptr, 0, nullptr, 0>;

// Sets 13, 14 and 15 repeat sets 5, 0 and 9; set 16 draws nothing.
constexpr SpanSet kTable8[17] = {kSet0, kSet1, kSet2,  kSet3,  kSet4,  kSet5, kSet6, kSet7, kSet8,
                                 kSet9, kSet10, kSet11, kSet12, kSet5, kSet0, kSet9, kNothing};
// The lane loops give the same results as the integer ones: sets 0 to 12.
constexpr SpanSet kTableMmx8[13] = {kSet0, kSet1, kSet2,  kSet3,  kSet4,  kSet5, kSet6,
                                    kSet7, kSet8, kSet9, kSet10, kSet11, kSet12};

}  // namespace

const SpanTable span_Table8 = {kTable8, 17, 1};
const SpanTable span_TableMmx8 = {kTableMmx8, 13, 1};
