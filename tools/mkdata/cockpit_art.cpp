// The cockpit panel images of the virtual cockpits "krxvrtc.pak" (day) and
// "krxvrtcn.pak" (night): each panel of the cockpit view table drawn in the
// game palette (bezels, dials, screens and lamps), embedded in the model and
// mapped onto its console.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "art_canvas.h"
#include "pak_write.h"

namespace {

// Palette entries (docs/formats.md, the game palette's ramps).
constexpr uint8_t kPanel = 208;   // cockpit panel ramp, dark to light
constexpr uint8_t kGrey = 1;      // greys
constexpr uint8_t kGreen = 96;    // HUD green
constexpr uint8_t kSky = 16;
constexpr uint8_t kEarth = 48;
constexpr uint8_t kYellow = 144;
constexpr uint8_t kRed = 112;

enum class Art { Mfd, Dial, Attitude, Compass, Threat, Indexer, Gear, Stick, HudControl, Glare };

using Canvas = MkCanvas;

void Paint(Canvas& c, Art art, bool night) {
    const float cx = (c.w - 1) / 2.0f, cy = (c.h - 1) / 2.0f, r = std::min(c.w, c.h) * 0.42f;
    const uint8_t face = night ? kPanel + 1 : kPanel + 5;
    const uint8_t bezel = night ? kPanel + 3 : kPanel + 9;
    const uint8_t mark = night ? kGreen + 9 : kGrey + 14;
    c.Rect(0, 0, c.w - 1, c.h - 1, face);
    c.Frame(0, 0, c.w - 1, c.h - 1, bezel);
    c.Frame(1, 1, c.w - 2, c.h - 2, bezel);
    switch (art) {
    case Art::Mfd: {
        const int32_t m = c.w / 10;
        c.Rect(m, m, c.w - 1 - m, c.h - 1 - m, night ? kGreen : kGreen + 1);
        c.Frame(m, m, c.w - 1 - m, c.h - 1 - m, bezel);
        for (int32_t k = 0; k < 5; k++) {
            const int32_t at = m + (c.w - 2 * m) * (2 * k + 1) / 10;
            c.Rect(at - 6, 4, at + 6, m - 6, kGrey + 10);
            c.Rect(at - 6, c.h - m + 5, at + 6, c.h - 5, kGrey + 10);
            c.Rect(4, at - 6, m - 6, at + 6, kGrey + 10);
            c.Rect(c.w - m + 5, at - 6, c.w - 5, at + 6, kGrey + 10);
        }
        c.Ring(cx, cy, r * 0.75f, 2, kGreen + 8);
        c.Ring(cx, cy, r * 0.4f, 2, kGreen + 6);
        c.Line(cx, (float)m + 4, cx, c.h - 5.0f - m, kGreen + 6);
        c.Line((float)m + 4, cy, c.w - 5.0f - m, cy, kGreen + 6);
        break;
    }
    case Art::Dial:
    case Art::Compass:
    case Art::Threat: {
        c.Disc(cx, cy, r, art == Art::Threat ? kGreen : kGrey);
        c.Ring(cx, cy, r, std::max(1.0f, r / 16), mark);
        for (int32_t k = 0; k < 12; k++) {
            const float a = k * 3.14159265f / 6;
            c.Line(cx + std::sin(a) * r * 0.8f, cy - std::cos(a) * r * 0.8f, cx + std::sin(a) * r, cy - std::cos(a) * r,
                   mark);
        }
        if (art == Art::Dial) {
            // The gauge draws its own needle; the face keeps a pivot cap.
            c.Disc(cx, cy, std::max(1.0f, r / 12), bezel);
        } else if (art == Art::Compass) {
            c.Line(cx, cy - r * 0.9f, cx, cy - r * 0.3f, kRed + 12);
            c.Line(cx - r * 0.3f, cy, cx + r * 0.3f, cy, mark);
        } else {
            c.Ring(cx, cy, r * 0.5f, 1, kGreen + 8);
            c.Rect((int32_t)cx - 1, (int32_t)cy - 1, (int32_t)cx + 1, (int32_t)cy + 1, kGreen + 12);
        }
        break;
    }
    case Art::Attitude:
        for (int32_t y = 0; y < c.h; y++)
            for (int32_t x = 0; x < c.w; x++)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r)
                    c.Set(x, y, y < cy ? (night ? kSky + 3 : kSky + 9) : (night ? kEarth + 2 : kEarth + 7));
        c.Line(cx - r, cy, cx + r, cy, kGrey + 14);
        c.Line(cx - r * 0.4f, cy + 2, cx + r * 0.4f, cy + 2, kYellow + 12);
        c.Ring(cx, cy, r, 2, bezel);
        break;
    case Art::Indexer:
        for (int32_t k = 0; k < 3; k++) {
            const uint8_t lamp = k == 0 ? kGreen + 12 : k == 1 ? kYellow + 12 : kRed + 12;
            c.Disc(cx, c.h * (k + 1) / 4.0f, c.w * 0.3f, lamp);
        }
        break;
    case Art::Gear:
        for (int32_t k = 0; k < 3; k++) c.Disc(c.w * (k + 1) / 4.0f, c.h * 0.3f, c.w * 0.08f, kGreen + 12);
        c.Rect((int32_t)(cx - c.w * 0.05f), (int32_t)(c.h * 0.45f), (int32_t)(cx + c.w * 0.05f), (int32_t)(c.h * 0.85f),
               kGrey + 12);
        c.Disc(cx, c.h * 0.85f, c.w * 0.08f, kGrey + 14);
        break;
    case Art::Stick:
        c.Rect((int32_t)(cx - c.w * 0.08f), (int32_t)(c.h * 0.3f), (int32_t)(cx + c.w * 0.08f), c.h - 3, kGrey + 3);
        c.Disc(cx, c.h * 0.3f, c.w * 0.16f, kGrey + 2);
        c.Disc(cx, c.h * 0.22f, c.w * 0.04f, kRed + 10);
        break;
    case Art::HudControl:
        for (int32_t k = 0; k < 4; k++)
            c.Rect(c.w / 8, c.h * (2 * k + 1) / 9, c.w * 7 / 8, c.h * (2 * k + 2) / 9 - 2, kGreen + 2 + 2 * k);
        break;
    case Art::Glare:
        c.Rect(0, 0, c.w - 1, c.h - 1, night ? kPanel : kPanel + 2);
        c.Rect(0, c.h - 2, c.w - 1, c.h - 1, bezel);
        break;
    }
}

struct PanelArt {
    const char* name;  // without the extension; the night image adds "N"
    int32_t width, height;
    Art art;
    bool shared;       // one name for day and night (no room for an "N")
};

const PanelArt kPanels[] = {
    {"KRXG01", 128, 128, Art::Threat, false},   {"KRXG02", 256, 256, Art::Dial, false},
    {"KRXG03", 256, 256, Art::Mfd, false},      {"KRXG04", 128, 128, Art::Attitude, false},
    {"KRXG05", 256, 256, Art::Mfd, false},      {"KRXG06", 32, 32, Art::Dial, false},
    {"KRXG07", 128, 128, Art::Gear, false},     {"KRXG08", 128, 128, Art::Compass, false},
    {"KRXG09", 128, 128, Art::Stick, false},    {"KRXG11", 64, 64, Art::Dial, false},
    {"KRXG12", 128, 128, Art::Dial, false},     {"KRXG13", 128, 128, Art::Dial, false},
    {"KRXG14", 128, 128, Art::Dial, false},     {"KRXG15", 128, 128, Art::Dial, false},
    {"KRXG16", 128, 128, Art::Dial, false},     {"KRXG17", 128, 128, Art::Dial, false},
    {"KRXV12", 32, 64, Art::Indexer, false},    {"KRX_LANT", 256, 256, Art::HudControl, true},
    {"KRXGLASB", 64, 16, Art::Glare, true},
};

}  // namespace

std::string mkdata_CockpitPanelImageName(const char* panel, bool night) {
    for (const PanelArt& p : kPanels)
        if (std::string(p.name) == panel) return std::string(p.name) + (night && !p.shared ? "N" : "") + ".PCX";
    return std::string(panel) + ".PCX";
}

std::vector<MkPakImage> mkdata_CockpitPanelImages(bool night, const uint8_t* palette) {
    std::vector<MkPakImage> images;
    for (const PanelArt& p : kPanels) {
        Canvas c(p.width, p.height, kPanel);
        Paint(c, p.art, night);
        MkPakImage im;
        im.name = mkdata_CockpitPanelImageName(p.name, night);
        im.flags = 0x0400;  // kept at full size: the panels are drawn pixel for pixel
        im.width = p.width;
        im.height = p.height;
        im.pixels = std::move(c.px);
        im.palette.assign(palette, palette + 768);
        images.push_back(std::move(im));
    }
    return images;
}
