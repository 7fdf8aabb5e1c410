// The object renderer: a model cube drawn into 8- and 16-bit surfaces, the
// detail level by distance, the view-sphere culling, back faces, the
// multi-part draw with its pivots and part hook, the animation frames, the
// calls the 3D card receives and the aircraft's ground shadow.
#include "render/object_fixture.h"

#include "world/terrain.h"

namespace {

MkPakFace FlatFace(uint8_t r, uint8_t g, uint8_t b, uint16_t flags = 0) {
    MkPakFace f;
    f.colour = (uint32_t)r | (uint32_t)g << 8 | (uint32_t)b << 16;
    f.flags = flags;
    return f;
}

std::vector<MkPakFace> SixFaces() {
    return {FlatFace(200, 30, 30), FlatFace(30, 200, 30), FlatFace(30, 30, 200),
            FlatFace(200, 200, 30), FlatFace(30, 200, 200), FlatFace(200, 30, 200)};
}

// One triangle of the cube's side that faces the camera (world -z), given
// the right way round or reversed (then it faces away).
MkPak OneTriangle(bool away, std::vector<MkPakFace> faces) {
    MkPak p;
    p.name = "tri";
    MkPakGeometry g = mkdata_PakCube(0x8000, faces, {});
    MkPakPolygon t = g.polygons[4];  // side 2: file +y, world -z
    if (away) std::swap(t.vertex[1], t.vertex[2]);
    g.polygons = {t};
    p.geometries.push_back(g);
    MkPakModel m;
    m.size = 0x4000000;
    m.subObjects.push_back({0, 0, {0, 0, 0}});
    p.models.push_back(m);
    return p;
}

TEST_F(ObjectDrawTest, CubeDrawsInto8And16BitSurfaces) {
    for (int32_t bytes : {1, 2}) {
        Surface(bytes);
        _PAK_HEADER* model = Load(Cube(0x8000, SixFaces()), "cube" + std::to_string(bytes) + ".pak");
        ASSERT_NE(model, nullptr);
        ObjectRecord o = Place(model, 0, 0, 0x40000);
        EXPECT_EQ(render_ObjectDrawC(&o), 1) << bytes;
        // The side towards the camera (face 2), lit head-on: the brightest
        // level (the maximum byte 0x78 is level 15), one shade for the side.
        const uint32_t index = model->models[0].model->subObjects[0].geometry->faces[2].colour >> 24;
        const uint32_t centre = Pixel(W / 2, H / 2);
        if (bytes == 1) EXPECT_EQ(centre, (index + 15) & 0xFF);
        else EXPECT_EQ(centre, 15u << 8 | index);
        EXPECT_EQ(Pixel(2, 2), 0u) << bytes;
        EXPECT_EQ(Pixel(W - 3, H - 3), 0u) << bytes;
        EXPECT_GT(Covered(), 20 * 20) << bytes;
    }
}

TEST_F(ObjectDrawTest, DetailLevelByDistance) {
    _PAK_HEADER* model = Load(Cube(0x1000, SixFaces(), {0x100000, 0x400000}), "levels.pak");
    ASSERT_NE(model, nullptr);
    const struct {
        int32_t distance, level;
    } cases[] = {{0x80000, 0}, {0x100000, 0}, {0x100001, 1}, {0x400000, 1}, {0x400001, -1}};
    for (const auto& c : cases) {
        ObjectRecord o = Place(model, 0, 0, c.distance);
        EXPECT_EQ(render_DetailSelect(&o), c.level) << std::hex << c.distance;
        render_Object.forceFinest = 1;
        EXPECT_EQ(render_DetailSelect(&o), 0);
        render_Object.forceFinest = 0;
    }
    ObjectRecord beyond = Place(model, 0, 0, 0x400001);
    EXPECT_EQ(render_ObjectDrawC(&beyond), 0);
    EXPECT_EQ(Covered(), 0);
}

TEST_F(ObjectDrawTest, ViewSphereCulling) {
    PakGeometry mesh{};
    const struct {
        int32_t x, z, r;
        uint8_t flags;
        int32_t visible;
    } cases[] = {
        {0, 0x800, 0x7ff, 0, 0},          // reaches no nearer than 0xfff
        {0, 0x800, 0x800, 0, 1},          // reaches 0x1000
        {0, 0xdfff000, 0xfff, 0, 1},
        {0, 0xdfff000, 0x1000, 0, 0},     // 0xe000000
        {0, 0xdfff000, 0x1000, 1, 0},     // even without the view-cone test
        {0x400000, 0x100000, 0x1000, 0, 0},  // far off to the right
        {0x400000, 0x100000, 0x1000, 1, 1},
        {0x108000, 0x100000, 0x8000, 0, 1},  // the widened radius still reaches in
    };
    for (const auto& c : cases) {
        ObjectRecord o{};
        o.viewPosition = FixVec3{c.x, 0, c.z};
        o.drawFlags = c.flags;
        mesh.words[4] = (uint32_t)c.r;
        EXPECT_EQ(render_ObjectVisible(&o, &mesh), c.visible) << std::hex << c.x << " " << c.z << " " << c.r;
    }
    EXPECT_EQ(render_SphereOutcode(0x400000, 0, 0x100000, 0), 1u);
    EXPECT_EQ(render_SphereOutcode(-0x400000, 0, 0x100000, 0), 2u);
    EXPECT_EQ(render_SphereOutcode(0, 0x400000, 0x100000, 0), 4u);
    EXPECT_EQ(render_SphereOutcode(0, -0x400000, 0x100000, 0), 8u);
}

TEST_F(ObjectDrawTest, BackFacesDrawOnlyDoubleSided) {
    const struct {
        bool away;
        uint16_t flags;
        bool drawn;
    } cases[] = {{false, 0, true}, {true, 0, false}, {true, 0x0040, true}};
    int32_t n = 0;
    for (const auto& c : cases) {
        screen.assign(screen.size(), 0);
        _PAK_HEADER* model = Load(OneTriangle(c.away, {FlatFace(90, 90, 90, c.flags)}), "tri" + std::to_string(n++) + ".pak");
        ASSERT_NE(model, nullptr);
        ObjectRecord o = Place(model, 0, 0, 0x40000);
        EXPECT_EQ(render_ObjectDrawC(&o), c.drawn ? 1 : 0) << c.away << " " << c.flags;
        // A facing-away triangle is handed over reversed: it fills pixels.
        EXPECT_EQ(Covered() > 100, c.drawn) << c.away << " " << c.flags;
    }
}

TEST_F(ObjectDrawTest, AnimationFrameOutsideTheMaterialsIsSkipped) {
    // Four frames from face 0 but only two faces: frames 2 and 3 have none.
    MkPakFace animated = FlatFace(200, 30, 30);
    animated.frames = 4;
    std::vector<MkPakFace> faces = {animated, FlatFace(30, 200, 30)};
    MkPak pak = OneTriangle(false, faces);
    pak.geometries[0].polygons[0].face = 0;
    _PAK_HEADER* model = Load(pak, "anim.pak");
    ASSERT_NE(model, nullptr);
    const PakFace* f = model->models[0].model->subObjects[0].geometry->faces;
    for (uint8_t frame : {0, 1, 2, 5}) {
        screen.assign(screen.size(), 0);
        ObjectRecord o = Place(model, 0, 0, 0x40000);
        o.frame = frame;
        const bool exists = (frame & 3) < 2;
        EXPECT_EQ(render_ObjectDrawC(&o), exists ? 1 : 0) << (int)frame;
        if (exists) {
            EXPECT_EQ(Pixel(W / 2 - 8, H / 2 - 8), ((f[frame & 3].colour >> 24) + 15) & 0xFF) << (int)frame;
        }
    }
}

// A body cube with a small cube hung on pivot 0 (part 1).
MkPak TwoParts(bool pivots) {
    MkPak p;
    p.name = "parts";
    p.geometries.push_back(mkdata_PakCube(0x4000, SixFaces(), pivots ? std::vector<MkPakXyz>{{0, 0, 0xc000 * 2}} : std::vector<MkPakXyz>{}));
    p.geometries.push_back(mkdata_PakCube(0x2000, {FlatFace(250, 250, 250)}, {}));
    MkPakModel m;
    m.size = 0x4000000;
    m.subObjects.push_back({0, 0, {0, 0, 0}});
    m.subObjects.push_back({1, 0, {0, 0, 0}});
    p.models.push_back(m);
    return p;
}

PakSubObject* g_hookParts = nullptr;
void HideEverything(ObjectRecord*) {
    PakSubObject* parts = render_Object.hookFirstPart;
    g_hookParts = parts;
    for (int32_t i = 0; i <= render_Object.hookLastPart; i++) {
        parts[i].flags = 0x80;
        parts[i].angles[1] = 0x123456;
    }
}

TEST_F(ObjectDrawTest, MultiPartNeedsPivotsAndPutsHookChangesBack) {
    _PAK_HEADER* bare = Load(TwoParts(false), "bare.pak");
    ASSERT_NE(bare, nullptr);
    ObjectRecord o = Place(bare, 0, 0, 0x60000);
    EXPECT_EQ(render_ObjectDrawC(&o), 0);
    EXPECT_EQ(Covered(), 0);

    _PAK_HEADER* model = Load(TwoParts(true), "parts.pak");
    ASSERT_NE(model, nullptr);
    PakSubObject* parts = model->models[0].model->subObjects;
    parts[1].angles[0] = 0x200000;
    o = Place(model, 0, 0, 0x60000);
    EXPECT_EQ(render_ObjectDrawC(&o), 1);
    const int32_t plain = Covered();
    EXPECT_GT(plain, 0);
    // The part hangs on its pivot, 0xc000 above the body's centre: 16 rows up.
    int32_t above = 0;
    for (int32_t x = 0; x < W; x++) above += Pixel(x, H / 2 - 16) != 0;
    EXPECT_GT(above, 0);

    screen.assign(screen.size(), 0);
    o.partHook = HideEverything;
    EXPECT_EQ(render_ObjectDrawC(&o), 0);
    EXPECT_EQ(g_hookParts, parts);
    EXPECT_EQ(Covered(), 0);
    for (int32_t i = 0; i < 2; i++) {
        EXPECT_EQ(parts[i].flags, 0) << i;
        EXPECT_EQ(parts[i].angles[1], 0) << i;
    }
    EXPECT_EQ(parts[1].angles[0], 0x200000);
    o.partHook = nullptr;
    EXPECT_EQ(render_ObjectDrawC(&o), 1);
    EXPECT_EQ(Covered(), plain);
}

TEST_F(ObjectDrawTest, CubeThroughTheCardRecordsItsCalls) {
    CardOn();
    _PAK_HEADER* flat = Load(Cube(0x8000, SixFaces()), "cardflat.pak");
    ASSERT_NE(flat, nullptr);
    // Up, right and ahead: three sides face the camera.
    ObjectRecord o = Place(flat, 0x30000, 0x30000, 0x80000);
    EXPECT_EQ(render_ObjectDrawC(&o), 1);
    ASSERT_EQ(g_cardCalls.size(), 6u);
    const PakFace* faces = flat->models[0].model->subObjects[0].geometry->faces;
    for (const CardCall& c : g_cardCalls) {
        EXPECT_EQ(c.entry, 80);
        // Lit sides have one shade: mode 6, and the sort-key bits never
        // reach the card.
        EXPECT_EQ(c.flags & 0x1F0F, 6u);
        bool known = false;
        for (int32_t f = 0; f < 6; f++) known |= c.colour == faces[f].colour;
        EXPECT_TRUE(known) << std::hex << c.colour;
        for (int32_t k = 0; k < 3; k++) {
            EXPECT_EQ(c.v[k].weight, 256);
            const uint32_t l = c.v[k].colour & 0xFF;
            EXPECT_EQ(c.v[k].colour, l | l << 8 | l << 16);
            EXPECT_EQ(l, (uint32_t)c.word * 8);
        }
    }

    g_cardCalls.clear();
    MkPakFace tex;
    tex.name = "NOFILE.PCX";
    tex.flags = 0x0008;
    _PAK_HEADER* textured = Load(Cube(0x8000, {tex}), "cardtex.pak");
    ASSERT_NE(textured, nullptr);
    o = Place(textured, 0x30000, 0x30000, 0x80000);
    EXPECT_EQ(render_ObjectDrawC(&o), 1);
    ASSERT_EQ(g_cardCalls.size(), 6u);
    for (const CardCall& c : g_cardCalls) {
        EXPECT_EQ(c.entry, 84);
        // A triangle on the four-point entry: the last corner twice.
        EXPECT_EQ(c.v[3].x, c.v[2].x);
        EXPECT_EQ(c.v[3].y, c.v[2].y);
    }

    // The aircraft draw asks for the depth bias first, none in mode 4.
    for (int32_t mode : {0, 4}) {
        g_cardCalls.clear();
        app_ModeWord = mode;
        plane_ObjectDraw(&o);
        ASSERT_FALSE(g_cardCalls.empty());
        EXPECT_EQ(g_cardCalls[0].entry, 40);
        EXPECT_EQ(g_cardCalls[0].word, mode == 4 ? 0 : -0x400);
    }
}

TEST_F(ObjectDrawTest, GroundShadowOnlyWhenLowAndNotInModeFour) {
    depth_Level.heightMap = depth_FlatHeights();
    depth_Level.waterMap = depth_DryWater();
    // The camera just above the ground, so the shadow is in view.
    const FixWorldPos below = {kCamX, 0, kCamZ};
    view_State.position.y = (uint32_t)terrain_HeightMax4(&below) + 0x100000;
    _PAK_HEADER* model = Load(Cube(0x8000, SixFaces()), "shadow.pak");
    ASSERT_NE(model, nullptr);
    const struct {
        uint32_t height;
        int32_t mode;
        bool shadow;
    } cases[] = {{0x400000, 0, true}, {0x400000, 4, false}, {0xd00000, 0, false}};
    for (const auto& c : cases) {
        ObjectRecord o = Place(model, 0, 0, 0x800000);
        o.position.y = (uint32_t)terrain_HeightMax4(&o.position) + c.height;
        app_ModeWord = c.mode;
        render_Tri.submitted = 0;
        plane_ObjectDraw(&o);
        const int32_t withPlane = render_Tri.submitted;
        render_Tri.submitted = 0;
        render_ObjectDraw(&o);
        EXPECT_EQ(withPlane > render_Tri.submitted, c.shadow) << std::hex << c.height << " " << c.mode;
    }
}

}  // namespace
