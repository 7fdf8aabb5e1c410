// Flight-model services used by the client and the server.
#pragma once

struct ObjectRecord;

// Recomputes the object's speed value from its velocity.
void flight_SpeedFromVelocity(ObjectRecord* object);
// Jolts the player's attitude rates on a hit.
void flight_HitJolt(void);
