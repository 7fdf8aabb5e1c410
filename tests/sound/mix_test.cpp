// The mixer: sample conversion, voice allocation, gains, the per-frame mix,
// the stream ring and the silence flag.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <string>
#include <vector>

#include "base/le.h"
#include "sound/mix.h"
#include "sound_fixture.h"

namespace {

// ---- Conversion ---------------------------------------------------------------

TEST(MixConvert, SixteenBitFramesNormaliseToTheirPeak) {
    struct Case {
        const char* name;
        std::vector<int16_t> in;
        std::vector<uint8_t> out;
    } cases[] = {
        {"full scale", {32767, -32767, 0, 16384}, {255, 1, 128, 191}},
        {"half-scale peak reaches 1..255", {16384, -16384, 8192, 0}, {255, 1, 191, 128}},
        {"most negative value", {-32768, 0, 100}, {1, 128, 128}},
        {"all zero is silence", {0, 0, 0, 0}, {128, 128, 128, 128}},
    };
    for (const Case& c : cases) {
        auto s = test_SampleFromWave(mkdata_WaveBuild(16, 22050, c.in));
        ASSERT_NE(s->sample, nullptr) << c.name;
        EXPECT_EQ(memcmp(s->sample->header, "SAMP", 4), 0) << c.name;
        ASSERT_EQ(mix_SampleLength(s->sample), c.out.size()) << c.name;
        std::vector<uint8_t> got(mix_SampleFrames(s->sample), mix_SampleFrames(s->sample) + c.out.size());
        EXPECT_EQ(got, c.out) << c.name;
        EXPECT_EQ(s->sample->header[12], 0) << c.name;
        EXPECT_EQ(s->sample->header[13], 1) << c.name;
    }
}

TEST(MixConvert, RateWordAndEightBitData) {
    struct Case {
        int32_t bits;
        uint32_t rate;
        uint32_t word;
    } cases[] = {
        {8, 22050, 0x10000000}, {16, 22050, 0x10000000}, {8, 11025, 0x08000000},
        {16, 44100, 0x20000000}, {8, 8000, 0x05000000},   // steps of 22050/16 Hz
    };
    for (const Case& c : cases) {
        std::vector<int16_t> frames = {-256, 0, 256, 127 * 256};
        auto s = test_SampleFromWave(mkdata_WaveBuild(c.bits, c.rate, frames));
        ASSERT_NE(s->sample, nullptr) << c.rate;
        EXPECT_EQ(mix_SampleRateWord(s->sample), c.word) << c.rate;
        if (c.bits == 8) {
            // Moved down unchanged.
            const uint8_t* f = mix_SampleFrames(s->sample);
            EXPECT_EQ(std::vector<uint8_t>(f, f + 4), (std::vector<uint8_t>{127, 128, 129, 255}));
        }
    }
}

TEST(MixConvert, RefusedImagesAreLeftAsTheyWere) {
    std::vector<int16_t> four = {1000, -1000, 500, 0};
    auto wave = [&](auto edit) {
        std::vector<uint8_t> w = mkdata_WaveBuild(16, 22050, four);
        edit(w);
        return w;
    };
    auto put16 = [](std::vector<uint8_t>& w, size_t at, uint16_t v) {
        w[at] = (uint8_t)v;
        w[at + 1] = (uint8_t)(v >> 8);
    };
    auto put32 = [](std::vector<uint8_t>& w, size_t at, uint32_t v) {
        for (int i = 0; i < 4; i++) w[at + i] = (uint8_t)(v >> (8 * i));
    };
    struct Case {
        const char* name;
        std::vector<uint8_t> image;
    } cases[] = {
        {"shorter than the header", wave([](auto& w) { w.resize(40); })},
        {"shorter than header and data", wave([](auto& w) { w.pop_back(); })},
        {"data size beyond the image", wave([&](auto& w) { put32(w, 40, 0xFFFFFFF0u); })},
        {"not RIFF", wave([](auto& w) { w[0] = 'X'; })},
        {"no data chunk there", wave([](auto& w) { w[36] = 'L'; })},
        {"not PCM", wave([&](auto& w) { put16(w, 20, 3); })},
        {"stereo", wave([&](auto& w) { put16(w, 22, 2); })},
        {"24 bits", wave([&](auto& w) { put16(w, 34, 24); })},
        {"rate word would be 0", wave([&](auto& w) { put32(w, 24, 1000); })},
        {"rate word would overflow", wave([&](auto& w) { put32(w, 24, 400000); })},
        {"zero length", mkdata_WaveBuild(8, 22050, {})},
        {"one frame", mkdata_WaveBuild(8, 22050, {0})},
        {"converted, length past the block", wave([&](auto& w) {
             memcpy(w.data(), "SAMP", 4);
             put32(w, 4, (uint32_t)w.size());
         })},
        {"converted, zero rate word", wave([&](auto& w) {
             memcpy(w.data(), "SAMP", 4);
             put32(w, 4, 4);
             put32(w, 8, 0);
         })},
    };
    for (Case& c : cases) {
        std::vector<uint8_t> before = c.image;
        EXPECT_EQ(snd_SampleConvert(c.image.data(), (uint32_t)c.image.size()), nullptr) << c.name;
        EXPECT_EQ(c.image, before) << c.name;
    }
    EXPECT_EQ(snd_SampleConvert(nullptr, 100), nullptr);
}

TEST(MixConvert, AConvertedSampleIsNotConvertedAgain) {
    auto s = test_SampleFromWave(mkdata_WaveBuild(16, 22050, {32767, 0, -32767}));
    ASSERT_NE(s->sample, nullptr);
    std::vector<uint8_t> once = s->block;
    EXPECT_EQ(snd_SampleConvert(s->block.data(), (uint32_t)s->block.size()), s->sample);
    EXPECT_EQ(s->block, once);
}

// ---- Pan table ----------------------------------------------------------------

TEST(MixPan, TellingRows) {
    struct Row {
        int index, left, right;
    } rows[] = {{0, 63, 64},    {4, 67, 60},    {64, 127, 0},   {65, 125, -2},  {127, 64, -63},
                {128, 64, -63}, {129, -63, 64}, {192, 0, 127},  {193, 2, 125},  {255, 63, 64}};
    for (const Row& r : rows) {
        EXPECT_EQ(mix_PanTable[r.index][1], r.left) << r.index;
        EXPECT_EQ(mix_PanTable[r.index][0], r.right) << r.index;
    }
    // The front half always sums to 127.
    for (int i = 0; i <= 64; i++) EXPECT_EQ(mix_PanTable[i][0] + mix_PanTable[i][1], 127) << i;
    for (int i = 192; i <= 255; i++) EXPECT_EQ(mix_PanTable[i][0] + mix_PanTable[i][1], 127) << i;
}

// ---- Voices ---------------------------------------------------------------------

class MixTest : public ::testing::Test {
protected:
    void SetUp() override { test_MixReset(); }
    void TearDown() override { test_MixReset(); }
};

TEST_F(MixTest, AFixedVoiceSetMixesToAGoldenBlock) {
    auto plus10 = test_Constant8(138, 1000);
    auto minus20 = test_Constant8(108, 1000);
    // Full left at full volume: gains 126, 0. Behind at volume 200: 49, -50.
    ASSERT_NE(mix_VoiceStart(plus10->sample, 64, 255, 0, 0), 0u);
    ASSERT_NE(mix_VoiceStart(minus20->sample, 128, 200, 0, 0), 0u);
    EXPECT_EQ(mix_RequestBank[0].leftGain, 126);
    EXPECT_EQ(mix_RequestBank[0].rightGain, 0);
    EXPECT_EQ(mix_RequestBank[1].leftGain, 49);
    EXPECT_EQ(mix_RequestBank[1].rightGain, -50);
    std::vector<int16_t> out = test_Mix(5);
    // Each frame starts from a quarter of the one before.
    std::vector<int16_t> golden = {280, 1000, 350, 1250, 367, 1312, 371, 1328, 372, 1332};
    EXPECT_EQ(out, golden);
    // The carried values go on into the next block.
    EXPECT_EQ(test_Mix(1), (std::vector<int16_t>{373, 1333}));
}

TEST_F(MixTest, PitchSetsTheStep) {
    struct Case {
        uint32_t rate;
        int32_t pitch;
        uint32_t step;
        int32_t framesPlaying;  // frames mixed while the voice still plays
    } cases[] = {
        {22050, 0, 1024, 98},        // 100 frames: the first output frame is the second sample frame
        {22050, 0x10000, 1024, 98},
        {22050, 0x20000, 2048, 49},  // an octave up
        {11025, 0, 512, 197},
    };
    for (const Case& c : cases) {
        test_MixReset();
        auto s = test_Constant8(200, 100, c.rate);
        ASSERT_NE(mix_VoiceStart(s->sample, 0, 255, c.pitch, 0), 0u);
        EXPECT_EQ(mix_RequestBank[0].step, c.step) << c.rate << " " << c.pitch;
        test_Mix(c.framesPlaying);
        EXPECT_EQ(mix_VoiceIsPlaying(0), 1) << c.rate << " " << c.pitch;
        test_Mix(1);
        EXPECT_EQ(mix_VoiceIsPlaying(0), 0) << c.rate << " " << c.pitch;
    }
}

TEST_F(MixTest, TheTwentyFifthStartInOneBlockGetsNoVoice) {
    auto s = test_Constant8(140, 5000);
    std::vector<uint32_t> keys;
    for (int i = 0; i < MIX_VOICES; i++) {
        uint32_t k = mix_VoiceStart(s->sample, 0, 100, 0, 0);
        ASSERT_NE(k, 0u) << i;
        EXPECT_EQ(mix_RequestBank[i].key, k);
        keys.push_back(k);
    }
    EXPECT_EQ(mix_VoiceStart(s->sample, 0, 255, 0, 0), 0u);
    for (size_t i = 1; i < keys.size(); i++) EXPECT_GT(keys[i], keys[i - 1]);
}

TEST_F(MixTest, ALouderStartReplacesTheFirstQuieterVoice) {
    auto s = test_Constant8(140, 50000);
    for (int i = 0; i < MIX_VOICES; i++) {
        int32_t volume = i == 5 ? 50 : i == 9 ? 40 : 100;
        ASSERT_NE(mix_VoiceStart(s->sample, 0, volume, 0, 0), 0u);
    }
    test_Mix(10);  // all playing now
    // No louder than any playing voice: nothing.
    EXPECT_EQ(mix_VoiceStart(s->sample, 0, 40, 0, 0), 0u);
    uint32_t k = mix_VoiceStart(s->sample, 0, 80, 0, 0);
    ASSERT_NE(k, 0u);
    EXPECT_EQ(mix_RequestBank[5].key, k);
    // Voice 5 has a request now; the next goes to voice 9.
    uint32_t k2 = mix_VoiceStart(s->sample, 0, 80, 0, 0);
    EXPECT_EQ(mix_RequestBank[9].key, k2);
    EXPECT_EQ(mix_VoiceStart(s->sample, 0, 80, 0, 0), 0u);
}

TEST_F(MixTest, ReservedVoicesAreNeverChosen) {
    auto s = test_Constant8(140, 50000);
    for (int v = 0; v < 6; v++) mix_VoiceReserve(v, 1);
    for (int i = 0; i < MIX_VOICES - 6; i++) {
        ASSERT_NE(mix_VoiceStart(s->sample, 0, 255, 0, 0), 0u);
        EXPECT_EQ(mix_RequestBank[6 + i].state.load(), 1);
    }
    test_Mix(4);
    // Idle reserved voices are not taken, neither by a louder start.
    EXPECT_EQ(mix_VoiceStart(s->sample, 0, 255, 0, 0), 0u);
    for (int v = 0; v < 6; v++) EXPECT_EQ(mix_RequestBank[v].state.load(), 0);
    // Named starts and chains still use them.
    EXPECT_NE(mix_VoiceStartOn(2, s->sample, 0, 100, 0, 0), 0u);
    EXPECT_EQ(mix_VoiceStartOn(2, s->sample, 0, 100, 0, 0), 0u);  // already pending
    EXPECT_NE(mix_VoiceChain(3, s->sample, 0, 100, 0), 0u);
}

TEST_F(MixTest, TheSilenceFlagFreezesEverything) {
    auto ramp = [] {
        std::vector<uint8_t> b;
        for (int i = 0; i < 3000; i++) b.push_back((uint8_t)(60 + (i * 7) % 140));
        return test_Sample8(b);
    }();
    // Reference: mixed without a pause.
    mix_VoiceStart(ramp->sample, 30, 200, 0x18000, 0);
    std::vector<int16_t> a = test_Mix(100), b = test_Mix(100);
    test_MixReset();

    mix_VoiceStart(ramp->sample, 30, 200, 0x18000, 0);
    EXPECT_EQ(test_Mix(100), a);
    int32_t position = mix_PlayingBank[0].position;
    int32_t streamPosition = mix_StreamVoice.position;
    mix_OutputSilence.store(1);
    EXPECT_EQ(test_Mix(500), std::vector<int16_t>(1000, 0));
    EXPECT_EQ((int32_t)mix_PlayingBank[0].position, position);
    EXPECT_EQ((int32_t)mix_StreamVoice.position, streamPosition);
    mix_OutputSilence.store(0);
    // Every voice resumes where it was.
    EXPECT_EQ(test_Mix(100), b);
}

TEST_F(MixTest, SumsClipAtPlusAndMinus32767) {
    auto low = test_Constant8(0, 1000);
    auto high = test_Constant8(255, 1000);
    for (int i = 0; i < 12; i++) mix_VoiceStart(low->sample, 0, 255, 0, 0);
    std::vector<int16_t> out = test_Mix(3);
    EXPECT_EQ(out, std::vector<int16_t>(6, -32767));
    test_MixReset();
    for (int i = 0; i < 12; i++) mix_VoiceStart(high->sample, 0, 255, 0, 0);
    EXPECT_EQ(test_Mix(3), std::vector<int16_t>(6, 32767));
}

TEST_F(MixTest, UpdateKeepsThePhaseThroughTheRear) {
    auto s = test_Constant8(150, 50000);
    uint32_t k = mix_VoiceStart(s->sample, 120, 255, 0, 0);  // behind on the left: 63, -63
    test_Mix(2);
    EXPECT_EQ(mix_PlayingBank[0].leftGain, 63);
    EXPECT_EQ(mix_PlayingBank[0].rightGain, -63);
    // Behind on the right is -63, 63; its negation differs in sign nowhere.
    EXPECT_EQ(mix_VoiceUpdate(k, 136, -1, -1), k);
    EXPECT_EQ(mix_PlayingBank[0].leftGain, 63);
    EXPECT_EQ(mix_PlayingBank[0].rightGain, -63);
    EXPECT_EQ(mix_PlayingBank[0].updated.load(), 1);
    EXPECT_EQ(mix_PlayingBank[0].pan, 120u);  // the start's values stay stored
    // Ahead at half volume: no sign changes, taken as it is; pitch sets the step.
    EXPECT_EQ(mix_VoiceUpdate(k, 0, 128, 0x8000), k);
    EXPECT_EQ(mix_PlayingBank[0].leftGain, (63 * 128 * 255) >> 16);
    EXPECT_EQ(mix_PlayingBank[0].rightGain, (64 * 128 * 255) >> 16);
    EXPECT_EQ(mix_PlayingBank[0].step, 512u);
    test_Mix(1);
    EXPECT_EQ(mix_PlayingBank[0].updated.load(), 0);
    // A key only requested is reported but not changed; an unknown one is 0.
    uint32_t pending = mix_VoiceStart(s->sample, 0, 255, 0, 0);
    EXPECT_EQ(mix_VoiceUpdate(pending, 64, 10, -1), pending);
    EXPECT_EQ(mix_RequestBank[1].leftGain, 62);
    EXPECT_EQ(mix_VoiceUpdate(pending + 100, 0, 0, 0), 0u);
}

TEST_F(MixTest, StopPlaysSilenceThenFrees) {
    auto s = test_Constant8(200, 50000);
    uint32_t k = mix_VoiceStart(s->sample, 0, 255, 0, 0);
    test_Mix(10);
    EXPECT_EQ(mix_VoiceFind(k), k);
    EXPECT_EQ(mix_CountSampleVoices(s->sample), 1);

    // A key that plays nowhere changes nothing.
    mix_VoiceStop(k + 1);
    mix_VoiceStop(0);
    for (int v = 0; v < MIX_VOICES; v++) EXPECT_EQ(mix_RequestBank[v].state.load(), 0);

    mix_VoiceStop(k);
    EXPECT_EQ(mix_RequestBank[0].state.load(), 1);
    std::vector<int16_t> out = test_Mix(1022);
    EXPECT_EQ(mix_VoiceFind(k), 0u);
    EXPECT_EQ(mix_CountSampleVoices(s->sample), 0);
    EXPECT_EQ(mix_VoiceIsPlaying(0), 1);  // the stop's silence
    EXPECT_EQ(out[2 * 1021], 0);
    test_Mix(1);
    EXPECT_EQ(mix_VoiceIsPlaying(0), 0);
}

TEST_F(MixTest, AChainLoopsOnAnIdleVoiceAtOnce) {
    auto s = test_Constant8(138, 300);
    mix_VoiceReserve(7, 1);
    uint32_t k = mix_VoiceChain(7, s->sample, 0, 255, 0);
    ASSERT_NE(k, 0u);
    std::vector<int16_t> out = test_Mix(2000);
    // From the first frame on, and still after several lengths of the sample.
    EXPECT_EQ(out[0], 10 * 62);
    EXPECT_EQ(out[1], 10 * 63);
    EXPECT_EQ(out[2 * 1999], out[2 * 1998] / 4 + 620);
    EXPECT_EQ(mix_PlayingBank[7].key, k);
    EXPECT_EQ(mix_FollowOnBank[7].key, k);
    EXPECT_EQ(mix_VoiceUpdateOn(7, 64, -1, -1), k);
    EXPECT_EQ(mix_VoiceFind(k), k);
    mix_VoiceStopOn(7);
    test_Mix(1100);
    EXPECT_EQ(mix_VoiceFind(k), 0u);
    std::vector<int16_t> after = test_Mix(8);
    EXPECT_EQ(after[14], 0);
}

TEST_F(MixTest, AShortLoopWrapsItsRandomStartInsideTheSample) {
    // Shorter than the random start of up to 255 frames: every start stays
    // inside the sample, so the loop only ever reads its own frames.
    auto s = test_Constant8(138, 5);
    for (int32_t v = 0; v < MIX_VOICES; v++) mix_VoiceChain(v, s->sample, 64, 10, 0x30000);
    for (int round = 0; round < 20; round++) {
        std::vector<int16_t> out = test_Mix(500);
        for (int f = 0; f < 500; f++) ASSERT_EQ(out[2 * f + 1], 0) << f;  // full left
        if (round > 0) {
            for (int f = 0; f < 500; f++) ASSERT_EQ(out[2 * f], 24 * 10 * 4 + 319) << f;
        }
    }
}

TEST_F(MixTest, TheMainThreadPostsWhileAnotherThreadMixes) {
    auto a = test_Constant8(180, 3000);
    auto b = test_Constant8(90, 700);
    std::vector<uint8_t> stream(512, 150);
    std::atomic<bool> done{false};
    std::thread mixer([&] {
        std::vector<int16_t> out(2 * 441);
        while (!done.load()) mix_MixBlock(out.data(), 441);
    });
    uint32_t keys[8] = {};
    for (int i = 0; i < 3000; i++) {
        keys[i % 8] = mix_VoiceStart(i % 3 ? a->sample : b->sample, i & 255, i % 256, i % 5 ? 0 : 0x20000, 0);
        mix_VoiceUpdate(keys[(i + 3) % 8], (i * 7) & 255, -1, -1);
        if (i % 7 == 0) mix_VoiceStop(keys[(i + 5) % 8]);
        if (i % 11 == 0) mix_VoiceChain(i % MIX_VOICES, a->sample, 0, 100, 0);
        if (i % 13 == 0) mix_VoiceStopOn((i + 1) % MIX_VOICES);
        mix_StreamQueue(stream.data(), (uint32_t)stream.size(), 1, 2);
        if (i % 97 == 0) mix_StreamStop();
        if (i % 101 == 0) mix_StopAll();
    }
    done.store(true);
    mixer.join();
    // After a stop-all nothing the main thread posted before it is left.
    mix_StopAll();
    // (A negative remainder stays at -1: a quarter of -1 is -1.)
    std::vector<int16_t> out = test_Mix(2000);
    EXPECT_GE(out[3998], -1);
    EXPECT_LE(out[3998], 0);
    for (int32_t v = 0; v < MIX_VOICES; v++) EXPECT_EQ(mix_VoiceIsPlaying(v), 0);
}

TEST_F(MixTest, TheEndHookGetsTheFlagsWordOnce) {
    static std::vector<uint32_t> reported;
    reported.clear();
    mix_SetEndHook([](uint32_t flags) { reported.push_back(flags); });
    auto s = test_Constant8(150, 50);
    mix_VoiceStart(s->sample, 0, 255, 0, 0x80001234u);
    mix_VoiceStart(s->sample, 0, 255, 0, 0);  // flags 0: not reported
    test_Mix(200);
    EXPECT_EQ(reported, (std::vector<uint32_t>{0x80001234u}));
}

TEST_F(MixTest, VoiceDumpLine) {
    auto s = test_Constant8(150, 500);
    mix_VoiceStart(s->sample, 0, 255, 0, 0);
    char line[128];
    mix_VoiceDump(0, line, sizeof line);
    char want[128];
    snprintf(want, sizeof want, " 0:  REQUEST 1 - %8X    PLAYING 0 - %8X",
             (unsigned)(uint32_t)(uintptr_t)(mix_SampleFrames(s->sample) + 500),
             (unsigned)(uint32_t)(uintptr_t)(mix_SilenceFrames + 1024));
    EXPECT_STREQ(line, want);
    char tiny[8];
    mix_VoiceDump(0, tiny, sizeof tiny);
    EXPECT_EQ(strlen(tiny), 7u);
}

// ---- Stream ---------------------------------------------------------------------

TEST_F(MixTest, AnEmptyRingRetriesEvery256Frames) {
    std::vector<uint8_t> block(400);
    for (size_t i = 0; i < block.size(); i += 2) {
        block[i] = 132;      // left +4
        block[i + 1] = 124;  // right -4
    }
    std::vector<int16_t> first = test_Mix(300);
    EXPECT_EQ(first, std::vector<int16_t>(600, 0));
    ASSERT_EQ(mix_StreamQueue(block.data(), (uint32_t)block.size(), 0, 1), 1);
    EXPECT_EQ(mix_StreamCount(), 1);
    // The silence taken at frame 256 runs until frame 512.
    std::vector<int16_t> out = test_Mix(300);
    for (int f = 0; f < 211; f++) ASSERT_EQ(out[2 * f], 0) << f;
    EXPECT_EQ(out[2 * 211], 4 * 127);
    EXPECT_EQ(out[2 * 211 + 1], -4 * 63);
    EXPECT_EQ(mix_StreamCount(), 0);
}

TEST_F(MixTest, StreamRingFillsAndStops) {
    std::vector<uint8_t> block(64, 140);
    EXPECT_EQ(mix_StreamQueue(block.data(), 1, 0, 0), 0);  // not a frame pair
    EXPECT_EQ(mix_StreamQueue(nullptr, 64, 0, 0), 0);
    int queued = 0;
    while (mix_StreamQueue(block.data(), 64, 0, 0)) queued++;
    // The two records ahead of the write index stay free.
    EXPECT_EQ(queued, 14);
    EXPECT_EQ(mix_StreamCount(), 14);
    mix_StreamVolume = 100;
    EXPECT_EQ(mix_StreamSetVolume(), 1);
    EXPECT_EQ(mix_StreamRing[0].leftGain, 50);
    EXPECT_EQ(mix_StreamRing[0].rightGain, 50);
    mix_StreamStop();
    EXPECT_EQ(mix_StreamCount(), 0);
    for (const MixVoice& r : mix_StreamRing) EXPECT_EQ(r.state.load(), 0);
    EXPECT_EQ(test_Mix(600), std::vector<int16_t>(1200, 0));
    EXPECT_EQ(mix_OutputSilence.load(), 0);
}

}  // namespace
