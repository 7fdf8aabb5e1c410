// The contest screen: the drive from "setup.cd", the first or second
// picture by the time since the launch and the CONTEST setting, the picture
// unscrambled and decoded, and every failure leaving at once.
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/mem.h"
#include "display/pal.h"
#include "display/pcx.h"
#include "menu/loadout.h"
#include "menu/newcamp.h"
#include "mission_fixture.h"
#include "shell/settings.h"

namespace {

constexpr int32_t kW = 32, kH = 24;

class ContestTest : public MissionScreensTest {
protected:
    void SetUp() override {
        MissionScreensTest::SetUp();
        app_Settings.CONTEST = 0;
        mnu_FlightStartTick = 1000;
        app_TickCount.store(1000);
        mkdata_GamePalette(palette);
        ASSERT_EQ(mkdir("D:", 0755), 0);
        ASSERT_EQ(mkdir("D:/autorun", 0755), 0);
    }
    void TearDown() override {
        if (entered) WndContest.leave();
        app_Settings.CONTEST = 0;
        mnu_FlightStartTick = 0;
        MissionScreensTest::TearDown();
    }
    uint8_t palette[768];
    bool entered = false;
    // Picture n: a block of one colour on another, different for each.
    std::vector<uint8_t> Pixels(int32_t n) {
        std::vector<uint8_t> px((size_t)kW * kH, (uint8_t)mkdata_PaletteNearest(palette, 20, 20, 90));
        const uint8_t mark = (uint8_t)(n == 1 ? mkdata_PaletteNearest(palette, 230, 40, 40)
                                              : mkdata_PaletteNearest(palette, 40, 230, 40));
        for (int32_t y = 4; y < 12; y++) memset(&px[(size_t)y * kW + 8], mark, 10);
        return px;
    }
    void Picture(int32_t n, const char* key = mnu_ContestKey) {
        std::vector<uint8_t> px = Pixels(n);
        const std::string name = "D:/autorun/contest" + std::to_string(n) + ".pcx";
        test_WriteFile(name, mkdata_ContestPictureBuild(".", kW, kH, px.data(), palette, key));
    }
    // The picture decoded straight from its plain PCX.
    std::vector<uint16_t> Plain(int32_t n) {
        std::vector<uint8_t> px = Pixels(n);
        std::vector<uint8_t> file = mkdata_PcxBuild(".", kW, kH, px.data(), palette);
        pal_SetRgbMasks(0x7C00, 0x3E0, 0x1F);
        auto* p = static_cast<uint16_t*>(pcx_LoadIntoBuffer(file.data(), (int32_t)file.size(), 16));
        std::vector<uint16_t> out(p, p + kW * kH);
        mem_Free(p);
        return out;
    }
    void Enter(uint32_t since) {
        app_TickCount.store(mnu_FlightStartTick + since);
        mnu_LeaveFlag = 0;
        WndContest.enter();
        entered = true;
    }
};

TEST_F(ContestTest, PictureByTimeAndSetting) {
    test_WriteText("setup.cd", "D:");
    Picture(1);
    Picture(2);
    struct Case {
        uint32_t since;
        uint8_t contestBefore;
        int32_t picture;
        uint8_t contestAfter;
    } cases[] = {
        {0, 0, 1, 0}, {7200, 0, 1, 0}, {7201, 0, 2, 1}, {10, 1, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.since);
        app_Settings.CONTEST = c.contestBefore;
        Enter(c.since);
        EXPECT_EQ(mnu_LeaveFlag, 0);
        EXPECT_EQ(mnu_Contest.picture, c.picture);
        EXPECT_EQ(app_Settings.CONTEST, c.contestAfter);
        ASSERT_NE(mnu_Contest.background, nullptr);
        ASSERT_EQ(mnu_Contest.width, kW);
        ASSERT_EQ(mnu_Contest.height, kH);
        EXPECT_EQ(std::vector<uint16_t>(mnu_Contest.background, mnu_Contest.background + kW * kH), Plain(c.picture));
        WndContest.leave();
        entered = false;
        EXPECT_EQ(app_Runner.nextState, &WndMisBrief);
        EXPECT_EQ(mnu_Contest.background, nullptr);
    }
    cbCONTESTBack(0);
    EXPECT_EQ(mnu_LeaveFlag, 1);
}

TEST_F(ContestTest, FailuresLeaveAtOnce) {
    struct Case {
        const char* what;
        const char* setup;  // null: no "setup.cd"
        bool picture;
        const char* key;
    } cases[] = {
        {"no setup.cd", nullptr, true, mnu_ContestKey},
        {"setup.cd too short", "D", true, mnu_ContestKey},
        {"no picture on the drive", "D:", false, mnu_ContestKey},
        {"another drive", "E:", true, mnu_ContestKey},
        {"scrambled under another key", "D:", true, "Another phrase, not ours!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::remove("setup.cd");
        std::remove("D:/autorun/contest1.pcx");
        if (c.setup) test_WriteText("setup.cd", c.setup);
        if (c.picture) Picture(1, c.key);
        Enter(0);
        EXPECT_EQ(mnu_LeaveFlag, 1);
        EXPECT_EQ(mnu_Contest.picture, 0);
        EXPECT_EQ(mnu_Contest.background, nullptr);
        EXPECT_EQ(app_Settings.CONTEST, 0);
        EXPECT_EQ(WndContest.frame(), 1);
    }
}

}  // namespace
