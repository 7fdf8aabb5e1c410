// Rasteriser span loops: the per-pixel inner loops of the software
// rasteriser (display/rast.h), organised as four span tables, one per pixel
// mode. Each table is an array of sets; a set holds its span set-up routine
// and six (edge stepper, span loop) pairs chosen by the shading flags:
//   0 no shading, 1 flat shade, 2 Gouraud, 3 Gouraud with haze amount,
//   4 Gouraud with highlight, 5 Gouraud with both (3 to 5 only at 32 bits).
// The set's row routine and the pair's edge stepper are compiled around the
// pair's span loop into one rows routine (span_Rows), so nothing is called
// through a pointer per row. The loops are templates over depth and
// operation; what a self-modifying loop once held in its instructions
// (shifts, table addresses) is in the parameter record SpanParams, filled
// once per triangle by the set-up.
#pragma once
#ifndef KRX_LV
#define KRX_LV 0
#endif
#include <cstdint>
#include <cstring>

// An edge of the triangle being drawn. The left edges carry the attributes
// (u, v and up to three intensities); right edges step x only.
struct PolyEdge {
    int32_t rows;       // rows left
    int32_t xStep;      // whole pixels per row (rounded down)
    int32_t x;          // current x, pixel
    int32_t firstRow;
    int64_t xRemainder; // per row, in units of 1/denominator pixel
    int64_t denominator;  // dy x 128
    int64_t accumulator;
    uint32_t u, v;      // scaled: the top su bits of u are the column
    int32_t intensity[3];  // 8.8: shade, haze amount, highlight
    uint32_t uStep, vStep;
    int32_t intensityStep[3];
    uint32_t uStepX, vStepX;   // x gradients, added on a row's extra pixel
    int32_t intensityStepX[3];
    int32_t carries;
};

// Texel index: row (v's top sv bits) times the row length, plus the column
// (u's top su bits), formed as ((u >> (32 - su)) & colMask) |
// ((v >> (32 - sv - su)) & rowMask): one shift each, the same for every
// lane of a vector. A shift of 32 (su or su + sv of 0) is kept to 31, its
// mask being 0 then.
struct SpanTexelIndex {
    uint32_t shU, shV, colMask, rowMask;
    void Set(int32_t su, int32_t sv) {
        shU = su > 0 ? 32 - (uint32_t)su : 31;
        shV = su + sv > 0 ? 32 - (uint32_t)(su + sv) : 31;
        colMask = (uint32_t)((1ull << su) - 1);
        rowMask = (uint32_t)(((1ull << sv) - 1) << su);
    }
    uint32_t operator()(uint32_t u, uint32_t v) const { return ((u >> shU) & colMask) | ((v >> shV) & rowMask); }
};

// Four lanes of 32 bits (the compiler's vector extension: SSE2 on x86-64,
// plain code elsewhere).
typedef uint32_t SpanU32x4 __attribute__((vector_size(16)));

// Everything a span loop reads.
struct SpanParams {
    uint8_t* dest;          // first pixel
    int32_t count;          // pixels, at least 1
    uint32_t u, v;          // scaled texture position
    uint32_t dudx, dvdx;
    const uint8_t* texture;
    int32_t su, sv;         // texture size shifts, 0..16
    SpanTexelIndex index;   // from su and sv
    SpanU32x4 uLanes, vLanes;  // 0, 1, 2 and 3 times dudx and dvdx
    int32_t intensity[3];   // 8.8 at the span start: shade I, haze H, highlight K
    int32_t dIntensity[3];  // per pixel
    uint32_t colour;        // untextured: flat colour (8/16 bits: palette index)
    uint32_t second;        // 32 bits: the second word P
    int32_t level;          // flat shade level
    uint8_t dither;
    uint32_t jitter, jitterStep, jitterMask;
    uint32_t smearSeed;
    int32_t clipX1, clipX2;  // pixels, x2 exclusive
    // 8-bit tables (256-byte rows).
    const uint8_t* shade;          // span shade table
    int32_t shadeMaxRow;
    const uint8_t* translucency;   // the installed SHADE TABLE, 32 rows
    const uint8_t* blend;          // 256 x 256
    // 16-bit tables.
    const uint32_t* pal16;         // palette index -> pixel
    const uint16_t* shade16;       // light or haze table: 64 rows of 256 pixels (32768 bytes)
    uint32_t mask16;               // each channel without its lowest bit
    uint32_t channelMask16;        // set 15's channel
    // 32-bit tables: blue, green, red, 0, each x 128, per palette index.
    const int16_t (*master)[4];
    int16_t haze[3];               // haze colour words, blue, green, red
};

typedef void (*SpanLoopFn)(SpanParams& p);
// Draws rows of a triangle part and steps its edges (span_Rows below).
typedef void (*SpanRowsFn)(SpanParams& p, PolyEdge& left, PolyEdge& right, int32_t rows, uint8_t* row,
                           intptr_t pitch);
// Loads the tables and constants into p; -1 when a table that the chosen
// loop reads is missing (the triangle is then not drawn).
typedef int32_t (*SpanSetupFn)(SpanParams& p, uint32_t needs);

// Tables a loop reads (SpanPair::needs).
enum : uint32_t {
    SPAN_NEEDS_TEXTURE = 0x01,
    SPAN_NEEDS_SHADE = 0x02,
    SPAN_NEEDS_TRANSLUCENCY = 0x04,
    SPAN_NEEDS_BLEND = 0x08,
    SPAN_NEEDS_SHADE16 = 0x10,
    SPAN_NEEDS_MASTER = 0x20,
};

struct SpanPair {
    SpanRowsFn rows;  // the set's row routine and the pair's edge stepper around the loop
    SpanLoopFn loop;  // one span; null: the pair draws nothing
    uint32_t needs;
};

struct SpanSet {
    SpanSetupFn setup;
    SpanPair pairs[6];
};

struct SpanTable {
    const SpanSet* sets;
    int32_t count;
    int32_t bytesPerPixel;
};

extern const SpanTable span_Table8;     // mode 1, sets 0-16
extern const SpanTable span_TableMmx8;  // mode 2, sets 0-12
extern const SpanTable span_Table16;    // mode 3, sets 0-20
extern const SpanTable span_Table32;    // mode 5, sets 0-20

// ---- Shared pieces of the tables ----

// The row routine and the edge stepper, with the pair's span loop inlined:
// draws `rows` rows from `row` on, each the span from the left edge's x up
// to (not including) the right edge's, cut to the clip columns pulled in by
// Margin on each side (the smear loop reads one pixel left and two right);
// skipped pixels advance u, v and the intensities so the texture continues
// at a clipped edge. After each row both edges step x by the exact DDA; the
// left edge, which carries the attributes, also steps u, v (Tex) and NInt
// intensities, adding their x gradients on a row's extra pixel. The edges
// are left as they stand after the last row (the long edge goes on into the
// lower part).
//
// The carry is worked out without branches (it is taken on a share of rows
// that follows the edge's slope, which no predictor learns), and the edges
// live in registers over the rows.
template <int Bpp, int Margin, bool Tex, int NInt, SpanLoopFn Loop>
__attribute__((flatten)) void span_Rows(SpanParams& params, PolyEdge& left, PolyEdge& right, int32_t rows, uint8_t* row,
                                       intptr_t pitch) {
    // A copy no pixel store can reach: what the loop reads stays in
    // registers from row to row.
    SpanParams p = params;
    const int32_t x1 = p.clipX1 + Margin, x2 = p.clipX2 - Margin;
    int32_t lx = left.x, rx = right.x;
    int64_t lacc = left.accumulator, racc = right.accumulator;
    const int64_t lrem = left.xRemainder, lden = left.denominator;
    const int64_t rrem = right.xRemainder, rden = right.denominator;
    const int32_t lstep = left.xStep, rstep = right.xStep;
    uint32_t u = left.u, v = left.v;
    const uint32_t uStep = left.uStep, vStep = left.vStep, uStepX = left.uStepX, vStepX = left.vStepX;
    uint32_t in[3], inStep[3], inStepX[3];
    for (int k = 0; k < 3; k++) {
        in[k] = (uint32_t)left.intensity[k];
        inStep[k] = (uint32_t)left.intensityStep[k];
        inStepX[k] = (uint32_t)left.intensityStepX[k];
    }
    for (; rows > 0; rows--, row += pitch) {
        int32_t x = lx;
        int32_t count = rx - x;
        if (count > 0) {
            uint32_t su = u, sv = v;
            uint32_t s0 = in[0], s1 = in[1], s2 = in[2];
            if (x < x1) {
                const uint32_t skip = (uint32_t)(x1 - x);
                su += skip * p.dudx;
                sv += skip * p.dvdx;
                s0 += skip * (uint32_t)p.dIntensity[0];
                s1 += skip * (uint32_t)p.dIntensity[1];
                s2 += skip * (uint32_t)p.dIntensity[2];
                count -= (int32_t)skip;
                x = x1;
            }
            if (count > x2 - x) count = x2 - x;
            if (count > 0) {
                p.dest = row + (intptr_t)x * Bpp;
                p.count = count;
                p.u = su;
                p.v = sv;
                p.intensity[0] = (int32_t)s0;
                p.intensity[1] = (int32_t)s1;
                p.intensity[2] = (int32_t)s2;
                Loop(p);
            }
        }
        // m is all ones on a row without the extra pixel, else 0.
        lacc += lrem - lden;
        const int64_t lm = lacc >> 63;
        lacc += lden & lm;
        lx += lstep + 1 + (int32_t)lm;
        racc += rrem - rden;
        const int64_t rm = racc >> 63;
        racc += rden & rm;
        rx += rstep + 1 + (int32_t)rm;
        const uint32_t extra = ~(uint32_t)lm;
        if constexpr (Tex) {
            u += uStep + (uStepX & extra);
            v += vStep + (vStepX & extra);
        }
        for (int k = 0; k < NInt; k++) in[k] += inStep[k] + (inStepX[k] & extra);
    }
    left.x = lx;
    right.x = rx;
    left.accumulator = lacc;
    right.accumulator = racc;
    left.u = u;
    left.v = v;
    for (int k = 0; k < 3; k++) left.intensity[k] = (int32_t)in[k];
    // What the loops carry from span to span.
    params.jitter = p.jitter;
    params.dither = p.dither;
    params.smearSeed = p.smearSeed;
}

// A pair of a table: the rows routine of its row routine (Bpp, Margin),
// stepper (Tex, NInt) and span loop; a null loop draws nothing.
template <int Bpp, int Margin, bool Tex, int NInt, SpanLoopFn Loop>
struct span_PairOf {
    static constexpr SpanPair Make(uint32_t needs) { return SpanPair{span_Rows<Bpp, Margin, Tex, NInt, Loop>, Loop, needs}; }
};
template <int Bpp, int Margin, bool Tex, int NInt>
struct span_PairOf<Bpp, Margin, Tex, NInt, nullptr> {
    static constexpr SpanPair Make(uint32_t needs) { return SpanPair{nullptr, nullptr, needs}; }
};
template <int Bpp, int Margin, bool Tex, int NInt, SpanLoopFn Loop>
constexpr SpanPair span_Pair(uint32_t needs) {
    return span_PairOf<Bpp, Margin, Tex, NInt, Loop>::Make(needs);
}

// Pixels are loaded and stored bytewise: a surface's base and row pitch need
// not be multiples of the pixel size (a card's frame).
inline uint16_t span_Load16(const uint8_t* p) {
    uint16_t v;
    memcpy(&v, p, 2);
    return v;
}
inline uint32_t span_Load32(const uint8_t* p) {
    uint32_t v;
    memcpy(&v, p, 4);
    return v;
}
inline void span_Store16(uint8_t* p, uint16_t v) { memcpy(p, &v, 2); }
inline void span_Store32(uint8_t* p, uint32_t v) { memcpy(p, &v, 4); }

// Dithered Gouraud level: the high byte of (intensity + dither byte).
inline uint32_t span_DitherLevel(uint32_t intensity, uint32_t dither) {
    return ((intensity + dither) & 0xFFFFu) >> 8;
}

// The smear generator (also poly_NextRandom's recurrence).
inline uint32_t span_Random(uint32_t seed) {
    uint32_t r = (seed << 11) | (seed >> 21);
    r += seed;
    return (r << 3) | (r >> 29);
}

// The part of every set-up: the texture and its shifts, and the jitter
// constants, worked out again only when su or the level offset changed.
int32_t span_SetupTexture(SpanParams& p, uint32_t needs);
// The set-up of each depth: the above, then that depth's tables.
int32_t span_Setup8(SpanParams& p, uint32_t needs);
int32_t span_Setup16(SpanParams& p, uint32_t needs);
int32_t span_Setup32(SpanParams& p, uint32_t needs);

// ---- Loop skeletons ----
// An operation Op supplies: a constructor from the parameters, Pixel (one
// destination pixel; textured forms get the texture and the texel index),
// Next (per-pixel steps of intensities and dither), Save (what outlives the
// span) and kBytes (pixel size).

struct SpanOpBase {
    static constexpr bool kLevels = false;
    // Nonzero: a pixel's value depends only on its place in the span, not on
    // the destination nor on the pixels before it, so drawing it twice
    // changes nothing (see span_LoopTex).
    static constexpr bool kRedraw = false;
    struct LevelLanes {};
    LevelLanes LanesAt(int32_t) const { return {}; }
    void StepLanes(LevelLanes&) const {}
    void Next() {}
    void Skip(int32_t) {}
    void Save(SpanParams&) {}
};

// The lanes' minimum with m; both below 2^31.
inline SpanU32x4 span_Min4(SpanU32x4 a, uint32_t m) {
    typedef int32_t I32x4 __attribute__((vector_size(16)));
    const SpanU32x4 over = (SpanU32x4)((I32x4)a > (int32_t)m);
    return (a & ~over) | (m & over);
}

// The Gouraud intensity with the ordered dither of its fraction: the dither
// byte grows by 0xA3 a pixel and is kept across spans and triangles. Its
// operations turn a level into what their pixels read (Row, or Rows for
// four in vector lanes) and draw a pixel from that (PixelAt). The dither
// byte is the low byte of a counter that is not masked on each step.
struct SpanGouraud {
    static constexpr bool kLevels = true;
    static constexpr bool kRedraw = false;
    uint32_t i, di, dither;
    explicit SpanGouraud(const SpanParams& p)
        : i((uint32_t)p.intensity[0]), di((uint32_t)p.dIntensity[0]), dither(p.dither) {}
    uint32_t Level() const { return span_DitherLevel(i, dither & 0xFF); }
    void Next() {
        i += di;
        dither += 0xA3;
    }
    // Intensities and dither counters of four pixels, k to k + 3 from here,
    // stepped by four pixels at a time.
    struct LevelLanes {
        SpanU32x4 i4, d4;
    };
    LevelLanes LanesAt(int32_t k) const {
        const uint32_t ik = i + (uint32_t)k * di, dk = dither + (uint32_t)k * 0xA3;
        return LevelLanes{ik + SpanU32x4{0, di, 2 * di, 3 * di}, dk + SpanU32x4{0, 0xA3, 2 * 0xA3, 3 * 0xA3}};
    }
    void StepLanes(LevelLanes& l) const {
        l.i4 += 4 * di;
        l.d4 += 4 * 0xA3;
    }
    static SpanU32x4 LevelsOf(const LevelLanes& l) { return ((l.i4 + (l.d4 & 0xFF)) & 0xFFFF) >> 8; }
    void Skip(int32_t n) {
        i += (uint32_t)n * di;
        dither += (uint32_t)n * 0xA3;
    }
    void Save(SpanParams& p) { p.dither = (uint8_t)dither; }
};

// One pixel of a textured or an untextured operation, at the current level
// when it takes one.
template <class Op>
inline void span_Pixel(Op& op, uint8_t* d, const uint8_t* tex, uint32_t idx) {
    if constexpr (Op::kLevels)
        op.PixelAt(d, tex, idx, op.Row(op.Level()));
    else
        op.Pixel(d, tex, idx);
    op.Next();
}
template <class Op>
inline void span_Pixel(Op& op, uint8_t* d) {
    if constexpr (Op::kLevels)
        op.PixelAt(d, op.Row(op.Level()));
    else
        op.Pixel(d);
    op.Next();
}

// Four pixels k to k + 3 of a span: texel indices from the lanes when
// textured, levels counted from the operation's start when it takes them
// (Skip then moves it on), otherwise stepped pixel by pixel.
template <class Op, bool Textured>
inline void span_Block(Op& op, uint8_t* d, const uint8_t* tex, SpanU32x4 idx, const typename Op::LevelLanes& lanes,
                       int32_t k) {
    d += k * Op::kBytes;
    if constexpr (Op::kLevels) {
        const SpanU32x4 row = op.Rows(Op::LevelsOf(lanes));
        for (int j = 0; j < 4; j++, d += Op::kBytes) {
            if constexpr (Textured)
                op.PixelAt(d, tex, idx[j], row[j]);
            else
                op.PixelAt(d, row[j]);
        }
    } else {
        for (int j = 0; j < 4; j++, d += Op::kBytes) {
            if constexpr (Textured)
                op.Pixel(d, tex, idx[j]);
            else
                op.Pixel(d);
            op.Next();
        }
    }
}

// Spans are drawn four pixels at a time: u, v (which wrap the same way in a
// lane as in a register), the texel indices and the levels in vector lanes.
// Where drawing a pixel twice changes nothing (kRedraw) a span of four or
// more ends with the block of its last four pixels, overlapping the one
// before: no loop over the last few pixels, whose exit no predictor learns.
// Otherwise the last pixels are drawn one by one. Jittered spans go pixel by
// pixel.
template <class Op, bool Jitter>
void span_LoopTex(SpanParams& p) {
    Op op(p);
    uint8_t* d = p.dest;
    const uint8_t* tex = p.texture;
    uint32_t u = p.u, v = p.v;
    const uint32_t du = p.dudx, dv = p.dvdx;
    const SpanTexelIndex index = p.index;
    int32_t n = p.count;
    if constexpr (Jitter) {
        uint32_t j = p.jitter;
        const uint32_t jStep = p.jitterStep, jMask = p.jitterMask;
        for (; n > 0; n--) {
            span_Pixel(op, d, tex, index(u + j, v + j));
            j = (j + jStep) & jMask;
            d += Op::kBytes;
            u += du;
            v += dv;
        }
        p.jitter = j;
    } else if (Op::kRedraw && n >= 4) {
        const int32_t last = n - 4;
        SpanU32x4 u4 = u + p.uLanes, v4 = v + p.vLanes;
        const uint32_t du4 = 4 * du, dv4 = 4 * dv;
        typename Op::LevelLanes lanes = op.LanesAt(0);
        for (int32_t k = 0; k < last; k += 4) {
            span_Block<Op, true>(op, d, tex, ((u4 >> index.shU) & index.colMask) | ((v4 >> index.shV) & index.rowMask),
                                 lanes, k);
            u4 += du4;
            v4 += dv4;
            op.StepLanes(lanes);
        }
        u4 = (u + (uint32_t)last * du) + p.uLanes;
        v4 = (v + (uint32_t)last * dv) + p.vLanes;
        span_Block<Op, true>(op, d, tex, ((u4 >> index.shU) & index.colMask) | ((v4 >> index.shV) & index.rowMask),
                             op.LanesAt(last), last);
        op.Skip(n);
    } else {
        int32_t k = 0;
        if (n >= 4) {
            SpanU32x4 u4 = u + p.uLanes, v4 = v + p.vLanes;
            const uint32_t du4 = 4 * du, dv4 = 4 * dv;
            typename Op::LevelLanes lanes = op.LanesAt(0);
            for (; k + 4 <= n; k += 4) {
                span_Block<Op, true>(op, d, tex, ((u4 >> index.shU) & index.colMask) | ((v4 >> index.shV) & index.rowMask),
                                     lanes, k);
                u4 += du4;
                v4 += dv4;
                op.StepLanes(lanes);
            }
            op.Skip(k);
            u = u4[0];
            v = v4[0];
            d += k * Op::kBytes;
        }
        for (; k < n; k++) {
            span_Pixel(op, d, tex, index(u, v));
            d += Op::kBytes;
            u += du;
            v += dv;
        }
    }
    op.Save(p);
}

template <class Op>
void span_LoopFlat(SpanParams& p) {
    Op op(p);
    uint8_t* d = p.dest;
    int32_t n = p.count;
    if (Op::kRedraw && n >= 4) {
        const int32_t last = n - 4;
        typename Op::LevelLanes lanes = op.LanesAt(0);
        for (int32_t k = 0; k < last; k += 4) {
            span_Block<Op, false>(op, d, nullptr, SpanU32x4{}, lanes, k);
            op.StepLanes(lanes);
        }
        span_Block<Op, false>(op, d, nullptr, SpanU32x4{}, op.LanesAt(last), last);
        op.Skip(n);
    } else {
        for (; n > 0; n--) {
            span_Pixel(op, d);
            d += Op::kBytes;
        }
    }
    op.Save(p);
}

// Smear: each pixel takes the pixel k to its side, k = ((r & 15) - 4) >> 2
// (-1, 0, 1 or 2) from the smear seed's own run of the generator.
template <typename Pixel>
void span_LoopSmear(SpanParams& p) {
    uint8_t* d = p.dest;
    uint32_t r = p.smearSeed;
    for (int32_t n = 0; n < p.count; n++, d += sizeof(Pixel)) {
        r = span_Random(r);
        int32_t k = ((int32_t)(r & 15) - 4) >> 2;
        Pixel v;
        memcpy(&v, d + k * (int32_t)sizeof(Pixel), sizeof(Pixel));
        memcpy(d, &v, sizeof(Pixel));
    }
    p.smearSeed = r;
}
