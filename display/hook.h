// Draw hooks: callbacks other subsystems hang on the display's cycle (mode
// change, present, lock, unlock) without the display knowing them.
#pragma once
#include <cstdint>

typedef void (*OtwHookRoutine)(void);

// Hook kinds and where the display runs them.
enum : int32_t {
    OTW_HOOK_MODE_CHANGE = 0,    // end of every effective mode change, oldest first
    OTW_HOOK_BEFORE_PRESENT = 1, // before each present, oldest first
    OTW_HOOK_AFTER_PRESENT = 2,  // after each present, newest first
    OTW_HOOK_AFTER_LOCK = 3,     // after each successful lock, oldest first
    OTW_HOOK_BEFORE_UNLOCK = 4,  // during each unlock, newest first
    OTW_HOOK_KINDS = 5,
};

// One registered callback: a named global block tagged "_OTW_FUNCTION".
struct _OTW_FUNCTION {
    _OTW_FUNCTION* before;  // node added before it in its list (null: oldest)
    _OTW_FUNCTION* after;   // node added after it (null: newest)
    int32_t kind;
    OtwHookRoutine callback;
};

struct OtwHookList {
    _OTW_FUNCTION* first;  // oldest
    _OTW_FUNCTION* last;   // newest
    int32_t count;
};

extern OtwHookList otw_HookLists[OTW_HOOK_KINDS];

// Appends a hook at the newest end of its kind's list. Null when kind is
// outside 0..4, callback is null or no memory is left.
_OTW_FUNCTION* otw_AddDrawHook(int32_t kind, OtwHookRoutine callback);
// Unlinks and frees a node; null (or anything that is not a hook node) is
// ignored.
void otw_RemoveDrawHook(_OTW_FUNCTION* node);
// Runs the hooks of one kind in that kind's order (for the display manager).
// Callbacks must not change the list being run.
void otw_RunDrawHooks(int32_t kind);
