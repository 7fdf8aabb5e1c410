// Stand-in until the object records land: no objects are made or listed.
#include "sim/obj.h"

void obj_ClearLabelCache(void) {}

ObjectRecord* obj_StaticCreate(const void*, uint32_t, uint32_t) { return nullptr; }
void obj_CategoryListsAdd(ObjectRecord*) {}

void obj_TypeListPush(ObjectRecord*) {}
void obj_TypeListAppend(ObjectRecord*) {}
void obj_TypeListUnlink(ObjectRecord*) {}

void obj_ReplaceTargetRefs(ObjectRecord*) {}
void obj_ReferencesClear(ObjectRecord*) {}
void obj_TargetCandidateRemove(ObjectRecord*) {}

void obj_DisplayName(const ObjectRecord*, char* buffer, size_t size) {
    if (buffer && size) buffer[0] = '\0';
}

int32_t obj_BearingHalfScale(const FixWorldPos*, const FixWorldPos*) { return 0; }
int32_t obj_ElevationReverse(const FixWorldPos*, const FixWorldPos*) { return 0; }
