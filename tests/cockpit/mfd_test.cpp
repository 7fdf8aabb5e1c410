// MFD drawing into the MFD panels: the pod video page's cross-hair, its
// failure page, and the situation page's linked record.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "cockpit/mfd.h"
#include "cockpit/vcp.h"
#include "display/dsurf.h"
#include "net/client.h"
#include "render/view.h"
#include "sim/obj.h"
#include "world/pak.h"

namespace {

class MfdPanel : public ::testing::Test {
protected:
    std::vector<uint8_t> left = std::vector<uint8_t>(256 * 256, 0);
    _DRAW_SURFACE saved{};
    ObjectRecord player{};
    MfdPageRecord page{MFD_PAGE_POD_VIDEO, -1, {}, -1, -1, nullptr, 0};
    MfdPageRecord* savedLeft = nullptr;
    void SetUp() override {
        saved = draw_CurrentSurface;
        savedLeft = mfd_LeftPage;
        mfd_LeftPage = &page;
        pak_Textures.count = 1;
        PakTextureEntry* e = pak_Textures.entries;
        memset(e, 0, sizeof *e);
        strncpy(e->key, "KRXVRTC:KRXG03.PCX", sizeof e->key - 1);
        e->image = left.data();
        e->width = e->height = 256;
        vcp_PanelCacheClear();
        Client_PlayerObject = &player;
        ViewFlags = 0;
        draw_Context.slots[mfd_PodColour].index = 0x5A;
        mfd_Pod = MfdPodState{};
        mfd_EnlargedFlag = 0;
        vcp_PanelDirty = 0;
    }
    void TearDown() override {
        mfd_LeftPage = savedLeft;
        mfd_Pod = MfdPodState{};
        mfd_SubMode = 0;
        Client_PlayerObject = nullptr;
        pak_Textures.count = 0;
        vcp_PanelCacheClear();
        draw_CurrentSurface = saved;
    }
    // Draws the left MFD into its panel.
    void DrawLeft() {
        vcp_DrawStatePush();
        vcp_CockpitPanel = 3;
        ASSERT_EQ(vcp_PanelTargetSelect(), 0);
        mfd_LeftDraw();
        vcp_DrawStatePop();
    }
    bool Lit(int32_t x, int32_t y) const { return left[(size_t)(y * 256 + x)] == 0x5A; }
};

// The pod video page draws its eight cross-hair lines, leaving the centre
// open; the panel is marked drawn over.
TEST_F(MfdPanel, PodVideoDrawsTheCrossHair) {
    DrawLeft();
    const struct {
        int32_t x, y;
        bool lit;
    } cases[] = {
        {127, 108, true}, {128, 124, true}, {108, 127, true}, {124, 128, true}, {148, 127, true},
        {132, 128, true}, {127, 148, true}, {128, 132, true}, {127, 127, false}, {128, 130, false},
        {126, 116, false}, {130, 127, false}, {127, 150, false}, {150, 128, false},
    };
    for (const auto& c : cases) EXPECT_EQ(Lit(c.x, c.y), c.lit) << c.x << "," << c.y;
    EXPECT_EQ(vcp_PanelDirty, 1);
    // The view is put back after the pod's own eye.
    EXPECT_EQ(draw_CurrentSurface.base, saved.base);
}

// A failed pod shows its failure page instead; enlarged, the pod video is
// not drawn into the panel at all.
TEST_F(MfdPanel, FailedOrEnlargedPodDrawsNoCrossHair) {
    mfd_Pod.failed = 1;
    DrawLeft();
    EXPECT_FALSE(Lit(127, 108));
    mfd_Pod.failed = 0;
    mfd_EnlargedFlag = 1;
    DrawLeft();
    mfd_EnlargedFlag = 0;
    EXPECT_FALSE(Lit(127, 108));
    EXPECT_EQ(vcp_PanelDirty, 0);
}

// Drawing the situation page points the situation record's mode button at
// the air mode menu in sub-modes 0 and 1, at the ground mode menu otherwise.
TEST_F(MfdPanel, SituationPageLinksItsModeMenuBySubMode) {
    page.page = MFD_PAGE_SITUATION;
    const struct {
        int32_t subMode, menu;
    } cases[] = {{0, MFD_REC_AIR_MENU}, {1, MFD_REC_AIR_MENU}, {2, MFD_REC_GROUND_MENU},
                 {3, MFD_REC_GROUND_MENU}, {4, MFD_REC_GROUND_MENU}};
    for (const auto& c : cases) {
        mfd_SubMode = c.subMode;
        mfd_PageTable[MFD_REC_SITUATION].buttons[9] = -1;
        DrawLeft();
        EXPECT_EQ(mfd_PageTable[MFD_REC_SITUATION].buttons[9], c.menu) << c.subMode;
    }
}

}  // namespace
