// Bitmap and proportional fonts.
#include "display/font.h"

#include <cstring>

#include "base/mem.h"
#include "display/draw_fill.h"
#include "display/dsurf.h"
#include "display/pal.h"
#include "display/pal_hicolor.h"
#include "display/pcx.h"
#include "display/vid.h"

FontState font_State = [] {
    FontState s{};
    for (int32_t i = 0; i < FONT_TAB_STOPS; i++) s.tabStops[i] = (i + 1) * FONT_DEFAULT_TAB_WIDTH;
    return s;
}();

namespace {

// Colour slot whose handle the shadows are drawn with.
constexpr int32_t kShadowSlot = 10;

// Pixels a text may be written to: x1, y1 inclusive, x2, y2 exclusive.
struct Box {
    int32_t x1, y1, x2, y2;
};

// What the row blitters need besides the pixels.
struct BlitColours {
    int32_t mode;
    uint32_t pixel;           // modes 1 and 4: the slot's value at the surface depth
    uint8_t offset;           // mode 3
    const uint32_t* table;    // modes 0 and 3 at 16 and 32 bits
};

// The surface's pixels, or with `clipped` its clip rectangle cut to them;
// false when there is nothing to draw on.
bool SurfaceBox(bool clipped, Box* box) {
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    if (!s.base) return false;
    const int32_t bpp = s.bytesPerPixel;
    if (!(bpp == 1 || bpp == 2 || bpp == 4) || s.bitsPerPixel != bpp * 8) return false;
    if (s.width <= 0 || s.height <= 0 || s.bytesPerRow < bpp) return false;
    int32_t w = s.width < s.bytesPerRow / bpp ? s.width : s.bytesPerRow / bpp;
    *box = Box{0, 0, w, s.height};
    if (clipped) {
        if (s.clipX1 > box->x1) box->x1 = s.clipX1;
        if (s.clipY1 > box->y1) box->y1 = s.clipY1;
        if (s.clipX2 < box->x2) box->x2 = s.clipX2;
        if (s.clipY2 < box->y2) box->y2 = s.clipY2;
    }
    return box->x1 < box->x2 && box->y1 < box->y2;
}

uint32_t SlotPixel(int32_t slot, int32_t bytesPerPixel) {
    const DrawColourSlot& s = draw_Context.slots[slot & (DRAW_COLOUR_SLOTS - 1)];
    return bytesPerPixel == 1 ? s.index : bytesPerPixel == 2 ? s.value16 : s.value32;
}

void Store(uint8_t* p, uint32_t v, int32_t bytes) {
    if (bytes == 1) {
        *p = (uint8_t)v;
    } else if (bytes == 2) {
        uint16_t w = (uint16_t)v;
        memcpy(p, &w, 2);
    } else {
        memcpy(p, &v, 4);
    }
}

// One glyph row: count source pixels to dest, pixels of value 0 skipped.
// Raw mode steps one byte per pixel at every depth.
template <int Bytes>
void BlitRow(uint8_t* dest, const uint8_t* src, int32_t count, const BlitColours& c) {
    switch (c.mode) {
    case FONT_MODE_IMAGE:
        for (int32_t i = 0; i < count; i++)
            if (src[i]) Store(dest + i * Bytes, Bytes == 1 ? src[i] : c.table[src[i]], Bytes);
        break;
    case FONT_MODE_RAW:
        for (int32_t i = 0; i < count; i++)
            if (src[i]) dest[i] = src[i];
        break;
    case FONT_MODE_RAMP:
        for (int32_t i = 0; i < count; i++) {
            if (!src[i]) continue;
            uint8_t v = (uint8_t)(src[i] + c.offset);
            Store(dest + i * Bytes, Bytes == 1 ? v : c.table[v], Bytes);
        }
        break;
    default:  // one colour, coded colour
        for (int32_t i = 0; i < count; i++)
            if (src[i]) Store(dest + i * Bytes, c.pixel, Bytes);
        break;
    }
}

typedef void (*RowBlitter)(uint8_t*, const uint8_t*, int32_t, const BlitColours&);

// The row blitter of the current surface's depth.
RowBlitter g_rowBlitter = BlitRow<1>;

RowBlitter SelectBlitter(int32_t bytesPerPixel) {
    return bytesPerPixel == 1 ? BlitRow<1> : bytesPerPixel == 2 ? BlitRow<2> : BlitRow<4>;
}

const FontEntry* EntryFor(const BitmapFont* font, uint8_t code) {
    const FontEntry* e = &font->entries[code];
    return e->present ? e : &font->entries[0];
}

int64_t Advance(const BitmapFont* font, const FontEntry& e) { return (int64_t)e.width + 1 - font->spacing; }

// A glyph with its top-left at (penX, y), cut to the box.
void DrawGlyph(const BitmapFont* font, const FontEntry& e, int64_t penX, int64_t y, const Box& box,
               const BlitColours& colours) {
    // Entries of an earlier scan may not fit an image loaded since.
    if ((int64_t)e.x + e.width > font->width || (int64_t)e.top + e.height > font->height) return;
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    const int32_t bpp = s.bytesPerPixel;
    // Raw mode writes one byte per pixel, so its columns are cut in bytes.
    const int64_t unit = colours.mode == FONT_MODE_RAW ? bpp : 1;
    const int64_t start = penX * unit;
    int64_t c0 = (int64_t)box.x1 * unit - start, c1 = (int64_t)box.x2 * unit - start;
    if (c0 < 0) c0 = 0;
    if (c1 > e.width) c1 = e.width;
    int64_t r0 = box.y1 - y, r1 = box.y2 - y;
    if (r0 < 0) r0 = 0;
    if (r1 > e.height) r1 = e.height;
    if (c0 >= c1 || r0 >= r1) return;
    const uint8_t* src = font->image + ((int64_t)e.top + r0) * font->width + e.x + c0;
    const int64_t destColumn = colours.mode == FONT_MODE_RAW ? start + c0 : (penX + c0) * bpp;
    uint8_t* dest = s.base + (y + r0) * s.bytesPerRow + destColumn;
    for (int64_t r = r0; r < r1; r++) {
        g_rowBlitter(dest, src, (int32_t)(c1 - c0), colours);
        src += font->width;
        dest += s.bytesPerRow;
    }
}

// The character loop shared by the plain and the clipped string.
void DrawText(const char* text, const BitmapFont* font, int32_t x, int32_t y, int32_t colour, int32_t mode,
              const Box& box) {
    if (!text || !font || !font->image || !font->entries) return;
    vid_FrameCounters.texts++;
    const int32_t bpp = draw_CurrentSurface.bytesPerPixel;
    g_rowBlitter = SelectBlitter(bpp);
    BlitColours colours{};
    colours.mode = mode >= 0 && mode < FONT_MODES ? mode : FONT_MODE_ONE_COLOUR;
    colours.table = font_State.tableOverride ? font_State.tableOverride
                    : bpp == 2                   ? pal_Hc.palette16
                                                 : font_State.table32;
    if (colours.mode == FONT_MODE_ONE_COLOUR) colours.pixel = SlotPixel(colour, bpp);

    int64_t penX = x;
    const unsigned char* s = (const unsigned char*)text;
    while (*s) {
        unsigned char c = *s;
        if (c == '~') {
            if (s[1] >= '0' && s[1] <= '9') {
                font_State.colourOffset = (uint8_t)((s[1] - '0') * 8);
                s += 2;
            } else {
                s++;
            }
            continue;
        }
        s++;
        if (c == '\t') {
            for (int32_t i = 0; i < FONT_TAB_STOPS; i++) {
                if (font_State.tabStops[i] > penX) {
                    penX = font_State.tabStops[i];
                    break;
                }
            }
            continue;
        }
        const FontEntry* e = EntryFor(font, c);
        colours.offset = font_State.colourOffset;
        if (colours.mode == FONT_MODE_CODED) {
            uint8_t handle = draw_Context.slots[(font_State.colourOffset / 8) & (DRAW_COLOUR_SLOTS - 1)].handle;
            colours.pixel = SlotPixel(handle, bpp);
        }
        DrawGlyph(font, *e, penX, y, box, colours);
        penX += Advance(font, *e);
    }
}

void Grey(BitmapFont* font, const uint8_t* palette) {
    const uint8_t* toLinear = pal_ToLinearTable();
    const int64_t count = (int64_t)font->width * font->height;
    for (int64_t i = 0; i < count; i++) {
        uint8_t p = font->image[i];
        if (!p) continue;
        const uint8_t* e = palette + (p < FONT_PIXEL_GLYPH ? 0 : p) * 3;
        font->image[i] = (uint8_t)((2 * toLinear[e[0]] + 5 * toLinear[e[1]] + toLinear[e[2]]) >> 3);
    }
}

int32_t Clamp255(int32_t v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// The scan's glyph-column flags of one band.
uint8_t g_columnMarks[FONT_MAX_IMAGE_WIDTH];

}  // namespace

int32_t font_ScanGrid(BitmapFont* font) {
    if (!font || !font->image || font->width <= 0 || font->height <= 0) return -1;
    if (font->width > FONT_MAX_IMAGE_WIDTH) return -1;
    if (!font->entries) {
        font->entries = (FontEntry*)mem_AllocEx(FONT_ENTRIES * sizeof(FontEntry), 4, "font entry table");
        if (!font->entries) return -1;
    }
    // Entries of an earlier scan must not outlive the image they described.
    memset(font->entries, 0, FONT_ENTRIES * sizeof(FontEntry));
    font->spacing = 0;
    font->scanMarker = 2;
    font->glyphCount = 0;
    font->baseline = 0;

    const int32_t w = font->width, h = font->height;
    uint8_t* img = font->image;
    int64_t top = 0;
    for (int32_t band = 0; band < FONT_BANDS && top < h; band++) {
        int64_t end = top;
        while (end < h && img[end * w] != FONT_PIXEL_BAND_END) end++;
        const bool last = end >= h;
        const int64_t bandHeight = end - top;
        font_State.textHeight = (int32_t)bandHeight;

        // Mark the glyph columns row by row (the image is stored in rows);
        // the baseline is the last 2 met walking the columns left to right.
        memset(g_columnMarks, 0, (size_t)w);
        int64_t baseCol = -1, baseRow = 0;
        for (int64_t r = top; r < end; r++) {
            uint8_t* row = img + r * w;
            for (int32_t col = 0; col < w; col++) {
                switch (row[col]) {
                case FONT_PIXEL_BASELINE:
                    if (col >= baseCol) {
                        baseCol = col;
                        baseRow = r - top;
                    }
                    row[col] = 0;
                    break;
                case FONT_PIXEL_COLUMN:
                    g_columnMarks[col] = 1;
                    row[col] = 0;
                    break;
                case FONT_PIXEL_SPACING:
                    font->spacing++;
                    break;
                default:
                    if (row[col] >= FONT_PIXEL_GLYPH) g_columnMarks[col] = 1;
                    break;
                }
            }
        }
        if (baseCol >= 0) font->baseline = (uint16_t)baseRow;

        int32_t found = 0;
        int32_t start = -1;
        for (int32_t col = 0; col <= w; col++) {
            const bool marked = col < w && g_columnMarks[col];
            if (marked && start < 0) {
                start = col;
            } else if (!marked && start >= 0) {
                // A band holds 16 character codes; glyphs past the 16th
                // would land on the next band's codes and are left out.
                if (found < FONT_BAND_GLYPHS) {
                    FontEntry& e = font->entries[band * FONT_BAND_GLYPHS + found];
                    e.x = (uint16_t)start;
                    e.width = (uint16_t)(col - start);
                    e.height = (uint8_t)(bandHeight > 255 ? 255 : bandHeight);
                    e.present = 1;
                    e.top = (uint16_t)top;
                    found++;
                    if (font->glyphCount < 255) font->glyphCount++;
                }
                start = -1;
            }
        }
        if (last) break;
        top = end + 2;
    }
    return 0;
}

int32_t font_Load(const char* fileName, BitmapFont* font, int32_t flags) {
    if (!font) return -1;
    if (font->image) mem_Free(font->image);
    font->image = nullptr;
    font->width = font->height = 0;
    uint8_t* image = fileName ? pcx_Load(fileName) : nullptr;
    if (!image) return -1;
    font->image = image;
    font->width = pal_Second.width;
    font->height = pal_Second.height;
    if ((flags & FONT_LOAD_SCAN) && font_ScanGrid(font) != 0) return -1;
    const uint8_t* palette = pal_Second.palette;
    if (flags & FONT_LOAD_REMAP) {
        const int64_t count = (int64_t)font->width * font->height;
        if (count <= INT32_MAX) pal_BuildRemapTable(image, (int32_t)count);
        palette = pal_Current.palette;
    }
    if (flags & FONT_LOAD_GREY) Grey(font, palette);
    return 0;
}

int32_t font_StringWidth(const char* text, const BitmapFont* font) {
    if (!text || !font) return 0;
    int64_t width = 0;
    for (const unsigned char* s = (const unsigned char*)text; *s; s++) {
        if (*s == '~') {
            if (!s[1]) break;
            s++;
            continue;
        }
        // A missing glyph counts its own (empty) entry here, though it draws
        // the glyph of code 0.
        int64_t w = font->entries ? font->entries[*s].width : 0;
        width += w + 1 - font->spacing;
        if (width > INT32_MAX || width < INT32_MIN) return width > 0 ? INT32_MAX : INT32_MIN;
    }
    return (int32_t)width;
}

int32_t font_MeasureString(const char* text, const BitmapFont* font) {
    font_State.measuredWidth = font_StringWidth(text, font);
    return font_State.measuredWidth;
}

int32_t font_CentredX(const char* text, const BitmapFont* font) {
    return (draw_CurrentSurface.centreXF >> 7) - font_StringWidth(text, font) / 2;
}

int32_t font_MeasureCentredX(const char* text, const BitmapFont* font) {
    font_State.measuredX = font_CentredX(text, font);
    return font_State.measuredX;
}

void font_DrawString(const char* text, const BitmapFont* font, int32_t x, int32_t y, int32_t colour, int32_t mode) {
    Box box;
    if (!SurfaceBox(false, &box)) return;
    DrawText(text, font, x, y, colour, mode, box);
}

void font_DrawStringC(const char* text, const BitmapFont* font, int32_t x, int32_t y, int32_t colour,
                      int32_t mode) {
    font_DrawString(text, font, x, y, colour, mode);
}

void font_DrawShadowedString(const char* text, const BitmapFont* font, int32_t x, int32_t y, int32_t colour,
                             int32_t mode) {
    // The shadow pass reads the colour codes too; the text itself starts
    // from the offset the caller left.
    const uint8_t offset = font_State.colourOffset;
    font_DrawString(text, font, x + 1, y + 1, draw_Context.slots[kShadowSlot].handle, FONT_MODE_ONE_COLOUR);
    font_State.colourOffset = offset;
    font_DrawString(text, font, x, y, colour, mode);
}

int32_t font_WrapText(const char* text, const BitmapFont* font, FontTextArea* area) {
    if (!area) return -1;
    area->lineCount = 0;
    if (!area->lines || area->bufferSize == 0) return -1;
    char* out = area->lines;
    const uint32_t size = area->bufferSize;
    uint32_t used = 0;        // bytes of the buffer written
    uint32_t lineStart = 0;   // where the current line began
    bool room = true;
    uint32_t lines = 1;
    int64_t lineWidth = 0;

    // Closes the current line; false when its zero byte had no room.
    auto closeLine = [&]() {
        if (used >= size) return false;
        out[used++] = 0;
        lineStart = used;
        return true;
    };
    const unsigned char* s = (const unsigned char*)(text ? text : "");
    while (*s && room) {
        // One word: up to and including the next space, or up to a carriage
        // return or the end of the text.
        const unsigned char* word = s;
        int64_t wordWidth = 0;
        bool forced = false;
        while (*s) {
            if (*s == '\r') {
                forced = true;
                break;
            }
            if (*s == '~' && s[1] >= '0' && s[1] <= '9') {
                s += 2;
                continue;
            }
            if (font && font->entries) wordWidth += Advance(font, font->entries[*s]);
            else if (font) wordWidth += 1 - font->spacing;
            if (*s++ == ' ') break;
        }
        const uint32_t wordLength = (uint32_t)(s - word);
        // A word wider than the limit stands alone on its line.
        if (used > lineStart && lineWidth + wordWidth > area->widthLimit) {
            if (!closeLine()) {
                room = false;
                break;
            }
            lines++;
            lineWidth = 0;
        }
        // Leave room for the line's zero byte.
        if (size - used < wordLength + 1) {
            room = false;
            break;
        }
        memcpy(out + used, word, wordLength);
        used += wordLength;
        lineWidth += wordWidth;
        if (forced) {
            s++;            // the carriage return
            if (*s) s++;    // and the character after it
            if (!closeLine()) {
                room = false;
                break;
            }
            lines++;
            lineWidth = 0;
        }
    }
    if (!room) {
        // Keep what fits: the buffer ends on a terminated line, and a line
        // with nothing in the buffer is not counted.
        if (lineStart >= size) {
            lines--;
        } else {
            if (used >= size) used = size - 1;
            out[used] = 0;
            if (used == lineStart && lines > 1) lines--;
        }
        area->lineCount = (uint16_t)(lines > 65535 ? 65535 : lines);
        return -1;
    }
    if (!closeLine()) {
        out[size - 1] = 0;
        area->lineCount = (uint16_t)(lines > 65535 ? 65535 : lines);
        return -1;
    }
    area->lineCount = (uint16_t)(lines > 65535 ? 65535 : lines);
    return 0;
}

void font_DrawWrappedText(const FontTextArea* area, const BitmapFont* font, int32_t colour, int32_t mode,
                          int32_t skip, int32_t count) {
    Box box;
    if (!area || !SurfaceBox(false, &box)) return;
    font_State.colourOffset = font_State.pendingOffset;
    if (area->lines && area->bufferSize) {
        int32_t total = area->lineCount;
        if (skip < 0) skip = 0;
        int32_t n = total - skip;
        if (count > 0 && count < n) n = count;
        const char* p = area->lines;
        const char* end = area->lines + area->bufferSize;
        // Lines are read only up to the end of the buffer.
        auto next = [&](const char* line) -> const char* {
            const char* z = (const char*)memchr(line, 0, (size_t)(end - line));
            return z ? z + 1 : nullptr;
        };
        for (int32_t i = 0; i < skip && p && p < end; i++) p = next(p);
        int64_t penY = area->y;
        for (int32_t i = 0; i < n && p && p < end; i++) {
            const char* after = next(p);
            if (!after) break;
            if (*p) DrawText(p, font, area->x, (int32_t)penY, colour, mode, box);
            penY += area->lineHeight;
            p = after;
        }
    }
    font_State.pendingOffset = 0;
}

void font_DrawStringClipped(const char* text, const BitmapFont* font, int32_t x, int32_t y, int32_t colour,
                            int32_t mode, int32_t background) {
    Box box;
    if (!text || !font || !SurfaceBox(false, &box)) return;
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    const int64_t h = font_State.textHeight;
    const int64_t width = font_StringWidth(text, font);
    if (y >= s.clipY2 || y + h < s.clipY1 || x >= s.clipX2 || x + width < s.clipX1) return;
    if (background & FONT_BACKGROUND_FILL) {
        // The fill works on the blit destination; the caller's stays as it was.
        uint8_t* dest = draw_Context.blitDest;
        int32_t destRowWidth = draw_Context.destRowWidth;
        auto sat = [](int64_t v) { return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : (int32_t)v; };
        draw_Context.blitDest = s.base;
        draw_Context.destRowWidth = s.bytesPerRow / s.bytesPerPixel;
        draw_Context.destX = sat((int64_t)x - 1);
        draw_Context.destY = sat((int64_t)y - 1);
        draw_Context.width = sat(width + 3);
        draw_Context.height = sat(h + 2);
        draw_FillRectSlot(background & 0xFF);
        draw_Context.blitDest = dest;
        draw_Context.destRowWidth = destRowWidth;
    }
    if (!SurfaceBox(true, &box)) return;
    DrawText(text, font, x, y, colour, mode, box);
}

void font_DrawBoxTextShadowed(const char* text, const BitmapFont* font, int32_t x, int32_t y, int32_t colour,
                              int32_t mode, int32_t background) {
    const uint8_t offset = font_State.colourOffset;
    font_DrawStringClipped(text, font, x + 1, y + 1, draw_Context.slots[kShadowSlot].handle, FONT_MODE_ONE_COLOUR,
                           background);
    font_State.colourOffset = offset;
    font_DrawStringClipped(text, font, x, y, colour, mode, background & ~FONT_BACKGROUND_FILL);
}

void font_SetTabWidth(int32_t width) {
    for (int32_t i = 0; i < FONT_TAB_STOPS; i++) font_State.tabStops[i] = (int32_t)((int64_t)(i + 1) * width);
}

void font_SetTabStops(const int32_t* stops, int32_t count) {
    font_SetTabWidth(FONT_DEFAULT_TAB_WIDTH);
    if (!stops) return;
    if (count > FONT_TAB_STOPS) count = FONT_TAB_STOPS;
    for (int32_t i = 0; i < count; i++) font_State.tabStops[i] = stops[i];
}

void font_SetPalette(const uint8_t* rgb768) {
    if (!rgb768) return;
    if (vid_State.bitsPerPixel == 16) {
        pal_DeriveSurfaceMasks();
        pal_PaletteTo16Table(rgb768, pal_Hc.palette16);
    } else if (vid_State.bitsPerPixel == 32) {
        for (int32_t n = 0; n < 256; n++)
            font_State.table32[n] =
                (uint32_t)rgb768[n * 3] << 16 | (uint32_t)rgb768[n * 3 + 1] << 8 | rgb768[n * 3 + 2];
    }
}

void font_SetColourRamp(int32_t red1, int32_t green1, int32_t blue1, int32_t red2, int32_t green2, int32_t blue2) {
    const int32_t first[3] = {Clamp255(red1), Clamp255(green1), Clamp255(blue1)};
    const int32_t second[3] = {Clamp255(red2), Clamp255(green2), Clamp255(blue2)};
    if (vid_State.bitsPerPixel == 16) {
        const uint8_t* toLinear = pal_ToLinearTable();
        const uint8_t* fromLinear = pal_FromLinearTable();
        for (int32_t i = 0; i < 256; i++) {
            int32_t c[3];
            for (int k = 0; k < 3; k++) {
                int32_t a = toLinear[first[k]], b = toLinear[second[k]];
                c[k] = fromLinear[b + ((a - b) * i >> 8)];
            }
            pal_Hc.palette16[i] = pal_RgbTo16(c[0], c[1], c[2]);
        }
        return;
    }
    for (int32_t i = 0; i < 256; i++) {
        uint32_t v = 0;
        for (int k = 0; k < 3; k++) v = v << 8 | (uint32_t)(second[k] + ((first[k] - second[k]) * i >> 8));
        font_State.table32[i] = v;
    }
}
