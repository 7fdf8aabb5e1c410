// The on-screen debug text ring.
#include "debug/dbgtext.h"

#include <cstring>

#include "base/text.h"
#include "cockpit/hud.h"
#include "cockpit/hud_draw.h"
#include "cockpit/tacmap.h"
#include "display/draw_fill.h"
#include "display/dsurf.h"
#include "display/font.h"
#include "display/hw3d.h"
#include "display/otw.h"
#include "platform/simlog.h"
#include "shell/runner.h"
#include "world/level.h"

DbgTextRing dbg_Text;

const char* const dbg_ReadoutTemplates[11] = {
    "FRAME=######", "ENGINE=######", "BEHIND=####", "AVAIL DCBS - ####", " HP=####",    "AOA=########",
    "LIFT=#######", "DRAG=#######",  "E LIFT=###########", "EGO=#########", "DIFF=########",
};
const char* const dbg_ReadoutSync = "SYNC=%d";
const char* const dbg_ReadoutAvailDcbs = "avail DCBS = %d";

namespace {

constexpr int32_t kWorkSize = 2048;
char* g_work = nullptr;
char g_workBlock[kWorkSize];

constexpr int32_t kBandWidth = 320, kBandHeight = 29, kLineStep = 6;
constexpr int32_t kShade = 6;
constexpr int32_t kFontSmall = 0;

uint32_t Now(void) { return app_TickCount.load(std::memory_order_acquire); }

bool Fresh(void) { return dbg_Text.shown > 0 && Now() - dbg_Text.lastTick <= DBG_TEXT_TICKS; }

int32_t Scaled(int32_t v) { return (int32_t)(((int64_t)v * draw_CurrentSurface.widthScale) >> 16); }

void Band(void) {
    const int32_t x = 0, y = Scaled(dbg_Text.top), w = Scaled(kBandWidth), h = Scaled(kBandHeight);
    if (hw3d_Active && hw3d_Descriptor.shadedRect) {
        otw_UnlockSurface();
        hw3d_Descriptor.shadedRect(x, y, x + w, y + h, kShade);
        otw_LockSurface();
        return;
    }
    const _DRAW_SURFACE& d = draw_CurrentSurface;
    if (!d.base || d.bytesPerPixel <= 0) return;
    draw_SetBlitDest(d.base, d.bytesPerRow / d.bytesPerPixel);
    draw_Context.destX = x;
    draw_Context.destY = y;
    draw_Context.width = w;
    draw_Context.height = h;
    draw_Context.value = kShade;
    draw_ShadeRect(kShade);
}

}  // namespace

void dbg_TextLineAdd(const char* text) {
    char* work = g_work ? g_work : g_workBlock;
    text_Format("~5%s", work, kWorkSize, text ? text : "");
    hud_RepeaterAdd(work);
    plat_SimLog("debug", "text %s", work);
    DbgTextRing& r = dbg_Text;
    char* slot = r.lines[r.writeIndex & (DBG_TEXT_LINES - 1)];
    const size_t n = strnlen(work, DBG_TEXT_LINE_SIZE - 1);
    memcpy(slot, work, n);
    slot[n] = 0;
    r.writeIndex = (r.writeIndex + 1) % DBG_TEXT_LINES;
    if (r.shown < DBG_TEXT_LINES)
        r.shown++;
    else
        r.oldest = (r.oldest + 1) % DBG_TEXT_LINES;
    r.lastTick = Now();
}

void dbg_TextPrint(const char* text) { dbg_TextLineAdd(text); }

void dbg_TextReset(void) {
    memset(dbg_Text.lines, 0, sizeof dbg_Text.lines);
    dbg_Text.writeIndex = dbg_Text.shown = dbg_Text.oldest = 0;
    dbg_Text.lastTick = Now() - 2 * DBG_TEXT_TICKS;
    dbg_Text.top = 210;
    dbg_Text.layout[0] = 40960;
    dbg_Text.layout[1] = 30720;
}

void dbg_TextInit(void) {
    g_work = g_workBlock;
    memset(g_work, 0, kWorkSize);
    dbg_TextReset();
}

int32_t dbg_TextShowing(void) { return Fresh() ? 1 : 0; }

const char* dbg_TextShownLine(int32_t i) {
    if (i < 0 || i >= dbg_Text.shown) return nullptr;
    return dbg_Text.lines[(dbg_Text.oldest + i) % DBG_TEXT_LINES];
}

int32_t dbg_TextDraw(void) {
    if (hud_Repeater && tacmap_RecentShown) return 0;
    if (Now() - dbg_Text.lastTick > DBG_TEXT_TICKS) {
        dbg_Text.oldest = dbg_Text.writeIndex;
        dbg_Text.shown = 0;
        return 0;
    }
    Band();
    const BitmapFont* font = level_Fonts[kFontSmall];
    int32_t y = Scaled(dbg_Text.top);
    for (int32_t i = 0; i < dbg_Text.shown; i++) {
        const char* line = dbg_TextShownLine(i);
        if (font && line && line[0])
            font_DrawShadowedString(line, font, font_CentredX(line, font), y, HudColour, FONT_MODE_ONE_COLOUR);
        y += Scaled(kLineStep);
    }
    return 1;
}
