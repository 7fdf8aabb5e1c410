// Mission files: the sample mission, the trigger cut, the trigger block, the
// text table, damaged files (quiet and fatal) and the region rule.
#include <unistd.h>

#include <cstring>

#include "base/filetable.h"
#include "base/le.h"
#include "mission_write.h"
#include "mkdata.h"
#include "shell/fatal.h"
#include "shell/startup.h"
#include "world/orf.h"
#include "world_fixture.h"

namespace {

class Orf : public WorldEnv {
protected:
    // A small mission with every array present; tests change it.
    static MkMission Small() {
        MkMission m;
        m.region = 3;
        m.timeOfDay = 2;
        mkdata_MissionTerrainNames(&m, "SMALL.REF");
        m.array1.assign(2 * ORF_ARRAY1_SIZE, 0x11);
        m.models = {"A.PAK", ""};
        OrfPlaced p{};
        p.x = 0x80000000;
        p.category = 1;
        m.placed = {p};
        m.array5 = {std::vector<uint8_t>(2 * ORF_ARRAY5_ITEM_SIZE, 0x55), {}, std::vector<uint8_t>(12, 0x66)};
        m.starts = {{{1, 2, 3, 4}}, {{5, 6, 7, 8}, {9, 10, 11, 12}}};
        m.triggers = {OrfTrigger{}};
        m.counters = {7};
        m.messages = {{"NULLMSG", "none.wav"}};
        m.text = mkdata_TableBuild({{"MESSAGES", {{"HELLO", "Hello there."}}}});
        return m;
    }
    _ORF* Load(const MkMission& m, uint32_t flags = 0) {
        Write("T.ORF", mkdata_MissionBuild(m));
        return orf_Load("T.ORF", flags);
    }
};

TEST_F(Orf, SampleMissionLoadsWhole) {
    MkMission sample = mkdata_SampleMission();
    Write(MK_SAMPLE_MISSION, mkdata_MissionBuild(sample));
    _ORF* m = orf_Load(MK_SAMPLE_MISSION, 0);
    ASSERT_NE(m, nullptr);
    EXPECT_STREQ(m->name, MK_SAMPLE_MISSION);
    EXPECT_EQ(m->header[ORF_TIME_OF_DAY], 0);  // made 0-based

    // The header names are the ones a joining client forms from the region.
    const struct {
        uint32_t offset;
        const char* name;
    } names[] = {{ORF_DEPTH_NAME, "depth01.pcx"},  {ORF_WATER_NAME, "water01.bmp"},
                 {ORF_SHADOW_NAME, "shadow01.pcx"}, {ORF_TILES_NAME, "bmp01.bms"},
                 {ORF_REFERENCE_NAME, "F1M1.REF"},  {ORF_SKY_NAME, "skymono.pcx"},
                 {ORF_TEXT_NAME, ""}};
    char text[32];
    for (const auto& n : names) {
        orf_HeaderName(m, n.offset, text, sizeof text);
        EXPECT_STREQ(text, n.name) << n.offset;
    }

    EXPECT_EQ(m->models.count, 5u);
    EXPECT_EQ(memcmp(m->models.records + 16, "TOWER.PAK", 10), 0);
    // Every player slot 0 to 15 has exactly one start, on its side's group.
    int starts[16] = {};
    int statics = 0, units = 0;
    OrfPlaced p;
    for (uint32_t i = 0; orf_PlacedGet(m, i, &p); i++) {
        if (p.category == 2) {
            ASSERT_LT(p.playerSlot, 16);
            starts[p.playerSlot]++;
            EXPECT_EQ(p.side, p.playerSlot >= 8 ? 1 : 0);
            EXPECT_LT(p.side, m->starts.count);
        } else if (p.dynamic == 0) {
            statics++;
            EXPECT_LT(p.modelIndex, m->models.count);
        } else {
            units++;
        }
    }
    for (int s : starts) EXPECT_EQ(s, 1);
    EXPECT_GT(statics, 0);
    EXPECT_GT(units, 0);
    EXPECT_EQ(m->placed.count, sample.placed.size());
    OrfStartItem item;
    ASSERT_TRUE(orf_StartItemGet(m, 1, 1, &item));
    EXPECT_EQ(item.heading, sample.starts[1][1].heading);
    // The AI routes follow the sides' start groups.
    EXPECT_EQ(m->starts.count, sample.starts.size() + sample.routes.size());
    EXPECT_FALSE(orf_StartItemGet(m, m->starts.count, 0, &item));

    // The trigger, its compiled action bound to play_m, the message text.
    OrfTrigger t;
    ASSERT_TRUE(orf_TriggerGet(m, 0, &t));
    EXPECT_EQ(t.conditionCount, 1);
    EXPECT_EQ(t.actionClass, 3);
    EXPECT_EQ(t.conditions[0].type, 6);
    ASSERT_EQ(m->nodeCount, sample.nodes.size());
    ASSERT_NE(m->nodes[0].action, nullptr);
    ASSERT_NE(m->nodes[0].action->handler, nullptr);
    EXPECT_STREQ(m->nodes[0].action->handler->keyword, "play_m");
    EXPECT_EQ(m->nodes[0].action->arguments, &m->arguments[0]);
    EXPECT_EQ(m->nodes[0].node1, nullptr);
    // The AI flight's airborne trigger: play_m, then start_c.
    ASSERT_TRUE(orf_TriggerGet(m, 1, &t));
    ASSERT_LT(t.actionList, m->nodeCount);
    const OrfTriggerNode* n = &m->nodes[t.actionList];
    ASSERT_NE(n->node1, nullptr);
    EXPECT_STREQ(n->action->handler->keyword, "play_m");
    EXPECT_STREQ(n->node1->action->handler->keyword, "start_c");
    EXPECT_EQ(n->node1->node1, nullptr);
    ASSERT_NE(m->textData, nullptr);
    FileTableEntry* e = file_TableFindNamed(m->textData, "MESSAGES", "WELCOME");
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->text, "Welcome to the range.");
    orf_Free(m);
}

TEST_F(Orf, TriggerConditionsAreCut) {
    // Count and the four condition kinds as stored; count and kinds as read.
    struct Case {
        const char* what;
        uint8_t count;
        uint8_t kinds[4];
        uint8_t wantCount;
        uint8_t wantKinds[4];
    } cases[] = {
        {"six read as four, the fourth ends", 6, {1, 2, 3, 1}, 4, {1, 2, 3, 0}},
        {"a last extended one dropped", 2, {1, 4, 0, 0}, 1, {0, 4, 0, 0}},
        {"the cut past four sees the fourth", 5, {1, 1, 1, 4}, 3, {1, 1, 0, 4}},
        {"a single extended one leaves none", 1, {4, 0, 0, 0}, 0, {4, 0, 0, 0}},
        {"the last ends the chain", 3, {2, 1, 1, 3}, 3, {2, 1, 0, 3}},
        {"no conditions: untouched", 0, {4, 4, 4, 4}, 0, {4, 4, 4, 4}},
    };
    MkMission mission = Small();
    mission.triggers.clear();
    for (const Case& c : cases) {
        OrfTrigger t{};
        t.conditionCount = c.count;
        for (int i = 0; i < 4; i++) {
            t.conditions[i].kind = c.kinds[i];
            t.conditions[i].type = 6;
        }
        mission.triggers.push_back(t);
    }
    _ORF* m = Load(mission);
    ASSERT_NE(m, nullptr);
    for (uint32_t i = 0; i < sizeof cases / sizeof cases[0]; i++) {
        OrfTrigger t;
        ASSERT_TRUE(orf_TriggerGet(m, i, &t));
        EXPECT_EQ(t.conditionCount, cases[i].wantCount) << cases[i].what;
        for (int k = 0; k < 4; k++) {
            EXPECT_EQ(t.conditions[k].kind, cases[i].wantKinds[k]) << cases[i].what << " " << k;
            EXPECT_EQ(t.conditions[k].type, 6) << cases[i].what;  // only the kind is edited
        }
    }
    orf_Free(m);
}

TEST_F(Orf, GroupsAndTheTextTableAfterTheArrays) {
    // Trigger-block word 0: no nodes, and the text follows array 9.
    _ORF* m = Load(Small());
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->nodes, nullptr);
    EXPECT_EQ(m->nodeCount + m->actionCount + m->argumentCount, 0u);
    ASSERT_NE(m->textData, nullptr);
    EXPECT_STREQ(file_TableFindNamed(m->textData, "MESSAGES", "HELLO")->text, "Hello there.");
    // Groups bound to their items in order; an empty group has none.
    ASSERT_EQ(m->array5.count, 3u);
    EXPECT_EQ(m->array5.itemTotal, 3u);
    EXPECT_EQ(m->array5.groups[0].items, m->array5.items);
    EXPECT_EQ(m->array5.groups[1].items, nullptr);
    EXPECT_EQ(m->array5.groups[2].items, m->array5.items + 2 * ORF_ARRAY5_ITEM_SIZE);
    EXPECT_EQ(m->array5.groups[2].items[0], 0x66);
    EXPECT_EQ(m->starts.itemTotal, 3u);
    OrfStartItem s;
    ASSERT_TRUE(orf_StartItemGet(m, 1, 1, &s));
    EXPECT_EQ(s.x, 9u);
    EXPECT_EQ(s.heading, 12u);
    EXPECT_EQ(m->array1.count, 2u);
    EXPECT_EQ(m->counters.count, 1u);
    orf_Free(m);

    // A text table in a file of its own.
    MkMission named = Small();
    named.textName = "T.TXT";
    Write("T.TXT", named.text);
    named.text.clear();
    m = Load(named);
    ASSERT_NE(m, nullptr);
    EXPECT_STREQ(file_TableFindNamed(m->textData, "MESSAGES", "HELLO")->text, "Hello there.");
    orf_Free(m);
}

TEST_F(Orf, TriggerBlockIsBound) {
    MkMission mission = Small();
    mission.triggerBlock = true;
    mission.blockValue = 9;
    mission.closingValues = {1, 2, 3};
    // Node 0 -> action 0 (play_m), nodes 1 and 2; node 1 -> action 1
    // (unknown id 99), node 2 -> action 2 (kind 3/2: no handler).
    mission.nodes = {{0, 0, 0, 0, 0, 1, 0, 2, 0}, {0, 0, 0, 1, 0, -1, 0, -1, 0}, {0, 0, 0, 2, 0, -1, 0, 0, 0}};
    mission.actions = {{0, 3, 1, 21, 0, 1, 0}, {0, 3, 1, 99, 0, -1, 0}, {0, 3, 2, 21, 0, 0, 0}};
    mission.arguments = {{1, 2, 3}, {4, 5, 6}};
    _ORF* m = Load(mission);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->blockValue, 9);
    EXPECT_EQ(m->closingValues[2], 3);
    OrfTriggerNode* n = m->nodes;
    EXPECT_EQ(n[0].action, &m->actions[0]);
    EXPECT_EQ(n[0].node1, &n[1]);
    EXPECT_EQ(n[0].node2, &n[2]);
    EXPECT_EQ(n[1].node1, nullptr);
    EXPECT_EQ(n[2].node2, &n[0]);
    ASSERT_NE(m->actions[0].handler, nullptr);
    EXPECT_EQ(m->actions[0].handler->id, 21);
    EXPECT_EQ(m->actions[0].arguments->word[0], 4);
    EXPECT_EQ(m->actions[1].handler, nullptr);  // no such id
    EXPECT_EQ(m->actions[1].arguments, nullptr);
    EXPECT_EQ(m->actions[2].handler, nullptr);  // not kind 3/1
    // The file image keeps its indices.
    EXPECT_STREQ(file_TableFindNamed(m->textData, "MESSAGES", "HELLO")->text, "Hello there.");
    orf_Free(m);
}

TEST_F(Orf, DamagedFilesFailQuietlyAndLeaveNothing) {
    std::vector<uint8_t> good = mkdata_MissionBuild(Small());
    auto patched = [&](size_t at, uint32_t v) {
        std::vector<uint8_t> f = good;
        for (int i = 0; i < 4; i++) f[at + i] = (uint8_t)(v >> (8 * i));
        return f;
    };
    MkMission badIndex = Small();
    badIndex.triggerBlock = true;
    badIndex.nodes = {{0, 0, 0, 1, 0, -1, 0, -1, 0}};  // action 1 of 1
    badIndex.actions = {{0, 3, 1, 21, 0, -1, 0}};
    MkMission badArgument = badIndex;
    badArgument.nodes[0][3] = 0;
    badArgument.actions[0][5] = -2;
    MkMission badText = Small();
    badText.text[0] = 'X';
    MkMission missingText = Small();
    missingText.textName = "NONE.TXT";
    size_t array1 = ORF_HEADER_SIZE;
    size_t array5 = array1 + (4 + 16) + 4 + (4 + 32) + (4 + 76);
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
    } cases[] = {
        {"not MISS", patched(0, 0x5353494E)},
        {"version 3", patched(4, 3)},
        {"shorter than the header", std::vector<uint8_t>(good.begin(), good.begin() + 100)},
        {"array count past the end", patched(array1, 0x20000000)},
        {"array count wraps 32 bits", patched(array1, 0x20000001)},
        {"group items past the end", patched(array5 + 4, 0xFFFFFFFF)},
        {"group total over 32 bits", patched(array5 + 12, 0xFFFFFFFF)},
        {"trigger block flagged, absent", patched(ORF_TRIGGER_BLOCK_FLAG, 1)},
        {"node index out of range", mkdata_MissionBuild(badIndex)},
        {"argument index below -1", mkdata_MissionBuild(badArgument)},
        {"text not RTXT", mkdata_MissionBuild(badText)},
        {"text table cut", std::vector<uint8_t>(good.begin(), good.end() - 8)},
        {"text file missing", mkdata_MissionBuild(missingText)},
        {"empty file", {}},
    };
    void* marker = mem_AllocEx(0, 4, "marker");
    for (const Case& c : cases) {
        Write("BAD.ORF", c.file);
        EXPECT_EQ(orf_Load("BAD.ORF", 0), nullptr) << c.what;
    }
    EXPECT_EQ(orf_Load("MISSING.ORF", 0), nullptr);
    EXPECT_EQ(orf_Load(nullptr, ORF_FATAL), nullptr);
    EXPECT_EQ(FreeSince(marker), 0);  // everything allocated was freed
}

// In a child process: the application strings, then a fatal load.
void FatalLoad(const std::vector<uint8_t>& file, const char* name) {
    setenv("KRX_PLATFORM", "headless", 1);
    mem_HeapInit();
    char tmpl[] = "/tmp/krx_orf_XXXXXX";
    if (!mkdtemp(tmpl) || chdir(tmpl) != 0) _exit(99);
    if (mkdata_WriteAppStrings(".") != 0) _exit(98);
    if (!file.empty()) test_WriteFile(name, file);
    app_StringFileLoad();
    orf_Load(name, ORF_FATAL);
    _exit(0);
}

TEST(OrfDeath, FatalModeEndsWithTheString) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    MkMission sample = mkdata_SampleMission();
    std::vector<uint8_t> good = mkdata_MissionBuild(sample);
    std::vector<uint8_t> notMission = good, version = good, text = good;
    notMission[0] = 'N';
    version[4] = 1;
    text[good.size() - sample.text.size()] = 'X';  // "XTXT"
    ::testing::ExitedWithCode exited(APP_EXIT_DATA_ERROR);
    EXPECT_EXIT(FatalLoad(notMission, "N.ORF"), exited, "\"N.ORF\" is not a mission file");
    EXPECT_EXIT(FatalLoad(version, "V.ORF"), exited, "\"V.ORF\" has the wrong version");
    EXPECT_EXIT(FatalLoad(text, "X.ORF"), exited, "\"X.ORF\" has a damaged text table");
    EXPECT_EXIT(FatalLoad({}, "GONE.ORF"), exited, "orf_Load.*GONE.ORF");
    EXPECT_EXIT(FatalLoad(good, "F1M1.ORF"), ::testing::ExitedWithCode(0), "");
}

TEST_F(Orf, RegionRule) {
    // File region 3, time of day 2 (1 once 0-based).
    struct Case {
        const char* what;
        bool singlePlayer;
        int32_t region, timeOfDay, forced;
        int32_t wantRegion, wantTime;
    } cases[] = {
        {"single player, region open", true, -1, 4, -1, 3, 1},
        {"single player, region chosen", true, 5, 4, -1, 5, 4},
        {"single player, forced time", true, -1, 4, 2, 3, 2},
        {"forced time with the region chosen", true, 5, 4, 0, 5, 0},
        {"multiplayer keeps the rotation's choice", false, 7, 3, -1, 7, 3},
        {"multiplayer, region open", false, -1, 3, 2, -1, 3},
    };
    Write("T.ORF", mkdata_MissionBuild(Small()));
    for (const Case& c : cases) {
        level_GameMode.singlePlayer = c.singlePlayer;
        level_Region = c.region;
        level_TimeOfDay = c.timeOfDay;
        level_TimeOfDayForced = c.forced;
        _ORF* m = orf_Load("T.ORF", 0);
        ASSERT_NE(m, nullptr) << c.what;
        EXPECT_EQ(level_Region, c.wantRegion) << c.what;
        EXPECT_EQ(level_TimeOfDay, c.wantTime) << c.what;
        orf_Free(m);
    }
}

}  // namespace
