// The ordnance manager: panels, mounts and store models of the player's
// aircraft, store lists, the loadout hardpoints, releases and fuel.
#include "sim/ord.h"

#include <cmath>
#include <cstring>

#include "base/dlist.h"
#include "base/mem.h"
#include "base/units.h"
#include "debug/console.h"
#include "menu/loadout.h"
#include "shell/runner.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "world/pak.h"

_ORDNANCE_MANAGER* ord_Manager = nullptr;
OrdStoreRelease ord_StoreRelease;
OrdLoadout ord_SavedStoreList;
_PAK_HEADER* ord_AircraftModel = nullptr;
int32_t ord_PreviewEnabled = 0;

namespace {

constexpr int32_t kStationFirst = 68;
constexpr int32_t kStationLast = 90;

uint32_t Now(void) { return app_TickCount.load(std::memory_order_acquire); }

int32_t ValidType(int32_t type) { return type >= 0 && type < WEAPON_TYPES ? type : -1; }

// Counts, amounts and intervals travel as 16-bit words; held to that range
// a sum over a whole list cannot overflow.
constexpr int32_t kCountMax = 32767;
int32_t Bounded(int32_t v) { return v < 0 ? 0 : v > kCountMax ? kCountMax : v; }

// A bounded copy into a 16-byte name field.
void NameCopy(char* field, const char* s) {
    memset(field, 0, 16);
    if (s) memcpy(field, s, strnlen(s, 15));
}

// --- panels -------------------------------------------------------------------

void Renumber(void) {
    int32_t i = 0;
    for (_ORDNANCE_PANEL* p = ord_Manager->panels.head; p; p = p->next) p->index = i++;
    i = 0;
    for (_ORDNANCE_MOUNT* m = ord_Manager->mounts.head; m; m = m->next) m->index = i++;
    i = 0;
    for (_ORDNANCE_PAK* k = ord_Manager->paks.head; k; k = k->next) k->index = i++;
}

void PanelLinkMount(_ORDNANCE_PANEL* p, _ORDNANCE_MOUNT* m) {
    m->panel = p;
    dlist_AddTail<_ORDNANCE_MOUNT, &_ORDNANCE_MOUNT::panelPrev, &_ORDNANCE_MOUNT::panelNext>(
        p->mountHead, p->mountTail, p->mountCount, m);
}

void PanelUnlinkMount(_ORDNANCE_MOUNT* m) {
    _ORDNANCE_PANEL* p = m->panel;
    if (!p) return;
    dlist_Unlink<_ORDNANCE_MOUNT, &_ORDNANCE_MOUNT::panelPrev, &_ORDNANCE_MOUNT::panelNext>(
        p->mountHead, p->mountTail, p->mountCount, m);
    p->count -= m->amount;
    if (p->count < 0) p->count = 0;
    m->panel = nullptr;
}

// --- the station content the preview changes ---------------------------------

_PAK_HEADER* g_stationContent[PAK_ORIENT_PARTS];

}  // namespace

// --- store lists ----------------------------------------------------------------

void ord_StoreEntryInit(void* entry, int32_t type, int32_t count, int32_t capacity, int32_t interval) {
    if (!entry) return;
    *static_cast<OrdStoreEntry*>(entry) = {ValidType(type), count, capacity, interval};
}

void ord_MountInitNamed(void* entry, int32_t part, const char* modelName, int32_t attachment) {
    if (!entry) return;
    auto* m = static_cast<OrdMountEntry*>(entry);
    memset(m, 0, sizeof *m);
    m->part = part;
    m->flagA = attachment;
    m->flagB = 1;
    NameCopy(m->modelName, modelName);
    m->type = -1;
    m->attachment = (int16_t)attachment;
    m->amount = m->fullAmount = 1;
}

void ord_MountInitByType(void* entry, int32_t part, int32_t type, int32_t launchKind, int32_t amount) {
    if (!entry) return;
    auto* m = static_cast<OrdMountEntry*>(entry);
    memset(m, 0, sizeof *m);
    type = ValidType(type);
    if (amount < 0) amount = 1;
    if (launchKind < 0) launchKind = ORD_LAUNCH_RAIL;
    m->part = part;
    m->flagA = launchKind;
    m->flagB = amount;
    const _WEAPON_TYPE* r = weapon_TypeGet(type);
    NameCopy(m->modelName, r ? r->mountModel : nullptr);
    m->type = (int16_t)type;
    m->attachment = (int16_t)launchKind;
    m->amount = m->fullAmount = type < 0 ? 1 : amount;
}

int32_t ord_AddStoreType(void* list, int32_t type, int32_t count, int32_t capacity, int32_t interval) {
    auto* l = static_cast<OrdLoadout*>(list);
    if (!l) return 0;
    if (l->storeCount < (uint32_t)ORD_STORES_MAX)
        ord_StoreEntryInit(&l->stores[l->storeCount++], type, count, capacity, interval);
    return (int32_t)l->storeCount;
}

int32_t ord_AddMount(void* list, int32_t part, int32_t type, int32_t launchKind, int32_t amount) {
    auto* l = static_cast<OrdLoadout*>(list);
    if (!l) return 0;
    if (l->mountCount < (uint32_t)ORD_MOUNTS_MAX)
        ord_MountInitByType(&l->mounts[l->mountCount++], part, type, launchKind, amount);
    return (int32_t)l->mountCount;
}

int32_t ord_AddMountNamed(void* list, int32_t part, const char* modelName, int32_t attachment) {
    auto* l = static_cast<OrdLoadout*>(list);
    if (!l) return 0;
    if (l->mountCount < (uint32_t)ORD_MOUNTS_MAX)
        ord_MountInitNamed(&l->mounts[l->mountCount++], part, modelName, attachment);
    return (int32_t)l->mountCount;
}

const int32_t* ord_AddStoreWithMounts(void* list, const int32_t* stations, int32_t type, int32_t launchKind,
                                      int32_t amount) {
    auto* l = static_cast<OrdLoadout*>(list);
    if (!l || !stations || *stations < 0) return stations;
    bool listed = false;
    for (uint32_t i = 0; i < l->storeCount; i++) listed |= l->stores[i].type == type;
    if (!listed) ord_AddStoreType(l, type, -1, -1, -1);
    ord_AddMount(l, *stations, type, launchKind, amount);
    return stations + 1;
}

// --- the manager ----------------------------------------------------------------

_ORDNANCE_MANAGER* ord_ManagerCreate(void) {
    ord_ManagerDestroy();
    auto* m = static_cast<_ORDNANCE_MANAGER*>(mem_AllocEx(sizeof(_ORDNANCE_MANAGER), 4, "_ORDNANCE_MANAGER"));
    if (!m) return nullptr;
    memset(m, 0, sizeof *m);
    ord_Manager = m;
    return m;
}

void ord_ManagerDestroy(void) {
    _ORDNANCE_MANAGER* m = ord_Manager;
    if (!m) return;
    ord_PreviewDetach();
    while (m->mounts.head) ord_MountUnlink(m->mounts.head);
    while (m->panels.head) ord_PanelRemove(m->panels.head);
    while (m->paks.head) ord_PakFree(m->paks.head);
    ord_Manager = nullptr;
    mem_Free(m);
}

_ORDNANCE_PANEL* ord_PanelFind(int32_t type) {
    if (!ord_Manager || type < 0) return nullptr;
    for (_ORDNANCE_PANEL* p = ord_Manager->panels.head; p; p = p->next)
        if (p->weaponId == type) return p;
    return nullptr;
}

_ORDNANCE_PANEL* ord_PanelByIndex(int32_t index) {
    if (!ord_Manager || index < 0) return nullptr;
    for (_ORDNANCE_PANEL* p = ord_Manager->panels.head; p; p = p->next)
        if (p->index == index) return p;
    return nullptr;
}

_ORDNANCE_PANEL* ord_PanelAdd(int32_t type, int32_t count, int32_t capacity, int32_t interval) {
    const _WEAPON_TYPE* r = weapon_TypeGet(type);
    if (!ord_Manager || !r) return nullptr;
    count = count < 0 ? r->defaultCount : Bounded(count);
    capacity = capacity < 0 ? r->defaultCapacity : Bounded(capacity);
    interval = interval < 0 ? r->releaseInterval : Bounded(interval);
    _ORDNANCE_PANEL* p = ord_PanelFind(type);
    if (!p) {
        p = static_cast<_ORDNANCE_PANEL*>(mem_AllocEx(sizeof(_ORDNANCE_PANEL), 4, "_ORDNANCE_PANEL"));
        if (!p) return nullptr;
        memset(p, 0, sizeof *p);
        p->manager = ord_Manager;
        p->index = -1;
        p->weaponId = type;
        p->lastRelease = Now() - (uint32_t)interval - 1;
        dlist_AddTail(&ord_Manager->panels, p);
        // Mounts of this type added before the panel belong to it.
        for (_ORDNANCE_MOUNT* m = ord_Manager->mounts.head; m; m = m->next)
            if (m->type == type && !m->panel) PanelLinkMount(p, m);
    }
    p->defaultCount = count;
    p->capacity = capacity;
    p->releaseInterval = interval;
    p->count = count;
    for (_ORDNANCE_MOUNT* m = p->mountHead; m; m = m->panelNext) p->count += m->amount;
    Renumber();
    return p;
}

void ord_PanelRemove(_ORDNANCE_PANEL* panel) {
    if (!panel || !ord_Manager) return;
    while (panel->mountHead) ord_MountUnlink(panel->mountHead);
    dlist_Unlink(&ord_Manager->panels, panel);
    mem_Free(panel);
    Renumber();
}

void ord_PanelsSort(void) {
    if (!ord_Manager) return;
    // Insertion sort by store class, then weapon id: the list is short.
    _ORDNANCE_PANEL* rest = ord_Manager->panels.head;
    ord_Manager->panels = {};
    while (rest) {
        _ORDNANCE_PANEL* p = rest;
        rest = rest->next;
        int32_t c = ord_StoreClass(p->weaponId);
        _ORDNANCE_PANEL* at = ord_Manager->panels.head;
        while (at) {
            int32_t ca = ord_StoreClass(at->weaponId);
            if (ca > c || (ca == c && at->weaponId > p->weaponId)) break;
            at = at->next;
        }
        if (at)
            dlist_InsertBefore(ord_Manager->panels.head, ord_Manager->panels.tail, ord_Manager->panels.count, at, p);
        else
            dlist_AddTail(&ord_Manager->panels, p);
    }
    Renumber();
}

// --- store models ---------------------------------------------------------------

_ORDNANCE_PAK* ord_PakGet(const char* name) {
    if (!ord_Manager || !name || !name[0]) return nullptr;
    for (_ORDNANCE_PAK* k = ord_Manager->paks.head; k; k = k->next)
        if (strcmp(k->name, name) == 0) return k;
    size_t n = strnlen(name, 63);
    auto* k = static_cast<_ORDNANCE_PAK*>(mem_AllocEx((uint32_t)(sizeof(_ORDNANCE_PAK) + n + 1), 4, "_ORDNANCE_PAK"));
    if (!k) return nullptr;
    memset(k, 0, sizeof *k);
    char* copy = reinterpret_cast<char*>(k + 1);
    memcpy(copy, name, n);
    copy[n] = 0;
    k->name = copy;
    k->manager = ord_Manager;
    k->anchorFront = mem_AllocEx(4, 4, "ORDNANCE_PAK ANCHOR FRONT");
    k->pak = k->anchorFront ? pak_LoadPakEx(copy, nullptr, nullptr) : nullptr;
    k->anchorBack = k->pak ? mem_AllocEx(4, 4, "ORDNANCE_PAK ANCHOR BACK") : nullptr;
    if (!k->pak || !k->anchorBack) {
        // No model: whatever the load took goes with its markers.
        if (k->anchorFront && k->anchorBack)
            mem_FreeBetween(k->anchorFront, k->anchorBack);
        else if (k->anchorFront)
            mem_FreeFrom(k->anchorFront);
        mem_Free(k);
        return nullptr;
    }
    dlist_AddTail(&ord_Manager->paks, k);
    Renumber();
    return k;
}

void ord_PakFree(_ORDNANCE_PAK* entry) {
    if (!entry || !ord_Manager) return;
    for (_ORDNANCE_MOUNT* m = ord_Manager->mounts.head; m;) {
        _ORDNANCE_MOUNT* next = m->next;
        if (m->storeModel == entry) ord_MountUnlink(m);
        m = next;
    }
    dlist_Unlink(&ord_Manager->paks, entry);
    mem_FreeBetween(entry->anchorFront, entry->anchorBack);
    mem_Free(entry);
    Renumber();
}

// --- mounts ---------------------------------------------------------------------

_ORDNANCE_MOUNT* ord_MountAdd(int32_t station, const char* modelName, int32_t type, int32_t amount,
                              int32_t fullAmount, float fuel, float fullFuel, float mass, int32_t launchKind) {
    if (!ord_Manager) return nullptr;
    auto* m = static_cast<_ORDNANCE_MOUNT*>(mem_AllocEx(sizeof(_ORDNANCE_MOUNT), 4, "_ORDNANCE_MOUNT"));
    if (!m) return nullptr;
    memset(m, 0, sizeof *m);
    m->manager = ord_Manager;
    m->station = station;
    m->type = ValidType(type);
    m->amount = Bounded(amount);
    m->fullAmount = Bounded(fullAmount) < m->amount ? m->amount : Bounded(fullAmount);
    m->fuel = fuel;
    m->fullFuel = fullFuel;
    m->mass = mass;
    m->launchKind = launchKind;
    m->attachedPart = -1;
    m->storeModel = ord_PakGet(modelName);
    m->part = m->storeModel ? m->storeModel->pak : nullptr;
    dlist_AddTail(&ord_Manager->mounts, m);
    if (_ORDNANCE_PANEL* p = ord_PanelFind(m->type)) {
        PanelLinkMount(p, m);
        p->count += m->amount;
    }
    Renumber();
    return m;
}

_ORDNANCE_MOUNT* ord_MountAddNamed(int32_t station, const char* modelName, int32_t launchKind) {
    return ord_MountAdd(station, modelName, -1, 1, 1, 0.0f, 0.0f, 0.0f, launchKind);
}

_ORDNANCE_MOUNT* ord_MountAddByType(int32_t station, int32_t type, int32_t amount, int32_t launchKind) {
    const _WEAPON_TYPE* r = weapon_TypeGet(type);
    if (!r) return ord_MountAdd(station, nullptr, -1, 0, 0, 0.0f, 0.0f, 0.0f, launchKind);
    return ord_MountAdd(station, r->mountModel, type, amount, amount, r->fuel, r->fuel, r->mass, launchKind);
}

void ord_MountUnlink(_ORDNANCE_MOUNT* mount) {
    if (!mount || !ord_Manager) return;
    if (mount->attachedPart >= 0 && mount->attachedPart < PAK_ORIENT_PARTS)
        g_stationContent[mount->attachedPart] = mount->previousContent;
    PanelUnlinkMount(mount);
    dlist_Unlink(&ord_Manager->mounts, mount);
    mem_Free(mount);
    Renumber();
}

_ORDNANCE_MOUNT* ord_MountByNumber(int32_t number) {
    if (!ord_Manager || number < 0) return nullptr;
    for (_ORDNANCE_MOUNT* m = ord_Manager->mounts.head; m; m = m->next)
        if (m->index == number) return m;
    return nullptr;
}

_ORDNANCE_MOUNT* ord_MountByStation(int32_t station) {
    if (!ord_Manager) return nullptr;
    for (_ORDNANCE_MOUNT* m = ord_Manager->mounts.head; m; m = m->next)
        if (m->station == station) return m;
    return nullptr;
}

_ORDNANCE_MOUNT* ord_MountChoose(const _ORDNANCE_PANEL* panel) {
    if (!panel || !ord_Manager) return nullptr;
    // Release on the heavy side: the largest arm while the moment leans
    // that way, else the smallest.
    bool largest = ord_Manager->balanceMoment >= 0.0001f;
    _ORDNANCE_MOUNT* best = nullptr;
    for (_ORDNANCE_MOUNT* m = panel->mountHead; m; m = m->panelNext) {
        if (m->amount <= 0) continue;
        if (!best || (largest ? m->arm > best->arm : m->arm < best->arm)) best = m;
    }
    return best;
}

_ORDNANCE_MOUNT* ord_MountChooseCancelling(const _ORDNANCE_PANEL* panel) {
    if (!panel || !ord_Manager) return nullptr;
    _ORDNANCE_MOUNT* best = nullptr;
    float bestLeft = 0.0f;
    for (_ORDNANCE_MOUNT* m = panel->mountHead; m; m = m->panelNext) {
        if (m->amount <= 0) continue;
        float left = std::fabs(ord_Manager->balanceMoment - m->arm * (m->mass + m->fuel));
        if (!best || left < bestLeft) {
            best = m;
            bestLeft = left;
        }
    }
    return best;
}

_ORDNANCE_MOUNT* ord_MountChooseOldest(const _ORDNANCE_PANEL* panel) {
    if (!panel) return nullptr;
    _ORDNANCE_MOUNT* best = nullptr;
    uint32_t now = Now();
    for (_ORDNANCE_MOUNT* m = panel->mountHead; m; m = m->panelNext)
        if (m->amount > 0 && (!best || now - m->lastRelease > now - best->lastRelease)) best = m;
    return best;
}

// --- the saved store list -------------------------------------------------------

void ord_StoreListSet(const OrdLoadout* list) {
    if (list)
        ord_SavedStoreList = *list;
    else
        memset(&ord_SavedStoreList, 0, sizeof ord_SavedStoreList);
}

void ord_StoreListSave(void) {
    OrdLoadout& l = ord_SavedStoreList;
    memset(&l, 0, sizeof l);
    if (!ord_Manager) return;
    for (const _ORDNANCE_PANEL* p = ord_Manager->panels.head; p && l.storeCount < (uint32_t)ORD_STORES_MAX;
         p = p->next)
        l.stores[l.storeCount++] = {p->weaponId, p->defaultCount, p->capacity, p->releaseInterval};
    for (const _ORDNANCE_MOUNT* m = ord_Manager->mounts.head; m && l.mountCount < (uint32_t)ORD_MOUNTS_MAX;
         m = m->next) {
        OrdMountEntry& e = l.mounts[l.mountCount++];
        e.part = m->station;
        e.flagA = m->launchKind;
        e.flagB = m->amount;
        NameCopy(e.modelName, m->storeModel ? m->storeModel->name : nullptr);
        e.type = (int16_t)m->type;
        e.attachment = (int16_t)m->launchKind;
        e.amount = m->amount;
        e.fullAmount = m->fullAmount;
    }
}

int32_t ord_StoreListRestore(void) {
    if (!ord_ManagerCreate()) return -1;
    const OrdLoadout& l = ord_SavedStoreList;
    // A list from a block or the network is bounded before use.
    uint32_t stores = l.storeCount > (uint32_t)ORD_STORES_MAX ? ORD_STORES_MAX : l.storeCount;
    uint32_t mounts = l.mountCount > (uint32_t)ORD_MOUNTS_MAX ? ORD_MOUNTS_MAX : l.mountCount;
    for (uint32_t i = 0; i < stores; i++) {
        const OrdStoreEntry& s = l.stores[i];
        if (ValidType(s.type) < 0) continue;
        ord_PanelAdd(s.type, s.count, s.capacity, s.interval);
    }
    for (uint32_t i = 0; i < mounts; i++) {
        const OrdMountEntry& e = l.mounts[i];
        if (e.part < kStationFirst || e.part > kStationLast) continue;
        if (!memchr(e.modelName, 0, sizeof e.modelName)) continue;
        int32_t type = ValidType(e.type);
        int32_t amount = Bounded(e.amount);
        int32_t full = Bounded(e.fullAmount) < amount ? amount : Bounded(e.fullAmount);
        if (type < 0) {
            ord_MountAddNamed(e.part, e.modelName, e.attachment);
            continue;
        }
        const _WEAPON_TYPE* r = weapon_TypeGet(type);
        const char* model = e.modelName[0] ? e.modelName : r->mountModel;
        ord_MountAdd(e.part, model, type, amount, full, r->fuel, r->fuel, r->mass, e.flagA);
    }
    ord_PanelsSort();
    ord_Recount();
    return 0;
}

// --- counts, releases and fuel ---------------------------------------------------

void ord_Recount(void) {
    _ORDNANCE_MANAGER* o = ord_Manager;
    if (!o) return;
    o->fuelTotal = o->fuelCapacityTotal = o->storeMass = o->balanceMoment = 0.0f;
    for (_ORDNANCE_PANEL* p = o->panels.head; p; p = p->next) {
        p->count = p->defaultCount;
        p->fuel = p->mass = 0.0f;
        for (const _ORDNANCE_MOUNT* m = p->mountHead; m; m = m->panelNext) {
            p->count += m->amount;
            if (m->amount > 0) {
                p->fuel += m->fuel;
                p->mass += m->mass;
            }
        }
    }
    for (const _ORDNANCE_MOUNT* m = o->mounts.head; m; m = m->next) {
        if (m->amount <= 0) continue;
        o->fuelTotal += m->fuel;
        o->fuelCapacityTotal += m->fullFuel;
        o->storeMass += m->mass + m->fuel;
        o->balanceMoment += (m->mass + m->fuel) * m->arm;
    }
    o->fuelWithInternal = o->internalFuel + o->fuelTotal;
}

int32_t ord_CheckReady(int32_t type) {
    const _ORDNANCE_PANEL* p = ord_PanelFind(type);
    if (!p) return -1;
    if ((int32_t)(Now() - p->lastRelease - (uint32_t)p->releaseInterval) <= 0) return -3;
    if (!con_UnlimitedStores && p->count <= 0) return -2;
    return 0;
}

int32_t ord_ConsumeStore(int32_t type) {
    ord_StoreRelease = {};
    _ORDNANCE_PANEL* p = ord_PanelFind(type);
    if (!p) return -1;
    uint32_t now = Now();
    if (_ORDNANCE_MOUNT* m = ord_MountChoose(p)) {
        ord_StoreRelease.mode = m->launchKind;
        ord_StationPosition(m->station, &ord_StoreRelease.launchPoint);
        if (!con_UnlimitedStores) {
            m->amount--;
            if (p->count > 0) p->count--;
        }
        m->lastRelease = now;
        m->fuel = 0.0f;
    } else if (!con_UnlimitedStores && p->defaultCount > 0) {
        // Nothing left is nothing taken: no count below 0.
        p->defaultCount--;
        p->count--;
    }
    p->lastRelease = now;
    ord_Recount();
    return 0;
}

int32_t ord_CountById(int32_t type) {
    const _ORDNANCE_PANEL* p = ord_PanelFind(type);
    return p ? p->count : 0;
}

int32_t ord_StoreAvailable(int32_t type) { return con_UnlimitedStores ? 1 : ord_CountById(type); }

void ord_RearmAll(void) {
    if (!ord_Manager) return;
    uint32_t now = Now();
    for (_ORDNANCE_PANEL* p = ord_Manager->panels.head; p; p = p->next) {
        p->defaultCount = p->capacity;
        p->lastRelease = now;
    }
    for (_ORDNANCE_MOUNT* m = ord_Manager->mounts.head; m; m = m->next) m->amount = m->fullAmount;
    ord_Recount();
}

void ord_RefuelAll(void) {
    if (!ord_Manager) return;
    ord_Manager->internalFuel = ord_Manager->internalFuelCapacity;
    for (_ORDNANCE_MOUNT* m = ord_Manager->mounts.head; m; m = m->next) m->fuel = m->fullFuel;
    ord_Recount();
}

void ord_AllReady(void) {
    if (!ord_Manager) return;
    uint32_t now = Now();
    // One frame further back than the interval: the ready check wants the
    // time since the release above the interval, and these are ready now.
    for (_ORDNANCE_PANEL* p = ord_Manager->panels.head; p; p = p->next)
        p->lastRelease = now - (uint32_t)p->releaseInterval - 1;
}

void ord_FuelDraw(float amount) {
    if (!ord_Manager) return;
    int32_t n = 0;
    for (const _ORDNANCE_MOUNT* m = ord_Manager->mounts.head; m; m = m->next) n += m->amount > 0 && m->fuel > 0.0f;
    if (n > 0) {
        float each = amount / (float)n;
        for (_ORDNANCE_MOUNT* m = ord_Manager->mounts.head; m; m = m->next)
            if (m->amount > 0 && m->fuel > 0.0f) m->fuel = m->fuel > each ? m->fuel - each : 0.0f;
    } else {
        float& f = ord_Manager->internalFuel;
        f = f > amount ? f - amount : 0.0f;
    }
    ord_Recount();
}

void ord_MountArmsSet(void) {
    if (!ord_Manager) return;
    for (_ORDNANCE_MOUNT* m = ord_Manager->mounts.head; m; m = m->next) {
        FixVec3 p;
        ord_StationPosition(m->station, &p);
        MathVec3 f;
        fix_IntToFloatScaled(&p, &f);
        m->arm = f.x;
    }
}

// --- preview and stations --------------------------------------------------------

_PAK_HEADER* ord_StationContent(int32_t station) {
    return station >= 0 && station < PAK_ORIENT_PARTS ? g_stationContent[station] : nullptr;
}

void ord_PreviewAttach(void) {
    if (!ord_Manager || !ord_PreviewEnabled || ord_Manager->preview) return;
    for (_ORDNANCE_MOUNT* m = ord_Manager->mounts.head; m; m = m->next) {
        if (m->station < kStationFirst || m->station > kStationLast) continue;
        m->attachedPart = m->station;
        m->previousContent = g_stationContent[m->station];
        // A mount without a model hides the part.
        g_stationContent[m->station] = m->part;
    }
    ord_Manager->preview = 1;
}

void ord_PreviewDetach(void) {
    if (!ord_Manager || !ord_Manager->preview) return;
    // Back in reverse, so a station used twice gets its first content.
    for (_ORDNANCE_MOUNT* m = ord_Manager->mounts.tail; m; m = m->prev) {
        if (m->attachedPart < 0) continue;
        g_stationContent[m->attachedPart] = m->previousContent;
        m->attachedPart = -1;
        m->previousContent = nullptr;
    }
    ord_Manager->preview = 0;
}

int32_t ord_StationFind(int32_t station, int32_t* out) {
    if (!out) return -1;
    out[0] = out[1] = out[2] = 0;
    if (station < kStationFirst || station > kStationLast) return -1;
    // The station parts follow the body in the aircraft model's points.
    return pak_ModelPartGet(ord_AircraftModel, 0, station - (kStationFirst - 1), out);
}

int32_t ord_StationFindByName(const char* name, int32_t* out) {
    if (out) out[0] = out[1] = out[2] = 0;
    if (!name) return -1;
    for (int32_t i = kStationFirst; i <= kStationLast; i++)
        if (strcmp(pak_OrientPartNames[i], name) == 0) return ord_StationFind(i, out);
    return -1;
}

void ord_StationPosition(int32_t station, FixVec3* out) {
    if (!out) return;
    int32_t p[3];
    ord_StationFind(station, p);
    out->x = p[0];
    out->y = p[1];
    out->z = p[2];
}

void ord_CurrentStationPosition(FixVec3* out) {
    if (!out) return;
    const _ORDNANCE_MOUNT* m = ord_MountByNumber(weapon_CurrentMount);
    if (m)
        ord_StationPosition(m->station, out);
    else
        *out = {};
}
