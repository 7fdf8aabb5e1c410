// Aircraft types and the player's aircraft record.
//
// An aircraft type is a static descriptor (_PLANE_TYPE) naming its models and
// holding the hooks that give it its behaviour. The client creates one
// aircraft record (_PLANE) for the local player's aircraft; every other
// subsystem reaches the aircraft's behaviour through the call-if-set
// wrappers below, which call the hooks of the current descriptor copy.
// Aircraft families (_PLANE_FAMILY) give an aircraft name its store mount and
// rail models. Main thread only.
#pragma once
#include <cstdint>

#include "base/fix.h"
#include "base/math.h"
#include "sim/obj.h"
#include "sim/plane_fields.h"

struct ObjectRecord;
struct PlayerAircraftBlock;

// Float flight state of an object: frame (metres) and velocity (metres).
struct FloatStateRecord {
    MathFrame frame;
    MathVec3 velocity;
};

// A hook gets the caller's argument unchanged.
typedef int32_t (*PlaneHook)(intptr_t argument);

// Hook slots of _PLANE_HOOKS.
enum : int32_t {
    PLANE_HOOK_SLOT0,
    PLANE_HOOK_CREATE,          // with the new record as the argument
    PLANE_HOOK_RELEASE,
    PLANE_HOOK_RESTART,
    PLANE_HOOK_FRAME,           // with the aircraft object as the argument
    PLANE_HOOK_DRAW3D,
    PLANE_HOOK_READOUTS,        // no caller
    PLANE_HOOK_STORE_DISPLAY,
    PLANE_HOOK_REFUEL,
    PLANE_HOOK_REPAIR,
    PLANE_HOOK_SLOT10,          // no caller
    PLANE_HOOK_CLIENT_FRAME,
    PLANE_HOOK_FRAME_DRAW,
    PLANE_HOOK_SIGHT_RAY,
    PLANE_HOOK_WEAPON_CHANGED,
    PLANE_HOOKS
};
struct _PLANE_HOOKS {
    PlaneHook slot[PLANE_HOOKS];
};
// Cockpit hooks 1 to 11 are entries 0 to 10.
constexpr int32_t PLANE_COCKPIT_HOOKS = 11;

constexpr uint32_t PLANE_TYPE_REGISTERED = 0x01;

// Aircraft type descriptor.
struct _PLANE_TYPE {
    char name[16];               // matched exactly
    char exteriorModel[16];
    char aiModel[16];
    char cockpitModel[16];       // virtual cockpit
    char cockpitNightModel[16];
    char glassModel[16];
    char mountModel[16];         // store mounts
    char railModel[16];          // missile rails
    uint32_t damageableSystems;  // bit i: system i can be damaged
    uint32_t seekerOption;
    void (*setup)(PlayerAircraftBlock* block);
    uint32_t recordSize;         // bytes of the record as the type counts them
    _PLANE_HOOKS hooks;
    PlaneHook cockpitHooks[PLANE_COCKPIT_HOOKS];  // avion_CockpitHookTable
    uint32_t markerParameters[3];
    uint32_t ordnanceSetup;
    int32_t gunParameters[5];    // muzzle x, y, z and two gun values
    uint32_t aircraftSoundType;
    uint32_t warningSoundType;
    uint32_t orderSoundType;
    _PLANE_TYPE* prev;           // registry
    _PLANE_TYPE* next;
    uint32_t registryFlags;
    int32_t registryIndex;       // -1 while unregistered
    const void* inputMap;        // the aircraft's input-action table
    float throttle[17];          // idle, landing, cruise, military, afterburner, axis scale, 11 steps
    float axisLimits[6];         // three (minimum, maximum) pairs
    uint32_t stateSize;          // native bytes after the head when more than recordSize leaves
    int32_t trailHalfWidth;      // half the width of a vapour-trail ribbon
    int32_t trailPoints[2];      // attachment points (model parts) of the first and second trail
};

// Aircraft family.
struct _PLANE_FAMILY {
    uint32_t number;             // 0..4
    char name[16];
    char mountModel[16];
    char railModel[16];
    uint32_t mountKind;          // 0, 1 or 2
    void (*routines[3])(void);   // loadout routines of the family
    _PLANE_FAMILY* prev;
    _PLANE_FAMILY* next;
    uint32_t registryFlags;
    int32_t registryIndex;
};

// The aircraft record. The type's flight-state words follow it, as many as
// its descriptor's record size leaves beyond the fields below.
struct _PLANE {
    const _PLANE_TYPE* descriptor;
    uint32_t words[2];
    uint32_t flags;              // 0x01 flying, 0x02 destroyed, 0x10 ejected, 0x20 on the ground
    MathVec3 position;           // x, altitude, z in metres
    MathMat33 orientation;       // row by row
    MathVec3 velocity;           // metres per frame
};
// Bytes of the fields above as the descriptor's record size counts them.
constexpr uint32_t PLANE_RECORD_HEADER = 76;

// The current aircraft record, or null.
extern _PLANE* plane_Current;
// The copy of the flown type's descriptor; every hook call goes through it.
extern _PLANE_TYPE plane_CurrentDescriptor;
// The shipped type, "KRX".
extern _PLANE_TYPE plane_TypeKrx;

// The registries: head, tail and count.
struct PlaneTypeRegistry {
    _PLANE_TYPE* head;
    _PLANE_TYPE* tail;
    int32_t count;
};
struct PlaneFamilyRegistry {
    _PLANE_FAMILY* head;
    _PLANE_FAMILY* tail;
    int32_t count;
};
extern PlaneTypeRegistry plane_Types;
extern PlaneFamilyRegistry plane_Families;

// Registers the built-in families and types (once a run) and clears the
// descriptor copy; shutdown undoes it and releases the record.
void plane_Init(void);
void plane_Shutdown(void);
// Append at the tail unless registered; unlink if registered; renumber.
void plane_FamilyRegister(_PLANE_FAMILY* family);
void plane_TypeRegister(_PLANE_TYPE* type);
void plane_FamilyUnregister(_PLANE_FAMILY* family);
void plane_TypeUnregister(_PLANE_TYPE* type);
void plane_FamilyUnregisterAll(void);
void plane_TypeUnregisterAll(void);
// The first registered record of exactly that name, or null.
_PLANE_FAMILY* plane_FamilyFind(const char* name);
_PLANE_TYPE* plane_TypeFind(const char* name);
_PLANE_FAMILY* plane_FamilyFindByIndex(int32_t index);
_PLANE_TYPE* plane_TypeFindByIndex(int32_t index);
void plane_FamilyRenumber(void);
void plane_TypeRenumber(void);
// The named family's number, -1 when none; its mount kind, 0 when none.
int32_t plane_FamilySlotByName(const char* name);
int32_t plane_QueryRecordValue(const char* name);

// Releases the current record, then makes a new one for the descriptor and
// runs its create hooks: the record, or null (no record is current then).
_PLANE* plane_Create(const _PLANE_TYPE* descriptor);
// Runs the record's release hooks and frees it.
void plane_Release(void);

// The object's position and orientation into the record, and the record's
// position, orientation and velocity back into the object.
void plane_RecordFromObject(_PLANE* plane, const ObjectRecord* object);
void plane_RecordToObject(const _PLANE* plane, ObjectRecord* object);

// The call-if-set wrappers: nothing happens while no record is current or
// the slot is empty; otherwise the hook's result.
int32_t plane_HookSlot0Call(intptr_t argument);
int32_t plane_HookRestart(intptr_t argument);
// Hook 4 with the aircraft object, then the pending one-shot routine.
int32_t plane_HookFrame(ObjectRecord* object);
int32_t plane_HookDraw3D(intptr_t argument);
int32_t plane_HookReadoutsCall(intptr_t argument);
int32_t plane_HookStoreDisplay(intptr_t argument);
int32_t plane_HookRefuel(intptr_t argument);
int32_t plane_HookRepair(intptr_t argument);
int32_t plane_HookSlot10Call(intptr_t argument);
// The client-frame hook (1 at the start of the fly-in camera, 0 at its end).
void plane_HookClientFrame(int32_t flag);
int32_t plane_HookFrameDraw(intptr_t argument);
// Clears plane_SightRayFlag, then hook 13.
int32_t plane_HookSightRay(intptr_t argument);
int32_t plane_HookWeaponChanged(intptr_t argument);
// Cockpit hook 7.
int32_t plane_HookHud(intptr_t argument);

// Set by the cockpit code: run once by the next plane_HookFrame with the
// record's frame and velocity taken from and given back to the object.
extern void (*plane_PendingRoutine)(_PLANE* plane);
// Result of the last sight ray.
extern int32_t plane_SightRayFlag;

// What the force-feedback frame reads from the player's aircraft.
struct PlaneFeedbackState {
    int32_t noControl;            // the player cannot fly
    int32_t onGround;             // aircraft flag 0x20
    float yawForce;               // degrees
    float pitchForce;             // degrees
    float speed;
    float referenceSpeed;         // speed / this = VELOCITY
    float groundReferenceSpeed;   // speed / this = GROUND_FRICTION
    float gLoad;
    float balanceFactor;
    float level;                  // r: LEVEL = -(|r| x r)
    float engineOutput;
    float stress;                 // the global stress value
    int32_t hasOrdnanceManager;   // the player's ordnance manager exists
    float imbalance;              // its imbalance value
};

// 0 with the state of the player's aircraft, -1 when there is none.
int32_t plane_FeedbackStateGet(PlaneFeedbackState* state);

// The pilot's head angles (degrees, 0..360), kept in the local player
// object's fields and zeroed with them when it is placed: 0 with the
// angles, -1 when there is no player object (setting them then does nothing).
int32_t plane_PlayerHeadGet(float* yaw, float* pitch);
void plane_PlayerHeadSet(float yaw, float pitch);

// Placement: on the terrain at level start; at the start point of the
// start-up record on a respawn; every player object stopped at round end.
void plane_PlaceAtLevelStart(ObjectRecord* object);
void plane_PlaceForRespawn(ObjectRecord* player, const void* startup);
void plane_HaltPlayerObjects(void);
// Think routines of a dead player object: the shot-down fall, and the
// crash spin (its frame counter holds the frames left).
void plane_DeathThink(ObjectRecord* object);
void plane_RespawnWait(ObjectRecord* object);
// The player leaves the aircraft: by the player's own key, or at a
// game-over event.
void plane_PlayerEject(ObjectRecord* player);
void plane_EjectOnEvent(ObjectRecord* player);

// The player object's think (every frame) and second pass (ground contact,
// touchdown, take-off and the weapon step).
void plane_PlayerThink(ObjectRecord* object);
int32_t plane_GroundContact(ObjectRecord* object);
// Collision with the nearest objects: 1 when one was hit.
int32_t plane_ObjectCollision(ObjectRecord* object);
// The crash, the mid-air collision and the destruction by damage.
void plane_Crash(ObjectRecord* object);
void plane_Midair(ObjectRecord* object);
void plane_SetDestroyed(ObjectRecord* object);
// One debris piece at the aircraft: the effect record, or null.
ObjectRecord* plane_SpawnDebris(ObjectRecord* object);
// Stores back to their defaults with 100 flares and chaff; fuel through the
// aircraft's hook.
void plane_ReloadStores(ObjectRecord* object);
void plane_Refuel(void);

// The player's counts for the debriefing.
struct PlanePlayerStats {
    int32_t landings;
    int32_t crashes;
    int32_t kills;
};
extern PlanePlayerStats plane_Stats;
// The wreck of the last crash outside single-player games.
extern ObjHandle plane_LastWreck;
// Hysteresis limit and touchdown interval (ticks).
constexpr uint16_t PLANE_GROUND_COUNT_MAX = 200;
constexpr uint32_t PLANE_TOUCHDOWN_TICKS = 200;
// Aircraft record flags this code keeps.
enum : uint32_t {
    PLANE_FLYING = 0x01,
    PLANE_DESTROYED = 0x02,
    PLANE_FALLING = 0x08,
    PLANE_EJECTED = 0x10,
    PLANE_ON_GROUND = 0x20,
    PLANE_GEAR_DOWN = 0x40,
    PLANE_ARMED = 0x80,            // gear up: the weapon step runs
    PLANE_STOPPED = 0x100,
    PLANE_AUTO_DECOYS = 0x800,
    PLANE_SIGHT_WANTED = 0x1000,
    PLANE_SIGHT_WANTED2 = 0x100000,
    PLANE_REPORT = 0x200000,
    PLANE_SERVICE = 0x800000,
};
// The attitude change of the last think (25-bit signed differences), for
// the cockpit and the cameras.
extern FixAngles plane_AttitudeChange;
// Frames the debriefing waits after the player's death in a single-player
// game.
extern int32_t plane_DebriefDelay;
// Set to 1 to switch the ground sight off.
extern int32_t plane_GroundSightOff;

// Takes one store of the weapon type from the aircraft block (from its first
// loaded mount, else from the store entry): 0, or -1 when the type has no
// store or none is left. Unlimited stores take nothing and succeed.
int32_t plane_DecrementStore(PlayerAircraftBlock* block, int32_t weaponType);
// The store entry, the mount entry and the first mount with stores left of
// a weapon type in the block, or null.
struct OrdStoreEntry;
struct OrdMountEntry;
struct PlayerSlot;
OrdStoreEntry* plane_StoreEntry(PlayerAircraftBlock* block, int32_t type);
OrdMountEntry* plane_MountEntry(PlayerAircraftBlock* block, int32_t type);
OrdMountEntry* plane_LoadedMountEntry(PlayerAircraftBlock* block, int32_t type);
// The server's record of player 0..127 while it is in use, else null.
PlayerSlot* plane_PlayerSlot(int32_t player);
// Keep and bring back the selected weapon (record, indices, lock state, the
// player's target and the launch words) around a temporary weapon use.
void plane_SaveWeaponState(void);
void plane_RestoreWeaponState(void);
// Per-weapon statistics of the player: shots, hits and hits by victim kind.
constexpr int32_t PLANE_WEAPON_STATS = 32;
struct PlaneWeaponStats {
    int32_t type;
    int32_t counter[5];
};
struct PlaneWeaponCount {
    int32_t type;
    int32_t count;
};
extern PlaneWeaponStats plane_WeaponStats[PLANE_WEAPON_STATS];
extern int32_t plane_WeaponStatsCount;
extern PlaneWeaponCount plane_WeaponCounts[PLANE_WEAPON_STATS];
extern int32_t plane_WeaponCountsCount;
// The entry of a weapon type 0..38, added when missing; null for another
// type or when the table is full.
PlaneWeaponStats* plane_WeaponStatsEntry(int32_t type);
// Adds count (at least 1) to the type's entry of the second table.
void plane_WeaponCountAdd(int32_t type, int32_t count);
void plane_WeaponStatsClear(void);
// The console's damage command: plane_DamageSystem with that index.
void plane_ApplyDamageC(int32_t index);
// A sound of the type (sub-type, id) at the object (none: where the
// listener is), at full volume, from the aircraft's sound table.
void plane_PlaySound(const ObjectRecord* object, uint32_t type, int32_t subtype, int32_t id);
// Warnings the hits have played.
extern int32_t plane_WarningCount;
// A hit of that weapon type on the player's aircraft.
void plane_PlayerHit(int32_t weaponType);
// The sight ray the aircraft's hook gives: origin in metres, unit direction
// in the aircraft's axes.
struct PlaneSightRay {
    MathVec3 origin;
    MathVec3 direction;
};
extern PlaneSightRay plane_SightRay;
struct PlaneSightHit {
    FixWorldPos point;
    int32_t hit;
};
extern PlaneSightHit plane_SightHit;
// 0 with the point where the sight ray meets the terrain, -1 when it meets
// nothing: marched in 10-metre steps, or (fine) in steps 62.5 times longer
// and then narrowed down by halving.
int32_t plane_SightGroundPoint(FixWorldPos* hit);
int32_t plane_SightGroundPointFine(FixWorldPos* hit);
// Input-driven rotations of the current aircraft record.
void plane_ApplyInputRotations(void);
// Order 0..9 to the aircraft's wingman.
void plane_WingmanOrder(ObjectRecord* aircraft, int32_t order);

// The fields of the player object (never null for an object).
PlanePlayerFields* plane_PlayerFields(ObjectRecord* object);
// 0 with the position (metres) of the object's current waypoint, -1 when it
// has none.
int32_t plane_WaypointPoint(const ObjectRecord* object, MathVec3* out);
void plane_WaypointPrev(ObjectRecord* object);
void plane_WaypointNext(ObjectRecord* object);
void plane_WaypointHome(ObjectRecord* object);
// Systems damage block: 0 intact, 1 damaged.
constexpr int32_t PLANE_SYSTEMS = 24;
enum : int32_t {
    PLANE_SYS_RADAR = 1,
    PLANE_SYS_HYDRAULICS = 2,
    PLANE_SYS_RUDDER = 3,
    PLANE_SYS_ELEVATOR = 5,
    PLANE_SYS_ENGINE = 6,
    PLANE_SYS_FUEL_LEAK = 10,
    PLANE_SYS_AIRBRAKE = 11,
    PLANE_SYS_SIGHT = 15,
    PLANE_SYS_GEAR = 17,
};
extern int32_t plane_SystemsDamage[PLANE_SYSTEMS];
// Damages system i of the player's aircraft (only 0..18 that the type can
// lose; the rudder takes the air brake with it).
void plane_DamageSystem(int32_t index);
// Set by plane_DamageSystem when a system was intact before.
extern int32_t plane_SystemNewlyDamaged;

// The player aircraft type's weight figures: empty weight, internal fuel
// weight and the maximum weight (kilograms).
void plane_Weights(float* empty, float* fuel, float* third);
