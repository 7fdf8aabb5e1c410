// The menu script "KRX.MNU": every resource and widget of the front end,
// read section by section into the menu context.
#include <strings.h>

#include <climits>
#include <cstdio>
#include <cstring>

#include "base/filetable.h"
#include "base/ini.h"
#include "base/mem.h"
#include "display/draw_fill.h"
#include "display/dsurf.h"
#include "display/pal.h"
#include "menu/mnu.h"
#include "shell/loadwin.h"

char* mnu_TextLineBuffer = nullptr;

namespace {

constexpr int32_t kValue = 256;
constexpr int32_t kMaxFields = 20;

struct Fields {
    char text[kValue];
    char* field[kMaxFields];
    int32_t count;
};

// Splits a value at any run of the separator characters.
void Split(const char* value, const char* separators, Fields* f) {
    snprintf(f->text, sizeof f->text, "%s", value);
    f->count = 0;
    char* p = f->text;
    while (*p && f->count < kMaxFields) {
        while (*p && strchr(separators, *p)) p++;
        if (!*p) break;
        f->field[f->count++] = p;
        while (*p && !strchr(separators, *p)) p++;
        if (*p) *p++ = 0;
    }
}

// Signed decimal; text that is not a number reads as 0.
int32_t Number(const char* s) {
    if (!s) return 0;
    bool negative = false;
    if (*s == '-' || *s == '+') negative = *s++ == '-';
    int64_t v = 0;
    while (*s >= '0' && *s <= '9') {
        v = v * 10 + (*s++ - '0');
        if (v > INT32_MAX) v = INT32_MAX + int64_t{1};
    }
    v = negative ? -v : v;
    if (v > INT32_MAX) v = INT32_MAX;
    return static_cast<int32_t>(v);
}

// Bounded copies: names keep 63 characters, file names 15.
void Name(char* dst, const char* src) { snprintf(dst, MNU_NAME, "%s", src ? src : ""); }
void FileName(char* dst, const char* src) { snprintf(dst, MNU_FILE, "%s", src ? src : ""); }

bool IsNull(const char* s) { return !s || strcasecmp(s, "NULL") == 0; }

// Each key line is read into a 256-byte value; a line missing a required
// field is passed over with one message.
bool Next(const char* key, const char* separators, int32_t required, Fields* f) {
    char value[kValue];
    while (ini_KeyGet(key, value, sizeof value, nullptr)) {
        Split(value, separators, f);
        if (f->count >= required) return true;
        fprintf(stderr, "krx: menu script line %s=%s lacks fields (%d of %d), passed over\n", key, value, f->count,
                required);
    }
    return false;
}

int32_t FrameHeight(const MnuImage* im) {
    int32_t frames = im->frameCount > 0 ? im->frameCount : 1;
    return im->height / frames;
}

void ReadStrings(MnuContext* c) {
    if (!ini_SectionFind("STRINGS")) return;
    char value[kValue];
    // The resource line comes first; the lines the search read past are lost.
    if (!ini_KeyGet("RESOURCE", value, sizeof value, nullptr)) return;
    Fields f;
    Split(value, ", ", &f);
    if (f.count > 0) {
        char file[MNU_FILE];
        FileName(file, f.field[0]);
        mnu_StringsFromResource(c, file);
    }
    while (Next("STRING", ",", 2, &f)) {
        MnuString s = {};
        Name(s.key, f.field[0]);
        Name(s.inlineText, f.field[1]);
        s.kind = MNU_STRING_INLINE;
        mnu_StringAdd(c, &s);
    }
    mnu_StringsSort(c);
    for (int32_t i = 0; i < c->stringCount && c->strings[i].key[0]; i++) mnu_StringResolve(c, &c->strings[i]);
}

void ReadImages(MnuContext* c) {
    if (!ini_SectionFind("IMAGES")) return;
    Fields f;
    while (Next("IMAGE", ", ", 7, &f)) {
        MnuImage im = {};
        Name(im.name, f.field[0]);
        FileName(im.file, f.field[1]);
        im.flags = Number(f.field[2]);
        im.frameCount = Number(f.field[3]);
        if (im.frameCount <= 0) im.frameCount = 1;
        im.offsetX = Number(f.field[4]);
        im.offsetY = Number(f.field[5]);
        im.loadNow = Number(f.field[6]);
        im.bitsPerPixel = 16;
        mnu_ImageAdd(c, &im);
    }
    mnu_ImagesSort(c);
}

void ReadSounds(MnuContext* c) {
    Fields f;
    if (ini_SectionFind("SOUNDS")) {
        char value[kValue];
        if (ini_KeyGet("PWF", value, sizeof value, nullptr)) {
            Split(value, ", ", &f);
            if (f.count > 0 && sndtrig_Load(f.field[0], &mnu_SoundTable) == 1) {
                while (Next("SOUND", ", ", 1, &f)) sndtrig_MarkSound(f.field[0], &mnu_SoundTable);
                sndtrig_LoadMarked(&mnu_SoundTable);
            }
        }
    }
    if (ini_SectionFind("SOUNDEVENTS")) {
        while (Next("SOUNDEVENT", ", ", 12, &f)) {
            MnuSoundEvent e = {};
            Name(e.name, f.field[0]);
            e.request.pitch = Number(f.field[1]);
            e.request.pan = Number(f.field[2]);
            e.request.volume = Number(f.field[3]);
            e.request.voice = Number(f.field[4]);
            e.request.flags = Number(f.field[5]);
            e.request.distance = Number(f.field[6]);
            // Field 7 stands for the completion routine: never taken from text.
            e.request.completion = nullptr;
            e.request.completionArgument = 0;
            e.request.type = static_cast<uint16_t>(Number(f.field[8]));
            e.request.subtype = static_cast<uint16_t>(Number(f.field[9]));
            e.request.id = static_cast<uint16_t>(Number(f.field[10]));
            e.fourth = static_cast<uint16_t>(Number(f.field[11]));
            mnu_SoundEventAdd(c, &e);
        }
    }
    mnu_SoundEventsSort(c);
}

void ReadRgbs(MnuContext* c) {
    if (!ini_SectionFind("RGBS")) return;
    Fields f;
    while (Next("RGB", ", ", 4, &f)) {
        MnuRgb r = {};
        Name(r.name, f.field[0]);
        r.red = Number(f.field[1]);
        r.green = Number(f.field[2]);
        r.blue = Number(f.field[3]);
        mnu_RgbAdd(c, &r);
    }
    mnu_RgbsSort(c);
}

void ReadFonts(MnuContext* c) {
    if (!ini_SectionFind("FONTS")) return;
    Fields f;
    while (Next("FONT", ", ", 8, &f)) {
        MnuFont font = {};
        Name(font.name, f.field[0]);
        FileName(font.file, f.field[1]);
        for (int32_t i = 0; i < 6; i++)
            if (MnuRgb* r = mnu_RgbFind(c, f.field[2 + i])) font.colours[i] = *r;
        if (MnuFont* shared = mnu_FontFindByFile(c, font.file)) {
            font.block = shared->block;
        } else {
            auto* bf = static_cast<BitmapFont*>(mem_AllocEx(sizeof(BitmapFont), 8, "mnu Font"));
            if (bf) {
                *bf = BitmapFont{};
                if (font_Load(font.file, bf, FONT_LOAD_SCAN) == 0) {
                    pal_GreyRemap(bf->image, pal_Second.palette, bf->width * bf->height);
                    font.block.font = bf;
                    font.block.lineHeight = font_State.textHeight;
                } else {
                    mem_Free(bf);
                }
            }
        }
        mnu_FontAdd(c, &font);
    }
    mnu_FontsSort(c);
}

void ReadCursors(MnuContext* c) {
    if (!ini_SectionFind("CURSORS")) return;
    Fields f;
    while (Next("CURSOR", ", ", 5, &f)) {
        MnuCursor cur = {};
        Name(cur.name, f.field[0]);
        Name(cur.imageName, f.field[1]);
        cur.frameDelay = Number(f.field[2]);
        cur.hotX = Number(f.field[3]);
        cur.hotY = Number(f.field[4]);
        mnu_CursorAdd(c, &cur);
    }
    mnu_CursorsSort(c);
}

// The image's picture, loaded on this first use; null for "NULL" or a file
// that does not load.
MnuImage* LoadedImage(MnuContext* c, const char* name) {
    if (IsNull(name)) return nullptr;
    MnuImage* im = mnu_ImageFind(c, name);
    if (!im || mnu_ImageLoad(im) != 0) return nullptr;
    return im;
}

void ReadWindows(MnuContext* c) {
    if (!ini_SectionFind("WINDOWS")) return;
    Fields f;
    while (Next("WND", ", ", 6, &f)) {
        MnuWindow w = {};
        Name(w.name, f.field[0]);
        w.layer = Number(f.field[1]);
        w.x = Number(f.field[2]);
        w.y = Number(f.field[3]);
        w.width = 640;
        w.height = 480;
        if ((w.image = LoadedImage(c, f.field[4])) != nullptr) {
            w.width = w.image->width;
            w.height = w.image->height;
        }
        if (MnuFont* font = mnu_FontFind(c, f.field[5])) w.font = &font->block;
        mnu_WindowAdd(c, &w);
    }
    mnu_WindowsSort(c);
}

void ReadButtons(MnuContext* c) {
    if (!ini_SectionFind("BUTTONS")) return;
    Fields f;
    while (Next("BUTTON", ", ", 12, &f)) {
        MnuButton b = {};
        Name(b.window, f.field[0]);
        Name(b.imageName, f.field[1]);
        Name(b.name, f.field[2]);
        b.group = Number(f.field[3]);
        b.x = Number(f.field[4]);
        b.y = Number(f.field[5]);
        Name(b.textKey, f.field[6]);
        Name(b.fontName, f.field[7]);
        b.flags = Number(f.field[8]);
        b.action = mnu_CallbackFind(c, f.field[9]);
        b.hoverIn = mnu_CallbackFind(c, f.field[10]);
        b.hoverOut = mnu_CallbackFind(c, f.field[11]);
        if (f.count > 12) Name(b.soundEvent, f.field[12]);
        b.state = MNU_STATE_NORMAL;
        if ((b.image = LoadedImage(c, b.imageName)) != nullptr) {
            b.width = b.image->width;
            b.height = FrameHeight(b.image);
            b.bytesPerFrame = b.width * b.height * 2;
        }
        bool caption = !IsNull(f.field[6]) && !IsNull(f.field[7]);
        if (caption) {
            MnuString* s = mnu_StringFind(c, b.textKey);
            MnuFont* font = mnu_FontFind(c, b.fontName);
            int32_t textWidth = 0, lineHeight = 0;
            if (font && font->block.font) {
                lineHeight = font->block.lineHeight;
                if (s && s->text) textWidth = font_StringWidth(s->text, font->block.font);
            }
            if (!b.image) {
                b.width = textWidth + 16;
                b.height = lineHeight;
            }
            int32_t left = 0, top = 0;
            if (b.flags & (MNU_BUTTON_CAPTION_AT | MNU_BUTTON_CAPTION_LEFT | MNU_BUTTON_CAPTION_RIGHT)) {
                left = b.x, top = b.y;
            } else if (b.flags & MNU_BUTTON_CAPTION_ENDS) {
                left = b.x - b.width, top = b.y;
            } else if (b.flags & MNU_BUTTON_CAPTION_CENTRED) {
                left = b.x - b.width / 2, top = b.y - b.height / 2;
            }
            b.x = left;
            b.y = top;
            MnuTextArea a = {};
            Name(a.name, b.name);
            Name(a.window, b.window);
            Name(a.fontName, b.fontName);
            Name(a.stringKey, b.textKey);
            a.flags = b.flags;
            a.left = left, a.top = top, a.right = left + b.width, a.bottom = top + b.height;
            a.state = MNU_STATE_NORMAL;
            if (s) a.hotKey = b.hotKey = s->hotKey;
            mnu_TextAreaAdd(c, &a);
        }
        mnu_ButtonAdd(c, &b);
    }
    mnu_ButtonsSort(c);
}

void ReadEntries(MnuContext* c) {
    if (!ini_SectionFind("TEXT_ENTRY_AREAS")) return;
    Fields f;
    while (Next("TEXTENTRY", ", ", 6, &f)) {
        MnuEntry e = {};
        Name(e.window, f.field[0]);
        Name(e.name, f.field[1]);
        e.left = Number(f.field[2]);
        e.top = Number(f.field[3]);
        e.right = Number(f.field[4]);
        e.bottom = Number(f.field[5]);
        if (f.count > 6) e.button = mnu_ButtonFind(c, f.field[6]);
        MnuTextArea a = {};
        Name(a.name, e.name);
        Name(a.window, e.window);
        a.left = e.left, a.top = e.top, a.right = e.right, a.bottom = e.bottom;
        a.state = MNU_STATE_NORMAL;
        mnu_TextAreaAdd(c, &a);
        mnu_EntryAdd(c, &e);
    }
    mnu_EntriesSort(c);
}

void ReadScrolls(MnuContext* c) {
    if (!ini_SectionFind("SCROLL_AREAS")) return;
    Fields f;
    while (Next("SCROLL", ", ", 15, &f)) {
        MnuScroll s = {};
        Name(s.window, f.field[0]);
        Name(s.name, f.field[1]);
        Name(s.upButton, f.field[2]);
        Name(s.downButton, f.field[3]);
        Name(s.fontName, f.field[4]);
        Name(s.thumbImage, f.field[5]);
        s.textLeft = Number(f.field[6]);
        s.textTop = Number(f.field[7]);
        s.textRight = Number(f.field[8]);
        s.textBottom = Number(f.field[9]);
        s.trackLeft = Number(f.field[10]);
        s.trackTop = Number(f.field[11]);
        s.trackRight = Number(f.field[12]);
        s.trackBottom = Number(f.field[13]);
        s.pageFactor = Number(f.field[14]);
        s.step = 1;
        s.context = c;
        s.up = mnu_ButtonFind(c, s.upButton);
        s.down = mnu_ButtonFind(c, s.downButton);
        MnuTextArea a = {};
        Name(a.name, s.name);
        Name(a.window, s.window);
        Name(a.fontName, s.fontName);
        a.left = s.textLeft, a.top = s.textTop, a.right = s.textRight, a.bottom = s.textBottom;
        a.flags = MNU_AREA_WRAPPED;
        a.state = MNU_STATE_NORMAL;
        mnu_TextAreaAdd(c, &a);
        mnu_ScrollAdd(c, &s);
    }
    mnu_ScrollsSort(c);
}

void ReadTextAreas(MnuContext* c) {
    if (ini_SectionFind("TEXT_AREAS")) {
        Fields f;
        while (Next("TEXT", ", ", 9, &f)) {
            MnuTextArea a = {};
            Name(a.window, f.field[0]);
            Name(a.name, f.field[1]);
            Name(a.stringKey, f.field[2]);
            Name(a.fontName, f.field[3]);
            a.left = Number(f.field[4]);
            a.top = Number(f.field[5]);
            a.right = Number(f.field[6]);
            a.bottom = Number(f.field[7]);
            a.flags = Number(f.field[8]);
            a.state = MNU_STATE_NORMAL;
            mnu_TextAreaAdd(c, &a);
        }
    }
    // Caption areas of the buttons lie in the same table.
    mnu_TextAreasSort(c);
    for (int32_t i = 0; i < c->textAreaCount && c->textAreas[i].name[0]; i++) {
        MnuTextArea* a = &c->textAreas[i];
        if (MnuString* s = a->stringKey[0] ? mnu_StringFind(c, a->stringKey) : nullptr) a->text = s->text;
    }
}

void ReadImageAreas(MnuContext* c) {
    if (!ini_SectionFind("IMAGE_AREAS")) return;
    Fields f;
    while (Next("IMAGE_AREA", ", ", 8, &f)) {
        MnuImageArea a = {};
        Name(a.window, f.field[0]);
        Name(a.name, f.field[1]);
        Name(a.imageName, f.field[2]);
        a.left = Number(f.field[3]);
        a.top = Number(f.field[4]);
        a.frameDelay = Number(f.field[5]);
        a.firstFrame = Number(f.field[6]);
        a.lastFrame = Number(f.field[7]);
        a.bitsPerPixel = 16;
        a.right = a.left;
        a.bottom = a.top;
        if ((a.image = LoadedImage(c, a.imageName)) != nullptr) {
            int32_t h = FrameHeight(a.image);
            a.right = a.left + a.image->width;
            a.bottom = a.top + h;
            a.bytesPerFrame = a.image->width * h * 2;
            if (a.lastFrame == -1) a.lastFrame = a.image->frameCount - 1;
            a.frameBase = a.image->pixels;
        }
        a.frame = a.firstFrame;
        a.framePixels = a.frameBase;
        a.flags = MNU_BUTTON_REDRAW;
        mnu_ImageAreaAdd(c, &a);
    }
    mnu_ImageAreasSort(c);
}

}  // namespace

void mnu_StringResolve(MnuContext* c, MnuString* s) {
    if (!s) return;
    static char loadFailure[] = "Load Failure";
    switch (s->kind & MNU_STRING_KIND_MASK) {
    case MNU_STRING_INLINE: s->text = s->inlineText; break;
    case MNU_STRING_RESOURCE: {
        FileTableEntry* e =
            c && c->stringResource ? file_TableEntryGet(c->stringResource, static_cast<uint32_t>(Number(s->inlineText)))
                                   : nullptr;
        // The resource table is the menu's own copy; its texts may change.
        s->text = e && e->text ? const_cast<char*>(e->text) : loadFailure;
        break;
    }
    default: s->text = loadFailure; break;
    }
    if (s->text == loadFailure || (s->kind & MNU_STRING_MARKED)) return;
    s->kind |= MNU_STRING_MARKED;
    if (char* hot = strstr(s->text, "{hot}")) {
        size_t length = strlen(s->text);
        if (length < 256 && hot[5]) {
            s->hotKey = hot[5];
            memmove(hot, hot + 5, strlen(hot + 5) + 1);
        }
    }
    if (char* image = strstr(s->text, "{image}")) {
        s->kind |= MNU_STRING_IMAGE;
        MnuImage im = {};
        Name(im.name, s->key);
        FileName(im.file, image + 7);
        im.flags = 1;
        im.frameCount = 1;
        im.loadNow = 1;
        im.bitsPerPixel = 16;
        mnu_ImageAdd(c, &im);
    }
}

void mnu_LoadProgress(int32_t percent) {
    app_LoadingFraction = static_cast<float>(percent) * 0.01f;
    mnu_Idle();
}

void mnu_ScriptLoad(const char* file, MnuContext* c) {
    if (!c || !file || !ini_LoadKeepCase(file)) return;
    mnu_LoadProgress(0);
    mnu_Reset(c);
    ReadStrings(c);
    mnu_LoadProgress(5);
    ReadImages(c);
    mnu_LoadProgress(10);
    ReadSounds(c);
    mnu_LoadProgress(20);
    ReadRgbs(c);
    mnu_LoadProgress(25);
    ReadFonts(c);
    mnu_LoadProgress(30);
    ReadCursors(c);
    mnu_LoadProgress(35);
    ReadWindows(c);
    mnu_LoadProgress(50);
    ReadButtons(c);
    mnu_LoadProgress(60);
    ReadEntries(c);
    mnu_LoadProgress(70);
    ReadScrolls(c);
    mnu_LoadProgress(80);
    ReadTextAreas(c);
    mnu_LoadProgress(85);
    ReadImageAreas(c);
    mnu_LoadProgress(90);
    mnu_TextLineBuffer = static_cast<char*>(mem_AllocEx(MNU_TEXT_LINE_BUFFER, 4, "mnu FontLine Buffer"));
    mnu_LoadProgress(95);
    ini_Unload();
    pal_SelectMatcher(0);
    pal_InstallShadeTable();
    mnu_TransitionFree();
    mnu_LoadProgress(100);
}
