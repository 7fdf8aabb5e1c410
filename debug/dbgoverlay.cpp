// The developer overlays' shared line drawing and layout.
#include "debug/dbgoverlay.h"

#include "base/filetable.h"
#include "base/text.h"
#include "cockpit/tacmap.h"
#include "debug/console.h"
#include "display/dsurf.h"
#include "display/font.h"
#include "display/hw3d.h"
#include "net/client.h"
#include "render/render.h"
#include "shell/appstr.h"
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

// ---- The overlay pass ----

void dbg_DrawFrameRate(void) {
    if (!con_ToggleBlock[CON_FRAME_RATE]) return;
    dbg_ShadowLine(dbg_SmallFont(), 10, 380, DBG_CYAN, "%3.2fp", render_FrameRate);
}

// The card driver's statistics are its three counters, one line each.
void dbg_DrawCardStatistics(void) {
    if (!con_ToggleBlock[CON_CARD_STATISTICS] || !hw3d_Active || !hw3d_Descriptor.readCounters) return;
    int32_t counters[3] = {};
    hw3d_Descriptor.readCounters(&counters[0], &counters[1], &counters[2]);
    static const char* const kNames[3] = {"frames", "triangles", "lines"};
    int32_t y = 100;
    for (int32_t i = 0; i < 3; i++, y += 16)
        dbg_ShadowLine(dbg_SmallFont(), 10, y, DBG_CYAN, "%s %ld", kNames[i], counters[i]);
}

void dbg_DrawSessionLostNotice(void) {
    if (!Client.sessionLost) return;
    // Nothing without the string file or the item.
    const FileTableEntry* e = app_StringTable ? file_TableEntryGet(app_StringTable, DBG_SESSION_LOST_TEXT) : nullptr;
    const char* text = e ? e->text : nullptr;
    if (!text) return;
    dbg_ShadowLine(dbg_SmallFont(), dbg_Layout(5), dbg_Layout(5), DBG_RED, "%s", text);
}

void dbg_OverlayFrame(void) {
    if (con_OverlayHook) con_OverlayHook();
    dbg_DrawFrameRate();
    dbg_DrawCardStatistics();
    dbg_DrawSessionLostNotice();
    if (dbg_OverlaySelect[DBG_SELECT_TIME_SCORE]) tacmap_CounterDumpDraw();
    if (dbg_OverlaySelect[DBG_SELECT_COUNTERS]) dbg_DrawCounterPage();
    if (dbg_OverlaySelect[DBG_SELECT_TRIGGERS]) dbg_DrawTriggerPage();
    if (dbg_OverlaySelect[DBG_SELECT_AI]) dbg_DrawAiInfo();
}
