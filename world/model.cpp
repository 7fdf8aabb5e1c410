// Dynamic model slots.
#include "world/model.h"

#include <strings.h>

#include <cstring>

#include "base/file.h"
#include "base/mem.h"
#include "net/server.h"
#include "shell/startup.h"
#include "world/level.h"

DymodList model_ServerDymods = {};
DymodList model_ClientDymods = {};

namespace {

_DYMOD* FindName(DymodList* list, const char* name) {
    for (_DYMOD* d = list->first; d; d = d->next)
        if (strncasecmp(d->name, name, MODEL_DYMOD_NAME_SIZE) == 0) return d;
    return nullptr;
}

_DYMOD* NodeAdd(DymodList* list, const char* name, int32_t slot) {
    auto* d = static_cast<_DYMOD*>(mem_GlobalAllocNamed("_DYMOD", sizeof(_DYMOD)));
    if (!d) return nullptr;
    d->list = list;
    size_t n = strnlen(name, MODEL_DYMOD_NAME_SIZE - 1);
    memcpy(d->name, name, n);
    d->name[n] = 0;
    d->slot = slot;
    d->refCount = 1;
    d->prev = list->last;
    d->next = nullptr;
    if (list->last) list->last->next = d;
    else list->first = d;
    list->last = d;
    list->count++;
    return d;
}

// 1 when the node went away.
int32_t NodeRelease(_DYMOD* d) {
    if (d->refCount >= 2) {
        d->refCount--;
        return 0;
    }
    DymodList* list = d->list;
    if (d->prev) d->prev->next = d->next;
    else list->first = d->next;
    if (d->next) d->next->prev = d->prev;
    else list->last = d->prev;
    list->count--;
    mem_GlobalFreeNamed(d);
    return 1;
}

}  // namespace

_DYMOD* model_DymodFind(DymodList* list, int32_t slot) {
    if (!list) return nullptr;
    for (_DYMOD* d = list->first; d; d = d->next)
        if (d->slot == slot) return d;
    return nullptr;
}

void model_DymodFreeAll(DymodList* list) {
    if (!list) return;
    while (list->first) {
        _DYMOD* d = list->first;
        d->refCount = 1;
        NodeRelease(d);
    }
}

int32_t model_NamedRefAcquire(const char* name) {
    // The name may come from a client: it must fit the node and be a plain
    // file name.
    if (!level_NameIsPlain(name, MODEL_DYMOD_NAME_SIZE)) return MODEL_DYMOD_NO_SLOT;
    DymodList* list = &model_ServerDymods;
    if (_DYMOD* d = FindName(list, name)) {
        d->refCount++;
        return d->slot;
    }
    if (list->count > MODEL_DYMOD_MAX_NODES) return MODEL_DYMOD_NO_SLOT;
    int32_t slot = MODEL_DYMOD_FIRST_SLOT;
    while (slot < MODEL_DYMOD_NO_SLOT && model_DymodFind(list, slot)) slot++;
    if (slot >= MODEL_DYMOD_NO_SLOT) return MODEL_DYMOD_NO_SLOT;
    _DYMOD* d = NodeAdd(list, name, slot);
    if (!d) return MODEL_DYMOD_NO_SLOT;
    Server_QueueDynamicModel(slot, d->name, 0);
    return slot;
}

void model_NamedRefRelease(int32_t slot) {
    _DYMOD* d = model_DymodFind(&model_ServerDymods, slot);
    if (!d) return;
    if (NodeRelease(d)) Server_QueueDynamicModel(slot, nullptr, 1);
}

void model_DymodLoad(int32_t slot, const char* name) {
    // Slot and name come from the network: the slot must be one of the
    // numbered slots and the name a plain file name ending inside its field.
    if (slot < 0 || slot >= LEVEL_NUMBERED_SLOTS || !level_NameIsPlain(name, MODEL_DYMOD_NAME_SIZE)) return;
    DymodList* list = &model_ClientDymods;
    if (_DYMOD* d = model_DymodFind(list, slot)) {
        if (strncasecmp(d->name, name, MODEL_DYMOD_NAME_SIZE) == 0) return;
        model_DymodRelease(slot);
    }
    _DYMOD* d = NodeAdd(list, name, slot);
    if (!d) return;
    if (file_Exists(name)) {
        d->anchorFront = mem_AllocEx(0, 4, "DYMOD ANCHOR FRONT");
        level_LoadPakInSlot(slot, name);
        d->anchorBack = mem_AllocEx(0, 4, "DYMOD ANCHOR BACK");
    } else {
        level_LoadPakInSlot(slot, app_ProductRecord.defaultPak);
    }
}

void model_DymodRelease(int32_t slot) {
    _DYMOD* d = model_DymodFind(&model_ClientDymods, slot);
    if (d) NodeRelease(d);
}
