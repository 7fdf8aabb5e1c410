// Object records and the object services other subsystems call.
//
// The common header and the pool kinds are the records the level's object
// pools hold. The routines are stand-ins until the object records land:
// they create nothing.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/fix.h"

struct ObjectRecord;
struct DcbPool;
typedef void (*ObjectRoutine)(ObjectRecord* object);

// The header common to every record of the level's object pools. The pools
// read and write the pool, link, serial, network id and pending fields.
struct ObjectRecord {
    uint8_t state;               // set to 1 for every record when its pool is made
    uint8_t made;                // cleared when the object is made
    uint16_t modelSlot;          // level model table slot
    void* model;                 // the loaded PAK
    ObjectRoutine draw;
    ObjectRoutine hit;           // hit or collision handler of statics; null for players
    FixAngles angles;            // heading, pitch, roll: 25-bit angles
    FixWorldPos position;        // world x, height, z
    DcbPool* pool;               // the pool the record came from
    ObjectRecord* freeLink;      // next free record of the pool
    ObjectRecord* pendingLink;   // next record on a pending list
    uint32_t serial;             // odd, stamped when taken
    uint32_t netId;              // own player number << 16 | network counter
    uint8_t player;              // player number (player objects)
    uint8_t side;
    uint8_t flags;
    uint8_t pending;             // OBJECT_PENDING_* bits
    uint8_t typeIndex;           // selects the per-type object table and counter
    uint8_t instance;            // per-type instance number
    int16_t hitPoints;
    int16_t hitPointsMax;
    uint16_t missionObject;      // the mission's placed object it came from
    ObjectRoutine handler;
    ObjectRoutine think;         // null in statics
    ObjectRoutine secondPass;    // null in statics
    ObjectRecord* next;          // object list (player list, server object list)
    ObjectRecord* prev;
    FixVec3 velocity;            // velocity, 4096 units to the foot
    FixVec3 motion;              // displacement of the last motion step
};

// Bits of ObjectRecord::pending.
constexpr uint8_t OBJECT_PENDING_REMOVAL = 0x01;   // on (or bound for) the pending-removal list
constexpr uint8_t OBJECT_PENDING_ADDITION = 0x02;  // on the pending-addition list

// One record per pool kind; each begins with the header, and the simulation
// adds the fields of its kind behind it.
struct _PLAYER_DCB {   // player aircraft
    ObjectRecord object;
};
struct _AI_DCB {       // AI units made from the mission's placed objects
    ObjectRecord object;
};
struct _COMMON_DCB {   // short-lived objects: weapons, effects
    ObjectRecord object;
};
struct _STATIC_DCB {   // static objects
    ObjectRecord object;
};
struct _CLIENT_DCB {   // the client's copies of remote objects
    ObjectRecord object;
};

// Mission start: the label module's state.
void obj_ClearLabelCache(void);

// A static object at (x, z) with the model and the type word (low byte draw
// flags, high byte object flags), linked into its grid cell; null when the
// static pool is empty.
ObjectRecord* obj_StaticCreate(uint32_t x, uint32_t z, void* model, uint16_t typeWord);
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
