// Tagged memory heaps, named global blocks and the plain byte routines.
#include "base/mem.h"

#include <algorithm>
#include <cinttypes>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/dlist.h"
#include "platform/files.h"
#include "platform/window.h"
#include "platform/winmsg.h"

// Heap sizes: the shell asks for the sizes that suited 32-bit records (24, 1
// and 2 MB). Our headers and records carry 64-bit pointers, so every region
// is taken MEM_HEAP_SCALE (2) times larger than asked; the placing rules are
// unchanged. The pages of an unused region are never touched, so the
// larger regions cost address space rather than memory.

MemHeap mem_MainHeap;
MemHeap mem_AltHeap1;
MemHeap mem_AltHeap2;
MemHeap* mem_CurrentHeap = &mem_MainHeap;

static uint32_t s_sizeMain;
static uint32_t s_sizeHeap1;
static uint32_t s_sizeHeap2;

// Blocks hold native records (pointers, doubles, 64-bit words), so data is
// never placed on a weaker boundary than the system allocator would give.
static constexpr uintptr_t MEM_MIN_ALIGN = 16;
static constexpr uintptr_t HDR = MEM_BLOCK_HEADER;
static const char* const MEM_BASE_TAG = "MemMgr Base";

static_assert(MEM_BLOCK_HEADER % alignof(MemBlock) == 0, "headers must stay aligned");

// ---------------------------------------------------------------------------
// Helpers

static inline uintptr_t addr_of(const void* p) { return reinterpret_cast<uintptr_t>(p); }
static inline uintptr_t data_of(const MemBlock* b) { return addr_of(b) + HDR; }
static inline uintptr_t end_of(const MemBlock* b) { return data_of(b) + b->size; }
static inline uintptr_t region_end(const MemHeap* h) { return addr_of(h->base) + h->size; }

// 0 for an alignment that is not a power of two.
static uintptr_t align_normal(uint32_t alignment) {
    if (alignment == 0) return MEM_MIN_ALIGN;
    if ((alignment & (alignment - 1)) != 0) return 0;
    return std::max<uintptr_t>(alignment, MEM_MIN_ALIGN);
}

static inline uintptr_t align_up(uintptr_t v, uintptr_t a) { return (v + a - 1) & ~(a - 1); }

static uint32_t requested_size(const MemHeap* h) {
    if (h == &mem_AltHeap1) return s_sizeHeap1;
    if (h == &mem_AltHeap2) return s_sizeHeap2;
    return s_sizeMain;
}

// The block whose link points at data's header, or null when data is not a
// block of h (foreign pointers, freed blocks and the base block). Only
// addresses are compared, so a foreign pointer is never read through.
static MemBlock* heap_FindPrev(const MemHeap* h, const void* data) {
    if (!h->first || !data) return nullptr;
    uintptr_t d = addr_of(data);
    if (d < addr_of(h->first) + 2 * HDR || d > region_end(h)) return nullptr;
    uintptr_t target = d - HDR;
    for (MemBlock* b = h->first; b->next; b = b->next) {
        uintptr_t n = addr_of(b->next);
        if (n == target) return b;
        if (n > target) break;  // the list is in address order
    }
    return nullptr;
}

// True when not even an empty block fits between b and its successor.
static inline bool gap_Tight(const MemBlock* b) {
    return b->next && align_up(end_of(b) + HDR, MEM_MIN_ALIGN) > addr_of(b->next);
}

// A block whose following gap may have grown: the search must not skip it.
static inline void hint_Back(MemHeap* h, MemBlock* b) {
    if (addr_of(b) < addr_of(h->searchFrom)) h->searchFrom = b;
}

// First fit in address order: the lowest aligned data address behind some
// block B whose header and data fit before B's successor (or the region end).
// Returns the data address and the block to link behind, or 0 when full.
// The walk starts at searchFrom, since every gap before it is too small for
// any block; that keeps placing cheap while a heap is filled in order.
static uintptr_t heap_Place(MemHeap* h, uint32_t size, uintptr_t align, MemBlock** behind) {
    uintptr_t limitEnd = region_end(h);
    for (MemBlock* b = h->searchFrom; b; b = b->next) {
        uintptr_t cand = align_up(end_of(b) + HDR, align);
        uintptr_t limit = b->next ? addr_of(b->next) : limitEnd;
        if (cand + size <= limit) {
            *behind = b;
            return cand;
        }
        if (b == h->searchFrom && gap_Tight(b)) h->searchFrom = b->next;
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Free callbacks

struct PendingCall {
    void* data;
    MemFreeRoutine routine;
};

static void callbacks_Clear(MemHeap* h) {
    if (h->mem_FreeCallbackTable)
        std::memset(h->mem_FreeCallbackTable, 0, sizeof(MemFreeCallback) * MEM_FREE_CALLBACKS);
    h->callbackCount = 0;
    h->callbackHigh = 0;
}

// Takes the entries for data out of the table, in table order.
static void callbacks_Take(MemHeap* h, void* data, std::vector<PendingCall>* out) {
    MemFreeCallback* t = h->mem_FreeCallbackTable;
    if (!t || h->callbackCount == 0) return;
    for (uint32_t i = 0; i < h->callbackHigh; i++) {
        if (t[i].data == data) {
            out->push_back({t[i].data, t[i].routine});
            t[i].data = nullptr;
            t[i].routine = nullptr;
            h->callbackCount--;
        }
    }
}

// Runs after every unlink is complete, so a routine may use the heap freely.
static void callbacks_Run(const std::vector<PendingCall>& calls) {
    for (const PendingCall& c : calls)
        if (c.routine) c.routine(c.data);
}

MemFreeCallback* mem_FreeCallbackAdd(void* data, MemFreeRoutine routine) {
    MemHeap* h = mem_CurrentHeap;
    if (!data) return nullptr;  // a null data pointer marks a free entry
    if (!h->mem_FreeCallbackTable) {
        h->mem_FreeCallbackTable =
            static_cast<MemFreeCallback*>(std::calloc(MEM_FREE_CALLBACKS, sizeof(MemFreeCallback)));
        if (!h->mem_FreeCallbackTable) return nullptr;
        h->callbackCount = 0;
        h->callbackHigh = 0;
    }
    MemFreeCallback* t = h->mem_FreeCallbackTable;
    for (uint32_t i = 0; i < MEM_FREE_CALLBACKS; i++) {
        if (!t[i].data) {
            t[i].data = data;
            t[i].routine = routine;
            h->callbackCount++;
            if (i >= h->callbackHigh) h->callbackHigh = i + 1;
            return &t[i];
        }
    }
    return nullptr;
}

int32_t mem_FreeCallbackRemove(void* data) {
    MemHeap* h = mem_CurrentHeap;
    std::vector<PendingCall> gone;
    if (data) callbacks_Take(h, data, &gone);
    return static_cast<int32_t>(gone.size());
}

// ---------------------------------------------------------------------------
// Making the heaps

int32_t mem_HeapInit(void) {
    MemHeap* h = mem_CurrentHeap;
    // A heap made again starts empty; its earlier region goes back.
    std::free(h->base);
    std::free(h->mem_FreeCallbackTable);
    *h = MemHeap{};

    uint32_t req = requested_size(h);
    uint64_t bytes = static_cast<uint64_t>(req ? req : MEM_HEAP_DEFAULT_SIZE) * MEM_HEAP_SCALE;
    if (bytes > UINT32_MAX || bytes < HDR) return -1;
    uint8_t* base = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(bytes)));
    if (!base) return -1;
    h->base = base;
    h->size = static_cast<uint32_t>(bytes);

    MemBlock* first = reinterpret_cast<MemBlock*>(base);
    first->size = 0;
    first->id = MEM_ID_FIRST;
    first->tag = MEM_BASE_TAG;
    first->next = nullptr;
    h->first = first;
    h->searchFrom = first;
    h->nextId = MEM_ID_FIRST + 1;
    return 0;
}

static int32_t heap_InitOther(MemHeap* h) {
    mem_CurrentHeap = h;
    int32_t r = mem_HeapInit();
    mem_CurrentHeap = &mem_MainHeap;
    return r;
}

int32_t mem_Heap2Init(void) { return heap_InitOther(&mem_AltHeap2); }
int32_t mem_Heap1Init(void) { return heap_InitOther(&mem_AltHeap1); }

void mem_HeapSizesSet(uint32_t mainSize, uint32_t heap2Size, uint32_t heap1Size) {
    s_sizeMain = mainSize;
    s_sizeHeap2 = heap2Size;
    s_sizeHeap1 = heap1Size;
}

// ---------------------------------------------------------------------------
// Core operations

void* mem_AllocEx(uint32_t size, uint32_t alignment, const char* tag) {
    MemHeap* h = mem_CurrentHeap;
    uintptr_t align = align_normal(alignment);
    if (!h->first || !align) return nullptr;
    MemBlock* behind = nullptr;
    uintptr_t d = heap_Place(h, size, align, &behind);
    if (!d) return nullptr;
    MemBlock* b = reinterpret_cast<MemBlock*>(d - HDR);
    b->size = size;
    b->id = h->nextId++;
    b->tag = tag;
    b->next = behind->next;
    behind->next = b;
    return reinterpret_cast<void*>(d);
}

void* mem_Alloc(uint32_t size, uint32_t alignment) { return mem_AllocEx(size, alignment, nullptr); }

void* mem_AllocWithId(uint32_t size, uint32_t alignment, const char* tag, uint32_t id) {
    void* d = mem_AllocEx(size, alignment, tag);
    if (d && id < MEM_ID_FIRST) (reinterpret_cast<MemBlock*>(d) - 1)->id = id;
    return d;
}

int32_t mem_Free(void* data) {
    MemHeap* h = mem_CurrentHeap;
    MemBlock* prev = heap_FindPrev(h, data);
    if (!prev) return -1;
    prev->next = prev->next->next;
    hint_Back(h, prev);
    std::vector<PendingCall> calls;
    callbacks_Take(h, data, &calls);
    callbacks_Run(calls);
    return 0;
}

void* mem_Realloc(void* data, uint32_t newSize, uint32_t alignment) {
    MemHeap* h = mem_CurrentHeap;
    uintptr_t align = align_normal(alignment);
    MemBlock* prev = heap_FindPrev(h, data);
    if (!prev || !align) return nullptr;
    MemBlock* old = prev->next;
    const MemBlock saved = *old;

    // Look for the new place with the old block out of the list, so that its
    // own space counts; put it back untouched when nothing fits.
    prev->next = saved.next;
    hint_Back(h, prev);
    MemBlock* behind = nullptr;
    uintptr_t d = heap_Place(h, newSize, align, &behind);
    if (!d) {
        prev->next = old;
        hint_Back(h, prev);
        return nullptr;
    }
    MemBlock* after = behind->next;
    // Move before the new header is written: the header may lie inside the
    // old data.
    if (d != addr_of(data))
        std::memmove(reinterpret_cast<void*>(d), data, std::min(saved.size, newSize));
    MemBlock* b = reinterpret_cast<MemBlock*>(d - HDR);
    b->size = newSize;
    b->id = saved.id;
    b->tag = saved.tag;
    b->next = after;
    behind->next = b;
    h->nextId++;

    std::vector<PendingCall> calls;
    callbacks_Take(h, data, &calls);
    callbacks_Run(calls);
    return reinterpret_cast<void*>(d);
}

// Unlinks every block (never the base block) with low <= id <= high, then
// runs their callbacks in address order.
static int32_t heap_FreeIds(MemHeap* h, uint32_t low, uint32_t high) {
    if (!h->first) return 0;
    std::vector<PendingCall> calls;
    // Entries sorted by (data, table index), so each freed block finds its
    // own quickly even when thousands of blocks go at once.
    struct Entry {
        uintptr_t data;
        uint32_t index;
    };
    std::vector<Entry> entries;
    MemFreeCallback* t = h->mem_FreeCallbackTable;
    if (t && h->callbackCount) {
        for (uint32_t i = 0; i < h->callbackHigh; i++)
            if (t[i].data) entries.push_back({addr_of(t[i].data), i});
        std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
            return a.data != b.data ? a.data < b.data : a.index < b.index;
        });
    }

    int32_t count = 0;
    MemBlock* b = h->first;
    while (b->next) {
        MemBlock* n = b->next;
        if (n->id < low || n->id > high) {
            b = n;
            continue;
        }
        b->next = n->next;
        hint_Back(h, b);
        count++;
        if (!entries.empty()) {
            uintptr_t d = data_of(n);
            auto it = std::lower_bound(entries.begin(), entries.end(), d,
                                       [](const Entry& e, uintptr_t v) { return e.data < v; });
            for (; it != entries.end() && it->data == d; ++it) {
                MemFreeCallback& e = t[it->index];
                calls.push_back({e.data, e.routine});
                e.data = nullptr;
                e.routine = nullptr;
                h->callbackCount--;
            }
        }
    }
    callbacks_Run(calls);
    return count;
}

int32_t mem_FreeFrom(void* data) {
    MemHeap* h = mem_CurrentHeap;
    MemBlock* prev = heap_FindPrev(h, data);
    if (!prev) return -1;
    return heap_FreeIds(h, prev->next->id, UINT32_MAX);
}

int32_t mem_FreeIdRange(uint32_t low, uint32_t high) { return heap_FreeIds(mem_CurrentHeap, low, high); }

int32_t mem_FreeBetween(void* a, void* b) {
    MemHeap* h = mem_CurrentHeap;
    MemBlock* pa = heap_FindPrev(h, a);
    MemBlock* pb = heap_FindPrev(h, b);
    if (!pa || !pb) return -1;
    return mem_FreeIdRange(pa->next->id, pb->next->id);
}

uint32_t mem_IdSet(void* data, uint32_t id) {
    MemBlock* prev = heap_FindPrev(mem_CurrentHeap, data);
    if (prev && id < MEM_ID_FIRST) prev->next->id = id;
    return id;
}

void mem_TagSet(void* data, const char* tag) {
    MemBlock* prev = heap_FindPrev(mem_CurrentHeap, data);
    if (prev) prev->next->tag = tag;
}

// ---------------------------------------------------------------------------
// Alternate heaps

void* mem_AllocInHeap1(uint32_t size, const char* tag) {
    mem_CurrentHeap = &mem_AltHeap1;
    void* d = mem_AllocEx(size, 4, tag);
    mem_CurrentHeap = &mem_MainHeap;
    return d;
}

void* mem_AllocInHeap1Untagged(uint32_t size) { return mem_AllocInHeap1(size, nullptr); }

int32_t mem_FreeInHeap1(void* data) {
    mem_CurrentHeap = &mem_AltHeap1;
    int32_t r = mem_Free(data);
    mem_CurrentHeap = &mem_MainHeap;
    return r;
}

void* mem_AllocInHeap2(uint32_t size) {
    mem_CurrentHeap = &mem_AltHeap2;
    void* d = mem_AllocEx(size, 4, nullptr);
    mem_CurrentHeap = &mem_MainHeap;
    return d;
}

int32_t mem_FreeInHeap2(void* data) {
    mem_CurrentHeap = &mem_AltHeap2;
    int32_t r = mem_Free(data);
    mem_CurrentHeap = &mem_MainHeap;
    return r;
}

void mem_Heap2Reset(void) {
    MemHeap* h = &mem_AltHeap2;
    if (!h->first) return;
    h->first->next = nullptr;
    h->searchFrom = h->first;
    // Entries for the dropped blocks must not fire for later blocks that
    // happen to reuse their addresses.
    callbacks_Clear(h);
}

// ---------------------------------------------------------------------------
// Report

int32_t module_CheckMem(FILE* stream) {
    if (!stream) return -1;
    const MemHeap* h = mem_CurrentHeap;
    int32_t count = 0;
    uint32_t total = 0;
    int64_t wasted = 0;
    bool corrupt = false;

    uintptr_t lo = addr_of(h->first);
    uintptr_t hi = h->first ? region_end(h) : 0;
    for (const MemBlock* b = h->first; b;) {
        const MemBlock* n = b->next;
        uintptr_t na = addr_of(n);
        // A link that leaves the region, does not move forward or would put a
        // header across the region end is not followed.
        bool bad = n && (na < lo || na > hi || hi - na < HDR || na <= addr_of(b) ||
                         na % alignof(MemBlock) != 0);
        uintptr_t nextData = n ? na + HDR : 0;
        if (b->tag && !bad)
            std::fprintf(stream,
                         "ptr %7" PRIxPTR ", size = %7x, end = %7" PRIxPTR ", next = %7" PRIxPTR
                         ", id = %7x, \"%s\"\n",
                         data_of(b), b->size, end_of(b), nextData, b->id, b->tag);
        else
            std::fprintf(stream,
                         "ptr %7" PRIxPTR ", size = %7x, end = %7" PRIxPTR ", next = %7" PRIxPTR
                         ", id = %7x\n",
                         data_of(b), b->size, end_of(b), nextData, b->id);
        if (bad) {
            std::fprintf(stream, " **** Corrupt PTR %" PRIxPTR " ****", data_of(b));
            corrupt = true;
            break;
        }
        if (n && na < end_of(b)) plat_MessageBox(0, "Memory Overlap", "module_CheckMem", MB_OK);
        count++;
        total += b->size;
        if (n) wasted += static_cast<int64_t>(na) - static_cast<int64_t>(end_of(b));
        b = n;
    }
    if (corrupt) {
        count = 0;
        total = 0;
        wasted = 0;
    }
    std::fprintf(stream, "\nMax Pointers used = %d. Total Memory used = %u bytes (%.2f megs)\n", count,
                 total, total / 1048576.0);
    std::fprintf(stream, "Bytes Wasted = %d bytes (%.2fk)\n", static_cast<int32_t>(wasted),
                 static_cast<double>(wasted) / 1024.0);
    return corrupt ? -1 : 0;
}

int32_t mem_DumpStatsToFile(const char* path) {
    // Text and binary mode are the same here.
    FILE* f = path ? plat_FOpen(path, "w+") : nullptr;
    if (!f) {
        plat_MessageBox(0, "Could not open file for writing", "mem_DumpStatsToFile", MB_OK);
        return -1;
    }
    module_CheckMem(f);
    std::fclose(f);
    return 0;
}

// ---------------------------------------------------------------------------
// Named global blocks

static MemGlobalState s_global;
static MemGlobalReleaseWatch s_releaseWatch;

// The data starts on a 16-byte boundary behind the header, as for heap blocks.
static constexpr size_t GLOBAL_HDR = (sizeof(MemGlobalHeader) + 15) & ~size_t(15);

static inline uint8_t* global_Data(MemGlobalHeader* g) { return reinterpret_cast<uint8_t*>(g) + GLOBAL_HDR; }

static MemGlobalHeader* global_Find(const void* data) {
    if (!data) return nullptr;
    for (MemGlobalHeader* g = s_global.first; g; g = g->next)
        if (global_Data(g) == data) return g;
    return nullptr;
}

const MemGlobalState* mem_GlobalStateGet(void) { return &s_global; }

const MemGlobalHeader* mem_GlobalHeaderOf(const void* data) { return global_Find(data); }

void* mem_GlobalAllocNamed(const char* name, int32_t size) {
    if (size <= 0) return nullptr;
    size_t nameLen = name ? std::strlen(name) : 0;
    size_t bytes = GLOBAL_HDR + static_cast<size_t>(size) + nameLen + 1;
    MemGlobalHeader* g = static_cast<MemGlobalHeader*>(std::malloc(bytes));
    if (!g) return nullptr;
    uint8_t* data = global_Data(g);
    g->handle = g;
    g->size = static_cast<uint32_t>(size);
    g->serial = s_global.serial;
    g->name = reinterpret_cast<char*>(data + size);
    if (nameLen) std::memcpy(g->name, name, nameLen);
    g->name[nameLen] = '\0';
    g->ownerKey = 0;
    dlist_AddTail(s_global.first, s_global.last, s_global.count, g);
    s_global.serial++;
    s_global.total += g->size;
    std::memset(data, 0, g->size);
    return data;
}

static void global_Release(MemGlobalHeader* g) {
    uint8_t* data = global_Data(g);
    std::memset(data, 0xDD, g->size);
    dlist_Unlink(s_global.first, s_global.last, s_global.count, g);
    s_global.total -= g->size;
    if (s_releaseWatch) s_releaseWatch(data, g->size);
    std::free(g->handle);
}

int32_t mem_GlobalFreeNamed(void* data) {
    if (!data) return 0;
    MemGlobalHeader* g = global_Find(data);
    if (!g) return -1;
    global_Release(g);
    return 0;
}

uint32_t mem_GlobalOwnerKeyNew(void) { return ++s_global.ownerKey; }

void* mem_GlobalOwnerSet(void* data, uint32_t key) {
    MemGlobalHeader* g = global_Find(data);
    if (!g) return nullptr;
    g->ownerKey = key;
    return data;
}

int32_t mem_GlobalFreeByOwner(uint32_t key) {
    int32_t count = 0;
    MemGlobalHeader* g = s_global.first;
    while (g) {
        MemGlobalHeader* next = g->next;
        if (g->ownerKey == key) {
            global_Release(g);
            count++;
        }
        g = next;
    }
    return count;
}

void mem_GlobalReleaseWatchSet(MemGlobalReleaseWatch watch) { s_releaseWatch = watch; }

// ---------------------------------------------------------------------------
// Byte routines

int32_t mem_Zero(void* buffer, int32_t length) {
    if (buffer && length > 0) std::memset(buffer, 0, static_cast<size_t>(length));
    return 0;
}

void mem_Fill(void* buffer, uint8_t byte, int32_t length) {
    if (buffer && length > 0) std::memset(buffer, byte, static_cast<size_t>(length));
}

void mem_Copy(void* destination, const void* source, int32_t length) {
    if (destination && source && length > 0) std::memmove(destination, source, static_cast<size_t>(length));
}

int32_t mem_Compare(const void* a, const void* b, int32_t length) {
    if (!a) return 1;
    if (!b) return -1;
    if (length <= 0) return 0;
    int r = std::memcmp(a, b, static_cast<size_t>(length));
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

void mem_CopyBytes(void* destination, const void* source, int32_t count) {
    mem_Copy(destination, source, count);
}
