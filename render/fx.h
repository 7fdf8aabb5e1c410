// Visual effects that the simulation spawns.
#pragma once
#include <cstdint>

#include "base/fix.h"

struct ObjectRecord;

// The object's trailing effect, when it is near the viewpoint.
void weapon_SpawnNearbyEffect(ObjectRecord* object);
// A bullet's impact sprite on the terrain under the object.
ObjectRecord* fx_ImpactSpriteSpawn(const ObjectRecord* object);
// Called by the flight model every frame the vapour trail shows: the next
// segments of the aircraft's two trails.
void fx_TrailPairStep(ObjectRecord* aircraft);

// The effects of the explosion and debris events, each at a world position.
void fx_DebrisBurst(const FixWorldPos* position, int32_t count);
void fx_AirBurstSpawn(const FixWorldPos* position);
void fx_SmallExplosion(const FixWorldPos* position);
void fx_FlakBurst(const FixWorldPos* position);
void fx_BombBlast(const FixWorldPos* position);
void fx_WideBlast(const FixWorldPos* position);
// Effects of the player's crash and death, at a position (x, height, z).
// Fragments, fires and kill explosion sprites.
void fx_KillExplosion(const FixWorldPos* position);
void fx_AirExplosion(const FixWorldPos* position);
// A wreck (life 1200 frames), or null when the pool is empty.
ObjectRecord* fx_WreckSpawn(const FixWorldPos* position);
// The animated burst on the terrain (also the ground explosion event), or null when the pool is empty.
ObjectRecord* fx_GroundBurstSpawn(const FixWorldPos* position);
// Effect type numbers the level's art set-up fills.
extern int32_t fx_TypeDebris;
extern int32_t fx_TypeWreck;
