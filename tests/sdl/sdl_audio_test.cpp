// SDL's audio device through the audio backend table, on SDL's dummy
// driver: it counts as emulated, pulls whole frames on its own thread, and
// pulls no more once closed.
#ifdef KRX_HAVE_SDL
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/audio_backend.h"

namespace {

std::atomic<int32_t> g_pulled{0};
std::atomic<int32_t> g_odd{0};

void Pull(int16_t* out, int32_t frames) {
    for (int32_t i = 0; i < frames * 2; i++) out[i] = 0;
    if (frames <= 0) g_odd++;
    g_pulled += frames;
}

TEST(SdlAudio, TheDummyDriverIsEmulatedAndPullsUntilClosed) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    int32_t emulated = 0;
    ASSERT_EQ(plat_SdlAudioBackend.open(Pull, &emulated), 0);
    EXPECT_EQ(emulated, 1);
    plat_SdlAudioBackend.start();
    for (int i = 0; i < 200 && g_pulled.load() < 4096; i++) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    plat_SdlAudioBackend.close();
    EXPECT_GE(g_pulled.load(), 4096);
    EXPECT_EQ(g_odd.load(), 0);
    int32_t after = g_pulled.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(g_pulled.load(), after);
    unsetenv("SDL_AUDIODRIVER");
}

}  // namespace
#endif
