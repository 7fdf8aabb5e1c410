// Developer option bits and the monochrome debug text screen.
#pragma once
#include <cstdint>

// Developer option bits, 0 at start. 0x200: the virtual cursor status page.
constexpr int32_t DBG_OPT_VCURSOR_STATUS = 0x200;
extern int32_t dbg_OptionBits;

// The monochrome debug text screen: 80 columns by 25 rows of characters and
// attributes.
constexpr int32_t DBG_MONO_COLUMNS = 80;
constexpr int32_t DBG_MONO_ROWS = 25;
struct DbgMonoCell {
    char ch;
    uint8_t attribute;
};
extern DbgMonoCell dbg_MonoScreen[DBG_MONO_ROWS][DBG_MONO_COLUMNS];
void dbg_MonoClear(void);
// Writes the text from (column, row), cut at the row's end.
void dbg_MonoWrite(int32_t column, int32_t row, const char* text, uint8_t attribute);
void dbg_MonoFlush(void);
