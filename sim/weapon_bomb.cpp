// Bombs: released with the launcher's motion, they fall under gravity,
// tumble, and a guided bomb steers its predicted impact onto the aim point.
#include "base/math.h"
#include "debug/dbgobj.h"
#include "net/dcbpool.h"
#include "platform/simlog.h"
#include "world/gamemode.h"
#include "sim/obj.h"
#include "sim/weapon.h"
#include "sound/sndtrig.h"
#include "world/objarray.h"

namespace {

constexpr int32_t kTumbleRate = 0x18000;
constexpr uint32_t kTumbleLow = 0x320000, kTumbleHigh = 0x1CE0000;

}  // namespace

void weapon_BombStep(ObjectRecord* w) {
    WeaponObjectFields* f = weapon_Fields(w);
    const FixWorldPos from = w->position;
    if (f->hasAimPoint && f->row) {
        MathVec2 d{static_cast<float>(static_cast<int32_t>(f->aimPoint.x - f->impactPoint.x)),
                   static_cast<float>(static_cast<int32_t>(f->aimPoint.z - f->impactPoint.z))};
        math_Vec2ClampLength(&d, static_cast<float>(f->row->bombSteeringStep));
        const uint32_t dx = static_cast<uint32_t>(static_cast<int32_t>(d.x));
        const uint32_t dz = static_cast<uint32_t>(static_cast<int32_t>(d.y));
        f->impactPoint.x += dx;
        f->impactPoint.z += dz;
        w->position.x += dx;
        w->position.z += dz;
    }
    weapon_StoreStep(w);
    dbg_BombPathAdd(w->serial, &from, &w->position);
}

void weapon_StoreStep(ObjectRecord* w) {
    WeaponObjectFields* f = weapon_Fields(w);
    w->velocity.y -= WEAPON_BOMB_GRAVITY;
    w->position.x += static_cast<uint32_t>(w->velocity.x);
    w->position.y += static_cast<uint32_t>(w->velocity.y);
    w->position.z += static_cast<uint32_t>(w->velocity.z);
    if (f->tumbleRate) {
        const uint32_t step = static_cast<uint32_t>(f->tumbleRate);
        const uint32_t p = static_cast<uint32_t>(w->angles.pitch);
        w->angles.pitch = static_cast<int32_t>((f->tumbleDirection ? p - step : p + step) & FIX_ANGLE_MASK);
        const uint32_t np = static_cast<uint32_t>(w->angles.pitch);
        if (np > kTumbleLow && np < kTumbleHigh) f->tumbleDirection ^= 1;
    }
}

void weapon_InitBomb(ObjectRecord* w, ObjectRecord* l, const FixWorldPos* aim) {
    const _WEAPON_TYPE* row = weapon_ProcessedType;
    WeaponObjectFields* f = weapon_FieldsInit(w, row);
    w->owner = l;
    FixSinCosBlock b;
    fix_SinCosAngles(l->angles.heading, l->angles.pitch, l->angles.roll, &b);
    fix_TrigToDouble(&b);
    FixVec3 off;
    fix_RotateAllInverse(&off, &weapon_LaunchRecord.position);
    w->position = l->position;
    w->position.x += static_cast<uint32_t>(off.x) + static_cast<uint32_t>(l->motion.x);
    w->position.y += static_cast<uint32_t>(off.y) + static_cast<uint32_t>(l->motion.y);
    w->position.z += static_cast<uint32_t>(off.z) + static_cast<uint32_t>(l->motion.z);
    w->velocity = l->motion;
    w->angles = l->angles;
    w->speed = l->speed;
    w->think = weapon_BombStep;
    w->secondPass = weapon_AreaBlast;
    w->aiClass = 0x10;
    w->flags = 0x0C;
    f->areaBlast = (row->kind & WEAPON_AREA_BLAST) ? 1 : 0;
    w->target = nullptr;
    w->model = weapon_RowState[row - weapon_Types].model;
    f->tumbleRate = kTumbleRate;
    if (aim) {
        f->aimPoint = *aim;
        f->hasAimPoint = 1;
        if (weapon_BombImpactPredict(w, 0) == 0) {
            f->impactPoint = weapon_Impact.point;
        } else {
            f->hasAimPoint = 0;
            f->aimPoint = FixWorldPos{};
        }
    }
    dbg_BombDebugAdd(w);
}

ObjectRecord* weapon_LaunchBombObject(ObjectRecord* launcher, const FixWorldPos* aimPoint) {
    if (!launcher) return nullptr;
    ObjectRecord* w = net_DcbPoolTake(&level_ServerArrays.common);
    if (!w) return nullptr;
    weapon_InitBomb(w, launcher, aimPoint);
    Client_PoolLinkToOwner(w);
    weapon_NoteOwnLaunch(launcher, w);
    plat_SimLog("weapon", "bomb serial=%u type=%d aim=%u", w->serial,
                static_cast<int32_t>(weapon_Fields(w)->row - weapon_Types), weapon_Fields(w)->hasAimPoint);
    return w;
}

ObjectRecord* weapon_SpawnReleasedStore(ObjectRecord* launcher) {
    if (!launcher) return nullptr;
    ObjectRecord* w = net_DcbPoolTake(&level_ServerArrays.common);
    if (!w) return nullptr;
    weapon_InitBomb(w, launcher, nullptr);
    w->think = weapon_StoreStep;
    w->secondPass = weapon_DirectBlast;
    w->aiClass = 0x00;
    w->flags = 0x10;
    Client_PoolLinkToOwner(w);
    sndtrig_RequestAtObject(w);
    weapon_Sound(16, weapon_ProcessedType->soundNumber);
    plat_SimLog("weapon", "store serial=%u type=%d", w->serial, static_cast<int32_t>(weapon_ProcessedType - weapon_Types));
    return w;
}
