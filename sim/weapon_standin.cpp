// Stand-in until the launches land: nothing is launched.
#include "sim/weapon.h"

ObjectRecord* weapon_LaunchBombObject(const FixWorldPos*) { return nullptr; }
ObjectRecord* weapon_SpawnReleasedStore(void) { return nullptr; }

