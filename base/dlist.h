// Intrusive doubly linked lists. Many modules chain their own records: the
// list keeps head, tail and usually a count, each node its prev and next.
// These templates do the linking once, so every chain updates its ends and
// its count the same way.
//
// Forms:
//   dlist_AddTail(list, node)            a list record with head/tail/count
//   dlist_AddTail(head, tail, node)      loose ends, no count
//   dlist_AddTail(head, tail, count, node)
// and the same for dlist_AddHead, dlist_Unlink and dlist_InsertBefore (which
// takes the node to insert before ahead of the new node). Nodes whose links
// have other names pass them as template arguments:
//   dlist_Unlink<Node, &Node::actionPrev, &Node::actionNext>(head, tail, count, node)
// A node is never checked for being on the list it is unlinked from: the
// caller knows that. Unlinking clears the node's prev and next.
#pragma once

template <typename Node, Node* Node::*Prev = &Node::prev, Node* Node::*Next = &Node::next>
void dlist_AddTail(Node*& head, Node*& tail, Node* node) {
    node->*Next = nullptr;
    node->*Prev = tail;
    if (tail)
        tail->*Next = node;
    else
        head = node;
    tail = node;
}

template <typename Node, Node* Node::*Prev = &Node::prev, Node* Node::*Next = &Node::next, typename Count>
void dlist_AddTail(Node*& head, Node*& tail, Count& count, Node* node) {
    dlist_AddTail<Node, Prev, Next>(head, tail, node);
    count++;
}

template <typename List, typename Node>
void dlist_AddTail(List* list, Node* node) {
    dlist_AddTail(list->head, list->tail, list->count, node);
}

// Adding at the head is adding at the tail of the list read backwards.
template <typename Node, Node* Node::*Prev = &Node::prev, Node* Node::*Next = &Node::next>
void dlist_AddHead(Node*& head, Node*& tail, Node* node) {
    dlist_AddTail<Node, Next, Prev>(tail, head, node);
}

template <typename Node, Node* Node::*Prev = &Node::prev, Node* Node::*Next = &Node::next, typename Count>
void dlist_AddHead(Node*& head, Node*& tail, Count& count, Node* node) {
    dlist_AddHead<Node, Prev, Next>(head, tail, node);
    count++;
}

template <typename List, typename Node>
void dlist_AddHead(List* list, Node* node) {
    dlist_AddHead(list->head, list->tail, list->count, node);
}

// `at` must be on the list; the new node goes just before it.
template <typename Node, Node* Node::*Prev = &Node::prev, Node* Node::*Next = &Node::next>
void dlist_InsertBefore(Node*& head, Node*& tail, Node* at, Node* node) {
    (void)tail;  // inserting before a node never changes the tail
    node->*Next = at;
    node->*Prev = at->*Prev;
    if (at->*Prev)
        (at->*Prev)->*Next = node;
    else
        head = node;
    at->*Prev = node;
}

template <typename Node, Node* Node::*Prev = &Node::prev, Node* Node::*Next = &Node::next, typename Count>
void dlist_InsertBefore(Node*& head, Node*& tail, Count& count, Node* at, Node* node) {
    dlist_InsertBefore<Node, Prev, Next>(head, tail, at, node);
    count++;
}

template <typename List, typename Node>
void dlist_InsertBefore(List* list, Node* at, Node* node) {
    dlist_InsertBefore(list->head, list->tail, list->count, at, node);
}

template <typename Node, Node* Node::*Prev = &Node::prev, Node* Node::*Next = &Node::next>
void dlist_Unlink(Node*& head, Node*& tail, Node* node) {
    Node* prev = node->*Prev;
    Node* next = node->*Next;
    if (prev)
        prev->*Next = next;
    else
        head = next;
    if (next)
        next->*Prev = prev;
    else
        tail = prev;
    node->*Prev = nullptr;
    node->*Next = nullptr;
}

template <typename Node, Node* Node::*Prev = &Node::prev, Node* Node::*Next = &Node::next, typename Count>
void dlist_Unlink(Node*& head, Node*& tail, Count& count, Node* node) {
    dlist_Unlink<Node, Prev, Next>(head, tail, node);
    count--;
}

template <typename List, typename Node>
void dlist_Unlink(List* list, Node* node) {
    dlist_Unlink(list->head, list->tail, list->count, node);
}

// Stable insertion sort: each node goes after the last sorted node that it
// is not before, so nodes that compare equal keep their order. `before(a, b)`
// is true when a must come ahead of b.
template <typename Node, Node* Node::*Prev = &Node::prev, Node* Node::*Next = &Node::next, typename Before>
void dlist_Sort(Node*& head, Node*& tail, Before before) {
    Node* sorted = nullptr;
    Node* sortedTail = nullptr;
    Node* n = head;
    while (n) {
        Node* next = n->*Next;
        Node* at = sortedTail;
        while (at && before(n, at)) at = at->*Prev;
        n->*Prev = at;
        n->*Next = at ? at->*Next : sorted;
        if (n->*Next)
            (n->*Next)->*Prev = n;
        else
            sortedTail = n;
        if (at)
            at->*Next = n;
        else
            sorted = n;
        n = next;
    }
    head = sorted;
    tail = sortedTail;
}
