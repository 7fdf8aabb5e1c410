// Stand-in until the visual effects land: nothing is spawned.
#include "render/fx.h"

void weapon_SpawnNearbyEffect(ObjectRecord*) {}
void fx_TrailPairStep(ObjectRecord*) {}
