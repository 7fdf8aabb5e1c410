// Mission goals and their outcome, the squadron buffer, the HUD repeater,
// the score page's scrolling and the mission score.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/filetable.h"
#include "base/mem.h"
#include "cockpit/hud.h"
#include "cockpit/tacmap.h"
#include "fixtures/heaps.h"
#include "display/dsurf.h"
#include "input/inmap.h"
#include "mkdata.h"
#include "net/player.h"
#include "net/server.h"
#include "world/level.h"

namespace {

// A heap for the goal lists and the squadron buffer; one the earlier tests
// of this program made is kept (their blocks stay valid).
void HeapReady(void) {
    if (!mem_MainHeap.base) {
        ASSERT_EQ(test_HeapsFresh(1u << 20, 0, 0), 0);
    }
    mem_CurrentHeap = &mem_MainHeap;
}

uint8_t& Counter(int32_t n) { return level_MissionOptions[LEVEL_DESTROYED_TABLE_SIZE + n]; }

class Goals : public ::testing::Test {
protected:
    FileTable* table = nullptr;
    void SetUp() override {
        HeapReady();
        memset(level_MissionOptions, 0, sizeof level_MissionOptions);
    }
    void TearDown() override {
        tacmap_GoalsFree();
        if (table) mem_Free(table);
        memset(level_MissionOptions, 0, sizeof level_MissionOptions);
        tacmap_MissionOutcome = 0;
    }
    void Load(const std::vector<MkTableItem>& items, int32_t mission = 1) {
        std::vector<uint8_t> image = mkdata_TableBuild({{"MISS 1 GOALS", items}, {"MISS 2 BRIEF", {{"LINE 1", "x"}}}});
        table = file_TableRelocate(image.data(), (uint32_t)image.size());
        ASSERT_NE(table, nullptr);
        tacmap_GoalsLoadFrom(table, mission);
    }
};

TEST_F(Goals, ConditionPrefixes) {
    struct Case {
        const char* text;
        int32_t counter5;
        const char* shown;  // null: hidden
    } cases[] = {
        {"(CV 5)+Bomb the bridge", 0, nullptr},
        {"(CV 5)+Bomb the bridge", 3, "Bomb the bridge"},
        {"(CV !5)+Bomb the bridge", 0, "Bomb the bridge"},
        {"(CV !5)+Bomb the bridge", 1, nullptr},
        {"Plain text, no plus", 1, "Plain text, no plus"},
        {"Before+after+again", 0, "after+again"},
        // Counters outside 0..511 read 0.
        {"(CV 600)+Far", 1, nullptr},
        {"(CV !600)+Far", 1, "Far"},
        {"(CV -5)+Negative", 1, nullptr},
        {"(CV 99999999999)+Huge", 1, nullptr},
        // Not a condition: shown after the first plus.
        {"(CV x)+Odd", 0, "Odd"},
        {"(CV 5", 0, "(CV 5"},
        {"", 0, ""},
    };
    for (const Case& c : cases) {
        Counter(5) = (uint8_t)c.counter5;
        const char* r = tacmap_GoalConditionTest(c.text);
        if (!c.shown)
            EXPECT_EQ(r, nullptr) << c.text << " counter " << c.counter5;
        else
            EXPECT_STREQ(r, c.shown) << c.text << " counter " << c.counter5;
    }
    EXPECT_EQ(tacmap_GoalConditionTest(nullptr), nullptr);
}

TEST_F(Goals, LabelConditionModes) {
    Counter(7) = 0;
    TacmapLabelCondition c{0, 7};
    EXPECT_EQ(tacmap_LabelConditionTest(&c), 0);
    c.mode = 1;
    EXPECT_EQ(tacmap_LabelConditionTest(&c), 1);
    c.mode = 2;
    EXPECT_EQ(tacmap_LabelConditionTest(&c), 0);
    Counter(7) = 1;
    EXPECT_EQ(tacmap_LabelConditionTest(&c), 1);
    c.mode = 1;
    EXPECT_EQ(tacmap_LabelConditionTest(&c), 0);
    EXPECT_EQ(tacmap_LabelConditionTest(nullptr), 0);
}

TEST_F(Goals, ListsLoadUntilTheFirstMissingNumber) {
    Counter(5) = 0;
    Load({{"PRIMARY 2", "No first primary goal"},
          {"SECONDARY 1", "(CV 5)+Hidden"},
          {"SECONDARY 2", "Shown"},
          {"SECONDARY 4", "After a gap"},
          {"BONUS 1", "(CV !5)+Bonus"},
          {"FAIL 1", "Lose the aircraft"}});
    EXPECT_EQ(tacmap_Goals[TACMAP_GOALS_PRIMARY].count, 0);
    const TacmapGoalList& s = tacmap_Goals[TACMAP_GOALS_SECONDARY];
    ASSERT_EQ(s.count, 2);
    EXPECT_EQ(s.visible, 1);
    EXPECT_EQ(s.remaining, 1);
    EXPECT_EQ(s.entries[0].text, nullptr);
    EXPECT_STREQ(s.entries[1].text, "Shown");
    EXPECT_STREQ(tacmap_Goals[TACMAP_GOALS_BONUS].entries[0].text, "Bonus");
    EXPECT_EQ(tacmap_Goals[TACMAP_GOALS_FAIL].kind, TACMAP_GOALS_FAIL);
    // Another mission's group has no goals.
    tacmap_GoalsLoadFrom(table, 2);
    for (const TacmapGoalList& l : tacmap_Goals) EXPECT_EQ(l.count, 0);
    tacmap_GoalsLoadFrom(nullptr, 1);
    EXPECT_EQ(tacmap_Goals[TACMAP_GOALS_FAIL].count, 0);
}

TEST_F(Goals, MarksDecideTheOutcome) {
    Load({{"PRIMARY 1", "One"}, {"PRIMARY 2", "(CV 9)+Hidden"}, {"PRIMARY 3", "Three"},
          {"BONUS 1", "B"}, {"FAIL 1", "F"}});
    tacmap_GoalsUpdate();
    // Goal numbers are entry indices: goal 0 is "PRIMARY 1".
    EXPECT_EQ(tacmap_GoalAction(TACMAP_GOALS_BONUS, 0), 1);
    EXPECT_EQ(tacmap_BonusDone, 1);
    EXPECT_EQ(tacmap_GoalAction(TACMAP_GOALS_PRIMARY, 0), 1);
    EXPECT_EQ(tacmap_GoalAction(TACMAP_GOALS_PRIMARY, 0), 1);  // twice counts once
    EXPECT_EQ(tacmap_GoalAction(TACMAP_GOALS_PRIMARY, 1), 1);  // hidden: no open goal less
    EXPECT_EQ(tacmap_GoalAction(TACMAP_GOALS_PRIMARY, 3), 0);  // no such goal
    EXPECT_EQ(tacmap_GoalAction(TACMAP_GOALS_PRIMARY, -1), 0);
    EXPECT_EQ(tacmap_GoalAction(7, 0), 0);                     // no such list
    EXPECT_EQ(tacmap_Goals[TACMAP_GOALS_PRIMARY].remaining, 1);
    EXPECT_EQ(tacmap_MissionOutcome, 0);
    tacmap_GoalAction(TACMAP_GOALS_PRIMARY, 2);
    EXPECT_EQ(tacmap_MissionOutcome, 1);
    EXPECT_EQ(tacmap_MissionComplete, 1);
    // A fail goal after success keeps the success.
    tacmap_GoalAction(TACMAP_GOALS_FAIL, 0);
    EXPECT_EQ(tacmap_MissionOutcome, 1);

    // A level start opens every goal again; a fail goal first fails it.
    tacmap_GoalsUpdate();
    EXPECT_EQ(tacmap_Goals[TACMAP_GOALS_PRIMARY].remaining, 2);
    EXPECT_EQ(tacmap_Goals[TACMAP_GOALS_PRIMARY].entries[0].done, 0);
    EXPECT_EQ(tacmap_BonusDone, 0);
    tacmap_GoalAction(TACMAP_GOALS_FAIL, 0);
    EXPECT_EQ(tacmap_MissionOutcome, 2);
    tacmap_GoalAction(TACMAP_GOALS_PRIMARY, 0);
    tacmap_GoalAction(TACMAP_GOALS_PRIMARY, 2);
    EXPECT_EQ(tacmap_MissionOutcome, 2);
}

TEST(MissionScore, WeightsAndTheReducedScore) {
    TacmapStatistics s{};
    s.counter[0] = 2;          // C0
    s.counter[1] = 1;          // C1
    s.counter[2] = 3;          // C2
    s.weapon[1].count[2] = 4;  // K1
    s.weapon[2].count[2] = 5;  // K2
    s.weapon[3].count[2] = 6;  // K3
    // 10 + 4 + 75 x (5 + 2) + 250 x (2 + 2 x (3 + 1)) + 100 x 6
    const int32_t full = 10 + 4 + 75 * 7 + 250 * 10 + 600;
    EXPECT_EQ(tacmap_MissionScore(&s, 10, 1, 0), full);
    EXPECT_EQ(tacmap_MissionScore(&s, 10, 1, 1), full * 3 / 4);
    TacmapStatistics one{};
    EXPECT_EQ(tacmap_MissionScore(&one, 1, 0, 1), 0);  // 0.75 toward zero
    EXPECT_EQ(tacmap_MissionScore(nullptr, 10, 1, 0), 0);
}

TEST(Statistics, ImageLayout) {
    TacmapStatistics s{};
    s.counter[3] = 0x01020304;
    s.weapon[2] = {7, {1, 2, 3, 4}};
    s.typeCount = 1;
    s.types[0] = {12, {9, 8, 7, 6}};
    std::vector<uint8_t> image(TACMAP_STATISTICS_SIZE, 0xEE);
    tacmap_StatisticsImage(&s, image.data());
    EXPECT_EQ(image[12], 0x04);
    EXPECT_EQ(image[15], 0x01);
    EXPECT_EQ(image[32 + 48], 7);       // record 2: type
    EXPECT_EQ(image[32 + 48 + 8], 2);   // second count
    EXPECT_EQ(image[152], 1);           // type records
    EXPECT_EQ(image[156], 12);
    EXPECT_EQ(image[156 + 4], 9);
    EXPECT_EQ(image[TACMAP_STATISTICS_SIZE - 1], 0);
}

// ---- Squadrons ----

class Squadrons : public ::testing::Test {
protected:
    PlayerSlot players[20]{};
    void SetUp() override {
        HeapReady();
        tacmap_SquadronBufferInit();
        ASSERT_NE(tacmap_SquadronBuffer, nullptr);
        for (int32_t i = 0; i < 20; i++) {
            players[i].squadron = 0xFFFF;
            players[i].name = "Pilot";
            players[i].playerId = (uint32_t)i;
        }
    }
    void TearDown() override { tacmap_SquadronBuffer = nullptr; }
    int32_t Join(int32_t p, const char* name, const char* password = "") {
        return tacmap_SquadronJoin(&players[p], name, password);
    }
};

TEST_F(Squadrons, SixteenEntriesAndPasswords) {
    char name[8];
    for (int32_t i = 0; i < TACMAP_SQUADRONS; i++) {
        snprintf(name, sizeof name, "SQ%d", (int)i);
        EXPECT_EQ(Join(i, name, i == 3 ? "secret" : ""), i);
        EXPECT_EQ(players[i].squadron, i);
    }
    EXPECT_EQ(Join(16, "SQ16"), -1);  // a 17th squadron is refused
    EXPECT_EQ(players[16].squadron, 0xFFFF);
    EXPECT_EQ(Join(16, "SQ3", "wrong"), -1);
    EXPECT_EQ(Join(16, "SQ3", ""), -1);
    EXPECT_EQ(tacmap_SquadronMembers(3), 1);
    EXPECT_EQ(Join(16, "SQ3", "secret"), 3);
    EXPECT_EQ(tacmap_SquadronMembers(3), 2);
    EXPECT_EQ(player_Table[16].squadron, 3);
    EXPECT_EQ(Join(17, "SQ5", "anything"), 5);  // an open squadron
    EXPECT_EQ(Join(18, "sq5"), -1);             // names compare exactly
    EXPECT_EQ(Join(18, ""), -1);
    EXPECT_EQ(Join(18, nullptr), -1);
}

TEST_F(Squadrons, TheLastLeaverFreesTheEntry) {
    EXPECT_EQ(Join(0, "Aces"), 0);
    EXPECT_EQ(Join(1, "Aces"), 0);
    tacmap_SquadronLeave(&players[0]);
    EXPECT_STREQ(tacmap_SquadronName(0), "Aces");
    EXPECT_EQ(players[0].squadron, 0xFFFF);
    tacmap_SquadronLeave(&players[0]);  // not a member any more
    EXPECT_EQ(tacmap_SquadronMembers(0), 1);
    tacmap_SquadronLeave(&players[1]);
    EXPECT_EQ(tacmap_SquadronName(0), nullptr);
    EXPECT_EQ(Join(2, "Bandits"), 0);
    EXPECT_STREQ(tacmap_SquadronName(0), "Bandits");
}

TEST_F(Squadrons, LongNamesAndPasswordsStayInTheirFields) {
    const std::string longName(40, 'N'), longWord(30, 'p');
    ASSERT_EQ(Join(0, longName.c_str(), longWord.c_str()), 0);
    EXPECT_EQ(std::string(tacmap_SquadronName(0)), longName.substr(0, 21));
    // The same first 21 characters name the same squadron; the password
    // compares within its 11.
    EXPECT_EQ(Join(1, longName.c_str(), longWord.substr(0, 11).c_str()), 0);
    EXPECT_EQ(Join(2, longName.c_str(), "ppppp"), -1);
    // The entry index and the next entry are untouched.
    EXPECT_EQ(tacmap_SquadronBuffer[12], 0);
    EXPECT_EQ(tacmap_SquadronBuffer[TACMAP_SQUADRON_ENTRY_SIZE + 12], 1);
    EXPECT_EQ(tacmap_SquadronBuffer[TACMAP_SQUADRON_ENTRY_SIZE + TACMAP_SQUADRON_NAME], 0);
}

// ---- HUD repeater ----

TEST(Repeater, KeepsTheLast32LinesOldestFirst) {
    hud_RepeaterInit();
    ASSERT_NE(hud_Repeater, nullptr);
    char line[16];
    for (int32_t i = 1; i <= 33; i++) {
        snprintf(line, sizeof line, "line %d", (int)i);
        hud_RepeaterAdd(line);
    }
    ASSERT_EQ(hud_Repeater->count, 32);
    EXPECT_STREQ(hud_Repeater->lines[0], "line 2");
    EXPECT_STREQ(hud_Repeater->lines[31], "line 33");
    hud_RepeaterClear();
    EXPECT_EQ(hud_Repeater->count, 0);
    hud_RepeaterAdd("");
    hud_RepeaterAdd(nullptr);
    const std::string longText(300, 'x');
    hud_RepeaterAdd(longText.c_str());
    ASSERT_EQ(hud_Repeater->count, 3);
    EXPECT_STREQ(hud_Repeater->lines[0], "");
    EXPECT_EQ(std::string(hud_Repeater->lines[2]), longText.substr(0, 127));
    // Without the buffer nothing happens.
    HudRepeaterBuffer* saved = hud_Repeater;
    hud_Repeater = nullptr;
    hud_RepeaterAdd("lost");
    hud_RepeaterClear();
    hud_RepeaterDraw();
    hud_Repeater = saved;
    EXPECT_EQ(hud_Repeater->count, 3);
}

// ---- Score page ----

TEST(ScorePage, ScrollSteps) {
    struct Case {
        int32_t first, step, count, expected;
    } cases[] = {
        {0, 1, 20, 0},    // fewer than 33 players do not scroll down
        {0, 16, 32, 0},
        {0, 1, 33, 1},
        {1, 1, 33, 1},    // the last page is shown
        {0, 16, 40, 8},   // clamped to count - 32
        {8, -16, 40, 0},  // never below 0
        {5, -1, 20, 4},   // up still works with few players
    };
    for (const Case& c : cases)
        EXPECT_EQ(tacmap_ScoreScroll(c.first, c.step, c.count), c.expected)
            << c.first << " " << c.step << " " << c.count;
}

}  // namespace

namespace {

// ---- Keys page ----

class KeysPage : public ::testing::Test {
protected:
    _INMAP* map = nullptr;
    _INMAP* saved = nullptr;
    std::vector<uint8_t> pixels = std::vector<uint8_t>(320 * 240, 0);
    _DRAW_SURFACE savedSurface{};
    void SetUp() override {
        HeapReady();
        // A 320 x 240 page to draw the lines on.
        savedSurface = draw_CurrentSurface;
        _DRAW_SURFACE s;
        draw_InitSurfaceDesc(&s, pixels.data(), 320, 240, 1);
        draw_SelectSurface(&s);
        map = inmap_MapCreate(nullptr);
        ASSERT_NE(map, nullptr);
        _INMAP_ACTION* a = inmap_ActionCreate(map, "KEYS", 1, 0, nullptr);
        // 45 keys of the current keyboard layout, and joystick and other
        // layout bindings between them that are not listed.
        for (int32_t i = 0; i < 45; i++) {
            ASSERT_NE(inmap_InputCreate(a, INMAP_KIND_KEYBOARD, inmap_KeyboardLayout, 0x41 + i, 0, 0), nullptr);
            inmap_InputCreate(a, INMAP_KIND_KEYBOARD, inmap_KeyboardLayout + 1, 0x41 + i, 0, 0);
        }
        inmap_InputCreate(a, INMAP_KIND_JOYSTICK, inmap_JoystickLayout, 3, 0, 0);
        saved = inmap_ActiveMap;
        inmap_ActiveMap = map;
    }
    void TearDown() override {
        inmap_ActiveMap = saved;
        inmap_MapFree(map);
        draw_CurrentSurface = savedSurface;
        tacmap_KeysScroll = 0;
    }
};

TEST_F(KeysPage, ListsAtMost39AndStepsBackPastTheEnd) {
    struct Case {
        int32_t scroll, listed, scrollAfter;
    } cases[] = {{0, 39, 0}, {7, 39, 7}, {10, 36, 10}, {45, 1, 45}, {46, 0, 45}, {80, 0, 79}};
    for (const Case& c : cases) {
        tacmap_KeysScroll = c.scroll;
        tacmap_KeysPageDraw();
        EXPECT_EQ(tacmap_KeysListed, c.listed) << c.scroll;
        EXPECT_EQ(tacmap_KeysScroll, c.scrollAfter) << c.scroll;
    }
}

}  // namespace
