// Stand-in for the driver state record's palette pointer: the record itself
// is defined with the driver library; until then the pointer is kept here.
#include "display/hw3d.h"
#include "display/pal.h"

const uint8_t* hw3d_StatePalette = nullptr;

void hw3d_SetStatePalette(const uint8_t* rgb768) {
    if (!hw3d_Loaded || !hw3d_Descriptor.state) return;
    hw3d_StatePalette = rgb768;
}
