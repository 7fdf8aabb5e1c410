// The situation display's geometry on an 8-bit test surface: the
// heading-up transform, the range rings, mark circles and the bearing caret.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "cockpit/mfd.h"
#include "cockpit/vcp.h"
#include "display/dsurf.h"
#include "net/client.h"
#include "sim/obj.h"
#include "sim/plane.h"

namespace {

constexpr int32_t W = 320, H = 320;
constexpr uint8_t kLit = 0x5A;

class MfdGeom : public ::testing::Test {
protected:
    std::vector<uint8_t> pixels = std::vector<uint8_t>(W * H, 0);
    _DRAW_SURFACE saved{}, surface{};
    ObjectRecord player{}, target{};
    int32_t savedZoom = 0;
    void SetUp() override {
        saved = draw_CurrentSurface;
        savedZoom = mfd_MapZoom;
        draw_InitSurfaceDesc(&surface, pixels.data(), W, H, 1);
        draw_SelectSurface(&surface);
        for (int32_t i = 0; i < 9; i++) vcp_ColourTable[i] = kLit;
        draw_Context.slots[7].index = kLit;
        vcp_DisplayScale[0] = vcp_DisplayScale[1] = 65536;
        mfd_MapZoom = MFD_ZOOM_MIN;
        vcp_DisplayFactorUpdate();
        vcp_DisplayCentre[0] = 160;
        vcp_DisplayCentre[1] = 160;
        mfd_EnlargedFlag = 0;
        mfd_CompactFlag = 0;
        player.position = {0x40000000u, 0, 0x40000000u};
        Client_PlayerObject = &player;
        plane_Current = nullptr;
    }
    void TearDown() override {
        Client_PlayerObject = nullptr;
        mfd_MapZoom = savedZoom;
        mfd_CompactFlag = 0;
        draw_SelectSurface(&saved);
    }
    bool Lit(int32_t x, int32_t y) const { return pixels[(size_t)(y * W + x)] == kLit; }
    void Clear() { std::fill(pixels.begin(), pixels.end(), 0); }
    static void LoadHeading(int32_t heading) {
        FixSinCosBlock trig;
        fix_SinCosAngles(heading, 0, 0, &trig);
        fix_TrigToDouble(&trig);
    }
};

TEST_F(MfdGeom, AnObjectDueAheadPlotsAboveTheCentreAtAnyHeading) {
    for (int32_t step = 0; step < 16; step++) {
        const int32_t heading = step * 0x200000 + 0x1234;  // 1/16 turns, 25-bit
        const double a = heading * 2.0 * M_PI / 33554432.0;
        const double d = 536870912.0;  // 40 pixels at K 320
        const FixWorldPos p = {player.position.x + (uint32_t)(int32_t)std::lround(d * std::sin(a)), 0,
                               player.position.z + (uint32_t)(int32_t)std::lround(d * std::cos(a))};
        LoadHeading(heading);
        mfd_WorldToDisplay(&p, &player);
        EXPECT_NEAR(mfd_PointX, 160, 1) << step;
        EXPECT_LT(mfd_PointY, 150) << step;
    }
    // North-up: an object east lands right, one north lands above.
    LoadHeading(0);
    ObjectRecord east{};
    east.position = {player.position.x + 0x1000000u, 0, player.position.z};
    mfd_ObjectToDisplay(&east, &player);
    EXPECT_GT(mfd_PointX, 160);
    EXPECT_EQ(mfd_PointY, 160);
}

TEST_F(MfdGeom, RangeRingsFollowTheZoom) {
    EXPECT_EQ(vcp_DisplayFactor, 320);
    // At the starting zoom the 40 and 80 rings: radius 72 and 144.
    mfd_RangeRingsDraw();
    EXPECT_TRUE(Lit(160 + 72, 160));
    EXPECT_TRUE(Lit(160 + 144, 160));
    EXPECT_FALSE(Lit(160 + 36, 160));
    EXPECT_FALSE(Lit(160 + 18, 160));
    // Above 218234 the 10 and 20 rings only.
    Clear();
    mfd_MapZoom = 300000;
    vcp_DisplayFactorUpdate();
    const int32_t k = vcp_DisplayFactor;
    mfd_RangeRingsDraw();
    EXPECT_TRUE(Lit(160 + (int32_t)((3800LL * k) >> 16), 160));
    EXPECT_TRUE(Lit(160, 160 - (int32_t)((7600LL * k) >> 16)));
    EXPECT_FALSE(Lit(160 + (int32_t)((14820LL * k) >> 16), 160));
}

TEST_F(MfdGeom, MarkCirclesAreSmallerWhenCompact) {
    for (int32_t compact : {0, 1}) {
        Clear();
        mfd_CompactFlag = compact;
        mfd_PointX = mfd_PointY = 100;
        mfd_Colour = 7;
        mfd_MarkCircle(3);
        const int32_t r = compact ? 5 : 10;
        EXPECT_TRUE(Lit(100 + r, 100)) << compact;
        EXPECT_FALSE(Lit(100 + 15 - r, 100)) << compact;
        EXPECT_EQ(mfd_MarkKind, 3);
        EXPECT_EQ(mfd_LabelX, 99);
        EXPECT_EQ(mfd_LabelY, 98);
    }
}

TEST_F(MfdGeom, BearingCaretClampsAndIsAbsentWithoutTarget) {
    // The scale sits at (30, bottom - 32); the caret runs from y - 6 to y + 6.
    const int32_t x = 30, y = H - 1 - 32;
    mfd_BearingScaleDraw();
    EXPECT_TRUE(Lit(x + 18, y));
    EXPECT_FALSE(Lit(x, y - 5)) << "no caret without a target";
    player.target = &target;
    const struct {
        int32_t dx, dz, offset;
    } cases[] = {{0, 0x1000000, 0}, {-0x100000, -0x1000000, -16}, {0x100000, -0x1000000, 16}, {0x1000000, 0, 16}};
    for (const auto& c : cases) {
        Clear();
        target.position = {player.position.x + (uint32_t)c.dx, 0, player.position.z + (uint32_t)c.dz};
        mfd_BearingScaleDraw();
        EXPECT_TRUE(Lit(x + c.offset, y - 5)) << c.dx << " " << c.dz;
    }
    // On the ground the caret stays in the middle.
    _PLANE plane{};
    plane.flags = 0x20;
    plane_Current = &plane;
    Clear();
    mfd_BearingScaleDraw();
    EXPECT_TRUE(Lit(x, y - 5));
    EXPECT_FALSE(Lit(x + 16, y - 5));
    plane_Current = nullptr;
    player.target = nullptr;
}

}  // namespace
