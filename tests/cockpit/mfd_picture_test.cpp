// The situation picture on an 8-bit test surface: the symbols, the
// projection's truncation, the object pass's gates and order, the route and
// the name tag.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/mem.h"
#include "cockpit/mfd.h"
#include "cockpit/vcp.h"
#include "display/draw_line.h"
#include "display/dsurf.h"
#include "display/font.h"
#include "display/pal.h"
#include "fixtures/heaps.h"
#include "mkdata.h"
#include "net/client.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "world/level.h"
#include "mfd_fixture.h"

namespace {

constexpr int32_t W = 160, H = 160, C = 80;
constexpr uint8_t kCockpit = 0xC0, kTagBox = 0xB1;
// The 8-bit index of a named colour slot.
constexpr uint8_t Ink(uint8_t slot) { return (uint8_t)(0x40 + slot); }

class MfdPicture : public MfdSurface<W> {
protected:
    ObjCategoryList savedLists[OBJ_CATEGORY_LISTS];
    ObjectRecord* savedLinks[2] = {};
    LevelWaypointList savedRoute{};
    int32_t savedSubMode = 0, savedStatics = 0;
    // Pixels per world unit step at the largest zoom: 2^32 / (256 x 100).
    static constexpr int32_t kPixel = 167773;

    void SetUp() override {
        MfdSurface::SetUp();
        memcpy(savedLists, obj_CategoryLists, sizeof savedLists);
        savedLinks[0] = Client.packetObjects;
        savedLinks[1] = Client.knownObjects;
        savedRoute = level_WaypointList;
        savedSubMode = mfd_SubMode;
        savedStatics = obj_ClientStaticCount;
        for (int32_t i = 0; i < DRAW_COLOUR_SLOTS; i++) draw_Context.slots[i].index = Ink((uint8_t)i);
        for (uint8_t& c : vcp_ColourTable) c = kCockpit;
        vcp_ColourTable[1] = kTagBox;
        for (ObjCategoryList& l : obj_CategoryLists) l.count = 0;
        Client.packetObjects = Client.knownObjects = nullptr;
        obj_ClientStaticCount = 0;
        level_WaypointList = {};
        avion_LinkFlag = 0;
        mfd_PictureReset();
        Scale(65536, MFD_ZOOM_MAX);
        vcp_DisplayCentre[0] = vcp_DisplayCentre[1] = C;
        own.flags = OBJ_FLAG_PLAYER;
        own.stateFlags = OBJ_STATE_AIRBORNE;
    }
    void TearDown() override {
        Client.packetObjects = savedLinks[0];
        Client.knownObjects = savedLinks[1];
        memcpy(obj_CategoryLists, savedLists, sizeof savedLists);
        level_WaypointList = savedRoute;
        mfd_SubMode = savedSubMode;
        obj_ClientStaticCount = savedStatics;
        avion_LinkFlag = 0;
        mfd_PictureReset();
        MfdSurface::TearDown();
    }
    static void Scale(int32_t s, int32_t zoom) {
        vcp_DisplayScale[0] = vcp_DisplayScale[1] = s;
        mfd_MapZoom = zoom;
        vcp_DisplayFactorUpdate();
    }
    // A position dx pixels right and dy pixels down the picture from own.
    FixWorldPos Place(int32_t dx, int32_t dy) const {
        // Half a pixel on, so that the rotation's rounding keeps the pixel.
        return {own.position.x + (uint32_t)(dx * kPixel + kPixel / 2), own.position.y,
                own.position.z - (uint32_t)(dy * kPixel + kPixel / 2)};
    }
    // Links the objects as the client's copies, in that order.
    static void Chain(std::initializer_list<ObjectRecord*> objects) {
        ObjectRecord* prev = nullptr;
        for (ObjectRecord* o : objects) {
            o->next = nullptr;
            if (prev) prev->next = o;
            else Client.packetObjects = o;
            prev = o;
        }
    }
    static void ListAdd(uint8_t bit, ObjectRecord* o) {
        for (ObjCategoryList& l : obj_CategoryLists)
            if (l.bit == bit) l.items[l.count++] = o;
    }
    uint8_t At(int32_t x, int32_t y) const { return pixels[(size_t)(y * W + x)]; }
    int32_t LitIn(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t value = -1) const {
        int32_t n = 0;
        for (int32_t y = std::max(0, y0); y <= std::min(H - 1, y1); y++)
            for (int32_t x = std::max(0, x0); x <= std::min(W - 1, x1); x++)
                if (value < 0 ? At(x, y) != 0 : At(x, y) == value) n++;
        return n;
    }
    // Lit pixels within r of the point dx, dy from the centre.
    int32_t LitNear(int32_t dx, int32_t dy, int32_t r = 3, int32_t value = -1) const {
        return LitIn(C + dx - r, C + dy - r, C + dx + r, C + dy + r, value);
    }
};

// Rows from the top of each symbol, columns -9..9 about the anchor.
struct SymbolImage {
    const DrawShapeCommand* shape;
    int32_t top;
    std::vector<std::string> rows;
};

TEST_F(MfdPicture, SymbolsMatchTheirImages) {
    const SymbolImage images[] = {
        {mfd_ShapeOwnship, -6, {".........#.........", ".........#.........", "........#.#........",
                                "........#.#........", "........#.#........", ".......#...#.......",
                                "......#.....#......", ".....#.......#.....", "....#####.#####....",
                                "........#.#........", ".......#...#.......", ".......#####......."}},
        {mfd_ShapeStar, -5, {".........#.........", ".........#.........", "........#.#........", "........#.#........",
                             "......##...##......", "....##.......##....", "......##...##......", "........#.#........",
                             "........#.#........", ".........#.........", ".........#........."}},
        {mfd_ShapeSquare, -4, {".....#########.....", ".....#.......#.....", ".....#.......#.....",
                               ".....#.......#.....", ".....#.......#.....", ".....#.......#.....",
                               ".....#.......#.....", ".....#.......#.....", ".....#########....."}},
        {mfd_ShapeTriangle, -5, {".........#.........", "........#.#........", "........#.#........",
                                 ".......#...#.......", ".......#...#.......", "......#.....#......",
                                 "......#.....#......", ".....#.......#.....", ".....#.......#.....",
                                 "....###########...."}},
        {mfd_ShapeCrossedBox, -5, {"....###########....", "....##.......##....", "....#.#.....#.#....",
                                   "....#..#...#..#....", "....#...#.#...#....", "....#....#....#....",
                                   "....#...#.#...#....", "....#..#...#..#....", "....#.#.....#.#....",
                                   "....##.......##....", "....###########...."}},
        {mfd_ShapeHeadingBar, -6, {".......#####.......", ".......#...#.......", ".......#...#.......",
                                   ".......#...#.......", ".......#...#.......", ".......#...#.......",
                                   ".......#...#.......", ".......#...#.......", ".......#...#.......",
                                   ".......#...#.......", ".......#...#.......", ".......#...#.......",
                                   ".......#####......."}},
        {mfd_ShapeInactive, -12, {".........#.........", ".........#.........", ".........#.........",
                                  ".........#.........", ".#################.", ".#...............#.",
                                  ".#...............#.", ".#...............#.", ".#...............#.",
                                  ".#...............#.", ".#...............#.", ".#...............#.",
                                  ".#...............#.", ".#...............#.", ".#...............#.",
                                  ".#...............#.", ".#...............#.", ".#...............#.",
                                  ".#...............#.", ".#...............#.", ".#################."}},
        {mfd_ShapeFixed, -8, {".#################.", ".#...............#.", ".#...............#.",
                              ".#...............#.", ".#...............#.", ".#...............#.",
                              ".#...............#.", ".#...............#.", ".#...............#.",
                              ".#...............#.", ".#...............#.", ".#...............#.",
                              ".#...............#.", ".#...............#.", ".#...............#.",
                              ".#...............#.", ".#################."}},
        {mfd_ShapeHostile, -12, {".........#.........", ".........#.........", ".........#.........",
                                 ".........#.........", ".........#.........", ".........#.........",
                                 "........#.#........", "........#.#........", ".......#...#.......",
                                 ".......#...#.......", "......#.....#......", "......#.....#......",
                                 ".....#.......#.....", ".....#.......#.....", "....#.........#....",
                                 "....#.........#....", "...#...........#...", "...#...........#...",
                                 "..#.............#..", "..#.............#..", ".#################."}},
        {mfd_ShapeFriendly, -12, {".........#.........", ".........#.........", ".........#.........",
                                  ".........#.........", ".........#........."}},
        {mfd_ShapeTactical, -6, {".........#.........", ".........#.........", ".........#.........",
                                 ".........#.........", ".........#.........", ".........#.........",
                                 ".........#.........", ".........#.........", ".........#.........",
                                 ".........#.........", ".....#########....."}},
    };
    Scale(65536, MFD_ZOOM_MIN);
    int32_t index = 0;
    for (const SymbolImage& image : images) {
        Clear();
        mfd_DrawShape(image.shape, C, C, MFD_DARK_GREEN);
        std::vector<std::string> rows;
        for (int32_t y = C - 13; y <= C + 13; y++) {
            std::string row;
            for (int32_t x = C - 9; x <= C + 9; x++) row += At(x, y) == Ink(MFD_DARK_GREEN) ? '#' : '.';
            if (row.find('#') != std::string::npos || !rows.empty()) rows.push_back(row);
        }
        while (!rows.empty() && rows.back().find('#') == std::string::npos) rows.pop_back();
        EXPECT_EQ(rows, image.rows) << "symbol " << index;
        EXPECT_EQ(LitIn(0, 0, W - 1, C + image.top - 1), 0) << "symbol " << index;
        index++;
    }
    // Doubled scale doubles the symbol; a quarter turn of symbol angle turns
    // the tick from up to the right (rotated by minus the angle).
    Clear();
    Scale(131072, MFD_ZOOM_MIN);
    mfd_DrawShape(mfd_ShapeFriendly, C, C, MFD_RED);
    EXPECT_EQ(LitIn(C, C - 24, C, C - 16, Ink(MFD_RED)), 9);
    Clear();
    Scale(65536, MFD_ZOOM_MIN);
    mfd_SymbolAngle = -0x800000;
    mfd_DrawShapeRotated(mfd_ShapeFriendly, C, C, MFD_RED);
    EXPECT_EQ(LitIn(C + 8, C, C + 12, C, Ink(MFD_RED)), 5);
}

TEST_F(MfdPicture, ProjectionTruncatesEveryStep) {
    // North-up, zoom 1.25, scale 1.0: map scale 320, so a pixel is
    // 2^32 / 320 = 13421772.8 world units.
    Scale(65536, MFD_ZOOM_MIN);
    EXPECT_EQ(vcp_DisplayFactor, 320);
    ObjectRecord missile{};
    missile.speed = 0x10000;
    // A point just short of a whole pixel stays on the pixel below; one and
    // a half pixels either way land one pixel out.
    for (const auto& [east, x] : {std::pair{13421772, C}, std::pair{20132659, C + 1}, std::pair{-20132659, C - 2}}) {
        Clear();
        missile.position = {own.position.x + (uint32_t)east, own.position.y, own.position.z};
        mfd_PlotMissile(&missile, &own);
        EXPECT_EQ(LitIn(0, 0, W - 1, H - 1), 1) << east;
        EXPECT_EQ(At(x, C), Ink(MFD_DARK_GREEN)) << east;
    }
}

TEST_F(MfdPicture, RadarOffKeepsOnlyRingsListMarkersAndRoute) {
    mfd_SubMode = 5;
    ObjectRecord aircraft{}, ground{}, missile{}, site{}, marker{}, bar{};
    aircraft.stateFlags = OBJ_STATE_AIRBORNE;
    aircraft.position = Place(0, -40);
    ground.flags = OBJ_FLAG_STATIC;
    ground.position = Place(-40, 0);
    missile.speed = 0x10000;
    missile.position = Place(40, 0);
    site.stateFlags = OBJ_STATE_GROUND_UNIT;
    site.category = OBJ_CATEGORY_01;
    site.hitPoints = 1;
    site.position = Place(0, 40);
    marker.position = Place(-40, -40);
    bar.position = Place(40, -40);
    Chain({&aircraft, &ground, &missile, &site});
    ListAdd(OBJ_CATEGORY_10, &marker);
    ListAdd(OBJ_CATEGORY_LANDING, &bar);
    const FixWorldPos w1 = Place(-60, 70), w2 = Place(-40, 70);
    level_WaypointList.count = 2;
    level_WaypointList.entries[0] = {(int32_t)w1.x, (int32_t)w1.z};
    level_WaypointList.entries[1] = {(int32_t)w2.x, (int32_t)w2.z};
    for (int32_t radarFailed = 0; radarFailed <= 1; radarFailed++) {
        Clear();
        plane_SystemsDamage[PLANE_SYS_RADAR] = radarFailed;
        mfd_PlotObjects(&own);
        mfd_DrawRoute(&own);
        const bool contacts = radarFailed == 0;
        EXPECT_EQ(LitNear(0, -40, 9) > 0, contacts) << radarFailed;
        EXPECT_EQ(LitNear(-40, 0, 9) > 0, contacts) << radarFailed;
        EXPECT_EQ(LitNear(40, 0, 2) > 0, contacts) << radarFailed;
        // The ring (3800 x 256 x 100 >> 16 = 1484 pixels: off the surface)
        // and the site's own small circle; the markers and the route.
        EXPECT_GT(LitNear(0, 40), 0) << radarFailed;
        EXPECT_GT(LitNear(-40, -40, 6), 0) << radarFailed;
        EXPECT_GT(LitNear(40, -40, 7), 0) << radarFailed;
        EXPECT_GT(LitNear(-50, 70, 1), 0) << radarFailed;
    }
}

TEST_F(MfdPicture, PictureFlagShowsAircraftTheRadarCannotSee) {
    ObjectRecord behind{};
    behind.stateFlags = OBJ_STATE_AIRBORNE;
    behind.position = Place(0, 40);  // south, outside the search cone
    Chain({&behind});
    mfd_PlotObjects(&own);
    EXPECT_EQ(LitNear(0, 40, 12), 0);
    // The flag also passes a failed radar.
    plane_SystemsDamage[PLANE_SYS_RADAR] = 1;
    avion_LinkFlag = 1;
    mfd_PlotObjects(&own);
    EXPECT_GT(LitNear(0, 40, 12), 0);
}

TEST_F(MfdPicture, SlowGroundVehiclesAndTheirTargetCircleAreNotDrawn) {
    mfd_SubMode = 2;
    mfd_ColourPicture = 1;
    ObjectRecord vehicle{};
    vehicle.stateFlags = OBJ_STATE_ROAD;
    vehicle.position = Place(0, -30);
    vehicle.velocity = {0, 0, 0x10000};
    own.target = &vehicle;
    for (const auto& [speed, shown] : {std::pair{0x1FF, false}, std::pair{0x200, true}}) {
        Clear();
        vehicle.speed = speed;
        mfd_PlotGroundObject(&vehicle, &own);
        EXPECT_EQ(LitNear(0, -30, 12, Ink(MFD_RED)) > 0, shown) << speed;
        EXPECT_EQ(LitIn(0, 0, W - 1, H - 1, Ink(MFD_WHITE)) > 0, shown) << speed;
    }
    // A fixed object is shown only in sub-modes 3 and 5, at any speed.
    vehicle.stateFlags = 0;
    vehicle.flags = OBJ_FLAG_STATIC;
    for (int32_t mode = 0; mode <= 5; mode++) {
        Clear();
        mfd_SubMode = mode;
        mfd_PlotGroundObject(&vehicle, &own);
        EXPECT_EQ(LitNear(0, -30, 9, Ink(MFD_RED)) > 0, mode == 3 || mode == 5) << mode;
    }
    own.target = nullptr;
}

TEST_F(MfdPicture, TheTargetIsDrawnAfterTheRestOfTheChain) {
    mfd_ColourPicture = 1;
    ObjectRecord target{}, wingman{};
    target.stateFlags = wingman.stateFlags = OBJ_STATE_AIRBORNE;
    target.position = wingman.position = Place(0, -30);
    wingman.flags = OBJ_FLAG_WINGMAN;
    own.target = &target;
    // The target comes first in the chain; the shared tick (0, -8)..(0, -12)
    // keeps the colour of the last one drawn.
    Chain({&target, &wingman});
    mfd_PlotObjects(&own);
    EXPECT_EQ(At(C, C - 30 - 11), Ink(MFD_RED));
    EXPECT_GT(LitIn(0, 0, W - 1, H - 1, Ink(MFD_GREEN)), 0);
    EXPECT_GT(LitIn(0, 0, W - 1, H - 1, Ink(MFD_WHITE)), 0);
    own.target = nullptr;
}

TEST_F(MfdPicture, RouteMarksFirstMiddleAndLastWaypoints) {
    Scale(65536, MFD_ZOOM_MAX);
    const FixWorldPos p[3] = {Place(-40, 0), Place(0, -40), Place(40, 0)};
    for (int32_t count = 1; count <= 3; count++) {
        Clear();
        level_WaypointList.count = count;
        for (int32_t i = 0; i < count; i++) level_WaypointList.entries[i] = {(int32_t)p[i].x, (int32_t)p[i].z};
        mfd_DrawRoute(&own);
        // The star's points at (±5, 0) and (0, ±5); its corners stay dark.
        EXPECT_GT(LitNear(-45, 0, 0), 0) << count;
        EXPECT_EQ(LitNear(-44, -4, 0), 0) << count;
        if (count == 3) {
            EXPECT_GT(LitNear(-4, -44, 0), 0);  // the square's corner
            EXPECT_GT(LitNear(44, 0, 0), 0);    // the circle of radius 4
            EXPECT_GT(LitNear(-20, -20, 1), 0);  // the leg from waypoint 1
        }
    }
    level_WaypointList.count = 0;
    Clear();
    mfd_DrawRoute(&own);
    EXPECT_EQ(LitIn(0, 0, W - 1, H - 1), 0);
}

// The picture turns with the display's rotation, whatever rotation the
// world passes left current: heading east, a waypoint and a contact east of
// the aircraft stand ahead (up), not behind.
TEST_F(MfdPicture, RouteAndContactsTurnWithTheDisplayRotation) {
    own.angles.heading = 0x800000;  // a quarter turn: east
    fix_SinCosAngles(own.angles.heading, 0, 0, &vcp_DisplayTrig);
    FixSinCosBlock other;
    fix_SinCosAngles(0x1800000, 0, 0, &other);
    fix_TrigToDouble(&other);
    const FixWorldPos east = Place(40, 0);
    level_WaypointList.count = 1;
    level_WaypointList.entries[0] = {(int32_t)east.x, (int32_t)east.z};
    mfd_DrawRoute(&own);
    EXPECT_GT(LitNear(0, -40, 1), 0);
    EXPECT_EQ(LitNear(0, 40, 6), 0);
    Clear();
    fix_TrigToDouble(&other);
    ObjectRecord ahead{};
    ahead.stateFlags = OBJ_STATE_AIRBORNE;
    ahead.position = east;
    Chain({&ahead});
    mfd_PlotObjects(&own);
    EXPECT_GT(LitNear(0, -40, 12), 0);
    EXPECT_EQ(LitNear(0, 40, 12), 0);
}

TEST_F(MfdPicture, NameTagBoxIsTwoPixelsWiderThanTheText) {
    // The data set's small font, scanned in place.
    ASSERT_EQ(test_HeapsFresh(0x100000, 0x10000, 0x10000), 0);
    // The colour matcher's tables lived in the old heap.
    pal_ClearCurrent();
    pal_ResetPalrefs();
    BitmapFont font{};
    std::vector<uint8_t> image = mkdata_FontImage(8, false, &font.width, &font.height);
    font.image = image.data();
    ASSERT_EQ(font_ScanGrid(&font), 0);
    BitmapFont* savedFont = level_Fonts[0];
    level_Fonts[0] = &font;
    ObjectRecord o{};
    obj_DisplayName(&o, mfd_LineBuffer[1], sizeof mfd_LineBuffer[1]);
    const std::string name = mfd_LineBuffer[1];
    mfd_PointX = 20;
    mfd_PointY = 40;
    mfd_DrawNameTag(&o);
    const std::string tagged = std::string("~0") + name;
    EXPECT_STREQ(mfd_LineBuffer[0], tagged.c_str());
    const int32_t w = font_StringWidth(name.c_str(), &font);
    EXPECT_EQ(font_StringWidth(mfd_LineBuffer[0], &font), w);
    // The box row under the text: 7 pixels below the point, w + 2 wide.
    const int32_t row = 40 + 7 + 11;
    EXPECT_EQ(LitIn(0, row, W - 1, row, kTagBox), w + 2);
    EXPECT_EQ(At(20, row), kTagBox);
    EXPECT_EQ(LitIn(0, 0, W - 1, 40 + 6, kTagBox), 0);
    EXPECT_EQ(LitIn(0, row + 1, W - 1, H - 1, kTagBox), 0);
    level_Fonts[0] = savedFont;
    mem_Free(font.entries);
}

}  // namespace
