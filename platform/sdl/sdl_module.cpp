// The entry of the SDL library, and the routines of the common layer it
// calls, taken from the program's host record. Only in the library: tests
// that link the SDL side directly use the program's own routines.
#include "platform/audio_backend.h"
#include "platform/sdl/sdl_keyboard.h"
#include "platform/sdl/sdl_tables.h"

namespace {

const PlatSdlHost* g_host = nullptr;

const PlatSdlModule kModule = {
    PLAT_SDL_MODULE_VERSION, &plat_SdlBackend, &plat_SdlDisplay, &plat_SdlJoyBackend,
    sdl_KeyLocksGet,         sdl_KeyLocksSet,  sdl_SetTestHooks, &plat_SdlAudioBackend,
};

}  // namespace

PlatWindow* plat_WindowGet(PlatHwnd hwnd) { return g_host->windowGet(hwnd); }
PlatHwnd plat_WindowFirst(void) { return g_host->windowFirst(); }
PlatHwnd plat_WindowFromNative(const void* native) { return g_host->windowFromNative(native); }
int plat_PostMessage(PlatHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    return g_host->postMessage(hwnd, msg, wParam, lParam);
}
void plat_ScreenToClient(PlatHwnd hwnd, int* x, int* y) { g_host->screenToClient(hwnd, x, y); }
int plat_FilterNext(const char* filter, size_t* pos, const char** description, const char** pattern) {
    return g_host->filterNext(filter, pos, description, pattern);
}
void plat_JoyInstanceGuid(const uint8_t bytes[16], int32_t ordinal, PlatGuid* out) {
    g_host->joyInstanceGuid(bytes, ordinal, out);
}
void plat_JoyStateCentre(PlatJoyState* state) { g_host->joyStateCentre(state); }
void plat_JoyStateSetAxis(PlatJoyState* state, uint32_t offset, int32_t value) {
    g_host->joyStateSetAxis(state, offset, value);
}
void plat_JoyEffectParamsMerge(PlatEffectParams* to, const PlatEffectParams* from, uint32_t flags) {
    g_host->joyEffectParamsMerge(to, from, flags);
}

extern "C" __attribute__((visibility("default"))) const PlatSdlModule* krx_SdlModuleOpen(const PlatSdlHost* host) {
    if (!host || host->version != PLAT_SDL_MODULE_VERSION) return nullptr;
    g_host = host;
    return &kModule;
}
