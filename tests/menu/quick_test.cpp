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

TEST_F(QuickList, TheDataSetListsTwoCampaignsAndSevenQuickMissions) {
    ASSERT_EQ(mkdata_WriteMissions("."), 0);
    mnu_MissionListReset();
    EXPECT_EQ(Order(), "29.1 29.2 29.3 29.4 29.5 29.6 29.7 2.1x 2.2x 3.1x 3.2x ");
    EXPECT_EQ(mnu_MissionFileCounts[0], 2);
    EXPECT_STREQ(mnu_MissionFind(3, 1)->title, "Dusk Intercept");
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

// --- The quick mission screen on the data set's script ---

#include <algorithm>
#include <cmath>
#include <fstream>

#include "display/otw.h"
#include "display/pal_hicolor.h"
#include "shell/runner.h"

namespace {

class QuickScreen : public QuickList {
protected:
    void SetUp() override {
        QuickList::SetUp();
        ASSERT_EQ(otw_OpenDisplay(640, 480, 2, 0, 0), 0);
        pal_BuildHighColourTables();
        ASSERT_EQ(mkdata_WriteSoundTriggers("."), 0);
        ASSERT_EQ(mkdata_WriteMenuScript("."), 0);
        test_WriteFile("KRXMENU.BIN", mkdata_MenuDataBuild());
        mnu_ScriptLoad("KRX.MNU", &ctx);
        mnu_Context = &ctx;
        mnu_LeaveFlag = 0;
        app_Runner = AppRunnerState{};
    }
    void TearDown() override {
        if (WndQuickMis.leave) WndQuickMis.leave();
        mnu_TransitionFree();
        mnu_CursorRelease();
        mnu_AcceptKeyCallbackSet(nullptr);
        mnu_CancelKeyCallbackSet(nullptr);
        mnu_Context = nullptr;
        QuickList::TearDown();
        otw_CloseDisplay();
    }
    // Missions 1..count of free file 40.
    static void FreeMissions(int32_t count) {
        CampFile(40);
        for (int32_t i = 1; i <= count; i++) Mission(40, i);
        mnu_MissionListReset();
    }
    void Enter() {
        mnu_LeaveFlag = 0;
        WndQuickMis.enter();
        mnu_TransitionFree();
    }
    int32_t State(const char* button) { return mnu_ButtonGetState(&ctx, button); }
    const char* Row(int32_t r) {
        char name[16];
        snprintf(name, sizeof name, "TxtQMSel%d", r);
        MnuTextArea* a = mnu_TextAreaFind(&ctx, name);
        return a && a->text ? a->text : "";
    }
};

TEST_F(QuickScreen, SixMissionsGiveNoKnobAndDisabledScrolling) {
    FreeMissions(6);
    Enter();
    EXPECT_EQ(mnu_GameMode, 1);
    EXPECT_EQ(mnu_Quick.availableCount, 6);
    EXPECT_EQ(mnu_ImageAreaFind(&ctx, "QuickMis Slider"), nullptr);
    EXPECT_EQ(State("BtnQMUp"), MNU_STATE_DISABLED);
    EXPECT_EQ(State("BtnQMDown"), MNU_STATE_DISABLED);
    // Row text: label, title, time and region from the strings.
    EXPECT_STREQ(Row(5), "Mission\r\nT40M6\r\nTime: Dusk Region: Mountains\r\n");
    EXPECT_EQ(State("BtnQMSel0"), MNU_STATE_LATCHED);
    cbQMDown(0);
    EXPECT_EQ(mnu_Quick.top, 0);
}

TEST_F(QuickScreen, ScrollSelectAndReenterKeepTheSelection) {
    FreeMissions(9);
    Mission(40, 10);  // not in the list until rebuilt
    Enter();
    ASSERT_NE(mnu_ImageAreaFind(&ctx, "QuickMis Slider"), nullptr);
    EXPECT_FLOAT_EQ(mnu_Quick.step, (389.0f - 105.0f) / 3.0f);
    EXPECT_EQ(State("BtnQMUp"), MNU_STATE_DISABLED);
    EXPECT_EQ(State("BtnQMDown"), MNU_STATE_NORMAL);
    for (int32_t i = 0; i < 5; i++) cbQMDown(0);
    mnu_QuickScrollButtonsUpdate();
    EXPECT_EQ(mnu_Quick.top, 3);
    EXPECT_EQ(State("BtnQMDown"), MNU_STATE_DISABLED);
    EXPECT_EQ(State("BtnQMUp"), MNU_STATE_NORMAL);
    EXPECT_NE(strstr(Row(5), "T40M9"), nullptr);
    EXPECT_EQ(mnu_ImageAreaFind(&ctx, "QuickMis Slider")->bottom, 389);  // the knob at the end of its travel
    cbQMSel(4);  // mission 8
    EXPECT_EQ(mnu_QuickMissionCurrent(), mnu_MissionFind(40, 8));
    MnuTextArea* brief = mnu_TextAreaFind(&ctx, "TxtQMBriefing");
    ASSERT_NE(brief, nullptr);
    EXPECT_STREQ(brief->text, "About it.");
    cbQMSel(7);  // no such row: nothing changes
    EXPECT_EQ(mnu_QuickMissionCurrent(), mnu_MissionFind(40, 8));

    // Accept: the briefing next, this screen as both follow-ons.
    cbQMAccept(0);
    EXPECT_EQ(app_Runner.nextState, &WndMisBrief);
    EXPECT_EQ(app_Runner.followOn1, &WndQuickMis);
    EXPECT_EQ(app_Runner.followOn2, &WndQuickMis);
    EXPECT_EQ(mnu_LeaveFlag, 1);
    WndQuickMis.leave();

    // Back from the briefing: the selection stays current and on the page.
    app_Runner.prevState = &WndMisBrief;
    Enter();
    EXPECT_EQ(mnu_Quick.selected, 7);
    EXPECT_EQ(mnu_Quick.top, 3);
    mnu_QuickScrollButtonsUpdate();
    EXPECT_EQ(State("BtnQMSel4"), MNU_STATE_LATCHED);
    cbQMUp(0);
    EXPECT_EQ(mnu_Quick.top, 2);
    EXPECT_EQ(State("BtnQMDown"), MNU_STATE_NORMAL);
}

TEST_F(QuickScreen, KnobDragMovesThePage) {
    FreeMissions(12);
    Enter();
    MnuImageArea* k = mnu_ImageAreaFind(&ctx, "QuickMis Slider");
    ASSERT_NE(k, nullptr);
    const int32_t h = k->bottom - k->top;
    // Far below the knob: six steps toward the mouse (here the whole
    // travel), the knob kept within it and the page clamped to the last.
    mnu_ZoneList.y = 389;
    mnu_QuickKnobDrag(nullptr, 0);
    EXPECT_EQ(k->top, 389 - h);
    EXPECT_EQ(mnu_Quick.top, 6);
    EXPECT_EQ(mnu_Quick.listRedraw, 1);
    const int32_t top = mnu_Quick.top;
    mnu_QuickKnobDrag(nullptr, 0);  // a redraw pending: nothing moves
    EXPECT_EQ(mnu_Quick.top, top);
    // Near the knob: to the mouse; the page from the knob's place.
    mnu_Quick.listRedraw = 0;
    mnu_ZoneList.y = (int16_t)(k->top - 2 * h);
    mnu_QuickKnobDrag(nullptr, 0);
    EXPECT_EQ(k->top, 389 - 3 * h);
    EXPECT_EQ(mnu_Quick.top, std::min(6, (int32_t)lroundf((float)(k->top - 105) / 284.0f * 9.0f)));
    EXPECT_EQ(mnu_Quick.listRedraw, mnu_Quick.top != 6 ? 1 : 0);
    EXPECT_EQ(State("BtnQMUp"), MNU_STATE_NORMAL);
    EXPECT_EQ(State("BtnQMDown"), MNU_STATE_NORMAL);
}

TEST_F(QuickScreen, UserMissionThroughTheOpenFileDialog) {
    FreeMissions(2);
    MkMission m;
    m.text = mkdata_TableBuild({{"MISS 0 HEADERS", {{"TITLE", "My own"}}}});
    test_WriteFile("MINE.ORF", mkdata_MissionBuild(m));
    test_WriteText("NOTMIS.ORF", "not a mission at all");
    std::ofstream("script.txt") << "0 openfile MINE.ORF\n0 openfile NOTMIS.ORF\n0 openfile\n";
    setenv("KRX_SCRIPT", "script.txt", 1);
    plat_Shutdown();
    plat_HarnessReset();
    ASSERT_EQ(plat_Init(), 0);
    unsetenv("KRX_SCRIPT");
    Enter();

    cbQMUser(0);  // a mission: title from its headers, the description falls back
    EXPECT_NE(strstr(mnu_UserMissionName, "MINE.ORF"), nullptr);
    EXPECT_STREQ(mnu_UserMission.title, "My own");
    EXPECT_STREQ(mnu_UserMission.description, "User Mission");
    EXPECT_EQ(mnu_UserMission.available, 1);
    EXPECT_EQ(app_Runner.nextState, &WndMisBrief);

    mnu_LeaveFlag = 0;
    app_Runner.nextState = nullptr;
    for (int32_t i = 0; i < 2; i++) {  // not a mission, then no file: the choice is cleared, the screen stays
        cbQMUser(0);
        EXPECT_STREQ(mnu_UserMissionName, "") << i;
        EXPECT_STREQ(mnu_UserMission.title, "") << i;
        EXPECT_EQ(app_Runner.nextState, nullptr) << i;
        EXPECT_EQ(mnu_LeaveFlag, 0) << i;
    }
}

}  // namespace
