// The main window procedure driven with tables of messages on the headless
// backend: key table and queue, posted routines, pumps, mouse, focus.
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>
#include <vector>

#include "base/mem.h"
#include "display/otw.h"
#include "fixtures/headless.h"
#include "input/ekey.h"
#include "input/inmap.h"
#include "platform/backend.h"
#include "platform/harness.h"
#include "sound/snd.h"
#include "platform/window.h"
#include "shell/runner.h"
#include "shell/wndproc.h"

namespace {

intptr_t KeyL(bool ext, bool repeat = false) {
    uint32_t l = 1;
    if (ext) l |= KF_EXTENDED_BIT;
    if (repeat) l |= KF_REPEAT_BIT;
    return (intptr_t)(int32_t)l;
}

class WndProcTest : public ::testing::Test {
protected:
    PlatHwnd hwnd = 0;

    void SetUp() override {
        ASSERT_EQ(test_HeadlessStart(), 0);
        app_QuitFlag = 0;
        app_KeyStateClear();
        app_MouseState = AppMouseState{};
        app_MouseTrack = AppMouseTrack{};
        app_CaptureWanted = app_CaptureHeld = 0;
        app_MinimizeOnDeactivate = 1;
        hwnd = plat_WindowCreate("SKARVELCLASS", "KRX", 640, 480, app_MainWndProc, 1);
        ASSERT_NE(hwnd, 0u);
        app_MainHwnd = hwnd;
    }
    void TearDown() override {
        plat_Shutdown();
        app_MainHwnd = 0;
        app_QuitFlag = 0;
    }
    intptr_t Send(uint32_t msg, uintptr_t w = 0, intptr_t l = 0) { return app_MainWndProc(hwnd, msg, w, l); }
    void Down(uint32_t vk, bool ext = false, bool repeat = false) { Send(WM_KEYDOWN, vk, KeyL(ext, repeat)); }
    void Up(uint32_t vk, bool ext = false) { Send(WM_KEYUP, vk, KeyL(ext) | (intptr_t)(int32_t)KF_UP_BIT); }
    std::vector<uint32_t> PopAll() {
        std::vector<uint32_t> out;
        while (uint32_t e = app_KeyQueuePop()) out.push_back(e);
        return out;
    }
    std::vector<int> DownEntries() {
        std::vector<int> out;
        for (int i = 0; i < 256; i++)
            if (app_KeyState.downTable[i]) out.push_back(i);
        return out;
    }
};

TEST_F(WndProcTest, KeyDownTableIndexAndExtendedKeys) {
    struct Case {
        uint32_t vk;
        bool ext;
        bool sys;
        std::vector<int> entries;
    } cases[] = {
        {'A', false, false, {65}},
        {VK_CONTROL, false, false, {17}},
        {VK_CONTROL, true, false, {17, 145}},  // right Control
        {VK_UP, true, false, {128 + 0x26}},    // grey arrow
        {VK_UP, false, false, {0x26}},         // keypad arrow
        {VK_OEM_1, false, false, {0x3A}},      // codes above 127 fold onto 0..127
        {VK_MENU, true, true, {128 + 18}},     // right Alt arrives as a system key
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vk);
        Send(c.sys ? WM_SYSKEYDOWN : WM_KEYDOWN, c.vk, KeyL(c.ext));
        EXPECT_EQ(DownEntries(), c.entries);
        Send(c.sys ? WM_SYSKEYUP : WM_KEYUP, c.vk, KeyL(c.ext) | (intptr_t)(int32_t)KF_UP_BIT);
        EXPECT_TRUE(DownEntries().empty());
    }
}

TEST_F(WndProcTest, QueueEntriesCarryModifierWords) {
    Down(VK_SHIFT);
    Down(VK_CONTROL);
    EXPECT_EQ(PopAll(), (std::vector<uint32_t>{16u | 256u << 16, 17u | 1280u << 16}));
    Down('A');
    Down(VK_DELETE, true);
    Up(VK_CONTROL);
    Down(VK_CONTROL, true);  // right Control counts as Control too
    Down('B');
    Up(VK_SHIFT);
    Down('C');
    EXPECT_EQ(PopAll(), (std::vector<uint32_t>{'A' | 1280u << 16, VK_DELETE | 1408u << 16,
                                               VK_CONTROL | 1408u << 16, 'B' | 1280u << 16, 'C' | 1024u << 16}));
}

TEST_F(WndProcTest, RepeatedKeyDownQueuesEachTimeAndCharacterFillsLastEntry) {
    Send(WM_CHAR, 'x');  // nothing queued yet: no entry to fill
    Down('A');
    Send(WM_CHAR, 'a');
    Down('A', false, true);
    Down('A', false, true);
    Send(WM_CHAR, 'a');
    EXPECT_EQ(DownEntries(), std::vector<int>{65});
    EXPECT_EQ(PopAll(), (std::vector<uint32_t>{'A' | 'a' << 8, 'A', 'A' | 'a' << 8}));
    Up('A');
    EXPECT_TRUE(DownEntries().empty());
}

TEST_F(WndProcTest, FullQueueDropsNewestKeys) {
    for (uint32_t i = 0; i < 130; i++) {
        Down(0x30 + i % 40);
        Send(WM_CHAR, 'z');
    }
    std::vector<uint32_t> got = PopAll();
    ASSERT_EQ(got.size(), 127u);
    for (uint32_t i = 0; i < 127; i++) EXPECT_EQ(got[i], (0x30 + i % 40) | 'z' << 8) << i;
    // Once read, the queue takes keys again.
    Down('Q');
    EXPECT_EQ(PopAll(), std::vector<uint32_t>{'Q'});
}

TEST_F(WndProcTest, QueueOffWordAndClears) {
    app_KeyStateWordSet(1);
    Down('A');
    EXPECT_TRUE(PopAll().empty());
    EXPECT_EQ(DownEntries(), std::vector<int>{65});
    app_KeyStateWordSet(0);
    Down('B');
    Down('C');
    app_KeyQueueClear();
    EXPECT_TRUE(PopAll().empty());
    app_KeyDownClear();
    EXPECT_TRUE(DownEntries().empty());
}

TEST_F(WndProcTest, LosingFocusReleasesHeldKeys) {
    Down(VK_CONTROL, true);
    Down('W');
    ASSERT_EQ(app_FocusFlag.load(), 1);
    ASSERT_EQ(ekey_StateTable['W'], 1);
    Send(WM_KILLFOCUS);
    EXPECT_EQ(app_FocusFlag.load(), 0);
    EXPECT_TRUE(DownEntries().empty());
    // The keyboard layer saw both keys go up.
    EXPECT_EQ(ekey_StateTable['W'], 0);
    EXPECT_EQ(ekey_StateTable[VK_CONTROL], 0);
    EXPECT_EQ(ekey_ReleasedTable['W'], 1);
    Send(WM_SETFOCUS);
    EXPECT_EQ(app_FocusFlag.load(), 1);
}

TEST_F(WndProcTest, QuitEndsPumpAndLeavesLaterMessages) {
    plat_PostMessage(hwnd, WM_KEYDOWN, 'A', KeyL(false));
    plat_PostQuitMessage(0);
    plat_PostMessage(hwnd, WM_KEYDOWN, 'B', KeyL(false));
    uint32_t counted = app_MessageCount;
    app_PumpMessagesEx();
    EXPECT_EQ(app_QuitFlag, 1);
    EXPECT_EQ(app_MessageCount - counted, 2u);
    EXPECT_EQ(PopAll(), std::vector<uint32_t>{'A'});
    EXPECT_EQ(plat_MessageCount(), 1u);
    app_PumpMessagesEx();  // the quit flag stays: nothing more is taken
    app_PumpMouseMessages();
    EXPECT_EQ(plat_MessageCount(), 1u);
}

TEST_F(WndProcTest, PlainPumpReportsQuitWithoutSettingFlag) {
    plat_PostMessage(hwnd, WM_KEYDOWN, 'A', KeyL(false));
    plat_PostQuitMessage(0);
    plat_PostMessage(hwnd, WM_KEYDOWN, 'B', KeyL(false));
    EXPECT_EQ(app_PumpMessages(), 1);
    EXPECT_EQ(app_QuitFlag, 0);
    EXPECT_EQ(plat_MessageCount(), 1u);
    EXPECT_EQ(app_PumpMessages(), 0);
    EXPECT_EQ(PopAll(), (std::vector<uint32_t>{'A', 'B'}));
}

}  // namespace

// The MIDI poll as the shell tests link it (see CMakeLists.txt): the
// result a test asks for, counting its calls.
static int32_t g_midiPollResult = 0;
static int g_midiPollCalls = 0;
extern "C" int32_t __wrap__Z14music_MidiPollv(void) {
    g_midiPollCalls++;
    return g_midiPollResult;
}

namespace {

// The plain pump's result means "WM_QUIT was removed"; the MIDI poll runs
// after every pump that saw none, and whatever it answers is no quit.
TEST_F(WndProcTest, PlainPumpResultIsItsOwn) {
    g_midiPollResult = 1;
    g_midiPollCalls = 0;
    plat_PostMessage(hwnd, WM_KEYDOWN, 'A', KeyL(false));
    EXPECT_EQ(app_PumpMessages(), 0);
    EXPECT_EQ(app_PumpMessages(), 0);
    EXPECT_EQ(g_midiPollCalls, 2);
    plat_PostQuitMessage(0);
    EXPECT_EQ(app_PumpMessages(), 1);
    EXPECT_EQ(g_midiPollCalls, 2);  // a quit returns at once
    g_midiPollResult = 0;
    EXPECT_EQ(PopAll(), std::vector<uint32_t>{'A'});
}

TEST_F(WndProcTest, MousePumpTakesOnlyMouseMessages) {
    plat_PostMessage(hwnd, WM_KEYDOWN, 'A', KeyL(false));
    plat_PostMessage(hwnd, WM_MOUSEMOVE, 0, plat_MakeLParam(3, 4));
    plat_PostMessage(hwnd, WM_LBUTTONDOWN, 1, plat_MakeLParam(5, 6));
    EXPECT_EQ(app_PumpMouseMessages(), 1u);
    EXPECT_EQ(app_MouseState.x, 5);
    EXPECT_EQ(plat_MessageCount(), 1u);  // the key stays
    plat_PostMessage(hwnd, WM_MOUSEMOVE, 0, 0);
    plat_PostQuitMessage(0);
    app_PumpMouseMessages();
    EXPECT_EQ(app_QuitFlag, 1);
}

// ---- Posted routines ---------------------------------------------------------

struct Completion {
    uint32_t user;
    std::thread::id thread;
};
std::vector<Completion> g_completions;
void RecordCompletion(uint32_t user) { g_completions.push_back({user, std::this_thread::get_id()}); }

int g_foreignCalls = 0;
void ForeignRoutine(intptr_t) { g_foreignCalls++; }

TEST_F(WndProcTest, PostedRoutinesRunOnMainThreadInOrder) {
    if (!mem_AltHeap2.base) {
        mem_HeapSizesSet(0, 0x10000, 0);
        ASSERT_EQ(mem_Heap2Init(), 0);
    }
    SndSampleOwner owners[3];
    for (uint32_t i = 0; i < 3; i++) {
        owners[i] = SndSampleOwner{1, mem_AllocInHeap2(64), RecordCompletion, 100 + i};
        ASSERT_NE(owners[i].sample, nullptr);
    }
    uint32_t handles[3];
    for (uint32_t i = 0; i < 3; i++) ASSERT_NE(handles[i] = snd_OwnerHandleAdd(&owners[i]), 0u);
    g_completions.clear();
    app_RendererMessageValue = 0;
    std::thread poster([&] {
        vid_PostDeferredCall(handles[0]);
        vid_PostDeferredCall(handles[1]);
        app_PostRendererMessage(0x1234);
        vid_PostDeferredCallReg(handles[2]);
        vid_PostDeferredCall(0);  // no owner: nothing
        vid_PostDeferredCall(handles[0]);  // released already: nothing twice
    });
    poster.join();
    EXPECT_TRUE(g_completions.empty());  // nothing runs until the pump
    app_PumpMessagesEx();
    ASSERT_EQ(g_completions.size(), 3u);
    for (uint32_t i = 0; i < 3; i++) {
        EXPECT_EQ(g_completions[i].user, 100 + i);
        EXPECT_EQ(g_completions[i].thread, std::this_thread::get_id());
        EXPECT_EQ(owners[i].playing, 0);
        EXPECT_EQ(owners[i].completion, nullptr);
        EXPECT_EQ(owners[i].sample, nullptr);
        snd_OwnerHandleRemove(handles[i]);
    }
    EXPECT_EQ(app_RendererMessageValue, 0x1234);
}

TEST_F(WndProcTest, UserMessageRunsOnlyTheProgramsOwnRoutines) {
    g_foreignCalls = 0;
    EXPECT_EQ(Send(WM_USER, 0, 5), 0);
    EXPECT_EQ(Send(WM_USER, reinterpret_cast<uintptr_t>(&ForeignRoutine), 5), 0);
    EXPECT_EQ(Send(WM_USER, 0xDEADBEEF, 5), 0);
    EXPECT_EQ(g_foreignCalls, 0);
}

// ---- System commands, activation, close ---------------------------------------

TEST_F(WndProcTest, KeyMenuAndScreenSaverAreSwallowed) {
    for (uintptr_t cmd : {0xF100u, 0xF10Fu, 0xF140u, 0xF14Fu}) EXPECT_EQ(Send(WM_SYSCOMMAND, cmd), 0);
    EXPECT_FALSE(plat_WindowIsMinimized(hwnd));
    Send(WM_SYSCOMMAND, SC_MINIMIZE);  // others get the default handling
    EXPECT_TRUE(plat_WindowIsMinimized(hwnd));
}

TEST_F(WndProcTest, DeactivationMinimisesFullScreenAndSuspendsInput) {
    otw_DisplayOpen = 1;
    otw_State.windowed = 0;
    Send(WM_ACTIVATEAPP, 0);
    EXPECT_EQ(app_InactiveFlag, 1);
    EXPECT_EQ(inmap_SuspendFlag, 1);
    EXPECT_TRUE(plat_WindowIsMinimized(hwnd));
    Send(WM_ACTIVATEAPP, 1);
    EXPECT_EQ(app_InactiveFlag, 0);
    EXPECT_EQ(inmap_SuspendFlag, 0);
    EXPECT_FALSE(plat_WindowIsMinimized(hwnd));
    app_MinimizeOnDeactivate = 0;
    Send(WM_ACTIVATEAPP, 0);
    EXPECT_FALSE(plat_WindowIsMinimized(hwnd));
    otw_State.windowed = 1;
    app_MinimizeOnDeactivate = 1;
    Send(WM_ACTIVATEAPP, 0);
    EXPECT_FALSE(plat_WindowIsMinimized(hwnd));  // a windowed display stays
    otw_DisplayOpen = 0;
    otw_State = DisplayState{};
}

TEST_F(WndProcTest, CloseDestroysWindowAndQuits) {
    plat_PostMessage(hwnd, WM_CLOSE, 0, 0);
    app_PumpMessagesEx();
    EXPECT_EQ(app_QuitFlag, 1);
    EXPECT_EQ(app_MainHwnd, 0u);
    EXPECT_EQ(app_MinimizeOnDeactivate, 0);
    EXPECT_FALSE(plat_WindowIsValid(hwnd));
    PlatMsg m;
    ASSERT_TRUE(plat_PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_QUIT);
}

TEST_F(WndProcTest, CaptureIsTakenAgainWhenFocusReturns) {
    app_MouseCapture();
    EXPECT_EQ(app_CaptureWanted, 1);
    EXPECT_EQ(app_CaptureHeld, 1);
    Send(WM_CAPTURECHANGED);
    EXPECT_EQ(app_CaptureHeld, 0);
    Send(WM_SETFOCUS);
    EXPECT_EQ(app_CaptureHeld, 1);
    app_MouseRelease();
    Send(WM_CAPTURECHANGED);
    Send(WM_SETFOCUS);
    EXPECT_EQ(app_CaptureHeld, 0);
}

// ---- Mouse ------------------------------------------------------------------------

struct HookCall {
    int32_t code, buttons;
    bool operator==(const HookCall&) const = default;
};
std::vector<HookCall> g_hookCalls;
int32_t Hook(int32_t code, int32_t buttons) {
    g_hookCalls.push_back({code, buttons});
    return 0;
}
std::vector<int32_t> g_trackEvents;
void TrackEvent(int32_t code) { g_trackEvents.push_back(code); }

TEST_F(WndProcTest, MouseMessagesBecomeCallbackCodes) {
    g_hookCalls.clear();
    app_MouseHookSet(Hook);
    otw_ClientOffsetX = 10;
    otw_ClientOffsetY = 20;
    Send(WM_MOUSEMOVE, 0, plat_MakeLParam(100, -5));
    EXPECT_EQ(app_MouseState.x, 100);
    EXPECT_EQ(app_MouseState.y, -5);
    EXPECT_EQ(app_MouseState.absX, 110);
    EXPECT_EQ(app_MouseState.absY, 15);
    Send(WM_LBUTTONDOWN, 1, plat_MakeLParam(1, 2));
    Send(WM_RBUTTONDOWN, 3, plat_MakeLParam(1, 2));
    Send(WM_LBUTTONUP, 2, plat_MakeLParam(1, 2));
    Send(WM_RBUTTONUP, 0, plat_MakeLParam(1, 2));
    // Outside the client area: the button bits follow the message and the
    // position stays.
    Send(WM_NCLBUTTONDOWN, 0, plat_MakeLParam(900, 900));
    Send(WM_NCRBUTTONDOWN, 0, plat_MakeLParam(900, 900));
    Send(WM_NCLBUTTONUP, 0, plat_MakeLParam(900, 900));
    Send(WM_NCRBUTTONUP, 0, plat_MakeLParam(900, 900));
    Send(WM_NCMBUTTONDOWN, 0, 0);  // tracking only
    EXPECT_EQ(app_MouseState.x, 1);
    EXPECT_EQ(g_hookCalls, (std::vector<HookCall>{{1, 0}, {2, 1}, {8, 3}, {4, 2}, {16, 0},
                                                  {2, 1}, {8, 3}, {4, 2}, {16, 0}}));
    // With the mode word set the callback is not called.
    app_MouseModeSet(1);
    Send(WM_MOUSEMOVE, 0, plat_MakeLParam(7, 8));
    EXPECT_EQ(g_hookCalls.size(), 9u);
    EXPECT_EQ(app_MouseState.x, 7);
    EXPECT_EQ(app_MouseTranslate(0, 0, WM_LBUTTONDBLCLK, 0), (int32_t)WM_LBUTTONDBLCLK);
    app_MouseModeSet(0);
    app_MouseHookSet(nullptr);
    otw_ClientOffsetX = otw_ClientOffsetY = 0;
}

TEST_F(WndProcTest, TrackingRecordsHeldAndFrameEdges) {
    g_trackEvents.clear();
    Send(WM_LBUTTONDOWN, 1, 0);  // tracking off: nothing
    EXPECT_EQ(app_MouseTrack.held.left, 0);
    app_MouseTrack.tracking = 1;
    app_MouseTrack.event = TrackEvent;
    Send(WM_MOUSEMOVE, 0, plat_MakeLParam(30, 40));
    Send(WM_LBUTTONDOWN, 1, 0);
    Send(WM_RBUTTONDOWN, 3, 0);
    Send(WM_NCMBUTTONDOWN, 0, 0);
    EXPECT_EQ(app_MouseTrack.x, 30);
    EXPECT_EQ(app_MouseTrack.y, 40);
    EXPECT_EQ(app_MouseTrack.held.left + app_MouseTrack.held.right + app_MouseTrack.held.middle, 3);
    EXPECT_EQ(app_MouseTrack.pressed.left + app_MouseTrack.pressed.right + app_MouseTrack.pressed.middle, 3);
    app_MouseFramePost();
    EXPECT_EQ(app_MouseTrack.pressed.left, 0);
    EXPECT_EQ(app_MouseTrack.held.left, 1);
    Send(WM_LBUTTONUP, 0, 0);
    Send(WM_RBUTTONUP, 0, 0);
    Send(WM_NCMBUTTONUP, 0, 0);
    EXPECT_EQ(app_MouseTrack.released.left + app_MouseTrack.released.right + app_MouseTrack.released.middle, 3);
    EXPECT_EQ(g_trackEvents, (std::vector<int32_t>{1, 2, 6, 4, 3, 7, 5}));
    Send(WM_LBUTTONDOWN, 1, 0);
    app_MouseReset();
    EXPECT_EQ(app_MouseTrack.held.left, 0);
    EXPECT_EQ(app_MouseTrack.released.left, 0);
    EXPECT_EQ(app_MouseTrack.x, 0);
    EXPECT_EQ(app_MouseTrack.tracking, 1);  // the mode itself stays
}

TEST_F(WndProcTest, PollReadsCursorAndCentringWarpsBack) {
    app_MouseTrack.tracking = 1;
    app_CursorWarp(100, 300);
    app_MousePoll();
    EXPECT_EQ(app_MouseTrack.x, 100);
    EXPECT_EQ(app_MouseTrack.y, 300);
    otw_ScreenSurface.width = 640;
    otw_ScreenSurface.height = 480;
    app_MouseTrack.centring = 1;
    app_MouseTrack.centreX = 320;
    app_MouseTrack.centreY = 240;
    app_MousePoll();
    EXPECT_EQ(app_MouseTrack.dirLeft, 1);
    EXPECT_EQ(app_MouseTrack.dirRight, 0);
    EXPECT_EQ(app_MouseTrack.dirUp, 0);
    EXPECT_EQ(app_MouseTrack.dirDown, 1);
    app_MouseFramePost();
    EXPECT_EQ(app_MouseTrack.dirLeft + app_MouseTrack.dirDown, 0);
    app_MousePoll();
    EXPECT_EQ(app_MouseTrack.x, 320);
    EXPECT_EQ(app_MouseTrack.y, 240);
    EXPECT_EQ(app_MouseTrack.dirLeft + app_MouseTrack.dirRight + app_MouseTrack.dirUp + app_MouseTrack.dirDown, 0);
    otw_State = DisplayState{};
}

TEST_F(WndProcTest, CursorShowAndHideAllReachTheirCount) {
    for (int i = 0; i < 5; i++) plat_CursorShow(1);
    app_CursorHideAll();
    EXPECT_EQ(app_MouseTrack.cursorVisible, 0);
    EXPECT_EQ(plat_CursorShow(1), 0);  // the count was -1
    plat_CursorShow(0);
    for (int i = 0; i < 7; i++) plat_CursorShow(0);
    app_CursorShowAll();
    EXPECT_EQ(app_MouseTrack.cursorVisible, 1);
    EXPECT_EQ(plat_CursorShow(0), -1);  // the count was 0
    app_CursorShowLoop();
    EXPECT_EQ(app_MouseTrack.cursorVisible, 1);
    app_CursorHideLoop();
    EXPECT_EQ(app_MouseTrack.cursorVisible, 0);
    EXPECT_EQ(plat_CursorShow(1), 0);  // from 0 to -1, and no further
}

TEST_F(WndProcTest, FileDialogRejectsNullArgumentsAndChoosesNoneByDefault) {
    char file[APP_FILE_NAME_SIZE] = "old";
    char title[32] = "old";
    const char filter[] = "Missions\0*.MSN\0";
    EXPECT_EQ(app_FileOpenDialog(nullptr, file, title, sizeof title), 0);
    EXPECT_EQ(app_FileOpenDialog(filter, nullptr, title, sizeof title), 0);
    EXPECT_EQ(app_FileOpenDialog(filter, file, nullptr, sizeof title), 0);
    EXPECT_STREQ(title, "old");
    EXPECT_EQ(app_FileOpenDialog(filter, file, title, sizeof title), 0);
    EXPECT_STREQ(title, "");
    EXPECT_STREQ(file, "");
}

TEST(PlatFilter, WalksPairsAndStopsAtTheEnd) {
    const char filter[] = "Missions\0*.MSN;*.msn\0All\0*.*\0";
    size_t pos = 0;
    const char *d = nullptr, *p = nullptr;
    ASSERT_TRUE(plat_FilterNext(filter, &pos, &d, &p));
    EXPECT_STREQ(d, "Missions");
    EXPECT_STREQ(p, "*.MSN;*.msn");
    ASSERT_TRUE(plat_FilterNext(filter, &pos, &d, &p));
    EXPECT_STREQ(d, "All");
    EXPECT_FALSE(plat_FilterNext(filter, &pos, &d, &p));
    // A description without its pattern is no pair.
    const char half[] = "Missions\0";
    pos = 0;
    EXPECT_FALSE(plat_FilterNext(half, &pos, &d, &p));
    EXPECT_FALSE(plat_FilterNext(nullptr, &pos, &d, &p));
}

}  // namespace
