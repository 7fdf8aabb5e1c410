// The driver's frame-access word, read from its state record.
#include "display/hw3d_draw.h"

#include "display/hw3d.h"

int32_t hw3d_FrameAccess(void) {
    if (!hw3d_Loaded || !hw3d_Descriptor.state) return 0;
    return static_cast<const _HW3D_STATE*>(hw3d_Descriptor.state)->frameAccess;
}
