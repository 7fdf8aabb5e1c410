// Picking the virtual cockpit's panels: the eye ray through the cursor, the
// panel test with its edges, the first panel of the chain winning, the
// signed hit map, the pick against the drawn corners, and the cursor's
// per-tick and per-frame updates.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "cockpit/vcursor.h"
#include "cockpit/vcursor_fixture.h"
#include "display/dsurf.h"
#include "display/hw3d.h"
#include "display/otw.h"
#include "display/pal.h"
#include "display/pcx.h"
#include "display/vid.h"
#include "fixtures/heaps.h"
#include "fixtures/workdir.h"
#include "net/client.h"
#include "render/view.h"
#include "shell/mouse.h"
#include "shell/runner.h"
#include "sim/obj.h"

namespace {

// A square panel of `side` metres, `texels` across, facing the eye at
// distance z, every texel naming label `fill`.
struct TestPanel {
    VcursorPanel panel{};
    std::vector<int8_t> map;
    std::vector<VcursorLabel> labels;
    TestPanel(int32_t number, float side, float z, int32_t texels, int8_t fill, int32_t firstId) {
        const float h = side / 2;
        panel.number = number;
        const float corners[4][3] = {{-h, h, z}, {h, h, z}, {-h, -h, z}, {h, -h, z}};
        memcpy(panel.corners, corners, sizeof corners);
        const float u[3] = {1 / side, 0, 0}, v[3] = {0, -1 / side, 0}, n[3] = {0, 0, -1};
        memcpy(panel.uAxis, u, sizeof u);
        memcpy(panel.vAxis, v, sizeof v);
        memcpy(panel.normal, n, sizeof n);
        panel.width = panel.height = texels;
        map.assign((size_t)(texels * texels), fill);
        labels = {{"FIRST", firstId}, {"SECOND", firstId + 1}, {nullptr, firstId + 2}};
        panel.hitMap = map.data();
        panel.labels = labels.data();
        panel.labelCount = (int32_t)labels.size();
    }
    void Set(int32_t u, int32_t v, int8_t index) { map[(size_t)(v * panel.width + u)] = index; }
};

class VcursorPick : public ::testing::Test {
protected:
    std::vector<uint8_t> pixels = std::vector<uint8_t>(320 * 240, 0);
    ObjectRecord player{};
    const _DRAW_SURFACE savedScreen = otw_State.screen;
    const _DRAW_SURFACE savedSurface = draw_CurrentSurface;
    const ViewState savedView = view_State;
    void SetUp() override {
        draw_InitSurfaceDesc(&otw_State.screen, pixels.data(), 320, 240, 1);  // focal 256, centre (160, 120)
        draw_SelectSurface(&otw_State.screen);
        Look({0, 0, 0});
        Client_PlayerObject = &player;
        ViewFlags = VIEW_OPT_VCURSOR;
        ViewNearDistance = 1;
    }
    void TearDown() override {
        vcursor_PanelSet = nullptr;
        Client_PlayerObject = nullptr;
        ViewFlags = 0;
        otw_State.screen = savedScreen;
        draw_CurrentSurface = savedSurface;
        view_State = savedView;
        vcursor_X = vcursor_Y = 0;
        vcursor_Item = -1;
    }
    // The aircraft and the camera share the attitude, as in the cockpit.
    void Look(FixAngles a) {
        player.angles = a;
        view_State.angles = a;
        fix_SinCosAngles(-a.heading, -a.pitch, -a.roll, &view_State.viewMatrix);
    }
    static std::string Pick(int32_t x, int32_t y) {
        vcursor_X = x;
        vcursor_Y = y;
        const VcursorLabel* l = vcursor_PanelPick();
        return l ? l->text : "-";
    }
};

// Panel A: 1 m at 2 m, 4 x 4 texels: u = 0 at x 96 and 4 at x 224, v = 0
// at y 56 and 4 at y 184.
TEST_F(VcursorPick, FarEdgeIsOnThePanelButPicksNothingSoTheNextPanelGetsIt) {
    TestPanel a(7, 1.0f, 2.0f, 4, 0, 10), b(8, 4.0f, 4.0f, 8, 1, 20);
    vcursor_PanelSet = &a.panel;
    EXPECT_EQ(Pick(160, 120), "FIRST");
    EXPECT_EQ(vcursor_PanelNumber, 7);
    EXPECT_EQ(vcursor_PanelU, 2);
    EXPECT_EQ(vcursor_PanelV, 2);
    EXPECT_EQ(Pick(96, 56), "FIRST");  // the near corner
    EXPECT_EQ(vcursor_PanelU, 0);
    EXPECT_EQ(vcursor_PanelV, 0);
    for (auto [x, y] : {std::pair{224, 120}, {160, 184}, {80, 120}, {160, 40}}) {
        EXPECT_EQ(Pick(x, y), "-") << x << " " << y;
        EXPECT_EQ(vcursor_PanelNumber, -1);
        EXPECT_EQ(vcursor_PanelU, -1);
        EXPECT_EQ(vcursor_PanelV, -1);
    }
    a.panel.next = &b.panel;
    EXPECT_EQ(Pick(224, 120), "SECOND");  // u = 4 on A: on to B
    EXPECT_EQ(vcursor_PanelNumber, 8);
}

TEST_F(VcursorPick, FirstPanelOfTheChainWins) {
    TestPanel a(7, 1.0f, 2.0f, 4, 0, 10), b(8, 1.0f, 1.5f, 4, 1, 20);
    a.panel.next = &b.panel;
    vcursor_PanelSet = &a.panel;
    EXPECT_EQ(Pick(160, 120), "FIRST");  // though B is nearer
    b.panel.next = &a.panel;
    a.panel.next = nullptr;
    vcursor_PanelSet = &b.panel;
    EXPECT_EQ(Pick(160, 120), "SECOND");
}

TEST_F(VcursorPick, MapBytesNamingNoLabelPickNothing) {
    TestPanel a(7, 1.0f, 2.0f, 4, 0, 10);
    vcursor_PanelSet = &a.panel;
    struct Case {
        int8_t index;
        const char* picked;
    } cases[] = {{0, "FIRST"}, {1, "SECOND"}, {-1, "-"}, {-128, "-"}, {2, "-"}, {3, "-"}, {127, "-"}};
    for (const Case& c : cases) {
        a.Set(2, 2, c.index);
        EXPECT_EQ(Pick(160, 120), c.picked) << (int)c.index;
        EXPECT_EQ(vcursor_PanelAt(&a.panel, 2, 2) != nullptr, c.picked[0] != '-');
    }
    EXPECT_EQ(vcursor_PanelAt(&a.panel, 4, 0), nullptr);
    EXPECT_EQ(vcursor_PanelAt(&a.panel, 0, -1), nullptr);
    EXPECT_EQ(vcursor_PanelAt(nullptr, 0, 0), nullptr);
}

TEST_F(VcursorPick, PanelsBehindOrEdgeOnAreNotHit) {
    TestPanel behind(7, 1.0f, -2.0f, 4, 0, 10), edgeOn(8, 1.0f, 2.0f, 4, 0, 20);
    const float side[3] = {1, 0, 0};
    memcpy(edgeOn.panel.normal, side, sizeof side);
    vcursor_PanelSet = &behind.panel;
    EXPECT_EQ(Pick(160, 120), "-");
    EXPECT_EQ(Pick(100, 60), "-");
    vcursor_PanelSet = &edgeOn.panel;
    EXPECT_EQ(Pick(160, 120), "-");  // the ray runs along the panel's plane
}

TEST_F(VcursorPick, PickMeetsTheProjectedCornersInAnyAttitude) {
    TestPanel a(7, 1.0f, 2.0f, 16, 0, 10);
    vcursor_PanelSet = &a.panel;
    const FixAngles attitudes[] = {{0, 0, 0}, {0x800000, 0, 0}, {0x300000, 0x120000, 0}, {0x1A00000, 0x1F00000, 0x500000}};
    for (const FixAngles& at : attitudes) {
        Look(at);
        FixScreenPoint c[4];
        vcursor_ProjectPanelC(&a.panel, c);
        // Corner 0 is texel (0, 0), corner 3 (16, 16): a point a quarter of
        // the way in from each picks the texel a quarter of the way in.
        const int32_t x = (3 * c[0].x + c[3].x) / 4 / 128, y = (3 * c[0].y + c[3].y) / 4 / 128;
        ASSERT_EQ(Pick(x, y), "FIRST") << at.heading << " " << at.pitch << " " << at.roll;
        EXPECT_NEAR(vcursor_PanelU, 4, 1);
        EXPECT_NEAR(vcursor_PanelV, 4, 1);
    }
}

class VcursorUpdate : public VcursorPick {
protected:
    TestWorkDir work;
    const int32_t savedWindowed = vid_State.windowed;
    const int32_t savedCard = hw3d_Active;
    void SetUp() override {
        VcursorPick::SetUp();
        test_CursorFilesEnter(work, "krx_vcursor_pick", 8, 8, 9, 5, 3);
        const char* names[3] = {"A.PCX", "B.PCX", "C.PCX"};
        ASSERT_EQ(vcursor_Load(names), 0);
        otw_MouseScaleX = otw_MouseScaleY = 1.0f;
        vid_State.windowed = 0;
        hw3d_Active = 0;
    }
    void TearDown() override {
        vcursor_Free();
        vid_State.windowed = savedWindowed;
        hw3d_Active = savedCard;
        app_MouseState.x = app_MouseState.y = 0;
        VcursorPick::TearDown();
    }
    static void Mouse(int32_t x, int32_t y) {
        app_MouseState.x = x;
        app_MouseState.y = y;
    }
};

TEST_F(VcursorUpdate, CursorMovesOncePerTick) {
    app_TickCount = 500;
    Mouse(50, 60);
    vcursor_FrameUpdate();
    EXPECT_EQ(vcursor_X, 50);
    Mouse(70, 80);
    for (int32_t frame = 0; frame < 5; frame++) vcursor_FrameUpdate();
    EXPECT_EQ(vcursor_X, 50);
    EXPECT_EQ(vcursor_Ticks, 500);
    app_TickCount = 501;
    vcursor_FrameUpdate();
    EXPECT_EQ(vcursor_X, 70);
    EXPECT_EQ(vcursor_Y, 80);
}

TEST_F(VcursorUpdate, LeavingTheCursorViewHidesItAndRestoresTheSystemCursor) {
    struct Case {
        int32_t windowed, card, systemVisible;
    } cases[] = {{1, 0, 1}, {0, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    uint32_t tick = 600;
    for (const Case& c : cases) {
        vid_State.windowed = c.windowed;
        hw3d_Active = c.card;
        app_MouseTrack.cursorVisible = !c.systemVisible;
        ViewFlags = VIEW_OPT_VCURSOR;
        app_TickCount = ++tick;
        vcursor_FrameUpdate();
        EXPECT_EQ(vcursor_Enabled, 1);
        ViewFlags = VIEW_OPT_COCKPIT_FAMILY;
        app_TickCount = ++tick;
        vcursor_FrameUpdate();
        EXPECT_EQ(vcursor_Enabled, 0);
        EXPECT_EQ(vcursor_Image, 2);
        EXPECT_EQ(app_MouseTrack.cursorVisible, c.systemVisible) << c.windowed << " " << c.card;
        // The frame's update does the same.
        app_MouseTrack.cursorVisible = !c.systemVisible;
        vcursor_ImageSet(0);
        vcursor_PanelHitUpdate();
        EXPECT_EQ(vcursor_Image, 2);
        EXPECT_EQ(app_MouseTrack.cursorVisible, c.systemVisible);
    }
}

TEST_F(VcursorUpdate, FrameUpdatePicksTheLabelAndItsImage) {
    TestPanel a(7, 1.0f, 2.0f, 4, 0, 10);
    a.Set(0, 0, 1);
    vcursor_PanelSet = &a.panel;
    app_MouseTrack.cursorVisible = 0;
    Mouse(160, 120);
    vcursor_PanelHitUpdate();
    EXPECT_EQ(vcursor_Item, 10);
    EXPECT_STREQ(vcursor_Label, "FIRST");
    EXPECT_EQ(vcursor_Image, 1);
    EXPECT_EQ(vcursor_PanelPickId(), 10);
    Mouse(96, 56);
    vcursor_PanelHitUpdate();
    EXPECT_EQ(vcursor_Item, 11);
    EXPECT_STREQ(vcursor_Label, "SECOND");
    Mouse(20, 20);
    vcursor_PanelHitUpdate();
    EXPECT_EQ(vcursor_Item, -1);
    EXPECT_STREQ(vcursor_Label, "");
    EXPECT_EQ(vcursor_Image, 0);
    EXPECT_EQ(vcursor_PanelPickId(), -1);
}

}  // namespace
