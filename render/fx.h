// Visual effects: explosions, fire, smoke, wrecks, debris and trails. They
// are client records from the effect pools, stepped by their own think
// routines until their life runs out; nothing of them goes over the network.
#pragma once
#include <cstdint>

#include "base/fix.h"

struct ObjectRecord;
struct EffectObjectFields;
struct _PAK_HEADER;

// Effect type numbers (model slots) the level's art set-up fills; 0 until
// then.
extern int32_t fx_TypeFlak;
extern int32_t fx_TypeSmallExplosion;
extern int32_t fx_TypeKillSprite;
extern int32_t fx_TypeDebris;
extern int32_t fx_TypeFragment;
extern int32_t fx_TypeSmoke;
extern int32_t fx_TypeWreck;
extern int32_t fx_TypeImpact;
extern int32_t fx_TypeGroundBurst;
extern int32_t fx_TypeGroundFire;
extern int32_t fx_TypeNearby;
extern int32_t fx_TypeSeat;
// The level loaded the fixed model `name` into `slot`: note the effect type
// it stands for.
void fx_TypeFromModel(const char* name, int32_t slot);

// The effect fields of a record from the effect pools.
EffectObjectFields* fx_Fields(ObjectRecord* object);
// Animation frames of an effect model (header byte 70); at least 1.
int32_t fx_ModelFrames(const _PAK_HEADER* model);

// Spawners: the new record, or null when the pool is empty.
ObjectRecord* fx_SmallExplosion(const FixWorldPos* position);
ObjectRecord* fx_FlakBurst(const FixWorldPos* position);
ObjectRecord* fx_ModelPuffSpawn(const ObjectRecord* object);
ObjectRecord* fx_ImpactSpriteSpawn(const ObjectRecord* object);
ObjectRecord* fx_GroundBurstSpawn(const FixWorldPos* position);
ObjectRecord* fx_AirBurstSpawn(const FixWorldPos* position);
ObjectRecord* fx_GroundFireSpawn(const ObjectRecord* object);
// A wreck (life 1200 frames) that smokes, from the second pool.
ObjectRecord* fx_WreckSpawn(const FixWorldPos* position);
ObjectRecord* fx_WreckSpawnAlt(const FixWorldPos* position);
// The trailing effect of an object near the camera (none beyond 0x5F00000).
ObjectRecord* weapon_SpawnNearbyEffect(ObjectRecord* object);

// Composite spawners; each spawns what the pool holds.
void fx_AirExplosion(const FixWorldPos* position);
void fx_KillExplosion(const FixWorldPos* position);
void fx_DebrisBurst(const FixWorldPos* position, int32_t count);
void fx_BombBlast(const FixWorldPos* position);
void fx_WideBlast(const FixWorldPos* position);
// Fragment n (0..9) and one fire at the position: 0, or -1 when the pool is
// empty.
int32_t fx_FragmentSpawn(const FixWorldPos* position, int32_t n);
int32_t fx_FireSpawn(const FixWorldPos* position);

// Think and draw routines.
void fx_SpriteThink(ObjectRecord* object);
int32_t fx_SpriteThinkPass(ObjectRecord* object);
void fx_PuffThink(ObjectRecord* object);
void fx_DelayThink(ObjectRecord* object);
void fx_WreckThink(ObjectRecord* object);
void fx_WreckPuffThink(ObjectRecord* object);
void fx_FragmentThink(ObjectRecord* object);
void fx_FireThink(ObjectRecord* object);
void fx_DebrisThink(ObjectRecord* object);
void fx_SpriteDraw(ObjectRecord* object);
void fx_SpriteDrawScaled(ObjectRecord* object);

// Trails. The flight model calls the pair step every frame the vapour trail
// shows; the life (16.16, at most 0x1F0000) is the flight model's to set.
// The point number and half-width vector W are the pair step's, for the
// segment spawner.
extern int32_t fx_TrailLife;
extern int32_t fx_TrailPoint;
extern FixVec3 fx_TrailHalfWidth;
void fx_TrailPairStep(ObjectRecord* aircraft);
ObjectRecord* fx_TrailSegmentSpawn(ObjectRecord* aircraft, ObjectRecord* previous);
void fx_TrailThink(ObjectRecord* object);
void fx_TrailDraw(ObjectRecord* object);

// The particle plume behind the player's aircraft, drawn on the 3D card
// only: an emitter of rings of particles and a core, faded along a colour
// ramp and handed to the card's record-list entry each frame.
constexpr int32_t FX_PLUME_CAPACITY = 400;
constexpr int32_t FX_PLUME_RAMP = 64;
constexpr int32_t FX_PLUME_RAMP_MAX = 4608;
struct FxPlumeEmitter {
    int32_t enabled;
    int32_t fading;                 // the ramp runs down instead of up
    int32_t ramp;                   // R, 0..4608
    int32_t count;
    int32_t capacity;               // at most FX_PLUME_CAPACITY
    FixVec3 origin;                 // model space, behind the aircraft
    uint32_t colours[FX_PLUME_RAMP];  // 0x00BBGGRR by intensity >> 8
    FixVec3 position[FX_PLUME_CAPACITY];  // model space
    struct Particle {
        uint32_t colour;
        uint8_t active, alpha, core;
        FixVec3 velocity;
        int32_t life, intensity, step, size;
    } particles[FX_PLUME_CAPACITY];
};
extern FxPlumeEmitter fx_Plume;
// The aircraft draw runs the plume only while this is set (nothing in the
// game sets it).
extern int32_t fx_PlumePass;
// Sets the emitter up (ramp colours, capacity, origin), empty and off.
void fx_PlumeReset(void);
// One frame of the plume of `aircraft`: ramp, emission, update, submit.
void fx_PlumeFrame(ObjectRecord* aircraft);
