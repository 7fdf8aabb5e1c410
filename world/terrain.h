// Terrain height queries.
//
// Stand-in until the terrain loader lands: flat ground at height 0 (the
// height map of an empty level).
#pragma once
#include <cstdint>

#include "base/fix.h"

// Height under a world position (x, height, z; only x and z are read), in
// world height units, never negative.
inline int32_t terrain_HeightBilinear(const FixWorldPos* position) {
    (void)position;
    return 0;
}

// The highest of the four corner samples of the cell under the position.
inline int32_t terrain_HeightMax4(const FixWorldPos* position) {
    (void)position;
    return 0;
}
