// High-colour pixel tables for 15/16-bit screens (and packing for any depth).
#include "display/pal_hicolor.h"

#include <algorithm>
#include <cstring>

#include "display/dsurf.h"
#include "display/pal.h"
#include "display/vid.h"

PalHighColour pal_Hc;

namespace {

int32_t Clamp255(int32_t v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// A 0-255 channel value in the channel's field: its top bits at its shift.
uint32_t Field(uint32_t v, const PalChannel& c) {
    if (c.width == 0) return 0;
    uint32_t x = c.width >= 8 ? v << (c.width - 8) : v >> (8 - c.width);
    return x << c.shift;
}

uint32_t Pack(int32_t r, int32_t g, int32_t b) {
    return Field((uint32_t)Clamp255(r), pal_Hc.channels[0]) | Field((uint32_t)Clamp255(g), pal_Hc.channels[1]) |
           Field((uint32_t)Clamp255(b), pal_Hc.channels[2]);
}

// Field value x of a 5-bit field converted to the channel's width.
uint32_t From5(uint32_t x, const PalChannel& c) {
    if (c.width == 0) return 0;
    uint32_t v = c.width >= 5 ? x << (c.width - 5) : x >> (5 - c.width);
    return v << c.shift;
}

// x x F / 65536, rounded up.
inline int32_t Up(int32_t x, int32_t f) { return (int32_t)(((int64_t)x * f + 0xFFFF) >> 16); }

// Every level leaves the pixel as it is (layouts the table is not made for).
void ShadeIdentity() {
    for (int k = 0; k < PAL_HC_LEVELS; k++)
        for (int n = 0; n < 256; n++) {
            pal_Hc.shade[k][n][0] = (uint16_t)n;
            pal_Hc.shade[k][n][1] = (uint16_t)(n << 8);
        }
}

// The pixel shade table, for layouts whose bottom channel starts at bit 0,
// whose middle channel lies directly above it across the byte boundary and
// whose top channel lies in the high byte (5-6-5 and 5-5-5).
void BuildPixelShadeTable() {
    const PalChannel& top = pal_Hc.sorted[0];
    const PalChannel& mid = pal_Hc.sorted[1];
    const PalChannel& bot = pal_Hc.sorted[2];
    bool fits = bot.width > 0 && bot.shift == 0 && mid.shift == bot.width && mid.shift < 8 &&
                mid.shift + mid.width > 8 && top.shift >= 8 && top.shift + top.width <= 16;
    ShadeIdentity();
    if (!fits) return;

    const int32_t midLowMask = mid.mask & 0xFF;
    const int32_t midLowMax = midLowMask >> mid.shift;          // 7
    const int32_t midHighMax = (mid.mask & 0xFF00) >> mid.shift;  // 56 in 5-6-5, 24 in 5-5-5

    // Levels 0-15 darken; 14 and 15 reach the cap and leave the pixel.
    for (int32_t k = 0; k < 16; k++) {
        int32_t f = std::min(0x1800 + k * 0x1111, 0x10000);
        if (f >= 0x10000) continue;
        for (int32_t n = 0; n < 256; n++) {
            int32_t bv = n & bot.mask;
            int32_t ml = (n & midLowMask) >> mid.shift;
            int32_t first = ((bv * f) >> 16) | (((ml * f) >> 16) << mid.shift);
            int32_t hi = n << 8;
            int32_t tv = (hi & top.mask) >> top.shift;
            int32_t mh = (hi & mid.mask & 0xFF00) >> mid.shift;
            int32_t second = (((tv * f) >> 16) << top.shift) | (((mh * f) >> 16) << mid.shift);
            pal_Hc.shade[k][n][0] = (uint16_t)first;
            pal_Hc.shade[k][n][1] = (uint16_t)second;
        }
    }
    // Levels 16-31 lighten towards fog colour B like a screen blend; level
    // 16 leaves the pixel.
    for (int32_t k = 0; k < 16; k++) {
        int32_t g = 0xFC00 - k * 0xFFF;
        if (g >= 0xF000) continue;
        int32_t factor[3];
        for (int c = 0; c < 3; c++) {
            const PalChannel& ch = pal_Hc.sorted[c];
            int32_t v = pal_Hc.fog[1].rgb[ch.index];
            factor[c] = std::min(0xFFFF - (((0xFFFF - g) * v) >> 8), 0xF000);
        }
        const int32_t ft = factor[0], fm = factor[1], fb = factor[2];
        for (int32_t n = 0; n < 256; n++) {
            int32_t bv = n & bot.mask;
            int32_t ml = (n & midLowMask) >> mid.shift;
            int32_t first = -Up(bot.maximum + 1 - bv, fb) - (Up(midLowMax + 1 - ml, fm) << mid.shift);
            int32_t hi = n << 8;
            int32_t tv = (hi & top.mask) >> top.shift;
            int32_t mh = (hi & mid.mask & 0xFF00) >> mid.shift;
            int32_t second = (((top.maximum + 1 - Up(top.maximum + 1 - tv, ft)) << top.shift) & top.mask) -
                             (Up(midHighMax - mh, fm) << mid.shift) - 1;
            pal_Hc.shade[16 + k][n][0] = (uint16_t)(uint32_t)first;
            pal_Hc.shade[16 + k][n][1] = (uint16_t)(uint32_t)second;
        }
    }
}

void BuildRamp(int32_t redStep, int32_t greenStep, int32_t blueStep) {
    const uint8_t* fromLinear = pal_FromLinearTable();
    for (int32_t i = 0; i < 256; i++)
        pal_Hc.ramp[i] = Pack(fromLinear[std::min(255, i * redStep)], fromLinear[std::min(255, i * greenStep)],
                              fromLinear[std::min(255, i * blueStep)]);
}

void Build555Tables() {
    const PalChannel& r = pal_Hc.channels[0];
    const PalChannel& g = pal_Hc.channels[1];
    const PalChannel& b = pal_Hc.channels[2];
    for (uint32_t v = 0; v < 256; v++) {
        // Low byte: blue bits 0-4, the low three bits of green; high byte:
        // the top two bits of green, red bits 2-6.
        pal_Hc.rgb555Low[v] = From5(v & 31, b) + From5((v >> 5) & 7, g);
        pal_Hc.rgb555High[v] = From5((v & 3) << 3, g) + From5((v >> 2) & 31, r);
    }
}

}  // namespace

void pal_DeriveSurfaceMasks(void) {
    const uint32_t masks[3] = {vid_State.redMask, vid_State.greenMask, vid_State.blueMask};
    uint32_t m1 = 0;
    for (int c = 0; c < 3; c++) {
        PalChannel& ch = pal_Hc.channels[c];
        uint32_t m = masks[c];
        int32_t shift = 0, width = 0;
        if (m) {
            while (!(m & (1u << shift))) shift++;
            while (shift + width < 32 && (m & (1u << (shift + width)))) width++;
        }
        ch.width = width;
        ch.shift = shift;
        ch.maximum = (int32_t)(m >> shift);
        ch.mask = (int32_t)m;
        ch.threeQuarter = (int32_t)((uint32_t)((ch.maximum + 1) / 4 * 3) << shift);
        ch.index = c;
        m1 |= m & (m << 1);
    }
    for (int c = 0; c < 3; c++) pal_Hc.sorted[c] = pal_Hc.channels[c];
    std::stable_sort(pal_Hc.sorted, pal_Hc.sorted + 3,
                     [](const PalChannel& a, const PalChannel& b) { return a.shift > b.shift; });
    m1 &= 0xFFFF;
    pal_Hc.blendMask1 = m1 | (m1 << 16);
    pal_Hc.blendMask2 = pal_Hc.blendMask1 & (pal_Hc.blendMask1 << 1);
}

uint16_t pal_RgbTo16(int32_t red, int32_t green, int32_t blue) { return (uint16_t)Pack(red, green, blue); }

uint16_t pal_SkyColourTo16(void) {
    return pal_RgbTo16(pal_Current.work.red, pal_Current.work.green, pal_Current.work.blue);
}

namespace {

void SetFog(PalFogColour* fog, int32_t r, int32_t g, int32_t b) {
    const uint8_t* toLinear = pal_ToLinearTable();
    fog->rgb[0] = Clamp255(r);
    fog->rgb[1] = Clamp255(g);
    fog->rgb[2] = Clamp255(b);
    for (int k = 0; k < 3; k++) fog->linear[k] = toLinear[fog->rgb[k]];
}

}  // namespace

void pal_SetFogColourA(int32_t red, int32_t green, int32_t blue) { SetFog(&pal_Hc.fog[0], red, green, blue); }
void pal_SetFogColourB(int32_t red, int32_t green, int32_t blue) { SetFog(&pal_Hc.fog[1], red, green, blue); }
void pal_SelectFogColour(int32_t which) { pal_Hc.fogSelected = which == 1 ? 1 : 0; }

void pal_PaletteTo16Table(const uint8_t* palette, uint32_t* table) {
    if (!palette || !table) return;
    for (int32_t n = 0; n < 256; n++) table[n] = Pack(palette[n * 3], palette[n * 3 + 1], palette[n * 3 + 2]);
}

void pal_BuildLightTable(uint16_t* table, const uint8_t* palette) {
    if (!table || !palette) return;
    const uint8_t* toLinear = pal_ToLinearTable();
    const uint8_t* fromLinear = pal_FromLinearTable();
    const int32_t* fog = pal_Hc.fog[pal_Hc.fogSelected].linear;
    for (int32_t k = 0; k < 16; k++) {
        uint16_t* dark = table + k * 256;
        uint16_t* fogged = table + (16 + k) * 256;
        for (int32_t n = 0; n < 256; n++) {
            int32_t d[3], f[3];
            for (int c = 0; c < 3; c++) {
                int32_t l = toLinear[palette[n * 3 + c]];
                d[c] = fromLinear[(l * 8 * k) >> 7];
                f[c] = fromLinear[Clamp255(l + (((fog[c] - l) * 8 * k) >> 7))];
            }
            dark[n] = (uint16_t)Pack(d[0], d[1], d[2]);
            fogged[n] = (uint16_t)Pack(f[0], f[1], f[2]);
        }
    }
}

void pal_TintView16(int32_t red, int32_t green, int32_t blue, int32_t level) {
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    if (!s.base || s.bitsPerPixel != 16) return;
    // Without a pixel format (masks never derived) every field would vanish.
    if (!pal_Hc.channels[0].mask && !pal_Hc.channels[1].mask && !pal_Hc.channels[2].mask) return;
    int32_t k = 255 - std::clamp(level, 0, 255);
    const int32_t tint[3] = {Clamp255(red), Clamp255(green), Clamp255(blue)};
    uint32_t table[2][256];
    for (int half = 0; half < 2; half++) {
        for (uint32_t v = 0; v < 256; v++) {
            uint32_t out = 0;
            for (int c = 0; c < 3; c++) {
                const PalChannel& ch = pal_Hc.channels[c];
                uint32_t part = ((uint32_t)ch.mask >> (8 * half)) & 0xFF;  // the field's bits in this byte
                if (!part) continue;
                int32_t low = 0, bits = 0;
                while (!(part & (1u << low))) low++;
                while (low + bits < 8 && (part & (1u << (low + bits)))) bits++;
                uint32_t tintBits = ((Field((uint32_t)tint[ch.index], ch) >> (8 * half)) & part) >> low;
                int32_t c8 = (int32_t)(((v & part) >> low) << (8 - bits));
                int32_t t8 = (int32_t)(tintBits << (8 - bits));
                int32_t r8 = t8 + (((c8 - t8) * k) >> 8);
                out |= (((uint32_t)r8 >> (8 - bits)) << low) & part;
            }
            table[half][v] = out << (8 * half);
        }
    }
    int32_t x1 = std::max(0, s.clipX1), y1 = std::max(0, s.clipY1);
    int32_t x2 = std::min(s.width, s.clipX2), y2 = std::min(s.height, s.clipY2);
    for (int32_t y = y1; y < y2; y++) {
        uint8_t* row = s.base + (size_t)y * (size_t)s.bytesPerRow;
        for (int32_t x = x1; x < x2; x++) {
            uint16_t p;
            memcpy(&p, row + x * 2, 2);
            p = (uint16_t)(table[0][p & 0xFF] + table[1][p >> 8]);
            memcpy(row + x * 2, &p, 2);
        }
    }
}

void pal_BuildHighColourTables(void) {
    pal_DeriveSurfaceMasks();
    pal_PaletteTo16Table(pal_Current.palette, pal_Hc.palette16);
    int32_t keep = pal_Hc.fogSelected;
    pal_SelectFogColour(1);
    pal_BuildLightTable(pal_Hc.light, pal_Current.palette);
    pal_SelectFogColour(0);
    pal_BuildLightTable(pal_Hc.haze, pal_Current.palette);
    pal_Hc.fogSelected = keep;
    BuildPixelShadeTable();
    BuildRamp(0, 1, 0);
    Build555Tables();
}
