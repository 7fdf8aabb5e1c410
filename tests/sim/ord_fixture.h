// A fresh heap and no ordnance manager, current weapon or hardpoints; the
// game clock at a fixed tick. Panels are made from (type, count) pairs.
#pragma once
#include <gtest/gtest.h>

#include <vector>
#include <map>

#include "debug/console.h"
#include "fixtures/heaps.h"
#include "menu/camp.h"
#include "menu/loadout.h"
#include "menu/quick.h"
#include "shell/runner.h"
#include "sim/ord.h"
#include "sim/weapon.h"

// The campaign stock the hardpoints see while the stock check is on.
extern MnuCampList test_CampaignStock;

class OrdEnv : public ::testing::Test {
protected:
    void SetUp() override {
        ord_Manager = nullptr;  // its heap is gone
        ASSERT_EQ(test_HeapsFresh(0x100000, 0x1000, 0x1000), 0);
        weapon_CurrentReset();
        weapon_GunMode = 0;
        con_UnlimitedStores = 0;
        mnu_StockCheck = 0;
        mnu_AircraftFamily = 0;
        test_CampaignStock = MnuCampList{};  // its pairs went with the heap
        mnu_CampLoadoutList = &test_CampaignStock;
        mnu_GameMode = 0;
        app_TickCount = 1000;
    }
    void TearDown() override {
        ord_LoadoutEnd(0);
        mnu_CampLoadoutList = nullptr;
    }

    // Panels of the types, sorted as the flight sees them.
    static void Panels(const std::vector<int32_t>& types) {
        ASSERT_NE(ord_ManagerCreate(), nullptr);
        for (int32_t t : types) ASSERT_NE(ord_PanelAdd(t, 1, 1, -1), nullptr);
        ord_PanelsSort();
    }
};
