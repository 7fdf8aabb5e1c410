// The seeker, version, chase-angle, terrain-count and label pages, the
// clearance look-ahead and ring markers in the 3D view, and the trigger
// page's developer word.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/text.h"
#include "base/units.h"
#include "cockpit/hud.h"
#include "dbgpage_fixture.h"
#include "debug/console.h"
#include "debug/dbgobj.h"
#include "debug/dbgreadout.h"
#include "render/render.h"
#include "render/view.h"
#include "shell/runner.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "sim/flight.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "world/level.h"
#include "world/terrain.h"
#include "world/terrain_draw.h"

namespace {

using ReadoutPagesTest = PageTest;

// The readout family's lines: from (10, 10), 16 pixels apart, in red.
void ExpectColumn(const std::vector<PageLine>& lines, const std::vector<std::string>& texts) {
    ASSERT_EQ(lines.size(), texts.size());
    for (size_t i = 0; i < texts.size(); i++) {
        EXPECT_EQ(lines[i].text, texts[i]) << i;
        EXPECT_EQ(lines[i].x, 10) << texts[i];
        EXPECT_EQ(lines[i].y, 10 + 16 * (int32_t)i) << texts[i];
        EXPECT_EQ(lines[i].colour, DBG_RED) << texts[i];
    }
}

// The program's formatter pads a width with blanks unless it begins with 0,
// so "%6.6ld" and "%2.2ld" fill with blanks, and "%3.3f" takes the width as
// the least number of integer digits, the sign left of the fill.
TEST_F(ReadoutPagesTest, VersionPagePadsTheStampFields) {
    const AppVersionRecord saved = app_VersionRecord;
    app_VersionRecord = AppVersionRecord{1, 1, 0, 101, 1010014, 31299, 90502, 9, 5, 2, 3, 12, 1999, 2, 14};
    dbg_DrawVersionPage();
    app_VersionRecord = saved;
    ExpectColumn(lines, {"major = 1", "minor = 1", "build major = 0", "build minor = 14", "network = 101",
                         "number = 1010014", "date =  31299", "time =  90502", "hours =  9", "minutes =  5",
                         "seconds =  2", "month = 3", "day = 12", "year = 1999", "instance = 2"});
}

TEST_F(ReadoutPagesTest, VersionRecordFollowsTheBuildStamp) {
    app_VersionStringBuild();
    const AppVersionRecord& v = app_VersionRecord;
    EXPECT_EQ(v.major, APP_VERSION_MAJOR);
    EXPECT_EQ(v.buildMinor, APP_VERSION_BUILD);
    EXPECT_EQ(v.network, APP_NETWORK_VERSION);
    EXPECT_GE(v.instance, 1);
    // The record's numbers are the ones the version string shows.
    char expected[72];
    snprintf(expected, sizeof expected, "%8.8ld.%6.6ld.%6.6ld-", (long)v.number, (long)v.date, (long)v.time);
    EXPECT_EQ(std::string(app_Record.versionString).rfind(expected, 0), 0u) << app_Record.versionString;
    EXPECT_EQ(v.date, (v.year % 100) + v.day * 100 + v.month * 10000);
}

TEST_F(ReadoutPagesTest, ChaseAnglesShiftSignedValues) {
    const FixAngles savedView = view_State.angles;
    view_State.angles = FixAngles{0x1230000, -0x20000, 0x10};
    ObjectRecord player{};
    player.rates = FixAngles{0x10000, -0x30000, -1};
    Client_PlayerObject = &player;
    dbg_DrawChaseAngles();
    const std::vector<PageLine> withPlayer = lines;
    lines.clear();
    Client_PlayerObject = nullptr;
    dbg_DrawChaseAngles();
    view_State.angles = savedView;
    ExpectColumn(withPlayer, {"CHASE ANGLES:", "YAW = 19070976 (291)", "PITCH = -131072 (-2)", "ROLL = 16 (0)",
                              "DELTA YAW = 65536 (1)", "DELTA PITCH = -196608 (-3)", "DELTA ROLL = -1 (-1)",
                              "PLAYER DELTA_PITCH = 0 (0)"});
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[4].text, "DELTA YAW = 0 (0)");
}

TEST_F(ReadoutPagesTest, SeekerPageAddsTheTargetCoordinatesOnlyWithATarget) {
    const float head[2] = {weapon_SeekerHead[0], weapon_SeekerHead[1]};
    float track[3];
    std::copy(weapon_SeekerTrack, weapon_SeekerTrack + 3, track);
    weapon_SeekerHead[0] = 1.5f;
    weapon_SeekerHead[1] = -2.25f;
    weapon_SeekerTrack[0] = 4.5f;
    weapon_SeekerTrack[1] = -6.0f;
    weapon_SeekerTrack[2] = 4.875f;
    ObjectRecord player{}, target{};
    target.position = FixWorldPos{2000000000u, 40960u, 7u};
    Client_PlayerObject = &player;
    dbg_DrawSeekerPage();
    const std::vector<PageLine> without = lines;
    lines.clear();
    player.target = &target;
    dbg_DrawSeekerPage();
    weapon_SeekerHead[0] = head[0];
    weapon_SeekerHead[1] = head[1];
    std::copy(track, track + 3, weapon_SeekerTrack);
    const std::vector<std::string> texts = {"SEEKER HEAD : YAW =   1.500 degs, PITCH = -  2.250 degs",
                                            "TARGET      : YAW =   4.500 degs, PITCH = -  6.000 degs",
                                            "DISTANCE    :   4.875 degs", ""};
    ExpectColumn(without, texts);
    std::vector<std::string> withTarget = texts;
    withTarget.push_back("TARGET COORD = (2000000000, 40960, 7)");
    ExpectColumn(lines, withTarget);
}

TEST_F(ReadoutPagesTest, TerrainCountAndLabelBufferAtTheirPixels) {
    const uint32_t stamp = terrain_Pass.frameStamp;
    terrain_Pass.frameStamp = 4321;
    dbg_DrawTerrainCount();
    terrain_Pass.frameStamp = stamp;
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, "4321");
    EXPECT_EQ(lines[0].x, 10);
    EXPECT_EQ(lines[0].y, 200);
    EXPECT_EQ(lines[0].colour, DBG_CYAN);
    lines.clear();
    // The hit-point labels leave the last one formatted in the buffer.
    ObjectRecord server[2]{};
    server[0].next = &server[1];
    server[0].hitPoints = 5;
    server[1].hitPoints = 3;
    server[1].hitPointsMax = 9;
    Server.objects = server;
    con_ToggleBlock[CON_HIT_POINT_LABELS] = 1;
    dbg_DrawBombDebug();
    con_ToggleBlock[CON_HIT_POINT_LABELS] = 0;
    dbg_DrawMessageAt();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, "HP=3/9");
    EXPECT_EQ(lines[0].x, 0);
    EXPECT_EQ(lines[0].y, 0);
    EXPECT_EQ(lines[0].colour, DBG_RED);
}

TEST_F(ReadoutPagesTest, TriggerWordPutsTheZoomKeysInListMode) {
    dbg_OverlaySelect[DBG_SELECT_TRIGGERS] = 0;
    hud_ListMode = 0;
    EXPECT_EQ(con_Execute("dev triggers"), 1);
    EXPECT_EQ(dbg_OverlaySelect[DBG_SELECT_TRIGGERS], 1);
    EXPECT_EQ(hud_ListMode, 1);
    EXPECT_EQ(con_Execute("DEV TRIGGERS"), 1);
    EXPECT_EQ(dbg_OverlaySelect[DBG_SELECT_TRIGGERS], 0);
    EXPECT_EQ(hud_ListMode, 0);
}

// The 3D markers on a 320 x 240 frame seen from a camera 50 m behind and
// 30 m above the aircraft, looking level along +z; the ground is at height
// 0 (no terrain loaded).
class MarkerTest : public PageTest {
protected:
    _PLANE plane{};
    ObjectRecord player{};
    int32_t savedNear = 0;
    ViewState savedView{};

    void SetUp() override {
        PageTest::SetUp();
        savedNear = ViewNearDistance;
        savedView = view_State;
        ViewNearDistance = 1 << 7;
        math_Mat33Identity(&plane.orientation);
        plane.velocity = MathVec3{0.0f, 0.0f, 0.25f};  // 10 m a look-ahead step
        plane_Current = &plane;
        Client_PlayerObject = &player;
    }
    void TearDown() override {
        plane_Current = nullptr;
        plane_PlayerFields(&player)->waypointCount = 0;
        ViewNearDistance = savedNear;
        view_State = savedView;
        PageTest::TearDown();
    }
    void Place(float height) {
        plane.position = MathVec3{1000.0f, height, 1000.0f};
        const MathVec3 eye{1000.0f, height + 30.0f, 950.0f};
        fix_FloatToWorld(&eye, &view_State.position);
        fix_SinCosAngles(0, 0, 0, &view_State.viewMatrix);
    }
    int32_t Count(int32_t slot) const {
        return (int32_t)std::count(pixels.begin(), pixels.end(), (uint8_t)(100 + slot));
    }
};

TEST_F(MarkerTest, ClearancePredictionMarksStepsBelowTheClearance) {
    struct Case {
        float height;
        bool waypoint;
        bool red, white;
    } cases[] = {
        {400.0f, false, true, false},  // every step clear: red diamonds only
        {20.0f, false, true, true},    // below the clearance: raised white diamonds
        {400.0f, true, true, true},    // the current waypoint's two white diamonds
    };
    for (const Case& c : cases) {
        Surface(320, 240);
        Place(c.height);
        PlanePlayerFields* f = plane_PlayerFields(&player);
        f->waypointCount = c.waypoint ? 1 : 0;
        f->waypointIndex = 0;
        const MathVec3 ahead{1000.0f, 0.0f, 1150.0f};
        FixWorldPos w;
        fix_FloatToWorld(&ahead, &w);
        level_WaypointList.entries[0] = LevelWaypoint{(int32_t)w.x, (int32_t)w.z};
        player.position = w;
        player.position.y = view_State.position.y - (30u << 12);
        dbg_DrawClearancePrediction();
        EXPECT_EQ(Count(DBG_RED) > 0, c.red) << c.height << " " << c.waypoint;
        EXPECT_EQ(Count(DBG_WHITE) > 0, c.white) << c.height << " " << c.waypoint;
        EXPECT_EQ(flight_Steer.terrainWarning, c.height < FLIGHT_CLEARANCE ? 1 : 0);
    }
}

TEST_F(MarkerTest, RingIsDrawnInFrontOfTheEyeOnly) {
    Place(100.0f);
    // Ahead and below the eye: the whole ring, left and right alike.
    const MathVec3 ahead{1000.0f, 100.0f, 1100.0f};
    dbg_DrawRing3D(&ahead, DBG_GREEN, 20.0f);
    int32_t left = 0, right = 0;
    for (int32_t y = 0; y < 240; y++)
        for (int32_t x = 0; x < 320; x++)
            if (pixels[(size_t)y * 320 + x] == 100 + DBG_GREEN) (x < 160 ? left : right)++;
    EXPECT_GT(left, 20);
    EXPECT_NEAR(left, right, 4);
    // Behind the eye: no point projects, nothing is drawn.
    Surface(320, 240);
    const MathVec3 behind{1000.0f, 100.0f, 850.0f};
    dbg_DrawRing3D(&behind, DBG_GREEN, 20.0f);
    EXPECT_EQ(Count(DBG_GREEN), 0);
}

}  // namespace

namespace {

// Stored images of the pages on the 320 x 240 surface over a fixed state. A
// change meant to alter a page prints its new hash.
TEST_F(MarkerTest, StoredImages) {
    const AppVersionRecord savedVersion = app_VersionRecord;
    app_VersionRecord = AppVersionRecord{1, 1, 0, 101, 1010014, 31299, 90502, 9, 5, 2, 3, 12, 1999, 1, 14};
    const FixAngles savedAngles = view_State.angles;
    player.rates = FixAngles{0x10000, -0x30000, 0};
    ObjectRecord target{};
    target.position = FixWorldPos{1u << 25, 4096u, 2u << 25};
    player.target = &target;
    const float head[2] = {weapon_SeekerHead[0], weapon_SeekerHead[1]};
    weapon_SeekerHead[0] = 2.0f;
    weapon_SeekerHead[1] = -1.0f;
    text_CopyZ(dbg_LabelBuffer, "HP=3/9", DBG_LABEL_SIZE);
    const uint32_t stamp = terrain_Pass.frameStamp;
    terrain_Pass.frameStamp = 77;
    CheckStoredImages(
        {
            {"version", dbg_DrawVersionPage, 0x67de03264068f049ull},
            {"chase", dbg_DrawChaseAngles, 0xafdcea1ccc07b68ull},
            {"seeker", dbg_DrawSeekerPage, 0x67b2914b107ec982ull},
            {"terraincount", dbg_DrawTerrainCount, 0xb578d250b71f8299ull},
            {"message", dbg_DrawMessageAt, 0x232b838f063cebdbull},
            {"clearance", dbg_DrawClearancePrediction, 0xe7a953afd1857a78ull},
            {"ring", [] { dbg_DrawRing3D(&plane_Current->position, DBG_GREEN, 20.0f); }, 0xaa93f3adad1b5fe5ull},
        },
        [this] {
            Place(20.0f);
            plane.position.z = 1100.0f;  // the ring ahead of the eye
            view_State.angles = FixAngles{0x40000, 0, 0};
        });
    app_VersionRecord = savedVersion;
    view_State.angles = savedAngles;
    weapon_SeekerHead[0] = head[0];
    weapon_SeekerHead[1] = head[1];
    terrain_Pass.frameStamp = stamp;
    dbg_LabelBuffer[0] = 0;
}

}  // namespace

namespace {

// The terrain page reads a set cell flag as water.
TEST_F(MarkerTest, TerrainPageNamesWaterAndLand) {
    static uint8_t heights[512 * 512];
    static uint8_t water[512 * 64];
    memset(heights, 0, sizeof heights);
    memset(water, 0, sizeof water);
    const DepthLevel saved = depth_Level;
    depth_Level.heightMap = heights;
    depth_Level.waterMap = water;
    // Cell (16, 40): world cells are 1 << 23 units, tiles 1 << 25.
    player.position = FixWorldPos{16u << 23, 0, 40u << 23};
    heights[40 * 512 + 16] = 3;
    view_State.position = player.position;
    dbg_DrawTerrainInfo();
    water[40 * 64 + 2] = 0x80;
    dbg_DrawTerrainInfo();
    depth_Level = saved;
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0].text, "TileX = 4, TileY = 10");
    EXPECT_EQ(lines[1].text, "Depth Height = 3      192 feet,  0.03 miles");
    EXPECT_EQ(lines[3].text, "LAND");
    EXPECT_EQ(lines[7].text, "WATER");
    EXPECT_EQ(lines[7].colour, DBG_RED);
    EXPECT_EQ(lines[3].x, 5);
    EXPECT_EQ(lines[3].y, 36);
}

// Stored images of the pages the other tests read as text only, over a
// fixed state.
TEST_F(MarkerTest, StoredImagesOfTheStatePages) {
    static uint8_t heights[512 * 512];
    static uint8_t water[512 * 64];
    const DepthLevel savedLevel = depth_Level;
    depth_Level.heightMap = heights;
    depth_Level.waterMap = water;
    const uint32_t ticks = app_TickCount.load();
    app_TickCount = 1234;
    const int32_t rate = render_FrameRate;
    render_FrameRate = 25 << 16;
    const char* locale = app_LocaleName;
    app_LocaleName = "English";
    ObjectRecord target{};
    player.target = &target;
    CheckStoredImages(
        {
            {"terrain", dbg_DrawTerrainInfo, 0x33ba9c0683e1908aull},
            {"framerate", dbg_DrawFrameRateLine, 0x631978efb5ac482dull},
            {"net", dbg_DrawNetStatistics, 0xa4b52d4f0a50468bull},
            {"timing",
             [] {
                 dbg_TimingPageShown = 1;
                 dbg_DrawTimingPage();
                 dbg_TimingPageShown = 0;
             },
             0x6e190d64dddb1b9bull},
            {"locale", dbg_DrawLocale, 0x221a94a59b923849ull},
            {"airdata", dbg_DrawAirDataPage, 0xa1ff27ef7e0b2327ull},
            {"targets", dbg_DrawTargetLists, 0xa4f5a7342511cbbull},
            {"voices", dbg_DrawVoiceTable, 0xe468cbb15fdb596dull},
        },
        [this] {
            Place(300.0f);
            plane.velocity = MathVec3{0.0f, 0.0f, 5.0f};
        });
    depth_Level = savedLevel;
    app_TickCount = ticks;
    render_FrameRate = rate;
    app_LocaleName = locale;
}

}  // namespace
