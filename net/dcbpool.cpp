// Object record pools.
#include "net/dcbpool.h"

#include <cstring>

#include "base/mem.h"
#include "net/client.h"

uint32_t net_DcbSerialCounter = 0;
uint32_t net_DcbNetworkCounter = 0;

namespace {

ObjectRecord* RecordAt(const DcbPool* pool, uint32_t i) {
    return (ObjectRecord*)((uint8_t*)pool->memory + (uint64_t)i * pool->size);
}

ObjectRecord* TakeFree(DcbPool* pool) {
    if (!pool) return nullptr;
    ObjectRecord* r = pool->freeHead;
    if (!r) return nullptr;
    pool->freeHead = r->freeLink;
    r->freeLink = nullptr;
    r->pending = 0;
    return r;
}

DcbPool* GroupOf(const ObjectRecord* record) {
    DcbPool* pool = record->pool;
    if (!pool) return nullptr;
    return pool->group ? pool->group : pool;
}

}  // namespace

int32_t net_DcbPoolCreate(uint32_t size, uint32_t count, DcbPool* pool, DcbPool* group, const char* name) {
    if (!pool) return -1;
    memset(pool, 0, sizeof *pool);
    pool->count = count;
    pool->size = size;
    pool->group = group ? group : pool;
    // Records hold native pointers: each must fit the header and stay aligned.
    if (size < sizeof(ObjectRecord) || size % alignof(ObjectRecord) != 0) return -1;
    const uint64_t total = (uint64_t)size * count;
    if (total > 0xFFFFFFFFu) return -1;
    uint8_t* block = (uint8_t*)mem_AllocEx((uint32_t)total, alignof(ObjectRecord), name);
    if (!block) return -1;
    memset(block, 0, (size_t)total);
    pool->memory = block;
    ObjectRecord* prev = nullptr;
    for (uint32_t i = 0; i < count; i++) {
        ObjectRecord* r = RecordAt(pool, i);
        r->state = 1;
        r->pool = pool;
        if (prev)
            prev->freeLink = r;
        else
            pool->freeHead = r;
        prev = r;
    }
    pool->last = prev;
    return 0;
}

ObjectRecord* net_DcbPoolTake(DcbPool* pool) {
    ObjectRecord* r = TakeFree(pool);
    if (!r) return nullptr;
    r->serial = net_DcbSerialCounter | 1u;
    net_DcbSerialCounter = r->serial + 1u;
    return r;
}

ObjectRecord* net_DcbPoolTakeNetId(DcbPool* pool) {
    ObjectRecord* r = TakeFree(pool);
    if (!r) return nullptr;
    net_DcbNetworkCounter = ((net_DcbNetworkCounter + 1u) & 0xFFFFu) | (Client_OwnPlayerHigh & 0xFFFF0000u);
    r->netId = net_DcbNetworkCounter;
    return r;
}

void net_DcbPoolReturn(ObjectRecord* record, DcbPool* pool) {
    if (!record || !pool) return;
    // A free record answers to no handle made while it was taken.
    record->serial = 0;
    record->freeLink = pool->freeHead;
    pool->freeHead = record;
}

void Client_PoolLinkToOwner(ObjectRecord* record) {
    if (!record) return;
    DcbPool* group = GroupOf(record);
    if (!group || (record->pending & (OBJECT_PENDING_ADDITION | OBJECT_PENDING_REMOVAL))) return;
    record->pending |= OBJECT_PENDING_ADDITION;
    record->pendingLink = group->pendingAdd;
    group->pendingAdd = record;
}

void Client_PoolLinkOnce(ObjectRecord* record) {
    if (!record) return;
    DcbPool* group = GroupOf(record);
    if (!group || (record->pending & OBJECT_PENDING_REMOVAL)) return;
    record->pending |= OBJECT_PENDING_REMOVAL;
    // Both pending lists chain through the one link: a record still waiting
    // for its addition stays on that list, and its flush returns it.
    if (record->pending & OBJECT_PENDING_ADDITION) return;
    record->pendingLink = group->pendingRemove;
    group->pendingRemove = record;
}

void net_DcbPoolFlushRemovals(DcbPool* pool, ObjectRecord** list) {
    if (!pool) return;
    ObjectRecord* r = pool->pendingRemove;
    pool->pendingRemove = nullptr;
    while (r) {
        ObjectRecord* following = r->pendingLink;
        r->pendingLink = nullptr;
        r->pending = 0;
        if (list) net_ObjectListUnlink(list, r);
        net_DcbPoolReturn(r, r->pool);
        r = following;
    }
}

void net_DcbPoolFlushAdditions(DcbPool* pool, ObjectRecord** list) {
    if (!pool) return;
    ObjectRecord* r = pool->pendingAdd;
    pool->pendingAdd = nullptr;
    while (r) {
        ObjectRecord* following = r->pendingLink;
        r->pendingLink = nullptr;
        if (r->pending & OBJECT_PENDING_REMOVAL) {
            // Removed before it ever joined the list.
            r->pending = 0;
            net_DcbPoolReturn(r, r->pool);
        } else {
            r->pending = 0;
            if (list) net_ObjectListLink(list, r);
        }
        r = following;
    }
}

void net_ObjectListLink(ObjectRecord** list, ObjectRecord* record) {
    if (!list || !record) return;
    if (record->prev || *list == record) return;  // already on a list
    ObjectRecord* first = *list;
    record->prev = nullptr;
    record->next = first;
    if (first) first->prev = record;
    *list = record;
}

void net_ObjectListUnlink(ObjectRecord** list, ObjectRecord* record) {
    if (!list || !record) return;
    if (record->prev) {
        record->prev->next = record->next;
    } else if (*list == record) {
        *list = record->next;
    } else {
        return;  // not on this list
    }
    if (record->next) record->next->prev = record->prev;
    record->next = nullptr;
    record->prev = nullptr;
}

int32_t net_DcbPoolFreeCount(const DcbPool* pool) {
    if (!pool) return 0;
    int32_t n = 0;
    for (const ObjectRecord* r = pool->freeHead; r; r = r->freeLink) n++;
    return n;
}

int32_t net_ObjectListCount(const ObjectRecord* first) {
    int32_t n = 0;
    for (const ObjectRecord* r = first; r; r = r->next) n++;
    return n;
}
