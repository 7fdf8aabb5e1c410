// Stand-in until the object records land: no objects are made or listed.
#include "sim/obj.h"

#include "net/dcbpool.h"
#include "world/gamemode.h"
#include "world/objarray.h"
#include "world/terrain.h"

void obj_ClearLabelCache(void) {}

// Statics come from the client's static pool in a process without a server
// (with a server in the process the client shares the server's), and are pushed on their world cell (static heads of the terrain
// work tables, cells of 1 << 25 units).
ObjectRecord* obj_StaticCreate(uint32_t x, uint32_t z, void* model, uint16_t typeWord) {
    DcbPool* pool = !level_GameMode.hosting && level_ClientStaticArray ? level_ClientStaticArray
                                                                        : &level_ServerArrays.statics;
    ObjectRecord* o = net_DcbPoolTake(pool);
    if (!o) return nullptr;
    if (depth_Level.staticHeads) {
        uint32_t cell = (z >> 25) * 128 + (x >> 25);
        o->freeLink = depth_Level.staticHeads[cell];
        depth_Level.staticHeads[cell] = o;
    } else {
        o->freeLink = nullptr;
    }
    o->model = model;
    o->angles = FixAngles{};
    o->position.x = x;
    o->position.z = z;
    o->flags = static_cast<uint8_t>((typeWord >> 8) | 0x81);
    o->draw = nullptr;
    o->hitPoints = 100;
    o->hitPointsMax = 100;
    return o;
}
void obj_CategoryListsAdd(ObjectRecord*) {}

void obj_TypeListPush(ObjectRecord*) {}
void obj_TypeListAppend(ObjectRecord*) {}
void obj_TypeListUnlink(ObjectRecord*) {}

void obj_ReplaceTargetRefs(ObjectRecord*) {}
void obj_ReferencesClear(ObjectRecord*) {}
void obj_TargetCandidateRemove(ObjectRecord*) {}

void obj_DisplayName(const ObjectRecord*, char* buffer, size_t size) {
    if (buffer && size) buffer[0] = '\0';
}

int32_t obj_BearingHalfScale(const FixWorldPos*, const FixWorldPos*) { return 0; }
int32_t obj_ElevationReverse(const FixWorldPos*, const FixWorldPos*) { return 0; }
