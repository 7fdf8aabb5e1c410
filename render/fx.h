// Visual effects that the simulation spawns.
#pragma once
#include <cstdint>

struct ObjectRecord;

// The object's trailing effect, when it is near the viewpoint.
void weapon_SpawnNearbyEffect(ObjectRecord* object);
// Called by the flight model every frame the vapour trail shows: the next
// segments of the aircraft's two trails.
void fx_TrailPairStep(ObjectRecord* aircraft);

// Effects of the player's crash and death, at a position (x, height, z).
struct FixWorldPos;
// Fragments, fires and kill explosion sprites.
void fx_KillExplosion(const FixWorldPos* position);
void fx_AirExplosion(const FixWorldPos* position);
// A wreck (life 1200 frames), or null when the pool is empty.
ObjectRecord* fx_WreckSpawn(const FixWorldPos* position);
// The animated burst on the terrain, or null when the pool is empty.
ObjectRecord* fx_GroundBurstSpawn(const FixWorldPos* position);
// Effect type numbers the level's art set-up fills.
extern int32_t fx_TypeDebris;
extern int32_t fx_TypeWreck;
