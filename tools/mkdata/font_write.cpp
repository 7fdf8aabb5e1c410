// The bitmap fonts of the data set: the built-in 8x8 glyphs drawn at the
// size of each font, trimmed to proportional widths and laid out in the
// band grid the font scanner reads (docs/formats.md, "Bitmap fonts").
#include <algorithm>
#include <cstring>

#include "display/dtext.h"
#include "display/font.h"
#include "mkdata.h"

namespace {

// Glyph pixels of the data set's fonts: the light end of the grey ramp.
constexpr uint8_t kInk = 15;

struct Glyph {
    int32_t width = 0;
    std::vector<uint8_t> pixels;  // width x cellHeight
    bool invisible = false;       // the space: columns marked only
};

// The 8x8 glyph of a code scaled to cellHeight rows (and as many columns),
// emboldened, and cut to its inked columns.
Glyph DrawGlyph(int code, int32_t cellHeight, bool bold) {
    Glyph g;
    const int32_t h = cellHeight, w = cellHeight + (bold ? 1 : 0);
    std::vector<uint8_t> cell((size_t)w * h, 0);
    if (code >= DTEXT_FIRST && code <= DTEXT_LAST) {
        const uint8_t* art = dtext_Glyphs.data() + (code - DTEXT_FIRST) * 64;
        for (int32_t y = 0; y < h; y++)
            for (int32_t x = 0; x < cellHeight; x++)
                if (art[(y * 8 / h) * 8 + x * 8 / cellHeight]) {
                    cell[(size_t)y * w + x] = kInk;
                    if (bold) cell[(size_t)y * w + x + 1] = kInk;
                }
    } else if (code == 0) {
        // The glyph drawn for codes without one of their own: a hollow box.
        const int32_t bw = std::max(3, h / 2), top = 1, bottom = std::max(top + 2, h * 7 / 8 - 1);
        for (int32_t y = top; y <= bottom; y++)
            for (int32_t x = 0; x < bw; x++)
                if (y == top || y == bottom || x == 0 || x == bw - 1) cell[(size_t)y * w + x] = kInk;
    }
    int32_t first = w, last = -1;
    for (int32_t x = 0; x < w; x++)
        for (int32_t y = 0; y < h; y++)
            if (cell[(size_t)y * w + x]) first = std::min(first, x), last = std::max(last, x);
    if (last < 0) {
        g.invisible = true;
        g.width = std::max(2, h * 3 / 8);
        g.pixels.assign((size_t)g.width * h, 0);
        return g;
    }
    g.width = last - first + 1;
    g.pixels.resize((size_t)g.width * h);
    for (int32_t y = 0; y < h; y++)
        memcpy(&g.pixels[(size_t)y * g.width], &cell[(size_t)y * w + first], (size_t)g.width);
    return g;
}

// Codes of each band: band 0 holds the box of code 0, band 1 nothing,
// bands 2 to 7 the codes 32 to 127.
std::vector<int> BandCodes(int band) {
    std::vector<int> codes;
    if (band == 0) codes.push_back(0);
    if (band >= 2)
        for (int c = band * 16; c < band * 16 + 16; c++) codes.push_back(c);
    return codes;
}

constexpr int kBands = 8;
constexpr int32_t kFirstColumn = 2;

}  // namespace

std::vector<uint8_t> mkdata_FontImage(int32_t cellHeight, bool bold, int32_t* width, int32_t* height) {
    const int32_t h = cellHeight;
    std::vector<std::vector<Glyph>> bands(kBands);
    int32_t imageWidth = kFirstColumn + 1;
    for (int b = 0; b < kBands; b++) {
        int32_t x = kFirstColumn;
        for (int code : BandCodes(b)) {
            bands[b].push_back(DrawGlyph(code, h, bold));
            x += bands[b].back().width + 1;
        }
        imageWidth = std::max(imageWidth, x);
    }
    const int32_t imageHeight = kBands * (h + 2);
    std::vector<uint8_t> image((size_t)imageWidth * imageHeight, 0);
    const int32_t baseline = h * 7 / 8 - 1;  // the last inked row of a letter
    for (int b = 0; b < kBands; b++) {
        const int32_t top = b * (h + 2);
        image[(size_t)(top + baseline) * imageWidth] = FONT_PIXEL_BASELINE;
        image[(size_t)(top + h) * imageWidth] = FONT_PIXEL_BAND_END;
        int32_t x = kFirstColumn;
        for (const Glyph& g : bands[b]) {
            for (int32_t y = 0; y < h; y++)
                memcpy(&image[(size_t)(top + y) * imageWidth + x], &g.pixels[(size_t)y * g.width], (size_t)g.width);
            if (g.invisible)
                for (int32_t c = 0; c < g.width; c++) image[(size_t)top * imageWidth + x + c] = FONT_PIXEL_COLUMN;
            x += g.width + 1;
        }
    }
    *width = imageWidth;
    *height = imageHeight;
    return image;
}

int mkdata_WriteFonts(const std::string& dir) {
    struct FontFile {
        const char* name;
        int32_t cellHeight;
        bool bold;
    };
    // The level loader's fonts: the small font in both screen sizes, the
    // plain 11-pixel font and the bold key fonts of the cockpit pages.
    const FontFile kFonts[] = {
        {"small640.pcx", 8, false}, {"small320.pcx", 8, false}, {"arial11n.pcx", 11, false},
        {"key11bna.pcx", 11, true}, {"key13bna.pcx", 13, true}, {"key16bna.pcx", 16, true},
    };
    uint8_t palette[768];
    mkdata_GamePalette(palette);
    for (const FontFile& f : kFonts) {
        int32_t w = 0, h = 0;
        std::vector<uint8_t> image = mkdata_FontImage(f.cellHeight, f.bold, &w, &h);
        std::vector<uint8_t> bytes = mkdata_PcxBuild(dir, w, h, image.data(), palette);
        if (bytes.empty()) return -1;
        mkdata_PffAdd("KRX.PFF", f.name, std::move(bytes));
    }
    return 0;
}
