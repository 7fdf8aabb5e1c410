// Stroke font.
#include "display/stroke.h"

#include <cmath>
#include <cstring>

#include "display/draw_line.h"
#include "display/dsurf.h"

FontStrokeState font_StrokeState;

namespace {

// The glyphs as polylines on the grid. A point is two hex digits, row then
// column (1..F; row 8, column 8 is the centre, rows grow downwards); points
// of a polyline are separated by blanks and polylines by '|'. Capitals and
// digits stand on rows 5..11 and columns 6..10; small letters have their
// body on rows 8..11 with descenders to row 13.
struct StrokeDef {
    char code;
    const char* lines;
};
constexpr StrokeDef kStrokeDefs[] = {
    {' ', ""},
    // Store symbols of the stores page: 1 fuel tank, 2 bomb, 3 air-to-air
    // missile, 4 air-to-ground missile.
    {'\1', "37 39 4A CA D9 D7 C6 46 37"},
    {'\2', "48 59 A9 B8 A7 57 48|B8 D6 DA B8"},
    {'\3', "38 D8|47 38 49|B6 D8 BA|76 7A"},
    {'\4', "38 47 C7 D8 C9 49 38|B6 C7|BA C9"},
    {'!', "58 98|B8 A8"},
    {'%', "5A B6|56 57 67 66 56|A9 AA BA B9 A9"},
    {'\'', "58 78"},
    {'+', "86 8A|68 A8"},
    {',', "A8 B8 C7"},
    {'-', "86 8A"},
    {'.', "A8 B8"},
    {'0', "57 59 6A AA B9 B7 A6 66 57|A6 6A"},
    {'1', "67 58 B8|B7 B9"},
    {'2', "66 57 59 6A 7A B6 BA"},
    {'3', "66 57 59 6A 7A 89 87|89 9A AA B9 B7 A6"},
    {'4', "9A 96 59 B9"},
    {'5', "5A 56 86 89 9A AA B9 B6"},
    {'6', "59 57 66 A6 B7 B9 AA 9A 89 86"},
    {'7', "56 5A B7"},
    {'8', "87 76 66 57 59 6A 7A 89 87 96 A6 B7 B9 AA 9A 89"},
    {'9', "8A 87 76 66 57 59 6A AA B9 B7"},
    {':', "68 78|A8 B8"},
    {';', "68 78|A8 B8 C7"},
    {'<', "5A 86 BA"},
    {'=', "76 7A|96 9A"},
    {'>', "56 8A B6"},
    {'?', "66 57 59 6A 7A 88 98|A8 B8"},
    {'A', "B6 58 BA|89 87"},
    {'B', "B6 56 59 6A 7A 89 86|89 9A AA B9 B6"},
    {'C', "6A 59 57 66 A6 B7 B9 AA"},
    {'D', "B6 56 58 7A 9A B8 B6"},
    {'E', "5A 56 B6 BA|86 89"},
    {'F', "5A 56 B6|86 89"},
    {'G', "6A 59 57 66 A6 B7 B9 AA 8A 88"},
    {'H', "56 B6|5A BA|86 8A"},
    {'I', "57 59|58 B8|B7 B9"},
    {'J', "5A AA B9 B7 A6"},
    {'K', "56 B6|5A 86|77 BA"},
    {'L', "56 B6 BA"},
    {'M', "B6 56 88 5A BA"},
    {'N', "B6 56 BA 5A"},
    {'O', "57 59 6A AA B9 B7 A6 66 57"},
    {'P', "B6 56 59 6A 7A 89 86"},
    {'Q', "57 59 6A AA B9 B7 A6 66 57|99 CB"},
    {'R', "B6 56 59 6A 7A 89 86|88 BA"},
    {'S', "6A 59 57 66 76 87 89 9A AA B9 B7 A6"},
    {'T', "56 5A|58 B8"},
    {'U', "56 A6 B7 B9 AA 5A"},
    {'V', "56 B8 5A"},
    {'W', "56 B7 88 B9 5A"},
    {'X', "56 BA|5A B6"},
    {'Y', "56 88 5A|88 B8"},
    {'Z', "56 5A B6 BA"},
    {'a', "8A BA|9A 89 87 96 A6 B7 B9 AA"},
    {'b', "56 B6|96 87 89 9A AA B9 B7 A6"},
    {'c', "8A 87 96 A6 B7 BA"},
    {'d', "5A BA|9A 89 87 96 A6 B7 B9 AA"},
    {'e', "A6 AA 9A 89 87 96 A6 B7 BA"},
    {'f', "B7 67 58 59|86 89"},
    {'g', "9A 89 87 96 A6 B7 B9 AA|8A CA D9 D7"},
    {'h', "56 B6|96 87 89 9A BA"},
    {'i', "88 B8|58 68"},
    {'j', "89 C9 D8 D7|59 69"},
    {'k', "56 B6|8A A6|98 BA"},
    {'l', "57 58 B8|B7 B9"},
    {'m', "B6 86|96 87 98 B8|98 89 9A BA"},
    {'n', "B6 86|96 87 89 9A BA"},
    {'o', "87 89 9A AA B9 B7 A6 96 87"},
    {'p', "86 D6|96 87 89 9A AA B9 B7 A6"},
    {'q', "8A DA|9A 89 87 96 A6 B7 B9 AA"},
    {'r', "86 B6|96 87 89 9A"},
    {'s', "8A 87 96 AA B9 B6"},
    {'t', "67 A7 B8 B9|86 89"},
    {'u', "86 A6 B7 B9 AA|8A BA"},
    {'v', "86 B8 8A"},
    {'w', "86 B7 98 B9 8A"},
    {'x', "86 BA|8A B6"},
    {'y', "86 B8|8A D7"},
    {'z', "86 8A B6 BA"},
};

constexpr int Hex(char c) { return c >= 'A' ? c - 'A' + 10 : c - '0'; }

// Bytes the stroke lists take (two a stroke, one for each end mark), and
// whether every point names a grid row and column 1..15: checked when
// compiling, so that a glyph added later cannot outgrow the buffer or reach
// past the grid.
constexpr size_t StrokeBytes() {
    size_t bytes = 0;
    for (const StrokeDef& d : kStrokeDefs) {
        int points = 0;
        for (const char* p = d.lines;; p++) {
            if (*p == '|' || *p == 0) {
                if (points > 1) bytes += 2 * (size_t)(points - 1);
                points = 0;
                if (!*p) break;
            } else if (*p != ' ') {
                points++;
                p++;  // the column digit
            }
        }
        bytes++;
    }
    return bytes;
}
constexpr bool StrokePointsValid() {
    auto digit = [](char c) { return (c >= '1' && c <= '9') || (c >= 'A' && c <= 'F'); };
    for (const StrokeDef& d : kStrokeDefs)
        for (const char* p = d.lines; *p; p++) {
            if (*p == ' ' || *p == '|') continue;
            if (!digit(p[0]) || !digit(p[1])) return false;
            p++;
        }
    return true;
}
static_assert(StrokePointsValid(), "stroke points are two digits 1..F (row, column)");

// Stroke lists: byte pairs (start point, end point) ending at a 0.
uint8_t g_strokeData[StrokeBytes()];
const uint8_t* g_glyphs[256];

void BuildGlyphs() {
    size_t used = 0;
    const uint8_t* dash = nullptr;
    for (const StrokeDef& d : kStrokeDefs) {
        g_glyphs[(uint8_t)d.code] = g_strokeData + used;
        int previous = 0;
        for (const char* p = d.lines; *p;) {
            if (*p == ' ') {
                p++;
                continue;
            }
            if (*p == '|') {
                previous = 0;
                p++;
                continue;
            }
            int point = (Hex(p[0]) - 1) * FONT_STROKE_GRID + Hex(p[1]);
            p += 2;
            if (previous) {
                g_strokeData[used++] = (uint8_t)previous;
                g_strokeData[used++] = (uint8_t)point;
            }
            previous = point;
        }
        g_strokeData[used++] = 0;
        if (d.code == '-') dash = g_glyphs[(uint8_t)'-'];
    }
    for (const uint8_t*& g : g_glyphs)
        if (!g) g = dash;
}

// round((2^31 - 1) sin(2 pi i / 512)); the cosine of step k is entry k + 128.
int32_t g_sine[640];

void BuildSine() {
    for (int i = 0; i < 640; i++) g_sine[i] = (int32_t)std::lround(2147483647.0 * std::sin(2.0 * M_PI * i / 512.0));
}

// The high 32 bits of a table entry times twice a stored scale, over 8.
int64_t GridStep(int32_t entry, int32_t storedScale) {
    int32_t twice = (int32_t)((uint32_t)storedScale << 1);
    return (int32_t)(((int64_t)entry * twice) >> 32) >> 3;
}

void BuildGrid() {
    FontStrokeState& s = font_StrokeState;
    const uint32_t step = s.angle >> 23;
    const int32_t sine = g_sine[step], cosine = g_sine[step + 128];
    const int64_t ux = GridStep(cosine, s.xScale), uy = GridStep(sine, s.xScale);
    const int64_t vx = GridStep(sine, s.yScale), vy = GridStep(cosine, s.yScale);
    for (int r = 1; r <= FONT_STROKE_GRID; r++) {
        for (int k = 1; k <= FONT_STROKE_GRID; k++) {
            int n = (r - 1) * FONT_STROKE_GRID + k;
            s.gridX[n] = (k - 8) * ux + (r - 8) * vx;
            s.gridY[n] = -(k - 8) * uy + (r - 8) * vy;
        }
    }
    s.advanceX = 6 * ux;
    s.advanceY = -6 * uy;
    s.lineX = (15 * vx) >> 1;
    s.lineY = (15 * vy) >> 1;
}

// Tables and the start-up grid, on first use (also before main, so that the
// state reads as started up).
bool Ready() {
    static const bool ready = [] {
        BuildGlyphs();
        BuildSine();
        font_StrokeState.xScale = font_StrokeState.yScale = 256;
        BuildGrid();
        return true;
    }();
    return ready;
}
[[maybe_unused]] const bool g_started = Ready();

int32_t Sat32(int64_t v) { return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : (int32_t)v; }

}  // namespace

void font_SetStrokeRotation(int32_t, int32_t xScale, int32_t yScale, int32_t angle) {
    Ready();
    FontStrokeState& s = font_StrokeState;
    s.xScale = (int32_t)((uint32_t)xScale << 1);
    s.yScale = (int32_t)((uint32_t)yScale << 1);
    s.angle = (uint32_t)angle << 7;
    BuildGrid();
}

void font_DrawStrokeText(const char* text, int32_t x, int32_t y, int32_t colour, int32_t flags) {
    Ready();
    FontStrokeState& s = font_StrokeState;
    s.originX = 2 * (int64_t)x;
    s.originY = 2 * (int64_t)y;
    s.colour = colour;
    s.flags = flags;
    if (!text) return;

    int64_t n = 0;
    for (const unsigned char* p = (const unsigned char*)text; *p && n < FONT_STROKE_MAX_CHARS; p++) {
        if (*p == '~') {
            if (!p[1]) break;
            p++;
            continue;
        }
        n++;
    }
    if (n == 0) return;

    // Layout: the advance, the text length and the vertical offset.
    int64_t advX, advY, lenX, lenY, offX, offY;
    if (flags & FONT_STROKE_VERTICAL) {
        advX = s.lineX;
        advY = s.lineY;
        lenX = lenY = 0;
        s.originX -= ((n - 1) * s.lineX) >> 1;
        s.originY -= ((n - 1) * s.lineY) >> 1;
        offX = (((n - 1) * s.lineX) >> 1) + (s.lineX >> 1);
        offY = (((n - 1) * s.lineY) >> 1) + (s.lineY >> 1);
    } else {
        advX = s.advanceX;
        advY = s.advanceY;
        lenX = (n - 1) * s.advanceX;
        lenY = (n - 1) * s.advanceY;
        offX = s.lineX >> 1;
        offY = s.lineY >> 1;
    }
    if (flags & FONT_STROKE_LEFT) {
        s.originX += s.advanceX >> 1;
        s.originY += s.advanceY >> 1;
    } else if (flags & FONT_STROKE_RIGHT) {
        s.originX -= lenX + (s.advanceX >> 1);
        s.originY -= lenY + (s.advanceY >> 1);
    } else {
        s.originX -= lenX >> 1;
        s.originY -= lenY >> 1;
    }
    if (flags & FONT_STROKE_DOWN) {
        s.originX += offX;
        s.originY += offY;
    } else if (flags & FONT_STROKE_UP) {
        s.originX -= offX;
        s.originY -= offY;
    }

    const bool slotLines = (flags & FONT_STROKE_SLOT_LINES) != 0;
    int64_t drawn = 0;
    for (const unsigned char* p = (const unsigned char*)text; *p && drawn < n; p++) {
        if (*p == '~') {
            if (!p[1]) break;
            p++;
            continue;
        }
        for (const uint8_t* st = g_glyphs[*p]; st[0]; st += 2) {
            int64_t x1 = s.gridX[st[0]] + s.originX, y1 = s.gridY[st[0]] + s.originY;
            int64_t x2 = s.gridX[st[1]] + s.originX, y2 = s.gridY[st[1]] + s.originY;
            if (slotLines) {
                draw_ClipLineF(Sat32(x1 >> 1), Sat32(y1 >> 1), Sat32(x2 >> 1), Sat32(y2 >> 1), colour);
            } else {
                draw_Context.colourSlot = (uint8_t)colour;
                draw_ClipLine(Sat32(x1 >> 8), Sat32(y1 >> 8), Sat32(x2 >> 8), Sat32(y2 >> 8));
            }
        }
        s.originX += advX;
        s.originY += advY;
        drawn++;
    }
}
