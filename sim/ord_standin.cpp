// Stand-in until the ordnance manager lands: no manager, empty lists, no
// stores to release.
#include "sim/ord.h"

_ORDNANCE_MANAGER* ord_Manager = nullptr;
OrdStoreRelease ord_StoreRelease;

void ord_StoreEntryInit(void*, int32_t, int32_t, int32_t, int32_t) {}
void ord_MountInitNamed(void*, int32_t, const char*, int32_t) {}
void ord_MountInitByType(void*, int32_t, int32_t, int32_t, int32_t) {}
int32_t ord_AddStoreType(void*, int32_t, int32_t, int32_t, int32_t) { return 0; }
int32_t ord_AddMount(void*, int32_t, int32_t, int32_t, int32_t) { return 0; }
int32_t ord_AddMountNamed(void*, int32_t, const char*, int32_t) { return 0; }
const int32_t* ord_AddStoreWithMounts(void*, const int32_t* stations, int32_t, int32_t, int32_t) {
    return stations;
}

int32_t ord_ConsumeStore(int32_t) {
    ord_StoreRelease = {};
    return -1;
}
