// Object records: every thing in the simulated world is one, taken from one
// of the level's record pools (net/dcbpool.h). The common header is shared by
// the simulation, the AI and the renderer; AI units extend it. Static objects
// live in the world cell grid; the category lists give fast access to the
// objects of one kind. Main thread only.
//
// The AI command programs address the fields by the byte offsets the
// compiled missions were made with: obj_FieldTable maps each such offset to
// the native field (docs/formats.md, "Object record fields").
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/fix.h"
#include "sim/plane_fields.h"

struct ObjectRecord;
struct DcbPool;
struct _PAK_HEADER;
typedef void (*ObjectRoutine)(ObjectRecord* object);
// Second-pass routines answer done (nonzero) or not.
typedef int32_t (*ObjectPassRoutine)(ObjectRecord* object);

// The header common to every record of the level's object pools; the
// comments give the offset the AI programs know the field by.
struct ObjectRecord {
    uint8_t state;               // +0x00 set to 1 for every record when its pool is made
    uint8_t made;                // cleared when the object is made
    uint8_t drawFlags;           // +0x02 renderer's draw flags
    uint8_t frame;               // +0x03 animation frame
    uint16_t modelSlot;          // +0x06 object type number: index of the type-to-model table
    _PAK_HEADER* model;          // +0x08
    ObjectRoutine draw;          // +0x0c
    ObjectRoutine partHook;      // +0x10 model-kind routine, run before a multi-part draw
    int32_t scale;               // +0x14
    FixAngles angles;            // +0x18 heading, pitch, roll: 25-bit angles
    FixVec3 viewPosition;        // +0x24 written by the renderer
    FixWorldPos position;        // +0x30 world x, height, z
    DcbPool* pool;               // +0x3c the pool the record came from
    ObjectRecord* freeLink;      // +0x40 next free record; next in the cell list while in the grid
    ObjectRecord* pendingLink;   // +0x44 next record on a pending (active or release) list
    uint32_t serial;             // +0x48 odd, stamped when taken
    uint32_t netId;              // +0x4c own player number << 16 | network counter
    uint8_t player;              // player number (player objects)
    uint8_t side;                // +0x51 side number target searches compare
    uint8_t flags;               // +0x52 OBJ_FLAG_*
    uint8_t stateFlags;          // +0x53 OBJ_STATE_*; the status byte of the object records
    uint8_t pending;             // +0x54 OBJECT_PENDING_* bits (bit 0: on the release list)
    uint8_t aiClass;             // +0x55 class: 1 aircraft, 2 ground unit or structure, 8 missile, 0x10 bomb,
                                 // 0x20 AI bullet; bit 7 road vehicle. The category byte of the records
    uint8_t known;               // +0x56 known to the player
    uint8_t group;               // +0x57 0..127
    uint8_t member;              // +0x58 from 1
    uint8_t groundUnit;          // +0x59 0 aircraft units, 1 ground units and structures
    uint8_t unitKind;            // +0x5a 4 for ground units and structures
    uint8_t typeIndex;           // selects the per-type object table and counter
    uint8_t instance;            // per-type instance number
    uint8_t missionByte;         // +0x5c copied from the mission record
    uint8_t targetClass;         // +0x5d OBJ_TARGET_* bits
    uint8_t category;            // +0x5e OBJ_CATEGORY_* bits
    uint8_t missionBit;          // +0x5f bit 0 copied from the mission record
    int16_t hitPoints;           // +0x60 alive while above 0
    int16_t hitPointsMax;        // +0x62
    uint16_t missionObject;      // +0x64 mission object number (trigger events)
    ObjectRecord* typeNext;      // +0x68 next object in its type list
    ObjectRoutine hit;           // +0x70 damage routine; reads the current hit record
    ObjectRoutine death;         // +0x74 run once when destroyed
    FixVec3 velocity;            // +0x78 direction, 16.16 per frame, scaled by the speed
    int32_t missionWord;         // +0x84 copied from the mission record
    uint8_t aiFlags;             // +0x88 OBJ_AI_*
    ObjectRoutine think;         // +0x94 once per frame; null: inert
    ObjectRecord* owner;         // +0x98 the object that launched this one
    ObjectPassRoutine secondPass;// +0x9c after every object has moved
    int32_t speed;               // +0xa0 16.16
    ObjectRecord* target;        // +0xa4 current target
    FixVec3 motion;              // +0xa8 displacement of the last motion step
    FixAngles rates;             // +0xb4 heading, pitch, roll per frame
    int32_t frameCounter;        // +0xc0 the object's frames
    int32_t rotorAngle;          // 25-bit angle of rotors, propellers and radars, advanced by the object's logic
    ObjectRecord* next;          // object list (player list, server object list)
    ObjectRecord* prev;
    uint8_t serverFlags;         // OBJ_SERVER_*: the server's own marks
    // Network copies. Server: what the object records carry. Client: the
    // state of a copy of a server object.
    uint16_t updateSerial;       // object-update serial of the last packet that listed it
    uint8_t copyFlags;           // OBJ_COPY_*: the flags byte of the object records
    uint8_t modelState[2];       // two model-state bytes
    uint8_t visible;             // client copies: drawn
    uint8_t display;             // client statics: the display flag after the model-state bytes
    int16_t linger;              // client copies: packets left without an update
    FixWorldPos reported;        // client copies: the last position the server gave
    uint32_t age;                // client copies: frames since made
    uint32_t spin;               // client copies: spin angle, 25 bits
    int32_t soundSource;         // client copies: engine sound source, 0 none
    ObjectRecord* serverLink;    // bridge copies: the server's object of that player
    ObjectRecord* typePrev;      // previous object in its type list
    uint8_t typeLinked;          // 1 while in its type list
};

// ObjectRecord::copyFlags.
constexpr uint8_t OBJ_COPY_TARGETS_PLAYER = 0x01;
constexpr uint8_t OBJ_COPY_NEARBY_EFFECT = 0x04;
constexpr uint8_t OBJ_COPY_LINGERS = 0x08;

// ObjectRecord::serverFlags.
constexpr uint8_t OBJ_SERVER_CREATED = 0x01;   // a weapon the server launched for a client
constexpr uint8_t OBJ_SERVER_NO_SEND = 0x04;   // clients learn of it from an event, never as an object

// Bits of ObjectRecord::pending.
constexpr uint8_t OBJECT_PENDING_REMOVAL = 0x01;   // on (or bound for) the release list
constexpr uint8_t OBJECT_PENDING_ADDITION = 0x02;  // on the pending-addition list

// ObjectRecord::flags.
constexpr uint8_t OBJ_FLAG_STATIC = 0x01;
constexpr uint8_t OBJ_FLAG_PLAYER = 0x02;
constexpr uint8_t OBJ_FLAG_ALLIANCE_A = 0x04;
constexpr uint8_t OBJ_FLAG_ALLIANCE_B = 0x08;
constexpr uint8_t OBJ_FLAG_STARTED_AIRBORNE = 0x10;
constexpr uint8_t OBJ_FLAG_WINGMAN = 0x20;
constexpr uint8_t OBJ_FLAG_UNLISTED = 0x80;   // kept off the type lists
// ObjectRecord::stateFlags.
constexpr uint8_t OBJ_STATE_AIRBORNE = 0x01;
constexpr uint8_t OBJ_STATE_WAITING = 0x02;
constexpr uint8_t OBJ_STATE_GROUND_UNIT = 0x04;
constexpr uint8_t OBJ_STATE_HALTED = 0x08;
constexpr uint8_t OBJ_STATE_ROAD = 0x80;
// ObjectRecord::targetClass.
constexpr uint8_t OBJ_TARGET_AIR_COMBAT = 0x02;
constexpr uint8_t OBJ_TARGET_STRIKE = 0x04;
constexpr uint8_t OBJ_TARGET_SLOW = 0x08;
constexpr uint8_t OBJ_TARGET_GROUND = 0x10;
constexpr uint8_t OBJ_TARGET_STRUCTURE = 0x20;
// ObjectRecord::aiFlags.
constexpr uint8_t OBJ_AI_RUNNING = 0x01;
constexpr uint8_t OBJ_AI_DAMAGED = 0x02;

// The AI unit: the header and the fields of the unit AI and its command
// interpreter.
struct _AI_DCB {
    ObjectRecord object;
    ObjectRecord* groupNext;     // +0xc4 next member of the group chain (leader first)
    const void* waypoint;        // +0xc8 current waypoint (24-byte records)
    const void* route;           // +0xcc first waypoint of the route
    int32_t radarFactor;         // +0xd0 16.16
    FixAngles turnLimits;        // +0xd4 largest change per frame
    FixAngles commanded;         // +0xe0 0x80000000: none
    int32_t registers[4];        // +0xec command interpreter frame
    int32_t returnAddress;       // +0xfc
    int32_t flagsWord;           // +0x100
    int32_t programCounter;      // +0x104
    const void* routeStep;       // +0x108 current entry of the 12-byte route-step list
    ObjectRecord* leader;        // +0x10c null for the leader itself
    const void* formationSlot;   // +0x110 20-byte slot record
    const void* pendingProgram;  // +0x118 jumped to at the start of the next frame
    const void* missionRecord;   // +0x11c the unit's mission record (its AI part)
    const void* unitType;        // +0x120 unit type descriptor
    int32_t desiredSpeed;        // +0x124
    int32_t timeStamp;           // +0x128 clock ticks
    int32_t attackRange;         // +0x130
    uint8_t aiState;             // +0x134
    uint8_t waypointBehaviour;   // +0x135
    uint8_t ownTargets;          // +0x136 may pick its own targets
    uint8_t savedState;          // +0x137
    uint8_t countermeasure;      // +0x138 bit 0 flare, otherwise chaff
    uint8_t isMember;            // +0x139 0 leader, 1 member
    uint8_t routeNumber;         // +0x13a
    uint8_t waypointNumber;      // +0x13b
    uint8_t sideMasks[3];        // +0x13c
    uint8_t engagement;          // +0x13f
    uint8_t shortMissiles;       // +0x140
    uint8_t longMissiles;        // +0x141
    uint8_t gunBursts;           // +0x142
    uint8_t weapon;              // +0x143 5 gun, 6 short-range, 7 long-range missile
    uint8_t gunCountdown;        // +0x144
    uint16_t roadWord;           // +0x146 cleared for road vehicles
    // The unit AI's own, beyond the fields the programs address.
    uint8_t subtype;             // unit type (aircraft) or ground subtype
    uint8_t stepList;            // route-step list (group of array 5), 0xFF none
    uint8_t stepNumber;          // current entry of it
    uint8_t formation;           // formation number
    uint8_t skill;               // 0..3
    uint8_t slotIndex;           // member n takes slot n-1; 0xFF none
    // The command interpreter's return stack (returnAddress mirrors its top).
    int32_t returnStack[8];
    uint8_t returnDepth;
};

// The other pool kinds; each begins with the header.
struct _PLAYER_DCB {   // player aircraft
    ObjectRecord object;
    PlanePlayerFields fields;
};
struct _WEAPON_TYPE;
// The fields of a weapon in flight that its guidance reads and writes.
struct WeaponObjectFields {
    const _WEAPON_TYPE* row;     // the weapon-type row; null: not a weapon
    int32_t lifetime;            // frames left; the low four bits phase the 16-frame checks
    int32_t turnAllowance;       // largest turn per frame, 25-bit angle units
    ObjectRoutine targetLost;    // called when guidance drops the target, or null
    uint8_t launchLock;          // lock state at launch
    // Flight state of the launch and think routines.
    int32_t acceleration;        // added to the speed each frame below top speed
    FixVec3 dropAcceleration;    // added to the velocity each frame of the drop
    ObjectRoutine motorStart;    // the think routine after the drop
    ObjectRoutine groundHit;     // run when the weapon meets the ground; null: freed
    int32_t hitValue;            // copied from the row
    int32_t hitSpread;
    int32_t hitKind;
    uint8_t areaBlast;           // row kind bit WEAPON_AREA_BLAST
    // Bombs: the aim point and the predicted impact steered towards it.
    FixWorldPos aimPoint;
    FixWorldPos impactPoint;
    uint8_t hasAimPoint;
    uint8_t tumbleDirection;     // 0 pitch rising, 1 falling
    int32_t tumbleRate;
};
// The fields of a visual effect (explosion sprites, smoke, debris, wrecks,
// trail segments and the ejected pilot); the age is the header's frame
// counter.
struct EffectObjectFields {
    int32_t life;                // +0xc4 remaining frames (trail segments: 16.16 fade)
    int32_t countdown;           // +0xc8 puff countdown (wreck), growth (wreck puff)
    FixVec3 velocity;            // +0xcc x, height, z per frame
    int32_t driftX;              // +0xd8 added to the x velocity per frame
    int32_t driftZ;              // +0xe0 added to the z velocity per frame
    uint8_t frameShift;          // +0xe4 frame = age >> shift
    uint16_t spriteSize;         // +0xe6 size of the scaled sprite draw
    int32_t speedLoss;           // +0xa4 debris: speed lost per frame, growing
    // Trail segments.
    FixWorldPos startA, startB;  // +0xc8.. the start cross-piece
    FixWorldPos endA, endB;      // +0xe0.. the end cross-piece
    int32_t radius;              // +0xf8
    // The ejected pilot's sequence words.
    int32_t swingPitch;          // +0xc4 pendulum speeds
    int32_t swingRoll;           // +0xc8
    int32_t launchCounter;       // +0xcc
    int32_t turnCounter;         // +0xd0
    int32_t morphWeight;         // +0xd4
    int32_t morphRate;           // +0xd8
    int32_t settled;             // +0xe0
};
struct _COMMON_DCB {   // short-lived objects: weapons, effects
    ObjectRecord object;
    WeaponObjectFields weapon;
    EffectObjectFields effect;
};
struct _STATIC_DCB {   // static objects
    ObjectRecord object;
};
struct _CLIENT_DCB {   // the client's copies of remote objects
    ObjectRecord object;
};

// The object the last creation made.
extern ObjectRecord* obj_Current;

// World cell grid: 128 x 128 cells of 1 << 25 world units. Its list heads
// are the terrain's static list heads (depth_Level.staticHeads).
constexpr int32_t OBJ_GRID_SIZE = 128;
constexpr int32_t OBJ_GRID_SHIFT = 25;
// Head index of the cell holding (x, z): z-cell x 128 + x-cell.
inline uint32_t obj_CellIndex(uint32_t x, uint32_t z) {
    return (z >> OBJ_GRID_SHIFT) * OBJ_GRID_SIZE + (x >> OBJ_GRID_SHIFT);
}

// Category lists, in the order of the flag bits below; each drops what does
// not fit. Filled only on the side that simulates the world.
constexpr int32_t OBJ_CATEGORY_LISTS = 6;
constexpr uint8_t OBJ_CATEGORY_01 = 0x01;
constexpr uint8_t OBJ_CATEGORY_AI_PROGRAM = 0x02;   // a ground unit that runs an AI program
constexpr uint8_t OBJ_CATEGORY_PLAYER_TARGET = 0x04;
constexpr uint8_t OBJ_CATEGORY_LANDING = 0x08;      // landing places
constexpr uint8_t OBJ_CATEGORY_10 = 0x10;
constexpr uint8_t OBJ_CATEGORY_20 = 0x20;
constexpr uint8_t OBJ_CATEGORY_40 = 0x40;
struct ObjCategoryList {
    uint8_t bit;
    int32_t capacity;
    int32_t count;
    ObjectRecord* items[256];
};
extern ObjCategoryList obj_CategoryLists[OBJ_CATEGORY_LISTS];
// While 0, objects stay off the player target list.
extern int32_t obj_PlayerTargetsEnabled;

// The values the next obj_StaticCreate takes: its heading (the two angles
// after it are cleared with it) and its type number.
extern FixAngles obj_PendingAngles;
extern uint16_t obj_PendingType;

// The client's static objects, in creation order.
constexpr int32_t OBJ_CLIENT_STATICS = 1000;
extern ObjectRecord* obj_ClientStatics[OBJ_CLIENT_STATICS];
extern int32_t obj_ClientStaticCount;
// Static objects created since the last reset.
extern int32_t obj_StaticCount;

// Level start, before the static objects are created: empties the category
// lists and the client's static list.
void obj_ListsReset(void);
// Writes the simulation log's "level" line: the static objects and the
// count of each category list.
void obj_LevelLog(void);

// Mission start: the label module's state.
void obj_ClearLabelCache(void);

// A static object at (x, z) in world units with the model; the low byte of
// the type word is its draw flags, the high byte its flags. Taken from the
// client's static pool when this process runs a client, else from the
// server's; null when the pool is empty (the caller skips the object).
ObjectRecord* obj_StaticCreate(uint32_t x, uint32_t z, _PAK_HEADER* model, uint32_t typeWord);
// The same for a destructible structure: its own damage routine.
ObjectRecord* obj_StaticCreateDestructible(uint32_t x, uint32_t z, _PAK_HEADER* model, uint32_t typeWord);
// Pushes the object on its grid cell, gives it the static damage routine and
// adds it to the category lists.
void obj_CellListPush(ObjectRecord* object);
// Adds the object to the category lists its category flags select.
void obj_CategoryListsAdd(ObjectRecord* object);

// Effect records: from the common pool with the source's position, direction
// and attitude; from the first or the second effect pool at rest at the
// position. Null when the pool is empty.
ObjectRecord* fx_EffectSpawnMoving(int32_t type, const ObjectRecord* source);
ObjectRecord* fx_EffectTake(int32_t type, const FixWorldPos* position);
ObjectRecord* fx_EffectSpawnAtObject(int32_t type, const FixWorldPos* position);

// Clears a record just taken from its pool of everything its last object
// left in it, keeping only its pool links and its serial.
void obj_RecordClear(ObjectRecord* record);
// Queues the record on its pool's release list, once.
void obj_Free(ObjectRecord* object);
// Every reference to the object becomes the replacement (may be null), the
// view leaves it, then obj_Free.
void obj_Remove(ObjectRecord* object, ObjectRecord* replacement);
// Every registered reference variable equal to the object becomes the
// replacement; the clear form uses the one the last obj_Remove was given.
void obj_ReferencesReplace(ObjectRecord* object, ObjectRecord* replacement);
void obj_ReferencesClear(ObjectRecord* object);
// The reference table: variables holding an object pointer that a removal
// rewires. 0, or -1 when the table is full; adding one twice keeps one.
constexpr int32_t OBJ_REFERENCE_SLOTS = 64;
int32_t obj_ReferenceAdd(ObjectRecord** variable);
void obj_ReferenceRemove(ObjectRecord** variable);
void obj_ReferencesForget(void);

// Turns the attitude by the angular rates (when any is set).
void obj_ApplyAngularRates(ObjectRecord* object);
void obj_ComposeAttitude(FixAngles* attitude, const FixAngles* rates);

// The object lists by type: push at the head, append at the tail, take out.
// Every listed object (aircraft, units, weapons, decoys) shares the one type
// record, so one list serves every search; objects with OBJ_FLAG_UNLISTED
// never join it.
struct ObjTypeList {
    ObjectRecord* head;
    ObjectRecord* tail;
    int32_t count;
};
extern ObjTypeList obj_TypeList;
void obj_TypeListPush(ObjectRecord* object);
void obj_TypeListAppend(ObjectRecord* object);
void obj_TypeListUnlink(ObjectRecord* object);
int32_t obj_TypeListCount(const ObjectRecord* searcher);
// Empties the list (level start: the pools are made anew).
void obj_TypeListReset(void);

// A destroyed object stops being anyone's target.
void obj_ReplaceTargetRefs(ObjectRecord* object);
// The listed or static live object with the id, or null.
ObjectRecord* obj_FindById(uint16_t id);

// The object's display name, cut to size bytes with the terminator: the
// empty text for a null object, "NOPAK" without a model.
void obj_FormatName(char* buffer, size_t size, const ObjectRecord* object);
void obj_DisplayName(const ObjectRecord* object, char* buffer, size_t size);
// Label table entry (filled at level start): "name ", then unless flag bit 1
// the string-table text of its kind's base + index, " " and the number.
struct ObjLabelEntry {
    uint8_t kind;          // 0 aircraft groups (base 27), 1 ground groups (base 177)
    uint8_t index;
    uint8_t number;
    uint8_t flags;
    const ObjectRecord* record;
};
constexpr int32_t OBJ_LABELS = 128;
extern ObjLabelEntry obj_LabelTable[OBJ_LABELS];
extern int32_t obj_LabelCount;
// 0 with the label composed, -1 for an unknown entry or no buffer.
int32_t obj_ComposeLabel(int32_t entry, char* buffer, size_t size);

// Geometry on world positions (x, height, z). Angles are 25-bit; heading 0
// looks along +z. Distances are the approximate 3-D length (largest
// difference + 5/16 of the other two), never 0.
int32_t obj_Bearing(const FixWorldPos* from, const FixWorldPos* to);
int32_t obj_BearingHalfScale(const FixWorldPos* from, const FixWorldPos* to);
int32_t obj_Elevation(const FixWorldPos* from, const FixWorldPos* to);
int32_t obj_ElevationReverse(const FixWorldPos* from, const FixWorldPos* to);
int32_t obj_PosDistance(const FixWorldPos* a, const FixWorldPos* b);
int32_t obj_Distance(const ObjectRecord* a, const ObjectRecord* b);
int32_t obj_DistanceHalf(const ObjectRecord* a, const ObjectRecord* b);
// Exact length of the halved differences, in 16.16.
int64_t obj_DistanceExactHalf(const ObjectRecord* a, const ObjectRecord* b);
inline int32_t obj_HalfDistance(const ObjectRecord* a, const ObjectRecord* b) { return obj_DistanceHalf(a, b); }

// Terrain line of sight from the object to the position: 1 clear, 0 blocked.
int32_t obj_LineOfSight(const ObjectRecord* from, const FixWorldPos* to);
// The same march in steps of the given length (world units); the MFD picture
// samples every half terrain cell.
int32_t obj_LineOfSightStep(const ObjectRecord* from, const FixWorldPos* to, int32_t stepLength);
inline int32_t obj_TerrainLineOfSight(const ObjectRecord* from, const FixWorldPos* to) {
    return obj_LineOfSight(from, to);
}

// Search filter: wanted flags (the kinds) against the object's class byte
// (aiClass: 1 aircraft, 2 ground unit or structure, 8 missile), wanted
// categories against its state byte (stateFlags: 1 airborne, 2 on the
// ground): the air search 1/1 wants an airborne aircraft. The object
// records carry both bytes to the clients (their category and status
// bytes), so a search finds a client's copies as it finds the server's
// objects; the category flags (+0x5e) only fill the category lists. Never
// the searcher itself nor the object that launched it. A
// searcher controlled by a player sees every side; any other searcher sees
// objects whose side shares a bit with its side mask, never those of
// alliance A (friendly to all). Aircraft are subject to the detection
// range, scaled by their signature.
struct ObjSearchState {
    int64_t bestDistance;
    ObjectRecord* best;
    int32_t minDistance;
    // -1 none: only the player's target searches set a range, so the AI's
    // searches never depend on whether the player has searched yet.
    int32_t detectRange = -1;
    int32_t cone;            // 1/512 turns
    FixVec3 forward;         // 16.16
    uint8_t sideMask;
};
extern ObjSearchState obj_Search;
// Nonzero for the server's own record of an aircraft, AI unit or weapon. In a
// game whose server shares the process the player's searches skip these and
// see the client's copies, as a client of a remote server does.
int32_t obj_ServerRecord(const ObjectRecord* object);
int32_t obj_CandidateFilter(const ObjectRecord* searcher, const ObjectRecord* object, uint8_t wantedFlags,
                            uint8_t wantedCategories);
int32_t obj_IsDetected(const ObjectRecord* object, int32_t distance, int32_t range);
// Cone about obj_Search.forward of half-angle obj_Search.cone.
int32_t obj_InCone(const ObjectRecord* searcher, const ObjectRecord* object);
// The signature factor (16.16) of an object: 0x10000 unless it is an AI unit.
int32_t obj_SignatureFactor(const ObjectRecord* object);
// The side mask a searcher compares: an AI unit's first mask, else all.
uint8_t obj_SideMask(const ObjectRecord* searcher);

// Searches over the type list; the best object (null when none) and its
// distance in *distance when given. A tie keeps the earlier object.
ObjectRecord* obj_FindNearest(const ObjectRecord* searcher, uint8_t flags, uint8_t categories, int32_t maximum,
                              int32_t* distance);
ObjectRecord* obj_FindNextNearest(const ObjectRecord* searcher, uint8_t flags, uint8_t categories,
                                  int32_t minimum, int32_t maximum, int32_t* distance);
ObjectRecord* obj_FindNearestInCell(const ObjectRecord* searcher, int32_t maximum, int32_t* distance);
ObjectRecord* obj_FindNearestVisible(const ObjectRecord* searcher, uint8_t flags, uint8_t categories,
                                     int32_t maximum, int32_t* distance);
ObjectRecord* obj_FindNextNearestInCone(const ObjectRecord* searcher, uint8_t flags, uint8_t categories,
                                        int32_t minimum, int32_t maximum, int32_t* distance);
ObjectRecord* obj_FindNextNearestDetected(const ObjectRecord* searcher, uint8_t flags, uint8_t categories,
                                          int32_t minimum, int32_t maximum, int32_t* distance);
ObjectRecord* obj_NearestAttackerOf(const ObjectRecord* searcher, const ObjectRecord* victim, int32_t* distance);
ObjectRecord* obj_BestInBoresight(const ObjectRecord* searcher, uint8_t flags, uint8_t categories);
// The radar filter: the 56/512-turn cone about the searcher's nose.
int32_t obj_FindNearestFiltered(const ObjectRecord* searcher, const ObjectRecord* object);

// The player's target candidates: up to 8, nearest first.
constexpr int32_t OBJ_CANDIDATES = 8;
constexpr int32_t OBJ_CANDIDATE_RANGE = 0x3B600000;   // 243200 feet
constexpr int32_t OBJ_SYS_DEGRADED_SEARCH = 21;
extern ObjectRecord* obj_Candidates[OBJ_CANDIDATES];
extern int32_t obj_CandidateCount;
int32_t obj_BuildCandidates(ObjectRecord* searcher, uint8_t flags, uint8_t categories);
int32_t obj_CandidateIndex(const ObjectRecord* object);
void obj_TargetNext(ObjectRecord* searcher);
void obj_TargetPrev(ObjectRecord* searcher);
// Takes the object out of the 8-entry target candidate list.
void obj_TargetCandidateRemove(ObjectRecord* object);
ObjectRecord* obj_ConeTargetPrev(ObjectRecord* searcher, uint8_t flags, uint8_t categories);
ObjectRecord* obj_ConeTargetNext(ObjectRecord* searcher, uint8_t flags, uint8_t categories);

// The player aircraft's target selection: the entry at plane_TargetListIndex
// of the player target list (category 0x04); the cue (counted in
// plane_TargetCues while plane_TargetCueOption is on); the automatic
// reacquisition with the gear up and the radar working.
extern int32_t plane_TargetListIndex;
extern int32_t plane_TargetCueOption;
extern int32_t plane_RadarLockOption;
extern int32_t plane_TargetCues;
void plane_TargetFromList(ObjectRecord* player);
void plane_TargetCue(void);
void plane_TargetReacquire(ObjectRecord* player);
// The target keys 0x23..0x28 of the flying controls: 1 when the code was
// one of them (the operation ran), else 0.
int32_t plane_TargetKey(ObjectRecord* player, int32_t code);

// A checked reference to a pooled record: stale once the record has gone
// back to its pool or been taken again.
struct ObjHandle {
    DcbPool* pool;
    uint32_t index;
    uint32_t serial;
};
// The handle of a pooled record; the empty handle for null.
ObjHandle obj_HandleMake(const ObjectRecord* object);
// The record, or null for the empty handle, a stale one or a record on its
// way back to the pool.
ObjectRecord* obj_HandleResolve(const ObjHandle* handle);

// Fields by the byte offset the AI programs use.
enum ObjFieldKind : uint8_t {
    OBJ_FIELD_UNSIGNED,  // read zero-extended, written truncated
    OBJ_FIELD_SIGNED,    // read sign-extended, written truncated
    OBJ_FIELD_CONSTANT,  // the pool's bookkeeping: read zero-extended, never written
    OBJ_FIELD_OBJECT,    // an object: read and written as a handle
    OBJ_FIELD_ROUTINE,   // read-only: 1 when set, 0 when null
    OBJ_FIELD_LINK,      // read-only: 1 when set, 0 when null
};
struct ObjFieldEntry {
    uint16_t offset;     // as the programs know it
    uint8_t width;       // bytes at that offset
    ObjFieldKind kind;
    const char* field;   // the native field's name
    uint32_t native;     // its offset in the native record
    uint8_t aiOnly;      // in the AI extension: only AI records have it
};
extern const ObjFieldEntry obj_FieldTable[];
extern const int32_t obj_FieldCount;
// The entry at exactly that offset, or null.
const ObjFieldEntry* obj_FieldFind(uint32_t offset);
// 0, or -1 for an unknown offset, an object field, an AI field of a record
// that is not an AI unit, or (writes) a read-only field.
int32_t obj_FieldRead(const ObjectRecord* object, uint32_t offset, int32_t* value);
int32_t obj_FieldWrite(ObjectRecord* object, uint32_t offset, int32_t value);
// Object fields: 0, or -1 for any other offset and (writes) a stale handle.
int32_t obj_FieldReadObject(const ObjectRecord* object, uint32_t offset, ObjHandle* handle);
int32_t obj_FieldWriteObject(ObjectRecord* object, uint32_t offset, const ObjHandle* handle);

// The 16.16 unit vector of the heading and pitch (x east, y up, z north).
FixVec3 obj_ForwardOf(const FixAngles* angles);

// The client object chain: the copies named in the packet being read, then
// the known copies, then the client's static objects; and the own (player)
// aircraft, which the chain does not hold. The walk calls visit for each
// object in that order.
struct ObjClientChain {
    ObjectRecord* head;
    ObjectRecord* own;
};
ObjClientChain obj_ClientChain(void);
void obj_ClientChainWalk(void (*visit)(ObjectRecord* object, void* context), void* context);
