// Sound output on the headless audio device: both modes, the guarded
// operations without a device, wave-out buffers coming back through the
// window, failures, and loading samples from files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/mem.h"
#include "fixtures/headless.h"
#include "fixtures/workdir.h"
#include "platform/harness.h"
#include "platform/window.h"
#include "shell/wndproc.h"
#include "sound/snd.h"
#include "sound_fixture.h"

namespace {

intptr_t TestProc(PlatHwnd hwnd, uint32_t msg, uintptr_t w, intptr_t l) {
    if (msg == MM_WOM_DONE) {
        snd_WaveOutDone();
        return 0;
    }
    return plat_DefWindowProc(hwnd, msg, w, l);
}

void Pump(void) {
    PlatMsg m;
    while (plat_PeekMessage(&m, 0, 0, 0, PM_REMOVE)) plat_DispatchMessage(&m);
}

bool AllZero(const std::vector<int16_t>& v) {
    for (int16_t x : v)
        if (x) return false;
    return true;
}

class SndTest : public ::testing::Test {
protected:
    TestWorkDir work;
    PlatHwnd hwnd = 0;
    std::vector<int16_t> block = std::vector<int16_t>(2205 * 2);

    void SetUp() override {
        unsetenv("KRX_AUDIO");
        unsetenv("KRX_AUDIODUMP");
        ASSERT_EQ(test_HeadlessStart(), 0);
        mem_HeapSizesSet(0x400000, 0x10000, 0x100000);
        ASSERT_EQ(mem_HeapInit(), 0);
        ASSERT_EQ(mem_Heap1Init(), 0);
        hwnd = plat_WindowCreate("SNDTEST", "KRX", 64, 64, TestProc, 0);
        ASSERT_NE(hwnd, 0u);
        app_MainHwnd = hwnd;
        ASSERT_TRUE(work.Enter("krx_snd"));
        test_MixReset();
    }
    void TearDown() override {
        snd_Shutdown();
        unsetenv("KRX_AUDIO");
        work.Leave();
        plat_Shutdown();
        app_MainHwnd = 0;
    }
    int32_t Step(void) { return plat_HarnessAudioStep(block.data(), 2205); }
};

TEST_F(SndTest, WithoutADeviceEveryOperationReturnsZero) {
    setenv("KRX_AUDIO", "none", 1);
    auto s = test_Constant8(200, 1000);
    test_WriteFile("S.WAV", mkdata_WaveBuild(8, 22050, std::vector<int16_t>(100, 1000)));
    for (int32_t mode : {0, 2}) {
        snd_Init(mode);
        ASSERT_EQ(snd_Running, 0) << mode;
        EXPECT_EQ(snd_VoicePlay(s->sample, 0, 255, 0), 0u);
        EXPECT_EQ(snd_VoiceStart(s->sample, 0, 255, 0, 7), 0u);
        EXPECT_EQ(snd_VoicePlayOn(3, s->sample, 0, 255, 0), 0u);
        EXPECT_EQ(snd_VoicePlayOnEx(3, s->sample, 0, 255, 0, 7), 0u);
        EXPECT_EQ(snd_VoiceFind(1), 0u);
        EXPECT_EQ(snd_VoiceStop(1), 0);
        EXPECT_EQ(snd_CountSampleVoices(s->sample), 0);
        EXPECT_EQ(snd_VoiceSetFlag(3, 1), 0);
        EXPECT_EQ(snd_SetEndHook(nullptr), 0);
        EXPECT_EQ(snd_SetStreamVolume(100), 0);
        EXPECT_EQ(snd_SampleLoad("S.WAV"), nullptr);
        snd_SetMasterVolume(10);
        snd_SetSilence(1);
        snd_SetBufferLength(5);
        snd_StopAllVoices();
        snd_WaveOutDone();
        EXPECT_EQ(mix_MasterVolume, 255);
        EXPECT_EQ(mix_OutputSilence.load(), 0);
        EXPECT_EQ(mix_PlayingBank[3].reserved.load(), 0);
        for (const MixVoice& r : mix_RequestBank) EXPECT_EQ(r.state.load(), 0);
        EXPECT_EQ(Step(), 0);
    }
}

TEST_F(SndTest, ModeZeroLetsTheDevicePullTheMixer) {
    snd_Init(0);
    ASSERT_EQ(snd_Running, 1);
    EXPECT_EQ(snd_DirectSound, 1);
    test_WriteFile("TONE.WAV", mkdata_WaveBuild(16, 22050, mkdata_WaveTone(22050, 440, 500, 20000)));
    MixSample* tone = snd_SampleLoad("TONE.WAV");
    ASSERT_NE(tone, nullptr);
    uint32_t key = snd_VoicePlay(tone, 0, 255, 0);
    ASSERT_NE(key, 0u);
    EXPECT_EQ(snd_VoiceFind(key), key);
    EXPECT_EQ(snd_CountSampleVoices(tone), 1);
    ASSERT_EQ(Step(), 2205);
    EXPECT_FALSE(AllZero(block));

    // Paused: zeros, and the voice waits.
    snd_SetSilence(1);
    int32_t position = mix_PlayingBank[0].position;
    Step();
    EXPECT_TRUE(AllZero(block));
    EXPECT_EQ((int32_t)mix_PlayingBank[0].position, position);
    snd_SetSilence(0);
    Step();
    EXPECT_FALSE(AllZero(block));

    snd_SetMasterVolume(300);
    EXPECT_EQ(mix_MasterVolume, 255);
    snd_SetMasterVolume(-5);
    EXPECT_EQ(mix_MasterVolume, 0);
    EXPECT_EQ(snd_SetStreamVolume(999), 1);
    EXPECT_EQ(mix_StreamVolume, 255);
    snd_SetBufferLength(5);  // the pulling device takes what it needs
    EXPECT_EQ(snd_BlockBytes, 8820);

    // The device pulls every fourth tick of the game clock.
    uint32_t before = plat_HarnessAudioFrames();
    for (int i = 0; i < 8; i++) plat_HarnessTimerFired(25);
    EXPECT_EQ(plat_HarnessAudioFrames(), before + 2 * 2205);

    snd_StopAllVoices();
    EXPECT_EQ(snd_VoiceFind(key), 0u);
    snd_Shutdown();
    EXPECT_EQ(snd_Running, 0);
    EXPECT_EQ(Step(), 0);
    mem_Free(tone);
}

TEST_F(SndTest, WaveOutRefillsEachBufferAsItComesBack) {
    snd_Init(2);
    ASSERT_EQ(snd_Running, 1);
    EXPECT_EQ(snd_DirectSound, 0);
    EXPECT_EQ(snd_BlockBytes, 8820);
    auto s = test_Constant8(200, 100000);
    ASSERT_NE(snd_VoicePlay(s->sample, 0, 255, 0), 0u);
    // Three seconds of silence first; each finished buffer is refilled with
    // one tenth of a second of the mix.
    for (int i = 0; i < 30; i++) {
        ASSERT_EQ(Step(), 2205);
        EXPECT_TRUE(AllZero(block)) << i;
        Pump();
    }
    EXPECT_EQ(mix_VoiceIsPlaying(0), 1);
    for (int i = 0; i < 6; i++) {
        Step();
        EXPECT_FALSE(AllZero(block)) << i;
        Pump();
    }

    snd_SetBufferLength(12);
    EXPECT_EQ(snd_BlockBytes, 88200);
    EXPECT_EQ(snd_BlockFrames, 22050);
    snd_SetBufferLength(0);
    EXPECT_EQ(snd_BlockBytes, 8820);

    snd_Shutdown();
    EXPECT_EQ(snd_Running, 0);
    Pump();  // buffers coming back now are not refilled
    EXPECT_EQ(Step(), 0);
    // The buffers went back to their heap: all three fit again.
    snd_Init(2);
    EXPECT_EQ(snd_Running, 1);
}

TEST_F(SndTest, ModeZeroOnAnEmulatedDeviceUsesWaveOut) {
    plat_HarnessAudioEmulatedSet(1);
    snd_Init(0);
    plat_HarnessAudioEmulatedSet(0);
    ASSERT_EQ(snd_Running, 1);
    EXPECT_EQ(snd_DirectSound, 0);
    // The wave-out buffers' silence plays first.
    auto s = test_Constant8(200, 100000);
    snd_VoicePlay(s->sample, 0, 255, 0);
    Step();
    EXPECT_TRUE(AllZero(block));
}

TEST_F(SndTest, AFailedPrepareShowsItsBoxAndLeavesOutputClosed) {
    // The buffers cannot be had: alternate heap 1 is full.
    std::vector<void*> taken;
    while (void* p = mem_AllocInHeap1(0x8000, "filler")) taken.push_back(p);
    testing::internal::CaptureStderr();
    snd_Init(2);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("box: Audio Error: Could not prep audio"), std::string::npos) << err;
    EXPECT_EQ(snd_Running, 0);
    EXPECT_EQ(Step(), 0);
    for (void* p : taken) mem_FreeInHeap1(p);
    // The device was closed again: the next open works.
    snd_Init(2);
    EXPECT_EQ(snd_Running, 1);
}

TEST_F(SndTest, SampleLoadRefusesDamagedFilesWithoutKeepingThem) {
    snd_Init(0);
    ASSERT_EQ(snd_Running, 1);
    std::vector<uint8_t> bad = mkdata_WaveBuild(16, 22050, std::vector<int16_t>(100000, 5));
    bad[22] = 2;  // stereo
    test_WriteFile("BAD.WAV", bad);
    test_WriteFile("GOOD.WAV", mkdata_WaveBuild(8, 11025, std::vector<int16_t>(1000, 256)));
    testing::internal::CaptureStderr();
    // A refused file is freed each time; kept, they would fill the heap.
    for (int i = 0; i < 100; i++) ASSERT_EQ(snd_SampleLoad("BAD.WAV"), nullptr);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("\"BAD.WAV\" is not a sound sample"), std::string::npos) << err;
    MixSample* good = snd_SampleLoad("GOOD.WAV");
    ASSERT_NE(good, nullptr);
    EXPECT_EQ(mix_SampleLength(good), 1000u);
    EXPECT_EQ(mix_SampleRateWord(good), 0x08000000u);
    EXPECT_EQ(mix_SampleFrames(good)[0], 129);
    mem_Free(good);
}

}  // namespace
