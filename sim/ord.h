// The ordnance manager, aircraft store lists and the loadout hardpoints.
//
// The manager knows what the player's aircraft carries: one panel per
// weapon type (count left, release timing), one mount per store hung on a
// station of the aircraft model, and the shared store models. Store lists
// (OrdLoadout: 8 store types, 24 mounts) describe a loadout outside it.
#pragma once
#include <cstdint>

#include "base/fix.h"

struct _PAK_HEADER;
struct _ORDNANCE_MANAGER;
struct _ORDNANCE_MOUNT;

struct _ORDNANCE_PANEL {
    _ORDNANCE_PANEL* prev;
    _ORDNANCE_PANEL* next;
    _ORDNANCE_MANAGER* manager;
    int32_t index;                 // position from 0; -1 before numbering
    int32_t weaponId;
    int32_t count;                 // stores left
    float fuel;                    // sums over its loaded mounts
    float mass;
    int32_t releaseInterval;       // frames
    int32_t defaultCount;          // stores carried without mounts
    int32_t capacity;
    uint32_t lastRelease;          // clock
    _ORDNANCE_MOUNT* mountHead;
    _ORDNANCE_MOUNT* mountTail;
    int32_t mountCount;
};

struct _ORDNANCE_PAK {
    _ORDNANCE_PAK* prev;
    _ORDNANCE_PAK* next;
    _ORDNANCE_MANAGER* manager;
    int32_t index;
    const char* name;              // copied behind the record
    _PAK_HEADER* pak;
    void* anchorFront;             // marker blocks around the loaded model
    void* anchorBack;
    int32_t users;
};

// Launch kinds of a mount.
constexpr int32_t ORD_LAUNCH_DROPPED = 0;
constexpr int32_t ORD_LAUNCH_RAIL = 1;

struct _ORDNANCE_MOUNT {
    _ORDNANCE_MOUNT* prev;
    _ORDNANCE_MOUNT* next;
    _ORDNANCE_MANAGER* manager;
    _ORDNANCE_PANEL* panel;        // null for an empty pylon or rail
    _ORDNANCE_MOUNT* panelNext;
    _ORDNANCE_MOUNT* panelPrev;
    _ORDNANCE_PAK* storeModel;
    int32_t index;
    int32_t station;               // part number 68..90
    _PAK_HEADER* part;             // the model part made for it
    int32_t type;                  // -1..38
    int32_t amount;
    int32_t fullAmount;
    float fuel;
    float fullFuel;
    float mass;
    int32_t launchKind;
    float arm;                     // lateral arm
    int32_t attachedPart;          // station part while previewed, -1 none
    _PAK_HEADER* previousContent;  // that part's content while previewed
    uint32_t lastRelease;
};

struct OrdPanelList {
    _ORDNANCE_PANEL* head;
    _ORDNANCE_PANEL* tail;
    int32_t count;
};
struct OrdPakList {
    _ORDNANCE_PAK* head;
    _ORDNANCE_PAK* tail;
    int32_t count;
};
struct OrdMountList {
    _ORDNANCE_MOUNT* head;
    _ORDNANCE_MOUNT* tail;
    int32_t count;
};

struct _ORDNANCE_MANAGER {
    OrdPanelList panels;
    OrdPakList paks;
    OrdMountList mounts;
    float internalFuel;
    float internalFuelCapacity;
    float fuelTotal;
    float fuelCapacityTotal;
    float fuelWithInternal;
    float storeMass;
    float balanceMoment;
    int32_t preview;
};
// Null while the player has none.
extern _ORDNANCE_MANAGER* ord_Manager;

constexpr int32_t ORD_STORES_MAX = 8;
constexpr int32_t ORD_MOUNTS_MAX = 24;

// One weapon type a store list carries: count, capacity and the interval
// between two releases (-1: the weapon type's default).
struct OrdStoreEntry {
    int32_t type;
    int32_t count;
    int32_t capacity;
    int32_t interval;
};
// What hangs on one station (parts 68 to 90): a weapon type with its launch
// kind (flagA) and amount (flagB), or a model (a pylon or rail) and no
// weapon (type -1).
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
// A store list: the store entries and the mount entries with their counts.
struct OrdLoadout {
    uint32_t storeCount;
    uint32_t mountCount;
    OrdStoreEntry stores[ORD_STORES_MAX];
    OrdMountEntry mounts[ORD_MOUNTS_MAX];
};
static_assert(sizeof(OrdMountEntry) == 44, "mount entry");
static_assert(sizeof(OrdLoadout) == 1192, "loadout");

// One entry of a store list, filled as the manager's routines would take it.
void ord_StoreEntryInit(void* entry, int32_t type, int32_t count, int32_t capacity, int32_t interval);
void ord_MountInitNamed(void* entry, int32_t part, const char* modelName, int32_t attachment);
void ord_MountInitByType(void* entry, int32_t part, int32_t type, int32_t launchKind, int32_t amount);
// Append to a list; return its new count (a full list is left as it is).
int32_t ord_AddStoreType(void* list, int32_t type, int32_t count, int32_t capacity, int32_t interval);
int32_t ord_AddMount(void* list, int32_t part, int32_t type, int32_t launchKind, int32_t amount);
int32_t ord_AddMountNamed(void* list, int32_t part, const char* modelName, int32_t attachment);
// Mounts the type on the next station of the list (ended by -1) and lists
// the type as a store; returns the stations not taken.
const int32_t* ord_AddStoreWithMounts(void* list, const int32_t* stations, int32_t type, int32_t launchKind,
                                      int32_t amount);

// --- the manager ------------------------------------------------------------
_ORDNANCE_MANAGER* ord_ManagerCreate(void);
void ord_ManagerDestroy(void);

// -1 for count, capacity or interval takes the row's default.
_ORDNANCE_PANEL* ord_PanelAdd(int32_t type, int32_t count, int32_t capacity, int32_t interval);
void ord_PanelRemove(_ORDNANCE_PANEL* panel);
_ORDNANCE_PANEL* ord_PanelFind(int32_t type);
_ORDNANCE_PANEL* ord_PanelByIndex(int32_t index);
void ord_PanelsSort(void);

_ORDNANCE_PAK* ord_PakGet(const char* name);
void ord_PakFree(_ORDNANCE_PAK* entry);

_ORDNANCE_MOUNT* ord_MountAdd(int32_t station, const char* modelName, int32_t type, int32_t amount,
                              int32_t fullAmount, float fuel, float fullFuel, float mass, int32_t launchKind);
_ORDNANCE_MOUNT* ord_MountAddNamed(int32_t station, const char* modelName, int32_t launchKind);
_ORDNANCE_MOUNT* ord_MountAddByType(int32_t station, int32_t type, int32_t amount, int32_t launchKind);
void ord_MountUnlink(_ORDNANCE_MOUNT* mount);
_ORDNANCE_MOUNT* ord_MountByNumber(int32_t number);
_ORDNANCE_MOUNT* ord_MountByStation(int32_t station);
// The mount the panel's next release uses, or null (mounts carried without
// stores left and stores carried without mounts give null).
_ORDNANCE_MOUNT* ord_MountChoose(const _ORDNANCE_PANEL* panel);
// The two other choices: the mount whose arm x mass best cancels the
// balance moment, and the one released longest ago.
_ORDNANCE_MOUNT* ord_MountChooseCancelling(const _ORDNANCE_PANEL* panel);
_ORDNANCE_MOUNT* ord_MountChooseOldest(const _ORDNANCE_PANEL* panel);

// The saved store list and the manager built from it.
extern OrdLoadout ord_SavedStoreList;
void ord_StoreListSave(void);
// Rebuilds the manager from the saved list: 0, or -1 when no manager could
// be made. Entries out of range are left out.
int32_t ord_StoreListRestore(void);
// Copies a store list in and out of the saved one (the aircraft set-up).
void ord_StoreListSet(const OrdLoadout* list);

void ord_Recount(void);
// 0 ready; -1 no panel, -2 empty, -3 not ready yet.
int32_t ord_CheckReady(int32_t type);

// Where the last store left the aircraft, and how.
struct OrdStoreRelease {
    FixVec3 launchPoint;
    int32_t mode;
};
extern OrdStoreRelease ord_StoreRelease;
// Takes one store of the type off and fills ord_StoreRelease: 0, or -1 when
// the manager has no panel for it.
int32_t ord_ConsumeStore(int32_t type);
int32_t ord_CountById(int32_t type);
int32_t ord_StoreAvailable(int32_t type);
void ord_RearmAll(void);
void ord_RefuelAll(void);
void ord_AllReady(void);
// The flight model's fuel burn.
void ord_FuelDraw(float amount);
void ord_MountArmsSet(void);

// --- the loadout hardpoints -------------------------------------------------
struct OrdOption {
    OrdOption* next;
    int32_t type;
    int32_t count;
};
struct OrdHardpoint {
    char name[128];
    OrdOption* options;            // the empty option first
    _ORDNANCE_MOUNT* mounts[4];    // one per station
    int32_t stations[4];
    int32_t stationCount;
    int32_t launchKind;
};
// The family's table (0 or 1) and its size.
OrdHardpoint* ord_Hardpoints(int32_t family, int32_t* count);
// The family the loadout uses (the front end's aircraft-family setting).
int32_t ord_Family(void);

void ord_LoadoutBegin(void);
void ord_LoadoutEnd(int32_t accept);
OrdHardpoint* ord_HardpointFind(const char* name);
OrdHardpoint* ord_HardpointFindByStation(int32_t station);
OrdHardpoint* ord_HardpointPartner(const char* name);
// The option equal to the hardpoint's stores (type, count), or the empty
// option; the number of occupied mounts.
const OrdOption* ord_HardpointGetStore(const char* name);
int32_t ord_HardpointCountStores(const char* name);
const OrdOption* ord_HardpointCycleStore(const char* name, int32_t type, int32_t count, int32_t forward);
void ord_HardpointClear(const char* name);
void ord_PartnerHardpointClear(const char* name);
void ord_HardpointSetStore(const char* name, int32_t type, int32_t count);
void ord_PartnerSetStore(const char* name, int32_t type, int32_t count);
void ord_MountSetStore(int32_t station, int32_t type);
void ord_LoadoutAddStores(int32_t type, int32_t count);

// The campaign's stock of a store type (through the front end).
int32_t ord_CampaignStockGet(int32_t type);
void ord_CampaignStockAdd(int32_t type, int32_t delta);

// --- preview and stations ---------------------------------------------------
// The aircraft model the stations are looked up in, and whether the
// preview may attach the mounts to it.
extern _PAK_HEADER* ord_AircraftModel;
extern int32_t ord_PreviewEnabled;
void ord_PreviewAttach(void);
void ord_PreviewDetach(void);
// The station part's content: the model shown on it (null: hidden).
_PAK_HEADER* ord_StationContent(int32_t station);
// 0 with the station's position (halved) in out, else -1 and zeros.
int32_t ord_StationFind(int32_t station, int32_t* out);
int32_t ord_StationFindByName(const char* name, int32_t* out);
void ord_StationPosition(int32_t station, FixVec3* out);
void ord_CurrentStationPosition(FixVec3* out);

// The current loadout list: up to max (mount key, store type) pairs of the
// saved store list; their number.
int32_t ord_LoadoutList(int32_t* keys, int32_t* types, int32_t max);
