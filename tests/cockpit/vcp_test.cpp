// Cockpit panels: the redraw scheduler, the panel target and the hooks.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "cockpit/avion.h"
#include "cockpit/avionkrx.h"
#include "cockpit/hud_draw.h"
#include "cockpit/mfd.h"
#include "cockpit/vcp.h"
#include "display/dsurf.h"
#include "display/pal.h"
#include "display/rast.h"
#include "display/vid.h"
#include "net/client.h"
#include "render/view.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "world/pak.h"

namespace {

// Heading word of the view for a heading in 512 steps a turn.
int32_t Heading(int32_t steps) { return steps << 16; }

class Scheduler : public ::testing::Test {
protected:
    ObjectRecord* savedViewed = nullptr;
    ObjectRecord* savedPlayer = nullptr;
    uint32_t savedFlags = 0;
    _DRAW_SURFACE savedSurface{};
    ObjectRecord player{};

    void SetUp() override {
        savedViewed = ViewedObject;
        savedPlayer = Client_PlayerObject;
        savedFlags = ViewFlags;
        savedSurface = draw_CurrentSurface;
        ViewedObject = Client_PlayerObject = &player;
        ViewFlags = 4;
        view_Words.cockpitToCockpit = 0;
        view_State.angles.heading = 0;
        vcp_PanelArtLoad();
        vcp_CockpitSetup();  // runs the background reload
        vcp_InstrumentsDraw();  // the full repaint
        vcp_FrameBudget = vcp_FramePhase = vcp_MfdAlternator = 0;
    }
    void TearDown() override {
        ViewedObject = savedViewed;
        Client_PlayerObject = savedPlayer;
        ViewFlags = savedFlags;
        draw_CurrentSurface = savedSurface;
        vcp_PanelCacheClear();
    }
    static void AllDirty() { memset(vcp_DirtyFlags, 1, sizeof vcp_DirtyFlags); }
};

TEST_F(Scheduler, FirstRunAfterArtLoadOnlyReloadsBackgroundsThenRepaintsAll) {
    vcp_PanelArtLoad();
    AllDirty();
    vcp_InstrumentsDraw();
    EXPECT_EQ(vcp_BackgroundsPending, 0);
    EXPECT_EQ(vcp_FullRepaintPending, 1);
    for (int32_t g = 0; g < VCP_GROUPS; g++) EXPECT_EQ(vcp_DirtyFlags[g], 1) << g;
    vcp_InstrumentsDraw();
    EXPECT_EQ(vcp_FullRepaintPending, 0);
    const int32_t repainted[] = {VCP_GROUP_ODOMETER, VCP_GROUP_MFD_LEFT, VCP_GROUP_ATTITUDE, VCP_GROUP_AIRSPEED,
                                 VCP_GROUP_ALTIMETER, VCP_GROUP_AOA, VCP_GROUP_VVI, VCP_GROUP_MFD_RIGHT,
                                 VCP_GROUP_HEADING, VCP_GROUP_NOZZLE, VCP_GROUP_RPM, VCP_GROUP_TEMPERATURE,
                                 VCP_GROUP_STICK, VCP_GROUP_THREAT, VCP_GROUP_GEAR};
    for (int32_t g : repainted) EXPECT_EQ(vcp_DirtyFlags[g], 0) << g;
    EXPECT_EQ(vcp_PanelDirty, 1);
}

TEST_F(Scheduler, BothMfdsDirtyAlternate) {
    std::vector<int32_t> order;
    for (int32_t run = 0; run < 6; run++) {
        vcp_DirtyFlags[VCP_GROUP_MFD_LEFT] = vcp_DirtyFlags[VCP_GROUP_MFD_RIGHT] = 1;
        vcp_InstrumentsDraw();
        const bool left = !vcp_DirtyFlags[VCP_GROUP_MFD_LEFT], right = !vcp_DirtyFlags[VCP_GROUP_MFD_RIGHT];
        ASSERT_NE(left, right) << "exactly one MFD per run, run " << run;
        order.push_back(left ? 3 : 5);
    }
    EXPECT_EQ(order, (std::vector<int32_t>{5, 3, 5, 3, 5, 3}));
}

TEST_F(Scheduler, HeadingAwayFromThePanelsSkipsEverything) {
    struct Case {
        int32_t steps;
        bool runs;
        bool view6;
    } cases[] = {{0, true, false},    {40, true, false},   {41, false, false}, {200, false, false},
                 {399, false, false}, {400, true, false},  {401, true, true},  {507, true, true},
                 {508, true, false},  {511, true, false}};
    for (const Case& c : cases) {
        AllDirty();
        vcp_FrameBudget = vcp_FramePhase = 0;
        view_State.angles.heading = Heading(c.steps);
        vcp_InstrumentsDraw();
        EXPECT_EQ(vcp_DirtyFlags[VCP_GROUP_ALTIMETER] == 0, c.runs) << c.steps;
        EXPECT_EQ(vcp_FramePhase != 0, c.runs) << c.steps;
        EXPECT_EQ(vcp_DirtyFlags[VCP_GROUP_HEADING] == 0, c.view6) << c.steps;
    }
    // The sign bits above the 25-bit angle do not matter.
    AllDirty();
    view_State.angles.heading = (int32_t)0xFE000000 | Heading(450);
    vcp_InstrumentsDraw();
    EXPECT_EQ(vcp_DirtyFlags[VCP_GROUP_HEADING], 0);
}

TEST_F(Scheduler, RunsOnlyForTheViewedPlayerOrWhenPending) {
    ObjectRecord other{};
    AllDirty();
    ViewedObject = &other;
    vcp_InstrumentsDraw();
    EXPECT_EQ(vcp_DirtyFlags[VCP_GROUP_ALTIMETER], 1);
    ViewedObject = Client_PlayerObject;
    ViewFlags = 0;
    vcp_InstrumentsDraw();
    EXPECT_EQ(vcp_DirtyFlags[VCP_GROUP_ALTIMETER], 1);
    view_Words.cockpitToCockpit = 1;
    vcp_InstrumentsDraw();
    EXPECT_EQ(vcp_DirtyFlags[VCP_GROUP_ALTIMETER], 0);
    view_Words.cockpitToCockpit = 0;
}

TEST_F(Scheduler, AnIdleRunDefersTheNextAttitudeRepaint) {
    // A run that repaints nothing with the phase set carries a budget of 1:
    // the next run skips the attitude group and clears budget and phase.
    // In the heading view the change detector marks no MFD or threat group.
    vcp_CockpitPanel = 6;
    memset(vcp_DirtyFlags, 0, sizeof vcp_DirtyFlags);
    vcp_InstrumentsDraw();
    EXPECT_EQ(vcp_FrameBudget, 1);
    std::vector<int32_t> attitude, threat;
    for (int32_t run = 0; run < 3; run++) {
        vcp_DirtyFlags[VCP_GROUP_ATTITUDE] = vcp_DirtyFlags[VCP_GROUP_THREAT] = 1;
        vcp_InstrumentsDraw();
        attitude.push_back(vcp_DirtyFlags[VCP_GROUP_ATTITUDE] == 0);
        EXPECT_EQ(vcp_DirtyFlags[VCP_GROUP_THREAT], 1) << "the threat group stays set";
    }
    EXPECT_EQ(attitude, (std::vector<int32_t>{0, 1, 1}));
}

TEST(MapZoom, StopsAtBothBounds) {
    struct Case {
        int32_t start, step, want;
    } cases[] = {{MFD_ZOOM_MIN, 4096, MFD_ZOOM_MIN},          {MFD_ZOOM_MIN + 100, 4096, MFD_ZOOM_MIN},
                 {MFD_ZOOM_MAX, -4096, MFD_ZOOM_MAX},         {MFD_ZOOM_MAX - 100, -4096, MFD_ZOOM_MAX},
                 {100000, -0x7FFFFFFF, MFD_ZOOM_MAX},         {100000, (int32_t)0x80000000, MFD_ZOOM_MAX},
                 {100000, 0x7FFFFFFF, MFD_ZOOM_MIN},          {200000, 4096, 195904}};
    for (const Case& c : cases) {
        mfd_MapZoom = c.start;
        mfd_MapZoomAdjust(c.step);
        EXPECT_EQ(mfd_MapZoom, c.want) << c.start << " " << c.step;
    }
    vcp_CockpitSetup();
    EXPECT_EQ(mfd_MapZoom, MFD_ZOOM_MIN);
}

TEST(FillDwords, FillsWholeBlocksAndTheTail) {
    for (size_t n : {size_t(0), size_t(32), size_t(64), size_t(37), size_t(3)}) {
        std::vector<uint8_t> buffer(80, 0xEE);
        mem_FillDwords(buffer.data(), 0x44332211u, n);
        for (size_t i = 0; i < n; i++) ASSERT_EQ(buffer[i], 0x11 + 0x11 * (i & 3)) << n << " " << i;
        for (size_t i = n; i < buffer.size(); i++) ASSERT_EQ(buffer[i], 0xEE) << n << " " << i;
    }
}

class PanelTarget : public ::testing::Test {
protected:
    uint8_t day[128 * 129] = {}, night[128 * 129] = {};
    _DRAW_SURFACE saved{};
    void SetUp() override {
        saved = draw_CurrentSurface;
        pak_Textures.count = 2;
        PakTextureEntry* e = pak_Textures.entries;
        memset(e, 0, 2 * sizeof *e);
        strncpy(e[0].key, "krxvrtc:krxg04.pcx", sizeof e[0].key - 1);
        e[0].image = day;
        strncpy(e[1].key, "KRXVRTCN:KRXG04N.PCX", sizeof e[1].key - 1);
        e[1].image = night;
        vcp_PanelCacheClear();
    }
    void TearDown() override {
        pak_Textures.count = 0;
        vcp_NightByte = 0;
        vcp_PanelCacheClear();
        draw_CurrentSurface = saved;
    }
};

TEST_F(PanelTarget, NightBytePicksTheNightSet) {
    for (uint8_t night : {0, 1}) {
        vcp_PanelCacheClear();
        vcp_NightByte = night;
        vcp_CockpitPanel = 4;
        vcp_DrawStatePush();
        ASSERT_EQ(vcp_PanelTargetSelect(), 0);
        EXPECT_EQ(vcp_CurrentPixels, night ? this->night : day);
        EXPECT_EQ(draw_CurrentSurface.base, vcp_CurrentPixels);
        EXPECT_EQ(draw_CurrentSurface.bytesPerRow, 128);
        EXPECT_EQ(draw_CurrentSurface.bitsPerPixel, 8);
        EXPECT_EQ(draw_CurrentSurface.clipX2, 128);
        EXPECT_EQ(vcp_PanelTarget, 1);
        // S = image width over the screen rect's width, in 16.16.
        EXPECT_EQ(vcp_DisplayScale[0], (128 << 16) / 319);
        vcp_DrawStatePop();
        EXPECT_EQ(draw_CurrentSurface.base, saved.base);
        EXPECT_EQ(vcp_PanelTarget, 0);
    }
}

TEST_F(PanelTarget, MissingImageLeavesTheSurfaceAlone) {
    vcp_CockpitPanel = 14;  // no such texture in the table
    const _DRAW_SURFACE before = draw_CurrentSurface;
    EXPECT_LT(vcp_PanelTargetSelect(), 0);
    EXPECT_EQ(draw_CurrentSurface.base, before.base);
    EXPECT_EQ(vcp_CurrentPixels, nullptr);
    vcp_CockpitPanel = 0;
    EXPECT_LT(vcp_PanelTargetSelect(), 0);
    vcp_CockpitPanel = 25;
    EXPECT_LT(vcp_PanelTargetSelect(), 0);
}

// The HUD panel's clear: the panel image is the target only while it runs,
// and the HUD's drawing word is cleared.
TEST_F(PanelTarget, HudPanelClearPutsTheDrawingStateBack) {
    uint8_t lant[256 * 256] = {};
    PakTextureEntry* e = pak_Textures.entries;
    pak_Textures.count = 3;
    memset(&e[2], 0, sizeof e[2]);
    strncpy(e[2].key, "KRXVRTC:KRX_LANT.PCX", sizeof e[2].key - 1);
    e[2].image = lant;
    HudDrawing = 1;
    const _DRAW_SURFACE before = draw_CurrentSurface;
    vcp_HudPanelClear();
    EXPECT_EQ(HudDrawing, 0);
    EXPECT_EQ(vcp_CurrentPixels, lant);
    EXPECT_EQ(vcp_PanelTarget, 0);
    EXPECT_EQ(draw_CurrentSurface.base, before.base);
    EXPECT_EQ(draw_CurrentSurface.width, before.width);
}

int32_t g_calls[11];
template <int N>
int32_t Record(intptr_t argument) {
    g_calls[N] = (int32_t)argument + 1;
    return 0;
}

TEST(CockpitHooks, WrappersCallTheirSlotsAndSkipNullOnes) {
    const _PLANE_TYPE saved = plane_CurrentDescriptor;
    memset(plane_CurrentDescriptor.cockpitHooks, 0, sizeof plane_CurrentDescriptor.cockpitHooks);
    avion_CockpitSetupHookCall();
    avion_InstrumentsHookCall();
    avion_MfdOverlayHookCall();
    avion_HookTacMapMarkCall(1, 2);
    PlaneHook* h = plane_CurrentDescriptor.cockpitHooks;
    h[2] = Record<2>;
    h[3] = Record<3>;
    h[4] = Record<4>;
    h[5] = Record<5>;
    h[7] = Record<7>;
    h[8] = Record<8>;
    h[9] = Record<9>;
    memset(g_calls, 0, sizeof g_calls);
    avion_HookResetCall();
    avion_InstrumentsHookCall();
    avion_PanelViewHookCall(nullptr);
    avion_MfdEnlargedHookCall();
    avion_HookPanelScreenCall();
    avion_MfdOverlayHookCall();
    avion_HookTacMapCall(41);
    EXPECT_EQ(g_calls[2], 1);
    EXPECT_EQ(g_calls[3], 1);
    EXPECT_EQ(g_calls[4], 1);
    EXPECT_EQ(g_calls[5], 1);
    EXPECT_EQ(g_calls[7], 2);  // mode 1
    EXPECT_EQ(g_calls[8], 1);
    EXPECT_EQ(g_calls[9], 42);
    plane_CurrentDescriptor = saved;
    // The shipped table binds the panel hooks.
    EXPECT_NE(avion_CockpitHookTable[0], nullptr);
    EXPECT_NE(avion_CockpitHookTable[3], nullptr);
    EXPECT_NE(avion_CockpitHookTable[7], nullptr);
}

}  // namespace

namespace {

TEST(ClosureRate, SignFollowsTheChangeOfDistance) {
    struct Case {
        int32_t ownVz, otherVz;
        int32_t sign;  // of the rate
    } cases[] = {{0x40000, 0, 1}, {0, 0x40000, -1}, {0x40000, 0x40000, 0}, {0, -0x40000, 1}};
    for (const Case& c : cases) {
        ObjectRecord own{}, other{};
        own.position = {0x40000000u, 0x100000u, 0x40000000u};
        other.position = {0x40000000u, 0x100000u, 0x40000000u + 0x1000000u};
        own.velocity.z = c.ownVz;
        other.velocity.z = c.otherVz;
        const int32_t rate = avion_ClosureRate(&own, &other);
        EXPECT_EQ((rate > 0) - (rate < 0), c.sign) << c.ownVz << " " << c.otherVz;
    }
    EXPECT_EQ(avion_ClosureRate(nullptr, nullptr), 0);
}

TEST(RadarSweepStep, CopiesTheZoomAndMarksThePanel) {
    mfd_MapZoom = 300000;
    vcp_PanelDirty = 0;
    mfd_RadarSweepStep();
    EXPECT_EQ(avion_RadarRange, 300000);
    EXPECT_EQ(vcp_PanelDirty, 1);
}

TEST_F(Scheduler, PanelViewDrawRestoresOnlyOnAChangeOfView) {
    vcp_CockpitPanel = 6;
    vcp_PanelDirty = 0;
    vcp_LastView = 6;
    vcp_PanelViewDraw();
    EXPECT_EQ(vcp_LastView, 6);
    vcp_CockpitPanel = 3;
    vcp_PanelViewDraw();
    EXPECT_EQ(vcp_LastView, 3);
    EXPECT_EQ(vcp_PanelDirty, 0);
    // Views without a routine draw nothing; another object's view nothing.
    vcp_CockpitPanel = 7;
    vcp_PanelDirty = 1;
    vcp_PanelViewDraw();
    EXPECT_EQ(vcp_LastView, 3);
    ObjectRecord other{};
    ViewedObject = &other;
    vcp_CockpitPanel = 5;
    vcp_PanelViewDraw();
    EXPECT_EQ(vcp_LastView, 3);
}

}  // namespace

namespace {

TEST(DrawState, PopReselectsThePixelModeFromTheRestoredDepth) {
    const _DRAW_SURFACE saved = draw_CurrentSurface;
    const int32_t screen = vid_State.bitsPerPixel;
    struct Case {
        int32_t bits, screen, mode;
    } cases[] = {{32, 8, 5}, {16, 8, 3}, {8, 16, 2}, {8, 8, 1}};
    for (const Case& c : cases) {
        vid_State.bitsPerPixel = c.screen;
        draw_CurrentSurface.bitsPerPixel = c.bits;
        vcp_DrawStatePush();
        draw_CurrentSurface.bitsPerPixel = 8;
        vcp_DrawStatePop();
        EXPECT_EQ(draw_CurrentSurface.bitsPerPixel, c.bits);
        EXPECT_EQ(poly_PixelMode, c.mode) << c.bits << " " << c.screen;
    }
    vid_State.bitsPerPixel = screen;
    draw_CurrentSurface = saved;
    vcp_DrawStatePop();  // nothing pushed: harmless
}

}  // namespace

namespace {

TEST(CockpitSetup, ResetsZoomAndFindsWhite) {
    uint8_t saved[PAL_BYTES];
    memcpy(saved, pal_Current.palette, sizeof saved);
    memset(pal_Current.palette, 0, sizeof pal_Current.palette);
    memset(pal_Current.palette + 3 * 200, 255, 3);
    pal_SelectMatcher(PAL_MATCH_FULL);
    mfd_MapZoom = 500000;
    vcp_DeferredUpload = &saved;
    vcp_FullRepaintPending = 0;
    vcp_BackgroundsPending = 0;
    vcp_CockpitSetup();
    EXPECT_EQ(mfd_MapZoom, MFD_ZOOM_MIN);
    EXPECT_EQ(vcp_WhiteIndex, 200);
    EXPECT_EQ(pal_Current.palette[69], 128);
    EXPECT_EQ(pal_Current.palette[71], 128);
    EXPECT_EQ(vcp_DeferredUpload, nullptr);
    EXPECT_EQ(vcp_FullRepaintPending, 1);
    memcpy(pal_Current.palette, saved, sizeof saved);
}

}  // namespace
