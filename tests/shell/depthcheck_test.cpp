// The desktop depth check of the run step: the NOT16BIT dialog, its answers
// and the APP.INI switch that keeps it from coming back.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/file.h"
#include "base/mem.h"
#include "fixtures/heaps.h"
#include "fixtures/workdir.h"
#include "platform/harness.h"
#include "platform/window.h"
#include "shell/settings.h"
#include "shell/startup.h"

namespace {

class DepthCheck : public ::testing::Test {
protected:
    TestWorkDir work;
    void SetUp() override {
        file_StateInit();
        ASSERT_EQ(test_HeapsFresh(0x100000, 0x10000, 0x40000), 0);
        ASSERT_TRUE(work.Enter("krx_depth"));
        app_IniDefaults();
    }
    void TearDown() override {
        plat_Shutdown();
        unsetenv("KRX_SCRIPT");
        plat_HarnessReset();
        work.Leave();
    }
    // A headless platform whose desktop has `bpp` bits and whose dialogs
    // are answered with `answer` (none: the default button).
    void Start(int bpp, const char* answer) {
        setenv("KRX_PLATFORM", "headless", 1);
        if (answer) {
            std::ofstream(work.dir + "/script.txt") << "0 dialog " << answer << "\n";
            setenv("KRX_SCRIPT", (work.dir + "/script.txt").c_str(), 1);
        } else {
            unsetenv("KRX_SCRIPT");
        }
        plat_HarnessReset();
        ASSERT_EQ(plat_Init(), 0);
        plat_HarnessDesktopDepthSet(bpp);
    }
    static std::string Read(const std::string& name) { return test_ReadText(name); }
};

TEST_F(DepthCheck, DialogAnswersAndTheSkipSwitch) {
    struct Case {
        int bpp;
        int32_t skipBefore;
        const char* answer;  // 1013 go on, 1014 stop; 0x10000 = box ticked
        int32_t result;
        bool shown;
        int32_t skipAfter;
        bool written;
    } cases[] = {
        {32, 0, nullptr, 1, false, 0, false},
        {16, 0, nullptr, 1, false, 0, false},
        {15, 1, nullptr, 1, false, 1, false},
        {8, 1, nullptr, 1, false, 1, false},
        {8, 0, "1014", 0, true, 0, false},
        {8, 0, "0", 0, true, 0, false},       // closed
        {8, 0, "1013", 1, true, 0, false},    // went on, box clear
        {8, 0, "66549", 1, true, 1, true},    // went on, box ticked
        {8, 0, "66550", 0, true, 0, false},   // ticked, but stopped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bpp << " bits, answer " << (c.answer ? c.answer : "default"));
        std::filesystem::remove("APP.INI");
        Start(c.bpp, c.answer);
        app_Ini.SKIP_16BIT_CHECK = c.skipBefore;
        testing::internal::CaptureStderr();
        EXPECT_EQ(app_DepthCheck(), c.result);
        std::string log = testing::internal::GetCapturedStderr();
        EXPECT_EQ(log.find("dialog: NOT16BIT: ") != std::string::npos, c.shown) << log;
        EXPECT_EQ(app_Ini.SKIP_16BIT_CHECK, c.skipAfter);
        EXPECT_EQ(std::filesystem::exists("APP.INI"), c.written);
        if (c.written) {
            EXPECT_NE(Read("APP.INI").find("SKIP_16BIT_CHECK 1"), std::string::npos);
            // The next start reads the switch and asks no more.
            app_IniDefaults();
            app_IniRead();
            EXPECT_EQ(app_Ini.SKIP_16BIT_CHECK, 1);
            testing::internal::CaptureStderr();
            EXPECT_EQ(app_DepthCheck(), 1);
            EXPECT_EQ(testing::internal::GetCapturedStderr().find("NOT16BIT"), std::string::npos);
        }
        plat_Shutdown();
    }
}

}  // namespace
