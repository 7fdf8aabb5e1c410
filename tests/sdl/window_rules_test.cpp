// The SDL side's window rules: the loading window's flags and the focus
// rule, on windows of the common layer.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/backend.h"
#include "platform/harness.h"
#include "platform/sdl/sdl_events.h"
#include "platform/window.h"

namespace {

// The focus rule of the loading window, on windows of the common layer.
class SecondWindow : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("KRX_PLATFORM", "headless", 1);
        unsetenv("KRX_SCRIPT");
        plat_HarnessReset();
        ASSERT_EQ(plat_Init(), 0);
    }
    void TearDown() override { plat_Shutdown(); }
};

TEST_F(SecondWindow, StaysOutOfTheWayOfTheMainWindowsFocus) {
    EXPECT_EQ(sdl_WindowFlags(1, 0), (Uint32)SDL_WINDOW_SHOWN);
    EXPECT_EQ(sdl_WindowFlags(0, 0), (Uint32)SDL_WINDOW_HIDDEN);
    Uint32 second = sdl_WindowFlags(1, 1);
    EXPECT_TRUE(second & SDL_WINDOW_SHOWN);
    EXPECT_TRUE(second & SDL_WINDOW_SKIP_TASKBAR);
    EXPECT_TRUE(second & SDL_WINDOW_UTILITY);
    EXPECT_TRUE(second & SDL_WINDOW_BORDERLESS);

    PlatHwnd main = plat_WindowCreate("SKARVELCLASS", "KRX", 640, 480, plat_DefWindowProc, 1);
    PlatHwnd loading = plat_WindowCreate("SKARVELCLASSLOADING", "", 646, 32, plat_DefWindowProc, 1);
    ASSERT_NE(main, 0u);
    ASSERT_NE(loading, 0u);
    EXPECT_EQ(sdl_FocusOwner(loading), main);  // handed back
    EXPECT_EQ(sdl_FocusOwner(main), 0u);       // the main window keeps it
    EXPECT_EQ(sdl_FocusOwner(0), 0u);
    plat_WindowShow(main, PLAT_SW_MINIMIZE);
    EXPECT_EQ(sdl_FocusOwner(loading), 0u);  // a minimised main window is not forced up
    plat_WindowShow(main, PLAT_SW_RESTORE);
    EXPECT_EQ(sdl_FocusOwner(loading), main);

    // Native windows are found by their native side only.
    int nativeMain = 0, nativeLoading = 0;
    plat_WindowGet(main)->native = &nativeMain;
    plat_WindowGet(loading)->native = &nativeLoading;
    EXPECT_EQ(plat_WindowFromNative(&nativeLoading), loading);
    EXPECT_EQ(plat_WindowFromNative(&nativeMain), main);
    int other = 0;
    EXPECT_EQ(plat_WindowFromNative(&other), 0u);
    EXPECT_EQ(plat_WindowFromNative(nullptr), 0u);
    plat_WindowGet(main)->native = nullptr;
    plat_WindowGet(loading)->native = nullptr;
}

}  // namespace
