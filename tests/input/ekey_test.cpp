// The keyboard layer: tables, event ring, characters, watchers, lock keys.
#include <vector>

#include "input_fixture.h"
#include "platform/winmsg.h"

namespace {

class EkeyTest : public InputTest {
protected:
    void TearDown() override {
        for (_EKEY_WATCHDOG* n : nodes_) ekey_WatchdogRemove(n);
        InputTest::TearDown();
    }
    _EKEY_WATCHDOG* Watch(EkeyWatchRoutine r) {
        _EKEY_WATCHDOG* n = ekey_WatchdogAdd(r);
        nodes_.push_back(n);
        return n;
    }
    std::vector<_EKEY_WATCHDOG*> nodes_;
};

std::vector<std::pair<int32_t, int32_t>> g_calls;
int32_t Record(int32_t key, int32_t down) {
    g_calls.push_back({key, down});
    return 0;
}
int32_t RecordSecond(int32_t key, int32_t down) {
    g_calls.push_back({key + 1000, down});
    return 0;
}

TEST_F(EkeyTest, AutoRepeatGivesOnePressOneEventOneWatcherCall) {
    g_calls.clear();
    Watch(Record);
    ekey_KeyDown('A', 0);
    for (int i = 0; i < 5; i++) ekey_KeyDown('A', KF_REPEAT_BIT);
    EXPECT_EQ(ekey_StateTable['A'], 1);
    EXPECT_EQ(ekey_PressedTable['A'], 1);
    EXPECT_EQ(ekey_EventPop(), (uint32_t)'A');
    EXPECT_EQ(ekey_EventPop(), 0u);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0], std::make_pair((int32_t)'A', 1));

    ekey_KeyUp('A');
    EXPECT_EQ(ekey_StateTable['A'], 0);
    EXPECT_EQ(ekey_ReleasedTable['A'], 1);
    EXPECT_EQ(g_calls.back(), std::make_pair((int32_t)'A', 0));
    // Only the low byte of the code indexes the tables.
    ekey_KeyDown(0x141, 0);
    EXPECT_EQ(ekey_StateTable[0x41], 1);
}

TEST_F(EkeyTest, EventWordCarriesTheModifiers) {
    ekey_KeyDown(VK_CONTROL, 0);
    ekey_KeyDown(VK_SHIFT, 0);
    ekey_KeyDown('K', 0);
    ekey_KeyDown(VK_MENU, 0);
    ekey_KeyDown(VK_F2, 0);
    // A modifier key is down by the time its own event is written.
    EXPECT_EQ(ekey_EventPop(), VK_CONTROL + EKEY_EVENT_CTRL);
    EXPECT_EQ(ekey_EventPop(), VK_SHIFT + 0x30000000u);
    EXPECT_EQ(ekey_EventPop(), 'K' + 0x30000000u);
    EXPECT_EQ(ekey_EventPop(), VK_MENU + 0x70000000u);
    EXPECT_EQ(ekey_EventPop(), VK_F2 + 0x70000000u);
}

TEST_F(EkeyTest, FullRingDropsTheNewestEvent) {
    // 80 presses without popping: the ring keeps the first 79 in order.
    for (int i = 0; i < 80; i++) ekey_KeyDown(0x20 + i, 0);
    for (int i = 0; i < 79; i++) ASSERT_EQ(ekey_EventPop(), (uint32_t)(0x20 + i)) << i;
    EXPECT_EQ(ekey_EventPop(), 0u);
    // The key itself still counts as pressed.
    EXPECT_EQ(ekey_PressedTable[0x20 + 79], 1);
    // After popping, the ring wraps and takes new events again.
    ekey_KeyDown(200, 0);
    EXPECT_EQ(ekey_EventPop(), 200u);
}

TEST_F(EkeyTest, EdgeClearKeepsKeysDown) {
    ekey_KeyDown('Q', 0);
    ekey_KeyDown('W', 0);
    ekey_KeyUp('W');
    ekey_CharAdd('q');
    ekey_ClearEdges();
    EXPECT_EQ(ekey_StateTable['Q'], 1);
    EXPECT_EQ(ekey_PressedTable['Q'], 0);
    EXPECT_EQ(ekey_ReleasedTable['W'], 0);
    EXPECT_EQ(ekey_EventPop(), 0u);
    EXPECT_EQ(ekey_CharFlag, 0);
    EXPECT_EQ(ekey_LineLength, 0);
    EXPECT_EQ(ekey_CharLast, 'q');
    ekey_ClearAll();
    EXPECT_EQ(ekey_StateTable['Q'], 0);
    EXPECT_EQ(ekey_CharLast, 0);
}

TEST_F(EkeyTest, TypedCharactersAndTheLine) {
    for (int i = 0; i < 100; i++) ekey_CharAdd('a' + i % 26);
    EXPECT_EQ(ekey_CharFlag, 1);
    EXPECT_EQ(ekey_LineLength, 79);
    EXPECT_EQ(ekey_Line[78], 'a' + 78 % 26);
    EXPECT_EQ(ekey_Line[79], 0);
    EXPECT_EQ(ekey_CharLast, 'a' + 99 % 26);
    EXPECT_EQ(ekey_CharRingPos, 100 % 80);
    EXPECT_EQ(ekey_CharRing[19], 'a' + 99 % 26);
}

TEST_F(EkeyTest, WatchersInOrderAndRemoval) {
    g_calls.clear();
    EXPECT_EQ(ekey_WatchdogAdd(nullptr), nullptr);
    int32_t before = ekey_WatchdogCount;
    _EKEY_WATCHDOG* first = Watch(Record);
    Watch(RecordSecond);
    EXPECT_EQ(ekey_WatchdogCount, before + 2);
    ekey_KeyDown('Z', 0);
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[0].first, 'Z');
    EXPECT_EQ(g_calls[1].first, 'Z' + 1000);

    ekey_WatchdogRemove(first);
    nodes_.erase(nodes_.begin());
    ekey_WatchdogRemove(nullptr);
    g_calls.clear();
    ekey_KeyUp('Z');
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].first, 'Z' + 1000);
}

_EKEY_WATCHDOG* g_self = nullptr;
_EKEY_WATCHDOG* g_other = nullptr;
int g_selfCalls = 0, g_otherCalls = 0;
int32_t RemovesSelfAndOther(int32_t, int32_t) {
    g_selfCalls++;
    ekey_WatchdogRemove(g_self);
    ekey_WatchdogRemove(g_other);
    return 0;
}
int32_t Other(int32_t, int32_t) {
    g_otherCalls++;
    return 0;
}

TEST_F(EkeyTest, WatcherMayRemoveWatchersWhileBeingTold) {
    int32_t before = ekey_WatchdogCount;
    g_self = ekey_WatchdogAdd(RemovesSelfAndOther);
    g_other = ekey_WatchdogAdd(Other);
    g_selfCalls = g_otherCalls = 0;
    ekey_KeyDown('M', 0);
    EXPECT_EQ(g_selfCalls, 1);
    EXPECT_EQ(g_otherCalls, 0);
    EXPECT_EQ(ekey_WatchdogCount, before);
    ekey_KeyUp('M');
    EXPECT_EQ(g_selfCalls, 1);
}

TEST_F(EkeyTest, LockStatesAndNumLock) {
    uint8_t state[256] = {};
    state[VK_CAPITAL] = PLAT_KEY_TOGGLED;
    ASSERT_EQ(plat_KeyboardStateSet(state), 0);
    ekey_Reset();
    EXPECT_EQ(ekey_CapsLock, 1);
    EXPECT_EQ(ekey_NumLock, 0);
    EXPECT_EQ(ekey_ScrollLock, 0);

    // Start-up: remember, force on, put back at exit.
    int32_t saved = ekey_NumLock;
    ekey_SetNumLock(1);
    EXPECT_EQ(plat_KeyToggled(VK_NUMLOCK), 1);
    EXPECT_EQ(plat_KeyToggled(VK_CAPITAL), 1);
    ekey_SetNumLock(saved);
    EXPECT_EQ(plat_KeyToggled(VK_NUMLOCK), 0);

    // Every key change reads the lock states again.
    state[VK_SCROLL] = PLAT_KEY_TOGGLED;
    plat_KeyboardStateSet(state);
    ekey_KeyDown(VK_SCROLL, 0);
    EXPECT_EQ(ekey_ScrollLock, 1);
    ekey_ClearAll();
    EXPECT_EQ(ekey_CapsLock, 0);
}

}  // namespace
