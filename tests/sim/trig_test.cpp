// The mission trigger runtime on small missions of its own: condition links,
// momentary matches, counters, compiled action lists, messages, the fired
// event and the nesting guard.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/filetable.h"
#include "base/le.h"
#include "fixtures/heaps.h"
#include "mkdata.h"
#include "platform/simlog.h"
#include "shell/runner.h"
#include "sim/trig.h"
#include "world/level.h"
#include "world/orf.h"

namespace {

struct Cond {
    uint8_t type;
    uint16_t id;
    uint8_t code = 0;
    uint16_t argument = 0;
    uint8_t link = ORF_LINK_LAST;
    uint8_t momentary = 0;
};

struct Trig {
    std::vector<Cond> conditions;
    uint16_t actionClass = 6;  // no routine: never done
    uint16_t arguments[3] = {0, 0, 0};
    uint16_t actionList = 0;
};

class TrigRuntime : public ::testing::Test {
protected:
    std::vector<uint8_t> triggers, counters, messages;
    std::vector<OrfTriggerNode> nodes;
    std::vector<OrfTriggerAction> actions;
    std::vector<OrfTriggerArgs> arguments;
    _ORF mission{};

    void SetUp() override {
        setenv("KRX_PLATFORM", "headless", 0);
        ASSERT_EQ(test_HeapsFresh(0x100000, 0x1000, 0x1000), 0);
        unsetenv("KRX_SIMLOG");
        plat_SimLogReset();
        memset(trig_Flags, 0, sizeof trig_Flags);
        app_ClockLow.store(100);
    }
    void TearDown() override {
        level_Mission = nullptr;
        plat_SimLogReset();
    }

    void Load(const std::vector<Trig>& list, uint32_t counterCount = 4, std::vector<std::string> names = {}) {
        LeWriter w;
        for (const Trig& t : list) {
            w.u8(0);
            w.u8(static_cast<uint8_t>(t.conditions.size()));
            w.u16(t.actionList);
            w.u16(t.actionClass);
            for (uint16_t a : t.arguments) w.u16(a);
            for (size_t i = 0; i < ORF_TRIGGER_CONDITIONS; i++) {
                const Cond c = i < t.conditions.size() ? t.conditions[i] : Cond{};
                w.u8(c.link);
                w.u8(c.momentary);
                w.u16(c.id);
                w.u8(c.code);
                w.u8(0);
                w.u16(c.argument);
                w.u8(c.type);
                w.u8(0);
                w.u16(0);
                w.i32(0);
            }
        }
        triggers = w.buf;
        counters.assign(counterCount * ORF_COUNTER_SIZE, 0);
        messages.assign(names.size() * ORF_MESSAGE_SIZE, 0);
        for (size_t i = 0; i < names.size(); i++) memcpy(&messages[i * ORF_MESSAGE_SIZE], names[i].c_str(), names[i].size());
        mission = _ORF{};
        mission.triggers = OrfArray{triggers.data(), static_cast<uint32_t>(list.size())};
        mission.counters = OrfArray{counters.data(), counterCount};
        mission.messages = OrfArray{messages.empty() ? nullptr : messages.data(), static_cast<uint32_t>(names.size())};
        level_Mission = &mission;
    }
    // A compiled list: one node per keyword id (disabled when negative),
    // chained in order, each with the argument as its third word.
    void LoadList(const std::vector<std::pair<int32_t, int32_t>>& entries) {
        nodes.assign(entries.size(), OrfTriggerNode{});
        actions.assign(entries.size(), OrfTriggerAction{});
        arguments.assign(entries.size(), OrfTriggerArgs{});
        for (size_t i = 0; i < entries.size(); i++) {
            const int32_t id = entries[i].first < 0 ? -entries[i].first : entries[i].first;
            arguments[i].word[2] = entries[i].second;
            actions[i].arguments = &arguments[i];
            for (const TriggerActionEntry* e = trig_ActionTable; e->keyword; e++)
                if (e->id == id) actions[i].handler = e;
            nodes[i].word[0] = entries[i].first < 0 ? 1 : 0;
            nodes[i].action = &actions[i];
            nodes[i].node1 = i + 1 < entries.size() ? &nodes[i + 1] : nullptr;
        }
        mission.nodes = nodes.data();
        mission.nodeCount = static_cast<uint32_t>(nodes.size());
    }

    bool Fired(uint32_t n) const { return triggers[n * ORF_TRIGGER_SIZE + TRIG_FIRED] != 0; }
    uint16_t CounterValue(uint32_t n) const { return static_cast<uint16_t>(counters[n * 4] | counters[n * 4 + 1] << 8); }
    static void Post(uint16_t type, uint16_t id, uint16_t code = 0, uint16_t argument = 0, uint16_t extType = 0,
                     uint16_t extId = 0) {
        trig_Event = TriggerEvent{type, id, code, argument, extType, extId};
        trig_PostEvent();
    }
};

// A fires on event (0, 1, 4), B on (0, 2, 4).
constexpr Cond kA{0, 1, 4};
constexpr Cond kB{0, 2, 4};
Cond Linked(Cond c, uint8_t link) {
    c.link = link;
    return c;
}

TEST_F(TrigRuntime, LinksCombineTheSlotsInOrder) {
    // The trigger's action (flag 0 set) is done whenever its conditions hold.
    struct Case {
        uint8_t link;
        bool postA, postB;
        bool fired;
    } cases[] = {
        {2, true, false, true},  {2, false, true, true},  {2, false, false, false}, {2, true, true, true},
        {3, true, false, true},  {3, false, true, false}, {3, true, true, false},   {1, true, false, false},
        {1, true, true, true},
    };
    for (const Case& c : cases) {
        Trig t{{Linked(kA, c.link), kB}, 8};
        Load({t});
        // B first, so that AND NOT sees it already matched.
        if (c.postB) Post(0, 2, 4);
        if (c.postA) Post(0, 1, 4);
        EXPECT_EQ(Fired(0), c.fired) << int(c.link) << c.postA << c.postB;
    }
}

TEST_F(TrigRuntime, AnExtensionSlotMustMatchTheEventsExtension) {
    // Hit by (0, 5, 8) with the attacker object 9, then OR a flag event.
    Cond hitBy{0, 5, 8, 0, ORF_LINK_EXTENDED};
    Cond attacker{0, 9, 0, 0, ORF_LINK_LAST};
    Load({Trig{{hitBy, attacker}, 8, {1, 0, 0}}});
    Post(0, 5, 8, 0, 0, 8);
    EXPECT_FALSE(Fired(0));
    Post(0, 5, 8, 0, 0, 9);
    EXPECT_TRUE(Fired(0));
    EXPECT_EQ(trig_Flags[1], 1);
}

TEST_F(TrigRuntime, AMomentaryMatchHoldsOnlyInItsClockTick) {
    Cond a = Linked(kA, 1);
    a.momentary = 1;
    Load({Trig{{a, kB}, 8}});
    Post(0, 1, 4);  // matched at tick 100; B not yet
    app_ClockLow.store(101);
    Post(0, 2, 4);
    EXPECT_FALSE(Fired(0));
    // Matched again in the same tick as B.
    Post(0, 1, 4);
    EXPECT_TRUE(Fired(0));
}

TEST_F(TrigRuntime, ARunningCounterGainsOneEvery40Ticks) {
    // Counter 2 started by trigger 0; trigger 1 fires when it exceeds 1.
    Cond enter{6, 0, 1};
    Cond above{3, 2, 1, 1};  // counter 2 greater than 1
    Load({Trig{{enter}, 4, {2, 3, 0}}, Trig{{above}, 8, {5, 0, 0}}});
    trig_Reset();
    Post(6, 0, 1);
    EXPECT_TRUE(Fired(0));
    EXPECT_EQ(counters[2 * 4 + 3], 1);  // running
    // The phase starts at 0: the first call counts, then every 40th.
    for (int i = 0; i < 40; i++) trig_CounterTick();
    EXPECT_EQ(CounterValue(2), 1);
    EXPECT_FALSE(Fired(1));
    trig_CounterTick();
    EXPECT_EQ(CounterValue(2), 2);
    EXPECT_TRUE(Fired(1));
    EXPECT_EQ(trig_Flags[5], 1);
    for (int i = 0; i < 39; i++) trig_CounterTick();
    EXPECT_EQ(CounterValue(2), 2);
    trig_CounterTick();
    EXPECT_EQ(CounterValue(2), 3);
}

TEST_F(TrigRuntime, ActionListsRunWholeOrLeaveTheTriggerOpen) {
    struct Case {
        std::vector<std::pair<int32_t, int32_t>> list;  // keyword id (negative: disabled), argument
        bool fired;
        uint16_t counter1;
    } cases[] = {
        {{{16, 1}, {16, 1}}, true, 2},          // inc_c twice
        {{{16, 1}, {1, 0}, {16, 1}}, false, 1},  // activate_g is not performed: the list stops
        {{{16, 1}, {-1, 0}, {16, 1}}, true, 2},  // a disabled entry is skipped
        {{{16, 9}}, false, 0},                   // no counter 9
        {{{0, 0}, {99, 0}}, false, 0},           // an id without routine
    };
    for (const Case& c : cases) {
        Load({Trig{{kA}, 6}});
        LoadList(c.list);
        Post(0, 1, 4);
        EXPECT_EQ(Fired(0), c.fired);
        EXPECT_EQ(CounterValue(1), c.counter1);
    }
    // An open trigger runs its list again from the start on its next event.
    Load({Trig{{Linked(kA, 2), kB}, 6}});
    LoadList({{16, 1}, {1, 0}});
    Post(0, 1, 4);
    Post(0, 2, 4);
    EXPECT_EQ(CounterValue(1), 2);
    EXPECT_FALSE(Fired(0));
}

TEST_F(TrigRuntime, TheFiredEventFiresOccuredConditions) {
    // Trigger 1 waits for trigger 0 (event 4, 0); trigger 2 for trigger 1.
    Load({Trig{{kA}, 8, {1, 0, 0}}, Trig{{Cond{4, 0, 0}}, 8, {2, 0, 0}}, Trig{{Cond{4, 1, 0}}, 8, {3, 0, 0}}});
    Post(0, 1, 4);
    EXPECT_TRUE(Fired(0));
    EXPECT_TRUE(Fired(1));
    EXPECT_TRUE(Fired(2));
}

TEST_F(TrigRuntime, MessagesSendTheirTextUnlessNullAndAlwaysReportPlayed) {
    // Played events (5, n) fire triggers 1 and 2; the speech layer is not
    // running, so each play fails and the event follows at once.
    testing::internal::CaptureStderr();
    Load({Trig{{kA}, 3, {1, 0, 0}}, Trig{{Cond{5, 1, 0}}, 3, {0, 0, 0}}, Trig{{Cond{5, 0, 0}}, 3, {7, 0, 0}},
          Trig{{Cond{5, 7, 0}}, 8, {4, 0, 0}}},
         4, {"HELLO", "NULLMSG"});
    const std::vector<uint8_t> image = mkdata_TableBuild({{"MESSAGES", {{"HELLO", "Hello there."}, {"NULLMSG", "No."}}}});
    mission.textData = file_TableRelocate(image.data(), static_cast<uint32_t>(image.size()));
    ASSERT_NE(mission.textData, nullptr);
    Post(0, 1, 4);
    const std::string log = testing::internal::GetCapturedStderr();
    for (int n = 0; n < 4; n++) EXPECT_TRUE(Fired(static_cast<uint32_t>(n))) << n;
    EXPECT_EQ(trig_Flags[4], 1);  // message 7 is past the table: still reported
    EXPECT_NE(log.find("trig message 1 NULLMSG\n"), std::string::npos) << log;
    EXPECT_NE(log.find("trig message 0 HELLO text\n"), std::string::npos) << log;
}

TEST_F(TrigRuntime, BadNumbersLeaveBuiltinActionsNotDone) {
    struct Case {
        uint16_t actionClass, a1, a2;
    } cases[] = {
        {4, 9, 2},    // counter 9 of 4
        {8, 600, 0},  // flag 600
        {0, 77, 0},   // group 77 has no leader
        {0, 3, 1},    // no object 3
        {1, 200, 5},  // group 200
        {2, 0, 0},    // class without routine
    };
    for (const Case& c : cases) {
        Load({Trig{{kA}, c.actionClass, {c.a1, c.a2, 0}}});
        Post(0, 1, 4);
        EXPECT_FALSE(Fired(0)) << c.actionClass << " " << c.a1;
    }
}

TEST_F(TrigRuntime, ActionsDoNotReenterTheirOwnTriggerAndNestingIsBounded) {
    // inc_c on counter 0 whose own condition is "counter 0 greater than 0":
    // the running trigger is left alone, and it fires once.
    Cond self{3, 0, 1, 0};
    Load({Trig{{Linked(kA, 2), self}, 4, {0, 2, 0}}});
    Post(0, 1, 4);
    EXPECT_TRUE(Fired(0));
    EXPECT_EQ(CounterValue(0), 1);

    // A chain of 40 triggers each firing on the one before stops at the
    // depth limit with a log line; the rest stay open.
    std::vector<Trig> chain;
    chain.push_back(Trig{{kA}, 8, {0, 0, 0}});
    for (uint16_t n = 1; n < 40; n++) chain.push_back(Trig{{Cond{4, static_cast<uint16_t>(n - 1), 0}}, 8, {n, 0, 0}});
    Load(chain);
    testing::internal::CaptureStderr();
    Post(0, 1, 4);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("nested too deep"), std::string::npos);
    int fired = 0;
    for (uint32_t n = 0; n < 40; n++) fired += Fired(n);
    EXPECT_GE(fired, TRIG_DEPTH_LIMIT);
    EXPECT_LT(fired, 40);
}

TEST_F(TrigRuntime, ResetClearsTheRunTimeStateAndReportsTheFlags) {
    Cond clear{7, 3, 1};  // flag 3 cleared
    Load({Trig{{kA}, 4, {0, 2, 0}}, Trig{{clear}, 4, {1, 3, 0}}});
    Post(0, 1, 4);
    EXPECT_TRUE(Fired(0));
    EXPECT_EQ(CounterValue(0), 1);
    trig_Reset();
    EXPECT_FALSE(Fired(0));
    EXPECT_EQ(CounterValue(0), 0);
    // The reset's flag events fired trigger 1 (start counter 1).
    EXPECT_TRUE(Fired(1));
    EXPECT_EQ(counters[1 * 4 + 3], 1);
    EXPECT_EQ(triggers[TRIG_SLOTS + TRIG_SLOT_MATCHED], 0);
}

}  // namespace
