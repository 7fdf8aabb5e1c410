// Draw-hook lists: refusal, order of each kind, and unlinking.
#include <gtest/gtest.h>

#include <string>

#include "base/mem.h"
#include "display/hook.h"

namespace {

std::string g_trace;
void A() { g_trace += 'A'; }
void B() { g_trace += 'B'; }
void C() { g_trace += 'C'; }

class HookTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (auto& list : otw_HookLists)
            while (list.first) otw_RemoveDrawHook(list.first);
        g_trace.clear();
    }
};

TEST_F(HookTest, RefusesBadKindsAndNullCallbacksWithoutAllocating) {
    uint32_t blocks = mem_GlobalStateGet()->count;
    EXPECT_EQ(otw_AddDrawHook(-1, A), nullptr);
    EXPECT_EQ(otw_AddDrawHook(5, A), nullptr);
    EXPECT_EQ(otw_AddDrawHook(0, nullptr), nullptr);
    EXPECT_EQ(mem_GlobalStateGet()->count, blocks);
}

TEST_F(HookTest, EachKindRunsInItsOrder) {
    // Before-events run oldest first, after-events newest first, so that the
    // pairs nest.
    const char* expected[OTW_HOOK_KINDS] = {"ABC", "ABC", "CBA", "ABC", "CBA"};
    for (int32_t kind = 0; kind < OTW_HOOK_KINDS; kind++) {
        ASSERT_NE(otw_AddDrawHook(kind, A), nullptr);
        ASSERT_NE(otw_AddDrawHook(kind, B), nullptr);
        ASSERT_NE(otw_AddDrawHook(kind, C), nullptr);
    }
    for (int32_t kind = 0; kind < OTW_HOOK_KINDS; kind++) {
        g_trace.clear();
        otw_RunDrawHooks(kind);
        EXPECT_EQ(g_trace, expected[kind]) << "kind " << kind;
        EXPECT_EQ(otw_HookLists[kind].count, 3);
    }
    const _OTW_FUNCTION* node = otw_HookLists[2].first;
    ASSERT_NE(mem_GlobalHeaderOf(node), nullptr);
    EXPECT_STREQ(mem_GlobalHeaderOf(node)->name, "_OTW_FUNCTION");
}

TEST_F(HookTest, RemovalFixesEndsAndCounts) {
    _OTW_FUNCTION* a = otw_AddDrawHook(1, A);
    _OTW_FUNCTION* b = otw_AddDrawHook(1, B);
    _OTW_FUNCTION* c = otw_AddDrawHook(1, C);
    otw_RemoveDrawHook(b);  // middle
    g_trace.clear();
    otw_RunDrawHooks(1);
    EXPECT_EQ(g_trace, "AC");
    EXPECT_EQ(a->after, c);
    EXPECT_EQ(c->before, a);
    otw_RemoveDrawHook(c);  // newest
    EXPECT_EQ(otw_HookLists[1].last, a);
    EXPECT_EQ(a->after, nullptr);
    uint32_t blocks = mem_GlobalStateGet()->count;
    otw_RemoveDrawHook(a);  // the only one left
    EXPECT_EQ(otw_HookLists[1].first, nullptr);
    EXPECT_EQ(otw_HookLists[1].last, nullptr);
    EXPECT_EQ(otw_HookLists[1].count, 0);
    EXPECT_EQ(mem_GlobalStateGet()->count, blocks - 1);
    // Null, a node removed already and memory that is no node are ignored.
    otw_RemoveDrawHook(nullptr);
    otw_RemoveDrawHook(a);
    _OTW_FUNCTION fake{nullptr, nullptr, 1, A};
    otw_RemoveDrawHook(&fake);
    EXPECT_EQ(otw_HookLists[1].count, 0);
}

}  // namespace
