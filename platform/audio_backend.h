// The table of routines each audio backend fills. Internal to platform/.
#pragma once
#include <cstdint>

#include "platform/audio.h"

struct PlatAudioBackend {
    const char* name;
    // Opens the device stopped, 22050 Hz stereo 16-bit; `pull` is called
    // for every stretch of frames the device needs. 0, or -1 when there is
    // no device. *emulated: 1 when nothing is heard.
    int32_t (*open)(PlatAudioPullFn pull, int32_t* emulated);
    void (*start)(void);
    // Once it returns, `pull` does not run any more.
    void (*close)(void);
};

// Open fails: no device.
extern const PlatAudioBackend plat_NullAudioBackend;
// Pulled by the virtual clock (platform/headless/headless_audio.cpp).
extern const PlatAudioBackend plat_HeadlessAudioBackend;
// SDL2's audio device (platform/sdl/sdl_audio.cpp, in the SDL library).
extern const PlatAudioBackend plat_SdlAudioBackend;

// The headless clock's 25 ms tick: every fourth pulls a block.
void plat_HeadlessAudioTick(void);
