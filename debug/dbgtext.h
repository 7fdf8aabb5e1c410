// The on-screen debug text lines: the last four lines posted, shown over a
// darkened band for ten seconds after the newest arrived, each also copied
// to the HUD repeater.
#pragma once
#include <cstdint>

// Adds a debug line; dbg_TextPrint is the same for plain callers.
void dbg_TextLineAdd(const char* text);
void dbg_TextPrint(const char* text);
// Per level: the 2048-byte buffer, then the reset; the reset alone clears
// the lines.
void dbg_TextInit(void);
void dbg_TextReset(void);

// The debug text lines on the frame, in the HUD's colour over the shadow: 1 when they were drawn, 0 when there
// are none fresh (the ring then reads as empty) or the repeater page is up.
int32_t dbg_TextDraw(void);
// 1 while lines are shown and fresh.
int32_t dbg_TextShowing(void);

// The ring: four slots of 128 bytes, the slot of the next line, the number
// shown and the first to draw.
constexpr int32_t DBG_TEXT_LINES = 4;
constexpr int32_t DBG_TEXT_LINE_SIZE = 128;
// Ticks a line stays up (ten seconds).
constexpr uint32_t DBG_TEXT_TICKS = 400;
struct DbgTextRing {
    char lines[DBG_TEXT_LINES][DBG_TEXT_LINE_SIZE];
    int32_t writeIndex;
    int32_t shown;
    int32_t oldest;
    uint32_t lastTick;
    int32_t top;          // 210 on the 640 x 480 layout
    int32_t layout[2];    // 40960 and 30720
};
extern DbgTextRing dbg_Text;
// The line drawn at position i (0 the oldest shown), or null past the
// shown count.
const char* dbg_TextShownLine(int32_t i);

// The engine message text shown as a block of lines (null: none loaded).
extern const char* dbg_EngineMessage;

// Templates of the developer readouts ('#' stands for a digit).
extern const char* const dbg_ReadoutTemplates[11];
extern const char* const dbg_ReadoutSync;       // "SYNC=%d"
extern const char* const dbg_ReadoutAvailDcbs;  // "avail DCBS = %d"
