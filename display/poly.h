// The software polygon rasteriser: pixel modes.
#pragma once
#include <cstdint>

// 1 8-bit, 2 8-bit MMX, 3 16-bit, 5 32-bit span loops; clears the span state.
void poly_SetPixelMode(int32_t mode);
