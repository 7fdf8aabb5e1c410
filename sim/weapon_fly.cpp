// Weapon objects in flight: bullets, and missiles from their drop off the
// rail through the motor run to guidance at top speed. The server creates
// them from the launch messages; the think pass moves them.
#include <algorithm>

#include "net/dcbpool.h"
#include "net/server.h"
#include "platform/simlog.h"
#include "shell/runner.h"
#include "sound/sndtrig.h"
#include "render/objmove.h"
#include "sim/obj.h"
#include "sim/weapon.h"
#include "world/gamemode.h"
#include "world/objarray.h"

WeaponLaunchRecord weapon_LaunchRecord;
uint8_t weapon_LaunchLock;

namespace {

constexpr int32_t kBulletSpeed = 0x20000;
constexpr int32_t kBulletLifetime = 380;
constexpr uint32_t kCeiling = 0x186A0000;

// The offset turned by the object's angles (object space to world).
FixVec3 Turned(const ObjectRecord* o, FixVec3 offset) {
    FixSinCosBlock b;
    fix_SinCosAngles(o->angles.heading, o->angles.pitch, o->angles.roll, &b);
    fix_TrigToDouble(&b);
    FixVec3 out;
    fix_RotateAllInverse(&out, &offset);
    return out;
}

void Add(FixWorldPos* p, const FixVec3& v) {
    p->x += static_cast<uint32_t>(v.x);
    p->y += static_cast<uint32_t>(v.y);
    p->z += static_cast<uint32_t>(v.z);
}

// Team of an aircraft by its alliance flags: 0, 1, or -1 for none.
int32_t TeamOf(const ObjectRecord* o) {
    if (o->flags & OBJ_FLAG_ALLIANCE_A) return 0;
    if (o->flags & OBJ_FLAG_ALLIANCE_B) return 1;
    return -1;
}

}  // namespace

WeaponObjectFields* weapon_FieldsInit(ObjectRecord* w, const _WEAPON_TYPE* row) {
    WeaponObjectFields* f = weapon_Fields(w);
    *f = WeaponObjectFields{};
    f->row = row;
    f->hitValue = row->hitValue;
    f->hitSpread = row->hitSpread;
    f->hitKind = row->hitKind;
    return f;
}

void weapon_BulletStep(ObjectRecord* b) {
    WeaponObjectFields* f = weapon_Fields(b);
    for (int32_t i = 0; i < 2; i++) {
        if (--f->lifetime <= 0) {
            plat_SimLog("weapon", "bullet end serial=%u %s", b->serial, weapon_OnServer(b) ? "server" : "client");
            weapon_End(b);
            return;
        }
        obj_MotionIntegrate(b);
    }
    // The stored step spans both moves of the frame.
    b->motion.x *= 2;
    b->motion.y *= 2;
    b->motion.z *= 2;
}

void weapon_InitBullet(ObjectRecord* b) {
    if (!b) return;
    const _WEAPON_TYPE* row = weapon_ProcessedType;
    WeaponObjectFields* f = weapon_FieldsInit(b, row);
    f->lifetime = kBulletLifetime;
    b->speed = kBulletSpeed;
    b->think = weapon_BulletStep;
    b->secondPass = weapon_HitCheck;
    plat_SimLog("weapon", "bullet serial=%u %s", b->serial, weapon_OnServer(b) ? "server" : "client");
    b->target = nullptr;
    const int32_t type = static_cast<int32_t>(row - weapon_Types);
    b->model = weapon_RowState[type].model;
}

void weapon_MissileThink(ObjectRecord* w) {
    WeaponObjectFields* f = weapon_Fields(w);
    if (--f->lifetime <= 0) {
        if (Server_ObjectEvents) Server_QueueObjectEvent(w, 1);
        weapon_End(w);
        return;
    }
    const _WEAPON_TYPE* row = f->row;
    weapon_ProcessedType = row;
    f->turnAllowance += std::min(row->turnLimit - f->turnAllowance, row->turnRamp);
    if (w->speed < row->topSpeed) {
        f->acceleration += row->speedStep;
        w->speed += f->acceleration;
    } else {
        w->secondPass = weapon_HitCheck;
        weapon_GuidanceRun(w);
    }
    obj_VelocityFromOrientation(w);
    obj_MotionIntegrate(w);
    if (w->position.y > kCeiling) {
        weapon_End(w);
        return;
    }
    if (Server_ObjectEvents && (app_FrameStepCount & 7) != 0) Server_QueueObjectEvent(w, 0);
}

void weapon_MissileDrop(ObjectRecord* w) {
    WeaponObjectFields* f = weapon_Fields(w);
    if (f->lifetime > 0) {
        w->velocity.x += f->dropAcceleration.x;
        w->velocity.y += f->dropAcceleration.y;
        w->velocity.z += f->dropAcceleration.z;
        Add(&w->position, w->velocity);
        f->lifetime--;
        return;
    }
    sndtrig_RequestAtObject(w);
    weapon_Sound(20, f->row->soundNumber);
    f->lifetime = f->row->lifetime;
    w->aiFlags |= OBJ_AI_RUNNING;
    w->think = f->motorStart;
    if (w->think) w->think(w);
}

ObjectRecord* weapon_CreateMissile(ObjectRecord* launcher) {
    if (!launcher) return nullptr;
    // Outside single player nobody fires at a team-mate.
    const ObjectRecord* t = launcher->target;
    if (!level_GameMode.singlePlayer && (launcher->flags & OBJ_FLAG_PLAYER) && t && (t->flags & OBJ_FLAG_PLAYER)) {
        const int32_t a = TeamOf(launcher), b = TeamOf(t);
        if (a != -1 && a == b) return nullptr;
    }
    ObjectRecord* w = net_DcbPoolTake(&level_ServerArrays.common);
    if (!w) return nullptr;
    const _WEAPON_TYPE* row = weapon_ProcessedType;
    WeaponObjectFields* f = weapon_FieldsInit(w, row);
    w->owner = launcher;
    if (launcher->target && (launcher->target->flags & OBJ_FLAG_PLAYER))
        weapon_LaunchCounters[0] += 4;
    else if (launcher->flags & OBJ_FLAG_ALLIANCE_B)
        weapon_LaunchCounters[1] += 4;

    // Off the station, carried along by the launcher's last step.
    w->angles = launcher->angles;
    w->position = launcher->position;
    Add(&w->position, Turned(launcher, weapon_LaunchRecord.position));
    Add(&w->position, launcher->motion);
    f->motorStart = weapon_MissileThink;
    w->velocity = launcher->motion;
    w->angles.roll = 0;
    w->speed = launcher->speed;
    f->lifetime = std::max(weapon_LaunchRecord.value[0], 0);
    w->think = weapon_MissileDrop;
    w->model = weapon_RowState[row - weapon_Types].model;
    w->aiClass = 0x08;
    w->flags = 0x0C;
    w->side = launcher->side;
    f->areaBlast = (row->kind & WEAPON_AREA_BLAST) ? 1 : 0;
    f->groundHit = f->areaBlast ? weapon_AreaBlastGround : weapon_Explode;
    w->secondPass = nullptr;
    f->launchLock = weapon_LaunchLock;
    w->target = weapon_LaunchLock == 2 ? launcher->target : nullptr;
    Client_PoolLinkToOwner(w);
    FixVec3 down = Turned(w, FixVec3{0, -0x10000, 0});
    const int64_t v = weapon_LaunchRecord.value[1];
    f->dropAcceleration = FixVec3{static_cast<int32_t>(down.x * v >> 16), static_cast<int32_t>(down.y * v >> 16),
                                  static_cast<int32_t>(down.z * v >> 16)};
    w->motion = FixVec3{0, 0, 0};
    weapon_NoteOwnLaunch(launcher, w);
    plat_SimLog("weapon", "missile serial=%u type=%d target=%u", w->serial, static_cast<int32_t>(row - weapon_Types),
                w->target ? w->target->serial : 0);
    return w;
}

// The server's entry for a player's launch: the message named a target only
// when the launch was locked.
ObjectRecord* weapon_LaunchMissileObject(ObjectRecord* launcher) {
    if (!launcher) return nullptr;
    weapon_LaunchLock = launcher->target ? 2 : 0;
    return weapon_CreateMissile(launcher);
}
