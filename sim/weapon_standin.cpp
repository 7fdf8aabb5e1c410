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

__attribute__((weak)) int32_t weapon_BombTargetInReach(void) { return 1; }
__attribute__((weak)) void weapon_SeekerHeadTrack(void) {}
__attribute__((weak)) void weapon_SeekerHeadReset(void) {}
__attribute__((weak)) int32_t weapon_SeekerConeRangeTest(const ObjectRecord*, const ObjectRecord*) { return 0; }
