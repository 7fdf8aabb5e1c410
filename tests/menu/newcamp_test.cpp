// Pilot files and the campaign screen: load rules, the round trip of bytes
// the screens do not read, quick missions never writing, a failed save,
// clearing a slot, naming a pilot, campaign stepping, medals and the
// statistics texts; the statistics and splash screens.
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/filetable.h"
#include "menu/newcamp.h"
#include "mission_fixture.h"
#include "shell/keyqueue.h"
#include "shell/runner.h"

namespace {

class NewCampTest : public MissionScreensTest {
protected:
    void SetUp() override {
        MissionScreensTest::SetUp();
        ASSERT_EQ(mkdata_WriteCampScreens("."), 0);
        mnu_NewCamp = MnuNewCampState{};
        mnu_NewCamp.selected = -1;
    }
    void TearDown() override {
        if (entered) WndNewCamp.leave();
        mnu_KeyCaptureSet(0);
        app_KeyQueueClear();
        MissionScreensTest::TearDown();
    }
    bool entered = false;
    void Enter() {
        mnu_MissionListReset();
        WndNewCamp.enter();
        entered = true;
        mnu_TransitionFree();
    }
    // A pilot file for slot n with a callsign and a byte pattern over the
    // rest of the record.
    static std::vector<uint8_t> PilotFile(const char* name, size_t size = MNU_PILOT_FILE_MAX) {
        std::vector<uint8_t> f(size);
        for (size_t i = 0; i < size; i++) f[i] = (uint8_t)(i * 7 + 3);
        if (size >= (size_t)MNU_PILOT_SIZE) {
            memset(&f[MNU_PILOT_CALLSIGN], 0, 22);
            memcpy(&f[MNU_PILOT_CALLSIGN], name, strlen(name));
        }
        // Empty store lists (their counts must stay within 64).
        if (size == MNU_PILOT_FILE_MAX) memset(&f[MNU_PILOT_SIZE + MNU_PILOT_COUNTERS], 0, size - MNU_PILOT_SIZE - MNU_PILOT_COUNTERS);
        return f;
    }
    static bool Exists(const char* name) {
        struct stat st;
        return stat(name, &st) == 0;
    }
    int32_t Frame(const char* area) {
        MnuImageArea* a = mnu_ImageAreaFind(&ctx, area);
        if (!a || !a->frameBase || a->bytesPerFrame <= 0) return -1;
        return (int32_t)((reinterpret_cast<uint8_t*>(a->framePixels) - reinterpret_cast<uint8_t*>(a->frameBase)) /
                         a->bytesPerFrame);
    }
};

TEST_F(NewCampTest, PilotFileLoadRules) {
    struct Case {
        const char* what;
        size_t size;  // 0: no file
        int32_t read;
        bool setAside;
    } cases[] = {
        {"no file", 0, 0, false},
        {"record alone", MNU_PILOT_SIZE, 1, false},
        {"record and extension", MNU_PILOT_FILE_MAX, 1, false},
        {"short", 100, -1, true},
        {"one byte long", MNU_PILOT_SIZE + 1, -1, true},
        {"empty", 1, -1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::remove("FSLOT03.sav");
        std::remove("FSLOT03.sav.bad");
        if (c.size) test_WriteFile("FSLOT03.sav", PilotFile("Ace", c.size));
        mnu_Pilot = MnuPilot{};
        mnu_PilotSet16(MNU_PILOT_SLOT, 3);
        mnu_PilotLoad();
        MnuPilot p;
        EXPECT_EQ(mnu_PilotFileRead(3, &p), c.read == 1 ? 1 : 0);  // a set-aside file is gone
        EXPECT_EQ(Exists("FSLOT03.sav.bad"), c.setAside);
        EXPECT_EQ(mnu_PilotGet16(MNU_PILOT_SLOT), 3);
        for (int32_t at : {MNU_PILOT_RETURNED, MNU_PILOT_COMPLETED}) EXPECT_EQ(mnu_PilotGet16(at), 0);
        EXPECT_EQ(mnu_PilotGet32(MNU_PILOT_RUNTIME), 0u);
        if (c.read == 1) {
            char name[32];
            mnu_PilotCallsign(&mnu_Pilot, name, sizeof name);
            EXPECT_STREQ(name, "Ace");
            const std::vector<uint8_t> f = PilotFile("Ace", c.size);
            EXPECT_EQ(mnu_PilotGet16(MNU_PILOT_CAMPAIGN), f[MNU_PILOT_CAMPAIGN] | f[MNU_PILOT_CAMPAIGN + 1] << 8);
        } else {
            // Nothing loaded: campaign and mission 0 read as 1.
            EXPECT_EQ(mnu_PilotGet16(MNU_PILOT_CAMPAIGN), 1);
            EXPECT_EQ(mnu_PilotGet16(MNU_PILOT_MISSION), 1);
        }
    }
}

TEST_F(NewCampTest, SaveKeepsUnreadBytesAndQuickModeNeverWrites) {
    std::vector<uint8_t> file = PilotFile("Keeper");
    test_WriteFile("FSLOT02.sav", file);
    mnu_PilotSet16(MNU_PILOT_SLOT, 2);
    mnu_PilotLoad();
    // Loading zeroes the run-time fields; everything else goes back as read.
    for (int32_t at : {MNU_PILOT_RETURNED, MNU_PILOT_COMPLETED}) file[at] = file[at + 1] = 0;
    memset(&file[MNU_PILOT_RUNTIME], 0, 4);
    file[MNU_PILOT_SLOT] = 2, file[MNU_PILOT_SLOT + 1] = 0;
    mnu_GameMode = 1;
    EXPECT_EQ(mnu_PilotSaveResult(), 0);
    std::remove("FSLOT02.sav");
    mnu_PilotSave();
    EXPECT_FALSE(Exists("FSLOT02.sav"));
    mnu_GameMode = 0;
    EXPECT_EQ(mnu_PilotSaveResult(), 1);
    EXPECT_EQ(test_ReadFile("FSLOT02.sav"), file);
    // Without a slot nothing is written either.
    mnu_PilotSet16(MNU_PILOT_SLOT, 0);
    EXPECT_EQ(mnu_PilotSaveResult(), 0);
}

TEST_F(NewCampTest, FailedSaveLeavesTheOldFile) {
    const std::vector<uint8_t> old = PilotFile("Old");
    test_WriteFile("FSLOT04.sav", old);
    ASSERT_EQ(mkdir("FSLOT04.sav.tmp", 0755), 0);  // the write aside cannot be made
    mnu_PilotSet16(MNU_PILOT_SLOT, 4);
    mnu_PilotCallsignSet("New");
    EXPECT_EQ(mnu_PilotSaveResult(), 0);
    EXPECT_EQ(test_ReadFile("FSLOT04.sav"), old);
}

TEST_F(NewCampTest, CallsignIsBounded) {
    std::vector<uint8_t> file = PilotFile("");
    memset(&file[MNU_PILOT_CALLSIGN], 'x', 40);  // no terminator within the field
    test_WriteFile("FSLOT05.sav", file);
    Enter();
    EXPECT_EQ(strlen(mnu_NewCamp.names[4]), 21u);
    mnu_PilotCallsignSet("abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(memcmp(mnu_Pilot.record + MNU_PILOT_CALLSIGN, "abcdefghijklmnopqrstu\0", 22), 0);
}

TEST_F(NewCampTest, EmptySlotStartsNameEntryAndAnEmptyNameClearsIt) {
    Enter();
    EXPECT_STREQ(AreaText("EntryNCSlot1"), "Empty");
    EXPECT_EQ(mnu_ButtonGetState(&ctx, "BtnNCAccept"), MNU_STATE_DISABLED);
    cbNCSlot(1);
    MnuEntry* e = mnu_EntryFind(&ctx, "EntryNCSlot1");
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(e->editing);
    EXPECT_EQ(mnu_PilotGet16(MNU_PILOT_SLOT), 2);
    // Return on an empty name: the slot is empty again and nothing is left on disk.
    e->callback(0);
    EXPECT_FALSE(e->editing);
    EXPECT_FALSE(Exists("FSLOT02.sav"));
    EXPECT_STREQ(AreaText("EntryNCSlot1"), "Empty");
    EXPECT_EQ(mnu_ButtonGetState(&ctx, "BtnNCEdit"), MNU_STATE_DISABLED);
    cbNCAccept(0);
    EXPECT_EQ(mnu_LeaveFlag, 0);  // no unnamed pilot flies
    // A name: saved, shown, and the pilot buttons come alive.
    cbNCEdit(0);
    snprintf(mnu_NewCamp.names[1], MNU_SLOT_NAME, "%s", "Goose");
    e->callback(0);
    EXPECT_EQ(test_ReadFile("FSLOT02.sav").size(), MNU_PILOT_FILE_MAX);
    EXPECT_STREQ(AreaText("TxtNCCallsignStats"), "Goose");
    EXPECT_EQ(mnu_ButtonGetState(&ctx, "BtnNCAccept"), MNU_STATE_NORMAL);
    cbNCAccept(0);
    EXPECT_EQ(mnu_LeaveFlag, 1);
    EXPECT_EQ(app_Runner.nextState, &WndMisBrief);
    EXPECT_EQ(app_Runner.followOn1, &WndNewCamp);
}

TEST_F(NewCampTest, ClearingDeletesThePilotAndItsCampaignFile) {
    test_WriteFile("FSLOT06.sav", PilotFile("Iceman"));
    test_WriteFile("FSLOT06.cmp", {'P', 'L', 'T', '1'});
    Enter();
    cbNCSlot(5);
    EXPECT_STREQ(AreaText("EntryNCSlot5"), "Iceman");
    // Cancel keeps both files.
    cbNCClear(0);
    EXPECT_EQ(mnu_NewCamp.dialogOpen, 1);
    cbNCCancel(0);
    EXPECT_TRUE(Exists("FSLOT06.sav"));
    EXPECT_TRUE(Exists("FSLOT06.cmp"));
    cbNCClear(0);
    cbNCOk(0);
    EXPECT_FALSE(Exists("FSLOT06.sav"));
    EXPECT_FALSE(Exists("FSLOT06.cmp"));
    EXPECT_STREQ(AreaText("EntryNCSlot5"), "Empty");
    EXPECT_STREQ(AreaText("TxtNCCallsignStats"), "");
    EXPECT_EQ(mnu_PilotGet16(MNU_PILOT_CAMPAIGN), 1);
    EXPECT_EQ(mnu_PilotGet16(MNU_PILOT_MISSION), 1);
    EXPECT_EQ(mnu_ButtonGetState(&ctx, "BtnNCClear"), MNU_STATE_DISABLED);
}

TEST_F(NewCampTest, CampaignSteppingWrapsAndResumes) {
    test_WriteFile("FSLOT01.sav", PilotFile("Viper", MNU_PILOT_SIZE));
    std::vector<uint8_t> f = test_ReadFile("FSLOT01.sav");
    memset(&f[MNU_PILOT_CAMPAIGN], 0, 4);  // campaign and mission 0: read as 1
    memset(&f[MNU_PILOT_REACHED], 0, MNU_PILOT_REACHED_COUNT);
    f[MNU_PILOT_REACHED + 1] = 1;  // campaign 2: mission 1 reached
    test_WriteFile("FSLOT01.sav", f);
    Enter();
    cbNCSlot(0);
    const int32_t found = mnu_MissionFileCounts[0];
    ASSERT_EQ(found, 3);  // campaigns 1, 2 and 3 in the data set
    struct Step {
        int32_t step, campaign, mission;
        const char* title;
    } steps[] = {{-1, 3, 1, "Dusk Intercept"}, {+1, 1, 1, "Range Day"}, {+1, 2, 2, "Tower Strike"},
                 {+1, 3, 1, "Dusk Intercept"}, {+1, 1, 1, "Range Day"}};
    for (const Step& s : steps) {
        cbNCCampTog(s.step);
        EXPECT_EQ(mnu_PilotGet16(MNU_PILOT_CAMPAIGN), s.campaign);
        EXPECT_EQ(mnu_PilotGet16(MNU_PILOT_MISSION), s.mission);
        EXPECT_STREQ(AreaText("TxtNCCurMis"), s.title);
        EXPECT_EQ(mnu_QuickMissionCurrent()->fileNumber, s.campaign);
    }
    cbNCCampTog(+1);
    EXPECT_STREQ(AreaText("TxtNCCurCamp"), "Lake Campaign");
    EXPECT_STREQ(AreaText("TxtNCCampDesc"), "Patrol the lake and strike the tower.");
    EXPECT_STREQ(AreaText("TxtNCLeftMis"), "1");  // two missions, at the second
}

TEST_F(NewCampTest, CompletedCampaignsShowThatManyMedals) {
    std::vector<uint8_t> f = PilotFile("Hollywood");
    f[MNU_PILOT_CAMPAIGNS_DONE] = 3;
    f[MNU_PILOT_CAMPAIGNS_DONE + 1] = f[MNU_PILOT_CAMPAIGNS_DONE + 2] = f[MNU_PILOT_CAMPAIGNS_DONE + 3] = 0;
    test_WriteFile("FSLOT07.sav", f);
    Enter();
    cbNCSlot(6);
    cbNCStatTog(-1);  // wraps to the medals
    EXPECT_EQ(mnu_NewCamp.subPage, 2);
    EXPECT_STREQ(AreaText("TxtNCSubPage"), "Medals");
    for (int32_t m = 1; m <= MNU_MEDALS; m++) {
        const std::string area = "WndNCMedal" + std::to_string(m);
        EXPECT_EQ(Frame(area.c_str()), m <= 3 ? 1 : 0) << area;
        EXPECT_EQ(mnu_NewCamp.medalZones[m - 1] != nullptr, m <= 3) << area;
    }
    // Hovering a medal lights it and names it; leaving clears the name.
    chs_Zone* z = mnu_NewCamp.medalZones[1];
    chs_ZoneSend(z, CHS_ENTER);
    EXPECT_EQ(Frame("WndNCMedal2"), 2);
    EXPECT_STREQ(AreaText("TxtNCMedalText"), "Silver Wing");
    chs_ZoneSend(z, CHS_LEAVE);
    EXPECT_EQ(Frame("WndNCMedal2"), 1);
    EXPECT_STREQ(AreaText("TxtNCMedalText"), "");
    cbNCStatTog(+1);  // back to the statistics: the zones go
    EXPECT_EQ(mnu_NewCamp.subPage, 0);
    for (chs_Zone* zone : mnu_NewCamp.medalZones) EXPECT_EQ(zone, nullptr);
}

TEST_F(NewCampTest, StatisticsTexts) {
    struct Case {
        uint32_t fired, hits;
        const char* text;
    } pairs[] = {
        {0, 0, "Fired 0      Hit 0      Ratio 0.0"},
        {0, 5, "Fired 0      Hit 5      Ratio 0.0"},  // hits without shots: no division
        {8, 2, "Fired 8      Hit 2      Ratio 25.0"},
        {3, 1, "Fired 3      Hit 1      Ratio 33.3"},
    };
    for (const Case& c : pairs) {
        char out[96];
        mnu_StatsPairFormat(&ctx, c.fired, c.hits, out, sizeof out);
        EXPECT_STREQ(out, c.text);
    }
    struct Time {
        uint32_t minutes;
        const char* text;
    } times[] = {{0, "00:00"}, {59, "00:59"}, {61, "01:01"}, {6000, "100:00"}};
    for (const Time& t : times) {
        char out[16];
        mnu_StatsTimeFormat(t.minutes, out, sizeof out);
        EXPECT_STREQ(out, t.text);
    }
    // The flights' totals into the table; value areas move right once.
    mnu_PilotCallsignSet("Jester");
    mnu_PilotSet32(MNU_PILOT_TOTALS + 0, 4);   // air kills
    mnu_PilotSet32(MNU_PILOT_TOTALS + 8, 2);   // ground kills
    mnu_PilotSet32(MNU_PILOT_TOTALS + 20, 100);  // cannon
    mnu_PilotSet32(MNU_PILOT_TOTALS + 24, 25);
    mnu_PilotSet32(MNU_PILOT_TIME, 75);
    mnu_PilotSet32(MNU_PILOT_SCORE, 1234);
    mnu_Pilot.record[MNU_PILOT_RETIRED] = 1;
    MnuTextArea* v = mnu_TextAreaFind(&ctx, "TxtStScoreStats");
    ASSERT_NE(v, nullptr);
    const int32_t left = v->left;
    for (int32_t i = 0; i < 2; i++) mnu_StatsFill(&ctx, "TxtSt");
    int32_t widest = 0;
    for (const char* row : {"Callsign", "Status", "Time", "AirKills", "GroundKills", "Landed", "Ejected", "Crashed",
                            "ShortRange", "MedRange", "Cannon", "Bombs", "Score"}) {
        int32_t w = 0;
        mnu_TextMeasure(&ctx, "ARIAL10", AreaText((std::string("TxtSt") + row).c_str()), &w, nullptr);
        widest = w > widest ? w : widest;
    }
    ASSERT_GT(widest, 0);
    EXPECT_EQ(v->left, left + widest);
    const struct {
        const char* area;
        const char* text;
    } shown[] = {{"TxtStCallsignStats", "Jester"},
                 {"TxtStStatusStats", "Retired"},
                 {"TxtStTimeStats", "01:15"},
                 {"TxtStAirKillsStats", "4"},
                 {"TxtStGroundKillsStats", "2"},
                 {"TxtStCannonStats", "Fired 100    Hit 25     Ratio 25.0"},
                 {"TxtStScoreStats", "1234"}};
    for (const auto& s : shown) EXPECT_STREQ(AreaText(s.area), s.text) << s.area;
    mnu_StatsClear(&ctx, "TxtSt");
    EXPECT_STREQ(AreaText("TxtStScoreStats"), "");
}

TEST_F(NewCampTest, StatsBackSwitchesOnce) {
    WndStats.enter();
    EXPECT_STREQ(AreaText("TxtStStatusStats"), "Active");
    cbStatsBack(0);
    EXPECT_EQ(app_Runner.nextState, &WndMisBrief);
    app_Runner.nextState = nullptr;
    cbStatsBack(0);  // the same frame: the screen is already leaving
    EXPECT_EQ(app_Runner.nextState, nullptr);
    EXPECT_EQ(WndStats.frame(), 1);
}

TEST_F(NewCampTest, SplashEndsAfterItsTimeOrOnItsCallback) {
    app_TickCount.store(0xFFFFFF00u);  // across the wrap
    WndSplash.enter();
    mnu_TransitionFree();
    app_TickCount.store(0xFFFFFF00u + 1199);
    EXPECT_EQ(WndSplash.frame(), 0);
    app_TickCount.store(0xFFFFFF00u + 1200);
    EXPECT_EQ(WndSplash.frame(), 1);
    app_Runner.nextState = &WndMain;
    WndSplash.leave();
    EXPECT_EQ(app_Runner.nextState, nullptr);
    EXPECT_EQ(app_Runner.chainEnded, 1);

    app_Runner = AppRunnerState{};
    app_TickCount.store(0);
    WndSplash.enter();
    mnu_TransitionFree();
    EXPECT_EQ(WndSplash.frame(), 0);
    cbSplashExit(0);
    EXPECT_EQ(WndSplash.frame(), 1);
    EXPECT_EQ(app_Runner.chainEnded, 1);
}

}  // namespace
