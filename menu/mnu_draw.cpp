// Menu drawing: dirty rectangles passed up the layers, the draw pass over
// backgrounds and buttons, text areas and image areas, text placement and
// colours, images in the display's format, and the popup message.
//
// Everything goes to the current surface (the screen, locked by the
// caller) taken as 640 pixels a row; blits skip source pixels of value 0.
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/mem.h"
#include "display/draw_fill.h"
#include "display/dsurf.h"
#include "display/font.h"
#include "display/otw.h"
#include "display/pal_hicolor.h"
#include "menu/mnu.h"

MnuPopup mnu_Popup = {};

namespace {

constexpr int32_t kScreenRow = 640;
constexpr int32_t kLayers = 10;

MnuPageRoutine g_page = nullptr;

bool Inside(int32_t x, int32_t y, const MnuRect* r) {
    return x >= r->left && x <= r->right && y >= r->top && y <= r->bottom;
}

MnuRect ButtonRect(const MnuButton* b) { return MnuRect{b->x, b->y, b->x + b->width, b->y + b->height}; }

// Depth of the image's picture as drawn: its display copy is in the screen's
// format; the picture as loaded is 5-5-5.
int32_t PictureDepth(const MnuImage* im) {
    if (im->displayCopy) return otw_ScreenSurface.bytesPerPixel == 4 ? 32 : 16;
    return 15;
}

void BlitTo(const uint8_t* source, int32_t rowWidth, int32_t rows, int32_t depth, int32_t destX, int32_t destY,
            int32_t width, int32_t height, int32_t sourceX, int32_t sourceY) {
    if (!source || !draw_CurrentSurface.base) return;
    draw_SetBlitDest(draw_CurrentSurface.base, kScreenRow);
    draw_SetBlitSource(const_cast<uint8_t*>(source), rowWidth);
    draw_SetBlitSourceRows(rows);
    draw_BlitRect(destX, destY, width, height, sourceX, sourceY, depth, 1);
}

// The font of a text: the named record's loaded font, else the fallback.
const BitmapFont* ChooseFont(MnuContext* c, const char* fontName, const MnuFontBlock* fallback, MnuFont** record,
                             int32_t* lineHeight) {
    MnuFont* f = fontName && fontName[0] ? mnu_FontFind(c, fontName) : nullptr;
    if (f && f->block.font) {
        *record = f;
        *lineHeight = f->block.lineHeight;
        return f->block.font;
    }
    *record = nullptr;
    if (fallback && fallback->font) {
        *lineHeight = fallback->lineHeight;
        return fallback->font;
    }
    return nullptr;
}

// One line through the tint ramp.
void DrawLine(const char* text, const BitmapFont* font, int32_t x, int32_t y) {
    font_State.tableOverride = draw_TintRamp;
    font_DrawString(text, font, x, y, 0, FONT_MODE_IMAGE);
    font_State.tableOverride = nullptr;
}

void Wrapped(const char* text, const BitmapFont* font, int32_t lineHeight, int32_t x, int32_t y, int32_t width,
             int32_t height, int32_t firstLine, int32_t* lineCount) {
    if (!mnu_TextLineBuffer || !font) return;
    FontTextArea area = {};
    area.lines = mnu_TextLineBuffer;
    area.bufferSize = MNU_TEXT_LINE_BUFFER;
    area.widthLimit = static_cast<uint16_t>(width < 0 ? 0 : width > 0xffff ? 0xffff : width);
    area.x = static_cast<uint16_t>(x);
    area.y = static_cast<uint16_t>(y);
    area.lineHeight = static_cast<uint16_t>(lineHeight);
    font_WrapText(text, font, &area);
    int32_t visible = lineHeight > 0 ? height / lineHeight : 0;
    if (lineCount) *lineCount = area.lineCount;
    if (firstLine > area.lineCount) firstLine = area.lineCount;
    if (firstLine < 0) firstLine = 0;
    if (visible <= 0) return;
    font_State.tableOverride = draw_TintRamp;
    font_DrawWrappedText(&area, font, 0, FONT_MODE_IMAGE, firstLine, visible);
    font_State.tableOverride = nullptr;
}

// The tallest glyph band of the font.
int32_t FontLineHeight(const BitmapFont* font) {
    int32_t h = 0;
    if (font && font->entries)
        for (int32_t i = 0; i < FONT_ENTRIES; i++)
            if (font->entries[i].present && font->entries[i].height > h) h = font->entries[i].height;
    return h;
}

}  // namespace

int32_t mnu_RectsOverlap(const MnuRect* a, const MnuRect* b) {
    if (!a || !b) return 0;
    if (Inside(a->left, a->top, b) || Inside(a->right, a->top, b) || Inside(a->left, a->bottom, b) ||
        Inside(a->right, a->bottom, b))
        return 1;
    if (Inside(b->left, b->top, a) || Inside(b->right, b->top, a) || Inside(b->left, b->bottom, a) ||
        Inside(b->right, b->bottom, a))
        return 1;
    return a->left <= b->right && b->left <= a->right && a->top <= b->bottom && b->top <= a->bottom;
}

void mnu_PageCallbackSet(MnuPageRoutine routine) { g_page = routine; }

void mnu_PageCallbackRun(void) {
    if (g_page) g_page();
}

void mnu_WindowRefreshRecord(MnuContext* c, MnuWindow* w, const MnuRect* rect, int32_t markOnly) {
    if (!c || !w) return;
    if (!rect) {
        w->dirtyLeft = 0, w->dirtyTop = 0, w->dirtyRight = w->width, w->dirtyBottom = w->height;
    } else if (w->flags & MNU_WINDOW_REPAINT) {
        if (rect->left < w->dirtyLeft) w->dirtyLeft = rect->left;
        if (rect->top < w->dirtyTop) w->dirtyTop = rect->top;
        if (rect->right > w->dirtyRight) w->dirtyRight = rect->right;
        if (rect->bottom > w->dirtyBottom) w->dirtyBottom = rect->bottom;
    } else {
        w->dirtyLeft = rect->left, w->dirtyTop = rect->top, w->dirtyRight = rect->right;
        w->dirtyBottom = rect->bottom;
    }
    w->flags |= MNU_WINDOW_REPAINT;
    if (markOnly) return;
    const MnuRect dirty = {w->dirtyLeft, w->dirtyTop, w->dirtyRight, w->dirtyBottom};
    for (int32_t i = 0; i < c->imageAreaCount && c->imageAreas[i].name[0]; i++) {
        MnuImageArea* a = &c->imageAreas[i];
        MnuRect r = {a->left, a->top, a->right, a->bottom};
        if (strcasecmp(a->window, w->name) == 0 && mnu_RectsOverlap(&r, &dirty)) a->flags |= MNU_IMAGE_AREA_REDRAW;
    }
    for (int32_t i = 0; i < c->textAreaCount && c->textAreas[i].name[0]; i++) {
        MnuTextArea* a = &c->textAreas[i];
        MnuRect r = {a->left, a->top, a->right, a->bottom};
        if (strcasecmp(a->window, w->name) == 0 && mnu_RectsOverlap(&r, &dirty)) a->flags |= MNU_AREA_REDRAW;
    }
    for (int32_t i = 0; i < c->buttonCount && c->buttons[i].name[0]; i++) {
        MnuButton* b = &c->buttons[i];
        MnuRect r = ButtonRect(b);
        if (strcasecmp(b->window, w->name) == 0 && mnu_RectsOverlap(&r, &dirty)) b->flags |= MNU_BUTTON_REDRAW;
    }
    // Windows above take the same four numbers (not moved between the two
    // windows' positions), once for every layer up to their own.
    for (int32_t layer = w->layer + 1; layer <= kLayers; layer++) {
        for (int32_t i = 0; i < c->windowCount && c->windows[i].name[0]; i++) {
            MnuWindow* up = &c->windows[i];
            if (up == w || !(up->flags & MNU_WINDOW_SHOWN) || up->layer < layer) continue;
            MnuRect r = {up->x, up->y, up->x + up->width, up->y + up->height};
            if (mnu_RectsOverlap(&r, &dirty)) mnu_WindowRefreshRecord(c, up, &dirty, 0);
        }
    }
}

void mnu_WindowRefresh(MnuContext* c, const char* name, const MnuRect* rect, int32_t markOnly) {
    mnu_WindowRefreshRecord(c, mnu_WindowFind(c, name), rect, markOnly);
}

const uint8_t* mnu_ImagePicture(const MnuImage* image) {
    if (!image) return nullptr;
    return image->displayCopy ? static_cast<const uint8_t*>(image->displayCopy)
                              : reinterpret_cast<const uint8_t*>(image->pixels);
}

void mnu_ImageBlitRect(MnuImage* image, const MnuRect* rect, int32_t x, int32_t y) {
    if (!image || !rect) return;
    BlitTo(mnu_ImagePicture(image), image->width, image->height, PictureDepth(image),
           rect->left + image->offsetX + x, rect->top + image->offsetY + y, rect->right - rect->left,
           rect->bottom - rect->top, rect->left, rect->top);
}

void mnu_ButtonDraw(MnuButton* b, int32_t windowX, int32_t windowY) {
    if (!b || !(b->flags & MNU_BUTTON_REDRAW)) return;
    b->flags &= ~MNU_BUTTON_REDRAW;
    MnuImage* im = b->image;
    if (!im || b->height <= 0) return;
    // A strip of fewer than four frames shows its last one for the others.
    int32_t frames = im->frameCount > 0 ? im->frameCount : 1;
    int32_t picture = b->picture < 0 ? 0 : b->picture >= frames ? frames - 1 : b->picture;
    BlitTo(mnu_ImagePicture(im), im->width, im->height, PictureDepth(im), windowX + b->x, windowY + b->y, b->width,
           b->height, 0, picture * b->height);
}

void mnu_WindowButtonsDraw(MnuContext* c, MnuWindow* w) {
    if (!c || !w) return;
    for (int32_t i = 0; i < c->buttonCount && c->buttons[i].name[0]; i++) {
        MnuButton* b = &c->buttons[i];
        if (strcasecmp(b->window, w->name) != 0) continue;
        mnu_ButtonDraw(b, w->x, w->y);
        mnu_Idle();
    }
}

void mnu_Draw(MnuContext* c) {
    if (!c) return;
    for (int32_t layer = 0; layer <= kLayers; layer++) {
        for (int32_t i = 0; i < c->windowCount && c->windows[i].name[0]; i++) {
            MnuWindow* w = &c->windows[i];
            if (w->layer != layer || !(w->flags & MNU_WINDOW_SHOWN)) continue;
            if (w->flags & MNU_WINDOW_REPAINT) {
                MnuRect r = {w->dirtyLeft, w->dirtyTop, w->dirtyRight, w->dirtyBottom};
                mnu_ImageBlitRect(w->image, &r, w->x, w->y);
                w->flags &= ~MNU_WINDOW_REPAINT;
                w->dirtyLeft = w->dirtyTop = w->dirtyRight = w->dirtyBottom = 0;
                mnu_Idle();
            }
            mnu_WindowButtonsDraw(c, w);
        }
    }
    mnu_PageCallbackRun();
}

void mnu_TextMeasure(MnuContext* c, const char* fontName, const char* text, int32_t* width, int32_t* lineHeight) {
    int32_t w = 0, h = 0;
    MnuFont* f = mnu_FontFind(c, fontName);
    if (f && f->block.font) {
        w = text ? font_StringWidth(text, f->block.font) : 0;
        h = f->block.lineHeight;
    }
    if (width) *width = w;
    if (lineHeight) *lineHeight = h;
}

void mnu_TextDrawWrapped(const char* text, const BitmapFont* font, int32_t x, int32_t y, int32_t width,
                         int32_t height, int32_t firstLine, int32_t* lineCount) {
    Wrapped(text, font, FontLineHeight(font), x, y, width, height, firstLine, lineCount);
}

void mnu_TextDraw(MnuContext* c, const char* text, const char* fontName, MnuFontBlock* fallback, const MnuRect* rect,
                  int32_t windowX, int32_t windowY, int32_t flags, int32_t state, char hotKey, int32_t firstLine,
                  int32_t* lineCount) {
    if (!rect || !text) return;
    MnuFont* record = nullptr;
    int32_t lineHeight = 0;
    const BitmapFont* font = ChooseFont(c, fontName, fallback, &record, &lineHeight);
    if (!font) return;

    // The caret is drawn from a copy: the caller's buffer is left alone.
    char* caret = nullptr;
    if (flags & MNU_AREA_CARET) {
        size_t n = strlen(text);
        caret = static_cast<char*>(malloc(n + 2));
        if (caret) {
            memcpy(caret, text, n);
            caret[n] = '_';
            caret[n + 1] = 0;
        }
    }
    const char* shown = caret ? caret : text;

    const int32_t width = font_StringWidth(shown, font);
    const int32_t rw = rect->right - rect->left, rh = rect->bottom - rect->top;
    int32_t x = 8, y = (rh - lineHeight) / 2;
    if (y < 0) y = 0;
    if (flags & MNU_AREA_RIGHT) x = rw - width - 8;
    if (flags & MNU_AREA_CENTRED) x = (rw - width) / 2;
    if (flags & MNU_AREA_WRAPPED) x = 0, y = 0;
    if (flags & MNU_AREA_OUTSIDE_LEFT) x = -width - 8, y = rh - lineHeight;
    if (flags & MNU_AREA_OUTSIDE_RIGHT) x = rw + 8, y = rh - lineHeight;

    if (record) {
        const MnuRgb* pair = &record->colours[0];
        if (state == MNU_STATE_HOVER || state == MNU_STATE_PRESSED || state == MNU_STATE_LATCHED)
            pair = &record->colours[2];
        else if (state == MNU_STATE_DISABLED)
            pair = &record->colours[4];
        draw_SetTintRamp(pair[0].red, pair[0].green, pair[0].blue, pair[1].red, pair[1].green, pair[1].blue);
    }
    const int32_t px = windowX + rect->left + x, py = windowY + rect->top + y;
    if (flags & MNU_AREA_WRAPPED)
        Wrapped(shown, font, lineHeight, px, py, rw, rh, firstLine, lineCount);
    else
        DrawLine(shown, font, px, py);

    if (hotKey) {
        if (const char* at = strchr(text, hotKey)) {
            size_t before = static_cast<size_t>(at - text);
            char* prefix = static_cast<char*>(malloc(before + 1));
            if (prefix) {
                memcpy(prefix, text, before);
                prefix[before] = 0;
                DrawLine("_", font, px + font_StringWidth(prefix, font), py);
                free(prefix);
            }
        }
    }
    free(caret);
}

void mnu_TextAreaImageDraw(MnuContext* c, const char* imageName, const MnuRect* rect, int32_t windowX,
                           int32_t windowY, int32_t flags) {
    MnuImage* im = mnu_ImageFind(c, imageName);
    if (!im || !rect || !mnu_ImagePicture(im)) return;
    const int32_t rw = rect->right - rect->left, rh = rect->bottom - rect->top;
    int32_t x = 8, y = 0;
    if (flags & MNU_AREA_RIGHT) x = rw - im->width - 8;
    if (flags & MNU_AREA_CENTRED) x = (rw - im->width) / 2;
    if (flags & MNU_AREA_OUTSIDE_LEFT) x = -im->width - 8, y = rh - im->height;
    if (flags & MNU_AREA_OUTSIDE_RIGHT) x = rw + 8, y = rh - im->height;
    BlitTo(mnu_ImagePicture(im), im->width, im->height, PictureDepth(im), windowX + rect->left + x,
           windowY + rect->top + y, im->width, im->height, 0, 0);
}

void mnu_WindowTextDraw(MnuContext* c, const char* windowName) {
    MnuWindow* w = mnu_WindowFind(c, windowName);
    if (!w || !(w->flags & MNU_WINDOW_SHOWN) || w->x > 640 || w->y > 480) return;
    for (int32_t i = 0; i < c->textAreaCount && c->textAreas[i].name[0]; i++) {
        MnuTextArea* a = &c->textAreas[i];
        if (strcasecmp(a->window, w->name) != 0 || !a->text || !(a->flags & MNU_AREA_REDRAW)) continue;
        if (a->linked) {
            a->linked->flags |= MNU_AREA_REDRAW;
            a->linked->state = a->state;
        }
        MnuRect r = {a->left, a->top, a->right, a->bottom};
        if (a->flags & MNU_AREA_IMAGE)
            mnu_TextAreaImageDraw(c, a->stringKey, &r, w->x, w->y, a->flags);
        else
            mnu_TextDraw(c, a->text, a->fontName, w->font, &r, w->x, w->y, a->flags, a->state, a->hotKey,
                         a->firstLine, &a->lineCount);
        a->flags &= ~MNU_AREA_REDRAW;
    }
}

void mnu_ImageAreasDraw(MnuContext* c) {
    if (!c) return;
    for (int32_t i = 0; i < c->imageAreaCount && c->imageAreas[i].name[0]; i++) {
        MnuImageArea* a = &c->imageAreas[i];
        if (!a->framePixels || !(a->flags & MNU_IMAGE_AREA_REDRAW)) continue;
        MnuWindow* w = mnu_WindowFind(c, a->window);
        if (!w || !(w->flags & MNU_WINDOW_SHOWN)) continue;
        int32_t width = a->right - a->left, height = a->bottom - a->top;
        int32_t depth = a->image && !a->image->displayCopy ? 15 : a->bitsPerPixel;
        if (a->image && a->image->displayCopy && otw_ScreenSurface.bytesPerPixel == 4) depth = 32;
        BlitTo(reinterpret_cast<const uint8_t*>(a->framePixels), width, height, depth, w->x + a->left,
               w->y + a->top, width, height, 0, 0);
        a->flags &= ~MNU_IMAGE_AREA_REDRAW;
    }
}

void mnu_TextAreaSetText(MnuContext* c, const char* areaName, const char* text) {
    MnuTextArea* a = mnu_TextAreaFind(c, areaName);
    if (!a) return;
    a->text = text;
    a->flags |= MNU_AREA_REDRAW;
    MnuRect r = {a->left, a->top, a->right, a->bottom};
    mnu_WindowRefresh(c, a->window, &r, 0);
}

void mnu_TextAreaSetString(MnuContext* c, const char* areaName, const char* stringKey) {
    MnuString* s = mnu_StringFind(c, stringKey);
    if (!s || !mnu_TextAreaFind(c, areaName)) return;
    mnu_TextAreaSetText(c, areaName, s->text);
}

void mnu_TextAreaLink(MnuContext* c, const char* areaName, const char* linkedName) {
    if (MnuTextArea* a = mnu_TextAreaFind(c, areaName)) a->linked = mnu_TextAreaFind(c, linkedName);
}

int32_t mnu_ImageConvert(MnuImage* image) {
    if (!image || !image->pixels) return -1;
    const int32_t bytes = otw_ScreenSurface.bytesPerPixel;
    if (bytes != 2 && bytes != 4) return -1;
    if (image->displayCopy) {
        mem_Free(image->displayCopy);
        image->displayCopy = nullptr;
    }
    int64_t size = static_cast<int64_t>(image->width) * image->height * bytes;
    if (size <= 0 || size > INT32_MAX) return -1;
    void* copy = mem_AllocEx(static_cast<uint32_t>(size), 4, "mnu CON_DATA_PTR");
    if (!copy) return -1;
    memset(copy, 0, static_cast<size_t>(size));
    const _DRAW_SURFACE saved = draw_CurrentSurface;
    _DRAW_SURFACE d;
    draw_InitSurfaceDesc(&d, copy, image->width, image->height, bytes);
    draw_SelectSurface(&d);
    draw_SetBlitDest(copy, image->width);
    draw_SetBlitSource(image->pixels, image->width);
    draw_SetBlitSourceRows(image->height);
    draw_BlitRect(0, 0, image->width, image->height, 0, 0, 15, 0);
    draw_SelectSurface(&saved);
    image->displayCopy = copy;
    return 0;
}

void mnu_ImagesConvertAll(MnuContext* c) {
    if (!c) return;
    for (int32_t i = 0; i < c->imageCount && c->images[i].name[0]; i++)
        if (c->images[i].pixels) mnu_ImageConvert(&c->images[i]);
}

void mnu_ImageUnload(MnuImage* image) {
    if (!image) return;
    if (image->displayCopy) mem_Free(image->displayCopy);
    if (image->pixels) mem_Free(image->pixels);
    image->displayCopy = nullptr;
    image->pixels = nullptr;
}

void mnu_PopupClear(void) {
    mnu_Popup = MnuPopup{};
    pal_SetFogColourB(255, 255, 255);
    pal_BuildHighColourTables();
}

void mnu_PopupShow(MnuContext* c, const char* text, const char* fontName, int32_t style, const char* button1,
                   int32_t value1, const char* button2, int32_t value2, int32_t flags) {
    mnu_PopupClear();
    MnuPopup& p = mnu_Popup;
    p.text = text;
    p.style = style == -1 ? 5 : style;
    p.values[0] = value1;
    p.values[1] = value2;
    p.flags = flags;
    p.buttons[0] = button1 ? mnu_ButtonFind(c, button1) : nullptr;
    p.buttons[1] = button2 ? mnu_ButtonFind(c, button2) : nullptr;
    if (fontName) {
        snprintf(p.fontName, sizeof p.fontName, "%s", fontName);
    }
    p.textFlags = MNU_AREA_CENTRED;
    int32_t width = 0, lineHeight = 0;
    mnu_TextMeasure(c, p.fontName, text, &width, &lineHeight);
    int32_t half = width / 2;
    if (half > 160) half = 160;
    p.rect.left = 320 - half;
    p.rect.right = 320 + half;
    int32_t height = lineHeight * (width / 320 + 1);
    if (flags & MNU_POPUP_TOP) {
        p.rect.top = 8;
        p.rect.bottom = height + 8;
    } else if (flags & MNU_POPUP_CENTRED) {
        p.rect.top = 240 - height / 2;
        p.rect.bottom = 240 + height / 2;
    } else {
        p.rect.top = 472 - height;
        p.rect.bottom = 472;
    }
    p.flags |= MNU_POPUP_VISIBLE;
}

int32_t mnu_PopupDraw(MnuContext* c) {
    if (!(mnu_Popup.flags & MNU_POPUP_VISIBLE)) return 0;
    mnu_PopupRender(c, nullptr);
    return 1;
}

void mnu_PopupRectSet(int32_t x, int32_t y, int32_t width, int32_t height, int32_t textFlags) {
    mnu_Popup.rect = MnuRect{x + 8, y + 8, x + width - 8, y + height - 8};
    mnu_Popup.textFlags = textFlags;
}

void mnu_PopupRender(MnuContext* c, MnuPopup* popup) {
    MnuPopup* p = popup ? popup : &mnu_Popup;
    if (draw_CurrentSurface.base) {
        draw_SetBlitDest(draw_CurrentSurface.base, kScreenRow);
        draw_BevelPanelAt(p->rect.left - 8, p->rect.top - 8, p->rect.right - p->rect.left + 16,
                          p->rect.bottom - p->rect.top + 16, p->style);
    }
    mnu_TextDraw(c, p->text, p->fontName, nullptr, &p->rect, 0, 0, p->textFlags, MNU_STATE_NORMAL, 0, 0, nullptr);
    p->flags &= ~MNU_POPUP_VISIBLE;
}
