// Pooled doubly linked lists and the sorted (key, value) arrays.
#include "base/list.h"

#include "base/mem.h"

#include <cstring>

ListSortPair list_SortArrayA[LIST_SORT_PAIRS];
ListSortPair list_SortArrayB[LIST_SORT_PAIRS];
ListSortPair list_SortArrayC[LIST_SORT_PAIRS];
int32_t list_SortCountA;
int32_t list_SortCountB;
int32_t list_SortCountC;

int32_t list_PoolCreate(uint32_t nodeSize, uint32_t nodeCount, ListPool* pool) {
    pool->freeHead = nullptr;
    pool->freeTail = nullptr;
    pool->block = nullptr;
    pool->nodeCount = nodeCount;
    pool->nodeSize = nodeSize;
    // Nodes hold native pointers: each must fit a ListNode and stay aligned.
    if (nodeSize < sizeof(ListNode) || nodeSize % alignof(ListNode) != 0) return -1;
    uint64_t total = (uint64_t)nodeSize * nodeCount;
    if (total > 0xFFFFFFFFu) return -1;
    uint8_t* block = (uint8_t*)mem_AllocEx((uint32_t)total, alignof(ListNode), "DLL List");
    if (!block) return -1;
    std::memset(block, 0, (size_t)total);
    pool->block = block;
    ListNode* prev = nullptr;
    for (uint32_t i = 0; i < nodeCount; i++) {
        ListNode* node = (ListNode*)(block + (uint64_t)i * nodeSize);
        node->owner = pool;
        if (prev)
            prev->next = node;
        else
            pool->freeHead = node;
        prev = node;
    }
    pool->freeTail = prev;
    return 0;
}

ListNode* list_PoolTake(ListPool* pool) {
    ListNode* node = pool->freeHead;
    if (!node) return nullptr;
    pool->freeHead = node->next;
    node->serial = pool->serial | 1u;
    pool->serial = node->serial + 1u;
    return node;
}

void list_PoolGiveBack(ListPool* pool, ListNode* node) {
    node->next = pool->freeHead;
    pool->freeHead = node;
}

void list_PushFront(ListNode** list, ListNode* node) {
    ListNode* first = *list;
    node->prev = nullptr;
    node->next = first;
    if (first) first->prev = node;
    *list = node;
}

void list_Append(ListNode** list, ListNode* node) {
    node->next = nullptr;
    ListNode* last = *list;
    if (!last) {
        node->prev = nullptr;
        *list = node;
        return;
    }
    while (last->next) last = last->next;
    last->next = node;
    node->prev = last;
}

void list_Remove(ListNode** list, ListNode* node) {
    if (*list == node) {
        *list = node->next;
        if (node->next) node->next->prev = nullptr;
        return;
    }
    if (node->prev) node->prev->next = node->next;
    if (node->next) node->next->prev = node->prev;
}

int32_t list_Count(ListNode* const* list) {
    return list_CountFrom(*list);
}

int32_t list_CountFrom(const ListNode* node) {
    int32_t n = 0;
    for (; node; node = node->next) n++;
    return n;
}

namespace {

// Shell sort with the gaps 1, 4, 13, 40, ... (h = 3h + 1), each pass an
// insertion sort by steps of h that moves a pair down past every pair whose
// value is smaller (descending) or larger (ascending).
template <bool Descending>
void shellSort(ListSortPair* a, int32_t count) {
    if (count > LIST_SORT_PAIRS) count = LIST_SORT_PAIRS;
    if (count < 2) return;
    uint32_t h = 0;
    while (h < (uint32_t)count) h = 3 * h + 1;
    do {
        h = (h * 0x5555) >> 16;  // one third, rounded down, for this sequence
        if (h == 0) break;
        for (int32_t i = (int32_t)h; i < count; i++) {
            ListSortPair p = a[i];
            int32_t j = i;
            while (j >= (int32_t)h &&
                   (Descending ? a[j - h].value < p.value : a[j - h].value > p.value)) {
                a[j] = a[j - h];
                j -= (int32_t)h;
            }
            a[j] = p;
        }
    } while (h > 1);
}

}  // namespace

void list_SortDescA(void) { shellSort<true>(list_SortArrayA, list_SortCountA); }
void list_SortDescB(void) { shellSort<true>(list_SortArrayB, list_SortCountB); }
void list_SortDescC(void) { shellSort<true>(list_SortArrayC, list_SortCountC); }
void list_SortAscC(void) { shellSort<false>(list_SortArrayC, list_SortCountC); }
