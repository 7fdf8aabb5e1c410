// Stand-in for the 3D-card driver binding until the driver library loader
// lands: no library is ever loaded, so the display stays on the software
// path. Enable and disable already follow the bound descriptor, so a test
// can bind entries of its own.
#include "display/hw3d.h"

#include "display/vid.h"

_HW3D_DESCRIPTOR hw3d_Descriptor;
int32_t hw3d_Loaded;
int32_t hw3d_Active;

int32_t hw3d_Load(uintptr_t, uintptr_t, const char*) { return -2; }

void hw3d_Unload(void) {}

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
