// Visual effects that the simulation spawns.
#pragma once

struct ObjectRecord;

// The object's trailing effect, when it is near the viewpoint.
void weapon_SpawnNearbyEffect(ObjectRecord* object);
