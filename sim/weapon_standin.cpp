// Stand-ins until the released store, the bomb's blast, the unit AI's
// launches and flak land.
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

ObjectRecord* weapon_AiLaunchMissile(ObjectRecord*) { return nullptr; }
ObjectRecord* weapon_AiLaunchSam(ObjectRecord*) { return nullptr; }
ObjectRecord* weapon_AiDropBomb(ObjectRecord*) { return nullptr; }
ObjectRecord* weapon_AiGunShot(ObjectRecord*, int32_t) { return nullptr; }
void weapon_FlakCreate(ObjectRecord*, const FixWorldPos*) {}
