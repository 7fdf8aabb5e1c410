// The credits: the lines of "KRXCRE.TXT" scroll up through a viewport of
// the credits window, each in its own font and colours, then the screen
// goes back to the main menu.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "base/ini.h"
#include "base/mem.h"
#include "display/draw_fill.h"
#include "display/dsurf.h"
#include "display/otw.h"
#include "menu/front.h"
#include "shell/runner.h"
#include "shell/startup.h"

MnuCreditsState mnu_Credits = {};

namespace {

constexpr int32_t kValue = 256;

// Splits at commas only, so the text may hold blanks; at most three fields.
int32_t SplitCommas(char* value, char** fields) {
    int32_t count = 0;
    char* p = value;
    while (*p && count < 3) {
        while (*p == ',') p++;
        if (!*p) break;
        fields[count++] = p;
        while (*p && *p != ',') p++;
        if (*p) *p++ = 0;
    }
    // Blanks around a field belong to the file's layout, not to the text.
    for (int32_t i = 0; i < count; i++) {
        while (*fields[i] == ' ') fields[i]++;
        size_t n = strlen(fields[i]);
        while (n > 0 && fields[i][n - 1] == ' ') fields[i][--n] = 0;
    }
    return count;
}

// A GLOBAL number kept within [low, high]: the viewport lies on the
// 640 x 480 screen and the steps stay within a screen's height.
int32_t GlobalKey(const char* key, int32_t low, int32_t high) {
    char value[64];
    int32_t number = 0;
    if (!ini_SectionKeyGet("GLOBAL", key, value, sizeof value, &number)) return 0;
    return number < low ? low : number > high ? high : number;
}

void CreditsPageDraw(void) { mnu_CreditsPage(); }

void CreditsEnter(void) {
    MnuContext* c = mnu_Context;
    mnu_LeaveFlag = 0;
    mnu_WindowsCloseAll(c);
    mnu_WindowOpen(c, "WndCredits");
    mnu_WindowShow(c, "WndCredits");
    mnu_CursorSet(c, "Cursor1");
    mnu_AcceptKeyCallbackSet(mnu_CreditsBack);
    mnu_CancelKeyCallbackSet(mnu_CreditsBack);
    mnu_HoverCount = 0;
    mnu_TransitionSet(c, mnu_TransForward, "WndCredits", CreditsPageDraw, "TRANSITION_IN", nullptr);
    mnu_CreditsLoad(c, app_ProductRecord.creditsName);
    mnu_CreditsStart(c);
}

void CreditsScreenDraw(void) {
    if (!mnu_Context) return;
    mnu_ScreenDraw(mnu_CreditsPage);
}

void CreditsLeave(void) { mnu_CreditsFree(mnu_Context); }

}  // namespace

const AppStateRecord WndCredits = {CreditsEnter, mnu_StateFrame, CreditsScreenDraw, CreditsLeave, 0};

void mnu_CreditAdd(MnuContext*, const MnuCredit* line) {
    if (!line) return;
    MnuCredit* copy = static_cast<MnuCredit*>(mem_AllocEx(sizeof(MnuCredit), 4, "mnu Credit"));
    if (!copy) return;
    *copy = *line;
    copy->next = nullptr;
    MnuCredit** tail = &mnu_Credits.first;
    while (*tail) tail = &(*tail)->next;
    *tail = copy;
}

void mnu_CreditsLoad(MnuContext* c, const char* file) {
    if (!c || !file || !ini_LoadKeepCase(file)) return;
    MnuCreditsState& s = mnu_Credits;
    s.tickDelay = 0;
    s.left = GlobalKey("VIEWPORT_ULX", 0, 640);
    s.top = GlobalKey("VIEWPORT_ULY", 0, 480);
    s.right = GlobalKey("VIEWPORT_LRX", s.left, 640);
    s.bottom = GlobalKey("VIEWPORT_LRY", s.top, 480);
    s.scrollRate = GlobalKey("SCROLL_RATE", -480, 480);
    s.tickDelay = GlobalKey("TICK_DELAY", 0, 1 << 20);
    s.crSpacer = GlobalKey("CR_SPACER", -480, 480);
    s.lineSpacer = GlobalKey("LINE_SPACER", -480, 480);
    float running = (float)s.bottom + (float)s.crSpacer;
    if (ini_SectionFind("TEXT")) {
        char value[kValue];
        while (ini_KeyGet("CREDIT", value, sizeof value, nullptr)) {
            char* fields[3] = {};
            if (SplitCommas(value, fields) < 2) continue;
            MnuCredit line = {};
            snprintf(line.text, sizeof line.text, "%s", strcmp(fields[0], "<CR>") == 0 ? "" : fields[0]);
            snprintf(line.fontName, sizeof line.fontName, "%s", fields[1]);
            line.flags = fields[2] ? (int32_t)strtol(fields[2], nullptr, 10) : 0;
            MnuFont* font = mnu_FontFind(c, line.fontName);
            if (!font) continue;
            line.font = &font->block;
            int32_t pair = (line.flags & MNU_CREDIT_HIGHLIGHT) ? 2 : (line.flags & MNU_CREDIT_DISABLED) ? 4 : 0;
            line.colours[0] = font->colours[pair];
            line.colours[1] = font->colours[pair + 1];
            line.lineHeight = font->block.lineHeight;
            line.width = font->block.font && line.text[0] ? font_StringWidth(line.text, font->block.font) : 0;
            line.y = running + (float)s.lineSpacer + (float)line.lineHeight;
            running = line.y;
            if (line.flags & MNU_CREDIT_SPACER) running += (float)s.crSpacer;
            int32_t viewWidth = s.right - s.left;
            if (line.flags & MNU_CREDIT_RIGHT)
                line.x = viewWidth - line.width - 8;
            else if (line.flags & MNU_CREDIT_CENTRED)
                line.x = (viewWidth - line.width) / 2;
            mnu_CreditAdd(c, &line);
        }
    }
    ini_Unload();
    draw_InitSurfaceDesc(&s.viewport, nullptr, 640, 480, 2);
    draw_SetSurfaceClip(&s.viewport, s.left, s.top, s.right, s.bottom);
    s.viewport.centreXF = (s.right - s.left) * 128 / 2;
    s.viewport.centreYF = (s.bottom - s.top) * 128 / 2;
}

void mnu_CreditsStart(MnuContext*) {
    mnu_Credits.running = 1;
    mnu_Credits.finished = 0;
    mnu_Credits.stepPending = 0;
    mnu_Credits.countdown = 0;
}

void mnu_CreditsStep(MnuContext*) {
    MnuCreditsState& s = mnu_Credits;
    if (!s.first || !s.running || s.stepPending) return;
    if (s.countdown > 0) {
        s.countdown--;
        return;
    }
    s.countdown = s.tickDelay;
    for (MnuCredit* l = s.first; l; l = l->next) l->y -= (float)s.scrollRate;
    s.stepPending = 1;
}

void mnu_CreditsDraw(MnuContext* c, const char* windowName) {
    MnuCreditsState& s = mnu_Credits;
    if (!s.first || !s.running || !s.stepPending) return;
    s.stepPending = 0;
    const _DRAW_SURFACE screen = otw_ScreenSurface;
    if (!screen.base) return;
    s.viewport.base = screen.base;
    s.viewport.bytesPerRow = screen.bytesPerRow;
    s.viewport.width = screen.width;
    s.viewport.height = screen.height;
    s.viewport.bytesPerPixel = screen.bytesPerPixel;
    s.viewport.bitsPerPixel = screen.bitsPerPixel;
    s.viewport.size = screen.size;
    MnuWindow* w = mnu_WindowFind(c, windowName);
    bool shown = false;
    for (MnuCredit* l = s.first; l; l = l->next) {
        if (!l->font || !l->font->font || l->width == 0) continue;
        if (l->y < (float)(s.top - l->lineHeight)) continue;
        shown = true;
        if (l->y > (float)s.bottom) continue;
        int32_t y = (int32_t)lroundf(l->y);
        draw_SelectSurface(&screen);
        if (w && w->image) {
            // The window's background, over the line's last place.
            MnuRect r = {s.left + l->x - w->x, y - w->y, s.left + l->x + l->width + 8 - w->x,
                         y + l->lineHeight + s.scrollRate - w->y};
            if (r.left < 0) r.left = 0;
            if (r.top < 0) r.top = 0;
            if (r.right > w->image->width) r.right = w->image->width;
            if (r.bottom > w->image->height) r.bottom = w->image->height;
            if (r.right > r.left && r.bottom > r.top) mnu_ImageBlitRect(w->image, &r, w->x, w->y);
        }
        draw_SelectSurface(&s.viewport);
        draw_SetTintRamp(l->colours[0].red, l->colours[0].green, l->colours[0].blue, l->colours[1].red,
                         l->colours[1].green, l->colours[1].blue);
        font_State.tableOverride = draw_TintRamp;
        font_DrawStringClipped(l->text, l->font->font, s.left + l->x, y, 0, FONT_MODE_IMAGE, 0);
        font_State.tableOverride = nullptr;
    }
    if (!shown) s.finished = 1;
    draw_SelectSurface(&screen);
}

void mnu_CreditsFree(MnuContext*) {
    MnuCredit* l = mnu_Credits.first;
    while (l) {
        MnuCredit* next = l->next;
        mem_Free(l);
        l = next;
    }
    mnu_Credits = MnuCreditsState{};
}

void mnu_CreditsPage(void) {
    MnuContext* c = mnu_Context;
    if (!c) return;
    mnu_Draw(c);
    mnu_WindowTextDraw(c, "WndCredits");
    mnu_ImageAreasDraw(c);
    mnu_CreditsDraw(c, "WndCredits");
    if (mnu_Credits.finished) mnu_CreditsBack(0);
}

void mnu_CreditsBack(int32_t) {
    if (mnu_LeaveFlag) return;
    app_Runner.nextState = &WndMain;
    mnu_LeaveFlag = 1;
}
