// Stand-in until the object queries and targeting land: no labels, type
// lists or target candidates.
#include "sim/obj.h"

#include <cstdint>
#include <utility>

void obj_ClearLabelCache(void) {}

void obj_TypeListPush(ObjectRecord*) {}
void obj_TypeListAppend(ObjectRecord*) {}
void obj_TypeListUnlink(ObjectRecord*) {}

void obj_ReplaceTargetRefs(ObjectRecord*) {}
void obj_TargetCandidateRemove(ObjectRecord*) {}

void obj_DisplayName(const ObjectRecord*, char* buffer, size_t size) {
    if (buffer && size) buffer[0] = '\0';
}

int32_t obj_BearingHalfScale(const FixWorldPos*, const FixWorldPos*) { return 0; }
int32_t obj_ElevationReverse(const FixWorldPos*, const FixWorldPos*) { return 0; }

// Stand-ins until the object searches land: the distance is the real
// approximation, searches find nothing, everything is seen.
__attribute__((weak)) int32_t obj_PosDistance(const FixWorldPos* a, const FixWorldPos* b) {
    if (!a || !b) return 1;
    int64_t d[3] = {(int64_t)(int32_t)(a->x - b->x), (int64_t)(int32_t)(a->y - b->y), (int64_t)(int32_t)(a->z - b->z)};
    for (int64_t& v : d) v = v < 0 ? -v : v;
    if (d[0] < d[1]) std::swap(d[0], d[1]);
    if (d[1] < d[2]) std::swap(d[1], d[2]);
    if (d[0] < d[1]) std::swap(d[0], d[1]);
    int64_t r = d[0] + (((d[1] + d[2]) * 0x5000) >> 16);
    if (r > INT32_MAX) r = INT32_MAX;
    return r ? (int32_t)r : 1;
}
__attribute__((weak)) ObjectRecord* obj_FindNearestInCell(ObjectRecord*, int32_t, int32_t*) { return nullptr; }
__attribute__((weak)) ObjectRecord* obj_FindNearest(ObjectRecord*, uint32_t, int32_t, int32_t, int32_t*) { return nullptr; }
__attribute__((weak)) int32_t obj_IsDetected(const ObjectRecord*, const ObjectRecord*, int32_t) { return 1; }
__attribute__((weak)) int32_t obj_LineOfSight(const ObjectRecord*, const FixWorldPos*) { return 1; }
