// Placement and motion routines of the object renderer that object records
// use.
#pragma once
#include <cstdint>

struct ObjectRecord;

// Height = the given height / 16, or with -1 the terrain height under the
// object, plus its model's base height.
void obj_GroundHeightSet(ObjectRecord* object, int32_t height);
// Think and second-pass routines of pooled effects: fly along the
// attitude; nonzero once at or below the ground.
void fx_EffectThink(ObjectRecord* object);
int32_t fx_EffectGroundTest(ObjectRecord* object);
