// Tagged heaps, named global blocks and byte routines.
#include "base/mem.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr uintptr_t HDR = MEM_BLOCK_HEADER;

uintptr_t A(const void* p) { return reinterpret_cast<uintptr_t>(p); }

// Blocks of the current heap, base block included, as (data, id).
std::vector<std::pair<uintptr_t, uint32_t>> Blocks() {
    std::vector<std::pair<uintptr_t, uint32_t>> out;
    for (const MemBlock* b = mem_CurrentHeap->first; b; b = b->next) out.push_back({A(b) + HDR, b->id});
    return out;
}

size_t BlockCount() { return Blocks().size(); }

std::string Report() {
    char* buf = nullptr;
    size_t len = 0;
    FILE* f = open_memstream(&buf, &len);
    module_CheckMem(f);
    std::fclose(f);
    std::string s(buf, len);
    std::free(buf);
    return s;
}

// Small heaps so that "full" is reached quickly; every test starts fresh.
class Mem : public ::testing::Test {
protected:
    void SetUp() override {
        mem_CurrentHeap = &mem_MainHeap;
        mem_HeapSizesSet(0x8000, 0x2000, 0x4000);
        ASSERT_EQ(mem_HeapInit(), 0);
        ASSERT_EQ(mem_Heap2Init(), 0);
        ASSERT_EQ(mem_Heap1Init(), 0);
        ASSERT_EQ(mem_CurrentHeap, &mem_MainHeap);
    }
    void TearDown() override { mem_CurrentHeap = &mem_MainHeap; }
};

TEST_F(Mem, FreshHeapHasBaseBlockAndPlacesFirstBlockBehindIt) {
    EXPECT_EQ(mem_MainHeap.size, 0x8000u * MEM_HEAP_SCALE);
    EXPECT_EQ(mem_AltHeap2.size, 0x2000u * MEM_HEAP_SCALE);
    EXPECT_EQ(mem_AltHeap1.size, 0x4000u * MEM_HEAP_SCALE);
    const MemBlock* base = mem_MainHeap.first;
    ASSERT_EQ(A(base), A(mem_MainHeap.base));
    EXPECT_EQ(base->size, 0u);
    EXPECT_EQ(base->id, MEM_ID_FIRST);
    EXPECT_STREQ(base->tag, "MemMgr Base");
    EXPECT_EQ(mem_MainHeap.nextId, MEM_ID_FIRST + 1);

    void* p = mem_AllocEx(10, 4, "first");
    ASSERT_NE(p, nullptr);
    // Directly behind the base block: its header, then ours, on a 16-byte
    // boundary.
    uintptr_t expect = (A(mem_MainHeap.base) + 2 * HDR + 15) & ~uintptr_t(15);
    EXPECT_EQ(A(p), expect);
    const MemBlock* h = static_cast<const MemBlock*>(p) - 1;
    EXPECT_EQ(h->size, 10u);
    EXPECT_EQ(h->id, MEM_ID_FIRST + 1);
    EXPECT_STREQ(h->tag, "first");
    void* q = mem_Alloc(1, 4);
    EXPECT_EQ((static_cast<const MemBlock*>(q) - 1)->id, MEM_ID_FIRST + 2);
    EXPECT_EQ((static_cast<const MemBlock*>(q) - 1)->tag, nullptr);
}

TEST_F(Mem, FirstFitReusesHoleAndLargerRequestGoesToEnd) {
    void* a = mem_Alloc(100, 4);
    void* b = mem_Alloc(100, 4);
    void* c = mem_Alloc(100, 4);
    ASSERT_TRUE(a && b && c);
    ASSERT_LT(A(a), A(b));
    ASSERT_LT(A(b), A(c));
    ASSERT_EQ(mem_Free(b), 0);
    EXPECT_EQ(mem_Alloc(100, 4), b);
    ASSERT_EQ(mem_Free(b), 0);
    void* big = mem_Alloc(200, 4);
    EXPECT_GT(A(big), A(c));
    // The hole is still the first fit for something small.
    EXPECT_EQ(mem_Alloc(8, 4), b);
}

TEST_F(Mem, BlockMayEndExactlyAtNextHeader) {
    void* a = mem_Alloc(40, 4);
    void* b = mem_Alloc(40, 4);
    void* c = mem_Alloc(40, 4);
    ASSERT_TRUE(a && b && c);
    ASSERT_EQ(mem_Free(b), 0);
    uint32_t gap = static_cast<uint32_t>(A(c) - HDR - A(b));
    void* tooBig = mem_Alloc(gap + 1, 4);
    EXPECT_GT(A(tooBig), A(c));
    void* exact = mem_Alloc(gap, 4);
    EXPECT_EQ(exact, b);
    EXPECT_EQ(module_CheckMem(stderr), 0);
}

// Under a random mix of placing, freeing, resizing and group frees, every
// placed block is the first fit: no gap in front of it could have held it.
TEST_F(Mem, RandomWorkloadAlwaysPlacesFirstFit) {
    uint32_t x = 2463534242u;
    auto rnd = [&x] {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return x;
    };
    auto checkFirstFit = [](void* p, uint32_t size, uint32_t align) {
        uintptr_t a = align < 16 ? 16 : align;
        for (const MemBlock* b = mem_MainHeap.first; b->next; b = b->next) {
            if (A(b->next) + HDR == A(p)) return true;  // reached its place
            uintptr_t cand = (A(b) + HDR + b->size + HDR + a - 1) & ~(a - 1);
            if (cand + size <= A(b->next)) return false;
        }
        return false;
    };
    std::vector<void*> live(64, nullptr);
    for (int step = 0; step < 20000; step++) {
        uint32_t r = rnd();
        void*& slot = live[r % live.size()];
        uint32_t size = (r >> 8) % 4 == 0 ? 0 : 1 + (r >> 10) % 2000;  // now and then the heap is full
        uint32_t align = 1u << ((r >> 20) % 8);
        if ((r >> 28) == 0 && slot) {
            void* anchor = slot;
            uint32_t id = (static_cast<MemBlock*>(anchor) - 1)->id;
            for (void*& q : live)
                if (q && (static_cast<MemBlock*>(q) - 1)->id >= id) q = nullptr;
            ASSERT_GE(mem_FreeFrom(anchor), 1);
        } else if (slot && (r >> 27) % 2 == 0) {
            void* n = mem_Realloc(slot, size, align);
            if (n) {
                ASSERT_TRUE(checkFirstFit(n, size, align)) << step;
                slot = n;
            }
        } else if (slot) {
            ASSERT_EQ(mem_Free(slot), 0);
            slot = nullptr;
        } else {
            slot = mem_Alloc(size, align);
            if (slot) {
                ASSERT_TRUE(checkFirstFit(slot, size, align)) << step;
            }
        }
    }
    FILE* devnull = std::fopen("/dev/null", "w");
    EXPECT_EQ(module_CheckMem(devnull), 0);
    std::fclose(devnull);
}

TEST_F(Mem, AlignmentIsHonouredAndBadAlignmentFails) {
    for (uint32_t align : {0u, 1u, 4u, 8u, 16u, 64u, 256u, 4096u}) {
        SCOPED_TRACE(align);
        mem_Alloc(3, 4);  // knock the next candidate off any boundary
        void* p = mem_Alloc(24, align);
        ASSERT_NE(p, nullptr);
        uintptr_t need = align < 16 ? 16 : align;
        EXPECT_EQ(A(p) % need, 0u);
    }
    for (uint32_t align : {3u, 12u, 100u, 0x80000001u}) EXPECT_EQ(mem_Alloc(8, align), nullptr) << align;
    // No block overlaps another.
    for (const MemBlock* b = mem_MainHeap.first; b->next; b = b->next)
        EXPECT_LE(A(b) + HDR + b->size, A(b->next));
}

TEST_F(Mem, FullHeapGivesNullAndChangesNothing) {
    std::vector<void*> got;
    while (void* p = mem_Alloc(1000, 4)) got.push_back(p);
    ASSERT_GT(got.size(), 10u);
    // The last block stays inside the region.
    const MemBlock* last = static_cast<const MemBlock*>(got.back()) - 1;
    EXPECT_LE(A(got.back()) + last->size, A(mem_MainHeap.base) + mem_MainHeap.size);
    size_t n = BlockCount();
    uint32_t id = mem_MainHeap.nextId;
    EXPECT_EQ(mem_AllocEx(0xFFFFFFFFu, 4, "huge"), nullptr);
    EXPECT_EQ(BlockCount(), n);
    EXPECT_EQ(mem_MainHeap.nextId, id);
    ASSERT_EQ(mem_Free(got[3]), 0);
    EXPECT_EQ(mem_Alloc(1000, 4), got[3]);
}

TEST_F(Mem, TagsAndIds) {
    void* a = mem_AllocEx(16, 4, "LOADED FILE");
    mem_TagSet(a, "PFF LOADED FILE");
    EXPECT_STREQ((static_cast<MemBlock*>(a) - 1)->tag, "PFF LOADED FILE");

    void* g = mem_AllocWithId(16, 4, "grp", 0x42);
    EXPECT_EQ((static_cast<MemBlock*>(g) - 1)->id, 0x42u);
    uint32_t seq = mem_MainHeap.nextId;
    void* s1 = mem_AllocWithId(16, 4, "seq", MEM_ID_FIRST);
    void* s2 = mem_AllocWithId(16, 4, "seq", 0xFFFFFFFFu);
    EXPECT_EQ((static_cast<MemBlock*>(s1) - 1)->id, seq);
    EXPECT_EQ((static_cast<MemBlock*>(s2) - 1)->id, seq + 1);

    EXPECT_EQ(mem_IdSet(a, 7), 7u);
    EXPECT_EQ((static_cast<MemBlock*>(a) - 1)->id, 7u);
    EXPECT_EQ(mem_IdSet(a, MEM_ID_FIRST + 5), MEM_ID_FIRST + 5);
    EXPECT_EQ((static_cast<MemBlock*>(a) - 1)->id, 7u);
    // Not a block: nothing is written.
    int local = 0;
    mem_IdSet(&local, 3);
    mem_TagSet(&local, "x");
    EXPECT_EQ(local, 0);
}

TEST_F(Mem, FreeRejectsAnythingThatIsNotABlock) {
    void* a = mem_Alloc(64, 4);
    void* b = mem_Alloc(64, 4);
    ASSERT_TRUE(a && b);
    auto before = Blocks();
    int local = 0;
    void* outside = std::malloc(32);
    void* heap1Block = mem_AllocInHeap1(16, "other heap");
    void* cases[] = {nullptr,
                     &local,
                     outside,
                     static_cast<char*>(a) + 4,
                     reinterpret_cast<char*>(mem_MainHeap.first) + HDR,  // the base block
                     mem_MainHeap.base,
                     mem_MainHeap.base + mem_MainHeap.size,
                     heap1Block};
    for (void* p : cases) EXPECT_EQ(mem_Free(p), -1) << p;
    EXPECT_EQ(Blocks(), before);
    std::free(outside);
    EXPECT_EQ(mem_Free(a), 0);
    EXPECT_EQ(mem_Free(a), -1);  // already freed
    EXPECT_EQ(mem_FreeFrom(&local), -1);
    EXPECT_EQ(mem_FreeFrom(nullptr), -1);
    EXPECT_EQ(mem_FreeBetween(b, &local), -1);
    EXPECT_EQ(mem_FreeBetween(nullptr, b), -1);
    EXPECT_EQ(Blocks().size(), before.size() - 1);
}

TEST_F(Mem, FreeFromFreesThatBlockAndEveryLaterOne) {
    void* anchor = mem_AllocEx(0, 4, "Server Anchor");
    void* grouped = mem_AllocWithId(32, 4, "group", 0x10);  // ids below the sequence stay
    void* x = mem_Alloc(32, 4);
    void* mark = mem_AllocEx(0, 4, "PLAYER MEM START");
    void* y = mem_Alloc(32, 4);
    void* z = mem_Alloc(32, 4);
    ASSERT_TRUE(anchor && grouped && x && mark && y && z);
    EXPECT_EQ(mem_FreeFrom(mark), 3);
    EXPECT_EQ(BlockCount(), 4u);
    // A block placed later into the freed space has a larger id and goes too.
    void* w = mem_Alloc(32, 4);
    EXPECT_EQ(w, mark);
    EXPECT_EQ(mem_FreeFrom(anchor), 3);  // anchor, x, w
    auto left = Blocks();
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[1].first, A(grouped));

    // From the first block after start-up: only the base block remains.
    mem_HeapInit();
    void* first = mem_Alloc(8, 4);
    for (int i = 0; i < 20; i++) mem_Alloc(8 + i, 4);
    EXPECT_EQ(mem_FreeFrom(first), 21);
    EXPECT_EQ(BlockCount(), 1u);
    EXPECT_EQ(mem_Alloc(8, 4), first);
}

TEST_F(Mem, FreeIdRangeAndFreeBetween) {
    void* g5 = mem_AllocWithId(8, 4, "g", 5);
    void* g6 = mem_AllocWithId(8, 4, "g", 6);
    void* g7 = mem_AllocWithId(8, 4, "g", 7);
    void* g8 = mem_AllocWithId(8, 4, "g", 8);
    EXPECT_EQ(mem_FreeIdRange(6, 7), 2);  // both bounds included
    auto ids = Blocks();
    ASSERT_EQ(ids.size(), 3u);
    EXPECT_EQ(ids[1].first, A(g5));
    EXPECT_EQ(ids[2].first, A(g8));
    (void)g6;
    (void)g7;
    EXPECT_EQ(mem_FreeIdRange(9, 100), 0);

    mem_HeapInit();
    void* before = mem_Alloc(8, 4);
    void* start = mem_AllocEx(0, 4, "PLAYER MEM START");
    void* m1 = mem_Alloc(8, 4);
    void* m2 = mem_Alloc(8, 4);
    void* end = mem_AllocEx(0, 4, "PLAYER MEM END");
    void* after = mem_Alloc(8, 4);
    (void)m1;
    (void)m2;
    EXPECT_EQ(mem_FreeBetween(start, end), 4);
    auto rest = Blocks();
    ASSERT_EQ(rest.size(), 3u);
    EXPECT_EQ(rest[1].first, A(before));
    EXPECT_EQ(rest[2].first, A(after));

    // The base block is never part of a range.
    EXPECT_EQ(mem_FreeIdRange(0, 0xFFFFFFFFu), 2);
    EXPECT_EQ(BlockCount(), 1u);
    EXPECT_NE(mem_Alloc(8, 4), nullptr);
}

// Free callbacks -----------------------------------------------------------

std::vector<std::pair<int, void*>> g_calls;
void CbOne(void* d) { g_calls.push_back({1, d}); }
void CbTwo(void* d) { g_calls.push_back({2, d}); }
void* g_victim;
void* g_placed;
void CbFreesAnother(void* d) {
    g_calls.push_back({3, d});
    mem_Free(g_victim);
    g_placed = mem_Alloc(64, 4);  // and uses the heap while the caller is still freeing
}

TEST_F(Mem, FreeCallbacksRunOnceAndNeverForAReusedAddress) {
    g_calls.clear();
    void* a = mem_AllocEx(32, 4, "mnu CON_DATA_PTR");
    ASSERT_NE(mem_FreeCallbackAdd(a, CbTwo), nullptr);
    ASSERT_NE(mem_FreeCallbackAdd(a, CbOne), nullptr);
    ASSERT_EQ(mem_Free(a), 0);
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[0], std::make_pair(2, a));  // table order
    EXPECT_EQ(g_calls[1], std::make_pair(1, a));

    g_calls.clear();
    void* again = mem_AllocEx(32, 4, "reuse");
    ASSERT_EQ(again, a);
    mem_Free(again);
    EXPECT_TRUE(g_calls.empty());

    // Removed before the free: nothing runs.
    void* b = mem_Alloc(32, 4);
    mem_FreeCallbackAdd(b, CbOne);
    EXPECT_EQ(mem_FreeCallbackRemove(b), 1);
    EXPECT_EQ(mem_FreeCallbackRemove(b), 0);
    mem_Free(b);
    EXPECT_TRUE(g_calls.empty());

    // A failed free runs nothing.
    int local;
    mem_FreeCallbackAdd(&local, CbOne);
    EXPECT_EQ(mem_Free(&local), -1);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(mem_FreeCallbackRemove(&local), 1);
}

TEST_F(Mem, FreeCallbacksOnGroupFreesMayUseTheHeap) {
    g_calls.clear();
    void* keep = mem_Alloc(32, 4);
    g_victim = keep;
    void* anchor = mem_AllocEx(0, 4, "anchor");
    void* a = mem_Alloc(32, 4);
    void* b = mem_Alloc(32, 4);
    mem_FreeCallbackAdd(b, CbOne);
    mem_FreeCallbackAdd(a, CbFreesAnother);
    EXPECT_EQ(mem_FreeFrom(anchor), 3);
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[0], std::make_pair(3, a));  // address order
    EXPECT_EQ(g_calls[1], std::make_pair(1, b));
    // Only the block placed by the callback is left.
    auto left = Blocks();
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[1].first, A(g_placed));
    EXPECT_EQ(module_CheckMem(stderr), 0);
}

TEST_F(Mem, FreeCallbackTableHolds2048) {
    std::vector<int> keys(MEM_FREE_CALLBACKS + 1);
    for (uint32_t i = 0; i < MEM_FREE_CALLBACKS; i++) ASSERT_NE(mem_FreeCallbackAdd(&keys[i], CbOne), nullptr);
    EXPECT_EQ(mem_FreeCallbackAdd(&keys[MEM_FREE_CALLBACKS], CbOne), nullptr);
    EXPECT_EQ(mem_FreeCallbackRemove(&keys[7]), 1);
    EXPECT_EQ(mem_FreeCallbackAdd(&keys[MEM_FREE_CALLBACKS], CbOne), &mem_MainHeap.mem_FreeCallbackTable[7]);
}

// Realloc ------------------------------------------------------------------

TEST_F(Mem, ReallocKeepsContentsTagAndId) {
    char* a = static_cast<char*>(mem_AllocWithId(8, 4, "GOAL DATA", 0x77));
    void* blocker = mem_Alloc(8, 4);
    std::memcpy(a, "ABCDEFGH", 8);
    char* b = static_cast<char*>(mem_Realloc(a, 16, 4));
    ASSERT_NE(b, nullptr);
    EXPECT_GT(A(b), A(blocker));
    EXPECT_EQ(std::memcmp(b, "ABCDEFGH", 8), 0);
    const MemBlock* h = reinterpret_cast<MemBlock*>(b) - 1;
    EXPECT_EQ(h->size, 16u);
    EXPECT_EQ(h->id, 0x77u);
    EXPECT_STREQ(h->tag, "GOAL DATA");
    EXPECT_EQ(mem_Free(a), -1);
    // Shrunk, it is placed first-fit again: back into the hole it left.
    char* c = static_cast<char*>(mem_Realloc(b, 4, 4));
    EXPECT_EQ(c, a);
    EXPECT_EQ(std::memcmp(c, "ABCD", 4), 0);
    EXPECT_EQ(mem_Realloc(nullptr, 16, 4), nullptr);
}

TEST_F(Mem, ReallocWhoseNewHeaderFallsInsideTheOldDataKeepsTheData) {
    // Arrange a last block whose data sits 16 bytes past a 64-byte boundary;
    // aligned to 64 it moves up by 48, so its new header lies inside the old
    // data.
    for (uint32_t pad = 0; pad < 64; pad += 16) {
        mem_HeapInit();
        mem_Alloc(pad, 4);
        uint8_t* o = static_cast<uint8_t*>(mem_Alloc(200, 16));
        if (A(o) % 64 != 16) continue;
        for (int i = 0; i < 200; i++) o[i] = static_cast<uint8_t>(i);
        uint8_t* n = static_cast<uint8_t*>(mem_Realloc(o, 200, 64));
        ASSERT_EQ(A(n), A(o) + 48);
        for (int i = 0; i < 200; i++) ASSERT_EQ(n[i], static_cast<uint8_t>(i)) << i;
        EXPECT_EQ(module_CheckMem(stderr), 0);
        return;
    }
    FAIL() << "no layout found";
}

TEST_F(Mem, FailedReallocKeepsTheOldBlock) {
    g_calls.clear();
    char* a = static_cast<char*>(mem_AllocEx(64, 4, "SQUADRON BUFFER"));
    std::memset(a, 0x5A, 64);
    mem_FreeCallbackAdd(a, CbOne);
    auto before = Blocks();
    uint32_t id = mem_MainHeap.nextId;
    EXPECT_EQ(mem_Realloc(a, mem_MainHeap.size, 4), nullptr);
    EXPECT_EQ(Blocks(), before);
    EXPECT_EQ(mem_MainHeap.nextId, id);
    EXPECT_TRUE(g_calls.empty());
    for (int i = 0; i < 64; i++) ASSERT_EQ(static_cast<uint8_t>(a[i]), 0x5A);
    EXPECT_STREQ((reinterpret_cast<MemBlock*>(a) - 1)->tag, "SQUADRON BUFFER");
    // Still an ordinary block; a later successful resize runs its callback.
    void* b = mem_Realloc(a, 128, 4);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].second, static_cast<void*>(a));
    EXPECT_EQ(mem_Free(b), 0);
}

// Alternate heaps ----------------------------------------------------------

bool InHeap(const MemHeap& h, const void* p) {
    return A(p) >= A(h.base) && A(p) < A(h.base) + h.size;
}

TEST_F(Mem, AlternateHeapFormsUseTheirHeapAndReturnToMain) {
    void* p1 = mem_AllocInHeap1(100, "config file buffer");
    void* p1u = mem_AllocInHeap1Untagged(10);
    void* p2 = mem_AllocInHeap2(100);
    EXPECT_EQ(mem_CurrentHeap, &mem_MainHeap);
    EXPECT_TRUE(InHeap(mem_AltHeap1, p1));
    EXPECT_TRUE(InHeap(mem_AltHeap1, p1u));
    EXPECT_TRUE(InHeap(mem_AltHeap2, p2));
    EXPECT_STREQ((static_cast<MemBlock*>(p1) - 1)->tag, "config file buffer");
    EXPECT_EQ((static_cast<MemBlock*>(p1u) - 1)->tag, nullptr);
    EXPECT_EQ(mem_Free(p1), -1);          // not the main heap's
    EXPECT_EQ(mem_FreeInHeap2(p1), -1);   // nor heap 2's
    EXPECT_EQ(mem_FreeInHeap1(p1), 0);
    EXPECT_EQ(mem_FreeInHeap2(p2), 0);
    EXPECT_EQ(mem_CurrentHeap, &mem_MainHeap);

    // A heap never made gives null.
    std::free(mem_AltHeap1.base);
    std::free(mem_AltHeap1.mem_FreeCallbackTable);
    mem_AltHeap1 = MemHeap{};
    EXPECT_EQ(mem_AllocInHeap1(8, "x"), nullptr);
    EXPECT_EQ(mem_FreeInHeap1(p1u), -1);
    EXPECT_EQ(mem_CurrentHeap, &mem_MainHeap);
}

TEST_F(Mem, Heap2ResetDropsEverythingAndForgetsItsCallbacks) {
    g_calls.clear();
    void* first = mem_AllocInHeap2(50);
    for (int i = 0; i < 10; i++) ASSERT_NE(mem_AllocInHeap2(200), nullptr);
    mem_CurrentHeap = &mem_AltHeap2;
    mem_FreeCallbackAdd(first, CbOne);
    mem_CurrentHeap = &mem_MainHeap;
    void* mainBlock = mem_Alloc(8, 4);

    mem_Heap2Reset();
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(mem_AltHeap2.first->next, nullptr);
    EXPECT_EQ(mem_CurrentHeap, &mem_MainHeap);
    void* again = mem_AllocInHeap2(50);
    EXPECT_EQ(again, first);
    EXPECT_EQ(mem_FreeInHeap2(again), 0);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(mem_Free(mainBlock), 0);  // the main heap is untouched
}

// Report -------------------------------------------------------------------

TEST_F(Mem, ReportListsBlocksAndTotals) {
    void* a = mem_AllocEx(0x20, 4, "_PAK_ENTRY");
    void* b = mem_Alloc(0x10, 4);
    (void)a;
    (void)b;
    std::string r = Report();
    EXPECT_NE(r.find("\"MemMgr Base\"\n"), std::string::npos);
    EXPECT_NE(r.find("size =      20, "), std::string::npos);
    EXPECT_NE(r.find("id = 1000001, \"_PAK_ENTRY\"\n"), std::string::npos);
    EXPECT_NE(r.find("id = 1000002\n"), std::string::npos);  // untagged
    EXPECT_NE(r.find("\nMax Pointers used = 3. Total Memory used = 48 bytes (0.00 megs)\n"), std::string::npos);
    // Waste: the gaps between each block's data end and the next header.
    int64_t waste = 0;
    for (const MemBlock* x = mem_MainHeap.first; x->next; x = x->next)
        waste += static_cast<int64_t>(A(x->next) - (A(x) + HDR + x->size));
    char line[80];
    std::snprintf(line, sizeof line, "Bytes Wasted = %d bytes (%.2fk)\n", static_cast<int>(waste), waste / 1024.0);
    EXPECT_NE(r.find(line), std::string::npos);
}

TEST_F(Mem, ReportStopsAtACorruptLinkAndFlagsOverlap) {
    void* a = mem_AllocEx(32, 4, "a");
    void* b = mem_AllocEx(32, 4, "b");
    MemBlock* ha = static_cast<MemBlock*>(a) - 1;
    MemBlock* saved = ha->next;
    for (uintptr_t bad : {uintptr_t(8), A(mem_MainHeap.base) + mem_MainHeap.size - 8, A(ha), A(saved) + 1}) {
        ha->next = reinterpret_cast<MemBlock*>(bad);
        std::string r = Report();
        EXPECT_NE(r.find(" **** Corrupt PTR"), std::string::npos) << std::hex << bad;
        EXPECT_NE(r.find("Max Pointers used = 0. Total Memory used = 0 bytes"), std::string::npos);
        EXPECT_EQ(r.find("\"a\""), std::string::npos);  // the bad block prints without its tag
    }
    ha->next = saved;

    // An overlapping neighbour is reported and the walk goes on.
    ha->size = 48;  // now ends past b's header
    testing::internal::CaptureStderr();
    std::string r = Report();
    std::string err = testing::internal::GetCapturedStderr();
    ha->size = 32;
    EXPECT_NE(err.find("Memory Overlap"), std::string::npos);
    EXPECT_NE(r.find("\"b\""), std::string::npos);
    (void)b;
}

TEST_F(Mem, DumpStatsToFile) {
    mem_AllocEx(16, 4, "LOADED FILE");
    char path[] = "/tmp/memstatsXXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    ASSERT_EQ(mem_DumpStatsToFile(path), 0);
    FILE* f = std::fopen(path, "r");
    ASSERT_NE(f, nullptr);
    std::string text;
    char buf[256];
    while (std::fgets(buf, sizeof buf, f)) text += buf;
    std::fclose(f);
    std::remove(path);
    EXPECT_EQ(text, Report());

    testing::internal::CaptureStderr();
    EXPECT_EQ(mem_DumpStatsToFile("/nonexistent-dir/MEMSTATS.TXT"), -1);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("mem_DumpStatsToFile"), std::string::npos);
    EXPECT_NE(err.find("Could not open file for writing"), std::string::npos);
}

// Named global blocks ------------------------------------------------------

std::vector<std::vector<uint8_t>> g_released;
void Watch(const void* data, uint32_t size) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    g_released.emplace_back(p, p + size);
}

class MemGlobal : public ::testing::Test {
protected:
    void SetUp() override {
        g_released.clear();
        mem_GlobalReleaseWatchSet(Watch);
    }
    void TearDown() override {
        mem_GlobalReleaseWatchSet(nullptr);
        while (mem_GlobalStateGet()->first) {
            const MemGlobalHeader* g = mem_GlobalStateGet()->first;
            mem_GlobalFreeNamed(reinterpret_cast<uint8_t*>(g->name) - g->size);
        }
    }
};

TEST_F(MemGlobal, AllocListsZeroFilledNamedBlocks) {
    const MemGlobalState* s = mem_GlobalStateGet();
    uint32_t serial = s->serial;
    EXPECT_EQ(mem_GlobalAllocNamed("x", 0), nullptr);
    EXPECT_EQ(mem_GlobalAllocNamed("x", -5), nullptr);
    uint8_t* a = static_cast<uint8_t*>(mem_GlobalAllocNamed("_DYMOD", 100));
    uint8_t* b = static_cast<uint8_t*>(mem_GlobalAllocNamed(nullptr, 7));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(A(a) % 16, 0u);
    for (int i = 0; i < 100; i++) ASSERT_EQ(a[i], 0);
    const MemGlobalHeader* ha = mem_GlobalHeaderOf(a);
    const MemGlobalHeader* hb = mem_GlobalHeaderOf(b);
    ASSERT_TRUE(ha && hb);
    EXPECT_STREQ(ha->name, "_DYMOD");
    EXPECT_EQ(A(ha->name), A(a) + 100);  // the name lies behind the data
    EXPECT_STREQ(hb->name, "");
    EXPECT_EQ(ha->serial, serial);
    EXPECT_EQ(hb->serial, serial + 1);
    EXPECT_EQ(ha->ownerKey, 0u);
    EXPECT_EQ(s->count, 2u);
    EXPECT_EQ(s->total, 107u);
    EXPECT_EQ(s->first, ha);
    EXPECT_EQ(s->last, hb);
    EXPECT_EQ(ha->next, hb);
    EXPECT_EQ(hb->prev, ha);
}

TEST_F(MemGlobal, FreeFillsWithDDAndRelinks) {
    void* a = mem_GlobalAllocNamed("a", 16);
    void* b = mem_GlobalAllocNamed("b", 33);
    void* c = mem_GlobalAllocNamed("c", 16);
    std::memset(b, 0x11, 33);
    ASSERT_EQ(mem_GlobalFreeNamed(b), 0);
    ASSERT_EQ(g_released.size(), 1u);
    EXPECT_EQ(g_released[0], std::vector<uint8_t>(33, 0xDD));
    const MemGlobalState* s = mem_GlobalStateGet();
    EXPECT_EQ(s->count, 2u);
    EXPECT_EQ(s->total, 32u);
    EXPECT_EQ(mem_GlobalHeaderOf(a)->next, mem_GlobalHeaderOf(c));
    EXPECT_EQ(mem_GlobalHeaderOf(c)->prev, mem_GlobalHeaderOf(a));
    // Not (or no longer) a named block: nothing happens.
    int local;
    EXPECT_EQ(mem_GlobalFreeNamed(b), -1);
    EXPECT_EQ(mem_GlobalFreeNamed(&local), -1);
    EXPECT_EQ(mem_GlobalFreeNamed(nullptr), 0);
    EXPECT_EQ(mem_GlobalOwnerSet(&local, 3), nullptr);
    EXPECT_EQ(s->count, 2u);
    mem_GlobalFreeNamed(c);
    mem_GlobalFreeNamed(a);
    EXPECT_EQ(s->first, nullptr);
    EXPECT_EQ(s->last, nullptr);
    EXPECT_EQ(s->total, 0u);
}

TEST_F(MemGlobal, FreeByOwnerTakesOnlyThatOwner) {
    uint32_t k1 = mem_GlobalOwnerKeyNew();
    uint32_t k2 = mem_GlobalOwnerKeyNew();
    EXPECT_EQ(k2, k1 + 1);
    void* a = mem_GlobalOwnerSet(mem_GlobalAllocNamed("a", 8), k1);
    void* b = mem_GlobalOwnerSet(mem_GlobalAllocNamed("b", 8), k2);
    void* c = mem_GlobalOwnerSet(mem_GlobalAllocNamed("c", 8), k1);
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(mem_GlobalHeaderOf(a)->ownerKey, k1);
    EXPECT_EQ(mem_GlobalFreeByOwner(k1), 2);
    EXPECT_EQ(mem_GlobalStateGet()->count, 1u);
    EXPECT_EQ(mem_GlobalStateGet()->first, mem_GlobalHeaderOf(b));
    EXPECT_EQ(mem_GlobalFreeByOwner(k1), 0);
}

// Byte routines ------------------------------------------------------------

TEST(MemBytes, Compare) {
    const uint8_t x[] = {1, 2, 3, 0x80};
    const uint8_t y[] = {1, 2, 4, 0x01};
    struct Case {
        const void* a;
        const void* b;
        int32_t len;
        int32_t want;
    } cases[] = {
        {x, y, 0, 0},       {x, y, 2, 0},  {x, y, 3, -1},  {y, x, 3, 1},  {x, x, 4, 0},
        {x + 3, y + 3, 1, 1},  // unsigned bytes: 0x80 > 0x01
        {nullptr, y, 4, 1}, {x, nullptr, 4, -1}, {nullptr, nullptr, 0, 1}, {x, y, -1, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(mem_Compare(c.a, c.b, c.len), c.want) << c.len;
}

TEST(MemBytes, ZeroFillCopy) {
    uint8_t buf[37];
    std::memset(buf, 7, sizeof buf);
    mem_Fill(buf + 1, 0xAB, 0);
    mem_Fill(buf + 1, 0xAB, -3);
    mem_Zero(buf + 1, -1);
    mem_Copy(buf + 1, nullptr, 5);
    mem_Copy(nullptr, buf, 5);
    mem_Fill(nullptr, 1, 5);
    EXPECT_EQ(mem_Zero(nullptr, 5), 0);
    for (uint8_t v : buf) ASSERT_EQ(v, 7);

    mem_Fill(buf + 1, 0xAB, 35);
    EXPECT_EQ(buf[0], 7);
    EXPECT_EQ(buf[1], 0xAB);
    EXPECT_EQ(buf[35], 0xAB);
    EXPECT_EQ(buf[36], 7);
    EXPECT_EQ(mem_Zero(buf + 3, 33), 0);
    EXPECT_EQ(buf[2], 0xAB);
    EXPECT_EQ(buf[3], 0);
    EXPECT_EQ(buf[35], 0);
    EXPECT_EQ(buf[36], 7);

    // Copies in either direction over an overlap.
    char s[] = "abcdefghij";
    mem_Copy(s + 2, s, 5);
    EXPECT_STREQ(s, "ababcdehij");
    char t[] = "abcdefghij";
    mem_CopyBytes(t, t + 3, 4);
    EXPECT_STREQ(t, "defgefghij");
    mem_CopyBytes(t, "zz", 0);
    EXPECT_EQ(t[0], 'd');
}

}  // namespace
