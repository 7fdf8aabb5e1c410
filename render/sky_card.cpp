// The sky on the 3D card: colour bands as smooth-shaded quads parallel to
// the rolled horizon, the cloud deck as textured strips, the star sprites
// and the full-screen cloud fog.
#include <algorithm>
#include <cmath>

#include "base/fix.h"
#include "display/dsurf.h"
#include "display/hw3d.h"
#include "display/hw3d_draw.h"
#include "render/sky.h"
#include "render/tri.h"
#include "render/view.h"
#include "world/pak.h"

namespace {

constexpr int32_t kSkyDepth = 0xDAC0000;     // depth of every sky corner but the deck's
constexpr int32_t kDeckFar = 0x4E200000;
constexpr int32_t kDeckPlane = 0x7D00000;     // the deck strips' plane from the eye
constexpr double kReach = 640.0;              // a band's half length, pixels
constexpr int32_t kDeckRows = 16;
constexpr int32_t kDeckColumnWidth = 8;       // pixels of screen width a strip column

PakTextureImage g_deckTexture = {};

uint32_t Half(uint32_t packed) { return (packed >> 1) & 0x7F7F7Fu; }

_HW3D_VERTEX Corner(double x, double y, int32_t depth, uint32_t colour) {
    _HW3D_VERTEX v{};
    v.x = (int32_t)std::clamp(x * 128.0, -2.0e9, 2.0e9);
    v.y = (int32_t)std::clamp(y * 128.0, -2.0e9, 2.0e9);
    v.z = depth;
    v.weight = 256;
    v.colour = colour;
    return v;
}

void Untextured(const _HW3D_VERTEX& a, const _HW3D_VERTEX& b, const _HW3D_VERTEX& c, uint32_t flags) {
    if (hw3d_Descriptor.triangle) hw3d_Descriptor.triangle(&a, &b, &c, 0xFFFFFF, flags, 0);
}

void Textured(const _HW3D_VERTEX& a, const _HW3D_VERTEX& b, const _HW3D_VERTEX& c, PakTextureImage* texture) {
    if (hw3d_Descriptor.quad) hw3d_Descriptor.quad(&a, &b, &c, &c, texture, 0);
}

// Quad a-b-c-d as two triangles.
void Quad(const _HW3D_VERTEX* q, uint32_t flags) {
    Untextured(q[0], q[1], q[2], flags);
    Untextured(q[0], q[2], q[3], flags);
}

struct Screen {
    double x, y;
};

// A point of the sky (heading frame) through the sky's pitch and roll.
Screen Project(int32_t y, int32_t z) {
    FixVec3 v = {0, y, z};
    fix_RotateAboutX(&v, &v);
    fix_RotateAboutZ(&v, &v);
    FixScreenPoint p;
    fix_ProjectToScreen(&v, &p);
    return {p.x / 128.0, p.y / 128.0};
}

// A band between the lines through a and b, each 640 pixels to either side
// along the horizon's direction, coloured ca at a's line and cb at b's.
void Band(Screen a, Screen b, Screen dir, uint32_t ca, uint32_t cb) {
    const double rx = dir.x * kReach, ry = dir.y * kReach;
    const _HW3D_VERTEX q[4] = {
        Corner(a.x - rx, a.y - ry, kSkyDepth, Half(ca)),
        Corner(a.x + rx, a.y + ry, kSkyDepth, Half(ca)),
        Corner(b.x + rx, b.y + ry, kSkyDepth, Half(cb)),
        Corner(b.x - rx, b.y - ry, kSkyDepth, Half(cb)),
    };
    Quad(q, RENDER_MODE_COLOUR_SMOOTH);
}

// One deck corner from a screen point: the ray through it turned into the
// sky, met with the deck plane; texture coordinates from the meeting point
// and the camera, alpha falling with distance.
_HW3D_VERTEX DeckCorner(double sx, double sy, const double axes[3][3]) {
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    const double f = s.xScale > 0 ? s.xScale : 1;
    const double vx = (sx - s.centreXF / 128.0) / f, vy = -(sy - s.centreYF / 128.0) / f;
    double w[3];
    for (int32_t c = 0; c < 3; c++) w[c] = vx * axes[0][c] + vy * axes[1][c] + axes[2][c];
    // Rays at or below the deck's far edge meet the plane there.
    const double horizontal = std::sqrt(w[0] * w[0] + w[2] * w[2]);
    const double rise = std::max(w[1], horizontal * kDeckPlane / kDeckFar);
    const double t = kDeckPlane / std::max(rise, 1e-9);
    const double du = t * w[0] / 4096.0, dv = t * w[2] / 4096.0;
    const uint32_t u = (uint32_t)((int64_t)((view_State.position.x >> 12) + du)) & 0xFFFF;
    const uint32_t v = (uint32_t)((int64_t)((view_State.position.z >> 12) + dv)) & 0xFFFF;
    const double distance = t * std::sqrt(horizontal * horizontal + w[1] * w[1]);
    const uint32_t alpha = (uint32_t)std::clamp(255.0 * (1.0 - distance / kDeckFar), 0.0, 255.0);
    _HW3D_VERTEX out = Corner(sx, sy, (int32_t)std::min(t, 2.0e9), alpha << 24 | 0xFFFFFF);
    out.reserved[0] = (int32_t)u;
    out.reserved[1] = (int32_t)v;
    return out;
}

void DeckCell(const _HW3D_VERTEX* q, uint32_t plain) {
    if (sky_Texture) {
        g_deckTexture.pixels = sky_Texture;
        g_deckTexture.log2Width = g_deckTexture.log2Height = 8;
        g_deckTexture.renderFlags = RENDER_MODE_TEX_SMOOTH | RENDER_FLAG_CARD_ALPHA | HW3D_FLAG_INTENSITY;
        Textured(q[0], q[1], q[2], &g_deckTexture);
        Textured(q[0], q[2], q[3], &g_deckTexture);
        return;
    }
    _HW3D_VERTEX p[4];
    for (int32_t i = 0; i < 4; i++) {
        p[i] = q[i];
        p[i].colour = Half(plain);
    }
    Quad(p, RENDER_MODE_COLOUR_SMOOTH);
}

}  // namespace

void sky_CardDraw(void) {
    if (sky_FrameSetup() != 0) return;
    const SkyView& sv = sky_View;
    const SkyRamps& r = sky_Ramps;
    const int32_t e = sv.eye;
    FixSinCosBlock block;
    fix_SinCosAngles(0, -sv.pitch, -sv.roll, &block);
    fix_TrigToDouble(&block);
    const int64_t deckY = (int64_t)sky_CloudHeight - e + 0x400000;
    const Screen deck = Project((int32_t)std::clamp<int64_t>(deckY, INT32_MIN, INT32_MAX), kDeckFar);
    const Screen horizon = sv.above ? Project(0, 0xB540000) : Project(-e, 0x75300000);
    const Screen low = sv.above ? Project(-0x7D0000, 0x8000000) : Project(-e, 0x8000000);
    // The horizon's direction on the screen, and the side of the deck.
    FixVec3 side = {1 << 20, 0, 0};
    fix_RotateAboutX(&side, &side);
    fix_RotateAboutZ(&side, &side);
    double len = std::sqrt((double)side.x * side.x + (double)side.y * side.y);
    if (len <= 0) len = 1;
    const Screen dir = {side.x / len, -side.y / len};
    Screen normal = {-dir.y, dir.x};
    if ((deck.x - horizon.x) * normal.x + (deck.y - horizon.y) * normal.y < 0) normal = {-normal.x, -normal.y};
    const Screen edge = {deck.x + normal.x * 24, deck.y + normal.y * 24};
    const Screen beyond = {low.x - normal.x * kReach, low.y - normal.y * kReach};

    if (sv.above) {
        Band(deck, edge, dir, r.packed[5], r.packed[5]);
        Band(deck, horizon, dir, r.packed[5], r.packed[4]);
        Band(horizon, low, dir, r.packed[4], r.packed[4]);
    } else {
        Band(deck, edge, dir, r.packed[0], r.packed[0]);
        Band(deck, horizon, dir, r.packed[0], r.packed[1]);
        Band(horizon, low, dir, r.packed[1], r.packed[2]);
        Band(low, beyond, dir, r.packed[2], r.packed[3]);
    }

    // The cloud deck.
    double axes[3][3];
    sky_ViewAxes(sv.heading, sv.pitch, sv.roll, axes);
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    const double x1 = s.clipX1, y1 = s.clipY1, x2 = s.clipX2, y2 = s.clipY2;
    if (sv.pitch >= 0x400000 && sv.pitch <= 0xC00000) {
        _HW3D_VERTEX flat[4] = {
            Corner(x1, y1, kSkyDepth, Half(r.packed[0])), Corner(x2, y1, kSkyDepth, Half(r.packed[0])),
            Corner(x2, y2, kSkyDepth, Half(r.packed[0])), Corner(x1, y2, kSkyDepth, Half(r.packed[0])),
        };
        Quad(flat, RENDER_MODE_COLOUR_SMOOTH);
        const _HW3D_VERTEX q[4] = {DeckCorner(x1, y1, axes), DeckCorner(x2, y1, axes), DeckCorner(x2, y2, axes),
                                   DeckCorner(x1, y2, axes)};
        DeckCell(q, r.packed[0]);
    } else {
        // Strips from the deck line away from the sky to beyond the window's
        // far corner, 16 steps deep, one column per eight pixels of width.
        const double reach = std::hypot(x2 - x1, y2 - y1);
        const double cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
        const double along0 = (cx - deck.x) * dir.x + (cy - deck.y) * dir.y;
        const double across = std::max(0.0, (cx - deck.x) * normal.x + (cy - deck.y) * normal.y) + reach;
        const int32_t columns = std::max<int32_t>(1, (int32_t)((x2 - x1) / kDeckColumnWidth));
        const double colStep = reach / columns;
        auto at = [&](int32_t row, int32_t col) {
            const double a = along0 - reach / 2 + col * colStep, n = across * row / kDeckRows;
            return DeckCorner(deck.x + dir.x * a + normal.x * n, deck.y + dir.y * a + normal.y * n, axes);
        };
        for (int32_t row = 0; row < kDeckRows; row++)
            for (int32_t col = 0; col < columns; col++) {
                const _HW3D_VERTEX q[4] = {at(row, col), at(row, col + 1), at(row + 1, col + 1), at(row + 1, col)};
                DeckCell(q, r.packed[0]);
            }
    }
    fix_TrigToDouble(&view_State.viewMatrix);
}

// The card's fog: one screen-sized quad in the cloud colour, the fog level
// as its alpha.
void sky_CardFogOverlay(int32_t level) {
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    const uint8_t* c = sky_Pairs[4][1];
    const uint32_t colour = (uint32_t)level << 24 | (uint32_t)c[2] << 16 | (uint32_t)c[1] << 8 | c[0];
    const _HW3D_VERTEX q[4] = {
        Corner(s.clipX1, s.clipY1, kSkyDepth, colour), Corner(s.clipX2, s.clipY1, kSkyDepth, colour),
        Corner(s.clipX2, s.clipY2, kSkyDepth, colour), Corner(s.clipX1, s.clipY2, kSkyDepth, colour),
    };
    Quad(q, RENDER_FLAG_CARD_ALPHA);
}

// A star on the card: a square sprite of the star texture around its
// projected point (1/128 pixel), half-size (level + 1) x 32.
void sky_CardStarDraw(const FixScreenPoint& p, int32_t level, PakTextureImage* texture) {
    const int32_t h = (level + 1) * 32;
    _HW3D_VERTEX q[4];
    const int32_t xs[4] = {p.x - h, p.x + h, p.x + h, p.x - h}, ys[4] = {p.y - h, p.y - h, p.y + h, p.y + h};
    const int32_t us[4] = {0, 0x10000, 0x10000, 0}, vs[4] = {0, 0, 0x10000, 0x10000};
    for (int32_t i = 0; i < 4; i++) {
        q[i] = _HW3D_VERTEX{};
        q[i].x = xs[i];
        q[i].y = ys[i];
        q[i].z = kSkyDepth;
        q[i].weight = 256;
        q[i].colour = 0xFFFFFF;
        q[i].reserved[0] = us[i];
        q[i].reserved[1] = vs[i];
    }
    if (!hw3d_Descriptor.quad) return;
    texture->renderFlags &= 0xFFFF0000u;
    hw3d_Descriptor.quad(&q[0], &q[1], &q[2], &q[2], texture, 0);
    hw3d_Descriptor.quad(&q[0], &q[2], &q[3], &q[3], texture, 0);
}
