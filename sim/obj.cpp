// Object records: static objects in the world cell grid, the category
// lists, effect records, removal with the reference table, attitude by
// rates, and the fields by offset for the AI programs.
#include "sim/obj.h"
#include "sim/pose.h"

#include <cstring>

#include "net/client.h"
#include "net/dcbpool.h"
#include "net/rules.h"
#include "platform/simlog.h"
#include "render/objmove.h"
#include "render/render.h"
#include "render/view.h"
#include "sim/weapon.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/objarray.h"
#include "world/terrain.h"

ObjectRecord* obj_Current = nullptr;

ObjCategoryList obj_CategoryLists[OBJ_CATEGORY_LISTS] = {
    {OBJ_CATEGORY_01, 128, 0, {}},       {OBJ_CATEGORY_PLAYER_TARGET, 128, 0, {}},
    {OBJ_CATEGORY_10, 64, 0, {}},        {OBJ_CATEGORY_LANDING, 256, 0, {}},
    {OBJ_CATEGORY_20, 128, 0, {}},       {OBJ_CATEGORY_40, 128, 0, {}},
};
int32_t obj_PlayerTargetsEnabled = 1;

FixAngles obj_PendingAngles = {};
uint16_t obj_PendingType = 0;

ObjectRecord* obj_ClientStatics[OBJ_CLIENT_STATICS];
int32_t obj_ClientStaticCount = 0;
int32_t obj_StaticCount = 0;

namespace {

// Variables holding an object pointer; a null entry ends the table.
ObjectRecord** g_references[OBJ_REFERENCE_SLOTS + 1];
ObjectRecord* g_lastReplacement = nullptr;

// A process runs a client unless it is a dedicated server.
bool RunsClient() { return !level_GameMode.hosting || level_GameMode.sharedProcess; }
// The world is simulated where the server runs, or where no client does.
bool SimulatesWorld() { return level_GameMode.hosting || !RunsClient(); }

DcbPool* StaticPool() {
    if (RunsClient() && level_ClientStaticArray) return level_ClientStaticArray;
    return &level_ServerArrays.statics;
}

}  // namespace

void obj_RecordClear(ObjectRecord* r) {
    const ObjectRecord keep = *r;
    const uint32_t size = r->pool && r->pool->size >= sizeof(ObjectRecord) ? r->pool->size : sizeof(ObjectRecord);
    memset((void*)r, 0, size);
    r->state = keep.state;
    r->pool = keep.pool;
    r->freeLink = keep.freeLink;
    r->pendingLink = keep.pendingLink;
    r->serial = keep.serial;
    r->netId = keep.netId;
    r->pending = keep.pending;
    r->next = keep.next;
    r->prev = keep.prev;
}

namespace {

void CellPush(ObjectRecord* r) {
    ObjectRecord** heads = depth_Level.staticHeads;
    if (!heads) {
        r->freeLink = nullptr;  // no terrain loaded: the object is in no cell
        return;
    }
    const uint32_t cell = obj_CellIndex(r->position.x, r->position.z);
    r->freeLink = heads[cell];
    heads[cell] = r;
}

ObjectRecord* StaticCreate(uint32_t x, uint32_t z, _PAK_HEADER* model, uint32_t typeWord) {
    ObjectRecord* r = net_DcbPoolTake(StaticPool());
    if (!r) return nullptr;
    obj_RecordClear(r);
    r->position.x = x;
    r->position.z = z;
    CellPush(r);
    r->model = model;
    if (RunsClient() && obj_ClientStaticCount < OBJ_CLIENT_STATICS) obj_ClientStatics[obj_ClientStaticCount++] = r;
    r->angles.heading = (int32_t)((uint32_t)obj_PendingAngles.heading & FIX_ANGLE_MASK);
    obj_PendingAngles = {};
    r->drawFlags = (uint8_t)(typeWord & 0xFF);
    r->flags = (uint8_t)(((typeWord >> 8) & 0xFF) | OBJ_FLAG_STATIC | OBJ_FLAG_UNLISTED);
    obj_GroundHeightSet(r, -1);
    r->draw = render_ObjectDraw;
    r->hit = Server_StaticDamage;
    r->death = nullptr;
    r->hitPoints = 100;
    r->hitPointsMax = 100;
    r->targetClass = OBJ_TARGET_STRUCTURE;
    r->modelSlot = obj_PendingType;
    model_PoseBind(r);
    obj_StaticCount++;
    obj_Current = r;
    return r;
}

ObjectRecord* EffectSpawn(DcbPool* pool, int32_t type, const FixWorldPos* position, const ObjectRecord* source) {
    if (!position) return nullptr;
    const FixWorldPos at = *position;
    ObjectRecord* r = net_DcbPoolTake(pool);
    if (!r) return nullptr;
    obj_RecordClear(r);
    r->position = at;
    if (source) {
        r->velocity = source->velocity;
        r->angles = source->angles;
    }
    r->speed = 0x30000;
    r->think = fx_EffectThink;
    r->secondPass = fx_EffectGroundTest;
    r->modelSlot = (uint16_t)type;
    // The type is the slot of the effect's model.
    if (type >= 0 && type < LEVEL_MODEL_SLOTS) r->model = level_Models.pak[type];
    r->frameCounter = 450;
    r->draw = render_ObjectDraw;
    Client_PoolLinkToOwner(r);
    obj_Current = r;
    return r;
}

}  // namespace

void obj_ListsReset(void) {
    obj_TypeListReset();
    for (ObjCategoryList& list : obj_CategoryLists) list.count = 0;
    obj_ClientStaticCount = 0;
    obj_StaticCount = 0;
    obj_PendingAngles = {};
    obj_PendingType = 0;
}

void obj_LevelLog(void) {
    const ObjCategoryList* l = obj_CategoryLists;
    plat_SimLog("level", "statics=%d cat01=%d cat04=%d cat10=%d cat08=%d cat20=%d cat40=%d", obj_StaticCount,
                l[0].count, l[1].count, l[2].count, l[3].count, l[4].count, l[5].count);
}

ObjectRecord* obj_StaticCreate(uint32_t x, uint32_t z, _PAK_HEADER* model, uint32_t typeWord) {
    return StaticCreate(x, z, model, typeWord);
}

ObjectRecord* obj_StaticCreateDestructible(uint32_t x, uint32_t z, _PAK_HEADER* model, uint32_t typeWord) {
    ObjectRecord* r = StaticCreate(x, z, model, typeWord);
    if (r) r->hit = Server_StaticDamageDestructible;
    return r;
}

void obj_CellListPush(ObjectRecord* object) {
    if (!object) return;
    CellPush(object);
    object->hit = Server_StaticDamage;
    obj_CategoryListsAdd(object);
}

void obj_CategoryListsAdd(ObjectRecord* object) {
    if (!object || !SimulatesWorld()) return;
    for (ObjCategoryList& list : obj_CategoryLists) {
        if (!(object->category & list.bit)) continue;
        if (list.bit == OBJ_CATEGORY_PLAYER_TARGET &&
            (!obj_PlayerTargetsEnabled || !(object->flags & OBJ_FLAG_ALLIANCE_A)))
            continue;
        if (list.count < list.capacity) list.items[list.count++] = object;
    }
}

// Effects are the client's: moving ones and the first effect pool take
// client common records, the second the client's small special reserve.
ObjectRecord* fx_EffectSpawnMoving(int32_t type, const ObjectRecord* source) {
    if (!source) return nullptr;
    return EffectSpawn(&level_ClientArrays.common, type, &source->position, source);
}

ObjectRecord* fx_EffectTake(int32_t type, const FixWorldPos* position) {
    return EffectSpawn(&level_ClientArrays.common, type, position, nullptr);
}

ObjectRecord* fx_EffectSpawnAtObject(int32_t type, const FixWorldPos* position) {
    return EffectSpawn(&level_ClientArrays.special, type, position, nullptr);
}

void obj_Free(ObjectRecord* object) {
    // The pool marks the release flag and queues the record only once.
    Client_PoolLinkOnce(object);
}

void obj_Remove(ObjectRecord* object, ObjectRecord* replacement) {
    if (!object) return;
    g_lastReplacement = replacement;
    if (object == ViewedObject) {
        if (replacement) {
            ViewedObject = replacement;
            if (view_Words.current) view_Words.current->viewedObject = replacement;
        } else {
            view_ModeRequest(VIEW_MODE_DEFAULT);
            view_ModeSelect();
        }
    }
    obj_ReferencesReplace(object, replacement);
    // A record going back to its pool must leave every list a search walks.
    obj_TypeListUnlink(object);
    obj_TargetCandidateRemove(object);
    weapon_TargetListRemove(object);
    obj_ReplaceTargetRefs(object);
    if (Client_PlayerObject && Client_PlayerObject->target == object) Client_PlayerObject->target = nullptr;
    obj_Free(object);
}

void obj_ReferencesReplace(ObjectRecord* object, ObjectRecord* replacement) {
    if (!object) return;
    for (ObjectRecord** const* v = g_references; *v; v++)
        if (**v == object) **v = replacement;
}

void obj_ReferencesClear(ObjectRecord* object) { obj_ReferencesReplace(object, g_lastReplacement); }

int32_t obj_ReferenceAdd(ObjectRecord** variable) {
    if (!variable) return -1;
    int32_t n = 0;
    for (; g_references[n]; n++)
        if (g_references[n] == variable) return 0;
    if (n >= OBJ_REFERENCE_SLOTS) return -1;
    g_references[n] = variable;
    g_references[n + 1] = nullptr;
    return 0;
}

void obj_ReferenceRemove(ObjectRecord** variable) {
    int32_t n = 0;
    while (g_references[n] && g_references[n] != variable) n++;
    if (!g_references[n]) return;
    for (; g_references[n]; n++) g_references[n] = g_references[n + 1];
}

void obj_ReferencesForget(void) {
    memset(g_references, 0, sizeof g_references);
    g_lastReplacement = nullptr;
}

void obj_ComposeAttitude(FixAngles* attitude, const FixAngles* rates) {
    if (!attitude || !rates) return;
    FixVec3 up = {0, FIX_ONE, 0};
    FixVec3 forward = {0, 0, FIX_ONE};
    FixSinCosBlock trig;
    fix_SinCosAngles(rates->heading, rates->pitch, rates->roll, &trig);
    fix_TrigToDouble(&trig);
    fix_RotateAllInverse(&up, &up);
    fix_RotateAllInverse(&forward, &forward);
    fix_SinCosAngles(attitude->heading, attitude->pitch, attitude->roll, &trig);
    fix_TrigToDouble(&trig);
    fix_RotateAllInverse(&up, &up);
    fix_RotateAllInverse(&forward, &forward);
    fix_AnglesFromVectors(&up, &forward, attitude);
}

void obj_ApplyAngularRates(ObjectRecord* object) {
    if (!object) return;
    const FixAngles& r = object->rates;
    if (r.heading == 0 && r.pitch == 0 && r.roll == 0) return;
    obj_ComposeAttitude(&object->angles, &object->rates);
}

// Handles ------------------------------------------------------------------

ObjHandle obj_HandleMake(const ObjectRecord* object) {
    ObjHandle h = {};
    if (!object || !object->pool || !object->pool->memory || !object->pool->size) return h;
    const DcbPool* pool = object->pool;
    const uintptr_t base = (uintptr_t)pool->memory, at = (uintptr_t)object;
    if (at < base) return h;
    const uint64_t index = (at - base) / pool->size;
    if (index >= pool->count || (at - base) % pool->size) return h;
    h.pool = object->pool;
    h.index = (uint32_t)index;
    h.serial = object->serial;
    return h;
}

ObjectRecord* obj_HandleResolve(const ObjHandle* handle) {
    if (!handle || !handle->pool || !handle->pool->memory || handle->index >= handle->pool->count) return nullptr;
    auto* r = (ObjectRecord*)((uint8_t*)handle->pool->memory + (uint64_t)handle->index * handle->pool->size);
    if (handle->serial == 0 || r->serial != handle->serial) return nullptr;
    if (r->pending & OBJECT_PENDING_REMOVAL) return nullptr;
    return r;
}

// Fields by offset ---------------------------------------------------------

#define HDR(off, width, kind, member) {off, width, kind, #member, (uint32_t)offsetof(ObjectRecord, member), 0}
#define AIX(off, width, kind, member) {off, width, kind, #member, (uint32_t)offsetof(_AI_DCB, member), 1}

const ObjFieldEntry obj_FieldTable[] = {
    HDR(0x00, 1, OBJ_FIELD_CONSTANT, state),
    HDR(0x02, 1, OBJ_FIELD_UNSIGNED, drawFlags),
    HDR(0x03, 1, OBJ_FIELD_UNSIGNED, frame),
    HDR(0x06, 2, OBJ_FIELD_UNSIGNED, modelSlot),
    HDR(0x08, 4, OBJ_FIELD_LINK, model),
    HDR(0x0c, 4, OBJ_FIELD_ROUTINE, draw),
    HDR(0x10, 4, OBJ_FIELD_ROUTINE, partHook),
    HDR(0x14, 4, OBJ_FIELD_SIGNED, scale),
    HDR(0x18, 4, OBJ_FIELD_SIGNED, angles.heading),
    HDR(0x1c, 4, OBJ_FIELD_SIGNED, angles.pitch),
    HDR(0x20, 4, OBJ_FIELD_SIGNED, angles.roll),
    HDR(0x24, 4, OBJ_FIELD_SIGNED, viewPosition.x),
    HDR(0x28, 4, OBJ_FIELD_SIGNED, viewPosition.y),
    HDR(0x2c, 4, OBJ_FIELD_SIGNED, viewPosition.z),
    HDR(0x30, 4, OBJ_FIELD_SIGNED, position.x),
    HDR(0x34, 4, OBJ_FIELD_SIGNED, position.y),
    HDR(0x38, 4, OBJ_FIELD_SIGNED, position.z),
    HDR(0x3c, 4, OBJ_FIELD_LINK, pool),
    HDR(0x40, 4, OBJ_FIELD_LINK, freeLink),
    HDR(0x44, 4, OBJ_FIELD_LINK, pendingLink),
    HDR(0x48, 4, OBJ_FIELD_CONSTANT, serial),
    HDR(0x4c, 4, OBJ_FIELD_CONSTANT, netId),
    HDR(0x51, 1, OBJ_FIELD_UNSIGNED, side),
    HDR(0x52, 1, OBJ_FIELD_UNSIGNED, flags),
    HDR(0x53, 1, OBJ_FIELD_UNSIGNED, stateFlags),
    HDR(0x54, 1, OBJ_FIELD_CONSTANT, pending),
    HDR(0x55, 1, OBJ_FIELD_UNSIGNED, aiClass),
    HDR(0x56, 1, OBJ_FIELD_UNSIGNED, known),
    HDR(0x57, 1, OBJ_FIELD_UNSIGNED, group),
    HDR(0x58, 1, OBJ_FIELD_UNSIGNED, member),
    HDR(0x59, 1, OBJ_FIELD_UNSIGNED, groundUnit),
    HDR(0x5a, 1, OBJ_FIELD_UNSIGNED, unitKind),
    HDR(0x5c, 1, OBJ_FIELD_UNSIGNED, missionByte),
    HDR(0x5d, 1, OBJ_FIELD_UNSIGNED, targetClass),
    HDR(0x5e, 1, OBJ_FIELD_UNSIGNED, category),
    HDR(0x5f, 1, OBJ_FIELD_UNSIGNED, missionBit),
    HDR(0x60, 2, OBJ_FIELD_SIGNED, hitPoints),
    HDR(0x62, 2, OBJ_FIELD_SIGNED, hitPointsMax),
    HDR(0x64, 2, OBJ_FIELD_UNSIGNED, missionObject),
    HDR(0x68, 4, OBJ_FIELD_LINK, typeNext),
    HDR(0x70, 4, OBJ_FIELD_ROUTINE, hit),
    HDR(0x74, 4, OBJ_FIELD_ROUTINE, death),
    HDR(0x78, 4, OBJ_FIELD_SIGNED, velocity.x),
    HDR(0x7c, 4, OBJ_FIELD_SIGNED, velocity.y),
    HDR(0x80, 4, OBJ_FIELD_SIGNED, velocity.z),
    HDR(0x84, 4, OBJ_FIELD_SIGNED, missionWord),
    HDR(0x88, 1, OBJ_FIELD_UNSIGNED, aiFlags),
    HDR(0x94, 4, OBJ_FIELD_ROUTINE, think),
    HDR(0x98, 4, OBJ_FIELD_OBJECT, owner),
    HDR(0x9c, 4, OBJ_FIELD_ROUTINE, secondPass),
    HDR(0xa0, 4, OBJ_FIELD_SIGNED, speed),
    HDR(0xa4, 4, OBJ_FIELD_OBJECT, target),
    HDR(0xa8, 4, OBJ_FIELD_SIGNED, motion.x),
    HDR(0xac, 4, OBJ_FIELD_SIGNED, motion.y),
    HDR(0xb0, 4, OBJ_FIELD_SIGNED, motion.z),
    HDR(0xb4, 4, OBJ_FIELD_SIGNED, rates.heading),
    HDR(0xb8, 4, OBJ_FIELD_SIGNED, rates.pitch),
    HDR(0xbc, 4, OBJ_FIELD_SIGNED, rates.roll),
    HDR(0xc0, 4, OBJ_FIELD_SIGNED, frameCounter),
    AIX(0xc4, 4, OBJ_FIELD_OBJECT, groupNext),
    AIX(0xc8, 4, OBJ_FIELD_LINK, waypoint),
    AIX(0xcc, 4, OBJ_FIELD_LINK, route),
    AIX(0xd0, 4, OBJ_FIELD_SIGNED, radarFactor),
    AIX(0xd4, 4, OBJ_FIELD_SIGNED, turnLimits.heading),
    AIX(0xd8, 4, OBJ_FIELD_SIGNED, turnLimits.pitch),
    AIX(0xdc, 4, OBJ_FIELD_SIGNED, turnLimits.roll),
    AIX(0xe0, 4, OBJ_FIELD_SIGNED, commanded.heading),
    AIX(0xe4, 4, OBJ_FIELD_SIGNED, commanded.pitch),
    AIX(0xe8, 4, OBJ_FIELD_SIGNED, commanded.roll),
    AIX(0xec, 4, OBJ_FIELD_SIGNED, registers[0]),
    AIX(0xf0, 4, OBJ_FIELD_SIGNED, registers[1]),
    AIX(0xf4, 4, OBJ_FIELD_SIGNED, registers[2]),
    AIX(0xf8, 4, OBJ_FIELD_SIGNED, registers[3]),
    AIX(0xfc, 4, OBJ_FIELD_SIGNED, returnAddress),
    AIX(0x100, 4, OBJ_FIELD_SIGNED, flagsWord),
    AIX(0x104, 4, OBJ_FIELD_SIGNED, programCounter),
    AIX(0x108, 4, OBJ_FIELD_LINK, routeStep),
    AIX(0x10c, 4, OBJ_FIELD_OBJECT, leader),
    AIX(0x110, 4, OBJ_FIELD_LINK, formationSlot),
    AIX(0x118, 4, OBJ_FIELD_LINK, pendingProgram),
    AIX(0x11c, 4, OBJ_FIELD_LINK, missionRecord),
    AIX(0x120, 4, OBJ_FIELD_LINK, unitType),
    AIX(0x124, 4, OBJ_FIELD_SIGNED, desiredSpeed),
    AIX(0x128, 4, OBJ_FIELD_SIGNED, timeStamp),
    AIX(0x130, 4, OBJ_FIELD_SIGNED, attackRange),
    AIX(0x134, 1, OBJ_FIELD_UNSIGNED, aiState),
    AIX(0x135, 1, OBJ_FIELD_UNSIGNED, waypointBehaviour),
    AIX(0x136, 1, OBJ_FIELD_UNSIGNED, ownTargets),
    AIX(0x137, 1, OBJ_FIELD_UNSIGNED, savedState),
    AIX(0x138, 1, OBJ_FIELD_UNSIGNED, countermeasure),
    AIX(0x139, 1, OBJ_FIELD_UNSIGNED, isMember),
    AIX(0x13a, 1, OBJ_FIELD_UNSIGNED, routeNumber),
    AIX(0x13b, 1, OBJ_FIELD_UNSIGNED, waypointNumber),
    AIX(0x13c, 1, OBJ_FIELD_UNSIGNED, sideMasks[0]),
    AIX(0x13d, 1, OBJ_FIELD_UNSIGNED, sideMasks[1]),
    AIX(0x13e, 1, OBJ_FIELD_UNSIGNED, sideMasks[2]),
    AIX(0x13f, 1, OBJ_FIELD_UNSIGNED, engagement),
    AIX(0x140, 1, OBJ_FIELD_UNSIGNED, shortMissiles),
    AIX(0x141, 1, OBJ_FIELD_UNSIGNED, longMissiles),
    AIX(0x142, 1, OBJ_FIELD_UNSIGNED, gunBursts),
    AIX(0x143, 1, OBJ_FIELD_UNSIGNED, weapon),
    AIX(0x144, 1, OBJ_FIELD_UNSIGNED, gunCountdown),
    AIX(0x146, 2, OBJ_FIELD_UNSIGNED, roadWord),
};
const int32_t obj_FieldCount = (int32_t)(sizeof obj_FieldTable / sizeof obj_FieldTable[0]);

#undef HDR
#undef AIX

namespace {

bool IsAiRecord(const ObjectRecord* object) { return object->pool && object->pool->size >= sizeof(_AI_DCB); }

// The entry for the object, or null when the offset is unknown or the record
// does not have the field.
const ObjFieldEntry* EntryFor(const ObjectRecord* object, uint32_t offset) {
    if (!object) return nullptr;
    const ObjFieldEntry* e = obj_FieldFind(offset);
    if (!e || (e->aiOnly && !IsAiRecord(object))) return nullptr;
    return e;
}

}  // namespace

const ObjFieldEntry* obj_FieldFind(uint32_t offset) {
    // The table is in offset order.
    int32_t lo = 0, hi = obj_FieldCount - 1;
    while (lo <= hi) {
        const int32_t mid = (lo + hi) / 2;
        const uint32_t at = obj_FieldTable[mid].offset;
        if (at == offset) return &obj_FieldTable[mid];
        if (at < offset)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return nullptr;
}

int32_t obj_FieldRead(const ObjectRecord* object, uint32_t offset, int32_t* value) {
    const ObjFieldEntry* e = EntryFor(object, offset);
    if (!e || !value || e->kind == OBJ_FIELD_OBJECT) return -1;
    const uint8_t* p = (const uint8_t*)object + e->native;
    if (e->kind == OBJ_FIELD_ROUTINE || e->kind == OBJ_FIELD_LINK) {
        void* pointer;
        memcpy(&pointer, p, sizeof pointer);
        *value = pointer ? 1 : 0;
        return 0;
    }
    switch (e->width) {
    case 1: *value = e->kind == OBJ_FIELD_SIGNED ? (int32_t)(int8_t)p[0] : (int32_t)p[0]; break;
    case 2: {
        uint16_t w;
        memcpy(&w, p, 2);
        *value = e->kind == OBJ_FIELD_SIGNED ? (int32_t)(int16_t)w : (int32_t)w;
        break;
    }
    default: memcpy(value, p, 4); break;
    }
    return 0;
}

int32_t obj_FieldWrite(ObjectRecord* object, uint32_t offset, int32_t value) {
    const ObjFieldEntry* e = EntryFor(object, offset);
    if (!e || (e->kind != OBJ_FIELD_UNSIGNED && e->kind != OBJ_FIELD_SIGNED)) return -1;
    uint8_t* p = (uint8_t*)object + e->native;
    const uint32_t v = (uint32_t)value;
    switch (e->width) {
    case 1: p[0] = (uint8_t)v; break;
    case 2: {
        const uint16_t w = (uint16_t)v;
        memcpy(p, &w, 2);
        break;
    }
    default: memcpy(p, &v, 4); break;
    }
    return 0;
}

int32_t obj_FieldReadObject(const ObjectRecord* object, uint32_t offset, ObjHandle* handle) {
    const ObjFieldEntry* e = EntryFor(object, offset);
    if (!e || !handle || e->kind != OBJ_FIELD_OBJECT) return -1;
    ObjectRecord* pointer;
    memcpy(&pointer, (const uint8_t*)object + e->native, sizeof pointer);
    *handle = obj_HandleMake(pointer);
    return 0;
}

int32_t obj_FieldWriteObject(ObjectRecord* object, uint32_t offset, const ObjHandle* handle) {
    const ObjFieldEntry* e = EntryFor(object, offset);
    if (!e || !handle || e->kind != OBJ_FIELD_OBJECT) return -1;
    ObjectRecord* pointer = nullptr;
    if (handle->pool) {
        pointer = obj_HandleResolve(handle);
        if (!pointer) return -1;
    }
    memcpy((uint8_t*)object + e->native, &pointer, sizeof pointer);
    return 0;
}

FixVec3 obj_ForwardOf(const FixAngles* angles) {
    if (!angles) return FixVec3{};
    const int32_t quarter = 0x800000;  // a quarter turn of a 25-bit angle
    const int64_t sh = fix_Sin(angles->heading), ch = fix_Sin(angles->heading + quarter);
    const int64_t sp = fix_Sin(angles->pitch), cp = fix_Sin(angles->pitch + quarter);
    return FixVec3{(int32_t)((sh * cp) >> 16), (int32_t)sp, (int32_t)((ch * cp) >> 16)};
}
