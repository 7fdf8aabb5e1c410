// The ordnance manager and aircraft store lists.
#pragma once
#include <cstdint>

#include "base/fix.h"

// The player's ordnance manager: what its aircraft carries.
struct _ORDNANCE_MANAGER {
    float balanceMoment;   // the imbalance of the loaded stores
    float internalFuel, internalFuelCapacity;
    float fuelTotal, fuelCapacityTotal;   // the loaded mounts' fuel
    float fuelWithInternal;
    float storeMass;
};
// Null while the player has none.
extern _ORDNANCE_MANAGER* ord_Manager;

constexpr int32_t ORD_STORES_MAX = 8;
constexpr int32_t ORD_MOUNTS_MAX = 24;

// One weapon type an aircraft carries. The fourth word is the interval
// between two releases.
struct OrdStoreEntry {
    int32_t type;
    int32_t count;
    int32_t capacity;
    int32_t interval;
};
// What hangs on one mount part of the model (parts 68 to 90): a weapon type
// with its two flags, or a model (a rail) and no weapon (type -1).
struct OrdMountEntry {
    int32_t part;
    int32_t flagA;
    int32_t flagB;
    char modelName[16];
    int16_t type;
    int16_t attachment;
    int32_t amount;
    int32_t fullAmount;
    int32_t reserved;
};
// An aircraft loadout: the store list and the mount list with their counts.
struct OrdLoadout {
    uint32_t storeCount;
    uint32_t mountCount;
    OrdStoreEntry stores[ORD_STORES_MAX];
    OrdMountEntry mounts[ORD_MOUNTS_MAX];
};
static_assert(sizeof(OrdMountEntry) == 44, "mount entry");
static_assert(sizeof(OrdLoadout) == 1192, "loadout");

// Entries of an aircraft's store list (at most 8) and mount list (at most
// 24); a list is an OrdLoadout. -1 for a count, capacity or flag takes the weapon type's default.
void ord_StoreEntryInit(void* entry, int32_t type, int32_t count, int32_t capacity, int32_t mount);
void ord_MountInitNamed(void* entry, int32_t part, const char* modelName, int32_t attachment);
void ord_MountInitByType(void* entry, int32_t part, int32_t type, int32_t flagA, int32_t flagB);
// Append to a list; return its new count (a full list is left as it is).
int32_t ord_AddStoreType(void* list, int32_t type, int32_t count, int32_t capacity, int32_t mount);
int32_t ord_AddMount(void* list, int32_t part, int32_t type, int32_t flagA, int32_t flagB);
int32_t ord_AddMountNamed(void* list, int32_t part, const char* modelName, int32_t attachment);
// Mounts the type on the next station of the list (ended by -1) and lists
// the type as a store; returns the stations not taken.
const int32_t* ord_AddStoreWithMounts(void* list, const int32_t* stations, int32_t type, int32_t flagA,
                                      int32_t flagB);

// Where the last store left the aircraft, and how.
struct OrdStoreRelease {
    FixVec3 launchPoint;
    int32_t mode;
};
extern OrdStoreRelease ord_StoreRelease;
// Releases one store of the weapon type from the current aircraft's mounts
// and fills ord_StoreRelease: 0, or -1 when none is left.
int32_t ord_ConsumeStore(int32_t weaponType);

// Creates the ordnance manager, destroying any previous one.
void ord_ManagerCreate(void);
// The flight model's fuel burn: takes the amount from the fuel (never
// below 0).
void ord_FuelDraw(float amount);
