// The real program's options screen: from the main screen to the sound
// page, the effects slider dragged to its right end, then the keyboard page
// where the first action is bound to Ctrl+F11; Escape goes back. The
// settings file and the input map file hold the changes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "input/inmapfile.h"
#include "platform/winmsg.h"
#include "run_util.h"

namespace {

TEST(KrxOptionRun, SliderAndKeyBindingReachTheirFiles) {
    // The binding made here is none of the defaults.
    for (const InmapBinding* b = inmap_DefaultBindings; b->action; b++)
        ASSERT_FALSE(b->kind == INMAP_KIND_KEYBOARD && b->code == VK_F11 && b->modifiers == INMAP_MOD_CTRL);
    std::string dir = run_FreshDataDir("options");
    ASSERT_FALSE(dir.empty());
    std::string simLog;
    RunResult r = run_Krx(dir,
                          // Options, then the next page (sound).
                          "150 mouse 320 258\n160 lbutton down 320 258\n164 lbutton up 320 258\n"
                          "300 mouse 434 72\n310 lbutton down 434 72\n314 lbutton up 434 72\n"
                          // The effects slider (row 203..220) dragged to the right.
                          "400 mouse 360 210\n410 lbutton down 360 210\n414 mouse 450 210\n420 mouse 500 210\n"
                          "426 mouse 550 210\n450 lbutton up 550 210\n"
                          // Three pages on: the keyboard.
                          "460 mouse 434 72\n470 lbutton down 434 72\n474 lbutton up 434 72\n"
                          "500 lbutton down 434 72\n504 lbutton up 434 72\n"
                          "530 lbutton down 434 72\n534 lbutton up 434 72\n"
                          // The first row, then Ctrl+F11.
                          "600 mouse 200 130\n610 lbutton down 200 130\n614 lbutton up 200 130\n"
                          "640 keydown CONTROL\n642 key F11\n644 keyup CONTROL\n"
                          "700 key ESCAPE\n",
                          900, &simLog);
    ASSERT_EQ(r.exitCode, 0) << r.err;

    EXPECT_NE(run_ReadAll(dir + "/KRX.INI").find("SFX_VOLUME 255"), std::string::npos);
    // The mixer's master volume followed the knob on its way.
    std::istringstream log(simLog);
    std::vector<int> volumes;
    for (std::string line; std::getline(log, line);) {
        size_t at = line.find(" sound master=");
        if (at != std::string::npos) volumes.push_back(atoi(line.c_str() + at + 14));
    }
    ASSERT_GE(volumes.size(), 3u) << simLog;
    EXPECT_EQ(volumes.back(), 255);
    for (size_t i = 1; i < volumes.size(); i++) EXPECT_GT(volumes[i], volumes[i - 1]);

    // One action of the keyboard section now answers Ctrl+F11.
    std::istringstream inp(run_ReadAll(dir + "/" + INMAP_FILE_DEFAULT));
    int32_t found = 0;
    bool keyboard = false;
    for (std::string line; std::getline(inp, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("KEYBOARD", 0) == 0 || line.rfind("JOYSTICK ", 0) == 0) keyboard = line[0] == 'K';
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string one; words >> one;) w.push_back(one);
        found += keyboard && w.size() == 3 && w[1] == "CTRL" && w[2] == "F11";
    }
    EXPECT_EQ(found, 1) << run_ReadAll(dir + "/" + INMAP_FILE_DEFAULT);
}

}  // namespace
