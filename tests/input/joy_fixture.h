// Shared set-up of the joystick and force-feedback tests: a heap, headless
// devices declared per test, and the effect log read back as records.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/mem.h"
#include "input/ejoy.h"
#include "input/ffb.h"
#include "platform/joystick.h"

class JoyTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!mem_MainHeap.base) {
            ASSERT_EQ(mem_HeapInit(), 0);
        }
        ffb_Shutdown();
        ejoy_Shutdown();
        plat_JoyHeadlessReset();
        ejoy_EnableFlag = 1;
        ejoy_DebugFlag = 0;
        memcpy(ejoy_AxisSettings, ejoy_CalibrationDefaults, sizeof ejoy_AxisSettings);
        memcpy(ffb_SettingsTable, ffb_SettingsDefaults, sizeof ffb_SettingsTable);
        ejoy_StateClear();
    }
    void TearDown() override {
        for (_EJOY_WATCHDOG* w : watchers_) ejoy_WatchdogRemove(w);
        watchers_.clear();
        ffb_Shutdown();
        ejoy_Shutdown();
        plat_JoyHeadlessReset();
    }

    // Declares a device: 4 axes (x, y, throttle, rudder), one hat, 16 buttons.
    static int32_t Add(const char* name, bool ffb = false, int32_t axes = 4, int32_t hats = 1, int32_t buttons = 16) {
        return plat_JoyHeadlessAdd(name, ffb ? 1 : 0, axes, hats, buttons);
    }
    // Starts the layer on the declared devices; the log starts empty after it.
    static void Start(bool withFeedback = false) {
        ASSERT_EQ(ejoy_Init(0, 0), 0);
        if (withFeedback) {
            ASSERT_EQ(ffb_Init(20), 0);
        }
        plat_JoyHeadlessLogClear();
    }
    static std::vector<PlatJoyLogEntry> Log(int32_t op = 0) {
        std::vector<PlatJoyLogEntry> out;
        for (int32_t i = 0; i < plat_JoyHeadlessLogCount(); i++) {
            const PlatJoyLogEntry* e = plat_JoyHeadlessLogEntry(i);
            if (!op || e->op == op) out.push_back(*e);
        }
        return out;
    }
    static std::vector<int32_t> Ops() {
        std::vector<int32_t> out;
        for (const PlatJoyLogEntry& e : Log()) out.push_back(e.op);
        return out;
    }

    // A watcher that keeps (code, down) pairs.
    struct Call {
        int32_t code, down;
        bool operator==(const Call& o) const { return code == o.code && down == o.down; }
    };
    static std::vector<Call>& Calls() {
        static std::vector<Call> calls;
        return calls;
    }
    void Watch() {
        Calls().clear();
        _EJOY_WATCHDOG* w = ejoy_WatchdogAdd([](int32_t code, int32_t down) {
            Calls().push_back(Call{code, down});
            return 0;
        });
        ASSERT_NE(w, nullptr);
        watchers_.push_back(w);
    }
    static std::vector<int32_t> DownCodes() {
        std::vector<int32_t> out;
        for (int32_t c = 0; c < EJOY_CODE_COUNT; c++)
            if (ejoy_CodeDown[c]) out.push_back(c);
        return out;
    }

    std::vector<_EJOY_WATCHDOG*> watchers_;
};
