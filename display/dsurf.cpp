// Drawing surface descriptors and the draw context.
#include "display/dsurf.h"

#include <cmath>
#include <cstring>

#include "display/pal.h"
#include "display/pal_hicolor.h"
#include "display/rast.h"

DrawContext draw_Context;
_DRAW_SURFACE draw_CurrentSurface;
uint8_t draw_WorkBuffer[DRAW_WORK_WIDTH * DRAW_WORK_HEIGHT];
_DRAW_SURFACE draw_WorkSurface;
float draw_SineTable[1025];

void draw_Init(void) {
    DrawColourSlot& white = draw_Context.slots[15];
    white.handle = 15;
    white.index = 255;
    white.value16 = 0xFFFF;
    white.value32 = 0xFFFFFFFF;
    draw_Context.inv128 = 0.0078125f;
    memset(draw_WorkBuffer, 0, sizeof draw_WorkBuffer);
    memset(&draw_WorkSurface, 0, sizeof draw_WorkSurface);
    draw_WorkSurface.base = draw_WorkBuffer;
    draw_WorkSurface.size = (int32_t)sizeof draw_WorkBuffer;
    draw_WorkSurface.width = DRAW_WORK_WIDTH;
    draw_WorkSurface.height = DRAW_WORK_HEIGHT;
    draw_WorkSurface.bitsPerPixel = 8;
    draw_WorkSurface.bytesPerPixel = 1;
    draw_WorkSurface.bytesPerRow = DRAW_WORK_WIDTH;
    draw_SetSurfaceClip(&draw_WorkSurface, 0, 0, DRAW_WORK_WIDTH, DRAW_WORK_HEIGHT);
    // 512 steps a turn, two turns and one entry: index + 128 (the cosine)
    // never leaves the table.
    const double step = 2.0 * M_PI / 512.0;
    for (int i = 0; i <= 1024; i++) draw_SineTable[i] = (float)sin(i * step);
    // Exact values where the rounding of sin() would leave a trace.
    for (int i = 0; i <= 1024; i += 256) draw_SineTable[i] = 0.0f;
    for (int i = 128; i <= 1024; i += 512) draw_SineTable[i] = 1.0f;
    for (int i = 384; i <= 1024; i += 512) draw_SineTable[i] = -1.0f;
}

void draw_InitSurfaceDesc(_DRAW_SURFACE* desc, void* base, int32_t width, int32_t height, int32_t bytesPerPixel) {
    if (!desc) return;
    memset(desc, 0, sizeof *desc);
    desc->base = (uint8_t*)base;
    desc->size = (int32_t)((int64_t)width * height * bytesPerPixel);
    desc->width = width;
    desc->height = height;
    desc->bitsPerPixel = (int32_t)((int64_t)bytesPerPixel * 8);
    desc->bytesPerPixel = bytesPerPixel;
    desc->bytesPerRow = (int32_t)((int64_t)width * bytesPerPixel);
    draw_SetSurfaceClip(desc, 0, 0, width, height);
    desc->centreXF = (int32_t)((int64_t)width * 64);
    desc->centreYF = (int32_t)((int64_t)height * 64);
    desc->xScale = (int32_t)((int64_t)width * 256 / 320);
    desc->widthScale = (int32_t)((int64_t)width * 65536 / 320);
}

void draw_SelectSurface(const _DRAW_SURFACE* desc) {
    if (desc) draw_CurrentSurface = *desc;
}

_DRAW_SURFACE* draw_SetSurfaceClip(_DRAW_SURFACE* desc, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (!desc) return nullptr;
    desc->clipX1 = x1;
    desc->clipY1 = y1;
    desc->clipX2 = x2;
    desc->clipY2 = y2;
    // x 128 as the 32-bit words always wrapped.
    desc->clipX1F = (int32_t)((uint32_t)x1 << 7);
    desc->clipY1F = (int32_t)((uint32_t)y1 << 7);
    desc->clipX2F = (int32_t)((uint32_t)x2 << 7);
    desc->clipY2F = (int32_t)((uint32_t)y2 << 7);
    return desc;
}

void draw_CentreSurface(_DRAW_SURFACE* desc) {
    if (!desc) return;
    uint32_t w128 = ((uint32_t)desc->clipX2 << 7) - ((uint32_t)desc->clipX1 << 7);
    uint32_t h128 = ((uint32_t)desc->clipY2 << 7) - ((uint32_t)desc->clipY1 << 7);
    desc->centreXF = (int32_t)(w128 / 2);
    desc->centreYF = (int32_t)(h128 / 2);
    uint32_t w = (uint32_t)desc->clipX2 - (uint32_t)desc->clipX1;
    desc->xScale = (int32_t)(uint32_t)((uint64_t)w * 256 / 320);
}

_DRAW_SURFACE* draw_StoreSurfacePtr(_DRAW_SURFACE** slot, _DRAW_SURFACE* desc) {
    if (slot) *slot = desc;
    return desc;
}

void draw_SetClipRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    draw_CurrentSurface.clipX1 = x1;
    draw_CurrentSurface.clipY1 = y1;
    draw_CurrentSurface.clipX2 = x2;
    draw_CurrentSurface.clipY2 = y2;
}

void draw_SetBlitSource(void* pixels, int32_t rowWidth) {
    draw_Context.blitSource = (uint8_t*)pixels;
    draw_Context.sourceRowWidth = rowWidth;
}

void draw_SetBlitDest(void* pixels, int32_t rowWidth) {
    draw_Context.blitDest = (uint8_t*)pixels;
    draw_Context.destRowWidth = rowWidth;
}

void draw_SetBlitShadeMap(const void* map, int32_t rowWidth) {
    draw_Context.shadeMap = (const uint8_t*)map;
    draw_Context.shadeMapRowWidth = rowWidth;
}

uint16_t draw_SetColourSlot(int32_t slot, int32_t r, int32_t g, int32_t b) {
    if (slot < 0 || slot >= DRAW_COLOUR_SLOTS) return 0;
    DrawColourSlot& s = draw_Context.slots[slot];
    s.handle = (uint8_t)slot;
    s.index = (uint8_t)pal_NearestIndex(r, g, b);
    s.value16 = pal_RgbTo16(r, g, b);
    s.value32 = ((uint32_t)r & 255) << 16 | ((uint32_t)g & 255) << 8 | ((uint32_t)b & 255);
    return s.value16;
}

uint8_t* pal_InstallShadeTable(void) {
    uint8_t* table = pal_CreateShadeTable();
    if (!table) return nullptr;
    // The fills and lines and the rasteriser's shaded spans read one table.
    draw_Context.shadeTable = table;
    poly_SpanState.shadeTable = table;
    poly_SpanState.shadeRows = PAL_SHADE_ROWS;
    return table;
}
