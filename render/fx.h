// Visual effects that the simulation spawns.
#pragma once

struct ObjectRecord;

// The object's trailing effect, when it is near the viewpoint.
void weapon_SpawnNearbyEffect(ObjectRecord* object);
// Called by the flight model every frame the vapour trail shows: the next
// segments of the aircraft's two trails.
void fx_TrailPairStep(ObjectRecord* aircraft);
