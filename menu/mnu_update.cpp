// The menu widgets between two frames: the button state machine with the
// pointer, hot keys and sounds, the accept and cancel keys, windows, text
// entries, scroll areas and animated image areas, all run by mnu_Update
// once per tick.
#include <strings.h>

#include <cctype>
#include <cstdio>
#include <cstring>

#include "base/le.h"
#include "display/otw.h"
#include "menu/mnu.h"
#include "platform/files.h"
#include "platform/winmsg.h"
#include "shell/keyqueue.h"
#include "shell/mouse.h"

int32_t mnu_UpdateCount = 0;

namespace {

MnuHandler g_accept = nullptr, g_cancel = nullptr;
int32_t g_acceptPending = 0, g_cancelPending = 0;
char g_undo[256];
// The context whose scroll tracks the pointer zones drag.
MnuContext* g_scrollContext = nullptr;

constexpr int32_t kButtonRecordSize = 472;

MnuRect EntryRect(const MnuEntry* e) { return MnuRect{e->left, e->top, e->right, e->bottom}; }

void Call(const MnuCallback* cb) {
    if (cb && cb->handler) cb->handler(cb->argument);
}

MnuTextArea* CaptionOf(MnuContext* c, MnuButton* b) {
    if (!b->caption && b->textKey[0]) b->caption = mnu_TextAreaFind(c, b->name);
    return b->caption;
}

bool Shown(const MnuWindow* w) { return w && (w->flags & MNU_WINDOW_SHOWN); }

int32_t FrameCount(const MnuImage* im) { return im && im->frameCount > 0 ? im->frameCount : 1; }

// The 16-bit pixel of the button's current frame at (x, y), 0 outside it.
uint16_t FramePixel(const MnuButton* b, int32_t x, int32_t y) {
    const MnuImage* im = b->image;
    if (!im || !im->pixels || x < 0 || y < 0 || x >= im->width || y >= b->height) return 0;
    int32_t frames = FrameCount(im);
    int32_t picture = b->picture < 0 ? 0 : b->picture >= frames ? frames - 1 : b->picture;
    int64_t row = static_cast<int64_t>(picture) * b->height + y;
    if (row >= im->height) return 0;
    return im->pixels[row * im->width + x];
}

// Steps 3 to 7 of the tracking: the pointer over the rectangle, and the
// left button.
void TrackPointer(MnuContext* c, MnuButton* b, const MnuRect& r) {
    const int32_t mx = app_MouseState.x, my = app_MouseState.y;
    const int32_t hx = mx + mnu_Cursor.hotX, hy = my + mnu_Cursor.hotY;
    const bool leftHeld = (app_MouseState.buttons & 1) != 0;
    // A button that fired without repeat waits for the button to go up.
    if (!leftHeld) b->waitRelease = 0;
    if (hx < r.left || hx >= r.right || hy < r.top || hy >= r.bottom) {
        if ((b->flags & MNU_BUTTON_HOVER) && b->hoverOut && b->hoverOut->handler) {
            Call(b->hoverOut);
            b->flags &= ~MNU_BUTTON_HOVER;
        }
        return;
    }
    if (b->state != MNU_STATE_DISABLED && b->hoverIn && b->hoverIn->handler && !(b->flags & MNU_BUTTON_HOVER)) {
        Call(b->hoverIn);
        b->flags |= MNU_BUTTON_HOVER;
    }
    if (b->state != MNU_STATE_NORMAL) return;
    const bool pixelExact = b->image && (b->image->flags & MNU_IMAGE_PIXEL_HIT);
    if (!pixelExact || FramePixel(b, mx - r.left - 1, my - r.top - 1) != 0) b->state = MNU_STATE_HOVER;
    if (!leftHeld) return;
    if ((b->flags & MNU_BUTTON_NO_REPEAT) && (b->previousState == MNU_STATE_PRESSED || b->waitRelease)) return;
    if (b->image && b->state != MNU_STATE_HOVER) return;
    b->state = MNU_STATE_PRESSED;
    if (b->previousState == MNU_STATE_PRESSED) {
        b->pressCountdown = b->repeatTime;
        b->repeating = 1;
    } else {
        b->pressCountdown = b->pressTime;
        mnu_SoundEventPlay(c, b->soundEvent);
    }
}

MnuEntry* EntryAt(MnuContext* c, int32_t i) {
    return c && c->entries && i < c->entryCount && c->entries[i].name[0] ? &c->entries[i] : nullptr;
}

const BitmapFont* EntryFont(MnuContext* c, const MnuEntry* e) {
    if (e->area)
        if (MnuFont* f = mnu_FontFind(c, e->area->fontName))
            if (f->block.font) return f->block.font;
    MnuWindow* w = mnu_WindowFind(c, e->window);
    return w && w->font ? w->font->font : nullptr;
}

void EntryRefresh(MnuContext* c, const MnuEntry* e) {
    MnuRect r = EntryRect(e);
    mnu_WindowRefresh(c, e->window, &r, 0);
    if (e->area) e->area->flags |= MNU_AREA_REDRAW;
}

void EntryKeys(MnuContext* c, MnuEntry* e) {
    if (!e->buffer || e->bufferSize <= 0 || !e->area) return;
    const BitmapFont* font = EntryFont(c, e);
    const char* visible = e->area->text;
    if (!visible || visible < e->buffer || visible > e->buffer + e->bufferSize) visible = e->buffer;
    uint32_t key;
    while (e->editing && (key = app_KeyQueuePop()) != 0) {
        EntryRefresh(c, e);
        const int32_t vk = static_cast<int32_t>(key & 0xff);
        const int32_t ch = static_cast<int32_t>((key >> 8) & 0xff);
        size_t length = strnlen(e->buffer, static_cast<size_t>(e->bufferSize));
        if (ch >= 0x20 && ch < 0x7f) {
            if (length < static_cast<size_t>(e->bufferSize - 1)) {
                e->buffer[length] = static_cast<char>(ch);
                e->buffer[length + 1] = 0;
            }
            const int32_t room = e->right - e->left;
            while (*visible && font && font_StringWidth(visible, font) + font_StringWidth("_", font) >= room)
                visible++;
        } else if (vk == VK_BACK || vk == VK_DELETE) {
            if (length > 0) e->buffer[length - 1] = 0;
            if (visible > e->buffer) visible--;
        } else if (vk == VK_ESCAPE) {
            snprintf(e->buffer, static_cast<size_t>(e->bufferSize), "%s", g_undo);
            if (visible > e->buffer + strlen(e->buffer)) visible = e->buffer;
            e->area->text = visible;
            if (e->callback) e->callback(0);
        } else if (vk == VK_RETURN) {
            e->area->text = visible;
            if (e->callback) e->callback(0);
        }
    }
    e->area->text = visible;
}

MnuScroll* ScrollOfZone(const chs_Zone* zone) {
    MnuContext* c = g_scrollContext;
    if (!c || !zone || zone->user < 0 || zone->user >= c->scrollCount) return nullptr;
    MnuScroll* s = &c->scrolls[zone->user];
    return s->name[0] && s->trackZone == zone ? s : nullptr;
}

MnuImageArea* Thumb(MnuScroll* s) {
    s->thumb = s->context ? mnu_ImageAreaFind(s->context, s->name) : nullptr;
    return s->thumb && s->thumb->image ? s->thumb : nullptr;
}

int32_t ThumbHeight(const MnuImageArea* t) { return t->image->height / FrameCount(t->image); }

// Lines per thumb step: (line count / step - 1), or 0 when the thumb cannot
// move (one page or less).
double ThumbSteps(const MnuScroll* s) {
    if (s->step <= 0 || !s->area) return 0;
    double steps = static_cast<double>(s->area->lineCount) / s->step - 1;
    return steps > 0 ? steps : 0;
}

void ClampFirstLine(MnuScroll* s) {
    int32_t last = s->area->lineCount - s->step - 1;
    if (s->area->firstLine > last) s->area->firstLine = last;
    if (s->area->firstLine < 0) s->area->firstLine = 0;
}

void RefreshArea(MnuContext* c, MnuTextArea* a) {
    a->flags |= MNU_AREA_REDRAW;
    MnuRect r = {a->left, a->top, a->right, a->bottom};
    mnu_WindowRefresh(c, a->window, &r, 0);
}

void ScrollMoved(MnuScroll* s) {
    RefreshArea(s->context, s->area);
    double steps = ThumbSteps(s);
    int32_t top = s->trackTop;
    if (steps > 0)
        top = s->trackTop + static_cast<int32_t>((s->trackBottom - s->trackTop) / steps * (s->area->firstLine / s->step));
    MnuImageArea* t = Thumb(s);
    mnu_ScrollThumbMove(s, t ? t->left : s->trackLeft, top);
    s->currentStep = s->area->firstLine / s->step;
}

void ThumbDrag(chs_Zone* zone, int32_t) {
    MnuScroll* s = ScrollOfZone(zone);
    if (!s || !s->area || !s->context) return;
    if (s->up && s->down && s->up->state == MNU_STATE_DISABLED && s->down->state == MNU_STATE_DISABLED) return;
    MnuImageArea* t = Thumb(s);
    if (!t) return;
    s->dragging = 1;
    chs_RepeatIntervalSet(&mnu_ZoneList, 1);
    const int32_t y = mnu_ZoneList.y, h = ThumbHeight(t);
    const int32_t trackHeight = s->trackBottom - s->trackTop;
    int32_t top = y;
    if (y > t->top + 4 * h || y < t->top - 4 * h) {
        double steps = ThumbSteps(s);
        int32_t page = steps > 0 ? static_cast<int32_t>(s->pageFactor * (trackHeight / steps)) : 0;
        top = y > t->top ? t->top + page : t->top - page;
        chs_RepeatIntervalSet(&mnu_ZoneList, 8);
    }
    if (trackHeight > 0)
        s->area->firstLine =
            static_cast<int32_t>(static_cast<double>(top - s->trackTop) / trackHeight * s->area->lineCount);
    s->currentStep = s->step > 0 ? s->area->firstLine / s->step : 0;
    ClampFirstLine(s);
    RefreshArea(s->context, s->area);
    mnu_ScrollThumbMove(s, t->left, top);
}

}  // namespace

int32_t mnu_SoundEventPlay(MnuContext* c, const char* name) {
    MnuSoundEvent* e = mnu_SoundEventFind(c, name);
    if (!e) return 0;
    SndTrigEvent request = e->request;
    return sndtrig_Trigger(&request, &mnu_SoundTable);
}

// ---------------------------------------------------------------------------
// The update.

int32_t mnu_ButtonsDump(MnuContext* c) {
    if (!c) return -1;
    LeWriter w;
    w.bytes("[BUTTONS]", 9);
    for (int32_t i = 0; i < c->buttonCount; i++) {
        const MnuButton& b = c->buttons[i];
        const size_t start = w.size();
        w.fixedString(b.name, MNU_NAME);
        w.fixedString(b.window, MNU_NAME);
        w.fixedString(b.imageName, MNU_NAME);
        w.u8(static_cast<uint8_t>(b.hotKey));
        w.zeros(3);
        for (int32_t v : {b.picture, b.width, b.height, b.bytesPerFrame, b.group, b.x, b.y, b.pressCountdown})
            w.i32(v);
        w.fixedString(b.soundEvent, MNU_NAME);
        w.fixedString(b.textKey, MNU_NAME);
        w.fixedString(b.fontName, MNU_NAME);
        w.zeros(6 * 4);  // window, caption, image and the three callbacks
        for (int32_t v : {b.state, b.previousState, b.stateAfterPress, b.flags, b.pressTime, b.repeatTime,
                          b.repeating})
            w.i32(v);
        if (w.size() - start != kButtonRecordSize) return -1;
    }
    int h = plat_FileOpen("mnudump.bin", PLAT_OPEN_CREATE);
    if (h < 0) return -1;
    int32_t wrote = plat_FileWrite(h, w.buf.data(), static_cast<uint32_t>(w.size()));
    plat_FileClose(h);
    return wrote == static_cast<int32_t>(w.size()) ? 0 : -1;
}

int32_t mnu_Update(MnuContext* c) {
    if (app_KeyState.downTable[(VK_UP & 0x7f) + 128] && app_KeyState.downTable[VK_F5]) mnu_ButtonsDump(c);
    if (mnu_Transition.running && mnu_Transition.step) return mnu_Transition.step();
    mnu_ButtonsUpdate(c);
    mnu_KeysDispatch();
    mnu_ImageAreasAnimate(c, 1);
    mnu_ScrollsUpdate(c);
    mnu_EntriesUpdate(c);
    mnu_CreditsStep(c);
    mnu_CursorStep();
    chs_RepeatTick(&mnu_ZoneList);
    mnu_UpdateCount++;
    mnu_Idle();
    return 0;
}

void mnu_ButtonTrack(MnuContext* c, MnuButton* b, int32_t windowX, int32_t windowY, uint32_t key) {
    if (!b) return;
    b->repeating = 0;
    const MnuRect r = {windowX + b->x, windowY + b->y, windowX + b->x + b->width, windowY + b->y + b->height};
    const int32_t ch = static_cast<int32_t>((key >> 8) & 0xff);
    if (b->hotKey && (b->state == MNU_STATE_NORMAL || b->state == MNU_STATE_HOVER) && key && ch &&
        tolower(ch) == tolower(static_cast<unsigned char>(b->hotKey))) {
        const bool held = b->previousState == MNU_STATE_PRESSED;
        b->state = MNU_STATE_PRESSED;
        b->pressCountdown = held ? 6 : 12;
        if (!held) mnu_SoundEventPlay(c, b->soundEvent);
        return;
    }
    TrackPointer(c, b, r);
}

void mnu_ButtonsUpdate(MnuContext* c) {
    if (!c) return;
    uint32_t key = 0;
    if (!mnu_KeyCapture) {
        key = app_KeyQueuePop();
        const uint32_t vk = key & 0xff;
        if (vk == VK_RETURN || vk == VK_SPACE) g_acceptPending = 1;
        if (vk == VK_ESCAPE) g_cancelPending = 1;
    }
    for (int32_t i = 0; i < c->buttonCount && c->buttons[i].name[0]; i++) {
        MnuButton* b = &c->buttons[i];
        if (!b->windowRecord) b->windowRecord = mnu_WindowFind(c, b->window);
        MnuWindow* w = b->windowRecord;
        if (!Shown(w)) continue;
        mnu_ButtonTrack(c, b, w->x, w->y, key);
        if (b->state != b->previousState) b->flags |= MNU_BUTTON_REDRAW;
        MnuTextArea* caption = CaptionOf(c, b);
        b->previousState = b->state;
        if (caption && (b->flags & (MNU_BUTTON_REDRAW | MNU_BUTTON_HOVER))) {
            caption->flags |= MNU_AREA_REDRAW;
            caption->state = b->state;
            caption->owner = b;
        }
        switch (b->state) {
        case MNU_STATE_NORMAL: b->picture = 0; break;
        case MNU_STATE_HOVER:
            b->picture = 1;
            b->state = MNU_STATE_NORMAL;
            break;
        case MNU_STATE_PRESSED:
            b->stateAfterPress = MNU_STATE_NORMAL;
            if (b->flags & MNU_BUTTON_RADIO) mnu_ButtonGroupSetState(c, i, b->group, MNU_STATE_NORMAL, 1);
            b->picture = 2;
            if (b->pressCountdown > 0) b->pressCountdown--;
            if (b->pressCountdown == 0) {
                Call(b->action);
                if (b->flags & MNU_BUTTON_NO_REPEAT) b->waitRelease = 1;
                b->state = (b->flags & MNU_BUTTON_LATCHING) ? MNU_STATE_LATCHED : MNU_STATE_NORMAL;
            }
            break;
        case MNU_STATE_DISABLED: b->picture = 3; break;
        case MNU_STATE_LATCHED: b->picture = 2; break;
        default: break;
        }
    }
}

void mnu_AcceptKeyCallbackSet(MnuHandler routine) { g_accept = routine; }
void mnu_CancelKeyCallbackSet(MnuHandler routine) { g_cancel = routine; }

void mnu_KeysDispatch(void) {
    if (mnu_KeyCapture) return;
    if (g_cancelPending && g_cancel) g_cancel(0);
    if (g_acceptPending && g_accept) g_accept(0);
    g_acceptPending = g_cancelPending = 0;
}

// ---------------------------------------------------------------------------
// Buttons.

void mnu_ButtonSetStateRecord(MnuButton* b, int32_t state) {
    if (!b || b->state == state) return;
    b->state = b->stateAfterPress = state;
    switch (state) {
    case MNU_STATE_NORMAL: b->picture = 0; break;
    case MNU_STATE_HOVER: b->picture = 1; break;
    case MNU_STATE_PRESSED:
        b->picture = 2;
        b->pressCountdown = b->repeatTime;
        break;
    case MNU_STATE_DISABLED:
        if ((b->flags & MNU_BUTTON_HOVER) && b->hoverOut && b->hoverOut->handler) Call(b->hoverOut);
        b->picture = 3;
        break;
    case MNU_STATE_LATCHED: b->picture = 2; break;
    default: break;
    }
    b->flags |= MNU_BUTTON_REDRAW;
    b->flags &= ~MNU_BUTTON_HOVER;
    if (b->caption) {
        b->caption->state = state;
        b->caption->flags |= MNU_AREA_REDRAW;
    }
}

void mnu_ButtonSetState(MnuContext* c, const char* name, int32_t state) {
    MnuButton* b = mnu_ButtonFind(c, name);
    if (!b) return;
    CaptionOf(c, b);
    mnu_ButtonSetStateRecord(b, state);
}

int32_t mnu_ButtonGetState(MnuContext* c, const char* name) {
    MnuButton* b = mnu_ButtonFind(c, name);
    return b ? b->state : -1;
}

int32_t mnu_ButtonGroupSetState(MnuContext* c, int32_t skipIndex, int32_t group, int32_t state, int32_t skipDisabled) {
    if (!c) return 0;
    for (int32_t i = 0; i < c->buttonCount && c->buttons[i].name[0]; i++) {
        MnuButton* b = &c->buttons[i];
        if (i == skipIndex || b->group != group) continue;
        if (skipDisabled && b->state == MNU_STATE_DISABLED) continue;
        CaptionOf(c, b);
        mnu_ButtonSetStateRecord(b, state);
    }
    return c->buttonCount;
}

void mnu_ButtonSetPressTimes(MnuContext* c, const char* name, int32_t pressTicks, int32_t repeatTicks) {
    if (MnuButton* b = mnu_ButtonFind(c, name)) {
        b->pressTime = pressTicks;
        b->repeatTime = repeatTicks;
    }
}

void mnu_ButtonSetFlags(MnuContext* c, const char* name, int32_t bits) {
    if (MnuButton* b = mnu_ButtonFind(c, name)) b->flags |= bits;
}

void mnu_ButtonTextAreaSet(MnuContext* c, const char* areaName, const char* buttonName) {
    MnuButton* b = mnu_ButtonFind(c, buttonName);
    if (b) b->caption = mnu_TextAreaFind(c, areaName);
}

void mnu_ButtonImageLink(MnuContext* c, MnuButton* b) {
    if (!b) return;
    if (!b->image && b->imageName[0]) b->image = mnu_ImageFind(c, b->imageName);
    MnuImage* im = b->image;
    if (!im) return;
    if (!im->pixels && !im->displayCopy) mnu_ImageLoad(im);
    b->picture = 0;
    b->width = im->width;
    b->height = im->height / FrameCount(im);
    b->bytesPerFrame = im->bitsPerPixel / 8 * b->width * b->height;
}

// ---------------------------------------------------------------------------
// Windows.

void mnu_WindowShow(MnuContext* c, const char* name) {
    MnuWindow* w = mnu_WindowFind(c, name);
    if (!w) return;
    w->flags |= MNU_WINDOW_SHOWN;
    mnu_WindowRefreshRecord(c, w, nullptr, 0);
}

void mnu_WindowOpen(MnuContext* c, const char* name) {
    MnuWindow* w = mnu_WindowFind(c, name);
    if (!w) return;
    if (w->image && !w->image->pixels && !w->image->displayCopy && mnu_ImageLoad(w->image) == 0) {
        w->width = w->image->width;
        w->height = w->image->height;
    }
    for (int32_t i = 0; i < c->buttonCount && c->buttons[i].name[0]; i++)
        if (strcasecmp(c->buttons[i].window, w->name) == 0) mnu_ButtonImageLink(c, &c->buttons[i]);
    for (int32_t i = 0; i < c->imageAreaCount && c->imageAreas[i].name[0]; i++)
        if (strcasecmp(c->imageAreas[i].window, w->name) == 0) mnu_ImageAreaLink(c, &c->imageAreas[i]);
}

void mnu_WindowHide(MnuContext* c, const char* name) {
    MnuWindow* w = mnu_WindowFind(c, name);
    if (!w) return;
    w->flags &= ~MNU_WINDOW_SHOWN;
    mnu_ImageUnload(w->image);
    for (int32_t i = 0; i < c->buttonCount && c->buttons[i].name[0]; i++) {
        MnuButton* b = &c->buttons[i];
        if (strcasecmp(b->window, w->name) != 0) continue;
        mnu_ImageUnload(b->image);
        if (b->state == MNU_STATE_DISABLED || b->state == MNU_STATE_LATCHED) continue;
        b->state = MNU_STATE_NORMAL;
        if (MnuTextArea* caption = CaptionOf(c, b)) caption->state = MNU_STATE_NORMAL;
    }
    // Image areas showing a picture just unloaded are linked again when
    // their window opens.
    for (int32_t i = 0; i < c->imageAreaCount && c->imageAreas[i].name[0]; i++) {
        MnuImageArea* a = &c->imageAreas[i];
        if (a->image && !a->image->pixels && !a->image->displayCopy) a->frameBase = a->framePixels = nullptr;
    }
}

void mnu_WindowsCloseAll(MnuContext* c) {
    app_KeyQueueClear();
    g_acceptPending = g_cancelPending = 0;
    if (!c) return;
    for (int32_t i = 0; i < c->windowCount && c->windows[i].name[0]; i++) mnu_WindowHide(c, c->windows[i].name);
}

// ---------------------------------------------------------------------------
// Text entries.

void mnu_EntryBind(MnuContext* c, const char* name, char* buffer, int32_t size, MnuHandler callback,
                   const char* fontName) {
    MnuEntry* e = mnu_EntryFind(c, name);
    if (!e) return;
    e->buffer = buffer;
    e->bufferSize = size;
    e->callback = callback;
    e->bound = 1;
    if (!e->area) e->area = mnu_TextAreaFind(c, e->name);
    if (!e->area) return;
    if (fontName) snprintf(e->area->fontName, sizeof e->area->fontName, "%s", fontName);
    mnu_TextAreaSetText(c, e->area->name, buffer);
}

int32_t mnu_EntryBegin(MnuContext* c, const char* name) {
    MnuEntry* e = mnu_EntryFind(c, name);
    if (!e || !e->bound || !e->area) return 0;
    e->editing = 1;
    mnu_KeyCaptureSet(1);
    e->area->state = MNU_STATE_HOVER;
    e->area->flags |= MNU_AREA_CARET;
    snprintf(g_undo, sizeof g_undo, "%s", e->buffer ? e->buffer : "");
    EntryRefresh(c, e);
    return 1;
}

void mnu_EntryEnd(MnuContext* c, const char* name) {
    MnuEntry* e = mnu_EntryFind(c, name);
    if (!e) return;
    e->editing = 0;
    mnu_KeyCaptureSet(0);
    if (e->area) {
        e->area->state = MNU_STATE_NORMAL;
        e->area->flags &= ~MNU_AREA_CARET;
    }
    EntryRefresh(c, e);
    memset(g_undo, 0, sizeof g_undo);
}

void mnu_EntriesUpdate(MnuContext* c) {
    for (int32_t i = 0; MnuEntry* e = EntryAt(c, i); i++)
        if (e->bound && e->editing) EntryKeys(c, e);
    for (int32_t i = 0; MnuEntry* e = EntryAt(c, i); i++) {
        if (!e->bound || !e->button) continue;
        MnuWindow* w = mnu_WindowFind(c, e->window);
        if (!Shown(w)) continue;
        e->button->repeating = 0;
        MnuRect r = {w->x + e->left, w->y + e->top, w->x + e->right, w->y + e->bottom};
        TrackPointer(c, e->button, r);
    }
}

// ---------------------------------------------------------------------------
// Scroll areas.

void mnu_ScrollAttach(MnuContext* c, const char* name) {
    MnuScroll* s = mnu_ScrollFind(c, name);
    if (!s) return;
    s->context = c;
    s->area = mnu_TextAreaFind(c, s->name);
    if (!s->area || (s->area->flags & MNU_AREA_IMAGE)) return;
    s->area->firstLine = 0;
    s->up = mnu_ButtonFind(c, s->upButton);
    s->down = mnu_ButtonFind(c, s->downButton);
    MnuImageArea thumb = {};
    snprintf(thumb.name, sizeof thumb.name, "%s", s->name);
    snprintf(thumb.window, sizeof thumb.window, "%s", s->window);
    snprintf(thumb.imageName, sizeof thumb.imageName, "%s", s->thumbImage);
    thumb.left = thumb.right = s->trackLeft;
    thumb.top = thumb.bottom = s->trackTop;
    thumb.bitsPerPixel = 16;
    if (MnuImageArea* a = mnu_ImageAreaCreate(c, &thumb)) {
        a->flags |= MNU_IMAGE_AREA_REDRAW;
        mnu_ImageAreaLink(c, a);
        s->thumb = a;
    }
    g_scrollContext = c;
    if (s->trackZone) chs_ZoneRemove(&mnu_ZoneList, s->trackZone);
    s->trackZone = chs_ZoneAdd(&mnu_ZoneList, s->trackLeft - 15, s->trackTop, s->trackRight, s->trackBottom,
                               static_cast<int32_t>(s - c->scrolls));
    if (s->trackZone) chs_ZoneHandlerAdd(s->trackZone, 2, ThumbDrag, 0);
}

void mnu_ScrollDetach(MnuContext* c, const char* name) {
    MnuScroll* s = mnu_ScrollFind(c, name);
    if (!s || !s->trackZone) return;
    chs_ZoneRemove(&mnu_ZoneList, s->trackZone);
    s->trackZone = nullptr;
}

void mnu_ScrollSetText(MnuContext* c, const char* name, const char* text) {
    MnuScroll* s = mnu_ScrollFind(c, name);
    if (!s) return;
    if (!s->area) s->area = mnu_TextAreaFind(c, s->name);
    if (s->area) mnu_TextAreaSetText(c, s->area->name, text);
}

void mnu_ScrollUp(MnuScroll* s) {
    if (!s || !s->area || s->step <= 0) return;
    s->area->firstLine -= s->step;
    ClampFirstLine(s);
    ScrollMoved(s);
}

void mnu_ScrollDown(MnuScroll* s) {
    if (!s || !s->area || s->step <= 0) return;
    s->area->firstLine += s->step;
    ClampFirstLine(s);
    ScrollMoved(s);
}

void mnu_ScrollThumbMove(MnuScroll* s, int32_t left, int32_t top) {
    if (!s) return;
    MnuImageArea* t = Thumb(s);
    if (!t) return;
    const int32_t h = ThumbHeight(t);
    if (top > s->trackBottom - h) top = s->trackBottom - h;
    if (top < s->trackTop) top = s->trackTop;
    t->left = left;
    t->right = left + t->image->width;
    t->top = top;
    t->bottom = top + h;
    t->flags |= MNU_IMAGE_AREA_REDRAW;
    MnuRect r = {s->trackLeft, s->trackTop, s->trackRight, s->trackBottom};
    mnu_WindowRefresh(s->context, s->window, &r, 0);
}

void mnu_ScrollsUpdate(MnuContext* c) {
    chs_RepeatTick(&mnu_ZoneList);
    if (!c) return;
    for (int32_t i = 0; i < c->scrollCount && c->scrolls[i].name[0]; i++) {
        MnuScroll* s = &c->scrolls[i];
        if (!s->area || !Shown(mnu_WindowFind(c, s->window))) continue;
        const int32_t first = s->area->firstLine, lines = s->area->lineCount;
        if (s->up) {
            if (first != 0 && s->up->state == MNU_STATE_DISABLED) mnu_ButtonSetStateRecord(s->up, MNU_STATE_NORMAL);
            if (first == 0 && s->up->state != MNU_STATE_DISABLED) mnu_ButtonSetStateRecord(s->up, MNU_STATE_DISABLED);
        }
        if (s->down) {
            if (lines - s->step == first + 1 || s->step + 1 >= lines)
                mnu_ButtonSetStateRecord(s->down, MNU_STATE_DISABLED);
            else if (s->down->state == MNU_STATE_DISABLED)
                mnu_ButtonSetStateRecord(s->down, MNU_STATE_NORMAL);
        }
        s->dragging = 0;
    }
}

// ---------------------------------------------------------------------------
// Image areas.

void mnu_ImageAreaLink(MnuContext* c, MnuImageArea* a) {
    if (!a) return;
    MnuImage* im = mnu_ImageFind(c, a->imageName);
    a->image = im;
    if (!im) return;
    if (!im->pixels && !im->displayCopy && mnu_ImageLoad(im) != 0) return;
    const uint8_t* picture = mnu_ImagePicture(im);
    const int32_t frames = FrameCount(im);
    const int32_t bytes = im->displayCopy && otw_ScreenSurface.bytesPerPixel == 4 ? 4 : 2;
    a->bitsPerPixel = bytes * 8;
    if (a->lastFrame == -1) a->lastFrame = frames - 1;
    a->bytesPerFrame = bytes * im->height * im->width / frames;
    a->right = a->left + im->width;
    a->bottom = a->top + im->height / frames;
    a->frameBase = reinterpret_cast<uint16_t*>(const_cast<uint8_t*>(picture));
    int32_t first = a->firstFrame < 0 ? 0 : a->firstFrame >= frames ? frames - 1 : a->firstFrame;
    a->framePixels = reinterpret_cast<uint16_t*>(const_cast<uint8_t*>(picture) +
                                                 static_cast<int64_t>(first) * a->bytesPerFrame);
    a->flags |= MNU_IMAGE_AREA_REDRAW;
}

namespace {
void ShowFrame(MnuImageArea* a, int32_t frame) {
    if (!a->frameBase || !a->image) return;
    const int32_t frames = FrameCount(a->image);
    if (frame < 0) frame = 0;
    if (frame >= frames) frame = frames - 1;
    a->framePixels = reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(a->frameBase) +
                                                 static_cast<int64_t>(frame) * a->bytesPerFrame);
    a->flags |= MNU_IMAGE_AREA_REDRAW;
}
}  // namespace

void mnu_ImageAreasAnimate(MnuContext* c, int32_t shownOnly) {
    if (!c) return;
    for (int32_t i = 0; i < c->imageAreaCount && c->imageAreas[i].name[0]; i++) {
        MnuImageArea* a = &c->imageAreas[i];
        if (a->firstFrame == a->lastFrame) continue;
        if (shownOnly && !Shown(mnu_WindowFind(c, a->window))) continue;
        if (a->tick < a->frameDelay) {
            a->tick++;
            continue;
        }
        a->tick = 0;
        a->frame++;
        if (a->frame > a->lastFrame) a->frame = a->firstFrame;
        ShowFrame(a, a->frame);
    }
}

void mnu_ImageAreaSetFrame(MnuContext* c, const char* name, int32_t frame) {
    MnuImageArea* a = mnu_ImageAreaFind(c, name);
    if (!a) return;
    mnu_ImageAreaLink(c, a);
    if (!a->image) return;
    ShowFrame(a, frame);
}

void mnu_ImageAreaSetFrames(MnuContext* c, const char* name, int32_t first, int32_t last) {
    MnuImageArea* a = mnu_ImageAreaFind(c, name);
    if (!a || !a->image) return;
    const int32_t frames = a->image->frameCount;
    if (first >= frames) first = 0;
    if (last >= frames) last = 0;
    if (last == -1) first = frames > 0 ? frames - 1 : 0;
    a->firstFrame = first;
    a->lastFrame = last;
    a->frame = first;
    ShowFrame(a, first);
}
