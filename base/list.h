// Pooled doubly linked lists and the sorted (key, value) arrays.
//
// Records that come and go every frame are taken from a fixed pool (one heap
// block, "DLL List") and kept on doubly linked lists, so that no heap call
// happens per record. Every record starts with a ListNode; each take gives it
// a new odd serial number, which the message and event layers use as its tag.
#pragma once
#include <cstdint>

struct ListPool;

// The first fields of every pooled record; the owner's data follows.
struct ListNode {
    ListPool* owner;     // the pool it came from
    ListNode* prev;      // previous node on its list, or null
    ListNode* next;      // next node on its list or on the free chain, or null
    uint32_t serial;     // odd
};

// Pool header, owned by the module that made the pool. Zero it before
// list_PoolCreate (a fresh header's serials run 1, 3, 5, ...).
struct ListPool {
    ListNode* freeHead;  // first free node
    ListNode* freeTail;  // last free node at creation
    uint32_t nodeCount;
    void* block;         // the heap block holding all nodes
    uint32_t nodeSize;   // bytes per node, a multiple of alignof(ListNode)
    uint32_t serial;     // next serial base
};

// Allocates count x size bytes in the current heap, zero-filled, and chains
// every node into the free chain in address order. 0, or -1 when the size is
// too small for a ListNode or not a multiple of its alignment, the total does
// not fit 32 bits, or the heap is full (block stays null, nothing to take).
int32_t list_PoolCreate(uint32_t nodeSize, uint32_t nodeCount, ListPool* pool);
// The first free node with its new serial, or null when none is free. Its
// links are stale until it is put on a list.
ListNode* list_PoolTake(ListPool* pool);
// Pushes the node onto the front of the free chain; its serial stays.
void list_PoolGiveBack(ListPool* pool, ListNode* node);

// A list is one word: its first node, null when empty.
void list_PushFront(ListNode** list, ListNode* node);
void list_Append(ListNode** list, ListNode* node);
// Unlinks the node (its own links are left as they were).
void list_Remove(ListNode** list, ListNode* node);
int32_t list_Count(ListNode* const* list);
int32_t list_CountFrom(const ListNode* node);

// The three fixed sort arrays. Users append pairs and raise the count
// themselves, staying within LIST_SORT_PAIRS; the sorts order by value and
// ignore pairs past that bound.
constexpr int32_t LIST_SORT_PAIRS = 2048;
struct ListSortPair {
    int32_t key;
    int32_t value;
};
extern ListSortPair list_SortArrayA[LIST_SORT_PAIRS];
extern ListSortPair list_SortArrayB[LIST_SORT_PAIRS];
extern ListSortPair list_SortArrayC[LIST_SORT_PAIRS];
extern int32_t list_SortCountA;
extern int32_t list_SortCountB;
extern int32_t list_SortCountC;

// Largest value first (A, B, C); smallest value first (C).
void list_SortDescA(void);
void list_SortDescB(void);
void list_SortDescC(void);
void list_SortAscC(void);
