// The 3D-card driver binding.
#include "display/hw3d.h"

#include <cstring>

#include "display/pal.h"
#include "display/vid.h"
#include "platform/display.h"
#include "platform/dynlib.h"

_HW3D_DESCRIPTOR hw3d_Descriptor;
int32_t hw3d_Loaded;
int32_t hw3d_Active;

namespace {

PlatLibrary* g_library;
HW3D_UNINITONCE g_uninitOnce;

int32_t HostPresent(const void* pixels, int32_t width, int32_t height, int32_t pitch, int32_t bits) {
    PlatPixelFormat format{};
    format.bits = bits;
    if (bits == 16) {
        format.redMask = 0xF800, format.greenMask = 0x07E0, format.blueMask = 0x001F;
    } else if (bits == 32) {
        format.redMask = 0xFF0000, format.greenMask = 0x00FF00, format.blueMask = 0x0000FF;
    } else {
        return -1;
    }
    return plat_DisplayPresent(pixels, width, height, pitch, &format) == 0 ? 0 : -1;
}

// Nothing of a freed library may stay callable.
void ForgetLibrary(void) {
    memset(&hw3d_Descriptor, 0, sizeof hw3d_Descriptor);
    g_uninitOnce = nullptr;
    hw3d_Loaded = 0;
    hw3d_Active = 0;
}

}  // namespace

const _HW3D_HOST hw3d_Host = {(int32_t)sizeof(_HW3D_HOST), HostPresent};

int32_t hw3d_Load(uintptr_t instance, uintptr_t window, const char* fileName) {
    (void)window;
    if (g_library) hw3d_Unload();
    PlatLibrary* library = plat_LibraryLoad(fileName);
    if (!library) return -2;
    auto getDescriptor = reinterpret_cast<HW3D_GETDESCRIPTOR>(plat_LibrarySymbol(library, "hw3d_GetDescriptor"));
    if (!getDescriptor) {
        plat_LibraryFree(library);
        return -3;
    }
    memset(&hw3d_Descriptor, 0, sizeof hw3d_Descriptor);
    hw3d_Descriptor.size = HW3D_DESCRIPTOR_SIZE;
    int32_t result = getDescriptor(instance, &hw3d_Descriptor, HW3D_INTERFACE_VERSION);
    if (result == 0) {
        auto initOnce = reinterpret_cast<HW3D_INITONCE>(plat_LibrarySymbol(library, "hw3d_InitOnce"));
        if (initOnce) result = initOnce();
    }
    if (result != 0) {
        // A library that refused is of no further use: keeping it would
        // leave entries no one unloads.
        ForgetLibrary();
        plat_LibraryFree(library);
        return result;
    }
    g_library = library;
    g_uninitOnce = reinterpret_cast<HW3D_UNINITONCE>(plat_LibrarySymbol(library, "hw3d_UninitOnce"));
    hw3d_Loaded = 1;
    return 0;
}

void hw3d_Unload(void) {
    if (!g_library) return;
    if (hw3d_Active) hw3d_Disable();
    if (g_uninitOnce) g_uninitOnce();
    ForgetLibrary();
    plat_LibraryFree(g_library);
    g_library = nullptr;
}

int32_t hw3d_Enable(void) {
    if (!hw3d_Loaded || !hw3d_Descriptor.enable) return -1;
    int32_t result = hw3d_Descriptor.enable();
    if (result == 0) {
        vid_State.redMask = 0xF800;
        vid_State.greenMask = 0x07E0;
        vid_State.blueMask = 0x001F;
        hw3d_Active = 1;
    }
    return result;
}

void hw3d_Disable(void) {
    if (hw3d_Loaded && hw3d_Descriptor.disable) hw3d_Descriptor.disable();
    hw3d_Active = 0;
}

void hw3d_SetStatePalette(const uint8_t* rgb768) {
    if (!hw3d_Loaded || !hw3d_Descriptor.state) return;
    static_cast<_HW3D_STATE*>(hw3d_Descriptor.state)->palette = rgb768;
}
