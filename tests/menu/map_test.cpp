// The mission map screen: zoom, moves, centring, the pan to a waypoint,
// waypoint stepping, dragging, labels and the route written back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/le.h"
#include "menu/brief.h"
#include "menu/map.h"
#include "menu_fixture.h"
#include "world/level.h"

namespace {

class MapTest : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        mnu_Map = MnuMapState{};
        mnu_MapViewReset(1024, 1024, 16, 16);
        mnu_Map.selectedObject = mnu_Map.selectedWaypoint = -1;
    }
    // Waypoints at the given picture pixels (1024-pixel picture).
    void Route(const std::vector<std::pair<int32_t, int32_t>>& pixels) {
        LeWriter w;
        for (auto [x, y] : pixels) {
            int32_t wx = 0, wz = 0;
            mnu_MapWorldFromPixel(x, y, 1024, &wx, &wz);
            w.u32((uint32_t)wx + (1u << 21));  // inside the pixel
            w.u32(0);
            w.u32((uint32_t)wz - (1u << 21) - 1u);
            w.zeros(12);
        }
        ASSERT_EQ(mnu_MapWaypointsBuild(w.buf.data(), (int32_t)pixels.size()), (int32_t)pixels.size());
    }
};

struct View {
    int32_t level, x, y, width, height, step;
};
void ExpectView(const View& v, const char* what) {
    const MnuMapState& m = mnu_Map;
    EXPECT_EQ(m.level, v.level) << what;
    EXPECT_EQ(m.originX, v.x) << what;
    EXPECT_EQ(m.originY, v.y) << what;
    EXPECT_EQ(m.width, v.width) << what;
    EXPECT_EQ(m.height, v.height) << what;
    EXPECT_EQ(m.step, v.step) << what;
}

TEST_F(MapTest, ZoomStopsAtFourAndMinusOne) {
    mnu_MapCentreOn(512, 512);
    ExpectView({0, 280, 272, 464, 480, 8}, "centred");
    const View in[] = {{1, 396, 392, 232, 240, 4},
                       {2, 454, 452, 116, 120, 2},
                       {3, 483, 482, 58, 60, 1},
                       {4, 497, 497, 29, 30, 1},
                       {4, 497, 497, 29, 30, 1}};
    for (const View& v : in) {
        mnu_MapZoomIn();
        ExpectView(v, "in");
    }
    const View out[] = {{3, 483, 482, 58, 60, 2},   {2, 454, 452, 116, 120, 4}, {1, 396, 392, 232, 240, 8},
                        {0, 280, 272, 464, 480, 16}, {-1, 48, 32, 928, 960, 32}, {-1, 48, 32, 928, 960, 32}};
    for (const View& v : out) {
        mnu_MapZoomOut();
        ExpectView(v, "out");
    }
}

TEST_F(MapTest, MovesClampAtEveryEdgeAndLevel) {
    struct Picture {
        int32_t w, h;
    } pictures[] = {{1024, 1024}, {400, 300}};
    for (const Picture& p : pictures) {
        for (int32_t level = -1; level <= 4; level++) {
            mnu_MapViewReset(p.w, p.h, 16, 16);
            while (mnu_Map.level < level) mnu_MapZoomIn();
            while (mnu_Map.level > level) mnu_MapZoomOut();
            std::string at = std::to_string(p.w) + " level " + std::to_string(level);
            int32_t margin = level > 0 ? level : 0;
            int32_t right = std::max(0, p.w - mnu_Map.width), bottom = std::max(0, p.h - mnu_Map.height - margin);
            for (int32_t i = 0; i < 1100; i++) mnu_MapMove(2);
            EXPECT_EQ(mnu_Map.originX, right) << at;
            for (int32_t i = 0; i < 1100; i++) mnu_MapMove(3);
            EXPECT_EQ(mnu_Map.originY, bottom) << at;
            for (int32_t i = 0; i < 1100; i++) mnu_MapMove(4);
            EXPECT_EQ(mnu_Map.originX, 0) << at;
            for (int32_t i = 0; i < 1100; i++) mnu_MapMove(1);
            EXPECT_EQ(mnu_Map.originY, 0) << at;
            // A small picture never takes a negative origin, zoomed either way.
            mnu_MapZoomOut();
            mnu_MapZoomIn();
            EXPECT_GE(mnu_Map.originX, 0) << at;
            EXPECT_GE(mnu_Map.originY, 0) << at;
        }
    }
}

TEST_F(MapTest, CentreWithoutWaypointsAndOnTheFirst) {
    mnu_MapViewReset(1024, 1024, 16, 16);
    mnu_MapZoomIn();
    mnu_MapZoomIn();
    cbMapReset(0);  // no mission, no points
    EXPECT_EQ(mnu_Map.waypointCount, 0);
    EXPECT_EQ(mnu_Map.centreX, 232);
    EXPECT_EQ(mnu_Map.centreY, 240);
    ExpectView({0, 0, 0, 464, 480, 8}, "no waypoints");
    Route({{600, 700}, {650, 700}});
    mnu_Map.centreX = mnu_Map.waypoints[0].x;
    mnu_Map.centreY = mnu_Map.waypoints[0].y;
    mnu_MapZoomOut();
    cbMapCenter(0);
    ExpectView({0, 368, 460, 464, 480, 8}, "first waypoint");
}

TEST_F(MapTest, PanLandsOnItsTargetAfterTwentySteps) {
    struct Case {
        int32_t fromX, fromY, toX, toY;
    } cases[] = {{512, 512, 300, 300}, {300, 300, 613, 517}, {512, 512, 517, 499}, {600, 600, 600, 600},
                 {400, 700, 363, 261}};
    for (const Case& c : cases) {
        mnu_MapRecordsFree();
        mnu_MapViewReset(1024, 1024, 16, 16);
        mnu_MapZoomIn();
        mnu_MapZoomIn();  // a 116 x 120 view: no edge stops the pan
        mnu_MapCentreOn(c.fromX, c.fromY);
        Route({{c.toX, c.toY}, {10, 10}});
        mnu_MapPanTo(0);
        for (int32_t i = 0; i < MNU_MAP_PAN_STEPS; i++) {
            ASSERT_TRUE(mnu_Map.panning) << i;
            mnu_MapPanStep();
        }
        EXPECT_FALSE(mnu_Map.panning);
        EXPECT_EQ(mnu_Map.panX, c.toX) << c.fromX << "," << c.fromY;
        EXPECT_EQ(mnu_Map.panY, c.toY) << c.fromX << "," << c.fromY;
        EXPECT_EQ(mnu_Map.originX + mnu_Map.width / 2, c.toX);
        EXPECT_EQ(mnu_Map.originY + mnu_Map.height / 2, c.toY);
    }
}

TEST_F(MapTest, WaypointStepsWrapAround) {
    Route({{100, 100}, {200, 100}, {300, 100}});
    mnu_Map.currentWaypoint = 2;
    cbMapWPR(0);
    EXPECT_EQ(mnu_Map.currentWaypoint, 0);
    EXPECT_EQ(mnu_Map.selectedWaypoint, 0);
    EXPECT_EQ(mnu_Map.panTargetX, 100);
    cbMapWPL(1);
    EXPECT_EQ(mnu_Map.currentWaypoint, 2);
    EXPECT_EQ(mnu_Map.panTargetX, 300);
    cbMapWPL(1);
    EXPECT_EQ(mnu_Map.currentWaypoint, 1);
}

TEST_F(MapTest, DragStopsShortOfNeighboursAndComesBackFromOutside) {
    // Snap distance 4 x (1024 / 175) = 20 pixels at level 0, origin 0.
    Route({{100, 100}, {200, 100}, {300, 100}, {400, 100}, {420, 100}});
    mnu_MapScreenRects();
    const MnuMapObject& w1 = mnu_Map.waypoints[1];
    int32_t gx = w1.screen.left + 2, gy = w1.screen.top + 2;
    mnu_MapPointer(gx, gy, 1);
    ASSERT_TRUE(mnu_Map.dragging);
    EXPECT_EQ(mnu_Map.selectedWaypoint, 1);
    // Pointer p puts the waypoint at p - 8 (half the icon) at level 0.
    mnu_MapPointer(158, 128, 1);
    EXPECT_EQ(w1.x, 150);
    EXPECT_EQ(w1.y, 120);
    mnu_MapPointer(118, 108, 1);  // 10 pixels from waypoint 0: stays
    EXPECT_EQ(w1.x, 150);
    EXPECT_EQ(w1.y, 120);
    mnu_MapPointer(600, 100, 1);  // off the 464-wide view: back to 200, 100
    EXPECT_FALSE(mnu_Map.dragging);
    EXPECT_EQ(w1.x, 200);
    EXPECT_EQ(w1.y, 100);
    // Released over the view: the waypoint keeps its new place.
    mnu_MapScreenRects();
    mnu_MapPointer(w1.screen.left + 2, w1.screen.top + 2, 1);
    mnu_MapPointer(258, 208, 1);
    mnu_MapPointer(258, 208, 0);
    EXPECT_FALSE(mnu_Map.dragging);
    EXPECT_EQ(w1.x, 250);
    EXPECT_EQ(w1.y, 200);
    // The last two waypoints do not move.
    const MnuMapObject& w4 = mnu_Map.waypoints[4];
    mnu_MapScreenRects();
    mnu_MapPointer(w4.screen.left + 2, w4.screen.top + 2, 1);
    EXPECT_EQ(mnu_Map.selectedWaypoint, 4);
    EXPECT_FALSE(mnu_Map.dragging);
}

TEST_F(MapTest, LabelKeysByTypeAndSubtype) {
    struct Case {
        int32_t type, subtype;
        const char* key;
    } cases[] = {{0, 0, "MM_HDR_2"}, {2, 5, "MM_HDR_3"}, {3, 1, "MM_HDR_4"}, {1, 0, "MM_HDR_5"},
                 {1, 1, "MM_HDR_6"}, {1, 2, "MM_HDR_7"}, {1, 3, "MM_HDR_8"}, {1, 4, "MM_HDR_10"},
                 {1, 5, "MM_HDR_1"}, {1, 6, "MM_HDR_9"}, {1, 7, "MM_HDR_1"}, {4, 2, "MM_HDR_1"},
                 {12, 0, "MM_HDR_1"}};
    for (const Case& c : cases) EXPECT_STREQ(mnu_MapLabelKey(c.type, c.subtype), c.key) << c.type << "/" << c.subtype;

    MnuMapObject o = {};
    mnu_MapLabelFormat(&o, "SAM:", "Lake site", "Bullseye");
    EXPECT_STREQ(o.label, "SAM: Lake site");
    mnu_MapLabelFormat(&o, nullptr, "Lake site", "Bullseye");
    EXPECT_STREQ(o.label, "Load Failure Lake site");
    o.marker = 3;
    mnu_MapLabelFormat(&o, "SAM:", "Lake site", "Bullseye");
    EXPECT_STREQ(o.label, "Bullseye");
    o.marker = 0;
    std::string longName(300, 'n');
    mnu_MapLabelFormat(&o, "SAM:", longName.c_str(), "Bullseye");
    EXPECT_EQ(strlen(o.label), (size_t)MNU_MAP_LABEL - 1);
}

TEST_F(MapTest, AcceptWritesTheRouteBackAndRefusesMoreThanThirtyTwo) {
    Route({{100, 100}, {200, 300}, {1023, 0}});
    mnu_Map.waypoints[1].x = 250;
    level_WaypointList = LevelWaypointList{};
    mnu_MapWaypointsWrite();
    ASSERT_EQ(level_WaypointList.count, 3);
    EXPECT_EQ((uint32_t)level_WaypointList.entries[0].x, 100u << 22);
    EXPECT_EQ((uint32_t)level_WaypointList.entries[0].z, (1024u - 100u) << 22);
    EXPECT_EQ((uint32_t)level_WaypointList.entries[1].x, 250u << 22);
    EXPECT_EQ((uint32_t)level_WaypointList.entries[1].z, (1024u - 300u) << 22);
    EXPECT_EQ((uint32_t)level_WaypointList.entries[2].x, 1023u << 22);
    EXPECT_EQ((uint32_t)level_WaypointList.entries[2].z, 0u);  // 1024 << 22 wraps to 0
    // Pixels from world positions: north up through the complement.
    int32_t px = 0, py = 0;
    mnu_MapPixelFromWorld(5u << 22, 0, &px, &py);
    EXPECT_EQ(px, 5);
    EXPECT_EQ(py, 1023);

    std::vector<uint8_t> points(40 * MNU_BRIEF_POINT_SIZE, 0);
    mnu_MapRecordsFree();
    EXPECT_EQ(mnu_MapWaypointsBuild(points.data(), 40), MNU_MAP_WAYPOINTS);
    mnu_MapWaypointsWrite();
    EXPECT_EQ(level_WaypointList.count, MNU_MAP_WAYPOINTS);
    level_WaypointList = LevelWaypointList{};
}

}  // namespace
