// Stand-in until the seekers and launches land: no target list, no decoys,
// nothing is launched.
#include "sim/weapon.h"

WeaponLaunchRecord weapon_LaunchRecord;

void weapon_TargetListSeed(void) {}
void weapon_TargetValidate(void) {}

void weapon_InitBullet(ObjectRecord*) {}
ObjectRecord* weapon_LaunchMissileObject(ObjectRecord*) { return nullptr; }
ObjectRecord* weapon_LaunchBombObject(const FixWorldPos*) { return nullptr; }
ObjectRecord* weapon_SpawnReleasedStore(void) { return nullptr; }
ObjectRecord* weapon_FlareCreate(ObjectRecord*) { return nullptr; }
ObjectRecord* weapon_ChaffCreate(ObjectRecord*) { return nullptr; }

void weapon_TargetListRemove(ObjectRecord*) {}
