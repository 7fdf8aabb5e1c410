// Tagged memory heaps, named global blocks and the plain byte routines.
//
// Three fixed heaps (main, alternate heap 1, alternate heap 2) are taken once
// at start-up. Blocks are placed first-fit in address order, each behind a
// header {size, id, tag, next}; ids rise from MEM_ID_FIRST in allocation order
// so that a module can free everything it placed after a given block in one
// call. Named global blocks are single system allocations kept on one list.
//
// Main thread only; nothing is locked.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

// First sequence id of a heap; ids below it are caller-chosen group ids.
constexpr uint32_t MEM_ID_FIRST = 0x1000000;
// Size taken by mem_HeapInit when none was requested.
constexpr uint32_t MEM_HEAP_DEFAULT_SIZE = 0xF00000;
// Entries of a heap's free-callback table.
constexpr uint32_t MEM_FREE_CALLBACKS = 2048;

// Block header, directly in front of the data pointer that callers hold.
// 24 bytes on 64-bit (tag and link are native pointers).
struct MemBlock {
    uint32_t size;     // data size as asked for (not rounded)
    uint32_t id;       // sequence id, or a group id below MEM_ID_FIRST
    const char* tag;   // constant name string, or null
    MemBlock* next;    // next header in address order, null for the last
};
constexpr size_t MEM_BLOCK_HEADER = sizeof(MemBlock);

typedef void (*MemFreeRoutine)(void* data);

// One entry of a heap's free-callback table; a null data pointer marks it free.
struct MemFreeCallback {
    void* data;
    MemFreeRoutine routine;
};

// Heap record (three exist).
struct MemHeap {
    uint8_t* base;                              // region, from the standard allocator
    uint32_t size;                              // region size in bytes
    MemBlock* first;                            // base block at the region start
    uint32_t nextId;                            // next sequence id
    MemFreeCallback* mem_FreeCallbackTable;     // null until the first registration
    uint32_t flags;                             // zero
    uint32_t callbackCount;                     // table entries in use
    uint32_t callbackHigh;                      // no entry in use at or past this index
    MemBlock* searchFrom;                       // no block fits behind any block before it
};

extern MemHeap mem_MainHeap;
extern MemHeap mem_AltHeap1;
extern MemHeap mem_AltHeap2;
// The heap the core operations act on; normally &mem_MainHeap.
extern MemHeap* mem_CurrentHeap;

// Requested heap sizes in bytes (main, second = alternate heap 2, third =
// alternate heap 1), set by the shell before the heaps are made; 0 asks for
// MEM_HEAP_DEFAULT_SIZE. The region actually taken is the requested size
// times MEM_HEAP_SCALE (see mem.cpp).
void mem_HeapSizesSet(uint32_t mainSize, uint32_t heap2Size, uint32_t heap1Size);
// Native records are larger than the 32-bit ones the sizes were chosen for.
constexpr uint32_t MEM_HEAP_SCALE = 2;

// Making the heaps: 0, or -1 when the region cannot be taken.
int32_t mem_HeapInit(void);   // the current heap (the main heap at start-up)
int32_t mem_Heap2Init(void);  // alternate heap 2
int32_t mem_Heap1Init(void);  // alternate heap 1

// Core operations on the current heap. Alignment is a power of two (callers
// use 4); blocks are always aligned to at least 16 bytes so that native
// records with pointers and doubles may live in them. Null when full.
void* mem_AllocEx(uint32_t size, uint32_t alignment, const char* tag);
void* mem_Alloc(uint32_t size, uint32_t alignment);
// As mem_AllocEx, then stores id when it is below MEM_ID_FIRST.
void* mem_AllocWithId(uint32_t size, uint32_t alignment, const char* tag, uint32_t id);
// 0, or -1 when data is not a block of the current heap (nothing changes).
// Runs and then drops the free callbacks registered for data.
int32_t mem_Free(void* data);
// Resizes a block keeping its tag, id and contents (at most the smaller size
// is kept). Returns the new data pointer; on failure returns null and the old
// block stays as it was.
void* mem_Realloc(void* data, uint32_t newSize, uint32_t alignment);
// Frees data's block and every block with a larger id; returns the count, or
// -1 when data is not a block of the current heap.
int32_t mem_FreeFrom(void* data);
// Frees every block whose id lies in [low, high]; returns the count.
int32_t mem_FreeIdRange(uint32_t low, uint32_t high);
// mem_FreeIdRange(id of a, id of b); -1 when either is not a block.
int32_t mem_FreeBetween(void* a, void* b);
// Stores id when it is below MEM_ID_FIRST (and data is a block); returns id.
uint32_t mem_IdSet(void* data, uint32_t id);
void mem_TagSet(void* data, const char* tag);

// Alternate-heap forms: switch to the alternate heap for the call, then back
// to the main heap. The allocating forms use alignment 4 and return null when
// that heap was never made.
void* mem_AllocInHeap1(uint32_t size, const char* tag);
void* mem_AllocInHeap1Untagged(uint32_t size);
int32_t mem_FreeInHeap1(void* data);
void* mem_AllocInHeap2(uint32_t size);
int32_t mem_FreeInHeap2(void* data);
// Drops every block of alternate heap 2 at once; no callbacks run, and its
// registered callbacks are forgotten.
void mem_Heap2Reset(void);

// Free callbacks of the current heap: routine(data) runs once when the block
// at data is freed. Returns the entry, or null when all entries are taken.
MemFreeCallback* mem_FreeCallbackAdd(void* data, MemFreeRoutine routine);
// Forgets every entry of the current heap for data; returns how many.
int32_t mem_FreeCallbackRemove(void* data);

// Block report of the current heap; 0, or -1 when a corrupt link stopped the
// walk (or the stream is null).
int32_t module_CheckMem(FILE* stream);
// Writes the report to a file ("MEMSTATS.TXT" from the model loader); -1 and a
// message box when the file cannot be opened.
int32_t mem_DumpStatsToFile(const char* path);

// Named global blocks.
struct MemGlobalHeader {
    void* handle;            // the system allocation (the header itself)
    uint32_t size;           // data size
    uint32_t serial;         // from the serial counter
    char* name;              // copy of the name, directly behind the data
    uint32_t ownerKey;       // 0 when made
    MemGlobalHeader* prev;
    MemGlobalHeader* next;
};

struct MemGlobalState {
    MemGlobalHeader* first;
    MemGlobalHeader* last;
    uint32_t count;          // blocks now
    uint64_t total;          // data bytes now
    uint32_t serial;         // raised for every block made
    uint32_t ownerKey;       // last owner key handed out
};

// Read-only view for reports (the crash dump lists every block).
const MemGlobalState* mem_GlobalStateGet(void);
// The header of a named block's data, or null when data is not one.
const MemGlobalHeader* mem_GlobalHeaderOf(const void* data);

// Zero-filled data, or null for size <= 0 or when the memory cannot be had.
void* mem_GlobalAllocNamed(const char* name, int32_t size);
// Fills the data with 0xDD, unlinks and releases the block. Nothing for null;
// -1 (nothing done) when data is not a named block.
int32_t mem_GlobalFreeNamed(void* data);
uint32_t mem_GlobalOwnerKeyNew(void);
// Returns data, or null when data is not a named block.
void* mem_GlobalOwnerSet(void* data, uint32_t key);
// Frees every block with this owner key; returns the count.
int32_t mem_GlobalFreeByOwner(uint32_t key);
// Sees each named block's data (after the 0xDD fill) just before it is
// released; null to stop. For checks and tools.
typedef void (*MemGlobalReleaseWatch)(const void* data, uint32_t size);
void mem_GlobalReleaseWatchSet(MemGlobalReleaseWatch watch);

// Byte routines. Nothing happens for a null pointer or a length <= 0.
int32_t mem_Zero(void* buffer, int32_t length);           // returns 0
void mem_Fill(void* buffer, uint8_t byte, int32_t length);
void mem_Copy(void* destination, const void* source, int32_t length);  // overlap safe
// 0 equal, -1 when a's first differing byte is smaller, 1 when larger;
// a null a gives 1, a null b gives -1.
int32_t mem_Compare(const void* a, const void* b, int32_t length);
void mem_CopyBytes(void* destination, const void* source, int32_t count);
