// The teletype screen: before a campaign mission, an optional movie, then
// the mission's page typed onto its background character by character.
#include <cstdio>
#include <cstring>

#include "base/file.h"
#include "base/filetable.h"
#include "base/ini.h"
#include "base/mem.h"
#include "display/draw_fill.h"
#include "display/font.h"
#include "display/otw.h"
#include "menu/brief.h"
#include "menu/quick.h"
#include "net/bridge.h"
#include "platform/window.h"
#include "shell/runner.h"
#include "shell/wndproc.h"
#include "sound/anim.h"
#include "sound/music.h"

MnuAnimePage mnu_AnimePageRecord = {};
int32_t mnu_AnimeEndCountdown = 0;

namespace {

constexpr int32_t kEndTicks = 80;
constexpr size_t kWordMax = 128;
constexpr size_t kTextMax = 65536;

int32_t g_started = 0;
int32_t g_backgroundDrawn = 0;
void* g_mark = nullptr;

void Text(const char* key, char* out, size_t size) {
    out[0] = 0;
    ini_SectionKeyGet("HEADER", key, out, size, nullptr);
}

int32_t CharWidth(const MnuAnimePage* page, char ch) {
    if (!page->font || !page->font->font) return 0;
    char s[2] = {ch, 0};
    return font_StringWidth(s, page->font->font);
}

bool Blank(char ch) { return ch == ' ' || ch == '\t'; }

void AnimePageDraw(void) {
    MnuContext* c = mnu_Context;
    if (!g_backgroundDrawn && mnu_AnimePageRecord.background.pixels) {
        MnuRect r = {0, 0, mnu_AnimePageRecord.background.width, mnu_AnimePageRecord.background.height};
        mnu_ImageBlitRect(&mnu_AnimePageRecord.background, &r, 0, 0);
    }
    g_backgroundDrawn = 1;
    if (!c) return;
    mnu_Draw(c);
    mnu_WindowTextDraw(c, "WndAnime");
    mnu_ImageAreasDraw(c);
}

void AnimeEnter(void) {
    MnuContext* c = mnu_Context;
    mnu_AnimeEndCountdown = kEndTicks;
    g_started = 0;
    g_backgroundDrawn = 0;
    app_Runner.nextState = &WndLoading;
    app_Runner.followOn1 = &WndMisBrief;
    app_Runner.followOn2 = &net_InFlightStates[NET_STATE_BRIDGE];
    g_mark = nullptr;
    const MnuMissionHeader* h = mnu_QuickMissionCurrent();
    if (mnu_GameMode != 1 && c && h) {
        mnu_LeaveFlag = 0;
        mnu_AcceptKeyCallbackSet(cbAnimeAccept);
        mnu_CancelKeyCallbackSet(nullptr);
        mnu_WindowsCloseAll(c);
        mnu_HoverCount = 0;
        anim_SetFrameCallback(mnu_IdleRoutine);
        music_SetVariable(0, 2);
        g_mark = mem_AllocEx(0, 4, "mnu Anime Anchor");
        char file[32];
        snprintf(file, sizeof file, "f%dm%d.wes", (int)h->fileNumber, (int)h->missionNumber);
        if (file_Exists(file)) {
            mnu_AnimeLoad(&mnu_AnimePageRecord, file);
            mnu_Update(c);
            mnu_TransitionSet(c, mnu_TransForward, "WndAnime", nullptr, "TRANSITION_IN", nullptr);
            return;
        }
    }
    // Nothing to type: on to the loading screen.
    mnu_LeaveFlag = 1;
}

int32_t AnimeFrame(void) {
    app_PumpMessagesEx();
    if (mnu_LeaveFlag) return 1;
    if (mnu_Context) mnu_Update(mnu_Context);
    mnu_AnimeTick(&mnu_AnimePageRecord);
    return 0;
}

void AnimeDraw(void) {
    MnuContext* c = mnu_Context;
    if (!c || mnu_LeaveFlag) return;
    if (mnu_Transition.running) {
        mnu_TransitionFrame();
        return;
    }
    if (!g_started) {
        mnu_MoviePlay(mnu_AnimePageRecord.anim, "WndAnime", c);
        g_started = 1;
        mnu_WindowOpen(c, "WndAnime");
        mnu_WindowShow(c, "WndAnime");
        mnu_CursorSet(c, "Cursor1");
        mnu_WindowRefresh(c, "WndAnime", nullptr, 0);
        return;
    }
    uint8_t* pixels = otw_LockSurface();
    if (pixels) {
        mnu_AnimePage();
        mnu_AnimeType(&mnu_AnimePageRecord);
    }
    otw_UnlockSurface();
    otw_PresentFrame();
}

void AnimeLeave(void) {
    anim_SetFrameCallback(nullptr);
    mnu_AnimeFree(&mnu_AnimePageRecord);
    if (g_mark) mem_FreeFrom(g_mark);
    g_mark = nullptr;
    music_SetVariable(0, 0);
}

}  // namespace

const AppStateRecord WndAnime = {AnimeEnter, AnimeFrame, AnimeDraw, AnimeLeave, 0};

void mnu_AnimeFree(MnuAnimePage* page) {
    if (!page) return;
    if (page->background.pixels) mnu_ImageUnload(&page->background);
    if (page->strings) mem_Free(page->strings);
    *page = MnuAnimePage{};
}

void mnu_AnimeLoad(MnuAnimePage* page, const char* file) {
    if (!page) return;
    mnu_AnimeFree(page);
    if (!file || !ini_LoadKeepCase(file)) return;
    {
        Text("PWF", page->pwf, sizeof page->pwf);
        Text("FONT", page->fontName, sizeof page->fontName);
        Text("ANIM", page->anim, sizeof page->anim);
        Text("PCX", page->pcx, sizeof page->pcx);
        Text("SOUND", page->sound, sizeof page->sound);
        Text("TEXTBIN", page->textBin, sizeof page->textBin);
    }
    // Numbers: each looked up from the section's start.
    const struct {
        const char* key;
        int32_t* value;
    } kNumbers[] = {{"ULX", &page->ulx},   {"ULY", &page->uly},   {"LRX", &page->lrx},
                    {"LRY", &page->lry},   {"RATE", &page->rate}, {"WHITESPACERATE", &page->whitespaceRate},
                    {"XSPACER", &page->xSpacer}, {"TEXTID", &page->textId}};
    for (const auto& k : kNumbers) {
        char value[64];
        int32_t n = 0;
        *k.value = ini_SectionKeyGet("HEADER", k.key, value, sizeof value, &n) ? n : 0;
    }
    ini_Unload();
    FileTableEntry* e = nullptr;
    if (page->textBin[0] && file_Exists(page->textBin)) page->strings = file_TableLoad(page->textBin);
    if (page->strings && page->textId >= 0) e = file_TableEntryGet(page->strings, (uint32_t)page->textId);
    if (e && e->text) {
        page->text = e->text;
        page->current = e->text;
        page->length = (int32_t)strnlen(e->text, kTextMax);
    } else {
        plat_MessageBox(0, "!Teletype load string failure.", "mnuAnime", MB_OK);
    }
    page->x = page->ulx;
    page->y = page->uly;
    if (MnuFont* f = mnu_Context ? mnu_FontFind(mnu_Context, page->fontName) : nullptr) {
        page->font = &f->block;
        page->colours[0] = f->colours[0];
        page->colours[1] = f->colours[1];
    }
    if (page->pcx[0]) {
        snprintf(page->background.name, sizeof page->background.name, "%s", "mnu ANIME BG");
        size_t n = strnlen(page->pcx, sizeof page->background.file - 1);
        memcpy(page->background.file, page->pcx, n);
        page->background.file[n] = 0;
        if (mnu_ImageLoad(&page->background) != 0) page->background = MnuImage{};
    }
}

void mnu_AnimeTick(MnuAnimePage* page) {
    if (page && page->countdown > 0) page->countdown--;
}

void mnu_AnimeType(MnuAnimePage* page) {
    if (!page) return;
    if (page->done) {
        if (mnu_AnimeEndCountdown-- <= 1) mnu_LeaveFlag = 1;
        return;
    }
    if (page->countdown > 0) return;
    if (!page->current || page->typed >= page->length) {
        page->done = 1;
        return;
    }
    int32_t lineHeight = page->font ? page->font->lineHeight : 0;
    const char* p = page->current;
    if (!Blank(*p)) {
        char word[kWordMax];
        size_t n = 0;
        while (p[n] && !Blank(p[n]) && n + 1 < sizeof word) {
            word[n] = p[n];
            n++;
        }
        word[n] = 0;
        if (strcmp(word, "<CR>") == 0) {
            page->y += lineHeight;
            page->x = page->ulx;
            page->current += 4;
            page->typed += 4;
            if (page->typed >= page->length) page->done = 1;
            return;
        }
        int32_t width = page->font && page->font->font ? font_StringWidth(word, page->font->font) : 0;
        if (page->lrx - (int32_t)n * page->xSpacer - page->x < width) {
            page->y += lineHeight;
            page->x = page->ulx;
        }
    }
    char ch = *p;
    if (page->font && page->font->font && !Blank(ch)) {
        char s[2] = {ch, 0};
        draw_SetTintRamp(page->colours[0].red, page->colours[0].green, page->colours[0].blue, page->colours[1].red,
                         page->colours[1].green, page->colours[1].blue);
        font_State.tableOverride = draw_TintRamp;
        font_DrawStringClipped(s, page->font->font, page->x, page->y, 0, FONT_MODE_IMAGE, 0);
        font_State.tableOverride = nullptr;
    }
    page->x += page->xSpacer + CharWidth(page, ch);
    page->current++;
    page->typed++;
    if (page->typed >= page->length) page->done = 1;
    if (!Blank(ch) && page->typed < page->length) {
        page->countdown = page->rate;
        if (mnu_Context && page->sound[0]) mnu_SoundEventPlay(mnu_Context, page->sound);
    } else {
        page->countdown = page->whitespaceRate;
    }
}

void mnu_AnimePage(void) { AnimePageDraw(); }

void cbAnimeAccept(int32_t) {
    app_Runner.nextState = &WndLoading;
    app_Runner.followOn1 = &WndMisBrief;
    app_Runner.followOn2 = &net_InFlightStates[NET_STATE_BRIDGE];
    mnu_LeaveFlag = 1;
}

void cbAnimeBack(int32_t) {
    app_Runner.nextState = &WndMisBrief;
    mnu_LeaveFlag = 1;
}
