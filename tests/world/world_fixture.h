// Fresh heaps, file layer, level selection and terrain state in a working
// folder of their own, for the mission and terrain tests.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/file.h"
#include "base/mem.h"
#include "display/hw3d.h"
#include "display/pal.h"
#include "fixtures/heaps.h"
#include "fixtures/workdir.h"
#include "shell/cmdline.h"
#include "shell/settings.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/terrain.h"

// Nothing of an earlier test's level: its heap is gone.
inline void world_TestForget() {
    depth_Level = DepthLevel{};
    depth_Level.heightMap = depth_FlatHeights();
    depth_Level.waterMap = depth_DryWater();
    level_GameMode = GameModeFlags{};
    level_MissionNames = LevelMissionNames{};
    level_Region = 0;
    level_TimeOfDay = 0;
    level_Night = 0;
    level_TimeOfDayForced = -1;
    level_Mission = nullptr;
    hw3d_Active = 0;
    app_StartupOptions = 0;
    app_Settings.MEMORY_USAGE = 2;  // full-size tiles
}

class WorldEnv : public ::testing::Test {
protected:
    TestWorkDir work;

    void SetUp() override {
        setenv("KRX_PLATFORM", "headless", 0);
        file_StateInit();
        ASSERT_EQ(test_HeapsFresh(0x800000, 0x10000, 0x10000), 0);
        pal_ClearSecond();
        Forget();
        ASSERT_TRUE(work.Enter("krx_world"));
    }
    void TearDown() override {
        Forget();
        file_StateInit();
        work.Leave();
    }
    static void Forget() { world_TestForget(); }
    static void Write(const std::string& name, const std::vector<uint8_t>& bytes) { test_WriteFile(name, bytes); }
    static std::vector<uint8_t> Read(const std::string& name) { return test_ReadFile(name); }
    // Blocks allocated since the marker, the marker itself not counted; frees
    // them.
    static int32_t FreeSince(void* marker) { return mem_FreeFrom(marker) - 1; }
};
