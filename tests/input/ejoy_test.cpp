// The joystick layer: devices, codes, watchers, identifiers and effects.
#include <cmath>
#include <cstring>
#include <string>

#include "joy_fixture.h"
#include "platform/harness.h"

namespace {

// ---- devices ----

TEST_F(JoyTest, PreferredDeviceIsFirstUsableUnlessALaterOneHasForceFeedback) {
    struct Device {
        const char* name;
        bool ffb;
        int32_t axes;
        bool attached;
    };
    struct Case {
        std::vector<Device> devices;
        int32_t active;  // index into the list, -1 none
        int32_t firstUsable;
    } cases[] = {
        {{{"A", false, 4, true}, {"B", true, 4, true}}, 1, 0},
        {{{"A", true, 4, true}, {"B", false, 4, true}}, 0, 0},
        {{{"A", false, 4, true}, {"B", false, 4, true}}, 0, 0},
        {{{"A", true, 4, true}, {"B", true, 4, true}}, 0, 0},
        {{{"A", false, 4, true}, {"B", true, 4, false}, {"C", true, 4, true}}, 2, 0},
        {{{"A", false, 1, true}, {"B", false, 2, true}}, 1, 1},  // A has no Y axis
        {{{"A", true, 4, false}}, -1, -1},
        {{}, -1, -1},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; i++) {
        SCOPED_TRACE(i);
        ejoy_Shutdown();
        plat_JoyHeadlessReset();
        for (const Device& d : cases[i].devices) {
            int32_t n = Add(d.name, d.ffb, d.axes);
            if (!d.attached) plat_JoyHeadlessAttach(n, 0);
        }
        Start();
        EXPECT_EQ(ejoy_InfoCount, (int32_t)cases[i].devices.size());
        auto nth = [](int32_t n) {
            _EJOY_INFO* info = ejoy_InfoHead;
            while (info && n-- > 0) info = info->next;
            return n < 0 ? info : nullptr;
        };
        EXPECT_EQ(ejoy_ActiveDevice, cases[i].active < 0 ? nullptr : nth(cases[i].active));
        EXPECT_EQ(ejoy_InfoFirstUsable(), cases[i].firstUsable < 0 ? nullptr : nth(cases[i].firstUsable));
    }
}

TEST_F(JoyTest, DeviceRecordHasNamesControlsAndPresence) {
    plat_JoyHeadlessAdd("Full Stick", 1, 6, 4, 32);
    plat_JoyHeadlessAdd("Two Axes", 0, 2, 0, 4);
    Start();
    _EJOY_INFO* full = ejoy_InfoHead;
    _EJOY_INFO* two = full->next;
    EXPECT_STREQ(full->instanceName, "Full Stick");
    EXPECT_STREQ(full->productName, "Full Stick");
    EXPECT_EQ(full->usable, 1);
    EXPECT_EQ(full->throttle + full->rudder + full->u + full->v, 4);
    EXPECT_EQ(full->hat[0] + full->hat[1] + full->hat[2] + full->hat[3], 4);
    EXPECT_EQ(full->forceFeedback, 1);
    EXPECT_EQ(two->usable, 1);
    EXPECT_EQ(two->throttle + two->rudder + two->u + two->v + two->hat[0] + two->forceFeedback, 0);
    // The active device's controls are copied; none when cleared.
    ejoy_DeviceSelect(two);
    EXPECT_EQ(ejoy_Present.xy, 1);
    EXPECT_EQ(ejoy_Present.throttle, 0);
    ejoy_DeviceSelect(full);
    EXPECT_EQ(ejoy_Present.v, 1);
    EXPECT_EQ(ejoy_Present.hat[3], 1);
    EXPECT_EQ(ejoy_Present.forceFeedback, 1);
    ejoy_DeviceSelect(nullptr);
    EXPECT_EQ(ejoy_Present.xy + ejoy_Present.forceFeedback, 0);
    // Destroying the active device clears the selection and the list entry.
    ejoy_DeviceSelect(full);
    ejoy_InfoDestroy(full);
    EXPECT_EQ(ejoy_ActiveDevice, nullptr);
    EXPECT_EQ(ejoy_InfoHead, two);
    EXPECT_EQ(ejoy_InfoCount, 1);
}

TEST_F(JoyTest, SavedIdentifierFindsTheSameDeviceInTheNextRun) {
    Add("Pad");
    Add("Stick", true);
    Add("Stick", true);
    Start();
    _EJOY_INFO* first = ejoy_InfoHead->next;
    _EJOY_INFO* second = first->next;
    // Two sticks of one kind: one product, two instances.
    EXPECT_EQ(memcmp(first->productGuid, second->productGuid, 16), 0);
    EXPECT_NE(memcmp(first->instanceGuid, second->instanceGuid, 16), 0);
    EXPECT_STREQ(second->instanceName, "Stick 2");
    uint8_t saved[16];
    memcpy(saved, second->instanceGuid, 16);

    // Next run: another device in front, the same sticks behind it.
    ejoy_Shutdown();
    plat_JoyHeadlessReset();
    Add("Wheel");
    Add("Pad");
    Add("Stick", true);
    Add("Stick", true);
    Start();
    _EJOY_INFO* found = ejoy_InfoFindByGuid(saved);
    ASSERT_NE(found, nullptr);
    EXPECT_STREQ(found->instanceName, "Stick 2");
    ejoy_DeviceSelect(found);
    EXPECT_EQ(ejoy_ActiveDevice, found);
    uint8_t unknown[16] = {1, 2, 3};
    EXPECT_EQ(ejoy_InfoFindByGuid(unknown), nullptr);
    EXPECT_EQ(ejoy_InfoFindByGuid(nullptr), nullptr);
}

TEST_F(JoyTest, InitFailsWithoutTheServiceAndDropsDevicesThatCannotOpen) {
    Add("Broken");
    Add("Good");
    plat_JoyHeadlessFail(0, PLAT_JOYLOG_OPEN, DIERR_DEVICENOTREG, 1);
    Start();
    ASSERT_EQ(ejoy_InfoCount, 1);
    EXPECT_STREQ(ejoy_InfoHead->instanceName, "Good");
    EXPECT_EQ(ejoy_ActiveDevice, ejoy_InfoHead);
    // A second start replaces the first one's records.
    Start();
    EXPECT_EQ(ejoy_InfoCount, 2);
}

// ---- identifier text ----

TEST_F(JoyTest, GuidTextRoundTrip) {
    const uint8_t g[16] = {0x78, 0x56, 0x34, 0x12, 0xBC, 0x9A, 0xF0, 0xDE, 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
    char text[EJOY_GUID_TEXT_SIZE];
    ejoy_GuidToText(g, text, sizeof text);
    EXPECT_STREQ(text, "12345678-9ABC-DEF0-0123-456789ABCDEF");
    uint8_t back[16];
    ejoy_GuidFromText(text, back);
    EXPECT_EQ(memcmp(back, g, 16), 0);

    struct Case {
        const char* text;
        const char* expect;  // as written back
    } cases[] = {
        {"12345678-9abc-def0-0123-456789abcdef", "12345678-9ABC-DEF0-0123-456789ABCDEF"},
        {"{12345678-9ABC-DEF0-0123-456789ABCDEF}", "12345678-9ABC-DEF0-0123-456789ABCDEF"},
        {"123456789ABCDEF00123456789ABCDEF", "12345678-9ABC-DEF0-0123-456789ABCDEF"},
        {"12345678", "12345678-0000-0000-0000-000000000000"},
        {"1234--5678", "12340000-0000-0000-0000-000000000000"},  // two separators end it
        {"zz", "00000000-0000-0000-0000-000000000000"},
        {"", "00000000-0000-0000-0000-000000000000"},
        {"123", "12000000-0000-0000-0000-000000000000"},
    };
    for (const Case& c : cases) {
        uint8_t bytes[16];
        memset(bytes, 0xAA, 16);
        ejoy_GuidFromText(c.text, bytes);
        ejoy_GuidToText(bytes, text, sizeof text);
        EXPECT_STREQ(text, c.expect) << c.text;
    }
    uint8_t zero[16];
    memset(zero, 0xAA, 16);
    ejoy_GuidFromText(nullptr, zero);
    EXPECT_EQ(zero[0] | zero[15], 0);
    // A short buffer is cut, never overrun.
    char small[9];
    ejoy_GuidToText(g, small, sizeof small);
    EXPECT_STREQ(small, "12345678");
}

// ---- reading ----

class ReadTest : public JoyTest {
protected:
    void SetUp() override {
        JoyTest::SetUp();
        dev_ = plat_JoyHeadlessAdd("Stick", 0, 6, 2, 16);
        Start();
        ASSERT_NE(ejoy_ActiveDevice, nullptr);
        ThrottleBaseline();
    }
    void Axis(int32_t axis, int32_t value) { plat_JoyHeadlessAxis(dev_, axis, value); }
    void Read() { ejoy_InputRead(); }
    // Leaves the throttle's last move at z = 65535.
    void ThrottleBaseline() {
        Axis(2, 0);
        Read();
        Axis(2, 65535);
        Read();
        Read();
    }
    int32_t dev_ = -1;
};

TEST_F(ReadTest, AxisDeadZonesCodesAndValues) {
    struct Case {
        int32_t axis;  // 0 x, 1 y, 3 rudder, 4 U, 5 V
        int32_t reading;
        int32_t minusCode, plusCode;
        bool minus, plus;
        float value;
    } cases[] = {
        {0, 32768 + 4096, 0, 1, false, false, 4096.0f / 32767.0f},
        {0, 32768 + 4097, 0, 1, false, true, 4097.0f / 32767.0f},
        {0, 32768 - 4096, 0, 1, false, false, -4096.0f / 32768.0f},
        {0, 32768 - 4097, 0, 1, true, false, -4097.0f / 32768.0f},
        {0, 0, 0, 1, true, false, -1.0f},
        {0, 65535, 0, 1, false, true, 1.0f},
        {0, 32768, 0, 1, false, false, 0.0f},
        {1, 0, 2, 3, true, false, -1.0f},
        {1, 65535, 2, 3, false, true, 1.0f},
        {3, 1000, 5, 6, true, false, (1000.0f - 32768.0f) / 32768.0f},
        {4, 60000, 7, 8, false, true, (60000.0f - 32768.0f) / 32767.0f},
        {5, 100, 9, 10, true, false, (100.0f - 32768.0f) / 32768.0f},
    };
    const int kValue[] = {EJOY_AXIS_X, EJOY_AXIS_Y, -1, EJOY_AXIS_RUDDER, EJOY_AXIS_U, EJOY_AXIS_V};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "axis " << c.axis << " at " << c.reading);
        Axis(c.axis, c.reading);
        Read();
        EXPECT_EQ(ejoy_CodeDown[c.minusCode], c.minus ? 1 : 0);
        EXPECT_EQ(ejoy_CodeDown[c.plusCode], c.plus ? 1 : 0);
        EXPECT_FLOAT_EQ(ejoy_AxisValue[kValue[c.axis]], c.value);
        Axis(c.axis, 32768);
        Read();
    }
    // A wider dead zone from the settings table.
    ejoy_AxisSettings[EJOY_SET_X] = 10000;
    Axis(0, 32768 + 9000);
    Read();
    EXPECT_EQ(ejoy_CodeDown[EJOY_CODE_STICK_RIGHT], 0);
}

TEST_F(ReadTest, ThrottleCountsOnlyMovesBeyondTheThreshold) {
    EXPECT_EQ(ejoy_CodeDown[EJOY_CODE_THROTTLE], 0);
    EXPECT_EQ(ejoy_AxisSettings[EJOY_SET_THROTTLE], 256);
    Axis(2, 65535 - 256);  // exactly the threshold: not a move
    Read();
    EXPECT_EQ(ejoy_CodeDown[EJOY_CODE_THROTTLE], 0);
    Axis(2, 65535 - 257);
    Read();
    EXPECT_EQ(ejoy_CodeDown[EJOY_CODE_THROTTLE], 1);
    EXPECT_FLOAT_EQ(ejoy_AxisValue[EJOY_AXIS_THROTTLE], 257.0f / 65535.0f);
    Read();  // held still: released
    EXPECT_EQ(ejoy_CodeDown[EJOY_CODE_THROTTLE], 0);
    EXPECT_FLOAT_EQ(ejoy_AxisValue[EJOY_AXIS_THROTTLE], 257.0f / 65535.0f);
    // Small steps that add up: each is measured from the last accepted one.
    ejoy_ThrottleThresholdSet(1024);
    EXPECT_EQ(ejoy_AxisSettings[EJOY_SET_THROTTLE], 1024);
    int32_t z = 65535 - 257;
    bool moved = false;
    for (int i = 0; i < 4; i++) {
        z -= 300;
        Axis(2, z);
        Read();
        moved = moved || ejoy_CodeDown[EJOY_CODE_THROTTLE];
        if (i < 3) {
            EXPECT_EQ(ejoy_CodeDown[EJOY_CODE_THROTTLE], 0) << i;
        }
    }
    EXPECT_TRUE(moved);  // 1200 from the last move
    Axis(2, 0);
    Read();
    EXPECT_FLOAT_EQ(ejoy_AxisValue[EJOY_AXIS_THROTTLE], 1.0f);
    ejoy_ThrottleThresholdSet(-5);
    EXPECT_EQ(ejoy_AxisSettings[EJOY_SET_THROTTLE], 0);
    ejoy_ThrottleThresholdSet(70000);
    EXPECT_EQ(ejoy_AxisSettings[EJOY_SET_THROTTLE], 65535);
}

TEST_F(ReadTest, HatAnglesBecomeDirectionCodes) {
    enum { C = 1, U = 2, D = 4, L = 8, R = 16 };
    struct Case {
        uint32_t angle;
        int bits;
    } cases[] = {
        {0xFFFFFFFFu, 0}, {0, C | U},      {2200, C | U},     {2201, C | U | R}, {4500, C | U | R},
        {6800, C | U | R}, {9000, C | R},  {11200, C | R},    {13500, C | D | R}, {15000, C | D | R},
        {18000, C | D},   {20200, C | D},  {22500, C | D | L}, {24800, C | D | L}, {27000, C | L},
        {29200, C | L},   {31500, C | U | L}, {33800, C | U | L}, {33801, C | U}, {35999, C | U},
        {0xFFFF, 0},
    };
    for (int hat = 0; hat < 2; hat++) {
        int32_t base = EJOY_CODE_HAT1 + 5 * hat;
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "hat " << hat + 1 << " at " << c.angle);
            plat_JoyHeadlessPov(dev_, hat, c.angle);
            Read();
            for (int i = 0; i < 5; i++) EXPECT_EQ(ejoy_CodeDown[base + i], (c.bits >> i) & 1) << i;
        }
        plat_JoyHeadlessPov(dev_, hat, 0xFFFFFFFFu);
        Read();
    }
    // Hats the device lacks never go down.
    plat_JoyHeadlessPov(dev_, 2, 0);
    Read();
    EXPECT_EQ(ejoy_CodeDown[EJOY_CODE_HAT1 + 10], 0);
}

TEST_F(ReadTest, ButtonsOneToSixteen) {
    plat_JoyHeadlessButton(dev_, 0, 1);
    plat_JoyHeadlessButton(dev_, 15, 1);
    plat_JoyHeadlessButton(dev_, 16, 1);  // button 17 has no code
    Read();
    EXPECT_EQ(DownCodes(), (std::vector<int32_t>{31, 46}));
    EXPECT_EQ(ejoy_ActiveDevice->buttons, 0x8001u);
}

TEST_F(ReadTest, WatchersAreToldOnlyOfChanges) {
    Watch();
    plat_JoyHeadlessButton(dev_, 2, 1);
    Read();
    Read();
    Read();
    EXPECT_EQ(Calls(), (std::vector<Call>{{33, 1}}));
    EXPECT_EQ(ejoy_CodePressed[33], 1);
    ejoy_ClearEdges();
    EXPECT_EQ(ejoy_CodePressed[33], 0);
    EXPECT_EQ(ejoy_CodeDown[33], 1);
    plat_JoyHeadlessButton(dev_, 2, 0);
    Read();
    Read();
    EXPECT_EQ(Calls(), (std::vector<Call>{{33, 1}, {33, 0}}));
    EXPECT_EQ(ejoy_CodeReleased[33], 1);
    // A hat sweeping from up to right lets go of up before right goes down.
    Calls().clear();
    plat_JoyHeadlessPov(dev_, 0, 0);
    Read();
    plat_JoyHeadlessPov(dev_, 0, 9000);
    Read();
    EXPECT_EQ(Calls(), (std::vector<Call>{{11, 1}, {12, 1}, {12, 0}, {15, 1}}));
    // The state clear forgets the codes without telling anyone.
    Calls().clear();
    ejoy_StateClear();
    EXPECT_TRUE(DownCodes().empty());
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(ejoy_WatchdogAdd(nullptr), nullptr);
}

// The remapping screen's watcher takes another watcher (the input map's)
// away while it is being told of a button.
_EJOY_WATCHDOG* g_removed = nullptr;
int32_t g_remover = 0, g_removedCalls = 0;

TEST_F(ReadTest, WatcherMayRemoveAnotherWhileBeingTold) {
    _EJOY_WATCHDOG* first = ejoy_WatchdogAdd([](int32_t, int32_t) {
        g_remover++;
        ejoy_WatchdogRemove(g_removed);
        return 0;
    });
    g_removed = ejoy_WatchdogAdd([](int32_t, int32_t) { return g_removedCalls++; });
    ASSERT_TRUE(first && g_removed);
    g_remover = g_removedCalls = 0;
    plat_JoyHeadlessButton(dev_, 0, 1);
    Read();
    EXPECT_EQ(g_remover, 1);
    EXPECT_EQ(g_removedCalls, 0);
    plat_JoyHeadlessButton(dev_, 0, 0);
    Read();
    EXPECT_EQ(g_remover, 2);
    EXPECT_EQ(g_removedCalls, 0);
    g_removed = nullptr;
    ejoy_WatchdogRemove(first);
}

TEST_F(ReadTest, DisabledOrMissingDeviceReadsAsAllUpAndLetsGo) {
    Watch();
    plat_JoyHeadlessButton(dev_, 0, 1);
    Axis(0, 0);
    Read();
    EXPECT_EQ(DownCodes(), (std::vector<int32_t>{0, 31}));
    ejoy_EnableFlag = 0;
    Read();
    EXPECT_TRUE(DownCodes().empty());
    EXPECT_EQ(ejoy_AxisValue[EJOY_AXIS_X], 0.0f);
    // Whatever the watchers hold is let go.
    EXPECT_EQ(Calls(), (std::vector<Call>{{31, 1}, {0, 1}, {0, 0}, {31, 0}}));
    ejoy_EnableFlag = 1;
    Read();
    EXPECT_EQ(DownCodes(), (std::vector<int32_t>{0, 31}));
    ejoy_DeviceSelect(nullptr);
    Read();
    EXPECT_TRUE(DownCodes().empty());
}

TEST_F(ReadTest, LostDeviceReadsCentredAndIsAcquiredAgain) {
    Axis(0, 0);
    plat_JoyHeadlessButton(dev_, 0, 1);
    plat_JoyHeadlessPov(dev_, 0, 9000);
    Read();
    EXPECT_EQ(DownCodes(), (std::vector<int32_t>{0, 11, 15, 31}));
    plat_JoyHeadlessAttach(dev_, 0);
    Read();
    // Centred: no stick, hat or button; the throttle is not taken as moved.
    EXPECT_TRUE(DownCodes().empty());
    EXPECT_EQ(ejoy_ActiveDevice->readX, 32768);
    EXPECT_EQ(ejoy_ActiveDevice->readHat[0], 65535);
    plat_JoyHeadlessAttach(dev_, 1);
    plat_JoyHeadlessLogClear();
    Read();
    EXPECT_EQ(DownCodes(), (std::vector<int32_t>{0, 11, 15, 31}));
    auto acquires = Log(PLAT_JOYLOG_ACQUIRE);
    ASSERT_EQ(acquires.size(), 1u);
    EXPECT_EQ(acquires[0].result, DI_OK);
    // A failed state read also leaves the frame centred.
    plat_JoyHeadlessFail(dev_, PLAT_JOYLOG_STATE, DIERR_INPUTLOST, 1);
    Read();
    EXPECT_TRUE(DownCodes().empty());
    Read();
    EXPECT_FALSE(DownCodes().empty());
}

TEST_F(ReadTest, AcquireAnswersNewAlreadyOrFailed) {
    _EJOY_INFO* info = ejoy_ActiveDevice;
    EXPECT_EQ(ejoy_InfoAcquire(info), 0);  // the reads have it
    plat_JoyUnacquire(info->device);
    EXPECT_EQ(ejoy_InfoAcquire(info), 1);
    EXPECT_EQ(ejoy_InfoAcquire(info), 0);
    plat_JoyHeadlessFail(dev_, PLAT_JOYLOG_ACQUIRE, DIERR_OTHERAPPHASPRIO, 1);
    EXPECT_EQ(ejoy_InfoAcquire(info), -1);
    EXPECT_EQ(ejoy_InfoAcquire(nullptr), -1);
    EXPECT_EQ(ejoy_InfoPoll(nullptr), -1);
}

// ---- status text ----

TEST_F(JoyTest, ResultNamesAndStatusText) {
    struct Case {
        int32_t result;
        const char* name;
    } cases[] = {
        {DI_OK, "DI_OK"},
        {S_FALSE, "S_FALSE"},
        {DI_TRUNCATEDANDRESTARTED, "DI_TRUNCATEDANDRESTARTED"},
        {DIERR_INPUTLOST, "DIERR_INPUTLOST"},
        {DIERR_EFFECTPLAYING, "DIERR_EFFECTPLAYING"},
        {E_PENDING, "E_PENDING"},
        {123, "<123 ($0000007b)>"},
        {(int32_t)0x80001234u, "<-2147478988 ($80001234)>"},
    };
    char name[48];
    for (const Case& c : cases) {
        ejoy_ResultName(c.result, name, sizeof name);
        EXPECT_STREQ(name, c.name);
    }
    int32_t dev = Add("Stick");
    Start();
    ejoy_DebugFlag = 1;
    plat_JoyHeadlessFail(dev, PLAT_JOYLOG_STATE, DIERR_INPUTLOST, 1);
    ejoy_InputRead();
    EXPECT_STREQ(ejoy_LastStatus, "ejoy_InfoPoll::GetDeviceState : DIERR_INPUTLOST");
}

// ---- effects ----

class EffectTest : public JoyTest {
protected:
    void SetUp() override {
        JoyTest::SetUp();
        dev_ = Add("Force Stick", true);
        Start();
        info_ = ejoy_ActiveDevice;
        ASSERT_NE(info_, nullptr);
        ASSERT_EQ(ejoy_InfoAcquire(info_), 1);
        plat_JoyHeadlessLogClear();
    }
    template <typename T>
    T* Make(int32_t kind, EjoyEffectRoutine routine, const char* name = "Effect") {
        return (T*)ejoy_EffectCreate(info_, name, kind, sizeof(T), routine);
    }
    // The SetParameters calls since the last clear.
    static std::vector<PlatJoyLogEntry> Params() { return Log(PLAT_JOYLOG_SETPARAMS); }
    int32_t dev_ = -1;
    _EJOY_INFO* info_ = nullptr;
};

TEST_F(EffectTest, CreationNumbersLinksAndNeedsForceFeedback) {
    auto* a = Make<_EJOY_EFFECT_FORCE>(EJOY_EFFECT_FORCE, ejoy_EffectForceFunction, "Force");
    auto* b = Make<_EJOY_EFFECT_SHOCK>(EJOY_EFFECT_SHOCK, ejoy_EffectShockFunction, "Shock");
    ASSERT_TRUE(a && b);
    EXPECT_STREQ(a->head.name, "Force");
    EXPECT_EQ(a->head.index, 0);
    EXPECT_EQ(b->head.index, 1);
    EXPECT_EQ(info_->effectCount, 2);
    EXPECT_EQ(ejoy_EffectFind(info_, EJOY_EFFECT_SHOCK), &b->head);
    EXPECT_EQ(ejoy_EffectFind(info_, EJOY_EFFECT_JOLT), nullptr);
    auto creates = Log(PLAT_JOYLOG_CREATE);
    ASSERT_EQ(creates.size(), 2u);
    EXPECT_EQ(creates[0].kind, PLAT_EFFECT_CONSTANT);
    EXPECT_EQ(creates[0].params.duration, PLAT_EFFECT_INFINITE);
    EXPECT_EQ(creates[0].params.gain, 10000u);
    EXPECT_EQ(creates[0].params.triggerButton, PLAT_EFFECT_NOTRIGGER);
    EXPECT_EQ(creates[1].kind, PLAT_EFFECT_SQUARE);
    EXPECT_EQ(creates[1].params.periodMagnitude, 10000u);
    EXPECT_EQ(creates[1].params.period, 50000u);
    EXPECT_EQ(creates[1].params.hasEnvelope, 1);
    // Destroying renumbers and releases the device effect.
    ejoy_EffectDestroy(&a->head);
    EXPECT_EQ(b->head.index, 0);
    EXPECT_EQ(Log(PLAT_JOYLOG_RELEASE).size(), 1u);
    // Bad arguments and a device without force feedback make nothing.
    EXPECT_EQ(ejoy_EffectCreate(info_, "x", 0, 8, ejoy_EffectForceFunction), nullptr);
    EXPECT_EQ(ejoy_EffectCreate(nullptr, "x", 0, sizeof(_EJOY_EFFECT_FORCE), ejoy_EffectForceFunction), nullptr);
    EXPECT_EQ(ejoy_EffectCreate(info_, "x", 0, sizeof(_EJOY_EFFECT_FORCE), nullptr), nullptr);
    // A record too small for its kind's values is refused, and a routine
    // handed one (under another kind) leaves it alone.
    struct { int32_t kind; EjoyEffectRoutine routine; int32_t size; } small[] = {
        {EJOY_EFFECT_FORCE, ejoy_EffectForceFunction, (int32_t)sizeof(_EJOY_EFFECT_FORCE) - 4},
        {EJOY_EFFECT_RESISTENCE, ejoy_EffectResistenceFunction, (int32_t)sizeof(_EJOY_EFFECT)},
        {EJOY_EFFECT_VIBRATE, ejoy_EffectVibrateFunction, (int32_t)sizeof(_EJOY_EFFECT)},
        {EJOY_EFFECT_TWITCH, ejoy_EffectTwitchFunction, (int32_t)sizeof(_EJOY_EFFECT_SHOCK)},
        {EJOY_EFFECT_JOLT, ejoy_EffectJoltFunction, (int32_t)sizeof(_EJOY_EFFECT)},
        {EJOY_EFFECT_SHOCK, ejoy_EffectShockFunction, (int32_t)sizeof(_EJOY_EFFECT)},
    };
    for (const auto& c : small) {
        EXPECT_EQ(ejoy_EffectCreate(info_, "x", c.kind, c.size, c.routine), nullptr) << c.kind;
        EXPECT_EQ(ejoy_EffectCreate(info_, "x", 99, c.size, c.routine), nullptr) << c.kind;
    }
    EXPECT_EQ(info_->effectCount, 1);
    info_->forceFeedback = 0;
    EXPECT_EQ(Make<_EJOY_EFFECT_FORCE>(EJOY_EFFECT_FORCE, ejoy_EffectForceFunction), nullptr);
    EXPECT_EQ(info_->effectCount, 1);
    EXPECT_EQ(ejoy_EffectSend(nullptr, EJOY_MSG_UPDATE), -1);
}

TEST_F(EffectTest, ForceSendsDirectionAndMagnitudeOnlyWhenChanged) {
    float gain = 0.5f;
    auto* f = Make<_EJOY_EFFECT_FORCE>(EJOY_EFFECT_FORCE, ejoy_EffectForceFunction);
    f->gain = &gain;
    f->x = 0.6f;
    f->y = -1.0f;
    plat_JoyHeadlessLogClear();
    ASSERT_EQ(ejoy_EffectSend(&f->head, EJOY_MSG_UPDATE), 0);
    EXPECT_EQ(Ops(), (std::vector<int32_t>{PLAT_JOYLOG_ACQUIRE, PLAT_JOYLOG_DOWNLOAD, PLAT_JOYLOG_COMMAND,
                                           PLAT_JOYLOG_SETPARAMS, PLAT_JOYLOG_START}));
    auto entries = Log();
    EXPECT_EQ(entries[2].flags, (uint32_t)DISFFC_SETACTUATORSON);
    const PlatJoyLogEntry& p = entries[3];
    EXPECT_EQ(p.flags, (uint32_t)(DIEP_DIRECTION | DIEP_TYPESPECIFICPARAMS | DIEP_DURATION | DIEP_START));
    EXPECT_EQ(p.params.direction[0], -3000);
    EXPECT_EQ(p.params.direction[1], 5000);
    EXPECT_EQ(p.params.magnitude, 5830);  // |(-3000, 5000)|
    EXPECT_EQ(p.params.duration, PLAT_EFFECT_INFINITE);
    EXPECT_EQ(entries[4].flags, 1u);  // one iteration
    EXPECT_FLOAT_EQ(f->lastX, -0.3f);
    // The same request again sends nothing.
    plat_JoyHeadlessLogClear();
    ASSERT_EQ(ejoy_EffectSend(&f->head, EJOY_MSG_UPDATE), 0);
    EXPECT_EQ(Ops(), (std::vector<int32_t>{PLAT_JOYLOG_ACQUIRE}));
    // Clamped to the unit square; a stop forgets what was sent.
    gain = 4.0f;
    f->x = -1.0f;
    f->y = -1.0f;
    ASSERT_EQ(ejoy_EffectSend(&f->head, EJOY_MSG_UPDATE), 0);
    EXPECT_EQ(Params().back().params.direction[0], 10000);
    EXPECT_EQ(Params().back().params.magnitude, 10000);
    ejoy_EffectSend(&f->head, EJOY_MSG_STOP);
    plat_JoyHeadlessLogClear();
    ASSERT_EQ(ejoy_EffectSend(&f->head, EJOY_MSG_UPDATE), 0);
    EXPECT_EQ(Params().size(), 1u);
}

TEST_F(EffectTest, ForceResultCodesDecideWhatIsRemembered) {
    auto* f = Make<_EJOY_EFFECT_FORCE>(EJOY_EFFECT_FORCE, ejoy_EffectForceFunction);
    f->x = 0.5f;
    struct Case {
        int32_t result;
        int32_t expect;
    } cases[] = {
        {DI_OK, 0},
        {DI_DOWNLOADSKIPPED, 0},
        {DI_EFFECTRESTARTED, 0},
        {DI_TRUNCATED, 0},
        {DI_TRUNCATEDANDRESTARTED, 0},
        {S_FALSE, -1},
        {DIERR_NOTINITIALIZED, -1},
        {DIERR_INCOMPLETEEFFECT, -1},
        {DIERR_INPUTLOST, -1},
        {DIERR_INVALIDPARAM, -1},
        {DIERR_EFFECTPLAYING, -1},
        {DIERR_GENERIC, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        ejoy_EffectSend(&f->head, EJOY_MSG_RESET);
        plat_JoyHeadlessFail(dev_, PLAT_JOYLOG_SETPARAMS, c.result, 1);
        plat_JoyHeadlessLogClear();
        EXPECT_EQ(ejoy_EffectSend(&f->head, EJOY_MSG_UPDATE), c.expect);
        // Started once whatever the parameters answered.
        EXPECT_EQ(Log(PLAT_JOYLOG_START).size(), 1u);
        // A failed update is sent again next time; a good one is not.
        plat_JoyHeadlessLogClear();
        ejoy_EffectSend(&f->head, EJOY_MSG_UPDATE);
        EXPECT_EQ(Params().size(), c.expect == 0 ? 0u : 1u);
    }
}

TEST_F(EffectTest, FailedDownloadReacquiresTheDevice) {
    auto* f = Make<_EJOY_EFFECT_FORCE>(EJOY_EFFECT_FORCE, ejoy_EffectForceFunction);
    f->x = 0.5f;
    plat_JoyHeadlessFail(dev_, PLAT_JOYLOG_DOWNLOAD, DIERR_NOTEXCLUSIVEACQUIRED, 1);
    plat_JoyHeadlessLogClear();
    ASSERT_EQ(ejoy_EffectSend(&f->head, EJOY_MSG_UPDATE), 0);
    EXPECT_EQ(Ops(), (std::vector<int32_t>{PLAT_JOYLOG_ACQUIRE, PLAT_JOYLOG_DOWNLOAD, PLAT_JOYLOG_UNACQUIRE,
                                           PLAT_JOYLOG_ACQUIRE, PLAT_JOYLOG_COMMAND, PLAT_JOYLOG_SETPARAMS,
                                           PLAT_JOYLOG_START}));
    EXPECT_EQ(Log(PLAT_JOYLOG_ACQUIRE).back().result, DI_OK);
    // When acquiring again fails too, the update fails and sends nothing.
    ejoy_EffectSend(&f->head, EJOY_MSG_RESET);
    plat_JoyHeadlessFail(dev_, PLAT_JOYLOG_DOWNLOAD, DIERR_NOTEXCLUSIVEACQUIRED, 1);
    plat_JoyHeadlessFail(dev_, PLAT_JOYLOG_ACQUIRE, S_FALSE, 1);  // the first acquire: already held
    plat_JoyHeadlessFail(dev_, PLAT_JOYLOG_ACQUIRE, DIERR_OTHERAPPHASPRIO, 1);
    plat_JoyHeadlessLogClear();
    EXPECT_EQ(ejoy_EffectSend(&f->head, EJOY_MSG_UPDATE), -1);
    EXPECT_TRUE(Params().empty());
    // And an update on a device that cannot be acquired fails at once.
    plat_JoyHeadlessAttach(dev_, 0);
    plat_JoyHeadlessLogClear();
    EXPECT_EQ(ejoy_EffectSend(&f->head, EJOY_MSG_UPDATE), -1);
    EXPECT_EQ(Ops(), (std::vector<int32_t>{PLAT_JOYLOG_ACQUIRE}));
}

TEST_F(EffectTest, NewAcquisitionResetsEveryEffect) {
    auto* f = Make<_EJOY_EFFECT_FORCE>(EJOY_EFFECT_FORCE, ejoy_EffectForceFunction);
    f->x = 0.5f;
    ASSERT_EQ(ejoy_EffectSend(&f->head, EJOY_MSG_UPDATE), 0);
    plat_JoyUnacquire(info_->device);
    plat_JoyHeadlessLogClear();
    // The same request goes out again after the device was lost.
    ASSERT_EQ(ejoy_EffectSend(&f->head, EJOY_MSG_UPDATE), 0);
    EXPECT_EQ(Params().size(), 1u);
}

TEST_F(EffectTest, TwitchAndJoltRampsAndSquares) {
    auto* twitch = Make<_EJOY_EFFECT_TWITCH>(EJOY_EFFECT_TWITCH, ejoy_EffectTwitchFunction);
    auto* jolt = Make<_EJOY_EFFECT_TWITCH>(EJOY_EFFECT_JOLT, ejoy_EffectJoltFunction);
    ASSERT_TRUE(twitch && jolt && twitch->square && jolt->square);
    auto creates = Log(PLAT_JOYLOG_CREATE);
    ASSERT_EQ(creates.size(), 4u);
    EXPECT_EQ(creates[0].kind, PLAT_EFFECT_RAMP);
    EXPECT_EQ(creates[0].params.duration, 1u);
    EXPECT_EQ(creates[0].params.rampEnd, -10000);
    EXPECT_EQ(creates[1].kind, PLAT_EFFECT_SQUARE);
    EXPECT_EQ(creates[1].params.period, 50000u);
    EXPECT_EQ(creates[2].params.rampEnd, 5000);
    EXPECT_EQ(creates[3].params.period, 10000u);

    struct Case {
        _EJOY_EFFECT_TWITCH* effect;
        float x, y;
        int32_t ms, flag;
        int32_t rampStart, rampEnd;
        uint32_t rampDuration;
        bool square;
        uint32_t squareMagnitude, squareDuration, fade;
    } cases[] = {
        {twitch, 0.0f, 1.0f, 500, 1, 10000, -10000, 250000, true, 5000, 500000, 500000},
        {jolt, 0.0f, 1.0f, 500, 1, 10000, 5000, 250000, true, 5000, 500000, 500000},
        {twitch, 0.0f, 1.0f, 500, 0, 10000, -10000, 250000, false, 0, 0, 0},
        {jolt, 0.0f, 0.5f, -1, 1, 5000, 2500, PLAT_EFFECT_INFINITE, true, 2500, PLAT_EFFECT_INFINITE, 0},
        {twitch, 0.0f, 0.0f, 100, 1, 0, 0, 50000, true, 0, 100000, 100000},
        {jolt, 0.3f, 0.4f, 1000, 1, 5000, 2500, 500000, true, 2500, 1000000, 1000000},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; i++) {
        const Case& c = cases[i];
        SCOPED_TRACE(i);
        c.effect->x = c.x;
        c.effect->y = c.y;
        c.effect->milliseconds = c.ms;
        c.effect->directionFlag = c.flag;
        plat_JoyHeadlessLogClear();
        ASSERT_EQ(ejoy_EffectSend(&c.effect->head, EJOY_MSG_UPDATE), 0);
        auto params = Params();
        ASSERT_EQ(params.size(), c.square ? 2u : 1u);
        const PlatJoyLogEntry& ramp = params[0];
        EXPECT_EQ(ramp.effect, c.effect->head.effect);
        EXPECT_EQ(ramp.flags, (uint32_t)(DIEP_DURATION | DIEP_DIRECTION | DIEP_TYPESPECIFICPARAMS | DIEP_START));
        EXPECT_EQ(ramp.params.rampStart, c.rampStart);
        EXPECT_EQ(ramp.params.rampEnd, c.rampEnd);
        EXPECT_EQ(ramp.params.duration, c.rampDuration);
        EXPECT_EQ(ramp.params.direction[0], (int32_t)(-c.x * 10000.0f));
        EXPECT_EQ(ramp.params.direction[1], (int32_t)(-c.y * 10000.0f));
        EXPECT_EQ(ramp.params.hasEnvelope, 0);
        if (!c.square) continue;
        const PlatJoyLogEntry& sq = params[1];
        EXPECT_EQ(sq.effect, c.effect->square);
        EXPECT_EQ(sq.flags, (uint32_t)(DIEP_DURATION | DIEP_ENVELOPE | DIEP_TYPESPECIFICPARAMS | DIEP_START));
        EXPECT_EQ(sq.params.periodMagnitude, c.squareMagnitude);
        EXPECT_EQ(sq.params.period, 50000u);
        EXPECT_EQ(sq.params.duration, c.squareDuration);
        EXPECT_EQ(sq.params.envelope.attackLevel, c.squareMagnitude);
        EXPECT_EQ(sq.params.envelope.attackTime, 0u);
        EXPECT_EQ(sq.params.envelope.fadeLevel, 0u);
        EXPECT_EQ(sq.params.envelope.fadeTime, c.fade);
        // Twitch and Jolt keep nothing: the same request is sent again.
        plat_JoyHeadlessLogClear();
        ASSERT_EQ(ejoy_EffectSend(&c.effect->head, EJOY_MSG_UPDATE), 0);
        EXPECT_EQ(Params().size(), 2u);
    }
    // Stop and destroy reach both effects of the pair.
    plat_JoyHeadlessLogClear();
    ejoy_EffectSend(&twitch->head, EJOY_MSG_STOP);
    EXPECT_EQ(Log(PLAT_JOYLOG_STOP).size(), 2u);
    plat_JoyHeadlessLogClear();
    ejoy_EffectDestroy(&twitch->head);
    EXPECT_EQ(Log(PLAT_JOYLOG_RELEASE).size(), 2u);
}

TEST_F(EffectTest, TwitchWithoutItsSquarePlaysTheRampAlone) {
    plat_JoyHeadlessFail(dev_, PLAT_JOYLOG_CREATE, DIERR_DEVICEFULL, 1);
    EXPECT_EQ(Make<_EJOY_EFFECT_TWITCH>(EJOY_EFFECT_TWITCH, ejoy_EffectTwitchFunction), nullptr);  // no ramp
    // The ramp is made, the square is refused.
    plat_JoyHeadlessFail(dev_, PLAT_JOYLOG_CREATE, DI_OK, 1);
    plat_JoyHeadlessFail(dev_, PLAT_JOYLOG_CREATE, DIERR_DEVICEFULL, 1);
    auto* t = Make<_EJOY_EFFECT_TWITCH>(EJOY_EFFECT_TWITCH, ejoy_EffectTwitchFunction);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->square, 0);
    t->y = 1.0f;
    t->milliseconds = 500;
    t->directionFlag = 1;
    plat_JoyHeadlessLogClear();
    ASSERT_EQ(ejoy_EffectSend(&t->head, EJOY_MSG_UPDATE), 0);
    EXPECT_EQ(Params().size(), 1u);
    plat_JoyHeadlessLogClear();
    ejoy_EffectDestroy(&t->head);
    EXPECT_EQ(Log(PLAT_JOYLOG_RELEASE).size(), 1u);
}

TEST_F(EffectTest, ShockSendsASquareFadingOverTheRequest) {
    float gain = 0.5f;
    auto* s = Make<_EJOY_EFFECT_SHOCK>(EJOY_EFFECT_SHOCK, ejoy_EffectShockFunction);
    s->gain = &gain;
    struct Case {
        float magnitude;
        int32_t ms;
        uint32_t v, duration, fade;
    } cases[] = {
        {1.0f, 500, 5000, 500000, 500000},
        {4.0f, 400, 10000, 400000, 400000},
        {-1.0f, 100, 0, 100000, 100000},
        {0.6f, -1, 3000, PLAT_EFFECT_INFINITE, 0},
    };
    for (const Case& c : cases) {
        s->magnitude = c.magnitude;
        s->milliseconds = c.ms;
        plat_JoyHeadlessLogClear();
        ASSERT_EQ(ejoy_EffectSend(&s->head, EJOY_MSG_UPDATE), 0);
        auto p = Params();
        ASSERT_EQ(p.size(), 1u);
        EXPECT_EQ(p[0].flags, (uint32_t)(DIEP_DURATION | DIEP_ENVELOPE | DIEP_TYPESPECIFICPARAMS | DIEP_START));
        EXPECT_EQ(p[0].params.periodMagnitude, c.v);
        EXPECT_EQ(p[0].params.period, 50000u);
        EXPECT_EQ(p[0].params.envelope.attackLevel, c.v);
        EXPECT_EQ(p[0].params.envelope.fadeTime, c.fade);
        EXPECT_EQ(p[0].params.duration, c.duration);
    }
}

TEST_F(EffectTest, VibrateSendsOnChangeAndIgnoresTheAnswer) {
    auto* v = Make<_EJOY_EFFECT_VIBRATE>(EJOY_EFFECT_VIBRATE, ejoy_EffectVibrateFunction);
    auto creates = Log(PLAT_JOYLOG_CREATE);
    EXPECT_EQ(creates[0].kind, PLAT_EFFECT_SINE);
    v->magnitude = 0.25f;
    plat_JoyHeadlessFail(dev_, PLAT_JOYLOG_SETPARAMS, DIERR_INCOMPLETEEFFECT, 1);
    plat_JoyHeadlessLogClear();
    EXPECT_EQ(ejoy_EffectSend(&v->head, EJOY_MSG_UPDATE), 0);
    auto p = Params();
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].flags, (uint32_t)(DIEP_DURATION | DIEP_TYPESPECIFICPARAMS | DIEP_START));
    EXPECT_EQ(p[0].params.periodMagnitude, 2500u);
    EXPECT_EQ(p[0].params.period, 50000u);
    EXPECT_EQ(p[0].params.duration, PLAT_EFFECT_INFINITE);
    EXPECT_EQ(Log(PLAT_JOYLOG_START).size(), 1u);
    plat_JoyHeadlessLogClear();
    EXPECT_EQ(ejoy_EffectSend(&v->head, EJOY_MSG_UPDATE), 0);
    EXPECT_TRUE(Params().empty());
    v->magnitude = 3.0f;
    EXPECT_EQ(ejoy_EffectSend(&v->head, EJOY_MSG_UPDATE), 0);
    EXPECT_EQ(Params().back().params.periodMagnitude, 10000u);
}

TEST_F(EffectTest, ResistenceConditionsAndDirection) {
    auto* r = Make<_EJOY_EFFECT_RESISTENCE>(EJOY_EFFECT_RESISTENCE, ejoy_EffectResistenceFunction);
    auto creates = Log(PLAT_JOYLOG_CREATE);
    EXPECT_EQ(creates[0].kind, PLAT_EFFECT_SPRING);
    EXPECT_EQ(creates[0].params.condition[0].positiveCoefficient, 10000);
    EXPECT_EQ(creates[0].params.condition[1].negativeCoefficient, -10000);
    r->a = 0.13f;
    r->b = 0.25f;
    r->c = 0.5f;
    r->d = 1.5f;
    plat_JoyHeadlessLogClear();
    ASSERT_EQ(ejoy_EffectSend(&r->head, EJOY_MSG_UPDATE), 0);
    auto p = Params();
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].flags, (uint32_t)(DIEP_DURATION | DIEP_DIRECTION | DIEP_TYPESPECIFICPARAMS | DIEP_START));
    const PlatCondition& x = p[0].params.condition[0];
    const PlatCondition& y = p[0].params.condition[1];
    EXPECT_EQ(x.positiveCoefficient, 2500);
    EXPECT_EQ(x.negativeCoefficient, 1300);
    EXPECT_EQ(y.positiveCoefficient, 10000);
    EXPECT_EQ(y.negativeCoefficient, 5000);
    EXPECT_EQ(x.positiveSaturation + x.negativeSaturation + (uint32_t)x.deadBand + (uint32_t)x.offset, 0u);
    EXPECT_EQ(p[0].params.direction[0], (1300 + 2500) / 2);
    EXPECT_EQ(p[0].params.direction[1], (5000 + 10000) / 2);
    plat_JoyHeadlessLogClear();
    ASSERT_EQ(ejoy_EffectSend(&r->head, EJOY_MSG_UPDATE), 0);
    EXPECT_TRUE(Params().empty());
    // A refused update is not remembered.
    r->d = 0.2f;
    plat_JoyHeadlessFail(dev_, PLAT_JOYLOG_SETPARAMS, DIERR_INVALIDPARAM, 1);
    EXPECT_EQ(ejoy_EffectSend(&r->head, EJOY_MSG_UPDATE), -1);
    plat_JoyHeadlessLogClear();
    EXPECT_EQ(ejoy_EffectSend(&r->head, EJOY_MSG_UPDATE), 0);
    EXPECT_EQ(Params().size(), 1u);
}

TEST_F(EffectTest, DeviceEffectsStopAndShutdownReleaseEverything) {
    Make<_EJOY_EFFECT_FORCE>(EJOY_EFFECT_FORCE, ejoy_EffectForceFunction);
    Make<_EJOY_EFFECT_TWITCH>(EJOY_EFFECT_JOLT, ejoy_EffectJoltFunction);
    plat_JoyHeadlessLogClear();
    EXPECT_EQ(ejoy_InfoEffectsStop(info_), 0);
    EXPECT_EQ(Log(PLAT_JOYLOG_STOP).size(), 3u);
    EXPECT_EQ(ejoy_InfoEffectsStop(nullptr), -1);
    plat_JoyHeadlessLogClear();
    ejoy_Shutdown();
    EXPECT_EQ(Log(PLAT_JOYLOG_RELEASE).size(), 3u);
    EXPECT_EQ(ejoy_InfoCount, 0);
    EXPECT_EQ(ejoy_ActiveDevice, nullptr);
}

// ---- script commands ----

TEST_F(JoyTest, ScriptCommandsDeclareAndMoveDevices) {
    auto line = [](uint32_t tick, std::string text) {
        std::vector<std::string> words;
        size_t i = 0;
        while (i < text.size()) {
            size_t j = text.find(' ', i);
            if (j == std::string::npos) j = text.size();
            if (j > i) words.push_back(text.substr(i, j - i));
            i = j + 1;
        }
        std::vector<char*> args;
        for (size_t k = 1; k < words.size(); k++) args.push_back(words[k].data());
        return plat_JoyScriptLine(tick, words[0].c_str(), args.data(), (int32_t)args.size(), "test", 1);
    };
    plat_HarnessReset();  // tick 0
    EXPECT_EQ(line(0, "keydown A"), 0);
    EXPECT_EQ(line(0, "joydevice Pad"), 1);
    EXPECT_EQ(line(0, "joydevice Wheel ffb axes=6 hats=2 buttons=8"), 1);
    EXPECT_EQ(line(0, "joyaxis 1 throttle 1000"), 1);
    EXPECT_EQ(line(0, "joybutton 1 8 down"), 1);
    EXPECT_EQ(line(0, "joyhat 1 2 4500"), 1);
    EXPECT_EQ(line(5, "joyaxis 1 x 0"), 1);  // not yet due
    for (const char* bad : {"joydevice", "joydevice Pad axes=9", "joyaxis 1 w 5", "joyaxis 1 x 70000",
                            "joybutton 1 0 down", "joybutton 1 3 pressed", "joyhat 1 5 0", "joyaxis x 1 1",
                            "joyfail 1 nothing 5", "joywhat 1 2"})
        EXPECT_EQ(line(0, bad), -1) << bad;
    Start();
    ASSERT_EQ(ejoy_InfoCount, 2);
    _EJOY_INFO* wheel = ejoy_InfoHead->next;
    EXPECT_EQ(ejoy_ActiveDevice, wheel);
    EXPECT_EQ(wheel->v, 1);
    ejoy_InputRead();
    EXPECT_EQ(wheel->readThrottle, 1000);
    EXPECT_EQ(wheel->buttons, 0x80u);
    EXPECT_EQ(wheel->readHat[1], 4500);
    EXPECT_EQ(wheel->readX, 32768);
}

}  // namespace
