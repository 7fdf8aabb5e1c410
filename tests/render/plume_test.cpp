// The card's particle plume: emission in rings with a core, the ramp, the
// per-frame update with removal, and the records the card receives.
#include <gtest/gtest.h>

#include <vector>

#include "base/math.h"
#include "display/hw3d.h"
#include "display/hw3d_draw.h"
#include "render/fx.h"
#include "render/view.h"
#include "sim/obj.h"

namespace {

std::vector<_HW3D_PARTICLE> g_records;
int32_t g_stride = 0;
void Records(const void* records, int32_t count, int32_t size) {
    g_stride = size;
    const auto* p = static_cast<const _HW3D_PARTICLE*>(records);
    g_records.assign(p, p + count);
}

class PlumeTest : public ::testing::Test {
protected:
    _HW3D_DESCRIPTOR saved{};
    ObjectRecord aircraft{};

    void SetUp() override {
        saved = hw3d_Descriptor;
        hw3d_Descriptor = _HW3D_DESCRIPTOR{};
        hw3d_Descriptor.recordList = Records;
        hw3d_Active = 1;
        g_records.clear();
        g_stride = 0;
        math_RandomReset();
        fx_PlumeReset();
        fx_Plume.ramp = 1000;  // every particle starts with some intensity
        aircraft.viewPosition = {0, 0, 0x400000};
    }
    void TearDown() override {
        hw3d_Active = 0;
        hw3d_Descriptor = saved;
        fx_PlumeReset();
    }
};

TEST_F(PlumeTest, FourRingsOfTenAndACoreEachGoToTheCard) {
    fx_PlumeFrame(&aircraft);
    ASSERT_EQ(fx_Plume.count, 44);
    ASSERT_EQ(g_records.size(), 44u);
    EXPECT_EQ(g_stride, 76);
    int32_t cores = 0;
    for (const _HW3D_PARTICLE& r : g_records) {
        EXPECT_EQ(r.active, 1);
        cores += r.core;
        EXPECT_EQ(r.size, r.core ? 0x4000 : 10240);
        EXPECT_EQ(r.life, r.core ? 499 : 999);  // one update already ran
        EXPECT_LE(r.vz, -5120);
        EXPECT_GT(r.vz, -5120 - 64);
        // Behind the aircraft, in front of the camera: on the screen.
        EXPECT_GT(r.radius, 0);
    }
    EXPECT_EQ(cores, 4);
}

TEST_F(PlumeTest, EmissionStopsAtTheCapacity) {
    fx_Plume.capacity = 50;
    for (int32_t f = 0; f < 3; f++) {
        fx_PlumeFrame(&aircraft);
        EXPECT_LE(fx_Plume.count, 50);
    }
    EXPECT_EQ(fx_Plume.count, 50);
}

TEST_F(PlumeTest, TheRampRisesOrFallsOnlyWhileEnabled) {
    struct Case {
        int32_t enabled, fading, start, after;
    } cases[] = {
        {0, 0, 1000, 1000}, {1, 0, 1000, 1128}, {1, 0, 4600, 4608}, {1, 1, 1000, 872}, {1, 1, 100, 0},
    };
    for (const Case& c : cases) {
        fx_PlumeReset();
        fx_Plume.enabled = c.enabled, fx_Plume.fading = c.fading, fx_Plume.ramp = c.start;
        fx_PlumeFrame(&aircraft);
        EXPECT_EQ(fx_Plume.ramp, c.after) << c.start;
    }
}

TEST_F(PlumeTest, SpentParticlesLeaveAndTheLastTakesTheirSlot) {
    fx_Plume.capacity = 3;
    fx_PlumeFrame(&aircraft);  // three ring particles
    ASSERT_EQ(fx_Plume.count, 3);
    const FxPlumeEmitter::Particle last = fx_Plume.particles[2];
    fx_Plume.particles[0].life = 1;
    fx_Plume.capacity = 2;  // nothing new
    fx_PlumeFrame(&aircraft);
    ASSERT_EQ(fx_Plume.count, 2);
    EXPECT_EQ(fx_Plume.particles[0].life, last.life - 1);
    EXPECT_EQ(fx_Plume.particles[0].intensity, last.intensity - 80);
    // A core below intensity 4096 loses two alpha a frame; no alpha goes
    // below 0 (the particle goes instead).
    fx_PlumeReset();
    fx_Plume.capacity = 11;
    fx_PlumeFrame(&aircraft);
    FxPlumeEmitter::Particle& core = fx_Plume.particles[10];
    ASSERT_EQ(core.core, 1);
    core.intensity = 1000;
    const int32_t alpha = core.alpha;
    fx_PlumeFrame(&aircraft);
    EXPECT_EQ(fx_Plume.particles[10].alpha, alpha - 2);
}

}  // namespace
