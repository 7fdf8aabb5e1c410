// Game-type rules as the object code uses them.
#pragma once

struct ObjectRecord;

// Damage routines of static objects and of destructible structures: they
// take the current hit record, announce a destruction and score it.
void Server_StaticDamage(ObjectRecord* object);
void Server_StaticDamageDestructible(ObjectRecord* object);
