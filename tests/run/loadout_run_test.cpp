// The whole front end around a flight: main screen, quick mission, the
// briefing, the loadout with its aircraft preview, back to the briefing,
// the loading page into the flight; leaving the flight through the
// debriefing returns to the briefing, from which the mission is flown again.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/bmp.h"
#include "run_util.h"

namespace {

// Pixels of the preview rectangle (16, 17)-(625, 240) that are neither the
// black it is cleared to nor the page behind it; -1 when the corners are not
// cleared (no preview on this frame).
int32_t PreviewInk(const _EIMAGE2* img) {
    const uint32_t page = run_PixelAt(img, 8, 8);
    if (run_PixelAt(img, 17, 18) != 0 || run_PixelAt(img, 623, 238) != 0 || page == 0) return -1;
    int32_t n = 0;
    for (int32_t y = 17; y < 240; y += 2)
        for (int32_t x = 16; x < 625; x += 2) {
            uint32_t p = run_PixelAt(img, x, y);
            n += p != 0 && p != page;
        }
    return n;
}

long Count(const std::string& log, const std::string& what) {
    long n = 0;
    for (size_t at = log.find(what); at != std::string::npos; at = log.find(what, at + 1)) n++;
    return n;
}

TEST(KrxLoadoutRun, PreviewThenFlightThenBackToTheBriefingAndFlyAgain) {
    std::string dump;
    std::string dir = run_FreshDataDir("loadout", &dump);
    ASSERT_FALSE(dir.empty());
    std::string log;
    RunResult r = run_Krx(dir,
                          // Quick mission, then its briefing.
                          std::string(kRunToBriefing) +
                          // The briefing's loadout button; a store on the third station.
                          "500 mouse 110 400\n510 lbutton down 110 400\n514 lbutton up 110 400\n"
                          "620 mouse 248 318\n630 lbutton down 248 318\n634 lbutton up 248 318\n"
                          // Accept the loadout, fly from the briefing.
                          "800 key RETURN\n1000 key RETURN\n"
                          // Leave the flight: Escape, yes, then back to the menus.
                          "1300 key ESCAPE\n1310 keydown Y\n1310 char Y\n1311 keyup Y\n"
                          "1400 key 2\n1400 char 2\n"
                          // Fly again from the briefing.
                          "1700 key RETURN\n",
                          1900, &log, {"KRX_FRAMEDUMP=" + dump, "KRX_FRAMEDUMP_EVERY=25"});
    ASSERT_EQ(r.exitCode, 0) << r.err;

    // The first flight starts after the loadout was accepted and the
    // briefing's Enter; the debriefing's choice ends it.
    long first = run_LogTick(log, "server start mode=single");
    EXPECT_GE(first, 1000) << log;
    long choice = run_LogTick(log, "client end of flight choice=1");
    EXPECT_GT(choice, first) << log;
    long stop = run_LogTick(log, "client stop");
    EXPECT_GE(stop, choice) << log;
    // Back in the briefing, its Enter flies the mission again.
    size_t again = log.find("server start mode=single", log.find("client stop"));
    ASSERT_NE(again, std::string::npos) << log;
    EXPECT_GE(std::stol(log.substr(log.rfind('\n', again) + 1)), 1700) << log;
    EXPECT_EQ(Count(log, "client start mode=bridge"), 2) << log;
    EXPECT_NE(log.find("player placed", again), std::string::npos) << log;

    // A frame of the loadout screen shows the aircraft in its preview.
    std::vector<std::string> frames;
    if (DIR* d = opendir(dump.c_str())) {
        while (dirent* e = readdir(d))
            if (std::string(e->d_name).find(".bmp") != std::string::npos) frames.push_back(e->d_name);
        closedir(d);
    }
    std::sort(frames.begin(), frames.end());
    int32_t best = -1;
    for (const std::string& f : frames) {
        _EIMAGE2* img = img_LoadBmp((dump + "/" + f).c_str());
        if (!img) continue;
        best = std::max(best, PreviewInk(img));
        img_Free(img);
    }
    EXPECT_GT(best, 500) << "no frame shows the aircraft in the loadout preview";
}

}  // namespace
