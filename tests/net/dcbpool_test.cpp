// Object record pools: serials, network ids, taking, returning and the
// pending lists.
#include "net/dcbpool.h"

#include <gtest/gtest.h>

#include <set>

#include "base/mem.h"
#include "fixtures/heaps.h"
#include "net/client.h"

namespace {

class DcbPoolTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(test_HeapsFresh(0x40000, 0x1000, 0x1000), 0);
        savedSerial = net_DcbSerialCounter;
        savedNetwork = net_DcbNetworkCounter;
        savedHigh = Client_OwnPlayerHigh;
    }
    void TearDown() override {
        net_DcbSerialCounter = savedSerial;
        net_DcbNetworkCounter = savedNetwork;
        Client_OwnPlayerHigh = savedHigh;
    }
    uint32_t savedSerial = 0, savedNetwork = 0, savedHigh = 0;
    DcbPool pool = {};
};

TEST_F(DcbPoolTest, CreateChainsEveryRecord) {
    ASSERT_EQ(net_DcbPoolCreate(sizeof(_COMMON_DCB), 5, &pool, nullptr, "test pool"), 0);
    EXPECT_EQ(pool.group, &pool);  // its own group
    EXPECT_EQ(pool.count, 5u);
    EXPECT_EQ(pool.size, sizeof(_COMMON_DCB));
    EXPECT_EQ(pool.pendingAdd, nullptr);
    EXPECT_EQ(pool.pendingRemove, nullptr);
    const MemBlock* header = (const MemBlock*)((const uint8_t*)pool.memory - MEM_BLOCK_HEADER);
    EXPECT_STREQ(header->tag, "test pool");
    ObjectRecord* r = pool.freeHead;
    for (uint32_t i = 0; i < 5; i++, r = r->freeLink) {
        ASSERT_EQ((uint8_t*)r, (uint8_t*)pool.memory + i * sizeof(_COMMON_DCB));
        EXPECT_EQ(r->state, 1);
        EXPECT_EQ(r->pool, &pool);
        if (i == 4) {
            EXPECT_EQ(pool.last, r);
        }
    }
    EXPECT_EQ(r, nullptr);
    EXPECT_EQ(net_DcbPoolFreeCount(&pool), 5);
}

TEST_F(DcbPoolTest, RefusesRecordsThatCannotHoldTheHeader) {
    EXPECT_EQ(net_DcbPoolCreate(sizeof(ObjectRecord) - 8, 4, &pool, nullptr, "small"), -1);
    EXPECT_EQ(net_DcbPoolCreate(sizeof(ObjectRecord) + 4, 4, &pool, nullptr, "unaligned"), -1);
    EXPECT_EQ(net_DcbPoolCreate(sizeof(ObjectRecord), 0x10000000, &pool, nullptr, "huge"), -1);
    EXPECT_EQ(net_DcbPoolTake(&pool), nullptr);  // a pool that failed stays empty
}

TEST_F(DcbPoolTest, SerialsAreOddAndSharedByEveryPool) {
    net_DcbSerialCounter = 0;  // as at program start
    DcbPool other = {};
    ASSERT_EQ(net_DcbPoolCreate(sizeof(_STATIC_DCB), 4, &pool, nullptr, "a"), 0);
    ASSERT_EQ(net_DcbPoolCreate(sizeof(_STATIC_DCB), 4, &other, nullptr, "b"), 0);
    EXPECT_EQ(net_DcbPoolTake(&pool)->serial, 1u);
    EXPECT_EQ(net_DcbPoolTake(&other)->serial, 3u);
    EXPECT_EQ(net_DcbPoolTake(&pool)->serial, 5u);
    // A new flight makes new pools but keeps counting; an even counter gives
    // the next odd number.
    ASSERT_EQ(net_DcbPoolCreate(sizeof(_STATIC_DCB), 4, &pool, nullptr, "c"), 0);
    EXPECT_EQ(net_DcbPoolTake(&pool)->serial, 7u);
    net_DcbSerialCounter = 10;
    EXPECT_EQ(net_DcbPoolTake(&pool)->serial, 11u);
    EXPECT_EQ(net_DcbSerialCounter, 12u);
}

TEST_F(DcbPoolTest, NetworkIdsOfPlayerThreeStayInTheirRange) {
    ASSERT_EQ(net_DcbPoolCreate(sizeof(_CLIENT_DCB), 4, &pool, nullptr, "ids"), 0);
    Client_OwnPlayerHigh = 3u << 16;
    net_DcbNetworkCounter = 0x0001FFFD;  // left by player 1 in an earlier flight
    uint32_t ids[4];
    for (uint32_t& id : ids) {
        ObjectRecord* r = net_DcbPoolTakeNetId(&pool);
        ASSERT_NE(r, nullptr);
        id = r->netId;
        EXPECT_EQ(r->serial, 0u);  // no serial id
    }
    EXPECT_EQ(ids[0], 0x3FFFEu);
    EXPECT_EQ(ids[1], 0x3FFFFu);
    EXPECT_EQ(ids[2], 0x30000u);  // wraps inside the player's range
    EXPECT_EQ(ids[3], 0x30001u);
}

TEST_F(DcbPoolTest, LastRecordThenNothingUntilOneReturns) {
    ASSERT_EQ(net_DcbPoolCreate(sizeof(_PLAYER_DCB), 2, &pool, nullptr, "two"), 0);
    ObjectRecord* a = net_DcbPoolTake(&pool);
    ObjectRecord* b = net_DcbPoolTake(&pool);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b, pool.last);
    EXPECT_EQ(net_DcbPoolTake(&pool), nullptr);
    EXPECT_EQ(net_DcbPoolFreeCount(&pool), 0);
    net_DcbPoolReturn(a, &pool);
    EXPECT_EQ(net_DcbPoolTake(&pool), a);
}

// Records made by think routines join the list at the flush; marked ones
// leave it and go back to their pool once.
TEST_F(DcbPoolTest, PendingListsApplyAtTheFlush) {
    DcbPool common = {};
    ASSERT_EQ(net_DcbPoolCreate(sizeof(_PLAYER_DCB), 2, &pool, nullptr, "player"), 0);
    ASSERT_EQ(net_DcbPoolCreate(sizeof(_COMMON_DCB), 4, &common, &pool, "common"), 0);
    ObjectRecord* list = nullptr;
    ObjectRecord* plane = net_DcbPoolTake(&pool);
    ObjectRecord* missile = net_DcbPoolTake(&common);
    ObjectRecord* flare = net_DcbPoolTake(&common);
    Client_PoolLinkToOwner(plane);
    Client_PoolLinkToOwner(missile);
    Client_PoolLinkToOwner(flare);
    Client_PoolLinkToOwner(flare);  // asked twice, linked once
    EXPECT_EQ(list, nullptr);       // nothing changes before the flush
    net_DcbPoolFlushRemovals(&pool, &list);
    net_DcbPoolFlushAdditions(&pool, &list);
    EXPECT_EQ(net_ObjectListCount(list), 3);
    EXPECT_EQ(common.pendingAdd, nullptr);  // common records wait on the group's list

    // Marked twice in one frame: unlinked and freed once.
    Client_PoolLinkOnce(missile);
    Client_PoolLinkOnce(missile);
    EXPECT_EQ(net_ObjectListCount(list), 3);
    net_DcbPoolFlushRemovals(&pool, &list);
    net_DcbPoolFlushAdditions(&pool, &list);
    EXPECT_EQ(net_ObjectListCount(list), 2);
    EXPECT_EQ(net_DcbPoolFreeCount(&common), 3);
    std::set<ObjectRecord*> seen;
    for (ObjectRecord* r = common.freeHead; r; r = r->freeLink) EXPECT_TRUE(seen.insert(r).second);
    EXPECT_EQ(net_DcbPoolFreeCount(&pool), 1);  // it went back to its own pool, not the group's

    // Made and removed in the same frame: back in its pool, never on the list.
    ObjectRecord* bullet = net_DcbPoolTake(&common);
    Client_PoolLinkToOwner(bullet);
    Client_PoolLinkOnce(bullet);
    net_DcbPoolFlushRemovals(&pool, &list);
    net_DcbPoolFlushAdditions(&pool, &list);
    EXPECT_EQ(net_ObjectListCount(list), 2);
    EXPECT_EQ(net_DcbPoolFreeCount(&common), 3);
    for (ObjectRecord* r = list; r; r = r->next) EXPECT_NE(r, bullet);
    EXPECT_EQ(bullet->pending, 0);
}

TEST_F(DcbPoolTest, ListLinkAndUnlink) {
    ASSERT_EQ(net_DcbPoolCreate(sizeof(_COMMON_DCB), 4, &pool, nullptr, "list"), 0);
    ObjectRecord* r[4];
    for (ObjectRecord*& x : r) x = net_DcbPoolTake(&pool);
    ObjectRecord* list = nullptr;
    for (int i = 0; i < 3; i++) net_ObjectListLink(&list, r[i]);
    EXPECT_EQ(list, r[2]);  // at the head
    net_ObjectListLink(&list, r[1]);  // already linked: stays where it is
    EXPECT_EQ(net_ObjectListCount(list), 3);
    net_ObjectListUnlink(&list, r[1]);  // the middle
    EXPECT_EQ(list, r[2]);
    EXPECT_EQ(r[2]->next, r[0]);
    EXPECT_EQ(r[0]->prev, r[2]);
    net_ObjectListUnlink(&list, r[3]);  // never linked: nothing changes
    EXPECT_EQ(net_ObjectListCount(list), 2);
    net_ObjectListUnlink(&list, r[2]);  // the head
    EXPECT_EQ(list, r[0]);
    EXPECT_EQ(r[0]->prev, nullptr);
    net_ObjectListUnlink(&list, r[0]);
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(net_ObjectListCount(list), 0);
}

TEST_F(DcbPoolTest, FullHeapLeavesAnEmptyPool) {
    EXPECT_EQ(net_DcbPoolCreate(sizeof(_AI_DCB), 100000, &pool, nullptr, "too big"), -1);
    EXPECT_EQ(pool.memory, nullptr);
    EXPECT_EQ(net_DcbPoolTake(&pool), nullptr);
    EXPECT_EQ(net_DcbPoolTakeNetId(&pool), nullptr);
}

}  // namespace
