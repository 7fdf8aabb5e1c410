// The game palette "genpak.pcx", its remap companions "genpak.CR1" and
// "genpak.CR2", and the start picture "INIT.BMP". The palette's layout is
// described in docs/formats.md; other writers draw their art in it.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "base/le.h"
#include "display/pal.h"
#include "mkdata.h"

namespace {

struct Ramp {
    int first, count;
    uint8_t from[3], to[3];
};

// Ramps run dark to light.
const Ramp kRamps[] = {
    {1, 15, {16, 16, 16}, {240, 240, 240}},     // greys
    {16, 16, {10, 20, 60}, {200, 225, 255}},    // sky: deep blue to the pale horizon
    {32, 16, {10, 40, 8}, {150, 200, 90}},      // grass and forest greens
    {48, 16, {40, 24, 10}, {200, 160, 110}},    // earth and rock browns
    {64, 16, {90, 80, 50}, {245, 230, 190}},    // sand and dry ground
    {80, 16, {30, 32, 36}, {190, 192, 196}},    // asphalt and concrete
    {96, 16, {0, 40, 0}, {160, 255, 160}},      // HUD green
    {112, 16, {48, 0, 0}, {255, 90, 70}},       // reds
    {128, 16, {80, 24, 0}, {255, 170, 40}},     // fire orange
    {144, 16, {120, 100, 0}, {255, 255, 190}},  // yellows
    {160, 16, {0, 16, 40}, {60, 130, 190}},     // water
    {176, 16, {40, 46, 56}, {210, 218, 230}},   // aircraft metal
    {192, 16, {30, 34, 12}, {170, 170, 100}},   // olive and camouflage
    {208, 16, {12, 14, 18}, {110, 116, 124}},   // cockpit panels
    {224, 16, {130, 135, 145}, {250, 250, 252}},  // cloud
};

// Entries 240-254: single colours for markers, lights and menus.
const uint8_t kAccents[15][3] = {
    {255, 0, 0},   {0, 255, 0},     {0, 0, 255},     {255, 255, 0},   {0, 255, 255},
    {255, 0, 255}, {255, 128, 0},   {128, 0, 255},   {0, 128, 255},   {255, 192, 203},
    {128, 64, 0},  {64, 128, 64},   {192, 192, 255}, {255, 224, 128}, {96, 96, 96},
};

// Entries that keep their colour whatever the brightness setting: the
// palette image holds exactly these values.
const int kFullbright[][2] = {{96, 16}, {128, 16}, {144, 16}, {240, 16}};

int32_t Distance(const uint8_t* e, int r, int g, int b) {
    int dr = e[0] - r, dg = e[1] - g, db = e[2] - b;
    return dr * dr + dg * dg + db * db;
}

// Squared distance from value v to the range [lo, hi] of one channel, and
// to its farther end.
int32_t NearSq(int v, int lo, int hi) {
    int d = v < lo ? lo - v : v > hi ? v - hi : 0;
    return d * d;
}
int32_t FarSq(int v, int lo, int hi) {
    int d = std::max(std::abs(v - lo), std::abs(v - hi));
    return d * d;
}

// The buckets of a remap file: for each cell every entry of the set that can
// be the nearest to some colour of the cell (no farther from the cell than
// the best entry's farthest point), ascending, so that the bucket search
// gives what the full search gives.
std::vector<uint8_t> BuildRemap(const uint8_t* pal, const bool* set) {
    LeWriter w;
    std::vector<std::vector<uint8_t>> buckets(PAL_REMAP_CELLS);
    for (int cell = 0; cell < PAL_REMAP_CELLS; cell++) {
        int lo[3] = {(cell / 16) * 64, (cell / 4 % 4) * 64, (cell % 4) * 64};
        int32_t bound = INT32_MAX;
        for (int n = 1; n < 256; n++) {
            if (!set[n]) continue;
            int32_t far = 0;
            for (int c = 0; c < 3; c++) far += FarSq(pal[n * 3 + c], lo[c], lo[c] + 63);
            bound = std::min(bound, far);
        }
        for (int n = 1; n < 256; n++) {
            if (!set[n]) continue;
            int32_t near = 0;
            for (int c = 0; c < 3; c++) near += NearSq(pal[n * 3 + c], lo[c], lo[c] + 63);
            if (near <= bound) buckets[cell].push_back((uint8_t)n);
        }
    }
    uint32_t offset = PAL_REMAP_CELLS * 4;
    for (const auto& b : buckets) {
        w.u32(offset);
        offset += 1 + (uint32_t)b.size();
    }
    for (const auto& b : buckets) {
        w.u8((uint8_t)b.size());
        w.bytes(b.data(), b.size());
    }
    return w.buf;
}

// The start picture: a dawn sky over a horizon, with the program's letters.
std::vector<uint8_t> StartPicture(int width, int height) {
    std::vector<uint8_t> rgb((size_t)width * height * 3);
    int horizon = height * 2 / 3;
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            uint8_t* p = &rgb[((size_t)y * width + x) * 3];
            if (y < horizon) {
                double t = (double)y / horizon;
                p[0] = (uint8_t)(20 + 200 * t * t);
                p[1] = (uint8_t)(40 + 150 * t);
                p[2] = (uint8_t)(110 + 120 * t);
            } else {
                double t = (double)(y - horizon) / (height - horizon);
                p[0] = (uint8_t)(60 - 40 * t);
                p[1] = (uint8_t)(80 - 50 * t);
                p[2] = (uint8_t)(40 - 25 * t);
            }
        }
    }
    // "KRX" in blocks of 5 x 7 cells.
    static const char* const kGlyphs[3][7] = {
        {"X...X", "X..X.", "X.X..", "XX...", "X.X..", "X..X.", "X...X"},
        {"XXXX.", "X...X", "X...X", "XXXX.", "X.X..", "X..X.", "X...X"},
        {"X...X", "X...X", ".X.X.", "..X..", ".X.X.", "X...X", "X...X"},
    };
    int cell = std::max(1, width / 48);
    int textW = 3 * 5 * cell + 2 * 2 * cell;
    int left = (width - textW) / 2, top = horizon / 2 - 7 * cell / 2;
    for (int g = 0; g < 3; g++)
        for (int row = 0; row < 7; row++)
            for (int col = 0; col < 5; col++) {
                if (kGlyphs[g][row][col] != 'X') continue;
                int x0 = left + g * 7 * cell + col * cell, y0 = top + row * cell;
                for (int y = y0; y < y0 + cell && y < height; y++)
                    for (int x = x0; x < x0 + cell && x < width; x++) {
                        uint8_t* p = &rgb[((size_t)y * width + x) * 3];
                        p[0] = 230;
                        p[1] = 235;
                        p[2] = 240;
                    }
            }
    return rgb;
}

}  // namespace

void mkdata_GamePalette(uint8_t* rgb768) {
    memset(rgb768, 0, PAL_BYTES);
    for (const Ramp& r : kRamps)
        for (int i = 0; i < r.count; i++) {
            double t = r.count > 1 ? (double)i / (r.count - 1) : 0.0;
            for (int c = 0; c < 3; c++)
                rgb768[(r.first + i) * 3 + c] = (uint8_t)std::lround(r.from[c] + (r.to[c] - r.from[c]) * t);
        }
    for (int i = 0; i < 15; i++) memcpy(rgb768 + (240 + i) * 3, kAccents[i], 3);
    rgb768[255 * 3] = rgb768[255 * 3 + 1] = rgb768[255 * 3 + 2] = 255;
}

int mkdata_PaletteNearest(const uint8_t* rgb768, int red, int green, int blue) {
    int best = 1;
    int32_t bestD = INT32_MAX;
    for (int n = 1; n < 256; n++) {
        int32_t d = Distance(rgb768 + n * 3, red, green, blue);
        if (d < bestD) {
            bestD = d;
            best = n;
        }
    }
    return best;
}

std::vector<uint8_t> mkdata_RemapFileBuild(const uint8_t* rgb768) {
    bool all[256];
    for (int n = 0; n < 256; n++) all[n] = n != 0;
    return BuildRemap(rgb768, all);
}

int mkdata_WritePalettes(const std::string& dir) {
    uint8_t pal[PAL_BYTES];
    mkdata_GamePalette(pal);

    // The palette image: one row per fullbright ramp.
    const int rows = (int)(sizeof kFullbright / sizeof kFullbright[0]);
    std::vector<uint8_t> image(16 * rows);
    for (int r = 0; r < rows; r++)
        for (int i = 0; i < 16; i++)
            image[r * 16 + i] = (uint8_t)std::min(255, kFullbright[r][0] + std::min(i, kFullbright[r][1] - 1));
    if (mkdata_PcxWrite(dir, "genpak.pcx", 16, rows, image.data(), pal) != 0) return -1;

    // Both companions hold buckets over every entry 1-255.
    std::vector<uint8_t> remap = mkdata_RemapFileBuild(pal);
    if (mkdata_WriteFile(dir, "genpak.CR1", remap) != 0) return -1;
    if (mkdata_WriteFile(dir, "genpak.CR2", remap) != 0) return -1;

    std::vector<uint8_t> start = StartPicture(640, 480);
    return mkdata_BmpWrite24(dir, "INIT.BMP", 640, 480, start.data());
}
