// Draw-hook lists: one doubly linked list per kind, nodes as named global
// blocks so that they show in the block reports.
#include "display/hook.h"

#include "base/mem.h"

OtwHookList otw_HookLists[OTW_HOOK_KINDS];

_OTW_FUNCTION* otw_AddDrawHook(int32_t kind, OtwHookRoutine callback) {
    if (kind < 0 || kind >= OTW_HOOK_KINDS || !callback) return nullptr;
    auto* node = (_OTW_FUNCTION*)mem_GlobalAllocNamed("_OTW_FUNCTION", (int32_t)sizeof(_OTW_FUNCTION));
    if (!node) return nullptr;
    OtwHookList& list = otw_HookLists[kind];
    node->kind = kind;
    node->callback = callback;
    node->before = list.last;
    node->after = nullptr;
    if (list.last)
        list.last->after = node;
    else
        list.first = node;
    list.last = node;
    list.count++;
    return node;
}

// A node of ours is a named block of the node's size linked into the list
// of its kind; anything else is left alone.
static bool IsHookNode(const _OTW_FUNCTION* node) {
    const MemGlobalHeader* h = mem_GlobalHeaderOf(node);
    if (!h || h->size != sizeof(_OTW_FUNCTION)) return false;
    if (node->kind < 0 || node->kind >= OTW_HOOK_KINDS) return false;
    for (const _OTW_FUNCTION* n = otw_HookLists[node->kind].first; n; n = n->after)
        if (n == node) return true;
    return false;
}

void otw_RemoveDrawHook(_OTW_FUNCTION* node) {
    if (!node || !IsHookNode(node)) return;
    OtwHookList& list = otw_HookLists[node->kind];
    if (node->before)
        node->before->after = node->after;
    else
        list.first = node->after;
    if (node->after)
        node->after->before = node->before;
    else
        list.last = node->before;
    list.count--;
    mem_GlobalFreeNamed(node);
}

void otw_RunDrawHooks(int32_t kind) {
    if (kind < 0 || kind >= OTW_HOOK_KINDS) return;
    const OtwHookList& list = otw_HookLists[kind];
    // Present and unlock hooks run newest first so that they nest with the
    // hooks run before the same event.
    bool newestFirst = kind == OTW_HOOK_AFTER_PRESENT || kind == OTW_HOOK_BEFORE_UNLOCK;
    if (newestFirst) {
        for (const _OTW_FUNCTION* n = list.last; n; n = n->before)
            if (n->callback) n->callback();
    } else {
        for (const _OTW_FUNCTION* n = list.first; n; n = n->after)
            if (n->callback) n->callback();
    }
}
