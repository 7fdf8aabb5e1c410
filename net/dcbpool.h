// Object record pools: the fixed pools every world object of a flight is
// taken from, on the server and on the client.
//
// A pool is one block of equal records chained into a free chain. Taking a
// record stamps it with an odd serial id, or (for the records a client makes)
// with a network id that carries the own player number in its high half, so
// that ids made by different players never collide. Records join and leave
// an object list through two pending lists that are applied once per frame,
// after every think routine has run, so that no think routine links or
// unlinks a record of the list being walked.
//
// The pending lists live on the group pool: every record a group's pools
// hand out is marked on that pool's lists, and the flush returns each record
// to the pool it came from.
#pragma once
#include <cstdint>

#include "sim/obj.h"

struct DcbPool {
    ObjectRecord* freeHead;       // first free record, null when empty
    ObjectRecord* last;           // last record of the pool
    uint32_t count;               // records
    void* memory;                 // count x size bytes
    uint32_t size;                // bytes per record
    ObjectRecord* pendingAdd;     // chained through pendingLink
    ObjectRecord* pendingRemove;  // chained through pendingLink
    DcbPool* group;               // the pool whose pending lists this pool's records join
};

// Shared by every pool and never reset between flights: the next serial is
// the counter OR 1, after which the counter is that serial + 1.
extern uint32_t net_DcbSerialCounter;
// Low 16 bits count; the high half is replaced by the own player number at
// each take.
extern uint32_t net_DcbNetworkCounter;

// Allocates count x size bytes under the name in the current heap, zeroed;
// chains every record into the free chain in address order, stores the pool
// in each record and sets its first byte to 1. A null group makes the pool
// its own group. 0, or -1 when the size cannot hold an aligned record header,
// the total does not fit 32 bits, or the heap is full (the pool is then
// empty: every take yields null).
int32_t net_DcbPoolCreate(uint32_t size, uint32_t count, DcbPool* pool, DcbPool* group, const char* name);
// The first free record with a new serial id and its pending bits cleared,
// or null when none is free.
ObjectRecord* net_DcbPoolTake(DcbPool* pool);
// As net_DcbPoolTake, but the record gets a new network id (own player number
// from the client) in place of a serial id.
ObjectRecord* net_DcbPoolTakeNetId(DcbPool* pool);
// Pushes the record onto the pool's free chain.
void net_DcbPoolReturn(ObjectRecord* record, DcbPool* pool);

// Marks the record for addition to the list its group pool is flushed
// against. A record already pending (either way) is left as it is.
void Client_PoolLinkToOwner(ObjectRecord* record);
// Marks the record for removal, once: a record marked twice goes back once.
// A record still waiting for its addition is returned by the addition flush
// instead of being linked.
void Client_PoolLinkOnce(ObjectRecord* record);

// Unlinks every record of the pool's pending-removal list from the list and
// returns it to the pool it came from; empties the pending-removal list.
void net_DcbPoolFlushRemovals(DcbPool* pool, ObjectRecord** list);
// Links every record of the pool's pending-addition list at the head of the
// list; empties the pending-addition list.
void net_DcbPoolFlushAdditions(DcbPool* pool, ObjectRecord** list);

// Intrusive doubly linked object lists (next, prev): link puts the record at
// the head (a record already on a list is left there); unlink takes it out
// wherever it stands and clears its links (a record that is not on the list
// is left alone).
void net_ObjectListLink(ObjectRecord** list, ObjectRecord* record);
void net_ObjectListUnlink(ObjectRecord** list, ObjectRecord* record);

// Records on the pool's free chain.
int32_t net_DcbPoolFreeCount(const DcbPool* pool);
// Objects on a list from this one on.
int32_t net_ObjectListCount(const ObjectRecord* first);
