// Stand-in until the visual effects land: nothing is spawned.
#include "render/fx.h"

void weapon_SpawnNearbyEffect(ObjectRecord*) {}
void fx_TrailPairStep(ObjectRecord*) {}
void fx_DebrisBurst(const FixWorldPos*, int32_t) {}
void fx_AirExplosion(const FixWorldPos*) {}
void fx_AirBurstSpawn(const FixWorldPos*) {}
void fx_SmallExplosion(const FixWorldPos*) {}
void fx_GroundBurstSpawn(const FixWorldPos*) {}
void fx_FlakBurst(const FixWorldPos*) {}
void fx_BombBlast(const FixWorldPos*) {}
void fx_WideBlast(const FixWorldPos*) {}
