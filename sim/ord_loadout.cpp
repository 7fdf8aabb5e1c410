// The loadout hardpoints: the named hardpoints of the two aircraft families
// with their stations, partners and store options, and the loadout
// screen's changes to the ordnance manager.
#include <cstring>

#include "base/mem.h"
#include "menu/loadout.h"
#include "sim/ord.h"
#include "sim/plane.h"
#include "sim/weapon.h"

namespace {

struct OptionSpec {
    int32_t type, count;
};
struct HardpointSpec {
    const char* name;
    int32_t stations[4];
    int32_t stationCount;
    const char* partner;
    const OptionSpec* options;
    int32_t optionCount;
};

enum : int32_t {
    AIM9M = 1, AIM120 = 2, FUELPOD300 = 10, FUELPOD304 = 11, FUELPOD370 = 12, FUELPOD396 = 13,
    FUELPOD600 = 14, AGM65B = 15, AGM65G = 16, AGM84A = 17, AGM88 = 18, AA8 = 20, AA11 = 21, AA12 = 22,
    AS10 = 23, AS12 = 24, AS14L = 25, AS14T = 26, AS17 = 27, MK20 = 29, MK82 = 30, MK83 = 31, MK84 = 32,
    JDAM500 = 33, JDAM1000 = 34, JDAM2000 = 35, KAB500KR = 36, FAB250 = 37, FAB500 = 38,
};

#define OPTS(a) a, (int32_t)(sizeof a / sizeof a[0])

const OptionSpec kCenter0[] = {{MK82, 1}, {JDAM500, 1}, {FUELPOD300, 1}};
const OptionSpec kWing0[] = {{AIM9M, 1}, {AIM120, 1}};
const OptionSpec kCentre37[] = {{AIM9M, 1},  {AIM120, 2}, {AGM65G, 1},  {AGM65G, 3},   {AGM65B, 1},  {AGM65B, 3},
                                {AGM84A, 1}, {AGM88, 1},  {MK20, 2},    {MK82, 1},     {MK82, 2},    {MK83, 1},
                                {MK84, 1},   {JDAM500, 1}, {JDAM500, 2}, {JDAM1000, 1}, {JDAM2000, 1}};
const OptionSpec kInner4[] = {{AGM65G, 1},  {AGM65B, 1},   {AGM84A, 1},   {MK20, 3},       {MK82, 1},
                              {MK82, 2},    {MK83, 1},     {MK84, 1},     {JDAM500, 1},    {JDAM500, 2},
                              {JDAM1000, 1}, {JDAM2000, 1}, {FUELPOD370, 1}, {FUELPOD600, 1}};
const OptionSpec kInner6[] = {{AGM65G, 1},  {AGM65B, 1},   {AGM84A, 1},   {MK20, 3},       {MK82, 2},
                              {MK82, 3},    {MK83, 1},     {MK84, 1},     {JDAM500, 1},    {JDAM500, 2},
                              {JDAM1000, 1}, {JDAM2000, 1}, {FUELPOD370, 1}, {FUELPOD600, 1}};
const OptionSpec kCenter1[] = {{KAB500KR, 1}, {FAB250, 1}, {FAB500, 1}, {FUELPOD396, 1}};
const OptionSpec kOuter1[] = {{AA11, 1}, {AA8, 1},   {AA12, 1},  {AS10, 1},
                              {AS12, 1}, {AS14L, 1}, {AS14T, 1}, {AS17, 1}};
const OptionSpec kMiddle1[] = {{AA11, 1}, {AA8, 1},   {AA12, 1},  {AS10, 1},  {AS12, 1},
                               {AS17, 1}, {AS14L, 1}, {AS14T, 1}, {FAB250, 1}};
const OptionSpec kInner1[] = {{AA8, 1},   {AA11, 1},  {AA12, 1},     {AS10, 1},   {AS12, 1},  {AS14L, 1},
                              {AS14T, 1}, {AS17, 1},  {KAB500KR, 1}, {FAB250, 2}, {FAB500, 1}, {FUELPOD304, 1}};

const HardpointSpec kFamily0[] = {
    {"Center", {68}, 1, nullptr, OPTS(kCenter0)},
    {"HardPoint 6", {76, 79, 77, 78}, 4, "HardPoint 4", OPTS(kInner6)},
    {"HardPoint 4", {87, 90, 88, 89}, 4, "HardPoint 6", OPTS(kInner4)},
    {"HardPoint 7", {72, 75, 73, 74}, 4, "HardPoint 3", OPTS(kCentre37)},
    {"HardPoint 3", {83, 86, 84, 85}, 4, "HardPoint 7", OPTS(kCentre37)},
    {"HardPoint 8", {70, 71}, 2, "HardPoint 2", OPTS(kWing0)},
    {"HardPoint 2", {81, 82}, 2, "HardPoint 8", OPTS(kWing0)},
    {"HardPoint 9", {69}, 1, "HardPoint 1", OPTS(kWing0)},
    {"HardPoint 1", {80}, 1, "HardPoint 9", OPTS(kWing0)},
};
const HardpointSpec kFamily1[] = {
    {"Center", {68}, 1, nullptr, OPTS(kCenter1)},
    {"HardPoint 5", {79, 78, 77}, 3, "HardPoint 3", OPTS(kInner1)},
    {"HardPoint 3", {90, 89, 88}, 3, "HardPoint 5", OPTS(kInner1)},
    {"HardPoint 6", {75}, 1, "HardPoint 2", OPTS(kMiddle1)},
    {"HardPoint 2", {86}, 1, "HardPoint 6", OPTS(kMiddle1)},
    {"HardPoint 7", {71}, 1, "HardPoint 1", OPTS(kOuter1)},
    {"HardPoint 1", {82}, 1, "HardPoint 7", OPTS(kOuter1)},
};
#undef OPTS

constexpr int32_t kFamily0Count = (int32_t)(sizeof kFamily0 / sizeof kFamily0[0]);
constexpr int32_t kFamily1Count = (int32_t)(sizeof kFamily1 / sizeof kFamily1[0]);

// The live hardpoint records: names, stations and launch kinds from the
// tables; options and mounts filled by the loadout screen.
OrdHardpoint g_hardpoints[2][kFamily0Count];
bool g_made[2];

const HardpointSpec* Specs(int32_t family, int32_t* count) {
    *count = family == 1 ? kFamily1Count : kFamily0Count;
    return family == 1 ? kFamily1 : kFamily0;
}

void Make(int32_t family) {
    if (g_made[family]) return;
    int32_t n;
    const HardpointSpec* s = Specs(family, &n);
    for (int32_t i = 0; i < n; i++) {
        OrdHardpoint& h = g_hardpoints[family][i];
        memset(&h, 0, sizeof h);
        size_t len = strnlen(s[i].name, sizeof h.name - 1);
        memcpy(h.name, s[i].name, len);
        for (int32_t k = 0; k < 4; k++) h.stations[k] = k < s[i].stationCount ? s[i].stations[k] : -1;
        h.stationCount = s[i].stationCount;
        // Family 0 hangs its stores on rails, family 1 drops them.
        h.launchKind = family == 1 ? ORD_LAUNCH_DROPPED : ORD_LAUNCH_RAIL;
    }
    g_made[family] = true;
}

const HardpointSpec* SpecOf(const OrdHardpoint* h) {
    int32_t family = ord_Family(), n;
    const HardpointSpec* s = Specs(family, &n);
    int32_t i = (int32_t)(h - g_hardpoints[family]);
    return i >= 0 && i < n ? &s[i] : nullptr;
}

void OptionsFree(OrdHardpoint& h) {
    while (OrdOption* o = h.options) {
        h.options = o->next;
        mem_Free(o);
    }
}

void OptionPush(OrdHardpoint& h, int32_t type, int32_t count) {
    auto* o = static_cast<OrdOption*>(mem_AllocEx(sizeof(OrdOption), 4, "mnuOrd Weap"));
    if (!o) return;
    o->type = type;
    o->count = count;
    o->next = h.options;
    h.options = o;
}

// Forgets the option lists and the mounts of both families.
void HardpointsReset(void) {
    for (int32_t f = 0; f < 2; f++) {
        if (!g_made[f]) continue;
        for (OrdHardpoint& h : g_hardpoints[f]) {
            OptionsFree(h);
            memset(h.mounts, 0, sizeof h.mounts);
        }
    }
}

int32_t SlotOf(const OrdHardpoint* h, int32_t station) {
    for (int32_t k = 0; k < h->stationCount; k++)
        if (h->stations[k] == station) return k;
    return -1;
}

const char* MountModel(bool rail) {
    const _PLANE_TYPE* t = plane_CurrentDescriptor.name[0] ? &plane_CurrentDescriptor : &plane_TypeKrx;
    return rail ? t->railModel : t->mountModel;
}

// The empty mount on the first station of a multi-station hardpoint.
void PylonPut(OrdHardpoint* h, int32_t storeType) {
    int32_t family = ord_Family();
    int32_t station = h->stations[0];
    if (family == 1 && storeType != FAB250) return;
    bool rail = family == 0 && (station == 70 || station == 81);
    h->mounts[0] = ord_MountAddNamed(station, MountModel(rail), h->launchKind);
}

// Puts stores of the type on the free store stations, at most n: the count
// put.
int32_t StoresPut(OrdHardpoint* h, int32_t type, int32_t n) {
    int32_t put = 0;
    bool multi = h->stationCount > 1;
    if (multi && !h->mounts[0] && n > 0) PylonPut(h, type);
    for (int32_t k = multi ? 1 : 0; k < h->stationCount && put < n; k++) {
        if (h->mounts[k]) continue;
        ord_MountSetStore(h->stations[k], type);
        if (h->mounts[k]) put++;
    }
    return put;
}

bool Empty(const OrdHardpoint* h) {
    for (int32_t k = 0; k < h->stationCount; k++)
        if (h->mounts[k]) return false;
    return true;
}

// The largest count the hardpoint offers for the type; 0 when none.
int32_t OfferedCount(const OrdHardpoint* h, int32_t type) {
    int32_t best = 0;
    for (const OrdOption* o = h->options; o; o = o->next)
        if (o->type == type && o->count > best) best = o->count;
    return best;
}

bool Offers(const OrdHardpoint* h, int32_t type, int32_t count) {
    for (const OrdOption* o = h->options; o; o = o->next)
        if (o->type == type && o->count == count) return true;
    return false;
}

int32_t Usable(const OrdHardpoint* h) { return h->stationCount > 1 ? h->stationCount - 1 : h->stationCount; }

}  // namespace

int32_t ord_Family(void) { return mnu_AircraftFamily == 1 ? 1 : 0; }

OrdHardpoint* ord_Hardpoints(int32_t family, int32_t* count) {
    family = family == 1 ? 1 : 0;
    Make(family);
    int32_t n;
    Specs(family, &n);
    if (count) *count = n;
    return g_hardpoints[family];
}

int32_t ord_CampaignStockGet(int32_t type) {
    if (!mnu_StockCheck) return 1;
    return mnu_CampLoadoutCount(mnu_CampLoadoutList, type);
}

void ord_CampaignStockAdd(int32_t type, int32_t delta) {
    if (mnu_StockCheck && type >= 0) mnu_CampLoadoutAdjust(mnu_CampLoadoutList, type, delta);
}

void ord_LoadoutBegin(void) {
    HardpointsReset();
    if (!ord_ManagerCreate()) return;
    int32_t n;
    OrdHardpoint* hp = ord_Hardpoints(ord_Family(), &n);
    const HardpointSpec* specs = Specs(ord_Family(), &n);
    for (int32_t i = 0; i < n; i++) {
        OptionPush(hp[i], -1, 0);
        for (int32_t k = 0; k < specs[i].optionCount; k++) {
            const OptionSpec& o = specs[i].options[k];
            if (ord_CampaignStockGet(o.type) > 0) OptionPush(hp[i], o.type, o.count);
        }
    }
}

void ord_LoadoutEnd(int32_t accept) {
    if (accept && ord_Manager) {
        for (_ORDNANCE_MOUNT* m = ord_Manager->mounts.head; m; m = m->next)
            if (m->type >= 0 && !m->panel) ord_PanelAdd(m->type, -1, -1, -1);
        ord_PanelsSort();
        ord_Recount();
        ord_StoreListSave();
    }
    HardpointsReset();
    ord_ManagerDestroy();
}

OrdHardpoint* ord_HardpointFind(const char* name) {
    if (!name) return nullptr;
    int32_t n;
    OrdHardpoint* hp = ord_Hardpoints(ord_Family(), &n);
    for (int32_t i = 0; i < n; i++)
        if (strcmp(hp[i].name, name) == 0) return &hp[i];
    return nullptr;
}

OrdHardpoint* ord_HardpointFindByStation(int32_t station) {
    int32_t n;
    OrdHardpoint* hp = ord_Hardpoints(ord_Family(), &n);
    for (int32_t i = 0; i < n; i++)
        if (SlotOf(&hp[i], station) >= 0) return &hp[i];
    return nullptr;
}

OrdHardpoint* ord_HardpointPartner(const char* name) {
    const OrdHardpoint* h = ord_HardpointFind(name);
    const HardpointSpec* s = h ? SpecOf(h) : nullptr;
    return s ? ord_HardpointFind(s->partner) : nullptr;
}

int32_t ord_HardpointCountStores(const char* name) {
    const OrdHardpoint* h = ord_HardpointFind(name);
    if (!h) return 0;
    int32_t n = 0;
    for (int32_t k = 0; k < h->stationCount; k++) n += h->mounts[k] && h->mounts[k]->type >= 0;
    return n;
}

const OrdOption* ord_HardpointGetStore(const char* name) {
    const OrdHardpoint* h = ord_HardpointFind(name);
    if (!h) return nullptr;
    int32_t type = -1;
    for (int32_t k = 0; k < h->stationCount; k++)
        if (h->mounts[k] && h->mounts[k]->type >= 0) type = h->mounts[k]->type;
    int32_t count = type < 0 ? 0 : ord_HardpointCountStores(name);
    const OrdOption* empty = nullptr;
    for (const OrdOption* o = h->options; o; o = o->next) {
        if (o->type == type && o->count == count) return o;
        if (o->type < 0) empty = o;
    }
    return empty;
}

const OrdOption* ord_HardpointCycleStore(const char* name, int32_t type, int32_t count, int32_t forward) {
    const OrdHardpoint* h = ord_HardpointFind(name);
    if (!h || !h->options) return nullptr;
    const OrdOption* prev = nullptr;
    const OrdOption* last = h->options;
    for (const OrdOption* o = h->options; o; o = o->next) {
        if (o->type == type && o->count == count) {
            if (forward) return o->next ? o->next : h->options;
            if (prev) return prev;
        }
        prev = o;
        last = o;
    }
    return forward ? h->options : last;
}

void ord_HardpointClear(const char* name) {
    OrdHardpoint* h = ord_HardpointFind(name);
    if (!h) return;
    for (int32_t k = 0; k < h->stationCount; k++) {
        _ORDNANCE_MOUNT* m = h->mounts[k];
        if (!m) continue;
        if (m->type >= 0) ord_CampaignStockAdd(m->type, m->amount);
        ord_MountUnlink(m);
        h->mounts[k] = nullptr;
    }
}

void ord_PartnerHardpointClear(const char* name) {
    if (const OrdHardpoint* p = ord_HardpointPartner(name)) ord_HardpointClear(p->name);
}

void ord_MountSetStore(int32_t station, int32_t type) {
    OrdHardpoint* h = ord_HardpointFindByStation(station);
    if (!h || !ord_Manager) return;
    int32_t k = SlotOf(h, station);
    if (h->mounts[k]) {
        if (h->mounts[k]->type >= 0) ord_CampaignStockAdd(h->mounts[k]->type, h->mounts[k]->amount);
        ord_MountUnlink(h->mounts[k]);
        h->mounts[k] = nullptr;
    }
    if (type < 0 || type >= WEAPON_TYPES) {
        bool rail = ord_Family() == 0 && (station == 70 || station == 81);
        h->mounts[k] = ord_MountAddNamed(station, MountModel(rail), h->launchKind);
        return;
    }
    if (ord_CampaignStockGet(type) <= 0) return;
    h->mounts[k] = ord_MountAddByType(station, type, 1, h->launchKind);
    if (h->mounts[k]) ord_CampaignStockAdd(type, -1);
}

void ord_HardpointSetStore(const char* name, int32_t type, int32_t count) {
    OrdHardpoint* h = ord_HardpointFind(name);
    if (!h) return;
    ord_HardpointClear(name);
    if (type < 0 || !Offers(h, type, count)) return;
    StoresPut(h, type, count);
}

void ord_PartnerSetStore(const char* name, int32_t type, int32_t count) {
    if (const OrdHardpoint* p = ord_HardpointPartner(name)) ord_HardpointSetStore(p->name, type, count);
}

void ord_LoadoutAddStores(int32_t type, int32_t count) {
    // Each round fills a hardpoint and its partner with half the request;
    // what the first could not take is asked of the next pair, doubled.
    for (int32_t guard = 0; count > 0 && guard < 16; guard++) {
        int32_t half = (count + 1) / 2;
        int32_t n;
        OrdHardpoint* hp = ord_Hardpoints(ord_Family(), &n);
        OrdHardpoint* pick = nullptr;
        for (int32_t i = 0; i < n; i++) {
            OrdHardpoint* h = &hp[i];
            if (!Empty(h) || !OfferedCount(h, type)) continue;
            if (Usable(h) == half && Offers(h, type, half)) {
                pick = h;
                break;
            }
            if (!pick) pick = h;
        }
        if (!pick) return;
        int32_t first = StoresPut(pick, type, half < OfferedCount(pick, type) ? half : OfferedCount(pick, type));
        OrdHardpoint* partner = ord_HardpointPartner(pick->name);
        if (partner && Empty(partner) && OfferedCount(partner, type)) {
            int32_t limit = OfferedCount(partner, type);
            StoresPut(partner, type, half < limit ? half : limit);
        }
        if (first >= half || (first == 0 && Empty(pick))) return;
        count = 2 * (half - first);
    }
}

int32_t ord_LoadoutList(int32_t* keys, int32_t* types, int32_t max) {
    uint32_t n = ord_SavedStoreList.mountCount < (uint32_t)ORD_MOUNTS_MAX ? ord_SavedStoreList.mountCount
                                                                        : (uint32_t)ORD_MOUNTS_MAX;
    int32_t out = 0;
    for (uint32_t i = 0; i < n && out < max; i++, out++) {
        if (keys) keys[out] = ord_SavedStoreList.mounts[i].part;
        if (types) types[out] = ord_SavedStoreList.mounts[i].type;
    }
    return out;
}
