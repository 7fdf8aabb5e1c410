// One menu page with every kind of widget on it (buttons of each kind,
// text areas with every placement flag, a text entry, a scroll area, an
// animated image area, a cursor), written with the data builder's writers,
// loaded, and shown on a 640 x 480 16-bit headless display.
#pragma once
#include <string>
#include <vector>

#include "display/draw_fill.h"
#include "display/otw.h"
#include "display/pal_hicolor.h"
#include "display/vid.h"
#include "menu_fixture.h"
#include "platform/display.h"
#include "shell/keyqueue.h"
#include "shell/mouse.h"

// Counts the actions given to the handler, by argument.
inline std::vector<int32_t> g_widgetActions;
inline void WidgetAction(int32_t argument) { g_widgetActions.push_back(argument); }

class WidgetPage : public MenuTest {
protected:
    static constexpr const char* kWrapped =
        "Word wrapped text runs over several lines of the area from the first visible line on "
        "with no margins at either side and the lines below the area are left out of the picture "
        "as this one sentence goes on and on past the bottom of its rectangle";
    static constexpr const char* kScrollText =
        "Line one of the list. Line two of the list. Line three of the list. Line four of the list. "
        "Line five of the list. Line six of the list. Line seven of the list. Line eight of the list.";
    MnuCallback actions[8] = {};

    void SetUp() override {
        MenuTest::SetUp();
        ASSERT_EQ(otw_OpenDisplay(640, 480, 2, 0, 0), 0);
        // The colour tables of the 16-bit screen (the front end's start builds them).
        pal_BuildHighColourTables();
        WriteFiles();
        Load(Script());
        // Each button gets a counting action whose argument is its number.
        const char* names[] = {"BtnPlain", "BtnLatch", "BtnRadio1", "BtnRadio2", "BtnOnce", "BtnThree",
                               "BtnUp", "BtnDown"};
        for (int32_t i = 0; i < 8; i++) {
            actions[i] = MnuCallback{"", WidgetAction, i};
            if (MnuButton* b = mnu_ButtonFind(&ctx, names[i])) b->action = &actions[i];
        }
        g_widgetActions.clear();
        app_KeyQueueClear();
        app_MouseState = AppMouseState{};
        mnu_WindowsCloseAll(&ctx);
        mnu_WindowOpen(&ctx, "WndTest");
        mnu_WindowShow(&ctx, "WndTest");
    }
    void TearDown() override {
        mnu_TransitionFree();
        mnu_CursorRelease();
        mnu_AcceptKeyCallbackSet(nullptr);
        mnu_CancelKeyCallbackSet(nullptr);
        mnu_KeyCaptureSet(0);
        mnu_PageCallbackSet(nullptr);
        vid_SetPreFlipCallback(nullptr);
        vid_SetPostFlipCallback(nullptr);
        MenuTest::TearDown();
        otw_CloseDisplay();
    }

    static void WriteFiles() {
        uint8_t palette[768];
        mkdata_GamePalette(palette);
        int32_t w = 0, h = 0;
        std::vector<uint8_t> font = mkdata_FontImage(10, false, &w, &h);
        ASSERT_EQ(mkdata_PcxWrite(".", "f10.pcx", w, h, font.data(), palette), 0);
        std::vector<uint8_t> back(640 * 480);
        for (int32_t y = 0; y < 480; y++)
            for (int32_t x = 0; x < 640; x++)
                back[(size_t)y * 640 + x] = (uint8_t)mkdata_PaletteNearest(palette, 20 + x / 8, 30, 60 + y / 6);
        ASSERT_EQ(mkdata_PcxWrite(".", "back.pcx", 640, 480, back.data(), palette), 0);
        std::vector<uint8_t> strip = mkdata_ButtonStrip(palette, 100, 20, 4);
        ASSERT_EQ(mkdata_PcxWrite(".", "btn.pcx", 100, 80, strip.data(), palette), 0);
        std::vector<uint8_t> three = mkdata_ButtonStrip(palette, 60, 20, 3);
        ASSERT_EQ(mkdata_PcxWrite(".", "btn3.pcx", 60, 60, three.data(), palette), 0);
        std::vector<uint8_t> up = mkdata_ArrowStrip(palette, 16, 4, false), down = mkdata_ArrowStrip(palette, 16, 4, true);
        ASSERT_EQ(mkdata_PcxWrite(".", "up.pcx", 16, 64, up.data(), palette), 0);
        ASSERT_EQ(mkdata_PcxWrite(".", "down.pcx", 16, 64, down.data(), palette), 0);
        std::vector<uint8_t> thumb = mkdata_ScrollThumb(palette, 14, 24);
        ASSERT_EQ(mkdata_PcxWrite(".", "thumb.pcx", 14, 24, thumb.data(), palette), 0);
        std::vector<uint8_t> cursor = mkdata_CursorFrames(palette, 4, false);
        ASSERT_EQ(mkdata_PcxWrite(".", "cursor.pcx", 16, 64, cursor.data(), palette), 0);
        std::vector<uint8_t> anim = mkdata_ButtonStrip(palette, 32, 32, 4);
        ASSERT_EQ(mkdata_PcxWrite(".", "anim.pcx", 32, 128, anim.data(), palette), 0);
        ASSERT_EQ(mkdata_TableWrite(".", "RES.BIN", {{"G", {{"R_TITLE", "Widgets"}}}}), 0);
    }

    static MkMenuScript Script() {
        MkMenuScript s;
        s.resource = "RES.BIN";
        s.strings = {"S_PLAIN,{hot}Plain", "S_LATCH,{hot}Latch", "S_ONE,Radio {hot}1", "S_TWO,Radio {hot}2",
                     "S_ONCE,{hot}Once", "S_THREE,T{hot}hree", "S_RIGHT,Right", "S_CENTRE,Centre",
                     "S_LEFT,Left", "S_OUT,Out", "S_TALL,Tall", std::string("S_WRAP,") + kWrapped};
        s.images = {"Back, back.pcx, 0, 1, 0, 0, 0",  "Btn, btn.pcx, 0, 4, 0, 0, 0",
                    "Btn3, btn3.pcx, 0, 3, 0, 0, 0",  "Up, up.pcx, 0, 4, 0, 0, 0",
                    "Down, down.pcx, 0, 4, 0, 0, 0",  "Thumb, thumb.pcx, 0, 1, 0, 0, 0",
                    "CursorImg, cursor.pcx, 0, 4, 0, 0, 1", "Anim, anim.pcx, 0, 4, 0, 0, 0"};
        s.rgbs = {"White, 255, 255, 255", "Grey, 120, 120, 130", "Amber, 255, 190, 60", "Brown, 120, 70, 10",
                  "Dim, 90, 90, 90", "Dark, 30, 30, 30"};
        s.fonts = {"F10, f10.pcx, White, Grey, Amber, Brown, Dim, Dark"};
        s.cursors = {"Cursor1, CursorImg, 2, 0, 0"};
        s.windows = {"WndTest, 0, 0, 0, Back, F10", "WndPopup, 2, 200, 200, NULL, F10"};
        // window, image, name, group, x, y, text, font, flags, action, hover in, hover out
        s.buttons = {
            "WndTest, Btn, BtnPlain, 0, 20, 20, S_PLAIN, F10, 128, cbExit, NULL, NULL",
            "WndTest, Btn, BtnLatch, 0, 20, 50, S_LATCH, F10, 132, cbExit, NULL, NULL",
            "WndTest, Btn, BtnRadio1, 1, 20, 80, S_ONE, F10, 8320, cbExit, NULL, NULL",
            "WndTest, Btn, BtnRadio2, 1, 20, 110, S_TWO, F10, 8320, cbExit, NULL, NULL",
            "WndTest, Btn, BtnOnce, 0, 20, 140, S_ONCE, F10, 4224, cbExit, NULL, NULL",
            "WndTest, Btn3, BtnThree, 0, 20, 170, S_THREE, F10, 128, cbExit, NULL, NULL",
            "WndTest, Up, BtnUp, 0, 600, 200, NULL, NULL, 0, cbExit, NULL, NULL",
            "WndTest, Down, BtnDown, 0, 600, 360, NULL, NULL, 0, cbExit, NULL, NULL",
        };
        s.entries = {"WndTest, EntName, 200, 20, 400, 40"};
        s.scrolls = {"WndTest, ScrList, BtnUp, BtnDown, F10, Thumb, 420, 200, 590, 376, 600, 216, 616, 360, 2"};
        // window, name, string, font, left, top, right, bottom, flags
        s.texts = {
            "WndTest, TxtRight, S_RIGHT, F10, 200, 60, 400, 80, 256",
            "WndTest, TxtCentre, S_CENTRE, F10, 200, 90, 400, 110, 512",
            "WndTest, TxtLeft, S_LEFT, F10, 200, 120, 400, 140, 0",
            "WndTest, TxtOut, S_OUT, F10, 300, 150, 400, 170, 16384",
            "WndTest, TxtTall, S_TALL, F10, 200, 180, 400, 184, 0",
            "WndTest, TxtWrap, S_WRAP, F10, 200, 220, 400, 300, 1024",
        };
        s.imageAreas = {"WndTest, AnimArea, Anim, 200, 320, 2, 0, -1"};
        return s;
    }

    // One menu update after the pointer moved to (x, y) with the left button
    // held or not.
    void UpdateAt(int32_t x, int32_t y, bool left) {
        app_MouseState.x = x;
        app_MouseState.y = y;
        app_MouseState.buttons = left ? 1 : 0;
        mnu_Update(&ctx);
    }
    static void Key(uint32_t vk, int32_t ch = 0) {
        app_KeyMessageDown(vk, 0);
        if (ch) app_KeyMessageChar((uintptr_t)ch);
        app_KeyMessageUp(vk, 0);
    }
    // The draw routine of a screen: the pass, its texts, its image areas.
    static void DrawPage(MnuContext* c) {
        mnu_Draw(c);
        mnu_WindowTextDraw(c, "WndTest");
        mnu_ImageAreasDraw(c);
    }
    // Locks, draws, unlocks and presents; returns the presented frame.
    template <typename Fn>
    std::vector<uint32_t> Frame(Fn draw) {
        EXPECT_NE(otw_LockSurface(), nullptr);
        draw();
        otw_UnlockSurface();
        otw_PresentFrame();
        return LastFrame();
    }
    static std::vector<uint32_t> LastFrame() {
        int32_t w = 0, h = 0;
        const uint32_t* f = plat_DisplayLastFrame(&w, &h);
        return f ? std::vector<uint32_t>(f, f + (size_t)w * h) : std::vector<uint32_t>{};
    }
    // The 16-bit screen pixels (the surface must be locked).
    static uint16_t ScreenAt(int32_t x, int32_t y) {
        const _DRAW_SURFACE& s = otw_ScreenSurface;
        uint16_t v;
        memcpy(&v, s.base + (size_t)y * s.bytesPerRow + (size_t)x * 2, 2);
        return v;
    }
};
