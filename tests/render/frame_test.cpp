// Frame composition: the frame rate, the world-wanted rule, the one-shot
// screenshot action, the tints and their clamps, the screen shake, the
// screen-state table and the user message relay.
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "world/gamemode.h"
#include "cockpit/tacmap.h"
#include "debug/timecomp.h"
#include "display/hw3d.h"
#include "display/hw3d_draw.h"
#include "input/instate.h"
#include "sound/snd.h"
#include "frame_fixture.h"
#include "shell/runner.h"
#include "shell/startup.h"
#include "shell/wndproc.h"
#include "sim/trig.h"

namespace {

std::vector<uint8_t> ReadFile(const char* name) {
    std::ifstream f(name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

TEST_F(FrameTest, FirstRateIsZeroAndRatesChangeAtMostOnceASecond) {
    render_RateFrames = -1;
    render_FrameRate = 0;
    app_TickCount = 1000;
    EXPECT_EQ(render_FrameRateMeasure(), 0);  // only starts the sampler
    // 20 frames in 39 ticks: no new rate yet; the 21st at tick 1040 makes one.
    for (int32_t i = 1; i <= 20; i++) {
        app_TickCount = 1000 + (uint32_t)i * 39 / 20;
        EXPECT_EQ(render_FrameRateMeasure(), 0) << i;
    }
    app_TickCount = 1040;
    EXPECT_EQ(render_FrameRateMeasure(), 21 * 0x10000);  // 21 frames in one second
    // Half a second later the rate stands; 80 ticks after the sample it is 5 fps.
    app_TickCount = 1060;
    EXPECT_EQ(render_FrameRateMeasure(), 21 * 0x10000);
    for (uint32_t t = 1061; t < 1120; t += 10) render_FrameRateMeasure();
    app_TickCount = 1120;
    EXPECT_EQ(render_FrameRateMeasure(), (8 * 0x280000 + 40) / 80);
}

TEST_F(FrameTest, PanelViewWithoutCockpitChangeDrawsNoWorld) {
    SampleTerrain terrain;
    Open(1);
    ObjectRecord plane{};
    plane.position = FixWorldPos{(uint32_t)MK_RUNWAY_CELL_X0 << 23, 0x1000000, (uint32_t)MK_RUNWAY_CELL_Z << 23};
    ViewedObject = &plane;
    Camera(plane);
    struct Case {
        uint32_t flags;
        uint8_t cockpitToCockpit;
        bool world;
    } cases[] = {{VIEW_OPT_PANEL, 0, false}, {VIEW_OPT_PANEL, 1, true}, {0, 0, true}, {VIEW_OPT_COCKPIT_LAYERS, 0, true}};
    for (const Case& c : cases) {
        FillScreen(0);
        otw_UnlockSurface();
        ViewFlags = c.flags;
        view_Words.cockpitToCockpit = c.cockpitToCockpit;
        render_Frame();
        EXPECT_EQ(render_WorldWanted, c.world ? 1 : 0) << c.flags;
        int64_t upper, lower;
        Halves(LastFrame(), &upper, &lower);
        EXPECT_EQ(lower > 640 * 200, c.world) << c.flags << " " << (int)c.cockpitToCockpit;
    }
}

TEST_F(FrameTest, SnapshotRunsOnceAndTakesTheFirstFreeNumber) {
    for (int32_t bytes : {2, 1}) {
        Open(bytes);
        const char* ext = bytes == 2 ? ".RAW" : ".PCX";
        const std::string n0 = std::string("SNAP0000") + ext, n1 = std::string("SNAP0001") + ext,
                          n2 = std::string("SNAP0002") + ext;
        const int32_t counter = render_ScreenshotCounter;
        // Looking straight down: no sky is drawn over the filled screen.
        view_State.angles.pitch = 0x1800000;
        FillScreen(bytes == 2 ? 0xF800F800u : 0x2A2A2A2Au);  // red / index 42
        otw_UnlockSurface();
        render_OneShotAction = 3;
        render_Frame();
        EXPECT_EQ(render_OneShotAction, 0);
        render_Frame();  // the action is not run again
        ASSERT_TRUE(std::filesystem::exists(n0)) << n0;
        EXPECT_FALSE(std::filesystem::exists(n1));
        EXPECT_EQ(render_ScreenshotCounter, counter + 1);
        EXPECT_EQ(std::string(render_ScreenMessage), "Saved '" + n0 + "'");
        const std::vector<uint8_t> first = ReadFile(n0.c_str());
        if (bytes == 2) {
            // Headerless: 640 x 480 pixels of R, G, B, rows top down.
            ASSERT_EQ(first.size(), 640u * 480u * 3u);
            EXPECT_EQ(first[(size_t)(240 * 640 + 320) * 3 + 0], 0xF8);
            EXPECT_EQ(first[(size_t)(240 * 640 + 320) * 3 + 1], 0);
            EXPECT_EQ(first[(size_t)(240 * 640 + 320) * 3 + 2], 0);
        } else {
            ASSERT_GT(first.size(), 128u + 769u);
            EXPECT_EQ(first[0], 10);
            EXPECT_EQ(first[first.size() - 769], 12);  // the palette follows
        }
        // A second press takes the next number and leaves the first file alone.
        FillScreen(0);
        otw_UnlockSurface();
        render_OneShotAction = 3;
        render_Frame();
        EXPECT_TRUE(std::filesystem::exists(n1));
        EXPECT_EQ(ReadFile(n0.c_str()), first);
        EXPECT_EQ(std::string(render_ScreenMessage), "Saved '" + n1 + "'");
        // A new run's counter starts again, yet existing files stay.
        render_ScreenshotCounter = 0;
        render_OneShotAction = 3;
        render_Frame();
        EXPECT_TRUE(std::filesystem::exists(n2));
        EXPECT_EQ(ReadFile(n0.c_str()), first);
        otw_CloseDisplay();
    }
    view_State.angles.pitch = 0;
}

TEST_F(FrameTest, GlareAndVignetteAmountsAndClamps) {
    Open(2);
    // Glare pulls black towards white, the vignette white towards black or red.
    struct Case {
        int32_t glare, kind, level, options;
        bool changes;
        int32_t storedLevel;
    } cases[] = {
        {8 << 8, 0, 0, 0, false, 0},        // glare amount 8: nothing
        {(9 << 8), 0, 0, 0, true, 0},       // 9: tinted
        {-0x7000, 0, 0, 0, false, 0},       // negative: nothing
        {0, 1, 0x8F, 0x100, false, 0x8F},   // vignette amount 8: nothing
        {0, 1, 0x90, 0x100, true, 0x90},    // 9: darkened
        {0, 2, 0x5000, 0x100, true, 0xFFF}, // above 0xFFF: stored back as 0xFFF
        {0, 2, -5, 0x100, false, 0},        // below 0: stored back as 0
        {0, 1, 0x800, 0, false, 0x800},     // without the cockpit layers: untouched
        {0, 0, 0x800, 0x100, false, 0x800}, // no g-effect kind: untouched
    };
    for (const Case& c : cases) {
        const uint32_t fill = c.glare ? 0 : 0xFFFF;
        FillScreen(fill | fill << 16);
        sky_GlareLevel = c.glare;
        render_GEffectKind = c.kind;
        render_GEffectLevel = c.level;
        ViewFlags = (uint32_t)c.options;
        render_GlareTint();
        render_VignetteSoft();
        EXPECT_EQ(ScreenAt(320, 240) != fill, c.changes) << c.glare << " " << c.kind << " " << c.level;
        EXPECT_EQ(render_GEffectLevel, c.storedLevel) << c.level;
        otw_UnlockSurface();
    }
    // In 8 bits neither tint draws.
    otw_CloseDisplay();
    Open(1);
    FillScreen(0x2A2A2A2Au);
    sky_GlareLevel = 0x7000;
    render_GEffectKind = 1;
    render_GEffectLevel = 0xFFF;
    ViewFlags = VIEW_OPT_COCKPIT_LAYERS;
    render_GlareTint();
    render_VignetteSoft();
    EXPECT_EQ(ScreenAt(320, 240), 0x2Au);
    otw_UnlockSurface();
}

TEST_F(FrameTest, ShakeMovesTheCentreAndIsUndoneAfterTheFrame) {
    Open(1);
    ASSERT_NE(otw_LockSurface(), nullptr);
    struct Case {
        float request;
        int32_t pixels;
    } cases[] = {{0.5f, 1}, {1.0f, 16}, {3.0f, 16}, {0.75f, 3}, {0.0f, 0}};
    const _DRAW_SURFACE before = draw_CurrentSurface, screenBefore = otw_ScreenSurface;
    for (const Case& c : cases) {
        for (int32_t frame = 0; frame < 8; frame++) {
            render_FrameCounter = frame;
            render_ShakeRequest = c.request;
            render_ShakeApply();
            const int32_t dx = draw_CurrentSurface.viewX - before.viewX, dy = draw_CurrentSurface.viewY - before.viewY;
            EXPECT_EQ(draw_CurrentSurface.centreXF - before.centreXF, dx * 128);
            EXPECT_EQ(draw_CurrentSurface.centreYF - before.centreYF, dy * 128);
            EXPECT_EQ(otw_ScreenSurface.centreXF - screenBefore.centreXF, dx * 128);
            if (frame == 0) {
                EXPECT_EQ(dx, c.pixels) << c.request;
                EXPECT_EQ(dy, c.pixels) << c.request;
            }
            if (frame == 7) {
                EXPECT_EQ(dx, 0);
                EXPECT_EQ(dy, -c.pixels);
            }
            render_ShakeRemove();
            EXPECT_EQ(render_ShakeRequest, 0.0f);
            EXPECT_EQ(draw_CurrentSurface.centreXF, before.centreXF);
            EXPECT_EQ(draw_CurrentSurface.centreYF, before.centreYF);
            EXPECT_EQ(draw_CurrentSurface.viewX, before.viewX);
            EXPECT_EQ(otw_ScreenSurface.centreYF, screenBefore.centreYF);
            EXPECT_EQ(otw_ScreenSurface.viewY, screenBefore.viewY);
        }
    }
    otw_UnlockSurface();
    // A whole frame puts the centre back and drops the request.
    render_ShakeRequest = 1.0f;
    render_Frame();
    EXPECT_EQ(render_ShakeRequest, 0.0f);
    EXPECT_EQ(otw_ScreenSurface.centreXF, screenBefore.centreXF);
    EXPECT_EQ(otw_ScreenSurface.viewX, screenBefore.viewX);
}

TEST_F(FrameTest, ScreenStateNumbersOutsideTheTableChangeNothing) {
    render_ScreenStateSet(6);
    EXPECT_EQ(render_ScreenStateCurrent, &render_ScreenStateTable[6]);
    EXPECT_EQ(render_ScreenStateCurrent->flags, 3u);
    tacmap_GoalsShown = tacmap_KeysShown = 1;
    for (int32_t n : {14, 0, -1, 1000}) {
        render_ScreenStateSet(n);
        EXPECT_EQ(render_ScreenStateCurrent, &render_ScreenStateTable[6]) << n;
        EXPECT_EQ(render_ScreenStatePrevious, nullptr) << n;
    }
    EXPECT_EQ(tacmap_GoalsShown, 1);
    render_ScreenStateSetC(13);
    EXPECT_EQ(render_ScreenStateCurrent, &render_ScreenStateTable[13]);
    EXPECT_EQ(render_ScreenStatePrevious, &render_ScreenStateTable[6]);
    EXPECT_EQ(tacmap_GoalsShown, 0);
    EXPECT_EQ(tacmap_KeysShown, 0);
    render_ScreenStateCurrent = render_ScreenStatePrevious = nullptr;
}

// Captures the screen: a draw routine marks the frame captured unless the
// entry leaves the hat switch to flight (flag value 2).
int g_screenDraws = 0;
void CountingDraw(void) { g_screenDraws++; }

TEST_F(FrameTest, ScreenPassDrawsTheCurrentStateUntilTheFlightEnds) {
    Open(1);
    const ScreenStateEntry saved[2] = {render_ScreenStateTable[7], render_ScreenStateTable[6]};
    render_ScreenStateTable[7] = ScreenStateEntry{CountingDraw, nullptr, 0};
    render_ScreenStateTable[6] = ScreenStateEntry{CountingDraw, nullptr, 3};
    struct Case {
        int32_t state, endOfFlight;
        int draws;
        uint8_t captured;
    } cases[] = {{7, 0, 1, 1}, {6, 0, 1, 0}, {7, 3, 0, 0}, {0, 0, 0, 0}};
    for (const Case& c : cases) {
        g_screenDraws = 0;
        render_ScreenStateCurrent = c.state ? &render_ScreenStateTable[c.state] : nullptr;
        render_EndOfFlight = c.endOfFlight;
        render_Frame();
        EXPECT_EQ(g_screenDraws, c.draws) << c.state;
        EXPECT_EQ(render_ScreenCaptured, c.captured) << c.state;
    }
    render_EndOfFlight = 0;
    render_ScreenStateCurrent = nullptr;
    render_ScreenStateTable[7] = saved[0];
    render_ScreenStateTable[6] = saved[1];
}

TEST_F(FrameTest, TimeCompressionCancelsOnTheControls) {
    struct Case {
        float stickX, rudder;
        int32_t after;
    } cases[] = {{0.0f, 0.0f, 4}, {0.5f, 0.0f, 1}, {0.0f, -0.3f, 1}};
    const GameModeFlags mode = level_GameMode;
    level_GameMode.display = level_GameMode.singlePlayer = 1;
    for (const Case& c : cases) {
        dbg_TimeCompression = 4;
        inmap_InputCurrent = _INPUT_STATE{};
        inmap_InputCurrent.stickX = c.stickX;
        inmap_InputCurrent.rudder = c.rudder;
        render_TimeCompressionCancel();
        EXPECT_EQ(dbg_TimeCompression, c.after) << c.stickX << " " << c.rudder;
    }
    inmap_InputCurrent = _INPUT_STATE{};
    dbg_TimeCompression = 1;
    level_GameMode = mode;
}

// The card path with a card that records its calls: the clear colour
// inside the cloud, the fog colour from the card glare colour, then the
// glare wash's two triangles and the vignette's four.
struct CardTri {
    _HW3D_VERTEX v[3];
    uint32_t colour;
};
std::vector<CardTri> g_cardTris;
std::vector<std::array<int32_t, 4>> g_cardColours;
int g_cardClears = 0;
std::vector<uint8_t> g_cardFrame;
void CardTriangle(const void* a, const void* b, const void* c, uint32_t colour, uint32_t flags, int32_t) {
    if (flags != 0x20000) return;  // the world's triangles are not looked at here
    CardTri t{{*static_cast<const _HW3D_VERTEX*>(a), *static_cast<const _HW3D_VERTEX*>(b),
               *static_cast<const _HW3D_VERTEX*>(c)},
              colour};
    g_cardTris.push_back(t);
}
void CardColour(int32_t reg, int32_t r, int32_t g, int32_t b) { g_cardColours.push_back({reg, r, g, b}); }
void CardClear(void) { g_cardClears++; }
uint8_t* CardLock(int32_t* pitch) {
    *pitch = 640 * 2;
    return g_cardFrame.data();
}
void CardUnlock(void) {}

TEST_F(FrameTest, CardPathClearsWashesAndDarkens) {
    Open(2);
    const _HW3D_DESCRIPTOR saved = hw3d_Descriptor;
    hw3d_Descriptor = _HW3D_DESCRIPTOR{};
    hw3d_Descriptor.triangle = CardTriangle;
    hw3d_Descriptor.colourRegister = CardColour;
    hw3d_Descriptor.clear = CardClear;
    hw3d_Descriptor.lock = CardLock;
    hw3d_Descriptor.unlock = CardUnlock;
    g_cardFrame.assign(640 * 480 * 2, 0);
    g_cardTris.clear();
    g_cardColours.clear();
    g_cardClears = 0;
    hw3d_Active = 1;
    sky_InsideCloud = 1;
    sky_ClearColour[0] = 1, sky_ClearColour[1] = 2, sky_ClearColour[2] = 3;
    sky_GlareColourCard[0] = 0x10, sky_GlareColourCard[1] = 0x20, sky_GlareColourCard[2] = 0x30;
    sky_GlareLevel = 0x2000;
    render_GEffectKind = 1;
    render_GEffectLevel = 0x800;
    ViewFlags = VIEW_OPT_COCKPIT_LAYERS;
    const int32_t frames = render_FrameCounter;
    render_Frame();
    // Inside the cloud layer the sun clears the glare: no wash in the frame.
    const std::vector<CardTri> frameTris = g_cardTris;
    EXPECT_EQ(sky_GlareLevel, 0);
    g_cardTris.clear();
    sky_GlareLevel = 0x2000;
    render_GlareWashCard();
    const std::vector<CardTri> washTris = g_cardTris;
    sky_GlareLevel = 0;
    hw3d_Active = 0;
    hw3d_Descriptor = saved;
    sky_InsideCloud = 0;
    sky_GlareColourCard[0] = sky_GlareColourCard[1] = sky_GlareColourCard[2] = 0xFF;
    EXPECT_EQ(render_FrameCounter, frames + 1);
    EXPECT_EQ(g_cardClears, 1);
    ASSERT_GE(g_cardColours.size(), 2u);
    EXPECT_EQ(g_cardColours[0], (std::array<int32_t, 4>{3, 1, 2, 3}));
    EXPECT_EQ(g_cardColours[1], (std::array<int32_t, 4>{2, 0x10, 0x20, 0x30}));
    ASSERT_EQ(washTris.size(), 2u);
    for (int i = 0; i < 2; i++) {
        EXPECT_EQ(washTris[i].colour, 0xFFFFFFu);
        for (const _HW3D_VERTEX& v : washTris[i].v) {
            EXPECT_EQ(v.colour, 0x20302010u);
            EXPECT_EQ(v.z, 0x100);
        }
    }
    ASSERT_EQ(frameTris.size(), 4u);
    // Fans from the centre: corners alpha 0x80, the centre 0x40.
    for (int i = 2; i < 6; i++) {
        EXPECT_EQ(frameTris[i - 2].colour, 0u);
        EXPECT_EQ(frameTris[i - 2].v[0].colour, 0x40FFFFFFu);
        EXPECT_EQ(frameTris[i - 2].v[0].x, 320 * 128);
        EXPECT_EQ(frameTris[i - 2].v[1].colour, 0x80FFFFFFu);
        EXPECT_EQ(frameTris[i - 2].v[2].z, 0x1000);
    }
    // The top edge first, the left edge last.
    EXPECT_EQ(frameTris[0].v[1].y, frameTris[0].v[2].y);
    EXPECT_LT(frameTris[0].v[1].y, frameTris[0].v[0].y);
    EXPECT_LT(frameTris[0].v[1].x, frameTris[0].v[2].x);
    EXPECT_EQ(frameTris[3].v[1].x, frameTris[3].v[2].x);
    EXPECT_LT(frameTris[3].v[1].x, frameTris[3].v[0].x);
}

class RelayTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(test_HeadlessStart(), 0);
        app_MainHwnd = plat_WindowCreate("SKARVELCLASS", "KRX", 640, 480, app_MainWndProc, 1);
        ASSERT_NE(app_MainHwnd, 0u);
        if (!mem_AltHeap2.base) {
            mem_HeapSizesSet(0, 0x10000, 0);
            ASSERT_EQ(mem_Heap2Init(), 0);
        }
    }
    void TearDown() override {
        app_UserMessageHook = nullptr;
        plat_Shutdown();
        app_MainHwnd = 0;
    }
};

uint32_t g_released = 0;
void Released(uint32_t user) { g_released = user; }

TEST_F(RelayTest, ThreeValuePaths) {
    render_UserMessageHookInstall();
    ASSERT_EQ(app_UserMessageHook, render_UserMessageRelay);
    // -1: nothing posted.
    app_RendererMessageValue = 0;
    trig_Event = TriggerEvent{};
    app_UserMessageHook(-1);
    app_PumpMessagesEx();
    EXPECT_EQ(app_RendererMessageValue, 0);
    EXPECT_EQ(trig_Event.type, 0);
    // Bit 31: the value less bit 31 becomes trigger event (5, value, 0, 0).
    app_UserMessageHook((int32_t)0x80000123u);
    EXPECT_EQ(trig_Event.type, 0);  // only once the message is pumped
    app_PumpMessagesEx();
    EXPECT_EQ(app_RendererMessageValue, 0x123);
    EXPECT_EQ(trig_Event.type, 5);
    EXPECT_EQ(trig_Event.id, 0x123);
    EXPECT_EQ(trig_Event.code, 0);
    EXPECT_EQ(trig_Event.argument, 0);
    // Without bit 31: a deferred call (the sample owner's release).
    SndSampleOwner owner{1, mem_AllocInHeap2(64), Released, 77};
    const uint32_t handle = snd_OwnerHandleAdd(&owner);
    ASSERT_NE(handle, 0u);
    g_released = 0;
    trig_Event = TriggerEvent{};
    app_UserMessageHook((int32_t)handle);
    app_PumpMessagesEx();
    EXPECT_EQ(g_released, 77u);
    EXPECT_EQ(trig_Event.type, 0);
    snd_OwnerHandleRemove(handle);
}

}  // namespace
