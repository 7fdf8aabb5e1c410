// The real program's front end: the intro movie, the main screen drawn
// from the menu script, its music and button sounds, the credits and back,
// the update program run beside it, and the exit button.
#include <gtest/gtest.h>


#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/bmp.h"
#include "base/file.h"
#include "base/le.h"
#include "fixtures/heaps.h"
#include "shell/mainloop.h"
#include "fixtures/workdir.h"
#include "run_util.h"

namespace {

// The loudest sample of the dump's frames [from, to).
int32_t Peak(const std::string& wav, uint32_t from, uint32_t to) {
    int32_t peak = 0;
    for (uint64_t i = 44 + (uint64_t)from * 4; i + 2 <= wav.size() && i < 44 + (uint64_t)to * 4; i += 2) {
        int16_t v = (int16_t)((uint8_t)wav[i] | (uint8_t)wav[i + 1] << 8);
        peak = std::max(peak, std::abs((int32_t)v));
    }
    return peak;
}

constexpr const char* kGolden = KRX_FIXTURE_DIR "/menu/main_screen.bmp";
// The main screen as shown before the pointer moves (frame number in the dump).
constexpr const char* kMainFrame = "/frame00060.bmp";

TEST(KrxFrontRun, IntroMainScreenCreditsUpdateAndExit) {
    std::string dump;
    std::string dir = run_FreshDataDir("front", &dump);
    ASSERT_FALSE(dir.empty());
    // Credits (hover, press), back by themselves; update; exit.
    test_WriteText(dir + "/script.txt",
                   "150 mouse 320 330\n"
                   "160 lbutton down 320 330\n"
                   "164 lbutton up 320 330\n"
                   "560 mouse 320 366\n"
                   "570 lbutton down 320 366\n"
                   "574 lbutton up 320 366\n"
                   "700 mouse 320 400\n"
                   "710 lbutton down 320 400\n"
                   "714 lbutton up 320 400\n");
    RunResult r = run_Program("krx", {}, dir,
                              {"KRX_SCRIPT=" + dir + "/script.txt", "KRX_MAXTICKS=5000", "KRX_FRAMEDUMP=" + dump,
                               "KRX_AUDIODUMP=" + dir + "/run.wav"});
    // The exit button ends the run long before the tick limit.
    ASSERT_EQ(r.exitCode, 0) << r.err;
    size_t at = r.err.find("krx: ");
    ASSERT_NE(at, std::string::npos) << r.err;
    EXPECT_LT(strtol(r.err.c_str() + at + 5, nullptr, 10), 1000) << r.err;
    EXPECT_NE(r.err.find("loading: closed"), std::string::npos);

    // The intro movie comes first.
    _EIMAGE2* intro = run_LoadFrame(dump, 10);
    ASSERT_NE(intro, nullptr);

    // Then the main screen, as stored.
    std::string main = dump + kMainFrame;
    if (getenv("KRX_GOLDEN_UPDATE")) std::filesystem::copy_file(main, kGolden, std::filesystem::copy_options::overwrite_existing);
    _EIMAGE2* got = img_LoadBmp(main.c_str());
    _EIMAGE2* want = img_LoadBmp(kGolden);
    ASSERT_NE(got, nullptr);
    ASSERT_NE(want, nullptr);
    ASSERT_EQ(got->width, want->width);
    ASSERT_EQ(got->height, want->height);
    int32_t differ = 0;
    for (int32_t y = 0; y < got->height; y++)
        for (int32_t x = 0; x < got->width; x++) differ += run_PixelAt(got, x, y) != run_PixelAt(want, x, y);
    EXPECT_EQ(differ, 0) << main;
    // It differs from the intro's pictures.
    EXPECT_NE(run_PixelAt(got, 320, 100), run_PixelAt(intro, std::min(320, intro->width - 1), std::min(100, intro->height - 1)));


    // The update program ran beside the game (its status lines) and its
    // output file is gone.
    EXPECT_NE(r.err.find("status: All done."), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir + "/$$TMPEXE.$$"));
    // The game's archive mount then finds the member the update put into
    // UPDATED.PFF, expanded (the file beside it is still compressed).
    {
        ASSERT_EQ(test_HeapsFresh(0x100000, 0, 0x40000, TEST_HEAP1), 0);
        std::filesystem::path was = std::filesystem::current_path();
        std::filesystem::current_path(dir);
        file_StateInit();
        app_ArchivesMount();
        file_DiskFirstSet(0);
        char text[128] = {};
        int32_t n = file_RawLoaderEx("UPDMSG.TXT", text, sizeof text - 1);
        std::filesystem::current_path(was);
        file_StateInit();
        ASSERT_GT(n, 0);
        EXPECT_EQ(std::string(text, (size_t)n), "The updated member of UPDATED.PFF.\r\n");
    }

    // Sound: the menu music plays once the main screen shows, and the
    // button sounds of the hover and press come on top.
    std::string wav = test_ReadText(dir + "/run.wav");
    ASSERT_GT(wav.size(), 44u + 4u * 22050u * 5u);
    // Tick t starts near frame t x 551.25 of the dump.
    EXPECT_GT(Peak(wav, 120 * 551, 150 * 551), 0);
    EXPECT_GT(Peak(wav, 150 * 551, 175 * 551), 0);
}

}  // namespace
