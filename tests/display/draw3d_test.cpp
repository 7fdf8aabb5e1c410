// 3D projection and wireframe markers: camera space, the near-distance
// rules, projection rounding, labels and the marker symbols.
#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "base/mem.h"
#include "base/units.h"
#include "display/draw3d.h"
#include "display/draw_canvas.h"
#include "display/font.h"
#include "display/otw.h"
#include "fixtures/heaps.h"
#include "mkdata.h"
#include "render/view.h"
#include "sim/obj.h"

namespace {

// The camera sits at the eye, level, looking along +z; the near distance is
// 1 world unit. The eye is near the world's origin so that float positions
// (metres) keep every unit.
constexpr uint32_t kEye = 4096;

class Draw3DTest : public ::testing::Test {
protected:
    Canvas c{640, 480, 1};
    int32_t savedNear = 0;
    uint32_t savedFlags = 0;

    void SetUp() override {
        ASSERT_EQ(test_HeapsFresh(0x100000, 0x10000, 0x10000), 0);
        savedNear = ViewNearDistance;
        savedFlags = ViewFlags;
        ViewNearDistance = 1 << 7;
        ViewFlags = 0;
        ViewedObject = nullptr;
        view_State = ViewState{};
        view_State.position = {kEye, kEye, kEye};
        fix_SinCosAngles(0, 0, 0, &view_State.viewMatrix);
        otw_ScreenSurface.width = 640;
        otw_ScreenSurface.height = 480;
        for (int s = 0; s < 8; s++) SetSlot(s, (uint8_t)(10 + s), 0, 0);
    }
    void TearDown() override {
        ViewNearDistance = savedNear;
        ViewFlags = savedFlags;
        ViewedObject = nullptr;
        view_State = ViewState{};
        draw_LabelFont = nullptr;
    }
    static FixWorldPos At(int64_t x, int64_t y, int64_t z) {
        return {kEye + (uint32_t)x, kEye + (uint32_t)y, kEye + (uint32_t)z};
    }
    static FixScreenPoint Project(const FixWorldPos& p) {
        FixScreenPoint s{};
        EXPECT_EQ(draw_ProjectPoint3D(&p, &s), 0);
        return s;
    }
};

TEST_F(Draw3DTest, CameraSpaceSubtractsTheEyeAndTurnsByTheView) {
    FixVec3 v;
    FixWorldPos p = At(100, -20, 300);
    draw_ToCameraSpace(&p, &v);
    EXPECT_EQ(v.x, 100);
    EXPECT_EQ(v.y, -20);
    EXPECT_EQ(v.z, 300);
    // Looking along +x (a quarter turn of heading): the point ahead on x is
    // straight ahead.
    const int32_t quarter = 0x800000;
    fix_SinCosAngles(-quarter, 0, 0, &view_State.viewMatrix);
    FixWorldPos q = At(500, 0, 0);
    draw_ToCameraSpace(&q, &v);
    EXPECT_EQ(std::abs(v.x), 0);
    EXPECT_EQ(std::abs(v.z), 500);
}

TEST_F(Draw3DTest, NearDistanceRules) {
    // Near = 2: a depth of exactly 2 projects, 1 does not.
    ViewNearDistance = 2 << 7;
    FixScreenPoint s;
    FixWorldPos atNear = At(0, 0, 2), behind = At(0, 0, 1);
    EXPECT_EQ(draw_ProjectPoint3D(&atNear, &s), 0);
    EXPECT_EQ(draw_ProjectPoint3D(&behind, &s), -1);
    EXPECT_EQ(draw_ProjectPoint3DFine(&behind, &s), -1);
    FixVec3 a = {0, 0, 5}, b = {0, 0, 4};
    EXPECT_EQ(draw_SegmentInFront(&a, &b, 4), 0);
    EXPECT_EQ(draw_SegmentInFront(&a, &b, 5), -1);

    // A 3D line with one end behind the camera draws nothing at all.
    FixWorldPos far = At(0, 0, 1000), back = At(10, 0, -1000);
    EXPECT_EQ(draw_Line3D(&far, &back, 1), -1);
    EXPECT_EQ(c.Count(), 0);
    FixWorldPos far2 = At(300, 0, 1000);
    EXPECT_EQ(draw_Line3D(&far, &far2, 1), 0);
    EXPECT_GT(c.Count(), 0);

    // Markers follow the projection's rule, labels need strictly more.
    c.Clear();
    EXPECT_EQ(draw_Plus3D(&atNear, 3, 2), 0);
    EXPECT_EQ(draw_Plus3D(&behind, 3, 2), -1);
    MathVec3 m;
    fix_WorldToFloat(&atNear, &m);
    int32_t w = 0, h = 0;
    std::vector<uint8_t> image = mkdata_FontImage(8, false, &w, &h);
    BitmapFont font{};
    font.image = image.data();
    font.width = w;
    font.height = h;
    ASSERT_EQ(font_ScanGrid(&font), 0);
    draw_LabelFont = &font;
    FixWorldPos labelAt;
    fix_FloatToWorld(&m, &labelAt);
    FixVec3 v;
    draw_ToCameraSpace(&labelAt, &v);
    ASSERT_EQ(v.z, 2);
    EXPECT_EQ(draw_LabelAt3D(&m, "A", 3, 4), -1);
    FixWorldPos beyond = At(0, 0, 4);
    fix_WorldToFloat(&beyond, &m);
    EXPECT_EQ(draw_LabelAt3D(&m, "A", 3, 4), 0);
}

TEST_F(Draw3DTest, ProjectionRoundsTowardMinusInfinity) {
    // A point straight ahead lands on the centre; move the centre so that
    // it lies at -1/128 pixel.
    draw_CurrentSurface.centreXF = -1;
    draw_CurrentSurface.centreYF = 129;
    FixVec3 v = {0, 0, 1000};
    FixScreenPoint s;
    draw_ProjectToScreen(&v, &s);
    EXPECT_EQ(s.x, -1);
    EXPECT_EQ(s.y, 1);
    FixWorldPos p = At(0, 0, 1000);
    draw_ProjectPoint3DFine(&p, &s);
    EXPECT_EQ(s.x, -1);
    EXPECT_EQ(s.y, 129);

    FixScreenPoint in = {0, 0}, edge = {640, 480}, out = {641, 0};
    EXPECT_EQ(draw_PointInClip(&in), 0);
    EXPECT_EQ(draw_PointInClip(&edge), 0);  // both bounds inclusive
    EXPECT_EQ(draw_PointInClip(&out), -1);
}

TEST_F(Draw3DTest, LabelsNeedAnAnchorOnTheScreen) {
    int32_t w = 0, h = 0;
    std::vector<uint8_t> image = mkdata_FontImage(8, false, &w, &h);
    BitmapFont font{};
    font.image = image.data();
    font.width = w;
    font.height = h;
    ASSERT_EQ(font_ScanGrid(&font), 0);
    MathVec3 ahead;
    FixWorldPos p = At(0, 0, 100000);
    fix_WorldToFloat(&p, &ahead);
    EXPECT_EQ(draw_LabelAt3D(&ahead, "A", 3, 4), -1);  // no font
    draw_LabelFont = &font;
    // Anchor at x = width - 1 is drawn, at x = width it is not.
    for (auto [centreX, want] : {std::pair{639, 0}, std::pair{640, -1}}) {
        c.Clear();
        draw_CurrentSurface.centreXF = centreX * 128;
        EXPECT_EQ(draw_LabelAt3D(&ahead, "A", 3, 4), want) << centreX;
        EXPECT_EQ(c.Count() > 0, want == 0);
    }
    // Drawn twice: the shadow one pixel down and right.
    c.Clear();
    draw_CurrentSurface.centreXF = 100 * 128;
    draw_CurrentSurface.centreYF = 50 * 128;
    EXPECT_EQ(draw_LabelAt3D(&ahead, "I", 3, 4), 0);
    EXPECT_EQ(c.Get(100 + 1, 50), 13u);       // top bar of I in the colour
    EXPECT_EQ(c.Get(100 + 4, 50 + 1), 14u);   // the shadow beside it
}

TEST_F(Draw3DTest, ScreenMarkersAroundTheProjection) {
    const FixWorldPos p = At(0, 0, 10000);  // projects to (320, 240)
    struct Case {
        int32_t (*draw)(const FixWorldPos*, int32_t, int32_t);
        std::vector<std::pair<int, int>> on, off;
    };
    for (const Case& k : {
             Case{draw_Diamond3D, {{320, 230}, {330, 240}, {320, 250}, {310, 240}, {325, 235}}, {{320, 240}}},
             Case{draw_Triangle3D, {{320, 230}, {330, 250}, {310, 250}, {320, 250}}, {{320, 240}}},
             Case{draw_Square3D, {{310, 230}, {330, 230}, {330, 250}, {310, 250}, {320, 230}}, {{320, 240}}},
             Case{draw_Plus3D, {{320, 230}, {320, 250}, {310, 240}, {330, 240}, {320, 240}}, {{315, 235}}},
             Case{draw_Cross3D, {{310, 230}, {330, 250}, {330, 230}, {310, 250}, {320, 240}}, {{320, 235}}},
         }) {
        c.Clear();
        EXPECT_EQ(k.draw(&p, 10, 2), 0);
        for (auto [x, y] : k.on) EXPECT_EQ(c.Get(x, y), 12u) << x << "," << y;
        for (auto [x, y] : k.off) EXPECT_FALSE(c.Changed(x, y)) << x << "," << y;
    }
    c.Clear();
    EXPECT_EQ(draw_Rect3D(&p, 20, 5, 3), 0);
    for (auto [x, y] : {std::pair{300, 235}, std::pair{340, 245}, std::pair{320, 235}}) EXPECT_EQ(c.Get(x, y), 13u);
    EXPECT_FALSE(c.Changed(320, 240));
    EXPECT_TRUE(c.OutsideUntouched());
}

TEST_F(Draw3DTest, LeaderMarkersNeedAnAnchor) {
    const FixWorldPos p = At(0, 0, 10000);
    EXPECT_EQ(draw_LeaderDiamond3D(&p, 2), -1);  // no viewed object, no centre flag
    EXPECT_EQ(draw_Symbol3D(&p, 10, 2), -1);
    EXPECT_EQ(c.Count(), 0);

    ViewFlags = 0x100;  // to the screen centre
    draw_CurrentSurface.centreXF = 100 * 128;  // the diamond away from the centre
    EXPECT_EQ(draw_LeaderDiamond3D(&p, 2), 0);
    for (auto [x, y] : {std::pair{100, 230}, std::pair{120, 240}, std::pair{80, 240}, std::pair{200, 240},
                        std::pair{320, 240}})
        EXPECT_EQ(c.Get(x, y), 12u) << x << "," << y;

    // The viewed object's projection is the anchor otherwise.
    c.Clear();
    ViewFlags = 0;
    ObjectRecord object{};
    object.position = At(0, 0, 10000);
    ViewedObject = &object;
    draw_CurrentSurface.centreXF = 320 * 128;
    const FixWorldPos q = At(2000, 0, 10000);  // to the right
    EXPECT_EQ(draw_LeaderDiamond3D(&q, 2), 0);
    FixScreenPoint s = Project(q);
    EXPECT_GT(s.x, 330);
    EXPECT_EQ(c.Get(320, 240), 12u);
    EXPECT_EQ(c.Get((320 + s.x) / 2, 240), 12u);
    object.position = At(0, 0, -10000);  // behind: nothing
    c.Clear();
    EXPECT_EQ(draw_LeaderDiamond3D(&q, 2), -1);
    EXPECT_EQ(c.Count(), 0);
}

TEST_F(Draw3DTest, GroundRingUsesThreeQuartersOfItsRadius) {
    // Looking straight down on a ring 3000 units below: world +z is up the
    // screen.
    fix_SinCosAngles(0, 0x800000, 0, &view_State.viewMatrix);
    ViewFlags = 0x100;
    const FixWorldPos centre = At(0, -3000, 0);
    EXPECT_EQ(Project(centre).x, 320);
    EXPECT_EQ(draw_Symbol3D(&centre, 1000, 3), 0);
    // k = 3s/4: the vertex at (750, 0, 750) is drawn; (800, 0, 800) lies
    // outside the ring.
    FixScreenPoint vk = Project(At(750, -3000, 750)), v8 = Project(At(800, -3000, 800));
    EXPECT_EQ(c.Get(vk.x, vk.y), 13u);
    EXPECT_FALSE(c.Changed(v8.x, v8.y));
    for (auto [x, z] : {std::pair{0, 1000}, std::pair{1000, 0}, std::pair{-750, -750}, std::pair{0, -1000}}) {
        FixScreenPoint v = Project(At(x, -3000, z));
        EXPECT_EQ(c.Get(v.x, v.y), 13u) << x << "," << z;
    }
    EXPECT_FALSE(c.Changed(330, 240));  // inside the ring
    EXPECT_EQ(c.Get(320, 240), 13u);    // the leader, here a single pixel

    // k is rounded down ((s + s + s) / 4: 10 gives 7). With s = 401 that is
    // 300, not 301: the ring is the eight 3D lines through those vertices
    // (plus the one-pixel leader), and 301 would move a vertex a pixel.
    auto ring = [&](int64_t s, int64_t k) {
        c.Clear();
        const int64_t v[8][2] = {{0, s}, {k, k}, {s, 0}, {k, -k}, {0, -s}, {-k, -k}, {-s, 0}, {-k, k}};
        for (int i = 0; i < 8; i++) {
            FixWorldPos a = At(v[i][0], -500, v[i][1]), b = At(v[(i + 1) & 7][0], -500, v[(i + 1) & 7][1]);
            draw_Line3D(&a, &b, 3);
        }
        const FixWorldPos mid = At(0, -500, 0);
        draw_Line3D(&mid, &mid, 3);
        return c.ChangedPixels();
    };
    const auto rounded = ring(401, 301), wanted = ring(401, 300);
    c.Clear();
    const FixWorldPos below = At(0, -500, 0);
    ASSERT_EQ(draw_Symbol3D(&below, 401, 3), 0);
    EXPECT_EQ(c.ChangedPixels(), wanted);
    EXPECT_NE(c.ChangedPixels(), rounded);

    // Seen level from 3000 ahead, the ring's near vertex (0, 0, -1000) lies
    // 2000 deep: with the near distance beyond it nothing is drawn.
    c.Clear();
    fix_SinCosAngles(0, 0, 0, &view_State.viewMatrix);
    const FixWorldPos ahead = At(0, -500, 3000);
    ViewNearDistance = 2000 << 7;
    EXPECT_EQ(draw_Symbol3D(&ahead, 1000, 3), 0);
    c.Clear();
    ViewNearDistance = 2001 << 7;
    EXPECT_EQ(draw_Symbol3D(&ahead, 1000, 3), -1);
    EXPECT_EQ(c.Count(), 0);
}

TEST_F(Draw3DTest, AxesBoxesAndArrowsDrawIn3D) {
    // A frame 50 m ahead with the view's axes: x to the right in slot 2, y
    // up in slot 1, z away (a single point) in slot 5.
    MathFrame frame;
    math_FrameIdentity(&frame);
    FixWorldPos origin = At(0, 0, 0);
    fix_WorldToFloat(&origin, &frame.pos);
    frame.pos.z += 50.0f;
    draw_Axes3D(&frame, 5.0f);
    EXPECT_EQ(c.Get(330, 240), 12u);
    EXPECT_EQ(c.Get(320, 230), 11u);
    EXPECT_FALSE(c.Changed(310, 240));
    EXPECT_FALSE(c.Changed(320, 250));

    // An axis-aligned box around the same point: its near face is a square
    // centred on the projection.
    c.Clear();
    draw_MarkerBox3D(&frame.pos, 4.0f, 6);
    FixWorldPos corner;
    MathVec3 cp = {frame.pos.x - 2.0f, frame.pos.y - 2.0f, frame.pos.z - 2.0f};
    fix_FloatToWorld(&cp, &corner);
    FixScreenPoint s = Project(corner);
    EXPECT_EQ(c.Get(s.x, s.y), 16u);
    cp.x += 4.0f;
    fix_FloatToWorld(&cp, &corner);
    s = Project(corner);
    EXPECT_EQ(c.Get(s.x, s.y), 16u);
    EXPECT_FALSE(c.Changed(320, 240));

    // The object arrow: drawn in its slot when the object lies ahead.
    c.Clear();
    SetSlot(DRAW_OBJECT_BOX_SLOT, 25, 0, 0);
    ObjectRecord object{};
    fix_FloatToWorld(&frame.pos, &object.position);
    draw_ObjectBox3D(&object);
    EXPECT_GT(c.Count(), 0);
    for (auto [x, y] : c.ChangedPixels()) EXPECT_EQ(c.Get(x, y), 25u) << x << "," << y;
    EXPECT_EQ(c.Get(320, 240), 25u);  // the arrow's tail
    EXPECT_TRUE(c.OutsideUntouched());
}

}  // namespace
