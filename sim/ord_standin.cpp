// Stand-in until the ordnance manager lands: no manager, no stores to
// release; the list routines only append entries.
#include "sim/ord.h"

#include <cstring>

_ORDNANCE_MANAGER* ord_Manager = nullptr;
OrdStoreRelease ord_StoreRelease;

void ord_StoreEntryInit(void* entry, int32_t type, int32_t count, int32_t capacity, int32_t mount) {
    if (!entry) return;
    *static_cast<OrdStoreEntry*>(entry) = {type, count, capacity, mount};
}

void ord_MountInitNamed(void* entry, int32_t part, const char* modelName, int32_t attachment) {
    if (!entry) return;
    auto* m = static_cast<OrdMountEntry*>(entry);
    memset(m, 0, sizeof *m);
    m->part = part;
    m->type = -1;
    m->attachment = (int16_t)attachment;
    if (modelName) {
        size_t n = strnlen(modelName, sizeof m->modelName - 1);
        memcpy(m->modelName, modelName, n);
    }
}

void ord_MountInitByType(void* entry, int32_t part, int32_t type, int32_t flagA, int32_t flagB) {
    if (!entry) return;
    auto* m = static_cast<OrdMountEntry*>(entry);
    memset(m, 0, sizeof *m);
    m->part = part;
    m->type = (int16_t)type;
    m->flagA = flagA;
    m->flagB = flagB;
}

int32_t ord_AddStoreType(void* list, int32_t type, int32_t count, int32_t capacity, int32_t mount) {
    auto* l = static_cast<OrdLoadout*>(list);
    if (!l) return 0;
    if (l->storeCount < (uint32_t)ORD_STORES_MAX) ord_StoreEntryInit(&l->stores[l->storeCount++], type, count, capacity, mount);
    return (int32_t)l->storeCount;
}

int32_t ord_AddMount(void* list, int32_t part, int32_t type, int32_t flagA, int32_t flagB) {
    auto* l = static_cast<OrdLoadout*>(list);
    if (!l) return 0;
    if (l->mountCount < (uint32_t)ORD_MOUNTS_MAX) ord_MountInitByType(&l->mounts[l->mountCount++], part, type, flagA, flagB);
    return (int32_t)l->mountCount;
}

int32_t ord_AddMountNamed(void* list, int32_t part, const char* modelName, int32_t attachment) {
    auto* l = static_cast<OrdLoadout*>(list);
    if (!l) return 0;
    if (l->mountCount < (uint32_t)ORD_MOUNTS_MAX) ord_MountInitNamed(&l->mounts[l->mountCount++], part, modelName, attachment);
    return (int32_t)l->mountCount;
}

const int32_t* ord_AddStoreWithMounts(void* list, const int32_t* stations, int32_t type, int32_t flagA,
                                      int32_t flagB) {
    auto* l = static_cast<OrdLoadout*>(list);
    if (!l || !stations || *stations < 0) return stations;
    bool listed = false;
    for (uint32_t i = 0; i < l->storeCount; i++) listed |= l->stores[i].type == type;
    if (!listed) ord_AddStoreType(l, type, -1, -1, -1);
    ord_AddMount(l, *stations, type, flagA, flagB);
    return stations + 1;
}

int32_t ord_ConsumeStore(int32_t) {
    ord_StoreRelease = {};
    return -1;
}

// Stand-in manager: full internal fuel, no stores; the burn takes from the
// internal fuel.
void ord_ManagerCreate(void) {
    static _ORDNANCE_MANAGER manager;
    manager = {};
    manager.internalFuel = manager.internalFuelCapacity = 3105.0f;
    manager.fuelWithInternal = manager.internalFuel;
    ord_Manager = &manager;
}

void ord_FuelDraw(float amount) {
    _ORDNANCE_MANAGER* m = ord_Manager;
    if (!m || !(amount > 0.0f)) return;
    m->internalFuel = m->internalFuel > amount ? m->internalFuel - amount : 0.0f;
    m->fuelWithInternal = m->internalFuel + m->fuelTotal;
}
