// The virtual cursor: three images in one named block, the cursor state,
// tracking from the mouse, drawing on the display or primary surface, image
// selection and the status page.
#include "cockpit/vcursor.h"

#include <cstdio>
#include <cstring>

#include "base/mem.h"
#include "debug/dbgopt.h"
#include "display/draw_fill.h"
#include "display/dsurf.h"
#include "display/otw.h"
#include "display/pal.h"
#include "display/pcx.h"
#include "display/vid.h"
#include "shell/cursor.h"
#include "shell/mouse.h"
#include "shell/wndproc.h"

_VCURSOR_DATA* vcursor_Data = nullptr;
int32_t vcursor_Enabled = 0;
int32_t vcursor_Image = 0;
int32_t vcursor_X = 0, vcursor_Y = 0;
int32_t vcursor_Width = 0, vcursor_Height = 0;
int32_t vcursor_Bytes = 0;
int32_t vcursor_Moved = 0;
int32_t vcursor_RenderedX = 0, vcursor_RenderedY = 0;
int32_t vcursor_Drawn = 0;
int32_t vcursor_Ticks = -1;
char vcursor_Label[64] = "";
int32_t vcursor_Item = -1;
int32_t vcursor_Counter = 0;
int32_t vcursor_PanelNumber = -1, vcursor_PanelU = -1, vcursor_PanelV = -1;

namespace {

// Images load at the screen's depth when it is 16 or 32 bits, else 8.
int32_t LoadMode(void) {
    const int32_t bpp = otw_State.screen.bytesPerPixel;
    return bpp == 2 ? 16 : bpp == 4 ? 32 : 8;
}

void StateReset(void) {
    vcursor_Enabled = 0;
    vcursor_Image = 0;
    vcursor_X = vcursor_Y = 0;
    vcursor_Moved = 0;
    vcursor_RenderedX = vcursor_RenderedY = 0;
    vcursor_Drawn = 0;
    vcursor_Ticks = -1;  // no tick seen: the next update runs
    vcursor_Label[0] = 0;
    vcursor_Item = -1;
    vcursor_Counter = 0;
}

void FreeImages(void* images[3]) {
    for (int32_t i = 0; i < 3; i++) {
        if (images[i]) mem_Free(images[i]);
        images[i] = nullptr;
    }
}

// The current image on a surface whose pixels are at base.
void DrawOn(uint8_t* base) {
    if (!base) return;
    _DRAW_SURFACE s = otw_State.screen;
    s.base = base;
    vcursor_Blit(vcursor_X, vcursor_Y, vcursor_Data->images[vcursor_Image], &s);
    vcursor_RenderedX = vcursor_X;
    vcursor_RenderedY = vcursor_Y;
    vcursor_Drawn = 1;
}

}  // namespace

int32_t vcursor_Load(const char* const names[3]) {
    if (!names || !names[0] || !names[1] || !names[2]) return -1;
    vcursor_Free();
    const int32_t mode = LoadMode();
    // 15-bit RGB for a 16-bit load; the image loader's masks are put back.
    const PalMaskSet masks = pal_Second.masks[0];
    pal_SetRgbMasks(0x7C00, 0x3E0, 0x1F);
    void* images[3] = {};
    int32_t width = 0, height = 0;
    bool ok = true;
    for (int32_t i = 0; i < 3 && ok; i++) {
        images[i] = pcx_LoadImageEx(names[i], mode);
        if (!images[i]) {
            ok = false;
        } else if (i == 0) {
            width = pal_Second.width;
            height = pal_Second.height;
        } else if (pal_Second.width != width || pal_Second.height != height) {
            ok = false;
        }
    }
    pal_Second.masks[0] = masks;
    const int64_t bytes = (int64_t)width * height * (mode / 8);
    size_t nameBytes = 0;
    for (int32_t i = 0; i < 3; i++) nameBytes += strlen(names[i]) + 1;
    const int64_t total = (int64_t)sizeof(_VCURSOR_DATA) + 4 * bytes + (int64_t)nameBytes + 3;
    if (!ok || width <= 0 || height <= 0 || total > INT32_MAX) {
        FreeImages(images);
        return -1;
    }
    auto* data = static_cast<_VCURSOR_DATA*>(mem_GlobalAllocNamed("_VCURSOR_DATA", (int32_t)total));
    if (!data) {
        FreeImages(images);
        return -1;
    }
    uint8_t* p = reinterpret_cast<uint8_t*>(data + 1);
    for (int32_t i = 0; i < 3; i++, p += bytes) {
        data->images[i] = p;
        memcpy(p, images[i], (size_t)bytes);
    }
    data->save = p;
    memset(p, 0, (size_t)bytes);
    char* name = reinterpret_cast<char*>(p + bytes);
    for (int32_t i = 0; i < 3; i++) {
        const size_t n = strlen(names[i]) + 1;
        memcpy(name, names[i], n);
        data->names[i] = name;
        name += n;
    }
    FreeImages(images);
    vcursor_Data = data;
    vcursor_Width = width;
    vcursor_Height = height;
    vcursor_Bytes = (int32_t)bytes;
    StateReset();
    vcursor_Enabled = 1;
    return 0;
}

void vcursor_Free(void) {
    if (vcursor_Data) mem_GlobalFreeNamed(vcursor_Data);
    vcursor_Data = nullptr;
    StateReset();
}

int32_t vcursor_ImageSet(int32_t image) {
    if (!vcursor_Data) return 0;
    vcursor_Image = image < 0 ? 0 : image > 2 ? 2 : image;
    if (vid_State.windowed) {
        static const char* const kSystem[3] = {"CURSOR1", "CURSOR2", "CURSOR3"};
        app_CursorLoadSet(kSystem[vcursor_Image]);
    }
    return vcursor_Image;
}

int32_t vcursor_Track(void) {
    otw_ClipCursor();
    app_PumpMessages();
    int32_t x = (int32_t)((float)app_MouseState.x * otw_MouseScaleX);
    int32_t y = (int32_t)((float)app_MouseState.y * otw_MouseScaleY);
    if (x < 1) x = 1;
    if (y < 1) y = 1;
    const int32_t w = otw_State.screen.width, h = otw_State.screen.height;
    if (x >= w - vcursor_Width - 1) x = w - vcursor_Width - 2;
    if (y >= h - vcursor_Height - 1) y = h - vcursor_Height - 2;
    vcursor_X = x;
    vcursor_Y = y;
    vcursor_Moved = 0;
    if (x == vcursor_RenderedX && y == vcursor_RenderedY) {
        if (vcursor_Counter <= 0) return vcursor_Counter;
        vcursor_Counter++;
    } else {
        vcursor_Moved = 1;
        vcursor_Counter = 2;
    }
    if (vcursor_Counter > 150) vcursor_Counter = 0;
    return vcursor_Counter;
}

void vcursor_Draw(void) {
    if (!vcursor_Data) return;
    const bool wasLocked = otw_State.locked != 0;
    uint8_t* base = otw_LockSurface();
    DrawOn(base);
    if (base && !wasLocked) otw_UnlockSurface();
}

void vcursor_DrawPrimary(void) {
    if (!vcursor_Data) return;
    uint8_t* base = vid_LockPrimary();
    if (!base) return;
    DrawOn(base);
    vid_UnlockPrimary();
}

void vcursor_Blit(int32_t x, int32_t y, const uint8_t* pixels, const _DRAW_SURFACE* surface) {
    if (!pixels || !surface || !surface->base || !vcursor_Data) return;
    int32_t rowWidth = 0, depth = 0;
    if (surface->bytesPerPixel == 2) {
        rowWidth = surface->bytesPerRow / 2;
        depth = LoadMode() == 16 ? 15 : 8;
    } else if (surface->bytesPerPixel == 4) {
        rowWidth = surface->bytesPerRow / 4;
        depth = 32;
    } else {
        return;
    }
    const DrawContext context = draw_Context;
    const _DRAW_SURFACE current = draw_CurrentSurface;
    draw_SelectSurface(surface);
    draw_Context.blitSource = const_cast<uint8_t*>(pixels);
    draw_Context.sourceRowWidth = vcursor_Width;
    draw_SetBlitSourceRows(vcursor_Height);
    draw_Context.blitDest = surface->base;
    draw_Context.destRowWidth = rowWidth;
    draw_BlitRect(x, y, vcursor_Width, vcursor_Height, 0, 0, depth, 1);
    draw_SetBlitSourceRows(0);
    draw_CurrentSurface = current;
    draw_Context = context;
}

void vcursor_StatusDraw(void) {
    if (!(dbg_OptionBits & DBG_OPT_VCURSOR_STATUS)) return;
    dbg_MonoClear();
    char lines[15][96];
    snprintf(lines[0], sizeof lines[0], "ENABLED : %ld", (long)vcursor_Enabled);
    snprintf(lines[1], sizeof lines[1], "IMAGE   : %ld", (long)vcursor_Image);
    snprintf(lines[2], sizeof lines[2], "SIZE    : %ld x %ld, %ld bytes", (long)vcursor_Width, (long)vcursor_Height,
             (long)vcursor_Bytes);
    snprintf(lines[3], sizeof lines[3], "SCREEN  : %ld x %ld", (long)otw_State.screen.width,
             (long)otw_State.screen.height);
    snprintf(lines[4], sizeof lines[4], "MOUSE   : (%ld, %ld)", (long)app_MouseState.x, (long)app_MouseState.y);
    snprintf(lines[5], sizeof lines[5], "OTW SCALE : (%2.2f, %2.2f)", (double)otw_MouseScaleX, (double)otw_MouseScaleY);
    snprintf(lines[6], sizeof lines[6], "COORD   : (%ld, %ld)", (long)vcursor_X, (long)vcursor_Y);
    snprintf(lines[7], sizeof lines[7], "RENDERED: (%ld, %ld)", (long)vcursor_RenderedX, (long)vcursor_RenderedY);
    snprintf(lines[8], sizeof lines[8], "MOVED   : %ld", (long)vcursor_Moved);
    snprintf(lines[9], sizeof lines[9], "LABEL   : \"%.60s\"", vcursor_Label);
    snprintf(lines[10], sizeof lines[10], "ID      : %ld", (long)vcursor_Item);
    snprintf(lines[11], sizeof lines[11], "PANEL # : %ld", (long)vcursor_PanelNumber);
    snprintf(lines[12], sizeof lines[12], "U, V    : %ld, %ld", (long)vcursor_PanelU, (long)vcursor_PanelV);
    snprintf(lines[13], sizeof lines[13], "TICKS   : %ld", (long)vcursor_Ticks);
    snprintf(lines[14], sizeof lines[14], "COUNTER : %ld", (long)vcursor_Counter);
    for (int32_t i = 0; i < 15; i++) dbg_MonoWrite(0, i, lines[i], 7);
    dbg_MonoFlush();
}
