#include "display/draw_text.h"

#include <cstring>

#include "display/font.h"

namespace {

// Operands kept between calls, for the short form.
struct WrapBoxRecord {
    int32_t colour;
    int32_t boxMode;
};
WrapBoxRecord g_box = {15, FONT_MODE_ONE_COLOUR};

// Longest line drawn; no screen holds more glyphs on one row.
constexpr size_t kLineMax = 1024;

}  // namespace

int32_t draw_WrapTextBox(const char* text, const BitmapFont* font, int32_t x, int32_t y, int32_t colour,
                         int32_t boxMode) {
    g_box.colour = colour;
    g_box.boxMode = boxMode;
    if (!text || !font) return -1;
    const int32_t mode = boxMode & 0xFF;
    const int32_t background = (boxMode >> 8) & 0x1FF;
    const int64_t step = font_State.textHeight;
    int64_t lineY = y;
    const char* p = text;
    for (;;) {
        const char* end = strchr(p, '\n');
        size_t n = end ? (size_t)(end - p) : strlen(p);
        const size_t next = n + (end ? 1 : 0);
        if (n && p[n - 1] == '\r') n--;
        char line[kLineMax];
        if (n >= sizeof(line)) n = sizeof(line) - 1;
        memcpy(line, p, n);
        line[n] = 0;
        if (lineY < INT32_MIN || lineY > INT32_MAX) break;
        font_DrawStringClipped(line, font, x, (int32_t)lineY, colour, mode, background);
        if (!end) break;
        p += next;
        lineY += step;
    }
    return 0;
}

int32_t draw_WrapTextBoxC(const char* text, const BitmapFont* font, int32_t x, int32_t y) {
    return draw_WrapTextBox(text, font, x, y, g_box.colour, g_box.boxMode);
}
