// The data set's menu script, missions and flight-screen files in the test
// folder, the mission list built, and the menus bound to the context.
#pragma once
#include <cstring>

#include "display/otw.h"
#include "display/pal_hicolor.h"
#include "menu/brief.h"
#include "menu/camp.h"
#include "menu/quick.h"
#include "menu_fixture.h"
#include "mission_write.h"
#include "shell/runner.h"

class MissionScreensTest : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        mnu_MissionList = nullptr;  // its records went with the last test's heaps
        mnu_MissionCount = 0;
        ASSERT_EQ(otw_OpenDisplay(640, 480, 2, 0, 0), 0);
        pal_BuildHighColourTables();
        ASSERT_EQ(mkdata_WriteSoundTriggers("."), 0);
        ASSERT_EQ(mkdata_WriteMenuScript("."), 0);
        ASSERT_EQ(mkdata_WriteMissions("."), 0);
        ASSERT_EQ(mkdata_WriteFlightScreens("."), 0);
        test_WriteFile("KRXMENU.BIN", mkdata_MenuDataBuild());
        mnu_ScriptLoad("KRX.MNU", &ctx);
        mnu_Context = &ctx;
        mnu_LeaveFlag = 0;
        app_Runner = AppRunnerState{};
        mnu_Pilot = MnuPilot{};
        mnu_MissionListReset();
    }
    void TearDown() override {
        mnu_CampLoadoutFree();
        mnu_TransitionFree();
        mnu_CursorRelease();
        mnu_AcceptKeyCallbackSet(nullptr);
        mnu_CancelKeyCallbackSet(nullptr);
        mnu_Context = nullptr;
        mnu_GameMode = 0;
        MenuTest::TearDown();
        otw_CloseDisplay();
    }
    const char* AreaText(const char* name) {
        MnuTextArea* a = mnu_TextAreaFind(&ctx, name);
        return a && a->text ? a->text : "";
    }
};
