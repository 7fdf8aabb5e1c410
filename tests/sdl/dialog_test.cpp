// The program's dialogs and boxes under the SDL backend, seen through its
// test hook: the message box it builds (buttons, ids, keys) and what each
// answer does. The library is loaded as the program loads it; SDL runs on
// its dummy video driver, so no display is needed.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/file.h"
#include "base/filetable.h"
#include "base/mem.h"
#include "fixtures/heaps.h"
#include "fixtures/workdir.h"
#include "mkdata.h"
#include "platform/sdl_module.h"
#include "platform/window.h"
#include "shell/appstr.h"
#include "shell/hw3dlist.h"
#include "shell/settings.h"
#include "shell/startup.h"

namespace {

struct Button {
    int id;
    std::string text;
    uint32_t flags;
};

struct Shown {
    std::string title, message;
    std::vector<Button> buttons;
};

std::vector<Shown> g_shown;
int g_answer = -1;  // the button pressed; -1: closed without one
int g_fail = 0;     // the box cannot be shown

int Hook(const void* data, int* buttonId) {
    auto d = static_cast<const SDL_MessageBoxData*>(data);
    Shown s{d->title, d->message, {}};
    for (int i = 0; i < d->numbuttons; i++)
        s.buttons.push_back({d->buttons[i].buttonid, d->buttons[i].text, d->buttons[i].flags});
    g_shown.push_back(s);
    *buttonId = g_answer;
    return g_fail ? -1 : 0;
}

class SdlDialogs : public ::testing::Test {
protected:
    TestWorkDir work;
    void SetUp() override {
        file_StateInit();
        ASSERT_EQ(test_HeapsFresh(0x100000, 0x10000, 0x40000), 0);
        ASSERT_TRUE(work.Enter("krx_sdldialog"));
        app_IniDefaults();
        // The real texts, so that each button is told by its own.
        ASSERT_EQ(mkdata_WriteAppStrings("."), 0);
        app_StringTable = file_TableLoad("appstr.bin");
        ASSERT_NE(app_StringTable, nullptr);
        setenv("KRX_PLATFORM", "sdl", 1);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(plat_Init(), 0);
        if (plat_IsHeadless()) GTEST_SKIP() << "SDL did not start";
        ASSERT_NE(plat_SdlModule(), nullptr);
        PlatSdlTestHooks hooks{Hook, 8};
        plat_SdlModule()->setTestHooks(&hooks);
        g_shown.clear();
        g_fail = 0;
    }
    void TearDown() override {
        if (plat_SdlModule()) plat_SdlModule()->setTestHooks(nullptr);
        plat_Shutdown();
        setenv("KRX_PLATFORM", "headless", 1);
        app_StringFileFree();
        work.Leave();
    }
};

TEST_F(SdlDialogs, DepthDialogOffersGoOnTickedAndStop) {
    struct Case {
        int answer;
        int failed;
        int32_t result;
        int32_t skipAfter;
    } cases[] = {
        {1013, 0, 1, 0},
        {1013 | PLAT_DIALOG_TICKED, 0, 1, 1},
        {1014, 0, 0, 0},
        {-1, 0, 0, 0},   // closed: stops
        {-1, 1, 1, 0},   // no box at all: goes on, as unattended
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        std::filesystem::remove("APP.INI");
        app_Ini.SKIP_16BIT_CHECK = 0;
        g_shown.clear();
        g_answer = c.answer;
        g_fail = c.failed;
        EXPECT_EQ(app_DepthCheck(), c.result);
        EXPECT_EQ(app_Ini.SKIP_16BIT_CHECK, c.skipAfter);
        EXPECT_EQ(std::filesystem::exists("APP.INI"), c.skipAfter == 1);
        ASSERT_EQ(g_shown.size(), 1u);
        const Shown& s = g_shown[0];
        EXPECT_EQ(s.title, app_Title);
        EXPECT_EQ(s.message, std::string(app_StringGet(72)) + "\n" + app_StringGet(73) + "\n" + app_StringGet(74));
        ASSERT_EQ(s.buttons.size(), 3u);
        EXPECT_EQ(s.buttons[0].id, 1013);
        EXPECT_EQ(s.buttons[0].text, app_StringGet(77));
        EXPECT_EQ(s.buttons[0].flags, (uint32_t)SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT);
        EXPECT_EQ(s.buttons[1].id, 1013 | PLAT_DIALOG_TICKED);
        EXPECT_EQ(s.buttons[1].text, app_StringGet(76));
        EXPECT_EQ(s.buttons[2].id, 1014);
        EXPECT_EQ(s.buttons[2].text, app_StringGet(78));
        EXPECT_EQ(s.buttons[2].flags, (uint32_t)SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT);
    }
    // A desktop of 16 bits or more asks nothing.
    PlatSdlTestHooks deep{Hook, 16};
    plat_SdlModule()->setTestHooks(&deep);
    g_shown.clear();
    EXPECT_EQ(app_DepthCheck(), 1);
    EXPECT_TRUE(g_shown.empty());
}

TEST_F(SdlDialogs, BadDriverDialogStoresItsBoxOnlyWhenGoingOn) {
    struct Case {
        int answer;
        int32_t result;
        int32_t skipAfter;
    } cases[] = {
        {1021, 0, 0},
        {1021 | PLAT_DIALOG_TICKED, 0, 1},
        {1022, -1, 0},
        {-1, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        app_Ini.SKIP_BAD3DFXDLLS_CHECK = 0;
        g_shown.clear();
        g_answer = c.answer;
        EXPECT_EQ(app_BadDriverDialog(), c.result);
        EXPECT_EQ(app_Ini.SKIP_BAD3DFXDLLS_CHECK, c.skipAfter);
        ASSERT_EQ(g_shown.size(), 1u);
        const Shown& s = g_shown[0];
        EXPECT_EQ(s.message, std::string(app_StringGet(30)) + "\n" + app_StringGet(31));
        ASSERT_EQ(s.buttons.size(), 3u);
        EXPECT_EQ(s.buttons[0].id, 1021);
        EXPECT_EQ(s.buttons[0].text, app_StringGet(33));
        EXPECT_EQ(s.buttons[1].id, 1021 | PLAT_DIALOG_TICKED);
        EXPECT_EQ(s.buttons[1].text, app_StringGet(32));
        EXPECT_EQ(s.buttons[2].id, 1022);
        EXPECT_EQ(s.buttons[2].text, app_StringGet(34));
    }
    // Once told not to, it is not shown.
    app_Ini.SKIP_BAD3DFXDLLS_CHECK = 1;
    g_shown.clear();
    EXPECT_EQ(app_BadDriverDialog(), 0);
    EXPECT_TRUE(g_shown.empty());
}

TEST_F(SdlDialogs, MessageBoxesHaveTheStylesButtons) {
    struct Case {
        uint32_t style;
        std::vector<int> ids;
        int answer;
        int result;
    } cases[] = {
        {MB_OK, {IDOK}, IDOK, IDOK},
        {MB_OKCANCEL, {IDOK, IDCANCEL}, IDCANCEL, IDCANCEL},
        {MB_YESNO, {IDYES, IDNO}, IDNO, IDNO},
        {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}, -1, IDYES},  // closed: the first button
        {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}, IDRETRY, IDRETRY},
        {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}, IDIGNORE, IDIGNORE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        g_shown.clear();
        g_answer = c.answer;
        EXPECT_EQ(plat_MessageBox(0, "text", "title", c.style | MB_ICONSTOP), c.result);
        ASSERT_EQ(g_shown.size(), 1u);
        EXPECT_EQ(g_shown[0].title, "title");
        EXPECT_EQ(g_shown[0].message, "text");
        std::vector<int> ids;
        for (const Button& b : g_shown[0].buttons) ids.push_back(b.id);
        EXPECT_EQ(ids, c.ids);
    }
}

}  // namespace
