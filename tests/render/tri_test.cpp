// The triangle path: far and near clipping, software subdivision, the
// shading modes and the terrain's texture-distance fallback.
#include "render/object_fixture.h"

#include "shell/settings.h"
#include "world/terrain.h"
#include "world/terrain_draw.h"

namespace {

RenderVertex V(int32_t x, int32_t y, int32_t z, int32_t level = 12) {
    RenderVertex v{};
    v.viewX = x, v.viewY = y, v.viewZ = z;
    const FixVec3 p = {x, y, z};
    FixScreenPoint s;
    fix_ProjectToScreen(&p, &s);
    v.screen = PolyVertex{s.x, s.y, 0, 0, (uint32_t)level << 16};
    return v;
}

// Twice the signed screen area: positive for the rasteriser's own order.
int64_t Orientation(const _HW3D_VERTEX& a, const _HW3D_VERTEX& b, const _HW3D_VERTEX& c) {
    return ((int64_t)b.x - a.x) * ((int64_t)c.y - a.y) - ((int64_t)b.y - a.y) * ((int64_t)c.x - a.x);
}

using TriangleClip = ObjectDrawTest;

TEST_F(TriangleClip, FarClipCutsAtTheFarDepth) {
    CardOn();
    render_Tri.nearPlane = 0x1000;
    constexpr int32_t F = RENDER_FAR_DEPTH;
    const struct {
        int32_t z[3];
        int32_t result;
        size_t pieces;
    } cases[] = {
        {{F, F, F + 0x100000}, 1, 0},
        {{F - 1, F - 1, F - 0x100000}, 0, 0},
        {{F - 0x400000, F - 0x400000, F + 0x400000}, 2, 2},
        {{F - 0x400000, F + 0x400000, F + 0x400000}, 2, 1},
    };
    for (const auto& c : cases) {
        g_cardCalls.clear();
        RenderVertex a = V(-0x1000000, 0, c.z[0]), b = V(0x1000000, 0, c.z[1]), d = V(0, 0x1000000, c.z[2]);
        EXPECT_EQ(render_TriangleClipFar(&a, &b, &d, 0x55), c.result) << c.z[2];
        ASSERT_EQ(g_cardCalls.size(), c.pieces) << c.z[2];
        int32_t atLimit = 0;
        for (const CardCall& k : g_cardCalls)
            for (int32_t i = 0; i < 3; i++) {
                EXPECT_LE(k.v[i].z, F);
                atLimit += k.v[i].z == F;
            }
        if (c.pieces) {
            EXPECT_GE(atLimit, 2);
        }
    }
}

TEST_F(TriangleClip, NearClipKeepsTheFacing) {
    CardOn();
    render_Tri.nearPlane = 0x10000;
    // Corners behind and in front of the near plane, and the same triangle
    // moved wholly in front for the reference facing.
    const int32_t z[2][3] = {{0x8000, 0x40000, 0x40000}, {0x8000, 0x8000, 0x40000}};
    for (const auto& zs : z) {
        for (bool swapped : {false, true}) {
            g_cardCalls.clear();
            RenderVertex a = V(-0x10000, -0x10000, zs[0]), b = V(0x10000, -0x10000, zs[1]), c = V(0, 0x10000, zs[2]);
            if (swapped) std::swap(b, c);
            RenderVertex fa = V(a.viewX, a.viewY, a.viewZ + 0x80000), fb = V(b.viewX, b.viewY, b.viewZ + 0x80000),
                         fc = V(c.viewX, c.viewY, c.viewZ + 0x80000);
            render_TriangleSubmit(&fa, &fb, &fc, 0x55);
            ASSERT_EQ(g_cardCalls.size(), 1u);
            const bool reference = Orientation(g_cardCalls[0].v[0], g_cardCalls[0].v[1], g_cardCalls[0].v[2]) > 0;
            g_cardCalls.clear();
            EXPECT_EQ(render_TriangleClipNear(&a, &b, &c, 0x55), 2);
            ASSERT_FALSE(g_cardCalls.empty());
            for (const CardCall& k : g_cardCalls) {
                EXPECT_EQ(Orientation(k.v[0], k.v[1], k.v[2]) > 0, reference) << swapped;
                for (int32_t i = 0; i < 3; i++) EXPECT_GE(k.v[i].z, 0x10000);
            }
        }
    }
}

TEST_F(TriangleClip, SoftwareSubdividesByTheSixthOfTheDepth) {
    render_Tri.nearPlane = 0x1000;
    const struct {
        int32_t nearZ, farZ, triangles;
    } cases[] = {{0x100000, 0x118000, 1}, {0x100000, 0x140000, 4}};
    for (const auto& c : cases) {
        render_Tri.submitted = 0;
        RenderVertex a = V(-0x40000, -0x40000, c.nearZ), b = V(0, 0x40000, c.farZ), d = V(0x40000, -0x40000, c.farZ);
        render_ModelTriangleDraw(&a, &b, &d, 0x55);
        EXPECT_EQ(render_Tri.submitted, c.triangles) << std::hex << c.farZ;
    }
    EXPECT_GT(Covered(), 100);
}

TEST_F(TriangleClip, ShadingModes) {
    render_Tri.nearPlane = 0x1000;
    std::vector<uint8_t> texture(16 * 16, 50);
    render_Tri.texture = texture.data();
    poly_SpanState.textureShiftU = poly_SpanState.textureShiftV = 4;
    const struct {
        int32_t colour;
        int32_t levels[3];
        uint32_t mode;
        int32_t single;
        uint32_t pixel;  // at the centre; 0: not checked
    } cases[] = {
        {0x40, {12, 12, 12}, 6, 12, 0x40 + 12},
        {0x40, {12, 13, 12}, 5, 0, 0},
        {-1, {16, 16, 16}, 0, 0, 50},  // the texture as it is: only the textured bit
        {-1, {12, 12, 12}, 2, 12, 50 + 12},
        {-1, {12, 16, 12}, 1, 0, 0},
    };
    for (const auto& c : cases) {
        screen.assign(screen.size(), 0);
        RenderVertex a = V(-0x40000, -0x40000, 0x200000, c.levels[0]), b = V(0, 0x40000, 0x200000, c.levels[1]),
                     d = V(0x40000, -0x40000, 0x200000, c.levels[2]);
        a.screen.u = 0, b.screen.u = 0x8000, d.screen.u = 0x10000;
        render_TriangleSubmit(&a, &b, &d, c.colour);
        EXPECT_EQ(render_Tri.lastFlags & 7, c.mode & 7) << c.colour << " " << c.levels[1];
        EXPECT_EQ((render_Tri.lastFlags & POLY_TEXTURED) != 0, c.colour == -1);
        EXPECT_EQ(render_Tri.lastShade, c.single);
        if (c.pixel) {
            EXPECT_EQ(Pixel(W / 2, H / 2 + 2), c.pixel) << c.colour << " " << c.levels[0];
        }
    }
    // A corner in front of the near plane rejects the triangle.
    render_Tri.submitted = 0;
    RenderVertex a = V(-0x40000, -0x40000, 0x800), b = V(0, 0x40000, 0x200000), d = V(0x40000, -0x40000, 0x200000);
    render_TriangleSubmit(&a, &b, &d, 0x40);
    EXPECT_EQ(render_Tri.submitted, 0);
}

TEST_F(TriangleClip, FarTexturedTerrainTakesItsAverageColour) {
    std::vector<uint8_t> texture(128 * 128, 50);
    DepthTile tile{};
    tile.pixels = texture.data();
    PatchVertex pv[3] = {};
    PatchTriangle t{};
    t.attribute = 77;
    t.tile = &tile;
    poly_SpanState.textureShiftU = poly_SpanState.textureShiftV = 7;
    app_Settings.TEXTURE_DISTANCE = 1;  // from 0x800000 on
    for (int32_t depth : {0x700000, 0x800000}) {
        screen.assign(screen.size(), 0);
        // Terrain triangles that face the eye run anticlockwise on the
        // screen: lower left, lower right, top.
        const RenderVertex corners[3] = {V(-0x100000, -0x100000, depth, 0), V(0x100000, -0x100000, depth, 0),
                                         V(0, 0x100000, depth, 0)};
        for (int32_t k = 0; k < 3; k++) {
            const RenderVertex& r = corners[k];
            pv[k].viewX = r.viewX, pv[k].viewY = r.viewY, pv[k].viewZ = r.viewZ;
            pv[k].screen = r.screen;
            t.vertex[k] = &pv[k];
        }
        render_CurrentPolygon = &t;
        poly_SpanState.renderFlags = POLY_TEXTURED;
        render_TriangleDraw(-1);
        EXPECT_EQ(Pixel(W / 2, H / 2), depth < 0x800000 ? 50u : 77u) << std::hex << depth;
    }
    render_CurrentPolygon = nullptr;
    app_Settings.TEXTURE_DISTANCE = 0;
}

}  // namespace
