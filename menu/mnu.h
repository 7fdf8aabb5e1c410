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
    int32_t waitRelease;  // fired without repeat: the left button must go up first
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

// Text-area flags of the drawing.
enum : int32_t {
    MNU_AREA_CARET = 0x2,
    MNU_AREA_REDRAW = 0x4,
    MNU_AREA_RIGHT = 0x100,
    MNU_AREA_CENTRED = 0x200,
    MNU_AREA_OUTSIDE_LEFT = 0x4000,
    MNU_AREA_OUTSIDE_RIGHT = 0x8000,
};
constexpr int32_t MNU_IMAGE_AREA_REDRAW = 0x400;

// --- Drawing (mnu_draw.cpp) ---
typedef void (*MnuPageRoutine)(void);
struct MnuRect {
    int32_t left, top, right, bottom;
};
int32_t mnu_RectsOverlap(const MnuRect* a, const MnuRect* b);
void mnu_PageCallbackSet(MnuPageRoutine routine);
void mnu_PageCallbackRun(void);
void mnu_Draw(MnuContext* c);
void mnu_WindowRefresh(MnuContext* c, const char* name, const MnuRect* rect, int32_t markOnly);
void mnu_WindowRefreshRecord(MnuContext* c, MnuWindow* w, const MnuRect* rect, int32_t markOnly);
void mnu_WindowButtonsDraw(MnuContext* c, MnuWindow* w);
void mnu_ButtonDraw(MnuButton* b, int32_t windowX, int32_t windowY);
void mnu_WindowTextDraw(MnuContext* c, const char* windowName);
void mnu_ImageAreasDraw(MnuContext* c);
void mnu_TextAreaSetText(MnuContext* c, const char* areaName, const char* text);
void mnu_TextAreaSetString(MnuContext* c, const char* areaName, const char* stringKey);
void mnu_TextAreaLink(MnuContext* c, const char* areaName, const char* linkedName);
void mnu_TextMeasure(MnuContext* c, const char* fontName, const char* text, int32_t* width, int32_t* lineHeight);
void mnu_TextDraw(MnuContext* c, const char* text, const char* fontName, MnuFontBlock* fallback, const MnuRect* rect,
                  int32_t windowX, int32_t windowY, int32_t flags, int32_t state, char hotKey, int32_t firstLine,
                  int32_t* lineCount);
void mnu_TextDrawWrapped(const char* text, const BitmapFont* font, int32_t x, int32_t y, int32_t width,
                         int32_t height, int32_t firstLine, int32_t* lineCount);
void mnu_TextAreaImageDraw(MnuContext* c, const char* imageName, const MnuRect* rect, int32_t windowX,
                           int32_t windowY, int32_t flags);
// Blits (left, top)-(right, bottom) of the image to that place plus the
// image's offsets plus (x, y), transparently.
void mnu_ImageBlitRect(MnuImage* image, const MnuRect* rect, int32_t x, int32_t y);
// Builds the display copy of a loaded image; 0, or -1.
int32_t mnu_ImageConvert(MnuImage* image);
void mnu_ImagesConvertAll(MnuContext* c);
// Frees the picture and its display copy.
void mnu_ImageUnload(MnuImage* image);
// The image's pixels in the display's format (display copy, else pixels).
const uint8_t* mnu_ImagePicture(const MnuImage* image);

struct MnuPopup {
    const char* text;
    char fontName[MNU_NAME];
    MnuRect rect;
    int32_t style;
    int32_t flags;  // 0x8 top, 0x10 centred, 0x2000 visible
    int32_t textFlags;
    MnuButton* buttons[2];
    int32_t values[2];
};
enum : int32_t { MNU_POPUP_TOP = 0x8, MNU_POPUP_CENTRED = 0x10, MNU_POPUP_VISIBLE = 0x2000 };
extern MnuPopup mnu_Popup;
void mnu_PopupShow(MnuContext* c, const char* text, const char* fontName, int32_t style, const char* button1,
                   int32_t value1, const char* button2, int32_t value2, int32_t flags);
int32_t mnu_PopupDraw(MnuContext* c);
void mnu_PopupRectSet(int32_t x, int32_t y, int32_t width, int32_t height, int32_t textFlags);
void mnu_PopupRender(MnuContext* c, MnuPopup* popup);
void mnu_PopupClear(void);

// --- Widgets and the per-frame update (mnu_update.cpp) ---
extern int32_t mnu_UpdateCount;
int32_t mnu_Update(MnuContext* c);
// Writes the button table to "mnudump.bin"; 0, or -1 when it cannot be made.
int32_t mnu_ButtonsDump(MnuContext* c);
void mnu_ButtonsUpdate(MnuContext* c);
void mnu_ButtonTrack(MnuContext* c, MnuButton* b, int32_t windowX, int32_t windowY, uint32_t key);
void mnu_KeysDispatch(void);
void mnu_ButtonSetState(MnuContext* c, const char* name, int32_t state);
void mnu_ButtonSetStateRecord(MnuButton* b, int32_t state);
int32_t mnu_ButtonGetState(MnuContext* c, const char* name);
int32_t mnu_ButtonGroupSetState(MnuContext* c, int32_t skipIndex, int32_t group, int32_t state, int32_t skipDisabled);
void mnu_ButtonSetPressTimes(MnuContext* c, const char* name, int32_t pressTicks, int32_t repeatTicks);
void mnu_ButtonSetFlags(MnuContext* c, const char* name, int32_t bits);
void mnu_ButtonTextAreaSet(MnuContext* c, const char* areaName, const char* buttonName);
void mnu_ButtonImageLink(MnuContext* c, MnuButton* b);
void mnu_AcceptKeyCallbackSet(MnuHandler routine);
void mnu_CancelKeyCallbackSet(MnuHandler routine);
void mnu_WindowShow(MnuContext* c, const char* name);
void mnu_WindowOpen(MnuContext* c, const char* name);
void mnu_WindowHide(MnuContext* c, const char* name);
void mnu_WindowsCloseAll(MnuContext* c);
void mnu_EntryBind(MnuContext* c, const char* name, char* buffer, int32_t size, MnuHandler callback,
                   const char* fontName);
int32_t mnu_EntryBegin(MnuContext* c, const char* name);
void mnu_EntryEnd(MnuContext* c, const char* name);
void mnu_EntriesUpdate(MnuContext* c);
void mnu_ScrollAttach(MnuContext* c, const char* name);
void mnu_ScrollDetach(MnuContext* c, const char* name);
void mnu_ScrollSetText(MnuContext* c, const char* name, const char* text);
void mnu_ScrollUp(MnuScroll* s);
void mnu_ScrollDown(MnuScroll* s);
void mnu_ScrollThumbMove(MnuScroll* s, int32_t left, int32_t top);
void mnu_ScrollsUpdate(MnuContext* c);
void mnu_ImageAreaLink(MnuContext* c, MnuImageArea* a);
void mnu_ImageAreasAnimate(MnuContext* c, int32_t shownOnly);
void mnu_ImageAreaSetFrame(MnuContext* c, const char* name, int32_t frame);
void mnu_ImageAreaSetFrames(MnuContext* c, const char* name, int32_t first, int32_t last);
int32_t mnu_SoundEventPlay(MnuContext* c, const char* name);

// --- Page transitions and the software cursor (mnu_trans.cpp) ---
struct MnuShape {
    int32_t triangleCount;
    const int32_t* triangles;  // three vertex indices each
    const int32_t* vertices;   // x, y and a third word each
    int32_t vertexCount;
};
struct MnuTransition {
    int32_t kind;
    int32_t running, finished;
    uint8_t threshold;
    int32_t speed;
    int32_t pageSize, width, height;
    uint8_t* outPage;
    uint8_t* inPage;
    uint16_t* mask;
    MnuContext* context;
    char window[MNU_NAME];
    char sound[MNU_NAME];
    int32_t (*step)(void);
    void (*draw)(void);
};
extern MnuTransition mnu_Transition;
void mnu_TransitionSet(MnuContext* c, int32_t kind, const char* windowName, MnuPageRoutine draw,
                       const char* soundName, const MnuShape* shape);
int32_t mnu_TransitionStep(void);
void mnu_TransitionDraw(void);
int32_t mnu_TransitionFrame(void);
void mnu_TransitionFree(void);
// The transitions' noise generator, restarted by every mask build.
void mnu_TransNoiseSeed(void);
uint32_t mnu_TransNoise(void);

struct MnuCursorState {
    int32_t active, drawing;
    const uint8_t* picture;
    const uint8_t* frame;
    int32_t width, frameHeight, bitsPerPixel, frameCount, current, delay, tick, bytesPerFrame;
    int32_t x, y;
    int32_t hotX, hotY;
    uint8_t* saveUnder;  // "XCursor.scratch"
};
extern MnuCursorState mnu_Cursor;
int32_t mnu_CursorSet(MnuContext* c, const char* name);
void mnu_CursorImageSet(MnuContext* c, const char* imageName, int32_t frames, int32_t delay);
void mnu_CursorStep(void);
void mnu_CursorHide(void);
void mnu_CursorShow(void);
void mnu_CursorRelease(void);
void mnu_CursorMoveTo(int32_t x, int32_t y);
void mnu_CursorHotSpotSet(int32_t x, int32_t y);
void mnu_CursorHotSpotClear(void);
void mnu_CursorDrawHook(int32_t width, int32_t height);
void mnu_CursorRestoreHook(int32_t width, int32_t height);

// The credit scroller's step (its screen replaces this).
void mnu_CreditsStep(MnuContext* c);
