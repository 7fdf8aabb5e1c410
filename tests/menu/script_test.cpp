// The menu script: sections read in order, string markup, the first-line
// rule of RESOURCE and PWF, captions and placements, progress, and the
// data set's own script.
#include <strings.h>

#include <cstring>
#include <string>
#include <vector>

#include "display/pal.h"
#include "menu_fixture.h"
#include "shell/loadwin.h"

namespace {

std::vector<int32_t> g_progress;
void RecordProgress(void) { g_progress.push_back((int32_t)(app_LoadingFraction * 100.0f + 0.5f)); }

class ScriptTest : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        uint8_t palette[768];
        mkdata_GamePalette(palette);
        int32_t w = 0, h = 0;
        std::vector<uint8_t> font = mkdata_FontImage(10, false, &w, &h);
        ASSERT_EQ(mkdata_PcxWrite(".", "f10.pcx", w, h, font.data(), palette), 0);
        std::vector<uint8_t> px(40 * 60, 9);
        ASSERT_EQ(mkdata_PcxWrite(".", "pic.pcx", 40, 60, px.data(), palette), 0);
        ASSERT_EQ(mkdata_TableWrite(".", "RES.BIN", {{"G", {{"R_ONE", "Res {hot}One"}, {"R_TWO", "Two"}}}}), 0);
    }
    // A script with a font, an image of 40 x 60 in `frames` frames and one window.
    MkMenuScript Base(int32_t frames = 3) {
        MkMenuScript s;
        s.resource = "RES.BIN";
        s.images = {"Pic, pic.pcx, 0, " + std::to_string(frames) + ", 0, 0, 0"};
        s.rgbs = {"W, 255, 255, 255"};
        s.fonts = {"F, f10.pcx, W, W, W, W, W, W"};
        s.windows = {"Win, 1, 0, 0, NULL, F"};
        return s;
    }
};

TEST_F(ScriptTest, StringTextsAndMarkup) {
    MkMenuScript s = Base();
    s.strings = {"S_HOT,OK {hot}Yes", "S_COMMAS,first,second", "S_BLANK,two words", "S_TAIL,end{hot}",
                 "S_IMG,{image}pic.pcx",
                 "S_TWICE,{hot}A{hot}B"};
    Load(s);
    const struct {
        const char* key;
        const char* text;
        char hot;
    } kCases[] = {
        {"S_HOT", "OK Yes", 'Y'}, {"S_COMMAS", "first", 0}, {"S_BLANK", "two words", 0},
        {"R_ONE", "Res One", 'O'}, {"R_TWO", "Two", 0},      {"S_TAIL", "end{hot}", 0},
        {"S_TWICE", "A{hot}B", 'A'},
    };
    for (const auto& k : kCases) {
        MnuString* str = mnu_StringFind(&ctx, k.key);
        ASSERT_NE(str, nullptr) << k.key;
        EXPECT_STREQ(str->text, k.text) << k.key;
        EXPECT_EQ(str->hotKey, k.hot) << k.key;
    }
    EXPECT_EQ(mnu_StringFind(&ctx, "R_ONE")->kind & MNU_STRING_KIND_MASK, MNU_STRING_RESOURCE);
    MnuString* img = mnu_StringFind(&ctx, "S_IMG");
    ASSERT_NE(img, nullptr);
    EXPECT_TRUE(img->kind & MNU_STRING_IMAGE);
    MnuImage* im = mnu_ImageFind(&ctx, "S_IMG");
    ASSERT_NE(im, nullptr);
    EXPECT_STREQ(im->file, "pic.pcx");
    EXPECT_EQ(im->flags, 1);
    EXPECT_NE(im->pixels, nullptr);
}

TEST_F(ScriptTest, StringsWithoutResourceYieldNothing) {
    MkMenuScript s = Base();
    s.resource.clear();
    s.strings = {"S_A,text"};
    Load(s);
    EXPECT_EQ(mnu_StringFind(&ctx, "S_A"), nullptr);
    EXPECT_EQ(ctx.stringCount, 0);
}

TEST_F(ScriptTest, ImagesWindowsAndImageAreas) {
    MkMenuScript s = Base(0);
    s.windows.push_back("Pictured, 2, 5, 6, Pic, F");
    s.imageAreas = {"Pictured, Anim, Pic, 10, 20, 1, 0, -1"};
    Load(s);
    MnuImage* im = mnu_ImageFind(&ctx, "Pic");
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(im->frameCount, 1);  // 0 counts as one frame
    MnuWindow* bare = mnu_WindowFind(&ctx, "Win");
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->width, 640);
    EXPECT_EQ(bare->height, 480);
    ASSERT_NE(bare->font, nullptr);
    EXPECT_NE(bare->font->font, nullptr);
    MnuWindow* pictured = mnu_WindowFind(&ctx, "Pictured");
    ASSERT_NE(pictured, nullptr);
    EXPECT_EQ(pictured->width, 40);
    EXPECT_EQ(pictured->height, 60);
    MnuImageArea* a = mnu_ImageAreaFind(&ctx, "Anim");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->lastFrame, 0);
    EXPECT_EQ(a->right - a->left, 40);
    EXPECT_EQ(a->bottom - a->top, 60);
}

TEST_F(ScriptTest, ButtonCaptionsAndPlacement) {
    MkMenuScript s = Base(3);
    s.strings = {"CAP,{hot}Go"};
    s.soundEvents = {mkdata_MenuSoundEvent("CLICK", 1, 2)};
    s.buttons = {
        "Win, Pic, Centred, 0, 100, 100, CAP, F, 512, cbExit, cbInHover, NoSuchCallback, CLICK",
        "Win, Pic, At, 0, 100, 100, CAP, F, 128, cbExit, cbInHover, cbOutHover",
        "Win, Pic, Ends, 0, 100, 100, CAP, F, 256, cbExit, cbInHover, cbOutHover",
        "Win, NULL, TextOnly, 0, 100, 100, CAP, F, 128, cbExit, cbInHover, cbOutHover",
        "Win, NULL, Bare, 0, 100, 100, NULL, F, 128, cbExit, cbInHover, cbOutHover",
        "Win, Pic, NoFont, 0, 100, 100, CAP, NULL, 128, cbExit, cbInHover, cbOutHover",
        "Win, Pic, Unplaced, 0, 100, 100, CAP, F, 0, cbExit, cbInHover, cbOutHover",
        "Win, Pic, Short, 0, 100",  // lacks fields: passed over
    };
    Load(s);
    const struct {
        const char* name;
        int32_t x, y, w, h;
        bool caption;
    } kCases[] = {
        {"Centred", 80, 90, 40, 20, true}, {"At", 100, 100, 40, 20, true},   {"Ends", 60, 100, 40, 20, true},
        {"Bare", 100, 100, 0, 0, false},   {"NoFont", 100, 100, 40, 20, false}, {"Unplaced", 0, 0, 40, 20, true},
    };
    for (const auto& k : kCases) {
        MnuButton* b = mnu_ButtonFind(&ctx, k.name);
        ASSERT_NE(b, nullptr) << k.name;
        EXPECT_EQ(b->x, k.x) << k.name;
        EXPECT_EQ(b->y, k.y) << k.name;
        EXPECT_EQ(b->width, k.w) << k.name;
        EXPECT_EQ(b->height, k.h) << k.name;
        MnuTextArea* a = mnu_TextAreaFind(&ctx, k.name);
        EXPECT_EQ(a != nullptr, k.caption) << k.name;
        if (a && k.caption) {
            EXPECT_EQ(a->left, b->x) << k.name;
            EXPECT_EQ(a->right - a->left, b->width) << k.name;
            EXPECT_STREQ(a->text, "Go") << k.name;
            EXPECT_EQ(a->hotKey, 'G');
            EXPECT_EQ(b->hotKey, 'G');
        }
    }
    EXPECT_EQ(mnu_ButtonFind(&ctx, "Short"), nullptr);
    MnuButton* text = mnu_ButtonFind(&ctx, "TextOnly");
    ASSERT_NE(text, nullptr);
    EXPECT_GT(text->width, 16);
    EXPECT_GT(text->height, 0);
    MnuButton* c = mnu_ButtonFind(&ctx, "Centred");
    ASSERT_NE(c->action, nullptr);
    EXPECT_STREQ(c->action->name, "cbExit");
    EXPECT_EQ(c->hoverOut, nullptr);
    EXPECT_STREQ(c->soundEvent, "CLICK");
    EXPECT_EQ(c->pressTime, 12);
    MnuSoundEvent* e = mnu_SoundEventFind(&ctx, "CLICK");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->request.volume, 255);
    EXPECT_EQ(e->request.voice, -1);
    EXPECT_EQ(e->request.completion, nullptr);
    EXPECT_EQ(e->request.type, 1);
    EXPECT_EQ(e->request.id, 2);
}

TEST_F(ScriptTest, EntriesScrollsAndTextAreas) {
    MkMenuScript s = Base();
    s.strings = {"T_KEY,Hello"};
    s.buttons = {"Win, Pic, Up, 0, 0, 0, NULL, NULL, 0, NULL, NULL, NULL"};
    s.entries = {"Win, Name, 10, 20, 110, 40, Up", "Win, Plain, 1, 2, 3, 4"};
    s.scrolls = {"Win, Story, Up, Down, F, Pic, 0, 0, 200, 100, 210, 0, 220, 100, 5"};
    s.texts = {"Win, Label, T_KEY, F, 1, 2, 3, 4, 2"};
    Load(s);
    MnuEntry* e = mnu_EntryFind(&ctx, "Name");
    ASSERT_NE(e, nullptr);
    EXPECT_NE(e->button, nullptr);
    EXPECT_EQ(mnu_EntryFind(&ctx, "Plain")->button, nullptr);
    ASSERT_NE(mnu_TextAreaFind(&ctx, "Name"), nullptr);
    EXPECT_EQ(mnu_TextAreaFind(&ctx, "Name")->right, 110);
    MnuScroll* sc = mnu_ScrollFind(&ctx, "Story");
    ASSERT_NE(sc, nullptr);
    EXPECT_EQ(sc->pageFactor, 5);
    EXPECT_EQ(sc->step, 1);
    EXPECT_EQ(sc->context, &ctx);
    MnuTextArea* sa = mnu_TextAreaFind(&ctx, "Story");
    ASSERT_NE(sa, nullptr);
    EXPECT_TRUE(sa->flags & MNU_AREA_WRAPPED);
    MnuTextArea* label = mnu_TextAreaFind(&ctx, "Label");
    ASSERT_NE(label, nullptr);
    EXPECT_STREQ(label->text, "Hello");
    EXPECT_TRUE(label->flags & MNU_AREA_ADDED);
}

TEST_F(ScriptTest, NamesAndFilesAreCut) {
    MkMenuScript s = Base();
    std::string longName(100, 'n');
    s.images.push_back(longName + ", averyveryverylongname.pcx, 0, 1, 0, 0, 0");
    Load(s);
    MnuImage* im = mnu_ImageFind(&ctx, std::string(63, 'n').c_str());
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(strlen(im->name), 63u);
    EXPECT_STREQ(im->file, "averyveryverylo");
}

TEST_F(ScriptTest, ProgressRunsThroughEverySection) {
    g_progress.clear();
    mnu_IdleCallbackSet(RecordProgress);
    MkMenuScript s;  // empty sections: no image loads call the idle routine
    Load(s);
    EXPECT_EQ(g_progress, (std::vector<int32_t>{0, 5, 10, 20, 25, 30, 35, 50, 60, 70, 80, 85, 90, 95, 100}));
    EXPECT_NE(mnu_TextLineBuffer, nullptr);
    EXPECT_NE(ctx.heapMark, nullptr);
}

TEST_F(ScriptTest, AMissingScriptChangesNothing) {
    g_progress.clear();
    mnu_IdleCallbackSet(RecordProgress);
    mnu_ScriptLoad("NONE.MNU", &ctx);
    EXPECT_TRUE(g_progress.empty());
    EXPECT_EQ(ctx.heapMark, nullptr);
}

TEST_F(ScriptTest, TheSampleScriptLoadsWithEveryNameResolved) {
    ASSERT_EQ(mkdata_WriteSoundTriggers("."), 0);
    ASSERT_EQ(mkdata_WriteMenuScript("."), 0);
    test_WriteFile("KRXMENU.BIN", mkdata_MenuDataBuild());
    mnu_ScriptLoad("KRX.MNU", &ctx);
    MkMenuScript s = mkdata_MenuScript();
    EXPECT_NE(ctx.stringResource, nullptr);
    EXPECT_NE(mnu_SoundTable.sounds, nullptr);
    for (const char* f : {"ARIAL10", "ARIAL10W", "ARIAL12", "ARIAL16B"}) {
        MnuFont* font = mnu_FontFind(&ctx, f);
        ASSERT_NE(font, nullptr) << f;
        EXPECT_NE(font->block.font, nullptr) << f;
        EXPECT_GT(font->block.lineHeight, 0) << f;
        EXPECT_GT(font->colours[0].red, 0) << f;
    }
    EXPECT_EQ(mnu_FontFind(&ctx, "ARIAL10")->block.font, mnu_FontFind(&ctx, "ARIAL10W")->block.font);
    for (const char* c : {"Cursor1", "Cursor2"}) {
        MnuCursor* cur = mnu_CursorFind(&ctx, c);
        ASSERT_NE(cur, nullptr) << c;
        EXPECT_NE(mnu_ImageFind(&ctx, cur->imageName), nullptr) << c;
    }
    for (const char* e : {"TRANSITION_IN", "TRANSITION_OUT", "BUTTON_CLICK", "BUTTON_HOVER"})
        EXPECT_NE(mnu_SoundEventFind(&ctx, e), nullptr) << e;
    MnuWindow* main = mnu_WindowFind(&ctx, "WndMain");
    ASSERT_NE(main, nullptr);
    EXPECT_NE(main->image, nullptr);
    EXPECT_NE(main->font, nullptr);
    int32_t buttons = 0;
    for (int32_t i = 0; i < ctx.buttonCount && ctx.buttons[i].name[0]; i++, buttons++) {
        const MnuButton& b = ctx.buttons[i];
        EXPECT_NE(b.image, nullptr) << b.name;
        EXPECT_NE(b.action, nullptr) << b.name;
        EXPECT_NE(mnu_SoundEventFind(&ctx, b.soundEvent), nullptr) << b.name;
        EXPECT_NE(mnu_WindowFind(&ctx, b.window), nullptr) << b.name;
        // Picture-only buttons (list rows, scroll arrows) have no caption or hover.
        if (strcasecmp(b.textKey, "NULL") == 0) continue;
        EXPECT_NE(b.hoverIn, nullptr) << b.name;
        EXPECT_NE(b.hoverOut, nullptr) << b.name;
        MnuTextArea* cap = mnu_TextAreaFind(&ctx, b.name);
        ASSERT_NE(cap, nullptr) << b.name;
        ASSERT_NE(cap->text, nullptr) << b.name;
        EXPECT_EQ(strstr(cap->text, "{hot}"), nullptr) << b.name;
        EXPECT_NE(b.hotKey, 0) << b.name;
    }
    EXPECT_EQ(buttons, (int32_t)s.buttons.size());
    EXPECT_EQ(mnu_ButtonFind(&ctx, "BtnExit")->action, mnu_CallbackFind(&ctx, "cbExit"));
    for (int32_t i = 0; i < ctx.textAreaCount && ctx.textAreas[i].name[0]; i++) {
        const MnuTextArea& a = ctx.textAreas[i];
        if (a.stringKey[0] && strcasecmp(a.stringKey, "NULL") != 0) {  // NULL: the screen fills it
            EXPECT_NE(a.text, nullptr) << a.name;
        }
    }
}

}  // namespace
