// Multi-function displays.
#pragma once
#include <cstdint>

// Changes the MFD map zoom by delta (clamped by the MFD code).
void mfd_MapZoomAdjust(int32_t delta);
