// Aircraft registries, the aircraft record and its hook wrappers, and the
// simulation log lines they write.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "base/mem.h"
#include "base/units.h"
#include "sim/ord.h"
#include "sim/plane.h"
#include "sim_fixture.h"

namespace {

std::vector<std::string> g_calls;

template <int Id>
int32_t Record(intptr_t argument) {
    g_calls.push_back(std::to_string(Id) + ":" + std::to_string((long long)argument));
    return Id;
}

class PlaneTest : public SimEnv {
protected:
    void SetUp() override {
        SimEnv::SetUp();
        plane_Shutdown();
        g_calls.clear();
        plane_PendingRoutine = nullptr;
    }
    void TearDown() override {
        plane_Shutdown();
        plane_Release();
        SimEnv::TearDown();
    }
    static _PLANE_TYPE Type(const char* name) {
        _PLANE_TYPE t = {};
        snprintf(t.name, sizeof t.name, "%s", name);
        t.recordSize = 0x448;
        t.registryIndex = -1;
        return t;
    }
    static std::string ReadAll(const std::string& path) {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

TEST_F(PlaneTest, InitRegistersTheBuiltInsOnce) {
    plane_Init();
    EXPECT_EQ(plane_Types.count, 1);
    EXPECT_EQ(plane_Families.count, 5);
    _PLANE_TYPE* krx = plane_TypeFind("KRX");
    ASSERT_EQ(krx, &plane_TypeKrx);
    EXPECT_STREQ(krx->exteriorModel, "krx.pak");
    EXPECT_EQ(krx->recordSize, 0x448u);
    EXPECT_EQ(krx->damageableSystems, 0x0006FF6Eu);
    EXPECT_EQ(krx->gunParameters[0], -16384);
    EXPECT_FLOAT_EQ(krx->throttle[16], 0.9f);
    EXPECT_EQ(plane_CurrentDescriptor.name[0], '\0');

    plane_Init();  // nothing more the second time
    EXPECT_EQ(plane_Types.count, 1);
    EXPECT_EQ(plane_Families.count, 5);
    EXPECT_EQ(plane_FamilyFindByIndex(4)->number, 4u);
    EXPECT_EQ(plane_FamilyFindByIndex(5), nullptr);

    struct Case {
        const char* name;
        bool type;
        int32_t slot, kind;
    } cases[] = {
        {"KRX", true, 0, 1}, {"krx", false, -1, 0}, {"KRX ", false, -1, 0}, {"KR", false, -1, 0},
        {"SX1", false, 1, 2}, {"RX3", false, 3, 1}, {"TX4", false, 4, 0}, {nullptr, false, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "null");
        EXPECT_EQ(plane_TypeFind(c.name) != nullptr, c.type);
        EXPECT_EQ(plane_FamilySlotByName(c.name), c.slot);
        EXPECT_EQ(plane_QueryRecordValue(c.name), c.kind);
    }

    plane_Shutdown();
    EXPECT_EQ(plane_Types.count, 0);
    EXPECT_EQ(plane_Families.count, 0);
    EXPECT_EQ(plane_TypeKrx.registryIndex, -1);
    EXPECT_EQ(plane_TypeFind("KRX"), nullptr);
    plane_Init();  // a later run registers again
    EXPECT_EQ(plane_TypeFind("KRX"), &plane_TypeKrx);
}

TEST_F(PlaneTest, RegistryRenumbersWithoutGaps) {
    _PLANE_TYPE a = Type("A"), b = Type("B"), c = Type("C"), d = Type("D");
    plane_TypeRegister(&a);
    plane_TypeRegister(&b);
    plane_TypeRegister(&c);
    plane_TypeRegister(&b);  // already registered
    EXPECT_EQ(plane_Types.count, 3);
    plane_TypeUnregister(&d);  // never registered
    EXPECT_EQ(plane_Types.count, 3);

    plane_TypeUnregister(&b);
    struct Case {
        _PLANE_TYPE* type;
        int32_t index;
    } cases[] = {{&a, 0}, {&c, 1}, {&b, -1}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.type->name);
        EXPECT_EQ(k.type->registryIndex, k.index);
        if (k.index >= 0) {
            EXPECT_EQ(plane_TypeFindByIndex(k.index), k.type);
        }
    }
    EXPECT_EQ(b.registryFlags & PLANE_TYPE_REGISTERED, 0u);
    EXPECT_EQ(plane_Types.head, &a);
    EXPECT_EQ(a.next, &c);
    EXPECT_EQ(c.prev, &a);
    EXPECT_EQ(plane_Types.tail, &c);

    plane_TypeRegister(&b);  // back at the tail
    EXPECT_EQ(b.registryIndex, 2);
    plane_TypeUnregister(&a);  // the head
    EXPECT_EQ(c.registryIndex, 0);
    EXPECT_EQ(b.registryIndex, 1);
    plane_TypeUnregisterAll();
    EXPECT_EQ(plane_Types.count, 0);
    EXPECT_EQ(plane_Types.head, nullptr);
    EXPECT_EQ(plane_Types.tail, nullptr);
}

TEST_F(PlaneTest, CreateReleasesTheOldRecordBeforeTheNewHooks) {
    _PLANE_TYPE a = Type("A"), b = Type("B");
    a.hooks.slot[PLANE_HOOK_RELEASE] = Record<102>;
    a.cockpitHooks[1] = Record<202>;
    a.hooks.slot[PLANE_HOOK_CREATE] = Record<101>;
    b.hooks.slot[PLANE_HOOK_CREATE] = Record<1>;
    b.cockpitHooks[0] = Record<11>;
    b.hooks.slot[PLANE_HOOK_RELEASE] = Record<2>;
    b.cockpitHooks[1] = Record<12>;

    _PLANE* first = plane_Create(&a);
    ASSERT_NE(first, nullptr);
    g_calls.clear();
    _PLANE* second = plane_Create(&b);
    ASSERT_NE(second, nullptr);
    const std::string created = std::to_string((long long)(intptr_t)second);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"102:" + std::to_string((long long)(intptr_t)first), "202:0",
                                                  "1:" + created, "11:0"}));
    EXPECT_EQ(plane_Current, second);
    EXPECT_EQ(second->descriptor, &b);
    EXPECT_EQ(second->flags, 0u);
    EXPECT_EQ(second->words[0], 0u);
    EXPECT_FLOAT_EQ(second->orientation.m[0][0], 1.0f);
    EXPECT_FLOAT_EQ(second->orientation.m[1][1], 1.0f);
    EXPECT_FLOAT_EQ(second->orientation.m[2][2], 1.0f);
    EXPECT_FLOAT_EQ(second->orientation.m[0][1], 0.0f);
    EXPECT_FLOAT_EQ(second->position.y, 0.0f);
    EXPECT_STREQ(plane_CurrentDescriptor.name, "B");
    const MemBlock* header = (const MemBlock*)((const uint8_t*)second - MEM_BLOCK_HEADER);
    EXPECT_STREQ(header->tag, "_PLANE");

    g_calls.clear();
    plane_Release();
    EXPECT_EQ(g_calls, (std::vector<std::string>{"2:" + created, "12:0"}));
    EXPECT_EQ(plane_Current, nullptr);
    g_calls.clear();
    plane_Release();  // nothing current: nothing runs
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(PlaneTest, FailedCreateLeavesNoHookToCall) {
    _PLANE_TYPE a = Type("A"), huge = Type("HUGE");
    a.hooks.slot[PLANE_HOOK_RELEASE] = Record<2>;
    a.hooks.slot[PLANE_HOOK_FRAME] = Record<4>;
    a.hooks.slot[PLANE_HOOK_RESTART] = Record<3>;
    a.cockpitHooks[6] = Record<7>;
    huge.recordSize = 0x800000;  // more than the heap holds
    huge.hooks.slot[PLANE_HOOK_CREATE] = Record<1>;
    _PLANE* first = plane_Create(&a);
    ASSERT_NE(first, nullptr);
    g_calls.clear();
    EXPECT_EQ(plane_Create(&huge), nullptr);
    EXPECT_EQ(g_calls, std::vector<std::string>{"2:" + std::to_string((long long)(intptr_t)first)});
    EXPECT_EQ(plane_Current, nullptr);
    EXPECT_STREQ(plane_CurrentDescriptor.name, "A");  // the copy is left as it was
    g_calls.clear();
    ObjectRecord o = {};
    EXPECT_EQ(plane_HookFrame(&o), 0);
    EXPECT_EQ(plane_HookRestart(0), 0);
    EXPECT_EQ(plane_HookHud(0), 0);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(plane_Create(nullptr), nullptr);
}

TEST_F(PlaneTest, WrappersCallTheirSlotsWithTheCallersArgument) {
    _PLANE_TYPE t = Type("T");
    t.hooks.slot[0] = Record<0>;
    t.hooks.slot[3] = Record<3>;
    t.hooks.slot[5] = Record<5>;
    t.hooks.slot[6] = Record<6>;
    t.hooks.slot[7] = Record<7>;
    t.hooks.slot[8] = Record<8>;
    t.hooks.slot[9] = Record<9>;
    t.hooks.slot[10] = Record<10>;
    t.hooks.slot[11] = Record<11>;
    t.hooks.slot[12] = Record<12>;
    t.hooks.slot[14] = Record<14>;
    t.cockpitHooks[6] = Record<107>;
    ASSERT_NE(plane_Create(&t), nullptr);
    struct Case {
        int32_t (*wrapper)(intptr_t);
        int32_t slot;
    } cases[] = {
        {plane_HookSlot0Call, 0},      {plane_HookRestart, 3},      {plane_HookDraw3D, 5},
        {plane_HookReadoutsCall, 6},   {plane_HookStoreDisplay, 7}, {plane_HookRefuel, 8},
        {plane_HookRepair, 9},         {plane_HookSlot10Call, 10},  {plane_HookFrameDraw, 12},
        {plane_HookWeaponChanged, 14}, {plane_HookHud, 107},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.slot);
        g_calls.clear();
        EXPECT_EQ(c.wrapper(40 + c.slot), c.slot);
        EXPECT_EQ(g_calls, std::vector<std::string>{std::to_string(c.slot) + ":" + std::to_string(40 + c.slot)});
    }
    g_calls.clear();
    plane_HookClientFrame(1);
    EXPECT_EQ(g_calls, std::vector<std::string>{"11:1"});

    // Empty slots are skipped; the sight ray's flag is cleared either way.
    g_calls.clear();
    plane_SightRayFlag = 1;
    EXPECT_EQ(plane_HookSightRay(0), 0);
    EXPECT_EQ(plane_SightRayFlag, 0);
    EXPECT_TRUE(g_calls.empty());
}

_PLANE* g_pendingSaw = nullptr;
MathVec3 g_pendingPosition;
void Pending(_PLANE* plane) {
    g_pendingSaw = plane;
    g_pendingPosition = plane->position;
    plane->position.x += 10.0f;
    plane->velocity = {0.0f, 0.0f, 2.0f};
}

TEST_F(PlaneTest, FrameHookRunsThePendingRoutineOnce) {
    _PLANE_TYPE t = Type("T");
    t.hooks.slot[PLANE_HOOK_FRAME] = Record<4>;
    _PLANE* plane = plane_Create(&t);
    ASSERT_NE(plane, nullptr);
    ObjectRecord o = {};
    const MathVec3 start = {100.0f, 50.0f, 200.0f};
    fix_FloatToWorld(&start, &o.position);
    plane_PendingRoutine = Pending;
    g_calls.clear();
    EXPECT_EQ(plane_HookFrame(&o), 4);
    EXPECT_EQ(g_calls, std::vector<std::string>{"4:" + std::to_string((long long)(intptr_t)&o)});
    EXPECT_EQ(g_pendingSaw, plane);
    EXPECT_NEAR(g_pendingPosition.x, 100.0f, 0.01f);
    EXPECT_NEAR(g_pendingPosition.z, 200.0f, 0.01f);
    EXPECT_EQ(plane_PendingRoutine, nullptr);
    MathVec3 moved;
    fix_WorldToFloat(&o.position, &moved);
    EXPECT_NEAR(moved.x, 110.0f, 0.01f);
    EXPECT_NEAR(moved.y, 50.0f, 0.01f);
    EXPECT_NE(o.velocity.z, 0);
    EXPECT_EQ(o.velocity.z, o.motion.z);

    g_pendingSaw = nullptr;
    plane_HookFrame(&o);  // it ran once
    EXPECT_EQ(g_pendingSaw, nullptr);
}

TEST_F(PlaneTest, ReleasingTheAircraftTakesItsStoresAway) {
    plane_Init();
    ASSERT_NE(plane_Create(plane_TypeFind("KRX")), nullptr);
    ASSERT_NE(ord_ManagerCreate(), nullptr);
    plane_Release();
    EXPECT_EQ(ord_Manager, nullptr);
}

TEST_F(PlaneTest, SimulationLogGoesToTheNamedFile) {
    const std::string path = testing::TempDir() + "krx_simlog.txt";
    setenv("KRX_SIMLOG", path.c_str(), 1);
    plat_SimLogReset();
    plane_Init();
    ASSERT_NE(plane_Create(plane_TypeFind("KRX")), nullptr);
    plane_Release();
    obj_ListsReset();
    ObjectRecord o = {};
    o.category = OBJ_CATEGORY_LANDING;
    obj_StaticCreate(0, 0, nullptr, 0);
    obj_CategoryListsAdd(&o);
    obj_LevelLog();
    plat_SimLogReset();
    EXPECT_EQ(ReadAll(path),
              "0 plane create KRX\n"
              "0 plane release KRX\n"
              "0 level statics=1 cat01=0 cat04=0 cat10=0 cat08=1 cat20=0 cat40=0\n");
    remove(path.c_str());
}

}  // namespace
