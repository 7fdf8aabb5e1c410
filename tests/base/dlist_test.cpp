// Intrusive doubly linked lists: every operation leaves both directions,
// both ends and the count agreeing.
#include "base/dlist.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

struct Node {
    int id;
    Node* prev;
    Node* next;
    Node* otherPrev;  // a second chain through the same nodes
    Node* otherNext;
};

struct List {
    Node* head;
    Node* tail;
    int32_t count;
};

// The ids head to tail, checked against the walk from the tail.
std::vector<int> Ids(const List& l) {
    std::vector<int> fwd, back;
    for (Node* n = l.head; n; n = n->next) fwd.push_back(n->id);
    for (Node* n = l.tail; n; n = n->prev) back.insert(back.begin(), n->id);
    EXPECT_EQ(fwd, back);
    EXPECT_EQ((int32_t)fwd.size(), l.count);
    if (l.head) {
        EXPECT_EQ(l.head->prev, nullptr);
    }
    if (l.tail) {
        EXPECT_EQ(l.tail->next, nullptr);
    }
    return fwd;
}

TEST(Dlist, EveryOperationKeepsBothDirections) {
    Node n[5] = {};
    for (int i = 0; i < 5; i++) n[i].id = i;
    List l = {};
    dlist_AddTail(&l, &n[1]);
    EXPECT_EQ(Ids(l), (std::vector<int>{1}));
    dlist_AddHead(&l, &n[0]);
    dlist_AddTail(&l, &n[3]);
    EXPECT_EQ(Ids(l), (std::vector<int>{0, 1, 3}));
    dlist_InsertBefore(&l, &n[3], &n[2]);  // in the middle
    dlist_InsertBefore(&l, &n[0], &n[4]);  // before the head
    EXPECT_EQ(Ids(l), (std::vector<int>{4, 0, 1, 2, 3}));

    dlist_Unlink(&l, &n[2]);  // middle
    EXPECT_EQ(n[2].prev, nullptr);
    EXPECT_EQ(n[2].next, nullptr);
    dlist_Unlink(&l, &n[4]);  // head
    dlist_Unlink(&l, &n[3]);  // tail
    EXPECT_EQ(Ids(l), (std::vector<int>{0, 1}));
    dlist_Unlink(&l, &n[0]);
    dlist_Unlink(&l, &n[1]);  // the last one empties both ends
    EXPECT_EQ(Ids(l), std::vector<int>{});
    EXPECT_EQ(l.head, nullptr);
    EXPECT_EQ(l.tail, nullptr);

    // A node added at the head of an empty list is its tail too.
    dlist_AddHead(&l, &n[2]);
    EXPECT_EQ(l.tail, &n[2]);
    EXPECT_EQ(Ids(l), (std::vector<int>{2}));
}

TEST(Dlist, LooseEndsAndOtherLinksLeaveTheFirstChainAlone) {
    Node n[3] = {};
    for (int i = 0; i < 3; i++) n[i].id = i;
    List l = {};
    for (Node& x : n) dlist_AddTail(&l, &x);

    // The same nodes in reverse order on a second chain with no count.
    Node* head = nullptr;
    Node* tail = nullptr;
    for (Node& x : n) dlist_AddHead<Node, &Node::otherPrev, &Node::otherNext>(head, tail, &x);
    dlist_Unlink<Node, &Node::otherPrev, &Node::otherNext>(head, tail, &n[1]);
    EXPECT_EQ(head, &n[2]);
    EXPECT_EQ(tail, &n[0]);
    EXPECT_EQ(n[2].otherNext, &n[0]);
    EXPECT_EQ(n[0].otherPrev, &n[2]);
    EXPECT_EQ(Ids(l), (std::vector<int>{0, 1, 2}));

    // Loose ends with a count of another type.
    uint32_t count = 0;
    Node m[2] = {};
    Node* h = nullptr;
    Node* t = nullptr;
    dlist_AddTail(h, t, count, &m[0]);
    dlist_InsertBefore(h, t, count, &m[0], &m[1]);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(h, &m[1]);
    EXPECT_EQ(t, &m[0]);
    dlist_Unlink(h, t, count, &m[0]);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(h, &m[1]);
    EXPECT_EQ(t, &m[1]);
}

TEST(Dlist, SortKeepsEqualNodesInOrder) {
    // id / 10 is the key: 31 and 30 are equal and stay as they came.
    const int ids[] = {31, 12, 30, 5, 11, 40};
    Node n[6] = {};
    List l = {};
    for (int i = 0; i < 6; i++) {
        n[i].id = ids[i];
        dlist_AddTail(&l, &n[i]);
    }
    dlist_Sort(l.head, l.tail, [](const Node* a, const Node* b) { return a->id / 10 < b->id / 10; });
    EXPECT_EQ(Ids(l), (std::vector<int>{5, 12, 11, 31, 30, 40}));

    List empty = {};
    dlist_Sort(empty.head, empty.tail, [](const Node*, const Node*) { return true; });
    EXPECT_EQ(empty.head, nullptr);
    EXPECT_EQ(empty.tail, nullptr);
}

}  // namespace
