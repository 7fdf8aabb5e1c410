// Wingman orders and the in-flight command menus: what the orders do to the
// wingman, which orders the menu offers, its keys, and the menu texts.
#include <gtest/gtest.h>

#include <cstring>

#include "cockpit/hud.h"
#include "input/inmap.h"
#include "net/client.h"
#include "render/render.h"
#include "sim/ai_program.h"
#include "sim/ai_wing.h"
#include "sim/plane.h"
#include "sim_fixture.h"
#include "world/level.h"

namespace {

class WingTest : public SimEnv {
protected:
    ObjectRecord* player = nullptr;
    ObjectRecord* wingman = nullptr;

    void SetUp() override {
        SimEnv::SetUp();
        plane_Shutdown();
        plane_Init();
        ASSERT_NE(plane_Create(plane_TypeFind("KRX")), nullptr);
        MakePool(&level_ServerArrays.player, sizeof(_PLAYER_DCB), 1);
        MakePool(&level_ServerArrays.ai, sizeof(_AI_DCB), 4);
        player = net_DcbPoolTake(&level_ServerArrays.player);
        ASSERT_NE(player, nullptr);
        player->flags = OBJ_FLAG_PLAYER;
        wingman = net_DcbPoolTake(&level_ServerArrays.ai);
        ASSERT_NE(wingman, nullptr);
        W()->engagement = 0x01;
        plane_PlayerFields(player)->wingman = wingman;
        Client_PlayerObject = player;
        level_GameData = nullptr;
        render_ScreenStateCurrent = nullptr;
        render_ScreenStateSet(2);
    }
    void TearDown() override {
        Client_PlayerObject = nullptr;
        render_ScreenStateCurrent = render_ScreenStatePrevious = nullptr;
        level_ServerArrays = LevelServerArrays{};
        plane_Shutdown();
        SimEnv::TearDown();
    }
    _AI_DCB* W() { return reinterpret_cast<_AI_DCB*>(wingman); }
    void Key(uint8_t key) {
        inmap_KeyEvent = InputKeyEvent{};
        inmap_KeyEvent.key = key;
        inmap_KeyEvent.keyValue = key;
    }
    bool MenuOpen() { return render_ScreenStateCurrent == &render_ScreenStateTable[2]; }
};

TEST_F(WingTest, OrdersPendTheirProgramAndState) {
    struct Case {
        int32_t order;
        int32_t program;
        int32_t state;   // -1: left as it was
    };
    const Case cases[] = {{0, AI_PROGRAM_FOLLOW, 4},  {7, AI_PROGRAM_REJOIN, 10}, {2, AI_PROGRAM_ATTACK, -1},
                          {4, AI_PROGRAM_TURN_PLUS_MINUS, -1}, {5, AI_PROGRAM_TURN_MINUS_PLUS, -1},
                          {8, AI_PROGRAM_ESCORT, -1}, {9, AI_PROGRAM_ROUTE, -1}};
    for (const Case& c : cases) {
        W()->pendingProgram = nullptr;
        W()->aiState = 2;
        plane_WingmanOrder(player, c.order);
        EXPECT_EQ(W()->pendingProgram, ai_BuiltinProgram(c.program)) << c.order;
        EXPECT_EQ(W()->aiState, c.state < 0 ? 2 : c.state) << c.order;
    }
}

TEST_F(WingTest, OrdersThatCannotBeCarriedOutAreIgnored) {
    // Outside 0..9 (as a network message may carry), a wingman unable to take
    // orders, and a player without wingman.
    for (int32_t order : {-1, 10, 0x7FFF}) {
        ai_WingCommand(player, order);
        EXPECT_EQ(W()->pendingProgram, nullptr) << order;
    }
    W()->engagement = 0;
    plane_WingmanOrder(player, 0);
    EXPECT_EQ(W()->pendingProgram, nullptr);
    plane_PlayerFields(player)->wingman = nullptr;
    plane_WingmanOrder(player, 0);
    plane_WingmanOrder(nullptr, 0);
    EXPECT_EQ(W()->pendingProgram, nullptr);
}

TEST_F(WingTest, AttackMyTargetTakesTheLeadersTargetButNeverItself) {
    ObjectRecord* t = net_DcbPoolTake(&level_ServerArrays.ai);
    player->target = t;
    plane_WingmanOrder(player, 3);
    EXPECT_EQ(wingman->target, t);
    wingman->target = nullptr;
    player->target = wingman;
    plane_WingmanOrder(player, 3);
    EXPECT_EQ(wingman->target, nullptr);
}

TEST_F(WingTest, AvailabilityFollowsTheWingmansState) {
    W()->aiState = 4;
    EXPECT_FALSE(hud_WingOrderAvailable(player, 0));   // already following
    EXPECT_TRUE(hud_WingOrderAvailable(player, 9));
    W()->aiState = 2;
    EXPECT_TRUE(hud_WingOrderAvailable(player, 0));
    EXPECT_FALSE(hud_WingOrderAvailable(player, 9));   // already on its route
    EXPECT_FALSE(hud_WingOrderAvailable(player, 3));   // no target
    EXPECT_FALSE(hud_WingOrderAvailable(player, 1));   // nobody attacks it
    W()->engagement = 0;
    EXPECT_FALSE(hud_WingOrderAvailable(player, 0));
    EXPECT_FALSE(hud_WingOrderAvailable(player, -1));
    EXPECT_FALSE(hud_WingOrderAvailable(player, 10));
}

TEST_F(WingTest, MenuKeysSendOnlyAvailableOrders) {
    W()->aiState = 4;
    Key('0');   // unavailable: the menu stays
    hud_WingMenuKeys();
    EXPECT_TRUE(MenuOpen());
    Key('9');   // available: sent, the menu closes
    hud_WingMenuKeys();
    EXPECT_FALSE(MenuOpen());
}

TEST_F(WingTest, WithoutAWingmanDigitsDoNothing) {
    plane_PlayerFields(player)->wingman = nullptr;
    for (uint8_t k = '0'; k <= '9'; k++) {
        Key(k);
        hud_WingMenuKeys();
        EXPECT_TRUE(MenuOpen()) << k;
    }
    Key(27);
    hud_WingMenuKeys();
    EXPECT_FALSE(MenuOpen());
}

TEST_F(WingTest, MissingMenuTextsShowAsQuestionMarks) {
    EXPECT_STREQ(hud_MenuItemText(474), "???");
    hud_CommandMenuReset();
    ASSERT_NE(hud_MenuState.menu, nullptr);
    EXPECT_EQ(hud_MenuState.menu[0].item, 474u);
    EXPECT_EQ(hud_MenuState.menu[1].item, 0u);
    // With no fonts the pass still counts its lines.
    EXPECT_EQ(hud_CommandMenuLinesDraw(), 1);
}

}  // namespace
