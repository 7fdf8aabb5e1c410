// The cockpit model passes over the data set's cockpit models, and the
// panel images those models carry.
#include <gtest/gtest.h>

#include <cstring>

#include "cockpit/mfd.h"
#include "cockpit/vcp.h"
#include "display/pal.h"
#include "net/client.h"
#include "render/object_fixture.h"
#include "sim/plane.h"

namespace {

class CockpitPass : public ObjectDrawTest {
protected:
    ObjectRecord player{};
    void SetUp() override {
        ObjectDrawTest::SetUp();
        WriteDataSetModels();
        Surface(1);
        // The eye of cockpit panel 7 sits at the camera.
        const MkPakXyz eye = mkdata_CockpitEye(7);
        player.position = {kCamX - (uint32_t)eye.x, kCamY - (uint32_t)eye.y, kCamZ - (uint32_t)eye.z};
        Client_PlayerObject = &player;
        ViewFlags = 0;
        view_NearPlane = ViewNearDistance = 0x670;
        surface.xScale = W * 256 / 320;
        draw_SelectSurface(&surface);
    }
    void TearDown() override {
        view_CockpitModel = nullptr;
        Client_PlayerObject = nullptr;
        vcp_NightByte = 0;
        vcp_PanelCacheClear();
        ObjectDrawTest::TearDown();
    }
    int32_t CoveredRows(int32_t y0, int32_t y1) const {
        int32_t n = 0;
        for (int32_t y = y0; y < y1; y++)
            for (int32_t x = 0; x < W; x++) n += Pixel(x, y) != 0;
        return n;
    }
};

// Every panel image of the view table is a full-size texture of its
// cockpit model, in the day and in the night set.
TEST_F(CockpitPass, TheCockpitModelsCarryEveryPanelImage) {
    ASSERT_NE(pak_Load("krxvrtc.pak"), nullptr);
    ASSERT_NE(pak_Load("krxvrtcn.pak"), nullptr);
    for (int32_t v = 0; v < VCP_VIEWS; v++) {
        for (const char* key : {vcp_Views[v].dayImage, vcp_Views[v].nightImage}) {
            ASSERT_NE(pak_TextureFind(key), nullptr) << key;
            EXPECT_GE(pak_TextureWidth, std::min(vcp_Views[v].rowWidth, vcp_Views[v].image[2] + 1)) << key;
            EXPECT_GE(pak_TextureHeight, std::min(vcp_Views[v].image[3], 64)) << key;
        }
    }
}

// The 3D cockpit draws the console into the lower part of the view and
// shows what was drawn into a panel image; without a model nothing is drawn.
TEST_F(CockpitPass, ThreeDimensionalCockpitShowsThePanels) {
    view_CockpitModel = pak_Load("krxvrtc.pak");
    ASSERT_NE(view_CockpitModel, nullptr);
    // The tables in use before the pass (a far object's haze, say) are
    // there again after it.
    const uint16_t haze[4] = {};
    const PalDrawTables before3d = {this, haze};
    pal_DrawTables = before3d;
    PALREF* const current = pal_Palrefs.current;
    vcp_Cockpit3dPass();
    EXPECT_EQ(pal_DrawTables.master, before3d.master);
    EXPECT_EQ(pal_DrawTables.shade16, before3d.shade16);
    EXPECT_EQ(pal_Palrefs.current, current);
    EXPECT_EQ(CoveredRows(0, H / 3), 0);
    EXPECT_GT(CoveredRows(H * 3 / 4, H), W * H / 8);
    EXPECT_EQ(vcp_CockpitGlass, 0);  // the frame's HUD pass draws the whole HUD
    EXPECT_EQ(player.model, nullptr);  // the player's own model is back

    // A repaint of the left MFD's panel reaches the screen, on the left.
    const std::vector<uint8_t> before = screen;
    uint8_t* mfd = const_cast<uint8_t*>(pak_TextureFind("KRXVRTC:KRXG03.PCX"));
    ASSERT_NE(mfd, nullptr);
    memset(mfd, 0x20, (size_t)pak_TextureWidth * pak_TextureHeight);
    std::fill(screen.begin(), screen.end(), 0);
    vcp_Cockpit3dPass();
    int32_t changed[2] = {0, 0};
    for (int32_t y = 0; y < H; y++)
        for (int32_t x = 0; x < W; x++) changed[x >= W / 2] += screen[(size_t)(y * W + x)] != before[(size_t)(y * W + x)];
    EXPECT_GT(changed[0], 100);
    EXPECT_EQ(changed[1], 0);

    std::fill(screen.begin(), screen.end(), 0);
    view_CockpitModel = nullptr;
    CardOn();
    vcp_Cockpit3dPass();
    EXPECT_EQ(Covered(), 0);
    ASSERT_EQ(g_cardCalls.size(), 1u);  // the depth bias still goes to the card
    EXPECT_EQ(g_cardCalls[0].entry, 40);
    EXPECT_EQ(g_cardCalls[0].word, -1024);
}

// The panel-view pass clears the frame in the day or night colour, draws
// the model at zero angles and gives the aircraft its angles back.
TEST_F(CockpitPass, ModelPassClearsByDayOrNightAndKeepsTheAngles) {
    view_CockpitModel = pak_Load("krxvrtc.pak");
    ASSERT_NE(view_CockpitModel, nullptr);
    for (uint8_t night : {0, 1}) {
        vcp_NightByte = night;
        player.angles = {0x400000, 0x100000, 0x80000};
        vcp_CockpitModelPass();
        const uint32_t clear = (uint32_t)(night ? pal_NearestIndex(8, 8, 8) : pal_NearestIndex(84, 80, 84));
        EXPECT_EQ(Pixel(0, 0), clear) << (int)night;
        EXPECT_NE(Pixel(W / 2, H - 2), clear) << (int)night;  // the console
        EXPECT_EQ(player.angles.heading, 0x400000);
        EXPECT_EQ(player.angles.roll, 0x80000);
        EXPECT_EQ(vcp_SavedAngles.pitch, 0x100000);
    }
    view_CockpitModel = nullptr;
    screen.assign(screen.size(), 0x77);
    vcp_CockpitModelPass();
    EXPECT_EQ(Pixel(0, 0), 0x77u);
}

}  // namespace
