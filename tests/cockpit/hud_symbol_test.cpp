// The HUD's moving symbols: the velocity marker held to the field, the
// pitch ladder's rungs and labels, the smoothed gun lead sight, the missile
// symbols that need a store, the approach test, and the target information
// leaving the player object alone.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "base/filetable.h"
#include "cockpit/avion.h"
#include "debug/console.h"
#include "display/rast.h"
#include "display/stroke.h"
#include "hud_fixture.h"
#include "sim/plane_fields.h"

namespace {

constexpr int32_t kCentre = 128 * 128;
constexpr int32_t kDegree = 0x2000000 / 360;

class HudSymbolTest : public HudTest {
protected:
    FixSinCosBlock savedMatrix{};
    FixWorldPos savedEye{};
    int32_t savedGunElevation = 0;
    ObjCategoryList* landing = nullptr;
    int32_t savedLandingCount = 0;

    void SetUp() override {
        HudTest::SetUp();
        draw_CurrentSurface.xScale = 250;  // the HUD's focal length
        draw_CurrentSurface.centreXF = draw_CurrentSurface.centreYF = kCentre;
        HudTextSize[0] = HudTextSize[1] = 6 * 256;
        font_SetStrokeRotation(0, HudTextSize[0], HudTextSize[1], 0);
        hud_ClipWindowSet(0);
        const int32_t h = 90 * 128;
        HudFieldLeft = kCentre - h;
        HudFieldRight = kCentre + h;
        HudFieldTop = kCentre - h;
        HudFieldBottom = kCentre + h;
        HudVelocityMarker = {kCentre, kCentre};
        savedMatrix = view_State.viewMatrix;
        savedEye = view_State.position;
        fix_SinCosAngles(0, 0, 0, &view_State.viewMatrix);
        player.position = {0x40000000u, 0x1000000u, 0x40000000u};
        view_State.position = player.position;
        plane_AttitudeChange = {0, 0, 0};
        savedGunElevation = plane_CurrentDescriptor.gunParameters[3];
        plane_CurrentDescriptor.gunParameters[3] = 0;
        for (ObjCategoryList& l : obj_CategoryLists)
            if (l.bit == OBJ_CATEGORY_LANDING) landing = &l;
        savedLandingCount = landing->count;
        landing->count = 0;
        weapon_LockState = 0;
        hud_InfoShown = hud_InfoAirShown = 1;
    }
    void TearDown() override {
        view_State.viewMatrix = savedMatrix;
        view_State.position = savedEye;
        plane_CurrentDescriptor.gunParameters[3] = savedGunElevation;
        landing->count = savedLandingCount;
        con_UnlimitedStores = 0;
        weapon_CurrentId = -1;
        weapon_Current = _WEAPON_TYPE{};
        weapon_Current.index = -1;
        weapon_LockState = 0;
        hud_InfoShown = hud_InfoAirShown = 1;
        HudGunPipper = {0, 0};
        HudTest::TearDown();
    }
    bool LitNear(int32_t x, int32_t y, int32_t r = 1) const {
        for (int32_t dy = -r; dy <= r; dy++)
            for (int32_t dx = -r; dx <= r; dx++)
                if (x + dx >= 0 && x + dx < 256 && y + dy >= 0 && y + dy < 256 && Lit(x + dx, y + dy)) return true;
        return false;
    }
    int32_t LitIn(int32_t x1, int32_t y1, int32_t x2, int32_t y2) const {
        int32_t n = 0;
        for (int32_t y = y1; y <= y2; y++)
            for (int32_t x = x1; x <= x2; x++) n += Lit(x, y);
        return n;
    }
};

TEST_F(HudSymbolTest, VelocityMarkerIsHeldToTheFieldWithTheClampCross) {
    struct Case {
        FixVec3 motion;
        int32_t x, y, clamped;
    } cases[] = {
        {{0, 0, 50000}, kCentre, kCentre, 0},
        {{2000, -1000, 50000}, kCentre + 2000 * 250 * 128 / 50000, kCentre + 1000 * 250 * 128 / 50000, 0},
        {{50000, 0, 50000}, kCentre + 90 * 128, kCentre, 1},          // 45 degrees right
        {{0, 50000, 50000}, kCentre, kCentre - 90 * 128, 1},          // 45 degrees up
        {{-10, -10, -50000}, kCentre - 90 * 128, kCentre + 90 * 128, 1},  // behind: off to its side
    };
    for (const Case& c : cases) {
        Clear();
        player.motion = c.motion;
        hud_VelocityGroup();
        EXPECT_NEAR(HudVelocityMarker.x, c.x, 2) << c.motion.x << " " << c.motion.y;
        EXPECT_NEAR(HudVelocityMarker.y, c.y, 2) << c.motion.x << " " << c.motion.y;
        EXPECT_EQ(HudVelocityClamped, c.clamped);
        // The cross's arms run through the diagonals of the marker.
        const int32_t mx = HudVelocityMarker.x >> 7, my = HudVelocityMarker.y >> 7;
        EXPECT_EQ(LitNear(mx + 12, my + 12) && LitNear(mx - 12, my - 12), c.clamped == 1) << c.motion.x;
        // The marker's circle and its three strokes are there in any case.
        EXPECT_TRUE(LitNear(mx, my - 6) && LitNear(mx - 6, my) && LitNear(mx + 6, my));
        EXPECT_FALSE(LitNear(mx, my + 6, 0));
    }
}

TEST_F(HudSymbolTest, LadderRungsFoldTheirLabelsAndMarkTheHorizon) {
    const FixScreenPoint left = {98 * 128, 128 * 128}, right = {158 * 128, 128 * 128};
    auto draw = [&](int32_t degrees) {
        Clear();
        hud_LadderRung(degrees * kDegree + (degrees > 0 ? 1 : 0), left, right);
        return pixels;
    };
    struct Case {
        int32_t degrees;
        bool label, solid;
        int32_t tick;  // direction of the end ticks, 0 none
    } cases[] = {{0, false, true, 0}, {10, true, true, 1}, {-10, true, false, -1}, {100, true, true, 1},
                 {-170, true, false, -1}, {180, false, true, 0}};
    for (const Case& c : cases) {
        draw(c.degrees);
        // The labels stand 8 units beyond the ends.
        EXPECT_EQ(LitIn(162, 120, 175, 126) > 0, c.label) << c.degrees;
        EXPECT_EQ(LitIn(81, 120, 94, 126) > 0, c.label) << c.degrees;
        // Half-rungs run 24 units inwards: solid above the horizon, dashed below.
        const int32_t run = LitIn(99, 128, 121, 128);
        EXPECT_EQ(run == 23, c.solid) << c.degrees << " " << run;
        EXPECT_GT(run, 0);
        EXPECT_EQ(Lit(98, 130), c.tick > 0) << c.degrees;
        EXPECT_EQ(Lit(98, 126), c.tick < 0) << c.degrees;
        // The horizon's strokes are centred on the ends.
        EXPECT_EQ(Lit(80, 128) && Lit(176, 128), c.tick == 0) << c.degrees;
    }
    // Past the vertical the numbers run back: 100 degrees reads as 80.
    const std::vector<uint8_t> eighty = draw(80);
    EXPECT_EQ(draw(100), eighty);
    EXPECT_NE(draw(70), eighty);
}

TEST_F(HudSymbolTest, LadderFollowsThePitchFromTheMarker) {
    struct Case {
        int32_t pitch, horizonY;
    } cases[] = {{0, 128}, {5, 150}, {-5, 106}};
    for (const Case& c : cases) {
        Clear();
        player.angles.pitch = c.pitch * kDegree;
        hud_PitchLadder();
        // The horizon's stroke centred on the left end, 29.8 pixels out.
        EXPECT_TRUE(LitNear(80, c.horizonY)) << c.pitch;
        EXPECT_TRUE(LitNear(176, c.horizonY)) << c.pitch;
        // The rung 10 degrees up, with its labels, one step higher.
        const int32_t up = c.horizonY - 44;
        EXPECT_TRUE(LitNear(110, up)) << c.pitch;
        EXPECT_GT(LitIn(158, up - 8, 178, up + 4), 0) << c.pitch;
    }
    // The ladder moves with the marker.
    Clear();
    player.angles.pitch = 0;
    HudVelocityMarker = {kCentre + 20 * 128, kCentre + 10 * 128};
    hud_PitchLadder();
    EXPECT_TRUE(LitNear(100, 138) && LitNear(196, 138));
    EXPECT_FALSE(LitNear(80, 128, 0));
}

TEST_F(HudSymbolTest, LeadSightClosesAQuarterOfTheGapEachFrame) {
    plane_AttitudeChange.heading = 0x2000;  // turning right
    weapon_CurrentId = 0;
    auto settle = [&](int32_t frames) {
        for (int32_t i = 0; i < frames; i++) hud_GunLeadSight();
        return HudGunPipper;
    };
    // Without a target the sight rests at the 190.0 range.
    const FixScreenPoint far = settle(60);
    EXPECT_NE(far.x, kCentre);
    ObjectRecord target{};
    target.position = {player.position.x, player.position.y, player.position.z + (100u << 16)};
    player.target = &target;
    const FixScreenPoint first = settle(1);
    const FixScreenPoint near = settle(60);
    player.target = nullptr;
    // Less lead at the shorter range; the first frame took a quarter of it.
    EXPECT_LT(std::abs(near.x - kCentre), std::abs(far.x - kCentre));
    EXPECT_NEAR(first.x - far.x, (near.x - far.x) / 4, 4);
    EXPECT_NEAR(first.y - far.y, (near.y - far.y) / 4, 4);
    // The sight's ring is drawn round the pipper.
    EXPECT_TRUE(LitNear(near.x >> 7, (near.y >> 7) - 6));
}

TEST_F(HudSymbolTest, MissileSymbolsNeedAStoreOrTheUnlimitedSwitch) {
    struct Case {
        int32_t weapon, unlimited;
        bool armed, drawn;
        int32_t radius;  // of the circle about the centre
    } cases[] = {{2, 0, true, false, 55}, {2, 1, true, true, 55}, {17, 1, true, true, 55},
                 {1, 0, true, false, 20}, {1, 1, true, true, 20}, {2, 1, false, false, 55}};
    for (const Case& c : cases) {
        Clear();
        weapon_CurrentId = c.weapon;
        weapon_Current = weapon_Types[c.weapon];
        con_UnlimitedStores = c.unlimited;
        jet->head.flags = c.armed ? (uint32_t)PLANE_ARMED : 0u;
        hud_SymbolSequencer();
        EXPECT_EQ(LitNear(128, 128 - c.radius), c.drawn) << c.weapon << " " << c.unlimited;
        EXPECT_EQ(LitNear(128 - c.radius, 128), c.drawn) << c.weapon << " " << c.unlimited;
    }
}

TEST_F(HudSymbolTest, ApproachTestChoosesAnAlignedFriendlyRunway) {
    ObjectRecord runway{};
    landing->items[0] = &runway;
    landing->count = 1;
    struct Case {
        bool armed;
        int32_t headingDegrees;
        uint8_t alliance, stateFlags, info;
        uint32_t ahead;  // world units
        bool chosen, wrongEnd;
    } cases[] = {
        {false, 0, 0x08, 0, 1, 0x4000000, true, false},
        {false, 44, 0x08, 0, 1, 0x4000000, true, false},
        {true, 0, 0x08, 0, 1, 0x4000000, false, false},     // armed: no approach
        {false, 0, 0x04, 0, 1, 0x4000000, false, false},    // not the landing side
        {false, 0, 0x08, OBJ_STATE_WAITING, 1, 0x4000000, false, false},
        {false, 0, 0x08, 0, 1, 149422080u + 65536u, false, false},  // too far
        {false, 60, 0x08, 0, 1, 0x4000000, false, false},
        {false, 180, 0x08, 0, 0, 0x4000000, false, true},   // from the far end
        {false, 140, 0x08, 0, 0, 0x4000000, false, true},
        {false, 180, 0x08, 0, 1, 0x4000000, false, false},  // the information byte set
    };
    for (const Case& c : cases) {
        Clear();
        jet->head.flags = c.armed ? (uint32_t)PLANE_ARMED : 0u;
        runway.flags = c.alliance;
        runway.angles.heading = c.headingDegrees * kDegree;
        runway.position = {player.position.x, player.position.y, player.position.z + c.ahead};
        player.stateFlags = c.stateFlags;
        hud_InfoShown = c.info;
        HudApproachShown = 0;
        hud_SymbolSequencer();
        EXPECT_EQ(HudApproachRunway == &runway, c.chosen) << c.headingDegrees << " " << c.armed;
        EXPECT_EQ(HudApproachShown == 1, c.chosen) << c.headingDegrees;
        EXPECT_EQ(HudWrongEndCue == 1, c.wrongEnd) << c.headingDegrees;
        if (c.chosen) {
            // Lined up on the runway: the course bar and the glide-path bar
            // stand near the marker.
            EXPECT_GT(LitIn(100, 90, 156, 166), 0);
        }
    }
    player.stateFlags = 0;
}

TEST_F(HudSymbolTest, TargetSymbolsLeaveThePlayerObjectAlone) {
    ObjectRecord target{};
    target.known = 1;
    target.position = {player.position.x + 0x100000u, player.position.y, player.position.z + 0x4000000u};
    target.velocity = {0, 0, -0x8000};
    player.target = &target;
    player.velocity = {0x1234, -0x5678, 0x9ABC};
    player.motion = {0x20000, 0x1000, 0x300000};
    const ObjectRecord before = player;
    weapon_CurrentId = 2;
    weapon_Current = weapon_Types[2];
    weapon_LockState = 2;
    hud_TargetInfo();
    hud_ContactBoxes();
    EXPECT_EQ(memcmp(&player.velocity, &before.velocity, sizeof player.velocity), 0);
    EXPECT_EQ(memcmp(&player.motion, &before.motion, sizeof player.motion), 0);
    // In view: the locked target's diamond round its box, nothing left out.
    EXPECT_EQ(HudTargetOffscreen, 0);
    EXPECT_GT(LitCount(), 0);
    // Behind the aircraft the box is left out and the arrow is wanted.
    target.position.z = player.position.z - 0x4000000u;
    hud_ContactBoxes();
    EXPECT_EQ(HudTargetOffscreen, 1);
    player.target = nullptr;
}

TEST_F(HudSymbolTest, WrongEndTextNeedsTheSpeedLimitAndNoWarning) {
    // The game data texts: only item 423.
    std::vector<FileTableEntry> entries(430, FileTableEntry{"", 0, 0, 0});
    entries[423].text = "WRONG END";
    FileTable table{};
    table.count = (uint32_t)entries.size();
    table.entries = entries.data();
    void* const savedData = level_GameData;
    level_GameData = &table;
    ObjectRecord runway{};
    runway.flags = OBJ_FLAG_ALLIANCE_B;
    runway.angles.heading = 180 * kDegree;
    runway.position = {player.position.x, player.position.y, player.position.z + 0x4000000u};
    landing->items[0] = &runway;
    landing->count = 1;
    hud_InfoShown = 0;
    struct Case {
        float knots;
        int32_t lights;
        bool shown;
    } cases[] = {{300.0f, 0, true}, {790.0f, 0, true}, {791.0f, 0, false}, {300.0f, 4, false}};
    for (const Case& c : cases) {
        Clear();
        jet->state.knots = c.knots;
        avion_WarningLights = c.lights;
        hud_SymbolSequencer();
        EXPECT_EQ(HudWrongEndCue, 1);
        // The text is centred on the HUD.
        EXPECT_EQ(LitIn(100, 120, 156, 136) > 0, c.shown) << c.knots << " " << c.lights;
    }
    avion_WarningLights = 0;
    level_GameData = savedData;
}

TEST_F(HudSymbolTest, NumberFormatsTakeOnlyOneNumericConversion) {
    struct Case {
        const char* format;
        const char* text;
    } cases[] = {{"RNG %d", "RNG 12"}, {"%3d NM", " 12 NM"}, {"RNG", "RNG 12"}, {"RNG %s", "RNG %s 12"},
                 {"%d %d", "%d %d 12"}, {"%x", "%x 12"}, {"50%% %d", "50% 12"}};
    char out[HUD_SCRATCH_SIZE];
    for (const Case& c : cases) {
        hud_InsertNumber(c.format, 12, out, sizeof out);
        EXPECT_STREQ(out, c.text) << c.format;
    }
}

TEST_F(HudSymbolTest, SteeringCueFollowsTheSteerpointBearing) {
    PlanePlayerFields* f = plane_PlayerFields(&player);
    const PlanePlayerFields savedFields = *f;
    const LevelWaypointList savedRoute = level_WaypointList;
    f->waypointCount = 1;
    f->waypointIndex = 0;
    level_WaypointList.entries[0] = {(int32_t)(player.position.x + 0x1000000u), (int32_t)player.position.z};
    const FixWorldPos point = {player.position.x + 0x1000000u, player.position.y, player.position.z};
    const int32_t bearing = obj_Bearing(&player.position, &point);
    struct Case {
        int32_t offDegrees;  // steerpoint bearing minus heading
        uint32_t aircraftFlags;
        int32_t dx;          // pixels from the marker
    } cases[] = {{0, 0, 0}, {45, 0, 16}, {-45, 0, -16}, {120, 0, 32}, {-170, 0, -32}, {45, PLANE_ON_GROUND, 0}};
    for (const Case& c : cases) {
        Clear();
        player.angles.heading = (int32_t)(((uint32_t)bearing - (uint32_t)(c.offDegrees * kDegree)) & FIX_ANGLE_MASK);
        jet->head.flags = c.aircraftFlags;
        hud_SteeringCue();
        EXPECT_TRUE(LitNear(128 + c.dx, 127)) << c.offDegrees;
        EXPECT_FALSE(LitNear(128 - c.dx, 124, 0) && c.dx != 0) << c.offDegrees;
    }
    *f = savedFields;
    level_WaypointList = savedRoute;
}

TEST_F(HudSymbolTest, TargetArrowPointsToTheTargetLeftOut) {
    const int32_t savedMode = poly_PixelMode;
    poly_SetPixelMode(POLY_MODE_8);
    ObjectRecord target{};
    player.target = &target;
    struct Case {
        int32_t dx, dy;   // the target's offset (behind the aircraft)
        int32_t x, y;     // the arrow's tip: 110 units at 0.8 pixels each
        bool offscreen;
    } cases[] = {{0x100000, 0, 128 + 88, 128, true},
                 {-0x100000, 0, 128 - 88, 128, true},
                 {0, 0x100000, 128, 128 - 88, true},
                 {0x100000, 0, 0, 0, false}};
    for (const Case& c : cases) {
        Clear();
        target.position = {player.position.x + (uint32_t)c.dx, player.position.y + (uint32_t)c.dy,
                           player.position.z - 0x10000u};
        HudTargetOffscreen = c.offscreen ? 1 : 0;
        hud_TargetArrow();
        if (!c.offscreen) {
            EXPECT_EQ(LitCount(), 0);
            continue;
        }
        EXPECT_TRUE(LitNear(c.x - (c.x - 128) / 20, c.y - (c.y - 128) / 20, 2)) << c.dx << " " << c.dy;
        EXPECT_GT(LitCount(), 10);
        EXPECT_FALSE(LitNear(256 - c.x, 256 - c.y, 4)) << c.dx << " " << c.dy;
    }
    player.target = nullptr;
    HudTargetOffscreen = 0;
    poly_SetPixelMode(savedMode);
}

}  // namespace
