// The menu engine's records: one menu context holding twelve tables of
// fixed-size records declared by the menu script "KRX.MNU", each kept sorted
// by name and found by name, and the callback table that binds script names
// to routines. Main thread only.
#pragma once
#include <cstdint>

#include "display/font.h"
#include "menu/chs.h"
#include "sound/sndtrig.h"

struct FileTable;

constexpr int32_t MNU_NAME = 64;  // name fields (63 characters kept)
constexpr int32_t MNU_FILE = 16;  // file-name fields (15 characters kept)
constexpr int32_t MNU_TEXT_LINE_BUFFER = 0x10000;

// Widget states.
enum : int32_t {
    MNU_STATE_NORMAL = 1,
    MNU_STATE_HOVER = 2,
    MNU_STATE_PRESSED = 4,
    MNU_STATE_DISABLED = 8,
    MNU_STATE_LATCHED = 16,
};

// Button flags (script) and run-time bits.
enum : int32_t {
    MNU_BUTTON_LATCHING = 0x4,
    MNU_BUTTON_CAPTION_AT = 0x80,
    MNU_BUTTON_CAPTION_ENDS = 0x100,
    MNU_BUTTON_CAPTION_CENTRED = 0x200,
    MNU_BUTTON_REDRAW = 0x400,
    MNU_BUTTON_HOVER = 0x800,
    MNU_BUTTON_NO_REPEAT = 0x1000,
    MNU_BUTTON_RADIO = 0x2000,
    MNU_BUTTON_CAPTION_LEFT = 0x4000,
    MNU_BUTTON_CAPTION_RIGHT = 0x8000,
};

// Image flags as the script writes them.
enum : int32_t {
    MNU_IMAGE_PIXEL_HIT = 0x4,
    MNU_IMAGE_WATCHED = 0x8,
};

// Window flags.
enum : int32_t {
    MNU_WINDOW_SHOWN = 0x2,
    MNU_WINDOW_REPAINT = 0x200,
};

// Text-area flags set by the engine.
enum : int32_t {
    MNU_AREA_ADDED = 0x4,
    MNU_AREA_WRAPPED = 0x400,
    MNU_AREA_IMAGE = 0x800,
};

// String kinds and flags.
enum : int32_t {
    MNU_STRING_INLINE = 1,
    MNU_STRING_RESOURCE = 2,
    MNU_STRING_KIND_MASK = 0xff,
    MNU_STRING_IMAGE = 0x800,
    MNU_STRING_MARKED = 0x1000,  // markup applied (once: the text is changed in place)
};

typedef void (*MnuHandler)(int32_t argument);

struct MnuCallback {
    char name[MNU_NAME];
    MnuHandler handler;
    int32_t argument;
};
// Named records; an empty-named record ends the table.
constexpr int32_t MNU_CALLBACK_COUNT = 238;
extern const MnuCallback mnu_CallbackTable[MNU_CALLBACK_COUNT + 1];
// The handlers of the screens, each replaced when its screen is built.
void mnu_CallbackStandin(int32_t argument);
void cbExit(int32_t argument);

// A font as windows and text areas use it: the loaded font (shared by every
// font record naming the same file) and its line height.
struct MnuFontBlock {
    BitmapFont* font;
    int32_t lineHeight;
};

struct MnuImage {
    char name[MNU_NAME];
    char file[MNU_FILE];
    uint16_t* pixels;        // 16-bit picture as loaded
    void* displayCopy;       // "mnu CON_DATA_PTR"
    int32_t width, height;
    int32_t bitsPerPixel;    // 16
    int32_t byteSize;        // width x height x 2
    int32_t offsetX, offsetY;
    int32_t loadNow;
    int32_t flags;           // MNU_IMAGE_*
    int32_t frameCount;      // at least 1
};

struct MnuWindow {
    char name[MNU_NAME];
    int32_t layer;  // 0..10, lower drawn first
    int32_t x, y, width, height;
    MnuImage* image;
    MnuFontBlock* font;
    int32_t flags;  // MNU_WINDOW_*
    int32_t dirtyLeft, dirtyTop, dirtyRight, dirtyBottom;
};

struct MnuImageArea {
    char name[MNU_NAME];
    char window[MNU_NAME];
    char imageName[MNU_NAME];
    uint16_t* frameBase;
    uint16_t* framePixels;
    int32_t left, top, right, bottom;
    MnuImage* image;
    int32_t firstFrame, lastFrame, frame;
    int32_t frameDelay, tick;
    int32_t bytesPerFrame, bitsPerPixel;
    int32_t flags;
};

struct MnuTextArea;

struct MnuButton {
    char name[MNU_NAME];
    char window[MNU_NAME];
    char imageName[MNU_NAME];
    char hotKey;
    int32_t picture;  // 0 normal, 1 hover, 2 pressed or latched, 3 disabled
    int32_t width, height;  // one frame
    int32_t bytesPerFrame;
    int32_t group;
    int32_t x, y;
    int32_t pressCountdown;
    char soundEvent[MNU_NAME];
    char textKey[MNU_NAME];
    char fontName[MNU_NAME];
    MnuWindow* windowRecord;   // found on first use
    MnuTextArea* caption;      // found on first use
    MnuImage* image;
    const MnuCallback* action;
    const MnuCallback* hoverIn;
    const MnuCallback* hoverOut;
    int32_t state, previousState, stateAfterPress;
    int32_t flags;  // MNU_BUTTON_*
    int32_t pressTime;   // ticks, 12
    int32_t repeatTime;  // ticks, 6
    int32_t repeating;
};

struct MnuRgb {
    char name[MNU_NAME];
    int32_t red, green, blue;
};

struct MnuFont {
    char name[MNU_NAME];
    char file[MNU_FILE];
    MnuFontBlock block;
    MnuRgb colours[6];  // normal, highlighted and disabled ramps, two each
};

struct MnuTextArea {
    char name[MNU_NAME];
    char window[MNU_NAME];
    char fontName[MNU_NAME];
    char stringKey[MNU_NAME];
    char hotKey;
    const char* text;
    MnuTextArea* linked;
    int32_t left, top, right, bottom;
    int32_t flags;
    int32_t state;
    int32_t firstLine, lineCount;
    MnuButton* owner;
};

struct MnuString {
    char key[MNU_NAME];
    char* text;
    char inlineText[MNU_NAME];  // for a resource string its item number
    char hotKey;
    int32_t kind;  // MNU_STRING_INLINE / _RESOURCE, | MNU_STRING_IMAGE
};

struct MnuCursor {
    char name[MNU_NAME];
    char imageName[MNU_NAME];
    int32_t frameDelay;
    int32_t hotX, hotY;
};

struct MnuSoundEvent {
    char name[MNU_NAME];
    SndTrigEvent request;  // completion always null
    uint16_t fourth;       // the request's fourth 16-bit value
};

struct MnuScroll;
struct MnuContext;

struct MnuScroll {
    char name[MNU_NAME];
    char window[MNU_NAME];
    char upButton[MNU_NAME];
    char downButton[MNU_NAME];
    char fontName[MNU_NAME];
    char thumbImage[MNU_NAME];
    int32_t textLeft, textTop, textRight, textBottom;
    int32_t trackLeft, trackTop, trackRight, trackBottom;
    int32_t step;  // 1
    int32_t pageFactor;
    int32_t currentStep;
    int32_t dragging;
    MnuTextArea* area;
    MnuImageArea* thumb;
    MnuButton* up;
    MnuButton* down;
    chs_Zone* trackZone;
    MnuContext* context;
};

struct MnuEntry {
    char name[MNU_NAME];
    char window[MNU_NAME];
    int32_t left, top, right, bottom;
    MnuHandler callback;
    MnuButton* button;
    int32_t editing, bound;
    MnuTextArea* area;
    char* buffer;
    int32_t bufferSize;  // terminator included
};

struct MnuContext {
    void* heapMark;  // "Menu Sentinel"
    FileTable* stringResource;
    const MnuCallback* callbacks;
    MnuWindow* windows;
    MnuImage* images;
    MnuImageArea* imageAreas;
    MnuButton* buttons;
    MnuFont* fonts;
    MnuRgb* rgbs;
    MnuTextArea* textAreas;
    MnuString* strings;
    MnuCursor* cursors;
    MnuSoundEvent* soundEvents;
    MnuScroll* scrolls;
    MnuEntry* entries;
    int32_t windowCount, imageCount, imageAreaCount, buttonCount, fontCount, rgbCount, textAreaCount,
        entryCount, stringCount, cursorCount, soundEventCount, scrollCount;  // capacities
};

// The program's menu context (set up by the front end's start).
extern MnuContext* mnu_Context;
// The menu's sound-trigger record (the script's PWF file).
extern SndTrigFile mnu_SoundTable;
// The 64 KB word-wrap line buffer ("mnu FontLine Buffer"), or null.
extern char* mnu_TextLineBuffer;

// Negated case-insensitive comparison: descending order, empty names last.
int32_t mnu_NameCompare(const char* a, const char* b);

MnuWindow* mnu_WindowFind(MnuContext* c, const char* name);
MnuImage* mnu_ImageFind(MnuContext* c, const char* name);
MnuImageArea* mnu_ImageAreaFind(MnuContext* c, const char* name);
MnuButton* mnu_ButtonFind(MnuContext* c, const char* name);
MnuFont* mnu_FontFind(MnuContext* c, const char* name);
MnuRgb* mnu_RgbFind(MnuContext* c, const char* name);
MnuTextArea* mnu_TextAreaFind(MnuContext* c, const char* name);
MnuString* mnu_StringFind(MnuContext* c, const char* name);
MnuCursor* mnu_CursorFind(MnuContext* c, const char* name);
MnuSoundEvent* mnu_SoundEventFind(MnuContext* c, const char* name);
MnuScroll* mnu_ScrollFind(MnuContext* c, const char* name);
MnuEntry* mnu_EntryFind(MnuContext* c, const char* name);
MnuFont* mnu_FontFindByFile(MnuContext* c, const char* file);
const MnuCallback* mnu_CallbackFind(MnuContext* c, const char* name);

MnuWindow* mnu_WindowAdd(MnuContext* c, const MnuWindow* record);
MnuImage* mnu_ImageAdd(MnuContext* c, const MnuImage* record);
MnuImageArea* mnu_ImageAreaAdd(MnuContext* c, const MnuImageArea* record);
MnuImageArea* mnu_ImageAreaCreate(MnuContext* c, const MnuImageArea* record);
MnuButton* mnu_ButtonAdd(MnuContext* c, const MnuButton* record);
MnuFont* mnu_FontAdd(MnuContext* c, const MnuFont* record);
MnuRgb* mnu_RgbAdd(MnuContext* c, const MnuRgb* record);
MnuTextArea* mnu_TextAreaAdd(MnuContext* c, const MnuTextArea* record);
MnuString* mnu_StringAdd(MnuContext* c, const MnuString* record);
MnuCursor* mnu_CursorAdd(MnuContext* c, const MnuCursor* record);
MnuSoundEvent* mnu_SoundEventAdd(MnuContext* c, const MnuSoundEvent* record);
MnuScroll* mnu_ScrollAdd(MnuContext* c, const MnuScroll* record);
MnuEntry* mnu_EntryAdd(MnuContext* c, const MnuEntry* record);
// Adds a resource string for every named item of the file; 0, or -1 when
// the file does not load.
int32_t mnu_StringsFromResource(MnuContext* c, const char* file);
// Resolves a string's text and applies its markup ("{hot}", "{image}").
void mnu_StringResolve(MnuContext* c, MnuString* s);
// Loads an image's picture (16 bits); 0, or -1.
int32_t mnu_ImageLoad(MnuImage* image);

// Sorts one table (the script loader, after each section).
void mnu_WindowsSort(MnuContext* c);
void mnu_ImagesSort(MnuContext* c);
void mnu_ImageAreasSort(MnuContext* c);
void mnu_ButtonsSort(MnuContext* c);
void mnu_FontsSort(MnuContext* c);
void mnu_RgbsSort(MnuContext* c);
void mnu_TextAreasSort(MnuContext* c);
void mnu_StringsSort(MnuContext* c);
void mnu_CursorsSort(MnuContext* c);
void mnu_SoundEventsSort(MnuContext* c);
void mnu_ScrollsSort(MnuContext* c);
void mnu_EntriesSort(MnuContext* c);

void mnu_WindowsFree(MnuContext* c);
void mnu_ImagesFree(MnuContext* c);
void mnu_ImageAreasFree(MnuContext* c);
void mnu_ButtonsFree(MnuContext* c);
void mnu_FontsClear(MnuContext* c);
void mnu_RgbsFree(MnuContext* c);
void mnu_TextAreasFree(MnuContext* c);
void mnu_StringsFree(MnuContext* c);
void mnu_CursorsFree(MnuContext* c);
void mnu_SoundEventsFree(MnuContext* c);
void mnu_ScrollsFree(MnuContext* c);
void mnu_EntriesFree(MnuContext* c);

void mnu_Reset(MnuContext* c);
void mnu_Shutdown(MnuContext* c);
// Adds a zone over the rectangle grown by the margins with one handler for
// event mask 4 (left button up).
chs_Zone* mnu_ZoneAddRect(int32_t x, int32_t y, int32_t width, int32_t height, int32_t marginX, int32_t marginY,
                          chs_Handler routine, int32_t argument, int32_t user);
// The menu's pointer-zone list.
extern chs_ZoneList mnu_ZoneList;

typedef void (*MnuIdleRoutine)(void);
void mnu_IdleCallbackSet(MnuIdleRoutine routine);
void mnu_Idle(void);
extern int32_t mnu_KeyCapture;
void mnu_KeyCaptureSet(int32_t flag);

// The menu script.
void mnu_ScriptLoad(const char* file, MnuContext* c);
void mnu_LoadProgress(int32_t percent);

// Screens not built yet; the owning screens replace these.
void mnu_CursorRelease(void);
void mnu_TransitionFree(void);
void mnu_SoundEventPlay(MnuContext* c, const char* name);
