// Dynamic model slots: models brought into a running game by name. The
// server gives each name a slot from 192 up and tells the clients; a client
// loads the PAK into that slot between two marker blocks, so that the slot's
// memory can be freed on its own. Both sides count references per name.
#pragma once
#include <cstdint>

constexpr int32_t MODEL_DYMOD_FIRST_SLOT = 192;
constexpr int32_t MODEL_DYMOD_MAX_NODES = 62;  // a list holding more hands out none
constexpr int32_t MODEL_DYMOD_NO_SLOT = 255;
constexpr int32_t MODEL_DYMOD_NAME_SIZE = 16;

struct DymodList;
struct _DYMOD {
    DymodList* list;
    _DYMOD* prev;
    _DYMOD* next;
    char name[MODEL_DYMOD_NAME_SIZE];
    int32_t slot;
    int32_t refCount;
    void* anchorFront;  // "DYMOD ANCHOR FRONT", client only
    void* anchorBack;   // "DYMOD ANCHOR BACK"
};
struct DymodList {
    _DYMOD* first;
    _DYMOD* last;
    int32_t count;
};
extern DymodList model_ServerDymods;
extern DymodList model_ClientDymods;

int32_t model_NamedRefAcquire(const char* name);
void model_NamedRefRelease(int32_t slot);
void model_DymodLoad(int32_t slot, const char* name);
void model_DymodRelease(int32_t slot);
void model_DymodFreeAll(DymodList* list);
_DYMOD* model_DymodFind(DymodList* list, int32_t slot);
