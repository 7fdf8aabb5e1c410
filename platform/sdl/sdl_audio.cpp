// SDL2's audio device: 22050 Hz stereo 16-bit, its callback pulls the
// frames it needs. SDL's dummy and disk drivers play nothing one can hear,
// so they count as emulated.
#include <SDL.h>

#include <cstring>

#include "platform/audio_backend.h"

namespace {

SDL_AudioDeviceID g_device = 0;
PlatAudioPullFn g_pull = nullptr;

void Callback(void*, Uint8* stream, int length) {
    // The format is fixed at open (no changes allowed), so the stream is
    // whole frames of our own format.
    g_pull(reinterpret_cast<int16_t*>(stream), length / PLAT_AUDIO_FRAME_BYTES);
}

int32_t SOpen(PlatAudioPullFn pull, int32_t* emulated) {
    if (g_device || !pull) return -1;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return -1;
    g_pull = pull;
    SDL_AudioSpec want;
    SDL_zero(want);
    want.freq = PLAT_AUDIO_RATE;
    want.format = AUDIO_S16SYS;
    want.channels = PLAT_AUDIO_CHANNELS;
    want.samples = 2048;  // about a tenth of a second
    want.callback = Callback;
    g_device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (!g_device) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        g_pull = nullptr;
        return -1;
    }
    const char* driver = SDL_GetCurrentAudioDriver();
    *emulated = driver && (strcmp(driver, "dummy") == 0 || strcmp(driver, "disk") == 0);
    return 0;
}

void SStart(void) {
    if (g_device) SDL_PauseAudioDevice(g_device, 0);
}

void SClose(void) {
    if (!g_device) return;
    // Waits for a running callback to return.
    SDL_CloseAudioDevice(g_device);
    g_device = 0;
    g_pull = nullptr;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace

const PlatAudioBackend plat_SdlAudioBackend = {"sdl", SOpen, SStart, SClose};
