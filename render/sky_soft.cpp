// The software sky: 2x2 pixel blocks at half the screen's resolution. Each
// block row is split where it crosses the line of the far edge of the cloud
// deck: on the sky side dithered gradient blocks from the colour ramps, on the
// deck side the deck texture through ramp E. Bands and deck lie parallel to
// the rolled horizon because every value is a function of a block's ray.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/fix.h"
#include "display/dsurf.h"
#include "display/vid.h"
#include "render/sky.h"
#include "render/view.h"

SkySpanState sky_Span = {};

namespace {

constexpr int32_t kDeckFar = 0x4E200000;   // distance of the deck's far edge
constexpr int32_t kHorizonFar = 0x75300000;
constexpr int32_t kLowFar = 0x8000000;
constexpr int32_t kAboveDrop = 0x3E80000;   // the mirrored horizon lies this much lower
constexpr int32_t kTexelShift = 4;          // 2^20 world units a texel: world << 4 is 8.24
constexpr int32_t kLevels = 16;

inline uint32_t Rol(uint32_t v, int32_t n) { return v << n | v >> (32 - n); }

// The deck's texel-to-ramp table: near, a texel's intensity (its high four
// bits) picks a step of ramp E; with distance every texel fades towards the
// ramp's start, the colour of the far deck.
void DeckLookupBuild(void) {
    for (int32_t level = 0; level < kLevels; level++)
        for (int32_t t = 0; t < 256; t++)
            sky_Span.deckLookup[level][t] = (uint8_t)(((t >> 4) * (kLevels - 1 - level)) / (kLevels - 1));
}

// What a frame's rows need: the four linear ray terms by screen pixel, the
// band lines as height-over-depth ratios and the deck plane.
struct Frame {
    // Ray term = a + bx * x + by * y over the screen pixel (x, y).
    double y[3], zh[3], xw[3], zw[3];
    double qDeck, qHorizon, qLow;
    double deckHeight;    // deck above the sky eye
    double camU, camV;    // camera in texture units (8.24)
    int32_t above;
};

template <typename P>
struct Writer {
    const P* pairs;  // ramp entries: colour, three-quarter colour
    uint8_t* base;
    int32_t pitch;
    int32_t x1, y1, x2, y2;  // pixel clip
    // A 2x2 block at pixel (x, y), x and y even: (a, b) over (b, a).
    inline void Block(int32_t x, int32_t y, P a, P b) const {
        if (x >= x1 && x + 1 < x2 && y >= y1 && y + 1 < y2) {
            P* r0 = (P*)(base + (size_t)y * (size_t)pitch) + x;
            P* r1 = (P*)((uint8_t*)r0 + pitch);
            r0[0] = a, r0[1] = b;
            r1[0] = b, r1[1] = a;
            return;
        }
        for (int32_t dy = 0; dy < 2; dy++)
            for (int32_t dx = 0; dx < 2; dx++) {
                const int32_t px = x + dx, py = y + dy;
                if (px < x1 || px >= x2 || py < y1 || py >= y2) continue;
                ((P*)(base + (size_t)py * (size_t)pitch))[px] = (dx ^ dy) ? b : a;
            }
    }
};

// Ramp position (16.16 steps) and the ramp's first entry for a block on the
// sky side with height-over-depth q.
struct Gradient {
    int32_t first;
    int32_t pos;
};

inline Gradient SkyGradient(const Frame& f, double q) {
    const SkyRamps& r = sky_Ramps;
    if (f.above) {
        // Ramp D from its start at the horizon to its end at the deck line.
        const double span = f.qDeck - f.qHorizon;
        double s = span > 0 ? (q - f.qHorizon) / span : 1.0;
        s = std::clamp(s, 0.0, 1.0);
        return {r.first[3], (int32_t)(s * ((SKY_RAMP_STEPS[3] - 1) << 16))};
    }
    if (q > f.qHorizon) {
        const double span = f.qDeck - f.qHorizon;
        double s = span > 0 ? (f.qDeck - q) / span : 1.0;
        s = std::clamp(s, 0.0, 1.0);
        return {r.first[0], (int32_t)(s * ((SKY_RAMP_STEPS[0] - 1) << 16))};
    }
    // The haze band: ramps B and C as one ramp of 16 steps.
    const double span = f.qHorizon - f.qLow;
    double s = span > 0 ? (f.qHorizon - q) / span : 1.0;
    s = std::clamp(s, 0.0, 1.0);
    return {r.first[1], (int32_t)(s * ((SKY_RAMP_STEPS[1] + SKY_RAMP_STEPS[2] - 1) << 16))};
}

template <typename P>
void Rows(const Frame& f, const Writer<P>& w) {
    SkySpanState& st = sky_Span;
    const SkyRamps& r = sky_Ramps;
    const P* pairs = w.pairs;
    const uint8_t* tex = st.texture;
    const int32_t deckFirst = r.first[4];
    const P plain = pairs[deckFirst];
    // Rows along screen rows while the horizon is nearer horizontal, else
    // along columns; a row's blocks step along the major axis.
    const bool alongRows = st.alongRows;
    const int32_t minorFrom = (alongRows ? w.y1 : w.x1) >> 1, minorTo = ((alongRows ? w.y2 : w.x2) + 1) >> 1;
    const int32_t majorFrom = (alongRows ? w.x1 : w.y1) >> 1, majorTo = ((alongRows ? w.x2 : w.y2) + 1) >> 1;
    uint32_t seed = st.seed;
    for (int32_t m = minorFrom; m < minorTo; m++) {
        // The block centre of the row's first block, in pixels, and the
        // step of one block along the row.
        const double mc = 2.0 * m + 1.0, kc = 2.0 * majorFrom + 1.0;
        auto at = [&](const double* t, double* v0, double* dv) {
            if (alongRows) {
                *v0 = t[0] + t[1] * kc + t[2] * mc;
                *dv = 2.0 * t[1];
            } else {
                *v0 = t[0] + t[1] * mc + t[2] * kc;
                *dv = 2.0 * t[2];
            }
        };
        double Y, dY, Z, dZ, X, dX, W, dW;
        at(f.y, &Y, &dY);
        at(f.zh, &Z, &dZ);
        at(f.xw, &X, &dX);
        at(f.zw, &W, &dW);
        const int32_t n = majorTo - majorFrom;
        // The deck line crosses the row where Y = qDeck * Z: blocks where
        // Y - qDeck * Z is positive lie on the deck's side of it.
        double g = Y - f.qDeck * Z;
        const double dg = dY - f.qDeck * dZ;
        for (int32_t k = 0; k < n; k++, g += dg) {
            const bool deck = g > 0;
            const int32_t major = majorFrom + k;
            const int32_t px = 2 * (alongRows ? major : m), py = 2 * (alongRows ? m : major);
            if (deck) {
                // Beyond the deck's far edge (and without a texture) the deck
                // shows its far colour.
                if (!tex || Y <= 0 || Y * kDeckFar <= f.deckHeight * std::max(std::abs(X), std::abs(W))) {
                    w.Block(px, py, plain, plain);
                } else {
                    const double t = f.deckHeight / Y;
                    // Texture in full up to half the far edge's distance,
                    // then fading to the far colour (rays looking up and
                    // back are near).
                    const int32_t level =
                        Z > 0 ? std::clamp((int32_t)(2 * kLevels * f.qDeck * Z / Y) - kLevels, 0, kLevels - 1) : 0;
                    const uint32_t u = (uint32_t)(int64_t)(f.camU + t * X * (1 << kTexelShift));
                    const uint32_t v = (uint32_t)(int64_t)(f.camV + t * W * (1 << kTexelShift));
                    const uint8_t texel = tex[(u >> 24) * 256 + (v >> 24)];
                    const int32_t e = deckFirst + 2 * st.deckLookup[level][texel];
                    w.Block(px, py, pairs[e], pairs[e + 1]);
                }
            } else {
                // Behind the viewer (looking up and over) the ratio is
                // taken as the band below the deck line.
                const double q = Z > 0 ? Y / Z : (Y > 0 ? f.qDeck : -1.0);
                const Gradient g = SkyGradient(f, q);
                seed = Rol(Rol(seed, 11) + seed, 3);
                const int32_t i = (int32_t)((((seed & 0xFF) + ((uint32_t)g.pos >> 8)) >> 8) & 0xFF);
                const int32_t e = g.first + 2 * i;
                w.Block(px, py, pairs[e], pairs[e + 1]);
            }
            Y += dY, Z += dZ, X += dX, W += dW;
        }
    }
    st.seed = seed;
}

}  // namespace

void sky_SoftDraw(void) {
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    if (!s.base || (s.bytesPerPixel != 1 && s.bytesPerPixel != 2)) return;
    SkySpanState& st = sky_Span;
    // The row pitch and the texture are set once for the block writers when
    // they change.
    if (st.pitch != s.bytesPerRow) st.pitch = s.bytesPerRow;
    if (st.texture != sky_Texture) st.texture = sky_Texture;
    if (!st.lookupBuilt) {
        DeckLookupBuild();
        st.lookupBuilt = 1;
    }
    if (sky_FrameSetup() != 0) return;
    const SkyView& sv = sky_View;
    double axes[3][3], level[3][3];
    sky_ViewAxes(sv.heading, sv.pitch, sv.roll, axes);
    sky_ViewAxes(0, sv.pitch, sv.roll, level);
    fix_TrigToDouble(&view_State.viewMatrix);

    // A pixel's ray: (x - cx) * right - (y - cy) * up + f * ahead.
    const double f = s.xScale > 0 ? s.xScale : 1, cx = s.centreXF / 128.0, cy = s.centreYF / 128.0;
    Frame fr{};
    auto terms = [&](const double (*ax)[3], int32_t c, double* t) {
        t[1] = ax[0][c];
        t[2] = -ax[1][c];
        t[0] = f * ax[2][c] - cx * t[1] - cy * t[2];
    };
    terms(level, 1, fr.y);
    terms(level, 2, fr.zh);
    terms(axes, 0, fr.xw);
    terms(axes, 2, fr.zw);
    const double e = sv.eye;
    fr.above = sv.above;
    fr.deckHeight = (double)sky_CloudHeight - e;
    fr.qDeck = fr.deckHeight / kDeckFar;
    if (sv.above) {
        fr.qHorizon = (-(double)kAboveDrop - e) / kDeckFar;
        fr.qLow = fr.qHorizon;
    } else {
        fr.qHorizon = -e / kHorizonFar;
        fr.qLow = -e / kLowFar;
    }
    fr.camU = (double)view_State.position.x * (1 << kTexelShift);
    fr.camV = (double)view_State.position.z * (1 << kTexelShift);
    // The deck line's slope on the screen decides the rows' direction.
    const double hx = fr.y[1] - fr.qDeck * fr.zh[1], hy = fr.y[2] - fr.qDeck * fr.zh[2];
    st.alongRows = std::abs(hy) >= std::abs(hx);

    const int32_t x1 = std::max(s.clipX1, 0), y1 = std::max(s.clipY1, 0);
    const int32_t x2 = std::min(s.clipX2, s.width), y2 = std::min(s.clipY2, s.height);
    if (x1 >= x2 || y1 >= y2) return;
    if (s.bytesPerPixel == 2) {
        Writer<uint16_t> w{sky_Ramps.colour16, s.base, st.pitch, x1, y1, x2, y2};
        Rows(fr, w);
    } else {
        Writer<uint8_t> w{sky_Ramps.index8, s.base, st.pitch, x1, y1, x2, y2};
        Rows(fr, w);
    }
}
