// Flares and chaff: short-lived decoys kept on two lists that the guidance
// of infrared and radar missiles searches.
#include "net/client.h"
#include "net/dcbpool.h"
#include "platform/simlog.h"
#include "render/render.h"
#include "render/sky.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "sound/sndtrig.h"
#include "world/level.h"
#include "world/objarray.h"

WeaponDecoySpawn weapon_DecoySpawn;
uint32_t weapon_DecoyCues;
int32_t weapon_DecoyTypes[2] = {-1, -1};

namespace {

constexpr int32_t kDecoyLifetime = 200;
constexpr int32_t kGlareRadius = 0x180000;

ObjectRecord*& Head(int32_t kind) { return kind == 0 ? weapon_FlareList : weapon_ChaffList; }

ObjectRecord* DecoyCreate(ObjectRecord* owner, int32_t kind) {
    DcbPool* pool = weapon_DecoySpawn.pool ? weapon_DecoySpawn.pool
                                           : (owner ? &level_ServerArrays.common : &level_ClientArrays.common);
    const bool silent = weapon_DecoySpawn.silent != 0;
    weapon_DecoySpawn = WeaponDecoySpawn{};
    ObjectRecord* o = net_DcbPoolTake(pool);
    if (!o) return nullptr;
    WeaponObjectFields* f = weapon_Fields(o);
    *f = WeaponObjectFields{};
    f->lifetime = kDecoyLifetime;
    f->hitKind = kind;   // decoy kind: 0 flare, 1 chaff
    o->owner = owner;
    const FixVec3& at = weapon_LaunchRecord.position;
    o->position = FixWorldPos{static_cast<uint32_t>(at.x), static_cast<uint32_t>(at.y), static_cast<uint32_t>(at.z)};
    o->velocity = FixVec3{0, 0, 0};
    o->angles = FixAngles{0, 0, 0};
    o->speed = 0;
    o->secondPass = nullptr;
    o->frame = 0;
    o->aiClass = 0;
    o->think = weapon_DecoyStep;
    const int32_t type = weapon_DecoyTypes[kind];
    o->model = type >= 0 && type < LEVEL_MODEL_SLOTS ? level_Models.pak[type] : nullptr;
    o->modelSlot = static_cast<uint16_t>(type >= 0 ? type : 0);
    o->draw = kind == 0 ? weapon_FlareDraw : render_ObjectDraw;
    Client_PoolLinkToOwner(o);
    if (!silent) {
        sndtrig_RequestAtObject(o);
        weapon_Sound(0, kind == 0 ? 8 : 9);
    }
    weapon_DecoyListPush(o, &Head(kind));
    plat_SimLog("weapon", "decoy serial=%u kind=%d%s", o->serial, kind, silent ? " silent" : "");
    return o;
}

}  // namespace

void weapon_DecoyListPush(ObjectRecord* o, ObjectRecord** head) {
    if (!o || !head) return;
    o->typePrev = nullptr;
    o->typeNext = *head;
    if (*head) (*head)->typePrev = o;
    *head = o;
}

void weapon_DecoyListRemove(ObjectRecord* o, ObjectRecord** head) {
    if (!o || !head) return;
    if (o->typePrev) o->typePrev->typeNext = o->typeNext;
    else if (*head == o) *head = o->typeNext;
    if (o->typeNext) o->typeNext->typePrev = o->typePrev;
    o->typeNext = o->typePrev = nullptr;
}

void weapon_DecoyStep(ObjectRecord* o) {
    WeaponObjectFields* f = weapon_Fields(o);
    o->frame++;
    if (--f->lifetime > 0) return;
    plat_SimLog("weapon", "decoy end serial=%u", o->serial);
    weapon_DecoyListRemove(o, &Head(f->hitKind));
    o->think = nullptr;
    obj_Free(o);
}

ObjectRecord* weapon_FlareCreate(ObjectRecord* owner) { return DecoyCreate(owner, 0); }

void weapon_FlareDraw(ObjectRecord* o) {
    sky_GlareFromObject(o, kGlareRadius);
    render_ObjectDraw(o);
}
ObjectRecord* weapon_ChaffCreate(ObjectRecord* owner) { return DecoyCreate(owner, 1); }

void weapon_DecoySpawnPosition(const ObjectRecord* l) {
    FixSinCosBlock b;
    fix_SinCosAngles(l->angles.heading, l->angles.pitch, l->angles.roll, &b);
    fix_TrigToDouble(&b);
    const FixVec3 in{0, 0x6000, -0x10000};
    FixVec3 out;
    fix_RotateAllInverse(&out, &in);
    weapon_LaunchRecord.position = FixVec3{static_cast<int32_t>(l->position.x + static_cast<uint32_t>(out.x)),
                                           static_cast<int32_t>(l->position.y + static_cast<uint32_t>(out.y)),
                                           static_cast<int32_t>(l->position.z + static_cast<uint32_t>(out.z))};
}

namespace {

// Counter - 1 and a decoy behind the aircraft; a full pool drops nothing and
// keeps the count.
void Drop(ObjectRecord* aircraft, int32_t kind) {
    if (!aircraft || plane_SystemsDamage[WEAPON_SYS_DISPENSER]) return;
    PlanePlayerFields* p = &reinterpret_cast<_PLAYER_DCB*>(aircraft)->fields;
    uint8_t& left = kind == 0 ? p->flares : p->chaff;
    if (left == 0) return;
    weapon_DecoySpawn.pool = &level_ClientArrays.common;
    weapon_DecoySpawnPosition(aircraft);
    ObjectRecord* o = DecoyCreate(aircraft, kind);
    if (!o) return;
    left--;
    Client_SendEcmDrop(&o->position, static_cast<uint16_t>(kind));
    plat_SimLog("weapon", "send ecm kind=%d", kind);
    weapon_DecoyCues |= kind == 0 ? 2u : 1u;
}

}  // namespace

void weapon_DropFlare(ObjectRecord* aircraft) { Drop(aircraft, 0); }
void weapon_DropChaff(ObjectRecord* aircraft) { Drop(aircraft, 1); }
