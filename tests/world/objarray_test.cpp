// Level object arrays: counts, groups and tags of both halves.
#include "world/objarray.h"

#include <gtest/gtest.h>

#include "base/mem.h"
#include "fixtures/heaps.h"
#include "world/gamemode.h"

namespace {

const char* TagOf(const DcbPool& pool) {
    if (!pool.memory) return nullptr;
    return ((const MemBlock*)((const uint8_t*)pool.memory - MEM_BLOCK_HEADER))->tag;
}

class ObjArrayTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(test_HeapsFresh(0x100000, 0x1000, 0x1000), 0);
        saved = level_GameMode;
    }
    void TearDown() override { level_GameMode = saved; }
    GameModeFlags saved = {};
};

void ExpectPool(const DcbPool& pool, uint32_t count, uint32_t size, const DcbPool* group, const char* tag) {
    SCOPED_TRACE(tag);
    EXPECT_EQ(pool.count, count);
    EXPECT_EQ(pool.size, size);
    EXPECT_EQ(pool.group, group);
    EXPECT_EQ(net_DcbPoolFreeCount(&pool), (int32_t)count);
    EXPECT_STREQ(TagOf(pool), tag);
}

TEST_F(ObjArrayTest, ServerArrays) {
    ASSERT_EQ(level_ServerArraysCreate(), 0);
    const LevelServerArrays& a = level_ServerArrays;
    ExpectPool(a.player, 16, sizeof(_PLAYER_DCB), &a.player, "_PLAYER_DCB [SERVER] array (16x306)");
    ExpectPool(a.ai, 500, sizeof(_AI_DCB), &a.player, "_AI_DCB [SERVER] array (500x338)");
    ExpectPool(a.common, 1000, sizeof(_COMMON_DCB), &a.player, "_COMMON_DCB [SERVER] array (1000x324)");
    ExpectPool(a.statics, 1000, sizeof(_STATIC_DCB), &a.player, "_STATIC_DCB [SERVER] array (1000x136)");
}

TEST_F(ObjArrayTest, ClientArraysOfTheirOwn) {
    level_GameMode = {};
    level_GameMode.display = 1;  // joining a remote game
    ASSERT_EQ(level_ClientArraysCreate(), 0);
    const LevelClientArrays& a = level_ClientArrays;
    ExpectPool(level_ClientObjectArray, 200, sizeof(_CLIENT_DCB), &a.player,
               "_CLIENT_DCB [CLIENT OBJECT] array (200x240)");
    ExpectPool(a.player, 2, sizeof(_PLAYER_DCB), &a.player, "_PLAYER_DCB [CLIENT AI] array (2x306)");
    ExpectPool(a.common, 700, sizeof(_COMMON_DCB), &a.player, "_COMMON_DCB [CLIENT] array (700x324)");
    ExpectPool(a.special, 8, sizeof(_COMMON_DCB), &a.player, "_COMMON_DCB [CLIENT SPECIAL] array (8x324)");
    ExpectPool(a.statics, 700, sizeof(_STATIC_DCB), &a.player, "_STATIC_DCB [CLIENT] array (700x136)");
    EXPECT_EQ(level_ClientStaticArray, &a.statics);
}

TEST_F(ObjArrayTest, SharedProcessClientUsesTheServerStatics) {
    level_GameMode = {1, 1, 1, 1, 0};  // single player
    ASSERT_EQ(level_ServerArraysCreate(), 0);
    ASSERT_EQ(level_ClientArraysCreate(), 0);
    EXPECT_EQ(level_ClientArrays.statics.memory, nullptr);
    EXPECT_EQ(level_ClientArrays.statics.count, 0u);
    EXPECT_EQ(level_ClientStaticArray, &level_ServerArrays.statics);
    EXPECT_EQ(level_ClientArrays.player.count, 2u);
    EXPECT_EQ(level_ServerArrays.player.count, 16u);
}

TEST_F(ObjArrayTest, HeapTooSmall) {
    mem_HeapSizesSet(0x10000, 0x1000, 0x1000);
    ASSERT_EQ(mem_HeapInit(), 0);
    EXPECT_EQ(level_ServerArraysCreate(), -1);
    EXPECT_EQ(net_DcbPoolTake(&level_ServerArrays.statics), nullptr);
}

}  // namespace
