// Stand-in until the rasteriser lands: the mode is only kept.
#include "display/poly.h"

namespace {
int32_t g_pixelMode = 1;
}

__attribute__((weak)) void poly_SetPixelMode(int32_t mode) { g_pixelMode = mode; }
