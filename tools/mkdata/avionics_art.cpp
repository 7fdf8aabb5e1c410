// The cockpit gauges' art, loose in the game directory: the strip, drum,
// ball and lamp images, the ten window masks at their gauge sizes, the glass
// reflection and the panel file "KRXPANEL.VHB" (docs/formats.md) with the
// two MFD panels, the HUD panel and eight HUD glass panels.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "art_canvas.h"
#include "mkdata.h"
#include "pak_write.h"

namespace {

// Palette entries (docs/formats.md, the game palette's ramps).
constexpr uint8_t kGrey = 1, kSky = 16, kEarth = 48, kGreen = 96, kRed = 112, kYellow = 144;
constexpr uint8_t kWhite = kGrey + 14;

using Canvas = MkCanvas;

// A seven-segment digit in the cell (x, y, w, h).
void Digit(Canvas& c, int32_t x, int32_t y, int32_t w, int32_t h, int32_t d, uint8_t colour) {
    static const uint8_t kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    const uint8_t s = kSegments[d % 10];
    const int32_t l = x + 1, r = x + w - 2, t = y + 1, m = y + h / 2, b = y + h - 2;
    if (s & 0x01) c.Rect(l, t, r, t, colour);
    if (s & 0x02) c.Rect(r, t, r, m, colour);
    if (s & 0x04) c.Rect(r, m, r, b, colour);
    if (s & 0x08) c.Rect(l, b, r, b, colour);
    if (s & 0x10) c.Rect(l, m, l, b, colour);
    if (s & 0x20) c.Rect(l, t, l, m, colour);
    if (s & 0x40) c.Rect(l, m, r, m, colour);
}

// Digits 0..9 and a second 0, pitch rows apart, down a strip.
Canvas DigitStrip(int32_t w, int32_t pitch) {
    Canvas c(w, pitch * 11, 0);
    c.Rect(0, 0, w - 1, c.h - 1, kGrey + 1);
    for (int32_t d = 0; d <= 10; d++) Digit(c, 1, d * pitch + 1, w - 2, pitch - 2, d % 10, kWhite);
    return c;
}

// A ball: sky above its middle row, ground below, a bar every 32 rows.
Canvas Ball(int32_t w, int32_t h) {
    Canvas c(w, h, 0);
    for (int32_t y = 0; y < h; y++) c.Rect(0, y, w - 1, y, y < h / 2 ? kSky + 9 : kEarth + 7);
    for (int32_t y = 0; y < h; y += 32) c.Rect(w / 3, y, w - 1 - w / 3, y, kWhite);
    c.Rect(0, h / 2, w - 1, h / 2, kWhite);
    return c;
}

Canvas Disk(int32_t size) {
    Canvas c(size, size, 0);
    const float r = size / 2.0f - 1.0f, cx = (size - 1) / 2.0f;
    for (int32_t y = 0; y < size; y++)
        for (int32_t x = 0; x < size; x++)
            if ((x - cx) * (x - cx) + (y - cx) * (y - cx) <= r * r) c.Set(x, y, kGrey + 2);
    for (int32_t k = 0; k < 36; k++) {
        const float a = k * 3.14159265f / 18.0f, len = k % 9 == 0 ? 12.0f : 5.0f;
        for (float t = r - len; t <= r; t += 0.5f)
            c.Set((int32_t)std::lround(cx + std::sin(a) * t), (int32_t)std::lround(cx - std::cos(a) * t),
                  k == 0 ? kRed + 12 : kWhite);
    }
    return c;
}

// A tape with a tick every 6 rows and a long one every 30.
Canvas Tape(int32_t w, int32_t h, uint8_t colour) {
    Canvas c(w, h, kGrey + 2);
    for (int32_t y = 0; y < h; y += 6) c.Rect(0, y, y % 30 == 0 ? w - 1 : w / 3, y, colour);
    c.Rect(0, h / 2 - 1, w - 1, h / 2 + 1, kYellow + 12);
    return c;
}

// The indexer lamps with lamp k lit.
Canvas Lamps(int32_t lit) {
    Canvas c(32, 64, kGrey + 1);
    const uint8_t on[3] = {kGreen + 12, kYellow + 12, kRed + 12};
    for (int32_t k = 0; k < 3; k++) c.Rect(8, 6 + 20 * k, 23, 17 + 20 * k, k == lit ? on[k] : kGrey + 4);
    return c;
}

// The compass strip: one pixel a unit of heading, 32 more wrapped on.
Canvas Compass(void) {
    Canvas c(544, 11, kGrey + 1);
    for (int32_t x = 0; x < 544; x++) {
        const int32_t u = x % 512;
        if (u % 16 == 0) c.Rect(x, u % 128 == 0 ? 0 : 6, x, 10, u % 128 == 0 ? kRed + 12 : kWhite);
    }
    return c;
}

// Gear lamps: moving (top frame) and down (bottom frame).
Canvas GearLamps(void) {
    Canvas c(64, 128, 0);
    for (int32_t k = 0; k < 3; k++) {
        c.Rect(6 + 20 * k, 20, 17 + 20 * k, 31, kRed + 12);
        c.Rect(6 + 20 * k, 84, 17 + 20 * k, 95, kGreen + 12);
    }
    return c;
}

Canvas Reflection(void) {
    Canvas c(64, 16, 0);
    for (int32_t x = 0; x < 64; x++) c.Rect(x, 0, x, 15, (uint8_t)(kGrey + 2 + (x / 8) % 3));
    return c;
}

// A window mask: full level inside, round ones 0 outside the circle.
Canvas MaskImage(int32_t w, int32_t h, bool round) {
    Canvas c(w, h, 248);
    if (!round) return c;
    const float cx = (w - 1) / 2.0f, cy = (h - 1) / 2.0f, r = std::min(w, h) / 2.0f;
    for (int32_t y = 0; y < h; y++)
        for (int32_t x = 0; x < w; x++)
            if ((x - cx) * (x - cx) + (y - cy) * (y - cy) > r * r) c.Set(x, y, 0);
    return c;
}

struct MaskArt {
    const char* name;
    int32_t w, h;
    bool round;
};
const MaskArt kMasks[] = {{"ALT_MASK.PCX", 12, 16, false},  {"HSI_MASK.PCX", 84, 83, true},
                          {"HOR_MASK.PCX", 76, 75, true},   {"AOA_MASK.PCX", 24, 70, false},
                          {"VVI_MASK.PCX", 24, 70, false},  {"TWS_MASK.PCX", 128, 128, true},
                          {"BHORMASK.PCX", 100, 99, true},  {"FFIAMASK.PCX", 8, 12, false},
                          {"FFI_MASK.PCX", 8, 24, false},   {"CPSSMASK.PCX", 32, 11, false}};

// --- the panel file -----------------------------------------------------

struct Vec {
    float x, y, z;
};
Vec Sub(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
float Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec Scale(Vec a, float s) { return {a.x * s, a.y * s, a.z * s}; }
Vec Cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

uint32_t Word(float f) {
    uint32_t w;
    memcpy(&w, &f, 4);
    return w;
}

struct PanelArt {
    std::string name;
    int32_t number;
    Vec topLeft, topRight, bottomLeft;
    int32_t width, height;
    std::vector<MkRelocSub> labels;
    std::vector<int8_t> hitMap;
};

MkRelocGroup PanelGroup(const PanelArt& p) {
    MkRelocGroup g;
    g.name = p.name;
    const Vec bottomRight = Sub(p.topRight, Sub(p.topLeft, p.bottomLeft));
    const Vec corners[4] = {p.topLeft, p.topRight, p.bottomLeft, bottomRight};
    const Vec u = Sub(p.topRight, p.topLeft), v = Sub(p.bottomLeft, p.topLeft);
    Vec n = Cross(u, v);
    n = Scale(n, 1.0f / std::sqrt(Dot(n, n)));
    g.extra.push_back((uint32_t)p.number);
    for (const Vec& c : corners)
        for (float f : {c.x, c.y, c.z}) g.extra.push_back(Word(f));
    for (const Vec& a : {Scale(u, 1.0f / Dot(u, u)), Scale(v, 1.0f / Dot(v, v)), n})
        for (float f : {a.x, a.y, a.z}) g.extra.push_back(Word(f));
    g.extra.push_back((uint32_t)p.width);
    g.extra.push_back((uint32_t)p.height);
    std::vector<uint8_t> map(p.hitMap.begin(), p.hitMap.end());
    map.resize((map.size() + 3) & ~(size_t)3, 0xFF);
    for (size_t i = 0; i < map.size(); i += 4)
        g.extra.push_back(map[i] | (uint32_t)map[i + 1] << 8 | (uint32_t)map[i + 2] << 16 | (uint32_t)map[i + 3] << 24);
    g.subs = p.labels;
    return g;
}

// Console model units (4096 to the foot) as metres from the eye, which sits
// at the glare shield's height.
Vec Console(int32_t x, int32_t h, int32_t fwd) {
    constexpr float kMetre = 0.3048f / 4096.0f;
    return {x * kMetre, (h - 0x1000) * kMetre, fwd * kMetre};
}

PanelArt Mfd(const char* name, int32_t x0, int32_t x1) {
    constexpr int32_t kConsole = 0x2000 - 8;
    PanelArt p{name, 0, Console(x0, 0xF00, kConsole), Console(x1, 0xF00, kConsole), Console(x0, 0x600, kConsole), 64, 64,
               {}, {}};
    p.hitMap.assign(64 * 64, -1);
    // The five buttons across the top edge.
    for (int32_t k = 0; k < 5; k++) {
        char label[8];
        snprintf(label, sizeof label, "OSB %d", k + 1);
        p.labels.push_back({label, {(uint32_t)(k + 1)}});
        const int32_t at = 6 + 12 * k;
        for (int32_t y = 0; y < 6; y++)
            for (int32_t x = at - 3; x <= at + 3; x++) p.hitMap[y * 64 + x] = (int8_t)k;
    }
    return p;
}

std::vector<uint8_t> PanelFile(void) {
    std::vector<PanelArt> panels;
    // The first two panels are the MFDs.
    panels.push_back(Mfd("MFD LEFT", -0x1100, -0x500));
    panels.push_back(Mfd("MFD RIGHT", 0x500, 0x1100));
    panels.back().number = 1;
    // The HUD: one metre across, two ahead, its boresight row on the nose line.
    const Vec hudTopLeft = {-0.5f, 0.3047f, 2.0f};
    const float hudW = 1.0f, hudH = 1.0f;
    panels.push_back({"HUD", 21, hudTopLeft, {0.5f, 0.3047f, 2.0f}, {-0.5f, -0.6953f, 2.0f}, 32, 32, {}, {}});
    panels.back().hitMap.assign(32 * 32, -1);
    // The glass over the HUD in two columns of four.
    for (int32_t k = 0; k < 8; k++) {
        const float x0 = hudTopLeft.x + (k % 2) * hudW / 2, y0 = hudTopLeft.y - (k / 2) * hudH / 4;
        PanelArt g{"GLASS" + std::to_string(k), 30 + k, {x0, y0, 2.0f}, {x0 + hudW / 2, y0, 2.0f},
                   {x0, y0 - hudH / 4, 2.0f}, 8, 8, {}, std::vector<int8_t>(64, -1)};
        panels.push_back(g);
    }
    std::vector<MkRelocGroup> groups;
    for (const PanelArt& p : panels) groups.push_back(PanelGroup(p));
    return mkdata_RelocBuild({}, groups);
}

}  // namespace

std::vector<uint8_t> mkdata_PanelFileBuild(void) { return PanelFile(); }

int mkdata_WriteAvionicsArt(const std::string& dir) {
    uint8_t palette[768];
    mkdata_GamePalette(palette);
    struct Item {
        const char* name;
        Canvas c;
    };
    std::vector<Item> items = {
        {"ALT_NUMB.PCX", DigitStrip(12, 16)}, {"INHGNUMB.PCX", DigitStrip(12, 16)},
        {"FFIANUMB.PCX", DigitStrip(8, 12)},  {"FFI_NUMB.PCX", DigitStrip(8, 12)},
        {"HSI_DISK.PCX", Disk(96)},           {"HOR_BALL.PCX", Ball(128, 512)},
        {"BHORBALL.PCX", Ball(128, 512)},     {"AOA_A.PCX", Lamps(0)},
        {"AOA_B.PCX", Lamps(1)},              {"AOA_C.PCX", Lamps(2)},
        {"AOA_STRP.PCX", Tape(24, 256, kGreen + 12)}, {"VVI_STRP.PCX", Tape(24, 256, kWhite)},
        {"CPSSTRP.PCX", Compass()},           {"KRXGEAR.PCX", GearLamps()},
        {"KRX_REFL.PCX", Reflection()},
    };
    for (const MaskArt& m : kMasks) items.push_back({m.name, MaskImage(m.w, m.h, m.round)});
    for (const Item& it : items)
        if (mkdata_PcxWrite(dir, it.name, it.c.w, it.c.h, it.c.px.data(), palette) != 0) return -1;
    return mkdata_WriteFile(dir, "KRXPANEL.VHB", PanelFile());
}
