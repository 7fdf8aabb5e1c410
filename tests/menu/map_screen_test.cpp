// The mission map screen on the data set's quick mission: the records it
// builds from the mission and the briefing's route, and the view drawn at
// levels -1, 0 and 4 against stored pictures (tests/fixtures/menu/map_*.bmp;
// KRX_GOLDEN_UPDATE=1 writes them anew).
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "display/otw.h"
#include "golden_compare.h"
#include "menu/map.h"
#include "mission_fixture.h"
#include "shell/mouse.h"
#include "world/level.h"

namespace {

class MapScreen : public MissionScreensTest {
protected:
    void SetUp() override {
        MissionScreensTest::SetUp();
        mnu_Brief = MnuBriefState{1, 0, 0, 0, {}, nullptr, nullptr};
        mnu_UserMissionName[0] = 0;
        mnu_GameMode = 1;
        mnu_MissionSelect(29, 1);
        WndMisBrief.enter();
        mnu_TransitionFree();
        WndMisBrief.leave();
        app_MouseState.x = 620;  // away from the view
        app_MouseState.y = 10;
        mnu_LeaveFlag = 0;
        WndMap.enter();
        mnu_TransitionFree();
    }
    void TearDown() override {
        WndMap.leave();
        MissionScreensTest::TearDown();
    }
    // The view as drawn, 8-bit RGB rows.
    std::vector<uint8_t> View() {
        mnu_PopupClear();
        mnu_Map.redraw = 1;
        uint8_t* base = otw_LockSurface();
        EXPECT_NE(base, nullptr);
        std::vector<uint8_t> rgb;
        if (base) {
            // A backdrop of its own, so that the picture's edges show.
            for (int32_t y = 0; y < 480; y++) memset(base + (size_t)y * 640 * 2, 0x55, 640 * 2);
        }
        otw_UnlockSurface();
        WndMap.draw();
        base = otw_LockSurface();
        if (!base) return rgb;
        for (int32_t y = 0; y < 480; y++)
            for (int32_t x = 0; x < 464; x++) {
                uint16_t v;
                memcpy(&v, base + ((size_t)y * 640 + x) * 2, 2);
                rgb.push_back((uint8_t)((v >> 11) << 3));
                rgb.push_back((uint8_t)(((v >> 5) & 63) << 2));
                rgb.push_back((uint8_t)((v & 31) << 3));
            }
        otw_UnlockSurface();
        return rgb;
    }
    void Compare(const std::vector<uint8_t>& rgb, const char* name) { test_GoldenCompare(rgb, 464, 480, name); }
};

TEST_F(MapScreen, RecordsFromTheMissionAndTheRoute) {
    ASSERT_NE(mnu_Map.picture, nullptr);
    EXPECT_EQ(mnu_Map.pictureWidth, 1024);
    EXPECT_EQ(mnu_Map.iconWidth, 16);
    EXPECT_EQ(mnu_Map.iconHeight, 16);
    ASSERT_EQ(mnu_Map.waypointCount, 5);
    // Movable but the last two; the view centred on the take-off point.
    EXPECT_EQ(mnu_Map.waypoints[2].flags, MNU_MAP_MOVABLE);
    EXPECT_EQ(mnu_Map.waypoints[3].flags, 0);
    EXPECT_EQ(mnu_Map.waypoints[0].type, MNU_MAP_WAYPOINT_TYPE);
    EXPECT_EQ(mnu_Map.centreX, 416);
    EXPECT_EQ(mnu_Map.centreY, 419);
    EXPECT_EQ(mnu_Map.originX, 416 - 232);
    int32_t shown = 0, sam = -1, bullseye = -1, tanks = -1;
    for (int32_t i = 0; i < mnu_Map.objectCount; i++) {
        const MnuMapObject& o = mnu_Map.objects[i];
        if (!(o.flags & MNU_MAP_SHOWN)) continue;
        shown++;
        if (o.type == 1 && o.subtype == 2) sam = i;
        if (o.marker == 3) bullseye = i;
        if (o.type == 4 && tanks < 0) tanks = i;
    }
    EXPECT_EQ(shown, 14);
    ASSERT_GE(sam, 0);
    ASSERT_GE(bullseye, 0);
    ASSERT_GE(tanks, 0);
    EXPECT_TRUE(mnu_Map.objects[sam].flags & MNU_MAP_THREAT);  // by its control word 0
    EXPECT_EQ(std::string(mnu_Map.objects[sam].label).rfind("SAM: ", 0), 0u) << mnu_Map.objects[sam].label;
    EXPECT_STREQ(mnu_Map.objects[bullseye].label, "Bullseye");
    EXPECT_TRUE(mnu_Map.objects[tanks].flags & MNU_MAP_THREAT);
    EXPECT_EQ(std::string(mnu_Map.objects[tanks].label).rfind("Object: ", 0), 0u) << mnu_Map.objects[tanks].label;
}

// The route accepted on the map flies as it was drawn, flight after flight
// of that mission; back to the mission choice it is forgotten and the next
// flight takes the mission's own route again.
TEST_F(MapScreen, AcceptedRouteFliesUntilTheBriefingIsLeft) {
    mnu_Map.waypoints[1].x += 10;
    cbMapAccept(0);
    const LevelWaypointList drawn = level_WaypointList;
    ASSERT_EQ(drawn.count, 5);
    for (int32_t flight = 0; flight < 2; flight++) {
        mnu_LeaveFlag = 0;
        cbMisAccept(0);
        EXPECT_EQ(level_WaypointList.count, 5);
        EXPECT_EQ(memcmp(level_WaypointList.entries, drawn.entries, sizeof drawn.entries), 0) << flight;
    }
    mnu_LeaveFlag = 0;
    cbMisBack(0);
    mnu_LeaveFlag = 0;
    cbMisAccept(0);
    ASSERT_EQ(level_WaypointList.count, 5);
    const OrfStartItem lake = mkdata_SampleMission().starts[0][1];
    EXPECT_EQ((uint32_t)level_WaypointList.entries[1].x, lake.x);
    EXPECT_EQ((uint32_t)level_WaypointList.entries[1].z, lake.z);
    level_WaypointList = LevelWaypointList{};
}

TEST_F(MapScreen, ViewAtLevelsMinusOneZeroAndFour) {
    cbMapZoomOut(0);
    ASSERT_EQ(mnu_Map.level, -1);
    Compare(View(), "map_level_m1.bmp");
    cbMapCenter(0);
    ASSERT_EQ(mnu_Map.level, 0);
    Compare(View(), "map_level_0.bmp");
    for (int32_t i = 0; i < 4; i++) cbMapZoomIn(0);
    ASSERT_EQ(mnu_Map.level, 4);
    Compare(View(), "map_level_4.bmp");
}

}  // namespace
