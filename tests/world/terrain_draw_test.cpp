// The terrain pass: patch selection, the patch geometry, triangle
// classification, the light words and the item buffer's batches, with a
// recording triangle drawing and recording object draw routines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <set>
#include <tuple>
#include <vector>

#include "display/dsurf.h"
#include "display/hw3d.h"
#include "render/render.h"
#include "render/view.h"
#include "sim/obj.h"
#include "terrain_write.h"
#include "world/level.h"
#include "world/terrain.h"
#include "world/terrain_draw.h"

namespace {

std::vector<const PatchTriangle*> g_drawnTriangles;
// Each drawn triangle as its patch's first world corner and its place.
std::vector<std::tuple<int32_t, int32_t, const PatchTriangle*>> g_drawnPlaces;
std::vector<const ObjectRecord*> g_drawnObjects;
std::vector<int32_t> g_drawnKeys;

void RecordObject(ObjectRecord* o) { g_drawnObjects.push_back(o); }

}  // namespace

// Replaces the renderer's triangle drawing in this program: records what it
// is asked to draw.
void render_TriangleDraw(int32_t) {
    const PatchTriangle* t = render_CurrentPolygon;
    g_drawnTriangles.push_back(t);
    const PatchVertex* first = &terrain_PatchVertices[t->slot][0];
    g_drawnPlaces.emplace_back(first->worldX, first->worldZ, t);
    g_drawnKeys.push_back(std::max({t->vertex[0]->viewZ, t->vertex[1]->viewZ, t->vertex[2]->viewZ}));
}

namespace {

// A small terrain in memory: flat at height 2 unless a test shapes it, one
// tile whose attribute bytes are 100 + their index.
struct TerrainSetup {
    std::vector<uint8_t> height = std::vector<uint8_t>(512 * 512, 2);
    std::vector<uint8_t> water = std::vector<uint8_t>(512 * 64, 0);
    std::vector<uint8_t> shadow = std::vector<uint8_t>(512 * 512, 0);
    std::vector<uint8_t> reference = std::vector<uint8_t>(DEPTH_REFERENCE_SIZE, 0);
    std::vector<uint8_t> pixels = std::vector<uint8_t>(128 * 128, 7);
    std::vector<uint8_t> attributes = std::vector<uint8_t>(32);
    std::vector<ObjectRecord*> dynamicHeads = std::vector<ObjectRecord*>(TERRAIN_PATCHES);
    std::vector<ObjectRecord*> staticHeads = std::vector<ObjectRecord*>(TERRAIN_PATCHES);
    std::vector<uint32_t> stamps = std::vector<uint32_t>(TERRAIN_PATCHES);
    std::vector<uint32_t> dynamicStamps = std::vector<uint32_t>(TERRAIN_PATCHES);
    DepthTile tile{};
    std::vector<uint8_t> screen = std::vector<uint8_t>(640 * 480);
    _DRAW_SURFACE surface{};

    TerrainSetup() {
        for (int a = 0; a < 32; a++) attributes[a] = (uint8_t)(100 + a);
        tile.pixels = pixels.data();
        tile.widthLog2 = tile.heightLog2 = 7;
        DepthLevel& d = depth_Level;
        d = DepthLevel{};
        d.heightMap = height.data();
        d.waterMap = water.data();
        d.shadowMap = shadow.data();
        d.reference = reference.data();
        d.tiles = &tile;
        d.tileCount = 1;
        d.tileShift = 7;
        d.tileAttributes = attributes.data();
        d.dynamicHeads = dynamicHeads.data();
        d.staticHeads = staticHeads.data();
        d.patchStamps = stamps.data();
        d.dynamicStamps = dynamicStamps.data();
        draw_InitSurfaceDesc(&surface, screen.data(), 640, 480, 1);
        draw_SelectSurface(&surface);
        hw3d_Active = 0;
        render_AboveCloudDeck = 0;
        render_CloudHazeOffset = 0;
        level_HazeDepth = 0x8000000;
        level_HazeShift = 6;
        level_Colours.coolHaze = 0;
        terrain_LantirnPass = 0;
        g_drawnTriangles.clear();
        g_drawnPlaces.clear();
        g_drawnKeys.clear();
        g_drawnObjects.clear();
        terrain_Pass.itemCount = 0;
        terrain_Pass.itemRead = 0;
        std::fill(terrain_Pass.slots, terrain_Pass.slots + TERRAIN_SLOTS, nullptr);
    }
    ~TerrainSetup() {
        depth_Level = DepthLevel{};
        depth_Level.heightMap = depth_FlatHeights();
        depth_Level.waterMap = depth_DryWater();
        draw_SelectSurface(nullptr);
    }
    void Variant(int32_t index, int32_t o) {
        uint8_t& b = reference[TERRAIN_PATCHES + index / 2];
        b = (index & 1) ? (uint8_t)((b & 0x0F) | o << 4) : (uint8_t)((b & 0xF0) | o);
    }
};

// The camera at world (x, height, z) with heading, pitch and roll.
void Camera(uint32_t x, uint32_t y, uint32_t z, int32_t heading, int32_t pitch = 0, int32_t roll = 0) {
    view_State.position = FixWorldPos{x, y, z};
    view_State.angles = FixAngles{heading, pitch, roll};
    fix_SinCosAngles(-heading, -pitch, -roll, &view_State.viewMatrix);
    fix_TrigToDouble(&view_State.viewMatrix);
}

// Makes the given patch the current one in the given slot, as the pipeline
// does before preparing it.
PatchEntry g_entry;
void Current(int32_t px, int32_t pz, uint8_t flag, int32_t slot = 3) {
    TerrainPass& p = terrain_Pass;
    p.cameraX = view_State.position.x;
    p.cameraZ = view_State.position.z;
    p.cameraHeight = (int32_t)view_State.position.y;
    const FixVec3 cx = {0x800000, 0, 0}, hu = {0, 0x10000, 0}, cz = {0, 0, 0x800000};
    fix_RotateAll(&p.cellX, &cx);
    fix_RotateAll(&p.heightUnit, &hu);
    fix_RotateAll(&p.cellZ, &cz);
    const int32_t index = pz * 128 + px;
    g_entry = PatchEntry{(int32_t)(((uint32_t)px << 25) - p.cameraX), (int32_t)(((uint32_t)pz << 25) - p.cameraZ),
                         px, pz, index, flag, 0, 0};
    p.slots[slot] = &g_entry;
    p.current = TerrainCurrentPatch{g_entry.cornerX, g_entry.cornerZ, px, pz, index, flag, slot, 0};
    p.itemCount = 0;
}

int32_t Queued(const void* record) {
    for (int32_t i = 0; i < terrain_Pass.itemCount; i++)
        if (terrain_Pass.items[i].record == record) return i;
    return -1;
}

int32_t QueuedTriangles() {
    int32_t n = 0;
    for (int32_t i = 0; i < terrain_Pass.itemCount; i++) n += *(uint8_t*)terrain_Pass.items[i].record == 0;
    return n;
}

// Patch (64, 64) centre, 0x1000000 above the ground.
constexpr uint32_t kMid = 64u << 25 | 0x1000000;

TEST(TerrainSelection, ListsEachPatchOnceAndThinsTheDistance) {
    TerrainSetup t;
    for (int32_t heading : {0, 0x123456, 0x800000, 0x1C00000}) {
        Camera(kMid, 0x1000000, kMid, heading);
        terrain_DrawFrame();
        const TerrainPass& p = terrain_Pass;
        ASSERT_GT(p.count, 20) << heading;
        ASSERT_LE(p.count, TERRAIN_PATCH_LIST);
        std::set<int32_t> seen;
        for (int32_t i = 0; i < p.count; i++) {
            const PatchEntry& e = p.list[i];
            EXPECT_TRUE(seen.insert(e.index).second) << "patch " << e.px << "," << e.pz << " listed twice";
            if (e.distance > TERRAIN_NEAR_DISTANCE) {
                EXPECT_EQ((e.px | e.pz) & 3, 0) << e.px << "," << e.pz;
            }
            EXPECT_EQ(depth_Level.patchStamps[e.index], p.frameStamp);
        }
        // The pipeline ran dry: every slot free, every queued triangle drawn once.
        for (PatchEntry* s : p.slots) EXPECT_EQ(s, nullptr);
        std::set<std::tuple<int32_t, int32_t, const PatchTriangle*>> drawn(g_drawnPlaces.begin(), g_drawnPlaces.end());
        EXPECT_EQ(drawn.size(), g_drawnPlaces.size());
        EXPECT_GT(g_drawnTriangles.size(), 200u);
        EXPECT_GT(p.batches, 1);
        // The first batch is the farthest 200 items known, farthest first.
        ASSERT_GE(g_drawnKeys.size(), 200u);
        EXPECT_TRUE(std::is_sorted(g_drawnKeys.begin(), g_drawnKeys.begin() + 200, std::greater<int32_t>()));
        g_drawnKeys.clear();
        g_drawnTriangles.clear();
        g_drawnPlaces.clear();
    }
}

TEST(TerrainSelection, SideLinesRunAcrossTheHeading) {
    TerrainSetup t;
    struct Case {
        const char* what;
        int32_t heading;
        bool alongZ;
    } cases[] = {{"looking along z", 0, false}, {"looking along x", 0x800000, true}, {"looking along -x", 0x1800000, true}};
    for (const Case& c : cases) {
        Camera(kMid, 0x1000000, kMid, c.heading);
        terrain_DrawFrame();
        // The first line leaves the camera's patch sideways.
        const PatchEntry& a = terrain_Pass.list[0];
        const PatchEntry& b = terrain_Pass.list[1];
        EXPECT_EQ(a.px, 64) << c.what;
        EXPECT_EQ(a.pz, 64) << c.what;
        if (c.alongZ) {
            EXPECT_EQ(b.px, a.px) << c.what;
            EXPECT_EQ(std::abs(b.pz - a.pz), 1) << c.what;
        } else {
            EXPECT_EQ(b.pz, a.pz) << c.what;
            EXPECT_EQ(std::abs(b.px - a.px), 1) << c.what;
        }
    }
}

TEST(TerrainSelection, GroundFlagOfNearPatchesAndAboveTheTerrain) {
    TerrainSetup t;
    struct Case {
        const char* what;
        uint32_t height;
        int32_t pitch;
        int32_t flagged;  // -1: some, else all patches
    } cases[] = {
        // Low and level, the top of the ground box is above the view of a
        // near patch, its floor is not: the ground is drawn.
        {"low and level", 0x1000000, 0, 1},
        {"above the terrain range", 0x7D00000 + 0xC000000, 0x400000, 0},
    };
    for (const Case& c : cases) {
        Camera(kMid, c.height, kMid, 0, c.pitch);
        terrain_DrawFrame();
        ASSERT_GT(terrain_Pass.count, 0) << c.what;
        EXPECT_EQ(terrain_Pass.aboveTerrain, c.flagged == 0) << c.what;
        for (int32_t i = 0; i < terrain_Pass.count; i++) {
            const PatchEntry& e = terrain_Pass.list[i];
            if (c.flagged == 0 || e.distance <= 4) {
                EXPECT_EQ(e.flag, c.flagged) << c.what << " " << e.px << "," << e.pz;
            }
        }
    }
}

TEST(TerrainSelection, TwoInvisiblePatchesEndALine) {
    TerrainSetup t;
    // Looking along z: the row through the camera sees one patch to each
    // side; the two beyond are outside the view and end both lines, so no
    // patch of that row farther out is stamped.
    Camera(kMid, 0x1000000, kMid, 0);
    terrain_DrawFrame();
    const uint32_t stamp = terrain_Pass.frameStamp;
    EXPECT_EQ(depth_Level.patchStamps[64 * 128 + 65], stamp);
    EXPECT_EQ(depth_Level.patchStamps[64 * 128 + 63], stamp);
    for (int32_t dx = 2; dx < 10; dx++) {
        EXPECT_NE(depth_Level.patchStamps[64 * 128 + 64 + dx], stamp) << dx;
        EXPECT_NE(depth_Level.patchStamps[64 * 128 + 64 - dx], stamp) << dx;
    }
}

TEST(TerrainPatch, ObjectsQueuedByFlagAndCloudDeck) {
    TerrainSetup t;
    Camera(kMid, 0x1000000, kMid - 0x4000000, 0);
    ObjectRecord player{}, building{};
    player.state = building.state = 1;
    player.viewPosition.z = 0x3000000;
    building.viewPosition.z = 0x2000000;
    struct Case {
        const char* what;
        uint8_t flag;
        int32_t above;
        bool dynamicStamped;
        bool player, building, ground;
    } cases[] = {
        {"visible ground", 1, 0, true, true, true, true},
        {"flag byte 0", 0, 0, true, true, false, false},
        {"above the cloud deck", 1, 1, true, true, false, false},
        {"dynamic list of an earlier frame", 1, 0, false, false, true, true},
    };
    for (const Case& c : cases) {
        terrain_Pass.frameStamp = 77;
        Current(64, 64, c.flag);
        player.freeLink = building.freeLink = nullptr;
        depth_Level.dynamicHeads[64 * 128 + 64] = &player;
        depth_Level.dynamicStamps[64 * 128 + 64] = c.dynamicStamped ? 77 : 76;
        depth_Level.staticHeads[64 * 128 + 64] = &building;
        render_AboveCloudDeck = c.above;
        terrain_PatchObjectsQueue();
        terrain_PatchBuild();
        EXPECT_EQ(Queued(&player) >= 0, c.player) << c.what;
        EXPECT_EQ(Queued(&building) >= 0, c.building) << c.what;
        EXPECT_EQ(QueuedTriangles() > 0, c.ground) << c.what;
        EXPECT_EQ(depth_Level.dynamicHeads[64 * 128 + 64], nullptr) << c.what;
        EXPECT_EQ(g_entry.countdown, terrain_Pass.itemCount) << c.what;
        if (c.player) {
            EXPECT_EQ(player.made, 3) << c.what;
        }
    }
}

TEST(TerrainPatch, FlaggedStaticSortsFartherWithItsGround) {
    TerrainSetup t;
    Camera(kMid, 0x1000000, kMid - 0x4000000, 0);
    ObjectRecord plain{}, flagged{};
    plain.state = flagged.state = 1;
    // Queuing turns the world position into the view depth 0x2000000.
    plain.position = flagged.position = FixWorldPos{kMid, 0x1000000, kMid - 0x2000000};
    flagged.drawFlags = 1;
    for (ObjectRecord* o : {&plain, &flagged}) {
        Current(64, 64, 1);
        o->freeLink = nullptr;
        depth_Level.staticHeads[64 * 128 + 64] = o;
        terrain_PatchObjectsQueue();
        terrain_PatchBuild();
        const bool f = o == &flagged;
        // (The sine table peaks just below one.)
        EXPECT_NEAR(terrain_Pass.items[Queued(o)].key, 0x2000000 + (f ? 0x1000000 : 0), 0x1000);
        ASSERT_GT(QueuedTriangles(), 0);
        for (int32_t i = 0; i < terrain_Pass.itemCount; i++) {
            const TerrainItem& it = terrain_Pass.items[i];
            if (*(uint8_t*)it.record) continue;
            const PatchTriangle* tr = (const PatchTriangle*)it.record;
            const int32_t z = std::max({tr->vertex[0]->viewZ, tr->vertex[1]->viewZ, tr->vertex[2]->viewZ});
            EXPECT_EQ(it.key, z + (f ? 0x1C00000 : 0));
            EXPECT_EQ(tr->queued, 1);
        }
    }
}

TEST(TerrainPatch, GeometryWrapsAndFollowsTheVariant) {
    TerrainSetup t;
    // Patch 127 of row 64 takes its last column from cell column 0.
    for (int j = 0; j < 5; j++) t.height[(256 + j) * 512 + 0] = (uint8_t)(40 + j);
    t.height[256 * 512 + 508] = 9;
    t.water[256 * 64 + 0] = 0x80;  // cell (0, 256) is water
    Camera(127u << 25 | 0x1000000, 0x1000000, (64u << 25) - 0x4000000, 0);
    for (int32_t card : {0, 1}) {
        hw3d_Active = card;
        Current(127, 64, 1);
        terrain_PatchBuild();
        const PatchVertex* v = terrain_PatchVertices[3];
        for (int j = 0; j < 5; j++) EXPECT_EQ(v[j * 5 + 4].worldHeight, (40 + j) * 0x40000) << j;
        EXPECT_EQ(v[0].worldHeight, 9 * 0x40000);
        EXPECT_EQ(v[4].worldX, (int32_t)(127u << 25) + 4 * 0x800000);
        // Water sets bit 0 of the light word, on the card the lowest fog bit.
        EXPECT_EQ(v[4].screen.colour & 1, 1u) << card;
        EXPECT_EQ(v[3].screen.colour & 1, 0u) << card;
    }
    hw3d_Active = 0;

    // Grid point (1, 0) is the second corner of triangle B of cell (0, 0);
    // attributes by variant come from the tile's bytes (100 + index).
    struct Case {
        int32_t variant;
        int32_t u, v;
        int32_t attributeA, attributeB;
    } cases[] = {
        {0, 0x4000, 0x200, 100, 101},
        {1, 0xC000, 0x200, 107, 106},
        {5, 0x200, 0x4000, 100, 101},
        {13, 0x200, 0x4000, 100, 101},  // nibbles 8 to 15 show as variant & 7
    };
    Camera(kMid, 0x1000000, kMid - 0x4000000, 0);
    for (const Case& c : cases) {
        t.Variant(64 * 128 + 64, c.variant);
        Current(64, 64, 1, 5);
        terrain_PatchBuild();
        const PatchTriangle& a = terrain_PatchTriangles[5][0];
        const PatchTriangle& b = terrain_PatchTriangles[5][1];
        EXPECT_EQ(b.vertex[1], &terrain_PatchVertices[5][1]);
        EXPECT_EQ(b.uv[1][0], c.u) << c.variant;
        EXPECT_EQ(b.uv[1][1], c.v) << c.variant;
        EXPECT_EQ(a.attribute, c.attributeA) << c.variant;
        EXPECT_EQ(b.attribute, c.attributeB) << c.variant;
        EXPECT_EQ(a.slot, 5);
        EXPECT_EQ(a.tile, &t.tile);
    }
}

TEST(TerrainPatch, TriangleClassification) {
    TerrainSetup t;
    const int32_t x1 = t.surface.clipX1F, x2 = t.surface.clipX2F, y2 = t.surface.clipY2F;
    struct V {
        int32_t vx, vy, vz, sx, sy;
    };
    struct Case {
        const char* what;
        V p[3];
        int32_t want;
    } cases[] = {
        {"all left of the clip box", {{0, 0, 0x100000, x1 - 10, 100}, {0, 0, 0x100000, x1 - 1, 500}, {0, 0, 0x100000, x1 - 300, 900}}, 4},
        {"all below it", {{0, 0, 0x100000, 100, y2 + 1}, {0, 0, 0x100000, 900, y2 + 5}, {0, 0, 0x100000, 500, y2 + 9}}, 4},
        {"on screen, clockwise", {{0, 0, 0x100000, 1000, 1000}, {0, 0, 0x100000, 5000, 1000}, {0, 0, 0x100000, 1000, 5000}}, 2},
        {"on screen, anticlockwise", {{0, 0, 0x100000, 1000, 1000}, {0, 0, 0x100000, 1000, 5000}, {0, 0, 0x100000, 5000, 1000}}, 1},
        {"one corner inside", {{0, 0, 0x100000, x1 - 10, 100}, {0, 0, 0x100000, x2 / 2, 500}, {0, 0, 0x100000, x1 - 300, 900}}, 2},
        {"all nearer than 0x10000", {{0, 0, 0xFFFF, 1000, 1000}, {0, 0, 0, 5000, 1000}, {0, 0, 5, 1000, 5000}}, 4},
        // Crossing the near distance: the normal decides, the screen does not.
        {"crossing, facing", {{0, -0x100000, 0x8000, x1 - 9, 9}, {0x100000, -0x100000, 0x200000, x1 - 9, 9}, {0, -0x100000, 0x200000, x1 - 9, 9}}, 1},
        {"crossing, facing away", {{0, -0x100000, 0x8000, 9, 9}, {0, -0x100000, 0x200000, 9, 9}, {0x100000, -0x100000, 0x200000, 9, 9}}, 2},
    };
    for (const Case& c : cases) {
        PatchVertex v[3] = {};
        PatchTriangle tri{};
        for (int k = 0; k < 3; k++) {
            v[k].viewX = c.p[k].vx;
            v[k].viewY = c.p[k].vy;
            v[k].viewZ = c.p[k].vz;
            v[k].screen.x = c.p[k].sx;
            v[k].screen.y = c.p[k].sy;
            tri.vertex[k] = &v[k];
        }
        EXPECT_EQ(terrain_TriangleClassify(&tri), c.want) << c.what;
    }
}

TEST(TerrainPatch, LightWords) {
    TerrainSetup t;
    struct Case {
        const char* what;
        int32_t height, shadow, water, depth, card, cool, haze;
        uint32_t want;
    } cases[] = {
        {"card, nearer than the haze", 0, 3, 0, 0x1000000, 1, 0, 0, 3 << 13},
        {"card, water", 0, 3, 1, 0x1000000, 1, 0, 0, 3 << 13 | 1},
        {"card, hazed", 0, 0, 0, 0x8000000 + (100 << 18), 1, 0, 0, 100},
        {"card, fog clamped", 0, 0, 1, 0x7FFFFFFF, 1, 0, 0, 255},
        {"card, cool haze thins by the height", 16, 0, 0, 0x8000000 + (100 << 18), 1, 1, 0, (100 * 191 >> 8)},
        {"software, near, shadow", 0, 4, 0, 0x100, 0, 0, 0x1234, ((4 << 13) + 0x1234) & ~0x1FFu},
        {"software, near, clamped", 0, 255, 1, 0x100, 0, 0, 0x100000, 0x1F0001},
        {"software, at the haze depth", 0, 0, 0, 0x8000000, 0, 0, 0, 0x8000},
        {"software, far", 0, 0, 0, 0x8000000 + (0x40000 << 6), 0, 0, 0, 0x80000},
    };
    for (const Case& c : cases) {
        level_Colours.coolHaze = c.cool;
        render_CloudHazeOffset = c.haze;
        EXPECT_EQ(terrain_LightWord(c.height, c.shadow, c.water, c.depth, c.card), c.want) << c.what;
    }
}

TEST(TerrainItems, BatchesOfTwoHundredInBufferOrder) {
    TerrainSetup t;
    static ObjectRecord objects[250];
    PatchEntry entries[2] = {};
    terrain_Pass.slots[0] = &entries[0];
    terrain_Pass.slots[1] = &entries[1];
    for (int i = 0; i < 250; i++) {
        objects[i] = ObjectRecord{};
        objects[i].state = 1;
        objects[i].made = (uint8_t)(i & 1);
        objects[i].draw = RecordObject;
        terrain_Pass.items[i] = TerrainItem{&objects[i], 1000 - i};
        entries[i & 1].countdown++;
    }
    terrain_Pass.itemCount = 250;
    terrain_ItemsDraw();
    ASSERT_EQ(g_drawnObjects.size(), 200u);
    for (int i = 0; i < 200; i++) EXPECT_EQ(g_drawnObjects[i], &objects[i]);
    EXPECT_EQ(terrain_Pass.itemCount, 0);
    EXPECT_EQ(terrain_Pass.itemRead, 200);
    EXPECT_EQ(terrain_Pass.itemRemembered, 250);
    EXPECT_EQ(entries[0].countdown, 25);
    EXPECT_EQ(entries[1].countdown, 25);
    // The pipeline moves the 50 left to the front; the next batch draws them.
    memmove(terrain_Pass.items, terrain_Pass.items + 200, 50 * sizeof(TerrainItem));
    terrain_Pass.itemCount = 50;
    terrain_ItemsDraw();
    ASSERT_EQ(g_drawnObjects.size(), 250u);
    EXPECT_EQ(g_drawnObjects[249], &objects[249]);
    EXPECT_EQ(entries[0].countdown, 0);
    EXPECT_EQ(entries[1].countdown, 0);
}

TEST(TerrainItems, QueueingStopsAtTheBufferSize) {
    TerrainSetup t;
    Camera(kMid, 0x1000000, kMid - 0x4000000, 0);
    static ObjectRecord objects[TERRAIN_ITEMS + 10];
    for (int i = 0; i < TERRAIN_ITEMS + 10; i++) {
        objects[i] = ObjectRecord{};
        objects[i].state = 1;
        objects[i].freeLink = i + 1 < TERRAIN_ITEMS + 10 ? &objects[i + 1] : nullptr;
    }
    Current(64, 64, 1);
    depth_Level.staticHeads[64 * 128 + 64] = &objects[0];
    terrain_PatchObjectsQueue();
    terrain_PatchBuild();
    EXPECT_EQ(terrain_Pass.itemCount, TERRAIN_ITEMS);
    // Only what was queued counts, so the slot still frees.
    EXPECT_EQ(g_entry.countdown, TERRAIN_ITEMS);
    for (int i = 0; i < 32; i++) EXPECT_EQ(terrain_PatchTriangles[3][i].queued, 0);
}

}  // namespace
