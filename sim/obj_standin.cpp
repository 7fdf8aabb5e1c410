// Stand-in until the object queries and targeting land: no labels, type
// lists or target candidates.
#include "sim/obj.h"

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
