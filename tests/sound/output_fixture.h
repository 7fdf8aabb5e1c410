// Sound output running on the headless device (stepped by the test), the
// heaps, and a main window whose procedure runs posted routines: what the
// trigger, source and speech tests play through.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/file.h"
#include "base/mem.h"
#include "fixtures/headless.h"
#include "fixtures/workdir.h"
#include "mkdata.h"
#include "platform/harness.h"
#include "platform/window.h"
#include "shell/wndproc.h"
#include "sound/snd.h"

class SoundOutputTest : public ::testing::Test {
protected:
    TestWorkDir work;
    PlatHwnd hwnd = 0;
    std::vector<int16_t> block = std::vector<int16_t>(2205 * 2);

    void SetUp() override {
        unsetenv("KRX_AUDIO");
        ASSERT_EQ(test_HeadlessStart(), 0);
        mem_HeapSizesSet(0x400000, 0x100000, 0x100000);
        ASSERT_EQ(mem_HeapInit(), 0);
        ASSERT_EQ(mem_Heap1Init(), 0);
        ASSERT_EQ(mem_Heap2Init(), 0);
        file_StateInit();
        hwnd = plat_WindowCreate("SKARVELCLASS", "KRX", 64, 64, app_MainWndProc, 0);
        ASSERT_NE(hwnd, 0u);
        app_MainHwnd = hwnd;
        ASSERT_TRUE(work.Enter("krx_sound"));
        snd_Init(0);
        ASSERT_EQ(snd_Running, 1);
        mix_MasterVolume = 255;
    }
    void TearDown() override {
        snd_Shutdown();
        work.Leave();
        plat_Shutdown();
        app_MainHwnd = 0;
    }
    // One block of the mix, pulled by the device.
    int32_t Step(void) { return plat_HarnessAudioStep(block.data(), 2205); }
    // Runs the routines posted to the main window.
    void Pump(void) {
        PlatMsg m;
        while (plat_PeekMessage(&m, 0, 0, 0, PM_REMOVE)) plat_DispatchMessage(&m);
    }
    bool Silent(void) const {
        for (int16_t x : block)
            if (x) return false;
        return true;
    }
};

// An 8-bit sample of `frames` frames of a steady value, as a WAVE image.
inline std::vector<uint8_t> test_Wave(size_t frames, int16_t value = 0x4000) {
    return mkdata_WaveBuild(8, 22050, std::vector<int16_t>(frames, value));
}

// The voice whose request or playing record ends where the sample does, or
// -1.
inline int32_t test_VoiceOf(const MixSample* sample) {
    if (!sample) return -1;
    const uint8_t* end = mix_SampleFrames(sample) + mix_SampleLength(sample);
    for (int32_t v = 0; v < MIX_VOICES; v++)
        if ((mix_RequestBank[v].state.load() && (const uint8_t*)mix_RequestBank[v].end == end) ||
            (const uint8_t*)mix_PlayingBank[v].end == end)
            return v;
    return -1;
}
