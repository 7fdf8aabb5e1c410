// Positional sources: audibility at the radius and loudness limits, the
// loudest holding the voices and handing them over, restarts on a new
// sample, Doppler pitch, removal and the table's ids.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "output_fixture.h"
#include "sound_fixture.h"

namespace {

int32_t Flat(int32_t) { return 255; }
int32_t Loud(int32_t) { return 256; }
int32_t Bearing(int32_t, int32_t, int32_t, int32_t) { return 77; }

int g_starts = 0;
int32_t g_startUser = 0;
void Started(int32_t one, int32_t user, int32_t) {
    if (one == 1) g_starts++;
    g_startUser = user;
}

class SourceTest : public SoundOutputTest {
protected:
    std::unique_ptr<TestSample> a = test_Constant8(200, 4000);
    std::unique_ptr<TestSample> b = test_Constant8(60, 4000);
    MixSourceTable& T = mix_SourceTable;

    void SetUp() override {
        SoundOutputTest::SetUp();
        mix_SourcesInit(6, 8, Flat, Bearing, Started);
        g_starts = 0;
    }
    int32_t Add(int32_t x, int32_t y, int32_t z, uint8_t volume, int32_t radius = 0x100000, uint8_t flags = 0,
                MixSample* sample = nullptr) {
        MixSourceDesc d = {};
        d.x = x, d.y = y, d.z = z;
        d.sample = sample ? sample : a->sample;
        d.radius = radius;
        d.pitch = 0x10000;
        d.volume = volume;
        d.maxVolume = 255;
        d.flags = flags;
        d.user = 1000 + volume;
        return mix_SourceAdd(&d);
    }
    std::set<int32_t> Held(void) const {
        std::set<int32_t> ids;
        for (int32_t v = 0; v < T.voiceCount; v++)
            if (T.voices[v]) ids.insert(T.voices[v]);
        return ids;
    }
};

TEST_F(SourceTest, AudibleUpToItsRadiusOnEveryAxis) {
    struct Case {
        int32_t x, y, z;
        bool audible;
    } cases[] = {
        {1000, 0, 0, true},   {1001, 0, 0, false},  {0, 1000, 0, true},    {0, 0, 1001, false},
        {-1001, 0, 0, true},  {-1002, 0, 0, false},  // a negative offset counts one less
        {0, 0, -1001, true},  {1000, 1000, 0, false},  // 1000 + 5/16 of 1000 is beyond the radius
        {700, 300, 0, true},  {768, 0, 0, true},
    };
    for (const Case& c : cases) {
        mix_SourcesInit(6, 8, Flat, Bearing, nullptr);
        Add(c.x, c.y, c.z, 255, 1000);
        mix_SourcesAssign();
        EXPECT_EQ(T.audibleCount, c.audible ? 1 : 0) << c.x << "," << c.y << "," << c.z;
    }
    // The listener's position counts, wrapping like the world.
    mix_SourcesInit(6, 8, Flat, Bearing, nullptr);
    Add(INT32_MIN + 500, 0, 0, 255, 1000);
    FixVec3 listener = {INT32_MAX - 499, 0, 0};
    mix_SourcesListener(&listener, nullptr);
    mix_SourcesAssign();
    EXPECT_EQ(T.audibleCount, 1);
}

TEST_F(SourceTest, LoudnessBelowEightIsNotHeard) {
    struct Case {
        uint8_t volume, maxVolume;
        int32_t (*attenuation)(int32_t);
        int32_t loudness;  // 0: not audible
    } cases[] = {
        {8, 255, Flat, 0},     {9, 255, Flat, 8},     {255, 7, Flat, 0},
        {255, 8, Flat, 8},     {255, 255, Loud, 254},  // a factor beyond a byte is full, not 0
        {255, 255, nullptr, 254},                      // the default at distance 0
    };
    for (const Case& c : cases) {
        mix_SourcesInit(6, 8, c.attenuation, Bearing, nullptr);
        MixSourceDesc d = {};
        d.sample = a->sample;
        d.radius = 100;
        d.volume = c.volume;
        d.maxVolume = c.maxVolume;
        mix_SourceAdd(&d);
        mix_SourcesAssign();
        ASSERT_EQ(T.audibleCount, c.loudness ? 1 : 0) << (int)c.volume << " " << (int)c.maxVolume;
        if (c.loudness) {
            EXPECT_EQ(T.audible[0].loudness, c.loudness);
        }
    }
    // Muted and silent sources are never heard.
    mix_SourcesInit(6, 8, Flat, Bearing, nullptr);
    Add(0, 0, 0, 255, 100, MIX_SOURCE_MUTED);
    MixSourceDesc silent = {};
    silent.radius = 100;
    silent.volume = silent.maxVolume = 255;
    mix_SourceAdd(&silent);
    mix_SourcesAssign();
    EXPECT_EQ(T.audibleCount, 0);
}

TEST_F(SourceTest, TheLoudestHoldTheVoicesAndHandThemOver) {
    int32_t ids[10];
    for (int i = 0; i < 10; i++) ids[i] = Add(i * 10, 0, 0, (uint8_t)(100 + 10 * i), 0x100000, MIX_SOURCE_NOTIFY);
    mix_SourcesAssign();
    EXPECT_EQ(T.audibleCount, 10);
    EXPECT_EQ(Held(), std::set<int32_t>(ids + 2, ids + 10));
    EXPECT_EQ(T.voices[7], ids[9]);  // the loudest takes the last slot
    EXPECT_EQ(g_starts, 8);
    // Each chained on its voice with its direction and loudness.
    EXPECT_EQ((uint32_t)mix_FollowOnRequestBank[13].pan, 77u);
    EXPECT_EQ((uint32_t)mix_FollowOnRequestBank[13].volume, (uint32_t)((190 * 255) >> 8));
    Step();
    EXPECT_FALSE(Silent());

    // The loudest falls silent: its voice stops and goes to the loudest
    // source still waiting.
    MixSourceDesc mute = {};
    mute.id = ids[9];
    mute.flags = MIX_SOURCE_MUTED;
    mute.updateMask = MIX_UPDATE_FLAGS;
    ASSERT_EQ(mix_SourceUpdate(&mute), ids[9]);
    mix_SourcesAssign();
    std::set<int32_t> expect(ids + 1, ids + 9);
    EXPECT_EQ(Held(), expect);
    EXPECT_EQ(T.voices[7], ids[1]);
    EXPECT_EQ(g_starts, 9);
    EXPECT_EQ(g_startUser, 1110);
    // The passes keep the holders' voices current.
    Step();
    mix_SourcesAssign();
    EXPECT_EQ(Held(), expect);
    EXPECT_EQ(g_starts, 9);
}

TEST_F(SourceTest, TheAssignmentRunsEveryFourthListenerUpdate) {
    Add(5000, 0, 0, 200, 0x100000, MIX_SOURCE_MOVES);
    T.sources[0].vx = 100;
    FixVec3 at = {0, 0, 0};
    for (int i = 0; i < 3; i++) {
        mix_SourcesListener(&at, nullptr);
        EXPECT_TRUE(Held().empty()) << i;
    }
    mix_SourcesListener(&at, nullptr);
    EXPECT_EQ(Held().size(), 1u);
    EXPECT_EQ(T.sources[0].x, 5400);  // moved at every update
    FixVec3 moved = {10, 20, 30};
    mix_SourcesListener(&moved, nullptr);
    EXPECT_EQ(T.motionX, 10);
    EXPECT_EQ(T.motionZ, 30);
    FixVec3 motion = {1, 2, 3};
    mix_SourcesListener(&moved, &motion);
    EXPECT_EQ(T.motionY, 2);
}

TEST_F(SourceTest, ANewSampleRestartsTheVoice) {
    int32_t id = Add(0, 0, 0, 200);
    mix_SourcesAssign();
    Step();
    ASSERT_EQ(T.voices[7], id);
    MixSourceDesc d = {};
    d.id = id;
    d.sample = b->sample;
    d.updateMask = MIX_UPDATE_SAMPLE;
    mix_SourceUpdate(&d);
    EXPECT_EQ(T.voices[7], -1);
    mix_SourcesAssign();
    EXPECT_EQ(T.voices[7], id);
    EXPECT_EQ(mix_FollowOnRequestBank[13].state.load(), 1);
    EXPECT_EQ((const uint8_t*)mix_FollowOnRequestBank[13].end, mix_SampleFrames(b->sample) + mix_SampleLength(b->sample));
    // The same sample again changes nothing.
    Step();
    mix_SourceUpdate(&d);
    EXPECT_EQ(T.voices[7], id);
}

TEST_F(SourceTest, DopplerPitchFallsNoLowerThanAQuarter) {
    for (int32_t speed : {300000, -300000}) {
        mix_SourcesInit(6, 8, Flat, Bearing, nullptr);
        // Receding from near, or approaching from far (never passing).
        int32_t id = Add(speed > 0 ? 1000000 : 100000000, 0, 0, 200, 0x7FFFFFFF, MIX_SOURCE_MOVES | MIX_SOURCE_DOPPLER);
        ASSERT_NE(id, 0);
        T.sources[0].vx = speed;
        FixVec3 at = {0, 0, 0};
        int32_t previous = 0x10000;
        for (int i = 0; i < 40; i++) {
            for (int k = 0; k < 4; k++) mix_SourcesListener(&at, nullptr);
            int32_t p = T.sources[0].smoothedPitch;
            if (speed > 0) {
                EXPECT_GE(p, 0x4000) << i;
                EXPECT_LE(p, previous) << i;
            } else if (i > 0) {  // the first pass starts its voice at the pitch as it is
                EXPECT_GT(p, 0x10000) << i;
            }
            previous = p;
        }
        if (speed > 0) {
            EXPECT_EQ(previous, 0x4000);
        }
    }
    // Without the flag the pitch stays.
    mix_SourcesInit(6, 8, Flat, Bearing, nullptr);
    Add(1000000, 0, 0, 200, 0x7FFFFFFF, MIX_SOURCE_MOVES);
    T.sources[0].vx = 300000;
    FixVec3 at = {0, 0, 0};
    for (int k = 0; k < 8; k++) mix_SourcesListener(&at, nullptr);
    EXPECT_EQ(T.sources[0].smoothedPitch, 0x10000);
}

TEST_F(SourceTest, RemovalMovesTheLastIntoThePlace) {
    int32_t first = Add(0, 0, 0, 100), second = Add(0, 0, 0, 150), third = Add(0, 0, 0, 200);
    EXPECT_EQ(first, 2);
    EXPECT_EQ(second, 3);
    EXPECT_EQ(third, 4);
    mix_SourcesAssign();
    Step();
    EXPECT_EQ(Held().count(first), 1u);
    EXPECT_EQ(mix_SourceRemove(first), first);
    EXPECT_EQ(T.count, 2);
    EXPECT_EQ(T.sources[0].id, third);
    EXPECT_EQ(mix_SourceRemove(first), 0);
    mix_SourcesAssign();
    EXPECT_EQ(Held(), (std::set<int32_t>{second, third}));
    // Ids are not reused until the table starts again.
    EXPECT_EQ(Add(0, 0, 0, 10), 5);
    mix_SourcesInit(6, 8, Flat, Bearing, nullptr);
    EXPECT_EQ(Add(0, 0, 0, 10), 2);
}

TEST_F(SourceTest, TheTableHoldsAtMost1024AndSortsTheLoudestFirst) {
    for (int i = 0; i < MIX_SOURCES; i++) ASSERT_NE(Add(0, 0, 0, (uint8_t)((i * 37) % 240 + 10)), 0) << i;
    EXPECT_EQ(Add(0, 0, 0, 100), 0);
    FixVec3 p = {0, 0, 0};
    EXPECT_EQ(mix_SourceAddSilent(0, 1, 100, &p, &p), 0);
    mix_SourcesAssign();
    ASSERT_EQ(T.audibleCount, MIX_SOURCE_AUDIBLE);  // the scan stops at 64
    for (int32_t k = 1; k < T.audibleCount; k++) EXPECT_GE(T.audible[k - 1].loudness, T.audible[k].loudness) << k;
    // A silent source takes its sample and volumes later.
    mix_SourcesInit(6, 8, Flat, Bearing, nullptr);
    int32_t id = mix_SourceAddSilent(0, 5, 100, &p, nullptr);
    ASSERT_NE(id, 0);
    mix_SourcesAssign();
    EXPECT_EQ(T.audibleCount, 0);
    EXPECT_EQ(mix_SourceSet(id, 0x10000, 200, 255, a->sample, nullptr, &p), id);
    EXPECT_EQ(mix_SourceSet(999, 0x10000, 200, 255, a->sample, nullptr, &p), 0);
    mix_SourcesAssign();
    EXPECT_EQ(T.audibleCount, 1);
    FixVec3 far = {1000, 0, 0};
    EXPECT_EQ(mix_SourceSetPosition(id, &far, nullptr), id);
    mix_SourcesAssign();
    EXPECT_EQ(T.audibleCount, 0);
}

}  // namespace
