// The mission list: scan order, availability of campaign missions, titles
// and descriptions; find and select by numbers.
#include <cstdio>
#include <cstring>

#include "menu/quick.h"
#include "menu_fixture.h"
#include "mission_write.h"
#include "shell/cmdline.h"
#include "shell/settings.h"
#include "world/orf.h"

namespace {

class QuickList : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        mnu_MissionList = nullptr;  // its records went with the last test's heaps
        mnu_MissionCount = 0;
    }
    void TearDown() override {
        app_StartupOptions = 0;
        memset(app_Settings.HIGHEST_COMPLETED_MISSION, 0, sizeof app_Settings.HIGHEST_COMPLETED_MISSION);
        MenuTest::TearDown();
    }
    // File n with missions 1..count; a title unless untitled.
    static void Mission(int32_t n, int32_t i, bool titled = true, uint8_t options = 0) {
        MkMission m;
        m.region = 2;
        m.timeOfDay = 3;
        m.options = options;
        char group[32];
        snprintf(group, sizeof group, "MISS %d HEADERS", i);
        char title[32];
        snprintf(title, sizeof title, "T%dM%d", n, i);
        std::vector<MkTableItem> items;
        if (titled) items.push_back({"TITLE", title});
        items.push_back({"DESCRIPTION", "About it."});
        m.text = mkdata_TableBuild({{group, items}});
        char name[32];
        snprintf(name, sizeof name, "F%dM%d.ORF", n, i);
        test_WriteFile(name, mkdata_MissionBuild(m));
    }
    static void CampFile(int32_t n) {
        char name[32];
        snprintf(name, sizeof name, "FCAMP%02d.bin", n);
        test_WriteText(name, "x");
    }
    static std::string Order() {
        std::string s;
        for (MnuMissionHeader* h = mnu_MissionList; h; h = h->next) {
            char one[32];
            snprintf(one, sizeof one, "%d.%d%s ", h->fileNumber, h->missionNumber, h->available ? "" : "x");
            s += one;
        }
        return s;
    }
};

TEST_F(QuickList, FreeFilesFirstCampaignsGatedThreeWays) {
    CampFile(1);
    CampFile(2);
    CampFile(30);
    Mission(30, 1);
    Mission(30, 2, false);  // no title: skipped
    Mission(1, 1);
    Mission(1, 2);
    Mission(1, 3, true, 1);  // always available
    Mission(2, 1);
    Mission(3, 1);  // no campaign file: never looked at
    app_Settings.HIGHEST_COMPLETED_MISSION[1] = 1;
    mnu_MissionListReset();
    EXPECT_EQ(Order(), "30.1 1.1 1.2x 1.3 2.1x ");
    EXPECT_EQ(mnu_MissionCount, 5);
    EXPECT_EQ(mnu_MissionFileCounts[0], 2);
    EXPECT_EQ(mnu_MissionFileCounts[2], 3);
    EXPECT_EQ(mnu_MissionFileCounts[3], 1);
    EXPECT_EQ(mnu_MissionFileCounts[31], 0);
    MnuMissionHeader* h = mnu_MissionList;
    EXPECT_STREQ(h->title, "T30M1");
    EXPECT_STREQ(h->description, "About it.");
    EXPECT_EQ(h->header[16], 2);

    // The start-up option unlocks every mission; a second build replaces the first.
    app_StartupOptions = 0x80;
    mnu_MissionListReset();
    EXPECT_EQ(Order(), "30.1 1.1 1.2 1.3 2.1 ");
}

TEST_F(QuickList, FindSelectAndCurrent) {
    CampFile(40);
    Mission(40, 1);
    Mission(40, 4);
    mnu_MissionListReset();
    EXPECT_EQ(mnu_QuickMissionCurrent(), mnu_MissionList);
    ASSERT_NE(mnu_MissionFind(40, 4), nullptr);
    EXPECT_EQ(mnu_MissionFind(40, 2), nullptr);
    mnu_MissionSelect(40, 4);
    EXPECT_EQ(mnu_MissionCurrent, 1);
    mnu_MissionSelect(41, 1);  // none: unchanged
    EXPECT_EQ(mnu_QuickMissionCurrent(), mnu_MissionFind(40, 4));
    mnu_MissionCurrent = 2;
    EXPECT_EQ(mnu_QuickMissionCurrent(), nullptr);
}

}  // namespace
