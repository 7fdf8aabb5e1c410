// Aircraft types and the player's aircraft record.
//
// Stand-in until the aircraft land: the records hold only the fields that
// the shell, base and input layers read, and no aircraft type is registered.
#pragma once
#include <cstdint>

#include "base/fix.h"
#include "base/math.h"

struct ObjectRecord;
struct PlayerAircraftBlock;

// Float flight state of an object: frame (metres) and velocity (metres).
struct FloatStateRecord {
    MathFrame frame;
    MathVec3 velocity;
};

struct _PLANE {
    uint32_t flags;   // 0x20: on the ground
};

// The current aircraft record, or null.
inline _PLANE* plane_Current = nullptr;

// Aircraft type descriptor; the start-up reads only its name.
struct _PLANE_TYPE {
    char name[16];
    char exteriorModel[16];
};

// The copy of the flown type's descriptor.
extern _PLANE_TYPE plane_CurrentDescriptor;

// Registers the built-in aircraft types (once) and clears the copy.
void plane_Init(void);
void plane_Shutdown(void);
// The registered type of that exact name, or null.
const _PLANE_TYPE* plane_TypeFind(const char* name);
// Releases the current aircraft record.
void plane_Release(void);

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

// The pilot's head angles (degrees, 0..360): 0 with the angles, -1 when
// there is no player aircraft.
int32_t plane_PlayerHeadGet(float* yaw, float* pitch);
void plane_PlayerHeadSet(float yaw, float pitch);

// Placement: on the terrain at level start; at the start point of the
// start-up record on a respawn; every player object stopped at round end.
void plane_PlaceAtLevelStart(ObjectRecord* object);
void plane_PlaceForRespawn(ObjectRecord* player, const void* startup);
void plane_HaltPlayerObjects(void);
// The player ejects at a game-over event.
void plane_EjectOnEvent(ObjectRecord* player);

// Takes one store of the weapon type from the aircraft block: 0, or -1 when
// none is left.
int32_t plane_DecrementStore(PlayerAircraftBlock* block, int32_t weaponType);
// A hit of that weapon type on the player's aircraft.
void plane_PlayerHit(int32_t weaponType);
// The descriptor's client-frame hook, if any (1 at the start of the fly-in
// camera, 0 at its end).
void plane_HookClientFrame(int32_t flag);
// 0 with the point where the sight ray meets the terrain, -1 when it meets
// nothing.
int32_t plane_SightGroundPoint(FixWorldPos* hit);
// Input-driven rotations of the current aircraft record.
void plane_ApplyInputRotations(void);
// Order 0..9 to the aircraft's wingman.
void plane_WingmanOrder(ObjectRecord* aircraft, int32_t order);
