// Fills, panels and blits.
#include "display/draw_fill.h"

#include <cstring>

#include "display/draw_line.h"
#include "display/draw_local.h"
#include "display/pal.h"
#include "display/pal_hicolor.h"
#include "display/vid.h"

uint32_t draw_TintRamp[256];

namespace {

// Sizes of the blit buffers, each valid only for the buffer it was given
// with, so a new buffer never inherits an old size.
struct BlitExtents {
    const uint8_t* source;
    int32_t sourceRows;
    const uint8_t* shadeMap;
    int32_t shadeMapRows;
};
BlitExtents g_extents;

int32_t SourceRows() {
    const uint8_t* p = draw_Context.blitSource;
    return p && p == g_extents.source ? g_extents.sourceRows : 0;
}

int32_t ShadeMapRows() {
    const uint8_t* p = draw_Context.shadeMap;
    return p && p == g_extents.shadeMap ? g_extents.shadeMapRows : 0;
}

// A rectangle being clipped; 64-bit so that no adjustment can overflow.
struct Rect {
    int64_t dx, dy, w, h, sx, sy;
};

Rect ContextRect() {
    const DrawContext& c = draw_Context;
    return Rect{c.destX, c.destY, c.width, c.height, c.sourceX, c.sourceY};
}

// The box a fill or blit may write: the current surface's clip cut to its
// pixels and to the destination row width. False when there is no
// destination.
bool DestBox(DrawClipBox* b) {
    const DrawContext& c = draw_Context;
    if (!c.blitDest || c.destRowWidth <= 0 || !draw_SurfaceBox(draw_CurrentSurface, b)) return false;
    if (b->x2 > c.destRowWidth) b->x2 = c.destRowWidth;
    return b->x1 < b->x2;
}

bool ClipToBox(Rect& r, const DrawClipBox& b) {
    if (r.dx < b.x1) {
        int64_t d = b.x1 - r.dx;
        r.dx += d, r.sx += d, r.w -= d;
    }
    if (r.dx + r.w > b.x2) r.w = b.x2 - r.dx;
    if (r.dy < b.y1) {
        int64_t d = b.y1 - r.dy;
        r.dy += d, r.sy += d, r.h -= d;
    }
    if (r.dy + r.h > b.y2) r.h = b.y2 - r.dy;
    return r.w > 0 && r.h > 0;
}

// Cuts the source rectangle to a buffer of rows of rowWidth pixels (rows 0:
// not known), moving the destination with it.
bool FitSource(Rect& r, int32_t rowWidth, int32_t rows) {
    if (rowWidth <= 0) return false;
    if (r.sx < 0) {
        int64_t d = -r.sx;
        r.sx += d, r.dx += d, r.w -= d;
    }
    if (r.sy < 0) {
        int64_t d = -r.sy;
        r.sy += d, r.dy += d, r.h -= d;
    }
    if (r.sx + r.w > rowWidth) r.w = rowWidth - r.sx;
    if (rows > 0 && r.sy + r.h > rows) r.h = rows - r.sy;
    return r.w > 0 && r.h > 0;
}

// When the destination lies in the current surface's buffer, the last byte
// written must too (a row width wider than the surface's rows would run past
// its end).
bool DestFits(const Rect& r, intptr_t step, int32_t writeBytes) {
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    const DrawContext& c = draw_Context;
    if (!s.base) return true;
    uintptr_t base = (uintptr_t)s.base, dest = (uintptr_t)c.blitDest;
    uint64_t bufferBytes = (uint64_t)s.height * (uint64_t)s.bytesPerRow;
    if (dest < base || dest - base >= bufferBytes) return true;
    uint64_t end = (dest - base) + (uint64_t)(((r.dy + r.h - 1) * c.destRowWidth + r.dx) * s.bytesPerPixel) +
                   (uint64_t)((r.w - 1) * step) + (uint64_t)writeBytes;
    return end <= bufferBytes;
}

uint8_t* DestAt(const Rect& r) {
    const DrawContext& c = draw_Context;
    return c.blitDest + (r.dy * c.destRowWidth + r.dx) * draw_CurrentSurface.bytesPerPixel;
}

// The context's rectangle clipped for a fill; false when nothing is left.
bool FillRect(Rect* r) {
    DrawClipBox b;
    *r = ContextRect();
    return DestBox(&b) && ClipToBox(*r, b) && DestFits(*r, draw_CurrentSurface.bytesPerPixel,
                                                      draw_CurrentSurface.bytesPerPixel);
}

// ---------------------------------------------------------------------------
// Rectangle blits.

uint16_t From555(uint16_t p) { return (uint16_t)(pal_Hc.rgb555Low[p & 0xFF] + pal_Hc.rgb555High[p >> 8]); }

template <int SrcBytes>
inline uint32_t LoadSrc(const uint8_t* p) {
    if constexpr (SrcBytes == 1) return *p;
    else if constexpr (SrcBytes == 2) return draw_Load16(p);
    else return draw_Load32(p);
}

template <int WriteBytes>
inline void StoreDst(uint8_t* p, uint32_t v) {
    if constexpr (WriteBytes == 1) *p = (uint8_t)v;
    else if constexpr (WriteBytes == 2) draw_Store16(p, (uint16_t)v);
    else draw_Store32(p, v);
}

template <int SrcBytes, int WriteBytes, bool Transparent, typename Conv>
void BlitRows(uint8_t* d, intptr_t dRow, intptr_t dStep, const uint8_t* s, intptr_t sRow, int64_t w, int64_t h,
              Conv conv) {
    for (int64_t y = 0; y < h; y++, d += dRow, s += sRow) {
        uint8_t* dp = d;
        const uint8_t* sp = s;
        for (int64_t x = 0; x < w; x++, dp += dStep, sp += SrcBytes) {
            uint32_t v = LoadSrc<SrcBytes>(sp);
            if (Transparent && v == 0) continue;
            StoreDst<WriteBytes>(dp, conv(v));
        }
    }
}

template <int SrcBytes, int WriteBytes, typename Conv>
void BlitRowsBoth(bool transparent, uint8_t* d, intptr_t dRow, intptr_t dStep, const uint8_t* s, intptr_t sRow,
                  int64_t w, int64_t h, Conv conv) {
    if (transparent) BlitRows<SrcBytes, WriteBytes, true>(d, dRow, dStep, s, sRow, w, h, conv);
    else BlitRows<SrcBytes, WriteBytes, false>(d, dRow, dStep, s, sRow, w, h, conv);
}

int32_t SourceBytes(int32_t depth) {
    switch (depth) {
    case 8: return 1;
    case 15:
    case 16: return 2;
    case 32: return 4;
    default: return 0;
    }
}

// A blit's source bytes, as asked, go to the frame's byte counter.
void CountBlit(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return;
    vid_FrameCounters.bytes += (uint32_t)((uint64_t)width * (uint64_t)height *
                                          (uint64_t)SourceBytes(draw_Context.sourceDepth));
}

void RunBlit(bool transparent) {
    const DrawContext& c = draw_Context;
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    const int32_t srcBytes = SourceBytes(c.sourceDepth);
    DrawClipBox b;
    if (!srcBytes || !c.blitSource || !DestBox(&b)) return;
    Rect r = ContextRect();
    if (!ClipToBox(r, b) || !FitSource(r, c.sourceRowWidth, SourceRows())) return;

    const int32_t bpp = s.bytesPerPixel;
    // An 8-bit source writes the first byte of each pixel; a source as deep
    // as the surface whole pixels; any other source its own pixels side by
    // side at the wider of the two sizes, kept inside the clipped row.
    const bool matched = srcBytes == 1 || srcBytes == bpp;
    const intptr_t step = matched ? bpp : (srcBytes > bpp ? srcBytes : bpp);
    if (!matched) {
        int64_t room = (b.x2 - r.dx) * bpp - srcBytes;
        int64_t fit = room < 0 ? 0 : room / step + 1;
        if (r.w > fit) r.w = fit;
        if (r.w <= 0) return;
    }
    if (!DestFits(r, step, srcBytes)) return;

    uint8_t* d = DestAt(r);
    const intptr_t dRow = (intptr_t)c.destRowWidth * bpp;
    const uint8_t* src = c.blitSource + (r.sy * c.sourceRowWidth + r.sx) * srcBytes;
    const intptr_t sRow = (intptr_t)c.sourceRowWidth * srcBytes;
    auto same = [](uint32_t v) { return v; };
    if (srcBytes == 1) {
        BlitRowsBoth<1, 1>(transparent, d, dRow, step, src, sRow, r.w, r.h, same);
    } else if (srcBytes == 2 && bpp == 2 && c.sourceDepth == 15) {
        BlitRowsBoth<2, 2>(transparent, d, dRow, step, src, sRow, r.w, r.h,
                           [](uint32_t v) { return (uint32_t)From555((uint16_t)v); });
    } else if (srcBytes == 2) {
        BlitRowsBoth<2, 2>(transparent, d, dRow, step, src, sRow, r.w, r.h, same);
    } else {
        BlitRowsBoth<4, 4>(transparent, d, dRow, step, src, sRow, r.w, r.h, same);
    }
}

// ---------------------------------------------------------------------------
// Stepped blit.

int64_t Clamp62(__int128 v) {
    const int64_t limit = (int64_t)1 << 61;
    return v > limit ? limit : v < -limit ? -limit : (int64_t)v;
}

template <int Form, typename Write>
void StepRows(uint8_t* d, intptr_t dRow, intptr_t dStep, int64_t w, int64_t h, int64_t u, int64_t v, int64_t xStep,
              int64_t yStep, int32_t rowWidth, int32_t rows, Write write) {
    const uint8_t* src = draw_Context.blitSource;
    for (int64_t y = 0; y < h; y++, d += dRow, u -= yStep, v += xStep) {
        uint8_t* dp = d;
        int64_t pu = u, pv = v;
        for (int64_t x = 0; x < w; x++, dp += dStep, pu += xStep, pv += yStep) {
            int64_t ix = pu >> 16, iy = pv >> 16;
            if (ix < 0 || ix >= rowWidth || iy < 0 || iy >= rows) continue;
            const uint8_t* sp = src + (iy * rowWidth + ix) * Form;
            uint32_t s;
            if constexpr (Form == 1) s = *sp;
            else s = draw_Load16(sp);
            if (s != 0) write(dp, s);
        }
    }
}

void RunStepped() {
    const DrawContext& c = draw_Context;
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    const int32_t rows = SourceRows();
    DrawClipBox b;
    if (!c.blitSource || rows <= 0 || c.sourceRowWidth <= 0 || !DestBox(&b)) return;
    const bool form16 = s.bitsPerPixel == 16;
    const int32_t depth = c.sourceDepth;
    // The 16-bit form reads 8-bit (through the screen palette) or 16-bit
    // sources, the 8-bit form 8-bit sources.
    if (form16 ? !(depth == 8 || depth == 15 || depth == 16) : depth != 8) return;

    const int64_t xStep = c.xStep, yStep = c.yStep;
    Rect r = ContextRect();
    __int128 u = (__int128)r.sx * 65536, v = (__int128)r.sy * 65536;
    // Clipped columns and rows move the start along the row and down the
    // rows, so the visible part samples what it would have unclipped.
    if (r.dx < b.x1) {
        int64_t d = b.x1 - r.dx;
        u += (__int128)d * xStep, v += (__int128)d * yStep;
        r.dx += d, r.w -= d;
    }
    if (r.dx + r.w > b.x2) r.w = b.x2 - r.dx;
    if (r.dy < b.y1) {
        int64_t d = b.y1 - r.dy;
        u -= (__int128)d * yStep, v += (__int128)d * xStep;
        r.dy += d, r.h -= d;
    }
    if (r.dy + r.h > b.y2) r.h = b.y2 - r.dy;
    if (r.w <= 0 || r.h <= 0) return;
    const int32_t bpp = s.bytesPerPixel;
    if (!DestFits(r, bpp, form16 ? 2 : 1)) return;

    uint8_t* d = DestAt(r);
    const intptr_t dRow = (intptr_t)c.destRowWidth * bpp;
    const int64_t u0 = Clamp62(u), v0 = Clamp62(v);
    if (!form16) {
        StepRows<1>(d, dRow, bpp, r.w, r.h, u0, v0, xStep, yStep, c.sourceRowWidth, rows,
                    [](uint8_t* p, uint32_t s) { *p = (uint8_t)s; });
    } else if (depth == 8) {
        StepRows<1>(d, dRow, bpp, r.w, r.h, u0, v0, xStep, yStep, c.sourceRowWidth, rows,
                    [](uint8_t* p, uint32_t s) { draw_Store16(p, (uint16_t)pal_Hc.palette16[s]); });
    } else if (depth == 15) {
        StepRows<2>(d, dRow, bpp, r.w, r.h, u0, v0, xStep, yStep, c.sourceRowWidth, rows,
                    [](uint8_t* p, uint32_t s) { draw_Store16(p, From555((uint16_t)s)); });
    } else {
        StepRows<2>(d, dRow, bpp, r.w, r.h, u0, v0, xStep, yStep, c.sourceRowWidth, rows,
                    [](uint8_t* p, uint32_t s) { draw_Store16(p, (uint16_t)s); });
    }
}

// ---------------------------------------------------------------------------
// Shade-mapped blits.

template <int Bytes, bool Masked, typename Table>
void ShadeMapRows(uint8_t* d, intptr_t dRow, const uint8_t* s, intptr_t sRow, const uint8_t* m, intptr_t mRow,
                  int64_t w, int64_t h, const Table* table) {
    for (int64_t y = 0; y < h; y++, d += dRow, s += sRow, m += mRow) {
        uint8_t* dp = d;
        for (int64_t x = 0; x < w; x++, dp += Bytes) {
            const uint8_t src = s[x], level = m[x];
            if (src == 0 || (Masked && level == 0)) continue;
            StoreDst<Bytes>(dp, table[(level & 31) * 256 + src]);
        }
    }
}

void RunShaded(bool masked) {
    const DrawContext& c = draw_Context;
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    DrawClipBox b;
    if (c.sourceDepth != 8 || !c.blitSource || !c.shadeMap || !DestBox(&b)) return;
    Rect r = ContextRect();
    if (!ClipToBox(r, b) || !FitSource(r, c.sourceRowWidth, SourceRows()) ||
        !FitSource(r, c.shadeMapRowWidth, ShadeMapRows()))
        return;
    const int32_t bpp = s.bytesPerPixel;
    if ((bpp != 1 && bpp != 2) || !DestFits(r, bpp, bpp)) return;

    uint8_t* d = DestAt(r);
    const intptr_t dRow = (intptr_t)c.destRowWidth * bpp;
    const uint8_t* src = c.blitSource + r.sy * c.sourceRowWidth + r.sx;
    const uint8_t* map = c.shadeMap + r.sy * c.shadeMapRowWidth + r.sx;
    if (bpp == 1) {
        const uint8_t* table = c.shadeTable;
        if (!table) return;
        if (masked) ShadeMapRows<1, true>(d, dRow, src, c.sourceRowWidth, map, c.shadeMapRowWidth, r.w, r.h, table);
        else ShadeMapRows<1, false>(d, dRow, src, c.sourceRowWidth, map, c.shadeMapRowWidth, r.w, r.h, table);
    } else {
        // The light table handed over with the selected palette, else the
        // screen's own.
        const uint16_t* table = pal_DrawTables.shade16 ? pal_DrawTables.shade16 : pal_Hc.light;
        if (masked) ShadeMapRows<2, true>(d, dRow, src, c.sourceRowWidth, map, c.shadeMapRowWidth, r.w, r.h, table);
        else ShadeMapRows<2, false>(d, dRow, src, c.sourceRowWidth, map, c.shadeMapRowWidth, r.w, r.h, table);
    }
}

// ---------------------------------------------------------------------------
// Fills.

void FillValue(uint32_t value) {
    Rect r;
    if (!FillRect(&r)) return;
    const int32_t bpp = draw_CurrentSurface.bytesPerPixel;
    draw_FillRows(DestAt(r), (intptr_t)draw_Context.destRowWidth * bpp, bpp, (int32_t)r.w, (int32_t)r.h, value);
}

void StoreRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    draw_Context.destX = x;
    draw_Context.destY = y;
    draw_Context.width = width;
    draw_Context.height = height;
}

void StoreBlit(int32_t destX, int32_t destY, int32_t width, int32_t height, int32_t sourceX, int32_t sourceY) {
    StoreRect(destX, destY, width, height);
    draw_Context.sourceX = sourceX;
    draw_Context.sourceY = sourceY;
}

// The four edges of a panel: top and left light, right and bottom dark.
void BevelEdges(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    struct Edge {
        int32_t x1, y1, x2, y2, level;
    };
    const Edge edges[4] = {
        {x1, y1, x2, y1, 10},
        {x1, y1, x1, y2, 10},
        {x2, y1, x2, y2, 2},
        {x2, y2, x1, y2, 2},
    };
    for (const Edge& e : edges) {
        draw_Context.lineShade = 1;
        draw_ClipLineC(e.x1, e.y1, e.x2, e.y2, e.level);
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// Row loops shared with the line primitives.

void draw_FillRows(uint8_t* first, intptr_t rowBytes, int32_t bytesPerPixel, int32_t w, int32_t h, uint32_t value) {
    if (w <= 0 || h <= 0) return;
    for (int32_t y = 0; y < h; y++, first += rowBytes) {
        uint8_t* p = first;
        switch (bytesPerPixel) {
        case 1: memset(p, (int)(value & 0xFF), (size_t)w); break;
        case 2:
            for (int32_t x = 0; x < w; x++, p += 2) draw_Store16(p, (uint16_t)value);
            break;
        case 4:
            for (int32_t x = 0; x < w; x++, p += 4) draw_Store32(p, value);
            break;
        }
    }
}

void draw_ShadeRows(uint8_t* first, intptr_t rowBytes, int32_t bytesPerPixel, int32_t w, int32_t h, int32_t level,
                    uint32_t factor32) {
    if (w <= 0 || h <= 0) return;
    const uint8_t* table = draw_Context.shadeTable;
    if (bytesPerPixel == 1 && !table) return;
    for (int32_t y = 0; y < h; y++, first += rowBytes) {
        uint8_t* p = first;
        switch (bytesPerPixel) {
        case 1:
            for (int32_t x = 0; x < w; x++, p++) *p = draw_Shade8(table, level, *p);
            break;
        case 2:
            for (int32_t x = 0; x < w; x++, p += 2) draw_Store16(p, draw_Shade16(level, draw_Load16(p)));
            break;
        case 4:
            for (int32_t x = 0; x < w; x++, p += 4) draw_Store32(p, draw_Scale32(draw_Load32(p), factor32));
            break;
        }
    }
}

// ---------------------------------------------------------------------------
// Entries.

void draw_SetBlitSourceRows(int32_t rows) {
    g_extents.source = draw_Context.blitSource;
    g_extents.sourceRows = rows;
}

void draw_SetBlitShadeMapRows(int32_t rows) {
    g_extents.shadeMap = draw_Context.shadeMap;
    g_extents.shadeMapRows = rows;
}

void draw_BlitTransparent(int32_t destX, int32_t destY, int32_t width, int32_t height, int32_t sourceX,
                          int32_t sourceY) {
    StoreBlit(destX, destY, width, height, sourceX, sourceY);
    CountBlit(width, height);
    RunBlit(true);
}

void draw_BlitRect(int32_t destX, int32_t destY, int32_t width, int32_t height, int32_t sourceX, int32_t sourceY,
                   int32_t sourceDepth, int32_t transparent) {
    StoreBlit(destX, destY, width, height, sourceX, sourceY);
    draw_Context.sourceDepth = sourceDepth;
    if (width == 0 || height == 0) return;
    CountBlit(width, height);
    RunBlit(transparent != 0);
}

void draw_BlitStepped(int32_t destX, int32_t destY, int32_t width, int32_t height, int32_t sourceX, int32_t sourceY,
                      int32_t xStep, int32_t yStep) {
    StoreBlit(destX, destY, width, height, sourceX, sourceY);
    draw_Context.xStep = xStep;
    draw_Context.yStep = yStep;
    CountBlit(width, height);
    RunStepped();
}

void draw_BlitShaded(int32_t destX, int32_t destY, int32_t width, int32_t height, int32_t sourceX, int32_t sourceY) {
    StoreBlit(destX, destY, width, height, sourceX, sourceY);
    CountBlit(width, height);
    RunShaded(false);
}

void draw_BlitShadedMasked(int32_t destX, int32_t destY, int32_t width, int32_t height, int32_t sourceX,
                           int32_t sourceY) {
    StoreBlit(destX, destY, width, height, sourceX, sourceY);
    CountBlit(width, height);
    RunShaded(true);
}

void draw_FillRectC(int32_t x, int32_t y, int32_t width, int32_t height, int32_t value) {
    StoreRect(x, y, width, height);
    draw_Context.value = value;
    // The raw value is a whole pixel at every depth.
    FillValue((uint32_t)value);
}

void draw_FillRectSlot(int32_t slot) { FillValue(draw_SlotPixel(slot, draw_CurrentSurface.bytesPerPixel)); }

void draw_ShadeRect(int32_t level) {
    Rect r;
    if (!FillRect(&r)) return;
    const int32_t bpp = draw_CurrentSurface.bytesPerPixel;
    uint32_t factor = (uint32_t)(level & 31) * 16;
    if (factor > 255) factor = 255;
    draw_ShadeRows(DestAt(r), (intptr_t)draw_Context.destRowWidth * bpp, bpp, (int32_t)r.w, (int32_t)r.h,
                   level & 31, factor);
}

void draw_BevelPanel(int32_t style) {
    const int64_t x = draw_Context.destX, y = draw_Context.destY;
    const int64_t x2 = x + draw_Context.width, y2 = y + draw_Context.height;
    const uint8_t slot = draw_Context.colourSlot;
    BevelEdges(draw_Sat32(x), draw_Sat32(y), draw_Sat32(x2), draw_Sat32(y2));
    BevelEdges(draw_Sat32(x - 1), draw_Sat32(y - 1), draw_Sat32(x2 + 1), draw_Sat32(y2 + 1));
    draw_Context.colourSlot = slot;
    StoreRect(draw_Sat32(x + 1), draw_Sat32(y + 1), draw_Sat32((int64_t)draw_Context.width - 1),
              draw_Sat32((int64_t)draw_Context.height - 1));
    draw_Context.value = style;
    draw_ShadeRect(style);
}

void draw_BevelPanelAt(int32_t x, int32_t y, int32_t width, int32_t height, int32_t style) {
    StoreRect(x, y, width, height);
    draw_Context.value = style;
    draw_BevelPanel(style);
}

void pal_GreyRemap(uint8_t* buffer, const uint8_t* palette, int32_t count) {
    if (!buffer || !palette) return;
    const uint8_t* lin = pal_ToLinearTable();
    for (int32_t i = 0; i < count; i++) {
        const uint8_t b = buffer[i];
        if (b == 0) continue;
        const uint8_t* e = palette + b * 3;
        buffer[i] = (uint8_t)((2 * lin[e[0]] + 5 * lin[e[1]] + lin[e[2]]) >> 3);
    }
}

void draw_SetTintRamp(int32_t r1, int32_t g1, int32_t b1, int32_t r2, int32_t g2, int32_t b2) {
    const uint8_t* toLin = pal_ToLinearTable();
    const uint8_t* fromLin = pal_FromLinearTable();
    const int32_t first[3] = {toLin[r1 & 255], toLin[g1 & 255], toLin[b1 & 255]};
    const int32_t second[3] = {toLin[r2 & 255], toLin[g2 & 255], toLin[b2 & 255]};
    const bool deep = draw_CurrentSurface.bitsPerPixel == 32;
    for (int32_t i = 255; i >= 0; i--) {
        int32_t c[3];
        for (int k = 0; k < 3; k++) c[k] = fromLin[second[k] + (((first[k] - second[k]) * i) >> 8)];
        draw_TintRamp[i] = deep ? (uint32_t)(c[0] << 16 | c[1] << 8 | c[2]) : pal_RgbTo16(c[0], c[1], c[2]);
    }
}
