// Fresh heap, pools, game mode, cell grid and view for the object and
// aircraft tests.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "base/mem.h"
#include "fixtures/heaps.h"
#include "net/dcbpool.h"
#include "platform/simlog.h"
#include "render/view.h"
#include "sim/obj.h"
#include "sim/ord.h"
#include "world/gamemode.h"
#include "world/objarray.h"
#include "world/terrain.h"

class SimEnv : public ::testing::Test {
protected:
    std::vector<ObjectRecord*> heads = std::vector<ObjectRecord*>(OBJ_GRID_SIZE * OBJ_GRID_SIZE, nullptr);

    void SetUp() override {
        setenv("KRX_PLATFORM", "headless", 0);
        ASSERT_EQ(test_HeapsFresh(0x400000, 0x1000, 0x1000), 0);
        // The fresh heaps took the last test's manager with them.
        ord_Manager = nullptr;
        depth_Level = DepthLevel{};
        depth_Level.heightMap = depth_FlatHeights();
        depth_Level.waterMap = depth_DryWater();
        depth_Level.staticHeads = heads.data();
        level_GameMode = GameModeFlags{};
        level_GameMode.hosting = 1;  // single player: server and client here
        level_GameMode.sharedProcess = 1;
        level_ServerArrays = LevelServerArrays{};
        level_ClientArrays = LevelClientArrays{};
        MakePool(&level_ServerArrays.statics, sizeof(_STATIC_DCB), 8);
        MakePool(&level_ClientArrays.common, sizeof(_COMMON_DCB), 4);
        MakePool(&level_ClientArrays.special, sizeof(_COMMON_DCB), 1);
        level_ClientStaticArray = &level_ServerArrays.statics;
        obj_ListsReset();
        obj_ReferencesForget();
        obj_PlayerTargetsEnabled = 1;
        obj_Current = nullptr;
        ViewedObject = nullptr;
        view_ModeRequest(VIEW_MODE_COCKPIT);
    }
    void TearDown() override {
        depth_Level = DepthLevel{};
        level_ClientStaticArray = nullptr;
        level_GameMode = GameModeFlags{};
        obj_ReferencesForget();
        obj_ListsReset();
        ViewedObject = nullptr;
        unsetenv("KRX_SIMLOG");
        plat_SimLogReset();
    }
    static void MakePool(DcbPool* pool, uint32_t size, uint32_t count) {
        ASSERT_EQ(net_DcbPoolCreate(size, count, pool, nullptr, "test pool"), 0);
    }
};
