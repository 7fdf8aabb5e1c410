// Placement and motion of object records: the frame-stamped cell grid of
// moving objects, the motion step along the attitude, the animation tick and
// the effects' ground test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "render/object.h"
#include "render/objmove.h"
#include "sim/obj.h"
#include "world/terrain.h"
#include "world/terrain_draw.h"

namespace {

TEST(FrameCellGrid, AStaleCellIsEmptiedBeforeItTakesAnObject) {
    std::vector<ObjectRecord*> heads(TERRAIN_PATCHES, nullptr);
    std::vector<uint32_t> stamps(TERRAIN_PATCHES, 0);
    const DepthLevel saved = depth_Level;
    depth_Level.dynamicHeads = heads.data();
    depth_Level.dynamicStamps = stamps.data();
    ObjectRecord a{}, b{}, c{};
    for (ObjectRecord* o : {&a, &b, &c}) o->position = FixWorldPos{5u << 25 | 0x100, 0, 7u << 25};
    const uint32_t cell = 7 * 128 + 5;
    terrain_Pass.frameStamp = 5;
    obj_FrameCellInsert(&a);
    EXPECT_EQ(heads[cell], &a);
    EXPECT_EQ(stamps[cell], 5u);
    // Next frame: last frame's object is gone from the cell.
    terrain_Pass.frameStamp = 6;
    obj_FrameCellInsert(&b);
    EXPECT_EQ(heads[cell], &b);
    EXPECT_EQ(b.freeLink, nullptr);
    obj_FrameCellInsert(&c);
    EXPECT_EQ(heads[cell], &c);
    EXPECT_EQ(c.freeLink, &b);
    depth_Level = saved;
}

TEST(ObjectMotion, StepsAlongTheAttitudeAtItsSpeed) {
    const struct {
        int32_t heading;
        int32_t x, z;  // expected direction
    } cases[] = {{0, 0, 0x10000}, {0x800000, 0x10000, 0}, {0x1000000, 0, -0x10000}};
    for (const auto& c : cases) {
        ObjectRecord o{};
        o.angles.heading = c.heading;
        o.position = FixWorldPos{0x1000000, 0x200000, 0x1000000};
        o.speed = 0x20000;
        fx_EffectThink(&o);
        EXPECT_NEAR(o.velocity.x, c.x, 4) << c.heading;
        EXPECT_NEAR(o.velocity.z, c.z, 4) << c.heading;
        EXPECT_EQ(o.motion.x, (int32_t)(((int64_t)o.velocity.x * 0x20000) >> 16));
        EXPECT_EQ((int32_t)(o.position.x - 0x1000000u), o.motion.x);
        EXPECT_EQ((int32_t)(o.position.z - 0x1000000u), o.motion.z);
    }
    // No speed: no step.
    ObjectRecord still{};
    still.position = FixWorldPos{1, 2, 3};
    still.velocity = FixVec3{0x10000, 0, 0};
    obj_MotionIntegrate(&still);
    EXPECT_EQ(still.position.x, 1u);
}

TEST(ObjectMotion, AnimationTicksEveryFourFrames) {
    ObjectRecord o{};
    o.frameCounter = 2;
    obj_FrameTick(&o);
    EXPECT_EQ(o.frame, 0);
    obj_FrameTick(&o);
    EXPECT_EQ(o.frame, 1);
    EXPECT_EQ(o.frameCounter, 4);
    for (int i = 0; i < 4; i++) obj_FrameTick(&o);
    EXPECT_EQ(o.frame, 2);
}

TEST(ObjectMotion, EffectsMeetTheGround) {
    const DepthLevel saved = depth_Level;
    std::vector<uint8_t> heights(512 * 512, 8);
    depth_Level.heightMap = heights.data();
    ObjectRecord o{};
    o.position = FixWorldPos{0x3000000, 0, 0x3000000};
    const int32_t ground = terrain_HeightBilinear(&o.position);
    ASSERT_GT(ground, 0);
    const struct {
        int32_t above;
        int32_t hit;
    } cases[] = {{-1, 1}, {0, 1}, {1, 0}};
    for (const auto& c : cases) {
        o.position.y = (uint32_t)(ground + c.above);
        EXPECT_EQ(fx_EffectGroundTest(&o), c.hit) << c.above;
    }
    // Placed on the ground: the height under it plus the model's base.
    obj_GroundHeightSet(&o, -1);
    EXPECT_EQ(o.position.y, (uint32_t)ground);
    obj_GroundHeightSet(&o, 0x160);
    EXPECT_EQ(o.position.y, 0x16u);
    depth_Level = saved;
}

}  // namespace
