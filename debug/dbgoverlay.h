// Conventions shared by the developer overlays: the shadowed text line, the
// 320-unit layout, the debug colours, the overlay selector bytes and the
// pages the overlay pass draws.
#pragma once
#include <cstdarg>
#include <cstddef>
#include <cstdint>

struct BitmapFont;

// Debug colour slots, filled at level start with the level's colours.
enum : int32_t {
    DBG_BLACK = 1,
    DBG_WHITE = 2,
    DBG_RED = 3,
    DBG_GREEN = 4,
    DBG_YELLOW = 6,
    DBG_DARK_GREEN = 8,
    DBG_CYAN = 9,
};

// The overlay selector bytes, in their order: AI information block, mission
// counter page, mission time and score readout, mission trigger page. Any
// nonzero value shows the page.
enum : int32_t { DBG_SELECT_AI = 0, DBG_SELECT_COUNTERS, DBG_SELECT_TIME_SCORE, DBG_SELECT_TRIGGERS, DBG_SELECTORS };
extern uint8_t dbg_OverlaySelect[DBG_SELECTORS];

// The shared line buffer every overlay formats into.
constexpr size_t DBG_LINE_SIZE = 256;
extern char dbg_LineBuffer[DBG_LINE_SIZE];

// A position in layout units (a 320-unit-wide screen) in pixels of the
// current surface, truncated.
int32_t dbg_Layout(int32_t units);
// The two overlay fonts: the small one and "arial11n.pcx" (null before the
// level's fonts are loaded).
const BitmapFont* dbg_SmallFont(void);
const BitmapFont* dbg_ArialFont(void);
// Formats into the line buffer with the program's formatter (bounded; "%fp"
// prints 16.16 values) and draws it shadowed: black at (x + 1, y + 1), then
// in the colour slot at (x, y). Nothing is drawn without a font or a
// drawing surface.
void dbg_ShadowLine(const BitmapFont* font, int32_t x, int32_t y, int32_t colour, const char* format, ...);
void dbg_ShadowLineV(const BitmapFont* font, int32_t x, int32_t y, int32_t colour, const char* format, va_list args);
// Test hook: when set, it receives every formatted line with its position
// and colour, font or not.
typedef void (*DbgLineTap)(int32_t x, int32_t y, int32_t colour, const char* text);
extern DbgLineTap dbg_LineTap;

// The three pages of the AI and mission-trigger overlays.
void dbg_DrawAiInfo(void);
void dbg_DrawTriggerPage(void);
void dbg_DrawCounterPage(void);

// The overlay pass of every drawn flight frame, in this order: the overlay
// hook, the frame rate, the card statistics, the session-lost notice and the
// four selected pages. Each step draws only while its switch is on.
void dbg_OverlayFrame(void);
// The frame rate at pixel (10, 380) in cyan.
void dbg_DrawFrameRate(void);
// The 3D card's statistics from pixel (10, 100), 16 pixels apart; nothing
// without an active card.
void dbg_DrawCardStatistics(void);
// Application string DBG_SESSION_LOST_TEXT at layout (5, 5) in red once the
// session is lost.
constexpr uint32_t DBG_SESSION_LOST_TEXT = 829;
void dbg_DrawSessionLostNotice(void);
