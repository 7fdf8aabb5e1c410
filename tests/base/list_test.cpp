// Pooled lists and sort arrays.
#include "base/list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "base/mem.h"
#include "fixtures/heaps.h"

namespace {

struct Record {
    ListNode node;
    int32_t payload;
};

class List : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(test_HeapsFresh(0x10000, 0x1000, 0x1000), 0);
    }
    ListPool pool = {};
};

TEST_F(List, PoolOfOneNode) {
    ASSERT_EQ(list_PoolCreate(sizeof(Record), 1, &pool), 0);
    ListNode* n = list_PoolTake(&pool);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->serial, 1u);
    EXPECT_EQ(n->owner, &pool);
    EXPECT_EQ(list_PoolTake(&pool), nullptr);
    list_PoolGiveBack(&pool, n);
    EXPECT_EQ(n->serial, 1u);   // kept until the next take
    EXPECT_EQ(list_PoolTake(&pool), n);
    EXPECT_EQ(n->serial, 3u);
}

TEST_F(List, PoolChainsNodesInAddressOrderWithOddSerials) {
    ASSERT_EQ(list_PoolCreate(sizeof(Record), 4, &pool), 0);
    ASSERT_NE(pool.block, nullptr);
    EXPECT_EQ(pool.nodeCount, 4u);
    EXPECT_EQ(pool.nodeSize, sizeof(Record));
    EXPECT_EQ(pool.freeTail, (ListNode*)((char*)pool.block + 3 * sizeof(Record)));
    const MemBlock* hdr = (const MemBlock*)((const char*)pool.block - MEM_BLOCK_HEADER);
    EXPECT_STREQ(hdr->tag, "DLL List");
    for (uint32_t i = 0; i < 4; i++) {
        Record* r = (Record*)list_PoolTake(&pool);
        ASSERT_EQ((char*)r, (char*)pool.block + i * sizeof(Record));
        EXPECT_EQ(r->node.serial, 2 * i + 1);
        EXPECT_EQ(r->payload, 0);   // zero-filled
    }
    EXPECT_EQ(list_PoolTake(&pool), nullptr);
}

TEST_F(List, PresetCounterGivesCounterOrOne) {
    ASSERT_EQ(list_PoolCreate(sizeof(Record), 3, &pool), 0);
    pool.serial = 10;
    EXPECT_EQ(list_PoolTake(&pool)->serial, 11u);
    EXPECT_EQ(list_PoolTake(&pool)->serial, 13u);
    pool.serial = 0xFFFFFFFFu;   // wraps without trouble
    EXPECT_EQ(list_PoolTake(&pool)->serial, 0xFFFFFFFFu);
    EXPECT_EQ(pool.serial, 0u);
}

TEST_F(List, PoolCreateRejectsBadSizes) {
    EXPECT_EQ(list_PoolCreate(8, 4, &pool), -1);                     // smaller than a node
    EXPECT_EQ(list_PoolCreate(sizeof(ListNode) + 4, 4, &pool), -1);  // misaligned nodes
    EXPECT_EQ(list_PoolCreate(0x10000, 0x10000, &pool), -1);         // over 32 bits
    EXPECT_EQ(list_PoolCreate(sizeof(Record), 100000, &pool), -1);   // heap full
    EXPECT_EQ(pool.block, nullptr);
    EXPECT_EQ(list_PoolTake(&pool), nullptr);
    ASSERT_EQ(list_PoolCreate(sizeof(Record), 0, &pool), 0);
    EXPECT_EQ(list_PoolTake(&pool), nullptr);
}

TEST_F(List, LinkingAndUnlinking) {
    ASSERT_EQ(list_PoolCreate(sizeof(Record), 4, &pool), 0);
    ListNode* n[4];
    for (auto& p : n) p = list_PoolTake(&pool);
    ListNode* list = nullptr;
    EXPECT_EQ(list_Count(&list), 0);
    list_Append(&list, n[1]);
    EXPECT_EQ(list, n[1]);
    EXPECT_EQ(n[1]->prev, nullptr);
    EXPECT_EQ(n[1]->next, nullptr);
    list_Append(&list, n[2]);
    list_PushFront(&list, n[0]);
    list_Append(&list, n[3]);
    // 0 1 2 3
    EXPECT_EQ(list_Count(&list), 4);
    EXPECT_EQ(list_CountFrom(n[2]), 2);
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(n[i]->prev, i ? n[i - 1] : nullptr);
        EXPECT_EQ(n[i]->next, i < 3 ? n[i + 1] : nullptr);
    }
    list_Remove(&list, n[2]);   // middle
    EXPECT_EQ(n[1]->next, n[3]);
    EXPECT_EQ(n[3]->prev, n[1]);
    list_Remove(&list, n[0]);   // first
    EXPECT_EQ(list, n[1]);
    EXPECT_EQ(n[1]->prev, nullptr);
    list_Remove(&list, n[3]);   // last
    EXPECT_EQ(n[1]->next, nullptr);
    list_Remove(&list, n[1]);   // only
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(list_Count(&list), 0);
}

class SortArrays : public ::testing::Test {
protected:
    void Fill(ListSortPair* a, int32_t* count, const std::vector<int32_t>& values) {
        *count = (int32_t)values.size();
        for (size_t i = 0; i < values.size(); i++) a[i] = {(int32_t)(100 + i), values[i]};
    }
};

TEST_F(SortArrays, SmallCases) {
    Fill(list_SortArrayA, &list_SortCountA, {5, 9, 1});
    list_SortDescA();
    EXPECT_EQ(list_SortArrayA[0].value, 9);
    EXPECT_EQ(list_SortArrayA[0].key, 101);
    EXPECT_EQ(list_SortArrayA[1].value, 5);
    EXPECT_EQ(list_SortArrayA[1].key, 100);
    EXPECT_EQ(list_SortArrayA[2].value, 1);
    EXPECT_EQ(list_SortArrayA[2].key, 102);

    Fill(list_SortArrayB, &list_SortCountB, {1, 2});
    list_SortDescB();
    EXPECT_EQ(list_SortArrayB[0].value, 2);
    EXPECT_EQ(list_SortArrayB[0].key, 101);

    Fill(list_SortArrayC, &list_SortCountC, {2, 1});
    list_SortAscC();
    EXPECT_EQ(list_SortArrayC[0].value, 1);
    EXPECT_EQ(list_SortArrayC[0].key, 101);

    // Nothing to do for 0 or 1 pairs, nor for a negative count.
    Fill(list_SortArrayC, &list_SortCountC, {3, 7});
    for (int32_t count : {0, 1, -5}) {
        list_SortCountC = count;
        list_SortDescC();
        EXPECT_EQ(list_SortArrayC[0].value, 3);
        EXPECT_EQ(list_SortArrayC[1].value, 7);
    }
}

TEST_F(SortArrays, FullArraysSortEitherWayKeepingEveryPair) {
    std::mt19937 rng(3);
    std::vector<int32_t> values(LIST_SORT_PAIRS);
    for (auto& v : values) v = (int32_t)(rng() % 500) - 250;   // plenty of equal values
    Fill(list_SortArrayC, &list_SortCountC, values);
    std::vector<std::pair<int32_t, int32_t>> before;
    for (int i = 0; i < LIST_SORT_PAIRS; i++)
        before.push_back({list_SortArrayC[i].key, list_SortArrayC[i].value});
    list_SortDescC();
    for (int i = 1; i < LIST_SORT_PAIRS; i++)
        ASSERT_GE(list_SortArrayC[i - 1].value, list_SortArrayC[i].value) << i;
    list_SortAscC();
    std::vector<std::pair<int32_t, int32_t>> after;
    for (int i = 0; i < LIST_SORT_PAIRS; i++) {
        if (i) {
            ASSERT_LE(list_SortArrayC[i - 1].value, list_SortArrayC[i].value) << i;
        }
        after.push_back({list_SortArrayC[i].key, list_SortArrayC[i].value});
    }
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(before, after);
    // A count past the arrays' end sorts only what is there.
    list_SortCountC = LIST_SORT_PAIRS + 100;
    list_SortDescC();
    EXPECT_GE(list_SortArrayC[0].value, list_SortArrayC[LIST_SORT_PAIRS - 1].value);
}

}  // namespace
