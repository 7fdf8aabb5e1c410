// The developer overlays' shared line drawing and layout.
#include "debug/dbgoverlay.h"

#include "base/text.h"
#include "display/dsurf.h"
#include "display/font.h"
#include "world/level.h"

uint8_t dbg_OverlaySelect[DBG_SELECTORS] = {};
char dbg_LineBuffer[DBG_LINE_SIZE] = {};
DbgLineTap dbg_LineTap = nullptr;

int32_t dbg_Layout(int32_t units) {
    return (int32_t)(((int64_t)units * draw_CurrentSurface.widthScale) >> 16);
}

const BitmapFont* dbg_SmallFont(void) { return level_Fonts[0]; }
const BitmapFont* dbg_ArialFont(void) { return level_Fonts[1]; }

void dbg_ShadowLineV(const BitmapFont* font, int32_t x, int32_t y, int32_t colour, const char* format, va_list args) {
    text_FormatV(format, dbg_LineBuffer, sizeof dbg_LineBuffer, args);
    if (dbg_LineTap) dbg_LineTap(x, y, colour, dbg_LineBuffer);
    if (!font) return;
    font_DrawString(dbg_LineBuffer, font, x + 1, y + 1, DBG_BLACK, FONT_MODE_ONE_COLOUR);
    font_DrawString(dbg_LineBuffer, font, x, y, colour, FONT_MODE_ONE_COLOUR);
}

void dbg_ShadowLine(const BitmapFont* font, int32_t x, int32_t y, int32_t colour, const char* format, ...) {
    va_list args;
    va_start(args, format);
    dbg_ShadowLineV(font, x, y, colour, format, args);
    va_end(args);
}
