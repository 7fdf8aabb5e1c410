// Loading the SDL side at run time (see sdl_module.h).
#include "platform/sdl_module.h"

#include <cstdio>

#include "platform/dynlib.h"
#include "platform/files.h"

namespace {

const PlatSdlModule* g_module = nullptr;

const PlatSdlHost kHost = {
    PLAT_SDL_MODULE_VERSION, plat_WindowGet,      plat_WindowFirst,   plat_WindowFromNative,
    plat_PostMessage,        plat_ScreenToClient, plat_FilterNext,    plat_JoyInstanceGuid,
    plat_JoyStateCentre,     plat_JoyStateSetAxis, plat_JoyEffectParamsMerge,
};

}  // namespace

const PlatSdlModule* plat_SdlModule(void) { return g_module; }

const PlatSdlModule* plat_SdlModuleLoad(char* why, size_t whySize) {
    if (why && whySize) why[0] = 0;
    if (g_module) return g_module;
    char dir[1024], path[1024];
    if (plat_ProgramDir(dir, sizeof dir) != 0) {
        if (why) snprintf(why, whySize, "the program's folder is unknown");
        return nullptr;
    }
    if ((size_t)snprintf(path, sizeof path, "%s%s", dir, PLAT_SDL_MODULE_FILE) >= sizeof path) {
        if (why) snprintf(why, whySize, "the program's folder name is too long");
        return nullptr;
    }
    // Never freed: SDL does not unload cleanly, and the tables stay in use.
    PlatLibrary* lib = plat_LibraryLoad(path);
    if (!lib) {
        if (why) snprintf(why, whySize, "%s", plat_LibraryLastError());
        return nullptr;
    }
    auto entry = (PlatSdlEntry)plat_LibrarySymbol(lib, PLAT_SDL_MODULE_ENTRY);
    const PlatSdlModule* m = entry ? entry(&kHost) : nullptr;
    if (!m || m->version != PLAT_SDL_MODULE_VERSION || !m->backend || !m->display || !m->joystick ||
        !m->keyLocksGet || !m->keyLocksSet || !m->setTestHooks) {
        if (why) snprintf(why, whySize, "%s does not fit this program", path);
        plat_LibraryFree(lib);
        return nullptr;
    }
    g_module = m;
    return m;
}
