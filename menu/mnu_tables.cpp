// The menu context's tables: name order, lookups, adders, growth, release,
// and the reset and shutdown of the engine.
//
// The tables themselves live outside the game heaps: the shutdown releases
// the heap mark (with everything loaded above it) before it frees the
// tables, so a table must never be one of those blocks.
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/filetable.h"
#include "base/mem.h"
#include "display/draw_fill.h"
#include "display/otw.h"
#include "display/pal.h"
#include "display/pcx.h"
#include "menu/menu.h"
#include "menu/mnu.h"
#include "world/level.h"

MnuContext* mnu_Context = nullptr;
SndTrigFile mnu_SoundTable = {};
chs_ZoneList mnu_ZoneList = {};
int32_t mnu_KeyCapture = 0;

namespace {

MnuIdleRoutine g_idle = nullptr;

// Every record starts with its 64-byte name.
const char* NameOf(const void* table, size_t size, int32_t i) {
    return static_cast<const char*>(table) + size * static_cast<size_t>(i);
}

int CompareRecords(const void* a, const void* b) {
    return mnu_NameCompare(static_cast<const char*>(a), static_cast<const char*>(b));
}

void Sort(void* table, size_t size, int32_t capacity) {
    if (table && capacity > 1) qsort(table, static_cast<size_t>(capacity), size, CompareRecords);
}

// Binary search over the whole capacity. The empty name would find a free
// slot: nobody looks that up.
void* Search(void* table, size_t size, int32_t capacity, const char* name) {
    if (!table || !name || !name[0]) return nullptr;
    int32_t lo = 0, hi = capacity - 1;
    while (lo <= hi) {
        int32_t mid = lo + (hi - lo) / 2;
        const char* n = NameOf(table, size, mid);
        int32_t c = mnu_NameCompare(name, n);
        if (c == 0) return const_cast<char*>(n);
        if (c < 0)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    return nullptr;
}

void* Linear(void* table, size_t size, int32_t capacity, const char* name) {
    if (!table || !name || !name[0]) return nullptr;
    for (int32_t i = 0; i < capacity; i++) {
        const char* n = NameOf(table, size, i);
        if (strcasecmp(n, name) == 0) return const_cast<char*>(n);
    }
    return nullptr;
}

// Grows the array by `step` zero-filled records; false when memory is short.
bool ArrayGrow(void** table, size_t size, int32_t* capacity, int32_t step) {
    size_t count = static_cast<size_t>(*capacity) + static_cast<size_t>(step);
    void* grown = realloc(*table, count * size);
    if (!grown) return false;
    memset(static_cast<char*>(grown) + static_cast<size_t>(*capacity) * size, 0, static_cast<size_t>(step) * size);
    *table = grown;
    *capacity = static_cast<int32_t>(count);
    return true;
}

// The first free slot (empty name), growing the table when there is none.
void* FreeSlot(void** table, size_t size, int32_t* capacity, int32_t step) {
    for (int32_t i = 0; i < *capacity; i++) {
        char* n = const_cast<char*>(NameOf(*table, size, i));
        if (!n[0]) return n;
    }
    int32_t old = *capacity;
    if (!ArrayGrow(table, size, capacity, step)) return nullptr;
    return const_cast<char*>(NameOf(*table, size, old));
}

enum Repeat { KEEP, OVERWRITE };

// Adder of the binary-searched tables: a name already found is kept or
// overwritten; a new one takes the first free slot.
void* AddSearched(void** table, size_t size, int32_t* capacity, int32_t step, const void* record, Repeat repeat) {
    if (!record) return nullptr;
    const char* name = static_cast<const char*>(record);
    if (void* found = name[0] ? Search(*table, size, *capacity, name) : nullptr) {
        if (repeat == OVERWRITE) memcpy(found, record, size);
        return found;
    }
    void* slot = FreeSlot(table, size, capacity, step);
    if (slot) memcpy(slot, record, size);
    return slot;
}

// Adder of the linearly searched tables: a repeated name replaces the record.
void* AddLinear(void** table, size_t size, int32_t* capacity, int32_t step, const void* record) {
    if (!record) return nullptr;
    void* slot = Linear(*table, size, *capacity, static_cast<const char*>(record));
    if (!slot) slot = FreeSlot(table, size, capacity, step);
    if (slot) memcpy(slot, record, size);
    return slot;
}

template <typename T>
void** Slot(T** table) {
    return reinterpret_cast<void**>(table);
}

template <typename T>
void FreeTable(T** table, int32_t* capacity) {
    free(*table);
    *table = nullptr;
    *capacity = 0;
}

}  // namespace

int32_t mnu_NameCompare(const char* a, const char* b) {
    int r = strcasecmp(a ? a : "", b ? b : "");
    return r < 0 ? 1 : (r > 0 ? -1 : 0);
}

#define MNU_TABLE_FIND(Fn, T, field, cap, how)                                                   \
    T* Fn(MnuContext* c, const char* name) {                                                     \
        if (!c) return nullptr;                                                                  \
        return static_cast<T*>(how(c->field, sizeof(T), c->cap, name));                          \
    }
MNU_TABLE_FIND(mnu_WindowFind, MnuWindow, windows, windowCount, Search)
MNU_TABLE_FIND(mnu_ImageFind, MnuImage, images, imageCount, Search)
MNU_TABLE_FIND(mnu_ImageAreaFind, MnuImageArea, imageAreas, imageAreaCount, Search)
MNU_TABLE_FIND(mnu_ButtonFind, MnuButton, buttons, buttonCount, Search)
MNU_TABLE_FIND(mnu_FontFind, MnuFont, fonts, fontCount, Search)
MNU_TABLE_FIND(mnu_RgbFind, MnuRgb, rgbs, rgbCount, Search)
MNU_TABLE_FIND(mnu_TextAreaFind, MnuTextArea, textAreas, textAreaCount, Search)
MNU_TABLE_FIND(mnu_StringFind, MnuString, strings, stringCount, Search)
MNU_TABLE_FIND(mnu_CursorFind, MnuCursor, cursors, cursorCount, Search)
MNU_TABLE_FIND(mnu_SoundEventFind, MnuSoundEvent, soundEvents, soundEventCount, Search)
MNU_TABLE_FIND(mnu_ScrollFind, MnuScroll, scrolls, scrollCount, Search)
MNU_TABLE_FIND(mnu_EntryFind, MnuEntry, entries, entryCount, Search)
#undef MNU_TABLE_FIND

#define MNU_TABLE_SORT(Fn, T, field, cap) \
    void Fn(MnuContext* c) {              \
        if (c) Sort(c->field, sizeof(T), c->cap); \
    }
MNU_TABLE_SORT(mnu_WindowsSort, MnuWindow, windows, windowCount)
MNU_TABLE_SORT(mnu_ImagesSort, MnuImage, images, imageCount)
MNU_TABLE_SORT(mnu_ImageAreasSort, MnuImageArea, imageAreas, imageAreaCount)
MNU_TABLE_SORT(mnu_ButtonsSort, MnuButton, buttons, buttonCount)
MNU_TABLE_SORT(mnu_FontsSort, MnuFont, fonts, fontCount)
MNU_TABLE_SORT(mnu_RgbsSort, MnuRgb, rgbs, rgbCount)
MNU_TABLE_SORT(mnu_TextAreasSort, MnuTextArea, textAreas, textAreaCount)
MNU_TABLE_SORT(mnu_StringsSort, MnuString, strings, stringCount)
MNU_TABLE_SORT(mnu_CursorsSort, MnuCursor, cursors, cursorCount)
MNU_TABLE_SORT(mnu_SoundEventsSort, MnuSoundEvent, soundEvents, soundEventCount)
MNU_TABLE_SORT(mnu_ScrollsSort, MnuScroll, scrolls, scrollCount)
MNU_TABLE_SORT(mnu_EntriesSort, MnuEntry, entries, entryCount)
#undef MNU_TABLE_SORT

#define MNU_TABLE_FREE(Fn, field, cap) \
    void Fn(MnuContext* c) {           \
        if (c) FreeTable(&c->field, &c->cap); \
    }
MNU_TABLE_FREE(mnu_WindowsFree, windows, windowCount)
MNU_TABLE_FREE(mnu_ImagesFree, images, imageCount)
MNU_TABLE_FREE(mnu_ImageAreasFree, imageAreas, imageAreaCount)
MNU_TABLE_FREE(mnu_ButtonsFree, buttons, buttonCount)
MNU_TABLE_FREE(mnu_RgbsFree, rgbs, rgbCount)
MNU_TABLE_FREE(mnu_TextAreasFree, textAreas, textAreaCount)
MNU_TABLE_FREE(mnu_StringsFree, strings, stringCount)
MNU_TABLE_FREE(mnu_CursorsFree, cursors, cursorCount)
MNU_TABLE_FREE(mnu_SoundEventsFree, soundEvents, soundEventCount)
MNU_TABLE_FREE(mnu_ScrollsFree, scrolls, scrollCount)
MNU_TABLE_FREE(mnu_EntriesFree, entries, entryCount)
#undef MNU_TABLE_FREE

void mnu_FontsClear(MnuContext* c) {
    if (c && c->fonts) memset(c->fonts, 0, sizeof(MnuFont) * static_cast<size_t>(c->fontCount));
}

MnuFont* mnu_FontFindByFile(MnuContext* c, const char* file) {
    if (!c || !c->fonts || !file || !file[0]) return nullptr;
    for (int32_t i = 0; i < c->fontCount; i++)
        if (c->fonts[i].name[0] && strcasecmp(c->fonts[i].file, file) == 0) return &c->fonts[i];
    return nullptr;
}

const MnuCallback* mnu_CallbackFind(MnuContext* c, const char* name) {
    if (!c || !c->callbacks || !name) return nullptr;
    for (const MnuCallback* cb = c->callbacks; cb->name[0]; cb++)
        if (strcasecmp(cb->name, name) == 0) return cb;
    return nullptr;
}

MnuWindow* mnu_WindowAdd(MnuContext* c, const MnuWindow* record) {
    if (!c) return nullptr;
    return static_cast<MnuWindow*>(AddSearched(Slot(&c->windows), sizeof(MnuWindow), &c->windowCount, 4, record, KEEP));
}

int32_t mnu_ImageLoad(MnuImage* image) {
    if (!image) return -1;
    if (image->pixels) return 0;
    if (!image->file[0] || strcasecmp(image->file, "NULL") == 0 || strcasecmp(image->name, "NULL") == 0) return -1;
    mnu_Idle();
    // Pictures come in as 5-5-5; the conversion to the display's format
    // blits them from that depth.
    pal_SetRgbMasks(0x7C00, 0x3E0, 0x1F);
    auto* pixels = static_cast<uint16_t*>(pcx_LoadImageEx(image->file, 16));
    if (!pixels) return -1;
    image->pixels = pixels;
    image->width = pal_Second.width;
    image->height = pal_Second.height;
    image->bitsPerPixel = 16;
    image->byteSize = image->width * image->height * 2;
    mnu_Idle();
    mnu_ImageConvert(image);
    return 0;
}

MnuImage* mnu_ImageAdd(MnuContext* c, const MnuImage* record) {
    if (!c) return nullptr;
    auto* im = static_cast<MnuImage*>(AddSearched(Slot(&c->images), sizeof(MnuImage), &c->imageCount, 4, record, KEEP));
    if (im && im->loadNow) mnu_ImageLoad(im);
    return im;
}

MnuImageArea* mnu_ImageAreaAdd(MnuContext* c, const MnuImageArea* record) {
    if (!c) return nullptr;
    return static_cast<MnuImageArea*>(
        AddSearched(Slot(&c->imageAreas), sizeof(MnuImageArea), &c->imageAreaCount, 2, record, OVERWRITE));
}

MnuImageArea* mnu_ImageAreaCreate(MnuContext* c, const MnuImageArea* record) {
    if (!mnu_ImageAreaAdd(c, record)) return nullptr;
    mnu_ImageAreasSort(c);
    return mnu_ImageAreaFind(c, record->name);
}

MnuButton* mnu_ButtonAdd(MnuContext* c, const MnuButton* record) {
    if (!c || !record) return nullptr;
    MnuButton b = *record;
    b.pressTime = 12;
    b.repeatTime = 6;
    b.windowRecord = nullptr;
    b.caption = nullptr;
    b.flags |= MNU_BUTTON_REDRAW;
    return static_cast<MnuButton*>(AddSearched(Slot(&c->buttons), sizeof(MnuButton), &c->buttonCount, 4, &b, KEEP));
}

MnuFont* mnu_FontAdd(MnuContext* c, const MnuFont* record) {
    if (!c) return nullptr;
    return static_cast<MnuFont*>(AddSearched(Slot(&c->fonts), sizeof(MnuFont), &c->fontCount, 4, record, KEEP));
}

MnuRgb* mnu_RgbAdd(MnuContext* c, const MnuRgb* record) {
    if (!c) return nullptr;
    return static_cast<MnuRgb*>(AddLinear(Slot(&c->rgbs), sizeof(MnuRgb), &c->rgbCount, 2, record));
}

MnuTextArea* mnu_TextAreaAdd(MnuContext* c, const MnuTextArea* record) {
    if (!c || !record) return nullptr;
    MnuTextArea a = *record;
    a.flags |= MNU_AREA_ADDED;
    if (MnuString* s = a.stringKey[0] ? mnu_StringFind(c, a.stringKey) : nullptr) {
        a.text = s->text;
        if (s->kind & MNU_STRING_IMAGE) a.flags |= MNU_AREA_IMAGE;
    }
    return static_cast<MnuTextArea*>(
        AddSearched(Slot(&c->textAreas), sizeof(MnuTextArea), &c->textAreaCount, 8, &a, KEEP));
}

MnuString* mnu_StringAdd(MnuContext* c, const MnuString* record) {
    if (!c) return nullptr;
    auto* s = static_cast<MnuString*>(
        AddSearched(Slot(&c->strings), sizeof(MnuString), &c->stringCount, 8, record, OVERWRITE));
    if (s) mnu_StringResolve(c, s);
    return s;
}

MnuCursor* mnu_CursorAdd(MnuContext* c, const MnuCursor* record) {
    if (!c) return nullptr;
    return static_cast<MnuCursor*>(AddLinear(Slot(&c->cursors), sizeof(MnuCursor), &c->cursorCount, 2, record));
}

MnuSoundEvent* mnu_SoundEventAdd(MnuContext* c, const MnuSoundEvent* record) {
    if (!c) return nullptr;
    return static_cast<MnuSoundEvent*>(
        AddLinear(Slot(&c->soundEvents), sizeof(MnuSoundEvent), &c->soundEventCount, 2, record));
}

MnuScroll* mnu_ScrollAdd(MnuContext* c, const MnuScroll* record) {
    if (!c) return nullptr;
    return static_cast<MnuScroll*>(AddLinear(Slot(&c->scrolls), sizeof(MnuScroll), &c->scrollCount, 2, record));
}

MnuEntry* mnu_EntryAdd(MnuContext* c, const MnuEntry* record) {
    if (!c) return nullptr;
    return static_cast<MnuEntry*>(AddSearched(Slot(&c->entries), sizeof(MnuEntry), &c->entryCount, 8, record, KEEP));
}

int32_t mnu_StringsFromResource(MnuContext* c, const char* file) {
    if (!c || !file) return -1;
    if (c->stringResource) mem_Free(c->stringResource);
    c->stringResource = file_TableLoad(file);
    if (!c->stringResource) return -1;
    uint32_t n = file_TableCount(c->stringResource);
    for (uint32_t i = 0; i < n; i++) {
        const char* name = file_TableNameGet(c->stringResource, i);
        if (!name || !name[0]) continue;
        MnuString s = {};
        snprintf(s.key, sizeof s.key, "%s", name);
        snprintf(s.inlineText, sizeof s.inlineText, "%u", i);
        s.kind = MNU_STRING_RESOURCE;
        mnu_StringAdd(c, &s);
    }
    return 0;
}

void mnu_IdleCallbackSet(MnuIdleRoutine routine) { g_idle = routine; }

void mnu_Idle(void) {
    if (g_idle) g_idle();
}

void mnu_KeyCaptureSet(int32_t flag) { mnu_KeyCapture = flag; }

chs_Zone* mnu_ZoneAddRect(int32_t x, int32_t y, int32_t width, int32_t height, int32_t marginX, int32_t marginY,
                          chs_Handler routine, int32_t argument, int32_t user) {
    chs_Zone* z = chs_ZoneAdd(&mnu_ZoneList, x - marginX, y - marginY, x + width + marginX, y + height + marginY, user);
    if (z) chs_ZoneHandlerAdd(z, 4, routine, argument);
    return z;
}

void mnu_Shutdown(MnuContext* c) {
    chs_HookRemove();
    chs_ListInit(&mnu_ZoneList);
    sndtrig_Free(&mnu_SoundTable);
    mnu_CursorRelease();
    if (!c) return;
    if (c->heapMark) {
        mem_FreeFrom(c->heapMark);
        c->heapMark = nullptr;
        // Loaded above the mark: gone with it.
        c->stringResource = nullptr;
        mnu_TextLineBuffer = nullptr;
    }
    mnu_WindowsFree(c);
    mnu_ImagesFree(c);
    mnu_ImageAreasFree(c);
    mnu_ButtonsFree(c);
    mnu_FontsClear(c);
    mnu_RgbsFree(c);
    mnu_TextAreasFree(c);
    mnu_StringsFree(c);
    mnu_CursorsFree(c);
    mnu_SoundEventsFree(c);
    mnu_ScrollsFree(c);
    mnu_EntriesFree(c);
}

void mnu_Reset(MnuContext* c) {
    mnu_Shutdown(c);
    if (!c) return;
    c->heapMark = mem_AllocEx(0, 4, "Menu Sentinel");
    level_PaletteApply();
    otw_ResetViewportFull();
    chs_ListInit(&mnu_ZoneList);
    chs_HookInstall();
    chs_RepeatIntervalSet(&mnu_ZoneList, 1);
    mnu_ZoneAddRect(0, 0, 640, 480, 0, 0, nullptr, 0, 0);
}
