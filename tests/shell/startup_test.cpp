// Command line parsing, the dispatch array, the formatting of application
// strings, the build-time texts and the loading window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "display/dtext.h"
#include "platform/harness.h"
#include "platform/window.h"
#include "shell/cmdline.h"
#include "shell/fatal.h"
#include "shell/loadwin.h"
#include "shell/mainloop.h"
#include "shell/startup.h"

TEST(CommandLine, WordsAndSwitches) {
    struct Case {
        const char* line;
        AppCommandAction action;
        uint32_t options;
        int32_t many, versionInTitle, trace;
        const char* bad;
    };
    const Case cases[] = {
        {"", APP_COMMAND_RUN, 0, 0, 0, 0, ""},
        {"many window", APP_COMMAND_RUN, APP_OPTION_WINDOW, 1, 0, 0, ""},
        {"HARDWARE software HwNoCrunch", APP_COMMAND_RUN,
         APP_OPTION_HARDWARE | APP_OPTION_SOFTWARE | APP_OPTION_HWNOCRUNCH, 0, 0, 0, ""},
        {"VERSION TRACE", APP_COMMAND_RUN, 0, 0, 1, 1, ""},
        {"- / window", APP_COMMAND_RUN, APP_OPTION_WINDOW, 0, 0, 0, ""},
        {"-a", APP_COMMAND_VERSION_BOX, 0, 0, 0, 0, ""},
        {"/Help", APP_COMMAND_USAGE_BOX, 0, 0, 0, 0, ""},
        // The first word that ends the program wins; later ones are not read.
        {"window -h bogus", APP_COMMAND_USAGE_BOX, APP_OPTION_WINDOW, 0, 0, 0, ""},
        {"bogus -a", APP_COMMAND_BAD_WORD, 0, 0, 0, 0, "bogus"},
        {"MANY \"two words\"", APP_COMMAND_BAD_WORD, 0, 1, 0, 0, "two words"},
        {"/x -a", APP_COMMAND_BAD_SWITCH, 0, 0, 0, 0, "x"},
    };
    for (const Case& c : cases) {
        AppCommandLine cl;
        app_CommandLineParse(c.line, &cl);
        EXPECT_EQ(cl.action, c.action) << c.line;
        EXPECT_EQ(cl.options, c.options) << c.line;
        EXPECT_EQ(cl.many, c.many) << c.line;
        EXPECT_EQ(cl.versionInTitle, c.versionInTitle) << c.line;
        EXPECT_EQ(cl.trace, c.trace) << c.line;
        if (c.action == APP_COMMAND_BAD_WORD) {
            EXPECT_STREQ(cl.badWord, c.bad) << c.line;
        }
        if (c.action == APP_COMMAND_BAD_SWITCH) {
            EXPECT_EQ(cl.badSwitch, c.bad[0]) << c.line;
        }
    }
}

TEST(CommandLine, LongWordIsCutToFit) {
    std::string word(1000, 'w');
    AppCommandLine cl;
    app_CommandLineParse(word.c_str(), &cl);
    ASSERT_EQ(cl.action, APP_COMMAND_BAD_WORD);
    EXPECT_EQ(strlen(cl.badWord), sizeof cl.badWord - 1);
}

class Dispatch : public ::testing::Test {
protected:
    static std::vector<int32_t> calls;
    static int32_t overflows;
    void SetUp() override {
        app_DispatchFree();
        calls.clear();
        overflows = 0;
    }
    void TearDown() override { app_DispatchFree(); }
    static int32_t Record(int32_t first, int32_t second) {
        calls.push_back(first * 100 + second);
        return 0;
    }
    static int32_t Overflow(int32_t, int32_t) { return ++overflows; }
    static int32_t ExitAfter(int32_t first, int32_t) {
        calls.push_back(first);
        app_DispatchExit(7);
        return 0;
    }
};
std::vector<int32_t> Dispatch::calls;
int32_t Dispatch::overflows;

TEST_F(Dispatch, HundredEntriesThenOverflow) {
    ASSERT_EQ(app_DispatchCreate(100), 0);
    EXPECT_EQ(app_DispatchCreate(100), -1);  // already made
    app_Dispatch.overflow = {Overflow, 0, 0};
    for (int i = 0; i < 100; i++) ASSERT_EQ(app_DispatchPost(Record, i, 0), 0) << i;
    EXPECT_EQ(app_DispatchPost(Record, 100, 0), -1);
    EXPECT_EQ(overflows, 1);
    EXPECT_EQ(app_DispatchFlush(), 100);
    EXPECT_EQ(app_Dispatch.freeList.count, 100);
    EXPECT_EQ(app_DispatchPost(Record, 1, 2), 0);
}

TEST_F(Dispatch, NewestFirstAndExitFromInside) {
    ASSERT_EQ(app_DispatchCreate(0), 0);
    EXPECT_EQ(app_Dispatch.size, 1);
    app_DispatchFree();
    ASSERT_EQ(app_DispatchCreate(10), 0);
    app_DispatchPost(ExitAfter, 9, 0);
    app_DispatchPost(Record, 1, 1);
    app_DispatchPost(Record, 2, 2);
    // Newest first: 2, 1, then the exit ends the loop.
    EXPECT_EQ(app_DispatchRun(), 7);
    EXPECT_EQ(calls, (std::vector<int32_t>{202, 101, 9}));
    EXPECT_EQ(app_Dispatch.callList.count, 0);
    EXPECT_EQ(app_Dispatch.freeList.count, 10);
}

TEST_F(Dispatch, IdleRunsWhileNothingWaits) {
    ASSERT_EQ(app_DispatchCreate(4), 0);
    static int idles = 0;
    idles = 0;
    app_Dispatch.idle = {[](int32_t, int32_t) -> int32_t {
                             if (++idles == 3) app_DispatchExit(0);
                             return 0;
                         },
                         0, 0};
    EXPECT_EQ(app_DispatchRun(), 0);
    EXPECT_EQ(idles, 3);
}

TEST(StringFormat, TakesOnlyWhatItIsGiven) {
    char out[128];
    const AppFormatArg two[] = {"name", "file.bin"};
    app_StringFormat(out, sizeof out, "%s: \"%s\" %%", two, 2);
    EXPECT_STREQ(out, "name: \"file.bin\" %");
    // A damaged string asks for more, and for kinds it cannot have.
    app_StringFormat(out, sizeof out, "%s %s %n %p %s", two, 1);
    EXPECT_STREQ(out, "name %s %n %p %s");
    const AppFormatArg mixed[] = {"x", 42L, 7L, 5L};
    app_StringFormat(out, sizeof out, "-%c [%5ld] %4.4d %-3s|", mixed, 4);
    EXPECT_STREQ(out, "-x [   42] 0007 5  |");
    // Cut at the destination's size, always terminated.
    char small[6];
    app_StringFormat(small, sizeof small, "%s and more", two, 2);
    EXPECT_STREQ(small, "name ");
}

TEST(BuildTime, CompilerTexts) {
    struct Case {
        const char* date;
        const char* time;
        int32_t month, day, year, hour, minute, second;
    };
    const Case cases[] = {
        {"Dec 10 2026", "13:05:09", 12, 10, 2026, 13, 5, 9},
        {"Jan  5 1998", "00:00:59", 1, 5, 1998, 0, 0, 59},
        {"Xyz 17 2001", "23:59:00", 1, 1, 1999, 23, 59, 0},
    };
    for (const Case& c : cases) {
        app_BuildTimeParse(c.date, c.time);
        EXPECT_EQ(app_Record.buildMonth, c.month) << c.date;
        EXPECT_EQ(app_Record.buildDay, c.day) << c.date;
        EXPECT_EQ(app_Record.buildYear, c.year) << c.date;
        EXPECT_EQ(app_Record.buildHour, c.hour) << c.time;
        EXPECT_EQ(app_Record.buildMinute, c.minute) << c.time;
        EXPECT_EQ(app_Record.buildSecond, c.second) << c.time;
    }
}

TEST(LoadingWindow, OpensOnProgressClosesOutsideTheRange) {
    setenv("KRX_PLATFORM", "headless", 0);
    ASSERT_EQ(plat_Init(), 0);
    ASSERT_EQ(app_LoadingProgressSet(5), 0);
    ASSERT_TRUE(app_Loading.open);
    PlatHwnd window = app_Loading.window;
    EXPECT_EQ(plat_WindowFind(APP_LOADING_CLASS), window);
    EXPECT_STREQ(app_Loading.percentText, "5%");
    EXPECT_EQ(app_Loading.position, 5);

    // An unchanged value leaves the window's queue alone.
    plat_PostMessage(window, WM_PAINT, 0, 0);
    app_LoadingProgressSet(5);
    EXPECT_EQ(plat_MessageCount(), 1u);
    app_LoadingProgressSet(6);
    EXPECT_EQ(plat_MessageCount(), 0u);
    EXPECT_STREQ(app_Loading.percentText, "6%");

    EXPECT_EQ(app_LoadingProgressSet(101), 0);
    EXPECT_FALSE(app_Loading.open);
    EXPECT_FALSE(plat_WindowIsValid(window));
    EXPECT_EQ(app_Loading.lastPercent, -1);
    EXPECT_EQ(plat_MessageCount(), 0u);  // its WM_QUIT was taken

    // Reopened by the next value in range, with its caption and 0%.
    app_LoadingProgressSet(0);
    EXPECT_TRUE(app_Loading.open);
    EXPECT_STREQ(app_Loading.percentText, "0%");
    EXPECT_NE(app_Loading.caption[0], 0);
    app_LoadingProgressSet(-1);
    EXPECT_FALSE(app_Loading.open);
    plat_Shutdown();
}

// Whether `text` is drawn in the built-in 8x8 font somewhere with its cells
// inside the box (x, y, w, h) of a 646-wide picture: ink exactly where the
// glyphs have it.
bool ShowsText(const uint32_t* pic, int32_t x, int32_t y, int32_t w, int32_t h, const char* text) {
    int32_t len = (int32_t)strlen(text);
    for (int32_t py = y; py + 8 <= y + h; py++)
        for (int32_t px = x; px + len * 8 <= x + w; px++) {
            bool all = true;
            for (int32_t i = 0; i < len && all; i++) {
                int32_t ch = (unsigned char)text[i];
                for (int32_t r = 0; r < 8 && all; r++)
                    for (int32_t c = 0; c < 8 && all; c++) {
                        bool ink = ch >= DTEXT_FIRST && dtext_Glyphs[(size_t)((ch - DTEXT_FIRST) * 64 + r * 8 + c)];
                        all = (pic[(py + r) * 646 + px + i * 8 + c] == 0) == ink;
                    }
            }
            if (all) return true;
        }
    return false;
}

// The window paints its caption, bar and percentage where the three
// controls would be: caption from 0.05 of the client width, the bar from
// 0.25 to 0.85, the percentage in the tenth after it.
TEST(LoadingWindow, PaintsCaptionBarAndPercentage) {
    setenv("KRX_PLATFORM", "headless", 0);
    ASSERT_EQ(plat_Init(), 0);
    ASSERT_EQ(app_LoadingProgressSet(50), 0);
    app_LoadingCaptionSet("Terrain");
    PlatHwnd painted = 0;
    int32_t w = 0, h = 0;
    const uint32_t* pic = plat_HarnessWindowPicture(&painted, &w, &h);
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(painted, app_Loading.window);
    ASSERT_EQ(w, 646);
    ASSERT_EQ(h, 32);
    // Client area 642 x 28 inside a two-pixel edge.
    EXPECT_TRUE(ShowsText(pic, 2 + 32, 2, 128, 28, "Terrain"));
    EXPECT_FALSE(ShowsText(pic, 2 + 160, 2, 642 - 160, 28, "Terrain"));
    EXPECT_TRUE(ShowsText(pic, 2 + 545, 2, 64, 28, "50%"));
    auto barPixels = [&] {
        int n = 0;
        for (int32_t x = 0; x < 646; x++) n += pic[16 * 646 + x] == 0x000080;
        return n;
    };
    int half = barPixels();
    EXPECT_GT(half, 0);
    // The blocks lie in the bar's left half.
    for (int32_t x = 0; x < 646; x++)
        if (pic[16 * 646 + x] == 0x000080) {
            EXPECT_GE(x, 2 + 160);
            EXPECT_LT(x, 2 + 160 + 385 / 2 + 2);
        }
    app_LoadingProgressSet(100);
    pic = plat_HarnessWindowPicture(nullptr, nullptr, nullptr);
    EXPECT_TRUE(ShowsText(pic, 2 + 545, 2, 64, 28, "100%"));
    int full = barPixels();
    EXPECT_GT(full, 2 * half - 16);
    EXPECT_LT(full, 2 * half + 16);
    app_LoadingProgressSet(-1);
    plat_Shutdown();
}

// Words of the shell that other parts of the program set and read: a fresh
// program runs the default product, the plain render mode and no load.
TEST(ShellWords, StartAtRest) {
    EXPECT_EQ(app_VariantWord, 0);
    EXPECT_EQ(app_ModeWord, 0);
    EXPECT_EQ(app_LoadingFraction, 0.0f);
}
