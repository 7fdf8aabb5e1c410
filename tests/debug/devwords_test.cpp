// The developer words that switch the debug overlays, and the toggles a
// level load starts from.
#include <gtest/gtest.h>

#include <cstring>

#include "debug/console.h"
#include "debug/dbgobj.h"
#include "debug/dbgoverlay.h"
#include "debug/dbgtext.h"
#include "shell/cmdline.h"

namespace {

class DevWordsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dbg_TextInit();
        con_ClearToggles();
    }
    void TearDown() override {
        con_ClearToggles();
        memset(dbg_OverlaySelect, 0, sizeof dbg_OverlaySelect);
        dbg_DebugObjectsShown = 0;
        app_StartupOptions = 0;
    }
};

TEST_F(DevWordsTest, EachWordFlipsItsSwitch) {
    struct Case {
        const char* word;
        int32_t* flag;
        uint8_t* byte;
    } cases[] = {
        // A toggle word, a selector byte (any case) and the client's path switch.
        {"dev framerate", &con_ToggleBlock[CON_FRAME_RATE], nullptr},
        {"DEV Triggers", nullptr, &dbg_OverlaySelect[DBG_SELECT_TRIGGERS]},
        {"dev paths", &dbg_DebugObjectsShown, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        auto value = [&c] { return c.flag ? *c.flag : (int32_t)*c.byte; };
        EXPECT_EQ(con_Execute(c.word), 1);
        EXPECT_EQ(value(), 1);
        EXPECT_EQ(con_Execute(c.word), 1);
        EXPECT_EQ(value(), 0);
    }
    EXPECT_EQ(con_Execute("dev"), 0);
    EXPECT_EQ(con_Execute("dev framerate please"), 0);
}

TEST_F(DevWordsTest, LevelLoadClearsTheTogglesAndMayShowTheFrameRate) {
    for (uint32_t options : {0u, APP_OPTION_FRAME_RATE}) {
        SCOPED_TRACE(options);
        app_StartupOptions = options;
        for (int32_t& w : con_ToggleBlock) w = 1;
        con_LevelToggles();
        for (int32_t i = 0; i < CON_TOGGLE_WORDS; i++)
            EXPECT_EQ(con_ToggleBlock[i], i == CON_FRAME_RATE && options ? 1 : 0) << i;
    }
}

}  // namespace
