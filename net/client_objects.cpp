// The client's copies of the server's objects: made and updated from the
// object and static records, retired at the end of a packet, and moved
// between updates by dead reckoning toward the last reported point.
#include <cstring>

#include "debug/dbgobj.h"
#include "net/client.h"
#include "net/dcbpool.h"
#include "net/msg.h"
#include "net/server.h"
#include "render/fx.h"
#include "render/object.h"
#include "render/render.h"
#include "sim/hit.h"
#include "sim/obj.h"
#include "sim/pose.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/levelseq.h"
#include "world/objarray.h"
#include "world/pak.h"
#include "world/terrain.h"
#include "world/terrain_draw.h"

const int32_t Client_ReachTable[26] = {
    0,          65536,      65536 / 2,  65536 / 3,  65536 / 4,  65536 / 5,  65536 / 6,
    65536 / 7,  65536 / 8,  65536 / 9,  65536 / 10, 65536 / 11, 65536 / 12, 65536 / 13,
    65536 / 14, 65536 / 15, 65536 / 16, 65536 / 17, 65536 / 18, 65536 / 19, 65536 / 20,
    65536 / 21, 65536 / 22, 65536 / 23, 65536 / 24, 65536 / 25,
};

namespace {

constexpr int16_t LINGER_PACKETS = 100;
constexpr int32_t NEW_OBJECT_FRAMES = 16;    // a new copy starts this far behind
constexpr int32_t STEER_LIMIT = 0x14000;     // largest turn per frame
// Bits of the record's category byte, which the copy keeps as its class.
constexpr uint8_t CATEGORY_LISTED = 0x03;    // aircraft and ground units: linger, draw as aircraft
constexpr uint8_t CATEGORY_STEERED = 0x08;   // missiles

bool Bridge(void) { return level_GameMode.sharedProcess != 0; }

// Signed difference of two 25-bit angles, wrapped into half a turn each way.
int32_t AngleDiff(uint32_t to, uint32_t from) { return (int32_t)((to - from) << 7) >> 7; }
uint32_t AngleAdd(int32_t angle, int32_t delta) { return ((uint32_t)angle + (uint32_t)delta) & FIX_ANGLE_MASK; }

int32_t Scaled(int64_t value, int32_t factor) { return (int32_t)((value * factor) >> 16); }

// The copy's velocity: what takes it to the reported point by the time the
// next update is due.
void TowardReported(ObjectRecord* o) {
    o->velocity.x = Scaled((int32_t)(o->reported.x - o->position.x), Client.reach);
    o->velocity.y = Scaled((int32_t)(o->reported.y - o->position.y), Client.reach);
    o->velocity.z = Scaled((int32_t)(o->reported.z - o->position.z), Client.reach);
}

ObjectRecord* ListFind(ObjectRecord* list, uint32_t serial) {
    for (ObjectRecord* o = list; o; o = o->next)
        if (o->serial == serial) return o;
    return nullptr;
}

// A fresh record: only what the pool keeps in it stays.
void Fresh(ObjectRecord* o, uint32_t serial) {
    DcbPool* pool = o->pool;
    uint8_t state = o->state;
    memset((void*)o, 0, sizeof *o);
    o->pool = pool;
    o->state = state;
    o->serial = serial;
}

// The copy's reported points, as a debug path of the client's kind.
void DebugPathAdd(const ObjectRecord* o) {
    DbgDebugObject* path = dbg_DebugObjectFind(CLIENT_DEBUG_PATHS, (int32_t)o->serial);
    if (!path) path = dbg_DebugObjectCreate(CLIENT_DEBUG_PATHS, (int32_t)o->serial, dbg_DebugColour);
    if (path) dbg_DebugObjectAddCoord(path, &o->reported);
}

void CopyHit(ObjectRecord* o) {
    const ObjectRecord* bullet = sim_HitRecord.hitter;
    Client_SendBulletHit(o->serial, bullet ? bullet->netId : 0);
}

void Apply(const MsgObjectEntry& e, const FixVec3& base) {
    // The type index names a slot of the model table.
    if (e.typeIndex >= level_Models.count) return;
    bool isNew = false;
    ObjectRecord* o = ListFind(Client.knownObjects, e.serial);
    if (o) {
        net_ObjectListUnlink(&Client.knownObjects, o);
        Client.keptObjects++;
    } else {
        o = net_DcbPoolTake(&level_ClientObjectArray);
        if (!o) return;  // made from a later packet
        Fresh(o, e.serial);
        Client.newObjects++;
        isNew = true;
    }
    net_ObjectListLink(&Client.packetObjects, o);
    o->modelSlot = e.typeIndex;
    o->model = level_Models.pak[e.typeIndex];
    const bool made = isNew;
    if (e.flags & MSG_OBJECT_FIRST) isNew = true;
    if (e.flags & MSG_OBJECT_RELATIVE) {
        o->reported = FixWorldPos{(uint32_t)base.x + ((uint32_t)(int32_t)e.x << 13),
                                  (uint32_t)base.y + ((uint32_t)(int32_t)e.y << 13),
                                  (uint32_t)base.z + ((uint32_t)(int32_t)e.z << 13)};
    } else {
        o->reported = FixWorldPos{(uint32_t)(uint16_t)e.x << 16, (uint32_t)(uint16_t)e.y << 16,
                                  (uint32_t)(uint16_t)e.z << 16};
    }
    o->speed = (int32_t)((uint32_t)e.speed << 8);
    if (dbg_DebugObjectsShown) DebugPathAdd(o);
    if (isNew) {
        o->position = o->reported;
        o->angles = FixAngles{(int32_t)((uint32_t)e.angles.heading & FIX_ANGLE_MASK),
                              (int32_t)((uint32_t)e.angles.pitch & FIX_ANGLE_MASK),
                              (int32_t)((uint32_t)e.angles.roll & FIX_ANGLE_MASK)};
        const FixVec3 f = obj_ForwardOf(&o->angles);
        const FixVec3 v{Scaled(f.x, o->speed), Scaled(f.y, o->speed), Scaled(f.z, o->speed)};
        o->position.x -= (uint32_t)v.x * NEW_OBJECT_FRAMES;
        o->position.y -= (uint32_t)v.y * NEW_OBJECT_FRAMES;
        o->position.z -= (uint32_t)v.z * NEW_OBJECT_FRAMES;
        o->rates = FixAngles{};
        o->frame = 0;
        o->made = 1;
        o->drawFlags = 0;
        o->scale = 0x10000;
        o->draw = render_ObjectDraw;
        o->hit = CopyHit;
        o->visible = 1;
        o->hitPoints = 1;
        if (made) Client_ObjectSoundsStart(o);
    } else {
        o->rates.heading = Scaled(AngleDiff((uint32_t)e.angles.heading, (uint32_t)o->angles.heading), Client.reach);
        o->rates.pitch = Scaled(AngleDiff((uint32_t)e.angles.pitch, (uint32_t)o->angles.pitch), Client.reach);
        o->rates.roll = Scaled(AngleDiff((uint32_t)e.angles.roll, (uint32_t)o->angles.roll), Client.reach);
    }
    TowardReported(o);
    o->stateFlags = e.status;
    o->aiClass = e.category;
    o->hitPoints = e.alive;
    o->copyFlags = e.flags;
    if (e.flags & MSG_OBJECT_TARGETS_PLAYER) {
        o->target = Client_PlayerObject;
        if ((e.category & CATEGORY_STEERED) && Client_PlayerObject) {
            const FixWorldPos& p = Client_PlayerObject->position;
            FixVec3 d{(int32_t)(o->reported.x - p.x), (int32_t)(o->reported.y - p.y), (int32_t)(o->reported.z - p.z)};
            int32_t dist = fix_ApproxLength(&d);
            if (Client.threatDistance < 0 || dist < Client.threatDistance) Client.threatDistance = dist;
        }
    } else {
        o->target = nullptr;
    }
    o->linger = LINGER_PACKETS;
    if (o->hitPoints && (e.category & CATEGORY_LISTED)) {
        obj_TypeListAppend(o);
        o->copyFlags |= OBJ_COPY_LINGERS;
    }
    o->flags = e.side;
    o->modelState[0] = e.modelState[0];
    o->modelState[1] = e.modelState[1];
    if (e.side & OBJ_FLAG_PLAYER) o->missionWord = (int32_t)e.aux;
    // Aircraft are drawn with their shadow, and every copy poses its model's
    // moving parts by the routine of its kind.
    if (e.category & CATEGORY_LISTED) o->draw = plane_ObjectDraw;
    model_PoseBind(o);
    o->player = e.owner;
    if (isNew && Bridge()) {
        ObjectRecord* s = Server_FindPlayerById(e.serial);
        o->serverLink = s && (s->flags & OBJ_FLAG_PLAYER) ? s : nullptr;
    }
}

}  // namespace

// ---- Records ----

void Client_ObjectData(const MsgRecord* record) {
    MsgObjectData head;
    // The count must fit the record's length.
    if (!record || msg_ObjectDataDecode(record->data, record->length, &head) != 0) return;
    const int32_t interval = Client.interval > 0 ? Client.interval : 1;
    if (!Client.objectsSynced) {
        Client.objectsSynced = 1;
        Client.packetFrame = 0;
        Client.expectedFrames = interval;
    }
    Client.objectDataArrived = 1;
    const int32_t d = Client.expectedFrames - Client.packetFrame;
    Client.frameDistance = d;
    if (d > 7 && d < 25) {
        Client.reach = Client_ReachTable[d];
    } else {
        // Too early or too late: start the timing again rather than jump.
        Client.reach = 65536 / interval;
        Client.packetFrame = 0;
        Client.expectedFrames = interval;
    }
    Client.newObjects = Client.keptObjects = 0;
    Client.threatDistance = -1;
    for (uint32_t i = 0; i < head.count; i++) {
        MsgObjectEntry e;
        if (msg_ObjectEntryDecode(record->data, record->length, i, &e) != 0) return;
        Apply(e, head.base);
    }
}

void Client_StaticData(const MsgRecord* record) {
    MsgStaticData head;
    if (!record || msg_StaticDataDecode(record->data, record->length, &head) != 0) return;
    if (head.batch != Client.staticBatch) {
        Client.staticBatch = head.batch;
        for (uint32_t i = 0; i < head.count; i++) {
            MsgStaticEntry e;
            if (msg_StaticEntryDecode(record->data, record->length, i, &e) != 0) break;
            if (e.typeIndex >= level_Models.count) continue;
            obj_PendingAngles = FixAngles{(int32_t)((uint32_t)e.angles.heading & FIX_ANGLE_MASK), 0, 0};
            obj_PendingType = e.typeIndex;
            uint32_t creation = (uint32_t)e.kind | ((uint32_t)e.side << 8);
            ObjectRecord* o = obj_StaticCreate((uint32_t)e.position.x, (uint32_t)e.position.z,
                                               level_Models.pak[e.typeIndex], creation);
            if (!o) continue;
            // y x 16 below zero puts the object on the ground.
            const int32_t y16 = (int32_t)((uint32_t)e.position.y << 4);
            if (y16 >= 0) o->position.y = (uint32_t)(y16 / 16) + (o->model ? (uint32_t)o->model->baseHeight : 0);
            o->draw = render_ObjectDraw;
            o->modelState[0] = e.modelState[0];
            o->modelState[1] = e.modelState[1];
            o->visible = 1;
            o->display = 1;
            o->aiClass = 2;
            o->category = e.categoryFlags;
            obj_CategoryListsAdd(o);
        }
    }
    Client.staticConfirmPending = 1;
}

ObjectRecord* Client_ObjectFind(uint32_t serial) {
    // While a packet is read a copy is on one list or the other: named in
    // it already, or not yet.
    if (ObjectRecord* o = ListFind(Client.packetObjects, serial)) return o;
    return ListFind(Client.knownObjects, serial);
}

void Client_ObjectsPacketStart(void) {
    while (ObjectRecord* o = Client.packetObjects) {
        net_ObjectListUnlink(&Client.packetObjects, o);
        net_ObjectListLink(&Client.knownObjects, o);
    }
}

void Client_ObjectsRetire(void) {
    ObjectRecord* next;
    for (ObjectRecord* o = Client.knownObjects; o; o = next) {
        next = o->next;
        net_ObjectListUnlink(&Client.knownObjects, o);
        if ((o->copyFlags & OBJ_COPY_LINGERS) && --o->linger >= 0) {
            net_ObjectListLink(&Client.packetObjects, o);
            obj_TypeListAppend(o);
            continue;
        }
        if (DbgDebugObject* path = dbg_DebugObjectFind(CLIENT_DEBUG_PATHS, (int32_t)o->serial))
            dbg_DebugObjectDestroy(path);
        Client_ObjectDetach(o);
        obj_TypeListUnlink(o);
        net_DcbPoolReturn(o, o->pool);
    }
    Client.knownObjects = Client.packetObjects;
    Client.packetObjects = nullptr;
}

// ---- Stepping ----

void Client_ObjectStep(ObjectRecord* o) {
    if (!o) return;
    ObjectRecord* s = o->serverLink;
    if (s && s->serial == o->serial && Bridge()) {
        // The server's own object, one frame on.
        o->position.x = s->position.x + (uint32_t)Scaled(s->velocity.x, s->speed);
        o->position.y = s->position.y + (uint32_t)Scaled(s->velocity.y, s->speed);
        o->position.z = s->position.z + (uint32_t)Scaled(s->velocity.z, s->speed);
        o->angles = s->angles;
    } else if (o->aiClass & CATEGORY_STEERED) {
        o->serverLink = nullptr;
        int32_t dh = AngleDiff((uint32_t)obj_BearingHalfScale(&o->position, &o->reported), (uint32_t)o->angles.heading);
        int32_t dp = AngleDiff((uint32_t)obj_ElevationReverse(&o->position, &o->reported), (uint32_t)o->angles.pitch);
        dh = dh > STEER_LIMIT ? STEER_LIMIT : dh < -STEER_LIMIT ? -STEER_LIMIT : dh;
        dp = dp > STEER_LIMIT ? STEER_LIMIT : dp < -STEER_LIMIT ? -STEER_LIMIT : dp;
        o->rates.heading = dh;
        o->rates.pitch = dp;
        o->angles.heading = (int32_t)AngleAdd(o->angles.heading, dh);
        o->angles.pitch = (int32_t)AngleAdd(o->angles.pitch, dp);
        const FixVec3 f = obj_ForwardOf(&o->angles);
        o->position.x += (uint32_t)Scaled(f.x, o->speed);
        o->position.y += (uint32_t)Scaled(f.y, o->speed);
        o->position.z += (uint32_t)Scaled(f.z, o->speed);
    } else {
        o->serverLink = nullptr;
        o->position.x += (uint32_t)o->velocity.x;
        o->position.y += (uint32_t)o->velocity.y;
        o->position.z += (uint32_t)o->velocity.z;
        o->angles.heading = (int32_t)AngleAdd(o->angles.heading, o->rates.heading);
        o->angles.pitch = (int32_t)AngleAdd(o->angles.pitch, o->rates.pitch);
        o->angles.roll = (int32_t)AngleAdd(o->angles.roll, o->rates.roll);
    }
    if ((Client.frame & 3) == 0) Client_ObjectSoundUpdate(o);
    o->age++;
    o->frame = (uint8_t)(o->age / 8);
    o->spin = (o->spin + 0x10000) & FIX_ANGLE_MASK;
    if (o->copyFlags & OBJ_COPY_NEARBY_EFFECT) weapon_SpawnNearbyEffect(o);
    if (o->stateFlags & 0x02) fx_ModelPuffSpawn(o);
}

void Client_ThinkPass(void) {
    terrain_PlayersPlace = Client_ObjectsGridPlace;
    for (ObjectRecord* o = Client.knownObjects; o; o = o->next) Client_ObjectStep(o);
    ObjectRecord** players = &level_ClientTables.objectList;
    for (ObjectRecord* o = *players; o; o = o->next)
        if (o->think) o->think(o);
    for (ObjectRecord* o = *players; o; o = o->next)
        if (o->secondPass) o->secondPass(o);
    Client_WarningTones();
    // Records the think routines marked join or leave the player list now.
    DcbPool* pools[] = {&level_ClientArrays.player, &level_ClientArrays.common, &level_ClientArrays.special};
    for (DcbPool* p : pools) {
        net_DcbPoolFlushRemovals(p, players);
        net_DcbPoolFlushAdditions(p, players);
    }
}

// The copies and the player list into the dynamic lists of their patches,
// for the terrain pass of this frame.
void Client_ObjectsGridPlace(void) {
    ObjectRecord** heads = depth_Level.dynamicHeads;
    uint32_t* stamps = depth_Level.dynamicStamps;
    if (!heads || !stamps) return;
    const uint32_t stamp = terrain_Pass.frameStamp;
    for (ObjectRecord* list : {Client.knownObjects, level_ClientTables.objectList})
        for (ObjectRecord* o = list; o; o = o->next) {
            const uint32_t n = obj_CellIndex(o->position.x, o->position.z);
            if (stamps[n] != stamp) {
                stamps[n] = stamp;
                heads[n] = nullptr;
            }
            o->freeLink = heads[n];
            heads[n] = o;
        }
}

// ---- The statistics page's view ----

NetBookkeeping net_Bookkeeping(void) {
    NetBookkeeping b{};
    b.serverObjects = Server.objects;
    b.knownObjects = Client.knownObjects;
    b.packetObjects = Client.packetObjects;
    b.playerObjects = level_ClientTables.objectList;
    b.clientObjectFree = level_ClientObjectArray.freeHead;
    b.commonObjectFree = level_ClientArrays.common.freeHead;
    b.confirmTags = Client.confirmTags;
    b.confirmCount = Client.confirmCount;
    b.keptObjects = Client.keptObjects;
    b.newObjects = Client.newObjects;
    b.staticObjects = obj_ClientStaticCount;
    b.serverEventFree = Server.eventPool.freeHead;
    b.firstSlotEvents = Server.player ? Server.player[0].pendingEvents : nullptr;
    b.frame = Client.frame;
    return b;
}
