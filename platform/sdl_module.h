// The SDL backend is a library of its own, "libkrx_sdl.so" beside the
// program, loaded only when the sdl platform is chosen: a headless run
// (tests, dedicated servers) never maps SDL, and a machine without SDL2
// still runs headless. Internal to platform/.
//
// The library links SDL2 and nothing of the program: the few routines of
// the common layer it calls come in the host record, and it hands back one
// record with every table of the SDL side.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/backend.h"
#include "platform/display_backend.h"
#include "platform/joystick_backend.h"

// Raised whenever either record below changes shape; the program and the
// library must agree on it.
constexpr uint32_t PLAT_SDL_MODULE_VERSION = 2;

// The file beside the program, and its entry: a C routine of type
// PlatSdlEntry exported under this name.
#define PLAT_SDL_MODULE_FILE "libkrx_sdl.so"
#define PLAT_SDL_MODULE_ENTRY "krx_SdlModuleOpen"

// What the library calls back into the program.
struct PlatSdlHost {
    uint32_t version;
    PlatWindow* (*windowGet)(PlatHwnd hwnd);
    PlatHwnd (*windowFirst)(void);
    PlatHwnd (*windowFromNative)(const void* native);
    int (*postMessage)(PlatHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam);
    void (*screenToClient)(PlatHwnd hwnd, int* x, int* y);
    int (*filterNext)(const char* filter, size_t* pos, const char** description, const char** pattern);
    void (*joyInstanceGuid)(const uint8_t* product, int32_t ordinal, PlatGuid* instance);
    void (*joyStateCentre)(PlatJoyState* state);
    void (*joyStateSetAxis)(PlatJoyState* state, uint32_t offset, int32_t value);
    void (*joyEffectParamsMerge)(PlatEffectParams* to, const PlatEffectParams* from, uint32_t flags);
};

// Test hooks of the SDL side, so that tests see what would be shown without
// a display. messageBox, when set, is called with the SDL_MessageBoxData
// built for a box or dialog in place of showing it: it sets *buttonId as
// SDL_ShowMessageBox would (-1 for a box closed without a button) and
// returns 0, or -1 as a failed box. desktopBits, when nonzero, is reported
// as the desktop's depth.
struct PlatSdlTestHooks {
    int (*messageBox)(const void* sdlMessageBoxData, int* buttonId);
    int32_t desktopBits;
};

struct PlatAudioBackend;  // the audio output's table (platform/audio_backend.h)

// Every table of the SDL side. New tables are appended at the end and
// PLAT_SDL_MODULE_VERSION is raised.
struct PlatSdlModule {
    uint32_t version;
    const PlatBackend* backend;
    const PlatDisplayBackend* display;
    const PlatJoyBackend* joystick;
    // The lock keys through SDL's modifier state; -1 while video is down.
    int (*keyLocksGet)(int* caps, int* num, int* scroll);
    int (*keyLocksSet)(int caps, int num, int scroll);
    // Null (no hooks) restores the real behaviour.
    void (*setTestHooks)(const PlatSdlTestHooks* hooks);
    const PlatAudioBackend* audio;
};

typedef const PlatSdlModule* (*PlatSdlEntry)(const PlatSdlHost* host);

// The SDL side once loaded (it stays loaded), else null. plat_Init loads
// it when the sdl platform is wanted.
const PlatSdlModule* plat_SdlModule(void);
// Loads the library beside the program; null with the reason in `why` when
// it cannot be loaded or does not fit this program.
const PlatSdlModule* plat_SdlModuleLoad(char* why, size_t whySize);
