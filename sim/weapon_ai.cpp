// The AI units' launches and flak, and the tanker a player calls up: made
// directly in the server's world.
#include "base/math.h"
#include "net/dcbpool.h"
#include "net/msg.h"
#include "net/server.h"
#include "render/objmove.h"
#include "render/render.h"
#include "shell/runner.h"
#include "sim/hit.h"
#include "sim/obj.h"
#include "sim/weapon.h"
#include "world/objarray.h"

namespace {

constexpr int32_t kAiDropFrames = 20;
constexpr int32_t kAiDropValue = 512;
constexpr int32_t kSamRow = 4;
constexpr int32_t kAiBombRow = 8;
constexpr int32_t kFlakRow = 9;
constexpr int32_t kSamPitch = 0x5A0000;   // 63.28 degrees up
constexpr uint32_t kFlakSize = 0x4740000;
constexpr int32_t kFlakDangerous = 3;     // the last frames of a burst

_AI_DCB* AiUnit(ObjectRecord* o) {
    return o && o->pool == &level_ServerArrays.ai ? reinterpret_cast<_AI_DCB*>(o) : nullptr;
}

// The missile is gone or blind: its launcher may fire again.
void AiMissileLost(ObjectRecord* w) {
    if (_AI_DCB* u = AiUnit(w->owner)) u->gunCountdown = 0;
    weapon_Fields(w)->targetLost = nullptr;
}

}  // namespace

ObjectRecord* weapon_AiLaunchMissile(ObjectRecord* unit, int32_t type, const FixVec3* launchOffset) {
    if (!unit) return nullptr;
    weapon_LaunchLock = 2;
    weapon_SetCurrentType(type);
    weapon_LaunchRecord.position = launchOffset ? *launchOffset : FixVec3{0, 0, 0};
    weapon_LaunchRecord.value[0] = kAiDropFrames;
    weapon_LaunchRecord.value[1] = kAiDropValue;
    ObjectRecord* w = weapon_CreateMissile(unit);
    if (!w) return nullptr;
    weapon_Fields(w)->targetLost = AiMissileLost;
    if (_AI_DCB* u = AiUnit(unit)) u->gunCountdown = 1;
    return w;
}

ObjectRecord* weapon_AiLaunchSam(ObjectRecord* l) {
    if (!l) return nullptr;
    weapon_SetCurrentType(kSamRow);
    const _WEAPON_TYPE* row = weapon_ProcessedType;
    ObjectRecord* w = net_DcbPoolTake(&level_ServerArrays.common);
    if (!w) return nullptr;
    WeaponObjectFields* f = weapon_FieldsInit(w, row);
    f->lifetime = row->lifetime;
    f->groundHit = weapon_Explode;
    f->launchLock = 2;
    w->owner = l;
    w->position = l->position;
    w->angles = FixAngles{l->angles.heading, kSamPitch, 0};
    w->speed = 0;
    w->think = weapon_MissileThink;
    w->secondPass = nullptr;
    w->model = weapon_RowState[kSamRow].model;
    w->aiClass = 0x08;
    w->flags = 0x0C;
    w->side = l->side;
    w->target = l->target;
    Client_PoolLinkToOwner(w);
    obj_VelocityFromOrientation(w);
    if (_AI_DCB* u = AiUnit(l)) u->timeStamp = static_cast<int32_t>(app_TickCount.load(std::memory_order_acquire));
    return w;
}

ObjectRecord* weapon_AiDropBomb(ObjectRecord* unit, const FixVec3* launchOffset) {
    if (!unit) return nullptr;
    weapon_SetCurrentType(kAiBombRow);
    weapon_LaunchRecord.position = launchOffset ? *launchOffset : FixVec3{0, 0, 0};
    FixWorldPos aim{};
    const FixWorldPos* at = nullptr;
    if (unit->target) {
        aim = unit->target->position;
        at = &aim;
    }
    return weapon_LaunchBombObject(unit, at);
}

ObjectRecord* weapon_FlakCreate(ObjectRecord* l, const FixWorldPos* at) {
    if (!at) return nullptr;
    ObjectRecord* o = net_DcbPoolTake(&level_ServerArrays.common);
    if (!o) return nullptr;
    weapon_SetCurrentType(kFlakRow);
    const _WEAPON_TYPE* row = weapon_ProcessedType;
    WeaponObjectFields* f = weapon_FieldsInit(o, row);
    f->lifetime = 4 + static_cast<int32_t>(math_Random() & 3);
    o->owner = l;
    o->position = *at;
    o->velocity = FixVec3{0, 0, 0};
    o->angles = FixAngles{0, 0, 0};
    o->speed = 0;
    o->model = nullptr;
    o->think = weapon_FlakStep;
    o->secondPass = nullptr;
    o->aiClass = 0;
    o->target = nullptr;
    // Clients see the burst through its event only.
    o->serverFlags |= OBJ_SERVER_NO_SEND;
    Client_PoolLinkToOwner(o);
    return o;
}

void weapon_FlakStep(ObjectRecord* o) {
    WeaponObjectFields* f = weapon_Fields(o);
    --f->lifetime;
    if (f->lifetime == kFlakDangerous) {
        o->secondPass = weapon_HitCheck;
        Server_CallQueueEvent(EVENT_FLAK, 0, &o->position, SERVER_IN_RANGE, 0, kFlakSize, 2);
    }
    if (f->lifetime <= 0) {
        o->think = nullptr;
        o->secondPass = nullptr;
        obj_Free(o);
    }
}

// The tanker holds its place; its frame counter is the frames it has left,
// and at the end its record goes back to the pool.
void weapon_TankerThink(ObjectRecord* tanker) {
    if (--tanker->frameCounter > 0) return;
    tanker->think = nullptr;
    tanker->secondPass = nullptr;
    obj_Free(tanker);
}

void weapon_TankerDraw(ObjectRecord* tanker) { render_ObjectDraw(tanker); }
