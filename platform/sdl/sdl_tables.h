// The tables of the SDL side, as the library's entry hands them out, and
// its test hooks. Internal to platform/sdl/.
#pragma once
#include "platform/sdl_module.h"

extern const PlatBackend plat_SdlBackend;
extern const PlatDisplayBackend plat_SdlDisplay;
extern const PlatJoyBackend plat_SdlJoyBackend;

// The hooks in force (all zero: none).
extern PlatSdlTestHooks sdl_TestHooks;
void sdl_SetTestHooks(const PlatSdlTestHooks* hooks);
