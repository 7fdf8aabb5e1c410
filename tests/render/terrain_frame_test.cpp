// The flight frame over the sample terrain: the terrain pass from the viewed
// object fills its triangles with their tiles, ground below the horizon and
// nothing above it.
#include <gtest/gtest.h>

#include <vector>

#include "display/dsurf.h"
#include "display/rast.h"
#include "render/render.h"
#include "render/view.h"
#include "shell/settings.h"
#include "sim/obj.h"
#include "terrain_write.h"
#include "world/level.h"
#include "world/terrain.h"
#include "world/terrain_draw.h"

namespace {

struct SampleTerrain {
    MkTerrain t;
    MkTerrainLevel level;
    SampleTerrain() {
        mkdata_TerrainMake(&t);
        depth_Level = DepthLevel{};
        mkdata_TerrainInstall(t, &level);
    }
    ~SampleTerrain() {
        depth_Level = DepthLevel{};
        depth_Level.heightMap = depth_FlatHeights();
        depth_Level.waterMap = depth_DryWater();
    }
};

TEST(TerrainFrame, GroundFillsTheLowerHalf) {
    SampleTerrain terrain;
    std::vector<uint8_t> screen(640 * 480, 0);
    _DRAW_SURFACE surface{};
    draw_InitSurfaceDesc(&surface, screen.data(), 640, 480, 1);
    draw_SelectSurface(&surface);
    poly_SetPixelMode(POLY_MODE_8);
    // The ground is shaded: an identity shade table keeps every tile colour.
    std::vector<uint8_t> shades(32 * 256);
    for (size_t i = 0; i < shades.size(); i++) shades[i] = (uint8_t)(i & 0xFF);
    level_ShadeTable = shades.data();
    // Tiles are textured out to the settings' default distance.
    app_Settings.TEXTURE_DISTANCE = 26;
    ObjectRecord plane{};
    plane.state = 1;
    // Over the airfield, 0x1000000 up, along the runway and across it.
    for (int32_t heading : {0x800000, 0}) {
        std::fill(screen.begin(), screen.end(), 0);
        plane.position = FixWorldPos{(uint32_t)MK_RUNWAY_CELL_X0 << 23, 0x1000000, (uint32_t)MK_RUNWAY_CELL_Z << 23};
        plane.angles = FixAngles{heading, 0, 0};
        ViewedObject = &plane;
        render_Frame();
        int64_t lower = 0, upper = 0;
        for (int y = 0; y < 480; y++)
            for (int x = 0; x < 640; x++) (y >= 240 ? lower : upper) += screen[(size_t)y * 640 + x] != 0;
        EXPECT_GT(lower, 640 * 240 * 9 / 10) << heading;
        EXPECT_LT(upper, 640 * 240 / 10) << heading;
    }
    ViewedObject = nullptr;
    level_ShadeTable = nullptr;
    draw_SelectSurface(nullptr);
}

}  // namespace
