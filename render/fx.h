// Visual effects that the simulation spawns.
#pragma once
#include <cstdint>

#include "base/fix.h"

struct ObjectRecord;

// The object's trailing effect, when it is near the viewpoint.
void weapon_SpawnNearbyEffect(ObjectRecord* object);
// Called by the flight model every frame the vapour trail shows: the next
// segments of the aircraft's two trails.
void fx_TrailPairStep(ObjectRecord* aircraft);

// The effects of the explosion and debris events, each at a world position.
void fx_DebrisBurst(const FixWorldPos* position, int32_t count);
void fx_AirExplosion(const FixWorldPos* position);
void fx_AirBurstSpawn(const FixWorldPos* position);
void fx_SmallExplosion(const FixWorldPos* position);
void fx_GroundBurstSpawn(const FixWorldPos* position);
void fx_FlakBurst(const FixWorldPos* position);
void fx_BombBlast(const FixWorldPos* position);
void fx_WideBlast(const FixWorldPos* position);
