// Stand-in until the launches land: nothing is launched.
#include "sim/weapon.h"

WeaponLaunchRecord weapon_LaunchRecord;

void weapon_InitBullet(ObjectRecord*) {}
ObjectRecord* weapon_LaunchMissileObject(ObjectRecord*) { return nullptr; }
ObjectRecord* weapon_LaunchBombObject(const FixWorldPos*) { return nullptr; }
ObjectRecord* weapon_SpawnReleasedStore(void) { return nullptr; }
ObjectRecord* weapon_FlareCreate(ObjectRecord*) { return nullptr; }
ObjectRecord* weapon_ChaffCreate(ObjectRecord*) { return nullptr; }

