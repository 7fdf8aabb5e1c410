// The campaign screen in the real program: a pilot named in slot 1 and
// saved, the briefing of the first campaign mission, the statistics screen
// from it and back out; a second run flies the saved pilot. The contest
// screen shows its unscrambled picture; the splash screen ends the run.
#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/bmp.h"
#include "fixtures/workdir.h"
#include "menu/newcamp.h"
#include "mkdata.h"
#include "run_util.h"

namespace {

// Keys as a keyboard sends them: key down, the character, key up.
std::string Type(int tick, const std::string& text) {
    std::string out;
    for (char c : text) {
        const char key = (char)(c >= 'a' && c <= 'z' ? c - 32 : c);
        out += std::to_string(tick) + " keydown " + key + "\n" + std::to_string(tick) + " char " + c + "\n" +
               std::to_string(tick + 1) + " keyup " + key + "\n";
        tick += 2;
    }
    return out;
}

std::string Click(int tick, int x, int y) {
    const std::string at = " " + std::to_string(x) + " " + std::to_string(y) + "\n";
    return std::to_string(tick) + " mouse" + at + std::to_string(tick + 10) + " lbutton down" + at +
           std::to_string(tick + 14) + " lbutton up" + at;
}

bool Green(uint32_t rgb) {
    const uint32_t r = rgb >> 16 & 0xff, g = rgb >> 8 & 0xff, b = rgb & 0xff;
    return g > r + 20 && g > b + 20;
}

TEST(KrxCampRun, PilotNamedSavedAndFlownAgain) {
    std::string dump;
    std::string dir = run_FreshDataDir("camp", &dump);
    ASSERT_FALSE(dir.empty());
    // Campaign button, slot 1, a name and Return (commit), Return (fly),
    // the briefing's Statistics button, then Escape back out to the main
    // screen and its exit button.
    RunResult r = run_Krx(dir,
                          Click(150, 320, 186) + Click(300, 120, 64) + Type(340, "Maverick") +
                              "380 key RETURN\n420 key RETURN\n" + Click(600, 530, 400) +
                              "800 key ESCAPE\n1000 key ESCAPE\n1200 key ESCAPE\n" + Click(1400, 320, 402),
                          1700, nullptr, {"KRX_FRAMEDUMP=" + dump, "KRX_FRAMEDUMP_EVERY=50"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<uint8_t> pilot = test_ReadFile(dir + "/FSLOT01.sav");
    ASSERT_EQ(pilot.size(), MNU_PILOT_FILE_MAX);
    EXPECT_EQ(memcmp(&pilot[MNU_PILOT_CALLSIGN], "Maverick\0", 9), 0);
    EXPECT_EQ(pilot[MNU_PILOT_CAMPAIGN], 1);
    EXPECT_EQ(pilot[MNU_PILOT_MISSION], 1);
    // Frames seen in turn: the briefing's region map (campaign 1 is on the
    // coast's green), the statistics screen (no map, no slot buttons down
    // the left), the briefing again.
    int seen = 0;
    for (int f = 0; f <= 1700; f += 50) {
        _EIMAGE2* img = run_LoadFrame(dump, f);
        if (!img) continue;
        const bool map = Green(run_PixelAt(img, 360, 220)) && Green(run_PixelAt(img, 380, 200));
        const bool bare = run_PixelAt(img, 30, 300) == run_PixelAt(img, 5, 300);
        if ((seen == 0 || seen == 2) && map) seen++;
        if (seen == 1 && !map && bare) seen++;
        img_Free(img);
    }
    EXPECT_EQ(seen, 3);

    // A second run: the saved pilot is there, so slot 1 and Return fly at
    // once (an unnamed slot would start the name entry instead).
    std::string dump2 = dir + "/frames2";
    ASSERT_EQ(mkdir(dump2.c_str(), 0755), 0);
    r = run_Krx(dir, Click(150, 320, 186) + Click(300, 120, 64) + "400 key RETURN\n", 700, nullptr,
                {"KRX_FRAMEDUMP=" + dump2, "KRX_FRAMEDUMP_EVERY=100"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    _EIMAGE2* last = run_LoadFrame(dump2, 600);
    ASSERT_NE(last, nullptr);
    EXPECT_TRUE(Green(run_PixelAt(last, 360, 220)));
    img_Free(last);
    EXPECT_EQ(test_ReadFile(dir + "/FSLOT01.sav").size(), MNU_PILOT_FILE_MAX);
}

// Flying a campaign mission from its briefing types the mission's teletype
// page first; the page goes on to the loading screen and the flight.
TEST(KrxCampRun, CampaignMissionTypesItsTeletypePageBeforeTheFlight) {
    std::string dump;
    std::string dir = run_FreshDataDir("camptty", &dump);
    ASSERT_FALSE(dir.empty());
    std::string log;
    RunResult r = run_Krx(dir,
                          Click(150, 320, 186) + Click(300, 120, 64) + Type(340, "Maverick") +
                              "380 key RETURN\n420 key RETURN\n700 key RETURN\n",
                          1300, &log, {"KRX_FRAMEDUMP=" + dump, "KRX_FRAMEDUMP_EVERY=50"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // The page's white text on its dark background, in the text rectangle
    // from (40, 60): few characters early on, more as it types.
    auto typed = [&](int frame) {
        _EIMAGE2* img = run_LoadFrame(dump, frame);
        if (!img) return -1;
        int n = 0;
        for (int y = 60; y < 110; y++)
            for (int x = 40; x < 600; x++) {
                const uint32_t p = run_PixelAt(img, x, y);
                n += (p >> 16 & 0xff) > 200 && (p >> 8 & 0xff) > 200 && (p & 0xff) > 200;
            }
        const uint32_t back = run_PixelAt(img, 620, 460);
        img_Free(img);
        return (back >> 16 & 0xff) < 60 ? n : -1;
    };
    int first = -1, most = 0;
    for (int f = 700; f <= 900; f += 50) {
        const int n = typed(f);
        if (n > 0 && first < 0) first = n;
        most = std::max(most, n);
    }
    EXPECT_GT(first, 0);
    EXPECT_GT(most, first);
    EXPECT_GT(run_LogTick(log, "server start mode=single"), 750) << log;
}

TEST(KrxCampRun, ContestShowsItsPictureAndSplashEndsTheRun) {
    std::string dump;
    std::string dir = run_FreshDataDir("contest", &dump);
    ASSERT_FALSE(dir.empty());
    ASSERT_EQ(mkdir((dir + "/D:").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((dir + "/D:/autorun").c_str(), 0755), 0);
    test_WriteText(dir + "/setup.cd", "D:");
    // A full-screen picture: red with a yellow block at (100..199, 50..99).
    uint8_t palette[768];
    mkdata_GamePalette(palette);
    std::vector<uint8_t> px(640 * 480, (uint8_t)mkdata_PaletteNearest(palette, 220, 30, 30));
    const uint8_t yellow = (uint8_t)mkdata_PaletteNearest(palette, 240, 230, 40);
    for (int y = 50; y < 100; y++) memset(&px[(size_t)y * 640 + 100], yellow, 100);
    test_WriteFile(dir + "/D:/autorun/contest1.pcx",
                   mkdata_ContestPictureBuild(dir, 640, 480, px.data(), palette, mnu_ContestKey));
    RunResult r = run_Krx(dir, "400 key ESCAPE\n", 600, nullptr,
                          {"KRX_SCREEN=contest", "KRX_FRAMEDUMP=" + dump, "KRX_FRAMEDUMP_EVERY=100"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    bool shown = false, left = false;
    for (int f = 0; f <= 600; f += 100) {
        _EIMAGE2* img = run_LoadFrame(dump, f);
        if (!img) continue;
        const uint32_t block = run_PixelAt(img, 150, 75), field = run_PixelAt(img, 400, 300);
        const bool picture = (block >> 16 & 0xff) > 200 && (block >> 8 & 0xff) > 200 && (field >> 16 & 0xff) > 180 &&
                             (field >> 8 & 0xff) < 80;
        if (picture) shown = true;
        if (shown && !picture) left = true;  // back to the briefing after Escape
        img_Free(img);
    }
    EXPECT_TRUE(shown);
    EXPECT_TRUE(left);

    // The splash screen ends the state chain, and so the run, by itself.
    r = run_Program("krx", {}, dir, {"KRX_SCREEN=splash", "KRX_MAXTICKS=5000"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const size_t steps = r.err.rfind(" frame steps");
    ASSERT_NE(steps, std::string::npos) << r.err;
    const size_t from = r.err.rfind("krx: ", steps);
    ASSERT_NE(from, std::string::npos);
    const long n = atol(r.err.c_str() + from + 5);
    EXPECT_GE(n, 1200);
    EXPECT_LT(n, 2000);
}

}  // namespace
