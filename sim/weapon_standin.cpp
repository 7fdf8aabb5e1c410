// Stand-in until the weapons land: there are no weapon types, so nothing is
// launched.
#include "sim/weapon.h"

WeaponLaunchRecord weapon_LaunchRecord;

void weapon_LoadModels(void) {}
void weapon_DecoyListsReset(void) {}
void weapon_SetCurrentType(int32_t) {}

void weapon_InitBullet(ObjectRecord*) {}
ObjectRecord* weapon_LaunchMissileObject(ObjectRecord*) { return nullptr; }
ObjectRecord* weapon_LaunchBombObject(const FixWorldPos*) { return nullptr; }
ObjectRecord* weapon_SpawnReleasedStore(void) { return nullptr; }
ObjectRecord* weapon_FlareCreate(ObjectRecord*) { return nullptr; }
ObjectRecord* weapon_ChaffCreate(ObjectRecord*) { return nullptr; }

void weapon_TargetListRemove(ObjectRecord*) {}
