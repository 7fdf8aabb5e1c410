// Stand-in until the object renderer lands: placement on the terrain only;
// effects stand still.
#include "render/objmove.h"

#include "sim/obj.h"
#include "world/pak.h"
#include "world/terrain.h"

void obj_GroundHeightSet(ObjectRecord* object, int32_t height) {
    if (!object) return;
    uint32_t y = height == -1 ? (uint32_t)terrain_HeightBilinear(&object->position) : (uint32_t)(height / 16);
    if (object->model) y += (uint32_t)object->model->baseHeight;
    object->position.y = y;
}

void fx_EffectThink(ObjectRecord*) {}
int32_t fx_EffectGroundTest(ObjectRecord*) { return 0; }
