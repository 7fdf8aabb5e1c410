// The AI information block, the mission trigger page and the counter page.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "cockpit/hud.h"
#include "dbgpage_fixture.h"
#include "debug/dbgpage.h"
#include "sim/ai.h"
#include "sim/obj.h"
#include "sim/trig.h"
#include "world/objarray.h"
#include "world/orf.h"

namespace {

class AiPageTest : public PageTest {
public:
    std::unique_ptr<_AI_DCB> unit = std::make_unique<_AI_DCB>();
    ObjectRecord player{}, copy{}, own{};
    int32_t waypoint[6] = {};

    void SetUp() override {
        PageTest::SetUp();
        ObjectRecord& o = unit->object;
        o.pool = &level_ServerArrays.ai;
        o.serial = 77;
        o.aiClass = 1;
        o.speed = 88212;  // 1.346 a tick: 510 knots
        o.position = FixWorldPos{0x1000000, 0x200000, 0x1000000};
        unit->aiState = 5;
        unit->routeNumber = 3;
        unit->waypointNumber = 12;
        unit->shortMissiles = 2;
        unit->longMissiles = 4;
        unit->gunBursts = 6;
        unit->ownTargets = 1;
        unit->engagement = 3;
        unit->weapon = 6;
        unit->isMember = 1;
        Server.objects = &o;
        copy.serial = 77;
        player.target = &copy;
        Client_PlayerObject = &player;
    }
};

TEST_F(AiPageTest, ShowsTheTargetsServerSideState) {
    // A target of its own 2 NM away along x (half the difference / 190).
    own.position = unit->object.position;
    own.position.x += 2 * 380 * 65536;
    unit->object.target = &own;
    // A waypoint 1 NM away along z.
    waypoint[0] = 0x1000000;
    waypoint[1] = 0x200000;
    waypoint[2] = 0x1000000 + 380 * 65536;
    unit->waypoint = waypoint;
    dbg_DrawAiInfo();
    const std::vector<std::string> want = {
        "ID: ",
        "ATTACKING TARGET",
        "WAYGROUP_NUMBER= 3  WAYPOINT_NUMBER=12",
        "SPEED: 510 kts",
        "TARGET: ",
        "DISTANCE TO TARGET:  2.00 NM",
        "DISTANCE TO WAYPOINT:  1.00 NM",
        "WINGMAN",
        "SR = 2",
        "MR = 4",
        "BOMBS = 6",
        "PATROL = CAN PATROL",
        "RANGE = ANY RANGE",
        "WEAPON ARMED = AI SR MISSILE",
    };
    EXPECT_EQ(Texts(), want);
    // Left column from layout (20, 120), step 5; right column from (140, 120).
    ASSERT_EQ(lines.size(), want.size());
    EXPECT_EQ(lines[0].x, 20);
    EXPECT_EQ(lines[0].y, 120);
    EXPECT_EQ(lines[1].y, 125);
    EXPECT_EQ(lines[0].colour, DBG_GREEN);
    EXPECT_EQ(lines[4].colour, DBG_RED);
    EXPECT_EQ(lines[7].x, 140);
    EXPECT_EQ(lines[7].y, 120);
    EXPECT_EQ(lines[7].colour, DBG_YELLOW);
}

TEST_F(AiPageTest, NoOwnTargetReadsNoneAndZero) {
    unit->isMember = 0;
    dbg_DrawAiInfo();
    EXPECT_TRUE(Has("TARGET: NONE"));
    EXPECT_TRUE(Has("DISTANCE TO TARGET:  0.00 NM"));
    EXPECT_EQ(Find("DISTANCE TO WAYPOINT"), nullptr);
    ASSERT_NE(Find("FLIGHT LEADER"), nullptr);
    EXPECT_EQ(Find("FLIGHT LEADER")->colour, DBG_GREEN);
}

TEST_F(AiPageTest, TargetsThatAreNoAiAircraftGiveNoBlock) {
    struct Case {
        const char* name;
        void (*set)(AiPageTest*);
    } cases[] = {
        {"no target", [](AiPageTest* t) { t->player.target = nullptr; }},
        {"unknown to the server", [](AiPageTest* t) { t->copy.serial = 78; }},
        {"human player", [](AiPageTest* t) { t->unit->object.flags = OBJ_FLAG_PLAYER; }},
        {"AI class 2", [](AiPageTest* t) { t->unit->object.aiClass = 2; }},
    };
    for (const Case& c : cases) {
        // A fresh fixture per case; the last is taken down by the framework,
        // so the drawing state put back is the one from before the test.
        TearDown();
        SetUp();
        c.set(this);
        std::vector<uint8_t> before = pixels;
        dbg_DrawAiInfo();
        EXPECT_TRUE(lines.empty()) << c.name;
        EXPECT_EQ(pixels, before) << c.name << ": no panel either";
    }
}

TEST_F(AiPageTest, ArmedWeaponOutsideTheTableLeavesOnlyItsLineOut) {
    for (uint8_t w : {39, 255}) {
        lines.clear();
        unit->weapon = w;
        dbg_DrawAiInfo();
        EXPECT_EQ(Find("WEAPON ARMED"), nullptr) << (int)w;
        EXPECT_TRUE(Has("RANGE = ANY RANGE")) << (int)w;
    }
}

TEST_F(AiPageTest, NameBytesOutsideTheirTablesShowAQuestionMark) {
    struct Case {
        uint8_t state, patrol, range;
        const char *stateText, *patrolText, *rangeText;
    } cases[] = {
        {0, 0, 1, "WAITING FOR TRIGGER", "PATROL = NO PATROL", "RANGE = SR ONLY"},
        {10, 1, 2, "ESCORTING", "PATROL = CAN PATROL", "RANGE = LR ONLY"},
        {11, 2, 0, "?", "PATROL = ?", "RANGE = ?"},
        {255, 255, 4, "?", "PATROL = ?", "RANGE = ?"},
    };
    for (const Case& c : cases) {
        lines.clear();
        unit->aiState = c.state;
        unit->ownTargets = c.patrol;
        unit->engagement = c.range;
        dbg_DrawAiInfo();
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[1].text, c.stateText);
        EXPECT_TRUE(Has(c.patrolText)) << c.patrolText;
        EXPECT_TRUE(Has(c.rangeText)) << c.rangeText;
    }
}

// ---- Trigger and counter pages ----

class MissionPageTest : public PageTest {
protected:
    _ORF mission{};
    std::vector<uint8_t> triggers, counters;

    void SetUp() override {
        PageTest::SetUp();
        hud_ListPosition = 0;
        level_Mission = &mission;
    }
    void TearDown() override {
        hud_ListPosition = 0;
        PageTest::TearDown();
    }
    void Triggers(uint32_t count) {
        triggers.assign((size_t)count * ORF_TRIGGER_SIZE, 0);
        mission.triggers = OrfArray{triggers.data(), count};
    }
    uint8_t* Slot(uint32_t trigger, uint32_t slot) {
        return triggers.data() + (size_t)trigger * ORF_TRIGGER_SIZE + TRIG_SLOTS + slot * TRIG_SLOT_SIZE;
    }
};

TEST_F(MissionPageTest, ScrollIndexStepsBackIntoRange) {
    struct Case {
        int32_t count, scroll, first, shown;
    } cases[] = {
        {30, 30, 10, 20}, {5, 5, 0, 5}, {30, 0, 0, 20}, {30, 25, 25, 5}, {30, -3, 0, 20}, {45, 47, 27, 18},
    };
    for (const Case& c : cases) {
        lines.clear();
        Triggers((uint32_t)c.count);
        hud_ListPosition = c.scroll;
        dbg_DrawTriggerPage();
        EXPECT_EQ(hud_ListPosition, c.first) << c.count << " at " << c.scroll;
        ASSERT_EQ((int32_t)lines.size(), c.shown) << c.count << " at " << c.scroll;
        char first[32];
        snprintf(first, sizeof first, "TRIGGER %2d =   ", c.first);
        EXPECT_EQ(lines[0].text.substr(0, strlen(first)), first);
    }
}

TEST_F(MissionPageTest, ConditionMarks) {
    Triggers(4);
    // 0: met, then an unmet continuation of it.
    Slot(0, 0)[TRIG_SLOT_MATCHED] = 1;
    Slot(0, 0)[TRIG_SLOT_LINK] = 4;
    // 1: momentary and met, AND unmet.
    Slot(1, 0)[TRIG_SLOT_MATCHED] = 1;
    Slot(1, 0)[TRIG_SLOT_MOMENTARY] = 1;
    Slot(1, 0)[TRIG_SLOT_LINK] = 1;
    // 2: links that never end stop after the four records.
    for (uint32_t s = 0; s < 4; s++) Slot(2, s)[TRIG_SLOT_LINK] = 2;
    // 3: fired, one unmet condition.
    triggers[3 * ORF_TRIGGER_SIZE + TRIG_FIRED] = 1;
    dbg_DrawTriggerPage();
    const std::vector<std::string> want = {
        "TRIGGER  0 =   - 1  - x -",
        "TRIGGER  1 =   - * - 0 -",
        "TRIGGER  2 =   - 0 - 0 - 0 - 0 -",
        "TRIGGER  3 =   - 0 -",
    };
    EXPECT_EQ(Texts(), want);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].colour, DBG_CYAN);
    EXPECT_EQ(lines[3].colour, DBG_DARK_GREEN);
    EXPECT_EQ(lines[0].x, 160);
    EXPECT_EQ(lines[1].y, 25);
}

TEST_F(MissionPageTest, CountersAllShownYellowWhileRunning) {
    uint8_t c[3 * ORF_COUNTER_SIZE] = {};
    c[0] = 7;
    c[4] = 0x2C;
    c[5] = 0x01;  // 300
    c[7] = 1;     // running
    c[8] = 0xFF;
    c[9] = 0xFF;  // 65535
    mission.counters = OrfArray{c, 3};
    dbg_DrawCounterPage();
    const std::vector<std::string> want = {"COUNTER  0 =    7", "COUNTER  1 =  300", "COUNTER  2 = 65535"};
    EXPECT_EQ(Texts(), want);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].colour, DBG_CYAN);
    EXPECT_EQ(lines[1].colour, DBG_YELLOW);
    EXPECT_EQ(lines[0].x, 20);
    EXPECT_EQ(lines[0].y, 20);
}

TEST_F(MissionPageTest, WithoutRecordsOnlyThePanelAndNoPanelOnACard) {
    dbg_DrawTriggerPage();
    dbg_DrawCounterPage();
    EXPECT_TRUE(lines.empty());
    EXPECT_NE(pixels, std::vector<uint8_t>(320 * 240, kBack)) << "the panels are drawn";
    hw3d_Active = 1;
    Surface(320, 240);
    dbg_DrawTriggerPage();
    dbg_DrawCounterPage();
    EXPECT_EQ(pixels, std::vector<uint8_t>(320 * 240, kBack));
    hw3d_Active = 0;
}

// Stored images of the three pages on the 320 x 240 surface. A change meant
// to alter a page prints its new hash.
TEST_F(AiPageTest, StoredImages) {
    _ORF mission{};
    std::vector<uint8_t> t(3 * ORF_TRIGGER_SIZE, 0);
    t[TRIG_SLOTS + TRIG_SLOT_MATCHED] = 1;
    t[ORF_TRIGGER_SIZE] = 1;
    uint8_t c[2 * ORF_COUNTER_SIZE] = {5, 0, 0, 1, 9, 0, 0, 0};
    mission.triggers = OrfArray{t.data(), 3};
    mission.counters = OrfArray{c, 2};
    level_Mission = &mission;
    hud_ListPosition = 0;
    CheckStoredImages(
        {
            {"ai", dbg_DrawAiInfo, 0xff3bedd11c4b7f85ull},
            {"trigger", dbg_DrawTriggerPage, 0xe939ea1ce6f085ddull},
            {"counter", dbg_DrawCounterPage, 0x2f039576c9464679ull},
        },
        {}, [this](const StoredImage& k) {
            // Cyan text over a shaded panel, whatever the stored image says.
            EXPECT_GT(std::count(pixels.begin(), pixels.end(), (uint8_t)(100 + DBG_CYAN)), 50) << k.name;
            EXPECT_GT(std::count(pixels.begin(), pixels.end(), (uint8_t)6), 1000) << k.name;
        });
}

}  // namespace
