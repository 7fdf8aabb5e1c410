// The main window on the headless backend, fed by an input script through
// the state runner: script keys and mouse events reach the key queue and
// the mouse state in the frames of their ticks.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/harness.h"
#include "platform/window.h"
#include "shell/runner.h"
#include "shell/wndproc.h"

namespace {

struct KeySeen {
    uint32_t frame;
    uint32_t entry;
};
struct FrameMouse {
    int32_t x, y, held, pressed, released;
    int32_t msgX, msgY, buttons;
};

std::vector<KeySeen> g_keys;
std::vector<FrameMouse> g_mouse;  // indexed by frame - 1
uint32_t g_frame = 0;
int g_dialogChosen = -1, g_dialogAgain = -1;
char g_dialogTitle[64];

void Enter() {
    app_MouseTrack.tracking = 1;
}

int32_t Frame() {
    g_frame++;
    while (uint32_t e = app_KeyQueuePop()) g_keys.push_back({g_frame, e});
    const AppMouseTrack& t = app_MouseTrack;
    g_mouse.push_back({t.x, t.y, t.held.left, t.pressed.left, t.released.left, app_MouseState.x, app_MouseState.y,
                       app_MouseState.buttons});
    if (g_frame == 12) {
        char file[APP_FILE_NAME_SIZE];
        const char filter[] = "Missions\0*.MSN\0";
        g_dialogChosen = app_FileOpenDialog(filter, file, g_dialogTitle, sizeof g_dialogTitle);
        char again[sizeof g_dialogTitle];
        g_dialogAgain = app_FileOpenDialog(filter, file, again, sizeof again);
    }
    return g_frame == 14;
}

const AppStateRecord kState = {Enter, Frame, nullptr, nullptr, 0};

class WndProcScriptTest : public ::testing::Test {
protected:
    std::string dir;
    void SetUp() override {
        char tmpl[] = "/tmp/krx_wndproc_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override {
        app_TimerStop();
        plat_Shutdown();
        app_MainHwnd = 0;
        app_QuitFlag = 0;
        unsetenv("KRX_SCRIPT");
        std::string cmd = "rm -rf '" + dir + "'";
        if (system(cmd.c_str()) != 0) {
        }
    }
    void Write(const std::string& name, const std::string& text) {
        FILE* f = fopen((dir + "/" + name).c_str(), "w");
        ASSERT_NE(f, nullptr);
        fputs(text.c_str(), f);
        fclose(f);
    }
    void Start(const std::string& script, PlatWndProc proc = app_MainWndProc) {
        Write("input.txt", script);
        setenv("KRX_PLATFORM", "headless", 1);
        setenv("KRX_SCRIPT", (dir + "/input.txt").c_str(), 1);
        unsetenv("KRX_MAXTICKS");
        plat_HarnessReset();
        ASSERT_EQ(plat_Init(), 0);
        app_QuitFlag = 0;
        app_KeyStateClear();
        app_MouseState = AppMouseState{};
        app_MouseTrack = AppMouseTrack{};
        app_MainHwnd = plat_WindowCreate("SKARVELCLASS", "KRX", 640, 480, proc, 1);
        ASSERT_NE(app_MainHwnd, 0u);
    }
};

TEST_F(WndProcScriptTest, ScriptEventsReachKeyQueueAndMouseState) {
    Write("USER.MSN", "mission\n");
    Start("0 mouse 10 20\n"
          "2 keydown SHIFT\n"
          "2 keydown A\n"
          "2 char A\n"
          "3 keyup A\n"
          "3 keyup SHIFT\n"
          "4 keydown CONTROL ext\n"
          "4 key DELETE ext\n"
          "4 keyup CONTROL ext\n"
          "5 lbutton down 50 60\n"
          "6 lbutton up 55 65\n"
          "7 keydown B\n"
          "8 keydown B\n"
          "9 keyup B\n"
          "0 openfile " + dir + "/USER.MSN\n");
    g_keys.clear();
    g_mouse.clear();
    g_frame = 0;
    app_TickCount = 0;
    app_KeepRunningFlag = 0;
    app_TimerInterval = 25;
    app_TickIncrement = 1;
    app_TimerStart();
    app_StateChainRun(&kState);
    ASSERT_EQ(g_frame, 14u);

    // The frame of tick T sees the events of tick T.
    std::vector<KeySeen> want = {
        {2, 16u | 256u << 16},
        {2, 'A' | 'A' << 8 | 256u << 16},
        {4, 17u | (1024u + 128u) << 16},
        {4, VK_DELETE | (1024u + 128u) << 16},
        {7, 'B'},
        {8, 'B'},  // held: a repeat press
    };
    ASSERT_EQ(g_keys.size(), want.size());
    for (size_t i = 0; i < want.size(); i++) {
        EXPECT_EQ(g_keys[i].frame, want[i].frame) << i;
        EXPECT_EQ(g_keys[i].entry, want[i].entry) << i;
    }
    for (int i = 0; i < 256; i++) EXPECT_EQ(app_KeyState.downTable[i], 0) << i;

    // Tracking came on with the state, after the tick-0 move.
    EXPECT_EQ(g_mouse[0].x, 10);  // the poll reads the cursor itself
    EXPECT_EQ(g_mouse[4].held, 1);
    EXPECT_EQ(g_mouse[4].pressed, 1);
    EXPECT_EQ(g_mouse[4].msgX, 50);
    EXPECT_EQ(g_mouse[4].buttons, 1);
    EXPECT_EQ(g_mouse[5].held, 0);
    EXPECT_EQ(g_mouse[5].pressed, 0);
    EXPECT_EQ(g_mouse[5].released, 1);
    EXPECT_EQ(g_mouse[5].x, 55);
    EXPECT_EQ(g_mouse[5].y, 65);
    EXPECT_EQ(g_mouse[5].buttons, 0);
    EXPECT_EQ(g_mouse[6].released, 0);

    // The scripted answer chooses the file; the next dialog gets none.
    EXPECT_EQ(g_dialogChosen, 1);
    EXPECT_STREQ(g_dialogTitle, "USER.MSN");
    EXPECT_EQ(g_dialogAgain, 0);
}

TEST_F(WndProcScriptTest, KeyDownOfAHeldKeyCarriesTheRepeatBit) {
    // A plain window: the messages stay in the queue to be looked at.
    Start("0 keydown B\n0 keydown B\n0 syskeydown F\n0 keyup B\n0 keydown B\n", plat_DefWindowProc);
    std::vector<uint32_t> bits;
    PlatMsg m;
    while (plat_PeekMessage(&m, 0, 0, 0, PM_REMOVE))
        bits.push_back((uint32_t)m.lParam & (KF_REPEAT_BIT | KF_ALTDOWN_BIT | KF_UP_BIT));
    EXPECT_EQ(bits, (std::vector<uint32_t>{0, KF_REPEAT_BIT, KF_ALTDOWN_BIT, KF_REPEAT_BIT | KF_UP_BIT, 0}));
}

}  // namespace
