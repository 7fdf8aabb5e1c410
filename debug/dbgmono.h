// The monochrome debug screen: status text written to the 80 x 25 text
// memory of a second, monochrome monitor, either straight into it (mode 1)
// or into a shadow buffer copied over in one piece by the flush (mode 2).
// This platform has no such monitor: open finds none and every other
// operation does nothing. Main thread only.
#pragma once
#include <cstdint>

constexpr int32_t DBG_MONO_COLUMNS = 80;
constexpr int32_t DBG_MONO_ROWS = 25;
constexpr uint32_t DBG_MONO_BYTES = DBG_MONO_COLUMNS * DBG_MONO_ROWS * 2;  // {character, attribute} cells

enum : int32_t { DBG_MONO_DIRECT = 1, DBG_MONO_BUFFERED = 2 };

// The window record: attribute, then three coordinates (the first is also
// the current position).
struct DbgMonoWindow {
    int32_t attribute;
    int32_t coordinates[3];
};
extern DbgMonoWindow dbg_MonoWindow;

void dbg_MonoOpen(void);
void dbg_MonoClose(void);
// Mode 2 allocates the shadow ("Mono Buffer") on first use; without it the
// output stays where it is.
void dbg_MonoSetMode(int32_t mode);
// From cell (column, row): each character with the attribute; a tab writes
// blanks up to the next column that is a multiple of 4; output stops at
// column 80 and never runs on to the next row.
void dbg_MonoPrint(const char* text, int32_t column, int32_t row, int32_t attribute);
// All 2000 cells of the output to blanks of attribute 0.
void dbg_MonoClear(void);
// Mode 2: the shadow onto the screen.
void dbg_MonoFlush(void);
void dbg_MonoSetWindow(int32_t attribute, int32_t a, int32_t b, int32_t c);

// The same with the position first.
void dbg_MonoWrite(int32_t column, int32_t row, const char* text, uint8_t attribute);

// Test hook: a 4000-byte buffer stands in for the monitor's text memory (null
// closes it again), as open does when it finds a monitor.
void dbg_MonoAttach(uint8_t* screen);
