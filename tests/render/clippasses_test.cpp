// The renderer's four clip passes against the current surface's clip
// rectangle: the polygon left inside, a polygon wholly outside, and counts
// the two eight-vertex arrays cannot take.
#include <gtest/gtest.h>

#include "display/clip.h"
#include "display/dsurf.h"
#include "render/render.h"

namespace {

class ClipPassesTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = draw_CurrentSurface;
        draw_CurrentSurface = _DRAW_SURFACE{};
        draw_CurrentSurface.clipX1F = 0;
        draw_CurrentSurface.clipY1F = 0;
        draw_CurrentSurface.clipX2F = 100 * 128;
        draw_CurrentSurface.clipY2F = 80 * 128;
    }
    void TearDown() override { draw_CurrentSurface = saved_; }
    _DRAW_SURFACE saved_;
    PolyClipVertex a_[8] = {};
    PolyClipVertex b_[8] = {};
};

TEST_F(ClipPassesTest, KeepsThePartInsideTheClipRectangle) {
    // A triangle over the top-left corner: it pokes out to the left and above.
    a_[0] = {-50.0f * 128, 40.0f * 128, 0, 0, 0, 0};
    a_[1] = {50.0f * 128, -40.0f * 128, 0, 0, 0, 0};
    a_[2] = {50.0f * 128, 40.0f * 128, 0, 0, 0, 0};
    int32_t n = render_ClipPasses(3, a_, b_);
    ASSERT_GE(n, 3);
    ASSERT_LE(n, 8);
    for (int32_t i = 0; i < n; i++) {
        EXPECT_GE(a_[i].x, 0.0f);
        EXPECT_LE(a_[i].x, 100.0f * 128);
        EXPECT_GE(a_[i].y, 0.0f);
        EXPECT_LE(a_[i].y, 80.0f * 128);
    }
}

TEST_F(ClipPassesTest, NothingLeftOrUnfitCountsGiveZero) {
    a_[0] = {200.0f * 128, 10.0f * 128, 0, 0, 0, 0};
    a_[1] = {300.0f * 128, 10.0f * 128, 0, 0, 0, 0};
    a_[2] = {250.0f * 128, 50.0f * 128, 0, 0, 0, 0};
    EXPECT_EQ(render_ClipPasses(3, a_, b_), 0);
    EXPECT_EQ(render_ClipPasses(2, a_, b_), 0);
    EXPECT_EQ(render_ClipPasses(5, a_, b_), 0);
    EXPECT_EQ(render_ClipPasses(3, nullptr, b_), 0);
}

}  // namespace
