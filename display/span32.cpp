// Span loops of the 32-bit table (mode 5), writing 0x00RRGGBB pixels. Each
// pixel is worked as 16-bit word lanes (blue, green, red; the fourth lane is
// always 0) with the arithmetic of the original lane code kept exactly:
// channel words carry 7 fraction bits (c x 128), a product keeps the high 16
// bits of the signed 32-bit product, results are written as w >> 7 packed to
// bytes with unsigned saturation. Interpolated 8.8 values are held halved so
// that they stay positive as signed words.
#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "display/pal.h"
#include "display/rast.h"
#include "display/span.h"

int32_t span_Setup32(SpanParams& p, uint32_t needs) {
    if (span_SetupTexture(p, needs) != 0) return -1;
    PolySpanState& st = poly_SpanState;
    if (pal_DrawTables.master != st.loadedMaster) st.loadedMaster = pal_DrawTables.master;
    p.master = static_cast<const int16_t(*)[4]>(st.loadedMaster);
    for (int c = 0; c < 3; c++) p.haze[c] = (int16_t)(((poly_HazeColour >> (8 * c)) & 0xFF) << 7);
    if ((needs & SPAN_NEEDS_MASTER) && !p.master) return -1;
    return 0;
}

namespace {

// ---- Word-lane arithmetic ----

inline int16_t Wrap(int32_t x) { return (int16_t)(uint16_t)(uint32_t)x; }
// High half of the signed product.
inline int16_t MulHigh(int16_t a, int16_t b) { return (int16_t)(((int32_t)a * b) >> 16); }

#if defined(__SSE2__)
// The lanes in the low half of an SSE2 register (the fourth word is spare:
// Pack drops it); the same arithmetic, a lane at a time.
struct Lanes {
    __m128i v;
};
inline Lanes Zero() { return Lanes{_mm_setzero_si128()}; }
inline uint32_t Pack(const Lanes& l, int shift) {
    const __m128i w = _mm_sra_epi16(l.v, _mm_cvtsi32_si128(shift));
    return (uint32_t)_mm_cvtsi128_si32(_mm_packus_epi16(w, w)) & 0xFFFFFFu;
}
inline Lanes Unpack(uint32_t px) {
    return Lanes{_mm_slli_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128((int)px), _mm_setzero_si128()), 7)};
}
inline Lanes Texel(const int16_t (*master)[4], uint32_t t) {
    return Lanes{_mm_loadl_epi64(reinterpret_cast<const __m128i*>(master[t]))};
}
// c x I / 65536 (S, 6 fraction bits); x + 2 (((y - x) f) >> 16); the haze
// mix; 2S; 2S plus the highlight, saturated: as in the lane-by-lane forms
// below.
inline Lanes Shade(const Lanes& c, int16_t ih) { return Lanes{_mm_mulhi_epi16(c.v, _mm_set1_epi16(ih))}; }
inline Lanes Mix(const Lanes& x, const Lanes& y, int16_t f) {
    const __m128i m = _mm_mulhi_epi16(_mm_sub_epi16(y.v, x.v), _mm_set1_epi16(f));
    return Lanes{_mm_add_epi16(x.v, _mm_add_epi16(m, m))};
}
inline Lanes HazeLanes(const int16_t* haze) { return Lanes{_mm_setr_epi16(haze[0], haze[1], haze[2], 0, 0, 0, 0, 0)}; }
inline Lanes Haze(const Lanes& w, const Lanes& haze, int16_t hh) {
    const __m128i m = _mm_mulhi_epi16(_mm_sub_epi16(w.v, haze.v), _mm_set1_epi16(hh));
    return Lanes{_mm_add_epi16(haze.v, _mm_add_epi16(m, m))};
}
inline Lanes Double(const Lanes& s) { return Lanes{_mm_add_epi16(s.v, s.v)}; }
inline Lanes Highlight(const Lanes& s2, int16_t kh) { return Lanes{_mm_adds_epi16(s2.v, _mm_set1_epi16(kh))}; }
inline Lanes AddSat(const Lanes& a, const Lanes& b) { return Lanes{_mm_adds_epi16(a.v, b.v)}; }
#else
inline int16_t AddSat(int16_t a, int16_t b) { return (int16_t)std::clamp((int32_t)a + b, -32768, 32767); }
inline uint32_t PackByte(int32_t w) { return (uint32_t)std::clamp(w, 0, 255); }

struct Lanes {
    int16_t w[3];  // blue, green, red
};
inline Lanes Zero() { return Lanes{{0, 0, 0}}; }

inline uint32_t Pack(const Lanes& l, int shift) {
    return PackByte(l.w[2] >> shift) << 16 | PackByte(l.w[1] >> shift) << 8 | PackByte(l.w[0] >> shift);
}
// A packed colour's channels as words: the byte into the high half, the
// word shifted right by 1.
inline Lanes Unpack(uint32_t px) {
    Lanes l;
    for (int c = 0; c < 3; c++) l.w[c] = (int16_t)(((px >> (8 * c)) & 0xFF) << 7);
    return l;
}
inline Lanes Texel(const int16_t (*master)[4], uint32_t t) { return Lanes{{master[t][0], master[t][1], master[t][2]}}; }

// c x I / 65536 as a word with 6 fraction bits (S; 2S has the usual 7).
inline Lanes Shade(const Lanes& c, int16_t ih) {
    Lanes s;
    for (int k = 0; k < 3; k++) s.w[k] = MulHigh(c.w[k], ih);
    return s;
}
// x + 2 (((y - x) f) >> 16): from x toward y by f / 32768.
inline Lanes Mix(const Lanes& x, const Lanes& y, int16_t f) {
    Lanes r;
    for (int k = 0; k < 3; k++) r.w[k] = Wrap(x.w[k] + 2 * MulHigh(Wrap(y.w[k] - x.w[k]), f));
    return r;
}
// haze + (w - haze) (0xFFFF - H) / 65536, hh being (0xFFFF - H) >> 1.
inline Lanes HazeLanes(const int16_t* haze) { return Lanes{{haze[0], haze[1], haze[2]}}; }
inline Lanes Haze(const Lanes& w, const Lanes& haze, int16_t hh) {
    Lanes r;
    for (int k = 0; k < 3; k++) r.w[k] = Wrap(haze.w[k] + 2 * MulHigh(Wrap(w.w[k] - haze.w[k]), hh));
    return r;
}
inline Lanes Double(const Lanes& s) { return Lanes{{Wrap(2 * s.w[0]), Wrap(2 * s.w[1]), Wrap(2 * s.w[2])}}; }
inline Lanes Highlight(const Lanes& s2, int16_t kh) {
    return Lanes{{AddSat(s2.w[0], kh), AddSat(s2.w[1], kh), AddSat(s2.w[2], kh)}};
}
inline Lanes AddSat(const Lanes& a, const Lanes& b) {
    return Lanes{{AddSat(a.w[0], b.w[0]), AddSat(a.w[1], b.w[1]), AddSat(a.w[2], b.w[2])}};
}
#endif
// The alpha table: entry n is n x 128 in every lane.
inline int16_t Alpha(uint32_t n) { return (int16_t)((n & 0xFF) << 7); }


// ---- Interpolated values, halved ----

inline int16_t Half(int32_t v) { return (int16_t)(std::clamp(v, 0, 0xFFFF) >> 1); }

// Which halved values a loop steps.
enum : int { kUseI = 1, kUseH = 2, kUseK = 4 };
template <int Use>
struct Interp : SpanOpBase {
    static constexpr int kBytes = 4;
    int16_t ih, hh, kh, dih, dhh, dkh;
    explicit Interp(const SpanParams& p)
        : ih(Half(p.intensity[0])), hh((int16_t)((0xFFFF - std::clamp(p.intensity[1], 0, 0xFFFF)) >> 1)),
          kh(Half(p.intensity[2])), dih(Wrap(p.dIntensity[0] >> 1)), dhh(Wrap(-p.dIntensity[1] >> 1)),
          dkh(Wrap(p.dIntensity[2] >> 1)) {}
    void Next() {
        if (Use & kUseI) ih = Wrap(ih + dih);
        if (Use & kUseH) hh = Wrap(hh + dhh);
        if (Use & kUseK) kh = Wrap(kh + dkh);
    }
};

// ---- Textured operations (t = texel, c = its colour, d = destination,
// P = the second word) ----

// Set 0 and its transparent forms, by pair: the texel's colour; shaded by
// the flat level or by I; then toward the haze colour and/or plus the
// highlight.
enum { kUnshaded, kFlat, kShadeI, kHaze, kHighlight, kBoth };
constexpr int UseOf(int pair) {
    return pair == kShadeI ? kUseI : pair == kHaze ? kUseI | kUseH : pair == kHighlight ? kUseI | kUseK
           : pair == kBoth ? kUseI | kUseH | kUseK : 0;
}

inline uint32_t Shaded(int pair, const Lanes& c, int16_t ih, int16_t hh, int16_t kh, const Lanes& haze) {
    switch (pair) {
    case kUnshaded: return Pack(c, 7);
    case kFlat:
    case kShadeI: return Pack(Shade(c, ih), 6);
    case kHaze: return Pack(Haze(Double(Shade(c, ih)), haze, hh), 7);
    case kHighlight: return Pack(Highlight(Double(Shade(c, ih)), kh), 7);
    default: return Pack(Haze(Highlight(Double(Shade(c, ih)), kh), haze, hh), 7);
    }
}

template <int Pair, bool Skip0>
struct TexShade : Interp<UseOf(Pair)> {
    const int16_t (*master)[4];
    Lanes haze;
    explicit TexShade(const SpanParams& p) : Interp<UseOf(Pair)>(p), master(p.master), haze(HazeLanes(p.haze)) {
        if (Pair == kFlat) this->ih = (int16_t)((p.level & 0xFF) << 7);  // level x 256, halved
    }
    void Pixel(uint8_t* d, const uint8_t* tex, uint32_t idx) {
        uint8_t t = tex[idx];
        if (Skip0 && !t) return;
        span_Store32(d, Shaded(Pair, Texel(master, t), this->ih, this->hh, this->kh, haze));
    }
};

// d + (P - d) alpha(t): the texel is an alpha index (set 17; sets 4 and 7).
struct TexAlphaColour : Interp<0> {
    Lanes colour;
    explicit TexAlphaColour(const SpanParams& p) : Interp<0>(p), colour(Unpack(p.second)) {}
    void Pixel(uint8_t* d, const uint8_t* tex, uint32_t idx) {
        span_Store32(d, Pack(Mix(Unpack(span_Load32(d)), colour, Alpha(tex[idx])), 7));
    }
};

// P alpha(t), from black, the destination not read; texel 0 skipped.
struct TexAlphaFromBlack : Interp<0> {
    Lanes colour;
    explicit TexAlphaFromBlack(const SpanParams& p) : Interp<0>(p), colour(Unpack(p.second)) {}
    void Pixel(uint8_t* d, const uint8_t* tex, uint32_t idx) {
        uint8_t t = tex[idx];
        if (!t) return;
        span_Store32(d, Pack(Mix(Zero(), colour, Alpha(t)), 7));
    }
};

// d + (c - d) a: the average (a = alpha(128), sets 5 and 6) or the level in
// P (set 18, texel 0 skipped).
template <bool Skip0, bool ByLevel>
struct TexMix : Interp<0> {
    const int16_t (*master)[4];
    int16_t alpha;
    explicit TexMix(const SpanParams& p)
        : Interp<0>(p), master(p.master), alpha(ByLevel ? Alpha(p.second >> 8) : Alpha(128)) {}
    void Pixel(uint8_t* d, const uint8_t* tex, uint32_t idx) {
        uint8_t t = tex[idx];
        if (Skip0 && !t) return;
        span_Store32(d, Pack(Mix(Unpack(span_Load32(d)), Texel(master, t), alpha), 7));
    }
};

// Set 13: two bytes a texel, colour index then alpha index; alpha 0 skipped.
struct TexColourAlpha : Interp<0> {
    const int16_t (*master)[4];
    explicit TexColourAlpha(const SpanParams& p) : Interp<0>(p), master(p.master) {}
    void Pixel(uint8_t* d, const uint8_t* tex, uint32_t idx) {
        const uint8_t* s = tex + (size_t)idx * 2;
        if (!s[1]) return;
        span_Store32(d, Pack(Mix(Unpack(span_Load32(d)), Texel(master, s[0]), Alpha(s[1])), 7));
    }
};

// Set 19: min(c + d, 255), words added with signed saturation.
struct TexAdd : Interp<0> {
    const int16_t (*master)[4];
    explicit TexAdd(const SpanParams& p) : Interp<0>(p), master(p.master) {}
    void Pixel(uint8_t* d, const uint8_t* tex, uint32_t idx) {
        uint8_t t = tex[idx];
        if (!t) return;
        Lanes c = Texel(master, t), x = Unpack(span_Load32(d));
        span_Store32(d, Pack(AddSat(c, x), 7));
    }
};

// Set 20: min(d + c P / 512, 255): c x 128 scaled by P x 128 and doubled,
// added to d x 256 with unsigned saturation, shifted right by 8.
struct TexAddScaled : Interp<0> {
    const int16_t (*master)[4];
    int16_t level;
    explicit TexAddScaled(const SpanParams& p) : Interp<0>(p), master(p.master), level(Alpha(p.second >> 8)) {}
    void Pixel(uint8_t* d, const uint8_t* tex, uint32_t idx) {
        uint8_t t = tex[idx];
        if (!t) return;
        uint32_t px = span_Load32(d), out = 0;
        for (int k = 0; k < 3; k++) {
            uint32_t add = (uint16_t)Wrap(2 * MulHigh(master[t][k], level));
            uint32_t dw = ((px >> (8 * k)) & 0xFF) << 8;
            out |= (std::min(dw + add, 0xFFFFu) >> 8) << (8 * k);
        }
        span_Store32(d, out);
    }
};

// Set 2: bilinear filter of the four texels around the sample, then shaded
// by pair. The next column wraps within the row and the next row within the
// texture, so no read leaves it.
template <int Pair>
void LoopBilinear(SpanParams& p) {
    Interp<UseOf(Pair)> in(p);
    if (Pair == kFlat) in.ih = (int16_t)((p.level & 0xFF) << 7);
    const int16_t (*master)[4] = p.master;
    const Lanes haze = HazeLanes(p.haze);
    const uint8_t* tex = p.texture;
    const int32_t su = p.su, sv = p.sv;
    const uint32_t colMask = (1u << su) - 1, rowMask = (1u << sv) - 1;
    uint32_t u = p.u, v = p.v;
    uint8_t* d = p.dest;
    for (int32_t n = p.count; n > 0; n--) {
        const uint32_t col = (uint32_t)((uint64_t)u >> (32 - su)), row = (uint32_t)((uint64_t)v >> (32 - sv));
        const uint32_t col1 = (col + 1) & colMask, row1 = (row + 1) & rowMask;
        const int16_t fu = (int16_t)((u >> (17 - su)) & 0x7FFF), fv = (int16_t)((v >> (17 - sv)) & 0x7FFF);
        const uint8_t* r0 = tex + ((size_t)row << su);
        const uint8_t* r1 = tex + ((size_t)row1 << su);
        Lanes top = Mix(Texel(master, r0[col]), Texel(master, r0[col1]), fu);
        Lanes bottom = Mix(Texel(master, r1[col]), Texel(master, r1[col1]), fu);
        span_Store32(d, Shaded(Pair, Mix(top, bottom, fv), in.ih, in.hh, in.kh, haze));
        in.Next();
        d += 4;
        u += p.dudx;
        v += p.dvdx;
    }
}

// ---- Untextured operations ----

void LoopFillColour(SpanParams& p) {
    uint8_t* d = p.dest;
    for (int32_t n = p.count; n > 0; n--, d += 4) span_Store32(d, p.second);
}

// Set 8 Gouraud: P shaded by I, then toward the haze colour by H.
struct FlatShadeHaze : Interp<kUseI | kUseH> {
    Lanes colour;
    Lanes haze;
    explicit FlatShadeHaze(const SpanParams& p) : Interp(p), colour(Unpack(p.second)), haze(HazeLanes(p.haze)) {}
    void Pixel(uint8_t* d) { span_Store32(d, Shaded(kHaze, colour, ih, hh, kh, haze)); }
};

// d + (P - d) alpha: alpha(P >> 24) (set 12, set 9 flat), or alpha(128)
// (set 11, our 32-bit blend: the average of the colour and the destination).
template <bool Average>
struct FlatMix : Interp<0> {
    Lanes colour;
    int16_t alpha;
    explicit FlatMix(const SpanParams& p)
        : Interp<0>(p), colour(Unpack(p.second)), alpha(Average ? Alpha(128) : Alpha(p.second >> 24)) {}
    void Pixel(uint8_t* d) { span_Store32(d, Pack(Mix(Unpack(span_Load32(d)), colour, alpha), 7)); }
};

// Set 9 Gouraud: min(d x 128 + (K >> 1), 32767).
struct FlatAddHighlight : Interp<kUseK> {
    explicit FlatAddHighlight(const SpanParams& p) : Interp(p) {}
    void Pixel(uint8_t* d) { span_Store32(d, Pack(Highlight(Unpack(span_Load32(d)), kh), 7)); }
};

// ---- The table ----

constexpr SpanSetupFn kSetup = span_Setup32;
constexpr uint32_t kM = SPAN_NEEDS_MASTER;

template <SpanLoopFn L0, SpanLoopFn L1, SpanLoopFn L2, SpanLoopFn L3, SpanLoopFn L4, SpanLoopFn L5, uint32_t N>
constexpr SpanSet TexSet = {kSetup,
                            {span_Pair<4, 0, true, 0, L0>(N), span_Pair<4, 0, true, 0, L1>(N),
                             span_Pair<4, 0, true, 3, L2>(N), span_Pair<4, 0, true, 3, L3>(N),
                             span_Pair<4, 0, true, 3, L4>(N), span_Pair<4, 0, true, 3, L5>(N)}};
// Untextured; Margin 2 for the smear.
template <SpanLoopFn L0, SpanLoopFn L1, SpanLoopFn L2, SpanLoopFn L3, SpanLoopFn L4, SpanLoopFn L5, int Margin = 0>
constexpr SpanSet FlatSet = {kSetup,
                             {span_Pair<4, Margin, false, 0, L0>(0), span_Pair<4, Margin, false, 0, L1>(0),
                              span_Pair<4, Margin, false, 3, L2>(0), span_Pair<4, Margin, false, 3, L3>(0),
                              span_Pair<4, Margin, false, 3, L4>(0), span_Pair<4, Margin, false, 3, L5>(0)}};
template <SpanLoopFn L, uint32_t N>
constexpr SpanSet TexSame = TexSet<L, L, L, L, L, L, N>;
template <SpanLoopFn L>
constexpr SpanSet FlatSame = FlatSet<L, L, L, L, L, L>;

template <int Pair, bool Skip0>
constexpr SpanLoopFn Shd = span_LoopTex<TexShade<Pair, Skip0>, false>;

constexpr SpanSet kSet0 = TexSet<Shd<kUnshaded, false>, Shd<kFlat, false>, Shd<kShadeI, false>, Shd<kHaze, false>,
                                 Shd<kHighlight, false>, Shd<kBoth, false>, kM>;
// Transparent: no haze and no highlight (pairs 3 to 5 are pair 2).
constexpr SpanSet kSet1 = TexSet<Shd<kUnshaded, true>, Shd<kFlat, true>, Shd<kShadeI, true>, Shd<kShadeI, true>,
                                 Shd<kShadeI, true>, Shd<kShadeI, true>, kM>;
// Bilinear; pairs 4 and 5 never come here (the highlight cancels the
// jitter flag) and are set 0's.
constexpr SpanSet kSet2 = TexSet<LoopBilinear<kUnshaded>, LoopBilinear<kFlat>, LoopBilinear<kShadeI>,
                                 LoopBilinear<kHaze>, Shd<kHighlight, false>, Shd<kBoth, false>, kM>;
constexpr SpanLoopFn kAlphaColour = span_LoopTex<TexAlphaColour, false>;
constexpr SpanLoopFn kAlphaBlack = span_LoopTex<TexAlphaFromBlack, false>;
constexpr SpanSet kSet4 = TexSet<kAlphaColour, kAlphaBlack, kAlphaColour, kAlphaColour, kAlphaColour, kAlphaColour, 0>;
constexpr SpanSet kSet5 = TexSame<span_LoopTex<TexMix<false, false>, false>, kM>;
constexpr SpanSet kSet6 = TexSame<span_LoopTex<TexMix<true, false>, false>, kM>;
constexpr SpanSet kSet8 = FlatSet<LoopFillColour, LoopFillColour, span_LoopFlat<FlatShadeHaze>,
                                  span_LoopFlat<FlatShadeHaze>, span_LoopFlat<FlatShadeHaze>,
                                  span_LoopFlat<FlatShadeHaze>>;
constexpr SpanLoopFn kAddK = span_LoopFlat<FlatAddHighlight>;
constexpr SpanLoopFn kMixAlpha = span_LoopFlat<FlatMix<false>>;
constexpr SpanSet kSet9 = FlatSet<nullptr, kMixAlpha, kAddK, kAddK, kAddK, kAddK>;
constexpr SpanLoopFn kSmear = span_LoopSmear<uint32_t>;
constexpr SpanSet kSet10 = FlatSet<kSmear, kSmear, kSmear, kSmear, kSmear, kSmear, 2>;
constexpr SpanSet kSet11 = FlatSame<span_LoopFlat<FlatMix<true>>>;
constexpr SpanSet kSet12 = FlatSame<kMixAlpha>;
constexpr SpanSet kSet13 = TexSame<span_LoopTex<TexColourAlpha, false>, kM>;
constexpr SpanSet kNothing = TexSame<nullptr, 0>;
constexpr SpanSet kSet17 = TexSame<kAlphaColour, 0>;
constexpr SpanSet kSet18 = TexSame<span_LoopTex<TexMix<true, true>, false>, kM>;
constexpr SpanSet kSet19 = TexSame<span_LoopTex<TexAdd, false>, kM>;
constexpr SpanSet kSet20 = TexSame<span_LoopTex<TexAddScaled, false>, kM>;

constexpr SpanSet kTable32[21] = {kSet0,  kSet1,  kSet2,    kSet1,    kSet4,    kSet5,  kSet6,
                                  kSet4,  kSet8,  kSet9,    kSet10,   kSet11,   kSet12, kSet13,
                                  kNothing, kNothing, kNothing, kSet17, kSet18, kSet19, kSet20};

}  // namespace

const SpanTable span_Table32 = {kTable32, 21, 4};
