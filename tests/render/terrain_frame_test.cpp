// The flight frame over the sample terrain: the terrain pass from the
// camera fills its triangles with their tiles, ground below the horizon and
// nothing above it, in 8 and 16 bits.
#include "frame_fixture.h"

namespace {

TEST_F(FrameTest, GroundFillsTheLowerHalf) {
    SampleTerrain terrain;
    for (int32_t bytes : {1, 2}) {
        Open(bytes);
        ObjectRecord plane{};
        plane.state = 1;
        // Over the airfield, 0x1000000 up, along the runway and across it.
        for (int32_t heading : {0x800000, 0}) {
            FillScreen(0);
            otw_UnlockSurface();
            plane.position = FixWorldPos{(uint32_t)MK_RUNWAY_CELL_X0 << 23, 0x1000000, (uint32_t)MK_RUNWAY_CELL_Z << 23};
            plane.angles = FixAngles{heading, 0, 0};
            ViewedObject = &plane;
            Camera(plane);
            render_Frame();
            int64_t upper, lower;
            Halves(LastFrame(), &upper, &lower);
            EXPECT_GT(lower, 640 * 240 * 9 / 10) << bytes << " " << heading;
            EXPECT_LT(upper, 640 * 240 / 10) << bytes << " " << heading;
        }
        ViewedObject = nullptr;
    }
}

}  // namespace
