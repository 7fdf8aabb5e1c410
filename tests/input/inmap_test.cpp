// The input map: records, activation, the watchers and the resolution step.
#include <cmath>
#include <vector>

#include "input_fixture.h"
#include "platform/winmsg.h"

namespace {

struct Call {
    int32_t frames;
    float value;
};
std::vector<Call> g_rec;
void Recorder(int32_t frames, float value) { g_rec.push_back({frames, value}); }

class InmapTest : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        g_rec.clear();
        map_ = NewMap();
        ASSERT_NE(map_, nullptr);
    }
    _INMAP_ACTION* Recording(const char* name = "RECORD") { return inmap_ActionCreate(map_, name, 1, 1, Recorder); }
    void Activate() { ASSERT_EQ(inmap_MapActivate(map_), 0); }
    static void Down(int32_t key) { ekey_KeyDown(key, 0); }
    static void Up(int32_t key) { ekey_KeyUp(key); }
    _INMAP* map_ = nullptr;
};

TEST_F(InmapTest, NewMapAndClampedSettings) {
    EXPECT_EQ(map_->threshold, 1024);
    EXPECT_FLOAT_EQ(map_->scale, 1.0f);
    EXPECT_EQ(map_->version, 0);
    EXPECT_EQ(map_->actionCount + map_->inputCount, 0);

    struct { int32_t in, out; } thresholds[] = {{-5, 0}, {0, 0}, {700, 700}, {65535, 65535}, {70000, 65535}};
    for (auto& t : thresholds) {
        inmap_ThresholdSet(map_, t.in);
        EXPECT_EQ(map_->threshold, t.out) << t.in;
    }
    struct { float in, out; } scales[] = {{2.0f, 1.0f}, {-1.0f, 0.0f}, {0.25f, 0.25f}, {NAN, 0.0f}};
    for (auto& s : scales) {
        inmap_ScaleSet(map_, s.in);
        EXPECT_FLOAT_EQ(map_->scale, s.out) << s.in;
    }
    inmap_VersionSet(map_, 56);
    EXPECT_EQ(map_->version, INMAP_VERSION);

    _INMAP_ACTION* a = inmap_ActionCreate(map_, "Fire_Cannon", -1, 0, nullptr);
    _INMAP_INPUT* in = inmap_InputCreate(a, 9, 2, 'Z', 0xFF, 5);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->kind, INMAP_KIND_NONE);
    EXPECT_EQ(in->modifiers, 7);
    EXPECT_EQ(in->hold, 1);
    EXPECT_EQ(inmap_ActionFind(map_, "FIRE_CANNON"), a);
    EXPECT_EQ(inmap_ActionFind(map_, "FIRE"), nullptr);
    EXPECT_EQ(inmap_NameWidth(map_), 11);

    // Null arguments change nothing.
    EXPECT_EQ(inmap_ActionCreate(nullptr, "X", 0, 0, nullptr), nullptr);
    EXPECT_EQ(inmap_ActionCreate(map_, nullptr, 0, 0, nullptr), nullptr);
    EXPECT_EQ(inmap_InputCreate(nullptr, 1, 0, 'A', 0, 0), nullptr);
    EXPECT_EQ(inmap_ActionFind(nullptr, "X"), nullptr);
    EXPECT_EQ(inmap_BindingsAdd(nullptr, nullptr), -1);
    EXPECT_EQ(inmap_ActionInputsRemove(map_, "NOPE", 1, 'A'), -1);
    inmap_MapFree(nullptr);
    inmap_ActionDelete(nullptr);
    inmap_InputDelete(nullptr);
    EXPECT_EQ(map_->actionCount, 1);
    EXPECT_EQ(map_->inputCount, 1);
}

TEST_F(InmapTest, BindingTablesPruneAndSort) {
    const InmapBinding table[] = {
        {"zoom_in", 1, 0, 'S', 0, 1},   {"GEAR", 1, 0, 'G', 0, 0},   {"Bogus", 1, 0, 'B', 0, 0},
        {"GEAR", 3, 0, 33, 0, 0},       {"ALT", 1, 0, VK_MENU, 0, 1}, {nullptr, 0, 0, 0, 0, 0},
    };
    _INMAP* m = NewMap(table);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->actionCount, 4);
    EXPECT_EQ(m->inputCount, 5);
    _INMAP_ACTION* gear = inmap_ActionFind(m, "gear");
    ASSERT_NE(gear, nullptr);
    EXPECT_EQ(gear->inputCount, 2);
    EXPECT_EQ(gear->id, -1);
    EXPECT_EQ(gear->handler, nullptr);

    EXPECT_EQ(inmap_ActionBindFromTable(map_, "GEAR", table), 0);
    EXPECT_EQ(map_->actionCount, 1);
    EXPECT_EQ(map_->inputCount, 2);
    EXPECT_EQ(inmap_ActionInputsRemove(map_, "GEAR", 3, 33), 0);
    EXPECT_EQ(map_->inputCount, 1);

    inmap_ActionsSort(m);
    const char* order[] = {"ALT", "Bogus", "GEAR", "zoom_in"};
    int i = 0;
    for (_INMAP_ACTION* a = m->actionHead; a; a = a->next, i++) {
        ASSERT_LT(i, 4);
        EXPECT_STREQ(a->name, order[i]);
        if (a->next) {
            EXPECT_EQ(a->next->prev, a);
        }
    }
    EXPECT_EQ(m->actionTail->next, nullptr);
    EXPECT_STREQ(m->actionTail->name, "zoom_in");

    // Only actions with a handler survive pruning, with their inputs.
    inmap_ActionFind(m, "GEAR")->handler = Recorder;
    inmap_ActionsPrune(m);
    EXPECT_EQ(m->actionCount, 1);
    EXPECT_EQ(m->inputCount, 2);
}

TEST_F(InmapTest, PressedKeySetsTheFireBitAfterThePoll) {
    _INMAP_ACTION* fire = BoundAction(map_, "FIRE_CURRENT_WEAPON");
    inmap_InputCreate(fire, INMAP_KIND_KEYBOARD, 0, VK_SPACE, 0, 0);
    Activate();
    // The window procedure's road: key layer, watcher, queued event.
    app_KeyMessageDown(VK_SPACE, 0x00390001);
    inmap_PollFrame();
    EXPECT_EQ(inmap_InputCurrent.flags & 0x1000u, 0x1000u);
    EXPECT_EQ(inmap_InputCurrent.flags & 0x800u, 0u);
    // A press without HOLD fires once.
    app_KeyMessageUp(VK_SPACE, 0xC0390001);
    inmap_PollFrame();
    EXPECT_EQ(inmap_InputCurrent.flags & 0x1000u, 0u);
    EXPECT_EQ(inmap_InputPrevious.flags & 0x1000u, 0x1000u);
}

TEST_F(InmapTest, MoreDemandingModifiersWinAndExtraOnesDoNotHurt) {
    _INMAP_ACTION* plain = BoundAction(map_, "FLAPS");
    _INMAP_ACTION* ctrl = BoundAction(map_, "GEAR");
    inmap_InputCreate(plain, INMAP_KIND_KEYBOARD, 0, 'X', 0, 0);
    inmap_InputCreate(ctrl, INMAP_KIND_KEYBOARD, 0, 'X', INMAP_MOD_CTRL, 0);
    Activate();
    struct { bool ctrl, shift; uint32_t expect; } cases[] = {
        {false, false, INPUT_FLAPS}, {true, false, INPUT_GEAR}, {false, true, INPUT_FLAPS}, {true, true, INPUT_GEAR}};
    for (auto& c : cases) {
        if (c.ctrl) Down(VK_CONTROL);
        if (c.shift) Down(VK_SHIFT);
        Down('X');
        Up('X');
        inmap_PollFrame();
        uint32_t f = inmap_InputCurrent.flags;
        EXPECT_EQ(f & (INPUT_FLAPS | INPUT_GEAR), c.expect) << c.ctrl << c.shift;
        EXPECT_EQ((f & INPUT_CTRL) != 0, c.ctrl);
        EXPECT_EQ((f & INPUT_SHIFT) != 0, c.shift);
        if (c.ctrl) Up(VK_CONTROL);
        if (c.shift) Up(VK_SHIFT);
    }
}

TEST_F(InmapTest, CtrlActionCountsAsCtrl) {
    // A joystick button bound to CTRL makes CTRL+X reachable.
    _INMAP_ACTION* ctrl = BoundAction(map_, "CTRL");
    inmap_InputCreate(ctrl, INMAP_KIND_JOYSTICK, 0, 31, 0, 1);
    _INMAP_ACTION* gear = BoundAction(map_, "GEAR");
    inmap_InputCreate(gear, INMAP_KIND_KEYBOARD, 0, 'X', INMAP_MOD_CTRL, 0);
    Activate();
    inmap_JoystickWatch(31, 1);
    inmap_PollFrame();
    EXPECT_TRUE(inmap_InputCurrent.flags & INPUT_CTRL);
    Down('X');
    inmap_PollFrame();
    EXPECT_TRUE(inmap_InputCurrent.flags & INPUT_GEAR);
    inmap_JoystickWatch(31, 0);
    inmap_PollFrame();
    EXPECT_FALSE(inmap_InputCurrent.flags & INPUT_CTRL);
}

TEST_F(InmapTest, HoldRepeatsWithARampingValue) {
    inmap_InputCreate(Recording(), INMAP_KIND_KEYBOARD, 0, VK_UP, 0, 1);
    Activate();
    Down(VK_UP);
    for (int i = 0; i < 30; i++) {
        ekey_KeyDown(VK_UP, KF_REPEAT_BIT);
        inmap_Resolve();
    }
    ASSERT_EQ(g_rec.size(), 30u);
    for (int i = 0; i < 30; i++) {
        EXPECT_EQ(g_rec[i].frames, i);
        float expect = i >= 18 ? 1.0f : 0.1f + 0.05f * (float)i;
        EXPECT_NEAR(g_rec[i].value, expect, 1e-5f) << i;
        EXPECT_LE(g_rec[i].value, 1.0f);
    }
    EXPECT_EQ(g_rec[18].value, 1.0f);
    Up(VK_UP);
    inmap_Resolve();
    EXPECT_EQ(g_rec.size(), 30u);
}

TEST_F(InmapTest, TapOfAHoldKeyFiresOnceAndModifierReleaseStopsHold) {
    inmap_InputCreate(Recording(), INMAP_KIND_KEYBOARD, 0, 'S', INMAP_MOD_SHIFT, 1);
    Activate();
    // Down and up before the frame: the pressed event still fires once.
    Down(VK_SHIFT);
    Down('S');
    Up('S');
    inmap_Resolve();
    inmap_Resolve();
    ASSERT_EQ(g_rec.size(), 1u);
    EXPECT_EQ(g_rec[0].frames, 0);

    // Releasing Shift stops SHIFT+S although S stays down.
    g_rec.clear();
    Down('S');
    inmap_Resolve();
    inmap_Resolve();
    Up(VK_SHIFT);
    inmap_Resolve();
    EXPECT_EQ(g_rec.size(), 2u);
    EXPECT_EQ(inmap_HeldEvents.count, 0);
}

TEST_F(InmapTest, TwentyEventsAtMost) {
    _INMAP_ACTION* a = Recording();
    for (int k = 'A'; k <= 'Y'; k++) inmap_InputCreate(a, INMAP_KIND_KEYBOARD, 0, k, 0, 0);
    _INMAP_ACTION* h = Recording("HELD");
    for (int32_t k = (int32_t)VK_F1; k <= (int32_t)VK_F12; k++) inmap_InputCreate(h, INMAP_KIND_KEYBOARD, 0, k, 0, 1);
    Activate();
    for (int k = 'A'; k <= 'Y'; k++) Down(k);
    EXPECT_EQ(inmap_FreeEvents.count, 0);
    inmap_Resolve();
    EXPECT_EQ(g_rec.size(), 20u);
    // The events come back after the frame.
    g_rec.clear();
    for (int k = 'A'; k <= 'Y'; k++) Up(k);
    for (int k = 'A'; k <= 'C'; k++) Down(k);
    inmap_Resolve();
    EXPECT_EQ(g_rec.size(), 3u);
    // A HOLD press takes two events: twelve held keys, ten get in.
    g_rec.clear();
    for (int32_t k = (int32_t)VK_F1; k <= (int32_t)VK_F12; k++) Down(k);
    EXPECT_EQ(inmap_HeldEvents.count, 10);
    inmap_Resolve();
    EXPECT_EQ(g_rec.size(), 10u);
    inmap_StateReset();
    EXPECT_EQ(inmap_FreeEvents.count, INMAP_EVENT_COUNT);
    // With one event left a HOLD press still fires, once, without repeating.
    for (int32_t k = (int32_t)VK_F1; k <= (int32_t)VK_F12; k++) Up(k);
    for (int k = 'A'; k <= 'S'; k++) Down(k);
    ASSERT_EQ(inmap_FreeEvents.count, 1);
    Down(VK_F1);
    EXPECT_EQ(inmap_HeldEvents.count, 0);
    g_rec.clear();
    inmap_Resolve();
    inmap_Resolve();
    EXPECT_EQ(g_rec.size(), 20u);
}

TEST_F(InmapTest, KeyTableModes) {
    _INMAP_ACTION* a = Recording();
    const int32_t keys[] = {'A', '5', VK_F1, VK_LEFT, 'C', VK_SPACE, VK_NUMPAD3, VK_OEM_4, VK_SUBTRACT};
    for (int32_t k : keys) inmap_InputCreate(a, INMAP_KIND_KEYBOARD, 0, k, 0, 0);
    Activate();
    EXPECT_EQ(inmap_KeyTableMode, 1);
    struct { int32_t mode; int32_t fires[9]; } cases[] = {
        {1, {1, 1, 1, 1, 1, 1, 1, 1, 1}},
        {2, {0, 0, 1, 1, 0, 0, 0, 0, 0}},
        {3, {1, 1, 1, 0, 0, 1, 1, 1, 1}},
        {0, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (auto& c : cases) {
        EXPECT_EQ(inmap_KeyTableSelect(c.mode), c.mode);
        for (int i = 0; i < 9; i++) {
            g_rec.clear();
            Down(keys[i]);
            Up(keys[i]);
            inmap_Resolve();
            EXPECT_EQ((int32_t)g_rec.size(), c.fires[i]) << "mode " << c.mode << " key " << keys[i];
        }
    }
    EXPECT_EQ(inmap_KeyTableSelect(7), 0);
    EXPECT_EQ(inmap_KeyTableSelect(-1), 0);
}

TEST_F(InmapTest, SuspendLayoutAndStrayCodes) {
    inmap_InputCreate(Recording(), INMAP_KIND_KEYBOARD, 1, 'L', 0, 1);
    Activate();
    Down('L');
    inmap_Resolve();
    EXPECT_EQ(g_rec.size(), 0u);  // layout 1 binding, layout 0 selected
    Up('L');
    inmap_KeyboardLayoutSet(1);
    inmap_SuspendFlag = 1;
    Down('L');
    inmap_Resolve();
    EXPECT_EQ(g_rec.size(), 0u);
    Up('L');
    inmap_SuspendFlag = 0;
    Down('L');
    inmap_Resolve();
    EXPECT_EQ(g_rec.size(), 1u);
    // Codes outside the tables are ignored.
    EXPECT_EQ(inmap_KeyboardWatch(256, 1), 0);
    EXPECT_EQ(inmap_KeyboardWatch(-3, 0), 0);
    EXPECT_EQ(inmap_JoystickWatch(47, 1), 0);
    EXPECT_EQ(inmap_JoystickWatch(-1, 1), 0);
}

TEST_F(InmapTest, JoystickAxesRudderAndThrottleSwitches) {
    _INMAP_ACTION* a = Recording();
    for (int32_t code : {1, 2, 4, 5, 6, 31}) inmap_InputCreate(a, INMAP_KIND_JOYSTICK, 0, code, 0, 1);
    inmap_ScaleSet(map_, 0.5f);
    Activate();
    ejoy_AxisValue[EJOY_AXIS_X] = 0.8f;
    ejoy_AxisValue[EJOY_AXIS_Y] = -0.6f;
    ejoy_AxisValue[EJOY_AXIS_THROTTLE] = 0.7f;
    ejoy_AxisValue[EJOY_AXIS_RUDDER] = -0.9f;
    struct { int32_t code; float value; } axes[] = {{1, 0.4f}, {2, 0.3f}, {4, 0.7f}, {5, 0.9f}, {6, 0.0f}, {31, 0.1f}};
    for (auto& x : axes) {
        g_rec.clear();
        inmap_JoystickWatch(x.code, 1);
        inmap_Resolve();
        ASSERT_EQ(g_rec.size(), 1u) << x.code;
        EXPECT_NEAR(g_rec[0].value, x.value, 1e-6f) << x.code;
        inmap_JoystickWatch(x.code, 0);
    }
    // With use-rudder and use-throttle off those codes never fire.
    inmap_UseRudder = 0;
    inmap_UseThrottle = 0;
    g_rec.clear();
    for (int32_t code : {4, 5, 6}) inmap_JoystickWatch(code, 1);
    inmap_Resolve();
    EXPECT_EQ(g_rec.size(), 0u);
}

TEST_F(InmapTest, ChangingTheActiveMapKeepsEventsSafe) {
    _INMAP_ACTION* a = Recording();
    _INMAP_INPUT* in = inmap_InputCreate(a, INMAP_KIND_KEYBOARD, 0, 'H', 0, 1);
    Activate();
    Down('H');
    EXPECT_EQ(inmap_HeldEvents.count, 1);
    inmap_InputDelete(in);
    EXPECT_EQ(inmap_HeldEvents.count, 0);
    inmap_Resolve();
    EXPECT_EQ(g_rec.size(), 0u);
    // A binding added while active is found at once.
    inmap_InputCreate(a, INMAP_KIND_KEYBOARD, 0, 'J', 0, 0);
    Down('J');
    inmap_Resolve();
    EXPECT_EQ(g_rec.size(), 1u);
    // Freeing the active map deactivates it first.
    Down('J');
    inmap_MapFree(map_);
    maps_.clear();
    map_ = nullptr;
    EXPECT_EQ(inmap_ActiveMap, nullptr);
    Down('K');
    inmap_Resolve();
    EXPECT_EQ(g_rec.size(), 1u);
}

}  // namespace
