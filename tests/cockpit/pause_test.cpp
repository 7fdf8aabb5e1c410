// The pause: the PAUSE action holds the single-player world and silences the
// output; the pause page's Pause key (or leaving the flight) undoes both and
// adds the time spent to the pause total. The HUD repeater page's keys.
#include <gtest/gtest.h>

#include <cstring>

#include "cockpit/hud.h"
#include "cockpit/tacmap.h"
#include "input/inmap.h"
#include "input/instate.h"
#include "net/client.h"
#include "net/server.h"
#include "render/render.h"
#include "render/view.h"
#include "sim/obj.h"
#include "shell/runner.h"
#include "sound/mix.h"
#include "sound/snd.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/levelseq.h"

namespace {

int32_t g_thinks = 0;
void CountThink(ObjectRecord*) { g_thinks++; }

class Pause : public ::testing::Test {
protected:
    void SetUp() override {
        level_GameMode.singlePlayer = 1;
        view_ActiveFlag = 1;
        snd_Running = 1;  // the silence flag is only stored while output runs
        mix_OutputSilence.store(0);
        hud_Paused = 0;
        Server_Paused = 0;
        render_ScreenStateCurrent = render_ScreenStatePrevious = nullptr;
        tacmap_PausedTicks = 0;
        tacmap_MissionOutcome = 0;
        Client_PlayerObject = nullptr;
        app_ClockHigh.store(3000);
        app_ClockLow.store(0x1234);
    }
    void TearDown() override {
        snd_Running = 0;
        mix_OutputSilence.store(0);
        hud_Paused = 0;
        Server_Paused = 0;
        view_ActiveFlag = 0;
        render_ScreenStateCurrent = render_ScreenStatePrevious = nullptr;
        app_ClockHigh.store(0);
        app_ClockLow.store(0);
    }
    static void Action(const char* name) {
        for (const InmapActionDef* a = inmap_ActionTable; a->name; a++)
            if (strcmp(a->name, name) == 0) return a->handler(0, 0.0f);
        FAIL() << name;
    }
    void PauseNow() {
        inmap_ScreenStateRequest = 0;
        Action("PAUSE");
        ASSERT_EQ(inmap_ScreenStateRequest, 6);
        render_ScreenStateSet(6);
    }
    static void Key(uint16_t value) {
        inmap_KeyEvent.keyValue = value;
        render_ScreenStateCurrent->keys();
    }
};

TEST_F(Pause, HoldsTheWorldAndResumesWithThePauseKey) {
    PauseNow();
    EXPECT_EQ(hud_Paused, 1);
    EXPECT_EQ(Server_Paused, 1);
    EXPECT_EQ(mix_OutputSilence.load(), 1);
    EXPECT_EQ(hud_PauseClock, app_ClockRead());
    // The server's objects stand still while paused.
    ObjectRecord object{};
    object.think = CountThink;
    level_ServerTables.objectList = &object;
    g_thinks = 0;
    Server_WorldStep();
    EXPECT_EQ(g_thinks, 0);

    // Ten seconds of clock later (1/120 s in the high word): 400 game ticks.
    app_ClockHigh.store(3000 + 1200);
    Key('A');
    EXPECT_EQ(hud_Paused, 1);
    Key(0x13);
    EXPECT_EQ(render_ScreenStateCurrent, nullptr);
    EXPECT_EQ(hud_Paused, 0);
    EXPECT_EQ(Server_Paused, 0);
    EXPECT_EQ(mix_OutputSilence.load(), 0);
    EXPECT_EQ(tacmap_PausedTicks, 400u);
    Server_WorldStep();
    EXPECT_EQ(g_thinks, 1);
    level_ServerTables.objectList = nullptr;

    // A second pause adds to the total.
    PauseNow();
    app_ClockHigh.store(3000 + 1200 + 120);
    Key(0x13);
    EXPECT_EQ(tacmap_PausedTicks, 440u);
}

TEST_F(Pause, LeavingThePausedMissionRunsTheWorldAgain) {
    PauseNow();
    Key(27);  // Escape: the leave-flight menu over the pause
    EXPECT_EQ(render_ScreenStateCurrent, &render_ScreenStateTable[1]);
    hud_LeaveFlight();
    EXPECT_EQ(render_ScreenStateCurrent, &render_ScreenStateTable[4]);
    EXPECT_EQ(tacmap_MissionOutcome, 3);
    EXPECT_EQ(hud_Paused, 0);
    EXPECT_EQ(Server_Paused, 0);
    EXPECT_EQ(mix_OutputSilence.load(), 0);
}

TEST_F(Pause, OnlyInASinglePlayerFlight) {
    level_GameMode.singlePlayer = 0;
    Action("PAUSE");
    EXPECT_EQ(Server_Paused, 0);
    EXPECT_EQ(mix_OutputSilence.load(), 0);
}

TEST(RepeaterPage, EnterEscapeOrYCloseIt) {
    for (uint16_t key : {uint16_t{13}, uint16_t{27}, uint16_t{89}, uint16_t{65}, uint16_t{121}}) {
        render_ScreenStateSet(1);
        render_ScreenStateSet(9);
        inmap_KeyEvent.keyValue = key;
        hud_RepeaterKeys();
        const bool closes = key == 13 || key == 27 || key == 89;
        EXPECT_EQ(render_ScreenStateCurrent, &render_ScreenStateTable[closes ? 1 : 9]) << key;
    }
    render_ScreenStateCurrent = render_ScreenStatePrevious = nullptr;
}

}  // namespace
