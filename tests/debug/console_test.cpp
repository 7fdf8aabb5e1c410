// The debug text ring, the console's lookup and commands, the cheat unlock
// and the time-compression setter, on the sample data set's texts.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "base/file.h"
#include "base/filetable.h"
#include "cockpit/hud.h"
#include "debug/cheat.h"
#include "debug/console.h"
#include "debug/dbgtext.h"
#include "debug/timecomp.h"
#include "fixtures/heaps.h"
#include "fixtures/workdir.h"
#include "input/inmap.h"
#include "input/inmapfile.h"
#include "input/instate.h"
#include "mkdata.h"
#include "net/client.h"
#include "render/render.h"
#include "shell/cmdline.h"
#include "shell/runner.h"
#include "shell/settings.h"
#include "sim/plane.h"
#include "world/gamemode.h"
#include "world/level.h"

namespace {

std::string Text(uint32_t item) {
    for (const MkGameText& t : mkdata_ConsoleTexts())
        if (t.item == item) return std::string("~5") + t.text;
    return "?";
}

class ConsoleTest : public ::testing::Test {
protected:
    std::vector<uint8_t> image_;
    TestWorkDir dir_;

    void SetUp() override {
        MkTableGroup group{"QJGAME", {}};
        for (uint32_t i = 0; i < 1022; i++) group.items.push_back({"ITEM" + std::to_string(i), "", 0, 0, 0});
        for (const MkGameText& t : mkdata_ConsoleTexts()) group.items[t.item].text = t.text;
        image_ = mkdata_TableBuild({group});
        ASSERT_EQ(test_HeapsFresh(1u << 20, 0, 0), 0);
        level_GameData = file_TableRelocate(image_.data(), (uint32_t)image_.size());
        ASSERT_NE(level_GameData, nullptr);
        level_GameMode = GameModeFlags{};
        level_GameMode.display = level_GameMode.singlePlayer = 1;
        app_TickCount = 5000;
        hud_RepeaterInit();
        dbg_TextInit();
        con_ClearToggles();
        cheat_Reset();
        app_StartupOptions = 0;
        dbg_FastMode = 0;
        dbg_TimeCompression = 1;
        app_TickIncrement = 1;
        Client_PlayerObject = nullptr;
        memset(plane_SystemsDamage, 0, sizeof plane_SystemsDamage);
        ASSERT_TRUE(dir_.Enter("krx_console"));
    }
    void TearDown() override {
        dir_.Leave();
        cheat_Reset();
        level_GameData = nullptr;
        dbg_TimeCompression = 1;
        app_TickIncrement = 1;
        app_StartupOptions = 0;
        con_ClearToggles();
    }
    // The lines the ring would draw now, oldest first.
    static std::vector<std::string> Shown() {
        std::vector<std::string> out;
        if (!dbg_TextShowing()) return out;
        for (int32_t i = 0; const char* line = dbg_TextShownLine(i); i++) out.push_back(line);
        return out;
    }
    static std::string Last() {
        const std::vector<std::string> s = Shown();
        return s.empty() ? "" : s.back();
    }
};

TEST_F(ConsoleTest, RingKeepsTheFourNewestOldestFirstAndExpires) {
    EXPECT_EQ(dbg_TextDraw(), 0) << "nothing right after the reset";
    for (const char* t : {"one", "two", "three", "four", "five"}) dbg_TextPrint(t);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"~5two", "~5three", "~5four", "~5five"}));
    // Each line also went to the HUD repeater.
    ASSERT_EQ(hud_Repeater->count, 5);
    EXPECT_STREQ(hud_Repeater->lines[4], "~5five");

    app_TickCount += DBG_TEXT_TICKS;
    EXPECT_EQ(dbg_TextShowing(), 1) << "still fresh at 400 ticks";
    app_TickCount += 1;
    EXPECT_EQ(dbg_TextDraw(), 0);
    EXPECT_EQ(dbg_Text.shown, 0);
    dbg_TextPrint("six");
    EXPECT_EQ(Shown(), (std::vector<std::string>{"~5six"}));

    // A long line is cut to the slot; the text is never read as a format.
    dbg_TextPrint(std::string(300, 'x').c_str());
    dbg_TextPrint("%s%s%n");
    EXPECT_EQ(Shown()[1].size(), (size_t)DBG_TEXT_LINE_SIZE - 1);
    EXPECT_EQ(Last(), "~5%s%s%n");
    dbg_TextReset();
    EXPECT_EQ(dbg_TextShowing(), 0);
}

TEST_F(ConsoleTest, LookupOrderAndCaseOfThePlainWords) {
    struct Case {
        const char* typed;
        int32_t handled;
        std::string line;
    } cases[] = {
        {"blur", 1, Text(938)},
        {"BLUR", 1, Text(939)},
        {"JOYSTICK", 1, "~5JOYSTICK DISABLED"},
        {"joystick ", 0, ""},
        {"joystick reset", 1, Text(966)},
        {"bottomless", 1, Text(960)},   // a hidden word
        {"BottomLess", 1, Text(961)},
        {"off", 1, ""},                 // the overlay toggle
        {"OFF", 0, ""},
        {"hello there", 0, ""},
        {"", 0, ""},
    };
    app_Settings.JOYSTICK_ENABLE = 1;
    for (const Case& c : cases) {
        dbg_TextReset();
        EXPECT_EQ(con_Execute(c.typed), c.handled) << c.typed;
        EXPECT_EQ(Last(), c.line) << c.typed;
    }
    EXPECT_EQ(app_Settings.JOYSTICK_ENABLE, 0);
    EXPECT_EQ(con_OverlayHook, nullptr);
}

TEST_F(ConsoleTest, GatedWordsDoNothingOutsideSinglePlayer) {
    level_GameMode.singlePlayer = 0;
    const int32_t blackouts = app_Settings.BLACKOUTS;
    for (const char* w : {"fast", "blackout", "weapon overlay", "bomb overlay", "object overlay", "bottomless",
                          "feather", "gremlin", "overdrive", "restock", "topoff", "patchup"}) {
        EXPECT_EQ(con_Execute(w), 1) << w;
        EXPECT_EQ(dbg_TextShowing(), 0) << w;
    }
    EXPECT_EQ(dbg_FastMode, 0);
    EXPECT_EQ(app_Settings.BLACKOUTS, blackouts);
    EXPECT_EQ(con_UnlimitedStores, 0);
    EXPECT_EQ(app_StartupOptions, 0u);
    for (int32_t i = 0; i < CON_TOGGLE_WORDS; i++) EXPECT_EQ(con_ToggleBlock[i], 0) << i;

    level_GameMode.singlePlayer = 1;
    EXPECT_EQ(con_Execute("fast"), 1);
    EXPECT_EQ(dbg_FastMode, 1);
    EXPECT_EQ(Last(), Text(1014));
    EXPECT_EQ(con_Execute("feather"), 1);
    EXPECT_EQ(con_NoCrash(), 1);
    EXPECT_EQ(Last(), Text(1016));
}

TEST_F(ConsoleTest, LayoutWordsWrapAndShowTheStoredName) {
    inmap_JoystickLayout = INMAP_JOYSTICK_LAYOUT_COUNT - 1;
    EXPECT_EQ(con_Execute("joystick layout next"), 1);
    EXPECT_EQ(inmap_JoystickLayout, 0);
    EXPECT_EQ(Last(), std::string("~5") + inmap_JoystickLayouts[0].name);
    EXPECT_EQ(con_Execute("joystick layout prev"), 1);
    EXPECT_EQ(inmap_JoystickLayout, INMAP_JOYSTICK_LAYOUT_COUNT - 1);
    EXPECT_EQ(Last(), std::string("~5") + inmap_JoystickLayouts[INMAP_JOYSTICK_LAYOUT_COUNT - 1].name);
}

TEST_F(ConsoleTest, DamageTakesOnlyTextThatBeginsWithTheWord) {
    plane_CurrentDescriptor.damageableSystems = 0xFFFFFFFFu;
    struct Case {
        const char* typed;
        int32_t handled;
        int32_t system;  // -1: nothing damaged
        const char* line;
    } cases[] = {
        {"damage 6", 1, 6, "~5Damage 6 Set"},
        {"DAMAGE2", 1, 2, "~5Damage 2 Set"},
        {"damage", 1, -1, ""},
        {"damage lots", 1, -1, ""},
        {"damage 99999999999", 1, -1, ""},
        {"damage -1", 1, -1, "~5Damage -1 Set"},
        {"took damage 6", 0, -1, ""},
    };
    for (const Case& c : cases) {
        dbg_TextReset();
        memset(plane_SystemsDamage, 0, sizeof plane_SystemsDamage);
        EXPECT_EQ(con_Execute(c.typed), c.handled) << c.typed;
        for (int32_t i = 0; i < 19; i++)
            if (i != PLANE_SYS_AIRBRAKE) {
                EXPECT_EQ(plane_SystemsDamage[i], i == c.system ? 1 : 0) << c.typed << " " << i;
            }
        EXPECT_EQ(Last(), c.line) << c.typed;
    }
    plane_CurrentDescriptor.damageableSystems = 0;
}

TEST_F(ConsoleTest, CheatsUnlockOnlyWithTheMarkerAndTheWordsInOrder) {
    EXPECT_EQ(cheat_Command("harbour"), 0) << "no marker file";
    { std::ofstream("KRXDEV.KEY") << "x"; }
    EXPECT_EQ(cheat_Command("meadow"), 0) << "the second word first";
    EXPECT_EQ(cheat_Command("hurry"), 0);
    EXPECT_EQ(cheat_Command("Harbour"), 1);
    EXPECT_EQ(cheat_Command("compass"), 0) << "a wrong word keeps the stage";
    EXPECT_EQ(cheat_Stage, 1);
    EXPECT_EQ(cheat_Command("meadow"), 1);
    EXPECT_EQ(cheat_Command("endless"), 0) << "a cheat before the third word";
    EXPECT_EQ(con_UnlimitedStores, 0);
    EXPECT_EQ(cheat_Command("compass"), 1);
    EXPECT_EQ(Last(), "~5CHEATS ENABLED.");
    EXPECT_EQ(cheat_Command("harbour"), 0);

    EXPECT_EQ(cheat_Command("endless"), 1);
    EXPECT_EQ(con_UnlimitedStores, 1);
    EXPECT_EQ(cheat_StateByte, CHEAT_STATE_UNLIMITED);
    EXPECT_EQ(Last(), "~5UNLIMITED AMMO : ENABLED");
    // The console's word toggles the flag but not the state byte.
    EXPECT_EQ(con_Execute("bottomless"), 1);
    EXPECT_EQ(con_UnlimitedStores, 0);
    EXPECT_EQ(cheat_StateByte, CHEAT_STATE_UNLIMITED);

    // The no-crash cheat and the hidden word share the option bit.
    EXPECT_EQ(cheat_Command("unbreakable"), 1);
    EXPECT_EQ(app_StartupOptions, APP_OPTION_CONSOLE_TOGGLE);
    EXPECT_EQ(Last(), "~5NO CRASH : ENABLED");
    EXPECT_EQ(con_Execute("feather"), 1);
    EXPECT_EQ(app_StartupOptions, 0u);
    EXPECT_EQ(Last(), Text(1017));

    EXPECT_EQ(cheat_Command("hurry"), 1);
    EXPECT_EQ(dbg_FastMode, 1);
    EXPECT_EQ(cheat_Command("gremlins"), 1);
    EXPECT_EQ(cheat_StateByte, CHEAT_STATE_UNLIMITED | CHEAT_STATE_FLAG2);
    EXPECT_EQ(Last(), Text(942));

    // The one-shot actions need a player object.
    plane_PendingRoutine = nullptr;
    EXPECT_EQ(cheat_Command("aboutface"), 1);
    EXPECT_EQ(plane_PendingRoutine, nullptr);
}

TEST_F(ConsoleTest, EngineMessageComesUnscrambledAndGoesAgain) {
    { std::ofstream("KRXDEV.KEY") << "x"; }
    for (const char* w : {"harbour", "meadow", "compass"}) ASSERT_EQ(cheat_Command(w), 1);
    EXPECT_EQ(cheat_Command("engineer"), 1);
    EXPECT_EQ(dbg_EngineMessage, nullptr) << "no file";
    ASSERT_EQ(mkdata_WriteEngineMessage("."), 0);
    EXPECT_EQ(cheat_Command("engineer"), 1);
    ASSERT_NE(dbg_EngineMessage, nullptr);
    EXPECT_EQ(std::string(dbg_EngineMessage), mkdata_EngineMessagePlain());
    EXPECT_EQ(cheat_Command("engineer"), 1);
    EXPECT_EQ(dbg_EngineMessage, nullptr);
}

TEST_F(ConsoleTest, TimeCompressionOnlyInSinglePlayerWithItsLine) {
    dbg_ShowValue(6);
    EXPECT_EQ(dbg_TimeCompression, 6);
    EXPECT_EQ(app_TickIncrement, 6u);
    EXPECT_EQ(Last(), "~5TIME COMPRESSION 6X");
    dbg_ShowValue(6);
    EXPECT_EQ(dbg_Text.shown, 2) << "the same factor shows again";

    dbg_ShowValueLine(1);
    struct Case {
        int32_t display, singlePlayer;
    } refused[] = {{0, 1}, {1, 0}, {0, 0}};
    for (const Case& c : refused) {
        dbg_TextReset();
        level_GameMode.display = c.display;
        level_GameMode.singlePlayer = c.singlePlayer;
        dbg_ShowValue(4);
        EXPECT_EQ(dbg_TimeCompression, 1);
        EXPECT_EQ(app_TickIncrement, 1u);
        EXPECT_EQ(dbg_TextShowing(), 0);
    }

    // Stick movement during compressed time: back to real time, one line.
    level_GameMode.display = level_GameMode.singlePlayer = 1;
    dbg_ShowValue(6);
    dbg_TextReset();
    inmap_InputCurrent = _INPUT_STATE{};
    inmap_InputCurrent.stickX = 0.5f;
    render_TimeCompressionCancel();
    render_TimeCompressionCancel();
    inmap_InputCurrent = _INPUT_STATE{};
    EXPECT_EQ(dbg_TimeCompression, 1);
    EXPECT_EQ(app_TickIncrement, 1u);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"~5TIME COMPRESSION 1X"}));

    // Without the text the factor is still set.
    dbg_TextReset();
    level_GameData = nullptr;
    dbg_ShowValue(2);
    EXPECT_EQ(dbg_TimeCompression, 2);
    EXPECT_EQ(dbg_TextShowing(), 0);
}

}  // namespace
