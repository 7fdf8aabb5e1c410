// Stand-in until the visual effects land: a wreck is a bare effect record;
// the other spawners only note the call in the simulation log.
#include "render/fx.h"

#include "base/fix.h"
#include "platform/simlog.h"
#include "sim/obj.h"

void weapon_SpawnNearbyEffect(ObjectRecord*) {}
void fx_TrailPairStep(ObjectRecord*) {}
ObjectRecord* fx_ImpactSpriteSpawn(const ObjectRecord* o) {
    if (o) plat_SimLog("fx", "impact %u %u %u", o->position.x, o->position.y, o->position.z);
    return nullptr;
}
void fx_DebrisBurst(const FixWorldPos*, int32_t) {}
void fx_AirBurstSpawn(const FixWorldPos*) {}
void fx_SmallExplosion(const FixWorldPos*) {}
void fx_FlakBurst(const FixWorldPos*) {}
void fx_BombBlast(const FixWorldPos*) {}
void fx_WideBlast(const FixWorldPos*) {}

__attribute__((weak)) int32_t fx_TypeDebris = 0;
__attribute__((weak)) int32_t fx_TypeWreck = 0;

__attribute__((weak)) void fx_KillExplosion(const FixWorldPos* p) {
    if (p) plat_SimLog("fx", "kill %u %u %u", p->x, p->y, p->z);
}
__attribute__((weak)) void fx_AirExplosion(const FixWorldPos* p) {
    if (p) plat_SimLog("fx", "air %u %u %u", p->x, p->y, p->z);
}
__attribute__((weak)) ObjectRecord* fx_WreckSpawn(const FixWorldPos* p) {
    if (!p) return nullptr;
    ObjectRecord* o = fx_EffectSpawnAtObject(fx_TypeWreck, p);
    plat_SimLog("fx", "wreck %u %u %u%s", p->x, p->y, p->z, o ? "" : " none");
    if (o) {
        o->think = nullptr;
        o->frameCounter = 1200;
    }
    return o;
}
__attribute__((weak)) ObjectRecord* fx_GroundBurstSpawn(const FixWorldPos* p) {
    if (p) plat_SimLog("fx", "burst %u %u %u", p->x, p->y, p->z);
    return nullptr;
}
