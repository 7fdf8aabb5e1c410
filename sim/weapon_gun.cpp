// Guns: the player's bullets (made on the client and announced to the
// server) and the AI units' bullets (made on the server and announced to
// the clients).
#include "input/ffb.h"
#include "net/client.h"
#include "net/dcbpool.h"
#include "net/server.h"
#include "platform/simlog.h"
#include "render/objmove.h"
#include "sim/obj.h"
#include "sim/ord.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "sound/sndtrig.h"
#include "world/objarray.h"

FixAngles weapon_AiGunAngles[2];

namespace {

// Both AI muzzles sit below and ahead of the unit's centre.
const FixVec3 kAiMuzzle{-16384, -6000, 0x18000};

// A bullet of the processed type from the launcher's muzzle (object space),
// its attitude the launcher's turned by the offsets; from the pool, linked
// to its chain, counted against its target. Null when the pool is empty.
ObjectRecord* BulletCreate(ObjectRecord* l, DcbPool* pool, bool netId, const FixVec3& muzzle,
                           const FixAngles& offsets) {
    ObjectRecord* b = netId ? net_DcbPoolTakeNetId(pool) : net_DcbPoolTake(pool);
    if (!b) return nullptr;
    if (l->target && (l->target->flags & OBJ_FLAG_PLAYER))
        weapon_LaunchCounters[0] += 1;
    else if (l->flags & OBJ_FLAG_ALLIANCE_B)
        weapon_LaunchCounters[1] += 1;
    FixAngles a = l->angles;
    obj_ComposeAttitude(&a, &offsets);
    FixSinCosBlock sc;
    fix_SinCosAngles(l->angles.heading, l->angles.pitch, l->angles.roll, &sc);
    fix_TrigToDouble(&sc);
    FixVec3 off;
    fix_RotateAllInverse(&off, &muzzle);
    b->position = l->position;
    b->position.x += static_cast<uint32_t>(off.x);
    b->position.y += static_cast<uint32_t>(off.y);
    b->position.z += static_cast<uint32_t>(off.z);
    b->angles = a;
    weapon_InitBullet(b);
    b->owner = l;
    obj_VelocityFromOrientation(b);
    b->side = l->side;
    weapon_Fields(b)->groundHit = weapon_TerrainHit;
    Client_PoolLinkToOwner(b);
    return b;
}

}  // namespace

void weapon_LaunchGun(ObjectRecord* l) {
    if (!l || l->hitPoints <= 0 || weapon_CurrentId < 0) return;
    if (ord_CheckReady(weapon_CurrentId) != 0 || plane_SystemsDamage[WEAPON_SYS_GUN]) return;
    ord_ConsumeStore(weapon_CurrentId);
    weapon_SetCurrentType(weapon_CurrentId);
    obj_VelocityFromOrientation(l);
    const int32_t* g = plane_CurrentDescriptor.gunParameters;
    const FixVec3 muzzle{g[0], g[1], g[2]};
    const FixAngles offsets{0, g[3], g[4]};
    const bool player = (l->flags & OBJ_FLAG_PLAYER) != 0;
    ObjectRecord* b = BulletCreate(l, player ? &level_ClientArrays.common : &level_ServerArrays.common, player,
                                   muzzle, offsets);
    if (b) {
        Client_SendBulletFired(b->netId, &b->position, &b->velocity, &b->angles,
                               static_cast<uint8_t>(weapon_CurrentId));
        plat_SimLog("weapon", "send bullet type=%d", weapon_CurrentId);
    }
    weapon_StatsShot(l, weapon_ProcessedType);
    sndtrig_RequestAtObject(l);
    weapon_FiringSound();
    if (ffb_FeedbackActive) ffb_EventFireCannon();
}

ObjectRecord* weapon_AiGunShot(ObjectRecord* unit, int32_t entry) {
    if (!unit) return nullptr;
    entry = entry ? 1 : 0;
    weapon_SetCurrentType(0);
    ObjectRecord* b = BulletCreate(unit, &level_ServerArrays.common, false, kAiMuzzle, weapon_AiGunAngles[entry]);
    if (!b) return nullptr;
    // The second stream is for show: the hit search passes it by.
    if (entry == 1) b->aiClass = 0x20;
    b->serverFlags |= OBJ_SERVER_NO_SEND;
    Server_QueueBullet(b, 0, 0);
    return b;
}
