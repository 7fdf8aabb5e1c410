// The threat warning instrument on a 128 x 128 8-bit image and the failure
// bar: marker places, the aimed test, which objects get a marker at all.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "cockpit/mfd_threat.h"
#include "mfd_fixture.h"

namespace {

// World units of a pixel at the instrument's zoom with S = 1.0 (K = 640),
// rounded up so that whole pixels survive the truncations.
constexpr uint32_t PixelsToWorld(int32_t px) { return (uint32_t)((int64_t)px * 6710887); }

struct Fixture : MfdSurface<128> {
    std::vector<ObjectRecord> others;
    void SetUp() override {
        MfdSurface::SetUp();
        Client.knownObjects = nullptr;
        Client.packetObjects = nullptr;
        others.reserve(8);
    }
    void TearDown() override {
        Client.knownObjects = nullptr;
        MfdSurface::TearDown();
    }
    // A hostile aircraft dx, dz pixels from the player (x right, z up on the
    // instrument), heading toward the player so it counts as aimed.
    ObjectRecord* Hostile(int32_t dx, int32_t dz, bool aimed = true) {
        others.emplace_back();
        ObjectRecord* o = &others.back();
        o->aiClass = 1;
        o->stateFlags = OBJ_STATE_AIRBORNE;
        o->hitPoints = 10;
        o->position = {own.position.x + PixelsToWorld(dx), own.position.y, own.position.z + PixelsToWorld(dz)};
        const int32_t toPlayer = obj_Bearing(&o->position, &own.position);
        o->angles.heading = (int32_t)(((uint32_t)toPlayer + (aimed ? 0u : 0x800000u)) & 0x1FFFFFFu);
        o->next = Client.knownObjects;
        Client.knownObjects = o;
        return o;
    }
    int32_t Lit() const { return (int32_t)std::count(pixels.begin(), pixels.end(), kMfdGreen); }
    bool LitAt(int32_t x, int32_t y) const { return pixels[(size_t)(y * 128 + x)] == kMfdGreen; }
};

TEST(ThreatPlaces, OctantsByHalfSideAndBoundary) {
    const struct {
        int32_t px, py, x, y;
    } cases[] = {
        // Upper left: dx < dy picks the lower place.
        {10, 40, 29, 47}, {40, 10, 49, 26}, {10, 10, 49, 26}, {63, 63, 49, 26},
        // Upper right: dx < |dy|.
        {64, 10, 80, 26}, {120, 40, 100, 47}, {88, 40, 100, 47}, {87, 40, 80, 26},
        // Lower left: |dx| < dy.
        {40, 120, 50, 100}, {10, 64, 29, 79}, {40, 88, 29, 79}, {41, 88, 50, 100},
        // Lower right: dx < dy.
        {70, 120, 82, 100}, {64, 64, 103, 79}, {120, 70, 103, 79},
    };
    for (const auto& c : cases) {
        int32_t x = 0, y = 0;
        avion_ThreatOctant(c.px, c.py, &x, &y);
        EXPECT_EQ(x, c.x) << c.px << "," << c.py;
        EXPECT_EQ(y, c.y) << c.px << "," << c.py;
    }
    const struct {
        int32_t px, py, x, y;
    } quads[] = {{63, 63, 51, 49}, {64, 63, 78, 49}, {63, 64, 51, 75}, {64, 64, 78, 75}};
    for (const auto& c : quads) {
        int32_t x = 0, y = 0;
        avion_ThreatQuadrant(c.px, c.py, &x, &y);
        EXPECT_EQ(x, c.x);
        EXPECT_EQ(y, c.y);
    }
}

TEST_F(Fixture, AimedTestsBearingAcrossZeroAndElevation) {
    // Straight north of the player, heading south at it: aimed.
    ObjectRecord* o = Hostile(0, 20);
    EXPECT_TRUE(avion_ThreatAimedAtPlayer(o, &own));
    // South of the player, heading a little east of north: its bearing to
    // the player lies just below a full turn, its heading just above zero.
    o->position.z = own.position.z - PixelsToWorld(20);
    o->position.x = own.position.x + PixelsToWorld(1);
    o->angles.heading = 0x40000;
    EXPECT_GT((uint32_t)obj_Bearing(&o->position, &own.position) & 0x1FFFFFFu, 0x1F00000u);
    EXPECT_TRUE(avion_ThreatAimedAtPlayer(o, &own));
    // Turned 45 degrees away: not aimed.
    o->angles.heading = 0x400000;
    EXPECT_FALSE(avion_ThreatAimedAtPlayer(o, &own));
    // Level with the player, a level pitch is aimed; pitched steeply, not.
    o->angles.heading = 0x40000;
    o->angles.pitch = 0x400000;
    EXPECT_FALSE(avion_ThreatAimedAtPlayer(o, &own));
    o->angles.pitch = (int32_t)(0x2000000u - 0x100000u);
    EXPECT_TRUE(avion_ThreatAimedAtPlayer(o, &own));
}

TEST_F(Fixture, MarkersGoToTheirOctantNeverTheTargetOrGroundOnly) {
    // Up and left of the centre, aimed: the aimed marker at (49, 26), whose
    // first line runs from (54, 31) to (64, 41).
    ObjectRecord* a = Hostile(-20, 30);
    const int32_t zoom = mfd_MapZoom, factor = vcp_DisplayFactor;
    avion_ThreatDisplayDraw();
    EXPECT_EQ(mfd_MapZoom, zoom);
    EXPECT_EQ(vcp_DisplayFactor, factor);
    EXPECT_TRUE(LitAt(59, 36));
    const int32_t one = Lit();
    EXPECT_GT(one, 0);
    // A second threat in the same octant lands on the same place.
    Hostile(-25, 35);
    Clear();
    avion_ThreatDisplayDraw();
    EXPECT_EQ(Lit(), one);
    // The selected target gets no marker, whatever it is.
    Client.knownObjects = a;
    a->next = nullptr;
    own.target = a;
    Clear();
    avion_ThreatDisplayDraw();
    EXPECT_EQ(Lit(), 0);
    own.target = nullptr;
    // A hostile aircraft flying away shows nothing.
    Client.knownObjects = nullptr;
    Hostile(-20, 30, false);
    Clear();
    avion_ThreatDisplayDraw();
    EXPECT_EQ(Lit(), 0);
    // A ground object alone is not visited: the class mask lacks its bit.
    Client.knownObjects = nullptr;
    ObjectRecord* g = Hostile(-20, 30);
    g->aiClass = 2;
    g->stateFlags = 0;
    Clear();
    avion_ThreatDisplayDraw();
    EXPECT_EQ(Lit(), 0);
    // Far outside the instrument: nothing at all.
    Client.knownObjects = nullptr;
    Hostile(-400, 300);
    Clear();
    avion_ThreatDisplayDraw();
    EXPECT_EQ(Lit(), 0);
}

TEST_F(Fixture, FailedDisplayShowsOnlyTheBar) {
    Hostile(-20, 30);
    plane_SystemsDamage[AVION_DISPLAY_SYSTEM] = 1;
    mfd_FailureBarRow = 20;
    avion_ThreatDisplayDraw();
    EXPECT_EQ(mfd_FailureBarRow, 24);
    EXPECT_FALSE(LitAt(59, 36));
    for (int32_t x : {10, 64, 127}) {
        EXPECT_TRUE(LitAt(x, 24));
        EXPECT_EQ(pixels[(size_t)(25 * 128 + x)], kMfdDark);
        EXPECT_TRUE(LitAt(x, 26));
    }
    EXPECT_FALSE(LitAt(9, 24));
    EXPECT_EQ(Lit(), 2 * 118);
}

TEST(FailureBar, MovesFourRowsAndWrapsWithin21To470) {
    const struct {
        int32_t row, extra, next;
    } cases[] = {{0, 0, 4}, {466, 0, 470}, {467, 0, 21}, {468, 0, 22}, {0, 10, 14}};
    std::vector<uint8_t> pixels(64 * 64, 0);
    _DRAW_SURFACE saved = draw_CurrentSurface, s{};
    draw_InitSurfaceDesc(&s, pixels.data(), 64, 64, 1);
    draw_SelectSurface(&s);
    mfd_EnlargedFlag = 0;
    for (const auto& c : cases) {
        mfd_FailureBarRow = c.row;
        mfd_DrawFailureBar(c.extra);
        EXPECT_EQ(mfd_FailureBarRow, c.next) << c.row;
    }
    mfd_FailureBarRow = 0;
    for (int32_t i = 0; i < 1000; i++) {
        mfd_DrawFailureBar(0);
        if (i > 120) {
            EXPECT_GE(mfd_FailureBarRow, 21);
            EXPECT_LE(mfd_FailureBarRow, 470);
        }
    }
    draw_SelectSurface(&saved);
}

}  // namespace
