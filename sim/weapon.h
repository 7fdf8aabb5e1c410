// Weapon types and weapon objects as the level loader and the server use
// them.
#pragma once
#include <cstdint>

#include "base/fix.h"

struct ObjectRecord;

// Level load: the model of every weapon type into its model slot.
void weapon_LoadModels(void);
// Mission start: empties the flare and chaff lists.
void weapon_DecoyListsReset(void);

// Makes weapon type 0..38 the current one for the next launch or bullet.
void weapon_SetCurrentType(int32_t type);

// The launch record the creations below read: the launch position and two
// launch values.
struct WeaponLaunchRecord {
    FixVec3 position;
    int32_t value[2];
};
extern WeaponLaunchRecord weapon_LaunchRecord;

// A bullet of the current type from the position, velocity and angles
// already in the object.
void weapon_InitBullet(ObjectRecord* bullet);
// Weapon objects of the current type from the launch record; null when none
// could be made.
ObjectRecord* weapon_LaunchMissileObject(ObjectRecord* launcher);
// aimPoint may be null.
ObjectRecord* weapon_LaunchBombObject(const FixWorldPos* aimPoint);
ObjectRecord* weapon_SpawnReleasedStore(void);
// A flare or chaff object for the owner, from the bullet pool, or null.
ObjectRecord* weapon_FlareCreate(ObjectRecord* owner);
ObjectRecord* weapon_ChaffCreate(ObjectRecord* owner);

// Takes the object out of the weapon target list.
void weapon_TargetListRemove(ObjectRecord* object);

// The kind bits of weapon type 0..38 (0x1 gun, 0x20 missile, 0x1000000 the
// hit jolts the flight) and the id of its sound-trigger entries; 0 for an
// index outside the table.
uint32_t weapon_TypeKindBits(int32_t type);
int32_t weapon_TypeSoundNumber(int32_t type);
