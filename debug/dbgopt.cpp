// Developer option bits and the monochrome debug text screen.
#include "debug/dbgopt.h"

int32_t dbg_OptionBits = 0;
DbgMonoCell dbg_MonoScreen[DBG_MONO_ROWS][DBG_MONO_COLUMNS];

void dbg_MonoClear(void) {
    for (auto& row : dbg_MonoScreen)
        for (DbgMonoCell& c : row) c = {' ', 7};
}

void dbg_MonoWrite(int32_t column, int32_t row, const char* text, uint8_t attribute) {
    if (!text || row < 0 || row >= DBG_MONO_ROWS || column < 0) return;
    for (int32_t x = column; *text && x < DBG_MONO_COLUMNS; x++, text++) dbg_MonoScreen[row][x] = {*text, attribute};
}

// The screen is read where it lies; nothing is buffered.
void dbg_MonoFlush(void) {}
