// Object records and the object services other subsystems call.
//
// Stand-in until the object records land: only the fields that the unit
// conversions read and write, and routines that create nothing.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/fix.h"

struct ObjectRecord {
    FixAngles angles;       // heading, pitch, roll: 25-bit angles
    FixWorldPos position;   // world x, height, z
    FixVec3 velocity;       // velocity, 4096 units to the foot
    FixVec3 motion;         // displacement of the last motion step
};

// Mission start: the label module's state.
void obj_ClearLabelCache(void);

// A static object for the mission's placed record at (x, z), linked into its
// grid cell; null when the static pool is empty.
ObjectRecord* obj_StaticCreate(const void* placed, uint32_t x, uint32_t z);
// Adds the object to the category lists its category flags select.
void obj_CategoryListsAdd(ObjectRecord* object);

// The object lists by type: push at the head, append at the tail, take out.
void obj_TypeListPush(ObjectRecord* object);
void obj_TypeListAppend(ObjectRecord* object);
void obj_TypeListUnlink(ObjectRecord* object);

// A destroyed object stops being anyone's target.
void obj_ReplaceTargetRefs(ObjectRecord* object);
// Every stored reference to the removed object becomes the replacement
// remembered by the removal.
void obj_ReferencesClear(ObjectRecord* object);
// Takes the object out of the 8-entry target candidate list.
void obj_TargetCandidateRemove(ObjectRecord* object);

// The object's display name, cut to size bytes with the terminator.
void obj_DisplayName(const ObjectRecord* object, char* buffer, size_t size);

// Bearing and elevation from one position to another, as 25-bit angles.
int32_t obj_BearingHalfScale(const FixWorldPos* from, const FixWorldPos* to);
int32_t obj_ElevationReverse(const FixWorldPos* from, const FixWorldPos* to);
