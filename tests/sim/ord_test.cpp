// The ordnance manager: ready checks and releases, mount choice, fuel, the
// store lists and the loadout hardpoints.
#include <algorithm>
#include <cstring>
#include <set>

#include "net/player.h"
#include "ord_fixture.h"
#include "world/loadout.h"

namespace {

using Ord = OrdEnv;

TEST_F(Ord, ReadyStatuses) {
    ASSERT_NE(ord_ManagerCreate(), nullptr);
    EXPECT_EQ(ord_CheckReady(1), -1);  // no panel
    ASSERT_NE(ord_PanelAdd(1, 1, 1, -1), nullptr);
    EXPECT_EQ(ord_CheckReady(1), 0);
    ASSERT_EQ(ord_ConsumeStore(1), 0);
    EXPECT_EQ(ord_CheckReady(1), -3);  // 40 frames between two releases
    app_TickCount += 40;
    EXPECT_EQ(ord_CheckReady(1), -3);
    app_TickCount += 1;
    EXPECT_EQ(ord_CheckReady(1), -2);  // empty
    con_UnlimitedStores = 1;
    EXPECT_EQ(ord_CheckReady(1), 0);
    EXPECT_EQ(ord_StoreAvailable(1), 1);
    con_UnlimitedStores = 0;
    EXPECT_EQ(ord_StoreAvailable(1), 0);
    ord_RearmAll();
    EXPECT_EQ(ord_CountById(1), 1);
    EXPECT_EQ(ord_CheckReady(1), -3);  // rearmed now
    ord_AllReady();
    EXPECT_EQ(ord_CheckReady(1), 0);
}

TEST_F(Ord, AnIntervalOfFourGivesAtMostTenBulletsASecond) {
    ASSERT_NE(ord_ManagerCreate(), nullptr);
    ASSERT_NE(ord_PanelAdd(0, -1, -1, -1), nullptr);  // the M61A1: 480 rounds, interval 4
    EXPECT_EQ(ord_CountById(0), 480);
    int fired = 0;
    for (int frame = 0; frame < 40; frame++, app_TickCount++)
        if (ord_CheckReady(0) == 0 && ord_ConsumeStore(0) == 0) fired++;
    // A release needs more than the interval since the last one: every
    // fifth frame.
    EXPECT_LE(fired, 10);
    EXPECT_EQ(fired, 8);
    EXPECT_EQ(ord_CountById(0), 480 - fired);
    // Carried without mounts: released from no station.
    EXPECT_EQ(ord_StoreRelease.mode, 0);
    EXPECT_EQ(ord_StoreRelease.launchPoint.x, 0);
}

TEST_F(Ord, StoresOnBothSidesAlternate) {
    ASSERT_NE(ord_ManagerCreate(), nullptr);
    ASSERT_NE(ord_PanelAdd(30, 0, 0, -1), nullptr);
    _ORDNANCE_MOUNT* left[2] = {ord_MountAddByType(77, 30, 1, 0), ord_MountAddByType(79, 30, 1, 0)};
    _ORDNANCE_MOUNT* right[2] = {ord_MountAddByType(88, 30, 1, 0), ord_MountAddByType(90, 30, 1, 0)};
    left[0]->arm = -3.0f;
    left[1]->arm = -2.0f;
    right[0]->arm = 3.0f;
    right[1]->arm = 2.0f;
    ord_Recount();
    EXPECT_NEAR(ord_Manager->balanceMoment, 0.0f, 0.01f);
    EXPECT_FLOAT_EQ(ord_Manager->storeMass, 4 * 227.0f);
    EXPECT_EQ(ord_CountById(30), 4);
    std::vector<int32_t> stations;
    for (int i = 0; i < 4; i++) {
        ord_AllReady();
        ASSERT_EQ(ord_ConsumeStore(30), 0);
        EXPECT_EQ(ord_StoreRelease.mode, 0);
        for (_ORDNANCE_MOUNT* m : {left[0], left[1], right[0], right[1]})
            if (m->lastRelease == app_TickCount && m->amount == 0 &&
                std::find(stations.begin(), stations.end(), m->station) == stations.end())
                stations.push_back(m->station);
    }
    // Balanced: the smallest arm goes; then the heavy side by its largest
    // arm, and back: left, right, left, right.
    EXPECT_EQ(stations, (std::vector<int32_t>{77, 88, 79, 90}));
    EXPECT_EQ(ord_CountById(30), 0);
    EXPECT_EQ(ord_ConsumeStore(30), 0);  // nothing left: no count below 0 kept
    EXPECT_EQ(ord_CheckReady(30), -3);
    EXPECT_EQ(ord_ConsumeStore(5), -1);
}

TEST_F(Ord, TheOtherMountChoices) {
    ASSERT_NE(ord_ManagerCreate(), nullptr);
    _ORDNANCE_PANEL* p = ord_PanelAdd(1, 0, 0, -1);
    _ORDNANCE_MOUNT* a = ord_MountAddByType(69, 1, 1, 1);
    _ORDNANCE_MOUNT* b = ord_MountAddByType(80, 1, 1, 1);
    _ORDNANCE_MOUNT* c = ord_MountAddByType(71, 1, 1, 1);
    a->arm = -4.0f;
    b->arm = 4.0f;
    c->arm = -1.0f;
    ord_Recount();  // leaning left: -1 x 85.5
    EXPECT_EQ(ord_MountChooseCancelling(p), c);
    EXPECT_EQ(ord_MountChoose(p), a);  // below 0.0001: the smallest arm
    a->lastRelease = app_TickCount - 5;
    b->lastRelease = app_TickCount - 50;
    c->lastRelease = app_TickCount - 9;
    EXPECT_EQ(ord_MountChooseOldest(p), b);
    b->amount = 0;
    EXPECT_EQ(ord_MountChooseOldest(p), c);
}

TEST_F(Ord, FuelDrawsFromTheLoadedPodsElseTheInternalFuel) {
    ASSERT_NE(ord_ManagerCreate(), nullptr);
    ord_Manager->internalFuel = ord_Manager->internalFuelCapacity = 100.0f;
    ASSERT_NE(ord_PanelAdd(12, 0, 0, -1), nullptr);
    _ORDNANCE_MOUNT* a = ord_MountAddByType(78, 12, 1, 0);
    _ORDNANCE_MOUNT* b = ord_MountAddByType(89, 12, 1, 0);
    ord_MountAddNamed(70, "rail.pak", 1);
    ord_Recount();
    EXPECT_FLOAT_EQ(ord_Manager->fuelWithInternal, 100.0f + 2 * 935.0f);
    ord_FuelDraw(10.0f);
    EXPECT_FLOAT_EQ(a->fuel, 930.0f);
    EXPECT_FLOAT_EQ(b->fuel, 930.0f);
    EXPECT_FLOAT_EQ(ord_Manager->internalFuel, 100.0f);
    b->fuel = 2.0f;
    ord_FuelDraw(10.0f);
    EXPECT_FLOAT_EQ(a->fuel, 925.0f);
    EXPECT_FLOAT_EQ(b->fuel, 0.0f);  // not below 0
    a->fuel = 0.0f;
    ord_Recount();
    ord_FuelDraw(30.0f);
    EXPECT_FLOAT_EQ(ord_Manager->internalFuel, 70.0f);
    ord_FuelDraw(500.0f);
    EXPECT_FLOAT_EQ(ord_Manager->internalFuel, 0.0f);
    ord_RefuelAll();
    EXPECT_FLOAT_EQ(ord_Manager->fuelWithInternal, 100.0f + 2 * 935.0f);
    ord_FuelDraw(1.0f);  // without a manager nothing happens
    ord_ManagerDestroy();
    ord_FuelDraw(1.0f);
}

TEST_F(Ord, TheDefaultLoadoutGivesItsPanels) {
    PlayerAircraftBlock block;
    loadout_PlayerSetup(&block);
    ord_StoreListSet(&block.loadout);
    ASSERT_EQ(ord_StoreListRestore(), 0);
    struct Want {
        int32_t type, count;
    } want[] = {{0, 500}, {2, 2}, {1, 2}, {16, 6}, {30, 4}, {10, 1}, {12, 2}};
    ASSERT_EQ(ord_Manager->panels.count, 7);
    int32_t i = 0;
    for (const _ORDNANCE_PANEL* p = ord_Manager->panels.head; p; p = p->next, i++) {
        EXPECT_EQ(p->index, i);
        EXPECT_EQ(p->weaponId, want[i].type);
        EXPECT_EQ(p->count, want[i].count);
        EXPECT_EQ(p->releaseInterval, weapon_Types[p->weaponId].releaseInterval);
    }
    EXPECT_EQ(ord_Manager->mounts.count, 23);
    EXPECT_EQ(ord_MountByStation(70)->type, -1);
    EXPECT_EQ(ord_MountByStation(77)->launchKind, 0);
    EXPECT_EQ(ord_MountByStation(69)->launchKind, 1);

    // Saved and restored, the manager is the same.
    ord_StoreListSave();
    OrdLoadout saved = ord_SavedStoreList;
    ASSERT_EQ(ord_StoreListRestore(), 0);
    ord_StoreListSave();
    EXPECT_EQ(memcmp(&saved, &ord_SavedStoreList, sizeof saved), 0);
}

TEST_F(Ord, ARestoredListIsBounded) {
    OrdLoadout l;
    memset(&l, 0x7F, sizeof l);  // counts far too large, names without an end
    l.stores[0] = {2, 3, 3, 40};
    l.stores[1] = {99, 1, 1, 1};
    ord_MountInitByType(&l.mounts[0], 69, 2, 1, 1);
    ord_MountInitByType(&l.mounts[1], 91, 2, 1, 1);  // no such station
    ord_MountInitByType(&l.mounts[2], 80, 2, 1, 1);
    l.mounts[2].type = 500;                          // no such type: an empty mount
    ord_MountInitNamed(&l.mounts[3], 70, "a-name-too-long-for-it", 1);
    ord_StoreListSet(&l);
    ASSERT_EQ(ord_StoreListRestore(), 0);
    EXPECT_EQ(ord_Manager->panels.count, 1);
    EXPECT_EQ(ord_CountById(2), 4);
    EXPECT_EQ(ord_Manager->mounts.count, 3);
    EXPECT_EQ(ord_MountByStation(80)->type, -1);
    EXPECT_EQ(ord_MountByStation(91), nullptr);
}

TEST_F(Ord, StoreListEntriesAsTheManagerTakesThem) {
    OrdLoadout l{};
    for (int i = 0; i < 10; i++) ord_AddStoreType(&l, 1, -1, -1, -1);
    EXPECT_EQ(l.storeCount, 8u);
    for (int i = 0; i < 30; i++) EXPECT_LE(ord_AddMount(&l, 69, 15, 1, -1), 24);
    EXPECT_EQ(l.mountCount, 24u);
    EXPECT_STREQ(l.mounts[0].modelName, "maverick.pak");
    EXPECT_EQ(l.mounts[0].amount, 1);
    EXPECT_EQ(l.mounts[0].flagA, 1);
    OrdMountEntry e;
    ord_MountInitByType(&e, 71, 40, 0, 2);
    EXPECT_EQ(e.type, -1);
    EXPECT_EQ(e.modelName[0], 0);
    ord_MountInitNamed(&e, 70, "rail.pak", 1);
    EXPECT_EQ(e.type, -1);
    EXPECT_EQ(e.amount, 1);
    EXPECT_STREQ(e.modelName, "rail.pak");
    OrdStoreEntry s;
    ord_StoreEntryInit(&s, 39, 5, 6, 7);
    EXPECT_EQ(s.type, -1);
    EXPECT_EQ(s.interval, 7);
}

int32_t Stores(const char* hardpoint, int32_t type) {
    const OrdHardpoint* h = ord_HardpointFind(hardpoint);
    int32_t n = 0;
    for (int32_t k = 0; k < h->stationCount; k++) n += h->mounts[k] && h->mounts[k]->type == type;
    return n;
}

TEST_F(Ord, FiveStoresOnAThreeASidePairLoadThreeAndThree) {
    ord_LoadoutBegin();
    ord_LoadoutAddStores(16, 5);  // AGM65G x3 on "HardPoint 7" and "HardPoint 3"
    EXPECT_EQ(Stores("HardPoint 7", 16), 3);
    EXPECT_EQ(Stores("HardPoint 3", 16), 3);
    // The first station of each carries the rail.
    EXPECT_EQ(ord_HardpointFind("HardPoint 7")->mounts[0]->type, -1);
    EXPECT_EQ(ord_HardpointGetStore("HardPoint 3")->count, 3);
    // Two more: the pair that offers them one each.
    ord_LoadoutAddStores(16, 2);
    EXPECT_EQ(Stores("HardPoint 6", 16), 1);
    EXPECT_EQ(Stores("HardPoint 4", 16), 1);
    ord_LoadoutEnd(1);
    EXPECT_EQ(ord_SavedStoreList.storeCount, 1u);
    EXPECT_EQ(ord_SavedStoreList.stores[0].type, 16);
    ASSERT_EQ(ord_StoreListRestore(), 0);
    EXPECT_EQ(ord_CountById(16), 8);
}

TEST_F(Ord, HardpointsOfTheSecondFamily) {
    mnu_AircraftFamily = 1;
    ord_LoadoutBegin();
    EXPECT_EQ(ord_HardpointPartner("HardPoint 3"), ord_HardpointFind("HardPoint 5"));
    EXPECT_EQ(ord_HardpointFindByStation(86), ord_HardpointFind("HardPoint 2"));
    EXPECT_EQ(ord_HardpointFind("HardPoint 4"), nullptr);
    ord_HardpointSetStore("HardPoint 5", 37, 2);  // FAB250 x2: a mount, then two dropped stores
    EXPECT_EQ(Stores("HardPoint 5", 37), 2);
    const OrdHardpoint* h = ord_HardpointFind("HardPoint 5");
    EXPECT_EQ(h->mounts[0]->type, -1);
    EXPECT_EQ(h->mounts[1]->launchKind, 0);
    ord_PartnerSetStore("HardPoint 5", 36, 1);  // KAB500KR: no mount in this family
    EXPECT_EQ(Stores("HardPoint 3", 36), 1);
    EXPECT_EQ(ord_HardpointFind("HardPoint 3")->mounts[0], nullptr);
    ord_PartnerHardpointClear("HardPoint 3");
    EXPECT_EQ(Stores("HardPoint 5", 37), 0);
    ord_HardpointSetStore("HardPoint 1", 22, 5);  // not offered
    EXPECT_EQ(ord_HardpointCountStores("HardPoint 1"), 0);
}

TEST_F(Ord, CyclingTheOptions) {
    ord_LoadoutBegin();
    // Options are pushed at the front: the last added comes first, the
    // empty option last.
    const OrdOption* first = ord_HardpointCycleStore("HardPoint 1", 99, 9, 1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->type, 2);
    EXPECT_EQ(ord_HardpointCycleStore("HardPoint 1", 2, 1, 1)->type, 1);
    EXPECT_EQ(ord_HardpointCycleStore("HardPoint 1", 1, 1, 1)->type, -1);
    EXPECT_EQ(ord_HardpointCycleStore("HardPoint 1", -1, 0, 1)->type, 2);
    EXPECT_EQ(ord_HardpointCycleStore("HardPoint 1", 2, 1, 0)->type, -1);
    EXPECT_EQ(ord_HardpointCycleStore("HardPoint 1", -1, 0, 0)->type, 1);
    EXPECT_EQ(ord_HardpointCycleStore("Nowhere", -1, 0, 0), nullptr);
}

TEST_F(Ord, AnOptionWithoutStockIsOfferedNowhere) {
    mnu_StockCheck = 1;
    for (int32_t t = 0; t < WEAPON_TYPES; t++) mnu_CampLoadoutSet(&test_CampaignStock, t, t == 16 ? 0 : 4);
    ord_LoadoutBegin();
    int32_t n;
    const OrdHardpoint* hp = ord_Hardpoints(0, &n);
    bool mk82 = false;
    for (int32_t i = 0; i < n; i++)
        for (const OrdOption* o = hp[i].options; o; o = o->next) {
            EXPECT_NE(o->type, 16) << hp[i].name;
            mk82 |= o->type == 30;
        }
    EXPECT_TRUE(mk82);
    // Stores taken from the stock, and given back when cleared.
    ord_HardpointSetStore("HardPoint 4", 30, 2);
    EXPECT_EQ(mnu_CampLoadoutCount(&test_CampaignStock, 30), 2);
    ord_HardpointSetStore("HardPoint 6", 30, 3);  // two left: two placed
    EXPECT_EQ(Stores("HardPoint 6", 30), 2);
    EXPECT_EQ(mnu_CampLoadoutCount(&test_CampaignStock, 30), 0);
    ord_HardpointClear("HardPoint 4");
    EXPECT_EQ(mnu_CampLoadoutCount(&test_CampaignStock, 30), 2);
}

TEST_F(Ord, PreviewPutsTheMountsOnTheStationsAndBack) {
    ASSERT_NE(ord_ManagerCreate(), nullptr);
    ord_MountAddByType(69, 2, 1, 1);
    ord_PreviewAttach();  // not enabled
    EXPECT_EQ(ord_Manager->preview, 0);
    ord_PreviewEnabled = 1;
    ord_PreviewAttach();
    EXPECT_EQ(ord_Manager->preview, 1);
    EXPECT_EQ(ord_MountByStation(69)->attachedPart, 69);
    ord_PreviewDetach();
    EXPECT_EQ(ord_MountByStation(69)->attachedPart, -1);
    EXPECT_EQ(ord_StationContent(69), nullptr);
    ord_PreviewEnabled = 0;
    FixVec3 p{1, 2, 3};
    ord_StationPosition(69, &p);  // no aircraft model: zero
    EXPECT_EQ(p.x | p.y | p.z, 0);
    int32_t out[3];
    EXPECT_EQ(ord_StationFindByName("Mount Nowhere", out), -1);
}

}  // namespace
