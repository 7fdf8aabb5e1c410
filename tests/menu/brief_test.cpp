// The briefing screen on the data set's missions: texts and headers, the
// mission file it names, the arrow keys, the map zone, the campaign
// bookkeeping after a flight and the hand-over to the teletype screen.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "base/filetable.h"
#include "display/otw.h"
#include "display/pal_hicolor.h"
#include "menu/brief.h"
#include "menu/camp.h"
#include "menu/loadout.h"
#include "menu/quick.h"
#include "mission_fixture.h"
#include "mission_write.h"
#include "net/bridge.h"
#include "platform/winmsg.h"
#include "shell/keyqueue.h"
#include "shell/runner.h"
#include "shell/settings.h"
#include "sim/ord.h"
#include "world/gamemode.h"
#include "world/level.h"

namespace {

class BriefScreen : public MissionScreensTest {
protected:
    void SetUp() override {
        MissionScreensTest::SetUp();
        mnu_Brief = MnuBriefState{1, 0, 0, 0, {}, nullptr, nullptr};
        mnu_UserMissionName[0] = 0;
    }
    void TearDown() override {
        if (entered) WndMisBrief.leave();
        memset(app_KeyState.downTable, 0, sizeof app_KeyState.downTable);
        app_Settings.LOADOUT_TYPE = 0;
        MissionScreensTest::TearDown();
    }
    bool entered = false;
    void Quick(int32_t file, int32_t mission) {
        mnu_GameMode = 1;
        mnu_MissionSelect(file, mission);
        Enter();
    }
    void Enter() {
        mnu_LeaveFlag = 0;
        WndMisBrief.enter();
        entered = true;
        mnu_TransitionFree();
    }
    // Campaign play of pilot slot 1 on campaign 2, mission m.
    void Campaign(int32_t m, uint16_t returned) {
        mnu_GameMode = 0;
        mnu_PilotSet16(MNU_PILOT_SLOT, 1);
        mnu_PilotSet16(MNU_PILOT_CAMPAIGN, 2);
        mnu_PilotSet16(MNU_PILOT_MISSION, (uint16_t)m);
        mnu_PilotSet16(MNU_PILOT_RETURNED, returned);
    }
};

TEST_F(MenuTest, BriefTextConditionsAndMarkup) {
    struct Case {
        std::vector<MkTableItem> lines;
        const char* text;
    } cases[] = {
        {{{"LINE 1", "Plain.<CR>"}, {"LINE 2", "<TAB>Tab."}}, "Plain.\r\n     Tab."},
        {{{"LINE 1", "(CV 5)+Hidden."}, {"LINE 2", "(CV !5)+Shown."}}, "Shown."},
        {{{"LINE 1", "(CV 1)+A"}, {"LINE 3", "Not read: line 2 is missing... but 3 is."}}, "Not read: line 2 is missing... but 3 is."},
        {{{"LINE 1", "(CV 2)+Nothing passes."}}, ""},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> image = mkdata_TableBuild({{"MISS 4 BRIEF", c.lines}});
        FileTable* t = file_TableRelocate(image.data(), (uint32_t)image.size());
        ASSERT_NE(t, nullptr);
        char out[256];
        mnu_BriefTextFrom(t, 4, out, sizeof out);
        EXPECT_STREQ(out, c.text);
        mnu_BriefTextFrom(t, 3, out, sizeof out);  // another mission's group
        EXPECT_STREQ(out, "");
        char tiny[8];
        mnu_BriefTextFrom(t, 4, tiny, sizeof tiny);  // bounded
        EXPECT_LT(strlen(tiny), sizeof tiny);
    }
}

TEST_F(BriefScreen, QuickMissionHeaderTextAndMissionName) {
    Quick(29, 1);
    EXPECT_STREQ(level_MissionNames.mission, "F29M1.ORF");
    EXPECT_STREQ(AreaText("TxtMBBriefHeader"), "Mission\r\nRange Practice\r\nTime: Dawn Region: Coast\r\n");
    EXPECT_STREQ(AreaText("ScrollMB"),
                 "Take off from the runway and fly the route.\r\n     Watch for the guns around the tower.\r\n"
                 "Land back at the airfield.");
    EXPECT_EQ(mnu_ButtonGetState(&ctx, "BtnMisSkip"), MNU_STATE_DISABLED);
    MnuImageArea* map = mnu_ImageAreaFind(&ctx, "ImageMisBriefMap");
    ASSERT_NE(map, nullptr);
    EXPECT_STREQ(map->imageName, "ImageSMap1");
    EXPECT_EQ(map->left, 339);
    // The default loadout was built once: the store list holds the mission's
    // stores (none here) and the flag keeps it from being rebuilt.
    EXPECT_EQ(mnu_Brief.loadoutBuilt, 1);
}

TEST_F(BriefScreen, AllLinesFailingShowNoDescription) {
    Quick(29, 7);
    EXPECT_STREQ(AreaText("ScrollMB"), "No briefing for this mission.");
}

TEST_F(BriefScreen, UserMissionNamesItsFileAndReadsBriefOne) {
    mnu_GameMode = 1;
    snprintf(mnu_UserMissionName, sizeof mnu_UserMissionName, "%s", "USERMIS.ORF");
    snprintf(mnu_UserMission.title, sizeof mnu_UserMission.title, "%s", "My Own Mission");
    Enter();
    EXPECT_STREQ(level_MissionNames.mission, "USERMIS.ORF");
    EXPECT_NE(strstr(AreaText("TxtMBBriefHeader"), "My Own Mission"), nullptr);
    EXPECT_STREQ(AreaText("ScrollMB"), "A mission of your own.");
    mnu_UserMissionName[0] = 0;
}

TEST_F(BriefScreen, HeldArrowPressesTheScrollButtonUnlessDisabled) {
    Quick(29, 1);
    mnu_ButtonSetState(&ctx, "BtnMBUp", MNU_STATE_NORMAL);
    mnu_ButtonSetState(&ctx, "BtnMBDown", MNU_STATE_NORMAL);
    app_KeyState.downTable[128 + (VK_UP & 0x7F)] = 1;
    mnu_BriefArrowKeys();
    EXPECT_EQ(mnu_ButtonGetState(&ctx, "BtnMBUp"), MNU_STATE_PRESSED);
    EXPECT_EQ(mnu_ButtonGetState(&ctx, "BtnMBDown"), MNU_STATE_NORMAL);
    mnu_ButtonSetState(&ctx, "BtnMBUp", MNU_STATE_DISABLED);
    mnu_BriefArrowKeys();
    EXPECT_EQ(mnu_ButtonGetState(&ctx, "BtnMBUp"), MNU_STATE_DISABLED);
    MnuButton* up = mnu_ButtonFind(&ctx, "BtnMBUp");
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(up->pressTime, 8);
    EXPECT_EQ(up->repeatTime, 1);
}

TEST_F(BriefScreen, MapZoneOpensTheMapOnTheButtonPress) {
    Quick(29, 1);
    ASSERT_NE(mnu_Brief.mapZone, nullptr);
    EXPECT_EQ(mnu_Brief.mapZone->left, 339);
    EXPECT_EQ(mnu_Brief.mapZone->bottom, 350);
    // Event 2 is the left button going down.
    chs_ListDispatch(&mnu_ZoneList, 2, 400, 200);
    EXPECT_EQ(app_Runner.nextState, &WndMap);
    EXPECT_EQ(mnu_LeaveFlag, 1);
}

TEST_F(BriefScreen, AcceptHandsOverToTheTeletypeAndBackGoesToTheChoice) {
    Quick(29, 1);
    app_Settings.LOADOUT_TYPE = 1;
    ord_SavedStoreList.storeCount = 2;
    ord_SavedStoreList.stores[0] = OrdStoreEntry{1, 2, 4, -1};
    ord_SavedStoreList.stores[1] = OrdStoreEntry{-1, 3, 3, -1};
    cbMisAccept(0);
    EXPECT_EQ(app_Runner.nextState, &WndAnime);
    EXPECT_EQ(app_Runner.followOn1, &WndMisBrief);
    EXPECT_EQ(app_Runner.followOn2, &net_InFlightStates[NET_STATE_BRIDGE]);
    EXPECT_EQ(level_GameMode.singlePlayer, 1);
    EXPECT_EQ(level_GameMode.quickMission, 1);
    EXPECT_EQ(mnu_Brief.loadoutBuilt, 0);
    EXPECT_EQ(ord_SavedStoreList.stores[0].count, 4);
    EXPECT_EQ(ord_SavedStoreList.stores[0].capacity, 8);
    EXPECT_EQ(ord_SavedStoreList.stores[1].count, 3);  // unused entries stay
    ord_SavedStoreList = OrdLoadout{};
    // After the flight the briefing is the return state; back leaves it for
    // the quick mission screen.
    mnu_LeaveFlag = 0;
    cbMisBack(0);
    EXPECT_EQ(app_Runner.nextState, &WndQuickMis);
}

// With no map screen seen, the flight flies the mission's player start
// group (side 0's, the first placed player start's), in place of any route
// left from before; a mission file that cannot be read leaves none.
TEST_F(BriefScreen, AcceptWithoutTheMapFliesTheMissionsStartGroup) {
    Quick(29, 1);
    level_WaypointList.count = 2;
    level_WaypointList.entries[0] = {1, 2};
    cbMisAccept(0);
    const MkMission mission = mkdata_SampleMission();
    const auto& group = mission.starts[0];
    ASSERT_EQ(level_WaypointList.count, (int32_t)group.size());
    for (size_t i = 0; i < group.size(); i++) {
        EXPECT_EQ((uint32_t)level_WaypointList.entries[i].x, group[i].x) << i;
        EXPECT_EQ((uint32_t)level_WaypointList.entries[i].z, group[i].z) << i;
    }
    mnu_RouteLoad("NOSUCH.ORF");
    EXPECT_EQ(level_WaypointList.count, 0);
    level_WaypointList = LevelWaypointList{};
}

TEST_F(BriefScreen, FlownCampaignMissionBooksUsedAndGainedStores) {
    Campaign(1, 1);
    mnu_PilotSet16(MNU_PILOT_COMPLETED, 1);
    mnu_PilotSet32(MNU_PILOT_CAMPAIGNS_DONE, 2);  // two campaign files: capped
    mnu_PilotStoreAdd(0, 1, 3);   // used 3 of key 1 (8 in stock)
    mnu_PilotStoreAdd(1, 15, 2);  // gained 2 of key 15 (4 in stock)
    mnu_PilotStoreAdd(1, 30, 5);  // gained a key not in stock
    Enter();
    EXPECT_EQ(mnu_Pilot.gainedCount, 0);
    EXPECT_EQ(mnu_PilotGet16(MNU_PILOT_RETURNED), 0);
    EXPECT_EQ(mnu_PilotGet16(MNU_PILOT_COMPLETED), 0);
    EXPECT_EQ(mnu_PilotGet32(MNU_PILOT_CAMPAIGNS_DONE), 2u);
    EXPECT_EQ(mnu_ButtonGetState(&ctx, "BtnMisSkip"), MNU_STATE_DISABLED);
    EXPECT_NE(strstr(AreaText("TxtMBBriefHeader"), "Campaign 2 Mission 1\r\nLake Patrol"), nullptr);
    // The booking was saved before the default loadout took its stores
    // from the stock in memory.
    WndMisBrief.leave();
    entered = false;
    ASSERT_EQ(mnu_CampLoadoutLoad(1), 1);
    MnuCampList& list = mnu_CampLoadout.lists[1];
    EXPECT_EQ(mnu_CampLoadoutCount(&list, 1), 5);
    EXPECT_EQ(mnu_CampLoadoutCount(&list, 15), 6);
    EXPECT_EQ(mnu_CampLoadoutCount(&list, 30), 5);
}

TEST_F(BriefScreen, ReturnedTwoGoesBackToTheMainScreen) {
    Campaign(2, 2);
    Enter();
    EXPECT_EQ(app_Runner.nextState, &WndMain);
    EXPECT_EQ(mnu_LeaveFlag, 1);
    EXPECT_EQ(mnu_PilotGet16(MNU_PILOT_RETURNED), 0);
}

TEST(PilotRecord, ImageRoundTripAndShortFile) {
    mnu_Pilot = MnuPilot{};
    mnu_PilotSet16(MNU_PILOT_CAMPAIGN, 3);
    mnu_PilotSet32(MNU_PILOT_CAMPAIGNS_DONE, 7);
    mnu_Pilot.counters[100] = 9;
    mnu_PilotStoreAdd(0, 4, 2);
    mnu_PilotStoreAdd(1, 5, 6);
    std::vector<uint8_t> image = mnu_PilotImage();
    mnu_Pilot = MnuPilot{};
    ASSERT_EQ(mnu_PilotParse(image.data(), image.size()), 1);
    EXPECT_EQ(mnu_PilotGet16(MNU_PILOT_CAMPAIGN), 3);
    EXPECT_EQ(mnu_PilotGet32(MNU_PILOT_CAMPAIGNS_DONE), 7u);
    EXPECT_EQ(mnu_Pilot.counters[100], 9);
    EXPECT_EQ(mnu_Pilot.usedCount, 1);
    EXPECT_EQ(mnu_Pilot.gained[0].count, 6);
    // The bare record loads with an empty extension; other sizes do not.
    ASSERT_EQ(mnu_PilotParse(image.data(), MNU_PILOT_SIZE), 1);
    EXPECT_EQ(mnu_PilotGet16(MNU_PILOT_CAMPAIGN), 3);
    EXPECT_EQ(mnu_Pilot.usedCount, 0);
    EXPECT_EQ(mnu_PilotParse(image.data(), MNU_PILOT_SIZE + 1), 0);
    // A count beyond the list is refused.
    image[MNU_PILOT_SIZE + MNU_PILOT_COUNTERS] = 200;
    EXPECT_EQ(mnu_PilotParse(image.data(), image.size()), 0);
    EXPECT_EQ(mnu_PilotGet16(MNU_PILOT_CAMPAIGN), 0);
}

}  // namespace
