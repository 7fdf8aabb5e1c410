// Terrain height and water queries: table look-ups with shifts.
#include "world/terrain.h"

namespace {

// Before a level loads, and after its memory goes, the queries see flat dry
// ground.
uint8_t flatHeights[TERRAIN_SIZE * TERRAIN_SIZE];
uint8_t dryWater[TERRAIN_SIZE * TERRAIN_SIZE / 8];

constexpr uint32_t kMask = TERRAIN_SIZE - 1;

inline int32_t Height(uint32_t cx, uint32_t cz) {
    return depth_Level.heightMap[(cz & kMask) * TERRAIN_SIZE + (cx & kMask)];
}

}  // namespace

DepthLevel depth_Level = {flatHeights, dryWater};

const uint8_t* depth_FlatHeights(void) { return flatHeights; }
const uint8_t* depth_DryWater(void) { return dryWater; }

int32_t terrain_HeightNearest(const FixWorldPos* p) {
    return Height(p->x >> TERRAIN_CELL_SHIFT, p->z >> TERRAIN_CELL_SHIFT) * TERRAIN_HEIGHT_SCALE;
}

int32_t terrain_HeightMax4(const FixWorldPos* p) {
    uint32_t cx = p->x >> TERRAIN_CELL_SHIFT, cz = p->z >> TERRAIN_CELL_SHIFT;
    int32_t h = Height(cx, cz);
    int32_t h1 = Height(cx + 1, cz);
    int32_t h2 = Height(cx + 1, cz + 1);
    int32_t h3 = Height(cx, cz + 1);
    if (h1 > h) h = h1;
    if (h2 > h) h = h2;
    if (h3 > h) h = h3;
    return h * TERRAIN_HEIGHT_SCALE;
}

// Over the cell's two triangles, split along the diagonal from (x, z) to
// (x + 1, z + 1), with 7-bit fractions.
int32_t terrain_HeightBilinear(const FixWorldPos* p) {
    uint32_t cx = p->x >> TERRAIN_CELL_SHIFT, cz = p->z >> TERRAIN_CELL_SHIFT;
    int32_t fx = (int32_t)((p->x >> 16) & 0x7F);
    int32_t fz = (int32_t)((p->z >> 16) & 0x7F);
    int32_t a = 4 * Height(cx, cz);
    int32_t b = 4 * Height(cx, cz + 1);
    int32_t c = 4 * Height(cx + 1, cz + 1);
    int32_t d = 4 * Height(cx + 1, cz);
    int32_t h;
    if (fx <= fz) {
        h = a + (((b - a) * fz) >> 7) + (((c - b) * fx) >> 7);
    } else {
        int32_t gx = 128 - fx, gz = 128 - fz;
        h = c + (((d - c) * gz) >> 7) + (((a - d) * gx) >> 7);
    }
    // Rounding down of a falling edge can dip below the lowest corner.
    return h < 0 ? 0 : h << 16;
}

int32_t terrain_CellFlagGet(const FixWorldPos* p) {
    uint32_t cx = (p->x >> TERRAIN_CELL_SHIFT) & kMask, cz = (p->z >> TERRAIN_CELL_SHIFT) & kMask;
    return (depth_Level.waterMap[cz * (TERRAIN_SIZE / 8) + (cx >> 3)] >> (7 - (cx & 7))) & 1;
}
