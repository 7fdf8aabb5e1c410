// Stand-ins until the released store and the bomb's blast land.
#include "render/objmove.h"
#include "sim/obj.h"
#include "sim/weapon.h"

ObjectRecord* weapon_SpawnReleasedStore(void) { return nullptr; }

// The bomb ends at the ground without its blast.
int32_t weapon_AreaBlast(ObjectRecord* bomb) {
    if (!fx_EffectGroundTest(bomb)) return 0;
    bomb->think = nullptr;
    obj_Free(bomb);
    return 1;
}
