// The network message trace: the ring of the last packets and the names of
// message types.
#include "net/msgtrace.h"

#include <gtest/gtest.h>

#include <string>

#include "base/mem.h"

namespace {

std::string Name(int32_t type) {
    char out[64];
    net_MsgTypeName(type, out, sizeof out);
    return out;
}

TEST(MsgTrace, TypeNames) {
    EXPECT_EQ(Name(0x0000), "MSG_NULL");
    EXPECT_EQ(Name(0x0001), "MSG_CHAT");
    EXPECT_EQ(Name(0x0007), "MSG_PLAYERINFO");
    EXPECT_EQ(Name(0x1010), "MSG_RESPONSE");
    EXPECT_EQ(Name(0x2002), "MSG_MSGCONFIRM");
    EXPECT_EQ(Name(0xFFFF), "MSG_END");
    // Types without a name in the trace's table, the later client messages
    // among them.
    EXPECT_EQ(Name(0x1012), "<4114>");
    EXPECT_EQ(Name(0x1015), "<4117>");
    EXPECT_EQ(Name(0x0008), "<8>");
    EXPECT_EQ(Name(-5), "<-5>");
    // A short output is cut, a null one left alone.
    char small[4] = "zzz";
    net_MsgTypeName(1, small, sizeof small);
    EXPECT_STREQ(small, "MSG");
    net_MsgTypeName(1, nullptr, 10);
}

// 30 packets leave the 25 newest, sequences 5 to 29, newest at the head;
// old nodes are reused, not leaked.
TEST(MsgTrace, RingKeepsTheNewest) {
    net_MessageTrace = NetMessageTrace{};
    const uint32_t blocks = mem_GlobalStateGet()->count;
    for (int32_t i = 0; i < 30; i++) net_MsgTrace(i == 29 ? 0x1012 : 0x0003, 100 + i);
    const NetMessageTrace& t = net_MessageTrace;
    EXPECT_EQ(t.count, 25);
    EXPECT_EQ(t.sequence, 30u);
    ASSERT_NE(t.head, nullptr);
    EXPECT_EQ(t.head->sequence, 29u);
    EXPECT_STREQ(t.head->name, "<4114>");
    EXPECT_EQ(t.head->type, 0x1012);
    EXPECT_EQ(t.head->length, 129);
    EXPECT_EQ(t.tail->sequence, 5u);
    EXPECT_STREQ(t.tail->name, "MSG_PLAYERDATA");
    uint32_t expect = 29;
    int32_t n = 0;
    for (const _NETSTUFF_MESSAGE* m = t.head; m; m = m->next, n++, expect--) {
        EXPECT_EQ(m->sequence, expect);
        if (m->next) {
            EXPECT_EQ(m->next->prev, m);
        }
    }
    EXPECT_EQ(n, 25);
    EXPECT_EQ(mem_GlobalStateGet()->count - blocks, 25u);
    // Free the nodes: the named global blocks would otherwise outlive the test.
    for (_NETSTUFF_MESSAGE* m = t.head; m;) {
        _NETSTUFF_MESSAGE* next = m->next;
        mem_GlobalFreeNamed(m);
        m = next;
    }
    net_MessageTrace = NetMessageTrace{};
}

}  // namespace
