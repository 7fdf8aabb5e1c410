// The HUD repeater: the last 32 message lines shown in flight, kept so that
// the recent-messages page can show them again, oldest first.
#include <cstring>

#include "cockpit/hud.h"
#include "cockpit/tacmap.h"
#include "display/dsurf.h"
#include "display/font.h"
#include "input/inmap.h"
#include "world/level.h"

HudRepeaterBuffer* hud_Repeater = nullptr;

namespace {
// The block lives for the whole run: the level and client heaps are freed
// in one call between flights, and the buffer must outlive them.
HudRepeaterBuffer g_block;

constexpr uint32_t kTitle = 479;
constexpr int32_t kTitleColour = 5;
constexpr int32_t kTextColour = 0;
constexpr int32_t kFontArial11 = 1;
constexpr int32_t kFontKey16 = 3;
}  // namespace

void hud_RepeaterInit(void) {
    hud_Repeater = &g_block;
    hud_RepeaterClear();
}

void hud_RepeaterClear(void) {
    if (!hud_Repeater) return;
    memset(hud_Repeater, 0, sizeof *hud_Repeater);
}

void hud_RepeaterAdd(const char* text) {
    HudRepeaterBuffer* r = hud_Repeater;
    if (!r) return;
    if (r->count >= HUD_REPEATER_LINES) {
        memmove(r->lines[0], r->lines[1], sizeof r->lines - sizeof r->lines[0]);
        r->count = HUD_REPEATER_LINES - 1;
    }
    char* line = r->lines[r->count++];
    // A longer text keeps its first 127 characters.
    const size_t n = text ? strnlen(text, HUD_REPEATER_LINE_SIZE - 1) : 0;
    if (n) memcpy(line, text, n);
    memset(line + n, 0, HUD_REPEATER_LINE_SIZE - n);
}

void hud_RepeaterDraw(void) {
    const HudRepeaterBuffer* r = hud_Repeater;
    if (!r) return;
    const _DRAW_SURFACE& d = draw_CurrentSurface;
    draw_SetBlitDest(d.base, d.bytesPerRow / (d.bytesPerPixel > 0 ? d.bytesPerPixel : 1));
    tacmap_PageBox(1, 10, 320, 220, 1, 10, 318, 200, 5);
    int32_t y = tacmap_StringLineDraw(tacmap_Scaled(12), kTitleColour, kTitle, level_Fonts[kFontKey16]);
    const BitmapFont* font = level_Fonts[kFontArial11];
    for (int32_t i = 0; i < r->count && i < HUD_REPEATER_LINES; i++) {
        if (r->lines[i][0]) tacmap_PageText(r->lines[i], font, 3, y, kTextColour);
        y += 10;
    }
}

// The page's keys: Enter, Escape or Y close it, back to the screen state
// that was current before.
void hud_RepeaterKeys(void) { inmap_ScreenKeyClose(); }
